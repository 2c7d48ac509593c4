// Start-up into the notification area: from the process's start until its
// tray window has added its icon and finished its creation (found, then
// answering a sent message, which it can only do once its creation is over),
// for dist/tarvenex.exe (Standard skin, English, nothing shown at start) and
// for a minimal program that registers a class, creates a hidden window and
// adds a tray icon. Alternating runs; medians and their ratio.
//
//   bench_startup [RUNS]    (under Wine: the i686 or x86_64 tree's dist/)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kKey[] = "Software\\Mordale\\Tarvenex";

std::string Folder()
{
    char sz[MAX_PATH];
    const DWORD n = GetModuleFileNameA(NULL, sz, MAX_PATH);
    std::string s(sz, n);
    return s.substr(0, s.find_last_of('\\'));
}

void SetDword(HKEY hKey, const char* pszName, DWORD dw)
{
    RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
}

void SetString(HKEY hKey, const char* pszName, const std::string& str)
{
    RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(str.c_str()), DWORD(str.size() + 1));
}

// Milliseconds from CreateProcess until the window of the class answers; -1 on failure.
double StartOnce(const std::string& strExe, const char* pszClass)
{
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    std::string cmd = "\"" + strExe + "\"";
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    double ms = -1;
    for (DWORD until = GetTickCount() + 30000; GetTickCount() < until;) {
        HWND hWnd = FindWindowA(pszClass, NULL);
        DWORD_PTR r = 0;
        if (hWnd != NULL && SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r)) {
            QueryPerformanceCounter(&t1);
            ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart);
            PostThreadMessageA(GetWindowThreadProcessId(hWnd, NULL), WM_QUIT, 0, 0);
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int nRuns = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const std::string strBench = Folder();
    const std::string strDist = strBench.substr(0, strBench.find_last_of('\\', strBench.find_last_of('\\') - 1)) + "\\dist";
    const std::string strProgram = strDist + "\\tarvenex.exe";
    const std::string strMinimal = strBench + "\\bench_minimal_tray.exe";

    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    const std::string strData = std::string(szTemp) + "tvnx-bench-startup";
    CreateDirectoryA(strData.c_str(), NULL);
    CopyFileA((strDist + "\\demo.tvnx").c_str(), (strData + "\\demo.tvnx").c_str(), FALSE);
    HKEY hKey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return 1;
    SetString(hKey, "Skin", "Standard");
    SetString(hKey, "Language", "English");
    SetString(hKey, "AppDataFolder", strData);
    SetDword(hKey, "ShowFirstTimeSetup", 0);
    SetDword(hKey, "ShowTipsOfTheDay", DWORD(-1));
    SetDword(hKey, "TrayTipAtStartup", 0);
    SetDword(hKey, "MainWndOpenAtStartup", 0);
    SetDword(hKey, "WarnNoInternetConnection", 0);
    RegCloseKey(hKey);

    // One of each first: the libraries come from disk once.
    StartOnce(strProgram, "Tarvenex Tray Window");
    StartOnce(strMinimal, "Minimal Tray Window");
    std::vector<double> program, minimal;
    for (int i = 0; i < nRuns; i++) {
        const double a = StartOnce(strProgram, "Tarvenex Tray Window");
        const double b = StartOnce(strMinimal, "Minimal Tray Window");
        if (a < 0 || b < 0) {
            printf("a start failed (program %.1f ms, minimal %.1f ms)\n", a, b);
            return 1;
        }
        program.push_back(a);
        minimal.push_back(b);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    DeleteFileA((strData + "\\demo.tvnx").c_str());
    RemoveDirectoryA(strData.c_str());
    const double p = Median(program), m = Median(minimal);
    printf("start-up to the tray icon, median of %d: tarvenex %.1f ms, minimal %.1f ms, ratio %.2f (goal at most 5)\n",
           nRuns, p, m, m > 0 ? p / m : 0.0);
    return 0;
}
