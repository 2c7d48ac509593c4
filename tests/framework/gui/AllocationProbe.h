// Replaces the global operator new and delete of this test program to fail an
// allocation on demand and to see blocks freed. Failing affects only the
// arming thread, and only while armed; any thread may free a watched block.
#pragma once

// The next nCount allocations of the calling thread throw std::bad_alloc.
void FailNextAllocations(int nCount);
// Watches the nCount blocks (at most 16; null ones are skipped), in place of
// what was watched before. Lock-free, so it may also run at thread exit.
void WatchForFree(const void* const* ppBlocks, int nCount);
// How many of the watched blocks have not reached operator delete since.
int CountWatchedNotFreed();
