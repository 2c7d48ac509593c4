// CTvnxApp: the program's application object. Its start makes the program a
// single instance (a second start hands its file, or the wish to see the
// main window, to the first and ends), checks the system, loads languages,
// settings and the skin, prepares the data and temp folders and the file
// types, and creates the hidden tray window, which is the main window from
// then on. Its exit frees the program-wide objects in a fixed order. The one
// static object lives in TvnxMain.cpp.
#pragma once

#include "framework/Str.h"
#include "framework/WinApp.h"

class CTvnxTrayWnd;

// The command line as given, every double quote removed and blanks trimmed at
// both ends: at most one path. The tray window reads it while it is created
// and empties it.
extern CString g_CommandLine;

// 1 on Windows NT 4 or later, or on Windows 9x from build 951 on; else 0 (also
// when the version cannot be read).
int IsWindowsVersionSupported();

// Makes sure the data folder in pszPath (a buffer of MAX_PATH characters)
// exists and can be written. A path that names no folder is replaced by the
// default "%APPDATA%\Mordale\Tarvenex" (created), or by the program folder
// when that cannot be expanded. 0: usable; 1: no folder; 2: not writable.
int CreateDataFolder(char* pszPath);

// Copies of the settings "Skin" and "SmilieCollection".
CString GetSkinName();
CString GetCollectionPath();

// Puts the real main window (CTvnxDlg) behind the tray window's seam.
void InstallMainWndHooks();

// The program's own reactions the busy state needs: the main window.
void InstallBusyHooks();

// Builds g_CommandLine from the command line the framework was given; a path
// is made absolute against the current folder at once, so that a later change
// of the current folder cannot make it name another file.
void SetCommandLine(LPCSTR pszCommandLine);

// The path made absolute against the current folder (as it is when that fails).
CString AbsolutePath(const CString& strPath);

// Hands a start over to the running instance: the path (may be empty) goes
// to the window of class "Tarvenex Tray Window". While the first instance is
// still starting (it holds the mutex but has no such window yet), waits for
// the window up to nWaitMs. FALSE when there was none.
BOOL HandOverToFirstInstance(const CString& strPath, DWORD nWaitMs = 0);
// How long a second start waits for the first one's tray window.
const DWORD kHandOverWaitMs = 20000;

class CTvnxApp : public CWinApp
{
public:
    CTvnxApp();

    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnIdle(LONG lCount) override;
    int ExitInstance() override;

    // Null in an instance that does not own the mutex.
    HANDLE m_hMutex;
    CTvnxTrayWnd* m_pTrayWnd;

private:
    BOOL LoadTheLanguages();
    BOOL LoadTheSkin();
    BOOL PrepareDataFolder();
};
