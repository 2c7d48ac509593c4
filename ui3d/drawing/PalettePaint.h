// Composes a palette picture through a palette mask over a background that
// the caller paints, for pictures whose opacity is a second picture.
#pragma once

#include <windows.h>

class CImageReader;

// Paints the background into a memory DC of cx x cy pixels.
typedef void (*PFN_PAINTBACKGROUND)(HDC hMemDC, int cx, int cy, void* pUser);

// Makes a 32-bit section of the rectangle's size, lets the painter draw the
// background into it, then for each pixel that both pictures cover mixes the
// colour picture's palette colour over it with the mask picture's palette
// entry (its first byte) as opacity, and copies the section to the rectangle.
// Both pictures must be 1-, 4- or 8-bit palette pictures; their bit count
// decides how indices are read. FALSE when they are not, or on failure.
BOOL PaintThroughDIBSection(HDC hDC, const RECT& rect, const CImageReader* pColor, const CImageReader* pMask,
                            PFN_PAINTBACKGROUND pfnPaint, void* pUser);
