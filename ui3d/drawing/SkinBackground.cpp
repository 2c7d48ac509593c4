#include "ui3d/drawing/SkinBackground.h"

#include "collection/ImageReader.h"
#include "framework/Dc.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/drawing/Tiling.h"

#include <algorithm>

static int Clamp1To100(int n)
{
    return std::min(100, std::max(1, n));
}

static COLORREF Lighten(COLORREF clr, int nAmount)
{
    BYTE ch[3] = {GetRValue(clr), GetGValue(clr), GetBValue(clr)};
    for (BYTE& c : ch)
        if (c < 255)
            c = BYTE(c + (255 - c) * nAmount / 100);
    return RGB(ch[0], ch[1], ch[2]);
}

static COLORREF Darken(COLORREF clr, int nAmount)
{
    BYTE ch[3] = {GetRValue(clr), GetGValue(clr), GetBValue(clr)};
    for (BYTE& c : ch)
        c = BYTE(c - c * nAmount / 100);
    return RGB(ch[0], ch[1], ch[2]);
}

void GetGradientColors(COLORREF clr, const GRADIENTSTYLE& gradient, COLORREF* pFirst, COLORREF* pLast)
{
    const COLORREF clrLight = Lighten(clr, Clamp1To100(gradient.nLight));
    const COLORREF clrDark = Darken(clr, Clamp1To100(gradient.nDark));
    *pFirst = gradient.bMirrored ? clrDark : clrLight;
    *pLast = gradient.bMirrored ? clrLight : clrDark;
}

// Draws the layer's image into the DC of a cx x cy bitmap.
static void DrawLayerImage(HDC hDC, int cx, int cy, const IMAGELAYER& layer, POINT ptOffset, COLORREF clrBack)
{
    CGraphicalFormatReader* pReader = layer.pImage->GetReader();
    const CSize size = pReader->GetSize();
    CDC dc;
    dc.Attach(hDC);
    switch (layer.nAlign) {
    case IMAGEALIGN_STRETCH:
        // A DC's own stretch mode ANDs the rows and columns a shrink drops
        // into the kept ones, so a picture shrunk along the bar grows black
        // where light and dark pixels meet; keep whole pixels instead.
        SetStretchBltMode(hDC, COLORONCOLOR);
        layer.pImage->DrawStretched(&dc, nullptr, CRect(0, 0, cx, cy));
        break;
    case IMAGEALIGN_CENTER:
        pReader->Draw(&dc, CPoint((cx - size.cx) / 2, (cy - size.cy) / 2), clrBack, nullptr, CPoint(0, 0));
        break;
    case IMAGEALIGN_TILE:
        pReader->Draw(&dc, CPoint(-ptOffset.x, -ptOffset.y), clrBack, nullptr, CPoint(0, 0));
        if (size.cx < cx || size.cy < cy) {
            // The tile drawn at -offset may start outside the bitmap; tile
            // from a copy of the whole image on the grid it anchors.
            HBITMAP hTile = CreateCompatibleBitmap(hDC, size.cx, size.cy);
            if (hTile) {
                {
                    CSelectedBitmapDC tile(hDC, hTile);
                    if (tile.m_hDC) {
                        CDC tileDC;
                        tileDC.Attach(tile.m_hDC);
                        pReader->Draw(&tileDC, CPoint(0, 0), clrBack, nullptr, CPoint(0, 0));
                        tileDC.Detach();
                        const RECT rcAll = {0, 0, cx, cy}, rcTile = {0, 0, size.cx, size.cy};
                        TileBitmapAt(hDC, rcAll, tile.m_hDC, rcTile, -ptOffset.x, -ptOffset.y);
                    }
                }
                DeleteObject(hTile);
            }
        }
        break;
    default:
        pReader->Draw(&dc, CPoint(-ptOffset.x, -ptOffset.y), clrBack, nullptr, CPoint(0, 0));
        break;
    }
    dc.Detach();
}

HBITMAP CreateSkinBackground(SIZE size, COLORREF clr, const GRADIENTSTYLE& gradient, const IMAGELAYER& layer,
                             POINT ptOffset)
{
    const bool bImage = layer.pImage && CImageReader::IsLoaded(*layer.pImage);
    int cx = size.cx, cy = size.cy;
    if (!cx || !cy) {
        if (!bImage)
            return nullptr;
        const CSize imageSize = layer.pImage->GetReader()->GetSize();
        cx = imageSize.cx;
        cy = imageSize.cy;
    }
    COLORREF clrFirst, clrLast;
    GetGradientColors(clr, gradient, &clrFirst, &clrLast);

    BYTE* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection32(cx, cy, &pBits);
    if (!hBitmap)
        return nullptr;
    CSelectedBitmapDC mem(nullptr, hBitmap);
    const HDC hDC = mem.m_hDC;
    if (!hDC) {
        DeleteObject(hBitmap);
        return nullptr;
    }
    const BYTE nKind = BYTE(gradient.nKind);
    if (bImage && layer.nBlendMode != 0) {
        DrawLayerImage(hDC, cx, cy, layer, ptOffset, clr);
        BYTE* pGradBits = nullptr;
        HBITMAP hGrad = CreateDIBSection32(cx, cy, &pGradBits);
        if (hGrad) {
            HGDIOBJ hOldGrad = SelectObject(hDC, hGrad);
            DrawGradientFrame(clrFirst, hDC, 0, 0, cx, cy, clr, clrLast, nKind);
            GdiFlush();
            BlendPixels(pBits, pGradBits, layer.nBlendMode, cx, cy);
            SelectObject(hDC, hOldGrad);
            DeleteObject(hGrad);
        }
    } else {
        DrawGradientFrame(clrFirst, hDC, 0, 0, cx, cy, clr, clrLast, nKind);
    }
    GdiFlush();
    return hBitmap;
}
