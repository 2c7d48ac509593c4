// CFile: an unbuffered Win32 file handle with the framework's error model.
// Open() reports failure by return value; every other failure throws a
// CFileException*. A short Read at the end of the file is not an error.
#pragma once

#include "framework/FileException.h"
#include "framework/Str.h"

class CFile
{
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,      // accepted and ignored: every CFile is binary
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    static const HANDLE hFileNull;   // INVALID_HANDLE_VALUE: no file open

    CFile();
    // Wraps a handle opened elsewhere; the destructor leaves it open.
    explicit CFile(HANDLE hFile);
    // Opens or throws a CFileException*.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    virtual ~CFile();

    operator HANDLE() const { return m_hFile; }

    // FALSE on failure, with the cause in *pError when given.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    // Returns the new position from the start of the file.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    // Cuts or extends the file; the position is left at the new end.
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes without ever throwing (for error paths).
    virtual void Abort();

    // The full path given at Open, its last component, and that without extension.
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual void SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void Remove(LPCTSTR lpszFileName);

    HANDLE m_hFile;

protected:
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

    void ThrowLastError() const;
    void CheckOpen() const;

private:
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
};
