#include "dialogs/DlgFieldProp.h"

#include "dialogs/InsertTemplate.h"
#include "framework/DataExchange.h"
#include "framework/Thread.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/controls/ClrSelButton.h"
#include "ui3d/dialogs/3DColorDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/SysUtils.h"

#include <stdio.h>
#include <string.h>

namespace {

const struct {
    LPCTSTR pszName;
    LPCTSTR pszTemplate;
} kPresets[CDlgFieldProp::PRESET_COUNT] = {
    {"IMG", "[img]<SMILIE>[/img]"},
    {"HTML", "<img src=\"<SMILIE>\" width=\"<W>\" height=\"<H>\">"},
    {"ezboard", "[image]<SMILIE>[/image]"},
};

const UINT kSwatchIds[10] = {IDC_FIELDPROP_COLOR, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021};

const BODYSTYLE* SkinBodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

BOOL ChooseColorDialog(CWnd* pParent, COLORREF* pColor)
{
    C3DColorDialog dlg(*pColor, CC_FULLOPEN | CC_ANYCOLOR, pParent);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    *pColor = dlg.GetColor();
    return TRUE;
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

CDlgFieldProp::CDlgFieldProp(COLORREF clr, const POINT* pPos, CString* pCaption, CString* pTemplate,
                             int* pWhiteCells, int nSmilies, int nTotalSmilies, int nBytes, int nTotalBytes,
                             CWnd* pParent)
    : C3DDialog(IDD_FIELDPROP, pParent != NULL ? pParent : AfxGetMainWnd(), pPos, g_Settings.FadeDialogs,
                SkinBodyStyle(), g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL),
      m_pCaptionOut(pCaption), m_pTemplateOut(pTemplate), m_pWhiteCellsOut(pWhiteCells), m_clr(clr),
      m_nWhiteCells(pWhiteCells != NULL ? *pWhiteCells : 0), m_nPreset(PRESET_CUSTOM)
{
    if (pCaption != NULL)
        m_strCaption = *pCaption;
    const CString strTemplate = pTemplate != NULL ? *pTemplate : CString();
    m_nPreset = FindPreset(strTemplate);
    if (m_nPreset == PRESET_CUSTOM)
        m_strCustom = strTemplate;
    m_nNumbers[0] = nSmilies;
    m_nNumbers[1] = nTotalSmilies;
    m_nNumbers[2] = nBytes;
    m_nNumbers[3] = nTotalBytes;
}

CDlgFieldProp::~CDlgFieldProp() {}

LPCTSTR CDlgFieldProp::GetPresetName(int nIndex)
{
    return nIndex >= 0 && nIndex < PRESET_COUNT ? kPresets[nIndex].pszName : "";
}

LPCTSTR CDlgFieldProp::GetPresetTemplate(int nIndex)
{
    return nIndex >= 0 && nIndex < PRESET_COUNT ? kPresets[nIndex].pszTemplate : "";
}

int CDlgFieldProp::FindPreset(const CString& strTemplate)
{
    for (int i = 0; i < PRESET_COUNT; ++i)
        if (strTemplate.CompareNoCase(kPresets[i].pszTemplate) == 0)
            return i;
    return PRESET_CUSTOM;
}

BOOL CDlgFieldProp::OnInitDialogEx()
{
    HWND hPlace = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_PICTURE);
    if (hPlace != NULL) {
        RECT rc;
        ::GetWindowRect(hPlace, &rc);
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        ::DestroyWindow(hPlace);
        CreateImageStatic(IDG_FIELDPROP_PICTURE, IDG_FIELDPROP_PICTURE_MASK, "Gif", rc, this, IDC_FIELDPROP_PICTURE);
    }
    char szText[512];
    FormatTemplate(szText, 129, GetLangString(218), "[FIELDNAME]", "%s", static_cast<LPCTSTR>(m_strCaption), NULL);
    SetWindowText(szText);
    ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_COLORLABEL, GetLangString(220));
    ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_NAMEGROUP, GetLangString(221));
    ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_CONTENTSGROUP, GetLangString(227));
    ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_CODELABEL, GetLangString(222));
    ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_WHITECELLS, GetLangString(230));
    ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_MORECOLORS, "\xBB");
    if (m_nNumbers[0] < 0 || m_nNumbers[1] < 0 || m_nNumbers[2] < 0 || m_nNumbers[3] < 0) {
        ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_COUNTS1, GetLangString(521));
        ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_COUNTS2, GetLangString(521));
    } else {
        FormatTemplate(szText, 129, GetLangString(228), "[NUM]", "%d", m_nNumbers[0], "[TOTALNUM]", "%d",
                       m_nNumbers[1], NULL);
        ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_COUNTS1, szText);
        FormatTemplate(szText, 129, GetLangString(229), "[NUM]", "%d", m_nNumbers[2], "[TOTALNUM]", "%d",
                       m_nNumbers[3], NULL);
        ::SetDlgItemTextA(m_hWnd, IDC_FIELDPROP_COUNTS2, szText);
    }
    HWND hCombo = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_PRESET);
    for (int i = 0; i < PRESET_COUNT; ++i)
        ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kPresets[i].pszName));
    ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetLangString(12)));
    return TRUE;
}

void CDlgFieldProp::OnInitControls()
{
    if (m_ToolTip.m_hWnd != NULL) {
        for (UINT nId : kSwatchIds) {
            CWnd* pSwatch = CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(nId)));
            CClrSelButton* pButton = dynamic_cast<CClrSelButton*>(pSwatch);
            if (pButton == NULL)
                continue;
            char szTip[32];
            sprintf(szTip, "RGB: %02X %02X %02X", GetRValue(pButton->m_clr), GetGValue(pButton->m_clr),
                    GetBValue(pButton->m_clr));
            m_ToolTip.AddTool(szTip, nId, NULL, NULL, 0, 0);
        }
        m_ToolTip.AddTool(GetLangString(226), IDC_FIELDPROP_MORECOLORS, NULL, NULL, 0, 0);
        m_ToolTip.AddTool(GetLangString(223), IDC_FIELDPROP_NAMEGROUP, NULL, GetLangString(221), 0, 0);
        m_ToolTip.AddTool(GetLangString(224), IDC_FIELDPROP_COLORLABEL, NULL, GetLangString(220), 0, 0);
        m_ToolTip.AddTool(GetLangString(225), IDC_FIELDPROP_PRESET, NULL, GetLangString(244), 0, 0);
        m_ToolTip.AddTool(GetLangString(225), IDC_FIELDPROP_CODELABEL, NULL, GetLangString(222), 0, 0);
        m_ToolTip.AddTool(GetLangString(231), IDC_FIELDPROP_WHITECELLS, NULL, GetLangString(230), 0, 0);
    }
    ShowInsertTemplate(m_nPreset);
    UpdateData(FALSE);
    ShowMoreColorsFace();
}

// Button 1089 looks like the swatches while one of them is chosen, else it
// shows the field's colour on its face.
void CDlgFieldProp::ShowMoreColorsFace()
{
    HWND hMore = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_MORECOLORS);
    HWND hGroup = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_COLOR);
    if (hMore == NULL || hGroup == NULL)
        return;
    BODYSTYLE style = m_BodyStyle;
    const COLORREF clrChosen = static_cast<COLORREF>(::SendMessageA(hGroup, WM_CLRSELGET, 0,
                                                                     reinterpret_cast<LPARAM>(&style)));
    if (clrChosen != m_clr) {
        ::SendMessageA(hMore, WM_GETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style));
        style.clrFace = m_clr;
    }
    ::SendMessageA(hMore, WM_SETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style));
    ::InvalidateRect(hMore, NULL, TRUE);
}

void CDlgFieldProp::ShowInsertTemplate(int nIndex)
{
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_TEMPLATE);
    if (hEdit == NULL)
        return;
    if (nIndex >= 0 && nIndex < PRESET_COUNT) {
        ::SetWindowTextA(hEdit, kPresets[nIndex].pszTemplate);
        ::SendMessageA(hEdit, EM_SETREADONLY, TRUE, 0);
        ::EnableWindow(hEdit, TRUE);
        return;
    }
    ::SetWindowTextA(hEdit, m_strCustom.IsEmpty() ? GetLangString(187) : static_cast<LPCTSTR>(m_strCustom));
    ::SendMessageA(hEdit, EM_SETREADONLY, FALSE, 0);
    ::EnableWindow(hEdit, TRUE);
    if (m_strCustom.IsEmpty())
        ::SendMessageA(hEdit, EM_SETSEL, 0, -1);
    ::SetFocus(hEdit);
}

void CDlgFieldProp::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_FIELDPROP_CAPTION, m_strCaption);
    HWND hGroup = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_COLOR);
    if (hGroup != NULL) {
        if (pDX->m_bSaveAndValidate)
            m_clr = static_cast<COLORREF>(::SendMessageA(hGroup, WM_CLRSELGET, 0, 0));
        else
            ::SendMessageA(hGroup, WM_CLRSELSET, m_clr, 0);
    }
    DDX_Check(pDX, IDC_FIELDPROP_WHITECELLS, m_nWhiteCells);
    DDX_CBIndex(pDX, IDC_FIELDPROP_PRESET, m_nPreset);
}

void CDlgFieldProp::ChooseMoreColors()
{
    const COLORREF clrBefore = m_clr;
    UpdateData(TRUE);
    if (m_clr == 0)
        m_clr = clrBefore;
    COLORREF clr = m_clr;
    if (!ChooseColorDialog(this, &clr))
        return;
    m_clr = clr == 0 ? 0x010101 : clr;
    UpdateData(FALSE);
    ShowMoreColorsFace();
}

BOOL CDlgFieldProp::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nId = LOWORD(wParam), nCode = HIWORD(wParam);
    if (nId == IDC_FIELDPROP_PRESET && nCode == CBN_SELCHANGE) {
        const int nIndex = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_FIELDPROP_PRESET, CB_GETCURSEL, 0, 0));
        if (m_nPreset == PRESET_CUSTOM)
            m_strCustom = WindowText(::GetDlgItem(m_hWnd, IDC_FIELDPROP_TEMPLATE));
        if (nIndex >= 0)
            m_nPreset = nIndex;
        ShowInsertTemplate(m_nPreset);
        return TRUE;
    }
    if (nId == IDC_FIELDPROP_MORECOLORS && nCode == BN_CLICKED) {
        ChooseMoreColors();
        return TRUE;
    }
    return C3DDialog::OnCommand(wParam, lParam);
}

LRESULT CDlgFieldProp::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLRSELCHANGED && m_hWnd != NULL) {
        HWND hSwatch = reinterpret_cast<HWND>(wParam);
        if (hSwatch != NULL && ::GetParent(hSwatch) == m_hWnd) {
            HWND hMore = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_MORECOLORS);
            BODYSTYLE style = m_BodyStyle;
            ::SendMessageA(::GetDlgItem(m_hWnd, IDC_FIELDPROP_COLOR), WM_CLRSELGET, 0,
                           reinterpret_cast<LPARAM>(&style));
            if (hMore != NULL) {
                ::SendMessageA(hMore, WM_SETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style));
                ::InvalidateRect(hMore, NULL, TRUE);
            }
        }
    }
    return C3DDialog::WindowProc(message, wParam, lParam);
}

void CDlgFieldProp::OnOK()
{
    if (m_nFadeState != 0)
        return;
    const COLORREF clrBefore = m_clr;
    if (!UpdateData(TRUE))
        return;
    if (m_clr == 0)
        m_clr = clrBefore;
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_FIELDPROP_TEMPLATE);
    CString strTemplate;
    if (m_nPreset >= 0 && m_nPreset < PRESET_COUNT) {
        strTemplate = kPresets[m_nPreset].pszTemplate;
    } else {
        strTemplate = WindowText(hEdit);
        m_strCustom = strTemplate;
    }
    // Nothing is written until the template is accepted: a dialog that stays
    // open may still be cancelled.
    switch (CheckInsertTemplate(strTemplate)) {
    case TEMPLATE_NO_KEYWORD: {
        char szText[257];
        FormatTemplate(szText, sizeof(szText), GetLangString(188), "[KEYWORD]", "%s", kInsertTemplateKeyword, NULL);
        MessageBox3D(this, "Tarvenex", szText, MB_OK | MB_ICONEXCLAMATION, g_Settings.FadeDialogs, SkinBodyStyle());
        ::SetFocus(hEdit);
        return;
    }
    case TEMPLATE_TOO_LONG: {
        char szText[1024];
        FormatTemplate(szText, sizeof(szText), GetLangString(190), "[NUM]", "%d", int(MAX_INSERT_TEMPLATE), NULL);
        if (MessageBox3D(this, "Tarvenex", szText, MB_YESNO | MB_ICONQUESTION, g_Settings.FadeDialogs,
                         SkinBodyStyle()) == IDYES) {
            m_strCustom = strTemplate.Left(MAX_INSERT_TEMPLATE);
            ::SetWindowTextA(hEdit, m_strCustom);
        } else {
            ::SetFocus(hEdit);
        }
        return;
    }
    case TEMPLATE_ACCEPTED:
        break;
    }
    if (m_pCaptionOut != NULL)
        *m_pCaptionOut = m_strCaption;
    if (m_pTemplateOut != NULL)
        *m_pTemplateOut = strTemplate;
    if (m_pWhiteCellsOut != NULL)
        *m_pWhiteCellsOut = m_nWhiteCells;
    EndDialog3D(IDOK);
}
