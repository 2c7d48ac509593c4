// CGraphicalFormatReader: what every picture reader offers. A reader decodes a
// whole picture from memory at load time (the caller's bytes are never kept)
// and draws it with the GDI. CImageReader picks the reader for a picture.
//
// The crop byte trims a picture: the low 6 bits are a pixel count n; with
// bit 6 clear n columns are cut at the left edge, with bit 6 set n rows at the
// top. GetSize reports the trimmed size; the draw operations draw the
// remaining part with its top left corner at the given position. A byte with
// bit 7 set still trims the reported size but draws the picture uncut.
#pragma once

#include "framework/Dc.h"
#include "framework/Geometry.h"

#include <windows.h>
#include <vfw.h>

#include <cstdint>

// The largest picture any reader decodes. Sizes derived from a file's width,
// height and bit count are computed in 64 bits and checked against these
// before anything is allocated, so a forged header cannot wrap a size into a
// small buffer or ask for gigabytes.
const uint64_t kMaxPicturePixels = uint64_t(1) << 24;    // e.g. 4096 x 4096
const uint64_t kMaxPictureBytes = uint64_t(1) << 26;     // 64 MB of decoded data

class CGraphicalFormatReader
{
public:
    virtual ~CGraphicalFormatReader() {}

    // Decodes a picture from memory; non-zero on success. A failed load keeps
    // the previous picture unless the reader says otherwise.
    virtual BOOL Load(const BYTE* pData, uint32_t nSize, BOOL bKeepAllFrames) = 0;
    virtual void DropExtraFrames() = 0;
    virtual BOOL IsLoaded() const = 0;
    virtual BYTE GetCrop() const = 0;
    virtual void SetCrop(BYTE nCrop) = 0;
    virtual int GetFrameCount() const = 0;
    virtual CSize GetSize() const = 0;
    virtual int GetPerimeter() const
    {
        const CSize size = GetSize();
        return 2 * (size.cx + size.cy);
    }
    virtual uint32_t GetSourceSize() const = 0;
    virtual uint32_t GetMemorySize() const = 0;
    // Draws the current frame and moves to the next one; the drawn frame's
    // delay in milliseconds, -1 on failure.
    virtual int DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) = 0;
    // The current frame, unscaled, with its top left corner at pt. The
    // background (colour, or pBackDC at ptBack) shows through transparency.
    virtual BOOL Draw(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) = 0;
    virtual BOOL DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) = 0;
    // Black where the frame is opaque, white where it is transparent.
    virtual BOOL DrawMask(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) = 0;
    // The first frame as a packed DIB (header, colour table, rows), or null.
    virtual const BITMAPINFOHEADER* GetFrameDib() const = 0;
    virtual int GetCurrentFrame() const = 0;
    virtual BOOL SetCurrentFrame(int nFrame) = 0;
    virtual BOOL HasTransparency(int nFrame) const = 0;

    // Crop helpers shared by the readers.
    static CSize CropSize(int cx, int cy, BYTE nCrop)
    {
        const int n = nCrop & 0x3F;
        if (nCrop & 0x40)
            cy = cy > n ? cy - n : 0;
        else
            cx = cx > n ? cx - n : 0;
        return CSize(cx, cy);
    }
    // Columns and rows skipped when drawing (none when bit 7 is set).
    static void CropSkip(BYTE nCrop, int& nSkipX, int& nSkipY)
    {
        nSkipX = nSkipY = 0;
        if (nCrop & 0x80)
            return;
        if (nCrop & 0x40)
            nSkipY = nCrop & 0x3F;
        else
            nSkipX = nCrop & 0x3F;
    }
    // The skipped columns and rows and the part of a width x height picture
    // left to draw; false when nothing is left.
    static bool CropVisible(BYTE nCrop, int nWidth, int nHeight, int& nSkipX, int& nSkipY, int& cx, int& cy)
    {
        CropSkip(nCrop, nSkipX, nSkipY);
        cx = nWidth - nSkipX;
        cy = nHeight - nSkipY;
        return cx > 0 && cy > 0;
    }
    // Fills the rectangle with a solid colour, leaving the DC's colour as it was.
    static void FillSolid(HDC hDC, const RECT& rect, COLORREF clr)
    {
        const COLORREF clrOld = ::SetBkColor(hDC, clr);
        ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        ::SetBkColor(hDC, clrOld);
    }
};
