// The shipped program starts under this desktop and ends cleanly when closed.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

TEST(Program, StartsAndEndsCleanly)
{
    std::string exe = std::string(TVNX_BINARY_DIR) + "\\dist\\tarvenex.exe";
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) << exe;
    HWND wnd = NULL;
    for (DWORD until = GetTickCount() + 20000; !wnd && GetTickCount() < until; Sleep(20))
        wnd = FindWindowA("Tarvenex Main Window", NULL);
    ASSERT_TRUE(wnd != NULL) << "no main window appeared";
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 1234;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    if (code == STILL_ACTIVE)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
