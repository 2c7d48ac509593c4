// CPngReader: PNG pictures, decoded once with libpng into rows of blue, green,
// red (and alpha) bytes. Drawing blends the alpha channel itself, pixel by
// pixel, against a copy of a background DC or a solid colour.
#pragma once

#include "collection/GraphicalFormatReader.h"

// Thrown (by pointer) from libpng's error callback to leave libpng; the
// decoder catches and deletes it. libpng is built with -fexceptions so that
// it can cross libpng's frames.
class CPngException
{
};

class CPngReader : public CGraphicalFormatReader
{
public:
    CPngReader() {}
    ~CPngReader() override;

    BOOL Load(const BYTE* pData, uint32_t nSize, BOOL bKeepAllFrames) override;
    void DropExtraFrames() override {}
    BOOL IsLoaded() const override { return m_pBuffer != nullptr; }
    BYTE GetCrop() const override { return m_nCrop; }
    void SetCrop(BYTE nCrop) override { m_nCrop = nCrop; }
    int GetFrameCount() const override { return m_pBuffer ? 1 : 0; }
    CSize GetSize() const override;
    uint32_t GetSourceSize() const override { return m_nSourceSize; }
    uint32_t GetMemorySize() const override { return 36 + (m_pBuffer ? m_nBufferSize : 0); }
    int DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) override;
    BOOL Draw(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) override;
    BOOL DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) override;
    BOOL DrawMask(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) override;
    const BITMAPINFOHEADER* GetFrameDib() const override { return nullptr; }
    int GetCurrentFrame() const override { return 0; }
    BOOL SetCurrentFrame(int) override { return TRUE; }
    BOOL HasTransparency(int) const override { return m_nChannels == 4; }

    int GetChannels() const { return m_nChannels; }
    // Row y (top-down) of the decoded pixels.
    const BYTE* GetRow(int y) const { return m_pBuffer + size_t(y) * m_nRowBytes; }
    void CopyFrom(const CPngReader& src);

private:
    void Empty();

    BYTE* m_pBuffer = nullptr;       // rows top-down
    uint32_t m_nBufferSize = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nChannels = 0;             // 3, or 4 with alpha
    uint32_t m_nRowBytes = 0;
    BYTE m_nCrop = 0;
    uint32_t m_nSourceSize = 0;

    CPngReader(const CPngReader&) = delete;
    CPngReader& operator=(const CPngReader&) = delete;
};
