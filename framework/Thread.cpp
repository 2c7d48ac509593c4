#include "framework/Thread.h"
#include "framework/Exception.h"

#include <new>

namespace {
thread_local CWinThread* t_pCurrentThread = NULL;
}

CWinThread::CWinThread()
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(NULL), m_pThreadParams(NULL)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != NULL)
        CloseHandle(m_hThread);
}

DWORD WINAPI CWinThread::ThreadEntry(LPVOID pThis)
{
    CWinThread* self = static_cast<CWinThread*>(pThis);
    t_pCurrentThread = self;
    int nResult;
    try {
        if (self->m_pfnThreadProc != NULL)
            nResult = static_cast<int>(self->m_pfnThreadProc(self->m_pThreadParams));
        else if (self->InitInstance())
            nResult = self->Run();
        else
            nResult = self->ExitInstance();
    } catch (CException* e) {
        // A framework exception must not cross the thread's entry point (it
        // would end the whole process): the thread ends with exit code -1.
        e->Delete();
        nResult = -1;
    }
    t_pCurrentThread = NULL;
    // After this the object may be gone: touch nothing of it.
    self->Delete();
    return static_cast<DWORD>(nResult);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    // Always start suspended so m_hThread and m_nThreadID are set before the
    // thread can run (and, with auto-delete, free this object).
    DWORD id = 0;
    HANDLE h = ::CreateThread(lpSecurityAttrs, nStackSize, ThreadEntry, this, CREATE_SUSPENDED, &id);
    if (h == NULL)
        return FALSE;
    m_hThread = h;
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(h);
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

DWORD CWinThread::SuspendThread()
{
    return ::SuspendThread(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority)
{
    return ::SetThreadPriority(m_hThread, nPriority);
}

int CWinThread::GetThreadPriority()
{
    return ::GetThreadPriority(m_hThread);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return 0;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (pThread == NULL)
        return NULL;
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

CWinThread* AfxGetThread()
{
    return t_pCurrentThread;
}
