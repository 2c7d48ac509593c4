#include "dialogs/DlgHowToQuickOpenDefCol.h"

#include "app/Languages.h"
#include "app/Settings.h"
#include "resources/resource.h"
#include "skins/Skin.h"

IMPLEMENT_DYNAMIC(CDlgHowToQuickOpenDefCol, C3DDialog)

CDlgHowToQuickOpenDefCol::CDlgHowToQuickOpenDefCol(CWnd* pParent)
    : C3DDialog(IDD_QUICKOPENHINT, pParent, NULL, g_Settings.FadeDialogs,
                g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL, g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL)
{
}

BOOL CDlgHowToQuickOpenDefCol::OnInitDialogEx()
{
    SetWindowText("Tarvenex");
    SetDlgItemText(IDC_QUICKOPEN_TEXT, GetLangString(572));
    // The placeholder only marks where the picture goes.
    const HWND hPlace = ::GetDlgItem(m_hWnd, IDC_QUICKOPEN_PICTURE);
    if (hPlace != NULL) {
        RECT rc;
        ::GetWindowRect(hPlace, &rc);
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        ::DestroyWindow(hPlace);
        CreateImageStatic(IDG_TIP_COLLECTIONS, IDG_TIP_COLLECTIONS_MASK, "Gif", rc, this, IDC_QUICKOPEN_PICTURE);
    }
    return TRUE;
}
