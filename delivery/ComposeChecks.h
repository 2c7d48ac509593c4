// Outlook Express and Windows Mail show a pasted picture only when the
// compose window writes HTML, and Windows Mail only when its security and
// sending settings let pictures through. While rendering for them the
// compose window and Windows Mail's settings are examined and the user is
// advised; the Windows Mail values can be corrected by the program. Nothing
// here blocks the program that waits for data.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

void CheckOutlookExpressCompose(HWND composeWindow);
void CheckWindowsMailCompose(HWND composeWindow);

// EnumChildWindows callback: stops at the first "##MimeEdit_Server" and
// stores it in the HWND that lParam points to.
BOOL CALLBACK EnumMimeEditProc(HWND hWnd, LPARAM lParam);

// The key under HKEY_CURRENT_USER.
extern const char g_szWindowsMailKey[];

// 1 when the settings could be judged; the indices of the rows whose value
// is not the wanted one are appended.
int ReadWindowsMailSettings(CSequence<int>* wrongRows);
// Writes the wanted value of every row; 1 when all writes succeeded.
int WriteWindowsMailSettings();
// The advice for the rows in wrongRows, numbered, one line each.
CString BuildWindowsMailAdvice(const CSequence<int>& wrongRows);
// 1 when advice is due: then a question is posted that asks the user, once
// the rendering has returned, whether the program may change the values (OK
// writes them). A question already waiting is not posted twice.
int CheckWindowsMailSettings(double version);
