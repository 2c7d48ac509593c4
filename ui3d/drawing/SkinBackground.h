// The background of a skinned surface: a gradient around a colour, with a
// skin image blended into it.
#pragma once

#include "ui3d/StyleRecords.h"

#include <windows.h>

// A new 32-bit bitmap (the caller deletes it) of the given size, or of the
// layer image's size when either side is 0; null when there is neither.
// Without a loaded image or with blend mode 0 it holds only the gradient;
// otherwise the image placed by the layer's alignment (at -offset, stretched,
// centred, or tiled from -offset), with the gradient blended into it.
HBITMAP CreateSkinBackground(SIZE size, COLORREF clr, const GRADIENTSTYLE& gradient, const IMAGELAYER& layer,
                             POINT ptOffset);

// The gradient's end colours around a colour: lightened and darkened by the
// style's amounts (each kept within 1..100), swapped when mirrored.
void GetGradientColors(COLORREF clr, const GRADIENTSTYLE& gradient, COLORREF* pFirst, COLORREF* pLast);
