#include "app/DlgWizard.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "skins/Skin.h"

namespace {

// One radio button of a choice and the index it stands for.
struct RADIOCHOICE
{
    int nId;
    int nIndex;
};

// In the page templates each pair's second button (the flat look, the hidden
// censored smilies) stands before the button that starts its group, so the
// index of a choice is not the place of its button in the tab order: it is
// written here.
const RADIOCHOICE kLookRadios[] = {{IDC_WIZARD_3DLOOK, 0}, {IDC_WIZARD_FLATLOOK, 1}};
const RADIOCHOICE kCensorRadios[] = {{IDC_WIZARD_NOCENSOR, 0}, {IDC_WIZARD_CENSOR, 1}};
const int kPairSize = 2;

// Values of the setting "SmilieFieldsLook" for the two looks.
const int kLook3D = 3;
const int kLookFlat = 0;

const UINT kPages[] = {IDD_WIZARD_LOOK, IDD_WIZARD_CENSOR, 0};

// Language entries of the sheet's texts.
const int kStrTitle = 242;
const struct
{
    int nId;
    int nString;
} kTexts[] = {
    {IDC_WIZARD_LOOKTEXT, 405},   {IDC_WIZARD_LOOKNOTE, 406},   {IDC_WIZARD_3DLOOK, 115},
    {IDC_WIZARD_FLATLOOK, 116},   {IDC_WIZARD_CENSORTEXT, 530}, {IDC_WIZARD_CENSORNOTE, 533},
    {IDC_WIZARD_NOCENSOR, 531},   {IDC_WIZARD_CENSOR, 532},
};

PROPSHEETARGS WizardArgs(CWnd* pParent)
{
    PROPSHEETARGS args;
    args.bWizard = TRUE;
    args.pPageIds = kPages;
    args.pParent = pParent;
    args.nImage1 = IDG_WIZARD_SIDE;
    args.nImage2 = IDG_WIZARD_SIDE_MASK;
    if (g_pSkin != NULL) {
        args.pTabLook = &g_pSkin->m_propTabLook;
        args.nTabHeight = g_pSkin->m_nPropTabsHeight;
        args.pToolTipStyle = &g_pSkin->m_tooltipStyle;
    }
    return args;
}

// The index of the checked button of the pair, -1 when none is checked.
int CheckedIndex(HWND hDlg, const RADIOCHOICE* pPair)
{
    for (int i = 0; i < kPairSize; i++) {
        if (::IsDlgButtonChecked(hDlg, pPair[i].nId) == BST_CHECKED)
            return pPair[i].nIndex;
    }
    return -1;
}

void CheckIndex(HWND hDlg, const RADIOCHOICE* pPair, int nIndex)
{
    for (int i = 0; i < kPairSize; i++)
        ::CheckDlgButton(hDlg, pPair[i].nId, pPair[i].nIndex == nIndex ? BST_CHECKED : BST_UNCHECKED);
}

// The pair that holds the button, or NULL.
const RADIOCHOICE* PairOf(int nId)
{
    for (const RADIOCHOICE* pPair : {kLookRadios, kCensorRadios}) {
        for (int i = 0; i < kPairSize; i++) {
            if (pPair[i].nId == nId)
                return pPair;
        }
    }
    return NULL;
}

}  // namespace

CDlgWizard::CDlgWizard(CWnd* pParent)
    : C3DPropertySheet(g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL, g_Settings.FadeDialogs, WizardArgs(pParent)),
      m_nLook(0), m_nCensorship(1)
{
}

BOOL CDlgWizard::OnInitSheet()
{
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowText(GetLangString(kStrTitle));
    for (const auto& text : kTexts)
        ::SetDlgItemTextA(m_hWnd, text.nId, GetLangString(text.nString));
    return TRUE;
}

void CDlgWizard::DoDataExchange(CDataExchange* pDX)
{
    C3DPropertySheet::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate) {
        m_nLook = CheckedIndex(m_hWnd, kLookRadios);
        m_nCensorship = CheckedIndex(m_hWnd, kCensorRadios);
    } else {
        CheckIndex(m_hWnd, kLookRadios, m_nLook);
        CheckIndex(m_hWnd, kCensorRadios, m_nCensorship);
    }
}

BOOL CDlgWizard::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A pair is one group for the dialog manager (the arrows step within
    // it); the partner is unchecked here all the same, so that no way of
    // checking a button leaves both checked.
    const int nId = LOWORD(wParam);
    const RADIOCHOICE* pPair = PairOf(nId);
    if (pPair != NULL && HIWORD(wParam) == BN_CLICKED && ::IsDlgButtonChecked(m_hWnd, nId) == BST_CHECKED) {
        for (int i = 0; i < kPairSize; i++) {
            if (pPair[i].nId != nId)
                ::CheckDlgButton(m_hWnd, pPair[i].nId, BST_UNCHECKED);
        }
    }
    return C3DPropertySheet::OnCommand(wParam, lParam);
}

// When the page with the focus goes, the sheet gives the focus to the first
// control it can tab to, and a skinned radio button that gets the focus is
// checked: going Back with the focus on a choice (by key, not by a click on
// Back) would check the first radio button of the other page and so change
// the user's choice there. The Next button takes the focus instead; not
// before Next on the last page, which finishes without changing the page.
void CDlgWizard::TakeFocusFromChoice()
{
    HWND hFocus = ::GetFocus();
    if (hFocus == NULL || !::IsChild(m_hWnd, hFocus) || PairOf(::GetDlgCtrlID(hFocus)) == NULL)
        return;
    // Next, or on the last page the same button as Finish.
    HWND hNext = ::GetDlgItem(m_hWnd, IDC_SHEET_NEXT);
    if (hNext == NULL)
        hNext = ::GetDlgItem(m_hWnd, IDOK);
    if (hNext != NULL)
        ::SetFocus(hNext);
}

void CDlgWizard::NextPage()
{
    if (GetActivePage() < GetPageCount() - 1)
        TakeFocusFromChoice();
    C3DPropertySheet::NextPage();
}

void CDlgWizard::PrevPage()
{
    if (GetActivePage() > 0)
        TakeFocusFromChoice();
    C3DPropertySheet::PrevPage();
}

void CDlgWizard::OnOK()
{
    // The sheet ignores OK while it fades or before the last page (no
    // Finish yet); the choices are stored only when it really ends, so that
    // a Cancel after an ignored OK leaves the settings as they were. Its own
    // handling reads the controls into m_nLook and m_nCensorship.
    C3DPropertySheet::OnOK();
    const BOOL bEnding = !ContinueModal() || (m_nFadeState == -1 && m_nResult == IDOK);
    if (!bEnding)
        return;
    if (m_nLook == 0)
        g_Settings.SmilieFieldsLook = kLook3D;
    else if (m_nLook == 1)
        g_Settings.SmilieFieldsLook = kLookFlat;
    g_Settings.ShowCensoredSmilies = m_nCensorship == 0 ? 1 : 0;
}

INT_PTR RunFirstTimeWizard(CWnd* pParent)
{
    CDlgWizard wizard(pParent);
    const INT_PTR nResult = wizard.DoModal();
    if (nResult != IDCANCEL)
        g_Settings.ShowFirstTimeSetup = 0;
    return nResult;
}
