// The messenger hook libraries driving the messenger stand-in in a second
// process, as the program's exporter does: load the library for the run, call
// SendMsnSmilie with a window of ours to notify, wait for the completion
// message, call Cleanup, unload. The stand-in records what reached it.
#include "tests/tools/MsnStandInProcess.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"
#include <windows.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "msnhook/MsnHookApi.h"

namespace {

const DWORD kStartTimeout = 15000;
const DWORD kRunTimeout = 15000;

std::string Utf8(const wchar_t* text)
{
    char buf[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof(buf), NULL, NULL);
    return n > 0 ? std::string(buf) : std::string();
}

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

// One load of tarvenex_msnm6.dll or tarvenex_msnm7.dll with its exports bound by name.
class HookLibrary
{
public:
    explicit HookLibrary(int build) { Load(build); }
    ~HookLibrary() { Unload(); }

    void Load(int build)
    {
        char path[MAX_PATH];
        snprintf(path, sizeof(path), "%s\\dist\\tarvenex_msnm%d.dll", TVNX_BINARY_DIR, build);
        m_module = LoadLibraryA(path);
        if (m_module == NULL)
            return;
        Send = reinterpret_cast<PFN_SENDMSNSMILIE>(GetProcAddress(m_module, "SendMsnSmilie"));
        GetState = reinterpret_cast<PFN_GETSTATE>(GetProcAddress(m_module, "GetState"));
        Cleanup = reinterpret_cast<PFN_CLEANUP>(GetProcAddress(m_module, "Cleanup"));
        IsVersionSupported =
            reinterpret_cast<PFN_ISVERSIONSUPPORTED>(GetProcAddress(m_module, "IsVersionSupported"));
        NeedMute = reinterpret_cast<PFN_NEEDMUTE>(GetProcAddress(m_module, "NeedMute"));
    }
    void Unload()
    {
        if (m_module != NULL)
            FreeLibrary(m_module);
        m_module = NULL;
    }
    bool Bound() const { return m_module && Send && GetState && Cleanup && IsVersionSupported && NeedMute; }

    PFN_SENDMSNSMILIE Send = nullptr;
    PFN_GETSTATE GetState = nullptr;
    PFN_CLEANUP Cleanup = nullptr;
    PFN_ISVERSIONSUPPORTED IsVersionSupported = nullptr;
    PFN_NEEDMUTE NeedMute = nullptr;

private:
    HMODULE m_module = NULL;
};

// A hidden window of this thread that the library posts its completion message to.
class Notifier
{
public:
    Notifier()
    {
        message = RegisterWindowMessageA(MSNHOOK_COMPLETION_MESSAGE);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxMsnNotifyProbe";
        RegisterClassA(&wc);
        wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, this);
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Notifier() { DestroyWindow(wnd); }

    bool WaitForCompletion(DWORD timeoutMs)
    {
        return PumpUntil([this] { return count > 0; }, timeoutMs);
    }

    HWND wnd = NULL;
    UINT message = 0;
    int count = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        Notifier* self = reinterpret_cast<Notifier*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (self != NULL && msg == self->message) {
            self->count++;
            self->wParam = wParam;
            self->lParam = lParam;
            return 0;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
};

// The messenger stand-in in its own process, and what it recorded.
using StandIn = MsnStandInProcess;

int WorkAreaBottom()
{
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work.bottom;
}

// Neither of the stand-in's bystanders was commanded or moved.
void ExpectBystandersUntouched(const StandIn& standIn, bool keeperToo)
{
    for (const std::string& line : standIn.Lines()) {
        EXPECT_FALSE(StartsWith(line, "other ")) << line;
        if (keeperToo) {
            EXPECT_FALSE(StartsWith(line, "keeper ")) << line;
        }
    }
    EXPECT_TRUE(IsWindow(standIn.other));
    EXPECT_TRUE(IsWindow(standIn.keeper));
}

// *error of a SendMsnSmilie on no window: 2 while a run is still live, else 1.
int ErrorOnNoWindow(HookLibrary& lib, Notifier& notifier)
{
    int error = -1;
    EXPECT_EQ(lib.Send(NULL, L"C:\\x.png", 0, notifier.wnd, notifier.message, &error), 0);
    return error;
}

// --- exports without a run -----------------------------------------------------

TEST(MsnHookExports, VersionSupportAndMutePerBuild)
{
    struct Row
    {
        int build;
        WORD a, b, c, d;
        int expected;
    } rows[] = {
        {6, 6, 2, 205, 0, 1},  {6, 6, 2, 205, 1, 0},  {6, 6, 2, 204, 0, 0},  {6, 6, 0, 205, 0, 0},
        {6, 7, 0, 777, 0, 0},  {6, 0, 0, 0, 0, 0},    {7, 7, 0, 777, 0, 1},  {7, 7, 0, 813, 0, 1},
        {7, 7, 0, 778, 0, 0},  {7, 7, 0, 813, 1, 0},  {7, 7, 5, 777, 0, 0},  {7, 8, 0, 777, 0, 0},
        {7, 6, 2, 205, 0, 0},
    };
    for (int build : {6, 7}) {
        HookLibrary lib(build);
        ASSERT_TRUE(lib.Bound()) << "tarvenex_msnm" << build << ".dll";
        EXPECT_EQ(lib.NeedMute(), 1) << "build " << build;
        for (const Row& row : rows) {
            if (row.build != build)
                continue;
            DWORD ms = MAKELONG(row.b, row.a), ls = MAKELONG(row.d, row.c);
            EXPECT_EQ(lib.IsVersionSupported(ls, ms), row.expected)
                << "build " << build << ", version " << row.a << "." << row.b << "." << row.c << "." << row.d;
            EXPECT_EQ(lib.IsVersionSupported(ms, ls), 0) << "halves swapped, build " << build;
        }
    }
}

TEST(MsnHookRun, RefusesToStartWithoutWindowPathOrReadyConversation)
{
    struct Row
    {
        const char* name;
        const char* mode;
        int conversation;   // 0 none, 1 the stand-in's, 2 a handle that is no window
        const wchar_t* path;
        bool notify;
        int error;
    } rows[] = {
        {"no conversation", "ok", 0, L"C:\\a.png", true, 1},
        {"conversation not a window", "ok", 2, L"C:\\a.png", true, 1},
        {"no path", "ok", 1, nullptr, true, 1},
        {"empty path", "ok", 1, L"", true, 1},
        {"nothing to notify", "ok", 1, L"C:\\a.png", false, 1},
        {"a prompt of the conversation is open", "prompt", 1, L"C:\\a.png", true, 3},
        {"conversation without its surface", "nosurface", 1, L"C:\\a.png", true, 3},
        {"conversation disabled", "disabled", 1, L"C:\\a.png", true, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StandIn standIn(7, row.mode);
        ASSERT_TRUE(standIn.Ready());
        HookLibrary lib(7);
        ASSERT_TRUE(lib.Bound());
        Notifier notifier;
        HWND conversation = row.conversation == 1 ? standIn.conversation
                            : row.conversation == 2 ? reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7ff0))
                                                    : NULL;
        int error = -1;
        EXPECT_EQ(lib.Send(conversation, row.path, 0, row.notify ? notifier.wnd : NULL, notifier.message, &error),
                  0);
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(lib.GetState(), 0);
        ASSERT_TRUE(standIn.Sync());
        EXPECT_FALSE(standIn.Has("list open")) << "the conversation was sent its command";
        EXPECT_EQ(notifier.count, 0);
    }
}

// --- runs that succeed ---------------------------------------------------------

struct SuccessRow
{
    const char* name;
    int build;
    const char* mode;
    const wchar_t* path;
    int shortcutIndex;
    const char* shortcut;
};

// One successful run from load to unload; checks what arrived in the stand-in.
void ExpectSuccessfulRun(StandIn& standIn, HookLibrary& lib, const SuccessRow& row)
{
    Notifier notifier;
    int listsBefore = standIn.Count("list end 1");
    int error = -1;
    ASSERT_EQ(lib.Send(standIn.conversation, row.path, row.shortcutIndex, notifier.wnd, notifier.message, &error), 1)
        << "error " << error;
    ASSERT_TRUE(notifier.WaitForCompletion(kRunTimeout)) << "no completion; state " << lib.GetState();
    EXPECT_EQ(notifier.wParam, 1u);
    EXPECT_EQ(notifier.lParam, 0);
    EXPECT_EQ(lib.GetState(), 1) << "a completed run keeps its finished state";
    EXPECT_EQ(ErrorOnNoWindow(lib, notifier), 1) << "the ended run still counts as busy";
    ASSERT_TRUE(standIn.Sync());

    // The last "create" lines are this run's.
    std::vector<std::string> pictures, shortcuts;
    for (const std::string& line : standIn.Lines()) {
        if (StartsWith(line, "create picture="))
            pictures.push_back(line.substr(15));
        if (StartsWith(line, "create shortcut="))
            shortcuts.push_back(line.substr(16));
    }
    ASSERT_FALSE(pictures.empty());
    ASSERT_FALSE(shortcuts.empty());
    EXPECT_EQ(pictures.back(), Utf8(row.path));
    EXPECT_EQ(shortcuts.back(), row.shortcut);
    EXPECT_EQ(standIn.Count("list end 1"), listsBefore + 1) << "the emoticon list was not closed with OK";
    EXPECT_EQ(lib.Cleanup(), 1);
    EXPECT_EQ(lib.GetState(), 1);
    EXPECT_EQ(notifier.count, 1);
}

TEST(MsnHookRun, AddsTheEmoticonThroughEachBuildsDialogs)
{
    const SuccessRow rows[] = {
        {"messenger 6", 6, "ok", L"C:\\My Smilies\\wink 01.png", 12, "~c"},
        {"messenger 6 with confirmation", 6, "confirm", L"C:\\My Smilies\\grin.gif", 3, "~d"},
        {"messenger 7", 7, "ok", L"C:\\Smilies\\gr\u00fcn \u4e2d\u6587.gif", -3, "~a"},
        {"messenger 7 with confirmation", 7, "confirm", L"D:\\x\\y.png", 9, "~j"},
        {"messenger 7 passing over a dialog before its list", 7, "early", L"D:\\x\\z.png", 0, "~a"},
    };
    for (const SuccessRow& row : rows) {
        SCOPED_TRACE(row.name);
        StandIn standIn(row.build, row.mode);
        ASSERT_TRUE(standIn.Ready());
        {
            HookLibrary lib(row.build);
            ASSERT_TRUE(lib.Bound());
            ExpectSuccessfulRun(standIn, lib, row);
        }
        ASSERT_TRUE(standIn.Sync());
        EXPECT_EQ(standIn.Count("list open"), 1);
        if (strcmp(row.mode, "confirm") == 0) {
            EXPECT_TRUE(standIn.Has("confirm end 1"));
        }
        // The dialogs were worked below the visible work area.
        EXPECT_GE(atoi(standIn.Value("list top ").c_str()), WorkAreaBottom());
        EXPECT_GE(atoi(standIn.Value("create top ").c_str()), WorkAreaBottom());
        // After the library is gone, the user's other windows are as they were.
        ExpectBystandersUntouched(standIn, true);
    }
}

class MsnHookPerBuild : public ::testing::TestWithParam<int>
{
};

TEST_P(MsnHookPerBuild, TwoExportsInOneLoadAndAThirdAfterReload)
{
    const int build = GetParam();
    StandIn standIn(build, "ok");
    ASSERT_TRUE(standIn.Ready());
    {
        HookLibrary lib(build);
        ASSERT_TRUE(lib.Bound());
        ExpectSuccessfulRun(standIn, lib, {"first", build, "ok", L"C:\\s\\one.png", 0, "~a"});
        ExpectSuccessfulRun(standIn, lib, {"second in the same load", build, "ok", L"C:\\s\\two.png", 1, "~b"});
    }
    HookLibrary lib(build);
    ASSERT_TRUE(lib.Bound());
    ExpectSuccessfulRun(standIn, lib, {"third after a reload", build, "ok", L"C:\\s\\three.png", 2, "~c"});
    EXPECT_EQ(standIn.Count("list open"), 3);
    ExpectBystandersUntouched(standIn, true);
}

TEST_P(MsnHookPerBuild, CleanupInTheMiddleEndsTheRunAndClosesItsDialogs)
{
    const int build = GetParam();
    StandIn standIn(build, "stallonce");   // the list ignores its first "create" command
    ASSERT_TRUE(standIn.Ready());
    HookLibrary lib(build);
    ASSERT_TRUE(lib.Bound());
    Notifier notifier;
    int error = -1;
    ASSERT_EQ(lib.Send(standIn.conversation, L"C:\\s\\one.png", 0, notifier.wnd, notifier.message, &error), 1);
    ASSERT_TRUE(PumpUntil([&] { return lib.GetState() == 5; }, kRunTimeout)) << "state " << lib.GetState();
    ASSERT_TRUE(standIn.WaitFor("list ignores create"));

    error = -1;
    EXPECT_EQ(lib.Send(standIn.conversation, L"C:\\s\\two.png", 1, notifier.wnd, notifier.message, &error), 0);
    EXPECT_EQ(error, 2) << "a second run while one is going on";

    EXPECT_EQ(lib.Cleanup(), 5);
    EXPECT_EQ(lib.GetState(), -1);
    EXPECT_TRUE(standIn.WaitFor("list end 2")) << "the emoticon list was not cancelled";
    ASSERT_TRUE(standIn.Sync());
    EXPECT_FALSE(standIn.Has("other ")) << "a window outside the conversation was touched";
    EXPECT_EQ(notifier.count, 0) << "Cleanup posts no completion";

    // The ended run leaves nothing behind: the next one in the same load goes through.
    ExpectSuccessfulRun(standIn, lib, {"after Cleanup", build, "ok", L"C:\\s\\three.png", 4, "~e"});
}

// The program ends the run while the messenger has not yet handled a message of
// the dialog being driven; the program cannot put that dialog's procedure back
// from its own process. When Windows then lets go of the library in the
// messenger, the dialog must still work.
TEST_P(MsnHookPerBuild, MessengerUnloadingTheLibraryAfterCleanupKeepsItsDialogWorking)
{
    const int build = GetParam();
    StandIn standIn(build, "unloadmid");
    ASSERT_TRUE(standIn.Ready());
    {
        HookLibrary lib(build);
        ASSERT_TRUE(lib.Bound());
        Notifier notifier;
        int error = -1;
        ASSERT_EQ(lib.Send(standIn.conversation, L"C:\\s\\one.png", 0, notifier.wnd, notifier.message, &error), 1);
        ASSERT_TRUE(standIn.WaitFor("create waiting"));
        EXPECT_EQ(lib.Cleanup(), 6);
    }
    ASSERT_TRUE(standIn.Signal("TvnxStandInUnload"));
    ASSERT_TRUE(standIn.WaitFor("hook "));
    ASSERT_EQ(standIn.Value("hook "), "unloaded");
    EXPECT_TRUE(standIn.WaitFor("create end 2")) << "the create dialog did not survive the unload";
    EXPECT_TRUE(standIn.Sync()) << "the messenger stopped answering";
}

TEST(MsnHookRun, UnloadingInTheMiddleEndsTheRun)
{
    StandIn standIn(6, "stallonce");
    ASSERT_TRUE(standIn.Ready());
    {
        HookLibrary lib(6);
        ASSERT_TRUE(lib.Bound());
        Notifier notifier;
        int error = -1;
        ASSERT_EQ(lib.Send(standIn.conversation, L"C:\\s\\one.png", 0, notifier.wnd, notifier.message, &error), 1);
        ASSERT_TRUE(PumpUntil([&] { return lib.GetState() == 5; }, kRunTimeout)) << "state " << lib.GetState();
    }
    // The messenger still maps the library, so the run record lives on: the
    // unload must have ended the run for the next load to start one.
    EXPECT_TRUE(standIn.WaitFor("list end 2")) << "the emoticon list was not cancelled";
    HookLibrary lib(6);
    ASSERT_TRUE(lib.Bound());
    ExpectSuccessfulRun(standIn, lib, {"after the unload", 6, "ok", L"C:\\s\\two.png", 1, "~b"});
}

INSTANTIATE_TEST_SUITE_P(Builds, MsnHookPerBuild, ::testing::Values(6, 7),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Messenger" + std::to_string(info.param);
                         });

// --- runs that fail ------------------------------------------------------------

class MsnHookFailure : public ::testing::TestWithParam<int>
{
};

TEST_P(MsnHookFailure, ReportsTheFailingStepAndClosesTheRunsDialogs)
{
    const int build = GetParam();
    struct Row
    {
        const char* mode;   // what the stand-in does differently
        int code;
        const char* why;
        int onlyBuild;      // 0 both
        const char* closed; // what shows that the run's dialogs were closed; "list end" when null
    } rows[] = {
        {"nolist", 1, "the emoticon list lacks its list surface"},
        {"d2controls", 2, "the create dialog lacks its name field"},
        {"d3nocancel", 3, "the confirmation lacks its Cancel button"},
        {"duitwice", 4, "a second emoticon list appears instead of the create dialog", 7},
        {"stray", 5, "a dialog appears that fits no step"},
        // The list that broke the run was still being created: only the dialog
        // taken for the list is closed.
        {"early", 5, "a dialog appears just before the emoticon list", 6, "stray end"},
        {"d1closes", 6, "the emoticon list closes itself early"},
        {"d2vanish", 7, "the create dialog closes itself early"},
        {"d3vanish", 8, "the confirmation closes itself early"},
    };
    for (const Row& row : rows) {
        if (row.onlyBuild != 0 && row.onlyBuild != build)
            continue;
        SCOPED_TRACE(row.why);
        StandIn standIn(build, row.mode);
        ASSERT_TRUE(standIn.Ready());
        HookLibrary lib(build);
        ASSERT_TRUE(lib.Bound());
        Notifier notifier;
        int error = -1;
        ASSERT_EQ(lib.Send(standIn.conversation, L"C:\\s\\a.png", 0, notifier.wnd, notifier.message, &error), 1);
        ASSERT_TRUE(notifier.WaitForCompletion(kRunTimeout)) << "no completion; state " << lib.GetState();
        EXPECT_EQ(notifier.wParam, 0u);
        EXPECT_EQ(notifier.lParam, row.code);
        EXPECT_EQ(lib.GetState(), -1);
        EXPECT_EQ(ErrorOnNoWindow(lib, notifier), 1) << "the failed run still counts as busy";
        EXPECT_TRUE(standIn.WaitFor(row.closed ? row.closed : "list end")) << "the run's dialogs were left open";
        ASSERT_TRUE(standIn.Sync());
        EXPECT_EQ(lib.Cleanup(), -1);
        lib.Unload();
        ASSERT_TRUE(standIn.Sync());
        EXPECT_EQ(notifier.count, 1);
        ExpectBystandersUntouched(standIn, false);
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, MsnHookFailure, ::testing::Values(6, 7),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Messenger" + std::to_string(info.param);
                         });

}
