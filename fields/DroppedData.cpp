// Reading the formats of a drop or a paste. Each block fetched from the data
// object is a copy that this code owns: it is read only within its real size
// (GlobalSize), then unlocked and freed, also when an allocation throws.
#include "fields/DroppedData.h"

#include "collection/ImageReader.h"
#include "delivery/SourceText.h"
#include "fields/ForeignFocus.h"
#include "framework/OleDataObject.h"
#include "ui3d/system/SysUtils.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

namespace {

const int kMaxTextChars = 10000;
// A data object's enumerator is another program's code: stop listening
// after this many formats rather than loop forever on a broken one.
const int kMaxFormats = 1024;
const IMGSIZELIMITS kHtmlTagLimits = {2, 2, 32768, 32768};

// The data of one format as a locked copy, freed when the scope ends.
class CDroppedBlock
{
public:
    CDroppedBlock(COleDataObject* pData, CLIPFORMAT cf)
    {
        m_hGlobal = pData->GetGlobalData(cf);
        if (m_hGlobal == NULL)
            return;
        m_pBytes = static_cast<const BYTE*>(GlobalLock(m_hGlobal));
        if (m_pBytes != NULL)
            m_cb = GlobalSize(m_hGlobal);
    }
    ~CDroppedBlock()
    {
        if (m_pBytes != NULL)
            GlobalUnlock(m_hGlobal);
        if (m_hGlobal != NULL)
            GlobalFree(m_hGlobal);
    }
    bool IsValid() const { return m_pBytes != NULL; }
    const BYTE* Bytes() const { return m_pBytes; }
    SIZE_T Size() const { return m_cb; }
    // The bytes up to the first zero, or all of them when there is none.
    CString AnsiText(SIZE_T nMaxChars = SIZE_T(-1)) const
    {
        if (m_pBytes == NULL)
            return CString();
        SIZE_T nMax = m_cb < nMaxChars ? m_cb : nMaxChars;
        if (nMax > SIZE_T(0x7FFFFFFF))
            nMax = 0x7FFFFFFF;
        const char* p = reinterpret_cast<const char*>(m_pBytes);
        return CString(p, int(strnlen(p, nMax)));
    }

private:
    HGLOBAL m_hGlobal = NULL;
    const BYTE* m_pBytes = NULL;
    SIZE_T m_cb = 0;

    CDroppedBlock(const CDroppedBlock&) = delete;
    CDroppedBlock& operator=(const CDroppedBlock&) = delete;
};

// Calls f(cfFormat) for every format the data offers, in its order.
template <class F> void ForEachFormat(COleDataObject* pData, F f)
{
    pData->BeginEnumFormats();
    FORMATETC fe;
    for (int n = 0; n < kMaxFormats && pData->GetNextFormat(&fe); n++) {
        if (fe.ptd != NULL)
            CoTaskMemFree(fe.ptd);
        f(fe.cfFormat);
    }
}

// The zero-terminated strings from nOffset on, up to the empty one that ends
// the list. A string whose zero lies outside the block is left out.
template <class Ch> void ReadStringList(const BYTE* pBytes, SIZE_T cb, SIZE_T nOffset,
                                        CSequence<CString>& paths)
{
    if (nOffset >= cb)
        return;
    std::vector<Ch> chars((cb - nOffset) / sizeof(Ch));
    if (chars.empty())
        return;
    memcpy(chars.data(), pBytes + nOffset, chars.size() * sizeof(Ch));
    size_t i = 0;
    while (i < chars.size() && chars[i] != 0) {
        size_t nEnd = i;
        while (nEnd < chars.size() && chars[nEnd] != 0)
            nEnd++;
        if (nEnd == chars.size())
            break;
        if constexpr (sizeof(Ch) == 1)
            paths.Add(CString(reinterpret_cast<const char*>(&chars[i]), int(nEnd - i)));
        else
            paths.Add(WideToAnsi(reinterpret_cast<const WCHAR*>(&chars[i]), int(nEnd - i)));
        i = nEnd + 1;
    }
}

// The paths of a CF_HDROP block (a DROPFILES header, then the names).
void ReadFileList(COleDataObject* pData, CSequence<CString>& paths)
{
    CDroppedBlock block(pData, CF_HDROP);
    if (!block.IsValid() || block.Size() < sizeof(DROPFILES))
        return;
    DROPFILES header;
    memcpy(&header, block.Bytes(), sizeof(header));
    if (header.fWide)
        ReadStringList<WCHAR>(block.Bytes(), block.Size(), header.pFiles, paths);
    else
        ReadStringList<char>(block.Bytes(), block.Size(), header.pFiles, paths);
}

// Width and height from a CF_DIB header that looks like one; 0, 0 otherwise.
void ReadBitmapSize(COleDataObject* pData, LONG& nWidth, LONG& nHeight)
{
    CDroppedBlock block(pData, CF_DIB);
    if (!block.IsValid() || block.Size() < sizeof(DWORD))
        return;
    DWORD cbHeader = 0;
    memcpy(&cbHeader, block.Bytes(), sizeof(cbHeader));
    if ((cbHeader != 40 && cbHeader != 108 && cbHeader != 124) || block.Size() < cbHeader)
        return;
    BITMAPINFOHEADER bih;
    memcpy(&bih, block.Bytes(), sizeof(bih));
    if (bih.biPlanes != 1 || bih.biBitCount > 32 || bih.biWidth <= 0 || bih.biHeight == 0 ||
        bih.biHeight == LONG(0x80000000))
        return;
    // A negative height is a top-down bitmap of that many rows.
    nWidth = bih.biWidth;
    nHeight = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
}

bool IsPictureExtension(const char* pszExt)
{
    return CImageReader::IsSupportedExtension(pszExt) != FALSE;
}

// The extension of a name; NULL for none (a trailing dot names none either).
const char* ExtensionOf(const char* pszName)
{
    const char* pszExt = GetFileExtension(pszName);
    return pszExt != NULL && *pszExt != '\0' ? pszExt : NULL;
}

// Files we can read: pictures, and files without an extension (a browser's
// cache keeps pictures under such names).
bool IsPictureFileName(const char* pszPath)
{
    const char* pszExt = ExtensionOf(pszPath);
    return pszExt == NULL || IsPictureExtension(pszExt);
}

// The name a browser's cache gave a downloaded picture, back to the name in
// the page: "smile[1].gif" is "smile.gif".
CString CacheNameToPageName(const CString& strPath)
{
    CString strName = strPath.Mid(FindLastSeparator(strPath) + 1);
    const int nClose = strName.ReverseFind(']');
    if (nClose < 0)
        return strName;
    int nOpen = nClose;
    while (nOpen > 0 && strName[nOpen - 1] >= '0' && strName[nOpen - 1] <= '9')
        nOpen--;
    if (nOpen > 0 && strName[nOpen - 1] == '[')
        strName.Delete(nOpen - 1, nClose - nOpen + 2);
    return strName;
}

int FindPath(const CSequence<ODOIMGINFO>& list, const CString& strPath)
{
    for (int i = 0; i < list.GetSize(); i++) {
        if (list[i].strPath.CompareNoCase(strPath) == 0)
            return i;
    }
    return -1;
}

// Gives each dropped file to the first tag record of the same web name that
// has no file yet; files that match no tag are not taken.
void MatchFilesToTags(const CSequence<CString>& paths, CSequence<ODOIMGINFO>& records)
{
    for (int f = 0; f < paths.GetSize(); f++) {
        const CString strName = CacheNameToPageName(paths[f]);
        for (int r = 0; r < records.GetSize(); r++) {
            ODOIMGINFO& rec = records[r];
            if (rec.strUrl.IsEmpty() || !rec.strPath.IsEmpty())
                continue;
            if (rec.strUrl.Mid(FindLastSeparator(rec.strUrl) + 1).CompareNoCase(strName) == 0) {
                rec.strPath = paths[f];
                break;
            }
        }
    }
}

// A web address naming something else than a picture, or a file that is
// none, cannot become a smilie.
bool IsUnusableRecord(const ODOIMGINFO& rec)
{
    const char* pszUrlExt = rec.strUrl.IsEmpty() ? NULL : ExtensionOf(rec.strUrl);
    if (pszUrlExt != NULL && !IsPictureExtension(pszUrlExt))
        return true;
    const char* pszPathExt = rec.strPath.IsEmpty() ? NULL : ExtensionOf(rec.strPath);
    return pszPathExt != NULL && !IsPictureExtension(pszPathExt);
}

// Addresses that name a picture (or a movie) directly; any other address may
// be a link around one.
bool IsDirectPictureAddress(const CString& strUrl)
{
    static const char* const kExtensions[] = {"jpg", "jpeg", "bmp", "gif", "tif", "png", "swf"};
    const char* pszExt = ExtensionOf(strUrl);
    if (pszExt == NULL)
        return false;
    for (const char* psz : kExtensions) {
        if (lstrcmpiA(pszExt, psz) == 0)
            return true;
    }
    return false;
}

void AddRecord(CSequence<ODOIMGINFO>& list, const CString& strUrl, const CString& strPath)
{
    ODOIMGINFO rec;
    rec.strUrl = strUrl;
    rec.strPath = strPath;
    list.Add(rec);
}

} // namespace

void FreeImageInfoList(CSequence<ODOIMGINFO>& list)
{
    list.RemoveAll();
}

BOOL HasDroppedPictures(COleDataObject* pData)
{
    bool bFound = false;
    bool bFilesRead = false;
    ForEachFormat(pData, [&](CLIPFORMAT cf) {
        if (bFound)
            return;
        if (cf == GetHtmlClipFormat() || cf == GetUrlClipFormat()) {
            bFound = true;
        } else if (cf == CF_HDROP && !bFilesRead) {
            bFilesRead = true;
            CSequence<CString> paths;
            ReadFileList(pData, paths);
            for (int i = 0; i < paths.GetSize() && !bFound; i++)
                bFound = IsPictureFileName(paths[i]);
        }
    });
    return bFound;
}

BOOL HasDroppedText(COleDataObject* pData)
{
    return pData->IsDataAvailable(CF_TEXT) || pData->IsDataAvailable(CF_UNICODETEXT);
}

int ReadDroppedImages(CSequence<ODOIMGINFO>& list, COleDataObject* pData)
{
    CSequence<CString> paths;
    CSequence<IMGLINKINFO> tags;
    bool bFilesRead = false;
    LONG nDibWidth = 0, nDibHeight = 0;
    ForEachFormat(pData, [&](CLIPFORMAT cf) {
        if (cf == CF_HDROP && !bFilesRead) {
            bFilesRead = true;
            ReadFileList(pData, paths);
        } else if (cf == GetHtmlClipFormat() && tags.GetSize() == 0) {
            CDroppedBlock block(pData, cf);
            ParseHtmlFragment(block.AnsiText(), tags, &kHtmlTagLimits);
        } else if (cf == CF_DIB) {
            ReadBitmapSize(pData, nDibWidth, nDibHeight);
        }
    });

    CSequence<ODOIMGINFO> records;
    if (tags.GetSize() > 0) {
        for (int i = 0; i < tags.GetSize(); i++) {
            ODOIMGINFO rec;
            if (_strnicmp(tags[i].strSource, "http:", 5) == 0 || _strnicmp(tags[i].strSource, "https:", 6) == 0)
                rec.strUrl = tags[i].strSource;
            else
                rec.strPath = tags[i].strSource;
            rec.nWidth = tags[i].nWidth;
            rec.nHeight = tags[i].nHeight;
            records.Add(rec);
        }
        MatchFilesToTags(paths, records);
    } else {
        for (int i = 0; i < paths.GetSize(); i++) {
            if (FindPath(records, paths[i]) < 0)
                AddRecord(records, CString(), paths[i]);
        }
    }
    if (records.GetSize() == 1 && nDibWidth != 0 && nDibHeight != 0) {
        records[0].nWidth = nDibWidth;
        records[0].nHeight = nDibHeight;
    }
    for (int i = records.GetSize() - 1; i >= 0; i--) {
        if (IsUnusableRecord(records[i]))
            records.RemoveAt(i);
    }
    list = records;
    return list.GetSize();
}

BOOL GetDroppedUrl(COleDataObject* pData, CString& strUrl)
{
    CDroppedBlock block(pData, GetUrlClipFormat());
    strUrl = block.AnsiText();
    return !strUrl.IsEmpty();
}

BOOL GetDroppedText(COleDataObject* pData, CString& strText)
{
    strText.Empty();
    if (pData->IsDataAvailable(CF_UNICODETEXT)) {
        CDroppedBlock block(pData, CF_UNICODETEXT);
        const SIZE_T nUnits = block.Size() / sizeof(WCHAR);
        std::vector<WCHAR> chars(nUnits < SIZE_T(kMaxTextChars) ? nUnits : SIZE_T(kMaxTextChars));
        if (!chars.empty())
            memcpy(chars.data(), block.Bytes(), chars.size() * sizeof(WCHAR));
        size_t n = 0;
        while (n < chars.size() && chars[n] != 0)
            n++;
        if (n > 0)
            strText = WideToAnsi(chars.data(), int(n));
    }
    if (strText.IsEmpty() && pData->IsDataAvailable(CF_TEXT)) {
        CDroppedBlock block(pData, CF_TEXT);
        strText = block.AnsiText();
        // Count characters, not bytes: a double-byte character is one and is
        // never split.
        int nChars = 0, i = 0;
        const int nLength = strText.GetLength();
        while (i < nLength && nChars < kMaxTextChars) {
            i += (IsDBCSLeadByte(BYTE(strText[i])) && i + 1 < nLength) ? 2 : 1;
            nChars++;
        }
        if (i < nLength)
            strText = strText.Left(i);
    }
    return !strText.IsEmpty();
}

int ReadDroppedData(COleDataObject* pData, CSequence<ODOIMGINFO>& list, CString& strText)
{
    FreeImageInfoList(list);
    strText.Empty();
    if (ReadDroppedImages(list, pData) > 0)
        return 1;

    CString strFound;
    if (GetDroppedUrl(pData, strFound)) {
        if (!IsDirectPictureAddress(strFound)) {
            // A link dragged out of a page: ask the browser which picture it
            // wraps, at the point the drag started when the hook saw it there.
            const HWND hTarget = GetForeignTarget();
            POINT pt = {-1, -1};
            POINT ptBrowser;
            if (hTarget != NULL && GetForeignBrowser(&ptBrowser) == hTarget)
                pt = ptBrowser;
            ResolveLinkedImage(hTarget, strFound, pt.x, pt.y);
        }
        AddRecord(list, strFound, CString());
        return 1;
    }

    if (GetDroppedText(pData, strFound)) {
        CString strAddress;
        if (ExtractWebAddress(strFound, strAddress))
            AddRecord(list, strAddress, CString());
        else
            strText = strFound;
        return 1;
    }
    return 0;
}
