// Which program owns a window, file versions and the clipboard (SysUtils.h).
#include "ui3d/system/SysUtils.h"

#include <ole2.h>
#include <tlhelp32.h>
#include <cstring>
#include <new>
#include "framework/Exception.h"
#include "ui3d/system/ExportedFuncs.h"

namespace {

bool EndsWithExe(const char* pszPath)
{
    size_t n = strlen(pszPath);
    return n > 4 && lstrcmpiA(pszPath + n - 4, ".exe") == 0;
}

// The part after the last "\" or "/", in lower case.
CString LowerFileName(const char* pszPath)
{
    const char* pLast = FindLastCharOf(pszPath, "\\/");
    CString strName(pLast != NULL ? pLast + 1 : pszPath);
    strName.MakeLower();
    return strName;
}

} // namespace

BOOL GetProcessExeNameByModules(DWORD dwProcessId, CString& strName, CString* pstrFullPath)
{
    CExportedFuncs* pFuncs = g_pExportedFuncs;
    if (pFuncs == NULL || pFuncs->pEnumProcessModules == NULL || pFuncs->pGetModuleFileNameEx == NULL)
        return FALSE;
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, dwProcessId);
    if (hProcess == NULL)
        return FALSE;

    BOOL bFound = FALSE;
    DWORD cbModules = 64 * sizeof(HMODULE);
    HMODULE* pModules = NULL;
    DWORD cbNeeded = 0;
    // A process may load modules between the two calls: ask again while the
    // list keeps growing, a few times at most.
    for (int nTry = 0; nTry < 8; nTry++) {
        delete[] pModules;
        pModules = new (std::nothrow) HMODULE[cbModules / sizeof(HMODULE)];
        if (pModules == NULL)
            break;
        cbNeeded = 0;
        if (!pFuncs->pEnumProcessModules(hProcess, pModules, cbModules, &cbNeeded)) {
            cbNeeded = 0;
            break;
        }
        if (cbNeeded <= cbModules)
            break;
        cbModules = cbNeeded;
        cbNeeded = 0;
    }
    if (pModules != NULL) {
        DWORD nModules = (cbNeeded < cbModules ? cbNeeded : cbModules) / sizeof(HMODULE);
        for (DWORD i = 0; i < nModules && !bFound; i++) {
            char szPath[MAX_PATH + 1];
            DWORD n = pFuncs->pGetModuleFileNameEx(hProcess, pModules[i], szPath, MAX_PATH);
            if (n == 0 || n > MAX_PATH)
                continue;
            szPath[n] = '\0';
            if (EndsWithExe(szPath)) {
                if (pstrFullPath != NULL)
                    *pstrFullPath = szPath;
                strName = LowerFileName(szPath);
                bFound = TRUE;
            }
        }
        delete[] pModules;
    }
    CloseHandle(hProcess);
    return bFound;
}

BOOL GetProcessExeNameBySnapshot(CString& strName, DWORD dwProcessId, CString* pstrFullPath)
{
    CExportedFuncs* pFuncs = g_pExportedFuncs;
    if (pFuncs == NULL || pFuncs->pCreateToolhelp32Snapshot == NULL || pFuncs->pProcess32First == NULL ||
        pFuncs->pProcess32Next == NULL)
        return FALSE;
    HANDLE hSnapshot = pFuncs->pCreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE || hSnapshot == NULL)
        return FALSE;
    BOOL bFound = FALSE;
    PROCESSENTRY32 entry;
    memset(&entry, 0, sizeof(entry));
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = pFuncs->pProcess32First(hSnapshot, &entry); bMore;
         bMore = pFuncs->pProcess32Next(hSnapshot, &entry)) {
        if (entry.th32ProcessID == dwProcessId) {
            entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
            if (pstrFullPath != NULL)
                *pstrFullPath = entry.szExeFile;
            strName = LowerFileName(entry.szExeFile);
            bFound = TRUE;
            break;
        }
    }
    CloseHandle(hSnapshot);
    return bFound;
}

BOOL GetProcessExeName(CString& strName, CString& strFullPath, DWORD dwProcessId)
{
    if (GetProcessExeNameByModules(dwProcessId, strName, &strFullPath))
        return TRUE;
    return GetProcessExeNameBySnapshot(strName, dwProcessId, &strFullPath);
}

ULONGLONG GetFileVersion(const char* pszPath)
{
    if (pszPath == NULL || *pszPath == '\0')
        return 0;
    DWORD dwHandle = 0;
    DWORD cb = GetFileVersionInfoSizeA(pszPath, &dwHandle);
    if (cb == 0)
        return 0;
    BYTE* pData = new (std::nothrow) BYTE[cb];
    if (pData == NULL)
        AfxThrowMemoryException();
    ULONGLONG ullVersion = 0;
    VS_FIXEDFILEINFO* pInfo = NULL;
    UINT cbInfo = 0;
    if (GetFileVersionInfoA(pszPath, 0, cb, pData) &&
        VerQueryValueA(pData, "\\", reinterpret_cast<void**>(&pInfo), &cbInfo) && pInfo != NULL &&
        cbInfo >= sizeof(VS_FIXEDFILEINFO) && pInfo->dwSignature == 0xFEEF04BD) {
        ullVersion = (static_cast<ULONGLONG>(pInfo->dwFileVersionMS) << 32) | pInfo->dwFileVersionLS;
    }
    delete[] pData;
    return ullVersion;
}

BOOL GetWindowAppInfo(HWND hWnd, CString& strTitle, CString& strExeName, ULONGLONG& ullVersion)
{
    if (hWnd == NULL || !IsWindow(hWnd))
        return FALSE;
    // GetParent gives the owner for a popup, so a cycle is impossible only in
    // theory; the bound keeps a broken chain from hanging the caller.
    HWND hTop = hWnd;
    for (int i = 0; i < 1000; i++) {
        HWND hParent = GetParent(hTop);
        if (hParent == NULL)
            break;
        hTop = hParent;
    }
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hTop, &dwProcessId);
    if (dwProcessId == 0 || dwProcessId == GetCurrentProcessId())
        return FALSE;

    char szTitle[1024];
    int n = GetWindowTextA(hTop, szTitle, sizeof(szTitle));
    strTitle = CString(szTitle, n > 0 ? n : 0);
    strTitle.MakeLower();

    CString strFullPath;
    if (!GetProcessExeName(strExeName, strFullPath, dwProcessId))
        return FALSE;
    ullVersion = GetFileVersion(strFullPath);
    return TRUE;
}

// ---- clipboard -------------------------------------------------------------------------

namespace {

const int kMaxClipboardChars = 10000;

enum ClipText { kNoText, kEmptyText, kGotText };

// Reads one text format of the data object. The global block comes from
// another program: its size bounds every read, and a missing terminator is no
// reason to read past it.
ClipText ReadClipboardFormat(IDataObject* pData, CLIPFORMAT cf, CString& strText)
{
    FORMATETC fmt = {cf, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (pData->QueryGetData(&fmt) != S_OK)
        return kNoText;
    STGMEDIUM medium;
    memset(&medium, 0, sizeof(medium));
    if (FAILED(pData->GetData(&fmt, &medium)))
        return kNoText;
    ClipText result = kNoText;
    const void* p = NULL;
    try {
        if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != NULL) {
            SIZE_T cb = GlobalSize(medium.hGlobal);
            p = GlobalLock(medium.hGlobal);
            if (p != NULL) {
                if (cf == CF_UNICODETEXT) {
                    const WCHAR* pw = static_cast<const WCHAR*>(p);
                    SIZE_T nMax = cb / sizeof(WCHAR);
                    if (nMax > kMaxClipboardChars)
                        nMax = kMaxClipboardChars;
                    SIZE_T n = 0;
                    while (n < nMax && pw[n] != 0)
                        n++;
                    strText = WideToAnsi(pw, static_cast<int>(n));
                    result = n != 0 ? kGotText : kEmptyText;
                } else {
                    const char* pc = static_cast<const char*>(p);
                    SIZE_T nMax = cb < kMaxClipboardChars ? cb : kMaxClipboardChars;
                    strText = CString(pc, static_cast<int>(strnlen(pc, nMax)));
                    result = kGotText;
                }
            }
        }
    } catch (...) {
        // Out of memory while converting: the medium is still ours to give back.
        if (p != NULL)
            GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        throw;
    }
    if (p != NULL)
        GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return result;
}

} // namespace

BOOL GetClipboardText(CString& strText)
{
    IDataObject* pData = NULL;
    if (FAILED(OleGetClipboard(&pData)) || pData == NULL)
        return FALSE;
    BOOL bRead = FALSE;
    try {
        ClipText result = ReadClipboardFormat(pData, CF_UNICODETEXT, strText);
        if (result == kNoText)
            result = ReadClipboardFormat(pData, CF_TEXT, strText);
        bRead = result == kGotText;
    } catch (CException* e) {
        e->Delete();
        bRead = FALSE;
    }
    pData->Release();
    return bRead;
}

BOOL ClearOwnClipboard()
{
    HWND hOwner = GetClipboardOwner();
    if (hOwner == NULL)
        return FALSE;
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hOwner, &dwProcessId);
    if (dwProcessId != GetCurrentProcessId())
        return FALSE;
    if (!OpenClipboard(GetDesktopWindow()))
        return FALSE;
    EmptyClipboard();
    CloseClipboard();
    return TRUE;
}
