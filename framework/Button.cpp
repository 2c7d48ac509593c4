#include "framework/Button.h"
#include "framework/Module.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, "BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_REFLECT_BASE + WM_DRAWITEM:
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel, UINT nIDBitmapResourceFocus,
                                UINT nIDBitmapResourceDisabled)
{
    auto name = [](UINT nID) { return nID != 0 ? MAKEINTRESOURCEA(nID) : static_cast<LPCSTR>(NULL); };
    return LoadBitmaps(name(nIDBitmapResource), name(nIDBitmapResourceSel), name(nIDBitmapResourceFocus),
                       name(nIDBitmapResourceDisabled));
}

BOOL CBitmapButton::LoadBitmaps(LPCSTR lpszBitmapResource, LPCSTR lpszBitmapResourceSel,
                                LPCSTR lpszBitmapResourceFocus, LPCSTR lpszBitmapResourceDisabled)
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (lpszBitmapResource == NULL || !m_bitmap.LoadBitmap(lpszBitmapResource))
        return FALSE;
    BOOL bAll = TRUE;
    if (lpszBitmapResourceSel != NULL && !m_bitmapSel.LoadBitmap(lpszBitmapResourceSel))
        bAll = FALSE;
    if (lpszBitmapResourceFocus != NULL && !m_bitmapFocus.LoadBitmap(lpszBitmapResourceFocus))
        bAll = FALSE;
    if (lpszBitmapResourceDisabled != NULL && !m_bitmapDisabled.LoadBitmap(lpszBitmapResourceDisabled))
        bAll = FALSE;
    return bAll;
}

void CBitmapButton::SizeToContent()
{
    BITMAP bm;
    if (m_bitmap.m_hObject == NULL || !m_bitmap.GetBitmap(&bm))
        return;
    SetWindowPos(static_cast<const CWnd*>(NULL), 0, 0, bm.bmWidth, bm.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    // The first bitmap stands in for any state that has none of its own.
    HBITMAP hBitmap = m_bitmap;
    if ((lpDIS->itemState & ODS_SELECTED) && m_bitmapSel.m_hObject != NULL)
        hBitmap = m_bitmapSel;
    else if ((lpDIS->itemState & ODS_FOCUS) && m_bitmapFocus.m_hObject != NULL)
        hBitmap = m_bitmapFocus;
    else if ((lpDIS->itemState & ODS_DISABLED) && m_bitmapDisabled.m_hObject != NULL)
        hBitmap = m_bitmapDisabled;
    if (hBitmap == NULL)
        return;
    HDC hMemDC = ::CreateCompatibleDC(lpDIS->hDC);
    if (hMemDC == NULL)
        return;
    HGDIOBJ hOld = ::SelectObject(hMemDC, hBitmap);
    const RECT& rc = lpDIS->rcItem;
    ::BitBlt(lpDIS->hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hMemDC, 0, 0, SRCCOPY);
    ::SelectObject(hMemDC, hOld);
    ::DeleteDC(hMemDC);
}
