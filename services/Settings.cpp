#include "services/Settings.h"

#include "services/Registry.h"

APPSETTINGS g_Settings;

const char g_szSettingsKey[] = "HKEY_CURRENT_USER\\Software\\Mordale\\Tarvenex";

namespace {

// How a stored number is accepted. Numbers outside lo..hi give the fallback;
// some values are compared as unsigned, so a negative one counts as huge.
struct RANGE
{
    bool bUnsigned;
    long long lo;
    long long hi;
    int nFallback;
};

int ApplyRange(DWORD dwStored, const RANGE& range)
{
    const long long value = range.bUnsigned ? (long long)dwStored : (long long)(LONG)dwStored;
    return (value < range.lo || value > range.hi) ? range.nFallback : (int)(LONG)dwStored;
}

// Every value in the order of the record, which is also the order in which
// the values are read and written. The visitor decides what happens to each.
template <class VISITOR>
void VisitSettings(VISITOR& v)
{
    APPSETTINGS& s = g_Settings;
    v.Number("SmiliePreviewMode", s.SmiliePreviewMode, RANGE{true, 0, 2, 2});
    v.Number("SmiliePreviewTimeoutInMs", s.SmiliePreviewTimeoutInMs, RANGE{true, 50, 5000, 500});
    v.Flag("SmilieAnimation", s.SmilieAnimation);
    v.Number("SmilieCacheSizeInMB", s.SmilieCacheSizeInMB, RANGE{false, 1, 100, 50});
    v.Flag("FadeDialogs", s.FadeDialogs);
    v.Flag("TabSmoothScroll", s.TabSmoothScroll);
    v.Flag("TabTransparentEdges", s.TabTransparentEdges);
    v.Flag("ShowButtonOnTaskbar", s.ShowButtonOnTaskbar);
    v.String("Language", s.Language, SetLanguageName);
    v.String("Skin", s.Skin, SetSkinName);
    v.Number("DefaultDropMethod", s.DefaultDropMethod, RANGE{false, 1, 4, 4});
    v.Flag("MainWndDockToWindows", s.MainWndDockToWindows);
    v.Flag("Show3DMenus", s.Show3DMenus);
    v.Number("ShowTipsOfTheDay", s.ShowTipsOfTheDay, RANGE{false, -1, 1000, 0});
    v.Flag("InsertLocalSmilies", s.InsertLocalSmilies);
    v.Flag("WarnNoInternetConnection", s.WarnNoInternetConnection);
    v.Flag("EudoraOnly", s.EudoraOnly);
    v.Flag("ShowTips", s.ShowTips);
    v.Flag("SmiliePreviewOnlyForBigOnes", s.SmiliePreviewOnlyForBigOnes);
    v.Color("TrayIconColor", s.TrayIconColor);
    v.Color("SmiliePreviewBackgroundColor", s.SmiliePreviewBackgroundColor);
    v.Flag("SmilieLocalMark", s.SmilieLocalMark);
    v.Number("UndoBufferSizeInMB", s.UndoBufferSizeInMB, RANGE{true, 1, 50, 20});
    v.Flag("TrayIconSingleClick", s.TrayIconSingleClick);
    v.Flag("TrayTipAtStartup", s.TrayTipAtStartup);
    v.Flag("WarnExit", s.WarnExit);
    v.Flag("SmiliePreviewIncludesName", s.SmiliePreviewIncludesName);
    v.Color("SmiliePreviewNameColor", s.SmiliePreviewNameColor);
    v.Flag("MainWndOpaqueOnMouseHover", s.MainWndOpaqueOnMouseHover);
    v.String("AppDataFolder", s.AppDataFolder, SetAppDataFolder);
    v.String("SmilieCollection", s.SmilieCollection, SetCollectionPath);
    v.Position("MainWndPosition", s.MainWndPosition);
    v.Number("MainWndTransparencyPercent", s.MainWndTransparencyPercent, RANGE{false, 0, 100, 0});
    v.Number("MainWndHeight", s.MainWndHeight, RANGE{false, 16, 1600, 555});
    v.String("FieldName", s.FieldName, SetFieldName);
    v.Flag("WarnMinimizingToTray", s.WarnMinimizingToTray);
    v.Number("MainWndAnimateHidingToTray", s.MainWndAnimateHidingToTray, RANGE{false, 0, 2, 2});
    v.Flag("MainWndOpenAtStartup", s.MainWndOpenAtStartup);
    v.Color("SkinColor", s.SkinColor);
    v.Flag("SkinColoringEnabled", s.SkinColoringEnabled);
    v.Number("SkinColorScheme", s.SkinColorScheme, RANGE{false, 0, 5, 1});
    v.Flag("ShowFirstTimeSetup", s.ShowFirstTimeSetup);
    v.Number("SmilieFieldsLook", s.SmilieFieldsLook, RANGE{false, 0, 3, 3});
    v.Flag("SmilieToolbar", s.SmilieToolbar);
    v.Flag("ShowCensoredSmilies", s.ShowCensoredSmilies);
    v.Flag("ShowInsertingInMSN6Reminder", s.ShowInsertingInMSN6Reminder);
    v.Flag("ShowInsertingInMSN7Reminder", s.ShowInsertingInMSN7Reminder);
}

// The stored form of the window position: x in the low half, y in the high
// half, each as 16 bits.
DWORD PackPosition(const POINT& pt)
{
    return (DWORD(pt.x) & 0xFFFF) | (DWORD(pt.y) << 16);
}

POINT UnpackPosition(DWORD dw)
{
    POINT pt;
    pt.x = (SHORT)LOWORD(dw);
    pt.y = (SHORT)HIWORD(dw);
    return pt;
}

struct LOADER
{
    HKEY hKey;

    void Number(LPCTSTR pszName, int& nValue, const RANGE& range)
    {
        DWORD dw;
        if (RegQueryDword(hKey, pszName, dw))
            nValue = ApplyRange(dw, range);
    }
    void Flag(LPCTSTR pszName, int& nValue)
    {
        DWORD dw;
        if (RegQueryDword(hKey, pszName, dw))
            nValue = dw != 0 ? 1 : 0;
    }
    void Color(LPCTSTR pszName, COLORREF& clr)
    {
        DWORD dw;
        if (RegQueryDword(hKey, pszName, dw))
            clr = dw;
    }
    void String(LPCTSTR pszName, CString&, void (*pfnSetter)(LPCTSTR))
    {
        CString str;
        if (RegQueryString(hKey, pszName, str))
            pfnSetter(str);
    }
    void Position(LPCTSTR pszName, POINT& pt)
    {
        DWORD dw;
        if (RegQueryDword(hKey, pszName, dw))
            pt = UnpackPosition(dw);
    }
};

struct SAVER
{
    HKEY hKey;

    void Dword(LPCTSTR pszName, DWORD dw)
    {
        RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
    }
    void Number(LPCTSTR pszName, int& nValue, const RANGE&) { Dword(pszName, DWORD(nValue)); }
    void Flag(LPCTSTR pszName, int& nValue) { Dword(pszName, DWORD(nValue)); }
    void Color(LPCTSTR pszName, COLORREF& clr) { Dword(pszName, clr); }
    void String(LPCTSTR pszName, CString& str, void (*)(LPCTSTR))
    {
        RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(str.GetString()), DWORD(str.GetLength() + 1));
    }
    void Position(LPCTSTR pszName, POINT& pt) { Dword(pszName, PackPosition(pt)); }
};

void SetWithDefault(CString& str, LPCTSTR pszValue, LPCTSTR pszDefault)
{
    str = (pszValue != NULL && *pszValue != '\0') ? pszValue : pszDefault;
}

}   // namespace

void SetDefaultSettings()
{
    APPSETTINGS& s = g_Settings;
    s.SmiliePreviewMode = 2;
    s.SmiliePreviewTimeoutInMs = 500;
    s.SmilieAnimation = 1;
    s.SmilieCacheSizeInMB = 50;
    s.FadeDialogs = 1;
    s.TabSmoothScroll = 1;
    s.TabTransparentEdges = 0;
    s.ShowButtonOnTaskbar = 0;
    s.Language = "English";
    s.Skin = "Standard";
    s.DefaultDropMethod = 4;
    s.MainWndDockToWindows = 1;
    s.Show3DMenus = 1;
    s.ShowTipsOfTheDay = 0;
    s.InsertLocalSmilies = 1;
    s.WarnNoInternetConnection = 1;
    s.EudoraOnly = 0;
    s.ShowTips = 1;
    s.SmiliePreviewOnlyForBigOnes = 0;
    s.TrayIconColor = 0xFF0000;
    s.SmiliePreviewBackgroundColor = 0xFFFFFF;
    s.SmilieLocalMark = 0;
    s.UndoBufferSizeInMB = 20;
    s.TrayIconSingleClick = 1;
    s.TrayTipAtStartup = 1;
    s.WarnExit = 0;
    s.SmiliePreviewIncludesName = 0;
    s.SmiliePreviewNameColor = 0xB4B4B4;
    s.MainWndOpaqueOnMouseHover = 0;
    s.AppDataFolder.Empty();
    s.SmilieCollection = "<default>";
    s.MainWndPosition.x = -1;
    s.MainWndPosition.y = -1;
    s.MainWndTransparencyPercent = 0;
    s.MainWndHeight = 555;
    s.FieldName.Empty();
    s.WarnMinimizingToTray = 1;
    s.MainWndAnimateHidingToTray = 2;
    s.MainWndOpenAtStartup = 1;
    s.SkinColor = 0xD26757;
    s.SkinColoringEnabled = 1;
    s.SkinColorScheme = 1;
    s.ShowFirstTimeSetup = 1;
    s.SmilieFieldsLook = 3;
    s.SmilieToolbar = 1;
    s.ShowCensoredSmilies = 0;
    s.ShowInsertingInMSN6Reminder = 1;
    s.ShowInsertingInMSN7Reminder = 1;
}

int LoadSettings()
{
    SetDefaultSettings();
    HKEY hRoot = NULL;
    LPCTSTR pszSubKey = ParseRegistryRootKey(g_szSettingsKey, &hRoot);
    HKEY hKey = NULL;
    if (pszSubKey == NULL || RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    LOADER loader{hKey};
    VisitSettings(loader);
    RegCloseKey(hKey);
    return 1;
}

int SaveSettings(BOOL bFlush)
{
    HKEY hRoot = NULL;
    LPCTSTR pszSubKey = ParseRegistryRootKey(g_szSettingsKey, &hRoot);
    HKEY hKey = NULL;
    if (pszSubKey == NULL ||
        RegCreateKeyExA(hRoot, pszSubKey, 0, const_cast<LPSTR>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &hKey, NULL) != ERROR_SUCCESS)
        return 0;
    SAVER saver{hKey};
    VisitSettings(saver);
    if (bFlush)
        RegFlushKey(hKey);
    RegCloseKey(hKey);
    return 1;
}

void SetLanguageName(LPCTSTR pszName)
{
    SetWithDefault(g_Settings.Language, pszName, "English");
}

void SetSkinName(LPCTSTR pszName)
{
    SetWithDefault(g_Settings.Skin, pszName, "Standard");
}

void SetAppDataFolder(LPCTSTR pszFolder)
{
    g_Settings.AppDataFolder = pszFolder;
}

CString GetAppDataFolder()
{
    return g_Settings.AppDataFolder;
}

void SetCollectionPath(LPCTSTR pszPath)
{
    SetWithDefault(g_Settings.SmilieCollection, pszPath, "<default>");
}

void SetFieldName(LPCTSTR pszName)
{
    g_Settings.FieldName = pszName;
}

void SetTransparencyPercent(int nPercent)
{
    g_Settings.MainWndTransparencyPercent = (nPercent < 0 || nPercent > 100) ? 0 : nPercent;
}
