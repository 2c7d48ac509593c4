// The module whose resources the framework loads (bitmaps, dialogs, strings).
// Defaults to the program's own executable; the application object may set it.
#pragma once

#include <windows.h>

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetInstanceHandle(HINSTANCE hInstance);
void AfxSetResourceHandle(HINSTANCE hResource);
