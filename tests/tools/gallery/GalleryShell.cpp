// The main window's skinned frame for the pictures that need one, and the
// two loader report windows.
#include "tests/tools/gallery/GallerySnap.h"

#include "app/TvnxWnd.h"
#include "services/DlgParserOutput.h"
#include "resources/resource.h"
#include "skins/Skin.h"

#include <initializer_list>
#include <stdio.h>

CTvnxWnd* CreateSkinnedFrame(int x, int y, int nHeight)
{
    SIZE size = {275, nHeight};
    if (g_pSkin != NULL) {
        if (g_pSkin->m_nBodyWidth > 0)
            size.cx = g_pSkin->m_nBodyWidth;
        if (size.cy < g_pSkin->m_nBodyMinHeight)
            size.cy = g_pSkin->m_nBodyMinHeight;
        if (g_pSkin->m_nBodyMaxHeight > 0 && size.cy > g_pSkin->m_nBodyMaxHeight)
            size.cy = g_pSkin->m_nBodyMaxHeight;
    }
    CTvnxWnd* pFrame = new CTvnxWnd();
    pFrame->m_bDockToWindows = 0;
    const POINT pt = {x, y};
    if (!pFrame->Create(size, pt, NULL, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_TOPMOST)) {
        fprintf(stderr, "the skinned frame was not created\n");
        delete pFrame;
        return NULL;
    }
    UpdateWindow(pFrame->m_hWnd);
    return pFrame;
}

// Both report windows with a few lines, opened without their modal loop.
void ShowParserReports()
{
    static const char kSkinReport[] =
        "Reading Standard.skn\r\n"
        "Line 12: MENU_ITEM_HEIGHT: 70 is out of range (12 to 40); 20 is used.\r\n"
        "Line 40: unknown parameter SCROLLBAR_GLOW.\r\n"
        "BODY_TOP: the picture tops.png was not found.\r\n"
        "3 problems.";
    static const char kLangReport[] =
        "Reading English.lng\r\n"
        "Entry 27: [FILENAME] is missing from the text.\r\n"
        "Entry 311 appears twice; the first one is used.\r\n"
        "2 problems.";
    CDlgSkinParserOutput skinReport(kSkinReport, "Continue");
    CDlgLangParserOutput langReport(kLangReport, "Exit");
    struct { CDlgParserOutput* pDlg; const char* pszName; } rows[] = {
        {&skinReport, "skin-loader-report"},
        {&langReport, "language-loader-report"},
    };
    for (const auto& row : rows) {
        if (!row.pDlg->Create(row.pDlg == &skinReport ? IDD_SKINPARSEROUTPUT : IDD_LANGPARSEROUTPUT)) {
            fprintf(stderr, "%s was not created\n", row.pszName);
            continue;
        }
        row.pDlg->SetWindowPos(static_cast<HWND>(NULL), 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        SetForegroundWindow(row.pDlg->m_hWnd);
        Snap(row.pDlg->m_hWnd, row.pszName);
        row.pDlg->DestroyWindow();
        Pump();
    }
}
