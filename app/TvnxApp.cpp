#include "app/TvnxApp.h"

#include "app/ShowOptions.h"
#include "app/TvnxDlg.h"
#include "app/TvnxTrayWnd.h"
#include "collection/CheckUrl.h"
#include "collection/TvnxSave.h"
#include "delivery/ForeignWindows.h"
#include "delivery/MessengerRequest.h"
#include "delivery/SmiliePayloads.h"
#include "framework/Dialog.h"
#include "framework/Framework.h"
#include "services/Busy.h"
#include "services/DlgParserOutput.h"
#include "services/Languages.h"
#include "services/ProgramWindows.h"
#include "services/Registered.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "skins/SkinLoader.h"
#include "skins/SkinScan.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/VTimer.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

CString g_CommandLine;

namespace {

const char kMutexName[] = "TvnxMutex_UniqueInstance";
const char kTrayClass[] = "Tarvenex Tray Window";
const char kDefaultDataFolder[] = "%APPDATA%\\Mordale\\Tarvenex";

BOOL IsFolder(const char* pszPath)
{
    const DWORD dw = ::GetFileAttributesA(pszPath);
    return dw != INVALID_FILE_ATTRIBUTES && (dw & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates every missing folder of the path, the outermost first.
void CreateFolders(const char* pszPath)
{
    char sz[MAX_PATH];
    lstrcpynA(sz, pszPath, MAX_PATH);
    for (char* p = sz; *p != '\0'; ++p) {
        if ((*p == '\\' || *p == '/') && p > sz && p[-1] != ':' && p[-1] != '\\' && p[-1] != '/') {
            const char c = *p;
            *p = '\0';
            ::CreateDirectoryA(sz, NULL);
            *p = c;
        }
    }
    ::CreateDirectoryA(sz, NULL);
}

HWND MainWndHook()
{
    return GetMainWindow();
}

// --- the main window behind the tray window's seam -------------------------------------

CWnd* CreateMainDlg(CTvnxTrayWnd* pTray)
{
    CTvnxDlg* pDlg = new CTvnxDlg;
    CWnd* pOwner = g_Settings.ShowButtonOnTaskbar ? NULL : pTray;
    if (!pDlg->Create(g_Settings.MainWndHeight, pOwner, NULL, g_Settings.MainWndPosition)) {
        delete pDlg;
        g_pMainDlg = NULL;
        return NULL;
    }
    g_pMainDlg = pDlg;
    return pDlg;
}

void DestroyMainDlg(CWnd* pWnd)
{
    CTvnxDlg* pDlg = static_cast<CTvnxDlg*>(pWnd);
    if (pDlg->m_hWnd != NULL)
        pDlg->DestroyWindow();
    if (g_pMainDlg == pDlg)
        g_pMainDlg = NULL;
    delete pDlg;
}

void OpenInMainDlg(CWnd* pWnd, LPCTSTR pszPath)
{
    static_cast<CTvnxDlg*>(pWnd)->OpenCollection(pszPath, 0);
}

void ImportInMainDlg(CWnd* pWnd, LPCTSTR pszPath)
{
    static_cast<CTvnxDlg*>(pWnd)->ImportCollectionUpdate(pszPath);
}

int MainDlgTransparency(CWnd* pWnd)
{
    return static_cast<CTvnxDlg*>(pWnd)->GetTransparencyPercent();
}

// The slider to its opaque end, as if its thumb were dragged there.
void MakeMainDlgOpaque(CWnd* pWnd)
{
    CTvnxDlg* pDlg = static_cast<CTvnxDlg*>(pWnd);
    if (pDlg->m_Slider.m_hWnd == NULL)
        return;
    pDlg->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, CTvnxDlg::SLIDER_OPAQUE),
                      reinterpret_cast<LPARAM>(pDlg->m_Slider.m_hWnd));
}

} // namespace

// --- helpers -----------------------------------------------------------------------------

int IsWindowsVersionSupported()
{
    OSVERSIONINFOA vi;
    ZeroMemory(&vi, sizeof(vi));
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!::GetVersionExA(&vi))
        return 0;
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return vi.dwMajorVersion > 3 ? 1 : 0;
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return (vi.dwBuildNumber & 0xFFFF) > 950 ? 1 : 0;
    return 0;
}

int CreateDataFolder(char* pszPath)
{
    int n = lstrlenA(pszPath);
    while (n > 0 && (pszPath[n - 1] == '\\' || pszPath[n - 1] == '/'))
        pszPath[--n] = '\0';
    if (n == 0 || !IsFolder(pszPath)) {
        char sz[MAX_PATH];
        lstrcpynA(sz, kDefaultDataFolder, MAX_PATH);
        if (ExpandFolderMacros(sz)) {
            CreateFolders(sz);
            lstrcpynA(pszPath, sz, MAX_PATH);
        } else {
            CString strFolder;
            GetProgramFolder(strFolder);
            lstrcpynA(pszPath, strFolder, MAX_PATH);
        }
    }
    if (!IsFolder(pszPath))
        return 1;
    char szProbe[MAX_PATH + 16];
    lstrcpynA(szProbe, pszPath, MAX_PATH);
    lstrcatA(szProbe, "\\~tmp.tmp");
    FILE* pFile = fopen(szProbe, "w+");
    if (pFile == NULL)
        return 2;
    fclose(pFile);
    remove(szProbe);
    return 0;
}

CString GetSkinName()
{
    return g_Settings.Skin;
}

CString GetCollectionPath()
{
    return g_Settings.SmilieCollection;
}

void InstallMainWndHooks()
{
    TRAYMAINWNDHOOKS hooks;
    hooks.pfnCreate = CreateMainDlg;
    hooks.pfnDestroy = DestroyMainDlg;
    hooks.pfnOpenCollection = OpenInMainDlg;
    hooks.pfnImportUpdate = ImportInMainDlg;
    hooks.pfnGetTransparency = MainDlgTransparency;
    hooks.pfnMakeOpaque = MakeMainDlgOpaque;
    CTvnxTrayWnd::s_MainWndHooks = hooks;
}

void InstallBusyHooks()
{
    BUSYHOOKS hooks = {MainWndHook, NULL, NULL};
    SetBusyHooks(&hooks);
}

CString AbsolutePath(const CString& strPath)
{
    if (strPath.IsEmpty())
        return strPath;
    char sz[MAX_PATH];
    const DWORD n = ::GetFullPathNameA(strPath, MAX_PATH, sz, NULL);
    return n > 0 && n < MAX_PATH ? CString(sz) : strPath;
}

void SetCommandLine(LPCSTR pszCommandLine)
{
    g_CommandLine = pszCommandLine != NULL ? pszCommandLine : "";
    g_CommandLine.Remove('"');
    g_CommandLine.TrimRight();
    g_CommandLine.TrimLeft();
    g_CommandLine = AbsolutePath(g_CommandLine);
}

BOOL HandOverToFirstInstance(const CString& strPath, DWORD nWaitMs)
{
    HWND hTray = ::FindWindowA(kTrayClass, NULL);
    // The first start makes its tray window only after its languages, settings
    // and skin: a file handed over before then would be lost.
    for (const DWORD nStart = ::GetTickCount(); hTray == NULL && ::GetTickCount() - nStart < nWaitMs;) {
        HANDLE hMutex = ::OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
        if (hMutex == NULL)
            break;  // the first has ended (or never was)
        ::CloseHandle(hMutex);
        ::Sleep(100);
        hTray = ::FindWindowA(kTrayClass, NULL);
    }
    if (hTray == NULL)
        return FALSE;
    if (strPath.IsEmpty()) {
        ::SendMessageA(hTray, GetActivateMainWndMessage(), 0, 0);
        return TRUE;
    }
    CString strCopy = strPath;
    COPYDATASTRUCT cds;
    cds.dwData = 1;
    cds.cbData = static_cast<DWORD>(strCopy.GetLength() + 1);
    cds.lpData = strCopy.GetBuffer(strCopy.GetLength());
    ::SendMessageA(hTray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    strCopy.ReleaseBuffer();
    return TRUE;
}

// --- the application object ----------------------------------------------------------------

CTvnxApp::CTvnxApp() : CWinApp("Tarvenex"), m_hMutex(NULL), m_pTrayWnd(NULL)
{
}

BOOL CTvnxApp::LoadTheLanguages()
{
    CString strFolder;
    GetProgramFolder(strFolder);
    strFolder += "\\Languages\\";
    CString strReport;
    const int bLoaded = LoadLanguages(strFolder, &strReport);
    if (!bLoaded)
        strReport += "\r\nCannot proceed without valid language files. Sorry.\r\n"
                     "Tarvenex will exit now. Try to reinstall the program.";
    if (!strReport.IsEmpty()) {
        CDlgLangParserOutput dlg(strReport, bLoaded ? "Continue" : "Exit");
        dlg.DoModal();
    }
    return bLoaded != 0;
}

BOOL CTvnxApp::LoadTheSkin()
{
    CString strFolder;
    GetProgramFolder(strFolder);
    CSequence<CFOUNDSKIN> skins;
    ScanSkins(skins);
    int nConfigured = -1;
    for (int i = skins.GetSize() - 1; i >= 0; --i) {
        if (skins[i].name.CompareNoCase(g_Settings.Skin) == 0) {
            nConfigured = i;
            break;
        }
    }
    if (nConfigured >= 0 && LoadSkin(strFolder + "\\" + skins[nConfigured].path) != SKINPARSE_NOT_SHOWN)
        return TRUE;
    for (int i = skins.GetSize() - 1; i >= 0; --i) {
        if (i != nConfigured && LoadSkin(strFolder + "\\" + skins[i].path) != SKINPARSE_NOT_SHOWN)
            return TRUE;
    }
    CDlgSkinParserOutput dlg("- No valid skin files were found.\r\n\r\n"
                             "Cannot proceed without valid skin files. Sorry.\r\n"
                             "Tarvenex will exit now. Try to reinstall the program.",
                             "Exit");
    dlg.DoModal();
    return FALSE;
}

BOOL CTvnxApp::PrepareDataFolder()
{
    char szFolder[MAX_PATH];
    lstrcpynA(szFolder, g_Settings.AppDataFolder, MAX_PATH);
    const int nResult = CreateDataFolder(szFolder);
    if (nResult != 0) {
        CString strText;
        strText.Format(nResult == 1 ? "Error creating Tarvenex folder\r\n\"%s\"" : "Tarvenex folder\r\n\"%s\"\r\nis inaccessible",
                       szFolder);
        ::MessageBoxA(NULL, strText, "", MB_OK | MB_ICONERROR);
        return FALSE;
    }
    SetAppDataFolder(szFolder);
    return TRUE;
}

BOOL CTvnxApp::InitInstance()
{
    INITCOMMONCONTROLSEX icc = {8, 0xFF};
    ::InitCommonControlsEx(&icc);
    CWinApp::InitInstance();
    SetCommandLine(m_lpCmdLine);

    m_hMutex = ::CreateMutexA(NULL, TRUE, kMutexName);
    if (m_hMutex == NULL || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (m_hMutex != NULL)
            ::CloseHandle(m_hMutex);
        m_hMutex = NULL;
        HandOverToFirstInstance(g_CommandLine, kHandOverWaitMs);
        return FALSE;
    }
    if (!IsWindowsVersionSupported()) {
        AfxMessageBox("At least Windows 95 OSR2 or Windows NT 4.0 is required to run Tarvenex");
        return FALSE;
    }
    if (!AfxOleInit()) {
        AfxMessageBox("OLE initialization failed! Update your OLE libraries.");
        return FALSE;
    }
    AfxEnableControlContainer();
    ProbeShellDllVersions();
    RegisterControlMessages();
    CreateExportedFuncs();
    if (!LoadTheLanguages())
        return FALSE;
    LoadSettings();
    if (!LoadTheSkin())
        return FALSE;
    if (!PrepareDataFolder())
        return FALSE;
    if (g_Settings.SmilieCollection == "<default>")
        SetCollectionPath(GetAppDataFolder() + "\\demo.tvnx");
    SelectLanguage(g_Settings.Language);
    if (GetTempFolder(0, NULL) == 0) {
        AfxMessageBox(GetLangString(261));
        return FALSE;
    }
    CTvnxSave::SetTempFolderProc(GetTempFolder);
    ReadTheBatVersion();
    g_pVTimer = new CVTimer;
    RegisterFileTypes();
    g_bNoToolTips = !g_Settings.ShowTips;
    g_bShow3DMenus = g_Settings.Show3DMenus;
    InstallBusyHooks();
    InstallMainWndHooks();

    m_pTrayWnd = new CTvnxTrayWnd;
    m_pMainWnd = m_pTrayWnd;
    m_pActiveWnd = m_pTrayWnd;
    if (!m_pTrayWnd->Create()) {
        // A window whose creation failed is gone already: nothing ends the
        // loop for it, so start-up ends here.
        m_pMainWnd = NULL;
        m_pActiveWnd = NULL;
        return FALSE;
    }
    return TRUE;
}

BOOL CTvnxApp::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE && g_pMainDlg != NULL && g_pMainDlg->m_hWnd != NULL)
        g_pMainDlg->SendMessage(WM_APPMOUSEMOVE, reinterpret_cast<WPARAM>(pMsg->hwnd), pMsg->lParam);
    return CWinApp::PreTranslateMessage(pMsg);
}

// Only the main loop goes idle: no handler of ours is on the stack then, so a
// handed-over file can be opened without pulling a window from under one.
BOOL CTvnxApp::OnIdle(LONG lCount)
{
    BOOL bMore = CWinApp::OnIdle(lCount);
    if (lCount == 0 && m_pTrayWnd != NULL && m_pTrayWnd->m_hWnd != NULL)
        m_pTrayWnd->OpenPendingHandOver();
    return bMore;
}

// Also after a start that ended early (no language, no skin, no folder):
// every step copes with what was never made.
int CTvnxApp::ExitInstance()
{
    if (m_hMutex != NULL) {
        CTvnxTrayWnd* pTray = m_pTrayWnd;
        m_pTrayWnd = NULL;
        if (m_pMainWnd == pTray)
            m_pMainWnd = NULL;
        if (m_pActiveWnd == pTray)
            m_pActiveWnd = NULL;
        if (pTray != NULL && pTray->m_hWnd != NULL)
            pTray->DestroyWindow();
        delete pTray;
        CVTimer* pTimer = g_pVTimer;
        g_pVTimer = NULL;
        delete pTimer;
        CCheckUrl::CancelProbes();
        CCheckUrlGarbageCollector::WaitUntilEmpty();
        // Only a run that found its temp folder made pictures there; looking
        // for one now would create it.
        if (g_TempFolder[0] != '\0')
            DeleteTempFiles();
        CSkin* pSkin = g_pSkin;
        g_pSkin = NULL;
        delete pSkin;
        DeleteExportedFuncs();
        g_Settings.Language.Empty();
        g_Settings.Skin.Empty();
        g_Settings.AppDataFolder.Empty();
        g_Settings.SmilieCollection.Empty();
        g_Settings.FieldName.Empty();
        FreeLanguages();
        ClearMessengerRequest();
        SetBusyHooks(NULL);
        ::CloseHandle(m_hMutex);
        m_hMutex = NULL;
    }
    return CWinApp::ExitInstance();
}
