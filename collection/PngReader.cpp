#include "collection/PngReader.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

namespace {

struct ReadState
{
    const BYTE* pData;
    uint32_t nPos;
    uint32_t nSize;
};

void PNGCBAPI ErrorFn(png_structp, png_const_charp)
{
    throw new (std::nothrow) CPngException;
}

void PNGCBAPI WarningFn(png_structp, png_const_charp) {}

void PNGCBAPI ReadFn(png_structp png, png_bytep pOut, size_t nLength)
{
    ReadState* pState = static_cast<ReadState*>(png_get_io_ptr(png));
    if (pState->nSize - pState->nPos < nLength)
        png_error(png, "Read Error");
    memcpy(pOut, pState->pData + pState->nPos, nLength);
    pState->nPos += uint32_t(nLength);
}

// A bottom-up 32-bit DIB section (positive height).
HBITMAP CreateDib32(HDC hDC, int cx, int cy, BYTE** ppBits)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP h = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!h || !pBits) {
        if (h)
            ::DeleteObject(h);
        return nullptr;
    }
    *ppBits = static_cast<BYTE*>(pBits);
    return h;
}

}  // namespace

CPngReader::~CPngReader()
{
    Empty();
}

void CPngReader::Empty()
{
    free(m_pBuffer);
    m_pBuffer = nullptr;
    m_nBufferSize = 0;
    m_nWidth = m_nHeight = m_nChannels = 0;
    m_nRowBytes = 0;
}

BOOL CPngReader::Load(const BYTE* pData, uint32_t nSize, BOOL)
{
    if (!pData || nSize < 8 || png_sig_cmp(pData, 0, 8) != 0)
        return FALSE;

    ReadState state = {pData, 8, nSize};
    png_structp png = nullptr;
    png_infop info = nullptr;
    BYTE* pBuffer = nullptr;
    png_bytep* pRows = nullptr;
    png_uint_32 nWidth = 0, nHeight = 0;
    int nChannels = 0;
    size_t nRowBytes = 0;
    size_t nBufferSize = 0;
    try {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorFn, WarningFn);
        if (!png)
            return FALSE;
        info = png_create_info_struct(png);
        if (!info) {
            png_destroy_read_struct(&png, nullptr, nullptr);
            return FALSE;
        }
        png_set_user_limits(png, 65535, 65535);
        png_set_read_fn(png, &state, ReadFn);
        png_set_sig_bytes(png, 8);
        png_read_info(png, info);
        int nBitDepth = 0, nColorType = 0;
        png_get_IHDR(png, info, &nWidth, &nHeight, &nBitDepth, &nColorType, nullptr, nullptr, nullptr);

        png_set_bgr(png);
        if (nColorType == PNG_COLOR_TYPE_PALETTE)
            png_set_expand(png);
        if (nColorType == PNG_COLOR_TYPE_GRAY && nBitDepth < 8)
            png_set_expand(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS))
            png_set_expand(png);
        if (nBitDepth == 16)
            png_set_strip_16(png);
        if (nColorType == PNG_COLOR_TYPE_GRAY || nColorType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);

        nRowBytes = png_get_rowbytes(png, info);
        nChannels = png_get_channels(png, info);
        // Sizes from the header, in 64 bits and capped, before any allocation.
        const uint64_t nTotal = uint64_t(nRowBytes) * nHeight;
        if ((nChannels != 3 && nChannels != 4) || nRowBytes < uint64_t(nWidth) * nChannels ||
            uint64_t(nWidth) * nHeight > kMaxPicturePixels || nTotal > kMaxPictureBytes || nTotal == 0) {
            png_destroy_read_struct(&png, &info, nullptr);
            return FALSE;
        }
        nBufferSize = size_t(nTotal);
        pBuffer = static_cast<BYTE*>(malloc(nBufferSize));
        pRows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * nHeight));
        if (!pBuffer || !pRows) {
            png_destroy_read_struct(&png, &info, nullptr);
            free(pBuffer);
            free(pRows);
            return FALSE;
        }
        for (png_uint_32 y = 0; y < nHeight; y++)
            pRows[y] = pBuffer + size_t(y) * nRowBytes;
        png_read_image(png, pRows);
    } catch (CPngException* e) {
        delete e;
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        free(pBuffer);
        free(pRows);
        return FALSE;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    free(pRows);

    Empty();
    m_pBuffer = pBuffer;
    m_nBufferSize = uint32_t(nBufferSize);
    m_nWidth = int(nWidth);
    m_nHeight = int(nHeight);
    m_nChannels = nChannels;
    m_nRowBytes = uint32_t(nRowBytes);
    m_nCrop = 0;
    m_nSourceSize = nSize;
    return TRUE;
}

CSize CPngReader::GetSize() const
{
    if (!m_pBuffer)
        return CSize(0, 0);
    return CropSize(m_nWidth, m_nHeight, m_nCrop);
}

int CPngReader::DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack)
{
    return Draw(pDC, pt, clrBack, pBackDC, ptBack) ? 0 : -1;
}

BOOL CPngReader::Draw(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack)
{
    if (!m_pBuffer || !pDC)
        return FALSE;
    int nSkipX, nSkipY, cx, cy;
    if (!CropVisible(m_nCrop, m_nWidth, m_nHeight, nSkipX, nSkipY, cx, cy))
        return FALSE;

    const HDC hDC = pDC->m_hDC;
    const HDC hMem = ::CreateCompatibleDC(hDC);
    if (!hMem)
        return FALSE;
    BYTE* pBits = nullptr;
    const HBITMAP hDib = CreateDib32(hDC, cx, cy, &pBits);
    if (!hDib) {
        ::DeleteDC(hMem);
        return FALSE;
    }
    const HGDIOBJ hOld = ::GetCurrentObject(hMem, OBJ_BITMAP);
    const bool bAlpha = m_nChannels == 4;
    const size_t nDstStride = size_t(cx) * 4;

    BYTE* pBackBits = nullptr;
    HBITMAP hBack = nullptr;
    if (bAlpha && pBackDC) {
        hBack = CreateDib32(hDC, cx, cy, &pBackBits);
        if (!hBack) {
            ::DeleteObject(hDib);
            ::DeleteDC(hMem);
            return FALSE;
        }
        ::SelectObject(hMem, hBack);
        ::BitBlt(hMem, 0, 0, cx, cy, pBackDC->m_hDC, ptBack.x, ptBack.y, SRCCOPY);
        ::GdiFlush();
    }
    const unsigned rb = GetRValue(clrBack), gb = GetGValue(clrBack), bb = GetBValue(clrBack);
    for (int d = 0; d < cy; d++) {
        BYTE* pDst = pBits + size_t(cy - 1 - d) * nDstStride;
        const BYTE* pSrc = GetRow(d + nSkipY) + size_t(nSkipX) * m_nChannels;
        if (!bAlpha) {
            for (int x = 0; x < cx; x++, pDst += 4, pSrc += 3) {
                pDst[0] = pSrc[0];
                pDst[1] = pSrc[1];
                pDst[2] = pSrc[2];
                pDst[3] = 0;
            }
        } else if (pBackBits) {
            const BYTE* pBk = pBackBits + size_t(cy - 1 - d) * nDstStride;
            for (int x = 0; x < cx; x++, pDst += 4, pSrc += 4, pBk += 4) {
                const unsigned a = pSrc[3];
                if (a == 255) {
                    memcpy(pDst, pSrc, 4);
                } else if (a == 0) {
                    memcpy(pDst, pBk, 4);
                } else {
                    pDst[0] = BYTE((pSrc[0] * a + pBk[0] * (255 - a)) / 255);
                    pDst[1] = BYTE((pSrc[1] * a + pBk[1] * (255 - a)) / 255);
                    pDst[2] = BYTE((pSrc[2] * a + pBk[2] * (255 - a)) / 255);
                }
            }
        } else {
            for (int x = 0; x < cx; x++, pDst += 4, pSrc += 4) {
                const unsigned a = pSrc[3];
                if (a == 255) {
                    memcpy(pDst, pSrc, 4);
                } else if (a == 0) {
                    pDst[0] = BYTE(bb);
                    pDst[1] = BYTE(gb);
                    pDst[2] = BYTE(rb);
                    pDst[3] = 0;
                } else {
                    pDst[0] = BYTE((pSrc[0] * a + bb * (255 - a)) / 255);
                    pDst[1] = BYTE((pSrc[1] * a + gb * (255 - a)) / 255);
                    pDst[2] = BYTE((pSrc[2] * a + rb * (255 - a)) / 255);
                }
            }
        }
    }
    ::SelectObject(hMem, hDib);
    const BOOL bOk = ::BitBlt(hDC, pt.x, pt.y, cx, cy, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hDib);
    if (hBack)
        ::DeleteObject(hBack);
    ::DeleteDC(hMem);
    return bOk != 0;
}

BOOL CPngReader::DrawStretched(CDC* pDC, HDRAWDIB, const CRect& rect, int)
{
    if (!m_pBuffer || !pDC)
        return FALSE;
    const CSize size = GetSize();
    if (size.cx <= 0 || size.cy <= 0)
        return FALSE;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return FALSE;
    const HBITMAP hBitmap = ::CreateCompatibleBitmap(pDC->m_hDC, size.cx, size.cy);
    if (!hBitmap)
        return FALSE;
    const HGDIOBJ hOld = ::SelectObject(memDC.m_hDC, hBitmap);
    BOOL bOk = Draw(&memDC, CPoint(0, 0), RGB(255, 255, 255), nullptr, CPoint(0, 0));
    if (bOk) {
        bOk = ::StretchBlt(pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), memDC.m_hDC, 0, 0, size.cx,
                           size.cy, SRCCOPY);
    }
    ::SelectObject(memDC.m_hDC, hOld);
    ::DeleteObject(hBitmap);
    return bOk;
}

BOOL CPngReader::DrawMask(CDC* pDC, HDRAWDIB, const CRect& rect, int)
{
    if (!pDC)
        return FALSE;
    FillSolid(pDC->m_hDC, rect, RGB(0, 0, 0));
    return TRUE;
}

void CPngReader::CopyFrom(const CPngReader& src)
{
    Empty();
    if (src.m_pBuffer) {
        m_pBuffer = static_cast<BYTE*>(malloc(src.m_nBufferSize));
        if (m_pBuffer) {
            memcpy(m_pBuffer, src.m_pBuffer, src.m_nBufferSize);
            m_nBufferSize = src.m_nBufferSize;
            m_nWidth = src.m_nWidth;
            m_nHeight = src.m_nHeight;
            m_nChannels = src.m_nChannels;
            m_nRowBytes = src.m_nRowBytes;
        }
    }
    m_nCrop = src.m_nCrop;
    m_nSourceSize = src.m_nSourceSize;
}
