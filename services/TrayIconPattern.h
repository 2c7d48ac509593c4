// How the program's tray icon looks in a mask of the notification area (one
// byte per pixel, 0xFF where the mean of red, green and blue is at least 230,
// else 0): two bright blocks of 3 x 3 pixels side by side. The tray animation
// aims at it, and the hiding notice looks for it to show where the icon is.
#pragma once

#include <windows.h>

struct TRAYICONPATTERN
{
    enum { cx = 16, cy = 7 };
    BYTE bits[cy][cx];
};
extern const TRAYICONPATTERN g_TrayIconPattern;
