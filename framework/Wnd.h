// CWnd: a window handle with its C++ object. One window procedure (AfxWndProc)
// serves every window the framework created or subclassed; it finds the object
// in the handle map and calls its virtual WindowProc, where each class
// dispatches with a switch and hands the rest to Default(). The parent
// reflects control notifications (WM_COMMAND from a control, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM, WM_COMPAREITEM, WM_CTLCOLOR*,
// WM_HSCROLL/WM_VSCROLL from a scroll bar) to the child's object, which sees
// them as WM_REFLECT_BASE + message. After WM_NCDESTROY the object is detached
// and PostNcDestroy runs; a window that deletes itself does it there.
#pragma once

#include "framework/Object.h"
#include "framework/Geometry.h"
#include "framework/Str.h"

class CDC;
class CMenu;
class CRgn;

// A reflected notification arrives at the child as WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

// Id of a message registered by name at run time. Stays 0 when never
// registered (a caller may skip registration on some systems); an id of 0
// then matches no message, not even WM_NULL.
class CRegisteredMessage
{
public:
    CRegisteredMessage() : m_nId(0) {}
    explicit CRegisteredMessage(LPCSTR lpszName) : m_nId(::RegisterWindowMessageA(lpszName)) {}
    UINT Register(LPCSTR lpszName) { return m_nId = ::RegisterWindowMessageA(lpszName); }
    BOOL Is(UINT message) const { return m_nId != 0 && message == m_nId; }
    operator UINT() const { return m_nId; }

private:
    UINT m_nId;
};

// The framework's window procedure; a class registered with it binds its
// windows to the object passed to CreateEx.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once) a window class with AfxWndProc and the given styles, cursor,
// background and icon, and returns its generated name. The name stays valid
// for the life of the process.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = NULL, HBRUSH hbrBackground = NULL,
                           HICON hIcon = NULL);

class CWnd : public CObject
{
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    // Destroys a window the object still owns (one it created or subclassed).
    ~CWnd() override;

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The handle of pWnd, NULL for a NULL pointer (a member cannot test "this").
    static HWND PASCAL SafeHwnd(const CWnd* pWnd) { return pWnd != NULL ? pWnd->m_hWnd : NULL; }

    // --- handle map ----------------------------------------------------------
    // The object bound to hWnd, or a temporary view of it (deleted at the
    // thread's next idle time; never keep it). NULL for a NULL handle.
    static CWnd* PASCAL FromHandle(HWND hWnd);
    // The object bound to hWnd by creation, subclassing or Attach, else NULL.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    // Frees this thread's temporary views (the idle loop calls it).
    static void PASCAL DeleteTempMap();
    // Binds an existing window to this object without subclassing it: the
    // object is a view, its deletion leaves the window alive.
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // --- creation and destruction ---------------------------------------------
    // May adjust the creation values; FALSE cancels the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                          LPVOID lpParam = NULL);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = NULL);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();
    // Routes hWnd's messages through this object; FALSE when the window is
    // bound to another object already or does not exist.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Gives the window its previous procedure back and unbinds it.
    HWND UnsubclassWindow();

    // --- messages --------------------------------------------------------------
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The previous procedure of the window (the class's own, or DefWindowProc).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes the message being handled on to DefWindowProc.
    LRESULT Default();
    // TRUE when the message was handled and must not be translated or dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to PreTranslateMessage of each window object from pMsg->hwnd
    // up to hWndStop (included) or the top-level window.
    static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Command and notification handling called by the default WindowProc.
    // TRUE: handled (a control's own object took the reflected message).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called on the child with a message its parent received for it; the
    // default reflects it to WindowProc as WM_REFLECT_BASE + message.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers a message from a child to that child's object; TRUE when it handled it.
    static BOOL PASCAL ReflectLastMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT* pResult);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    // Sends to a window of this thread, posts to one of another thread without waiting.
    BOOL SendNotifyMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendNotifyMessageA(m_hWnd, message, wParam, lParam);
    }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);

    // --- family ---------------------------------------------------------------
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, SafeHwnd(pWndNewParent))); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    // The first ancestor (parent or owner) that is not a child window.
    CWnd* GetParentOwner() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, SafeHwnd(pWnd)); }
    static CWnd* PASCAL GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* PASCAL GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    static CWnd* PASCAL WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
    static CWnd* PASCAL FindWindow(LPCSTR lpszClassName, LPCSTR lpszWindowName)
    {
        return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
    }

    // --- state and style ------------------------------------------------------------
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }

    // --- text and font ------------------------------------------------------------
    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const
    {
        return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
    }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
    }

    // --- geometry ---------------------------------------------------------------
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
    {
        ::MapWindowPoints(m_hWnd, SafeHwnd(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
    }
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
    {
        ::MapWindowPoints(m_hWnd, SafeHwnd(pwndTo), lpPoint, nCount);
    }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                   bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, SafeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags);
    }
    // For the HWND_TOP / HWND_TOPMOST / HWND_NOTOPMOST / HWND_BOTTOM values.
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    // Centres a popup over its owner (or pAlternateOwner), a child inside its
    // parent; without a visible owner over the screen's work area. The result
    // is kept inside the work area (the parent's client area for a child).
    void CenterWindow(CWnd* pAlternateOwner = NULL);
    CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }

    // --- painting ---------------------------------------------------------------
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, NULL, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, CRgn* prgnUpdate = NULL,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
    // The window's DCs wrapped in temporary CDC objects; give them back with ReleaseDC.
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);
    // Takes ownership of hRgn on success (the system deletes it), as SetWindowRgn.
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    int GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(m_hWnd, hRgn); }
    // Layered-window attributes; FALSE where the system has no layered windows.
    BOOL SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags);

    // --- input ------------------------------------------------------------------
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* PASCAL GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
    static CWnd* PASCAL GetActiveWindow() { return FromHandle(::GetActiveWindow()); }

    // --- timers and menus ---------------------------------------------------------
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = NULL)
    {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CMenu* GetMenu() const;
    CMenu* GetSystemMenu(BOOL bRevert) const;

protected:
    // Runs after WM_NCDESTROY, when the object is no longer bound to the window.
    virtual void PostNcDestroy();
    // The base handling of WM_DESTROY, for a derived handler to finish with.
    void OnDestroy() { Default(); }

    // The procedure the window had before the framework subclassed it.
    WNDPROC m_pfnSuper;

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend struct CWndInternals;

    BOOL m_bTemporary;   // a view made by FromHandle: never destroys its window
    BOOL m_bSubclassed;  // the window's messages come through AfxWndProc

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
};

// The window procedure's message currently handled on this thread (what
// Default() passes on); valid inside WindowProc.
const MSG* AfxGetCurrentMessage();

// For window kinds created by the system on the framework's behalf (dialogs):
// the next window created on this thread binds to pWnd, subclassed before
// its first message. AfxUnhookWindowCreate ends the wait and tells whether
// a window was bound.
void AfxHookWindowCreate(CWnd* pWnd);
BOOL AfxUnhookWindowCreate();
// Ends the wait after the creation call that made hWnd (NULL: it failed).
// TRUE when hWnd was made and bound; a window made but not bound is destroyed.
BOOL AfxEndWindowCreate(HWND hWnd);
