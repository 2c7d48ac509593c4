// The menus of a field as the user opens them: the field menu of an empty
// cell (with the grayed select-all and insert-rows items of an empty field),
// the smilie menu of a named picture, and the paste history open beside
// the field menu.
#include "tests/tools/gallery/GallerySnap.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/SmiliesFieldMenus.h"
#include "fields/SmiliesPasteGroup.h"
#include "services/Settings.h"
#include "skins/Skin.h"

#include <stdio.h>

#include <vector>

namespace {

const int kCell = 48, kColumns = 6, kRows = 4;
const char* g_pszName = NULL;
std::vector<UINT> g_keys;
int g_nPhase = 0;
DWORD g_nDeadline = 0;

LRESULT CALLBACK ParentProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

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

// Once a menu shows: the keys (one a tick, so that a submenu opens before
// the next), a few ticks to paint, the snap, and the menus closed.
VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    RECT rc;
    std::vector<HWND> menus;
    const BOOL bVisible = VisibleMenus(&rc, &menus);
    if (g_nPhase == 0 && !bVisible) {
        if (static_cast<LONG>(GetTickCount() - g_nDeadline) >= 0)
            EndMenu();
        return;
    }
    const int nKeys = static_cast<int>(g_keys.size());
    if (g_nPhase < nKeys) {
        HWND hTarget = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
        PostMessageA(hTarget, WM_KEYDOWN, g_keys[size_t(g_nPhase)], 0);
        PostMessageA(hTarget, WM_KEYUP, g_keys[size_t(g_nPhase)], 0);
        g_nPhase++;
        return;
    }
    if (g_nPhase < nKeys + 6) {
        g_nPhase++;
        return;
    }
    if (g_nPhase == nKeys + 6) {
        if (bVisible)
            SnapWindows(rc, menus.data(), static_cast<int>(menus.size()), g_pszName);
        else
            fprintf(stderr, "no visible menu for %s\n", g_pszName);
        g_nPhase++;
        EndMenu();
        return;
    }
    if (static_cast<LONG>(GetTickCount() - g_nDeadline) >= 0)
        EndMenu();
}

void Snap(CSmiliesFieldControl& field, BOOL bSmilie, POINT cell, const char* pszName, std::vector<UINT> keys)
{
    g_pszName = pszName;
    g_keys = keys;
    g_nPhase = 0;
    g_nDeadline = GetTickCount() + 8000;
    const UINT_PTR nTimer = SetTimer(NULL, 0, 60, Tick);
    const POINT pt = field.GetCellRect(cell.x, cell.y).CenterPoint();
    if (bSmilie)
        ShowSmilieMenu(&field, pt);
    else
        ShowFieldMenu(&field, pt);
    KillTimer(NULL, nTimer);
    Pump();
}

}  // namespace

void ShowFieldContextMenus()
{
    uint32_t nFace = 0;
    if (!OpenScratchCollection("tvnx-gallery-menus.tvnx", "grin.gif", &nFace))
        return;
    const APPSETTINGS saved = g_Settings;
    g_Settings.SmilieToolbar = 1;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxGalleryFieldMenus";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassA(&wc);
    const int cx = kColumns * kCell, cy = kRows * kCell;
    HWND hParent = CreateWindowExA(WS_EX_TOPMOST, "TvnxGalleryFieldMenus", "", WS_POPUP | WS_VISIBLE, 40, 40, cx,
                                   cy, NULL, NULL, GetModuleHandleA(NULL), NULL);
    FIELDGRIDDEFAULTS grid;
    CELLLOOK look = {RGB(200, 200, 200), RGB(190, 0, 0), RGB(255, 255, 255), RGB(160, 160, 160), RGB(96, 96, 96),
                     RGB(128, 128, 255), 0, 3};
    if (g_pSkin != NULL) {
        grid = g_pSkin->m_fieldsLook.grid;
        look = g_pSkin->m_fieldsLook.cellLook;
    }
    {
        CSmiliesFieldControl field;
        const RECT rc = {0, 0, cx, cy};
        if (field.Create(CWnd::FromHandle(hParent), &grid, &look, &rc, SIZE{kCell, kCell})) {
            field.ShowWindow(SW_SHOW);
            // An empty field: select all and insert rows are grayed.
            Snap(field, FALSE, POINT{2, 1}, "field-menu-empty", {});
            const POINT cells[] = {{0, 0}, {1, 0}, {2, 0}};
            field.AddSmilie(&cells[0], nFace, "", "C:\\My Pictures\\grin.gif");
            field.AddSmilie(&cells[1], 0, "See you!", NULL);
            field.AddSmilie(&cells[2], nFace, "", NULL);
            field.UpdateScrollRange(TRUE);
            field.RedrawAll();
            Pump();
            Snap(field, FALSE, POINT{3, 2}, "field-menu", {});
            Snap(field, TRUE, POINT{0, 0}, "field-smilie-menu", {});
            // The paste history: Down to paste, Down to the history, Right opens it.
            field.CopyToPasteHistory(field.GetCellRect(0, 0).CenterPoint());
            field.CopyToPasteHistory(field.GetCellRect(1, 0).CenterPoint());
            field.SetSmilieSelected(TRUE, 0, 0);
            field.SetSmilieSelected(TRUE, 1, 0);
            field.CopyToPasteHistory(field.GetCellRect(1, 0).CenterPoint());
            field.DeselectAll();
            Snap(field, FALSE, POINT{3, 2}, "field-paste-history", {VK_DOWN, VK_DOWN, VK_RIGHT});
            field.DestroyWindow();
        } else {
            fprintf(stderr, "the field was not created\n");
        }
    }
    g_PasteHistory.RemoveAll();
    DestroyWindow(hParent);
    Pump();
    g_Settings = saved;
    CloseScratchCollection("tvnx-gallery-menus.tvnx");
}
