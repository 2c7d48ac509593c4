#include "fields/FieldsSwitcher.h"

#include "collection/TvnxSave.h"
#include "fields/SmiliesFieldMenus.h"
#include "framework/Module.h"
#include "resources/resource.h"
#include "services/KeyState.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/menus/3DMenuBar.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/SysUtils.h"

#include <stdio.h>

namespace {

const int kButtonWidth = 24;

void ShowHintPreview(CWnd* pOwner, LPCTSTR pszText, int x, int y)
{
    FONTSTYLE style;
    if (g_pSkin != NULL)
        style = g_pSkin->m_previewFont;
    const COLORREF clrKey = CollectionsButtonKey(g_Settings.SkinColoringEnabled ? g_Settings.SkinColor : 0);
    style.clrFrame = clrKey;
    CSmiliePreview::ShowImage(pszText, pOwner, 0, 0, FALSE, &style, TRUE, x, y);
}

const TEXTSTYLE* MenuStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
}

CString TabText(int nPosition, const COneTab& tab)
{
    char szPrefix[64];
    const COLORREF clr = static_cast<COLORREF>(tab.nData);
    sprintf(szPrefix, "%d.  <rgb(%d,%d,%d)>", nPosition + 1, GetRValue(clr), GetGValue(clr), GetBValue(clr));
    return CString(szPrefix) + tab.strName;
}

}  // namespace

void (*CTvnxFieldsSwitcher::s_pfnShowHint)(CWnd*, LPCTSTR, int, int) = ShowHintPreview;

COLORREF CollectionsButtonKey(COLORREF clrSkin)
{
    const int r = GetRValue(clrSkin), g = GetGValue(clrSkin), b = GetBValue(clrSkin);
    if (g < b || g - r <= 80)
        return 0x00C800;
    return 0x7FFF;
}

CTvnxFieldsSwitcher::CTvnxFieldsSwitcher()
    : m_ButtonTip(g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL), m_nButtonTool(0)
{
    m_Button.m_nNormalId = IDB_COLLECTIONS;
    m_Button.m_nSelectedId = IDB_COLLECTIONS_SEL;
    m_Button.m_nFocusedId = IDB_COLLECTIONS_FOCUS;
    m_Button.m_nDisabledId = IDB_COLLECTIONS_DISABLED;
}

CTvnxFieldsSwitcher::~CTvnxFieldsSwitcher()
{
    FreeMenuIcons();
}

void CTvnxFieldsSwitcher::GetButtonRect(RECT* pRect) const
{
    if (m_Look.nButtonHeight > 0)
        ::SetRect(pRect, 0, m_nClientHeight - m_Look.nButtonHeight, kButtonWidth, m_nClientHeight);
    else
        ::SetRect(pRect, m_nClientWidth - m_nClientHeight, 0, m_nClientWidth, m_nClientHeight);
}

void CTvnxFieldsSwitcher::OnCreated()
{
    m_Button.m_clrKey = CollectionsButtonKey(g_Settings.SkinColoringEnabled ? g_Settings.SkinColor : 0);
    m_Button.m_bRecolor = TRUE;
    // The scroll buttons keep clear of the collections button.
    if (m_Look.nButtonHeight > 0 && m_Look.nStripWidth < kButtonWidth)
        m_Look.nStripWidth = kButtonWidth;
    RECT rc;
    GetButtonRect(&rc);
    if (m_Button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, this, IDC_FIELDS_COLLECTIONS))
        m_Button.LoadBitmaps();
    if (m_ButtonTip.Create(this))
        m_nButtonTool = m_ButtonTip.AddWindowTool(GetLangString(571), &m_Button);
    CTabSelector::OnCreated();
}

void CTvnxFieldsSwitcher::OnDestroying()
{
    if (m_ButtonTip.m_hWnd != NULL)
        m_ButtonTip.DestroyWindow();
    if (m_Button.m_hWnd != NULL)
        m_Button.DestroyWindow();
    CTabSelector::OnDestroying();
}

BOOL CTvnxFieldsSwitcher::PreTranslateMessage(MSG* pMsg)
{
    if (g_Settings.ShowTips && m_ButtonTip.m_hWnd != NULL && pMsg->message >= WM_MOUSEFIRST &&
        pMsg->message <= WM_MOUSELAST)
        m_ButtonTip.RelayEvent(pMsg);
    return CTabSelector::PreTranslateMessage(pMsg);
}

BOOL CTvnxFieldsSwitcher::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_FIELDS_COLLECTIONS && HIWORD(wParam) == BN_CLICKED) {
        ShowCollectionsMenu();
        return TRUE;
    }
    return CTabSelector::OnCommand(wParam, lParam);
}

LRESULT CTvnxFieldsSwitcher::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LANGUAGE_CHANGED:
        if (m_ButtonTip.m_hWnd != NULL) {
            m_ButtonTip.DelTool(m_nButtonTool);
            m_nButtonTool = m_ButtonTip.AddWindowTool(GetLangString(571), &m_Button);
        }
        break;
    case WM_MENUCHAR:
        return HandleMenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* pMIS = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (pMIS->CtlType == ODT_MENU && AfxMeasureMenuItem(m_hWnd, pMIS))
            return TRUE;
        break;
    }
    }
    return CTabSelector::WindowProc(message, wParam, lParam);
}

HICON CTvnxFieldsSwitcher::LoadMenuIcon(UINT nId)
{
    HICON hIcon = static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (hIcon != NULL)
        m_MenuIcons.Add(hIcon);
    return hIcon;
}

void CTvnxFieldsSwitcher::FreeMenuIcons()
{
    for (int i = 0; i < m_MenuIcons.GetSize(); ++i)
        ::DestroyIcon(m_MenuIcons[i]);
    m_MenuIcons.RemoveAll();
}

// --- the collections button ---------------------------------------------------------------------

BOOL CTvnxFieldsSwitcher::BuildCollectionsMenu(C3DMenu& menu, CSequence<SCANNEDCOLLECTION>& list)
{
    list.RemoveAll();
    ScanCollections(list, 0);
    while (list.GetSize() > MAX_SCANNED_COLLECTIONS)
        list.RemoveAt(list.GetSize() - 1);
    if (list.GetSize() == 0)
        return FALSE;
    CString strOpen;
    if (g_pCollectionFile != NULL)
        g_pCollectionFile->GetPath(strOpen);
    menu.CreatePopup(MenuStyle());
    HICON hIcon = static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), IDI_DOCUMENT_NAME, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (hIcon != NULL)
        m_MenuIcons.Add(hIcon);
    for (int i = 0; i < list.GetSize(); ++i) {
        const BOOL bOpen = !strOpen.IsEmpty() && list[i].strPath.CompareNoCase(strOpen) == 0;
        menu.AppendItem(NULL, list[i].strName + "<rgb(255,255,255)>", bOpen ? MF_GRAYED : MF_ENABLED,
                        ID_COLLECTIONS_FIRST + i, hIcon, GetLangString(17));
    }
    return TRUE;
}

void CTvnxFieldsSwitcher::ShowCollectionsMenu()
{
    RECT rc;
    ::GetWindowRect(m_Button.m_hWnd, &rc);
    C3DMenu menu;
    CSequence<SCANNEDCOLLECTION> list;
    if (!BuildCollectionsMenu(menu, list)) {
        s_pfnShowHint(this, GetLangString(573), rc.left, rc.bottom);
        return;
    }
    ::SetForegroundWindow(::GetAncestor(m_hWnd, GA_ROOT));
    const UINT nCommand = menu.Track(this, rc.left, rc.bottom);
    FreeMenuIcons();
    const int i = static_cast<int>(nCommand) - ID_COLLECTIONS_FIRST;
    if (nCommand != 0 && i >= 0 && i < list.GetSize()) {
        HWND hContainer = ContainerWindow();
        HWND hMain = hContainer != NULL ? ::GetParent(hContainer) : NULL;
        if (hMain != NULL)
            ::SendMessageA(hMain, WM_OPENCOLLECTION, reinterpret_cast<WPARAM>(static_cast<LPCTSTR>(list[i].strPath)),
                           0);
    }
}

// --- the tab menu -------------------------------------------------------------------------------

void CTvnxFieldsSwitcher::BuildTabMenu(C3DMenu& menu, C3DMenu& switchMenu, C3DMenu& moveMenu, int nTabId,
                                       BOOL bInternalInfo, UINT nExportCommand)
{
    const TEXTSTYLE* pStyle = MenuStyle();
    menu.CreatePopup(pStyle);
    switchMenu.CreatePopup(pStyle);
    moveMenu.CreatePopup(pStyle);
    const int nTabs = GetTabCount();
    const int nOwn = GetTabIndex(nTabId);
    const CString strOwnName = nOwn >= 0 ? GetTabAt(nOwn).strName : CString();
    HICON hSwitch = LoadMenuIcon(IDI_TABMENU_SWITCH);
    HICON hMove = LoadMenuIcon(IDI_TABMENU_MOVE);
    for (int i = 0; i < nTabs; ++i) {
        const COneTab& tab = GetTabAt(i);
        const CString strText = TabText(i, tab);
        const UINT nFlags = i == nOwn ? MF_GRAYED : MF_ENABLED;
        char szTip[512];
        FormatTemplate(szTip, sizeof(szTip), GetLangString(75), "[FIELDNAME]", "%s", static_cast<LPCTSTR>(tab.strName),
                       NULL);
        switchMenu.AppendItem(NULL, strText, nFlags, ID_TABMENU_SWITCH_FIRST + i, hSwitch, szTip);
        FormatTemplate(szTip, sizeof(szTip), GetLangString(81), "[FIELDNAME1]", "%s",
                       static_cast<LPCTSTR>(strOwnName), "[FIELDNAME2]", "%s", static_cast<LPCTSTR>(tab.strName),
                       NULL);
        moveMenu.AppendItem(NULL, strText, nFlags, ID_TABMENU_MOVE_FIRST + i, hMove, szTip);
    }
    const UINT nSubFlags = MF_POPUP | (nTabs < 2 ? MF_GRAYED : MF_ENABLED);
    menu.AppendItem(NULL, GetLangString(74), nSubFlags, reinterpret_cast<UINT_PTR>(switchMenu.m_hMenu), hSwitch);
    menu.AppendItem(NULL, GetLangString(76), nSubFlags, reinterpret_cast<UINT_PTR>(moveMenu.m_hMenu), hMove,
                    GetLangString(83));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    const BOOL bFull = nTabs >= MAX_FIELD_TABS;
    menu.AppendItem(NULL, GetLangString(77), bFull ? MF_GRAYED : MF_ENABLED, ID_TABMENU_NEW,
                    LoadMenuIcon(IDI_TABMENU_NEW), GetLangString(78));
    menu.AppendItem(NULL, GetLangString(79), bFull ? MF_GRAYED : MF_ENABLED, ID_TABMENU_DUPLICATE,
                    LoadMenuIcon(IDI_TABMENU_DUPLICATE), GetLangString(80));
    const CString strRemove = CString(GetLangString(84)) + " \"" + strOwnName + "\"";
    menu.AppendItem(NULL, strRemove, nTabs < 2 ? MF_GRAYED : MF_ENABLED, ID_TABMENU_REMOVE,
                    LoadMenuIcon(IDI_TABMENU_REMOVE), GetLangString(85));
    HWND hContainer = ContainerWindow();
    const LRESULT nSmilies =
        hContainer != NULL ? ::SendMessageA(hContainer, WM_GETFIELDSMILIES, static_cast<WPARAM>(nTabId), 0) : 0;
    menu.AppendItem(NULL, GetLangString(72), nSmilies == 0 ? MF_GRAYED : MF_ENABLED, nExportCommand,
                    LoadMenuIcon(IDI_TABMENU_EXPORT), GetLangString(73));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(86), MF_ENABLED, ID_TABMENU_PROPERTIES, LoadMenuIcon(IDI_TABMENU_PROPERTIES),
                    GetLangString(87));
    if (bInternalInfo) {
        const LRESULT nBytes =
            hContainer != NULL ? ::SendMessageA(hContainer, WM_GETFIELDDATASIZE, static_cast<WPARAM>(nTabId), 0) : 0;
        char szSize[64];
        sprintf(szSize, "Field size: %ld KB", static_cast<long>(nBytes / 1024));
        menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
        menu.AppendItem(NULL, szSize, MF_GRAYED, 1, LoadMenuIcon(IDI_TABMENU_INFO));
    }
}

void CTvnxFieldsSwitcher::OnTabMenuCommand(UINT nCommand, int nTabId)
{
    HWND hContainer = ContainerWindow();
    const WPARAM wId = static_cast<WPARAM>(nTabId);
    switch (nCommand) {
    case ID_TABMENU_NEW:
        ::SendMessageA(hContainer, WM_NEWFIELD, wId, 0);
        return;
    case ID_TABMENU_DUPLICATE:
        ::SendMessageA(hContainer, WM_DUPLICATEFIELD, wId, 0);
        return;
    case ID_TABMENU_REMOVE:
        ::SendMessageA(hContainer, WM_REMOVEFIELD, wId, 0);
        return;
    case ID_TABMENU_PROPERTIES:
        ::SendMessageA(hContainer, WM_EDITFIELD, wId, 0);
        return;
    case ID_TABMENU_EXPORT:
    case ID_FIELDSMENU_EXPORT:
        ::SendMessageA(hContainer, WM_EXPORTFIELD, wId, 0);
        return;
    }
    const int nTabs = GetTabCount();
    if (nCommand >= ID_TABMENU_SWITCH_FIRST && nCommand < static_cast<UINT>(ID_TABMENU_SWITCH_FIRST + nTabs)) {
        SelectTab(GetTabAt(static_cast<int>(nCommand) - ID_TABMENU_SWITCH_FIRST).nId);
        return;
    }
    if (nCommand >= ID_TABMENU_MOVE_FIRST && nCommand < static_cast<UINT>(ID_TABMENU_MOVE_FIRST + MAX_FIELD_TABS)) {
        const int nPosition = static_cast<int>(nCommand) - ID_TABMENU_MOVE_FIRST;
        const int nTarget = nPosition < nTabs ? GetTabAt(nPosition).nId : 0;
        if (hContainer != NULL)
            ::SendMessageA(hContainer, WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(489)), 0);
        MoveTab(nTabId, nTarget);
    }
}

void CTvnxFieldsSwitcher::OnTabContextMenu(POINT pt, int nId, LPCTSTR /*pszName*/)
{
    ::ClientToScreen(m_hWnd, &pt);
    ShowTabMenu(this, pt, nId);
}

void CTvnxFieldsSwitcher::ShowTabMenu(CWnd* pOwner, POINT ptScreen, int nTabId, UINT nExportCommand)
{
    const BOOL bInfo = InternalInfoKeysDown();
    C3DMenu menu, switchMenu, moveMenu;
    BuildTabMenu(menu, switchMenu, moveMenu, nTabId, bInfo, nExportCommand);
    // From the main window's bar the menu drops as the bar's other menus do,
    // so that the keyboard walks on from it to its neighbours.
    C3DMenuBar* pBar = dynamic_cast<C3DMenuBar*>(pOwner);
    UINT nCommand = 0;
    if (pBar != NULL) {
        nCommand = pBar->DropDownMenu(&menu, MENUBAR_VALUE_FIELDS);
    } else {
        ::SetForegroundWindow(::GetAncestor(m_hWnd, GA_ROOT));
        nCommand = menu.Track(pOwner, ptScreen.x, ptScreen.y);
        ::PostMessageA(pOwner->m_hWnd, WM_NULL, 0, 0);
    }
    FreeMenuIcons();
    if (nCommand != 0)
        OnTabMenuCommand(nCommand, nTabId);
}
