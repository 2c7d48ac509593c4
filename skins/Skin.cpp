#include "skins/Skin.h"

#include <new>

const char* const g_aSkinImageParams[SKINIMG_COUNT] = {
    "DLG_BODY_IMG_PATH",
    "CHECKBOX_1N_IMG_PATH", "CHECKBOX_0N_IMG_PATH", "CHECKBOX_1H_IMG_PATH", "CHECKBOX_0H_IMG_PATH",
    "MENU_ITEM_IMG_PATH", "MENU_ITEM_H_IMG_PATH", "MENU_SEPARATOR_IMG_PATH",
    "MENUBAR_ITEM_H_IMG_PATH",
    "SCRLBAR_IMG_PATH", "SCRLBAR_H_IMG_PATH", "SCRLBAR_P_IMG_PATH",
    "SCRLBAR_THMB_IMG_PATH", "SCRLBAR_THMB_H_IMG_PATH", "SCRLBAR_THMB_P_IMG_PATH",
    "SCRLBAR_BTNS_IMG_PATH", "SCRLBAR_BTNS_H_IMG_PATH", "SCRLBAR_BTNS_P_IMG_PATH",
    "SLDR_IMG_PATH", "SLDR_H_IMG_PATH", "SLDR_P_IMG_PATH",
    "SLDR_THMB_IMG_PATH", "SLDR_THMB_H_IMG_PATH", "SLDR_THMB_P_IMG_PATH",
    "MAINTAB_BTNS_IMG_PATH", "MAINTAB_BTNS_H_IMG_PATH", "MAINTAB_BTNS_P_IMG_PATH",
    "MAINTAB_TAB_IMG_PATH", "MAINTAB_TAB_H_IMG_PATH", "MAINTAB_TAB_P_IMG_PATH",
    "PROPTAB_TAB_IMG_PATH", "PROPTAB_TAB_H_IMG_PATH", "PROPTAB_TAB_P_IMG_PATH",
    "BODY_TOP_IMG_PATH", "BODY_MIDDLE_IMG_PATH", "BODY_BOTTOM_IMG_PATH",
    "DLGBTN_IMG_PATH",
};

CSkin* g_pSkin = nullptr;

namespace {

// Frees the skin at process exit unless the application's exit step did.
struct CSkinExitGuard
{
    ~CSkinExitGuard()
    {
        delete g_pSkin;
        g_pSkin = nullptr;
    }
} s_skinExitGuard;

COLORSET UniformColors(COLORREF clr)
{
    return COLORSET(clr, clr, clr, clr, clr, clr);
}

// The cell font of the fields; the grid defaults point at it for the run.
const LOGFONTA kFieldCellFont = {-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"};

}  // namespace

CSkin::CSkin()
    : m_bodyStyle(BODYSTYLE::FromSystemColors()),
      m_tooltipStyle(0, 0, "; ", 0x50),
      m_previewFont(0xB4B4B4, -9, 0x7F7F7F, 30, 30, 0xFFFFFF, 0x404040, 0xFFFFFF, 255)
{
}

CSkin& CSkin::operator=(const CSkin& src)
{
    if (this == &src)
        return *this;
    for (int i = 0; i < SKINIMG_COUNT; ++i)
        CImageReader::Copy(m_images[i], src.m_images[i]);
    m_nBodyWidth = src.m_nBodyWidth;
    m_nLayoutBase = src.m_nLayoutBase;
    m_sizeResizeZone = src.m_sizeResizeZone;
    m_nBodyMinHeight = src.m_nBodyMinHeight;
    m_nBodyMaxHeight = src.m_nBodyMaxHeight;
    m_clrsBody = src.m_clrsBody;
    m_layerBodyTop = src.m_layerBodyTop;
    m_layerBodyMiddle = src.m_layerBodyMiddle;
    m_layerBodyBottom = src.m_layerBodyBottom;
    m_outlineTop = src.m_outlineTop;
    m_outlineBottom = src.m_outlineBottom;
    m_rcBtnClose = src.m_rcBtnClose;
    m_rcBtnAbout = src.m_rcBtnAbout;
    m_ptMenuBar = src.m_ptMenuBar;
    m_menuBarStyle = src.m_menuBarStyle;
    m_menuTextStyle = src.m_menuTextStyle;
    m_baseScrollStyle = src.m_baseScrollStyle;
    m_sliderStyle = src.m_sliderStyle;
    for (int i = 0; i < 5; ++i)
        m_sliderMetrics[i] = src.m_sliderMetrics[i];
    m_baseTabLook = src.m_baseTabLook;
    m_propTabLook = src.m_propTabLook;
    m_nPropTabsHeight = src.m_nPropTabsHeight;
    for (int i = 0; i < 10; ++i)
        m_fieldDefaults[i] = src.m_fieldDefaults[i];
    m_fieldsGrid = src.m_fieldsGrid;
    m_fieldsLook = src.m_fieldsLook;
    m_bodyStyle = src.m_bodyStyle;
    m_tooltipStyle = src.m_tooltipStyle;
    m_previewFont = src.m_previewFont;
    m_dlgScrollStyle = src.m_dlgScrollStyle;
    return *this;
}

CELLLOOK CellLookFromFieldDefaults(const DWORD (&words)[10])
{
    CELLLOOK look;
    look.crBackground = words[0];
    look.crSelected = words[1];
    look.crLight = words[2];
    look.crInnerShadow = words[3];
    look.crOuterShadow = words[4];
    look.crBracket = words[7];
    look.bRaised = words[9] != 0;
    look.nFrameGradient = static_cast<int>(words[6]);
    return look;
}

CSkin* InitDefaultSkin(void* pStorage)
{
    CSkin* pSkin = new (pStorage) CSkin();
    CSkin& s = *pSkin;

    s.m_nBodyWidth = 0;
    s.m_nLayoutBase = 201;

    const COLORSET grey;
    s.m_menuTextStyle = TEXTSTYLE(grey, grey, grey, grey, GRADIENTSTYLE(), IMAGELAYER(), IMAGELAYER(),
                                  IMAGELAYER(), grey, grey, grey, grey, 10, grey, 32000, 0xFFFFFF,
                                  0xFF0000, "; ", 0xD5D);

    s.m_baseScrollStyle.nApplyMask = 0xFF;
    s.m_baseScrollStyle.nOptions = 0x1433;
    s.m_baseScrollStyle.nBorders = 7;
    s.m_sliderStyle.nApplyMask = 0xFF;
    s.m_sliderStyle.nOptions = 0x9C0;
    s.m_sliderStyle.nBorders = 0;

    const int sliderMetrics[5] = {8, 207, 3, 50, 0};
    for (int i = 0; i < 5; ++i)
        s.m_sliderMetrics[i] = sliderMetrics[i];

    // The tab strip's two scroll buttons: arrows that sink when pressed, framed.
    s.m_baseTabLook.nFadeZonePercent = 10;
    s.m_baseTabLook.nFlags = 4;
    s.m_baseTabLook.scrollButtons.nApplyMask = 0xFF;
    s.m_baseTabLook.scrollButtons.nOptions = SBS_ARROWS | SBS_PRESSEDARROWDOWN | SBS_BUTTONBORDERSWAP;
    s.m_baseTabLook.scrollButtons.nBorders = SBS_BORDER_BUTTONS;
    s.m_baseTabLook.scrollButtons.arrowColors[0] = UniformColors(0);
    s.m_baseTabLook.scrollButtons.arrowColors[1] = UniformColors(0xFFFFFF);
    s.m_baseTabLook.scrollButtons.arrowColors[2] = UniformColors(0xFFFFFF);
    s.m_baseTabLook.scrollButtons.borderLightColors = UniformColors(0xFFFFFF);
    s.m_baseTabLook.scrollButtons.borderDarkColors = UniformColors(0);
    s.m_baseTabLook.menuStyle = s.m_menuTextStyle;
    s.m_propTabLook.nFadeZonePercent = 10;
    s.m_propTabLook.nFlags = 12;
    s.m_propTabLook.nButtonHeight = 0;

    const DWORD fieldDefaults[10] = {0xC8C8C8, 0xBE0000, 0xFFFFFF, 0xA0A0A0, 0x606060, 90, 3, 0xFF8080, 10, 0};
    for (int i = 0; i < 10; ++i)
        s.m_fieldDefaults[i] = fieldDefaults[i];

    FIELDGRIDDEFAULTS& grid = s.m_fieldsGrid;
    grid.nMaskBitmapId = 0;
    grid.nTileBitmapId = 189;
    grid.clrBack = RGB(255 - 255 / 10, 255 - 255 / 10, 255 - 255 / 10);
    grid.clrGrid = 0x808080;
    grid.clrAccent = 0;
    grid.bAccent = 0;
    grid.nRows = 963;
    grid.pCellFont = &kFieldCellFont;
    grid.pszCursors[0] = IDC_SIZEALL;
    grid.pszCursors[1] = IDC_ARROW;
    grid.pszCursors[2] = IDC_NO;
    grid.pszCursors[3] = IDC_HAND;
    grid.bWhiteCells = 0;

    const int block[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    // Seven whole cells of the default width beside the 14 pixels of the
    // fields' scroll bar: a narrower rectangle leaves part of a column
    // behind the bar.
    const int fieldsRect[4] = {9, 66, 9 + 7 * 35 + 14, 194};
    s.m_fieldsLook = FIELDSPARAMS(s.m_baseScrollStyle, s.m_menuTextStyle, 0, 21, 20, 31, s.m_baseTabLook,
                                  block, fieldsRect, s.m_fieldsGrid, 35, 34);
    s.m_baseTabLook.nStripWidth = s.m_fieldsLook.tabStrip.nStripWidth;
    s.m_fieldsLook.cellLook = CellLookFromFieldDefaults(s.m_fieldDefaults);

    const FRAMESTYLE frame(grey, GRADIENTSTYLE(), IMAGELAYER());
    // The highlight is a soft light grey rather than white: it is the light
    // edge of frames and the top pass of a disabled text, which must read
    // weaker than an enabled white one.
    s.m_bodyStyle = BODYSTYLE(frame, nullptr, nullptr, 0xA0A0A0, 0xFFFFFF, 0xFFFFFF, RGB(0xA9, 0xB0, 0xB8), 0x505050, 0,
                              0xFF0000, 60, s.m_menuTextStyle, 0x7B);

    s.m_tooltipStyle = TOOLTIPSTYLE(0xFFFFFF, 0xFF0000, "; ", 0xD0);
    s.m_previewFont = FONTSTYLE(0xA0A0A0, -12, s.m_bodyStyle.clrFace, s.m_bodyStyle.nLightenPercent,
                                s.m_bodyStyle.nDarkenPercent, 0, 0xFFFFFF, 255, 0xFFFFFF);

    SCROLLBARSTYLE& dlg = s.m_dlgScrollStyle;
    dlg.nApplyMask = 0xFF;
    dlg.arrowColors[0] = UniformColors(0);
    dlg.arrowColors[1] = UniformColors(0xFFFFFF);
    dlg.arrowColors[2] = UniformColors(0xFFFFFF);
    dlg.borderLightColors = UniformColors(0xFFFFFF);
    dlg.borderDarkColors = UniformColors(0);
    dlg.nOptions = 0x453;
    dlg.nBorders = 7;
    return pSkin;
}
