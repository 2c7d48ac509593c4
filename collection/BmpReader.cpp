#include "collection/BmpReader.h"

#include <cstdlib>
#include <cstring>

namespace {

uint32_t Get32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Get16(const BYTE* p) { return uint16_t(p[0] | (p[1] << 8)); }

// The colour-table entries the reader accepts behind a header: the entries
// that biClrUsed names (2^bpp for palette bitmaps when it is 0), but never more
// than the bit count can index (palette bitmaps) and never more than 256 (the
// optional table of 16-, 24- and 32-bit bitmaps, which the GDI does not draw
// with).
uint32_t TableEntries(unsigned nBitCount, uint32_t nClrUsed)
{
    const uint32_t nMost = nBitCount <= 8 ? uint32_t(1) << nBitCount : 256;
    if (nClrUsed == 0)
        return nBitCount <= 8 ? nMost : 0;
    return nClrUsed < nMost ? nClrUsed : nMost;
}

}  // namespace

CBmpReader::~CBmpReader()
{
    Empty();
}

void CBmpReader::Empty()
{
    free(m_pBitmap);
    m_pBitmap = nullptr;
    m_nBitmapSize = 0;
    m_nBitsOffset = 0;
}

bool CBmpReader::DibFits(const BYTE* pDib, uint32_t nSize, uint32_t nBitsOffset)
{
    if (nSize < 40)
        return false;
    const uint64_t nHeaderSize = Get32(pDib);
    const uint64_t nWidth = Get32(pDib + 4);
    const int32_t nSignedHeight = int32_t(Get32(pDib + 8));
    const uint64_t nHeight = nSignedHeight < 0 ? uint64_t(-int64_t(nSignedHeight)) : uint64_t(nSignedHeight);
    const unsigned nBitCount = Get16(pDib + 14);
    const uint32_t nCompression = Get32(pDib + 16);
    const uint64_t nSizeImage = Get32(pDib + 20);
    const uint64_t nClrUsed = Get32(pDib + 32);
    if (nHeaderSize < 40 || nHeaderSize > nSize || nWidth == 0 || nHeight == 0)
        return false;
    if (nWidth * nHeight > kMaxPicturePixels)
        return false;

    // The GDI reads the colour table right behind the header, and three masks
    // for BI_BITFIELDS behind a 40-byte header. Load caps biClrUsed of the copy
    // it keeps to the entries checked here.
    uint64_t nTable = 4ull * TableEntries(nBitCount, uint32_t(nClrUsed));
    if (nCompression == BI_BITFIELDS && nHeaderSize == 40)
        nTable += 12;
    if (nHeaderSize + nTable > nSize || nBitsOffset < nHeaderSize || nBitsOffset > nSize)
        return false;

    uint64_t nPixelBytes;
    switch (nCompression) {
    case BI_RGB:
    case BI_BITFIELDS:
        if (nCompression == BI_BITFIELDS && nBitCount != 16 && nBitCount != 32)
            return false;
        if (nBitCount != 1 && nBitCount != 4 && nBitCount != 8 && nBitCount != 16 && nBitCount != 24 &&
            nBitCount != 32)
            return false;
        nPixelBytes = ((nWidth * nBitCount + 31) / 32) * 4 * nHeight;
        break;
    case BI_RLE8:
    case BI_RLE4:
        // Run-length rows are read up to the image size the header gives.
        if (nBitCount != (nCompression == BI_RLE8 ? 8u : 4u) || nSizeImage == 0 || nSignedHeight < 0)
            return false;
        nPixelBytes = nSizeImage;
        break;
    default:
        return false;
    }
    return nBitsOffset + nPixelBytes <= nSize;
}

BOOL CBmpReader::Load(const BYTE* pData, uint32_t nSize, BOOL)
{
    if (!pData || nSize <= 61 || pData[0] != 'B' || pData[1] != 'M')
        return FALSE;
    if (Get32(pData + 2) != nSize || Get32(pData + 14) < 40 || Get16(pData + 26) != 1)
        return FALSE;
    const uint32_t nWidth = Get32(pData + 18);
    const uint32_t nHeight = Get32(pData + 22);
    if (nWidth == 0 || nWidth >= 65536 || nHeight == 0 || nHeight >= 65536)
        return FALSE;
    const uint32_t nPixelOffset = Get32(pData + 10);
    if (nPixelOffset < 14 || !DibFits(pData + 14, nSize - 14, nPixelOffset - 14))
        return FALSE;

    BYTE* pCopy = static_cast<BYTE*>(malloc(nSize - 14));
    if (!pCopy)
        return FALSE;
    memcpy(pCopy, pData + 14, nSize - 14);
    // StretchDIBits clamps a colour count above what the bit count indexes,
    // but DrawDibDraw copies the header with biClrUsed x 4 bytes of table as
    // they stand: a count of 4096 or more makes it read far past the copy and
    // crash. The copy's count is capped to the table checked above, which
    // draws the same picture.
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(pCopy);
    if (pHeader->biClrUsed != 0)
        pHeader->biClrUsed = TableEntries(pHeader->biBitCount, pHeader->biClrUsed);
    Empty();
    m_pBitmap = pCopy;
    m_nBitmapSize = nSize - 14;
    m_nBitsOffset = nPixelOffset - 14;
    m_nCrop = 0;
    return TRUE;
}

CSize CBmpReader::GetSize() const
{
    if (!m_pBitmap)
        return CSize(0, 0);
    const BITMAPINFOHEADER* pHeader = Header();
    return CropSize(pHeader->biWidth, abs(pHeader->biHeight), m_nCrop);
}

int CBmpReader::DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack)
{
    return Draw(pDC, pt, clrBack, pBackDC, ptBack) ? 0 : -1;
}

BOOL CBmpReader::Draw(CDC* pDC, CPoint pt, COLORREF, CDC*, CPoint)
{
    if (!m_pBitmap || !pDC)
        return FALSE;
    const BITMAPINFOHEADER* pHeader = Header();
    int nSkipX, nSkipY, cx, cy;
    if (!CropVisible(m_nCrop, pHeader->biWidth, abs(pHeader->biHeight), nSkipX, nSkipY, cx, cy))
        return FALSE;
    // The source origin of a bottom-up DIB is its lower left corner: the rows
    // cut at the top are the last ones of the source rectangle.
    return ::StretchDIBits(pDC->m_hDC, pt.x, pt.y, cx, cy, nSkipX, 0, cx, cy, Bits(),
                           reinterpret_cast<const BITMAPINFO*>(m_pBitmap), DIB_RGB_COLORS, SRCCOPY) != 0;
}

BOOL CBmpReader::DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int)
{
    if (!m_pBitmap || !pDC)
        return FALSE;
    const BITMAPINFOHEADER* pHeader = Header();
    int nSkipX, nSkipY, cx, cy;
    if (!CropVisible(m_nCrop, pHeader->biWidth, abs(pHeader->biHeight), nSkipX, nSkipY, cx, cy))
        return FALSE;
    if (hDrawDib && pHeader->biHeight > 0) {
        // DrawDibDraw counts source rows from the top of the picture, unlike
        // StretchDIBits on a bottom-up DIB: the rows cut at the top come first.
        return ::DrawDibDraw(hDrawDib, pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(),
                             const_cast<BITMAPINFOHEADER*>(pHeader), const_cast<BYTE*>(Bits()), nSkipX, nSkipY,
                             cx, cy, 0);
    }
    return ::StretchDIBits(pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), nSkipX, 0, cx, cy,
                           Bits(), reinterpret_cast<const BITMAPINFO*>(m_pBitmap), DIB_RGB_COLORS,
                           SRCCOPY) != 0;
}

BOOL CBmpReader::DrawMask(CDC* pDC, HDRAWDIB, const CRect& rect, int)
{
    if (!pDC)
        return FALSE;
    FillSolid(pDC->m_hDC, rect, RGB(0, 0, 0));
    return TRUE;
}

void CBmpReader::CopyFrom(const CBmpReader& src)
{
    Empty();
    if (src.m_pBitmap) {
        m_pBitmap = static_cast<BYTE*>(malloc(src.m_nBitmapSize));
        if (m_pBitmap) {
            memcpy(m_pBitmap, src.m_pBitmap, src.m_nBitmapSize);
            m_nBitmapSize = src.m_nBitmapSize;
            m_nBitsOffset = src.m_nBitsOffset;
        }
    }
    m_nCrop = src.m_nCrop;
}
