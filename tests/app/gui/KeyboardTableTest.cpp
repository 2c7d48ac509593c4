// Every skinned dialog of the gallery and of the program worked with the
// keyboard as a user works it: one table of rows, each the dialog, whether it
// fades in, the keys (Tab, Shift+Tab, arrows, Home, End, Space, Enter, Escape,
// Alt+mnemonic, Ctrl+Tab, Ctrl+PgDn ...), the focus after the dialog opened
// and after each key, and the result or setting (for a property sheet the
// page on show). Keys are posted to the focused control and run through the
// modal loop's own pre-translation (the dialog manager); fades are driven tick
// by tick. With every key the default mark is where Enter would go.
//
// Then the texts of those dialogs against their controls (English), and the
// mouse on a check box: pressed, slid off, slid back, released.
#include "app/DlgWizard.h"
#include "app/TvnxTrayWnd.h"
#include "ui3d/menus/3DMenu.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "collection/Smilie.h"
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgCustomTemplate.h"
#include "dialogs/DlgFieldProp.h"
#include "dialogs/DlgGlobalProp.h"
#include "dialogs/DlgWarnHidingToTray.h"
#include "dialogs/DlgSmilieProp.h"
#include "dialogs/DlgTip.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "tests/tools/Pump.h"
#include "tests/ui3d/gui/PropertySheetIds.h"
#include "tests/ui3d/gui/SkinnedDialogIds.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/controls/3DGroupBox.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/controls/TabSelector.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/dialogs/3DPropertySheet.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include "tests/tools/FadeClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace fadeclock;

// The result of a dialog that the row's keys left open (the test ends it).
const int kLeftOpen = 99;

std::vector<std::string> g_opened;  // what the about box's links opened
HINSTANCE WINAPI RecordShell(HWND, LPCSTR, LPCSTR pszFile, LPCSTR, LPCSTR, INT)
{
    g_opened.push_back(pszFile != NULL ? pszFile : "");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

// --- keys through the dialog manager --------------------------------------------------

// Dispatches what is queued as the modal loop does: pre-translation first.
void PumpDialog()
{
    MSG msg;
    for (int i = 0; i < 500 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); i++) {
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void SetKeyDown(int vk, bool bDown)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[vk] = bDown ? 0x80 : 0;
    SetKeyboardState(state);
}

// One key of a row: "Tab", "Up", "Down", "Left", "Right", "Home", "End",
// "PgUp", "PgDn", "Space", "Enter", "Esc", with "S-" for Shift and "C-" for
// Ctrl before it ("S-Tab", "C-S-Tab"), or "A-x" for Alt+x.
void Press(HWND hDlg, const std::string& key)
{
    HWND hTarget = GetFocus() != NULL ? GetFocus() : hDlg;
    if (key.size() == 3 && key[0] == 'A' && key[1] == '-') {
        PostMessageA(hTarget, WM_SYSCHAR, static_cast<BYTE>(key[2]), 1 | (1 << 29));
        PumpDialog();
        return;
    }
    static const std::map<std::string, int> kKeys = {
        {"Tab", VK_TAB},     {"Up", VK_UP},       {"Down", VK_DOWN},    {"Left", VK_LEFT},   {"Right", VK_RIGHT},
        {"Home", VK_HOME},   {"End", VK_END},     {"PgUp", VK_PRIOR},   {"PgDn", VK_NEXT},   {"Space", VK_SPACE},
        {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
    };
    std::string name = key;
    bool bShift = false, bCtrl = false;
    while (name.size() > 2 && (name.compare(0, 2, "S-") == 0 || name.compare(0, 2, "C-") == 0)) {
        (name[0] == 'S' ? bShift : bCtrl) = true;
        name = name.substr(2);
    }
    const auto it = kKeys.find(name);
    if (it == kKeys.end()) {
        ADD_FAILURE() << "no such key in the table: " << key;
        return;
    }
    if (bShift)
        SetKeyDown(VK_SHIFT, true);
    if (bCtrl)
        SetKeyDown(VK_CONTROL, true);
    const UINT nScan = MapVirtualKeyA(it->second, 0);
    PostMessageA(hTarget, WM_KEYDOWN, it->second, 1 | (nScan << 16));
    PumpDialog();
    HWND hUp = GetFocus() != NULL ? GetFocus() : hDlg;
    if (IsWindow(hUp)) {
        PostMessageA(hUp, WM_KEYUP, it->second, 1 | (nScan << 16) | 0xC0000000);
        PumpDialog();
    }
    if (bCtrl)
        SetKeyDown(VK_CONTROL, false);
    if (bShift)
        SetKeyDown(VK_SHIFT, false);
}

// Ends a fade that runs, with ticks as the timer would send them.
void FinishFade(C3DDialog* pDlg)
{
    for (int i = 0; i < 3 && pDlg->m_hWnd != NULL && pDlg->m_nFadeState != 0; i++) {
        g_nCounter += 1000;
        pDlg->SendMessage(WM_VTIMER, pDlg->m_nFadeTimerId, 0);
        PumpDialog();
    }
}

std::vector<std::string> Split(const char* psz)
{
    std::vector<std::string> v;
    std::istringstream in(psz);
    std::string s;
    while (in >> s)
        v.push_back(s);
    return v;
}

// --- the dialogs ----------------------------------------------------------------------

struct CTLNAME
{
    const char* pszName;
    int nId;
};

// A dialog of the table: the names of its controls, how it runs (modally,
// with the fade as given), and the setting a row checks ("" when none).
struct DIALOGDEF
{
    const char* pszName;
    std::vector<CTLNAME> names;
    std::function<void(int bFade)> run;
    std::function<std::string(HWND)> state;
    std::function<void(HWND)> prepare;  // texts a row needs, set once the dialog runs
};

bool Checked(HWND hDlg, int nId)
{
    return IsDlgButtonChecked(hDlg, nId) == BST_CHECKED;
}

std::string CheckedNames(HWND hDlg, const std::vector<CTLNAME>& names)
{
    std::string s;
    for (const CTLNAME& n : names) {
        HWND h = GetDlgItem(hDlg, n.nId);
        if (h != NULL && (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) &&
            !(SendMessageA(h, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) &&
            Checked(hDlg, n.nId))
            s += (s.empty() ? "" : " ") + std::string(n.pszName);
    }
    return s;
}

std::function<void(int)> Box(UINT nType)
{
    return [nType](int bFade) { MessageBox3D(NULL, "Tarvenex", "Keyboard row.", nType, bFade, NULL); };
}

const std::vector<CTLNAME> kBoxNames = {{"OK", IDOK},        {"Cancel", IDCANCEL},  {"Yes", IDYES},
                                        {"No", IDNO},        {"Abort", IDABORT},    {"Retry", IDRETRY},
                                        {"Ignore", IDIGNORE}, {"C1", IDCHOICE1},    {"C2", IDCHOICE2},
                                        {"C3", IDCHOICE3},   {"C4", IDCHOICE4}};

const std::vector<CTLNAME> kControlsNames = {
    {"OK", IDOK},           {"Cancel", IDCANCEL},      {"Push", IDC_SK_PUSH},     {"Flat", IDC_SK_FLAT},
    {"Check", IDC_SK_CHECK}, {"Checked", IDC_SK_CHECK_ON}, {"Radio1", IDC_SK_RADIO1}, {"Radio2", IDC_SK_RADIO2},
    {"Edit", IDC_SK_EDIT},  {"Multi", IDC_SK_EDIT_MULTI}, {"Combo", IDC_SK_COMBO},  {"Link", IDC_SK_LINK},
    {"List", IDC_SK_LIST},  {"Name", IDC_SK_TEXT}};

const std::vector<CTLNAME> kSheetNames = {
    {"Check", IDC_PS_CHECK},   {"Edit", IDC_PS_EDIT},     {"Combo", IDC_PS_COMBO},   {"Radio1", IDC_PS_RADIO1},
    {"Radio2", IDC_PS_RADIO2}, {"Taken1", IDC_PS_TAKEN1}, {"Taken2", IDC_PS_TAKEN2}, {"OK", IDOK},
    {"Cancel", IDCANCEL},      {"Back", IDC_SHEET_BACK},  {"Next", IDC_SHEET_NEXT}};

// The page on show and what is checked on it.
std::string SheetPage(HWND hSheet, const std::vector<CTLNAME>& names)
{
    const C3DPropertySheet* pSheet = dynamic_cast<C3DPropertySheet*>(CWnd::FromHandlePermanent(hSheet));
    if (pSheet == NULL)
        return "no sheet";
    const int nPage = pSheet->GetActivePage();
    std::string s = "page " + std::to_string(nPage + 1);
    const std::string strChecked = CheckedNames(hSheet, names);
    return strChecked.empty() ? s : s + " " + strChecked;
}

void RunSheet(int bWizard, int bFade)
{
    static const UINT kPages[] = {IDD_PS_GENERAL, IDD_PS_LOOK, 0};
    PROPSHEETARGS args;
    args.bWizard = bWizard;
    args.pPageIds = kPages;
    args.nTabHeight = 22;
    C3DPropertySheet sheet(NULL, bFade, args);
    sheet.DoModal();
}

std::vector<DIALOGDEF> Dialogs()
{
    std::vector<DIALOGDEF> v;
    auto boxState = [](HWND) { return std::string(); };
    v.push_back({"YesNoCancel", kBoxNames, Box(MB_YESNOCANCEL | MB_ICONQUESTION), boxState, nullptr});
    v.push_back({"YesNoCancel/2", kBoxNames, Box(MB_YESNOCANCEL | MB_DEFBUTTON2), boxState, nullptr});
    v.push_back({"YesNoCancel/3", kBoxNames, Box(MB_YESNOCANCEL | MB_DEFBUTTON3), boxState, nullptr});
    v.push_back({"YesNoCancel/4", kBoxNames, Box(MB_YESNOCANCEL | MB_DEFBUTTON4), boxState, nullptr});
    v.push_back({"YesNo/2", kBoxNames, Box(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), boxState, nullptr});
    v.push_back({"OK", kBoxNames, Box(MB_OK | MB_ICONEXCLAMATION), boxState, nullptr});
    v.push_back({"OKCancel", kBoxNames, Box(MB_OKCANCEL), boxState, nullptr});
    v.push_back({"AbortRetryIgnore/3", kBoxNames, Box(MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), boxState, nullptr});
    v.push_back({"RetryCancel/2", kBoxNames, Box(MB_RETRYCANCEL | MB_DEFBUTTON2), boxState, nullptr});
    v.push_back({"Choice", kBoxNames, [](int bFade) { ChoiceBox3D(NULL, "Keyboard row.", bFade, NULL); }, boxState,
                 nullptr});
    v.push_back({"Sheet", kSheetNames, [](int bFade) { RunSheet(FALSE, bFade); },
                 [](HWND h) { return CheckedNames(h, kSheetNames); }, nullptr});
    v.push_back({"SheetWizard", kSheetNames, [](int bFade) { RunSheet(TRUE, bFade); },
                 [](HWND h) { return CheckedNames(h, kSheetNames); }, nullptr});
    v.push_back({"Controls", kControlsNames,
                 [](int bFade) {
                     C3DDialog dlg(IDD_SKINNED_ALL, NULL, NULL, bFade, NULL, NULL);
                     dlg.DoModal();
                 },
                 [](HWND h) { return CheckedNames(h, kControlsNames); },
                 [](HWND h) {
                     // Mnemonics: a label before the edit, a check box, a radio button.
                     SetDlgItemTextA(h, IDC_SK_TEXT, "&Name:");
                     SetDlgItemTextA(h, IDC_SK_CHECK, "C&heck");
                     SetDlgItemTextA(h, IDC_SK_RADIO2, "Radio &two");
                 }});
    v.push_back({"About",
                 {{"OK", IDOK}, {"Web", IDC_ABOUT_WEB}, {"Mail", IDC_ABOUT_MAIL}, {"Credits", IDC_ABOUT_CREDITS}},
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     CDlgAbout dlg;
                     dlg.DoModal();
                 },
                 [](HWND) {
                     std::string s;
                     for (const std::string& str : g_opened)
                         s += (s.empty() ? "" : " ") + str;
                     return s;
                 },
                 nullptr});
    const std::vector<CTLNAME> tipNames = {{"OK", IDOK},
                                           {"Next", IDC_TIP_NEXT},
                                           {"Previous", IDC_TIP_PREVIOUS},
                                           {"ShowAtStart", IDC_TIP_SHOWATSTART}};
    v.push_back({"Tip", tipNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     g_Settings.ShowTipsOfTheDay = 0;
                     CDlgTip dlg(NULL);
                     dlg.Show();
                 },
                 [](HWND h) {
                     const CDlgTip* pTip = static_cast<CDlgTip*>(CWnd::FromHandlePermanent(h));
                     return "tip " + std::to_string(pTip->GetTipIndex()) +
                            (Checked(h, IDC_TIP_SHOWATSTART) ? " shown at start" : "");
                 },
                 nullptr});
    const std::vector<CTLNAME> propNames = {{"Censored", IDC_SMILIEPROP_CENSORED}, {"Reload", IDC_SMILIEPROP_RELOAD},
                                            {"Source", IDC_SMILIEPROP_SOURCE},     {"Choice", IDC_SMILIEPROP_CHOICE},
                                            {"Template", IDC_SMILIEPROP_TEMPLATE}, {"OK", IDOK},
                                            {"Cancel", IDCANCEL}};
    v.push_back({"SmilieProp", propNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     CSmilie smilie;
                     smilie.SetSource("http://example.org/smile.gif");
                     smilie.m_strPhrase = ":-)";
                     CString strTemplate;
                     int nTextOnly = 0, nReload = 0, nCensored = 0;
                     POINT offset = {0, 0};
                     BYTE nCrop = 0;
                     CDlgSmilieProp dlg(&smilie, &strTemplate, &nTextOnly, &nReload, &offset, &nCrop, &nCensored);
                     dlg.Show();
                 },
                 [propNames](HWND h) { return CheckedNames(h, propNames); }, nullptr});
    // The insertion template editor: the edit takes Enter as a new line.
    const std::vector<CTLNAME> templateNames = {
        {"Text", IDC_CUSTOMTEMPLATE_TEXT}, {"OK", IDOK}, {"Cancel", IDCANCEL}};
    v.push_back({"CustomTemplate", templateNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     CString strTemplate = "[img]<SMILIE>[/img]";
                     CDlgCustomTemplate dlg(strTemplate);
                     dlg.DoModal();
                 },
                 [](HWND h) {
                     char sz[64] = "";
                     GetDlgItemTextA(h, IDC_CUSTOMTEMPLATE_TEXT, sz, sizeof(sz));
                     return std::string(sz);
                 },
                 nullptr});
    const std::vector<CTLNAME> wizardNames = {{"Look3D", IDC_WIZARD_3DLOOK},   {"Flat", IDC_WIZARD_FLATLOOK},
                                              {"Censor", IDC_WIZARD_CENSOR},   {"NoCensor", IDC_WIZARD_NOCENSOR},
                                              {"Back", IDC_SHEET_BACK},        {"Next", IDC_SHEET_NEXT},
                                              {"Finish", IDOK},                {"Cancel", IDCANCEL}};
    v.push_back({"Wizard", wizardNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     CDlgWizard wizard(NULL);
                     wizard.DoModal();
                 },
                 [wizardNames](HWND h) { return CheckedNames(h, wizardNames); }, nullptr});
    // The same sheet for its pages.
    v.push_back({"Pages", kSheetNames, [](int bFade) { RunSheet(FALSE, bFade); },
                 [](HWND h) { return SheetPage(h, kSheetNames); }, nullptr});
    // The options sheet: the first control of each of its five pages.
    const std::vector<CTLNAME> optionNames = {
        {"TrayClick", IDC_OPT_TRAYSINGLECLICK}, {"Coloring", IDC_OPT_COLORING}, {"Scheme1", IDC_OPT_SCHEME1},
        {"Scheme2", IDC_OPT_SCHEME2},           {"Preview", IDC_OPT_PREVIEWMODE}, {"Autostart", IDC_OPT_AUTOSTART},
        {"Cache", IDC_OPT_CACHESIZE},           {"OK", IDOK},                    {"Cancel", IDCANCEL}};
    v.push_back({"Options", optionNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     OPTIONSDATA data;
                     LoadOptionsData(&data);
                     CDlgGlobalProp sheet(&data, NULL);
                     sheet.DoModal();
                 },
                 [](HWND h) { return SheetPage(h, {}); }, nullptr});
    // The field properties: the caption, the ten swatches, more colours.
    const std::vector<CTLNAME> fieldPropNames = {
        {"Caption", IDC_FIELDPROP_CAPTION}, {"Swatch1", IDC_FIELDPROP_COLOR}, {"Swatch2", 1013},
        {"Swatch3", 1014},                  {"Swatch4", 1015},                {"Swatch5", 1016},
        {"Swatch6", 1017},                  {"Swatch7", 1018},                {"Swatch8", 1019},
        {"Swatch9", 1020},                  {"Swatch10", 1021},               {"More", IDC_FIELDPROP_MORECOLORS},
        {"Preset", IDC_FIELDPROP_PRESET},   {"Template", IDC_FIELDPROP_TEMPLATE}, {"White", IDC_FIELDPROP_WHITECELLS},
        {"OK", IDOK},                       {"Cancel", IDCANCEL}};
    v.push_back({"FieldProp", fieldPropNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     CString strCaption = "Smilies", strTemplate = "[img]<SMILIE>[/img]";
                     int nWhite = 0;
                     CDlgFieldProp dlg(RGB(200, 200, 200), NULL, &strCaption, &strTemplate, &nWhite, 1, 2, 3, 4);
                     dlg.DoModal();
                 },
                 [](HWND h) {
                     char sz[16];
                     const COLORREF clr = static_cast<COLORREF>(
                         SendDlgItemMessageA(h, IDC_FIELDPROP_COLOR, WM_CLRSELGET, 0, 0));
                     sprintf(sz, "%d,%d,%d", GetRValue(clr), GetGValue(clr), GetBValue(clr));
                     return std::string(sz);
                 },
                 nullptr});
    // The notice that the program keeps running in the notification area.
    const std::vector<CTLNAME> hidingNames = {{"Check", IDC_HIDING_CHECK}, {"OK", IDOK}};
    v.push_back({"StillRunning", hidingNames,
                 [](int bFade) {
                     g_Settings.FadeDialogs = bFade;
                     CDlgWarnHidingToTray dlg(NULL);
                     dlg.DoModal();
                 },
                 [hidingNames](HWND h) { return CheckedNames(h, hidingNames); }, nullptr});
    return v;
}

const DIALOGDEF* FindDialog(const std::vector<DIALOGDEF>& dialogs, const char* pszName)
{
    for (const DIALOGDEF& d : dialogs) {
        if (strcmp(d.pszName, pszName) == 0)
            return &d;
    }
    return NULL;
}

std::string FocusName(HWND hDlg, const DIALOGDEF& def)
{
    HWND hFocus = GetFocus();
    if (hFocus == NULL)
        return "none";
    if (hFocus == hDlg)
        return "dialog";
    if (!IsChild(hDlg, hFocus))
        return "outside";
    if (dynamic_cast<CTabSelector*>(CWnd::FromHandlePermanent(hFocus)) != NULL)
        return "Tabs";
    // The edit of a combo box counts as the combo box.
    if (GetParent(hFocus) != hDlg)
        hFocus = GetParent(hFocus);
    const int nId = GetDlgCtrlID(hFocus);
    for (const CTLNAME& n : def.names) {
        if (n.nId == nId && GetDlgItem(hDlg, n.nId) == hFocus)
            return n.pszName;
    }
    return "#" + std::to_string(nId);
}

// The default mark must be where Enter goes: on the focused push button, or
// with the focus elsewhere on the dialog's default; on no other button.
std::string MarkProblem(HWND hDlg)
{
    HWND hFocus = GetFocus();
    HWND hExpected = NULL;
    if (hFocus != NULL && IsChild(hDlg, hFocus) &&
        (SendMessageA(hFocus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        hExpected = hFocus;
    } else {
        const DWORD dw = static_cast<DWORD>(SendMessageA(hDlg, DM_GETDEFID, 0, 0));
        if (HIWORD(dw) == DC_HASDEFID)
            hExpected = GetDlgItem(hDlg, LOWORD(dw));
    }
    std::string strProblem;
    for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd == NULL || !pWnd->IsKindOf(RUNTIME_CLASS(C3DButton)) || !IsWindowVisible(h))
            continue;
        const C3DButton* pButton = static_cast<C3DButton*>(pWnd);
        if (pButton->GetButtonType() != BTNTYPE_PUSH)
            continue;
        const bool bMarked = pButton->IsDefault() != FALSE;
        if (bMarked != (h == hExpected))
            strProblem += " " + std::to_string(GetDlgCtrlID(h)) + (bMarked ? " marked" : " unmarked");
    }
    return strProblem;
}

struct KEYROW
{
    const char* pszDialog;
    int bFade;
    const char* pszKeys;
    const char* pszFocus;  // after opening, then after each key; "end" once the dialog ended
    int nResult;           // kLeftOpen when the keys leave it open
    const char* pszState;  // NULL: not checked
};

// Runs one row: the first dialog that goes idle is the row's; message boxes
// that it asks in turn are answered No.
class CKeyAnswerer : public CModalAnswerer
{
public:
    CKeyAnswerer(const KEYROW& row, const DIALOGDEF& def) : m_row(row), m_def(def)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CKeyAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (m_nAsked++ > 0)
            return IDNO;
        C3DDialog* pDlg = static_cast<C3DDialog*>(pDialog);
        HWND hDlg = pDlg->m_hWnd;
        if (m_def.prepare)
            m_def.prepare(hDlg);
        EXPECT_EQ(m_row.bFade ? 1 : 0, pDlg->m_nFadeState) << "fading in";
        FinishFade(pDlg);
        m_strFocus = FocusName(hDlg, m_def);
        CheckMark(hDlg, "open");
        for (const std::string& key : Split(m_row.pszKeys)) {
            if (m_def.state)
                m_strState = m_def.state(hDlg);
            Press(hDlg, key);
            FinishFade(pDlg);
            if (!pDlg->ContinueModal() || pDlg->m_hWnd == NULL) {
                m_strFocus += " end";
                m_nResult = pDlg->m_nResult;
                return -1;
            }
            m_strFocus += " " + FocusName(hDlg, m_def);
            CheckMark(hDlg, key);
        }
        if (m_def.state)
            m_strState = m_def.state(hDlg);
        m_nResult = kLeftOpen;
        return kLeftOpen;
    }

    int m_nAsked = 0;
    int m_nResult = -1;
    std::string m_strFocus, m_strState, m_strMarks;

private:
    void CheckMark(HWND hDlg, const std::string& after)
    {
        const std::string str = MarkProblem(hDlg);
        if (!str.empty())
            m_strMarks += " [after " + after + ":" + str + "]";
    }

    const KEYROW& m_row;
    const DIALOGDEF& m_def;
    CModalAnswerer* m_pPrevious;
};

class KeyboardTable : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL)); }
    static void TearDownTestSuite() { FreeLanguages(); }

    void SetUp() override
    {
        RegisterControlMessages();
        CreateExportedFuncs();
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
        C3DDialog::s_pfnQueryPerformanceFrequency = FakeFrequency;
        C3DDialog::s_pfnQueryPerformanceCounter = FakeCounter;
        C3DDialog::s_pfnIsMenuFadeOn = FakeMenuFade;
        m_pfnShell = g_pfnShellExecute;
        g_pfnShellExecute = RecordShell;
        m_nFade = g_Settings.FadeDialogs;
        m_nTips = g_Settings.ShowTipsOfTheDay;
        m_nLook = g_Settings.SmilieFieldsLook;
        m_nCensored = g_Settings.ShowCensoredSmilies;
    }
    void TearDown() override
    {
        g_Settings.FadeDialogs = m_nFade;
        g_Settings.ShowTipsOfTheDay = m_nTips;
        g_Settings.SmilieFieldsLook = m_nLook;
        g_Settings.ShowCensoredSmilies = m_nCensored;
        g_pfnShellExecute = m_pfnShell;
        PumpPending();
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
        C3DDialog::s_pfnQueryPerformanceFrequency = QueryPerformanceFrequency;
        C3DDialog::s_pfnQueryPerformanceCounter = QueryPerformanceCounter;
        C3DDialog::s_pfnIsMenuFadeOn = IsMenuFadeOn;
    }

    HINSTANCE(WINAPI* m_pfnShell)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = NULL;
    int m_nFade = 0, m_nTips = 0, m_nLook = 0, m_nCensored = 0;
};

const KEYROW kRows[] = {
    // The message box: the default from MB_DEFBUTTONn has the focus and the
    // mark; Enter presses the focused button; Tab goes in screen order.
    {"YesNoCancel", 1, "Enter", "Yes end", IDYES, NULL},
    {"YesNoCancel", 0, "Tab Tab Tab Enter", "Yes No Cancel Yes end", IDYES, NULL},
    {"YesNoCancel", 0, "Tab Space", "Yes No end", IDNO, NULL},
    {"YesNoCancel/2", 0, "Enter", "No end", IDNO, NULL},
    {"YesNoCancel/3", 1, "S-Tab Enter", "Cancel No end", IDNO, NULL},
    {"YesNoCancel/4", 0, "Enter", "Yes end", IDYES, NULL},
    {"YesNo/2", 1, "Esc", "No end", IDCANCEL, NULL},
    {"YesNo/2", 0, "S-Tab Enter", "No Yes end", IDYES, NULL},
    {"OK", 1, "Enter", "OK end", IDOK, NULL},
    {"OKCancel", 0, "Tab Enter", "OK Cancel end", IDCANCEL, NULL},
    {"AbortRetryIgnore/3", 0, "Enter", "Ignore end", IDIGNORE, NULL},
    {"RetryCancel/2", 1, "Tab Enter", "Cancel Retry end", IDRETRY, NULL},
    {"Choice", 1, "Tab Tab Tab Tab Enter", "Yes C3 No C1 C4 end", IDCHOICE4, NULL},
    {"Choice", 0, "S-Tab Enter", "Yes Cancel end", IDCANCEL, NULL},
    {"Choice", 0, "Esc", "Yes end", IDCANCEL, NULL},
    // The property sheet: OK is its default, in wizard mode Next, which
    // turns into Finish on the last page and keeps the focus.
    {"Sheet", 1, "Space Tab Tab Tab Tab", "Check Check Edit Combo OK Cancel", kLeftOpen, "Check"},
    {"Sheet", 0, "Tab Enter", "Check Edit Edit", kLeftOpen, ""},
    {"Sheet", 0, "S-Tab S-Tab Enter", "Check Tabs Cancel end", IDCANCEL, NULL},
    {"Sheet", 0, "Enter", "Check end", IDOK, NULL},
    {"SheetWizard", 1, "Tab Tab Tab Enter", "Check Edit Combo Next OK", kLeftOpen, NULL},
    {"SheetWizard", 0, "Tab Tab Tab Enter Enter", "Check Edit Combo Next OK end", IDOK, NULL},
    {"SheetWizard", 0, "Esc", "Check end", IDCANCEL, NULL},
    // The dialog with one of each control: Enter on a push button presses
    // it, on a check box the default; Enter in an edit does nothing; a
    // label's mnemonic goes to the control after it, a button's clicks it.
    {"Controls", 1, "Tab Enter", "OK Cancel end", IDCANCEL, NULL},
    {"Controls", 0, "Tab Tab Tab Tab Space", "OK Cancel Push Flat Check Check", kLeftOpen, "Check"},
    {"Controls", 0, "Tab Tab Tab Tab Enter", "OK Cancel Push Flat Check end", IDOK, NULL},
    {"Controls", 0, "Tab Tab Enter", "OK Cancel Push Push", kLeftOpen, NULL},
    {"Controls", 0, "A-n Enter", "OK Edit Edit", kLeftOpen, ""},
    {"Controls", 1, "A-h", "OK Check", kLeftOpen, "Check"},
    {"Controls", 0, "A-t Up", "OK Radio2 Radio1", kLeftOpen, "Radio1"},
    {"Controls", 0, "S-Tab Enter", "OK Link Link", kLeftOpen, NULL},
    // The about box: OK first, after the fade too; the links are tab stops
    // opened by Enter and Space. The credits (a multi-line edit without
    // ES_WANTRETURN) hand Enter to the default button, as the system's do.
    {"About", 1, "Enter", "OK end", IDOK, ""},
    {"About", 0, "Tab Enter Esc", "OK Web Web end", IDCANCEL, "http://www.tarvenex.example"},
    {"About", 1, "Tab Tab Space Esc", "OK Web Mail Mail end", IDCANCEL,
     "mailto:support@tarvenex.example?subject=Tarvenex"},
    {"About", 0, "S-Tab Enter", "OK Credits end", IDOK, ""},
    // The tip of the day.
    {"Tip", 1, "Tab Enter Enter Esc", "OK Next Next Next end", IDCANCEL, "tip 2 shown at start"},
    {"Tip", 0, "S-Tab Space", "OK ShowAtStart ShowAtStart", kLeftOpen, "tip 0"},
    {"Tip", 0, "Enter", "OK end", IDOK, NULL},
    // The smilie properties open in the template edit (its own choice, kept
    // through the fade). OK asks about a template without the keyword; the
    // answer No sends the focus back to the edit.
    {"SmilieProp", 1, "Tab Space", "Template OK Template", kLeftOpen, ""},
    {"SmilieProp", 0, "Tab Tab Tab Enter", "Template OK Cancel Censored Template", kLeftOpen, NULL},
    {"SmilieProp", 0, "Esc", "Template end", IDCANCEL, NULL},
    // The insertion template editor opens in its text; Tab reaches OK.
    {"CustomTemplate", 1, "Tab Enter", "Text OK end", IDOK, NULL},
    {"CustomTemplate", 0, "Tab Tab Enter", "Text OK Cancel end", IDCANCEL, NULL},
    {"CustomTemplate", 0, "Esc", "Text end", IDCANCEL, NULL},
    // The first-time wizard.
    {"Wizard", 1, "Tab Tab Enter", "Look3D Next Cancel end", IDCANCEL, "Look3D Censor"},
    {"Wizard", 0, "Tab Enter Enter", "Look3D Next Finish end", IDOK, "Look3D Censor"},
    {"Wizard", 0, "S-Tab S-Tab Space Enter", "Look3D Cancel Next Finish end", IDOK, NULL},
    {"Wizard", 0, "Esc", "Look3D end", IDCANCEL, NULL},
    // Its choices: the arrows step within a pair, the letters pick.
    {"Wizard", 0, "Down", "Look3D Flat", kLeftOpen, "Flat Censor"},
    {"Wizard", 0, "Right Left", "Look3D Flat Look3D", kLeftOpen, "Look3D Censor"},
    {"Wizard", 1, "A-f", "Look3D Flat", kLeftOpen, "Flat Censor"},
    {"Wizard", 0, "A-f A-3", "Look3D Flat Look3D", kLeftOpen, "Look3D Censor"},
    {"Wizard", 0, "Tab Enter A-h", "Look3D Next Finish Censor", kLeftOpen, "Look3D Censor"},
    {"Wizard", 0, "Tab Enter A-a Enter", "Look3D Next Finish NoCensor end", IDOK, "Look3D NoCensor"},
    // A property sheet's pages by the keyboard: Ctrl+Tab, Ctrl+PgDn forward,
    // Ctrl+Shift+Tab, Ctrl+PgUp back, round the ends, the page's first control
    // taking the focus (on the Look page the dialog manager's first tab stop
    // there is the second radio button); the tab strip comes before the page
    // in the Tab cycle, its arrows switch pages and keep the focus on it.
    {"Pages", 0, "C-Tab", "Check Radio2", kLeftOpen, "page 2 Radio2"},
    {"Pages", 1, "C-Tab C-Tab", "Check Radio2 Check", kLeftOpen, "page 1 Radio2"},
    {"Pages", 0, "C-S-Tab", "Check Radio2", kLeftOpen, "page 2 Radio2"},
    {"Pages", 0, "C-PgDn C-PgUp", "Check Radio2 Check", kLeftOpen, "page 1 Radio2"},
    {"Pages", 0, "S-Tab Right", "Check Tabs Tabs", kLeftOpen, "page 2"},
    {"Pages", 0, "S-Tab Right Tab", "Check Tabs Tabs Radio2", kLeftOpen, "page 2 Radio2"},
    {"Pages", 0, "S-Tab End Home Left", "Check Tabs Tabs Tabs Tabs", kLeftOpen, "page 1"},
    {"Pages", 0, "Tab C-Tab", "Check Edit Radio2", kLeftOpen, "page 2 Radio2"},
    {"Pages", 0, "Tab Tab Tab Tab C-Tab", "Check Edit Combo OK Cancel Cancel", kLeftOpen, "page 2"},
    // The options sheet: pages 2 to 5 by the keyboard.
    {"Options", 0, "C-Tab", "TrayClick Coloring", kLeftOpen, "page 2"},
    {"Options", 0, "C-PgDn C-PgDn", "TrayClick Coloring Preview", kLeftOpen, "page 3"},
    {"Options", 0, "C-S-Tab C-PgUp", "TrayClick Cache Autostart", kLeftOpen, "page 4"},
    {"Options", 0, "S-Tab Right Right Right Right", "TrayClick Tabs Tabs Tabs Tabs Tabs", kLeftOpen, "page 5"},
    {"Options", 0, "C-Tab Tab Space", "TrayClick Coloring Scheme1 Scheme1", kLeftOpen, "page 2"},
    {"Options", 0, "Esc", "TrayClick end", IDCANCEL, NULL},
    // The field properties: the swatches and "»" are tab stops, Space picks
    // a swatch; the arrows go along the row.
    {"FieldProp", 0, "Tab Tab Space", "Caption Swatch1 Swatch2 Swatch2", kLeftOpen, "255,88,72"},
    {"FieldProp", 0, "Tab Right Right Space", "Caption Swatch1 Swatch2 Swatch3 Swatch3", kLeftOpen, "64,216,56"},
    {"FieldProp", 0, "Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab",
     "Caption Swatch1 Swatch2 Swatch3 Swatch4 Swatch5 Swatch6 Swatch7 Swatch8 Swatch9 Swatch10 More", kLeftOpen,
     "200,200,200"},
    {"FieldProp", 0, "Esc", "Caption end", IDCANCEL, NULL},
    // The notice that the program keeps running: Enter on its check box
    // presses OK, the default.
    {"StillRunning", 0, "Enter", "Check end", IDOK, NULL},
    {"StillRunning", 1, "Space Space Enter", "Check Check Check end", IDOK, NULL},
    {"StillRunning", 0, "Tab Enter", "Check OK end", IDOK, NULL},
};

TEST_F(KeyboardTable, EveryDialogWorksWithTheKeyboard)
{
    const std::vector<DIALOGDEF> dialogs = Dialogs();
    for (const KEYROW& row : kRows) {
        const DIALOGDEF* pDef = FindDialog(dialogs, row.pszDialog);
        ASSERT_TRUE(pDef != NULL) << row.pszDialog;
        const std::string strRow = std::string(row.pszDialog) + (row.bFade ? " fading" : "") + ", keys \"" +
                                   row.pszKeys + "\"";
        g_opened.clear();
        CKeyAnswerer answerer(row, *pDef);
        pDef->run(row.bFade);
        EXPECT_EQ(1, answerer.m_nAsked > 0 ? 1 : 0) << strRow;
        EXPECT_EQ(row.pszFocus, answerer.m_strFocus) << strRow;
        EXPECT_EQ(row.nResult, answerer.m_nResult) << strRow;
        if (row.pszState != NULL)
            EXPECT_EQ(row.pszState, answerer.m_strState) << strRow;
        EXPECT_EQ("", answerer.m_strMarks) << strRow << ": the default mark is not where Enter goes";
        PumpPending();
    }
}

// --- the texts against their controls ---------------------------------------------------

RECT ChildRect(HWND hDlg, HWND hChild)
{
    RECT rc = {};
    GetWindowRect(hChild, &rc);
    MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The size of one line of text in the window's font.
SIZE LineSize(HWND hWnd, const std::string& str)
{
    HDC hDC = GetDC(hWnd);
    HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ hOld = SelectObject(hDC, hFont != NULL ? hFont : GetStockObject(DEFAULT_GUI_FONT));
    RECT rc = {0, 0, 0, 0};
    DrawTextA(hDC, str.c_str(), int(str.size()), &rc, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(hDC, hOld);
    ReleaseDC(hWnd, hDC);
    return SIZE{rc.right, rc.bottom};
}

// Every visible text static, check box, radio button and push button of the
// dialog: its text, measured in its own font, fits the control, and what it
// draws covers no other control. One line per fault.
std::string LayoutProblems(HWND hDlg)
{
    struct DRAWN
    {
        HWND hWnd;
        RECT rcText;  // dialog coordinates
    };
    std::vector<DRAWN> drawn;
    std::string strProblems;
    for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        char szText[1024] = "";
        GetWindowTextA(h, szText, sizeof(szText));
        if (pWnd == NULL || !IsWindowVisible(h) || szText[0] == '\0')
            continue;
        RECT rcClient;
        GetClientRect(h, &rcClient);
        const RECT rcWnd = ChildRect(hDlg, h);
        SIZE need = {0, 0};
        RECT rcText = rcWnd;
        if (pWnd->IsKindOf(RUNTIME_CLASS(C3DStatic))) {
            C3DStatic* pStatic = static_cast<C3DStatic*>(pWnd);
            if (pStatic->m_pImage1 != NULL || pStatic->m_hIcon != NULL)
                continue;
            const CSize size = pStatic->MeasureText();
            need = SIZE{size.cx, size.cy};
            const int x = (pStatic->GetTextFormat() & DT_CENTER) ? (rcClient.right - size.cx) / 2 : 0;
            rcText = RECT{rcWnd.left + x, rcWnd.top, rcWnd.left + x + size.cx, rcWnd.top + size.cy};
        } else if (pWnd->IsKindOf(RUNTIME_CLASS(C3DButton))) {
            const C3DButton* pButton = static_cast<C3DButton*>(pWnd);
            const SIZE line = LineSize(h, szText);
            if (pButton->GetButtonType() == BTNTYPE_PUSH) {
                // The text is clipped 3 pixels inside the face.
                need = SIZE{line.cx + 6, line.cy + 6};
            } else if (pButton->GetButtonType() != BTNTYPE_OTHER) {
                need = SIZE{INDICATOR_SIZE + 6 + line.cx, line.cy};
                rcText.right = rcText.left + need.cx;
            }
        } else {
            continue;
        }
        const int nId = GetDlgCtrlID(h);
        if (need.cx > rcClient.right || need.cy > rcClient.bottom)
            strProblems += " [" + std::to_string(nId) + " \"" + szText + "\" needs " + std::to_string(need.cx) +
                           " x " + std::to_string(need.cy) + ", has " + std::to_string(rcClient.right) + " x " +
                           std::to_string(rcClient.bottom) + "]";
        drawn.push_back({h, rcText});
    }
    for (const DRAWN& d : drawn) {
        for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
            CWnd* pWnd = CWnd::FromHandlePermanent(h);
            if (h == d.hWnd || !IsWindowVisible(h) || (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(C3DGroupBox))))
                continue;
            // Another text is what it draws; any other control its window.
            RECT rcOther = ChildRect(hDlg, h);
            for (const DRAWN& other : drawn) {
                if (other.hWnd == h)
                    rcOther = other.rcText;
            }
            RECT rc;
            if (IntersectRect(&rc, &d.rcText, &rcOther))
                strProblems += " [" + std::to_string(GetDlgCtrlID(d.hWnd)) + " covers " +
                               std::to_string(GetDlgCtrlID(h)) + "]";
        }
    }
    return strProblems;
}

class CLayoutAnswerer : public CModalAnswerer
{
public:
    explicit CLayoutAnswerer(std::function<void(C3DDialog*)> fn) : m_fn(fn) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CLayoutAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (m_nAsked++ == 0)
            m_fn(static_cast<C3DDialog*>(pDialog));
        return IDCANCEL;
    }
    int m_nAsked = 0;

private:
    std::function<void(C3DDialog*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

TEST_F(KeyboardTable, EveryTextFitsItsControlAndCoversNoOther)
{
    const std::vector<DIALOGDEF> dialogs = Dialogs();
    for (const DIALOGDEF& def : dialogs) {
        std::string strProblems;
        CLayoutAnswerer answerer([&](C3DDialog* pDlg) {
            strProblems += LayoutProblems(pDlg->m_hWnd);
            // The other pages of a sheet.
            C3DPropertySheet* pSheet = dynamic_cast<C3DPropertySheet*>(pDlg);
            // (The message alone leaves the strip's selection as it was: the
            // page shown last is the one to hide.)
            int nOld = pSheet != NULL ? pSheet->GetActivePage() : 0;
            for (int i = 1; pSheet != NULL && i < pSheet->GetPageCount(); nOld = i++) {
                pSheet->SendMessage(WM_TABSELCHANGED, pSheet->GetPage(i).nTabId, pSheet->GetPage(nOld).nTabId);
                strProblems += " page " + std::to_string(i) + ":" + LayoutProblems(pDlg->m_hWnd);
            }
        });
        def.run(FALSE);
        EXPECT_EQ(1, answerer.m_nAsked) << def.pszName;
        // Sheets list their pages; only faults count.
        std::string strFaults = strProblems;
        for (size_t i; (i = strFaults.find(" page ")) != std::string::npos;)
            strFaults.erase(i, strFaults.find(':', i) + 1 - i);
        EXPECT_EQ("", strFaults) << def.pszName << ":" << strProblems;
    }
    // A long message wraps in the box, and its lines fit too.
    std::string strLong;
    for (int i = 0; i < 40; i++)
        strLong += "The collection file could not be written to its folder. ";
    std::string strProblems;
    RECT rcBox = {};
    {
        CLayoutAnswerer answerer([&](C3DDialog* pDlg) {
            strProblems = LayoutProblems(pDlg->m_hWnd);
            pDlg->GetWindowRect(&rcBox);
        });
        MessageBox3D(NULL, "Tarvenex", strLong.c_str(), MB_OK | MB_ICONEXCLAMATION, FALSE, NULL);
    }
    EXPECT_EQ("", strProblems) << "long message";
    RECT rcWork;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_LE(rcBox.right - rcBox.left, (rcWork.right - rcWork.left) * 3 / 4)
        << "the text wraps at 5/8 of the work area";
}

TEST_F(KeyboardTable, ANarrowedControlIsFound)
{
    std::string strProblems;
    CLayoutAnswerer answerer([&](C3DDialog* pDlg) {
        HWND hCheck = GetDlgItem(pDlg->m_hWnd, IDC_SK_CHECK);
        SetWindowPos(hCheck, NULL, 0, 0, 30, 16, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        HWND hText = GetDlgItem(pDlg->m_hWnd, IDC_SK_TEXT);
        SetWindowTextA(hText, "A text static that runs far beyond the right edge of its control and wraps");
        strProblems = LayoutProblems(pDlg->m_hWnd);
    });
    C3DDialog dlg(IDD_SKINNED_ALL, NULL, NULL, FALSE, NULL, NULL);
    dlg.DoModal();
    EXPECT_NE(std::string::npos, strProblems.find("[" + std::to_string(IDC_SK_CHECK) + " \"Check\" needs"))
        << strProblems;
    // Wrapped into lines below its one-line box, the text covers the next static.
    EXPECT_NE(std::string::npos, strProblems.find("[" + std::to_string(IDC_SK_TEXT) + " ")) << strProblems;
}

// --- the mouse on a check box --------------------------------------------------------------

// The controls dialog, counting the check box's clicks.
class CClickCounter : public C3DDialog
{
public:
    CClickCounter() : C3DDialog(IDD_SKINNED_ALL, NULL, NULL, FALSE, NULL, NULL) {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == IDC_SK_CHECK && HIWORD(wParam) == BN_CLICKED) {
            m_nClicks++;
            m_nCheckedAtClick = ::IsDlgButtonChecked(m_hWnd, IDC_SK_CHECK);
        }
        return C3DDialog::OnCommand(wParam, lParam);
    }
    int m_nClicks = 0;
    UINT m_nCheckedAtClick = 99;
};

TEST_F(KeyboardTable, CheckBoxChangesOnTheClickNotThePress)
{
    // Mouse messages posted to the check box, at points in its client area
    // ("in") or beyond its right edge ("out"); "dbl" is a double click.
    const struct
    {
        const char* pszMoves;
        int nClicks;
        UINT nChecked;
    } rows[] = {
        {"down up", 1, BST_CHECKED},
        {"down", 0, BST_UNCHECKED},
        {"down out up-out", 0, BST_UNCHECKED},
        {"down out in up", 1, BST_CHECKED},
        {"down up dbl up", 2, BST_UNCHECKED},
    };
    for (const auto& row : rows) {
        CClickCounter dlg;
        UINT nCheckedAfterPress = 99;
        CLayoutAnswerer answerer([&](C3DDialog* pDlg) {
            HWND hCheck = GetDlgItem(pDlg->m_hWnd, IDC_SK_CHECK);
            RECT rc;
            GetClientRect(hCheck, &rc);
            const LPARAM in = MAKELPARAM(3, rc.bottom / 2), out = MAKELPARAM(rc.right + 40, rc.bottom / 2);
            for (const std::string& move : Split(row.pszMoves)) {
                if (move == "down")
                    PostMessageA(hCheck, WM_LBUTTONDOWN, MK_LBUTTON, in);
                else if (move == "dbl")
                    PostMessageA(hCheck, WM_LBUTTONDBLCLK, MK_LBUTTON, in);
                else if (move == "out" || move == "in")
                    PostMessageA(hCheck, WM_MOUSEMOVE, MK_LBUTTON, move == "in" ? in : out);
                else
                    PostMessageA(hCheck, WM_LBUTTONUP, 0, move == "up" ? in : out);
                PumpDialog();
                if (move == "down" && nCheckedAfterPress == 99)
                    nCheckedAfterPress = IsDlgButtonChecked(pDlg->m_hWnd, IDC_SK_CHECK);
            }
            if (GetCapture() != NULL)
                ReleaseCapture();
            EXPECT_EQ(row.nChecked, IsDlgButtonChecked(pDlg->m_hWnd, IDC_SK_CHECK)) << row.pszMoves;
        });
        dlg.DoModal();
        EXPECT_EQ(BST_UNCHECKED, nCheckedAfterPress) << row.pszMoves << ": the press changes nothing";
        EXPECT_EQ(row.nClicks, dlg.m_nClicks) << row.pszMoves;
        if (row.nClicks > 0)
            EXPECT_EQ(row.nChecked, dlg.m_nCheckedAtClick) << row.pszMoves << ": the new state comes with the click";
    }
}


// --- the tray menu --------------------------------------------------------------------------

// The tray window's part in its menu: the items' letters and sizes.
class CTrayMenuOwner : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_MENUCHAR)
            return HandleMenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        if (message == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU &&
            AfxMeasureMenuItem(m_hWnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

C3DMenu* g_pTrayMenu = NULL;
std::vector<std::string> g_trayKeys;
void CALLBACK PostTrayKeys(HWND, UINT, UINT_PTR nId, DWORD)
{
    if (g_pTrayMenu == NULL || g_pTrayMenu->GetDrawCount() < 1)
        return;
    KillTimer(NULL, nId);
    static const std::map<std::string, UINT> kKeys = {{"Up", VK_UP},     {"Down", VK_DOWN},    {"Home", VK_HOME},
                                                      {"End", VK_END},   {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
                                                      {"Right", VK_RIGHT}, {"Left", VK_LEFT}};
    HWND hWnd = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
    for (const std::string& key : g_trayKeys) {
        if (key.size() == 1)
            PostMessageA(hWnd, WM_CHAR, static_cast<BYTE>(key[0]), 1);
        else if (kKeys.count(key))
            PostMessageA(hWnd, WM_KEYDOWN, kKeys.at(key), 1);
        else
            ADD_FAILURE() << "no such key: " << key;
    }
}

// A row whose keys leave the menu open fails; it does not hang.
void CALLBACK EndTrayMenu(HWND, UINT, UINT_PTR nId, DWORD)
{
    KillTimer(NULL, nId);
    EndMenu();
}

// The tray menu as the system shows it, worked with the keys: the arrows,
// Home and End move, Enter runs, Esc closes, and each item's letter runs it.
TEST_F(KeyboardTable, TheTrayMenuAnswersTheKeys)
{
    const struct
    {
        const char* pszKeys;
        UINT nCommand;  // 0: closed without a command
    } rows[] = {
        {"Esc", 0},    {"End Enter", 1},   {"Up Up Enter", 2}, {"Home Down Enter", 6}, {"o", 2}, {"x", 1},
        {"t", 6},      {"i", 7},           {"h", 8},           {"w", 10},              {"a", 9}, {"Down Esc", 0},
    };
    CTrayMenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(WS_EX_TOPMOST, AfxRegisterWndClass(0), "tray", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                               NULL, NULL));
    for (const auto& row : rows) {
        C3DMenu menu, colors;
        menu.CreatePopup(NULL);
        colors.CreatePopup(NULL);
        CSequence<HICON> icons;
        BuildTrayMenu(menu, colors, FALSE, FALSE, icons);
        g_trayKeys = Split(row.pszKeys);
        g_pTrayMenu = &menu;
        const UINT_PTR nTimer = SetTimer(NULL, 0, 20, PostTrayKeys);
        const UINT_PTR nLimit = SetTimer(NULL, 0, 4000, EndTrayMenu);
        SetForegroundWindow(owner.m_hWnd);
        const UINT nCommand = menu.Track(&owner, 200, 200);
        KillTimer(NULL, nTimer);
        KillTimer(NULL, nLimit);
        g_pTrayMenu = NULL;
        EXPECT_EQ(row.nCommand, nCommand) << "keys " << row.pszKeys;
        for (int i = 0; i < icons.GetSize(); i++)
            DestroyIcon(icons[i]);
        PumpPending();
    }
    owner.DestroyWindow();
}

}  // namespace
