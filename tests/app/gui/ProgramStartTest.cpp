// The shipped program (dist/tarvenex.exe) as a user meets it: it starts into
// the notification area, a second start hands over to the first and ends,
// and a start without languages, skins or a usable data folder tells why and
// ends. The test presses the program's windows itself; every wait is bounded.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kKey[] = "Software\\Mordale\\Tarvenex";
const char kTrayClass[] = "Tarvenex Tray Window";
const char kMainClass[] = "Tarvenex Main Window";
const DWORD kWaitMs = 30000;

std::string DistFolder()
{
    return std::string(TVNX_BINARY_DIR) + "\\dist";
}

std::string TempFolder(const char* pszName)
{
    char sz[MAX_PATH];
    GetTempPathA(MAX_PATH, sz);
    std::string s = std::string(sz) + pszName;
    CreateDirectoryA(s.c_str(), NULL);
    return s;
}

void DeleteTree(const std::string& strPath)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strPath + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = strPath + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(full);
            else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(strPath.c_str());
}

// Copies the folder's tree, leaving out the entries of the top level named in skip.
void CopyTree(const std::string& strFrom, const std::string& strTo, const std::vector<std::string>& skip = {})
{
    CreateDirectoryA(strTo.c_str(), NULL);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strFrom + "\\*").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << strFrom;
    do {
        const std::string name = fd.cFileName;
        bool bSkip = name == "." || name == "..";
        for (const std::string& s : skip)
            bSkip = bSkip || lstrcmpiA(s.c_str(), name.c_str()) == 0;
        if (bSkip)
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(strFrom + "\\" + name, strTo + "\\" + name);
        else
            CopyFileA((strFrom + "\\" + name).c_str(), (strTo + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void SetDword(const char* pszName, DWORD dw)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL));
    RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
    RegCloseKey(hKey);
}

void SetString(const char* pszName, const std::string& str)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL));
    RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(str.c_str()), DWORD(str.size() + 1));
    RegCloseKey(hKey);
}

std::string GetString(const char* pszName)
{
    char sz[1024] = "";
    DWORD cb = sizeof(sz) - 1, dwType = 0;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return "";
    const LONG n = RegQueryValueExA(hKey, pszName, NULL, &dwType, reinterpret_cast<BYTE*>(sz), &cb);
    RegCloseKey(hKey);
    return n == ERROR_SUCCESS && dwType == REG_SZ ? sz : "";
}

struct FINDWND
{
    DWORD dwProcess;
    const char* pszClass;
    bool bVisibleOnly;
    HWND hFound;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    FINDWND* p = reinterpret_cast<FINDWND*>(lParam);
    DWORD dw = 0;
    GetWindowThreadProcessId(hWnd, &dw);
    char szClass[128] = "";
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (dw == p->dwProcess && lstrcmpiA(szClass, p->pszClass) == 0 && (!p->bVisibleOnly || IsWindowVisible(hWnd))) {
        p->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindOf(DWORD dwProcess, const char* pszClass, bool bVisibleOnly)
{
    FINDWND f = {dwProcess, pszClass, bVisibleOnly, NULL};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
    return f.hFound;
}

struct FINDCHILD
{
    const char* pszText;
    HWND hFound;
};

BOOL CALLBACK FindChildProc(HWND hWnd, LPARAM lParam)
{
    FINDCHILD* p = reinterpret_cast<FINDCHILD*>(lParam);
    // Another process's control answers for its text only when asked.
    char sz[2048] = "";
    DWORD_PTR n = 0;
    SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof(sz), LPARAM(sz), SMTO_ABORTIFHUNG, 2000, &n);
    if (strstr(sz, p->pszText) != NULL) {
        p->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChildWithText(HWND hParent, const char* pszText)
{
    FINDCHILD f = {pszText, NULL};
    EnumChildWindows(hParent, FindChildProc, reinterpret_cast<LPARAM>(&f));
    return f.hFound;
}

BOOL CALLBACK DescribeProc(HWND hWnd, LPARAM lParam)
{
    std::pair<DWORD, std::string>* p = reinterpret_cast<std::pair<DWORD, std::string>*>(lParam);
    DWORD dw = 0;
    GetWindowThreadProcessId(hWnd, &dw);
    if (dw == p->first) {
        char szClass[128] = "", szText[256] = "";
        GetClassNameA(hWnd, szClass, sizeof(szClass));
        GetWindowTextA(hWnd, szText, sizeof(szText));
        p->second += std::string(" [") + szClass + " \"" + szText + "\"" + (IsWindowVisible(hWnd) ? " visible]" : "]");
    }
    return TRUE;
}

// The process's state and its top-level windows, for a failure's message.
std::string Describe(const PROCESS_INFORMATION& pi)
{
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::pair<DWORD, std::string> d(pi.dwProcessId, code == STILL_ACTIVE ? "; running;" : "; ended " + std::to_string(code));
    EnumWindows(DescribeProc, reinterpret_cast<LPARAM>(&d));
    return d.second;
}

class ProgramStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        m_strData = TempFolder("tvnx-start-data");
        CopyFileA((DistFolder() + "\\demo.tvnx").c_str(), (m_strData + "\\demo.tvnx").c_str(), FALSE);
        // Nothing in the way of a plain start, nothing leaves the machine.
        SetDword("ShowFirstTimeSetup", 0);
        SetDword("ShowTipsOfTheDay", DWORD(-1));
        SetDword("TrayTipAtStartup", 0);
        SetDword("WarnNoInternetConnection", 0);
        SetDword("WarnMinimizingToTray", 0);
        SetDword("WarnExit", 0);
        SetDword("MainWndOpenAtStartup", 0);
        SetString("AppDataFolder", m_strData);
    }

    void TearDown() override
    {
        for (PROCESS_INFORMATION& pi : m_Started) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi.hProcess, 1);
                WaitForSingleObject(pi.hProcess, 5000);
            }
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        DeleteTree(m_strData);
        if (!m_strCopy.empty())
            DeleteTree(m_strCopy);
    }

    // Starts the program of the folder with the arguments; its process.
    PROCESS_INFORMATION Start(const std::string& strArgs = "", const std::string& strFolder = DistFolder())
    {
        std::string cmd = "\"" + strFolder + "\\tarvenex.exe\"" + (strArgs.empty() ? "" : " " + strArgs);
        STARTUPINFOA si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        EXPECT_TRUE(CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, strFolder.c_str(), &si, &pi)) << cmd;
        if (pi.hProcess != NULL)
            m_Started.push_back(pi);
        return pi;
    }

    HWND WaitFor(const PROCESS_INFORMATION& pi, const char* pszClass, bool bVisibleOnly)
    {
        for (DWORD until = GetTickCount() + kWaitMs; GetTickCount() < until; Sleep(50)) {
            if (HWND h = FindOf(pi.dwProcessId, pszClass, bVisibleOnly))
                return h;
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
                return NULL;
        }
        return NULL;
    }

    // The exit code once the process ended in time, else STILL_ACTIVE.
    DWORD WaitEnd(const PROCESS_INFORMATION& pi)
    {
        WaitForSingleObject(pi.hProcess, kWaitMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }

    // Ends a running program as its message loop ends: the tray window goes
    // with every shutdown step.
    void Quit(const PROCESS_INFORMATION& pi)
    {
        HWND hTray = FindOf(pi.dwProcessId, kTrayClass, false);
        ASSERT_NE(nullptr, hTray);
        PostThreadMessageA(GetWindowThreadProcessId(hTray, NULL), WM_QUIT, 0, 0);
        EXPECT_EQ(0u, WaitEnd(pi)) << Describe(pi);
    }

    // Waits for a dialog of the process showing the text, presses its button
    // captioned pszButton and expects the process to end.
    void PressAndEnd(const PROCESS_INFORMATION& pi, const char* pszText, const char* pszButton)
    {
        HWND hDlg = NULL, hText = NULL;
        for (DWORD until = GetTickCount() + kWaitMs; hText == NULL && GetTickCount() < until; Sleep(50)) {
            hDlg = FindOf(pi.dwProcessId, "#32770", true);
            hText = hDlg != NULL ? FindChildWithText(hDlg, pszText) : NULL;
            if (hText == NULL && WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
                break;
        }
        ASSERT_NE(nullptr, hText) << "no window showed \"" << pszText << "\"" << Describe(pi);
        HWND hButton = FindChildWithText(hDlg, pszButton);
        ASSERT_NE(nullptr, hButton) << "no button \"" << pszButton << "\"";
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hButton), BN_CLICKED), LPARAM(hButton));
        // An early end runs the exit steps over what was never made: cleanly.
        EXPECT_EQ(0u, WaitEnd(pi)) << "the program did not end cleanly";
        EXPECT_EQ(nullptr, FindOf(pi.dwProcessId, kTrayClass, false));
    }

    std::string m_strData;
    std::string m_strCopy;
    std::vector<PROCESS_INFORMATION> m_Started;
};

} // namespace

// The program lives in the notification area: its window there is never
// shown; the main window opens at start only when the user wants it to. Its
// end saves the settings.
TEST_F(ProgramStart, StartsIntoTheTray)
{
    struct
    {
        DWORD bOpenAtStartup;
        bool bMainShown;
    } rows[] = {{0, false}, {1, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bOpenAtStartup);
        SetDword("MainWndOpenAtStartup", row.bOpenAtStartup);
        SetString("SmilieCollection", "<default>");
        PROCESS_INFORMATION pi = Start();
        HWND hTray = WaitFor(pi, kTrayClass, false);
        ASSERT_NE(nullptr, hTray) << "no tray window";
        EXPECT_FALSE(IsWindowVisible(hTray));
        if (row.bMainShown)
            EXPECT_NE(nullptr, WaitFor(pi, kMainClass, true));
        else
            EXPECT_EQ(nullptr, FindOf(pi.dwProcessId, kMainClass, false));
        Quit(pi);
        // The default collection became the data folder's demo, saved at the end.
        EXPECT_EQ(m_strData + "\\demo.tvnx", GetString("SmilieCollection"));
    }
}

// A second start ends at once: without arguments it opens the first's main
// window, with a (quoted) path the first opens that collection.
TEST_F(ProgramStart, SecondStartHandsOver)
{
    PROCESS_INFORMATION first = Start();
    ASSERT_NE(nullptr, WaitFor(first, kTrayClass, false));
    ASSERT_EQ(nullptr, FindOf(first.dwProcessId, kMainClass, false));

    PROCESS_INFORMATION second = Start();
    EXPECT_EQ(0u, WaitEnd(second));
    EXPECT_NE(nullptr, WaitFor(first, kMainClass, true)) << "the first did not open its main window";

    // With its main window open the first opens the named file in it.
    const std::string strOther = m_strData + "\\other one.tvnx";
    CopyFileA((m_strData + "\\demo.tvnx").c_str(), strOther.c_str(), FALSE);
    PROCESS_INFORMATION third = Start("\"" + strOther + "\"");
    EXPECT_EQ(0u, WaitEnd(third));
    EXPECT_EQ(nullptr, FindOf(third.dwProcessId, kTrayClass, false));
    Quit(first);
    EXPECT_EQ(strOther, GetString("SmilieCollection"));
}

// A start naming a collection opens it in the main window.
TEST_F(ProgramStart, OpensTheCollectionNamed)
{
    const std::string strOther = m_strData + "\\named.tvnx";
    CopyFileA((m_strData + "\\demo.tvnx").c_str(), strOther.c_str(), FALSE);
    PROCESS_INFORMATION pi = Start("\"" + strOther + "\"");
    EXPECT_NE(nullptr, WaitFor(pi, kMainClass, true));
    Quit(pi);
    EXPECT_EQ(strOther, GetString("SmilieCollection"));
}

// Without languages or skins the program reports and ends when the user
// presses "Exit".
TEST_F(ProgramStart, WithoutLanguagesOrSkinsReportsAndEnds)
{
    struct
    {
        const char* pszLeftOut;
        const char* pszReport;
    } rows[] = {
        {"Languages", "Cannot proceed without valid language files"},
        {"Skins", "- No valid skin files were found."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszLeftOut);
        m_strCopy = TempFolder("tvnx-start-copy");
        CopyTree(DistFolder(), m_strCopy, {row.pszLeftOut});
        PROCESS_INFORMATION pi = Start("", m_strCopy);
        PressAndEnd(pi, row.pszReport, "Exit");
        DeleteTree(m_strCopy);
    }
    m_strCopy.clear();
}

// A skin that is gone gives way to another one; the setting stays.
TEST_F(ProgramStart, MissingSkinFallsBack)
{
    SetString("Skin", "Gone Away");
    PROCESS_INFORMATION pi = Start();
    ASSERT_NE(nullptr, WaitFor(pi, kTrayClass, false));
    Quit(pi);
    EXPECT_EQ("Gone Away", GetString("Skin"));
}

// A data folder that is gone becomes the default one (created); one that
// cannot be written ends the start with a message.
TEST_F(ProgramStart, DataFolder)
{
    char szAppData[MAX_PATH] = "";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, 0, szAppData)));
    const std::string strDefault = std::string(szAppData) + "\\Mordale\\Tarvenex";
    SetString("AppDataFolder", m_strData + "\\not there");
    PROCESS_INFORMATION pi = Start();
    ASSERT_NE(nullptr, WaitFor(pi, kTrayClass, false));
    Quit(pi);
    EXPECT_EQ(strDefault, GetString("AppDataFolder"));
    const DWORD dw = GetFileAttributesA(strDefault.c_str());
    EXPECT_TRUE(dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY));

    // Nothing can be written where a folder stands in the way of the probe file.
    const std::string strLocked = m_strData + "\\locked";
    CreateDirectoryA(strLocked.c_str(), NULL);
    CreateDirectoryA((strLocked + "\\~tmp.tmp").c_str(), NULL);
    SetFileAttributesA(strLocked.c_str(), FILE_ATTRIBUTE_READONLY);
    SetString("AppDataFolder", strLocked);
    PROCESS_INFORMATION locked = Start();
    PressAndEnd(locked, "is inaccessible", "OK");
    EXPECT_EQ(strLocked, GetString("AppDataFolder"));
}

namespace {

// A window of the tray window's class in the test process, standing in for a
// first start that has just made its tray window: it keeps what is handed over.
std::string g_strHandedOver;
LRESULT CALLBACK CatchHandOver(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* pcds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (pcds->dwData == 1 && pcds->lpData != NULL && pcds->cbData > 0)
            g_strHandedOver.assign(static_cast<const char*>(pcds->lpData), strnlen(static_cast<const char*>(pcds->lpData), pcds->cbData));
        return 1;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

// A second start made while the first is still starting (it holds the mutex,
// its tray window is not there yet) waits for that window and hands its file
// over, made absolute against the folder it was started in.
TEST_F(ProgramStart, SecondStartWaitsForTheFirstsTrayWindow)
{
    // What the test stands in for goes again whatever the outcome: the
    // program must find no mutex and no tray window in the later tests.
    struct FirstStart
    {
        HANDLE hMutex = NULL;
        HWND hTray = NULL;
        ~FirstStart()
        {
            if (hTray != NULL)
                DestroyWindow(hTray);
            UnregisterClassA(kTrayClass, GetModuleHandleA(NULL));
            if (hMutex != NULL) {
                ReleaseMutex(hMutex);
                CloseHandle(hMutex);
            }
        }
    } first;
    first.hMutex = CreateMutexA(NULL, TRUE, "TvnxMutex_UniqueInstance");
    ASSERT_NE(nullptr, first.hMutex);
    ASSERT_NE(DWORD(ERROR_ALREADY_EXISTS), GetLastError());
    PROCESS_INFORMATION second = Start("\"relative one.tvnx\"");
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(second.hProcess, 1500)) << "it ended without waiting";

    WNDCLASSA wc = {};
    wc.lpfnWndProc = CatchHandOver;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = kTrayClass;
    ASSERT_TRUE(RegisterClassA(&wc));
    first.hTray = CreateWindowExA(WS_EX_TOOLWINDOW, kTrayClass, "", WS_POPUP, -1, -1, 0, 0, NULL, NULL, wc.hInstance,
                                  NULL);
    ASSERT_NE(nullptr, first.hTray);
    g_strHandedOver.clear();
    MSG msg;
    for (DWORD until = GetTickCount() + kWaitMs; g_strHandedOver.empty() && GetTickCount() < until;) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (MsgWaitForMultipleObjects(1, &second.hProcess, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
    }
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    char szExpected[MAX_PATH] = "";
    GetFullPathNameA((DistFolder() + "\\relative one.tvnx").c_str(), MAX_PATH, szExpected, NULL);
    EXPECT_EQ(0, lstrcmpiA(szExpected, g_strHandedOver.c_str())) << "handed over: \"" << g_strHandedOver << "\"";
    EXPECT_EQ(0u, WaitEnd(second));
}
