// CDlgCustomTemplate: edits the insertion template of all fields, the text
// put around a smilie's address ("<SMILIE>") when a smilie is sent as text.
// The caller's text is written only when the edited one is accepted.
#pragma once

#include "framework/Str.h"
#include "ui3d/dialogs/3DDialog.h"

class CDlgCustomTemplate : public C3DDialog
{
public:
    // An empty template shows the language's example text.
    CDlgCustomTemplate(CString& strTemplate, CWnd* pParent = NULL);
    ~CDlgCustomTemplate() override;

    const CString& GetText() const { return m_strText; }

    // What the checks ask; tests put in their own.
    static int (*s_pfnMessageBox)(CWnd* pParent, LPCSTR pszText, UINT nType);

protected:
    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    CString& m_strTemplate;
    CString m_strText;
};
