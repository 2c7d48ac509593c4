// CWinApp: the program's one application object, a CWinThread for the main
// thread. AfxWinMain (called from the program's WinMain) calls
// InitApplication and InitInstance, then Run (the message loop) when they
// succeed, else ExitInstance. It also
// keeps the wait cursor and the OLE initialisation of the main thread.
#pragma once

#include "framework/Module.h"
#include "framework/Thread.h"

class CWinApp : public CWinThread
{
public:
    // Registers this object as the application (there is one).
    explicit CWinApp(LPCSTR lpszAppName = NULL);
    ~CWinApp() override;

    HINSTANCE m_hInstance;
    LPSTR m_lpCmdLine;
    int m_nCmdShow;
    // Caption of the framework's message boxes; the executable's name when not given.
    LPCSTR m_pszAppName;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;

    // The wait cursor: counted, so nested busy phases show it until the
    // outermost one ends; windows of the framework keep it while the count is up.
    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }
    void RestoreWaitCursor() { DoWaitCursor(0); }
    virtual void DoWaitCursor(int nCode);
    int m_nWaitCursorCount;

    HCURSOR LoadCursor(LPCSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEA(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const { return ::LoadCursorA(NULL, lpszCursorName); }
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEA(nIDResource)); }
    HICON LoadStandardIcon(LPCSTR lpszIconName) const { return ::LoadIconA(NULL, lpszIconName); }

    // Set by AfxOleInit; ExitInstance then undoes the initialisation.
    BOOL m_bOleInitialized;

private:
    HCURSOR m_hcurWaitCursorRestore;
    char m_szExeName[MAX_PATH];
};

CWinApp* AfxGetApp();
LPCSTR AfxGetAppName();

// Initialises OLE for the calling thread (clipboard and drag and drop need
// it); FALSE when the system refused. On the application's thread its
// ExitInstance undoes it; another thread undoes it itself (OleUninitialize).
BOOL AfxOleInit();
// Nothing of ours hosts controls: kept so start-up reads as it is written.
inline void AfxEnableControlContainer() {}

// The framework's start: runs the application object; the program's WinMain calls it.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
