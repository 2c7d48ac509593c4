// CImgCache: the cache of decoded pictures of the open collection. A picture
// is known by an image id and decoded on its first lookup, from a record of
// the collection file or from a picture file. When the counted memory passes
// the limit, decoded pictures are freed least recently used first; the entries
// stay and are decoded again on their next lookup. User-interface thread only.
#pragma once

#include "collection/ImageReader.h"
#include "collection/Sequence.h"
#include "framework/Str.h"

class CTvnxSave;

class CImgCache
{
public:
    struct CachedImage
    {
        CImageReader* pHolder;   // null while not decoded
        CString strName;         // record name once read, or the picture file's path
        uint32_t nRecordId;      // 0: the picture comes from the file in strName
        uint32_t nImageId;       // the key, from 1
        DWORD nLastUse;          // tick of the last lookup that searched
    };

    CImgCache();
    virtual ~CImgCache();

    // Empties the cache and binds it to the collection file open now.
    void Reset();
    // The image id of a collection record (an existing entry or a new one);
    // 0 when no collection file is bound.
    uint32_t AddCollectionImage(uint32_t nRecordId);
    // The image id of a picture file (an existing entry or a new one).
    uint32_t AddFileImage(LPCTSTR pszPath);
    uint32_t GetFreeImageId() const;

    // The entry index, decoding on first use; -1 for an unknown id, -2 when
    // the picture cannot be decoded.
    int Find(uint32_t nImageId);
    CachedImage* GetEntry(int nIndex) { return nIndex >= 0 && nIndex < m_entries.GetSize() ? m_entries[nIndex] : nullptr; }
    int GetCount() const { return m_entries.GetSize(); }

    int GetImageFrameCount(uint32_t nImageId);
    const CString& GetImageName(uint32_t nImageId);
    void SetImageCrop(uint32_t nImageId, BYTE nCrop);
    CSize GetImageSize(uint32_t nImageId);
    // Draws the current frame and moves to the next; the frame's delay, or -1.
    int DrawImageFrame(uint32_t nImageId, CDC* pDC, CPoint pt, COLORREF clrBack, CDC* pBackDC, CPoint ptBack);
    BOOL SetImageFrame(uint32_t nImageId, int nFrame);
    // "bmp", "gif", "jpg", "png", or null.
    LPCTSTR GetImageExtension(uint32_t nImageId);

    // Frees decoded pictures, least recently used first, until nAmount bytes
    // are released; never the entry nSpare nor the 32 most recently used
    // unless the amount covers all memory in use. The bytes freed.
    uint64_t FreeMemory(int64_t nAmount, int nSpare);
    // Ignored below 1024 bytes; trims at once when the cache holds more.
    void SetMemoryLimit(uint64_t nLimit);
    // Off keeps only first frames of decoded pictures; on decodes them anew with all frames.
    void SetAnimation(BOOL bKeepAllFrames);
    void RemoveAll();

    // The sort order of FreeMemory: undecoded entries first (equal among
    // themselves), then by last use, oldest first.
    static int CompareByUse(const void* p1, const void* p2);

    CTvnxSave* m_pCollectionFile;
    CSequence<CachedImage*> m_entries;
    uint64_t m_nMemoryUsed;
    uint64_t m_nMemoryLimit;        // 0: no limit
    BOOL m_bKeepAllFrames;
    uint32_t m_nMemoId;             // last successful lookup; 0 none
    int m_nMemoIndex;
    DWORD (*m_pfnTickCount)();      // the clock, GetTickCount unless a test sets another

private:
    static void FreeEntry(CachedImage* pEntry);
    // Appends a new, undecoded entry with a free image id; returns the id.
    uint32_t AddEntry(const CString& strName, uint32_t nRecordId);
    void FreePicture(CachedImage* pEntry);
    bool Decode(CachedImage* pEntry);

    CImgCache(const CImgCache&) = delete;
    CImgCache& operator=(const CImgCache&) = delete;
};

extern CImgCache* g_pImgCache;

// The crop byte of a cached picture; 0 when it is not in the cache or cannot be decoded.
int GetCachedImageOption(uint32_t nImageId);
// Draws the current frame of a cached picture over white; 0 when it cannot.
BOOL DrawCachedImage(uint32_t nImageId, CDC* pDC, CPoint pt, CPoint ptBack);
