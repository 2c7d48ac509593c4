// A field view driven by sent mouse and key messages: what it reports through
// its overridables (click, drag, menus, resize) and what it selects.
#include "tests/fields/gui/FieldTestKit.h"

#include "tests/tools/Pump.h"

using namespace fieldkit;

namespace {

// A 10 x 10 field of 35 x 34 cells with a smilie in each of the first rows.
class FieldMouse : public FieldFixture
{
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34, Grid(128)));
        Fill(field, 60);
        PumpPending();
    }
    void TearDown() override
    {
        field.DestroyWindow();
        FieldFixture::TearDown();
    }

    // The middle of a cell's body, clear of its buttons and its grip.
    static POINT Body(int c, int r, int nScroll = 0) { return POINT{c * 35 + 20, r * 34 + 20 - nScroll}; }
    void Down(POINT pt, UINT nMessage = WM_LBUTTONDOWN, UINT nFlags = MK_LBUTTON)
    {
        Send(field, nMessage, nFlags, MAKELPARAM(pt.x, pt.y));
    }
    void Up(POINT pt, UINT nMessage = WM_LBUTTONUP) { Send(field, nMessage, 0, MAKELPARAM(pt.x, pt.y)); }
    std::vector<const CSmilie*> Selected() const
    {
        CSequence<const CSmilie*> list;
        field.GetSelection(&list);
        std::vector<const CSmilie*> v;
        for (int i = 0; field.GetSelectedCount() != 0 && i < list.GetSize(); i++)
            v.push_back(list[i]);
        return v;
    }

    RecordingField field;
};

}  // namespace

TEST_F(FieldMouse, AClickSendsOnceAndClearsTheSelection)
{
    const POINT pt = Body(2, 1);
    Move(field, pt.x, pt.y);
    ASSERT_EQ(field.GetAt(2, 1), field.GetHotSmilie());
    Down(pt);
    EXPECT_TRUE(field.GetAt(2, 1)->m_bPressed);
    Up(pt);
    ASSERT_EQ(1u, field.clicks.size());
    EXPECT_EQ(field.GetAt(2, 1), field.clicks[0]);
    EXPECT_FALSE(field.GetAt(2, 1)->m_bPressed) << "the press is released";

    // A selected smilie is sent too, and the selection goes.
    field.SetSmilieSelected(TRUE, 2, 1);
    field.SetSmilieSelected(TRUE, 3, 1);
    Down(pt);
    Up(pt);
    EXPECT_EQ(2u, field.clicks.size());
    EXPECT_EQ(0, field.GetSelectedCount());
    EXPECT_TRUE(field.drags.empty());
}

// The move onto a cell can reach another window instead (a preview popup over
// the cell that closes on it; a window of ours in front while the program is
// in the background): a press without it still goes to the smilie under it,
// never to the one hot before, and a press on an empty cell presses nothing.
TEST_F(FieldMouse, APressWithoutTheMoveBeforeItTakesTheSmilieUnderIt)
{
    const POINT before = Body(1, 0);
    const struct {
        const char* name;
        POINT pt;
        bool bLeft;
    } rows[] = {
        {"left, a neighbour", Body(0, 0), true},
        {"left, another row", Body(4, 1), true},
        {"right, a neighbour", Body(2, 0), false},
    };
    for (const auto& r : rows) {
        field.clicks.clear();
        const int nMenus = field.nSmilieMenus;
        Move(field, before.x, before.y);
        ASSERT_EQ(field.GetAt(1, 0), field.GetHotSmilie()) << r.name;
        const CSmilie* pUnder = field.GetAt(field.CellFromPoint(r.pt).x, field.CellFromPoint(r.pt).y);
        if (r.bLeft) {
            Down(r.pt);
            Up(r.pt);
            ASSERT_EQ(1u, field.clicks.size()) << r.name;
            EXPECT_EQ(pUnder, field.clicks[0]) << r.name;
        } else {
            Down(r.pt, WM_RBUTTONDOWN, MK_RBUTTON);
            Up(r.pt, WM_RBUTTONUP);
            EXPECT_EQ(nMenus + 1, field.nSmilieMenus) << r.name;
            EXPECT_EQ(pUnder, field.GetHotSmilie()) << r.name;
        }
        EXPECT_FALSE(field.GetAt(1, 0)->m_bPressed) << r.name;
    }
    Move(field, before.x, before.y);
    const POINT empty = Body(4, 7);
    ASSERT_EQ(nullptr, field.GetAt(4, 7));
    Down(empty);
    Up(empty);
    EXPECT_TRUE(field.clicks.empty()) << "an empty cell sends nothing";
}

TEST_F(FieldMouse, PastTheDragDistanceTheSelectionOrThePressedSmilieIsDragged)
{
    const int cx = GetSystemMetrics(SM_CXDRAG);
    const POINT pt = Body(1, 0);
    Move(field, pt.x, pt.y);
    Down(pt);
    Move(field, pt.x + cx, pt.y, MK_LBUTTON);
    EXPECT_TRUE(field.drags.empty()) << "within the drag distance";
    Move(field, pt.x + cx + 1, pt.y, MK_LBUTTON);
    ASSERT_EQ(1u, field.drags.size());
    ASSERT_EQ(1u, field.drags[0].size());
    EXPECT_EQ(field.GetAt(1, 0), field.drags[0][0]);
    EXPECT_TRUE(field.dragLeft[0]);
    Up(POINT{pt.x + cx + 1, pt.y});
    EXPECT_TRUE(field.clicks.empty()) << "a drag sends nothing";

    // With the pressed smilie selected, the whole selection goes.
    field.SetSmilieSelected(TRUE, 1, 0);
    field.SetSmilieSelected(TRUE, 4, 2);
    Move(field, pt.x, pt.y);
    Down(pt);
    EXPECT_EQ(2, field.GetSelectedCount()) << "pressing a selected smilie keeps the selection";
    Move(field, pt.x, pt.y + GetSystemMetrics(SM_CYDRAG) + 1, MK_LBUTTON);
    ASSERT_EQ(2u, field.drags.size());
    EXPECT_EQ(2u, field.drags[1].size());

    // The right button drags too.
    const POINT pt2 = Body(5, 1);
    Move(field, pt2.x, pt2.y);
    Down(pt2, WM_RBUTTONDOWN, MK_RBUTTON);
    Move(field, pt2.x + cx + 1, pt2.y, MK_RBUTTON);
    ASSERT_EQ(3u, field.drags.size());
    EXPECT_FALSE(field.dragLeft[2]);
}

TEST_F(FieldMouse, ResizeGripStartsTheResizeAtOnePixel)
{
    const POINT grip = {2 * 35 + 32, 1 * 34 + 31};
    ASSERT_TRUE(field.IsOnResizeGrip(NULL, grip));
    Move(field, grip.x, grip.y);
    Down(grip);
    Move(field, grip.x + 1, grip.y, MK_LBUTTON);
    ASSERT_EQ(1u, field.resizes.size());
    EXPECT_EQ(field.GetAt(2, 1), field.resizes[0]);
}

TEST_F(FieldMouse, ARightPressMovedFourPixelsClearsThreeOpensTheMenu)
{
    const POINT pt = Body(3, 2);
    const struct {
        int dx;
        int nMenus;
    } rows[] = {{3, 1}, {4, 0}, {0, 1}};
    int nMenus = 0;
    for (const auto& r : rows) {
        field.SetSmilieSelected(TRUE, 0, 0);
        field.SetSmilieSelected(TRUE, 1, 0);
        Move(field, pt.x, pt.y);
        Down(pt, WM_RBUTTONDOWN, MK_RBUTTON);
        Up(POINT{pt.x + r.dx, pt.y}, WM_RBUTTONUP);
        nMenus += r.nMenus;
        EXPECT_EQ(nMenus, field.nSmilieMenus) << "moved " << r.dx;
        if (r.nMenus == 0) {
            EXPECT_EQ(0, field.GetSelectedCount()) << "moved " << r.dx;
        }
    }
    // On an empty cell of the grid a right press opens the field menu.
    const POINT empty = Body(4, 7);
    Move(field, empty.x, empty.y);
    Down(empty, WM_RBUTTONDOWN, MK_RBUTTON);
    EXPECT_EQ(1, field.nFieldMenus);
    EXPECT_EQ(4, field.GetFocusCell().x);
    EXPECT_EQ(7, field.GetFocusCell().y);
}

TEST_F(FieldMouse, CtrlTogglesWhatTheCursorEnters)
{
    for (int c = 0; c < 5; c++) {
        const POINT pt = Body(c, 3);
        Move(field, pt.x, pt.y, MK_CONTROL);
    }
    EXPECT_EQ(5, field.GetSelectedCount());
    const POINT back = Body(3, 3);
    Move(field, back.x, back.y, MK_CONTROL);
    EXPECT_FALSE(field.GetAt(3, 3)->m_bSelected) << "entering again toggles it off";
    EXPECT_EQ(4, field.GetSelectedCount());
    Move(field, back.x + 1, back.y, MK_CONTROL);
    EXPECT_EQ(4, field.GetSelectedCount()) << "moving inside a smilie toggles nothing";

    // The Ctrl key itself toggles the hovered smilie.
    Send(field, WM_KEYDOWN, VK_CONTROL, 1);
    EXPECT_TRUE(field.GetAt(3, 3)->m_bSelected);
    Send(field, WM_KEYDOWN, VK_CONTROL, 1 | (1 << 30));
    EXPECT_TRUE(field.GetAt(3, 3)->m_bSelected) << "an auto-repeat does nothing";
    Send(field, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(0, field.GetSelectedCount());
}

TEST_F(FieldMouse, TheShiftBandFollowsTheContentAfterAScroll)
{
    // Shift goes down with the cursor in row 1, column 0.
    PlaceCursor(field, 5, 40);
    Send(field, WM_KEYDOWN, VK_SHIFT, 1);
    ASSERT_TRUE(field.IsBandOn());
    field.OnVScroll(SB_THUMBTRACK, 34);
    ASSERT_EQ(34, field.GetScrollPos());
    // The cursor now at client (40, 40): content row 2, column 1.
    Move(field, 40, 40, MK_SHIFT);
    std::vector<const CSmilie*> selected = Selected();
    ASSERT_EQ(4u, selected.size());
    EXPECT_EQ(field.GetAt(0, 1), selected[0]);
    EXPECT_EQ(field.GetAt(1, 1), selected[1]);
    EXPECT_EQ(field.GetAt(0, 2), selected[2]);
    EXPECT_EQ(field.GetAt(1, 2), selected[3]);

    // Moving back shrinks the band again; Shift up ends it.
    Move(field, 5, 10, MK_SHIFT);
    EXPECT_EQ(1, field.GetSelectedCount());
    Send(field, WM_KEYUP, VK_SHIFT, 1);
    EXPECT_FALSE(field.IsBandOn());
}

TEST_F(FieldMouse, ClicksOnEmptyCellsAndTheMiddleButton)
{
    const POINT empty = Body(3, 8);
    Move(field, empty.x, empty.y);
    EXPECT_EQ(3, field.GetHotEmptyCell().x);
    Down(empty);
    EXPECT_EQ(3, field.GetFocusCell().x);
    EXPECT_EQ(8, field.GetFocusCell().y);
    Up(empty);

    // The cell mark of an empty cell opens the field menu.
    const POINT mark = {3 * 35 + 2, 8 * 34 + 2};
    Move(field, mark.x, mark.y);
    Down(mark);
    EXPECT_EQ(1, field.nFieldMenus);
    Up(mark);

    field.SetFocusCell(2, 2);
    EXPECT_EQ(1, field.GetSelectedCount()) << "a focus cell selects its smilie alone";
    Send(field, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(field.HasFocusCell());
    EXPECT_EQ(0, field.GetSelectedCount());
}
