// A map from a system handle (HWND, HMENU) to the framework object bound to it,
// shared by every thread: an object may be looked up from a thread other than
// its own. Guarded by a critical section.
#pragma once

#include <windows.h>
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
// one set per thread (held in a thread_local), deleted at idle time and when
// a framework thread ends. The view's handle is cleared (pfnForget) before
// the view is deleted, so the system object survives.
template <class THandle, class TObject>
class CTempHandleMap
{
public:
    typedef void (*PFNFORGET)(TObject* pView);

    explicit CTempHandleMap(PFNFORGET pfnForget) : m_pfnForget(pfnForget) {}
    CTempHandleMap(const CTempHandleMap&) = delete;
    CTempHandleMap& operator=(const CTempHandleMap&) = delete;

    // The view of h, made by make() the first time it is asked for.
    template <class Make>
    TObject* Get(THandle h, Make make)
    {
        if (m_pMap == NULL)
            m_pMap = new std::unordered_map<THandle, TObject*>;
        TObject*& slot = (*m_pMap)[h];
        if (slot == NULL)
            slot = make();
        return slot;
    }
    void DeleteAll()
    {
        std::unordered_map<THandle, TObject*>* pMap = m_pMap;
        m_pMap = NULL;
        if (pMap == NULL)
            return;
        for (auto& entry : *pMap) {
            if (entry.second == NULL)
                continue;   // its making failed
            m_pfnForget(entry.second);
            delete entry.second;
        }
        delete pMap;
    }

private:
    PFNFORGET m_pfnForget;
    std::unordered_map<THandle, TObject*>* m_pMap = NULL;
};
