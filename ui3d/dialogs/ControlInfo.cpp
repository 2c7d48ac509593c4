#include "ui3d/dialogs/ControlInfo.h"

#include <stdlib.h>
#include <string.h>

CControlInfo::CControlInfo()
    : hWnd(NULL), nId(0), dwStyle(0), dwExStyle(0), hFont(NULL), nKind(CTRLKIND_OTHER)
{
    ::SetRectEmpty(&rect);
}

namespace {

// A BUTTON tells what it is by its dialog code, which also covers buttons of
// styles we don't name (owner-drawn, split, command links).
int ClassifyButton(HWND hWnd, DWORD dwStyle)
{
    const LRESULT nCode = ::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0);
    if (!(nCode & DLGC_BUTTON))
        return CTRLKIND_GROUPBOX;
    if (nCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        return (dwStyle & BS_FLAT) ? CTRLKIND_OTHER : CTRLKIND_PUSHBUTTON;
    if (nCode & DLGC_RADIOBUTTON)
        return CTRLKIND_RADIO;
    if (nCode == DLGC_BUTTON)
        return CTRLKIND_CHECKBOX;
    return CTRLKIND_OTHER;
}

}  // namespace

CControlInfo GetControlInfo(HWND hWnd)
{
    CControlInfo info;
    if (hWnd == NULL || !::IsWindow(hWnd))
        return info;
    info.hWnd = hWnd;
    info.nId = ::GetDlgCtrlID(hWnd);
    char* pText = info.strText.GetBuffer(1025);
    ::GetWindowTextA(hWnd, pText, 1025);
    info.strText.ReleaseBuffer();
    char* pClass = info.strClass.GetBuffer(1025);
    ::GetClassNameA(hWnd, pClass, 1025);
    info.strClass.ReleaseBuffer();
    info.dwStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE));
    info.dwExStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_EXSTYLE));
    ::GetWindowRect(hWnd, &info.rect);
    HWND hParent = ::GetParent(hWnd);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<POINT*>(&info.rect), 2);
    info.hFont = reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));

    if (strncmp(info.strText, CTRL_COLORBUTTON_PREFIX, 11) == 0)
        info.nKind = CTRLKIND_COLORBUTTON;
    else if (strncmp(info.strText, CTRL_LINK_PREFIX, 6) == 0)
        info.nKind = CTRLKIND_LINK;
    else if (info.strClass.CompareNoCase("BUTTON") == 0)
        info.nKind = ClassifyButton(hWnd, info.dwStyle);
    else if (info.strClass.CompareNoCase("EDIT") == 0)
        info.nKind = CTRLKIND_EDIT;
    else if (info.strClass.CompareNoCase("STATIC") == 0)
        info.nKind = CTRLKIND_STATIC;
    else if (info.strClass.CompareNoCase("COMBOBOX") == 0)
        info.nKind = CTRLKIND_COMBOBOX;
    return info;
}

COLORREF ParseColorCaption(LPCSTR pszCaption)
{
    CString strRest(pszCaption);
    strRest.TrimLeft(CTRL_COLORBUTTON_PREFIX);
    strRest.Trim();
    static const char kSeparators[] = ",. -";
    int nParts[2] = {0, 0};
    for (int i = 0; i < 2; i++) {
        // "255, 128, 0": the blank after a comma is not a second separator.
        strRest.TrimLeft();
        const int nSep = strRest.FindOneOf(kSeparators);
        if (nSep < 0)
            continue;  // this component is 0; the whole rest goes on
        nParts[i] = atoi(strRest.Left(nSep));
        strRest = strRest.Mid(nSep + 1);
    }
    const int nBlue = atoi(strRest);
    return RGB(nParts[0] & 0xFF, nParts[1] & 0xFF, nBlue & 0xFF);
}
