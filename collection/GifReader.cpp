#include "collection/GifReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Bytes past the end of the data read as 0: a header or a colour table that
// the data cuts short gives defined values and never an overrun.
inline BYTE At(const BYTE* p, uint32_t nSize, uint64_t nPos) { return nPos < nSize ? p[nPos] : 0; }
inline uint16_t At16(const BYTE* p, uint32_t nSize, uint64_t nPos)
{
    return uint16_t(At(p, nSize, nPos) | (At(p, nSize, nPos + 1) << 8));
}

const int kMaxCodes = 4096;

// The LZW code stream of one image: data sub-blocks read as one bit stream,
// least significant bit first.
class CCodeStream
{
public:
    CCodeStream(const BYTE* pData, uint32_t nSize, uint32_t nPos) : m_p(pData), m_nSize(nSize), m_nPos(nPos) {}

    // false at the end of the data or of the sub-blocks
    bool Read(int nBits, int& nCode)
    {
        while (m_nHave < nBits) {
            if (m_nLeft == 0) {
                if (m_bEnded || m_nPos >= m_nSize)
                    return false;
                m_nLeft = m_p[m_nPos++];
                if (m_nLeft == 0) {
                    m_bEnded = true;
                    return false;
                }
            }
            if (m_nPos >= m_nSize)
                return false;
            m_nBits |= uint32_t(m_p[m_nPos++]) << m_nHave;
            m_nHave += 8;
            m_nLeft--;
        }
        nCode = int(m_nBits & ((1u << nBits) - 1));
        m_nBits >>= nBits;
        m_nHave -= nBits;
        return true;
    }
    // Just behind the sub-block in which reading stopped.
    uint32_t End() const
    {
        const uint64_t n = uint64_t(m_nPos) + m_nLeft;
        return n < m_nSize ? uint32_t(n) : m_nSize;
    }

private:
    const BYTE* m_p;
    uint32_t m_nSize;
    uint32_t m_nPos;
    uint32_t m_nLeft = 0;
    uint32_t m_nBits = 0;
    int m_nHave = 0;
    bool m_bEnded = false;
};

struct LzwTables
{
    uint16_t prefix[kMaxCodes];
    BYTE suffix[kMaxCodes];
    BYTE stack[kMaxCodes + 1];
};

// Fills up to nPixels bytes; stops early on a corrupt stream (the rest keeps
// index 0). Returns the position behind the sub-block where it stopped.
uint32_t DecodeLzw(const BYTE* pData, uint32_t nSize, uint32_t nPos, BYTE* pPixels, uint64_t nPixels,
                   LzwTables& t)
{
    const int m = At(pData, nSize, nPos);
    if (nPos >= nSize)
        return nSize;
    // Minimum code sizes above 11 put the clear code outside the tables.
    if (m > 11)
        return nPos + 1;
    CCodeStream stream(pData, nSize, nPos + 1);
    const int nClear = 1 << m;
    const int nEnd = nClear + 1;
    int nNext = nClear + 2;
    int nCodeSize = m + 1;
    int nMask = (1 << nCodeSize) - 1;
    int nOld = -1;
    int nFirst = 0;
    int sp = 0;
    memset(t.prefix, 0, sizeof(t.prefix));
    memset(t.suffix, 0, sizeof(t.suffix));
    for (int k = 0; k < nClear; k++)
        t.suffix[k] = BYTE(k);

    uint64_t nOut = 0;
    while (nOut < nPixels) {
        if (sp > 0) {
            pPixels[nOut++] = t.stack[--sp];
            continue;
        }
        int nCode;
        if (!stream.Read(nCodeSize, nCode) || nCode > nNext || nCode == nEnd)
            break;
        if (nCode == nClear) {
            nCodeSize = m + 1;
            nMask = (1 << nCodeSize) - 1;
            nNext = nClear + 2;
            nOld = -1;
            continue;
        }
        if (nOld < 0) {
            t.stack[sp++] = t.suffix[nCode];
            nOld = nCode;
            nFirst = nCode;
            continue;
        }
        const int nIn = nCode;
        if (nCode == nNext) {
            t.stack[sp++] = BYTE(nFirst);
            nCode = nOld;
        }
        // A forged stream can chain codes into a loop: the stack bounds it.
        while (nCode > nClear && sp < kMaxCodes) {
            t.stack[sp++] = t.suffix[nCode];
            nCode = t.prefix[nCode];
        }
        if (nCode > nClear || nNext >= kMaxCodes)
            break;
        nFirst = t.suffix[nCode];
        t.stack[sp++] = BYTE(nFirst);
        t.prefix[nNext] = uint16_t(nOld);
        t.suffix[nNext] = BYTE(nFirst);
        nNext++;
        if ((nNext & nMask) == 0 && nNext < kMaxCodes) {
            nCodeSize++;
            nMask = 2 * nMask + 1;
        }
        nOld = nIn;
    }
    return stream.End();
}

void SetDibHeader(BITMAPINFOHEADER* p, int cx, int cy, int nBpp, uint32_t nImageSize, int nColours)
{
    memset(p, 0, sizeof(*p));
    p->biSize = sizeof(BITMAPINFOHEADER);
    p->biWidth = cx;
    p->biHeight = cy;
    p->biPlanes = 1;
    p->biBitCount = WORD(nBpp);
    p->biCompression = BI_RGB;
    p->biSizeImage = nImageSize;
    p->biXPelsPerMeter = 2954;
    p->biYPelsPerMeter = 2954;
    p->biClrUsed = nColours;
}

// A one-bit header with the colour table black, white.
struct MaskInfo
{
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

void FillMaskInfo(MaskInfo& info, int cx, int cy)
{
    SetDibHeader(&info.header, cx, cy, 1, 0, 2);
    info.header.biXPelsPerMeter = info.header.biYPelsPerMeter = 0;
    info.colours[0] = RGBQUAD{0, 0, 0, 0};
    info.colours[1] = RGBQUAD{255, 255, 255, 0};
}

}  // namespace

CGifReader::~CGifReader()
{
    FreeFrames();
}

void CGifReader::FreeFrames()
{
    for (int i = 0; i < m_frames.GetSize(); i++) {
        free(m_frames[i].pBitmap);
        free(m_frames[i].pMask);
    }
    m_frames.RemoveAll();
    m_nCurrentFrame = 0;
    m_nMemorySize = 40;
}

void CGifReader::Recount()
{
    m_nMemorySize = 40;
    for (int i = 0; i < m_frames.GetSize(); i++)
        m_nMemorySize += m_frames[i].nBitmapSize + m_frames[i].nMaskSize + 28;
}

BOOL CGifReader::Load(const BYTE* p, uint32_t nSize, BOOL bKeepAllFrames)
{
    if (!p || nSize < 13 || memcmp(p, "GIF", 3) != 0 || (memcmp(p + 3, "87a", 3) != 0 && memcmp(p + 3, "89a", 3) != 0))
        return FALSE;
    const BYTE nFlags = p[10];
    const BYTE nBackIndex = p[11];
    const unsigned r = (nFlags >> 4) & 7;
    const unsigned nFileBpp = r == 0 ? 1 : r == 3 ? 4 : 8;
    FreeFrames();
    m_nScreenWidth = int16_t(At16(p, nSize, 6));
    m_nScreenHeight = int16_t(At16(p, nSize, 8));
    // Callers size their bitmaps from the logical screen; a forged screen of
    // small frames must not make them ask for hundreds of megabytes.
    if (uint64_t(std::max<int>(m_nScreenWidth, 0)) * uint64_t(std::max<int>(m_nScreenHeight, 0)) > kMaxPicturePixels) {
        m_nScreenWidth = m_nScreenHeight = 0;
        return FALSE;
    }
    m_nSourceSize = nSize;
    m_nCrop = 0;

    uint64_t nPos = 13;
    if (nFlags & 0x80)
        nPos += 3u << ((nFlags & 7) + 1);

    bool bAllShort = true;
    bool bControl = false;      // a graphic control extension waits for the next image
    int nTransparent = -1;
    uint16_t nDelay = 0;
    BYTE nDisposal = 0;
    while (nPos + 2 < nSize) {
        const BYTE b = p[nPos];
        if (b == 0x2C) {
            uint32_t nFramePos = uint32_t(nPos);
            const bool bOk = bControl ? DecodeFrame(p, nSize, nFramePos, nTransparent, nDelay, nDisposal, nFileBpp,
                                                    nFlags, nBackIndex)
                                      : DecodeFrame(p, nSize, nFramePos, -1, 0, 0, nFileBpp, nFlags, nBackIndex);
            bControl = false;
            if (!bOk) {
                FreeFrames();
                return FALSE;
            }
            if (!bKeepAllFrames)
                break;
            nPos = nFramePos;
        } else if (b == 0x21) {
            const BYTE nLabel = p[nPos + 1];
            if (nLabel == 0xF9) {
                const BYTE nPacked = At(p, nSize, nPos + 3);
                nTransparent = (nPacked & 1) ? At(p, nSize, nPos + 6) : -1;
                nDelay = uint16_t(At16(p, nSize, nPos + 4) * 10);
                if (int16_t(nDelay) > 10)
                    bAllShort = false;
                nDisposal = (nPacked >> 2) & 7;
                bControl = true;
                nPos += uint64_t(p[nPos + 2]) + 4;
            } else if (nLabel == 0x01 || nLabel == 0xFF || nLabel == 0xFE) {
                nPos += nLabel == 0xFE ? 2 : uint64_t(p[nPos + 2]) + 3;
                while (nPos < nSize) {
                    const BYTE nLen = p[nPos];
                    nPos += uint64_t(nLen) + 1;
                    if (nLen == 0)
                        break;
                }
            } else {
                nPos += uint64_t(p[nPos + 2]) + 4;
            }
        } else if (b == 0x3B) {
            break;
        } else if (b == 0x00) {
            nPos++;
        } else {
            if (nPos + b + 1 >= nSize) {
                FreeFrames();
                return FALSE;
            }
            nPos += uint64_t(b) + 1;
        }
    }

    const int nFrames = m_frames.GetSize();
    if (nFrames >= 2) {
        for (int i = 0; i < nFrames; i++) {
            if (bAllShort || m_frames[i].nDelay == 0)
                m_frames[i].nDelay = 100;
        }
    }
    Recount();
    return TRUE;
}

bool CGifReader::DecodeFrame(const BYTE* p, uint32_t nSize, uint32_t& nPos, int nTransparent, uint16_t nDelay,
                             BYTE nDisposal, unsigned nFileBpp, BYTE nScreenFlags, BYTE nBackIndex)
{
    const uint64_t d = nPos;
    if (d + 10 > nSize) {
        nPos = nSize;    // the data ends inside the descriptor: no frame
        return true;
    }
    const uint16_t nLeft = At16(p, nSize, d + 1);
    const uint16_t nTop = At16(p, nSize, d + 3);
    const int cx = At16(p, nSize, d + 5);
    const int cy = At16(p, nSize, d + 7);
    const BYTE nPacked = p[d + 9];
    if (m_frames.GetSize() == 0 && m_nScreenWidth <= 1 && m_nScreenHeight <= 1 && cx > 1 && cy > 1) {
        m_nScreenWidth = int16_t(cx);
        m_nScreenHeight = int16_t(cy);
    }
    // 65535 x 65535 pixels would wrap a 32-bit size; such pictures are refused.
    const uint64_t nPixels = uint64_t(cx) * uint64_t(cy);
    if (nPixels > kMaxPicturePixels)
        return false;

    uint64_t nTable;
    unsigned nEntries;
    uint64_t nData;
    if (nPacked & 0x80) {
        nEntries = 1u << ((nPacked & 7) + 1);
        nTable = d + 10;
        nData = d + 10 + 3ull * nEntries;
    } else {
        nEntries = 1u << ((nScreenFlags & 7) + 1);
        nTable = 13;
        nData = d + 10;
    }
    unsigned nBpp = nFileBpp;
    if ((1u << nBpp) < nEntries)
        nBpp = nEntries <= 2 ? 1 : nEntries <= 16 ? 4 : 8;
    const unsigned nColours = 1u << nBpp;
    const uint64_t nStride = ((uint64_t(cx) * nBpp + 31) / 8) & ~uint64_t(3);
    const uint64_t nBitmapSize = 40 + 4ull * nColours + nStride * cy;
    // The cap holds for all frames together: a small file of many large empty
    // frames must not add up to gigabytes.
    const uint64_t nMaskBytes = nTransparent >= 0 ? ((uint64_t(cx) + 31) / 32) * 4 * cy : 0;
    if (m_nMemorySize + nBitmapSize + nMaskBytes + nPixels > kMaxPictureBytes)
        return false;

    BYTE* pBitmap = static_cast<BYTE*>(calloc(1, size_t(nBitmapSize)));
    BYTE* pPixels = static_cast<BYTE*>(calloc(1, nPixels ? size_t(nPixels) : 1));
    LzwTables* pTables = static_cast<LzwTables*>(malloc(sizeof(LzwTables)));
    if (!pBitmap || !pPixels || !pTables) {
        free(pBitmap);
        free(pPixels);
        free(pTables);
        return false;
    }
    SetDibHeader(reinterpret_cast<BITMAPINFOHEADER*>(pBitmap), cx, cy, nBpp, uint32_t(nStride * cy), nColours);
    RGBQUAD* pColours = reinterpret_cast<RGBQUAD*>(pBitmap + 40);
    for (unsigned i = 0; i < nEntries && i < nColours; i++) {
        pColours[i].rgbRed = At(p, nSize, nTable + 3ull * i);
        pColours[i].rgbGreen = At(p, nSize, nTable + 3ull * i + 1);
        pColours[i].rgbBlue = At(p, nSize, nTable + 3ull * i + 2);
        pColours[i].rgbReserved = 0;
    }

    nPos = nData < nSize ? DecodeLzw(p, nSize, uint32_t(nData), pPixels, nPixels, *pTables) : nSize;
    free(pTables);

    // Rows into the bottom-up bitmap; interlaced images come in four passes.
    BYTE* pRows = pBitmap + 40 + 4 * nColours;
    const BYTE nIndexMask = BYTE(nColours - 1);
    const bool bMask = nTransparent >= 0 && unsigned(nTransparent) < nColours;
    const uint64_t nMaskStride = ((uint64_t(cx) + 31) / 32) * 4;
    BYTE* pMask = nullptr;
    if (bMask)
        pMask = static_cast<BYTE*>(calloc(1, size_t(nMaskStride * cy != 0 ? nMaskStride * cy : 1)));
    static const int kPassStart[4] = {0, 4, 2, 1};
    static const int kPassStep[4] = {8, 8, 4, 2};
    const bool bInterlaced = (nPacked & 0x40) != 0;
    int nPass = 0;
    int y = 0;
    for (int nRow = 0; nRow < cy; nRow++) {
        if (bInterlaced) {
            while (y >= cy && ++nPass < 4)
                y = kPassStart[nPass];
            if (nPass >= 4)
                break;
        } else {
            y = nRow;
        }
        const BYTE* pSrc = pPixels + uint64_t(nRow) * cx;
        BYTE* pDst = pRows + uint64_t(cy - 1 - y) * nStride;
        if (nBpp == 8) {
            memcpy(pDst, pSrc, cx);
        } else if (nBpp == 4) {
            for (int x = 0; x < cx; x++)
                pDst[x >> 1] |= BYTE((pSrc[x] & 0x0F) << ((x & 1) ? 0 : 4));
        } else {
            for (int x = 0; x < cx; x++)
                pDst[x >> 3] |= BYTE((pSrc[x] & 1) << (7 - (x & 7)));
        }
        if (pMask) {
            BYTE* pMaskRow = pMask + uint64_t(cy - 1 - y) * nMaskStride;
            for (int x = 0; x < cx; x++) {
                if ((pSrc[x] & nIndexMask) == nTransparent)
                    pMaskRow[x >> 3] |= BYTE(0x80 >> (x & 7));
            }
        }
        if (bInterlaced)
            y += kPassStep[nPass];
    }
    free(pPixels);

    CDibFrame frame = {};
    frame.pBitmap = pBitmap;
    frame.nBitmapSize = uint32_t(nBitmapSize);
    frame.nLeft = nLeft;
    frame.nTop = nTop;
    frame.nDelay = nDelay;
    frame.nDisposal = nDisposal;
    if (bMask) {
        RGBQUAD& q = pColours[nTransparent];
        frame.clr = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        // Transparent pixels are black in the colour bitmap, so that the
        // bitmap ORed over the masked background leaves it as it was.
        q = RGBQUAD{0, 0, 0, 0};
        // Without a mask (no memory) those pixels show black.
        frame.pMask = pMask;
        frame.nMaskSize = pMask ? uint32_t(nMaskStride * cy) : 0;
    } else if (nBackIndex < nEntries && nBackIndex < nColours) {
        const RGBQUAD& q = pColours[nBackIndex];
        frame.clr = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    try {
        m_frames.Add(frame);
    } catch (CException* e) {
        e->Delete();
        free(pBitmap);
        free(pMask);
        return false;
    }
    m_nMemorySize += frame.nBitmapSize + frame.nMaskSize + 28;
    return true;
}

void CGifReader::DropExtraFrames()
{
    if (m_frames.GetSize() == 0)
        return;
    while (m_frames.GetSize() > 1) {
        const int i = m_frames.GetSize() - 1;
        free(m_frames[i].pBitmap);
        free(m_frames[i].pMask);
        m_frames.RemoveAt(i);
    }
    m_nCurrentFrame = 0;
    m_nMemorySize = 68 + m_frames[0].nBitmapSize + m_frames[0].nMaskSize;
}

CSize CGifReader::GetSize() const
{
    return CropSize(std::max<int>(m_nScreenWidth, 0), std::max<int>(m_nScreenHeight, 0), m_nCrop);
}

const BITMAPINFOHEADER* CGifReader::GetFrameDib() const
{
    return m_frames.GetSize() ? reinterpret_cast<const BITMAPINFOHEADER*>(m_frames[0].pBitmap) : nullptr;
}

BOOL CGifReader::SetCurrentFrame(int nFrame)
{
    if (nFrame < 0 || nFrame >= m_frames.GetSize())
        return FALSE;
    m_nCurrentFrame = int16_t(nFrame);
    return TRUE;
}

BOOL CGifReader::HasTransparency(int nFrame) const
{
    return nFrame >= 0 && nFrame < m_frames.GetSize() && m_frames[nFrame].pMask != nullptr;
}

bool CGifReader::GetWholeFrameMask(int nFrame, std::vector<BYTE>& transparent) const
{
    Visible vis;
    if (!GetVisible(nFrame, vis) || m_frames[nFrame].pMask == nullptr)
        return false;
    const CDibFrame& f = m_frames[nFrame];
    const BITMAPINFOHEADER* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(f.pBitmap);
    const CSize size = GetSize();
    const int cx = size.cx, cy = size.cy;
    if (cx <= 0 || cy <= 0 || pHeader->biWidth != cx || pHeader->biHeight != cy || vis.rcDest != CRect(0, 0, cx, cy) ||
        vis.xSrc != 0 || vis.ySrc != 0)
        return false;
    const size_t nStride = (size_t(cx) + 31) / 32 * 4;
    if (f.nMaskSize < nStride * size_t(cy))
        return false;
    transparent.assign(size_t(cx) * size_t(cy), 0);
    for (int y = 0; y < cy; y++) {
        const BYTE* pRow = f.pMask + nStride * size_t(cy - 1 - y);   // bottom-up
        BYTE* pOut = transparent.data() + size_t(y) * size_t(cx);
        for (int x = 0; x < cx; x++)
            pOut[x] = (pRow[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return true;
}

// The part of a frame that is drawn: its rectangle on the picture, shifted by
// the crop and clipped to the drawn picture area, and where that part starts
// in the frame's bottom-up bitmap.
bool CGifReader::GetVisible(int nFrame, Visible& vis) const
{
    if (nFrame < 0 || nFrame >= m_frames.GetSize() || !m_frames[nFrame].pBitmap)
        return false;
    const CDibFrame& f = m_frames[nFrame];
    const BITMAPINFOHEADER* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(f.pBitmap);
    int nSkipX, nSkipY;
    CropSkip(m_nCrop, nSkipX, nSkipY);
    const int nAreaX = std::max<int>(m_nScreenWidth, 0) - nSkipX;
    const int nAreaY = std::max<int>(m_nScreenHeight, 0) - nSkipY;
    const int l = int(f.nLeft) - nSkipX, t = int(f.nTop) - nSkipY;
    const int r = l + pHeader->biWidth, b = t + pHeader->biHeight;
    vis.rcDest.SetRect(std::max(l, 0), std::max(t, 0), std::min(r, nAreaX), std::min(b, nAreaY));
    if (vis.rcDest.right < vis.rcDest.left)
        vis.rcDest.right = vis.rcDest.left;
    if (vis.rcDest.bottom < vis.rcDest.top)
        vis.rcDest.bottom = vis.rcDest.top;
    vis.xSrc = vis.rcDest.left - l;
    vis.ySrc = b - vis.rcDest.bottom;
    vis.ySrcTop = vis.rcDest.top - t;
    return true;
}

void CGifReader::Restore(HDC hDC, const CRect& rc, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) const
{
    if (rc.IsRectEmpty())
        return;
    if (pBackDC) {
        ::BitBlt(hDC, pt.x + rc.left, pt.y + rc.top, rc.Width(), rc.Height(), pBackDC->m_hDC, ptBack.x + rc.left,
                 ptBack.y + rc.top, SRCCOPY);
    } else {
        CRect rcFill(rc);
        rcFill.OffsetRect(pt);
        FillSolid(hDC, rcFill, clrBack);
    }
}

BOOL CGifReader::Draw(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack)
{
    const int nFrame = m_nCurrentFrame;
    Visible vis;
    if (!pDC || !GetVisible(nFrame, vis))
        return FALSE;
    const HDC hDC = pDC->m_hDC;
    if (nFrame > 0) {
        const CDibFrame& prev = m_frames[nFrame - 1];
        Visible prevVis;
        if ((prev.nDisposal == 2 || prev.nDisposal == 3) && GetVisible(nFrame - 1, prevVis))
            Restore(hDC, prevVis.rcDest, pt, clrBack, pBackDC, ptBack);
    } else {
        int nSkipX, nSkipY;
        CropSkip(m_nCrop, nSkipX, nSkipY);
        const CRect rcAll(0, 0, std::max<int>(m_nScreenWidth, 0) - nSkipX, std::max<int>(m_nScreenHeight, 0) - nSkipY);
        Restore(hDC, rcAll, pt, clrBack, pBackDC, ptBack);
    }
    if (vis.rcDest.IsRectEmpty())
        return TRUE;

    const CDibFrame& f = m_frames[nFrame];
    const BITMAPINFOHEADER* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(f.pBitmap);
    const BYTE* pBits = f.pBitmap + 40 + 4 * pHeader->biClrUsed;
    const int x = pt.x + vis.rcDest.left, y = pt.y + vis.rcDest.top;
    const int cx = vis.rcDest.Width(), cy = vis.rcDest.Height();
    if (f.pMask) {
        MaskInfo info;
        FillMaskInfo(info, pHeader->biWidth, pHeader->biHeight);
        if (!::StretchDIBits(hDC, x, y, cx, cy, vis.xSrc, vis.ySrc, cx, cy, f.pMask,
                             reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCAND))
            return FALSE;
        return ::StretchDIBits(hDC, x, y, cx, cy, vis.xSrc, vis.ySrc, cx, cy, pBits,
                               reinterpret_cast<const BITMAPINFO*>(f.pBitmap), DIB_RGB_COLORS, SRCPAINT) != 0;
    }
    return ::StretchDIBits(hDC, x, y, cx, cy, vis.xSrc, vis.ySrc, cx, cy, pBits,
                           reinterpret_cast<const BITMAPINFO*>(f.pBitmap), DIB_RGB_COLORS, SRCCOPY) != 0;
}

int CGifReader::DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack)
{
    if (!Draw(pDC, pt, clrBack, pBackDC, ptBack))
        return -1;
    const int nDelay = int16_t(m_frames[m_nCurrentFrame].nDelay);
    m_nCurrentFrame = int16_t(m_nCurrentFrame + 1 < m_frames.GetSize() ? m_nCurrentFrame + 1 : 0);
    return nDelay;
}

BOOL CGifReader::DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame)
{
    Visible vis;
    if (!pDC || !GetVisible(nFrame, vis))
        return FALSE;
    if (vis.rcDest.IsRectEmpty())
        return TRUE;
    const CDibFrame& f = m_frames[nFrame];
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(f.pBitmap);
    BYTE* pBits = f.pBitmap + 40 + 4 * pHeader->biClrUsed;
    const int cx = vis.rcDest.Width(), cy = vis.rcDest.Height();
    if (hDrawDib) {
        return ::DrawDibDraw(hDrawDib, pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), pHeader, pBits,
                             vis.xSrc, vis.ySrcTop, cx, cy, 0);
    }
    return ::StretchDIBits(pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), vis.xSrc, vis.ySrc, cx, cy,
                           pBits, reinterpret_cast<const BITMAPINFO*>(pHeader), DIB_RGB_COLORS, SRCCOPY) != 0;
}

BOOL CGifReader::DrawMask(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame)
{
    Visible vis;
    if (!pDC || !GetVisible(nFrame, vis))
        return FALSE;
    const CDibFrame& f = m_frames[nFrame];
    if (!f.pMask) {
        FillSolid(pDC->m_hDC, rect, RGB(0, 0, 0));
        return TRUE;
    }
    if (vis.rcDest.IsRectEmpty())
        return TRUE;
    const BITMAPINFOHEADER* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(f.pBitmap);
    MaskInfo info;
    FillMaskInfo(info, pHeader->biWidth, pHeader->biHeight);
    const int cx = vis.rcDest.Width(), cy = vis.rcDest.Height();
    if (hDrawDib) {
        return ::DrawDibDraw(hDrawDib, pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), &info.header,
                             f.pMask, vis.xSrc, vis.ySrcTop, cx, cy, 0);
    }
    return ::StretchDIBits(pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), vis.xSrc, vis.ySrc, cx, cy,
                           f.pMask, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY) != 0;
}

void CGifReader::CopyFrom(const CGifReader& src)
{
    FreeFrames();
    for (int i = 0; i < src.m_frames.GetSize(); i++) {
        CDibFrame f = src.m_frames[i];
        f.pBitmap = static_cast<BYTE*>(malloc(f.nBitmapSize ? f.nBitmapSize : 1));
        f.pMask = nullptr;
        if (f.pBitmap && src.m_frames[i].pMask) {
            f.pMask = static_cast<BYTE*>(malloc(f.nMaskSize ? f.nMaskSize : 1));
            if (!f.pMask) {
                free(f.pBitmap);
                f.pBitmap = nullptr;
            }
        }
        if (!f.pBitmap) {
            FreeFrames();
            return;
        }
        memcpy(f.pBitmap, src.m_frames[i].pBitmap, f.nBitmapSize);
        if (f.pMask)
            memcpy(f.pMask, src.m_frames[i].pMask, f.nMaskSize);
        try {
            m_frames.Add(f);
        } catch (CException* e) {
            e->Delete();
            free(f.pBitmap);
            free(f.pMask);
            FreeFrames();
            return;
        }
    }
    m_nScreenWidth = src.m_nScreenWidth;
    m_nScreenHeight = src.m_nScreenHeight;
    m_nCurrentFrame = src.m_nCurrentFrame;
    m_nSourceSize = src.m_nSourceSize;
    m_nMemorySize = src.m_nMemorySize;
    m_nCrop = src.m_nCrop;
}
