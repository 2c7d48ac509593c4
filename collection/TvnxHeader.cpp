#include "collection/TvnxHeader.h"

#include <cstring>

const char g_szTvnxMagic[TVNX_MAGIC_SIZE] = "DUDAVOLAYOUT";

bool TVNXHEADER::Parse(const BYTE* pb, size_t nSize)
{
    CTvnxBytes bytes(pb, nSize);
    if (!bytes.Has(0, TVNX_HEADER_SIZE))
        return false;
    bMagic = memcmp(bytes.Span(0, TVNX_MAGIC_SIZE), g_szTvnxMagic, TVNX_MAGIC_SIZE) == 0;
    bytes.Get32(TVNX_OFS_VERSION, &nVersion);
    bytes.Get32(TVNX_OFS_LAYOUT_OFFSET, &nLayoutOffset);
    bytes.Get32(TVNX_OFS_LAYOUT_SIZE, &nLayoutSize);
    bytes.Get8(TVNX_OFS_LEVEL, &nLevel);
    bytes.Get32(TVNX_OFS_FIRST_RECORD, &nFirstRecord);
    bytes.Get32(TVNX_OFS_AREA_SIZE, &nAreaSize);
    bytes.Get32(TVNX_OFS_RECORD_COUNT, &nRecordCount);
    bytes.Get32(TVNX_OFS_HEADER_SIZE, &nHeaderSize);
    return true;
}

void TVNXHEADER::Store(BYTE pb[TVNX_HEADER_SIZE]) const
{
    memset(pb, 0, TVNX_HEADER_SIZE);
    memcpy(pb, g_szTvnxMagic, TVNX_MAGIC_SIZE);
    TvnxPut32(pb + TVNX_OFS_VERSION, nVersion);
    TvnxPut32(pb + TVNX_OFS_LAYOUT_OFFSET, nLayoutOffset);
    TvnxPut32(pb + TVNX_OFS_LAYOUT_SIZE, nLayoutSize);
    pb[TVNX_OFS_LEVEL] = nLevel;
    TvnxPut32(pb + TVNX_OFS_FIRST_RECORD, nFirstRecord);
    TvnxPut32(pb + TVNX_OFS_AREA_SIZE, nAreaSize);
    TvnxPut32(pb + TVNX_OFS_RECORD_COUNT, nRecordCount);
    TvnxPut32(pb + 48, TVNX_HEADER_SIZE);
    TvnxPut32(pb + TVNX_OFS_HEADER_SIZE, TVNX_HEADER_SIZE);
}

int TVNXHEADER::Check(ULONGLONG nFileLength) const
{
    if (!bMagic)
        return 4;
    if (nVersion < TVNX_VERSION_PLAIN || nVersion > TVNX_VERSION_CURRENT)
        return 9;
    if (nHeaderSize != TVNX_HEADER_SIZE)
        return 4;
    const ULONGLONG nLayoutEnd = ULONGLONG(nLayoutOffset) + nLayoutSize;
    if (nLayoutOffset < TVNX_HEADER_SIZE || nLayoutSize == 0 || nLayoutEnd > nFileLength)
        return 4;
    if (nFirstRecord < nLayoutEnd || ULONGLONG(nFirstRecord) + nAreaSize > nFileLength)
        return 4;
    return 0;
}

uint32_t TvnxChecksum(const BYTE* pData, size_t nSize)
{
    uint32_t nSum = 0;
    CTvnxBytes bytes(pData, nSize);
    for (size_t i = 0; i + 4 <= nSize; i += 4) {
        uint32_t nWord = 0;
        bytes.Get32(i, &nWord);
        nSum += nWord;
    }
    return nSum;
}

void TvnxScramble(BYTE* pb, size_t nSize, bool bScramble, size_t nStart)
{
    for (size_t i = 0; i < nSize; i++) {
        const BYTE nPos = BYTE(nStart + i);
        pb[i] = bScramble ? BYTE(pb[i] + nPos) : BYTE(pb[i] - nPos);
    }
}
