// The menus of a field and the commands behind them: the field menu of an
// empty cell, the smilie menu, and the main window's Edit and Smilies menus
// for the current field. Each menu is built, tracked, destroyed, and only
// then is its command carried out: a command may open dialogs or change the
// field, and the menu must be gone by then.
#include "fields/SmiliesFieldMenus.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "delivery/SourceText.h"
#include "dialogs/DlgPhraseProp.h"
#include "dialogs/DlgSmilieProp.h"
#include "fields/ExportSmilies.h"
#include "fields/FieldAdd.h"
#include "fields/SmiliesFieldControl.h"
#include "framework/Module.h"
#include "resources/resource.h"
#include "services/KeyState.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "skins/Skin.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/menus/3DMenuBar.h"
#include "ui3d/system/SysUtils.h"

#include <stdio.h>

#include <memory>

namespace {

// Pictures wider or higher than this count as large (command 6).
const int kLargeWidth = 43;
const int kLargeHeight = 50;
// The longest text a phrase editor takes.
const int kMaxPhraseChars = 10000;

const TEXTSTYLE* MenuStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
}

// One showing of a menu: the popup, its submenus and their icons. The
// submenus are destroyed with the popup; their objects only let go.
class CMenuShowing
{
public:
    CMenuShowing() { menu.CreatePopup(MenuStyle()); }
    ~CMenuShowing()
    {
        menu.DestroyMenu();
        for (C3DMenu* p : {&paste, &sub1, &sub2})
            p->Detach();
    }
    CMenuShowing(const CMenuShowing&) = delete;
    CMenuShowing& operator=(const CMenuShowing&) = delete;

    void Separator() { menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0); }

    CMenuIcons icons;
    C3DMenu menu;
    C3DMenu paste;
    C3DMenu sub1;
    C3DMenu sub2;
};

// Tracks the menu at a screen point for the field; the command chosen.
UINT TrackForField(CSmiliesFieldControl* pField, C3DMenu& menu, POINT ptScreen)
{
    ::SetForegroundWindow(::GetAncestor(pField->m_hWnd, GA_ROOT));
    const UINT nCommand = menu.Track(pField, ptScreen.x, ptScreen.y);
    ::PostMessageA(pField->m_hWnd, WM_NULL, 0, 0);
    return nCommand;
}

// The field window still exists and is still this object's.
BOOL IsFieldAlive(HWND hField, const CSmiliesFieldControl* pField)
{
    return ::IsWindow(hField) && CWnd::FromHandlePermanent(hField) == pField;
}

BOOL HasPicture(const CSmilie* pSmilie)
{
    return pSmilie != NULL && pSmilie->m_nImageRecord != 0;
}

BOOL HasSource(const CSmilie* pSmilie)
{
    return pSmilie != NULL && pSmilie->m_pszSource != NULL && pSmilie->m_pszSource[0] != '\0';
}

BOOL IsPhrase(const CSmilie* pSmilie)
{
    return pSmilie != NULL && pSmilie->m_nImageRecord == 0 && !HasSource(pSmilie) && !pSmilie->m_strPhrase.IsEmpty();
}

BOOL IsAnyDownloadRunning()
{
    for (int i = 0; i < g_WebSmilieQueue.GetSize(); i++)
        if (g_WebSmilieQueue[i]->m_pDownload != NULL)
            return TRUE;
    return FALSE;
}

// The item text of a language string followed by the smilie's name.
void Named(int nString, CSmilie* pSmilie, CString& strText, CString& strSecond)
{
    FormatMenuItemText(NULL, pSmilie, strText, strSecond, CString(GetLangString(nString)) + " [SMILIENAME]");
}

// The picture's size as the field shows it (under its crop); 0 by 0 without
// a picture or an image cache.
CSize ShownPictureSize(CSmilie* pSmilie)
{
    if (!HasPicture(pSmilie) || g_pImgCache == NULL)
        return CSize(0, 0);
    if (pSmilie->m_nImageId != 0)
        return pSmilie->GetImageSize();
    const uint32_t nImageId = g_pImgCache->AddCollectionImage(pSmilie->m_nImageRecord);
    if (nImageId == 0)
        return CSize(0, 0);
    g_pImgCache->SetImageCrop(nImageId, pSmilie->m_nCrop);
    return g_pImgCache->GetImageSize(nImageId);
}

// The selected smilies whose pictures are large.
void GetLargeSelected(const CSmiliesField* pField, CSequence<const CSmilie*>& large)
{
    CSequence<const CSmilie*> selection;
    pField->GetSelection(&selection);
    for (int i = 0; i < selection.GetSize(); i++) {
        const CSize size = ShownPictureSize(const_cast<CSmilie*>(selection[i]));
        if (size.cx > kLargeWidth || size.cy > kLargeHeight)
            large.Add(selection[i]);
    }
}

void PushUndo(CSmiliesField* pField, int nTitle)
{
    ::SendMessageA(::GetParent(pField->m_hWnd), WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(nTitle)), 0);
}

// --- pieces the menus share -----------------------------------------------------------------

void AppendSelectAll(CMenuShowing& m, const CSmiliesField* pField, BOOL bLongTip)
{
    const BOOL bAll = pField->GetSelectedCount() == pField->GetSmilieCount();
    CString strTip = GetLangString(133);
    if (bLongTip && bAll)
        strTip += CString("\n\n") + GetLangString(171);
    m.menu.AppendItem(NULL, GetLangString(132), bAll ? MF_GRAYED : MF_ENABLED, ID_FIELDMENU_SELECT_ALL,
                      m.icons.Load(IDI_FIELDMENU_SELECT_ALL), strTip);
}

// The new submenu (in sub), or the grayed item that stands for it.
void AppendNewItems(CMenuShowing& m, C3DMenu& sub, BOOL bEnabled)
{
    const CMenuItemIcon hNew = m.icons.Load(IDI_FIELDMENU_NEW);
    if (!bEnabled) {
        m.menu.AppendItem(NULL, GetLangString(173), MF_GRAYED, ID_FIELDMENU_NEW_SMILIE, hNew);
        return;
    }
    char szTip[512];
    FormatTemplate(szTip, sizeof(szTip), GetLangString(177), "[CHARNUM]", "%d", kMaxPhraseChars, NULL);
    sub.CreatePopup(&m.menu.GetStyle());
    sub.AppendItem(NULL, GetLangString(174), MF_ENABLED, ID_FIELDMENU_NEW_SMILIE, m.icons.Load(IDI_FIELDMENU_NEW_SMILIE),
                   GetLangString(175));
    sub.AppendItem(NULL, GetLangString(176), MF_ENABLED, ID_FIELDMENU_NEW_PHRASE, m.icons.Load(IDI_FIELDMENU_NEW_PHRASE),
                   szTip);
    m.menu.AppendItem(NULL, GetLangString(173), MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu), hNew);
}

// The export item for the smilie, or for a selection of several.
void AppendExport(CMenuShowing& m, CSmilie* pSmilie, BOOL bSingle, UINT nFlags)
{
    CString strText, strSecond, strTip;
    if (!bSingle) {
        strText = strSecond = GetLangString(123);
        strTip = GetLangString(124);
    } else if (IsPhrase(pSmilie)) {
        strText = strSecond = GetLangString(125);
        strTip = GetLangString(126);
    } else {
        FormatMenuItemText(NULL, pSmilie, strText, strSecond, GetLangString(120));
        strTip = GetLangString(122);
    }
    m.menu.AppendItem(strSecond, strText, nFlags, ID_FIELDMENU_EXPORT, m.icons.Load(IDI_FIELDMENU_EXPORT), strTip);
}

// The download item's texts: for an address without a picture, or to fetch
// the picture again; "later" while another download runs.
void AppendDownload(CMenuShowing& m, CSmilie* pSmilie, UINT nFlags)
{
    const BOOL bBusy = IsAnyDownloadRunning();
    int nText, nTip;
    if (!HasPicture(pSmilie) && HasSource(pSmilie)) {
        nText = bBusy ? 164 : 160;
        nTip = bBusy ? 165 : 161;
    } else {
        nText = bBusy ? 158 : 154;
        nTip = bBusy ? 159 : 155;
    }
    CString strText, strSecond;
    if (nFlags & MF_GRAYED) {
        nText = 154;
        nTip = 155;
        strText = strSecond = GetLangString(nText);
    } else {
        Named(nText, pSmilie, strText, strSecond);
    }
    m.menu.AppendItem(strSecond, strText, nFlags, ID_FIELDMENU_DOWNLOAD, m.icons.Load(IDI_FIELDMENU_DOWNLOAD),
                      GetLangString(nTip));
}

void AppendStopDownload(CMenuShowing& m, CSmilie* pSmilie)
{
    const BOOL bAddress = !HasPicture(pSmilie);
    CString strText, strSecond;
    Named(bAddress ? 162 : 156, pSmilie, strText, strSecond);
    m.menu.AppendItem(strSecond, strText, MF_ENABLED, ID_FIELDMENU_STOP_DOWNLOAD,
                      m.icons.Load(IDI_FIELDMENU_STOP_DOWNLOAD), GetLangString(bAddress ? 163 : 157));
}

void AppendProperties(CMenuShowing& m, CSmilie* pSmilie, UINT nFlags)
{
    CString strText, strSecond;
    FormatMenuItemText(GetLangString(141), pSmilie, strText, strSecond, GetLangString(140));
    m.menu.AppendItem(strSecond, strText, nFlags, ID_FIELDMENU_PROPERTIES,
                      m.icons.Load(HasPicture(pSmilie) ? IDI_FIELDMENU_PROPERTIES_PICTURE : IDI_FIELDMENU_PROPERTIES_PHRASE),
                      GetLangString(142));
}

// Cut, copy, paste with its history, and delete: named after the smilie
// when only it is concerned.
// bGrayed grays them all, bNoSmilie all but paste.
void AppendClipboardItems(CMenuShowing& m, CSmilie* pSmilie, BOOL bSingle, BOOL bGrayed, BOOL bNoSmilie)
{
    const UINT nFlags = bGrayed || bNoSmilie ? MF_GRAYED : MF_ENABLED;
    auto text = [&](int nString, CString& strText, CString& strSecond) {
        if (bSingle && pSmilie != NULL)
            Named(nString, pSmilie, strText, strSecond);
        else
            strText = strSecond = GetLangString(nString);
    };
    CString strText, strSecond;
    text(136, strText, strSecond);
    m.menu.AppendItem(strSecond, strText, nFlags, ID_FIELDMENU_CUT, m.icons.Load(IDI_FIELDMENU_CUT),
                      GetLangString(137));
    text(138, strText, strSecond);
    m.menu.AppendItem(strSecond, strText, nFlags, ID_FIELDMENU_COPY, m.icons.Load(IDI_FIELDMENU_COPY),
                      GetLangString(139));
    BuildPasteMenu(m.paste, m.icons, m.menu, bGrayed);
    text(134, strText, strSecond);
    m.menu.AppendItem(strSecond, strText, nFlags, ID_FIELDMENU_DELETE, m.icons.Load(IDI_FIELDMENU_DELETE),
                      GetLangString(135));
}

// The lines shown while Alt and "`" are held: the selection's size and its
// large pictures.
void AppendSelectionInfo(CMenuShowing& m, const CSmiliesField* pField)
{
    CSequence<const CSmilie*> selection;
    pField->GetSelection(&selection);
    uint64_t nBytes = 0;
    for (int i = 0; i < selection.GetSize(); i++)
        nBytes += selection[i]->GetImageDataSize();
    CSequence<const CSmilie*> large;
    GetLargeSelected(pField, large);
    char sz[128];
    m.Separator();
    sprintf(sz, "Sel size: %ld KB", static_cast<long>(nBytes / 1024));
    m.menu.AppendItem(NULL, sz, MF_GRAYED, 0);
    sprintf(sz, "Smilies over %d/%dpx: %d", kLargeWidth, kLargeHeight, large.GetSize());
    const BOOL bAny = large.GetSize() > 0;
    m.menu.AppendItem(NULL, sz, bAny ? MF_ENABLED : MF_GRAYED, bAny ? ID_FIELDMENU_SELECT_LARGE : 0);
}

// --- commands ---------------------------------------------------------------------------------

// 102: a web address on the clipboard becomes a new smilie, any other text a new phrase.
void NewFromClipboard(CSmiliesFieldControl* pField, POINT pt)
{
    CString strText;
    if (!GetClipboardText(strText))
        return;
    CString strAddress;
    if (ExtractWebAddress(strText, strAddress) && !strAddress.IsEmpty())
        NewSmilieAt(pt, pField, strAddress);
    else
        NewPhraseAt(pt, pField, strText);
}

// The commands the field menu and the Smilies menu share for a cell.
void OnCellCommand(CSmiliesFieldControl* pField, UINT nCommand, POINT pt)
{
    if (nCommand == 0)
        return;
    switch (nCommand) {
    case ID_FIELDMENU_SELECT_ALL:
        pField->SelectAll();
        return;
    case ID_FIELDMENU_ADD_FILES:
        AddPicturesFromFiles(pField, pt);
        return;
    case ID_FIELDMENU_NEW_SMILIE:
        NewSmilieAt(pt, pField, "");
        return;
    case ID_FIELDMENU_NEW_PHRASE:
        NewPhraseAt(pt, pField, "");
        return;
    case ID_FIELDMENU_NEW_FROM_CLIPBOARD:
        NewFromClipboard(pField, pt);
        return;
    }
    if (OnInsertRowsCommand(pField, nCommand, pt))
        return;
    if (nCommand >= ID_FIELDMENU_SORT_FIRST && nCommand <= 79) {
        OnSortCommand(pField, nCommand);
        return;
    }
    OnPasteCommand(pField, nCommand, pt);
}

void DeleteCommand(CSmiliesFieldControl* pField, POINT pt, int nOneTitle, int nSeveralTitle)
{
    PushUndo(pField, pField->GetSelectedCount() < 2 ? nOneTitle : nSeveralTitle);
    pField->DeleteAtPoint(pField, pt, FALSE);
}

// 4: the properties dialog of a picture or a phrase, its answer applied as
// one undo step.
void PropertiesCommand(CSmiliesFieldControl* pField, CSmilie* pSmilie)
{
    const HWND hField = pField->m_hWnd;
    if (HasPicture(pSmilie)) {
        // The offset is known relative to the picture as the cell lays it
        // out (under its crop): lay the cell out first.
        pField->RedrawSmilie(pSmilie);
        if (pSmilie->m_nImageId != 0 && g_pImgCache != NULL)
            g_pImgCache->SetImageCrop(pSmilie->m_nImageId, pSmilie->m_nCrop);
        const CPoint ptOldOffset = pSmilie->GetImageOffset();
        CString strText = pSmilie->m_strPhrase;
        int nTextOnly = 0, nReload = 0, nCensored = (pSmilie->m_nFlags & CSmilie::flagCensored) ? 1 : 0;
        POINT ptOffset = ptOldOffset;
        BYTE nCrop = pSmilie->m_nCrop;
        const BOOL bWeb = (pSmilie->m_nFlags & CSmilie::flagWebSmilie) != 0;
        CDlgSmilieProp dlg(pSmilie, &strText, &nTextOnly, bWeb ? NULL : &nReload, &ptOffset, &nCrop, &nCensored);
        if (dlg.Show() != IDOK || !IsFieldAlive(hField, pField) || !pField->FindSmilie(pSmilie))
            return;
        const BOOL bOffset = ptOffset.x != ptOldOffset.x || ptOffset.y != ptOldOffset.y || nCrop != pSmilie->m_nCrop;
        const BOOL bText = strText != pSmilie->m_strPhrase;
        if (bOffset || nTextOnly || bText)
            PushUndo(pField, 480);
        if (bOffset) {
            if (nCrop != pSmilie->m_nCrop) {
                pSmilie->m_nCrop = nCrop;
                if (pSmilie->m_nImageId != 0 && g_pImgCache != NULL)
                    g_pImgCache->SetImageCrop(pSmilie->m_nImageId, nCrop);
            }
            pSmilie->SetImageOffset(ptOffset.x, ptOffset.y);
        }
        pField->StopSmilieTimer(pSmilie);
        if (nTextOnly) {
            pSmilie->ReleaseDownload();
            CSmilie::UnqueueDownload(pSmilie);
            pSmilie->SetSource("");
        }
        pSmilie->SetPhrase(strText, nTextOnly);
        if (nReload && HasSource(pSmilie))
            pSmilie->StartDownload(pSmilie->m_pszSource);
        pSmilie->SetCensored(nCensored);
        if (bOffset || nTextOnly || bText)
            pField->SetFieldsModified();
    } else if (IsPhrase(pSmilie)) {
        CString strText = pSmilie->m_strPhrase;
        CDlgPhraseProp dlg(pSmilie, &strText, pField);
        if (dlg.DoModal() != IDOK || !IsFieldAlive(hField, pField) || !pField->FindSmilie(pSmilie))
            return;
        if (strText == pSmilie->m_strPhrase)
            return;
        PushUndo(pField, 480);
        pField->StopSmilieTimer(pSmilie);
        pSmilie->SetPhrase(strText, FALSE);
        pField->SetFieldsModified();
    } else {
        return;
    }
    pField->RedrawSmilie(pSmilie);
    pField->UpdateWindow();
}

// The commands of the smilie menu (and of the Edit and Smilies menus) for
// the smilie at the point.
void OnSmilieCommand(CSmiliesFieldControl* pField, UINT nCommand, POINT pt, CSmilie* pSmilie)
{
    switch (nCommand) {
    case 0:
        return;
    case ID_FIELDMENU_DELETE:
        if (pSmilie != NULL)
            DeleteCommand(pField, pt, 469, 470);
        return;
    case ID_FIELDMENU_CUT:
        if (pSmilie != NULL) {
            PushUndo(pField, pSmilie->m_bSelected && pField->GetSelectedCount() >= 2 ? 479 : 478);
            pField->CopySmiliesToClipboard(pt);
            pField->CopyToPasteHistory(pt);
            pField->DeleteAtPoint(pField, pt, FALSE);
        }
        return;
    case ID_FIELDMENU_COPY:
        if (pSmilie != NULL) {
            pField->CopySmiliesToClipboard(pt);
            pField->CopyToPasteHistory(pt);
        }
        return;
    case ID_FIELDMENU_PROPERTIES:
        if (pSmilie != NULL)
            PropertiesCommand(pField, pSmilie);
        return;
    case ID_FIELDMENU_SELECT_LARGE: {
        CSequence<const CSmilie*> large;
        GetLargeSelected(pField, large);
        pField->DeselectAll();
        pField->SelectSmilies(&large);
        return;
    }
    case ID_FIELDMENU_SELECT_ALL:
        pField->SelectAll();
        return;
    case ID_FIELDMENU_DOWNLOAD:
        if (HasSource(pSmilie))
            pSmilie->StartDownload(pSmilie->m_pszSource);
        return;
    case ID_FIELDMENU_STOP_DOWNLOAD:
        if (pSmilie != NULL) {
            pSmilie->ReleaseDownload();
            CSmilie::UnqueueDownload(pSmilie);
            pField->RedrawSmilie(pSmilie);
        }
        return;
    case ID_FIELDMENU_EXPORT:
        if (pSmilie != NULL) {
            CSequence<const CSmilie*> list;
            if (pField->GetSelectedCount() < 2)
                list.Add(pSmilie);
            else
                pField->GetSelection(&list);
            CString strName;
            pField->GetWindowText(strName);
            ExportSmilies(list, pField, strName);
        }
        return;
    }
    if (OnInsertRowsCommand(pField, nCommand, pt))
        return;
    if (nCommand >= ID_FIELDMENU_SORT_FIRST && nCommand <= 79)
        return;
    OnPasteCommand(pField, nCommand, pt);
}

// The cell the main window's menus act at: the focus cell, else (bSelection)
// the first selected smilie's. FALSE when there is none.
BOOL GetTargetCell(CSmiliesFieldControl* pField, BOOL bSelection, POINT& cell)
{
    if (pField->HasFocusCell()) {
        cell = pField->GetFocusCell();
        return TRUE;
    }
    if (!bSelection || pField->GetSelectedCount() == 0)
        return FALSE;
    CSequence<const CSmilie*> selection;
    pField->GetSelection(&selection);
    if (selection.GetSize() == 0)
        return FALSE;
    cell.x = selection[0]->m_nColumn;
    cell.y = selection[0]->m_nRow;
    return TRUE;
}

// While the menu was open the smilie may have gone, and another may have
// taken its cell, even at its address: the commands that name the smilie
// act only on the one the menu was shown for, as it was.
CSmilie* SmilieStillAt(CSmiliesFieldControl* pField, POINT pt, CSmilie* pSmilie, const CSmilie& snapshot)
{
    const POINT cell = pField->CellFromPoint(pt);
    return pField->GetAt(cell.x, cell.y) == pSmilie && pSmilie->Compare(snapshot) ? pSmilie : NULL;
}

BOOL IsSmilieCommand(UINT nCommand)
{
    switch (nCommand) {
    case ID_FIELDMENU_DELETE:
    case ID_FIELDMENU_CUT:
    case ID_FIELDMENU_COPY:
    case ID_FIELDMENU_PROPERTIES:
    case ID_FIELDMENU_DOWNLOAD:
    case ID_FIELDMENU_STOP_DOWNLOAD:
    case ID_FIELDMENU_EXPORT:
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowFieldMenu(CSmiliesFieldControl* pField, POINT pt)
{
    if (pField == NULL || pField->m_hWnd == NULL)
        return;
    const HWND hField = pField->m_hWnd;
    UINT nCommand = 0;
    {
        CMenuShowing m;
        BuildPasteMenu(m.paste, m.icons, m.menu, FALSE);
        m.Separator();
        m.menu.AppendItem(NULL, GetLangString(118), MF_ENABLED, ID_FIELDMENU_ADD_FILES,
                          m.icons.Load(IDI_FIELDMENU_ADD_FILES), GetLangString(119));
        AppendNewItems(m, m.sub1, TRUE);
        m.Separator();
        AppendSelectAll(m, pField, TRUE);
        m.Separator();
        BuildInsertRowsMenu(m.icons, pField, m.menu, m.sub2, FALSE);
        if (InternalInfoKeysDown()) {
            char sz[64];
            sprintf(sz, "Field size: %ld KB", static_cast<long>(pField->GetImageDataTotal() / 1024));
            m.Separator();
            m.menu.AppendItem(NULL, sz, MF_GRAYED, 0);
        }
        POINT ptScreen = pt;
        ::ClientToScreen(hField, &ptScreen);
        nCommand = TrackForField(pField, m.menu, ptScreen);
    }
    if (IsFieldAlive(hField, pField))
        OnCellCommand(pField, nCommand, pt);
}

void ShowSmilieMenu(CSmiliesFieldControl* pField, POINT pt)
{
    if (pField == NULL || pField->m_hWnd == NULL)
        return;
    const HWND hField = pField->m_hWnd;
    const POINT cell = pField->CellFromPoint(pt);
    CSmilie* pSmilie = pField->GetAt(cell.x, cell.y);
    if (pSmilie == NULL)
        return;
    const CSmilie snapshot(*pSmilie);
    const int nSelected = pField->GetSelectedCount();
    const BOOL bSingle = nSelected == 0 || (nSelected == 1 && pSmilie->m_bSelected);
    UINT nCommand = 0;
    {
        CMenuShowing m;
        AppendClipboardItems(m, pSmilie, bSingle, FALSE, FALSE);
        if (HasPicture(pSmilie) || IsPhrase(pSmilie)) {
            m.Separator();
            AppendExport(m, pSmilie, bSingle, MF_ENABLED);
        }
        m.Separator();
        AppendSelectAll(m, pField, FALSE);
        m.Separator();
        BuildInsertRowsMenu(m.icons, pField, m.menu, m.sub2, FALSE);
        if (bSingle) {
            m.Separator();
            if (HasSource(pSmilie) && !(pSmilie->m_nFlags & CSmilie::flagWebSmilie)) {
                if (pSmilie->m_pDownload != NULL)
                    AppendStopDownload(m, pSmilie);
                else
                    AppendDownload(m, pSmilie, MF_ENABLED);
            }
            if (HasPicture(pSmilie) || IsPhrase(pSmilie))
                AppendProperties(m, pSmilie, MF_ENABLED);
        }
        if (nSelected > 0 && InternalInfoKeysDown())
            AppendSelectionInfo(m, pField);
        CRect rcWindow;
        ::GetWindowRect(hField, &rcWindow);
        nCommand = TrackForField(pField, m.menu, POINT{rcWindow.left + pt.x, rcWindow.top + pt.y});
    }
    if (!IsFieldAlive(hField, pField))
        return;
    if (IsSmilieCommand(nCommand) && SmilieStillAt(pField, pt, pSmilie, snapshot) == NULL)
        return;
    OnSmilieCommand(pField, nCommand, pt, pSmilie);
}

void ShowEditMenu(CSmiliesFieldControl* pField, C3DMenuBar* pMenuBar)
{
    if (pField == NULL || pField->m_hWnd == NULL || pMenuBar == NULL)
        return;
    const HWND hField = pField->m_hWnd;
    const HWND hContainer = ::GetParent(hField);
    POINT cell = {0, 0};
    const BOOL bTarget = GetTargetCell(pField, TRUE, cell);
    CSmilie* pSmilie = bTarget ? pField->GetAt(cell.x, cell.y) : NULL;
    const POINT pt = bTarget ? pField->GetCellRect(cell.x, cell.y).CenterPoint() : POINT{0, 0};
    const std::unique_ptr<CSmilie> snapshot(pSmilie != NULL ? new CSmilie(*pSmilie) : NULL);
    const int nSelected = pField->GetSelectedCount();
    const BOOL bSingle = nSelected == 0 || (nSelected == 1 && pSmilie != NULL && pSmilie->m_bSelected);
    UINT nCommand = 0;
    {
        CMenuShowing m;
        const BOOL bCanUndo = ::SendMessageA(hContainer, WM_CANUNDO, 0, 0) != 0;
        const BOOL bCanRedo = ::SendMessageA(hContainer, WM_CANREDO, 0, 0) != 0;
        CString strUndo = GetLangString(127);
        if (bCanUndo) {
            const LPCSTR pszTitle = reinterpret_cast<LPCSTR>(::SendMessageA(hContainer, WM_GETUNDOTITLE, 0, 0));
            strUndo += CString(" <rgb(0,255,0)>") + (pszTitle != NULL ? pszTitle : "");
        }
        CString strRedo = GetLangString(129);
        if (bCanRedo) {
            const LPCSTR pszTitle = reinterpret_cast<LPCSTR>(::SendMessageA(hContainer, WM_GETREDOTITLE, 0, 0));
            strRedo += CString(" <rgb(255,0,0)>") + (pszTitle != NULL ? pszTitle : "");
        }
        m.menu.AppendItem(GetLangString(127), strUndo, bCanUndo ? MF_ENABLED : MF_GRAYED, ID_FIELDMENU_UNDO,
                          m.icons.Load(IDI_FIELDMENU_UNDO), GetLangString(128));
        m.menu.AppendItem(GetLangString(129), strRedo, bCanRedo ? MF_ENABLED : MF_GRAYED, ID_FIELDMENU_REDO,
                          m.icons.Load(IDI_FIELDMENU_REDO), GetLangString(130));
        m.Separator();
        // Nothing to cut, copy or delete in an empty target cell.
        AppendClipboardItems(m, pSmilie, bSingle, !bTarget, pSmilie == NULL);
        AppendSelectAll(m, pField, FALSE);
        BuildInsertRowsMenu(m.icons, pField, m.menu, m.sub2, !bTarget);
        nCommand = pMenuBar->DropDownMenu(&m.menu, MENUBAR_VALUE_EDIT);
    }
    if (!IsFieldAlive(hField, pField))
        return;
    if (nCommand == ID_FIELDMENU_UNDO) {
        ::SendMessageA(hContainer, WM_UNDO_FIELDS, 0, 0);
        return;
    }
    if (nCommand == ID_FIELDMENU_REDO) {
        ::SendMessageA(hContainer, WM_REDO_FIELDS, 0, 0);
        return;
    }
    if (!bTarget && nCommand != ID_FIELDMENU_SELECT_ALL)
        return;
    if (IsSmilieCommand(nCommand) && (pSmilie == NULL || SmilieStillAt(pField, pt, pSmilie, *snapshot) == NULL))
        return;
    OnSmilieCommand(pField, nCommand, pt, pSmilie);
}

void RunEditCommand(CSmiliesFieldControl* pField, UINT nCommand)
{
    if (pField == NULL || pField->m_hWnd == NULL)
        return;
    const HWND hContainer = ::GetParent(pField->m_hWnd);
    if (nCommand == ID_FIELDMENU_UNDO || nCommand == ID_FIELDMENU_REDO) {
        const BOOL bUndo = nCommand == ID_FIELDMENU_UNDO;
        if (::SendMessageA(hContainer, bUndo ? WM_CANUNDO : WM_CANREDO, 0, 0) != 0)
            ::SendMessageA(hContainer, bUndo ? WM_UNDO_FIELDS : WM_REDO_FIELDS, 0, 0);
        return;
    }
    POINT cell = {0, 0};
    if (!GetTargetCell(pField, TRUE, cell))
        return;
    CSmilie* pSmilie = pField->GetAt(cell.x, cell.y);
    const POINT pt = pField->GetCellRect(cell.x, cell.y).CenterPoint();
    if (nCommand == ID_FIELDMENU_PASTE) {
        OnPasteCommand(pField, nCommand, pt);
        return;
    }
    if ((nCommand == ID_FIELDMENU_CUT || nCommand == ID_FIELDMENU_COPY) && pSmilie != NULL)
        OnSmilieCommand(pField, nCommand, pt, pSmilie);
}

void ShowSmiliesMenu(CSmiliesFieldControl* pField, C3DMenuBar* pMenuBar)
{
    if (pField == NULL || pField->m_hWnd == NULL || pMenuBar == NULL)
        return;
    const HWND hField = pField->m_hWnd;
    POINT cell = {0, 0};
    const BOOL bTarget = GetTargetCell(pField, FALSE, cell);
    CSmilie* pSmilie = bTarget ? pField->GetAt(cell.x, cell.y) : NULL;
    const POINT pt = bTarget ? pField->GetCellRect(cell.x, cell.y).CenterPoint() : POINT{0, 0};
    const BOOL bEmptyCell = bTarget && pSmilie == NULL;
    const std::unique_ptr<CSmilie> snapshot(pSmilie != NULL ? new CSmilie(*pSmilie) : NULL);
    const BOOL bSeveral = pField->GetSelectedCount() >= 2;
    UINT nCommand = 0;
    {
        CMenuShowing m;
        AppendNewItems(m, m.sub1, bEmptyCell);
        m.menu.AppendItem(NULL, GetLangString(118), bEmptyCell ? MF_ENABLED : MF_GRAYED, ID_FIELDMENU_ADD_FILES,
                          m.icons.Load(IDI_FIELDMENU_ADD_FILES), GetLangString(119));
        m.Separator();
        const BOOL bExport = HasPicture(pSmilie) || IsPhrase(pSmilie);
        AppendExport(m, pSmilie, !bSeveral, bExport ? MF_ENABLED : MF_GRAYED);
        m.Separator();
        BuildSortMenu(m.icons, pField, m.menu, m.sub2);
        m.Separator();
        if (pSmilie != NULL && pSmilie->m_pDownload != NULL)
            AppendStopDownload(m, pSmilie);
        AppendDownload(m, pSmilie, HasSource(pSmilie) ? MF_ENABLED : MF_GRAYED);
        m.Separator();
        AppendProperties(m, pSmilie, bExport ? MF_ENABLED : MF_GRAYED);
        nCommand = pMenuBar->DropDownMenu(&m.menu, MENUBAR_VALUE_SMILIES);
    }
    if (!IsFieldAlive(hField, pField) || nCommand == 0)
        return;
    if (nCommand >= ID_FIELDMENU_SORT_FIRST && nCommand <= ID_FIELDMENU_SORT_LAST) {
        OnSortCommand(pField, nCommand);
        return;
    }
    if (!bTarget)
        return;
    if (IsSmilieCommand(nCommand)) {
        if (pSmilie != NULL && SmilieStillAt(pField, pt, pSmilie, *snapshot) != NULL)
            OnSmilieCommand(pField, nCommand, pt, pSmilie);
        return;
    }
    OnCellCommand(pField, nCommand, pt);
}
