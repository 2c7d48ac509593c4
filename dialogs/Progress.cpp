#include "dialogs/Progress.h"

#include "framework/StoredDouble.h"

#include "resources/resource.h"
#include "skins/Skin.h"

#include <commctrl.h>

namespace {

const double kFull = 65535.0;
// Callers compute fractions as 65535.0 / total * done; at the last step that
// may come out a hair under 65535.
const double kEndTolerance = 0.5;

}  // namespace

CDlgAutoProgress* CDlgAutoProgress::s_pCurrent = NULL;

CDlgAutoProgress::CDlgAutoProgress(CWnd* pParent)
    : C3DDialog(IDD_AUTOPROGRESS, pParent, NULL, FALSE, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL, NULL),
      m_dBase(0), m_dLastWeight(0), m_dLastFraction(-1)
{
    if (s_pCurrent == NULL)
        s_pCurrent = this;
}

CDlgAutoProgress::~CDlgAutoProgress()
{
    if (s_pCurrent == this)
        s_pCurrent = NULL;
}

BOOL CDlgAutoProgress::OnInitDialogEx()
{
    SetWindowText(m_strTitle);
    SendDlgItemMessage(IDC_AUTOPROGRESS_BAR, PBM_SETRANGE32, 0, 65535);
    return TRUE;
}

// A stage ends where the next begins: the weight of the stage under way joins
// the base when a new stage starts. A new weight starts a new stage. So does
// an update that falls back below the last fraction after the stage had
// reached its end (65535): two stages of equal weight in a row would
// otherwise both run over the same stretch of the bar. An update that only
// repeats the end of a stage stays in that stage.
int CDlgAutoProgress::SetProgress(double dFraction, double dWeight)
{
    const BOOL bEnded = m_dLastFraction >= kFull - kEndTolerance;
    if (dWeight != m_dLastWeight || (bEnded && dFraction < m_dLastFraction)) {
        m_dBase += m_dLastWeight;
        m_dLastWeight = dWeight;
    }
    m_dLastFraction = dFraction;
    // Each step rounded to a double: the bar's pixel must not depend on the
    // floating-point unit of the build.
    double dPos = StoredDouble(m_dBase + StoredDouble(StoredDouble(dWeight * dFraction) / kFull));
    if (!(dPos >= 0))
        dPos = 0;
    if (dPos > kFull)
        dPos = kFull;
    const HWND hBar = ::GetDlgItem(m_hWnd, IDC_AUTOPROGRESS_BAR);
    ::SendMessageA(hBar, PBM_SETPOS, static_cast<WPARAM>(static_cast<int>(dPos)), 0);
    // The work runs on this thread: without a paint now, the bar would not
    // move until the work is done.
    ::UpdateWindow(hBar);
    return 1;
}

int ShowAutoProgress(LPCSTR pszTitle, CWnd* pParent)
{
    if (CDlgAutoProgress::GetCurrent() != NULL)
        return 0;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    CDlgAutoProgress* pDlg = new CDlgAutoProgress(pParent);
    if (pszTitle != NULL)
        pDlg->SetTitle(pszTitle);
    const BOOL bCreated = pDlg->Create(IDD_AUTOPROGRESS, pParent);
    if (!bCreated) {
        // A window that was made and went again took its object with it; an
        // object without a window would block every later progress window.
        if (CDlgAutoProgress::GetCurrent() == pDlg && pDlg->m_hWnd == NULL)
            delete pDlg;
        return 0;
    }
    pDlg->UpdateWindow();
    return bCreated;
}

int UpdateAutoProgress(double dFraction, double dWeight)
{
    CDlgAutoProgress* pDlg = CDlgAutoProgress::GetCurrent();
    if (pDlg == NULL || pDlg->m_hWnd == NULL)
        return 0;
    return pDlg->SetProgress(dFraction, dWeight);
}

void CloseAutoProgress()
{
    CDlgAutoProgress* pDlg = CDlgAutoProgress::GetCurrent();
    // The window's end deletes the modeless dialog, which clears the pointer.
    if (pDlg != NULL && pDlg->m_hWnd != NULL)
        pDlg->DestroyWindow();
}
