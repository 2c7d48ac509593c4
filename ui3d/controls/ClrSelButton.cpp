#include "ui3d/controls/ClrSelButton.h"

#include "collection/Sequence.h"
#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/Gradients.h"

IMPLEMENT_DYNAMIC(CClrSelButton, CControlBase)

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
    // Like the link button's class: class and parent DCs, no cursor of its own.
    return CreateEx(0, AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, NULL), "", dwStyle, rect, pParent, nID);
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
    Choose();
}

// A click or Space: this swatch becomes the chosen one, and the parent hears of it.
void CClrSelButton::Choose()
{
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
    // A swatch reached with the keyboard shows the focus inside its frame.
    if (m_hWnd != NULL && ::GetFocus() == m_hWnd && m_nClientWidth > 6 && m_nClientHeight > 6) {
        const RECT rc = {3, 3, m_nClientWidth - 3, m_nClientHeight - 3};
        ::DrawFocusRect(pDC->m_hDC, &rc);
    }
}

LRESULT CClrSelButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(FALSE);
        break;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            Choose();
            return 0;
        }
        break;
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
