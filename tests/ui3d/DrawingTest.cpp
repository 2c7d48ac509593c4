// The drawing toolkit on memory DCs and pixel buffers: only what a formula
// fixes (blends, ramps, gradients, frames, outlines, palette composition).
#include "ui3d/drawing/Drawing.h"
#include "ui3d/drawing/Contrast.h"

#include "../collection/PictureSamples.h"
#include "collection/ImageReader.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A top-down 32-bit section selected into its own memory DC.
class MemSurface
{
public:
    MemSurface(int cx, int cy) : m_cx(cx)
    {
        m_hBitmap = CreateDIBSection32(cx, cy, &m_pBits);
        m_hDC = CreateCompatibleDC(nullptr);
        m_hOld = SelectObject(m_hDC, m_hBitmap);
    }
    ~MemSurface()
    {
        SelectObject(m_hDC, m_hOld);
        DeleteDC(m_hDC);
        DeleteObject(m_hBitmap);
    }
    HDC DC() const { return m_hDC; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const BYTE* p = m_pBits + (size_t(y) * m_cx + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    void Fill(COLORREF clr, int cx, int cy) { FillSolidRect(0, 0, cx, m_hDC, cy, clr); }

private:
    int m_cx;
    BYTE* m_pBits = nullptr;
    HBITMAP m_hBitmap;
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

} // namespace

TEST(Drawing, BrightnessAndRamps)
{
    EXPECT_EQ(255, GetColorBrightness(0xFFFFFF));
    EXPECT_EQ(60, GetColorBrightness(0x0000FF));
    COLORRAMP ramp;
    BuildColorRamp(&ramp, 0);
    EXPECT_EQ(0u, ramp.clr[99]);
    EXPECT_EQ(RGB(2, 2, 2), ramp.clr[100]);     // q kept at 1 at the ramp's start
    EXPECT_EQ(0xFFFFFFu, ramp.clr[255]);
    BuildColorRamp(&ramp, RGB(200, 100, 0));
    EXPECT_EQ(0u, ramp.clr[0]);
    EXPECT_EQ(0xFFFFFFu, ramp.clr[255]);
    EXPECT_EQ(DWORD(ramp.px[128] & 0xFF), DWORD(GetBValue(ramp.clr[128])));
}

TEST(Drawing, BlendModesOnPixelPairs)
{
    struct Row { int mode; BYTE a, b, expected; } rows[] = {
        {BLEND_DARKEN, 200, 100, 100},       {BLEND_MULTIPLY, 255, 51, 51},
        {BLEND_MULTIPLY, 102, 0, 0},         {BLEND_COLORBURN, 255, 51, 255},
        {BLEND_COLORBURN, 100, 0, 0},        {BLEND_COLORBURN, 255, 0, 255},  // 0/0
        {BLEND_LINEARBURN, 200, 100, 45},    {BLEND_LINEARBURN, 50, 50, 0},
        {BLEND_LIGHTEN, 200, 100, 200},      {BLEND_SCREEN, 0, 51, 51},
        {BLEND_SCREEN, 255, 0, 255},         {BLEND_COLORDODGE, 51, 255, 255},
        {BLEND_COLORDODGE, 0, 255, 255},     {BLEND_COLORDODGE, 51, 0, 51},
        {BLEND_LINEARDODGE, 153, 153, 255},  {BLEND_LINEARDODGE, 51, 51, 102},
        {BLEND_OVERLAY, 51, 255, 102},       {BLEND_OVERLAY, 255, 0, 255},
        {BLEND_SOFTLIGHT, 255, 0, 255},      {BLEND_SOFTLIGHT, 0, 255, 0},
        {BLEND_HARDLIGHT, 255, 51, 102},     {BLEND_HARDLIGHT, 0, 255, 255},
        {BLEND_VIVIDLIGHT, 255, 0, 255},     {BLEND_VIVIDLIGHT, 102, 255, 255},
        {BLEND_VIVIDLIGHT, 51, 0, 0},        {BLEND_LINEARLIGHT, 51, 255, 255},
        {BLEND_LINEARLIGHT, 51, 51, 0},      {BLEND_PINLIGHT, 0, 255, 255},
        {BLEND_PINLIGHT, 255, 0, 0},         {BLEND_PINLIGHT, 102, 102, 102},
        {BLEND_HARDMIX, 100, 200, 255},      {BLEND_HARDMIX, 100, 100, 0},
    };
    for (const Row& r : rows) {
        BYTE base[4] = {r.a, r.a, r.a, 99};
        const BYTE top[4] = {r.b, r.b, r.b, 99};
        ASSERT_TRUE(BlendPixels(base, top, r.mode, 1, 1));
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(r.expected, base[c]) << "mode " << r.mode << " a " << int(r.a) << " b " << int(r.b);
        EXPECT_EQ(0, base[3]) << "mode " << r.mode;
    }
    BYTE px[4] = {0};
    EXPECT_FALSE(BlendPixels(px, px, 0, 1, 1));
    EXPECT_FALSE(BlendPixels(px, px, 16, 1, 1));
    EXPECT_FALSE(BlendPixels(px, nullptr, 1, 1, 1));
    EXPECT_FALSE(BlendPixels(px, px, 1, 0, 1));
}

TEST(Drawing, HardMixComparesTheBytesTiesIncluded)
{
    // Every pair, the 256 ties 1 - a = b among them: those give 1 (255),
    // which a comparison of the fractions in extended precision got wrong.
    for (int a = 0; a < 256; a++)
        for (int b = 0; b < 256; b++) {
            BYTE base[4] = {BYTE(a), BYTE(a), BYTE(a), 0};
            const BYTE top[4] = {BYTE(b), BYTE(b), BYTE(b), 0};
            BlendPixels(base, top, BLEND_HARDMIX, 1, 1);
            const BYTE expected = 255 - a > b ? 0 : 255;
            if (base[0] != expected) {
                ADD_FAILURE() << "a " << a << " b " << b << ": " << int(base[0]);
                return;
            }
        }
}

TEST(Drawing, ClampUnitToByteAndPremultiply)
{
    bool bValid;
    EXPECT_EQ(0, ClampUnitToByte(-0.5, &bValid));
    EXPECT_EQ(255, ClampUnitToByte(1.5, &bValid));
    EXPECT_FALSE(bValid);
    EXPECT_EQ(255, ClampUnitToByte(NAN, &bValid));
    EXPECT_FALSE(bValid);
    EXPECT_EQ(127, ClampUnitToByte(0.5, &bValid));
    EXPECT_TRUE(bValid);

    BYTE px[10] = {200, 100, 255, 128, 10, 20, 30, 0, 77, 77};
    PremultiplyAlpha(sizeof(px), px);
    const BYTE expected[10] = {100, 50, 128, 128, 0, 0, 0, 0, 77, 77};   // a partial pixel stays
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(expected[i], px[i]) << "byte " << i;
    BYTE three[3] = {9, 9, 9};
    PremultiplyAlpha(3, three);
    EXPECT_EQ(9, three[0]);
}

TEST(Drawing, GradientFrameRampsWithoutGradientFill)
{
    ASSERT_EQ(nullptr, g_pExportedFuncs);   // the line-by-line ramps, exact in integers
    MemSurface s(10, 7);
    DrawGradientFrame(RGB(0, 0, 0), s.DC(), 0, 0, 10, 7, RGB(100, 100, 100), RGB(200, 200, 200), GRADIENT_HORIZONTAL);
    struct Row { int x; COLORREF clr; } horiz[] = {
        {0, RGB(0, 0, 0)}, {1, RGB(20, 20, 20)}, {4, RGB(80, 80, 80)}, {5, RGB(100, 100, 100)}, {9, RGB(180, 180, 180)}};
    for (const Row& r : horiz)
        EXPECT_EQ(r.clr, s.At(r.x, 3)) << "x " << r.x;

    // Odd height 7 splits at 3: rows 0..2 then 3..6.
    DrawGradientFrame(RGB(0, 0, 0), s.DC(), 0, 0, 10, 7, RGB(90, 90, 90), RGB(170, 170, 170), GRADIENT_VERTICAL);
    EXPECT_EQ(RGB(0, 0, 0), s.At(5, 0));
    EXPECT_EQ(RGB(60, 60, 60), s.At(5, 2));
    EXPECT_EQ(RGB(90, 90, 90), s.At(5, 3));
    EXPECT_EQ(RGB(150, 150, 150), s.At(5, 6));

    // Diagonal: constant along lines from bottom-left to top-right.
    DrawGradientFrame(RGB(0, 0, 0), s.DC(), 0, 0, 10, 7, RGB(90, 90, 90), RGB(250, 250, 250), GRADIENT_DIAGONAL);
    EXPECT_EQ(s.At(4, 0), s.At(3, 1));
    EXPECT_EQ(s.At(4, 0), s.At(0, 4));
    EXPECT_EQ(RGB(0, 0, 0), s.At(0, 0));
    EXPECT_NE(s.At(0, 0), s.At(9, 6));

    DrawGradientFrame(RGB(1, 2, 3), s.DC(), 0, 0, 10, 7, RGB(40, 50, 60), RGB(7, 8, 9), GRADIENT_NONE);
    EXPECT_EQ(RGB(40, 50, 60), s.At(0, 0));
    EXPECT_EQ(RGB(40, 50, 60), s.At(9, 6));
}

TEST(Drawing, FrameLinesOwnTheirCorners)
{
    MemSurface s(6, 5);
    s.Fill(RGB(0, 0, 255), 6, 5);
    const COLORREF L = RGB(255, 255, 255), D = RGB(0, 0, 0), B = RGB(0, 0, 255);
    Draw3DFrameLines(4, 1, s.DC(), 1, 3, L, D);
    struct Row { int x, y; COLORREF clr; } rows[] = {
        {1, 1, L}, {3, 1, L}, {4, 1, D},    // top-right corner is dark
        {1, 2, L}, {1, 3, D},               // bottom-left corner is dark
        {4, 3, D}, {2, 3, D}, {2, 2, B}, {0, 0, B}, {5, 4, B}};
    for (const Row& r : rows)
        EXPECT_EQ(r.clr, s.At(r.x, r.y)) << "(" << r.x << ", " << r.y << ")";
}

TEST(Drawing, ArrowGlyphSizesAndShape)
{
    // The base spans the pixels the middle third touches (odd), the height
    // is half the base rounded up: a scroll button of 17 gets a 7 x 4 arrow.
    const struct { int cx, cy, nType, nLines; } sizes[] = {
        {9, 9, ARROW_DOWN, 2}, {17, 17, ARROW_UP, 4}, {132, 12, ARROW_LEFT, 3}, {40, 12, ARROW_RIGHT, 3},
        {16, 16, ARROW_DOWN, 4}, {2, 2, ARROW_UP, 1}, {9, 9, 4, -1},
    };
    for (const auto& row : sizes) {
        const RECT rc = {0, 0, row.cx, row.cy};
        EXPECT_EQ(row.nLines, DrawArrowGlyph(rc, nullptr, 0, row.nType))
            << row.cx << " x " << row.cy << ", type " << row.nType;
    }
    const RECT rc = {0, 0, 9, 9};
    MemSurface s(9, 9);
    s.Fill(RGB(255, 255, 255), 9, 9);
    ASSERT_EQ(2, DrawArrowGlyph(rc, s.DC(), RGB(0, 0, 0), ARROW_DOWN));
    // Base of 3 on row 3, tip of 1 on row 4.
    EXPECT_EQ(0u, s.At(3, 3));
    EXPECT_EQ(0u, s.At(5, 3));
    EXPECT_EQ(0u, s.At(4, 4));
    EXPECT_EQ(RGB(255, 255, 255), s.At(3, 4));
    EXPECT_EQ(RGB(255, 255, 255), s.At(4, 5));

    // 17 x 17 pointing up: tip at (8, 6), base from x 5 to 11 on row 9.
    const RECT rcBig = {0, 0, 17, 17};
    MemSurface big(17, 17);
    big.Fill(RGB(255, 255, 255), 17, 17);
    ASSERT_EQ(4, DrawArrowGlyph(rcBig, big.DC(), RGB(0, 0, 0), ARROW_UP));
    const struct { int x, y; COLORREF clr; } px[] = {
        {8, 6, 0}, {7, 6, RGB(255, 255, 255)}, {8, 5, RGB(255, 255, 255)}, {5, 9, 0}, {11, 9, 0},
        {4, 9, RGB(255, 255, 255)}, {12, 9, RGB(255, 255, 255)}, {8, 10, RGB(255, 255, 255)},
    };
    for (const auto& p : px)
        EXPECT_EQ(p.clr, big.At(p.x, p.y)) << "(" << p.x << ", " << p.y << ")";
}

TEST(Drawing, TileAtAnchoredGrid)
{
    MemSurface src(2, 1), dst(5, 1);
    FillSolidRect(0, 0, 1, src.DC(), 1, RGB(255, 0, 0));
    FillSolidRect(0, 1, 1, src.DC(), 1, RGB(0, 255, 0));
    const RECT rcSrc = {0, 0, 2, 1}, rcDst = {0, 0, 5, 1};
    TileBitmapAt(dst.DC(), rcDst, src.DC(), rcSrc, 1, 0);    // grid ..., -1, 1, 3, ...
    const COLORREF R = RGB(255, 0, 0), G = RGB(0, 255, 0);
    const COLORREF expected[5] = {G, R, G, R, G};
    for (int x = 0; x < 5; x++)
        EXPECT_EQ(expected[x], dst.At(x, 0)) << "x " << x;
}

TEST(Drawing, SkinBackgroundGradientColours)
{
    // Light 0 still lightens by one percent; the middle is the colour itself.
    const GRADIENTSTYLE g(0, 50, GRADIENT_HORIZONTAL);
    COLORREF first, last;
    GetGradientColors(RGB(100, 200, 255), g, &first, &last);
    EXPECT_EQ(RGB(101, 200, 255), first);
    EXPECT_EQ(RGB(50, 100, 128), last);
    GetGradientColors(RGB(100, 200, 255), GRADIENTSTYLE(0, 50, 4), &first, &last);
    EXPECT_EQ(RGB(50, 100, 128), first);

    const SIZE none = {0, 0};
    EXPECT_EQ(nullptr, CreateSkinBackground(none, 0, g, IMAGELAYER(), POINT{0, 0}));
    HBITMAP hBitmap = CreateSkinBackground(SIZE{4, 2}, RGB(100, 100, 100), GRADIENTSTYLE(), IMAGELAYER(), POINT{0, 0});
    ASSERT_NE(nullptr, hBitmap);
    BITMAP bm;
    GetObjectA(hBitmap, sizeof(bm), &bm);
    EXPECT_EQ(4, bm.bmWidth);
    EXPECT_EQ(32, bm.bmBitsPixel);
    EXPECT_EQ(100, static_cast<const BYTE*>(bm.bmBits)[0]);
    DeleteObject(hBitmap);
}

TEST(Drawing, OutlinesOfSmallShapes)
{
    struct Row { const char* name; int cx, cy; std::vector<BYTE> mask; std::vector<POINT> corners; } rows[] = {
        {"1x1", 1, 1, {1}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
        {"row of 3", 3, 1, {1, 1, 1}, {{0, 0}, {3, 0}, {3, 1}, {0, 1}}},
        {"column of 3", 1, 3, {1, 1, 1}, {{0, 0}, {1, 0}, {1, 3}, {0, 3}}},
        {"lone pixel inside", 3, 3, {0, 0, 0, 0, 1, 0, 0, 0, 0}, {{1, 1}, {2, 1}, {2, 2}, {1, 2}}},
        {"L shape", 2, 2, {1, 0, 1, 1}, {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}, {0, 2}}},
        {"empty", 2, 2, {0, 0, 0, 0}, {}},
    };
    for (const Row& r : rows) {
        POINTARRAY outline;
        const int n = TraceOutline(outline, r.mask.data(), r.cx, r.cy);
        ASSERT_EQ(int(r.corners.size()), n) << r.name;
        for (int i = 0; i < n; i++) {
            EXPECT_EQ(r.corners[i].x, outline.pPoints[i].x) << r.name << " point " << i;
            EXPECT_EQ(r.corners[i].y, outline.pPoints[i].y) << r.name << " point " << i;
        }
    }
}

TEST(Drawing, ImageOutlineOnlyForTransparentGif)
{
    GifRecipe recipe;
    recipe.cx = 1;
    recipe.cy = 1;
    recipe.globalTable = {RGB(255, 0, 0), RGB(0, 0, 0)};
    GifFrameRecipe frame;
    frame.pixels = {0};
    frame.bControl = true;
    frame.nTransparent = 1;
    recipe.frames = {frame};
    Bytes gif = MakeGif(recipe);
    CImageReader image;
    ASSERT_TRUE(CImageReader::LoadFromMemory(gif.data(), image, uint32_t(gif.size()), FALSE));
    POINTARRAY outline;
    EXPECT_EQ(4, TraceImageOutline(outline, &image));   // a 1x1 opaque picture has 4 corners

    recipe.frames[0].nTransparent = -1;
    recipe.frames[0].bControl = false;
    gif = MakeGif(recipe);
    CImageReader opaque;
    ASSERT_TRUE(CImageReader::LoadFromMemory(gif.data(), opaque, uint32_t(gif.size()), FALSE));
    EXPECT_EQ(0, TraceImageOutline(outline, &opaque));
    CImageReader empty;
    EXPECT_EQ(0, TraceImageOutline(outline, &empty));
    EXPECT_EQ(0, TraceImageOutline(outline, nullptr));
}

namespace {

void PaintGreyBackground(HDC hDC, int cx, int cy, void*)
{
    FillSolidRect(0, 0, cx, hDC, cy, RGB(100, 100, 100));
}

Bytes PaletteBmp(int nBpp, int cx, const std::vector<COLORREF>& palette, const std::vector<uint32_t>& pixels)
{
    BmpRecipe recipe;
    recipe.cx = cx;
    recipe.cy = 1;
    recipe.nBpp = nBpp;
    recipe.palette = palette;
    recipe.pixels = pixels;
    return MakeBmp(recipe);
}

} // namespace

TEST(Drawing, PaintThroughDIBSectionHonoursBitCount)
{
    // Colour: index 1 is pure red; mask: index 1 fully opaque, index 0 clear.
    // Pixels 0 1 1 0 1 1 0 1 1 0 in both, so a misread bit count shows.
    const std::vector<uint32_t> idx = {0, 1, 1, 0, 1, 1, 0, 1, 1, 0};
    for (int nBpp : {1, 4, 8}) {
        const std::vector<COLORREF> colours = {RGB(0, 0, 255), RGB(255, 0, 0)};
        const std::vector<COLORREF> opacity = {RGB(0, 0, 0), RGB(255, 255, 255)};
        const Bytes clrBmp = PaletteBmp(nBpp, 10, colours, idx);
        const Bytes maskBmp = PaletteBmp(nBpp, 10, opacity, idx);
        CImageReader clr, mask;
        ASSERT_TRUE(CImageReader::LoadFromMemory(clrBmp.data(), clr, uint32_t(clrBmp.size()), FALSE)) << nBpp;
        ASSERT_TRUE(CImageReader::LoadFromMemory(maskBmp.data(), mask, uint32_t(maskBmp.size()), FALSE)) << nBpp;
        ASSERT_EQ(nBpp, clr.GetReader()->GetFrameDib()->biBitCount);

        MemSurface s(12, 1);
        s.Fill(RGB(0, 255, 0), 12, 1);
        const RECT rc = {1, 0, 12, 1};
        ASSERT_TRUE(PaintThroughDIBSection(s.DC(), rc, &clr, &mask, PaintGreyBackground, nullptr)) << nBpp;
        for (int x = 0; x < 10; x++)
            EXPECT_EQ(idx[x] ? RGB(255, 0, 0) : RGB(100, 100, 100), s.At(1 + x, 0)) << nBpp << " bpp, x " << x;
        EXPECT_EQ(RGB(100, 100, 100), s.At(11, 0)) << "beyond the picture the background stays";
        EXPECT_EQ(RGB(0, 255, 0), s.At(0, 0));
    }
}

TEST(Drawing, DialogTemplateLayout)
{
    BYTE* pBlock = nullptr;
    UINT cb = 0;
    const RECT rc = {10, 20, 110, 70};
    ASSERT_TRUE(BuildDialogTemplate(rc, WS_POPUP, nullptr, &pBlock, &cb));
    EXPECT_EQ(54u, cb);
    const DLGTEMPLATE* pTemplate = reinterpret_cast<const DLGTEMPLATE*>(pBlock);
    EXPECT_EQ(DWORD(WS_POPUP | DS_SETFONT), pTemplate->style);
    EXPECT_EQ(0, pTemplate->cdit);
    EXPECT_EQ(10, pTemplate->x);
    EXPECT_EQ(100, pTemplate->cx);
    EXPECT_EQ(50, pTemplate->cy);
    const WORD* pw = reinterpret_cast<const WORD*>(pBlock + 18);
    EXPECT_EQ(0, pw[0]);    // menu
    EXPECT_EQ(0, pw[1]);    // class
    EXPECT_EQ(0, pw[2]);    // title
    EXPECT_EQ(8, pw[3]);    // point size
    EXPECT_EQ(L'M', pw[4]);
    EXPECT_EQ(0, pw[4 + 13]);
    free(pBlock);

    ASSERT_TRUE(BuildDialogTemplate(rc, 0, "Hi", &pBlock, &cb));
    EXPECT_EQ(58u, cb);
    pw = reinterpret_cast<const WORD*>(pBlock + 22);
    EXPECT_EQ(L'H', pw[0]);
    EXPECT_EQ(0, pw[2]);
    free(pBlock);
}

// The contrast ratio in integers, against figures the accessibility
// guidelines give; and the move toward white or black that makes a colour
// read.
TEST(Contrast, RatiosOfKnownPairs)
{
    const struct { COLORREF a, b; int n100; } rows[] = {
        {RGB(0, 0, 0), RGB(255, 255, 255), 2100},
        {RGB(255, 255, 255), RGB(0, 0, 0), 2100},
        {RGB(90, 90, 90), RGB(90, 90, 90), 100},
        {RGB(0x76, 0x76, 0x76), RGB(255, 255, 255), 454},
        {RGB(255, 0, 0), RGB(255, 255, 255), 399},
        {RGB(0, 0, 255), RGB(255, 255, 255), 859},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.n100, ContrastRatio100(r.a, r.b)) << std::hex << r.a << " on " << r.b;
}

TEST(Contrast, ReadableOnMovesTowardTheReadableEnd)
{
    const COLORREF kSlate = RGB(0x48, 0x50, 0x5A), kWhite = RGB(255, 255, 255);
    EXPECT_EQ(kWhite, ReadableOn(kWhite, kSlate, 450)) << "already readable";
    const struct { COLORREF clr, back; bool bLighter; } rows[] = {
        {RGB(192, 0, 0), kSlate, true},
        {RGB(30, 185, 0), kWhite, false},
        {RGB(255, 255, 0), kWhite, false},
        {RGB(0, 0, 128), RGB(0, 0, 0), true},
    };
    for (const auto& r : rows) {
        const COLORREF moved = ReadableOn(r.clr, r.back, 450);
        EXPECT_GE(ContrastRatio100(moved, r.back), 450) << std::hex << r.clr;
        EXPECT_EQ(r.bLighter, RelativeLuminance(moved) > RelativeLuminance(r.clr)) << std::hex << r.clr;
    }
    EXPECT_EQ(kWhite, ReadableOn(RGB(200, 200, 200), RGB(60, 60, 60), 2000)) << "out of reach: the far end";
    EXPECT_EQ(RGB(0, 0, 0), ReadableOn(RGB(90, 90, 90), RGB(200, 200, 200), 2000)) << "out of reach: the far end";
}
