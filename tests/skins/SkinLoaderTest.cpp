// The skin loader: what each parameter becomes in the skin object, the
// defaults of a file that sets nothing, the body height rule and the outlines
// traced from transparent GIF body pictures, and the shipped Standard skin.
#include <gtest/gtest.h>

#include "skins/SkinLoader.h"
#include "ui3d/menus/3DMenu.h"
#include "tests/skins/SkinTestFiles.h"

#include <chrono>
#include <cstdio>

namespace {

// A GIF of cx by cy whose left column is transparent (index 0) when asked.
std::string BodyGif(int cx, int cy, bool bTransparent)
{
    GifRecipe recipe;
    recipe.cx = cx;
    recipe.cy = cy;
    recipe.globalTable = {RGB(255, 0, 255), RGB(70, 80, 92)};
    GifFrameRecipe frame;
    frame.cx = cx;
    frame.cy = cy;
    frame.pixels.assign(size_t(cx) * cy, 1);
    for (int y = 0; y < cy; ++y)
        frame.pixels[size_t(y) * cx] = 0;
    frame.bControl = bTransparent;
    frame.nTransparent = bTransparent ? 0 : -1;
    recipe.frames.push_back(frame);
    return BytesToString(MakeGif(recipe));
}

std::string GreyPng(int cx, int cy)
{
    PngRecipe recipe;
    recipe.cx = cx;
    recipe.cy = cy;
    recipe.nColorType = 0;
    recipe.rows.assign(size_t(cx) * cy, 128);
    return BytesToString(MakePng(recipe));
}

// Skin files in a scratch folder, loaded into g_pSkin.
class SkinLoad : public ::testing::Test
{
protected:
    // Every parameter valid, then the given lines (a later line wins).
    int Load(const std::string& lines, const std::vector<std::string>& skip = {})
    {
        const std::string strPath = m_dir.Path("test.skn");
        EXPECT_TRUE(WriteWholeFile(strPath, AllParamsLines(skip) + lines));
        return LoadSkin(strPath.c_str());
    }
    void Picture(const char* pszName, const std::string& bytes)
    {
        ASSERT_TRUE(WriteWholeFile(m_dir.Path(pszName), bytes));
    }

    AppTempDir m_dir;
};

TEST_F(SkinLoad, FileThatSetsNothingGivesTableDefaults)
{
    EXPECT_EQ(SKINPARSE_NOT_SHOWN, LoadSkin(m_dir.Path("missing.skn").c_str()));
    ASSERT_NE(nullptr, g_pSkin);
    const CSkin& s = *g_pSkin;
    EXPECT_EQ(275, s.m_nBodyWidth);
    EXPECT_EQ(201, s.m_nLayoutBase);
    EXPECT_EQ(116, s.m_nBodyMinHeight);
    EXPECT_EQ(864, s.m_nBodyMaxHeight);
    EXPECT_EQ(12, s.m_sizeResizeZone.cx);
    const RECT rcClose = {260, 3, 269, 11};
    EXPECT_TRUE(EqualRect(&rcClose, &s.m_rcBtnClose));
    EXPECT_EQ(5, s.m_ptMenuBar.x);
    EXPECT_EQ(16, s.m_ptMenuBar.y);
    // "MAINTAB_COORDINATES" 7,34, width 261, tabs 21 and buttons 10 high.
    const RECT rcTabs = {7, 34, 268, 65};
    EXPECT_TRUE(EqualRect(&rcTabs, &s.m_fieldsLook.rcTabStrip));
    EXPECT_EQ(0x808080u, s.m_bodyStyle.body.colors.clr[0]);
    EXPECT_EQ(1, s.m_bodyStyle.body.gradient.nKind);        // "HORIZONTAL"
    EXPECT_EQ(0xA0A0A0u, s.m_bodyStyle.clrFace);
    EXPECT_EQ(0xD5D | TEXTSTYLE_ITEMBORDERS | TEXTSTYLE_3DTEXT, s.m_menuTextStyle.nFlags);
    EXPECT_EQ(0, s.m_outlineTop.nCount);
    EXPECT_STREQ("Arial", s.m_menuBarStyle.font.lfFaceName);

    // Every layer the loader sets points at the skin's own (here empty) holders.
    const IMAGELAYER* layers[] = {&s.m_layerBodyTop, &s.m_bodyStyle.body.layer, &s.m_menuTextStyle.separatorLayer,
                                  &s.m_fieldsLook.scrollBar.thumb.layers[2], &s.m_sliderStyle.track.layers[1],
                                  &s.m_fieldsLook.tabStrip.looks[2].layer, &s.m_propTabLook.looks[0].layer,
                                  &s.m_fieldsLook.tabStrip.scrollButtons.buttons.layers[0],
                                  &s.m_bodyStyle.buttonLook.layer, &s.m_menuBarStyle.hotItemLayer};
    for (const IMAGELAYER* pLayer : layers) {
        EXPECT_GE(pLayer->pImage, &s.m_images[0]);
        EXPECT_LE(pLayer->pImage, &s.m_images[SKINIMG_COUNT - 1]);
    }
    EXPECT_EQ(&s.m_images[SKINIMG_SCRLBAR_THMB_P], s.m_fieldsLook.scrollBar.thumb.layers[2].pImage);
    EXPECT_EQ(&s.m_images[SKINIMG_CHECKBOX_0H], s.m_bodyStyle.pCheckImages[3]);

    // The fields' cell look comes from the ten cell-look words, and the grid
    // names the background tile.
    const CELLLOOK& look = s.m_fieldsLook.cellLook;
    EXPECT_EQ(0xC8C8C8u, look.crBackground);
    EXPECT_EQ(0xBE0000u, look.crSelected);
    EXPECT_EQ(0xFFFFFFu, look.crLight);
    EXPECT_EQ(0xA0A0A0u, look.crInnerShadow);
    EXPECT_EQ(0x606060u, look.crOuterShadow);
    EXPECT_EQ(0xFF8080u, look.crBracket);
    EXPECT_EQ(3, look.nFrameGradient);
    EXPECT_EQ(0, look.bRaised);
    EXPECT_EQ(189u, s.m_fieldsLook.grid.nTileBitmapId);
}

TEST_F(SkinLoad, ParametersLandInTheirMembers)
{
    const int nResult = Load("DLG_BODY_CLR_GRADIENT VERTICAL_INV\n"
                             "MENU_ITEM_CLR_GRADIENT DIAGONAL\n"
                             "DLG_BODY_CLRS 000000 C8C8C8 FFFFFF 00C8FF 102030 FFFFFF\n"
                             "MENU_ITEM_BORDER OFF\nMENU_ITEM_H_BORDER ON\n"
                             "MENU_ITEM_H_BORDER_LIGHT_CLRS 010203 010203 010203 010203 010203 010203\n"
                             "MENU_TEXT_3D OFF\n"
                             "BTNCLOSE_COORDINATES 10,20\nBTNCLOSE_SIZE 16,14\n"
                             "SCRLBAR_ARROW OFF\nSCRLBAR_ONPRESS_SHIFT ON\nSCRLBAR_THMB_BORDER OFF\n"
                             "SCRLBAR_BORDER ON\n"
                             "MAINTAB_TAB_H_TEXT_LR_OFFSET 3,7\nMAINTAB_TAB_H_TEXT_T_OFFSET 5\n"
                             "MAINTAB_TAB_P_IMG_REGULAR 11,29\nMAINTAB_TAB_TEXT_CLR RGB(01,02,0A)\n"
                             "MAINTAB_TABS_FONT_NAME VERDANA\nMAINTAB_TABS_FONT_BOLD ON\n"
                             "PROPTAB_TAB_P_TEXT_TYPE SHADOWED\nMENUBAR_TEXT_3D ON\n");
    EXPECT_EQ(SKINPARSE_OK, nResult);
    const CSkin& s = *g_pSkin;

    EXPECT_EQ(2, s.m_bodyStyle.body.gradient.nKind);
    EXPECT_EQ(1, s.m_bodyStyle.body.gradient.bMirrored);
    EXPECT_EQ(3, s.m_menuTextStyle.itemGradient.nKind);
    EXPECT_EQ(0, s.m_menuTextStyle.itemGradient.bMirrored);

    // The about box's scroll bar: body colours, a fifth lighter when hot or pressed.
    struct { int nScheme; COLORREF clrHot; } rows[] = {
        {0, RGB(51, 51, 51)}, {1, RGB(211, 211, 211)}, {2, RGB(255, 255, 255)}, {3, RGB(51, 211, 255)}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.clrHot, s.m_dlgScrollStyle.thumb.colors[1].clr[row.nScheme]) << "scheme " << row.nScheme;
        EXPECT_EQ(row.clrHot, s.m_dlgScrollStyle.track.colors[2].clr[row.nScheme]) << "scheme " << row.nScheme;
        EXPECT_EQ(s.m_bodyStyle.body.colors.clr[row.nScheme], s.m_dlgScrollStyle.buttons.colors[0].clr[row.nScheme]);
    }
    EXPECT_EQ(30, s.m_dlgScrollStyle.buttons.gradients[2].nLight);
    EXPECT_EQ(1, s.m_dlgScrollStyle.thumb.gradients[0].nKind);

    EXPECT_EQ(TEXTSTYLE_ITEMBORDERS, s.m_menuTextStyle.nFlags & (TEXTSTYLE_ITEMBORDERS | TEXTSTYLE_3DTEXT));
    EXPECT_EQ(0, s.m_menuTextStyle.bItemBorder);
    EXPECT_EQ(1, s.m_menuTextStyle.bHotItemBorder);
    EXPECT_EQ(RGB(1, 2, 3), s.m_menuTextStyle.hotBorderLightColors.clr[5]);

    const RECT rcClose = {10, 20, 26, 34};
    EXPECT_TRUE(EqualRect(&rcClose, &s.m_rcBtnClose));

    const SCROLLBARSTYLE& bar = s.m_fieldsLook.scrollBar;
    EXPECT_EQ(0, bar.nOptions & SBS_ARROWS);
    EXPECT_EQ(SBS_PRESSEDTRACKSHIFT, bar.nOptions & SBS_PRESSEDTRACKSHIFT);
    EXPECT_EQ(0, bar.nOptions & SBS_PRESSEDARROWUP);
    EXPECT_EQ(SBS_BORDER_TRACK, bar.nBorders & (SBS_BORDER_TRACK | SBS_BORDER_THUMB));

    const TABSELPARAMS& tabs = s.m_fieldsLook.tabStrip;
    EXPECT_EQ(3, tabs.looks[TABLOOK_HOT].nTextLeft);
    EXPECT_EQ(5, tabs.looks[TABLOOK_HOT].nTextTop);
    EXPECT_EQ(7, tabs.looks[TABLOOK_HOT].nTextRight);
    EXPECT_EQ(11, tabs.looks[TABLOOK_SELECTED].nSliceStart);
    EXPECT_EQ(29, tabs.looks[TABLOOK_SELECTED].nSliceEnd);
    EXPECT_EQ(RGB(1, 2, 10), tabs.looks[TABLOOK_NORMAL].clrTextExplicit);
    EXPECT_STREQ("Verdana", tabs.font.lfFaceName);
    EXPECT_EQ(FW_BOLD, tabs.font.lfWeight);
    EXPECT_EQ(1, s.m_propTabLook.looks[TABLOOK_SELECTED].nTextType);
    EXPECT_EQ(1, s.m_menuBarStyle.n3DText);
    EXPECT_EQ(1, s.m_menuBarStyle.n3DText2);
}

TEST_F(SkinLoad, BodyHeightsMakeRoomForTheTopAndBottomPictures)
{
    Picture("top.gif", BodyGif(6, 40, true));
    Picture("bottom.png", GreyPng(6, 300));
    const std::vector<std::string> skip = {"BODY_TOP_IMG_PATH", "BODY_BOTTOM_IMG_PATH"};
    const std::string images = "BODY_TOP_IMG_PATH top.gif\nBODY_BOTTOM_IMG_PATH bottom.png\n";

    struct Row { int nMin, nMax, nExpectMin, nExpectMax; } rows[] = {
        {200, 320, 340, 340},
        {200, 400, 340, 400},
        {300, 1024, 340, 1024},
    };
    for (const Row& row : rows) {
        const std::string heights = "BODY_MIN_HEIGHT " + std::to_string(row.nMin) + "\nBODY_MAX_HEIGHT " +
                                    std::to_string(row.nMax) + "\n";
        EXPECT_EQ(SKINPARSE_OK, Load(images + heights, skip)) << heights;
        EXPECT_EQ(row.nExpectMin, g_pSkin->m_nBodyMinHeight) << heights;
        EXPECT_EQ(row.nExpectMax, g_pSkin->m_nBodyMaxHeight) << heights;
    }

    // The transparent GIF gives the top an outline; the PNG gives none.
    EXPECT_GE(g_pSkin->m_outlineTop.nCount, 4);
    EXPECT_EQ(0, g_pSkin->m_outlineBottom.nCount);
    for (int i = 0; i < g_pSkin->m_outlineTop.nCount; ++i) {
        const POINT& pt = g_pSkin->m_outlineTop.pPoints[i];
        EXPECT_TRUE(pt.x >= 1 && pt.x <= 6 && pt.y >= 0 && pt.y <= 40) << pt.x << "," << pt.y;
    }
}

TEST_F(SkinLoad, PicturesTheReaderOpensAndEveryRelativePathForm)
{
    // A GIF whose screen and colour table are there but no image block: the
    // reader opens it, so the skin takes it; it has no frame to draw.
    const std::string noFrames = std::string("GIF89a\x0A\x00\x0A\x00\x80\x00\x00", 13) +
                                 std::string("\x00\x00\x00\xFF\xFF\xFF", 6) + ";";
    ASSERT_TRUE(CreateDirectoryA(m_dir.Path("img").c_str(), NULL));
    Picture("img\\noframes.gif", noFrames);
    Picture("img\\box.bmp", PlainBmp(13, 13));
    const char chDrive = m_dir.Dir()[0];
    ASSERT_EQ(':', m_dir.Dir()[1]) << m_dir.Dir();
    const std::string driveUpper = std::string(1, char(toupper(chDrive))) + ":img\\box.bmp";
    const std::string driveLower = std::string(1, char(tolower(chDrive))) + ":img\\box.bmp";

    struct Row
    {
        std::string value;
        bool bFrame;
    } rows[] = {
        {"img\\noframes.gif", false},
        {"img\\box.bmp", true},
        {driveUpper, true},
        {driveLower, true},
        {"\\" + m_dir.Dir().substr(3) + "\\img\\box.bmp", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SKINPARSE_OK, Load("CHECKBOX_0H_IMG_PATH " + row.value + "\n", {"CHECKBOX_0H_IMG_PATH"})) << row.value;
        const CImageReader& image = g_pSkin->m_images[SKINIMG_CHECKBOX_0H];
        EXPECT_EQ(row.bFrame, CImageReader::IsLoaded(image) != FALSE) << row.value;
        ASSERT_NE(nullptr, image.GetReader()) << row.value;
        EXPECT_EQ(row.bFrame ? 13 : 10, image.GetReader()->GetSize().cx) << row.value;
    }
}

TEST_F(SkinLoad, OpaqueGifGivesNoOutlineAndReloadForgetsTheLastSkin)
{
    Picture("top.gif", BodyGif(6, 40, false));
    EXPECT_EQ(SKINPARSE_OK, Load("BODY_TOP_IMG_PATH top.gif\nBODY_WIDTH 300\n", {"BODY_TOP_IMG_PATH", "BODY_WIDTH"}));
    EXPECT_EQ(0, g_pSkin->m_outlineTop.nCount);
    EXPECT_EQ(300, g_pSkin->m_nBodyWidth);
    EXPECT_TRUE(CImageReader::IsLoaded(g_pSkin->m_images[SKINIMG_BODY_TOP]));
    g_pSkin->m_bodyStyle.clrFace = 0x123456;

    CSkin* pBefore = g_pSkin;
    EXPECT_EQ(SKINPARSE_NOT_SHOWN, LoadSkin(m_dir.Path("missing.skn").c_str()));
    EXPECT_EQ(pBefore, g_pSkin);
    EXPECT_EQ(275, g_pSkin->m_nBodyWidth);
    EXPECT_EQ(0xA0A0A0u, g_pSkin->m_bodyStyle.clrFace);
    EXPECT_FALSE(CImageReader::IsLoaded(g_pSkin->m_images[SKINIMG_BODY_TOP]));
}

TEST(SkinLoaderHelpers, GradientsClampAndMirror)
{
    // light, dark, keyword -> light, dark, kind, mirrored
    const int rows[][7] = {{30, 40, 2, 30, 40, 2, 0}, {130, -4, 5, 100, 0, 2, 1}, {0, 100, 6, 0, 100, 3, 1},
                           {-1, 101, 3, 0, 100, 3, 0}, {50, 50, 0, 50, 50, 0, 0}};
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        GRADIENTSTYLE g;
        MakeGradientStyle(g, rows[i][0], rows[i][1], rows[i][2]);
        EXPECT_EQ(rows[i][3], g.nLight) << "row " << i;
        EXPECT_EQ(rows[i][4], g.nDark) << "row " << i;
        EXPECT_EQ(rows[i][5], g.nKind) << "row " << i;
        EXPECT_EQ(rows[i][6], g.bMirrored) << "row " << i;
    }
}

TEST(SkinLoaderHelpers, LightenAndFonts)
{
    const COLORSET lit = LightenColorSet(COLORSET(RGB(0, 200, 255), RGB(10, 100, 254), 0, 0xFFFFFF, 0x7F7F7F, 1));
    const COLORREF expect[6] = {RGB(51, 211, 255), RGB(59, 131, 254), RGB(51, 51, 51), 0xFFFFFF,
                                RGB(152, 152, 152), RGB(51, 51, 51)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(expect[i], lit.clr[i]) << "colour " << i;

    HDC hdc = GetDC(GetDesktopWindow());
    const int nDpi = GetDeviceCaps(hdc, LOGPIXELSY);
    ReleaseDC(GetDesktopWindow(), hdc);
    struct { int nKeyword; const char* pszFace; } faces[] = {
        {0, "Arial"}, {1, "Times"}, {2, "Verdana"}, {3, "Tahoma"}, {4, "System"}, {5, "Impact"}, {6, "Arial"}, {-1, "Arial"}};
    for (const auto& row : faces) {
        LOGFONTA font;
        MakeSkinFont(font, 9, row.nKeyword == 1, row.nKeyword == 2, row.nKeyword);
        EXPECT_STREQ(row.pszFace, font.lfFaceName) << "keyword " << row.nKeyword;
        EXPECT_EQ(-MulDiv(9, nDpi, 72), font.lfHeight);
        EXPECT_EQ(row.nKeyword == 1 ? 700 : 400, font.lfWeight);
        EXPECT_EQ(row.nKeyword == 2 ? 1 : 0, font.lfItalic);
        EXPECT_EQ(DEFAULT_CHARSET, font.lfCharSet);
    }
}

std::string StandardSkinPath()
{
    return std::string(TVNX_BINARY_DIR) + "\\dist\\Skins\\Standard\\Standard.skn";
}

TEST(StandardSkin, LoadsWithoutErrors)
{
    const std::string strPath = StandardSkinPath();
    CSkinParamTable table;
    BuildSkinParams(table);
    CSequence<CString> errors;
    int nNotFound = 0;
    ASSERT_TRUE(ParseSkinLines(strPath.c_str(), table, errors, &nNotFound)) << strPath;
    EXPECT_EQ(0, errors.GetSize()) << Join(errors);
    EXPECT_EQ(0, nNotFound);
    EXPECT_EQ(0, FindSkinParam(table, "DEBUG_MODE")->GetNum());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SKINPARSE_OK, LoadSkin(strPath.c_str()));
    const auto loaded = std::chrono::steady_clock::now();

    const CSkin& s = *g_pSkin;
    for (int i = 0; i < SKINIMG_COUNT; ++i)
        EXPECT_TRUE(CImageReader::IsLoaded(s.m_images[i])) << g_aSkinImageParams[i];
    EXPECT_GE(s.m_outlineTop.nCount, 4) << "the top of the main window is shaped";
    EXPECT_GE(s.m_outlineBottom.nCount, 4) << "the bottom of the main window is shaped";
    const int nTop = s.m_images[SKINIMG_BODY_TOP].GetReader()->GetSize().cy;
    const int nBottom = s.m_images[SKINIMG_BODY_BOTTOM].GetReader()->GetSize().cy;
    EXPECT_GE(s.m_nBodyMinHeight, nTop + nBottom);
    EXPECT_EQ(s.m_nBodyWidth, s.m_images[SKINIMG_BODY_TOP].GetReader()->GetSize().cx);
    // The fonts fit the bars they are drawn in.
    EXPECT_LE(-s.m_menuBarStyle.font.lfHeight, s.m_menuBarStyle.nHeight);
    EXPECT_LE(-s.m_fieldsLook.tabStrip.font.lfHeight + s.m_fieldsLook.tabStrip.looks[0].nTextTop,
              s.m_fieldsLook.rcTabStrip.bottom - s.m_fieldsLook.rcTabStrip.top - s.m_fieldsLook.tabStrip.nButtonHeight);

    // Grayed menu items stay visible in every scheme.
    const int nSchemeBefore = g_nSkinColorScheme;
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&s.m_menuTextStyle));
    for (int nScheme = 0; nScheme < 6; ++nScheme) {
        g_nSkinColorScheme = nScheme;
        const COLORREF clrText = menu.GetItemTextColor(ODS_GRAYED);
        const COLORREF clrBack = s.m_menuTextStyle.itemColors.Get(nScheme);
        const int nText = (GetRValue(clrText) + GetGValue(clrText) + GetBValue(clrText)) / 3;
        const int nBack = (GetRValue(clrBack) + GetGValue(clrBack) + GetBValue(clrBack)) / 3;
        EXPECT_GE(abs(nText - nBack), 48) << "scheme " << nScheme << ": grayed text " << std::hex << clrText
                                          << " on " << clrBack;
    }
    g_nSkinColorScheme = nSchemeBefore;

    // The time of the load against decoding its pictures alone.
    const auto decodeStart = std::chrono::steady_clock::now();
    const std::string strFolder = strPath.substr(0, strPath.rfind('\\') + 1);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strFolder + "*.*").c_str(), &fd);
    int nPictures = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string strName = fd.cFileName;
            if (strName.size() > 4 && (strName.substr(strName.size() - 4) == ".png" || strName.substr(strName.size() - 4) == ".gif")) {
                CImageReader image;
                EXPECT_TRUE(CImageReader::LoadFromFile((strFolder + strName).c_str(), image, FALSE)) << strName;
                ++nPictures;
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    const auto decoded = std::chrono::steady_clock::now();
    const double loadMs = std::chrono::duration<double, std::milli>(loaded - start).count();
    const double decodeMs = std::chrono::duration<double, std::milli>(decoded - decodeStart).count();
    printf("LoadSkin(Standard): %.2f ms; decoding its %d pictures alone: %.2f ms; ratio %.2f\n", loadMs, nPictures,
           decodeMs, decodeMs > 0 ? loadMs / decodeMs : 0.0);
}

}  // namespace
