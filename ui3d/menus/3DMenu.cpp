#include "ui3d/menus/3DMenu.h"

#include "ui3d/controls/3DToolTip.h"
#include "ui3d/drawing/Contrast.h"
#include "ui3d/drawing/Drawing.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

int g_bShow3DMenus = 1;

namespace {

// Menus in order of construction, and the one thread mouse hook they share.
CSequence<C3DMenu*>& LiveMenus()
{
    static CSequence<C3DMenu*> list;
    return list;
}
HHOOK g_hMenuHook = NULL;
int g_nTracking = 0;
// Set while a tracked menu's popup has been raised above other topmost
// windows; cleared by drawing outside tracking.
int g_bPopupRaised = 0;

int Mean(COLORREF c)
{
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
}

int Clamp255(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

void DrawEdgeStyle(HDC hDC, RECT rc, int nEdge, COLORREF clrLight, COLORREF clrDark)
{
    static const UINT kEdges[] = {0, 0, EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP};
    if (nEdge == 1)
        Draw3DFrameLines(hDC, rc, clrLight, clrDark);
    else if (nEdge >= 2 && nEdge <= 5)
        DrawEdge(hDC, &rc, kEdges[nEdge], BF_RECT);
}

struct CHookScope
{
    int& n;
    explicit CHookScope(int& r) : n(r) { ++n; }
    ~CHookScope() { --n; }
};

} // namespace

// ---- C3DMenuWnd --------------------------------------------------------------

C3DMenuWnd::~C3DMenuWnd()
{
    if (m_hWnd != NULL)
        UnsubclassWindow();
}

BOOL C3DMenuWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pHdr = reinterpret_cast<NMHDR*>(lParam);
    if (m_pMenu == NULL || pHdr == NULL || pHdr->hwndFrom != m_pMenu->m_hTip)
        return FALSE;
    if (pHdr->code == TTN_POP) {
        m_pMenu->m_bTipPopped = 1;
        if (!(m_pMenu->m_style.nFlags & 0x20))
            m_pMenu->m_bRelayPaused = 1;
    } else if (pHdr->code == TTN_GETDISPINFOA) {
        NMTTDISPINFOA* pInfo = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        const C3DMenu::CItemStr* pItem = m_pMenu->GetItem(m_pMenu->m_nHovered);
        pInfo->lpszText = const_cast<LPSTR>(pItem != NULL ? static_cast<LPCSTR>(pItem->strTip) : "");
        pInfo->hinst = NULL;
        pInfo->uFlags |= TTF_DI_SETITEM;
    }
    *pResult = 0;
    return TRUE;
}

LRESULT C3DMenuWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY: {
        if (m_pMenu != NULL) {
            m_pMenu->DestroyItemTips();
            m_pMenu->ForgetPopup();
        }
        m_pMenu = NULL;
        // The system's menu window keeps its own bookkeeping on WM_DESTROY:
        // hand the message on after giving the window back.
        HWND hWnd = m_hWnd;
        UnsubclassWindow();
        WNDPROC pfn = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
        return CallWindowProcA(pfn, hWnd, message, wParam, lParam);
    }
    case WM_NOTIFYFORMAT:
        // The tooltip asks which notifications the window wants: ANSI ones.
        if (lParam == NF_QUERY || lParam == NF_REQUERY)
            return NFR_ANSI;
        break;
    case WM_NOTIFY: {
        LRESULT lResult = 0;
        if (OnNotify(wParam, lParam, &lResult))
            return lResult;
        break;
    }
    }
    return Default();
}

// ---- C3DMenu -----------------------------------------------------------------

C3DMenu::C3DMenu()
    : m_hTip(NULL), m_wndPopup(this), m_hPopup(NULL), m_nTippedItems(0), m_nDrawCount(0), m_bRelayPaused(0),
      m_bTipPopped(0), m_nHovered(-1), m_clrCurTipText(0), m_clrCurTipBack(0), m_pOwner(NULL), m_bTracking(0),
      m_hBackBuffer(NULL), m_nBackBpp(0), m_cxBack(0), m_cyBack(0), m_bBackDepthKnown(0), m_hMemDC(NULL),
      m_hMemDCBitmap(NULL), m_nIconColumn(0), m_nWidestIcon(0),
      m_nCacheItem(-1), m_nCacheIndex(-1), m_hBmpSeparator(NULL), m_hBmpNormal(NULL), m_hBmpSelected(NULL),
      m_backKey(), m_bBackKept(0)
{
    SetRectEmpty(&m_rcPopup);
    m_ptLastHook.x = m_ptLastHook.y = 0;
    // Unset colour records: all zero.
    const COLORSET none(0, 0, 0, 0, 0, 0);
    m_style.itemColors = m_style.hotItemColors = m_style.textColors = m_style.hotTextColors = none;
    m_style.borderLightColors = m_style.borderDarkColors = none;
    m_style.hotBorderLightColors = m_style.hotBorderDarkColors = m_style.mnemonicColors = none;
    m_style.strSeparator = "; ";
    m_style.nFlags = 0x5D;

    LOGFONTA lf;
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) {
        ZeroMemory(&lf, sizeof(lf));
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    }
    static const struct { int nWeight; BYTE bItalic; BYTE bUnderline; } kFonts[MENUFONT_COUNT] = {
        {FW_NORMAL, 0, 0}, {FW_BOLD, 0, 0}, {FW_NORMAL, 1, 0}, {FW_BOLD, 1, 0}, {FW_NORMAL, 0, 1}, {FW_BOLD, 0, 1}};
    for (int i = 0; i < MENUFONT_COUNT; ++i) {
        m_hFonts[i] = NULL;
        if (kFonts[i].bUnderline && !(m_style.nFlags & 0x08))
            continue;
        lf.lfWeight = kFonts[i].nWeight;
        lf.lfItalic = kFonts[i].bItalic;
        lf.lfUnderline = kFonts[i].bUnderline;
        m_hFonts[i] = CreateFontIndirectA(&lf);
    }

    LiveMenus().Add(this);
    if (LiveMenus().GetSize() == 1 && g_hMenuHook == NULL)
        g_hMenuHook = SetWindowsHookExA(WH_MOUSE, MouseHookProc, NULL, GetCurrentThreadId());
}

C3DMenu::~C3DMenu()
{
    DestroyItemTips();
    CSequence<C3DMenu*>& live = LiveMenus();
    if (live.GetSize() == 1 && g_hMenuHook != NULL && UnhookWindowsHookEx(g_hMenuHook))
        g_hMenuHook = NULL;
    if (m_wndPopup.m_hWnd != NULL)
        m_wndPopup.UnsubclassWindow();
    m_wndPopup.m_pMenu = NULL;
    for (HBITMAP* ph : {&m_hBmpSeparator, &m_hBmpNormal, &m_hBmpSelected}) {
        if (*ph != NULL)
            DeleteObject(*ph);
        *ph = NULL;
    }
    for (int i = live.GetSize() - 1; i >= 0; --i) {
        if (live[i] == this) {
            live.RemoveAt(i);
            break;
        }
    }
    // The DC first: a bitmap selected into one is not deleted.
    if (m_hMemDC != NULL) {
        SelectObject(m_hMemDC, m_hMemDCBitmap);
        DeleteDC(m_hMemDC);
    }
    if (m_hBackBuffer != NULL)
        DeleteObject(m_hBackBuffer);
    for (HFONT hFont : m_hFonts) {
        if (hFont != NULL)
            DeleteObject(hFont);
    }
    m_items.RemoveAll();
    DestroyMenu();
}

int C3DMenu::GetTrackingCount()
{
    return g_nTracking;
}

int C3DMenu::GetLiveCount()
{
    return LiveMenus().GetSize();
}

C3DMenu* C3DMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == NULL)
        return NULL;
    CSequence<C3DMenu*>& live = LiveMenus();
    for (int i = live.GetSize() - 1; i >= 0; --i) {
        if (live[i]->m_hMenu == hMenu)
            return live[i];
    }
    return NULL;
}

BOOL C3DMenu::CreatePopup(const TEXTSTYLE* pStyle)
{
    if (pStyle != NULL) {
        m_bBackKept = 0;
        m_style = *pStyle;
        for (HBITMAP* ph : {&m_hBmpSeparator, &m_hBmpNormal, &m_hBmpSelected}) {
            if (*ph != NULL)
                DeleteObject(*ph);
        }
        const SIZE own = {0, 0};
        const POINT origin = {0, 0};
        const int s = g_nSkinColorScheme;
        m_hBmpNormal = CreateSkinBackground(own, m_style.itemColors.Get(s), m_style.itemGradient, m_style.itemLayer, origin);
        m_hBmpSelected = CreateSkinBackground(own, m_style.hotItemColors.Get(s), m_style.itemGradient,
                                              m_style.hotItemLayer, origin);
        m_hBmpSeparator = CreateSkinBackground(own, m_style.itemColors.Get(s), m_style.itemGradient,
                                               m_style.separatorLayer, origin);
    }
    return CreatePopupMenu();
}

int C3DMenu::FindItem(int nItem)
{
    if (nItem == m_nCacheItem && m_nCacheIndex >= 0)
        return m_nCacheIndex;
    for (int i = m_items.GetSize() - 1; i >= 0; --i) {
        if (m_items[i].nItem == nItem) {
            m_nCacheItem = nItem;
            m_nCacheIndex = i;
            return i;
        }
    }
    return -1;
}

BOOL C3DMenu::AppendItem(LPCSTR pszTitle, LPCSTR pszText, UINT nFlags, UINT_PTR nId, CMenuItemIcon icon, LPCSTR pszTip,
                         COLORREF clrTipText, COLORREF clrTipBack)
{
    const int nItem = m_items.GetSize() + 1;
    const BOOL bResult = ::AppendMenuA(m_hMenu, nFlags | MF_OWNERDRAW, nId,
                                       reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(pszText != NULL ? nItem : 0)));
    if (pszText == NULL)
        return bResult;

    m_nCacheItem = m_nCacheIndex = -1;
    CItemStr blank;
    blank.nItem = nItem;
    m_items.Add(blank);
    CItemStr& item = m_items[m_items.GetSize() - 1];
    item.chMnemonic = SplitMarkupText(m_style, g_nSkinColorScheme, pszText, item.runs);

    if ((m_style.nFlags & 0x40) && BalloonTips()) {
        if (pszTitle != NULL) {
            item.strTitle = pszTitle;
            const int nAmp = item.strTitle.Find('&');
            if (nAmp >= 0)
                item.strTitle = item.strTitle.Left(nAmp) + item.strTitle.Mid(nAmp + 1);
        } else {
            for (int i = 0; i < item.runs.GetSize(); ++i)
                item.strTitle += item.runs[i].strText;
        }
    }
    if ((m_style.nFlags & 0x800) && (nFlags & MF_GRAYED)) {
        item.clrTipText = 0xC0C0C0;
        item.clrTipBack = 0xFFFFFF;
    } else {
        item.clrTipText = clrTipText;
        item.clrTipBack = clrTipBack;
    }
    item.nCommand = static_cast<UINT>(nId);
    item.nFlags = nFlags;

    if (pszTip != NULL && !g_bNoToolTips) {
        CString strTip(pszTip);
        if (!MultilineTips() && !m_style.strSeparator.IsEmpty())
            strTip.Replace("\r\n", m_style.strSeparator);
        item.nTipDelay = ClampTipShowTime(strTip.GetLength() * 100);
        if (!MultilineTips() && strTip.GetLength() > 80)
            strTip = strTip.Left(80);
        item.strTip = strTip;
        ++m_nTippedItems;
    }

    const HICON hIcon = icon.hIcon;
    item.hIcon = hIcon;
    if (hIcon != NULL && icon.cx > 0 && icon.cy > 0) {
        item.cxIcon = icon.cx;
        item.cyIcon = icon.cy;
    } else if (hIcon != NULL) {
        // GetIconInfo copies both of the icon's bitmaps only to be asked their size.
        ICONINFO info;
        if (GetIconInfo(hIcon, &info)) {
            BITMAP bm;
            HBITMAP hSize = info.hbmColor != NULL ? info.hbmColor : info.hbmMask;
            if (GetObjectA(hSize, sizeof(bm), &bm)) {
                item.cxIcon = bm.bmWidth;
                item.cyIcon = info.hbmColor != NULL ? bm.bmHeight : bm.bmHeight / 2;
            }
            if (info.hbmColor != NULL)
                DeleteObject(info.hbmColor);
            if (info.hbmMask != NULL)
                DeleteObject(info.hbmMask);
        }
    }
    if (item.cxIcon > m_nWidestIcon)
        m_nWidestIcon = item.cxIcon;
    int nColumn = m_nWidestIcon + 6;
    if (GetSystemMetrics(SM_CXMENUCHECK) + 4 > nColumn)
        nColumn = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    const int s = m_style.nIconZoneWidth;
    if (s > 0 && nColumn < s + s / 4)
        nColumn = s + s / 4;
    if (nColumn > m_nIconColumn)
        m_nIconColumn = nColumn;
    return bResult;
}

UINT C3DMenu::Track(CWnd* pOwner, int x, int y)
{
    m_bTracking = 1;
    g_bPopupRaised = 1;
    m_nDrawCount = 0;
    m_bRelayPaused = m_bTipPopped = 0;
    m_ptLastHook.x = m_ptLastHook.y = 0;
    m_clrCurTipText = m_clrCurTipBack = 0;
    m_pOwner = pOwner;
    m_nHovered = -1;
    m_bBackDepthKnown = 0;
    UINT nCommand;
    {
        CHookScope tracking(g_nTracking);
        nCommand = static_cast<UINT>(TrackPopupMenu(TPM_RETURNCMD, x, y, pOwner));
    }
    m_bTracking = 0;
    m_bBackDepthKnown = 0;
    return nCommand;
}

int C3DMenu::FindByMnemonic(char ch)
{
    for (int i = m_items.GetSize() - 1; i >= 0; --i) {
        const CItemStr& item = m_items[i];
        if (item.chMnemonic != ch || (item.nFlags & MF_GRAYED))
            continue;
        for (int nPos = ::GetMenuItemCount(m_hMenu) - 1; nPos >= 0; --nPos) {
            HMENU hSub = ::GetSubMenu(m_hMenu, nPos);
            const UINT nId = hSub != NULL ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(hSub))
                                          : ::GetMenuItemID(m_hMenu, nPos);
            if (nId == item.nCommand)
                return nPos;
        }
        return -1;
    }
    return -1;
}

COLORREF C3DMenu::AdjustColorToBackground(COLORREF clr) const
{
    const int d = Mean(m_style.itemColors.Get(g_nSkinColorScheme)) - Mean(clr);
    if (abs(d) > 203)
        return clr;
    int c[3] = {GetRValue(clr) + d + 204, GetGValue(clr) + d + 204, GetBValue(clr) + d + 204};
    const int m = (c[0] + c[1] + c[2]) / 3;
    // Spread by 1.4 in integers: through a double the x87 unit of the 32-bit
    // build rounds (v - m) * 1.4 to one less on many inputs.
    for (int& v : c)
        v = Clamp255(m + (v - m) * 14 / 10);
    return RGB(c[0], c[1], c[2]);
}

LRESULT HandleMenuChar(UINT nChar, UINT, HMENU hMenu)
{
    char sz[2] = {static_cast<char>(nChar), '\0'};
    CharLowerA(sz);
    C3DMenu* pMenu = C3DMenu::FromHandle(hMenu);
    if (pMenu == NULL)
        return 0;
    const int nPos = pMenu->FindByMnemonic(sz[0]);
    return nPos >= 0 ? MAKELRESULT(nPos, MNC_EXECUTE) : 0;
}

// ---- measuring and drawing ----------------------------------------------------

HFONT C3DMenu::RunFont(int nFont, BOOL bDefault) const
{
    if (bDefault) {
        if (nFont == MENUFONT_UNDERLINE || nFont == MENUFONT_UNDERLINEBOLD)
            nFont = MENUFONT_UNDERLINEBOLD;
        else if (nFont == MENUFONT_ITALIC || nFont == MENUFONT_BOLDITALIC)
            nFont = MENUFONT_BOLDITALIC;
        else
            nFont = MENUFONT_BOLD;
    }
    if (nFont < 0 || nFont >= MENUFONT_COUNT)
        nFont = MENUFONT_NORMAL;
    return m_hFonts[nFont] != NULL ? m_hFonts[nFont] : m_hFonts[MENUFONT_NORMAL];
}

int C3DMenu::ItemHeight(BOOL bText, int cyIcon) const
{
    int cy = m_style.nItemHeight > 0 ? m_style.nItemHeight : GetSystemMetrics(SM_CYMENU);
    if (!bText && m_style.nSeparatorHeight > 0)
        cy = m_style.nSeparatorHeight;
    return cy < cyIcon + 2 ? cyIcon + 2 : cy;
}

void C3DMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    const int nIndex = lpMIS->itemData != 0 ? FindItem(static_cast<int>(lpMIS->itemData)) : -1;
    const CItemStr* pItem = GetItem(nIndex);
    int cx = m_nIconColumn;
    if (pItem != NULL) {
        const BOOL bDefault = ::GetMenuDefaultItem(m_hMenu, FALSE, GMDI_USEDISABLED) == pItem->nCommand;
        HDC hDC = MemoryDC();
        HGDIOBJ hOld = SelectObject(hDC, m_hFonts[MENUFONT_NORMAL]);
        for (int i = 0; i < pItem->runs.GetSize(); ++i) {
            const CSub& run = pItem->runs[i];
            SelectObject(hDC, RunFont(run.nFont, bDefault));
            SIZE size = {0, 0};
            GetTextExtentPoint32A(hDC, run.strText, run.strText.GetLength(), &size);
            cx += size.cx;
        }
        SelectObject(hDC, hOld);
        if (pItem->nFlags & MF_POPUP)
            cx += 10;
    }
    lpMIS->itemWidth = cx;
    lpMIS->itemHeight = ItemHeight(pItem != NULL, pItem != NULL ? pItem->cyIcon : 0);
}

// The least difference of mean brightness at which grayed text stays readable
// on its background.
static const int kVisibleStep = 48;

// clr, or clr taken toward black (on a light background) or white (on a dark
// one), hue kept, until its mean lies a visible step from the background's.
static COLORREF AwayFromBackground(COLORREF clr, COLORREF clrBack)
{
    const int nBack = Mean(clrBack);
    const int nMean = Mean(clr);
    if (abs(nMean - nBack) >= kVisibleStep)
        return clr;
    const bool bDarken = nBack >= 128;
    const int nTarget = bDarken ? nBack - kVisibleStep : nBack + kVisibleStep;
    int c[3] = {GetRValue(clr), GetGValue(clr), GetBValue(clr)};
    for (int& v : c)
        v = bDarken ? (nMean > 0 ? v * nTarget / nMean : 0) : v + (255 - v) * (nTarget - nMean) / (255 - nMean);
    // Whole-number division may leave the mean a little short.
    while (abs(Mean(RGB(c[0], c[1], c[2])) - nBack) < kVisibleStep) {
        for (int& v : c)
            v = Clamp255(bDarken ? v - 1 : v + 1);
    }
    return RGB(c[0], c[1], c[2]);
}

COLORREF ReadableRunColor(const TEXTSTYLE& style, COLORREF clr)
{
    // 5.5:1 on the plain colour: the item's picture, blended over it, makes
    // the surface a step lighter.
    return ReadableOn(clr, style.itemColors.Get(g_nSkinColorScheme), 550);
}

COLORREF C3DMenu::GetItemTextColor(UINT nState) const
{
    const int s = g_nSkinColorScheme;
    if (nState & ODS_GRAYED) {
        const COLORREF t = m_style.textColors.Get(s), b = m_style.itemColors.Get(s);
        const COLORREF half = RGB((GetRValue(t) + GetRValue(b)) / 2, (GetGValue(t) + GetGValue(b)) / 2,
                                  (GetBValue(t) + GetBValue(b)) / 2);
        // Half way to the background, unless that is near the grey of the
        // shadow drawn under the text; then the background's own colour moved
        // a visible step away from it.
        return AwayFromBackground(abs(Mean(half) - 220) < 64 ? b : half, b);
    }
    if (nState & ODS_SELECTED)
        return m_style.hotTextColors.Get(s);
    return CLR_INVALID;
}

HDC C3DMenu::MemoryDC()
{
    if (m_hMemDC == NULL) {
        m_hMemDC = CreateCompatibleDC(NULL);
        m_hMemDCBitmap = m_hMemDC != NULL ? GetCurrentObject(m_hMemDC, OBJ_BITMAP) : NULL;
    }
    return m_hMemDC;
}

BOOL C3DMenu::EnsureBackBuffer(HDC hDC, int cx, int cy)
{
    // Asking the window's DC for its depth costs more than painting an item;
    // the display cannot change between the items of one painting.
    if (m_hBackBuffer != NULL && m_bBackDepthKnown && cx == m_cxBack && cy == m_cyBack)
        return TRUE;
    const int nBpp = GetDeviceCaps(hDC, BITSPIXEL) * GetDeviceCaps(hDC, PLANES);
    m_bBackDepthKnown = m_bTracking;
    if (m_hBackBuffer != NULL && nBpp == m_nBackBpp && cx == m_cxBack && cy == m_cyBack)
        return TRUE;
    HDC hMem = MemoryDC();
    if (hMem == NULL)
        return FALSE;
    SelectObject(hMem, m_hMemDCBitmap);
    if (m_hBackBuffer != NULL)
        DeleteObject(m_hBackBuffer);
    m_hBackBuffer = CreateCompatibleBitmap(hDC, cx, cy);
    m_bBackKept = 0;
    m_nBackBpp = nBpp;
    m_cxBack = cx;
    m_cyBack = cy;
    if (m_hBackBuffer != NULL)
        SelectObject(hMem, m_hBackBuffer);
    return m_hBackBuffer != NULL;
}

void C3DMenu::DrawItemBackground(HDC hDC, const RECT& rc, BOOL bSelected, HBITMAP hBitmap, BOOL bText)
{
    const int sc = g_nSkinColorScheme;
    const int nEdge = bSelected ? m_style.bHotItemBorder : m_style.bItemBorder;
    const COLORREF clrLight = (bSelected ? m_style.hotBorderLightColors : m_style.borderLightColors).Get(sc);
    const COLORREF clrDark = (bSelected ? m_style.hotBorderDarkColors : m_style.borderDarkColors).Get(sc);
    const int s = m_style.nIconZoneWidth;
    const BOOL bSideInColumn = s > 0 && s + s / 4 == m_nIconColumn;
    BITMAP bm;
    if (g_bShow3DMenus && hBitmap != NULL && GetObjectA(hBitmap, sizeof(bm), &bm) && bm.bmWidth > 0 &&
        bm.bmHeight > 0) {
        CSelectedBitmapDC src(hDC, hBitmap);
        const HDC hSrc = src.m_hDC;
        const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
        if (m_style.nFlags & 0x200) {
            // Ends kept, the middle repeated; a low bitmap repeats downwards.
            const int nThird = bm.bmWidth / 3;
            const int cyPart = cy < bm.bmHeight ? cy : bm.bmHeight;
            if (bm.bmWidth < cx) {
                const int nLeft = bm.bmWidth - nThird;
                BitBlt(hDC, rc.left, rc.top, nLeft, cyPart, hSrc, 0, 0, SRCCOPY);
                BitBlt(hDC, rc.right - nThird, rc.top, nThird, cyPart, hSrc, bm.bmWidth - nThird, 0, SRCCOPY);
                const int nMiddle = nLeft - nThird;
                if (nMiddle > 0) {
                    RECT rcTile = {rc.left + nThird, rc.top, rc.left + nLeft, rc.top + cyPart};
                    SIZE area = {cx - nThird - nThird, cyPart};
                    TileBitmap(rcTile, hDC, area);
                }
            } else {
                const int nHalf = cx / 2;
                BitBlt(hDC, rc.left, rc.top, nHalf, cyPart, hSrc, 0, 0, SRCCOPY);
                BitBlt(hDC, rc.left + nHalf, rc.top, cx - nHalf, cyPart, hSrc, bm.bmWidth - (cx - nHalf), 0, SRCCOPY);
            }
            if (cyPart < cy) {
                RECT rcTile = {rc.left, rc.top, rc.right, rc.top + cyPart};
                SIZE area = {cx, cy};
                TileBitmap(rcTile, hDC, area);
            }
        } else {
            const int xSrc = bSideInColumn ? 0 : (s > 0 && s < bm.bmWidth ? s : 0);
            RECT rcSrc = {xSrc, 0, bm.bmWidth, bm.bmHeight};
            TileBitmapAt(hDC, rc, hSrc, rcSrc, rc.left, rc.top);
        }
        if ((m_style.nFlags & 0x100) && bText) {
            RECT rcEdge = rc;
            if (bSideInColumn)
                rcEdge.left = s + 1;
            DrawEdgeStyle(hDC, rcEdge, nEdge, clrLight, clrDark);
        }
        return;
    }

    const COLORREF base = (bSelected ? m_style.hotItemColors : m_style.itemColors).Get(sc);
    COLORREF light = base, dark = base;
    const int nKind = m_style.itemGradient.nKind;
    if (nKind != 0) {
        const int p1 = m_style.itemGradient.nLight < 1 ? 1 : (m_style.itemGradient.nLight > 100 ? 100 : m_style.itemGradient.nLight);
        const int p2 = m_style.itemGradient.nDark < 1 ? 1 : (m_style.itemGradient.nDark > 100 ? 100 : m_style.itemGradient.nDark);
        auto up = [p1](int c) { return c < 255 ? (c + p1 * (256 - c) / 100 > 255 ? 255 : c + p1 * (256 - c) / 100) : 255; };
        auto down = [p2](int c) { return c - c * p2 / 100; };
        light = RGB(up(GetRValue(base)), up(GetGValue(base)), up(GetBValue(base)));
        dark = RGB(down(GetRValue(base)), down(GetGValue(base)), down(GetBValue(base)));
    }
    RECT rcFill = rc;
    if (nEdge == 1) {
        DrawEdgeStyle(hDC, rc, 1, clrLight, clrDark);
        InflateRect(&rcFill, -1, -1);
    } else if (nEdge >= 2 && nEdge <= 5) {
        DrawEdgeStyle(hDC, rc, nEdge, clrLight, clrDark);
        InflateRect(&rcFill, -2, -2);
    }
    if (m_style.nFlags & 0x80) {
        const int xMid = rcFill.left + (rcFill.right - rcFill.left) / 2;
        DrawGradientFrame(light, hDC, rcFill.left, rcFill.top, xMid, rcFill.bottom, base, dark, static_cast<BYTE>(nKind));
        DrawGradientFrame(dark, hDC, xMid, rcFill.top, rcFill.right, rcFill.bottom, base, light, static_cast<BYTE>(nKind));
    } else {
        DrawGradientFrame(light, hDC, rcFill.left, rcFill.top, rcFill.right, rcFill.bottom, base, dark,
                          static_cast<BYTE>(nKind));
    }
}

void C3DMenu::DrawCheckGlyph(HDC hDC, int nItemWidth, int nItemHeight, BOOL bSelected)
{
    const int sc = g_nSkinColorScheme;
    const COLORREF clrText = m_style.textColors.Get(sc);
    const COLORREF clrGlyph = bSelected ? m_style.hotTextColors.Get(sc) : clrText;
    const int cy = nItemHeight;
    // The scratch area beyond the item: a colour square and the glyph's mask.
    const int xColor = nItemWidth, xMask = nItemWidth + cy;
    HBITMAP hMaskBmp = CreateBitmap(cy, cy, 1, 1, NULL);
    if (hMaskBmp == NULL)
        return;
    {
        CSelectedBitmapDC mask(hDC, hMaskBmp);
        if (mask.m_hDC == NULL) {
            DeleteObject(hMaskBmp);
            return;
        }
        RECT rcGlyph = {0, 0, cy, cy};
        DrawFrameControl(mask.m_hDC, &rcGlyph, DFC_MENU, (m_style.nFlags & 0x02) ? DFCS_MENUBULLET : DFCS_MENUCHECK);
        // A monochrome source takes the destination's text colour for black and
        // its background colour for white: keep the mask black on white.
        SetTextColor(hDC, RGB(0, 0, 0));
        SetBkColor(hDC, RGB(255, 255, 255));
        BitBlt(hDC, xMask, 0, cy, cy, mask.m_hDC, 0, 0, SRCCOPY);
    }
    DeleteObject(hMaskBmp);

    // Colour through the mask (glyph black on white): invert, and, invert.
    auto paintGlyph = [&](int x, int y, COLORREF clr, BOOL bGradient) {
        if (bGradient)
            DrawGradientFrame(m_style.hotTextColors.Get(sc), hDC, xColor, 0, xColor + cy, cy,
                              InterpolateColor(m_style.hotTextColors.Get(sc), clr, 1, 2), clr, GRADIENT_VERTICAL);
        else
            FillSolidRect(hDC, RECT{xColor, 0, xColor + cy, cy}, clr);
        BitBlt(hDC, x, y, cy, cy, hDC, xColor, 0, SRCINVERT);
        BitBlt(hDC, x, y, cy, cy, hDC, xMask, 0, SRCAND);
        BitBlt(hDC, x, y, cy, cy, hDC, xColor, 0, SRCINVERT);
    };
    if ((m_style.nFlags & 0x400) && !bSelected)
        paintGlyph(1, 3, ShadowOf(clrText), FALSE);
    paintGlyph(0, 2, clrGlyph, (m_style.nFlags & 0x04) != 0);
}

void C3DMenu::DrawRuns(HDC hDC, const CItemStr& item, const RECT& rc, UINT nState)
{
    const BOOL bDefault = ::GetMenuDefaultItem(m_hMenu, FALSE, GMDI_USEDISABLED) == item.nCommand;
    const COLORREF clrState = GetItemTextColor(nState);
    SetBkMode(hDC, TRANSPARENT);
    HGDIOBJ hOld = SelectObject(hDC, m_hFonts[MENUFONT_NORMAL]);
    int x = rc.left + m_nIconColumn;
    for (int i = 0; i < item.runs.GetSize(); ++i) {
        const CSub& run = item.runs[i];
        SelectObject(hDC, RunFont(run.nFont, bDefault));
        SIZE size = {0, 0};
        GetTextExtentPoint32A(hDC, run.strText, run.strText.GetLength(), &size);
        const int y = rc.top + (rc.bottom - rc.top - size.cy) / 2;
        auto out = [&](int dx, COLORREF clr) {
            SetTextColor(hDC, clr);
            ExtTextOutA(hDC, x + dx, y + dx, ETO_CLIPPED, &rc, run.strText, run.strText.GetLength(), NULL);
        };
        if (nState & ODS_GRAYED) {
            out(1, 0xDCDCDC);
            out(0, clrState);
        } else {
            COLORREF clr = clrState != CLR_INVALID ? clrState : ReadableRunColor(m_style, run.clr);
            if (run.b3D) {
                const int m = Mean(clr);
                if (m < 220)
                    clr = RGB(Clamp255(GetRValue(clr) + 220 - m), Clamp255(GetGValue(clr) + 220 - m),
                              Clamp255(GetBValue(clr) + 220 - m));
                out(1, ShadowOf(clr));
            }
            out(0, clr);
        }
        x += size.cx;
    }
    SelectObject(hDC, hOld);
}

void C3DMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    ++m_nDrawCount;
    if (!m_bTracking) {
        g_bPopupRaised = 0;
    } else if (!g_bPopupRaised) {
        g_bPopupRaised = 1;
        if (m_hPopup != NULL)
            SetWindowPos(m_hPopup, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOCOPYBITS);
    }
    const int nIndex = lpDIS->itemData != 0 ? FindItem(static_cast<int>(lpDIS->itemData)) : -1;
    CItemStr* pItem = nIndex >= 0 ? &m_items[nIndex] : NULL;
    const int nMenuItems = ::GetMenuItemCount(m_hMenu);
    if (pItem != NULL && m_nDrawCount <= nMenuItems)
        pItem->rcItem = lpDIS->rcItem;

    if (m_nDrawCount > nMenuItems && m_hPopup == NULL && (lpDIS->itemState & ODS_SELECTED) && m_nTippedItems > 0) {
        // The popup window is known only through the DC it paints on; where
        // it cannot be found the menu simply goes without item tips.
        HWND hPopup = WindowFromDC(lpDIS->hDC);
        if (hPopup != NULL && IsWindow(hPopup)) {
            m_hPopup = hPopup;
            GetWindowRect(hPopup, &m_rcPopup);
            if (m_wndPopup.m_hWnd != NULL)
                m_wndPopup.UnsubclassWindow();
            m_wndPopup.m_pMenu = this;
            if (m_wndPopup.SubclassWindow(hPopup))
                CreateItemTips();
        }
    }
    if (pItem == NULL && !(m_style.nFlags & 0x01))
        return;

    const RECT& rcItem = lpDIS->rcItem;
    const int cx = rcItem.right - rcItem.left, cy = rcItem.bottom - rcItem.top;
    if (cx <= 0 || cy <= 0 || !EnsureBackBuffer(lpDIS->hDC, cx + 2 * cy, 2 * cy))
        return;
    HDC hMem = m_hMemDC;   // the back buffer is selected into it
    const RECT rcLocal = {0, 0, cx, cy};
    const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    HBITMAP hBackground = pItem == NULL ? m_hBmpSeparator : (bSelected ? m_hBmpSelected : m_hBmpNormal);
    const ITEMBACKKEY key = {cx, cy, pItem == NULL ? 0 : (bSelected ? 1 : 2), g_nSkinColorScheme, g_bShow3DMenus,
                             m_nIconColumn};
    if (m_bBackKept && memcmp(&key, &m_backKey, sizeof(key)) == 0) {
        BitBlt(hMem, 0, 0, cx, cy, hMem, 0, cy, SRCCOPY);
    } else {
        DrawItemBackground(hMem, rcLocal, bSelected && pItem != NULL, hBackground, pItem != NULL);
        BitBlt(hMem, 0, cy, cx, cy, hMem, 0, 0, SRCCOPY);
        m_backKey = key;
        m_bBackKept = 1;
    }

    if (pItem != NULL) {
        if (pItem->hIcon != NULL) {
            int x = pItem->cxIcon < m_nWidestIcon ? (m_nWidestIcon - pItem->cxIcon) / 2 + 2 : 2;
            const int s = m_style.nIconZoneWidth;
            if (s > 0 && m_nIconColumn == s + s / 4)
                x = (s - m_nWidestIcon) / 2;
            DrawIconEx(hMem, x, (cy - pItem->cyIcon) / 2, pItem->hIcon, pItem->cxIcon, pItem->cyIcon, 0, NULL, DI_NORMAL);
        } else if (lpDIS->itemState & ODS_CHECKED) {
            DrawCheckGlyph(hMem, cx, cy, bSelected);
        }
        DrawRuns(hMem, *pItem, rcLocal, lpDIS->itemState);
        if (pItem->nFlags & MF_POPUP) {
            // The submenu arrow in the item's text colour, at the right end.
            const COLORREF clrState = GetItemTextColor(lpDIS->itemState);
            const COLORREF clrArrow =
                clrState != CLR_INVALID ? clrState : m_style.textColors.Get(g_nSkinColorScheme);
            const RECT rcArrow = {cx - 20, (cy - 16) / 2, cx - 4, (cy - 16) / 2 + 16};
            DrawArrowGlyph(rcArrow, hMem, clrArrow, ARROW_RIGHT);
        }
    }
    BitBlt(lpDIS->hDC, rcItem.left, rcItem.top, cx, cy, hMem, 0, 0, SRCCOPY);
    // The system draws its own submenu arrow over an owner-drawn item after
    // this returns, in the system's menu colours (a white or blue box); the
    // item is left out of the DC's clipping so that it keeps ours.
    if (pItem != NULL && (pItem->nFlags & MF_POPUP))
        ExcludeClipRect(lpDIS->hDC, rcItem.left, rcItem.top, rcItem.right, rcItem.bottom);
}

// ---- item tips ----------------------------------------------------------------

void C3DMenu::CreateItemTips()
{
    if (m_hPopup == NULL || m_hTip != NULL)
        return;
    DWORD dwStyle = WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP;
    if ((m_style.nFlags & 0x10) && BalloonTips())
        dwStyle |= TTS_BALLOON;
    m_hTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, m_hPopup, NULL, NULL, NULL);
    if (m_hTip == NULL)
        return;
    SetWindowPos(m_hTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const BOOL bMulti = MultilineTips();
    if (bMulti && m_style.nTipMaxWidth != 0)
        SendMessageA(m_hTip, TTM_SETMAXTIPWIDTH, 0, m_style.nTipMaxWidth);
    SendMessageA(m_hTip, TTM_SETDELAYTIME, TTDT_AUTOPOP,
                 MAKELPARAM(m_style.nTipDisplayTime > 0 ? m_style.nTipDisplayTime : 0xFFFF, 0));
    SendMessageA(m_hTip, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(GetDoubleClickTime(), 0));
    if (bMulti && (m_style.clrTipBack != 0 || m_style.clrTipBack != m_style.clrTipText)) {
        SendMessageA(m_hTip, TTM_SETTIPBKCOLOR, m_style.clrTipBack, 0);
        SendMessageA(m_hTip, TTM_SETTIPTEXTCOLOR, m_style.clrTipText, 0);
    }
    m_clrCurTipText = m_clrCurTipBack = 0;
    for (int i = m_items.GetSize() - 1; i >= 0; --i) {
        const CItemStr& item = m_items[i];
        if (item.strTip.IsEmpty())
            continue;
        TTTOOLINFOA ti;
        ZeroMemory(&ti, sizeof(ti));
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.uFlags = TTF_TRANSPARENT;
        ti.hwnd = m_hPopup;
        ti.uId = item.nItem;
        ti.rect = item.rcItem;
        ti.rect.top += 1;
        ti.rect.bottom -= 1;
        ti.lpszText = (bMulti && m_style.nTipMaxWidth != 0) ? LPSTR_TEXTCALLBACKA : const_cast<LPSTR>(static_cast<LPCSTR>(item.strTip));
        SendMessageA(m_hTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void C3DMenu::DestroyItemTips()
{
    if (m_hTip != NULL) {
        DestroyWindow(m_hTip);
        m_hTip = NULL;
    }
}

void C3DMenu::ForgetPopup()
{
    m_hPopup = NULL;
    m_nDrawCount = 0;
}

void C3DMenu::PrepareItemTip(int nIndex)
{
    const CItemStr* pItem = GetItem(nIndex);
    if (pItem == NULL || m_hTip == NULL)
        return;
    if (m_style.nTipDisplayTime == 0 && !pItem->strTip.IsEmpty())
        SendMessageA(m_hTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(pItem->nTipDelay, 0));
    if ((m_style.nFlags & 0x40) && BalloonTips() && !pItem->strTitle.IsEmpty())
        SendMessageA(m_hTip, TTM_SETTITLEA, TTI_INFO, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(pItem->strTitle)));
    if (!MultilineTips())
        return;
    if (pItem->clrTipText != pItem->clrTipBack) {
        if (pItem->clrTipText != m_clrCurTipText && pItem->clrTipBack != m_clrCurTipBack) {
            m_clrCurTipText = pItem->clrTipText;
            m_clrCurTipBack = pItem->clrTipBack;
            SendMessageA(m_hTip, TTM_SETTIPTEXTCOLOR, m_clrCurTipText, 0);
            SendMessageA(m_hTip, TTM_SETTIPBKCOLOR, m_clrCurTipBack, 0);
        }
    } else if (m_clrCurTipText != 0 || m_clrCurTipBack != 0) {
        const BOOL bSystem = m_style.clrTipBack == 0 && m_style.clrTipBack == m_style.clrTipText;
        SendMessageA(m_hTip, TTM_SETTIPTEXTCOLOR, bSystem ? GetSysColor(COLOR_INFOTEXT) : m_style.clrTipText, 0);
        SendMessageA(m_hTip, TTM_SETTIPBKCOLOR, bSystem ? GetSysColor(COLOR_INFOBK) : m_style.clrTipBack, 0);
        m_clrCurTipText = m_clrCurTipBack = 0;
    }
}

void C3DMenu::OnHookMouse(UINT message, HWND hWnd, int x, int y)
{
    (void)hWnd;
    if (message == WM_MOUSEMOVE)
        SetCursor(LoadCursor(NULL, IDC_ARROW));
    if (m_hTip == NULL || (message == WM_MOUSEMOVE && x == m_ptLastHook.x && y == m_ptLastHook.y))
        return;
    m_ptLastHook.x = x;
    m_ptLastHook.y = y;
    SendMessageA(m_hTip, TTM_POP, 0, 0);
    POINT pt = {x, y};
    ScreenToClient(m_hPopup, &pt);
    int nFound = -1;
    for (int i = m_items.GetSize() - 1; i >= 0; --i) {
        if (PtInRect(&m_items[i].rcItem, pt)) {
            nFound = i;
            break;
        }
    }
    if (nFound >= 0) {
        if (nFound != m_nHovered) {
            m_nHovered = nFound;
            if (m_bTipPopped) {
                MSG reset = {m_hPopup, WM_MOUSEMOVE, 0, MAKELPARAM(-2, -2), GetTickCount(), {x, y}};
                SendMessageA(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&reset));
                m_bTipPopped = 0;
            }
            m_bRelayPaused = 0;
            PrepareItemTip(nFound);
        }
    } else {
        m_nHovered = -1;
        m_bRelayPaused = 0;
    }
    if (!m_bRelayPaused) {
        MSG msg = {m_hPopup, message, 0, MAKELPARAM(pt.x, pt.y), GetTickCount(), {x, y}};
        SendMessageA(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
}

LRESULT CALLBACK C3DMenu::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CallNextHookEx(g_hMenuHook, nCode, wParam, lParam);
    if (nCode != HC_ACTION || lParam == 0)
        return lResult;
    const MOUSEHOOKSTRUCT* pHook = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    CSequence<C3DMenu*>& live = LiveMenus();
    for (int i = live.GetSize() - 1; i >= 0; --i) {
        C3DMenu* pMenu = live[i];
        if (pMenu->m_hPopup != NULL && PtInRect(&pMenu->m_rcPopup, pHook->pt)) {
            pMenu->OnHookMouse(static_cast<UINT>(wParam), pHook->hwnd, pHook->pt.x, pHook->pt.y);
            break;
        }
    }
    return lResult;
}
