// The focus-hook library as the tray window binds it: tarvenex.dll beside the
// program, "SetHook" and "RemoveHook" found by name, and the registered
// "WM_FOCUSHOOK" posted with the window that got the focus and a screen point.
#include <gtest/gtest.h>
#include "tests/tools/Pump.h"
#include "tests/tools/StandInTarget.h"
#include <windows.h>
#include <cstdio>
#include <functional>

namespace {

typedef BOOL(WINAPI* PFN_SETHOOK)(HWND notifyWindow, UINT message);
typedef BOOL(WINAPI* PFN_REMOVEHOOK)();

const UINT WM_MARKER = WM_APP + 7;

struct Reports
{
    UINT message = 0;
    int count = 0;
    HWND lastWnd = NULL;
    bool marker = false;
};

LRESULT CALLBACK NotifyProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Reports* reports = reinterpret_cast<Reports*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (reports != NULL && msg == reports->message) {
        reports->count++;
        reports->lastWnd = reinterpret_cast<HWND>(wParam);
        return 0;
    }
    if (reports != NULL && msg == WM_MARKER) {
        reports->marker = true;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Everything the hook posted while the focus moved has arrived once a marker
// posted afterwards has: the hook posts before SetFocus returns.
bool Settle(HWND notify, Reports& reports)
{
    reports.marker = false;
    PostMessageA(notify, WM_MARKER, 0, 0);
    return PumpUntil([&] { return reports.marker; }, 5000);
}

// tarvenex.dll from dist/, with its two entries found by name.
struct HookLibrary
{
    HookLibrary()
    {
        char path[MAX_PATH];
        snprintf(path, sizeof(path), "%s\\dist\\tarvenex.dll", TVNX_BINARY_DIR);
        module = LoadLibraryA(path);
        if (module != NULL) {
            setHook = reinterpret_cast<PFN_SETHOOK>(GetProcAddress(module, "SetHook"));
            removeHook = reinterpret_cast<PFN_REMOVEHOOK>(GetProcAddress(module, "RemoveHook"));
        }
    }
    ~HookLibrary()
    {
        if (module != NULL)
            FreeLibrary(module);
    }
    bool Bound() const { return setHook != NULL && removeHook != NULL; }

    HMODULE module = NULL;
    PFN_SETHOOK setHook = NULL;
    PFN_REMOVEHOOK removeHook = NULL;
};

TEST(FocusHook, ReportsEveryFocusChangeUntilRemoved)
{
    HookLibrary hook;
    ASSERT_TRUE(hook.Bound()) << "tarvenex.dll or its entries are missing";
    PFN_SETHOOK setHook = hook.setHook;
    PFN_REMOVEHOOK removeHook = hook.removeHook;

    Reports reports;
    reports.message = RegisterWindowMessageA("WM_FOCUSHOOK");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxFocusHookProbe";
    RegisterClassA(&wc);
    HWND notify = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    SetWindowLongPtrA(notify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reports));
    HWND frame = CreateWindowExA(0, "STATIC", "focus", WS_POPUP | WS_VISIBLE, 50, 50, 200, 80, NULL, NULL,
                                 wc.hInstance, NULL);
    HWND edits[2];
    for (int i = 0; i < 2; i++)
        edits[i] = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5 + 30 * i, 150, 20, frame, NULL,
                                   wc.hInstance, NULL);

    EXPECT_FALSE(setHook(NULL, reports.message)) << "no window to report to";
    ASSERT_TRUE(setHook(notify, reports.message));
    EXPECT_FALSE(setHook(notify, reports.message)) << "a second hook while one is set";
    for (HWND edit : {edits[1], edits[0]}) {
        SetFocus(edit);
        ASSERT_TRUE(Settle(notify, reports));
        EXPECT_EQ(reports.lastWnd, edit);
    }
    EXPECT_GE(reports.count, 2);

    ASSERT_TRUE(removeHook());
    EXPECT_FALSE(removeHook()) << "nothing left to remove";
    const int before = reports.count;
    SetFocus(edits[1]);
    ASSERT_TRUE(Settle(notify, reports));
    EXPECT_EQ(reports.count, before) << "reported after RemoveHook";

    // The hook can be set again after it was removed.
    ASSERT_TRUE(setHook(notify, reports.message));
    SetFocus(edits[0]);
    ASSERT_TRUE(Settle(notify, reports));
    EXPECT_EQ(reports.lastWnd, edits[0]);
    EXPECT_TRUE(removeHook());

    DestroyWindow(frame);
    DestroyWindow(notify);
}

// The hook is global: the focus set inside another program (the stand-in
// target, started after the hook on the same desktop) is reported too, from
// that program's process.
TEST(FocusHook, ReportsTheFocusInAnotherProgram)
{
    OnVirtualDesktop([] {
        HookLibrary hook;
        ASSERT_TRUE(hook.Bound()) << "tarvenex.dll or its entries are missing";
        PFN_SETHOOK setHook = hook.setHook;
        PFN_REMOVEHOOK removeHook = hook.removeHook;

        Reports reports;
        reports.message = RegisterWindowMessageA("WM_FOCUSHOOK");
        WNDCLASSA wc = {};
        wc.lpfnWndProc = NotifyProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxFocusHookProbe2";
        RegisterClassA(&wc);
        HWND notify = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
        SetWindowLongPtrA(notify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reports));
        ASSERT_TRUE(setHook(notify, reports.message));
        {
            TargetProcess target("focusprobe.exe", 0, 0, "plain", {});
            ASSERT_TRUE(target.input != NULL);
            EXPECT_TRUE(PumpUntil([&] { return reports.lastWnd == target.input; }, 10000))
                << "the stand-in's focus was not reported (" << reports.count << " reports)";
        }
        EXPECT_TRUE(removeHook());
        DestroyWindow(notify);
        UnregisterClassA(wc.lpszClassName, wc.hInstance);
    });
}

}
