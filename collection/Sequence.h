// CSequence<T>: the one growable array of the program and the hook libraries.
// It holds an array of pointers; every element is allocated by itself and
// copied in, so element addresses stay put while the array grows. The array
// grows linearly by m_nGrowBy (5) slots. Allocation failures throw
// CMemoryException* and leave the elements as they were. Indexing is not
// checked: callers keep indices within 0 .. m_nCount-1.
#pragma once

#ifdef TVNX_NO_FRAMEWORK
#include "collection/SequenceException.h"
#else
#include "framework/Exception.h"
#endif

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

template <class T>
class CSequence
{
public:
    CSequence() : m_pData(nullptr), m_nCapacity(0), m_nGrowBy(5), m_nCount(0) {}
    CSequence(const CSequence& src) : CSequence() { *this = src; }
    virtual ~CSequence() { RemoveAll(); }

    // Takes over the source's capacity and grow step with copies of its elements.
    CSequence& operator=(const CSequence& src);

    // Appends a copy of item; returns its index.
    int Add(const T& item);
    // Destroys element nIndex and closes the gap; the last removal frees the array.
    void RemoveAt(int nIndex);
    // Destroys the elements from the last to the first and frees the array.
    void RemoveAll();
    // Adds n slots to the pointer array.
    void Grow(int n);
    // Appends copies of other's elements in order; returns the index of the first.
    int Append(const CSequence& other);

    int GetSize() const { return m_nCount; }
    T& operator[](int nIndex) { return *m_pData[nIndex]; }
    const T& operator[](int nIndex) const { return *m_pData[nIndex]; }

    T** m_pData;        // null exactly when m_nCapacity is 0
    int m_nCapacity;
    int m_nGrowBy;
    int m_nCount;

private:
    static T** AllocSlots(long long nSlots);
    static T* NewCopy(const T& item);
};

template <class T>
T** CSequence<T>::AllocSlots(long long nSlots)
{
    // A byte size that would overflow 32 bits is asked for as the largest
    // possible request, which fails like any other failed allocation (in the
    // 64-bit build too, so that both builds refuse the same requests).
    size_t nBytes = SIZE_MAX;
    if (nSlots >= 0 && nSlots <= INT32_MAX && static_cast<unsigned long long>(nSlots) * sizeof(T*) <= UINT32_MAX)
        nBytes = static_cast<size_t>(nSlots) * sizeof(T*);
    T** p = static_cast<T**>(malloc(nBytes != 0 ? nBytes : 1));
    if (p == nullptr)
        AfxThrowMemoryException();
    return p;
}

template <class T>
T* CSequence<T>::NewCopy(const T& item)
{
    T* p = new (std::nothrow) T();
    if (p == nullptr)
        AfxThrowMemoryException();
    try {
        *p = item;
    } catch (...) {
        delete p;
        throw;
    }
    return p;
}

template <class T>
void CSequence<T>::Grow(int n)
{
    if (n <= 0)
        return;
    long long nNewCapacity = static_cast<long long>(m_nCapacity) + n;
    T** p = AllocSlots(nNewCapacity);
    if (m_nCount > 0)
        memcpy(p, m_pData, m_nCount * sizeof(T*));
    free(m_pData);
    m_pData = p;
    m_nCapacity = static_cast<int>(nNewCapacity);
}

template <class T>
int CSequence<T>::Add(const T& item)
{
    if (m_nCount == m_nCapacity)
        Grow(m_nGrowBy > 0 ? m_nGrowBy : 1);
    m_pData[m_nCount] = NewCopy(item);
    return m_nCount++;
}

template <class T>
void CSequence<T>::RemoveAt(int nIndex)
{
    T* p = m_pData[nIndex];
    memmove(m_pData + nIndex, m_pData + nIndex + 1, (m_nCount - nIndex - 1) * sizeof(T*));
    m_nCount--;
    delete p;
    if (m_nCount == 0) {
        free(m_pData);
        m_pData = nullptr;
        m_nCapacity = 0;
    }
}

template <class T>
void CSequence<T>::RemoveAll()
{
    while (m_nCount > 0) {
        m_nCount--;
        delete m_pData[m_nCount];
    }
    if (m_nCapacity != 0) {
        free(m_pData);
        m_pData = nullptr;
        m_nCapacity = 0;
    }
}

template <class T>
int CSequence<T>::Append(const CSequence& other)
{
    const int nFirst = m_nCount;
    const int nOther = other.m_nCount;   // fixed before growing: other may be *this
    const long long step = m_nGrowBy > 0 ? m_nGrowBy : 1;
    // Always grows, to the next multiple of the step above capacity plus the new elements.
    long long nTarget = step * ((static_cast<long long>(nOther) + m_nCapacity) / step + 1);
    long long nMore = nTarget - m_nCapacity;
    Grow(nMore > INT32_MAX ? INT32_MAX : static_cast<int>(nMore));

    // The count is raised only after every copy exists; a failure part-way
    // frees the copies already made.
    int nMade = 0;
    try {
        for (; nMade < nOther; nMade++)
            m_pData[nFirst + nMade] = NewCopy(*other.m_pData[nMade]);
    } catch (...) {
        while (nMade > 0) {
            nMade--;
            delete m_pData[nFirst + nMade];
        }
        throw;
    }
    m_nCount += nOther;
    return nFirst;
}

template <class T>
CSequence<T>& CSequence<T>::operator=(const CSequence& src)
{
    if (this == &src)
        return *this;

    // Build the copy before letting go of the old elements: the source may be
    // one of them (a node assigned from its own child), and a failure leaves
    // this sequence as it was.
    T** pData = nullptr;
    int nMade = 0;
    if (src.m_nCapacity != 0) {
        pData = AllocSlots(src.m_nCapacity);
        try {
            for (; nMade < src.m_nCount; nMade++)
                pData[nMade] = NewCopy(*src.m_pData[nMade]);
        } catch (...) {
            while (nMade > 0)
                delete pData[--nMade];
            free(pData);
            throw;
        }
    }
    const int nCapacity = src.m_nCapacity;
    const int nGrowBy = src.m_nGrowBy;
    RemoveAll();
    m_pData = pData;
    m_nCapacity = nCapacity;
    m_nGrowBy = nGrowBy;
    m_nCount = nMade;
    return *this;
}
