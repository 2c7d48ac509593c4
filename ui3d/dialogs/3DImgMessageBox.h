// C3DImgMessageBox: the skinned message box. It has no dialog resource: the
// template is built in memory with no controls, and at initialisation the box
// creates its own skinned controls (the icon picture, the framed text, the
// buttons) and sizes itself around them. MessageBox3D and ChoiceBox3D are the
// calls the program makes.
#pragma once

#include "ui3d/dialogs/3DDialog.h"

// Buttons of the choice box that also answer for every further case.
enum
{
    IDCHOICE1 = 262,  // yes for all
    IDCHOICE2 = 263,  // no for all
    IDCHOICE3 = 264,  // rename
    IDCHOICE4 = 265   // rename for all
};

// Control ids of the box's own controls.
enum
{
    IDC_MSGBOX_ICON = 1001,
    IDC_MSGBOX_TEXT = 1002,
    IDC_MSGBOX_FRAME = 1003
};

// Layout modes: the buttons of the MB_ type, or the two rows of the choice box.
enum
{
    MSGBOXLAYOUT_STANDARD = 0,
    MSGBOXLAYOUT_CHOICE = 2
};

class C3DImgMessageBox : public C3DDialog
{
    DECLARE_DYNAMIC(C3DImgMessageBox)
public:
    C3DImgMessageBox(const BODYSTYLE* pBodyStyle, int bFade, CWnd* pParent);

    // Runs the box modally; the id of the button that ended it (IDCANCEL for
    // Escape, whatever the type), -1 when the window could not be made.
    int Show(LPCSTR pszText, LPCSTR pszCaption, UINT nType);

    BOOL OnInitDialogEx() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nType;
    int m_nLayout;
    CString m_strText;

private:
    CWnd* m_pOwner;
};

// The skinned replacement of the system's message box; the id of the pressed
// button. IDCANCEL at once, showing nothing, while a drag runs.
int MessageBox3D(CWnd* pParent, LPCSTR pszCaption, LPCSTR pszText, UINT nType, int bFade,
                 const BODYSTYLE* pBodyStyle);
// A question that may answer for all further cases: Yes, No, Cancel and the
// four IDCHOICE buttons, with the stop icon and the product's name as caption.
int ChoiceBox3D(CWnd* pParent, LPCSTR pszText, int bFade, const BODYSTYLE* pBodyStyle);
