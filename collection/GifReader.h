// CGifReader: GIF87a and GIF89a pictures with every frame of an animation.
// Each image block becomes a palette DIB of its own size (a frame) with a
// one-bit mask when it has a transparent colour; the frames keep their
// position, delay and disposal method. Draw composes the animation frame by
// frame into a DC that the caller keeps between calls.
#pragma once

#include <vector>

#include "collection/GraphicalFormatReader.h"
#include "collection/Sequence.h"

class CGifReader : public CGraphicalFormatReader
{
public:
    // One decoded image block. Plain data: the reader frees the buffers.
    struct CDibFrame
    {
        BYTE* pBitmap;           // packed DIB: header, 2^bpp colours, rows bottom-up
        BYTE* pMask;             // one-bit rows bottom-up, 1 = transparent; or null
        uint32_t nBitmapSize;
        uint32_t nMaskSize;
        uint16_t nLeft;
        uint16_t nTop;
        uint16_t nDelay;         // milliseconds
        BYTE nDisposal;          // 0 to 7 as in the file
        COLORREF clr;            // transparent colour, else the screen's background colour
    };

    CGifReader() {}
    ~CGifReader() override;

    BOOL Load(const BYTE* pData, uint32_t nSize, BOOL bKeepAllFrames) override;
    void DropExtraFrames() override;
    BOOL IsLoaded() const override { return m_frames.GetSize() != 0; }
    BYTE GetCrop() const override { return m_nCrop; }
    void SetCrop(BYTE nCrop) override { m_nCrop = nCrop; }
    int GetFrameCount() const override { return m_frames.GetSize(); }
    CSize GetSize() const override;
    uint32_t GetSourceSize() const override { return m_nSourceSize; }
    uint32_t GetMemorySize() const override { return m_nMemorySize; }
    int DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) override;
    BOOL Draw(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) override;
    BOOL DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) override;
    BOOL DrawMask(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) override;
    const BITMAPINFOHEADER* GetFrameDib() const override;
    int GetCurrentFrame() const override { return m_nCurrentFrame; }
    BOOL SetCurrentFrame(int nFrame) override;
    BOOL HasTransparency(int nFrame) const override;
    // The frame's transparency, one byte per pixel (1 = transparent), rows
    // top-down, when the frame is drawn over the whole picture as it stands
    // (no offset, crop or stretch); false otherwise. Reads the decoded mask,
    // without drawing it.
    bool GetWholeFrameMask(int nFrame, std::vector<BYTE>& transparent) const;

    const CDibFrame& GetFrame(int nFrame) const { return m_frames[nFrame]; }
    void CopyFrom(const CGifReader& src);

private:
    struct Visible
    {
        CRect rcDest;            // in picture coordinates
        int xSrc, ySrc;          // source origin of the bottom-up DIB
        int ySrcTop;             // rows skipped from the DIB's top (DrawDib counts from there)
    };
    bool GetVisible(int nFrame, Visible& vis) const;
    void Restore(HDC hDC, const CRect& rc, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) const;
    bool DecodeFrame(const BYTE* pData, uint32_t nSize, uint32_t& nPos, int nTransparent, uint16_t nDelay,
                     BYTE nDisposal, unsigned nFileBpp, BYTE nScreenFlags, BYTE nBackIndex);
    void FreeFrames();
    void Recount();

    CSequence<CDibFrame> m_frames;
    int16_t m_nScreenWidth = 0;
    int16_t m_nScreenHeight = 0;
    uint32_t m_nSourceSize = 0;
    uint32_t m_nMemorySize = 40;
    int16_t m_nCurrentFrame = 0;
    BYTE m_nCrop = 0;

    CGifReader(const CGifReader&) = delete;
    CGifReader& operator=(const CGifReader&) = delete;
};
