#include "services/ProgramWindows.h"

namespace {

HWND s_hMainWnd = NULL;
HWND s_hTrayWnd = NULL;

HWND Living(HWND hWnd)
{
    return hWnd != NULL && ::IsWindow(hWnd) ? hWnd : NULL;
}

}  // namespace

void SetMainWindow(HWND hWnd)
{
    s_hMainWnd = hWnd;
}

void SetTrayWindow(HWND hWnd)
{
    s_hTrayWnd = hWnd;
}

HWND GetMainWindow()
{
    return Living(s_hMainWnd);
}

HWND GetTrayWindow()
{
    return Living(s_hTrayWnd);
}

HWND GetNoticeParent()
{
    const HWND hMain = GetMainWindow();
    return hMain != NULL ? hMain : GetTrayWindow();
}
