// CWinThread: one thread started by the framework. A worker thread runs a
// function given to AfxBeginThread; a derived class may instead override
// InitInstance/Run/ExitInstance (the user-interface threads build on that).
// With m_bAutoDelete (the default) the object deletes itself, and closes the
// thread handle, when the thread ends: a caller that wants to wait on
// m_hThread starts the thread suspended and clears m_bAutoDelete first.
// A CException* that escapes the thread's body is deleted there and the
// thread ends with exit code -1 (0xFFFFFFFF).
#pragma once

#include <windows.h>

typedef UINT (__cdecl *AFX_THREADPROC)(LPVOID);

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
    // else ExitInstance(). The defaults do nothing and end the thread with 0.
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    // Called on the thread's end; deletes the object when m_bAutoDelete.
    virtual void Delete();

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;

protected:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

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

// The CWinThread of the calling thread, or NULL for a thread the framework did not start.
CWinThread* AfxGetThread();
