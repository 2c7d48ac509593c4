// CTvnxTrayWnd: the program's hidden window ("Tarvenex Tray Window"). It
// owns the icon in the notification area and its menu, the binding of the
// focus-hook library, the main window while it is open and the flight of the
// hiding animation; it takes the files a second start hands over and records
// the foreign window the user typed in last. Its destruction ends the
// program and runs the shutdown steps, in a fixed order.
#pragma once

#include "collection/Sequence.h"
#include "delivery/FocusHookLib.h"
#include "framework/Str.h"
#include "framework/Wnd.h"

#include <shellapi.h>

class CTrayAnimationThread;

// The icon for the notification area (16 x 16): resource 423 (open) or 424
// (closed) for the colour 0xFF0000, else that picture with its pure-blue
// palette entry replaced by the colour. The caller destroys it.
HICON MakeTrayIcon(BOOL bOpen, COLORREF clr);

// A hand-over from a second start (WM_COPYDATA): dwData 1 and at least 7
// bytes, UTF-16 when it begins with 0xFEFF (at most 520 bytes, an odd last
// byte ignored), else ANSI (at most 260 bytes). Read by cbData alone: the
// text ends at its first zero unit or at the end of the block. TRUE with the
// text converted to ANSI and trimmed.
BOOL ReadHandOver(const COPYDATASTRUCT* pcds, CString* pstrText);

class C3DMenu;

// Fills the tray menu and its colour submenu (made by the caller with the
// skin's menu style) for a main window open or closed; the icons made for
// the items are added to icons, for the caller to destroy after the menu.
void BuildTrayMenu(C3DMenu& menu, C3DMenu& colors, BOOL bMainWndOpen, BOOL bCanMakeOpaque, CSequence<HICON>& icons);

// What the tray window needs of the main window, which lives above it. Until
// the main window fills these in, the tray runs without one (each NULL).
struct TRAYMAINWNDHOOKS
{
    // Creates and shows the main window for this tray window; NULL on failure.
    CWnd* (*pfnCreate)(class CTvnxTrayWnd* pTray) = NULL;
    // Destroys its window and deletes the object.
    void (*pfnDestroy)(CWnd* pMainWnd) = NULL;
    // Opens a collection file (flags 0), or imports a collection update.
    void (*pfnOpenCollection)(CWnd* pMainWnd, LPCTSTR pszPath) = NULL;
    void (*pfnImportUpdate)(CWnd* pMainWnd, LPCTSTR pszPath) = NULL;
    // Its transparency in percent (0 when opaque).
    int (*pfnGetTransparency)(CWnd* pMainWnd) = NULL;
    // Makes it opaque (its slider to the end).
    void (*pfnMakeOpaque)(CWnd* pMainWnd) = NULL;
};

class CTvnxTrayWnd : public CWnd
{
public:
    CTvnxTrayWnd();
    ~CTvnxTrayWnd() override;

    // Registers the class and creates the hidden window; FALSE when its
    // creation failed (no icon, no focus hook).
    BOOL Create();

    void ShowMainWnd();
    void CloseMainWnd();
    virtual void WarnHidingToTray();

    int AddTrayIcon(BOOL bOpen);
    int ModifyTrayIcon(BOOL bOpen);
    void DeleteTrayIcon();
    void ShowTrayBalloon(LPCTSTR pszText, LPCTSTR pszTitle);
    int GetMainWndTransparency() const;

    CWnd* GetMainWnd() const { return m_pMainWnd; }
    BOOL IsIconPresent() const { return m_nIconPresent != 0; }
    BOOL IsCreated() const { return m_bCreated; }
    BOOL IsHidingByUser() const { return m_bHidingByUser; }
    const FOCUSHOOKLIB& GetFocusHook() const { return m_FocusHook; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The tray menu's command, as if chosen.
    void OnTrayCommand(UINT nCommand);

    // Opens the file the last hand-over brought, once nothing stands in the
    // way (the main loop calls it when it goes idle); TRUE when it did.
    BOOL OpenPendingHandOver();
    const CString& GetPendingHandOver() const { return m_strHandedOver; }

    // Seams: the shell's icon function, recorded by tests; the main window.
    static BOOL(WINAPI* s_pfnShellNotifyIcon)(DWORD dwMessage, PNOTIFYICONDATAA pData);
    static TRAYMAINWNDHOOKS s_MainWndHooks;
    // Whether the start-up balloon was shown in this run.
    static BOOL s_bStartupBalloonShown;

    // The colours of the colour submenu, commands 11 to 22.
    enum { TRAY_COLOR_COUNT = 12, ID_TRAY_FIRSTCOLOR = 11 };
    static const COLORREF s_TrayColors[TRAY_COLOR_COUNT];

protected:
    void PostNcDestroy() override {}

private:
    int OnCreate();
    void OnDestroy();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void ShowTrayMenu();
    void OnFocusHook(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(const COPYDATASTRUCT* pcds);
    void OnOpenHandedOver();
    void OnActivateMainWnd();
    void OnHideMainWnd(WPARAM wParam, LPARAM lParam);
    void OnAnimateToTray();
    void OnTaskbarCreated();
    void OnDownloadDone(WPARAM wParam, LPARAM lParam);
    void OnEndSession(BOOL bEnding);
    void StopAnimation();
    // Nothing that a newly opened collection would pull from under it runs:
    // no busy state, drag or menu, and the window is fully created.
    BOOL CanOpenHandOver() const;
    // A modal dialog runs: the balloon of string 400 when bBalloon, then the
    // dialog flashed and brought forward. FALSE when none runs.
    BOOL BringModalDialogForward(BOOL bBalloon);
    void OpenHandedOver(const CString& strPath);
    CWnd* NoticeParent();

    CWnd* m_pMainWnd;
    int m_nIconPresent;
    FOCUSHOOKLIB m_FocusHook;
    int m_bCreated;
    CTrayAnimationThread* m_pAnimation;
    int m_bHidingByUser;
    // The path of the last accepted hand-over, until it is opened.
    CString m_strHandedOver;
    BOOL m_bOpeningHandOver;
};
