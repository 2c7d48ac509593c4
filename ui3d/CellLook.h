// CELLLOOK: how a field paints its smilie cells. The field copies it from its
// container's look record when it is made and hands it to CSmilie::Draw.
#pragma once

#include <windows.h>

struct CELLLOOK
{
    COLORREF crBackground;    // a cell that is not selected
    COLORREF crSelected;      // a selected cell
    COLORREF crLight;         // light edges of the cell frame
    COLORREF crInnerShadow;   // shadow edge one pixel inside the border
    COLORREF crOuterShadow;   // shadow edge along the border
    COLORREF crBracket;       // the hover brackets
    int bRaised;              // a raised frame along every cell's border
    int nFrameGradient;       // gradient kind of the field's cell frame (0 none .. 3 diagonal)
};
