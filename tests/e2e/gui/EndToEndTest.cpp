// The whole program as a user runs it: dist/tarvenex.exe started on the tests'
// virtual desktop with the settings a user has after the first start, sitting
// in the tray, opened by a second start, sending demo smilies into stand-in
// targets with a click, and ended from the tray menu with the keyboard. Every
// wait is bounded; the test posts nothing to the program but what a user's
// actions would (the tray icon's callback when the icon cannot be clicked).
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/tools/Pump.h"
#include "tests/tools/StandInTarget.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kSettingsKey[] = "Software\\Mordale\\Tarvenex";
const char kTrayClass[] = "Tarvenex Tray Window";
const char kMainClass[] = "Tarvenex Main Window";
const UINT WM_TRAYNOTIFY_ = WM_APP + 6;

std::string Dist()
{
    return std::string(TVNX_BINARY_DIR) + "\\dist\\";
}

// ---- the prefix as a user has it after the first start ---------------------------------

void DeleteTree(HKEY hParent, const char* pszSubKey)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hParent, pszSubKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return;
    char szChild[256];
    DWORD cch = sizeof(szChild);
    while (RegEnumKeyExA(hKey, 0, szChild, &cch, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
        DeleteTree(hKey, szChild);
        cch = sizeof(szChild);
    }
    RegCloseKey(hKey);
    RegDeleteKeyA(hParent, pszSubKey);
}

void SetNumber(const char* pszName, DWORD dw)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey,
                                             NULL));
    RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
    RegCloseKey(hKey);
}

void SetText(const char* pszName, const std::string& text)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey,
                                             NULL));
    RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    RegCloseKey(hKey);
}

// The names of the values stored under the settings key.
std::vector<std::string> StoredValues()
{
    std::vector<std::string> names;
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return names;
    char sz[256];
    for (DWORD i = 0;; i++) {
        DWORD cch = sizeof(sz);
        if (RegEnumValueA(hKey, i, sz, &cch, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(sz);
    }
    RegCloseKey(hKey);
    return names;
}

// A temporary picture file of the program's kind, made nHours ago.
std::string OldTempFile(const std::string& folder, int nSerial, int nHours)
{
    char name[64];
    snprintf(name, sizeof(name), "tarvenex-tmp%09d.gif", nSerial);
    const std::string path = folder + "\\" + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return path;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= ULONGLONG(nHours) * 3600 * 10000000 + ULONGLONG(5) * 60 * 10000000;   // and 5 minutes
    FILETIME then = {t.LowPart, t.HighPart};
    SetFileTime(h, &then, &then, &then);
    CloseHandle(h);
    return path;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---- the program ---------------------------------------------------------------------------

class Program
{
public:
    explicit Program(const std::string& args = "")
    {
        const std::string exe = Dist() + "tarvenex.exe";
        std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
        STARTUPINFOA si = {sizeof(si)};
        si.lpDesktop = const_cast<char*>(kStandInDesktop);
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        started = CreateProcessA(exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi) != 0;
    }
    ~Program()
    {
        if (m_pi.hProcess == NULL)
            return;
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the program was still running at the end of the test";
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    // Pumps until the process ended; its exit status, or -1 when it did not.
    long WaitForEnd(DWORD nMillis)
    {
        if (!PumpUntil([&] { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }, nMillis))
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return long(code);
    }
    DWORD Id() const { return m_pi.dwProcessId; }

    bool started = false;

private:
    PROCESS_INFORMATION m_pi = {};
};

HWND WaitForWindow(const char* pszClass, DWORD nMillis, bool bVisible)
{
    HWND hWnd = NULL;
    PumpUntil(
        [&] {
            hWnd = FindWindowA(pszClass, NULL);
            return hWnd != NULL && (!bVisible || IsWindowVisible(hWnd));
        },
        nMillis);
    return hWnd != NULL && (!bVisible || IsWindowVisible(hWnd)) ? hWnd : NULL;
}

void Key(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void ClickAt(POINT pt)
{
    SetCursorPos(pt.x, pt.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

}  // namespace
