// Pasting smilies into another program, through real windows on the tests'
// virtual desktop (tests/tools/StandInTarget.h): the test holds the data
// source and pumps while the stand-in target pastes; each row is a scenario
// and what the stand-in logged.
#include "delivery/Insertion.h"

#include "collection/CheckUrl.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "delivery/ForeignWindows.h"
#include "delivery/MessengerRequest.h"
#include "delivery/ShiftInsert.h"
#include "delivery/TvFieldDataSource.h"
#include "dialogs/Notices.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/ForeignFocus.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "services/ChangeTracking.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Registered.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "services/TickCount.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/delivery/gui/FakeHtmlDocument.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "tests/tools/StandInTarget.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// ---- the program's side -------------------------------------------------------------------

// A 4 by 3 picture, 24 bits per pixel.
Bytes SmallBmp()
{
    Bytes b;
    auto put16 = [&](WORD v) { b.push_back(BYTE(v)); b.push_back(BYTE(v >> 8)); };
    auto put32 = [&](DWORD v) { put16(WORD(v)); put16(WORD(v >> 16)); };
    b.push_back('B');
    b.push_back('M');
    put32(14 + 40 + 36);
    put32(0);
    put32(14 + 40);
    put32(40);
    put32(4);
    put32(3);
    put16(1);
    put16(24);
    put32(BI_RGB);
    put32(36);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int i = 0; i < 36; i++)
        b.push_back(BYTE(i * 7));
    return b;
}

// Records what the program's own windows get: the field window the messenger
// requests, the tray window the connection probe's end.
std::vector<LPARAM> g_exportRequests;
int g_nProbeEnds = 0;
LRESULT CALLBACK ProgramWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_EXPORTTOMESSENGER) {
        g_exportRequests.push_back(lParam);
        return 0;
    }
    if (msg == WM_DOWNLOADDONE) {
        g_nProbeEnds++;
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

DWORD g_nNow = 100000;
DWORD WINAPI FakeTickCount()
{
    return g_nNow;
}

class CQuestionAnswerer : public CModalAnswerer
{
public:
    explicit CQuestionAnswerer(std::function<void()> onAsked) : m_onAsked(onAsked)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CQuestionAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog*) override
    {
        nAsked++;
        m_onAsked();
        return IDCANCEL;
    }
    int nAsked = 0;

private:
    std::function<void()> m_onAsked;
    CModalAnswerer* m_pPrevious;
};

// Everything a delivery needs, made and undone on the desktop thread.
class Program
{
public:
    Program()
    {
        RegisterControlMessages();
        m_language.Set(421, "a local smilie");
        m_language.Set(420, "local smilies");
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        g_Settings.InsertLocalSmilies = 1;
        g_Settings.WarnNoInternetConnection = 0;
        g_Settings.EudoraOnly = 0;
        m_pFuncs = new CExportedFuncs;
        m_pPreviousFuncs = g_pExportedFuncs;
        g_pExportedFuncs = m_pFuncs;
        m_pfnPreviousTick = g_pfnGetTickCount;
        g_pfnGetTickCount = FakeTickCount;
        CCheckUrl::s_strProbeUrl = "http://127.0.0.1:9/probe.htm";

        TestCollection c;
        c.records.push_back(Rec(1, "grin.bmp", SmallBmp()));
        const std::string path = m_dir.Path("c.tvnx");
        EXPECT_TRUE(WriteBytes(path, c.Build()));
        EXPECT_EQ(CTvnxSave::openOk, m_file.OpenCollection(path.c_str(), FALSE, 0));
        g_pCollectionFile = &m_file;
        m_cache.Reset();
        g_pImgCache = &m_cache;
        strcpy(m_szSavedTemp, g_TempFolder);
        strcpy(g_TempFolder, m_temp.Dir().c_str());

        m_local.m_nImageRecord = 1;
        m_web.m_nImageRecord = 1;
        m_web.SetSource("http://127.0.0.1:9/grin.gif");
        m_web.m_strPhrase = "[grin]";
        m_phrase.m_strPhrase = "Hello there";

        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProgramWndProc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxInsertionTestWindow";
        ::RegisterClassA(&wc);
        hTray = ::CreateWindowExA(0, wc.lpszClassName, "tray", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        hField = ::CreateWindowExA(0, wc.lpszClassName, "field", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 200,
                                   150, NULL, NULL, NULL, NULL);
        SetMainWindow(NULL);
        SetTrayWindow(hTray);
        g_exportRequests.clear();
        g_nProbeEnds = 0;
        g_TheBatVersion = 0;
        g_bChangeTracking = FALSE;
    }
    ~Program()
    {
        ::OleSetClipboard(NULL);
        CloseNotices();
        CCheckUrl::CancelProbes();
        SetForeignTarget(NULL);
        SetTrayWindow(NULL);
        ::DestroyWindow(hField);
        ::DestroyWindow(hTray);
        g_TheBatVersion = 0;
        g_pfnGetTickCount = m_pfnPreviousTick;
        g_pExportedFuncs = m_pPreviousFuncs;
        delete m_pFuncs;
        strcpy(g_TempFolder, m_szSavedTemp);
        g_pImgCache = nullptr;
        m_cache.RemoveAll();
        g_pCollectionFile = nullptr;
        m_file.Close();
        ClearMessengerRequest();
    }

    static void CloseNotices()
    {
        std::vector<HWND> windows;
        for (int i = 0; i < g_EudoraNotices.GetSize(); i++)
            windows.push_back(g_EudoraNotices[i]->m_hWnd);
        for (int i = 0; i < g_HtmlOffNotices.GetSize(); i++)
            windows.push_back(g_HtmlOffNotices[i]->m_hWnd);
        for (int i = 0; i < g_UnsupportedNotices.GetSize(); i++)
            windows.push_back(g_UnsupportedNotices[i]->m_hWnd);
        for (int i = 0; i < g_NoInetNotices.GetSize(); i++)
            windows.push_back(g_NoInetNotices[i]->m_hWnd);
        for (HWND h : windows)
            if (::IsWindow(h))
                ::DestroyWindow(h);
        PumpPending();
    }

    CSequence<CSmilie*> One(CSmilie* p)
    {
        CSequence<CSmilie*> s;
        s.Add(p);
        return s;
    }

    std::string TempFolder() const { return m_temp.Dir(); }

    CSmilie m_local;    // a picture of the collection, no web address
    CSmilie m_web;      // the same picture with its web address
    CSmilie m_phrase;   // a text-only smilie
    HWND hTray = NULL;
    HWND hField = NULL;

private:
    CNumberedLanguage m_language;
    TvnxTempDir m_dir;
    TvnxTempDir m_temp;
    CTvnxSave m_file;
    CImgCache m_cache;
    char m_szSavedTemp[MAX_PATH] = "";
    CExportedFuncs* m_pFuncs = nullptr;
    CExportedFuncs* m_pPreviousFuncs = nullptr;
    PFN_GETTICKCOUNT m_pfnPreviousTick = nullptr;
};

// Pastes into the stand-in as a click in a field does: the remembered window
// is the stand-in's focused child. 1 when the paste was triggered and the
// stand-in finished it.
bool Paste(Program& program, TargetProcess& target, CSmilie* pSmilie, HWND hRemembered = NULL)
{
    // The user just clicked a field: the program is in front.
    ::SetForegroundWindow(program.hField);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == program.hField; }, 5000));
    SetForeignTarget(hRemembered != NULL ? hRemembered : target.input);
    CSequence<CSmilie*> smilies = program.One(pSmilie);
    if (!InsertIntoWindow(hRemembered != NULL ? hRemembered : target.input, &smilies, program.hField)) {
        ADD_FAILURE() << "the paste was not triggered";
        return false;
    }
    const bool bDone = PumpUntil([&] { return target.Has("pasted") || target.Has("open failed"); }, 5000);
    EXPECT_TRUE(bDone) << "the stand-in did not paste";
    EXPECT_FALSE(target.Has("open failed"));
    return bDone;
}

// ---- activation and keys ---------------------------------------------------------------------

TEST(Insertion, ActivatesTheRememberedWindowOrItsBrowserChild)
{
    OnVirtualDesktop([] {
        Program program;
        const struct
        {
            const char* exe;
            const char* focused;   // where the keys must arrive
        } rows[] = {
            {"msimn.exe", "TvnxTargetInput"},       {"winmail.exe", "TvnxTargetInput"},
            {"OUTLOOK.EXE", "TvnxTargetInput"},     {"incredimail.exe", "TvnxTargetInput"},
            {"incmail.exe", "TvnxTargetInput"},     {"IEXPLORE.EXE", "Internet Explorer_Server"},
            {"someeditor.exe", "Internet Explorer_Server"},
        };
        for (const auto& r : rows) {
            SCOPED_TRACE(r.exe);
            TargetProcess target(r.exe, 0, 0, "browser", {"#1"});
            if (!Paste(program, target, &program.m_phrase))
                continue;
            EXPECT_TRUE(target.Has(std::string("focus ") + r.focused));
            std::string text;
            EXPECT_TRUE(target.Format("#1", &text));
            EXPECT_EQ(std::string("Hello there", 12), text);
            ::OleSetClipboard(NULL);
        }
    });
}

TEST(Insertion, ShiftInsertArrivesInTheFocusedChildAndCountsOneUse)
{
    OnVirtualDesktop([] {
        Program program;
        TargetProcess target("notepad.exe", 5, 1, "plain", {"#1", "HTML Format", "#8"});
        const DWORD nUses = program.m_local.m_nUsageCount;
        g_bChangeTracking = TRUE;
        g_bCollectionChanged = FALSE;
        ASSERT_TRUE(Paste(program, target, &program.m_local));
        ASSERT_TRUE(target.WaitFor("key TvnxTargetInput up 10 shift=0"));
        const std::vector<std::string> expected = {
            "key TvnxTargetInput down 10 shift=1", "key TvnxTargetInput down 2D shift=1",
            "focus TvnxTargetInput", "format #1 data 61206c6f63616c20736d696c696500",
            "format HTML Format none", "format #8 none", "pasted",
            "key TvnxTargetInput up 2D shift=1", "key TvnxTargetInput up 10 shift=0"};
        std::vector<std::string> got;
        for (const std::string& l : target.Lines())
            if (l.compare(0, 6, "ready ") != 0)
                got.push_back(l);
        EXPECT_EQ(expected, got);
        EXPECT_EQ(nUses + 1, program.m_local.m_nUsageCount) << "one use per delivery, however often it is asked";
        EXPECT_TRUE(g_bCollectionChanged);
        g_bChangeTracking = FALSE;
    });
}

TEST(Insertion, ClipboardHeldOpenByAnotherProgramDoesNothing)
{
    OnVirtualDesktop([] {
        Program program;
        TargetProcess holder("holder.exe", 0, 0, "holdclip", {});
        ASSERT_TRUE(holder.WaitFor("holding"));
        TargetProcess target("notepad.exe", 0, 0, "plain", {"#1"});
        SetForeignTarget(target.input);
        CSequence<CSmilie*> smilies = program.One(&program.m_phrase);
        const DWORD nUses = program.m_phrase.m_nUsageCount;
        EXPECT_EQ(0, InsertIntoWindow(target.input, &smilies, program.hField));
        EXPECT_EQ(nUses, program.m_phrase.m_nUsageCount);
        for (const std::string& l : target.Lines())
            EXPECT_EQ(std::string::npos, l.find("key ")) << l;
    });
}

// A target on a thread of its own that notes, when it is activated, the time
// of the last message its thread took from its queue. Wine's X11 driver moves
// the X input focus with that time; one from before the click on the field
// is older than the focus the click gave us, and the X server ignores it.
struct IdleTarget
{
    HDESK hDesk = NULL;
    HWND hWnd = NULL;
    HANDLE hThread = NULL;
    HANDLE hReady = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    volatile LONG nActivatedAt = 0;
    volatile LONG bActivated = 0;

    static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        IdleTarget* self = reinterpret_cast<IdleTarget*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && self != NULL) {
            self->nActivatedAt = ::GetMessageTime();
            self->bActivated = 1;
        }
        return ::DefWindowProcA(hWnd, msg, wParam, lParam);
    }
    static DWORD WINAPI Run(LPVOID p)
    {
        IdleTarget* self = static_cast<IdleTarget*>(p);
        ::SetThreadDesktop(self->hDesk);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxIdleTarget";
        ::RegisterClassA(&wc);
        self->hWnd = ::CreateWindowExA(0, wc.lpszClassName, "idle target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                       300, 200, NULL, NULL, wc.hInstance, NULL);
        ::SetWindowLongPtrA(self->hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ::SetEvent(self->hReady);
        MSG msg;
        while (::GetMessageA(&msg, NULL, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        ::UnregisterClassA(wc.lpszClassName, wc.hInstance);
        return 0;
    }
    IdleTarget()
    {
        hDesk = ::GetThreadDesktop(::GetCurrentThreadId());
        hThread = ::CreateThread(NULL, 0, Run, this, 0, NULL);
        ::WaitForSingleObject(hReady, 10000);
    }
    ~IdleTarget()
    {
        if (::IsWindow(hWnd))
            ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        if (hThread != NULL) {
            ::PostThreadMessageA(::GetThreadId(hThread), WM_QUIT, 0, 0);
            PumpUntil([this] { return ::WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0; }, 5000);
            ::CloseHandle(hThread);
        }
        ::CloseHandle(hReady);
    }
};

TEST(Insertion, TheTargetIsActivatedWithAMessageTimeAfterTheClick)
{
    OnVirtualDesktop([] {
        IdleTarget target;
        ASSERT_TRUE(::IsWindow(target.hWnd));
        Program program;
        // The user clicks a field: the program comes to the front, the
        // target's thread waits idle meanwhile.
        ::SetForegroundWindow(program.hField);
        ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == program.hField; }, 5000));
        target.bActivated = 0;
        PumpUntil([] { return false; }, 300);
        const DWORD nClick = ::GetTickCount();
        ASSERT_EQ(1, ActivateForeignWindow(target.hWnd, kForegroundTimeout));
        ASSERT_TRUE(PumpUntil([&] { return target.bActivated != 0; }, 5000));
        // A tick or two of slack between the clocks; the idle wait is far longer.
        EXPECT_GE(LONG(DWORD(target.nActivatedAt) - nClick), -50)
            << "the target's last message is from " << LONG(nClick - DWORD(target.nActivatedAt)) << " ms before the switch";
    });
}

// ---- the rendering rules --------------------------------------------------------------------

enum SmilieKind { kLocal, kWeb, kPhrase };

struct RuleRow
{
    const char* name;
    const char* exe;
    WORD major, minor;
    const char* scenario;
    SmilieKind smilie;
    std::vector<std::string> formats;
    std::vector<const char*> results;   // per format: "none", "data", or the exact text
    const char* notice;                 // "", "unsupported:NAME", "eudora", "htmloff:NAME"
    bool eudoraOnly;
};

std::string NoticesNow()
{
    std::string s;
    for (int i = 0; i < g_UnsupportedNotices.GetSize(); i++)
        s += "unsupported:" + std::string(g_UnsupportedNotices[i]->m_strAppName.GetString()) + ";";
    for (int i = 0; i < g_EudoraNotices.GetSize(); i++)
        s += "eudora;";
    for (int i = 0; i < g_HtmlOffNotices.GetSize(); i++)
        s += "htmloff:" + std::string(g_HtmlOffNotices[i]->m_strAppName.GetString()) + ";";
    return s;
}

TEST(Insertion, RenderingRulesByTargetProgram)
{
    const RuleRow rows[] = {
        {"Eudora 6.1 cannot take smilies", "eudora.exe", 6, 1, "plain", kLocal, {"HTML Format", "#1"},
         {"none", "none"}, "unsupported:Eudora 6.1", false},
        {"Eudora 6.0 takes the sized fragment", "eudora.exe", 6, 0, "plain", kLocal, {"HTML Format"}, {"data"}, "",
         false},
        {"Eudora 5 without EudoraOnly", "eudora.exe", 5, 0, "plain", kLocal, {"#8"}, {"none"}, "eudora", false},
        {"Eudora 5 with EudoraOnly", "eudora.exe", 5, 0, "plain", kLocal, {"#8", "#1"}, {"data", "none"}, "", true},
        {"Outlook 2003 asking text of a picture", "outlook.exe", 11, 0, "plain", kLocal, {"#1"}, {"none"},
         "htmloff:Outlook 2003", false},
        {"Outlook 2007 asking text of a picture", "outlook.exe", 12, 0, "plain", kLocal, {"#1"},
         {"a local smilie"}, "", false},
        {"ICQ and a picture, asked three times", "icq.exe", 0, 0, "plain", kLocal, {"#1", "#1", "#1"},
         {"none", "none", "none"}, "unsupported:ICQ", false},
        {"ICQ and a phrase", "icq.exe", 0, 0, "plain", kPhrase, {"#1"}, {"Hello there"}, "", false},
        {"The Bat! 3.5 from the registry", "thebat.exe", 0, 0, "plain", kLocal, {"#1", "#8"}, {"none", "data"}, "",
         false},
        {"Outlook Express compose with format bar", "msimn.exe", 6, 0, "compose", kLocal, {"HTML Format"}, {"data"},
         "", false},
        {"Outlook Express compose without format bar", "msimn.exe", 6, 0, "compose-nobar", kLocal, {"HTML Format"},
         {"data"}, "htmloff:Outlook Express", false},
    };
    OnVirtualDesktop([&] {
        for (const RuleRow& r : rows) {
            SCOPED_TRACE(r.name);
            Program program;
            g_Settings.EudoraOnly = r.eudoraOnly;
            // The Bat!'s registry value as start-up reads it.
            g_TheBatVersion = ULONGLONG((3u << 16) | 50u) << 32;
            TargetProcess target(r.exe, r.major, r.minor, r.scenario, r.formats);
            CSmilie* pSmilie = r.smilie == kLocal ? &program.m_local : r.smilie == kWeb ? &program.m_web
                                                                                       : &program.m_phrase;
            if (!Paste(program, target, pSmilie))
                continue;
            for (size_t i = 0; i < r.formats.size(); i++) {
                std::string bytes;
                int nSame = 0;
                for (size_t j = 0; j < i; j++)
                    nSame += r.formats[j] == r.formats[i];
                const bool bGot = target.Format(r.formats[i], &bytes, nSame);
                const std::string want = r.results[i];
                if (want == "none")
                    EXPECT_FALSE(bGot) << r.formats[i];
                else if (want == "data")
                    EXPECT_TRUE(bGot && !bytes.empty()) << r.formats[i];
                else
                    EXPECT_EQ(want + std::string(1, '\0'), bytes) << r.formats[i];
                if (bGot && r.formats[i] == "HTML Format") {
                    const CfHtml h = ReadCfHtml(bytes);
                    ASSERT_TRUE(h.ok) << bytes;
                    const std::string path = FromFileUrl(h.src);
                    EXPECT_EQ(0, _strnicmp(path.c_str(), program.TempFolder().c_str(), program.TempFolder().size()))
                        << path;
                    EXPECT_EQ(SmallBmp(), ReadBytes(path)) << "the temporary file holds the record's bytes";
                }
            }
            EXPECT_EQ(r.notice[0] != '\0' ? std::string(r.notice) + ";" : std::string(), NoticesNow());
        }
    });
}

TEST(Insertion, WindowsMailAdviceComesAfterTheRendering)
{
    OnVirtualDesktop([] {
        Program program;
        RegistrySandbox sandbox(HKEY_CURRENT_USER);
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail\\Mail", 0,
                                                   NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL));
        ::RegCloseKey(hKey);
        TargetProcess* pTarget = nullptr;
        bool bRenderedBefore = false;
        CQuestionAnswerer answerer([&] {
            std::string bytes;
            bRenderedBefore = pTarget != nullptr && pTarget->Format("HTML Format", &bytes);
        });
        TargetProcess target("winmail.exe", 6, 0, "compose", {"HTML Format"});
        pTarget = &target;
        ASSERT_TRUE(Paste(program, target, &program.m_local));
        ASSERT_TRUE(PumpUntil([&] { return answerer.nAsked > 0; }, 5000));
        EXPECT_EQ(1, answerer.nAsked);
        EXPECT_TRUE(bRenderedBefore) << "the question waits until the data was rendered";
    });
}

TEST(Insertion, MessengerGetsOneExportRequestAndAnEmptyText)
{
    OnVirtualDesktop([] {
        Program program;
        TargetProcess target("msnmsgr.exe", 6, 0, "plain", {"HTML Format", "#1", "#1"});
        ASSERT_TRUE(Paste(program, target, &program.m_local));
        std::string bytes;
        EXPECT_FALSE(target.Format("HTML Format", &bytes));
        ASSERT_TRUE(target.Format("#1", &bytes));
        EXPECT_EQ(std::string(1, '\0'), bytes);
        PumpUntil([] { return !g_exportRequests.empty(); }, 2000);
        PumpPending();
        ASSERT_EQ(1u, g_exportRequests.size());
        EXPECT_EQ(reinterpret_cast<LPARAM>(&g_MsnExportRequest), g_exportRequests[0]);
        EXPECT_EQ(kMsnExportRequestSize, g_MsnExportRequest.size);
        EXPECT_EQ(target.input, g_MsnExportRequest.window);
        EXPECT_STREQ("msnmsgr.exe", g_MsnExportRequest.app.exeName);
        EXPECT_EQ(6u, HIWORD(g_MsnExportRequest.app.FromMS()));
        EXPECT_EQ(4, g_MsnExportRequest.pictureWidth);
        EXPECT_EQ(3, g_MsnExportRequest.pictureHeight);
        EXPECT_EQ(SmallBmp(), ReadBytes(g_MsnExportRequest.picturePath));
    });
}

TEST(Insertion, AolGetsThePictureThroughItsDocumentOnce)
{
    OnVirtualDesktop([] {
        Program program;
        FakeDocumentLog log;
        {
            FakeDocumentLookup lookup(&log);
            TargetProcess target("waol.exe", 9, 5, "aol", {"HTML Format", "HTML Format", "#1"});
            ASSERT_TRUE(Paste(program, target, &program.m_local));
            std::string bytes;
            EXPECT_FALSE(target.Format("HTML Format", &bytes, 0));
            EXPECT_FALSE(target.Format("HTML Format", &bytes, 1));
            EXPECT_FALSE(target.Format("#1", &bytes));
        }
        EXPECT_EQ(1, log.nExecCalls);
        EXPECT_EQ(L"InsertImage", log.command);
        EXPECT_EQ(0u, log.argument.find(L"file://"));
        EXPECT_EQ(0, log.nLiveObjects);
    });
}

// A window of the program itself asks: only payloads without lists; a generic
// one reminds of the connection (the probe goes to the loopback address).
TEST(Insertion, OwnWindowGetsOnlyPayloadsWithoutLists)
{
    OnVirtualDesktop([] {
        Program program;
        g_Settings.WarnNoInternetConnection = 1;
        SetForeignTarget(program.hField);
        CSequence<CSmilie*> smilies = program.One(&program.m_web);
        ASSERT_EQ(1, PutSmiliesOnClipboard(&smilies, program.hField));
        const std::string out = TempDirFor("reader") + ".txt";
        const std::string exe = std::string(TVNX_BINARY_DIR) + "\\tests\\standins\\clip_reader.exe";
        std::string cmd = "\"" + exe + "\" \"" + out + "\" #1 \"HTML Format\" #8 \"Rich Text Format\"";
        STARTUPINFOA si = {sizeof(si)};
        si.lpDesktop = const_cast<char*>(kStandInDesktop);
        PROCESS_INFORMATION pi = {};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        ASSERT_TRUE(::CreateProcessA(exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
        EXPECT_TRUE(PumpUntil([&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 15000));
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        const Bytes b = ReadBytes(out);
        ::DeleteFileA(out.c_str());
        const std::string text(b.begin(), b.end());
        EXPECT_NE(std::string::npos, text.find("#1 data 5b6772696e5d00")) << text;   // "[grin]"
        EXPECT_NE(std::string::npos, text.find("HTML Format data ")) << text;
        EXPECT_NE(std::string::npos, text.find("#8 none")) << text;
        EXPECT_NE(std::string::npos, text.find("Rich Text Format none")) << text;
        // The generic payload is the fragment by web address.
        const size_t at = text.find("HTML Format data ");
        if (at != std::string::npos) {
            std::string html;
            const size_t end = text.find('\n', at);
            const std::string hex = text.substr(at + 17, end - at - 17);
            for (size_t i = 0; i + 1 < hex.size(); i += 2)
                html.push_back(char(std::stoi(hex.substr(i, 2), nullptr, 16)));
            const CfHtml h = ReadCfHtml(html);
            EXPECT_TRUE(h.ok) << html;
            EXPECT_EQ("Version:0.9", "Version:" + h.version);
            EXPECT_EQ("http://127.0.0.1:9/grin.gif", h.src);
        }
        EXPECT_TRUE(PumpUntil([] { return g_nProbeEnds > 0; }, 15000)) << "the connection probe ran";
        EXPECT_TRUE(NoticesNow().empty());
    });
}

// Payloads of one format with equal scores: the earliest wins; a later one
// must score higher.
TEST(Insertion, EqualScoresGiveTheEarliestPayload)
{
    OnVirtualDesktop([] {
        Program program;
        TargetProcess target("tvnxtarget.exe", 2, 5, "plain", {"#1"});
        struct
        {
            std::vector<std::pair<const char*, const char*>> payloads;   // (text, list)
            const char* expected;
        } rows[] = {
            {{{"first", "tvnxtarget.exe \t 0 \t NULL"}, {"second", "tvnxtarget.exe \t 0 \t NULL"}}, "first"},
            {{{"first", "tvnxtarget.exe \t 0 \t NULL"}, {"closer", "tvnxtarget.exe \t 2.0 - 3.0 \t NULL"}}, "closer"},
            {{{"nolist", nullptr}, {"other", "tvnxother.exe \t 0 \t NULL"}}, "nolist"},
            // Equal scores that a double holds only rounded: still a tie.
            {{{"first", "tvnxtarget.exe \t 2.0 - 3.0 \t NULL"}, {"second", "tvnxtarget.exe \t 2.0 - 3.0 \t NULL"}},
             "first"},
            {{{"first", "tvnxtarget.exe \t 1.3 - 7.7 \t NULL"}, {"second", "tvnxtarget.exe \t 1.3 - 7.7 \t NULL"},
              {"third", "tvnxtarget.exe \t 1.3 - 7.7 \t NULL"}},
             "first"},
        };
        for (const auto& r : rows) {
            CTvFieldDataSource* pSource = new CTvFieldDataSource;
            for (const auto& p : r.payloads) {
                CTvDataObject payload;
                payload.SetData(p.first, UINT(strlen(p.first) + 1));
                if (p.second != nullptr)
                    ParseAppAttrList(payload.targets, p.second);
                pSource->AddDataObject(CF_TEXT, payload);
            }
            ASSERT_TRUE(pSource->SetClipboard());
            SetForeignTarget(target.input);
            const int nBefore = target.Count("pasted");
            ASSERT_TRUE(ActivateForeignWindow(target.input, 5000));
            SendShiftInsert();
            ASSERT_TRUE(PumpUntil([&] { return target.Count("pasted") > nBefore; }, 10000));
            std::string bytes;
            EXPECT_TRUE(target.Format("#1", &bytes, nBefore));
            EXPECT_EQ(std::string(r.expected) + std::string(1, '\0'), bytes) << r.expected;
        }
    });
}

// ---- window-free -----------------------------------------------------------------------------

TEST(Insertion, BrowserWindows)
{
    const struct
    {
        const char* title;
        const char* exe;
        int expected;
    } rows[] = {
        {"Start page", "IEXPLORE.EXE", 1},      {"start", "iexplore.exe", 1},
        {"Mail", "FireFox.exe", 1},             {"Compose: hello", "mozilla.exe", 0},
        {"News", "mozilla.exe", 1},             {"COMPOSITION", "netscape.exe", 0},
        {"Compose", "netscape.exe", 1},         {"page", "opera.exe", 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.expected, IsWebBrowserWindow(r.title, r.exe)) << r.title << " / " << r.exe;
}

// A drag counts its use after a drop elsewhere, so filling its source counts
// nothing; the clipboard road counts once.
TEST(Insertion, FillingCountsUseOnlyOnTheClipboardRoad)
{
    SetDefaultSettings();
    CSmilie smilie;
    smilie.m_strPhrase = "Hello there";
    CSequence<CSmilie*> smilies;
    smilies.Add(&smilie);
    for (BOOL bDragging : {TRUE, FALSE}) {
        CTvFieldDataSource source;
        source.m_bDragging = bDragging;
        const DWORD nBefore = smilie.m_nUsageCount;
        ASSERT_EQ(1, FillDataSource(&smilies, NULL, &source, FALSE));
        EXPECT_EQ(nBefore + (bDragging ? 0 : 1), smilie.m_nUsageCount) << "dragging " << bDragging;
        ASSERT_EQ(1, source.m_Payloads.GetSize());
        EXPECT_EQ(CTvDataObject::kindTextOnly, source.m_Payloads[0].kind);
        EXPECT_EQ(CF_TEXT, source.m_Payloads[0].cfFormat);
    }
}

// Only the payload of the format just served counts as rendered: a drop
// that follows reports it to the field, and a stale one would start the
// connection probe for a payload the target never took.
class CRenderProbe : public CTvFieldDataSource
{
public:
    using CTvFieldDataSource::OnRenderGlobalData;
};

TEST(Insertion, ARefusalLeavesNothingRendered)
{
    SetDefaultSettings();
    SetForeignTarget(NULL);   // nobody known asks: payloads without lists only
    CRenderProbe source;
    CTvDataObject text;
    text.SetData("[grin]", 7);
    source.AddDataObject(CF_TEXT, text);
    CTvDataObject emptyRtf;   // offered, but with nothing to render
    source.AddDataObject(::RegisterClipboardFormatA("Rich Text Format"), emptyRtf);
    const struct
    {
        const char* name;
        CLIPFORMAT cfRefused;
    } rows[] = {
        {"a format with no payload", CF_DIB},
        {"a payload without bytes", CLIPFORMAT(::RegisterClipboardFormatA("Rich Text Format"))},
    };
    for (const auto& r : rows) {
        FORMATETC fe = {CF_TEXT, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        HGLOBAL hText = NULL;
        ASSERT_TRUE(source.OnRenderGlobalData(&fe, &hText)) << r.name;
        ::GlobalFree(hText);
        EXPECT_EQ(&source.m_Payloads[0], source.m_pLastRendered) << r.name;
        fe.cfFormat = r.cfRefused;
        HGLOBAL hRefused = NULL;
        EXPECT_FALSE(source.OnRenderGlobalData(&fe, &hRefused)) << r.name;
        EXPECT_EQ(nullptr, hRefused) << r.name;
        EXPECT_EQ(nullptr, source.m_pLastRendered) << r.name << ": nothing is rendered after a refusal";
    }
}

TEST(Insertion, CopyToGlobalKeepsToTheGivenBlock)
{
    HGLOBAL hNew = NULL;
    ASSERT_EQ(1, CopyToGlobal("abc", 4, &hNew));
    ASSERT_NE(nullptr, hNew);
    EXPECT_STREQ("abc", static_cast<const char*>(::GlobalLock(hNew)));
    ::GlobalUnlock(hNew);
    HGLOBAL hSmall = ::GlobalAlloc(GMEM_MOVEABLE, 2);
    HGLOBAL hGiven = hSmall;
    EXPECT_EQ(0, CopyToGlobal("abc", 4, &hGiven));
    EXPECT_EQ(hSmall, hGiven);
    ::GlobalFree(hSmall);
    ::GlobalFree(hNew);
}

// ---- a click in a field -------------------------------------------------------------------

// A click on a smilie of a field window sends it to the remembered window,
// once; a press that moved past the drag distance sends nothing; a local
// picture is not sent to a browser, which could not show it.
TEST(Insertion, AClickInAFieldSendsTheSmilieToTheRememberedWindow)
{
    OnVirtualDesktop([] {
        Program program;
        CSmiliesFieldControl field;
        FIELDGRIDDEFAULTS grid;
        grid.nRows = 8;
        const CELLLOOK look = {RGB(200, 200, 200), RGB(0, 0, 190), RGB(255, 255, 255), RGB(160, 160, 160),
                               RGB(96, 96, 96), RGB(128, 128, 255), 0, 3};
        const RECT rc = {0, 0, 175, 136};
        ASSERT_TRUE(field.Create(CWnd::FromHandle(program.hField), &grid, &look, &rc, SIZE{35, 34}));
        field.ShowWindow(SW_SHOW);
        const POINT cell = {1, 1};
        ASSERT_NE(nullptr, field.AddSmilie(&cell, 1, "", ""));   // a local picture
        CSmilie* const pSmilie = field.GetAt(1, 1);
        auto click = [&](int dx) {
            // A press that moves past the drag distance starts a drag, which
            // ends at once (no button is really down) with a drop where the
            // pointer is: that may move the smilie, so it is pressed where it is.
            const POINT pt = field.GetCellRect(pSmilie->m_nColumn, pSmilie->m_nRow).CenterPoint();
            ::SetForegroundWindow(program.hField);
            EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == program.hField; }, 5000));
            field.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
            field.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x + dx, pt.y));
            field.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x + dx, pt.y));
        };
        const struct {
            const char* exe;
            bool bSent;
        } rows[] = {{"IEXPLORE.EXE", false}, {"someeditor.exe", true}};
        for (const auto& r : rows) {
            SCOPED_TRACE(r.exe);
            TargetProcess target(r.exe, 0, 0, "plain", {"#1"});
            SetForeignTarget(target.input);
            const int nPreviews = CSmiliePreview::GetLiveCount();
            click(::GetSystemMetrics(SM_CXDRAG) + 1);
            PumpPending();
            EXPECT_EQ(0, target.Count("pasted")) << "a press that moved away sends nothing";
            EXPECT_EQ(nPreviews, CSmiliePreview::GetLiveCount());
            click(0);
            if (r.bSent) {
                EXPECT_TRUE(target.WaitFor("pasted"));
                EXPECT_EQ(1, target.Count("pasted"));
            } else {
                PumpPending();
                EXPECT_EQ(nPreviews + 1, CSmiliePreview::GetLiveCount()) << "the refusal shows in the popup";
                EXPECT_EQ(0, target.Count("pasted"));
            }
            ::OleSetClipboard(NULL);
        }
        SetForeignTarget(NULL);
        field.DestroyWindow();
    });
}

}  // namespace
