// CString: the framework's ANSI string. Copies share one buffer through a
// reference count; the first change to a shared buffer copies it (copy on write).
// sizeof(CString) is one pointer, so records beginning with a string stay small.
#pragma once

#include <windows.h>
#include <cstdarg>

#ifdef UNICODE
#error "Tarvenex is an ANSI program: do not define UNICODE"
#endif

class CString
{
public:
    CString();
    CString(const CString& src);
    CString(CString&& src) noexcept;
    CString(LPCTSTR psz);                  // NULL gives an empty string
    CString(LPCTSTR pch, int nLength);     // exactly nLength characters
    explicit CString(char ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& src);
    CString& operator=(CString&& src) noexcept;
    CString& operator=(LPCTSTR psz);
    CString& operator=(char ch);

    CString& operator+=(const CString& src);
    CString& operator+=(LPCTSTR psz);
    CString& operator+=(char ch);

    int GetLength() const { return Data()->nDataLength; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();

    char GetAt(int nIndex) const { return m_pchData[nIndex]; }
    char operator[](int nIndex) const { return m_pchData[nIndex]; }
    void SetAt(int nIndex, char ch);
    operator LPCTSTR() const { return m_pchData; }
    LPCTSTR GetString() const { return m_pchData; }

    // strcmp / case-insensitive order: <0, 0, >0.
    int Compare(LPCTSTR psz) const;
    int CompareNoCase(LPCTSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    // Index of the first match at or after nStart, or -1.
    int Find(char ch, int nStart = 0) const;
    int Find(LPCTSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCTSTR pszCharSet) const;

    // Case mapping of the system code page.
    CString& MakeUpper();
    CString& MakeLower();

    // Without an argument these remove blanks, tabs and line breaks.
    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(LPCTSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(LPCTSTR pszTargets);
    CString& Trim();
    CString& Trim(char chTarget);
    CString& Trim(LPCTSTR pszTargets);

    // These return the number of replacements or removals.
    int Replace(char chOld, char chNew);
    int Replace(LPCTSTR pszOld, LPCTSTR pszNew);
    int Remove(char ch);
    // These return the new length.
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCTSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // printf formatting. Pass strings as (LPCTSTR)str: a CString object
    // cannot travel through "...".
    void Format(LPCTSTR pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void FormatV(LPCTSTR pszFormat, va_list args);
    void AppendFormat(LPCTSTR pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void AppendFormatV(LPCTSTR pszFormat, va_list args);

    // Direct access to a buffer of at least nMinBufLength characters plus the
    // terminator, owned by this string alone. Finish with ReleaseBuffer.
    LPTSTR GetBuffer(int nMinBufLength);
    LPTSTR GetBuffer() { return GetBuffer(0); }
    LPTSTR GetBufferSetLength(int nNewLength);
    // nNewLength -1: the text up to its terminator (within the buffer).
    void ReleaseBuffer(int nNewLength = -1);

private:
    struct Header
    {
        volatile LONG nRefs;   // -1 marks the shared empty string, never freed
        int nDataLength;
        int nAllocLength;
        char* Chars() { return reinterpret_cast<char*>(this + 1); }
    };

    char* m_pchData;

    Header* Data() const { return reinterpret_cast<Header*>(m_pchData) - 1; }
    static char* EmptyChars();
    static Header* Allocate(int nLength);
    static void Release(Header* pData);
    void Init() { m_pchData = EmptyChars(); }
    void AssignCopy(LPCTSTR pch, int nLength);
    void AppendCopy(LPCTSTR pch, int nLength);
    void CopyBeforeWrite();
    void ReplaceData(Header* pNew);
    CString& TrimLeftIf(bool (*pred)(char, LPCTSTR), LPCTSTR arg);
    CString& TrimRightIf(bool (*pred)(char, LPCTSTR), LPCTSTR arg);
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCTSTR b);
CString operator+(LPCTSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
inline bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
inline bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
inline bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
inline bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }
