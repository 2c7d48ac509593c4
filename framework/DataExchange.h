// Dialog data exchange: DoDataExchange calls DDX_ functions, which move a
// value from the control to the member when saving (m_bSaveAndValidate) and
// from the member to the control otherwise. A value the user must correct is
// reported to the user, the control gets the focus, and Fail() ends the
// exchange with a CUserException* that UpdateData catches.
#pragma once

#include "framework/Exception.h"
#include "framework/Str.h"

class CWnd;

// Thrown to stop an operation the user was already told about.
class CUserException : public CException
{
public:
    explicit CUserException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
};

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(NULL)
    {
    }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control's window; a missing control is a fault of the dialog's
    // code and fails the exchange.
    HWND PrepareCtrl(int nIDC);
    // Gives the last prepared control the focus and throws CUserException*.
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Whole numbers; a text that is not one (or out of range) is refused.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
// BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of a group (WS_GROUP); value is the index
// of the checked one, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Index of the selected entry of a combo box, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Subclasses the control for rControl on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
