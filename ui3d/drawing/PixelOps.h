// Whole 32-bit pixel buffers: reading and writing a bitmap's pixels,
// premultiplied alpha and the fifteen layer blend modes. A pixel is four
// bytes in memory: blue, green, red, alpha.
#pragma once

#include <windows.h>

// Multiplies blue, green and red of each pixel by alpha / 255 (rounded down).
// Only whole pixels are touched; fewer than 4 bytes do nothing.
void PremultiplyAlpha(DWORD cbPixels, BYTE* pPixels);

// The whole bitmap as 32-bit uncompressed pixels, rows bottom-up as the
// system reports them, in a buffer the caller frees with free(); pHeader
// (may be null) receives the header. Null on failure. The bitmap must not be
// selected into a DC.
BYTE* GetBitmapBits32(HBITMAP hBitmap, BITMAPINFOHEADER* pHeader);

// Writes 32-bit pixels into the bitmap, or into a new screen-compatible
// bitmap of the header's size when none is given (deleted again when the
// write fails). Refuses a header under 40 bytes, a size not above 0, another
// bit count or a compressed format. Returns the bitmap, or null.
HBITMAP SetBitmapBits32(const BITMAPINFOHEADER* pHeader, const BYTE* pPixels, HBITMAP hBitmap);

// A blend result as a byte: below 0 gives 0, above 1 or not a number gives
// 255 (pbValid false for those), else value x 255 truncated.
BYTE ClampUnitToByte(double v, bool* pbValid = nullptr);

enum
{
    BLEND_DARKEN = 1,
    BLEND_MULTIPLY,
    BLEND_COLORBURN,
    BLEND_LINEARBURN,
    BLEND_LIGHTEN,
    BLEND_SCREEN,
    BLEND_COLORDODGE,
    BLEND_LINEARDODGE,
    BLEND_OVERLAY,
    BLEND_SOFTLIGHT,
    BLEND_HARDLIGHT,
    BLEND_VIVIDLIGHT,
    BLEND_LINEARLIGHT,
    BLEND_PINLIGHT,
    BLEND_HARDMIX,
    BLEND_LAST = BLEND_HARDMIX
};

// One channel of a blend: base a and top b as fractions of 255. Divisions by
// zero give IEEE infinities or NaN, which ClampUnitToByte maps to the limits.
double BlendChannel(int nMode, double a, double b);

// Combines the top layer into the base in place, channel by channel; each
// result pixel's alpha byte is 0. 0 for null buffers, a size not above 0 or
// an unknown mode.
BOOL BlendPixels(BYTE* pBase, const BYTE* pTop, int nMode, int nWidth, int nHeight);

// A 32-bit DIB section, top-down (row 0 first in memory), with its pixels in
// *ppBits; null on failure. The caller deletes it.
HBITMAP CreateDIBSection32(int cx, int cy, BYTE** ppBits);
