// CFileException: a failed file operation, with a portable cause code, the
// Windows error code and the file's name. Thrown by pointer like every CException.
#pragma once

#include "framework/Exception.h"
#include "framework/Str.h"

class CFileException : public CException
{
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);

    // Resets the fields so that an object passed to CFile::Open can be reused.
    void Clear();

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

    // The cause for a GetLastError() value.
    static int OsErrorToException(LONG lOsError);
    // Throws a new CFileException* for a GetLastError() value (nothing for 0).
    static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);

    int m_cause;
    LONG m_lOsError;        // -1 when there is no system error code
    CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);
