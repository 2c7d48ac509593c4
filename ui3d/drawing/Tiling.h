// Copies between DCs: tiles, and alpha blits whose opacity fades.
#pragma once

#include <windows.h>

// Covers the destination rectangle with copies of the source rectangle on a
// grid anchored at (xOrigin, yOrigin); tiles at the edges are cut.
void TileBitmapAt(HDC hDest, const RECT& rcDest, HDC hSrc, const RECT& rcSrc, int xOrigin, int yOrigin);

// Repeats the tile already drawn in rcTile over an area of the given size
// from the tile's top-left corner, copying within the one DC.
void TileBitmap(const RECT& rcTile, HDC hDC, SIZE area);

// AlphaBlend (source over, constant alpha) of rcDest's size from ptSrc in hSrc
// onto rcDest, whose alpha runs linearly from the start to the end value
// across the height in 1-pixel rows (bVertical) or across the width in 1-pixel
// columns; a single blit when both are equal. Stops at the first failing
// blit; 0 then, or without AlphaBlend.
BOOL AlphaBlendFaded(HDC hDest, const RECT& rcDest, HDC hSrc, POINT ptSrc, BOOL bVertical, int nStartAlpha,
                     int nEndAlpha);
