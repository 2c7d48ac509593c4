// The state of the keys as the program reads it: whether a key is held now
// (asynchronously, as the hardware says) or was held when the current message
// was sent. Tests put in their own readers, so that menus that show more
// while a key is held can be tried without pressing anything.
#pragma once

#include <windows.h>

typedef SHORT (WINAPI* PFN_GETKEYSTATE)(int);
extern PFN_GETKEYSTATE g_pfnGetAsyncKeyState;
extern PFN_GETKEYSTATE g_pfnGetKeyState;

// Whether the key is down now.
BOOL IsKeyDownNow(int nVirtKey);
// Whether the key was down when the message being handled was sent.
BOOL IsKeyDown(int nVirtKey);
// The virtual key that types the character on the current keyboard layout
// (VK_OEM_3 for "`" when the layout has no key for it).
int VirtKeyOfChar(char ch);
// Whether both Alt and the key that types "`" are held now: the keys that
// ask menus for their lines of internal information.
BOOL InternalInfoKeysDown();
