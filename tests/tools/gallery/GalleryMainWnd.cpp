// The main window with the demo collection of the build open, each of its
// menus (collection, options, help, the slider's) dropped down, and the
// editor of the smilie code that the options menu opens.
#include "tests/tools/gallery/GallerySnap.h"

#include "app/TvnxDlg.h"
#include "dialogs/DlgCustomTemplate.h"
#include "collection/ImgCache.h"
#include "collection/TvnxSave.h"
#include "services/Settings.h"
#include "skins/SkinScan.h"
#include "ui3d/menus/3DMenu.h"

#include <stdio.h>
#include <string>
#include <vector>

namespace {

C3DMenu* g_pOpen;
HWND g_hMain;
const char* g_pszShot;
DWORD g_nDeadline;

VOID CALLBACK SnapOpenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pOpen == NULL)
        return;
    const bool bPainted = g_pOpen->GetDrawCount() >= GetMenuItemCount(g_pOpen->m_hMenu);
    if (!bPainted && static_cast<LONG>(GetTickCount() - g_nDeadline) < 0)
        return;
    std::vector<HWND> wnds = {g_hMain};
    RECT rc;
    GetWindowRect(g_hMain, &rc);
    for (HWND h = NULL; (h = FindWindowExA(NULL, h, "#32768", NULL)) != NULL;) {
        if (!IsWindowVisible(h))
            continue;
        UpdateWindow(h);
        RECT rcMenu;
        GetWindowRect(h, &rcMenu);
        UnionRect(&rc, &rc, &rcMenu);
        wnds.push_back(h);
    }
    if (!bPainted)
        fprintf(stderr, "%s: the menu did not paint in time\n", g_pszShot);
    SnapWindows(rc, wnds.data(), static_cast<int>(wnds.size()), g_pszShot);
    g_pOpen = NULL;
    EndMenu();
}

UINT TrackAndSnap(CTvnxDlg* pDlg, C3DMenu* pMenu, UINT nBarValue, POINT ptScreen)
{
    g_pOpen = pMenu;
    g_nDeadline = GetTickCount() + 5000;
    const UINT_PTR nTimer = SetTimer(NULL, 0, 30, SnapOpenMenu);
    if (nBarValue != 0)
        pDlg->m_MenuBar.DropDownMenu(pMenu, nBarValue);
    else
        pMenu->Track(pDlg, ptScreen.x, ptScreen.y);
    KillTimer(NULL, nTimer);
    g_pOpen = NULL;
    return 0;
}

std::string DemoPath()
{
    // <build>/tests/tools/gallery.exe -> <build>/dist/demo.tvnx
    char sz[MAX_PATH];
    GetModuleFileNameA(NULL, sz, sizeof(sz));
    std::string str = sz;
    for (int n = 0; n < 3; n++)
        str.erase(str.find_last_of("\\/"));
    return str + "\\dist\\demo.tvnx";
}

}  // namespace

void ShowMainDlg()
{
    const APPSETTINGS saved = g_Settings;
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    const std::string strFolder = std::string(szTemp) + "tvnx-gallery-main";
    CreateDirectoryA(strFolder.c_str(), NULL);
    const std::string strDemo = strFolder + "\\demo.tvnx";
    if (!CopyFileA(DemoPath().c_str(), strDemo.c_str(), FALSE))
        fprintf(stderr, "no demo collection at %s\n", DemoPath().c_str());
    SetFileAttributesA(strDemo.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetAppDataFolder(strFolder.c_str());
    SetCollectionPath(strDemo.c_str());
    g_Settings.MainWndTransparencyPercent = 0;
    g_Settings.ShowTips = 0;

    CTvnxDlg* pDlg = new CTvnxDlg;
    const POINT pt = {40, 40};
    if (!pDlg->Create(300, NULL, NULL, pt)) {
        fprintf(stderr, "the main window was not created\n");
        delete pDlg;
        g_Settings = saved;
        return;
    }
    SetForegroundWindow(pDlg->m_hWnd);
    Pump();
    Snap(pDlg->m_hWnd, "main-window");

    // A row of the main window in each colour scheme, as the options set
    // them: scheme 0 untinted, schemes 1 to 5 with the tint of that name.
    static const struct { int nScheme; COLORREF clrTint; const char* pszName; } kSchemes[] = {
        {0, 0, "main-window-scheme-0-untinted"},       {1, 0xD26757, "main-window-scheme-1-dolphin"},
        {2, 0x001ED2, "main-window-scheme-2-aggression"}, {3, 0x00B91E, "main-window-scheme-3-lawn"},
        {4, 0x0064FA, "main-window-scheme-4-the-sun"},  {5, 0x000000, "main-window-scheme-5-contrast"},
    };
    const APPSETTINGS started = g_Settings;
    for (const auto& scheme : kSchemes) {
        g_Settings.SkinColoringEnabled = scheme.nScheme != 0;
        g_Settings.SkinColor = scheme.clrTint;
        g_Settings.SkinColorScheme = scheme.nScheme;
        ApplySkinColoring();
        pDlg->ApplySkin();
        Pump();
        Snap(pDlg->m_hWnd, scheme.pszName);
    }
    g_Settings.SkinColoringEnabled = started.SkinColoringEnabled;
    g_Settings.SkinColor = started.SkinColor;
    g_Settings.SkinColorScheme = started.SkinColorScheme;
    ApplySkinColoring();
    pDlg->ApplySkin();
    Pump();

    // The frame's buttons as a user sees them under the mouse: the about
    // button pressed, the close button hovered.
    pDlg->m_BtnAbout.SendMessage(BM_SETSTATE, TRUE, 0);
    pDlg->m_BtnClose.m_bHot = TRUE;
    pDlg->m_BtnClose.Invalidate(FALSE);
    Pump();
    Snap(pDlg->m_hWnd, "main-window-states");
    pDlg->m_BtnAbout.SendMessage(BM_SETSTATE, FALSE, 0);
    pDlg->m_BtnClose.m_bHot = FALSE;
    pDlg->m_BtnClose.Invalidate(FALSE);

    g_hMain = pDlg->m_hWnd;
    UINT (*pfnSaved)(CTvnxDlg*, C3DMenu*, UINT, POINT) = CTvnxDlg::s_pfnTrackMenu;
    CTvnxDlg::s_pfnTrackMenu = TrackAndSnap;
    struct { UINT nBar; const char* pszName; } menus[] = {
        {CTvnxDlg::BAR_COLLECTION, "main-window-collection-menu"},
        {CTvnxDlg::BAR_OPTIONS, "main-window-options-menu"},
        {CTvnxDlg::BAR_HELP, "main-window-help-menu"},
    };
    for (const auto& m : menus) {
        g_pszShot = m.pszName;
        pDlg->SendMessage(WM_COMMAND, m.nBar);
        Pump();
    }
    g_pszShot = "main-window-slider-menu";
    pDlg->SendMessage(WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(pDlg->m_Slider.m_hWnd), MAKELPARAM(20, 4));
    Pump();
    CTvnxDlg::s_pfnTrackMenu = pfnSaved;

    // The options menu's editor of the smilie code of all fields.
    {
        CDialogSnapper snapper("custom-template");
        CString strCode = "<img src=\"<SMILIE>\">";
        CDlgCustomTemplate dlg(strCode, pDlg);
        dlg.DoModal();
    }

    // Half transparent over the desktop.
    pDlg->SetTransparency(50, TRUE);
    Pump();
    Snap(pDlg->m_hWnd, "main-window-transparent");

    pDlg->DestroyWindow();
    delete pDlg;
    delete g_pImgCache;
    g_pImgCache = NULL;
    delete g_pCollectionFile;
    g_pCollectionFile = NULL;
    DeleteFileA(strDemo.c_str());
    RemoveDirectoryA(strFolder.c_str());
    g_Settings = saved;
    Pump();
}
