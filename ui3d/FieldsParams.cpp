#include "ui3d/FieldsParams.h"

#include <cstring>

FIELDGRIDDEFAULTS::FIELDGRIDDEFAULTS()
    : clrBack(GetSysColor(COLOR_APPWORKSPACE)), clrGrid(GetSysColor(COLOR_ACTIVEBORDER))
{
    pszCursors[0] = pszCursors[1] = pszCursors[2] = IDC_ARROW;
    pszCursors[3] = IDC_HAND;
}

FIELDSPARAMS::FIELDSPARAMS()
{
}

FIELDSPARAMS::FIELDSPARAMS(const SCROLLBARSTYLE& scroll, const TEXTSTYLE& text, int nTabLeft,
                           int nTabTop, int nTabRight, int nTabBottom, const TABSELPARAMS& tabs,
                           const int (&block)[8], const int (&fieldsRect)[4],
                           const FIELDGRIDDEFAULTS& gridDefaults, int nCellWidth, int nCellHeight)
    : scrollBar(scroll), textStyle(text), tabStrip(tabs), grid(gridDefaults)
{
    nMetrics[0] = 14;
    nMetrics[1] = 16;
    rcTabStrip.left = nTabLeft;
    rcTabStrip.top = nTabTop;
    rcTabStrip.right = nTabRight;
    rcTabStrip.bottom = nTabBottom;
    memcpy(nBlock, block, sizeof(nBlock));
    memcpy(nFieldsRect, fieldsRect, sizeof(nFieldsRect));
    nCellSize[0] = nCellWidth;
    nCellSize[1] = nCellHeight;
    tabStrip.nStripWidth = nBlock[2] - nBlock[0];
}
