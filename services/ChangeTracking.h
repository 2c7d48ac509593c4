// The two change flags of the open collection. The main window sets
// g_bChangeTracking while a collection is loaded (and clears it while it loads
// or saves one); while it is set, any change to stored smilie data sets
// g_bCollectionChanged, which the main window reads and clears when it saves
// and when it asks before closing.
#pragma once

#include <windows.h>

extern BOOL g_bChangeTracking;
extern BOOL g_bCollectionChanged;
