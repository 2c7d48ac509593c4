// CTvnxBytes: a read-only, bounds-checked view of bytes that came from a
// collection file. Every getter checks that the whole field lies inside the
// view and reads little-endian, so a short or hostile file can never make the
// caller read past its buffer. TvnxPut32 is the matching writer.
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

class CTvnxBytes
{
public:
    CTvnxBytes(const BYTE* pb, size_t nSize) : m_pb(pb), m_nSize(pb != NULL ? nSize : 0) {}

    size_t GetSize() const { return m_nSize; }
    bool Has(size_t nOffset, size_t nCount) const
    {
        return nOffset <= m_nSize && nCount <= m_nSize - nOffset;
    }

    // FALSE (and *pValue left alone) when the field is not inside the view.
    bool Get8(size_t nOffset, uint8_t* pValue) const
    {
        if (!Has(nOffset, 1))
            return false;
        *pValue = m_pb[nOffset];
        return true;
    }
    bool Get32(size_t nOffset, uint32_t* pValue) const
    {
        if (!Has(nOffset, 4))
            return false;
        const BYTE* p = m_pb + nOffset;
        *pValue = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        return true;
    }
    // Points at nCount bytes from nOffset, or NULL when they are not all inside.
    const BYTE* Span(size_t nOffset, size_t nCount) const
    {
        return Has(nOffset, nCount) ? m_pb + nOffset : NULL;
    }

private:
    const BYTE* m_pb;
    size_t m_nSize;
};

// Stores v little-endian at pb[0..3].
inline void TvnxPut32(BYTE* pb, uint32_t v)
{
    pb[0] = BYTE(v);
    pb[1] = BYTE(v >> 8);
    pb[2] = BYTE(v >> 16);
    pb[3] = BYTE(v >> 24);
}
