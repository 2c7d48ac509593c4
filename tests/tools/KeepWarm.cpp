#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HWND wnd = CreateWindowExA(0, "STATIC", "tvnx-keepwarm", WS_POPUP, 0, 0, 1, 1,
                               NULL, NULL, GetModuleHandleA(NULL), NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(wnd);
    return 0;
}
