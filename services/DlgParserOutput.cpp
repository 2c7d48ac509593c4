#include "services/DlgParserOutput.h"

#include "resources/resource.h"

CDlgParserOutput::CDlgParserOutput(UINT nIDTemplate, const char* pszReport, const char* pszButtonText)
    : CDialog(nIDTemplate), m_strReport(pszReport), m_strButtonText(pszButtonText)
{
}

CDlgParserOutput::~CDlgParserOutput() {}

BOOL CDlgParserOutput::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The report must not hide behind a window of another program: at
    // start-up nothing of ours is in front yet.
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    const HWND hEdit = ::GetDlgItem(m_hWnd, IDC_PARSEROUTPUT_TEXT);
    ::SetWindowTextA(hEdit, m_strReport);
    ::SendMessageA(hEdit, WM_VSCROLL, SB_BOTTOM, 0);
    ::SetDlgItemTextA(m_hWnd, IDOK, m_strButtonText);
    // Focus on the button: given to the edit, the dialog manager would select
    // the whole report.
    ::SetFocus(::GetDlgItem(m_hWnd, IDOK));
    return FALSE;
}

CDlgLangParserOutput::CDlgLangParserOutput(const char* pszReport, const char* pszButtonText)
    : CDlgParserOutput(IDD_LANGPARSEROUTPUT, pszReport, pszButtonText)
{
}

CDlgSkinParserOutput::CDlgSkinParserOutput(const char* pszReport, const char* pszButtonText)
    : CDlgParserOutput(IDD_SKINPARSEROUTPUT, pszReport, pszButtonText)
{
}
