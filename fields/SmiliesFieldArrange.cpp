// Arranging a field: four layouts and six sorts.
#include "fields/SmiliesField.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "fields/FieldGeometry.h"
#include "services/Busy.h"
#include "services/Languages.h"
#include "services/Messages.h"

#include <algorithm>
#include <mbstring.h>
#include <vector>

namespace {

// The language entry that names the undo step of arrangement command 1.
const int kFirstArrangeTitle = 436;

struct SORTKEY
{
    CSmilie* pSmilie;
    CString strText;
    long long nNumber;
};

// The decoded picture of a smilie's record in the image cache, or NULL.
CGraphicalFormatReader* CachedReader(CSmilie* pSmilie)
{
    if (g_pImgCache == NULL || pSmilie->m_nImageRecord == 0)
        return NULL;
    if (pSmilie->m_nImageId == 0)
        pSmilie->m_nImageId = g_pImgCache->AddCollectionImage(pSmilie->m_nImageRecord);
    if (pSmilie->m_nImageId == 0)
        return NULL;
    CImgCache::CachedImage* pEntry = g_pImgCache->GetEntry(g_pImgCache->Find(pSmilie->m_nImageId));
    if (pEntry == NULL || pEntry->pHolder == NULL)
        return NULL;
    CGraphicalFormatReader* pReader = pEntry->pHolder->GetReader();
    if (pReader != NULL)
        pReader->SetCrop(pSmilie->m_nCrop);
    return pReader;
}

long long DateSeconds(const SYSTEMTIME& st)
{
    if (st.wYear < 1900)
        return 0;
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft))
        return 0;
    const ULONGLONG n = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<long long>(n / 10000000ULL);
}

}  // namespace

void CSmiliesField::SortSmilies(int nMode, int nCount, CSmilie** ppSmilies)
{
    if (nCount < 2 || ppSmilies == NULL || nMode == SORT_NONE)
        return;
    if ((nMode == SORT_PICTURE_SIZE || nMode == SORT_DATA_SIZE) && g_pImgCache == NULL)
        return;
    if (nMode == SORT_RANDOM) {
        POINT pt = {0, 0};
        s_pfnGetCursorPos(&pt);
        const DWORD_PTR nBase = reinterpret_cast<DWORD_PTR>(ppSmilies);
        for (int i = 0; i < nCount; i++) {
            DWORD_PTR j = nBase * static_cast<DWORD_PTR>(pt.x) +
                          reinterpret_cast<DWORD_PTR>(ppSmilies[i]) * static_cast<DWORD_PTR>(pt.y) + i +
                          ::GetTickCount();
            j = (j & 0x7FFF) % static_cast<DWORD_PTR>(nCount);
            std::swap(ppSmilies[i], ppSmilies[j]);
        }
        return;
    }

    std::vector<SORTKEY> keys(nCount);
    for (int i = 0; i < nCount; i++) {
        SORTKEY& key = keys[i];
        CSmilie* pSmilie = ppSmilies[i];
        key.pSmilie = pSmilie;
        key.nNumber = 0;
        switch (nMode) {
        case SORT_TEXT:
            if (pSmilie->m_nImageRecord != 0)
                key.strText = pSmilie->GetImageName();
            else
                key.strText = pSmilie->m_strPhrase.Left(16);
            break;
        case SORT_PICTURE_SIZE:
            if (CGraphicalFormatReader* pReader = CachedReader(pSmilie))
                key.nNumber = pReader->GetPerimeter() / 2;
            break;
        case SORT_DATA_SIZE:
            if (CGraphicalFormatReader* pReader = CachedReader(pSmilie))
                key.nNumber = pReader->GetSourceSize();
            break;
        case SORT_DATE:
            key.nNumber = DateSeconds(pSmilie->m_Date);
            break;
        case SORT_USAGE:
            key.nNumber = pSmilie->m_nUsageCount;
            break;
        default:
            key.nNumber = static_cast<long long>(pSmilie->m_nRow) * 0x100000000LL + pSmilie->m_nColumn;
            break;
        }
    }
    std::sort(keys.begin(), keys.end(), [nMode](const SORTKEY& a, const SORTKEY& b) {
        switch (nMode) {
        case SORT_TEXT:
            return _mbscmp(reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(a.strText)),
                           reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(b.strText))) < 0;
        case SORT_DATE:
        case SORT_USAGE:
            return a.nNumber > b.nNumber;
        default:
            return a.nNumber < b.nNumber;
        }
    });
    for (int i = 0; i < nCount; i++)
        ppSmilies[i] = keys[i].pSmilie;
}

void CSmiliesField::Arrange(int nCommand)
{
    if (nCommand < 1 || nCommand > 10 || m_pTable == NULL || m_pTable->GetTotal() == 0)
        return;
    // The container keeps an undo step before anything moves.
    HWND hContainer = m_hWnd != NULL ? ::GetParent(m_hWnd) : NULL;
    if (hContainer != NULL)
        ::SendMessageA(hContainer, WM_PUSHUNDO,
                       reinterpret_cast<WPARAM>(GetLangString(kFirstArrangeTitle - 1 + nCommand)), 0);

    EnterBusyOperation();
    std::vector<CSmilie*> list;
    std::vector<POINT> cells;
    list.reserve(m_pTable->GetTotal());
    for (int r = 0; r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r)) {
                list.push_back(pSmilie);
                cells.push_back(POINT{c, r});
            }
        }
        PumpMessagesWhileBusy();
    }

    if (nCommand >= 5) {
        static const int kModes[6] = {SORT_TEXT, SORT_PICTURE_SIZE, SORT_DATA_SIZE, SORT_DATE, SORT_USAGE, SORT_RANDOM};
        SortSmilies(kModes[nCommand - 5], static_cast<int>(list.size()), list.data());
        // The same cells stay taken; only which smilie sits where changes.
        for (const POINT& cell : cells)
            m_pTable->RemoveAt(cell.x, cell.y);
        for (size_t i = 0; i < list.size(); i++) {
            list[i]->SetCell(cells[i].x, cells[i].y);
            m_pTable->SetAt(list[i], cells[i].x, cells[i].y);
        }
    } else {
        for (const POINT& cell : cells)
            m_pTable->RemoveAt(cell.x, cell.y);
        const int nColumns = m_pTable->GetColumnCount();
        for (size_t i = 0; i < list.size(); i++) {
            const POINT cell = FieldArrangeCell(nCommand, static_cast<int>(i), nColumns);
            if (IsCellInGrid(cell.x, cell.y)) {
                list[i]->SetCell(cell.x, cell.y);
                m_pTable->SetAt(list[i], cell.x, cell.y);
            } else {
                // Beyond the last row: the undo step brings it back.
                DestroySmilie(list[i]);
            }
            PumpMessagesWhileBusy();
        }
        UpdateScrollRange(FALSE);
    }
    LeaveBusyOperation();
    MarkLayoutChanged();
}
