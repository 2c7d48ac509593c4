// The texts of a smilie: its source (picture path or web address), its phrase,
// the text composed for sending, the rewriting of retired picture addresses,
// and the phrase laid out in lines for its cell.
#include "collection/Smilie.h"

#include "collection/SmilieField.h"
#include "framework/Dc.h"
#include "ui3d/system/SysUtils.h"

#include <cstring>

namespace {

// Addresses of the retired picture server and where their pictures live now.
// An address is rewritten only when the 22 characters after "http:" are
// "//", the server's name and "/"; the rows are then tried in order and the
// last one takes every address of the server that no earlier row matched.
const char kOldServer[] = "//smilies.mordale.net/";
const uint32_t kOldServerAt = 5;             // after "http:"
const uint32_t kOldServerLength = 22;
const uint32_t kPrefixAt = 7;                // after "http://"

struct URLREWRITE
{
    const char* pszOld;
    uint32_t nOld;
    const char* pszNew;
    uint32_t nNew;
};

#define ROW(o, n) {o, sizeof(o) - 1, n, sizeof(n) - 1}
const URLREWRITE kRewrites[17] = {
    ROW("smilies.mordale.net/anim/", "gallery.mordale.net/smilies/animated/"),
    ROW("smilies.mordale.net/big/", "gallery.mordale.net/smilies/large/"),
    ROW("smilies.mordale.net/cats/", "gallery.mordale.net/smilies/animals/cats/"),
    ROW("smilies.mordale.net/dogs/", "gallery.mordale.net/smilies/animals/dogs/"),
    ROW("smilies.mordale.net/food/", "gallery.mordale.net/smilies/food/"),
    ROW("smilies.mordale.net/love/", "gallery.mordale.net/smilies/feelings/love/"),
    ROW("smilies.mordale.net/mad/", "gallery.mordale.net/smilies/feelings/angry/"),
    ROW("smilies.mordale.net/misc/", "gallery.mordale.net/smilies/miscellaneous/"),
    ROW("smilies.mordale.net/sad/", "gallery.mordale.net/smilies/feelings/sad/"),
    ROW("smilies.mordale.net/signs/", "gallery.mordale.net/smilies/signs/"),
    ROW("smilies.mordale.net/sport/", "gallery.mordale.net/smilies/sports/"),
    ROW("smilies.mordale.net/xmas/", "gallery.mordale.net/smilies/seasons/christmas/"),
    ROW("smilies.mordale.net/happy/", "gallery.mordale.net/smilies/feelings/happy/"),
    ROW("smilies.mordale.net/old/", "archive.mordale.net/smilies/classic/"),
    ROW("smilies.mordale.net/s/", "gallery.mordale.net/smilies/small/"),
    ROW("smilies.mordale.net/w/", "gallery.mordale.net/smilies/wide/"),
    ROW("smilies.mordale.net/", "archive.mordale.net/smilies/"),
};
#undef ROW

char* CopyToText(const char* pch, uint32_t nLength)
{
    char* psz = new char[size_t(nLength) + 1];
    if (nLength != 0)
        memcpy(psz, pch, nLength);
    psz[nLength] = '\0';
    return psz;
}

}   // namespace

// ---------------------------------------------------------------------------
// Source and phrase

void CSmilie::GetSource(CString& strSource) const
{
    strSource = m_pszSource;
}

void CSmilie::SetSource(LPCTSTR pszSource)
{
    // The text may be our own source (a smilie assigned from itself).
    char* pszNew = pszSource != NULL && pszSource[0] != '\0' ? CopyToText(pszSource, uint32_t(strlen(pszSource))) : NULL;
    FreeSource();
    m_pszSource = pszNew;
    MarkModified();
}

void CSmilie::SetPhrase(LPCTSTR pszPhrase, BOOL bDropImage)
{
    m_strPhrase = pszPhrase;
    ClearTextLines();
    if (bDropImage) {
        if (m_nImageRecord != 0) {
            DeleteCachedBitmap();
            m_nImageRecord = 0;
            m_nImageId = 0;
            m_nFrameIndex = 0;
            m_nContentState = 1;
        }
        m_nDownloadState = DOWNLOAD_DONE;
    }
    MarkModified();
}

// ---------------------------------------------------------------------------
// Composed text

void CSmilie::ComposeText(CString& strText) const
{
    const bool bPicture = m_nImageRecord != 0;
    const bool bTextOnly = !bPicture && (m_pszSource == NULL || m_pszSource[0] == '\0') && !m_strPhrase.IsEmpty();
    if (!bPicture && !bTextOnly)
        return;

    strText = m_strPhrase;
    if (strText.IsEmpty()) {
        if (m_pField == NULL)
            return;
        m_pField->GetCode(strText);
    }
    if (bTextOnly || strText.IsEmpty())
        return;

    strText.Replace("<SMILIE>", m_pszSource != NULL ? m_pszSource : "");
    CSize size;
    if (GetCroppedImageSize(size)) {
        CString strNumber;
        strNumber.Format("%d", int(size.cx));
        strText.Replace("<W>", strNumber);
        strNumber.Format("%d", int(size.cy));
        strText.Replace("<H>", strNumber);
    }
}

// ---------------------------------------------------------------------------
// Address migration

char* CSmilie::MigrateSourceUrl(const char* pch, uint32_t nLength)
{
    if (nLength > kOldServerAt + kOldServerLength &&
        memcmp(pch + kOldServerAt, kOldServer, kOldServerLength) == 0) {
        for (const URLREWRITE& row : kRewrites) {
            // Only within the text: the bytes come from a record and are not
            // terminated.
            if (kPrefixAt + row.nOld > nLength || memcmp(pch + kPrefixAt, row.pszOld, row.nOld) != 0)
                continue;
            const uint32_t nRest = nLength - kPrefixAt - row.nOld;
            char* psz = new char[kPrefixAt + row.nNew + nRest + 1];
            memcpy(psz, "http://", kPrefixAt);
            memcpy(psz + kPrefixAt, row.pszNew, row.nNew);
            memcpy(psz + kPrefixAt + row.nNew, pch + kPrefixAt + row.nOld, nRest);
            psz[kPrefixAt + row.nNew + nRest] = '\0';
            return psz;
        }
    }
    return CopyToText(pch, nLength);
}

// ---------------------------------------------------------------------------
// Text lines

void CSmilie::LayoutText(LPCTSTR pszText, CSmilie* pSmilie, CDC* pDC)
{
    pSmilie->ClearTextLines();
    if (pszText == NULL || pszText[0] == '\0')
        return;

    CString strText(pszText);
    strText.Replace('\r', ' ');
    strText.Replace('\n', ' ');
    strText.Replace('\t', ' ');
    while (strText.Replace("  ", " ") != 0) {
    }
    strText.Trim(' ');
    if (strText.IsEmpty())
        return;

    TEXTMETRICA tm = {};
    pDC->GetTextMetrics(&tm);
    auto measure = [&](TEXTLINE& line) {
        CRect rc(0, 0, 0, 0);
        pDC->DrawText(line.strText, &rc, DT_SINGLELINE | DT_NOCLIP | DT_CALCRECT);
        line.nWidth = rc.Width();
        line.nHeight = rc.Height() - tm.tmInternalLeading;
        pSmilie->m_nTextHeight += line.nHeight;
    };

    // One line per word; all but the last keep the space that followed them.
    int nStart = 0;
    for (;;) {
        const int nSpace = strText.Find(' ', nStart);
        TEXTLINE line;
        line.strText = nSpace < 0 ? strText.Mid(nStart) : strText.Mid(nStart, nSpace + 1 - nStart);
        measure(line);
        pSmilie->m_TextLines.Add(line);
        if (nSpace < 0)
            break;
        nStart = nSpace + 1;
    }

    // Join neighbours while they fit the picture rectangle together.
    CSequence<TEXTLINE>& lines = pSmilie->m_TextLines;
    const int nAvailable = pSmilie->m_rcImage.Width();
    int j = 0;
    while (j + 1 < lines.GetSize()) {
        TEXTLINE& a = lines[j];
        const TEXTLINE& b = lines[j + 1];
        if (a.nWidth + b.nWidth < nAvailable) {
            a.strText += b.strText;
            a.nWidth += b.nWidth;
            if (b.nHeight > a.nHeight) {
                pSmilie->m_nTextHeight -= a.nHeight;
                a.nHeight = b.nHeight;
            } else {
                pSmilie->m_nTextHeight -= b.nHeight;
            }
            lines.RemoveAt(j + 1);
            if (j > 0)
                j--;
        } else {
            j++;
        }
    }

    if (pSmilie->m_nTextHeight > pSmilie->m_rcImage.Height()) {
        TEXTLINE more;
        more.strText = ".....................";
        measure(more);
        lines.Add(more);
    }
}

// ---------------------------------------------------------------------------
// Picture file names

void CSmilie::BuildImageFileName(CString& strName)
{
    // By character: the second byte of a double-byte character may be a '\\'.
    const CString strFull = GetImageName();
    const char* pszFull = strFull;
    const char* pStart = pszFull;
    const char* pDot = NULL;
    for (const char* p = pszFull; *p != '\0'; p += CharByteCount(p)) {
        if (*p == '\\' || *p == '/') {
            pStart = p + 1;
            pDot = NULL;
        } else if (*p == '.') {
            pDot = p;
        }
    }
    strName = strFull.Mid(static_cast<int>(pStart - pszFull));
    if (pDot != NULL)
        strName = strName.Left(static_cast<int>(pDot - pStart));
}

CString CSmilie::GetImageFileName()
{
    CString strName;
    BuildImageFileName(strName);
    return strName;
}
