#include "framework/Dc.h"
#include "framework/Exception.h"

#include <new>

CDC::CDC() : m_hDC(NULL), m_bOwnsDC(FALSE), m_pViews(NULL)
{
}

CDC::~CDC()
{
    if (m_bOwnsDC)
        DeleteDC();
    else
        Detach();
    while (m_pViews != NULL) {
        View* v = m_pViews;
        m_pViews = v->pNext;
        v->pObject->Detach();
        delete v->pObject;
        delete v;
    }
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == NULL || m_hDC != NULL)
        return FALSE;
    m_hDC = hDC;
    m_bOwnsDC = FALSE;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = NULL;
    m_bOwnsDC = FALSE;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_hDC != NULL)
        return FALSE;
    HDC h = ::CreateCompatibleDC(pDC != NULL ? pDC->m_hDC : NULL);
    if (h == NULL)
        return FALSE;
    m_hDC = h;
    m_bOwnsDC = TRUE;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL)
        return FALSE;
    return ::DeleteDC(Detach());
}

void CDC::PruneViews()
{
    // A view of a deleted object is of no use to anyone; dropping them keeps a
    // long-lived DC that selects many short-lived bitmaps and fonts from growing.
    for (View** link = &m_pViews; *link != NULL;) {
        View* v = *link;
        if (::GetObjectType(v->pObject->m_hObject) == 0) {
            *link = v->pNext;
            v->pObject->Detach();
            delete v->pObject;
            delete v;
        } else {
            link = &v->pNext;
        }
    }
}

template <class T> T* CDC::ViewOf(HGDIOBJ hObject)
{
    if (hObject == NULL || hObject == HGDI_ERROR)
        return NULL;
    for (View* v = m_pViews; v != NULL; v = v->pNext) {
        T* p = dynamic_cast<T*>(v->pObject);
        if (p != NULL && p->m_hObject == hObject)
            return p;
    }
    PruneViews();
    T* p = new (std::nothrow) T;
    View* v = p != NULL ? new (std::nothrow) View : NULL;
    if (v == NULL) {
        delete p;
        AfxThrowMemoryException();
    }
    p->m_hObject = hObject;
    v->pObject = p;
    v->pNext = m_pViews;
    m_pViews = v;
    return p;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    return hObject != NULL ? ::SelectObject(m_hDC, hObject) : NULL;
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return pPen != NULL ? ViewOf<CPen>(SelectObject(pPen->m_hObject)) : NULL;
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return pBrush != NULL ? ViewOf<CBrush>(SelectObject(pBrush->m_hObject)) : NULL;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return pFont != NULL ? ViewOf<CFont>(SelectObject(pFont->m_hObject)) : NULL;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return pBitmap != NULL ? ViewOf<CBitmap>(SelectObject(pBitmap->m_hObject)) : NULL;
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    return pObject != NULL ? ViewOf<CGdiObject>(SelectObject(pObject->m_hObject)) : NULL;
}

int CDC::SelectObject(CRgn* pRgn)
{
    return SelectClipRgn(pRgn);
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    return ViewOf<CGdiObject>(SelectObject(::GetStockObject(nIndex)));
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    return ::SelectClipRgn(m_hDC, pRgn != NULL ? static_cast<HRGN>(*pRgn) : NULL);
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    return ::ExtSelectClipRgn(m_hDC, pRgn != NULL ? static_cast<HRGN>(*pRgn) : NULL, nMode);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::GetViewportOrg() const
{
    POINT org = {0, 0};
    ::GetViewportOrgEx(m_hDC, &org);
    return org;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT old = {0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT old = {0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC != NULL ? pSrcDC->m_hDC : NULL, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC != NULL ? pSrcDC->m_hDC : NULL, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, dwRop);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    // An opaque ExtTextOut without text fills with the background colour and
    // needs no brush.
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT r = {x, y, x + cx, y + cy};
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (cx <= 0 || cy <= 0)
        return;
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);               // top, without the right corner
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);               // left, without the bottom corner
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);      // right
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);      // bottom
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return size;
}
