// C3DMenuBar: the main window's skinned menu bar. A row of text items painted
// from prerendered bitmaps and hot-tracked under the mouse. The bar owns no
// menus: a click posts WM_COMMAND with the item's value to the parent, which
// builds a C3DMenu and calls DropDownMenu. While one of its menus is open,
// moving onto another item closes it and has the parent open the next, as a
// system menu bar does.
//
// The keyboard works it as the system's bar: the window that holds the bar
// hands it its keys (OnMenuKey, from its PreTranslateMessage). Alt or F10
// selects the first item, Left and Right move along the bar, Enter, Down or
// the item's mnemonic opens its menu with its first item selected, Esc steps
// back; Alt+mnemonic opens a menu at once. In an open menu Left and Right go
// to the neighbouring menu (Right only on an item without a submenu, Left
// only in the menu itself), and Esc returns to the selected bar item.
#pragma once

#include "collection/Sequence.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/controls/ControlBase.h"

class C3DMenu;

// Posted to the owner of an open bar menu on every mouse move: lParam the
// screen point (x low word, y high word).
#define WM_MENUBARHOVER (WM_USER + 1)

class C3DMenuBar : public CControlBase
{
public:
    struct BARITEM
    {
        UINT nValue = 0;
        RECT rect = {0, 0, 0, 0};
        HBITMAP hNormal = NULL;
        HBITMAP hHighlighted = NULL;
        CString strText;
    };

    C3DMenuBar();
    ~C3DMenuBar() override;

    BOOL Create(const MENUBARSTYLE* pStyle, CWnd* pParent, int x, int y);
    // The value, or 0 without a window or text.
    UINT AddItem(LPCSTR pszText, UINT nValue);
    void RefreshItems();
    // Drops the menu under the item of that value; the command chosen, 0 when
    // refused (a menu of this bar is open, or no such item).
    UINT DropDownMenu(C3DMenu* pMenu, UINT nValue);

    int GetItemCount() const { return m_items.GetSize(); }
    const BARITEM& GetItem(int i) const { return m_items[i]; }
    UINT GetHoverValue() const { return m_nHoverValue; }
    UINT GetDroppedValue() const { return m_nDroppedValue; }
    // The menu a bar has dropped down now, or null.
    static C3DMenu* GetOpenBarMenu();
    // A key message of the window that holds the bar; TRUE when the bar took it.
    BOOL OnMenuKey(const MSG* pMsg);
    // The value of the item selected by the keyboard (no menu open), or 0.
    UINT GetKeyboardValue() const { return m_bKeyboardMode ? m_nHoverValue : 0; }
    // The item's mnemonic: the character after its first "&", else its first
    // character; lower case.
    static char MnemonicOf(const CString& strText);

    void OnDisplayChanged() override { RefreshItems(); }
    CBitmap* GetBackBuffer() override { return NULL; }
    void Paint(CDC* pDC, int left, int top, int right, int bottom) override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int ItemAt(int x, int y) const;
    void SetHover(UINT nValue);
    void RenderItem(BARITEM& item, int x);
    void FreeItems();
    LRESULT OnMenuBarHover(LPARAM lParam);
    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuKeyHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    int IndexOf(UINT nValue) const;
    int FindMnemonic(UINT nChar) const;
    void EnterKeyboardMode(int nIndex);
    void LeaveKeyboardMode();
    // Has the parent open the item's menu as a click does; from the keyboard
    // its first item is selected.
    void OpenByKey(int nIndex);
    BOOL OnKeyInOpenMenu(UINT nKey);

    CSequence<BARITEM> m_items;
    MENUBARSTYLE m_style;
    UINT m_nHoverValue;
    UINT m_nDroppedValue;
    int m_bAltPending;       // Alt went down, no other key since
    int m_bKeyboardMode;     // an item is selected by the keyboard, no menu open
    int m_bOpenByKey;        // the next menu the parent drops was asked for by a key
    HMENU m_hMenuSelected;   // the open menu's last WM_MENUSELECT: its menu and flags
    UINT m_nSelectedFlags;
    UINT m_nKeyExit;         // how the open menu was left by a key: VK_LEFT, VK_RIGHT, VK_ESCAPE, 0
};
