// The one seam for tests: whatever would wait for a person (a message box,
// a modal dialog, a popup menu, a common dialog) first asks the installed
// answerer. The shipped program installs none, and then nothing changes.
// Each question may be declined (return FALSE / -1), and the real thing runs.
#pragma once

#include <windows.h>

class CCommonDialog;
class CDialog;
class CMenu;
class CWnd;

class CModalAnswerer
{
public:
    virtual ~CModalAnswerer() {}

    // A message box: TRUE with the button id in *pnResult answers it.
    virtual BOOL OnMessageBox(HWND hWndOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType, int* pnResult)
    {
        (void)hWndOwner, (void)lpszText, (void)lpszCaption, (void)nType, (void)pnResult;
        return FALSE;
    }
    // A modal dialog, asked once when its loop first goes idle (the dialog is
    // shown and its owner disabled). The answerer may work the dialog (set
    // controls, send commands) and return -1, or return a result with which
    // the dialog is ended.
    virtual INT_PTR OnDialog(CDialog* pDialog)
    {
        (void)pDialog;
        return -1;
    }
    // A popup menu about to be tracked: TRUE with the command in *pnCommand
    // (0 for none) chooses instead of a person; the menu is then not shown.
    virtual BOOL OnPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pOwner, UINT* pnCommand)
    {
        (void)pMenu, (void)nFlags, (void)x, (void)y, (void)pOwner, (void)pnCommand;
        return FALSE;
    }
    // A common dialog, asked once when it is up and its object is attached
    // to the dialog window. Return -1 to let it run (the answerer may work the
    // window), or IDOK/IDCANCEL after filling the object's record (the file
    // buffer of m_ofn, m_cc.rgbResult): the dialog window is closed and
    // DoModal returns that answer with the record as filled.
    virtual INT_PTR OnCommonDialog(CCommonDialog* pDialog)
    {
        (void)pDialog;
        return -1;
    }
};

// Installs pAnswerer for every thread (NULL removes it); returns the one before.
CModalAnswerer* AfxSetModalAnswerer(CModalAnswerer* pAnswerer);
CModalAnswerer* AfxGetModalAnswerer();
