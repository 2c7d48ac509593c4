// Binding optional system functions by name, and the shell library versions.
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {

int CountLoaded(const CExportedFuncs& funcs, const char* pszLibrary)
{
    int n = 0;
    for (int i = 0; i < funcs.m_LoadedDlls.GetSize(); i++)
        n += strcmp(funcs.m_LoadedDlls[i].szLibrary, pszLibrary) == 0;
    return n;
}

CExportedFuncs::APITOIMPORT Import(void** ppfn, const char* pszFunction, const char* pszLibrary)
{
    CExportedFuncs::APITOIMPORT item;
    memset(&item, 0, sizeof(item));
    item.ppfn = ppfn;
    strcpy(item.szFunction, pszFunction);
    strcpy(item.szLibrary, pszLibrary);
    return item;
}

} // namespace

TEST(ExportedFuncs, FirstObjectBindsEachLibraryOnceAndPrefersAnsiNames)
{
    ASSERT_EQ(0, CExportedFuncs::s_nInstances);
    CExportedFuncs funcs;
    EXPECT_EQ(20, funcs.m_Imports.GetSize());
    EXPECT_NE(nullptr, funcs.pFlashWindowEx);
    EXPECT_NE(nullptr, funcs.pTrackMouseEvent);
    EXPECT_NE(nullptr, funcs.pSetLayeredWindowAttributes);
    EXPECT_NE(nullptr, funcs.pAlphaBlend);
    EXPECT_NE(nullptr, funcs.pGradientFill);
    EXPECT_NE(nullptr, funcs.pTransparentBlt);
    EXPECT_NE(nullptr, funcs.pCreateToolhelp32Snapshot);
    for (const char* pszLibrary : {"User32", "Msimg32", "Kernel32", "wininet", "psapi", "shell32"})
        EXPECT_EQ(1, CountLoaded(funcs, pszLibrary)) << pszLibrary;

    struct Row { const char* pszLibrary; const char* pszExport; void* pBound; };
    const Row rows[] = {
        {"wininet.dll", "InternetGoOnlineA", (void*)funcs.pInternetGoOnline},
        {"psapi.dll", "GetModuleFileNameExA", (void*)funcs.pGetModuleFileNameEx},
        {"psapi.dll", "GetModuleBaseNameA", (void*)funcs.pGetModuleBaseName},
        {"shell32.dll", "SHGetSpecialFolderPathA", (void*)funcs.pSHGetSpecialFolderPath},
        {"user32.dll", "SendInput", (void*)funcs.pSendInput},
    };
    for (const Row& row : rows) {
        HMODULE h = GetModuleHandleA(row.pszLibrary);
        ASSERT_NE(nullptr, h) << row.pszLibrary;
        EXPECT_EQ((void*)GetProcAddress(h, row.pszExport), row.pBound) << row.pszExport;
    }
}

TEST(ExportedFuncs, SecondObjectBindsNothingAndLeavesTheLibrariesLoaded)
{
    CExportedFuncs first;
    int nLoaded = first.m_LoadedDlls.GetSize();
    ASSERT_GT(nLoaded, 0);
    HMODULE hOleacc = NULL;
    for (int i = 0; i < nLoaded; i++)
        if (strcmp(first.m_LoadedDlls[i].szLibrary, "OLEACC") == 0)
            hOleacc = first.m_LoadedDlls[i].hModule;
    {
        CExportedFuncs second;
        EXPECT_EQ(2, CExportedFuncs::s_nInstances);
        EXPECT_EQ(nullptr, second.pFlashWindowEx);
        EXPECT_EQ(nullptr, second.pAlphaBlend);
        EXPECT_EQ(0, second.m_LoadedDlls.GetSize());
    }
    EXPECT_EQ(1, CExportedFuncs::s_nInstances);
    EXPECT_EQ(nLoaded, first.m_LoadedDlls.GetSize());
    if (hOleacc != NULL) {
        char szPath[MAX_PATH];
        EXPECT_NE(0u, GetModuleFileNameA(hOleacc, szPath, MAX_PATH)) << "oleacc was freed by the second object";
    }
}

TEST(ExportedFuncs, MissingFunctionOrLibraryLeavesOnlyItsPointerNull)
{
    void* pAlpha = (void*)1;
    void* pMissing = (void*)1;
    void* pGradient = (void*)1;
    void* pNoLib1 = (void*)1;
    void* pNoLib2 = (void*)1;
    CSequence<CExportedFuncs::APITOIMPORT> imports;
    CSequence<CExportedFuncs::LOADEDDLL> loaded;
    imports.Add(Import(&pAlpha, "AlphaBlend", "Msimg32"));
    imports.Add(Import(&pMissing, "NoSuchFunctionInMsimg", "Msimg32"));
    imports.Add(Import(&pGradient, "GradientFill", "Msimg32"));
    imports.Add(Import(&pNoLib1, "First", "tvnx_no_such_library"));
    imports.Add(Import(&pNoLib2, "Second", "tvnx_no_such_library"));
    CExportedFuncs::BindImports(imports, loaded);

    EXPECT_NE(nullptr, pAlpha);
    EXPECT_NE(nullptr, pGradient);
    EXPECT_EQ(nullptr, pMissing);
    EXPECT_EQ(nullptr, pNoLib1);
    EXPECT_EQ(nullptr, pNoLib2);
    ASSERT_EQ(1, loaded.GetSize());
    EXPECT_STREQ("Msimg32", loaded[0].szLibrary);
    CExportedFuncs::FreeLibraries(loaded);
    EXPECT_EQ(0, loaded.GetSize());
}

TEST(ExportedFuncs, CreateKeepsOneProgramTable)
{
    ASSERT_EQ(nullptr, g_pExportedFuncs);
    CExportedFuncs* p = CreateExportedFuncs();
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(p, g_pExportedFuncs);
    EXPECT_EQ(p, CreateExportedFuncs());
    EXPECT_NE(nullptr, p->pFlashWindowEx);
    DeleteExportedFuncs();
    EXPECT_EQ(nullptr, g_pExportedFuncs);
    EXPECT_EQ(0, CExportedFuncs::s_nInstances);
}

TEST(ShellDllVersions, VersionNumbersAndFlags)
{
    struct Number { DWORD dwMajor, dwMinor; float fExpected; };
    const Number numbers[] = {{5, 82, 5.82f}, {6, 0, 6.0f}, {4, 71, 4.71f}, {5, 80, 5.8f}, {5, 8, 5.8f}, {4, 7, 4.7f}};
    for (const Number& n : numbers)
        EXPECT_NEAR(n.fExpected, ShellDllVersionNumber(n.dwMajor, n.dwMinor), 1e-5)
            << n.dwMajor << "." << n.dwMinor;

    struct Flags { float comctl, shell, shlwapi; int multiline, balloon; };
    const Flags flags[] = {
        {5.81f, 6.0f, 6.0f, 1, 1},
        {4.72f, 4.71f, 4.71f, 1, 0},
        {5.82f, 6.0f, 0.0f, 0, 1},
        {ShellDllVersionNumber(4, 70), 4.7f, 4.7f, 1, 0},
        {ShellDllVersionNumber(5, 80), 4.0f, 6.0f, 0, 1},
        {ShellDllVersionNumber(4, 696), 4.7f, 4.7f, 0, 0},
        {ShellDllVersionNumber(5, 796), 6.0f, 6.0f, 1, 0},
        {0.0f, 0.0f, 0.0f, 0, 0},
    };
    for (const Flags& f : flags) {
        SHELLDLLVERSIONS v = {f.comctl, f.shell, f.shlwapi, -1, -1};
        DeriveShellDllFlags(&v);
        EXPECT_EQ(f.multiline, v.MultilineTips) << f.comctl << " " << f.shell << " " << f.shlwapi;
        EXPECT_EQ(f.balloon, v.BalloonTips) << f.comctl << " " << f.shell << " " << f.shlwapi;
    }
}

TEST(ShellDllVersions, ProbeReadsTheInstalledLibraries)
{
    SHELLDLLVERSIONS* p = ProbeShellDllVersions();
    ASSERT_EQ(&g_ShellDllVersions, p);
    EXPECT_GE(p->fComctl32, 4.0f);
    EXPECT_GE(p->fShell32, 4.0f);
    EXPECT_GE(p->fShlwapi, 4.0f);
}
