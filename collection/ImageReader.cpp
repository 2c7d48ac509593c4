#include "collection/ImageReader.h"

#include "collection/BmpReader.h"
#include "collection/GifReader.h"
#include "collection/JpegReader.h"
#include "collection/PngReader.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

CImageReader::~CImageReader()
{
    delete m_pReader;
}

BOOL CImageReader::DrawStretched(CDC* pDC, HDRAWDIB hDrawDib, const CRect& rect) const
{
    return m_pReader ? m_pReader->DrawStretched(pDC, hDrawDib, rect, 0) : FALSE;
}

CImageReader::GRAPHICALFORMAT CImageReader::DetectFormat(const BYTE* p, uint32_t nSize)
{
    if (!p)
        return none;
    if (nSize > 5 && (memcmp(p, "GIF87a", 6) == 0 || memcmp(p, "GIF89a", 6) == 0))
        return gif;
    if (nSize > 1 && p[0] == 'B' && p[1] == 'M')
        return bmp;
    if (nSize > 10 && p[0] == 0xFF && p[1] == 0xD8 &&
        ((p[2] == 0xFF && p[3] == 0xE0 && memcmp(p + 6, "JFIF", 5) == 0) ||
         (p[2] == 0xFF && p[3] == 0xE1 && memcmp(p + 6, "Exif", 5) == 0)))
        return jpg;
    if (nSize > 0 && png_sig_cmp(p, 0, nSize < 8 ? nSize : 8) == 0)
        return png;
    return none;
}

CGraphicalFormatReader* CImageReader::NewReader(GRAPHICALFORMAT nFormat)
{
    switch (nFormat) {
    case bmp:
        return new (std::nothrow) CBmpReader;
    case gif:
        return new (std::nothrow) CGifReader;
    case jpg:
        return new (std::nothrow) CJpegReader;
    case png:
        return new (std::nothrow) CPngReader;
    default:
        return nullptr;
    }
}

BOOL CImageReader::LoadFromMemory(const BYTE* pData, CImageReader& holder, uint32_t nSize, BOOL bKeepAllFrames)
{
    const GRAPHICALFORMAT nFormat = DetectFormat(pData, nSize);
    CGraphicalFormatReader* pReader = NewReader(nFormat);
    if (!pReader)
        return FALSE;
    if (!pReader->Load(pData, nSize, bKeepAllFrames)) {
        delete pReader;
        return FALSE;
    }
    delete holder.m_pReader;
    holder.m_pReader = pReader;
    holder.m_nFormat = nFormat;
    return TRUE;
}

BOOL CImageReader::LoadFromFile(LPCTSTR pszPath, CImageReader& holder, BOOL bKeepAllFrames)
{
    if (!pszPath)
        return FALSE;
    // Share-deny-write: nobody changes the file while it is read.
    const HANDLE hFile = ::CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL bOk = FALSE;
    LARGE_INTEGER nLength;
    if (::GetFileSizeEx(hFile, &nLength) && nLength.QuadPart >= 12 && nLength.QuadPart <= 0x7FFFFFFF) {
        const DWORD nSize = DWORD(nLength.QuadPart);
        BYTE* pBuffer = static_cast<BYTE*>(malloc(nSize));
        DWORD nRead = 0;
        if (pBuffer && ::ReadFile(hFile, pBuffer, nSize, &nRead, nullptr) && nRead == nSize)
            bOk = LoadFromMemory(pBuffer, holder, nSize, bKeepAllFrames);
        free(pBuffer);
    }
    ::CloseHandle(hFile);
    return bOk;
}

BOOL CImageReader::LoadFromResource(LPCTSTR pszType, LPCTSTR pszName, HMODULE hModule, CImageReader& holder)
{
    const HRSRC hInfo = ::FindResourceA(hModule, pszName, pszType);
    if (!hInfo)
        return FALSE;
    const DWORD nSize = ::SizeofResource(hModule, hInfo);
    const HGLOBAL hRes = ::LoadResource(hModule, hInfo);
    const BYTE* pData = hRes ? static_cast<const BYTE*>(::LockResource(hRes)) : nullptr;
    if (!pData || nSize <= 11)
        return FALSE;
    return LoadFromMemory(pData, holder, nSize, FALSE);
}

CImageReader& CImageReader::Copy(CImageReader& target, const CImageReader& source)
{
    if (&target == &source)
        return target;
    delete target.m_pReader;
    target.m_pReader = nullptr;
    target.m_nFormat = none;
    if (!source.m_pReader)
        return target;
    CGraphicalFormatReader* pReader = NewReader(source.m_nFormat);
    if (!pReader)
        return target;
    switch (source.m_nFormat) {
    case bmp:
        static_cast<CBmpReader*>(pReader)->CopyFrom(*static_cast<const CBmpReader*>(source.m_pReader));
        break;
    case gif:
        static_cast<CGifReader*>(pReader)->CopyFrom(*static_cast<const CGifReader*>(source.m_pReader));
        break;
    case jpg:
        static_cast<CJpegReader*>(pReader)->CopyFrom(*static_cast<const CJpegReader*>(source.m_pReader));
        break;
    case png:
        static_cast<CPngReader*>(pReader)->CopyFrom(*static_cast<const CPngReader*>(source.m_pReader));
        break;
    default:
        break;
    }
    target.m_pReader = pReader;
    target.m_nFormat = source.m_nFormat;
    return target;
}

BOOL CImageReader::IsLoaded(const CImageReader& holder)
{
    return holder.m_pReader && holder.m_pReader->IsLoaded();
}

LPCTSTR CImageReader::GetExtension(GRAPHICALFORMAT nFormat)
{
    switch (nFormat) {
    case bmp:
        return "bmp";
    case gif:
        return "gif";
    case jpg:
        return "jpg";
    case png:
        return "png";
    default:
        return nullptr;
    }
}

BOOL CImageReader::IsSupportedExtension(LPCTSTR pszExtension)
{
    if (!pszExtension)
        return FALSE;
    static const char* const kExtensions[] = {"bmp", "gif", "png", "jpg", "jpeg"};
    for (const char* psz : kExtensions) {
        if (lstrcmpiA(pszExtension, psz) == 0)
            return TRUE;
    }
    return FALSE;
}

void CImageReader::GetFormats(CSequence<GRAPHICALFORMAT>& formats)
{
    formats.RemoveAll();
    formats.Add(gif);
    formats.Add(bmp);
    formats.Add(jpg);
    formats.Add(png);
}
