// The smilie's picture as the image cache and the open collection file know it.
#include "collection/Smilie.h"

#include "services/Languages.h"
#include "collection/ImgCache.h"
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
// The picture in the image cache

LPCTSTR CSmilie::GetImageExtension() const
{
    if (g_pImgCache == NULL)
        return NULL;
    uint32_t nImageId = m_nImageId;
    if (nImageId == 0 && m_nImageRecord != 0)
        nImageId = g_pImgCache->AddCollectionImage(m_nImageRecord);
    return nImageId != 0 ? g_pImgCache->GetImageExtension(nImageId) : NULL;
}

CSize CSmilie::GetImageSize() const
{
    if (m_nImageId == 0 || g_pImgCache == NULL)
        return CSize(0, 0);
    return g_pImgCache->GetImageSize(m_nImageId);
}

BOOL CSmilie::IsImageLargerThanCell() const
{
    if (m_nImageId == 0 || g_pImgCache == NULL)
        return FALSE;
    const CSize size = g_pImgCache->GetImageSize(m_nImageId);
    return size.cx > m_rcImage.Width() || size.cy > m_rcImage.Height();
}

CPoint CSmilie::GetImageOffset() const
{
    if (m_nImageId == 0 || g_pImgCache == NULL || (m_nOffsetX == offsetCentred && m_nOffsetY == offsetCentred))
        return CPoint(0, 0);
    const CSize size = g_pImgCache->GetImageSize(m_nImageId);
    return CPoint(m_nOffsetX + (size.cx - m_nCellWidth) / 2, m_nOffsetY + (size.cy - m_nCellHeight) / 2);
}

void CSmilie::SetImageOffset(int x, int y)
{
    if (m_nImageId != 0 && g_pImgCache != NULL) {
        if (x == 0 && y == 0) {
            m_nOffsetX = offsetCentred;
            m_nOffsetY = offsetCentred;
        } else {
            const CSize size = g_pImgCache->GetImageSize(m_nImageId);
            m_nOffsetX = x + (m_nCellWidth - size.cx) / 2;
            m_nOffsetY = y + (m_nCellHeight - size.cy) / 2;
        }
    } else {
        m_nOffsetX = 0;
        m_nOffsetY = 0;
    }
    // The next paint lays the cell out again.
    m_nImageId = 0;
}

BOOL CSmilie::GetCroppedImageSize(CSize& size) const
{
    if (g_pImgCache == NULL)
        return FALSE;
    const uint32_t nImageId = g_pImgCache->AddCollectionImage(m_nImageRecord);
    g_pImgCache->SetImageCrop(nImageId, m_nCrop);
    size = g_pImgCache->GetImageSize(nImageId);
    return TRUE;
}

const CString& CSmilie::GetImageName()
{
    if (g_pImgCache == NULL) {
        // Fetched once and kept for the rest of the program.
        static const CString s_strNoCache = GetLangString(522);
        return s_strNoCache;
    }
    uint32_t nImageId = m_nImageId;
    if (nImageId == 0 && m_nImageRecord != 0) {
        nImageId = g_pImgCache->AddCollectionImage(m_nImageRecord);
        g_pImgCache->SetImageCrop(nImageId, m_nCrop);
    }
    return g_pImgCache->GetImageName(nImageId);
}
