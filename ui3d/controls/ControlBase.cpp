#include "ui3d/controls/ControlBase.h"

#include "services/Messages.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/VTimer.h"

#include <windowsx.h>

IMPLEMENT_DYNAMIC(CControlBase, CWnd)

CRegisteredMessage g_msgMouseWheelRoll;
CRegisteredMessage g_msgPrintBackground;

void RegisterControlMessages()
{
    const DWORD nVersion = ::GetVersion();
    const BOOL bNT = (nVersion & 0x80000000) == 0;
    const WORD nLow = LOWORD(nVersion);
    if ((!bNT && nLow == 4) || (bNT && nLow == 3))
        g_msgMouseWheelRoll.Register(TVNX_MSG_MSWHEEL);
    g_msgPrintBackground.Register(TVNX_MSG_PRINTBKGND);
}

namespace {

// One flag for the whole program: a stop that makes another control stop
// (OnMouseLeave releasing a capture another control then loses) does nothing.
BOOL s_bStoppingTracking = FALSE;

}  // namespace

// --- CBackBufDC --------------------------------------------------------------

CBackBufDC::CBackBufDC(CControlBase* pControl) : m_hOldBitmap(NULL)
{
    // A memory DC of the screen takes the back buffer, which is compatible
    // with the window's DC: the window's own DC is not needed, and getting it
    // cost more than the blit of an animation step.
    m_hDC = ::CreateCompatibleDC(NULL);
    CBitmap* pBuffer = pControl->GetBackBuffer();
    if (m_hDC != NULL && pBuffer != NULL && pBuffer->GetSafeHandle() != NULL)
        m_hOldBitmap = ::SelectObject(m_hDC, pBuffer->GetSafeHandle());
}

CBackBufDC::~CBackBufDC()
{
    if (m_hDC != NULL) {
        if (m_hOldBitmap != NULL)
            ::SelectObject(m_hDC, m_hOldBitmap);
        ::DeleteDC(Detach());
    }
}

// --- CControlBase ------------------------------------------------------------

CControlBase::CControlBase()
    : m_nMouseX(-1), m_nMouseY(-1), m_nMouseFlags(0), m_bHovering(0), m_bLeftDown(0), m_bRightDown(0),
      m_hCursor(NULL), m_nClientWidth(0), m_nClientHeight(0), m_bDestroyed(0)
{
}

CControlBase::~CControlBase()
{
    // Timer registrations are each derived control's to remove in
    // OnDestroying; the timer drops those of dead windows anyway.
    m_Animations.RemoveAll();
}

BOOL CControlBase::CreateControl(const RECT& rect, CWnd* pParent, DWORD dwStyle)
{
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, ::LoadCursorA(NULL, IDC_ARROW));
    if (lpszClass == NULL)
        return FALSE;
    return CreateEx(0, lpszClass, "", dwStyle, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    SafeHwnd(pParent), NULL);
}

// --- painting ----------------------------------------------------------------

void CControlBase::PaintRect(CDC* pDC, const RECT& rect, BOOL bOverPaint)
{
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    if (GetBackBuffer() != NULL) {
        CBackBufDC bufDC(this);
        ::BitBlt(pDC->m_hDC, rect.left, rect.top, cx, cy, bufDC.m_hDC, rect.left, rect.top, SRCCOPY);
        if (bOverPaint) {
            OnPaintOver(pDC, rect, 0, 0);
            AfterPaint(0);
        }
        return;
    }
    CDC memDC;
    CBitmap bitmap;
    if (!memDC.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, m_nClientWidth, m_nClientHeight))
        return;
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    Paint(&memDC, rect.left, rect.top, rect.right, rect.bottom);
    pDC->BitBlt(rect.left, rect.top, cx, cy, &memDC, rect.left, rect.top, SRCCOPY);
    memDC.SelectObject(pOld);
}

void CControlBase::PaintToDC(CDC* pDC)
{
    const RECT rc = {0, 0, m_nClientWidth, m_nClientHeight};
    PaintRect(pDC, rc, TRUE);
}

void CControlBase::RedrawRect(const RECT& rect)
{
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == NULL)
        return;
    CDC dc;
    dc.Attach(hDC);
    PaintRect(&dc, rect, TRUE);
    dc.Detach();
    ::ReleaseDC(m_hWnd, hDC);
}

LRESULT CControlBase::OnPaintMessage()
{
    if (!::GetUpdateRect(m_hWnd, NULL, FALSE))
        return 0;
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC != NULL) {
        CDC dc;
        dc.Attach(hDC);
        // The over-paint belongs to the back-buffer path only.
        PaintRect(&dc, ps.rcPaint, GetBackBuffer() != NULL);
        dc.Detach();
    }
    ::EndPaint(m_hWnd, &ps);
    // Transparent children paint over the background: they must come after it.
    InvalidateChildrenInRect(m_hWnd, &ps.rcPaint);
    return 0;
}

LRESULT CControlBase::OnPrintClient(HDC hDC, LPARAM nFlags)
{
    if (((nFlags & PRF_CHECKVISIBLE) && !IsWindowVisible()) || !(nFlags & PRF_CLIENT))
        return 0;
    CDC dc;
    dc.Attach(hDC);
    CDC memDC;
    if (memDC.CreateCompatibleDC(&dc)) {
        CBitmap* pBuffer = GetBackBuffer();
        CBitmap bitmap;
        CBitmap* pOld = NULL;
        if (pBuffer != NULL) {
            pOld = memDC.SelectObject(pBuffer);
        } else if (bitmap.CreateCompatibleBitmap(&dc, m_nClientWidth, m_nClientHeight)) {
            pOld = memDC.SelectObject(&bitmap);
            Paint(&memDC, 0, 0, m_nClientWidth, m_nClientHeight);
        }
        if (pOld != NULL) {
            dc.BitBlt(0, 0, m_nClientWidth, m_nClientHeight, &memDC, 0, 0, SRCCOPY);
            memDC.SelectObject(pOld);
        }
        if (pBuffer != NULL)
            AfterPaint(0);
    }
    dc.Detach();
    return 0;
}

// --- hover and capture ---------------------------------------------------------

void CControlBase::StartMouseTracking()
{
    if (g_pExportedFuncs != NULL && g_pExportedFuncs->pTrackMouseEvent != NULL) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        g_pExportedFuncs->pTrackMouseEvent(&tme);
    }
    if (::GetCapture() != m_hWnd)
        ::SetCapture(m_hWnd);
    if (m_hCursor != NULL)
        ::SetCursor(m_hCursor);
    if (!m_bHovering)
        OnMouseEnter();
    m_bHovering = 1;
}

void CControlBase::StopMouseTracking()
{
    if (s_bStoppingTracking)
        return;
    s_bStoppingTracking = TRUE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_bHovering) {
        m_bHovering = 0;
        OnMouseLeave();
    }
    m_bLeftDown = 0;
    m_bRightDown = 0;
    s_bStoppingTracking = FALSE;
}

LRESULT CControlBase::OnSetCursorMessage(HWND hWnd, UINT nHitTest, UINT nMouseMessage)
{
    OnSetCursor(hWnd, nHitTest, nMouseMessage);
    if (nMouseMessage == 0)
        return 1;
    if (hWnd != m_hWnd && ::IsChild(m_hWnd, hWnd))
        return 1;
    StartMouseTracking();
    HWND hParent = ::GetParent(m_hWnd);
    CWnd* pParent = CWnd::FromHandlePermanent(hParent);
    if (hParent != NULL && (pParent == NULL || !pParent->IsKindOf(RUNTIME_CLASS(CControlBase))))
        ::SendMessageA(hParent, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(nHitTest, nMouseMessage));
    return 1;
}

LRESULT CControlBase::OnMouseMoveMessage(UINT nFlags, int x, int y)
{
    m_nMouseFlags = static_cast<int>(nFlags);
    if (m_hCursor != NULL)
        ::SetCursor(m_hCursor);
    if (x != m_nMouseX || y != m_nMouseY) {
        m_nMouseX = x;
        m_nMouseY = y;
        if (IsMouseCaptured()) {
            OnMouseMove(nFlags, x, y);
        } else if (x < 0 || y < 0 || x >= m_nClientWidth || y >= m_nClientHeight) {
            StopMouseTracking();
        } else {
            POINT pt = {x, y};
            ::ClientToScreen(m_hWnd, &pt);
            if (::WindowFromPoint(pt) == m_hWnd)
                OnMouseMove(nFlags, x, y);
            else
                StopMouseTracking();
        }
    }
    return Default();
}

// --- mouse buttons -------------------------------------------------------------

void CControlBase::BringTopLevelToFront()
{
    CWnd* pTop = GetParentOwner();
    HWND hTop = pTop != NULL ? pTop->m_hWnd : m_hWnd;
    if (::GetForegroundWindow() != hTop)
        ::SetForegroundWindow(hTop);
}

LRESULT CControlBase::OnButton(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = Default();
    const UINT nFlags = static_cast<UINT>(wParam);
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (message != WM_RBUTTONUP) {
        m_nMouseFlags = static_cast<int>(nFlags);
        m_nMouseX = x;
        m_nMouseY = y;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        m_bLeftDown = 1;
        BringTopLevelToFront();
        OnLButtonDown(nFlags, x, y);
        break;
    case WM_LBUTTONUP:
        m_bLeftDown = 0;
        if (x < 0 || y < 0 || x >= m_nClientWidth || y >= m_nClientHeight)
            StopMouseTracking();
        OnLButtonUp(nFlags, x, y);
        break;
    case WM_RBUTTONDOWN:
        m_bRightDown = 1;
        BringTopLevelToFront();
        OnRButtonDown(nFlags, x, y);
        break;
    case WM_RBUTTONUP:
        m_bRightDown = 0;
        OnRButtonUp(nFlags, x, y);
        break;
    case WM_MBUTTONDOWN:
        BringTopLevelToFront();
        OnMButtonDown(nFlags, x, y);
        break;
    case WM_MBUTTONUP:
        OnMButtonUp(nFlags, x, y);
        break;
    }
    return lResult;
}

// --- wheel and timer -------------------------------------------------------------

LRESULT ForwardWheelRoll(HWND hSelf, WPARAM wParam, LPARAM lParam)
{
    WORD nKeys = 0;
    if (::GetKeyState(VK_CONTROL) < 0)
        nKeys |= MK_CONTROL;
    if (::GetKeyState(VK_SHIFT) < 0)
        nKeys |= MK_SHIFT;
    const WPARAM wWheel = MAKEWPARAM(nKeys, LOWORD(wParam));
    HWND hWnd = ::GetFocus();
    if (hWnd == NULL)
        return ::SendMessageA(hSelf, WM_MOUSEWHEEL, wWheel, lParam);
    const HWND hDesktop = ::GetDesktopWindow();
    LRESULT lResult = 0;
    while (hWnd != NULL && hWnd != hDesktop) {
        lResult = ::SendMessageA(hWnd, WM_MOUSEWHEEL, wWheel, lParam);
        if (lResult != 0)
            break;
        hWnd = ::GetParent(hWnd);
    }
    return lResult;
}

LRESULT CControlBase::OnWheelRoll(WPARAM wParam, LPARAM lParam)
{
    return ForwardWheelRoll(m_hWnd, wParam, lParam);
}

int CControlBase::StartAnimation(int nTotal, int nMillis)
{
    LARGE_INTEGER freq;
    if (!::QueryPerformanceFrequency(&freq))
        freq.QuadPart = 0;
    CVTimerRcrd r = {0, freq.QuadPart * nMillis / 1000, 0, nTotal};
    if (r.nDuration != 0) {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        r.nStart = now.QuadPart;
    }
    r.nId = g_pVTimer != NULL ? g_pVTimer->AddClient(m_hWnd, 1) : 0;
    if (r.nId == 0)
        return 0;
    m_Animations.Add(r);
    return r.nId;
}

LRESULT CControlBase::OnVTimerMessage(int nId)
{
    int nAmount = 0;
    if (TakeVTimerTick(m_hWnd, m_Animations, nId, &nAmount))
        OnVTimer(nId, nAmount);
    return 1;
}

// --- dispatch ----------------------------------------------------------------------

LRESULT CControlBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Any message at all shows the timer that this thread keeps up.
    ResetVTimerBacklog();

    switch (message) {
    case WM_CREATE: {
        const CREATESTRUCTA* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        m_bDestroyed = 0;
        m_nMouseFlags = 0;
        m_bHovering = m_bLeftDown = m_bRightDown = 0;
        m_hCursor = NULL;
        m_nMouseX = m_nMouseY = -1;
        m_nClientWidth = pcs->cx;
        m_nClientHeight = pcs->cy;
        OnCreated();
        return Default();
    }
    case WM_DESTROY:
        m_bDestroyed = 1;
        StopMouseTracking();
        OnDestroying();
        OnDestroy();
        return 0;
    case WM_PAINT:
        return OnPaintMessage();
    case WM_PRINT:
        if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible())
            return 0;
        if (lParam & PRF_ERASEBKGND)
            SendMessage(WM_ERASEBKGND, wParam);
        if (lParam & PRF_CLIENT)
            SendMessage(WM_PRINTCLIENT, wParam, lParam);
        return 0;
    case WM_PRINTCLIENT:
        return OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
    case WM_ERASEBKGND: {
        CDC dc;
        dc.Attach(reinterpret_cast<HDC>(wParam));
        PaintToDC(&dc);
        dc.Detach();
        return 1;
    }
    case WM_DISPLAYCHANGE:
        OnDisplayChanged();
        return 0;
    case WM_SYSCOLORCHANGE:
        OnDisplayChanged();
        return Default();
    case WM_VTIMER:
        return OnVTimerMessage(static_cast<int>(wParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return OnButton(message, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMoveMessage(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_SETCURSOR:
        return OnSetCursorMessage(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_CANCELMODE:
    case WM_KILLFOCUS:
    case WM_ENTERMENULOOP:
        StopMouseTracking();
        return Default();
    case WM_CAPTURECHANGED:
        if (m_bHovering) {
            m_bHovering = 0;
            OnMouseLeave();
        }
        m_bLeftDown = m_bRightDown = 0;
        return Default();
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            StopMouseTracking();
        return Default();
    case WM_ACTIVATEAPP:
    case WM_SHOWWINDOW:
        if (wParam == 0)
            StopMouseTracking();
        return Default();
    case WM_MOUSELEAVE:
        if (!IsMouseCaptured())
            StopMouseTracking();
        Default();
        return 0;
    case WM_SIZE: {
        const LRESULT lResult = Default();
        const int cx = LOWORD(lParam);
        const int cy = HIWORD(lParam);
        if (wParam == SIZE_RESTORED && (cx != m_nClientWidth || cy != m_nClientHeight)) {
            m_nClientWidth = cx;
            m_nClientHeight = cy;
            OnSizeChanged(cx, cy);
        }
        return lResult;
    }
    }
    if (g_msgMouseWheelRoll.Is(message))
        return OnWheelRoll(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}
