#include "app/TrayAnimationThread.h"

#include "services/Busy.h"
#include "app/TrayAnimationWnd.h"
#include "framework/Gdi.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/system/SysUtils.h"

#include <shellapi.h>

BOOL CanAnimateSnapshot()
{
    OSVERSIONINFOA vi;
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (::GetVersionExA(&vi) && vi.dwMajorVersion <= 4 && vi.dwMinorVersion == 0)
        return FALSE;
    HDC hDC = ::GetDC(NULL);
    if (hDC == NULL)
        return FALSE;
    const int nBits = ::GetDeviceCaps(hDC, BITSPIXEL) * ::GetDeviceCaps(hDC, PLANES);
    ::ReleaseDC(NULL, hDC);
    return nBits > 15;
}

RECT ChooseTrayIconRect(const RECT* prcNotify, const BYTE* pMask, const RECT* prcTaskbar, const BYTE* pPattern,
                        int cx, int cy, int cxScreen, int cyScreen)
{
    RECT rc;
    if (prcNotify != NULL) {
        rc = *prcNotify;
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        POINT pt;
        if (pMask != NULL && FindSubBitmap(w, h, cx, cy, pMask, pPattern, &pt)) {
            const int nSide = cx > cy ? cx : cy;
            rc.left += pt.x;
            rc.top += pt.y;
            rc.right = rc.left + nSide;
            rc.bottom = rc.top + nSide;
        } else if (w > h) {
            rc.left += (w - h) / 2;
            rc.right -= (w - h) / 2;
        } else {
            rc.top += (h - w) / 2;
            rc.bottom -= (h - w) / 2;
        }
    } else if (prcTaskbar != NULL) {
        rc = *prcTaskbar;
        if (rc.bottom - rc.top > rc.right - rc.left)
            rc.top = rc.bottom - (rc.right - rc.left);
        else
            rc.left = rc.right - (rc.bottom - rc.top);
    } else {
        SetRect(&rc, cxScreen - 16, cyScreen - 16, cxScreen, cyScreen);
    }
    if (rc.right - rc.left < 3)
        rc.right = rc.left + 3;
    if (rc.bottom - rc.top < 3)
        rc.bottom = rc.top + 3;
    return rc;
}

RECT GetTrayIconRect(const BYTE* pPattern, int cx, int cy)
{
    RECT rcNotify, rcTaskbar;
    BYTE* pMask = NULL;
    const BOOL bNotify = GetTrayNotifyRect(&rcNotify, NULL, &pMask);
    APPBARDATA abd;
    memset(&abd, 0, sizeof(abd));
    abd.cbSize = sizeof(abd);
    const BOOL bTaskbar = !bNotify && ::SHAppBarMessage(ABM_GETTASKBARPOS, &abd) != 0;
    rcTaskbar = abd.rc;
    const RECT rc = ChooseTrayIconRect(bNotify ? &rcNotify : NULL, pMask, bTaskbar ? &rcTaskbar : NULL, pPattern,
                                       cx, cy, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    delete[] pMask;
    return rc;
}

CTrayAnimationThread::CTrayAnimationThread()
    : m_rcStart(), m_pPattern(&g_TrayIconPattern.bits[0][0]), m_cxPattern(TRAYICONPATTERN::cx),
      m_cyPattern(TRAYICONPATTERN::cy), m_clrStart(0), m_clrEnd(0), m_hParent(NULL), m_pAnimWnd(NULL),
      m_hAnimWnd(NULL), m_hEvent(::CreateEventA(NULL, TRUE, FALSE, NULL))
{
    // The tray window waits on the thread's handle and deletes the object.
    m_bAutoDelete = FALSE;
}

CTrayAnimationThread::~CTrayAnimationThread()
{
    if (m_hEvent != NULL)
        ::CloseHandle(m_hEvent);
}

BOOL CTrayAnimationThread::Start(CWnd* pWnd, int cxPattern, int cyPattern, BOOL bSnapshot, COLORREF clrStart,
                                 COLORREF clrEnd, CWnd* pParent)
{
    if (m_hThread != NULL || m_hEvent == NULL || pWnd == NULL || pWnd->m_hWnd == NULL)
        return FALSE;
    pWnd->GetWindowRect(&m_rcStart);
    m_bmpSnapshot.DeleteObject();
    APPBARDATA abd;
    memset(&abd, 0, sizeof(abd));
    abd.cbSize = sizeof(abd);
    const BOOL bAutoHide = (::SHAppBarMessage(ABM_GETSTATE, &abd) & ABS_AUTOHIDE) != 0;
    const int cx = m_rcStart.right - m_rcStart.left, cy = m_rcStart.bottom - m_rcStart.top;
    if (bSnapshot && !bAutoHide && cx > 0 && cy > 0 && CanAnimateSnapshot()) {
        HDC hWndDC = ::GetDC(pWnd->m_hWnd);
        if (hWndDC != NULL) {
            if (m_bmpSnapshot.Attach(::CreateCompatibleBitmap(hWndDC, cx, cy))) {
                CSelectedBitmapDC mem(hWndDC, static_cast<HBITMAP>(m_bmpSnapshot.GetSafeHandle()));
                if (mem.m_hDC != NULL)
                    pWnd->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(mem.m_hDC),
                                      PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            }
            ::ReleaseDC(pWnd->m_hWnd, hWndDC);
        }
    }
    m_cxPattern = cxPattern;
    m_cyPattern = cyPattern;
    m_clrStart = clrStart;
    m_clrEnd = clrEnd;
    m_hParent = CWnd::SafeHwnd(pParent);
    ::ResetEvent(m_hEvent);
    if (CreateThread())
        return TRUE;
    ::SetEvent(m_hEvent);
    return FALSE;
}

BOOL CTrayAnimationThread::InitInstance()
{
    // The queue must exist before the event tells Stop it may post WM_QUIT.
    MSG msg;
    ::PeekMessageA(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    CTrayAnimationWnd* pWnd = new CTrayAnimationWnd;
    if (!::IsRectEmpty(&m_rcStart) &&
        pWnd->Create(m_rcStart, m_bmpSnapshot, m_clrStart, m_clrEnd, m_hParent)) {
        CSingleLock lock(&m_Lock, TRUE);
        m_pAnimWnd = pWnd;
        m_hAnimWnd = pWnd->m_hWnd;
        m_pMainWnd = pWnd;
        m_pActiveWnd = pWnd;
    } else {
        delete pWnd;
    }
    ::SetEvent(m_hEvent);
    return TRUE;
}

int CTrayAnimationThread::ExitInstance()
{
    ::GdiFlush();
    {
        CSingleLock lock(&m_Lock, TRUE);
        delete m_pAnimWnd;
        m_pAnimWnd = NULL;
        m_hAnimWnd = NULL;
    }
    return CWinThread::ExitInstance();
}

void CTrayAnimationThread::Stop()
{
    if (m_hThread == NULL)
        return;
    WaitForHandleWhilePumping(m_hEvent);
    {
        CSingleLock lock(&m_Lock, TRUE);
        if (m_pAnimWnd == NULL)
            PostThreadMessage(WM_QUIT, 0, 0);
        else
            ::PostMessageA(m_hAnimWnd, WM_CLOSE, 0, 0);
    }
    WaitForHandleWhilePumping(m_hThread);
}
