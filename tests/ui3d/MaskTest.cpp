// The window mask: a monochrome bitmap becomes a region whose pixels are
// exactly the shape's, whichever bit value the picture uses for the inside.
#include <gtest/gtest.h>

#include "ui3d/drawing/Mask.h"
#include "framework/Gdi.h"

#include <functional>
#include <vector>

namespace {

typedef std::function<bool(int, int)> Shape;

// A monochrome device-dependent bitmap with set bits where bSetInside says.
HBITMAP MakeMonoBitmap(int cx, int cy, const Shape& inside, bool bSetInside)
{
    const int nStride = (cx + 15) / 16 * 2;  // CreateBitmap wants word-aligned rows
    std::vector<BYTE> bits(size_t(nStride) * cy, 0);
    for (int y = 0; y < cy; y++)
        for (int x = 0; x < cx; x++)
            if (inside(x, y) == bSetInside)
                bits[size_t(y) * nStride + x / 8] |= BYTE(0x80 >> (x % 8));
    return CreateBitmap(cx, cy, 1, 1, bits.data());
}

void ExpectRegionIsShape(const CRgn& rgn, int cx, int cy, const Shape& inside, const char* pszCase)
{
    int nWrong = 0;
    for (int y = -1; y <= cy && nWrong < 5; y++)
        for (int x = -1; x <= cx && nWrong < 5; x++) {
            const bool bExpected = x >= 0 && y >= 0 && x < cx && y < cy && inside(x, y);
            if (bool(rgn.PtInRegion(x, y)) != bExpected) {
                ADD_FAILURE() << pszCase << ": pixel (" << x << ", " << y << ") should be "
                              << (bExpected ? "inside" : "outside");
                nWrong++;
            }
        }
}

const Shape kDisk = [](int x, int y) {
    const int dx = 2 * x + 1 - 40, dy = 2 * y + 1 - 40;  // centre (20, 20), radius 15
    return dx * dx + dy * dy <= 30 * 30;
};

// A comb: a 2-pixel spine with a one-pixel tooth on every other column.
// Each tooth costs four corners, so the outline has well over 8192 of them.
const int kCombWidth = 4402;
const Shape kComb = [](int x, int y) {
    if (x < 1 || x > kCombWidth - 2)
        return false;
    return y == 2 || y == 3 || (y == 1 && x % 2 == 1);
};

TEST(MaskTest, RegionIsTheShapeWhicheverBitMarksTheInside)
{
    struct Case
    {
        const char* pszName;
        int cx, cy;
        const Shape* pShape;
        bool bSetInside;
        BOOL bInverted;
    } cases[] = {
        {"disk in clear surroundings", 40, 40, &kDisk, true, FALSE},
        {"disk in set surroundings", 40, 40, &kDisk, false, TRUE},
        {"comb of 8800 corners", kCombWidth, 5, &kComb, true, FALSE},
        {"inverted comb", kCombWidth, 5, &kComb, false, TRUE},
    };
    for (const Case& c : cases) {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.Attach(MakeMonoBitmap(c.cx, c.cy, *c.pShape, c.bSetInside))) << c.pszName;
        CMask mask;
        ASSERT_TRUE(mask.LoadFromBitmap(bitmap)) << c.pszName;
        EXPECT_EQ(c.bInverted, mask.m_bInverted) << c.pszName;
        CRgn rgn;
        ASSERT_TRUE(mask.CreateRegion(rgn)) << c.pszName;
        ExpectRegionIsShape(rgn, c.cx, c.cy, *c.pShape, c.pszName);
    }
}

TEST(MaskTest, PolarityFollowsTheCorners)
{
    // Set corners and centre, by the rule: three or four set corners mean set
    // is outside; two set corners decide by the centre pixel.
    struct Case
    {
        const char* pszName;
        bool tl, tr, bl, br, centre;
        BOOL bInverted;
    } cases[] = {
        {"no corner", false, false, false, false, true, FALSE},
        {"one corner", true, false, false, false, false, FALSE},
        {"two corners, clear centre", true, true, false, false, false, TRUE},
        {"two corners, set centre", true, false, false, true, true, FALSE},
        {"three corners", true, true, true, false, true, TRUE},
        {"four corners", true, true, true, true, true, TRUE},
    };
    for (const Case& c : cases) {
        const Case* p = &c;
        const Shape set = [p](int x, int y) {
            if (x == 0 && y == 0) return p->tl;
            if (x == 9 && y == 0) return p->tr;
            if (x == 0 && y == 7) return p->bl;
            if (x == 9 && y == 7) return p->br;
            if (x == 5 && y == 4) return p->centre;
            return false;
        };
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.Attach(MakeMonoBitmap(10, 8, set, true))) << c.pszName;
        CMask mask;
        ASSERT_TRUE(mask.LoadFromBitmap(bitmap)) << c.pszName;
        EXPECT_EQ(c.bInverted, mask.IsInverted()) << c.pszName;
    }
}

TEST(MaskTest, RefusesWhatIsNotAPlainMonochromeBitmap)
{
    CBitmap colour;
    ASSERT_TRUE(colour.Attach(CreateBitmap(8, 8, 1, 24, NULL)));
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 8;
    bmi.bmiHeader.biHeight = 8;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 1;
    void* pBits = NULL;
    CBitmap section;
    ASSERT_TRUE(section.Attach(CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0)));
    struct Case
    {
        const char* pszName;
        HBITMAP hBitmap;
    } cases[] = {{"24 bits per pixel", colour}, {"1-bit DIB section", section}, {"no bitmap", NULL}};
    for (const Case& c : cases) {
        CMask mask;
        EXPECT_FALSE(mask.LoadFromBitmap(c.hBitmap)) << c.pszName;
        CRgn rgn;
        EXPECT_FALSE(mask.CreateRegion(rgn)) << c.pszName;
        EXPECT_EQ(NULL, rgn.m_hObject) << c.pszName;
    }
    CMask mask;
    EXPECT_FALSE(mask.LoadBitmap(65000)) << "missing resource";
}

TEST(MaskTest, AllOutsideGivesNoRegion)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.Attach(MakeMonoBitmap(16, 16, [](int, int) { return false; }, true)));
    CMask mask;
    ASSERT_TRUE(mask.LoadFromBitmap(bitmap));
    CRgn rgn;
    EXPECT_FALSE(mask.CreateRegion(rgn));
}

}  // namespace
