// The style records: the plain looks that the skin object fills and hands to
// the skinned controls, dialogs and menus, which copy them. A control never
// reads the skin object; it keeps its own copy of a record.
//
// Records copy member by member. The only owned members are CStrings (shared
// by reference count) and the point buffer of POINTARRAY, which is copied
// deeply. Image references are plain pointers to holders inside the skin
// object: a copy shares the images, so a record is good only while the skin
// object lives (the whole run).
#pragma once

#include "framework/Str.h"

#include <windows.h>

class CImageReader;

// The program's current colour scheme (0..5): every skinned window that paints
// with a COLORSET takes the entry at this index. The skin colouring and the
// options set it from the setting "SkinColorScheme".
extern int g_nSkinColorScheme;

// One colour per colour scheme (0..5); the program's current scheme picks one.
struct COLORSET
{
    COLORREF clr[6];

    // 0x7F7F7F (an ordinary mid grey) first, then five zeros.
    COLORSET();
    COLORSET(COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3, COLORREF c4, COLORREF c5);

    // The colour of a scheme; an index outside 0..5 is clamped into it.
    COLORREF Get(int nScheme) const;
};

// A two-sided gradient around a colour: lightening and darkening amounts
// (percent), the kind (0 none, 1 horizontal, 2 vertical, 3 diagonal) and
// whether light and dark swap ends.
struct GRADIENTSTYLE
{
    int nLight = 0;
    int nDark = 0;
    int nKind = 0;
    int bMirrored = 0;

    GRADIENTSTYLE() {}
    // From the skin's two values: amounts clamped to 0..100; a gradient number
    // above 3 is the same kind mirrored (number - 3).
    GRADIENTSTYLE(int nLightAmount, int nDarkAmount, int nGradientNumber);
};

// Image alignment of an IMAGELAYER.
enum
{
    IMAGEALIGN_OFFSET = 0,
    IMAGEALIGN_STRETCH = 1,
    IMAGEALIGN_CENTER = 2,
    IMAGEALIGN_TILE = 3
};

// A skin image blended over a gradient: blend mode (0 none, 1..15 the modes of
// BlendPixels), the image (owned by the skin object) and its alignment.
struct IMAGELAYER
{
    int nBlendMode = 0;
    CImageReader* pImage = nullptr;
    int nAlign = IMAGEALIGN_OFFSET;

    IMAGELAYER() {}
    IMAGELAYER(int nMode, CImageReader* pImg, int nAlignment)
        : nBlendMode(nMode), pImage(pImg), nAlign(nAlignment) {}
};

// One painted surface: colours, gradient, image layer.
struct FRAMESTYLE
{
    COLORSET colors;
    GRADIENTSTYLE gradient;
    IMAGELAYER layer;

    FRAMESTYLE() {}
    FRAMESTYLE(const COLORSET& clrs, const GRADIENTSTYLE& grad, const IMAGELAYER& lay)
        : colors(clrs), gradient(grad), layer(lay) {}
};

// Markup tags a menu item text may carry, in the order TEXTSTYLE keeps them.
enum
{
    MARKUP_NORMAL = 0,
    MARKUP_BOLD,
    MARKUP_ITALIC,
    MARKUP_BOLDITALIC,
    MARKUP_RGBSTART,
    MARKUP_RGBEND,
    MARKUP_NOCOLOR,
    MARKUP_MNEMONIC,
    MARKUP_3DON,
    MARKUP_3DOFF,
    MARKUP_COUNT
};

// TEXTSTYLE flags the menus and the skin loader share.
enum
{
    TEXTSTYLE_BALLOONTIPS = 0x10,
    TEXTSTYLE_ITEMBORDERS = 0x100,
    TEXTSTYLE_3DTEXT = 0x400
};

// The look of a popup menu and its items.
struct TEXTSTYLE
{
    COLORSET itemColors;
    COLORSET hotItemColors;
    COLORSET textColors;
    COLORSET hotTextColors;
    GRADIENTSTYLE itemGradient;
    IMAGELAYER itemLayer;
    IMAGELAYER hotItemLayer;
    IMAGELAYER separatorLayer;
    int nIconZoneWidth;
    BYTE bItemBorder;
    BYTE bHotItemBorder;
    COLORSET borderLightColors;
    COLORSET borderDarkColors;
    COLORSET hotBorderLightColors;
    COLORSET hotBorderDarkColors;
    int nItemHeight;
    int nSeparatorHeight;
    COLORSET mnemonicColors;
    char szTags[MARKUP_COUNT][8];
    int nTipMaxWidth;
    int nTipDisplayTime;        // milliseconds; 0 or less: the longest allowed
    COLORREF clrTipBack;        // 0 with a 0 text colour: the system's
    COLORREF clrTipText;
    CString strSeparator;
    int nFlags;

    // Grey-first colour sets, zero gradient and layers, separator height 0,
    // tip values 0, separator "; ", flags 0x5D (what a dialog body builds).
    TEXTSTYLE();
    TEXTSTYLE(const COLORSET& item, const COLORSET& hotItem, const COLORSET& text,
              const COLORSET& hotText, const GRADIENTSTYLE& gradient, const IMAGELAYER& layer,
              const IMAGELAYER& hotLayer, const IMAGELAYER& sepLayer, const COLORSET& borderLight,
              const COLORSET& borderDark, const COLORSET& hotBorderLight,
              const COLORSET& hotBorderDark, int nSepHeight, const COLORSET& mnemonic,
              int nTipTime, COLORREF clrTipBk, COLORREF clrTipTxt, LPCTSTR pszSeparator,
              int nFlagWord);
    TEXTSTYLE(const TEXTSTYLE& src) = default;
    TEXTSTYLE& operator=(const TEXTSTYLE& src) = default;
    ~TEXTSTYLE() = default;

private:
    void SetDefaultTags();
};

// BODYSTYLE flags.
enum
{
    BODYSTYLE_DARKFRAMES = 0x01,        // frames' dark side in the dark shadow colour
    BODYSTYLE_SWAPGROUPPENS = 0x02,
    BODYSTYLE_PRESSEDDARKTOLIGHT = 0x04,
    BODYSTYLE_KEEPONSCREEN = 0x08,
    BODYSTYLE_3DBUTTONTEXT = 0x10,
    BODYSTYLE_3DSTATICTEXT = 0x20,
    BODYSTYLE_SHADOWTEXT = 0x40
};

const int BODYSTYLE_SIZE = 572;

// The look of a skinned dialog body and of the controls on it.
struct BODYSTYLE
{
    int cbSize;                         // always BODYSTYLE_SIZE
    FRAMESTYLE body;
    CImageReader* pCheckImages[4];      // checked, unchecked, checked pressed, unchecked pressed
    CImageReader* pRadioImages[4];      // the same order
    FRAMESTYLE buttonLook;
    COLORREF clrFace;
    COLORREF clrText;
    COLORREF clrText2;                  // text of the focused button
    COLORREF clrHighlight;
    COLORREF clrShadow;
    COLORREF clrDarkShadow;
    COLORREF clrDarkShadow2;            // the contrast colour after skin colouring
    int nLightenPercent;                // of button faces; 30
    int nDarkenPercent;
    BYTE nGradientKind;                 // of button faces; 2
    TEXTSTYLE textStyle;
    int nFlags;

    BODYSTYLE(const FRAMESTYLE& frame, CImageReader* const* ppCheck, CImageReader* const* ppRadio,
              COLORREF face, COLORREF text, COLORREF text2, COLORREF highlight, COLORREF shadow,
              COLORREF darkShadow, COLORREF darkShadow2, int nDarken, const TEXTSTYLE& text3,
              int nFlagWord);
    BODYSTYLE(const BODYSTYLE& src) = default;
    BODYSTYLE& operator=(const BODYSTYLE& src) = default;
    ~BODYSTYLE() = default;

    // What every skinned dialog and control builds before it assigns the
    // style it is given: the system's button colours, darken 30, flags 0x3B.
    static BODYSTYLE FromSystemColors();
};

// The look of the skinned menu bar.
struct MENUBARSTYLE
{
    int nHeight = 0;
    LOGFONTA font;
    COLORSET textColors;
    COLORSET hotTextColors;
    COLORSET hotItemColors;
    IMAGELAYER hotItemLayer;
    COLORSET hotBorderLightColors;
    COLORSET hotBorderDarkColors;
    int n3DText = 0;
    int n3DText2 = 0;
    int nHotItemBorder = 0;

    // Colour sets grey-first, layer 0, font zeroed; the owner sets the rest.
    MENUBARSTYLE();
};

// TOOLTIPSTYLE flags.
enum
{
    TOOLTIPSTYLE_BALLOON = 0x10,
    TOOLTIPSTYLE_BALLOONTITLE = 0x40,
    TOOLTIPSTYLE_TOOLVALUES = 0x80
};

// The look of a skinned tooltip.
struct TOOLTIPSTYLE
{
    int nMaxWidth;
    int nInitialDelay;      // -1: the system's
    int nDisplayTime;       // 0: the longest
    COLORREF clrBack;       // 0: the system's
    COLORREF clrText;
    CString strSeparator;   // stands for a line break where tips have one line
    int nFlags;

    TOOLTIPSTYLE(COLORREF back = 0, COLORREF text = 0, LPCTSTR pszSeparator = "; ", int nFlagWord = 0x50);
};

// The look of the smilie preview: its picture, name line, frame and text.
struct FONTSTYLE
{
    COLORREF clrPictureBack;    // fixed 0xFFFFFF
    COLORREF clrName;
    char szNameFace[32];
    int nNameHeight;            // 0: no name line
    COLORREF clrFrame;
    int nFrameLighten;
    int nFrameDarken;
    int nFrameGradientKind;     // fixed 1
    COLORREF clrText;
    COLORREF clrTextBack;
    DWORD dwExtra1;
    DWORD dwExtra2;
    char szTextFace[32];
    int nTextHeight;            // fixed -11

    FONTSTYLE(COLORREF name = 0xB4B4B4, int nNameFontHeight = -9, COLORREF frame = 0x7F7F7F,
              int nLighten = 30, int nDarken = 30, COLORREF text = 0xFFFFFF,
              COLORREF textBack = 0x404040, DWORD extra1 = 0xFFFFFF, DWORD extra2 = 255,
              LPCTSTR pszNameFace = "Arial", LPCTSTR pszTextFace = "Arial");

    // A face name of 32 characters or more does not fit and leaves it empty.
    static void SetFace(char (&szFace)[32], LPCTSTR pszFace);
};

// An outline: an owned array of points.
struct POINTARRAY
{
    POINT* pPoints = nullptr;
    int nCount = 0;

    POINTARRAY() {}
    POINTARRAY(const POINTARRAY& src);
    POINTARRAY& operator=(const POINTARRAY& src);
    ~POINTARRAY();

    // Replaces the points by a copy of n points; a null pointer or a count
    // not above 0 leaves the array empty.
    void Set(int n, const POINT* pts);
    void Free();
};
