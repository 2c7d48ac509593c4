// The smilie's picture as the image cache and the open collection file know it.
#include "collection/Smilie.h"

#include "collection/TvnxSave.h"

#include <memory>

uint32_t CSmilie::GetImageDataSize() const
{
    if (m_nImageRecord == 0 || g_pCollectionFile == NULL)
        return 0;
    CString strName;
    return g_pCollectionFile->ReadRecord(m_nImageRecord, strName, NULL);
}

BOOL CSmilie::ExportToFile(LPCTSTR pszPath) const
{
    HANDLE hFile = INVALID_HANDLE_VALUE;
    const BYTE* pData = NULL;
    uint32_t nSize = 0;
    std::unique_ptr<BYTE[]> pBuffer;
    CString strText;

    if (m_nImageRecord == 0) {
        if ((m_pszSource != NULL && m_pszSource[0] != '\0') || m_strPhrase.IsEmpty())
            return FALSE;
        // A text file: line ends as Windows writes them, whichever way the
        // phrase holds them.
        strText = m_strPhrase;
        strText.Replace("\r\n", "\n");
        strText.Replace("\n", "\r\n");
        pData = reinterpret_cast<const BYTE*>(strText.GetString());
        nSize = uint32_t(strText.GetLength());
    } else {
        if (g_pCollectionFile == NULL)
            return FALSE;
        CString strName;
        nSize = g_pCollectionFile->ReadRecord(m_nImageRecord, strName, NULL);
        if (nSize == 0)
            return FALSE;
        pBuffer.reset(new (std::nothrow) BYTE[nSize]);
        if (!pBuffer || g_pCollectionFile->ReadRecord(m_nImageRecord, strName, pBuffer.get()) != nSize)
            return FALSE;
        pData = pBuffer.get();
    }

    hFile = CreateFileA(pszPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD nWritten = 0;
    const BOOL bOk = WriteFile(hFile, pData, nSize, &nWritten, NULL) && nWritten == nSize;
    return CloseHandle(hFile) && bOk;
}

// ---------------------------------------------------------------------------
// Image cache (not part of this build yet)

LPCTSTR CSmilie::GetImageExtension() const
{
    return NULL;
}

CSize CSmilie::GetImageSize() const
{
    return CSize(0, 0);
}

BOOL CSmilie::IsImageLargerThanCell() const
{
    return FALSE;
}

CPoint CSmilie::GetImageOffset() const
{
    return CPoint(0, 0);
}

void CSmilie::SetImageOffset(int, int)
{
    m_nOffsetX = 0;
    m_nOffsetY = 0;
    m_nImageId = 0;
}

BOOL CSmilie::GetCroppedImageSize(CSize&) const
{
    return FALSE;
}

const CString& CSmilie::GetImageName()
{
    static CString s_strNoCache;
    return s_strNoCache;
}
