// The foreign window the user typed in last, as the focus hook reports it,
// and the embedded browser window under the last point the hook reported.
// The tray window fills both from its focus-hook messages; the field code
// reads them when a drop or a paste needs the window it came from. Until a
// report arrives both are empty and the readers take their fallback roads.
#pragma once

#include <windows.h>

// The window of another process that got the focus last (NULL: none yet).
void SetForeignTarget(HWND hWnd);
HWND GetForeignTarget();

// The "Internet Explorer_Server" window under the last reported point, with
// that point in the window's client coordinates.
void SetForeignBrowser(HWND hWnd, POINT ptClient);
// The recorded browser window (NULL: none); *pptClient gets its point.
HWND GetForeignBrowser(POINT* pptClient);
