#include "collection/ImgCache.h"

#include "collection/TvnxSave.h"

#include <cstdlib>
#include <new>

CImgCache* g_pImgCache = nullptr;

namespace {

DWORD SystemTicks()
{
    return ::GetTickCount();
}

const int kKeptRecent = 32;

}  // namespace

CImgCache::CImgCache()
    : m_pCollectionFile(nullptr), m_nMemoryUsed(0), m_nMemoryLimit(0), m_bKeepAllFrames(TRUE), m_nMemoId(0),
      m_nMemoIndex(0), m_pfnTickCount(SystemTicks)
{
}

CImgCache::~CImgCache()
{
    RemoveAll();
}

void CImgCache::FreeEntry(CachedImage* pEntry)
{
    delete pEntry->pHolder;
    delete pEntry;
}

void CImgCache::FreePicture(CachedImage* pEntry)
{
    if (!pEntry->pHolder)
        return;
    const CGraphicalFormatReader* pReader = pEntry->pHolder->GetReader();
    const uint64_t n = (pReader ? pReader->GetMemorySize() : 0) + 8;
    m_nMemoryUsed = m_nMemoryUsed > n ? m_nMemoryUsed - n : 0;
    delete pEntry->pHolder;
    pEntry->pHolder = nullptr;
}

void CImgCache::RemoveAll()
{
    for (int i = m_entries.GetSize() - 1; i >= 0; i--) {
        FreePicture(m_entries[i]);
        FreeEntry(m_entries[i]);
    }
    m_entries.RemoveAll();
    m_nMemoId = 0;
    m_nMemoIndex = 0;
}

void CImgCache::Reset()
{
    RemoveAll();
    m_pCollectionFile = g_pCollectionFile;
}

uint32_t CImgCache::GetFreeImageId() const
{
    uint32_t nId = uint32_t(m_entries.GetSize()) + 1;
    for (;;) {
        bool bTaken = false;
        for (int i = 0; i < m_entries.GetSize() && !bTaken; i++)
            bTaken = m_entries[i]->nImageId == nId;
        if (!bTaken)
            return nId;
        nId++;
    }
}

uint32_t CImgCache::AddCollectionImage(uint32_t nRecordId)
{
    if (!m_pCollectionFile)
        return 0;
    for (int i = m_entries.GetSize() - 1; i >= 0; i--) {
        if (m_entries[i]->nRecordId == nRecordId)
            return m_entries[i]->nImageId;
    }
    return AddEntry(CString(), nRecordId);
}

uint32_t CImgCache::AddFileImage(LPCTSTR pszPath)
{
    if (!pszPath || !*pszPath)
        return 0;
    for (int i = m_entries.GetSize() - 1; i >= 0; i--) {
        if (m_entries[i]->nRecordId == 0 && m_entries[i]->strName.CompareNoCase(pszPath) == 0)
            return m_entries[i]->nImageId;
    }
    return AddEntry(CString(pszPath), 0);
}

uint32_t CImgCache::AddEntry(const CString& strName, uint32_t nRecordId)
{
    CachedImage* pEntry = new CachedImage{nullptr, strName, nRecordId, GetFreeImageId(), m_pfnTickCount()};
    try {
        m_entries.Add(pEntry);
    } catch (...) {
        FreeEntry(pEntry);
        throw;
    }
    return pEntry->nImageId;
}

bool CImgCache::Decode(CachedImage* pEntry)
{
    pEntry->pHolder = new (std::nothrow) CImageReader;
    if (!pEntry->pHolder)
        return false;
    bool bOk = false;
    if (pEntry->nRecordId != 0) {
        CString strName;
        const uint32_t nSize = m_pCollectionFile ? m_pCollectionFile->ReadRecord(pEntry->nRecordId, strName, nullptr) : 0;
        if (nSize != 0) {
            pEntry->strName = strName;
            BYTE* pBuffer = static_cast<BYTE*>(malloc(nSize));
            if (pBuffer && m_pCollectionFile->ReadRecord(pEntry->nRecordId, strName, pBuffer) == nSize)
                bOk = CImageReader::LoadFromMemory(pBuffer, *pEntry->pHolder, nSize, m_bKeepAllFrames) != 0;
            free(pBuffer);
        }
    } else {
        bOk = CImageReader::LoadFromFile(pEntry->strName, *pEntry->pHolder, m_bKeepAllFrames) != 0;
    }
    if (!bOk) {
        delete pEntry->pHolder;
        pEntry->pHolder = nullptr;
        return false;
    }
    m_nMemoryUsed += uint64_t(pEntry->pHolder->GetReader()->GetMemorySize()) + 8;
    return true;
}

int CImgCache::Find(uint32_t nImageId)
{
    if (m_nMemoId != 0 && m_nMemoId == nImageId && m_nMemoIndex >= 0 && m_nMemoIndex < m_entries.GetSize())
        return m_nMemoIndex;
    m_nMemoId = 0;
    int nIndex = m_entries.GetSize() - 1;
    while (nIndex >= 0 && m_entries[nIndex]->nImageId != nImageId)
        nIndex--;
    if (nIndex < 0)
        return -1;
    CachedImage* pEntry = m_entries[nIndex];
    if (!pEntry->pHolder && !Decode(pEntry))
        return -2;
    pEntry->nLastUse = m_pfnTickCount();
    m_nMemoId = nImageId;
    m_nMemoIndex = nIndex;
    if (m_nMemoryLimit > 0 && m_nMemoryUsed > m_nMemoryLimit)
        FreeMemory(int64_t(m_nMemoryUsed * 33 / 100), nIndex);
    return nIndex;
}

int CImgCache::CompareByUse(const void* p1, const void* p2)
{
    const CachedImage* a = *static_cast<CachedImage* const*>(p1);
    const CachedImage* b = *static_cast<CachedImage* const*>(p2);
    if (!a->pHolder || !b->pHolder)
        return (a->pHolder ? 1 : 0) - (b->pHolder ? 1 : 0);
    // Tick counts wrap after 49 days: their difference, read as signed, still orders them.
    const int32_t d = int32_t(a->nLastUse - b->nLastUse);
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

uint64_t CImgCache::FreeMemory(int64_t nAmount, int nSpare)
{
    const int nCount = m_entries.GetSize();
    if (nAmount <= 0 || nCount <= kKeptRecent)
        return 0;
    const CachedImage* pSpare = nSpare >= 0 && nSpare < nCount ? m_entries[nSpare] : nullptr;
    CachedImage** pSorted = nullptr;
    if (uint64_t(nAmount) < m_nMemoryUsed)
        pSorted = static_cast<CachedImage**>(malloc(sizeof(CachedImage*) * size_t(nCount)));
    if (!pSorted) {
        const uint64_t nBefore = m_nMemoryUsed;
        for (int i = 0; i < nCount; i++) {
            if (m_entries[i] != pSpare)
                FreePicture(m_entries[i]);
        }
        m_nMemoId = 0;
        return nBefore;
    }
    for (int i = 0; i < nCount; i++)
        pSorted[i] = m_entries[i];
    qsort(pSorted, size_t(nCount), sizeof(CachedImage*), CompareByUse);
    uint64_t nFreed = 0;
    for (int i = 0; i <= nCount - (kKeptRecent + 1) && nFreed < uint64_t(nAmount); i++) {
        CachedImage* pEntry = pSorted[i];
        if (!pEntry->pHolder || pEntry == pSpare)
            continue;
        const uint64_t nBefore = m_nMemoryUsed;
        FreePicture(pEntry);
        nFreed += nBefore - m_nMemoryUsed;
    }
    free(pSorted);
    m_nMemoId = 0;
    return nFreed;
}

void CImgCache::SetMemoryLimit(uint64_t nLimit)
{
    if (nLimit < 1024)
        return;
    if (m_nMemoryUsed > nLimit)
        FreeMemory(int64_t(m_nMemoryUsed - nLimit), -1);
    m_nMemoryLimit = nLimit;
}

void CImgCache::SetAnimation(BOOL bKeepAllFrames)
{
    bKeepAllFrames = bKeepAllFrames ? TRUE : FALSE;
    if (bKeepAllFrames == m_bKeepAllFrames)
        return;
    if (!bKeepAllFrames) {
        m_nMemoryUsed = 0;
        for (int i = 0; i < m_entries.GetSize(); i++) {
            CImageReader* pHolder = m_entries[i]->pHolder;
            if (!pHolder)
                continue;
            if (pHolder->GetReader()) {
                pHolder->GetReader()->DropExtraFrames();
                m_nMemoryUsed += pHolder->GetReader()->GetMemorySize();
            }
            m_nMemoryUsed += 8;
        }
    } else {
        for (int i = 0; i < m_entries.GetSize(); i++)
            FreePicture(m_entries[i]);
        m_nMemoId = 0;
    }
    m_bKeepAllFrames = bKeepAllFrames;
}

int CImgCache::GetImageFrameCount(uint32_t nImageId)
{
    const int i = Find(nImageId);
    return i >= 0 ? m_entries[i]->pHolder->GetReader()->GetFrameCount() : 0;
}

const CString& CImgCache::GetImageName(uint32_t nImageId)
{
    static const CString s_strEmpty;
    const int i = Find(nImageId);
    return i >= 0 ? m_entries[i]->strName : s_strEmpty;
}

void CImgCache::SetImageCrop(uint32_t nImageId, BYTE nCrop)
{
    const int i = Find(nImageId);
    if (i >= 0)
        m_entries[i]->pHolder->GetReader()->SetCrop(nCrop);
}

CSize CImgCache::GetImageSize(uint32_t nImageId)
{
    const int i = Find(nImageId);
    return i >= 0 ? m_entries[i]->pHolder->GetReader()->GetSize() : CSize(0, 0);
}

int CImgCache::DrawImageFrame(uint32_t nImageId, CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack)
{
    const int i = Find(nImageId);
    return i >= 0 ? m_entries[i]->pHolder->GetReader()->DrawNextFrame(pDC, pt, clrBack, pBackDC, ptBack) : -1;
}

BOOL CImgCache::SetImageFrame(uint32_t nImageId, int nFrame)
{
    const int i = Find(nImageId);
    return i >= 0 ? m_entries[i]->pHolder->GetReader()->SetCurrentFrame(nFrame) : FALSE;
}

LPCTSTR CImgCache::GetImageExtension(uint32_t nImageId)
{
    const int i = Find(nImageId);
    return i >= 0 ? CImageReader::GetExtension(m_entries[i]->pHolder->GetFormat()) : nullptr;
}

int GetCachedImageOption(uint32_t nImageId)
{
    if (!g_pImgCache)
        return 0;
    const int i = g_pImgCache->Find(nImageId);
    return i >= 0 ? g_pImgCache->GetEntry(i)->pHolder->GetReader()->GetCrop() : 0;
}

BOOL DrawCachedImage(uint32_t nImageId, CDC* pDC, CPoint pt, CPoint ptBack)
{
    if (!g_pImgCache)
        return FALSE;
    const int i = g_pImgCache->Find(nImageId);
    if (i < 0)
        return FALSE;
    return g_pImgCache->GetEntry(i)->pHolder->GetReader()->Draw(pDC, pt, RGB(255, 255, 255), nullptr, ptBack);
}
