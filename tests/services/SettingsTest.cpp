// The settings record: defaults, what a stored value loads as, saving, and the
// registry helpers beneath them.
#include "services/Registry.h"
#include "services/Settings.h"
#include "tests/services/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

const char kSubKey[] = "Software\\Mordale\\Tarvenex";

// HKEY_CURRENT_USER redirected to a sandbox holding the settings key.
class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        SetDefaultSettings();
    }
    void TearDown() override { SetDefaultSettings(); }

    HKEY OpenKey()
    {
        HKEY hKey = NULL;
        RegCreateKeyExA(HKEY_CURRENT_USER, kSubKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
        return hKey;
    }
    void DeleteKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kSubKey); }

    RegistrySandbox m_sandbox{HKEY_CURRENT_USER};
};

void WriteRaw(HKEY hKey, const char* pszName, DWORD dwType, const void* pData, DWORD cb)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(hKey, pszName, 0, dwType, static_cast<const BYTE*>(pData), cb)) << pszName;
}

void WriteDword(HKEY hKey, const char* pszName, DWORD dw)
{
    WriteRaw(hKey, pszName, REG_DWORD, &dw, sizeof(dw));
}

// Reads a value back as text: a number in decimal, a string as it is, the
// position as "x,y".
std::string Member(const std::string& strName)
{
    const APPSETTINGS& s = g_Settings;
    if (strName == "Language") return s.Language.GetString();
    if (strName == "Skin") return s.Skin.GetString();
    if (strName == "AppDataFolder") return s.AppDataFolder.GetString();
    if (strName == "SmilieCollection") return s.SmilieCollection.GetString();
    if (strName == "FieldName") return s.FieldName.GetString();
    if (strName == "MainWndPosition")
        return std::to_string(s.MainWndPosition.x) + "," + std::to_string(s.MainWndPosition.y);
    if (strName == "SmiliePreviewMode") return std::to_string(s.SmiliePreviewMode);
    if (strName == "SmiliePreviewTimeoutInMs") return std::to_string(s.SmiliePreviewTimeoutInMs);
    if (strName == "SmilieAnimation") return std::to_string(s.SmilieAnimation);
    if (strName == "SmilieCacheSizeInMB") return std::to_string(s.SmilieCacheSizeInMB);
    if (strName == "DefaultDropMethod") return std::to_string(s.DefaultDropMethod);
    if (strName == "ShowTipsOfTheDay") return std::to_string(s.ShowTipsOfTheDay);
    if (strName == "TrayIconColor") return std::to_string(s.TrayIconColor);
    if (strName == "UndoBufferSizeInMB") return std::to_string(s.UndoBufferSizeInMB);
    if (strName == "MainWndTransparencyPercent") return std::to_string(s.MainWndTransparencyPercent);
    if (strName == "MainWndHeight") return std::to_string(s.MainWndHeight);
    if (strName == "MainWndAnimateHidingToTray") return std::to_string(s.MainWndAnimateHidingToTray);
    if (strName == "SkinColor") return std::to_string(s.SkinColor);
    if (strName == "SkinColorScheme") return std::to_string(s.SkinColorScheme);
    if (strName == "SmilieFieldsLook") return std::to_string(s.SmilieFieldsLook);
    if (strName == "ShowInsertingInMSN7Reminder") return std::to_string(s.ShowInsertingInMSN7Reminder);
    return "(no such member in the test)";
}

struct StoredRow
{
    const char* pszCase;
    const char* pszName;
    DWORD dwType;
    std::string bytes;    // the raw value as stored
    const char* pszExpected;
};

std::string Dw(DWORD dw)
{
    return std::string(reinterpret_cast<const char*>(&dw), sizeof(dw));
}

std::string Sz(const char* psz)
{
    return std::string(psz, strlen(psz) + 1);
}

TEST_F(SettingsTest, StoredValuesLoadByTheirRules)
{
    const StoredRow rows[] = {
        {"preview mode in range", "SmiliePreviewMode", REG_DWORD, Dw(1), "1"},
        {"preview mode above 2", "SmiliePreviewMode", REG_DWORD, Dw(3), "2"},
        {"preview mode negative counts as huge", "SmiliePreviewMode", REG_DWORD, Dw(DWORD(-1)), "2"},
        {"timeout lowest", "SmiliePreviewTimeoutInMs", REG_DWORD, Dw(50), "50"},
        {"timeout below 50", "SmiliePreviewTimeoutInMs", REG_DWORD, Dw(49), "500"},
        {"timeout above 5000", "SmiliePreviewTimeoutInMs", REG_DWORD, Dw(5001), "500"},
        {"timeout negative", "SmiliePreviewTimeoutInMs", REG_DWORD, Dw(DWORD(-100)), "500"},
        {"cache 0", "SmilieCacheSizeInMB", REG_DWORD, Dw(0), "50"},
        {"cache 101", "SmilieCacheSizeInMB", REG_DWORD, Dw(101), "50"},
        {"cache 100", "SmilieCacheSizeInMB", REG_DWORD, Dw(100), "100"},
        {"undo 0", "UndoBufferSizeInMB", REG_DWORD, Dw(0), "20"},
        {"undo 0xFFFFFFFF", "UndoBufferSizeInMB", REG_DWORD, Dw(0xFFFFFFFF), "20"},
        {"undo 50", "UndoBufferSizeInMB", REG_DWORD, Dw(50), "50"},
        {"tips off stays off", "ShowTipsOfTheDay", REG_DWORD, Dw(DWORD(-1)), "-1"},
        {"tips -2", "ShowTipsOfTheDay", REG_DWORD, Dw(DWORD(-2)), "0"},
        {"tips 1000", "ShowTipsOfTheDay", REG_DWORD, Dw(1000), "1000"},
        {"tips 1001", "ShowTipsOfTheDay", REG_DWORD, Dw(1001), "0"},
        {"drop method 0", "DefaultDropMethod", REG_DWORD, Dw(0), "4"},
        {"drop method 1", "DefaultDropMethod", REG_DWORD, Dw(1), "1"},
        {"transparency -1", "MainWndTransparencyPercent", REG_DWORD, Dw(DWORD(-1)), "0"},
        {"transparency 101", "MainWndTransparencyPercent", REG_DWORD, Dw(101), "0"},
        {"transparency 100", "MainWndTransparencyPercent", REG_DWORD, Dw(100), "100"},
        {"height 15", "MainWndHeight", REG_DWORD, Dw(15), "555"},
        {"height 1601", "MainWndHeight", REG_DWORD, Dw(1601), "555"},
        {"height 16", "MainWndHeight", REG_DWORD, Dw(16), "16"},
        {"hiding animation 3", "MainWndAnimateHidingToTray", REG_DWORD, Dw(3), "2"},
        {"hiding animation 0", "MainWndAnimateHidingToTray", REG_DWORD, Dw(0), "0"},
        {"colour scheme -1", "SkinColorScheme", REG_DWORD, Dw(DWORD(-1)), "1"},
        {"colour scheme 6", "SkinColorScheme", REG_DWORD, Dw(6), "1"},
        {"colour scheme 0", "SkinColorScheme", REG_DWORD, Dw(0), "0"},
        {"fields look 4", "SmilieFieldsLook", REG_DWORD, Dw(4), "3"},
        {"fields look 0", "SmilieFieldsLook", REG_DWORD, Dw(0), "0"},
        {"flag 5", "SmilieAnimation", REG_DWORD, Dw(5), "1"},
        {"flag 0", "SmilieAnimation", REG_DWORD, Dw(0), "0"},
        {"last flag", "ShowInsertingInMSN7Reminder", REG_DWORD, Dw(0), "0"},
        {"colour as read", "SkinColor", REG_DWORD, Dw(0xFFFFFFFF), "4294967295"},
        {"position -1,-1", "MainWndPosition", REG_DWORD, Dw(0xFFFFFFFF), "-1,-1"},
        {"position with negative x", "MainWndPosition", REG_DWORD, Dw((16u << 16) | 65520u), "-16,16"},
        {"position with negative y", "MainWndPosition", REG_DWORD, Dw((0x8000u << 16) | 0x7FFFu), "32767,-32768"},
        {"missing value", "Unrelated", REG_DWORD, Dw(1), "Missing"},
        {"number as REG_BINARY", "SmilieCacheSizeInMB", REG_BINARY, Dw(10), "50"},
        {"number as REG_SZ", "SmilieCacheSizeInMB", REG_SZ, Sz("10"), "50"},
        {"number of 2 bytes", "SmilieCacheSizeInMB", REG_DWORD, std::string("\x0a\x00", 2), "50"},
        {"number of 8 bytes", "SmilieCacheSizeInMB", REG_DWORD, Dw(10) + Dw(0), "50"},
        {"number of 0 bytes", "SmilieCacheSizeInMB", REG_DWORD, std::string(), "50"},
        {"colour as REG_BINARY", "TrayIconColor", REG_BINARY, Dw(0x123456), "16711680"},
        {"language", "Language", REG_SZ, Sz("Deutsch"), "Deutsch"},
        {"empty language", "Language", REG_SZ, Sz(""), "English"},
        {"language of size 0", "Language", REG_SZ, std::string(), "English"},
        {"language as REG_DWORD", "Language", REG_DWORD, Dw(1), "English"},
        {"language as REG_EXPAND_SZ", "Language", REG_EXPAND_SZ, Sz("Deutsch"), "English"},
        {"language without its zero", "Language", REG_SZ, std::string("Dansk"), "Dansk"},
        {"language with bytes after a zero", "Language", REG_SZ, std::string("Norsk\0xyz", 9), "Norsk"},
        {"empty skin", "Skin", REG_SZ, Sz(""), "Standard"},
        {"empty collection", "SmilieCollection", REG_SZ, Sz(""), "<default>"},
        {"collection", "SmilieCollection", REG_SZ, Sz("C:\\x.tvnx"), "C:\\x.tvnx"},
        {"empty data folder", "AppDataFolder", REG_SZ, Sz(""), ""},
        {"data folder", "AppDataFolder", REG_SZ, Sz("C:\\Data"), "C:\\Data"},
        {"empty field name", "FieldName", REG_SZ, Sz(""), ""},
    };
    for (const StoredRow& row : rows) {
        DeleteKey();
        HKEY hKey = OpenKey();
        ASSERT_NE(HKEY(NULL), hKey);
        WriteRaw(hKey, row.pszName, row.dwType, row.bytes.data(), DWORD(row.bytes.size()));
        RegCloseKey(hKey);
        // A value that differs from the default shows that loading starts from the defaults.
        g_Settings.SmilieCacheSizeInMB = 77;
        g_Settings.FieldName = "left over";
        EXPECT_EQ(1, LoadSettings()) << row.pszCase;
        const std::string strName = std::string(row.pszName) == "Unrelated" ? "SmilieCacheSizeInMB" : row.pszName;
        const std::string strExpected = std::string(row.pszExpected) == "Missing" ? "50" : row.pszExpected;
        EXPECT_EQ(strExpected, Member(strName)) << row.pszCase;
        if (strName != "FieldName") {
            EXPECT_EQ("", Member("FieldName")) << row.pszCase;
        }
    }
}

TEST_F(SettingsTest, MissingKeyLeavesTheDefaults)
{
    DeleteKey();
    g_Settings.SkinColor = 1;
    g_Settings.Language = "Deutsch";
    EXPECT_EQ(0, LoadSettings());
    EXPECT_EQ(COLORREF(0xD26757), g_Settings.SkinColor);
    EXPECT_STREQ("English", g_Settings.Language);
    EXPECT_EQ(-1, g_Settings.MainWndPosition.x);
    EXPECT_EQ(-1, g_Settings.MainWndPosition.y);
    EXPECT_EQ(3, g_Settings.SmilieFieldsLook);
}

// Every value different from its default and from the other values, within
// the range that loads unchanged.
void FillDistinctValues()
{
    APPSETTINGS& s = g_Settings;
    int* flags[] = {&s.SmilieAnimation, &s.FadeDialogs, &s.TabSmoothScroll, &s.TabTransparentEdges,
                    &s.ShowButtonOnTaskbar, &s.MainWndDockToWindows, &s.Show3DMenus, &s.InsertLocalSmilies,
                    &s.WarnNoInternetConnection, &s.EudoraOnly, &s.ShowTips, &s.SmiliePreviewOnlyForBigOnes,
                    &s.SmilieLocalMark, &s.TrayIconSingleClick, &s.TrayTipAtStartup, &s.WarnExit,
                    &s.SmiliePreviewIncludesName, &s.MainWndOpaqueOnMouseHover, &s.WarnMinimizingToTray,
                    &s.MainWndOpenAtStartup, &s.SkinColoringEnabled, &s.ShowFirstTimeSetup, &s.SmilieToolbar,
                    &s.ShowCensoredSmilies, &s.ShowInsertingInMSN6Reminder, &s.ShowInsertingInMSN7Reminder};
    for (int* p : flags)
        *p = !*p;
    s.SmiliePreviewMode = 1;
    s.SmiliePreviewTimeoutInMs = 4321;
    s.SmilieCacheSizeInMB = 99;
    s.Language = "Deutsch";
    s.Skin = "Blue Glass";
    s.DefaultDropMethod = 2;
    s.ShowTipsOfTheDay = -1;
    s.TrayIconColor = 0x00112233;
    s.SmiliePreviewBackgroundColor = 0x00445566;
    s.UndoBufferSizeInMB = 49;
    s.SmiliePreviewNameColor = 0x00778899;
    s.AppDataFolder = "C:\\Some Data";
    s.SmilieCollection = "C:\\Some Data\\mine.tvnx";
    s.MainWndPosition.x = -300;
    s.MainWndPosition.y = 32767;
    s.MainWndTransparencyPercent = 37;
    s.MainWndHeight = 1600;
    s.FieldName = "Faces";
    s.MainWndAnimateHidingToTray = 1;
    s.SkinColor = 0x00ABCDEF;
    s.SkinColorScheme = 5;
    s.SmilieFieldsLook = 0;
}

TEST_F(SettingsTest, SaveThenLoadGivesTheSameRecord)
{
    DeleteKey();
    FillDistinctValues();
    // Raw copy of the record: the strings are compared one by one below.
    const APPSETTINGS saved = g_Settings;
    EXPECT_EQ(1, SaveSettings(FALSE));
    HKEY hInSandbox = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(m_sandbox.Root(), kSubKey, 0, KEY_READ, &hInSandbox));
    RegCloseKey(hInSandbox);
    SetDefaultSettings();
    EXPECT_EQ(1, LoadSettings());
    const APPSETTINGS& s = g_Settings;
    EXPECT_STREQ(saved.Language, s.Language);
    EXPECT_STREQ(saved.Skin, s.Skin);
    EXPECT_STREQ(saved.AppDataFolder, s.AppDataFolder);
    EXPECT_STREQ(saved.SmilieCollection, s.SmilieCollection);
    EXPECT_STREQ(saved.FieldName, s.FieldName);
    EXPECT_EQ(saved.MainWndPosition.x, s.MainWndPosition.x);
    EXPECT_EQ(saved.MainWndPosition.y, s.MainWndPosition.y);
    // All other members are 32-bit numbers between the strings and the position.
    auto numbers = [](const APPSETTINGS& a) {
        return std::vector<long long>{
            a.SmiliePreviewMode, a.SmiliePreviewTimeoutInMs, a.SmilieAnimation, a.SmilieCacheSizeInMB,
            a.FadeDialogs, a.TabSmoothScroll, a.TabTransparentEdges, a.ShowButtonOnTaskbar, a.DefaultDropMethod,
            a.MainWndDockToWindows, a.Show3DMenus, a.ShowTipsOfTheDay, a.InsertLocalSmilies,
            a.WarnNoInternetConnection, a.EudoraOnly, a.ShowTips, a.SmiliePreviewOnlyForBigOnes, a.TrayIconColor,
            a.SmiliePreviewBackgroundColor, a.SmilieLocalMark, a.UndoBufferSizeInMB, a.TrayIconSingleClick,
            a.TrayTipAtStartup, a.WarnExit, a.SmiliePreviewIncludesName, a.SmiliePreviewNameColor,
            a.MainWndOpaqueOnMouseHover, a.MainWndTransparencyPercent, a.MainWndHeight, a.WarnMinimizingToTray,
            a.MainWndAnimateHidingToTray, a.MainWndOpenAtStartup, a.SkinColor, a.SkinColoringEnabled,
            a.SkinColorScheme, a.ShowFirstTimeSetup, a.SmilieFieldsLook, a.SmilieToolbar, a.ShowCensoredSmilies,
            a.ShowInsertingInMSN6Reminder, a.ShowInsertingInMSN7Reminder};
    };
    const std::vector<long long> expected = numbers(saved);
    const std::vector<long long> loaded = numbers(s);
    ASSERT_EQ(expected.size(), loaded.size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(expected[i], loaded[i]) << "number #" << i;
}

TEST_F(SettingsTest, SavedValuesHaveTheirTypesAndSizes)
{
    DeleteKey();
    HKEY hKey = OpenKey();
    WriteDword(hKey, "FadeDialogs", 5);
    RegCloseKey(hKey);
    ASSERT_EQ(1, LoadSettings());
    g_Settings.MainWndPosition.x = -16;
    g_Settings.MainWndPosition.y = 16;
    g_Settings.FieldName = "";
    EXPECT_EQ(1, SaveSettings(TRUE));

    hKey = OpenKey();
    DWORD nValues = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(hKey, NULL, NULL, NULL, NULL, NULL, NULL, &nValues, NULL, NULL, NULL, NULL));
    EXPECT_EQ(47u, nValues);
    struct Row
    {
        const char* pszName;
        DWORD dwType;
        std::string bytes;
    };
    const Row rows[] = {
        {"FadeDialogs", REG_DWORD, Dw(1)},
        {"MainWndPosition", REG_DWORD, Dw((16u << 16) | 65520u)},
        {"Language", REG_SZ, Sz("English")},
        {"SmilieCollection", REG_SZ, Sz("<default>")},
        {"FieldName", REG_SZ, Sz("")},
        {"SkinColor", REG_DWORD, Dw(0xD26757)},
        {"ShowTipsOfTheDay", REG_DWORD, Dw(0)},
    };
    for (const Row& row : rows) {
        char buffer[64] = {};
        DWORD dwType = 0;
        DWORD cb = sizeof(buffer);
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(hKey, row.pszName, NULL, &dwType, reinterpret_cast<BYTE*>(buffer), &cb))
            << row.pszName;
        EXPECT_EQ(row.dwType, dwType) << row.pszName;
        EXPECT_EQ(row.bytes, std::string(buffer, cb)) << row.pszName;
    }
    RegCloseKey(hKey);
}

TEST(SettingsSetters, EmptyStringsGiveTheirDefaults)
{
    SetDefaultSettings();
    struct Row
    {
        void (*pfnSet)(LPCTSTR);
        LPCTSTR pszArg;
        const CString* pMember;
        const char* pszExpected;
    };
    const APPSETTINGS& s = g_Settings;
    const Row rows[] = {
        {SetLanguageName, "", &s.Language, "English"},
        {SetLanguageName, NULL, &s.Language, "English"},
        {SetLanguageName, "Deutsch", &s.Language, "Deutsch"},
        {SetSkinName, "", &s.Skin, "Standard"},
        {SetSkinName, "Glass", &s.Skin, "Glass"},
        {SetCollectionPath, "", &s.SmilieCollection, "<default>"},
        {SetCollectionPath, "a.tvnx", &s.SmilieCollection, "a.tvnx"},
        {SetAppDataFolder, "C:\\x", &s.AppDataFolder, "C:\\x"},
        {SetAppDataFolder, "", &s.AppDataFolder, ""},
        {SetFieldName, "Faces", &s.FieldName, "Faces"},
        {SetFieldName, NULL, &s.FieldName, ""},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); i++) {
        rows[i].pfnSet(rows[i].pszArg);
        EXPECT_STREQ(rows[i].pszExpected, *rows[i].pMember) << "row " << i;
    }
    SetDefaultSettings();
}

TEST(SettingsSetters, TransparencyOutsidePercentGivesZeroLikeTheReader)
{
    const struct
    {
        int nArg;
        int nExpected;
    } rows[] = {{0, 0}, {1, 1}, {50, 50}, {100, 100}, {101, 0}, {-1, 0}, {-50, 0}, {INT_MIN, 0}, {INT_MAX, 0}};
    for (const auto& row : rows) {
        g_Settings.MainWndTransparencyPercent = 42;
        SetTransparencyPercent(row.nArg);
        EXPECT_EQ(row.nExpected, g_Settings.MainWndTransparencyPercent) << "argument " << row.nArg;
    }
    SetDefaultSettings();
}

TEST(Registry, RootNamesSplitOffTheirKey)
{
    const struct
    {
        const char* pszPath;
        HKEY hRoot;        // expected root, NULL when no match
        const char* pszSub;
    } rows[] = {
        {"HKEY_CURRENT_USER\\Software\\Mordale\\Tarvenex", HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex"},
        {"hkey_local_machine/SOFTWARE\\x", HKEY_LOCAL_MACHINE, "SOFTWARE\\x"},
        {"HKEY_CLASSES_ROOT\\.tvnx", HKEY_CLASSES_ROOT, ".tvnx"},
        {"HKEY_CURRENT_CONFIG\\a", HKEY_CURRENT_CONFIG, "a"},
        {"HKEY_USERS\\a", HKEY_USERS, "a"},
        {"HKEY_DYN_DATA\\a", HKEY_DYN_DATA, "a"},
        {"HKEY_CURRENT_USER\\", NULL, NULL},
        {"HKEY_CURRENT_USER", NULL, NULL},
        {"HKEY_CURRENT_USERX\\a", NULL, NULL},
        {"HKEY_CURRENT_USER-a", NULL, NULL},
        {"HKCU\\Software", NULL, NULL},
        {"", NULL, NULL},
        {"Software\\HKEY_CURRENT_USER\\a", NULL, NULL},
    };
    for (const auto& row : rows) {
        HKEY hRoot = HKEY(INT_PTR(0x1234));
        LPCTSTR pszSub = ParseRegistryRootKey(row.pszPath, &hRoot);
        if (row.pszSub == NULL) {
            EXPECT_EQ(nullptr, pszSub) << row.pszPath;
        } else {
            ASSERT_NE(nullptr, pszSub) << row.pszPath;
            EXPECT_STREQ(row.pszSub, pszSub) << row.pszPath;
            EXPECT_EQ(row.hRoot, hRoot) << row.pszPath;
        }
    }
    EXPECT_EQ(nullptr, ParseRegistryRootKey(NULL, NULL));
}

}   // namespace
