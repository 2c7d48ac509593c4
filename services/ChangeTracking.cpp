#include "services/ChangeTracking.h"

BOOL g_bChangeTracking = FALSE;
BOOL g_bCollectionChanged = FALSE;
BOOL g_bStatisticsTracking = FALSE;
BOOL g_bStatisticsChanged = FALSE;

void SetFieldsModified()
{
    if (g_bChangeTracking)
        g_bCollectionChanged = TRUE;
}

void SetStatisticsModified()
{
    if (g_bStatisticsTracking)
        g_bStatisticsChanged = TRUE;
}
