#include "ui3d/controls/3DEdit.h"

#include "services/Languages.h"
#include "framework/Dc.h"
#include "ui3d/menus/3DMenu.h"

#include <algorithm>
#include <cctype>
#include <windowsx.h>

IMPLEMENT_DYNAMIC(C3DEdit, CEdit)
IMPLEMENT_DYNAMIC(CPopUpBigEdit, C3DEdit)
IMPLEMENT_DYNAMIC(CPopUpWnd, CWnd)
IMPLEMENT_DYNAMIC(CPopUpEdit, C3DEdit)

// --- C3DEdit -----------------------------------------------------------------------

C3DEdit::C3DEdit(COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack)
    : m_style(BODYSTYLE::FromSystemColors()), m_clrText(clrText), m_clrBack(clrBack),
      m_hBrush(::CreateSolidBrush(clrBack)), m_bRightDown(0), m_pMenu(NULL)
{
    if (pStyle != NULL)
        m_style = *pStyle;
}

C3DEdit::~C3DEdit()
{
    if (m_hBrush != NULL)
        ::DeleteObject(m_hBrush);
}

void C3DEdit::BuildContextMenu(C3DMenu* pMenu)
{
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    const BOOL bReadOnly = (GetStyle() & ES_READONLY) != 0;
    const BOOL bNoSel = nStart == nEnd;
    const int nLength = GetWindowTextLength();
    auto grey = [](BOOL b) -> UINT { return b ? MF_GRAYED : MF_ENABLED; };
    pMenu->AppendItem(NULL, GetLangString(515), grey(!CanUndo() || bReadOnly), ID_EDITMENU_UNDO);
    pMenu->AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    pMenu->AppendItem(NULL, GetLangString(516), grey(bReadOnly || bNoSel), ID_EDITMENU_CUT);
    pMenu->AppendItem(NULL, GetLangString(517), grey(bNoSel), ID_EDITMENU_COPY);
    pMenu->AppendItem(NULL, GetLangString(518), MF_ENABLED, ID_EDITMENU_PASTE);
    pMenu->AppendItem(NULL, GetLangString(519), grey(bReadOnly || bNoSel), ID_EDITMENU_DELETE);
    pMenu->AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    pMenu->AppendItem(NULL, GetLangString(520), grey(nLength == 0 || (nStart == 0 && nEnd >= nLength)),
                      ID_EDITMENU_SELECTALL);
}

void C3DEdit::DoMenuCommand(UINT nCommand)
{
    switch (nCommand) {
    case ID_EDITMENU_UNDO: SendMessage(EM_UNDO); break;
    case ID_EDITMENU_CUT: SendMessage(WM_CUT); break;
    case ID_EDITMENU_COPY: SendMessage(WM_COPY); break;
    case ID_EDITMENU_PASTE: SendMessage(WM_PASTE); break;
    case ID_EDITMENU_DELETE: SendMessage(WM_CLEAR); break;
    case ID_EDITMENU_SELECTALL:
        SendMessage(EM_SETSEL, 0, -1);
        SendMessage(EM_SCROLLCARET);
        break;
    }
}

void C3DEdit::ShowContextMenu()
{
    if (!IsWindowEnabled())
        return;
    C3DMenu menu;
    if (!menu.CreatePopup(&m_style.textStyle))
        return;
    BuildContextMenu(&menu);
    ::SetForegroundWindow(m_hWnd);
    POINT pt;
    ::GetCursorPos(&pt);
    m_pMenu = &menu;
    const UINT nCommand = menu.Track(this, pt.x, pt.y);
    m_pMenu = NULL;
    // The menu closes properly only after the owner handled one more message.
    PostMessage(WM_NULL);
    if (nCommand != 0)
        DoMenuCommand(nCommand);
}

void C3DEdit::PaintBorder(HDC hDC)
{
    RECT rcWindow, rcClient;
    ::GetWindowRect(m_hWnd, &rcWindow);
    ::GetClientRect(m_hWnd, &rcClient);
    ::MapWindowPoints(m_hWnd, NULL, reinterpret_cast<LPPOINT>(&rcClient), 2);
    ::OffsetRect(&rcClient, -rcWindow.left, -rcWindow.top);
    ::OffsetRect(&rcWindow, -rcWindow.left, -rcWindow.top);
    const DWORD dwStyle = GetStyle();
    const DWORD dwExStyle = GetExStyle();
    CDC dc;
    dc.Attach(hDC);
    if ((dwStyle & WS_BORDER) || (dwExStyle & WS_EX_CLIENTEDGE)) {
        ::InflateRect(&rcClient, 1, 1);
        dc.Draw3dRect(&rcClient, m_style.clrDarkShadow, m_style.clrFace);
        ::InflateRect(&rcClient, 1, 1);
        dc.Draw3dRect(&rcClient, m_style.clrShadow, m_style.clrHighlight);
    } else if (dwExStyle & WS_EX_STATICEDGE) {
        dc.Draw3dRect(&rcWindow, m_style.clrShadow, m_style.clrHighlight);
    } else if (dwExStyle & WS_EX_WINDOWEDGE) {
        dc.Draw3dRect(&rcWindow, m_style.clrHighlight, m_style.clrShadow);
        ::InflateRect(&rcWindow, -1, -1);
        dc.Draw3dRect(&rcWindow, m_style.clrFace, m_style.clrDarkShadow);
    }
    dc.Detach();
}

LRESULT C3DEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MENUCHAR:
        if (m_pMenu != NULL) {
            const int nPos = m_pMenu->FindByMnemonic(static_cast<char>(std::tolower(LOWORD(wParam) & 0xFF)));
            if (nPos >= 0)
                return MAKELRESULT(nPos, MNC_EXECUTE);
            return MAKELRESULT(0, MNC_IGNORE);
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        m_bRightDown = 0;
        return Default();
    case WM_RBUTTONDOWN:
        ::SetFocus(m_hWnd);
        m_bRightDown = 1;
        return 0;
    case WM_RBUTTONUP:
        if (m_bRightDown) {
            m_bRightDown = 0;
            ShowContextMenu();
            return 0;
        }
        return Default();
    case WM_REFLECT_BASE + WM_CTLCOLOREDIT:
    case WM_REFLECT_BASE + WM_CTLCOLORSTATIC:
        // A read-only or disabled edit asks with the static's message.
        ::SetTextColor(reinterpret_cast<HDC>(wParam), m_clrText);
        ::SetBkColor(reinterpret_cast<HDC>(wParam), m_clrBack);
        return reinterpret_cast<LRESULT>(m_hBrush);
    case WM_NCPAINT: {
        // The system draws the scroll bars the style asks for; the skinned
        // frame then goes over its border.
        if (GetStyle() & (WS_VSCROLL | WS_HSCROLL))
            CEdit::WindowProc(message, wParam, lParam);
        HDC hDC = ::GetWindowDC(m_hWnd);
        if (hDC != NULL) {
            PaintBorder(hDC);
            ::ReleaseDC(m_hWnd, hDC);
        }
        return 0;
    }
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

// --- CPopUpBigEdit and CPopUpWnd -------------------------------------------------

LRESULT CPopUpBigEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KILLFOCUS && m_hWndOwner != NULL)
        ::PostMessageA(m_hWndOwner, WM_POPUPCLOSED, reinterpret_cast<WPARAM>(m_hWndPopup), 0);
    return C3DEdit::WindowProc(message, wParam, lParam);
}

CPopUpWnd::CPopUpWnd(int cxMin, int cyMin, COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack)
    : m_edit(clrText, pStyle, clrBack), m_pOwner(NULL), m_cxMin(cxMin), m_cyMin(cyMin)
{
}

BOOL CPopUpWnd::Open(CPopUpEdit* pOwner, POINT ptClick)
{
    m_pOwner = pOwner;
    RECT rc;
    pOwner->GetWindowRect(&rc);
    const DWORD dwOwnerStyle = pOwner->GetStyle();
    rc.right = rc.left + std::max(static_cast<int>(rc.right - rc.left), m_cxMin);
    if (dwOwnerStyle & ES_MULTILINE)
        rc.bottom = rc.top + std::max(static_cast<int>(rc.bottom - rc.top), m_cyMin);
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC, ::LoadCursorA(NULL, IDC_ARROW));
    if (!CreateEx(WS_EX_TOPMOST, lpszClass, "", WS_POPUP | WS_BORDER, rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top, pOwner->m_hWnd, NULL))
        return FALSE;

    RECT rcClient;
    GetClientRect(&rcClient);
    const DWORD dwEditStyle = (dwOwnerStyle | ES_MULTILINE | WS_CHILD | WS_VISIBLE) & ~static_cast<DWORD>(WS_DISABLED);
    if (!m_edit.CreateEx(0, "EDIT", NULL, dwEditStyle, rcClient, this, 1)) {
        DestroyWindow();
        return FALSE;
    }
    m_edit.m_hWndPopup = m_hWnd;
    m_edit.m_hWndOwner = pOwner->m_hWnd;
    m_edit.SetFont(pOwner->GetFont(), FALSE);
    CString strText;
    pOwner->GetWindowText(strText);
    m_edit.SetWindowText(strText);
    ::SetWindowLongA(m_edit.m_hWnd, GWL_EXSTYLE, static_cast<LONG>(pOwner->GetExStyle()));
    m_edit.SetWindowPos(static_cast<const CWnd*>(NULL), 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    // The text sits where it sat in the small edit: the same margins.
    RECT rcOwnerClient, rcOwnerFormat, rcBig, rcFormat;
    pOwner->GetClientRect(&rcOwnerClient);
    pOwner->GetRect(&rcOwnerFormat);
    m_edit.GetClientRect(&rcBig);
    if (dwOwnerStyle & ES_MULTILINE) {
        rcFormat.left = rcBig.left + (rcOwnerFormat.left - rcOwnerClient.left);
        rcFormat.top = rcBig.top + (rcOwnerFormat.top - rcOwnerClient.top);
        rcFormat.right = rcBig.right - (rcOwnerClient.right - rcOwnerFormat.right);
        rcFormat.bottom = rcBig.bottom - (rcOwnerClient.bottom - rcOwnerFormat.bottom);
    } else {
        const DWORD dwMargins = static_cast<DWORD>(pOwner->SendMessage(EM_GETMARGINS));
        rcFormat.left = LOWORD(dwMargins);
        rcFormat.right = rcBig.right - HIWORD(dwMargins);
        rcFormat.top = rcOwnerFormat.top;
        rcFormat.bottom = rcOwnerFormat.bottom;
    }
    m_edit.SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rcFormat));

    int nStart = 0, nEnd = 0;
    pOwner->GetSel(nStart, nEnd);
    if (nStart != nEnd)
        m_edit.SetSel(nStart, nEnd);
    ShowWindow(SW_SHOW);
    m_edit.SetFocus();

    // The click that opened the popup places the caret in it.
    if (ptClick.x != 0 || ptClick.y != 0) {
        POINT pt = ptClick;
        ::MapWindowPoints(pOwner->m_hWnd, m_edit.m_hWnd, &pt, 1);
        m_edit.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        m_edit.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    }
    return TRUE;
}

void CPopUpWnd::NotifyClosed()
{
    if (m_pOwner != NULL && m_pOwner->m_hWnd != NULL)
        ::PostMessageA(m_pOwner->m_hWnd, WM_POPUPCLOSED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

LRESULT CPopUpWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        if (m_edit.m_hWnd != NULL)
            m_edit.DestroyWindow();
        return Default();
    case WM_ACTIVATEAPP:
        if (!wParam)
            NotifyClosed();
        return Default();
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            NotifyClosed();
        return Default();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// --- CPopUpEdit ----------------------------------------------------------------------

CPopUpEdit::CPopUpEdit(COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack)
    : C3DEdit(clrText, pStyle, clrBack), m_pPopup(NULL), m_ptClick{0, 0}
{
}

CPopUpEdit::~CPopUpEdit()
{
    delete m_pPopup;
}

BOOL CPopUpEdit::Attach(const SIZE* pEditorSize, UINT nID, CWnd* pDialog)
{
    if (m_pPopup != NULL) {
        if (m_pPopup->m_hWnd != NULL)
            m_pPopup->DestroyWindow();
        delete m_pPopup;
        m_pPopup = NULL;
    }
    if (pEditorSize != NULL)
        m_pPopup = new CPopUpWnd(pEditorSize->cx, pEditorSize->cy, m_clrText, &m_style, m_clrBack);
    m_bRightDown = 0;
    return SubclassDlgItem(nID, pDialog);
}

BOOL CPopUpEdit::IsPopupOpen() const
{
    return m_pPopup != NULL && m_pPopup->m_hWnd != NULL && ::IsWindow(m_pPopup->m_hWnd);
}

void CPopUpEdit::OpenPopup(BOOL bOpen)
{
    if (bOpen) {
        if (m_pPopup != NULL && !IsPopupOpen())
            m_pPopup->Open(this, m_ptClick);
        return;
    }
    if (!IsPopupOpen())
        return;
    // Whatever closes the popup, the text typed there is kept.
    m_ptClick.x = m_ptClick.y = 0;
    CString strText;
    m_pPopup->m_edit.GetWindowText(strText);
    SetWindowText(strText);
    m_pPopup->DestroyWindow();
}

LRESULT CPopUpEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        OpenPopup(FALSE);
        return Default();
    case WM_POPUPCLOSED:
        if (!IsPopupOpen() || reinterpret_cast<HWND>(wParam) != m_pPopup->m_hWnd)
            return 0;
        if (::GetFocus() == m_hWnd)
            ::SetFocus(NULL);
        OpenPopup(FALSE);
        return 0;
    case WM_SETFOCUS:
        if (m_pPopup == NULL)
            break;
        // An edit with a popup editor never keeps the focus: its popup takes it.
        ::SetFocus(NULL);
        if (!IsPopupOpen() && IsWindowEnabled())
            OpenPopup(TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        m_ptClick.x = GET_X_LPARAM(lParam);
        m_ptClick.y = GET_Y_LPARAM(lParam);
        m_bRightDown = 0;
        return Default();
    }
    return C3DEdit::WindowProc(message, wParam, lParam);
}
