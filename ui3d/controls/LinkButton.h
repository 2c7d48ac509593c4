// CLinkButton: a hyperlink-like text that underlines itself under the mouse
// and reports a click (on the press) to its parent as WM_COMMAND with code 0.
// It is a tab stop: with the focus it shows a focus rectangle, and Enter or
// Space opens it as a click does.
#pragma once

#include "framework/Gdi.h"
#include "ui3d/controls/ControlBase.h"

class CLinkButton : public CControlBase
{
    DECLARE_DYNAMIC(CLinkButton)
public:
    CLinkButton();
    ~CLinkButton() override;

    // A child window of a class without cursor, then given its text.
    BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    // Hover state as the mouse would set it (repaints).
    void SetHover(BOOL bHover);
    BOOL IsUnderlined() const { return m_bHovering || m_bShowHover; }

    CBitmap* GetBackBuffer() override { return NULL; }
    void Paint(CDC* pDC, int left, int top, int right, int bottom) override;
    void OnMouseMove(UINT, int, int) override {}
    void OnCreated() override;
    void OnDestroying() override;
    void OnDisplayChanged() override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CBitmap m_bmpBack;
    CFont m_font;
    COLORREF m_clrText;
    HCURSOR m_hOwnCursor;

private:
    BOOL m_bShowHover;
    BOOL m_bSpaceDown;
    void TakeBackgroundSnapshot();
    void ReportClick();
};
