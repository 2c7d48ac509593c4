// The resources that the about box, the progress window, the quick-open hint,
// the tip of the day, the smilie properties dialog, the first-time wizard,
// the notices about target programs, the messenger exporter and the smilie
// fields load are in the shipped program: the templates, the bitmaps, and
// pictures that our readers decode, each opacity picture of the same size as
// its colour picture. And dist/ holds what a user runs.
#include "collection/ImageReader.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

class ProgramResources : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const std::string exe = std::string(TVNX_BINARY_DIR) + "\\dist\\tarvenex.exe";
        s_hModule = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (s_hModule != NULL)
            FreeLibrary(s_hModule);
        s_hModule = NULL;
    }
    void SetUp() override { ASSERT_TRUE(s_hModule != NULL) << "the program could not be opened as data"; }

    // The decoded size of a picture resource; (0, 0) when it is missing or
    // does not decode.
    static CSize PictureSize(LPCSTR pszType, UINT nId)
    {
        CImageReader holder;
        if (!CImageReader::LoadFromResource(pszType, MAKEINTRESOURCEA(nId), s_hModule, holder))
            return CSize(0, 0);
        return holder.GetReader()->GetSize();
    }

    static HMODULE s_hModule;
};

HMODULE ProgramResources::s_hModule = NULL;

TEST_F(ProgramResources, DialogTemplatesAndBitmaps)
{
    const struct {
        UINT nId;
        LPCSTR pszType;
        const char* pszUse;
    } rows[] = {
        {159, RT_DIALOG, "about box"},
        {245, RT_DIALOG, "insertion template editor"},
        {400, RT_DIALOG, "progress window"},
        {536, RT_DIALOG, "quick-open hint"},
        {485, RT_DIALOG, "tip of the day"},
        {165, RT_DIALOG, "smilie properties with a source"},
        {344, RT_DIALOG, "smilie properties without a source"},
        {473, RT_DIALOG, "wizard page of the fields look"},
        {474, RT_DIALOG, "wizard page of censored smilies"},
        {417, RT_BITMAP, "wizard: 3D look"},
        {418, RT_BITMAP, "wizard: flat look"},
        {484, RT_BITMAP, "wizard: censored shown"},
        {483, RT_BITMAP, "wizard: censored hidden"},
        {287, RT_DIALOG, "notice: Eudora support"},
        {532, RT_DIALOG, "notice: HTML mail is off"},
        {281, RT_DIALOG, "notice: program not supported"},
        {279, RT_DIALOG, "notice: no internet connection"},
        {408, RT_DIALOG, "notice: hiding to the tray"},
        {534, RT_DIALOG, "messenger 6 reminder"},
        {545, RT_DIALOG, "messenger 7 reminder"},
        {533, RT_DIALOG, "messenger exporter"},
        {409, RT_BITMAP, "hiding notice: notification area"},
        {189, RT_BITMAP, "smilie fields' background tile"},
        {147, RT_DIALOG, "field properties"},
        {174, RT_DIALOG, "new smilie"},
        {173, RT_DIALOG, "new phrase"},
        {169, RT_DIALOG, "phrase properties"},
        {220, RT_GROUP_ICON, "right-drag menu: first drop method"},
        {222, RT_GROUP_ICON, "right-drag menu: second drop method"},
        {221, RT_GROUP_ICON, "right-drag menu: third drop method"},
        {223, RT_GROUP_ICON, "right-drag menu: fourth drop method"},
        {230, RT_GROUP_ICON, "right-drag menu: default method submenu"},
        {610, RT_BITMAP, "collections button"},
        {611, RT_BITMAP, "collections button pressed"},
        {612, RT_BITMAP, "collections button focused"},
        {613, RT_BITMAP, "collections button disabled"},
        {402, RT_DIALOG, "options: general"},
        {411, RT_DIALOG, "options: skin colour"},
        {403, RT_DIALOG, "options: smilies"},
        {407, RT_DIALOG, "options: start-up"},
        {405, RT_DIALOG, "options: memory"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszUse);
        EXPECT_TRUE(FindResourceA(s_hModule, MAKEINTRESOURCEA(row.nId), row.pszType) != NULL) << row.nId;
        if (row.pszType == RT_BITMAP) {
            HBITMAP hBitmap = static_cast<HBITMAP>(
                LoadImageA(s_hModule, MAKEINTRESOURCEA(row.nId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
            EXPECT_TRUE(hBitmap != NULL) << row.nId;
            if (hBitmap != NULL)
                DeleteObject(hBitmap);
        }
    }
}

TEST_F(ProgramResources, PicturesDecodeAndMasksMatch)
{
    const struct {
        LPCSTR pszType;
        UINT nPicture;
        UINT nMask;  // 0: none
        const char* pszUse;
    } rows[] = {
        {"Gif", 459, 460, "about box picture"},
        {"Gif", 543, 544, "quick-open hint and first tip"},
        {"Gif", 451, 452, "wizard side picture"},
        {"Gif", 502, 503, "note paper top"},
        {"Gif", 504, 505, "note paper middle"},
        {"Gif", 506, 507, "note paper bottom"},
        {"png", 541, 0, "tip 1"},
        {"gif", 527, 0, "tip 2"},
        {"gif", 508, 0, "tip 4"},
        {"gif", 520, 0, "tip 6"},
        {"gif", 514, 0, "tip 8"},
        {"gif", 515, 0, "tip 10"},
        {"gif", 521, 0, "tip 12"},
        {"gif", 516, 0, "tip 14"},
        {"gif", 519, 0, "tip 16"},
        {"gif", 509, 511, "tip 18"},
        {"gif", 522, 523, "tip 20"},
        {"gif", 524, 526, "tip 22"},
        {"gif", 530, 531, "tip 24"},
        {"Gif", 455, 456, "notice picture"},
        {"Gif", 457, 458, "field properties picture"},
        {"Png", 542, 0, "messenger 6 reminder: picture size"},
        {"Png", 547, 0, "messenger 7 reminder: classic collection"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszUse);
        const CSize size = PictureSize(row.pszType, row.nPicture);
        EXPECT_GT(size.cx, 0) << row.nPicture << " is missing or does not decode";
        EXPECT_GT(size.cy, 0) << row.nPicture;
        if (row.nMask != 0) {
            const CSize mask = PictureSize(row.pszType, row.nMask);
            EXPECT_EQ(mask.cx, size.cx) << "mask " << row.nMask;
            EXPECT_EQ(mask.cy, size.cy) << "mask " << row.nMask;
        }
    }
}

// The note paper's pieces are stacked into one sheet: they share one width.
TEST_F(ProgramResources, NotePaperPiecesShareTheirWidth)
{
    const CSize top = PictureSize("Gif", 502);
    EXPECT_GT(top.cx, 0);
    EXPECT_EQ(PictureSize("Gif", 504).cx, top.cx);
    EXPECT_EQ(PictureSize("Gif", 506).cx, top.cx);
}

BOOL CALLBACK CollectGroupName(HMODULE, LPCSTR, LPSTR pszName, LONG_PTR lParam)
{
    auto* pNames = reinterpret_cast<std::vector<std::string>*>(lParam);
    pNames->push_back(IS_INTRESOURCE(pszName) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(pszName)) : pszName);
    return TRUE;
}

// The program's icon and its collection files' icon are the only named icon
// groups and come first, in this order: the file types name the second by
// its place ("<program>,1"). Both, and the tab menu's icons, load at 16 x 16.
TEST_F(ProgramResources, NamedIconGroupsComeFirst)
{
    std::vector<std::string> names;
    EnumResourceNamesA(s_hModule, RT_GROUP_ICON, CollectGroupName, reinterpret_cast<LONG_PTR>(&names));
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ("IDI_ICONDEFAULT", names[0]);
    EXPECT_EQ("IDI_ICONFORTVNXDOCUMENT", names[1]);
    for (size_t i = 2; i < names.size(); i++)
        EXPECT_EQ('#', names[i][0]) << names[i] << " is a third named group";

    std::vector<LPCSTR> icons = {"IDI_ICONDEFAULT", "IDI_ICONFORTVNXDOCUMENT"};
    for (UINT nId = 620; nId <= 627; nId++)
        icons.push_back(MAKEINTRESOURCEA(nId));
    // The main window's menus.
    for (UINT nId : {153, 154, 401, 390, 155, 394, 211, 398, 413, 380, 157, 374, 362, 399, 392, 131, 226, 227})
        icons.push_back(MAKEINTRESOURCEA(nId));
    for (UINT nId : {423, 424, 224})  // the tray icons, the tray menu's open item
        icons.push_back(MAKEINTRESOURCEA(nId));
    for (UINT nId : {220u, 221u, 222u, 223u, 230u})  // the right-drag menu
        icons.push_back(MAKEINTRESOURCEA(nId));
    for (LPCSTR pszIcon : icons) {
        HICON hIcon = static_cast<HICON>(LoadImageA(s_hModule, pszIcon, IMAGE_ICON, 16, 16, 0));
        EXPECT_TRUE(hIcon != NULL) << (IS_INTRESOURCE(pszIcon) ? std::to_string(UINT_PTR(pszIcon)) : pszIcon);
        if (hIcon != NULL)
            DestroyIcon(hIcon);
    }
}

// The DLL names a binary imports, read from its import directory; "!" plus a
// reason when the file is not a PE image we can read.
std::vector<std::string> ImportedLibraries(const std::string& path)
{
    std::vector<std::string> names;
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return {"!missing"};
    std::vector<BYTE> b(GetFileSize(hFile, NULL));
    DWORD nRead = 0;
    const BOOL bRead = ReadFile(hFile, b.data(), DWORD(b.size()), &nRead, NULL);
    CloseHandle(hFile);
    if (!bRead || nRead != b.size() || b.size() < sizeof(IMAGE_DOS_HEADER))
        return {"!unreadable"};
    auto at = [&](size_t off, size_t len) { return off <= b.size() && len <= b.size() - off; };
    const LONG nt = reinterpret_cast<const IMAGE_DOS_HEADER*>(b.data())->e_lfanew;
    if (nt < 0 || !at(nt, 4 + sizeof(IMAGE_FILE_HEADER) + 2))
        return {"!no PE header"};
    const auto* fh = reinterpret_cast<const IMAGE_FILE_HEADER*>(&b[nt + 4]);
    const size_t opt = nt + 4 + sizeof(IMAGE_FILE_HEADER);
    const WORD magic = *reinterpret_cast<const WORD*>(&b[opt]);
    IMAGE_DATA_DIRECTORY dir;
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC && at(opt, sizeof(IMAGE_OPTIONAL_HEADER32)))
        dir = reinterpret_cast<const IMAGE_OPTIONAL_HEADER32*>(&b[opt])->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC && at(opt, sizeof(IMAGE_OPTIONAL_HEADER64)))
        dir = reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(&b[opt])->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    else
        return {"!unknown optional header"};
    const size_t sections = opt + fh->SizeOfOptionalHeader;
    if (!at(sections, size_t(fh->NumberOfSections) * sizeof(IMAGE_SECTION_HEADER)))
        return {"!truncated section table"};
    // A relative address to its offset in the file; 0 when no section holds it.
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < fh->NumberOfSections; i++) {
            const auto* sh = reinterpret_cast<const IMAGE_SECTION_HEADER*>(&b[sections]) + i;
            if (rva >= sh->VirtualAddress && rva < sh->VirtualAddress + sh->SizeOfRawData)
                return rva - sh->VirtualAddress + sh->PointerToRawData;
        }
        return 0;
    };
    for (size_t off = offsetOf(dir.VirtualAddress); off != 0 && at(off, sizeof(IMAGE_IMPORT_DESCRIPTOR));
         off += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(&b[off]);
        if (d->Name == 0)
            break;
        const size_t name = offsetOf(d->Name);
        std::string s;
        for (size_t i = name; name != 0 && i < b.size() && b[i] != 0; i++)
            s += char(tolower(b[i]));
        names.push_back(s.empty() ? "!bad name" : s);
    }
    return names;
}

// What a user gets in dist/: the program, the focus-hook library and the two
// messenger hook libraries, importing only what every Windows has (no runtime
// of the compiler beside them), and the data the program reads.
TEST(Dist, BinariesImportOnlySystemLibrariesAndTheDataIsThere)
{
    const std::string dist = std::string(TVNX_BINARY_DIR) + "\\dist\\";
    const char* const system[] = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                                  "ole32.dll", "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "msimg32.dll",
                                  "version.dll", "winmm.dll", "wininet.dll", "urlmon.dll", "shlwapi.dll",
                                  "msvcrt.dll", "imm32.dll", "uxtheme.dll", "msvfw32.dll"};
    for (const char* pszBinary : {"tarvenex.exe", "tarvenex.dll", "tarvenex_msnm6.dll", "tarvenex_msnm7.dll"}) {
        const std::vector<std::string> imports = ImportedLibraries(dist + pszBinary);
        EXPECT_FALSE(imports.empty()) << pszBinary;
        for (const std::string& lib : imports)
            EXPECT_NE(std::end(system), std::find(std::begin(system), std::end(system), lib))
                << pszBinary << " imports " << lib;
    }
    for (const char* pszFolder : {"Languages", "Skins\\Standard", "help"}) {
        const DWORD dw = GetFileAttributesA((dist + pszFolder).c_str());
        EXPECT_TRUE(dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY)) << pszFolder;
    }
    for (const char* pszFile : {"Languages\\English.lng", "Skins\\Standard\\Standard.skn", "help\\index.htm",
                                "help\\page2.htm", "history.txt", "demo.tvnx"}) {
        const DWORD dw = GetFileAttributesA((dist + pszFile).c_str());
        EXPECT_TRUE(dw != INVALID_FILE_ATTRIBUTES && !(dw & FILE_ATTRIBUTE_DIRECTORY)) << pszFile;
    }
}

// The fields' menus load their icons by number, at 16 x 16.
TEST_F(ProgramResources, FieldMenuIconsLoad)
{
    const struct {
        UINT nId;
        const char* pszUse;
    } rows[] = {
        {215, "paste"},
        {213, "paste history"},
        {166, "history entry of a large group"},
        {209, "sort submenu"},
        {179, "sort by text"},
        {233, "sort by picture size"},
        {231, "sort by data size"},
        {228, "sort by date"},
        {232, "sort by use"},
        {152, "random order"},
        {183, "arrange: pack"},
        {182, "arrange: every other cell"},
        {180, "arrange: every other row"},
        {178, "arrange: spread out"},
        {184, "insert rows"},
        {358, "add pictures from files"},
        {198, "new submenu"},
        {199, "new smilie"},
        {200, "new phrase"},
        {201, "select all"},
        {186, "cut"},
        {190, "copy"},
        {187, "delete"},
        {359, "export"},
        {207, "stop the download"},
        {206, "download the picture"},
        {208, "properties of a picture"},
        {210, "properties of a phrase"},
        {341, "undo"},
        {342, "redo"},
    };
    for (const auto& row : rows) {
        HICON hIcon = static_cast<HICON>(LoadImageA(s_hModule, MAKEINTRESOURCEA(row.nId), IMAGE_ICON, 16, 16, 0));
        EXPECT_TRUE(hIcon != NULL) << row.nId << " " << row.pszUse;
        if (hIcon != NULL)
            DestroyIcon(hIcon);
    }
}

}  // namespace
