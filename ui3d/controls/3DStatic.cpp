#include "ui3d/controls/3DStatic.h"

#include "collection/ImageReader.h"
#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/PalettePaint.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(C3DStatic, CWnd)
IMPLEMENT_DYNAMIC(C3DGroupBox, CWnd)

// Both kinds paint in WM_ERASEBKGND; WM_PAINT only has to validate, or the
// system would send it again and again.
static LRESULT ValidateOnly(HWND hWnd)
{
    if (::GetUpdateRect(hWnd, NULL, FALSE)) {
        PAINTSTRUCT ps;
        ::BeginPaint(hWnd, &ps);
        ::EndPaint(hWnd, &ps);
    }
    return 0;
}

static LRESULT PrintThroughErase(CWnd* pWnd, WPARAM wParam, LPARAM lParam)
{
    if ((lParam & PRF_CHECKVISIBLE) && !pWnd->IsWindowVisible())
        return 0;
    if (lParam & PRF_ERASEBKGND)
        pWnd->SendMessage(WM_ERASEBKGND, wParam);
    if (lParam & PRF_CLIENT)
        pWnd->SendMessage(WM_PRINTCLIENT, wParam, lParam);
    return 0;
}

// Text in the body style's 3D look: bRaised3D the 3D flag of the kind (0x20
// statics, 0x10 group captions), 0x40 shadow instead of engraved.
static void DrawStyledText(HDC hDC, const CString& str, RECT rc, UINT nFormat, const BODYSTYLE& style, BOOL b3D)
{
    auto drawAt = [&](const RECT& r, COLORREF clr) {
        RECT rcText = r;
        ::SetTextColor(hDC, clr);
        ::DrawTextA(hDC, str, str.GetLength(), &rcText, nFormat);
    };
    if (!b3D) {
        drawAt(rc, style.clrText);
        return;
    }
    RECT rcMoved = rc;
    ::OffsetRect(&rcMoved, 1, 1);
    if (style.nFlags & 0x40) {
        drawAt(rcMoved, style.clrShadow);
        drawAt(rc, style.clrText);
    } else {
        rc.right -= 1;
        rc.bottom -= 1;
        rcMoved = rc;
        ::OffsetRect(&rcMoved, 1, 1);
        drawAt(rc, style.clrHighlight);
        drawAt(rcMoved, style.clrText);
    }
}

// --- C3DStatic -------------------------------------------------------------------

C3DStatic::C3DStatic(const BODYSTYLE* pStyle)
    : m_style(BODYSTYLE::FromSystemColors()), m_hIcon(NULL), m_pImage1(NULL), m_pImage2(NULL), m_bDestroyed(1)
{
    if (pStyle != NULL)
        m_style = *pStyle;
}

C3DStatic::~C3DStatic()
{
    FreeImages();
}

void C3DStatic::FreeImages()
{
    delete m_pImage1;
    delete m_pImage2;
    m_pImage1 = m_pImage2 = NULL;
}

BOOL C3DStatic::CreateText(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    FreeImages();
    m_hIcon = NULL;
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC, ::LoadCursorA(NULL, IDC_ARROW));
    return CreateEx(0, lpszClass, lpszText, dwStyle, rect, pParent, nID);
}

BOOL C3DStatic::CreateIcon(HICON hIcon, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    ICONINFO ii;
    if (hIcon == NULL || !::GetIconInfo(hIcon, &ii))
        return FALSE;
    BITMAP bm = {};
    const BOOL bRead = ii.hbmMask != NULL && ::GetObjectA(ii.hbmMask, sizeof(bm), &bm) == sizeof(bm);
    if (ii.hbmMask != NULL)
        ::DeleteObject(ii.hbmMask);
    if (ii.hbmColor != NULL)
        ::DeleteObject(ii.hbmColor);
    if (!bRead)
        return FALSE;
    FreeImages();
    m_hIcon = hIcon;
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, ::LoadCursorA(NULL, IDC_ARROW));
    return CreateEx(0, lpszClass, "", dwStyle, rect.left, rect.top, bm.bmWidth, bm.bmWidth,
                    SafeHwnd(pParent), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

BOOL C3DStatic::CreateImage(LPCSTR lpszType, UINT nImage1, UINT nImage2, const RECT& rect, CWnd* pParent, UINT nID,
                            HMODULE hModule)
{
    FreeImages();
    m_hIcon = NULL;
    if (hModule == NULL)
        hModule = ::GetModuleHandleA(NULL);
    m_pImage1 = new CImageReader;
    BOOL bLoaded = CImageReader::LoadFromResource(lpszType, MAKEINTRESOURCEA(nImage1), hModule, *m_pImage1);
    if (bLoaded && nImage2 != 0) {
        m_pImage2 = new CImageReader;
        bLoaded = CImageReader::LoadFromResource(lpszType, MAKEINTRESOURCEA(nImage2), hModule, *m_pImage2);
    }
    if (!bLoaded || !CImageReader::IsLoaded(*m_pImage1)) {
        FreeImages();
        return FALSE;
    }
    const CSize size = m_pImage1->GetReader()->GetSize();
    LPCSTR lpszClass = AfxRegisterWndClass(CS_CLASSDC | CS_PARENTDC, ::LoadCursorA(NULL, IDC_ARROW));
    if (!CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE, rect.left, rect.top, size.cx, size.cy, SafeHwnd(pParent),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)))) {
        FreeImages();
        return FALSE;
    }
    return TRUE;
}

UINT C3DStatic::GetTextFormat() const
{
    const DWORD dwStyle = m_hWnd != NULL ? GetStyle() : 0;
    UINT nFormat = (dwStyle & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (dwStyle & SS_TYPEMASK) {
    case SS_LEFT:
        // Several lines, broken only where the text breaks them.
        nFormat |= DT_LEFT;
        break;
    case SS_CENTER:
        nFormat |= DT_SINGLELINE | DT_CENTER;
        break;
    case SS_RIGHT:
        nFormat |= DT_SINGLELINE | DT_RIGHT;
        break;
    default:
        nFormat |= DT_SINGLELINE | DT_LEFT;
        break;
    }
    if (dwStyle & SS_CENTERIMAGE)
        nFormat |= DT_VCENTER | DT_SINGLELINE;
    return nFormat;
}

CSize C3DStatic::MeasureText(LPCSTR lpszText)
{
    CString str;
    if (lpszText != NULL)
        str = lpszText;
    else if (m_hWnd != NULL)
        GetWindowText(str);
    RECT rc = {0, 0, 0, 0};
    if (m_hWnd != NULL)
        ::GetClientRect(m_hWnd, &rc);
    HDC hDC = ::GetDC(m_hWnd);
    HFONT hFont = CreateParentFontCopy(m_hWnd);
    HGDIOBJ hOld = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
    ::DrawTextA(hDC, str, str.GetLength(), &rc, GetTextFormat() | DT_CALCRECT | DT_NOCLIP);
    if (hOld != NULL)
        ::SelectObject(hDC, hOld);
    if (hFont != NULL)
        ::DeleteObject(hFont);
    ::ReleaseDC(m_hWnd, hDC);
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
}

void C3DStatic::PaintText(HDC hDC)
{
    CString str;
    GetWindowText(str);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HFONT hFont = CreateParentFontCopy(m_hWnd);
    const int nSaved = ::SaveDC(hDC);
    if (hFont != NULL)
        ::SelectObject(hDC, hFont);
    ::SetBkMode(hDC, TRANSPARENT);
    DrawStyledText(hDC, str, rc, GetTextFormat(), m_style, (m_style.nFlags & 0x20) != 0);
    ::RestoreDC(hDC, nSaved);
    if (hFont != NULL)
        ::DeleteObject(hFont);
}

void C3DStatic::PaintIcon(HDC hDC)
{
    // Mask with AND, then the image with XOR; a monochrome icon keeps its
    // image in the lower half of the mask.
    ::DrawIconEx(hDC, 0, 0, m_hIcon, 0, 0, 0, NULL, DI_NORMAL);
}

static void PaintParentUnder(HDC hMemDC, int, int, void* pUser)
{
    PrintParentBackground(static_cast<HWND>(pUser), hMemDC);
}

void C3DStatic::PaintImages(HDC hDC)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_pImage2 != NULL) {
        PaintThroughDIBSection(hDC, rc, m_pImage1, m_pImage2, PaintParentUnder, m_hWnd);
        return;
    }
    CGraphicalFormatReader* pReader = m_pImage1->GetReader();
    pReader->SetCurrentFrame(0);
    CDC dc;
    dc.Attach(hDC);
    if (!pReader->HasTransparency(0)) {
        pReader->DrawNextFrame(&dc, CPoint(0, 0), m_style.clrFace, &dc, CPoint(0, 0));
    } else {
        CDC memDC;
        CBitmap bitmap;
        if (memDC.CreateCompatibleDC(&dc) && bitmap.CreateCompatibleBitmap(&dc, rc.right, rc.bottom)) {
            CBitmap* pOld = memDC.SelectObject(&bitmap);
            PrintParentBackground(m_hWnd, memDC.m_hDC);
            pReader->DrawNextFrame(&dc, CPoint(0, 0), m_style.clrFace, &memDC, CPoint(0, 0));
            memDC.SelectObject(pOld);
        }
    }
    dc.Detach();
}

void C3DStatic::Paint(HDC hDC)
{
    if (m_pImage1 != NULL)
        PaintImages(hDC);
    else if (m_hIcon != NULL)
        PaintIcon(hDC);
    else
        PaintText(hDC);
}

LRESULT C3DStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return ValidateOnly(m_hWnd);
    case WM_PRINT:
        return PrintThroughErase(this, wParam, lParam);
    case WM_PRINTCLIENT:
        return 0;
    case WM_ERASEBKGND:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_LBUTTONDOWN: {
        Default();
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent != NULL)
            ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    }
    case WM_DESTROY:
        FreeImages();
        Default();
        m_bDestroyed = 1;
        return 0;
    case WM_CREATE:
        m_bDestroyed = 0;
        return Default();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// --- C3DGroupBox -------------------------------------------------------------------

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
        return PrintThroughErase(this, wParam, lParam);
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
