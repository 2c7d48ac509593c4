#include "tests/framework/gui/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
thread_local int t_nFailing = 0;
// Plain atomics: operator delete may run on a thread that is ending, under the
// loader lock, where the probe must neither lock nor touch a thread_local.
std::atomic<const void*> g_watched[16];
}

void FailNextAllocations(int nCount)
{
    t_nFailing = nCount;
}

void WatchForFree(const void* const* ppBlocks, int nCount)
{
    for (auto& slot : g_watched)
        slot = nullptr;
    for (int i = 0; i < nCount && i < 16; ++i)
        g_watched[i] = ppBlocks[i];
}

int CountWatchedNotFreed()
{
    int n = 0;
    for (auto& slot : g_watched)
        n += slot.load() != nullptr;
    return n;
}

void* operator new(std::size_t nSize)
{
    if (t_nFailing > 0) {
        --t_nFailing;
        throw std::bad_alloc();
    }
    void* p = std::malloc(nSize != 0 ? nSize : 1);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

void operator delete(void* p) noexcept
{
    if (p == nullptr)
        return;
    for (auto& slot : g_watched) {
        const void* pExpected = p;
        slot.compare_exchange_strong(pExpected, nullptr);
    }
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}
