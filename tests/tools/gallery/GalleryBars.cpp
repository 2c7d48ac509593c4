// The skinned scroll bars and the tab strip, in the looks the skin gives the
// main window's smilie area, on the skinned main-window frame.
#include "tests/tools/gallery/GallerySnap.h"

#include "app/TvnxWnd.h"
#include "skins/Skin.h"
#include "ui3d/controls/3DScrollBar.h"
#include "ui3d/controls/TabSelector.h"

#include <initializer_list>
#include <stdio.h>

namespace {

struct BARROW
{
    BOOL bHorizontal;
    int x, y, nLength;
    int nState;
};

}  // namespace

// Each direction idle, then with the thumb hovered, the first arrow pressed
// and the track after the thumb pressed.
void ShowScrollBars()
{
    CTvnxWnd* pFrame = CreateSkinnedFrame(40, 40, 240);
    if (pFrame == NULL)
        return;
    const SCROLLBARSTYLE* pStyle = g_pSkin != NULL ? &g_pSkin->m_fieldsLook.scrollBar : NULL;
    static const BARROW kRows[] = {
        {FALSE, 30, 30, 150, SBST_IDLE},
        {FALSE, 60, 30, 150, SBST_THUMBHOT},
        {FALSE, 90, 30, 150, SBST_FIRSTPRESSED},
        {TRUE, 120, 40, 130, SBST_IDLE},
        {TRUE, 120, 80, 130, SBST_THUMBDRAGGED},
        {TRUE, 120, 120, 130, SBST_PAGEAFTERPRESSED},
    };
    const int nRows = sizeof(kRows) / sizeof(kRows[0]);
    C3DScrollBar bars[nRows];
    for (int i = 0; i < nRows; i++) {
        const BARROW& row = kRows[i];
        const int placement[3] = {row.x, row.y, row.nLength};
        if (!bars[i].Create(row.bHorizontal, pStyle, 0, pFrame, 0, placement)) {
            fprintf(stderr, "scroll bar %d was not created\n", i);
            continue;
        }
        SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 100, 30, 20, 0};
        bars[i].SetScrollInfo(&si);
        // A new bar starts at its first position, that arrow disabled; the
        // owner enables the arrows as the position moves.
        bars[i].EnableScrollBar(ESB_ENABLE_BOTH);
        bars[i].ShowState(row.nState);
    }
    Snap(pFrame->m_hWnd, "scroll-bars");
    for (C3DScrollBar& bar : bars)
        if (bar.m_hWnd != NULL)
            bar.DestroyWindow();
    pFrame->DestroyWindow();
    delete pFrame;
    Pump();
}

// The first tab selected (a new strip selects its first tab), the third
// hovered, the rest normal; more tabs than fit, so the scroll buttons show.
void ShowTabStrip()
{
    CTvnxWnd* pFrame = CreateSkinnedFrame(40, 40, 120);
    if (pFrame == NULL)
        return;
    // Where and how the main window shows its strip.
    CTabSelector strip;
    RECT rc = {8, 33, 272, 66};
    if (g_pSkin != NULL) {
        strip.m_Look = g_pSkin->m_fieldsLook.tabStrip;
        if (!IsRectEmpty(&g_pSkin->m_fieldsLook.rcTabStrip))
            rc = g_pSkin->m_fieldsLook.rcTabStrip;
    }
    if (!strip.CreateControl(rc, pFrame, WS_CHILD | WS_VISIBLE)) {
        fprintf(stderr, "the tab strip was not created\n");
    } else {
        // Each tab's data is the colour its look is derived from.
        static const struct { const char* pszName; COLORREF clr; } kTabs[] = {
            {"Favourites", RGB(70, 110, 160)}, {"Animals", RGB(70, 140, 90)}, {"Faces", RGB(170, 120, 60)},
            {"Food", RGB(150, 70, 70)}, {"Seasons", RGB(110, 90, 150)}, {"Sports", RGB(60, 130, 140)},
        };
        int nId = 0;
        for (const auto& tab : kTabs)
            nId = strip.InsertTab(nId, tab.pszName, tab.clr, 0);
        // Laid out once, unscrolled: a tab inserted with layout would be
        // scrolled into view when it lands half beyond the edge.
        strip.MeasureTabs();
        strip.UpdateScrollButtons();
        strip.RedrawStrip();
        strip.ShowHot(strip.GetTabAt(2).nId);
        Snap(pFrame->m_hWnd, "tab-strip");
        strip.DestroyWindow();
    }
    pFrame->DestroyWindow();
    delete pFrame;
    Pump();
}
