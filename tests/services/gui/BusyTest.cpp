// The busy state: nesting, the main window disabled and enabled again, the
// message pump of long loops, and waiting on a handle while messages flow.
#include "services/Busy.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const UINT WM_TEST_POSTED = WM_APP + 1;
const UINT WM_TEST_SENT = WM_APP + 2;

std::vector<UINT> g_received;
HANDLE g_hPostedSeen = NULL;
HWND g_hMain = NULL;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg >= WM_APP) {
        g_received.push_back(uMsg);
        if (uMsg == WM_TEST_POSTED && g_hPostedSeen != NULL)
            SetEvent(g_hPostedSeen);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MainWnd()
{
    return g_hMain;
}

class BusyState : public ::testing::Test
{
protected:
    HWND m_hWnd = NULL;

    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxBusyTestWnd";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(0, wc.lpszClassName, "busy", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL,
                                 wc.hInstance, NULL);
        ASSERT_NE((HWND)NULL, m_hWnd);
        g_hMain = m_hWnd;
        g_received.clear();
        BUSYHOOKS hooks = {MainWnd, NULL, NULL};
        SetBusyHooks(&hooks);
        g_BusyEnabled = TRUE;
        Drain();
    }
    void TearDown() override
    {
        while (g_BusyCount > 0)
            EndBusy();
        g_BusyEnabled = FALSE;
        SetBusyHooks(NULL);
        g_hMain = NULL;
        if (m_hWnd != NULL)
            DestroyWindow(m_hWnd);
    }
    static void Drain()
    {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        g_received.clear();
    }
};

TEST_F(BusyState, NestsAndDisablesTheMainWindowOnlyWhileBusy)
{
    BeginBusy();
    BeginBusy();
    EXPECT_EQ(2, g_BusyCount);
    EXPECT_FALSE(IsWindowEnabled(m_hWnd));
    EndBusy();
    EXPECT_EQ(1, g_BusyCount);
    EXPECT_FALSE(IsWindowEnabled(m_hWnd));
    EndBusy();
    EXPECT_EQ(0, g_BusyCount);
    EXPECT_TRUE(IsWindowEnabled(m_hWnd));
    EndBusy();   // one too many
    EXPECT_EQ(0, g_BusyCount);
    EXPECT_TRUE(IsWindowEnabled(m_hWnd));
}

TEST_F(BusyState, NothingHappensWhileTheBusyStateIsNotEnabled)
{
    g_BusyEnabled = FALSE;
    BeginBusy();
    EXPECT_EQ(0, g_BusyCount);
    EXPECT_TRUE(IsWindowEnabled(m_hWnd));
    PostMessageA(m_hWnd, WM_TEST_POSTED, 0, 0);
    EXPECT_EQ(1, PumpMessagesWhileBusy());
    EXPECT_TRUE(g_received.empty());   // not busy: the pump leaves the queue alone

    // Enabled, but no main window yet: the count still nests.
    g_BusyEnabled = TRUE;
    g_hMain = NULL;
    BeginBusy();
    EXPECT_EQ(1, g_BusyCount);
    EndBusy();
    EXPECT_EQ(0, g_BusyCount);
}

LONG g_nIdleCalls = 0;
BOOL IdleThreeTimes(LONG lCount)
{
    EXPECT_EQ(g_nIdleCalls, lCount);
    g_nIdleCalls++;
    return lCount < 2;
}

BOOL SwallowSent(MSG* pMsg)
{
    return pMsg->message == WM_TEST_SENT;
}

TEST_F(BusyState, PumpDispatchesThenRunsIdleProcessing)
{
    BUSYHOOKS hooks = {MainWnd, SwallowSent, IdleThreeTimes};
    SetBusyHooks(&hooks);
    BeginBusy();
    PostMessageA(m_hWnd, WM_TEST_POSTED, 0, 0);
    PostMessageA(m_hWnd, WM_TEST_SENT, 0, 0);   // taken by the pre-translation hook
    PostMessageA(m_hWnd, WM_TEST_POSTED, 0, 0);
    EXPECT_EQ(1, PumpMessagesWhileBusy());
    EXPECT_EQ((std::vector<UINT>{WM_TEST_POSTED, WM_TEST_POSTED}), g_received);
    EXPECT_EQ(3, g_nIdleCalls);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, WM_APP, WM_APP + 10, PM_NOREMOVE));
}

TEST_F(BusyState, PumpPostsQuitAgain)
{
    BeginBusy();
    PostQuitMessage(7);
    EXPECT_EQ(0, PumpMessagesWhileBusy());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(UINT(WM_QUIT), msg.message);
    EXPECT_EQ(7u, msg.wParam);
}

struct Helper
{
    HWND hWnd;
    HANDLE hDone;
    bool bQuitFirst;
    DWORD dwMainThread;
};

DWORD WINAPI HelperThread(LPVOID p)
{
    Helper* h = static_cast<Helper*>(p);
    if (h->bQuitFirst)
        PostThreadMessageA(h->dwMainThread, WM_QUIT, 3, 0);
    else {
        PostMessageA(h->hWnd, WM_TEST_POSTED, 0, 0);
        WaitForSingleObject(g_hPostedSeen, 10000);
    }
    DWORD_PTR nResult = 0;
    SendMessageTimeoutA(h->hWnd, WM_TEST_SENT, 0, 0, SMTO_NORMAL, 10000, &nResult);
    SetEvent(h->hDone);
    return 0;
}

TEST_F(BusyState, WaitForHandleServesPostedAndSentMessages)
{
    HANDLE hSet = CreateEventA(NULL, TRUE, TRUE, NULL);
    EXPECT_EQ(1, WaitForHandleWhilePumping(hSet));
    CloseHandle(hSet);

    for (bool bQuitFirst : {false, true}) {
        g_received.clear();
        g_hPostedSeen = CreateEventA(NULL, TRUE, FALSE, NULL);
        Helper h = {m_hWnd, CreateEventA(NULL, TRUE, FALSE, NULL), bQuitFirst, GetCurrentThreadId()};
        HANDLE hThread = CreateThread(NULL, 0, HelperThread, &h, 0, NULL);
        ASSERT_NE((HANDLE)NULL, hThread);
        EXPECT_EQ(1, WaitForHandleWhilePumping(h.hDone));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 10000));
        if (bQuitFirst) {
            // A WM_QUIT met while waiting is left for the main loop; sent
            // messages were still served.
            EXPECT_EQ((std::vector<UINT>{WM_TEST_SENT}), g_received);
            MSG msg;
            ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
            EXPECT_EQ(UINT(WM_QUIT), msg.message);
            EXPECT_EQ(3u, msg.wParam);
        } else {
            EXPECT_EQ((std::vector<UINT>{WM_TEST_POSTED, WM_TEST_SENT}), g_received);
        }
        CloseHandle(hThread);
        CloseHandle(h.hDone);
        CloseHandle(g_hPostedSeen);
        g_hPostedSeen = NULL;
    }
}

TEST_F(BusyState, WaitCursorIsTheApplicationsAndOutlivesSetCursor)
{
    CWinApp app;
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0, LoadCursorA(NULL, IDC_ARROW)), "", WS_POPUP, 0, 0, 10, 10,
                             NULL, NULL));
    const HCURSOR hWait = LoadCursorA(NULL, IDC_WAIT);
    BeginBusy();
    BeginBusy();
    EXPECT_EQ(1, app.m_nWaitCursorCount);
    // A mouse move over one of the program's windows while the loops pump
    // messages: the window keeps the wait cursor instead of its own.
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    EXPECT_TRUE(SendMessageA(wnd.m_hWnd, WM_SETCURSOR, WPARAM(wnd.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hWait, GetCursor());
    EndBusy();
    EXPECT_EQ(1, app.m_nWaitCursorCount);
    EndBusy();
    EXPECT_EQ(0, app.m_nWaitCursorCount);
    EXPECT_NE(hWait, GetCursor());
    wnd.DestroyWindow();
}

}  // namespace
