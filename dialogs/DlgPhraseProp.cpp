#include "dialogs/DlgPhraseProp.h"

#include "collection/Smilie.h"
#include "dialogs/DlgPhraseNew.h"
#include "framework/DataExchange.h"
#include "framework/Thread.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/system/SysUtils.h"

#include <stdio.h>

CDlgPhraseProp::CDlgPhraseProp(const CSmilie* pSmilie, CString* pText, CWnd* pParent)
    : C3DDialog(IDD_PHRASEPROP, pParent != NULL ? pParent : AfxGetMainWnd(), NULL, g_Settings.FadeDialogs,
                g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL, g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL),
      m_pTextOut(pText)
{
    char szDate[64] = "";
    char szTime[64] = "";
    DWORD nUses = 0;
    if (pSmilie != NULL) {
        m_strPhrase = pSmilie->m_strPhrase;
        nUses = pSmilie->m_nUsageCount;
        if (!::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &pSmilie->m_Date, "MM/dd/yy", szDate, sizeof(szDate)))
            szDate[0] = '\0';
        if (!::GetTimeFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &pSmilie->m_Date, NULL, szTime,
                              sizeof(szTime)))
            szTime[0] = '\0';
    }
    if (szDate[0] == '\0')
        lstrcpyA(szDate, "--/--/--");
    if (szTime[0] == '\0')
        lstrcpyA(szTime, "--:--:--");
    char szUses[16], szLength[16];
    sprintf(szUses, "%lu", static_cast<unsigned long>(nUses));
    sprintf(szLength, "%d", m_strPhrase.GetLength());
    m_strFacts = CString(GetLangString(254)) + ": " + szLength + "\r\n" + GetLangString(255) + ": " + szUses + "\r\n" +
                 GetLangString(256) + ": " + szDate;
    char szTip[256];
    FormatTemplate(szTip, sizeof(szTip), GetLangString(259), "[TEXTLEN]", "%s", szLength, "[CLICKS]", "%s", szUses,
                   "[TIME]", "%s", szTime, "[DATE]", "%s", szDate, NULL);
    m_strFactsTip = szTip;
}

CDlgPhraseProp::~CDlgPhraseProp()
{
}

void CDlgPhraseProp::DoDataExchange(CDataExchange* pDX)
{
    C3DDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PHRASE_TEXT, m_strPhrase);
}

BOOL CDlgPhraseProp::OnInitDialogEx()
{
    SetWindowText(GetLangString(253));
    ::SetDlgItemTextA(m_hWnd, IDC_PHRASE_FACTS, m_strFacts);
    ::SetDlgItemTextA(m_hWnd, IDC_PHRASE_FACTSGROUP, GetLangString(257));
    ::SetDlgItemTextA(m_hWnd, IDC_PHRASE_TEXTGROUP, GetLangString(258));
    return TRUE;
}

void CDlgPhraseProp::OnInitControls()
{
    if (m_ToolTip.m_hWnd != NULL) {
        m_ToolTip.AddTool(m_strFactsTip, IDC_PHRASE_FACTS, NULL, GetLangString(257), 0, 0);
        m_ToolTip.AddTool(m_strFactsTip, IDC_PHRASE_FACTSGROUP, NULL, GetLangString(257), 0, 0);
        char szTip[1024];
        FormatTemplate(szTip, sizeof(szTip), GetLangString(262), "[CHARNUM]", "%d", kMaxPhraseLength, NULL);
        m_ToolTip.AddTool(szTip, IDC_PHRASE_TEXTGROUP, NULL, GetLangString(258), 0, 0);
    }
    UpdateData(FALSE);
}

void CDlgPhraseProp::OnOK()
{
    if (m_nFadeState != 0)
        return;
    if (!UpdateData(TRUE))
        return;
    if (AcceptPhraseText(this, m_strPhrase, m_pTextOut))
        EndDialog3D(IDOK);
}
