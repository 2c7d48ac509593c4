// One-pixel frames and arrow glyphs.
#pragma once

#include <windows.h>

// A 1-pixel frame just inside rc: top and left edges light, right and bottom
// edges dark; the dark edges own the top-right and bottom-left corner pixels.
// Nothing for an empty rectangle or a null DC.
void Draw3DFrameLines(HDC hDC, const RECT& rc, COLORREF clrLight, COLORREF clrDark);
// The same frame in the toolkit's older argument order (width, top, DC, left,
// height); callers use the RECT form, where a swap cannot compile.
void Draw3DFrameLines(int nWidth, int top, HDC hDC, int left, int nHeight, COLORREF clrLight, COLORREF clrDark);

enum
{
    ARROW_LEFT = 0,
    ARROW_UP = 1,
    ARROW_RIGHT = 2,
    ARROW_DOWN = 3
};

// A solid triangle of 1-pixel lines, spanning the middle third of the
// rectangle across its direction (an odd base, so the tip is one pixel) and
// centred along it. Returns the arrow's extent along its direction (the
// number of lines); -1 for another type or when the pen cannot be selected.
// With a null DC only the size is computed.
int DrawArrowGlyph(const RECT& rect, HDC hDC, COLORREF clr, int nType);
