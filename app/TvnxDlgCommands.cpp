// The main window's collection commands and the menus of its bar and slider.
#include "app/TvnxDlg.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgCustomTemplate.h"
#include "dialogs/Progress.h"
#include "fields/SmiliesFieldMenus.h"
#include "fields/SmiliesPasteGroup.h"
#include "framework/Module.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/KeyState.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "skins/SkinScan.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/dialogs/3DFileDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const char kFilter[] = "Smilie Collections (*.tvnx)|*.tvnx||";
const char kImportFilter[] = "Smilie Collections (*.tvnx, *.tvnu)|*.tvnx;*.tvnu||";
const char kWebSite[] = "http://www.tarvenex.example";

struct CODEPRESET
{
    const char* pszName;
    const char* pszCode;
};
const CODEPRESET kCodePresets[3] = {
    {"IMG", "[img]<SMILIE>[/img]"},
    {"HTML", "<img src=\"<SMILIE>\" width=\"<W>\" height=\"<H>\">"},
    {"ezboard", "[image]<SMILIE>[/image]"},
};

struct COLORPRESET
{
    const char* pszName;
    COLORREF clr;
};
const COLORPRESET kColorPresets[5] = {
    {"Dolphin", 0xD26757}, {"Aggression", 0x001ED2}, {"Lawn", 0x00B91E}, {"The Sun", 0x0064FA}, {"Contrast", 0x000000},
};

BOOL CanLayer()
{
    return g_pExportedFuncs != NULL && g_pExportedFuncs->pSetLayeredWindowAttributes != NULL;
}

uint64_t CacheLimit()
{
    return g_Settings.SmilieCacheSizeInMB > 0 ? uint64_t(g_Settings.SmilieCacheSizeInMB) * 1048576u : 0;
}

BOOL IsCollectionOpen()
{
    return g_pCollectionFile != NULL && g_pCollectionFile->IsOpen();
}

BOOL HasCollectionPath()
{
    const CString& str = g_Settings.SmilieCollection;
    return !str.IsEmpty() && str != "<default>";
}

CString ProgressTitle(int nLangString)
{
    return CString("Tarvenex: ") + GetLangString(nLangString) + "...";
}

const TEXTSTYLE* MenuStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
}

const BODYSTYLE* BodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

// "[FILENAME]" of a text replaced by the coloured name.
CString WithName(int nLangString, const CString& strName)
{
    CString str = GetLangString(nLangString);
    str.Replace("[FILENAME]", "<rgb(210,210,210)>" + strName + "<noclr>");
    return str;
}

int DefaultMessageBox(CWnd* pParent, LPCSTR pszText, UINT nType)
{
    return MessageBox3D(pParent, "Tarvenex", pszText, nType, g_Settings.FadeDialogs, BodyStyle());
}

int DefaultFileDialog(CWnd* pParent, BOOL bOpen, LPCSTR pszTitle, LPCSTR pszFilter, LPCSTR pszProposed,
                      CString& strPath)
{
    // The dialog would otherwise make the chosen folder the current one.
    const DWORD dwFlags = OFN_NOCHANGEDIR |
                          (bOpen ? OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_DONTADDTORECENT
                                 : OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_DONTADDTORECENT);
    C3DFileDialog dlg(pszFilter, bOpen, "tvnx", NULL, dwFlags, pParent);
    char szFile[MAX_PATH] = "";
    if (pszProposed != NULL)
        lstrcpynA(szFile, pszProposed, sizeof(szFile));
    dlg.SetFileBuffer(szFile, sizeof(szFile));
    dlg.SetTitle(pszTitle);
    CString strFolder = g_Settings.AppDataFolder;
    dlg.SetInitialFolder(strFolder);
    if (dlg.DoModal() != IDOK)
        return IDCANCEL;
    strPath = dlg.GetPathName(0);
    return IDOK;
}

UINT DefaultTrackMenu(CTvnxDlg* pDlg, C3DMenu* pMenu, UINT nBarValue, POINT ptScreen)
{
    if (nBarValue != 0 && pDlg->m_MenuBar.m_hWnd != NULL)
        return pDlg->m_MenuBar.DropDownMenu(pMenu, nBarValue);
    ::SetForegroundWindow(pDlg->m_hWnd);
    const UINT nCommand = pMenu->Track(pDlg, ptScreen.x, ptScreen.y);
    pDlg->PostMessage(WM_NULL);
    return nCommand;
}

INT_PTR DefaultRunDialog(CTvnxDlg* pDlg, int nDialog, CString* pText)
{
    if (nDialog == CTvnxDlg::DIALOG_ABOUT) {
        CDlgAbout dlg(pDlg);
        return dlg.DoModal();
    }
    CDlgCustomTemplate dlg(*pText, pDlg);
    return dlg.DoModal();
}

}  // namespace

int (*CTvnxDlg::s_pfnMessageBox)(CWnd*, LPCSTR, UINT) = DefaultMessageBox;
int (*CTvnxDlg::s_pfnFileDialog)(CWnd*, BOOL, LPCSTR, LPCSTR, LPCSTR, CString&) = DefaultFileDialog;
UINT (*CTvnxDlg::s_pfnTrackMenu)(CTvnxDlg*, C3DMenu*, UINT, POINT) = DefaultTrackMenu;
INT_PTR (*CTvnxDlg::s_pfnRunDialog)(CTvnxDlg*, int, CString*) = DefaultRunDialog;
UINT (WINAPI* CTvnxDlg::s_pfnGetDriveType)(LPCSTR) = ::GetDriveTypeA;

// --- results -------------------------------------------------------------------------------

BOOL CTvnxDlg::ShowSaveResult(int nResult)
{
    switch (nResult) {
    case 1:
    case 2:
    case 3:
        Message(388 + nResult, MB_ICONHAND);
        return FALSE;
    case 4:
    case 5:
        delete g_pImgCache;
        g_pImgCache = NULL;
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        if (m_Fields.m_hWnd != NULL)
            m_Fields.ResetFields();
        SetCollectionPath(NULL);
        Message(388, MB_ICONHAND);
        return FALSE;
    }
    return TRUE;
}

void CTvnxDlg::ShowOpenResult(int nResult, int nLoadedKind)
{
    switch (nResult) {
    case 0:
        PostMessage(WM_COLLECTIONLOADED, reinterpret_cast<WPARAM>(m_hWnd), nLoadedKind);
        break;
    case 1:
        Message(384, MB_ICONHAND);
        break;
    case 2:
        Message(383, MB_ICONINFORMATION);
        break;
    case 3:
        Message(385, MB_ICONHAND);
        break;
    case 4:
        Message(386, MB_ICONHAND);
        break;
    case 5:
        Message(388, MB_ICONHAND);
        break;
    case 9:
        Message(387, MB_ICONHAND);
        break;
    }
}

// --- load, write, merge --------------------------------------------------------------------

int CTvnxDlg::LoadCollection(LPCTSTR pszPath, double dWeight)
{
    if (m_Fields.m_hWnd != NULL)
        m_Fields.SendMessage(WM_CLEARUNDO);
    // The copies name picture records of the file they came from.
    g_PasteHistory.RemoveAll();
    BOOL bNew = FALSE;
    if (g_pCollectionFile == NULL) {
        g_pCollectionFile = new (std::nothrow) CTvnxSave;
        if (g_pCollectionFile == NULL)
            return -1;
        bNew = TRUE;
    }
    const int nResult = g_pCollectionFile->OpenCollection(pszPath, FALSE, dWeight * 0.9);
    if (nResult == 0) {
        if (g_pImgCache == NULL) {
            g_pImgCache = new (std::nothrow) CImgCache;
            if (g_pImgCache == NULL) {
                delete g_pCollectionFile;
                g_pCollectionFile = NULL;
                return -1;
            }
            g_pImgCache->SetMemoryLimit(CacheLimit());
            g_pImgCache->SetAnimation(g_Settings.SmilieAnimation);
        }
        g_pImgCache->Reset();
        const uint32_t nSize = g_pCollectionFile->ReadLayoutBlock(NULL, 0);
        BYTE* pBlock = nSize != 0 ? new (std::nothrow) BYTE[nSize] : NULL;
        if (pBlock != NULL && g_pCollectionFile->ReadLayoutBlock(pBlock, 0) == nSize) {
            g_bChangeTracking = FALSE;
            m_Fields.LoadFromMemory(pBlock, nSize, 0, dWeight / 10);
            delete[] pBlock;
            SetCollectionPath(pszPath);
            ClearChangeFlags();
            return 0;
        }
        delete[] pBlock;
        ResetAfterFailedLoad();
        if (m_Fields.m_hWnd != NULL)
            m_Fields.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return 5;
    }
    if (nResult == 5) {
        ResetAfterFailedLoad();
        if (m_Fields.m_hWnd != NULL)
            m_Fields.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return 5;
    }
    if (bNew) {
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
    }
    return nResult;
}

BOOL CTvnxDlg::WriteCollection(LPCTSTR pszPath, BOOL bRequireOpen, double dWeight)
{
    if (bRequireOpen && !IsCollectionOpen()) {
        Message(392, MB_ICONHAND);
        return FALSE;
    }
    if (g_pCollectionFile == NULL)
        return TRUE;
    BeginBusy();
    m_Fields.SendMessage(WM_CLEARUNDO);
    g_PasteHistory.RemoveAll();
    uint32_t nSize = 0;
    m_Fields.SaveToMemory(NULL, &nSize, 0);
    BYTE* pBlock = nSize != 0 ? new (std::nothrow) BYTE[nSize] : NULL;
    if (pBlock == NULL) {
        EndBusy();
        return TRUE;
    }
    m_Fields.SaveToMemory(pBlock, &nSize, dWeight / 10);
    BOOL bCompact = FALSE;
    if (g_bCollectionChanged) {
        g_pCollectionFile->ClearUsedFlags();
        m_Fields.FlagImagesInUse();
        bCompact = TRUE;
    }
    if (!IsCollectionOpen())
        bCompact = TRUE;
    const int nResult = g_pCollectionFile->SaveCollection(nSize, pBlock, pszPath, bCompact, dWeight * 9 / 10);
    delete[] pBlock;
    EndBusy();
    if (nResult == 0) {
        ClearChangeFlags();
        return TRUE;
    }
    ShowSaveResult(nResult);
    return FALSE;
}

int CTvnxDlg::MergeCollection(LPCTSTR pszPath, double dWeight)
{
    if (g_pCollectionFile == NULL)
        return -1;
    m_Fields.PushUndo(NULL);
    g_PasteHistory.RemoveAll();
    uint32_t nAppended = 0;
    const int nResult = g_pCollectionFile->MergeFile(pszPath, &nAppended, dWeight * 0.9);
    if (nResult != 0) {
        m_Fields.DropUndo();
        return nResult;
    }
    const uint32_t nSize = g_pCollectionFile->ReadLayoutBlock(NULL, nAppended);
    BYTE* pBlock = nSize != 0 ? new (std::nothrow) BYTE[nSize] : NULL;
    if (pBlock == NULL || g_pCollectionFile->ReadLayoutBlock(pBlock, nAppended) != nSize) {
        delete[] pBlock;
        m_Fields.DropUndo();
        g_pCollectionFile->RemoveAppendedInfo(nAppended);
        return 7;
    }
    m_Fields.LoadFromMemory(pBlock, nSize, nAppended, dWeight / 10);
    delete[] pBlock;
    g_pCollectionFile->RemoveAppendedInfo(nAppended);
    return 0;
}

// --- the commands ----------------------------------------------------------------------------

void CTvnxDlg::OpenCollection(LPCTSTR pszPath, int nFlag)
{
    CString strPath;
    if (pszPath == NULL) {
        if (s_pfnFileDialog(this, TRUE, GetLangString(351), kFilter, NULL, strPath) != IDOK)
            return;
    } else {
        strPath = pszPath;
    }
    if (strPath.IsEmpty())
        return;
    BOOL bAsk = TRUE;
    if (strPath.Left(2) != "\\\\") {
        if (strPath.GetLength() <= 2)
            return;
        const CString strRoot = strPath.Left(2) + "\\";
        const UINT nType = s_pfnGetDriveType(strRoot);
        if (nType == DRIVE_NO_ROOT_DIR)
            return;
        bAsk = nType != DRIVE_FIXED;
    }
    if (bAsk && Message(397, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    const BOOL bChanged = nFlag ? g_bCollectionChanged : (g_bCollectionChanged || g_bStatisticsChanged);
    if (bChanged && IsCollectionOpen() && HasCollectionPath()) {
        const int nAnswer = Message(417, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (nAnswer == IDCANCEL)
            return;
        if (nAnswer == IDYES) {
            ShowAutoProgress(ProgressTitle(415), this);
            WriteCollection(g_Settings.SmilieCollection, TRUE, 65535);
            CloseAutoProgress();
        }
    }
    ShowAutoProgress(ProgressTitle(418), this);
    const int nResult = LoadCollection(strPath, 65535);
    CloseAutoProgress();
    ShowOpenResult(nResult, 2);
}

void CTvnxDlg::ImportCollection(LPCTSTR pszPath)
{
    CString strPath;
    if (pszPath == NULL) {
        if (s_pfnFileDialog(this, TRUE, GetLangString(352), kImportFilter, NULL, strPath) != IDOK)
            return;
    } else {
        strPath = pszPath;
    }
    CTabSelector* pStrip = m_Fields.GetSwitcher();
    const int nCurrent = pStrip != NULL ? pStrip->GetSelectedId() : 0;
    ShowAutoProgress(ProgressTitle(419), this);
    const int nResult = MergeCollection(strPath, 65535);
    CloseAutoProgress();
    if (nResult != 0) {
        ShowOpenResult(nResult, 3);
        return;
    }
    // The merged fields come right after the tab that was current.
    if (pStrip != NULL) {
        int nIndex = -1;
        for (int i = 0; i < pStrip->GetTabCount(); i++)
            if (pStrip->GetTabAt(i).nId == nCurrent)
                nIndex = i;
        if (nIndex >= 0 && nIndex + 1 < pStrip->GetTabCount())
            m_Fields.SelectFieldQuietly(pStrip->GetTabAt(nIndex + 1).nId);
    }
    PostMessage(WM_COLLECTIONLOADED, reinterpret_cast<WPARAM>(m_hWnd), 3);
}

int CTvnxDlg::ImportCollectionUpdate(LPCTSTR pszPath)
{
    if (pszPath == NULL || *pszPath == '\0')
        return 0;
    ImportCollection(pszPath);
    return 1;
}

CString CTvnxDlg::ProposeNewName() const
{
    CString strFolder = g_Settings.AppDataFolder;
    strFolder.TrimRight("\\/");
    char szName[64];
    for (long n = 1; n <= 65535; n++) {
        sprintf(szName, "Untitled-%ld.%s", n, "tvnx");
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA(strFolder + "\\" + szName, &fd);
        if (h == INVALID_HANDLE_VALUE)
            return szName;
        ::FindClose(h);
    }
    return szName;
}

void CTvnxDlg::NewCollection()
{
    CString strPath;
    if (s_pfnFileDialog(this, FALSE, GetLangString(354), kFilter, ProposeNewName(), strPath) != IDOK)
        return;
    if ((g_bCollectionChanged || g_bStatisticsChanged) && HasCollectionPath() && IsCollectionOpen()) {
        const int nAnswer = Message(417, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (nAnswer == IDCANCEL)
            return;
        if (nAnswer == IDYES) {
            ShowAutoProgress(ProgressTitle(415), this);
            const BOOL bSaved = WriteCollection(g_Settings.SmilieCollection, TRUE, 65535);
            CloseAutoProgress();
            // The user asked for the changes to be kept: they are not thrown
            // away after a save that failed.
            if (!bSaved)
                return;
        }
    }
    m_Fields.ClearUndo();
    m_Fields.ResetFields();
    SetCollectionPath(NULL);
    delete g_pImgCache;
    g_pImgCache = NULL;
    delete g_pCollectionFile;
    g_pCollectionFile = new (std::nothrow) CTvnxSave;
    if (g_pCollectionFile == NULL) {
        Message(388, MB_ICONHAND);
        return;
    }
    g_pCollectionFile->SetLevelByte(10);
    if (!WriteCollection(strPath, FALSE, 0) || g_pCollectionFile == NULL ||
        g_pCollectionFile->OpenCollection(strPath, FALSE, 0) != 0) {
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        Message(388, MB_ICONHAND);
        return;
    }
    g_pImgCache = new (std::nothrow) CImgCache;
    if (g_pImgCache != NULL) {
        g_pImgCache->Reset();
        g_pImgCache->SetMemoryLimit(CacheLimit());
        g_pImgCache->SetAnimation(g_Settings.SmilieAnimation);
    }
    SetCollectionPath(strPath);
    ClearChangeFlags();
}

void CTvnxDlg::Save()
{
    ShowAutoProgress(ProgressTitle(415), this);
    WriteCollection(g_Settings.SmilieCollection, TRUE, 65535);
    CloseAutoProgress();
}

void CTvnxDlg::SaveAs()
{
    CString strPath;
    if (s_pfnFileDialog(this, FALSE, GetLangString(353), kFilter, ProposeNewName(), strPath) != IDOK)
        return;
    ShowAutoProgress(ProgressTitle(415), this);
    if (!IsCollectionOpen()) {
        CloseAutoProgress();
        Message(392, MB_ICONHAND);
        return;
    }
    BeginBusy();
    if (WriteCollection(strPath, FALSE, 29491.2))
        LoadCollection(strPath, 32766);
    EndBusy();
    CloseAutoProgress();
}

void CTvnxDlg::SaveCopyAs()
{
    const CString strCurrent = g_Settings.SmilieCollection;
    const CString strProposed = strCurrent.GetLength() < 260 && HasCollectionPath() ? strCurrent : CString();
    CString strPath;
    if (s_pfnFileDialog(this, FALSE, GetLangString(355), kFilter, strProposed, strPath) != IDOK)
        return;
    ShowAutoProgress(ProgressTitle(416), this);
    if (g_pCollectionFile != NULL) {
        BeginBusy();
        uint32_t nSize = 0;
        m_Fields.SaveToMemory(NULL, &nSize, 0);
        BYTE* pBlock = nSize != 0 ? new (std::nothrow) BYTE[nSize] : NULL;
        if (pBlock != NULL) {
            m_Fields.SaveToMemory(pBlock, &nSize, 53079.3 / 10);
            const int nResult =
                g_pCollectionFile->SaveCollection(nSize, pBlock, strPath, !IsCollectionOpen(), 53079.3 * 9 / 10);
            delete[] pBlock;
            EndBusy();
            CloseAutoProgress();
            ShowSaveResult(nResult);
            return;
        }
        EndBusy();
    }
    CloseAutoProgress();
}

// --- menus ---------------------------------------------------------------------------------

CString CTvnxDlg::GetCollectionName() const
{
    if (!IsCollectionOpen())
        return CString();
    CString strPath;
    g_pCollectionFile->GetPath(strPath);
    const int nSlash = strPath.ReverseFind('\\') > strPath.ReverseFind('/') ? strPath.ReverseFind('\\')
                                                                            : strPath.ReverseFind('/');
    CString strName = strPath.Mid(nSlash + 1);
    const int nDot = strName.ReverseFind('.');
    if (nDot >= 0)
        strName = strName.Left(nDot);
    if (strName.GetLength() > 61)
        strName = strName.Left(61) + "...";
    return strName;
}

void CTvnxDlg::BuildCollectionMenu(C3DMenu& menu, C3DMenu& listMenu, CSequence<SCANNEDCOLLECTION>& list,
                                   CMenuIcons& icons)
{
    const CString strName = GetCollectionName();
    const BOOL bHasName = !strName.IsEmpty();
    const UINT nCached = g_pImgCache != NULL ? MF_ENABLED : MF_GRAYED;
    const CString strPlain = "\"" + strName + "\"";

    menu.CreatePopup(MenuStyle());
    menu.AppendItem(NULL, GetLangString(14), MF_ENABLED, ID_COL_NEW, icons.Load(153), GetLangString(15));
    menu.AppendItem(NULL, GetLangString(16), MF_ENABLED, ID_COL_OPEN, icons.Load(154), GetLangString(17));
    ScanCollections(list, 64);
    if (list.GetSize() > 0) {
        listMenu.CreatePopup(MenuStyle());
        CString strOpen;
        if (IsCollectionOpen())
            g_pCollectionFile->GetPath(strOpen);
        const CMenuItemIcon hDoc = icons.Keep(
            static_cast<HICON>(
                ::LoadImageA(AfxGetResourceHandle(), "IDI_ICONFORTVNXDOCUMENT", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)),
            16, 16);
        for (int i = 0; i < list.GetSize() && i <= 100; i++) {
            const UINT nFlags = list[i].strPath.CompareNoCase(strOpen) == 0 ? MF_GRAYED : MF_ENABLED;
            listMenu.AppendItem(list[i].strName, "<rgb(210,210,210)>" + list[i].strName, nFlags,
                                ID_COL_FIRSTLISTED + i, hDoc, GetLangString(17));
        }
        menu.AppendItem(NULL, GetLangString(564), MF_POPUP, reinterpret_cast<UINT_PTR>(listMenu.m_hMenu));
    }
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    const UINT nImport = g_pImgCache != NULL && m_Fields.GetFieldCount() < CFields::MAX_FIELDS ? MF_ENABLED : MF_GRAYED;
    menu.AppendItem(NULL, GetLangString(25), nImport, ID_COL_IMPORT, icons.Load(401), GetLangString(26));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    if (bHasName)
        menu.AppendItem(CString(GetLangString(18)) + " " + strPlain,
                        CString(GetLangString(18)) + " <rgb(210,210,210)>" + strName, nCached, ID_COL_SAVE,
                        icons.Load(390), GetLangString(19));
    else
        menu.AppendItem(NULL, GetLangString(18), nCached, ID_COL_SAVE, icons.Load(390), GetLangString(19));
    if (bHasName) {
        CString strTitle = GetLangString(20);
        strTitle.Replace("[FILENAME]", strPlain);
        menu.AppendItem(strTitle, WithName(20, strName), nCached, ID_COL_SAVEAS, NULL, GetLangString(22));
    } else {
        menu.AppendItem(NULL, GetLangString(21), nCached, ID_COL_SAVEAS, NULL, GetLangString(22));
    }
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    if (bHasName) {
        CString strTitle = GetLangString(82);
        strTitle.Replace("[FILENAME]", strPlain);
        menu.AppendItem(strTitle, WithName(82, strName), nCached, ID_COL_SAVECOPY, icons.Load(155), GetLangString(24));
    } else {
        menu.AppendItem(NULL, GetLangString(23), nCached, ID_COL_SAVECOPY, icons.Load(155), GetLangString(24));
    }
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    const BYTE nLevel = g_pCollectionFile != NULL ? g_pCollectionFile->GetLevelByte() : 0;
    const BOOL bInternal = InternalInfoKeysDown();
    const BOOL bUpdate = nLevel > 9 || bInternal;
    if (bUpdate) {
        if (bHasName) {
            CString strTitle = GetLangString(578);
            strTitle.Replace("[FILENAME]", strPlain);
            menu.AppendItem(strTitle, WithName(578, strName), nCached, ID_COL_UPDATE, NULL, GetLangString(580));
        } else {
            menu.AppendItem(NULL, GetLangString(579), nCached, ID_COL_UPDATE, NULL, GetLangString(580));
        }
    }
    if (bInternal)
        menu.AppendItem("Collection Updated Flag",
                        nLevel > 9 ? "<rgb(255,0,0)>Collection Updated<noclr> Flag"
                                   : "<rgb(0,192,0)>Collection Updated<noclr> Flag",
                        nLevel <= 9 ? MF_CHECKED : MF_UNCHECKED, ID_COL_UPDATEFLAG);
    if (bUpdate)
        menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(35), MF_ENABLED, ID_COL_HIDE, icons.Load(394), GetLangString(36));
    menu.AppendItem(GetLangString(3), CString("<rgb(192,0,0)>") + GetLangString(3), MF_ENABLED, ID_COL_EXIT,
                    icons.Load(211), GetLangString(7), 0xFFFFFF, 0x0000DF);
}

void CTvnxDlg::OnCollectionCommand(UINT nCommand, const CSequence<SCANNEDCOLLECTION>& list)
{
    if (nCommand >= UINT(ID_COL_FIRSTLISTED) && nCommand < UINT(ID_COL_FIRSTLISTED) + UINT(list.GetSize())) {
        OpenCollection(list[nCommand - ID_COL_FIRSTLISTED].strPath, 0);
        return;
    }
    switch (nCommand) {
    case ID_COL_NEW:
        NewCollection();
        break;
    case ID_COL_OPEN:
        OpenCollection(NULL, 0);
        break;
    case ID_COL_IMPORT:
        ImportCollection(NULL);
        break;
    case ID_COL_SAVE:
        Save();
        break;
    case ID_COL_SAVEAS:
        SaveAs();
        break;
    case ID_COL_SAVECOPY:
        SaveCopyAs();
        break;
    case ID_COL_UPDATE:
        if (m_Fields.QueueWebSmilies() > 0) {
            while (CSmilie::StartNextDownload(FALSE, NULL)) {
            }
        } else {
            if (g_pCollectionFile != NULL)
                g_pCollectionFile->SetLevelByte(10);
            Message(581, MB_ICONINFORMATION);
        }
        break;
    case ID_COL_UPDATEFLAG:
        if (g_pCollectionFile != NULL)
            g_pCollectionFile->SetLevelByte(g_pCollectionFile->GetLevelByte() > 9 ? 0 : 10);
        break;
    case ID_COL_HIDE:
        ::SendMessageA(GetOwnerOrParent(), WM_HIDEMAINWND, reinterpret_cast<WPARAM>(m_hWnd), 0);
        break;
    case ID_COL_EXIT:
        if (g_Settings.WarnExit && Message(364, MB_YESNO | MB_ICONQUESTION) != IDYES)
            break;
        if (HWND hOwner = GetOwnerOrParent())
            ::DestroyWindow(hOwner);
        break;
    }
}

void CTvnxDlg::BuildOptionsMenu(C3DMenu& menu, C3DMenu& codeMenu, C3DMenu& lookMenu, C3DMenu& colorMenu,
                                CMenuIcons& icons)
{
    const CString strCode = m_Fields.m_hWnd != NULL ? m_Fields.GetCommonCode() : CString();
    codeMenu.CreatePopup(MenuStyle());
    BOOL bPreset = FALSE;
    for (int i = 0; i < 3; i++) {
        const BOOL bThis = strCode == kCodePresets[i].pszCode;
        bPreset = bPreset || bThis;
        codeMenu.AppendItem(CString(kCodePresets[i].pszName) + " : " + kCodePresets[i].pszCode,
                            kCodePresets[i].pszName, bThis ? MF_CHECKED : MF_UNCHECKED, ID_OPT_CODE_IMG + i, NULL,
                            GetLangString(11));
    }
    codeMenu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    const BOOL bCustom = !bPreset && !strCode.IsEmpty();
    CString strTip = GetLangString(13);
    if (bCustom)
        strTip += "\n\n" + strCode;
    codeMenu.AppendItem(NULL, GetLangString(12), bCustom ? MF_CHECKED : MF_UNCHECKED, ID_OPT_CODE_CUSTOM, NULL, strTip);

    menu.CreatePopup(MenuStyle());
    menu.AppendItem(GetLangString(10), CString("<b>") + GetLangString(10), MF_POPUP,
                    reinterpret_cast<UINT_PTR>(codeMenu.m_hMenu), icons.Load(398));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(308), g_Settings.InsertLocalSmilies ? MF_CHECKED : MF_UNCHECKED,
                    ID_OPT_LOCALSMILIES, NULL, GetLangString(309));
    menu.AppendItem(NULL, GetLangString(310), g_Settings.EudoraOnly ? MF_CHECKED : MF_UNCHECKED, ID_OPT_EUDORAONLY,
                    NULL, GetLangString(311));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(285), g_Settings.SmilieAnimation ? MF_CHECKED : MF_UNCHECKED,
                    ID_OPT_ANIMATION, NULL, GetLangString(286));
    menu.AppendItem(NULL, GetLangString(312), g_Settings.ShowTips ? MF_CHECKED : MF_UNCHECKED, ID_OPT_TIPS, NULL,
                    GetLangString(313));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);

    lookMenu.CreatePopup(MenuStyle());
    static const int looks[4][4] = {{45, 46, 131, 1}, {47, 48, 130, 0}, {49, 50, 129, 0}, {51, 52, 128, 1}};
    for (const auto& l : looks) {
        const BOOL bCurrent = g_Settings.SmilieFieldsLook == l[2] - ID_OPT_LOOK_FIRST;
        lookMenu.AppendItem(GetLangString(l[0]), CString(l[3] ? "<b>" : "") + GetLangString(l[0]),
                            bCurrent ? MF_CHECKED : MF_UNCHECKED, l[2], NULL, GetLangString(l[1]));
    }
    menu.AppendItem(NULL, GetLangString(44), MF_POPUP, reinterpret_cast<UINT_PTR>(lookMenu.m_hMenu), icons.Load(413));

    colorMenu.CreatePopup(MenuStyle());
    colorMenu.AppendItem(NULL, GetLangString(53), g_Settings.SkinColoringEnabled ? MF_ENABLED : MF_GRAYED,
                         ID_OPT_COLORING_OFF, NULL, GetLangString(54));
    for (int i = 0; i < 5; i++) {
        const BOOL bCurrent = g_Settings.SkinColoringEnabled && g_Settings.SkinColor == kColorPresets[i].clr;
        HICON hSwatch = MakeColorSwatchIcon(kColorPresets[i].clr, bCurrent);
        icons.Keep(hSwatch);
        colorMenu.AppendItem(NULL, CString(GetLangString(422)) + " " + kColorPresets[i].pszName,
                             bCurrent ? MF_GRAYED : MF_ENABLED, ID_OPT_COLOR_FIRST + i, hSwatch, GetLangString(451));
    }
    menu.AppendItem(NULL, GetLangString(43), MF_POPUP, reinterpret_cast<UINT_PTR>(colorMenu.m_hMenu), icons.Load(380));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(27), MF_ENABLED, ID_OPT_OPTIONS, icons.Load(157), GetLangString(28));
    if (InternalInfoKeysDown()) {
        menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
        menu.AppendItem(NULL, "&Zero Statistics", MF_ENABLED, ID_OPT_ZEROSTATS);
    }
}

void CTvnxDlg::OnOptionsCommand(UINT nCommand)
{
    if (nCommand >= UINT(ID_OPT_CODE_IMG) && nCommand <= UINT(ID_OPT_CODE_EZBOARD)) {
        m_Fields.SetCodeForAllFields(kCodePresets[nCommand - ID_OPT_CODE_IMG].pszCode);
        return;
    }
    if (nCommand >= UINT(ID_OPT_LOOK_FIRST) && nCommand <= UINT(ID_OPT_LOOK_FIRST) + 3) {
        const int nLook = int(nCommand) - ID_OPT_LOOK_FIRST;
        if (g_Settings.SmilieFieldsLook != nLook) {
            g_Settings.SmilieFieldsLook = nLook;
            m_Fields.SetBackColorMode(nLook);
            m_Fields.ApplyBackColorMode(nLook);
            SaveSettings(FALSE);
        }
        return;
    }
    if (nCommand >= UINT(ID_OPT_COLORING_OFF) && nCommand <= UINT(ID_OPT_COLOR_FIRST) + 4) {
        if (nCommand == UINT(ID_OPT_COLORING_OFF)) {
            g_Settings.SkinColoringEnabled = 0;
            g_Settings.SkinColorScheme = 0;
        } else {
            const int nRow = int(nCommand) - ID_OPT_COLOR_FIRST;
            if (g_Settings.SkinColoringEnabled && g_Settings.SkinColor == kColorPresets[nRow].clr)
                return;
            g_Settings.SkinColor = kColorPresets[nRow].clr;
            g_Settings.SkinColoringEnabled = 1;
            g_Settings.SkinColorScheme = nRow + 1;
        }
        ApplySkinColoring();
        ApplySkin();
        SaveSettings(FALSE);
        return;
    }
    switch (nCommand) {
    case ID_OPT_CODE_CUSTOM: {
        CString strCode = m_Fields.GetCommonCode();
        if (s_pfnRunDialog(this, DIALOG_CUSTOMTEMPLATE, &strCode) == IDOK)
            m_Fields.SetCodeForAllFields(strCode);
        break;
    }
    case ID_OPT_LOCALSMILIES:
        g_Settings.InsertLocalSmilies = !g_Settings.InsertLocalSmilies;
        SaveSettings(FALSE);
        break;
    case ID_OPT_EUDORAONLY:
        if (!g_Settings.EudoraOnly) {
            if (s_pfnMessageBox(this, GetLangString(399), MB_YESNO | MB_ICONQUESTION) != IDYES)
                break;
            g_Settings.EudoraOnly = 1;
            g_Settings.SmilieAnimation = 0;
            if (g_pImgCache != NULL)
                g_pImgCache->SetAnimation(FALSE);
            CFields::RedrawAll();
        } else {
            g_Settings.EudoraOnly = 0;
        }
        SaveSettings(FALSE);
        break;
    case ID_OPT_ANIMATION:
        g_Settings.SmilieAnimation = !g_Settings.SmilieAnimation;
        if (g_pImgCache != NULL)
            g_pImgCache->SetAnimation(g_Settings.SmilieAnimation);
        CFields::RedrawAll();
        SaveSettings(FALSE);
        break;
    case ID_OPT_TIPS:
        g_Settings.ShowTips = !g_Settings.ShowTips;
        g_bNoToolTips = !g_Settings.ShowTips;
        SaveSettings(FALSE);
        break;
    case ID_OPT_OPTIONS:
        SendMessage(WM_SHOWOPTIONS);
        break;
    case ID_OPT_ZEROSTATS:
        for (int i = m_Fields.GetFieldCount() - 1; i >= 0; i--)
            m_Fields.GetField(i)->ZeroStatistics();
        break;
    }
}

void CTvnxDlg::BuildHelpMenu(C3DMenu& menu, CMenuIcons& icons)
{
    menu.CreatePopup(MenuStyle());
    menu.AppendItem(NULL, GetLangString(29), MF_ENABLED, ID_HELP_HELP, icons.Load(374), GetLangString(30));
    menu.AppendItem(NULL, GetLangString(37), MF_ENABLED, ID_HELP_HISTORY, icons.Load(362), GetLangString(38));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(39), MF_ENABLED, ID_HELP_WEBSITE, icons.Load(399), GetLangString(40));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(GetLangString(33), CString("<rgb(255,255,0)>") + GetLangString(33), MF_ENABLED,
                    ID_HELP_WEBPAGE_HOWTO, icons.Load(392), GetLangString(34), 0xA0FFFF, 0xBF0000);
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(31), MF_ENABLED, ID_HELP_ABOUT, icons.Load(131), GetLangString(32));
    if (InternalInfoKeysDown()) {
        menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
        menu.AppendItem(NULL, "Internal Info", MF_ENABLED, ID_HELP_INTERNAL);
    }
}

void CTvnxDlg::OnHelpCommand(UINT nCommand)
{
    switch (nCommand) {
    case ID_HELP_HELP:
        OpenProgramFile("help\\index.htm");
        break;
    case ID_HELP_HISTORY:
        OpenProgramFile("history.txt");
        break;
    case ID_HELP_WEBSITE:
        OpenWebPage(m_hWnd, kWebSite);
        break;
    case ID_HELP_WEBPAGE_HOWTO:
        OpenHelpPage();
        break;
    case ID_HELP_ABOUT:
        s_pfnRunDialog(this, DIALOG_ABOUT, NULL);
        break;
    case ID_HELP_INTERNAL: {
        CString strProgram, strData = g_Settings.AppDataFolder;
        GetProgramFolder(strProgram);
        char szTemp[MAX_PATH] = "";
        GetTempFolder(sizeof(szTemp), szTemp);
        CString strText;
        strText.Format("Exe Path:           \"%s\"\r\nAppData Path: \"%s\"\r\nTemp Path:      \"%s\"\r\n",
                       strProgram.GetString(), strData.GetString(), szTemp);
        ::MessageBoxA(m_hWnd, strText, "Internal Info", MB_ICONINFORMATION);
        break;
    }
    }
}

void CTvnxDlg::BuildSliderMenu(C3DMenu& menu, CMenuIcons& icons)
{
    const int nCurrent = GetTransparencyPercent();
    menu.CreatePopup(MenuStyle());
    CString strTip = GetLangString(59);
    if (nCurrent == 0)
        strTip += CString("\n\n") + GetLangString(60);
    menu.AppendItem(NULL, GetLangString(58), nCurrent == 0 ? MF_GRAYED : MF_ENABLED, 1, icons.Load(226), strTip);
    for (int nPercent : {30, 50, 70, 90}) {
        char szText[256];
        _snprintf(szText, sizeof(szText), "%s &%d%%", GetLangString(55), nPercent);
        szText[sizeof(szText) - 1] = '\0';
        CString strItemTip = GetLangString(56);
        if (nPercent == nCurrent)
            strItemTip += CString("\n\n") + GetLangString(57);
        menu.AppendItem(NULL, szText, nPercent == nCurrent ? MF_GRAYED : MF_ENABLED, UINT(nPercent + 1),
                        icons.Load(227), strItemTip);
    }
}

void CTvnxDlg::ShowSliderMenu(POINT ptClient)
{
    POINT ptScreen = ptClient;
    ::ClientToScreen(m_Slider.m_hWnd, &ptScreen);
    if (!m_Slider.IsWindowEnabled() || !CanLayer()) {
        FONTSTYLE style;
        if (g_pSkin != NULL)
            style = g_pSkin->m_previewFont;
        CSmiliePreview::ShowImage(GetLangString(382), this, 0, 0, FALSE, &style, TRUE, ptScreen.x, ptScreen.y);
        return;
    }
    // Declared first, the icons outlive the menu that shows them.
    CMenuIcons icons;
    C3DMenu menu;
    BuildSliderMenu(menu, icons);
    const UINT nCommand = s_pfnTrackMenu(this, &menu, 0, ptScreen);
    if (nCommand != 0) {
        SetTransparency(int(nCommand) - 1, FALSE);
        SetTransparencyPercent(int(nCommand) - 1);
    }
}

void CTvnxDlg::ShowMenu(UINT nBarValue)
{
    const POINT ptNone = {0, 0};
    switch (nBarValue) {
    case BAR_COLLECTION: {
        CMenuIcons icons;
        C3DMenu menu, listMenu;
        CSequence<SCANNEDCOLLECTION> list;
        BuildCollectionMenu(menu, listMenu, list, icons);
        OnCollectionCommand(s_pfnTrackMenu(this, &menu, nBarValue, ptNone), list);
        break;
    }
    case BAR_OPTIONS: {
        UINT nCommand = 0;
        {
            CMenuIcons icons;
            C3DMenu menu, codeMenu, lookMenu, colorMenu;
            BuildOptionsMenu(menu, codeMenu, lookMenu, colorMenu, icons);
            nCommand = s_pfnTrackMenu(this, &menu, nBarValue, ptNone);
        }
        OnOptionsCommand(nCommand);
        break;
    }
    case BAR_HELP: {
        CMenuIcons icons;
        C3DMenu menu;
        BuildHelpMenu(menu, icons);
        OnHelpCommand(s_pfnTrackMenu(this, &menu, nBarValue, ptNone));
        break;
    }
    case BAR_FIELDS:
        if (m_Fields.m_hWnd != NULL && m_Fields.GetShownField() != NULL && m_MenuBar.m_hWnd != NULL) {
            for (int i = 0; i < m_MenuBar.GetItemCount(); i++) {
                if (m_MenuBar.GetItem(i).nValue != nBarValue)
                    continue;
                POINT pt = {m_MenuBar.GetItem(i).rect.left, m_MenuBar.GetItem(i).rect.bottom};
                ::ClientToScreen(m_MenuBar.m_hWnd, &pt);
                m_Fields.ShowFieldsMenu(&m_MenuBar, pt);
            }
        }
        break;
    case BAR_EDIT:
    case BAR_SMILIES:
        // The edit and smilies menus belong to the current field.
        if (m_Fields.m_hWnd != NULL && m_Fields.GetShownField() != NULL && m_MenuBar.m_hWnd != NULL) {
            if (nBarValue == BAR_EDIT)
                ShowEditMenu(m_Fields.GetShownField(), &m_MenuBar);
            else
                ShowSmiliesMenu(m_Fields.GetShownField(), &m_MenuBar);
        }
        break;
    default:
        break;
    }
}

// --- skin colour -----------------------------------------------------------------------------

void CTvnxDlg::ApplySkin()
{
    UpdateRegion();
    Invalidate();
    if (g_pSkin != NULL && m_Fields.m_hWnd != NULL)
        m_Fields.SetParams(&g_pSkin->m_fieldsLook);
    for (CTvnxBitmapButton* pButton : {&m_BtnClose, &m_BtnAbout}) {
        pButton->m_clrKey = g_Settings.SkinColor;
        pButton->m_bRecolor = g_Settings.SkinColoringEnabled;
        if (pButton->m_hWnd != NULL) {
            pButton->LoadBitmaps();
            pButton->Invalidate();
        }
    }
    if (m_MenuBar.m_hWnd != NULL)
        m_MenuBar.RefreshItems();
    if (g_pSkin != NULL && m_Slider.m_hWnd != NULL)
        m_Slider.SetStyle(&g_pSkin->m_sliderStyle);
}

HICON MakeColorSwatchIcon(COLORREF clr, BOOL bCurrent)
{
    auto lighter = [](int c) { return c == 255 ? c - (255 * 85 / 100) : c + (255 - c) * 85 / 100; };
    const COLORREF clrLight = RGB(lighter(GetRValue(clr)), lighter(GetGValue(clr)), lighter(GetBValue(clr)));
    const COLORREF clrDark = RGB(GetRValue(clr) * 70 / 100, GetGValue(clr) * 80 / 100, GetBValue(clr) * 80 / 100);
    HDC hScreen = ::GetDC(NULL);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, 16, 16);
    HBITMAP hMask = ::CreateBitmap(16, 16, 1, 1, NULL);
    ::ReleaseDC(NULL, hScreen);
    HGDIOBJ hOld = ::SelectObject(hDC, hColor);
    RECT rcAll = {0, 0, 16, 16};
    ::FillRect(hDC, &rcAll, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (bCurrent)
        DrawGradientFrame(clr, hDC, 1, 2, 16, 15, clrLight, clrDark, 1);
    else
        DrawGradientFrame(clr, hDC, 0, 1, 15, 14, clrLight, clrDark, 1);
    COLORREF clrTop = RGB(255, 255, 255), clrBottom = RGB(128, 128, 128);
    if (g_pSkin != NULL) {
        clrTop = g_pSkin->m_bodyStyle.clrHighlight;
        clrBottom = g_pSkin->m_bodyStyle.clrShadow;
    }
    CDC dc;
    dc.Attach(hDC);
    if (bCurrent)
        dc.Draw3dRect(0, 1, 16, 14, clrBottom, clrTop);
    else
        dc.Draw3dRect(0, 1, 16, 14, clrTop, clrBottom);
    dc.Detach();
    ::SelectObject(hDC, hMask);
    ::FillRect(hDC, &rcAll, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    RECT rcBody = {0, 1, 16, 15};
    ::FillRect(hDC, &rcBody, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ICONINFO ii = {TRUE, 0, 0, hMask, hColor};
    HICON hIcon = ::CreateIconIndirect(&ii);
    ::DeleteObject(hColor);
    ::DeleteObject(hMask);
    return hIcon;
}
