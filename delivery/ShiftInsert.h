// Shift+Insert for the window in front: the paste key that every target
// program understands.
#pragma once

#include <windows.h>

// The road without SendInput (Windows 95 before its update); tests put in
// their own, as they do with SendInput in the optional functions.
typedef void (WINAPI* PFN_KEYBDEVENT)(BYTE, BYTE, DWORD, ULONG_PTR);
extern PFN_KEYBDEVENT g_pfnKeybdEvent;

// Shift down, Insert down, Insert up, Shift up: one SendInput call of four
// records with virtual key and scan code when SendInput exists, else four
// keybd_event calls.
void SendShiftInsert();
