#include "framework/Wnd.h"
#include "framework/Dc.h"
#include "framework/Exception.h"
#include "framework/Gdi.h"
#include "framework/HandleMap.h"
#include "framework/Menu.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"

#include <cstdio>
#include <new>
#include <set>
#include <string>

IMPLEMENT_DYNAMIC(CWnd, CObject)

namespace {

// Windows of every thread share one permanent map: a window object may be
// looked up from a thread other than its own (the tray thread's owner asks
// for its window). Temporary views are per thread and die at idle time.
CHandleMap<HWND, CWnd>& PermanentMap()
{
    static CHandleMap<HWND, CWnd> map;
    return map;
}

CTempHandleMap<HWND, CWnd> g_tempWnds([](CWnd* pView) { pView->m_hWnd = NULL; });

// The loader calls every PIMAGE_TLS_CALLBACK placed in the .CRT$XL* sections on
// each ending thread at DLL_THREAD_DETACH, holding the loader lock: the views of
// a thread the framework did not start are deleted there (DeleteAll takes no
// lock and makes no window call, so it cannot wait on another thread).
void NTAPI DeleteTempWndsAtThreadExit(PVOID, DWORD dwReason, PVOID)
{
    if (dwReason == DLL_THREAD_DETACH)
        g_tempWnds.DeleteAll();
}
__attribute__((section(".CRT$XLE"), used)) PIMAGE_TLS_CALLBACK g_pfnDeleteTempWndsAtThreadExit = DeleteTempWndsAtThreadExit;

thread_local CWnd* t_pWndInit = NULL;
thread_local HHOOK t_hHookCbt = NULL;
// Set when the pending object could not be bound to the window being made.
thread_local BOOL t_bBindFailed = FALSE;
thread_local MSG t_msgLast = {};
// Set when a reflected message reached the base WindowProc or Default()
// unhandled: the parent then carries on with it.
thread_local BOOL t_bReflectUnhandled = FALSE;

BOOL IsReflectedMessage(UINT message)
{
    return message >= WM_REFLECT_BASE && message < 0xC000;
}

// While the busy count of the application is up, its thread's windows all show
// the wait cursor: whatever the hit code (a disabled window is asked with
// HTERROR) and before a window class answers WM_SETCURSOR its own way.
BOOL ShowWaitCursor()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL || pApp->m_nWaitCursorCount <= 0 || pApp->m_nThreadID != ::GetCurrentThreadId())
        return FALSE;
    pApp->RestoreWaitCursor();
    return TRUE;
}

BOOL IsImeWindowClass(HWND hWnd)
{
    char name[32];
    if (::GetClassNameA(hWnd, name, sizeof(name)) == 0)
        return FALSE;
    return lstrcmpiA(name, "IME") == 0 || lstrcmpiA(name, "MSCTFIME UI") == 0;
}

} // namespace

// Binding and unbinding, shared by creation, subclassing and WM_NCDESTROY.
struct CWndInternals
{
    // bNew: hWnd was made just now (the creation hook), so any entry under
    // that value is a leftover of a dead window and gives way. Throws
    // std::bad_alloc when the entry cannot be made.
    static BOOL Bind(CWnd* pWnd, HWND hWnd, BOOL bNew)
    {
        if (bNew) {
            PermanentMap().Set(hWnd, pWnd);
        } else {
            CWnd::FromHandlePermanent(hWnd);   // drops a leftover of a dead window
            if (!PermanentMap().Add(hWnd, pWnd))
                return FALSE;
        }
        pWnd->m_hWnd = hWnd;
        WNDPROC old = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
        pWnd->m_pfnSuper = old == AfxWndProc ? NULL : old;
        pWnd->m_bSubclassed = TRUE;
        return TRUE;
    }

    static void Unbind(CWnd* pWnd)
    {
        PermanentMap().Remove(pWnd->m_hWnd, pWnd);
        pWnd->m_hWnd = NULL;
        pWnd->m_pfnSuper = NULL;
        pWnd->m_bSubclassed = FALSE;
    }
};

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && t_pWndInit != NULL) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        // Windows may make the thread's input-method window first; it is not ours.
        if (!IsImeWindowClass(hWnd)) {
            CWnd* pWnd = t_pWndInit;
            t_pWndInit = NULL;
            // This is a system callback: nothing may unwind through it. A
            // window that cannot be bound is not made (a non-zero answer
            // cancels the creation), so CreateEx fails rather than leave a
            // window its object never hears of.
            BOOL bBound = FALSE;
            try {
                bBound = CWndInternals::Bind(pWnd, hWnd, TRUE);
            } catch (...) {
                pWnd->m_hWnd = NULL;
            }
            if (!bBound) {
                t_bBindFailed = TRUE;
                return 1;
            }
        }
    }
    return ::CallNextHookEx(t_hHookCbt, nCode, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    // The hook stays installed for the thread's life; it only acts while a
    // creation is pending, which binds the object before WM_NCCREATE.
    if (t_hHookCbt == NULL)
        t_hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, NULL, ::GetCurrentThreadId());
    t_pWndInit = pWnd;
    t_bBindFailed = FALSE;
}

BOOL AfxUnhookWindowCreate()
{
    // A creation that failed before any window was made must not leave the
    // object pending for the next window of the thread (a message box, say).
    BOOL bBound = t_pWndInit == NULL && !t_bBindFailed;
    t_pWndInit = NULL;
    t_bBindFailed = FALSE;
    return bBound;
}

BOOL AfxEndWindowCreate(HWND hWnd)
{
    BOOL bBound = AfxUnhookWindowCreate();
    if (hWnd == NULL)
        return FALSE;
    if (!bBound) {
        // Made, but never bound to its object (the hook could not be set):
        // a window nobody would destroy.
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

const MSG* AfxGetCurrentMessage()
{
    return &t_msgLast;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == WM_SETCURSOR && ShowWaitCursor())
        return TRUE;

    MSG saved = t_msgLast;
    t_msgLast.hwnd = hWnd;
    t_msgLast.message = message;
    t_msgLast.wParam = wParam;
    t_msgLast.lParam = lParam;

    LRESULT lResult = 0;
    // Nothing may unwind through the system's frames: a failed handler
    // gives a neutral result (a failed creation fails the window).
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
        e->Delete();
        lResult = message == WM_CREATE ? -1 : 0;
    } catch (...) {
        lResult = message == WM_CREATE ? -1 : 0;
    }

    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) {
        // The window is gone: unbind first, so that nothing reaches the
        // object through the map while PostNcDestroy may delete it.
        CWndInternals::Unbind(pWnd);
        CWinThread* pThread = AfxGetThread();
        if (pThread != NULL) {
            if (pThread->m_pActiveWnd == pWnd)
                pThread->m_pActiveWnd = NULL;
            if (pThread->m_pMainWnd == pWnd) {
                // The main window of a thread ends the thread's loop.
                pThread->m_pMainWnd = NULL;
                ::PostQuitMessage(0);
            }
        }
        pWnd->PostNcDestroy();
    }

    t_msgLast = saved;
    return lResult;
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static CRITICAL_SECTION cs;
    static std::set<std::string>* pNames = [] {
        InitializeCriticalSection(&cs);
        return new std::set<std::string>;
    }();

    HINSTANCE hInst = AfxGetInstanceHandle();
    char name[96];
    snprintf(name, sizeof(name), "Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
             static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));

    CCriticalSectionHold hold(&cs);
    auto it = pNames->insert(name).first;
    LPCSTR lpszName = it->c_str();
    WNDCLASSA wc;
    if (!::GetClassInfoA(hInst, lpszName, &wc)) {
        ZeroMemory(&wc, sizeof(wc));
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = lpszName;
        if (!::RegisterClassA(&wc))
            lpszName = NULL;
    }
    return lpszName;
}

// --- CWnd --------------------------------------------------------------------

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL), m_bTemporary(FALSE), m_bSubclassed(FALSE)
{
}

CWnd::~CWnd()
{
    if (m_hWnd == NULL || m_bTemporary)
        return;
    if (FromHandlePermanent(m_hWnd) != this)
        return;
    // Teardown order: destroy while bound (WM_NCDESTROY unbinds); when the
    // window belongs to another thread and cannot be destroyed from here,
    // give it back its own procedure so it never reaches a dead object.
    if (m_bSubclassed && ::DestroyWindow(m_hWnd))
        return;
    if (m_bSubclassed && ::IsWindow(m_hWnd))
        UnsubclassWindow();
    else
        Detach();
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    CWnd* pWnd = hWnd == NULL ? NULL : PermanentMap().Lookup(hWnd);
    // A window bound by Attach alone sends us no WM_NCDESTROY: when it was
    // destroyed elsewhere, its entry is dropped here, before the system can
    // give its handle value to another window.
    if (pWnd != NULL && !pWnd->m_bSubclassed && !::IsWindow(hWnd)) {
        PermanentMap().Remove(hWnd, pWnd);
        return NULL;
    }
    return pWnd;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != NULL)
        return pWnd;
    return g_tempWnds.Get(hWnd, [hWnd] {
        CWnd* pView = new CWnd;
        pView->m_hWnd = hWnd;
        pView->m_bTemporary = TRUE;
        return pView;
    });
}

void PASCAL CWnd::DeleteTempMap()
{
    g_tempWnds.DeleteAll();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (m_hWnd != NULL || hWndNew == NULL)
        return FALSE;
    FromHandlePermanent(hWndNew);   // drops a leftover of a dead window
    if (!PermanentMap().Add(hWndNew, this))
        return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && !m_bTemporary)
        PermanentMap().Remove(hWnd, this);
    m_hWnd = NULL;
    m_pfnSuper = NULL;
    m_bSubclassed = FALSE;
    return hWnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&)
{
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != NULL)
        return FALSE;
    CREATESTRUCTA cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return FALSE;

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                  cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // On failure the window may have run WM_NCDESTROY, and PostNcDestroy may
    // have deleted this object: touch nothing of it.
    return AfxEndWindowCreate(hWnd);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, SafeHwnd(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, NULL);
}

BOOL CWnd::DestroyWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd == NULL)
        return FALSE;
    if (m_bTemporary)
        return ::DestroyWindow(hWnd);
    BOOL bSubclassed = m_bSubclassed && FromHandlePermanent(hWnd) == this;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A subclassed window was unbound in WM_NCDESTROY and this object may be
    // deleted already; a merely attached one is unbound here.
    if (bResult && !bSubclassed)
        Detach();
    return bResult;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != NULL || hWnd == NULL || !::IsWindow(hWnd))
        return FALSE;
    try {
        return CWndInternals::Bind(this, hWnd, FALSE);
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(SafeHwnd(pParent), static_cast<int>(nID));
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == NULL || !m_bSubclassed)
        return NULL;
    HWND hWnd = m_hWnd;
    // Give the window back the procedure it had; with none of its own it
    // keeps AfxWndProc, which serves an unbound window with DefWindowProc.
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(m_pfnSuper != NULL ? m_pfnSuper : AfxWndProc));
    CWndInternals::Unbind(this);
    return hWnd;
}

void CWnd::PostNcDestroy()
{
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    // Only the message this window is handling may be passed on.
    if (t_msgLast.hwnd != m_hWnd || m_hWnd == NULL)
        return 0;
    // A reflected notification is no message of the window's class: passing
    // it on means leaving it to the parent.
    if (IsReflectedMessage(t_msgLast.message)) {
        t_bReflectUnhandled = TRUE;
        return 0;
    }
    return DefWindowProc(t_msgLast.message, t_msgLast.wParam, t_msgLast.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL;) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop || !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
            break;
        hWnd = ::GetParent(hWnd);
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (hWndCtrl == NULL)
        return FALSE;   // a menu item or an accelerator: no control to tell
    return ReflectLastMsg(hWndCtrl, WM_COMMAND, wParam, lParam, NULL);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
    if (pNMHDR == NULL || pNMHDR->hwndFrom == NULL || pNMHDR->hwndFrom == m_hWnd)
        return FALSE;
    return ReflectLastMsg(pNMHDR->hwndFrom, WM_NOTIFY, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // While the child handles it, the reflected message is the one it is
    // handling: Default() then knows to leave it to the parent.
    const MSG saved = t_msgLast;
    const BOOL bOuter = t_bReflectUnhandled;
    t_msgLast.hwnd = m_hWnd;
    t_msgLast.message = WM_REFLECT_BASE + message;
    t_msgLast.wParam = wParam;
    t_msgLast.lParam = lParam;
    t_bReflectUnhandled = FALSE;
    LRESULT lResult = 0;
    try {
        lResult = WindowProc(WM_REFLECT_BASE + message, wParam, lParam);
    } catch (...) {
        t_msgLast = saved;
        t_bReflectUnhandled = bOuter;
        throw;
    }
    BOOL bHandled = !t_bReflectUnhandled;
    t_msgLast = saved;
    t_bReflectUnhandled = bOuter;
    if (bHandled && pResult != NULL)
        *pResult = lResult;
    return bHandled;
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (pChild == NULL)
        return FALSE;
    return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    // The owner-draw records come by pointer; a bogus null one (any process
    // can send these messages) goes to the default handling untouched.
    if (lParam == 0 && (message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_DELETEITEM ||
                        message == WM_COMPAREITEM))
        return m_hWnd != NULL ? DefWindowProc(message, wParam, lParam) : 0;
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    case WM_NOTIFY:
        if (OnNotify(wParam, lParam, &lResult))
            return lResult;
        break;
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* pDIS = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (pDIS->CtlType == ODT_MENU) {
            if (AfxDrawMenuItem(pDIS))
                return TRUE;
        } else if (ReflectLastMsg(pDIS->hwndItem, message, wParam, lParam, &lResult)) {
            return TRUE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* pMIS = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (pMIS->CtlType == ODT_MENU) {
            if (AfxMeasureMenuItem(m_hWnd, pMIS))
                return TRUE;
        } else if (ReflectLastMsg(::GetDlgItem(m_hWnd, static_cast<int>(pMIS->CtlID)), message, wParam, lParam,
                                  &lResult)) {
            return TRUE;
        }
        break;
    }
    case WM_DELETEITEM:
        if (ReflectLastMsg(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem, message, wParam, lParam,
                           &lResult))
            return TRUE;
        break;
    case WM_COMPAREITEM:
        if (ReflectLastMsg(reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem, message, wParam, lParam,
                           &lResult))
            return lResult;
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) != m_hWnd &&
            ReflectLastMsg(reinterpret_cast<HWND>(lParam), message, wParam, lParam, &lResult))
            return lResult;
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam != 0 && ReflectLastMsg(reinterpret_cast<HWND>(lParam), message, wParam, lParam, &lResult))
            return 0;
        break;
    case WM_INITMENUPOPUP:
        AfxNoteMenuPopup(reinterpret_cast<HMENU>(wParam));
        break;
    default:
        if (IsReflectedMessage(message)) {
            // A reflected notification nobody handled: the parent carries on.
            t_bReflectUnhandled = TRUE;
            return 0;
        }
        break;
    }
    // What the caller gave, which a derived class may have rewritten, not
    // the message being dispatched.
    return m_hWnd != NULL ? DefWindowProc(message, wParam, lParam) : 0;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != NULL; hChild = ::GetNextWindow(hChild, GW_HWNDNEXT)) {
        ::SendMessageA(hChild, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(hChild) != NULL) {
            CWnd* pChild = FromHandle(hChild);
            pChild->SendMessageToDescendants(message, wParam, lParam, TRUE);
        }
    }
}

CWnd* CWnd::GetParentOwner() const
{
    HWND hWnd = m_hWnd;
    while (hWnd != NULL && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return FromHandle(hWnd);
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND hWnd = m_hWnd;
    for (HWND hParent; hWnd != NULL && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) &&
                       (hParent = ::GetParent(hWnd)) != NULL;)
        hWnd = hParent;
    return FromHandle(hWnd);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = GetStyle();
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(dwNew));
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = GetExStyle();
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(dwNew));
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::GetWindowText(CString& rString) const
{
    int nLen = ::GetWindowTextLengthA(m_hWnd);
    if (nLen <= 0) {
        rString.Empty();
        return;
    }
    LPSTR p = rString.GetBuffer(nLen);
    int nGot = ::GetWindowTextA(m_hWnd, p, nLen + 1);
    rString.ReleaseBuffer(nGot < 0 ? 0 : (nGot > nLen ? nLen : nGot));
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    rString.Empty();
    if (hItem == NULL)
        return 0;
    CWnd* pItem = FromHandle(hItem);
    pItem->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

namespace {

// The work area of the monitor that holds hWnd (the primary one for NULL).
// The monitor functions are bound at run time: Windows 95 and NT 4.0 lack them.
RECT WorkAreaOf(HWND hWnd)
{
    typedef HMONITOR(WINAPI * PFNMONITORFROMWINDOW)(HWND, DWORD);
    typedef BOOL(WINAPI * PFNGETMONITORINFO)(HMONITOR, LPMONITORINFO);
    HMODULE hUser = ::GetModuleHandleA("user32.dll");
    static PFNMONITORFROMWINDOW pfnFromWindow = reinterpret_cast<PFNMONITORFROMWINDOW>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "MonitorFromWindow")));
    static PFNGETMONITORINFO pfnInfo = reinterpret_cast<PFNGETMONITORINFO>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "GetMonitorInfoA")));
    RECT rc;
    if (pfnFromWindow != NULL && pfnInfo != NULL) {
        MONITORINFO mi;
        mi.cbSize = sizeof(mi);
        HMONITOR hMonitor = pfnFromWindow(hWnd, hWnd != NULL ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY);
        if (hMonitor != NULL && pfnInfo(hMonitor, &mi))
            return mi.rcWork;
    }
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rc, 0))
        ::SetRect(&rc, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return rc;
}

} // namespace

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    DWORD dwStyle = GetStyle();
    HWND hCenter = SafeHwnd(pAlternateOwner);
    if (hCenter == NULL)
        hCenter = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);

    RECT rcCenter, rcArea;
    HWND hParent = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : NULL;
    if (hParent != NULL) {
        // Inside the parent's client area, in its coordinates.
        ::GetClientRect(hParent, &rcArea);
        if (hCenter == NULL)
            hCenter = hParent;
        ::GetClientRect(hCenter, &rcCenter);
        ::MapWindowPoints(hCenter, hParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
    } else {
        // A hidden or minimised owner (the hidden main window, say) gives no
        // place to centre on: the screen's work area does.
        if (hCenter != NULL) {
            DWORD dwCenterStyle = static_cast<DWORD>(::GetWindowLongA(hCenter, GWL_STYLE));
            if (!(dwCenterStyle & WS_VISIBLE) || (dwCenterStyle & WS_MINIMIZE))
                hCenter = NULL;
        }
        if (hCenter == NULL) {
            rcArea = WorkAreaOf(NULL);
            rcCenter = rcArea;
        } else {
            ::GetWindowRect(hCenter, &rcCenter);
            rcArea = WorkAreaOf(hCenter);
        }
    }

    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - cx / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - cy / 2;
    // An owner near the edge must not push the window off the screen; a
    // window larger than the area keeps its top-left corner inside.
    if (x + cx > rcArea.right)
        x = rcArea.right - cx;
    if (x < rcArea.left)
        x = rcArea.left;
    if (y + cy > rcArea.bottom)
        y = rcArea.bottom - cy;
    if (y < rcArea.top)
        y = rcArea.top;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    ::InvalidateRgn(m_hWnd, pRgn != NULL ? static_cast<HRGN>(*pRgn) : NULL, bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate != NULL ? static_cast<HRGN>(*prgnUpdate) : NULL, flags);
}

CDC* CWnd::GetDC()
{
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == NULL)
        return NULL;
    CDC* pDC = new CDC;
    pDC->Attach(hDC);
    return pDC;
}

CDC* CWnd::GetWindowDC()
{
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (hDC == NULL)
        return NULL;
    CDC* pDC = new CDC;
    pDC->Attach(hDC);
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (pDC == NULL)
        return 0;
    HDC hDC = pDC->Detach();
    delete pDC;
    return ::ReleaseDC(m_hWnd, hDC);
}

BOOL CWnd::SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags)
{
    // Windows 2000 and later only: bound at run time so the program still
    // starts where the function is missing.
    typedef BOOL(WINAPI * PFN)(HWND, COLORREF, BYTE, DWORD);
    static PFN pfn = reinterpret_cast<PFN>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetLayeredWindowAttributes")));
    return pfn != NULL && pfn(m_hWnd, crKey, bAlpha, dwFlags);
}

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}
