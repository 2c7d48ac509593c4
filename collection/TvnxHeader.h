// The 64-byte header of a collection file (".tvnx", and ".tvnu" updates),
// its checks, and the limits of the picture records that follow it.
#pragma once

#include "collection/TvnxBytes.h"

enum {
    TVNX_HEADER_SIZE = 64,
    TVNX_MAGIC_SIZE = 13,             // "DUDAVOLAYOUT" and its terminating zero
    TVNX_OFS_VERSION = 16,
    TVNX_OFS_LAYOUT_OFFSET = 24,
    TVNX_OFS_LAYOUT_SIZE = 28,
    TVNX_OFS_LEVEL = 35,
    TVNX_OFS_FIRST_RECORD = 36,
    TVNX_OFS_AREA_SIZE = 40,
    TVNX_OFS_RECORD_COUNT = 44,
    TVNX_OFS_HEADER_SIZE = 60,

    // Picture record: id (4), checksum (4), name length (1), name, data size (4), data.
    TVNX_RECORD_FIXED = 13,
    TVNX_MAX_NAME_READ = 66,          // longest name a file may hold
    TVNX_MAX_NAME_WRITTEN = 32,       // longest name this program writes
    TVNX_MAX_PICTURE = 307200,        // largest picture, in bytes

    TVNX_LEVEL_CLOSED = 10            // level byte while no file is open
};

const uint32_t TVNX_VERSION_PLAIN = 0x02142001;     // layout block stored as is
const uint32_t TVNX_VERSION_SCRAMBLED = 0x02142002; // layout byte i stored + i
const uint32_t TVNX_VERSION_CURRENT = 0x02142003;   // the version written

extern const char g_szTvnxMagic[TVNX_MAGIC_SIZE];

struct TVNXHEADER
{
    bool bMagic = false;              // the first 13 bytes are the magic
    uint32_t nVersion = 0;
    uint32_t nLayoutOffset = 0;
    uint32_t nLayoutSize = 0;
    uint8_t nLevel = 0;
    uint32_t nFirstRecord = 0;
    uint32_t nAreaSize = 0;
    uint32_t nRecordCount = 0;
    uint32_t nHeaderSize = 0;

    // FALSE when fewer than 64 bytes are given.
    bool Parse(const BYTE* pb, size_t nSize);
    // The header as this program writes it: magic, the given fields, zeros, 64 at
    // offset 48 and the header size 64.
    void Store(BYTE pb[TVNX_HEADER_SIZE]) const;
    // 0 when the header describes a readable file of nFileLength bytes, 9 for an
    // unknown version, 4 for anything else that is wrong. Sums are taken in 64
    // bits, so offsets near 4 GB cannot wrap round and pass.
    int Check(ULONGLONG nFileLength) const;
};

// The sum, modulo 2^32, of the whole little-endian 32-bit words of the data;
// a tail of 1 to 3 bytes does not take part.
uint32_t TvnxChecksum(const BYTE* pData, size_t nSize);

// Adds (bScramble) or subtracts the byte's position within the layout block,
// modulo 256; nStart is the position of pb[0] in the block.
void TvnxScramble(BYTE* pb, size_t nSize, bool bScramble, size_t nStart = 0);
