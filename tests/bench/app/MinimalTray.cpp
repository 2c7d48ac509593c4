// The yardstick of the start-up benchmark: the least a program in the
// notification area does. It registers a class, creates a hidden window that
// adds a tray icon while it is created, and runs until WM_QUIT.
#include <windows.h>
#include <shellapi.h>

namespace {

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hWnd;
    nid.uID = 1;
    if (message == WM_CREATE) {
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = WM_APP + 6;
        nid.hIcon = LoadIconA(NULL, MAKEINTRESOURCEA(32512));
        lstrcpyA(nid.szTip, "Minimal");
        return Shell_NotifyIconA(NIM_ADD, &nid) ? 0 : -1;
    }
    if (message == WM_DESTROY)
        Shell_NotifyIconA(NIM_DELETE, &nid);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = "Minimal Tray Window";
    if (!RegisterClassA(&wc))
        return 1;
    HWND hWnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, -1, -1, 0, 0, NULL, NULL, hInstance, NULL);
    if (hWnd == NULL)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(hWnd);
    return 0;
}
