#include "ui3d/drawing/ColorRamp.h"

#include "ui3d/drawing/PixelOps.h"

#include <cstdlib>

int GetColorBrightness(COLORREF clr)
{
    const int n = (239 * GetRValue(clr) + 686 * GetGValue(clr) + 75 * GetBValue(clr)) / 1000;
    return n > 255 ? 255 : n;
}

COLORREF ShadowOf(COLORREF c)
{
    auto f = [](int v) { return v - (v * 7) / 10; };
    return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

static int ClampPercent1(int n)
{
    return n < 1 ? 1 : (n > 100 ? 100 : n);
}

void BuildColorRamp(COLORRAMP* pRamp, COLORREF clrKey)
{
    const int n = GetColorBrightness(clrKey) / 2;
    const int key[3] = {GetRValue(clrKey), GetGValue(clrKey), GetBValue(clrKey)};
    pRamp->clrKey = clrKey;
    for (int i = 0; i < 256; i++) {
        int ch[3];
        if (i <= n + 99) {
            const int f = ClampPercent1(100 - 100 * i / (n + 99));
            for (int c = 0; c < 3; c++)
                ch[c] = key[c] - key[c] * f / 100;
        } else {
            const int q = ClampPercent1(100 * (i - n - 100) / (155 - n));
            for (int c = 0; c < 3; c++)
                ch[c] = key[c] < 255 ? key[c] + (255 - key[c]) * q / 100 : 255;
        }
        pRamp->clr[i] = RGB(ch[0], ch[1], ch[2]);
        pRamp->px[i] = DWORD(ch[0]) << 16 | DWORD(ch[1]) << 8 | DWORD(ch[2]);
    }
}

// The ramps are built and read on the user-interface thread only.
static COLORRAMP s_ramps[5];
static bool s_bRampBuilt[5];
static int s_nNextRamp;

static const COLORRAMP& RampFor(COLORREF clrKey)
{
    for (int i = 0; i < 5; i++)
        if (s_bRampBuilt[i] && s_ramps[i].clrKey == clrKey)
            return s_ramps[i];
    const int n = s_nNextRamp;
    s_nNextRamp = (n + 1) % 5;
    BuildColorRamp(&s_ramps[n], clrKey);
    s_bRampBuilt[n] = true;
    return s_ramps[n];
}

BOOL RecolorBitmap(COLORREF clrKey, HBITMAP hBitmap)
{
    BITMAPINFOHEADER bih;
    DWORD* pPixels = reinterpret_cast<DWORD*>(GetBitmapBits32(hBitmap, &bih));
    if (!pPixels)
        return FALSE;
    const COLORRAMP& ramp = RampFor(clrKey);
    const size_t n = size_t(bih.biWidth) * size_t(abs(bih.biHeight));
    for (size_t i = 0; i < n; i++)
        pPixels[i] = ramp.px[pPixels[i] & 0xFF];
    const BOOL bOk = SetBitmapBits32(&bih, reinterpret_cast<BYTE*>(pPixels), hBitmap) != nullptr;
    free(pPixels);
    return bOk;
}
