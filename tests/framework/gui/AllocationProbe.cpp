#include "tests/framework/gui/AllocationProbe.h"

#include <cstdlib>
#include <new>

namespace {
thread_local int t_nFailing = 0;
}

void FailNextAllocations(int nCount)
{
    t_nFailing = nCount;
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

