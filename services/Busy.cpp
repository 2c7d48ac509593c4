#include "services/Busy.h"

#include "framework/WinApp.h"

int g_BusyCount = 0;
BOOL g_BusyEnabled = FALSE;

static BUSYHOOKS s_hooks = {NULL, NULL, NULL};
static HCURSOR s_hcurBeforeWait = NULL;
// The application whose wait cursor the outermost BeginBusy started, or NULL
// when there was none and the cursor was set by hand.
static CWinApp* s_pWaitApp = NULL;

void SetBusyHooks(const BUSYHOOKS* pHooks)
{
    if (pHooks != NULL)
        s_hooks = *pHooks;
    else
        s_hooks = BUSYHOOKS{NULL, NULL, NULL};
}

static HWND BusyMainWnd()
{
    HWND hWnd = s_hooks.pfnGetMainWnd != NULL ? s_hooks.pfnGetMainWnd() : NULL;
    return (hWnd != NULL && IsWindow(hWnd)) ? hWnd : NULL;
}

void BeginBusy()
{
    if (!g_BusyEnabled)
        return;
    if (++g_BusyCount != 1)
        return;
    // The application's wait cursor survives the WM_SETCURSOR that every
    // mouse move over one of our windows brings while the loops pump messages;
    // a cursor merely set would turn back into the window's own at once.
    s_pWaitApp = AfxGetApp();
    if (s_pWaitApp != NULL)
        s_pWaitApp->BeginWaitCursor();
    else
        s_hcurBeforeWait = SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32514)));   // IDC_WAIT
    if (HWND hWnd = BusyMainWnd())
        EnableWindow(hWnd, FALSE);
}

void EndBusy()
{
    if (g_BusyCount <= 0)
        return;
    if (--g_BusyCount != 0)
        return;
    if (s_pWaitApp != NULL && s_pWaitApp == AfxGetApp())
        s_pWaitApp->EndWaitCursor();
    else if (s_pWaitApp == NULL)
        SetCursor(s_hcurBeforeWait);
    s_pWaitApp = NULL;
    s_hcurBeforeWait = NULL;
    if (HWND hWnd = BusyMainWnd())
        EnableWindow(hWnd, TRUE);
}

int PumpMessagesWhileBusy()
{
    if (!g_BusyEnabled || g_BusyCount <= 0)
        return 1;
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The main loop must still see it and end the program.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return 0;
        }
        if (s_hooks.pfnPreTranslateMessage != NULL && s_hooks.pfnPreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (s_hooks.pfnOnIdle != NULL) {
        for (LONG lCount = 0; s_hooks.pfnOnIdle(lCount); lCount++) {
        }
    }
    return 1;
}

static bool IsSignalled(HANDLE hObject)
{
    const DWORD r = WaitForSingleObject(hObject, 0);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED_0;
}

int WaitForHandleWhilePumping(HANDLE hObject)
{
    // Input (QS_INPUT) is left out on purpose: a click or a key must not reach
    // a window while the caller waits for something else to finish.
    const DWORD kMask = QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE;
    const UINT kPeek = PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE;
    bool bQuit = false;
    WPARAM nQuitCode = 0;
    MSG msg;
    while (!IsSignalled(hObject)) {
        // MsgWaitForMultipleObjects wakes only for messages that arrived since
        // the queue was last looked at, so the queue is emptied first.
        if (bQuit) {
            // After a WM_QUIT only sent messages are served: another thread may
            // be blocked in SendMessage to us until the handle is signalled.
            PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else {
            while (PeekMessageA(&msg, NULL, 0, 0, kPeek)) {
                if (msg.message == WM_QUIT) {
                    bQuit = true;
                    nQuitCode = msg.wParam;
                    break;
                }
                DispatchMessageA(&msg);
                if (IsSignalled(hObject))
                    break;
            }
            if (IsSignalled(hObject))
                break;
        }
        const DWORD r = MsgWaitForMultipleObjects(1, &hObject, FALSE, INFINITE, bQuit ? QS_SENDMESSAGE : kMask);
        if (r != WAIT_OBJECT_0 + 1)
            break;   // signalled, abandoned, or a failed wait
    }
    if (bQuit)
        PostQuitMessage(static_cast<int>(nQuitCode));
    return 1;
}
