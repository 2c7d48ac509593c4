// The look of the main window's fields area as the skin sets it: the fields'
// scroll bar, the tab strip and its place, and the grid defaults that every
// new field copies.
#pragma once

#include "ui3d/CellLook.h"
#include "ui3d/ScrollBarStyle.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/TabSelParams.h"

const int FIELD_DEFAULT_ROWS = 128;

// The 13 words each new field copies whole.
struct FIELDGRIDDEFAULTS
{
    UINT nMaskBitmapId = 0;         // 0: a rectangular window
    UINT nTileBitmapId = 0;         // 0: a plain colour
    COLORREF clrBack;               // the system's application-workspace colour
    COLORREF clrGrid;               // the system's active-border colour
    COLORREF clrAccent = 0;
    int bAccent = 0;
    int nRows = FIELD_DEFAULT_ROWS;
    const LOGFONTA* pCellFont = nullptr;
    LPCSTR pszCursors[4];           // IDC_ARROW three times, then IDC_HAND
    int bWhiteCells = 0;

    FIELDGRIDDEFAULTS();
};

struct FIELDSPARAMS
{
    SCROLLBARSTYLE scrollBar;
    int nMetrics[2] = {0, 0};       // 14 and 16 when built from values
    TEXTSTYLE textStyle;
    RECT rcTabStrip = {0, 0, 0, 0};
    TABSELPARAMS tabStrip;
    int nBlock[8] = {0};            // copied whole from the builder
    int nFieldsRect[4] = {0};
    FIELDGRIDDEFAULTS grid;
    CELLLOOK cellLook = {};         // each new field's cell look; the skin fills it
    int nCellSize[2] = {0, 0};      // default cell width and height

    FIELDSPARAMS();
    // The skin defaults. Afterwards the tab strip's strip width is the third
    // number of the block minus its first.
    FIELDSPARAMS(const SCROLLBARSTYLE& scroll, const TEXTSTYLE& text, int nTabLeft, int nTabTop,
                 int nTabRight, int nTabBottom, const TABSELPARAMS& tabs, const int (&block)[8],
                 const int (&fieldsRect)[4], const FIELDGRIDDEFAULTS& gridDefaults, int nCellWidth,
                 int nCellHeight);
    FIELDSPARAMS(const FIELDSPARAMS& src) = default;
    FIELDSPARAMS& operator=(const FIELDSPARAMS& src) = default;
    ~FIELDSPARAMS() = default;
};
