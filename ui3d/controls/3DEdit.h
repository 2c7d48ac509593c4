// C3DEdit: the skinned edit: its own border in the body style's colours, its
// own text and background colours, a skinned context menu with the usual edit
// commands. CPopUpEdit: the edit of the skinned dialogs; when asked for, it
// edits its text in a larger popup (CPopUpWnd holding a multi-line
// CPopUpBigEdit) that opens when the edit gets the focus and writes the text
// back whenever it closes.
#pragma once

#include "services/Messages.h"
#include "framework/Edit.h"
#include "ui3d/StyleRecords.h"

#ifndef WM_POPUPCLOSED
#define WM_POPUPCLOSED (WM_APP + 0x10)  // wParam the popup editor window
#endif

// Commands of the edit's context menu.
enum
{
    ID_EDITMENU_UNDO = 1024,
    ID_EDITMENU_CUT = 1025,
    ID_EDITMENU_COPY = 1026,
    ID_EDITMENU_PASTE = 1027,
    ID_EDITMENU_DELETE = 1028,
    ID_EDITMENU_SELECTALL = 1029
};

class C3DMenu;

class C3DEdit : public CEdit
{
    DECLARE_DYNAMIC(C3DEdit)
public:
    C3DEdit(COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack);
    ~C3DEdit() override;

    // Shows the edit menu at the cursor and carries out the chosen command.
    virtual void ShowContextMenu();
    // Fills pMenu (created) with the edit commands, greyed as the edit's state asks.
    void BuildContextMenu(C3DMenu* pMenu);
    // Carries out a command of the context menu.
    void DoMenuCommand(UINT nCommand);
    // Paints the border into the window DC hDC.
    void PaintBorder(HDC hDC);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BODYSTYLE m_style;
    CString m_strText;
    COLORREF m_clrText;
    COLORREF m_clrBack;
    HBRUSH m_hBrush;
    int m_bRightDown;

protected:
    C3DMenu* m_pMenu;   // while the context menu is up
};

class CPopUpEdit;

class CPopUpBigEdit : public C3DEdit
{
    DECLARE_DYNAMIC(CPopUpBigEdit)
public:
    CPopUpBigEdit(COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack)
        : C3DEdit(clrText, pStyle, clrBack), m_hWndPopup(NULL), m_hWndOwner(NULL) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND m_hWndPopup;
    HWND m_hWndOwner;
};

class CPopUpWnd : public CWnd
{
    DECLARE_DYNAMIC(CPopUpWnd)
public:
    CPopUpWnd(int cxMin, int cyMin, COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack);

    // Opens over the owner edit; FALSE when the window cannot be made.
    BOOL Open(CPopUpEdit* pOwner, POINT ptClick);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CPopUpBigEdit m_edit;
    CPopUpEdit* m_pOwner;
    int m_cxMin;
    int m_cyMin;

private:
    void NotifyClosed();
};

class CPopUpEdit : public C3DEdit
{
    DECLARE_DYNAMIC(CPopUpEdit)
public:
    CPopUpEdit(COLORREF clrText, const BODYSTYLE* pStyle, COLORREF clrBack);
    ~CPopUpEdit() override;

    // Takes over the dialog's edit nID; with pEditorSize the edit gets a popup
    // editor of at least that size.
    using CWnd::Attach;
    BOOL Attach(const SIZE* pEditorSize, UINT nID, CWnd* pDialog);
    // 1 opens the popup editor (when there is one and it is closed); 0 closes
    // it and writes its text back into the edit.
    void OpenPopup(BOOL bOpen);
    BOOL IsPopupOpen() const;
    CPopUpWnd* GetPopup() const { return m_pPopup; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CPopUpWnd* m_pPopup;
    POINT m_ptClick;
};
