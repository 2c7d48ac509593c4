// An in-memory dialog template without controls (the DLGTEMPLATE layout),
// from which the message box and the property sheet create their windows.
#pragma once

#include <windows.h>

// Style = the given style with DS_SETFONT; the title (or none) converted from
// the ANSI code page; font "MS Sans Serif" at 8 points. The block is malloc'd
// (the caller frees it with free()) and its byte size stored. FALSE when
// memory cannot be had.
BOOL BuildDialogTemplate(const RECT& rect, DWORD dwStyle, LPCSTR pszTitle, BYTE** ppBlock, UINT* pcbBlock);
