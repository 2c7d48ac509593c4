#include "fields/SmiliesFieldMenus.h"

#include "collection/Smilie.h"
#include "fields/DroppedData.h"
#include "fields/FieldAdd.h"
#include "fields/SmiliesField.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/SmiliesPasteGroup.h"
#include "framework/Module.h"
#include "framework/OleDataObject.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/SysUtils.h"

namespace {

const int kMaxItemText = 128;
// Rows that commands 83 to 87 insert.
const int kInsertedRows[] = {1, 2, 3, 5, 10};

// The template with the placeholder replaced by the value, within the
// length an item text may have.
CString FillName(LPCTSTR pszTemplate, LPCTSTR pszValue)
{
    char sz[kMaxItemText];
    FormatTemplate(sz, sizeof(sz), pszTemplate != NULL ? pszTemplate : "", "[SMILIENAME]", "%s", pszValue, NULL);
    return sz;
}

// The name between its markup, the name cut (never inside a double-byte
// character) so that the whole fits the item's length: a value too long
// for it would be left out altogether.
CString FillMarkedName(LPCTSTR pszTemplate, const CString& strName, LPCTSTR pszBefore, LPCTSTR pszAfter)
{
    const int nFixed = static_cast<int>(lstrlenA(pszTemplate != NULL ? pszTemplate : "")) -
                       static_cast<int>(sizeof("[SMILIENAME]") - 1) + lstrlenA(pszBefore) + lstrlenA(pszAfter);
    const int nRoom = kMaxItemText - 1 - nFixed;
    const char* pEnd = strName;
    for (const char* p = strName; *p != '\0' && p - strName.GetString() <= nRoom; p = ::CharNextA(p)) {
        const char* pNext = ::CharNextA(p);
        if (pNext - strName.GetString() <= nRoom)
            pEnd = pNext;
    }
    const CString strCut = strName.Left(static_cast<int>(pEnd - strName.GetString()));
    return FillName(pszTemplate, CString(pszBefore) + strCut + pszAfter);
}

}  // namespace

CMenuItemIcon CMenuIcons::Load(UINT nId)
{
    const int kSize = 16;   // LoadImage stretches whatever the resource holds to this
    HICON hIcon = static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nId), IMAGE_ICON, kSize, kSize, LR_DEFAULTCOLOR));
    return Keep(hIcon, kSize, kSize);
}

HICON CMenuIcons::Keep(HICON hIcon)
{
    if (hIcon != NULL)
        m_icons.Add(hIcon);
    return hIcon;
}

void CMenuIcons::Free()
{
    for (int i = 0; i < m_icons.GetSize(); i++)
        ::DestroyIcon(m_icons[i]);
    m_icons.RemoveAll();
}

void FormatMenuItemText(LPCTSTR pszFixed, CSmilie* pSmilie, CString& strText, CString& strSecond,
                        LPCTSTR pszTemplate)
{
    if (pSmilie != NULL && pSmilie->m_nImageRecord != 0) {
        CString strName = pSmilie->GetImageFileName();
        strName.Trim();
        if (strName.IsEmpty()) {
            strText = strSecond = FillName(pszTemplate, "");
            return;
        }
        strText = FillMarkedName(pszTemplate, strName, "<rgb(255,255,0)>", "<noclr><n>");
        strSecond = FillMarkedName(pszTemplate, strName, "\"", "\"");
        return;
    }
    if (pSmilie != NULL && IsPhraseSmilie(pSmilie)) {
        strText = strSecond = pszFixed != NULL && pszFixed[0] != '\0' ? FillName(pszFixed, "")
                                                                      : FillName(pszTemplate, "");
        return;
    }
    const CString strName = GetLangString(522);
    strText = FillMarkedName(pszTemplate, strName, "<rgb(192,0,0)>", "<noclr><n>");
    strSecond = FillMarkedName(pszTemplate, strName, "\"", "\"");
}

void BuildSortMenu(CMenuIcons& icons, const CSmiliesField* pField, C3DMenu& parent, C3DMenu& submenu)
{
    const CMenuItemIcon hSort = icons.Load(IDI_FIELDMENU_SORT);
    if (pField == NULL || pField->GetSmilieCount() == 0) {
        parent.AppendItem(NULL, GetLangString(143), MF_GRAYED, ID_FIELDMENU_SORT_FIRST, hSort, GetLangString(171));
        return;
    }
    // The sorts first, then the layouts; each text's tip is the entry after it.
    static const struct {
        UINT nCommand;
        int nText;
        UINT nIcon;
    } kItems[] = {
        {68, 103, IDI_FIELDMENU_SORT_TEXT},          {69, 105, IDI_FIELDMENU_SORT_PICTURE_SIZE},
        {70, 107, IDI_FIELDMENU_SORT_DATA_SIZE},     {71, 109, IDI_FIELDMENU_SORT_DATE},
        {72, 111, IDI_FIELDMENU_SORT_USAGE},         {73, 113, IDI_FIELDMENU_SORT_RANDOM},
        {0, 0, 0},
        {64, 95, IDI_FIELDMENU_ARRANGE_PACK},        {65, 97, IDI_FIELDMENU_ARRANGE_EVERY_OTHER_CELL},
        {66, 99, IDI_FIELDMENU_ARRANGE_EVERY_OTHER_ROW}, {67, 101, IDI_FIELDMENU_ARRANGE_SPREAD_OUT},
    };
    submenu.CreatePopup(&parent.GetStyle());
    for (const auto& item : kItems) {
        if (item.nCommand == 0)
            submenu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
        else
            submenu.AppendItem(NULL, GetLangString(item.nText), MF_ENABLED, item.nCommand, icons.Load(item.nIcon),
                               GetLangString(item.nText + 1));
    }
    parent.AppendItem(NULL, GetLangString(143), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.m_hMenu), hSort);
}

void OnSortCommand(CSmiliesField* pField, UINT nCommand)
{
    if (pField != NULL && nCommand >= ID_FIELDMENU_SORT_FIRST && nCommand <= ID_FIELDMENU_SORT_LAST)
        pField->Arrange(static_cast<int>(nCommand - ID_FIELDMENU_SORT_FIRST) + 1);
}

void BuildInsertRowsMenu(CMenuIcons& icons, const CSmiliesField* pField, C3DMenu& parent, C3DMenu& submenu,
                         BOOL bGrayed)
{
    const CMenuItemIcon hInsert = icons.Load(IDI_FIELDMENU_INSERT_ROWS);
    if (pField == NULL || pField->GetSmilieCount() == 0) {
        parent.AppendItem(NULL, GetLangString(172), MF_GRAYED, 1, hInsert);
        return;
    }
    submenu.CreatePopup(&parent.GetStyle());
    for (UINT n = ID_FIELDMENU_INSERTROWS_FIRST; n <= ID_FIELDMENU_INSERTROWS_LAST; n++)
        submenu.AppendItem(NULL, GetLangString(145 + int(n - ID_FIELDMENU_INSERTROWS_FIRST)),
                           bGrayed ? MF_GRAYED : MF_ENABLED, n, hInsert, GetLangString(150));
    parent.AppendItem(NULL, GetLangString(172), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.m_hMenu), hInsert);
}

BOOL OnInsertRowsCommand(CSmiliesField* pField, UINT nCommand, POINT pt)
{
    if (pField == NULL || nCommand < ID_FIELDMENU_INSERTROWS_FIRST || nCommand > ID_FIELDMENU_INSERTROWS_LAST)
        return FALSE;
    const int i = static_cast<int>(nCommand - ID_FIELDMENU_INSERTROWS_FIRST);
    HWND hContainer = pField->m_hWnd != NULL ? ::GetParent(pField->m_hWnd) : NULL;
    if (hContainer != NULL)
        ::SendMessageA(hContainer, WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(473 + i)), 0);
    pField->InsertRows(&pt, kInsertedRows[i], TRUE);
    return TRUE;
}

namespace {

// Groups larger than this show the large-group icon instead of a thumbnail:
// drawing one would take longer than a menu may.
const int kMaxThumbnailSmilies = 128;

// Whether the clipboard holds files or a page that a field can make pictures of.
BOOL ClipboardHasPictures()
{
    COleDataObject data;
    if (!data.AttachClipboard())
        return FALSE;
    const BOOL bPictures = HasDroppedPictures(&data);
    data.Release();
    return bPictures;
}

// The clipboard is another program's: no owner, or one of another process.
BOOL IsForeignClipboard()
{
    HWND hOwner = ::GetClipboardOwner();
    if (hOwner == NULL)
        return TRUE;
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hOwner, &dwProcess);
    return dwProcess != ::GetCurrentProcessId();
}

CString HistoryEntryTip(CSmiliesPasteGroup& group)
{
    char szTime[64] = "";
    if (::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &group.m_Time, NULL, szTime, sizeof(szTime)) == 0)
        szTime[0] = '\0';
    SIZE box = {0, 0};
    group.GetCellBounds(&box);
    char sz[256];
    FormatTemplate(sz, sizeof(sz), GetLangString(169), "[SMILIENUM]", "%d", group.m_Smilies.GetSize(), "[TIME]", "%s",
                   szTime, "[NUMX]", "%ld", static_cast<long>(box.cx), "[NUMY]", "%ld", static_cast<long>(box.cy), NULL);
    return sz;
}

}  // namespace

void BuildPasteMenu(C3DMenu& submenu, CMenuIcons& icons, C3DMenu& parent, BOOL bGrayed)
{
    const CMenuItemIcon hPaste = icons.Load(IDI_FIELDMENU_PASTE);
    const CMenuItemIcon hHistory = icons.Load(IDI_FIELDMENU_PASTE_HISTORY);
    const CMenuItemIcon hLarge = icons.Load(IDI_FIELDMENU_LARGE_GROUP);
    const BOOL bHistory = g_PasteHistory.GetSize() > 0;

    CString strTip = GetLangString(167);
    if (!bHistory)
        strTip += CString("\n\n") + GetLangString(170);
    const BOOL bPasteGrayed = bGrayed || (!bHistory && !ClipboardHasPictures());
    parent.AppendItem(NULL, GetLangString(166), bPasteGrayed ? MF_GRAYED : MF_ENABLED, ID_FIELDMENU_PASTE, hPaste,
                      strTip);

    if (!bHistory || bGrayed) {
        parent.AppendItem(NULL, GetLangString(168), MF_GRAYED, ID_FIELDMENU_HISTORY_FIRST, hHistory,
                          GetLangString(170));
        return;
    }
    submenu.CreatePopup(&parent.GetStyle());
    const int nEntries = g_PasteHistory.GetSize();
    for (int i = nEntries - 1; i >= 0; i--) {
        CSmiliesPasteGroup& group = g_PasteHistory[i];
        char szText[16];
        wsprintfA(szText, "&%x", nEntries - i);
        CMenuItemIcon icon = hLarge;
        if (group.m_Smilies.GetSize() <= kMaxThumbnailSmilies) {
            POINT ptHot;
            HICON hThumbnail = group.GetIcon(&ptHot, 64, 64);
            if (hThumbnail != NULL)
                icon = CMenuItemIcon(hThumbnail);   // its size is the group's, read from it
        }
        submenu.AppendItem(GetLangString(168), szText, MF_ENABLED, ID_FIELDMENU_HISTORY_FIRST + static_cast<UINT>(i),
                           icon, HistoryEntryTip(group));
    }
    parent.AppendItem(NULL, GetLangString(168), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.m_hMenu), hHistory);
}

BOOL OnPasteCommand(CSmiliesFieldControl* pField, UINT nCommand, POINT pt)
{
    if (pField == NULL)
        return FALSE;
    if (nCommand >= ID_FIELDMENU_HISTORY_FIRST && nCommand <= ID_FIELDMENU_HISTORY_LAST) {
        pField->PasteFromHistory(static_cast<int>(nCommand - ID_FIELDMENU_HISTORY_FIRST), pField, pt);
        return TRUE;
    }
    if (nCommand != ID_FIELDMENU_PASTE)
        return FALSE;
    if (IsForeignClipboard()) {
        CSequence<ODOIMGINFO> pictures;
        CString strText;
        COleDataObject data;
        BOOL bRead = FALSE;
        if (data.AttachClipboard()) {
            bRead = ReadDroppedData(&data, pictures, strText);
            data.Release();
        }
        int nAdded = 0;
        if (bRead && pictures.GetSize() > 0)
            nAdded = AddPicturesAt(pField, pt, pictures, 0);
        else if (bRead && !strText.IsEmpty())
            nAdded = NewPhraseAt(pt, pField, strText);
        FreeImageInfoList(pictures);
        if (nAdded > 0)
            return TRUE;
    }
    if (g_PasteHistory.GetSize() > 0 && ::IsWindow(pField->m_hWnd))
        pField->PasteFromHistory(g_PasteHistory.GetSize() - 1, pField, pt);
    return TRUE;
}
