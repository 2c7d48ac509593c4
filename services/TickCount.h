// The tick count (milliseconds since the system started) as the program's
// timing rules read it: how soon a notice may come back, how long a messenger
// export may stay silent. Tests put in a clock of their own.
#pragma once

#include <windows.h>

typedef DWORD (WINAPI* PFN_GETTICKCOUNT)();
extern PFN_GETTICKCOUNT g_pfnGetTickCount;
