// CTvnxFieldsSwitcher: the tab strip above the smilie fields. One tab per
// field: the tab id is the field id, the tab's data its colour. Beside the
// tabs sits the collections button (id 115), which lists the collection files
// of the data folder, or shows a hint when there are none; a right click on a
// tab opens its menu (switch, move, new, duplicate, remove, export, properties).
//
// The switcher knows the fields container only through messages to its
// parent window (WM_NEWFIELD and its neighbours, WM_PUSHUNDO) and the main window only through
// WM_OPENCOLLECTION to the parent's parent.
#pragma once

#include "collection/Sequence.h"
#include "services/ShellServices.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/controls/TabSelector.h"
#include "ui3d/controls/TvnxBitmapButton.h"

class C3DMenu;

// Command ids of the tab menu and the collections menu.
enum
{
    IDC_FIELDS_COLLECTIONS = 115,
    ID_TABMENU_NEW = 1024,
    ID_TABMENU_DUPLICATE = 1025,
    ID_TABMENU_REMOVE = 1026,
    ID_TABMENU_PROPERTIES = 1027,
    ID_TABMENU_EXPORT = 1030,
    ID_FIELDSMENU_EXPORT = 1028,     // the same item in the main window's fields menu
    ID_TABMENU_MOVE_FIRST = 1034,    // + the target's position
    ID_TABMENU_SWITCH_FIRST = 17407, // + the tab's position
    ID_COLLECTIONS_FIRST = 33,       // + the collection's position
    MAX_FIELD_TABS = 50,
    MAX_SCANNED_COLLECTIONS = 128
};

// The colour the collections button is tinted to for the skin colour (0 when
// skin colouring is off): green where the skin is bluish or not clearly
// green, else orange.
COLORREF CollectionsButtonKey(COLORREF clrSkin);

class CTvnxFieldsSwitcher : public CTabSelector
{
public:
    CTvnxFieldsSwitcher();
    ~CTvnxFieldsSwitcher() override;

    // The button's place in client coordinates: the left end of the scroll
    // buttons' band when there is one, else the strip's right end.
    void GetButtonRect(RECT* pRect) const;

    // The menus, built without being shown (the tests read them).
    void BuildTabMenu(C3DMenu& menu, C3DMenu& switchMenu, C3DMenu& moveMenu, int nTabId, BOOL bInternalInfo,
                      UINT nExportCommand = ID_TABMENU_EXPORT);
    // FALSE when there are no collections (the menu stays empty).
    BOOL BuildCollectionsMenu(C3DMenu& menu, CSequence<SCANNEDCOLLECTION>& list);
    // Acts on a command chosen in the tab menu of nTabId.
    void OnTabMenuCommand(UINT nCommand, int nTabId);
    // The tab menu of nTabId at a screen point, owned by pOwner, and its
    // command (the fields menu is the same menu with its own export id).
    void ShowTabMenu(CWnd* pOwner, POINT ptScreen, int nTabId, UINT nExportCommand = ID_TABMENU_EXPORT);
    // The collections menu (or the hint) under the button.
    void ShowCollectionsMenu();

    void OnTabContextMenu(POINT pt, int nId, LPCTSTR pszName) override;
    void OnCreated() override;
    void OnDestroying() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // How the hint without collections is shown (the preview's text form).
    static void (*s_pfnShowHint)(CWnd* pOwner, LPCTSTR pszText, int x, int y);

    CTvnxBitmapButton m_Button;
    C3DToolTip m_ButtonTip;
    UINT m_nButtonTool;

private:
    HWND ContainerWindow() const { return ::GetParent(m_hWnd); }
    HICON LoadMenuIcon(UINT nId);
    void FreeMenuIcons();
    CSequence<HICON> m_MenuIcons;
};
