#include "ui3d/controls/3DButton.h"

#include "collection/ImageReader.h"
#include "framework/Dc.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

#include <cmath>
#include <windowsx.h>

IMPLEMENT_DYNAMIC(C3DButton, CButton)

C3DButton::C3DButton(const BODYSTYLE* pStyle)
    : m_style(BODYSTYLE::FromSystemColors()), m_hIcon(NULL), m_cxIcon(0), m_cyIcon(0), m_nChecked(0),
      m_dwStyle(0), m_nType(BTNTYPE_OTHER), m_rcTool{0, 0, 0, 0}, m_bNotifying(0), m_bPaintDisabled(FALSE),
      m_bDefault(FALSE)
{
    if (pStyle != NULL)
        m_style = *pStyle;
}

C3DButton::~C3DButton()
{
    if (m_hIcon != NULL)
        ::DestroyIcon(m_hIcon);
}

BYTE C3DButton::TypeFromStyle(DWORD dwStyle)
{
    switch (dwStyle & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return BTNTYPE_PUSH;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return BTNTYPE_RADIO;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return BTNTYPE_CHECK;
    }
    return BTNTYPE_OTHER;
}

BOOL C3DButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_dwStyle = dwStyle;
    m_nType = TypeFromStyle(dwStyle);
    m_bDefault = (dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return CButton::Create(lpszCaption, (dwStyle & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW, rect,
                           pParentWnd, nID);
}

BOOL C3DButton::Attach(UINT nID, CWnd* pParent)
{
    ::SetRectEmpty(&m_rcTool);
    HWND hButton = pParent != NULL ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : NULL;
    if (hButton == NULL)
        return FALSE;
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(hButton, GWL_STYLE));
    const BYTE nType = TypeFromStyle(dwStyle);
    // Owner-drawn, the system forgets the check state: read it while it still knows.
    if (nType == BTNTYPE_RADIO || nType == BTNTYPE_CHECK)
        m_nChecked = ::SendMessageA(hButton, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    if (!SubclassDlgItem(nID, pParent))
        return FALSE;
    m_dwStyle = dwStyle;
    m_nType = nType;
    m_bDefault = (dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    // Straight to the system's button: BM_SETSTYLE sent to the window now
    // only moves the default state.
    DefWindowProc(BM_SETSTYLE, ((dwStyle & 0xFFFF) & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW, FALSE);
    return TRUE;
}

BOOL C3DButton::PreTranslateMessage(MSG* pMsg)
{
    // An owner-drawn button takes a double click as BN_DOUBLECLICKED and does
    // not go down: a double click must count as two presses.
    if (pMsg->message == WM_LBUTTONDBLCLK && pMsg->hwnd == m_hWnd)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

BOOL C3DButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // A radio button reports its click itself when it gets checked
    // (WM_NOTIFYCLICK); the system's own BN_CLICKED would be a second one.
    if (m_nType == BTNTYPE_RADIO && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && !m_bNotifying) {
        if (pResult != NULL)
            *pResult = 0;
        return TRUE;
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

void C3DButton::UncheckGroupSiblings()
{
    HWND hFirst = m_hWnd;
    while (hFirst != NULL && !(::GetWindowLongA(hFirst, GWL_STYLE) & WS_GROUP))
        hFirst = ::GetWindow(hFirst, GW_HWNDPREV);
    if (hFirst == NULL)
        return;
    for (HWND hWnd = hFirst; hWnd != NULL; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
        if (hWnd != hFirst && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_GROUP))
            break;
        if (hWnd == m_hWnd)
            continue;
        if ((::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
            ::SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
            ::SendMessageA(hWnd, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void C3DButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    UINT nFlags = 0;
    const UINT nPressed = (lpDIS->itemState & ODS_SELECTED) ? BTNDRAW_PRESSED : 0;
    const UINT nFocused = (lpDIS->itemState & ODS_FOCUS) ? BTNDRAW_FOCUSED : 0;
    if (lpDIS->itemAction & ODA_DRAWENTIRE)
        nFlags = BTNDRAW_ENTIRE | nPressed | nFocused;
    else if (lpDIS->itemAction & ODA_SELECT)
        nFlags = nPressed | nFocused;
    else if (lpDIS->itemAction & ODA_FOCUS)
        nFlags = nFocused;

    // A radio button is checked as soon as it gets the focus, by mouse or key.
    if (m_nType == BTNTYPE_RADIO && !m_nChecked && (nFlags & BTNDRAW_FOCUSED)) {
        m_nChecked = 1;
        PostMessage(WM_NOTIFYCLICK);
        UncheckGroupSiblings();
    }
    if (m_nChecked)
        nFlags |= BTNDRAW_CHECKED;
    if (m_nType == BTNTYPE_RADIO || m_nType == BTNTYPE_CHECK) {
        if (m_dwStyle & BS_PUSHLIKE)
            PaintPush(lpDIS->hDC, lpDIS->rcItem, m_nChecked ? (nFlags | BTNDRAW_PRESSED) : (nFlags & ~BTNDRAW_PRESSED));
        else
            PaintIndicator(lpDIS->hDC, lpDIS->rcItem, nFlags, m_nType == BTNTYPE_RADIO);
    } else if (m_nType == BTNTYPE_PUSH) {
        PaintPush(lpDIS->hDC, lpDIS->rcItem, nFlags);
    }
}

void C3DButton::RepaintNow(UINT nFlags)
{
    if (m_hWnd == NULL)
        return;
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == NULL)
        return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_dwStyle & BS_PUSHLIKE)
        PaintPush(hDC, rc, (nFlags & BTNDRAW_CHECKED) ? BTNDRAW_PRESSED : 0);
    else
        PaintIndicator(hDC, rc, nFlags, m_nType == BTNTYPE_RADIO);
    ::ReleaseDC(m_hWnd, hDC);
}

void C3DButton::SetCheckState(WPARAM nCheck)
{
    if (m_nType != BTNTYPE_RADIO && m_nType != BTNTYPE_CHECK)
        return;
    if (nCheck == BST_CHECKED) {
        m_nChecked = 1;
        RepaintNow(BTNDRAW_CHECKED);
    } else if (nCheck == BST_UNCHECKED) {
        m_nChecked = 0;
        RepaintNow(0);
    }
}

void C3DButton::SetIcon(HICON hIcon)
{
    if (m_hIcon != NULL && m_hIcon != hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon;
    m_cxIcon = m_cyIcon = 0;
    ICONINFO ii;
    if (hIcon != NULL && ::GetIconInfo(hIcon, &ii)) {
        BITMAP bm;
        if (ii.hbmMask != NULL && ::GetObjectA(ii.hbmMask, sizeof(bm), &bm) == sizeof(bm)) {
            m_cxIcon = bm.bmWidth;
            // A monochrome icon stacks its mask over its image.
            m_cyIcon = ii.hbmColor != NULL ? bm.bmHeight : bm.bmHeight / 2;
        }
        if (ii.hbmMask != NULL)
            ::DeleteObject(ii.hbmMask);
        if (ii.hbmColor != NULL)
            ::DeleteObject(ii.hbmColor);
    }
}

BOOL C3DButton::IsPaintDisabled() const
{
    if (m_bPaintDisabled)
        return TRUE;
    return m_hWnd != NULL && (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_DISABLED) != 0;
}

void C3DButton::PrintParentBackground(HDC hDC)
{
    if (m_hWnd != NULL)
        ::PrintParentBackground(m_hWnd, hDC);
}

static HFONT WindowFont(HWND hWnd)
{
    HFONT hFont = hWnd != NULL ? reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)) : NULL;
    return hFont != NULL ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

static CString WindowText(HWND hWnd)
{
    CString str;
    if (hWnd != NULL) {
        const int n = ::GetWindowTextLengthA(hWnd);
        if (n > 0) {
            LPSTR p = str.GetBuffer(n + 1);
            ::GetWindowTextA(hWnd, p, n + 1);
            str.ReleaseBuffer();
        }
    }
    return str;
}

static void TextAt(HDC hDC, int x, int y, const RECT& rcClip, const CString& str, COLORREF clr)
{
    ::SetTextColor(hDC, clr);
    ::ExtTextOutA(hDC, x, y, ETO_CLIPPED, &rcClip, str, static_cast<UINT>(str.GetLength()), NULL);
}

// Every other pixel of the rectangle's edge, starting at its top-left corner.
static void DrawDottedFrame(HDC hDC, const RECT& rc, COLORREF clr)
{
    const int right = rc.right - 1, bottom = rc.bottom - 1;
    for (int x = rc.left; x <= right; x++) {
        if (((x - rc.left) & 1) == 0) {
            ::SetPixelV(hDC, x, rc.top, clr);
            ::SetPixelV(hDC, x, bottom, clr);
        }
    }
    for (int y = rc.top; y <= bottom; y++) {
        if (((y - rc.top) & 1) == 0) {
            ::SetPixelV(hDC, rc.left, y, clr);
            ::SetPixelV(hDC, right, y, clr);
        }
    }
}

void C3DButton::PaintPush(HDC hDC, const RECT& rect, UINT nFlags)
{
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    if (cx <= 0 || cy <= 0)
        return;
    CBitmap bitmap;   // declared first: freed after the DC below has let go of it
    if (!bitmap.Attach(::CreateCompatibleBitmap(hDC, cx, cy)))
        return;
    CSelectedBitmapDC mem(hDC, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    const HDC hMem = mem.m_hDC;
    if (hMem == NULL)
        return;
    HGDIOBJ hOldFont = ::SelectObject(hMem, WindowFont(m_hWnd));

    COLORREF clrLight, clrDark;
    GetFaceColors(m_style.clrFace, m_style.nLightenPercent, m_style.nDarkenPercent, &clrLight, &clrDark);
    const COLORREF clrFrameDark = (m_style.nFlags & 0x01) ? m_style.clrDarkShadow : m_style.clrShadow;
    const BOOL bDisabled = IsPaintDisabled();
    const BOOL bPressed = (nFlags & BTNDRAW_PRESSED) && !bDisabled;
    const BOOL bFocused = (nFlags & BTNDRAW_FOCUSED) != 0;
    // The default button is framed in the focused text colour, the face one
    // pixel inside, as the system frames its default button.
    const int m = m_nType == BTNTYPE_PUSH && m_bDefault && cx > 4 && cy > 4 ? 1 : 0;

    CDC dc;
    dc.Attach(hMem);
    if (!bPressed) {
        DrawGradientFrame(clrLight, hMem, m, m, cx - m, cy - m, m_style.clrFace, clrDark, m_style.nGradientKind);
        dc.Draw3dRect(m, m, cx - 2 * m, cy - 2 * m, m_style.clrHighlight, clrFrameDark);
    } else {
        if (m_style.nFlags & 0x04)
            DrawGradientFrame(clrDark, hMem, m + 1, m + 1, cx - m, cy - m, m_style.clrFace, clrLight,
                              m_style.nGradientKind);
        else
            DrawGradientFrame(clrLight, hMem, m + 1, m + 1, cx - m, cy - m, m_style.clrFace, clrDark,
                              m_style.nGradientKind);
        dc.Draw3dRect(m, m, cx - 2 * m, cy - 2 * m, clrFrameDark, m_style.clrHighlight);
    }
    if (m != 0)
        dc.Draw3dRect(0, 0, cx, cy, m_style.clrText2, m_style.clrText2);
    dc.Detach();

    ::SetBkMode(hMem, TRANSPARENT);
    const int off = bPressed ? 1 : 0;
    if (m_hIcon != NULL) {
        const int nSaved = ::SaveDC(hMem);
        ::IntersectClipRect(hMem, 2, 2, cx - 2, cy - 2);
        ::DrawIconEx(hMem, (cx - m_cxIcon) / 2 + off, (cy - m_cyIcon) / 2 + off, m_hIcon, 0, 0, 0, NULL, DI_NORMAL);
        ::RestoreDC(hMem, nSaved);
    } else {
        const CString str = WindowText(m_hWnd);
        SIZE ext = {0, 0};
        ::GetTextExtentPoint32A(hMem, str, str.GetLength(), &ext);
        const int x = (cx - ext.cx) / 2;
        const int y = (cy - ext.cy) / 2;
        const RECT rcClip = {3, 3, cx - 3, cy - 3};
        const COLORREF clrText = bFocused ? m_style.clrText2 : m_style.clrText;
        const int nFlagsStyle = m_style.nFlags;
        if (bDisabled) {
            const COLORREF clrGrey = (nFlagsStyle & 0x40)
                                         ? m_style.clrDarkShadow
                                         : MoveColorToward(m_style.clrText, m_style.clrHighlight, m_style.nLightenPercent);
            TextAt(hMem, x, y, rcClip, str, clrGrey);
            TextAt(hMem, x + 1, y + 1, rcClip, str, m_style.clrHighlight);
        } else if (nFlagsStyle & 0x40) {
            if (nFlagsStyle & 0x10)
                TextAt(hMem, x + 1 + off, y + 1 + off, rcClip, str, bFocused ? m_style.clrDarkShadow2 : m_style.clrShadow);
            TextAt(hMem, x + off, y + off, rcClip, str, clrText);
        } else {
            TextAt(hMem, x + off, y + off, rcClip, str, (nFlagsStyle & 0x10) ? m_style.clrHighlight : clrText);
            if (nFlagsStyle & 0x10)
                TextAt(hMem, x + off + 1, y + off + 1, rcClip, str, clrText);
        }
    }

    // The focus: a dotted rectangle inside the frame, in the focused text
    // colour (a fixed colour, not the system's XOR, so that it shows on every
    // face the skin and the tint give).
    if (bFocused && !bDisabled && cx > 2 * (m + 4) && cy > 2 * (m + 4)) {
        const RECT rcFocus = {m + 3 + off, m + 3 + off, cx - m - 3 + off, cy - m - 3 + off};
        DrawDottedFrame(hMem, rcFocus, m_style.clrText2);
    }

    ::BitBlt(hDC, rect.left, rect.top, cx, cy, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOldFont);
    ::SetRectEmpty(&m_rcTool);
}

// --- the built-in indicators -------------------------------------------------
//
// Two 26 x 52 pictures of 4 bits per pixel: image in columns 0..12, mask in
// columns 13..25, one 13-pixel row band per state (unchecked, checked,
// unchecked pressed, checked pressed). Mask white = transparent.

namespace {

enum { PAL_BLACK, PAL_GREY, PAL_SILVER, PAL_WHITE };
const RGBQUAD kPalette[16] = {{0, 0, 0, 0}, {128, 128, 128, 0}, {192, 192, 192, 0}, {255, 255, 255, 0}};

// Palette index of the image pixel, -1 where the picture is transparent.
int CheckBoxPixel(int x, int y, int nState)
{
    const int last = INDICATOR_SIZE - 1;
    if (x == 0 || y == 0)
        return x == last || y == last ? PAL_WHITE : PAL_GREY;
    if (x == last || y == last)
        return PAL_WHITE;
    if (x == 1 || y == 1)
        return x == last - 1 || y == last - 1 ? PAL_SILVER : PAL_BLACK;
    if (x == last - 1 || y == last - 1)
        return PAL_SILVER;
    if (nState & 1) {
        // A check mark three pixels thick: down from (3,5) to (5,7), up to (9,3).
        const int yTop = x <= 5 ? x + 2 : 12 - x;
        if (x >= 3 && x <= 9 && y >= yTop && y <= yTop + 2)
            return PAL_BLACK;
    }
    return (nState & 2) ? PAL_SILVER : PAL_WHITE;
}

int RadioPixel(int x, int y, int nState)
{
    const int dx = 2 * x - 12, dy = 2 * y - 12;   // doubled offsets from the centre (6, 6)
    const int d2 = dx * dx + dy * dy;
    if (d2 > 4 * 40)
        return -1;
    const BOOL bUpperLeft = x + y < 12;
    if (d2 > 4 * 25)
        return bUpperLeft ? PAL_GREY : PAL_WHITE;
    if (d2 > 4 * 16)
        return bUpperLeft ? PAL_BLACK : PAL_SILVER;
    if ((nState & 1) && d2 <= 4 * 4)
        return PAL_BLACK;
    return (nState & 2) ? PAL_SILVER : PAL_WHITE;
}

HBITMAP CreateIndicatorBitmap(BOOL bRadio)
{
    struct
    {
        BITMAPINFOHEADER bmih;
        RGBQUAD colors[16];
    } bmi = {};
    bmi.bmih.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmih.biWidth = 2 * INDICATOR_SIZE;
    bmi.bmih.biHeight = -4 * INDICATOR_SIZE;
    bmi.bmih.biPlanes = 1;
    bmi.bmih.biBitCount = 4;
    bmi.bmih.biCompression = BI_RGB;
    bmi.bmih.biClrUsed = 16;
    for (int i = 0; i < 16; ++i)
        bmi.colors[i] = kPalette[i];
    BYTE* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS,
                                         reinterpret_cast<void**>(&pBits), NULL, 0);
    if (hBitmap == NULL)
        return NULL;
    const int nStride = ((2 * INDICATOR_SIZE * 4 + 31) / 32) * 4;
    // Row bands hold unchecked, checked, unchecked pressed, checked pressed:
    // bit 0 of the band number is "checked", bit 1 "pressed".
    for (int band = 0; band < 4; ++band) {
        for (int y = 0; y < INDICATOR_SIZE; ++y) {
            BYTE* pRow = pBits + (band * INDICATOR_SIZE + y) * nStride;
            for (int x = 0; x < INDICATOR_SIZE; ++x) {
                const int n = bRadio ? RadioPixel(x, y, band) : CheckBoxPixel(x, y, band);
                const int image = n < 0 ? PAL_BLACK : n;
                const int mask = n < 0 ? PAL_WHITE : PAL_BLACK;
                for (int part = 0; part < 2; ++part) {
                    const int col = x + part * INDICATOR_SIZE;
                    const int value = part == 0 ? image : mask;
                    BYTE& b = pRow[col / 2];
                    b = (col & 1) ? BYTE((b & 0xF0) | value) : BYTE((b & 0x0F) | (value << 4));
                }
            }
        }
    }
    ::GdiFlush();
    return hBitmap;
}

// The colour of a picture's pixel, drawn over the face.
COLORREF PicturePixel(CImageReader* pImage, COLORREF clrFace, HDC hRef, int x, int y)
{
    const CSize size = pImage->GetReader()->GetSize();
    HDC hMem = ::CreateCompatibleDC(hRef);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hRef, size.cx, size.cy);
    COLORREF clr = CLR_INVALID;
    if (hMem != NULL && hBmp != NULL) {
        HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
        CDC dc;
        dc.Attach(hMem);
        pImage->GetReader()->SetCurrentFrame(0);
        pImage->GetReader()->Draw(&dc, CPoint(0, 0), clrFace, &dc, CPoint(0, 0));
        dc.Detach();
        clr = ::GetPixel(hMem, x, y);
        ::SelectObject(hMem, hOld);
    }
    if (hBmp != NULL)
        ::DeleteObject(hBmp);
    if (hMem != NULL)
        ::DeleteDC(hMem);
    return clr;
}

// A round indicator in rc, smoothed by 4 x 4 samples a pixel: a ring of
// clrFrame, filled with clrFill, with a dot of clrDot (CLR_INVALID: none).
void DrawRoundIndicator(HDC hDC, const RECT& rc, COLORREF clrFrame, COLORREF clrFill, COLORREF clrDot)
{
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HBITMAP hDib = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hDib == NULL || pBits == NULL)
        return;
    HDC hMem = ::CreateCompatibleDC(hDC);
    HGDIOBJ hOld = ::SelectObject(hMem, hDib);
    ::BitBlt(hMem, 0, 0, cx, cy, hDC, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    DWORD* pPixels = static_cast<DWORD*>(pBits);
    const double r = (cx < cy ? cx : cy) / 2.0, xc = cx / 2.0, yc = cy / 2.0;
    const double rDot = r * 0.42;
    for (int y = 0; y < cy; y++) {
        for (int x = 0; x < cx; x++) {
            DWORD& px = pPixels[y * cx + x];
            const COLORREF clrBack = RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
            int red = 0, green = 0, blue = 0;
            for (int sy = 0; sy < 4; sy++) {
                for (int sx = 0; sx < 4; sx++) {
                    const double dx = x + (sx + 0.5) / 4 - xc, dy = y + (sy + 0.5) / 4 - yc;
                    const double d = std::sqrt(dx * dx + dy * dy);
                    const COLORREF clr = (clrDot != CLR_INVALID && d < rDot) ? clrDot
                                         : d < r - 1 ? clrFill : d < r ? clrFrame : clrBack;
                    red += GetRValue(clr);
                    green += GetGValue(clr);
                    blue += GetBValue(clr);
                }
            }
            px = DWORD((red / 16) << 16 | (green / 16) << 8 | (blue / 16));
        }
    }
    ::BitBlt(hDC, rc.left, rc.top, cx, cy, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::DeleteObject(hDib);
}

} // namespace

void C3DButton::DrawBuiltInIndicator(HDC hDC, int x, int y, BOOL bRadio, int nState)
{
    static HBITMAP s_hBitmaps[2] = {NULL, NULL};
    HBITMAP& hBitmap = s_hBitmaps[bRadio ? 1 : 0];
    if (hBitmap == NULL)
        hBitmap = CreateIndicatorBitmap(bRadio);
    if (hBitmap == NULL || nState < 0 || nState > 3)
        return;
    CSelectedBitmapDC mem(hDC, hBitmap);
    if (mem.m_hDC == NULL)
        return;
    const int ySrc = nState * INDICATOR_SIZE;
    ::BitBlt(hDC, x, y, INDICATOR_SIZE, INDICATOR_SIZE, mem.m_hDC, INDICATOR_SIZE, ySrc, SRCAND);
    ::BitBlt(hDC, x, y, INDICATOR_SIZE, INDICATOR_SIZE, mem.m_hDC, 0, ySrc, SRCPAINT);
}

void C3DButton::PaintIndicator(HDC hDC, const RECT& rect, UINT nFlags, BOOL bRadio)
{
    PrintParentBackground(hDC);
    const BOOL bChecked = (nFlags & BTNDRAW_CHECKED) != 0;
    const BOOL bPressed = (nFlags & BTNDRAW_PRESSED) != 0;
    const BOOL bLeftText = (m_dwStyle & BS_LEFTTEXT) != 0;

    // The skin's images are in the order checked, unchecked, checked pressed, unchecked pressed.
    CImageReader* const* ppImages = bRadio ? m_style.pRadioImages : m_style.pCheckImages;
    CImageReader* pImage = ppImages[(bPressed ? 2 : 0) + (bChecked ? 0 : 1)];
    RECT rcInd;
    if (pImage != NULL && CImageReader::IsLoaded(*pImage)) {
        const CSize size = pImage->GetReader()->GetSize();
        rcInd.left = bLeftText ? rect.right - size.cx : rect.left;
        rcInd.top = rect.top + (rect.bottom - rect.top - size.cy) / 2;
        rcInd.right = rcInd.left + size.cx;
        rcInd.bottom = rcInd.top + size.cy;
        CDC dc;
        dc.Attach(hDC);
        pImage->GetReader()->SetCurrentFrame(0);
        pImage->GetReader()->Draw(&dc, CPoint(rcInd.left, rcInd.top), m_style.clrFace, &dc,
                                  CPoint(rcInd.left, rcInd.top));
        dc.Detach();
    } else if (bRadio && m_style.pCheckImages[(bPressed ? 2 : 0)] != NULL &&
               m_style.pCheckImages[(bPressed ? 2 : 0) + 1] != NULL &&
               CImageReader::IsLoaded(*m_style.pCheckImages[(bPressed ? 2 : 0)]) &&
               CImageReader::IsLoaded(*m_style.pCheckImages[(bPressed ? 2 : 0) + 1])) {
        // No radio pictures: a round one in the colours of the check box's
        // pictures, so both are of one family. Unchecked: the empty box's
        // frame and fill; checked: the ticked box's fill with a dot of its
        // tick's colour.
        CImageReader* pOn = m_style.pCheckImages[bPressed ? 2 : 0];
        CImageReader* pOff = m_style.pCheckImages[(bPressed ? 2 : 0) + 1];
        const CSize size = pOff->GetReader()->GetSize();
        rcInd.left = bLeftText ? rect.right - size.cx : rect.left;
        rcInd.top = rect.top + (rect.bottom - rect.top - size.cy) / 2;
        rcInd.right = rcInd.left + size.cx;
        rcInd.bottom = rcInd.top + size.cy;
        if (bChecked) {
            const COLORREF clrFill = PicturePixel(pOn, m_style.clrFace, hDC, 2, 2);
            const COLORREF clrTick = PicturePixel(pOn, m_style.clrFace, hDC, size.cx * 5 / 13, size.cy * 8 / 13);
            DrawRoundIndicator(hDC, rcInd, PicturePixel(pOn, m_style.clrFace, hDC, 0, size.cy / 2), clrFill, clrTick);
        } else {
            DrawRoundIndicator(hDC, rcInd, PicturePixel(pOff, m_style.clrFace, hDC, 0, size.cy / 2),
                               PicturePixel(pOff, m_style.clrFace, hDC, size.cx / 2, size.cy / 2), CLR_INVALID);
        }
    } else {
        rcInd.left = bLeftText ? rect.right - INDICATOR_SIZE : rect.left;
        rcInd.top = rect.top + (rect.bottom - rect.top - INDICATOR_SIZE) / 2;
        rcInd.right = rcInd.left + INDICATOR_SIZE;
        rcInd.bottom = rcInd.top + INDICATOR_SIZE;
        DrawBuiltInIndicator(hDC, rcInd.left, rcInd.top, bRadio, (bChecked ? 1 : 0) + (bPressed ? 2 : 0));
    }
    RECT rcText = rect;
    if (bLeftText)
        rcText.right = rcInd.left - 6;
    else
        rcText.left = rcInd.right + 6;

    const CString str = WindowText(m_hWnd);
    HFONT hFont = WindowFont(m_hWnd);
    HGDIOBJ hOldFont = ::SelectObject(hDC, hFont);
    const int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
    UINT nFormat = DT_SINGLELINE;
    switch (m_dwStyle & BS_CENTER) {
    case BS_CENTER: nFormat |= DT_CENTER; break;
    case BS_RIGHT: nFormat |= DT_RIGHT; break;
    default: nFormat |= DT_LEFT; break;
    }
    switch (m_dwStyle & BS_VCENTER) {
    case BS_TOP: nFormat |= DT_TOP; break;
    case BS_BOTTOM: nFormat |= DT_BOTTOM; break;
    default: nFormat |= DT_VCENTER; break;
    }
    auto drawAt = [&](int dx, int dy, COLORREF clr) {
        RECT rc = rcText;
        ::OffsetRect(&rc, dx, dy);
        ::SetTextColor(hDC, clr);
        ::DrawTextA(hDC, str, str.GetLength(), &rc, nFormat);
    };
    const BOOL bFocused = (nFlags & BTNDRAW_FOCUSED) != 0;
    const int nStyleFlags = m_style.nFlags;
    if (IsPaintDisabled()) {
        drawAt(-1, -1, (nStyleFlags & 0x40) ? m_style.clrDarkShadow
                                            : MoveColorToward(m_style.clrText, m_style.clrHighlight,
                                                              m_style.nLightenPercent));
        drawAt(0, 0, m_style.clrHighlight);
    } else {
        if ((nStyleFlags & 0x40) && (nStyleFlags & 0x10))
            drawAt(1, 1, bFocused ? m_style.clrDarkShadow2 : m_style.clrShadow);
        else if (!(nStyleFlags & 0x40) && (nStyleFlags & 0x10) && (nFlags & BTNDRAW_ENTIRE))
            drawAt(-1, -1, m_style.clrHighlight);
        drawAt(0, 0, bFocused ? m_style.clrText2 : m_style.clrText);
    }

    // Where indicator and text are, for the tooltip of the button.
    RECT rcCalc = rcText;
    ::DrawTextA(hDC, str, str.GetLength(), &rcCalc, (nFormat & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    const int cxText = rcCalc.right - rcCalc.left, cyText = rcCalc.bottom - rcCalc.top;
    RECT rcDrawn;
    rcDrawn.left = (nFormat & DT_CENTER) ? rcText.left + (rcText.right - rcText.left - cxText) / 2
                   : (nFormat & DT_RIGHT) ? rcText.right - cxText : rcText.left;
    rcDrawn.top = (nFormat & DT_BOTTOM) ? rcText.bottom - cyText
                  : (nFormat & DT_VCENTER) ? rcText.top + (rcText.bottom - rcText.top - cyText) / 2 : rcText.top;
    rcDrawn.right = rcDrawn.left + cxText;
    rcDrawn.bottom = rcDrawn.top + cyText;
    if (str.IsEmpty())
        m_rcTool = rcInd;
    else
        ::UnionRect(&m_rcTool, &rcInd, &rcDrawn);

    // The focus: a frame round the text in the focused text colour, inside
    // the button.
    if (bFocused && !str.IsEmpty()) {
        RECT rcFrame = rcDrawn;
        ::InflateRect(&rcFrame, 2, 1);
        ::IntersectRect(&rcFrame, &rcFrame, &rect);
        HBRUSH hFocus = ::CreateSolidBrush(m_style.clrText2);
        if (hFocus != NULL) {
            ::FrameRect(hDC, &rcFrame, hFocus);
            ::DeleteObject(hFocus);
        }
    }

    ::SetBkMode(hDC, nOldMode);
    ::SelectObject(hDC, hOldFont);
}

BOOL C3DButton::ReleaseClicks(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_nType != BTNTYPE_CHECK || m_hWnd == NULL)
        return FALSE;
    // The system's button shows itself pushed while it is held with the
    // pointer over it (or with Space), and clicks when released so.
    if (!(DefWindowProc(BM_GETSTATE, 0, 0) & BST_PUSHED))
        return FALSE;
    if (message == WM_KEYUP)
        return wParam == VK_SPACE;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::GetCapture() == m_hWnd && ::PtInRect(&rc, pt);
}

LRESULT C3DButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_GETDLGCODE: {
        LRESULT nCode = Default();
        if (m_nType == BTNTYPE_RADIO)
            nCode |= DLGC_RADIOBUTTON;
        else if (m_nType == BTNTYPE_PUSH)
            nCode = (nCode & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) | DLGC_BUTTON |
                    (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return nCode;
    }
    case BM_SETSTYLE:
        // The dialog manager moves the default with it; the system's button
        // would take the type bits and stop being owner-drawn.
        if (m_nType == BTNTYPE_PUSH) {
            const BOOL bDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            if (bDefault != m_bDefault) {
                m_bDefault = bDefault;
                if (lParam)
                    Invalidate(FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_KEYUP:
        if (ReleaseClicks(message, wParam, lParam))
            m_nChecked = !m_nChecked;
        break;
    case BM_GETCHECK:
        return (m_nType == BTNTYPE_RADIO || m_nType == BTNTYPE_CHECK) ? m_nChecked : 0;
    case BM_SETCHECK:
        SetCheckState(wParam);
        return 0;
    case WM_NOTIFYCLICK: {
        m_bNotifying = 1;
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent != NULL)
            ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                           reinterpret_cast<LPARAM>(m_hWnd));
        m_bNotifying = 0;
        return 0;
    }
    case WM_SETBODYSTYLE:
        if (lParam != 0)
            m_style = *reinterpret_cast<const BODYSTYLE*>(lParam);
        else
            m_style.clrFace = static_cast<COLORREF>(wParam);
        Invalidate(FALSE);
        return 0;
    case WM_GETBODYSTYLE:
        if (lParam != 0) {
            BODYSTYLE* pStyle = reinterpret_cast<BODYSTYLE*>(lParam);
            *pStyle = m_style;
            pStyle->cbSize = BODYSTYLE_SIZE;
        }
        return m_style.clrFace;
    case WM_SETBUTTONICON:
        SetIcon(reinterpret_cast<HICON>(wParam));
        Invalidate(FALSE);
        return 0;
    case WM_GETTOOLRECT:
        if (::IsRectEmpty(&m_rcTool))
            return 0;
        if (wParam != 0)
            *reinterpret_cast<RECT*>(wParam) = m_rcTool;
        return 1;
    case WM_SETTEXT:
        // The old text must go: the control paints over what is there.
        if (IsWindowVisible()) {
            HDC hDC = ::GetDC(m_hWnd);
            if (hDC != NULL) {
                PrintParentBackground(hDC);
                ::ReleaseDC(m_hWnd, hDC);
            }
            Invalidate();
        }
        return Default();
    }
    return CButton::WindowProc(message, wParam, lParam);
}
