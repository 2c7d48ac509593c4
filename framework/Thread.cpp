#include "framework/Thread.h"
#include "framework/Exception.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <new>

namespace {
thread_local CWinThread* t_pCurrentThread = NULL;

// Runs one step of a message loop. An exception that escapes it (ours or a
// standard one) is dropped, as the window procedure drops those of a
// handler: the loop goes on and the program with it. FALSE when it threw.
template <class Step>
BOOL ContainLoopStep(Step step)
{
    try {
        step();
        return TRUE;
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return FALSE;
}

// Pre-translation that threw counts as handled: the message is not handed
// on a second time to whatever may have half acted on it.
BOOL PreTranslateContained(CWinThread* pThread, MSG* pMsg)
{
    BOOL bHandled = TRUE;
    ContainLoopStep([&] {
        bHandled = pThread != NULL ? pThread->PreTranslateMessage(pMsg) : CWnd::WalkPreTranslateTree(NULL, pMsg);
    });
    return bHandled;
}
}

CWinThread::CWinThread()
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(NULL), m_pActiveWnd(NULL), m_msgCur(),
      m_pfnThreadProc(NULL), m_pThreadParams(NULL), m_ptCursorLast{-1, -1}, m_nMsgLast(0)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(NULL), m_pActiveWnd(NULL), m_msgCur(),
      m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam), m_ptCursorLast{-1, -1}, m_nMsgLast(0)
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
        // No exception may cross the thread's entry point (it would end the
        // whole process): the thread ends with exit code -1.
        e->Delete();
        nResult = -1;
    } catch (...) {
        nResult = -1;
    }
    // Views made by FromHandle on this thread die with it.
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
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
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageA(&m_msgCur, NULL, 0, 0, PM_NOREMOVE)) {
            // Idle work that threw wants no second call until the next message.
            BOOL bMore = FALSE;
            ContainLoopStep([&] { bMore = OnIdle(lIdleCount++); });
            if (!bMore)
                bIdle = FALSE;
        }
        do {
            BOOL bGoOn = TRUE;
            if (!ContainLoopStep([&] { bGoOn = PumpMessage(); }))
                bGoOn = m_msgCur.message != WM_QUIT;
            if (!bGoOn)
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&m_msgCur, NULL, 0, 0, PM_NOREMOVE));
    }
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    HWND hWndMain = m_pMainWnd != NULL ? m_pMainWnd->m_hWnd : NULL;
    if (CWnd::WalkPreTranslateTree(hWndMain, pMsg))
        return TRUE;
    // The main window sees what happens in the thread's other top-level
    // windows too (its own tree was walked above).
    if (hWndMain != NULL && pMsg->hwnd != NULL) {
        HWND hTop = pMsg->hwnd;
        while ((::GetWindowLongA(hTop, GWL_STYLE) & WS_CHILD) && ::GetParent(hTop) != NULL)
            hTop = ::GetParent(hTop);
        if (hTop != hWndMain && m_pMainWnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount >= 1) {
        CWnd::DeleteTempMap();
        CMenu::DeleteTempMap();
    }
    return lCount < 1;
}

BOOL CWinThread::PumpMessage()
{
    BOOL bRet = ::GetMessageA(&m_msgCur, NULL, 0, 0);
    if (bRet == 0 || bRet == -1)
        return FALSE;
    if (!PreTranslateContained(this, &m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_nMsgLast == pMsg->message && m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    m_nMsgLast = pMsg->message;
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* the caret's system timer */;
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
    if (t_pCurrentThread != NULL)
        return t_pCurrentThread;
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_nThreadID == ::GetCurrentThreadId())
        return pApp;
    return NULL;
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->m_pMainWnd != NULL)
        return pThread->m_pMainWnd;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL ? pApp->m_pMainWnd : NULL;
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    return PreTranslateContained(AfxGetThread(), pMsg);
}

BOOL AfxPumpMessage()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL) {
        if (pThread->PumpMessage())
            return TRUE;
        ::PostQuitMessage(static_cast<int>(pThread->m_msgCur.wParam));
        return FALSE;
    }
    MSG msg;
    BOOL bRet = ::GetMessageA(&msg, NULL, 0, 0);
    if (bRet == 0 || bRet == -1) {
        if (bRet == 0)
            ::PostQuitMessage(static_cast<int>(msg.wParam));
        return FALSE;
    }
    if (!PreTranslateContained(NULL, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}
