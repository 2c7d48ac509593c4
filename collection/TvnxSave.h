// CTvnxSave: the open collection file. It keeps the file open for reading and
// writing while the collection is in use, knows where every picture record
// lies, appends new pictures at the end, serves picture bytes to the image
// cache and the smilies, saves the whole file anew (layout block from the
// fields plus all pictures, or only those still in use) and merges other
// collection or update files into it.
//
// File layout: a 64-byte header (collection/TvnxHeader.h), the layout block
// (opaque to this class; stored with each byte's position added to it), then
// picture records of 13 + name + data bytes until the end of the file.
//
// Failures are small numbered codes; the callers turn them into messages.
// File exceptions never leave this class.
#pragma once

#include "collection/Sequence.h"
#include "collection/TvnxHeader.h"
#include "framework/File.h"
#include "framework/Str.h"

#include <cstdint>

// One file merged into the open collection and kept open for reading, so that
// the fields can read its layout block and translate its record ids.
struct APPENDEDINFO
{
    struct IDREMAPRECORD
    {
        uint32_t nOldId;     // id in the merged file
        uint32_t nNewId;     // id in the open collection
    };

    uint32_t nId = 0;                  // appended-info id, from 1
    CFile* pStream = nullptr;          // read-only; closed by the container
    BYTE header[TVNX_HEADER_SIZE] = {};
    CSequence<IDREMAPRECORD> remaps;
};

class CTvnxSave : public CFile
{
public:
    struct FILERECORD
    {
        uint32_t nId;
        uint32_t nChecksum;
        uint32_t nSize;           // bytes of picture data
        ULONGLONG nOffset;        // first byte of the record in the file
        BYTE bUsed;               // 1 after opening or appending; see ClearUsedFlags
    };

    // Result codes of OpenCollection (MergeFile passes on 1, 2, 4 and 9).
    enum {
        openOk = 0,
        openNotFound = 1,
        openAlreadyOpen = 2,
        openReadError = 3,
        openInvalid = 4,
        openNotWritable = 5,
        openBadVersion = 9
    };

    CTvnxSave();
    ~CTvnxSave() override;

    // Closes the file and every merged file, empties the lists; level byte 10.
    void Close() override;

    // Verifies the file and, without bVerifyOnly, makes it the open collection.
    // A failed verification (1, 2, 3, 4, 9) leaves the open collection as it
    // was; 5 leaves the container closed.
    int OpenCollection(LPCTSTR pszPath, BOOL bVerifyOnly, double dProgressWeight);

    // 1 with the open file's full path, 0 when no file is open.
    BOOL GetPath(CString& strPath) const;

    // The size of the layout block of the open collection (nAppendedId 0) or of
    // a merged file; with a buffer of that size also reads it, unscrambled.
    // 0 on failure.
    uint32_t ReadLayoutBlock(BYTE* pBuffer, uint32_t nAppendedId);

    // The data size of a record, with its name; with a buffer of that size also
    // reads the data. 0 for an unknown id or a record that cannot be read whole.
    uint32_t ReadRecord(uint32_t nId, CString& strName, BYTE* pBuffer);

    // The id of an identical record, else of a new record appended at the end of
    // the file (name cut to 32 characters). 0 for no data, size 0, more than
    // 307200 bytes, an empty name, no open file, a file whose records end in one
    // that runs past the end of the file inside the header's record area (no
    // opening would find the new record), or a failed write (the file is then
    // cut back to its previous length).
    uint32_t AppendRecord(const BYTE* pData, LPCTSTR pszName, uint32_t nSize);

    // Appends the bytes of a picture file of at most 307200 bytes, named
    // pszName or else after the path's last component. The record id, 0 on failure.
    uint32_t AppendImageFile(LPCTSTR pszName, LPCTSTR pszPath);

    // The id of a record with the same checksum, size and bytes (last first),
    // 0 when there is none or the data is empty. Stores the data's checksum in
    // *pChecksum when given.
    uint32_t FindSameRecord(uint32_t* pChecksum, const BYTE* pData, uint32_t nSize);

    // A record id that no listed record has, above the highest known id.
    uint32_t GetFreeId() const;

    // Clears the in-use mark of every record; the fields then mark those they use.
    void ClearUsedFlags();

    // Result codes of SaveCollection.
    enum {
        saveOk = 0,
        saveNoImage = 1,          // the file image could not be built in memory
        saveWriteError = 2,       // no layout or path, unreadable records, failed write
        saveNoTempFile = 3,
        saveReplaceFailed = 4,    // container closed; the old file is left as it was
        saveReopenFailed = 5      // container closed
    };

    // Writes header, layout block and the records (all, or with bUsedOnly only
    // those marked in use) to pszPath. Saving over the open file goes through a
    // temporary file that replaces it, and the new file is opened. The caller's
    // layout block is not changed.
    int SaveCollection(uint32_t nLayoutSize, const BYTE* pLayout, LPCTSTR pszPath, BOOL bUsedOnly,
                       double dProgressWeight);

    // Result codes of MergeFile besides those of OpenCollection.
    enum {
        mergeBadRecord = 6,
        mergeNoMemory = 7,
        mergeAppendFailed = 8
    };

    // Appends the pictures of another collection or update file and keeps it
    // open as a new appended-info entry, whose id goes to *pAppendedId.
    int MergeFile(LPCTSTR pszPath, uint32_t* pAppendedId, double dProgressWeight);

    // The id in the open collection of record nOldId of a merged file; 0 when unknown.
    uint32_t RemapId(uint32_t nAppendedId, uint32_t nOldId) const;

    // Closes and forgets a merged file; 0 when there is no such entry.
    BOOL RemoveAppendedInfo(uint32_t nAppendedId);

    // Header byte 35. Saving writes it back, merging keeps the smaller of this and
    // the merged file's. Values above 9 mean the collection counts as updated.
    BYTE GetLevelByte() const { return m_nLevel; }
    void SetLevelByte(BYTE nLevel) { m_nLevel = nLevel; }

    uint32_t GetVersion() const { return m_nVersion; }
    BOOL IsOpen() const { return m_hFile != hFileNull; }

    // The largest record id known; smilies loaded from a layout block raise it
    // to the ids they refer to.
    uint32_t GetHighestId() const { return m_nHighestId; }
    void RaiseHighestId(uint32_t nId)
    {
        if (nId > m_nHighestId)
            m_nHighestId = nId;
    }

    // Where SaveCollection puts its temporary file: (buffer size, buffer) ->
    // length of the folder's path, 0 when there is none. By default the system's
    // temporary folder; the shell installs its own.
    typedef int (*TEMPFOLDERPROC)(int nSize, LPSTR pszBuffer);
    static void SetTempFolderProc(TEMPFOLDERPROC pfn);

    // One entry per picture record of the open file, in file order, then the
    // appended ones. The fields set bUsed directly before a used-only save.
    CSequence<FILERECORD> m_Records;

private:
    uint32_t m_nVersion;
    BYTE m_nLevel;
    CSequence<APPENDEDINFO> m_AppendedInfos;
    uint32_t m_nHighestId;
    ULONGLONG m_nTornAt;      // start of the torn bytes after the last whole record, 0 when none

    int OpenBusy(LPCTSTR pszPath, BOOL bVerifyOnly, double dProgressWeight);
    int SaveBusy(uint32_t nLayoutSize, const BYTE* pLayout, LPCTSTR pszPath, BOOL bUsedOnly, double dWeight);
    int MergeBusy(CFile& stream, const TVNXHEADER& header, ULONGLONG nLength,
                  CSequence<APPENDEDINFO::IDREMAPRECORD>& remaps, double dProgressWeight);
    int FindRecord(uint32_t nId) const;
    int FindAppendedInfo(uint32_t nAppendedId) const;
    bool HasRecordId(uint32_t nId) const;
    uint32_t ReadRecordAt(const FILERECORD& rec, CString& strName, BYTE* pBuffer);
    bool ReadOpenHeader(TVNXHEADER& header);
};

// The program's one collection file, or NULL while there is none.
extern CTvnxSave* g_pCollectionFile;

// 1 when the full path of pszFileName (resolved against the current folder)
// names an existing file; strFullPath gets that path, or is empty when none
// could be made.
BOOL GetExistingFullPath(LPCTSTR pszFileName, CString& strFullPath);
