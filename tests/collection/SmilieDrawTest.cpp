// Smilie cell drawing on memory DCs: the pixels that a formula fixes
// (selection tint, progress bar, grip, brackets, censor mark, toolbar shapes).
// No picture and no text is drawn in these cells, so no font is involved.
#include "collection/Smilie.h"

#include "services/Settings.h"
#include "framework/Dc.h"
#include "tests/collection/PictureSamples.h"
#include "tests/collection/SmilieTestField.h"
#include "ui3d/CellLook.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBack = RGB(100, 150, 200);
const COLORREF kSelected = RGB(100, 150, 200);
const COLORREF kLight = RGB(250, 250, 250);
const COLORREF kInner = RGB(90, 90, 90);
const COLORREF kOuter = RGB(10, 20, 30);
const COLORREF kBracket = RGB(200, 0, 0);

CELLLOOK Look()
{
    CELLLOOK look = {kBack, kSelected, kLight, kInner, kOuter, kBracket, 0, 0};
    return look;
}

// A 32-bit memory canvas filled with one colour, with a CDC on it.
class Canvas : public CTestCanvas
{
public:
    Canvas(int cx, int cy, COLORREF crFill = RGB(1, 2, 3)) : CTestCanvas(cx, cy, crFill) { dc.Attach(GetDC()); }
    ~Canvas() { dc.Detach(); }
    COLORREF At(int x, int y) const { return Pixel(x, y); }

    CDC dc;
};

std::string Hex(COLORREF cr)
{
    char sz[16];
    snprintf(sz, sizeof(sz), "%06lX", static_cast<unsigned long>(cr));
    return sz;
}

class SmilieDrawTest : public testing::Test
{
protected:
    void SetUp() override
    {
        saved = g_Settings;
        g_Settings.SmilieToolbar = 1;
        g_Settings.ShowCensoredSmilies = 0;
        g_Settings.SmilieLocalMark = 0;
    }
    void TearDown() override { g_Settings = saved; }
    APPSETTINGS saved;
};

}  // namespace

TEST_F(SmilieDrawTest, SelectionTintFollowsTheCellParity)
{
    CSmilie smilie(35, 34);
    smilie.m_bSelected = 1;
    Canvas canvas(60, 50);
    const CPoint origin(11, 6);   // odd: parity counts from the cell, not the DC
    CRect rcOut;
    const CELLLOOK look = Look();
    smilie.Draw(&canvas.dc, origin, look, NULL, FALSE, &rcOut);
    EXPECT_EQ(CRect(11, 6, 46, 40), rcOut);

    const COLORREF crTinted = RGB(100 - 20, 150 - 30, 200 + 55 * 20 / 100);
    for (int y = 2; y < 34 - 3; y++) {
        for (int x = 2; x < 35 - 3; x++) {
            const COLORREF crWant = (x + y) % 2 == 0 ? RGB(255, 255, 255) : crTinted;
            ASSERT_EQ(Hex(crWant), Hex(canvas.At(origin.x + x, origin.y + y))) << "cell pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(Hex(kSelected), Hex(canvas.At(origin.x + 1, origin.y + 1))) << "outside the tinted area";
    EXPECT_EQ(Hex(kSelected), Hex(canvas.At(origin.x + 32, origin.y + 31)));
}

// A cell far larger than the surface it is drawn on is tinted where it can
// be seen, through a surface of that size: one of the whole cell (32762
// pixels a side, 4 GB) cannot be made in a 32-bit process, and where it can
// the draw takes many seconds (about 15 under 64-bit Wine) against a few
// milliseconds.
TEST_F(SmilieDrawTest, SelectionTintOfAHugeCellCoversWhatCanBeSeen)
{
    CSmilie smilie(32767, 32767);
    smilie.m_bSelected = 1;
    Canvas canvas(60, 50);
    const CPoint origin(-1001, -2000);   // a piece from inside the cell
    const CELLLOOK look = Look();
    const DWORD nStart = GetTickCount();
    smilie.Draw(&canvas.dc, origin, look, NULL, FALSE, NULL);
    EXPECT_LT(GetTickCount() - nStart, 5000u) << "milliseconds for one cell";
    const COLORREF crTinted = RGB(100 - 20, 150 - 30, 200 + 55 * 20 / 100);
    for (int y = 0; y < 50; y++) {
        for (int x = 0; x < 60; x++) {
            const COLORREF crWant = (x - origin.x + y - origin.y) % 2 == 0 ? RGB(255, 255, 255) : crTinted;
            ASSERT_EQ(Hex(crWant), Hex(canvas.At(x, y))) << "canvas pixel " << x << "," << y;
        }
    }
}

TEST_F(SmilieDrawTest, ProgressBarFillsByTheProgressByte)
{
    // Cell 35 wide, insets 3 and 4: the bar spans x 3..30, y 25..29; its
    // inside is 26 pixels wide and the progress counts 35 - 8 - 2 = 25.
    struct Row
    {
        int nProgress;
        int nFill;
    } rows[] = {{0, 0}, {13, 13}, {25, 26}, {255, 26}};
    for (const Row& row : rows) {
        CSmilie smilie(35, 34);
        smilie.SetSource("http://127.0.0.1/a.gif");
        smilie.m_nDownloadState = (DWORD(row.nProgress) << 8) | DOWNLOAD_DONE;
        Canvas canvas(35, 34);
        const CELLLOOK look = Look();
        smilie.Draw(&canvas.dc, CPoint(0, 0), look, NULL, FALSE, NULL);
        const std::string name = "progress " + std::to_string(row.nProgress);
        EXPECT_EQ(Hex(kOuter), Hex(canvas.At(10, 25))) << name << ": top edge";
        EXPECT_EQ(Hex(kOuter), Hex(canvas.At(3, 27))) << name << ": left edge";
        EXPECT_EQ(Hex(kLight), Hex(canvas.At(10, 29))) << name << ": bottom edge";
        EXPECT_EQ(Hex(kLight), Hex(canvas.At(30, 27))) << name << ": right edge";
        for (int x = 4; x < 30; x++) {
            const COLORREF crWant = x < 4 + row.nFill ? RGB(0, 255, 0) : kBack;
            ASSERT_EQ(Hex(crWant), Hex(canvas.At(x, 27))) << name << ", x " << x;
        }
    }
}

TEST_F(SmilieDrawTest, ProgressBarOfANarrowCellDividesByNothing)
{
    for (int cx : {8, 10, 11, 12}) {
        CSmilie smilie(cx, 20);
        smilie.SetSource("http://127.0.0.1/a.gif");
        smilie.m_nDownloadState = (DWORD(200) << 8) | DOWNLOAD_DONE;
        Canvas canvas(cx + 4, 24, RGB(7, 7, 7));
        const CELLLOOK look = Look();
        smilie.Draw(&canvas.dc, CPoint(2, 2), look, NULL, FALSE, NULL);
        for (int y = 0; y < 24; y++)
            ASSERT_EQ(Hex(RGB(7, 7, 7)), Hex(canvas.At(cx + 2, y))) << "width " << cx << ": nothing right of the cell";
    }
}

TEST_F(SmilieDrawTest, CornerMarkStaysInItsRectangleForEverySize)
{
    // {width, height, symbol's top-left}: the sizes of 7 to 8 pixels and
    // the narrow ones used to divide by s - 2f - 1 <= 0.
    struct Row
    {
        int w, h, L, T;
    } rows[] = {
        {1, 1, 0, 0}, {2, 2, 0, 0}, {5, 20, 0, 7}, {7, 7, 0, 0}, {8, 8, 0, 0}, {3, 40, 0, 18},
        {20, 9, 0, 0}, {20, 20, 0, 0}, {40, 20, 4, 0},
    };
    const COLORREF kFill = RGB(7, 7, 7), kUp = RGB(255, 0, 0), kDown = RGB(0, 0, 255);
    for (const Row& row : rows) {
        Canvas canvas(row.w + 10, row.h + 10, kFill);
        const RECT rc = {5, 5, 5 + row.w, 5 + row.h};
        CSmilie::DrawCornerMark(kDown, &canvas.dc, kUp, rc);
        const std::string name = std::to_string(row.w) + "x" + std::to_string(row.h);
        EXPECT_EQ(Hex(kUp), Hex(canvas.At(5 + row.L, 5 + row.T))) << name << ": the symbol's corner";
        for (int y = 0; y < row.h + 10; y++) {
            for (int x = 0; x < row.w + 10; x++) {
                const bool bOutside = x < rc.left || x >= rc.right || y < rc.top || y >= rc.bottom;
                if (bOutside) {
                    ASSERT_EQ(Hex(kFill), Hex(canvas.At(x, y))) << name << ": outside at " << x << "," << y;
                }
            }
        }
    }
    // A full-size symbol: upper colour along the top-left arm, lower down the right.
    Canvas canvas(20, 20, kFill);
    CSmilie::DrawCornerMark(kDown, &canvas.dc, kUp, CRect(0, 0, 20, 20));
    EXPECT_EQ(Hex(kUp), Hex(canvas.At(1, 0)));
    EXPECT_EQ(Hex(kDown), Hex(canvas.At(18, 1)));
    EXPECT_EQ(Hex(kDown), Hex(canvas.At(1, 18)));
}

TEST_F(SmilieDrawTest, HoverWithoutToolbarDrawsBracketsAndGrip)
{
    g_Settings.SmilieToolbar = 0;
    CSmilie smilie(35, 34);
    smilie.m_nHover = 1;
    Canvas canvas(35, 34);
    const CELLLOOK look = Look();
    smilie.Draw(&canvas.dc, CPoint(0, 0), look, NULL, FALSE, NULL);

    // Brackets on (1, 1)-(32, 31), right and bottom inclusive.
    EXPECT_EQ(Hex(kBracket), Hex(canvas.At(1, 1)));
    EXPECT_EQ(Hex(kBracket), Hex(canvas.At(5, 1)));
    EXPECT_EQ(Hex(kBracket), Hex(canvas.At(32, 1)));
    EXPECT_EQ(Hex(kBracket), Hex(canvas.At(32, 5)));
    EXPECT_EQ(Hex(kBracket), Hex(canvas.At(1, 31)));
    EXPECT_EQ(Hex(kBack), Hex(canvas.At(32, 31))) << "the bottom right corner stays free";

    const COLORREF crLight = RGB(100 + 155 * 90 / 100, 150 + 105 * 90 / 100, 200 + 55 * 90 / 100);
    const COLORREF crDark = RGB(100 - 40, 150 - 60, 200 - 80);
    struct Row
    {
        int dx, dy;
        COLORREF cr;
    } rows[] = {{3, 8, crLight}, {8, 3, crLight}, {4, 4, crLight}, {3, 7, crDark}, {5, 5, crDark}, {4, 3, crDark},
                {3, 3, kBack},   {6, 6, kBack}};
    for (const Row& row : rows)
        EXPECT_EQ(Hex(row.cr), Hex(canvas.At(35 - row.dx, 34 - row.dy))) << "grip at -" << row.dx << ",-" << row.dy;
}

TEST_F(SmilieDrawTest, ToolbarShapesFillGlyphAndClip)
{
    CSmilie smilie(35, 34);
    ASSERT_EQ(&CSmilie::s_SmallToolbar, smilie.m_pToolbar);
    const COLORREF kFirst = RGB(0, 0, 0), kSecond = RGB(255, 255, 255), kFill = RGB(7, 7, 7);
    Canvas canvas(40, 40, kFill);
    CSmilie::DrawToolbarShapes(&smilie, &canvas.dc, NULL, kFirst, kSecond, FALSE, 2, CPoint(1, 1));
    EXPECT_EQ(Hex(kFirst), Hex(canvas.At(1 + 2, 1 + 2))) << "button 1 face";
    EXPECT_EQ(Hex(kSecond), Hex(canvas.At(1 + 1, 1 + 1))) << "button 1 glyph";
    EXPECT_EQ(Hex(kSecond), Hex(canvas.At(1 + 9 + 2, 1 + 2))) << "hot button 2 takes the second colour";
    EXPECT_EQ(Hex(kFirst), Hex(canvas.At(1 + 9 + 1, 1 + 1))) << "hot button 2 glyph";
    EXPECT_EQ(Hex(kFirst), Hex(canvas.At(1 + 18, 1 + 5))) << "button 2 shadow on the right";
    EXPECT_EQ(Hex(kFill), Hex(canvas.At(1 + 3, 1 + 12))) << "button 3 only on request";

    Canvas clipped(40, 40, kFill);
    const CRect rcClip(0, 0, 5, 5);
    CSmilie::DrawToolbarShapes(&smilie, &clipped.dc, &rcClip, kFirst, kSecond, TRUE, 0, CPoint(1, 1));
    EXPECT_EQ(Hex(kFirst), Hex(clipped.At(3, 3)));
    EXPECT_EQ(Hex(kFill), Hex(clipped.At(13, 3))) << "button 2 does not meet the clip";

    // Every glyph stays within its button and the shadow line beside it.
    for (const SMILIETOOLBAR* pSet : {&CSmilie::s_SmallToolbar, &CSmilie::s_LargeToolbar}) {
        for (const SMILIETOOLBAR::BUTTON& b : pSet->buttons) {
            const int cx = b.rc.right - b.rc.left, cy = b.rc.bottom - b.rc.top;
            int n = 0;
            for (const POINT* p = b.pPixels; p->x >= 0; p++, n++) {
                EXPECT_LE(p->x, cx);
                EXPECT_LE(p->y, cy);
            }
            EXPECT_GT(n, 2 * cx) << "a glyph beside its shadow";
        }
    }
}

TEST_F(SmilieDrawTest, CensoredSmilieShowsTheMarkUnlessShown)
{
    for (int bShow : {0, 1}) {
        g_Settings.ShowCensoredSmilies = bShow;
        CSmilie smilie(35, 34);
        smilie.m_nFlags |= CSmilie::flagCensored;
        Canvas canvas(35, 34);
        const CELLLOOK look = Look();
        smilie.Draw(&canvas.dc, CPoint(0, 0), look, NULL, FALSE, NULL);
        // The mark fills the cell less the insets: (3, 3)-(31, 30), 28 x 27.
        EXPECT_EQ(Hex(bShow ? kBack : kOuter), Hex(canvas.At(3, 3))) << "ShowCensoredSmilies " << bShow;
        EXPECT_EQ(bShow == 0, smilie.IsCensoredHidden() != 0);

        CTestSmilieField field(35, 34);
        field.m_crText = RGB(0, 128, 0);
        smilie.SetField(&field);
        smilie.Draw(&canvas.dc, CPoint(0, 0), look, NULL, FALSE, NULL);
        EXPECT_EQ(Hex(bShow ? kBack : RGB(0, 128, 0)), Hex(canvas.At(3, 3))) << "the field's colour, " << bShow;
        smilie.SetField(NULL);
    }
}

TEST_F(SmilieDrawTest, ToolbarRectanglesFollowSettingAndPress)
{
    CSmilie smilie(35, 34);
    EXPECT_EQ(CRect(0, 0, 9, 9), smilie.GetFrameRect());
    EXPECT_EQ(CRect(9, 0, 18, 9), smilie.GetHotFrameRect());
    EXPECT_TRUE(smilie.GetOversizeMarkRect().IsRectEmpty()) << "no picture";
    smilie.m_bPressed = 1;
    EXPECT_EQ(CRect(1, 1, 10, 10), smilie.GetFrameRect());
    g_Settings.SmilieToolbar = 0;
    EXPECT_TRUE(smilie.GetFrameRect().IsRectEmpty());
    EXPECT_TRUE(smilie.GetHotFrameRect().IsRectEmpty());

    CSmilie large(50, 50);
    g_Settings.SmilieToolbar = 1;
    EXPECT_EQ(CRect(11, 0, 22, 11), large.GetHotFrameRect());
}

TEST_F(SmilieDrawTest, ClampTextRectKeepsInsideTheInsets)
{
    CSmilie smilie(35, 34);
    smilie.m_rcImage.SetRect(-10, 5, 45, 20);
    smilie.ClampTextRect();
    EXPECT_EQ(CRect(3, 5, 31, 20), smilie.m_rcImage) << "too wide: horizontal only";
    smilie.m_rcImage.SetRect(5, -3, 20, 40);
    smilie.ClampTextRect();
    EXPECT_EQ(CRect(5, 3, 20, 30), smilie.m_rcImage);
}
