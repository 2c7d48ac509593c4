// Exceptions of the framework. They are thrown and caught by pointer
// ("catch (CException* e)") and the catcher frees them with Delete().
#pragma once

#include <windows.h>

class CException
{
public:
    // bAutoDelete FALSE marks an object that Delete() must not free (a static one).
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
    virtual ~CException() {}

    // Frees a heap exception; the one way a catcher disposes of it.
    virtual void Delete();

    // Copies a readable message into lpszError (always terminated when nMaxError > 0).
    // Returns FALSE when the exception has no message.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const;

protected:
    BOOL m_bAutoDelete;

    static void CopyMessage(LPCTSTR lpszText, LPTSTR lpszError, UINT nMaxError);

private:
    CException(const CException&) = delete;
    CException& operator=(const CException&) = delete;
};

// Thrown when memory for an object, string or array cannot be had.
class CMemoryException : public CException
{
public:
    explicit CMemoryException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
};

// Throws a new CMemoryException*; when even that object cannot be allocated,
// a static one whose Delete() does nothing.
[[noreturn]] void AfxThrowMemoryException();
