// Copies of global memory blocks for the OLE classes: whoever receives a block
// through a data object frees it, so a block that stays with its owner is
// only ever handed out as a copy.
#pragma once

#include <windows.h>
#include <cstring>

// A new movable block with the bytes of hSource; NULL when it cannot be had.
inline HGLOBAL CopyGlobalBlock(HGLOBAL hSource)
{
    SIZE_T size = GlobalSize(hSource);
    if (size == 0)
        return GlobalAlloc(GMEM_MOVEABLE, 0);
    const void* from = GlobalLock(hSource);
    if (from == NULL)
        return NULL;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void* to = copy != NULL ? GlobalLock(copy) : NULL;
    if (to != NULL) {
        memcpy(to, from, size);
        GlobalUnlock(copy);
    } else if (copy != NULL) {
        GlobalFree(copy);
        copy = NULL;
    }
    GlobalUnlock(hSource);
    return copy;
}

// Copies the bytes of hSource into the existing block hTarget; false when the
// target is smaller or cannot be locked.
inline bool CopyGlobalInto(HGLOBAL hSource, HGLOBAL hTarget)
{
    SIZE_T size = GlobalSize(hSource);
    if (GlobalSize(hTarget) < size)
        return false;
    if (size == 0)
        return true;
    const void* from = GlobalLock(hSource);
    void* to = GlobalLock(hTarget);
    bool ok = from != NULL && to != NULL;
    if (ok)
        memcpy(to, from, size);
    if (to != NULL)
        GlobalUnlock(hTarget);
    if (from != NULL)
        GlobalUnlock(hSource);
    return ok;
}
