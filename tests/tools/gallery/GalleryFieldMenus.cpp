// The pieces of the fields' menus: the sort submenu open beside its item,
// and the grayed sort item of a field without smilies.
#include "tests/tools/gallery/GallerySnap.h"

#include "fields/SmiliesField.h"
#include "fields/SmiliesFieldMenus.h"
#include "framework/Framework.h"
#include "skins/Skin.h"
#include "ui3d/menus/3DMenu.h"

#include <stdio.h>

#include <vector>

namespace {

const char* g_pszName = NULL;
int g_nKeys = 0;
int g_nPhase = 0;
DWORD g_nDeadline = 0;

BOOL VisibleMenus(RECT* pRect, std::vector<HWND>* pWnds)
{
    SetRectEmpty(pRect);
    for (HWND h = NULL; (h = FindWindowExA(NULL, h, "#32768", NULL)) != NULL;) {
        if (!IsWindowVisible(h))
            continue;
        UpdateWindow(h);
        RECT rc;
        GetWindowRect(h, &rc);
        UnionRect(pRect, pRect, &rc);
        pWnds->push_back(h);
    }
    return !IsRectEmpty(pRect);
}

// Once a menu shows: Down (and Right to open the submenu), a few ticks to
// paint, the snap, and the menus closed.
VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    RECT rc;
    std::vector<HWND> menus;
    const BOOL bVisible = VisibleMenus(&rc, &menus);
    if (g_nPhase == 0 && bVisible) {
        HWND hTarget = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
        const UINT keys[] = {VK_DOWN, VK_RIGHT};
        for (int i = 0; i < g_nKeys; i++) {
            PostMessageA(hTarget, WM_KEYDOWN, keys[i], 0);
            PostMessageA(hTarget, WM_KEYUP, keys[i], 0);
        }
        g_nPhase = 1;
        return;
    }
    if (g_nPhase >= 1 && g_nPhase < 6) {
        g_nPhase++;
        return;
    }
    if (g_nPhase == 6) {
        if (bVisible)
            SnapWindows(rc, menus.data(), static_cast<int>(menus.size()), g_pszName);
        else
            fprintf(stderr, "no visible menu for %s\n", g_pszName);
        g_nPhase = 7;
        EndMenu();
        return;
    }
    if (static_cast<LONG>(GetTickCount() - g_nDeadline) >= 0)
        EndMenu();
}

void SnapSortMenu(CWnd& owner, CSmiliesField& field, const char* pszName, int nKeys)
{
    const TEXTSTYLE* pStyle = g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
    CMenuIcons icons;
    C3DMenu menu, submenu;
    if (!menu.CreatePopup(pStyle))
        return;
    BuildSortMenu(icons, &field, menu, submenu);
    g_pszName = pszName;
    g_nKeys = nKeys;
    g_nPhase = 0;
    g_nDeadline = GetTickCount() + 5000;
    const UINT_PTR nTimer = SetTimer(NULL, 0, 60, Tick);
    SetForegroundWindow(owner.m_hWnd);
    menu.Track(&owner, 80, 80);
    KillTimer(NULL, nTimer);
    Pump();
}

}  // namespace

void ShowFieldMenus()
{
    CWnd owner;
    if (!owner.CreateEx(0, AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW)), "menu owner", WS_POPUP | WS_VISIBLE,
                        0, 0, 200, 100, NULL, NULL)) {
        fprintf(stderr, "the menu owner was not created\n");
        return;
    }
    FIELDGRIDDEFAULTS grid;
    grid.nRows = 16;
    const CELLLOOK look = g_pSkin != NULL ? g_pSkin->m_fieldsLook.cellLook : CELLLOOK();
    const RECT rc = {0, 0, 200, 100};
    const SIZE cell = {35, 34};
    CSmiliesField field;
    if (!field.Create(&owner, &grid, &look, &rc, cell)) {
        fprintf(stderr, "the field was not created\n");
        owner.DestroyWindow();
        return;
    }
    SnapSortMenu(owner, field, "field-sort-menu-empty", 1);
    field.AddSmilie(NULL, 0, "hello", NULL);
    SnapSortMenu(owner, field, "field-sort-menu", 2);
    field.DestroyWindow();
    owner.DestroyWindow();
    Pump();
}
