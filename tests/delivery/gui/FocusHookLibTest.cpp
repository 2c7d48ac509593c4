// The focus-hook library's binding: loaded only by a full path made from the
// program's path, bound by name, started and stopped; and its point read as
// two signed halves.
#include "delivery/FocusHookLib.h"

#include "services/Registered.h"
#include "tests/tools/Pump.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_strProgramPath;

DWORD WINAPI FakeProgramPath(HMODULE, LPSTR pszPath, DWORD nSize)
{
    if (g_strProgramPath.size() >= nSize)
        return nSize;  // truncated, as the system reports it
    lstrcpyA(pszPath, g_strProgramPath.c_str());
    return static_cast<DWORD>(g_strProgramPath.size());
}

class FocusHookLibTest : public testing::Test
{
protected:
    void SetUp() override { g_pfnFocusHookProgramPath = FakeProgramPath; }
    void TearDown() override { g_pfnFocusHookProgramPath = GetModuleFileNameA; }
};

const std::string kDistProgram = std::string(TVNX_BINARY_DIR) + "\\dist\\tarvenex.exe";

TEST_F(FocusHookLibTest, LoadsOnlyTheLibraryBesideTheProgram)
{
    char szSystem[MAX_PATH] = "";
    GetSystemDirectoryA(szSystem, MAX_PATH);
    const struct
    {
        const char* pszName;
        std::string strProgram;
        int nResult;
    } rows[] = {
        {"beside the program", kDistProgram, 1},
        {"no folder: a bare name is never loaded", "tarvenex.exe", 0},
        {"no such library", std::string(TVNX_BINARY_DIR) + "\\nowhere\\tarvenex.exe", 0},
        {"a library without the exports", std::string(szSystem) + "\\version.exe", 0},
        {"empty path", "", 0},
        {"path too long", "C:\\" + std::string(MAX_PATH + 10, 'a') + ".exe", 0},
    };
    HWND hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hWnd != NULL);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        g_strProgramPath = row.strProgram;
        FOCUSHOOKLIB lib = {reinterpret_cast<HMODULE>(1), NULL, NULL};
        EXPECT_EQ(row.nResult, LoadFocusHook(hWnd, &lib));
        if (row.nResult == 0) {
            EXPECT_TRUE(lib.hModule == NULL && lib.pfnSetHook == NULL && lib.pfnRemoveHook == NULL);
            continue;
        }
        EXPECT_TRUE(lib.hModule != NULL && lib.pfnSetHook != NULL && lib.pfnRemoveHook != NULL);
        EXPECT_EQ(1, UnloadFocusHook(&lib));
        EXPECT_TRUE(lib.hModule == NULL);
        EXPECT_EQ(0, UnloadFocusHook(&lib)) << "nothing left to free";
    }
    DestroyWindow(hWnd);
}

int s_nReports;
HWND s_hLast;

LRESULT CALLBACK NotifyProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == GetFocusHookMessage()) {
        s_nReports++;
        if (w != 0)
            s_hLast = reinterpret_cast<HWND>(w);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

// A window of ours taking the focus is reported to the window given.
TEST_F(FocusHookLibTest, ReportsFocusChangesUntilUnloaded)
{
    g_strProgramPath = kDistProgram;
    s_nReports = 0;
    s_hLast = NULL;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.lpszClassName = "FocusHookLibTestNotify";
    RegisterClassA(&wc);
    HWND hNotify = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    HWND hFrame = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 200, 80, NULL, NULL, NULL, NULL);
    HWND hOther = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5, 150, 20, hFrame, NULL, NULL, NULL);
    HWND hFocus = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 35, 150, 20, hFrame, NULL, NULL, NULL);
    ASSERT_TRUE(hNotify != NULL && hFocus != NULL);
    SetForegroundWindow(hFrame);
    SetFocus(hOther);
    FOCUSHOOKLIB lib;
    ASSERT_EQ(1, LoadFocusHook(hNotify, &lib));
    SetFocus(hFocus);
    EXPECT_TRUE(PumpUntil([] { return s_hLast != NULL; }, 5000));
    EXPECT_EQ(hFocus, s_hLast);
    ASSERT_EQ(1, UnloadFocusHook(&lib));
    PumpPending();
    const int nBefore = s_nReports;
    SetFocus(hOther);
    PumpPending();
    EXPECT_EQ(nBefore, s_nReports) << "no reports after the hook was removed";
    DestroyWindow(hFrame);
    DestroyWindow(hNotify);
    UnregisterClassA(wc.lpszClassName, NULL);
}

TEST(FocusHookPointTest, HalvesAreSigned)
{
    const struct
    {
        LPARAM lParam;
        LONG x, y;
    } rows[] = {
        {MAKELPARAM(100, 200), 100, 200},
        {MAKELPARAM(-5, -10), -5, -10},
        {MAKELPARAM(0xFFFF, 0x8000), -1, -32768},
        {MAKELPARAM(0x7FFF, 0), 32767, 0},
    };
    for (const auto& row : rows) {
        const POINT pt = FocusHookPoint(row.lParam);
        EXPECT_EQ(row.x, pt.x) << std::hex << row.lParam;
        EXPECT_EQ(row.y, pt.y) << std::hex << row.lParam;
    }
}

}  // namespace
