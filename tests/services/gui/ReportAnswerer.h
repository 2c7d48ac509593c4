// Answers the loader report windows in the tests: records what the window
// showed when it came up, then ends it by its button or by closing it.
#pragma once

#include "framework/Framework.h"

#include <string>

class CReportAnswerer : public CModalAnswerer
{
public:
    CReportAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CReportAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    bool bClose = false;          // close the window instead of pressing the button
    int nAsked = 0;
    std::string strCaption, strText, strButton;
    bool bTopmost = false, bVisible = false, bButtonHasFocus = false;
    DWORD nSelStart = 0, nSelEnd = 0;
    int nFirstVisibleLine = -1, nLineCount = -1, nVisibleLines = -1;

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        ++nAsked;
        const HWND hDlg = pDialog->m_hWnd;
        const HWND hEdit = ::GetDlgItem(hDlg, 1126);
        strCaption = Text(hDlg);
        strText = Text(hEdit);
        strButton = Text(::GetDlgItem(hDlg, IDOK));
        bTopmost = (::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        bVisible = ::IsWindowVisible(hDlg) != FALSE;
        nFirstVisibleLine = int(::SendMessageA(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0));
        nLineCount = int(::SendMessageA(hEdit, EM_GETLINECOUNT, 0, 0));
        bButtonHasFocus = ::GetFocus() == ::GetDlgItem(hDlg, IDOK);
        ::SendMessageA(hEdit, EM_GETSEL, (WPARAM)&nSelStart, (LPARAM)&nSelEnd);
        RECT rc;
        ::SendMessageA(hEdit, EM_GETRECT, 0, (LPARAM)&rc);
        TEXTMETRICA tm;
        const HDC hdc = ::GetDC(hEdit);
        const HGDIOBJ hOld = ::SelectObject(hdc, (HGDIOBJ)::SendMessageA(hEdit, WM_GETFONT, 0, 0));
        ::GetTextMetricsA(hdc, &tm);
        ::SelectObject(hdc, hOld);
        ::ReleaseDC(hEdit, hdc);
        nVisibleLines = (rc.bottom - rc.top) / (tm.tmHeight > 0 ? tm.tmHeight : 1);
        if (bClose)
            ::PostMessageA(hDlg, WM_CLOSE, 0, 0);
        else
            ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDOK));
        return -1;
    }

private:
    static std::string Text(HWND hWnd)
    {
        char sz[70000] = "";
        ::GetWindowTextA(hWnd, sz, sizeof(sz));
        return sz;
    }
    CModalAnswerer* m_pPrevious;
};
