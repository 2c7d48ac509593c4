// The style records: defaults, values built from skin numbers, and copies.
#include "ui3d/FieldsParams.h"
#include "ui3d/ScrollBarStyle.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/TabSelParams.h"

#include <gtest/gtest.h>
#include <cstring>

TEST(StyleRecords, ColorSetDefaultIsGreyThenBlack)
{
    const COLORSET set;
    const COLORREF expected[6] = {0x7F7F7F, 0, 0, 0, 0, 0};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(expected[i], set.clr[i]) << "entry " << i;
    EXPECT_EQ(0u, set.Get(3));
    EXPECT_EQ(0x7F7F7Fu, set.Get(-1));
}

TEST(StyleRecords, GradientFromSkinValues)
{
    struct Row { int light, dark, number, kind, mirrored, outLight, outDark; } rows[] = {
        {50, 20, 2, 2, 0, 50, 20},
        {50, 20, 5, 2, 1, 50, 20},
        {130, -4, 3, 3, 0, 100, 0},
        {-4, 101, 6, 3, 1, 0, 100},
    };
    for (const Row& r : rows) {
        const GRADIENTSTYLE g(r.light, r.dark, r.number);
        EXPECT_EQ(r.kind, g.nKind) << "number " << r.number;
        EXPECT_EQ(r.mirrored, g.bMirrored) << "number " << r.number;
        EXPECT_EQ(r.outLight, g.nLight) << "light " << r.light;
        EXPECT_EQ(r.outDark, g.nDark) << "dark " << r.dark;
    }
}

TEST(StyleRecords, TextStyleDefaultsAndCopiesCarryTags)
{
    TEXTSTYLE src;
    const char* tags[MARKUP_COUNT] = {"<n>", "<b>", "<i>", "<bi>", "<rgb(", ")>", "<noclr>", "&", "<3d>", "<no3d>"};
    for (int i = 0; i < MARKUP_COUNT; i++)
        EXPECT_STREQ(tags[i], src.szTags[i]) << "tag " << i;
    EXPECT_EQ(300, src.nTipMaxWidth);
    EXPECT_EQ(0x5D, src.nFlags);
    EXPECT_STREQ("; ", src.strSeparator);
    EXPECT_EQ(1, src.bItemBorder);
    EXPECT_EQ(1, src.bHotItemBorder);

    strcpy(src.szTags[MARKUP_BOLD], "[b]");
    src.strSeparator = " | ";
    TEXTSTYLE copy(src);
    TEXTSTYLE assigned;
    assigned = src;
    src.strSeparator = "changed";
    for (const TEXTSTYLE* p : {&copy, &assigned}) {
        EXPECT_STREQ("[b]", p->szTags[MARKUP_BOLD]);
        EXPECT_STREQ(" | ", p->strSeparator);
    }
}

TEST(StyleRecords, BodyStyleFromSystemColorsAndCopyIsIndependent)
{
    BODYSTYLE skin = BODYSTYLE::FromSystemColors();
    EXPECT_EQ(572, skin.cbSize);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), skin.clrFace);
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), skin.clrText2);
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), skin.clrDarkShadow2);
    EXPECT_EQ(30, skin.nLightenPercent);
    EXPECT_EQ(30, skin.nDarkenPercent);
    EXPECT_EQ(2, skin.nGradientKind);
    EXPECT_EQ(0x3B, skin.nFlags);
    EXPECT_EQ(0x7F7F7Fu, skin.buttonLook.colors.clr[0]);

    CImageReader* fakeImage = reinterpret_cast<CImageReader*>(&skin);  // only compared, never used
    skin.pCheckImages[0] = fakeImage;
    skin.textStyle.strSeparator = "skin";
    BODYSTYLE control = BODYSTYLE::FromSystemColors();
    control = skin;
    skin.clrFace = 0x123456;
    skin.textStyle.strSeparator = "later";
    EXPECT_NE(0x123456u, control.clrFace);
    EXPECT_STREQ("skin", control.textStyle.strSeparator);
    EXPECT_EQ(fakeImage, control.pCheckImages[0]);
    EXPECT_EQ(572, control.cbSize);
}

TEST(StyleRecords, FontStyleDefaultsAndFaceNameLimit)
{
    const FONTSTYLE f;
    EXPECT_EQ(0xFFFFFFu, f.clrPictureBack);
    EXPECT_EQ(0xB4B4B4u, f.clrName);
    EXPECT_STREQ("Arial", f.szNameFace);
    EXPECT_EQ(-9, f.nNameHeight);
    EXPECT_EQ(0x7F7F7Fu, f.clrFrame);
    EXPECT_EQ(30, f.nFrameLighten);
    EXPECT_EQ(30, f.nFrameDarken);
    EXPECT_EQ(1, f.nFrameGradientKind);
    EXPECT_EQ(0xFFFFFFu, f.clrText);
    EXPECT_EQ(0x404040u, f.clrTextBack);
    EXPECT_EQ(0xFFFFFFu, f.dwExtra1);
    EXPECT_EQ(255u, f.dwExtra2);
    EXPECT_STREQ("Arial", f.szTextFace);
    EXPECT_EQ(-11, f.nTextHeight);

    const char sz31[] = "0123456789012345678901234567890";
    const char sz32[] = "01234567890123456789012345678901";
    const FONTSTYLE g(0, 0, 0, 0, 0, 0, 0, 0, 0, sz31, sz32);
    EXPECT_STREQ(sz31, g.szNameFace);
    EXPECT_STREQ("", g.szTextFace);
}

TEST(StyleRecords, TooltipAndMenuBarDefaults)
{
    const TOOLTIPSTYLE t(0xFFFFFF, 0xFF0000, "; ", 0xD0);
    EXPECT_EQ(300, t.nMaxWidth);
    EXPECT_EQ(-1, t.nInitialDelay);
    EXPECT_EQ(0, t.nDisplayTime);
    EXPECT_EQ(0xD0, t.nFlags);
    const MENUBARSTYLE m;
    EXPECT_EQ(0x7F7F7Fu, m.hotBorderDarkColors.clr[0]);
    EXPECT_EQ(nullptr, m.hotItemLayer.pImage);
    EXPECT_EQ(0, m.font.lfHeight);
}

TEST(StyleRecords, PointArraySetCopyAndSelfAssignment)
{
    const POINT pts[3] = {{1, 2}, {3, 4}, {5, 6}};
    POINTARRAY a;
    a.Set(3, pts);
    ASSERT_EQ(3, a.nCount);

    a = *&a;    // self-assignment must keep the points, not read freed memory
    ASSERT_EQ(3, a.nCount);
    ASSERT_NE(nullptr, a.pPoints);
    EXPECT_EQ(5, a.pPoints[2].x);

    POINTARRAY b;
    b = a;
    EXPECT_NE(a.pPoints, b.pPoints);
    EXPECT_EQ(6, b.pPoints[2].y);
    POINTARRAY c(a);
    EXPECT_EQ(4, c.pPoints[1].y);

    // Its own points, or part of them, as the new source.
    a.Set(2, a.pPoints + 1);
    ASSERT_EQ(2, a.nCount);
    EXPECT_EQ(3, a.pPoints[0].x);
    EXPECT_EQ(5, a.pPoints[1].x);

    b.Set(0, pts);
    EXPECT_EQ(0, b.nCount);
    EXPECT_EQ(nullptr, b.pPoints);
    c.Set(2, nullptr);
    EXPECT_EQ(0, c.nCount);
    EXPECT_EQ(nullptr, c.pPoints);
    b = c;
    EXPECT_EQ(nullptr, b.pPoints);
}

TEST(StyleRecords, ScrollBarStyleDefaultsAndCopy)
{
    SCROLLBARSTYLE s;
    EXPECT_EQ(604, s.cbSize);
    EXPECT_EQ(0, s.nApplyMask);
    EXPECT_EQ(1, s.nOptions);
    EXPECT_EQ(6, s.nBorders);
    EXPECT_EQ(0x7F7F7Fu, s.thumb.colors[2].clr[0]);
    EXPECT_EQ(0, s.buttons.gradients[1].nKind);
    EXPECT_EQ(0, s.nThumbOpacity);

    s.nApplyMask = 0xFF;
    s.track.layers[1].pImage = reinterpret_cast<CImageReader*>(&s);
    s.nThumbFadeLength = 77;
    SCROLLBARSTYLE d;
    CopyControlLook(d, s);
    EXPECT_EQ(0xFF, d.nApplyMask);
    EXPECT_EQ(s.track.layers[1].pImage, d.track.layers[1].pImage);
    EXPECT_EQ(77, d.nThumbFadeLength);
}

TEST(StyleRecords, TabAndFieldsDefaults)
{
    const TABSELPARAMS t;
    EXPECT_EQ(0x7F7F7Fu, t.looks[TABLOOK_SELECTED].textShadowColors.clr[0]);
    EXPECT_EQ(0, t.looks[TABLOOK_HOT].nTextType);
    EXPECT_EQ(604, t.scrollButtons.cbSize);
    EXPECT_EQ(0x5D, t.menuStyle.nFlags);
    EXPECT_EQ(0, t.nStripWidth);

    const FIELDSPARAMS f;
    EXPECT_EQ(GetSysColor(COLOR_APPWORKSPACE), f.grid.clrBack);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVEBORDER), f.grid.clrGrid);
    EXPECT_EQ(128, f.grid.nRows);
    EXPECT_EQ(IDC_ARROW, f.grid.pszCursors[2]);
    EXPECT_EQ(IDC_HAND, f.grid.pszCursors[3]);
    EXPECT_EQ(0, f.grid.bWhiteCells);
    EXPECT_EQ(nullptr, f.grid.pCellFont);
}

TEST(StyleRecords, FieldsFromValuesSetsStripWidthAndCopiesDeeply)
{
    TABSELPARAMS tabs;
    tabs.nButtonHeight = 18;
    TEXTSTYLE text;
    text.strSeparator = "x";
    const int block[8] = {10, 0, 47, 0, 0, 0, 0, 0};
    const int rect[4] = {9, 66, 254, 194};
    FIELDSPARAMS f(SCROLLBARSTYLE(), text, 0, 21, 20, 31, tabs, block, rect, FIELDGRIDDEFAULTS(), 35, 34);
    EXPECT_EQ(37, f.tabStrip.nStripWidth);
    EXPECT_EQ(18, f.tabStrip.nButtonHeight);
    EXPECT_EQ(14, f.nMetrics[0]);
    EXPECT_EQ(16, f.nMetrics[1]);
    EXPECT_EQ(21, f.rcTabStrip.top);
    EXPECT_EQ(194, f.nFieldsRect[3]);
    EXPECT_EQ(34, f.nCellSize[1]);

    FIELDSPARAMS g;
    g = f;
    f.textStyle.strSeparator = "y";
    f.tabStrip.menuStyle.strSeparator = "z";
    EXPECT_STREQ("x", g.textStyle.strSeparator);
    EXPECT_STREQ("; ", g.tabStrip.menuStyle.strSeparator);
    EXPECT_EQ(37, g.tabStrip.nStripWidth);
}
