#include "ui3d/dialogs/3DDialog.h"

#include "services/Messages.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/drawing/SkinBackground.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

IMPLEMENT_DYNAMIC(C3DDialog, CDialog)

BOOL (WINAPI* C3DDialog::s_pfnQueryPerformanceFrequency)(LARGE_INTEGER*) = ::QueryPerformanceFrequency;
BOOL (WINAPI* C3DDialog::s_pfnQueryPerformanceCounter)(LARGE_INTEGER*) = ::QueryPerformanceCounter;
BOOL (*C3DDialog::s_pfnIsMenuFadeOn)() = IsMenuFadeOn;

namespace {

const int kFadeMillis = 300;
const int kFadeTotal = 255;

PFN_SETLAYEREDWINDOWATTRIBUTES LayeredAttributes()
{
    return g_pExportedFuncs != NULL ? g_pExportedFuncs->pSetLayeredWindowAttributes : NULL;
}

}  // namespace

BOOL IsMenuFadeOn()
{
    BOOL bAnimation = FALSE;
    if (!::SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &bAnimation, 0) || !bAnimation)
        return FALSE;
    BOOL bFade = FALSE;
    if (!::SystemParametersInfoA(SPI_GETMENUFADE, 0, &bFade, 0))
        return FALSE;
    return bFade;
}

// --- construction --------------------------------------------------------------

C3DDialog::C3DDialog(const POINT* pPos, int bFade, const BODYSTYLE* pBodyStyle, int bReplace,
                     const TOOLTIPSTYLE* pToolTipStyle)
    : m_BodyStyle(BODYSTYLE::FromSystemColors()), m_ToolTip(pToolTipStyle)
{
    m_bHasToolTip = pToolTipStyle != NULL;
    Construct(pPos, bFade, pBodyStyle, bReplace);
}

C3DDialog::C3DDialog(UINT nIDTemplate, CWnd* pParent, const POINT* pPos, int bFade, const BODYSTYLE* pBodyStyle,
                     const TOOLTIPSTYLE* pToolTipStyle)
    : CDialog(nIDTemplate, pParent), m_BodyStyle(BODYSTYLE::FromSystemColors()), m_ToolTip(pToolTipStyle)
{
    m_bHasToolTip = pToolTipStyle != NULL;
    Construct(pPos, bFade, pBodyStyle, TRUE);
}

void C3DDialog::Construct(const POINT* pPos, int bFade, const BODYSTYLE* pBodyStyle, int bReplace)
{
    if (pBodyStyle != NULL)
        m_BodyStyle = *pBodyStyle;
    m_ptPosition.x = m_ptPosition.y = 0;
    if (pPos == NULL) {
        m_nPlacement = DLGPLACE_ONPARENT;
    } else {
        m_ptPosition = *pPos;
        m_nPlacement = (pPos->x == -1 && pPos->y == -1) ? DLGPLACE_ONDESKTOP : DLGPLACE_ATPOINT;
    }
    m_nRunState = 0;
    m_nClientWidth = m_nClientHeight = 0;
    m_hBackground = NULL;
    m_hStockBrush = NULL;
    m_bFade = bFade;
    m_bReplaceControls = bReplace;
    m_nFadeState = 0;
    m_nResult = 0;
    m_nFadeTimerId = 0;
    m_hWndFadeFocus = NULL;
    m_bDestroyed = 1;
    m_bBackgroundSuppressed = 0;
    // Skinned controls ask for their background with this message; a test
    // program or tool may make dialogs before the program's start-up ran.
    if (g_msgPrintBackground == 0)
        RegisterControlMessages();
    RegisterLiveDialog(this);
}

C3DDialog::~C3DDialog()
{
    UnregisterLiveDialog(this);
    // WM_DESTROY stopped the timers while the window could still be named;
    // a window that never existed left no registration.
    m_VTimers.RemoveAll();
    if (m_hBackground != NULL)
        ::DeleteObject(m_hBackground);
    if (m_hStockBrush != NULL)
        ::DeleteObject(m_hStockBrush);
}

// --- running -------------------------------------------------------------------

BOOL C3DDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_nRunState = -1;
    return CDialog::Create(lpszTemplateName, pParentWnd);
}

BOOL C3DDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nRunState = -1;
    return CDialog::Create(nIDTemplate, pParentWnd);
}

BOOL C3DDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd)
{
    m_nRunState = -1;
    return CDialog::CreateIndirect(lpDialogTemplate, pParentWnd);
}

INT_PTR C3DDialog::DoModal()
{
    m_nRunState = 1;
    if (g_nActiveDrags != 0) {
        m_nRunState = 0;
        return IDCANCEL;
    }
    const INT_PTR nResult = CDialog::DoModal();
    // A dialog that could not be created never reached PostNcDestroy: it
    // must not go on reporting that it runs modally.
    m_nRunState = 0;
    return nResult;
}

void C3DDialog::PostNcDestroy()
{
    if (m_nRunState > 0) {
        m_nRunState = 0;
    } else if (m_nRunState < 0) {
        // A modeless dialog owns itself: nothing touches it after this.
        delete this;
    }
}

BOOL C3DDialog::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.m_hWnd != NULL && !g_bNoToolTips)
        m_ToolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void C3DDialog::Place()
{
    if (m_nPlacement == DLGPLACE_ONPARENT) {
        CWnd* pParent = GetParent();
        CenterWindow(pParent != NULL ? pParent : CWnd::GetDesktopWindow());
    } else if (m_nPlacement == DLGPLACE_ONDESKTOP) {
        CenterWindow(CWnd::GetDesktopWindow());
    } else {
        RECT rc;
        GetWindowRect(&rc);
        const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
        int x = m_ptPosition.x, y = m_ptPosition.y;
        if (m_BodyStyle.nFlags & BODYSTYLE_KEEPONSCREEN) {
            if (x + cx > ::GetSystemMetrics(SM_CXSCREEN))
                x -= cx;
            if (y + cy > ::GetSystemMetrics(SM_CYSCREEN))
                y -= cy;
        }
        MoveWindow(x, y, cx, cy, FALSE);
    }
}

BOOL C3DDialog::OnInitDialog()
{
    RECT rc;
    GetClientRect(&rc);
    m_nClientWidth = rc.right;
    m_nClientHeight = rc.bottom;
    ShowWindow(SW_HIDE);
    if (m_bHasToolTip)
        m_ToolTip.Create(this, TTS_ALWAYSTIP);
    Place();

    m_nFadeState = 0;
    OnInitDialogEx();
    BOOL bResult = CDialog::OnInitDialog();
    if (m_bReplaceControls) {
        ReplaceControls();
        OnInitControls();
    }
    // A dialog that put the focus on a control of its choice while it was
    // made keeps it: the dialog manager would move it to the first tab stop.
    if (bResult && IsOwnControl(::GetFocus()))
        bResult = FALSE;
    if (CanFade())
        ModifyStyleEx(0, WS_EX_LAYERED);

    if (!StartFadeIn()) {
        const HWND hChosen = ::GetFocus();
        ::RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN);
        ShowWindow(SW_SHOW);
        if (m_nRunState < 0)
            SetForegroundWindow();
        // The focus goes where a fade-in would give it at its end, now that
        // the dialog is shown and active: given while it was hidden, an edit
        // with a larger editor would open the editor only to lose it to the
        // activation, and the dialog would be left without a focus.
        m_hWndFadeFocus = IsOwnControl(hChosen) ? hChosen : NULL;
        RestoreFocusAfterFade();
        bResult = FALSE;
    } else if (m_nRunState < 0) {
        // No modal loop will show a modeless dialog when it goes idle: shown
        // here at alpha 0, it becomes visible as the ticks raise the alpha.
        ShowWindow(SW_SHOW);
    }
    m_bDestroyed = 0;
    return bResult;
}

BOOL C3DDialog::IsOwnControl(HWND hWnd) const
{
    return hWnd != NULL && m_hWnd != NULL && hWnd != m_hWnd && ::IsChild(m_hWnd, hWnd);
}

void C3DDialog::OnOK()
{
    if (m_nFadeState != 0)
        return;
    // What was typed into a large editor belongs to the values read below.
    ClosePopUpEditors();
    if (::GetDlgItem(m_hWnd, IDOK) == NULL)
        return;
    // Enter in an edit reaches the default button too; it does not close.
    HWND hFocus = ::GetFocus();
    char szClass[16] = "";
    if (IsOwnControl(hFocus) && ::GetClassNameA(hFocus, szClass, sizeof(szClass)) > 0 &&
        lstrcmpiA(szClass, "Edit") == 0)
        return;
    UpdateData(TRUE);
    if (m_nRunState > 0)
        EndDialog3D(IDOK);
    else if (!StartFadeOut())
        DestroyWindow();
}

void C3DDialog::OnCancel()
{
    if (m_nFadeState != 0)
        return;
    ClosePopUpEditors();
    if (m_nRunState > 0)
        EndDialog3D(IDCANCEL);
    else if (!StartFadeOut())
        DestroyWindow();
}

void C3DDialog::EndDialog3D(int nResult)
{
    if (m_nRunState <= 0)
        return;
    m_nResult = nResult;
    // A second end while the dialog fades out only changes the result; one
    // while it fades in turns the fade around (a second fade timer would
    // never be stopped).
    if (m_nFadeState == -1)
        return;
    if (m_nFadeState == 1) {
        StopFadeTimer();
        m_nFadeState = 0;
        EnableWindow(TRUE);
    }
    if (!StartFadeOut())
        EndDialog(nResult);
}

// --- fading ----------------------------------------------------------------------

BOOL C3DDialog::CanFade() const
{
    return LayeredAttributes() != NULL && m_bFade && s_pfnIsMenuFadeOn != NULL && s_pfnIsMenuFadeOn();
}

void C3DDialog::SetAlpha(BYTE nAlpha)
{
    PFN_SETLAYEREDWINDOWATTRIBUTES pfn = LayeredAttributes();
    if (pfn != NULL && m_hWnd != NULL)
        pfn(m_hWnd, 0, nAlpha, LWA_ALPHA);
}

int C3DDialog::StartFade()
{
    // Without a performance counter the fade could not measure its time and
    // would never end, leaving the dialog disabled or invisible: no fade then.
    LARGE_INTEGER freq, start;
    freq.QuadPart = start.QuadPart = 0;
    if (!s_pfnQueryPerformanceFrequency(&freq) || freq.QuadPart <= 0)
        return 0;
    if (!s_pfnQueryPerformanceCounter(&start))
        return 0;
    if (g_pVTimer == NULL)
        return 0;
    const int nId = g_pVTimer->AddClient(m_hWnd, 1);
    if (nId == 0)
        return 0;
    CVTimerRcrd r = {nId, freq.QuadPart * kFadeMillis / 1000, start.QuadPart, kFadeTotal};
    if (r.nDuration <= 0)
        r.nDuration = 1;
    m_VTimers.Add(r);
    return nId;
}

BOOL C3DDialog::StartFadeIn()
{
    if (!CanFade())
        return FALSE;
    m_nFadeState = 1;
    m_nFadeTimerId = StartFade();
    if (m_nFadeTimerId == 0) {
        m_nFadeState = 0;
        ModifyStyleEx(WS_EX_LAYERED, 0);
        return FALSE;
    }
    SetAlpha(0);
    // Disabled for the fade, the window loses the focus its initialisation
    // set; the control that had it gets it back when the fade ends.
    HWND hFocus = ::GetFocus();
    m_hWndFadeFocus = IsOwnControl(hFocus) ? hFocus : NULL;
    EnableWindow(FALSE);
    return TRUE;
}

void C3DDialog::RestoreFocusAfterFade()
{
    HWND hTarget = m_hWndFadeFocus;
    m_hWndFadeFocus = NULL;
    if (IsOwnControl(::GetFocus()) || ::GetActiveWindow() != m_hWnd)
        return;
    // The control chosen before the fade, else the first tab stop, as the
    // dialog manager gives it when a dialog opens.
    if (!IsOwnControl(hTarget) || !::IsWindowVisible(hTarget) || !::IsWindowEnabled(hTarget))
        hTarget = ::GetNextDlgTabItem(m_hWnd, NULL, FALSE);
    if (hTarget != NULL)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hTarget), TRUE);
}

BOOL C3DDialog::StartFadeOut()
{
    if (!CanFade())
        return FALSE;
    m_nFadeState = -1;
    m_nFadeTimerId = StartFade();
    if (m_nFadeTimerId == 0) {
        m_nFadeState = 0;
        return FALSE;
    }
    if (!(GetExStyle() & WS_EX_LAYERED)) {
        ModifyStyleEx(0, WS_EX_LAYERED);
        SetAlpha(255);
    }
    EnableWindow(FALSE);
    return TRUE;
}

void C3DDialog::StopFadeTimer()
{
    if (m_nFadeTimerId != 0 && FindVTimerRcrd(m_VTimers, m_nFadeTimerId) >= 0)
        StopVTimer(m_nFadeTimerId);
    m_nFadeTimerId = 0;
}

void C3DDialog::OnVTimer(int nId, int nAmount)
{
    if (nId == 0 || nId != m_nFadeTimerId)
        return;
    if (LayeredAttributes() == NULL) {
        StopFadeTimer();
        m_nFadeState = 0;
        return;
    }
    const int nClamped = nAmount < 0 ? 0 : (nAmount > 255 ? 255 : nAmount);
    if (m_nFadeState == 1) {
        SetAlpha(static_cast<BYTE>(nClamped));
        if (nAmount < 256)
            return;
        StopFadeTimer();
        m_nFadeState = 0;
        EnableWindow(TRUE);
        RestoreFocusAfterFade();
        OnFadeInDone();
    } else if (m_nFadeState == -1) {
        SetAlpha(static_cast<BYTE>(255 - nClamped));
        if (nAmount < 256)
            return;
        StopFadeTimer();
        m_nFadeState = 0;
        EnableWindow(TRUE);
        OnFadeOutDone();
    } else {
        StopFadeTimer();
    }
}

namespace {

struct OVERLAP
{
    HWND hWndDialog;
    RECT rcDialog;
};

BOOL CALLBACK InvalidateOverlapped(HWND hWnd, LPARAM lParam)
{
    const OVERLAP* pOverlap = reinterpret_cast<const OVERLAP*>(lParam);
    if (hWnd == pOverlap->hWndDialog || !::IsWindowVisible(hWnd))
        return TRUE;
    RECT rcWnd, rc;
    ::GetWindowRect(hWnd, &rcWnd);
    if (!::IntersectRect(&rc, &rcWnd, &pOverlap->rcDialog))
        return TRUE;
    ::MapWindowPoints(NULL, hWnd, reinterpret_cast<POINT*>(&rc), 2);
    ::InvalidateRect(hWnd, &rc, TRUE);
    ::UpdateWindow(hWnd);
    return TRUE;
}

}  // namespace

void C3DDialog::InvalidateOverlappedWindows()
{
    // Without a compositor, what a layered window covered while it was
    // translucent may keep stale pixels until it is painted again.
    OVERLAP overlap;
    overlap.hWndDialog = m_hWnd;
    GetWindowRect(&overlap.rcDialog);
    ::EnumThreadWindows(::GetCurrentThreadId(), InvalidateOverlapped, reinterpret_cast<LPARAM>(&overlap));
}

void C3DDialog::OnFadeInDone()
{
    if (!m_bFade)
        return;
    InvalidateOverlappedWindows();
    if (m_nRunState < 0)
        SetForegroundWindow();
}

void C3DDialog::OnFadeOutDone()
{
    if (m_nRunState > 0)
        EndDialog(m_nResult);
    else
        DestroyWindow();
}

// --- timers ---------------------------------------------------------------------

int C3DDialog::StartVTimer(int nDivider)
{
    if (g_pVTimer == NULL || m_hWnd == NULL)
        return 0;
    const int nId = g_pVTimer->AddClient(m_hWnd, nDivider);
    if (nId == 0)
        return 0;
    CVTimerRcrd r = {nId, 0, 0, 0};
    m_VTimers.Add(r);
    return nId;
}

int C3DDialog::StopVTimer(int nId)
{
    if (nId == 0) {
        m_VTimers.RemoveAll();
        const int nResult = g_pVTimer != NULL && m_hWnd != NULL ? g_pVTimer->RemoveClient(0, m_hWnd) : 0;
        if (m_hWnd != NULL)
            DropQueuedVTimers(m_hWnd);
        return nResult;
    }
    const int i = FindVTimerRcrd(m_VTimers, nId);
    if (i < 0)
        return 0;
    m_VTimers.RemoveAt(i);
    return g_pVTimer != NULL ? g_pVTimer->RemoveClient(nId, m_hWnd) : 0;
}

LRESULT C3DDialog::OnVTimerMessage(int nId)
{
    // While input waits, the ticks queued behind this one are dropped: a
    // slow paint must not let them pile up ahead of the user.
    if (HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE)) != 0)
        DropQueuedVTimers(m_hWnd);
    const int i = FindVTimerRcrd(m_VTimers, nId);
    if (i < 0)
        return 0;
    const CVTimerRcrd& r = m_VTimers[i];
    int nAmount = 0;
    if (r.nDuration != 0) {
        LARGE_INTEGER now;
        now.QuadPart = r.nStart;
        s_pfnQueryPerformanceCounter(&now);
        nAmount = static_cast<int>((now.QuadPart - r.nStart) * r.nTotal / r.nDuration);
    }
    OnVTimer(nId, nAmount);
    return 0;
}

// --- painting ----------------------------------------------------------------------

void C3DDialog::BuildBackground()
{
    if (m_hBackground != NULL)
        ::DeleteObject(m_hBackground);
    m_hBackground = NULL;
    if (m_nClientWidth <= 0 || m_nClientHeight <= 0)
        return;
    SIZE size = {m_nClientWidth, m_nClientHeight};
    POINT origin = {0, 0};
    m_hBackground = CreateSkinBackground(size, m_BodyStyle.body.colors.Get(g_nSkinColorScheme),
                                         m_BodyStyle.body.gradient, m_BodyStyle.body.layer, origin);
}

void C3DDialog::PaintBackground(const RECT* pArea, CDC* pDC, const POINT* pOrigin)
{
    if (pDC == NULL)
        return;
    if (m_hBackground == NULL)
        BuildBackground();
    if (m_hBackground == NULL)
        return;
    RECT rc = {0, 0, m_nClientWidth, m_nClientHeight};
    if (pArea != NULL)
        rc = *pArea;
    POINT pt = {rc.left, rc.top};
    if (pOrigin != NULL)
        pt = *pOrigin;
    HDC hScreen = ::GetDC(NULL);
    CSelectedBitmapDC back(hScreen, m_hBackground);
    ::ReleaseDC(NULL, hScreen);
    if (back.m_hDC == NULL)
        return;
    ::BitBlt(pDC->GetSafeHdc(), pt.x, pt.y, rc.right - rc.left, rc.bottom - rc.top, back.m_hDC, rc.left, rc.top,
             SRCCOPY);
}

int C3DDialog::ExcludeOwnDrawnRects(CDC* pDC)
{
    CSequence<RECT>* pRects = GetOwnDrawnRects();
    if (pRects == NULL || pDC == NULL)
        return 0;
    for (int i = 0; i < pRects->GetSize(); i++) {
        const RECT& rc = (*pRects)[i];
        ::ExcludeClipRect(pDC->GetSafeHdc(), rc.left, rc.top, rc.right, rc.bottom);
    }
    return pRects->GetSize();
}

int C3DDialog::OwnDrawnRectFromPoint(int x, int y)
{
    CSequence<RECT>* pRects = GetOwnDrawnRects();
    if (pRects == NULL)
        return 0;
    const POINT pt = {x, y};
    for (int i = 0; i < pRects->GetSize(); i++) {
        if (::PtInRect(&(*pRects)[i], pt))
            return 1;
    }
    return 0;
}

BOOL C3DDialog::OnEraseBkgnd(HDC hDC)
{
    CDC dc;
    dc.Attach(hDC);
    const int nSaved = ::SaveDC(hDC);
    ExcludeOwnDrawnRects(&dc);
    PaintBackground(NULL, &dc, NULL);
    ::RestoreDC(hDC, nSaved);
    dc.Detach();
    return TRUE;
}

void C3DDialog::OnPaint()
{
    if (!::GetUpdateRect(m_hWnd, NULL, FALSE))
        return;
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC != NULL) {
        CDC dc;
        dc.Attach(hDC);
        ExcludeOwnDrawnRects(&dc);
        if (!m_bBackgroundSuppressed)
            PaintBackground(&ps.rcPaint, &dc, NULL);
        OnPaintOver(&dc, ps.rcPaint);
        dc.Detach();
    }
    ::EndPaint(m_hWnd, &ps);
}

LRESULT C3DDialog::OnPrintBackground(HDC hDC, const RECT* pRect)
{
    if (hDC == NULL || pRect == NULL)
        return 0;
    RECT rc;
    GetClientRect(&rc);
    if (rc.right != m_nClientWidth || rc.bottom != m_nClientHeight) {
        m_nClientWidth = rc.right;
        m_nClientHeight = rc.bottom;
        if (m_hBackground != NULL)
            ::DeleteObject(m_hBackground);
        m_hBackground = NULL;
    }
    CDC dc;
    dc.Attach(hDC);
    const POINT origin = {0, 0};
    PaintBackground(pRect, &dc, &origin);
    dc.Detach();
    return 1;
}

void C3DDialog::OnSize(UINT nType)
{
    Default();
    RECT rc;
    GetClientRect(&rc);
    m_nClientWidth = rc.right;
    m_nClientHeight = rc.bottom;
    const DWORD dwStyle = GetStyle();
    if ((nType == SIZE_MINIMIZED && !(dwStyle & WS_MINIMIZEBOX)) ||
        (nType == SIZE_MAXIMIZED && !(dwStyle & WS_MAXIMIZEBOX)))
        ShowWindow(SW_RESTORE);
}

// --- teardown ------------------------------------------------------------------------

void C3DDialog::OnDestroy()
{
    // Teardown order: no more ticks, then the tooltip and the skinned
    // controls (their windows first), then the cached background.
    StopFadeTimer();
    StopVTimer(0);
    if (m_ToolTip.m_hWnd != NULL)
        m_ToolTip.DestroyWindow();
    DestroyControls();
    if (m_hBackground != NULL)
        ::DeleteObject(m_hBackground);
    m_hBackground = NULL;
    Default();
    m_bDestroyed = 1;
}

LRESULT C3DDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    ResetVTimerBacklog();
    switch (message) {
    case WM_VTIMER:
        return OnVTimerMessage(static_cast<int>(wParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_DISPLAYCHANGE: {
        const LRESULT lResult = Default();
        BuildBackground();
        OnDisplayChanged();
        return lResult;
    }
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam));
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const LRESULT lResult = Default();
        const WINDOWPOS* pPos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pPos != NULL && !(pPos->flags & SWP_NOSIZE) && m_hBackground != NULL) {
            ::DeleteObject(m_hBackground);
            m_hBackground = NULL;
        }
        return lResult;
    }
    case WM_QUERYDLGSTATE:
        return AnswerQueryDlgState(wParam, lParam, m_nRunState, m_hWnd);
    case WM_CTLCOLORLISTBOX:
        // A stock list box stands on the skin's face in its text colour; a
        // skinned control answers for itself.
        if (CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam)) == NULL) {
            if (m_hStockBrush == NULL)
                m_hStockBrush = ::CreateSolidBrush(m_BodyStyle.clrFace);
            if (m_hStockBrush != NULL) {
                ::SetTextColor(reinterpret_cast<HDC>(wParam), m_BodyStyle.clrText);
                ::SetBkColor(reinterpret_cast<HDC>(wParam), m_BodyStyle.clrFace);
                return reinterpret_cast<LRESULT>(m_hStockBrush);
            }
        }
        break;
    default:
        if (g_msgPrintBackground.Is(message))
            return OnPrintBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<const RECT*>(lParam));
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
