// An in-place save puts its new file on the disk before that file takes the
// collection's name. Seen by patching this program's imports of
// FlushFileBuffers and MoveFileExA, which log what they were asked in order.
#include "collection/TvnxSave.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Replaces every import of pszFunction from kernel32 in this executable;
// returns the previous target, NULL when the import was not found.
void* PatchKernelImport(const char* pszFunction, void* pReplacement)
{
    BYTE* pBase = reinterpret_cast<BYTE*>(GetModuleHandleA(NULL));
    auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
    auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    void* pPrevious = NULL;
    for (auto* pDesc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dir.VirtualAddress);
         dir.VirtualAddress != 0 && pDesc->Name != 0; ++pDesc) {
        if (lstrcmpiA(reinterpret_cast<const char*>(pBase + pDesc->Name), "kernel32.dll") != 0)
            continue;
        auto* pNames = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->OriginalFirstThunk);
        auto* pSlots = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->FirstThunk);
        for (; pNames->u1.AddressOfData != 0; ++pNames, ++pSlots) {
            if (IMAGE_SNAP_BY_ORDINAL(pNames->u1.Ordinal))
                continue;
            auto* pName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(pBase + pNames->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(pName->Name), pszFunction) != 0)
                continue;
            DWORD dwOld = 0;
            VirtualProtect(&pSlots->u1.Function, sizeof(pSlots->u1.Function), PAGE_READWRITE, &dwOld);
            pPrevious = reinterpret_cast<void*>(pSlots->u1.Function);
            pSlots->u1.Function = reinterpret_cast<ULONG_PTR>(pReplacement);
            VirtualProtect(&pSlots->u1.Function, sizeof(pSlots->u1.Function), dwOld, &dwOld);
        }
    }
    return pPrevious;
}

// What the save asked of the disk, in order: "flush <size>" or "move <name>".
std::vector<std::string> g_events;
bool g_bMoveAcrossVolumes = false;
BOOL(WINAPI* g_pfnFlush)(HANDLE) = NULL;
BOOL(WINAPI* g_pfnMove)(LPCSTR, LPCSTR, DWORD) = NULL;

BOOL WINAPI LoggedFlush(HANDLE hFile)
{
    g_events.push_back("flush " + std::to_string(GetFileSize(hFile, NULL)));
    return g_pfnFlush(hFile);
}

BOOL WINAPI LoggedMove(LPCSTR pszFrom, LPCSTR pszTo, DWORD dwFlags)
{
    std::string strFrom(pszFrom);
    g_events.push_back("move " + strFrom.substr(strFrom.find_last_of("\\/") + 1));
    if (g_bMoveAcrossVolumes) {
        // The first move is refused as a system refuses a rename across
        // volumes: the save takes its copying road.
        g_bMoveAcrossVolumes = false;
        SetLastError(ERROR_NOT_SAME_DEVICE);
        return FALSE;
    }
    return g_pfnMove(pszFrom, pszTo, dwFlags);
}

class PatchedDiskCalls
{
public:
    PatchedDiskCalls()
    {
        g_events.clear();
        g_pfnFlush = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(
            PatchKernelImport("FlushFileBuffers", reinterpret_cast<void*>(&LoggedFlush)));
        g_pfnMove = reinterpret_cast<BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD)>(
            PatchKernelImport("MoveFileExA", reinterpret_cast<void*>(&LoggedMove)));
    }
    ~PatchedDiskCalls()
    {
        if (g_pfnFlush != NULL)
            PatchKernelImport("FlushFileBuffers", reinterpret_cast<void*>(g_pfnFlush));
        if (g_pfnMove != NULL)
            PatchKernelImport("MoveFileExA", reinterpret_cast<void*>(g_pfnMove));
        g_bMoveAcrossVolumes = false;
    }
    bool Patched() const { return g_pfnFlush != NULL && g_pfnMove != NULL; }
};

std::string Joined(const std::vector<std::string>& events)
{
    std::string s;
    for (const std::string& e : events)
        s += (s.empty() ? "" : ", ") + e;
    return s;
}

// The files of the folder that are no collection (the temporary ones).
int TempFilesIn(const std::string& strDir)
{
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strDir + "\\*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++n;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

} // namespace

TEST(TvnxSaveFlush, TheNewFileIsFlushedBeforeItReplacesTheCollection)
{
    struct Row
    {
        const char* name;
        bool bAcrossVolumes;
    } rows[] = {
        {"same volume", false},
        {"across volumes", true},
    };
    for (const Row& row : rows) {
        TvnxTempDir dir;
        const std::string strPath = dir.Path("a.tvnx");
        TestCollection c;
        c.layout = Bytes{'L', 'a', 'y'};
        c.records.push_back(Rec(10, "one.gif", Picture(1, 300)));
        ASSERT_TRUE(WriteBytes(strPath, c.Build())) << row.name;
        CTvnxSave file;
        ASSERT_EQ(0, file.OpenCollection(strPath.c_str(), FALSE, 0)) << row.name;
        const Bytes layout(500, 7);

        std::vector<std::string> events;
        {
            PatchedDiskCalls patch;
            ASSERT_TRUE(patch.Patched()) << row.name;
            g_bMoveAcrossVolumes = row.bAcrossVolumes;
            ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strPath.c_str(), FALSE, 0))
                << row.name;
            events = g_events;
        }
        file.Close();
        const std::string strFlushed = "flush " + std::to_string(ReadBytes(strPath).size());
        // The last move is the one that gives the new file the collection's name.
        size_t nLastMove = events.size();
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i].compare(0, 5, "move ") == 0)
                nLastMove = i;
        ASSERT_LT(nLastMove, events.size()) << row.name << ": " << Joined(events);
        bool bFlushedBefore = false;
        for (size_t i = 0; i < nLastMove; ++i)
            bFlushedBefore = bFlushedBefore || events[i] == strFlushed;
        EXPECT_TRUE(bFlushedBefore) << row.name << ": " << Joined(events);
        EXPECT_EQ(0, TempFilesIn(dir.Dir())) << row.name;
    }
}
