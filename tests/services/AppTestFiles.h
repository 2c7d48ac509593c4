// Files for the shell's tests: a scratch folder that is removed with all it
// holds, and whole-file writes.
#pragma once

#include <windows.h>

#include <string>

class AppTempDir
{
public:
    AppTempDir()
    {
        static int s_nNext = 0;
        char szTemp[MAX_PATH];
        GetTempPathA(sizeof(szTemp), szTemp);
        m_strDir = std::string(szTemp) + "tvnxapp-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(s_nNext++);
        CreateDirectoryA(m_strDir.c_str(), NULL);
    }
    ~AppTempDir() { RemoveTree(m_strDir); }
    std::string Path(const std::string& strName) const { return m_strDir + "\\" + strName; }
    const std::string& Dir() const { return m_strDir; }

    AppTempDir(const AppTempDir&) = delete;
    AppTempDir& operator=(const AppTempDir&) = delete;

private:
    static void RemoveTree(const std::string& strDir)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((strDir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string strName = fd.cFileName;
                if (strName == "." || strName == "..")
                    continue;
                const std::string strPath = strDir + "\\" + strName;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(strPath);
                } else {
                    SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(strPath.c_str());
                }
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(strDir.c_str());
    }

    std::string m_strDir;
};

inline bool WriteWholeFile(const std::string& strPath, const std::string& bytes)
{
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD cb = 0;
    const BOOL bOk = WriteFile(h, bytes.data(), DWORD(bytes.size()), &cb, NULL);
    CloseHandle(h);
    return bOk && cb == bytes.size();
}

inline bool IsFolder(const std::string& strPath)
{
    const DWORD dw = GetFileAttributesA(strPath.c_str());
    return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
