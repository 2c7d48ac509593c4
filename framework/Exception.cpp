#include "framework/Exception.h"

#include <new>
#include <cstring>

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

void CException::CopyMessage(LPCTSTR lpszText, LPTSTR lpszError, UINT nMaxError)
{
    if (lpszError == NULL || nMaxError == 0)
        return;
    size_t n = strlen(lpszText);
    if (n >= nMaxError)
        n = nMaxError - 1;
    memcpy(lpszError, lpszText, n);
    lpszError[n] = '\0';
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    CopyMessage("", lpszError, nMaxError);
    return FALSE;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    CopyMessage("Out of memory.", lpszError, nMaxError);
    return TRUE;
}

void AfxThrowMemoryException()
{
    // When memory is exhausted the exception object itself may not fit; the
    // static fallback keeps the throw from turning into std::bad_alloc.
    static CMemoryException s_outOfMemory(FALSE);
    CMemoryException* e = new (std::nothrow) CMemoryException;
    if (e == NULL)
        e = &s_outOfMemory;
    throw e;
}
