// The web-smilie queue with real downloads from a server on 127.0.0.1 that
// holds every request until the test lets it go: never more than 4 run at
// once, and the end of one starts the next.
#include "tests/collection/HeldHttpServer.h"

#include "services/Messages.h"
#include "collection/CheckUrl.h"
#include "collection/Smilie.h"
#include "tests/collection/SmilieTestField.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"

#include <memory>
#include <vector>

namespace {

const char kBody[] = "GIF89a picture bytes of a test";

// Does what a field window does when a download ends: takes the result, lets
// the worker go, and starts what the queue allows.
struct DownloadOwner
{
    int nDone = 0;
    int nMaxRunning = 0;
    std::vector<DWORD> results;
    std::vector<std::unique_ptr<CSmilie>>* pSmilies = nullptr;

    int Running() const
    {
        int n = 0;
        for (const auto& p : *pSmilies)
            n += p->m_pDownload != NULL;
        return n;
    }

    void OnDone(CSmilie* pSmilie, LPARAM nState)
    {
        CSmilie::UnqueueDownload(pSmilie);
        EXPECT_EQ(2, nState);
        EXPECT_EQ(2u, pSmilie->GetDownloadState() & 0xFF);
        results.push_back(CCheckUrl::TakeResult(pSmilie->m_pDownload, NULL));
        pSmilie->SetImage(1);
        pSmilie->ReleaseDownload();
        nDone++;
        while (CSmilie::StartNextDownload(FALSE, NULL)) {
        }
        if (Running() > nMaxRunning)
            nMaxRunning = Running();
    }

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
    {
        if (nMsg == WM_DOWNLOADDONE) {
            auto* pOwner = reinterpret_cast<DownloadOwner*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
            pOwner->OnDone(reinterpret_cast<CSmilie*>(wParam), lParam);
            return 0;
        }
        return DefWindowProcA(hWnd, nMsg, wParam, lParam);
    }
};

HWND CreateOwnerWindow(DownloadOwner* pOwner)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DownloadOwner::WndProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxSmilieDownloadOwner";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pOwner));
    return hWnd;
}

}   // namespace

TEST(WebSmilieDownload, AtMostFourRunAndEachEndStartsTheNext)
{
    CHeldHttpServer server(kBody);
    ASSERT_TRUE(server.Start());
    DownloadOwner owner;
    std::vector<std::unique_ptr<CSmilie>> smilies;
    owner.pSmilies = &smilies;
    const HWND hWnd = CreateOwnerWindow(&owner);
    ASSERT_NE(nullptr, hWnd);
    CTestSmilieField field(40, 40);
    field.m_hWnd = hWnd;

    ASSERT_EQ(0, g_WebSmilieQueue.GetSize());
    g_nWebSmilieCursor = -1;
    for (int i = 0; i < 6; i++) {
        smilies.emplace_back(new CSmilie);
        CSmilie* p = smilies.back().get();
        p->SetSource(server.Url("/smilie" + std::to_string(i) + ".gif").c_str());
        p->SetField(&field);
        ASSERT_TRUE(CSmilie::QueueDownload(p));
    }

    // Four start; the fifth call finds four running ahead of the fifth smilie.
    int nStarted = 0;
    while (CSmilie::StartNextDownload(FALSE, NULL))
        nStarted++;
    EXPECT_EQ(4, nStarted);
    EXPECT_EQ(4, owner.Running());
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(1u, smilies[i]->GetDownloadState() & 0xFF) << "smilie " << i;
    EXPECT_EQ(nullptr, smilies[4]->m_pDownload);
    EXPECT_TRUE(PumpUntil([&] { return server.Open() == 4; }, 15000)) << server.Open() << " requests arrived";

    // Each answer ends one download, and its end starts the next waiting one.
    for (int i = 0; i < 6; i++) {
        server.Release();
        EXPECT_TRUE(PumpUntil([&] { return owner.nDone == i + 1; }, 15000)) << "download " << i;
        EXPECT_EQ(i < 2 ? 4 : 5 - i, owner.Running()) << "after download " << i;
    }

    EXPECT_EQ(4, owner.nMaxRunning);
    EXPECT_LE(server.MaxOpen(), 4);
    EXPECT_EQ(6, server.Answered());
    for (DWORD n : owner.results)
        EXPECT_EQ(sizeof(kBody) - 1, n);
    EXPECT_EQ(0, g_WebSmilieQueue.GetSize());

    smilies.clear();
    DestroyWindow(hWnd);
    EXPECT_TRUE(CCheckUrlGarbageCollector::WaitUntilEmpty(10000));
}

TEST(WebSmilieDownload, ASmilieGoneMidDownloadLetsItsWorkerGo)
{
    CHeldHttpServer server(kBody);
    ASSERT_TRUE(server.Start());
    DownloadOwner owner;
    std::vector<std::unique_ptr<CSmilie>> smilies;
    owner.pSmilies = &smilies;
    const HWND hWnd = CreateOwnerWindow(&owner);
    CTestSmilieField field(40, 40);
    field.m_hWnd = hWnd;

    smilies.emplace_back(new CSmilie);
    CSmilie* p = smilies.back().get();
    p->SetSource(server.Url("/held.gif").c_str());
    p->SetField(&field);
    ASSERT_TRUE(CSmilie::QueueDownload(p));
    g_nWebSmilieCursor = 0;
    ASSERT_TRUE(CSmilie::StartNextDownload(FALSE, NULL));
    EXPECT_TRUE(PumpUntil([&] { return server.Open() == 1; }, 15000));

    // A copy made now has no worker and counts the download as failed.
    CSmilie copy(*p);
    EXPECT_EQ(nullptr, copy.m_pDownload);
    EXPECT_EQ(3u, copy.GetDownloadState());
    copy.SetField(NULL);

    smilies.clear();
    EXPECT_EQ(1, g_WebSmilieQueue.GetSize());   // only the copy is left
    CSmilie::UnqueueDownload(&copy);
    server.Release();
    PumpUntil([&] { return server.Answered() == 1; }, 15000);
    // The released worker frees itself; whatever it posted is queued by then.
    EXPECT_TRUE(PumpUntil([] { return CCheckUrlGarbageCollector::GetCount() == 0; }, 10000));
    PumpPending();
    EXPECT_EQ(0, owner.nDone);   // nothing is sent after the release
    DestroyWindow(hWnd);
    EXPECT_TRUE(CCheckUrlGarbageCollector::WaitUntilEmpty(10000));
}
