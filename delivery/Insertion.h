// Putting smilies into the window of another program the user was typing in:
// a data source goes on the clipboard for delayed rendering, the right window
// of the target comes to the front and gets Shift+Insert, and the target then
// asks the data source for the format it wants. Also: which program asks for
// data, and whether a window is a web browser's.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

class CSmilie;

// Pastes the smilies into target's program; fieldWindow later gets the
// messenger's export request. 1 when the paste was triggered.
int InsertIntoWindow(HWND target, CSequence<CSmilie*>* smilies, HWND fieldWindow);

// A filled data source on the clipboard; 0 when the clipboard is held open by
// another window or nothing could be offered.
int PutSmiliesOnClipboard(CSequence<CSmilie*>* smilies, HWND fieldWindow);

// The program that asks for data: while dragging the one under the cursor,
// else the foreign window the user typed in last. Title (lower case, of its
// top-level window), executable name and file version (version[0] least,
// version[1] most significant double word). 0 for none, or for a window of
// this program.
int GetTargetApplication(CString& title, CString& exeName, DWORD version[2], HWND* window, BOOL dragging);

// 1 for a web browser's window, which cannot show a picture from a local file.
int IsWebBrowserWindow(CString title, const char* exeName);

// EnumChildWindows callback: stops at the first "Internet Explorer_Server"
// (any case) and stores it in the HWND that lParam points to.
BOOL CALLBACK EnumIEServerChildProc(HWND hWnd, LPARAM lParam);

// Brings window's top-level window to the front, waits (at most nTimeout ms)
// until window's thread has the foreground, then gives window the focus
// through that thread's input. 1 when the foreground arrived.
int ActivateForeignWindow(HWND window, DWORD nTimeout);

// How long the insertion waits for the target to take the foreground.
const DWORD kForegroundTimeout = 2000;
