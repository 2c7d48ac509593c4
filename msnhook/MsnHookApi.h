// What the program needs to drive tarvenex_msnm6.dll or tarvenex_msnm7.dll: the
// exports, bound by name with GetProcAddress (plain C calling convention), the
// completion message, and the codes they report. The program loads a library
// for one export run and unloads it afterwards.
#pragma once

#include <windows.h>

// Registered message posted to the notify window when a run ends:
// wParam 1 (lParam 0) on success, wParam 0 with the failing step in lParam.
#define MSNHOOK_COMPLETION_MESSAGE "WM_TARVENEX_072C52"

// *error of SendMsnSmilie when it returns 0.
enum MSNSENDERROR
{
    MSNSEND_NOT_ATTACHED = 0,   // the library has no module handle
    MSNSEND_BAD_ARGUMENT = 1,   // conversation or notify window not a window, or no path
    MSNSEND_BUSY = 2,           // a run is going on
    MSNSEND_NOT_READY = 3,      // the conversation is disabled, has no surface, or shows a popup
    MSNSEND_HOOK_FAILED = 4     // SetWindowsHookEx refused
};

// Values of GetState.
enum MSNRUNSTATE
{
    MSNRUN_ENDED = -1,              // failed, or ended by Cleanup
    MSNRUN_IDLE = 0,
    MSNRUN_COMPLETED = 1,
    MSNRUN_WAIT_LIST = 2,           // command sent to the conversation, waiting for the emoticon list
    MSNRUN_LIST_HOOKED = 3,
    MSNRUN_LIST_CLOSING = 4,        // the create dialog closed, the list told to close
    MSNRUN_WAIT_CREATE = 5,
    MSNRUN_CREATE_HOOKED = 6,
    MSNRUN_CREATE_CONFIRMED = 7,    // picture and shortcut filled in, OK pressed
    MSNRUN_CONFIRM_HOOKED = 9,
    MSNRUN_CONFIRM_CONFIRMED = 10,
    MSNRUN_CONFIRM_CLOSED = 11
};

extern "C" {
typedef int (*PFN_SENDMSNSMILIE)(HWND conversation, const WCHAR* picturePath, int shortcutIndex,
                                 HWND notifyWindow, UINT notifyMessage, int* error);
typedef int (*PFN_GETSTATE)();
typedef int (*PFN_CLEANUP)();
typedef int (*PFN_ISVERSIONSUPPORTED)(DWORD versionLS, DWORD versionMS);
typedef int (*PFN_NEEDMUTE)();
}
