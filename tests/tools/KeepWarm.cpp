// Keeps a Wine session warm for a test run: owns a hidden window until the
// session ends. The first graphical program of a Wine session starts the desktop
// process, which inherits that program's standard handles; were it a test, ctest
// would wait on its output pipe until the timeout. So the session starts this
// program first, with its output going nowhere, and then runs it with the argument
// "probe", which waits (bounded) until the warm window exists and exits.
#include <windows.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int)
{
    if (cmdLine && strstr(cmdLine, "probe")) {
        for (int i = 0; i < 1200 && !FindWindowA("STATIC", "tvnx-keepwarm"); ++i)
            Sleep(50);
        HWND wnd = CreateWindowExA(0, "STATIC", "tvnx-probe", WS_POPUP, 0, 0, 1, 1,
                                   NULL, NULL, GetModuleHandleA(NULL), NULL);
        HDC dc = GetDC(wnd);
        SIZE size;
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32A(dc, "probe", 5, &size);
        SelectObject(dc, old);
        ReleaseDC(wnd, dc);
        DestroyWindow(wnd);
        return 0;
    }
    HWND wnd = CreateWindowExA(0, "STATIC", "tvnx-keepwarm", WS_POPUP, 0, 0, 1, 1,
                               NULL, NULL, GetModuleHandleA(NULL), NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(wnd);
    return 0;
}
