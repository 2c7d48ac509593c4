// A field view's content on a real window: creation, the focus cell's clamp,
// scrolling by code and wheel, cell size changes, inserted rows, moves and
// the arrangement commands.
#include "tests/fields/gui/FieldTestKit.h"

#include "tests/tools/Pump.h"

#include <set>

using namespace fieldkit;

namespace {

UINT g_nWheelLines = 3;
UINT FakeWheelLines()
{
    return g_nWheelLines;
}

class FieldContent : public FieldFixture
{
protected:
    void TearDown() override
    {
        if (field.m_hWnd != NULL)
            field.DestroyWindow();
        CSmiliesField::s_pfnGetWheelLines = m_pfnWheel;
        FieldFixture::TearDown();
    }

    // The cells that hold a smilie, in reading order.
    std::vector<POINT> Occupied() const
    {
        std::vector<POINT> cells;
        for (int r = 0; r < field.GetRowLimit(); r++)
            for (int c = 0; c < field.GetColumnCount(); c++)
                if (field.GetAt(c, r) != NULL)
                    cells.push_back(POINT{c, r});
        return cells;
    }

    RecordingField field;
    UINT (*m_pfnWheel)() = CSmiliesField::s_pfnGetWheelLines;
};

}  // namespace

TEST_F(FieldContent, CreateRefusesCellSidesOfZeroOrLess)
{
    for (SIZE cell : {SIZE{0, 34}, SIZE{35, 0}, SIZE{-35, 34}}) {
        CSmiliesField bad;
        const RECT rc = {0, 0, 350, 340};
        const FIELDGRIDDEFAULTS grid = Grid();
        const CELLLOOK look = Look();
        EXPECT_FALSE(bad.Create(m_parent.Wnd(), &grid, &look, &rc, cell)) << cell.cx << " x " << cell.cy;
        EXPECT_EQ(NULL, bad.m_hWnd);
    }
}

TEST_F(FieldContent, EmptyFieldScrollsOneCellAndClampsTheFocusCell)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 4 * 34, 35, 34));
    field.UpdateScrollRange(TRUE);
    EXPECT_EQ(10, field.GetColumnCount());
    EXPECT_EQ(5 * 34, field.GetContentHeight()) << "view height plus one cell";
    field.OnVScroll(SB_BOTTOM, 0);
    EXPECT_EQ(34, field.GetScrollPos());

    field.SetFocusCell(99, 99);
    EXPECT_EQ(9, field.GetFocusCell().x);
    EXPECT_EQ(4, field.GetFocusCell().y);
    field.SetFocusCell(-5, -5);
    EXPECT_EQ(0, field.GetFocusCell().x);
    EXPECT_EQ(0, field.GetFocusCell().y);
}

TEST_F(FieldContent, ThumbTrackAndWheel)
{
    ASSERT_TRUE(MakeField(field, m_parent, 360, 360, 36, 36, Grid(963)));
    const POINT last = {0, 180};
    ASSERT_NE(nullptr, field.AddSmilie(&last, 0, "", NULL));
    field.UpdateScrollRange(FALSE);
    EXPECT_EQ(182 * 36, field.GetContentHeight());
    field.OnVScroll(SB_THUMBTRACK, 70000);
    EXPECT_EQ(4464, field.GetScrollPos()) << "a thumb-track position is 16 bits";
    field.OnVScroll(SB_LINEUP, 0);
    EXPECT_EQ(4463, field.GetScrollPos());
    field.OnVScroll(SB_TOP, 0);

    CSmiliesField::s_pfnGetWheelLines = FakeWheelLines;
    POINT ptScreen = {10, 10};
    ClientToScreen(field.m_hWnd, &ptScreen);
    const struct {
        UINT nLines;
        short nDelta;
        int nStart, nPos;
        const char* pszWhat;
    } rows[] = {
        {3, -120, 0, 36, "three lines a notch: one cell"},
        {3, -360, 0, 36, "only the sign of the delta counts"},
        {1, -120, 0, 12, "one line: a third of a cell"},
        {1, 120, 100, 88, "up"},
        {3, 120, 10, 0, "not above the top"},
        {WHEEL_PAGESCROLL, -120, 0, 360, "page scrolling: one view height"},
        {0xFFFFFF, -1, 0, 360, "a huge line count: one page"},
    };
    for (const auto& r : rows) {
        g_nWheelLines = r.nLines;
        field.SetScrollPos(r.nStart, TRUE);
        Send(field, WM_MOUSEWHEEL, MAKEWPARAM(0, r.nDelta), MAKELPARAM(ptScreen.x, ptScreen.y));
        EXPECT_EQ(r.nPos, field.GetScrollPos()) << r.pszWhat;
    }
}

TEST_F(FieldContent, WiderCellsKeepTheReadingOrderAndDropWhatFallsBeyondTheRows)
{
    ASSERT_TRUE(MakeField(field, m_parent, 400, 340, 40, 34));
    ASSERT_EQ(10, field.GetColumnCount());
    const POINT cells[] = {{3, 1}, {9, 0}, {9, 127}, {0, 2}};
    CSmilie* smilies[4];
    for (int i = 0; i < 4; i++)
        smilies[i] = field.AddSmilie(&cells[i], 0, "", NULL);
    // Client width 400 takes cells from 57 x 38 up.
    field.SetCellSize(NULL, 60, 40);
    ASSERT_EQ(6, field.GetColumnCount());
    // Index row x 10 + column, laid out in 6 columns.
    EXPECT_EQ(smilies[0], field.GetAt(13 % 6, 13 / 6));
    EXPECT_EQ(smilies[1], field.GetAt(9 % 6, 9 / 6));
    EXPECT_EQ(smilies[3], field.GetAt(20 % 6, 20 / 6));
    EXPECT_EQ(3, field.GetSmilieCount()) << "index 1279 falls on row 213, beyond row 127";
    EXPECT_EQ(60, smilies[0]->m_nCellWidth);
    EXPECT_EQ(1, smilies[0]->m_nColumn);
    EXPECT_EQ(2, smilies[0]->m_nRow);
}

TEST_F(FieldContent, HeightOnlyAndRefusedSizesKeepEveryPlace)
{
    ASSERT_TRUE(MakeField(field, m_parent, 400, 340, 60, 40));
    const POINT cell = {5, 3};
    CSmilie* pSmilie = field.AddSmilie(&cell, 0, "", NULL);
    field.SetCellSize(NULL, 60, 50);
    EXPECT_EQ(pSmilie, field.GetAt(5, 3));
    EXPECT_EQ(50, pSmilie->m_nCellHeight);
    EXPECT_EQ(50, field.GetCellHeight());

    // Client width 400: a seventh is 57, two thirds of that 38.
    const struct {
        int cx, cy;
        bool bTaken;
    } rows[] = {{56, 38, false}, {57, 37, false}, {201, 100, false}, {100, 401, false}, {57, 38, true}};
    for (const auto& r : rows) {
        field.SetCellSize(NULL, 60, 50);
        field.SetCellSize(NULL, r.cx, r.cy);
        EXPECT_EQ(r.bTaken ? r.cx : 60, field.GetCellWidth()) << r.cx << " x " << r.cy;
        EXPECT_EQ(r.bTaken ? r.cy : 50, field.GetCellHeight()) << r.cx << " x " << r.cy;
    }
    field.SetCellSize(NULL, 0, 0);
    EXPECT_EQ(57, field.GetCellWidth());

    // Resizing the window keeps the columns until the cell size changes.
    const int nColumns = field.GetColumnCount();
    ::SetWindowPos(field.m_hWnd, NULL, 0, 0, 200, 340, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(nColumns, field.GetColumnCount());
}

TEST_F(FieldContent, InsertRowsMovesTheRowsBelowAndDropsThoseOffTheGrid)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34, Grid(10)));
    const POINT cells[] = {{0, 0}, {2, 1}, {5, 2}, {9, 9}};
    CSmilie* smilies[4];
    for (int i = 0; i < 4; i++)
        smilies[i] = field.AddSmilie(&cells[i], 0, "", NULL);
    const POINT ptBelow = {5, 10 * 34 + 5};   // row 10: below the last used row
    EXPECT_EQ(0, field.InsertRows(&ptBelow, 2, TRUE));

    const POINT ptRow1 = {100, 34 + 5};
    EXPECT_EQ(3, field.InsertRows(&ptRow1, 2, TRUE));
    EXPECT_EQ(smilies[0], field.GetAt(0, 0));
    EXPECT_EQ(smilies[1], field.GetAt(2, 3));
    EXPECT_EQ(smilies[2], field.GetAt(5, 4));
    EXPECT_EQ(3, field.GetSmilieCount()) << "row 9 + 2 lies beyond the 10 rows";
    EXPECT_EQ(3, smilies[1]->m_nRow);
    EXPECT_EQ(0, g_BusyCount);
}

TEST_F(FieldContent, MovesWithinAndBetweenFieldsAndOffTheGrid)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34, Grid(10)));
    RecordingField other;
    const RECT rc = {0, 0, 350, 340};
    const FIELDGRIDDEFAULTS grid = Grid(10);
    const CELLLOOK look = Look();
    ASSERT_TRUE(other.Create(m_parent.Wnd(), &grid, &look, &rc, SIZE{35, 34}));
    const POINT a = {1, 1}, b = {2, 2};
    CSmilie* pA = field.AddSmilie(&a, 0, "", NULL);
    CSmilie* pB = field.AddSmilie(&b, 0, "", NULL);

    EXPECT_FALSE(field.MoveSmilie(&b, pA)) << "a taken cell keeps its smilie";
    const POINT c = {4, 0};
    EXPECT_TRUE(field.MoveSmilie(&c, pA));
    EXPECT_EQ(pA, field.GetAt(4, 0));
    EXPECT_EQ(NULL, field.GetAt(1, 1));

    EXPECT_TRUE(other.MoveSmilie(&a, pB));
    EXPECT_EQ(pB, other.GetAt(1, 1));
    EXPECT_EQ(static_cast<CSmilieField*>(&other), pB->m_pField);
    EXPECT_EQ(1, field.GetSmilieCount());

    const POINT off = {0, 10};
    EXPECT_TRUE(field.MoveSmilie(&off, pA));
    EXPECT_EQ(0, field.GetSmilieCount()) << "a smilie moved off the grid is deleted";
    other.DestroyWindow();
}

TEST_F(FieldContent, PackAndSpreadLayouts)
{
    // 8 columns: 30 smilies spread over the grid with gaps.
    ASSERT_TRUE(MakeField(field, m_parent, 8 * 35, 340, 35, 34));
    for (int i = 0; i < 30; i++) {
        const POINT cell = {(i * 3) % 8, i * 2};
        field.AddSmilie(&cell, 0, "", NULL);
    }
    field.Arrange(1);
    EXPECT_EQ(1, ParentWindow::s_nUndoSteps) << "an undo step goes to the container first";
    std::vector<POINT> cells = Occupied();
    ASSERT_EQ(30u, cells.size());
    EXPECT_EQ(3, cells.back().y);
    EXPECT_EQ(5, cells.back().x) << "rows 0 to 2 and the first 6 cells of row 3";
    EXPECT_EQ(0, g_BusyCount);

    // Command 3: the 9th smilie at column 0 of row 2.
    CSmilie* pNinth = field.GetAt(0, 1);
    field.Arrange(3);
    EXPECT_EQ(pNinth, field.GetAt(0, 2));
    EXPECT_EQ(30, field.GetSmilieCount());

    // Command 4 keeps every smilie inside the 8 columns: four per row.
    field.Arrange(4);
    cells = Occupied();
    ASSERT_EQ(30u, cells.size());
    for (const POINT& cell : cells)
        EXPECT_EQ(0, cell.x % 2) << cell.x << "," << cell.y;
    EXPECT_EQ(7, cells.back().y);
}

TEST_F(FieldContent, EveryOtherCellInNineColumns)
{
    ASSERT_TRUE(MakeField(field, m_parent, 9 * 35, 340, 35, 34));
    Fill(field, 12);
    CSmilie* pSixth = field.GetAt(5, 0);
    field.Arrange(2);
    EXPECT_EQ(pSixth, field.GetAt(1, 1));
    EXPECT_EQ(12, field.GetSmilieCount());
}

TEST_F(FieldContent, LayoutsDropTheSmiliesBeyondTheLastRow)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34, Grid(128)));
    for (int nCommand : {2, 3}) {
        field.DeleteAllSmilies();
        Fill(field, 700);
        field.Arrange(nCommand);
        EXPECT_EQ(640, field.GetSmilieCount()) << "command " << nCommand;
        EXPECT_EQ(128 * 34, field.GetContentHeight());
    }
}

TEST_F(FieldContent, SortsKeepTheGaps)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34));
    const POINT cells[] = {{0, 0}, {4, 0}, {2, 3}, {9, 5}};
    const DWORD counts[] = {1, 7, 3, 9};
    for (int i = 0; i < 4; i++)
        field.AddSmilie(&cells[i], 0, "", NULL)->m_nUsageCount = counts[i];
    field.Arrange(9);
    const std::vector<POINT> after = Occupied();
    ASSERT_EQ(4u, after.size());
    const DWORD want[] = {9, 7, 3, 1};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(cells[i].x, after[i].x);
        EXPECT_EQ(cells[i].y, after[i].y);
        const CSmilie* pSmilie = field.GetAt(after[i].x, after[i].y);
        EXPECT_EQ(want[i], pSmilie->m_nUsageCount) << "cell " << i;
        EXPECT_EQ(after[i].x, pSmilie->m_nColumn);
        EXPECT_EQ(after[i].y, pSmilie->m_nRow);
    }
    // An empty field arranges nothing and pushes no undo step.
    const int nSteps = ParentWindow::s_nUndoSteps;
    field.DeleteAllSmilies();
    field.Arrange(1);
    EXPECT_EQ(nSteps, ParentWindow::s_nUndoSteps);
}

TEST_F(FieldContent, AddingNeedsAFreeCellInTheGrid)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34, Grid(3)));
    const POINT cell = {9, 2};
    ASSERT_NE(nullptr, field.AddSmilie(&cell, 0, "", NULL));
    EXPECT_EQ(nullptr, field.AddSmilie(&cell, 0, "", NULL)) << "a taken cell";
    EXPECT_EQ(nullptr, field.AddSmilie(NULL, 0, "", NULL)) << "the next free cell is row 3, beyond the grid";
    const POINT off = {10, 0};
    EXPECT_EQ(nullptr, field.AddSmilie(&off, 0, "", NULL));
    EXPECT_EQ(1, field.GetSmilieCount());
    POINT next;
    field.GetNextFreeCell(&next);
    EXPECT_EQ(0, next.x);
    EXPECT_EQ(3, next.y);
}
