// The GDI objects this process holds, for tests that open a window part many
// times and check that nothing is left behind.
#pragma once

#include <windows.h>

// Wine keeps no count for GetGuiResources, but its handle table takes a handle
// whose high word is 0 for the entry of its low word, whatever the entry's
// generation: every live object answers.
inline int CountGdiObjects()
{
    const DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (n != 0)
        return int(n);
    int nCount = 0;
    for (UINT_PTR i = 1; i < 0x10000; i++)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0)
            nCount++;
    return nCount;
}
