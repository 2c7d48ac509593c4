#include "ui3d/controls/TabSelector.h"

#include "services/Messages.h"
#include "collection/ImageReader.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/Tiling.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"

#include <windowsx.h>

namespace {

const int MIN_TAB_WIDTH = 24;
DWORD s_nNextDragStamp = 1;

int ClampPercent(int n)
{
    return n < 1 ? 1 : n > 100 ? 100 : n;
}

COLORREF Lighten(COLORREF c, int nPercent)
{
    int v[3];
    for (int i = 0; i < 3; i++) {
        const int x = (c >> (8 * i)) & 0xFF;
        v[i] = x + (255 - x) * nPercent / 100;
    }
    return RGB(v[0], v[1], v[2]);
}

COLORREF Darken(COLORREF c, int nPercent)
{
    int v[3];
    for (int i = 0; i < 3; i++) {
        const int x = (c >> (8 * i)) & 0xFF;
        v[i] = x - x * nPercent / 100;
    }
    return RGB(v[0], v[1], v[2]);
}

// A colour derived from the tab's colour by a signed percentage; 0 gives the fallback.
COLORREF DeriveByNumber(COLORREF c, int n, COLORREF clrFallback)
{
    if (n > 0)
        return Lighten(c, ClampPercent(n));
    if (n < 0)
        return Darken(c, ClampPercent(-n));
    return clrFallback;
}

BOOL LayerLoaded(const IMAGELAYER& layer)
{
    return layer.pImage != NULL && CImageReader::IsLoaded(*layer.pImage);
}


}  // namespace

CTabSelector::CTabSelector()
    : m_hSizeAllCursor(NULL), m_hArrowCursor(NULL), m_DropTarget(this), m_nBackRow(0), m_nStripHeight(0),
      m_nFadeZone(0), m_nRowWidth(0), m_nScrollOffset(0), m_bPendingSelect(0), m_bPendingRight(0),
      m_bLayoutDirty(1), m_nSmoothDone(0), m_nSmoothDir(0), m_nSmoothTotal(0), m_bNotCreated(1),
      m_nDragStamp(s_nNextDragStamp++)
{
    m_ptPress.x = m_ptPress.y = 0;
    m_ptRightPress.x = m_ptRightPress.y = 0;
}

CTabSelector::~CTabSelector()
{
    m_Tabs.RemoveAll();
}

// --- the tab list -------------------------------------------------------------------------

int CTabSelector::GetTabIndex(int nId) const
{
    for (int i = 0; i < m_Tabs.GetSize(); i++) {
        if (m_Tabs[i].nId == nId)
            return i;
    }
    return -1;
}

int CTabSelector::GetSelectedIndex() const
{
    for (int i = m_Tabs.GetSize() - 1; i >= 0; i--) {
        if (m_Tabs[i].nState == TABST_SELECTED)
            return i;
    }
    return -1;
}

int CTabSelector::GetSelectedId() const
{
    const int i = GetSelectedIndex();
    return i >= 0 ? m_Tabs[i].nId : 0;
}

int CTabSelector::GetFreeTabId() const
{
    for (int nId = m_Tabs.GetSize() + 1; nId <= 0xFFFE; nId++) {
        if (GetTabIndex(nId) < 0)
            return nId;
    }
    return 0;
}

int CTabSelector::GetTab(int nId, CString* pName, DWORD_PTR* pData) const
{
    const int i = GetTabIndex(nId);
    if (i < 0)
        return 0;
    if (pName != NULL)
        *pName = m_Tabs[i].strName;
    if (pData != NULL)
        *pData = m_Tabs[i].nData;
    return 1;
}

int CTabSelector::HasTab(int nId, COneTab* pTab) const
{
    const int i = GetTabIndex(nId);
    if (i < 0)
        return 0;
    if (pTab != NULL)
        *pTab = m_Tabs[i];
    return 1;
}

int CTabSelector::GetNextTabId(int nId) const
{
    const int i = GetTabIndex(nId);
    return i >= 0 && i + 1 < m_Tabs.GetSize() ? m_Tabs[i + 1].nId : 0;
}

void CTabSelector::Relayout(int nScrollIndex)
{
    m_bLayoutDirty = 1;
    if (m_hWnd == NULL || m_bNotCreated)
        return;
    MeasureTabs();
    UpdateScrollButtons();
    if (nScrollIndex < 0 || !ScrollTabIntoView(nScrollIndex))
        RedrawStrip();
}

int CTabSelector::InsertTab(int nAfterId, LPCTSTR pszName, DWORD_PTR nData, int bLayout)
{
    const int nId = GetFreeTabId();
    if (nId == 0)
        return 0;
    COneTab tab;
    tab.nData = nData;
    tab.strName = pszName != NULL ? pszName : "";
    tab.nId = nId;
    tab.nState = m_Tabs.GetSize() == 0 ? TABST_SELECTED : TABST_NORMAL;
    const int nAfter = GetTabIndex(nAfterId);
    const int nAt = nAfter >= 0 ? nAfter + 1 : m_Tabs.GetSize();
    m_Tabs.Add(tab);
    for (int i = m_Tabs.GetSize() - 1; i > nAt; i--) {
        const COneTab t = m_Tabs[i];
        m_Tabs[i] = m_Tabs[i - 1];
        m_Tabs[i - 1] = t;
    }
    m_bLayoutDirty = 1;
    if (bLayout)
        Relayout(nAt);
    return nId;
}

int CTabSelector::RemoveTab(int nId, int bLayout)
{
    const int i = GetTabIndex(nId);
    if (m_Tabs.GetSize() <= 1 || i < 0)
        return 0;
    if (m_Tabs[i].nState == TABST_SELECTED)
        SelectTabByIndex(i > 0 ? i - 1 : i + 1, NULL);
    m_Tabs.RemoveAt(i);
    m_bLayoutDirty = 1;
    if (bLayout && m_hWnd != NULL && !m_bNotCreated) {
        MeasureTabs();
        if (m_nScrollOffset > m_nRowWidth - m_nClientWidth) {
            const int n = m_nRowWidth - m_nClientWidth;
            m_nScrollOffset = n > 0 ? n : 0;
        }
        UpdateScrollButtons();
        RedrawStrip();
    }
    return 1;
}

void CTabSelector::RemoveAllTabs()
{
    m_Tabs.RemoveAll();
    m_nScrollOffset = 0;
    m_bLayoutDirty = 1;
}

int CTabSelector::SetTab(int nId, LPCTSTR pszName, DWORD_PTR nData, int bLayout)
{
    const int i = GetTabIndex(nId);
    if (i < 0)
        return 0;
    m_Tabs[i].strName = pszName != NULL ? pszName : "";
    m_Tabs[i].nData = nData;
    m_bLayoutDirty = 1;
    if (bLayout)
        Relayout(-1);
    return 1;
}

int CTabSelector::SwapTabs(int nIdA, int nIdB)
{
    const int a = GetTabIndex(nIdA);
    const int b = GetTabIndex(nIdB);
    if (a < 0 || b < 0)
        return 0;
    const COneTab t = m_Tabs[a];
    m_Tabs[a] = m_Tabs[b];
    m_Tabs[b] = t;
    Relayout(-1);
    return 1;
}

int CTabSelector::MoveTab(int nId, int nTargetId)
{
    const int i = GetTabIndex(nId);
    if (nId == nTargetId || i < 0 || GetTabIndex(nTargetId) == i + 1)
        return 0;
    const COneTab tab = m_Tabs[i];
    m_Tabs.RemoveAt(i);
    const int nTarget = GetTabIndex(nTargetId);
    const int nAt = nTarget >= 0 ? nTarget : m_Tabs.GetSize();
    m_Tabs.Add(tab);
    for (int k = m_Tabs.GetSize() - 1; k > nAt; k--) {
        const COneTab t = m_Tabs[k];
        m_Tabs[k] = m_Tabs[k - 1];
        m_Tabs[k - 1] = t;
    }
    Relayout(-1);
    return 1;
}

void CTabSelector::SelectTab(int nId)
{
    const int i = GetTabIndex(nId);
    if (i < 0)
        return;
    POINT pt;
    const BOOL bOver = MouseOverClient(&pt);
    SelectTabByIndex(i, bOver ? &pt : NULL);
    if (m_bLayoutDirty && m_hWnd != NULL && !m_bNotCreated)
        MeasureTabs();
    // A tab wholly beyond an edge (the last of many, chosen at start-up) is
    // brought in as well as one that is partly hidden.
    if (!ScrollTabIntoView(i) && !ScrollSelectedIntoView())
        RedrawStrip();
}

void CTabSelector::SelectTabByIndex(int nIndex, const POINT* pPoint)
{
    if (nIndex < 0 || nIndex >= m_Tabs.GetSize() || m_Tabs[nIndex].nState == TABST_SELECTED)
        return;
    const int nOldId = GetSelectedId();
    for (int i = 0; i < m_Tabs.GetSize(); i++)
        m_Tabs[i].nState = TABST_NORMAL;
    m_Tabs[nIndex].nState = TABST_SELECTED;
    if (pPoint != NULL) {
        const int nHot = TabFromPoint(pPoint->x, NULL);
        if (nHot >= 0 && nHot != nIndex)
            m_Tabs[nHot].nState = TABST_HOT;
    }
    UpdateScrollButtons();
    SendTabMessage(m_hWnd != NULL ? ::GetParent(m_hWnd) : NULL, static_cast<WPARAM>(m_Tabs[nIndex].nId),
                   static_cast<LPARAM>(nOldId));
}

BOOL CTabSelector::SendTabMessage(HWND hTarget, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(hTarget, WM_TABSELCHANGED, wParam, lParam) != 0;
}

int CTabSelector::TabFromPoint(int x, int* pOffset)
{
    if (m_Tabs.GetSize() == 0 || x < 0 || x > m_nClientWidth)
        return -1;
    if (m_bLayoutDirty && m_hWnd != NULL && !m_bNotCreated)
        MeasureTabs();
    const int xRow = x + m_nScrollOffset;
    for (int i = 0; i < m_Tabs.GetSize(); i++) {
        const COneTab& tab = m_Tabs[i];
        if (xRow < tab.x || xRow >= tab.x + tab.nWidth)
            continue;
        // The selected tab lies over the overlap with its left neighbour.
        if (i + 1 < m_Tabs.GetSize() && m_Tabs[i + 1].nState == TABST_SELECTED && m_Tabs[i + 1].x <= xRow)
            i++;
        if (pOffset != NULL)
            *pOffset = xRow - m_Tabs[i].x;
        return i;
    }
    return -1;
}

void CTabSelector::GetTabRect(RECT* pRect, int nId)
{
    const int i = GetTabIndex(nId);
    if (i < 0)
        return;
    if (m_bLayoutDirty && m_hWnd != NULL && !m_bNotCreated)
        MeasureTabs();
    const COneTab& tab = m_Tabs[i];
    ::SetRect(pRect, tab.x - m_nScrollOffset, 0, tab.x + tab.nWidth - m_nScrollOffset, m_nStripHeight);
}

void CTabSelector::DrawTabImage(int nId, CDC* pDC)
{
    const int i = GetTabIndex(nId);
    if (i < 0 || m_Strip.GetSafeHandle() == NULL)
        return;
    const COneTab& tab = m_Tabs[i];
    const int H = m_nStripHeight;
    CSelectedBitmapDC strip(pDC->m_hDC, static_cast<HBITMAP>(m_Strip.GetSafeHandle()));
    ::BitBlt(pDC->m_hDC, 0, 0, tab.nWidth, H, strip.m_hDC, 0, 2 * H + (3 * i + tab.nState) * H, SRCCOPY);
}

// --- rendering -------------------------------------------------------------------------------

void CTabSelector::TabColors(const COneTab& tab, int nState, COLORREF* pFace, COLORREF* pLight, COLORREF* pDark,
                             COLORREF* pText, COLORREF* pShadow) const
{
    const TABSTATELOOK& look = m_Look.looks[nState];
    if (m_Look.nFlags & TSF_EXPLICITCOLORS) {
        *pFace = look.tabColors.Get(g_nSkinColorScheme);
        *pLight = look.borderLightColors.Get(g_nSkinColorScheme);
        *pDark = look.borderDarkColors.Get(g_nSkinColorScheme);
        *pText = look.textColors.Get(g_nSkinColorScheme);
        *pShadow = look.textShadowColors.Get(g_nSkinColorScheme);
        return;
    }
    const COLORREF c = static_cast<COLORREF>(tab.nData) & 0xFFFFFF;
    *pFace = c;
    *pLight = Lighten(c, ClampPercent(look.nBorderLightAmount));
    *pDark = Darken(c, ClampPercent(look.nBorderDarkAmount));
    *pText = DeriveByNumber(c, look.nTextColorFromTab, look.clrTextExplicit);
    *pShadow = DeriveByNumber(c, look.nText2ColorFromTab, c);
}

BOOL CTabSelector::RenderTab(HDC hDC, int nIndex)
{
    COneTab& tab = m_Tabs[nIndex];
    const int H = m_nStripHeight;
    const int nCount = m_Tabs.GetSize();
    HFONT hFont = ::CreateFontIndirectA(&m_Look.font);
    HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;

    // Width: the name (at most half the strip), the text offsets, the images.
    RECT rcText = {0, 0, 0, 0};
    ::DrawTextA(hDC, tab.strName, tab.strName.GetLength(), &rcText, DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
    int nTextWidth = rcText.right - rcText.left + 1;
    if (nTextWidth > m_nClientWidth / 2)
        nTextWidth = m_nClientWidth / 2;
    int nWidth = MIN_TAB_WIDTH;
    for (int s = 0; s < 3; s++) {
        const TABSTATELOOK& look = m_Look.looks[s];
        const int w = nTextWidth + look.nTextLeft + look.nTextRight;
        if (w > nWidth)
            nWidth = w;
        if (LayerLoaded(look.layer)) {
            int wImage = look.layer.pImage->GetReader()->GetSize().cx;
            if (wImage < 25)
                wImage = MIN_TAB_WIDTH;
            if (wImage > nWidth)
                nWidth = wImage;
        }
    }
    tab.nWidth = nWidth;

    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hDC, &tm);
    for (int s = 0; s < 3; s++) {
        const TABSTATELOOK& look = m_Look.looks[s];
        const int yImage = 2 * H + (3 * nIndex + s) * H;
        const int yMask = yImage + 3 * nCount * H;
        const BOOL bImage = LayerLoaded(look.layer);
        int nHeight = bImage ? look.layer.pImage->GetReader()->GetSize().cy : look.nBorderlessHeight;
        if (nHeight < 1 || nHeight > H)
            nHeight = H * 90 / 100;
        const int top = yImage + H - nHeight;
        const int bottom = yImage + H;

        COLORREF clrFace, clrLight, clrDark, clrText, clrShadow;
        TabColors(tab, s, &clrFace, &clrLight, &clrDark, &clrText, &clrShadow);
        const int l = ClampPercent(look.gradient.nLight);
        const int d = ClampPercent(look.gradient.nDark);
        COLORREF clrFirst = clrFace, clrMiddle = clrFace, clrLast = clrFace;
        if (look.gradient.nKind == 0) {
            clrMiddle = l > d ? Lighten(clrFace, l - d) : d > l ? Darken(clrFace, d - l) : clrFace;
            clrFirst = clrLast = clrMiddle;
        } else {
            clrFirst = Lighten(clrFace, l);
            clrLast = Darken(clrFace, d);
            if (look.gradient.bMirrored) {
                const COLORREF c = clrFirst;
                clrFirst = clrLast;
                clrLast = c;
            }
        }

        FillSolidRect(hDC, RECT{0, yImage, m_nClientWidth, yImage + H}, 0);
        FillSolidRect(hDC, RECT{0, yMask, m_nClientWidth, yMask + H}, 0xFFFFFF);
        if (bImage) {
            // The picture is cut into three slices; the middle one is tiled so
            // that any width keeps the ends undistorted.
            CGraphicalFormatReader* pReader = look.layer.pImage->GetReader();
            const CSize size = pReader->GetSize();
            int a = look.nSliceStart, b = look.nSliceEnd;
            if (a < 0 || a >= b || size.cx < b) {
                a = size.cx / 2 - 1;
                b = a + 1;
            }
            BYTE* pBits = NULL;
            BYTE* pTopBits = NULL;
            HBITMAP hPict = CreateDIBSection32(size.cx, nHeight, &pBits);
            HBITMAP hTab = CreateDIBSection32(nWidth, nHeight, &pBits);
            HBITMAP hGrad = CreateDIBSection32(nWidth, nHeight, &pTopBits);
            BOOL bOk = hPict != NULL && hTab != NULL && hGrad != NULL;
            if (bOk) {
                CSelectedBitmapDC pict(hDC, hPict), dtab(hDC, hTab), grad(hDC, hGrad);
                CDC dcPict;
                dcPict.Attach(pict.m_hDC);
                for (int nPass = 0; nPass < 2; nPass++) {
                    const CRect rcAll(0, 0, size.cx, nHeight);
                    if (nPass == 0)
                        pReader->DrawStretched(&dcPict, NULL, rcAll, 0);
                    else
                        pReader->DrawMask(&dcPict, NULL, rcAll, 0);
                    ::BitBlt(dtab.m_hDC, 0, 0, a, nHeight, pict.m_hDC, 0, 0, SRCCOPY);
                    const int nRight = size.cx - b;
                    ::BitBlt(dtab.m_hDC, nWidth - nRight, 0, nRight, nHeight, pict.m_hDC, b, 0, SRCCOPY);
                    const RECT rcMid = {a, 0, nWidth - nRight, nHeight};
                    const RECT rcSrc = {a, 0, b, nHeight};
                    TileBitmapAt(dtab.m_hDC, rcMid, pict.m_hDC, rcSrc, a, 0);
                    if (nPass == 0) {
                        DrawGradientFrame(clrFirst, grad.m_hDC, 0, 0, nWidth, nHeight, clrMiddle, clrLast,
                                          static_cast<BYTE>(look.gradient.nKind));
                        ::GdiFlush();
                        BlendPixels(pBits, pTopBits, look.layer.nBlendMode, nWidth, nHeight);
                        // Blend the gradient in, then keep the picture off where the mask is clear.
                        ::BitBlt(hDC, 0, top, nWidth, nHeight, dtab.m_hDC, 0, 0, SRCCOPY);
                    } else {
                        ::BitBlt(hDC, 0, yMask + H - nHeight, nWidth, nHeight, dtab.m_hDC, 0, 0, SRCCOPY);
                        // Not black in the mask: transparent, so black in the image.
                        ::BitBlt(hDC, 0, top, nWidth, nHeight, dtab.m_hDC, 0, 0, 0x00220326 /* DSna */);
                    }
                }
                dcPict.Detach();
            }
            if (hPict != NULL)
                ::DeleteObject(hPict);
            if (hTab != NULL)
                ::DeleteObject(hTab);
            if (hGrad != NULL)
                ::DeleteObject(hGrad);
            if (!bOk) {
                if (hOldFont != NULL)
                    ::SelectObject(hDC, hOldFont);
                if (hFont != NULL)
                    ::DeleteObject(hFont);
                return FALSE;
            }
        } else {
            const int sl = look.nBorderlessSlant;
            const int w = nWidth;
            POINT pts[6] = {{1, bottom}, {1, top + sl}, {sl + 1, top}, {w - sl - 1, top}, {w - 1, top + sl}, {w - 1, bottom}};
            HRGN hRgn = ::CreatePolygonRgn(pts, 6, WINDING);
            if (hRgn != NULL) {
                ::SelectClipRgn(hDC, hRgn);
                DrawGradientFrame(clrFirst, hDC, 1, top + 1, w - 1, bottom, clrMiddle, clrLast,
                                  static_cast<BYTE>(look.gradient.nKind));
                ::SelectClipRgn(hDC, NULL);
            }
            HPEN hLight = ::CreatePen(PS_SOLID, 1, clrLight);
            HPEN hDark = ::CreatePen(PS_SOLID, 1, clrDark);
            // The region leaves out its bottom row; the lines must stay inside
            // the tab's own rows, or they spill into the row below.
            POINT lines[6];
            for (int k = 0; k < 6; k++) {
                lines[k] = pts[k];
                if (lines[k].y >= bottom)
                    lines[k].y = bottom - 1;
            }
            HGDIOBJ hOldPen = ::SelectObject(hDC, hLight);
            ::Polyline(hDC, lines, 4);
            ::SelectObject(hDC, hDark);
            ::Polyline(hDC, lines + 3, 3);
            ::SetPixel(hDC, lines[5].x, lines[5].y, clrDark);
            // The mask: the same outline, opaque.
            if (hRgn != NULL) {
                ::OffsetRgn(hRgn, 0, yMask - yImage);
                ::FillRgn(hDC, hRgn, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
                ::DeleteObject(hRgn);
            }
            POINT mpts[6];
            for (int k = 0; k < 6; k++) {
                mpts[k] = lines[k];
                mpts[k].y += yMask - yImage;
            }
            ::SelectObject(hDC, ::GetStockObject(BLACK_PEN));
            ::Polyline(hDC, mpts, 6);
            ::SetPixel(hDC, mpts[5].x, mpts[5].y, 0);
            ::SelectObject(hDC, hOldPen);
            ::DeleteObject(hLight);
            ::DeleteObject(hDark);
        }

        // The name.
        const int nInset = m_Look.looks[0].nBorderlessSlant;
        RECT rc = {nInset, top, nWidth - nInset, bottom};
        UINT nFormat = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
        if (look.nTextTop != 0)
            rc.top = top + look.nTextTop - tm.tmInternalLeading;
        else
            nFormat |= DT_VCENTER;
        ::SetBkMode(hDC, TRANSPARENT);
        if (look.nTextType == 1 || look.nTextType == 2) {
            const int o = look.nTextType == 1 ? 1 : -1;
            RECT rcShadow = rc;
            ::OffsetRect(&rcShadow, o, o);
            ::SetTextColor(hDC, clrShadow);
            ::DrawTextA(hDC, tab.strName, tab.strName.GetLength(), &rcShadow, nFormat);
        }
        ::SetTextColor(hDC, clrText);
        ::DrawTextA(hDC, tab.strName, tab.strName.GetLength(), &rc, nFormat);
    }
    if (hOldFont != NULL)
        ::SelectObject(hDC, hOldFont);
    if (hFont != NULL)
        ::DeleteObject(hFont);
    return TRUE;
}

int CTabSelector::MeasureTabs()
{
    m_bLayoutDirty = 0;
    m_Strip.DeleteObject();
    const int H = m_nStripHeight;
    const int W = m_nClientWidth;
    if (m_hWnd == NULL || H <= 0 || W <= 0)
        return 0;
    HDC hWndDC = ::GetDC(m_hWnd);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hWndDC, W, 2 * H + 6 * H * m_Tabs.GetSize());
    ::ReleaseDC(m_hWnd, hWndDC);
    if (hBitmap == NULL)
        return 0;
    m_Strip.Attach(hBitmap);
    m_nBackRow = H;
    CSelectedBitmapDC strip(NULL, hBitmap);

    // The parent's background under the strip.
    HWND hParent = ::GetParent(m_hWnd);
    RECT rcParent = {0, 0, W, H};
    FillSolidRect(strip.m_hDC, RECT{0, H, W, 2 * H}, ::GetSysColor(COLOR_BTNFACE));
    if (hParent != NULL) {
        ::MapWindowPoints(m_hWnd, hParent, reinterpret_cast<POINT*>(&rcParent), 2);
        HBITMAP hBack = ::CreateCompatibleBitmap(strip.m_hDC, W, H);
        if (hBack != NULL) {
            CSelectedBitmapDC back(strip.m_hDC, hBack);
            FillSolidRect(back.m_hDC, RECT{0, 0, W, H}, ::GetSysColor(COLOR_BTNFACE));
            ::SendMessageA(hParent, g_msgPrintBackground, reinterpret_cast<WPARAM>(back.m_hDC),
                           reinterpret_cast<LPARAM>(&rcParent));
            ::BitBlt(strip.m_hDC, 0, H, W, H, back.m_hDC, 0, 0, SRCCOPY);
        }
        if (hBack != NULL)
            ::DeleteObject(hBack);
    }

    int x = 0;
    for (int i = 0; i < m_Tabs.GetSize(); i++) {
        if (!RenderTab(strip.m_hDC, i)) {
            m_Strip.DeleteObject();
            return 0;
        }
        m_Tabs[i].x = x;
        x += m_Tabs[i].nWidth - m_Look.nOverlap;
    }
    m_nRowWidth = x + m_Look.nOverlap;
    return 1;
}

int CTabSelector::DrawTabs(int x0, int x1, CDC* pDC)
{
    int nResult = 1;
    if (m_bLayoutDirty) {
        MeasureTabs();
        UpdateScrollButtons();
        x0 = 0;
        x1 = m_nClientWidth;
        nResult = -1;
    }
    if (m_Strip.GetSafeHandle() == NULL || x1 <= x0)
        return nResult;
    const int H = m_nStripHeight;
    const int W = m_nClientWidth;
    const int nCount = m_Tabs.GetSize();
    CSelectedBitmapDC strip(pDC != NULL ? pDC->m_hDC : NULL, static_cast<HBITMAP>(m_Strip.GetSafeHandle()));
    HDC hDC = strip.m_hDC;

    if (m_Look.nFlags & TSF_SCROLLBACKGROUND) {
        const int xSrc = (x0 + m_nScrollOffset) % W;
        const int nFirst = W - xSrc < x1 - x0 ? W - xSrc : x1 - x0;
        ::BitBlt(hDC, x0, 0, nFirst, H, hDC, xSrc, H, SRCCOPY);
        if (nFirst < x1 - x0)
            ::BitBlt(hDC, x0 + nFirst, 0, x1 - x0 - nFirst, H, hDC, 0, H, SRCCOPY);
    } else {
        ::BitBlt(hDC, x0, 0, x1 - x0, H, hDC, x0, H, SRCCOPY);
    }

    HRGN hClip = ::CreateRectRgn(x0, 0, x1, H);
    ::SelectClipRgn(hDC, hClip);
    auto DrawOne = [&](int i) {
        const COneTab& tab = m_Tabs[i];
        const int xDest = tab.x - m_nScrollOffset;
        const int yImage = 2 * H + (3 * i + tab.nState) * H;
        const int yMask = yImage + 3 * nCount * H;
        ::BitBlt(hDC, xDest, 0, tab.nWidth, H, hDC, 0, yMask, SRCAND);
        ::BitBlt(hDC, xDest, 0, tab.nWidth, H, hDC, 0, yImage, SRCPAINT);
    };
    int nLast = TabFromPoint(x1 - 1, NULL);
    if (nLast < 0)
        nLast = nCount - 1;
    int nSelected = -1;
    for (int i = nLast; i >= 0; i--) {
        const int xLeft = m_Tabs[i].x - m_nScrollOffset;
        if (xLeft + m_Tabs[i].nWidth <= x0)
            break;
        if (m_Tabs[i].nState == TABST_SELECTED) {
            nSelected = i;
            continue;
        }
        DrawOne(i);
    }
    const int nSel = GetSelectedIndex();
    if (nSelected >= 0 || (nSel >= 0 && m_Tabs[nSel].x - m_nScrollOffset < x1 &&
                           m_Tabs[nSel].x + m_Tabs[nSel].nWidth - m_nScrollOffset > x0))
        DrawOne(nSel);
    ::SelectClipRgn(hDC, NULL);
    if (hClip != NULL)
        ::DeleteObject(hClip);

    // With the keyboard focus the selected tab carries the focus rectangle,
    // drawn only inside the columns redrawn now (it inverts what lies under it).
    if (nSel >= 0 && m_hWnd != NULL && ::GetFocus() == m_hWnd) {
        RECT rcFocus = {m_Tabs[nSel].x - m_nScrollOffset + 3, 3,
                        m_Tabs[nSel].x + m_Tabs[nSel].nWidth - m_nScrollOffset - 3, H - 2};
        if (rcFocus.right > rcFocus.left && rcFocus.bottom > rcFocus.top) {
            ::IntersectClipRect(hDC, x0, 0, x1, H);
            ::DrawFocusRect(hDC, &rcFocus);
            ::SelectClipRgn(hDC, NULL);
        }
    }
    if ((m_Look.nFlags & TSF_FADEEDGES) && m_nFadeZone > 0 && g_pExportedFuncs != NULL &&
        g_pExportedFuncs->pAlphaBlend != NULL) {
        AlphaBlendFaded(hDC, RECT{0, 0, m_nFadeZone, H}, hDC, POINT{0, H}, FALSE, 255, 0);
        AlphaBlendFaded(hDC, RECT{W - m_nFadeZone, 0, W, H}, hDC, POINT{W - m_nFadeZone, H}, FALSE, 0, 255);
    }
    if (pDC != NULL)
        ::BitBlt(pDC->m_hDC, x0, 0, x1 - x0, H, hDC, x0, 0, SRCCOPY);
    return nResult;
}

void CTabSelector::RedrawStrip()
{
    if (m_hWnd == NULL || m_bNotCreated)
        return;
    DrawTabs(0, m_nClientWidth, NULL);
    const RECT rc = {0, 0, m_nClientWidth, m_nStripHeight};
    ::InvalidateRect(m_hWnd, &rc, FALSE);
}

void CTabSelector::ShowHot(int nId)
{
    for (int i = 0; i < m_Tabs.GetSize(); i++) {
        COneTab& tab = m_Tabs[i];
        if (tab.nState != TABST_SELECTED)
            tab.nState = tab.nId == nId ? TABST_HOT : TABST_NORMAL;
    }
    RedrawStrip();
}

void CTabSelector::OnDisplayChanged()
{
    MeasureTabs();
    UpdateScrollButtons();
    RedrawStrip();
}

// --- hover ---------------------------------------------------------------------------------

BOOL CTabSelector::MouseOverClient(POINT* pPt) const
{
    if (m_hWnd == NULL)
        return FALSE;
    POINT pt;
    if (!::GetCursorPos(&pt))
        return FALSE;
    ::ScreenToClient(m_hWnd, &pt);
    *pPt = pt;
    return pt.x >= 0 && pt.y >= 0 && pt.x < m_nClientWidth && pt.y < m_nClientHeight;
}

void CTabSelector::HotTrack(const POINT& pt)
{
    const int nHot = pt.y < m_nStripHeight ? TabFromPoint(pt.x, NULL) : -1;
    BOOL bChanged = FALSE;
    for (int i = 0; i < m_Tabs.GetSize(); i++) {
        COneTab& tab = m_Tabs[i];
        if (tab.nState == TABST_SELECTED)
            continue;
        const int nNew = i == nHot ? TABST_HOT : TABST_NORMAL;
        if (tab.nState != nNew) {
            tab.nState = nNew;
            bChanged = TRUE;
        }
    }
    if (bChanged)
        RedrawStrip();
}

void CTabSelector::ClearHot()
{
    BOOL bChanged = FALSE;
    for (int i = 0; i < m_Tabs.GetSize(); i++) {
        if (m_Tabs[i].nState == TABST_HOT) {
            m_Tabs[i].nState = TABST_NORMAL;
            bChanged = TRUE;
        }
    }
    if (bChanged)
        RedrawStrip();
}

// --- scrolling -------------------------------------------------------------------------------

BOOL CTabSelector::LastPixelCovered() const
{
    return m_Tabs.GetSize() != 0 && m_nRowWidth > m_nClientWidth;
}

void CTabSelector::ScrollBy(int dx)
{
    if (dx == 0 || m_Tabs.GetSize() == 0 || !LastPixelCovered())
        return;
    int nOffset = m_nScrollOffset - dx;
    const int nMax = m_nRowWidth - m_nClientWidth;
    if (nOffset > nMax)
        nOffset = nMax;
    if (nOffset < 0)
        nOffset = 0;
    const int nMoved = m_nScrollOffset - nOffset;
    if (nMoved == 0)
        return;
    m_nScrollOffset = nOffset;
    if ((m_Look.nFlags & TSF_SCROLLBACKGROUND) && !(m_Look.nFlags & TSF_FADEEDGES) && m_Strip.GetSafeHandle() != NULL &&
        (nMoved < 0 ? -nMoved : nMoved) < m_nClientWidth) {
        {
            CSelectedBitmapDC strip(NULL, static_cast<HBITMAP>(m_Strip.GetSafeHandle()));
            const RECT rc = {0, 0, m_nClientWidth, m_nStripHeight};
            ::ScrollDC(strip.m_hDC, nMoved, 0, &rc, &rc, NULL, NULL);
        }
        if (nMoved > 0)
            DrawTabs(0, nMoved, NULL);
        else
            DrawTabs(m_nClientWidth + nMoved, m_nClientWidth, NULL);
    } else {
        DrawTabs(0, m_nClientWidth, NULL);
    }
    const RECT rc = {0, 0, m_nClientWidth, m_nStripHeight};
    if (m_hWnd != NULL)
        ::InvalidateRect(m_hWnd, &rc, FALSE);
    UpdateScrollButtons();
}

void CTabSelector::StopSmoothScroll()
{
    if (m_Animations.GetSize() != 0)
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, 0);
}

void CTabSelector::SmoothScroll(int nAmount, int nSpeed)
{
    if (nAmount == 0 || !LastPixelCovered())
        return;
    if (IsSmoothScrolling()) {
        StopSmoothScroll();
        const int nDir = nAmount > 0 ? 1 : -1;
        if (nDir == m_nSmoothDir)
            ScrollBy((m_nSmoothTotal - m_nSmoothDone) * m_nSmoothDir);
    }
    const int nTotal = nAmount > 0 ? nAmount : -nAmount;
    m_nSmoothTotal = nTotal;
    m_nSmoothDir = nAmount > 0 ? 1 : -1;
    m_nSmoothDone = 0;
    const int nFactor = m_nStripHeight * 18 / 21;
    if (nSpeed <= 0 || nFactor <= 0 || StartAnimation(nTotal, nTotal * 1000 / (nSpeed * nFactor)) == 0)
        ScrollBy(nAmount);
}

void CTabSelector::OnVTimer(int nId, int nAmount)
{
    if (nAmount >= m_nSmoothTotal) {
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, nId);
        nAmount = m_nSmoothTotal;
    }
    const int nStep = nAmount - m_nSmoothDone;
    m_nSmoothDone = nAmount;
    if (nStep != 0)
        ScrollBy(nStep * m_nSmoothDir);
    POINT pt;
    if (MouseOverClient(&pt))
        OnMouseMove(0, pt.x, pt.y);
}

void CTabSelector::ScrollToShow(int nIndex, int nSpeed, BOOL bSmooth)
{
    const COneTab& tab = m_Tabs[nIndex];
    const int xLeft = tab.x - m_nScrollOffset;
    const int xRight = xLeft + tab.nWidth;
    const int nMargin = m_Look.nScrollZone;
    int dx = 0;
    if (xLeft < 0)
        dx = nMargin - xLeft;
    else if (xRight > m_nClientWidth)
        dx = (m_nClientWidth - nMargin) - xRight;
    if (dx == 0)
        return;
    if (bSmooth && (m_Look.nFlags & TSF_SMOOTHSCROLL)) {
        if (nSpeed < 0) {
            const int nFactor = m_nStripHeight * 18 / 21;
            nSpeed = nFactor > 0 ? (dx < 0 ? -dx : dx) * 1000 / (nFactor * 200) : 0;
        }
        SmoothScroll(dx, nSpeed);
    } else {
        ScrollBy(dx);
    }
}

int CTabSelector::ScrollTabIntoView(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_Tabs.GetSize() || m_hWnd == NULL)
        return 0;
    const COneTab& tab = m_Tabs[nIndex];
    const int xLeft = tab.x - m_nScrollOffset;
    const int xRight = xLeft + tab.nWidth;
    const BOOL bPartLeft = xLeft < 0 && xRight > 0;
    const BOOL bPartRight = xLeft >= 0 && xLeft < m_nClientWidth && xRight > m_nClientWidth;
    if (!bPartLeft && !bPartRight)
        return 0;
    const int nBefore = m_nScrollOffset;
    ScrollToShow(nIndex, 30, TRUE);
    return m_nScrollOffset != nBefore || IsSmoothScrolling();
}

int CTabSelector::ScrollSelectedIntoView()
{
    const int i = GetSelectedIndex();
    if (i < 0 || m_hWnd == NULL)
        return 0;
    const int xLeft = m_Tabs[i].x - m_nScrollOffset;
    const int xRight = xLeft + m_Tabs[i].nWidth;
    if (xRight > 0 && xLeft < m_nClientWidth)
        return 0;
    const int nBefore = m_nScrollOffset;
    ScrollToShow(i, -1, TRUE);
    return m_nScrollOffset != nBefore || IsSmoothScrolling();
}

void CTabSelector::UpdateScrollButtons()
{
    if (m_ScrollButtons.m_hWnd == NULL)
        return;
    BOOL bFirst = FALSE, bSecond = FALSE;
    const int nCount = m_Tabs.GetSize();
    if (nCount >= 2) {
        bFirst = !(m_nScrollOffset == 0 && m_Tabs[0].nState == TABST_SELECTED);
        bSecond = !(m_nScrollOffset >= m_nRowWidth - m_nClientWidth && m_Tabs[nCount - 1].nState == TABST_SELECTED);
    }
    const int nBits = m_ScrollButtons.GetArrowBits();
    if (bFirst && bSecond)
        m_ScrollButtons.EnableScrollBar(ESB_ENABLE_BOTH);
    if (bFirst != ((nBits & SBA_FIRST) != 0) || bSecond != ((nBits & SBA_SECOND) != 0)) {
        if (!bFirst && !bSecond)
            m_ScrollButtons.EnableScrollBar(ESB_DISABLE_BOTH);
        else {
            m_ScrollButtons.EnableScrollBar(ESB_ENABLE_BOTH);
            if (!bFirst)
                m_ScrollButtons.EnableScrollBar(ESB_DISABLE_LTUP);
            if (!bSecond)
                m_ScrollButtons.EnableScrollBar(ESB_DISABLE_RTDN);
        }
    }
}

void CTabSelector::StepSelection(int nDirection)
{
    if (IsSmoothScrolling() || m_Tabs.GetSize() == 0)
        return;
    const int nSel = GetSelectedIndex();
    if (nSel >= 0) {
        const int xLeft = m_Tabs[nSel].x - m_nScrollOffset;
        const int xRight = xLeft + m_Tabs[nSel].nWidth;
        if (xRight <= 0 || xLeft >= m_nClientWidth) {
            ScrollSelectedIntoView();
            return;
        }
    }
    const int nNext = nSel + (nDirection > 0 ? 1 : -1);
    if (nSel >= 0 && nNext >= 0 && nNext < m_Tabs.GetSize()) {
        POINT pt;
        const BOOL bOver = MouseOverClient(&pt);
        SelectTabByIndex(nNext, bOver ? &pt : NULL);
    }
    const int nNow = GetSelectedIndex();
    if (nNow < 0)
        return;
    const int xLeft = m_Tabs[nNow].x - m_nScrollOffset;
    const int xRight = xLeft + m_Tabs[nNow].nWidth;
    const BOOL bVisible = nDirection > 0 ? xRight <= m_nClientWidth : xLeft >= 0;
    if (bVisible) {
        RedrawStrip();
        return;
    }
    const int nMargin = m_Look.nScrollZone;
    const int dx = nDirection > 0 ? (m_nClientWidth - nMargin) - xRight : nMargin - xLeft;
    if (m_Look.nFlags & TSF_SMOOTHSCROLL)
        SmoothScroll(dx, 30);
    else
        ScrollBy(dx);
}

int CTabSelector::SelectTabAtPoint(int x, int y)
{
    if (IsSmoothScrolling() || y >= m_nStripHeight)
        return 0;
    const int i = TabFromPoint(x, NULL);
    if (i < 0)
        return 0;
    const POINT pt = {x, y};
    SelectTabByIndex(i, &pt);
    if (ScrollTabIntoView(i))
        return 1;
    RedrawStrip();
    return 0;
}

// --- window life -------------------------------------------------------------------------------

void CTabSelector::OnCreated()
{
    m_bNotCreated = 0;
    m_nScrollOffset = 0;
    m_nSmoothDone = m_nSmoothDir = m_nSmoothTotal = 0;
    m_hSizeAllCursor = ::LoadCursorA(NULL, IDC_SIZEALL);
    m_hArrowCursor = ::LoadCursorA(NULL, IDC_ARROW);
    m_nStripHeight = m_nClientHeight - m_Look.nButtonHeight;
    m_nFadeZone = m_Look.nFadeZonePercent * m_nClientWidth / 100;
    if (m_Look.nButtonHeight != 0) {
        int placement[3] = {0, m_nStripHeight, m_nClientWidth};
        const int* pPlacement = NULL;
        if (m_Look.nStripWidth > 0) {
            placement[0] = m_Look.nStripWidth;
            placement[2] = m_nClientWidth - m_Look.nStripWidth;
            pPlacement = placement;
        }
        m_ScrollButtons.Create(TRUE, &m_Look.scrollButtons, m_nClientHeight - m_nStripHeight, this, -1, pPlacement);
        m_ScrollButtons.m_MenuStyle = m_Look.menuStyle;
    }
    UpdateScrollButtons();
    MeasureTabs();
    UpdateScrollButtons();
    DrawTabs(0, m_nClientWidth, NULL);
    m_DropTarget.Register(this);
}

void CTabSelector::OnDestroying()
{
    m_DropTarget.Revoke();
    StopSmoothScroll();
    m_Strip.DeleteObject();
    if (m_ScrollButtons.m_hWnd != NULL)
        m_ScrollButtons.DestroyWindow();
    m_bNotCreated = 1;
}

// --- mouse ---------------------------------------------------------------------------------

void CTabSelector::OnMouseEnter()
{
    if (IsSmoothScrolling())
        return;
    m_bPendingSelect = m_bPendingRight = 0;
    ::SetFocus(m_hWnd);
}

void CTabSelector::OnMouseLeave()
{
    if (IsSmoothScrolling())
        return;
    m_hCursor = m_hArrowCursor;
    ::SetCursor(m_hArrowCursor);
    ClearHot();
    m_bPendingSelect = m_bPendingRight = 0;
}

void CTabSelector::OnLButtonDown(UINT nFlags, int x, int y)
{
    if (IsSmoothScrolling() || (nFlags & (MK_RBUTTON | MK_MBUTTON)))
        return;
    m_ptPress.x = x;
    m_ptPress.y = y;
    const int i = y < m_nStripHeight ? TabFromPoint(x, NULL) : -1;
    if (i >= 0 && m_Tabs[i].nState != TABST_SELECTED)
        m_bPendingSelect = 1;
}

void CTabSelector::OnLButtonUp(UINT nFlags, int x, int y)
{
    m_hCursor = m_hArrowCursor;
    if (IsSmoothScrolling() || !m_bPendingSelect || (nFlags & (MK_RBUTTON | MK_MBUTTON))) {
        m_bPendingSelect = 0;
        return;
    }
    m_bPendingSelect = 0;
    const int i = y < m_nStripHeight ? TabFromPoint(x, NULL) : -1;
    if (i < 0)
        return;
    const POINT pt = {x, y};
    SelectTabByIndex(i, &pt);
    if (!ScrollTabIntoView(i))
        RedrawStrip();
}

void CTabSelector::OnRButtonDown(UINT nFlags, int x, int y)
{
    if (IsSmoothScrolling() || (nFlags & (MK_LBUTTON | MK_MBUTTON)))
        return;
    m_ptRightPress.x = x;
    m_ptRightPress.y = y;
    m_bPendingRight = 1;
}

void CTabSelector::OnRButtonUp(UINT nFlags, int x, int y)
{
    if (IsSmoothScrolling() || !m_bPendingRight || (nFlags & (MK_LBUTTON | MK_MBUTTON)))
        return;
    m_bPendingRight = 0;
    const int i = y < m_nStripHeight ? TabFromPoint(x, NULL) : -1;
    if (i < 0)
        return;
    const int nId = m_Tabs[i].nId;
    const CString strName = m_Tabs[i].strName;
    ScrollTabIntoView(i);
    POINT pt = {x, y};
    OnTabContextMenu(pt, nId, strName);
}

void CTabSelector::OnMouseMove(UINT nFlags, int x, int y)
{
    if (IsSmoothScrolling())
        return;
    const POINT pt = {x, y};
    if ((nFlags & MK_LBUTTON) && (nFlags & MK_SHIFT) && y < m_nStripHeight && m_Tabs.GetSize() != 0) {
        const int dy = y - m_ptPress.y;
        if (!(m_bPendingSelect && (dy < 0 ? -dy : dy) < 4)) {
            BeginTabDrag(x, y);
            return;
        }
    }
    if ((nFlags & MK_LBUTTON) && !(nFlags & (MK_RBUTTON | MK_MBUTTON)) && !m_bPendingSelect) {
        // The row follows the hand.
        m_hCursor = m_hSizeAllCursor;
        ::SetCursor(m_hSizeAllCursor);
        ScrollBy(x - m_ptPress.x);
        m_ptPress = pt;
        return;
    }
    if (m_bPendingSelect) {
        HotTrack(pt);
        const int dx = x - m_ptPress.x;
        if ((dx < 0 ? -dx : dx) > 3 && !(nFlags & MK_RBUTTON)) {
            m_bPendingSelect = 0;
            m_ptPress = pt;
        }
        return;
    }
    if (m_bPendingRight && !(nFlags & MK_LBUTTON)) {
        const int dx = x - m_ptRightPress.x;
        const int dy = y - m_ptRightPress.y;
        if ((dx < 0 ? -dx : dx) > 3 || (dy < 0 ? -dy : dy) >= 4)
            m_bPendingRight = 0;
    } else if ((nFlags & MK_RBUTTON) && !(nFlags & MK_LBUTTON) && !m_bPendingRight) {
        BeginTabDrag(x, y);
        return;
    }
    HotTrack(pt);
}

// A strip that is a tab stop (a property sheet's) is worked as the system's
// tab control: Left/Up and Right/Down select the neighbouring tab, Home and
// End the first and the last, without wrapping.
BOOL CTabSelector::OnKey(UINT nKey)
{
    const int nCount = m_Tabs.GetSize();
    const int nSel = GetSelectedIndex();
    if (nCount == 0)
        return FALSE;
    int nNew;
    switch (nKey) {
    case VK_LEFT:
    case VK_UP:
        nNew = nSel > 0 ? nSel - 1 : 0;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        nNew = nSel < nCount - 1 ? nSel + 1 : nCount - 1;
        break;
    case VK_HOME:
        nNew = 0;
        break;
    case VK_END:
        nNew = nCount - 1;
        break;
    default:
        return FALSE;
    }
    if (nNew != nSel && nNew >= 0)
        SelectTab(m_Tabs[nNew].nId);
    return TRUE;
}

LRESULT CTabSelector::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return (GetStyle() & WS_TABSTOP) ? DLGC_WANTARROWS : Default();
    case WM_KEYDOWN:
        if ((GetStyle() & WS_TABSTOP) && OnKey(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT lResult = CControlBase::WindowProc(message, wParam, lParam);
        RedrawStrip();
        return lResult;
    }
    case WM_HSCROLL:
        if (LOWORD(wParam) == SB_LINEDOWN)
            StepSelection(1);
        else if (LOWORD(wParam) == SB_LINEUP)
            StepSelection(-1);
        return 0;
    case WM_MOUSEWHEEL:
        if (LOWORD(wParam) == 0)
            StepSelection(static_cast<short>(HIWORD(wParam)) >= 0 ? 1 : -1);
        return 1;
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}
