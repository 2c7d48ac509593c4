// The hiding flight: its path, colour and timing step by step with hand-fed
// timer ticks, the end of a flight that has no way to go, and the thread
// started and stopped many times.
#include "app/TrayAnimationThread.h"
#include "app/TrayAnimationWnd.h"
#include "services/Messages.h"
#include "tests/tools/Pump.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>

namespace {

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT)
{
    return 4711;
}

MMRESULT WINAPI FakeKillEvent(UINT)
{
    return TIMERR_NOERROR;
}

// The program's timer with the multimedia timer replaced: nothing ticks by
// itself, the test feeds each step.
class FlightTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
    }
    void TearDown() override
    {
        if (wnd.m_hWnd != NULL)
            wnd.DestroyWindow();
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
    }
    bool Closed()
    {
        return PumpUntil([this] { return wnd.m_hWnd == NULL; }, 2000);
    }
    std::string Describe(const RECT& rc)
    {
        char sz[80];
        wsprintfA(sz, "(%ld, %ld, %ld, %ld)", rc.left, rc.top, rc.right, rc.bottom);
        return sz;
    }

    // From the centre (200, 150) to the centre (500, 550): 500 pixels.
    const RECT rcStart = {100, 100, 300, 200};
    const RECT rcTray = {492, 542, 508, 558};
    const COLORREF clrStart = RGB(200, 0, 100), clrEnd = RGB(0, 200, 100);
    CTrayAnimationWnd wnd;
};

TEST_F(FlightTest, ShrinksAlongTheLineAndShiftsItsColour)
{
    ASSERT_TRUE(wnd.CreateFlight(rcStart, rcTray, NULL, clrStart, clrEnd, NULL));
    ASSERT_EQ(500, wnd.m_nDistance);
    ASSERT_NE(0, wnd.m_nFlightTimer);
    EXPECT_FALSE(wnd.IsWindowVisible()) << "hidden until the first step";
    struct Step
    {
        int d;
        RECT rc;
        COLORREF clr;
    } steps[] = {
        {0, {100, 100, 300, 200}, RGB(198, 2, 100)},  // at least 1 percent of the way
        {250, {296, 321, 404, 379}, RGB(100, 100, 100)},
        {400, {414, 454, 466, 486}, RGB(40, 160, 100)},
        {500, {492, 542, 508, 558}, RGB(0, 200, 100)},
    };
    for (const Step& s : steps) {
        wnd.OnVTimer(wnd.m_nFlightTimer, s.d);
        RECT rc;
        wnd.GetWindowRect(&rc);
        EXPECT_TRUE(EqualRect(&rc, &s.rc)) << "d = " << s.d << ": " << Describe(rc);
        EXPECT_EQ(s.clr, wnd.m_clrFill) << "d = " << s.d;
        EXPECT_TRUE(wnd.IsWindowVisible()) << "d = " << s.d;
    }
    wnd.OnVTimer(wnd.m_nFlightTimer + 1, 600);
    EXPECT_NE((HWND)NULL, wnd.m_hWnd) << "another timer's tick is ignored";
    wnd.OnVTimer(wnd.m_nFlightTimer, 501);
    EXPECT_EQ(0, wnd.m_nFlightTimer) << "past the distance the timer stops";
    EXPECT_TRUE(Closed());
}

TEST_F(FlightTest, FrameIsHollow)
{
    ASSERT_TRUE(wnd.CreateFlight(rcStart, rcTray, NULL, clrStart, clrEnd, NULL));
    wnd.OnVTimer(wnd.m_nFlightTimer, 250);  // 108 x 58: a border of 4 pixels
    HRGN hRgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(wnd.m_hWnd, hRgn));
    EXPECT_TRUE(PtInRegion(hRgn, 1, 29)) << "left border";
    EXPECT_TRUE(PtInRegion(hRgn, 54, 3)) << "top border";
    EXPECT_FALSE(PtInRegion(hRgn, 54, 29)) << "middle";
    DeleteObject(hRgn);
}

TEST_F(FlightTest, SameCentresEndTheFlightAtOnce)
{
    // A window centred on the icon: no way to go, and nothing to divide by.
    const RECT rcOnIcon = {450, 500, 550, 600};
    ASSERT_TRUE(wnd.CreateFlight(rcOnIcon, rcTray, NULL, clrStart, clrEnd, NULL));
    ASSERT_EQ(0, wnd.m_nDistance);
    wnd.SendMessage(WM_VTIMER, wnd.m_nFlightTimer);
    EXPECT_EQ(0, wnd.m_nFlightTimer);
    EXPECT_FALSE(wnd.IsWindowVisible());
    EXPECT_TRUE(Closed());
}

TEST_F(FlightTest, TimerTicksMeasureTheElapsedTime)
{
    ASSERT_TRUE(wnd.CreateFlight(rcStart, rcTray, NULL, clrStart, clrEnd, NULL));
    ASSERT_EQ(1, wnd.m_Timers.GetSize());
    CVTimerRcrd& r = wnd.m_Timers[0];
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    EXPECT_EQ(freq.QuadPart * 300 / 1000, r.nDuration);
    EXPECT_EQ(500, r.nTotal);

    // Half the duration gone: the window is at least halfway.
    r.nStart -= r.nDuration / 2;
    wnd.SendMessage(WM_VTIMER, wnd.m_nFlightTimer);
    RECT rc;
    wnd.GetWindowRect(&rc);
    const int x = (rc.left + rc.right) / 2;
    EXPECT_GE(x, 350) << Describe(rc);
    EXPECT_LT(x, 500) << Describe(rc);

    // The whole duration gone: the flight ends.
    wnd.m_Timers[0].nStart -= wnd.m_Timers[0].nDuration;
    wnd.SendMessage(WM_VTIMER, wnd.m_nFlightTimer);
    EXPECT_TRUE(Closed());
}

TEST_F(FlightTest, LateFirstTickDropsTheSnapshot)
{
    struct Case
    {
        int d;
        bool bKept;
    } cases[] = {{0, true}, {99, true}, {101, false}};
    for (const Case& c : cases) {
        HDC hScreen = GetDC(NULL);
        CBitmap snapshot;
        snapshot.Attach(CreateCompatibleBitmap(hScreen, 200, 100));
        ReleaseDC(NULL, hScreen);
        CTrayAnimationWnd w;
        ASSERT_TRUE(w.CreateFlight(rcStart, rcTray, snapshot, clrStart, clrEnd, NULL)) << c.d;
        ASSERT_NE((HGDIOBJ)NULL, w.m_bmpScaled.m_hObject) << c.d;
        w.OnVTimer(w.m_nFlightTimer, c.d);
        EXPECT_EQ(c.bKept, w.m_hSnapshot != NULL) << "first tick at d = " << c.d;
        EXPECT_EQ(c.bKept, w.m_bmpScaled.m_hObject != NULL) << "first tick at d = " << c.d;
        w.DestroyWindow();
    }
}

TEST_F(FlightTest, EmptyStartMakesNoWindow)
{
    const RECT rcFlat = {100, 100, 300, 100};
    EXPECT_FALSE(wnd.CreateFlight(rcFlat, rcTray, NULL, clrStart, clrEnd, NULL));
    EXPECT_EQ(NULL, wnd.m_hWnd);
}

// The real timer and the real thread: every run ends and every Stop returns,
// whether the flight finished by itself, was cut short or never started.
class TrayThreadTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_pVTimer = new CVTimer();
        LPCSTR pszClass = AfxRegisterWndClass(0, NULL, (HBRUSH)GetStockObject(WHITE_BRUSH));
        ASSERT_TRUE(source.CreateEx(0, pszClass, "source", WS_POPUP | WS_VISIBLE, 50, 60, 220, 300, NULL, NULL));
        ASSERT_TRUE(parent.CreateEx(0, pszClass, "parent", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    }
    void TearDown() override
    {
        source.DestroyWindow();
        parent.DestroyWindow();
        delete g_pVTimer;
        g_pVTimer = NULL;
    }
    CWnd source, parent;
};

TEST_F(TrayThreadTest, StartsAndStopsCleanlyManyTimes)
{
    for (int i = 0; i < 24; i++) {
        CTrayAnimationThread* pThread = new CTrayAnimationThread;
        ASSERT_TRUE(pThread->Start(&source, 16, 7, i % 2, RGB(255, 0, 0), RGB(0, 0, 255), &parent)) << i;
        EXPECT_FALSE(pThread->Start(&source, 16, 7, FALSE, 0, 0, &parent)) << i << ": already running";
        if (i % 3 == 0) {
            // Let this one fly to the end: the thread ends by itself.
            HANDLE h = pThread->m_hThread;
            EXPECT_TRUE(PumpUntil([h] { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, 10000)) << i;
        }
        pThread->Stop();
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pThread->m_hThread, 0)) << i;
        EXPECT_EQ(NULL, pThread->m_pAnimWnd) << i;
        delete pThread;
    }
    EXPECT_EQ(0, g_pVTimer->m_Clients.GetSize()) << "every flight gave its timer back";
}

TEST_F(TrayThreadTest, WindowWithoutHeightFliesNothing)
{
    source.MoveWindow(50, 60, 220, 0);
    CTrayAnimationThread thread;
    ASSERT_TRUE(thread.Start(&source, 16, 7, TRUE, 0, 0, &parent));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.m_hEvent, 5000));
    EXPECT_EQ(NULL, thread.m_pAnimWnd);
    thread.Stop();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.m_hThread, 0));
}

}  // namespace
