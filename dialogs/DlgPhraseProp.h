// CDlgPhraseProp: the facts of a phrase (its length, how often and when it was
// sent last) and its text for editing. The caller's string is written only on
// OK.
#pragma once

#include "framework/Str.h"
#include "ui3d/dialogs/3DDialog.h"

class CSmilie;

class CDlgPhraseProp : public C3DDialog
{
public:
    CDlgPhraseProp(const CSmilie* pSmilie, CString* pText, CWnd* pParent = NULL);
    ~CDlgPhraseProp() override;

    CString* m_pTextOut;
    CString m_strPhrase;
    CString m_strFacts;
    CString m_strFactsTip;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
};
