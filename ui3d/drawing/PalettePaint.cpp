#include "ui3d/drawing/PalettePaint.h"

#include "collection/ImageReader.h"
#include "framework/Gdi.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A packed palette DIB (header, colour table, rows) as a reader holds it,
// read by its own bit count.
struct PaletteDib
{
    const BITMAPINFOHEADER* pHeader = nullptr;
    const RGBQUAD* pTable = nullptr;
    int nTable = 0;
    const BYTE* pRows = nullptr;
    int cx = 0, cy = 0, nBpp = 0, nStride = 0;
    bool bBottomUp = true;

    bool Open(const CImageReader* pImage)
    {
        if (!pImage || !CImageReader::IsLoaded(*pImage))
            return false;
        pHeader = pImage->GetReader()->GetFrameDib();
        if (!pHeader || pHeader->biSize < sizeof(BITMAPINFOHEADER) || pHeader->biCompression != BI_RGB)
            return false;
        nBpp = pHeader->biBitCount;
        if (nBpp != 1 && nBpp != 4 && nBpp != 8)
            return false;
        cx = pHeader->biWidth;
        cy = abs(pHeader->biHeight);
        bBottomUp = pHeader->biHeight > 0;
        if (cx <= 0 || cy <= 0)
            return false;
        const int nMax = 1 << nBpp;
        nTable = pHeader->biClrUsed && int(pHeader->biClrUsed) < nMax ? int(pHeader->biClrUsed) : nMax;
        pTable = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(pHeader) + pHeader->biSize);
        // The rows follow the table as the header declares it.
        const int nDeclared = pHeader->biClrUsed ? int(std::min<DWORD>(pHeader->biClrUsed, 256)) : nMax;
        pRows = reinterpret_cast<const BYTE*>(pTable + nDeclared);
        nStride = int((int64_t(cx) * nBpp + 31) / 32 * 4);
        return true;
    }

    // The palette entry of pixel (x, y), counted from the top; null for an
    // index beyond the table.
    const RGBQUAD* Entry(int x, int y) const
    {
        const BYTE* pRow = pRows + size_t(bBottomUp ? cy - 1 - y : y) * nStride;
        int nIndex;
        switch (nBpp) {
        case 1: nIndex = (pRow[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: nIndex = (x & 1) ? pRow[x >> 1] & 0x0F : pRow[x >> 1] >> 4; break;
        default: nIndex = pRow[x]; break;
        }
        return nIndex < nTable ? pTable + nIndex : nullptr;
    }
};

} // namespace

BOOL PaintThroughDIBSection(HDC hDC, const RECT& rect, const CImageReader* pColor, const CImageReader* pMask,
                            PFN_PAINTBACKGROUND pfnPaint, void* pUser)
{
    PaletteDib color, mask;
    if (!hDC || !color.Open(pColor) || !mask.Open(pMask))
        return FALSE;
    const int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    BYTE* pBits = nullptr;
    CBitmap section;   // declared first: freed after the DC below has let go of it
    if (!section.Attach(CreateDIBSection32(cx, cy, &pBits)))
        return FALSE;
    CSelectedBitmapDC mem(hDC, static_cast<HBITMAP>(section.GetSafeHandle()));
    const HDC hMemDC = mem.m_hDC;
    if (!hMemDC)
        return FALSE;
    if (pfnPaint)
        pfnPaint(hMemDC, cx, cy, pUser);
    GdiFlush();

    const int nRows = std::min(cy, std::min(color.cy, mask.cy));
    const int nCols = std::min(cx, std::min(color.cx, mask.cx));
    for (int y = 0; y < nRows; y++) {
        BYTE* p = pBits + size_t(y) * cx * 4;
        for (int x = 0; x < nCols; x++, p += 4) {
            const RGBQUAD* pClr = color.Entry(x, y);
            const RGBQUAD* pOpacity = mask.Entry(x, y);
            const unsigned u = pOpacity ? pOpacity->rgbBlue : 0;
            const BYTE src[3] = {BYTE(pClr ? pClr->rgbBlue : 0), BYTE(pClr ? pClr->rgbGreen : 0),
                                 BYTE(pClr ? pClr->rgbRed : 0)};
            for (int c = 0; c < 3; c++)
                p[c] = BYTE((p[c] * (255 - u) + src[c] * u) / 255);
        }
    }
    return BitBlt(hDC, rect.left, rect.top, cx, cy, hMemDC, 0, 0, SRCCOPY);
}
