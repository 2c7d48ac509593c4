// CDialog: a dialog box from a template (a resource id, a resource name or a
// template in memory). DoModal runs the framework's own modal loop rather
// than the system's: the dialog is created modeless, its owner disabled,
// messages pumped through PreTranslateMessage and IsDialogMessage, a dialog
// still hidden after OnInitDialog is shown when the loop first goes idle, and
// the loop ends on EndDialog. While the queue is empty the dialog gets
// WM_KICKIDLE. Fades and tooltips of derived dialogs rely on
// that loop. UpdateData moves values between members and controls through
// DoDataExchange (DataExchange.h).
#pragma once

#include "framework/Wnd.h"

class CDataExchange;

// Sent by the modal loop to the dialog while the queue is empty: wParam
// MSGF_DIALOGBOX, lParam the idle count since the last message. A non-zero
// answer asks for another call.
#define WM_KICKIDLE 0x036A

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    // Modeless creation; FALSE when the template is missing or creation failed.
    virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = NULL);
    // Prepares DoModal for a template in memory (kept by the caller until DoModal returns).
    BOOL InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = NULL);

    // Runs the dialog modally: the EndDialog result, or -1 when it could not
    // be created (or the loop ended on WM_QUIT, which is posted again).
    virtual INT_PTR DoModal();
    // Ends the modal loop with nResult; a modeless dialog is only hidden.
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Control values to members (TRUE) or members to controls (FALSE);
    // FALSE when a value was refused (the user was told, the control has the focus).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl)
    {
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(SafeHwnd(pWndCtrl)), 1);
    }
    void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // TRUE while the modal loop of this dialog runs and EndDialog was not called.
    BOOL ContinueModal() const { return m_bContinueModal; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // The window a modal dialog is owned by and disables: the top-level
    // window of the parent given, else of the thread's active or main window.
    HWND PreModal();
    void PostModal();
    // Creates the window from a template; binds it to this object.
    BOOL CreateDlgIndirect(LPCDLGTEMPLATEA lpDialogTemplate, HWND hWndParent);
    // Pumps until EndDialog; returns the result.
    int RunModalLoop();

    LPCSTR m_lpszTemplateName;   // a resource name or MAKEINTRESOURCE id
    LPCDLGTEMPLATEA m_lpDialogTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult;
    BOOL m_bContinueModal;
    BOOL m_bInModalLoop;

private:
    // The end of DoModal, also when an exception leaves the loop: the dialog
    // hidden, the owner enabled and active again, the window destroyed.
    void EndModalState(HWND hWndOwner, BOOL bEnableOwner);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LPCDLGTEMPLATEA LoadTemplate(LPCSTR lpszTemplateName) const;
};

// A message box for the program: caption the application's name, owner the
// thread's active or main window. A test answerer answers it when installed.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same with the text of string resource nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
