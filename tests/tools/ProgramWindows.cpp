// The scripts' handle on a running program's windows, by the name of its
// executable (for example tarvenex.exe):
//   programwindows wait NAME SECONDS   returns 0 once a visible top-level window
//                                      of NAME exists, 3 once NAME runs in the
//                                      notification area only (its hidden tray
//                                      window, nothing visible for a second),
//                                      1 if neither came in time
//   programwindows close NAME          a program in the notification area ends
//                                      its message loop (WM_QUIT to its tray
//                                      window's thread, again while it stays,
//                                      up to 4 s: the exit steps run);
//                                      else posts WM_CLOSE to every top-level
//                                      window of NAME, topmost first (an owned
//                                      dialog goes before its owner); returns
//                                      0 if it found one, 1 if not
#include <windows.h>
#include <tlhelp32.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

std::vector<DWORD> ProcessesNamed(const char* name)
{
    std::vector<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        const char* base = strrchr(entry.szExeFile, '\\');
        base = base ? base + 1 : entry.szExeFile;
        if (lstrcmpiA(base, name) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snap);
    return ids;
}

struct Search
{
    std::vector<DWORD> ids;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND wnd, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    for (DWORD id : search->ids) {
        if (id == pid && (!search->visibleOnly || IsWindowVisible(wnd)))
            search->found.push_back(wnd);
    }
    return TRUE;
}

std::vector<HWND> WindowsOf(const char* name, bool visibleOnly)
{
    Search search;
    search.ids = ProcessesNamed(name);
    search.visibleOnly = visibleOnly;
    if (!search.ids.empty())
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

const char kTrayClass[] = "Tarvenex Tray Window";

std::vector<HWND> TrayWindowsOf(const char* name)
{
    std::vector<HWND> trays;
    for (HWND wnd : WindowsOf(name, false)) {
        char cls[64] = "";
        GetClassNameA(wnd, cls, sizeof(cls));
        if (lstrcmpiA(cls, kTrayClass) == 0)
            trays.push_back(wnd);
    }
    return trays;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "wait") == 0) {
        DWORD end = GetTickCount() + 1000u * (DWORD)atoi(argv[3]);
        DWORD trayFrom = 0;
        for (;;) {
            if (!WindowsOf(argv[2], true).empty())
                return 0;
            if (TrayWindowsOf(argv[2]).empty())
                trayFrom = 0;
            else if (trayFrom == 0)
                trayFrom = GetTickCount() | 1;
            else if (GetTickCount() - trayFrom >= 1000)
                return 3;
            if ((LONG)(GetTickCount() - end) >= 0)
                return 1;
            Sleep(100);
        }
    }
    if (argc == 3 && strcmp(argv[1], "close") == 0) {
        std::vector<HWND> trays = TrayWindowsOf(argv[2]);
        if (!trays.empty()) {
            // Each modal loop that runs (a dialog of the start, a message)
            // ends on one: asked again until the tray window is gone (4 s).
            for (DWORD end = GetTickCount() + 4000; !trays.empty() && (LONG)(GetTickCount() - end) < 0;
                 trays = TrayWindowsOf(argv[2])) {
                for (HWND wnd : trays)
                    PostThreadMessageA(GetWindowThreadProcessId(wnd, NULL), WM_QUIT, 0, 0);
                Sleep(300);
            }
            return 0;
        }
        std::vector<HWND> windows = WindowsOf(argv[2], false);
        for (HWND wnd : windows)
            PostMessageA(wnd, WM_CLOSE, 0, 0);
        return windows.empty() ? 1 : 0;
    }
    return 2;
}
