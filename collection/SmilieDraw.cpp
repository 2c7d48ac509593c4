// Painting one smilie cell. Plain GDI throughout: the cell needs pixel-exact
// tints (selection, grip) that it does on a 32-bit copy of the area, and
// frames and marks that are one-pixel lines.
#include "collection/Smilie.h"

#include "services/Settings.h"
#include "collection/ImgCache.h"
#include "collection/SmilieField.h"
#include "framework/Dc.h"
#include "ui3d/CellLook.h"
#include "ui3d/drawing/PixelOps.h"

#include <cstring>
#include <vector>

namespace {

// The toolbar glyphs as character maps ('#' a pixel in the button's second
// colour), one row per string. The shadow along the right and bottom edges,
// just outside the button, is added when the pixel lists are built.
const char* const kSmallCopy[] = {
    ".........", ".#####...", ".#...#...", ".#.#####.", ".#.#.#.#.",
    ".#####.#.", "...#...#.", "...#####.", ".........", NULL};
const char* const kSmallSelect[] = {
    ".........", ".#.#.#.#.", ".........", ".#.....#.", ".........",
    ".#.....#.", ".........", ".#.#.#.#.", ".........", NULL};
const char* const kSmallMove[] = {
    ".........", "...#####.", "......##.", ".....#.#.", "....#..#.",
    "...#.....", "..#......", ".#.......", ".........", NULL};
const char* const kLargeCopy[] = {
    "...........", ".######....", ".#....#....", ".#....#....", ".#..######.", ".#..#.#..#.",
    ".######..#.", "....#....#.", "....#....#.", "....######.", "...........", NULL};
const char* const kLargeSelect[] = {
    "...........", ".#.#.#.#.#.", "...........", ".#.......#.", "...........", ".#.......#.",
    "...........", ".#.......#.", "...........", ".#.#.#.#.#.", "...........", NULL};
const char* const kLargeMove[] = {
    "...........", "....######.", "........##.", ".......#.#.", "......#..#.", ".....#...#.",
    "....#......", "...#.......", "..#........", ".#.........", "...........", NULL};

// Room for an 11 by 11 glyph, its two shadow lines and the end mark.
const int kMaxGlyphPixels = 11 * 11 + 2 * 12 + 1;

struct GLYPH
{
    POINT pixels[kMaxGlyphPixels];
};

GLYPH g_Glyphs[6];

// Fills the list from the map and appends the shadow of a size x size button.
const POINT* BuildGlyph(GLYPH& glyph, const char* const* rows, int nSize)
{
    int n = 0;
    for (int y = 0; rows[y] != NULL; y++) {
        for (int x = 0; rows[y][x] != '\0'; x++) {
            if (rows[y][x] == '#')
                glyph.pixels[n++] = {x, y};
        }
    }
    for (int i = 1; i <= nSize; i++)
        glyph.pixels[n++] = {nSize, i};
    for (int i = 1; i < nSize; i++)
        glyph.pixels[n++] = {i, nSize};
    glyph.pixels[n] = {-1, -1};
    return glyph.pixels;
}

COLORREF Lighten90(COLORREF cr)
{
    const int r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
    return RGB(r + (255 - r) * 90 / 100, g + (255 - g) * 90 / 100, b + (255 - b) * 90 / 100);
}

COLORREF DarkenTwoFifths(COLORREF cr)
{
    const int r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
    return RGB(r - r * 2 / 5, g - g * 2 / 5, b - b * 2 / 5);
}

// Copies rc of pDC into a 32-bit top-down section, lets tint change the
// pixels (blue, green, red, unused; x and y relative to ptCell), and copies
// the result back.
template <class Tint> void TintArea(CDC* pDC, const CRect& rcArea, CPoint ptCell, Tint tint)
{
    // Only the part that can be seen: a cell may be far larger than the
    // surface it is drawn on, and a section of its whole size would cost
    // seconds (or fail) on every paint.
    CRect rcClip;
    if (::GetClipBox(pDC->m_hDC, &rcClip) == ERROR)
        return;
    CRect rc;
    if (!rc.IntersectRect(&rcArea, &rcClip))
        return;
    const int cx = rc.Width(), cy = rc.Height();
    if (cx <= 0 || cy <= 0)
        return;
    // The drawing toolkit makes the 32-bit section the tint works on.
    BYTE* pBits = NULL;
    CBitmap section;
    CDC memDC;
    if (!section.Attach(CreateDIBSection32(cx, cy, &pBits)) || !memDC.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = memDC.SelectObject(&section);
    memDC.BitBlt(0, 0, cx, cy, pDC, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    BYTE* p = pBits;
    for (int y = 0; y < cy; y++) {
        for (int x = 0; x < cx; x++, p += 4)
            tint(p, rc.left + x - ptCell.x, rc.top + y - ptCell.y);
    }
    pDC->BitBlt(rc.left, rc.top, cx, cy, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}

// Restores rc (device coordinates) from the background DC, whose (0, 0) is
// the cell's top-left, or fills it with the colour.
void RestoreBackground(CDC* pDC, const CRect& rc, CPoint ptCell, CDC* pBackDC, COLORREF crBack)
{
    if (pBackDC != NULL)
        pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), pBackDC, rc.left - ptCell.x, rc.top - ptCell.y,
                    SRCCOPY);
    else
        pDC->FillSolidRect(&rc, crBack);
}

// Memory DCs the drawing selects its bitmaps into, made once: a field paints
// a thousand cells at a time, and a DC per cell costs more than the cell.
// User-interface thread only; each use selects its bitmap and selects it out
// again before it returns.
enum { SCRATCH_BACKGROUND, SCRATCH_CELLCACHE, SCRATCH_COUNT };

CDC* ScratchDC(int nIndex)
{
    static CDC s_dcs[SCRATCH_COUNT];
    CDC& dc = s_dcs[nIndex];
    if (dc.m_hDC == NULL && !dc.CreateCompatibleDC(NULL))
        return NULL;
    return &dc;
}

void DrawShadowedFrame(CDC* pDC, const CRect& rc, COLORREF crTopLeft, COLORREF crBottomRight)
{
    pDC->Draw3dRect(&rc, crTopLeft, crBottomRight);
}

}  // namespace

const SMILIETOOLBAR CSmilie::s_SmallToolbar = {{
    {{0, 0, 9, 9}, BuildGlyph(g_Glyphs[0], kSmallCopy, 9)},
    {{9, 0, 18, 9}, BuildGlyph(g_Glyphs[1], kSmallSelect, 9)},
    {{0, 9, 9, 18}, BuildGlyph(g_Glyphs[2], kSmallMove, 9)},
}};

const SMILIETOOLBAR CSmilie::s_LargeToolbar = {{
    {{0, 0, 11, 11}, BuildGlyph(g_Glyphs[3], kLargeCopy, 11)},
    {{11, 0, 22, 11}, BuildGlyph(g_Glyphs[4], kLargeSelect, 11)},
    {{0, 11, 11, 22}, BuildGlyph(g_Glyphs[5], kLargeMove, 11)},
}};

BOOL CSmilie::IsCensoredHidden() const
{
    return (m_nFlags & flagCensored) != 0 && !g_Settings.ShowCensoredSmilies;
}

// --- toolbar rectangles ------------------------------------------------------

namespace {

CRect ToolbarButtonRect(const CSmilie& smilie, int nButton)
{
    if (!g_Settings.SmilieToolbar || smilie.m_pToolbar == NULL)
        return CRect(0, 0, 0, 0);
    CRect rc(smilie.m_pToolbar->buttons[nButton].rc);
    if (smilie.m_bPressed)
        rc.OffsetRect(1, 1);
    return rc;
}

}  // namespace

CRect CSmilie::GetFrameRect() const
{
    return ToolbarButtonRect(*this, 0);
}

CRect CSmilie::GetHotFrameRect() const
{
    return ToolbarButtonRect(*this, 1);
}

CRect CSmilie::GetOversizeMarkRect() const
{
    if (m_nImageRecord == 0 || m_nImageId == 0 || !IsPictureLargerThanRect() || IsCensoredHidden())
        return CRect(0, 0, 0, 0);
    return ToolbarButtonRect(*this, 2);
}

BOOL CSmilie::IsPictureLargerThanRect() const
{
    if (g_pImgCache == NULL || m_nImageId == 0)
        return FALSE;
    const CSize size = g_pImgCache->GetImageSize(m_nImageId);
    return size.cx > m_rcImage.Width() || size.cy > m_rcImage.Height();
}

void CSmilie::ClampTextRect()
{
    if (m_rcImage.Width() > m_nCellWidth - m_nInsetLead - m_nInsetTrail) {
        m_rcImage.left = m_nInsetLead;
        m_rcImage.right = m_nCellWidth - m_nInsetTrail;
    }
    if (m_rcImage.Height() > m_nCellHeight - m_nInsetLead - m_nInsetTrail) {
        m_rcImage.top = m_nInsetLead;
        m_rcImage.bottom = m_nCellHeight - m_nInsetTrail;
    }
}

// --- marks ---------------------------------------------------------------------

void CSmilie::DrawCornerBrackets(const RECT& rc, CDC* pDC, COLORREF crBracket)
{
    CPen pen;
    if (!pen.CreatePen(PS_SOLID, 1, crBracket))
        return;
    CPen* pOld = pDC->SelectObject(&pen);
    const int qx = (rc.right - rc.left) / 4;
    const int qy = (rc.bottom - rc.top) / 4;
    pDC->MoveTo(rc.left + qx, rc.top);
    pDC->LineTo(rc.left, rc.top);
    pDC->LineTo(rc.left, rc.top + qy);
    pDC->MoveTo(rc.right - qx, rc.top);
    pDC->LineTo(rc.right, rc.top);
    pDC->LineTo(rc.right, rc.top + qy);
    pDC->MoveTo(rc.left, rc.bottom - qy);
    pDC->LineTo(rc.left, rc.bottom);
    pDC->LineTo(rc.left + qx, rc.bottom);
    pDC->SelectObject(pOld);
}

void CSmilie::DrawCornerMark(COLORREF crLower, CDC* pDC, COLORREF crUpper, const RECT& rc)
{
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    int s = w < h ? w : h;
    if (s % 2 == 0)
        s--;
    if (s <= 0)
        return;
    const int f = s / 10 > 3 ? s / 10 : 3;

    // The longer side repeats the cross's middle section a whole number of
    // times. A cell too small for one section (s - 2f - 1 <= 0) keeps a
    // square symbol instead of dividing by zero or a negative step.
    const int nStep = s - 2 * f - 1;
    int cx = s, cy = s;
    if (nStep > 0 && w != h) {
        const int nLonger = w > h ? w : h;
        const int nLong = (nLonger - 2 * f - 1) / nStep * nStep + 2 * f + 1;
        (w > h ? cx : cy) = nLong;
    }
    const int L = rc.left + (w - cx) / 2;
    const int T = rc.top + (h - cy) / 2;
    const int R = L + cx;
    const int B = T + cy;
    const int mx = L + cx / 2;
    const int my = T + cy / 2;

    CPen penUpper, penLower;
    if (!penUpper.CreatePen(PS_SOLID, 1, crUpper) || !penLower.CreatePen(PS_SOLID, 1, crLower))
        return;
    struct SEGMENT
    {
        int x, y;
        BOOL bUpper;
    };
    const SEGMENT segments[16] = {
        {L + f, T, TRUE},         {mx, my - f, TRUE},      {R - f - 1, T, TRUE},  {R - 1, T, TRUE},
        {R - 1, T + f, FALSE},    {mx + f, my, FALSE},     {R - 1, B - f - 1, TRUE}, {R - 1, B - 1, FALSE},
        {R - f - 1, B - 1, FALSE}, {mx, my + f, FALSE},    {L + f, B - 1, FALSE}, {L, B - 1, FALSE},
        {L, B - f - 1, TRUE},     {mx - f, my, TRUE},      {L, T + f, FALSE},     {L, T, TRUE},
    };
    // In tiny cells the arms reach past the symbol: never past the rectangle.
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&rc);
    CPen* pOld = pDC->SelectObject(&penUpper);
    pDC->MoveTo(L, T);
    for (const SEGMENT& seg : segments) {
        pDC->SelectObject(seg.bUpper ? &penUpper : &penLower);
        pDC->LineTo(seg.x, seg.y);
    }
    pDC->SelectObject(pOld);
    pDC->RestoreDC(nSaved);
}

void CSmilie::DrawToolbarShapes(const CSmilie* pSmilie, CDC* pDC, const RECT* prcClip, COLORREF crFirst,
                                COLORREF crSecond, BOOL bThird, int nHot, CPoint ptOrigin)
{
    if (pSmilie == NULL || pSmilie->m_pToolbar == NULL)
        return;
    for (int i = 0; i < (bThird ? 3 : 2); i++) {
        const SMILIETOOLBAR::BUTTON& button = pSmilie->m_pToolbar->buttons[i];
        CRect rc(button.rc);
        rc.OffsetRect(ptOrigin);
        if (prcClip != NULL) {
            // The shadow lies one pixel outside the button.
            CRect rcShadowed(rc.left, rc.top, rc.right + 1, rc.bottom + 1);
            CRect rcMeet;
            if (!rcMeet.IntersectRect(&rcShadowed, prcClip))
                continue;
        }
        const BOOL bHot = i + 1 == nHot;
        pDC->FillSolidRect(&rc, bHot ? crSecond : crFirst);
        const COLORREF crGlyph = bHot ? crFirst : crSecond;
        for (const POINT* p = button.pPixels; p != NULL && p->x >= 0; p++)
            pDC->SetPixel(rc.left + p->x, rc.top + p->y, crGlyph);
    }
}

// --- layout ----------------------------------------------------------------------

void CSmilie::LayoutCell(CDC* pDC)
{
    if (m_nImageId != 0)
        return;
    if (g_pImgCache != NULL && m_nImageRecord != 0) {
        m_nImageId = g_pImgCache->AddCollectionImage(m_nImageRecord);
        if (g_pImgCache->GetImageFrameCount(m_nImageId) == 0) {
            // Undecodable bytes: drop the picture, fetch it again where it
            // came from, and let the collection be saved without it.
            m_nImageRecord = 0;
            m_nImageId = 0;
            if (HasPendingSource())
                QueueDownload(this);
            if (m_pField != NULL)
                m_pField->SetFieldsModified();
            else
                MarkModified();
            return;
        }
        g_pImgCache->SetImageCrop(m_nImageId, m_nCrop);
        const CSize size = g_pImgCache->GetImageSize(m_nImageId);
        m_rcImage.left = (m_nCellWidth - size.cx) / 2;
        m_rcImage.top = (m_nCellHeight - size.cy) / 2;
        m_rcImage.right = m_rcImage.left + size.cx;
        m_rcImage.bottom = m_rcImage.top + size.cy;
        if (m_nOffsetX == offsetCentred && m_nOffsetY == offsetCentred)
            m_ptImage = m_rcImage.TopLeft();
        else
            m_ptImage = CPoint(m_nOffsetX, m_nOffsetY);
        ClampTextRect();
        // A stored offset only moves a picture larger than its rectangle.
        if (size.cx <= m_rcImage.Width())
            m_ptImage.x = m_rcImage.left;
        if (size.cy <= m_rcImage.Height())
            m_ptImage.y = m_rcImage.top;
        m_nContentState = g_pImgCache->GetImageFrameCount(m_nImageId);
        m_nFrameIndex = 0;
        DeleteCachedBitmap();
        return;
    }
    if (m_nImageRecord != 0 || (m_pszSource != NULL && m_pszSource[0] != '\0') || m_TextLines.GetSize() != 0 ||
        m_strPhrase.IsEmpty())
        return;

    m_rcImage.SetRect(0, 0, m_nCellWidth, m_nCellHeight);
    ClampTextRect();
    m_ptImage = m_rcImage.TopLeft();
    CString strText = m_strPhrase;
    if (strText.GetLength() >= 65)
        strText = strText.Left(64) + "...\n";
    LayoutText(strText, this, pDC);
    m_nFrameIndex = 0;
    m_nFrameDelay = 60;
    if (m_TextLines.GetSize() == 0)
        return;
    if (m_rcImage.Height() < m_nTextHeight) {
        m_nContentState = m_nTextHeight;
    } else {
        m_nContentState = 1;
        const int nSpare = m_rcImage.Height() - m_nTextHeight;
        if (nSpare > 1) {
            m_rcImage.top += nSpare / 2;
            m_ptImage.y = m_rcImage.top;
        }
    }
}

// --- picture and text -----------------------------------------------------------------

// --- ready frames -------------------------------------------------------------------

namespace {

// An animation keeps its frames ready up to this many pixels (all frames
// together): a few hundred kilobytes for a smilie, while a large animation
// draws each frame from the picture as before.
const int kMaxReadyPixels = 65536;

// Whether rc of pDC holds in full what was just drawn there: inside the DC's
// bitmap, in plain device coordinates and cut by no clipping region. A cell
// scrolled half out of view draws only the part in view, which is no frame
// to show whole later.
bool HoldsWhole(CDC* pDC, const CRect& rc)
{
    POINT ptViewport = {0, 0}, ptWindow = {0, 0};
    ::GetViewportOrgEx(pDC->m_hDC, &ptViewport);
    ::GetWindowOrgEx(pDC->m_hDC, &ptWindow);
    if (ptViewport.x != 0 || ptViewport.y != 0 || ptWindow.x != 0 || ptWindow.y != 0)
        return false;
    HRGN hClip = ::CreateRectRgn(0, 0, 0, 0);
    const int nClip = hClip != NULL ? ::GetClipRgn(pDC->m_hDC, hClip) : -1;
    if (hClip != NULL)
        ::DeleteObject(hClip);
    if (nClip != 0)
        return false;
    BITMAP bm;
    const HGDIOBJ hBitmap = ::GetCurrentObject(pDC->m_hDC, OBJ_BITMAP);
    if (hBitmap == NULL || ::GetObjectA(hBitmap, sizeof(bm), &bm) == 0)
        return false;
    return rc.left >= 0 && rc.top >= 0 && rc.right <= bm.bmWidth && rc.bottom <= bm.bmHeight;
}

}  // namespace

// The frames of an animated picture as DrawPicture drew them over the cell's
// kept background, one below the other in a 32-bit section, so that each step
// of the animation is one blit and needs neither the picture nor its reader.
// They belong to the background they were drawn on and go with it.
struct CSmilie::READYFRAMES
{
    CBitmap section;
    BYTE* pBits = NULL;
    int cx = 0, cy = 0;
    // What the frames were drawn from: any change makes them useless.
    uint32_t nImageId = 0;
    BYTE nCrop = 0;
    CPoint ptImage;
    CRect rcImage;
    COLORREF crBack = 0;
    std::vector<int> delays;     // per frame, -1 while it is not drawn yet
    int nShown = -1;             // the frame the cell was last drawn with

    BOOL IsReady(int nFrame) const
    {
        return nFrame >= 0 && nFrame < static_cast<int>(delays.size()) && delays[nFrame] >= 0;
    }
    const BYTE* Frame(int nFrame) const { return pBits + static_cast<size_t>(nFrame) * cx * cy * 4; }
};

void CSmilie::DeleteReadyFrames()
{
    delete m_pReadyFrames;
    m_pReadyFrames = NULL;
}

CSmilie::READYFRAMES* CSmilie::CurrentReadyFrames(COLORREF crBack) const
{
    READYFRAMES* p = m_pReadyFrames;
    if (p == NULL || m_CellBitmap.GetSafeHandle() == NULL || p->nImageId != m_nImageId || p->nCrop != m_nCrop ||
        p->ptImage != m_ptImage || p->rcImage != m_rcImage || p->crBack != crBack ||
        static_cast<int>(p->delays.size()) != m_nContentState)
        return NULL;
    return p;
}

BOOL CSmilie::StepChangesNothing(COLORREF crBack)
{
    READYFRAMES* p = CurrentReadyFrames(crBack);
    if (p == NULL || p->nShown == m_nFrameIndex || !p->IsReady(p->nShown) || !p->IsReady(m_nFrameIndex))
        return FALSE;
    if (memcmp(p->Frame(p->nShown), p->Frame(m_nFrameIndex), static_cast<size_t>(p->cx) * p->cy * 4) != 0)
        return FALSE;
    m_nFrameDelay = p->delays[m_nFrameIndex];
    p->nShown = m_nFrameIndex;
    return TRUE;
}

void CSmilie::DrawPicture(CDC* pDC, CPoint ptCell, CDC* pBackDC, COLORREF crBack)
{
    CRect rc(m_rcImage);
    rc.OffsetRect(ptCell);
    if (m_nContentState > 1 && m_CellBitmap.GetSafeHandle() == NULL) {
        // The background under an animated picture, kept so that each step
        // repaints only the picture.
        CDC cacheDC;
        if (cacheDC.CreateCompatibleDC(pDC) && m_CellBitmap.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height())) {
            s_nCellBitmaps++;
            CBitmap* pOld = cacheDC.SelectObject(&m_CellBitmap);
            if (pBackDC != NULL)
                cacheDC.BitBlt(0, 0, rc.Width(), rc.Height(), pBackDC, m_rcImage.left, m_rcImage.top, SRCCOPY);
            else
                cacheDC.BitBlt(0, 0, rc.Width(), rc.Height(), pDC, rc.left, rc.top, SRCCOPY);
            cacheDC.SelectObject(pOld);
        }
        m_nFrameIndex = 0;
    }

    READYFRAMES* pReady = m_CellBitmap.GetSafeHandle() != NULL ? CurrentReadyFrames(crBack) : NULL;
    if (pReady != NULL && pReady->IsReady(m_nFrameIndex)) {
        CDC* pReadyDC = ScratchDC(SCRATCH_CELLCACHE);
        if (pReadyDC == NULL)
            return;
        const HGDIOBJ hOld = ::SelectObject(pReadyDC->m_hDC, pReady->section.GetSafeHandle());
        pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), pReadyDC, 0, pReady->cy * m_nFrameIndex, SRCCOPY);
        ::SelectObject(pReadyDC->m_hDC, hOld);
        m_nFrameDelay = pReady->delays[m_nFrameIndex];
        pReady->nShown = m_nFrameIndex;
        return;
    }

    g_pImgCache->SetImageFrame(m_nImageId, m_nFrameIndex);
    const CPoint ptPicture(ptCell.x + m_ptImage.x, ptCell.y + m_ptImage.y);
    const CSize size = g_pImgCache->GetImageSize(m_nImageId);
    const BOOL bClip = m_ptImage.x < m_rcImage.left || m_ptImage.y < m_rcImage.top ||
                       m_ptImage.x + size.cx > m_rcImage.right || m_ptImage.y + size.cy > m_rcImage.bottom;
    if (m_CellBitmap.GetSafeHandle() == NULL) {
        const int nSaved = bClip ? pDC->SaveDC() : 0;
        if (bClip)
            pDC->IntersectClipRect(&rc);
        m_nFrameDelay = g_pImgCache->DrawImageFrame(m_nImageId, pDC, ptPicture, crBack, pBackDC, m_ptImage);
        if (bClip)
            pDC->RestoreDC(nSaved);
        return;
    }

    if (pReady == NULL && m_nContentState > 1 && rc.Width() > 0 && rc.Height() > 0 &&
        static_cast<long long>(rc.Width()) * rc.Height() * m_nContentState <= kMaxReadyPixels) {
        DeleteReadyFrames();
        m_pReadyFrames = new READYFRAMES;
        pReady = m_pReadyFrames;
        pReady->section.Attach(CreateDIBSection32(rc.Width(), rc.Height() * m_nContentState, &pReady->pBits));
        pReady->cx = rc.Width();
        pReady->cy = rc.Height();
        pReady->nImageId = m_nImageId;
        pReady->nCrop = m_nCrop;
        pReady->ptImage = m_ptImage;
        pReady->rcImage = m_rcImage;
        pReady->crBack = crBack;
        pReady->delays.assign(static_cast<size_t>(m_nContentState), -1);
        if (pReady->section.GetSafeHandle() == NULL) {
            DeleteReadyFrames();
            pReady = NULL;
        }
    }

    // The bare background from the cache, then the frame over it: the cache
    // keeps the background for the next frame.
    CDC* pCacheDC = ScratchDC(SCRATCH_CELLCACHE);
    if (pCacheDC == NULL)
        return;
    // Plain selections: the DC lives on, and views of every cell bitmap it
    // ever held would pile up in it.
    const HGDIOBJ hOldCache = ::SelectObject(pCacheDC->m_hDC, m_CellBitmap.GetSafeHandle());
    pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), pCacheDC, 0, 0, SRCCOPY);
    const CPoint ptInRect(m_ptImage.x - m_rcImage.left, m_ptImage.y - m_rcImage.top);
    const int nSaved = bClip ? pDC->SaveDC() : 0;
    if (bClip)
        pDC->IntersectClipRect(&rc);
    m_nFrameDelay = g_pImgCache->DrawImageFrame(m_nImageId, pDC, ptPicture, crBack, pCacheDC, ptInRect);
    if (bClip)
        pDC->RestoreDC(nSaved);
    if (pReady != NULL) {
        // Keep what was drawn for the next time this frame comes round.
        if (m_nFrameDelay >= 0 && HoldsWhole(pDC, rc)) {
            ::SelectObject(pCacheDC->m_hDC, pReady->section.GetSafeHandle());
            pCacheDC->BitBlt(0, pReady->cy * m_nFrameIndex, rc.Width(), rc.Height(), pDC, rc.left, rc.top, SRCCOPY);
            ::GdiFlush();
            pReady->delays[m_nFrameIndex] = m_nFrameDelay;
        }
        pReady->nShown = pReady->IsReady(m_nFrameIndex) ? m_nFrameIndex : -1;
    }
    ::SelectObject(pCacheDC->m_hDC, hOldCache);
}

void CSmilie::DrawTextLines(CDC* pDC, CPoint ptCell)
{
    CRect rc(m_rcImage);
    rc.OffsetRect(ptCell);
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&rc);
    const UINT nFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_CENTER;
    const int nLines = m_TextLines.GetSize();
    if (m_nContentState < 2) {
        int y = rc.top;
        for (int i = 0; i < nLines; i++) {
            CRect rcLine(rc.left, y, rc.right, y + m_TextLines[i].nHeight);
            pDC->DrawText(m_TextLines[i].strText, &rcLine, nFormat);
            y += m_TextLines[i].nHeight;
        }
        pDC->RestoreDC(nSaved);
        return;
    }

    // Scrolling: the frame index is the offset into the text, which repeats.
    int nOffset = m_nTextHeight > 0 ? m_nFrameIndex % m_nTextHeight : 0;
    int i = 0;
    while (i < nLines && nOffset >= m_TextLines[i].nHeight) {
        nOffset -= m_TextLines[i].nHeight;
        i++;
    }
    int y = rc.top - nOffset;
    // Bounded: lines of height 0 would never pass the bottom.
    for (int nDrawn = 0; y < rc.bottom && nLines > 0 && nDrawn < 4 * nLines + 64; nDrawn++) {
        const TEXTLINE& line = m_TextLines[i % nLines];
        CRect rcLine(rc.left, y, rc.right, y + line.nHeight);
        pDC->DrawText(line.strText, &rcLine, nFormat);
        y += line.nHeight;
        i++;
    }
    pDC->RestoreDC(nSaved);

    if (m_nFrameIndex != 0) {
        m_nFrameDelay = 60;
    } else {
        // Cells pause at their start for different times, so that a field
        // of scrolling texts does not move in step.
        POINT ptCursor = {0, 0};
        ::GetCursorPos(&ptCursor);
        const DWORD_PTR nMix = ::GetTickCount() + reinterpret_cast<DWORD_PTR>(this) * ptCursor.y + m_nColumn +
                               static_cast<DWORD_PTR>(m_nRow) * ptCursor.x;
        m_nFrameDelay = (nMix & 2) != 0 ? 500 : 60;
    }
}

void CSmilie::DrawSourceIndicators(CDC* pDC, CPoint ptCell, const CELLLOOK& look, CDC* pBackDC, CRect* prcOut)
{
    const BOOL bWeb = (m_nFlags & flagWebSmilie) != 0;
    if (m_pszSource == NULL || m_pszSource[0] == '\0') {
        if (m_nImageRecord != 0 && g_Settings.SmilieLocalMark && s_hSharedIcons[2] != NULL)
            ::DrawIconEx(pDC->m_hDC, ptCell.x + m_nCellWidth - m_nInsetTrail - 16,
                         ptCell.y + m_nCellHeight - m_nInsetTrail - 16, s_hSharedIcons[2], 16, 16, 0, NULL, DI_NORMAL);
        return;
    }
    const DWORD nFull = GetDownloadState();
    DWORD nState = nFull & 0xFF;
    if (m_nImageRecord == 0 && !bWeb)
        nState = DOWNLOAD_RUNNING;

    if (nState == DOWNLOAD_RUNNING || bWeb) {
        CRect rc(m_nInsetLead, m_nCellHeight - m_nInsetTrail - 5, m_nCellWidth - m_nInsetTrail,
                 m_nCellHeight - m_nInsetTrail);
        rc.OffsetRect(ptCell);
        if (rc.Width() < 2)
            return;
        RestoreBackground(pDC, rc, ptCell, pBackDC, m_bSelected ? look.crSelected : look.crBackground);
        DrawShadowedFrame(pDC, rc, look.crOuterShadow, look.crLight);
        const int nInner = rc.Width() - 2;
        // The progress counts pixels of a bar of this many; a cell too narrow
        // for a bar fills nothing rather than dividing by zero.
        const int nScale = m_nCellWidth - 2 * m_nInsetTrail - 2;
        int nFill = nScale > 0 ? static_cast<int>((nFull >> 8) & 0xFF) * nInner / nScale : 0;
        if (nFill > nInner)
            nFill = nInner;
        if (nFill > 0)
            pDC->FillSolidRect(rc.left + 1, rc.top + 1, nFill, rc.Height() - 2, RGB(0, 255, 0));
        if (prcOut != NULL)
            prcOut->UnionRect(prcOut, &rc);
    } else if (nState >= DOWNLOAD_FAILED) {
        HICON hIcon = s_hSharedIcons[nState == DOWNLOAD_FAILED ? 1 : 0];
        const CRect rc(ptCell.x + m_nCellWidth - m_nInsetTrail - 16, ptCell.y + m_nCellHeight - m_nInsetTrail - 16,
                       ptCell.x + m_nCellWidth - m_nInsetTrail, ptCell.y + m_nCellHeight - m_nInsetTrail);
        if (hIcon != NULL)
            ::DrawIconEx(pDC->m_hDC, rc.left, rc.top, hIcon, 16, 16, 0, NULL, DI_NORMAL);
        if (prcOut != NULL)
            prcOut->UnionRect(prcOut, &rc);
    }
}

// --- the cell ---------------------------------------------------------------------------

void CSmilie::Draw(CDC* pDC, CPoint ptOrigin, const CELLLOOK& look, CBitmap* pBackground, BOOL bPictureOnly,
                   CRect* prcOut)
{
    const BOOL bCensored = IsCensoredHidden();
    LayoutCell(pDC);
    if ((m_nCrop & 0x3F) != 0 && m_nImageId != 0 && g_pImgCache != NULL)
        g_pImgCache->SetImageCrop(m_nImageId, m_nCrop);

    const int p = m_bPressed ? 1 : 0;
    const CPoint ptCell(ptOrigin.x + p, ptOrigin.y + p);
    const CRect rcCell(ptOrigin.x, ptOrigin.y, ptOrigin.x + m_nCellWidth, ptOrigin.y + m_nCellHeight);
    const COLORREF crBack = m_bSelected ? look.crSelected : look.crBackground;
    // A step of the animation to a frame that looks the same as the one shown
    // draws nothing: the cell is left as it is.
    if (bPictureOnly && !bCensored && m_nImageId != 0 && g_pImgCache != NULL && m_nContentState > 1 &&
        StepChangesNothing(crBack)) {
        if (prcOut != NULL)
            prcOut->SetRectEmpty();
        return;
    }

    // A step of the animation to a frame kept ready needs no background: the
    // frame holds it.
    const BOOL bReadyStep = bPictureOnly && !bCensored && m_nImageId != 0 && g_pImgCache != NULL &&
                            m_nContentState > 1 && (m_pszSource == NULL || m_pszSource[0] == '\0') &&
                            CurrentReadyFrames(crBack) != NULL && CurrentReadyFrames(crBack)->IsReady(m_nFrameIndex);
    HGDIOBJ hOldBack = NULL;
    CDC* pBackDC = NULL;
    if (pBackground != NULL && pBackground->GetSafeHandle() != NULL && !bReadyStep) {
        pBackDC = ScratchDC(SCRATCH_BACKGROUND);
        if (pBackDC != NULL)
            hOldBack = ::SelectObject(pBackDC->m_hDC, pBackground->GetSafeHandle());
    }

    CRect rcPicture(m_rcImage);
    rcPicture.OffsetRect(ptCell);
    if (!bPictureOnly) {
        const CRect rcBack(rcCell.left + p, rcCell.top + p, rcCell.right, rcCell.bottom);
        if (pBackDC != NULL)
            pDC->BitBlt(rcBack.left, rcBack.top, rcBack.Width(), rcBack.Height(), pBackDC, 0, 0, SRCCOPY);
        else
            pDC->FillSolidRect(&rcBack, crBack);
        if (m_bPressed) {
            DrawShadowedFrame(pDC, rcCell, look.crOuterShadow, look.crLight);
            CRect rcInner(rcCell);
            rcInner.DeflateRect(1, 1);
            DrawShadowedFrame(pDC, rcInner, look.crInnerShadow, look.crLight);
        } else if (look.bRaised) {
            DrawShadowedFrame(pDC, rcCell, look.crLight, look.crOuterShadow);
            const CRect rcInner(rcCell.left, rcCell.top, rcCell.right - 1, rcCell.bottom - 1);
            DrawShadowedFrame(pDC, rcInner, look.crLight, look.crInnerShadow);
        }
        if (m_nHover != 0 && (!g_Settings.SmilieToolbar || m_pToolbar == NULL)) {
            const CRect rcBrackets(ptCell.x + 1, ptCell.y + 1, ptCell.x + m_nCellWidth - 3,
                                   ptCell.y + m_nCellHeight - 3);
            DrawCornerBrackets(rcBrackets, pDC, look.crBracket);
        }
        if (prcOut != NULL)
            *prcOut = rcCell;
    } else if (prcOut != NULL) {
        *prcOut = rcPicture;
    }

    if (bCensored) {
        const CRect rcMark(ptCell.x + m_nInsetLead, ptCell.y + m_nInsetLead, ptCell.x + m_nCellWidth - m_nInsetTrail,
                           ptCell.y + m_nCellHeight - m_nInsetTrail);
        COLORREF crUpper = look.crOuterShadow, crLower = look.crLight;
        if (m_pField != NULL)
            crUpper = crLower = m_pField->GetTextColor();
        DrawCornerMark(crLower, pDC, crUpper, rcMark);
    } else if (m_nImageId != 0 && g_pImgCache != NULL && m_nContentState != 0) {
        DrawPicture(pDC, ptCell, pBackDC, crBack);
    } else if (m_TextLines.GetSize() != 0) {
        if (bPictureOnly)
            RestoreBackground(pDC, rcPicture, ptCell, pBackDC, crBack);
        DrawTextLines(pDC, ptCell);
    }

    if (m_bSelected) {
        CRect rcTint(ptCell.x + 2, ptCell.y + 2, ptCell.x + m_nCellWidth - 3, ptCell.y + m_nCellHeight - 3);
        if (bPictureOnly)
            rcTint.IntersectRect(&rcTint, &rcPicture);
        TintArea(pDC, rcTint, ptOrigin, [](BYTE* px, int x, int y) {
            if ((x + y) % 2 == 0) {
                px[0] = px[1] = px[2] = 255;
            } else {
                px[0] = static_cast<BYTE>(px[0] + (255 - px[0]) * 20 / 100);
                px[1] = static_cast<BYTE>(px[1] - px[1] / 5);
                px[2] = static_cast<BYTE>(px[2] - px[2] / 5);
            }
        });
    }

    DrawSourceIndicators(pDC, ptCell, look, pBackDC, prcOut);

    if (m_nHover != 0) {
        const int nRight = ptCell.x + m_nCellWidth;
        const int nBottom = ptCell.y + m_nCellHeight;
        CRect rcGrip(nRight - 8, nBottom - 8, nRight, nBottom);
        if (bPictureOnly)
            rcGrip.IntersectRect(&rcGrip, &rcPicture);
        static const POINT kLight[] = {{3, 8}, {4, 7}, {5, 6}, {6, 5}, {7, 4}, {8, 3}, {3, 5}, {4, 4}, {5, 3}};
        static const POINT kDark[] = {{3, 7}, {4, 6}, {5, 5}, {6, 4}, {7, 3}, {3, 4}, {4, 3}};
        for (const POINT& d : kLight) {
            const POINT pt = {nRight - d.x, nBottom - d.y};
            if (rcGrip.PtInRect(pt))
                pDC->SetPixel(pt, Lighten90(pDC->GetPixel(pt)));
        }
        for (const POINT& d : kDark) {
            const POINT pt = {nRight - d.x, nBottom - d.y};
            if (rcGrip.PtInRect(pt))
                pDC->SetPixel(pt, DarkenTwoFifths(pDC->GetPixel(pt)));
        }

        if (m_pField != NULL && g_Settings.SmilieToolbar && m_pToolbar != NULL) {
            const CRect rcClip = bPictureOnly && !bCensored ? rcPicture : rcCell;
            const BOOL bThird = !bCensored && IsPictureLargerThanRect();
            DrawToolbarShapes(this, pDC, &rcClip, m_pField->GetTextColor(), m_pField->GetToolbarColor(), bThird,
                              m_nHover - 1, ptCell);
        }
    }

    if (pBackDC != NULL)
        ::SelectObject(pBackDC->m_hDC, hOldBack);
}
