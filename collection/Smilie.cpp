#include "collection/Smilie.h"

#include "services/ChangeTracking.h"
#include "collection/SmilieField.h"
#include "framework/Module.h"

#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------
// Shared data

int CSmilie::s_nInstances = 0;
int CSmilie::s_nCellBitmaps = 0;
HICON CSmilie::s_hSharedIcons[3] = {NULL, NULL, NULL};

const char* const CSmilie::s_DefaultTemplates[3][2] = {
    {"IMG", "[img]<SMILIE>[/img]"},
    {"HTML", "<img src=\"<SMILIE>\" width=\"<W>\" height=\"<H>\">"},
    {"ezboard", "[image]<SMILIE>[/image]"},
};

namespace {

// The icons are 16 by 16 with 16 colours, each one a device-independent bitmap
// with a doubled height (colour bits, then the mask), as icon resources store
// them. The pictures are kept as character maps and assembled when the first
// smilie is made: '.' transparent, 'k' black, 'r' red, 'y' yellow, 'w' white,
// 'g' grey, 'b' blue.
const char* const kIconFailed[16] = {
    ".....kkkkkk.....",
    "...kkrrrrrrkk...",
    "..krrrrrrrrrrk..",
    ".krrrrrrrrrrrrk.",
    ".krrwwrrrrwwrrk.",
    "krrrwwwrrwwwrrrk",
    "krrrrwwwwwwrrrrk",
    "krrrrrwwwwrrrrrk",
    "krrrrrwwwwrrrrrk",
    "krrrrwwwwwwrrrrk",
    "krrrwwwrrwwwrrrk",
    ".krrwwrrrrwwrrk.",
    ".krrrrrrrrrrrrk.",
    "..krrrrrrrrrrk..",
    "...kkrrrrrrkk...",
    ".....kkkkkk.....",
};

const char* const kIconCancelled[16] = {
    ".......kk.......",
    "......kyyk......",
    "......kyyk......",
    ".....kyyyyk.....",
    ".....kykkyk.....",
    "....kyykkyyk....",
    "....kyykkyyk....",
    "...kyyykkyyyk...",
    "...kyyykkyyyk...",
    "..kyyyykkyyyyk..",
    "..kyyyyyyyyyyk..",
    ".kyyyyykkyyyyyk.",
    ".kyyyyykkyyyyyk.",
    "kyyyyyyyyyyyyyyk",
    "kkkkkkkkkkkkkkkk",
    "................",
};

// The standard 16-colour palette (blue, green, red, reserved).
const RGBQUAD kPalette[16] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},     {0, 128, 0, 0},     {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0},   {128, 128, 0, 0},   {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},     {0, 255, 0, 0},     {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0},   {255, 255, 0, 0},   {255, 255, 255, 0},
};

BYTE PaletteIndex(char ch)
{
    switch (ch) {
    case 'r': return 9;
    case 'y': return 11;
    case 'w': return 15;
    case 'g': return 8;
    case 'b': return 12;
    default: return 0;   // black, and the colour under transparent pixels
    }
}

const int kIconImageSize = 296;

// The 296-byte icon image of a 16 by 16 character map.
void BuildIconImage(const char* const rows[16], BYTE image[kIconImageSize])
{
    memset(image, 0, kIconImageSize);
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = 16;
    bih.biHeight = 32;
    bih.biPlanes = 1;
    bih.biBitCount = 4;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = 16 * 8 + 16 * 4;
    bih.biClrUsed = 16;
    memcpy(image, &bih, sizeof(bih));
    memcpy(image + 40, kPalette, sizeof(kPalette));
    BYTE* pColour = image + 40 + 64;     // 16 rows of 8 bytes, bottom row first
    BYTE* pMask = pColour + 16 * 8;      // 16 rows of 4 bytes (2 used), bottom row first
    for (int y = 0; y < 16; y++) {
        const char* row = rows[15 - y];
        for (int x = 0; x < 16; x++) {
            const BYTE nIndex = PaletteIndex(row[x]);
            pColour[y * 8 + x / 2] |= (x % 2 == 0) ? BYTE(nIndex << 4) : nIndex;
            if (row[x] == '.')
                pMask[y * 4 + x / 8] |= BYTE(0x80 >> (x % 8));
        }
    }
}

HICON CreateIconFromRows(const char* const rows[16])
{
    BYTE image[kIconImageSize];
    BuildIconImage(rows, image);
    return CreateIconFromResourceEx(image, kIconImageSize, TRUE, 0x30000, 16, 16, LR_DEFAULTCOLOR);
}

const int kLocalPictureIcon = 343;

}   // namespace

// ---------------------------------------------------------------------------
// Construction, copy, destruction

void CSmilie::InitMembers(int nCellWidth, int nCellHeight)
{
    m_pDownload = NULL;
    m_nDownloadState = DOWNLOAD_DONE;
    m_pField = NULL;
    m_nFieldValue = 0;
    m_nColumn = 0;
    m_nRow = 0;
    m_pszSource = NULL;
    m_nFlags = 0;
    m_nUsageCount = 0;
    memset(&m_Date, 0, sizeof(m_Date));
    m_nHover = 0;
    m_bSelected = 0;
    m_bPressed = 0;
    m_nInsetLead = 3;
    m_nInsetTrail = 4;
    m_nCellWidth = nCellWidth;
    m_nCellHeight = nCellHeight;
    m_pToolbar = NULL;
    m_nCrop = 0;
    m_nImageRecord = 0;
    m_nImageId = 0;
    m_nOffsetX = offsetCentred;
    m_nOffsetY = offsetCentred;
    m_ptImage = CPoint(0, 0);
    m_rcImage.SetRectEmpty();
    m_nContentState = 0;
    m_nTextHeight = 0;
    m_nFrameDelay = 0;
    m_nFrameIndex = 0;
    m_nAnimTimer = 0;
    m_pReadyFrames = NULL;
    SelectToolbar();

    if (s_nInstances == 0)
        CreateSharedIcons();
    s_nInstances++;
}

CSmilie::CSmilie(int nCellWidth, int nCellHeight)
{
    InitMembers(nCellWidth, nCellHeight);
}

CSmilie::CSmilie(const CSmilie& src)
{
    InitMembers(defaultCellWidth, defaultCellHeight);
    *this = src;
}

CSmilie::~CSmilie()
{
    UnqueueDownload(this);
    ReleaseDownload();
    DeleteCachedBitmap();
    FreeSource();
    s_nInstances--;
    if (s_nInstances == 0)
        DestroySharedIcons();
    // The text lines, the bitmap object and the phrase go with their members.
}

CSmilie& CSmilie::operator=(const CSmilie& src)
{
    if (this == &src)
        return *this;

    ReleaseDownload();
    // A download does not travel with a copy: one that was running counts as
    // cancelled in the copy.
    m_nDownloadState = src.m_nDownloadState;
    if (src.m_pDownload != NULL || (src.m_nDownloadState & 0xFF) == DOWNLOAD_RUNNING)
        m_nDownloadState = DOWNLOAD_FAILED;

    SetSource(src.m_pszSource);
    m_strPhrase = src.m_strPhrase;
    m_nFlags = src.m_nFlags;
    m_nUsageCount = src.m_nUsageCount;
    m_Date = src.m_Date;
    m_nHover = src.m_nHover;
    m_bSelected = src.m_bSelected;
    m_bPressed = src.m_bPressed;
    m_nCellWidth = src.m_nCellWidth;
    m_nCellHeight = src.m_nCellHeight;
    m_pToolbar = src.m_pToolbar;
    m_nCrop = src.m_nCrop;
    m_nImageRecord = src.m_nImageRecord;
    m_nImageId = src.m_nImageId;
    m_nOffsetX = src.m_nOffsetX;
    m_nOffsetY = src.m_nOffsetY;
    m_ptImage = src.m_ptImage;
    m_rcImage = src.m_rcImage;
    m_nContentState = src.m_nContentState;
    SetField(src.m_pField);
    m_nColumn = src.m_nColumn;
    m_nRow = src.m_nRow;
    m_nFieldValue = src.m_nFieldValue;

    m_nAnimTimer = 0;
    ClearDrawingState();
    MarkModified();

    if (HasPendingSource())
        QueueDownload(this);
    return *this;
}

void CSmilie::ClearDrawingState()
{
    m_nFrameDelay = 0;
    m_nFrameIndex = 0;
    DeleteCachedBitmap();
    ClearTextLines();
}

void CSmilie::CreateSharedIcons()
{
    s_hSharedIcons[0] = CreateIconFromRows(kIconFailed);
    s_hSharedIcons[1] = CreateIconFromRows(kIconCancelled);
    s_hSharedIcons[2] = static_cast<HICON>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kLocalPictureIcon),
                                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

void CSmilie::DestroySharedIcons()
{
    for (HICON& hIcon : s_hSharedIcons) {
        if (hIcon != NULL) {
            DestroyIcon(hIcon);
            hIcon = NULL;
        }
    }
}

bool CSmilie::Compare(const CSmilie& other) const
{
    const char* pszA = m_pszSource != NULL ? m_pszSource : "";
    const char* pszB = other.m_pszSource != NULL ? other.m_pszSource : "";
    return memcmp(&m_Date, &other.m_Date, sizeof(m_Date)) == 0 && strcmp(pszA, pszB) == 0 &&
           m_strPhrase == other.m_strPhrase && m_nFlags == other.m_nFlags &&
           m_nUsageCount == other.m_nUsageCount && m_nCellWidth == other.m_nCellWidth &&
           m_nCellHeight == other.m_nCellHeight && m_nImageRecord == other.m_nImageRecord &&
           m_nOffsetX == other.m_nOffsetX && m_nOffsetY == other.m_nOffsetY && m_nCrop == other.m_nCrop;
}

// ---------------------------------------------------------------------------
// Helpers

void CSmilie::MarkModified()
{
    if (g_bChangeTracking)
        g_bCollectionChanged = TRUE;
}

void CSmilie::ClearTextLines()
{
    m_TextLines.RemoveAll();
    m_nTextHeight = 0;
}

void CSmilie::SelectToolbar()
{
    const int nSmaller = m_nCellWidth < m_nCellHeight ? m_nCellWidth : m_nCellHeight;
    m_pToolbar = nSmaller <= 42 ? &s_SmallToolbar : &s_LargeToolbar;
}

void CSmilie::FreeSource()
{
    delete[] m_pszSource;
    m_pszSource = NULL;
}

void CSmilie::DeleteCachedBitmap()
{
    DeleteReadyFrames();
    if (m_CellBitmap.GetSafeHandle() != NULL) {
        m_CellBitmap.DeleteObject();
        s_nCellBitmaps--;
    }
}

// ---------------------------------------------------------------------------
// Cell and field

void CSmilie::SetCell(int nColumn, int nRow)
{
    m_nColumn = nColumn;
    m_nRow = nRow;
    MarkModified();
}

void CSmilie::SetCensored(BOOL bCensored)
{
    const DWORD nFlags = bCensored ? (m_nFlags | flagCensored) : (m_nFlags & ~flagCensored);
    if (nFlags == m_nFlags)
        return;
    m_nFlags = nFlags;
    MarkModified();
}

void CSmilie::SetField(CSmilieField* pField)
{
    m_pField = pField;
    BindDownloadToField();
    if (pField != NULL) {
        const int cx = pField->GetCellWidth();
        const int cy = pField->GetCellHeight();
        if (cx != 0 && cy != 0 && (cx != m_nCellWidth || cy != m_nCellHeight))
            SetCellSize(cx, cy);
    }
}

void CSmilie::SetCellSize(int nWidth, int nHeight)
{
    const int nOldWidth = m_nCellWidth;
    const int nOldHeight = m_nCellHeight;
    m_nCellWidth = nWidth;
    m_nCellHeight = nHeight;
    m_nImageId = 0;
    ClearTextLines();
    if (!(m_nOffsetX == offsetCentred && m_nOffsetY == offsetCentred) && abs(m_nOffsetX) < 640 &&
        abs(m_nOffsetY) < 480) {
        m_nOffsetX += nWidth / 2 - nOldWidth / 2;
        m_nOffsetY += nHeight / 2 - nOldHeight / 2;
    }
    SelectToolbar();
    MarkModified();
}

// ---------------------------------------------------------------------------
// Picture reference (the parts that need no image cache)

void CSmilie::SetImage(uint32_t nRecordId)
{
    if (nRecordId != 0) {
        ClearTextLines();
        DeleteCachedBitmap();
        m_nImageRecord = nRecordId;
    } else if (m_nImageRecord != 0) {
        DeleteCachedBitmap();
        m_nImageRecord = 0;
    }
    m_nContentState = 1;
    m_nFrameIndex = 0;
    m_nImageId = 0;
    MarkModified();
}

BOOL CSmilie::HasPendingSource() const
{
    return m_pszSource != NULL && m_pszSource[0] != '\0' &&
           (m_nImageRecord == 0 || (m_nFlags & flagWebSmilie) != 0);
}

// ---------------------------------------------------------------------------

int GetSmilieTextLength(const CSmilie* pSmilie)
{
    return pSmilie->m_pszSource != NULL ? static_cast<int>(strlen(pSmilie->m_pszSource)) : 0;
}

BOOL IsPhraseSmilie(const CSmilie* pSmilie)
{
    return pSmilie->m_nImageRecord == 0 && GetSmilieTextLength(pSmilie) == 0 && !pSmilie->m_strPhrase.IsEmpty();
}
