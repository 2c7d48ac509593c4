#include "framework/OleDropSource.h"

#include <new>
#include "framework/Exception.h"
#include "framework/Wnd.h"

namespace {

// GetAsyncKeyState reads the physical buttons; with swapped buttons the
// logical left button is the physical right one.
bool ButtonDown(DWORD mkButton)
{
    bool left = mkButton == MK_LBUTTON;
    if (GetSystemMetrics(SM_SWAPBUTTON))
        left = !left;
    return GetAsyncKeyState(left ? VK_LBUTTON : VK_RBUTTON) < 0;
}

}  // namespace

COleDropSource::COleDropSource()
    : m_bDragStarted(FALSE), m_dwButtonDrop(MK_LBUTTON), m_dwButtonCancel(MK_RBUTTON),
      m_cRef(1), m_dropSource(this)
{
}

COleDropSource::~COleDropSource()
{
}

BOOL COleDropSource::PrepareDrag(LPCRECT lpRectStartDrag, CWnd* pWnd)
{
    // The button that is down now started the drag; releasing it drops.
    if (GetKeyState(VK_LBUTTON) >= 0 && GetKeyState(VK_RBUTTON) < 0) {
        m_dwButtonDrop = MK_RBUTTON;
        m_dwButtonCancel = MK_LBUTTON;
    } else {
        m_dwButtonDrop = MK_LBUTTON;
        m_dwButtonCancel = MK_RBUTTON;
    }
    m_bDragStarted = FALSE;
    if (lpRectStartDrag == NULL) {
        POINT cursor = {0, 0};
        GetCursorPos(&cursor);
        m_rectStartDrag.SetRect(cursor.x, cursor.y, cursor.x, cursor.y);
        m_rectStartDrag.InflateRect(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
    } else {
        m_rectStartDrag = *lpRectStartDrag;
        if (m_rectStartDrag.IsRectNull())
            m_bDragStarted = TRUE;
    }
    return OnBeginDrag(pWnd);
}

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    if (m_bDragStarted)
        return TRUE;
    // The wait removes the mouse messages of the click. Holding the capture
    // meanwhile, and releasing it after, sends the window that started the
    // drag WM_CAPTURECHANGED: it learns that its press has ended even when
    // the button-up was taken here.
    HWND hWndCapture = CWnd::SafeHwnd(pWnd);
    if (hWndCapture != NULL)
        ::SetCapture(hWndCapture);
    BOOL bStarted = WaitForDragStart();
    if (hWndCapture != NULL && ::GetCapture() == hWndCapture)
        ::ReleaseCapture();
    return bStarted;
}

BOOL COleDropSource::WaitForDragStart()
{
    const DWORD delay = GetProfileIntA("windows", "DragDelay", DD_DEFDRAGDELAY);
    const DWORD start = GetTickCount();
    for (;;) {
        // Input that arrives during the wait belongs to the drag, not to the
        // window under the cursor.
        MSG msg;
        while (PeekMessageA(&msg, NULL, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
               PeekMessageA(&msg, NULL, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
            switch (msg.message) {
            case WM_QUIT:
                // A filter does not hold back a quit that a loop handed on
                // with PostQuitMessage: it goes back for the main loop, and
                // no drag starts on the way out.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return FALSE;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
                return FALSE;
            case WM_KEYDOWN:
                if (msg.wParam == VK_ESCAPE)
                    return FALSE;
                break;
            case WM_MOUSEMOVE:
                if (!m_rectStartDrag.PtInRect(msg.pt))
                    m_bDragStarted = TRUE;
                break;
            }
        }
        if (m_bDragStarted)
            return TRUE;
        // A release or a move away from our windows sends us nothing.
        if (!ButtonDown(m_dwButtonDrop) || GetAsyncKeyState(VK_ESCAPE) < 0)
            return FALSE;
        POINT cursor;
        if (GetCursorPos(&cursor) && !m_rectStartDrag.PtInRect(cursor))
            return m_bDragStarted = TRUE;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= delay)
            return m_bDragStarted = TRUE;
        DWORD wait = delay - elapsed;
        MsgWaitForMultipleObjects(0, NULL, FALSE, wait < 20 ? wait : 20, QS_INPUT);
    }
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed || (dwKeyState & m_dwButtonCancel) != 0) {
        m_bDragStarted = FALSE;
        return DRAGDROP_S_CANCEL;
    }
    if ((dwKeyState & m_dwButtonDrop) == 0)
        return m_bDragStarted ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// --- the COM face ----------------------------------------------------------

STDMETHODIMP COleDropSource::DropSource::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppv = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDropSource::DropSource::AddRef()
{
    return InterlockedIncrement(&m_owner->m_cRef);
}

STDMETHODIMP_(ULONG) COleDropSource::DropSource::Release()
{
    return InterlockedDecrement(&m_owner->m_cRef);
}

// A failure inside the drag loop's callbacks ends the drag rather than
// leaving it running with nobody in charge.
STDMETHODIMP COleDropSource::DropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    try {
        return m_owner->QueryContinueDrag(fEscapePressed, grfKeyState);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return DRAGDROP_S_CANCEL;
}

STDMETHODIMP COleDropSource::DropSource::GiveFeedback(DWORD dwEffect)
{
    try {
        return m_owner->GiveFeedback(dwEffect);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
