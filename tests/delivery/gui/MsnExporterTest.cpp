// The messenger exporter against the messenger stand-in, with the hook
// libraries of the build loaded by full path. The sound devices, SendInput,
// the shell and the clock are the tests' own; settings and the messenger's
// values go to a registry sandbox.
#include "delivery/MsnExporterDlg.h"

#include "delivery/ShiftInsert.h"
#include "dialogs/DlgHowToQuickOpenDefCol.h"
#include "dialogs/DlgMessengerReminders.h"
#include "fields/SmiliesFieldDropPaste.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "services/TickCount.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/MsnStandInProcess.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// --- the seams ---------------------------------------------------------------------

int g_nSendInputRecords = 0;
UINT WINAPI RecordSendInput(UINT n, LPINPUT, int)
{
    g_nSendInputRecords += int(n);
    return n;
}
void WINAPI RecordKeybdEvent(BYTE, BYTE, DWORD, ULONG_PTR)
{
    ADD_FAILURE() << "no key may reach the desktop";
}

// Two sound devices, the second without volume control.
DWORD g_volumes[2];
std::vector<DWORD> g_volumesSet;
UINT WINAPI FakeNumDevs()
{
    return 2;
}
MMRESULT WINAPI FakeDevCaps(UINT_PTR n, LPWAVEOUTCAPSA p, UINT)
{
    memset(p, 0, sizeof(*p));
    p->dwSupport = n == 0 ? WAVECAPS_VOLUME : 0;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeGetVolume(HWAVEOUT h, LPDWORD p)
{
    *p = g_volumes[reinterpret_cast<UINT_PTR>(h) & 1];
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeSetVolume(HWAVEOUT h, DWORD dw)
{
    g_volumes[reinterpret_cast<UINT_PTR>(h) & 1] = dw;
    g_volumesSet.push_back(dw);
    return MMSYSERR_NOERROR;
}

std::vector<std::string> g_shellCalls;
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR pszFile, LPCSTR, LPCSTR, INT)
{
    g_shellCalls.push_back(pszFile != NULL ? pszFile : "");
    return reinterpret_cast<HINSTANCE>(42);
}

DWORD g_nNow = 0;
DWORD WINAPI FakeTickCount()
{
    return g_nNow;
}

// A window standing for the main window; it records WM_OPENCOLLECTION.
std::vector<std::pair<std::string, LPARAM>> g_openCollection;
LRESULT CALLBACK MainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_OPENCOLLECTION) {
        g_openCollection.push_back({reinterpret_cast<const char*>(wParam), lParam});
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

class CAnswerer : public CModalAnswerer
{
public:
    explicit CAnswerer(std::function<INT_PTR(CDialog*)> work) : m_work(work)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        // The exporter runs by itself.
        if (dynamic_cast<CMsnMsgrExporterBaseDlg*>(pDialog) != NULL)
            return -1;
        return m_work(pDialog);
    }

private:
    std::function<INT_PTR(CDialog*)> m_work;
    CModalAnswerer* m_pPrevious;
};

std::string Temp(const char* pszName)
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + pszName + std::to_string(::GetCurrentProcessId());
}

class MsnExporter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterControlMessages();
        m_language.Set(562, "[PROGNAME] hides emoticons");
        m_language.Set(563, "[PROGNAME] [VERSION]: [ADVICE]");
        m_language.Set(570, "http://www.tarvenex.example/messenger.htm");
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        m_pFuncs = new CExportedFuncs;
        m_pPreviousFuncs = g_pExportedFuncs;
        g_pExportedFuncs = m_pFuncs;
        m_pFuncs->pSendInput = RecordSendInput;
        m_pfnKeybd = g_pfnKeybdEvent;
        g_pfnKeybdEvent = RecordKeybdEvent;
        m_wave = g_WaveOut;
        g_WaveOut = {FakeNumDevs, FakeDevCaps, FakeGetVolume, FakeSetVolume};
        g_volumes[0] = 0x80008000;
        g_volumes[1] = 0x12341234;
        g_volumesSet.clear();
        g_nSendInputRecords = 0;
        m_pfnShell = g_pfnShellExecute;
        g_pfnShellExecute = RecordShellExecute;
        g_shellCalls.clear();
        m_strLibraries = std::string(TVNX_BINARY_DIR) + "\\dist";
        CMsnMsgrExporterBaseDlg::s_pszLibraryFolder = m_strLibraries.c_str();
        g_pVTimer = new CVTimer;
        CMsnMsgr6ExporterDlg::s_nShortcut = 0;
        CMsnMsgr7ExporterDlg::s_nShortcut = 0;
    }
    void TearDown() override
    {
        delete g_pVTimer;
        g_pVTimer = NULL;
        CMsnMsgrExporterBaseDlg::s_pszLibraryFolder = NULL;
        g_pfnShellExecute = m_pfnShell;
        g_WaveOut = m_wave;
        g_pfnKeybdEvent = m_pfnKeybd;
        g_pExportedFuncs = m_pPreviousFuncs;
        delete m_pFuncs;
        SetMainWindow(NULL);
        SetDefaultSettings();
    }

    static MSNEXPORTREQUEST Request(HWND hConversation, double dVersion, int cx = 19, int cy = 19)
    {
        MSNEXPORTREQUEST r = {};
        r.size = kMsnExportRequestSize;
        r.window = hConversation;
        r.app.SetExeName("msnmsgr.exe");
        r.app.versionFrom = r.app.versionTo = VersionFromDecimal(dVersion);
        strcpy(r.picturePath, "C:\\smilies\\wink.png");
        r.pictureWidth = cx;
        r.pictureHeight = cy;
        return r;
    }
    static int Export(int nVersion, MSNEXPORTREQUEST& r)
    {
        if (nVersion == 6) {
            CMsnMsgr6ExporterDlg dlg(NULL);
            return dlg.Export(&r);
        }
        CMsnMsgr7ExporterDlg dlg(NULL);
        return dlg.Export(&r);
    }

    RegistrySandbox m_registry{HKEY_CURRENT_USER};
    CNumberedLanguage m_language;
    CExportedFuncs* m_pFuncs = nullptr;
    CExportedFuncs* m_pPreviousFuncs = nullptr;
    PFN_KEYBDEVENT m_pfnKeybd = nullptr;
    WAVEOUTFUNCS m_wave = {};
    PFN_SHELLEXECUTE m_pfnShell = nullptr;
    std::string m_strLibraries;
};

TEST_F(MsnExporter, SuccessAddsTheEmoticonAndPastesItsShortcutForMessenger6)
{
    const struct {
        int nVersion;
        int nCounter;
        const char* shortcut;
        int nNextCounter;
        bool bPasted;
    } rows[] = {
        {6, 0, "~a", 1, true},
        {7, 0, "~a", 1, false},
        {6, 9, "~j", 0, true},   // the eleventh export starts over at "a"
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("messenger " + std::to_string(row.nVersion) + ", shortcut " + row.shortcut);
        MsnStandInProcess standIn(row.nVersion, "ok");
        ASSERT_TRUE(standIn.Ready());
        (row.nVersion == 6 ? CMsnMsgr6ExporterDlg::s_nShortcut : CMsnMsgr7ExporterDlg::s_nShortcut) = row.nCounter;
        PutShortcutOnClipboard(NULL, "before");
        g_nSendInputRecords = 0;
        g_volumesSet.clear();
        MSNEXPORTREQUEST r = Request(standIn.conversation, row.nVersion == 6 ? 6.2 : 7.0);
        EXPECT_EQ(1, Export(row.nVersion, r));
        EXPECT_EQ(row.shortcut, standIn.Value("create shortcut="));
        EXPECT_EQ("C:\\smilies\\wink.png", standIn.Value("create picture="));
        EXPECT_EQ(row.nNextCounter,
                  row.nVersion == 6 ? CMsnMsgr6ExporterDlg::s_nShortcut : CMsnMsgr7ExporterDlg::s_nShortcut);
        CString strClip;
        GetClipboardText(strClip);
        EXPECT_STREQ(row.bPasted ? row.shortcut : "before", strClip);
        EXPECT_EQ(row.bPasted ? 4 : 0, g_nSendInputRecords);
        // Muted while the run went, the one device with volume control only,
        // and given its volume back.
        ASSERT_GE(g_volumesSet.size(), 2u);
        EXPECT_EQ(0u, g_volumesSet.front());
        EXPECT_EQ(0x80008000u, g_volumes[0]);
        EXPECT_EQ(0x12341234u, g_volumes[1]);
        EXPECT_TRUE(::GetModuleHandleA(row.nVersion == 6 ? "tarvenex_msnm6.dll" : "tarvenex_msnm7.dll") == NULL)
            << "unloaded after the run";
    }
}

// Reads the exporter's bar while it runs (a thread timer of the test).
int g_nBarSeen = -1;
bool g_bShownSeen = false;
void CALLBACK LookAtExporter(HWND, UINT, UINT_PTR, DWORD)
{
    const HWND hDlg = ::FindWindowA(NULL, "Disconnecting from MSN Messenger...");
    if (hDlg == NULL || !::IsWindowVisible(hDlg))
        return;
    g_bShownSeen = true;
    g_nBarSeen = int(::SendDlgItemMessageA(hDlg, IDC_MSNEXPORTER_PROGRESS, PBM_GETPOS, 0, 0));
}

TEST_F(MsnExporter, FailingStepShowsTheBarAndEndsWithFailure)
{
    MsnStandInProcess standIn(7, "d2controls");
    ASSERT_TRUE(standIn.Ready());
    g_nBarSeen = -1;
    g_bShownSeen = false;
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, LookAtExporter);
    MSNEXPORTREQUEST r = Request(standIn.conversation, 7.0);
    EXPECT_EQ(0, Export(7, r));
    ::KillTimer(NULL, nTimer);
    EXPECT_TRUE(g_bShownSeen);
    EXPECT_EQ(66, g_nBarSeen);
    EXPECT_EQ(0x80008000u, g_volumes[0]) << "the volume comes back on failure too";
    EXPECT_EQ(0, CMsnMsgr7ExporterDlg::s_nShortcut) << "no shortcut was used";
}

// The user was writing in the conversation; the program's own window was in
// front for the click. After a failed run the conversation is in front again.
TEST_F(MsnExporter, FailureGivesTheForegroundBackToTheConversation)
{
    MsnStandInProcess standIn(7, "d2controls");
    ASSERT_TRUE(standIn.Ready());
    const HWND hOwn = ::CreateWindowExA(0, "STATIC", "program", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, NULL, NULL, NULL,
                                        NULL);
    ::SetForegroundWindow(hOwn);
    PumpUntil([&] { return ::GetForegroundWindow() == hOwn; }, 3000);
    MSNEXPORTREQUEST r = Request(standIn.conversation, 7.0);
    EXPECT_EQ(0, Export(7, r));
    const HWND hConversation = ::GetAncestor(standIn.conversation, GA_ROOT);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hConversation; }, 3000))
        << "in front: " << ::GetForegroundWindow() << ", the conversation: " << hConversation;
    ::DestroyWindow(hOwn);
}

TEST_F(MsnExporter, ClosedConversationGivesNothing)
{
    const HWND hGone = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ::DestroyWindow(hGone);
    for (int nVersion : {6, 7}) {
        MSNEXPORTREQUEST r = Request(hGone, 7.0);
        EXPECT_EQ(0, Export(nVersion, r)) << nVersion;
    }
    EXPECT_TRUE(g_volumesSet.empty()) << "no run, no muting";
}

void SetBinary(const char* pszName, const BYTE* p, DWORD cb)
{
    HKEY hKey = NULL;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\MSNMessenger", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey,
                      NULL);
    ::RegSetValueExA(hKey, pszName, 0, REG_BINARY, p, cb);
    ::RegCloseKey(hKey);
}

TEST_F(MsnExporter, EmoticonSettingsAdvice)
{
    const DWORD dwOff = 0, dwOn = 1;
    const BYTE twoBytes[2] = {1, 0};
    const struct {
        const char* name;
        int nVersion;
        double dVersion;
        bool bCustomMissing, bCustomShort;
        INT_PTR nAnswer;
        const char* caption;    // "" no advice
    } rows[] = {
        {"messenger 6", 6, 6.2, false, false, IDOK, "MSN Messenger hides emoticons"},
        {"messenger 7", 7, 7.5, false, false, IDCANCEL, "L587 hides emoticons"},
        {"messenger 8", 7, 8.1, false, false, IDOK, "L588 hides emoticons"},
        {"custom value missing", 7, 7.0, true, false, IDOK, ""},
        {"custom value not 4 bytes", 7, 7.0, false, true, IDOK, ""},
    };
    for (const auto& row : rows) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\MSNMessenger");
        SetBinary("ShowEmoticons", reinterpret_cast<const BYTE*>(&dwOff), 4);
        if (row.bCustomShort)
            SetBinary("ShowCustomEmoticons", twoBytes, 2);
        else if (!row.bCustomMissing)
            SetBinary("ShowCustomEmoticons", reinterpret_cast<const BYTE*>(&dwOn), 4);
        std::string strCaption, strText;
        CAnswerer answerer([&](CDialog* pDialog) -> INT_PTR {
            char sz[256] = "";
            ::GetWindowTextA(pDialog->m_hWnd, sz, sizeof(sz));
            strCaption = sz;
            if (C3DImgMessageBox* pBox = dynamic_cast<C3DImgMessageBox*>(pDialog))
                strText = pBox->m_strText;
            return row.nAnswer;
        });
        // A conversation that is gone: without advice the export ends there.
        MSNEXPORTREQUEST r = Request(NULL, row.dVersion);
        EXPECT_EQ(0, Export(row.nVersion, r)) << row.name;
        EXPECT_EQ(row.caption, strCaption) << row.name;
        if (*row.caption != '\0') {
            EXPECT_NE(std::string::npos, strText.find(row.nVersion == 6 ? "\"Show custom emoticons in instant messages\""
                                                                         : "2. \"Show custom emoticons\""))
                << row.name;
            BOOL bOn = FALSE;
            EXPECT_EQ(1, ReadMessengerEmoticonSettings(&bOn)) << row.name;
            EXPECT_EQ(row.nAnswer == IDOK, bOn != FALSE) << row.name << ": OK writes both values";
        }
    }
}

TEST_F(MsnExporter, RemindersResults)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxTestMainWindow";
    ::RegisterClassA(&wc);
    const HWND hMain = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    SetMainWindow(hMain);
    const std::string strFolder = Temp("tvnx-data-");
    ::CreateDirectoryA(strFolder.c_str(), NULL);
    const std::string strClassic = strFolder + "\\Classic MSN Emoticons.tvnx";
    ::CloseHandle(::CreateFileA(strClassic.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    SetAppDataFolder(strFolder.c_str());

    const struct {
        const char* name;
        int nVersion;
        int cx;
        bool bClassicOpen;  // the classic collection is the open one
        int nButton;        // pressed in the reminder; 0: Cancel
        int nReminders, nShell, nOpened;
    } rows[] = {
        {"6: the page with messenger smilies", 6, 32, false, IDC_MSN_GETSMILIES, 1, 1, 0},
        {"6: the classic collection", 6, 32, false, IDC_MSN_OPENCLASSIC, 1, 0, 1},
        {"6: Cancel", 6, 32, false, 0, 1, 0, 0},
        {"6: a picture of 19 x 19 needs no reminder", 6, 19, false, 0, 0, 0, 0},
        {"7: the classic collection", 7, 19, false, IDC_MSN_OPENCLASSIC, 1, 0, 1},
        {"7: the classic collection is open", 7, 19, true, 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        g_Settings.ShowInsertingInMSN6Reminder = g_Settings.ShowInsertingInMSN7Reminder = 1;
        SetCollectionPath(row.bClassicOpen ? strClassic.c_str() : "");
        g_shellCalls.clear();
        g_openCollection.clear();
        int nReminders = 0;
        CAnswerer answerer([&](CDialog* pDialog) -> INT_PTR {
            if (dynamic_cast<CDlgHowToQuickOpenDefCol*>(pDialog) != NULL)
                return IDOK;
            if (dynamic_cast<CDlgWarnInsertingInMSN*>(pDialog) == NULL)
                return IDCANCEL;
            nReminders++;
            if (row.nButton == 0)
                return IDCANCEL;
            ::SendMessageA(pDialog->m_hWnd, WM_COMMAND, MAKEWPARAM(row.nButton, BN_CLICKED), 0);
            return -1;
        });
        // A conversation that is gone: the export stops after the reminder.
        MSNEXPORTREQUEST r = Request(NULL, row.nVersion == 6 ? 6.2 : 7.0, row.cx, row.cx);
        EXPECT_EQ(0, Export(row.nVersion, r)) << row.name;
        EXPECT_EQ(row.nReminders, nReminders) << row.name;
        ASSERT_EQ(size_t(row.nShell), g_shellCalls.size()) << row.name;
        if (row.nShell > 0) {
            EXPECT_EQ("http://www.tarvenex.example/messenger.htm", g_shellCalls[0]) << row.name;
        }
        ASSERT_EQ(size_t(row.nOpened), g_openCollection.size()) << row.name;
        if (row.nOpened > 0) {
            EXPECT_EQ(strClassic, g_openCollection[0].first) << row.name;
            EXPECT_EQ(1, g_openCollection[0].second) << row.name;
        }
    }
    ::DeleteFileA(strClassic.c_str());
    ::RemoveDirectoryA(strFolder.c_str());
    ::DestroyWindow(hMain);
}

// The clock moves on only when the test says so; until then a silent run
// goes on, after 3000 ms it has failed.
bool g_bRunningBeforeJump = false;
void CALLBACK JumpTheClock(HWND, UINT, UINT_PTR nId, DWORD)
{
    ::KillTimer(NULL, nId);
    g_bRunningBeforeJump = ::FindWindowA(NULL, "Disconnecting from MSN Messenger...") != NULL;
    g_nNow += 3001;
}

TEST_F(MsnExporter, SilentRunFailsAfterThreeSeconds)
{
    // No program timer: no tick ends the run, only the time.
    delete g_pVTimer;
    g_pVTimer = NULL;
    const PFN_GETTICKCOUNT pfnTick = g_pfnGetTickCount;
    g_pfnGetTickCount = FakeTickCount;
    g_nNow = 50000;
    MsnStandInProcess standIn(7, "stallonce");
    ASSERT_TRUE(standIn.Ready());
    g_bRunningBeforeJump = false;
    ::SetTimer(NULL, 0, 1500, JumpTheClock);
    MSNEXPORTREQUEST r = Request(standIn.conversation, 7.0);
    const DWORD nStart = ::GetTickCount();
    EXPECT_EQ(0, Export(7, r));
    g_pfnGetTickCount = pfnTick;
    EXPECT_TRUE(g_bRunningBeforeJump) << "the run waited while the clock stood";
    EXPECT_GE(::GetTickCount() - nStart, 1500u);
    EXPECT_TRUE(standIn.Has("list ignores create"));
    EXPECT_FALSE(standIn.Has("create open"));
}

TEST_F(MsnExporter, LibraryOnlyInTheCurrentFolderIsNotLoaded)
{
    const std::string strEmpty = Temp("tvnx-nolib-");
    const std::string strPlanted = Temp("tvnx-planted-");
    ::CreateDirectoryA(strEmpty.c_str(), NULL);
    ::CreateDirectoryA(strPlanted.c_str(), NULL);
    const std::string strCopy = strPlanted + "\\tarvenex_msnm7.dll";
    ASSERT_TRUE(::CopyFileA((m_strLibraries + "\\tarvenex_msnm7.dll").c_str(), strCopy.c_str(), FALSE));
    char szPrevious[MAX_PATH];
    ::GetCurrentDirectoryA(sizeof(szPrevious), szPrevious);
    ::SetCurrentDirectoryA(strPlanted.c_str());
    CMsnMsgrExporterBaseDlg::s_pszLibraryFolder = strEmpty.c_str();

    MsnStandInProcess standIn(7, "ok");
    ASSERT_TRUE(standIn.Ready());
    MSNEXPORTREQUEST r = Request(standIn.conversation, 7.0);
    EXPECT_EQ(0, Export(7, r));
    EXPECT_FALSE(standIn.Has("list open")) << "no run started";
    EXPECT_TRUE(g_volumesSet.empty());

    ::SetCurrentDirectoryA(szPrevious);
    ::DeleteFileA(strCopy.c_str());
    ::RemoveDirectoryA(strPlanted.c_str());
    ::RemoveDirectoryA(strEmpty.c_str());
}

// The field window opens the exporter of the messenger's major version when
// the data source asks (WM_EXPORTTOMESSENGER); the libraries come from the
// build's dist folder through the path seam.
TEST_F(MsnExporter, AFieldRunsTheExporterOfTheRequestsVersion)
{
    ::OleInitialize(NULL);
    HWND hParent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, NULL, NULL, NULL, NULL);
    CSmiliesFieldDropPaste field;
    const RECT rc = {0, 0, 140, 136};
    ASSERT_TRUE(field.Create(CWnd::FromHandle(hParent), NULL, NULL, &rc, SIZE{35, 34}));
    const struct {
        double dVersion;
        const char* shortcut;   // "" when no exporter runs
    } rows[] = {
        {5.0, ""},
        {6.2, "~a"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.dVersion);
        MsnStandInProcess standIn(6, "ok");
        ASSERT_TRUE(standIn.Ready());
        CMsnMsgr6ExporterDlg::s_nShortcut = 0;
        g_MsnExportRequest = Request(standIn.conversation, row.dVersion);
        ::SendMessageA(field.m_hWnd, WM_EXPORTTOMESSENGER, 1, reinterpret_cast<LPARAM>(&g_MsnExportRequest));
        EXPECT_TRUE(standIn.Sync());
        EXPECT_EQ(row.shortcut, standIn.Value("create shortcut="));
    }
    ClearMessengerRequest();
    g_MsnExportRequest.size = 0;
    field.DestroyWindow();
    ::DestroyWindow(hParent);
    ::OleUninitialize();
}

}  // namespace
