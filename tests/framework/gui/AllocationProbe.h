// Replaces the global operator new of this test program to fail an
// allocation on demand. Only the arming thread is affected, and only while armed.
#pragma once

// The next nCount allocations of the calling thread throw std::bad_alloc.
void FailNextAllocations(int nCount);
