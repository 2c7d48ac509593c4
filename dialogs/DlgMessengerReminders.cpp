#include "dialogs/DlgMessengerReminders.h"

#include "dialogs/DlgHowToQuickOpenDefCol.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Settings.h"

IMPLEMENT_DYNAMIC(CDlgWarnInsertingInMSN, CNoticeDialog)
IMPLEMENT_DYNAMIC(CDlgWarnInsertingInMSN6, CDlgWarnInsertingInMSN)
IMPLEMENT_DYNAMIC(CDlgWarnInsertingInMSN7, CDlgWarnInsertingInMSN)

CDlgWarnInsertingInMSN::CDlgWarnInsertingInMSN(UINT nIDTemplate, UINT nMainButton, int* pSetting, CWnd* pParent)
    : CNoticeDialog(nIDTemplate, pParent, NULL), m_nDontShow(!*pSetting), m_nMainButton(nMainButton),
      m_pSetting(pSetting)
{
}

COLORREF CDlgWarnInsertingInMSN::ChooseButtonColor(COLORREF clrButton)
{
    const int r = GetRValue(clrButton), g = GetGValue(clrButton), b = GetBValue(clrButton);
    return (g >= b && g - r > 80) ? 0x7FFF : 0xC800;
}

void CDlgWarnInsertingInMSN::PlacePicture(UINT nId, UINT nPicture)
{
    const HWND hPlace = ::GetDlgItem(m_hWnd, nId);
    if (hPlace == NULL)
        return;
    RECT rc;
    ::GetWindowRect(hPlace, &rc);
    ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    ::DestroyWindow(hPlace);
    CreateImageStatic(nPicture, 0, "Png", rc, this, nId);
}

void CDlgWarnInsertingInMSN::OnInitControls()
{
    AddCheckTool(IDC_MSN_DONTSHOW, 195, 194);
    const HWND hMain = ::GetDlgItem(m_hWnd, m_nMainButton);
    if (hMain == NULL)
        return;
    const COLORREF clr = ChooseButtonColor(COLORREF(::SendMessageA(hMain, WM_GETBODYSTYLE, 0, 0)));
    ::SendMessageA(hMain, WM_SETBODYSTYLE, clr, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_MSN_OPENCLASSIC, WM_SETBODYSTYLE, clr, 0);
}

void CDlgWarnInsertingInMSN::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_MSN_DONTSHOW, m_nDontShow);
}

BOOL CDlgWarnInsertingInMSN::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_MSN_GETSMILIES:
            EndDialog3D(IDC_MSN_GETSMILIES);
            return TRUE;
        case IDC_MSN_INSERTANYWAY:
            EndDialog3D(IDOK);
            return TRUE;
        case IDC_MSN_OPENCLASSIC: {
            CDlgHowToQuickOpenDefCol hint(this);
            hint.DoModal();
            EndDialog3D(IDC_MSN_OPENCLASSIC);
            return TRUE;
        }
        }
    }
    return CNoticeDialog::OnCommand(wParam, lParam);
}

LRESULT CDlgWarnInsertingInMSN::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // However the reminder ends, its box is kept.
    if (message == WM_DESTROY) {
        UpdateData(TRUE);
        *m_pSetting = !m_nDontShow;
        SaveSettings(FALSE);
    }
    return CNoticeDialog::WindowProc(message, wParam, lParam);
}

CDlgWarnInsertingInMSN6::CDlgWarnInsertingInMSN6(CWnd* pParent)
    : CDlgWarnInsertingInMSN(IDD_WARNMSN6, IDC_MSN_GETSMILIES, &g_Settings.ShowInsertingInMSN6Reminder, pParent)
{
}

BOOL CDlgWarnInsertingInMSN6::OnInitDialogEx()
{
    SetWindowText(GetLangString(565));
    SetDlgItemText(IDC_MSN_TEXT, GetLangString(574));
    SetDlgItemText(IDC_MSN_SIZETEXT, GetLangString(566));
    SetDlgItemText(IDC_MSN_GETSMILIES, GetLangString(567));
    SetDlgItemText(IDC_MSN_CLASSICTEXT, GetLangString(568));
    SetDlgItemText(IDC_MSN_OPENCLASSIC, GetLangString(569));
    SetDlgItemText(IDC_MSN_DONTSHOW, GetLangString(194));
    CreateNoticePicture();
    PlacePicture(IDC_MSN_SIZEPICTURE, IDP_MSN_SIZE);
    PlacePicture(IDC_MSN_FIELDPICTURE, IDP_TIP_SELECTALL);
    return TRUE;
}

CDlgWarnInsertingInMSN7::CDlgWarnInsertingInMSN7(CWnd* pParent)
    : CDlgWarnInsertingInMSN(IDD_WARNMSN7, IDC_MSN_INSERTANYWAY, &g_Settings.ShowInsertingInMSN7Reminder, pParent)
{
}

BOOL CDlgWarnInsertingInMSN7::OnInitDialogEx()
{
    SetWindowText("Tarvenex");
    SetDlgItemText(IDC_MSN_TEXT, GetLangString(576));
    SetDlgItemText(IDC_MSN_INSERTANYWAY, GetLangString(577));
    SetDlgItemText(IDC_MSN_OPENCLASSIC, GetLangString(569));
    SetDlgItemText(IDC_MSN_DONTSHOW, GetLangString(194));
    CreateNoticePicture();
    PlacePicture(IDC_MSN_CLASSICPICTURE, IDP_MSN_CLASSIC);
    PlacePicture(IDC_MSN_FIELDPICTURE, IDP_TIP_SELECTALL);
    return TRUE;
}
