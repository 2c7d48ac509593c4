#include "fields/ForeignFocus.h"

namespace {

// Written and read on the user-interface thread only: the hook posts its
// reports to the tray window, whose handler stores them here.
HWND s_hForeignTarget = NULL;
HWND s_hForeignBrowser = NULL;
POINT s_ptForeignBrowser = {0, 0};

} // namespace

void SetForeignTarget(HWND hWnd)
{
    s_hForeignTarget = hWnd;
}

HWND GetForeignTarget()
{
    return s_hForeignTarget;
}

void SetForeignBrowser(HWND hWnd, POINT ptClient)
{
    s_hForeignBrowser = hWnd;
    s_ptForeignBrowser = ptClient;
}

HWND GetForeignBrowser(POINT* pptClient)
{
    if (pptClient != NULL)
        *pptClient = s_ptForeignBrowser;
    return s_hForeignBrowser;
}
