#include "ui3d/drawing/Tiling.h"

#include "ui3d/system/ExportedFuncs.h"

#include <algorithm>

// The first grid line at or before the edge, on a grid of step n through origin.
static int GridStart(int nEdge, int nOrigin, int n)
{
    int d = (nEdge - nOrigin) % n;
    if (d < 0)
        d += n;
    return nEdge - d;
}

void TileBitmapAt(HDC hDest, const RECT& rcDest, HDC hSrc, const RECT& rcSrc, int xOrigin, int yOrigin)
{
    const int tw = rcSrc.right - rcSrc.left, th = rcSrc.bottom - rcSrc.top;
    if (!hDest || !hSrc || tw <= 0 || th <= 0)
        return;
    for (int ty = GridStart(rcDest.top, yOrigin, th); ty < rcDest.bottom; ty += th) {
        const int y0 = std::max<int>(ty, rcDest.top), y1 = std::min<int>(ty + th, rcDest.bottom);
        for (int tx = GridStart(rcDest.left, xOrigin, tw); tx < rcDest.right; tx += tw) {
            const int x0 = std::max<int>(tx, rcDest.left), x1 = std::min<int>(tx + tw, rcDest.right);
            BitBlt(hDest, x0, y0, x1 - x0, y1 - y0, hSrc, rcSrc.left + x0 - tx, rcSrc.top + y0 - ty, SRCCOPY);
        }
    }
}

void TileBitmap(const RECT& rcTile, HDC hDC, SIZE area)
{
    const int tw = rcTile.right - rcTile.left, th = rcTile.bottom - rcTile.top;
    if (!hDC || tw <= 0 || th <= 0)
        return;
    for (int y = 0; y < area.cy; y += th)
        for (int x = 0; x < area.cx; x += tw)
            if (x || y)
                BitBlt(hDC, rcTile.left + x, rcTile.top + y, std::min(tw, int(area.cx - x)),
                       std::min(th, int(area.cy - y)), hDC, rcTile.left, rcTile.top, SRCCOPY);
}

BOOL AlphaBlendFaded(HDC hDest, const RECT& rcDest, HDC hSrc, POINT ptSrc, BOOL bVertical, int nStartAlpha,
                     int nEndAlpha)
{
    const int x = rcDest.left, y = rcDest.top, nWidth = rcDest.right - rcDest.left,
              nHeight = rcDest.bottom - rcDest.top;
    const int xSrc = ptSrc.x, ySrc = ptSrc.y;
    PFN_ALPHABLEND pfn = g_pExportedFuncs ? g_pExportedFuncs->pAlphaBlend : nullptr;
    if (!pfn)
        return FALSE;
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, BYTE(nStartAlpha), 0};
    if (nStartAlpha == nEndAlpha)
        return pfn(hDest, x, y, nWidth, nHeight, hSrc, xSrc, ySrc, nWidth, nHeight, bf);
    const int nExtent = bVertical ? nHeight : nWidth;
    for (int i = 0; i < nExtent; i++) {
        bf.SourceConstantAlpha = BYTE(nStartAlpha + i * (nEndAlpha - nStartAlpha) / nExtent);
        const BOOL bOk = bVertical ? pfn(hDest, x, y + i, nWidth, 1, hSrc, xSrc, ySrc + i, nWidth, 1, bf)
                                   : pfn(hDest, x + i, y, 1, nHeight, hSrc, xSrc + i, ySrc, 1, nHeight, bf);
        if (!bOk)
            return FALSE;
    }
    return TRUE;
}
