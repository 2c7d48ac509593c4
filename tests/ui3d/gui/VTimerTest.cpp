// The program-wide timer: client ids, dividers, the backlog rule and dead
// windows with ticks driven by hand; delivery and teardown with the real
// multimedia timer.
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"
#include <vector>

namespace {

const UINT kFakeTimerId = 4711;
int g_nSetCalls, g_nKillCalls;
MMRESULT g_nSetResult = kFakeTimerId;
MMRESULT g_nKillResult = TIMERR_NOERROR;

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT)
{
    g_nSetCalls++;
    return g_nSetResult;
}

MMRESULT WINAPI FakeKillEvent(UINT)
{
    g_nKillCalls++;
    return g_nKillResult;
}

class Window
{
public:
    Window()
    {
        m_hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    }
    ~Window()
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    // Removes the queued WM_VTIMER messages and returns their client ids.
    std::vector<int> TakeTicks()
    {
        std::vector<int> ids;
        MSG msg;
        while (PeekMessageA(&msg, m_hWnd, WM_VTIMER, WM_VTIMER, PM_REMOVE))
            ids.push_back(static_cast<int>(msg.wParam));
        return ids;
    }
    HWND m_hWnd;
};

// A timer whose multimedia timer is a stand-in: ticks come only from Tick().
class ManualVTimer : public testing::Test
{
protected:
    void SetUp() override
    {
        g_nSetCalls = g_nKillCalls = 0;
        g_nSetResult = kFakeTimerId;
        g_nKillResult = TIMERR_NOERROR;
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        m_pTimer = new CVTimer();
    }
    void TearDown() override
    {
        g_nKillResult = TIMERR_NOERROR;
        delete m_pTimer;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
    }
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; i++)
            CVTimer::TimerProc(kFakeTimerId, 0, reinterpret_cast<DWORD_PTR>(m_pTimer), 0, 0);
    }
    CVTimer* m_pTimer;
};

} // namespace

TEST_F(ManualVTimer, ResolutionAndIdle)
{
    EXPECT_EQ(10u, m_pTimer->m_nDelay);
    EXPECT_GE(m_pTimer->m_nResolution, 1u);
    EXPECT_EQ(0u, m_pTimer->m_nTimerId);
    Window w;
    EXPECT_EQ(0, m_pTimer->RemoveClient(0, w.m_hWnd)) << "empty list";
    EXPECT_EQ(0, g_nSetCalls);
}

TEST_F(ManualVTimer, ClientIdsAreSmallestFreePerWindow)
{
    Window a, b;
    EXPECT_EQ(1, m_pTimer->AddClient(a.m_hWnd, 1));
    EXPECT_EQ(2, m_pTimer->AddClient(a.m_hWnd, 1));
    EXPECT_EQ(1, m_pTimer->AddClient(b.m_hWnd, 1));
    EXPECT_EQ(1, m_pTimer->RemoveClient(1, a.m_hWnd));
    EXPECT_EQ(1, m_pTimer->AddClient(a.m_hWnd, 1)) << "id 1 is free again";
    EXPECT_EQ(3, m_pTimer->AddClient(a.m_hWnd, 0));
    EXPECT_EQ(1, g_nSetCalls) << "the first registration starts the timer";
    EXPECT_EQ(kFakeTimerId, m_pTimer->m_nTimerId);
    EXPECT_EQ(1, m_pTimer->m_Clients[m_pTimer->m_Clients.GetSize() - 1].nDivider) << "divider 0 counts as 1";

    EXPECT_EQ(1, m_pTimer->RemoveClient(0, a.m_hWnd));
    EXPECT_EQ(1, m_pTimer->m_Clients.GetSize());
    EXPECT_EQ(0, g_nKillCalls) << "b is still registered";
    EXPECT_EQ(1, m_pTimer->RemoveClient(7, b.m_hWnd)) << "no such id: nothing removed";
    EXPECT_EQ(1, m_pTimer->RemoveClient(1, b.m_hWnd));
    EXPECT_EQ(1, g_nKillCalls);
    EXPECT_EQ(0u, m_pTimer->m_nTimerId);
    EXPECT_EQ(0, m_pTimer->RemoveClient(0, b.m_hWnd));
}

TEST_F(ManualVTimer, StartAndStopFailures)
{
    Window w;
    g_nSetResult = 0;
    EXPECT_EQ(0, m_pTimer->AddClient(w.m_hWnd, 1));
    EXPECT_EQ(0, m_pTimer->m_Clients.GetSize());
    g_nSetResult = kFakeTimerId;
    EXPECT_EQ(1, m_pTimer->AddClient(w.m_hWnd, 1));
    g_nKillResult = TIMERR_NOCANDO;
    EXPECT_EQ(0, m_pTimer->RemoveClient(1, w.m_hWnd)) << "the timer could not be stopped";
    EXPECT_EQ(kFakeTimerId, m_pTimer->m_nTimerId);
}

TEST_F(ManualVTimer, DividerDeliversEveryNthTick)
{
    Window a, b;
    int nIdA = m_pTimer->AddClient(a.m_hWnd, 3);
    int nIdB = m_pTimer->AddClient(b.m_hWnd, 0);
    std::vector<int> ticksOfA;
    for (int nTick = 1; nTick <= 9; nTick++) {
        Tick();
        m_pTimer->ResetBacklog();
        bool bExpected = nTick % 3 == 0;
        std::vector<int> got = a.TakeTicks();
        EXPECT_EQ(bExpected ? std::vector<int>{nIdA} : std::vector<int>{}, got) << "tick " << nTick;
        EXPECT_EQ(std::vector<int>{nIdB}, b.TakeTicks()) << "tick " << nTick;
    }
}

TEST_F(ManualVTimer, OtherTimerIdsAreIgnored)
{
    Window w;
    m_pTimer->AddClient(w.m_hWnd, 1);
    CVTimer::TimerProc(kFakeTimerId + 1, 0, reinterpret_cast<DWORD_PTR>(m_pTimer), 0, 0);
    CVTimer::TimerProc(kFakeTimerId, 0, reinterpret_cast<DWORD_PTR>(&w), 0, 0);
    EXPECT_TRUE(w.TakeTicks().empty());
}

TEST_F(ManualVTimer, BacklogStopsTicksUntilAWindowProcedureRuns)
{
    Window w;
    m_pTimer->AddClient(w.m_hWnd, 1);
    Tick(33);
    EXPECT_EQ(33u, w.TakeTicks().size());
    Tick(5);
    EXPECT_TRUE(w.TakeTicks().empty()) << "34th and later ticks post nothing";

    // What a client window procedure does for any message.
    g_pVTimer = m_pTimer;
    ResetVTimerBacklog();
    g_pVTimer = NULL;
    Tick();
    EXPECT_EQ(1u, w.TakeTicks().size());
}

TEST_F(ManualVTimer, DestroyedWindowIsDroppedAtTheNextTick)
{
    Window a, b;
    m_pTimer->AddClient(a.m_hWnd, 1);
    m_pTimer->AddClient(b.m_hWnd, 1);
    m_pTimer->AddClient(a.m_hWnd, 2);
    HWND hDead = a.m_hWnd;
    DestroyWindow(hDead);
    Tick();
    ASSERT_EQ(1, m_pTimer->m_Clients.GetSize());
    EXPECT_EQ(b.m_hWnd, m_pTimer->m_Clients[0].hWnd);
    EXPECT_EQ(1u, b.TakeTicks().size());
    EXPECT_EQ(0, g_nKillCalls);

    DestroyWindow(b.m_hWnd);
    Tick();
    EXPECT_EQ(0, m_pTimer->m_Clients.GetSize());
    EXPECT_EQ(1, g_nKillCalls) << "the last registration gone stops the timer";
    EXPECT_EQ(0u, m_pTimer->m_nTimerId);
}

// The multimedia timer thread may deliver a tick for an object that is being
// deleted: the destructor stops the timer, and such a late tick touches nothing.
TEST(VTimerTeardown, LateTickAfterDeleteTouchesNothing)
{
    g_nSetCalls = g_nKillCalls = 0;
    g_nSetResult = kFakeTimerId;
    g_nKillResult = TIMERR_NOERROR;
    CVTimer::s_pfnSetEvent = FakeSetEvent;
    CVTimer::s_pfnKillEvent = FakeKillEvent;
    Window w;
    CVTimer* pTimer = new CVTimer();
    ASSERT_EQ(1, pTimer->AddClient(w.m_hWnd, 1));
    DWORD_PTR dwUser = reinterpret_cast<DWORD_PTR>(pTimer);
    delete pTimer;
    EXPECT_EQ(1, g_nKillCalls) << "the running timer is stopped";
    // Fill the freed memory the way a new allocation might.
    std::vector<CVTimer*> others;
    for (int i = 0; i < 8; i++) {
        others.push_back(new CVTimer());
        others.back()->AddClient(w.m_hWnd, 1);
    }
    CVTimer::TimerProc(kFakeTimerId, 0, dwUser, 0, 0);
    for (CVTimer* p : others)
        if (reinterpret_cast<DWORD_PTR>(p) != dwUser)
            delete p;
    std::vector<int> ticks = w.TakeTicks();
    for (CVTimer* p : others)
        if (reinterpret_cast<DWORD_PTR>(p) == dwUser)
            delete p;
    CVTimer::s_pfnSetEvent = timeSetEvent;
    CVTimer::s_pfnKillEvent = timeKillEvent;
    // A new object at the same address is live and may tick; the old one may not.
    bool bReused = false;
    for (CVTimer* p : others)
        bReused = bReused || reinterpret_cast<DWORD_PTR>(p) == dwUser;
    if (!bReused) {
        EXPECT_TRUE(ticks.empty());
    }
}

// ---- with the real multimedia timer ------------------------------------------------

namespace {

std::vector<std::pair<HWND, int>> g_received;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    ResetVTimerBacklog();
    if (uMsg == WM_VTIMER) {
        g_received.push_back({hWnd, static_cast<int>(wParam)});
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MakeRecordingWindow()
{
    static bool bRegistered = false;
    if (!bRegistered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxVTimerTestWindow";
        RegisterClassA(&wc);
        bRegistered = true;
    }
    return CreateWindowExA(0, "TvnxVTimerTestWindow", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

int CountFor(HWND hWnd, int nId)
{
    int n = 0;
    for (auto& r : g_received)
        n += r.first == hWnd && r.second == nId;
    return n;
}

} // namespace

TEST(VTimer, RealTimerDeliversToEachClientByItsDivider)
{
    g_received.clear();
    g_pVTimer = new CVTimer();
    HWND hFast = MakeRecordingWindow(), hSlow = MakeRecordingWindow();
    int nFast = g_pVTimer->AddClient(hFast, 1);
    int nSlow = g_pVTimer->AddClient(hSlow, 5);
    ASSERT_NE(0, nFast);
    ASSERT_NE(0, nSlow);
    EXPECT_TRUE(PumpUntil([&] { return CountFor(hFast, nFast) >= 40; }, 5000));
    int nFastCount = CountFor(hFast, nFast), nSlowCount = CountFor(hSlow, nSlow);
    EXPECT_GE(nSlowCount, 4);
    EXPECT_LE(nSlowCount, nFastCount / 3);

    EXPECT_EQ(1, g_pVTimer->RemoveClient(0, hFast));
    EXPECT_EQ(1, g_pVTimer->RemoveClient(nSlow, hSlow));
    EXPECT_EQ(0u, g_pVTimer->m_nTimerId);
    delete g_pVTimer;
    g_pVTimer = NULL;
    DestroyWindow(hFast);
    DestroyWindow(hSlow);
}

// Deleting the timer while it ticks: the destructor stops the timer first, and
// a tick that is already on its way finds the object gone, so nothing is posted
// (or touched) afterwards.
TEST(VTimer, DeletingWhileTickingStopsEveryTick)
{
    HWND hWnd = MakeRecordingWindow();
    for (int nRound = 0; nRound < 30; nRound++) {
        g_received.clear();
        CVTimer* pTimer = new CVTimer();
        g_pVTimer = pTimer;
        ASSERT_NE(0, pTimer->AddClient(hWnd, 1));
        ASSERT_TRUE(PumpUntil([] { return !g_received.empty(); }, 2000)) << "round " << nRound;
        g_pVTimer = NULL;
        delete pTimer;
        // Drain what was posted before the delete, then no tick may follow.
        MSG msg;
        while (PeekMessageA(&msg, hWnd, WM_VTIMER, WM_VTIMER, PM_REMOVE)) {
        }
        g_received.clear();
        PumpUntil([] { return !g_received.empty(); }, nRound == 0 ? 100 : 25);
        EXPECT_TRUE(g_received.empty()) << "tick after delete in round " << nRound;
    }
    DestroyWindow(hWnd);
}
