#include "app/TrayAnimationWnd.h"

#include "services/Messages.h"
#include "app/TrayAnimationThread.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/system/VTimer.h"

#include <cmath>

namespace {

POINT Centre(const RECT& rc)
{
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    return pt;
}

BYTE Mix(BYTE a, BYTE b, int nPercent)
{
    return static_cast<BYTE>(a + (int(b) - int(a)) * nPercent / 100);
}

}  // namespace

CTrayAnimationWnd::CTrayAnimationWnd()
    : m_nFlightTimer(0), m_hFrameRgn(NULL), m_hSnapshot(NULL), m_clrStart(0), m_clrEnd(0), m_rcStart(), m_rcTray(),
      m_nDistance(0), m_ptStart(), m_ptEnd(), m_clrFill(0), m_bFirstStep(FALSE)
{
}

CTrayAnimationWnd::~CTrayAnimationWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CTrayAnimationWnd::Create(const RECT& rcStart, HBITMAP hSnapshot, COLORREF clrStart, COLORREF clrEnd,
                               HWND hParent)
{
    if (rcStart.top >= rcStart.bottom)
        return FALSE;
    RECT rcTray = GetTrayIconRect(&g_TrayIconPattern.bits[0][0], TRAYICONPATTERN::cx, TRAYICONPATTERN::cy);
    return CreateFlight(rcStart, rcTray, hSnapshot, clrStart, clrEnd, hParent);
}

BOOL CTrayAnimationWnd::CreateFlight(const RECT& rcStart, const RECT& rcTray, HBITMAP hSnapshot,
                                     COLORREF clrStart, COLORREF clrEnd, HWND hParent)
{
    if (rcStart.top >= rcStart.bottom)
        return FALSE;
    m_hSnapshot = hSnapshot;
    m_clrStart = clrStart;
    m_clrEnd = clrEnd;
    m_clrFill = clrStart;
    m_rcStart = rcStart;
    m_rcTray = rcTray;
    m_ptStart = Centre(rcStart);
    m_ptEnd = Centre(rcTray);
    const double dx = m_ptEnd.x - m_ptStart.x, dy = m_ptEnd.y - m_ptStart.y;
    m_nDistance = static_cast<int>(std::sqrt(dx * dx + dy * dy));

    LPCSTR pszClass = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_OWNDC, ::LoadCursor(NULL, IDC_ARROW));
    return CreateEx(WS_EX_TOPMOST, pszClass, "", WS_POPUP, rcStart.left, rcStart.top,
                    rcStart.right - rcStart.left, rcStart.bottom - rcStart.top, hParent, NULL);
}

LRESULT CTrayAnimationWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    ResetVTimerBacklog();
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        Default();
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        PaintBody(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_VTIMER: {
        int nAmount = 0;
        if (TakeVTimerTick(m_hWnd, m_Timers, static_cast<int>(wParam), &nAmount))
            OnVTimer(static_cast<int>(wParam), nAmount);
        return 0;
    }
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CTrayAnimationWnd::OnCreate()
{
    const LRESULT lResult = Default();
    if (lResult == -1)
        return lResult;
    m_bFirstStep = TRUE;
    StartFlight();
    return lResult;
}

void CTrayAnimationWnd::StartFlight()
{
    if (g_pVTimer != NULL) {
        m_nFlightTimer = g_pVTimer->AddClient(m_hWnd, 1);
        if (m_nFlightTimer != 0) {
            LARGE_INTEGER freq, now;
            freq.QuadPart = now.QuadPart = 0;
            ::QueryPerformanceFrequency(&freq);
            ::QueryPerformanceCounter(&now);
            CVTimerRcrd r = {m_nFlightTimer, freq.QuadPart * FLIGHT_MILLIS / 1000, now.QuadPart, m_nDistance};
            m_Timers.Add(r);
        }
    }
    if (m_hSnapshot == NULL)
        return;
    // Stretching from a copy halfway between the two sizes keeps every step
    // of the flight cheap and no step far from its source resolution.
    const int cx = ((m_rcStart.right - m_rcStart.left) + (m_rcTray.right - m_rcTray.left)) / 2;
    const int cy = ((m_rcStart.bottom - m_rcStart.top) + (m_rcTray.bottom - m_rcTray.top)) / 2;
    BITMAP bm;
    BOOL bScaled = FALSE;
    HDC hScreen = ::GetDC(NULL);
    if (cx > 0 && cy > 0 && hScreen != NULL && ::GetObjectA(m_hSnapshot, sizeof(bm), &bm) == sizeof(bm) &&
        m_bmpScaled.Attach(::CreateCompatibleBitmap(hScreen, cx, cy))) {
        CSelectedBitmapDC src(hScreen, m_hSnapshot), dst(hScreen, static_cast<HBITMAP>(m_bmpScaled.GetSafeHandle()));
        if (src.m_hDC != NULL && dst.m_hDC != NULL) {
            ::SetStretchBltMode(dst.m_hDC, COLORONCOLOR);
            bScaled = ::StretchBlt(dst.m_hDC, 0, 0, cx, cy, src.m_hDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        }
    }
    if (hScreen != NULL)
        ::ReleaseDC(NULL, hScreen);
    if (!bScaled)
        DropSnapshot();
}

void CTrayAnimationWnd::StopFlight()
{
    if (m_nFlightTimer == 0)
        return;
    CSmiliePreview::KillVTimer(m_hWnd, m_Timers, m_nFlightTimer);
    m_nFlightTimer = 0;
}

void CTrayAnimationWnd::DropSnapshot()
{
    m_hSnapshot = NULL;
    m_bmpScaled.DeleteObject();
}

void CTrayAnimationWnd::OnVTimer(int nTimerId, int nAmount)
{
    if (m_hWnd == NULL || nTimerId == 0 || nTimerId != m_nFlightTimer)
        return;
    // A window that already sits on the tray icon has no way to go: the
    // steps below divide by the distance.
    if (m_nDistance <= 0 || nAmount > m_nDistance) {
        StopFlight();
        PostMessage(WM_CLOSE);
        return;
    }
    const int d = nAmount < 0 ? 0 : nAmount;
    if (m_bFirstStep) {
        m_bFirstStep = FALSE;
        // The first tick came so late that a picture would only flash by.
        if (d != 0 && m_nDistance / d < 5)
            DropSnapshot();
    }
    const int n = m_nDistance;
    const int x = m_ptStart.x + d * (m_ptEnd.x - m_ptStart.x) / n;
    const int y = m_ptStart.y + d * (m_ptEnd.y - m_ptStart.y) / n;
    const int w0 = m_rcStart.right - m_rcStart.left, h0 = m_rcStart.bottom - m_rcStart.top;
    const int w1 = m_rcTray.right - m_rcTray.left, h1 = m_rcTray.bottom - m_rcTray.top;
    const int hw = (w0 - d * (w0 - w1) / n) / 2;
    const int hh = (h0 - d * (h0 - h1) / n) / 2;
    const RECT rc = {x - hw, y - hh, x + hw, y + hh};
    if (rc.right - rc.left > 1 && rc.bottom - rc.top >= 1) {
        int p = d * 100 / n;
        p = p < 1 ? 1 : (p > 100 ? 100 : p);
        m_clrFill = RGB(Mix(GetRValue(m_clrStart), GetRValue(m_clrEnd), p),
                        Mix(GetGValue(m_clrStart), GetGValue(m_clrEnd), p),
                        Mix(GetBValue(m_clrStart), GetBValue(m_clrEnd), p));
        MoveWindow(&rc, TRUE);
        ::GdiFlush();
        if (!IsWindowVisible())
            ShowWindow(SW_SHOWNOACTIVATE);
    } else {
        StopFlight();
        PostMessage(WM_CLOSE);
    }
}

void CTrayAnimationWnd::OnSize(UINT nType, int cx, int cy)
{
    if (nType != SIZE_RESTORED)
        return;
    if (m_bmpScaled.m_hObject != NULL) {
        BOOL bShown = FALSE;
        if (HDC hDC = ::GetDC(m_hWnd)) {
            PaintBody(hDC);
            bShown = m_bmpScaled.m_hObject != NULL;
            ::ReleaseDC(m_hWnd, hDC);
        }
        if (bShown)
            return;
    }
    DropSnapshot();
    SetFrameRegion(cx, cy);
}

void CTrayAnimationWnd::SetFrameRegion(int cx, int cy)
{
    int b = (cx > cy ? cx : cy) / 16;
    b = b < 1 ? 1 : (b > 4 ? 4 : b);
    CRgn outer, inner, frame;
    outer.CreateRectRgn(0, 0, cx, cy);
    inner.CreateRectRgn(b, b, cx - 2 * b, cy - 2 * b);
    frame.CreateRectRgn(0, 0, 0, 0);
    if (frame.CombineRgn(&outer, &inner, RGN_DIFF) <= NULLREGION) {
        PostMessage(WM_CLOSE);
        return;
    }
    // From here on the system owns the region and frees it when it is replaced.
    m_hFrameRgn = static_cast<HRGN>(frame.Detach());
    ::SetWindowRgn(m_hWnd, m_hFrameRgn, TRUE);
}

void CTrayAnimationWnd::PaintBody(HDC hDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_bmpScaled.m_hObject != NULL) {
        BITMAP bm;
        BOOL bDrawn = FALSE;
        if (m_bmpScaled.GetObject(sizeof(bm), &bm) == sizeof(bm)) {
            CSelectedBitmapDC scaled(hDC, static_cast<HBITMAP>(m_bmpScaled.GetSafeHandle()));
            if (scaled.m_hDC != NULL) {
                ::SetStretchBltMode(hDC, COLORONCOLOR);
                bDrawn = ::StretchBlt(hDC, 0, 0, rc.right, rc.bottom, scaled.m_hDC, 0, 0, bm.bmWidth, bm.bmHeight,
                                      SRCCOPY);
            }
        }
        if (bDrawn)
            return;
        DropSnapshot();
    }
    HBRUSH hBrush = ::CreateSolidBrush(m_clrFill);
    ::FillRect(hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
}

void CTrayAnimationWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC != NULL)
        PaintBody(hDC);
    ::EndPaint(m_hWnd, &ps);
}

void CTrayAnimationWnd::OnDestroy()
{
    StopFlight();
    DropQueuedVTimers(m_hWnd);
    if (m_hFrameRgn != NULL) {
        ::SetWindowRgn(m_hWnd, NULL, FALSE);
        m_hFrameRgn = NULL;
    }
    m_bmpScaled.DeleteObject();
    Default();
}
