// CMemFile: a file held in memory, with every CFile operation. The buffer grows
// in steps of nGrowBytes; with nGrowBytes 0 it is fixed and a write past its end
// throws CMemoryException*.
#pragma once

#include "framework/File.h"

class CMemFile : public CFile
{
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Uses lpBuffer as the file (see Attach).
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // With nGrowBytes 0 the nBufferSize bytes of lpBuffer are the file's contents
    // and its fixed limit; otherwise the file starts empty and lpBuffer (from
    // malloc) may be reallocated as it grows. The caller keeps the buffer:
    // take it back with Detach().
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the buffer to the caller (read GetLength() first) and leaves the file empty.
    BYTE* Detach();

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    // Keeps the position unless it lies past the new end.
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetLength() const override { return m_nFileSize; }
    ULONGLONG GetPosition() const override { return m_nPosition; }
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }

protected:
    // The allocator of the buffer; a derived class may supply another.
    virtual BYTE* Alloc(SIZE_T nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
    virtual void Free(BYTE* lpMem);
    // Makes the buffer hold at least nNewLen bytes or throws CMemoryException*.
    virtual void GrowFile(SIZE_T nNewLen);

    UINT m_nGrowBytes;
    SIZE_T m_nPosition;
    SIZE_T m_nBufferSize;
    SIZE_T m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete;   // the buffer is ours and freed by Close
};
