#include "ui3d/controls/LinkButton.h"

#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

IMPLEMENT_DYNAMIC(CLinkButton, CControlBase)

CLinkButton::CLinkButton() : m_clrText(0xFFFFFF), m_hOwnCursor(NULL), m_bShowHover(FALSE), m_bSpaceDown(FALSE)
{
}

CLinkButton::~CLinkButton()
{
    if (m_hOwnCursor != NULL)
        ::DestroyCursor(m_hOwnCursor);
}

BOOL CLinkButton::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    // A class without a cursor of its own: the link sets the hand itself.
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, NULL);
    if (!CreateEx(0, lpszClass, "", dwStyle, rect, pParent, nID))
        return FALSE;
    SetWindowText(lpszText != NULL ? lpszText : "");
    return TRUE;
}

// A pointing hand of 32 x 32 with its finger tip at (10, 10), for systems
// without IDC_HAND.
static HCURSOR CreateHandCursor()
{
    BYTE andMask[32 * 4], xorMask[32 * 4];
    memset(andMask, 0xFF, sizeof(andMask));
    memset(xorMask, 0x00, sizeof(xorMask));
    auto set = [&](int x, int y, bool bWhite) {
        andMask[y * 4 + x / 8] &= BYTE(~(0x80 >> (x % 8)));
        if (bWhite)
            xorMask[y * 4 + x / 8] |= BYTE(0x80 >> (x % 8));
    };
    for (int y = 10; y <= 28; ++y) {
        const int left = y < 17 ? 9 : 6;
        const int right = y < 17 ? 12 : 19;
        for (int x = left; x <= right; ++x) {
            const bool bEdge = x == left || x == right || y == 10 || y == 28 || (y == 17 && x > 12);
            set(x, y, !bEdge);
        }
    }
    return ::CreateCursor(::GetModuleHandleA(NULL), 10, 10, 32, 32, andMask, xorMask);
}

void CLinkButton::OnCreated()
{
    m_font.DeleteObject();
    m_font.Attach(CreateParentFontCopy(m_hWnd, FALSE));
    TakeBackgroundSnapshot();
    HCURSOR hCursor = ::LoadCursorA(NULL, MAKEINTRESOURCEA(32649));   // IDC_HAND
    if (hCursor == NULL) {
        if (m_hOwnCursor == NULL)
            m_hOwnCursor = CreateHandCursor();
        hCursor = m_hOwnCursor;
    }
    m_hCursor = hCursor;
    if (hCursor != NULL)
        ::SetCursor(hCursor);
}

void CLinkButton::OnDestroying()
{
    m_font.DeleteObject();
    m_bmpBack.DeleteObject();
    if (m_hOwnCursor != NULL) {
        m_hCursor = NULL;
        ::DestroyCursor(m_hOwnCursor);
        m_hOwnCursor = NULL;
    }
}

void CLinkButton::TakeBackgroundSnapshot()
{
    m_bmpBack.DeleteObject();
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (rc.right <= 0 || rc.bottom <= 0)
        return;
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, rc.right, rc.bottom);
    ::ReleaseDC(NULL, hScreen);
    if (hBitmap == NULL)
        return;
    m_bmpBack.Attach(hBitmap);
    CSelectedBitmapDC mem(NULL, hBitmap);
    if (mem.m_hDC == NULL)
        return;
    ::PatBlt(mem.m_hDC, 0, 0, rc.right, rc.bottom, WHITENESS);
    PrintParentBackground(m_hWnd, mem.m_hDC);
}

void CLinkButton::OnDisplayChanged()
{
    TakeBackgroundSnapshot();
    Invalidate(FALSE);
}

void CLinkButton::SetHover(BOOL bHover)
{
    m_bShowHover = bHover;
    Invalidate(FALSE);
}

void CLinkButton::OnMouseEnter()
{
    Invalidate(FALSE);
}

void CLinkButton::OnMouseLeave()
{
    Invalidate(FALSE);
}

void CLinkButton::ReportClick()
{
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL)
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CLinkButton::OnLButtonDown(UINT, int, int)
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    // The click counts on the press, not on the release.
    ReportClick();
}

LRESULT CLinkButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter opens the link rather than pressing the default button.
        const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (pMsg != NULL && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE;
        return 0;
    }
    case WM_KEYDOWN:
        // A held key repeats its WM_KEYDOWN (bit 30: it was down already).
        if (wParam == VK_RETURN && !(lParam & 0x40000000))
            ReportClick();
        else if (wParam == VK_SPACE)
            m_bSpaceDown = TRUE;
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && m_bSpaceDown) {
            m_bSpaceDown = FALSE;
            ReportClick();
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_bSpaceDown = FALSE;
        Invalidate(FALSE);
        break;
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}

void CLinkButton::Paint(CDC* pDC, int, int, int, int)
{
    HDC hDC = pDC->m_hDC;
    RECT rc = {0, 0, m_nClientWidth, m_nClientHeight};
    if (m_bmpBack.m_hObject != NULL) {
        CSelectedBitmapDC back(hDC, static_cast<HBITMAP>(m_bmpBack.m_hObject));
        ::BitBlt(hDC, 0, 0, rc.right, rc.bottom, back.m_hDC, 0, 0, SRCCOPY);
    }
    HFONT hUnderlined = NULL;
    HFONT hFont = static_cast<HFONT>(m_font.m_hObject);
    if (IsUnderlined() && hFont != NULL) {
        LOGFONTA lf;
        if (::GetObjectA(hFont, sizeof(lf), &lf) == sizeof(lf)) {
            lf.lfUnderline = TRUE;
            hUnderlined = ::CreateFontIndirectA(&lf);
        }
    }
    const int nSaved = ::SaveDC(hDC);
    if (hUnderlined != NULL || hFont != NULL)
        ::SelectObject(hDC, hUnderlined != NULL ? hUnderlined : hFont);
    ::SetTextColor(hDC, m_clrText);
    ::SetBkMode(hDC, TRANSPARENT);
    CString str;
    GetWindowText(str);
    ::DrawTextA(hDC, str, str.GetLength(), &rc, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOCLIP);
    if (::GetFocus() == m_hWnd) {
        // Around the text, which stands at the right edge.
        RECT rcText = rc;
        ::DrawTextA(hDC, str, str.GetLength(), &rcText, DT_SINGLELINE | DT_CALCRECT);
        const int cxText = rcText.right - rcText.left + 2, cyText = rcText.bottom - rcText.top;
        RECT rcFocus = {rc.right - cxText, (rc.bottom - cyText) / 2, rc.right, (rc.bottom + cyText) / 2};
        if (rcFocus.left < 0)
            rcFocus.left = 0;
        ::SetTextColor(hDC, RGB(0, 0, 0));
        ::SetBkColor(hDC, RGB(255, 255, 255));
        ::DrawFocusRect(hDC, &rcFocus);
    }
    ::RestoreDC(hDC, nSaved);
    if (hUnderlined != NULL)
        ::DeleteObject(hUnderlined);
}
