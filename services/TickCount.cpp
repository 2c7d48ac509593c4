#include "services/TickCount.h"

PFN_GETTICKCOUNT g_pfnGetTickCount = ::GetTickCount;
