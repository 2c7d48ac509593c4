// The HTML side of a drop: a browser puts the dragged or copied part of a page
// on the clipboard as CF_HTML, a text with a header ("Version:", offsets,
// "SourceURL:" naming the page) followed by the markup. The image tags of the
// markup name the pictures; relative ones are resolved against the page's
// folder.
#include "fields/DroppedData.h"

#include <cstring>

namespace {

const int kMaxTagLength = 4096;       // '<' to '>' inclusive; longer tags are no pictures we want
const int kMaxSourceUrlLength = 1024;

bool IsTagBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

bool StartsNoCase(const char* psz, const char* pszPrefix)
{
    return _strnicmp(psz, pszPrefix, strlen(pszPrefix)) == 0;
}

// A decimal attribute value, an opening double quote skipped; saturates
// instead of overflowing.
LONG ReadNumber(const char* p)
{
    if (*p == '"')
        p++;
    LONG n = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        n = n > (0x7FFFFFFF - 9) / 10 ? 0x7FFFFFFF : n * 10 + (*p - '0');
    return n;
}

// Reads the source, width and height of the tag text between '<' and '>'.
void ReadTag(const CString& strTag, IMGLINKINFO& tag, bool& bHasSource)
{
    bHasSource = false;
    bool bSourceSeen = false;
    const char* p = strTag;
    while (*p != '\0') {
        while (IsTagBlank(*p))
            p++;
        const char* pEnd = p;
        while (*pEnd != '\0' && !IsTagBlank(*pEnd))
            pEnd++;
        const CString strToken(p, int(pEnd - p));
        if (!bSourceSeen && StartsNoCase(strToken, "src=\"")) {
            // Only the first src token counts; a source with a blank in it has
            // its closing quote in a later token and is not found.
            bSourceSeen = true;
            const int nClose = strToken.Find('"', 5);
            if (nClose >= 0) {
                tag.strSource = strToken.Mid(5, nClose - 5);
                bHasSource = true;
            }
        } else if (StartsNoCase(strToken, "width=")) {
            tag.nWidth = ReadNumber(static_cast<const char*>(strToken) + 6);
        } else if (StartsNoCase(strToken, "height=")) {
            tag.nHeight = ReadNumber(static_cast<const char*>(strToken) + 7);
        }
        p = pEnd;
    }
}

bool OutsideLimits(const IMGLINKINFO& tag, const IMGSIZELIMITS* pLimits)
{
    if (pLimits == NULL || tag.nWidth == 0 || tag.nHeight == 0)
        return false;
    return tag.nWidth < pLimits->nMinWidth || tag.nWidth > pLimits->nMaxWidth ||
           tag.nHeight < pLimits->nMinHeight || tag.nHeight > pLimits->nMaxHeight;
}

int FindSource(const CSequence<IMGLINKINFO>& list, const CString& strSource)
{
    for (int i = 0; i < list.GetSize(); i++) {
        if (list[i].strSource.CompareNoCase(strSource) == 0)
            return i;
    }
    return -1;
}

// "data:", "javascript:", "ftp:" and the like: a scheme the page's folder
// must not be put in front of.
bool HasOtherScheme(const CString& strSource)
{
    const char* p = strSource;
    if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')))
        return false;
    while ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') ||
           *p == '+' || *p == '-' || *p == '.')
        p++;
    return *p == ':';
}

// The page's folder from the "SourceURL:" header line; where the tag scan
// starts in *pnStart.
CString ReadBaseFolder(const char* pszHtml, int* pnStart)
{
    *pnStart = 0;
    const char* pKey = strstr(pszHtml, "SourceURL:");
    if (pKey == NULL)
        return CString();
    const char* pValue = pKey + strlen("SourceURL:");
    const char* pLineEnd = strpbrk(pValue, "\r\n");
    const char* pFirstTag = strchr(pszHtml, '<');
    if (pLineEnd == NULL || (pFirstTag != NULL && pLineEnd > pFirstTag))
        return CString();
    const int nLength = int(pLineEnd - pValue);
    if (nLength == 0 || nLength >= kMaxSourceUrlLength)
        return CString();
    *pnStart = int(pValue - pszHtml);
    CString strBase(pValue, nLength);
    if (ClassifyUrl(strBase, TRUE) == URL_NEITHER)
        strBase.Empty();
    return strBase;
}

} // namespace

int ClassifyUrl(CString& strText, BOOL bCutToFolder)
{
    strText.Trim(" \t\r\n");
    const int nLength = strText.GetLength();
    const char* p = strText;
    int nResult = URL_NEITHER;
    if ((nLength >= 8 && StartsNoCase(p, "http://")) || (nLength >= 9 && StartsNoCase(p, "https://"))) {
        nResult = URL_WEB;
    } else if (nLength >= 11 && StartsNoCase(p, "file:///") && p[9] == '|' && IsSeparator(p[10])) {
        strText.SetAt(9, ':');
        strText.Delete(0, 8);
        nResult = URL_LOCAL;
    } else if (nLength >= 10 && StartsNoCase(p, "file://") && p[8] == ':' && IsSeparator(p[9])) {
        strText.Delete(0, 7);
        nResult = URL_LOCAL;
    } else if (nLength >= 11 && StartsNoCase(p, "file:///") && p[9] == ':' && IsSeparator(p[10])) {
        // The form browsers write for local pages today ("file:///C:/...").
        strText.Delete(0, 8);
        nResult = URL_LOCAL;
    } else if (nLength >= 3 && p[1] == ':' && IsSeparator(p[2])) {
        nResult = URL_LOCAL;
    }
    if (nResult != URL_NEITHER && bCutToFolder) {
        const int nLast = FindLastSeparator(strText);
        if (nLast >= 0)
            strText = strText.Left(nLast + 1);
    }
    return nResult;
}

int ParseHtmlFragment(const char* pszHtml, CSequence<IMGLINKINFO>& list, const IMGSIZELIMITS* pLimits)
{
    list.RemoveAll();
    if (pszHtml == NULL)
        return 0;
    int nStart = 0;
    const CString strBase = ReadBaseFolder(pszHtml, &nStart);

    for (const char* p = strchr(pszHtml + nStart, '<'); p != NULL; p = strchr(p + 1, '<')) {
        if (!StartsNoCase(p + 1, "img") || !IsTagBlank(p[4]))
            continue;
        const char* pClose = strchr(p, '>');
        if (pClose == NULL)
            break;
        if (pClose - p + 1 > kMaxTagLength) {
            p = pClose;
            continue;
        }
        IMGLINKINFO tag;
        bool bHasSource = false;
        ReadTag(CString(p + 1, int(pClose - p - 1)), tag, bHasSource);
        p = pClose;
        if (!bHasSource || OutsideLimits(tag, pLimits) || FindSource(list, tag.strSource) >= 0 ||
            tag.strSource.FindOneOf("'\"") >= 0)
            continue;
        list.Add(tag);
    }

    const bool bBaseUsable = !strBase.IsEmpty() && IsSeparator(strBase[strBase.GetLength() - 1]);
    for (int i = list.GetSize() - 1; i >= 0; i--) {
        CString& strSource = list[i].strSource;
        if (ClassifyUrl(strSource, FALSE) == URL_NEITHER) {
            if (!bBaseUsable || HasOtherScheme(strSource)) {
                list.RemoveAt(i);
                continue;
            }
            strSource.TrimLeft("\\/");
            strSource.Insert(0, strBase);
        }
    }
    for (int i = list.GetSize() - 1; i >= 0; i--) {
        const CString& strSource = list[i].strSource;
        const int nLength = strSource.GetLength();
        // "pics/a.gif" and "/pics/a.gif" name one picture once resolved.
        if (nLength < 4 || IsSeparator(strSource[0]) || IsSeparator(strSource[nLength - 1]) ||
            FindSource(list, strSource) < i)
            list.RemoveAt(i);
    }
    return list.GetSize();
}
