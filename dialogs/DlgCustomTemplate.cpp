#include "dialogs/DlgCustomTemplate.h"

#include "dialogs/InsertTemplate.h"
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

int DefaultMessageBox(CWnd* pParent, LPCSTR pszText, UINT nType)
{
    return MessageBox3D(pParent, "Tarvenex", pszText, nType, g_Settings.FadeDialogs, SkinBodyStyle());
}

}  // namespace

int (*CDlgCustomTemplate::s_pfnMessageBox)(CWnd*, LPCSTR, UINT) = DefaultMessageBox;

CDlgCustomTemplate::CDlgCustomTemplate(CString& strTemplate, CWnd* pParent)
    : C3DDialog(IDD_CUSTOMTEMPLATE, pParent != NULL ? pParent : AfxGetMainWnd(), NULL, g_Settings.FadeDialogs,
                SkinBodyStyle(), g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL),
      m_strTemplate(strTemplate), m_strText(strTemplate.IsEmpty() ? CString(GetLangString(187)) : strTemplate)
{
}

CDlgCustomTemplate::~CDlgCustomTemplate() {}

BOOL CDlgCustomTemplate::OnInitDialogEx()
{
    SetWindowText(GetLangString(121));
    ::SetDlgItemTextA(m_hWnd, IDC_CUSTOMTEMPLATE_GROUP, GetLangString(187));
    return TRUE;
}

void CDlgCustomTemplate::OnInitControls()
{
    if (m_ToolTip.m_hWnd != NULL)
        m_ToolTip.AddTool(GetLangString(198), IDC_CUSTOMTEMPLATE_GROUP, NULL, GetLangString(187), 0, 0);
    UpdateData(FALSE);
}

void CDlgCustomTemplate::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_CUSTOMTEMPLATE_TEXT, m_strText);
}

void CDlgCustomTemplate::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_CUSTOMTEMPLATE_TEXT);
    switch (CheckInsertTemplate(m_strText)) {
    case TEMPLATE_NO_KEYWORD: {
        char szText[257];
        FormatTemplate(szText, sizeof(szText), GetLangString(188), "[KEYWORD]", "%s", kInsertTemplateKeyword, NULL);
        s_pfnMessageBox(CWnd::GetActiveWindow(), szText, MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(hEdit);
        return;
    }
    case TEMPLATE_TOO_LONG: {
        char szText[1024];
        FormatTemplate(szText, sizeof(szText), GetLangString(190), "[NUM]", "%d", int(MAX_INSERT_TEMPLATE), NULL);
        if (s_pfnMessageBox(CWnd::GetActiveWindow(), szText, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            m_strText = m_strText.Left(MAX_INSERT_TEMPLATE);
            ::SetWindowTextA(hEdit, m_strText);
        }
        ::SetFocus(hEdit);
        return;
    }
    case TEMPLATE_ACCEPTED:
        break;
    }
    m_strTemplate = m_strText;
    EndDialog3D(IDOK);
}
