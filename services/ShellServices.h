// Small services of the shell: the program's folder for temporary files, the
// registration of the two collection file types, the list of collections in
// the data folder, folder macros such as "%APPDATA%", and the help page.
// User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

// The temp folder found first, without a trailing separator; empty until then.
extern char g_TempFolder[MAX_PATH];

// The length of the temp folder's path, 0 when there is none. The path is
// copied into pBuffer when one is given and the length is below nSize. The
// system's temp folder (created when missing) is preferred, else "Temp" below
// the data folder; the folder found first is kept for the run.
int GetTempFolder(int nSize, char* pBuffer);

// Makes the default value of HKEY_CLASSES_ROOT\pszSubKey the text, writing
// only when it differs (a missing value differs); *pbChanged is set to whether
// a write succeeded when one was made. FALSE when the key could not be opened
// or the write failed.
BOOL RegWriteClassesDefault(LPCTSTR pszSubKey, LPCTSTR pszText, BOOL* pbChanged);
// Registers ".tvnx" and ".tvnu" with their open and preview commands and icon,
// and tells the shell when anything changed. 1 when every key was written or
// already right.
int RegisterFileTypes();

struct SCANNEDCOLLECTION
{
    CString strName;    // what menus show
    CString strPath;    // the full path of the file
};
// Lists the ".tvnx" files of the data folder in name order. The collection
// "demo" shows as "General Smilies" unless a file of that name exists; with
// nMaxLength 4 or more, longer names are cut to nMaxLength - 3 characters
// followed by "...".
void ScanCollections(CSequence<SCANNEDCOLLECTION>& list, int nMaxLength);

// Rewrites the path (a buffer of MAX_PATH characters) with single backslashes
// between its parts and the parts "%APPDATA%", "%COMMONAPPDATA%" and
// "%MYPICTURES%" replaced by those folders. 1 when rewritten; 0 leaves the
// path as it was (an unknown macro, a folder that cannot be found, an empty or
// too long result).
int ExpandFolderMacros(char* pszPath);

// How the program hands a file or an address to the shell; every road that
// opens a page, a mail or a file goes through it. Tests put in their own, so
// that no browser or viewer starts.
typedef HINSTANCE (WINAPI* PFN_SHELLEXECUTE)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern PFN_SHELLEXECUTE g_pfnShellExecute;

// Opens the address with the program registered for it; when none takes it
// (the shell answers 32 or less), "iexplore.exe" with the address, which
// every supported Windows has.
void OpenWebPage(HWND hWnd, LPCSTR pszAddress);

// Opens "help\page2.htm" of the program folder in the user's browser.
void OpenHelpPage();
