// The shell's services: the temp folder, file-type registration, the scan of
// the data folder and the folder macros.
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "tests/services/AppTestFiles.h"
#include "tests/services/RegistrySandbox.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// Sets an environment variable for the test and restores it afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char* pszName, const std::string& strValue) : m_strName(pszName)
    {
        char sz[MAX_PATH * 2];
        const DWORD n = GetEnvironmentVariableA(pszName, sz, sizeof(sz));
        m_bHad = n > 0 && n < sizeof(sz);
        if (m_bHad)
            m_strOld = sz;
        SetEnvironmentVariableA(pszName, strValue.c_str());
    }
    ~ScopedEnv() { SetEnvironmentVariableA(m_strName.c_str(), m_bHad ? m_strOld.c_str() : NULL); }

private:
    std::string m_strName;
    std::string m_strOld;
    bool m_bHad = false;
};

class TempFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_TempFolder[0] = '\0';
        SetDefaultSettings();
        // A path below a file can never become a folder.
        ASSERT_TRUE(WriteWholeFile(m_dir.Path("file"), "x"));
    }
    void TearDown() override
    {
        g_TempFolder[0] = '\0';
        SetDefaultSettings();
    }
    std::string Found()
    {
        char sz[MAX_PATH] = "unchanged";
        const int n = GetTempFolder(sizeof(sz), sz);
        EXPECT_EQ(size_t(n), strlen(sz));
        return n > 0 ? sz : "";
    }

    AppTempDir m_dir;
};

TEST_F(TempFolderTest, SystemTempFolderIsCreatedAndKept)
{
    const std::string strSystem = m_dir.Path("sys\\deeper");
    ScopedEnv tmp("TMP", strSystem + "\\");
    ScopedEnv temp("TEMP", strSystem + "\\");
    EXPECT_EQ(strSystem, Found());
    EXPECT_TRUE(IsFolder(strSystem));

    // Kept for the run, even when the system's choice changes.
    ScopedEnv tmp2("TMP", m_dir.Path("other"));
    EXPECT_EQ(strSystem, Found());
    EXPECT_FALSE(IsFolder(m_dir.Path("other")));
}

TEST_F(TempFolderTest, WithoutSystemFolderTheDataFolderHoldsIt)
{
    ScopedEnv tmp("TMP", m_dir.Path("file\\sub"));
    ScopedEnv temp("TEMP", m_dir.Path("file\\sub"));
    SetAppDataFolder((m_dir.Path("data") + "\\").c_str());
    EXPECT_EQ(m_dir.Path("data\\Temp"), Found());
    EXPECT_TRUE(IsFolder(m_dir.Path("data\\Temp")));
}

TEST_F(TempFolderTest, NoUsableFolderGivesNone)
{
    ScopedEnv tmp("TMP", m_dir.Path("file\\sub"));
    ScopedEnv temp("TEMP", m_dir.Path("file\\sub"));
    SetAppDataFolder(m_dir.Path("file\\data").c_str());
    EXPECT_EQ("", Found());
    SetAppDataFolder("");
    EXPECT_EQ("", Found());
    EXPECT_EQ(0, GetTempFolder(0, NULL));
}

TEST_F(TempFolderTest, FolderSetBeforeLosesTrailingSlashesAndFitsOrNot)
{
    strcpy(g_TempFolder, "C:\\given\\//");
    char sz[16] = "unchanged";
    EXPECT_EQ(8, GetTempFolder(8, sz));
    EXPECT_STREQ("unchanged", sz);
    EXPECT_EQ(8, GetTempFolder(9, sz));
    EXPECT_STREQ("C:\\given", sz);
    EXPECT_EQ(8, GetTempFolder(9, NULL));
}

// HKEY_CLASSES_ROOT redirected to a sandbox, watched for any write below it.
class FileTypesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        m_hChanged = CreateEventA(NULL, TRUE, FALSE, NULL);
    }
    void TearDown() override { CloseHandle(m_hChanged); }

    void Watch()
    {
        ResetEvent(m_hChanged);
        ASSERT_EQ(ERROR_SUCCESS, RegNotifyChangeKeyValue(m_sandbox.Root(), TRUE,
                                                         REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                                         m_hChanged, TRUE));
    }
    bool Written() { return WaitForSingleObject(m_hChanged, 0) == WAIT_OBJECT_0; }

    std::string Default(const char* pszSubKey)
    {
        char sz[MAX_PATH + 32] = "";
        LONG cb = sizeof(sz);
        if (RegQueryValueA(HKEY_CLASSES_ROOT, pszSubKey, sz, &cb) != ERROR_SUCCESS)
            return "<none>";
        return sz;
    }

    RegistrySandbox m_sandbox{HKEY_CLASSES_ROOT};
    HANDLE m_hChanged = NULL;
};

TEST_F(FileTypesTest, WrittenOnceThenLeftAlone)
{
    char szProgram[MAX_PATH];
    GetModuleFileNameA(NULL, szProgram, sizeof(szProgram));
    const std::string strCommand = "\"" + std::string(szProgram) + "\" \"%1\"";
    const std::string strIcon = std::string(szProgram) + ",1";

    Watch();
    EXPECT_EQ(1, RegisterFileTypes());
    EXPECT_TRUE(Written());
    const struct
    {
        const char* pszKey;
        std::string strText;
    } rows[] = {
        {".tvnx", "Tarvenex.SmilieCollection.1"},
        {"Tarvenex.SmilieCollection.1", "Tarvenex Smilie Collection"},
        {"Tarvenex.SmilieCollection.1\\Shell\\Open\\Command", strCommand},
        {"Tarvenex.SmilieCollection.1\\Shell\\Preview\\Command", strCommand},
        {"Tarvenex.SmilieCollection.1\\DefaultIcon", strIcon},
        {".tvnu", "Tarvenex.SmilieCollectionUpdate.1"},
        {"Tarvenex.SmilieCollectionUpdate.1", "Tarvenex Smilie Collection Update"},
        {"Tarvenex.SmilieCollectionUpdate.1\\Shell\\Open\\Command", strCommand},
        {"Tarvenex.SmilieCollectionUpdate.1\\Shell\\Preview\\Command", strCommand},
        {"Tarvenex.SmilieCollectionUpdate.1\\DefaultIcon", strIcon},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.strText, Default(row.pszKey)) << row.pszKey;

    Watch();
    EXPECT_EQ(1, RegisterFileTypes());
    EXPECT_FALSE(Written()) << "the second registration wrote to the registry";

    // A value that another program changed, or stored with another type, is put right.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, ".tvnu", REG_SZ, "Other.Program", 13));
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, ".tvnx", 0, KEY_ALL_ACCESS, &hKey));
    const char szExpand[] = "Tarvenex.SmilieCollection.1";
    RegSetValueExA(hKey, NULL, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(szExpand), sizeof(szExpand));
    RegCloseKey(hKey);
    Watch();
    EXPECT_EQ(1, RegisterFileTypes());
    EXPECT_TRUE(Written());
    EXPECT_EQ("Tarvenex.SmilieCollectionUpdate.1", Default(".tvnu"));
    EXPECT_EQ("Tarvenex.SmilieCollection.1", Default(".tvnx"));
}

TEST_F(FileTypesTest, ChangedFlagTellsWhetherAWriteHappened)
{
    BOOL bChanged = FALSE;
    EXPECT_TRUE(RegWriteClassesDefault("Tvnx.Test", "one", &bChanged));
    EXPECT_TRUE(bChanged);
    bChanged = FALSE;
    EXPECT_TRUE(RegWriteClassesDefault("Tvnx.Test", "one", &bChanged));
    EXPECT_FALSE(bChanged);
    // The comparison is exact.
    EXPECT_TRUE(RegWriteClassesDefault("Tvnx.Test", "One", &bChanged));
    EXPECT_TRUE(bChanged);
    EXPECT_EQ("One", Default("Tvnx.Test"));
}

class ScanCollectionsTest : public ::testing::Test
{
protected:
    void SetUp() override { SetAppDataFolder(m_dir.Dir().c_str()); }
    void TearDown() override { SetDefaultSettings(); }

    void Touch(const std::string& strFile) { ASSERT_TRUE(WriteWholeFile(m_dir.Path(strFile), "x")); }
    std::vector<std::string> Names(int nMaxLength)
    {
        CSequence<SCANNEDCOLLECTION> list;
        ScanCollections(list, nMaxLength);
        std::vector<std::string> names;
        for (int i = 0; i < list.GetSize(); i++) {
            names.push_back(list[i].strName.GetString());
            const std::string strPath = list[i].strPath.GetString();
            EXPECT_TRUE(WriteWholeFile(strPath, "y")) << strPath;   // the path names the file
        }
        return names;
    }

    AppTempDir m_dir;
};

TEST_F(ScanCollectionsTest, DemoShowsAsGeneralSmiliesUnlessThatExists)
{
    Touch("zeta.tvnx");
    Touch("Demo.tvnx");
    Touch("alpha.tvnx");
    Touch("notes.txt");
    Touch("other.tvnxx");
    CreateDirectoryA(m_dir.Path("folder.tvnx").c_str(), NULL);
    EXPECT_EQ((std::vector<std::string>{"alpha", "General Smilies", "zeta"}), Names(0));

    Touch("general smilies.tvnx");
    EXPECT_EQ((std::vector<std::string>{"alpha", "Demo", "general smilies", "zeta"}), Names(0));
}

TEST_F(ScanCollectionsTest, LongNamesAreCut)
{
    Touch("abcd.tvnx");
    Touch("abcdefg.tvnx");
    Touch("abcdefgh.tvnx");
    Touch("demo.tvnx");
    EXPECT_EQ((std::vector<std::string>{"abcd", "abcdefg", "abcdefg...", "General..."}), Names(10));
    EXPECT_EQ((std::vector<std::string>{"a...", "a...", "a...", "G..."}), Names(4));
    EXPECT_EQ((std::vector<std::string>{"abcd", "abcdefg", "abcdefgh", "General Smilies"}), Names(3));
}

TEST_F(ScanCollectionsTest, MissingFolderGivesNothing)
{
    SetAppDataFolder(m_dir.Path("none").c_str());
    EXPECT_TRUE(Names(0).empty());
}

std::string Expand(const std::string& strPath, int* pnResult)
{
    char sz[MAX_PATH];
    lstrcpynA(sz, strPath.c_str(), sizeof(sz));
    *pnResult = ExpandFolderMacros(sz);
    return sz;
}

struct MacroRow
{
    const char* pszPath;
    int nResult;
    std::string strExpected;
};

void CheckRows(const std::vector<MacroRow>& rows)
{
    for (const MacroRow& row : rows) {
        int nResult = -1;
        const std::string strOut = Expand(row.pszPath, &nResult);
        EXPECT_EQ(row.nResult, nResult) << row.pszPath;
        EXPECT_EQ(row.nResult ? row.strExpected : std::string(row.pszPath), strOut) << row.pszPath;
    }
}

TEST(FolderMacros, ShellFoldersFromTheSystem)
{
    ASSERT_NE(nullptr, CreateExportedFuncs());
    ASSERT_NE(nullptr, g_pExportedFuncs->pSHGetSpecialFolderPath);
    char szAppData[MAX_PATH] = "";
    char szPictures[MAX_PATH] = "";
    ASSERT_EQ(S_OK, SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, 0, szAppData));
    ASSERT_EQ(S_OK, SHGetFolderPathA(NULL, CSIDL_MYPICTURES, NULL, 0, szPictures));
    const std::string strAppData = szAppData;
    CheckRows({
        {"%APPDATA%/Mordale//Tarvenex/", 1, strAppData + "\\Mordale\\Tarvenex"},
        {"%appdata%\\x", 1, strAppData + "\\x"},
        {"%MYPICTURES%", 1, szPictures},
        {"%WINDIR%\\x", 0, ""},
        {"C:\\x\\%APPDATA%\\y", 1, "C:\\x\\" + strAppData + "\\y"},
    });
    DeleteExportedFuncs();
}

bool SetString(HKEY hRoot, const char* pszKey, const char* pszValue, const char* pszText)
{
    HKEY hKey = NULL;
    if (RegCreateKeyExA(hRoot, pszKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    const LONG l = RegSetValueExA(hKey, pszValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText), DWORD(strlen(pszText) + 1));
    RegCloseKey(hKey);
    return l == ERROR_SUCCESS;
}

TEST(FolderMacros, RegistryWhenTheShellCannotTell)
{
    DeleteExportedFuncs();
    RegistrySandbox user(HKEY_CURRENT_USER);
    RegistrySandbox machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(user.IsActive() && machine.IsActive());
    const char szUserKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, szUserKey, "AppData", "C:\\Users\\me\\AppData\\"));
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Folders",
                          "Common AppData", "D:\\All"));
    const std::string strLong(240, 'x');
    CheckRows({
        {"%APPDATA%/Mordale//Tarvenex/", 1, "C:\\Users\\me\\AppData\\Mordale\\Tarvenex"},
        {"%COMMONAPPDATA%\\Mordale", 1, "D:\\All\\Mordale"},
        {"%MYPICTURES%\\x", 0, ""},
        {"%NOPE%", 0, ""},
        {"C://plain\\\\path\\", 1, "C:\\plain\\path"},
        {"%%\\%x", 1, "%%\\%x"},
        {"\\//", 0, ""},
        {"", 0, ""},
    });
    const std::string strTooLong = "%APPDATA%\\" + strLong;
    CheckRows({{strTooLong.c_str(), 0, ""}});
}

}   // namespace
