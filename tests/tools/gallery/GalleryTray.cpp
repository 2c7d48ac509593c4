// The gallery's pictures of the tray menu: as it opens while the main window
// is closed, then with its colour submenu open.
#include "tests/tools/gallery/GallerySnap.h"

#include "app/TvnxTrayWnd.h"
#include "framework/Framework.h"
#include "skins/Skin.h"
#include "ui3d/menus/3DMenu.h"

#include <stdio.h>
#include <vector>

namespace {

C3DMenu* g_pTrayMenu;
C3DMenu* g_pColors;
int g_nStep;
DWORD g_nTrayDeadline;

void PostTrayKey(UINT vk)
{
    HWND hTarget = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
    PostMessageA(hTarget, WM_KEYDOWN, vk, 0);
    PostMessageA(hTarget, WM_KEYUP, vk, 0);
}

void SnapMenus(const char* pszName)
{
    RECT rcAll;
    SetRectEmpty(&rcAll);
    std::vector<HWND> menus;
    for (HWND h = NULL; (h = FindWindowExA(NULL, h, "#32768", NULL)) != NULL;) {
        if (!IsWindowVisible(h))
            continue;
        UpdateWindow(h);
        RECT rc;
        GetWindowRect(h, &rc);
        UnionRect(&rcAll, &rcAll, &rc);
        menus.push_back(h);
    }
    if (menus.empty())
        fprintf(stderr, "no visible tray menu\n");
    else
        SnapWindows(rcAll, menus.data(), static_cast<int>(menus.size()), pszName);
}

VOID CALLBACK TrayTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_nStep == 0 && g_pTrayMenu->GetDrawCount() >= GetMenuItemCount(g_pTrayMenu->m_hMenu)) {
        SnapMenus("tray-menu");
        // Down to the colour item (the separator is skipped), then open it.
        for (int i = 0; i < 3; i++)
            PostTrayKey(VK_DOWN);
        PostTrayKey(VK_RIGHT);
        g_nStep = 1;
    } else if (g_nStep == 1 && g_pColors->GetDrawCount() >= GetMenuItemCount(g_pColors->m_hMenu) + 1) {
        SnapMenus("tray-menu-colours");
        g_nStep = 2;
    }
    if (g_nStep >= 2 || static_cast<LONG>(GetTickCount() - g_nTrayDeadline) >= 0) {
        if (g_nStep < 2)
            fprintf(stderr, "the tray menu did not reach step %d in time\n", g_nStep + 1);
        EndMenu();
    }
}

}  // namespace

void ShowTrayMenu()
{
    CWnd owner;
    if (!owner.CreateEx(0, AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW)), "tray menu owner",
                        WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, NULL, NULL))
        return;
    SetForegroundWindow(owner.m_hWnd);
    const TEXTSTYLE* pStyle = g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
    C3DMenu menu, colors;
    menu.CreatePopup(pStyle);
    colors.CreatePopup(pStyle);
    CSequence<HICON> icons;
    BuildTrayMenu(menu, colors, FALSE, FALSE, icons);
    g_pTrayMenu = &menu;
    g_pColors = &colors;
    g_nStep = 0;
    g_nTrayDeadline = GetTickCount() + 5000;
    const UINT_PTR nTimer = SetTimer(NULL, 0, 30, TrayTick);
    menu.Track(&owner, 300, 120);
    KillTimer(NULL, nTimer);
    g_pTrayMenu = g_pColors = NULL;
    for (int i = 0; i < icons.GetSize(); i++)
        DestroyIcon(icons[i]);
    owner.DestroyWindow();
    Pump();
}
