#include "delivery/Insertion.h"

#include "delivery/ForeignWindows.h"
#include "delivery/ShiftInsert.h"
#include "delivery/TvFieldDataSource.h"
#include "fields/ForeignFocus.h"
#include "services/Settings.h"
#include "ui3d/system/SysUtils.h"

#include <cstring>

namespace {

// Mail programs whose compose window embeds a browser window that must not
// take the paste itself: the compose window does.
const char* const kMailClients[] = {"msimn.exe", "winmail.exe", "outlook.exe", "incredimail.exe", "incmail.exe"};

bool IsMailClient(const CString& strExe)
{
    for (const char* pszName : kMailClients) {
        if (_stricmp(strExe, pszName) == 0)
            return true;
    }
    return false;
}

HWND TopLevelOf(HWND hWnd)
{
    for (int i = 0; i < 1000 && hWnd != NULL; i++) {
        const HWND hParent = ::GetParent(hWnd);
        if (hParent == NULL)
            break;
        hWnd = hParent;
    }
    return hWnd;
}

bool ThreadHasForeground(DWORD nThread)
{
    const HWND hForeground = ::GetForegroundWindow();
    return hForeground != NULL && ::GetWindowThreadProcessId(hForeground, NULL) == nThread;
}

}  // namespace

BOOL CALLBACK EnumIEServerChildProc(HWND hWnd, LPARAM lParam)
{
    char szClass[64];
    if (::GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && _stricmp(szClass, "Internet Explorer_Server") == 0) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

int ActivateForeignWindow(HWND window, DWORD nTimeout)
{
    if (window == NULL || !::IsWindow(window))
        return 0;
    const DWORD nThread = ::GetWindowThreadProcessId(window, NULL);
    const HWND hTop = TopLevelOf(window);
    const DWORD nStart = ::GetTickCount();
    DWORD_PTR nResult = 0;
    for (;;) {
        // Wine's X11 driver moves the X input focus to the target with the
        // time of the last message the target's thread took from its queue:
        // an old time (the target waited idle since before the click on our
        // window) makes the X server ignore the move, and the keys typed next
        // come to us although the target is in front. A message posted now,
        // and taken before the switch (the sends below return once the
        // target's thread is past its queue), gives it a time after the click.
        ::PostMessageA(hTop, WM_NULL, 0, 0);
        for (int i = 0; i < 2; i++) {
            const DWORD nSpent = ::GetTickCount() - nStart;
            if (nSpent >= nTimeout)
                return 0;
            ::SendMessageTimeoutA(hTop, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, nTimeout - nSpent, &nResult);
        }
        // A child of another program cannot be brought to the front, and the
        // switch to another program completes later on that program's thread:
        // keys sent before it would go to the window that was in front.
        ::SetForegroundWindow(hTop);
        while (!ThreadHasForeground(nThread)) {
            if (::GetTickCount() - nStart >= nTimeout)
                return 0;
            // Serve only messages other threads send us (the activation talks
            // to our windows); posted ones wait for the message loop.
            ::MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_SENDMESSAGE);
            MSG msg;
            ::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        // The foreground is the target's now, but its thread may not have run
        // the activation yet, which puts the focus where the target wants it:
        // a message sent after the activation returns once it has run.
        ::SendMessageTimeoutA(hTop, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, nTimeout, &nResult);
        // Meanwhile the target may have handled a focus loss still queued from
        // the click that activated us: Wine's X11 driver then gives the
        // foreground to the desktop window. The switch is made again, within
        // the same time.
        if (ThreadHasForeground(nThread))
            break;
        if (::GetTickCount() - nStart >= nTimeout)
            return 0;
    }
    const DWORD nSelf = ::GetCurrentThreadId();
    for (int nTry = 0; nTry < 3; nTry++) {
        // Sharing the target thread's input lets us set and read its focus.
        const BOOL bAttached = nThread != nSelf && ::AttachThreadInput(nSelf, nThread, TRUE);
        const bool bFocused = nTry > 0 && ::GetFocus() == window;
        if (!bFocused)
            ::SetFocus(window);
        if (bAttached)
            ::AttachThreadInput(nSelf, nThread, FALSE);
        if (bFocused || !bAttached)
            break;
        ::SendMessageTimeoutA(hTop, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, nTimeout, &nResult);
    }
    // The keys go to whichever thread is in front: none unless it is the target's.
    return ThreadHasForeground(nThread) ? 1 : 0;
}

int PutSmiliesOnClipboard(CSequence<CSmilie*>* smilies, HWND fieldWindow)
{
    if (smilies == NULL || ::GetOpenClipboardWindow() != NULL)
        return 0;
    CTvFieldDataSource* pSource = new CTvFieldDataSource;
    int bFilled = 0;
    try {
        bFilled = FillDataSource(smilies, fieldWindow, pSource, g_Settings.EudoraOnly);
    } catch (...) {
        delete pSource;
        throw;
    }
    if (!bFilled) {
        delete pSource;
        return 0;
    }
    pSource->m_bDragging = FALSE;
    pSource->m_pLastRendered = NULL;
    // The clipboard owns the source from here on, whatever the outcome.
    return pSource->SetClipboard() ? 1 : 0;
}

int InsertIntoWindow(HWND target, CSequence<CSmilie*>* smilies, HWND fieldWindow)
{
    if (target == NULL || !::IsWindow(target) || smilies == NULL || smilies->GetSize() == 0)
        return 0;
    if (!PutSmiliesOnClipboard(smilies, fieldWindow))
        return 0;

    const HWND hTop = TopLevelOf(target);
    HWND hBrowser = NULL;
    char szClass[128];
    if (::GetClassNameA(target, szClass, sizeof(szClass)) > 0 && strcmp(szClass, "Internet Explorer_Server") == 0)
        hBrowser = target;
    else
        ::EnumChildWindows(hTop, EnumIEServerChildProc, reinterpret_cast<LPARAM>(&hBrowser));

    // The remembered window keeps the paste, unless a browser window inside
    // the target takes it; the compose windows of five mail programs embed
    // one that must not.
    HWND hActivate = target;
    if (hBrowser != NULL) {
        DWORD nProcess = 0;
        ::GetWindowThreadProcessId(hBrowser, &nProcess);
        CString strExe, strPath;
        if (nProcess == 0 || !GetProcessExeName(strExe, strPath, nProcess))
            strExe.Empty();
        if (!IsMailClient(strExe))
            hActivate = hBrowser;
    }
    if (!ActivateForeignWindow(hActivate, kForegroundTimeout))
        return 0;
    // Wine's X11 driver raises the activated target on screen above every
    // window, ours that stay on top too; without a window manager the field's
    // window stays covered until it is moved. It goes back above the target,
    // as it stands for Windows (nothing changes there).
    const HWND hFieldRoot = fieldWindow != NULL ? ::GetAncestor(fieldWindow, GA_ROOT) : NULL;
    if (hFieldRoot != NULL && (::GetWindowLongA(hFieldRoot, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
        ::SetWindowPos(hFieldRoot, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendShiftInsert();
    return 1;
}

int GetTargetApplication(CString& title, CString& exeName, DWORD version[2], HWND* window, BOOL dragging)
{
    title.Empty();
    exeName.Empty();
    HWND hWnd = NULL;
    if (dragging) {
        POINT pt;
        if (::GetCursorPos(&pt))
            hWnd = ::WindowFromPoint(pt);
    } else {
        hWnd = GetForeignTarget();
    }
    if (hWnd == NULL || !::IsWindow(hWnd))
        return 0;
    ULONGLONG ullVersion = 0;
    if (!GetWindowAppInfo(hWnd, title, exeName, ullVersion)) {
        title.Empty();
        exeName.Empty();
        return 0;
    }
    // The Bat! may carry no version resource: its registry key tells.
    if (ullVersion == 0 && _stricmp(exeName, "thebat.exe") == 0)
        ullVersion = g_TheBatVersion;
    if (version != NULL) {
        version[0] = DWORD(ullVersion);
        version[1] = DWORD(ullVersion >> 32);
    }
    if (window != NULL)
        *window = hWnd;
    return 1;
}

int IsWebBrowserWindow(CString title, const char* exeName)
{
    if (exeName == NULL)
        return 0;
    title.MakeLower();
    if (_stricmp(exeName, "IEXPLORE.EXE") == 0 || _stricmp(exeName, "firefox.exe") == 0)
        return 1;
    if (_stricmp(exeName, "mozilla.exe") == 0)
        return title.Find("compose") < 0;
    if (_stricmp(exeName, "netscape.exe") == 0)
        return title.Find("composition") < 0;
    return 0;
}
