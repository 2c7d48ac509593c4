// User-interface threads and the application object: the message loop with
// pre-translation and idle calls, ended by the destruction of the main window.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"

#include <atomic>

namespace {

LPCSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW));
}

class CThreadWnd : public CWnd
{
public:
    std::atomic<int>* pAppMessages;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP + 1)
            ++*pAppMessages;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class CUiThread : public CWinThread
{
public:
    CEvent ready{FALSE, TRUE};
    std::atomic<HWND> hWnd{NULL};
    std::atomic<int> nIdle{0};
    std::atomic<int> nPreTranslated{0};
    std::atomic<int> nAppMessages{0};
    std::atomic<int> nExitCalls{0};
    std::atomic<bool> bSawOwnThread{false};
    CThreadWnd* pWnd = NULL;

    BOOL InitInstance() override
    {
        bSawOwnThread = AfxGetThread() == this;
        pWnd = new CThreadWnd;
        pWnd->pAppMessages = &nAppMessages;
        BOOL ok = pWnd->CreateEx(0, PlainClass(), "ui thread", WS_POPUP, 0, 0, 50, 50, NULL, NULL);
        if (ok) {
            m_pMainWnd = pWnd;
            hWnd = pWnd->m_hWnd;
        }
        ready.SetEvent();
        return ok;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_APP + 1)
            ++nPreTranslated;
        return CWinThread::PreTranslateMessage(pMsg);
    }
    BOOL OnIdle(LONG lCount) override
    {
        ++nIdle;
        return CWinThread::OnIdle(lCount);
    }
    int ExitInstance() override
    {
        ++nExitCalls;
        delete pWnd;
        pWnd = NULL;
        return CWinThread::ExitInstance();
    }
};

} // namespace

TEST(WinThread, UserInterfaceThreadRunsItsOwnLoopAndEndsWithItsMainWindow)
{
    CUiThread thread;
    thread.m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread.CreateThread());
    ASSERT_EQ(WaitForSingleObject(thread.ready.m_hObject, 5000), WAIT_OBJECT_0);
    HWND hWnd = thread.hWnd;
    ASSERT_TRUE(hWnd != NULL);
    EXPECT_TRUE(thread.bSawOwnThread);
    EXPECT_EQ(GetWindowThreadProcessId(hWnd, NULL), thread.m_nThreadID);

    // Posted messages go through the thread's pre-translation to the window.
    for (int i = 0; i < 3; ++i)
        PostMessageA(hWnd, WM_APP + 1, 0, 0);
    DWORD until = GetTickCount() + 5000;
    while (thread.nAppMessages < 3 && (LONG)(GetTickCount() - until) < 0)
        Sleep(5);
    EXPECT_EQ(thread.nAppMessages, 3);
    EXPECT_EQ(thread.nPreTranslated, 3);
    EXPECT_GT(thread.nIdle, 0) << "the loop idles while its queue is empty";

    // Closing the main window ends the thread's loop; ExitInstance runs once.
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(thread.m_hThread, 5000), WAIT_OBJECT_0);
    DWORD code = 1234;
    GetExitCodeThread(thread.m_hThread, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(thread.nExitCalls, 1);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_TRUE(thread.m_pMainWnd == NULL);
}

TEST(WinThread, QuitPostedToAThreadWithoutWindowEndsItWithTheQuitCode)
{
    struct CBare : CWinThread {
        CEvent ready{FALSE, TRUE};
        BOOL InitInstance() override
        {
            MSG msg;
            PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);   // the queue exists from here on
            ready.SetEvent();
            return TRUE;
        }
    } thread;
    thread.m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread.CreateThread());
    ASSERT_EQ(WaitForSingleObject(thread.ready.m_hObject, 5000), WAIT_OBJECT_0);
    ASSERT_TRUE(thread.PostThreadMessage(WM_QUIT, 7, 0));
    ASSERT_EQ(WaitForSingleObject(thread.m_hThread, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread.m_hThread, &code);
    EXPECT_EQ(code, 7u);
}

TEST(WinApp, ApplicationIsTheMainThreadsObjectAndCountsTheWaitCursor)
{
    EXPECT_TRUE(AfxGetApp() == NULL);
    {
        CWinApp app("Tarvenex");
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxGetThread(), &app);
        EXPECT_STREQ(AfxGetAppName(), "Tarvenex");

        CWnd main;
        ASSERT_TRUE(main.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
        app.m_pMainWnd = &main;
        EXPECT_EQ(AfxGetMainWnd(), &main);

        app.BeginWaitCursor();
        app.BeginWaitCursor();
        app.EndWaitCursor();
        EXPECT_EQ(app.m_nWaitCursorCount, 1);
        app.EndWaitCursor();
        app.EndWaitCursor();
        EXPECT_EQ(app.m_nWaitCursorCount, 0) << "an extra end does not go below zero";

        // The main window's destruction ends the application's loop.
        main.DestroyWindow();
        EXPECT_TRUE(app.m_pMainWnd == NULL);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_TRUE(AfxGetApp() == NULL);
}

TEST(WinApp, OleInitialisationIsBalancedByTheApplicationAndKeptOnOtherThreads)
{
    {
        CWinApp app;
        ASSERT_TRUE(AfxOleInit());
        ASSERT_TRUE(AfxOleInit());
        EXPECT_TRUE(app.m_bOleInitialized);
        app.ExitInstance();
        EXPECT_FALSE(app.m_bOleInitialized);
        // Fully undone: a fresh initialisation is the first one again.
        HRESULT hr = OleInitialize(NULL);
        EXPECT_EQ(hr, S_OK);
        if (SUCCEEDED(hr))
            OleUninitialize();

        // On a thread of its own the initialisation stays for that thread.
        struct Probe {
            static UINT __cdecl Run(LPVOID p)
            {
                HRESULT* pResult = static_cast<HRESULT*>(p);
                if (!AfxOleInit())
                    return 1;
                pResult[0] = OleInitialize(NULL);   // S_FALSE: still initialised
                OleUninitialize();
                OleUninitialize();
                return 0;
            }
        };
        HRESULT result[1] = {E_FAIL};
        CWinThread* pThread = AfxBeginThread(Probe::Run, result, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_TRUE(pThread != NULL);
        pThread->m_bAutoDelete = FALSE;
        pThread->ResumeThread();
        ASSERT_EQ(WaitForSingleObject(pThread->m_hThread, 5000), WAIT_OBJECT_0);
        EXPECT_EQ(result[0], S_FALSE);
        delete pThread;
    }
}
