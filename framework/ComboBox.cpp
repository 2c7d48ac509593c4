#include "framework/ComboBox.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int nLen = GetLBTextLen(nIndex);
    if (nLen == CB_ERR || nLen < 0) {
        rString.Empty();
        return;
    }
    LPSTR p = rString.GetBuffer(nLen);
    LRESULT nGot = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(p));
    rString.ReleaseBuffer(nGot == CB_ERR || nGot < 0 || nGot > nLen ? 0 : static_cast<int>(nGot));
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CComboBox::DeleteItem(LPDELETEITEMSTRUCT)
{
}

LRESULT CComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_REFLECT_BASE + WM_DRAWITEM:
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        return TRUE;
    case WM_REFLECT_BASE + WM_MEASUREITEM:
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        return TRUE;
    case WM_REFLECT_BASE + WM_COMPAREITEM:
        return CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
    case WM_REFLECT_BASE + WM_DELETEITEM:
        DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
