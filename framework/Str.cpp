#include "framework/Str.h"
#include "framework/Exception.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsBlank(char c, LPCTSTR)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsOneOf(char c, LPCTSTR set)
{
    return c != '\0' && set != NULL && strchr(set, c) != NULL;
}

// Lower-case map of the system code page for the 256 byte values, so that
// CompareNoCase folds the same letters as CharLowerBuffA.
const unsigned char* LowerTable()
{
    static const struct Table
    {
        unsigned char map[256];
        Table()
        {
            // One byte at a time: in a double-byte code page a whole buffer
            // would be read as character pairs.
            for (int i = 0; i < 256; i++) {
                char c = static_cast<char>(i);
                if (i != 0)
                    CharLowerBuffA(&c, 1);
                map[i] = static_cast<unsigned char>(c);
            }
        }
    } table;
    return table.map;
}

int CheckedSum(int a, int b)
{
    if (a < 0 || b < 0 || a > INT_MAX - b)
        AfxThrowMemoryException();
    return a + b;
}

} // namespace

char* CString::EmptyChars()
{
    static struct
    {
        Header header;
        char zero[4];
    } s_empty = {{-1, 0, 0}, {0, 0, 0, 0}};
    return s_empty.header.Chars();
}

CString::Header* CString::Allocate(int nLength)
{
    const int overhead = static_cast<int>(sizeof(Header)) + 1;
    if (nLength < 0 || nLength > INT_MAX - overhead)
        AfxThrowMemoryException();
    Header* p = static_cast<Header*>(malloc(overhead + nLength));
    if (p == NULL)
        AfxThrowMemoryException();
    p->nRefs = 1;
    p->nDataLength = nLength;
    p->nAllocLength = nLength;
    p->Chars()[nLength] = '\0';
    return p;
}

void CString::Release(Header* pData)
{
    if (pData->nRefs != -1 && InterlockedDecrement(&pData->nRefs) <= 0)
        free(pData);
}

void CString::ReplaceData(Header* pNew)
{
    Release(Data());
    m_pchData = pNew->Chars();
}

CString::CString()
{
    Init();
}

CString::CString(const CString& src)
{
    Header* d = src.Data();
    if (d->nRefs == -1) {
        Init();
    } else {
        InterlockedIncrement(&d->nRefs);
        m_pchData = src.m_pchData;
    }
}

CString::CString(CString&& src) noexcept : m_pchData(src.m_pchData)
{
    src.Init();
}

CString::CString(LPCTSTR psz)
{
    Init();
    if (psz != NULL)
        AssignCopy(psz, static_cast<int>(strlen(psz)));
}

CString::CString(LPCTSTR pch, int nLength)
{
    Init();
    if (pch != NULL && nLength > 0)
        AssignCopy(pch, nLength);
}

CString::CString(char ch, int nRepeat)
{
    Init();
    if (nRepeat > 0) {
        Header* d = Allocate(nRepeat);
        memset(d->Chars(), ch, nRepeat);
        m_pchData = d->Chars();
    }
}

CString::~CString()
{
    Release(Data());
}

void CString::Empty()
{
    Release(Data());
    Init();
}

void CString::AssignCopy(LPCTSTR pch, int nLength)
{
    if (nLength <= 0) {
        Empty();
        return;
    }
    Header* d = Data();
    if (d->nRefs == 1 && d->nAllocLength >= nLength) {
        memmove(m_pchData, pch, nLength);   // pch may point into this buffer
        d->nDataLength = nLength;
        m_pchData[nLength] = '\0';
        return;
    }
    Header* p = Allocate(nLength);
    memcpy(p->Chars(), pch, nLength);
    ReplaceData(p);
}

void CString::AppendCopy(LPCTSTR pch, int nLength)
{
    if (nLength <= 0)
        return;
    Header* d = Data();
    int nOld = d->nDataLength;
    int nNew = CheckedSum(nOld, nLength);
    if (d->nRefs == 1 && d->nAllocLength >= nNew) {
        memmove(m_pchData + nOld, pch, nLength);
        d->nDataLength = nNew;
        m_pchData[nNew] = '\0';
        return;
    }
    // Grow by half again so that a loop of appends stays linear.
    int nAlloc = nNew;
    if (d->nRefs == 1 && nOld <= (INT_MAX - 64) / 3 * 2 && nOld + nOld / 2 > nNew)
        nAlloc = nOld + nOld / 2;
    Header* p = Allocate(nAlloc);
    memcpy(p->Chars(), m_pchData, nOld);
    memcpy(p->Chars() + nOld, pch, nLength);   // pch may still point into the old buffer
    p->nDataLength = nNew;
    p->Chars()[nNew] = '\0';
    ReplaceData(p);
}

void CString::CopyBeforeWrite()
{
    Header* d = Data();
    if (d->nRefs > 1) {
        Header* p = Allocate(d->nDataLength);
        memcpy(p->Chars(), m_pchData, d->nDataLength);
        ReplaceData(p);
    }
}

CString& CString::operator=(const CString& src)
{
    if (m_pchData == src.m_pchData)
        return *this;
    Header* d = src.Data();
    if (d->nRefs == -1) {
        Empty();
    } else {
        InterlockedIncrement(&d->nRefs);
        Release(Data());
        m_pchData = src.m_pchData;
    }
    return *this;
}

CString& CString::operator=(CString&& src) noexcept
{
    if (this != &src) {
        Release(Data());
        m_pchData = src.m_pchData;
        src.Init();
    }
    return *this;
}

CString& CString::operator=(LPCTSTR psz)
{
    if (psz == NULL)
        Empty();
    else
        AssignCopy(psz, static_cast<int>(strlen(psz)));
    return *this;
}

CString& CString::operator=(char ch)
{
    AssignCopy(&ch, 1);
    return *this;
}

CString& CString::operator+=(const CString& src)
{
    if (IsEmpty())
        return *this = src;
    AppendCopy(src.m_pchData, src.GetLength());
    return *this;
}

CString& CString::operator+=(LPCTSTR psz)
{
    if (psz != NULL)
        AppendCopy(psz, static_cast<int>(strlen(psz)));
    return *this;
}

CString& CString::operator+=(char ch)
{
    AppendCopy(&ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, LPCTSTR b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCTSTR a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(char a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

void CString::SetAt(int nIndex, char ch)
{
    CopyBeforeWrite();
    m_pchData[nIndex] = ch;
}

int CString::Compare(LPCTSTR psz) const
{
    return strcmp(m_pchData, psz != NULL ? psz : "");
}

int CString::CompareNoCase(LPCTSTR psz) const
{
    const unsigned char* lower = LowerTable();
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_pchData);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(psz != NULL ? psz : "");
    for (;; a++, b++) {
        int d = lower[*a] - lower[*b];
        if (d != 0 || *a == 0)
            return d;
    }
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    int nLength = GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > nLength)
        nFirst = nLength;
    if (nCount < 0)
        nCount = 0;
    if (nCount > nLength - nFirst)
        nCount = nLength - nFirst;
    if (nFirst == 0 && nCount == nLength)
        return *this;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    int nLength = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > nLength)
        nCount = nLength;
    return Mid(nLength - nCount, nCount);
}

int CString::Find(char ch, int nStart) const
{
    int nLength = GetLength();
    if (nStart < 0)
        nStart = 0;
    if (nStart >= nLength)
        return -1;
    const void* p = memchr(m_pchData + nStart, ch, nLength - nStart);
    return p != NULL ? static_cast<int>(static_cast<const char*>(p) - m_pchData) : -1;
}

int CString::Find(LPCTSTR pszSub, int nStart) const
{
    if (pszSub == NULL)
        return -1;
    if (nStart < 0)
        nStart = 0;
    if (nStart > GetLength())
        return -1;
    const char* p = strstr(m_pchData + nStart, pszSub);
    return p != NULL ? static_cast<int>(p - m_pchData) : -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = GetLength() - 1; i >= 0; i--) {
        if (m_pchData[i] == ch)
            return i;
    }
    return -1;
}

int CString::FindOneOf(LPCTSTR pszCharSet) const
{
    if (pszCharSet == NULL)
        return -1;
    const char* p = strpbrk(m_pchData, pszCharSet);
    return p != NULL ? static_cast<int>(p - m_pchData) : -1;
}

CString& CString::MakeUpper()
{
    if (!IsEmpty()) {
        CopyBeforeWrite();
        CharUpperBuffA(m_pchData, GetLength());
    }
    return *this;
}

CString& CString::MakeLower()
{
    if (!IsEmpty()) {
        CopyBeforeWrite();
        CharLowerBuffA(m_pchData, GetLength());
    }
    return *this;
}

CString& CString::TrimLeftIf(bool (*pred)(char, LPCTSTR), LPCTSTR arg)
{
    int nLength = GetLength();
    int n = 0;
    while (n < nLength && pred(m_pchData[n], arg))
        n++;
    if (n > 0)
        AssignCopy(m_pchData + n, nLength - n);
    return *this;
}

CString& CString::TrimRightIf(bool (*pred)(char, LPCTSTR), LPCTSTR arg)
{
    int nLength = GetLength();
    int n = nLength;
    while (n > 0 && pred(m_pchData[n - 1], arg))
        n--;
    if (n < nLength)
        AssignCopy(m_pchData, n);
    return *this;
}

CString& CString::TrimLeft() { return TrimLeftIf(IsBlank, NULL); }
CString& CString::TrimLeft(LPCTSTR pszTargets) { return TrimLeftIf(IsOneOf, pszTargets); }
CString& CString::TrimRight() { return TrimRightIf(IsBlank, NULL); }
CString& CString::TrimRight(LPCTSTR pszTargets) { return TrimRightIf(IsOneOf, pszTargets); }
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(LPCTSTR pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

CString& CString::TrimLeft(char chTarget)
{
    const char set[2] = {chTarget, '\0'};
    return TrimLeft(set);
}

CString& CString::TrimRight(char chTarget)
{
    const char set[2] = {chTarget, '\0'};
    return TrimRight(set);
}

CString& CString::Trim(char chTarget)
{
    const char set[2] = {chTarget, '\0'};
    return Trim(set);
}

int CString::Replace(char chOld, char chNew)
{
    if (chOld == chNew)
        return 0;
    int nLength = GetLength();
    int nCount = 0;
    for (int i = 0; i < nLength; i++) {
        if (m_pchData[i] == chOld) {
            if (nCount++ == 0)
                CopyBeforeWrite();
            m_pchData[i] = chNew;
        }
    }
    return nCount;
}

int CString::Replace(LPCTSTR pszOld, LPCTSTR pszNew)
{
    int nOld = pszOld != NULL ? static_cast<int>(strlen(pszOld)) : 0;
    if (nOld == 0)
        return 0;
    int nNew = pszNew != NULL ? static_cast<int>(strlen(pszNew)) : 0;
    int nLength = GetLength();

    int nCount = 0;
    for (int i = 0; i + nOld <= nLength;) {
        if (memcmp(m_pchData + i, pszOld, nOld) == 0) {
            nCount++;
            i += nOld;
        } else {
            i++;
        }
    }
    if (nCount == 0)
        return 0;

    long long nResult = nLength + static_cast<long long>(nNew - nOld) * nCount;
    if (nResult > INT_MAX - 64)
        AfxThrowMemoryException();
    Header* p = Allocate(static_cast<int>(nResult));
    char* out = p->Chars();
    for (int i = 0; i < nLength;) {
        if (i + nOld <= nLength && memcmp(m_pchData + i, pszOld, nOld) == 0) {
            memcpy(out, pszNew, nNew);
            out += nNew;
            i += nOld;
        } else {
            *out++ = m_pchData[i++];
        }
    }
    ReplaceData(p);
    return nCount;
}

int CString::Remove(char ch)
{
    int nLength = GetLength();
    if (memchr(m_pchData, ch, nLength) == NULL)
        return 0;
    CopyBeforeWrite();
    int n = 0;
    for (int i = 0; i < nLength; i++) {
        if (m_pchData[i] != ch)
            m_pchData[n++] = m_pchData[i];
    }
    Data()->nDataLength = n;
    m_pchData[n] = '\0';
    return nLength - n;
}

int CString::Insert(int nIndex, char ch)
{
    const char text[2] = {ch, '\0'};
    return Insert(nIndex, text);
}

int CString::Insert(int nIndex, LPCTSTR psz)
{
    int nLength = GetLength();
    int nInsert = psz != NULL ? static_cast<int>(strlen(psz)) : 0;
    if (nInsert == 0)
        return nLength;
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > nLength)
        nIndex = nLength;
    Header* p = Allocate(CheckedSum(nLength, nInsert));
    memcpy(p->Chars(), m_pchData, nIndex);
    memcpy(p->Chars() + nIndex, psz, nInsert);
    memcpy(p->Chars() + nIndex + nInsert, m_pchData + nIndex, nLength - nIndex);
    ReplaceData(p);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    int nLength = GetLength();
    if (nIndex < 0)
        nIndex = 0;
    if (nCount <= 0 || nIndex >= nLength)
        return nLength;
    if (nCount > nLength - nIndex)
        nCount = nLength - nIndex;
    CopyBeforeWrite();
    memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, nLength - nIndex - nCount + 1);
    Data()->nDataLength = nLength - nCount;
    return nLength - nCount;
}

void CString::FormatV(LPCTSTR pszFormat, va_list args)
{
    // Format into a new buffer: an argument may be this string's own text.
    va_list measure;
    va_copy(measure, args);
    int n = vsnprintf(NULL, 0, pszFormat, measure);
    va_end(measure);
    if (n <= 0) {
        Empty();
        return;
    }
    Header* p = Allocate(n);
    vsnprintf(p->Chars(), n + 1, pszFormat, args);
    ReplaceData(p);
}

void CString::Format(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormatV(LPCTSTR pszFormat, va_list args)
{
    CString text;
    text.FormatV(pszFormat, args);
    *this += text;
}

void CString::AppendFormat(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    Header* d = Data();
    if (d->nRefs != 1 || nMinBufLength > d->nAllocLength) {
        int nLength = d->nDataLength;
        Header* p = Allocate(nMinBufLength > nLength ? nMinBufLength : nLength);
        memcpy(p->Chars(), m_pchData, nLength + 1);
        p->nDataLength = nLength;
        ReplaceData(p);
    }
    return m_pchData;
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = 0;
    GetBuffer(nNewLength);
    Data()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (Data()->nRefs == -1)
        return;
    CopyBeforeWrite();
    Header* d = Data();
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_pchData, d->nAllocLength));
    if (nNewLength > d->nAllocLength)
        nNewLength = d->nAllocLength;
    d->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}
