#include "ui3d/drawing/Gradients.h"

#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/system/ExportedFuncs.h"

#include <cstdlib>

static PFN_GRADIENTFILL GradientFillFunc()
{
    return g_pExportedFuncs ? g_pExportedFuncs->pGradientFill : nullptr;
}

void FillSolidRect(HDC hDC, const RECT& rc, COLORREF clr)
{
    const COLORREF clrOld = SetBkColor(hDC, clr);
    ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(hDC, clrOld);
}

void FillSolidRect(int top, int left, int nWidth, HDC hDC, int nHeight, COLORREF clr)
{
    FillSolidRect(hDC, RECT{left, top, left + nWidth, top + nHeight}, clr);
}

static int StepChannel(int s, int e, int i, int n)
{
    const int d = abs(e - s) * i / n;
    return e >= s ? s + d : s - d;
}

COLORREF InterpolateColor(COLORREF clrStart, COLORREF clrEnd, int i, int n)
{
    if (n <= 0)
        return clrStart;
    return RGB(StepChannel(GetRValue(clrStart), GetRValue(clrEnd), i, n),
               StepChannel(GetGValue(clrStart), GetGValue(clrEnd), i, n),
               StepChannel(GetBValue(clrStart), GetBValue(clrEnd), i, n));
}

static TRIVERTEX Vertex(int x, int y, COLORREF clr)
{
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = COLOR16(GetRValue(clr) << 8);
    v.Green = COLOR16(GetGValue(clr) << 8);
    v.Blue = COLOR16(GetBValue(clr) << 8);
    v.Alpha = 0;
    return v;
}

// One two-colour ramp over a rectangle, along x (horizontal) or y.
static void FillRamp(HDC hDC, int left, int top, int right, int bottom, COLORREF clrFrom, COLORREF clrTo,
                     bool bHorizontal)
{
    if (right <= left || bottom <= top)
        return;
    if (PFN_GRADIENTFILL pfn = GradientFillFunc()) {
        TRIVERTEX v[2] = {Vertex(left, top, clrFrom), Vertex(right, bottom, clrTo)};
        GRADIENT_RECT r = {0, 1};
        if (pfn(hDC, v, 2, &r, 1, bHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V))
            return;
    }
    const int n = bHorizontal ? right - left : bottom - top;
    for (int i = 0; i < n; i++) {
        const COLORREF clr = InterpolateColor(clrFrom, clrTo, i, n);
        if (bHorizontal)
            FillSolidRect(hDC, RECT{left + i, top, left + i + 1, bottom}, clr);
        else
            FillSolidRect(hDC, RECT{left, top + i, right, top + i + 1}, clr);
    }
}

void DrawGradientFrame(COLORREF clrFirst, HDC hDC, int left, int top, int right, int bottom,
                       COLORREF clrMiddle, COLORREF clrLast, BYTE nKind)
{
    const int cx = right - left, cy = bottom - top;
    if (!hDC || cx <= 0 || cy <= 0)
        return;
    if (nKind == GRADIENT_NONE || nKind > GRADIENT_DIAGONAL || (clrFirst == clrMiddle && clrMiddle == clrLast)) {
        FillSolidRect(hDC, RECT{left, top, right, bottom}, clrMiddle);
        return;
    }
    if (nKind == GRADIENT_HORIZONTAL) {
        const int mid = left + cx / 2;
        FillRamp(hDC, left, top, mid, bottom, clrFirst, clrMiddle, true);
        FillRamp(hDC, mid, top, right, bottom, clrMiddle, clrLast, true);
        return;
    }
    if (nKind == GRADIENT_VERTICAL) {
        const int mid = top + cy / 2;
        FillRamp(hDC, left, top, right, mid, clrFirst, clrMiddle, false);
        FillRamp(hDC, left, mid, right, bottom, clrMiddle, clrLast, false);
        return;
    }
    // Diagonal: one strip of cx + cy - 1 pixels, row r copying it from r on.
    const int nStrip = cx + cy - 1;
    HBITMAP hStrip = CreateCompatibleBitmap(hDC, nStrip, 1);
    if (!hStrip)
        return;
    {
        CSelectedBitmapDC strip(hDC, hStrip);
        if (strip.m_hDC) {
            FillRamp(strip.m_hDC, 0, 0, nStrip / 2, 1, clrFirst, clrMiddle, true);
            FillRamp(strip.m_hDC, nStrip / 2, 0, nStrip, 1, clrMiddle, clrLast, true);
            for (int r = 0; r < cy; r++)
                BitBlt(hDC, left, top + r, cx, 1, strip.m_hDC, r, 0, SRCCOPY);
        }
    }
    DeleteObject(hStrip);
}

void FillVerticalGradient(int nHeight, HDC hDC, int left, int right, COLORREF clrTop, COLORREF clrBottom)
{
    if (!hDC || nHeight <= 0 || right <= left)
        return;
    if (clrTop == clrBottom) {
        FillSolidRect(hDC, RECT{left, 0, right, nHeight}, clrTop);
        return;
    }
    for (int y = 0; y < nHeight; y++)
        FillSolidRect(hDC, RECT{left, y, right, y + 1}, InterpolateColor(clrTop, clrBottom, y, nHeight > 1 ? nHeight - 1 : 1));
}

BOOL FillCentreGradient(const RECT& rect, HDC hDC)
{
    PFN_GRADIENTFILL pfn = GradientFillFunc();
    if (!pfn || !hDC || rect.right <= rect.left || rect.bottom <= rect.top)
        return FALSE;
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    TRIVERTEX v[5] = {Vertex(cx, cy, RGB(0xC0, 0xC0, 0xC0)), Vertex(rect.left, rect.top, 0),
                      Vertex(rect.right, rect.top, 0), Vertex(rect.right, rect.bottom, 0),
                      Vertex(rect.left, rect.bottom, 0)};
    BOOL bAll = TRUE;
    for (ULONG i = 0; i < 4; i++) {
        GRADIENT_TRIANGLE t = {0, 1 + i, 1 + (i + 1) % 4};
        if (!pfn(hDC, v, 5, &t, 1, GRADIENT_FILL_TRIANGLE))
            bAll = FALSE;
    }
    return bAll;
}
