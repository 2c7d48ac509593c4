// The messenger hook library: adds one custom emoticon (a picture file and a
// shortcut) to the messenger by driving the messenger's own emoticon dialogs.
//
// The program calls SendMsnSmilie, which installs a WH_CBT hook on the
// conversation's thread and sends the conversation the menu command that opens
// the emoticon list. Windows then maps this library into the messenger, where
// the hook sees each emoticon dialog being created, subclasses it, and posts it
// a handshake; the dialog's step runs when the handshake arrives, after the
// dialog has finished its own initialisation:
//   dialog 1, the emoticon list: ask it to open the "create" dialog;
//   dialog 2, "create": fill in picture path and shortcut, press OK;
//   dialog 3, a confirmation that may follow: press OK.
// When dialog 2 has closed the list is told to close, and when the list is gone
// the run has succeeded. The outcome is posted to the program's notify window.
//
// Both copies of the library (in the program and in the messenger) see the run
// through one shared data section, without locks: each step is triggered by a
// message posted to the messenger's thread, and the program only reads the state
// and calls Cleanup when it ends the run.
#include <windows.h>
#include <type_traits>
#include "msnhook/MsnBuild.h"
#include "msnhook/MsnHookApi.h"
#include "msnhook/WndNode.h"

extern "C" {
int SendMsnSmilie(HWND conversation, const WCHAR* picturePath, int shortcutIndex, HWND notifyWindow,
                  UINT notifyMessage, int* error);
int GetState();
int Cleanup();
int IsVersionSupported(DWORD versionLS, DWORD versionMS);
int NeedMute();
}

// The program binds the exports through these types.
static_assert(std::is_same<decltype(&SendMsnSmilie), PFN_SENDMSNSMILIE>::value, "SendMsnSmilie");
static_assert(std::is_same<decltype(&GetState), PFN_GETSTATE>::value, "GetState");
static_assert(std::is_same<decltype(&Cleanup), PFN_CLEANUP>::value, "Cleanup");
static_assert(std::is_same<decltype(&IsVersionSupported), PFN_ISVERSIONSUPPORTED>::value, "IsVersionSupported");
static_assert(std::is_same<decltype(&NeedMute), PFN_NEEDMUTE>::value, "NeedMute");

namespace {

// Posted to a subclassed dialog (wParam kHandshakeTag, lParam the dialog number
// 1 to 3) so that its step runs from the dialog's own message loop.
const UINT WM_HOOKHANDSHAKE = 0x83F5;
const WPARAM kHandshakeTag = 10;

// The window procedure a dialog had before we subclassed it, kept on the window
// itself: a dialog may outlive the run (or the record of it) and must still be
// able to hand its messages on and put its procedure back. The name tells in
// which character set the procedure was installed.
const char kPrevProcW[] = "TvnxMsnPrevProcW";
const char kPrevProcA[] = "TvnxMsnPrevProcA";

// Controls of the "create" dialog: picture file, shortcut, name, browse.
const int kCreatePictureEdit = 1419;
const int kCreateShortcutEdit = 1417;
const int kCreateNameEdit = 1425;
const int kCreateBrowseButton = 1418;

const int kDialogCount = 3;

struct DLGSLOT
{
    WNDPROC prevProc;   // valid only inside the messenger's process
    HWND wnd;
};

// The run, shared by every process that maps this build of the library.
struct MSNSHARED
{
    HWND conversation;              // the messenger window of the live run, NULL between runs
    int shortcutIndex;              // 0 to 9: the shortcut is "~" and 'a' + index
    WCHAR picturePath[MAX_PATH];
    HWND notifyWindow;
    UINT notifyMessage;
    DWORD conversationThread;
    HHOOK hook;
    DLGSLOT dialogs[kDialogCount];  // emoticon list, create, confirmation
    volatile LONG state;            // MSNRUNSTATE
    int hideX;                      // right and bottom of the work area: where the
    int hideY;                      // driven dialogs are kept, out of sight
};

MSNSHARED g_run __attribute__((section(".SHARDAT"), shared)) = {
    NULL, 0, {0}, NULL, 0, 0, NULL, {}, MSNRUN_IDLE, 100, 100};

// This process's handle of the library. Not shared: the program and the
// messenger each map the library at an address of their own.
HINSTANCE g_module = NULL;

struct NOTIFYTARGET
{
    HWND wnd;
    UINT msg;
};

LRESULT CALLBACK Dialog1Proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK Dialog2Proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK Dialog3Proc(HWND, UINT, WPARAM, LPARAM);
const WNDPROC kDialogProcs[kDialogCount] = {Dialog1Proc, Dialog2Proc, Dialog3Proc};

bool IsRunningState(LONG state)
{
    return state != MSNRUN_IDLE && state != MSNRUN_COMPLETED && state != MSNRUN_ENDED;
}

bool IsRunLive()
{
    return g_run.conversation != NULL || g_run.hook != NULL || IsRunningState(g_run.state);
}

void SetState(LONG state)
{
    InterlockedExchange(&g_run.state, state);
}

// Marks the run ended unless it has already ended (a completed run stays completed).
void MarkEnded()
{
    LONG state;
    do {
        state = g_run.state;
        if (state == MSNRUN_COMPLETED || state == MSNRUN_ENDED)
            return;
    } while (InterlockedCompareExchange(&g_run.state, MSNRUN_ENDED, state) != state);
}

bool BelongsToThisProcess(HWND wnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid != 0 && pid == GetCurrentProcessId();
}

// --- subclassing ---------------------------------------------------------------

WNDPROC PrevProcOf(HWND wnd, bool* unicode)
{
    if (HANDLE prev = GetPropA(wnd, kPrevProcW)) {
        *unicode = true;
        return reinterpret_cast<WNDPROC>(prev);
    }
    *unicode = false;
    return reinterpret_cast<WNDPROC>(GetPropA(wnd, kPrevProcA));
}

LRESULT CallPrev(WNDPROC prev, bool unicode, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (prev == NULL)
        return unicode ? DefWindowProcW(wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
    return unicode ? CallWindowProcW(prev, wnd, msg, wParam, lParam)
                   : CallWindowProcA(prev, wnd, msg, wParam, lParam);
}

// Subclasses dialog `index` in the character set of the window, so that its
// procedure keeps receiving the texts it expects.
bool Subclass(int index, HWND wnd)
{
    bool unicode = IsWindowUnicode(wnd) != FALSE;
    LONG_PTR ours = reinterpret_cast<LONG_PTR>(kDialogProcs[index]);
    LONG_PTR prev = unicode ? GetWindowLongPtrW(wnd, GWLP_WNDPROC) : GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    if (prev == 0 || !SetPropA(wnd, unicode ? kPrevProcW : kPrevProcA, reinterpret_cast<HANDLE>(prev)))
        return false;
    if ((unicode ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, ours) : SetWindowLongPtrA(wnd, GWLP_WNDPROC, ours)) == 0) {
        RemovePropA(wnd, unicode ? kPrevProcW : kPrevProcA);
        return false;
    }
    g_run.dialogs[index].prevProc = reinterpret_cast<WNDPROC>(prev);
    g_run.dialogs[index].wnd = wnd;
    return true;
}

// Puts the dialog's previous procedure back when ours is still the one on top
// (someone who subclassed after us would otherwise be cut off; then we stay in
// the chain and only pass messages on). Only the messenger's own process can.
void Unsubclass(int index, HWND wnd)
{
    if (!IsWindow(wnd) || !BelongsToThisProcess(wnd))
        return;
    bool unicode;
    WNDPROC prev = PrevProcOf(wnd, &unicode);
    if (prev == NULL)
        return;
    LONG_PTR current = unicode ? GetWindowLongPtrW(wnd, GWLP_WNDPROC) : GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    if (current != reinterpret_cast<LONG_PTR>(kDialogProcs[index]))
        return;
    LONG_PTR value = reinterpret_cast<LONG_PTR>(prev);
    if (unicode)
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, value);
    else
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, value);
    RemovePropA(wnd, unicode ? kPrevProcW : kPrevProcA);
}

void ForgetDialog(int index)
{
    g_run.dialogs[index].prevProc = NULL;
    g_run.dialogs[index].wnd = NULL;
}

// A dialog that lives on in the messenger's process while the run is ended from
// the program stays on record: only the messenger's copy of the library can put
// its procedure back, at the dialog's next message or when Windows unloads that
// copy (see DllMain).
void RestoreDialogs()
{
    for (int i = 0; i < kDialogCount; i++) {
        HWND wnd = g_run.dialogs[i].wnd;
        if (wnd != NULL && IsWindow(wnd) && !BelongsToThisProcess(wnd))
            continue;
        if (wnd != NULL)
            Unsubclass(i, wnd);
        ForgetDialog(i);
    }
}

// --- ending a run --------------------------------------------------------------

void Unhook()
{
    HHOOK hook = g_run.hook;
    if (hook != NULL && UnhookWindowsHookEx(hook))
        InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_run.hook), NULL, hook);
}

// Ends the live run: unhooks, closes the popups of the conversation when asked,
// puts the dialogs' procedures back and forgets the run's windows, so that the
// next SendMsnSmilie starts afresh. The program's Cleanup and the messenger's
// hook may get here together; the one that takes the conversation out of the
// record ends the run and alone learns where to post the outcome.
bool EndRun(bool closePopups, NOTIFYTARGET* notify)
{
    Unhook();
    HWND conversation = static_cast<HWND>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_run.conversation), NULL));
    if (conversation != NULL && closePopups)
        CloseAllPopups(conversation);
    RestoreDialogs();
    if (conversation == NULL)
        return false;
    notify->wnd = g_run.notifyWindow;
    notify->msg = g_run.notifyMessage;
    g_run.notifyWindow = NULL;
    g_run.notifyMessage = 0;
    g_run.conversationThread = 0;
    g_run.shortcutIndex = 0;
    g_run.picturePath[0] = 0;
    return true;
}

void PostCompletion(const NOTIFYTARGET& notify, WPARAM wParam, LPARAM lParam)
{
    if (notify.msg != 0 && IsWindow(notify.wnd))
        PostMessageA(notify.wnd, notify.msg, wParam, lParam);
}

// The failure path with the code of the step that failed (1 to 8).
void FailRun(int code)
{
    MarkEnded();
    NOTIFYTARGET notify;
    if (EndRun(true, &notify))
        PostCompletion(notify, 0, code);
}

void Succeed()
{
    SetState(MSNRUN_COMPLETED);
    NOTIFYTARGET notify;
    if (EndRun(false, &notify))
        PostCompletion(notify, 1, 0);
}

// --- the dialogs' steps --------------------------------------------------------

bool HasControls(HWND dlg, const int* ids, int count)
{
    for (int i = 0; i < count; i++) {
        if (GetDlgItem(dlg, ids[i]) == NULL)
            return false;
    }
    return true;
}

void FillCreateDialog(HWND dlg)
{
    char shortcut[3] = {'~', static_cast<char>('a' + g_run.shortcutIndex), 0};
    if (IsWindowUnicode(dlg)) {
        SetDlgItemTextW(dlg, kCreatePictureEdit, g_run.picturePath);
    } else {
        // A path that needs more than MAX_PATH bytes in the system code page
        // does not convert; the field then stays empty, so the messenger refuses
        // it rather than take a cut path that may name another file.
        char path[MAX_PATH];
        if (WideCharToMultiByte(CP_ACP, 0, g_run.picturePath, -1, path, sizeof(path), NULL, NULL) == 0)
            path[0] = 0;
        path[sizeof(path) - 1] = 0;
        SetDlgItemTextA(dlg, kCreatePictureEdit, path);
    }
    SetDlgItemTextA(dlg, kCreateShortcutEdit, shortcut);
}

void DoHandshake(int index, HWND dlg)
{
    LONG state = g_run.state;
    switch (index) {
    case 0:
        if (state == MSNRUN_LIST_HOOKED && FindWindowExA(dlg, NULL, ThisBuild().dialog1ChildClass, NULL) != NULL) {
            SetState(MSNRUN_WAIT_CREATE);
            PostMessageA(dlg, WM_COMMAND, ThisBuild().createCommand, 0);
            Unsubclass(0, dlg);
            return;
        }
        break;
    case 1: {
        static const int ids[] = {kCreatePictureEdit, kCreateShortcutEdit, kCreateNameEdit,
                                  kCreateBrowseButton, IDCANCEL, IDOK};
        if (state == MSNRUN_CREATE_HOOKED && HasControls(dlg, ids, 6)) {
            FillCreateDialog(dlg);
            SetState(MSNRUN_CREATE_CONFIRMED);
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
            Unsubclass(1, dlg);
            return;
        }
        break;
    }
    case 2: {
        static const int ids[] = {IDOK, IDCANCEL};
        if (state == MSNRUN_CONFIRM_HOOKED && HasControls(dlg, ids, 2)) {
            SetState(MSNRUN_CONFIRM_CONFIRMED);
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
            Unsubclass(2, dlg);
            return;
        }
        break;
    }
    }
    FailRun(index + 1);
}

bool IsDriven(int index, LONG state)
{
    static const LONG driven[kDialogCount] = {MSNRUN_LIST_HOOKED, MSNRUN_CREATE_HOOKED, MSNRUN_CONFIRM_HOOKED};
    return state == driven[index];
}

LRESULT DialogProc(int index, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    bool unicode;
    WNDPROC prev = PrevProcOf(wnd, &unicode);
    LONG state = g_run.state;
    // A dialog of a run that has ended, or that is no longer the one recorded
    // (an earlier run's, which the program could not restore from its side),
    // takes itself out of the chain.
    if (state == MSNRUN_ENDED || state == MSNRUN_COMPLETED || g_run.dialogs[index].wnd != wnd) {
        Unsubclass(index, wnd);
        return CallPrev(prev, unicode, wnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        Unsubclass(index, wnd);
        return CallPrev(prev, unicode, wnd, msg, wParam, lParam);
    }
    if (msg == WM_HOOKHANDSHAKE && wParam == kHandshakeTag && lParam == index + 1) {
        DoHandshake(index, wnd);
        return 0;
    }
    if (IsDriven(index, state)) {
        // Keep the dialog below the work area while we work it: whatever
        // position it asks for, its top goes to the bottom of the work area.
        if (msg == WM_WINDOWPOSCHANGING) {
            WINDOWPOS* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            pos->y = g_run.hideY;
            if (pos->flags & SWP_NOMOVE)
                pos->x = g_run.hideX;
            pos->flags &= ~SWP_NOMOVE;
        } else if (msg == WM_MOVE && index > 0) {
            return 0;
        }
    }
    LRESULT result = CallPrev(prev, unicode, wnd, msg, wParam, lParam);
    if (g_run.state == MSNRUN_ENDED)
        FailRun(index + 1);
    return result;
}

LRESULT CALLBACK Dialog1Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DialogProc(0, wnd, msg, wParam, lParam);
}

LRESULT CALLBACK Dialog2Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DialogProc(1, wnd, msg, wParam, lParam);
}

LRESULT CALLBACK Dialog3Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DialogProc(2, wnd, msg, wParam, lParam);
}

// --- the hook ------------------------------------------------------------------

void BecomeDialog(int index, HWND wnd, LONG state)
{
    if (!Subclass(index, wnd)) {
        FailRun(index + 1);
        return;
    }
    SetState(state);
    PostMessageA(wnd, WM_HOOKHANDSHAKE, kHandshakeTag, index + 1);
}

void OnCreateWindow(HWND wnd)
{
    char cls[64];
    if (GetClassNameA(wnd, cls, sizeof(cls)) == 0)
        return;
    const MSNBUILD& build = ThisBuild();
    const DLGSLOT* dialogs = g_run.dialogs;
    LONG state = g_run.state;
    bool isDialog = lstrcmpiA(cls, "#32770") == 0;

    if (build.messengerVersion == 6) {
        if (!isDialog)
            return;
        if (dialogs[0].wnd == NULL && state == MSNRUN_WAIT_LIST)
            BecomeDialog(0, wnd, MSNRUN_LIST_HOOKED);
        else if (dialogs[0].wnd != NULL && dialogs[1].wnd == NULL && state == MSNRUN_WAIT_CREATE)
            BecomeDialog(1, wnd, MSNRUN_CREATE_HOOKED);
        else if (dialogs[0].wnd != NULL && dialogs[1].wnd != NULL && dialogs[2].wnd == NULL &&
                 state == MSNRUN_CREATE_CONFIRMED)
            BecomeDialog(2, wnd, MSNRUN_CONFIRM_HOOKED);
        else
            FailRun(5);
        return;
    }

    if (lstrcmpiA(cls, build.dialog1Class) == 0) {
        if (state == MSNRUN_WAIT_LIST)
            BecomeDialog(0, wnd, MSNRUN_LIST_HOOKED);
        else
            FailRun(4);
    } else if (isDialog && dialogs[0].wnd != NULL) {
        if (dialogs[1].wnd == NULL && state == MSNRUN_WAIT_CREATE)
            BecomeDialog(1, wnd, MSNRUN_CREATE_HOOKED);
        else if (dialogs[2].wnd == NULL && state == MSNRUN_CREATE_CONFIRMED)
            BecomeDialog(2, wnd, MSNRUN_CONFIRM_HOOKED);
        else
            FailRun(5);
    }
}

void OnDestroyWindow(HWND wnd)
{
    const DLGSLOT* dialogs = g_run.dialogs;
    LONG state = g_run.state;
    if (wnd == dialogs[0].wnd) {
        if (state == MSNRUN_LIST_CLOSING) {
            Unsubclass(0, wnd);
            ForgetDialog(0);
            Succeed();
        } else {
            FailRun(6);
        }
    } else if (wnd == dialogs[1].wnd) {
        if (dialogs[0].wnd != NULL && (state == MSNRUN_CREATE_CONFIRMED || state == MSNRUN_CONFIRM_CLOSED)) {
            Unsubclass(1, wnd);
            ForgetDialog(1);
            SetState(MSNRUN_LIST_CLOSING);
            PostMessageA(dialogs[0].wnd, WM_COMMAND, IDOK, 0);
        } else {
            FailRun(7);
        }
    } else if (wnd == dialogs[2].wnd) {
        if (dialogs[0].wnd != NULL && dialogs[1].wnd != NULL && state == MSNRUN_CONFIRM_CONFIRMED) {
            Unsubclass(2, wnd);
            ForgetDialog(2);
            SetState(MSNRUN_CONFIRM_CLOSED);
        } else {
            FailRun(8);
        }
    }
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(NULL, code, wParam, lParam);
    LONG state = g_run.state;
    if (state == MSNRUN_ENDED || state == MSNRUN_COMPLETED) {
        LRESULT result = CallNextHookEx(NULL, code, wParam, lParam);
        Cleanup();
        return result;
    }
    if (code == HCBT_CREATEWND)
        OnCreateWindow(reinterpret_cast<HWND>(wParam));
    else if (code == HCBT_DESTROYWND)
        OnDestroyWindow(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// --- starting a run ------------------------------------------------------------

struct OWNEDPOPUPQUERY
{
    HWND owner;
    bool found;
};

BOOL CALLBACK FindVisibleOwnedPopup(HWND wnd, LPARAM lParam)
{
    OWNEDPOPUPQUERY* query = reinterpret_cast<OWNEDPOPUPQUERY*>(lParam);
    if (GetWindow(wnd, GW_OWNER) == query->owner && IsWindowVisible(wnd) &&
        (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_POPUP) != 0) {
        query->found = true;
        return FALSE;
    }
    return TRUE;
}

// The conversation takes the menu command only when it shows its surface, is
// enabled and has no popup of its own open (a file prompt, say, would get our
// dialogs stacked behind it).
bool IsConversationReady(HWND conversation)
{
    if (FindWindowExA(conversation, NULL, "DirectUIHWND", NULL) == NULL)
        return false;
    if (!IsWindowEnabled(conversation))
        return false;
    OWNEDPOPUPQUERY query = {conversation, false};
    EnumThreadWindows(GetWindowThreadProcessId(conversation, NULL), FindVisibleOwnedPopup,
                      reinterpret_cast<LPARAM>(&query));
    return !query.found;
}

}

extern "C" int SendMsnSmilie(HWND conversation, const WCHAR* picturePath, int shortcutIndex, HWND notifyWindow,
                             UINT notifyMessage, int* error)
{
    int ignored;
    if (error == NULL)
        error = &ignored;
    if (g_module == NULL) {
        *error = MSNSEND_NOT_ATTACHED;
        return 0;
    }
    if (IsRunLive()) {
        *error = MSNSEND_BUSY;
        return 0;
    }
    if (!IsWindow(conversation) || picturePath == NULL || picturePath[0] == 0 || !IsWindow(notifyWindow)) {
        *error = MSNSEND_BAD_ARGUMENT;
        return 0;
    }
    if (!IsConversationReady(conversation)) {
        *error = MSNSEND_NOT_READY;
        return 0;
    }

    int n = 0;
    for (; n < MAX_PATH - 1 && picturePath[n] != 0; n++)
        g_run.picturePath[n] = picturePath[n];
    g_run.picturePath[n] = 0;
    g_run.shortcutIndex = shortcutIndex < 0 ? 0 : shortcutIndex % 10;
    g_run.notifyWindow = notifyWindow;
    g_run.notifyMessage = notifyMessage;
    g_run.conversationThread = GetWindowThreadProcessId(conversation, NULL);
    RECT work;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        g_run.hideX = work.right;
        g_run.hideY = work.bottom;
    }
    for (int i = 0; i < kDialogCount; i++)
        ForgetDialog(i);

    // The hook may fire on the messenger's thread as soon as it is set, so the
    // run must already look live: an ended state would make it clean up at once.
    LONG previous = g_run.state;
    SetState(MSNRUN_WAIT_LIST);
    g_run.conversation = conversation;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CbtProc, g_module, g_run.conversationThread);
    if (hook == NULL) {
        g_run.conversation = NULL;
        g_run.notifyWindow = NULL;
        g_run.notifyMessage = 0;
        g_run.conversationThread = 0;
        SetState(previous);
        *error = MSNSEND_HOOK_FAILED;
        return 0;
    }
    g_run.hook = hook;

    SetForegroundWindow(conversation);
    PostMessageA(conversation, WM_COMMAND, ThisBuild().conversationCommand, 0);
    return 1;
}

extern "C" int GetState()
{
    return g_run.state;
}

// Ends whatever runs and returns the state it found. The popups of the
// conversation are closed only for a run that did not get its emoticon saved:
// after a completed run they are the user's own.
extern "C" int Cleanup()
{
    LONG found = g_run.state;
    if (found != MSNRUN_COMPLETED)
        SetState(MSNRUN_ENDED);
    NOTIFYTARGET notify;
    EndRun(found != MSNRUN_COMPLETED && found != MSNRUN_CONFIRM_CLOSED, &notify);
    return found;
}

extern "C" int IsVersionSupported(DWORD versionLS, DWORD versionMS)
{
    ULONGLONG version = (static_cast<ULONGLONG>(versionMS) << 32) | versionLS;
    const MSNBUILD& build = ThisBuild();
    for (int i = 0; i < build.versionCount; i++) {
        if (build.versions[i] == version)
            return 1;
    }
    return 0;
}

extern "C" int NeedMute()
{
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // Windows unloads the library from the messenger some time after the
        // hook is gone, possibly before a dialog still subclassed by us has had
        // another message: its next message would call into unloaded code.
        if (reserved == NULL) {
            for (int i = 0; i < kDialogCount; i++) {
                HWND wnd = g_run.dialogs[i].wnd;
                if (wnd != NULL && BelongsToThisProcess(wnd)) {
                    Unsubclass(i, wnd);
                    ForgetDialog(i);
                }
            }
        }
        // A program that lets go of the library in the middle of a run ends the
        // run and brings the dialogs it kept out of sight back into view. The
        // messenger's copy going away leaves the run to the program. Nothing
        // here may wait: the loader lock is held.
        HWND conversation = g_run.conversation;
        if (conversation != NULL && !BelongsToThisProcess(conversation)) {
            LONG found = Cleanup();
            if (found != MSNRUN_COMPLETED && found != MSNRUN_CONFIRM_CLOSED)
                CascadePopups(conversation);
        }
        g_module = NULL;
    }
    return TRUE;
}
