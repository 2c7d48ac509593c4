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

C3DMenuBar::C3DMenuBar() : m_nHoverValue(0), m_nDroppedValue(0)
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
    const RECT rcMeasure = {0, 0, 1, 1};
    const ULONGLONG size = MeasureText(rcMeasure, item.strText, hFont);
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
    if (m_nDroppedValue != 0)
        return;
    const int i = ItemAt(x, y);
    SetHover(i >= 0 ? m_items[i].nValue : 0);
}

void C3DMenuBar::OnMouseLeave()
{
    m_nHoverValue = 0;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void C3DMenuBar::OnLButtonDown(UINT, int x, int y)
{
    const int i = ItemAt(x, y);
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
    Invalidate(FALSE);
    const UINT nCommand = pMenu->Track(this, pt.x, pt.y);
    m_nDroppedValue = 0;
    g_pOpenBarMenu = NULL;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    POINT ptCursor;
    if (::GetCursorPos(&ptCursor)) {
        ::ScreenToClient(m_hWnd, &ptCursor);
        OnMouseMove(0, ptCursor.x, ptCursor.y);
    }
    Invalidate(FALSE);
    return nCommand;
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
    case WM_MENUBARHOVER:
        return OnMenuBarHover(lParam);
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}
