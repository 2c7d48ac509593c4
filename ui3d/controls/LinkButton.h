// CLinkButton: a hyperlink-like text that underlines itself under the mouse
// and reports a click (on the press) to its parent as WM_COMMAND with code 0.
// CClrSelButton: a colour swatch; among all swatches of the program exactly
// one is selected at a time.
#pragma once

#include "services/Messages.h"
#include "collection/Sequence.h"
#include "framework/Gdi.h"
#include "ui3d/StyleRecords.h"
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

    CBitmap m_bmpBack;
    CFont m_font;
    COLORREF m_clrText;
    HCURSOR m_hOwnCursor;

private:
    BOOL m_bShowHover;
    void TakeBackgroundSnapshot();
};

class CClrSelButton : public CControlBase
{
    DECLARE_DYNAMIC(CClrSelButton)
public:
    CClrSelButton(const BODYSTYLE* pStyle, COLORREF clr);
    ~CClrSelButton() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);

    CBitmap* GetBackBuffer() override { return NULL; }
    void Paint(CDC* pDC, int left, int top, int right, int bottom) override;
    void OnMouseMove(UINT, int, int) override {}
    void OnCreated() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Paints the swatch in the given state into a DC of cx x cy.
    void PaintSwatch(HDC hDC, int cx, int cy, BOOL bSelected) const;

    // The program's swatches, in the order of construction, and the selected one.
    static int GetCount();
    static CClrSelButton* GetAt(int nIndex);
    static int GetSelectedIndex();
    static CClrSelButton* GetSelected();

    int m_bSelected;
    BODYSTYLE m_style;
    COLORREF m_clr;

private:
    void Select();
    static LRESULT SelectByColor(COLORREF clr);
};
