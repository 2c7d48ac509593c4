// Pixels of the skinned dialog controls that a formula fixes, painted on
// memory DCs: the built-in check-box and radio indicators through their mask,
// the push-button frame, and the colour-swatch frame.
#include "ui3d/controls/3DButton.h"
#include "ui3d/controls/ClrSelButton.h"
#include "ui3d/drawing/PixelOps.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBack = RGB(0x12, 0x34, 0x56);   // in no indicator picture

// A 32-bit memory canvas filled with one colour.
struct Canvas
{
    HDC hDC;
    HBITMAP hBitmap;
    HGDIOBJ hOld;
    Canvas(int cx, int cy, COLORREF clr)
    {
        BYTE* pBits = NULL;
        hBitmap = CreateDIBSection32(cx, cy, &pBits);
        hDC = ::CreateCompatibleDC(NULL);
        hOld = ::SelectObject(hDC, hBitmap);
        const RECT rc = {0, 0, cx, cy};
        HBRUSH hBrush = ::CreateSolidBrush(clr);
        ::FillRect(hDC, &rc, hBrush);
        ::DeleteObject(hBrush);
    }
    ~Canvas()
    {
        ::SelectObject(hDC, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hDC);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(hDC, x, y); }
};

BODYSTYLE DistinctStyle()
{
    BODYSTYLE s = BODYSTYLE::FromSystemColors();
    s.clrFace = RGB(100, 150, 200);
    s.clrHighlight = RGB(250, 240, 230);
    s.clrShadow = RGB(40, 50, 60);
    s.clrDarkShadow = RGB(10, 20, 30);
    s.nFlags = 0;
    return s;
}

TEST(BuiltInIndicator, PixelsOfEachStateThroughTheMask)
{
    const COLORREF kTransparent = kBack;
    struct Row
    {
        const char* name;
        BOOL bRadio;
        int nState;   // 0 unchecked, 1 checked, 2 unchecked pressed, 3 checked pressed
        int x, y;
        COLORREF clr;
    } rows[] = {
        {"check outer top-left", FALSE, 0, 0, 0, RGB(128, 128, 128)},
        {"check outer bottom-right", FALSE, 0, 12, 12, RGB(255, 255, 255)},
        {"check inner top-left", FALSE, 0, 1, 1, RGB(0, 0, 0)},
        {"check inner bottom-right", FALSE, 0, 11, 11, RGB(192, 192, 192)},
        {"check unchecked interior", FALSE, 0, 6, 6, RGB(255, 255, 255)},
        {"check checked mark", FALSE, 1, 5, 8, RGB(0, 0, 0)},
        {"check checked off the mark", FALSE, 1, 9, 9, RGB(255, 255, 255)},
        {"check pressed interior", FALSE, 2, 6, 3, RGB(192, 192, 192)},
        {"check checked pressed mark", FALSE, 3, 5, 8, RGB(0, 0, 0)},
        {"radio corner transparent", TRUE, 0, 0, 0, kTransparent},
        {"radio corner transparent checked", TRUE, 1, 12, 12, kTransparent},
        {"radio outer ring upper left", TRUE, 0, 6, 0, RGB(128, 128, 128)},
        {"radio outer ring lower right", TRUE, 0, 6, 12, RGB(255, 255, 255)},
        {"radio unchecked centre", TRUE, 0, 6, 6, RGB(255, 255, 255)},
        {"radio checked dot", TRUE, 1, 6, 6, RGB(0, 0, 0)},
        {"radio pressed centre", TRUE, 2, 6, 6, RGB(192, 192, 192)},
        {"radio checked pressed dot", TRUE, 3, 6, 6, RGB(0, 0, 0)},
    };
    for (const Row& r : rows) {
        Canvas canvas(20, 20, kBack);
        C3DButton::DrawBuiltInIndicator(canvas.hDC, 3, 4, r.bRadio, r.nState);
        EXPECT_EQ(r.clr, canvas.At(3 + r.x, 4 + r.y)) << r.name;
        EXPECT_EQ(kBack, canvas.At(2, 4)) << r.name << ": nothing left of the picture";
        EXPECT_EQ(kBack, canvas.At(3 + INDICATOR_SIZE, 4 + 6)) << r.name << ": nothing right of the picture";
    }
}

TEST(PushButtonPainter, FrameColoursOfReleasedAndPressed)
{
    BODYSTYLE style = DistinctStyle();
    struct Row
    {
        const char* name;
        int nStyleFlags;
        UINT nDrawFlags;
        COLORREF topLeft, bottomRight;
    } rows[] = {
        {"released", 0, 0, style.clrHighlight, style.clrShadow},
        {"released, dark shadow side", 0x01, 0, style.clrHighlight, style.clrDarkShadow},
        {"pressed", 0, BTNDRAW_PRESSED, style.clrShadow, style.clrHighlight},
        {"pressed, dark shadow side", 0x01, BTNDRAW_PRESSED, style.clrDarkShadow, style.clrHighlight},
    };
    for (const Row& r : rows) {
        style.nFlags = r.nStyleFlags;
        C3DButton button(&style);
        Canvas canvas(40, 20, kBack);
        const RECT rc = {0, 0, 40, 20};
        button.PaintPush(canvas.hDC, rc, r.nDrawFlags);
        EXPECT_EQ(r.topLeft, canvas.At(0, 0)) << r.name;
        EXPECT_EQ(r.topLeft, canvas.At(0, 10)) << r.name;
        EXPECT_EQ(r.bottomRight, canvas.At(39, 19)) << r.name;
        EXPECT_EQ(r.bottomRight, canvas.At(20, 19)) << r.name;
    }
}

TEST(PushButtonPainter, DisabledButtonIsDrawnReleased)
{
    const BODYSTYLE style = DistinctStyle();
    C3DButton button(&style);
    button.SetPaintDisabled(TRUE);
    Canvas canvas(40, 20, kBack);
    const RECT rc = {0, 0, 40, 20};
    button.PaintPush(canvas.hDC, rc, BTNDRAW_PRESSED);
    EXPECT_EQ(style.clrHighlight, canvas.At(0, 0));
    EXPECT_EQ(style.clrShadow, canvas.At(39, 19));
}

// The focus mark: every other pixel of a rectangle 3 pixels inside the frame,
// in the focused text colour; one pixel further in while pressed; none on an
// unfocused or disabled button.
TEST(PushButtonPainter, FocusedButtonShowsADottedRectangleInside)
{
    BODYSTYLE style = DistinctStyle();
    style.clrText2 = RGB(255, 0, 255);
    struct Row
    {
        const char* name;
        UINT nDrawFlags;
        BOOL bDisabled;
        int nInset;  // where the mark's corner is; 0: no mark
    } rows[] = {
        {"focused", BTNDRAW_FOCUSED, FALSE, 3},
        {"focused and pressed", BTNDRAW_FOCUSED | BTNDRAW_PRESSED, FALSE, 4},
        {"not focused", 0, FALSE, 0},
        {"focused but disabled", BTNDRAW_FOCUSED, TRUE, 0},
    };
    for (const Row& r : rows) {
        C3DButton button(&style);
        button.SetPaintDisabled(r.bDisabled);
        Canvas canvas(40, 20, kBack);
        const RECT rc = {0, 0, 40, 20};
        button.PaintPush(canvas.hDC, rc, r.nDrawFlags);
        int nMarked = 0;
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 40; x++)
                nMarked += canvas.At(x, y) == style.clrText2;
        if (r.nInset == 0) {
            EXPECT_EQ(0, nMarked) << r.name;
            continue;
        }
        const int i = r.nInset;
        EXPECT_EQ(style.clrText2, canvas.At(i, i)) << r.name;
        EXPECT_NE(style.clrText2, canvas.At(i + 1, i)) << r.name << ": dotted along the top";
        EXPECT_EQ(style.clrText2, canvas.At(i + 2, i)) << r.name;
        EXPECT_NE(style.clrText2, canvas.At(i, i + 1)) << r.name << ": dotted down the side";
        EXPECT_EQ(style.clrText2, canvas.At(i, i + 2)) << r.name;
        EXPECT_EQ(style.clrText2, canvas.At(i + 32, i)) << r.name << ": along the whole top";
        EXPECT_NE(style.clrText2, canvas.At(i - 1, i)) << r.name << ": nothing outside it";
        EXPECT_NE(style.clrText2, canvas.At(20, 10)) << r.name << ": nothing in the middle";
    }
}

TEST(ColourSwatchPainter, SunkenWhenSelectedRaisedOtherwise)
{
    BODYSTYLE style = DistinctStyle();
    CClrSelButton swatch(&style, RGB(200, 0, 0));
    Canvas selected(16, 16, kBack), plain(16, 16, kBack);
    swatch.PaintSwatch(selected.hDC, 16, 16, TRUE);
    swatch.PaintSwatch(plain.hDC, 16, 16, FALSE);
    EXPECT_EQ(style.clrShadow, selected.At(0, 0));
    EXPECT_EQ(style.clrHighlight, selected.At(15, 15));
    EXPECT_EQ(style.clrHighlight, plain.At(0, 0));
    EXPECT_EQ(style.clrShadow, plain.At(15, 15));
    EXPECT_NE(kBack, plain.At(8, 8)) << "the face is filled";
}

} // namespace
