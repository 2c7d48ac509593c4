// Replaces the global operator new and delete of this test program to fail an
// allocation on demand and to see an object freed. Only the arming thread is
// affected, and only while armed.
#pragma once

// The next nCount allocations of the calling thread throw std::bad_alloc.
void FailNextAllocations(int nCount);
// Reports through WasFreed() whether p was given to operator delete since.
void WatchForFree(const void* p);
bool WasFreed();
