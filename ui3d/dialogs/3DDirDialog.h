// C3DDirDialog: the shell's folder browser, listed among the live dialogs so
// that the program finds it while it runs. It can add a label and a drop-down
// list of choices under the folder tree: the browse window is laid out again
// once it is up ("WM_MODIFYDIRDLG"), and the added controls keep their
// distances to the window's bottom and right edges when it is resized.
#pragma once

#include "framework/CommonDialog.h"

class C3DDirDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(C3DDirDialog)
public:
    // pszChoices: the list's entries separated by '|', CR or LF; an empty or
    // NULL list leaves the browser as the shell lays it out.
    C3DDirDialog(LPCSTR pszTitle, UINT nFlags, CWnd* pParent, LPCSTR pszLabel = NULL, LPCSTR pszChoices = NULL);
    ~C3DDirDialog() override;

    // IDOK when a folder was chosen; IDCANCEL otherwise, also while a drag
    // runs or the dialog runs already.
    INT_PTR DoModal() override;
    // The chosen folder with a trailing '\' (none added to an empty path or
    // one that ends in '\' or '/').
    CString GetPath() const;
    // The entry chosen in the list, from 0.
    int GetChoice() const { return m_nChoice; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CString m_strTitle;
    UINT m_nFlags;
    int m_nRootCsidl;  // CSIDL of the root; 0 the desktop
    char m_szDisplayName[MAX_PATH];
    char m_szPath[MAX_PATH];
    CString m_strLabel;
    CString m_strChoices;
    HWND m_hLabel;
    HWND m_hList;
    int m_nLabelBottom;  // distances of the added controls to the browse
    int m_nListBottom;   // window's client bottom and right edges
    int m_nListRight;
    int m_cyListDropped;  // the list's height with every entry dropped down
    int m_nChoice;

protected:
    void SaveAnswer() override { lstrcpynA(m_szAnswer, m_szPath, MAX_PATH); }
    void RestoreAnswer() override { lstrcpynA(m_szPath, m_szAnswer, MAX_PATH); }

private:
    static int CALLBACK BrowseCallback(HWND hWnd, UINT message, LPARAM lParam, LPARAM lpData);
    // Makes room under the folder tree for the label and the list; leaves
    // the window as it is when the tree cannot be found.
    void ModifyLayout();
    void KeepAddedControlsInPlace();
    void DestroyAddedControls();

    // The folder tree, which ends m_nTreeGap above the rows under it. A
    // browser that lays itself out again from its template (Wine's does on
    // every resize) puts its controls back over the added row; they are
    // moved up again and the tree shortened.
    HWND m_hTree;
    int m_nTreeGap;

    BOOL m_bModified;
    char m_szAnswer[MAX_PATH];
};
