#include "ui3d/controls/TvnxBitmapButton.h"

#include "ui3d/drawing/ColorRamp.h"
#include "ui3d/drawing/PixelOps.h"

#include <stdlib.h>

namespace {

// Each channel a quarter of the way to white.
HBITMAP MakeHotPicture(HBITMAP hNormal)
{
    BITMAPINFOHEADER bih;
    BYTE* pPixels = GetBitmapBits32(hNormal, &bih);
    if (pPixels == NULL)
        return NULL;
    const DWORD cb = static_cast<DWORD>(bih.biWidth) * static_cast<DWORD>(abs(bih.biHeight)) * 4;
    for (DWORD i = 0; i < cb; i++)
        if (i % 4 != 3)
            pPixels[i] = static_cast<BYTE>(pPixels[i] + (255 - pPixels[i]) / 4);
    HBITMAP hHot = SetBitmapBits32(&bih, pPixels, NULL);
    free(pPixels);
    return hHot;
}

}  // namespace

CTvnxBitmapButton::CTvnxBitmapButton()
    : m_clrKey(0), m_bRecolor(FALSE), m_nNormalId(0), m_nSelectedId(0), m_nFocusedId(0), m_nDisabledId(0), m_bHot(FALSE)
{
}

CTvnxBitmapButton::~CTvnxBitmapButton()
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    m_bitmapHot.DeleteObject();
}

BOOL CTvnxBitmapButton::LoadBitmaps()
{
    m_bitmapHot.DeleteObject();
    const BOOL bAll = CBitmapButton::LoadBitmaps(m_nNormalId, m_nSelectedId, m_nFocusedId, m_nDisabledId);
    if (m_bitmap.m_hObject == NULL)
        return FALSE;
    if (m_bRecolor) {
        CBitmap* const bitmaps[] = {&m_bitmap, &m_bitmapSel, &m_bitmapFocus, &m_bitmapDisabled};
        for (CBitmap* pBitmap : bitmaps)
            if (pBitmap->m_hObject != NULL)
                RecolorBitmap(m_clrKey, *pBitmap);
    }
    m_bitmapHot.Attach(MakeHotPicture(m_bitmap));
    if (m_hWnd != NULL)
        Invalidate(FALSE);
    return bAll;
}

void CTvnxBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (!m_bHot || (lpDIS->itemState & (ODS_SELECTED | ODS_DISABLED)) != 0 || m_bitmapHot.m_hObject == NULL) {
        CBitmapButton::DrawItem(lpDIS);
        return;
    }
    HDC hMemDC = ::CreateCompatibleDC(lpDIS->hDC);
    if (hMemDC == NULL)
        return;
    HGDIOBJ hOld = ::SelectObject(hMemDC, m_bitmapHot.m_hObject);
    const RECT& rc = lpDIS->rcItem;
    ::BitBlt(lpDIS->hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hMemDC, 0, 0, SRCCOPY);
    ::SelectObject(hMemDC, hOld);
    ::DeleteDC(hMemDC);
}

LRESULT CTvnxBitmapButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (!m_bHot) {
            // The system reports the leaving only to a window that asked.
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
            m_bHot = ::TrackMouseEvent(&tme);
            if (m_bHot)
                Invalidate(FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        if (m_bHot) {
            m_bHot = FALSE;
            Invalidate(FALSE);
        }
        break;
    }
    return CBitmapButton::WindowProc(message, wParam, lParam);
}
