// Real OLE drags of smilies under Wine, driven by SendInput from a second
// thread while the field's thread runs the system's drag loop: within a field
// and between fields in each insertion mode, cancelled, over stand-in
// programs that refuse the drop, and with the messenger's export request
// arriving in the middle of a drag. Each step of the input waits for what the
// program did with the last one.
#include "fields/SmiliesDragSource.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/SmiliesFieldDropPaste.h"

#include "delivery/MessengerRequest.h"
#include "framework/Dialog.h"
#include "framework/Menu.h"
#include "framework/ModalAnswerer.h"
#include "services/Registered.h"
#include "tests/fields/gui/FieldTestKit.h"
#include "tests/tools/Pump.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/StandInTarget.h"
#include "ui3d/controls/DragImageWnd.h"
#include "ui3d/system/ExportedFuncs.h"

#include <atomic>
#include <string>
#include <vector>

using namespace fieldkit;

namespace {

const int kCw = 35, kCh = 34;

LONG ActiveDrags()
{
    return ::InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&g_nActiveDrags), 0, 0);
}

// A field that writes down where drops were offered to it and which export
// requests reached it while a drag ran.
class DragField : public CSmiliesFieldDropPaste
{
public:
    int QueryDropMode(BOOL) override { return nMode; }
    DROPEFFECT CanAcceptDrop(COleDataObject* pData, DWORD dwKeyState, CPoint point) override
    {
        const DROPEFFECT effect = CSmiliesFieldDropPaste::CanAcceptDrop(pData, dwKeyState, point);
        lastOffer = MAKELONG(point.x, point.y);
        nOffers++;
        return effect;
    }
    BOOL OnDropData(COleDataObject* pData, DROPEFFECT dropEffect, CPoint point) override
    {
        const BOOL bTaken = CSmiliesFieldDropPaste::OnDropData(pData, dropEffect, point);
        drops += "drop effect " + std::to_string(dropEffect) + " at " + std::to_string(point.x) + "," +
                 std::to_string(point.y) + (bTaken ? " taken; " : " refused; ");
        return bTaken;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_EXPORTTOMESSENGER)
            exportsSeenInDrag.push_back(g_nActiveDrags);
        return CSmiliesFieldDropPaste::WindowProc(message, wParam, lParam);
    }
    int nMode = DROPMODE_MOVE_KEEP;
    std::atomic<LONG> lastOffer{-1};
    std::atomic<int> nOffers{0};
    std::vector<int> exportsSeenInDrag;
    std::string drops;   // what OnDropData was given and said
};

// The field window of the program, counting the offers as DragField does.
class DragControl : public CSmiliesFieldControl
{
public:
    DROPEFFECT CanAcceptDrop(COleDataObject* pData, DWORD dwKeyState, CPoint point) override
    {
        const DROPEFFECT effect = CSmiliesFieldControl::CanAcceptDrop(pData, dwKeyState, point);
        lastOffer = MAKELONG(point.x, point.y);
        nOffers++;
        return effect;
    }
    std::atomic<LONG> lastOffer{-1};
    std::atomic<int> nOffers{0};
};

// Popup menus answered with a chosen command and counted.
class MenuAnswerer : public CModalAnswerer
{
public:
    MenuAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~MenuAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override { return pDialog->ContinueModal() ? IDCANCEL : -1; }
    BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        // The drop menu: four methods, a separator and the defaults.
        if (pMenu != NULL && ::GetMenuItemCount(pMenu->m_hMenu) == 6)
            nMenus++;
        else
            nOtherMenus++;
        *pnCommand = nCommand;
        return TRUE;
    }
    UINT nCommand = 0;
    int nMenus = 0;
    int nOtherMenus = 0;

private:
    CModalAnswerer* m_pPrevious;
};

// ---- input from a second thread of the desktop -----------------------------------------------

template <class Pred> bool WaitOn(Pred done, DWORD nMillis = 5000)
{
    const DWORD nStart = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - nStart >= nMillis)
            return false;
        ::Sleep(5);
    }
    return true;
}

// Where the input thread put the cursor last.
POINT g_ptMouse = {0, 0};

INPUT MouseInput(POINT pt, DWORD dwFlags)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (pt.x * 65536 + cx - 1) / cx;
    in.mi.dy = (pt.y * 65536 + cy - 1) / cy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | dwFlags;
    return in;
}

// The mouse messages the field's thread takes, seen by a hook on that thread:
// whether one came from elsewhere than where the input thread put the cursor.
struct MouseWatch
{
    std::atomic<LONG> at{0};
    std::atomic<bool> bAway{false};
};
MouseWatch g_watch;

LRESULT CALLBACK WatchMouse(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0) {
        const MOUSEHOOKSTRUCT* p = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        if (MAKELONG(p->pt.x, p->pt.y) != g_watch.at)
            g_watch.bAway = true;
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

void MouseTo(POINT pt)
{
    g_ptMouse = pt;
    g_watch.at = MAKELONG(pt.x, pt.y);
    g_watch.bAway = false;
    INPUT in = MouseInput(pt, 0);
    ::SendInput(1, &in, sizeof(in));
}

// Under Wine a move sent by SendInput also warps the X pointer, and X tells
// the thread whose window lies under the pointer that the pointer is there;
// that thread turns the news into a move of its own when it reads its X
// events. Read late, under load, news of an earlier move sets the cursor back
// to where that move had put it: a press then starts its drag from another
// cell, or a drop lands on the cell the drag came from. So a press and a
// release go ahead only once the field's thread has taken no move from
// anywhere else for a while (the move is made again whenever one came), bounded.
bool SettleAt(POINT pt)
{
    MouseTo(pt);
    DWORD nSince = ::GetTickCount();
    return WaitOn([&] {
        if (g_watch.bAway.exchange(false)) {
            MouseTo(pt);
            nSince = ::GetTickCount();
        }
        return ::GetTickCount() - nSince >= 250;
    }, 8000);
}

// A button at the cursor's place, which the input carries: under Wine another
// process that asks for the cursor can set it back to where the X pointer was
// before the last move.
void Button(DWORD dwFlags)
{
    INPUT in = MouseInput(g_ptMouse, dwFlags);
    ::SendInput(1, &in, sizeof(in));
}

void Key(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

struct InputJob
{
    std::function<void()> script;
    std::atomic<bool> done{false};
};

DWORD WINAPI InputThread(LPVOID p)
{
    InputJob* job = static_cast<InputJob*>(p);
    HDESK hDesk = ::OpenDesktopA(kStandInDesktop, 0, FALSE, GENERIC_ALL);
    if (hDesk == NULL || !::SetThreadDesktop(hDesk))
        ADD_FAILURE() << "the input thread cannot join the desktop";
    else
        job->script();
    job->done = true;
    if (hDesk != NULL)
        ::CloseDesktop(hDesk);
    return 0;
}

// Runs the script on an input thread while this thread pumps (and runs the
// drag loop); returns once the script ended and no drag runs.
void Drive(const std::function<void()>& script)
{
    InputJob job;
    job.script = script;
    const HHOOK hHook = ::SetWindowsHookExA(WH_MOUSE, WatchMouse, NULL, ::GetCurrentThreadId());
    HANDLE hThread = ::CreateThread(NULL, 0, InputThread, &job, 0, NULL);
    if (hThread == NULL) {
        ::UnhookWindowsHookEx(hHook);
        FAIL() << "no input thread";
    }
    EXPECT_TRUE(PumpUntil([&] { return job.done && ActiveDrags() == 0; }, 30000)) << "the drag did not end";
    ::WaitForSingleObject(hThread, 5000);
    ::CloseHandle(hThread);
    PumpPending();
    if (hHook != NULL)
        ::UnhookWindowsHookEx(hHook);
}

POINT ScreenPoint(const CWnd& wnd, POINT pt)
{
    ::ClientToScreen(wnd.m_hWnd, &pt);
    return pt;
}

// The middle of a cell's body, clear of its buttons and its grip.
POINT Body(int c, int r)
{
    return POINT{c * kCw + 17, r * kCh + 20};
}

// Press on the field's smilie at the cell, move far enough to start a drag,
// and wait for it; each step waits until the field saw the last one.
template <class Field> void StartDrag(Field& field, int c, int r, bool bRight = false)
{
    const CSmilie* pSmilie = field.GetAt(c, r);
    const POINT ptScreen = ScreenPoint(field, Body(c, r));
    // Now and then under Wine the first move onto a window made in the place
    // of one just destroyed reaches nobody, and in a loaded full run a press
    // was lost: come in from another cell again. A press is given up only
    // after long enough that it cannot still arrive late, since a release
    // after a late press would be a click that opens a menu.
    bool bPressed = false;
    for (int nPress = 0; nPress < 3 && !bPressed; nPress++) {
        bool bHot = false;
        for (int i = 0; i < 4 && !bHot; i++) {
            MouseTo(POINT{ptScreen.x + kCw, ptScreen.y + 3 * kCh});
            MouseTo(ptScreen);
            bHot = WaitOn([&] { return field.GetHotSmilie() == pSmilie; }, 1000);
        }
        EXPECT_TRUE(bHot) << "the field did not see the cursor come";
        EXPECT_TRUE(SettleAt(ptScreen)) << "the cursor did not stay on the cell";
        Button(bRight ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        // A drag already started has seen the press too.
        bPressed = WaitOn([&] {
            return (bRight ? field.m_pRPressed == pSmilie : pSmilie->m_bPressed != 0) || ActiveDrags() > 0;
        }, 8000);
        if (!bPressed)
            Button(bRight ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    }
    EXPECT_TRUE(bPressed) << "the field did not see the press";
    for (int i = 1; i <= 3 && ActiveDrags() == 0; i++) {
        MouseTo(POINT{ptScreen.x + 4 * i, ptScreen.y});
        WaitOn([] { return ActiveDrags() > 0; }, 1500);
    }
    EXPECT_GT(ActiveDrags(), 0) << "no drag started";
}

// Moves over the field's client point and waits until its drop target saw it.
template <class Field> void OverField(Field& field, POINT ptClient)
{
    const int nBefore = field.nOffers;
    const POINT ptScreen = ScreenPoint(field, ptClient);
    MouseTo(ptScreen);
    // A move back to an earlier place (see SettleAt) is answered by the move again.
    EXPECT_TRUE(WaitOn([&] {
        if (g_watch.bAway.exchange(false))
            MouseTo(ptScreen);
        return field.nOffers > nBefore && field.lastOffer == MAKELONG(ptClient.x, ptClient.y);
    })) << "the field was not asked about the drop";
}

// Over the field's client point as OverField, and the cursor stays there (see
// SettleAt): the release that follows drops there.
template <class Field> void DropPointOn(Field& field, POINT ptClient)
{
    OverField(field, ptClient);
    EXPECT_TRUE(SettleAt(ScreenPoint(field, ptClient))) << "the cursor did not stay on the drop point";
    const int nBefore = field.nOffers;
    EXPECT_TRUE(WaitOn([&] {
        return field.nOffers > nBefore && field.lastOffer == MAKELONG(ptClient.x, ptClient.y);
    })) << "the field was not asked about the drop point";
}

// ---- the scene ---------------------------------------------------------------------------------

typedef std::vector<std::string> Rows;

// Two fields of four columns side by side, each holding the letters.
template <class Field> struct SceneOf
{
    SceneOf(const Rows& a, const Rows& b) : parent(560, 100, 400, 220)
    {
        saved = g_Settings;
        strProbeUrl = CCheckUrl::s_strProbeUrl;
        // A rendering may probe the connection: never beyond this machine.
        CCheckUrl::s_strProbeUrl = "http://127.0.0.1:9/probe.htm";
        g_Settings.SmilieToolbar = 1;
        g_Settings.ShowCensoredSmilies = 0;
        g_Settings.SmilieLocalMark = 0;
        BUSYHOOKS hooks = {};
        SetBusyHooks(&hooks);
        g_BusyEnabled = TRUE;
        // The program under the cursor is found through the process functions.
        pPreviousFuncs = g_pExportedFuncs;
        g_pExportedFuncs = &funcs;
        Make(left, a, 0);
        Make(right, b, 200);
        ::SetForegroundWindow(parent.m_hWnd);
        PumpPending();
    }
    ~SceneOf()
    {
        left.DestroyWindow();
        right.DestroyWindow();
        g_BusyEnabled = FALSE;
        SetBusyHooks(NULL);
        g_pExportedFuncs = pPreviousFuncs;
        g_Settings = saved;
        CCheckUrl::s_strProbeUrl = strProbeUrl;
    }
    void Make(Field& field, const Rows& rows, int x)
    {
        EXPECT_TRUE(MakeField(field, parent, 4 * kCw, 6 * kCh, kCw, kCh));
        field.MoveWindow(x, 0, 4 * kCw, 6 * kCh);
        for (size_t r = 0; r < rows.size(); r++)
            for (size_t c = 0; c < rows[r].size(); c++)
                if (rows[r][c] != '.') {
                    const POINT cell = {int(c), int(r)};
                    const char sz[2] = {rows[r][c], '\0'};
                    field.AddSmilie(&cell, 0, sz, NULL);
                }
        field.UpdateScrollRange(TRUE);
    }
    static std::string Letters(const CSmiliesField& field)
    {
        std::string s;
        for (int r = 0; r < 3; r++) {
            for (int c = 0; c < field.GetColumnCount(); c++) {
                const CSmilie* p = field.GetAt(c, r);
                s += p == NULL ? '.' : p->m_strPhrase[0];
            }
            s += '|';
        }
        return s;
    }
    int Uses() const
    {
        int n = 0;
        for (const Field* f : {&left, &right})
            for (int r = 0; r < 3; r++)
                for (int c = 0; c < 4; c++)
                    if (const CSmilie* p = f->GetAt(c, r))
                        n += int(p->m_nUsageCount);
        return n;
    }

    HandTimer timer;
    CExportedFuncs funcs;
    CExportedFuncs* pPreviousFuncs = nullptr;
    ParentWindow parent;
    Field left, right;
    APPSETTINGS saved;
    CString strProbeUrl;
};
typedef SceneOf<DragField> Scene;

TEST(SmiliesDrag, GroupsMoveAndCopyWithinAndBetweenFieldsInEachMode)
{
    struct Case
    {
        const char* name;
        bool bToRight;   // into the other field
        int mode;
        std::string wantLeft, wantRight;
    };
    const Case cases[] = {
        {"within, copy replacing", false, 1, "AA..|C...|....|", "DE..|....|....|"},
        {"within, copy keeping", false, 2, "AA..|CB..|....|", "DE..|....|....|"},
        {"within, move replacing", false, 3, ".A..|C...|....|", "DE..|....|....|"},
        {"within, move keeping", false, 4, ".A..|CB..|....|", "DE..|....|....|"},
        {"between, copy replacing", true, 1, "AB..|C...|....|", "DA..|....|....|"},
        {"between, copy keeping", true, 2, "AB..|C...|....|", "DAE.|....|....|"},
        {"between, move replacing", true, 3, ".B..|C...|....|", "DA..|....|....|"},
        {"between, move keeping", true, 4, ".B..|C...|....|", "DAE.|....|....|"},
    };
    OnVirtualDesktop([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            Scene scene({"AB..", "C..."}, {"DE.."});
            DragField& target = c.bToRight ? scene.right : scene.left;
            target.nMode = c.mode;
            const int nUses = scene.Uses();
            Drive([&] {
                StartDrag(scene.left, 0, 0);
                DropPointOn(target, Body(1, 0));
                Button(MOUSEEVENTF_LEFTUP);
                WaitOn([] { return ActiveDrags() == 0; });
            });
            EXPECT_TRUE(PumpUntil([&] { return Scene::Letters(scene.left) == c.wantLeft; }, 3000));
            EXPECT_EQ(c.wantLeft, Scene::Letters(scene.left)) << target.drops;
            EXPECT_EQ(c.wantRight, Scene::Letters(scene.right)) << target.drops;
            EXPECT_EQ(nUses, scene.Uses()) << "a drop inside the program is no use";
            EXPECT_EQ(0, g_nActiveDrags);
            EXPECT_TRUE(PumpUntil([] { return CDragImageWnd::s_nLiveCount == 0; }, 3000)) << "the image closed";
        }
    });
}

TEST(SmiliesDrag, ACancelledDragChangesNothing)
{
    OnVirtualDesktop([&] {
        Scene scene({"AB.."}, {"...."});
        const int nUses = scene.Uses();
        Drive([&] {
            StartDrag(scene.left, 0, 0);
            OverField(scene.right, Body(2, 1));
            Key(VK_ESCAPE);
            WaitOn([] { return ActiveDrags() == 0; });
            Button(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ("AB..|....|....|", Scene::Letters(scene.left));
        EXPECT_EQ("....|....|....|", Scene::Letters(scene.right));
        EXPECT_EQ(nUses, scene.Uses());
        EXPECT_EQ(0, g_nActiveDrags);
        EXPECT_TRUE(PumpUntil([] { return CDragImageWnd::s_nLiveCount == 0; }, 3000));
    });
}

// ---- over other programs -------------------------------------------------------------------------

struct CursorLog
{
    std::atomic<LONG> at{0};
    std::atomic<int> nCalls{0};
};
CursorLog g_cursorLog;
BOOL WINAPI LoggedGetCursorPos(LPPOINT ppt)
{
    const BOOL b = ::GetCursorPos(ppt);
    const LONG at = MAKELONG(ppt->x, ppt->y);
    if (g_cursorLog.at.exchange(at) != at)
        g_cursorLog.nCalls = 0;
    g_cursorLog.nCalls++;
    return b;
}

// Drags the field's first smilie with the left button into the stand-in's
// input and drops it there, once the program was offered a copy.
template <class Field> void DropIntoProgram(Field& field, const TargetProcess& target)
{
    RECT rc = {};
    ::GetWindowRect(target.input, &rc);
    const POINT ptOver = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    Drive([&] {
        StartDrag(field, 0, 0);
        MouseTo(ptOver);
        EXPECT_TRUE(WaitOn([&] {
            return g_cursorLog.at == MAKELONG(ptOver.x, ptOver.y) && g_cursorLog.nCalls >= 2;
        })) << "no feedback over the program";
        // The other program answers the drag in its own time.
        EXPECT_TRUE(WaitOn([&] { return target.Has("dragenter 1"); }, 10000)) << "the program was not offered a copy";
        Button(MOUSEEVENTF_LEFTUP);
        WaitOn([] { return ActiveDrags() == 0; });
    });
}

struct WindowSearch
{
    std::string text;
    HWND hFound;
};

BOOL CALLBACK FindByText(HWND hWnd, LPARAM lParam)
{
    WindowSearch* p = reinterpret_cast<WindowSearch*>(lParam);
    char sz[256] = "";
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    if (::IsWindowVisible(hWnd) && p->text == sz) {
        p->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

TEST(SmiliesDrag, ARefusingMailProgramUnderTheCursorGetsAWarningBesideIt)
{
    struct Case
    {
        const char* exe;
        WORD major, minor;
        const char* want;   // NULL: no warning
    };
    const Case cases[] = {
        {"winpm-32.exe", 4, 0, "Pegasus Mail cannot take dropped pictures"},
        {"eudora.exe", 6, 0, NULL},   // 6.0.3: its ".3" lies in the low double word, stamped 0
        {"eudora.exe", 5, 2, "Eudora cannot take dropped pictures"},
    };
    CNumberedLanguage language;
    language.Set(483, "[APPNAME] cannot take dropped pictures");
    CODSPictsGroup::s_pfnGetCursorPos = LoggedGetCursorPos;
    OnVirtualDesktop([&] {
        const DWORD nUiThread = ::GetCurrentThreadId();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.exe);
            TargetProcess target(c.exe, c.major, c.minor, "plain", {});
            Scene scene({"AB.."}, {"...."});
            const int nUses = scene.Uses();
            RECT rcTarget = {};
            ::GetWindowRect(target.frame, &rcTarget);
            const POINT ptOver = {(rcTarget.left + rcTarget.right) / 2, rcTarget.bottom - 40};
            Drive([&] {
                StartDrag(scene.left, 0, 0);
                MouseTo(ptOver);
                EXPECT_TRUE(WaitOn([&] {
                    return g_cursorLog.at == MAKELONG(ptOver.x, ptOver.y) && g_cursorLog.nCalls >= 3;
                })) << "no feedback over the program";
                WindowSearch search = {c.want != NULL ? c.want : "", NULL};
                if (c.want != NULL) {
                    EXPECT_TRUE(WaitOn([&] {
                        ::EnumThreadWindows(nUiThread, FindByText, reinterpret_cast<LPARAM>(&search));
                        return search.hFound != NULL;
                    })) << "no warning";
                    RECT rc = {};
                    EXPECT_TRUE(WaitOn([&] {
                        ::GetWindowRect(search.hFound, &rc);
                        return rc.left == ptOver.x + 32 && rc.top == ptOver.y + 32;
                    })) << "at " << rc.left << "," << rc.top << " for the cursor at " << ptOver.x << "," << ptOver.y;
                } else {
                    for (const char* name : {"Eudora cannot take dropped pictures", "L484"}) {
                        search.text = name;
                        ::EnumThreadWindows(nUiThread, FindByText, reinterpret_cast<LPARAM>(&search));
                        EXPECT_EQ(nullptr, search.hFound) << name;
                    }
                }
                Key(VK_ESCAPE);
                WaitOn([] { return ActiveDrags() == 0; });
                Button(MOUSEEVENTF_LEFTUP);
            });
            EXPECT_EQ(nUses, scene.Uses()) << "a refused drop is no use";
            WindowSearch gone = {c.want != NULL ? c.want : "-", NULL};
            ::EnumThreadWindows(nUiThread, FindByText, reinterpret_cast<LPARAM>(&gone));
            EXPECT_EQ(nullptr, gone.hFound) << "the warning goes with the drag";
        }
    });
    CODSPictsGroup::s_pfnGetCursorPos = ::GetCursorPos;
}

TEST(SmiliesDrag, ADropIntoAnotherProgramCountsOneUseOfEachDraggedSmilie)
{
    CODSPictsGroup::s_pfnGetCursorPos = LoggedGetCursorPos;
    OnVirtualDesktop([&] {
        TargetProcess target("tvnxtarget.exe", 1, 0, "droptarget", {});
        Scene scene({"AB.."}, {"...."});
        DropIntoProgram(scene.left, target);
        EXPECT_TRUE(PumpUntil([&] { return target.Count("dropped ") == 1; }, 5000)) << "nothing was dropped";
        EXPECT_TRUE(target.Has("dropformat " + std::to_string(GetSmilieGroupClipFormat())));
        EXPECT_EQ("AB..|....|....|", Scene::Letters(scene.left)) << "the smilies stay";
        EXPECT_EQ(1u, scene.left.GetAt(0, 0)->m_nUsageCount);
        EXPECT_EQ(0u, scene.left.GetAt(1, 0)->m_nUsageCount);
    });
    CODSPictsGroup::s_pfnGetCursorPos = ::GetCursorPos;
}

// ---- the field window of the program ---------------------------------------------------------------

// A left drag offers a copy and inserts in the default method; a right drag
// offers a move and asks how to insert: a method inserts, a new default
// inserts nothing.
TEST(SmiliesDrag, TheFieldWindowAsksHowToInsertOnlyAfterARightDrag)
{
    struct Case
    {
        const char* name;
        bool bRight;
        UINT nCommand;   // the menu's answer
        std::string want;
        int nMenus;
        int nDefault;
    };
    const Case cases[] = {
        {"left: the default, copying and keeping", false, 1, "AA..|CB..|....|", 0, 2},
        {"right: moving and replacing chosen", true, 3, ".A..|C...|....|", 1, 2},
        {"right: the menu closed", true, 0, "AB..|C...|....|", 1, 2},
        {"right: moving and keeping made the default", true, 8, "AB..|C...|....|", 1, 4},
    };
    OnVirtualDesktop([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            SceneOf<DragControl> scene({"AB..", "C..."}, {"...."});
            CSmiliesFieldControl::s_nDefaultDropMethod = 2;
            MenuAnswerer menus;
            menus.nCommand = c.nCommand;
            Drive([&] {
                StartDrag(scene.left, 0, 0, c.bRight);
                DropPointOn(scene.left, Body(1, 0));
                Button(c.bRight ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
                WaitOn([] { return ActiveDrags() == 0; });
            });
            EXPECT_TRUE(PumpUntil([&] {
                return menus.nMenus == c.nMenus && SceneOf<DragControl>::Letters(scene.left) == c.want;
            }, 3000));
            EXPECT_EQ(c.want, SceneOf<DragControl>::Letters(scene.left));
            EXPECT_EQ(c.nMenus, menus.nMenus);
            EXPECT_EQ(0, menus.nOtherMenus) << "a menu after the drag";
            EXPECT_EQ(c.nDefault, CSmiliesFieldControl::s_nDefaultDropMethod);
        }
    });
}

// What another program takes from a drag out of the field window is the
// delivery's: the text of a phrase among the group's private format.
TEST(SmiliesDrag, ADragOutOfTheFieldWindowCarriesTheDeliveryFormatsAndCountsOneUse)
{
    CODSPictsGroup::s_pfnGetCursorPos = LoggedGetCursorPos;
    OnVirtualDesktop([&] {
        TargetProcess target("tvnxtarget.exe", 1, 0, "droptarget", {"#1"});
        SceneOf<DragControl> scene({"AB.."}, {"...."});
        DropIntoProgram(scene.left, target);
        std::string log;
        EXPECT_TRUE(PumpUntil([&] { return target.Count("dropped ") == 1; }, 5000)) << "nothing was dropped";
        EXPECT_TRUE(PumpUntil([&] { return target.Count("format #1 ") == 1; }, 5000)) << "the text was not given";
        for (const std::string& line : target.Lines())
            log += line + "; ";
        std::string text;
        EXPECT_TRUE(target.Format("#1", &text)) << log;
        EXPECT_EQ("A", std::string(text.c_str()));
        EXPECT_TRUE(target.Has("dropformat " + std::to_string(CF_TEXT)));
        EXPECT_TRUE(target.Has("dropformat " + std::to_string(GetSmilieGroupClipFormat())));
        EXPECT_EQ("AB..|....|....|", SceneOf<DragControl>::Letters(scene.left)) << "the smilies stay";
        EXPECT_EQ(1u, scene.left.GetAt(0, 0)->m_nUsageCount);
        EXPECT_EQ(0u, scene.left.GetAt(1, 0)->m_nUsageCount);
    });
    CODSPictsGroup::s_pfnGetCursorPos = ::GetCursorPos;
}

// ---- the messenger's request during a drag -----------------------------------------------------

int g_nExports = 0;
int CountExport(MSNEXPORTREQUEST*, CWnd*)
{
    g_nExports++;
    return 1;
}

TEST(SmiliesDrag, AnExportRequestDuringADragRunsAfterIt)
{
    const auto pfnSaved = CSmiliesFieldDropPaste::s_pfnExport6;
    CSmiliesFieldDropPaste::s_pfnExport6 = CountExport;
    g_MsnExportRequest.size = kMsnExportRequestSize;
    g_MsnExportRequest.app.versionFrom = g_MsnExportRequest.app.versionTo = ULONGLONG(6) << 48;
    g_nExports = 0;
    OnVirtualDesktop([&] {
        Scene scene({"AB.."}, {"...."});
        int nExportsInDrag = -1;
        Drive([&] {
            StartDrag(scene.left, 0, 0);
            ::PostMessageA(scene.left.m_hWnd, WM_EXPORTTOMESSENGER, 1, reinterpret_cast<LPARAM>(&g_MsnExportRequest));
            OverField(scene.right, Body(1, 1));
            OverField(scene.right, Body(2, 1));
            nExportsInDrag = g_nExports;
            Key(VK_ESCAPE);
            WaitOn([] { return ActiveDrags() == 0; });
            Button(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ(0, nExportsInDrag) << "no exporter inside the drag loop";
        EXPECT_TRUE(PumpUntil([] { return g_nExports == 1; }, 5000)) << "the request was lost";
        ASSERT_FALSE(scene.left.exportsSeenInDrag.empty());
        // Wine's drag loop dispatches posted messages: the request arrived
        // while the drag ran, and once more after it.
        EXPECT_GT(scene.left.exportsSeenInDrag.front(), 0);
        PumpPending();
        EXPECT_EQ(1, g_nExports);
    });
    g_MsnExportRequest.size = 0;
    g_MsnExportRequest.app.versionFrom = g_MsnExportRequest.app.versionTo = 0;
    CSmiliesFieldDropPaste::s_pfnExport6 = pfnSaved;
}

}  // namespace
