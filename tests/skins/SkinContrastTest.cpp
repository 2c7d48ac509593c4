// The Standard skin's texts against what they stand on, in all six colour
// schemes, untinted and under the tints the options offer: every enabled,
// focused and hot text at least 4.5:1 (WCAG's contrast ratio), the focus
// mark and scroll arrows at least 3:1 against the surface they are drawn on,
// disabled texts weaker than enabled ones but not gone. The surfaces are
// rendered by the drawing toolkit (gradients and skin pictures blended as the
// controls blend them) and averaged over the band the text covers.
#include <gtest/gtest.h>

#include "skins/SkinLoader.h"
#include "ui3d/controls/3DButton.h"
#include "skins/SkinScan.h"
#include "services/Settings.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/drawing/SkinBackground.h"
#include "ui3d/menus/3DMenu.h"
#include "collection/ImageReader.h"
#include "collection/GraphicalFormatReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Channel(int c)
{
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF clr)
{
    return 0.2126 * Channel(GetRValue(clr)) + 0.7152 * Channel(GetGValue(clr)) + 0.0722 * Channel(GetBValue(clr));
}

double Contrast(COLORREF a, COLORREF b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The mean colour of rows [top, bottom) of a bitmap.
COLORREF MeanOfRows(HBITMAP hBmp, int nTop, int nBottom)
{
    BITMAP bm = {};
    if (hBmp == NULL || !GetObject(hBmp, sizeof(bm), &bm))
        return 0;
    const int cx = bm.bmWidth, cy = bm.bmHeight;
    nTop = std::max(0, nTop);
    nBottom = std::min(cy, std::max(nTop + 1, nBottom));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<BYTE> bits(size_t(cx) * cy * 4);
    HDC hdc = GetDC(NULL);
    GetDIBits(hdc, hBmp, 0, cy, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, hdc);
    double sum[3] = {0, 0, 0};
    for (int y = nTop; y < nBottom; ++y)
        for (int x = 0; x < cx; ++x)
            for (int c = 0; c < 3; ++c)
                sum[c] += bits[(size_t(y) * cx + x) * 4 + c];
    const double n = double(nBottom - nTop) * cx;
    return RGB(int(sum[2] / n + 0.5), int(sum[1] / n + 0.5), int(sum[0] / n + 0.5));
}

// A skin surface of cx x cy, averaged over its middle third of rows (where a
// centred line of text stands).
COLORREF Surface(int cx, int cy, COLORREF clr, const GRADIENTSTYLE& gradient, const IMAGELAYER& layer)
{
    const SIZE size = {cx, cy};
    HBITMAP hBmp = CreateSkinBackground(size, clr, gradient, layer, POINT{0, 0});
    const COLORREF mean = MeanOfRows(hBmp, cy / 3, cy - cy / 3);
    DeleteObject(hBmp);
    return mean;
}

// A push button's face as the button paints it: a gradient from the face
// lightened to it darkened, averaged over the middle third.
COLORREF ButtonFace(const BODYSTYLE& s)
{
    const int cx = 75, cy = 23;
    HDC hdc = GetDC(NULL);
    HBITMAP hBmp = CreateCompatibleBitmap(hdc, cx, cy);
    ReleaseDC(NULL, hdc);
    {
        CSelectedBitmapDC mem(NULL, hBmp);
        COLORREF clrLight, clrDark;
        GetGradientColors(s.clrFace, GRADIENTSTYLE(s.nLightenPercent, s.nDarkenPercent, 0), &clrLight, &clrDark);
        DrawGradientFrame(clrLight, mem.m_hDC, 0, 0, cx, cy, s.clrFace, clrDark, s.nGradientKind);
    }
    const COLORREF mean = MeanOfRows(hBmp, cy / 3, cy - cy / 3);
    DeleteObject(hBmp);
    return mean;
}

struct TEXTPAIR
{
    std::string strWhat;
    COLORREF clrText;
    COLORREF clrBack;
    double dMin;
};

const double kText = 4.5;     // enabled, focused and hot texts
const double kMark = 3.0;     // the focus mark against its surface

// Every text colour of the skin with what it stands on, at the current scheme.
std::vector<TEXTPAIR> TextPairs(const CSkin& skin)
{
    const int s = g_nSkinColorScheme;
    const BODYSTYLE& body = skin.m_bodyStyle;
    std::vector<TEXTPAIR> pairs;
    const COLORREF clrBody = Surface(320, 240, body.body.colors.Get(s), body.body.gradient, body.body.layer);
    const COLORREF clrButton = ButtonFace(body);
    pairs.push_back({"static, check box and group caption on the dialog body", body.clrText, clrBody, kText});
    pairs.push_back({"focused check box on the dialog body", body.clrText2, clrBody, kText});
    pairs.push_back({"focus mark on the dialog body", body.clrText2, clrBody, kMark});
    pairs.push_back({"push button", body.clrText, clrButton, kText});
    pairs.push_back({"focused push button", body.clrText2, clrButton, kText});
    pairs.push_back({"focus mark on a push button", body.clrText2, clrButton, kMark});
    pairs.push_back({"edit and combo box", body.clrText, body.clrFace, kText});
    pairs.push_back({"link on the dialog body", body.textStyle.mnemonicColors.Get(s), clrBody, kText});

    const TEXTSTYLE& menu = skin.m_menuTextStyle;
    const int nItem = std::max(menu.nItemHeight, 16);
    const COLORREF clrItem = Surface(160, nItem, menu.itemColors.Get(s), menu.itemGradient, menu.itemLayer);
    const COLORREF clrHotItem = Surface(160, nItem, menu.hotItemColors.Get(s), menu.itemGradient, menu.hotItemLayer);
    pairs.push_back({"menu item", menu.textColors.Get(s), clrItem, kText});
    pairs.push_back({"menu mnemonic", menu.mnemonicColors.Get(s), clrItem, kText});
    pairs.push_back({"hot menu item", menu.hotTextColors.Get(s), clrHotItem, kText});
    // Items the program colours by markup: the red "Exit", the undo and redo
    // marks, a field named in its own colour.
    static const struct { const char* pszWhat; COLORREF clr; } kMarked[] = {
        {"menu item marked red (192,0,0)", RGB(192, 0, 0)}, {"menu item marked red (255,0,0)", RGB(255, 0, 0)},
        {"menu item marked green", RGB(0, 255, 0)},         {"menu item marked yellow", RGB(255, 255, 0)},
        {"menu item marked navy", RGB(0, 0, 128)},           {"menu item marked black", RGB(0, 0, 0)},
    };
    for (const auto& marked : kMarked)
        pairs.push_back({marked.pszWhat, ReadableRunColor(menu, marked.clr), clrItem, kText});

    const MENUBARSTYLE& bar = skin.m_menuBarStyle;
    const int nBar = std::max(bar.nHeight, 14);
    pairs.push_back({"menu bar on the main window", bar.textColors.Get(s), skin.m_clrsBody.Get(s), kText});
    pairs.push_back({"hot menu bar item", bar.hotTextColors.Get(s),
                     Surface(40, nBar, bar.hotItemColors.Get(s), GRADIENTSTYLE(), bar.hotItemLayer), kText});

    static const char* const kTabStates[3] = {"options tab", "hot options tab", "selected options tab"};
    for (int i = 0; i < 3; ++i) {
        const TABSTATELOOK& tab = skin.m_propTabLook.looks[i];
        const int nTab = std::max(skin.m_nPropTabsHeight, 16);
        // As wide as the tab picture: the strip slices it to the tab's width,
        // so nothing of a tab lies beyond the picture.
        int cxTab = 70;
        if (tab.layer.pImage != NULL && CImageReader::IsLoaded(*tab.layer.pImage))
            cxTab = tab.layer.pImage->GetReader()->GetSize().cx;
        pairs.push_back({kTabStates[i], tab.textColors.Get(s),
                         Surface(cxTab, nTab, tab.tabColors.Get(s), tab.gradient, tab.layer), kText});
    }

    // Arrows are glyphs, not text: graphical objects ask for 3:1.
    static const char* const kArrowStates[3] = {"scroll arrow", "hot scroll arrow", "pressed scroll arrow"};
    const SCROLLBARSTYLE& sb = skin.m_fieldsLook.scrollBar;
    for (int i = 0; i < 3; ++i)
        pairs.push_back({kArrowStates[i], sb.arrowColors[i].Get(s),
                         Surface(16, 16, sb.buttons.colors[i].Get(s), sb.buttons.gradients[i], sb.buttons.layers[i]),
                         kMark});

    pairs.push_back({"tooltip", skin.m_tooltipStyle.clrText, skin.m_tooltipStyle.clrBack, kText});
    return pairs;
}

// What fails at the current scheme, one line each; the figures of every pair
// go to the output.
std::vector<std::string> Failures(const CSkin& skin, bool bPrint)
{
    std::vector<std::string> failures;
    char line[256];
    for (const TEXTPAIR& p : TextPairs(skin)) {
        const double d = Contrast(p.clrText, p.clrBack);
        snprintf(line, sizeof(line), "scheme %d, %s: %02X%02X%02X on %02X%02X%02X is %.2f:1 (at least %.1f)",
                 g_nSkinColorScheme, p.strWhat.c_str(), GetRValue(p.clrText), GetGValue(p.clrText),
                 GetBValue(p.clrText), GetRValue(p.clrBack), GetGValue(p.clrBack), GetBValue(p.clrBack), d, p.dMin);
        if (bPrint)
            printf("%s\n", line);
        if (d < p.dMin)
            failures.push_back(line);
    }

    // A disabled text shows its highlight pass on top: weaker than the enabled
    // text on the same surface, yet still there.
    const BODYSTYLE& body = skin.m_bodyStyle;
    const COLORREF backs[2] = {Surface(320, 240, body.body.colors.Get(g_nSkinColorScheme), body.body.gradient,
                                       body.body.layer),
                               ButtonFace(body)};
    static const char* const kWhere[2] = {"on the dialog body", "on a push button"};
    for (int i = 0; i < 2; ++i) {
        const double dEnabled = Contrast(body.clrText, backs[i]);
        const double dDisabled = Contrast(body.clrHighlight, backs[i]);
        snprintf(line, sizeof(line), "scheme %d, disabled text %s: %.2f:1 against enabled %.2f:1 (weaker, at least 1.8)",
                 g_nSkinColorScheme, kWhere[i], dDisabled, dEnabled);
        if (bPrint)
            printf("%s\n", line);
        if (dDisabled >= dEnabled || dDisabled < 1.8)
            failures.push_back(line);
    }
    return failures;
}

std::string StandardSkinPath()
{
    return std::string(TVNX_BINARY_DIR) + "\\dist\\Skins\\Standard\\Standard.skn";
}

// The Standard skin as the program shows it without a tint, one scheme at a time.
class StandardSkinContrast : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = g_Settings;
        ASSERT_EQ(SKINPARSE_OK, LoadSkin(StandardSkinPath().c_str()));
        g_Settings.SkinColoringEnabled = 0;
    }
    void TearDown() override
    {
        g_Settings = m_saved;
        g_nSkinColorScheme = 0;
    }
    void UseScheme(int nScheme)
    {
        g_Settings.SkinColorScheme = nScheme;
        ApplySkinColoring();
    }
    APPSETTINGS m_saved;
};

TEST_F(StandardSkinContrast, EveryTextReadsInEveryScheme)
{
    for (int nScheme = 0; nScheme < 6; ++nScheme) {
        UseScheme(nScheme);
        for (const std::string& strFailure : Failures(*g_pSkin, true))
            ADD_FAILURE() << strFailure;
    }
}

// With colouring on, as the program starts and as the options set it: every
// tint the options name and a spread of custom ones, in every scheme.
TEST_F(StandardSkinContrast, EveryTextReadsWithEveryTintInEveryScheme)
{
    static const struct { const char* pszName; COLORREF clr; } kTints[] = {
        {"Dolphin", 0xD26757},           {"Aggression", 0x001ED2},       {"Lawn", 0x00B91E},
        {"The Sun", 0x0064FA},           {"Contrast", 0x000000},         {"white", RGB(255, 255, 255)},
        {"yellow", RGB(255, 255, 0)},    {"cyan", RGB(0, 255, 255)},     {"magenta", RGB(255, 0, 255)},
        {"light grey", RGB(200, 200, 200)}, {"mid grey", RGB(128, 128, 128)}, {"pale pink", RGB(255, 200, 210)},
        {"navy", RGB(0, 0, 90)},         {"olive", RGB(128, 128, 0)},    {"sky", RGB(135, 206, 235)},
    };
    g_Settings.SkinColoringEnabled = 1;
    for (const auto& tint : kTints)
        for (int nScheme = 0; nScheme < 6; ++nScheme) {
            g_Settings.SkinColor = tint.clr;
            UseScheme(nScheme);
            // The figures of the look a first start gives go to the output.
            const bool bFirstStart = tint.clr == 0xD26757 && nScheme == 1;
            for (const std::string& strFailure : Failures(*g_pSkin, bFirstStart))
                ADD_FAILURE() << "tint " << tint.pszName << ", " << strFailure;
        }
}

TEST_F(StandardSkinContrast, CatchesADarkenedFaceAndALightenedText)
{
    UseScheme(0);
    ASSERT_TRUE(Failures(*g_pSkin, false).empty());
    // Darker button faces under a dark text, and a menu text close to its item.
    CSkin& s = *g_pSkin;
    s.m_bodyStyle.clrText = 0x202020;
    s.m_bodyStyle.clrFace = 0x303030;
    s.m_menuTextStyle.textColors.clr[0] = s.m_menuTextStyle.itemColors.clr[0];
    const std::vector<std::string> failures = Failures(s, false);
    auto named = [&](const char* pszWhat) {
        return std::any_of(failures.begin(), failures.end(),
                           [&](const std::string& f) { return f.find(pszWhat) != std::string::npos; });
    };
    EXPECT_TRUE(named("push button:"));
    EXPECT_TRUE(named("edit and combo box"));
    EXPECT_TRUE(named("menu item:"));
}

}  // namespace

// Check boxes and radio buttons of the Standard skin are of one family: a
// radio button, which has no pictures of its own, takes the colours of the
// check box's pictures (fill and frame empty, fill and tick colour checked).
TEST_F(StandardSkinContrast, RadioButtonsTakeTheColoursOfTheCheckBoxPictures)
{
    UseScheme(1);
    const BODYSTYLE& body = g_pSkin->m_bodyStyle;
    ASSERT_TRUE(body.pCheckImages[0] != NULL && CImageReader::IsLoaded(*body.pCheckImages[0]));
    ASSERT_TRUE(body.pCheckImages[1] != NULL && CImageReader::IsLoaded(*body.pCheckImages[1]));
    C3DButton radio(&body);
    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBmp = CreateCompatibleBitmap(hScreen, 2 * 13, 13);
    HBITMAP hBox = CreateCompatibleBitmap(hScreen, 2 * 13, 13);
    ReleaseDC(NULL, hScreen);
    HGDIOBJ hOld = SelectObject(hMem, hBmp);
    const RECT rcOff = {0, 0, 13, 13}, rcOn = {13, 0, 26, 13};
    radio.PaintIndicator(hMem, rcOff, 0, TRUE);
    radio.PaintIndicator(hMem, rcOn, BTNDRAW_CHECKED, TRUE);
    const COLORREF clrOffCentre = GetPixel(hMem, 6, 6), clrOnRing = GetPixel(hMem, 13 + 6, 2),
                   clrOnCentre = GetPixel(hMem, 13 + 6, 6);
    SelectObject(hMem, hBox);
    C3DButton box(&body);
    box.PaintIndicator(hMem, rcOff, 0, FALSE);
    box.PaintIndicator(hMem, rcOn, BTNDRAW_CHECKED, FALSE);
    EXPECT_EQ(GetPixel(hMem, 6, 6), clrOffCentre) << "the empty box's fill";
    EXPECT_EQ(GetPixel(hMem, 13 + 2, 2), clrOnRing) << "the ticked box's fill";
    EXPECT_EQ(GetPixel(hMem, 13 + 5, 8), clrOnCentre) << "the tick's colour";
    SelectObject(hMem, hOld);
    DeleteObject(hBmp);
    DeleteObject(hBox);
    DeleteDC(hMem);
}
