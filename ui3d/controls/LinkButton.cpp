#include "ui3d/controls/LinkButton.h"

#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/Gradients.h"

IMPLEMENT_DYNAMIC(CLinkButton, CControlBase)
IMPLEMENT_DYNAMIC(CClrSelButton, CControlBase)

// Link and colour buttons: a class with class and parent DCs and no cursor
// of its own (the link sets the hand itself).
static LPCSTR ButtonClass()
{
    return AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, NULL);
}

// --- CLinkButton -------------------------------------------------------------------

CLinkButton::CLinkButton() : m_clrText(0xFFFFFF), m_hOwnCursor(NULL), m_bShowHover(FALSE)
{
}

CLinkButton::~CLinkButton()
{
    if (m_hOwnCursor != NULL)
        ::DestroyCursor(m_hOwnCursor);
}

BOOL CLinkButton::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    if (!CreateEx(0, ButtonClass(), "", dwStyle, rect, pParent, nID))
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
    HDC hMem = ::CreateCompatibleDC(NULL);
    if (hMem == NULL)
        return;
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::PatBlt(hMem, 0, 0, rc.right, rc.bottom, WHITENESS);
    PrintParentBackground(m_hWnd, hMem);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
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

void CLinkButton::OnLButtonDown(UINT, int, int)
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    // The click counts on the press, not on the release.
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL)
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CLinkButton::Paint(CDC* pDC, int, int, int, int)
{
    HDC hDC = pDC->m_hDC;
    RECT rc = {0, 0, m_nClientWidth, m_nClientHeight};
    if (m_bmpBack.m_hObject != NULL) {
        HDC hMem = ::CreateCompatibleDC(hDC);
        HGDIOBJ hOld = ::SelectObject(hMem, m_bmpBack.m_hObject);
        ::BitBlt(hDC, 0, 0, rc.right, rc.bottom, hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, hOld);
        ::DeleteDC(hMem);
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
    ::RestoreDC(hDC, nSaved);
    if (hUnderlined != NULL)
        ::DeleteObject(hUnderlined);
}

// --- CClrSelButton ---------------------------------------------------------------

// Every live colour button of the program, in the order of construction, and
// the index of the selected one (-1: none).
static CSequence<CClrSelButton*> s_swatches;
static int s_nSelectedSwatch = -1;

CClrSelButton::CClrSelButton(const BODYSTYLE* pStyle, COLORREF clr)
    : m_bSelected(0), m_style(BODYSTYLE::FromSystemColors()), m_clr(clr)
{
    if (pStyle != NULL)
        m_style = *pStyle;
    m_style.nGradientKind = 3;
    m_style.nLightenPercent = 85;
    m_style.nDarkenPercent = 30;
    if (s_swatches.GetSize() == 0)
        s_nSelectedSwatch = -1;
    s_swatches.Add(this);
}

CClrSelButton::~CClrSelButton()
{
    for (int i = s_swatches.GetSize() - 1; i >= 0; --i) {
        if (s_swatches[i] != this)
            continue;
        s_swatches.RemoveAt(i);
        // The index must keep naming the selected swatch: the ones after the
        // removed one move down by one, and a removed selected one leaves none.
        if (s_nSelectedSwatch == i)
            s_nSelectedSwatch = -1;
        else if (s_nSelectedSwatch > i)
            --s_nSelectedSwatch;
        break;
    }
    if (s_nSelectedSwatch >= s_swatches.GetSize())
        s_nSelectedSwatch = -1;
}

int CClrSelButton::GetCount()
{
    return s_swatches.GetSize();
}

CClrSelButton* CClrSelButton::GetAt(int nIndex)
{
    return nIndex >= 0 && nIndex < s_swatches.GetSize() ? s_swatches[nIndex] : NULL;
}

int CClrSelButton::GetSelectedIndex()
{
    return s_nSelectedSwatch;
}

CClrSelButton* CClrSelButton::GetSelected()
{
    return GetAt(s_nSelectedSwatch);
}

BOOL CClrSelButton::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    return CreateEx(0, ButtonClass(), "", dwStyle, rect, pParent, nID);
}

void CClrSelButton::OnCreated()
{
    m_bSelected = 0;
}

static void RepaintSwatch(CClrSelButton* pButton)
{
    if (pButton->m_hWnd != NULL)
        pButton->Invalidate(FALSE);
}

void CClrSelButton::Select()
{
    CClrSelButton* pOld = GetSelected();
    if (pOld != NULL && pOld != this) {
        pOld->m_bSelected = 0;
        RepaintSwatch(pOld);
    }
    m_bSelected = 1;
    RepaintSwatch(this);
    for (int i = s_swatches.GetSize() - 1; i >= 0; --i) {
        if (s_swatches[i] == this) {
            s_nSelectedSwatch = i;
            break;
        }
    }
}

LRESULT CClrSelButton::SelectByColor(COLORREF clr)
{
    for (int i = s_swatches.GetSize() - 1; i >= 0; --i) {
        if (s_swatches[i]->m_clr == clr) {
            s_swatches[i]->Select();
            return clr;
        }
    }
    CClrSelButton* pOld = GetSelected();
    if (pOld == NULL)
        return clr;
    pOld->m_bSelected = 0;
    RepaintSwatch(pOld);
    s_nSelectedSwatch = -1;
    return pOld->m_clr;
}

void CClrSelButton::OnLButtonDown(UINT, int, int)
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    if (GetSelected() == this)
        return;
    Select();
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL)
        ::SendNotifyMessageA(hParent, WM_CLRSELCHANGED, reinterpret_cast<WPARAM>(m_hWnd), static_cast<LPARAM>(m_clr));
}

void CClrSelButton::PaintSwatch(HDC hDC, int cx, int cy, BOOL bSelected) const
{
    COLORREF clrLight, clrDark;
    GetFaceColors(m_clr, m_style.nLightenPercent, m_style.nDarkenPercent, &clrLight, &clrDark);
    const COLORREF clrFrameDark = (m_style.nFlags & 0x01) ? m_style.clrDarkShadow : m_style.clrShadow;
    CDC dc;
    dc.Attach(hDC);
    if (bSelected) {
        DrawGradientFrame(clrLight, hDC, 1, 1, cx, cy, m_clr, clrDark, m_style.nGradientKind);
        dc.Draw3dRect(0, 0, cx, cy, clrFrameDark, m_style.clrHighlight);
    } else {
        DrawGradientFrame(clrLight, hDC, 0, 0, cx - 1, cy - 1, m_clr, clrDark, m_style.nGradientKind);
        dc.Draw3dRect(0, 0, cx, cy, m_style.clrHighlight, clrFrameDark);
    }
    dc.Detach();
}

void CClrSelButton::Paint(CDC* pDC, int, int, int, int)
{
    PaintSwatch(pDC->m_hDC, m_nClientWidth, m_nClientHeight, m_bSelected);
}

LRESULT CClrSelButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLRSELSET:
        if (lParam != 0)
            m_style = *reinterpret_cast<const BODYSTYLE*>(lParam);
        return SelectByColor(static_cast<COLORREF>(wParam));
    case WM_CLRSELGET: {
        if (lParam != 0) {
            BODYSTYLE* pStyle = reinterpret_cast<BODYSTYLE*>(lParam);
            *pStyle = m_style;
            pStyle->cbSize = BODYSTYLE_SIZE;
        }
        const CClrSelButton* pSelected = GetSelected();
        return pSelected != NULL ? pSelected->m_clr : 0;
    }
    case WM_SETBODYSTYLE:
        return 0;
    case WM_GETBODYSTYLE:
        if (lParam != 0) {
            BODYSTYLE* pStyle = reinterpret_cast<BODYSTYLE*>(lParam);
            *pStyle = m_style;
            pStyle->cbSize = BODYSTYLE_SIZE;
        }
        return m_clr;
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}
