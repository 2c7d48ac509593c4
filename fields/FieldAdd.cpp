// Adding smilies to a field; see FieldAdd.h.
#include "fields/FieldAdd.h"

#include "collection/ImageReader.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "delivery/SourceText.h"
#include "dialogs/DlgPhraseNew.h"
#include "dialogs/DlgSmilieNew.h"
#include "dialogs/Progress.h"
#include "fields/SmiliesField.h"
#include "services/Busy.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "ui3d/dialogs/3DFileDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"

#include <vector>

namespace {

// Characters for the chosen names of the file dialog: a folder and some
// hundreds of names.
const size_t kFileNamesBuffer = 64 * 1024;

void PushUndo(CSmiliesField* pField, int nTitle)
{
    HWND hParent = ::GetParent(pField->m_hWnd);
    if (hParent != NULL)
        ::SendMessageA(hParent, WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(nTitle)), 0);
}

// The cell under the point; an occupied one first gets an empty row at the point.
POINT FreeCellAt(CSmiliesField* pField, POINT pt)
{
    const POINT cell = pField->CellFromPoint(pt);
    if (pField->GetAt(cell.x, cell.y) != NULL)
        pField->InsertRows(&pt, 1, FALSE);
    return cell;
}

void StartDownloads()
{
    while (CSmilie::StartNextDownload(FALSE, NULL)) {
    }
}

// Size of the file in bytes; MAXDWORD when it cannot be read or is larger.
DWORD FileSizeOf(LPCTSTR pszPath)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(pszPath, GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0)
        return MAXDWORD;
    return data.nFileSizeLow;
}

// The record of an accepted picture file, 0 when it is refused or unreadable.
uint32_t StorePictureFile(const ODOIMGINFO& entry)
{
    if (g_pCollectionFile == NULL || !g_pCollectionFile->IsOpen())
        return 0;
    if (FileSizeOf(entry.strPath) > kMaxFieldPictureBytes)
        return 0;
    CImageReader reader;
    if (!CImageReader::LoadFromFile(entry.strPath, reader, FALSE) || !CImageReader::IsLoaded(reader))
        return 0;
    const CSize size = reader.GetReader()->GetSize();
    if (size.cx + size.cy > kMaxFieldPicturePerimeter)
        return 0;
    if (!entry.strUrl.IsEmpty())
        return g_pCollectionFile->AppendImageFile(NULL, entry.strPath);
    CString strName;
    GetSourceFileName(strName, entry.strPath);
    return g_pCollectionFile->AppendImageFile(strName, entry.strPath);
}

}   // namespace

int NewSmilieAt(POINT pt, CSmiliesField* pField, LPCTSTR pszAddress)
{
    if (pField == NULL)
        return 0;
    CString strAddress = pszAddress != NULL ? pszAddress : "";
    CString strTemplate;
    if (strAddress.GetLength() <= 17) {
        CDlgSmilieNew dlg(&strAddress, &strTemplate);
        if (dlg.DoModal() != IDOK)
            return 0;
    }
    PushUndo(pField, 447);
    const POINT cell = FreeCellAt(pField, pt);
    CSmilie* pSmilie = pField->AddSmilie(&cell, 0, strTemplate, strAddress);
    if (pSmilie == NULL)
        return 0;
    pField->UpdateScrollRange(FALSE);
    CSmilie::QueueDownload(pSmilie);
    StartDownloads();
    return 1;
}

int NewPhraseAt(POINT pt, CSmiliesField* pField, LPCTSTR pszText)
{
    if (pField == NULL)
        return 0;
    CString strText = pszText != NULL ? pszText : "";
    if (strText.IsEmpty()) {
        CDlgPhraseNew dlg(&strText);
        if (dlg.DoModal() != IDOK)
            return 0;
    }
    PushUndo(pField, 448);
    const POINT cell = FreeCellAt(pField, pt);
    if (pField->AddSmilie(&cell, 0, strText, "") == NULL)
        return 0;
    pField->UpdateScrollRange(FALSE);
    return 1;
}

int AddPicturesAt(CSmiliesField* pField, POINT pt, const CSequence<ODOIMGINFO>& pictures, double dWeight)
{
    const int nCount = pictures.GetSize();
    if (pField == NULL || nCount == 0)
        return 0;
    PushUndo(pField, nCount == 1 ? 447 : 449);
    BeginBusy();
    POINT cell = pField->CellFromPoint(pt);
    int nAdded = 0;
    for (int i = 0; i < nCount; i++) {
        if (pField->GetAt(cell.x, cell.y) != NULL) {
            const CRect rc = pField->GetCellRect(cell.x, cell.y);
            POINT ptCentre = rc.CenterPoint();
            pField->InsertRows(&ptCentre, 1, FALSE);
        }
        PumpMessagesWhileBusy();

        const ODOIMGINFO& entry = pictures[i];
        CSmilie* pSmilie = NULL;
        if (!entry.strPath.IsEmpty()) {
            // A file alone is a local picture (empty source); a file that came
            // with its address (a page from a browser) keeps the address.
            const uint32_t nRecord = StorePictureFile(entry);
            if (nRecord != 0)
                pSmilie = pField->AddSmilie(&cell, nRecord, "", entry.strUrl);
        } else if (!entry.strUrl.IsEmpty()) {
            pSmilie = pField->AddSmilie(&cell, 0, "", entry.strUrl);
            if (pSmilie != NULL) {
                CSmilie::QueueDownload(pSmilie);
                StartDownloads();
            }
        }
        if (pSmilie != NULL) {
            nAdded++;
            cell.x++;
            if (cell.x >= pField->GetColumnCount()) {
                cell.x = 0;
                cell.y++;
            }
        }
        if (dWeight > 0)
            UpdateAutoProgress(dWeight * (i + 1) / nCount, dWeight);
    }
    EndBusy();
    pField->UpdateScrollRange(FALSE);
    return nAdded;
}

BOOL IsAddablePictureExtension(LPCTSTR pszExtension)
{
    static const char* const kExtensions[] = {"bmp", "gif", "png", "jpg", "jpeg"};
    for (const char* psz : kExtensions) {
        if (pszExtension != NULL && lstrcmpiA(pszExtension, psz) == 0)
            return TRUE;
    }
    return FALSE;
}

CString BuildPictureFilter(LPCTSTR pszText)
{
    CSequence<CImageReader::GRAPHICALFORMAT> formats;
    CImageReader::GetFormats(formats);
    CString strComma, strSemicolon;
    for (int i = 0; i < formats.GetSize(); i++) {
        CString strPattern = CString("*.") + CImageReader::GetExtension(formats[i]);
        strComma += (i > 0 ? ", " : "") + strPattern;
        strSemicolon += (i > 0 ? "; " : "") + strPattern;
    }
    CString strFilter = CString(pszText) + " (" + strComma + ")|" + strSemicolon + "||";
    if (strFilter.GetLength() > 511)
        strFilter = strFilter.Left(511);
    return strFilter;
}

int AddPicturesFromFiles(CSmiliesField* pField, POINT pt)
{
    if (pField == NULL)
        return 0;
    const CString strFilter = BuildPictureFilter(GetLangString(420));
    // OFN_NOCHANGEDIR: the pictures' folder must not become the current one
    // (a collection named relative to it would then be another file).
    C3DFileDialog dlg(strFilter, TRUE, NULL, NULL, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR, pField);
    // Room for a folder's worth of names. When they do not fit, some systems
    // fail the call (the dialog then reads the names from the selection) but
    // others return the names that fitted and drop the rest without a word.
    std::vector<char> names(kFileNamesBuffer, '\0');
    dlg.SetFileBuffer(names.data(), static_cast<DWORD>(names.size()));
    char szFolder[MAX_PATH] = "%MYPICTURES%";
    if (ExpandFolderMacros(szFolder))
        dlg.SetInitialFolder(szFolder);
    if (dlg.DoModal() != IDOK)
        return 0;
    CSequence<ODOIMGINFO> pictures;
    for (int i = 0; i < dlg.GetFileCount(); i++) {
        if (!IsAddablePictureExtension(dlg.GetFileExt(i)))
            continue;
        ODOIMGINFO info;
        info.strPath = dlg.GetPathName(i);
        pictures.Add(info);
    }
    const int nAdded = AddPicturesAt(pField, pt, pictures, 0);
    FreeImageInfoList(pictures);
    if (nAdded == 0) {
        MessageBox3D(CWnd::FromHandle(::GetActiveWindow()), "Tarvenex", GetLangString(490), MB_ICONEXCLAMATION,
                     g_Settings.FadeDialogs, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL);
    }
    return nAdded;
}
