// A real window on the run's desktop: created, reached by a message, destroyed.
#include <gtest/gtest.h>
#include <windows.h>

namespace {
UINT g_seen[8];
int g_count;

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if ((msg == WM_CREATE || msg == WM_APP + 1 || msg == WM_DESTROY || msg == WM_NCDESTROY) && g_count < 8)
        g_seen[g_count++] = msg;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
}

TEST(WindowSmoke, CreatedReachedAndDestroyed)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxSmokeWindow";
    ASSERT_NE(RegisterClassA(&wc), 0);
    g_count = 0;
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, "smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               10, 10, 200, 100, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(wnd != NULL);
    ASSERT_TRUE(PostMessageA(wnd, WM_APP + 1, 0, 0));
    MSG msg;
    DWORD until = GetTickCount() + 5000;
    while (g_count < 2 && GetTickCount() < until) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(1);
    }
    ASSERT_TRUE(DestroyWindow(wnd));
    const UINT expected[] = {WM_CREATE, WM_APP + 1, WM_DESTROY, WM_NCDESTROY};
    ASSERT_EQ(g_count, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g_seen[i], expected[i]) << "message " << i;
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}
