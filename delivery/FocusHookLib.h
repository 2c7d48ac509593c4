// The binding of the focus-hook library (tarvenex.dll beside the program):
// it watches focus changes system-wide and posts the registered message
// "WM_FOCUSHOOK" to one window of ours, with the window that got the focus
// (or 0) and a screen point. The tray window binds it at creation and cannot
// be created without it.
#pragma once

#include <windows.h>

typedef BOOL(WINAPI* PFN_FOCUSSETHOOK)(HWND hNotifyWnd, UINT nMessage);
typedef BOOL(WINAPI* PFN_FOCUSREMOVEHOOK)();

struct FOCUSHOOKLIB
{
    HMODULE hModule;
    PFN_FOCUSSETHOOK pfnSetHook;
    PFN_FOCUSREMOVEHOOK pfnRemoveHook;
};

// Loads the library by its full path (the program's path with "dll" for its
// last three characters), binds "SetHook" and "RemoveHook" and starts the
// reports to hNotifyWnd. 1 when the hook is active; else 0 with the library
// freed and the record cleared.
int LoadFocusHook(HWND hNotifyWnd, FOCUSHOOKLIB* pLib);
// Stops the reports; the library is freed only when RemoveHook succeeded,
// and only a successful free clears the record. 1 when it was freed.
int UnloadFocusHook(FOCUSHOOKLIB* pLib);

// The library's point: x in the low 16 bits and y in the high, each signed
// (left of and above the primary monitor they are negative).
POINT FocusHookPoint(LPARAM lParam);

// Seam for tests: where the program's own path comes from.
extern DWORD(WINAPI* g_pfnFocusHookProgramPath)(HMODULE hModule, LPSTR pszPath, DWORD nSize);
