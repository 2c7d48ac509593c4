#include "ui3d/controls/TvnxBitmapButton.h"

#include "ui3d/drawing/ColorRamp.h"

CTvnxBitmapButton::CTvnxBitmapButton()
    : m_clrKey(0), m_bRecolor(FALSE), m_nNormalId(0), m_nSelectedId(0), m_nFocusedId(0), m_nDisabledId(0)
{
}

CTvnxBitmapButton::~CTvnxBitmapButton()
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
}

BOOL CTvnxBitmapButton::LoadBitmaps()
{
    const BOOL bAll = CBitmapButton::LoadBitmaps(m_nNormalId, m_nSelectedId, m_nFocusedId, m_nDisabledId);
    if (m_bitmap.m_hObject == NULL)
        return FALSE;
    if (m_bRecolor) {
        CBitmap* const bitmaps[] = {&m_bitmap, &m_bitmapSel, &m_bitmapFocus, &m_bitmapDisabled};
        for (CBitmap* pBitmap : bitmaps)
            if (pBitmap->m_hObject != NULL)
                RecolorBitmap(m_clrKey, *pBitmap);
    }
    if (m_hWnd != NULL)
        Invalidate(FALSE);
    return bAll;
}
