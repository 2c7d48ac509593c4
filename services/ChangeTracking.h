// The two change flags of the open collection. The main window sets
// g_bChangeTracking while a collection is loaded (and clears it while it loads
// or saves one); while it is set, any change to stored smilie data sets
// g_bCollectionChanged, which the main window reads and clears when it saves
// and when it asks before closing.
#pragma once

#include <windows.h>

extern BOOL g_bChangeTracking;
extern BOOL g_bCollectionChanged;

// Statistics (usage counters, dates of the last send) changed in the open
// collection; set only while g_bStatisticsTracking is on.
extern BOOL g_bStatisticsTracking;
extern BOOL g_bStatisticsChanged;

// Marks a change of the fields or their smilies (g_bCollectionChanged) while
// change tracking is on; does nothing otherwise.
void SetFieldsModified();
// Marks a change of the smilies' usage data (g_bStatisticsChanged) while its
// own tracking is on; does nothing otherwise.
void SetStatisticsModified();
