// The tray window in the test process, with the shell's icon function
// recorded, the focus-hook library taken from dist/ and the settings in a
// registry sandbox: the icon and its balloon, the icon's clicks and menu
// commands, hand-overs, focus reports, and the shutdown steps, also under a
// modal dialog. The icon pictures must show the eyes the hiding flight looks for.
#include "app/TrayAnimationThread.h"
#include "app/TvnxApp.h"
#include "app/TvnxTrayWnd.h"

#include "delivery/FocusHookLib.h"
#include "fields/ForeignFocus.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/ProgramWindows.h"
#include "services/Registered.h"
#include "services/Settings.h"
#include "services/TrayIconPattern.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/GdiCount.h"
#include "tests/tools/Pump.h"
#include "dialogs/DlgGlobalProp.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct NOTIFYCALL
{
    DWORD dwMessage;
    UINT uFlags;
    std::string strInfo;
};
std::vector<NOTIFYCALL> g_calls;

BOOL WINAPI RecordNotifyIcon(DWORD dwMessage, PNOTIFYICONDATAA pData)
{
    g_calls.push_back({dwMessage, pData->uFlags, (pData->uFlags & NIF_INFO) ? pData->szInfo : ""});
    return TRUE;
}

BOOL WINAPI RefuseNotifyIcon(DWORD, PNOTIFYICONDATAA)
{
    return FALSE;
}

DWORD WINAPI DistProgramPath(HMODULE, LPSTR pszPath, DWORD nSize)
{
    const std::string str = std::string(TVNX_BINARY_DIR) + "\\dist\\tarvenex.exe";
    lstrcpynA(pszPath, str.c_str(), int(nSize));
    return DWORD(str.size());
}

DWORD WINAPI NowhereProgramPath(HMODULE, LPSTR pszPath, DWORD nSize)
{
    lstrcpynA(pszPath, "C:\\nowhere\\tarvenex.exe", int(nSize));
    return DWORD(lstrlenA(pszPath));
}

// A stand-in main window: a plain hidden window, recorded.
std::vector<std::string> g_mainCalls;
CWnd* CreateStandIn(CTvnxTrayWnd*)
{
    CWnd* p = new CWnd();
    p->CreateEx(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
    g_mainCalls.push_back("create");
    return p;
}
void DestroyStandIn(CWnd* p)
{
    g_mainCalls.push_back("destroy");
    p->DestroyWindow();
    delete p;
}
void OpenStandIn(CWnd*, LPCTSTR psz)
{
    g_mainCalls.push_back(std::string("open ") + psz);
}
void ImportStandIn(CWnd*, LPCTSTR psz)
{
    g_mainCalls.push_back(std::string("import ") + psz);
}

class BoxAnswerer : public CModalAnswerer
{
public:
    explicit BoxAnswerer(int nAnswer) : m_nAnswer(nAnswer) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~BoxAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        nAsked++;
        return pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox)) ? m_nAnswer : IDCANCEL;
    }
    BOOL OnMessageBox(HWND, LPCSTR pszText, LPCSTR, UINT, int* pnResult) override
    {
        strPlainBox = pszText;
        *pnResult = IDOK;
        return TRUE;
    }
    int nAsked = 0;
    std::string strPlainBox;

private:
    int m_nAnswer;
    CModalAnswerer* m_pPrevious;
};

class TrayWndTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL);
        CreateExportedFuncs();
    }
    static void TearDownTestSuite() { FreeLanguages(); }
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        SetDefaultSettings();
        g_Settings.ShowFirstTimeSetup = 0;
        g_Settings.ShowTipsOfTheDay = -1;
        g_Settings.MainWndOpenAtStartup = 0;
        g_Settings.FadeDialogs = 0;
        g_calls.clear();
        g_mainCalls.clear();
        CTvnxTrayWnd::s_pfnShellNotifyIcon = RecordNotifyIcon;
        CTvnxTrayWnd::s_bStartupBalloonShown = FALSE;
        CTvnxTrayWnd::s_MainWndHooks = TRAYMAINWNDHOOKS();
        CTvnxTrayWnd::s_MainWndHooks.pfnCreate = CreateStandIn;
        CTvnxTrayWnd::s_MainWndHooks.pfnDestroy = DestroyStandIn;
        CTvnxTrayWnd::s_MainWndHooks.pfnOpenCollection = OpenStandIn;
        CTvnxTrayWnd::s_MainWndHooks.pfnImportUpdate = ImportStandIn;
        g_pfnFocusHookProgramPath = DistProgramPath;
    }
    void TearDown() override
    {
        if (m_tray.m_hWnd != NULL)
            m_tray.DestroyWindow();
        CTvnxTrayWnd::s_pfnShellNotifyIcon = Shell_NotifyIconA;
        CTvnxTrayWnd::s_MainWndHooks = TRAYMAINWNDHOOKS();
        g_pfnFocusHookProgramPath = GetModuleFileNameA;
        SetDefaultSettings();
    }

    bool SettingsSaved()
    {
        HKEY hKey = NULL;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    }

    RegistrySandbox m_sandbox{HKEY_CURRENT_USER};
    CTvnxTrayWnd m_tray;
};

std::string Messages()
{
    std::string s;
    for (const auto& c : g_calls) {
        s += c.dwMessage == NIM_ADD ? "add" : c.dwMessage == NIM_MODIFY ? "modify" : "delete";
        if (c.uFlags & NIF_INFO)
            s += "+balloon";
        s += " ";
    }
    return s;
}

TEST_F(TrayWndTest, IconIsAddedWithOneBalloonPerRunAndAddedAgainForANewTaskbar)
{
    ASSERT_TRUE(m_tray.Create());
    EXPECT_TRUE(m_tray.IsCreated());
    EXPECT_EQ(m_tray.m_hWnd, GetTrayWindow());
    EXPECT_TRUE(m_tray.GetFocusHook().hModule != NULL);
    EXPECT_FALSE(IsWindowVisible(m_tray.m_hWnd));
    ASSERT_EQ("add+balloon ", Messages());
    EXPECT_EQ(GetLangString(197), g_calls[0].strInfo);

    m_tray.SendMessage(GetTaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ("add+balloon delete add ", Messages()) << "no second balloon";
    EXPECT_TRUE(m_tray.IsIconPresent());

    // A second tray window in the same run shows none either.
    m_tray.DestroyWindow();
    g_calls.clear();
    CTvnxTrayWnd second;
    ASSERT_TRUE(second.Create());
    EXPECT_EQ("add ", Messages());
    second.DestroyWindow();
}

TEST_F(TrayWndTest, CreationFailsWithoutIconOrHook)
{
    {
        CTvnxTrayWnd::s_pfnShellNotifyIcon = RefuseNotifyIcon;
        BoxAnswerer answer(IDOK);
        CTvnxTrayWnd tray;
        EXPECT_FALSE(tray.Create());
        EXPECT_TRUE(tray.m_hWnd == NULL);
        EXPECT_EQ(GetLangString(435), answer.strPlainBox);
    }
    CTvnxTrayWnd::s_pfnShellNotifyIcon = RecordNotifyIcon;
    g_pfnFocusHookProgramPath = NowhereProgramPath;
    CTvnxTrayWnd tray;
    EXPECT_FALSE(tray.Create());
    EXPECT_EQ("add+balloon delete ", Messages()) << "the icon is taken away again";
}

TEST_F(TrayWndTest, ClickSettingDecidesWhichClickToggles)
{
    ASSERT_TRUE(m_tray.Create());
    const struct
    {
        int bSingle;
        UINT nMouse;
        bool bToggles;
    } rows[] = {
        {1, WM_LBUTTONDOWN, true},  {1, WM_LBUTTONDBLCLK, false}, {0, WM_LBUTTONDOWN, false},
        {0, WM_LBUTTONDBLCLK, true}, {1, WM_MOUSEMOVE, false},
    };
    g_Settings.WarnMinimizingToTray = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.bSingle << " " << row.nMouse);
        g_Settings.TrayIconSingleClick = row.bSingle;
        const bool bOpen = m_tray.GetMainWnd() != NULL;
        m_tray.SendMessage(WM_TRAYNOTIFY, 1, row.nMouse);
        EXPECT_EQ(row.bToggles ? !bOpen : bOpen, m_tray.GetMainWnd() != NULL);
        m_tray.SendMessage(WM_TRAYNOTIFY, 2, row.nMouse);
        EXPECT_EQ(row.bToggles ? !bOpen : bOpen, m_tray.GetMainWnd() != NULL) << "another icon's id";
    }
}

TEST_F(TrayWndTest, ExitAsksWhenWarnExitIsSet)
{
    ASSERT_TRUE(m_tray.Create());
    g_Settings.WarnExit = 1;
    {
        BoxAnswerer answer(IDNO);
        m_tray.OnTrayCommand(1);
        EXPECT_EQ(1, answer.nAsked);
    }
    EXPECT_TRUE(IsWindow(m_tray.m_hWnd)) << "No keeps the program running";
    BoxAnswerer answer(IDYES);
    m_tray.OnTrayCommand(1);
    EXPECT_TRUE(m_tray.m_hWnd == NULL);
}

// The tray menu, opened and closed many times, leaves none of its icons.
TEST_F(TrayWndTest, TheMenuLeavesNoGdiObjectsBehind)
{
    class CCloseMenus : public CModalAnswerer
    {
    public:
        CCloseMenus() { m_pPrevious = AfxSetModalAnswerer(this); }
        ~CCloseMenus() override { AfxSetModalAnswerer(m_pPrevious); }
        BOOL OnPopupMenu(CMenu*, UINT, int, int, CWnd*, UINT* pnCommand) override
        {
            nMenus++;
            *pnCommand = 0;
            return TRUE;
        }
        int nMenus = 0;

    private:
        CModalAnswerer* m_pPrevious;
    };
    ASSERT_TRUE(m_tray.Create());
    CCloseMenus menus;
    // What stays for the program's life is made at the first opening.
    m_tray.SendMessage(WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    const int nBefore = CountGdiObjects();
    for (int i = 0; i < 200; i++)
        m_tray.SendMessage(WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    EXPECT_EQ(201, menus.nMenus);
    EXPECT_EQ(nBefore, CountGdiObjects());
}

TEST_F(TrayWndTest, ColourItemsStoreTheColourAndRepaintTheIcon)
{
    ASSERT_TRUE(m_tray.Create());
    g_calls.clear();
    for (int i = 0; i < CTvnxTrayWnd::TRAY_COLOR_COUNT; i++) {
        m_tray.OnTrayCommand(CTvnxTrayWnd::ID_TRAY_FIRSTCOLOR + i);
        EXPECT_EQ(CTvnxTrayWnd::s_TrayColors[i], g_Settings.TrayIconColor);
        HICON h = MakeTrayIcon(FALSE, CTvnxTrayWnd::s_TrayColors[i]);
        EXPECT_TRUE(h != NULL) << i;
        DestroyIcon(h);
    }
    EXPECT_EQ(CTvnxTrayWnd::TRAY_COLOR_COUNT, int(g_calls.size()));
    EXPECT_TRUE(SettingsSaved());
}

// A hand-over is only taken in the WM_COPYDATA that brings it: the sender may
// reach us inside a loop that holds a field, which opening would destroy. The
// file opens later, from the main loop (here called as it would).
TEST_F(TrayWndTest, HandOversOpenCollectionsOrImportUpdatesOnceTheLoopIsFree)
{
    ASSERT_TRUE(m_tray.Create());
    auto send = [&](ULONG_PTR dwData, const std::string& bytes) {
        std::string buffer = bytes;
        COPYDATASTRUCT cds = {dwData, DWORD(buffer.size()), &buffer[0]};
        return m_tray.SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    };
    EXPECT_EQ(0, send(2, "C:\\a\\b.tvnx"));
    EXPECT_EQ(0, send(1, "C:\\a\\"));
    EXPECT_EQ(0, send(1, std::string(261, 'a')));
    EXPECT_TRUE(m_tray.GetPendingHandOver().IsEmpty());

    char szCurrent[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, szCurrent);
    const std::string strHere = std::string(szCurrent) + (szCurrent[lstrlenA(szCurrent) - 1] == '\\' ? "" : "\\");
    const struct
    {
        std::string bytes;
        const char* pszCall;   // what the main window was asked to do
        std::string strPath;   // the path it got
    } rows[] = {
        {"C:\\a\\b.tvnx", "create", ""},
        {"\xFF\xFE" + std::string("C\0:\0\\\0c\0.\0t\0v\0n\0x\0\0\0", 20), "open", "C:\\c.tvnx"},
        {"  C:\\u.TVNU ", "import", "C:\\u.TVNU"},
        {"mine.tvnx", "open", strHere + "mine.tvnx"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        g_mainCalls.clear();
        PumpPending();
        EXPECT_EQ(1, send(1, row.bytes));
        EXPECT_TRUE(g_mainCalls.empty()) << "opened inside the message";
        // Another loop of the thread dispatches the posted message: the file waits.
        PumpPending();
        EXPECT_TRUE(g_mainCalls.empty()) << "opened from a loop other than the main one";
        EXPECT_TRUE(m_tray.OpenPendingHandOver());
        ASSERT_EQ(1u, g_mainCalls.size());
        if (row.strPath.empty())
            EXPECT_EQ(row.pszCall, g_mainCalls[0]);
        else
            EXPECT_EQ(std::string(row.pszCall) + " " + row.strPath, g_mainCalls[0]);
        EXPECT_FALSE(m_tray.OpenPendingHandOver()) << "opened once";
    }
    EXPECT_EQ("C:\\a\\b.tvnx", std::string(g_Settings.SmilieCollection));
}

// The file named at start is opened once the tray window exists: an update
// is imported into the main window (opened first), a collection becomes the
// one the main window opens; the command line is used once.
TEST_F(TrayWndTest, StartupCommandLineIsOpenedOnce)
{
    const struct
    {
        const char* pszLine;
        int bOpenAtStartup;
        const char* pszCalls;
        const char* pszCollection;
    } rows[] = {
        {"", 0, "", "<default>"},
        {"", 1, "create ", "<default>"},
        {"C:\\a\\b.tvnx", 0, "create ", "C:\\a\\b.tvnx"},
        {"C:\\a\\b.tvnx", 1, "create ", "C:\\a\\b.tvnx"},
        {"C:\\u\\new.TVNU", 0, "create import C:\\u\\new.TVNU ", "<default>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszLine);
        g_mainCalls.clear();
        SetCollectionPath(NULL);
        g_Settings.MainWndOpenAtStartup = row.bOpenAtStartup;
        g_CommandLine = row.pszLine;
        CTvnxTrayWnd tray;
        ASSERT_TRUE(tray.Create());
        std::string calls;
        for (const std::string& c : g_mainCalls)
            calls += c + " ";
        EXPECT_EQ(row.pszCalls, calls);
        EXPECT_EQ(row.pszCollection, std::string(g_Settings.SmilieCollection));
        EXPECT_TRUE(g_CommandLine.IsEmpty());
        tray.DestroyWindow();
    }
}

// A second start hands its command line (quotes gone, trimmed) to the tray
// window of the first: nothing opens the main window, a path opens that file.
TEST_F(TrayWndTest, SecondStartHandsOverToTheTrayWindow)
{
    SetCommandLine("  \"C:\\my files\\b.tvnx\"  ");
    EXPECT_EQ(std::string("C:\\my files\\b.tvnx"), std::string(g_CommandLine));
    const CString strPath = g_CommandLine;
    g_CommandLine.Empty();
    EXPECT_FALSE(HandOverToFirstInstance(""));
    ASSERT_TRUE(m_tray.Create());
    EXPECT_TRUE(HandOverToFirstInstance(""));
    ASSERT_EQ(1u, g_mainCalls.size());
    EXPECT_EQ("create", g_mainCalls[0]);
    m_tray.CloseMainWnd();
    EXPECT_TRUE(HandOverToFirstInstance(strPath));
    EXPECT_TRUE(m_tray.OpenPendingHandOver());
    EXPECT_EQ(std::string(strPath), std::string(g_Settings.SmilieCollection));
    EXPECT_EQ("create", g_mainCalls.back());
}

// A path on the command line is made absolute at once, against the folder the
// start was made in: a file dialog or anything else that changes the current
// folder later cannot make it name another file.
TEST_F(TrayWndTest, CommandLinePathIsMadeAbsoluteAtOnce)
{
    char szCurrent[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, szCurrent);
    std::string strHere = szCurrent;
    if (strHere.back() != '\\')
        strHere += '\\';
    const struct
    {
        const char* pszLine;
        std::string strExpected;
    } rows[] = {
        {"", ""},
        {"  \"C:\\my files\\b.tvnx\"  ", "C:\\my files\\b.tvnx"},
        {"mine.tvnx", strHere + "mine.tvnx"},
        {"\"sub dir\\mine.tvnx\"", strHere + "sub dir\\mine.tvnx"},
    };
    for (const auto& row : rows) {
        SetCommandLine(row.pszLine);
        EXPECT_EQ(row.strExpected, std::string(g_CommandLine)) << row.pszLine;
    }
    g_CommandLine.Empty();
}

// The system ends the process once WM_ENDSESSION returns: a session that ends
// takes Exit's road (the main window goes, which saves the open collection,
// then the settings, the icon and the hook); one that goes on keeps running.
TEST_F(TrayWndTest, EndOfTheSessionTakesExitsRoad)
{
    for (bool bEnding : {false, true}) {
        SCOPED_TRACE(bEnding ? "the session ends" : "the session goes on");
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex");
        CTvnxTrayWnd tray;
        ASSERT_TRUE(tray.Create());
        tray.ShowMainWnd();
        ASSERT_TRUE(tray.GetMainWnd() != NULL);
        g_mainCalls.clear();
        tray.SendMessage(WM_ENDSESSION, bEnding, 0);
        EXPECT_TRUE(SettingsSaved());
        if (bEnding) {
            ASSERT_EQ(1u, g_mainCalls.size());
            EXPECT_EQ("destroy", g_mainCalls[0]) << "the main window saves the collection as it goes";
            EXPECT_TRUE(tray.m_hWnd == NULL);
            EXPECT_TRUE(tray.GetFocusHook().hModule == NULL);
        } else {
            EXPECT_TRUE(g_mainCalls.empty());
            EXPECT_TRUE(IsWindow(tray.m_hWnd));
            tray.DestroyWindow();
        }
    }
    PumpPending();
}

// While the options sheet runs, a hand-over opens nothing: the sheet is
// brought forward instead.
TEST_F(TrayWndTest, HandOverUnderTheOptionsSheetOpensNothing)
{
    ASSERT_TRUE(m_tray.Create());
    struct UnderSheet : CModalAnswerer
    {
        CTvnxTrayWnd* pTray;
        LRESULT nResult = -1;
        INT_PTR OnDialog(CDialog*) override
        {
            std::string buffer = "C:\\a\\b.tvnx";
            COPYDATASTRUCT cds = {1, DWORD(buffer.size()), &buffer[0]};
            nResult = pTray->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
            return IDCANCEL;
        }
    } answer;
    answer.pTray = &m_tray;
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&answer);
    m_tray.OnTrayCommand(6);
    AfxSetModalAnswerer(pPrevious);
    EXPECT_EQ(0, answer.nResult);
    EXPECT_TRUE(g_mainCalls.empty());
    EXPECT_EQ("<default>", std::string(g_Settings.SmilieCollection));
}

// The connection probe (cookie 0) that failed shows the no-connection notice.
TEST_F(TrayWndTest, FailedProbeShowsTheNoConnectionNotice)
{
    ASSERT_TRUE(m_tray.Create());
    const struct
    {
        WPARAM nCookie;
        LPARAM nState;
        int nNotices;
    } rows[] = {{0, 3, 1}, {0, 4, 1}, {0, 2, 0}, {0, 5, 0}, {0, 6, 0}, {0, 7, 0}, {1, 3, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.nCookie << " " << row.nState);
        const int nBefore = GetLiveDialogCount();
        m_tray.SendMessage(WM_DOWNLOADDONE, row.nCookie, row.nState);
        PumpPending();
        EXPECT_EQ(row.nNotices, GetLiveDialogCount() - nBefore);
        DestroyModelessDialogs();
        PumpPending();
    }
}

// The window of another program that has a focus to give: Wine's notepad.
struct OtherProgram
{
    OtherProgram()
    {
        char szExe[MAX_PATH];
        GetSystemDirectoryA(szExe, sizeof(szExe));
        lstrcatA(szExe, "\\notepad.exe");
        STARTUPINFOA si = {sizeof(si)};
        if (!CreateProcessA(szExe, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
            return;
        PumpUntil([&] {
            EnumThreadWindows(pi.dwThreadId, First, reinterpret_cast<LPARAM>(&hWnd));
            return hWnd != NULL;
        }, 20000);
    }
    ~OtherProgram()
    {
        if (pi.hProcess == NULL)
            return;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    static BOOL CALLBACK First(HWND h, LPARAM l)
    {
        char sz[16];
        if (GetClassNameA(h, sz, sizeof(sz)) <= 0 || lstrcmpiA(sz, "Notepad") != 0)
            return TRUE;
        *reinterpret_cast<HWND*>(l) = h;
        return FALSE;
    }
    PROCESS_INFORMATION pi = {};
    HWND hWnd = NULL;
};

TEST_F(TrayWndTest, FocusReportsKeepOnlyOtherProgramsWindows)
{
    ASSERT_TRUE(m_tray.Create());
    OtherProgram other;
    ASSERT_TRUE(other.hWnd != NULL) << "notepad did not start";
    HWND hOwn = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    const UINT nMsg = GetFocusHookMessage();
    // In order: each report either replaces the target or leaves the last one.
    const struct
    {
        const char* pszWhat;
        HWND hReported;
        HWND hTarget;
    } rows[] = {
        {"a window of the program itself", hOwn, NULL},
        {"another program's window", other.hWnd, other.hWnd},
        {"the program's own again", hOwn, other.hWnd},
        // Wine gives the desktop the focus when a program loses it to nobody;
        // kept, it would take every later smilie.
        {"the desktop window", GetDesktopWindow(), other.hWnd},
    };
    SetForeignTarget(NULL);
    for (const auto& row : rows) {
        m_tray.SendMessage(nMsg, reinterpret_cast<WPARAM>(row.hReported), 0);
        EXPECT_EQ(row.hTarget, GetForeignTarget()) << row.pszWhat;
    }
    // A point left of or above the screen is no window of a browser.
    m_tray.SendMessage(nMsg, 0, MAKELPARAM(-20, -20));
    POINT pt;
    EXPECT_TRUE(GetForeignBrowser(&pt) == NULL);
    DestroyWindow(hOwn);
    SetForeignTarget(NULL);
}

TEST_F(TrayWndTest, DestructionCleansUpAlsoUnderAModalDialog)
{
    for (bool bModal : {false, true}) {
        SCOPED_TRACE(bModal ? "under a modal dialog" : "plain");
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Mordale\\Tarvenex");
        CTvnxTrayWnd::s_bStartupBalloonShown = FALSE;
        CTvnxTrayWnd tray;
        ASSERT_TRUE(tray.Create());
        tray.SendMessage(WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
        ASSERT_TRUE(tray.GetMainWnd() != NULL);
        g_calls.clear();
        g_mainCalls.clear();
        if (bModal) {
            struct DestroyUnder : CModalAnswerer
            {
                CTvnxTrayWnd* pTray;
                CModalAnswerer* pPrevious;
                INT_PTR OnDialog(CDialog*) override
                {
                    pTray->DestroyWindow();
                    return IDCANCEL;
                }
            } answer;
            answer.pTray = &tray;
            answer.pPrevious = AfxSetModalAnswerer(&answer);
            MessageBox3D(NULL, "Tarvenex", "modal", MB_OK, FALSE, NULL);
            AfxSetModalAnswerer(answer.pPrevious);
        } else {
            tray.DestroyWindow();
        }
        EXPECT_TRUE(tray.m_hWnd == NULL);
        EXPECT_EQ("modify delete ", Messages()) << "the closed icon, then none";
        ASSERT_EQ(1u, g_mainCalls.size());
        EXPECT_EQ("destroy", g_mainCalls[0]);
        EXPECT_TRUE(tray.GetFocusHook().hModule == NULL) << "the hook is removed";
        EXPECT_TRUE(SettingsSaved());
        EXPECT_TRUE(GetTrayWindow() == NULL);
    }
}

// The flight looks for the icon's two white eyes in the notification area;
// the eyes must show in both pictures and in every colour of the menu.
TEST_F(TrayWndTest, FlightFindsTheEyesOfEveryIcon)
{
    const int cx = 60, cy = 24, x0 = 23, y0 = 4;
    for (BOOL bOpen : {TRUE, FALSE}) {
        for (COLORREF clr : CTvnxTrayWnd::s_TrayColors) {
            SCOPED_TRACE(testing::Message() << (bOpen ? "open " : "closed ") << std::hex << clr);
            HICON hIcon = MakeTrayIcon(bOpen, clr);
            ASSERT_TRUE(hIcon != NULL);
            BITMAPINFO bi = {};
            bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
            bi.bmiHeader.biWidth = cx;
            bi.bmiHeader.biHeight = -cy;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            void* pBits = NULL;
            HDC hDC = CreateCompatibleDC(NULL);
            HBITMAP hBitmap = CreateDIBSection(hDC, &bi, DIB_RGB_COLORS, &pBits, NULL, 0);
            HGDIOBJ hOld = SelectObject(hDC, hBitmap);
            RECT rc = {0, 0, cx, cy};
            HBRUSH hBrush = CreateSolidBrush(RGB(212, 208, 200));
            FillRect(hDC, &rc, hBrush);
            DeleteObject(hBrush);
            DrawIconEx(hDC, x0, y0, hIcon, 16, 16, 0, NULL, DI_NORMAL);
            GdiFlush();
            std::vector<BYTE> mask(size_t(cx) * cy);
            const BYTE* p = static_cast<const BYTE*>(pBits);
            for (int i = 0; i < cx * cy; i++)
                mask[i] = (p[4 * i] + p[4 * i + 1] + p[4 * i + 2]) / 3 >= 230 ? 0xFF : 0;
            const RECT rcNotify = {100, 700, 100 + cx, 700 + cy};
            const RECT found = ChooseTrayIconRect(&rcNotify, mask.data(), NULL, &g_TrayIconPattern.bits[0][0],
                                                  TRAYICONPATTERN::cx, TRAYICONPATTERN::cy, 1024, 768);
            EXPECT_EQ(100 + x0, found.left);
            EXPECT_EQ(700 + y0, found.top);
            SelectObject(hDC, hOld);
            DeleteObject(hBitmap);
            DeleteDC(hDC);
            DestroyIcon(hIcon);
        }
    }
}

}  // namespace
