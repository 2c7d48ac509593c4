// Brightness and colour ramps: how grey skin images take a skin colour.
#pragma once

#include <windows.h>

// 0.239 red + 0.686 green + 0.075 blue, truncated, at most 255.
int GetColorBrightness(COLORREF clr);

// The shadow of a text or glyph drawn in c: 30 % of each channel,
// c - floor(c x 0.7).
COLORREF ShadowOf(COLORREF c);

// 256 colours from black through the key colour to white; the key sits at
// entry brightness/2 + 99. Each entry is kept as a COLORREF and as a 32-bit
// pixel (blue, green, red, 0 in memory).
struct COLORRAMP
{
    COLORREF clrKey;
    COLORREF clr[256];
    DWORD px[256];
};

void BuildColorRamp(COLORRAMP* pRamp, COLORREF clrKey);

// Replaces each pixel of the bitmap by the ramp entry its blue byte indexes
// (for a grey image: its grey level). The last five ramps are kept, since
// skins tint many images with few colours. The bitmap must not be selected
// into a DC. 1 on success, 0 when its pixels cannot be read or written.
BOOL RecolorBitmap(COLORREF clrKey, HBITMAP hBitmap);
