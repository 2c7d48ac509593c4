// CImageReader: holds at most one picture reader with its format, picks the
// reader from the first bytes of the data and loads from memory, from a file
// or from a module resource. A failed load leaves the holder as it was.
#pragma once

#include <utility>

#include "collection/GraphicalFormatReader.h"
#include "collection/Sequence.h"

class CImageReader
{
public:
    enum GRAPHICALFORMAT {
        none = 0,
        bmp = 1,
        gif = 2,
        jpg = 3,
        png = 4
    };

    CImageReader() {}
    ~CImageReader();

    CGraphicalFormatReader* GetReader() const { return m_pReader; }
    GRAPHICALFORMAT GetFormat() const { return m_nFormat; }

    // Draws the first frame scaled into the rectangle; FALSE when empty.
    BOOL DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect) const;

    // The format by the signature of the first bytes; none when unknown.
    static GRAPHICALFORMAT DetectFormat(const BYTE* pData, uint32_t nSize);
    static BOOL LoadFromMemory(const BYTE* pData, CImageReader& holder, uint32_t nSize, BOOL bKeepAllFrames);
    // The whole file of at least 12 bytes, read at once.
    static BOOL LoadFromFile(LPCTSTR pszPath, CImageReader& holder, BOOL bKeepAllFrames);
    // A resource of more than 11 bytes; first frame only.
    static BOOL LoadFromResource(LPCTSTR pszType, LPCTSTR pszName, HMODULE hModule, CImageReader& holder);
    // Empties the target, then gives it a deep copy of the source's reader.
    static CImageReader& Copy(CImageReader& target, const CImageReader& source);
    // Exchanges the two holders' readers (nothing is copied).
    static void Swap(CImageReader& a, CImageReader& b)
    {
        std::swap(a.m_pReader, b.m_pReader);
        std::swap(a.m_nFormat, b.m_nFormat);
    }
    static BOOL IsLoaded(const CImageReader& holder);
    static LPCTSTR GetExtension(GRAPHICALFORMAT nFormat);
    static BOOL IsSupportedExtension(LPCTSTR pszExtension);
    // gif, bmp, jpg, png: the order of the file-type lists.
    static void GetFormats(CSequence<GRAPHICALFORMAT>& formats);

private:
    static CGraphicalFormatReader* NewReader(GRAPHICALFORMAT nFormat);

    CGraphicalFormatReader* m_pReader = nullptr;
    GRAPHICALFORMAT m_nFormat = none;

    CImageReader(const CImageReader&) = delete;
    CImageReader& operator=(const CImageReader&) = delete;
};
