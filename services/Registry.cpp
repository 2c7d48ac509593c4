#include "services/Registry.h"

#include <cstdlib>
#include <cstring>

namespace {

struct ROOTNAME
{
    LPCTSTR pszName;
    HKEY hKey;
};

const ROOTNAME s_roots[] = {
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKEY_USERS", HKEY_USERS},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

}   // namespace

LPCTSTR ParseRegistryRootKey(LPCTSTR pszKeyPath, HKEY* phRoot)
{
    if (pszKeyPath == NULL)
        return NULL;
    const size_t nPath = strlen(pszKeyPath);
    for (const ROOTNAME& root : s_roots) {
        const size_t nName = strlen(root.pszName);
        if (nPath <= nName + 1 || _strnicmp(pszKeyPath, root.pszName, nName) != 0)
            continue;
        if (pszKeyPath[nName] != '\\' && pszKeyPath[nName] != '/')
            continue;
        if (phRoot != NULL)
            *phRoot = root.hKey;
        return pszKeyPath + nName + 1;
    }
    return NULL;
}

int RegQueryString(HKEY hKey, LPCTSTR pszValueName, CString& strValue)
{
    // The value may change between asking for its size and reading it; a
    // value that grew in between is asked for again.
    for (int nTry = 0; nTry < 4; nTry++) {
        DWORD dwType = 0;
        DWORD cbData = 0;
        if (RegQueryValueExA(hKey, pszValueName, NULL, &dwType, NULL, &cbData) != ERROR_SUCCESS)
            return 0;
        if (dwType != REG_SZ || cbData == 0)
            return 0;
        // One byte beyond what the value holds: a text stored without its
        // terminating zero keeps its last character.
        char* pBuffer = static_cast<char*>(malloc(size_t(cbData) + 1));
        if (pBuffer == NULL)
            return 0;
        DWORD cbRead = cbData;
        LONG lResult = RegQueryValueExA(hKey, pszValueName, NULL, &dwType, reinterpret_cast<BYTE*>(pBuffer), &cbRead);
        if (lResult == ERROR_MORE_DATA) {
            free(pBuffer);
            continue;
        }
        if (lResult != ERROR_SUCCESS || dwType != REG_SZ || cbRead == 0 || cbRead > cbData) {
            free(pBuffer);
            return 0;
        }
        pBuffer[cbRead] = '\0';
        strValue = pBuffer;
        free(pBuffer);
        return 1;
    }
    return 0;
}

int RegQueryDword(HKEY hKey, LPCTSTR pszValueName, DWORD& dwValue)
{
    DWORD dwType = 0;
    DWORD dwData = 0;
    DWORD cbData = sizeof(dwData);
    if (RegQueryValueExA(hKey, pszValueName, NULL, &dwType, reinterpret_cast<BYTE*>(&dwData), &cbData) != ERROR_SUCCESS)
        return 0;
    if (dwType != REG_DWORD || cbData != sizeof(dwData))
        return 0;
    dwValue = dwData;
    return 1;
}
