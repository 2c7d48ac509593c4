// CFileFind: walks the entries of one directory that match a pattern.
// FindFile starts the search; each FindNextFile makes the next entry current
// and returns FALSE when that entry is the last one (which is still valid).
#pragma once

#include "framework/Str.h"

class CFileFind
{
public:
    CFileFind();
    virtual ~CFileFind();

    // pstrName NULL searches "*.*" in the current directory. FALSE when nothing
    // matches (GetLastError tells why).
    BOOL FindFile(LPCTSTR pstrName = NULL, DWORD dwUnused = 0);
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileTitle() const;
    // The searched directory as a full path, without a trailing backslash
    // except for a drive root.
    CString GetRoot() const { return m_strRoot; }
    ULONGLONG GetLength() const;
    BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;

    BOOL MatchesMask(DWORD dwMask) const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    // "." and "..".
    BOOL IsDots() const;

private:
    HANDLE m_hContext;
    BOOL m_bHasFound;   // m_found holds the current entry
    BOOL m_bHasNext;    // m_next holds the entry after it
    WIN32_FIND_DATAA m_found;
    WIN32_FIND_DATAA m_next;
    CString m_strRoot;

    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
};
