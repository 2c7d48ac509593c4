#include "ui3d/controls/3DGroupBox.h"

#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(C3DGroupBox, CWnd)

C3DGroupBox::C3DGroupBox(const BODYSTYLE* pStyle)
    : m_nIndent(8), m_nGap(3), m_style(BODYSTYLE::FromSystemColors()), m_bDestroyed(1), m_dwExStyle(0),
      m_rcCaption{0, 0, 0, 0}, m_rcFrame{0, 0, 0, 0}
{
    if (pStyle != NULL)
        m_style = *pStyle;
}

C3DGroupBox::~C3DGroupBox()
{
}

BOOL C3DGroupBox::Create(LPCSTR lpszText, DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    m_dwExStyle = dwExStyle;
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, ::LoadCursorA(NULL, IDC_ARROW));
    return CreateEx(0, lpszClass, lpszText, dwStyle, rect, pParent, nID);
}

static BOOL IsPlainGroupFrame(DWORD dwExStyle)
{
    return !(dwExStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
}

void C3DGroupBox::Layout()
{
    RECT rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    CString str;
    GetWindowText(str);

    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ hOld = m_font.m_hObject != NULL ? ::SelectObject(hDC, m_font.m_hObject) : NULL;
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hDC, &tm);
    SIZE ext = {0, tm.tmHeight};
    if (!str.IsEmpty())
        ::GetTextExtentPoint32A(hDC, str, str.GetLength(), &ext);
    if (hOld != NULL)
        ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);

    const int cxMax = std::max(0, static_cast<int>(rcClient.right - 2 * m_nIndent));
    const int cx = std::min(static_cast<int>(ext.cx), cxMax);
    const DWORD dwAlign = GetStyle() & BS_CENTER;
    int left = m_nIndent;
    if (dwAlign == BS_RIGHT)
        left = rcClient.right - m_nIndent - m_nGap - cx;
    else if (dwAlign == BS_CENTER)
        left = (rcClient.right - cx) / 2;
    ::SetRect(&m_rcCaption, left, 0, left + cx, ext.cy);

    m_rcFrame = rcClient;
    if (IsPlainGroupFrame(m_dwExStyle)) {
        m_rcFrame.top = ext.cy / 2;
        m_rcFrame.right -= 1;
        m_rcFrame.bottom -= 1;
    }

    // Only the frame and the caption belong to the window: clicks inside the
    // box reach the controls there, and painting leaves them alone.
    RECT rcOuter = m_rcFrame;
    if (IsPlainGroupFrame(m_dwExStyle)) {
        rcOuter.right += 1;   // the light line lies one pixel right of and below the dark one
        rcOuter.bottom += 1;
    }
    const int nInset = (m_dwExStyle & WS_EX_STATICEDGE) ? 1 : 2;
    HRGN hRgn = ::CreateRectRgnIndirect(&rcOuter);
    HRGN hInner = ::CreateRectRgn(rcOuter.left + nInset, rcOuter.top + nInset, rcOuter.right - nInset,
                                  rcOuter.bottom - nInset);
    ::CombineRgn(hRgn, hRgn, hInner, RGN_XOR);
    if (!::IsRectEmpty(&m_rcCaption)) {
        HRGN hCaption = ::CreateRectRgnIndirect(&m_rcCaption);
        ::CombineRgn(hRgn, hRgn, hCaption, RGN_OR);
        ::DeleteObject(hCaption);
    }
    ::DeleteObject(hInner);
    if (!SetWindowRgn(hRgn, TRUE))
        ::DeleteObject(hRgn);
}

void C3DGroupBox::Paint(HDC hDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    CDC dc;
    dc.Attach(hDC);
    const BODYSTYLE& s = m_style;
    if (m_dwExStyle & WS_EX_DLGMODALFRAME) {
        dc.Draw3dRect(&rc, s.clrHighlight, s.clrShadow);
        ::InflateRect(&rc, -1, -1);
        dc.Draw3dRect(&rc, s.clrFace, s.clrDarkShadow);
    } else if (m_dwExStyle & WS_EX_CLIENTEDGE) {
        dc.Draw3dRect(&rc, s.clrShadow, s.clrHighlight);
        ::InflateRect(&rc, -1, -1);
        dc.Draw3dRect(&rc, s.clrDarkShadow, s.clrFace);
    } else if (m_dwExStyle & WS_EX_STATICEDGE) {
        dc.Draw3dRect(&rc, s.clrShadow, s.clrHighlight);
    } else {
        COLORREF clrDark = (s.nFlags & 0x01) ? s.clrDarkShadow : s.clrShadow;
        COLORREF clrLight = s.clrHighlight;
        if (s.nFlags & 0x02)
            std::swap(clrDark, clrLight);
        const RECT& f = m_rcFrame;
        const BOOL bOpen = !::IsRectEmpty(&m_rcCaption);
        for (int pass = 0; pass < 2; ++pass) {
            const int o = pass;   // the light line runs one pixel right of and below the dark one
            HPEN hPen = ::CreatePen(PS_SOLID, 1, pass == 0 ? clrDark : clrLight);
            HGDIOBJ hOldPen = ::SelectObject(hDC, hPen);
            const int l = f.left + o, t = f.top + o, r = f.right - 1 + o, b = f.bottom - 1 + o;
            if (bOpen) {
                const POINT pts[] = {{m_rcCaption.left - m_nGap, t}, {l, t}, {l, b}, {r, b}, {r, t},
                                     {m_rcCaption.right + m_nGap, t}};
                ::Polyline(hDC, pts, 6);
            } else {
                const POINT pts[] = {{l, t}, {l, b}, {r, b}, {r, t}, {l, t}};
                ::Polyline(hDC, pts, 5);
            }
            ::SelectObject(hDC, hOldPen);
            ::DeleteObject(hPen);
        }
        if (bOpen) {
            CString str;
            GetWindowText(str);
            const int nSaved = ::SaveDC(hDC);
            ::IntersectClipRect(hDC, m_rcCaption.left, m_rcCaption.top, m_rcCaption.right, m_rcCaption.bottom);
            if (m_font.m_hObject != NULL)
                ::SelectObject(hDC, m_font.m_hObject);
            ::SetBkMode(hDC, TRANSPARENT);
            DrawStyledText(hDC, str, m_rcCaption, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX, s, (s.nFlags & 0x10) != 0);
            ::RestoreDC(hDC, nSaved);
        }
    }
    dc.Detach();
}

LRESULT C3DGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return ValidateOnly(m_hWnd);
    case WM_PRINT:
        return PrintThroughErase(m_hWnd, wParam, lParam);
    case WM_PRINTCLIENT:
        return 0;
    case WM_ERASEBKGND:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_DESTROY:
        m_font.DeleteObject();
        Default();
        m_bDestroyed = 1;
        return 0;
    case WM_CREATE: {
        m_bDestroyed = 0;
        m_font.DeleteObject();
        m_font.Attach(CreateParentFontCopy(m_hWnd));
        const LRESULT lResult = Default();
        Layout();
        return lResult;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font.m_hObject);
    case WM_SETFONT: {
        LOGFONTA lf;
        HFONT hFont = reinterpret_cast<HFONT>(wParam);
        if (hFont == NULL || ::GetObjectA(hFont, sizeof(lf), &lf) != sizeof(lf))
            return 0;
        m_font.DeleteObject();
        m_font.Attach(::CreateFontIndirectA(&lf));
        Layout();
        if (lParam != 0) {
            HDC hDC = ::GetDC(m_hWnd);
            if (hDC != NULL) {
                Paint(hDC);
                ::ReleaseDC(m_hWnd, hDC);
            }
        }
        return 1;
    }
    case WM_GETTOOLRECT:
        if (::IsRectEmpty(&m_rcCaption))
            return 0;
        if (wParam != 0)
            *reinterpret_cast<RECT*>(wParam) = m_rcCaption;
        return 1;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
