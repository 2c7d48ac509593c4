#include "dialogs/DlgSmilieNew.h"

#include "delivery/SourceText.h"
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

CString WindowText(HWND hWnd)
{
    CString str;
    if (hWnd == NULL)
        return str;
    const int n = ::GetWindowTextLengthA(hWnd);
    ::GetWindowTextA(hWnd, str.GetBuffer(n + 1), n + 1);
    str.ReleaseBuffer();
    return str;
}

}  // namespace

CDlgSmilieNew::CDlgSmilieNew(CString* pAddress, CString* pTemplate, CWnd* pParent)
    : C3DDialog(IDD_SMILIENEW, pParent != NULL ? pParent : AfxGetMainWnd(), NULL, g_Settings.FadeDialogs,
                SkinBodyStyle(), g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL),
      m_pAddressOut(pAddress), m_pTemplateOut(pTemplate), m_nChoice(0)
{
    if (pAddress != NULL)
        m_strAddress = *pAddress;
}

CDlgSmilieNew::~CDlgSmilieNew()
{
}

void CDlgSmilieNew::DoDataExchange(CDataExchange* pDX)
{
    C3DDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SMILIENEW_ADDRESS, m_strAddress);
    DDX_CBIndex(pDX, IDC_SMILIENEW_TEMPLATECHOICE, m_nChoice);
}

BOOL CDlgSmilieNew::OnInitDialogEx()
{
    SetWindowText(GetLangString(267));
    ::SetDlgItemTextA(m_hWnd, IDC_SMILIENEW_ADDRESSGROUP, GetLangString(268));
    ::SetDlgItemTextA(m_hWnd, IDC_SMILIENEW_TEMPLATEGROUP, GetLangString(186));
    HWND hCombo = ::GetDlgItem(m_hWnd, IDC_SMILIENEW_TEMPLATECHOICE);
    ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetLangString(243)));
    ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetLangString(12)));
    return TRUE;
}

void CDlgSmilieNew::OnInitControls()
{
    if (m_ToolTip.m_hWnd != NULL) {
        m_ToolTip.AddTool(GetLangString(270), IDC_SMILIENEW_ADDRESSGROUP, NULL, GetLangString(268), 0, 0);
        m_ToolTip.AddTool(GetLangString(245), IDC_SMILIENEW_TEMPLATEGROUP, NULL, GetLangString(186), 0, 0);
        m_ToolTip.AddTool(GetLangString(245), IDC_SMILIENEW_TEMPLATECHOICE, NULL, GetLangString(186), 0, 0);
    }
    ShowTemplateEdit();
    UpdateData(FALSE);
}

void CDlgSmilieNew::ShowTemplateEdit()
{
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_SMILIENEW_TEMPLATE);
    if (hEdit == NULL)
        return;
    if (m_nChoice == 0) {
        ::SetWindowTextA(hEdit, "");
        ::SendMessageA(hEdit, EM_SETREADONLY, TRUE, 0);
        ::EnableWindow(hEdit, FALSE);
        return;
    }
    const BOOL bEmpty = m_strOwnTemplate.IsEmpty();
    ::SetWindowTextA(hEdit, bEmpty ? GetLangString(187) : static_cast<LPCTSTR>(m_strOwnTemplate));
    ::EnableWindow(hEdit, TRUE);
    ::SendMessageA(hEdit, EM_SETREADONLY, FALSE, 0);
    if (bEmpty)
        ::SendMessageA(hEdit, EM_SETSEL, 0, -1);
    ::SetFocus(hEdit);
}

LRESULT CDlgSmilieNew::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_SMILIENEW_TEMPLATECHOICE && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT n = ::SendDlgItemMessageA(m_hWnd, IDC_SMILIENEW_TEMPLATECHOICE, CB_GETCURSEL, 0, 0);
        m_nChoice = n > 0 ? 1 : 0;
        ShowTemplateEdit();
        return 0;
    }
    return C3DDialog::WindowProc(message, wParam, lParam);
}

void CDlgSmilieNew::OnOK()
{
    if (m_nFadeState != 0)
        return;
    if (!UpdateData(TRUE))
        return;
    HWND hAddress = ::GetDlgItem(m_hWnd, IDC_SMILIENEW_ADDRESS);
    CString strAddress = m_strAddress;
    strAddress.Trim();
    CString strWeb;
    if (ExtractWebAddress(strAddress, strWeb))
        strAddress = strWeb;
    const int nClass = ClassifySourceText(strAddress);
    if (nClass != SOURCE_PICTURE_ADDRESS) {
        MessageBox3D(this, "Tarvenex", GetLangString(nClass == SOURCE_OTHER_ADDRESS ? 272 : 271),
                     MB_OK | MB_ICONEXCLAMATION, g_Settings.FadeDialogs, SkinBodyStyle());
        ::SetFocus(hAddress);
        return;
    }

    // Nothing goes out until both texts are accepted: a dialog that stays
    // open may still be cancelled.
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_SMILIENEW_TEMPLATE);
    CString strTemplate;
    if (m_nChoice != 0) {
        strTemplate = WindowText(hEdit);
        m_strOwnTemplate = strTemplate;
    }
    switch (CheckInsertTemplate(strTemplate)) {
    case TEMPLATE_TOO_LONG: {
        char szText[1024];
        FormatTemplate(szText, sizeof(szText), GetLangString(190), "[NUM]", "%d", int(MAX_INSERT_TEMPLATE), NULL);
        if (MessageBox3D(this, "Tarvenex", szText, MB_YESNO | MB_ICONQUESTION, g_Settings.FadeDialogs,
                         SkinBodyStyle()) == IDYES) {
            m_strOwnTemplate = strTemplate.Left(MAX_INSERT_TEMPLATE);
            if (m_nChoice > 0)
                ::SetWindowTextA(hEdit, m_strOwnTemplate);
        } else {
            ::SetFocus(hEdit);
        }
        return;
    }
    case TEMPLATE_NO_KEYWORD: {
        char szText[257];
        FormatTemplate(szText, sizeof(szText), GetLangString(188), "[KEYWORD]", "%s", kInsertTemplateKeyword, NULL);
        MessageBox3D(this, "Tarvenex", szText, MB_OK | MB_ICONEXCLAMATION, g_Settings.FadeDialogs, SkinBodyStyle());
        ::SetFocus(hEdit);
        return;
    }
    case TEMPLATE_ACCEPTED:
        break;
    }
    if (m_pAddressOut != NULL)
        *m_pAddressOut = strAddress;
    if (m_pTemplateOut != NULL)
        *m_pTemplateOut = strTemplate;
    EndDialog3D(IDOK);
}
