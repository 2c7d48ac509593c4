#include "ui3d/drawing/Frames.h"

#include "ui3d/drawing/Gradients.h"

void Draw3DFrameLines(HDC hDC, const RECT& rc, COLORREF clrLight, COLORREF clrDark)
{
    if (!hDC || rc.right - rc.left <= 0 || rc.bottom - rc.top <= 0)
        return;
    const LONG l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    FillSolidRect(hDC, RECT{l, t, r - 1, t + 1}, clrLight);      // top, without the right corner
    FillSolidRect(hDC, RECT{l, t, l + 1, b - 1}, clrLight);      // left, without the bottom corner
    FillSolidRect(hDC, RECT{r - 1, t, r, b}, clrDark);           // right
    FillSolidRect(hDC, RECT{l, b - 1, r, b}, clrDark);           // bottom
}

void Draw3DFrameLines(int nWidth, int top, HDC hDC, int left, int nHeight, COLORREF clrLight, COLORREF clrDark)
{
    Draw3DFrameLines(hDC, RECT{left, top, left + nWidth, top + nHeight}, clrLight, clrDark);
}

int DrawArrowGlyph(const RECT& rect, HDC hDC, COLORREF clr, int nType)
{
    if (nType < ARROW_LEFT || nType > ARROW_DOWN)
        return -1;
    const bool bVerticalLines = nType == ARROW_LEFT || nType == ARROW_RIGHT;
    const int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    const int nAcross = bVerticalLines ? cy : cx;
    const int nAlong = bVerticalLines ? cx : cy;
    // The base covers every pixel that the middle third touches, so a
    // 17-pixel button gets a 7-pixel base; an even count grows by one to keep
    // the tip on a pixel of its own.
    const int nFirst = nAcross / 3, nPast = (2 * nAcross + 2) / 3;
    int nBase = nPast - nFirst;
    if (nBase % 2 == 0)
        nBase++;
    if (nBase > nAcross)
        nBase -= 2;
    if (nBase < 1)
        nBase = 1;
    const int nLines = (nBase + 1) / 2;
    if (!hDC)
        return nLines;

    HPEN hPen = CreatePen(PS_SOLID, 1, clr);
    HGDIOBJ hOld = hPen ? SelectObject(hDC, hPen) : nullptr;
    if (!hOld || hOld == HGDI_ERROR) {
        if (hPen)
            DeleteObject(hPen);
        return -1;
    }
    const int nAlongStart = (nAlong - nLines) / 2;
    const int nAcrossStart = (nAcross - nBase) / 2;
    // Line k from the tip has 2k + 1 pixels.
    const bool bTipFirst = nType == ARROW_LEFT || nType == ARROW_UP;
    for (int i = 0; i < nLines; i++) {
        const int k = bTipFirst ? i : nLines - 1 - i;
        const int a0 = nAcrossStart + nLines - 1 - k;
        const int a1 = a0 + 2 * k + 1;
        const int along = nAlongStart + i;
        if (bVerticalLines) {
            MoveToEx(hDC, rect.left + along, rect.top + a0, nullptr);
            LineTo(hDC, rect.left + along, rect.top + a1);
        } else {
            MoveToEx(hDC, rect.left + a0, rect.top + along, nullptr);
            LineTo(hDC, rect.left + a1, rect.top + along);
        }
    }
    SelectObject(hDC, hOld);
    DeleteObject(hPen);
    return nLines;
}
