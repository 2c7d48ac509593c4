// The gallery's pictures of the first-time wizard: its first page as it
// opens, then the second after Next.
#include "tests/tools/gallery/GallerySnap.h"

#include "app/DlgWizard.h"
#include "services/Settings.h"
#include "framework/ModalAnswerer.h"

namespace {

class CSnapWizard : public CModalAnswerer
{
public:
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        HWND hWnd = pDialog->m_hWnd;
        SetForegroundWindow(hWnd);
        SetFocus(GetDlgItem(hWnd, IDC_SHEET_NEXT));
        Snap(hWnd, "first-time-wizard");
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_SHEET_NEXT, BN_CLICKED), 0);
        Pump();
        SetFocus(GetDlgItem(hWnd, IDOK));
        Snap(hWnd, "first-time-wizard-page2");
        return IDCANCEL;
    }
};

}  // namespace

void ShowFirstTimeWizard()
{
    // The gallery's windows are opaque: no fading.
    const int bFade = g_Settings.FadeDialogs;
    g_Settings.FadeDialogs = 0;
    CSnapWizard answerer;
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&answerer);
    {
        CDlgWizard wizard(NULL);
        wizard.DoModal();
    }
    AfxSetModalAnswerer(pPrevious);
    g_Settings.FadeDialogs = bFade;
    Pump();
}
