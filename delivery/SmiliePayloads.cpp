#include "delivery/SmiliePayloads.h"

#include "services/ShellServices.h"
#include "collection/ImageReader.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "delivery/SourceText.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

const char kTempPrefix[] = "tarvenex-tmp";
// Names tried before giving up. With a tick count of 0 every candidate is the
// same name, so an unbounded search would never end.
const int kMaxTempNameTries = 100;
const int kMaxHtmlClipboard = 10240;
const ULONGLONG kFileTimeHour = 36000000000ULL;     // 100-ns units
const ULONGLONG kTempFileMaxHours = 72;

// The renderers' convention over a finished text: bytes needed with its zero,
// or 0 when the buffer is too small.
int EmitText(const CString& text, char* buffer, int size)
{
    const int nNeeded = text.GetLength() + 1;
    if (buffer == nullptr)
        return nNeeded;
    if (size < nNeeded)
        return 0;
    memcpy(buffer, text.GetString(), size_t(nNeeded));
    return nNeeded;
}

int EmitBytes(const std::vector<BYTE>& bytes, BYTE* buffer, int size)
{
    const int nNeeded = int(bytes.size());
    if (buffer == nullptr)
        return nNeeded;
    if (size < nNeeded)
        return 0;
    memcpy(buffer, bytes.data(), bytes.size());
    return nNeeded;
}

bool IsEmpty(const char* psz)
{
    return psz == nullptr || *psz == '\0';
}

// The characters %d writes for n, its sign included.
int DecimalDigits(int n)
{
    int nDigits = n < 0 ? 2 : 1;
    for (long long u = n < 0 ? -static_cast<long long>(n) : n; u >= 10; u /= 10)
        nDigits++;
    return nDigits;
}

// CF_HTML is UTF-8 whatever the system's code page; paths and addresses come
// in the ANSI code page. Plain ASCII comes out as it went in.
CString AnsiToUtf8(const char* psz)
{
    const int nWide = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    if (nWide <= 1)
        return CString(psz);
    std::vector<WCHAR> wide(size_t(nWide), 0);
    MultiByteToWideChar(CP_ACP, 0, psz, -1, wide.data(), nWide);
    const int nBytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 1)
        return CString(psz);
    std::vector<char> utf8(size_t(nBytes), 0);
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), nBytes, nullptr, nullptr);
    return CString(utf8.data());
}

// A path for a "file:///" address: UTF-8, each byte of a non-ASCII character
// written %hh.
CString FileUrlPath(const char* psz)
{
    const CString utf8 = AnsiToUtf8(psz);
    CString result;
    for (int i = 0; i < utf8.GetLength(); i++) {
        const BYTE b = BYTE(utf8[i]);
        if (b < 0x80)
            result += char(b);
        else
            result.AppendFormat("%%%02X", b);
    }
    return result;
}

// Runs a renderer twice (size, then bytes) into a heap block. false only when
// memory ran out; a renderer that makes nothing leaves the slot empty.
template <class Render> bool RenderInto(PAYLOADBYTES& slot, Render render)
{
    const int nSize = render(nullptr, 0);
    if (nSize <= 0)
        return true;
    BYTE* p = new (std::nothrow) BYTE[size_t(nSize)];
    if (p == nullptr)
        return false;
    if (render(p, nSize) != nSize) {
        delete[] p;
        return true;
    }
    slot.pData = p;
    slot.nSize = UINT(nSize);
    return true;
}

void FreeSlot(PAYLOADBYTES& slot)
{
    delete[] slot.pData;
    slot.pData = nullptr;
    slot.nSize = 0;
}

bool ReadPicture(const CSmilie* picture, std::vector<BYTE>& bytes)
{
    if (picture == nullptr || picture->m_nImageRecord == 0 || g_pCollectionFile == nullptr)
        return false;
    CString strName;
    const uint32_t nSize = g_pCollectionFile->ReadRecord(picture->m_nImageRecord, strName, nullptr);
    if (nSize == 0)
        return false;
    bytes.resize(nSize);
    return g_pCollectionFile->ReadRecord(picture->m_nImageRecord, strName, bytes.data()) == nSize;
}

bool WriteWhole(HANDLE hFile, const std::vector<BYTE>& bytes)
{
    DWORD nWritten = 0;
    return WriteFile(hFile, bytes.data(), DWORD(bytes.size()), &nWritten, nullptr) && nWritten == bytes.size();
}

// The cached picture's crop is switched off while it is measured and drawn at
// its full size, and restored afterwards.
class CFullSizeImage
{
public:
    explicit CFullSizeImage(uint32_t nImageId) : m_nImageId(nImageId)
    {
        if (g_pImgCache != nullptr && m_nImageId != 0) {
            m_nCrop = BYTE(GetCachedImageOption(m_nImageId));
            g_pImgCache->SetImageCrop(m_nImageId, 0);
        }
    }
    ~CFullSizeImage()
    {
        if (g_pImgCache != nullptr && m_nImageId != 0)
            g_pImgCache->SetImageCrop(m_nImageId, m_nCrop);
    }

private:
    uint32_t m_nImageId;
    BYTE m_nCrop = 0;
};

CGraphicalFormatReader* CachedReader(uint32_t nImageId)
{
    if (g_pImgCache == nullptr)
        return nullptr;
    CImgCache::CachedImage* pEntry = g_pImgCache->GetEntry(g_pImgCache->Find(nImageId));
    return pEntry != nullptr && pEntry->pHolder != nullptr ? pEntry->pHolder->GetReader() : nullptr;
}

}   // namespace

void SMILIEPAYLOADS::Free()
{
    delete[] picturePath;
    picturePath = nullptr;
    pictureWidth = pictureHeight = 0;
    for (PAYLOADBYTES* p : {&htmlPage, &incrediMailPage, &htmlMail, &htmlFragmentByAddress, &textHtml,
                            &textHtmlByAddress, &htmlFragment, &netscapeEditor, &dib, &rtf, &htmlMailByAddress,
                            &htmlFragmentSized})
        FreeSlot(*p);
}

// ---- HTML clipboard documents ------------------------------------------------------

int BuildHtmlClipboard(char* buffer, int size, const char* head, const char* imageOpen, const char* path,
                       const char* imageClose, const char* tail)
{
    if (IsEmpty(path))
        return 0;
    const CString strPath = AnsiToUtf8(path);
    path = strPath;
    // The header is 151 characters whatever the numbers; the fragment marker 20, the end marker 18.
    const int nStartHtml = 151;
    const int nStartFragment = nStartHtml + int(strlen(head)) + 20;
    const int nEndFragment = nStartFragment + int(strlen(imageOpen) + strlen(path) + strlen(imageClose));
    const int nEndHtml = nEndFragment + 18 + int(strlen(tail));
    if (nEndHtml >= kMaxHtmlClipboard)
        return 0;
    CString text;
    text.Format("Version:1.0\r\nStartHTML:%09d\r\nEndHTML:%09d\r\nStartFragment:%09d\r\nEndFragment:%09d\r\n"
                "StartSelection:%09d\r\nEndSelection:%09d\r\n",
                nStartHtml, nEndHtml, nStartFragment, nEndFragment, nStartFragment, nEndFragment);
    text += head;
    text += "<!--StartFragment-->";
    text += imageOpen;
    text += path;
    text += imageClose;
    text += "<!--EndFragment-->";
    text += tail;
    return EmitText(text, buffer, size);
}

int RenderHtmlPage(const char* path, char* buffer, int size)
{
    return BuildHtmlClipboard(buffer, size,
                              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n\r\n"
                              "<HTML><HEAD></HEAD>\r\n\r\n<BODY>\r\n\r\n<P>",
                              "<IMG alt=smilie hspace=0 src=\"", path, "\" align=baseline border=0>",
                              "</P></BODY>\r\n</HTML>\r\n");
}

int RenderIncrediMailPage(const char* path, char* buffer, int size)
{
    return BuildHtmlClipboard(buffer, size,
                              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
                              "<HTML><HEAD>\r\n<STYLE></STYLE>\r\n</HEAD>\r\n<BODY>\r\n<DIV>",
                              "<IMG title=\"Click Me\" alt=\"Click Me\" \r\nsrc=\"", path,
                              "\" \r\nborder=0 name=INCREDIINSERTIMAGE INCREDIIMAGEEXTENSIONS=\"\" \r\n"
                              "INCREDIIMAGEATTRIBS=\"\">",
                              "</DIV>\r\n</BODY>\r\n</HTML>\r\n");
}

int RenderHtmlMail(const char* pathOrAddress, char* buffer, int size)
{
    if (IsEmpty(pathOrAddress))
        return 0;
    const CString strUtf8 = AnsiToUtf8(pathOrAddress);
    pathOrAddress = strUtf8;
    const int L = int(strlen(pathOrAddress));
    CString text;
    text.Format("Version:1.0\r\nStartHTML:000000184\r\nEndHTML:%09d\r\nStartFragment:000000376\r\n"
                "EndFragment:%09d\r\nStartSelection:000000376\r\nEndSelection:%09d\r\n"
                "SourceURL:mhtml:mid://00000115/\r\n"
                "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<HTML><HEAD>\r\n"
                "<STYLE></STYLE>\r\n</HEAD>\r\n\r\n<BODY bgColor=#ffffff>\r\n\r\n<DIV>\r\n"
                "<FONT face=Arial size=2>\r\n\r\n<DIV><!--StartFragment--><IMG align=baseline alt=\"\" border=0 "
                "hspace=0 src=\"%s\"><!--EndFragment--></DIV>\r\n</FONT>\r\n</DIV>\r\n</BODY>\r\n</HTML>\r\n",
                L + 489, L + 428, L + 428, pathOrAddress);
    return EmitText(text, buffer, size);
}

int RenderHtmlFragment(const char* path, char* buffer, int size)
{
    if (IsEmpty(path))
        return 0;
    const CString strUrlPath = FileUrlPath(path);
    path = strUrlPath;
    const int L = int(strlen(path));
    CString text;
    text.Format("Version:0.9\r\nStartHTML:00000097\r\nEndHTML:%08d\r\nStartFragment:00000111\r\n"
                "EndFragment:%08d\r\n<html><body>\r\n<!--StartFragment -->\r\n"
                "<img src=\"file:///%s\" alt=\"&lt;SMILIE&gt;\"> \r\n\r\n<!--EndFragment-->\r\n</body>\r\n</html>",
                L + 216, L + 180, path);
    return EmitText(text, buffer, size);
}

int RenderHtmlFragmentByAddress(const char* address, char* buffer, int size)
{
    if (IsEmpty(address))
        return 0;
    const CString strUtf8 = AnsiToUtf8(address);
    address = strUtf8;
    const int L = int(strlen(address));
    CString text;
    text.Format("Version:0.9\r\nStartHTML:00000097\r\nEndHTML:%08d\r\nStartFragment:00000111\r\n"
                "EndFragment:%08d\r\n<html><body>\r\n<!--StartFragment -->\r\n"
                "<img src=\"%s\">\r\n\r\n<!--EndFragment-->\r\n</body>\r\n</html>\r\n",
                L + 186, L + 150, address);
    return EmitText(text, buffer, size);
}

int RenderHtmlFragmentSized(const char* path, int width, int height, char* buffer, int size)
{
    if (IsEmpty(path))
        return 0;
    const CString strUrlPath = FileUrlPath(path);
    path = strUrlPath;
    // The offsets count the digits actually written: a picture may be 65535 wide.
    const int LD = int(strlen(path)) + DecimalDigits(width) + DecimalDigits(height);
    CString text;
    text.Format("Version:0.9\r\nStartHTML:00000097\r\nEndHTML:%08d\r\nStartFragment:00000111\r\n"
                "EndFragment:%08d\r\n<html><body>\r\n<!--StartFragment -->\r\n"
                "<img src=\"file:///%s\" width=%d height=%d alt=\"&lt;SMILIE&gt;\"> \r\n\r\n"
                "<!--EndFragment-->\r\n</body>\r\n</html>",
                LD + 231, LD + 195, path, width, height);
    return EmitText(text, buffer, size);
}

// ---- other formats -----------------------------------------------------------------

int RenderTextHtml(const char* pathOrAddress, BOOL bFromPath, int width, int height, BYTE* buffer, int size)
{
    if (IsEmpty(pathOrAddress))
        return 0;
    CString text;
    text.Format("<img src=\"%s%s\" alt=\"&lt;SMILIE&gt;\" width=\"%d\" height=\"%d\">\r\n",
                bFromPath ? "file:///" : "", pathOrAddress, width, height);
    text.Replace('\\', '/');
    const int nChars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);   // with the zero
    if (nChars <= 0)
        return 0;
    const int nNeeded = nChars * int(sizeof(WCHAR));
    if (buffer == nullptr)
        return nNeeded;
    if (size < nNeeded)
        return 0;
    return MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<WCHAR*>(buffer), nChars) == nChars ? nNeeded
                                                                                                         : 0;
}

int RenderNetscapeEditor(const char* path, int width, int height, BYTE* buffer, int size)
{
    if (IsEmpty(path))
        return 0;
    static const BYTE s_Header[62] = {
        0xAF, 0x54, 0x39, 0xC4, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
        0x06, 0x00, 0x00, 0x00, 0x65, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x3E, 0x00, 0xFF, 0xFF,
        0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    const size_t kSourceAt = 82, kTrailingZeros = 21;
    CString strPath = path;
    strPath.Replace('\\', '/');
    strPath.Replace(':', '|');
    CString source;
    source.Format("SRC=\"file:///%s\" ", strPath.GetString());
    std::vector<BYTE> block(kSourceAt + size_t(source.GetLength()) + kTrailingZeros, 0);
    memcpy(block.data(), s_Header, sizeof(s_Header));
    const auto put32 = [&block](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            block[at + i] = BYTE(v >> (8 * i));
    };
    put32(62, uint32_t(height));
    put32(66, uint32_t(width));
    put32(78, uint32_t(source.GetLength() + 1));
    memcpy(block.data() + kSourceAt, source.GetString(), size_t(source.GetLength()));
    return EmitBytes(block, buffer, size);
}

int RenderRtf(const char* path, int width, int height, char* buffer, int size)
{
    if (IsEmpty(path))
        return 0;
    CString strPath = path;
    strPath.MakeLower();
    strPath.Replace('/', '\\');
    // In the field instruction a backslash is "\\" (RTF) of "\\" (field code).
    strPath.Replace("\\", "\\\\\\\\");
    CString text;
    text.Format("{\\rtf1\\ansi\\deflang1049\\ftnbj\\uc1\r\n"
                "{\\fonttbl{\\f0 \\froman \\fcharset0 Times New Roman;}{\\f1 \\fswiss \\fcharset0 Arial;}}\r\n"
                "{\\colortbl\\red0\\green0\\blue0 ;\\red255\\green255\\blue255 ;\\red0\\green0\\blue0 ;}\r\n"
                "{\\stylesheet{\\fs20\\cf2\\cb1 Normal;}{\\cs1\\cf2\\cb1 Default Paragraph Font;}}\r\n"
                "\\paperw11908\\paperh16833\\margl2207\\margr2207\\margt1440\\margb1440\\headery720\\footery720"
                "\\deftab680\\formshade\\aendnotes\\aftnnrlc\\pgbrdrhead\\pgbrdrfoot\r\n"
                "\\sectd\\pgwsxn12240\\pghsxn15840\\marglsxn2207\\margrsxn2207\\margtsxn1440\\margbsxn1440"
                "\\headery720\\footery720\\sbkpage\\pgncont\\pgndec\r\n"
                "\\plain\\plain\\f1\\fs20\\f0\\fs0{\\sslinkpictw%d\\sslinkpicth%d{\\field{\\fldinst INCLUDEPICTURE "
                "\r\n\"%s\" \\\\d}{\\fldrslt}}}}\r\n",
                width * 15, height * 15, strPath.GetString());
    return EmitText(text, buffer, size);
}

int RenderDib(uint32_t imageId, int width, int height, BYTE* buffer, int size)
{
    if (width <= 0 || height <= 0)
        return 0;
    const uint32_t nStride = (uint32_t(width) * 24 + 31) / 32 * 4;
    const uint64_t nImage = uint64_t(nStride) * uint32_t(height);
    if (nImage > kMaxPictureBytes)
        return 0;
    const int nNeeded = int(sizeof(BITMAPINFOHEADER) + nImage);
    if (buffer == nullptr)
        return nNeeded;
    if (size < nNeeded)
        return 0;
    CGraphicalFormatReader* pReader = CachedReader(imageId);
    if (pReader == nullptr)
        return 0;

    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, width, height);
    ReleaseDC(nullptr, hScreen);
    int nResult = 0;
    if (hMem != nullptr && hBitmap != nullptr) {
        HGDIOBJ hOld = SelectObject(hMem, hBitmap);
        RECT rc = {0, 0, width, height};
        FillRect(hMem, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const int nFrame = pReader->GetCurrentFrame();
        pReader->SetCurrentFrame(0);
        {
            CFullSizeImage full(imageId);
            CDC dc;
            dc.Attach(hMem);
            DrawCachedImage(imageId, &dc, CPoint(0, 0), CPoint(0, 0));
            dc.Detach();
        }
        pReader->SetCurrentFrame(nFrame);
        SelectObject(hMem, hOld);

        BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(buffer);
        memset(pHeader, 0, sizeof(*pHeader));
        pHeader->biSize = sizeof(BITMAPINFOHEADER);
        pHeader->biWidth = width;
        pHeader->biHeight = height;
        pHeader->biPlanes = 1;
        pHeader->biBitCount = 24;
        pHeader->biCompression = BI_RGB;
        pHeader->biSizeImage = DWORD(nImage);
        if (GetDIBits(hMem, hBitmap, 0, UINT(height), buffer + sizeof(BITMAPINFOHEADER),
                      reinterpret_cast<BITMAPINFO*>(pHeader), DIB_RGB_COLORS) == height)
            nResult = nNeeded;
        // GetDIBits may rewrite the header; what is offered is the fixed one.
        pHeader->biSize = sizeof(BITMAPINFOHEADER);
        pHeader->biCompression = BI_RGB;
        pHeader->biSizeImage = DWORD(nImage);
        pHeader->biClrUsed = pHeader->biClrImportant = 0;
    }
    if (hBitmap != nullptr)
        DeleteObject(hBitmap);
    if (hMem != nullptr)
        DeleteDC(hMem);
    return nResult;
}

// ---- temporary files -------------------------------------------------------------

HANDLE CreateTempPictureFile(const char* folder, const char* extension, DWORD tick, CString& path)
{
    path.Empty();
    for (int i = 1; i <= kMaxTempNameTries; i++) {
        CString candidate;
        candidate.Format("%s\\%s%09d.%s", folder, kTempPrefix, int(DWORD(i) * tick), extension);
        // CREATE_NEW tests and creates in one step: no other program can slip
        // a file in between, and an existing file is never overwritten.
        HANDLE h = CreateFileA(candidate, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            path = candidate;
            return h;
        }
        const DWORD nError = GetLastError();
        if (nError != ERROR_FILE_EXISTS && nError != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

int RenderSmiliePayloads(SMILIEPAYLOADS* out, const CSmilie* picture, CString sourceText)
{
    if (out == nullptr)
        return 0;
    const bool bSuppressTextHtml = out->textHtml.pData == nullptr && out->textHtml.nSize == 1;
    out->Free();

    std::vector<BYTE> bytes;
    if (!ReadPicture(picture, bytes))
        return 0;
    const LPCTSTR pszExt = CImageReader::GetExtension(CImageReader::DetectFormat(bytes.data(), uint32_t(bytes.size())));
    if (pszExt == nullptr)
        return 0;
    char szFolder[MAX_PATH];
    if (GetTempFolder(sizeof(szFolder), szFolder) <= 0)
        return 0;
    CString strPath;
    HANDLE hFile = CreateTempPictureFile(szFolder, pszExt, GetTickCount(), strPath);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    const bool bWritten = WriteWhole(hFile, bytes);
    CloseHandle(hFile);
    if (!bWritten) {
        DeleteFileA(strPath);
        return 0;
    }
    out->picturePath = new (std::nothrow) char[size_t(strPath.GetLength()) + 1];
    if (out->picturePath == nullptr)
        return 0;
    memcpy(out->picturePath, strPath.GetString(), size_t(strPath.GetLength()) + 1);

    uint32_t nImageId = 0;
    if (g_pImgCache != nullptr) {
        nImageId = g_pImgCache->AddCollectionImage(picture->m_nImageRecord);
        CFullSizeImage full(nImageId);
        const CSize size = g_pImgCache->GetImageSize(nImageId);
        out->pictureWidth = size.cx;
        out->pictureHeight = size.cy;
    }

    const char* path = out->picturePath;
    const int cx = out->pictureWidth, cy = out->pictureHeight;
    const bool bByAddress = ClassifySourceText(sourceText) == SOURCE_PICTURE_ADDRESS;
    const CString address = sourceText;
    const auto text = [](int (*render)(const char*, char*, int), const char* psz) {
        return [render, psz](BYTE* p, int n) { return render(psz, reinterpret_cast<char*>(p), n); };
    };
    bool ok = RenderInto(out->htmlPage, text(RenderHtmlPage, path)) &&
              RenderInto(out->incrediMailPage, text(RenderIncrediMailPage, path)) &&
              RenderInto(out->htmlMail, text(RenderHtmlMail, path));
    if (ok && bByAddress)
        ok = RenderInto(out->htmlFragmentByAddress, text(RenderHtmlFragmentByAddress, address)) &&
             RenderInto(out->htmlMailByAddress, text(RenderHtmlMail, address));
    if (ok && cx > 0 && cy > 0) {
        if (!bSuppressTextHtml)
            ok = RenderInto(out->textHtml, [&](BYTE* p, int n) { return RenderTextHtml(path, TRUE, cx, cy, p, n); });
        if (ok && bByAddress)
            ok = RenderInto(out->textHtmlByAddress,
                            [&](BYTE* p, int n) { return RenderTextHtml(address, FALSE, cx, cy, p, n); });
        ok = ok && RenderInto(out->htmlFragment, text(RenderHtmlFragment, path)) &&
             RenderInto(out->htmlFragmentSized, [&](BYTE* p, int n) {
                 return RenderHtmlFragmentSized(path, cx, cy, reinterpret_cast<char*>(p), n);
             }) &&
             RenderInto(out->netscapeEditor,
                        [&](BYTE* p, int n) { return RenderNetscapeEditor(path, cx, cy, p, n); }) &&
             RenderInto(out->rtf, [&](BYTE* p, int n) { return RenderRtf(path, cx, cy, reinterpret_cast<char*>(p), n); }) &&
             RenderInto(out->dib, [&](BYTE* p, int n) { return RenderDib(nImageId, cx, cy, p, n); });
    }
    if (!ok) {
        out->Free();
        return 0;
    }
    return 1;
}

// ---- clean-up at exit -------------------------------------------------------------

void DeleteTempFilesIn(const char* folder, const FILETIME& now)
{
    if (IsEmpty(folder))
        return;
    CString pattern;
    pattern.Format("%s\\%s*.*", folder, kTempPrefix);
    const ULONGLONG nNow = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    CSequence<CString> old;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(pattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const ULONGLONG nMade =
            (ULONGLONG(fd.ftCreationTime.dwHighDateTime) << 32) | fd.ftCreationTime.dwLowDateTime;
        if (nMade < nNow && (nNow - nMade) / kFileTimeHour > kTempFileMaxHours) {
            CString strPath;
            strPath.Format("%s\\%s", folder, fd.cFileName);
            old.Add(strPath);
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    // Deleted after the search is closed, so the listing does not change under it.
    for (int i = 0; i < old.GetSize(); i++)
        DeleteFileA(old[i]);
}

void DeleteTempFiles()
{
    char szFolder[MAX_PATH];
    if (GetTempFolder(sizeof(szFolder), szFolder) <= 0)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    DeleteTempFilesIn(szFolder, now);
}
