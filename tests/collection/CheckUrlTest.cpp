// Downloads and the connection probe against a server of the test's own on
// 127.0.0.1: final states, progress, results, cancellation, many workers, the
// registry and the program's exit.
#include "tests/collection/LoopbackHttpServer.h"  // winsock2.h before windows.h
#include "collection/CheckUrl.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"

#include <map>
#include <string>
#include <vector>

namespace {

struct Progress
{
    int nState;
    int nProgress;
};

// The owner window: records what the workers tell it and takes the result
// while it handles WM_DOWNLOADDONE, as the program's fields do.
class Owner
{
public:
    Owner()
    {
        static bool bRegistered = false;
        if (!bRegistered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleA(NULL);
            wc.lpszClassName = "TvnxCheckUrlTestOwner";
            RegisterClassA(&wc);
            bRegistered = true;
        }
        m_hWnd = CreateWindowExA(0, "TvnxCheckUrlTestOwner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                 GetModuleHandleA(NULL), NULL);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Owner() { DestroyWindow(m_hWnd); }

    // Starts a download whose cookie is its index.
    WPARAM Start(const std::string& strUrl, int nProgressMax = 100)
    {
        WPARAM nCookie = m_handles.size() + 1;
        CCheckUrl* pHandle = NULL;
        CCheckUrl::StartDownload(&pHandle, strUrl.c_str(), nProgressMax, m_hWnd, nCookie);
        m_handles[nCookie] = pHandle;
        return nCookie;
    }
    void Release(WPARAM nCookie)
    {
        CCheckUrl::Release(m_handles[nCookie]);
        m_handles[nCookie] = NULL;
    }
    void ReleaseAll()
    {
        for (auto& h : m_handles) {
            CCheckUrl::Release(h.second);
            h.second = NULL;
        }
    }

    // Pumps until every one of the cookies has its WM_DOWNLOADDONE, or time is up.
    bool WaitDone(const std::vector<WPARAM>& cookies, DWORD dwMillis = 10000)
    {
        return PumpUntil([&] {
            for (WPARAM c : cookies)
                if (m_done.find(c) == m_done.end())
                    return false;
            return true;
        }, dwMillis);
    }

    HWND m_hWnd;
    std::map<WPARAM, CCheckUrl*> m_handles;
    std::map<WPARAM, int> m_done;  // final state
    std::map<WPARAM, int> m_doneCount;
    std::map<WPARAM, std::string> m_results;
    std::map<WPARAM, std::vector<Progress>> m_progress;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        Owner* p = reinterpret_cast<Owner*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (p != NULL && uMsg == WM_DOWNLOADPROGRESS) {
            p->m_progress[wParam].push_back({static_cast<int>(lParam & 0xFF), static_cast<int>((lParam >> 16) & 0xFF)});
            return 0;
        }
        if (p != NULL && uMsg == WM_DOWNLOADDONE) {
            p->m_done[wParam] = static_cast<int>(lParam);
            p->m_doneCount[wParam]++;
            CCheckUrl* pHandle = p->m_handles.count(wParam) ? p->m_handles[wParam] : NULL;
            if (pHandle == NULL && wParam == 0 && g_ConnectionProbes.GetSize() > 0)
                pHandle = g_ConnectionProbes[g_ConnectionProbes.GetSize() - 1];
            DWORD n = CCheckUrl::TakeResult(pHandle, NULL);
            std::string result(n, '\0');
            if (n != 0)
                CCheckUrl::TakeResult(pHandle, &result[0]);
            p->m_results[wParam] = result;
            return 0;
        }
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
};

std::string Picture(size_t n, int nSeed = 1)
{
    std::string s = "GIF89a";
    s.resize(n);
    for (size_t i = 6; i < n; i++)
        s[i] = static_cast<char>((i * 31 + nSeed * 7) & 0xFF);
    return s;
}

bool RegistryEmptiesWithin(DWORD dwMillis)
{
    return PumpUntil([] { return CCheckUrlGarbageCollector::GetCount() == 0; }, dwMillis);
}

} // namespace

TEST(CheckUrl, GoodPictureReportsProgressThenDone)
{
    LoopbackHttpServer server;
    HttpResponse r;
    r.body = Picture(20000);
    r.chunks = {4000, 4000, 4000};
    r.dwPauseMs = 20;
    server.Add("/smile.gif", r);

    Owner owner;
    WPARAM nCookie = owner.Start(server.Url("/smile.gif"), 100);
    ASSERT_TRUE(owner.WaitDone({nCookie}));
    EXPECT_EQ(DOWNLOAD_DONE, owner.m_done[nCookie]);
    EXPECT_EQ(r.body, owner.m_results[nCookie]);

    const std::vector<Progress>& posts = owner.m_progress[nCookie];
    ASSERT_GE(posts.size(), 4u);
    EXPECT_EQ(DOWNLOAD_RUNNING, posts.front().nState);
    EXPECT_EQ(0, posts.front().nProgress);
    EXPECT_EQ(DOWNLOAD_DONE, posts.back().nState);
    EXPECT_EQ(100, posts.back().nProgress);
    for (size_t i = 1; i < posts.size(); i++)
        EXPECT_GE(posts[i].nProgress, posts[i - 1].nProgress) << "a known length makes the bar only grow, post " << i;
    EXPECT_EQ(DOWNLOAD_DONE, CCheckUrl::GetState(owner.m_handles[nCookie]));

    owner.ReleaseAll();
    EXPECT_EQ(1, owner.m_doneCount[nCookie]);
    EXPECT_TRUE(RegistryEmptiesWithin(8000)) << "a released worker frees itself";
}

TEST(CheckUrl, FinalStatesOfFailures)
{
    LoopbackHttpServer server;
    HttpResponse announced;
    announced.nAnnouncedLength = 400000;
    announced.body = Picture(100);
    server.Add("/announced-too-large", announced);

    HttpResponse unannounced;
    unannounced.bSendLength = false;
    unannounced.body = Picture(310000);
    unannounced.chunks = {300000, 10000};
    unannounced.dwPauseMs = 50;
    server.Add("/unannounced-too-large", unannounced);

    HttpResponse exactlyLimit;
    exactlyLimit.body = Picture(307200, 2);
    exactlyLimit.bSendLength = false;
    server.Add("/at-the-limit", exactlyLimit);

    HttpResponse empty;
    server.Add("/empty", empty);

    HttpResponse small;
    small.body = Picture(300, 3);
    server.Add("/small", small);

    struct Row { const char* pszName; std::string strUrl; int nProgressMax; int nState; int nLastProgress; };
    const Row rows[] = {
        {"404", server.Url("/missing.gif"), 100, DOWNLOAD_OPENFAILED, -1},
        {"announced 400000 bytes", server.Url("/announced-too-large"), 100, DOWNLOAD_TOOLARGE, -1},
        {"310000 bytes without a length", server.Url("/unannounced-too-large"), 100, DOWNLOAD_TOOLARGE, -1},
        {"307200 bytes without a length", server.Url("/at-the-limit"), 100, DOWNLOAD_DONE, 100},
        {"empty body", server.Url("/empty"), 100, DOWNLOAD_FAILED, -1},
        {"connection refused", LoopbackHttpServer::RefusedUrl(), 100, DOWNLOAD_OPENFAILED, -1},
        {"progress maximum 0 counts as 255", server.Url("/small"), 0, DOWNLOAD_DONE, 255},
    };
    Owner owner;
    std::vector<WPARAM> cookies;
    for (const Row& row : rows)
        cookies.push_back(owner.Start(row.strUrl, row.nProgressMax));
    ASSERT_TRUE(owner.WaitDone(cookies, 20000));
    for (size_t i = 0; i < cookies.size(); i++) {
        const Row& row = rows[i];
        WPARAM c = cookies[i];
        EXPECT_EQ(row.nState, owner.m_done[c]) << row.pszName;
        EXPECT_EQ(row.nState == DOWNLOAD_DONE, !owner.m_results[c].empty()) << row.pszName;
        if (row.nLastProgress >= 0 && !owner.m_progress[c].empty()) {
            EXPECT_EQ(row.nLastProgress, owner.m_progress[c].back().nProgress) << row.pszName;
        }
    }
    EXPECT_EQ(exactlyLimit.body, owner.m_results[cookies[3]]);
    owner.ReleaseAll();
    EXPECT_TRUE(RegistryEmptiesWithin(8000));
}

// Released while it waits for data: the worker ends quietly, tells nothing
// more, and frees itself after its linger time.
TEST(CheckUrl, ReleaseWhileWaitingForDataEndsQuietly)
{
    LoopbackHttpServer server;
    HttpResponse stall;
    stall.nAnnouncedLength = 5000;
    stall.body = Picture(10);
    stall.bStall = true;
    server.Add("/stall", stall);

    Owner owner;
    WPARAM nCookie = owner.Start(server.Url("/stall"));
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(server.StalledEvent(), 0) == WAIT_OBJECT_0; }, 10000));
    // The worker reads what came and then waits for more.
    PumpUntil([&] { return owner.m_progress[nCookie].size() >= 4; }, 3000);
    owner.Release(nCookie);
    EXPECT_TRUE(RegistryEmptiesWithin(8000));
    // The worker is gone: whatever it posted is queued by now.
    PumpPending();
    EXPECT_EQ(0u, owner.m_done.count(nCookie)) << "nothing is sent after the release";
}

TEST(CheckUrl, ManyWorkersAtOnce)
{
    LoopbackHttpServer server;
    const int kWorkers = 16;
    std::vector<std::string> bodies;
    for (int i = 0; i < kWorkers; i++) {
        HttpResponse r;
        r.body = Picture(1000 + i * 997, i);
        r.chunks = {500};
        r.dwPauseMs = 10;
        bodies.push_back(r.body);
        server.Add("/p" + std::to_string(i) + ".gif", r);
    }
    Owner owner;
    std::vector<WPARAM> cookies;
    for (int i = 0; i < kWorkers; i++)
        cookies.push_back(owner.Start(server.Url("/p" + std::to_string(i) + ".gif")));
    EXPECT_EQ(kWorkers, CCheckUrlGarbageCollector::GetCount());
    ASSERT_TRUE(owner.WaitDone(cookies, 20000));
    for (int i = 0; i < kWorkers; i++) {
        EXPECT_EQ(DOWNLOAD_DONE, owner.m_done[cookies[i]]) << "worker " << i;
        EXPECT_EQ(bodies[i], owner.m_results[cookies[i]]) << "worker " << i;
    }
    owner.ReleaseAll();
    EXPECT_TRUE(RegistryEmptiesWithin(10000));
}

// An owner that never released its worker must not keep the program from
// ending: the exit step gives up every registered worker and waits a bounded time.
TEST(CheckUrl, ExitWithWorkersStillRegisteredEndsInBoundedTime)
{
    LoopbackHttpServer server;
    HttpResponse stall;
    stall.nAnnouncedLength = 5000;
    stall.body = Picture(10);
    stall.bStall = true;
    server.Add("/stall", stall);
    HttpResponse good;
    good.body = Picture(500);
    server.Add("/good", good);

    Owner owner;
    WPARAM nDone1 = owner.Start(server.Url("/good"));
    WPARAM nDone2 = owner.Start(server.Url("/good"));
    owner.Start(server.Url("/stall"));
    owner.Start(server.Url("/stall"));
    ASSERT_TRUE(owner.WaitDone({nDone1, nDone2}));
    ASSERT_EQ(4, CCheckUrlGarbageCollector::GetCount());

    DWORD dwStart = GetTickCount();
    CCheckUrl::CancelProbes();
    EXPECT_TRUE(CCheckUrlGarbageCollector::WaitUntilEmpty(8000));
    EXPECT_LT(GetTickCount() - dwStart, 8000u);
    EXPECT_FALSE(CCheckUrlGarbageCollector::IsRunning());
    EXPECT_EQ(0, CCheckUrlGarbageCollector::GetCount());
    // The handles' workers are gone; forget the handles without touching them.
    for (auto& h : owner.m_handles)
        delete h.second;
    owner.m_handles.clear();
}

TEST(CheckUrl, ProbeReachesTheAddressOnce)
{
    LoopbackHttpServer server;
    HttpResponse page;
    page.body = "<html>hello</html>";
    server.Add("/probe", page);
    CCheckUrl::s_strProbeUrl = server.Url("/probe").c_str();

    Owner owner;
    EXPECT_EQ(1, CCheckUrl::ProbeConnection(owner.m_hWnd));
    EXPECT_EQ(0, CCheckUrl::ProbeConnection(owner.m_hWnd)) << "one probe at a time";
    EXPECT_EQ(1, g_ConnectionProbes.GetSize());
    ASSERT_TRUE(owner.WaitDone({0}));
    EXPECT_EQ(DOWNLOAD_DONE, owner.m_done[0]);
    EXPECT_TRUE(owner.m_results[0].empty()) << "a probe reads no data";

    std::vector<int> progress;
    for (const Progress& p : owner.m_progress[0])
        progress.push_back(p.nProgress);
    EXPECT_EQ((std::vector<int>{0, 5, 10, 15, 20}), progress);
    EXPECT_EQ(DOWNLOAD_DONE, owner.m_progress[0].back().nState);

    // The ended probe is reaped and a new one starts.
    owner.m_done.clear();
    EXPECT_EQ(1, CCheckUrl::ProbeConnection(owner.m_hWnd));
    EXPECT_EQ(1, g_ConnectionProbes.GetSize());
    ASSERT_TRUE(owner.WaitDone({0}));

    CCheckUrl::s_strProbeUrl = LoopbackHttpServer::RefusedUrl().c_str();
    owner.m_done.clear();
    EXPECT_EQ(1, CCheckUrl::ProbeConnection(owner.m_hWnd));
    ASSERT_TRUE(owner.WaitDone({0}));
    EXPECT_EQ(DOWNLOAD_OPENFAILED, owner.m_done[0]);

    CCheckUrl::CancelProbes();
    EXPECT_EQ(0, g_ConnectionProbes.GetSize());
    EXPECT_TRUE(CCheckUrlGarbageCollector::WaitUntilEmpty(8000));
}

TEST(CheckUrlGarbageCollector, RegisterRefusesDuplicatesAndIdsAreNotReused)
{
    CCheckUrlWorker* pA = new CCheckUrlWorker("http://127.0.0.1/", 0, NULL, 0);
    CCheckUrlWorker* pB = new CCheckUrlWorker("http://127.0.0.1/", 0, NULL, 0);
    CWinThread* pThreadA = reinterpret_cast<CWinThread*>(0x1000);
    CWinThread* pThreadB = reinterpret_cast<CWinThread*>(0x2000);
    EXPECT_EQ(255, pA->m_nProgressMax);

    DWORD nA = CCheckUrlGarbageCollector::Register(pThreadA, pA);
    ASSERT_NE(0u, nA);
    EXPECT_EQ(0u, CCheckUrlGarbageCollector::Register(pThreadA, pB)) << "same thread";
    EXPECT_EQ(0u, CCheckUrlGarbageCollector::Register(pThreadB, pA)) << "same worker";
    DWORD nB = CCheckUrlGarbageCollector::Register(pThreadB, pB);
    EXPECT_EQ(nA + 1, nB);
    EXPECT_EQ(pThreadA, CCheckUrlGarbageCollector::FindThread(nA));

    CMutex* pInUse = NULL;
    EXPECT_EQ(pB, CCheckUrlGarbageCollector::LockWorker(nB, &pInUse));
    CCheckUrlGarbageCollector::ReleaseWorker(pInUse);

    CCheckUrlGarbageCollector::Unregister(nA);  // destroys pA
    EXPECT_EQ(nullptr, CCheckUrlGarbageCollector::FindThread(nA));
    EXPECT_EQ(nullptr, CCheckUrlGarbageCollector::LockWorker(nA, &pInUse));
    CCheckUrlGarbageCollector::Unregister(nA);  // unknown id: nothing happens
    CCheckUrlGarbageCollector::Unregister(nB);
    EXPECT_EQ(0, CCheckUrlGarbageCollector::GetCount());

    CCheckUrlWorker* pC = new CCheckUrlWorker("x", 7, NULL, 0);
    DWORD nC = CCheckUrlGarbageCollector::Register(pThreadA, pC);
    EXPECT_GT(nC, nB) << "ids are never reused";
    CCheckUrlGarbageCollector::Unregister(nC);
}
