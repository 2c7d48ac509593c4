// The main window's skinned frame with its close and about buttons and its
// menu bar, and the two loader report windows.
#include "tests/tools/gallery/GallerySnap.h"

#include "ui3d/controls/TvnxBitmapButton.h"
#include "app/TvnxWnd.h"
#include "services/DlgParserOutput.h"
#include "resources/resource.h"
#include "skins/Skin.h"
#include "ui3d/menus/3DMenuBar.h"

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

namespace {

enum { ID_CLOSE = 1, ID_ABOUT = 2 };

BOOL CreateFrameButton(CTvnxBitmapButton& button, CWnd* pFrame, const RECT& rc, UINT nId, WORD nNormal, WORD nSel)
{
    button.m_nNormalId = nNormal;
    button.m_nSelectedId = nSel;
    if (IsRectEmpty(&rc) || !button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, pFrame, nId))
        return FALSE;
    return button.LoadBitmaps();
}

}  // namespace

// The frame, its buttons and the bar as they come up; then the bar's second
// item hovered, the about button pressed and the close button hovered.
void ShowMainWindow()
{
    CTvnxWnd* pFrame = CreateSkinnedFrame(40, 40, 240);
    if (pFrame == NULL)
        return;
    CTvnxBitmapButton close, about;
    const RECT rcNone = {0, 0, 0, 0};
    if (!CreateFrameButton(close, pFrame, g_pSkin != NULL ? g_pSkin->m_rcBtnClose : rcNone, ID_CLOSE, IDB_BTNCLOSE,
                           IDB_BTNCLOSE_SEL) ||
        !CreateFrameButton(about, pFrame, g_pSkin != NULL ? g_pSkin->m_rcBtnAbout : rcNone, ID_ABOUT, IDB_BTNABOUT,
                           IDB_BTNABOUT_SEL))
        fprintf(stderr, "a frame button was not made\n");
    C3DMenuBar bar;
    const POINT ptBar = g_pSkin != NULL ? g_pSkin->m_ptMenuBar : POINT{0, 0};
    if (bar.Create(g_pSkin != NULL ? &g_pSkin->m_menuBarStyle : NULL, pFrame, ptBar.x, ptBar.y)) {
        for (const char* psz : {"File", "Edit", "View", "Help"})
            bar.AddItem(psz, static_cast<UINT>(1000 + bar.GetItemCount() + 1));
    } else {
        fprintf(stderr, "the menu bar was not created\n");
    }
    Snap(pFrame->m_hWnd, "main-window");

    if (bar.m_hWnd != NULL && bar.GetItemCount() > 1) {
        const RECT& rc = bar.GetItem(1).rect;
        bar.OnMouseMove(0, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    if (about.m_hWnd != NULL)
        about.SendMessage(BM_SETSTATE, TRUE, 0);
    if (close.m_hWnd != NULL) {
        close.m_bHot = TRUE;  // as under the mouse
        close.Invalidate(FALSE);
    }
    Snap(pFrame->m_hWnd, "main-window-states");

    if (bar.m_hWnd != NULL)
        bar.DestroyWindow();
    pFrame->DestroyWindow();
    delete pFrame;
    Pump();
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
