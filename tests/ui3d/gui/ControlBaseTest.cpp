// The control base: hover and capture tracking driven by sent messages, the
// paint paths, size changes, animation ticks and the wheel roll; and the
// virtual-timer bookkeeping that windows with a timer list share.
#include "ui3d/controls/ControlBase.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/system/ExportedFuncs.h"
#include "services/Messages.h"
#include "ui3d/system/VTimer.h"
#include "ui3d/system/VTimerRcrd.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"
#include <string>
#include <vector>

namespace {

const UINT kFakeTimerId = 4712;
MMRESULT g_nSetResult = kFakeTimerId;

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT)
{
    return g_nSetResult;
}

MMRESULT WINAPI FakeKillEvent(UINT)
{
    return TIMERR_NOERROR;
}

// The program's timer with its multimedia timer replaced: nothing ticks by itself.
class FakeTimerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_nSetResult = kFakeTimerId;
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
    }
    void TearDown() override
    {
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
    }
};

// A control that writes down every overridable the base calls.
class RecordingControl : public CControlBase
{
public:
    std::vector<std::string> calls;
    CBitmap backBuffer;
    BOOL bUseBackBuffer = FALSE;
    int nCaptured = 0;
    BOOL bStopInLeave = FALSE;

    void Log(const std::string& s) { calls.push_back(s); }
    static std::string Rect(int l, int t, int r, int b)
    {
        return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
    }

    CBitmap* GetBackBuffer() override { return bUseBackBuffer ? &backBuffer : NULL; }
    void Paint(CDC*, int l, int t, int r, int b) override { Log("Paint " + Rect(l, t, r, b)); }
    void OnPaintOver(CDC*, const RECT& rc, int a, int b) override
    {
        Log("PaintOver " + Rect(rc.left, rc.top, rc.right, rc.bottom) + " " + std::to_string(a) + std::to_string(b));
    }
    void AfterPaint(int n) override { Log("AfterPaint " + std::to_string(n)); }
    void OnVTimer(int nId, int nAmount) override
    {
        Log("VTimer " + std::to_string(nId));
        nLastAmount = nAmount;
    }
    void OnMouseEnter() override { Log("Enter"); }
    void OnMouseLeave() override
    {
        Log("Leave");
        if (bStopInLeave)
            StopMouseTracking();
    }
    void OnLButtonDown(UINT, int x, int y) override { Log("LDown " + std::to_string(x) + "," + std::to_string(y)); }
    void OnLButtonUp(UINT, int x, int y) override { Log("LUp " + std::to_string(x) + "," + std::to_string(y)); }
    void OnMouseMove(UINT, int x, int y) override { Log("Move " + std::to_string(x) + "," + std::to_string(y)); }
    int IsMouseCaptured() override { return nCaptured; }
    void OnSizeChanged(int cx, int cy) override { Log("Size " + std::to_string(cx) + "," + std::to_string(cy)); }

    int nLastAmount = -1;
};

std::string Join(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += (s.empty() ? "" : " | ") + x;
    return s;
}

class ControlBaseTest : public FakeTimerTest
{
protected:
    void SetUp() override
    {
        FakeTimerTest::SetUp();
        const RECT rc = {40, 40, 140, 100};
        ASSERT_TRUE(control.CreateControl(rc, NULL, WS_POPUP | WS_VISIBLE));
        PumpPending();
        control.calls.clear();
    }
    void TearDown() override
    {
        control.DestroyWindow();
        FakeTimerTest::TearDown();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(control.m_hWnd, message, wParam, lParam);
    }
    void Enter() { Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(control.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)); }
    RecordingControl control;
};

}  // namespace

TEST_F(ControlBaseTest, CreationTakesTheSizeAndResetsTheMouse)
{
    EXPECT_EQ(100, control.m_nClientWidth);
    EXPECT_EQ(60, control.m_nClientHeight);
    EXPECT_EQ(-1, control.m_nMouseX);
    EXPECT_EQ(-1, control.m_nMouseY);
    EXPECT_EQ(0, control.m_bHovering);
}

// What the system said to the control's leave request.
static BOOL s_bLeaveRequestAccepted = FALSE;
static BOOL WINAPI AnswerLeaveRequest(LPTRACKMOUSEEVENT pRequest)
{
    s_bLeaveRequestAccepted = ::TrackMouseEvent(pRequest);
    return s_bLeaveRequestAccepted;
}

TEST_F(ControlBaseTest, LeaveRequestIsOneTheSystemAccepts)
{
    // The request's size differs between pointer sizes; a wrong one is refused
    // and hover would never end by WM_MOUSELEAVE.
    CExportedFuncs* pFuncs = CreateExportedFuncs();
    ASSERT_NE(nullptr, pFuncs);
    const PFN_TRACKMOUSEEVENT pfnBefore = pFuncs->pTrackMouseEvent;
    pFuncs->pTrackMouseEvent = AnswerLeaveRequest;
    s_bLeaveRequestAccepted = FALSE;
    Enter();
    pFuncs->pTrackMouseEvent = pfnBefore;
    EXPECT_TRUE(s_bLeaveRequestAccepted);
}

TEST_F(ControlBaseTest, HoverRoundTripEntersAndLeavesOnce)
{
    Enter();
    Enter();
    EXPECT_EQ("Enter", Join(control.calls)) << "a second WM_SETCURSOR while hovering enters no more";
    EXPECT_EQ(control.m_hWnd, ::GetCapture()) << "tracking holds the capture";
    EXPECT_EQ(1, control.m_bHovering);

    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(control.m_hWnd), MAKELPARAM(HTCLIENT, 0));
    EXPECT_EQ("Enter", Join(control.calls)) << "no mouse message: nothing starts";

    Send(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-3), 5));
    EXPECT_EQ("Enter | Leave", Join(control.calls)) << "a move outside the client area stops tracking";
    EXPECT_EQ(NULL, ::GetCapture());
    EXPECT_EQ(0, control.m_bHovering);
}

TEST_F(ControlBaseTest, EveryWayOutLeavesExactlyOnce)
{
    struct Row
    {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Row rows[] = {
        {"WM_CANCELMODE", WM_CANCELMODE, 0},
        {"WM_KILLFOCUS", WM_KILLFOCUS, 0},
        {"WM_ENTERMENULOOP", WM_ENTERMENULOOP, 0},
        {"WM_ACTIVATE inactive", WM_ACTIVATE, WA_INACTIVE},
        {"WM_ACTIVATEAPP off", WM_ACTIVATEAPP, 0},
        {"WM_SHOWWINDOW off", WM_SHOWWINDOW, 0},
        {"WM_MOUSELEAVE", WM_MOUSELEAVE, 0},
        {"WM_CAPTURECHANGED", WM_CAPTURECHANGED, 0},
    };
    for (const Row& row : rows) {
        control.calls.clear();
        Enter();
        Send(row.message, row.wParam, 0);
        Send(WM_CANCELMODE);
        EXPECT_EQ("Enter | Leave", Join(control.calls)) << row.name;
        EXPECT_EQ(0, control.m_bHovering) << row.name;
    }
}

TEST_F(ControlBaseTest, StopFromWithinLeaveDoesNothing)
{
    control.bStopInLeave = TRUE;
    Enter();
    Send(WM_CANCELMODE);
    EXPECT_EQ("Enter | Leave", Join(control.calls));
    EXPECT_EQ(NULL, ::GetCapture());
}

TEST_F(ControlBaseTest, ReleaseOutsideLeavesBeforeTheButtonUp)
{
    Enter();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(1, control.m_bLeftDown);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(500, 10));
    EXPECT_EQ("Enter | LDown 10,10 | Leave | LUp 500,10", Join(control.calls));
    EXPECT_EQ(0, control.m_bLeftDown);
    EXPECT_EQ(500, control.m_nMouseX);
}

TEST_F(ControlBaseTest, CapturedControlKeepsTrackingOutside)
{
    control.nCaptured = 1;
    Enter();
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(300, 5));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(300, 5));
    Send(WM_MOUSELEAVE);
    EXPECT_EQ("Enter | Move 300,5", Join(control.calls)) << "the same point twice moves once; no leave";
    EXPECT_EQ(1, control.m_bHovering);

    control.nCaptured = 0;
    Send(WM_MOUSELEAVE);
    EXPECT_EQ("Enter | Move 300,5 | Leave", Join(control.calls));
}

TEST_F(ControlBaseTest, OnlyARestoredNewSizeIsReported)
{
    Send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 60));
    EXPECT_TRUE(control.calls.empty()) << Join(control.calls);
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 60));
    EXPECT_EQ("Size 120,60", Join(control.calls));
    EXPECT_EQ(120, control.m_nClientWidth);
}

TEST_F(ControlBaseTest, PaintPathsWithAndWithoutBackBuffer)
{
    const RECT rc = {5, 6, 15, 16};
    control.RedrawRect(rc);
    EXPECT_EQ("Paint 5,6,15,16", Join(control.calls)) << "no back buffer: Paint, no over-paint";

    CDC* pScreen = control.GetDC();
    ASSERT_TRUE(control.backBuffer.CreateCompatibleBitmap(pScreen, 100, 60));
    control.ReleaseDC(pScreen);
    control.bUseBackBuffer = TRUE;
    control.calls.clear();
    control.RedrawRect(rc);
    EXPECT_EQ("PaintOver 5,6,15,16 00 | AfterPaint 0", Join(control.calls));

    // WM_PAINT paints the update rectangle only, and nothing without one.
    PumpPending();
    control.calls.clear();
    ::ValidateRect(control.m_hWnd, NULL);
    Send(WM_PAINT);
    EXPECT_TRUE(control.calls.empty()) << Join(control.calls);
    ::InvalidateRect(control.m_hWnd, &rc, FALSE);
    Send(WM_PAINT);
    EXPECT_EQ("PaintOver 5,6,15,16 00 | AfterPaint 0", Join(control.calls));
}

TEST_F(ControlBaseTest, PrintClientHonoursItsFlags)
{
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, 100, 60);
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hMem), 0);
    EXPECT_TRUE(control.calls.empty()) << "without PRF_CLIENT nothing is painted";
    Send(WM_PRINT, reinterpret_cast<WPARAM>(hMem), PRF_CLIENT);
    EXPECT_EQ("Paint 0,0,100,60", Join(control.calls));
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
}

TEST_F(ControlBaseTest, AnimationTicksCarryTheAmountReached)
{
    const int nId = control.StartAnimation(100, 200);
    ASSERT_NE(0, nId);
    ASSERT_EQ(1, control.m_Animations.GetSize());
    // Move the start 100 ms into the past: half the total is reached.
    control.m_Animations[0].nStart -= control.m_Animations[0].nDuration / 2;
    EXPECT_EQ(1, Send(WM_VTIMER, nId));
    EXPECT_EQ("VTimer " + std::to_string(nId), Join(control.calls));
    EXPECT_GE(control.nLastAmount, 50);
    EXPECT_LT(control.nLastAmount, 100);

    control.m_Animations[0].nStart -= control.m_Animations[0].nDuration;
    Send(WM_VTIMER, nId);
    EXPECT_GT(control.nLastAmount, 100) << "not capped once the duration is over";

    control.calls.clear();
    EXPECT_EQ(1, Send(WM_VTIMER, nId + 5));
    EXPECT_TRUE(control.calls.empty()) << "an unknown id calls nothing";

    g_nSetResult = 0;
    g_pVTimer->RemoveClient(0, control.m_hWnd);
    EXPECT_EQ(0, control.StartAnimation(100, 200)) << "registration failed";
    EXPECT_EQ(1, control.m_Animations.GetSize());
}

TEST_F(ControlBaseTest, WheelRollGoesUpTheFocusChain)
{
    g_msgMouseWheelRoll.Register(TVNX_MSG_MSWHEEL);
    HWND hParent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 200, 200, 50, 50, NULL, NULL, NULL, NULL);
    HWND hChild = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, hParent, NULL, NULL, NULL);
    static std::vector<std::pair<HWND, WPARAM>> s_seen;
    s_seen.clear();
    struct Hook
    {
        static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m == WM_MOUSEWHEEL) {
                s_seen.push_back({h, w});
                return 0;
            }
            return ::DefWindowProcA(h, m, w, l);
        }
    };
    ::SetWindowLongPtrA(hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Hook::Proc));
    ::SetWindowLongPtrA(hChild, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Hook::Proc));
    ::SetForegroundWindow(hParent);
    ::SetFocus(hChild);
    PumpUntil([&] { return ::GetFocus() == hChild; }, 2000);
    ASSERT_EQ(hChild, ::GetFocus());

    EXPECT_EQ(0, Send(g_msgMouseWheelRoll, static_cast<WPARAM>(-120), 77));
    ASSERT_EQ(2u, s_seen.size()) << "focus window, then its parent, since both return 0";
    EXPECT_EQ(hChild, s_seen[0].first);
    EXPECT_EQ(hParent, s_seen[1].first);
    EXPECT_EQ(-120, static_cast<short>(HIWORD(s_seen[0].second)));
    EXPECT_EQ(0, LOWORD(s_seen[0].second) & ~(MK_CONTROL | MK_SHIFT));

    ::DestroyWindow(hParent);
    g_msgMouseWheelRoll = CRegisteredMessage();
}

// --- virtual-timer bookkeeping --------------------------------------------------

TEST_F(FakeTimerTest, SetAndKillVTimerKeepListAndRegistrationsInStep)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    CVTimerRcrdList records;
    EXPECT_EQ(1, CSmiliePreview::SetVTimer(hWnd, records, 5));
    EXPECT_EQ(2, CSmiliePreview::SetVTimer(hWnd, records, 0));
    ASSERT_EQ(2, records.GetSize());
    EXPECT_EQ(1, records[0].nId);
    EXPECT_EQ(0, records[0].nDuration);
    EXPECT_EQ(0, records[0].nTotal);
    ASSERT_EQ(2, g_pVTimer->m_Clients.GetSize());
    EXPECT_EQ(5, g_pVTimer->m_Clients[0].nDivider);

    EXPECT_EQ(0, CSmiliePreview::KillVTimer(hWnd, records, 9)) << "an id not in the list";
    EXPECT_EQ(2, records.GetSize());
    EXPECT_EQ(1, CSmiliePreview::KillVTimer(hWnd, records, 1));
    ASSERT_EQ(1, records.GetSize());
    EXPECT_EQ(2, records[0].nId);
    EXPECT_EQ(1, g_pVTimer->m_Clients.GetSize());

    ::PostMessageA(hWnd, WM_VTIMER, 2, 0);
    EXPECT_EQ(1, CSmiliePreview::KillVTimer(hWnd, records, 0));
    EXPECT_EQ(0, records.GetSize());
    EXPECT_EQ(0, g_pVTimer->m_Clients.GetSize());
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, hWnd, WM_VTIMER, WM_VTIMER, PM_NOREMOVE)) << "queued ticks are dropped";

    g_nSetResult = 0;
    EXPECT_EQ(0, CSmiliePreview::SetVTimer(hWnd, records, 1));
    EXPECT_EQ(0, records.GetSize()) << "no record without a registration";
    ::DestroyWindow(hWnd);
}

// Dropping a window's queued ticks must not drop the end of the program: a
// quit that a nested loop handed on with PostQuitMessage comes out of any
// filtered peek, and goes back.
TEST(VTimerBacklog, DroppingTicksKeepsAQuitThatWasHandedOn)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hWnd != NULL);
    PostMessageA(hWnd, WM_VTIMER, 1, 0);
    PostQuitMessage(7);
    DropQueuedVTimers(hWnd);
    WPARAM nCode = 0;
    const bool bQuit = TakeQueuedQuit(&nCode);
    DestroyWindow(hWnd);
    EXPECT_TRUE(bQuit) << "the quit was dropped with the ticks";
    EXPECT_EQ(7u, nCode);
}
