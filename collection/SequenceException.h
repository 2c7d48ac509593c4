// The out-of-memory exception of CSequence for the hook libraries, which link
// no framework. It has the framework exception's shape: thrown by pointer,
// freed by the catcher with Delete().
#pragma once

#include <new>

class CMemoryException
{
public:
    explicit CMemoryException(bool bAutoDelete = true) : m_bAutoDelete(bAutoDelete) {}
    virtual ~CMemoryException() {}
    void Delete()
    {
        if (m_bAutoDelete)
            delete this;
    }

private:
    bool m_bAutoDelete;
};

[[noreturn]] inline void AfxThrowMemoryException()
{
    static CMemoryException s_outOfMemory(false);
    CMemoryException* e = new (std::nothrow) CMemoryException;
    throw e != nullptr ? e : &s_outOfMemory;
}
