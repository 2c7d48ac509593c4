#include "delivery/MsnExporterDlg.h"

#include "delivery/ShiftInsert.h"
#include "dialogs/DlgMessengerReminders.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Registered.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "services/TickCount.h"
#include "skins/Skin.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/SysUtils.h"

#include <commctrl.h>
#include <cstdio>

WAVEOUTFUNCS g_WaveOut = {::waveOutGetNumDevs, ::waveOutGetDevCapsA, ::waveOutGetVolume, ::waveOutSetVolume};

const char* CMsnMsgrExporterBaseDlg::s_pszLibraryFolder = NULL;
int CMsnMsgr6ExporterDlg::s_nShortcut = 0;
int CMsnMsgr7ExporterDlg::s_nShortcut = 0;

IMPLEMENT_DYNAMIC(CMsnMsgrExporterBaseDlg, C3DDialog)
IMPLEMENT_DYNAMIC(CMsnMsgrExporterDlg, CMsnMsgrExporterBaseDlg)
IMPLEMENT_DYNAMIC(CMsnMsgr6ExporterDlg, CMsnMsgrExporterDlg)
IMPLEMENT_DYNAMIC(CMsnMsgr7ExporterDlg, CMsnMsgrExporterDlg)

namespace {

const char kMessengerKey[] = "Software\\Microsoft\\MSNMessenger";
const char* const kEmoticonValues[] = {"ShowEmoticons", "ShowCustomEmoticons"};

// Ticks of the program timer (10 ms each) between two looks at a run, and
// before a success ends the dialog.
const int kPollDivider = 100;
const int kSuccessDivider = 50;
// A run that neither reports nor sees a tick for this long has failed.
const DWORD kSilenceLimit = 3000;
// Keeps messages, and with them the look at the time, coming while a run
// is silent.
const UINT_PTR kHeartbeatId = 1;
const UINT kHeartbeatMs = 250;
const int kProgressShown = 66;

const int kShortcutLetters = 10;

int NextShortcut(int n)
{
    return n > kShortcutLetters - 2 ? 0 : n + 1;
}

CString Fill(int nString, const char* pszName1, const char* pszValue1, const char* pszName2 = NULL,
             const char* pszValue2 = NULL, const char* pszName3 = NULL, const char* pszValue3 = NULL)
{
    const int kMax = 2048;
    CString str;
    FormatTemplate(str.GetBuffer(kMax), kMax, GetLangString(nString), pszName1, "%s", pszValue1, pszName2, "%s",
                   pszValue2, pszName3, "%s", pszValue3, NULL);
    str.ReleaseBuffer();
    return str;
}

}  // namespace

// --- settings and clipboard -------------------------------------------------------------

int PutShortcutOnClipboard(CWnd* pOwner, const char* pszText)
{
    const SIZE_T cb = strlen(pszText) + 1;
    HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, cb);
    if (hMem == NULL)
        return 0;
    void* p = ::GlobalLock(hMem);
    if (p == NULL) {
        ::GlobalFree(hMem);
        return 0;
    }
    memcpy(p, pszText, cb);
    ::GlobalUnlock(hMem);
    if (!::OpenClipboard(pOwner != NULL ? pOwner->m_hWnd : NULL)) {
        ::GlobalFree(hMem);
        return 0;
    }
    ::EmptyClipboard();
    const BOOL bSet = ::SetClipboardData(CF_TEXT, hMem) != NULL;
    ::CloseClipboard();
    if (!bSet)
        ::GlobalFree(hMem);
    return bSet ? 1 : 0;
}

int ReadMessengerEmoticonSettings(BOOL* pbOn)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kMessengerKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    BOOL bOn = TRUE;
    int bRead = 1;
    for (const char* pszValue : kEmoticonValues) {
        DWORD dwType = 0, dwValue = 0, cb = sizeof(dwValue);
        if (::RegQueryValueExA(hKey, pszValue, NULL, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cb) !=
                ERROR_SUCCESS ||
            dwType != REG_BINARY || cb != sizeof(dwValue)) {
            bRead = 0;
            break;
        }
        if (dwValue != 1)
            bOn = FALSE;
    }
    ::RegCloseKey(hKey);
    if (bRead)
        *pbOn = bOn;
    return bRead;
}

int WriteMessengerEmoticonSettings()
{
    HKEY hKey = NULL;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kMessengerKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL) !=
        ERROR_SUCCESS)
        return 0;
    int bAll = 1;
    const DWORD dwOn = 1;
    for (const char* pszValue : kEmoticonValues) {
        if (::RegSetValueExA(hKey, pszValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&dwOn), sizeof(dwOn)) !=
            ERROR_SUCCESS)
            bAll = 0;
    }
    ::RegCloseKey(hKey);
    return bAll;
}

// --- the base: library and sound -----------------------------------------------------------

CMsnMsgrExporterBaseDlg::CMsnMsgrExporterBaseDlg(const char* pszLibraryName, CWnd* pParent)
    : C3DDialog(IDD_MSNEXPORTER, pParent, NULL, FALSE, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL, NULL),
      libraryName(pszLibraryName), mayShow(FALSE), library(NULL), pSendMsnSmilie(NULL), pGetState(NULL),
      pCleanup(NULL), pIsVersionSupported(NULL), pNeedMute(NULL), waveDeviceCount(0), muted(FALSE)
{
    for (int i = 0; i < MAX_WAVE_DEVICES; i++) {
        waveDevices[i] = 0;
        keptVolumes[i] = 0;
    }
}

CMsnMsgrExporterBaseDlg::~CMsnMsgrExporterBaseDlg()
{
    UnloadHookLibrary();
}

BOOL CMsnMsgrExporterBaseDlg::LoadHookLibrary()
{
    CString strFolder;
    if (s_pszLibraryFolder != NULL)
        strFolder = s_pszLibraryFolder;
    else
        GetProgramFolder(strFolder);
    // By full path only: a bare name would also search the current folder
    // and PATH, where a planted library would run in our place.
    const CString strPath = strFolder + "\\" + libraryName;
    library = ::LoadLibraryA(strPath);
    if (library == NULL)
        return FALSE;
    pSendMsnSmilie = reinterpret_cast<PFN_SENDMSNSMILIE>(::GetProcAddress(library, "SendMsnSmilie"));
    pGetState = reinterpret_cast<PFN_GETSTATE>(::GetProcAddress(library, "GetState"));
    pCleanup = reinterpret_cast<PFN_CLEANUP>(::GetProcAddress(library, "Cleanup"));
    pIsVersionSupported = reinterpret_cast<PFN_ISVERSIONSUPPORTED>(::GetProcAddress(library, "IsVersionSupported"));
    pNeedMute = reinterpret_cast<PFN_NEEDMUTE>(::GetProcAddress(library, "NeedMute"));
    if (pSendMsnSmilie == NULL || pGetState == NULL || pCleanup == NULL || pIsVersionSupported == NULL ||
        pNeedMute == NULL) {
        UnloadHookLibrary();
        return FALSE;
    }
    return TRUE;
}

void CMsnMsgrExporterBaseDlg::UnloadHookLibrary()
{
    if (library != NULL)
        ::FreeLibrary(library);
    library = NULL;
    pSendMsnSmilie = NULL;
    pGetState = NULL;
    pCleanup = NULL;
    pIsVersionSupported = NULL;
    pNeedMute = NULL;
}

void CMsnMsgrExporterBaseDlg::CleanupAndUnloadHookLibrary()
{
    if (pCleanup != NULL)
        pCleanup();
    UnloadHookLibrary();
}

void CMsnMsgrExporterBaseDlg::FindWaveOutDevices()
{
    waveDeviceCount = 0;
    const UINT nDevices = g_WaveOut.pfnGetNumDevs();
    for (UINT i = 0; i < nDevices && waveDeviceCount < MAX_WAVE_DEVICES; i++) {
        WAVEOUTCAPSA caps = {};
        if (g_WaveOut.pfnGetDevCaps(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR && (caps.dwSupport & WAVECAPS_VOLUME))
            waveDevices[waveDeviceCount++] = i;
    }
}

void CMsnMsgrExporterBaseDlg::MuteWaveOut()
{
    FindWaveOutDevices();
    for (int i = 0; i < waveDeviceCount; i++) {
        const HWAVEOUT hDevice = reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(waveDevices[i]));
        keptVolumes[i] = 0;
        g_WaveOut.pfnGetVolume(hDevice, &keptVolumes[i]);
        g_WaveOut.pfnSetVolume(hDevice, 0);
    }
    muted = TRUE;
}

void CMsnMsgrExporterBaseDlg::RestoreWaveOut()
{
    if (!muted)
        return;
    muted = FALSE;
    // A volume the user changed meanwhile stays as the user set it.
    for (int i = 0; i < waveDeviceCount; i++) {
        const HWAVEOUT hDevice = reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(waveDevices[i]));
        DWORD dwNow = 1;
        if (g_WaveOut.pfnGetVolume(hDevice, &dwNow) == MMSYSERR_NOERROR && dwNow == 0)
            g_WaveOut.pfnSetVolume(hDevice, keptVolumes[i]);
    }
}

LRESULT CMsnMsgrExporterBaseDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYDLGSTATE:
        if (wParam != 0)
            *reinterpret_cast<int*>(wParam) = 1;
        if (lParam != 0)
            *reinterpret_cast<HWND*>(lParam) = m_hWnd;
        return 1;
    case WM_WINDOWPOSCHANGING:
        if (!mayShow && lParam != 0)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        break;
    }
    return C3DDialog::WindowProc(message, wParam, lParam);
}

// --- the run ------------------------------------------------------------------------------

CMsnMsgrExporterDlg::CMsnMsgrExporterDlg(int nVersion, const char* pszLibraryName, int* pCounter, CWnd* pParent)
    : CMsnMsgrExporterBaseDlg(pszLibraryName, pParent), parent(pParent), request(NULL), timerId(0),
      outcome(OUTCOME_RUNNING), lastState(MSNRUN_IDLE), completed(FALSE), ticked(FALSE), started(FALSE),
      startTick(0), m_nVersion(nVersion), m_pCounter(pCounter)
{
}

int CMsnMsgrExporterDlg::CheckSettings()
{
    BOOL bOn = TRUE;
    if (!ReadMessengerEmoticonSettings(&bOn) || bOn)
        return 1;
    char szVersion[64];
    _snprintf(szVersion, sizeof(szVersion), "%f", GetVersionNumber(request->app.FromMS()));
    szVersion[sizeof(szVersion) - 1] = '\0';
    const CString strName = MessengerName();
    const CString strCaption = Fill(562, "[PROGNAME]", strName);
    const CString strText =
        Fill(563, "[VERSION]", szVersion, "[ADVICE]", SettingsAdvice(), "[PROGNAME]", strName.GetString());
    if (MessageBox3D(parent, strCaption, strText, MB_OKCANCEL | MB_ICONQUESTION, g_Settings.FadeDialogs,
                     g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL) == IDOK)
        WriteMessengerEmoticonSettings();
    return 0;
}

int CMsnMsgrExporterDlg::RunReminder()
{
    const HWND hMain = GetMainWindow();
    if (hMain == NULL)
        return 1;
    C3DDialog* pReminder = MakeReminder(parent);
    if (pReminder == NULL)
        return 1;
    const CString strClassic = GetAppDataFolder() + "\\Classic MSN Emoticons.tvnx";
    int bShow = strClassic.CompareNoCase(g_Settings.SmilieCollection) != 0;
    if (bShow) {
        const HANDLE hFile = ::CreateFileA(strClassic, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                           OPEN_EXISTING, 0, NULL);
        bShow = hFile != INVALID_HANDLE_VALUE;
        if (bShow)
            ::CloseHandle(hFile);
    }
    if (!bShow) {
        delete pReminder;
        return 1;
    }
    const INT_PTR nResult = pReminder->DoModal();
    delete pReminder;
    switch (nResult) {
    case IDOK:
        return 1;
    case IDC_MSN_OPENCLASSIC:
        ::SendMessageA(hMain, WM_OPENCOLLECTION, reinterpret_cast<WPARAM>(strClassic.GetString()), 1);
        return 0;
    case IDC_MSN_GETSMILIES:
        if (m_nVersion == 6)
            OpenWebPage(parent != NULL ? parent->m_hWnd : NULL, GetLangString(570));
        return 0;
    default:
        return 0;
    }
}

int CMsnMsgrExporterDlg::Export(MSNEXPORTREQUEST* pRequest)
{
    request = pRequest;
    if (request == NULL)
        return 0;
    const int nResult = Run();
    // A message, the reminder or the shown dialog took the foreground from
    // the conversation; without this the program's own window stays in front.
    // Its top-level window is activated alone: its thread puts the focus back
    // where the user was typing.
    if (nResult == 0 && ::IsWindow(request->window))
        ::SetForegroundWindow(::GetAncestor(request->window, GA_ROOT));
    return nResult;
}

int CMsnMsgrExporterDlg::Run()
{
    if (!CheckSettings() || !RunReminder())
        return 0;
    if (!::IsWindow(request->window))
        return 0;
    // Only an end by the run itself with success counts: not a dialog that
    // could not be made (-1), nor one refused while a drag runs.
    return DoModal() == 1 ? 1 : 0;
}

BOOL CMsnMsgrExporterDlg::OnInitDialog()
{
    const BOOL bResult = C3DDialog::OnInitDialog();
    if (!LoadHookLibrary()) {
        EndDialog(0);
        return bResult;
    }
    SendDlgItemMessage(IDC_MSNEXPORTER_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    MuteWaveOut();
    WCHAR szPath[MAX_PATH] = L"";
    ::MultiByteToWideChar(CP_ACP, 0, request->picturePath, -1, szPath, MAX_PATH);
    szPath[MAX_PATH - 1] = 0;
    int nError = 0;
    if (!pSendMsnSmilie(request->window, szPath, *m_pCounter, m_hWnd, GetHookCompletionMessage(), &nError)) {
        RestoreWaveOut();
        UnloadHookLibrary();
        EndDialog(0);
        return bResult;
    }
    started = TRUE;
    timerId = StartVTimer(kPollDivider);
    startTick = g_pfnGetTickCount();
    ::SetTimer(m_hWnd, kHeartbeatId, kHeartbeatMs, NULL);
    return bResult;
}

BOOL CMsnMsgrExporterDlg::PreTranslateMessage(MSG* pMsg)
{
    if (started && !completed && !ticked && g_pfnGetTickCount() - startTick > kSilenceLimit) {
        // Reported once: the message itself makes the run complete.
        started = FALSE;
        ::PostMessageA(m_hWnd, GetHookCompletionMessage(), 0, 0);
    }
    return C3DDialog::PreTranslateMessage(pMsg);
}

void CMsnMsgrExporterDlg::StopTimer()
{
    if (timerId != 0)
        StopVTimer(timerId);
    timerId = 0;
}

void CMsnMsgrExporterDlg::Finish(int nResult)
{
    ::KillTimer(m_hWnd, kHeartbeatId);
    EndDialog(nResult);
}

void CMsnMsgrExporterDlg::OnCompletion(WPARAM wParam)
{
    completed = TRUE;
    StopTimer();
    if (library == NULL) {
        Finish(0);
        return;
    }
    if (wParam != 0) {
        outcome = OUTCOME_SUCCESS;
        if (m_nVersion == 6) {
            timerId = StartVTimer(kSuccessDivider);
            if (timerId != 0) {
                char szShortcut[3] = {'~', char('a' + *m_pCounter), '\0'};
                PutShortcutOnClipboard(this, szShortcut);
                SendShiftInsert();
            }
            *m_pCounter = NextShortcut(*m_pCounter);
        } else {
            *m_pCounter = NextShortcut(*m_pCounter);
            timerId = StartVTimer(kSuccessDivider);
        }
        if (timerId == 0) {
            RestoreWaveOut();
            CleanupAndUnloadHookLibrary();
            Finish(1);
        }
        return;
    }
    outcome = OUTCOME_FAILURE;
    timerId = StartVTimer(kPollDivider);
    if (timerId != 0) {
        SendDlgItemMessage(IDC_MSNEXPORTER_PROGRESS, PBM_SETPOS, kProgressShown, 0);
        mayShow = TRUE;
        ShowWindow(SW_SHOW);
        return;
    }
    ::Sleep(1000);
    CleanupAndUnloadHookLibrary();
    Finish(0);
}

void CMsnMsgrExporterDlg::OnVTimer(int nId, int nAmount)
{
    if (nId == 0 || nId != timerId) {
        C3DDialog::OnVTimer(nId, nAmount);
        return;
    }
    ticked = TRUE;
    StopTimer();
    if (library == NULL) {
        Finish(0);
        return;
    }
    if (outcome == OUTCOME_SUCCESS) {
        RestoreWaveOut();
        UnloadHookLibrary();
        Finish(1);
        if (::IsWindow(request->window))
            ::SetForegroundWindow(request->window);
        return;
    }
    if (outcome == OUTCOME_FAILURE) {
        CleanupAndUnloadHookLibrary();
        Finish(0);
        return;
    }
    if (!IsWindowVisible()) {
        SendDlgItemMessage(IDC_MSNEXPORTER_PROGRESS, PBM_SETPOS, kProgressShown, 0);
        mayShow = TRUE;
        ShowWindow(SW_SHOW);
    }
    const int nState = pGetState();
    if (nState != lastState) {
        lastState = nState;
        timerId = StartVTimer(kPollDivider);
        if (timerId != 0)
            return;
    }
    // The run stands still (or cannot be followed any longer).
    CleanupAndUnloadHookLibrary();
    Finish(0);
}

LRESULT CMsnMsgrExporterDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != 0 && message == GetHookCompletionMessage()) {
        OnCompletion(wParam);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == kHeartbeatId)
            return 0;
        break;
    case WM_DESTROY:
        ::KillTimer(m_hWnd, kHeartbeatId);
        RestoreWaveOut();
        StopTimer();
        CleanupAndUnloadHookLibrary();
        break;
    }
    return CMsnMsgrExporterBaseDlg::WindowProc(message, wParam, lParam);
}

// --- the two messengers ------------------------------------------------------------------

CMsnMsgr6ExporterDlg::CMsnMsgr6ExporterDlg(CWnd* pParent)
    : CMsnMsgrExporterDlg(6, "tarvenex_msnm6.dll", &s_nShortcut, pParent)
{
}

CString CMsnMsgr6ExporterDlg::MessengerName() const
{
    return "MSN Messenger";
}

const char* CMsnMsgr6ExporterDlg::SettingsAdvice() const
{
    return "\"Tools\" -> \"Options...\" -> \"Messages\" :\r\n\r\n       1. \"Show emoticons in instant "
           "messages\"\r\n\r\n       2. \"Show custom emoticons in instant messages\"";
}

C3DDialog* CMsnMsgr6ExporterDlg::MakeReminder(CWnd* pParent)
{
    const int cx = request->pictureWidth, cy = request->pictureHeight;
    const BOOL bFits = (cx == 0 || cx == 19) && (cy == 0 || cy == 19);
    if (bFits || !g_Settings.ShowInsertingInMSN6Reminder)
        return NULL;
    return new CDlgWarnInsertingInMSN6(pParent);
}

CMsnMsgr7ExporterDlg::CMsnMsgr7ExporterDlg(CWnd* pParent)
    : CMsnMsgrExporterDlg(7, "tarvenex_msnm7.dll", &s_nShortcut, pParent)
{
}

CString CMsnMsgr7ExporterDlg::MessengerName() const
{
    return GetLangString(GetVersionNumber(request->app.FromMS()) >= 8 ? 588 : 587);
}

const char* CMsnMsgr7ExporterDlg::SettingsAdvice() const
{
    return "\"Tools\" -> \"Options...\" -> \"Messages\" :\r\n\r\n       1. \"Show emoticons\"\r\n\r\n       2. "
           "\"Show custom emoticons\"";
}

C3DDialog* CMsnMsgr7ExporterDlg::MakeReminder(CWnd* pParent)
{
    return g_Settings.ShowInsertingInMSN7Reminder ? new CDlgWarnInsertingInMSN7(pParent) : NULL;
}
