// A field's grid arithmetic in tables: row limits, content heights, scroll
// codes, wheel steps, accepted cell sizes and where arrangements place smilies.
#include "fields/FieldGeometry.h"

#include <gtest/gtest.h>

TEST(FieldGeometry, RowLimitKeepsScrollPositionsWithin16Bits)
{
    const struct {
        int nRows, nCellHeight, nLimit;
    } rows[] = {
        {128, 40, 128},           // the view's default rows
        {128, 600, 108},          // 65535 / 600 - 1
        {963, 34, 963},           // the skin's grid at its cell height
        {963, 68, 962},           // 65535 / 68 - 1
        {963, 100, 654},
        {963, 0, 0},              // no cell height: no rows, no division
        {-1, 40, 65535 / 40 - 1}, // a wild row count is taken unsigned: the cap holds
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.nLimit, FieldRowLimit(r.nRows, r.nCellHeight)) << r.nRows << " rows of " << r.nCellHeight;
}

TEST(FieldGeometry, ContentHeightKeepsOneEmptyRowBelowTheLastUsed)
{
    const struct {
        int nLastRow, nCellHeight, nView, nLimit, nHeight;
    } rows[] = {
        {-1, 34, 340, 128, 374},       // empty: the view and one more cell
        {-1, 34, 0, 128, 34},
        {20, 34, 340, 128, 22 * 34},   // last used row + 2
        {5, 34, 340, 128, 374},        // raised to view + cell
        {127, 34, 340, 128, 128 * 34}, // never past the row limit
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.nHeight, FieldContentHeight(r.nLastRow, r.nCellHeight, r.nView, r.nLimit))
            << "last row " << r.nLastRow << ", view " << r.nView;
}

TEST(FieldGeometry, ScrollCodes)
{
    // View 300 high over content 5000: the maximum position is 4700.
    const int nView = 300, nContent = 5000;
    const struct {
        int nCode, nTrack, nPos, nNew;
        const char* pszWhat;
    } rows[] = {
        {SB_LINEUP, 0, 10, 9, "a line is one pixel"},
        {SB_LINEUP, 0, 0, -1, "not above the top"},
        {SB_LINEDOWN, 0, 10, 11, "a line down"},
        {SB_LINEDOWN, 0, 4700, -1, "not below the bottom"},
        {SB_PAGEUP, 0, 100, 0, "a page up stops at the top"},
        {SB_PAGEDOWN, 0, 4500, 4700, "a page down stops at the bottom"},
        {SB_PAGEDOWN, 0, 100, 400, "a page is the view height"},
        {SB_THUMBPOSITION, 123, 10, -1, "the end of a thumb drag changes nothing"},
        {SB_THUMBTRACK, 70000, 0, 4464, "only the low 16 bits count"},
        {SB_THUMBTRACK, 9000, 0, 4700, "a track past the bottom stops there"},
        {SB_TOP, 0, 50, 0, "top"},
        {SB_BOTTOM, 0, 50, 4700, "bottom"},
        {SB_BOTTOM, 0, 4700, -1, "already there"},
        {99, 0, 50, -1, "unknown code"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.nNew, FieldScrollTarget(r.nCode, r.nTrack, r.nPos, nView, nContent)) << r.pszWhat;
    // Content lower than the view: nothing moves down.
    EXPECT_EQ(-1, FieldScrollTarget(SB_LINEDOWN, 0, 0, 300, 200));
    EXPECT_EQ(-1, FieldScrollTarget(SB_BOTTOM, 0, 0, 300, 200));
    EXPECT_EQ(-1, FieldScrollTarget(SB_THUMBTRACK, 50, 0, 300, 200));
}

TEST(FieldGeometry, WheelStepIsBoundedByThePage)
{
    const struct {
        UINT nLines;
        int nCellHeight, nView, nStep;
        const char* pszWhat;
    } rows[] = {
        {3, 36, 340, 36, "the default moves one cell per notch"},
        {1, 36, 340, 12, "one line is a third of a cell"},
        {0, 36, 340, 0, "no lines, no scrolling"},
        {WHEEL_PAGESCROLL, 36, 340, 340, "page scrolling moves one view height"},
        {1000, 36, 340, 340, "a huge line count moves at most a page"},
        {0x7FFFFFFF, 36, 340, 340, "no overflow to a negative step"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.nStep, FieldWheelStep(r.nLines, r.nCellHeight, r.nView)) << r.pszWhat;
}

TEST(FieldGeometry, AcceptedCellSizes)
{
    // Client width 350: a seventh is 50, two thirds of that 33, half 175.
    const struct {
        int cx, cy;
        BOOL bAccepted;
    } rows[] = {
        {50, 33, TRUE},  {49, 33, FALSE}, {50, 32, FALSE}, {175, 350, TRUE},
        {176, 100, FALSE}, {100, 351, FALSE}, {0, 40, FALSE}, {40, 0, FALSE}, {-50, -33, FALSE},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.bAccepted, IsFieldCellSizeAccepted(350, r.cx, r.cy)) << r.cx << " x " << r.cy;
    // A window narrower than 7 pixels has no lower bound of 1 or more: 0 stays refused.
    EXPECT_FALSE(IsFieldCellSizeAccepted(6, 0, 0));
}

TEST(FieldGeometry, ArrangementPlacements)
{
    const struct {
        int nCommand, i, nColumns, x, y;
        const char* pszWhat;
    } rows[] = {
        {1, 29, 8, 5, 3, "packing 30 in 8 columns ends at the 6th cell of row 3"},
        {1, 23, 8, 7, 2, "row 2 is full"},
        {2, 5, 9, 1, 1, "every other cell: the 6th smilie at column 1 of row 1"},
        {3, 8, 8, 0, 2, "every other row: the 9th smilie at column 0 of row 2"},
        {3, 15, 8, 7, 2, ""},
        {4, 0, 8, 0, 0, "every other column"},
        {4, 3, 8, 6, 0, "four per row in 8 columns"},
        {4, 4, 8, 0, 1, ""},
        {4, 4, 9, 8, 0, "five per row in 9 columns, the last in column 8"},
        {4, 5, 9, 0, 1, ""},
        {4, 0, 1, 0, 0, "one column"},
        {4, 1, 1, 0, 1, ""},
        {5, 0, 8, -1, -1, "a sort places nothing"},
        {1, 0, 0, -1, -1, "no columns"},
    };
    for (const auto& r : rows) {
        const POINT pt = FieldArrangeCell(r.nCommand, r.i, r.nColumns);
        EXPECT_EQ(r.x, pt.x) << r.pszWhat << " (command " << r.nCommand << ", i " << r.i << ")";
        EXPECT_EQ(r.y, pt.y) << r.pszWhat << " (command " << r.nCommand << ", i " << r.i << ")";
    }
    // Command 4 never leaves the grid, whatever the column count.
    for (int nColumns = 1; nColumns <= 20; nColumns++)
        for (int i = 0; i < 100; i++)
            ASSERT_LT(FieldArrangeCell(4, i, nColumns).x, nColumns) << nColumns << " columns, i " << i;
}

TEST(FieldGeometry, FrameTicks)
{
    EXPECT_EQ(9, FieldFrameTicks(95));
    EXPECT_EQ(6, FieldFrameTicks(60));
    EXPECT_EQ(0, FieldFrameTicks(5));
}
