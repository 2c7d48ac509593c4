// CSkin: the loaded skin. One object holds the skin's 37 pictures and every
// style record the windows hand to the skinned controls; the controls copy
// the records, so the object must outlive every window (it lives the whole
// run, reached through g_pSkin).
#pragma once

#include "collection/ImageReader.h"
#include "ui3d/FieldsParams.h"
#include "ui3d/ScrollBarStyle.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/TabSelParams.h"

#include <windows.h>

// The picture holders of a skin, by the parameter that names each picture.
enum SKINIMAGE
{
    SKINIMG_DLG_BODY = 0,
    SKINIMG_CHECKBOX_1N, SKINIMG_CHECKBOX_0N, SKINIMG_CHECKBOX_1H, SKINIMG_CHECKBOX_0H,
    SKINIMG_MENU_ITEM, SKINIMG_MENU_ITEM_H, SKINIMG_MENU_SEPARATOR,
    SKINIMG_MENUBAR_ITEM_H,
    SKINIMG_SCRLBAR, SKINIMG_SCRLBAR_H, SKINIMG_SCRLBAR_P,
    SKINIMG_SCRLBAR_THMB, SKINIMG_SCRLBAR_THMB_H, SKINIMG_SCRLBAR_THMB_P,
    SKINIMG_SCRLBAR_BTNS, SKINIMG_SCRLBAR_BTNS_H, SKINIMG_SCRLBAR_BTNS_P,
    SKINIMG_SLDR, SKINIMG_SLDR_H, SKINIMG_SLDR_P,
    SKINIMG_SLDR_THMB, SKINIMG_SLDR_THMB_H, SKINIMG_SLDR_THMB_P,
    SKINIMG_MAINTAB_BTNS, SKINIMG_MAINTAB_BTNS_H, SKINIMG_MAINTAB_BTNS_P,
    SKINIMG_MAINTAB_TAB, SKINIMG_MAINTAB_TAB_H, SKINIMG_MAINTAB_TAB_P,
    SKINIMG_PROPTAB_TAB, SKINIMG_PROPTAB_TAB_H, SKINIMG_PROPTAB_TAB_P,
    SKINIMG_BODY_TOP, SKINIMG_BODY_MIDDLE, SKINIMG_BODY_BOTTOM,
    SKINIMG_DLGBTN,
    SKINIMG_COUNT
};

// The parameter that names the picture of each SKINIMAGE index.
extern const char* const g_aSkinImageParams[SKINIMG_COUNT];

class CSkin
{
public:
    CImageReader m_images[SKINIMG_COUNT];
    int m_nBodyWidth = 0;
    int m_nLayoutBase = 0;
    SIZE m_sizeResizeZone = {0, 0};
    int m_nBodyMinHeight = 0;
    int m_nBodyMaxHeight = 0;
    COLORSET m_clrsBody;
    IMAGELAYER m_layerBodyTop;
    IMAGELAYER m_layerBodyMiddle;
    IMAGELAYER m_layerBodyBottom;
    POINTARRAY m_outlineTop;
    POINTARRAY m_outlineBottom;
    RECT m_rcBtnClose = {0, 0, 0, 0};
    RECT m_rcBtnAbout = {0, 0, 0, 0};
    POINT m_ptMenuBar = {0, 0};
    MENUBARSTYLE m_menuBarStyle;
    TEXTSTYLE m_menuTextStyle;
    SCROLLBARSTYLE m_baseScrollStyle;
    SCROLLBARSTYLE m_sliderStyle;
    int m_sliderMetrics[5] = {0, 0, 0, 0, 0};  // thickness, x, y, length, 0
    TABSELPARAMS m_baseTabLook;
    TABSELPARAMS m_propTabLook;
    int m_nPropTabsHeight = 0;
    // The cell look of new fields as ten words; CellLookFromFieldDefaults
    // says which word becomes which CELLLOOK member.
    DWORD m_fieldDefaults[10] = {0};
    FIELDGRIDDEFAULTS m_fieldsGrid;
    FIELDSPARAMS m_fieldsLook;
    BODYSTYLE m_bodyStyle;
    TOOLTIPSTYLE m_tooltipStyle;
    FONTSTYLE m_previewFont;
    SCROLLBARSTYLE m_dlgScrollStyle;

    CSkin();
    ~CSkin() = default;
    // Deep copies of the pictures; the image layers keep pointing where the
    // source's point (the loader re-points them at this object's holders).
    CSkin& operator=(const CSkin& src);

private:
    CSkin(const CSkin&) = delete;
};

// Constructs a CSkin in pStorage (at least sizeof(CSkin), suitably aligned)
// and gives it the built-in defaults. The caller ends it with ~CSkin.
// The ten cell-look words in CELLLOOK form:
//   0 unselected cell, 1 selected cell, 2 light edge, 3 inner shadow,
//   4 outer shadow (colours); 5 a percentage (90) and 8 a distance (10) that
//   no step of the cell drawing reads, so they are not carried; 6 the gradient
//   kind of the cell frame; 7 the hover brackets' colour; 9 raised cells (0/1).
CELLLOOK CellLookFromFieldDefaults(const DWORD (&words)[10]);

CSkin* InitDefaultSkin(void* pStorage);

// The one skin of the program: null until the first LoadSkin, deleted by the
// application's exit step (and at process exit only when still set).
extern CSkin* g_pSkin;
