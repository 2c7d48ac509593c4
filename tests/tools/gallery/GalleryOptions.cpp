// The gallery's pictures of the options sheet: each of its five pages, with
// the tab of that page selected (the tab corners are drawn by the strip).
#include "tests/tools/gallery/GallerySnap.h"

#include "dialogs/DlgGlobalProp.h"
#include "framework/ModalAnswerer.h"
#include "services/Messages.h"
#include "services/Settings.h"

namespace {

class CSnapOptions : public CModalAnswerer
{
public:
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        CDlgGlobalProp* pSheet = static_cast<CDlgGlobalProp*>(pDialog);
        HWND hWnd = pSheet->m_hWnd;
        SetForegroundWindow(hWnd);
        const char* const names[] = {"options-general", "options-skin-colour", "options-smilies",
                                     "options-start-up", "options-memory"};
        for (int i = 0; i < pSheet->GetPageCount() && i < 5; i++) {
            const int nOld = pSheet->m_TabSel.GetSelectedId();
            const int nNew = pSheet->GetPage(i).nTabId;
            if (nOld != nNew) {
                pSheet->m_TabSel.SelectTab(nNew);
                Pump();
            }
            SetFocus(GetDlgItem(hWnd, IDOK));
            Snap(hWnd, names[i]);
        }
        return IDCANCEL;
    }
};

}  // namespace

void ShowOptionsSheet()
{
    const int bFade = g_Settings.FadeDialogs;
    g_Settings.FadeDialogs = 0;
    CSnapOptions answerer;
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&answerer);
    RunOptionsSheet(OPTIONSTARGETS(), NULL);
    AfxSetModalAnswerer(pPrevious);
    g_Settings.FadeDialogs = bFade;
    Pump();
}
