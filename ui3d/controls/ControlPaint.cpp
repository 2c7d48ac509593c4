#include "ui3d/controls/ControlPaint.h"

#include "ui3d/StyleRecords.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/drawing/SkinBackground.h"

#include <algorithm>
#include <cstdlib>

void GetFaceColors(COLORREF clrFace, int nLighten, int nDarken, COLORREF* pLight, COLORREF* pDark)
{
    GRADIENTSTYLE gradient(nLighten, nDarken, 0);
    gradient.bMirrored = 0;
    GetGradientColors(clrFace, gradient, pLight, pDark);
}

COLORREF MoveColorToward(COLORREF clr, COLORREF clrTarget, int nPercent)
{
    const int n = std::min(100, std::max(1, nPercent));
    const int from[3] = {GetRValue(clr), GetGValue(clr), GetBValue(clr)};
    const int to[3] = {GetRValue(clrTarget), GetGValue(clrTarget), GetBValue(clrTarget)};
    int out[3];
    for (int i = 0; i < 3; ++i) {
        const int step = std::abs(to[i] - from[i]) * n / 100;
        out[i] = to[i] >= from[i] ? from[i] + step : from[i] - step;
    }
    return RGB(out[0], out[1], out[2]);
}

BOOL PrintParentBackground(HWND hWnd, HDC hDC)
{
    HWND hParent = ::GetParent(hWnd);
    if (hParent == NULL || hDC == NULL || g_msgPrintBackground == 0)
        return FALSE;
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&rc), 2);
    return ::SendMessageA(hParent, g_msgPrintBackground, reinterpret_cast<WPARAM>(hDC),
                          reinterpret_cast<LPARAM>(&rc)) != 0;
}

HFONT CreateParentFontCopy(HWND hWnd, BOOL bUnderline)
{
    LOGFONTA lf;
    HWND hParent = hWnd != NULL ? ::GetParent(hWnd) : NULL;
    HFONT hParentFont = hParent != NULL ? reinterpret_cast<HFONT>(::SendMessageA(hParent, WM_GETFONT, 0, 0)) : NULL;
    if (hParentFont == NULL || ::GetObjectA(hParentFont, sizeof(lf), &lf) != sizeof(lf)) {
        if (!::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0) &&
            ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf) != sizeof(lf))
            return NULL;
    }
    lf.lfUnderline = bUnderline ? TRUE : FALSE;
    return ::CreateFontIndirectA(&lf);
}

LRESULT ValidateOnly(HWND hWnd)
{
    if (::GetUpdateRect(hWnd, NULL, FALSE)) {
        PAINTSTRUCT ps;
        ::BeginPaint(hWnd, &ps);
        ::EndPaint(hWnd, &ps);
    }
    return 0;
}

LRESULT PrintThroughErase(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    if ((lParam & PRF_CHECKVISIBLE) && !::IsWindowVisible(hWnd))
        return 0;
    if (lParam & PRF_ERASEBKGND)
        ::SendMessageA(hWnd, WM_ERASEBKGND, wParam, 0);
    if (lParam & PRF_CLIENT)
        ::SendMessageA(hWnd, WM_PRINTCLIENT, wParam, lParam);
    return 0;
}

void DrawStyledText(HDC hDC, const CString& str, RECT rc, UINT nFormat, const BODYSTYLE& style, BOOL b3D)
{
    auto drawAt = [&](const RECT& r, COLORREF clr) {
        RECT rcText = r;
        ::SetTextColor(hDC, clr);
        ::DrawTextA(hDC, str, str.GetLength(), &rcText, nFormat);
    };
    if (!b3D) {
        drawAt(rc, style.clrText);
        return;
    }
    RECT rcMoved = rc;
    ::OffsetRect(&rcMoved, 1, 1);
    if (style.nFlags & 0x40) {
        drawAt(rcMoved, style.clrShadow);
        drawAt(rc, style.clrText);
    } else {
        rc.right -= 1;
        rc.bottom -= 1;
        rcMoved = rc;
        ::OffsetRect(&rcMoved, 1, 1);
        drawAt(rc, style.clrHighlight);
        drawAt(rcMoved, style.clrText);
    }
}
