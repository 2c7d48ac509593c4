// The skinned popup menu, with a submenu open and an item hovered.
#include "tests/tools/gallery/GallerySnap.h"

#include "framework/Framework.h"
#include "skins/Skin.h"
#include "ui3d/menus/3DMenu.h"

#include <stdio.h>
#include <vector>

namespace {

// Steps run from a thread timer inside the menu's own loop: each waits
// (bounded by the deadline) for its condition, then acts once.
struct MENUSTEP
{
    bool (*pfnReady)();
    void (*pfnAct)();
};

C3DMenu* g_pMain;
C3DMenu* g_pSub;
const MENUSTEP* g_pSteps;
int g_nSteps, g_nNext;
DWORD g_nDeadline;

void PostKey(UINT vk)
{
    HWND hTarget = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
    PostMessageA(hTarget, WM_KEYDOWN, vk, 0);
    PostMessageA(hTarget, WM_KEYUP, vk, 0);
}

// The visible menu windows (the system keeps a hidden one too) and their union.
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

const MENUSTEP kSteps[] = {
    // The menu has painted every item once: walk down to the submenu.
    {[] { return g_pMain->GetDrawCount() >= GetMenuItemCount(g_pMain->m_hMenu); },
     [] {
         for (int i = 0; i < 4; i++)
             PostKey(VK_DOWN);
         PostKey(VK_RIGHT);
     }},
    // The submenu is open and painted with its first item hovered.
    {[] { return g_pSub->GetDrawCount() >= GetMenuItemCount(g_pSub->m_hMenu) + 1; },
     [] {
         RECT rc;
         std::vector<HWND> menus;
         if (VisibleMenus(&rc, &menus))
             SnapWindows(rc, menus.data(), static_cast<int>(menus.size()), "popup-menu");
         else
             fprintf(stderr, "no visible menu window\n");
     }},
};

VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    while (g_nNext < g_nSteps && g_pSteps[g_nNext].pfnReady()) {
        g_pSteps[g_nNext].pfnAct();
        ++g_nNext;
    }
    if (g_nNext >= g_nSteps || static_cast<LONG>(GetTickCount() - g_nDeadline) >= 0) {
        if (g_nNext < g_nSteps)
            fprintf(stderr, "the menu did not reach step %d in time\n", g_nNext + 1);
        EndMenu();
    }
}

HICON SmallIcon(LPCSTR pszId)
{
    return static_cast<HICON>(LoadImageA(NULL, pszId, IMAGE_ICON, 16, 16, LR_SHARED));
}

}  // namespace

void ShowPopupMenu()
{
    CWnd owner;
    if (!owner.CreateEx(0, AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW)), "menu owner", WS_POPUP | WS_VISIBLE,
                        0, 0, 1, 1, NULL, NULL)) {
        fprintf(stderr, "the menu owner was not created\n");
        return;
    }
    SetForegroundWindow(owner.m_hWnd);
    const TEXTSTYLE* pStyle = g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
    C3DMenu menu, sub;
    if (!menu.CreatePopup(pStyle) || !sub.CreatePopup(pStyle)) {
        owner.DestroyWindow();
        return;
    }
    sub.AppendItem(NULL, "Small pictures", MF_STRING, 201);
    sub.AppendItem(NULL, "Large pictures", MF_STRING | MF_CHECKED, 202);
    sub.AppendItem(NULL, "Names only", MF_STRING, 203);

    menu.AppendItem(NULL, "<b>&Open collection", MF_STRING, 101, SmallIcon(MAKEINTRESOURCEA(32516)));
    menu.AppendItem(NULL, "&Save", MF_STRING, 102, SmallIcon(MAKEINTRESOURCEA(32515)));
    menu.AppendItem(NULL, "Show &tips", MF_STRING | MF_CHECKED, 103);
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, "&View", MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu));
    menu.AppendItem(NULL, "<i>Italic<n>, <b>bold<n> and <rgb(200,40,40)>red<noclr> text", MF_STRING, 104);
    menu.AppendItem(NULL, "Disabled item", MF_STRING | MF_GRAYED, 105);

    g_pMain = &menu;
    g_pSub = &sub;
    g_pSteps = kSteps;
    g_nSteps = sizeof(kSteps) / sizeof(kSteps[0]);
    g_nNext = 0;
    g_nDeadline = GetTickCount() + 5000;
    const UINT_PTR nTimer = SetTimer(NULL, 0, 30, Tick);
    menu.Track(&owner, 80, 80);
    KillTimer(NULL, nTimer);
    g_pMain = g_pSub = NULL;
    owner.DestroyWindow();
    Pump();
}
