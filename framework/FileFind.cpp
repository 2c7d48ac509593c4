#include "framework/FileFind.h"

#include <cstring>

CFileFind::CFileFind() : m_hContext(INVALID_HANDLE_VALUE), m_bHasFound(FALSE), m_bHasNext(FALSE)
{
    memset(&m_found, 0, sizeof(m_found));
    memset(&m_next, 0, sizeof(m_next));
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hContext != INVALID_HANDLE_VALUE)
        FindClose(m_hContext);
    m_hContext = INVALID_HANDLE_VALUE;
    m_bHasFound = FALSE;
    m_bHasNext = FALSE;
    m_strRoot.Empty();
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD)
{
    Close();
    if (pstrName == NULL)
        pstrName = "*.*";

    HANDLE h = FindFirstFileA(pstrName, &m_next);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hContext = h;
    m_bHasNext = TRUE;

    char full[MAX_PATH];
    char* namePart = NULL;
    DWORD n = GetFullPathNameA(pstrName, sizeof(full), full, &namePart);
    CString root = (n > 0 && n < sizeof(full)) ? full : pstrName;
    int cut = root.GetLength();
    for (int i = root.GetLength() - 1; i >= 0; i--) {
        if (root[i] == '\\' || root[i] == '/') {
            cut = i;
            break;
        }
    }
    if (cut == root.GetLength())
        cut = 0;                          // a bare pattern: the root stays empty
    if (cut == 2 && root[1] == ':')
        cut = 3;                          // keep "C:\"
    m_strRoot = root.Left(cut);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_found = m_next;
    m_bHasFound = TRUE;
    m_bHasNext = ::FindNextFileA(m_hContext, &m_next);
    return m_bHasNext;
}

CString CFileFind::GetFileName() const
{
    return m_bHasFound ? CString(m_found.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    if (!m_bHasFound)
        return CString();
    CString path = m_strRoot;
    if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\' && path[path.GetLength() - 1] != '/')
        path += '\\';
    return path + m_found.cFileName;
}

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_bHasFound)
        return 0;
    return (static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32) | m_found.nFileSizeLow;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    if (!m_bHasFound || pTimeStamp == NULL)
        return FALSE;
    *pTimeStamp = m_found.ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHasFound && (m_found.dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDots() const
{
    if (!IsDirectory())
        return FALSE;
    const char* n = m_found.cFileName;
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}
