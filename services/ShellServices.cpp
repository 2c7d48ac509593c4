#include "services/ShellServices.h"

#include "services/FolderFiles.h"
#include "services/Registry.h"
#include "services/Settings.h"
#include "framework/FileFind.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

char g_TempFolder[MAX_PATH] = "";
PFN_SHELLEXECUTE g_pfnShellExecute = ::ShellExecuteA;

namespace {

bool IsExistingFolder(LPCTSTR pszPath)
{
    const DWORD dw = GetFileAttributesA(pszPath);
    return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Keeps the folder when it exists and fits; TRUE when kept.
BOOL KeepTempFolder(const CString& strFolder)
{
    CString str = strFolder;
    str.TrimRight("\\/");
    if (str.IsEmpty() || str.GetLength() >= MAX_PATH || !IsExistingFolder(str))
        return FALSE;
    memcpy(g_TempFolder, str.GetString(), size_t(str.GetLength()) + 1);
    return TRUE;
}

}   // namespace

int GetTempFolder(int nSize, char* pBuffer)
{
    StripTrailingSlashes(g_TempFolder);
    if (g_TempFolder[0] == '\0') {
        char szSystem[MAX_PATH + 1];
        const DWORD n = GetTempPathA(sizeof(szSystem), szSystem);
        bool bFound = false;
        if (n > 0 && n < sizeof(szSystem)) {
            CreateFolderPath(szSystem);
            bFound = KeepTempFolder(szSystem);
        }
        // Without a data folder "\Temp" would land in the root of the current drive.
        if (!bFound && !g_Settings.AppDataFolder.IsEmpty()) {
            CString strOwn = g_Settings.AppDataFolder;
            strOwn.TrimRight("\\/");
            strOwn += "\\Temp";
            CreateFolderPath(strOwn);
            KeepTempFolder(strOwn);
        }
    }
    const int nLength = int(strlen(g_TempFolder));
    if (pBuffer != NULL && nLength < nSize)
        memcpy(pBuffer, g_TempFolder, size_t(nLength) + 1);
    return nLength;
}

BOOL RegWriteClassesDefault(LPCTSTR pszSubKey, LPCTSTR pszText, BOOL* pbChanged)
{
    HKEY hKey = NULL;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, pszSubKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &hKey,
                        NULL) != ERROR_SUCCESS)
        return FALSE;
    BOOL bResult = TRUE;
    CString strCurrent;
    if (!RegQueryString(hKey, NULL, strCurrent) || strCurrent.Compare(pszText) != 0) {
        bResult = RegSetValueExA(hKey, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText),
                                 DWORD(strlen(pszText) + 1)) == ERROR_SUCCESS;
        if (pbChanged != NULL)
            *pbChanged = bResult;
    }
    RegCloseKey(hKey);
    return bResult;
}

int RegisterFileTypes()
{
    char szProgram[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(NULL, szProgram, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 0;
    szProgram[n] = '\0';
    CString strCommand;
    strCommand.Format("\"%s\" \"%%1\"", szProgram);
    CString strIcon;
    strIcon.Format("%s,1", szProgram);

    const struct
    {
        LPCTSTR pszSubKey;
        LPCTSTR pszText;
    } keys[] = {
        {".tvnx", "Tarvenex.SmilieCollection.1"},
        {"Tarvenex.SmilieCollection.1", "Tarvenex Smilie Collection"},
        {"Tarvenex.SmilieCollection.1\\Shell\\Open\\Command", strCommand},
        {"Tarvenex.SmilieCollection.1\\Shell\\Preview\\Command", strCommand},
        {"Tarvenex.SmilieCollection.1\\DefaultIcon", strIcon},
        {".tvnu", "Tarvenex.SmilieCollectionUpdate.1"},
        {"Tarvenex.SmilieCollectionUpdate.1", "Tarvenex Smilie Collection Update"},
        {"Tarvenex.SmilieCollectionUpdate.1\\Shell\\Open\\Command", strCommand},
        {"Tarvenex.SmilieCollectionUpdate.1\\Shell\\Preview\\Command", strCommand},
        {"Tarvenex.SmilieCollectionUpdate.1\\DefaultIcon", strIcon},
    };
    BOOL bAnyChanged = FALSE;
    for (const auto& key : keys) {
        BOOL bChanged = FALSE;
        if (!RegWriteClassesDefault(key.pszSubKey, key.pszText, &bChanged))
            return 0;
        bAnyChanged |= bChanged;
    }
    // Explorer caches icons and verbs per extension until it hears of a change.
    if (bAnyChanged)
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, NULL, NULL);
    return 1;
}

void ScanCollections(CSequence<SCANNEDCOLLECTION>& list, int nMaxLength)
{
    CString strFolder = g_Settings.AppDataFolder;
    strFolder.TrimRight("\\/");
    CSequence<FOLDERFILE> files;
    ListFolderFiles(strFolder + "\\*.tvnx", files);
    for (int i = 0; i < files.GetSize(); i++) {
        SCANNEDCOLLECTION entry;
        entry.strName = files[i].strTitle;
        entry.strPath = files[i].strPath;
        list.Add(entry);
    }

    bool bGeneralExists = false;
    for (int i = 0; i < list.GetSize(); i++)
        bGeneralExists = bGeneralExists || list[i].strName.CompareNoCase("General Smilies") == 0;
    if (!bGeneralExists) {
        for (int i = 0; i < list.GetSize(); i++) {
            if (list[i].strName.CompareNoCase("demo") == 0) {
                list[i].strName = "General Smilies";
                break;
            }
        }
    }
    if (nMaxLength >= 4) {
        for (int i = 0; i < list.GetSize(); i++) {
            CString& strName = list[i].strName;
            if (strName.GetLength() > nMaxLength - 3)
                strName = strName.Left(nMaxLength - 3) + "...";
        }
    }
}

namespace {

struct FOLDERMACRO
{
    LPCTSTR pszMacro;
    int nFolder;
    LPCTSTR pszKey;
    LPCTSTR pszValue;
};

const FOLDERMACRO s_macros[] = {
    {"%APPDATA%", CSIDL_APPDATA,
     "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "AppData"},
    {"%COMMONAPPDATA%", CSIDL_COMMON_APPDATA,
     "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Folders", "Common AppData"},
    {"%MYPICTURES%", CSIDL_MYPICTURES,
     "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "My Pictures"},
};

// The folder of one macro: the shell's answer when the shell has the function
// (older systems don't), else Explorer's record of it in the registry.
bool GetMacroFolder(const FOLDERMACRO& macro, CString& strFolder)
{
    if (g_pExportedFuncs != NULL && g_pExportedFuncs->pSHGetSpecialFolderPath != NULL) {
        char szFolder[MAX_PATH + 1] = "";
        if (g_pExportedFuncs->pSHGetSpecialFolderPath(NULL, szFolder, macro.nFolder, FALSE)) {
            szFolder[MAX_PATH] = '\0';
            strFolder = szFolder;
            return true;
        }
    }
    HKEY hRoot = NULL;
    LPCTSTR pszSubKey = ParseRegistryRootKey(macro.pszKey, &hRoot);
    HKEY hKey = NULL;
    if (pszSubKey == NULL || RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    const bool bRead = RegQueryString(hKey, macro.pszValue, strFolder) != 0;
    RegCloseKey(hKey);
    return bRead;
}

// One part of the path: a macro is replaced by its folder; false for a macro
// that is not known or whose folder cannot be found.
bool ExpandPart(CString& strPart)
{
    const int nLength = strPart.GetLength();
    if (nLength <= 2 || strPart[0] != '%' || strPart[nLength - 1] != '%')
        return true;
    for (int i = int(sizeof(s_macros) / sizeof(s_macros[0])) - 1; i >= 0; i--) {
        if (strPart.CompareNoCase(s_macros[i].pszMacro) != 0)
            continue;
        CString strFolder;
        if (!GetMacroFolder(s_macros[i], strFolder))
            return false;
        strFolder.TrimRight("\\/");
        if (strFolder.IsEmpty())
            return false;
        strPart = strFolder;
        return true;
    }
    return false;
}

}   // namespace

int ExpandFolderMacros(char* pszPath)
{
    if (pszPath == NULL)
        return 0;
    CString strResult;
    const char* p = pszPath;
    while (*p != '\0') {
        while (*p == '\\' || *p == '/')
            p++;
        const char* pStart = p;
        while (*p != '\0' && *p != '\\' && *p != '/')
            p++;
        if (p == pStart)
            break;
        CString strPart(pStart, int(p - pStart));
        if (!ExpandPart(strPart))
            return 0;
        if (!strResult.IsEmpty())
            strResult += '\\';
        strResult += strPart;
    }
    if (strResult.IsEmpty() || strResult.GetLength() >= MAX_PATH)
        return 0;
    memcpy(pszPath, strResult.GetString(), size_t(strResult.GetLength()) + 1);
    return 1;
}

void OpenHelpPage()
{
    CString strFolder;
    GetProgramFolder(strFolder);
    const CString strPage = strFolder + "\\help\\page2.htm";
    // Without a program registered for the page, the browser that every
    // supported Windows has; the path is quoted so that blanks in it survive.
    if (INT_PTR(g_pfnShellExecute(NULL, "open", strPage, NULL, NULL, SW_SHOWNORMAL)) <= 32)
        g_pfnShellExecute(NULL, "open", "iexplore.exe", "\"" + strPage + "\"", NULL, SW_SHOWNORMAL);
}

void OpenWebPage(HWND hWnd, LPCSTR pszAddress)
{
    if (INT_PTR(g_pfnShellExecute(hWnd, "open", pszAddress, NULL, NULL, SW_SHOWNORMAL)) <= 32)
        g_pfnShellExecute(hWnd, "open", "iexplore.exe", pszAddress, NULL, SW_SHOWNORMAL);
}
