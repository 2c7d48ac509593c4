#include "framework/File.h"

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CFile::Abort();
}

void CFile::ThrowLastError() const
{
    LONG err = static_cast<LONG>(GetLastError());
    AfxThrowFileException(CFileException::OsErrorToException(err), err, m_strFileName);
}

void CFile::CheckOpen() const
{
    // INVALID_HANDLE_VALUE is also the current-process pseudo handle, so it
    // must never reach a file function.
    if (m_hFile == hFileNull)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (pError != NULL)
        pError->Clear();
    if (m_hFile != hFileNull)
        Abort();

    DWORD access;
    switch (nOpenFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default:
        if (pError != NULL) {
            pError->m_cause = CFileException::genericException;
            pError->m_lOsError = ERROR_INVALID_PARAMETER;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }

    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;   // shareCompat, shareExclusive
    }

    SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};

    DWORD creation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        creation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & osNoBuffer)
        attributes |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & osWriteThrough)
        attributes |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & osRandomAccess)
        attributes |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & osSequentialScan)
        attributes |= FILE_FLAG_SEQUENTIAL_SCAN;

    HANDLE h = CreateFileA(lpszFileName, access, share, &sa, creation, attributes, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        if (pError != NULL) {
            LONG err = static_cast<LONG>(GetLastError());
            pError->m_lOsError = err;
            pError->m_cause = CFileException::OsErrorToException(err);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }

    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(lpszFileName, sizeof(full), full, NULL);
    m_strFileName = (n > 0 && n < sizeof(full)) ? full : lpszFileName;
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    CheckOpen();
    if (nCount == 0)
        return 0;
    DWORD nRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &nRead, NULL))
        ThrowLastError();
    return nRead;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    CheckOpen();
    if (nCount == 0)
        return;
    DWORD nWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &nWritten, NULL))
        ThrowLastError();
    if (nWritten != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    CheckOpen();
    DWORD method = nFrom == begin ? FILE_BEGIN : nFrom == current ? FILE_CURRENT : FILE_END;
    LONG high = static_cast<LONG>(lOff >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(m_hFile, static_cast<LONG>(lOff & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        ThrowLastError();
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetPosition() const
{
    CheckOpen();
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(m_hFile, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        ThrowLastError();
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

ULONGLONG CFile::GetLength() const
{
    CheckOpen();
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        ThrowLastError();
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (!FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    BOOL ok = TRUE;
    LONG err = NO_ERROR;
    if (m_hFile != hFileNull && !CloseHandle(m_hFile)) {
        ok = FALSE;
        err = static_cast<LONG>(GetLastError());
    }
    CString name = m_strFileName;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (!ok)
        AfxThrowFileException(CFileException::OsErrorToException(err), err, name);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const
{
    int slash = -1;
    for (int i = m_strFileName.GetLength() - 1; i >= 0; i--) {
        char c = m_strFileName[i];
        if (c == '\\' || c == '/' || c == ':') {
            slash = i;
            break;
        }
    }
    return m_strFileName.Mid(slash + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}
