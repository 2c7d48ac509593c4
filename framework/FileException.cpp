#include "framework/FileException.h"

#include <new>

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{
}

void CFileException::Clear()
{
    m_cause = none;
    m_lOsError = -1;
    m_strFileName.Empty();
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_INVALID_ACCESS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
        return badSeek;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_IO_DEVICE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_SHARING_BUFFER_EXCEEDED:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_LOCK_FAILED:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    if (lOsError != NO_ERROR)
        AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;

    static const char* const s_causes[] = {
        "No error occurred.",
        "An unspecified error occurred.",
        "The file could not be found.",
        "The path is invalid.",
        "Too many files are open.",
        "Access to the file was denied.",
        "The file handle is invalid.",
        "The current directory cannot be removed.",
        "The directory is full.",
        "The file pointer could not be set.",
        "A hardware input/output error occurred.",
        "A sharing violation occurred.",
        "A locking violation occurred.",
        "The disk is full.",
        "The end of the file was reached.",
    };
    const char* cause = (m_cause >= 0 && m_cause < (int)(sizeof(s_causes) / sizeof(s_causes[0])))
                            ? s_causes[m_cause] : s_causes[genericException];
    CString text;
    if (m_strFileName.IsEmpty())
        text = cause;
    else
        text.Format("%s\n%s", (LPCTSTR)m_strFileName, cause);
    CopyMessage(text, lpszError, nMaxError);
    return TRUE;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    CFileException* e = new (std::nothrow) CFileException(cause, lOsError, lpszFileName);
    if (e == NULL)
        AfxThrowMemoryException();
    throw e;
}
