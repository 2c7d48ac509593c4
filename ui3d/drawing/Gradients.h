// Solid fills and gradients. GradientFill is used when the system has it;
// without it the same ramps are drawn a line at a time.
#pragma once

#include <windows.h>

enum
{
    GRADIENT_NONE = 0,
    GRADIENT_HORIZONTAL = 1,
    GRADIENT_VERTICAL = 2,
    GRADIENT_DIAGONAL = 3
};

// Three-colour gradient over [left, right) x [top, bottom): the first half
// runs from the first colour to the middle one, the second half on to the
// last. Kind 0, or three equal colours, fills with the middle colour. The
// diagonal kind keeps colours constant along lines from bottom-left to
// top-right.
void DrawGradientFrame(COLORREF clrFirst, HDC hDC, int left, int top, int right, int bottom,
                       COLORREF clrMiddle, COLORREF clrLast, BYTE nKind);

// Rows 0 to height-1 between left and right, blended from the top colour to
// the bottom colour (the last row has the bottom colour).
void FillVerticalGradient(int nHeight, HDC hDC, int left, int right, COLORREF clrTop, COLORREF clrBottom);

// Four GradientFill triangles from the edges to the centre: grey 0xC0 at the
// centre, black at the corners, alpha 0. 1 when all four succeed; 0 for an
// empty rectangle or without GradientFill.
BOOL FillCentreGradient(const RECT& rect, HDC hDC);

// Opaque fill of rc (ExtTextOut with ETO_OPAQUE); the background colour is kept.
void FillSolidRect(HDC hDC, const RECT& rc, COLORREF clr);
// The same fill in the toolkit's older argument order, top and left first and
// the height after the DC; callers use the RECT form, where a swap cannot compile.
void FillSolidRect(int top, int left, int nWidth, HDC hDC, int nHeight, COLORREF clr);

// The colour at step i of n from start to end, each channel moved in integers
// by i x |end - start| / n.
COLORREF InterpolateColor(COLORREF clrStart, COLORREF clrEnd, int i, int n);
