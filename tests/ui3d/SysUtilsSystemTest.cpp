// Folder creation, file versions and process names, with and without the
// optional system functions.
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class TempFolder
{
public:
    TempFolder()
    {
        char szTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, szTemp);
        char szName[MAX_PATH];
        snprintf(szName, sizeof(szName), "%stvnx_sysutils_%lu_%lu", szTemp, GetCurrentProcessId(), GetTickCount());
        m_strPath = szName;
        CreateDirectoryA(m_strPath.c_str(), NULL);
    }
    ~TempFolder() { RemoveTree(m_strPath); }
    const std::string& Path() const { return m_strPath; }

private:
    static void RemoveTree(const std::string& strPath)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((strPath + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string strName = fd.cFileName;
                if (strName == "." || strName == "..")
                    continue;
                std::string strChild = strPath + "\\" + strName;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(strChild);
                else
                    DeleteFileA(strChild.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(strPath.c_str());
    }
    std::string m_strPath;
};

bool IsFolder(const std::string& strPath)
{
    DWORD dw = GetFileAttributesA(strPath.c_str());
    return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY);
}

// Installs a program table for one test and removes it afterwards.
class WithExportedFuncs : public testing::Test
{
protected:
    void SetUp() override { CreateExportedFuncs(); }
    void TearDown() override { DeleteExportedFuncs(); }
};

} // namespace

TEST(CreateFolderPath, CreatesEveryMissingLevel)
{
    TempFolder temp;
    std::string strPath = temp.Path() + "\\a/b\\c";
    EXPECT_TRUE(CreateFolderPath(strPath.c_str()));
    EXPECT_TRUE(IsFolder(temp.Path() + "\\a\\b\\c"));
    EXPECT_FALSE(CreateFolderPath(strPath.c_str())) << "nothing left to create";
    EXPECT_TRUE(CreateFolderPath((temp.Path() + "\\a\\b\\d\\").c_str()));
    EXPECT_TRUE(IsFolder(temp.Path() + "\\a\\b\\d"));
}

TEST(CreateFolderPath, ExpandsEnvironmentVariables)
{
    TempFolder temp;
    SetEnvironmentVariableA("TVNX_TEST_ROOT", temp.Path().c_str());
    SetEnvironmentVariableA("TVNX_TEST_NESTED", "%TVNX_TEST_ROOT%\\nested");
    EXPECT_TRUE(CreateFolderPath("%TVNX_TEST_ROOT%\\Mordale\\Tarvenex"));
    EXPECT_TRUE(IsFolder(temp.Path() + "\\Mordale\\Tarvenex"));
    EXPECT_TRUE(CreateFolderPath("%TVNX_TEST_NESTED%/inner"));
    EXPECT_TRUE(IsFolder(temp.Path() + "\\nested\\inner"));
    EXPECT_FALSE(CreateFolderPath("%TVNX_TEST_UNSET_VARIABLE%\\x"));
    SetEnvironmentVariableA("TVNX_TEST_ROOT", NULL);
    SetEnvironmentVariableA("TVNX_TEST_NESTED", NULL);
}

// A variable whose value names itself, directly or through another one, must
// end instead of expanding for ever (and must not overflow the stack).
TEST(CreateFolderPath, SelfNamingVariableEnds)
{
    SetEnvironmentVariableA("TVNX_TEST_SELF", "%TVNX_TEST_SELF%");
    SetEnvironmentVariableA("TVNX_TEST_PING", "%TVNX_TEST_PONG%");
    SetEnvironmentVariableA("TVNX_TEST_PONG", "%TVNX_TEST_PING%");
    struct Row { const char* pszPath; };
    const Row rows[] = {{"%TVNX_TEST_SELF%\\x"}, {"%TVNX_TEST_PING%\\y"}};
    for (const Row& row : rows)
        EXPECT_FALSE(CreateFolderPath(row.pszPath)) << row.pszPath;
    SetEnvironmentVariableA("TVNX_TEST_SELF", NULL);
    SetEnvironmentVariableA("TVNX_TEST_PING", NULL);
    SetEnvironmentVariableA("TVNX_TEST_PONG", NULL);
}

TEST(GetFileVersion, VersionResourceOrZero)
{
    char szKernel[MAX_PATH];
    GetSystemDirectoryA(szKernel, MAX_PATH);
    strcat(szKernel, "\\kernel32.dll");
    ULONGLONG ull = GetFileVersion(szKernel);
    EXPECT_GE(ull >> 48, 5u) << "major version of kernel32";

    TempFolder temp;
    std::string strText = temp.Path() + "\\plain.txt";
    HANDLE h = CreateFileA(strText.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD dw;
    WriteFile(h, "hello", 5, &dw, NULL);
    CloseHandle(h);
    EXPECT_EQ(0u, GetFileVersion(strText.c_str()));
    EXPECT_EQ(0u, GetFileVersion((temp.Path() + "\\missing.dll").c_str()));
    EXPECT_EQ(0u, GetFileVersion(""));
}

TEST_F(WithExportedFuncs, ProcessNameByEitherWay)
{
    char szExe[MAX_PATH];
    GetModuleFileNameA(NULL, szExe, MAX_PATH);
    CString strExpected(strrchr(szExe, '\\') + 1);
    strExpected.MakeLower();

    CString strName, strPath;
    ASSERT_TRUE(GetProcessExeNameByModules(GetCurrentProcessId(), strName, &strPath));
    EXPECT_STREQ(strExpected, strName);
    EXPECT_EQ(0, lstrcmpiA(szExe, strPath));

    CString strSnapName;
    ASSERT_TRUE(GetProcessExeNameBySnapshot(strSnapName, GetCurrentProcessId()));
    EXPECT_STREQ(strExpected, strSnapName);

    CString strAny, strAnyPath;
    EXPECT_FALSE(GetProcessExeNameByModules(0xFFFFFFF0u, strAny));
    EXPECT_FALSE(GetProcessExeNameBySnapshot(strAny, 0xFFFFFFF0u));
    EXPECT_FALSE(GetProcessExeName(strAny, strAnyPath, 0xFFFFFFF0u));
}

TEST_F(WithExportedFuncs, ProcessNameFallsBackWhenFunctionsAreMissing)
{
    CExportedFuncs* p = g_pExportedFuncs;
    char szExe[MAX_PATH];
    GetModuleFileNameA(NULL, szExe, MAX_PATH);
    CString strExpected(strrchr(szExe, '\\') + 1);
    strExpected.MakeLower();

    // Without psapi the snapshot way answers.
    PFN_ENUMPROCESSMODULES pEnum = p->pEnumProcessModules;
    p->pEnumProcessModules = NULL;
    CString strName, strPath;
    EXPECT_FALSE(GetProcessExeNameByModules(GetCurrentProcessId(), strName));
    EXPECT_TRUE(GetProcessExeName(strName, strPath, GetCurrentProcessId()));
    EXPECT_STREQ(strExpected, strName);
    p->pEnumProcessModules = pEnum;

    // Without the toolhelp functions the modules way still works alone.
    PFN_PROCESS32NEXT pNext = p->pProcess32Next;
    p->pProcess32Next = NULL;
    EXPECT_FALSE(GetProcessExeNameBySnapshot(strName, GetCurrentProcessId()));
    EXPECT_TRUE(GetProcessExeName(strName, strPath, GetCurrentProcessId()));
    // With neither, nothing is found.
    p->pGetModuleFileNameEx = NULL;
    EXPECT_FALSE(GetProcessExeName(strName, strPath, GetCurrentProcessId()));
    p->pProcess32Next = pNext;
}

TEST(ProcessName, NoTableFindsNothing)
{
    ASSERT_EQ(nullptr, g_pExportedFuncs);
    CString strName, strPath;
    EXPECT_FALSE(GetProcessExeName(strName, strPath, GetCurrentProcessId()));
}
