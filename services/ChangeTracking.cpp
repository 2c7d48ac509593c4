#include "services/ChangeTracking.h"

BOOL g_bChangeTracking = FALSE;
BOOL g_bCollectionChanged = FALSE;
