// C3DStatic: a text, icon or picture on a skinned dialog, drawn over the
// parent's background (asked for with "WM_PRINTBKGND"). It paints in
// WM_ERASEBKGND and only validates in WM_PAINT. A left-aligned (SS_LEFT)
// static wraps its words at its width; the other kinds show one line. To the
// dialog manager it is a static (DLGC_STATIC), so a label's mnemonic moves
// the focus to the next control.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "ui3d/StyleRecords.h"

class CImageReader;

class C3DStatic : public CWnd
{
    DECLARE_DYNAMIC(C3DStatic)
public:
    explicit C3DStatic(const BODYSTYLE* pStyle = NULL);
    ~C3DStatic() override;

    BOOL CreateText(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    // A square window, its side the width of the icon's mask; FALSE when the
    // icon cannot be read. The icon stays the caller's.
    BOOL CreateIcon(HICON hIcon, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    // One or two pictures from the module's resources of type lpszType; the
    // window takes the first picture's size at the rectangle's top-left.
    BOOL CreateImage(LPCSTR lpszType, UINT nImage1, UINT nImage2, const RECT& rect, CWnd* pParent, UINT nID,
                     HMODULE hModule = NULL);
    // The size the text takes with the static's font and format; a
    // multi-line static wraps it at cxWrap (0: at its own width).
    CSize MeasureText(LPCSTR lpszText = NULL, int cxWrap = 0);

    // Paints the whole static into hDC (background from the parent first for pictures).
    void Paint(HDC hDC);
    UINT GetTextFormat() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BODYSTYLE m_style;
    HICON m_hIcon;
    CImageReader* m_pImage1;
    CImageReader* m_pImage2;
    int m_bDestroyed;

private:
    void FreeImages();
    HFONT CreateTextFont() const;
    void PaintText(HDC hDC);
    void PaintIcon(HDC hDC);
    void PaintImages(HDC hDC);
};
