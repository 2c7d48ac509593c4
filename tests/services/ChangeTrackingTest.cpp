// The change flags: each setter marks only its own flag, and only while its
// tracking is on.
#include "services/ChangeTracking.h"

#include <gtest/gtest.h>

namespace {

TEST(ChangeTracking, EachFlagIsSetOnlyUnderItsOwnTracking)
{
    struct Row { BOOL bFields, bStats; void (*pfnSet)(); BOOL bWantFields, bWantStats; const char* what; };
    const Row rows[] = {
        {TRUE, FALSE, SetFieldsModified, TRUE, FALSE, "fields while tracked"},
        {FALSE, TRUE, SetFieldsModified, FALSE, FALSE, "fields while not tracked"},
        {FALSE, TRUE, SetStatisticsModified, FALSE, TRUE, "statistics while tracked"},
        {TRUE, FALSE, SetStatisticsModified, FALSE, FALSE, "statistics while not tracked"},
    };
    for (const Row& r : rows) {
        g_bChangeTracking = r.bFields;
        g_bStatisticsTracking = r.bStats;
        g_bCollectionChanged = g_bStatisticsChanged = FALSE;
        r.pfnSet();
        EXPECT_EQ(r.bWantFields, g_bCollectionChanged) << r.what;
        EXPECT_EQ(r.bWantStats, g_bStatisticsChanged) << r.what;
    }
    g_bChangeTracking = g_bStatisticsTracking = FALSE;
    g_bCollectionChanged = g_bStatisticsChanged = FALSE;
}

}  // namespace
