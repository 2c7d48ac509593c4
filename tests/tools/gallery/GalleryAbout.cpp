// The gallery's pictures of the about box and the progress window.
#include "tests/tools/gallery/GallerySnap.h"

#include "dialogs/DlgAbout.h"
#include "dialogs/Progress.h"
#include "framework/ModalAnswerer.h"

#include <stdio.h>

namespace {

// Snaps the about box from inside its modal loop, then closes it.
class CSnapAbout : public CModalAnswerer
{
public:
    CSnapAbout() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CSnapAbout() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        SetForegroundWindow(pDialog->m_hWnd);
        SetFocus(GetDlgItem(pDialog->m_hWnd, IDOK));
        Snap(pDialog->m_hWnd, "about-box");
        return IDOK;
    }

private:
    CModalAnswerer* m_pPrevious;
};

}  // namespace

// The about box as the help menu opens it; the progress window with an
// opening collection part of the way through.
void ShowAboutAndProgress()
{
    {
        CSnapAbout answerer;
        CDlgAbout dlg;
        if (dlg.DoModal() == -1)
            fprintf(stderr, "the about box was not created\n");
    }
    Pump();

    if (!ShowAutoProgress("Opening collection...", NULL)) {
        fprintf(stderr, "the progress window was not created\n");
        return;
    }
    UpdateAutoProgress(65535.0 * 0.42, 65535);
    Pump();
    CDlgAutoProgress* pDlg = CDlgAutoProgress::GetCurrent();
    if (pDlg != NULL)
        Snap(pDlg->m_hWnd, "progress-window");
    CloseAutoProgress();
    Pump();
}
