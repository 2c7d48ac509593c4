// Text and file-name helpers of SysUtils.h.
#include "ui3d/system/SysUtils.h"

#include <cstdio>
#include <cstring>
#include <new>
#include "framework/Exception.h"

namespace {

char* AllocChars(size_t nChars)
{
    char* p = new (std::nothrow) char[nChars];
    if (p == NULL)
        AfxThrowMemoryException();
    return p;
}

// WideCharToMultiByte into a new zero-terminated buffer. The output is sized by
// asking the system first: on a double-byte code page one character may take
// two bytes, so the character count is not enough room.
char* ConvertWide(const WCHAR* pw, int nChars, UINT nCodePage, int* pnBytes)
{
    int nNeed = nChars > 0 ? WideCharToMultiByte(nCodePage, 0, pw, nChars, NULL, 0, NULL, NULL) : 0;
    if (nNeed < 0)
        nNeed = 0;
    char* p = AllocChars(static_cast<size_t>(nNeed) + 1);
    int n = nNeed > 0 ? WideCharToMultiByte(nCodePage, 0, pw, nChars, p, nNeed, NULL, NULL) : 0;
    if (n < 0)
        n = 0;
    p[n] = '\0';
    if (pnBytes != NULL)
        *pnBytes = n;
    return p;
}

bool HasByteOrderMark(int nBytes, const void* pBuffer, int nMinBytes)
{
    const BYTE* pb = static_cast<const BYTE*>(pBuffer);
    return pb != NULL && nBytes >= nMinBytes && pb[0] == 0xFF && pb[1] == 0xFE;
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\r' || ch == '\n' || ch == '\t';
}

} // namespace

int ConvertUnicodeTextToAnsi(int nBytes, const void* pBuffer, CString& strOut, UINT nCodePage)
{
    strOut.Empty();
    if (pBuffer == NULL || nBytes <= 0)
        return 0;
    const char* pb = static_cast<const char*>(pBuffer);
    if (HasByteOrderMark(nBytes, pBuffer, 4)) {
        char* p = ConvertWide(reinterpret_cast<const WCHAR*>(pb + 2), nBytes / 2 - 1, nCodePage, NULL);
        strOut = p;  // ends at the first zero
        delete[] p;
    } else if (pb[nBytes - 1] == '\0') {
        strOut = CString(pb, static_cast<int>(strnlen(pb, nBytes)));
    } else {
        strOut = CString(pb, nBytes);
    }
    return strOut.GetLength();
}

char* ConvertUnicodeBufferToAnsi(int nBytes, const void* pBuffer, char** ppOut, UINT nCodePage)
{
    char* p;
    if (nBytes < 0 || pBuffer == NULL)
        nBytes = 0;
    if (HasByteOrderMark(nBytes, pBuffer, 2)) {
        const char* pb = static_cast<const char*>(pBuffer);
        p = ConvertWide(reinterpret_cast<const WCHAR*>(pb + 2), nBytes / 2 - 1, nCodePage, NULL);
    } else {
        p = AllocChars(static_cast<size_t>(nBytes) + 1);
        if (nBytes > 0)
            memcpy(p, pBuffer, nBytes);
        p[nBytes] = '\0';
    }
    if (ppOut != NULL)
        *ppOut = p;
    return p;
}

CString WideToAnsi(const WCHAR* pszWide, int nChars, UINT nCodePage)
{
    if (pszWide == NULL)
        return CString();
    if (nChars < 0)
        nChars = lstrlenW(pszWide);
    int n = 0;
    char* p = ConvertWide(pszWide, nChars, nCodePage, &n);
    CString str(p, n);
    delete[] p;
    return str;
}

char* TrimLeftBlanks(char* psz)
{
    if (psz == NULL)
        return psz;
    char* pStart = psz;
    while (IsBlank(*pStart))
        pStart++;
    if (pStart != psz)
        memmove(psz, pStart, strlen(pStart) + 1);
    return psz;
}

char* TrimRightBlanks(char* psz)
{
    if (psz == NULL)
        return psz;
    size_t n = strlen(psz);
    while (n > 0 && IsBlank(psz[n - 1]))
        n--;
    psz[n] = '\0';
    return psz;
}

// ---- FormatTemplate -------------------------------------------------------------

namespace {

const int kMaxTemplateValues = 99;

struct TemplateValue
{
    const char* pszPlaceholder;
    size_t nPlaceholder;
    char* pszValue;
};

// Reads the triples of the argument list and formats each value. Stops at a NULL
// placeholder, at an unknown conversion and after 99 triples. nCount counts the
// values made so far, so that the caller frees them also when a later one throws.
void ReadTemplateValues(va_list args, TemplateValue* pValues, int& nCount)
{
    nCount = 0;
    while (nCount < kMaxTemplateValues) {
        const char* pszPlaceholder = va_arg(args, const char*);
        if (pszPlaceholder == NULL)
            break;
        const char* pszConversion = va_arg(args, const char*);
        const char* pPercent = pszConversion != NULL ? strchr(pszConversion, '%') : NULL;
        if (pPercent == NULL)
            break;
        char szNumber[64];
        const char* pszText = szNumber;
        switch (pPercent[1]) {
        case 'c':
            szNumber[0] = static_cast<char>(va_arg(args, int));
            szNumber[1] = '\0';
            break;
        case 'd':
            snprintf(szNumber, sizeof(szNumber), "%d", va_arg(args, int));
            break;
        case 'u':
            snprintf(szNumber, sizeof(szNumber), "%u", va_arg(args, unsigned int));
            break;
        case 'f':
            snprintf(szNumber, sizeof(szNumber), "%.7g", va_arg(args, double));
            break;
        case 'l':
            if (pPercent[2] == 'd')
                snprintf(szNumber, sizeof(szNumber), "%ld", va_arg(args, long));
            else if (pPercent[2] == 'u')
                snprintf(szNumber, sizeof(szNumber), "%lu", va_arg(args, unsigned long));
            else
                return;
            break;
        case 's':
            pszText = va_arg(args, const char*);
            if (pszText == NULL)
                pszText = "";
            break;
        default:
            return;
        }
        TemplateValue& value = pValues[nCount];
        value.pszPlaceholder = pszPlaceholder;
        value.nPlaceholder = strlen(pszPlaceholder);
        size_t nText = strlen(pszText);
        value.pszValue = AllocChars(nText + 1);
        memcpy(value.pszValue, pszText, nText + 1);
        nCount++;
    }
}

// Appends up to nLength characters of pch, never past nDestSize - 1.
void AppendCut(char* pszDest, int nDestSize, int& nWritten, const char* pch, size_t nLength)
{
    size_t nRoom = static_cast<size_t>(nDestSize - 1 - nWritten);
    if (nLength > nRoom)
        nLength = nRoom;
    memcpy(pszDest + nWritten, pch, nLength);
    nWritten += static_cast<int>(nLength);
}

} // namespace

int FormatTemplateV(char* pszDest, int nDestSize, const char* pszTemplate, va_list args)
{
    if (pszDest == NULL || nDestSize <= 0)
        return 0;
    pszDest[0] = '\0';
    if (pszTemplate == NULL)
        return 0;

    TemplateValue values[kMaxTemplateValues];
    int nValues = 0;
    int nWritten = 0;
    try {
        ReadTemplateValues(args, values, nValues);
        const char* pLiteral = pszTemplate;
        const char* p = pszTemplate;
        while (*p != '\0') {
            const TemplateValue* pMatch = NULL;
            for (int i = 0; i < nValues; i++) {
                // An empty placeholder would match everywhere without advancing.
                if (values[i].nPlaceholder != 0 &&
                    strncmp(p, values[i].pszPlaceholder, values[i].nPlaceholder) == 0) {
                    pMatch = &values[i];
                    break;
                }
            }
            if (pMatch == NULL) {
                p++;
                continue;
            }
            AppendCut(pszDest, nDestSize, nWritten, pLiteral, p - pLiteral);
            AppendCut(pszDest, nDestSize, nWritten, pMatch->pszValue, strlen(pMatch->pszValue));
            p += pMatch->nPlaceholder;
            pLiteral = p;
        }
        AppendCut(pszDest, nDestSize, nWritten, pLiteral, p - pLiteral);
    } catch (...) {
        for (int i = 0; i < nValues; i++)
            delete[] values[i].pszValue;
        pszDest[nWritten] = '\0';
        throw;
    }
    pszDest[nWritten] = '\0';
    for (int i = 0; i < nValues; i++)
        delete[] values[i].pszValue;
    return nWritten;
}

int FormatTemplate(char* pszDest, int nDestSize, const char* pszTemplate, ...)
{
    va_list args;
    va_start(args, pszTemplate);
    int n = FormatTemplateV(pszDest, nDestSize, pszTemplate, args);
    va_end(args);
    return n;
}

void SetStringFrom(CString& str, const char* psz)
{
    str = psz;
}

// ---- files and folders ------------------------------------------------------------

void GetProgramFolder(CString& strFolder)
{
    strFolder.Empty();
    char szPath[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(NULL, szPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    szPath[n] = '\0';
    const char* pLast = FindLastCharOf(szPath, "\\/");
    if (pLast == NULL)
        return;
    strFolder = CString(szPath, static_cast<int>(pLast - szPath));
}

int CharByteCount(const char* p)
{
    const unsigned char chTrail = static_cast<unsigned char>(p[1]);
    return ::IsDBCSLeadByte(static_cast<BYTE>(p[0])) && chTrail >= 0x40 && chTrail != 0x7F ? 2 : 1;
}

const char* FindLastCharOf(const char* psz, const char* pszSet)
{
    const char* pLast = NULL;
    for (const char* p = psz; p != NULL && *p != '\0'; p += CharByteCount(p)) {
        if (strchr(pszSet, *p) != NULL)
            pLast = p;
    }
    return pLast;
}

namespace {

// Names Windows gives to devices, with or without an extension: a file of
// such a name is the device ("nul.txt" writes into NUL).
bool IsDeviceName(const CString& strName)
{
    int nEnd = strName.Find('.');
    if (nEnd < 0)
        nEnd = strName.GetLength();
    while (nEnd > 0 && strName[nEnd - 1] == ' ')
        nEnd--;
    const CString strStem = strName.Left(nEnd);
    static const char* const kNames[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* psz : kNames)
        if (strStem.CompareNoCase(psz) == 0)
            return true;
    if (strStem.GetLength() != 4 || strStem[3] < '0' || strStem[3] > '9')
        return false;
    const CString strKind = strStem.Left(3);
    return strKind.CompareNoCase("com") == 0 || strKind.CompareNoCase("lpt") == 0;
}

}  // namespace

void MakeValidFileName(CString& strName)
{
    // By character: the second byte of a double-byte character may be a '\'
    // or a '|', and stays.
    CString strOut;
    for (const char* p = strName; *p != '\0';) {
        const int n = CharByteCount(p);
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (n > 1 || (ch >= ' ' && strchr("<>:\"/\\|?*", ch) == NULL))
            strOut += CString(p, n);
        p += n;
    }
    strOut.Trim(' ');
    if (IsDeviceName(strOut))
        strOut.Empty();
    strName = strOut;
}

const char* GetFileExtension(const char* pszName)
{
    if (pszName == NULL)
        return NULL;
    size_t n = strlen(pszName);
    for (size_t i = n; i-- > 1;) {
        unsigned char ch = static_cast<unsigned char>(pszName[i]);
        if (ch > ' ' && ch < 0x7F && !((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') ||
                                       (ch >= 'a' && ch <= 'z')))
            return ch == '.' ? pszName + i + 1 : NULL;
    }
    return NULL;
}

char* ExtractFileTitle(const char* pszPath)
{
    if (pszPath == NULL)
        return NULL;
    const char* pCut = FindLastCharOf(pszPath, "*?<>:\"|\\/");
    const char* pStart = pCut != NULL ? pCut + 1 : pszPath;
    const char* pExt = GetFileExtension(pszPath);
    const char* pEnd = (pExt != NULL && pExt - 1 >= pStart) ? pExt - 1 : pszPath + strlen(pszPath);
    if (pEnd <= pStart)
        return NULL;
    size_t n = pEnd - pStart;
    char* pTitle = AllocChars(n + 1);
    memcpy(pTitle, pStart, n);
    pTitle[n] = '\0';
    return pTitle;
}

namespace {

// Environment values may name further variables; a value that names itself
// (directly or through others) would otherwise expand for ever.
const int kMaxFolderExpansionDepth = 8;

bool IsFolder(const CString& strPath)
{
    DWORD dw = GetFileAttributesA(strPath);
    return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the levels of pszPath; strBuilt is the path made so far and receives
// the levels of this path. Returns false when a variable could not be expanded,
// which ends the whole call.
bool CreateFolderLevels(const char* pszPath, CString& strBuilt, int nDepth, BOOL& bCreated)
{
    const char* p = pszPath;
    // A path that begins with separators (a root or a network path) keeps them.
    if (strBuilt.IsEmpty()) {
        while (*p == '\\' || *p == '/') {
            strBuilt += '\\';
            p++;
        }
    }
    while (*p != '\0') {
        const char* pEnd = p;
        while (*pEnd != '\0' && *pEnd != '\\' && *pEnd != '/')
            pEnd++;
        CString strPart(p, static_cast<int>(pEnd - p));
        p = *pEnd != '\0' ? pEnd + 1 : pEnd;
        if (strPart.IsEmpty())
            continue;

        int nLength = strPart.GetLength();
        if (nLength > 2 && strPart[0] == '%' && strPart[nLength - 1] == '%') {
            if (nDepth >= kMaxFolderExpansionDepth)
                return false;
            CString strName = strPart.Mid(1, nLength - 2);
            DWORD nNeed = GetEnvironmentVariableA(strName, NULL, 0);
            if (nNeed == 0)
                return false;
            CString strValue;
            DWORD n = GetEnvironmentVariableA(strName, strValue.GetBuffer(nNeed), nNeed);
            strValue.ReleaseBuffer(n < nNeed ? static_cast<int>(n) : 0);
            if (strValue.IsEmpty())
                return false;
            if (!CreateFolderLevels(strValue, strBuilt, nDepth + 1, bCreated))
                return false;
            continue;
        }

        if (!strBuilt.IsEmpty() && strBuilt[strBuilt.GetLength() - 1] != '\\')
            strBuilt += '\\';
        strBuilt += strPart;
        if (!IsFolder(strBuilt) && CreateDirectoryA(strBuilt, NULL))
            bCreated = TRUE;
    }
    return true;
}

} // namespace

BOOL CreateFolderPath(const char* pszPath)
{
    if (pszPath == NULL)
        return FALSE;
    BOOL bCreated = FALSE;
    CString strBuilt;
    CreateFolderLevels(pszPath, strBuilt, 0, bCreated);
    return bCreated;
}

char* StripTrailingSlashes(char* psz)
{
    if (psz == NULL)
        return psz;
    // Forward, by character: the second byte of a double-byte character at the
    // end may be a '\'.
    char* pEnd = psz;
    for (char* p = psz; *p != '\0'; p += CharByteCount(p)) {
        if (*p != '\\' && *p != '/')
            pEnd = p + CharByteCount(p);
    }
    *pEnd = '\0';
    return psz;
}
