// What a field view paints into its back buffer, by formula (mark and text
// colours at their thresholds, the tile and its grid lines aligned to the
// content, the focus tile, a picture at its place), and its animation driven
// by hand-fed ticks: timer periods, frames, timers only in view, hiding, and
// the image cache's bound while scrolling through animated smilies.
#include "tests/fields/gui/FieldTestKit.h"

#include "resources/resource.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/drawing/ColorRamp.h"

#include <algorithm>
#include <sstream>

using namespace fieldkit;

namespace {

std::string Hex(COLORREF clr)
{
    char sz[16];
    snprintf(sz, sizeof(sz), "%06lX", static_cast<unsigned long>(clr));
    return sz;
}

COLORREF Grey(int g)
{
    return RGB(g, g, g);
}

class FieldPaint : public FieldFixture
{
protected:
    void TearDown() override
    {
        if (field.m_hWnd != NULL)
            field.DestroyWindow();
        FieldFixture::TearDown();
    }
    // A pixel of the field's back buffer, made and painted when missing.
    COLORREF At(int x, int y)
    {
        if (field.GetBackBuffer() == NULL)
            return CLR_INVALID;
        CBackBufDC dc(&field);
        return ::GetPixel(dc.m_hDC, x, y);
    }
    void Tick(UINT nId) { Send(field, WM_VTIMER, nId); }

    RecordingField field;
};

// The grey levels of the program's tile, from the test's copy of the bitmap.
class TileGreys
{
public:
    TileGreys()
    {
        HBITMAP hBitmap = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_FIELDTILE), IMAGE_BITMAP, 0, 0, 0));
        BITMAP bm = {};
        GetObjectA(hBitmap, sizeof(bm), &bm);
        cx = bm.bmWidth;
        cy = bm.bmHeight;
        HDC hDC = CreateCompatibleDC(NULL);
        HGDIOBJ hOld = SelectObject(hDC, hBitmap);
        greys.resize(static_cast<size_t>(cx) * cy);
        for (int y = 0; y < cy; y++)
            for (int x = 0; x < cx; x++)
                greys[static_cast<size_t>(y) * cx + x] = GetBValue(GetPixel(hDC, x, y));
        SelectObject(hDC, hOld);
        DeleteDC(hDC);
        DeleteObject(hBitmap);
    }
    int At(int x, int y) const { return greys[static_cast<size_t>(y) * cx + x]; }

    int cx = 0, cy = 0;
    std::vector<int> greys;
};

}  // namespace

TEST_F(FieldPaint, MarkAndTextColoursAtTheirThresholds)
{
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34));
    const POINT cell = {0, 0};
    field.AddSmilie(&cell, 0, "", NULL);
    // Hover the empty cell (2, 2), away from its mark.
    Move(field, 2 * 35 + 20, 2 * 34 + 20);
    ASSERT_EQ(2, field.GetHotEmptyCell().x);
    const struct {
        int nMode, nGrey;
        BOOL bWhite;
        COLORREF clrMark, clrText;
    } rows[] = {
        {1, 222, FALSE, Grey(255), Grey(255)},   // gradient look: white below 223
        {1, 223, FALSE, Grey(0), Grey(0)},
        {0, 191, FALSE, Grey(239), Grey(239)},   // plain: lifted three quarters to white
        {0, 192, FALSE, Grey(144), Grey(144)},   // above 191: a quarter darker
        {0, 100, TRUE, Grey(216), Grey(192)},    // white cells: text on white, marks on the background
        {1, 100, TRUE, Grey(255), Grey(0)},      // white cells in the gradient look are 245 grey
    };
    for (const auto& r : rows) {
        field.SetColorMode(r.nMode, FALSE);
        field.SetBackColor(Grey(r.nGrey), FALSE);
        field.SetWhiteCells(r.bWhite);
        const std::string strRow = "mode " + std::to_string(r.nMode) + ", grey " + std::to_string(r.nGrey) +
                                   (r.bWhite ? ", white cells" : "");
        EXPECT_EQ(Hex(r.clrText), Hex(field.GetTextColor())) << strRow;
        EXPECT_EQ(Hex(r.clrMark), Hex(At(2 * 35 + 1, 2 * 34 + 1))) << "face of the cell mark, " << strRow;
        if (r.nMode == 0) {
            EXPECT_EQ(Hex(r.clrText), Hex(At(1, 10))) << "the cell frame's line, " << strRow;
        }
    }
}

TEST_F(FieldPaint, TheTileAndItsGridLinesStayWithTheContent)
{
    const TileGreys tile;
    ASSERT_EQ(140, tile.cx) << "the test carries the program's tile";
    ASSERT_EQ(136, tile.cy);
    const COLORREF clrBack = RGB(230, 230, 230);
    COLORRAMP ramp;
    BuildColorRamp(&ramp, clrBack);
    const struct {
        int nCellWidth, nMode, nScroll;
        bool bLines, bTile;
    } rows[] = {
        {35, 1, 0, true, true},    // four cells across the tile: grid lines
        {35, 1, 10, true, true},   // scrolled: lines and grain move with the content
        {36, 1, 7, false, true},   // not a multiple of the cell: no lines
        {35, 0, 10, false, false}, // plain look: the background colour alone
    };
    for (const auto& r : rows) {
        RecordingField one;
        ASSERT_TRUE(MakeField(one, m_parent, 350, 340, r.nCellWidth, 34, Grid(128, clrBack, IDB_FIELDTILE)));
        one.SetColorMode(r.nMode, FALSE);
        one.UpdateScrollRange(TRUE);
        ASSERT_NE(nullptr, one.GetBackBuffer());
        one.OnVScroll(SB_THUMBTRACK, r.nScroll);
        ASSERT_EQ(r.nScroll, one.GetScrollPos());
        CBackBufDC dc(&one);
        int nBad = 0;
        std::ostringstream first;
        for (int y = 0; y < 340; y += 3) {
            for (int x = 0; x < 350; x += 1) {
                const int ty = (y + r.nScroll) % tile.cy;
                COLORREF clrWant = clrBack;
                if (r.bLines && (x % r.nCellWidth == 0 || (y + r.nScroll) % 34 == 0))
                    clrWant = RGB(128, 128, 128);
                else if (r.bTile)
                    clrWant = ramp.clr[tile.At(x % tile.cx, ty)];
                const COLORREF clrHave = ::GetPixel(dc.m_hDC, x, y);
                if (clrHave != clrWant && nBad++ == 0)
                    first << x << "," << y << ": " << Hex(clrHave) << " for " << Hex(clrWant);
            }
        }
        EXPECT_EQ(0, nBad) << "cells " << r.nCellWidth << ", mode " << r.nMode << ", scroll " << r.nScroll
                           << "; first at " << first.str();
        one.DestroyWindow();
    }
}

TEST_F(FieldPaint, TheFocusTileIsDitheredWithTheContent)
{
    const COLORREF clrBack = RGB(100, 150, 200);
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34, Grid(128, clrBack)));
    field.UpdateScrollRange(TRUE);
    field.SetFocusCell(1, 2);
    const COLORREF clrTint = RGB(100 - 20, 150 - 30, 200 + 55 / 5);
    for (int nScroll : {0, 1, 8}) {
        field.SetScrollPos(nScroll, TRUE);
        int nBad = 0;
        for (int y = 2 * 34 - nScroll; y < 3 * 34 - nScroll; y++) {
            for (int x = 35; x < 70; x++) {
                // White on even columns of the tile's bottom row, alternating upwards.
                const int tx = x % 35, ty = (y + nScroll) % 34;
                const COLORREF clrWant = (tx + (33 - ty)) % 2 == 0 ? Grey(255) : clrTint;
                if (At(x, y) != clrWant)
                    nBad++;
            }
        }
        EXPECT_EQ(0, nBad) << "scroll " << nScroll;
        EXPECT_EQ(Hex(clrBack), Hex(At(20, 20))) << "outside the focus cell";
    }
}

TEST_F(FieldPaint, APictureAtItsPlaceAndAPhraseCell)
{
    OpenPictures pictures({SolidBmp(10, 8, RGB(255, 0, 0))});
    ASSERT_TRUE(pictures.IsOpen());
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34));
    const POINT cells[] = {{1, 1}, {3, 0}, {4, 0}};
    field.AddSmilie(&cells[0], 1, "", NULL);
    field.AddSmilie(&cells[1], 0, "Hi there", NULL);
    field.AddSmilie(&cells[2], 0, "", NULL);
    // Centred: ((35 - 10) / 2, (34 - 8) / 2) in the cell at (35, 34).
    for (int y = 34 + 13; y < 34 + 13 + 8; y++)
        for (int x = 35 + 12; x < 35 + 12 + 10; x++)
            ASSERT_EQ(Hex(RGB(255, 0, 0)), Hex(At(x, y))) << x << "," << y;
    for (POINT pt : {POINT{35 + 11, 34 + 13}, POINT{35 + 22, 34 + 13}, POINT{35 + 12, 34 + 12},
                     POINT{35 + 12, 34 + 21}})
        EXPECT_NE(Hex(RGB(255, 0, 0)), Hex(At(pt.x, pt.y))) << pt.x << "," << pt.y;

    // The phrase draws something an empty cell does not.
    int nDiffer = 0;
    for (int y = 0; y < 34; y++)
        for (int x = 0; x < 35; x++)
            if (At(3 * 35 + x, y) != At(4 * 35 + x, y))
                nDiffer++;
    EXPECT_GT(nDiffer, 0);
}

TEST_F(FieldPaint, FramesAdvanceOnHandFedTicks)
{
    OpenPictures pictures({AnimatedGif(12, 12, 9, 20)});
    ASSERT_TRUE(pictures.IsOpen());
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34));
    const POINT cell = {0, 0};
    CSmilie* pSmilie = field.AddSmilie(&cell, 1, "", NULL);
    ASSERT_NE(nullptr, field.GetBackBuffer());
    const int nFirst = static_cast<int>(pSmilie->m_nAnimTimer);
    ASSERT_NE(0, nFirst);
    EXPECT_EQ(9, HandTimer::Divider(field.m_hWnd, nFirst)) << "a 90 ms frame waits 9 ticks";
    EXPECT_EQ(Hex(RGB(255, 0, 0)), Hex(At(17, 17)));

    Tick(nFirst);
    EXPECT_EQ(1, pSmilie->m_nFrameIndex);
    EXPECT_EQ(Hex(RGB(0, 0, 255)), Hex(At(17, 17)));
    const int nSecond = static_cast<int>(pSmilie->m_nAnimTimer);
    EXPECT_EQ(20, HandTimer::Divider(field.m_hWnd, nSecond));
    EXPECT_EQ(1, field.HasVTimer(0)) << "one timer per animated smilie";
    Tick(nSecond);
    EXPECT_EQ(0, pSmilie->m_nFrameIndex);
    EXPECT_EQ(Hex(RGB(255, 0, 0)), Hex(At(17, 17)));

    // The period follows the frame's delay; a delay of 0 starts no timer.
    const struct {
        int nDelay, nDivider;
    } rows[] = {{95, 9}, {60, 6}, {0, 0}, {-1, 0}};
    for (const auto& r : rows) {
        field.StopAnimations();
        pSmilie->m_nFrameDelay = r.nDelay;
        field.StartSmilieAnimation(pSmilie, TRUE);
        EXPECT_EQ(r.nDivider, HandTimer::Divider(field.m_hWnd, static_cast<int>(pSmilie->m_nAnimTimer)))
            << "delay " << r.nDelay;
        EXPECT_EQ(r.nDivider != 0 ? 1 : 0, field.HasVTimer(0)) << "delay " << r.nDelay;
    }

    // A tick of an id the view does not know stops that timer.
    field.StopAnimations();
    field.AddOwnTimer(77);
    Tick(77);
    EXPECT_TRUE(field.RemoveOwnTimer(77));
    EXPECT_FALSE(field.RemoveOwnTimer(77));
}

// Frames are kept once drawn and shown again from there: every step shows
// what the picture drew for that frame, a step to a frame that looks the same
// draws nothing, and a change of crop draws the frames anew.
TEST_F(FieldPaint, KeptFramesShowWhatThePictureDrew)
{
    // Three frames, 12 x 12: red and blue halves, then blue and red twice.
    GifRecipe gif;
    gif.cx = gif.cy = 12;
    gif.globalTable = {RGB(255, 0, 0), RGB(0, 0, 255)};
    for (int i = 0; i < 3; i++) {
        GifFrameRecipe frame;
        frame.cx = frame.cy = 12;
        for (int y = 0; y < 12; y++)
            for (int x = 0; x < 12; x++)
                frame.pixels.push_back(BYTE((x < 6) == (i == 0) ? 0 : 1));
        frame.bControl = true;
        frame.nDelayCs = 10;
        gif.frames.push_back(frame);
    }
    OpenPictures pictures({MakeGif(gif)});
    ASSERT_TRUE(pictures.IsOpen());
    ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34));
    const POINT cellA = {0, 0}, cellB = {2, 0};
    CSmilie* pA = field.AddSmilie(&cellA, 1, "", NULL);
    ASSERT_NE(nullptr, field.GetBackBuffer());
    auto cellPixels = [&](int nColumn) {
        CBackBufDC dc(&field);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 34; y++)
            for (int x = 0; x < 35; x++)
                pixels.push_back(::GetPixel(dc.m_hDC, nColumn * 35 + x, y));
        return pixels;
    };
    auto mark = [&]() {
        CBackBufDC dc(&field);
        ::SetPixel(dc.m_hDC, 17, 17, RGB(0, 255, 0));
    };
    auto marked = [&]() { return At(17, 17) == RGB(0, 255, 0); };
    auto step = [&]() {
        ASSERT_NE(0u, pA->m_nAnimTimer);
        Tick(pA->m_nAnimTimer);
    };

    // The first round draws from the picture.
    std::vector<COLORREF> drawn[3];
    drawn[0] = cellPixels(0);
    EXPECT_EQ(Hex(RGB(255, 0, 0)), Hex(At(12, 17)));
    EXPECT_EQ(Hex(RGB(0, 0, 255)), Hex(At(22, 17)));
    for (int f = 1; f < 3; f++) {
        mark();
        step();
        ASSERT_EQ(f, pA->m_nFrameIndex);
        EXPECT_FALSE(marked()) << "frame " << f;
        drawn[f] = cellPixels(0);
    }
    EXPECT_EQ(Hex(RGB(0, 0, 255)), Hex(At(12, 17)));
    EXPECT_EQ(drawn[1], drawn[2]);

    // Later rounds come from the kept frames, the same pixels.
    for (int n = 0; n < 6; n++) {
        mark();
        step();
        const int f = pA->m_nFrameIndex;
        EXPECT_EQ(f == 2, marked()) << "round " << n << ", frame " << f;
        if (f != 2) {
            EXPECT_EQ(drawn[f], cellPixels(0)) << "round " << n << ", frame " << f;
        }
    }

    // A crop cuts into the frames: the kept ones are not shown again. A second
    // smilie of the same picture and crop, drawn fresh, shows what is right.
    while (pA->m_nFrameIndex != 2)
        step();
    pA->m_nCrop = 4;
    step();
    ASSERT_EQ(0, pA->m_nFrameIndex);
    CSmilie* pB = field.AddSmilie(&cellB, 1, "", NULL);
    ASSERT_NE(nullptr, pB);
    pB->m_nCrop = 4;
    pB->DeleteCachedBitmap();
    EXPECT_TRUE(field.RedrawSmilie(pB));
    ASSERT_EQ(0, pB->m_nFrameIndex);
    const std::vector<COLORREF> cropped = cellPixels(0);
    EXPECT_NE(drawn[0], cropped) << "the crop changes the picture";
    EXPECT_EQ(cellPixels(2), cropped);
}

// A cell half out of view draws only the part in view: no frame is kept from
// it, and scrolled back into view the cell shows its whole picture.
TEST_F(FieldPaint, AFrameDrawnHalfOutOfViewIsNotKept)
{
    OpenPictures pictures({AnimatedGif(12, 26, 9, 9)});
    ASSERT_TRUE(pictures.IsOpen());
    ASSERT_TRUE(MakeField(field, m_parent, 350, 4 * 34, 35, 34));
    const POINT top = {0, 0}, low = {0, 6};
    CSmilie* pSmilie = field.AddSmilie(&top, 1, "", NULL);
    field.AddSmilie(&low, 1, "", NULL);
    field.UpdateScrollRange(TRUE);
    field.OnVScroll(SB_THUMBTRACK, 20);
    ASSERT_EQ(20, field.GetScrollPos());
    ASSERT_NE(nullptr, field.GetBackBuffer());
    // The picture fills x 11..22, y 4..29 of the cell; rows above 20 are out of view.
    for (int n = 0; n < 3; n++) {
        ASSERT_NE(0u, pSmilie->m_nAnimTimer) << n;
        Tick(pSmilie->m_nAnimTimer);
    }
    const COLORREF clrFrame = pSmilie->m_nFrameIndex == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255);
    EXPECT_EQ(Hex(clrFrame), Hex(At(17, 25 - 20)));
    field.OnVScroll(SB_THUMBTRACK, 0);
    ASSERT_EQ(0, field.GetScrollPos());
    for (int y = 4; y < 30; y += 3)
        EXPECT_EQ(Hex(clrFrame), Hex(At(17, y))) << "row " << y;
}

TEST_F(FieldPaint, TimersOnlyInViewAndHidingFreesTheGdiObjects)
{
    OpenPictures pictures({AnimatedGif(12, 12, 9, 9), AnimatedGif(14, 14, 9, 9)});
    ASSERT_TRUE(pictures.IsOpen());
    const int nBitmaps = CSmilie::s_nCellBitmaps;
    ASSERT_TRUE(MakeField(field, m_parent, 350, 4 * 34, 35, 34));
    const POINT top = {0, 0}, low = {0, 6};
    CSmilie* pTop = field.AddSmilie(&top, 1, "", NULL);
    CSmilie* pLow = field.AddSmilie(&low, 2, "", NULL);
    field.UpdateScrollRange(TRUE);
    ASSERT_NE(nullptr, field.GetBackBuffer());
    EXPECT_NE(0u, pTop->m_nAnimTimer);
    EXPECT_EQ(0u, pLow->m_nAnimTimer) << "out of view: no timer";
    EXPECT_EQ(1, field.HasVTimer(0));

    field.OnVScroll(SB_BOTTOM, 0);
    EXPECT_EQ(0u, pTop->m_nAnimTimer) << "scrolled out of view";
    EXPECT_NE(0u, pLow->m_nAnimTimer) << "scrolled into view";
    EXPECT_EQ(1, field.HasVTimer(0));

    field.ShowWindow(SW_HIDE);
    EXPECT_FALSE(field.HasGdiObjects());
    EXPECT_EQ(0, field.HasVTimer(0));
    EXPECT_EQ(nBitmaps, CSmilie::s_nCellBitmaps);
}

TEST_F(FieldPaint, TheImageCacheStaysWithinItsLimitWhileScrolling)
{
    // 200 animated smilies, each its own picture; 30 in view at a time.
    std::vector<Bytes> gifs;
    for (int i = 0; i < 200; i++)
        gifs.push_back(AnimatedGif(8 + i % 17, 8 + i % 13, 5 + i % 7, 6, RGB(i, 0, 0), RGB(0, i, 0)));
    OpenPictures pictures(gifs);
    ASSERT_TRUE(pictures.IsOpen());
    uint64_t nLargest = 0;
    for (const Bytes& gif : gifs) {
        CImageReader holder;
        ASSERT_TRUE(CImageReader::LoadFromMemory(gif.data(), holder, static_cast<uint32_t>(gif.size()), TRUE));
        nLargest = std::max<uint64_t>(nLargest, holder.GetReader()->GetMemorySize() + 8);
    }
    const uint64_t nLimit = 45 * nLargest;
    g_pImgCache->SetMemoryLimit(nLimit);

    ASSERT_TRUE(MakeField(field, m_parent, 350, 3 * 34, 35, 34));
    for (int i = 0; i < 200; i++) {
        const POINT cell = {i % 10, i / 10};
        field.AddSmilie(&cell, static_cast<uint32_t>(i + 1), "", NULL);
    }
    field.UpdateScrollRange(TRUE);
    ASSERT_NE(nullptr, field.GetBackBuffer());
    uint64_t nPeak = 0;
    auto sample = [&](const char* pszWhen, int nPos) {
        nPeak = std::max(nPeak, g_pImgCache->m_nMemoryUsed);
        ASSERT_LE(g_pImgCache->m_nMemoryUsed, nLimit + nLargest) << pszWhen << " at " << nPos;
    };
    for (int nPos = 0; nPos <= field.GetContentHeight() - 3 * 34; nPos += 11) {
        field.OnVScroll(SB_THUMBTRACK, nPos);
        sample("scroll", nPos);
        for (int r = 0; r < 20; r++) {
            for (int c = 0; c < 10; c++) {
                CSmilie* pSmilie = field.GetAt(c, r);
                if (pSmilie != NULL && pSmilie->m_nAnimTimer != 0) {
                    Tick(pSmilie->m_nAnimTimer);
                    sample("tick", nPos);
                }
            }
        }
    }
    EXPECT_GT(nPeak, 0u);
}
