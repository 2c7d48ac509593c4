#include "ui3d/controls/3DStatic.h"

#include "collection/ImageReader.h"
#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/PalettePaint.h"


IMPLEMENT_DYNAMIC(C3DStatic, CWnd)

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
        // Several lines, words wrapped at the static's width as the system's
        // static wraps them: templates are laid out for that, and many texts
        // are filled in at run time.
        nFormat |= DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
        if (dwStyle & SS_EDITCONTROL)
            nFormat |= DT_EDITCONTROL;
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

CSize C3DStatic::MeasureText(LPCSTR lpszText, int cxWrap)
{
    CString str;
    if (lpszText != NULL)
        str = lpszText;
    else if (m_hWnd != NULL)
        GetWindowText(str);
    RECT rc = {0, 0, 0, 0};
    if (m_hWnd != NULL)
        ::GetClientRect(m_hWnd, &rc);
    if (cxWrap > 0)
        rc.right = rc.left + cxWrap;
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
    if (::IsWindowEnabled(m_hWnd)) {
        DrawStyledText(hDC, str, rc, GetTextFormat(), m_style, (m_style.nFlags & 0x20) != 0);
    } else {
        // Disabled: flat, its colour half way to the face, so it reads weaker
        // than an enabled text but still reads.
        BODYSTYLE weak = m_style;
        weak.clrText = MoveColorToward(m_style.clrText, m_style.clrFace, 50);
        DrawStyledText(hDC, str, rc, GetTextFormat(), weak, FALSE);
    }
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
        return PrintThroughErase(m_hWnd, wParam, lParam);
    case WM_PRINTCLIENT:
        return 0;
    case WM_ERASEBKGND:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_GETDLGCODE:
        // A label: its mnemonic moves the focus to the control after it.
        return DLGC_STATIC;
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
