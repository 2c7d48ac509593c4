#include "delivery/FocusHookLib.h"

#include "services/Registered.h"

#include <string.h>

DWORD(WINAPI* g_pfnFocusHookProgramPath)(HMODULE, LPSTR, DWORD) = GetModuleFileNameA;

namespace {

void Clear(FOCUSHOOKLIB* pLib)
{
    pLib->hModule = NULL;
    pLib->pfnSetHook = NULL;
    pLib->pfnRemoveHook = NULL;
}

// The library's full path, or FALSE. A path without a folder would make
// LoadLibrary search the current folder and the PATH, where a library of
// that name planted by someone else would be run.
BOOL GetLibraryPath(char (&szPath)[MAX_PATH + 1])
{
    const DWORD n = g_pfnFocusHookProgramPath(NULL, szPath, MAX_PATH);
    if (n < 4 || n >= MAX_PATH)
        return FALSE;
    szPath[n] = '\0';
    if (strchr(szPath, '\\') == NULL && strchr(szPath, '/') == NULL)
        return FALSE;
    memcpy(szPath + n - 3, "dll", 3);
    return TRUE;
}

}  // namespace

int LoadFocusHook(HWND hNotifyWnd, FOCUSHOOKLIB* pLib)
{
    Clear(pLib);
    char szPath[MAX_PATH + 1];
    if (!GetLibraryPath(szPath))
        return 0;
    // The library's own imports are looked for beside it, not in the
    // current folder.
    pLib->hModule = ::LoadLibraryExA(szPath, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (pLib->hModule == NULL)
        return 0;
    pLib->pfnSetHook = reinterpret_cast<PFN_FOCUSSETHOOK>(
        reinterpret_cast<void*>(::GetProcAddress(pLib->hModule, "SetHook")));
    pLib->pfnRemoveHook = reinterpret_cast<PFN_FOCUSREMOVEHOOK>(
        reinterpret_cast<void*>(::GetProcAddress(pLib->hModule, "RemoveHook")));
    if (pLib->pfnSetHook != NULL && pLib->pfnRemoveHook != NULL &&
        pLib->pfnSetHook(hNotifyWnd, GetFocusHookMessage()))
        return 1;
    ::FreeLibrary(pLib->hModule);
    Clear(pLib);
    return 0;
}

int UnloadFocusHook(FOCUSHOOKLIB* pLib)
{
    if (pLib->hModule == NULL || pLib->pfnRemoveHook == NULL || !pLib->pfnRemoveHook())
        return 0;
    if (!::FreeLibrary(pLib->hModule))
        return 0;
    Clear(pLib);
    return 1;
}

POINT FocusHookPoint(LPARAM lParam)
{
    POINT pt;
    pt.x = static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)));
    pt.y = static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)));
    return pt;
}
