// The focus-hook library: a global WH_CBT hook that reports every focus change on
// the desktop to one window of the program. The hook procedure runs inside every
// process that receives focus messages, so the target window and message live in
// a section shared by all mapped copies of this library.
#include <windows.h>

HWND g_hNotifyWnd __attribute__((section(".shared"), shared)) = NULL;
UINT g_nNotifyMsg __attribute__((section(".shared"), shared)) = 0;

static HINSTANCE g_hInstance = NULL;
static HHOOK g_hHook = NULL;

static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_SETFOCUS) {
        HWND notify = g_hNotifyWnd;
        if (notify != NULL) {
            POINT pt = {0, 0};
            GetCursorPos(&pt);
            PostMessageA(notify, g_nNotifyMsg, wParam, MAKELPARAM(pt.x, pt.y));
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

extern "C" BOOL WINAPI SetHook(HWND notifyWindow, UINT message)
{
    if (g_hHook != NULL || notifyWindow == NULL || message == 0)
        return FALSE;
    g_hNotifyWnd = notifyWindow;
    g_nNotifyMsg = message;
    g_hHook = SetWindowsHookExA(WH_CBT, CbtProc, g_hInstance, 0);
    if (g_hHook == NULL) {
        g_hNotifyWnd = NULL;
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL WINAPI RemoveHook()
{
    if (g_hHook == NULL)
        return FALSE;
    if (!UnhookWindowsHookEx(g_hHook))
        return FALSE;
    g_hHook = NULL;
    g_hNotifyWnd = NULL;
    g_nNotifyMsg = 0;
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}
