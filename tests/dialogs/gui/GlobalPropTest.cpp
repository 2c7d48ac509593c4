// The options sheet on real windows, worked through the framework's test
// seam, with the settings and the autostart entry in a registry sandbox: what
// OK and Cancel store, the clamps of the apply step, the colour schemes,
// the autostart modes and the options the system cannot support.
#include "dialogs/DlgGlobalProp.h"

#include "framework/CommonDialog.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/ButtonRows.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>
#include <string>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SheetAnswerer : public CModalAnswerer
{
public:
    SheetAnswerer(std::function<void(CDlgGlobalProp*)> fn, int nEnd) : m_fn(fn), m_nEnd(nEnd)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~SheetAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    int nBoxAnswer = IDYES;
    int nBoxes = 0;
    COLORREF clrChosen = 0;
    int nSheets = 0;

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox))) {
            nBoxes++;
            return nBoxAnswer;
        }
        nSheets++;
        m_fn(static_cast<CDlgGlobalProp*>(pDialog));
        if (pDialog->ContinueModal())
            pDialog->SendMessage(WM_COMMAND, MAKEWPARAM(m_nEnd, BN_CLICKED), 0);
        PumpPending();
        return pDialog->ContinueModal() ? IDCANCEL : -1;
    }
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        static_cast<CColorDialog*>(pDialog)->m_cc.rgbResult = clrChosen;
        return IDOK;
    }

private:
    std::function<void(CDlgGlobalProp*)> m_fn;
    int m_nEnd;
    CModalAnswerer* m_pPrevious;
};

void Click(HWND hDlg, int nId)
{
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nId)));
    PumpPending();
}

// A swatch is chosen by the mouse.
void PressSwatch(HWND hDlg, int nId)
{
    SendDlgItemMessageA(hDlg, nId, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendDlgItemMessageA(hDlg, nId, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PumpPending();
}

void Toggle(HWND hDlg, int nId)
{
    CheckDlgButton(hDlg, nId, IsDlgButtonChecked(hDlg, nId) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
}

bool Checked(HWND hDlg, int nId)
{
    return IsDlgButtonChecked(hDlg, nId) == BST_CHECKED;
}

std::string ModulePath()
{
    char sz[MAX_PATH] = "";
    GetModuleFileNameA(NULL, sz, MAX_PATH);
    return sz;
}

bool SettingsKeyExists()
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// The autostart value, "<none>" when missing, "<type N>" when not text.
std::string RunValue()
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return "<no key>";
    char sz[1024] = "";
    DWORD dwType = 0, cb = sizeof(sz) - 1;
    const LONG l = RegQueryValueExA(hKey, "Tarvenex", NULL, &dwType, reinterpret_cast<BYTE*>(sz), &cb);
    RegCloseKey(hKey);
    if (l != ERROR_SUCCESS)
        return "<none>";
    if (dwType != REG_SZ)
        return "<type " + std::to_string(dwType) + ">";
    return sz;
}

void SetRunValue(DWORD dwType, const void* pData, DWORD cb)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey,
                                             NULL));
    if (pData == NULL)
        RegDeleteValueA(hKey, "Tarvenex");
    else
        RegSetValueExA(hKey, "Tarvenex", 0, dwType, static_cast<const BYTE*>(pData), cb);
    RegCloseKey(hKey);
}

void SetRunText(const std::string& str)
{
    SetRunValue(REG_SZ, str.c_str(), static_cast<DWORD>(str.size() + 1));
}

class GlobalPropTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL));
        CreateExportedFuncs();
    }
    static void TearDownTestSuite() { FreeLanguages(); }
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        ASSERT_TRUE(g_pExportedFuncs != NULL);
        ASSERT_TRUE(g_pExportedFuncs->pAlphaBlend != NULL && g_pExportedFuncs->pSetLayeredWindowAttributes != NULL)
            << "the system functions the sheet's options need";
    }
    void TearDown() override { SetDefaultSettings(); }

    // Runs the sheet on the settings as they are; fn works it, then it ends
    // with nEnd. The result of the run.
    int Run(std::function<void(CDlgGlobalProp*)> fn, int nEnd, SheetAnswerer** ppAnswer = NULL)
    {
        SheetAnswerer answer(fn, nEnd);
        if (ppAnswer != NULL)
            *ppAnswer = &answer;
        const int n = RunOptionsSheet(OPTIONSTARGETS(), NULL);
        EXPECT_EQ(1, answer.nSheets);
        if (ppAnswer != NULL)
            *ppAnswer = NULL;
        return n;
    }

    RegistrySandbox m_sandbox{HKEY_CURRENT_USER};
};

const int kAllChecks[] = {IDC_OPT_ANIMATION,     IDC_OPT_SMOOTHSCROLL,  IDC_OPT_TRANSPARENTEDGES, IDC_OPT_FADEDIALOGS,
                          IDC_OPT_TASKBARBUTTON, IDC_OPT_DOCK,          IDC_OPT_3DMENUS,          IDC_OPT_TIPSOFTHEDAY,
                          IDC_OPT_AUTOSTART,     IDC_OPT_LOCALSMILIES,  IDC_OPT_TOOLTIPS,         IDC_OPT_BIGONLY,
                          IDC_OPT_LOCALMARK,     IDC_OPT_TRAYSINGLECLICK, IDC_OPT_TRAYTIP,        IDC_OPT_WARNEXIT,
                          IDC_OPT_PREVIEWNAME,   IDC_OPT_OPAQUEHOVER,   IDC_OPT_OPENATSTART,      IDC_OPT_COLORING,
                          IDC_OPT_TOOLBAR,       IDC_OPT_CENSORED};

TEST_F(GlobalPropTest, CancelChangesNoSettingAndNoAutostartEntry)
{
    SetRunText("C:\\elsewhere\\other.exe");
    const APPSETTINGS before = g_Settings;
    EXPECT_EQ(0, Run(
                     [](CDlgGlobalProp* p) {
                         for (int nId : kAllChecks)
                             Toggle(p->m_hWnd, nId);
                         SendDlgItemMessageA(p->m_hWnd, IDC_OPT_CACHESIZE, CB_SETCURSEL, 0, 0);
                         SendDlgItemMessageA(p->m_hWnd, IDC_OPT_FIELDSLOOK, CB_SETCURSEL, 2, 0);
                         PressSwatch(p->m_hWnd, IDC_OPT_SCHEME5);
                     },
                     IDCANCEL));
    EXPECT_EQ(0, memcmp(&before.SmiliePreviewMode, &g_Settings.SmiliePreviewMode,
                        offsetof(APPSETTINGS, Language) - offsetof(APPSETTINGS, SmiliePreviewMode)));
    EXPECT_EQ(before.SmilieFieldsLook, g_Settings.SmilieFieldsLook);
    EXPECT_EQ(before.SkinColor, g_Settings.SkinColor);
    EXPECT_EQ(before.SmilieCacheSizeInMB, g_Settings.SmilieCacheSizeInMB);
    EXPECT_EQ(before.WarnExit, g_Settings.WarnExit);
    EXPECT_FALSE(SettingsKeyExists()) << "nothing saved";
    EXPECT_EQ("C:\\elsewhere\\other.exe", RunValue());
}

TEST_F(GlobalPropTest, OkWithTheDefaultsSavesNothing)
{
    SetRunValue(REG_SZ, NULL, 0);
    std::vector<std::string> rowProblems;
    EXPECT_EQ(1, Run([&](CDlgGlobalProp* p) { rowProblems = ButtonRowProblems(p->m_hWnd, BUTTONROW_RIGHT, 7, 8); },
                     IDOK));
    // OK and Cancel at the bottom right, in the sheet's pixel margins.
    for (const std::string& strProblem : rowProblems)
        ADD_FAILURE() << strProblem;
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_EQ("<none>", RunValue()) << "an unchecked box removes nothing that is not there";
}

// Each run makes its own sheet: a second run starts from what the first stored.
TEST_F(GlobalPropTest, TwoRunsInARow)
{
    EXPECT_EQ(1, Run([](CDlgGlobalProp* p) { CheckDlgButton(p->m_hWnd, IDC_OPT_WARNEXIT, BST_CHECKED); }, IDOK));
    bool bChecked = false;
    EXPECT_EQ(1, Run(
                     [&](CDlgGlobalProp* p) {
                         bChecked = Checked(p->m_hWnd, IDC_OPT_WARNEXIT);
                         CheckDlgButton(p->m_hWnd, IDC_OPT_WARNEXIT, BST_UNCHECKED);
                     },
                     IDOK));
    EXPECT_TRUE(bChecked);
    EXPECT_EQ(0, g_Settings.WarnExit);
}

TEST_F(GlobalPropTest, RangeCombosShowValuesBelowTheFirstEntryAsTheLast)
{
    // Kept as the program has always shown them: OK then stores the last entry.
    const struct
    {
        const char* pszName;
        int nCacheMB, nDelay, nUndo;
        int nCacheIndex, nDelayIndex, nUndoIndex;
        int nCacheOut, nDelayOut, nUndoOut;
    } rows[] = {
        {"entries themselves", 20, 500, 10, 2, 1, 1, 20, 500, 10},
        {"inside a range", 30, 1500, 49, 2, 2, 2, 20, 1000, 20},
        {"below the first", 3, 100, 1, 4, 3, 3, 100, 2000, 50},
        {"the last and above", 100, 5000, 50, 4, 3, 3, 100, 2000, 50},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        g_Settings.SmilieCacheSizeInMB = row.nCacheMB;
        g_Settings.SmiliePreviewTimeoutInMs = row.nDelay;
        g_Settings.UndoBufferSizeInMB = row.nUndo;
        int nCache = -2, nDelay = -2, nUndo = -2;
        Run(
            [&](CDlgGlobalProp* p) {
                nCache = int(SendDlgItemMessageA(p->m_hWnd, IDC_OPT_CACHESIZE, CB_GETCURSEL, 0, 0));
                nDelay = int(SendDlgItemMessageA(p->m_hWnd, IDC_OPT_PREVIEWDELAY, CB_GETCURSEL, 0, 0));
                nUndo = int(SendDlgItemMessageA(p->m_hWnd, IDC_OPT_UNDOSIZE, CB_GETCURSEL, 0, 0));
            },
            IDOK);
        EXPECT_EQ(row.nCacheIndex, nCache);
        EXPECT_EQ(row.nDelayIndex, nDelay);
        EXPECT_EQ(row.nUndoIndex, nUndo);
        EXPECT_EQ(row.nCacheOut, g_Settings.SmilieCacheSizeInMB);
        EXPECT_EQ(row.nDelayOut, g_Settings.SmiliePreviewTimeoutInMs);
        EXPECT_EQ(row.nUndoOut, g_Settings.UndoBufferSizeInMB);
    }
}

TEST_F(GlobalPropTest, ControlsStoreTheirSettings)
{
    g_Settings.WarnExit = 0;
    g_Settings.ShowTipsOfTheDay = 7;
    g_Settings.SmilieFieldsLook = 3;
    g_Settings.Show3DMenus = 1;
    g_Settings.ShowTips = 1;
    Run(
        [](CDlgGlobalProp* p) {
            HWND h = p->m_hWnd;
            EXPECT_EQ(0, SendDlgItemMessageA(h, IDC_OPT_FIELDSLOOK, CB_GETCURSEL, 0, 0)) << "look 3 is listed first";
            EXPECT_TRUE(Checked(h, IDC_OPT_TIPSOFTHEDAY));
            SendDlgItemMessageA(h, IDC_OPT_FIELDSLOOK, CB_SETCURSEL, 3, 0);
            CheckDlgButton(h, IDC_OPT_WARNEXIT, BST_CHECKED);
            CheckDlgButton(h, IDC_OPT_3DMENUS, BST_UNCHECKED);
            CheckDlgButton(h, IDC_OPT_TOOLTIPS, BST_UNCHECKED);
            SendDlgItemMessageA(h, IDC_OPT_HIDEANIMATION, CB_SETCURSEL, 1, 0);
        },
        IDOK);
    EXPECT_EQ(0, g_Settings.SmilieFieldsLook);
    EXPECT_EQ(1, g_Settings.WarnExit);
    EXPECT_EQ(7, g_Settings.ShowTipsOfTheDay) << "tips left on keep the next tip";
    EXPECT_EQ(0, g_Settings.Show3DMenus);
    EXPECT_EQ(0, g_bShow3DMenus);
    EXPECT_EQ(1, g_bNoToolTips);
    EXPECT_EQ(1, g_Settings.MainWndAnimateHidingToTray);
    EXPECT_TRUE(SettingsKeyExists());
    g_bShow3DMenus = 1;
    g_bNoToolTips = 0;
}

TEST_F(GlobalPropTest, SchemesAndCustomColoursStoreTheirSchemeNumber)
{
    const struct
    {
        const char* pszName;
        int nSwatch;           // clicked, or 0
        COLORREF clrCustom;    // chosen in the colour dialog when no swatch is clicked
        int bColoringOff;      // the colouring box unchecked last
        COLORREF clrStored;
        int nScheme;
    } rows[] = {
        {"Contrast", IDC_OPT_SCHEME5, 0, 0, 0x000000, 5},
        {"The Sun", IDC_OPT_SCHEME4, 0, 0, 0x0064FA, 4},
        {"custom equal to Lawn", 0, 0x00B91E, 0, 0x00B91E, 3},
        {"custom of no scheme", 0, 0x123456, 0, 0x123456, 0},
        {"colouring off", IDC_OPT_SCHEME2, 0, 1, 0x001ED2, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        g_Settings.SkinColoringEnabled = 0;
        SheetAnswerer* pAnswer = NULL;
        Run(
            [&](CDlgGlobalProp* p) {
                pAnswer->clrChosen = row.clrCustom;
                if (row.nSwatch != 0)
                    PressSwatch(p->m_hWnd, row.nSwatch);
                else
                    Click(p->m_hWnd, IDC_OPT_SKINCOLOR);
                EXPECT_TRUE(Checked(p->m_hWnd, IDC_OPT_COLORING)) << "a chosen colour turns the colouring on";
                if (row.bColoringOff)
                    CheckDlgButton(p->m_hWnd, IDC_OPT_COLORING, BST_UNCHECKED);
            },
            IDOK, &pAnswer);
        EXPECT_EQ(row.clrStored, g_Settings.SkinColor);
        EXPECT_EQ(row.nScheme, g_Settings.SkinColorScheme);
        EXPECT_EQ(!row.bColoringOff, g_Settings.SkinColoringEnabled);
    }
}

TEST_F(GlobalPropTest, EudoraOnlyAsksAndTheAnswerDecides)
{
    const struct
    {
        int nAnswer;
        bool bEudora, bAnimation;
    } rows[] = {{IDYES, true, false}, {IDNO, false, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.nAnswer);
        g_Settings.EudoraOnly = 0;
        g_Settings.SmilieAnimation = 1;
        bool bEudora = false, bAnimation = false;
        SheetAnswerer* pAnswer = NULL;
        Run(
            [&](CDlgGlobalProp* p) {
                pAnswer->nBoxAnswer = row.nAnswer;
                CheckDlgButton(p->m_hWnd, IDC_OPT_EUDORAONLY, BST_CHECKED);
                Click(p->m_hWnd, IDC_OPT_EUDORAONLY);
                EXPECT_EQ(1, pAnswer->nBoxes);
                bEudora = Checked(p->m_hWnd, IDC_OPT_EUDORAONLY);
                bAnimation = Checked(p->m_hWnd, IDC_OPT_ANIMATION);
            },
            IDCANCEL, &pAnswer);
        EXPECT_EQ(row.bEudora, bEudora);
        EXPECT_EQ(row.bAnimation, bAnimation);
    }
}

TEST_F(GlobalPropTest, MissingSystemFunctionsDisableAndSwitchOffTheirOptions)
{
    const PFN_ALPHABLEND pfnAlpha = g_pExportedFuncs->pAlphaBlend;
    const PFN_SETLAYEREDWINDOWATTRIBUTES pfnLayered = g_pExportedFuncs->pSetLayeredWindowAttributes;
    g_pExportedFuncs->pAlphaBlend = NULL;
    g_pExportedFuncs->pSetLayeredWindowAttributes = NULL;
    g_Settings.TabTransparentEdges = 1;
    g_Settings.FadeDialogs = 1;
    g_Settings.MainWndOpaqueOnMouseHover = 1;
    Run(
        [](CDlgGlobalProp* p) {
            for (int nId : {IDC_OPT_TRANSPARENTEDGES, IDC_OPT_FADEDIALOGS, IDC_OPT_OPAQUEHOVER}) {
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(p->m_hWnd, nId))) << nId;
                EXPECT_FALSE(Checked(p->m_hWnd, nId)) << nId;
            }
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(p->m_hWnd, IDC_OPT_SMOOTHSCROLL)));
        },
        IDOK);
    g_pExportedFuncs->pAlphaBlend = pfnAlpha;
    g_pExportedFuncs->pSetLayeredWindowAttributes = pfnLayered;
    EXPECT_EQ(0, g_Settings.TabTransparentEdges);
    EXPECT_EQ(0, g_Settings.FadeDialogs);
    EXPECT_EQ(0, g_Settings.MainWndOpaqueOnMouseHover);
}

TEST_F(GlobalPropTest, AutostartBoxReadsAndWritesTheRunEntry)
{
    // The command line of the entry is the path in double quotes: a path
    // with a space is otherwise cut at it.
    const std::string strBare = ModulePath();
    const std::string strSelf = "\"" + strBare + "\"";
    std::string strUpper = strSelf;
    for (char& c : strUpper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const struct
    {
        const char* pszName;
        const char* pszBefore;  // NULL: no value
        bool bToggle;
        bool bCheckedBefore;
        std::string strAfter;
    } rows[] = {
        {"off, switched on", NULL, true, false, strSelf},
        {"on, switched off", strSelf.c_str(), true, true, "<none>"},
        {"on in other case, left", strUpper.c_str(), false, true, strUpper},
        {"bare path of an earlier version, left on", strBare.c_str(), false, true, strSelf},
        {"bare path of an earlier version, switched off", strBare.c_str(), true, true, "<none>"},
        {"another program's, switched on", "C:\\x\\other.exe", true, false, strSelf},
        {"another program's, left off", "C:\\x\\other.exe", false, false, "C:\\x\\other.exe"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        if (row.pszBefore != NULL)
            SetRunText(row.pszBefore);
        else
            SetRunValue(REG_SZ, NULL, 0);
        bool bChecked = false, bEnabled = false;
        Run(
            [&](CDlgGlobalProp* p) {
                bChecked = Checked(p->m_hWnd, IDC_OPT_AUTOSTART);
                bEnabled = IsWindowEnabled(GetDlgItem(p->m_hWnd, IDC_OPT_AUTOSTART)) != FALSE;
                if (row.bToggle)
                    Toggle(p->m_hWnd, IDC_OPT_AUTOSTART);
            },
            IDOK);
        EXPECT_TRUE(bEnabled);
        EXPECT_EQ(row.bCheckedBefore, bChecked);
        EXPECT_EQ(row.strAfter, RunValue());
    }
}

TEST_F(GlobalPropTest, AutostartEntryThatCannotBeReadDisablesTheBox)
{
    const DWORD dw = 1;
    const struct
    {
        const char* pszName;
        DWORD dwType;
        const void* pData;
        DWORD cb;
    } rows[] = {
        {"not text", REG_DWORD, &dw, sizeof(dw)},
        {"empty text", REG_SZ, "", 1},
        {"no bytes", REG_SZ, "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        SetRunValue(row.dwType, row.pData, row.cb);
        int bEqual = 1;
        EXPECT_EQ(0, SetAutostart(0, &bEqual));
        EXPECT_EQ(0, SetAutostart(1, &bEqual)) << "nothing is overwritten";
        bool bEnabled = true;
        Run([&](CDlgGlobalProp* p) { bEnabled = IsWindowEnabled(GetDlgItem(p->m_hWnd, IDC_OPT_AUTOSTART)) != FALSE; },
            IDOK);
        EXPECT_FALSE(bEnabled);
    }
    // Without the Run key there is nothing to compare with.
    RegDeleteKeyA(HKEY_CURRENT_USER, kRunKey);
    int bEqual = 1;
    EXPECT_EQ(0, SetAutostart(0, &bEqual));
}

// The apply step on its own: each option that differs is stored with its own
// clamp; values the sheet cannot produce show the clamps.
TEST_F(GlobalPropTest, ApplyClampsEachChangedOption)
{
    struct ROW
    {
        const char* pszName;
        std::function<void(OPTIONSDATA&)> change;
        std::function<int()> stored;
        int nExpected;
    };
    const ROW rows[] = {
        {"fields look above 3", [](OPTIONSDATA& d) { d.nFieldsLook = 7; }, [] { return g_Settings.SmilieFieldsLook; }, 3},
        {"fields look below 0", [](OPTIONSDATA& d) { d.nFieldsLook = -1; }, [] { return g_Settings.SmilieFieldsLook; }, 3},
        {"preview mode above 2", [](OPTIONSDATA& d) { d.nPreviewMode = 9; }, [] { return g_Settings.SmiliePreviewMode; }, 2},
        {"cache below 1 MB is ignored", [](OPTIONSDATA& d) { d.nCacheSize = 1000; },
         [] { return g_Settings.SmilieCacheSizeInMB; }, 10},
        {"cache above 100 MB", [](OPTIONSDATA& d) { d.nCacheSize = 200 << 20; },
         [] { return g_Settings.SmilieCacheSizeInMB; }, 50},
        {"delay below 50", [](OPTIONSDATA& d) { d.nPreviewDelay = 20; },
         [] { return g_Settings.SmiliePreviewTimeoutInMs; }, 500},
        {"delay above 5000", [](OPTIONSDATA& d) { d.nPreviewDelay = 6000; },
         [] { return g_Settings.SmiliePreviewTimeoutInMs; }, 500},
        {"hiding animation 3 is ignored", [](OPTIONSDATA& d) { d.nHideAnimation = 3; },
         [] { return g_Settings.MainWndAnimateHidingToTray; }, 2},
        {"undo below 5 is ignored", [](OPTIONSDATA& d) { d.nUndoSize = 4; }, [] { return g_Settings.UndoBufferSizeInMB; }, 20},
        {"undo above 50", [](OPTIONSDATA& d) { d.nUndoSize = 60; }, [] { return g_Settings.UndoBufferSizeInMB; }, 20},
        {"undo 5", [](OPTIONSDATA& d) { d.nUndoSize = 5; }, [] { return g_Settings.UndoBufferSizeInMB; }, 5},
        {"scheme above 5", [](OPTIONSDATA& d) { d.nColorScheme = 9; }, [] { return g_Settings.SkinColorScheme; }, 1},
        {"tips switched on start at the first", [](OPTIONSDATA& d) { d.bTipsAtStartup = 1; },
         [] { return g_Settings.ShowTipsOfTheDay; }, 0},
        {"language past the list is English", [](OPTIONSDATA& d) { d.nLanguage = 40; },
         [] { return g_Settings.Language == "English" ? 1 : 0; }, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        SetDefaultSettings();
        g_Settings.SmilieCacheSizeInMB = 10;
        g_Settings.ShowTipsOfTheDay = -1;
        g_Settings.Language = "Nowhere";
        OPTIONSDATA start;
        LoadOptionsData(&start);
        OPTIONSDATA now = start;
        row.change(now);
        ApplyOptionsData(start, now, OPTIONSTARGETS());
        EXPECT_EQ(row.nExpected, row.stored());
    }
}

std::vector<HWND> g_told;

LRESULT CALLBACK ListenerProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_LANGUAGE_CHANGED)
        g_told.push_back(h);
    return DefWindowProcA(h, m, w, l);
}

// A new language is announced to every window of the thread, child windows
// included.
TEST_F(GlobalPropTest, LanguageChangeReachesEveryWindowOfTheThread)
{
    g_told.clear();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ListenerProc;
    wc.lpszClassName = "GlobalPropTestListener";
    RegisterClassA(&wc);
    HWND hTop = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    HWND hChild = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 10, 10, hTop, NULL, NULL, NULL);
    HWND hGrandChild = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 5, 5, hChild, NULL, NULL, NULL);
    ASSERT_TRUE(hGrandChild != NULL);
    OPTIONSDATA start;
    LoadOptionsData(&start);
    OPTIONSDATA now = start;
    now.nLanguage = start.nLanguage + 1;
    ApplyOptionsData(start, now, OPTIONSTARGETS());
    for (HWND h : {hTop, hChild, hGrandChild})
        EXPECT_EQ(1, std::count(g_told.begin(), g_told.end(), h)) << h;
    DestroyWindow(hTop);
    UnregisterClassA(wc.lpszClassName, NULL);
}

// The main window hears of docking and, after the skin colouring, repaints
// its skin: in the apply order, and only when those changed.
TEST_F(GlobalPropTest, ApplyReachesTheMainWindowOnlyForItsOptions)
{
    static std::string s_calls;
    OPTIONSTARGETS targets;
    CWnd mainWnd;
    targets.pMainWnd = &mainWnd;
    targets.pfnSetDocking = [](CWnd*, int bDock) { s_calls += bDock ? "dock " : "undock "; };
    targets.pfnApplySkin = [](CWnd*) { s_calls += "skin "; };
    const struct
    {
        const char* pszName;
        std::function<void(OPTIONSDATA&)> change;
        const char* pszCalls;
    } rows[] = {
        {"nothing", [](OPTIONSDATA&) {}, ""},
        {"warn exit", [](OPTIONSDATA& d) { d.bWarnExit ^= 1; }, ""},
        {"dock", [](OPTIONSDATA& d) { d.bDock = 0; }, "undock "},
        {"skin colour and dock", [](OPTIONSDATA& d) { d.clrSkin = 5; d.bDock = 0; }, "undock skin "},
        {"colouring", [](OPTIONSDATA& d) { d.bSkinColoring = 0; }, "skin "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        SetDefaultSettings();
        g_Settings.MainWndDockToWindows = 1;
        s_calls.clear();
        OPTIONSDATA start;
        LoadOptionsData(&start);
        OPTIONSDATA now = start;
        row.change(now);
        ApplyOptionsData(start, now, targets);
        EXPECT_EQ(row.pszCalls, s_calls);
    }
}

}  // namespace
