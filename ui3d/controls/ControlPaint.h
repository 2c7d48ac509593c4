// Painting helpers shared by the skinned dialog controls.
#pragma once

#include "framework/Str.h"

#include <windows.h>

struct BODYSTYLE;

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

// For controls that paint in WM_ERASEBKGND (the statics and the group box):
// WM_PAINT only has to validate, or the system would send it again and again;
// WM_PRINT goes through the erase and WM_PRINTCLIENT as its flags ask.
LRESULT ValidateOnly(HWND hWnd);
LRESULT PrintThroughErase(HWND hWnd, WPARAM wParam, LPARAM lParam);
// Text in the body style's 3D look: b3D the 3D flag of the kind (0x20
// statics, 0x10 group captions), style flag 0x40 a shadow instead of engraved.
void DrawStyledText(HDC hDC, const CString& str, RECT rc, UINT nFormat, const BODYSTYLE& style, BOOL b3D);
