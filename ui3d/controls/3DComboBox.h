// C3DComboBox: a combo box of a skinned dialog, taken over in place. It
// colours its drop-down list and hands the mouse messages that reach it to
// its parent (WM_RELAYMOUSEMSG), which feeds its tooltip with them.
#pragma once

#include "services/Messages.h"
#include "framework/ComboBox.h"

class C3DComboBox : public CComboBox
{
    DECLARE_DYNAMIC(C3DComboBox)
public:
    C3DComboBox(COLORREF clrBack, COLORREF clrText);
    ~C3DComboBox() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The colour request of a child part: the list gets ours, other parts none.
    HBRUSH OnCtlColor(HDC hDC, HWND hWndChild, UINT nCtlColor);

    COLORREF m_clrText;
    COLORREF m_clrBack;
    HBRUSH m_hBrush;
};
