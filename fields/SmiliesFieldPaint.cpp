// The field view's painting, looks, colours and animation. Everything is drawn
// into the back buffer; CControlBase puts it on the screen.
#include "fields/SmiliesField.h"

#include "collection/Smilie.h"
#include "fields/FieldGeometry.h"
#include "framework/Dc.h"
#include "framework/Module.h"
#include "services/Settings.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/drawing/ColorRamp.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/Tiling.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The corner mark of a hot empty cell: a plus, "something can go here", as
// character maps ('#' a pixel of the glyph).
const char* const kSmallMark[] = {
    ".........", "....#....", "....#....", "....#....", ".#######.",
    "....#....", "....#....", "....#....", ".........", NULL};
const char* const kLargeMark[] = {
    "...........", ".....#.....", ".....#.....", ".....#.....", ".....#.....", ".#########.",
    ".....#.....", ".....#.....", ".....#.....", ".....#.....", "...........", NULL};

struct MARKPIXELS
{
    POINT pixels[11 * 11 + 1];
};

MARKPIXELS g_MarkPixels[2];

const POINT* BuildMark(MARKPIXELS& mark, const char* const* rows)
{
    int n = 0;
    for (int y = 0; rows[y] != NULL; y++)
        for (int x = 0; rows[y][x] != '\0'; x++)
            if (rows[y][x] == '#')
                mark.pixels[n++] = {x, y};
    mark.pixels[n] = {-1, -1};
    return mark.pixels;
}

COLORREF MixColors(COLORREF a, COLORREF b)
{
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2, (GetBValue(a) + GetBValue(b)) / 2);
}

// The colour of lines and marks on a base: contrast mode picks black or
// white, the plain mode a darker or lighter shade of the base itself.
COLORREF MarkColorOn(COLORREF clrBase, BOOL bContrast)
{
    const int nBright = GetColorBrightness(clrBase);
    if (bContrast)
        return nBright < 223 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const int r = GetRValue(clrBase), g = GetGValue(clrBase), b = GetBValue(clrBase);
    if (nBright > 191)
        return RGB(r - r / 4, g - g / 4, b - b / 4);
    auto lift = [](int c) { return c < 255 ? c + (255 - c) * 75 / 100 : 255; };
    return RGB(lift(r), lift(g), lift(b));
}

// A memory DC on a bitmap, restored on destruction.
class CBitmapDC : public CDC
{
public:
    CBitmapDC(HDC /*hCompatible*/, CBitmap& bitmap) : m_hOld(NULL)
    {
        if (CreateCompatibleDC(NULL))
            m_hOld = ::SelectObject(m_hDC, bitmap.GetSafeHandle());
    }
    ~CBitmapDC() override
    {
        if (m_hDC != NULL && m_hOld != NULL)
            ::SelectObject(m_hDC, m_hOld);
    }

private:
    HGDIOBJ m_hOld;
};

}  // namespace

const CORNERMARKSHAPE CSmiliesField::s_SmallCornerMark = {{0, 0, 9, 9}, BuildMark(g_MarkPixels[0], kSmallMark)};
const CORNERMARKSHAPE CSmiliesField::s_LargeCornerMark = {{0, 0, 11, 11}, BuildMark(g_MarkPixels[1], kLargeMark)};

// --- colours ------------------------------------------------------------------------------

COLORREF CSmiliesField::GetTextColor() const
{
    COLORREF clrBase = m_Grid.clrBack;
    if (m_Grid.bWhiteCells)
        clrBase = m_nColorMode == 1 ? RGB(245, 245, 245) : RGB(255, 255, 255);
    return MarkColorOn(clrBase, m_nColorMode == 1);
}

COLORREF CSmiliesField::GetMarkColor() const
{
    return MarkColorOn(m_Grid.clrBack, m_nColorMode == 1);
}

COLORREF CSmiliesField::GetToolbarColor() const
{
    if (m_Grid.bAccent)
        return m_Grid.clrAccent;
    return m_nColorMode == 1 && m_Grid.bWhiteCells ? RGB(245, 245, 245) : RGB(255, 255, 255);
}

// The colour mode reaches CSmilie::Draw through the look: the plain mode
// draws flat cells without gradient, the gradient mode the skin's look.
CELLLOOK CSmiliesField::GetDrawLook() const
{
    CELLLOOK look = m_CellLook;
    if (m_nColorMode != 1) {
        look.bRaised = 0;
        look.nFrameGradient = GRADIENT_NONE;
    }
    return look;
}

// --- look setters ----------------------------------------------------------------------------

void CSmiliesField::RebuildLook(BOOL bRepaint)
{
    if (HasGdiObjects()) {
        DeleteGdiObjects();
        FreeCellBitmaps();
    }
    if (bRepaint && m_hWnd != NULL && IsWindowVisible())
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

void CSmiliesField::SetColorMode(int nMode, BOOL bRepaint)
{
    m_nColorMode = nMode;
    RebuildLook(bRepaint);
}

void CSmiliesField::SetBackColor(COLORREF clr, BOOL bRepaint)
{
    m_Grid.clrBack = clr;
    RebuildLook(bRepaint);
}

void CSmiliesField::SetWhiteCells(BOOL bOn)
{
    bOn = bOn ? 1 : 0;
    if (m_Grid.bWhiteCells == bOn)
        return;
    m_Grid.bWhiteCells = bOn;
    RebuildLook(FALSE);
}

void CSmiliesField::SetAccentColor(COLORREF clr, BOOL bOn, BOOL bRepaint)
{
    if (!bOn) {
        if (!m_Grid.bAccent)
            return;
        m_Grid.bAccent = 0;
    } else {
        if (m_Grid.bAccent && m_Grid.clrAccent == clr)
            return;
        m_Grid.clrAccent = clr;
        m_Grid.bAccent = 1;
    }
    RebuildLook(bRepaint);
}

// --- GDI objects --------------------------------------------------------------------------------

void CSmiliesField::OnDisplayChanged()
{
    DeleteGdiObjects();
    FreeCellBitmaps();
}

CBitmap* CSmiliesField::GetBackBuffer()
{
    if (!HasGdiObjects() || m_Tile.GetSafeHandle() == NULL || m_CellFrame.GetSafeHandle() == NULL) {
        CreateGdiObjects();
        if (!HasGdiObjects())
            return NULL;
        PaintCells(&m_rcView, FALSE);
    }
    return &m_BackBuffer;
}

void CSmiliesField::Paint(CDC* /*pDC*/, int, int, int, int)
{
}

void CSmiliesField::CreateGdiObjects()
{
    if (m_nCellWidth <= 0 || m_nCellHeight <= 0 || m_hWnd == NULL)
        return;
    DeleteGdiObjects();
    CreateTiles();
    HDC hWndDC = ::GetDC(m_hWnd);
    HBITMAP hBuffer = ::CreateCompatibleBitmap(hWndDC, m_rcView.Width() > 0 ? m_rcView.Width() : 1,
                                               m_rcView.Height() > 0 ? m_rcView.Height() : 1);
    ::ReleaseDC(m_hWnd, hWndDC);
    m_BackBuffer.Attach(hBuffer);
    if (m_Grid.pCellFont != NULL)
        m_CellFont.CreateFontIndirect(m_Grid.pCellFont);
    CreateCellFrame();
}

void CSmiliesField::DeleteGdiObjects()
{
    m_Tile.DeleteObject();
    m_FocusTile.DeleteObject();
    m_BackBuffer.DeleteObject();
    m_CellFont.DeleteObject();
    m_CellFrame.DeleteObject();
}

void CSmiliesField::CreateTiles()
{
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hTile = NULL;
    if (m_nColorMode == 1 && m_Grid.nTileBitmapId != 0)
        hTile = static_cast<HBITMAP>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_Grid.nTileBitmapId),
                                                  IMAGE_BITMAP, 0, 0, 0));
    if (hTile == NULL) {
        // One cell of the plain background.
        hTile = ::CreateCompatibleBitmap(hScreen, m_nCellWidth, m_nCellHeight);
        HDC hDC = ::CreateCompatibleDC(hScreen);
        HGDIOBJ hOld = ::SelectObject(hDC, hTile);
        CDC dc;
        dc.Attach(hDC);
        dc.FillSolidRect(0, 0, m_nCellWidth, m_nCellHeight, m_Grid.clrBack);
        dc.Detach();
        ::SelectObject(hDC, hOld);
        ::DeleteDC(hDC);
    }
    m_Tile.Attach(hTile);
    BITMAP bm = {};
    m_Tile.GetBitmap(&bm);
    m_nTileWidth = bm.bmWidth;
    m_nTileHeight = bm.bmHeight;

    if (m_nColorMode == 1) {
        RecolorBitmap(m_Grid.clrBack, hTile);
        if (m_nTileWidth % m_nCellWidth == 0 && m_nTileHeight % m_nCellHeight == 0) {
            CBitmapDC dc(hScreen, m_Tile);
            for (int x = 0; x < m_nTileWidth; x += m_nCellWidth)
                dc.FillSolidRect(x, 0, 1, m_nTileHeight, m_Grid.clrGrid);
            for (int y = 0; y < m_nTileHeight; y += m_nCellHeight)
                dc.FillSolidRect(0, y, m_nTileWidth, 1, m_Grid.clrGrid);
        }
    }

    // The focus tile: the tile dithered with white and tinted blue, the white
    // pixels on even columns of the bottom row and alternating upwards.
    BITMAPINFOHEADER bih;
    BYTE* pPixels = GetBitmapBits32(hTile, &bih);
    if (pPixels != NULL) {
        const int cx = bih.biWidth, cy = abs(bih.biHeight);
        for (int y = 0; y < cy; y++) {
            // GetBitmapBits32 gives rows bottom-up: row 0 is the bottom one.
            BYTE* p = pPixels + static_cast<size_t>(y) * cx * 4;
            for (int x = 0; x < cx; x++, p += 4) {
                if ((x + y) % 2 == 0) {
                    p[0] = p[1] = p[2] = 255;
                } else {
                    p[0] = static_cast<BYTE>(p[0] + (255 - p[0]) / 5);
                    p[1] = static_cast<BYTE>(p[1] - p[1] / 5);
                    p[2] = static_cast<BYTE>(p[2] - p[2] / 5);
                }
            }
        }
        m_FocusTile.Attach(SetBitmapBits32(&bih, pPixels, NULL));
        free(pPixels);
    }
    ::ReleaseDC(NULL, hScreen);
}

void CSmiliesField::CreateFrameBitmap(CBitmap& bitmap, int cx, int cy)
{
    HDC hScreen = ::GetDC(NULL);
    bitmap.Attach(::CreateCompatibleBitmap(hScreen, cx, cy));
    if (bitmap.GetSafeHandle() != NULL) {
        CBitmapDC dc(hScreen, bitmap);
        COLORREF clrBase = m_Grid.clrBack;
        if (m_Grid.bWhiteCells)
            clrBase = m_nColorMode == 1 ? RGB(245, 245, 245) : RGB(255, 255, 255);
        if (m_nColorMode == 1) {
            const COLORREF clrDark = RGB(GetRValue(clrBase) * 7 / 10, GetGValue(clrBase) * 7 / 10,
                                         GetBValue(clrBase) * 7 / 10);
            DrawGradientFrame(clrBase, dc.m_hDC, 0, 0, cx, cy, MixColors(clrBase, clrDark), clrDark,
                              static_cast<BYTE>(m_CellLook.nFrameGradient));
        } else {
            dc.FillSolidRect(0, 0, cx, cy, clrBase);
            const COLORREF clrText = GetTextColor();
            const CRect rc(1, 1, cx - 1, cy - 1);
            dc.Draw3dRect(&rc, clrText, clrText);
        }
    }
    ::ReleaseDC(NULL, hScreen);
}

void CSmiliesField::CreateCellFrame()
{
    CreateFrameBitmap(m_CellFrame, m_nCellWidth, m_nCellHeight);
}

// --- painting ------------------------------------------------------------------------------------

void CSmiliesField::StartSmilieAnimation(CSmilie* pSmilie, BOOL bKeepFrames)
{
    if (pSmilie->m_nContentState <= 1 || pSmilie->m_nAnimTimer != 0 || m_hWnd == NULL)
        return;
    if (!bKeepFrames)
        pSmilie->m_nFrameIndex = 0;
    if (pSmilie->m_nFrameDelay > 0) {
        const int nId = CSmiliePreview::SetVTimer(m_hWnd, m_Animations, FieldFrameTicks(pSmilie->m_nFrameDelay));
        pSmilie->m_nAnimTimer = static_cast<UINT>(nId);
    }
}

void CSmiliesField::PaintCells(const RECT* prc, BOOL bKeepFrames)
{
    if (!HasGdiObjects() || m_Tile.GetSafeHandle() == NULL || m_CellFrame.GetSafeHandle() == NULL)
        CreateGdiObjects();
    if (!HasGdiObjects() || m_pTable == NULL || prc == NULL)
        return;
    CRect rcPaint;
    if (!rcPaint.IntersectRect(prc, &m_rcView))
        return;
    CBackBufDC dc(this);
    const int nPos = GetScrollPos();
    const CELLLOOK look = GetDrawLook();
    // The tiles stay fixed to the content as it scrolls. They fill what no
    // smilie covers; the smilies paint their cells after: every cell a smilie
    // draws covers its whole rectangle.
    const int nTileTop = m_nTileHeight > 0 ? m_nTileHeight * (nPos / m_nTileHeight) - nPos : 0;
    const RECT rcTile = {0, 0, m_nTileWidth, m_nTileHeight};
    {
        CBitmapDC tileDC(dc.m_hDC, m_Tile);
        FillUncovered(dc.m_hDC, rcPaint, tileDC.m_hDC, rcTile, nTileTop);
    }
    if (m_ptFocus.x >= 0 && m_FocusTile.GetSafeHandle() != NULL && GetAt(m_ptFocus.x, m_ptFocus.y) == NULL) {
        const CRect rcFocus = GetCellRect(m_ptFocus.x, m_ptFocus.y);
        CRect rcMeet;
        if (rcMeet.IntersectRect(&rcFocus, &rcPaint)) {
            CBitmapDC focusDC(dc.m_hDC, m_FocusTile);
            TileBitmapAt(dc.m_hDC, rcMeet, focusDC.m_hDC, rcTile, 0, nTileTop);
        }
    }
    if (m_ptHotEmpty.x >= 0 && g_Settings.SmilieToolbar && m_pCornerMark != NULL &&
        GetAt(m_ptHotEmpty.x, m_ptHotEmpty.y) == NULL) {
        const CRect rcHot = GetCellRect(m_ptHotEmpty.x, m_ptHotEmpty.y);
        CRect rcMeet;
        if (rcMeet.IntersectRect(&rcHot, &rcPaint)) {
            const int nSavedClip = dc.SaveDC();
            dc.IntersectClipRect(&rcPaint);
            // A dotted frame one pixel inside the cell: every second pixel,
            // from the corner, half way to the mark colour.
            const COLORREF clrMark = GetMarkColor();
            const CRect rcFrame(rcHot.left + 1, rcHot.top + 1, rcHot.right - 1, rcHot.bottom - 1);
            for (int x = rcFrame.left; x < rcFrame.right; x += 2) {
                dc.SetPixel(x, rcFrame.top, MixColors(dc.GetPixel(x, rcFrame.top), clrMark));
                dc.SetPixel(x, rcFrame.bottom - 1, MixColors(dc.GetPixel(x, rcFrame.bottom - 1), clrMark));
            }
            for (int y = rcFrame.top + 2; y < rcFrame.bottom - 1; y += 2) {
                dc.SetPixel(rcFrame.left, y, MixColors(dc.GetPixel(rcFrame.left, y), clrMark));
                dc.SetPixel(rcFrame.right - 1, y, MixColors(dc.GetPixel(rcFrame.right - 1, y), clrMark));
            }
            DrawCellMark(&dc, rcHot);
            dc.RestoreDC(nSavedClip);
        }
    }

    const int nSaved = dc.SaveDC();
    if (m_CellFont.GetSafeHandle() != NULL)
        dc.SelectObject(&m_CellFont);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    const int nFirstRow = (nPos + rcPaint.top) / m_nCellHeight;
    const int nLastRow = (nPos + rcPaint.bottom) / m_nCellHeight;
    for (int r = nFirstRow; r <= nLastRow && r < m_pTable->GetRowCount(); r++) {
        for (int c = m_pTable->GetColumnCount() - 1; c >= 0; c--) {
            CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL)
                continue;
            const CRect rcSmilie = GetSmilieRect(pSmilie);
            CRect rcMeet;
            if (!rcMeet.IntersectRect(&rcSmilie, &rcPaint))
                continue;
            pSmilie->Draw(&dc, rcSmilie.TopLeft(), look, &m_CellFrame, FALSE, NULL);
            StartSmilieAnimation(pSmilie, bKeepFrames);
        }
    }
    dc.RestoreDC(nSaved);
}

// Tiles the part of rcPaint that no smilie covers, in runs of the cells of a
// row: blitting the tile under a thousand smilies that paint over it would
// cost as much as painting them.
void CSmiliesField::FillUncovered(HDC hDC, const CRect& rcPaint, HDC hTile, const RECT& rcTile, int nTileTop)
{
    const int nPos = GetScrollPos();
    const int nColumns = m_pTable->GetColumnCount(), nRows = m_pTable->GetRowCount();
    const int xGridEnd = nColumns * m_nCellWidth;
    auto fill = [&](int left, int top, int right, int bottom) {
        CRect rc(std::max<int>(left, rcPaint.left), std::max<int>(top, rcPaint.top),
                 std::min<int>(right, rcPaint.right), std::min<int>(bottom, rcPaint.bottom));
        if (rc.left < rc.right && rc.top < rc.bottom)
            TileBitmapAt(hDC, rc, hTile, rcTile, 0, nTileTop);
    };
    fill(xGridEnd, rcPaint.top, rcPaint.right, rcPaint.bottom);
    auto covered = [&](int c, int r) {
        const CSmilie* pSmilie = r >= 0 && r < nRows ? m_pTable->GetAt(c, r) : NULL;
        return pSmilie != NULL && GetSmilieRect(pSmilie) == GetCellRect(c, r);
    };
    const int nFirstRow = (nPos + rcPaint.top) / m_nCellHeight;
    const int nLastRow = (nPos + rcPaint.bottom) / m_nCellHeight;
    for (int r = nFirstRow; r <= nLastRow; r++) {
        const int top = r * m_nCellHeight - nPos, bottom = top + m_nCellHeight;
        for (int c = 0; c < nColumns;) {
            if (covered(c, r)) {
                c++;
                continue;
            }
            const int c0 = c;
            while (c < nColumns && !covered(c, r))
                c++;
            fill(c0 * m_nCellWidth, top, c * m_nCellWidth, bottom);
        }
    }
}

void CSmiliesField::DrawCellMark(CDC* pDC, const RECT& rcCell)
{
    if (m_pCornerMark == NULL)
        return;
    CRect rc(m_pCornerMark->rc);
    rc.OffsetRect(rcCell.left, rcCell.top);
    const COLORREF clrMark = GetMarkColor();
    const COLORREF clrFace = m_bMarkPressed ? m_Grid.clrBack : clrMark;
    const COLORREF clrGlyph = m_bMarkPressed ? clrMark : m_Grid.clrBack;
    pDC->FillSolidRect(&rc, clrFace);
    for (const POINT* p = m_pCornerMark->pPixels; p->x >= 0; p++)
        pDC->SetPixel(rc.left + p->x, rc.top + p->y, clrGlyph);
}

void CSmiliesField::DrawCell(BOOL bKeepFrame, BOOL bAdvance, RECT* prcOut, int nColumn, int nRow)
{
    CSmilie* pSmilie = GetAt(nColumn, nRow);
    if (pSmilie == NULL || !HasGdiObjects())
        return;
    CBackBufDC dc(this);
    DrawCellOn(dc, bKeepFrame, bAdvance, prcOut, pSmilie);
}

void CSmiliesField::DrawCellOn(CDC& dc, BOOL bKeepFrame, BOOL bAdvance, RECT* prcOut, CSmilie* pSmilie)
{
    if (!HasGdiObjects())
        return;
    const int nSaved = dc.SaveDC();
    if (pSmilie->m_nImageRecord == 0) {
        if (m_CellFont.GetSafeHandle() != NULL)
            dc.SelectObject(&m_CellFont);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetBkMode(TRANSPARENT);
    }
    CRect rcOut;
    const CRect rcSmilie = GetSmilieRect(pSmilie);
    pSmilie->Draw(&dc, rcSmilie.TopLeft(), GetDrawLook(), &m_CellFrame, bAdvance, &rcOut);
    dc.RestoreDC(nSaved);
    if (prcOut != NULL)
        *prcOut = rcOut;
    StartSmilieAnimation(pSmilie, bKeepFrame);
}

// What RedrawRect does, from a memory DC that holds the back buffer already.
void CSmiliesField::ShowFromBackBuffer(CDC& back, const RECT& rc)
{
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == NULL)
        return;
    CDC dc;
    dc.Attach(hDC);
    ::BitBlt(hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, back.m_hDC, rc.left, rc.top, SRCCOPY);
    OnPaintOver(&dc, rc, 0, 0);
    AfterPaint(0);
    dc.Detach();
    ::ReleaseDC(m_hWnd, hDC);
}

// Repaints one cell into the back buffer and onto the screen at once.
void CSmiliesField::RepaintCell(int nColumn, int nRow)
{
    if (!HasGdiObjects() || m_hWnd == NULL || nColumn < 0 || nRow < 0)
        return;
    const CRect rcCell = GetCellRect(nColumn, nRow);
    CRect rcShow;
    if (!rcShow.IntersectRect(&rcCell, &m_rcView))
        return;
    if (GetAt(nColumn, nRow) != NULL) {
        RECT rcOut;
        DrawCell(TRUE, FALSE, &rcOut, nColumn, nRow);
    } else {
        PaintCells(&rcShow, TRUE);
    }
    if (IsWindowVisible())
        RedrawRect(rcShow);
}

BOOL CSmiliesField::RedrawSmilie(const CSmilie* pSmilie)
{
    if (m_hWnd == NULL || !IsWindowVisible() || !ContainsSmilie(pSmilie))
        return FALSE;
    const CRect rc = GetSmilieRect(pSmilie);
    CRect rcShow;
    if (!rcShow.IntersectRect(&rc, &m_rcView))
        return FALSE;
    RepaintCell(pSmilie->m_nColumn, pSmilie->m_nRow);
    return TRUE;
}

void CSmiliesField::RedrawAll()
{
    StopAnimations();
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r))
                pSmilie->m_nImageId = 0;
    if (m_hWnd != NULL && IsWindowVisible()) {
        if (HasGdiObjects())
            PaintCells(&m_rcView, FALSE);
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
}

void CSmiliesField::FreeCellBitmaps()
{
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r))
                pSmilie->DeleteCachedBitmap();
}

void CSmiliesField::StopAnimations()
{
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r))
                KillSmilieTimer(pSmilie);
}

void CSmiliesField::DrawSmilieAt(CDC* pDC, POINT pt, const CSmilie* pSmilie)
{
    if (pDC == NULL || pSmilie == NULL)
        return;
    CBitmap frame;
    CreateFrameBitmap(frame, pSmilie->m_nCellWidth, pSmilie->m_nCellHeight);
    const int nSaved = pDC->SaveDC();
    if (m_CellFont.GetSafeHandle() != NULL)
        pDC->SelectObject(&m_CellFont);
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkMode(TRANSPARENT);
    const_cast<CSmilie*>(pSmilie)->Draw(pDC, CPoint(pt), GetDrawLook(), &frame, FALSE, NULL);
    pDC->RestoreDC(nSaved);
}

void CSmiliesField::DrawSmilieImage(CDC* pDC, const CSmilie* pSmilie, POINT pt)
{
    if (pDC == NULL || pSmilie == NULL)
        return;
    CSmilie copy(*pSmilie);
    copy.m_nHover = 0;
    copy.m_bSelected = 0;
    copy.m_bPressed = 0;
    CBitmap frame;
    CreateFrameBitmap(frame, copy.m_nCellWidth, copy.m_nCellHeight);
    CFont font;
    const int nSaved = pDC->SaveDC();
    if (m_Grid.pCellFont != NULL && font.CreateFontIndirect(m_Grid.pCellFont))
        pDC->SelectObject(&font);
    pDC->SetTextColor(m_Grid.clrBack);
    pDC->SetBkMode(TRANSPARENT);
    copy.Draw(pDC, CPoint(pt), GetDrawLook(), &frame, FALSE, NULL);
    pDC->RestoreDC(nSaved);
}

// --- timers ----------------------------------------------------------------------------------------

BOOL CSmiliesField::AddOwnTimer(UINT nId)
{
    for (int i = 0; i < m_OwnTimers.GetSize(); i++)
        if (m_OwnTimers[i] == nId)
            return FALSE;
    m_OwnTimers.Add(nId);
    return TRUE;
}

BOOL CSmiliesField::RemoveOwnTimer(UINT nId)
{
    for (int i = 0; i < m_OwnTimers.GetSize(); i++) {
        if (m_OwnTimers[i] == nId) {
            m_OwnTimers.RemoveAt(i);
            return TRUE;
        }
    }
    return FALSE;
}

int CSmiliesField::HasVTimer(int nId) const
{
    if (nId == 0)
        return m_Animations.GetSize();
    return FindVTimerRcrd(m_Animations, nId) >= 0 ? 1 : 0;
}

// Whether a WM_TIMER waits in the thread's queue. The steps of many smilies
// fall due at the same tick: within one millisecond the answer is asked once.
BOOL CSmiliesField::IsTimerWaiting()
{
    const DWORD nNow = ::GetTickCount();
    if (m_nTimerWaiting < 0 || nNow != m_nTimerAskedAt) {
        m_nTimerWaiting = (HIWORD(::GetQueueStatus(QS_TIMER)) & QS_TIMER) != 0 ? 1 : 0;
        m_nTimerAskedAt = nNow;
    }
    return m_nTimerWaiting;
}

void CSmiliesField::OnVTimer(int nId, int /*nAmount*/)
{
    for (int i = 0; i < m_OwnTimers.GetSize(); i++)
        if (static_cast<int>(m_OwnTimers[i]) == nId)
            return;
    if (m_pTable != NULL && m_nCellHeight > 0) {
        const int nPos = GetScrollPos();
        const int nFirst = (nPos + m_rcView.top) / m_nCellHeight;
        const int nLast = (nPos + m_rcView.bottom) / m_nCellHeight;
        for (int r = nFirst; r <= nLast && r < m_pTable->GetRowCount(); r++) {
            for (int c = m_pTable->GetColumnCount() - 1; c >= 0; c--) {
                CSmilie* pSmilie = m_pTable->GetAt(c, r);
                if (pSmilie == NULL || static_cast<int>(pSmilie->m_nAnimTimer) != nId)
                    continue;
                KillSmilieTimer(pSmilie);
                if (pSmilie->m_nContentState < 2)
                    return;
                pSmilie->m_nFrameIndex = (pSmilie->m_nFrameIndex + 1) % pSmilie->m_nContentState;
                if (!HasGdiObjects())
                    return;
                // Drawn and shown through one memory DC. A step that changed
                // nothing has nothing to show; a busy thread shows fewer
                // frames rather than queueing them.
                CBackBufDC dc(this);
                RECT rcOut = {0, 0, 0, 0};
                DrawCellOn(dc, TRUE, TRUE, &rcOut, pSmilie);
                if (!::IsRectEmpty(&rcOut) && !IsTimerWaiting() && IsWindowVisible())
                    ShowFromBackBuffer(dc, rcOut);
                return;
            }
        }
        for (int r = 0; r < m_pTable->GetRowCount(); r++) {
            for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
                CSmilie* pSmilie = m_pTable->GetAt(c, r);
                if (pSmilie != NULL && static_cast<int>(pSmilie->m_nAnimTimer) == nId) {
                    KillSmilieTimer(pSmilie);
                    return;
                }
            }
        }
    }
    if (HasVTimer(nId))
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, nId);
}
