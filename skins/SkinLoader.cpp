#include "skins/SkinLoader.h"

#include "ui3d/drawing/ImageOutline.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

const char* const kStates[3] = {"", "_H", "_P"};

// Reads the parameters of one load by name. Every name asked for is in the
// table; a missing one reads as zero rather than taking the program down.
class CParamReader
{
public:
    explicit CParamReader(const CSkinParamTable& table) : m_index(table) {}

    long Num(const std::string& name) const
    {
        const CSkinParam* p = Find(name.c_str());
        return p ? p->GetNum() : 0;
    }
    BOOL Switch(const std::string& name) const { return Num(name) != 0; }
    COLORREF Clr(const std::string& name) const
    {
        const CSkinParam* p = Find(name.c_str());
        return p ? p->GetClr() : 0;
    }
    COLORSET Clrs(const std::string& name) const
    {
        const CSkinParam* p = Find(name.c_str());
        if (p == nullptr)
            return COLORSET();
        const COLORREF* c = p->GetClrs();
        return COLORSET(c[0], c[1], c[2], c[3], c[4], c[5]);
    }
    POINT Point(const std::string& name) const
    {
        const CSkinParam* p = Find(name.c_str());
        return p ? p->GetPoint() : POINT{0, 0};
    }
    CImageReader* Img(const char* pszName) const
    {
        const CSkinParam* p = Find(pszName);
        return p ? p->GetImg() : nullptr;
    }
    // MakeGradientStyle of PREFIX_CLR_LIGHTDARK and PREFIX_CLR_GRADIENT.
    GRADIENTSTYLE Gradient(const std::string& prefix) const
    {
        const POINT amounts = Point(prefix + "_CLR_LIGHTDARK");
        GRADIENTSTYLE gradient;
        MakeGradientStyle(gradient, amounts.x, amounts.y, Num(prefix + "_CLR_GRADIENT"));
        return gradient;
    }

private:
    // As FindSkinParam: the first parameter in table order of that name.
    const CSkinParam* Find(const char* pszName) const { return m_index.FindFirst(pszName); }

    CSkinParamIndex m_index;
};

void SetBit(int& nWord, int nBit, BOOL bOn)
{
    nWord = bOn ? (nWord | nBit) : (nWord & ~nBit);
}

void SetBit(BYTE& nByte, int nBit, BOOL bOn)
{
    nByte = static_cast<BYTE>(bOn ? (nByte | nBit) : (nByte & ~nBit));
}

// One part (track, thumb or buttons) of a scroll bar in its three states from
// PREFIX[S]_CLRS, _CLR_LIGHTDARK, _CLR_GRADIENT, _BLENDING and _IMG_ALIGN.
void LoadPartLook(SCROLLBARPARTLOOK& look, const CParamReader& r, const std::string& prefix, CSkin& skin,
                  int nFirstImage)
{
    for (int s = 0; s < 3; ++s) {
        const std::string name = prefix + kStates[s];
        look.colors[s] = r.Clrs(name + "_CLRS");
        look.gradients[s] = r.Gradient(name);
        look.layers[s] = IMAGELAYER(r.Num(name + "_BLENDING"), &skin.m_images[nFirstImage + s],
                                    r.Num(name + "_IMG_ALIGN"));
    }
}

// The tab state values the main and the property-sheet tabs share.
void LoadTabState(TABSTATELOOK& look, const CParamReader& r, const std::string& name, CImageReader* pImage)
{
    look.gradient = r.Gradient(name);
    look.layer = IMAGELAYER(r.Num(name + "_BLENDING"), pImage, IMAGEALIGN_OFFSET);
    const POINT regular = r.Point(name + "_IMG_REGULAR");
    look.nSliceStart = regular.x;
    look.nSliceEnd = regular.y;
    const POINT lr = r.Point(name + "_TEXT_LR_OFFSET");
    look.nTextLeft = lr.x;
    look.nTextTop = r.Num(name + "_TEXT_T_OFFSET");
    look.nTextRight = lr.y;
    look.nBorderlessHeight = r.Num(name + "_NOIMG_HEIGHT");
    look.nBorderlessSlant = r.Num(name + "_NOIMG_SLANT");
    look.nTextType = static_cast<BYTE>(r.Num(name + "_TEXT_TYPE"));
}

void LoadMenus(CSkin& skin, const CParamReader& r)
{
    TEXTSTYLE& menu = skin.m_menuTextStyle;
    menu.itemColors = r.Clrs("MENU_ITEM_CLRS");
    menu.hotItemColors = r.Clrs("MENU_ITEM_H_CLRS");
    menu.textColors = r.Clrs("MENU_TEXT_CLRS");
    menu.hotTextColors = r.Clrs("MENU_TEXT_H_CLRS");
    menu.itemGradient = r.Gradient("MENU_ITEM");
    menu.itemLayer = IMAGELAYER(r.Num("MENU_ITEM_BLENDING"), &skin.m_images[SKINIMG_MENU_ITEM], IMAGEALIGN_OFFSET);
    menu.hotItemLayer = IMAGELAYER(r.Num("MENU_ITEM_H_BLENDING"), &skin.m_images[SKINIMG_MENU_ITEM_H], IMAGEALIGN_OFFSET);
    menu.separatorLayer = IMAGELAYER(r.Num("MENU_ITEM_BLENDING"), &skin.m_images[SKINIMG_MENU_SEPARATOR], IMAGEALIGN_OFFSET);
    menu.nIconZoneWidth = r.Num("MENU_ITEM_ICON_ZONE_WIDTH");

    const BOOL bBorder = r.Switch("MENU_ITEM_BORDER");
    const BOOL bHotBorder = r.Switch("MENU_ITEM_H_BORDER");
    SetBit(menu.nFlags, TEXTSTYLE_ITEMBORDERS, bBorder || bHotBorder);
    if (bBorder || bHotBorder) {
        menu.bItemBorder = bBorder ? 1 : 0;
        if (bBorder) {
            menu.borderLightColors = r.Clrs("MENU_ITEM_BORDER_LIGHT_CLRS");
            menu.borderDarkColors = r.Clrs("MENU_ITEM_BORDER_DARK_CLRS");
        }
        menu.bHotItemBorder = bHotBorder ? 1 : 0;
        if (bHotBorder) {
            menu.hotBorderLightColors = r.Clrs("MENU_ITEM_H_BORDER_LIGHT_CLRS");
            menu.hotBorderDarkColors = r.Clrs("MENU_ITEM_H_BORDER_DARK_CLRS");
        }
    }
    menu.nItemHeight = r.Num("MENU_ITEM_HEIGHT");
    menu.nSeparatorHeight = r.Num("MENU_SEPARATOR_HEIGHT");
    menu.mnemonicColors = r.Clrs("MENU_MNEMONIC_CLRS");
    SetBit(menu.nFlags, TEXTSTYLE_3DTEXT, r.Switch("MENU_TEXT_3D"));

    skin.m_ptMenuBar = r.Point("MENUBAR_COORDINATES");
    MENUBARSTYLE& bar = skin.m_menuBarStyle;
    bar.nHeight = r.Num("MENUBAR_HEIGHT");
    MakeSkinFont(bar.font, r.Num("MENUBAR_FONT_HEIGHT"), r.Switch("MENUBAR_FONT_BOLD"),
                 r.Switch("MENUBAR_FONT_ITALIC"), r.Num("MENUBAR_FONT_NAME"));
    bar.n3DText = bar.n3DText2 = r.Num("MENUBAR_TEXT_3D");
    bar.textColors = r.Clrs("MENUBAR_TEXT_CLRS");
    bar.hotTextColors = r.Clrs("MENUBAR_TEXT_H_CLRS");
    bar.hotItemColors = r.Clrs("MENUBAR_ITEM_H_CLRS");
    bar.hotItemLayer = IMAGELAYER(r.Num("MENUBAR_ITEM_H_BLENDING"), &skin.m_images[SKINIMG_MENUBAR_ITEM_H],
                                  IMAGEALIGN_OFFSET);
    bar.nHotItemBorder = r.Num("MENUBAR_ITEM_H_BORDER");
    bar.hotBorderLightColors = r.Clrs("MENUBAR_ITEM_H_BORDER_LIGHT_CLRS");
    bar.hotBorderDarkColors = r.Clrs("MENUBAR_ITEM_H_BORDER_DARK_CLRS");
}

// The arrows and button borders the fields' scroll bar and the tab strip's
// scroll buttons share: PREFIX_ARROW[S]_CLRS, BORDER_LIGHT/DARK_CLRS, and the
// switches PREFIX_ARROW, _ARROW_ONPRESS_SHIFT, _BTNS_BORDER(_ONPRESS_SWAP).
void LoadArrowButtons(SCROLLBARSTYLE& style, const CParamReader& r, const std::string& prefix,
                      const std::string& borderPrefix)
{
    for (int s = 0; s < 3; ++s)
        style.arrowColors[s] = r.Clrs(prefix + "_ARROW" + kStates[s] + "_CLRS");
    style.borderLightColors = r.Clrs(borderPrefix + "_LIGHT_CLRS");
    style.borderDarkColors = r.Clrs(borderPrefix + "_DARK_CLRS");
    SetBit(style.nOptions, SBS_ARROWS, r.Switch(prefix + "_ARROW"));
    SetBit(style.nOptions, SBS_PRESSEDARROWDOWN, r.Switch(prefix + "_ARROW_ONPRESS_SHIFT"));
    SetBit(style.nOptions, SBS_PRESSEDARROWUP, FALSE);
    SetBit(style.nOptions, SBS_BUTTONBORDERSWAP, r.Switch(prefix + "_BTNS_BORDER_ONPRESS_SWAP"));
    SetBit(style.nBorders, SBS_BORDER_BUTTONS, r.Switch(prefix + "_BTNS_BORDER"));
}

void LoadScrollBars(CSkin& skin, const CParamReader& r)
{
    SCROLLBARSTYLE& bar = skin.m_fieldsLook.scrollBar;
    LoadPartLook(bar.track, r, "SCRLBAR", skin, SKINIMG_SCRLBAR);
    LoadPartLook(bar.thumb, r, "SCRLBAR_THMB", skin, SKINIMG_SCRLBAR_THMB);
    LoadPartLook(bar.buttons, r, "SCRLBAR_BTNS", skin, SKINIMG_SCRLBAR_BTNS);
    LoadArrowButtons(bar, r, "SCRLBAR", "SCRLBAR_BORDER");
    SetBit(bar.nOptions, SBS_THUMBBORDERSWAP, r.Switch("SCRLBAR_THMB_BORDER_ONPRESS_SWAP"));
    SetBit(bar.nOptions, SBS_PRESSEDTRACKSHIFT, r.Switch("SCRLBAR_ONPRESS_SHIFT"));
    SetBit(bar.nBorders, SBS_BORDER_TRACK, r.Switch("SCRLBAR_BORDER"));
    SetBit(bar.nBorders, SBS_BORDER_THUMB, r.Switch("SCRLBAR_THMB_BORDER"));

    LoadPartLook(skin.m_sliderStyle.track, r, "SLDR", skin, SKINIMG_SLDR);
    LoadPartLook(skin.m_sliderStyle.thumb, r, "SLDR_THMB", skin, SKINIMG_SLDR_THMB);
}

void LoadMainTabs(CSkin& skin, const CParamReader& r)
{
    FIELDSPARAMS& fields = skin.m_fieldsLook;
    TABSELPARAMS& tabs = fields.tabStrip;
    tabs.nButtonHeight = r.Num("MAINTAB_BTNS_HEIGHT");
    const POINT at = r.Point("MAINTAB_COORDINATES");
    fields.rcTabStrip.left = at.x;
    fields.rcTabStrip.top = at.y;
    fields.rcTabStrip.right = at.x + r.Num("MAINTAB_WIDTH");
    fields.rcTabStrip.bottom = at.y + r.Num("MAINTAB_TABS_HEIGHT") + r.Num("MAINTAB_BTNS_HEIGHT");

    SCROLLBARSTYLE& buttons = tabs.scrollButtons;
    LoadPartLook(buttons.buttons, r, "MAINTAB_BTNS", skin, SKINIMG_MAINTAB_BTNS);
    LoadArrowButtons(buttons, r, "MAINTAB", "MAINTAB_BTNS_BORDER");

    MakeSkinFont(tabs.font, r.Num("MAINTAB_TABS_FONT_HEIGHT"), r.Switch("MAINTAB_TABS_FONT_BOLD"),
                 r.Switch("MAINTAB_TABS_FONT_ITALIC"), r.Num("MAINTAB_TABS_FONT_NAME"));
    for (int s = 0; s < 3; ++s) {
        const std::string name = std::string("MAINTAB_TAB") + kStates[s];
        TABSTATELOOK& look = tabs.looks[s];
        LoadTabState(look, r, name, &skin.m_images[SKINIMG_MAINTAB_TAB + s]);
        const POINT amounts = r.Point(name + "_NOIMG_BORDER_LIGHTDARK");
        look.nBorderLightAmount = amounts.x;
        look.nBorderDarkAmount = amounts.y;
        look.nTextColorFromTab = r.Num(name + "_TEXT_CLR_FROMTAB");
        look.nText2ColorFromTab = r.Num(name + "_TEXT_CLR2_FROMTAB");
        look.clrTextExplicit = r.Clr(name + "_TEXT_CLR");
    }
    tabs.nOverlap = r.Num("MAINTAB_TAB_OVERLAP");
    tabs.nScrollZone = r.Num("MAINTAB_SCROLL_ZONE_WIDTH");
}

void LoadPropertyTabs(CSkin& skin, const CParamReader& r)
{
    skin.m_nPropTabsHeight = r.Num("PROPTAB_TABS_HEIGHT");
    TABSELPARAMS& tabs = skin.m_propTabLook;
    for (int s = 0; s < 3; ++s) {
        const std::string name = std::string("PROPTAB_TAB") + kStates[s];
        TABSTATELOOK& look = tabs.looks[s];
        look.tabColors = r.Clrs(name + "_CLRS");
        look.borderLightColors = r.Clrs(name + "_NOIMG_BORDER_LIGHT_CLRS");
        look.borderDarkColors = r.Clrs(name + "_NOIMG_BORDER_DARK_CLRS");
        look.textColors = r.Clrs(name + "_TEXT_CLRS");
        look.textShadowColors = r.Clrs(name + "_TEXT_SHADOW_CLRS");
        LoadTabState(look, r, name, &skin.m_images[SKINIMG_PROPTAB_TAB + s]);
    }
    tabs.nOverlap = r.Num("PROPTAB_TAB_OVERLAP");
    tabs.nScrollZone = r.Num("PROPTAB_SCROLL_ZONE_WIDTH");
}

// The height of a layer's picture when it has one that decoded; 0 otherwise.
int LayerImageHeight(const IMAGELAYER& layer)
{
    if (layer.pImage == nullptr || layer.pImage->GetReader() == nullptr)
        return 0;
    const CGraphicalFormatReader* pReader = layer.pImage->GetReader();
    return pReader->IsLoaded() ? pReader->GetSize().cy : 0;
}

RECT RectFrom(POINT at, POINT size)
{
    return RECT{at.x, at.y, at.x + size.x, at.y + size.y};
}

void LoadBody(CSkin& skin, const CParamReader& r)
{
    skin.m_clrsBody = r.Clrs("BODY_CLRS");
    const int nBlend = r.Num("BODY_BLENDING");
    skin.m_layerBodyTop = IMAGELAYER(nBlend, &skin.m_images[SKINIMG_BODY_TOP], IMAGEALIGN_OFFSET);
    skin.m_layerBodyMiddle = IMAGELAYER(nBlend, &skin.m_images[SKINIMG_BODY_MIDDLE], IMAGEALIGN_OFFSET);
    skin.m_layerBodyBottom = IMAGELAYER(nBlend, &skin.m_images[SKINIMG_BODY_BOTTOM], IMAGEALIGN_OFFSET);

    // The main window can never be lower than its top and bottom pictures.
    const int nImagesHeight = LayerImageHeight(skin.m_layerBodyTop) + LayerImageHeight(skin.m_layerBodyBottom);
    skin.m_nBodyMinHeight = r.Num("BODY_MIN_HEIGHT");
    if (nImagesHeight > skin.m_nBodyMinHeight)
        skin.m_nBodyMinHeight = nImagesHeight;
    skin.m_nBodyMaxHeight = r.Num("BODY_MAX_HEIGHT");
    if (skin.m_nBodyMinHeight > skin.m_nBodyMaxHeight)
        skin.m_nBodyMaxHeight = skin.m_nBodyMinHeight;

    skin.m_nBodyWidth = r.Num("BODY_WIDTH");
    const POINT zone = r.Point("BODY_RESIZE_ZONE");
    skin.m_sizeResizeZone.cx = zone.x;
    skin.m_sizeResizeZone.cy = zone.y;
    skin.m_rcBtnClose = RectFrom(r.Point("BTNCLOSE_COORDINATES"), r.Point("BTNCLOSE_SIZE"));
    skin.m_rcBtnAbout = RectFrom(r.Point("BTNABOUT_COORDINATES"), r.Point("BTNABOUT_SIZE"));

    // The window region follows the transparent edge of the top and bottom
    // pictures; anything but a transparent GIF leaves the outline empty.
    TraceImageOutline(skin.m_outlineTop, &skin.m_images[SKINIMG_BODY_TOP]);
    TraceImageOutline(skin.m_outlineBottom, &skin.m_images[SKINIMG_BODY_BOTTOM]);
}

void LoadDialogBody(CSkin& skin, const CParamReader& r)
{
    BODYSTYLE& body = skin.m_bodyStyle;
    body.body.colors = r.Clrs("DLG_BODY_CLRS");
    body.body.gradient = r.Gradient("DLG_BODY");
    body.body.layer = IMAGELAYER(r.Num("DLG_BODY_BLENDING"), &skin.m_images[SKINIMG_DLG_BODY],
                                 r.Num("DLG_BODY_IMG_ALIGN"));
    for (int i = 0; i < 4; ++i)
        body.pCheckImages[i] = &skin.m_images[SKINIMG_CHECKBOX_1N + i];

    // The about box's scroll bar wears the dialog colours, a step lighter
    // under the mouse and while pressed.
    SCROLLBARSTYLE& dlg = skin.m_dlgScrollStyle;
    const COLORSET light = LightenColorSet(body.body.colors);
    SCROLLBARPARTLOOK* parts[3] = {&dlg.track, &dlg.thumb, &dlg.buttons};
    for (SCROLLBARPARTLOOK* part : parts) {
        part->colors[0] = body.body.colors;
        part->colors[1] = light;
        part->colors[2] = light;
    }
    for (int s = 0; s < 3; ++s) {
        MakeGradientStyle(dlg.thumb.gradients[s], 30, 30, 1);
        MakeGradientStyle(dlg.buttons.gradients[s], 30, 30, 1);
    }

    body.buttonLook.colors = r.Clrs("DLGBTN_CLRS");
    body.buttonLook.layer = IMAGELAYER(r.Num("DLGBTN_BLENDING"), &skin.m_images[SKINIMG_DLGBTN], IMAGEALIGN_OFFSET);
}

// A defaults object on the stack, ended however the load leaves.
class CDefaultSkin
{
public:
    CDefaultSkin() : m_pSkin(InitDefaultSkin(m_storage)) {}
    ~CDefaultSkin() { m_pSkin->~CSkin(); }
    const CSkin& Get() const { return *m_pSkin; }

private:
    alignas(CSkin) unsigned char m_storage[sizeof(CSkin)];
    CSkin* m_pSkin;
};

}  // namespace

void MakeSkinFont(LOGFONTA& font, int nPoints, BOOL bBold, BOOL bItalic, int nFontKeyword)
{
    static const char* const kFaces[] = {"Arial", "Times", "Verdana", "Tahoma", "System", "Impact"};
    memset(&font, 0, sizeof(font));
    HDC hdc = GetDC(GetDesktopWindow());
    const int nDpi = hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : 96;
    if (hdc)
        ReleaseDC(GetDesktopWindow(), hdc);
    font.lfHeight = -MulDiv(nPoints, nDpi, 72);
    font.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = bItalic ? 1 : 0;
    font.lfCharSet = DEFAULT_CHARSET;
    const char* pszFace = (nFontKeyword >= 1 && nFontKeyword <= 5) ? kFaces[nFontKeyword] : kFaces[0];
    lstrcpynA(font.lfFaceName, pszFace, LF_FACESIZE);
}

void MakeGradientStyle(GRADIENTSTYLE& gradient, int nLight, int nDark, int nGradientKeyword)
{
    gradient = GRADIENTSTYLE(nLight, nDark, nGradientKeyword);
}

COLORSET LightenColorSet(const COLORSET& colors)
{
    COLORSET result;
    for (int i = 0; i < 6; ++i) {
        const COLORREF c = colors.clr[i];
        int parts[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        for (int& v : parts)
            v += (255 - v) * 20 / 100;
        result.clr[i] = RGB(parts[0], parts[1], parts[2]);
    }
    return result;
}

namespace {

void FillSkinFrom(CSkin& skin, const CSkinParamTable& table, bool bTakeImages)
{
    {
        const CDefaultSkin defaults;
        skin = defaults.Get();
    }

    const CParamReader r(table);
    for (int i = 0; i < SKINIMG_COUNT; ++i) {
        CImageReader* pImage = r.Img(g_aSkinImageParams[i]);
        if (pImage == nullptr)
            continue;
        if (bTakeImages)
            CImageReader::Swap(skin.m_images[i], *pImage);
        else
            CImageReader::Copy(skin.m_images[i], *pImage);
    }
    LoadDialogBody(skin, r);
    LoadMenus(skin, r);
    LoadScrollBars(skin, r);
    LoadMainTabs(skin, r);
    LoadPropertyTabs(skin, r);
    LoadBody(skin, r);
}

} // namespace

void FillSkin(CSkin& skin, const CSkinParamTable& table)
{
    FillSkinFrom(skin, table, false);
}

int LoadSkin(const char* pszPath)
{
    if (g_pSkin == nullptr)
        g_pSkin = new CSkin();

    CSkinParamTable table;
    BuildSkinParams(table);
    const int nResult = ParseSkinFile(pszPath, table);
    // The table goes with this call: its decoded pictures move to the skin.
    FillSkinFrom(*g_pSkin, table, true);
    return nResult;
}
