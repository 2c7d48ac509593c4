// CClrSelButton: a colour swatch; among all swatches of the program exactly
// one is selected at a time. Its parent hears of a new choice by
// WM_CLRSELCHANGED; WM_CLRSELSET and WM_CLRSELGET choose and read it.
#pragma once

#include "services/Messages.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/controls/ControlBase.h"

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
    void Choose();
    static LRESULT SelectByColor(COLORREF clr);
};
