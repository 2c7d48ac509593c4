#include "ui3d/menus/3DMenuBar.h"

#include "ui3d/drawing/Drawing.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/menus/3DMenu.h"

namespace {

CSequence<C3DMenuBar*>& LiveBars()
{
    static CSequence<C3DMenuBar*> list;
    return list;
}
HHOOK g_hBarHook = NULL;
C3DMenu* g_pOpenBarMenu = NULL;
// The message-filter hook while a bar menu is open, and the bar it serves.
HHOOK g_hKeyHook = NULL;
C3DMenuBar* g_pKeyBar = NULL;

// The menu that holds hSub as a submenu, searched from hMenu down; NULL.
HMENU ParentMenuOf(HMENU hMenu, HMENU hSub, int nDepth = 0)
{
    if (hMenu == NULL || nDepth > 8)
        return NULL;
    const int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; i++) {
        HMENU hItem = ::GetSubMenu(hMenu, i);
        if (hItem == NULL)
            continue;
        if (hItem == hSub)
            return hMenu;
        HMENU hFound = ParentMenuOf(hItem, hSub, nDepth + 1);
        if (hFound != NULL)
            return hFound;
    }
    return NULL;
}

char LowerChar(char ch)
{
    char sz[2] = {ch, 0};
    ::CharLowerA(sz);
    return sz[0];
}

void DrawItemText(HDC hDC, const CString& strText, int cx, int cy, COLORREF clr, BOOL bShadow)
{
    SetBkMode(hDC, TRANSPARENT);
    RECT rc = {0, 0, cx, cy};
    if (bShadow) {
        RECT rcShadow = {1, 1, cx + 1, cy + 1};
        SetTextColor(hDC, ShadowOf(clr));
        DrawTextA(hDC, strText, strText.GetLength(), &rcShadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    SetTextColor(hDC, clr);
    DrawTextA(hDC, strText, strText.GetLength(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
}

} // namespace

C3DMenuBar::C3DMenuBar()
    : m_nHoverValue(0), m_nDroppedValue(0), m_bAltPending(0), m_bKeyboardMode(0), m_bOpenByKey(0),
      m_hMenuSelected(NULL), m_nSelectedFlags(0), m_nKeyExit(0)
{
    LiveBars().Add(this);
}

C3DMenuBar::~C3DMenuBar()
{
    DestroyWindow();
    FreeItems();
    CSequence<C3DMenuBar*>& live = LiveBars();
    for (int i = live.GetSize() - 1; i >= 0; --i) {
        if (live[i] == this) {
            live.RemoveAt(i);
            break;
        }
    }
}

C3DMenu* C3DMenuBar::GetOpenBarMenu()
{
    return g_pOpenBarMenu;
}

void C3DMenuBar::FreeItems()
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i].hNormal != NULL)
            DeleteObject(m_items[i].hNormal);
        if (m_items[i].hHighlighted != NULL)
            DeleteObject(m_items[i].hHighlighted);
    }
    m_items.RemoveAll();
}

BOOL C3DMenuBar::Create(const MENUBARSTYLE* pStyle, CWnd* pParent, int x, int y)
{
    FreeItems();
    if (pStyle != NULL)
        m_style = *pStyle;
    if (m_hWnd != NULL)
        return TRUE;
    const RECT rc = {x, y, x + 1, y + (m_style.nHeight > 0 ? m_style.nHeight : 1)};
    return CreateControl(rc, pParent, WS_CHILD | WS_VISIBLE);
}

void C3DMenuBar::RenderItem(BARITEM& item, int x)
{
    if (item.hNormal != NULL)
        DeleteObject(item.hNormal);
    if (item.hHighlighted != NULL)
        DeleteObject(item.hHighlighted);
    item.hNormal = item.hHighlighted = NULL;

    HFONT hFont = CreateFontIndirectA(&m_style.font);
    // Measured as drawn: "&" marks the mnemonic and takes no room ("&&" is one "&").
    CString strShown;
    for (int i = 0; i < item.strText.GetLength(); i++) {
        if (item.strText[i] == '&' && i + 1 < item.strText.GetLength())
            i++;
        strShown += item.strText[i];
    }
    const RECT rcMeasure = {0, 0, 1, 1};
    const ULONGLONG size = MeasureText(rcMeasure, strShown, hFont);
    const int w = static_cast<int>(size & 0xFFFFFFFF), h = static_cast<int>(size >> 32);
    const BOOL bShadow = m_style.n3DText || m_style.n3DText2;
    const int cy = m_style.nHeight > 0 ? m_style.nHeight : (bShadow ? h + 1 : h);
    const int cx = bShadow ? w + h / 3 + 1 : w + h / 3;
    item.rect.left = x;
    item.rect.top = 0;
    item.rect.right = x + cx;
    item.rect.bottom = cy;

    HDC hWndDC = ::GetDC(m_hWnd);
    HBITMAP hNormal = cx > 0 && cy > 0 ? CreateCompatibleBitmap(hWndDC, cx, cy) : NULL;
    const SIZE sz = {cx, cy};
    const POINT origin = {x, 0};
    const int sc = g_nSkinColorScheme;
    HBITMAP hHigh = cx > 0 && cy > 0 ? CreateSkinBackground(sz, m_style.hotItemColors.Get(sc), GRADIENTSTYLE(),
                                                             m_style.hotItemLayer, origin)
                                     : NULL;
    BOOL bRendered = FALSE;
    if (hNormal != NULL && hHigh != NULL) {
        // Normal: the parent's background under the item, so the bar looks transparent.
        CSelectedBitmapDC mem(hWndDC, hNormal);
        const HDC hMem = mem.m_hDC;
        if (hMem != NULL) {
            HGDIOBJ hOldFont = SelectObject(hMem, hFont);
            RECT rcParent = item.rect;
            HWND hParent = ::GetParent(m_hWnd);
            if (hParent != NULL) {
                ::MapWindowPoints(m_hWnd, hParent, reinterpret_cast<POINT*>(&rcParent), 2);
                ::SendMessageA(hParent, g_msgPrintBackground, reinterpret_cast<WPARAM>(hMem),
                               reinterpret_cast<LPARAM>(&rcParent));
            }
            DrawItemText(hMem, item.strText, cx, cy, m_style.textColors.Get(sc), m_style.n3DText);
            // Highlighted: drawn in the same DC (the scope puts its first bitmap back).
            SelectObject(hMem, hHigh);
            if (m_style.nHotItemBorder)
                Draw3DFrameLines(hMem, RECT{0, 0, cx, cy}, m_style.hotBorderLightColors.Get(sc),
                                 m_style.hotBorderDarkColors.Get(sc));
            DrawItemText(hMem, item.strText, cx, cy, m_style.hotTextColors.Get(sc), m_style.n3DText2);
            SelectObject(hMem, hOldFont);
            item.hNormal = hNormal;
            item.hHighlighted = hHigh;
            bRendered = TRUE;
        }
    }
    if (!bRendered) {
        if (hNormal != NULL)
            DeleteObject(hNormal);
        if (hHigh != NULL)
            DeleteObject(hHigh);
    }
    ::ReleaseDC(m_hWnd, hWndDC);
    if (hFont != NULL)
        DeleteObject(hFont);
}

UINT C3DMenuBar::AddItem(LPCSTR pszText, UINT nValue)
{
    if (m_hWnd == NULL || pszText == NULL)
        return 0;
    int x = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i].rect.right > x)
            x = m_items[i].rect.right;
    }
    BARITEM item;
    item.nValue = nValue;
    item.strText = pszText;
    RenderItem(item, x);
    m_items.Add(item);
    int cx = 0, cy = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i].rect.right > cx)
            cx = m_items[i].rect.right;
        if (m_items[i].rect.bottom > cy)
            cy = m_items[i].rect.bottom;
    }
    if (m_style.nHeight > 0)
        cy = m_style.nHeight;
    SetWindowPos(static_cast<HWND>(NULL), 0, 0, cx, cy, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    return nValue;
}

void C3DMenuBar::RefreshItems()
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        const RECT rc = m_items[i].rect;
        RenderItem(m_items[i], rc.left);
        m_items[i].rect = rc;
    }
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void C3DMenuBar::Paint(CDC* pDC, int left, int top, int right, int bottom)
{
    const UINT nHighlighted = g_pOpenBarMenu != NULL && m_nDroppedValue != 0 ? m_nDroppedValue : m_nHoverValue;
    const RECT rcPaint = {left, top, right, bottom};
    for (int i = 0; i < m_items.GetSize(); ++i) {
        const BARITEM& item = m_items[i];
        RECT rcCommon;
        if (!IntersectRect(&rcCommon, &item.rect, &rcPaint))
            continue;
        HBITMAP hBmp = item.nValue == nHighlighted ? item.hHighlighted : item.hNormal;
        if (hBmp == NULL)
            continue;
        CSelectedBitmapDC mem(pDC->m_hDC, hBmp);
        BitBlt(pDC->m_hDC, item.rect.left, item.rect.top, item.rect.right - item.rect.left,
               item.rect.bottom - item.rect.top, mem.m_hDC, 0, 0, SRCCOPY);
    }
}

int C3DMenuBar::ItemAt(int x, int y) const
{
    const POINT pt = {x, y};
    for (int i = m_items.GetSize() - 1; i >= 0; --i) {
        if (PtInRect(&m_items[i].rect, pt))
            return i;
    }
    return -1;
}

void C3DMenuBar::SetHover(UINT nValue)
{
    if (nValue == m_nHoverValue)
        return;
    m_nHoverValue = nValue;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void C3DMenuBar::OnMouseMove(UINT, int x, int y)
{
    if (m_nDroppedValue != 0 || m_bKeyboardMode)
        return;
    const int i = ItemAt(x, y);
    SetHover(i >= 0 ? m_items[i].nValue : 0);
}

void C3DMenuBar::OnMouseLeave()
{
    if (m_bKeyboardMode)
        return;
    m_nHoverValue = 0;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void C3DMenuBar::OnLButtonDown(UINT, int x, int y)
{
    const int i = ItemAt(x, y);
    m_bKeyboardMode = 0;
    m_bOpenByKey = 0;
    if (i < 0)
        return;
    SetHover(m_items[i].nValue);
    ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(m_items[i].nValue, 0), reinterpret_cast<LPARAM>(m_hWnd));
}

UINT C3DMenuBar::DropDownMenu(C3DMenu* pMenu, UINT nValue)
{
    if (m_nDroppedValue != 0 || g_pOpenBarMenu != NULL || pMenu == NULL || m_hWnd == NULL)
        return 0;
    int nIndex = -1;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i].nValue == nValue) {
            nIndex = i;
            break;
        }
    }
    if (nIndex < 0)
        return 0;
    POINT pt = {m_items[nIndex].rect.left, m_items[nIndex].rect.bottom};
    ::ClientToScreen(m_hWnd, &pt);
    ::SetForegroundWindow(m_hWnd);
    m_nDroppedValue = nValue;
    g_pOpenBarMenu = pMenu;
    const BOOL bByKey = m_bOpenByKey || m_bKeyboardMode;
    m_bOpenByKey = 0;
    m_bKeyboardMode = 0;
    m_hMenuSelected = NULL;
    m_nSelectedFlags = 0;
    m_nKeyExit = 0;
    Invalidate(FALSE);
    // Opened from the keyboard, the menu selects its first item, as the
    // system's does: the Down key waits in the queue for the menu's loop.
    if (bByKey)
        ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_DOWN, 1 | (::MapVirtualKeyA(VK_DOWN, 0) << 16));
    // The menu's loop hands its messages to the message filter first: there
    // Left and Right become steps along the bar.
    HHOOK hOuterHook = g_hKeyHook;
    C3DMenuBar* pOuterBar = g_pKeyBar;
    g_pKeyBar = this;
    g_hKeyHook = SetWindowsHookExA(WH_MSGFILTER, MenuKeyHookProc, NULL, GetCurrentThreadId());
    const UINT nCommand = pMenu->Track(this, pt.x, pt.y);
    if (g_hKeyHook != NULL)
        UnhookWindowsHookEx(g_hKeyHook);
    g_hKeyHook = hOuterHook;
    g_pKeyBar = pOuterBar;
    // Keys the menu did not take (a Down that came too late) go with it.
    MSG msg;
    while (::PeekMessageA(&msg, m_hWnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    m_nDroppedValue = 0;
    g_pOpenBarMenu = NULL;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    const UINT nKeyExit = nCommand == 0 ? m_nKeyExit : 0;
    m_nKeyExit = 0;
    if (nKeyExit == VK_LEFT || nKeyExit == VK_RIGHT) {
        const int nCount = m_items.GetSize();
        const int nNext = (nIndex + (nKeyExit == VK_RIGHT ? 1 : nCount - 1)) % nCount;
        OpenByKey(nNext);
    } else if (nKeyExit == VK_ESCAPE) {
        EnterKeyboardMode(nIndex);
    } else {
        POINT ptCursor;
        if (::GetCursorPos(&ptCursor)) {
            ::ScreenToClient(m_hWnd, &ptCursor);
            OnMouseMove(0, ptCursor.x, ptCursor.y);
        }
    }
    Invalidate(FALSE);
    return nCommand;
}

// --- keyboard --------------------------------------------------------------------------

char C3DMenuBar::MnemonicOf(const CString& strText)
{
    LPCSTR psz = strText;
    const int nLength = strText.GetLength();
    for (int i = 0; i + 1 < nLength; i = static_cast<int>(::CharNextA(psz + i) - psz)) {
        if (psz[i] == '&' && psz[i + 1] != '&')
            return ::IsDBCSLeadByte(static_cast<BYTE>(psz[i + 1])) ? 0 : LowerChar(psz[i + 1]);
        if (psz[i] == '&')
            i++;  // "&&" is an ampersand
    }
    if (nLength == 0 || ::IsDBCSLeadByte(static_cast<BYTE>(psz[0])))
        return 0;
    return LowerChar(psz[0]);
}

int C3DMenuBar::IndexOf(UINT nValue) const
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i].nValue == nValue)
            return i;
    }
    return -1;
}

int C3DMenuBar::FindMnemonic(UINT nChar) const
{
    const char ch = LowerChar(static_cast<char>(nChar));
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (ch != 0 && MnemonicOf(m_items[i].strText) == ch)
            return i;
    }
    return -1;
}

void C3DMenuBar::EnterKeyboardMode(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_items.GetSize() || m_hWnd == NULL)
        return;
    m_bKeyboardMode = 1;
    m_nHoverValue = m_items[nIndex].nValue;
    Invalidate(FALSE);
}

void C3DMenuBar::LeaveKeyboardMode()
{
    if (!m_bKeyboardMode)
        return;
    m_bKeyboardMode = 0;
    m_nHoverValue = 0;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void C3DMenuBar::OpenByKey(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_items.GetSize() || m_hWnd == NULL)
        return;
    m_bKeyboardMode = 0;
    m_bOpenByKey = 1;
    m_nHoverValue = m_items[nIndex].nValue;
    Invalidate(FALSE);
    ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(m_items[nIndex].nValue, 0),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

BOOL C3DMenuBar::OnMenuKey(const MSG* pMsg)
{
    if (m_hWnd == NULL || !::IsWindowVisible(m_hWnd) || m_items.GetSize() == 0 || m_nDroppedValue != 0)
        return FALSE;
    const UINT nKey = static_cast<UINT>(pMsg->wParam);
    switch (pMsg->message) {
    case WM_SYSKEYDOWN:
        if (nKey == VK_MENU) {
            if (!(pMsg->lParam & 0x40000000))
                m_bAltPending = 1;
            return TRUE;
        }
        m_bAltPending = 0;
        if (nKey == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0) {
            if (m_bKeyboardMode)
                LeaveKeyboardMode();
            else
                EnterKeyboardMode(0);
            return TRUE;
        }
        return FALSE;
    case WM_SYSKEYUP:
        if (nKey == VK_MENU) {
            // Alt pressed and released alone selects the bar, or leaves it.
            if (m_bAltPending) {
                if (m_bKeyboardMode)
                    LeaveKeyboardMode();
                else
                    EnterKeyboardMode(0);
            }
            m_bAltPending = 0;
            return TRUE;
        }
        return nKey == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0;
    case WM_SYSCHAR: {
        m_bAltPending = 0;
        const int i = FindMnemonic(nKey);
        if (i < 0)
            return FALSE;
        OpenByKey(i);
        return TRUE;
    }
    case WM_KEYDOWN: {
        m_bAltPending = 0;
        if (!m_bKeyboardMode)
            return FALSE;
        const int nCount = m_items.GetSize();
        int i = IndexOf(m_nHoverValue);
        if (i < 0)
            i = 0;
        switch (nKey) {
        case VK_LEFT:
            EnterKeyboardMode((i + nCount - 1) % nCount);
            return TRUE;
        case VK_RIGHT:
            EnterKeyboardMode((i + 1) % nCount);
            return TRUE;
        case VK_RETURN:
        case VK_DOWN:
        case VK_UP:
            OpenByKey(i);
            return TRUE;
        case VK_ESCAPE:
            LeaveKeyboardMode();
            return TRUE;
        case VK_SHIFT:
        case VK_CONTROL:
            return TRUE;
        }
        // A key that types a character is the mnemonic of an item (taken
        // here: the key taken, no WM_CHAR follows); other keys leave the bar.
        const UINT nChar = ::MapVirtualKeyA(nKey, 2) & 0x7FFF;
        if (nChar == 0) {
            LeaveKeyboardMode();
            return FALSE;
        }
        const int nItem = FindMnemonic(nChar);
        if (nItem >= 0)
            OpenByKey(nItem);
        return TRUE;
    }
    case WM_CHAR: {
        if (!m_bKeyboardMode)
            return FALSE;
        const int i = FindMnemonic(nKey);
        if (i >= 0)
            OpenByKey(i);
        return TRUE;
    }
    case WM_KEYUP:
        return m_bKeyboardMode;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        LeaveKeyboardMode();
        return FALSE;
    }
    return FALSE;
}

// A key in the open menu (from the message filter): Left in the menu itself
// and Right on an item without a submenu close it for the neighbouring menu;
// Esc in the menu itself closes it back to the bar.
BOOL C3DMenuBar::OnKeyInOpenMenu(UINT nKey)
{
    if (g_pOpenBarMenu == NULL)
        return FALSE;
    const HMENU hTop = g_pOpenBarMenu->m_hMenu;
    const BOOL bInTop = m_hMenuSelected == NULL || m_hMenuSelected == hTop;
    switch (nKey) {
    case VK_LEFT:
    case VK_ESCAPE:
        if (!bInTop) {
            // The system closes the submenu; the selection is back on the
            // item that opened it, which sends no WM_MENUSELECT.
            m_hMenuSelected = ParentMenuOf(hTop, m_hMenuSelected);
            m_nSelectedFlags = MF_POPUP;
            return FALSE;
        }
        break;
    case VK_RIGHT:
        if (m_nSelectedFlags & MF_POPUP)
            return FALSE;
        break;
    default:
        return FALSE;
    }
    m_nKeyExit = nKey;
    SendMessage(WM_CANCELMODE);
    return TRUE;
}

LRESULT CALLBACK C3DMenuBar::MenuKeyHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == MSGF_MENU && lParam != 0 && g_pKeyBar != NULL) {
        const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (pMsg->message == WM_KEYDOWN && g_pKeyBar->OnKeyInOpenMenu(static_cast<UINT>(pMsg->wParam)))
            return 1;
    }
    return CallNextHookEx(g_hKeyHook, nCode, wParam, lParam);
}

LRESULT C3DMenuBar::OnMenuBarHover(LPARAM lParam)
{
    if (m_nDroppedValue == 0 || g_pOpenBarMenu == NULL)
        return 0;
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (::WindowFromPoint(pt) != m_hWnd)
        return 0;
    ::ScreenToClient(m_hWnd, &pt);
    const int i = ItemAt(pt.x, pt.y);
    if (i < 0 || m_items[i].nValue == m_nDroppedValue)
        return 0;
    SendMessage(WM_CANCELMODE);
    m_nHoverValue = m_items[i].nValue;
    Invalidate(FALSE);
    ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(m_items[i].nValue, 0), reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT CALLBACK C3DMenuBar::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CallNextHookEx(g_hBarHook, nCode, wParam, lParam);
    if (nCode == HC_ACTION && wParam == WM_MOUSEMOVE && g_pOpenBarMenu != NULL && lParam != 0) {
        const MOUSEHOOKSTRUCT* pHook = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        for (int i = 0; i < LiveBars().GetSize(); ++i) {
            C3DMenuBar* pBar = LiveBars()[i];
            if (pBar->m_nDroppedValue != 0 && pBar->m_hWnd != NULL)
                ::PostMessageA(pBar->m_hWnd, WM_MENUBARHOVER, 0, MAKELPARAM(pHook->pt.x, pHook->pt.y));
        }
    }
    return lResult;
}

LRESULT C3DMenuBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (g_hBarHook == NULL)
            g_hBarHook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, NULL, GetCurrentThreadId());
        break;
    case WM_DESTROY: {
        int nLiveWindows = 0;
        for (int i = 0; i < LiveBars().GetSize(); ++i)
            nLiveWindows += LiveBars()[i]->m_hWnd != NULL ? 1 : 0;
        if (nLiveWindows <= 1 && g_hBarHook != NULL && UnhookWindowsHookEx(g_hBarHook))
            g_hBarHook = NULL;
        if (m_nDroppedValue != 0)
            SendMessage(WM_CANCELMODE);
        FreeItems();
        break;
    }
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* pMIS = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (pMIS->CtlType == ODT_MENU && g_pOpenBarMenu != NULL) {
            if (AfxMeasureMenuItem(m_hWnd, pMIS))
                return TRUE;
        }
        break;
    }
    case WM_MENUCHAR:
        return HandleMenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MENUSELECT:
        // Where the open menu's selection is: which menu, and whether the
        // item opens a submenu.
        if (g_pOpenBarMenu != NULL) {
            m_hMenuSelected = reinterpret_cast<HMENU>(lParam);
            m_nSelectedFlags = HIWORD(wParam) == 0xFFFF ? 0 : HIWORD(wParam);
        }
        break;
    case WM_MENUBARHOVER:
        return OnMenuBarHover(lParam);
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}
