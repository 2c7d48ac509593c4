// CDlgPhraseNew: asks for the text of a new phrase (a smilie that is only
// text). The phrase rules shared with the phrase properties dialog live here.
#pragma once

#include "framework/Str.h"
#include "ui3d/dialogs/3DDialog.h"

// The most characters a phrase holds.
const int kMaxPhraseLength = 10000;

// The text without blanks (spaces, tabs, line ends) at either end, stepping
// through double-byte characters whole.
CString TrimBlanksMultibyte(const CString& strText);
// The OK step of both phrase editors: TRUE with *pOut set when the text is
// accepted (cut to kMaxPhraseLength after the user agreed); FALSE, writing
// nothing, after telling the user why not.
BOOL AcceptPhraseText(CWnd* pDialog, const CString& strText, CString* pOut);

class CDlgPhraseNew : public C3DDialog
{
public:
    // pPhrase in and out.
    explicit CDlgPhraseNew(CString* pPhrase, CWnd* pParent = NULL);
    ~CDlgPhraseNew() override;

    CString* m_pPhraseOut;
    CString m_strPhrase;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
};
