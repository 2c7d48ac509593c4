#include "framework/MemFile.h"

#include <cstdlib>
#include <cstring>

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(NULL), m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
    : m_nGrowBytes(0), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(NULL), m_bAutoDelete(TRUE)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    Close();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer != NULL ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_nPosition = 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* p = m_lpBuffer;
    m_lpBuffer = NULL;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return p;
}

BOOL CMemFile::Open(LPCTSTR lpszFileName, UINT, CFileException* pError)
{
    // A memory file has no name to open.
    if (pError != NULL) {
        pError->m_cause = CFileException::genericException;
        pError->m_lOsError = ERROR_NOT_SUPPORTED;
        pError->m_strFileName = lpszFileName;
    }
    return FALSE;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes)
{
    return static_cast<BYTE*>(malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    return static_cast<BYTE*>(realloc(lpMem, nBytes));
}

void CMemFile::Free(BYTE* lpMem)
{
    free(lpMem);
}

void CMemFile::GrowFile(SIZE_T nNewLen)
{
    if (nNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    // Round up to whole grow steps, refusing what SIZE_T cannot hold.
    SIZE_T steps = nNewLen / m_nGrowBytes + (nNewLen % m_nGrowBytes != 0 ? 1 : 0);
    if (steps > static_cast<SIZE_T>(-1) / m_nGrowBytes)
        AfxThrowMemoryException();
    SIZE_T nNewSize = steps * m_nGrowBytes;
    BYTE* p = m_lpBuffer == NULL ? Alloc(nNewSize) : Realloc(m_lpBuffer, nNewSize);
    if (p == NULL)
        AfxThrowMemoryException();
    m_lpBuffer = p;
    m_nBufferSize = nNewSize;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize)
        return 0;
    SIZE_T n = m_nFileSize - m_nPosition;
    if (n > nCount)
        n = nCount;
    memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (nCount > static_cast<SIZE_T>(-1) - m_nPosition)
        AfxThrowMemoryException();
    SIZE_T nEnd = m_nPosition + nCount;
    GrowFile(nEnd);
    // A write after a seek past the end leaves zeros in the gap, not old heap bytes.
    if (m_nPosition > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = nEnd;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = nFrom == begin ? 0 : nFrom == current ? static_cast<LONGLONG>(m_nPosition)
                                                          : static_cast<LONGLONG>(m_nFileSize);
    LONGLONG pos = base + lOff;
    if (pos < 0 || static_cast<ULONGLONG>(pos) > static_cast<SIZE_T>(-1))
        AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK);
    m_nPosition = static_cast<SIZE_T>(pos);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > static_cast<SIZE_T>(-1))
        AfxThrowMemoryException();
    SIZE_T n = static_cast<SIZE_T>(dwNewLen);
    GrowFile(n);
    if (n > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, n - m_nFileSize);
    if (m_nPosition > n)
        m_nPosition = n;
    m_nFileSize = n;
}

void CMemFile::Close()
{
    if (m_lpBuffer != NULL && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = NULL;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bAutoDelete = TRUE;
}
