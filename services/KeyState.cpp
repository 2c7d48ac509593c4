#include "services/KeyState.h"

PFN_GETKEYSTATE g_pfnGetAsyncKeyState = ::GetAsyncKeyState;
PFN_GETKEYSTATE g_pfnGetKeyState = ::GetKeyState;

BOOL IsKeyDownNow(int nVirtKey)
{
    return g_pfnGetAsyncKeyState(nVirtKey) < 0;
}

BOOL IsKeyDown(int nVirtKey)
{
    return g_pfnGetKeyState(nVirtKey) < 0;
}

int VirtKeyOfChar(char ch)
{
    const SHORT nScan = ::VkKeyScanA(ch);
    if (nScan == -1 || LOBYTE(nScan) == 0xFF)
        return ch == '`' ? VK_OEM_3 : 0;
    return LOBYTE(nScan);
}

BOOL InternalInfoKeysDown()
{
    return IsKeyDownNow(VK_MENU) && IsKeyDownNow(VirtKeyOfChar('`'));
}
