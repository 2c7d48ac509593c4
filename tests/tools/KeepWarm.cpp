// Keeps a Wine session warm for a test run: owns a hidden window until the
// session ends. With the argument "probe" it instead does the first-time work of
// a graphical program (window, device context, font) and exits, so that a fresh
// machine pays that cost once, before any test is timed.
#include <windows.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int)
{
    HWND wnd = CreateWindowExA(0, "STATIC", "tvnx-keepwarm", WS_POPUP, 0, 0, 1, 1,
                               NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (cmdLine && strstr(cmdLine, "probe")) {
        HDC dc = GetDC(wnd);
        SIZE size;
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32A(dc, "probe", 5, &size);
        SelectObject(dc, old);
        ReleaseDC(wnd, dc);
        DestroyWindow(wnd);
        return 0;
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(wnd);
    return 0;
}
