// C3DGroupBox: a group frame with its caption on a skinned dialog; its window
// region is only the frame and the caption, so the controls inside it stay
// reachable and are not painted over. It paints in WM_ERASEBKGND and only
// validates in WM_PAINT; WM_GETTOOLRECT gives the caption's rectangle.
#pragma once

#include "services/Messages.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "ui3d/StyleRecords.h"

class C3DGroupBox : public CWnd
{
    DECLARE_DYNAMIC(C3DGroupBox)
public:
    explicit C3DGroupBox(const BODYSTYLE* pStyle = NULL);
    ~C3DGroupBox() override;

    BOOL Create(LPCSTR lpszText, DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID);
    void Paint(HDC hDC);
    const RECT& GetCaptionRect() const { return m_rcCaption; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const int m_nIndent;
    const int m_nGap;
    BODYSTYLE m_style;
    CFont m_font;
    int m_bDestroyed;
    DWORD m_dwExStyle;

private:
    void Layout();
    RECT m_rcCaption;
    RECT m_rcFrame;
};
