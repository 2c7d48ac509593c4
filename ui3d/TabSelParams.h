// The look of a tab strip (CTabSelector): three tab looks, the font, the
// strip's scroll buttons and its menu.
#pragma once

#include "ui3d/ScrollBarStyle.h"
#include "ui3d/StyleRecords.h"

// The look of a tab in one state (normal, hovered or selected).
struct TABSTATELOOK
{
    COLORSET tabColors;
    COLORSET borderLightColors;     // borderless tabs
    COLORSET borderDarkColors;
    COLORSET textColors;
    COLORSET textShadowColors;
    GRADIENTSTYLE gradient;
    IMAGELAYER layer;
    int nSliceStart = 0;            // the middle slice of an image tab
    int nSliceEnd = 0;
    int nTextLeft = 0;
    int nTextTop = 0;
    int nTextRight = 0;
    int nBorderlessHeight = 0;
    int nBorderlessSlant = 0;
    int nBorderLightAmount = 0;
    int nBorderDarkAmount = 0;
    int nTextColorFromTab = 0;
    int nText2ColorFromTab = 0;
    COLORREF clrTextExplicit = 0;
    BYTE nTextType = 0;
};

enum
{
    TABLOOK_NORMAL = 0,
    TABLOOK_HOT = 1,
    TABLOOK_SELECTED = 2
};

struct TABSELPARAMS
{
    TABSTATELOOK looks[3];
    LOGFONTA font;
    int nOverlap = 0;
    int nScrollZone = 0;            // margin kept beside a tab scrolled into view
    int nFadeZonePercent = 0;
    int nFlags = 0;
    SCROLLBARSTYLE scrollButtons;
    TEXTSTYLE menuStyle;
    int nButtonHeight = 0;
    int nStripWidth = 0;            // left inset of the scroll buttons

    TABSELPARAMS();
    TABSELPARAMS(const TABSELPARAMS& src) = default;
    TABSELPARAMS& operator=(const TABSELPARAMS& src) = default;
    ~TABSELPARAMS() = default;
};
