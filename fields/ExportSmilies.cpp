#include "fields/ExportSmilies.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "fields/SmiliesField.h"
#include "services/Busy.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "ui3d/dialogs/3DDirDialog.h"
#include "ui3d/dialogs/3DFileDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"

#include <cstring>

DWORD(WINAPI* g_pfnExportFileAttributes)(LPCSTR pszPath) = ::GetFileAttributesA;

namespace {

const char kPageHead[] =
    "<html>\n<head>\n<title>%s</title>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%s\">\n</head>\n<body>";
const char kPageTail[] = "</body>\n</html>";

// Where and how an export writes.
struct EXPORTTARGET
{
    CString strFolder;  // with a trailing separator
    CString strBase;    // the name the user gave one smilie, cleaned; empty for several
    int nMode = EXPORT_FILES;
    CString strTitle;   // the page's title and heading (the field's name)
};

// The names of the files one export has written or tried to write, compared
// as the file system compares them. A file of such a name found in the folder
// is the export's own, never one to ask about.
class CExportNames
{
public:
    BOOL Has(const CString& strName) const
    {
        for (int i = 0; i < m_names.GetSize(); i++)
            if (::lstrcmpiA(m_names[i], strName) == 0)
                return TRUE;
        return FALSE;
    }
    void Add(const CString& strName) { m_names.Add(strName); }

private:
    CSequence<CString> m_names;
};

const BODYSTYLE* DialogBodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

CWnd* ActiveWindow()
{
    return CWnd::FromHandle(::GetActiveWindow());
}

bool HasPicture(const CSmilie* pSmilie)
{
    return pSmilie->m_nImageRecord != 0;
}

// The first n characters of the text, never half of a double-byte one.
CString FirstChars(const CString& str, int n)
{
    const char* p = str;
    for (int i = 0; i < n && *p != '\0'; i++)
        p = ::CharNextA(p);
    return str.Left(static_cast<int>(p - str.GetString()));
}

// Index of the last '\\' or '/' of a path, -1 without; double-byte
// characters are stepped over whole, since their second byte may be a '\\'.
int LastSeparator(const CString& strPath)
{
    int nLast = -1;
    for (const char* p = strPath; *p != '\0'; p += CharByteCount(p))
        if (*p == '\\' || *p == '/')
            nLast = static_cast<int>(p - strPath.GetString());
    return nLast;
}

// The name a smilie proposes for its file, cleaned; empty when it has none.
CString ProposedName(const CSmilie* pSmilie)
{
    // Looking the name up fills the image cache; the smilie stays as it is.
    CString strName = HasPicture(pSmilie) ? const_cast<CSmilie*>(pSmilie)->GetImageFileName()
                                          : FirstChars(pSmilie->m_strPhrase, 8);
    MakeValidFileName(strName);
    return strName;
}

// "gif", "png", ... for a picture; "txt" for a phrase; empty for a picture
// the image cache cannot tell.
CString FileExtension(const CSmilie* pSmilie)
{
    if (!HasPicture(pSmilie))
        return "txt";
    LPCTSTR psz = pSmilie->GetImageExtension();
    return psz != NULL ? psz : "";
}

CString WithExtension(const CString& strName, const CString& strExt)
{
    return strExt.IsEmpty() ? strName : strName + "." + strExt;
}

// The charset name a browser knows for an ANSI code page.
CString CodePageCharset(UINT nCodePage)
{
    static const struct {
        UINT nCodePage;
        const char* pszName;
    } kNames[] = {{932, "shift_jis"}, {936, "gbk"}, {949, "euc-kr"}, {950, "big5"}, {874, "windows-874"},
                  {65001, "utf-8"}};
    for (const auto& name : kNames)
        if (name.nCodePage == nCodePage)
            return name.pszName;
    CString str;
    str.Format("windows-%u", nCodePage);
    return str;
}

}  // namespace

CString EscapePageText(const CString& strText)
{
    CString strOut;
    for (const char* p = strText; *p != '\0';) {
        const int n = CharByteCount(p);
        switch (n == 1 ? *p : '\0') {
        case '&': strOut += "&amp;"; break;
        case '<': strOut += "&lt;"; break;
        case '>': strOut += "&gt;"; break;
        case '"': strOut += "&quot;"; break;
        default: strOut += CString(p, n); break;
        }
        p += n;
    }
    return strOut;
}

CString PageAddress(const CString& strName, BOOL bFileAddress)
{
    CString strOut = bFileAddress ? "file:///" : "";
    for (const char* p = strName; *p != '\0';) {
        const int n = CharByteCount(p);
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (n > 1)
            strOut += CString(p, n);
        else if (bFileAddress && ch == ':')
            strOut += '|';
        else if (bFileAddress && ch == '\\')
            strOut += '/';
        else if (ch <= ' ' || ch == 0x7F || strchr("\"#%&'<>?", ch) != NULL)
            strOut.AppendFormat("%%%02X", ch);
        else
            strOut += *p;
        p += n;
    }
    return strOut;
}

namespace {

// The page's line for one smilie.
CString PageLine(const CSmilie* pSmilie, const CString& strName, const CString& strPath, int nMode)
{
    if (!HasPicture(pSmilie))
        return EscapePageText(pSmilie->m_strPhrase) + "\n";
    const BOOL bFileAddress = nMode == EXPORT_PAGE_ADDRESSES && strPath.GetLength() > 3;
    const CString strSource = PageAddress(bFileAddress ? strPath : strName, bFileAddress);
    // The size of the whole picture: the page shows it uncropped.
    CSize size(0, 0);
    const uint32_t nImageId = g_pImgCache != NULL ? g_pImgCache->AddCollectionImage(pSmilie->m_nImageRecord) : 0;
    if (nImageId != 0) {
        g_pImgCache->SetImageCrop(nImageId, 0);
        size = g_pImgCache->GetImageSize(nImageId);
        g_pImgCache->SetImageCrop(nImageId, pSmilie->m_nCrop);
    }
    CString strLine;
    if (size.cx > 0 && size.cy > 0)
        strLine.Format("<img src=\"%s\" width=\"%d\" height=\"%d\">\n", strSource.GetString(), int(size.cx), int(size.cy));
    else
        strLine.Format("<img src=\"%s\">\n", strSource.GetString());
    return strLine;
}

// Writes the bytes to the path. A path the system cannot take whole is a
// failed write, never a shortened one.
BOOL WriteWholeFile(const CString& strPath, const void* pData, DWORD nSize)
{
    if (strPath.GetLength() >= MAX_PATH)
        return FALSE;
    HANDLE hFile = ::CreateFileA(strPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD nWritten = 0;
    const BOOL bOk = ::WriteFile(hFile, pData, nSize, &nWritten, NULL) && nWritten == nSize;
    return ::CloseHandle(hFile) && bOk;
}

// The smilie's picture bytes or phrase into the file, by the same rule.
BOOL ExportOne(const CSmilie* pSmilie, const CString& strPath)
{
    return strPath.GetLength() < MAX_PATH && pSmilie->ExportToFile(strPath);
}

// The save dialog for one smilie; FALSE when it is not exported.
BOOL AskForFile(const CSmilie* pSmilie, CWnd* pParent, EXPORTTARGET& target)
{
    const bool bPicture = HasPicture(pSmilie);
    if (!bPicture && !IsPhraseSmilie(pSmilie))
        return FALSE;
    const CString strProposal = ProposedName(pSmilie);
    const CString strExt = FileExtension(pSmilie);
    CString strFilter;
    if (bPicture) {
        strFilter = CString(GetLangString(299)) + " (*." + strExt + ")|*." + strExt + "|" + GetLangString(219) +
                    " (*.html, *." + strExt + ")|*.html|" + GetLangString(357) + " (*.html, *." + strExt +
                    ")|*.html||";
    } else {
        strFilter = CString(GetLangString(185)) + " (*.txt)|*.txt|" + GetLangString(192) + " (*.html)|*.html||";
    }
    // The dialog would otherwise leave the program's working folder in the
    // export folder.
    C3DFileDialog dlg(strFilter, FALSE, strExt, strProposal,
                      OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS | OFN_NOCHANGEDIR, pParent);
    dlg.SetTitle(GetLangString(bPicture ? 452 : 453));
    char szFolder[MAX_PATH] = "%MYPICTURES%";
    if (ExpandFolderMacros(szFolder))
        dlg.SetInitialFolder(szFolder);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    const CString strPath = dlg.GetPathName();
    const int nSlash = LastSeparator(strPath);
    const CString strFile = strPath.Mid(nSlash + 1);
    const int nDot = strFile.ReverseFind('.');
    target.strFolder = strPath.Left(nSlash + 1);
    target.strBase = nDot >= 0 ? strFile.Left(nDot) : strFile;
    if (target.strBase.IsEmpty())
        return FALSE;
    // A device name or characters no file name takes: named as a smilie
    // without a name of its own.
    MakeValidFileName(target.strBase);
    if (target.strBase.IsEmpty())
        target.strBase = bPicture ? "smilie0000" : "phrase0000";
    const int nMaxMode = bPicture ? EXPORT_PAGE_ADDRESSES : EXPORT_PAGE_NAMES;
    target.nMode = dlg.GetFilterIndex();
    if (target.nMode < EXPORT_FILES || target.nMode > nMaxMode)
        target.nMode = EXPORT_FILES;
    return TRUE;
}

// The folder dialog for several smilies; FALSE when cancelled.
BOOL AskForFolder(CWnd* pParent, EXPORTTARGET& target)
{
    const CString strLabel = CString(GetLangString(455)) + ":";
    const CString strChoices =
        CString(GetLangString(193)) + "|" + GetLangString(219) + "|" + GetLangString(357);
    const UINT nFlags = g_ShellDllVersions.fShell32 >= 5.0f ? 0x51 : 0x01;
    C3DDirDialog dlg(GetLangString(454), nFlags, pParent, strLabel, strChoices);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    target.strFolder = dlg.GetPath();
    if (target.strFolder.IsEmpty())
        return FALSE;
    target.nMode = dlg.GetChoice() + 1;
    if (target.nMode < EXPORT_FILES || target.nMode > EXPORT_PAGE_ADDRESSES)
        target.nMode = EXPORT_FILES;
    return TRUE;
}

// Asks whether to go on after a file could not be written.
BOOL AskGoOnAfterFailure(BOOL bPicture, const CString& strName)
{
    CString strText;
    strText.Format("%s \"%s\". %s", GetLangString(bPicture ? 456 : 457), strName.GetString(), GetLangString(458));
    EndBusy();
    const int nAnswer = MessageBox3D(ActiveWindow(), "Tarvenex", strText, MB_YESNOCANCEL | MB_ICONHAND,
                                     g_Settings.FadeDialogs, DialogBodyStyle());
    BeginBusy();
    return nAnswer == IDYES;
}

// Settles the name of the next file: OVERWRITE_WRITE with strName the name
// to write under, or OVERWRITE_SKIP or OVERWRITE_STOP. A name the export has
// used before is numbered without a question; a file that was in the folder
// before is asked about. Every numbered name taken skips the file, keeping
// what is there.
int SettleName(CString& strName, const EXPORTTARGET& target, CExportNames& used, int* pnDecision, BOOL* pbForAll)
{
    const int nDecide = used.Has(strName) ? OVERWRITE_RENAME
                                          : CheckOverwrite(pnDecision, strName, pbForAll, target.strFolder + strName);
    if (nDecide == OVERWRITE_RENAME) {
        while (MakeUniqueFileName(strName, target.strFolder)) {
            // A numbered name one of this export's failed writes took.
            if (!used.Has(strName)) {
                used.Add(strName);
                return OVERWRITE_WRITE;
            }
        }
        return OVERWRITE_SKIP;
    }
    if (nDecide == OVERWRITE_WRITE)
        used.Add(strName);
    return nDecide;
}

void WritePage(const EXPORTTARGET& target, const CString& strPage, CExportNames& used, int* pnDecision,
               BOOL* pbForAll)
{
    CString strName = target.strBase.IsEmpty() ? CString("index.html") : target.strBase + ".html";
    if (SettleName(strName, target, used, pnDecision, pbForAll) == OVERWRITE_WRITE)
        WriteWholeFile(target.strFolder + strName, strPage.GetString(), static_cast<DWORD>(strPage.GetLength()));
}

void WriteExport(const CSequence<const CSmilie*>& list, const EXPORTTARGET& target)
{
    const BOOL bPage = target.nMode != EXPORT_FILES;
    CString strPage;
    if (bPage) {
        const CString strTitle = EscapePageText(target.strTitle);
        strPage.Format(kPageHead, strTitle.IsEmpty() ? "&nbsp;" : strTitle.GetString(),
                       CodePageCharset(::GetACP()).GetString());
        if (!strTitle.IsEmpty())
            strPage.AppendFormat("\n<h1>%s</h1>\n", strTitle.GetString());
    }
    CExportNames used;
    int nDecision = OVERWRITE_WRITE;
    BOOL bForAll = FALSE;
    BOOL bStopped = FALSE;
    BeginBusy();
    for (int i = 0; i < list.GetSize() && !bStopped; i++) {
        PumpMessagesWhileBusy();
        const CSmilie* pSmilie = list[i];
        const bool bPicture = HasPicture(pSmilie);
        if (!bPicture && !IsPhraseSmilie(pSmilie))
            continue;
        CString strName = target.strBase.IsEmpty() ? ProposedName(pSmilie) : target.strBase;
        if (strName.IsEmpty())
            strName.Format(bPicture ? "smilie%04d" : "phrase%04d", i);
        strName = WithExtension(strName, FileExtension(pSmilie));
        if (bPicture || !bPage) {
            const int nDecide = SettleName(strName, target, used, &nDecision, &bForAll);
            if (nDecide == OVERWRITE_SKIP)
                continue;
            if (nDecide == OVERWRITE_STOP) {
                bStopped = TRUE;
                break;
            }
        }
        const CString strPath = target.strFolder + strName;
        if (bPicture || !bPage) {
            if (!ExportOne(pSmilie, strPath) && !AskGoOnAfterFailure(bPicture, strName)) {
                bStopped = TRUE;
                break;
            }
        }
        if (bPage)
            strPage += PageLine(pSmilie, strName, strPath, target.nMode);
    }
    EndBusy();
    if (bPage && !bStopped) {
        strPage += kPageTail;
        WritePage(target, strPage, used, &nDecision, &bForAll);
    }
}

}  // namespace

void ExportSmilies(const CSequence<const CSmilie*>& list, CWnd* pParent, LPCTSTR pszFieldName)
{
    if (list.GetSize() == 0)
        return;
    EXPORTTARGET target;
    target.strTitle = pszFieldName;
    const BOOL bChosen = list.GetSize() == 1 ? AskForFile(list[0], pParent, target) : AskForFolder(pParent, target);
    if (bChosen)
        WriteExport(list, target);
}

void ExportField(CSmiliesField* pField)
{
    if (pField == NULL)
        return;
    CSequence<const CSmilie*> list;
    if (pField->GetSendableSmilies(&list) > 0) {
        CString strName;
        pField->GetWindowText(strName);
        ExportSmilies(list, pField, strName);
    }
}

BOOL MakeUniqueFileName(CString& strName, LPCTSTR pszFolder)
{
    const int nDot = strName.ReverseFind('.');
    const CString strHead = nDot > 0 ? strName.Left(nDot) : strName;
    const CString strTail = nDot > 0 ? strName.Mid(nDot) : CString();
    const CString strFolder(pszFolder);
    CString strTry;
    for (int n = 1; n <= 65535; n++) {
        strTry.Format("%s-%03d%s", strHead.GetString(), n, strTail.GetString());
        if (g_pfnExportFileAttributes(strFolder + strTry) == INVALID_FILE_ATTRIBUTES) {
            strName = strTry;
            return TRUE;
        }
    }
    strName = strTry;
    return FALSE;
}

int CheckOverwrite(int* pnDecision, LPCTSTR pszName, BOOL* pbForAll, LPCTSTR pszPath)
{
    HANDLE hFile = ::CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return OVERWRITE_WRITE;
    ::CloseHandle(hFile);
    if (*pbForAll)
        return *pnDecision;
    char szText[512];
    FormatTemplate(szText, sizeof(szText), GetLangString(450), "[FILENAME]", "%s", pszName, NULL);
    const BOOL bBusy = g_BusyCount > 0;
    if (bBusy)
        EndBusy();
    const int nAnswer = ChoiceBox3D(ActiveWindow(), szText, g_Settings.FadeDialogs, DialogBodyStyle());
    if (bBusy)
        BeginBusy();
    switch (nAnswer) {
    case IDYES:
        return OVERWRITE_WRITE;
    case IDNO:
        return OVERWRITE_SKIP;
    case IDCHOICE1:
        *pbForAll = TRUE;
        *pnDecision = OVERWRITE_WRITE;
        return OVERWRITE_WRITE;
    case IDCHOICE2:
        *pbForAll = TRUE;
        *pnDecision = OVERWRITE_SKIP;
        return OVERWRITE_SKIP;
    case IDCHOICE3:
        return OVERWRITE_RENAME;
    case IDCHOICE4:
        *pbForAll = TRUE;
        *pnDecision = OVERWRITE_RENAME;
        return OVERWRITE_RENAME;
    }
    // Cancel, or a box that could not be shown.
    return OVERWRITE_STOP;
}
