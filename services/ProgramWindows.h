// The program's own top-level windows as the rest of the program finds them:
// the main window (while it is open), the tray window, and the window a
// notice is parented to. Start-up and the main window fill them in; tests
// put in windows of their own. User-interface thread only.
#pragma once

#include <windows.h>

void SetMainWindow(HWND hWnd);
void SetTrayWindow(HWND hWnd);
// NULL while there is none, or once the recorded window is gone.
HWND GetMainWindow();
HWND GetTrayWindow();
// The main window when it exists, else the tray window (NULL when neither).
HWND GetNoticeParent();
