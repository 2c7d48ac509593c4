#include "ui3d/drawing/Mask.h"

#include "framework/Gdi.h"
#include "ui3d/drawing/ImageOutline.h"

#include <cstring>
#include <vector>

CMask::CMask() : m_pBits(NULL), m_bInverted(FALSE)
{
    memset(&m_bm, 0, sizeof(m_bm));
}

CMask::~CMask()
{
    Clear();
}

void CMask::Clear()
{
    delete[] m_pBits;
    m_pBits = NULL;
    memset(&m_bm, 0, sizeof(m_bm));
}

BOOL CMask::LoadBitmap(UINT nResourceId)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nResourceId))
        return FALSE;
    return LoadFromBitmap(bitmap);
}

BOOL CMask::LoadFromBitmap(HBITMAP hBitmap)
{
    Clear();
    BITMAP bm;
    if (hBitmap == NULL || ::GetObjectA(hBitmap, sizeof(bm), &bm) != sizeof(bm))
        return FALSE;
    // GetBitmapBits hands out a device-dependent bitmap's rows as they are
    // stored: only a plain monochrome one has the layout read below.
    if (bm.bmPlanes != 1 || bm.bmBitsPixel != 1 || bm.bmBits != NULL || bm.bmWidth <= 0 ||
        bm.bmHeight <= 0 || bm.bmWidthBytes < (bm.bmWidth + 7) / 8)
        return FALSE;
    const LONG nBytes = bm.bmWidthBytes * bm.bmHeight;
    BYTE* pBits = new BYTE[nBytes];
    if (::GetBitmapBits(hBitmap, nBytes, pBits) != nBytes) {
        delete[] pBits;
        return FALSE;
    }
    m_bm = bm;
    m_pBits = pBits;
    m_bInverted = IsInverted();
    return TRUE;
}

BOOL CMask::GetBit(int x, int y) const
{
    return (m_pBits[size_t(y) * m_bm.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1;
}

BOOL CMask::IsInverted()
{
    if (m_pBits == NULL)
        return FALSE;
    const int r = m_bm.bmWidth - 1, b = m_bm.bmHeight - 1;
    const int nSet = GetBit(0, 0) + GetBit(r, 0) + GetBit(0, b) + GetBit(r, b);
    if (nSet >= 3)
        return TRUE;
    if (nSet == 2)
        return !GetBit(m_bm.bmWidth / 2, m_bm.bmHeight / 2);
    return FALSE;
}

BOOL CMask::CreateRegion(CRgn& rgn)
{
    rgn.DeleteObject();
    if (m_pBits == NULL)
        return FALSE;
    // The outline walk keeps its vertices in a buffer that grows with the
    // shape: a ragged mask can need far more corners than it has rows.
    const int cx = m_bm.bmWidth, cy = m_bm.bmHeight;
    std::vector<BYTE> inside(size_t(cx) * cy);
    for (int y = 0; y < cy; y++)
        for (int x = 0; x < cx; x++)
            inside[size_t(y) * cx + x] = GetBit(x, y) != m_bInverted;
    POINTARRAY outline;
    if (TraceOutline(outline, inside.data(), cx, cy) < 3)
        return FALSE;
    return rgn.Attach(::CreatePolygonRgn(outline.pPoints, outline.nCount, ALTERNATE));
}
