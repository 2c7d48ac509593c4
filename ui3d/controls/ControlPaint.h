// Painting helpers shared by the skinned dialog controls.
#pragma once

#include <windows.h>

// The light and dark ends of a face gradient: each channel moved toward 255
// by nLighten percent, and toward 0 by nDarken percent (both kept in 1..100).
void GetFaceColors(COLORREF clrFace, int nLighten, int nDarken, COLORREF* pLight, COLORREF* pDark);
// Each channel of clr moved toward clrTarget by nPercent (kept in 1..100).
COLORREF MoveColorToward(COLORREF clr, COLORREF clrTarget, int nPercent);
// Asks hWnd's parent to paint its background under hWnd into hDC
// (the registered "WM_PRINTBKGND"); FALSE when nobody painted.
BOOL PrintParentBackground(HWND hWnd, HDC hDC);
// A new font like the parent's (WM_GETFONT), or the icon-title font when the
// parent has none; the caller deletes it.
HFONT CreateParentFontCopy(HWND hWnd, BOOL bUnderline = FALSE);
