// The notices about target programs on real windows: the modeless ones found
// by their lists and worked through their windows, the modal ones answered
// through the test seam. The clock, the flash and the capture of the
// notification area are the tests' own; settings go to a registry sandbox.
#include "dialogs/DlgMessengerReminders.h"
#include "dialogs/DlgHowToQuickOpenDefCol.h"
#include "dialogs/DlgWarnHidingToTray.h"
#include "dialogs/Notices.h"

#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/Settings.h"
#include "services/TickCount.h"
#include "services/TrayIconPattern.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/ButtonRows.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/3DGroupBox.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

DWORD g_nNow = 0;
DWORD WINAPI FakeTickCount()
{
    return g_nNow;
}

int g_nFlashes = 0;
BOOL WINAPI RecordFlash(PFLASHWINFO)
{
    g_nFlashes++;
    return TRUE;
}

std::string Text(HWND hWnd)
{
    char sz[2048] = "";
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

std::string ItemText(HWND hDlg, int nId)
{
    return Text(::GetDlgItem(hDlg, nId));
}

RECT ChildRect(HWND hDlg, int nId)
{
    RECT rc = {};
    ::GetWindowRect(::GetDlgItem(hDlg, nId), &rc);
    ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool SettingsSaved()
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

// Language, settings, clock, flash and registry of one test; every notice
// left open is closed at the end.
class Notices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterControlMessages();
        m_language.Set(210, "[APPNAME] cannot take smilies");
        m_language.Set(560, "[APPNAME] writes plain text: [ADVICE]");
        m_language.Set(561, "[APPNAME] second");
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        m_pfnTick = g_pfnGetTickCount;
        g_pfnGetTickCount = FakeTickCount;
        g_nNow = 100000;
        m_pFuncs = new CExportedFuncs;
        m_pPreviousFuncs = g_pExportedFuncs;
        g_pExportedFuncs = m_pFuncs;
        m_pFuncs->pFlashWindowEx = RecordFlash;
        g_nFlashes = 0;
    }
    void TearDown() override
    {
        CloseAll();
        g_pExportedFuncs = m_pPreviousFuncs;
        delete m_pFuncs;
        g_pfnGetTickCount = m_pfnTick;
        SetDefaultSettings();
    }

    static void CloseAll()
    {
        while (g_EudoraNotices.GetSize() > 0)
            g_EudoraNotices[0]->DestroyWindow();
        while (g_HtmlOffNotices.GetSize() > 0)
            g_HtmlOffNotices[0]->DestroyWindow();
        while (g_NoInetNotices.GetSize() > 0)
            g_NoInetNotices[0]->DestroyWindow();
        while (g_UnsupportedNotices.GetSize() > 0)
            g_UnsupportedNotices[0]->DestroyWindow();
        PumpPending();
    }

    // A press on a button of a modeless notice, as by the user: the button
    // gets the focus first.
    static void Press(HWND hDlg, int nId)
    {
        ::SetForegroundWindow(hDlg);
        const HWND hButton = ::GetDlgItem(hDlg, nId);
        ::SetFocus(hButton);
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
        PumpPending();
    }
    static void Toggle(HWND hDlg, int nId)
    {
        const LRESULT n = ::SendDlgItemMessageA(hDlg, nId, BM_GETCHECK, 0, 0);
        ::SendDlgItemMessageA(hDlg, nId, BM_SETCHECK, n == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    }

    RegistrySandbox m_registry{HKEY_CURRENT_USER};
    CNumberedLanguage m_language;
    PFN_GETTICKCOUNT m_pfnTick = nullptr;
    CExportedFuncs* m_pFuncs = nullptr;
    CExportedFuncs* m_pPreviousFuncs = nullptr;
};

TEST_F(Notices, UnsupportedAppIsRaisedOnlyAfterTwoSeconds)
{
    ASSERT_TRUE(m_registry.IsActive());
    ShowWarnUnsupportedApp("icq.exe", "ICQ", NULL);
    ASSERT_EQ(1, g_UnsupportedNotices.GetSize());
    const HWND hFirst = g_UnsupportedNotices[0]->m_hWnd;
    ASSERT_TRUE(::IsWindow(hFirst));
    EXPECT_EQ("L209", Text(hFirst));
    EXPECT_EQ("ICQ cannot take smilies", ItemText(hFirst, IDC_UNSUPPORTED_TEXT));

    const struct {
        const char* name;
        DWORD nAfter;       // ms after the first notice was made
        const char* exe;
        int nOpen, nFlashes;
    } steps[] = {
        {"same program at once", 500, "icq.exe", 1, 0},
        {"same program, other case, within 2000 ms", 2000, "ICQ.EXE", 1, 0},
        {"same program later", 2001, "icq.exe", 1, 1},
        {"another program", 2100, "aim.exe", 2, 1},
        {"the first program again, no longer the newest", 2200, "icq.exe", 3, 1},
    };
    const DWORD nStart = g_nNow;
    for (const auto& step : steps) {
        g_nNow = nStart + step.nAfter;
        ShowWarnUnsupportedApp(step.exe, "X", NULL);
        EXPECT_EQ(step.nOpen, g_UnsupportedNotices.GetSize()) << step.name;
        EXPECT_EQ(step.nFlashes, g_nFlashes) << step.name;
    }
    // OK closes a notice, and it leaves its list.
    Press(hFirst, IDOK);
    EXPECT_FALSE(::IsWindow(hFirst));
    EXPECT_EQ(2, g_UnsupportedNotices.GetSize());
}

TEST_F(Notices, HtmlOffNoticeTextsAndKeys)
{
    ShowWarnAppHtmlIsOff("Windows Mail", "\"Format\"", 1, NULL);
    ShowWarnAppHtmlIsOff("WINDOWS MAIL", "other", 0, NULL);
    ASSERT_EQ(1, g_HtmlOffNotices.GetSize());
    ShowWarnAppHtmlIsOff("Foxmail", "menu", 0, NULL);
    ASSERT_EQ(2, g_HtmlOffNotices.GetSize());
    EXPECT_EQ("L559", Text(g_HtmlOffNotices[0]->m_hWnd));
    EXPECT_EQ("Windows Mail writes plain text: \"Format\"\r\n\r\nWindows Mail second",
              ItemText(g_HtmlOffNotices[0]->m_hWnd, IDC_HTMLOFF_TEXT));
    EXPECT_EQ("Foxmail writes plain text: menu", ItemText(g_HtmlOffNotices[1]->m_hWnd, IDC_HTMLOFF_TEXT));
}

TEST_F(Notices, SingleNoticesRaiseTheOpenOne)
{
    ShowTurnOnEudoraSupport(NULL);
    ShowTurnOnEudoraSupport(NULL);
    ShowWarnNoInetForMail(NULL);
    ShowWarnNoInetForMail(NULL);
    EXPECT_EQ(1, g_EudoraNotices.GetSize());
    EXPECT_EQ(1, g_NoInetNotices.GetSize());
    EXPECT_EQ(2, g_nFlashes);
    const HWND hEudora = g_EudoraNotices[0]->m_hWnd;
    EXPECT_EQ("L211", Text(hEudora));
    EXPECT_EQ("L212", ItemText(hEudora, IDC_EUDORA_CHECK));
    EXPECT_EQ("L213", ItemText(hEudora, IDC_EUDORA_TEXT1));
    EXPECT_TRUE(::GetDlgItem(hEudora, IDC_NOTICE_PICTURE) != NULL) << "the notice picture";
}

TEST_F(Notices, SettingsOnClosing)
{
    const struct {
        const char* name;
        bool bEudora;
        int nToggle;        // 0: none
        int nClose;         // IDOK or IDCANCEL
        bool bSaved;
        int nWarnNoInet, nLocal, nEudoraOnly, nAnimation;
    } rows[] = {
        {"no connection, nothing changed", false, 0, IDOK, false, 1, 0, 0, 1},
        {"no connection, don't show again", false, IDC_NOINET_DONTSHOW, IDOK, true, 0, 0, 0, 1},
        {"no connection, local pictures", false, IDC_NOINET_LOCAL, IDOK, true, 1, 1, 0, 1},
        {"no connection, cancelled by Escape", false, IDC_NOINET_LOCAL, IDCANCEL, false, 1, 0, 0, 1},
        {"Eudora support on", true, IDC_EUDORA_CHECK, IDOK, true, 1, 0, 1, 0},
        {"Eudora support unchanged", true, 0, IDOK, false, 1, 0, 0, 1},
        {"Eudora support cancelled", true, IDC_EUDORA_CHECK, IDCANCEL, false, 1, 0, 0, 1},
    };
    for (const auto& row : rows) {
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        g_Settings.WarnNoInternetConnection = 1;
        g_Settings.InsertLocalSmilies = 0;
        g_Settings.EudoraOnly = 0;
        g_Settings.SmilieAnimation = 1;
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex");
        if (row.bEudora)
            ShowTurnOnEudoraSupport(NULL);
        else
            ShowWarnNoInetForMail(NULL);
        const HWND hDlg = row.bEudora ? g_EudoraNotices[0]->m_hWnd : g_NoInetNotices[0]->m_hWnd;
        if (row.nToggle != 0)
            Toggle(hDlg, row.nToggle);
        Press(hDlg, row.nClose);
        EXPECT_FALSE(::IsWindow(hDlg)) << row.name;
        EXPECT_EQ(row.bSaved, SettingsSaved()) << row.name;
        EXPECT_EQ(row.nWarnNoInet, g_Settings.WarnNoInternetConnection) << row.name;
        EXPECT_EQ(row.nLocal, g_Settings.InsertLocalSmilies) << row.name;
        EXPECT_EQ(row.nEudoraOnly, g_Settings.EudoraOnly) << row.name;
        EXPECT_EQ(row.nAnimation, g_Settings.SmilieAnimation) << row.name;
        CloseAll();
    }
}

// --- modal notices ------------------------------------------------------------------

// Works each modal dialog that comes up with the test's function; its answer
// ends the dialog (-1: the dialog ends itself).
class CNoticeAnswerer : public CModalAnswerer
{
public:
    explicit CNoticeAnswerer(std::function<INT_PTR(CDialog*)> work) : m_work(work)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CNoticeAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override { return m_work(pDialog); }

private:
    std::function<INT_PTR(CDialog*)> m_work;
    CModalAnswerer* m_pPrevious;
};

// One layout for every notice: the notice picture at the left margin, a
// frame right of it, the buttons of a Windows dialog at the bottom right.
struct NOTICELOOK
{
    bool bShown = false;
    RECT rcNotice = {}, rcFrame = {}, rcClient = {};
    int mx = 0;
    std::vector<std::string> rowProblems;
};

NOTICELOOK LookAt(HWND hDlg)
{
    NOTICELOOK look;
    look.bShown = hDlg != NULL;
    if (hDlg == NULL)
        return look;
    look.rcNotice = ChildRect(hDlg, IDC_NOTICE_PICTURE);
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(C3DGroupBox)) && ::IsRectEmpty(&look.rcFrame)) {
            ::GetWindowRect(h, &look.rcFrame);
            ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&look.rcFrame), 2);
        }
    }
    ::GetClientRect(hDlg, &look.rcClient);
    RECT rc = {0, 0, 7, 7};
    ::MapDialogRect(hDlg, &rc);
    look.mx = rc.right;
    look.rowProblems = ButtonRowProblems(hDlg, BUTTONROW_RIGHT);
    return look;
}

template <class T> HWND Newest(CSequence<T*>& list)
{
    return list.GetSize() > 0 ? list[list.GetSize() - 1]->m_hWnd : NULL;
}

TEST_F(Notices, EveryNoticeHasOneLayout)
{
    std::vector<std::pair<std::string, NOTICELOOK>> looks;
    ShowTurnOnEudoraSupport(NULL);
    looks.push_back({"Eudora", LookAt(Newest(g_EudoraNotices))});
    ShowWarnAppHtmlIsOff("Mailer", "switch HTML on", 1, NULL);
    looks.push_back({"plain text", LookAt(Newest(g_HtmlOffNotices))});
    ShowWarnUnsupportedApp("old.exe", "Old", NULL);
    looks.push_back({"unsupported", LookAt(Newest(g_UnsupportedNotices))});
    ShowWarnNoInetForMail(NULL);
    looks.push_back({"no connection", LookAt(Newest(g_NoInetNotices))});
    CloseAll();
    for (int nVersion : {6, 7}) {
        NOTICELOOK look;
        CNoticeAnswerer answerer([&](CDialog* pDialog) -> INT_PTR {
            look = LookAt(pDialog->m_hWnd);
            return IDCANCEL;
        });
        if (nVersion == 6) {
            CDlgWarnInsertingInMSN6 dlg(NULL);
            dlg.DoModal();
        } else {
            CDlgWarnInsertingInMSN7 dlg(NULL);
            dlg.DoModal();
        }
        looks.push_back({"messenger " + std::to_string(nVersion), look});
    }
    for (const auto& named : looks) {
        const std::string& name = named.first;
        const NOTICELOOK& look = named.second;
        ASSERT_TRUE(look.bShown) << name;
        EXPECT_EQ(look.mx, look.rcNotice.left) << name << ": the picture at the left margin";
        EXPECT_FALSE(::IsRectEmpty(&look.rcFrame)) << name << ": a frame";
        EXPECT_GT(look.rcFrame.left, look.rcNotice.right) << name << ": the frame right of the picture";
        EXPECT_LE(std::abs(look.rcClient.right - look.mx - look.rcFrame.right), 1) << name << ": the frame "
                                                                                      "ends at the margin";
        for (const std::string& strProblem : look.rowProblems)
            ADD_FAILURE() << name << ": " << strProblem;
    }
}

TEST_F(Notices, MessengerRemindersResultsAndBox)
{
    const struct {
        const char* name;
        int nVersion;
        bool bCheck;        // tick "don't show again"
        int nButton;        // pressed; 0: the answer ends it
        INT_PTR nAnswer;
        INT_PTR nResult;
        bool bHint;
    } rows[] = {
        {"6: OK", 6, false, 0, IDOK, IDOK, false},
        {"6: Cancel keeps the box", 6, true, 0, IDCANCEL, IDCANCEL, false},
        {"6: messenger smilies page", 6, false, IDC_MSN_GETSMILIES, -1, IDC_MSN_GETSMILIES, false},
        {"6: classic collection after the hint", 6, true, IDC_MSN_OPENCLASSIC, -1, IDC_MSN_OPENCLASSIC, true},
        {"7: insert anyway", 7, false, IDC_MSN_INSERTANYWAY, -1, IDOK, false},
        {"7: Cancel keeps the box", 7, true, 0, IDCANCEL, IDCANCEL, false},
        {"7: classic collection after the hint", 7, false, IDC_MSN_OPENCLASSIC, -1, IDC_MSN_OPENCLASSIC, true},
    };
    for (const auto& row : rows) {
        g_Settings.ShowInsertingInMSN6Reminder = 1;
        g_Settings.ShowInsertingInMSN7Reminder = 1;
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex");
        int nHints = 0;
        std::string strCaption;
        COLORREF clrMain = 0, clrClassic = 1;
        CNoticeAnswerer answerer([&](CDialog* pDialog) -> INT_PTR {
            if (dynamic_cast<CDlgHowToQuickOpenDefCol*>(pDialog) != NULL) {
                nHints++;
                return IDOK;
            }
            const HWND hDlg = pDialog->m_hWnd;
            strCaption = Text(hDlg);
            const int nMain = row.nVersion == 6 ? IDC_MSN_GETSMILIES : IDC_MSN_INSERTANYWAY;
            clrMain = COLORREF(::SendDlgItemMessageA(hDlg, nMain, WM_GETBODYSTYLE, 0, 0));
            clrClassic = COLORREF(::SendDlgItemMessageA(hDlg, IDC_MSN_OPENCLASSIC, WM_GETBODYSTYLE, 0, 0));
            if (row.bCheck)
                ::SendDlgItemMessageA(hDlg, IDC_MSN_DONTSHOW, BM_SETCHECK, BST_CHECKED, 0);
            if (row.nButton != 0)
                ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(row.nButton, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, row.nButton)));
            return row.nAnswer;
        });
        INT_PTR nResult;
        if (row.nVersion == 6) {
            CDlgWarnInsertingInMSN6 dlg(NULL);
            nResult = dlg.DoModal();
        } else {
            CDlgWarnInsertingInMSN7 dlg(NULL);
            nResult = dlg.DoModal();
        }
        EXPECT_EQ(row.nResult, nResult) << row.name;
        EXPECT_EQ(row.bHint ? 1 : 0, nHints) << row.name;
        EXPECT_EQ(row.nVersion == 6 ? "L565" : "Tarvenex", strCaption) << row.name;
        EXPECT_TRUE(clrMain == 0x7FFF || clrMain == 0xC800) << row.name << ": " << clrMain;
        EXPECT_EQ(clrMain, clrClassic) << row.name;
        const int nSetting =
            row.nVersion == 6 ? g_Settings.ShowInsertingInMSN6Reminder : g_Settings.ShowInsertingInMSN7Reminder;
        EXPECT_EQ(row.bCheck ? 0 : 1, nSetting) << row.name;
        EXPECT_TRUE(SettingsSaved()) << row.name << ": the box is stored however the reminder closes";
    }
}

TEST(MessengerReminders, ButtonColourFollowsTheSkinsButton)
{
    const struct {
        COLORREF clr;
        COLORREF expected;
    } rows[] = {
        {RGB(0, 200, 0), 0x7FFF},    {RGB(100, 181, 50), 0x7FFF}, {RGB(100, 180, 50), 0xC800},
        {RGB(0, 100, 200), 0xC800},  {RGB(0, 150, 150), 0x7FFF},  {RGB(255, 255, 255), 0xC800},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, CDlgWarnInsertingInMSN::ChooseButtonColor(row.clr)) << std::hex << row.clr;
}

// --- the hiding notice --------------------------------------------------------------

struct CAPTURE
{
    bool bSucceeds;
    bool bPattern;
    int cx, cy;
};
CAPTURE g_capture;

BOOL FakeTrayCapture(RECT* prc, CBitmap* pBitmap, BYTE** ppMask)
{
    *ppMask = NULL;
    if (!g_capture.bSucceeds)
        return FALSE;
    ::SetRect(prc, 500, 700, 500 + g_capture.cx, 700 + g_capture.cy);
    HDC hScreen = ::GetDC(NULL);
    pBitmap->Attach(::CreateCompatibleBitmap(hScreen, g_capture.cx, g_capture.cy));
    ::ReleaseDC(NULL, hScreen);
    BYTE* pMask = new BYTE[size_t(g_capture.cx) * g_capture.cy]();
    if (g_capture.bPattern) {
        for (int y = 0; y < TRAYICONPATTERN::cy; y++)
            for (int x = 0; x < TRAYICONPATTERN::cx; x++)
                pMask[size_t(y + 3) * g_capture.cx + x + 20] = g_TrayIconPattern.bits[y][x];
    }
    *ppMask = pMask;
    return TRUE;
}

struct HIDINGLAYOUT
{
    RECT rcPicture, rcText, rcCheck, rcGroup, rcOK, rcNotice, rcClient;
    RECT rcUnits;  // in pixels: margins of 7 dialog units (left, top), a gap of 6 (bottom)
    std::vector<std::string> rowProblems;
};

HIDINGLAYOUT RunHidingNotice(const CAPTURE& capture, int* pnCheckAfter)
{
    g_capture = capture;
    CDlgWarnHidingToTray::s_pfnGetTrayNotifyRect = FakeTrayCapture;
    HIDINGLAYOUT seen = {};
    {
        CNoticeAnswerer answerer([&](CDialog* pDialog) -> INT_PTR {
            const HWND hDlg = pDialog->m_hWnd;
            seen.rcPicture = ChildRect(hDlg, IDC_HIDING_PICTURE);
            seen.rcText = ChildRect(hDlg, IDC_HIDING_TEXT);
            seen.rcCheck = ChildRect(hDlg, IDC_HIDING_CHECK);
            seen.rcGroup = ChildRect(hDlg, IDC_HIDING_GROUP);
            seen.rcOK = ChildRect(hDlg, IDOK);
            seen.rcNotice = ChildRect(hDlg, IDC_NOTICE_PICTURE);
            ::GetClientRect(hDlg, &seen.rcClient);
            seen.rcUnits = {7, 7, 6, 6};
            ::MapDialogRect(hDlg, &seen.rcUnits);
            seen.rowProblems = ButtonRowProblems(hDlg, BUTTONROW_RIGHT);
            ::SendDlgItemMessageA(hDlg, IDC_HIDING_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
            ::SetFocus(::GetDlgItem(hDlg, IDOK));
            ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return -1;
        });
        CDlgWarnHidingToTray dlg(NULL);
        EXPECT_EQ(IDOK, dlg.DoModal());
    }
    CDlgWarnHidingToTray::s_pfnGetTrayNotifyRect = GetTrayNotifyRect;
    *pnCheckAfter = g_Settings.WarnMinimizingToTray;
    return seen;
}

void ExpectLaidOut(const HIDINGLAYOUT& s, const char* name)
{
    RECT rcInner;
    ::UnionRect(&rcInner, &s.rcPicture, &s.rcText);
    ::UnionRect(&rcInner, &rcInner, &s.rcCheck);
    ::InflateRect(&rcInner, 8, 8);
    EXPECT_TRUE(::EqualRect(&rcInner, &s.rcGroup)) << name << ": the group holds picture, text and box";
    // The layout of every notice: the picture at the margin beside the
    // group's top, OK under the group at its right, 7 dialog units around.
    const int mx = s.rcUnits.left, my = s.rcUnits.top, nBelow = s.rcUnits.bottom;
    EXPECT_EQ(s.rcGroup.right, s.rcOK.right) << name;
    EXPECT_EQ(s.rcGroup.bottom + nBelow, s.rcOK.top) << name;
    EXPECT_EQ(mx, s.rcNotice.left) << name;
    EXPECT_EQ(s.rcNotice.right + mx, s.rcGroup.left) << name;
    EXPECT_EQ(my, s.rcGroup.top) << name;
    EXPECT_EQ(s.rcGroup.top + nBelow, s.rcNotice.top) << name;
    EXPECT_EQ(s.rcGroup.right + mx, s.rcClient.right) << name;
    EXPECT_EQ(s.rcOK.bottom + my, s.rcClient.bottom) << name;
    for (const std::string& strProblem : s.rowProblems)
        ADD_FAILURE() << name << ": " << strProblem;
}

TEST_F(Notices, HidingNoticeLaysOutAroundItsPicture)
{
    int nCheck = -1;
    g_Settings.WarnMinimizingToTray = 1;
    const HIDINGLAYOUT failed = RunHidingNotice({false, false, 0, 0}, &nCheck);
    ExpectLaidOut(failed, "capture failing");
    EXPECT_EQ(0, nCheck) << "OK stores the changed box";
    EXPECT_TRUE(SettingsSaved());

    const HIDINGLAYOUT noPattern = RunHidingNotice({true, false, 150, 40}, &nCheck);
    EXPECT_TRUE(::EqualRect(&failed.rcPicture, &noPattern.rcPicture)) << "no icon in the area: template picture";

    const HIDINGLAYOUT found = RunHidingNotice({true, true, 150, 40}, &nCheck);
    ExpectLaidOut(found, "area with the icon");
    EXPECT_EQ(150, found.rcPicture.right - found.rcPicture.left);
    EXPECT_EQ(40, found.rcPicture.bottom - found.rcPicture.top);
    const int dy = 40 - (failed.rcPicture.bottom - failed.rcPicture.top);
    EXPECT_EQ(failed.rcText.top + dy, found.rcText.top);
    EXPECT_EQ(failed.rcCheck.top + dy, found.rcCheck.top);
}

}  // namespace
