// Downloads of malformed server answers: corrupt headers in a table, then a
// bounded run of mutated responses. Every download must end in a final state
// with no result beyond the size limit, and nothing may crash or hang.
#include "tests/collection/LoopbackHttpServer.h"  // winsock2.h before windows.h
#include "collection/CheckUrl.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Done
{
    int nState = -1;
    DWORD nResult = 0;
};

std::map<WPARAM, Done> g_done;
std::map<WPARAM, CCheckUrl*> g_handles;

LRESULT CALLBACK OwnerProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_DOWNLOADDONE) {
        Done& d = g_done[wParam];
        d.nState = static_cast<int>(lParam);
        d.nResult = CCheckUrl::TakeResult(g_handles[wParam], NULL);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MakeOwner()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxCheckUrlFuzzOwner";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
}

bool PumpUntilAllDone(size_t nCount, DWORD dwMillis)
{
    DWORD dwStart = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (g_done.size() >= nCount)
            return true;
        if (GetTickCount() - dwStart >= dwMillis)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
    }
}

bool IsFinalState(int n)
{
    return n == DOWNLOAD_DONE || n == DOWNLOAD_FAILED || n == DOWNLOAD_OPENFAILED || n == DOWNLOAD_TOOLARGE ||
           n == DOWNLOAD_CHUNKTOOLARGE;
}

void ReleaseAllAndWait()
{
    for (auto& h : g_handles)
        CCheckUrl::Release(h.second);
    g_handles.clear();
    EXPECT_TRUE(CCheckUrlGarbageCollector::WaitUntilEmpty(10000));
}

} // namespace

TEST(CheckUrlCorrupt, MalformedContentLengthIsTakenAsUnknown)
{
    LoopbackHttpServer server;
    const std::string body(700, 'x');
    struct Row { const char* pszName; std::string header; };
    const Row rows[] = {
        {"letters", "Content-Length: abc\r\n"},
        {"negative", "Content-Length: -5\r\n"},
        {"beyond 32 bits", "Content-Length: 99999999999999999999\r\n"},
        {"longer than 33 characters", "Content-Length: 0000000000000000000000000000000000000700\r\n"},
        {"empty", "Content-Length: \r\n"},
    };
    HWND hOwner = MakeOwner();
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); i++) {
        HttpResponse r;
        r.bSendLength = false;
        r.extraHeaders = rows[i].header;
        r.body = body;
        server.Add("/r" + std::to_string(i), r);
        CCheckUrl* pHandle = NULL;
        CCheckUrl::StartDownload(&pHandle, server.Url("/r" + std::to_string(i)).c_str(), 100, hOwner, i + 1);
        g_handles[i + 1] = pHandle;
    }
    ASSERT_TRUE(PumpUntilAllDone(sizeof(rows) / sizeof(rows[0]), 20000));
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); i++) {
        const Done& d = g_done[i + 1];
        EXPECT_TRUE(IsFinalState(d.nState)) << rows[i].pszName << ": state " << d.nState;
        EXPECT_TRUE(d.nResult == 0 || d.nResult == body.size()) << rows[i].pszName << ": " << d.nResult;
        EXPECT_EQ(d.nState == DOWNLOAD_DONE, d.nResult != 0) << rows[i].pszName;
    }
    ReleaseAllAndWait();
    DestroyWindow(hOwner);
}

TEST(CheckUrlCorrupt, MutatedResponsesEndCleanly)
{
    LoopbackHttpServer server;
    std::string valid = "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 2000\r\n\r\n";
    valid += std::string(2000, 'g');
    std::mt19937 rng(20261210);
    // Answers are served in batches of downloads running at the same time.
    const int kBatch = 40;
    CFuzzRun run("download", kBatch, 60000);
    HWND hOwner = MakeOwner();
    while (run.More()) {
        g_done.clear();
        int nCases = 0;
        for (; nCases < kBatch && run.More(); nCases++) {
            std::string s = valid;
            int nMutations = 1 + static_cast<int>(rng() % 6);
            for (int m = 0; m < nMutations; m++) {
                size_t nHeaderEnd = s.find("\r\n\r\n");
                size_t nLimit = (rng() % 4 != 0 && nHeaderEnd != std::string::npos) ? nHeaderEnd + 4 : s.size();
                if (nLimit == 0)
                    break;
                size_t nAt = rng() % nLimit;
                switch (rng() % 4) {
                case 0: s[nAt] = static_cast<char>(rng()); break;             // change a byte
                case 1: s.erase(nAt, 1 + rng() % 8); break;                    // drop bytes
                case 2: s.insert(nAt, std::string(1 + rng() % 8, static_cast<char>(rng()))); break;
                case 3: s.resize(nAt); break;                                  // cut the answer
                }
            }
            if (s.empty())
                s = "x";
            HttpResponse r;
            r.raw = run.Take(s);
            // A slot's path serves the next batch too: downloads reload, never read a cache.
            const std::string strPath = "/f" + std::to_string(nCases);
            server.Add(strPath, r);
            CCheckUrl* pHandle = NULL;
            CCheckUrl::StartDownload(&pHandle, server.Url(strPath).c_str(), 100, hOwner, nCases + 1);
            g_handles[nCases + 1] = pHandle;
        }
        ASSERT_TRUE(PumpUntilAllDone(nCases, 30000)) << g_done.size() << " of " << nCases << " ended";
        for (int i = 0; i < nCases; i++) {
            const Done& d = g_done[i + 1];
            EXPECT_TRUE(IsFinalState(d.nState)) << "case " << i << ": state " << d.nState;
            EXPECT_LE(d.nResult, TVNX_MAX_DOWNLOAD) << "case " << i;
            EXPECT_EQ(d.nState == DOWNLOAD_DONE, d.nResult != 0) << "case " << i;
        }
        ReleaseAllAndWait();
        run.Done();
    }
    DestroyWindow(hOwner);
}
