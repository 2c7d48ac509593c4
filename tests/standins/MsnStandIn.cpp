// A stand-in for the instant messenger, for the hook library's tests. It has a
// conversation window with the messenger's surface class and, on the messenger's
// menu command, the emoticon dialogs the library drives: the emoticon list, the
// "create" dialog (picture, shortcut, name, browse, OK, Cancel) and an optional
// confirmation. It imitates messenger 6 (an ordinary ANSI dialog around a list
// view) or messenger 7 (a Unicode "DUIDialog" around a "DirectUIHWND") and
// writes what happens to it, one line at a time, into a record file.
//
//   msn_standin.exe BUILD MODE RECORDFILE
//
// BUILD is 6 or 7. MODE is one of
//   ok          everything as the library expects
//   confirm     the create dialog's OK is followed by a confirmation (Yes/No)
//   nolist      the emoticon list lacks its list surface
//   d2controls  the create dialog lacks its name field (1425)
//   d3nocancel  a confirmation follows, with only a Yes button
//   duitwice    the list opens a second "DUIDialog" instead of the create dialog
//   stray       the list opens a dialog of its own (a tip) as it starts
//   early       the conversation opens a tip dialog just before the list
//   d1closes    the list closes itself on the command for a new emoticon
//   d2vanish    the create dialog closes itself while it starts
//   d3vanish    a confirmation follows and closes itself while it starts
//   stallonce   the first list this process opens ignores the command for a
//               new emoticon
//   prompt      the conversation shows a prompt of its own (visible, owned)
//   nosurface   the conversation lacks its "DirectUIHWND" surface
//   disabled    the conversation is disabled
//   unloadmid   the create dialog opens without running its loop and waits for
//               the test to set the event "TvnxStandInUnload<pid>" (after it
//               ended the run from its side); the stand-in then lets go of the
//               hook library, as Windows does once no hook needs it, and runs
//               the dialog until it closes
// The record starts with "ready CONVERSATION KEEPER OTHER" (window handles in
// decimal); posting WM_APP+1 with N to the conversation records "sync N".
//
// Besides the conversation the stand-in owns two popups the library must leave
// alone after a good run: "keeper", hidden and owned by the conversation, and
// "other", visible and owned by no one. Both record commands and moves.
#include <windows.h>
#include <commctrl.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

HINSTANCE g_inst;
int g_build = 7;
std::string g_mode = "ok";
std::string g_recordPath;
bool g_ready = false;
int g_listsOpened = 0;
bool g_createEnded = false;
HANDLE g_unloadEvent = NULL;

// What the messenger's build uses.
UINT MenuCommand() { return g_build == 6 ? 40257 : 40349; }
UINT CreateCommand() { return g_build == 6 ? 1420 : 2326; }

const UINT WM_STANDIN_SYNC = WM_APP + 1;   // the test's marker: recorded as "sync N"

bool Mode(const char* m) { return g_mode == m; }

void Record(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line, sizeof(line) - 2, format, args);
    va_end(args);
    if (n < 0)
        return;
    if (n > static_cast<int>(sizeof(line)) - 3)
        n = sizeof(line) - 3;
    line[n++] = '\r';
    line[n++] = '\n';
    HANDLE file = CreateFileA(g_recordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, n, &written, NULL);
    CloseHandle(file);
}

std::string Utf8(const wchar_t* text)
{
    char buf[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof(buf), NULL, NULL);
    return n > 0 ? std::string(buf) : std::string();
}

std::string ItemText(HWND dlg, int id)
{
    wchar_t text[512] = L"";
    GetDlgItemTextW(dlg, id, text, 512);
    return Utf8(text);
}

// --- dialog templates in memory -------------------------------------------------

class DlgTemplate
{
public:
    DlgTemplate(const wchar_t* title, short cx, short cy)
    {
        // Visible from the template, as resource dialogs usually are: the
        // dialog shows itself while it is created.
        Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE);
        Dword(0);
        m_countAt = m_words.size();
        m_words.push_back(0);
        Short(20); Short(20); Short(cx); Short(cy);
        m_words.push_back(0);   // no menu
        m_words.push_back(0);   // the dialog class
        String(title);
    }

    void Item(WORD atom, const wchar_t* className, int id, const wchar_t* text, DWORD style,
              short x, short y, short cx, short cy)
    {
        if (m_words.size() % 2)
            m_words.push_back(0);   // items start on a DWORD
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Short(x); Short(y); Short(cx); Short(cy);
        m_words.push_back(static_cast<WORD>(id));
        if (className) {
            String(className);
        } else {
            m_words.push_back(0xFFFF);
            m_words.push_back(atom);
        }
        String(text);
        m_words.push_back(0);   // no creation data
        m_words[m_countAt]++;
    }
    void Button(int id, const wchar_t* text, short x, short y) { Item(0x0080, NULL, id, text, WS_TABSTOP, x, y, 50, 14); }
    void Edit(int id, short x, short y) { Item(0x0081, NULL, id, L"", WS_BORDER | ES_AUTOHSCROLL, x, y, 150, 12); }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Dword(DWORD v) { m_words.push_back(LOWORD(v)); m_words.push_back(HIWORD(v)); }
    void Short(short v) { m_words.push_back(static_cast<WORD>(v)); }
    void String(const wchar_t* s)
    {
        while (*s)
            m_words.push_back(*s++);
        m_words.push_back(0);
    }

    std::vector<WORD> m_words;
    size_t m_countAt;
};

// The #32770 dialogs run through the A or W functions as the build's messenger
// does, so the library meets an ANSI dialog in the messenger 6 build and a
// Unicode one in the messenger 7 build.
INT_PTR RunDialog(const DlgTemplate& t, HWND owner, DLGPROC proc)
{
    if (g_build == 6)
        return DialogBoxIndirectParamA(g_inst, t.Get(), owner, proc, 0);
    return DialogBoxIndirectParamW(g_inst, t.Get(), owner, proc, 0);
}

void EndWithRecord(HWND dlg, const char* name, INT_PTR code)
{
    Record("%s end %d", name, static_cast<int>(code));
    if (strcmp(name, "create") == 0)
        g_createEnded = true;
    EndDialog(dlg, code);
}

INT_PTR CALLBACK StrayProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        Record("stray end %d", LOWORD(wParam));
        DestroyWindow(dlg);
        return TRUE;
    }
    return FALSE;
}

void OpenStray(HWND owner)
{
    DlgTemplate t(L"Tip", 120, 50);
    t.Button(IDOK, L"OK", 35, 30);
    if (g_build == 6)
        CreateDialogIndirectParamA(g_inst, t.Get(), owner, StrayProc, 0);
    else
        CreateDialogIndirectParamW(g_inst, t.Get(), owner, StrayProc, 0);
}

// --- confirmation ---------------------------------------------------------------

INT_PTR CALLBACK ConfirmProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (Mode("d3vanish"))
            EndWithRecord(dlg, "confirm", IDABORT);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndWithRecord(dlg, "confirm", LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR OpenConfirm(HWND owner)
{
    DlgTemplate t(L"Replace emoticon", 160, 60);
    t.Item(0x0082, NULL, -1, L"An emoticon with this shortcut exists. Replace it?", 0, 5, 5, 150, 20);
    t.Button(IDOK, L"Yes", 20, 40);
    if (!Mode("d3nocancel"))
        t.Button(IDCANCEL, L"No", 90, 40);
    Record("confirm open");
    return RunDialog(t, owner, ConfirmProc);
}

bool WantsConfirmation()
{
    return Mode("confirm") || Mode("d3nocancel") || Mode("d3vanish");
}

// --- the "create" dialog --------------------------------------------------------

INT_PTR CALLBACK CreateProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (Mode("d2vanish"))
            EndWithRecord(dlg, "create", IDABORT);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            RECT rc;
            GetWindowRect(dlg, &rc);
            Record("create top %ld", rc.top);
            Record("create picture=%s", ItemText(dlg, 1419).c_str());
            Record("create shortcut=%s", ItemText(dlg, 1417).c_str());
            if (WantsConfirmation() && OpenConfirm(dlg) != IDOK)
                return TRUE;   // back to the dialog, as after "No"
            EndWithRecord(dlg, "create", IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndWithRecord(dlg, "create", IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void FillCreate(DlgTemplate& t)
{
    t.Item(0x0082, NULL, -1, L"Picture:", 0, 5, 5, 50, 10);
    t.Edit(1419, 60, 5);
    t.Button(1418, L"Browse...", 60, 20);
    t.Item(0x0082, NULL, -1, L"Shortcut:", 0, 5, 40, 50, 10);
    t.Edit(1417, 60, 40);
    if (!Mode("d2controls")) {
        t.Item(0x0082, NULL, -1, L"Name:", 0, 5, 60, 50, 10);
        t.Edit(1425, 60, 60);
    }
    t.Button(IDOK, L"OK", 100, 90);
    t.Button(IDCANCEL, L"Cancel", 160, 90);
}

void OpenCreate(HWND owner)
{
    DlgTemplate t(L"Create an emoticon", 220, 110);
    FillCreate(t);
    Record("create open");
    RunDialog(t, owner, CreateProc);
}

// The create dialog of "unloadmid": created, then left without a message until
// the test has ended the run; then the hook library goes away in this process
// and the dialog gets its messages.
void OpenCreateThenDropHook(HWND owner)
{
    DlgTemplate t(L"Create an emoticon", 220, 110);
    FillCreate(t);
    Record("create open");
    HWND dlg = g_build == 6 ? CreateDialogIndirectParamA(g_inst, t.Get(), owner, CreateProc, 0)
                            : CreateDialogIndirectParamW(g_inst, t.Get(), owner, CreateProc, 0);
    Record("create waiting");
    WaitForSingleObject(g_unloadEvent, 10000);
    const char* library = g_build == 6 ? "tarvenex_msnm6.dll" : "tarvenex_msnm7.dll";
    if (HMODULE hook = GetModuleHandleA(library))
        FreeLibrary(hook);
    Record("hook %s", GetModuleHandleA(library) != NULL ? "still loaded" : "unloaded");
    MSG msg;
    for (DWORD start = GetTickCount(); !g_createEnded && GetTickCount() - start < 10000;) {
        if (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        }
    }
    DestroyWindow(dlg);
}

// GWLP_USERDATA of a "DUIDialog": 0 while its modal loop runs, 1 once it is to
// end, 2 for a list that runs no loop of its own (and is destroyed at once).
const LONG_PTR kListEnding = 1;
const LONG_PTR kListWithoutLoop = 2;

// What the emoticon list does with its command for a new emoticon.
void OnCreateCommand(HWND list, void (*endList)(HWND, INT_PTR))
{
    RECT rc;
    GetWindowRect(list, &rc);
    Record("list top %ld", rc.top);
    if (Mode("d1closes")) {
        endList(list, IDABORT);
    } else if (Mode("stallonce") && g_listsOpened == 1) {
        Record("list ignores create");
    } else if (Mode("duitwice")) {
        Record("list opens a second list");
        HWND second = CreateWindowExW(0, L"DUIDialog", L"Emoticons", WS_POPUP | WS_CAPTION, 200, 200, 200, 100,
                                      list, NULL, g_inst, NULL);
        SetWindowLongPtrW(second, GWLP_USERDATA, kListWithoutLoop);
    } else if (Mode("unloadmid")) {
        OpenCreateThenDropHook(list);
    } else {
        OpenCreate(list);
    }
}

// --- the emoticon list: messenger 6 -------------------------------------------------

void EndList6(HWND dlg, INT_PTR code)
{
    EndWithRecord(dlg, "list", code);
}

INT_PTR CALLBACK List6Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (Mode("stray"))
            OpenStray(dlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == CreateCommand()) {
            OnCreateCommand(dlg, EndList6);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndList6(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void OpenList6(HWND owner)
{
    DlgTemplate t(L"My Emoticons", 240, 150);
    if (!Mode("nolist"))
        t.Item(0, L"SysListView32", 100, L"", WS_BORDER | LVS_ICON, 5, 5, 230, 110);
    t.Button(CreateCommand(), L"Create...", 5, 125);
    t.Button(IDOK, L"OK", 120, 125);
    t.Button(IDCANCEL, L"Cancel", 180, 125);
    RunDialog(t, owner, List6Proc);
}

// --- the emoticon list: messenger 7 -------------------------------------------------

void EndList7(HWND wnd, INT_PTR code)
{
    Record("list end %d", static_cast<int>(code));
    if (GetWindowLongPtrW(wnd, GWLP_USERDATA) == kListWithoutLoop)
        DestroyWindow(wnd);
    else
        SetWindowLongPtrW(wnd, GWLP_USERDATA, kListEnding);
}

LRESULT CALLBACK List7Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        if (Mode("stray"))
            OpenStray(wnd);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == CreateCommand()) {
            OnCreateCommand(wnd, EndList7);
            return 0;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndList7(wnd, LOWORD(wParam));
            return 0;
        }
        break;
    case WM_CLOSE:
        EndList7(wnd, IDCANCEL);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

void OpenList7(HWND owner)
{
    HWND list = CreateWindowExW(0, L"DUIDialog", L"My Emoticons", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                150, 150, 320, 220, owner, NULL, g_inst, NULL);
    if (list == NULL)
        return;
    if (!Mode("nolist"))
        CreateWindowExW(0, L"DirectUIHWND", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 180, list, NULL, g_inst, NULL);
    // Modal like the messenger's own: the conversation is disabled meanwhile.
    EnableWindow(owner, FALSE);
    MSG msg;
    while (IsWindow(list) && GetWindowLongPtrW(list, GWLP_USERDATA) != kListEnding && GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EnableWindow(owner, TRUE);
    if (IsWindow(list))
        DestroyWindow(list);
}

// --- the conversation and its neighbours ----------------------------------------------

LRESULT CALLBACK ConversationProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == MenuCommand()) {
            g_listsOpened++;
            if (Mode("early"))
                OpenStray(wnd);
            Record("list open");
            if (g_build == 6)
                OpenList6(wnd);
            else
                OpenList7(wnd);
            return 0;
        }
        break;
    case WM_STANDIN_SYNC:
        Record("sync %d", static_cast<int>(wParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(wnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

// "keeper" and "other": they only record what reaches them once the stand-in is ready.
LRESULT CALLBACK BystanderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_ready) {
        char name[32] = "";
        GetWindowTextA(wnd, name, sizeof(name));
        if (msg == WM_COMMAND)
            Record("%s command %d", name, LOWORD(wParam));
        else if (msg == WM_WINDOWPOSCHANGED && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOMOVE))
            Record("%s moved %d,%d", name, reinterpret_cast<WINDOWPOS*>(lParam)->x,
                   reinterpret_cast<WINDOWPOS*>(lParam)->y);
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

void Register(const wchar_t* name, WNDPROC proc)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = g_inst;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

HWND Bystander(const wchar_t* name, HWND owner, DWORD visible, int x, int y)
{
    HWND wnd = CreateWindowExW(0, L"TvnxStandInBystander", name, WS_POPUP | WS_CAPTION | visible, x, y, 160, 80,
                               owner, NULL, g_inst, NULL);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 5, 5, 60, 20, wnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), g_inst, NULL);
    CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE, 70, 5, 60, 20, wnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), g_inst, NULL);
    return wnd;
}

unsigned long long Handle(HWND wnd)
{
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(wnd));
}

}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int)
{
    g_inst = instance;
    char mode[64] = "";
    int consumed = 0;
    if (sscanf(cmdLine, "%d %63s %n", &g_build, mode, &consumed) < 2 || consumed <= 0)
        return 2;
    g_mode = mode;
    g_recordPath = cmdLine + consumed;

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    Register(L"TvnxStandInConversation", ConversationProc);
    Register(L"DirectUIHWND", PlainProc);
    Register(L"DUIDialog", List7Proc);
    Register(L"TvnxStandInBystander", BystanderProc);

    HWND conversation = CreateWindowExW(0, L"TvnxStandInConversation", L"Conversation",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, NULL, NULL,
                                        instance, NULL);
    if (conversation == NULL)
        return 3;
    if (!Mode("nosurface"))
        CreateWindowExW(0, L"DirectUIHWND", L"", WS_CHILD | WS_VISIBLE, 0, 0, 380, 250, conversation, NULL,
                        instance, NULL);
    if (Mode("disabled"))
        EnableWindow(conversation, FALSE);
    if (Mode("unloadmid")) {
        char name[64];
        snprintf(name, sizeof(name), "TvnxStandInUnload%lu", GetCurrentProcessId());
        g_unloadEvent = CreateEventA(NULL, TRUE, FALSE, name);
    }
    if (Mode("prompt"))
        Bystander(L"prompt", conversation, WS_VISIBLE, 150, 150);
    HWND keeper = Bystander(L"keeper", conversation, 0, 650, 150);
    HWND other = Bystander(L"other", NULL, WS_VISIBLE, 650, 400);
    g_ready = true;
    Record("ready %llu %llu %llu", Handle(conversation), Handle(keeper), Handle(other));

    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
