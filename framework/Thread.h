// CWinThread: one thread started by the framework. A worker thread runs a
// function given to AfxBeginThread; a user-interface thread is a derived class
// whose InitInstance makes its windows and whose Run is the message loop
// (PreTranslateMessage chain, OnIdle with a rising count while the queue is
// empty). The loop ends on WM_QUIT, which the destruction of the thread's
// main window posts; ExitInstance then returns the WM_QUIT code.
// With m_bAutoDelete (the default) the object deletes itself, and closes the
// thread handle, when the thread ends: a caller that wants to wait on
// m_hThread starts the thread suspended and clears m_bAutoDelete first.
// An exception that escapes the thread's body (a CException* is deleted) ends
// the thread with exit code -1 (0xFFFFFFFF), never the process. Inside Run an
// exception from pre-translation or idle work is dropped and the loop goes on
// (a message whose pre-translation threw is not dispatched).
#pragma once

#include <windows.h>

typedef UINT (__cdecl *AFX_THREADPROC)(LPVOID);

class CWnd;

class CWinThread
{
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();

    // Starts the thread (CREATE_SUSPENDED honoured). FALSE when Windows refused.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

    DWORD ResumeThread();
    DWORD SuspendThread();
    BOOL SetThreadPriority(int nPriority);
    int GetThreadPriority();

    operator HANDLE() const { return m_hThread; }

    // Thread body of a class-based thread: Run() when InitInstance() succeeds,
    // else ExitInstance(). InitInstance defaults to FALSE (nothing to run).
    virtual BOOL InitInstance();
    // The message loop; returns ExitInstance() after WM_QUIT.
    virtual int Run();
    // Returns the WM_QUIT code (0 when the loop never ran).
    virtual int ExitInstance();

    // Offers a message to the window objects from its window up to the
    // top-level window, then to the main window when it was not among them.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle work while the queue is empty; TRUE asks for another call with
    // lCount + 1. The default frees temporary window and menu objects.
    virtual BOOL OnIdle(LONG lCount);
    // Gets, pre-translates and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // FALSE for messages that must not restart idle processing (a mouse move
    // to the same place, paint, the caret's timer).
    virtual BOOL IsIdleMessage(MSG* pMsg);
    CWnd* GetMainWnd() const { return m_pMainWnd; }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
    }
    // Called on the thread's end; deletes the object when m_bAutoDelete.
    virtual void Delete();

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;
    // The window whose destruction ends the loop, and the window that is
    // active for the thread's modal helpers (message boxes, dialogs).
    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    MSG m_msgCur;

protected:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
    POINT m_ptCursorLast;
    UINT m_nMsgLast;

private:
    static DWORD WINAPI ThreadEntry(LPVOID pThis);

    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
};

// Starts pfnThreadProc(pParam) on a new thread with the given priority.
// Returns the thread object, or NULL when the thread could not be made.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

// The CWinThread of the calling thread (the application object on the main
// thread), or NULL for a thread the framework did not start.
CWinThread* AfxGetThread();
// The calling thread's main window, else the application's; NULL when none.
CWnd* AfxGetMainWnd();
// Pre-translates through the calling thread's object, or through the window
// objects alone on a thread without one. An exception from it is dropped and
// counts as handled.
BOOL AfxPreTranslateMessage(MSG* pMsg);
// Pumps one message as the calling thread's loop does; FALSE on WM_QUIT
// (which is then posted again for the outer loop).
BOOL AfxPumpMessage();
