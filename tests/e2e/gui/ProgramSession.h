// What the tests of the whole program share: dist/tarvenex.exe started as a
// process of its own in a prefix set up as a user has it after the first
// start, its windows found from outside, and the user's keys and clicks sent
// in through SendInput. Every wait is bounded.
#pragma once

#include "tests/services/RegistrySandbox.h"   // RegistrySandbox::DeleteTree
#include "tests/tools/Pump.h"
#include "tests/tools/StandInTarget.h"        // TempDirFor

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace session {

const char kSettingsKey[] = "Software\\Mordale\\Tarvenex";
const char kTrayClass[] = "Tarvenex Tray Window";
const char kMainClass[] = "Tarvenex Main Window";
const UINT WM_TRAYNOTIFY_ = WM_APP + 6;

inline std::string Dist()
{
    return std::string(TVNX_BINARY_DIR) + "\\dist\\";
}

// ---- the prefix as a user has it after the first start ---------------------------------

inline void SetSetting(const char* pszName, DWORD dw)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey,
                                             NULL));
    RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
    RegCloseKey(hKey);
}

inline void SetSetting(const char* pszName, const std::string& text)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey,
                                             NULL));
    RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    RegCloseKey(hKey);
}

// The settings after the first start, with nothing that waits for the user
// (first-time setup, tips, tray tips, fades, warnings, the hiding animation),
// and a fresh data folder holding a copy of the demo collection, which the
// settings name. The folder, the copy and the settings go again at the end.
class FirstStartPrefix
{
public:
    FirstStartPrefix(const char* pszWhat, bool bMainWindowAtStartup)
        : dataFolder(TempDirFor(pszWhat)), demoFile(dataFolder + "\\demo.tvnx")
    {
        if (!CreateDirectoryA(dataFolder.c_str(), NULL) ||
            !CopyFileA((Dist() + "demo.tvnx").c_str(), demoFile.c_str(), FALSE))
            return;
        RegistrySandbox::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        for (const char* pszOff : {"ShowFirstTimeSetup", "TrayTipAtStartup", "FadeDialogs", "WarnMinimizingToTray",
                                   "WarnNoInternetConnection", "WarnExit", "MainWndAnimateHidingToTray"})
            SetSetting(pszOff, 0);
        SetSetting("MainWndOpenAtStartup", bMainWindowAtStartup ? 1 : 0);
        SetSetting("ShowTipsOfTheDay", DWORD(-1));
        SetSetting("AppDataFolder", dataFolder);
        SetSetting("SmilieCollection", demoFile);
        ready = true;
    }
    ~FirstStartPrefix()
    {
        DeleteFileA(demoFile.c_str());
        RemoveDirectoryA(dataFolder.c_str());
        RegistrySandbox::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Mordale");
    }

    FirstStartPrefix(const FirstStartPrefix&) = delete;
    FirstStartPrefix& operator=(const FirstStartPrefix&) = delete;

    const std::string dataFolder;
    const std::string demoFile;
    bool ready = false;   // the folder, the copy and the settings are in place
};

// ---- windows seen from outside ------------------------------------------------------------

struct WindowSearch
{
    const char* pszClass;   // a class, or the start of one (any case)
    HWND hWnd;
};

inline bool HasClass(HWND hWnd, const char* pszClass)
{
    char sz[64];
    return GetClassNameA(hWnd, sz, sizeof(sz)) > 0 && _strnicmp(sz, pszClass, strlen(pszClass)) == 0;
}

inline BOOL CALLBACK FindVisible(HWND hWnd, LPARAM l)
{
    WindowSearch* f = reinterpret_cast<WindowSearch*>(l);
    if (!IsWindowVisible(hWnd) || !HasClass(hWnd, f->pszClass))
        return TRUE;
    f->hWnd = hWnd;
    return FALSE;
}

inline BOOL CALLBACK FindAny(HWND hWnd, LPARAM l)
{
    WindowSearch* f = reinterpret_cast<WindowSearch*>(l);
    if (!HasClass(hWnd, f->pszClass))
        return TRUE;
    f->hWnd = hWnd;
    return FALSE;
}

// The top-level window of that class (visible, if asked), within nMillis; NULL when none came.
inline HWND WaitForWindow(const char* pszClass, DWORD nMillis, bool bVisible)
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

// The window of the field on show: the largest visible window inside the main
// window that holds no visible window of its own (the fields' container holds
// the field, its tabs and its scroll bar).
struct LargestLeaf
{
    HWND hWnd = NULL;
    long nArea = 0;
};

inline BOOL CALLBACK VisitLeaf(HWND hWnd, LPARAM l)
{
    LargestLeaf* b = reinterpret_cast<LargestLeaf*>(l);
    for (HWND h = GetWindow(hWnd, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h))
            return TRUE;
    RECT rc;
    if (IsWindowVisible(hWnd) && GetClientRect(hWnd, &rc) && long(rc.right) * rc.bottom > b->nArea) {
        b->nArea = long(rc.right) * rc.bottom;
        b->hWnd = hWnd;
    }
    return TRUE;
}

inline HWND FieldWindow(HWND hMain)
{
    LargestLeaf best;
    EnumChildWindows(hMain, VisitLeaf, reinterpret_cast<LPARAM>(&best));
    return best.hWnd;
}

// ---- processes --------------------------------------------------------------------------------

// A process started on a desktop (NULL: the thread's own), ended with the
// test if it is still running then.
class Process
{
public:
    Process(const std::string& exe, const char* pszDesktop)
    {
        std::string cmd = "\"" + exe + "\"";
        STARTUPINFOA si = {sizeof(si)};
        si.lpDesktop = const_cast<char*>(pszDesktop);
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        started = CreateProcessA(exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi) != 0;
    }
    ~Process()
    {
        if (m_pi.hProcess == NULL)
            return;
        if (!Ended(0)) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    // Pumps until the process ended, or for nMillis.
    bool Ended(DWORD nMillis)
    {
        return PumpUntil([&] { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }, nMillis);
    }
    // Its exit status once it ended within nMillis; -1 when it did not.
    long WaitForEnd(DWORD nMillis)
    {
        if (!Ended(nMillis))
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return long(code);
    }
    // The visible top-level window of the process's first thread with that class.
    HWND Window(const char* pszClass, DWORD nMillis)
    {
        WindowSearch find = {pszClass, NULL};
        PumpUntil(
            [&] {
                EnumThreadWindows(m_pi.dwThreadId, FindVisible, reinterpret_cast<LPARAM>(&find));
                return find.hWnd != NULL;
            },
            nMillis);
        return find.hWnd;
    }

    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started = false;

private:
    PROCESS_INFORMATION m_pi = {};
};

// ---- the user's keys and clicks -------------------------------------------------------------

inline void Key(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// A move of the mouse to a point on the screen, in SendInput's absolute units.
inline INPUT MoveTo(POINT pt)
{
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = (pt.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = (pt.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return move;
}

// The cursor moves onto the point and stays there.
//
// Under Wine the X pointer follows a move sent by SendInput a moment later,
// and X tells the program whose window lies under the pointer where the
// pointer is whenever windows change under it (a program starts, the focus
// moves); the program turns that news into a move of its own when it reads it,
// late under load. News from before the pointer came here sets the cursor back
// to the cell clicked before, and a press that follows is taken for a drag. So
// a test puts the pointer on the point before the windows change, and this
// waits, bounded, until the cursor has stayed on the point past Wine's own
// look at the X pointer (it asks X once its own position is 100 ms old), the
// move sent again, and the cursor set, if it was set back.
inline bool PointAt(POINT pt, POINT* pLast)
{
    INPUT move = MoveTo(pt);
    SendInput(1, &move, sizeof(INPUT));
    SetCursorPos(pt.x, pt.y);
    DWORD nAtSince = 0;
    bool bAt = false;
    return PumpUntil([&] {
        if (!GetCursorPos(pLast) || pLast->x != pt.x || pLast->y != pt.y) {
            bAt = false;
            SendInput(1, &move, sizeof(INPUT));
            SetCursorPos(pt.x, pt.y);
            return false;
        }
        if (!bAt) {
            bAt = true;
            nAtSince = GetTickCount();
        }
        return GetTickCount() - nAtSince >= 250;
    }, 15000);
}

// A click on the point, only once the cursor stays there; the press and the
// release carry the point too.
inline void ClickAt(POINT pt)
{
    POINT last = {-1, -1};
    if (!PointAt(pt, &last)) {
        ADD_FAILURE() << "the cursor did not stay on (" << pt.x << ", " << pt.y << "), last at (" << last.x << ", "
                      << last.y << "); no click";
        return;
    }
    INPUT in[2] = {MoveTo(pt), MoveTo(pt)};
    in[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

// Opens the tray menu as a click on the icon does and chooses its last item,
// Exit, with the keyboard.
inline void ExitFromTheTrayMenu(HWND hTray)
{
    PostMessageA(hTray, WM_TRAYNOTIFY_, 1, WM_RBUTTONDOWN);
    HWND hMenu = NULL;
    ASSERT_TRUE(PumpUntil([&] { return (hMenu = FindWindowA("#32768", NULL)) != NULL && IsWindowVisible(hMenu); },
                          10000))
        << "the tray menu did not open";
    Key(VK_UP);
    Key(VK_RETURN);
}

}  // namespace session
