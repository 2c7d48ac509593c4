// CDlgSmilieNew: asks for the web address of a new picture smilie and,
// optionally, an insertion template of its own. The caller's strings are
// written only when the user confirms with OK and both texts are accepted.
#pragma once

#include "framework/Str.h"
#include "ui3d/dialogs/3DDialog.h"

class CDlgSmilieNew : public C3DDialog
{
public:
    // pAddress in and out, pTemplate out (empty: the field's template).
    CDlgSmilieNew(CString* pAddress, CString* pTemplate, CWnd* pParent = NULL);
    ~CDlgSmilieNew() override;

    // Empties and locks the own-template edit for choice 0, else shows the
    // own template (or a hint while it is empty) for editing.
    void ShowTemplateEdit();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CString* m_pAddressOut;
    CString* m_pTemplateOut;
    CString m_strAddress;
    CString m_strOwnTemplate;
    int m_nChoice;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
};
