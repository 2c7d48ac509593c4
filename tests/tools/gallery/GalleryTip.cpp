// The gallery's pictures of the tip of the day and the quick-open hint.
#include "tests/tools/gallery/GallerySnap.h"

#include "services/Settings.h"
#include "dialogs/DlgHowToQuickOpenDefCol.h"
#include "dialogs/DlgTip.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"

#include <string>

namespace {

// Snaps the tip dialog on the tip it opens with, then after each step with
// Next: each picture kind once (blended GIF, PNG, plain GIF) and a tip
// without a picture.
class CTipSnapper : public CModalAnswerer
{
public:
    CTipSnapper() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CTipSnapper() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        const HWND hDlg = pDialog->m_hWnd;
        const char* names[] = {"tip-collections", "tip-select-all", "tip-tray", "tip-no-picture", "tip-insert"};
        for (int n = 0; n < 5; n++) {
            if (n > 0) {
                ::SendDlgItemMessageA(hDlg, IDC_TIP_NEXT, BM_CLICK, 0, 0);
                Pump();
            }
            Snap(hDlg, names[n]);
        }
        // A tip late in the table, reached backwards over the start.
        for (int n = 0; n < 5; n++)
            ::SendDlgItemMessageA(hDlg, IDC_TIP_PREVIOUS, BM_CLICK, 0, 0);
        Pump();
        Snap(hDlg, "tip-tab-menu");
        return IDOK;
    }

private:
    CModalAnswerer* m_pPrevious;
};

class CHintSnapper : public CModalAnswerer
{
public:
    CHintSnapper() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CHintSnapper() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        Snap(pDialog->m_hWnd, "quick-open-hint");
        return IDOK;
    }

private:
    CModalAnswerer* m_pPrevious;
};

}  // namespace

void ShowTipOfTheDay()
{
    const int nStored = g_Settings.ShowTipsOfTheDay;
    g_Settings.ShowTipsOfTheDay = 0;
    {
        CTipSnapper snapper;
        CDlgTip dlg(NULL);
        dlg.Show();
    }
    g_Settings.ShowTipsOfTheDay = nStored;
    Pump();
    {
        CHintSnapper snapper;
        CDlgHowToQuickOpenDefCol dlg(NULL);
        dlg.DoModal();
    }
    Pump();
}
