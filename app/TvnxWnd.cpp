#include "app/TvnxWnd.h"

#include "framework/Dc.h"
#include "skins/Skin.h"
#include "skins/SkinScan.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/drawing/SkinBackground.h"
#include "ui3d/drawing/Tiling.h"
#include "ui3d/system/SysUtils.h"

#include <windowsx.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

// The framework's idle message to every window of a modal loop.
#define WM_KICKIDLE 0x036A

namespace {

const IMAGELAYER* BodyLayer(int nPart)
{
    if (g_pSkin == NULL)
        return NULL;
    return nPart == 0 ? &g_pSkin->m_layerBodyTop
                      : (nPart == 1 ? &g_pSkin->m_layerBodyMiddle : &g_pSkin->m_layerBodyBottom);
}

bool LayerLoaded(const IMAGELAYER* pLayer)
{
    return pLayer != NULL && pLayer->pImage != NULL && CImageReader::IsLoaded(*pLayer->pImage);
}

// A body picture's size; a missing one counts as a strip of one pixel.
SIZE BodyPartSize(int nPart, int nWidth)
{
    const IMAGELAYER* pLayer = BodyLayer(nPart);
    if (LayerLoaded(pLayer)) {
        const CSize size = pLayer->pImage->GetReader()->GetSize();
        SIZE s = {size.cx, size.cy};
        return s;
    }
    SIZE s = {nWidth, 1};
    return s;
}

HRGN OutlineRegion(int nPart)
{
    const IMAGELAYER* pLayer = BodyLayer(nPart);
    const POINTARRAY* pOutline = nPart == 0 ? &g_pSkin->m_outlineTop : &g_pSkin->m_outlineBottom;
    if (!LayerLoaded(pLayer) || pOutline->nCount < 1)
        return NULL;
    const INT nCount = pOutline->nCount;
    return ::CreatePolyPolygonRgn(pOutline->pPoints, &nCount, 1, ALTERNATE);
}

void OrRect(HRGN hRgn, int l, int t, int r, int b)
{
    HRGN hRect = ::CreateRectRgn(l, t, r, b);
    ::CombineRgn(hRgn, hRgn, hRect, RGN_OR);
    ::DeleteObject(hRect);
}

// Clip out every child; a transparent child shows what is under it, so its
// own children are clipped in its place.
void ExcludeChildren(HDC hDC, HWND hParent, HWND hTop)
{
    for (HWND h = ::GetWindow(hParent, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(h))
            continue;
        if (::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT) {
            ExcludeChildren(hDC, h, hTop);
            continue;
        }
        RECT rc;
        ::GetWindowRect(h, &rc);
        ::MapWindowPoints(NULL, hTop, reinterpret_cast<POINT*>(&rc), 2);
        ::ExcludeClipRect(hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
}

// Is hWnd, or one of its ancestors, the window under pt?
bool ShowsAt(HWND hWnd, POINT pt)
{
    for (HWND h = ::WindowFromPoint(pt); h != NULL; h = ::GetParent(h))
        if (h == hWnd)
            return true;
    return false;
}

}  // namespace

void KeepOnScreen(POINT& pt, int nWidth, int nHeight)
{
    const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN), cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    if (pt.x < 0)
        pt.x = 0;
    if (pt.y < 0)
        pt.y = 0;
    if (pt.x + nWidth > cxScreen)
        pt.x = cxScreen - nWidth;
    if (pt.y + nHeight > cyScreen)
        pt.y = cyScreen - nHeight;
}

CTvnxWnd::CTvnxWnd()
    : m_hRgn(NULL), m_nWidth(0), m_nHeight(0), m_bMoveDrag(0), m_bResizeDrag(0), m_nPressX(0), m_nPressY(0),
      m_nToRight(0), m_nToBottom(0), m_bVerticalOnly(0), m_bDockToWindows(1), m_bDestroyed(0)
{
}

CTvnxWnd::~CTvnxWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
    m_bmpBack.DeleteObject();
    m_OtherWindows.RemoveAll();
}

BOOL CTvnxWnd::Create(SIZE size, POINT pt, CWnd* pParent, DWORD dwStyle, DWORD dwExStyle)
{
    m_bMoveDrag = m_bResizeDrag = 0;
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    if (pt.x == -1 && pt.y == -1) {
        RECT rcWork;
        if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0)) {
            pt.x = (rcWork.right - m_nWidth - rcWork.left) / 2;
            pt.y = (rcWork.bottom - m_nHeight - rcWork.top) / 2;
        } else {
            pt.x = pt.y = 0;
        }
    }
    KeepOnScreen(pt, m_nWidth, m_nHeight);

    HINSTANCE hInstance = ::GetModuleHandleA(NULL);
    WNDCLASSA wc;
    if (!::GetClassInfoA(hInstance, TVNX_MAINWND_CLASS, &wc)) {
        memset(&wc, 0, sizeof(wc));
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = hInstance;
        wc.hIcon = ::LoadIconA(hInstance, "IDI_ICONDEFAULT");
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = TVNX_MAINWND_CLASS;
        if (!::RegisterClassA(&wc))
            return FALSE;
    }
    if (!CreateEx(dwExStyle, TVNX_MAINWND_CLASS, "Tarvenex", dwStyle, pt.x, pt.y, m_nWidth, m_nHeight,
                  CWnd::SafeHwnd(pParent), NULL))
        return FALSE;
    UpdateRegion();
    OnCreated();
    return TRUE;
}

void CTvnxWnd::DrawBody(CDC* pDC, int nWidth, int nHeight)
{
    const COLORREF clr = g_pSkin != NULL ? g_pSkin->m_clrsBody.Get(g_nSkinColorScheme) : RGB(127, 127, 127);
    SIZE sizes[3];
    HBITMAP hParts[3];
    for (int i = 0; i < 3; i++) {
        sizes[i] = BodyPartSize(i, nWidth);
        const IMAGELAYER* pLayer = BodyLayer(i);
        const IMAGELAYER none;
        const POINT ptOrigin = {0, 0};
        hParts[i] = CreateSkinBackground(sizes[i], clr, GRADIENTSTYLE(), pLayer != NULL ? *pLayer : none, ptOrigin);
    }
    const int th = sizes[0].cy, mh = sizes[1].cy, bh = sizes[2].cy;
    const int W = nWidth, H = nHeight;
    HDC hDC = pDC->m_hDC;
    auto copy = [&](int nPart, int x, int y, int cx, int cy) {
        if (hParts[nPart] == NULL || cx <= 0 || cy <= 0)
            return;
        CSelectedBitmapDC part(hDC, hParts[nPart]);
        ::BitBlt(hDC, x, y, cx, cy, part.m_hDC, 0, 0, SRCCOPY);
    };
    const int t = th < H ? th : H;
    copy(0, 0, 0, sizes[0].cx < W ? sizes[0].cx : W, t);
    if (th + bh < H) {
        const int m = H - th - bh;
        int cy = mh < H ? mh : H;
        cy = cy < m ? cy : m;
        const int cx = sizes[1].cx < W ? sizes[1].cx : W;
        copy(1, 0, t, cx, cy);
        if (th + mh + bh < H && cx > 0 && cy > 0) {
            const RECT rcTile = {0, t, cx, t + cy};
            const SIZE area = {W, m};
            TileBitmap(rcTile, hDC, area);
        }
    }
    if (th < H) {
        const int c = bh < H ? bh : H;
        copy(2, 0, H - c, sizes[2].cx < W ? sizes[2].cx : W, c);
    }
    for (HBITMAP h : hParts)
        if (h != NULL)
            ::DeleteObject(h);
}

void CTvnxWnd::RemoveRegion()
{
    if (m_hRgn == NULL)
        return;
    // The system deletes the region it owned when the window's region is taken away.
    ::SetWindowRgn(m_hWnd, NULL, FALSE);
    ::GdiFlush();
    m_hRgn = NULL;
}

void CTvnxWnd::UpdateRegion()
{
    if (m_hWnd == NULL)
        return;
    m_bmpBack.DeleteObject();
    HDC hWndDC = ::GetDC(m_hWnd);
    if (hWndDC != NULL) {
        if (m_bmpBack.Attach(::CreateCompatibleBitmap(hWndDC, m_nWidth, m_nHeight))) {
            CSelectedBitmapDC mem(hWndDC, static_cast<HBITMAP>(m_bmpBack.GetSafeHandle()));
            CDC dc;
            dc.Attach(mem.m_hDC);
            DrawBody(&dc, m_nWidth, m_nHeight);
            dc.Detach();
        }
        ::ReleaseDC(m_hWnd, hWndDC);
    }

    RemoveRegion();
    if (g_pSkin == NULL)
        return;
    const int th = BodyPartSize(0, m_nWidth).cy, bh = BodyPartSize(2, m_nWidth).cy;
    HRGN hTop = OutlineRegion(0), hBottom = OutlineRegion(2);
    HRGN hRgn = NULL;
    if (hTop != NULL && hBottom != NULL) {
        if (th + bh < m_nHeight)
            OrRect(hTop, 0, th, m_nWidth, m_nHeight - bh);
        ::OffsetRgn(hBottom, 0, m_nHeight - bh);
        ::CombineRgn(hTop, hTop, hBottom, RGN_OR);
        ::DeleteObject(hBottom);
        hRgn = hTop;
    } else if (hTop != NULL) {
        OrRect(hTop, 0, th, m_nWidth, m_nHeight);
        hRgn = hTop;
    } else if (hBottom != NULL) {
        ::OffsetRgn(hBottom, 0, m_nHeight - bh);
        OrRect(hBottom, 0, 0, m_nWidth, m_nHeight - bh);
        hRgn = hBottom;
    }
    if (hRgn != NULL && ::SetWindowRgn(m_hWnd, hRgn, TRUE))
        m_hRgn = hRgn;
    else if (hRgn != NULL)
        ::DeleteObject(hRgn);
}

LRESULT CTvnxWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_msgPrintBackground.Is(message))
        return OnPrintBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<const RECT*>(lParam));
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        return 0;
    case WM_KICKIDLE:
        return 0;
    case WM_SIZE:
        Default();
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(HIWORD(lParam)))
            return 1;
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        Default();
        OnButtonUp();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CTvnxWnd::OnPaint()
{
    RECT rcUpdate;
    if (!::GetUpdateRect(m_hWnd, &rcUpdate, FALSE))
        return;
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC != NULL && m_bmpBack.m_hObject != NULL) {
        CSelectedBitmapDC back(hDC, static_cast<HBITMAP>(m_bmpBack.GetSafeHandle()));
        const RECT& rc = ps.rcPaint;
        ::BitBlt(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, back.m_hDC, rc.left, rc.top, SRCCOPY);
    }
    const RECT rcPaint = ps.rcPaint;
    ::EndPaint(m_hWnd, &ps);
    InvalidateChildrenInRect(m_hWnd, &rcPaint);
}

BOOL CTvnxWnd::OnEraseBkgnd(HDC hDC)
{
    const int nSaved = ::SaveDC(hDC);
    ExcludeChildren(hDC, m_hWnd, m_hWnd);
    if (m_bmpBack.m_hObject != NULL) {
        CSelectedBitmapDC back(hDC, static_cast<HBITMAP>(m_bmpBack.GetSafeHandle()));
        ::BitBlt(hDC, 0, 0, m_nWidth, m_nHeight, back.m_hDC, 0, 0, SRCCOPY);
    }
    ::RestoreDC(hDC, nSaved);
    InvalidateChildrenInRect(m_hWnd, NULL);
    return TRUE;
}

LRESULT CTvnxWnd::OnPrintBackground(HDC hDC, const RECT* prc)
{
    if (hDC == NULL || prc == NULL || m_bmpBack.m_hObject == NULL)
        return 0;
    CSelectedBitmapDC back(hDC, static_cast<HBITMAP>(m_bmpBack.GetSafeHandle()));
    ::BitBlt(hDC, 0, 0, prc->right - prc->left, prc->bottom - prc->top, back.m_hDC, prc->left, prc->top, SRCCOPY);
    return 1;
}

void CTvnxWnd::OnDisplayChange()
{
    RECT rc;
    GetWindowRect(&rc);
    POINT pt = {rc.left, rc.top};
    KeepOnScreen(pt, rc.right - rc.left, rc.bottom - rc.top);
    if (pt.x != rc.left || pt.y != rc.top)
        MoveWindow(pt.x, pt.y, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    UpdateRegion();
    Invalidate();
}

void CTvnxWnd::OnSize(UINT nType, int cx, int cy)
{
    if (nType == SIZE_MINIMIZED || nType == SIZE_MAXIMIZED) {
        ShowWindow(SW_RESTORE);
        return;
    }
    if (nType != SIZE_RESTORED || (cx == m_nWidth && cy == m_nHeight))
        return;
    m_nWidth = cx;
    m_nHeight = cy;
    UpdateRegion();
    Invalidate(FALSE);
    // Only the body needs painting: the children paint themselves.
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        RECT rc;
        ::GetWindowRect(h, &rc);
        ScreenToClient(&rc);
        ValidateRect(&rc);
    }
}

BOOL CTvnxWnd::OnSetCursor(UINT nMouseMessage)
{
    if (nMouseMessage == 0 || g_pSkin == NULL)
        return FALSE;
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    if (pt.y <= m_nHeight - g_pSkin->m_sizeResizeZone.cy)
        return FALSE;
    const BOOL bCorner = pt.x > m_nWidth - g_pSkin->m_sizeResizeZone.cx;
    m_bVerticalOnly = !bCorner;
    ::SetCursor(::LoadCursor(NULL, bCorner ? IDC_SIZENWSE : IDC_SIZENS));
    return TRUE;
}

void CTvnxWnd::OnDestroy()
{
    RemoveRegion();
    m_bDestroyed = 1;
    CWnd::OnDestroy();
}

void CTvnxWnd::OnButtonUp()
{
    m_bMoveDrag = m_bResizeDrag = 0;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CTvnxWnd::OnLButtonDown(UINT, int x, int y)
{
    Default();
    m_bMoveDrag = 1;
    m_nPressX = x;
    m_nPressY = y;
    SetCapture();
    const SIZE zone = g_pSkin != NULL ? g_pSkin->m_sizeResizeZone : SIZE{0, 0};
    m_bResizeDrag = y > m_nHeight - zone.cy;
    if (m_bResizeDrag) {
        m_nToRight = m_nWidth - x;
        m_nToBottom = m_nHeight - y;
        m_bVerticalOnly = x <= m_nWidth - zone.cx;
        return;
    }
    m_OtherWindows.RemoveAll();
    if (m_bDockToWindows == 1)
        ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK CTvnxWnd::CollectWindow(HWND hWnd, LPARAM lParam)
{
    CTvnxWnd* self = reinterpret_cast<CTvnxWnd*>(lParam);
    if (::GetParent(hWnd) != NULL || !::IsWindowVisible(hWnd) || ::IsIconic(hWnd) || ::IsZoomed(hWnd))
        return TRUE;
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess == ::GetCurrentProcessId())
        return TRUE;
    char szClass[1025] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    for (char* p = szClass; *p; p++)
        *p = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
    if (strcmp(szClass, "progman") == 0 || strcmp(szClass, "indicator") == 0)
        return TRUE;
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    if (rc.right - rc.left <= 4 || rc.bottom - rc.top <= 4)
        return TRUE;
    const POINT ptTopLeft = {rc.left, rc.top}, ptBottomRight = {rc.right - 1, rc.bottom - 1};
    if (!ShowsAt(hWnd, ptTopLeft) && !ShowsAt(hWnd, ptBottomRight))
        return TRUE;
    self->m_OtherWindows.Add(rc);
    return TRUE;
}

void CTvnxWnd::OnMouseMove(UINT nFlags, int x, int y)
{
    Default();
    if (!(nFlags & MK_LBUTTON)) {
        OnButtonUp();
        return;
    }
    if (nFlags & (MK_RBUTTON | MK_MBUTTON))
        return;
    if (::GetCapture() != m_hWnd || !m_bMoveDrag)
        return;
    RECT rcWnd;
    GetWindowRect(&rcWnd);
    if (!m_bResizeDrag) {
        RECT rc = rcWnd;
        ::OffsetRect(&rc, x - m_nPressX, y - m_nPressY);
        RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
        BOOL bXSnapped = FALSE, bYSnapped = FALSE;
        if (abs(rc.left) < SNAP_DISTANCE) {
            ::OffsetRect(&rc, -rc.left, 0);
            bXSnapped = TRUE;
        }
        if (abs(rc.top) < SNAP_DISTANCE) {
            ::OffsetRect(&rc, 0, -rc.top);
            bYSnapped = TRUE;
        }
        const int nWorkWidth = rcWork.right - rcWork.left, nWorkHeight = rcWork.bottom - rcWork.top;
        if (abs(rc.right - nWorkWidth) < SNAP_DISTANCE) {
            ::OffsetRect(&rc, nWorkWidth - rc.right, 0);
            bXSnapped = TRUE;
        }
        if (abs(rc.bottom - nWorkHeight) < SNAP_DISTANCE) {
            ::OffsetRect(&rc, 0, nWorkHeight - rc.bottom);
            bYSnapped = TRUE;
        }
        if (m_bDockToWindows == 1)
            for (int i = m_OtherWindows.GetSize() - 1; i >= 0; i--)
                SnapRectToRect(m_OtherWindows[i], rc, bXSnapped, bYSnapped);
        SetWindowPos(static_cast<HWND>(NULL), rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
        return;
    }
    const int nMin = g_pSkin != NULL ? g_pSkin->m_nBodyMinHeight : 0;
    const int nMax = g_pSkin != NULL ? g_pSkin->m_nBodyMaxHeight : 0x7FFF;
    int nHeight = m_nToBottom + m_nPressY + (y - m_nPressY) / HEIGHT_STEP * HEIGHT_STEP;
    nHeight = nHeight < nMin ? nMin : (nHeight > nMax ? nMax : nHeight);
    RECT rc = {rcWnd.left, rcWnd.top, rcWnd.right, rcWnd.top + nHeight};
    if (!::EqualRect(&rc, &rcWnd))
        MoveWindow(&rc, TRUE);
    ::SetCursor(::LoadCursor(NULL, m_bVerticalOnly ? IDC_SIZENS : IDC_SIZENWSE));
}
