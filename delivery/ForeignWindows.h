// Small routines for particular programs: inserting a picture into AOL 9.5 and
// later through the document of its embedded browser window (it does not take
// a picture from the clipboard), The Bat!'s version from its registry key (its
// executable may carry no version resource), and the windows of input-method
// editors, which must never be taken for the window the user types in.
#pragma once

#include "collection/Sequence.h"
#include "framework/ComPtr.h"

#include <windows.h>
#include <mshtml.h>

// A candidate document window and its rectangle in the client coordinates of
// the "AOL Child" window.
struct AOL_WND
{
    HWND hWnd;
    RECT rc;
};

// The smallest document window AOL's editor uses; smaller ones are toolbars.
const int kAolMinDocumentSize = 80;

// 1 when the editor of the AOL frame window reports that it inserted the
// picture file, else 0.
int InsertAolImage(HWND aolWindow, const char* picturePath);
// The candidate whose top-left corner is nearest to the origin (at least 1
// from both edges, at least 80 by 80), scanning from the last collected
// window; NULL when none qualifies.
HWND ChooseAolDocumentWindow(const CSequence<AOL_WND>& windows);

// How the document object of a browser window is reached from the result of
// WM_HTML_GETOBJECT; the program uses ObjectFromLresult of the optional
// functions. Tests may install their own.
typedef HRESULT (WINAPI *PFN_DOCUMENTFROMLRESULT)(LRESULT, REFIID, WPARAM, void**);
extern PFN_DOCUMENTFROMLRESULT g_pfnDocumentFromLresult;
// The document of a browser window ("Internet Explorer_Server"), asked for with
// WM_HTML_GETOBJECT; a browser that does not answer within a second gives none.
bool GetBrowserDocument(HWND hBrowser, CComPtr<IHTMLDocument2>& document);

// The Bat!'s version read at start-up: most significant double word major in
// the high word and hundredths of the fraction in the low word, the least
// significant double word 0. 0 while not read.
extern ULONGLONG g_TheBatVersion;
// Reads "Version" of HKEY_CURRENT_USER\Software\RIT\The Bat!; 1 when a
// version was read and stored.
int ReadTheBatVersion();

// 1 when the window's class and title are those of an input-method window.
int IsImeWindow(HWND hWnd);

// 1 for the desktop window and the windows its thread keeps (Wine's desktop
// process draws its taskbar and notification area there): nobody types into
// them, so they are never the window a smilie goes to.
int IsDesktopWindow(HWND hWnd);

// EnumChildWindows callback: appends every window to the CSequence<HWND> in
// lParam and goes on.
BOOL CALLBACK EnumCollectChildProc(HWND hWnd, LPARAM lParam);
