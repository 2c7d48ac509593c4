// Optional system functions. Older Windows releases lack some of the functions
// the program would like to use, so none of them is linked: CExportedFuncs binds
// each one by name when the program starts, and every caller tests the pointer
// and falls back (or does without) when it is null.
//
// ProbeShellDllVersions reads the versions of the three shell libraries whose
// releases decide what tooltips can do.
#pragma once

#include <windows.h>
#include <tlhelp32.h>
#include "collection/Sequence.h"

// Signatures of the bound functions. The names that exist in an ANSI and a wide
// form are bound to their ANSI form.
typedef BOOL (WINAPI *PFN_FLASHWINDOWEX)(PFLASHWINFO);
typedef BOOL (WINAPI *PFN_TRACKMOUSEEVENT)(LPTRACKMOUSEEVENT);
typedef BOOL (WINAPI *PFN_ANIMATEWINDOW)(HWND, DWORD, DWORD);
typedef BOOL (WINAPI *PFN_SETLAYEREDWINDOWATTRIBUTES)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL (WINAPI *PFN_UPDATELAYEREDWINDOW)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                               BLENDFUNCTION*, DWORD);
typedef UINT (WINAPI *PFN_SENDINPUT)(UINT, LPINPUT, int);
typedef BOOL (WINAPI *PFN_ALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL (WINAPI *PFN_GRADIENTFILL)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
typedef BOOL (WINAPI *PFN_TRANSPARENTBLT)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
typedef BOOL (WINAPI *PFN_INTERNETGOONLINE)(LPSTR, HWND, DWORD);
typedef HANDLE (WINAPI *PFN_CREATETOOLHELP32SNAPSHOT)(DWORD, DWORD);
typedef BOOL (WINAPI *PFN_PROCESS32FIRST)(HANDLE, LPPROCESSENTRY32);
typedef BOOL (WINAPI *PFN_PROCESS32NEXT)(HANDLE, LPPROCESSENTRY32);
typedef BOOL (WINAPI *PFN_PROCESSIDTOSESSIONID)(DWORD, DWORD*);
typedef BOOL (WINAPI *PFN_ENUMPROCESSMODULES)(HANDLE, HMODULE*, DWORD, LPDWORD);
typedef DWORD (WINAPI *PFN_GETMODULEBASENAME)(HANDLE, HMODULE, LPSTR, DWORD);
typedef DWORD (WINAPI *PFN_GETMODULEFILENAMEEX)(HANDLE, HMODULE, LPSTR, DWORD);
typedef BOOL (WINAPI *PFN_SHGETSPECIALFOLDERPATH)(HWND, LPSTR, int, BOOL);
typedef HRESULT (WINAPI *PFN_SETWINDOWTHEME)(HWND, LPCWSTR, LPCWSTR);
typedef HRESULT (WINAPI *PFN_OBJECTFROMLRESULT)(LRESULT, REFIID, WPARAM, void**);

class CExportedFuncs
{
public:
    // One function to bind: where its address goes, its name and its library
    // (without ".dll"), both as the binding looks them up.
    struct APITOIMPORT
    {
        void** ppfn;
        char szFunction[64];
        char szLibrary[32];
    };
    // One library this object loaded.
    struct LOADEDDLL
    {
        HMODULE hModule;
        char szLibrary[32];
    };

    // The object made while no other one lives binds every function; later ones
    // bind nothing and leave their pointers null.
    CExportedFuncs();
    // The last object to go frees the libraries, the last loaded first.
    virtual ~CExportedFuncs();

    PFN_FLASHWINDOWEX pFlashWindowEx;
    PFN_TRACKMOUSEEVENT pTrackMouseEvent;
    PFN_ANIMATEWINDOW pAnimateWindow;
    PFN_SETLAYEREDWINDOWATTRIBUTES pSetLayeredWindowAttributes;
    PFN_UPDATELAYEREDWINDOW pUpdateLayeredWindow;
    PFN_SENDINPUT pSendInput;
    PFN_ALPHABLEND pAlphaBlend;
    PFN_GRADIENTFILL pGradientFill;
    PFN_TRANSPARENTBLT pTransparentBlt;
    PFN_INTERNETGOONLINE pInternetGoOnline;
    PFN_CREATETOOLHELP32SNAPSHOT pCreateToolhelp32Snapshot;
    PFN_PROCESS32FIRST pProcess32First;
    PFN_PROCESS32NEXT pProcess32Next;
    PFN_PROCESSIDTOSESSIONID pProcessIdToSessionId;
    PFN_ENUMPROCESSMODULES pEnumProcessModules;
    PFN_GETMODULEBASENAME pGetModuleBaseName;
    PFN_GETMODULEFILENAMEEX pGetModuleFileNameEx;
    PFN_SHGETSPECIALFOLDERPATH pSHGetSpecialFolderPath;
    PFN_SETWINDOWTHEME pSetWindowTheme;
    PFN_OBJECTFROMLRESULT pObjectFromLresult;

    CSequence<APITOIMPORT> m_Imports;
    CSequence<LOADEDDLL> m_LoadedDlls;

    // Objects alive now, shared by all of them.
    static int s_nInstances;

    // Binds every entry of imports, from the last to the first, loading each
    // library once and recording it in loaded. A library that does not load
    // leaves its pointers null and is tried again for its next function.
    static void BindImports(CSequence<APITOIMPORT>& imports, CSequence<LOADEDDLL>& loaded);
    // Frees the libraries of loaded, the last loaded first, and empties it.
    static void FreeLibraries(CSequence<LOADEDDLL>& loaded);

private:
    void AddImport(void** ppfn, LPCSTR pszFunction, LPCSTR pszLibrary);

    CExportedFuncs(const CExportedFuncs&) = delete;
    CExportedFuncs& operator=(const CExportedFuncs&) = delete;
};

// The program's one table; null before CreateExportedFuncs and after shutdown.
// Callers read a pointer from it only after testing the table itself for null.
extern CExportedFuncs* g_pExportedFuncs;

// Makes the program's table (once; a second call keeps the first table) and
// returns it.
CExportedFuncs* CreateExportedFuncs();
// Deletes the program's table, which frees the libraries it loaded.
void DeleteExportedFuncs();

struct SHELLDLLVERSIONS
{
    float fComctl32;
    float fShell32;
    float fShlwapi;
    int MultilineTips;  // all three at least 4.7
    int BalloonTips;    // Comctl32 at least 5.8
};

// Fills the program-wide record (also done before the program's entry point)
// and returns it.
SHELLDLLVERSIONS* ProbeShellDllVersions();
extern SHELLDLLVERSIONS g_ShellDllVersions;

// The version number major.minor as the shell libraries report it: 5.82 for
// (5, 82), 5.8 for (5, 80) and (5, 8), 6.0 for (6, 0).
float ShellDllVersionNumber(DWORD dwMajor, DWORD dwMinor);
// The two flags from three versions, compared as decimal numbers: 4.70 counts
// as 4.7, 4.696 does not.
void DeriveShellDllFlags(SHELLDLLVERSIONS* pVersions);
