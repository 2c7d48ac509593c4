// Redirects one predefined registry key (HKEY_CURRENT_USER, HKEY_CLASSES_ROOT,
// ...) of this process to a fresh key of its own, so that code which writes
// below the predefined key touches only the sandbox. Tests of one executable
// run in parallel processes; each sandbox key carries the process id. The
// key and everything below it are deleted at the end.
#pragma once

#include <windows.h>

#include <string>

class RegistrySandbox
{
public:
    explicit RegistrySandbox(HKEY hPredefined) : m_hPredefined(hPredefined)
    {
        static int s_nNext = 0;
        m_strSubKey = "Software\\TvnxTestSandbox\\" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(s_nNext++);
        // Created through the real HKEY_CURRENT_USER before any override.
        RegCreateKeyExA(HKEY_CURRENT_USER, m_strSubKey.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, NULL);
        if (m_hKey != NULL)
            m_bOverridden = RegOverridePredefKey(m_hPredefined, m_hKey) == ERROR_SUCCESS;
    }
    ~RegistrySandbox()
    {
        if (m_bOverridden)
            RegOverridePredefKey(m_hPredefined, NULL);
        if (m_hKey != NULL)
            RegCloseKey(m_hKey);
        DeleteTree(HKEY_CURRENT_USER, m_strSubKey.c_str());
        // The common parent goes once no other sandbox lives below it.
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TvnxTestSandbox");
    }
    bool IsActive() const { return m_bOverridden; }
    // The sandbox itself (what the predefined key now means).
    HKEY Root() const { return m_hKey; }

    // Deletes a key and everything below it.
    static void DeleteTree(HKEY hParent, const char* pszSubKey)
    {
        HKEY hKey = NULL;
        if (RegOpenKeyExA(hParent, pszSubKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
            return;
        char szChild[256];
        DWORD cch = sizeof(szChild);
        while (RegEnumKeyExA(hKey, 0, szChild, &cch, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
            DeleteTree(hKey, szChild);
            if (RegDeleteKeyA(hKey, szChild) != ERROR_SUCCESS)
                break;
            cch = sizeof(szChild);
        }
        RegCloseKey(hKey);
        RegDeleteKeyA(hParent, pszSubKey);
    }

    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    HKEY m_hPredefined;
    HKEY m_hKey = NULL;
    bool m_bOverridden = false;
    std::string m_strSubKey;
};
