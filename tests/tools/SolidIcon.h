// A 16 x 16 icon of one opaque colour, for menus and lists in tests and
// benchmarks. The caller destroys it with DestroyIcon.
#pragma once

#include <windows.h>

inline HICON MakeSolidIcon(COLORREF clr)
{
    HDC hScreen = GetDC(NULL);
    HBITMAP hColor = CreateCompatibleBitmap(hScreen, 16, 16);
    HDC hMem = CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = SelectObject(hMem, hColor);
    RECT rc = {0, 0, 16, 16};
    HBRUSH hBrush = CreateSolidBrush(clr);
    FillRect(hMem, &rc, hBrush);
    DeleteObject(hBrush);
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
    ReleaseDC(NULL, hScreen);
    BYTE andBits[32] = {};  // opaque everywhere
    HBITMAP hMask = CreateBitmap(16, 16, 1, 1, andBits);
    ICONINFO ii = {TRUE, 0, 0, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&ii);
    DeleteObject(hMask);
    DeleteObject(hColor);
    return hIcon;
}
