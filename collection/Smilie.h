// CSmilie: one smilie of a field. It is either a picture, held as a record of
// the open collection file and decoded through the image cache, or a text
// phrase; it sits in one cell of its field's grid. A picture may still have to
// come from its web address: such smilies wait in the web-smilie queue
// (g_WebSmilieQueue) until a download worker fetches the bytes.
//
// The fields own their smilies; the collection file stores each smilie as a
// serialised record inside its layout block (SaveRecord, LoadRecord).
//
// Everything here runs on the user-interface thread. Only the download
// worker's state, progress and owner are shared with its thread, and those are
// touched under the worker's own lock.
#pragma once

#include "services/Messages.h"
#include "collection/Sequence.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Str.h"

#include <windows.h>
#include <cstdint>

class CCheckUrl;
class CDC;
struct CELLLOOK;
class CSmilieField;

// The three buttons a cell shows while it is hovered: each a rectangle in cell
// coordinates and the pixels of its glyph relative to it (ended by x < 0).
struct SMILIETOOLBAR
{
    struct BUTTON
    {
        RECT rc;
        const POINT* pPixels;
    };
    BUTTON buttons[3];
};

class CSmilie
{
public:
    struct TEXTLINE
    {
        CString strText;
        int nWidth = 0;
        int nHeight = 0;
    };

    enum {
        flagCensored = 0x01,    // drawn as a censor symbol unless the user shows censored smilies
        flagWebSmilie = 0x02    // the picture comes from the web address even when one is stored
    };

    enum { defaultCellWidth = 35, defaultCellHeight = 34 };
    enum { offsetCentred = 255 };

    // Size of the serialised record without its source and phrase bytes.
    enum { recordFixedSize = 61 };

    CSmilie(int nCellWidth = defaultCellWidth, int nCellHeight = defaultCellHeight);
    CSmilie(const CSmilie& src);
    virtual ~CSmilie();
    CSmilie& operator=(const CSmilie& src);

    // The icons all smilies share (s_hSharedIcons). The first smilie creates
    // them, the last one destroys them.
    virtual void CreateSharedIcons();
    virtual void DestroySharedIcons();

    // True when date, source, phrase, flags, usage counter, cell size, picture
    // record, picture offset and crop are all equal.
    bool Compare(const CSmilie& other) const;

    // --- cell and field ------------------------------------------------------
    void SetCell(int nColumn, int nRow);
    // Sets or clears the censored flag; a change marks the collection changed.
    void SetCensored(BOOL bCensored);
    // Binds the smilie to a field (or none). A running download then reports to
    // the field's window; a field with a cell size gives it to the smilie.
    void SetField(CSmilieField* pField);
    // Keeps a picture that was moved off centre at its place relative to the
    // cell's centre.
    void SetCellSize(int nWidth, int nHeight);

    // --- picture reference ---------------------------------------------------
    // A record id of the open collection file, or 0 to drop the picture.
    void SetImage(uint32_t nRecordId);
    // "bmp", "gif", "jpg", "png", or NULL without picture or image cache.
    LPCTSTR GetImageExtension() const;
    CSize GetImageSize() const;
    BOOL IsImageLargerThanCell() const;
    // Bytes of the picture's record in the open collection file; 0 without.
    uint32_t GetImageDataSize() const;
    // The picture's position relative to the centred one.
    CPoint GetImageOffset() const;
    void SetImageOffset(int x, int y);
    void DeleteCachedBitmap();
    // A source is given and the picture must still come from it.
    BOOL HasPendingSource() const;
    // Writes the picture's bytes, or the phrase of a text smilie, to a file.
    // 1 on success.
    BOOL ExportToFile(LPCTSTR pszPath) const;

    // --- texts ---------------------------------------------------------------
    void GetSource(CString& strSource) const;
    void SetSource(LPCTSTR pszSource);
    // With bDropImage the smilie becomes a text smilie.
    void SetPhrase(LPCTSTR pszPhrase, BOOL bDropImage);
    // The text sent for the smilie: its phrase, or its field's code template,
    // with the placeholders filled in. Leaves strText alone for a smilie that
    // is neither a picture nor a text smilie.
    void ComposeText(CString& strText) const;
    // A picture address of a retired server rewritten to its new place, or a
    // copy of the bytes; zero-terminated, freed with delete[].
    static char* MigrateSourceUrl(const char* pch, uint32_t nLength);
    // Lays pszText out in pSmilie's text lines with the font of pDC.
    static void LayoutText(LPCTSTR pszText, CSmilie* pSmilie, CDC* pDC);
    // The name stored with the picture (record name or file path); the
    // language's text for it while there is no image cache.
    const CString& GetImageName();
    // The picture name's last component without its extension.
    void BuildImageFileName(CString& strName);
    CString GetImageFileName();

    // --- drawing (SmilieDraw.cpp) --------------------------------------------
    // Paints the cell at ptOrigin: background (from pBackground, a bitmap of
    // the cell's size holding the field under it, or the look's colours),
    // frame, picture or phrase, selection, download state and hover marks.
    // With bPictureOnly only the picture or text area (an animation step).
    // *prcOut, when given, receives the area painted.
    void Draw(CDC* pDC, CPoint ptOrigin, const CELLLOOK& look, CBitmap* pBackground, BOOL bPictureOnly,
              CRect* prcOut);
    // The toolbar buttons in cell coordinates (one pixel further while
    // pressed); empty while the toolbar is switched off. The third only for a
    // picture larger than its rectangle that is not censored.
    CRect GetFrameRect() const;
    CRect GetHotFrameRect() const;
    CRect GetOversizeMarkRect() const;
    // Keeps the picture rectangle inside the text insets where it is wider or
    // higher than the cell allows.
    void ClampTextRect();
    // Brackets at three corners of rc (right and bottom inclusive); the
    // bottom right stays free for the grip.
    static void DrawCornerBrackets(const RECT& rc, CDC* pDC, COLORREF crBracket);
    // The censor symbol, a diagonal cross, centred in rc.
    static void DrawCornerMark(COLORREF crLower, CDC* pDC, COLORREF crUpper, const RECT& rc);
    // Buttons 1, 2 (and 3 with bThird) of pSmilie's toolbar at ptOrigin;
    // hot button nHot (1-based) takes the second colour as its face.
    static void DrawToolbarShapes(const CSmilie* pSmilie, CDC* pDC, const RECT* prcClip, COLORREF crFirst,
                                  COLORREF crSecond, BOOL bThird, int nHot, CPoint ptOrigin);
    // Shown as the censor symbol: censored, and the user hides censored smilies.
    BOOL IsCensoredHidden() const;

    // --- download ------------------------------------------------------------
    // Starts a worker for the address; non-zero when one was started.
    BOOL StartDownload(LPCTSTR pszAddress);
    void ReleaseDownload();
    DWORD GetDownloadState();
    // The state GetDownloadState would give, without storing it.
    DWORD PeekDownloadState() const;
    void SetDownloadState(DWORD nState);

    // The web-smilie queue: see WebSmilieQueue.cpp.
    static BOOL QueueDownload(CSmilie* pSmilie);
    static void UnqueueDownload(CSmilie* pSmilie);
    static BOOL StartNextDownload(BOOL bWrap, int* pnWebSmilies);

    // --- serialised record ---------------------------------------------------
    // Without a buffer: the record's size. With one of *pnSize bytes: writes
    // the full record and returns (and leaves in *pnSize) the bytes written,
    // 0 when the buffer is too small.
    uint32_t SaveRecord(BYTE* pBuffer, uint32_t* pnSize) const;
    // Fills the smilie from a record of nSize bytes (picture ids of a merged
    // file translated through nAppendedId). FALSE, with the smilie unchanged,
    // for a record that is not exactly one of the stored forms.
    BOOL LoadRecord(const BYTE* pRecord, uint32_t nSize, uint32_t nAppendedId);

    // --- data ----------------------------------------------------------------
    CCheckUrl* m_pDownload;         // running or finished download not yet taken
    // Low byte a DOWNLOADSTATE (DOWNLOAD_DONE also when there is no download),
    // second byte the progress of a running download in pixels of the cell's
    // progress bar.
    DWORD m_nDownloadState;
    CSmilieField* m_pField;
    DWORD_PTR m_nFieldValue;        // the field's own value; copied, never stored
    int m_nColumn;
    int m_nRow;
    char* m_pszSource;              // NULL when empty
    CString m_strPhrase;
    DWORD m_nFlags;
    DWORD m_nUsageCount;
    SYSTEMTIME m_Date;              // last sent
    int m_nHover;                   // 0 none, 1 cell, 2..4 toolbar button 1..3
    int m_bSelected;
    int m_bPressed;
    int m_nInsetLead;               // text area distance from the leading edges
    int m_nInsetTrail;              // ... and from the trailing edges
    int m_nCellWidth;
    int m_nCellHeight;
    const SMILIETOOLBAR* m_pToolbar;
    BYTE m_nCrop;                   // low 6 bits pixels, bit 6 axis
    uint32_t m_nImageRecord;        // 0: no picture
    uint32_t m_nImageId;            // 0: not looked up in the image cache yet
    int m_nOffsetX;                 // picture's top-left in the cell; 255,255 centred
    int m_nOffsetY;
    // Drawing state, computed when the cell is laid out and painted.
    CPoint m_ptImage;
    CRect m_rcImage;
    int m_nContentState;            // frame count, or for text 1 / the text height
    CBitmap m_CellBitmap;           // background under an animated picture
    struct READYFRAMES;
    READYFRAMES* m_pReadyFrames;    // its frames drawn over that background, NULL none
    CSequence<TEXTLINE> m_TextLines;
    int m_nTextHeight;
    int m_nFrameDelay;
    int m_nFrameIndex;              // for scrolling text the scroll offset
    UINT m_nAnimTimer;              // the field's animation timer of this cell, 0 none

    static const SMILIETOOLBAR s_SmallToolbar;
    static const SMILIETOOLBAR s_LargeToolbar;
    // Shared icons: 0 download failed (state above 3), 1 download cancelled
    // (state 3), 2 picture from a local file.
    static HICON s_hSharedIcons[3];
    static int s_nInstances;
    static int s_nCellBitmaps;      // cached cell bitmaps that exist

    // The default code templates, as (name, template) pairs.
    static const char* const s_DefaultTemplates[3][2];

private:
    void InitMembers(int nCellWidth, int nCellHeight);
    void ClearTextLines();
    void SelectToolbar();
    void FreeSource();
    void ClearDrawingState();
    // Gives a running worker this smilie's field window as owner.
    void BindDownloadToField();
    // The picture's size in the image cache under the smilie's crop; FALSE
    // without an image cache.
    BOOL GetCroppedImageSize(CSize& size) const;
    static void MarkModified();
    // Drawing steps of Draw (SmilieDraw.cpp).
    void LayoutCell(CDC* pDC);
    BOOL IsPictureLargerThanRect() const;
    void DrawPicture(CDC* pDC, CPoint ptCell, CDC* pBackDC, COLORREF crBack);
    // The ready frames when they were drawn from the present picture, crop,
    // position and background colour; NULL otherwise.
    READYFRAMES* CurrentReadyFrames(COLORREF crBack) const;
    // TRUE when the next animation step would put the very pixels that the
    // cell shows back in place.
    BOOL StepChangesNothing(COLORREF crBack);
    void DeleteReadyFrames();
    void DrawTextLines(CDC* pDC, CPoint ptCell);
    void DrawSourceIndicators(CDC* pDC, CPoint ptCell, const CELLLOOK& look, CDC* pBackDC, CRect* prcOut);
};

// Smilies waiting for their picture from the web.
extern CSequence<CSmilie*> g_WebSmilieQueue;
// Where the queue's next walk looks for a smilie to start; -1 at first.
extern int g_nWebSmilieCursor;

// Length of the smilie's source text, 0 without.
int GetSmilieTextLength(const CSmilie* pSmilie);
// 1 for a text smilie: no picture, no source, a phrase.
BOOL IsPhraseSmilie(const CSmilie* pSmilie);
