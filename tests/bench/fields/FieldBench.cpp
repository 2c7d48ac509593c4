// The smilie field view's three costs, each against what a bare program
// would at least spend:
//   1. A full repaint (PaintCells) of 1,000 visible cells, pictures decoded
//      and cell bitmaps made, against blitting the same 1,000 cell images into
//      the same back buffer: best and median of many rounds.
//   2. Scrolling through 5,000 animated smilies with ticks fed by hand and a
//      low cache limit: the image cache's resident bytes after every step and
//      tick, which must stay within the limit plus the largest picture.
//   3. CPU time per second of showing 100 animated smilies, against blitting
//      the same precomputed frames at the same moments, in rounds that take
//      turns with the baseline's.
//
//   bench_fields [rounds]
#define FIELDKIT_NO_GTEST
#include "tests/fields/gui/FieldTestKit.h"

#include "ui3d/controls/ControlBase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace fieldkit;

namespace {

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

double ThreadCpuSeconds()
{
    FILETIME c, e, k, u;
    GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
    const ULONGLONG n = ((ULONGLONG(k.dwHighDateTime) << 32) | k.dwLowDateTime) +
                        ((ULONGLONG(u.dwHighDateTime) << 32) | u.dwLowDateTime);
    return double(n) / 1e7;
}

void PumpAll()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); i++) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct STATS
{
    double dBest, dMedian;
};

STATS Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return STATS{v.front(), v[v.size() / 2]};
}

// Distinct animated faces of a few sizes: two frames, 10 hundredths each.
std::vector<Bytes> Pictures(int n)
{
    std::vector<Bytes> gifs;
    for (int i = 0; i < n; i++)
        gifs.push_back(AnimatedGif(16 + i % 13, 16 + i % 11, 10, 10, RGB(255, i % 256, 0), RGB(i % 256, 0, 255)));
    return gifs;
}

// --- 1: full repaint -----------------------------------------------------------

void BenchRepaint(int nRounds)
{
    const int nColumns = 40, nRows = 25, cx = 35, cy = 34;
    OpenPictures pictures(Pictures(100));
    ParentWindow parent(0, 0, nColumns * cx, nRows * cy);
    CSmiliesField field;
    if (!pictures.IsOpen() || !MakeField(field, parent, nColumns * cx, nRows * cy, cx, cy, Grid(963))) {
        fprintf(stderr, "repaint: no field\n");
        return;
    }
    for (int i = 0; i < nColumns * nRows; i++) {
        const POINT cell = {i % nColumns, i / nColumns};
        field.AddSmilie(&cell, static_cast<uint32_t>(1 + i % 100), "", NULL);
    }
    field.UpdateScrollRange(TRUE);
    field.GetBackBuffer();          // decodes, makes the cell bitmaps, starts the timers
    const RECT rcView = field.GetViewRect();
    field.PaintCells(&rcView, TRUE);

    // The baseline's 1,000 cell images, cut from what the field painted.
    HDC hScreen = GetDC(NULL);
    std::vector<HBITMAP> cells;
    HDC hCell = CreateCompatibleDC(hScreen);
    {
        CBackBufDC back(&field);
        for (int i = 0; i < nColumns * nRows; i++) {
            HBITMAP h = CreateCompatibleBitmap(hScreen, cx, cy);
            HGDIOBJ hOld = SelectObject(hCell, h);
            BitBlt(hCell, 0, 0, cx, cy, back.m_hDC, (i % nColumns) * cx, (i / nColumns) * cy, SRCCOPY);
            SelectObject(hCell, hOld);
            cells.push_back(h);
        }
    }

    std::vector<double> tField, tBase;
    for (int round = 0; round < nRounds; round++) {
        double t0 = Now();
        field.PaintCells(&rcView, TRUE);
        GdiFlush();
        tField.push_back(Now() - t0);

        CBackBufDC back(&field);
        t0 = Now();
        for (int i = 0; i < nColumns * nRows; i++) {
            HGDIOBJ hOld = SelectObject(hCell, cells[i]);
            BitBlt(back.m_hDC, (i % nColumns) * cx, (i / nColumns) * cy, cx, cy, hCell, 0, 0, SRCCOPY);
            SelectObject(hCell, hOld);
        }
        GdiFlush();
        tBase.push_back(Now() - t0);
    }
    for (HBITMAP h : cells)
        DeleteObject(h);
    DeleteDC(hCell);
    ReleaseDC(NULL, hScreen);
    const STATS f = Summarise(tField), b = Summarise(tBase);
    printf("1. full repaint of %d cells, %d rounds: field best %.2f ms, median %.2f ms; blits best %.2f ms, "
           "median %.2f ms; ratio best %.2fx, median %.2fx (goal at most 2x)\n",
           nColumns * nRows, nRounds, f.dBest * 1e3, f.dMedian * 1e3, b.dBest * 1e3, b.dMedian * 1e3,
           f.dBest / b.dBest, f.dMedian / b.dMedian);
    field.DestroyWindow();
}

// --- 2: the cache's bound while scrolling -----------------------------------------

void BenchCacheBound()
{
    const int nSmilies = 5000, nColumns = 10, cx = 35, cy = 34, nViewRows = 4;
    const std::vector<Bytes> gifs = Pictures(nSmilies);
    OpenPictures pictures(gifs);
    uint64_t nLargest = 0;
    for (const Bytes& gif : gifs) {
        CImageReader holder;
        if (CImageReader::LoadFromMemory(gif.data(), holder, static_cast<uint32_t>(gif.size()), TRUE))
            nLargest = std::max<uint64_t>(nLargest, holder.GetReader()->GetMemorySize() + 8);
    }
    // Room for the 32 pictures the cache always keeps and the 40 in view.
    const uint64_t nLimit = 80 * nLargest;
    g_pImgCache->SetMemoryLimit(nLimit);
    ParentWindow parent(0, 0, nColumns * cx, nViewRows * cy);
    CSmiliesField field;
    if (!pictures.IsOpen() || !MakeField(field, parent, nColumns * cx, nViewRows * cy, cx, cy, Grid(963))) {
        fprintf(stderr, "cache: no field\n");
        return;
    }
    for (int i = 0; i < nSmilies; i++) {
        const POINT cell = {i % nColumns, i / nColumns};
        field.AddSmilie(&cell, static_cast<uint32_t>(i + 1), "", NULL);
    }
    field.UpdateScrollRange(TRUE);
    field.GetBackBuffer();
    uint64_t nPeak = 0, nSamples = 0, nOver = 0;
    const double t0 = Now();
    const int nMax = field.GetContentHeight() - nViewRows * cy;
    for (int nPos = 0; nPos <= nMax; nPos += 17) {
        field.OnVScroll(SB_THUMBTRACK, nPos);
        std::vector<UINT> ids;
        const int nFirst = nPos / cy;
        for (int r = nFirst; r <= nFirst + nViewRows; r++)
            for (int c = 0; c < nColumns; c++)
                if (CSmilie* p = field.GetAt(c, r))
                    if (p->m_nAnimTimer != 0)
                        ids.push_back(p->m_nAnimTimer);
        for (size_t i = 0; i <= ids.size(); i++) {
            if (i > 0)
                ::SendMessageA(field.m_hWnd, WM_VTIMER, ids[i - 1], 0);
            const uint64_t n = g_pImgCache->m_nMemoryUsed;
            nPeak = std::max(nPeak, n);
            nSamples++;
            if (n > nLimit + nLargest)
                nOver++;
        }
    }
    printf("2. scrolling through %d animated smilies (%.1f s): %llu samples, peak %llu bytes resident, limit %llu "
           "+ largest picture %llu = %llu; %llu samples over the bound\n",
           nSmilies, Now() - t0, static_cast<unsigned long long>(nSamples), static_cast<unsigned long long>(nPeak),
           static_cast<unsigned long long>(nLimit), static_cast<unsigned long long>(nLargest),
           static_cast<unsigned long long>(nLimit + nLargest), static_cast<unsigned long long>(nOver));
    field.DestroyWindow();
}

// --- 3: CPU time of an animated field -----------------------------------------------

void BenchAnimation(int nRounds, int nSecondsPerRound)
{
    const int nColumns = 10, nRows = 10, cx = 35, cy = 34;
    OpenPictures pictures(Pictures(100));
    ParentWindow parent(0, 0, nColumns * cx, nRows * cy);
    CSmiliesField field;
    if (!pictures.IsOpen() || !MakeField(field, parent, nColumns * cx, nRows * cy, cx, cy, Grid(963))) {
        fprintf(stderr, "animation: no field\n");
        return;
    }
    for (int i = 0; i < 100; i++) {
        const POINT cell = {i % nColumns, i / nColumns};
        field.AddSmilie(&cell, static_cast<uint32_t>(i + 1), "", NULL);
    }
    field.UpdateScrollRange(TRUE);
    field.GetBackBuffer();
    PumpAll();
    std::vector<CSmilie*> smilies;
    for (int i = 0; i < 100; i++)
        smilies.push_back(field.GetAt(i % nColumns, i / nColumns));

    // The baseline's frames: the cells as the field draws them, cut from its
    // back buffer beforehand.
    HDC hScreen = GetDC(NULL);
    HDC hFrame = CreateCompatibleDC(hScreen);
    std::vector<HBITMAP> frames[2];
    for (int f = 0; f < 2; f++) {
        for (int i = 0; i < 100; i++) {
            smilies[i]->m_nFrameIndex = f;
            RECT rc;
            field.DrawCell(TRUE, TRUE, &rc, i % nColumns, i / nColumns);
            HBITMAP h = CreateCompatibleBitmap(hScreen, cx, cy);
            HGDIOBJ hOld = SelectObject(hFrame, h);
            CBackBufDC back(&field);
            BitBlt(hFrame, 0, 0, cx, cy, back.m_hDC, (i % nColumns) * cx, (i / nColumns) * cy, SRCCOPY);
            SelectObject(hFrame, hOld);
            frames[f].push_back(h);
        }
    }

    // Rounds of the field and of the baseline in turn. The field: every 10 ms
    // tick, each smilie whose timer is due gets its WM_VTIMER, as the
    // program's timer would post it. The baseline: the same frames, blitted
    // into the back buffer and onto the window at the same moments.
    std::vector<int> countdown;
    for (int i = 0; i < 100; i++)
        countdown.push_back(HandTimer::Divider(field.m_hWnd, static_cast<int>(smilies[i]->m_nAnimTimer)));
    struct EVENT
    {
        int nSmilie, nFrame;
    };
    std::vector<double> fieldCpu, baseCpu, ratios;
    double dFieldWall = 0, dBaseWall = 0;
    size_t nFrames = 0;
    const int nTicks = nSecondsPerRound * 100;
    for (int round = 0; round < nRounds; round++) {
        std::vector<EVENT> events;
        double dCpu0 = ThreadCpuSeconds(), t0 = Now();
        for (int t = 0; t < nTicks; t++) {
            for (int i = 0; i < 100; i++) {
                if (--countdown[i] > 0)
                    continue;
                ::SendMessageA(field.m_hWnd, WM_VTIMER, smilies[i]->m_nAnimTimer, 0);
                events.push_back(EVENT{i, smilies[i]->m_nFrameIndex});
                countdown[i] = HandTimer::Divider(field.m_hWnd, static_cast<int>(smilies[i]->m_nAnimTimer));
                if (countdown[i] <= 0)
                    countdown[i] = 1 << 30;
            }
        }
        fieldCpu.push_back(ThreadCpuSeconds() - dCpu0);
        dFieldWall += Now() - t0;

        dCpu0 = ThreadCpuSeconds();
        t0 = Now();
        for (const EVENT& e : events) {
            CBackBufDC back(&field);
            const int x = (e.nSmilie % nColumns) * cx, y = (e.nSmilie / nColumns) * cy;
            HGDIOBJ hOld = SelectObject(hFrame, frames[e.nFrame % 2][e.nSmilie]);
            BitBlt(back.m_hDC, x, y, cx, cy, hFrame, 0, 0, SRCCOPY);
            SelectObject(hFrame, hOld);
            HDC hWndDC = GetDC(field.m_hWnd);
            BitBlt(hWndDC, x, y, cx, cy, back.m_hDC, x, y, SRCCOPY);
            ReleaseDC(field.m_hWnd, hWndDC);
        }
        baseCpu.push_back(ThreadCpuSeconds() - dCpu0);
        dBaseWall += Now() - t0;
        ratios.push_back(fieldCpu.back() / std::max(baseCpu.back(), 1e-9));
        nFrames += events.size();
    }
    field.StopAnimations();
    for (int f = 0; f < 2; f++)
        for (HBITMAP h : frames[f])
            DeleteObject(h);
    DeleteDC(hFrame);
    ReleaseDC(NULL, hScreen);
    const STATS f = Summarise(fieldCpu), b = Summarise(baseCpu), r = Summarise(ratios);
    const double dPerSecond = 1e3 / nSecondsPerRound;
    double dFieldAll = 0, dBaseAll = 0;
    for (size_t i = 0; i < fieldCpu.size(); i++) {
        dFieldAll += fieldCpu[i];
        dBaseAll += baseCpu[i];
    }
    printf("3. 100 animated smilies, %d rounds of %d simulated seconds, %zu frames: CPU per second field best %.1f ms, "
           "median %.1f ms; blits best %.1f ms, median %.1f ms; ratio of the rounds best %.2fx, median %.2fx, worst "
           "%.2fx, all rounds together %.2fx (goal at most 1.5x); wall in all %.0f ms against %.0f ms\n",
           nRounds, nSecondsPerRound, nFrames, f.dBest * dPerSecond, f.dMedian * dPerSecond, b.dBest * dPerSecond,
           b.dMedian * dPerSecond, r.dBest, r.dMedian, *std::max_element(ratios.begin(), ratios.end()),
           dFieldAll / std::max(dBaseAll, 1e-9), dFieldWall * 1e3, dBaseWall * 1e3);
    field.DestroyWindow();
}

}  // namespace

int main(int argc, char** argv)
{
    const int nRounds = argc > 1 ? std::max(3, atoi(argv[1])) : 30;
    RegisterControlMessages();
    g_Settings.SmilieToolbar = 1;
    HandTimer timer;
    BenchRepaint(nRounds);
    BenchCacheBound();
    BenchAnimation(10, 2);
    return 0;
}
