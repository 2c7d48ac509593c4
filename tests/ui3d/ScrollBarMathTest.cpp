// The scroll bar's arithmetic: rounding, thumb length, conversions, hit test.
#include "ui3d/controls/ScrollBarMath.h"

#include <gtest/gtest.h>

namespace {

// A vertical bar with 20-pixel arrows and a 200-pixel track.
SBGEOMETRY Bar(int nMin, int nMax, int nPage)
{
    SBGEOMETRY g;
    g.nLength = 240;
    g.nArrowLength = 20;
    g.nTrackLength = 200;
    g.nMin = nMin;
    g.nMax = nMax;
    g.nPage = nPage;
    g.nThumbLength = SbThumbLength(g);
    return g;
}

}  // namespace

TEST(ScrollBarMath, RoundToIntCarriesFromTheLastPlace)
{
    const struct { double v; int expected; } rows[] = {
        {2.4445, 3}, {2.4444, 2}, {0.4445, 1}, {0.5, 1}, {0.44, 0}, {0.49, 1} /* 9 carries into 4 */, {7.0, 7}, {0.0, 0}, {1.9999999999, 2},
        {-2.4, -2},  // the sign's carry goes into the last place and dies out
        {-2.6, -1},  // negative values keep the carry's own rule: nothing in the bar sees them
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.expected, RoundToInt(r.v)) << "value " << r.v;
}

TEST(ScrollBarMath, ThumbLengthFollowsThePageAndStaysInTheTrack)
{
    const struct { int nMin, nMax, nPage, expected; const char* row; } rows[] = {
        {0, 100, 10, 20, "page a tenth of the range"},
        {0, 1000, 1, SB_MIN_THUMB, "tiny page: the minimum"},
        {0, 100, 100, 200, "page the whole range: the whole track"},
        {50, 100, 100, 200, "page above a range that starts over 0: kept within the track"},
        {0, 1, 1, 200, "fresh bar"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.expected, SbThumbLength(Bar(r.nMin, r.nMax, r.nPage))) << r.row;
}

TEST(ScrollBarMath, ConversionsBetweenUnitsAndPixels)
{
    const SBGEOMETRY g = Bar(0, 100, 10);  // travel 180 pixels over 90 units
    const struct { int nUnits, nPixels; } rows[] = {{0, 0}, {1, 2}, {45, 90}, {90, 180}};
    for (const auto& r : rows) {
        EXPECT_EQ(r.nPixels, SbUnitsToPixels(g, r.nUnits)) << "units " << r.nUnits;
        EXPECT_EQ(r.nUnits, SbPixelsToUnits(g, r.nPixels)) << "pixels " << r.nPixels;
    }
    EXPECT_EQ(3, SbPixelsToUnits(g, 5)) << "2.5 rounds up";

    const SBGEOMETRY full = Bar(0, 100, 100);
    EXPECT_EQ(0, SbUnitsToPixels(full, 50)) << "no travel in units";
    EXPECT_EQ(0, SbPixelsToUnits(full, 50)) << "no travel in pixels";

    const SBGEOMETRY over = Bar(50, 100, 100);
    EXPECT_EQ(0, SbUnitsToPixels(over, 60)) << "an oversized page leaves the thumb nowhere to go";
    EXPECT_EQ(0, SbThumbTravel(over));
}

TEST(ScrollBarMath, HitTestAlongTheBar)
{
    SBGEOMETRY g = Bar(0, 100, 10);
    g.nThumbOffset = 50;  // thumb [70, 90)
    const struct { int d, part; } rows[] = {
        {0, SBP_FIRSTARROW}, {19, SBP_FIRSTARROW}, {20, SBP_PAGEBEFORE}, {69, SBP_PAGEBEFORE}, {70, SBP_THUMB},
        {89, SBP_THUMB}, {90, SBP_PAGEAFTER}, {219, SBP_PAGEAFTER}, {220, SBP_SECONDARROW}, {239, SBP_SECONDARROW},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.part, SbHitTest(g, r.d)) << "at " << r.d;

    SBGEOMETRY none = g;
    none.bNoArrows = 1;
    none.nArrowLength = 0;
    none.nTrackLength = 240;
    EXPECT_EQ(SBP_PAGEBEFORE, SbHitTest(none, 0)) << "no arrows: the track starts at 0";
    EXPECT_EQ(SBP_PAGEAFTER, SbHitTest(none, 239));

    SBGEOMETRY halves = g;
    halves.bArrowsOnly = 1;
    halves.nArrowLength = 120;
    EXPECT_EQ(SBP_FIRSTARROW, SbHitTest(halves, 119));
    EXPECT_EQ(SBP_SECONDARROW, SbHitTest(halves, 120));
}
