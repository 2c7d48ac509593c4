#include "dialogs/DlgPhraseNew.h"

#include "framework/DataExchange.h"
#include "framework/Thread.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/SysUtils.h"

namespace {

const BODYSTYLE* SkinBodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

}  // namespace

CString TrimBlanksMultibyte(const CString& strText)
{
    LPCSTR psz = strText;
    LPCSTR pFirst = NULL;   // first character that is no blank
    LPCSTR pEnd = psz;      // just after the last one
    for (LPCSTR p = psz; *p != '\0'; p = ::CharNextA(p)) {
        const bool bLead = ::IsDBCSLeadByte(static_cast<BYTE>(*p)) != 0;
        if (bLead || !IsBlank(*p)) {
            if (pFirst == NULL)
                pFirst = p;
            pEnd = ::CharNextA(p);
        }
    }
    if (pFirst == NULL)
        return CString();
    return strText.Mid(static_cast<int>(pFirst - psz), static_cast<int>(pEnd - pFirst));
}

BOOL AcceptPhraseText(CWnd* pDialog, const CString& strText, CString* pOut)
{
    if (strText.GetLength() <= kMaxPhraseLength) {
        if (TrimBlanksMultibyte(strText).IsEmpty()) {
            MessageBox3D(pDialog, "Tarvenex", GetLangString(266), MB_OK | MB_ICONEXCLAMATION, g_Settings.FadeDialogs,
                         SkinBodyStyle());
            return FALSE;
        }
        if (pOut != NULL)
            *pOut = strText;
        return TRUE;
    }
    char szText[1024];
    FormatTemplate(szText, sizeof(szText), GetLangString(190), "[NUM]", "%d", kMaxPhraseLength, NULL);
    if (MessageBox3D(pDialog, "Tarvenex", szText, MB_YESNO | MB_ICONQUESTION, g_Settings.FadeDialogs,
                     SkinBodyStyle()) != IDYES)
        return FALSE;
    if (pOut != NULL)
        *pOut = strText.Left(kMaxPhraseLength);
    return TRUE;
}

CDlgPhraseNew::CDlgPhraseNew(CString* pPhrase, CWnd* pParent)
    : C3DDialog(IDD_PHRASENEW, pParent != NULL ? pParent : AfxGetMainWnd(), NULL, g_Settings.FadeDialogs,
                SkinBodyStyle(), g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL),
      m_pPhraseOut(pPhrase)
{
    if (pPhrase != NULL)
        m_strPhrase = *pPhrase;
}

CDlgPhraseNew::~CDlgPhraseNew()
{
}

void CDlgPhraseNew::DoDataExchange(CDataExchange* pDX)
{
    C3DDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PHRASE_TEXT, m_strPhrase);
}

BOOL CDlgPhraseNew::OnInitDialogEx()
{
    SetWindowText(GetLangString(263));
    ::SetDlgItemTextA(m_hWnd, IDC_PHRASE_TEXTGROUP, GetLangString(264));
    return TRUE;
}

void CDlgPhraseNew::OnInitControls()
{
    if (m_ToolTip.m_hWnd != NULL) {
        char szTip[1024];
        FormatTemplate(szTip, sizeof(szTip), GetLangString(265), "[CHARNUM]", "%d", kMaxPhraseLength, NULL);
        m_ToolTip.AddTool(szTip, IDC_PHRASE_TEXTGROUP, NULL, GetLangString(264), 0, 0);
    }
    UpdateData(FALSE);
}

void CDlgPhraseNew::OnOK()
{
    if (m_nFadeState != 0)
        return;
    if (!UpdateData(TRUE))
        return;
    if (AcceptPhraseText(this, m_strPhrase, m_pPhraseOut))
        EndDialog3D(IDOK);
}
