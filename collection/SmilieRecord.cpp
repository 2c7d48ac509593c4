// The serialised smilie record inside a collection's layout block. Little-
// endian; S and P are the lengths of source and phrase:
//
//   0       column                    16+S+P  flags
//   4       row                       20+S+P  download state
//   8       S                         24+S+P  usage counter
//   12      source (no terminator)    28+S+P  date (SYSTEMTIME, 16 bytes)
//   12+S    P                         44+S+P  cell width, cell height
//   16+S    phrase (no terminator)    52+S+P  picture record id
//                                     56+S+P  picture offset x, y (16 bits each)
//                                     60+S+P  crop (1 byte)
//
// Older writers stopped after the record id or after the offset; those forms
// are told apart by the record's size. A word from 0x10000000 to 0x10FFFFFF at
// offset 8 announces an extension block: its low 16 bits are the bytes, from
// offset 8, that come before S.
//
// The bytes come from a file: every length is checked against the record's
// size before anything is read, and a record whose size fits none of the
// forms is refused whole.
#include "collection/Smilie.h"

#include "collection/SmilieField.h"
#include "collection/TvnxBytes.h"
#include "collection/TvnxSave.h"

#include <cstring>
#include <memory>

namespace {

// Bytes after the phrase in each form.
const uint32_t kTailFull = 45;
const uint32_t kTailNoCrop = 44;
const uint32_t kTailNoOffset = 40;

void Put16(BYTE* pb, uint16_t v)
{
    pb[0] = BYTE(v);
    pb[1] = BYTE(v >> 8);
}

uint16_t Get16(const BYTE* pb)
{
    return uint16_t(pb[0] | pb[1] << 8);
}

uint32_t Get32(const BYTE* pb)
{
    return uint32_t(pb[0]) | uint32_t(pb[1]) << 8 | uint32_t(pb[2]) << 16 | uint32_t(pb[3]) << 24;
}

}   // namespace

uint32_t CSmilie::SaveRecord(BYTE* pBuffer, uint32_t* pnSize) const
{
    const uint32_t nSource = m_pszSource != NULL ? static_cast<uint32_t>(strlen(m_pszSource)) : 0;
    const uint32_t nPhrase = static_cast<uint32_t>(m_strPhrase.GetLength());
    const uint32_t nNeeded = recordFixedSize + nSource + nPhrase;
    if (pBuffer == NULL) {
        if (pnSize != NULL)
            *pnSize = nNeeded;
        return nNeeded;
    }
    if (pnSize == NULL || *pnSize < nNeeded)
        return 0;

    BYTE* p = pBuffer;
    TvnxPut32(p, uint32_t(m_nColumn));
    TvnxPut32(p + 4, uint32_t(m_nRow));
    TvnxPut32(p + 8, nSource);
    p += 12;
    if (nSource != 0)
        memcpy(p, m_pszSource, nSource);
    p += nSource;
    TvnxPut32(p, nPhrase);
    p += 4;
    if (nPhrase != 0)
        memcpy(p, m_strPhrase.GetString(), nPhrase);
    p += nPhrase;
    TvnxPut32(p, m_nFlags);
    TvnxPut32(p + 4, PeekDownloadState());
    TvnxPut32(p + 8, m_nUsageCount);
    const WORD awDate[8] = {m_Date.wYear, m_Date.wMonth, m_Date.wDayOfWeek, m_Date.wDay,
                            m_Date.wHour, m_Date.wMinute, m_Date.wSecond, m_Date.wMilliseconds};
    for (int i = 0; i < 8; i++)
        Put16(p + 12 + 2 * i, awDate[i]);
    TvnxPut32(p + 28, uint32_t(m_nCellWidth));
    TvnxPut32(p + 32, uint32_t(m_nCellHeight));
    TvnxPut32(p + 36, m_nImageRecord);
    Put16(p + 40, uint16_t(m_nOffsetX));
    Put16(p + 42, uint16_t(m_nOffsetY));
    p[44] = m_nCrop;

    *pnSize = nNeeded;
    return nNeeded;
}

BOOL CSmilie::LoadRecord(const BYTE* pRecord, uint32_t nSize, uint32_t nAppendedId)
{
    const CTvnxBytes rec(pRecord, nSize);

    // Column, row, and where the source length lies.
    uint32_t nColumn = 0, nRow = 0, nWord = 0;
    if (!rec.Get32(0, &nColumn) || !rec.Get32(4, &nRow) || !rec.Get32(8, &nWord))
        return FALSE;
    size_t nAt = 8;
    if (nWord >= 0x10000000 && nWord <= 0x10FFFFFF)
        nAt += nWord & 0xFFFF;

    uint32_t nSource = 0, nPhrase = 0;
    if (!rec.Get32(nAt, &nSource))
        return FALSE;
    const BYTE* pSource = rec.Span(nAt + 4, nSource);
    if (pSource == NULL)
        return FALSE;
    nAt += 4 + size_t(nSource);
    if (!rec.Get32(nAt, &nPhrase))
        return FALSE;
    const BYTE* pPhrase = rec.Span(nAt + 4, nPhrase);
    if (pPhrase == NULL)
        return FALSE;
    nAt += 4 + size_t(nPhrase);

    // What follows the phrase must be exactly one of the three tails.
    const size_t nTail = rec.GetSize() - nAt;
    if (nTail != kTailFull && nTail != kTailNoCrop && nTail != kTailNoOffset)
        return FALSE;
    const BYTE* pTail = rec.Span(nAt, nTail);

    // Everything is inside the record; from here on the smilie changes.
    std::unique_ptr<char[]> pNewSource(nSource != 0 ? MigrateSourceUrl(reinterpret_cast<const char*>(pSource), nSource)
                                                    : NULL);
    CString strPhrase(reinterpret_cast<const char*>(pPhrase), int(nPhrase));

    ReleaseDownload();
    m_nColumn = int(nColumn);
    m_nRow = int(nRow);
    FreeSource();
    m_pszSource = pNewSource.release();
    m_strPhrase = strPhrase;

    m_nFlags = Get32(pTail);
    m_nDownloadState = Get32(pTail + 4);
    if ((m_nDownloadState & 0xFF) == DOWNLOAD_RUNNING)
        m_nDownloadState = DOWNLOAD_FAILED;
    m_nUsageCount = Get32(pTail + 8);
    m_Date.wYear = Get16(pTail + 12);
    m_Date.wMonth = Get16(pTail + 14);
    m_Date.wDayOfWeek = Get16(pTail + 16);
    m_Date.wDay = Get16(pTail + 18);
    m_Date.wHour = Get16(pTail + 20);
    m_Date.wMinute = Get16(pTail + 22);
    m_Date.wSecond = Get16(pTail + 24);
    m_Date.wMilliseconds = Get16(pTail + 26);

    // The field's cell size wins; a stored size that is missing (or negative,
    // which no writer produces) gives the default cell.
    int cx = m_pField != NULL ? m_pField->GetCellWidth() : 0;
    int cy = m_pField != NULL ? m_pField->GetCellHeight() : 0;
    if (cx == 0 || cy == 0) {
        cx = int(Get32(pTail + 28));
        cy = int(Get32(pTail + 32));
        if (cx <= 0 || cy <= 0) {
            cx = defaultCellWidth;
            cy = defaultCellHeight;
        }
    }
    m_nCellWidth = cx;
    m_nCellHeight = cy;

    uint32_t nRecordId = Get32(pTail + 36);
    CTvnxSave* pFile = g_pCollectionFile != NULL && g_pCollectionFile->IsOpen() ? g_pCollectionFile : NULL;
    if (nRecordId != 0 && nAppendedId != 0)
        nRecordId = pFile != NULL ? pFile->RemapId(nAppendedId, nRecordId) : 0;
    if (pFile != NULL)
        pFile->RaiseHighestId(nRecordId);
    m_nImageRecord = nRecordId;
    m_nImageId = 0;

    m_nOffsetX = offsetCentred;
    m_nOffsetY = offsetCentred;
    m_nCrop = 0;
    if (nTail >= kTailNoCrop) {
        m_nOffsetX = int16_t(Get16(pTail + 40));
        m_nOffsetY = int16_t(Get16(pTail + 42));
    }
    if (nTail == kTailFull)
        m_nCrop = pTail[44];

    // A picture smilie whose own template is one of the defaults sends with the
    // field's template instead. The stored phrase may hold zero bytes, which a
    // text comparison would stop at: length and bytes must both match.
    if (m_nImageRecord != 0 && nPhrase != 0) {
        for (const auto& pair : s_DefaultTemplates) {
            if (strlen(pair[1]) == nPhrase && memcmp(pPhrase, pair[1], nPhrase) == 0) {
                m_strPhrase.Empty();
                break;
            }
        }
    }

    m_nFrameIndex = 0;
    m_nContentState = 0;
    DeleteCachedBitmap();
    ClearTextLines();
    SelectToolbar();
    MarkModified();

    if (HasPendingSource())
        QueueDownload(this);
    return TRUE;
}
