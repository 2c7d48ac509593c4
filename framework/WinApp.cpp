#include "framework/WinApp.h"
#include "framework/Module.h"
#include "framework/Wnd.h"

#include <ole2.h>

namespace {
CWinApp* g_pApp = NULL;
}

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL), m_pszAppName(lpszAppName),
      m_nWaitCursorCount(0), m_bOleInitialized(FALSE), m_hcurWaitCursorRestore(NULL)
{
    m_szExeName[0] = '\0';
    m_bAutoDelete = FALSE;
    // The application runs on the thread that made it (the main thread for
    // a static instance); it has no thread handle of its own to close.
    m_nThreadID = ::GetCurrentThreadId();
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = NULL;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_bOleInitialized) {
        ::OleUninitialize();
        m_bOleInitialized = FALSE;
    }
    return CWinThread::ExitInstance();
}

void CWinApp::DoWaitCursor(int nCode)
{
    m_nWaitCursorCount += nCode;
    if (m_nWaitCursorCount < 0)
        m_nWaitCursorCount = 0;
    if (m_nWaitCursorCount > 0) {
        HCURSOR hcurPrev = ::SetCursor(::LoadCursorA(NULL, IDC_WAIT));
        if (nCode > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = hcurPrev;
    } else if (nCode < 0) {
        ::SetCursor(m_hcurWaitCursorRestore != NULL ? m_hcurWaitCursorRestore : ::LoadCursorA(NULL, IDC_ARROW));
        m_hcurWaitCursorRestore = NULL;
    }
}

HCURSOR CWinApp::LoadCursor(LPCSTR lpszResourceName) const
{
    return ::LoadCursorA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const
{
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

LPCSTR AfxGetAppName()
{
    static char szExe[MAX_PATH];
    if (g_pApp != NULL && g_pApp->m_pszAppName != NULL)
        return g_pApp->m_pszAppName;
    if (szExe[0] == '\0') {
        char path[MAX_PATH];
        DWORD n = ::GetModuleFileNameA(NULL, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return "";
        const char* pName = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/')
                pName = p + 1;
        lstrcpynA(szExe, pName, MAX_PATH);
        char* pDot = NULL;
        for (char* p = szExe; *p; ++p)
            if (*p == '.')
                pDot = p;
        if (pDot != NULL)
            *pDot = '\0';
    }
    return szExe;
}

BOOL AfxOleInit()
{
    HRESULT hr = ::OleInitialize(NULL);
    if (FAILED(hr))
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_nThreadID == ::GetCurrentThreadId()) {
        // The application undoes one initialisation at its end: a repeated
        // call is balanced here.
        if (pApp->m_bOleInitialized)
            ::OleUninitialize();
        pApp->m_bOleInitialized = TRUE;
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return -1;
    AfxSetInstanceHandle(hInstance);
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_nThreadID = ::GetCurrentThreadId();

    int nReturn;
    if (!pApp->InitApplication() || !pApp->InitInstance()) {
        // A half-made main window must not outlive the failed start.
        if (pApp->m_pMainWnd != NULL && pApp->m_pMainWnd->m_hWnd != NULL)
            pApp->m_pMainWnd->DestroyWindow();
        nReturn = pApp->ExitInstance();
    } else {
        nReturn = pApp->Run();
    }
    return nReturn;
}
