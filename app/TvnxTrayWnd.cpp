#include "app/TvnxTrayWnd.h"

#include "app/DlgWizard.h"
#include "app/ShowOptions.h"
#include "app/TvnxApp.h"
#include "app/TrayAnimationThread.h"
#include "collection/TvnxSave.h"
#include "delivery/ForeignWindows.h"
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgTip.h"
#include "dialogs/DlgWarnHidingToTray.h"
#include "dialogs/Notices.h"
#include "fields/ForeignFocus.h"
#include "framework/Dialog.h"
#include "framework/Module.h"
#include "framework/Thread.h"
#include "resources/resource.h"
#include "services/Busy.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Registered.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "skins/SkinScan.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"

#include <string.h>

BOOL(WINAPI* CTvnxTrayWnd::s_pfnShellNotifyIcon)(DWORD, PNOTIFYICONDATAA) = Shell_NotifyIconA;
TRAYMAINWNDHOOKS CTvnxTrayWnd::s_MainWndHooks;
BOOL CTvnxTrayWnd::s_bStartupBalloonShown = FALSE;

const COLORREF CTvnxTrayWnd::s_TrayColors[TRAY_COLOR_COUNT] = {
    0xFF0000, 0x800000, 0x00FF00, 0x008000, 0x0000FF, 0x000080,
    0xFFFF00, 0x808000, 0xFF00FF, 0x800080, 0xC0C0C0, 0x808080,
};

namespace {

const char kClassName[] = "Tarvenex Tray Window";
const char kTitle[] = "Tarvenex";
const char kWebSite[] = "http://www.tarvenex.example/";
const UINT kIconId = 1;
const COLORREF kBlueIconColor = 0xFF0000;
const UINT kMaxHandOverUnits = 260;

enum
{
    ID_TRAY_EXIT = 1,
    ID_TRAY_OPEN = 2,
    ID_TRAY_HIDE = 3,
    ID_TRAY_OPAQUE = 5,
    ID_TRAY_OPTIONS = 6,
    ID_TRAY_HOWTO = 7,
    ID_TRAY_HELP = 8,
    ID_TRAY_ABOUT = 9,
    ID_TRAY_WEB = 10,
};

// The size of the notification record the shell understands: the 5.0 one
// (balloons) from Shell32 5.0 on, else the first one.
DWORD NotifyDataSize()
{
    return g_ShellDllVersions.fShell32 >= 5.0f ? sizeof(NOTIFYICONDATAA) : NOTIFYICONDATAA_V1_SIZE;
}

BOOL HasBalloons()
{
    return g_ShellDllVersions.fShell32 >= 5.0f;
}

void CopyText(char* pszDest, size_t nSize, LPCTSTR pszText)
{
    lstrcpynA(pszDest, pszText != NULL ? pszText : "", static_cast<int>(nSize));
}

HICON LoadSmallIcon(UINT nId)
{
    return static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nId), IMAGE_ICON, 16, 16, 0));
}

BOOL HasLayeredWindows()
{
    return g_pExportedFuncs != NULL && g_pExportedFuncs->pSetLayeredWindowAttributes != NULL;
}

BOOL EndsWithUpdateExtension(const CString& str)
{
    return str.GetLength() >= 5 && str.Right(5).CompareNoCase(".tvnu") == 0;
}

// The icon's picture as its resource holds it (16 x 16, 4 bits), with every
// pure-blue palette entry replaced by the colour.
HICON RecolouredIcon(UINT nGroupId, COLORREF clr)
{
    HMODULE hModule = AfxGetResourceHandle();
    HRSRC hGroup = ::FindResourceA(hModule, MAKEINTRESOURCEA(nGroupId), RT_GROUP_ICON);
    HGLOBAL hGroupData = hGroup != NULL ? ::LoadResource(hModule, hGroup) : NULL;
    BYTE* pGroup = hGroupData != NULL ? static_cast<BYTE*>(::LockResource(hGroupData)) : NULL;
    if (pGroup == NULL)
        return NULL;
    const int nId = ::LookupIconIdFromDirectoryEx(pGroup, TRUE, 16, 16, LR_DEFAULTCOLOR);
    HRSRC hIcon = nId != 0 ? ::FindResourceA(hModule, MAKEINTRESOURCEA(nId), RT_ICON) : NULL;
    HGLOBAL hIconData = hIcon != NULL ? ::LoadResource(hModule, hIcon) : NULL;
    const BYTE* pIcon = hIconData != NULL ? static_cast<const BYTE*>(::LockResource(hIconData)) : NULL;
    const DWORD cb = hIcon != NULL ? ::SizeofResource(hModule, hIcon) : 0;
    if (pIcon == NULL || cb < sizeof(BITMAPINFOHEADER))
        return NULL;
    CString strCopy;
    BYTE* pCopy = reinterpret_cast<BYTE*>(strCopy.GetBuffer(static_cast<int>(cb)));
    memcpy(pCopy, pIcon, cb);
    BITMAPINFOHEADER bih;
    memcpy(&bih, pCopy, sizeof(bih));
    if (bih.biSize >= sizeof(bih) && bih.biBitCount <= 8) {
        const DWORD nColors = bih.biClrUsed != 0 ? bih.biClrUsed : (1u << bih.biBitCount);
        if (bih.biSize + nColors * 4 <= cb) {
            RGBQUAD* pPalette = reinterpret_cast<RGBQUAD*>(pCopy + bih.biSize);
            for (DWORD i = 0; i < nColors; i++) {
                if (pPalette[i].rgbBlue == 255 && pPalette[i].rgbGreen == 0 && pPalette[i].rgbRed == 0) {
                    pPalette[i].rgbRed = GetRValue(clr);
                    pPalette[i].rgbGreen = GetGValue(clr);
                    pPalette[i].rgbBlue = GetBValue(clr);
                }
            }
        }
    }
    HICON hResult = ::CreateIconFromResourceEx(pCopy, cb, TRUE, 0x00030000, 16, 16, LR_DEFAULTCOLOR);
    strCopy.ReleaseBuffer(0);
    return hResult;
}

}  // namespace

HICON MakeTrayIcon(BOOL bOpen, COLORREF clr)
{
    const UINT nId = bOpen ? IDI_TRAY_OPEN : IDI_TRAY_CLOSED;
    if (clr == kBlueIconColor)
        return LoadSmallIcon(nId);
    return RecolouredIcon(nId, clr);
}

BOOL ReadHandOver(const COPYDATASTRUCT* pcds, CString* pstrText)
{
    pstrText->Empty();
    if (pcds == NULL || pcds->dwData != 1 || pcds->lpData == NULL || pcds->cbData < 7)
        return FALSE;
    const BYTE* p = static_cast<const BYTE*>(pcds->lpData);
    const DWORD cb = pcds->cbData;
    const BOOL bWide = p[0] == 0xFF && p[1] == 0xFE;
    if (cb > kMaxHandOverUnits * (bWide ? 2 : 1))
        return FALSE;
    CString str;
    if (bWide) {
        // Units after the mark, up to the first zero; an odd last byte is no unit.
        const DWORD nUnits = cb / 2;
        WCHAR wsz[kMaxHandOverUnits + 1];
        DWORD n = 0;
        for (DWORD i = 1; i < nUnits; i++) {
            WCHAR w;
            memcpy(&w, p + 2 * i, 2);
            if (w == 0)
                break;
            wsz[n++] = w;
        }
        wsz[n] = 0;
        if (n > 0) {
            char sz[kMaxHandOverUnits * 2 + 1];
            const int nLen = ::WideCharToMultiByte(CP_ACP, 0, wsz, static_cast<int>(n), sz, sizeof(sz) - 1, NULL, NULL);
            sz[nLen > 0 ? nLen : 0] = '\0';
            str = sz;
        }
    } else {
        char sz[kMaxHandOverUnits + 1];
        DWORD n = 0;
        while (n < cb && p[n] != 0) {
            sz[n] = static_cast<char>(p[n]);
            n++;
        }
        sz[n] = '\0';
        str = sz;
    }
    str.Trim();
    *pstrText = str;
    return TRUE;
}

// --- the window ------------------------------------------------------------------------

CTvnxTrayWnd::CTvnxTrayWnd()
    : m_pMainWnd(NULL), m_nIconPresent(0), m_bCreated(0), m_pAnimation(NULL), m_bHidingByUser(0),
      m_bOpeningHandOver(FALSE)
{
    m_FocusHook.hModule = NULL;
    m_FocusHook.pfnSetHook = NULL;
    m_FocusHook.pfnRemoveHook = NULL;
}

CTvnxTrayWnd::~CTvnxTrayWnd()
{
    // The program ends: the strings are freed, not set to their defaults.
    g_Settings.Language.Empty();
    g_Settings.Skin.Empty();
    g_Settings.AppDataFolder.Empty();
    g_Settings.SmilieCollection.Empty();
    g_Settings.FieldName.Empty();
    if (m_FocusHook.hModule != NULL)
        UnloadFocusHook(&m_FocusHook);
}

BOOL CTvnxTrayWnd::Create()
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    HINSTANCE hInstance = ::GetModuleHandleA(NULL);
    if (!::GetClassInfoA(hInstance, kClassName, &wc)) {
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInstance;
        wc.lpszClassName = kClassName;
        if (!::RegisterClassA(&wc))
            return FALSE;
    }
    return CreateEx(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, -1, -1, 0, 0, NULL, NULL);
}

// --- the main window ------------------------------------------------------------------

void CTvnxTrayWnd::ShowMainWnd()
{
    if (m_pMainWnd != NULL || s_MainWndHooks.pfnCreate == NULL)
        return;
    m_pMainWnd = s_MainWndHooks.pfnCreate(this);
    if (m_pMainWnd == NULL)
        return;
    SetMainWindow(m_pMainWnd->m_hWnd);
    ModifyTrayIcon(TRUE);
}

void CTvnxTrayWnd::CloseMainWnd()
{
    if (m_pMainWnd != NULL) {
        DestroyModelessDialogs();
        CWnd* pMain = m_pMainWnd;
        m_pMainWnd = NULL;
        if (s_MainWndHooks.pfnDestroy != NULL)
            s_MainWndHooks.pfnDestroy(pMain);
        SetMainWindow(NULL);
        ModifyTrayIcon(FALSE);
    }
    m_bHidingByUser = 0;
}

void CTvnxTrayWnd::WarnHidingToTray()
{
    m_bHidingByUser = 1;
    if (m_pMainWnd != NULL && g_Settings.WarnMinimizingToTray && g_nActiveDrags <= 0) {
        CDlgWarnHidingToTray dlg(m_pMainWnd);
        dlg.DoModal();
    }
}

int CTvnxTrayWnd::GetMainWndTransparency() const
{
    if (m_pMainWnd == NULL || !HasLayeredWindows() || s_MainWndHooks.pfnGetTransparency == NULL)
        return 0;
    return s_MainWndHooks.pfnGetTransparency(m_pMainWnd);
}

// --- the icon ---------------------------------------------------------------------------

int CTvnxTrayWnd::AddTrayIcon(BOOL bOpen)
{
    if (m_nIconPresent)
        return 1;
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof(nid));
    nid.cbSize = NotifyDataSize();
    nid.hWnd = m_hWnd;
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYNOTIFY;
    nid.hIcon = MakeTrayIcon(bOpen, g_Settings.TrayIconColor);
    CopyText(nid.szTip, sizeof(nid.szTip), kTitle);
    if (!s_bStartupBalloonShown && HasBalloons() && g_Settings.TrayTipAtStartup) {
        nid.uFlags |= NIF_INFO;
        CopyText(nid.szInfo, sizeof(nid.szInfo), GetLangString(197));
        CopyText(nid.szInfoTitle, sizeof(nid.szInfoTitle), kTitle);
        nid.dwInfoFlags = NIIF_INFO;
    }
    const BOOL bResult = s_pfnShellNotifyIcon(NIM_ADD, &nid);
    if (nid.hIcon != NULL)
        ::DestroyIcon(nid.hIcon);
    if (bResult) {
        m_nIconPresent = kIconId;
        // Only the first icon of the run shows it, not one added again later.
        s_bStartupBalloonShown = TRUE;
    }
    return bResult;
}

int CTvnxTrayWnd::ModifyTrayIcon(BOOL bOpen)
{
    if (!m_nIconPresent)
        return 0;
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof(nid));
    nid.cbSize = NotifyDataSize();
    nid.hWnd = m_hWnd;
    nid.uID = kIconId;
    nid.uFlags = NIF_ICON;
    nid.hIcon = MakeTrayIcon(bOpen, g_Settings.TrayIconColor);
    const BOOL bResult = s_pfnShellNotifyIcon(NIM_MODIFY, &nid);
    if (nid.hIcon != NULL)
        ::DestroyIcon(nid.hIcon);
    return bResult;
}

void CTvnxTrayWnd::DeleteTrayIcon()
{
    if (!m_nIconPresent)
        return;
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof(nid));
    nid.cbSize = NotifyDataSize();
    nid.hWnd = m_hWnd;
    nid.uID = kIconId;
    s_pfnShellNotifyIcon(NIM_DELETE, &nid);
    m_nIconPresent = 0;
}

void CTvnxTrayWnd::ShowTrayBalloon(LPCTSTR pszText, LPCTSTR pszTitle)
{
    if (!HasBalloons() || !m_nIconPresent)
        return;
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof(nid));
    nid.cbSize = NotifyDataSize();
    nid.hWnd = m_hWnd;
    nid.uID = kIconId;
    nid.uFlags = NIF_INFO;
    CopyText(nid.szInfo, sizeof(nid.szInfo), pszText);
    if (pszTitle != NULL && *pszTitle != '\0')
        CopyText(nid.szInfoTitle, sizeof(nid.szInfoTitle), pszTitle);
    nid.dwInfoFlags = NIIF_INFO;
    nid.uTimeout = 0;
    s_pfnShellNotifyIcon(NIM_MODIFY, &nid);
}

// --- creation and destruction -------------------------------------------------------------

int CTvnxTrayWnd::OnCreate()
{
    m_bCreated = 0;
    m_bHidingByUser = 0;
    ApplySkinColoring();
    g_bNoToolTips = !g_Settings.ShowTips;
    if (!AddTrayIcon(FALSE)) {
        AfxMessageBox(GetLangString(435), MB_OK | MB_ICONSTOP);
        return -1;
    }
    if (m_FocusHook.hModule != NULL || !LoadFocusHook(m_hWnd, &m_FocusHook)) {
        DeleteTrayIcon();
        return -1;
    }
    SetTrayWindow(m_hWnd);
    g_bShow3DMenus = g_Settings.Show3DMenus;
    if (g_Settings.ShowFirstTimeSetup && g_nActiveDrags <= 0)
        RunFirstTimeWizard(this);
    if (!g_CommandLine.IsEmpty()) {
        const CString strPath = g_CommandLine;
        if (EndsWithUpdateExtension(strPath)) {
            if (m_pMainWnd == NULL)
                ShowMainWnd();
            if (m_pMainWnd != NULL && s_MainWndHooks.pfnImportUpdate != NULL)
                s_MainWndHooks.pfnImportUpdate(m_pMainWnd, strPath);
        } else if (m_pMainWnd != NULL) {
            if (s_MainWndHooks.pfnOpenCollection != NULL)
                s_MainWndHooks.pfnOpenCollection(m_pMainWnd, strPath);
        } else {
            SetCollectionPath(strPath);
            ShowMainWnd();
        }
        g_CommandLine.Empty();
    } else if (m_pMainWnd == NULL && g_Settings.MainWndOpenAtStartup) {
        ShowMainWnd();
    }
    if (g_Settings.ShowTipsOfTheDay != -1) {
        CDlgTip tip(m_pMainWnd);
        tip.Show();
    }
    m_bCreated = 1;
    return 0;
}

void CTvnxTrayWnd::StopAnimation()
{
    if (m_pAnimation == NULL)
        return;
    m_pAnimation->Stop();
    delete m_pAnimation;
    m_pAnimation = NULL;
}

// Runs also while a modal dialog is open: the callers that end the program
// refuse to while one runs, so a destruction that comes anyway (the session
// ends, the window is destroyed from outside) must still save the settings,
// take the icon away and remove the system-wide hook.
void CTvnxTrayWnd::OnDestroy()
{
    StopAnimation();
    DestroyModelessDialogs();
    ClearOwnClipboard();
    if (m_pMainWnd != NULL)
        CloseMainWnd();
    if (g_pCollectionFile != NULL) {
        CTvnxSave* pFile = g_pCollectionFile;
        g_pCollectionFile = NULL;
        delete pFile;
    }
    SaveSettings(TRUE);
    DeleteTrayIcon();
    if (m_FocusHook.hModule != NULL)
        UnloadFocusHook(&m_FocusHook);
    if (GetTrayWindow() == m_hWnd)
        SetTrayWindow(NULL);
    Default();
}

// --- the icon's mouse messages and its menu ------------------------------------------------

CWnd* CTvnxTrayWnd::NoticeParent()
{
    return m_pMainWnd != NULL ? m_pMainWnd : this;
}

BOOL CTvnxTrayWnd::BringModalDialogForward(BOOL bBalloon)
{
    CDialog* pModal = GetRunningModalDialog();
    if (pModal == NULL || pModal->m_hWnd == NULL)
        return FALSE;
    if (bBalloon)
        ShowTrayBalloon(GetLangString(400), kTitle);
    FlashWindowBriefly(pModal->m_hWnd);
    ::SetForegroundWindow(pModal->m_hWnd);
    return TRUE;
}

LRESULT CTvnxTrayWnd::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    const UINT nMouse = static_cast<UINT>(lParam);
    const BOOL bCounts = nMouse == WM_LBUTTONDOWN || nMouse == WM_LBUTTONDBLCLK || nMouse == WM_RBUTTONDOWN;
    if (wParam != kIconId || g_BusyCount > 0 || g_nActiveDrags > 0 || C3DMenu::GetTrackingCount() > 0) {
        if (g_BusyCount > 0 && bCounts)
            ShowTrayBalloon(GetLangString(401), kTitle);
        return 0;
    }
    if (GetRunningModalDialog() != NULL) {
        if (bCounts)
            BringModalDialogForward(TRUE);
        return 0;
    }
    if (!m_bCreated)
        return 0;
    if (nMouse == WM_RBUTTONDOWN) {
        ShowTrayMenu();
        return 0;
    }
    const BOOL bToggle = g_Settings.TrayIconSingleClick ? nMouse == WM_LBUTTONDOWN : nMouse == WM_LBUTTONDBLCLK;
    if (!bToggle)
        return 0;
    if (m_pMainWnd != NULL) {
        WarnHidingToTray();
        CloseMainWnd();
    } else {
        ShowMainWnd();
    }
    return 0;
}

void BuildTrayMenu(C3DMenu& menu, C3DMenu& colors, BOOL bMainWndOpen, BOOL bCanOpaque, CSequence<HICON>& icons)
{
    // Every icon of this menu is made at 16 x 16 (LoadSmallIcon, MakeTrayIcon).
    auto icon = [&icons](HICON h) {
        if (h != NULL)
            icons.Add(h);
        return CMenuItemIcon(h, 16, 16);
    };
    for (int i = 0; i < CTvnxTrayWnd::TRAY_COLOR_COUNT; i++) {
        const COLORREF clr = CTvnxTrayWnd::s_TrayColors[i];
        colors.AppendItem(NULL, GetLangString(423 + i), clr == g_Settings.TrayIconColor ? MF_GRAYED : MF_ENABLED,
                          CTvnxTrayWnd::ID_TRAY_FIRSTCOLOR + i, icon(MakeTrayIcon(FALSE, clr)), GetLangString(9));
    }
    CString strOpaqueHint = GetLangString(5);
    if (!bCanOpaque) {
        strOpaqueHint += "\n\n";
        strOpaqueHint += GetLangString(6);
    }
    menu.AppendItem(NULL, GetLangString(2), bCanOpaque ? MF_ENABLED : MF_GRAYED, ID_TRAY_OPAQUE, icon(LoadSmallIcon(226)),
                    strOpaqueHint);
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(27), MF_ENABLED, ID_TRAY_OPTIONS, icon(LoadSmallIcon(157)), GetLangString(28));
    menu.AppendItem(NULL, GetLangString(8), MF_POPUP, reinterpret_cast<UINT_PTR>(colors.m_hMenu),
                    icon(LoadSmallIcon(380)));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    CString strHowTo = "<rgb(255,255,0)>";
    strHowTo += GetLangString(33);
    menu.AppendItem(NULL, strHowTo, MF_ENABLED, ID_TRAY_HOWTO, icon(LoadSmallIcon(392)), GetLangString(34), 0xA0FFFF,
                    0xBF0000);
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, GetLangString(29), MF_ENABLED, ID_TRAY_HELP, icon(LoadSmallIcon(374)), GetLangString(30));
    menu.AppendItem(NULL, GetLangString(39), MF_ENABLED, ID_TRAY_WEB, icon(LoadSmallIcon(399)), GetLangString(40));
    menu.AppendItem(NULL, GetLangString(31), MF_ENABLED, ID_TRAY_ABOUT, icon(LoadSmallIcon(131)), GetLangString(32));
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    if (bMainWndOpen)
        menu.AppendItem(NULL, GetLangString(35), MF_ENABLED, ID_TRAY_HIDE, icon(LoadSmallIcon(394)), GetLangString(36));
    else
        menu.AppendItem(NULL, GetLangString(1), MF_ENABLED, ID_TRAY_OPEN, icon(LoadSmallIcon(IDI_TRAYMENU_OPEN)),
                        GetLangString(4));
    ::SetMenuDefaultItem(menu.m_hMenu, bMainWndOpen ? ID_TRAY_HIDE : ID_TRAY_OPEN, FALSE);
    CString strExit = "<rgb(192,0,0)>";
    strExit += GetLangString(3);
    menu.AppendItem(NULL, strExit, MF_ENABLED, ID_TRAY_EXIT, icon(LoadSmallIcon(211)), GetLangString(7), 0xFFFFFF,
                    0x0000DF);
}

void CTvnxTrayWnd::ShowTrayMenu()
{
    const TEXTSTYLE* pStyle = g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
    C3DMenu menu, colors;
    menu.CreatePopup(pStyle);
    colors.CreatePopup(pStyle);
    CSequence<HICON> icons;
    const BOOL bCanOpaque = HasLayeredWindows() && m_pMainWnd != NULL && GetMainWndTransparency() > 0;
    BuildTrayMenu(menu, colors, m_pMainWnd != NULL, bCanOpaque, icons);

    POINT pt;
    ::GetCursorPos(&pt);
    // The menu of a notification icon closes on a click elsewhere only while
    // its owner is the foreground window; the WM_NULL afterwards lets the
    // shell see the menu gone.
    ::SetForegroundWindow(m_hWnd);
    const UINT nCommand = menu.Track(this, pt.x, pt.y);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    menu.DestroyMenu();
    colors.DestroyMenu();
    for (int i = 0; i < icons.GetSize(); i++)
        ::DestroyIcon(icons[i]);
    if (nCommand != 0)
        OnTrayCommand(nCommand);
}

void CTvnxTrayWnd::OnTrayCommand(UINT nCommand)
{
    switch (nCommand) {
    case ID_TRAY_EXIT:
        if (g_Settings.WarnExit &&
            MessageBox3D(NULL, kTitle, GetLangString(364), MB_YESNO | MB_ICONQUESTION, g_Settings.FadeDialogs,
                         g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL) != IDYES)
            return;
        DestroyWindow();
        return;
    case ID_TRAY_OPEN:
        ShowMainWnd();
        return;
    case ID_TRAY_HIDE:
        WarnHidingToTray();
        CloseMainWnd();
        return;
    case ID_TRAY_OPAQUE:
        if (HasLayeredWindows() && GetMainWndTransparency() > 0 && s_MainWndHooks.pfnMakeOpaque != NULL)
            s_MainWndHooks.pfnMakeOpaque(m_pMainWnd);
        return;
    case ID_TRAY_OPTIONS:
        if (m_pMainWnd != NULL)
            m_pMainWnd->SendMessage(WM_SHOWOPTIONS, 0, 0);
        else
            ShowOptionsDialog(NULL, NULL, NULL);
        return;
    case ID_TRAY_HOWTO:
        OpenHelpPage();
        return;
    case ID_TRAY_HELP: {
        char szPath[MAX_PATH + 32] = "";
        const DWORD n = ::GetModuleFileNameA(NULL, szPath, MAX_PATH);
        char* pSlash = n > 0 && n < MAX_PATH ? const_cast<char*>(FindLastCharOf(szPath, "\\")) : NULL;
        if (pSlash == NULL)
            return;
        lstrcpyA(pSlash + 1, "help\\index.htm");
        const HINSTANCE h = g_pfnShellExecute(m_hWnd, "open", szPath, NULL, NULL, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(h) <= 32)
            g_pfnShellExecute(m_hWnd, "open", "iexplore.exe", szPath, NULL, SW_SHOWNORMAL);
        return;
    }
    case ID_TRAY_ABOUT: {
        CDlgAbout dlg(NoticeParent());
        dlg.DoModal();
        return;
    }
    case ID_TRAY_WEB:
        OpenWebPage(m_hWnd, kWebSite);
        return;
    }
    if (nCommand >= ID_TRAY_FIRSTCOLOR && nCommand < ID_TRAY_FIRSTCOLOR + TRAY_COLOR_COUNT) {
        g_Settings.TrayIconColor = s_TrayColors[nCommand - ID_TRAY_FIRSTCOLOR];
        SaveSettings(FALSE);
        ModifyTrayIcon(m_pMainWnd != NULL);
    }
}

// --- reports and hand-overs ---------------------------------------------------------------

void CTvnxTrayWnd::OnFocusHook(WPARAM wParam, LPARAM lParam)
{
    if (wParam != 0) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        DWORD dwProcess = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcess);
        // The desktop takes the focus when a program in front loses it to no
        // other window (Wine's X11 driver does so now and then on a switch);
        // kept as the target, every later click would send the smilie there.
        if (dwProcess != 0 && dwProcess != ::GetCurrentProcessId() && !IsImeWindow(hWnd) && !IsDesktopWindow(hWnd))
            SetForeignTarget(hWnd);
        return;
    }
    if (lParam == 0)
        return;
    POINT pt = FocusHookPoint(lParam);
    HWND hWnd = ::WindowFromPoint(pt);
    char szClass[64] = "";
    if (hWnd == NULL || ::GetClassNameA(hWnd, szClass, sizeof(szClass)) == 0 ||
        lstrcmpiA(szClass, "Internet Explorer_Server") != 0)
        return;
    ::ScreenToClient(hWnd, &pt);
    SetForeignBrowser(hWnd, pt);
}

void CTvnxTrayWnd::OpenHandedOver(const CString& strPath)
{
    if (EndsWithUpdateExtension(strPath)) {
        if (m_pMainWnd == NULL)
            ShowMainWnd();
        if (m_pMainWnd != NULL && s_MainWndHooks.pfnImportUpdate != NULL)
            s_MainWndHooks.pfnImportUpdate(m_pMainWnd, strPath);
        return;
    }
    if (m_pMainWnd != NULL) {
        if (s_MainWndHooks.pfnOpenCollection != NULL)
            s_MainWndHooks.pfnOpenCollection(m_pMainWnd, strPath);
        return;
    }
    if (g_pCollectionFile != NULL) {
        CTvnxSave* pFile = g_pCollectionFile;
        g_pCollectionFile = NULL;
        delete pFile;
    }
    SetCollectionPath(strPath);
    ShowMainWnd();
}

BOOL CTvnxTrayWnd::CanOpenHandOver() const
{
    return g_BusyCount <= 0 && g_nActiveDrags <= 0 && C3DMenu::GetTrackingCount() <= 0 && m_bCreated;
}

// The sender waits in SendMessage, and this message reaches us wherever the
// thread looks at its queue: inside a field's move or resize loop, or in the
// wait for a target program's foreground. Opening a collection there would
// destroy the field whose code is still running, so the path is kept and
// opened from a message posted for it, when the main loop dispatches that.
LRESULT CTvnxTrayWnd::OnCopyData(const COPYDATASTRUCT* pcds)
{
    CString strPath;
    if (!ReadHandOver(pcds, &strPath))
        return 0;
    if (BringModalDialogForward(TRUE))
        return 0;
    if (g_BusyCount > 0 || g_nActiveDrags > 0 || C3DMenu::GetTrackingCount() > 0 || strPath.IsEmpty())
        return 0;
    // A start that is still being made (its window exists, its first steps
    // run) keeps the file for when it is done rather than dropping it.
    m_strHandedOver = AbsolutePath(strPath);
    ::PostMessageA(m_hWnd, WM_OPENHANDEDOVER, 0, 0);
    return 1;
}

// Another loop of this thread (a field's move, a wait) dispatches posted
// messages too, with its own message on the main loop's record: then the file
// waits for the main loop's next idle time (CTvnxApp::OnIdle).
void CTvnxTrayWnd::OnOpenHandedOver()
{
    const CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->m_msgCur.message == WM_OPENHANDEDOVER && pThread->m_msgCur.hwnd == m_hWnd)
        OpenPendingHandOver();
}

BOOL CTvnxTrayWnd::OpenPendingHandOver()
{
    // An open asks at times (a message, a network path): a hand-over that
    // comes meanwhile waits until that open is over.
    if (m_strHandedOver.IsEmpty() || m_bOpeningHandOver || !CanOpenHandOver() || GetRunningModalDialog() != NULL)
        return FALSE;
    const CString strPath = m_strHandedOver;
    m_strHandedOver.Empty();
    m_bOpeningHandOver = TRUE;
    OpenHandedOver(strPath);
    m_bOpeningHandOver = FALSE;
    return TRUE;
}

void CTvnxTrayWnd::OnActivateMainWnd()
{
    if (!m_bCreated || !m_nIconPresent || g_BusyCount > 0 || g_nActiveDrags > 0)
        return;
    if (BringModalDialogForward(FALSE))
        return;
    if (m_pMainWnd == NULL)
        ShowMainWnd();
}

void CTvnxTrayWnd::OnHideMainWnd(WPARAM wParam, LPARAM lParam)
{
    if (m_pMainWnd == NULL || reinterpret_cast<HWND>(wParam) != m_pMainWnd->m_hWnd || lParam != 0)
        return;
    WarnHidingToTray();
    CloseMainWnd();
}

void CTvnxTrayWnd::OnAnimateToTray()
{
    if (!m_bHidingByUser)
        return;
    StopAnimation();
    if (g_Settings.MainWndAnimateHidingToTray == 0)
        return;
    COLORREF clrStart = 0x808080;
    if (m_pMainWnd != NULL)
        clrStart = static_cast<COLORREF>(m_pMainWnd->SendMessage(WM_GETFIELDCOLOR, 0, 0));
    m_pAnimation = new CTrayAnimationThread();
    if (!m_pAnimation->Start(m_pMainWnd, 16, 7, g_Settings.MainWndAnimateHidingToTray == 2, clrStart,
                             g_Settings.TrayIconColor, this)) {
        delete m_pAnimation;
        m_pAnimation = NULL;
    }
}

void CTvnxTrayWnd::OnTaskbarCreated()
{
    if (!m_nIconPresent)
        return;
    // The old icon went with the old taskbar; the record is dropped and the
    // icon added again in its state.
    DeleteTrayIcon();
    AddTrayIcon(m_pMainWnd != NULL);
}

void CTvnxTrayWnd::OnDownloadDone(WPARAM wParam, LPARAM lParam)
{
    if (wParam != 0)
        return;
    if (lParam == DOWNLOAD_DONE || lParam == 5 || lParam == DOWNLOAD_TOOLARGE || lParam == DOWNLOAD_CHUNKTOOLARGE)
        return;
    ShowWarnNoInetForMail(NoticeParent());
}

// The system ends the process soon after this returns (log-off, shutdown):
// what Exit keeps must be on disk by then, the open collection with its use
// counts (saved as the main window goes) as well as the settings. So the
// session's end takes Exit's road: this window is destroyed with every step.
void CTvnxTrayWnd::OnEndSession(BOOL bEnding)
{
    if (bEnding)
        DestroyWindow();
    else
        SaveSettings(TRUE);
}

LRESULT CTvnxTrayWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        return 0;
    case WM_ENDSESSION:
        OnEndSession(wParam != 0);
        return 0;
    case WM_TRAYNOTIFY:
        return OnTrayNotify(wParam, lParam);
    case WM_HIDEMAINWND:
        OnHideMainWnd(wParam, lParam);
        return 0;
    case WM_ANIMATETOTRAY:
        OnAnimateToTray();
        return 0;
    case WM_DOWNLOADDONE:
        OnDownloadDone(wParam, lParam);
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_OPENHANDEDOVER:
        OnOpenHandedOver();
        return 0;
    case WM_MENUCHAR:
        return HandleMenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* pMIS = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (pMIS->CtlType == ODT_MENU && AfxMeasureMenuItem(m_hWnd, pMIS))
            return TRUE;
        break;
    }
    }
    if (message == GetTaskbarCreatedMessage()) {
        OnTaskbarCreated();
        return 0;
    }
    if (message == GetFocusHookMessage()) {
        OnFocusHook(wParam, lParam);
        return 0;
    }
    if (message == GetActivateMainWndMessage()) {
        OnActivateMainWnd();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
