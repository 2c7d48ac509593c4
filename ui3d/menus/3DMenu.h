// C3DMenu: the owner-drawn popup menu of the whole program. A caller creates
// it with the skin's TEXTSTYLE, appends items (whose texts may carry the
// markup of MenuMarkup.h), and tracks it. Every item is painted here: skin
// bitmaps or painted gradients per state, an icon or check glyph in a left
// column, and the text runs. Items may carry tips, shown by a tooltip over the
// popup window once that window is known; a thread mouse hook feeds it.
#pragma once

#include "collection/Sequence.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/menus/MenuMarkup.h"

#include <windows.h>

// Program-wide switch written by the application: skin bitmaps for menu item
// backgrounds (else painted gradients). Every COLORSET of a style is read at
// g_nSkinColorScheme.
extern int g_bShow3DMenus;

class C3DMenu;

// An item's icon, with its size where the code that made the icon knows it
// (the size it asked for). A bare handle (size 0) has its size read from the
// icon's bitmaps when the item is appended, which costs more than the item's
// drawing: makers that know the size hand it over.
struct CMenuItemIcon
{
    HICON hIcon;
    int cx, cy;
    CMenuItemIcon(HICON h = NULL) : hIcon(h), cx(0), cy(0) {}
    CMenuItemIcon(HICON h, int cxKnown, int cyKnown)
        : hIcon(h), cx(h != NULL ? cxKnown : 0), cy(h != NULL ? cyKnown : 0) {}
};

// The colour a run of an item is drawn in: a colour given by markup (a red
// "Exit", a field's colour) moved toward the readable end until it reads at
// 4.5:1 on the item colour of the current scheme; a readable one unchanged.
COLORREF ReadableRunColor(const TEXTSTYLE& style, COLORREF clr);

// Subclasses the popup window of an open C3DMenu to see its tooltip's
// notifications and its destruction.
class C3DMenuWnd : public CWnd
{
public:
    explicit C3DMenuWnd(C3DMenu* pMenu = NULL) : m_pMenu(pMenu) {}
    ~C3DMenuWnd() override;

    C3DMenu* m_pMenu;

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class C3DMenu : public CMenu
{
public:
    typedef CMarkupRun CSub;

    struct CItemStr
    {
        CString strTip;             // empty: no tip
        int nTipDelay = -1;         // autopop time of the tip, ms
        int nItem = 0;              // 1-based; also the menu item's data
        UINT nCommand = 0;
        CSequence<CSub> runs;
        CString strTitle;
        COLORREF clrTipText = 0;
        COLORREF clrTipBack = 0;
        HICON hIcon = NULL;
        int cxIcon = 0;
        int cyIcon = 0;
        char chMnemonic = 0;
        RECT rcItem = {0, 0, 0, 0};
        UINT nFlags = 0;
    };

    C3DMenu();
    ~C3DMenu() override;

    // With a style: copies it and makes the three item backgrounds. Then the
    // popup menu handle. Returns whether the handle was attached.
    BOOL CreatePopup(const TEXTSTYLE* pStyle);
    // An owner-drawn item. A null text appends a text-less item (a separator
    // with the flags given). Returns AppendMenu's result.
    BOOL AppendItem(LPCSTR pszTitle, LPCSTR pszText, UINT nFlags, UINT_PTR nId, CMenuItemIcon icon = CMenuItemIcon(),
                    LPCSTR pszTip = NULL, COLORREF clrTipText = 0, COLORREF clrTipBack = 0);
    // Shows the menu at a screen point for the owner; the chosen command, 0
    // when dismissed.
    UINT Track(CWnd* pOwner, int x, int y);
    // Menu position of the enabled item with that (lower-case) mnemonic; -1.
    int FindByMnemonic(char ch);
    COLORREF AdjustColorToBackground(COLORREF clr) const;
    static C3DMenu* FromHandle(HMENU hMenu);
    // How many menus are inside Track now (not how many exist).
    static int GetTrackingCount();
    static int GetLiveCount();

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    virtual void CreateItemTips();
    virtual void DestroyItemTips();
    virtual void OnHookMouse(UINT message, HWND hWnd, int x, int y);
    virtual void PrepareItemTip(int nIndex);

    // Index of the item with that number in the item list; -1.
    int FindItem(int nItem);
    const CItemStr* GetItem(int nIndex) const { return nIndex >= 0 && nIndex < m_items.GetSize() ? &m_items[nIndex] : NULL; }
    int GetItemCount() const { return m_items.GetSize(); }
    const TEXTSTYLE& GetStyle() const { return m_style; }
    int GetIconColumnWidth() const { return m_nIconColumn; }
    int GetDrawCount() const { return m_nDrawCount; }
    HWND GetPopupWindow() const { return m_hPopup; }
    HWND GetTipWindow() const { return m_hTip; }
    // The text colour an item is drawn in for the given ODS_ state (for the
    // runs' own colours: CLR_INVALID).
    COLORREF GetItemTextColor(UINT nState) const;

private:
    friend class C3DMenuWnd;
    void DrawItemBackground(HDC hDC, const RECT& rc, BOOL bSelected, HBITMAP hBitmap, BOOL bText);
    void DrawCheckGlyph(HDC hDC, int nItemWidth, int nItemHeight, BOOL bSelected);
    void DrawRuns(HDC hDC, const CItemStr& item, const RECT& rc, UINT nState);
    HFONT RunFont(int nFont, BOOL bDefault) const;
    int ItemHeight(BOOL bText, int cyIcon) const;
    BOOL EnsureBackBuffer(HDC hDC, int cx, int cy);
    void ForgetPopup();
    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);

    HWND m_hTip;
    C3DMenuWnd m_wndPopup;
    HWND m_hPopup;
    RECT m_rcPopup;
    int m_nTippedItems;
    int m_nDrawCount;
    int m_bRelayPaused;
    int m_bTipPopped;
    int m_nHovered;
    POINT m_ptLastHook;
    COLORREF m_clrCurTipText;
    COLORREF m_clrCurTipBack;
    CWnd* m_pOwner;
    int m_bTracking;
    TEXTSTYLE m_style;
    HBITMAP m_hBackBuffer;
    int m_nBackBpp, m_cxBack, m_cyBack;
    int m_bBackDepthKnown;    // m_nBackBpp was checked in this Track
    // One memory DC for the menu's life, the back buffer selected into it:
    // items are measured and painted many at a time, and making a DC for each
    // cost more than the painting.
    HDC m_hMemDC;
    HGDIOBJ m_hMemDCBitmap;   // the DC's own bitmap, put back before it goes
    HDC MemoryDC();
    int m_nIconColumn;
    int m_nWidestIcon;
    CSequence<CItemStr> m_items;
    int m_nCacheItem, m_nCacheIndex;
    HFONT m_hFonts[MENUFONT_COUNT];
    HBITMAP m_hBmpSeparator, m_hBmpNormal, m_hBmpSelected;
    // The last item background drawn, kept in the back buffer's lower half
    // for the next item that has the same one: a menu's items mostly share
    // size and state, and the skinned background costs more than a blit.
    struct ITEMBACKKEY
    {
        int cx, cy, nKind, nScheme, bShow3D, nIconColumn;
    };
    ITEMBACKKEY m_backKey;
    int m_bBackKept;
};

// The WM_MENUCHAR answer of every window that owns skinned menus: the item
// whose mnemonic is the character is chosen (MNC_EXECUTE), else 0.
LRESULT HandleMenuChar(UINT nChar, UINT nFlags, HMENU hMenu);
