// The system's common dialogs with framework objects. CCommonDialog hooks
// the dialog and, on the hook's first call, subclasses the dialog window for
// the object, so that messages sent to that window reach the object's
// WindowProc like those of any other window. A test answerer, when installed,
// is asked once the dialog is up (ModalAnswerer.h). CColorDialog and
// CFileDialog run ChooseColor and GetOpenFileName/GetSaveFileName.
#pragma once

#include "framework/Dialog.h"

#include <commdlg.h>

class CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd);

    // The framework's hook procedure for the dialog records (lpfnHook).
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // TRUE, with the answer, when a test answerer answered the last run.
    BOOL WasAnswered(INT_PTR* pnAnswer) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Commands go to the system's dialog procedure, which ends the dialog.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    // Before the system call: the owner window; the object waits for the hook.
    HWND PreModal();
    // After the system call: the wait ends and the object is unbound.
    void PostModal();
    // Binds hWndDialog to this object unless it is bound already; called
    // from the hook (a derived class with a hook of its own calls it on its
    // hook's first call). Then the test answerer is asked.
    BOOL AttachFromHook(HWND hWndDialog);
    // The dialog window for a hook call to hWndHook (the Explorer file
    // dialog hooks a child of the real dialog window).
    virtual HWND DialogWindowFromHook(HWND hWndHook) { return hWndHook; }
    // Keep and put back what an answerer filled in, across the closing of
    // the real dialog by Cancel.
    virtual void SaveAnswer() {}
    virtual void RestoreAnswer() {}
    // The result DoModal returns for a run the system reported as bOk.
    INT_PTR FinishModal(BOOL bOk);

    BOOL m_bAnswered;
    INT_PTR m_nAnswer;
};

class CColorDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = NULL);

    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    // The sixteen custom colours, shared by every colour dialog of the program.
    static COLORREF* PASCAL GetSavedCustomColors();

    CHOOSECOLORA m_cc;

protected:
    void SaveAnswer() override { m_clrAnswer = m_cc.rgbResult; }
    void RestoreAnswer() override { m_cc.rgbResult = m_clrAnswer; }

private:
    COLORREF m_clrAnswer;
};

class CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: pairs of description and pattern separated by '|'
    // ("Pictures (*.png)|*.png|All files|*.*||").
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = NULL, LPCSTR lpszFileName = NULL,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = NULL,
                         CWnd* pParentWnd = NULL);
    ~CFileDialog() override;

    INT_PTR DoModal() override;

    CString GetPathName() const;
    CString GetFileName() const;
    // The text after the last '.' of the file name; empty when none.
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAMEA m_ofn;
    BOOL m_bOpenFileDialog;

protected:
    HWND DialogWindowFromHook(HWND hWndHook) override;
    void SaveAnswer() override;
    void RestoreAnswer() override;

private:
    char m_szFileName[MAX_PATH];
    char m_szFileTitle[64];
    char* m_pszFilter;
    CString m_strDefExt;
    char m_szAnswer[MAX_PATH];
};
