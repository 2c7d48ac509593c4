// A map from a system handle (HWND, HMENU) to the framework object bound to it,
// shared by every thread: an object may be looked up from a thread other than
// its own. Guarded by a critical section.
#pragma once

#include <windows.h>
#include <unordered_map>

template <class THandle, class TObject>
class CHandleMap
{
public:
    CHandleMap() { InitializeCriticalSection(&m_cs); }
    CHandleMap(const CHandleMap&) = delete;
    CHandleMap& operator=(const CHandleMap&) = delete;

    TObject* Lookup(THandle h)
    {
        EnterCriticalSection(&m_cs);
        auto it = m_map.find(h);
        TObject* p = it == m_map.end() ? NULL : it->second;
        LeaveCriticalSection(&m_cs);
        return p;
    }
    // FALSE when the handle is bound to an object already.
    BOOL Add(THandle h, TObject* p)
    {
        EnterCriticalSection(&m_cs);
        BOOL ok = m_map.emplace(h, p).second;
        LeaveCriticalSection(&m_cs);
        return ok;
    }
    // Removes the binding only while it is still to this object.
    void Remove(THandle h, TObject* p)
    {
        EnterCriticalSection(&m_cs);
        auto it = m_map.find(h);
        if (it != m_map.end() && it->second == p)
            m_map.erase(it);
        LeaveCriticalSection(&m_cs);
    }

private:
    CRITICAL_SECTION m_cs;
    std::unordered_map<THandle, TObject*> m_map;
};

// Temporary views of handles that no object owns, handed out by FromHandle:
// one set per thread (held in a thread_local), deleted at idle time. The view's
// handle is cleared before the view is deleted, so the system object survives.
template <class THandle, class TObject>
class CTempHandleMap
{
public:
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
    // forget(view) clears the view's handle before it is deleted.
    template <class Forget>
    void DeleteAll(Forget forget)
    {
        std::unordered_map<THandle, TObject*>* pMap = m_pMap;
        m_pMap = NULL;
        if (pMap == NULL)
            return;
        for (auto& entry : *pMap) {
            forget(entry.second);
            delete entry.second;
        }
        delete pMap;
    }

private:
    std::unordered_map<THandle, TObject*>* m_pMap = NULL;
};
