// Holds one COM interface pointer and releases it when the scope ends; for the
// few places that talk to another program's objects by hand.
#pragma once

#include <unknwn.h>

template <class T>
class CComPtr
{
public:
    CComPtr() {}
    ~CComPtr()
    {
        if (m_p != nullptr)
            m_p->Release();
    }
    T* operator->() const { return m_p; }
    T** operator&() { return &m_p; }
    void** Out() { return reinterpret_cast<void**>(&m_p); }
    explicit operator bool() const { return m_p != nullptr; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
};
