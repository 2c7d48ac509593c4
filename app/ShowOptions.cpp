#include "app/ShowOptions.h"

#include "app/TvnxDlg.h"
#include "dialogs/DlgGlobalProp.h"

namespace {

void SetMainDlgDocking(CWnd* pMainWnd, int bDock)
{
    static_cast<CTvnxDlg*>(pMainWnd)->m_bDockToWindows = bDock;
}

void ApplyMainDlgSkin(CWnd* pMainWnd)
{
    static_cast<CTvnxDlg*>(pMainWnd)->ApplySkin();
}

} // namespace

int ShowOptionsDialog(CFields* pFields, CTvnxDlg* pMainWnd, CWnd* pParent)
{
    OPTIONSTARGETS targets;
    targets.pFields = pFields != NULL && pFields->m_hWnd != NULL ? pFields : NULL;
    targets.pMainWnd = pMainWnd;
    targets.pfnSetDocking = SetMainDlgDocking;
    targets.pfnApplySkin = ApplyMainDlgSkin;
    return RunOptionsSheet(targets, pParent);
}
