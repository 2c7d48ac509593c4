#include "tests/framework/gui/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
thread_local int t_nFailing = 0;
std::atomic<const void*> g_pWatched{nullptr};
std::atomic<bool> g_bFreed{false};
}

void FailNextAllocations(int nCount)
{
    t_nFailing = nCount;
}

void WatchForFree(const void* p)
{
    g_bFreed = false;
    g_pWatched = p;
}

bool WasFreed()
{
    return g_bFreed;
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
    if (p != nullptr && p == g_pWatched.load()) {
        g_pWatched = nullptr;
        g_bFreed = true;
    }
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}
