#include "framework/DataExchange.h"
#include "framework/Dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == NULL)
        throw new CUserException;
    m_hWndLastControl = hWndCtrl;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl != NULL) {
        ::SendMessageA(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), 1);
        ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw new CUserException;
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int nLen = ::GetWindowTextLengthA(hWndCtrl);
        LPSTR p = value.GetBuffer(nLen);
        int nGot = ::GetWindowTextA(hWndCtrl, p, nLen + 1);
        value.ReleaseBuffer(nGot < 0 ? 0 : (nGot > nLen ? nLen : nGot));
    } else {
        ::SetWindowTextA(hWndCtrl, value);
    }
}

namespace {

// Reads a whole number with optional sign and blanks around it.
BOOL ParseNumber(HWND hWndCtrl, BOOL bSigned, long long* pValue)
{
    char szText[64];
    int nLen = ::GetWindowTextA(hWndCtrl, szText, sizeof(szText));
    if (nLen <= 0 || nLen >= static_cast<int>(sizeof(szText)) - 1)
        return FALSE;
    const char* p = szText;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (!bSigned && *p == '-')
        return FALSE;
    char* pEnd = NULL;
    errno = 0;
    long long v = strtoll(p, &pEnd, 10);
    if (pEnd == p || errno == ERANGE)
        return FALSE;
    while (*pEnd == ' ' || *pEnd == '\t')
        ++pEnd;
    if (*pEnd != '\0')
        return FALSE;
    *pValue = v;
    return TRUE;
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseNumber(hWndCtrl, TRUE, &v) || v < INT_MIN || v > INT_MAX) {
            AfxMessageBox("Please enter a whole number.", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = static_cast<int>(v);
    } else {
        char szText[16];
        wsprintfA(szText, "%d", value);
        ::SetWindowTextA(hWndCtrl, szText);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseNumber(hWndCtrl, FALSE, &v) || v > UINT_MAX) {
            AfxMessageBox("Please enter a positive whole number.", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = static_cast<UINT>(v);
    } else {
        char szText[16];
        wsprintfA(szText, "%u", value);
        ::SetWindowTextA(hWndCtrl, szText);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        int nCheck = value >= BST_UNCHECKED && value <= BST_INDETERMINATE ? value : BST_UNCHECKED;
        ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from the first button to the next window that starts a group.
    int nIndex = 0;
    for (HWND hWnd = hWndCtrl; hWnd != NULL; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
        if (hWnd != hWndCtrl && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED && value == -1)
                value = nIndex;
        } else {
            ::SendMessageA(hWnd, BM_SETCHECK, nIndex == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++nIndex;
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        LRESULT n = ::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0);
        index = n == CB_ERR ? -1 : static_cast<int>(n);
    } else {
        ::SendMessageA(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != NULL)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl))
        pDX->Fail();
}
