#include "framework/Gdi.h"
#include "framework/Dc.h"
#include "framework/Module.h"

#include <cstring>

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == NULL || m_hObject != NULL)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

BOOL CGdiObject::AttachNew(HGDIOBJ hObject)
{
    if (Attach(hObject))
        return TRUE;
    if (hObject != NULL)
        ::DeleteObject(hObject);
    return FALSE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = NULL;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    return Attach(::GetStockObject(nIndex));
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen)
{
    return AttachNew(::CreatePenIndirect(lpLogPen));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return AttachNew(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
    return AttachNew(::CreateHatchBrush(nIndex, crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return pBitmap != NULL && AttachNew(::CreatePatternBrush(*pBitmap));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
    return AttachNew(::CreateBrushIndirect(lpLogBrush));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                       BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return AttachNew(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                                nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont)
{
    return AttachNew(::CreateFontIndirectA(lpLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    HDC hDC = pDC != NULL ? pDC->m_hDC : ::GetDC(NULL);
    int dpi = hDC != NULL ? ::GetDeviceCaps(hDC, LOGPIXELSY) : 96;
    if (pDC == NULL && hDC != NULL)
        ::ReleaseDC(NULL, hDC);

    LOGFONTA lf;
    memset(&lf, 0, sizeof(lf));
    // Negative: the character height (without internal leading) in pixels.
    lf.lfHeight = -MulDiv(nPointSize, dpi, 720);
    lf.lfCharSet = DEFAULT_CHARSET;
    if (lpszFaceName != NULL)
        lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return AttachNew(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return AttachNew(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return pDC != NULL && AttachNew(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CBitmap::CreateDIBSection(HDC hDC, const BITMAPINFO* pbmi, UINT iUsage, void** ppvBits,
                               HANDLE hSection, DWORD dwOffset)
{
    void* pBits = NULL;
    BOOL ok = m_hObject == NULL && Attach(::CreateDIBSection(hDC, pbmi, iUsage, &pBits, hSection, dwOffset));
    if (ppvBits != NULL)
        *ppvBits = ok ? pBits : NULL;
    return ok;
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return AttachNew(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return AttachNew(::CreateRectRgnIndirect(lpRect));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return AttachNew(::CreateEllipticRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect)
{
    return AttachNew(::CreateEllipticRgnIndirect(lpRect));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return AttachNew(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nPolyFillMode)
{
    return AttachNew(::CreatePolygonRgn(lpPoints, nCount, nPolyFillMode));
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(*this, pRgn1 != NULL ? static_cast<HRGN>(*pRgn1) : NULL,
                        pRgn2 != NULL ? static_cast<HRGN>(*pRgn2) : NULL, nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc)
{
    return ::CombineRgn(*this, *pRgnSrc, NULL, RGN_COPY);
}
