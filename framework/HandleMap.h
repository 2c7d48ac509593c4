// A map from a system handle (HWND, HMENU) to the framework object bound to it,
// shared by every thread: an object may be looked up from a thread other than
// its own. Guarded by a critical section.
#pragma once

#include <windows.h>
#include <atomic>
#include <new>
#include <unordered_map>

// Holds a critical section for a scope. The map's calls allocate, and an
// allocation failure must not leave the section owned for good: every other
// thread that looks up a window would then hang.
class CCriticalSectionHold
{
public:
    explicit CCriticalSectionHold(CRITICAL_SECTION* pcs) : m_pcs(pcs) { EnterCriticalSection(m_pcs); }
    ~CCriticalSectionHold() { LeaveCriticalSection(m_pcs); }
    CCriticalSectionHold(const CCriticalSectionHold&) = delete;
    CCriticalSectionHold& operator=(const CCriticalSectionHold&) = delete;

private:
    CRITICAL_SECTION* m_pcs;
};

template <class THandle, class TObject>
class CHandleMap
{
public:
    CHandleMap() { InitializeCriticalSection(&m_cs); }
    CHandleMap(const CHandleMap&) = delete;
    CHandleMap& operator=(const CHandleMap&) = delete;

    TObject* Lookup(THandle h)
    {
        CCriticalSectionHold hold(&m_cs);
        auto it = m_map.find(h);
        return it == m_map.end() ? NULL : it->second;
    }
    // FALSE when the handle is bound to an object already. Throws
    // std::bad_alloc when the entry cannot be made.
    BOOL Add(THandle h, TObject* p)
    {
        CCriticalSectionHold hold(&m_cs);
        return m_map.emplace(h, p).second;
    }
    // Binds h to p whatever it was bound to: for a handle the system has just
    // made, an old entry can only be a leftover of a dead handle of that value.
    void Set(THandle h, TObject* p)
    {
        CCriticalSectionHold hold(&m_cs);
        m_map[h] = p;
    }
    // Removes the binding only while it is still to this object.
    void Remove(THandle h, TObject* p)
    {
        CCriticalSectionHold hold(&m_cs);
        auto it = m_map.find(h);
        if (it != m_map.end() && it->second == p)
            m_map.erase(it);
    }

private:
    CRITICAL_SECTION m_cs;
    std::unordered_map<THandle, TObject*> m_map;
};

// Temporary views of handles that no object owns, handed out by FromHandle:
// one set per thread, deleted at idle time and when a framework thread ends.
// A thread the framework did not start (a WinInet or COM callback thread, a
// hook's thread) never goes idle in a framework loop: its set is deleted as it
// ends, from a TLS callback at DLL_THREAD_DETACH (Wnd.cpp, Menu.cpp).
// The view's handle is cleared (pfnForget) before the view is deleted, so the
// system object survives.
//
// The set hangs off a TLS slot of our own, not a thread_local: the runtime
// runs thread_local destructors from its own thread-detach callback after it
// has already freed the storage of the thread's thread_local objects, and
// reading a thread_local at thread exit allocates it afresh. The object itself
// is constant-initialised (a zero slot number means "no slot yet"), so a
// thread that ends before static constructors have run finds nothing to do.
template <class THandle, class TObject>
class CTempHandleMap
{
public:
    typedef void (*PFNFORGET)(TObject* pView);

    constexpr explicit CTempHandleMap(PFNFORGET pfnForget) : m_pfnForget(pfnForget) {}
    CTempHandleMap(const CTempHandleMap&) = delete;
    CTempHandleMap& operator=(const CTempHandleMap&) = delete;

    // The view of h, made by make() the first time it is asked for on this
    // thread. Throws std::bad_alloc when the view cannot be made.
    template <class Make>
    TObject* Get(THandle h, Make make)
    {
        DWORD nSlot = Slot();
        // A lookup must not change the thread's last error (TlsGetValue clears it).
        DWORD dwError = ::GetLastError();
        Map* pMap = static_cast<Map*>(::TlsGetValue(nSlot));
        ::SetLastError(dwError);
        if (pMap == NULL) {
            pMap = new Map;
            ::TlsSetValue(nSlot, pMap);
        }
        TObject*& slot = (*pMap)[h];
        if (slot == NULL)
            slot = make();
        return slot;
    }
    // Deletes the calling thread's views. Takes no lock, calls no window
    // function and allocates nothing, so that it may run at DLL_THREAD_DETACH
    // under the loader lock.
    void DeleteAll()
    {
        DWORD nSlotPlusOne = m_nSlotPlusOne.load();
        if (nSlotPlusOne == 0)
            return;
        Map* pMap = static_cast<Map*>(::TlsGetValue(nSlotPlusOne - 1));
        if (pMap == NULL)
            return;
        ::TlsSetValue(nSlotPlusOne - 1, NULL);
        for (auto& entry : *pMap) {
            if (entry.second == NULL)
                continue;   // its making failed
            m_pfnForget(entry.second);
            delete entry.second;
        }
        delete pMap;
    }
private:
    typedef std::unordered_map<THandle, TObject*> Map;

    DWORD Slot()
    {
        DWORD nSlotPlusOne = m_nSlotPlusOne.load();
        if (nSlotPlusOne != 0)
            return nSlotPlusOne - 1;
        DWORD nNew = ::TlsAlloc();
        if (nNew == TLS_OUT_OF_INDEXES)
            throw std::bad_alloc();
        // Two threads may get here at once: one slot wins, the other is given back.
        if (!m_nSlotPlusOne.compare_exchange_strong(nSlotPlusOne, nNew + 1))
            ::TlsFree(nNew);
        return m_nSlotPlusOne.load() - 1;
    }

    PFNFORGET m_pfnForget;
    std::atomic<DWORD> m_nSlotPlusOne{0};
};
