// CBmpReader: Windows bitmap files ("BM"). The file minus its 14-byte file
// header is kept as a packed DIB and drawn by the GDI, which also interprets
// compression and colour table. The JPEG reader stores its decoded picture in
// the same layout and draws with these operations.
#pragma once

#include "collection/GraphicalFormatReader.h"

class CBmpReader : public CGraphicalFormatReader
{
public:
    CBmpReader() {}
    ~CBmpReader() override;

    BOOL Load(const BYTE* pData, uint32_t nSize, BOOL bKeepAllFrames) override;
    void DropExtraFrames() override {}
    BOOL IsLoaded() const override { return m_pBitmap != nullptr; }
    BYTE GetCrop() const override { return m_nCrop; }
    void SetCrop(BYTE nCrop) override { m_nCrop = nCrop; }
    int GetFrameCount() const override { return m_pBitmap ? 1 : 0; }
    CSize GetSize() const override;
    uint32_t GetSourceSize() const override { return m_nBitmapSize + 14; }
    uint32_t GetMemorySize() const override { return 20 + (m_pBitmap ? m_nBitmapSize : 0); }
    int DrawNextFrame(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) override;
    BOOL Draw(CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack) override;
    BOOL DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) override;
    BOOL DrawMask(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect, int nFrame) override;
    const BITMAPINFOHEADER* GetFrameDib() const override
    {
        return reinterpret_cast<const BITMAPINFOHEADER*>(m_pBitmap);
    }
    int GetCurrentFrame() const override { return 0; }
    BOOL SetCurrentFrame(int) override { return TRUE; }
    BOOL HasTransparency(int) const override { return FALSE; }

    // A deep copy of src; a source without a bitmap (or no memory) empties this one.
    void CopyFrom(const CBmpReader& src);

    // Whether the colour table and the pixel rows that the header of a packed
    // DIB describes lie inside its nSize bytes, with the rows at nBitsOffset.
    static bool DibFits(const BYTE* pDib, uint32_t nSize, uint32_t nBitsOffset);

protected:
    void Empty();
    const BITMAPINFOHEADER* Header() const { return reinterpret_cast<const BITMAPINFOHEADER*>(m_pBitmap); }
    const BYTE* Bits() const { return m_pBitmap + m_nBitsOffset; }

    BYTE* m_pBitmap = nullptr;       // header, colour table, rows
    uint32_t m_nBitmapSize = 0;
    uint32_t m_nBitsOffset = 0;      // from the start of m_pBitmap
    BYTE m_nCrop = 0;

private:
    CBmpReader(const CBmpReader&) = delete;
    CBmpReader& operator=(const CBmpReader&) = delete;
};
