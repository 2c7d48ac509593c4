// A dialog of 20 controls created, painted and destroyed: as a skinned
// dialog (controls replaced, no fading) against the same template as a plain
// framework dialog. Prints best and median per kind and their ratios.
#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/dialogs/3DDialog.h"
#include "ui3d/system/ExportedFuncs.h"

#include <algorithm>
#include <stdio.h>
#include <vector>

namespace {

DialogTemplate MakeTemplate()
{
    DialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 260, 200, "bench");
    for (int i = 0; i < 4; i++) {
        const int y = 5 + i * 45;
        t.Item(0x0080, static_cast<WORD>(100 + i * 5), BS_PUSHBUTTON | WS_TABSTOP, 5, y, 50, 14, "Push")
            .Item(0x0080, static_cast<WORD>(101 + i * 5), BS_AUTOCHECKBOX | WS_TABSTOP, 60, y, 60, 10, "Check")
            .Item(0x0080, static_cast<WORD>(102 + i * 5), BS_AUTORADIOBUTTON, 125, y, 60, 10, "Radio")
            .Item(0x0081, static_cast<WORD>(103 + i * 5), WS_BORDER | ES_AUTOHSCROLL, 5, y + 18, 100, 12)
            .Item(0x0082, static_cast<WORD>(104 + i * 5), SS_LEFT, 110, y + 18, 100, 10, "A static text");
    }
    return t;
}

template <class MakeFn> std::vector<double> Measure(MakeFn make, LPCDLGTEMPLATEA pTemplate, int nRounds)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> ms;
    for (int i = 0; i < nRounds; i++) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        CDialog* pDlg = make();
        // A modeless skinned dialog deletes itself with its window.
        const bool bDeletesItself = pDlg->IsKindOf(RUNTIME_CLASS(C3DDialog));
        pDlg->CreateIndirect(pTemplate, NULL);
        pDlg->ShowWindow(SW_SHOWNA);
        RedrawWindow(pDlg->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pDlg->DestroyWindow();
        QueryPerformanceCounter(&t1);
        ms.push_back(1000.0 * (t1.QuadPart - t0.QuadPart) / freq.QuadPart);
        if (!bDeletesItself)
            delete pDlg;
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    const int nRounds = argc > 1 ? atoi(argv[1]) : 60;
    CreateExportedFuncs();
    RegisterControlMessages();
    DialogTemplate t = MakeTemplate();
    LPCDLGTEMPLATEA pTemplate = t.Get();
    Measure([] { return new CDialog(); }, pTemplate, 5);  // warm up both
    Measure([]() -> CDialog* { return new C3DDialog(NULL, FALSE, NULL, TRUE, NULL); }, pTemplate, 5);
    const std::vector<double> plain = Measure([] { return new CDialog(); }, pTemplate, nRounds);
    const std::vector<double> skinned =
        Measure([]() -> CDialog* { return new C3DDialog(NULL, FALSE, NULL, TRUE, NULL); }, pTemplate, nRounds);
    const double pb = plain.front(), pm = plain[plain.size() / 2];
    const double sb = skinned.front(), sm = skinned[skinned.size() / 2];
    printf("rounds %d\nplain:   best %.2f ms, median %.2f ms\nskinned: best %.2f ms, median %.2f ms\n", nRounds, pb,
           pm, sb, sm);
    printf("ratio:   best %.2fx, median %.2fx (goal at most 3x)\n", sb / pb, sm / pm);
    return 0;
}
