#include "ui3d/system/ExportedFuncs.h"

#include <shlwapi.h>
#include <cstdio>
#include <cstring>

CExportedFuncs* g_pExportedFuncs = NULL;
int CExportedFuncs::s_nInstances = 0;

CExportedFuncs::CExportedFuncs()
    : pFlashWindowEx(NULL), pTrackMouseEvent(NULL), pAnimateWindow(NULL),
      pSetLayeredWindowAttributes(NULL), pUpdateLayeredWindow(NULL), pSendInput(NULL),
      pAlphaBlend(NULL), pGradientFill(NULL), pTransparentBlt(NULL), pInternetGoOnline(NULL),
      pCreateToolhelp32Snapshot(NULL), pProcess32First(NULL), pProcess32Next(NULL),
      pProcessIdToSessionId(NULL), pEnumProcessModules(NULL), pGetModuleBaseName(NULL),
      pGetModuleFileNameEx(NULL), pSHGetSpecialFolderPath(NULL), pSetWindowTheme(NULL),
      pObjectFromLresult(NULL)
{
    if (s_nInstances++ != 0)
        return;
    try {
        AddImport((void**)&pFlashWindowEx, "FlashWindowEx", "User32");
        AddImport((void**)&pTrackMouseEvent, "TrackMouseEvent", "User32");
        AddImport((void**)&pAnimateWindow, "AnimateWindow", "User32");
        AddImport((void**)&pSetLayeredWindowAttributes, "SetLayeredWindowAttributes", "User32");
        AddImport((void**)&pUpdateLayeredWindow, "UpdateLayeredWindow", "User32");
        AddImport((void**)&pSendInput, "SendInput", "User32");
        AddImport((void**)&pAlphaBlend, "AlphaBlend", "Msimg32");
        AddImport((void**)&pGradientFill, "GradientFill", "Msimg32");
        AddImport((void**)&pTransparentBlt, "TransparentBlt", "Msimg32");
        AddImport((void**)&pInternetGoOnline, "InternetGoOnline", "wininet");
        AddImport((void**)&pCreateToolhelp32Snapshot, "CreateToolhelp32Snapshot", "Kernel32");
        AddImport((void**)&pProcess32First, "Process32First", "Kernel32");
        AddImport((void**)&pProcess32Next, "Process32Next", "Kernel32");
        AddImport((void**)&pProcessIdToSessionId, "ProcessIdToSessionId", "Kernel32");
        AddImport((void**)&pEnumProcessModules, "EnumProcessModules", "psapi");
        AddImport((void**)&pGetModuleBaseName, "GetModuleBaseName", "psapi");
        AddImport((void**)&pGetModuleFileNameEx, "GetModuleFileNameEx", "psapi");
        AddImport((void**)&pSHGetSpecialFolderPath, "SHGetSpecialFolderPath", "shell32");
        AddImport((void**)&pSetWindowTheme, "SetWindowTheme", "UxTheme");
        AddImport((void**)&pObjectFromLresult, "ObjectFromLresult", "OLEACC");
        BindImports(m_Imports, m_LoadedDlls);
    } catch (...) {
        FreeLibraries(m_LoadedDlls);
        m_Imports.RemoveAll();
        s_nInstances--;
        throw;
    }
}

CExportedFuncs::~CExportedFuncs()
{
    if (--s_nInstances == 0)
        FreeLibraries(m_LoadedDlls);
    m_Imports.RemoveAll();
    m_LoadedDlls.RemoveAll();
}

void CExportedFuncs::AddImport(void** ppfn, LPCSTR pszFunction, LPCSTR pszLibrary)
{
    APITOIMPORT item;
    memset(&item, 0, sizeof(item));
    item.ppfn = ppfn;
    lstrcpynA(item.szFunction, pszFunction, sizeof(item.szFunction));
    lstrcpynA(item.szLibrary, pszLibrary, sizeof(item.szLibrary));
    m_Imports.Add(item);
}

void CExportedFuncs::BindImports(CSequence<APITOIMPORT>& imports, CSequence<LOADEDDLL>& loaded)
{
    for (int i = imports.GetSize() - 1; i >= 0; i--) {
        APITOIMPORT& item = imports[i];
        HMODULE hModule = NULL;
        for (int j = loaded.GetSize() - 1; j >= 0; j--) {
            if (strcmp(loaded[j].szLibrary, item.szLibrary) == 0) {
                hModule = loaded[j].hModule;
                break;
            }
        }
        if (hModule == NULL) {
            char szFile[40];
            snprintf(szFile, sizeof(szFile), "%.31s.dll", item.szLibrary);
            hModule = LoadLibraryA(szFile);
            if (hModule == NULL) {
                *item.ppfn = NULL;
                continue;
            }
            LOADEDDLL dll;
            memset(&dll, 0, sizeof(dll));
            dll.hModule = hModule;
            lstrcpynA(dll.szLibrary, item.szLibrary, sizeof(dll.szLibrary));
            try {
                loaded.Add(dll);
            } catch (...) {
                FreeLibrary(hModule);
                throw;
            }
        }
        char szAnsi[sizeof(item.szFunction) + 1];
        snprintf(szAnsi, sizeof(szAnsi), "%sA", item.szFunction);
        FARPROC pfn = GetProcAddress(hModule, szAnsi);
        if (pfn == NULL)
            pfn = GetProcAddress(hModule, item.szFunction);
        *item.ppfn = reinterpret_cast<void*>(pfn);
    }
}

void CExportedFuncs::FreeLibraries(CSequence<LOADEDDLL>& loaded)
{
    for (int i = loaded.GetSize() - 1; i >= 0; i--)
        FreeLibrary(loaded[i].hModule);
    loaded.RemoveAll();
}

CExportedFuncs* CreateExportedFuncs()
{
    if (g_pExportedFuncs == NULL)
        g_pExportedFuncs = new CExportedFuncs();
    return g_pExportedFuncs;
}

void DeleteExportedFuncs()
{
    CExportedFuncs* p = g_pExportedFuncs;
    g_pExportedFuncs = NULL;
    delete p;
}

// --- shell library versions ----------------------------------------------------

SHELLDLLVERSIONS g_ShellDllVersions;

float ShellDllVersionNumber(DWORD dwMajor, DWORD dwMinor)
{
    double divisor = 1.0;
    for (DWORD n = dwMinor; n != 0; n /= 10)
        divisor *= 10.0;
    return static_cast<float>(dwMajor + dwMinor / divisor);
}

// A float holds 4.70 only approximately, so a version a few units in the last
// place below the wanted one is the same decimal number. The tolerance stays far
// below the smallest step a minor number makes (4.696 is not 4.7).
static bool AtLeastVersion(float fVersion, float fWanted)
{
    return fVersion >= fWanted - 1e-5f;
}

void DeriveShellDllFlags(SHELLDLLVERSIONS* p)
{
    p->MultilineTips = AtLeastVersion(p->fComctl32, 4.7f) && AtLeastVersion(p->fShell32, 4.7f) &&
                       AtLeastVersion(p->fShlwapi, 4.7f);
    p->BalloonTips = AtLeastVersion(p->fComctl32, 5.8f);
}

static float ProbeOneVersion(LPCSTR pszLibrary)
{
    HMODULE hModule = LoadLibraryA(pszLibrary);
    if (hModule == NULL)
        return 0.0f;
    float fVersion = 4.0f;
    DLLGETVERSIONPROC pfn =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(hModule, "DllGetVersion")));
    if (pfn != NULL) {
        DLLVERSIONINFO info;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);  // 20 bytes
        if (SUCCEEDED(pfn(&info)))
            fVersion = ShellDllVersionNumber(info.dwMajorVersion, info.dwMinorVersion);
    }
    FreeLibrary(hModule);
    return fVersion;
}

SHELLDLLVERSIONS* ProbeShellDllVersions()
{
    g_ShellDllVersions.fComctl32 = ProbeOneVersion("Comctl32.dll");
    g_ShellDllVersions.fShell32 = ProbeOneVersion("Shell32.dll");
    g_ShellDllVersions.fShlwapi = ProbeOneVersion("Shlwapi.dll");
    DeriveShellDllFlags(&g_ShellDllVersions);
    return &g_ShellDllVersions;
}

// The tooltip and menu code read the flags before any window exists.
namespace {
struct ShellDllVersionsAtStart
{
    ShellDllVersionsAtStart() { ProbeShellDllVersions(); }
} s_probeAtStart;
}
