#include "ui3d/drawing/PixelOps.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

void PremultiplyAlpha(DWORD cbPixels, BYTE* pPixels)
{
    if (!pPixels)
        return;
    for (DWORD i = 0; i + 4 <= cbPixels; i += 4) {
        const unsigned a = pPixels[i + 3];
        pPixels[i] = BYTE(pPixels[i] * a / 255);
        pPixels[i + 1] = BYTE(pPixels[i + 1] * a / 255);
        pPixels[i + 2] = BYTE(pPixels[i + 2] * a / 255);
    }
}

static void Header32(BITMAPINFOHEADER& bih, int cx, int cy)
{
    memset(&bih, 0, sizeof(bih));
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = cx;
    bih.biHeight = cy;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
}

BYTE* GetBitmapBits32(HBITMAP hBitmap, BITMAPINFOHEADER* pHeader)
{
    BITMAP bm;
    if (!hBitmap || GetObjectA(hBitmap, sizeof(bm), &bm) != sizeof(bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    const uint64_t cb = uint64_t(bm.bmWidth) * uint64_t(bm.bmHeight) * 4;
    if (cb > UINT32_MAX)
        return nullptr;
    BITMAPINFO bmi;
    Header32(bmi.bmiHeader, bm.bmWidth, bm.bmHeight);
    BYTE* pPixels = static_cast<BYTE*>(malloc(size_t(cb)));
    if (!pPixels)
        return nullptr;
    HDC hScreen = GetDC(nullptr);
    const int nRows = GetDIBits(hScreen, hBitmap, 0, bm.bmHeight, pPixels, &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, hScreen);
    if (nRows != bm.bmHeight) {
        free(pPixels);
        return nullptr;
    }
    if (pHeader)
        Header32(*pHeader, bm.bmWidth, bm.bmHeight);
    return pPixels;
}

HBITMAP SetBitmapBits32(const BITMAPINFOHEADER* pHeader, const BYTE* pPixels, HBITMAP hBitmap)
{
    if (!pHeader || !pPixels || pHeader->biSize < sizeof(BITMAPINFOHEADER) || pHeader->biWidth <= 0 ||
        pHeader->biHeight <= 0 || pHeader->biBitCount != 32 || pHeader->biCompression != BI_RGB)
        return nullptr;
    HDC hScreen = GetDC(nullptr);
    HBITMAP hCreated = nullptr;
    if (!hBitmap)
        hBitmap = hCreated = CreateCompatibleBitmap(hScreen, pHeader->biWidth, pHeader->biHeight);
    BITMAPINFO bmi;
    Header32(bmi.bmiHeader, pHeader->biWidth, pHeader->biHeight);
    const bool bOk = hBitmap &&
        SetDIBits(hScreen, hBitmap, 0, pHeader->biHeight, pPixels, &bmi, DIB_RGB_COLORS) == pHeader->biHeight;
    ReleaseDC(nullptr, hScreen);
    if (!bOk) {
        if (hCreated)
            DeleteObject(hCreated);
        return nullptr;
    }
    return hBitmap;
}

BYTE ClampUnitToByte(double v, bool* pbValid)
{
    if (pbValid)
        *pbValid = true;
    if (v < 0)
        return 0;
    if (!(v <= 1)) {
        if (pbValid)
            *pbValid = false;
        return 255;
    }
    // A result that is a whole byte in exact arithmetic (a x 255 / 255) must
    // not lose one to rounding in the last bit.
    return BYTE(v * 255 + 1e-9);
}

double BlendChannel(int nMode, double a, double b)
{
    switch (nMode) {
    case BLEND_DARKEN: return a < b ? a : b;
    case BLEND_MULTIPLY: return a * b;
    case BLEND_COLORBURN: return 1 - (1 - a) / b;
    case BLEND_LINEARBURN: return a + b - 1;
    case BLEND_LIGHTEN: return a > b ? a : b;
    case BLEND_SCREEN: return 1 - (1 - a) * (1 - b);
    case BLEND_COLORDODGE: return a / (1 - b);
    case BLEND_LINEARDODGE: return a + b;
    case BLEND_OVERLAY: return a <= 0.5 ? 2 * a * b : 1 - 2 * (1 - a) * (1 - b);
    case BLEND_SOFTLIGHT:
        return b <= 0.5 ? a + (a - a * a) * (2 * b - 1) : a + (2 * b - 1) * (std::sqrt(a) - a);
    case BLEND_HARDLIGHT: return b <= 0.5 ? 2 * a * b : 1 - 2 * (1 - a) * (1 - b);
    case BLEND_VIVIDLIGHT: return b <= 0.5 ? 1 - (1 - a) / (2 * b) : a / (2 * (1 - b));
    case BLEND_LINEARLIGHT: return a + 2 * b - 1;
    case BLEND_PINLIGHT:
        if (2 * b - 1 > a)
            return 2 * b - 1;
        if (a > 2 * b)
            return 2 * b;
        return a;
    case BLEND_HARDMIX: return 1 - a > b ? 0 : 1;
    }
    return NAN;
}

BOOL BlendPixels(BYTE* pBase, const BYTE* pTop, int nMode, int nWidth, int nHeight)
{
    if (!pBase || !pTop || nWidth <= 0 || nHeight <= 0 || nMode < 1 || nMode > BLEND_LAST)
        return FALSE;
    const size_t nPixels = size_t(nWidth) * size_t(nHeight);
    for (size_t i = 0; i < nPixels; i++) {
        BYTE* p = pBase + 4 * i;
        const BYTE* q = pTop + 4 * i;
        for (int c = 0; c < 3; c++) {
            // Hard mix is a comparison: made on the bytes, 1 - a = b stays a
            // tie whatever precision the unit computes the fractions in.
            if (nMode == BLEND_HARDMIX)
                p[c] = 255 - p[c] > q[c] ? 0 : 255;
            else
                p[c] = ClampUnitToByte(BlendChannel(nMode, p[c] / 255.0, q[c] / 255.0));
        }
        p[3] = 0;
    }
    return TRUE;
}

HBITMAP CreateDIBSection32(int cx, int cy, BYTE** ppBits)
{
    *ppBits = nullptr;
    if (cx <= 0 || cy <= 0 || uint64_t(cx) * uint64_t(cy) * 4 > UINT32_MAX)
        return nullptr;
    BITMAPINFO bmi;
    Header32(bmi.bmiHeader, cx, -cy);
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap || !pBits) {
        if (hBitmap)
            DeleteObject(hBitmap);
        return nullptr;
    }
    *ppBits = static_cast<BYTE*>(pBits);
    return hBitmap;
}
