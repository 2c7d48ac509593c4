// The gallery's pictures of the notices about target programs and of the
// messenger exporter (as it shows itself when a run takes long or fails).
#include "tests/tools/gallery/GallerySnap.h"

#include "delivery/MsnExporterDlg.h"
#include "dialogs/DlgMessengerReminders.h"
#include "dialogs/DlgWarnHidingToTray.h"
#include "dialogs/Notices.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <stdio.h>

namespace {

template <class T> void SnapNewest(CSequence<T*>& list, const char* pszName)
{
    if (list.GetSize() == 0) {
        fprintf(stderr, "%s was not created\n", pszName);
        return;
    }
    const HWND hDlg = list[list.GetSize() - 1]->m_hWnd;
    Pump();
    SetFocus(GetDlgItem(hDlg, IDOK));
    Snap(hDlg, pszName);
    DestroyWindow(hDlg);
    Pump();
}

}  // namespace

void ShowNotices()
{
    ShowTurnOnEudoraSupport(NULL);
    SnapNewest(g_EudoraNotices, "notice-eudora");
    ShowWarnAppHtmlIsOff("Windows Mail", "\"Format\" -> \"Rich Text (HTML)\"", 1, NULL);
    SnapNewest(g_HtmlOffNotices, "notice-html-off");
    ShowWarnUnsupportedApp("icq.exe", "ICQ", NULL);
    SnapNewest(g_UnsupportedNotices, "notice-unsupported");
    ShowWarnNoInetForMail(NULL);
    SnapNewest(g_NoInetNotices, "notice-no-internet");
    {
        CDialogSnapper snapper("notice-hiding");
        CDlgWarnHidingToTray dlg(NULL);
        dlg.DoModal();
    }
    Pump();
    {
        CDialogSnapper snapper("reminder-messenger6");
        CDlgWarnInsertingInMSN6 dlg(NULL);
        dlg.DoModal();
    }
    Pump();
    {
        CDialogSnapper snapper("reminder-messenger7");
        CDlgWarnInsertingInMSN7 dlg(NULL);
        dlg.DoModal();
    }
    Pump();

    // The exporter's window as a run shows it once it takes long: the bar
    // at 66. Made without a run (no messenger here).
    CMsnMsgrExporterBaseDlg* pExporter = new CMsnMsgrExporterBaseDlg("tarvenex_msnm7.dll", NULL);
    pExporter->mayShow = TRUE;
    if (!pExporter->Create(IDD_MSNEXPORTER)) {
        fprintf(stderr, "the exporter was not created\n");
        return;
    }
    SendDlgItemMessageA(pExporter->m_hWnd, IDC_MSNEXPORTER_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(pExporter->m_hWnd, IDC_MSNEXPORTER_PROGRESS, PBM_SETPOS, 66, 0);
    ShowWindow(pExporter->m_hWnd, SW_SHOW);
    Snap(pExporter->m_hWnd, "messenger-exporter");
    pExporter->DestroyWindow();
    Pump();
}
