#include "ui3d/controls/3DComboBox.h"

IMPLEMENT_DYNAMIC(C3DComboBox, CComboBox)

C3DComboBox::C3DComboBox(COLORREF clrBack, COLORREF clrText)
    : m_clrText(clrText), m_clrBack(clrBack), m_hBrush(::CreateSolidBrush(clrBack))
{
}

C3DComboBox::~C3DComboBox()
{
    if (m_hBrush != NULL)
        ::DeleteObject(m_hBrush);
}

BOOL C3DComboBox::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_MOUSEMOVE && pMsg->message <= WM_LBUTTONUP) {
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent != NULL)
            ::SendMessageA(hParent, WM_RELAYMOUSEMSG, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(pMsg));
    }
    return CComboBox::PreTranslateMessage(pMsg);
}

HBRUSH C3DComboBox::OnCtlColor(HDC hDC, HWND, UINT nCtlColor)
{
    if (nCtlColor != CTLCOLOR_LISTBOX)
        return NULL;
    ::SetTextColor(hDC, m_clrText);
    ::SetBkColor(hDC, m_clrBack);
    return m_hBrush;
}

LRESULT C3DComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The drop-down list and the edit part ask their combo box for colours.
    switch (message) {
    case WM_CTLCOLORLISTBOX: {
        HBRUSH hBrush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), CTLCOLOR_LISTBOX);
        return reinterpret_cast<LRESULT>(hBrush);
    }
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}
