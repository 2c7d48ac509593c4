#include "collection/TvnxSave.h"

#include "services/Busy.h"
#include "dialogs/Progress.h"
#include "framework/FileFind.h"
#include "framework/MemFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

CTvnxSave* g_pCollectionFile = NULL;

namespace {

const uint32_t kMaxFreeIdSearch = 0x3FFFFFFF;
// Messages are dispatched, and the progress window moved, every this many
// records while a file is scanned.
const int kPumpEveryRecords = 256;
const UINT kCopyChunk = 65536;
// CTvnxSave::m_nTornAt of a file in which a record of the header's record area
// runs past the end of the file.
const ULONGLONG kAppendsLost = ~0ull;

int SystemTempFolder(int nSize, LPSTR pszBuffer)
{
    char szPath[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof(szPath), szPath);
    if (n == 0 || n >= sizeof(szPath))
        return 0;
    while (n > 0 && (szPath[n - 1] == '\\' || szPath[n - 1] == '/'))
        szPath[--n] = 0;
    if (n == 0 || static_cast<int>(n) >= nSize)
        return 0;
    memcpy(pszBuffer, szPath, n + 1);
    return static_cast<int>(n);
}

CTvnxSave::TEMPFOLDERPROC s_pfnTempFolder = SystemTempFolder;

struct FreeDeleter
{
    void operator()(BYTE* p) const { free(p); }
};
typedef std::unique_ptr<BYTE, FreeDeleter> MallocBytes;

// Hands the pointer array of one sequence to the other without copying elements.
template <class T>
void SwapSequences(CSequence<T>& a, CSequence<T>& b)
{
    std::swap(a.m_pData, b.m_pData);
    std::swap(a.m_nCapacity, b.m_nCapacity);
    std::swap(a.m_nGrowBy, b.m_nGrowBy);
    std::swap(a.m_nCount, b.m_nCount);
}

// Adds an element, doubling the pointer array when it is full: a collection
// holds thousands of records, and growing by the sequence's own step of 5
// would copy the whole array again every fifth record.
template <class T>
int AddGrowing(CSequence<T>& seq, const T& item)
{
    if (seq.m_nCount == seq.m_nCapacity)
        seq.Grow(std::max(seq.m_nCapacity, seq.m_nGrowBy));
    return seq.Add(item);
}

// The head of one picture record: id, checksum, name length and data size, as
// the file states them, and where the record ends by those lengths.
struct RECORDHEAD
{
    uint32_t nId = 0;
    uint32_t nChecksum = 0;
    uint8_t nNameLen = 0;
    uint32_t nSize = 0;
    ULONGLONG nEnd = 0;
    bool bComplete = false;    // the head was read whole and the record ends inside the file

    bool IsGood() const
    {
        return bComplete && nId != 0 && nNameLen != 0 && nNameLen <= TVNX_MAX_NAME_READ && nSize != 0 &&
               nSize <= TVNX_MAX_PICTURE;
    }
};

// Reads record heads through one buffer filled in large blocks. A seek and two
// small reads per record cost three system calls for every picture, which made
// opening a large collection many times slower than reading the whole file;
// a block holds the heads of a hundred small records at once. A head that the
// buffer does not hold whole is read with a new block starting at that head,
// so names and data larger than a block are still skipped without reading them.
class CHeadReader
{
public:
    CHeadReader(CFile& file, ULONGLONG nLength) : m_file(file), m_nLength(nLength), m_nStart(0), m_nHave(0) {}

    // The head of the record at nPos. Throws what CFile throws.
    RECORDHEAD Read(ULONGLONG nPos)
    {
        RECORDHEAD head;
        CTvnxBytes bytes = Fetch(nPos);
        const bool bFirst = bytes.Has(0, 9);
        bytes.Get32(0, &head.nId);
        bytes.Get32(4, &head.nChecksum);
        bytes.Get8(8, &head.nNameLen);
        const bool bSecond = bFirst && bytes.Get32(9 + head.nNameLen, &head.nSize);
        head.nEnd = nPos + TVNX_RECORD_FIXED + head.nNameLen + head.nSize;
        // A head cut off by the end of the file ends past it, and so does its record.
        head.bComplete = bFirst && bSecond && head.nEnd <= m_nLength;
        return head;
    }

private:
    static const UINT kBlock = 65536;
    // After a jump over a block or more of picture data the next record is
    // likely large too: a small read takes its head without reading its data.
    static const UINT kSmallBlock = 4096;
    // The longest head: id, checksum, name length, a name of 255, data size.
    static const UINT kLongestHead = TVNX_RECORD_FIXED + 255;

    // The bytes of the file from nPos on that the buffer holds, at least a
    // longest head's worth where the file has them.
    CTvnxBytes Fetch(ULONGLONG nPos)
    {
        const ULONGLONG nLeft = nPos < m_nLength ? m_nLength - nPos : 0;
        const ULONGLONG nWant = std::min<ULONGLONG>(kLongestHead, nLeft);
        if (nPos < m_nStart || nPos + nWant > m_nStart + m_nHave) {
            const bool bJumped = nPos >= m_nStart + m_nHave + kBlock;
            m_nHave = 0;
            if (m_buffer.empty())
                m_buffer.resize(kBlock);
            m_nStart = nPos;
            if (nLeft != 0) {
                const UINT nBlock = bJumped ? kSmallBlock : kBlock;
                m_file.Seek(static_cast<LONGLONG>(nPos), CFile::begin);
                m_nHave = m_file.Read(m_buffer.data(), static_cast<UINT>(std::min<ULONGLONG>(nBlock, nLeft)));
            }
        }
        const size_t nOffset = static_cast<size_t>(nPos - m_nStart);
        return CTvnxBytes(m_buffer.data() + nOffset, m_nHave - nOffset);
    }

    CFile& m_file;
    const ULONGLONG m_nLength;
    std::vector<BYTE> m_buffer;
    ULONGLONG m_nStart;          // file position of m_buffer[0]
    UINT m_nHave;                // bytes of the file in m_buffer
};

// Where the scan of an opening stops: the end of the last record that lies
// whole in the file, before a record cut off by the end of the file or a stray
// last byte. Throws what CFile throws.
ULONGLONG EndOfWholeRecords(CFile& file, ULONGLONG nPos, ULONGLONG nLength)
{
    CHeadReader reader(file, nLength);
    while (nPos + 1 < nLength) {
        const ULONGLONG nEnd = reader.Read(nPos).nEnd;
        if (nEnd > nLength)
            break;
        nPos = nEnd;
    }
    return std::min(nPos, nLength);
}

// Moves the shared progress window to the part of the header's record count
// that the scan has read. It is moved every few hundred records and at the
// end, not after every record: each move sends a message to the bar and
// repaints it, which cost more than the reading.
void ScanProgress(uint32_t nCount, uint32_t nRead, double dWeight)
{
    if (dWeight != 0 && nCount != 0 && nCount >= nRead && nRead != 0)
        UpdateAutoProgress(65535.0 / nCount * nRead, dWeight);
}

void Progress(double dFraction, double dWeight)
{
    if (dWeight != 0)
        UpdateAutoProgress(dFraction, dWeight);
}

// A file that is to take the collection's name must be on the disk before it
// does: the system writes back later, and a power loss between the rename and
// the write-back leaves the name on a short or zero-filled file.
bool FlushFileToDisk(LPCTSTR pszFile)
{
    HANDLE h = CreateFileA(pszFile, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool bFlushed = FlushFileBuffers(h) != FALSE;
    CloseHandle(h);
    return bFlushed;
}

// Puts the finished temporary file in the place of the collection. The old
// file stays whole until the new one has taken its name: a failure anywhere
// leaves either the old file or the new one under the target's name.
bool ReplaceWithFile(LPCTSTR pszTempFile, LPCTSTR pszTarget)
{
    if (MoveFileExA(pszTempFile, pszTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (GetLastError() != ERROR_NOT_SAME_DEVICE)
        return false;
    // Across volumes a move is a copy over the old file, which a failure would
    // leave half written. Copy beside the target first, then replace within
    // its volume.
    CString strFolder(pszTarget);
    const int nSlash = std::max(strFolder.ReverseFind('\\'), strFolder.ReverseFind('/'));
    strFolder = nSlash > 0 ? strFolder.Left(nSlash) : CString(".");
    char szNear[MAX_PATH];
    if (!GetTempFileNameA(strFolder, "tvnx", 0, szNear))
        return false;
    if (!CopyFileA(pszTempFile, szNear, FALSE) || !FlushFileToDisk(szNear) ||
        !MoveFileExA(szNear, pszTarget, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(szNear);
        return false;
    }
    DeleteFileA(pszTempFile);
    return true;
}

}  // namespace

BOOL GetExistingFullPath(LPCTSTR pszFileName, CString& strFullPath)
{
    strFullPath.Empty();
    if (pszFileName == NULL || *pszFileName == 0)
        return FALSE;
    DWORD n = GetFullPathNameA(pszFileName, 0, NULL, NULL);
    if (n == 0)
        return FALSE;
    LPSTR psz = strFullPath.GetBuffer(static_cast<int>(n));
    DWORD nGot = GetFullPathNameA(pszFileName, n + 1, psz, NULL);
    strFullPath.ReleaseBuffer(nGot > 0 && nGot <= n ? static_cast<int>(nGot) : 0);
    if (strFullPath.IsEmpty())
        return FALSE;
    const DWORD dwAttr = GetFileAttributesA(strFullPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

void CTvnxSave::SetTempFolderProc(TEMPFOLDERPROC pfn)
{
    s_pfnTempFolder = pfn != NULL ? pfn : SystemTempFolder;
}

CTvnxSave::CTvnxSave() : m_nVersion(0), m_nLevel(TVNX_LEVEL_CLOSED), m_nHighestId(0), m_nTornAt(0)
{
}

CTvnxSave::~CTvnxSave()
{
    Close();
}

void CTvnxSave::Close()
{
    if (IsOpen()) {
        try {
            Flush();
            CFile::Close();
        } catch (CException* e) {
            e->Delete();
            CFile::Abort();
        }
    }
    m_Records.RemoveAll();
    for (int i = m_AppendedInfos.GetSize() - 1; i >= 0; i--) {
        CFile* pStream = m_AppendedInfos[i].pStream;
        m_AppendedInfos[i].pStream = nullptr;
        if (pStream != nullptr) {
            pStream->Abort();
            delete pStream;
        }
    }
    m_AppendedInfos.RemoveAll();
    m_nVersion = 0;
    m_nLevel = TVNX_LEVEL_CLOSED;
    m_nHighestId = 0;
    m_nTornAt = 0;
}

BOOL CTvnxSave::GetPath(CString& strPath) const
{
    if (!IsOpen())
        return FALSE;
    strPath = GetFilePath();
    return !strPath.IsEmpty();
}

// ---------------------------------------------------------------------------
// Opening

int CTvnxSave::OpenCollection(LPCTSTR pszPath, BOOL bVerifyOnly, double dProgressWeight)
{
    BeginBusy();
    const int nCode = OpenBusy(pszPath, bVerifyOnly, dProgressWeight);
    EndBusy();
    return nCode;
}

int CTvnxSave::OpenBusy(LPCTSTR pszPath, BOOL bVerifyOnly, double dProgressWeight)
{
    if (pszPath == NULL || *pszPath == 0)
        return openNotFound;
    {
        CFileFind finder;
        if (!finder.FindFile(pszPath))
            return openNotFound;
    }
    if (IsOpen() && GetFilePath().Compare(pszPath) == 0)
        return openAlreadyOpen;
    PumpMessagesWhileBusy();

    // The header first, with the file closed again before the scan.
    BYTE abHeader[TVNX_HEADER_SIZE];
    TVNXHEADER header;
    ULONGLONG nLength = 0;
    try {
        CFile file;
        if (!file.Open(pszPath, CFile::modeRead | CFile::shareDenyWrite))
            return openReadError;
        nLength = file.GetLength();
        if (nLength < TVNX_HEADER_SIZE)
            return openInvalid;
        if (file.Read(abHeader, TVNX_HEADER_SIZE) != TVNX_HEADER_SIZE)
            return openReadError;
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return openReadError;
    }
    header.Parse(abHeader, sizeof(abHeader));
    if (const int nCode = header.Check(nLength))
        return nCode;
    PumpMessagesWhileBusy();

    // Scan the record heads. More than one bad record makes the file invalid;
    // a single one is left out.
    CSequence<FILERECORD> scanned;
    uint32_t nHighest = 0;
    ULONGLONG nTornAt = 0;
    try {
        CFile file;
        if (!file.Open(pszPath, CFile::modeRead | CFile::shareDenyWrite))
            return openReadError;
        nLength = file.GetLength();
        int nBad = 0;
        uint32_t nRead = 0;
        ULONGLONG nPos = header.nFirstRecord;
        ULONGLONG nLastPos = nPos;
        CHeadReader reader(file, nLength);
        while (nPos + 1 < nLength) {
            if (nBad > 1)
                return openInvalid;
            nLastPos = nPos;
            const RECORDHEAD head = reader.Read(nPos);
            if (head.IsGood()) {
                FILERECORD rec = {head.nId, head.nChecksum, head.nSize, nPos, 1};
                AddGrowing(scanned, rec);
                if (head.nId > nHighest)
                    nHighest = head.nId;
            } else {
                nBad++;
            }
            nPos = head.nEnd;
            nRead++;
            // The bar is full at the header's count even when more follow.
            if (nRead % kPumpEveryRecords == 0 || nRead == header.nRecordCount)
                ScanProgress(header.nRecordCount, nRead, dProgressWeight);
            if (nRead % kPumpEveryRecords == 0)
                PumpMessagesWhileBusy();
        }
        ScanProgress(header.nRecordCount, nRead, dProgressWeight);
        if (nBad > 1)
            return openInvalid;
        // Bytes after the last whole record (a record cut off by the end of the
        // file, or a stray byte) would swallow whatever is appended after them.
        // Past the record area the header describes they are what is left of an
        // append that did not finish, and appending may cut them off. A record
        // inside that area that runs past the end cannot be cut off without
        // making the header wrong and losing the bytes after it.
        if (nPos > nLength)
            nTornAt = nLastPos;
        else if (nPos < nLength)
            nTornAt = nPos;
        if (nTornAt != 0 && nTornAt < ULONGLONG(header.nFirstRecord) + header.nAreaSize)
            nTornAt = kAppendsLost;
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return openReadError;
    }
    PumpMessagesWhileBusy();

    // A count of 0 means "not known": put the count found into the header.
    if (header.nRecordCount == 0 && scanned.GetSize() > 0) {
        try {
            CFile file;
            if (file.Open(pszPath, CFile::modeWrite | CFile::shareDenyWrite)) {
                TvnxPut32(abHeader + TVNX_OFS_RECORD_COUNT, static_cast<uint32_t>(scanned.GetSize()));
                file.Write(abHeader, TVNX_HEADER_SIZE);
                file.Close();
            }
        } catch (CException* e) {
            e->Delete();
        }
    }
    if (bVerifyOnly)
        return openOk;

    Close();
    if (!Open(pszPath, CFile::modeReadWrite | CFile::shareDenyWrite))
        return openNotWritable;
    SwapSequences(m_Records, scanned);
    m_nVersion = header.nVersion;
    m_nLevel = header.nLevel;
    m_nHighestId = nHighest;
    m_nTornAt = nTornAt;
    return openOk;
}

// ---------------------------------------------------------------------------
// Reading

bool CTvnxSave::ReadOpenHeader(TVNXHEADER& header)
{
    BYTE ab[TVNX_HEADER_SIZE];
    Seek(0, begin);
    if (Read(ab, TVNX_HEADER_SIZE) != TVNX_HEADER_SIZE)
        return false;
    return header.Parse(ab, sizeof(ab));
}

int CTvnxSave::FindAppendedInfo(uint32_t nAppendedId) const
{
    for (int i = m_AppendedInfos.GetSize() - 1; i >= 0; i--) {
        if (m_AppendedInfos[i].nId == nAppendedId)
            return i;
    }
    return -1;
}

uint32_t CTvnxSave::ReadLayoutBlock(BYTE* pBuffer, uint32_t nAppendedId)
{
    try {
        TVNXHEADER header;
        CFile* pFile = this;
        if (nAppendedId == 0) {
            if (!IsOpen() || !ReadOpenHeader(header))
                return 0;
            const ULONGLONG nLength = GetLength();
            if (header.nLayoutOffset < TVNX_HEADER_SIZE || header.nLayoutOffset >= nLength ||
                ULONGLONG(header.nLayoutOffset) + header.nLayoutSize > nLength)
                return 0;
        } else {
            const int i = FindAppendedInfo(nAppendedId);
            if (i < 0)
                return 0;
            header.Parse(m_AppendedInfos[i].header, TVNX_HEADER_SIZE);
            pFile = m_AppendedInfos[i].pStream;
        }
        if (header.nLayoutSize == 0 || pBuffer == NULL)
            return header.nLayoutSize;
        pFile->Seek(header.nLayoutOffset, begin);
        if (pFile->Read(pBuffer, header.nLayoutSize) != header.nLayoutSize)
            return 0;
        if (header.nVersion > TVNX_VERSION_PLAIN)
            TvnxScramble(pBuffer, header.nLayoutSize, false);
        return header.nLayoutSize;
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
}

int CTvnxSave::FindRecord(uint32_t nId) const
{
    for (int i = m_Records.GetSize() - 1; i >= 0; i--) {
        if (m_Records[i].nId == nId)
            return i;
    }
    return -1;
}

bool CTvnxSave::HasRecordId(uint32_t nId) const
{
    return FindRecord(nId) >= 0;
}

uint32_t CTvnxSave::ReadRecordAt(const FILERECORD& rec, CString& strName, BYTE* pBuffer)
{
    if (!IsOpen() || rec.nOffset < TVNX_HEADER_SIZE)
        return 0;
    try {
        const ULONGLONG nLength = GetLength();
        BYTE abHead[9 + 255];
        Seek(static_cast<LONGLONG>(rec.nOffset), begin);
        if (Read(abHead, 9) != 9)
            return 0;
        CTvnxBytes head(abHead, sizeof(abHead));
        uint32_t nId = 0;
        uint8_t nNameLen = 0;
        head.Get32(0, &nId);
        head.Get8(8, &nNameLen);
        if (nId != rec.nId || nNameLen == 0 || nNameLen > TVNX_MAX_NAME_READ)
            return 0;
        if (Read(abHead + 9, nNameLen) != nNameLen)
            return 0;
        strName = CString(reinterpret_cast<LPCSTR>(abHead + 9), nNameLen);
        BYTE abSize[4];
        uint32_t nSize = 0;
        if (Read(abSize, 4) != 4 || !CTvnxBytes(abSize, 4).Get32(0, &nSize))
            return 0;
        // The data must lie inside the file; a record cut off by the end of the
        // file is not a picture, whatever its head says.
        if (nSize == 0 || nSize > TVNX_MAX_PICTURE ||
            rec.nOffset + TVNX_RECORD_FIXED + nNameLen + nSize > nLength)
            return 0;
        if (pBuffer != NULL && Read(pBuffer, nSize) != nSize)
            return 0;
        return nSize;
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
}

uint32_t CTvnxSave::ReadRecord(uint32_t nId, CString& strName, BYTE* pBuffer)
{
    const int i = FindRecord(nId);
    if (i < 0)
        return 0;
    return ReadRecordAt(m_Records[i], strName, pBuffer);
}

// ---------------------------------------------------------------------------
// Appending

uint32_t CTvnxSave::FindSameRecord(uint32_t* pChecksum, const BYTE* pData, uint32_t nSize)
{
    const uint32_t nChecksum = pData != NULL ? TvnxChecksum(pData, nSize) : 0;
    if (pChecksum != NULL)
        *pChecksum = nChecksum;
    if (pData == NULL || nSize == 0)
        return 0;
    std::unique_ptr<BYTE[]> pOther;
    for (int i = m_Records.GetSize() - 1; i >= 0; i--) {
        const FILERECORD& rec = m_Records[i];
        if (rec.nChecksum != nChecksum || rec.nSize != nSize)
            continue;
        if (!pOther) {
            pOther.reset(new (std::nothrow) BYTE[nSize]);
            if (!pOther)
                return 0;
        }
        CString strName;
        if (ReadRecordAt(rec, strName, pOther.get()) == nSize && memcmp(pOther.get(), pData, nSize) == 0)
            return rec.nId;
    }
    return 0;
}

uint32_t CTvnxSave::GetFreeId() const
{
    uint32_t nId = m_nHighestId + 1;
    while (HasRecordId(nId)) {
        nId++;
        if (nId > kMaxFreeIdSearch)
            break;
    }
    // Past the largest id the file can number the count wraps to 0, which marks
    // a bad record: take the smallest free id instead.
    if (nId == 0) {
        nId = 1;
        while (HasRecordId(nId))
            nId++;
    }
    return nId;
}

uint32_t CTvnxSave::AppendRecord(const BYTE* pData, LPCTSTR pszName, uint32_t nSize)
{
    if (pData == NULL || nSize == 0)
        return 0;
    // What the file cannot hold back is refused here: a picture above the limit
    // or a record without a name would count as bad when the file is opened.
    const size_t nFullName = pszName != NULL ? strlen(pszName) : 0;
    const uint8_t nNameLen = static_cast<uint8_t>(nFullName < TVNX_MAX_NAME_WRITTEN ? nFullName : TVNX_MAX_NAME_WRITTEN);
    if (nSize > TVNX_MAX_PICTURE || nNameLen == 0 || !IsOpen())
        return 0;

    uint32_t nChecksum = 0;
    if (const uint32_t nSame = FindSameRecord(&nChecksum, pData, nSize))
        return nSame;
    // A record would be written where no opening could find it again.
    if (m_nTornAt == kAppendsLost)
        return 0;

    const uint32_t nId = GetFreeId();
    BYTE abHead[TVNX_RECORD_FIXED + TVNX_MAX_NAME_WRITTEN];
    TvnxPut32(abHead, nId);
    TvnxPut32(abHead + 4, nChecksum);
    abHead[8] = nNameLen;
    memcpy(abHead + 9, pszName, nNameLen);
    TvnxPut32(abHead + 9 + nNameLen, nSize);

    ULONGLONG nOffset = 0;
    bool bWriting = false;
    try {
        // The torn tail was never a picture the collection could read: the new
        // record takes its place, so that the next opening finds it.
        if (m_nTornAt >= TVNX_HEADER_SIZE && m_nTornAt < GetLength())
            SetLength(m_nTornAt);
        m_nTornAt = 0;
        nOffset = SeekToEnd();
        bWriting = true;
        Write(abHead, TVNX_RECORD_FIXED + nNameLen);
        Write(pData, nSize);
        Flush();
    } catch (CException* e) {
        e->Delete();
        // A torn record at the end would be read as a bad one on the next
        // opening, and a second failure would make the whole file invalid.
        if (bWriting) {
            try {
                SetLength(nOffset);
            } catch (CException* e2) {
                e2->Delete();
            }
        }
        return 0;
    }
    FILERECORD rec = {nId, nChecksum, nSize, nOffset, 1};
    AddGrowing(m_Records, rec);
    RaiseHighestId(nId);
    return nId;
}

uint32_t CTvnxSave::AppendImageFile(LPCTSTR pszName, LPCTSTR pszPath)
{
    if (pszPath == NULL || *pszPath == 0)
        return 0;
    std::unique_ptr<BYTE[]> pData;
    uint32_t nSize = 0;
    try {
        CFile file;
        if (!file.Open(pszPath, CFile::modeRead | CFile::shareDenyWrite))
            return 0;
        const ULONGLONG nLength = file.GetLength();
        if (nLength == 0 || nLength > TVNX_MAX_PICTURE)
            return 0;
        nSize = static_cast<uint32_t>(nLength);
        pData.reset(new (std::nothrow) BYTE[nSize]);
        if (!pData || file.Read(pData.get(), nSize) != nSize)
            return 0;
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    CString strName(pszName);
    if (strName.IsEmpty()) {
        strName = pszPath;
        const int nSlash = std::max(strName.ReverseFind('\\'), strName.ReverseFind('/'));
        strName = strName.Mid(nSlash + 1);
    }
    return AppendRecord(pData.get(), strName, nSize);
}

void CTvnxSave::ClearUsedFlags()
{
    for (int i = 0; i < m_Records.GetSize(); i++)
        m_Records[i].bUsed = 0;
}

// ---------------------------------------------------------------------------
// Saving

int CTvnxSave::SaveCollection(uint32_t nLayoutSize, const BYTE* pLayout, LPCTSTR pszPath, BOOL bUsedOnly,
                              double dProgressWeight)
{
    if (pLayout == NULL || nLayoutSize == 0 || pszPath == NULL || *pszPath == 0)
        return saveWriteError;
    BeginBusy();
    const int nCode = SaveBusy(nLayoutSize, pLayout, pszPath, bUsedOnly, dProgressWeight);
    EndBusy();
    return nCode;
}

int CTvnxSave::SaveBusy(uint32_t nLayoutSize, const BYTE* pLayout, LPCTSTR pszPath, BOOL bUsedOnly, double x)
{
    // Two progress stages: building and writing the file, then opening it again.
    const double w1 = x / 10 + 2 * x / 3;
    const double w2 = x / 3 - x / 10;
    // The header stores offsets in 32 bits.
    if (ULONGLONG(TVNX_HEADER_SIZE) + nLayoutSize > 0xFFFFFFFFull)
        return saveNoImage;

    TVNXHEADER header;
    header.bMagic = true;
    header.nVersion = TVNX_VERSION_CURRENT;
    header.nLayoutOffset = TVNX_HEADER_SIZE;
    header.nLayoutSize = nLayoutSize;
    header.nLevel = m_nLevel;
    header.nFirstRecord = TVNX_HEADER_SIZE + nLayoutSize;
    Progress(3276.75, w1);

    // The layout block is scrambled on its way into the image, never in the
    // caller's buffer, so that a failed save can simply be tried again.
    CMemFile image(1024);
    int nCode = saveOk;
    try {
        BYTE abHeader[TVNX_HEADER_SIZE];
        header.Store(abHeader);
        image.Write(abHeader, TVNX_HEADER_SIZE);
        BYTE abChunk[4096];
        for (uint32_t nDone = 0; nDone < nLayoutSize;) {
            const uint32_t n = std::min<uint32_t>(sizeof(abChunk), nLayoutSize - nDone);
            memcpy(abChunk, pLayout + nDone, n);
            TvnxScramble(abChunk, n, true, nDone);
            image.Write(abChunk, n);
            nDone += n;
        }
    } catch (CException* e) {
        e->Delete();
        nCode = saveNoImage;
    }
    Progress(6553.5, w1);
    PumpMessagesWhileBusy();

    ULONGLONG nAreaSize = 0;
    uint32_t nCount = 0;
    const int nRecords = m_Records.GetSize();
    bool bSomeUnused = false;
    for (int i = 0; bUsedOnly && i < nRecords && !bSomeUnused; i++)
        bSomeUnused = !m_Records[i].bUsed;

    if (nCode == saveOk && nRecords > 0 && bSomeUnused) {
        // Record by record, leaving out those not in use. A record that is in
        // use but cannot be read fails the save: a file without it would lose
        // a picture that a smilie still shows.
        for (int i = 0; i < nRecords && nCode == saveOk; i++) {
            const FILERECORD& rec = m_Records[i];
            if (!rec.bUsed)
                continue;
            CString strName;
            const uint32_t nSize = ReadRecordAt(rec, strName, NULL);
            if (nSize == 0) {
                nCode = saveWriteError;
                break;
            }
            std::unique_ptr<BYTE[]> pData(new (std::nothrow) BYTE[nSize]);
            if (!pData) {
                nCode = saveNoImage;
                break;
            }
            if (ReadRecordAt(rec, strName, pData.get()) != nSize) {
                nCode = saveWriteError;
                break;
            }
            const int nNameLen = std::min(strName.GetLength(), int(TVNX_MAX_NAME_WRITTEN));
            BYTE abHead[TVNX_RECORD_FIXED + TVNX_MAX_NAME_WRITTEN];
            TvnxPut32(abHead, rec.nId);
            TvnxPut32(abHead + 4, rec.nChecksum);
            abHead[8] = static_cast<BYTE>(nNameLen);
            memcpy(abHead + 9, static_cast<LPCSTR>(strName), nNameLen);
            TvnxPut32(abHead + 9 + nNameLen, nSize);
            try {
                image.Write(abHead, TVNX_RECORD_FIXED + nNameLen);
                image.Write(pData.get(), nSize);
            } catch (CException* e) {
                e->Delete();
                nCode = saveNoImage;
                break;
            }
            nCount++;
            nAreaSize += TVNX_RECORD_FIXED + nNameLen + nSize;
            Progress(65535 * (17.0 / 30 * i / nRecords + 1.0 / 10), w1);
            PumpMessagesWhileBusy();
        }
    } else if (nCode == saveOk && nRecords > 0) {
        // Nothing to leave out: copy the record area as one block.
        try {
            TVNXHEADER old;
            const ULONGLONG nLength = GetLength();
            if (!ReadOpenHeader(old) || old.nFirstRecord < TVNX_HEADER_SIZE || old.nFirstRecord >= nLength) {
                nCode = saveWriteError;
            } else {
                // Torn bytes after the last whole record stay behind: inside the
                // new file's record area they would make it refuse every append.
                const ULONGLONG nEnd = m_nTornAt == 0 ? nLength : EndOfWholeRecords(*this, old.nFirstRecord, nLength);
                nAreaSize = nEnd - old.nFirstRecord;
                image.SetLength(image.GetLength() + nAreaSize);   // one allocation for the whole area
                Seek(old.nFirstRecord, begin);
                std::unique_ptr<BYTE[]> pChunk(new (std::nothrow) BYTE[kCopyChunk]);
                if (!pChunk)
                    AfxThrowMemoryException();
                for (ULONGLONG nDone = 0; nDone < nAreaSize;) {
                    const UINT n = static_cast<UINT>(std::min<ULONGLONG>(kCopyChunk, nAreaSize - nDone));
                    if (Read(pChunk.get(), n) != n) {
                        nCode = saveWriteError;
                        break;
                    }
                    image.Write(pChunk.get(), n);
                    nDone += n;
                }
                nCount = static_cast<uint32_t>(nRecords);
                Progress(25121.75, w1);
                Progress(43690, w1);
            }
        } catch (CMemoryException* e) {
            e->Delete();
            nCode = saveNoImage;
        } catch (CException* e) {
            e->Delete();
            nCode = saveWriteError;
        }
    }
    if (nCode == saveOk && (nAreaSize > 0xFFFFFFFFull || image.GetLength() > 0xFFFFFFFFull))
        nCode = saveNoImage;   // more than the header can describe
    if (nCode != saveOk)
        return nCode;
    PumpMessagesWhileBusy();

    const ULONGLONG nImageSize = image.GetLength();
    MallocBytes pImage(image.Detach());
    TvnxPut32(pImage.get() + TVNX_OFS_AREA_SIZE, static_cast<uint32_t>(nAreaSize));
    TvnxPut32(pImage.get() + TVNX_OFS_RECORD_COUNT, nCount);

    CString strOpenFull, strTargetFull;
    const bool bOverOpenFile = IsOpen() && GetExistingFullPath(GetFilePath(), strOpenFull) &&
                               GetExistingFullPath(pszPath, strTargetFull) && strOpenFull == strTargetFull;
    if (!bOverOpenFile) {
        CFile target;
        try {
            if (!target.Open(pszPath, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite))
                return saveWriteError;
            target.Write(pImage.get(), static_cast<UINT>(nImageSize));
            target.Close();
        } catch (CException* e) {
            e->Delete();
            target.Abort();
            DeleteFileA(pszPath);
            return saveWriteError;
        }
        Progress(65535, w1);
        Progress(65535, w2);
        return saveOk;
    }

    char szTempFolder[MAX_PATH + 1];
    const int nFolder = s_pfnTempFolder(MAX_PATH, szTempFolder);
    char szTempFile[MAX_PATH];
    if (nFolder <= 0 || nFolder >= MAX_PATH || !GetTempFileNameA(szTempFolder, "tvnx", 0, szTempFile))
        return saveNoTempFile;
    {
        CFile temp;
        try {
            if (!temp.Open(szTempFile, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
                DeleteFileA(szTempFile);
                return saveWriteError;
            }
            temp.Write(pImage.get(), static_cast<UINT>(nImageSize));
            temp.Flush();   // on the disk before it replaces the collection
            temp.Close();
        } catch (CException* e) {
            e->Delete();
            temp.Abort();
            DeleteFileA(szTempFile);
            return saveWriteError;
        }
    }
    Progress(50243.5, w1);
    pImage.reset();

    Close();
    if (!ReplaceWithFile(szTempFile, strTargetFull))
        return saveReplaceFailed;
    if (OpenCollection(strTargetFull, FALSE, w2) != openOk) {
        Close();
        return saveReopenFailed;
    }
    return saveOk;
}

// ---------------------------------------------------------------------------
// Merging

int CTvnxSave::MergeFile(LPCTSTR pszPath, uint32_t* pAppendedId, double dProgressWeight)
{
    if (const int nCode = OpenCollection(pszPath, TRUE, 0))
        return nCode;

    // Read only: an update file on a read-only medium or marked read-only merges as well.
    std::unique_ptr<CFile> pStream(new CFile);
    BYTE abHeader[TVNX_HEADER_SIZE];
    TVNXHEADER header;
    ULONGLONG nLength = 0;
    try {
        if (!pStream->Open(pszPath, CFile::modeRead | CFile::shareDenyWrite))
            return openReadError;
        nLength = pStream->GetLength();
        if (nLength < TVNX_HEADER_SIZE)
            return openInvalid;
        if (pStream->Read(abHeader, TVNX_HEADER_SIZE) != TVNX_HEADER_SIZE)
            return openReadError;
        header.Parse(abHeader, sizeof(abHeader));
        // A record cut off by the end of the file (an append that did not
        // finish) is where the open stops reading; the merge stops there too.
        nLength = EndOfWholeRecords(*pStream, header.nFirstRecord, nLength);
        pStream->Seek(header.nFirstRecord, CFile::begin);
    } catch (CException* e) {
        e->Delete();
        return openReadError;
    }

    CSequence<APPENDEDINFO::IDREMAPRECORD> remaps;
    BeginBusy();
    const int nCode = MergeBusy(*pStream, header, nLength, remaps, dProgressWeight);
    EndBusy();
    if (nCode != openOk)
        return nCode;

    uint32_t nId = 1;
    while (FindAppendedInfo(nId) >= 0)
        nId++;
    APPENDEDINFO info;
    info.nId = nId;
    memcpy(info.header, abHeader, TVNX_HEADER_SIZE);
    SwapSequences(info.remaps, remaps);
    info.pStream = pStream.get();
    m_AppendedInfos.Add(info);
    pStream.release();
    if (header.nLevel < m_nLevel)
        m_nLevel = header.nLevel;
    if (pAppendedId != NULL)
        *pAppendedId = nId;
    return openOk;
}

int CTvnxSave::MergeBusy(CFile& stream, const TVNXHEADER& header, ULONGLONG nLength,
                         CSequence<APPENDEDINFO::IDREMAPRECORD>& remaps, double dProgressWeight)
{
    try {
        ULONGLONG nPos = header.nFirstRecord;
        uint32_t nDone = 0;    // records read, appended or left out
        while (nPos + 1 < nLength) {
            BYTE abHead[9 + 255];
            if (stream.Read(abHead, 9) != 9)
                return openReadError;
            CTvnxBytes head(abHead, sizeof(abHead));
            uint32_t nOldId = 0;
            uint8_t nNameLen = 0;
            head.Get32(0, &nOldId);
            head.Get8(8, &nNameLen);
            if (nOldId == 0 || nNameLen == 0 || nNameLen > TVNX_MAX_NAME_READ)
                return mergeBadRecord;
            BYTE abSize[4];
            uint32_t nSize = 0;
            if (stream.Read(abHead + 9, nNameLen) != nNameLen || stream.Read(abSize, 4) != 4)
                return openReadError;
            CTvnxBytes(abSize, 4).Get32(0, &nSize);
            if (nSize == 0 || nSize > TVNX_MAX_PICTURE)
                return mergeBadRecord;
            std::unique_ptr<BYTE[]> pData(new (std::nothrow) BYTE[nSize]);
            if (!pData)
                return mergeNoMemory;
            if (stream.Read(pData.get(), nSize) != nSize)
                return openReadError;
            nPos += TVNX_RECORD_FIXED + nNameLen + nSize;
            nDone++;
            // A name whose first byte is 0 is an empty text, which no record of
            // the collection may have. Opening such a file leaves the record in,
            // so refusing it here would stop the merge after the records before
            // it were appended: it is left out, and smilies of the update that
            // show it get no picture, as for any id without a remapping.
            if (abHead[9] != 0) {
                const CString strName(reinterpret_cast<LPCSTR>(abHead + 9), nNameLen);
                const uint32_t nNewId = AppendRecord(pData.get(), strName, nSize);
                if (nNewId == 0)
                    return mergeAppendFailed;
                APPENDEDINFO::IDREMAPRECORD remap = {nOldId, nNewId};
                AddGrowing(remaps, remap);
            }
            if (dProgressWeight != 0 && header.nRecordCount != 0 && header.nRecordCount >= nDone)
                UpdateAutoProgress(65535.0 / header.nRecordCount * nDone, dProgressWeight);
            PumpMessagesWhileBusy();
        }
    } catch (CException* e) {
        e->Delete();
        return openReadError;
    }
    return openOk;
}

uint32_t CTvnxSave::RemapId(uint32_t nAppendedId, uint32_t nOldId) const
{
    const int i = FindAppendedInfo(nAppendedId);
    if (i < 0)
        return 0;
    const CSequence<APPENDEDINFO::IDREMAPRECORD>& remaps = m_AppendedInfos[i].remaps;
    for (int j = remaps.GetSize() - 1; j >= 0; j--) {
        if (remaps[j].nOldId == nOldId)
            return remaps[j].nNewId;
    }
    return 0;
}

BOOL CTvnxSave::RemoveAppendedInfo(uint32_t nAppendedId)
{
    const int i = FindAppendedInfo(nAppendedId);
    if (i < 0)
        return FALSE;
    CFile* pStream = m_AppendedInfos[i].pStream;
    m_AppendedInfos[i].pStream = nullptr;
    if (pStream != nullptr) {
        pStream->Abort();
        delete pStream;
    }
    m_AppendedInfos.RemoveAt(i);
    return TRUE;
}
