#include "ui3d/controls/3DScrollBar.h"

#include "services/Languages.h"
#include "services/Messages.h"
#include "collection/ImageReader.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/drawing/Frames.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/SkinBackground.h"
#include "ui3d/drawing/Tiling.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"

#include <vector>

namespace {

// Cells of the part cache.
const int CELL_VISIBLE = 0;
const int CELL_NORMAL = 1;    // arrows and track; + 1 hovered, + 2 pressed
const int CELL_THUMB = 4;     // thumb normal; + 1 hovered, + 2 pressed

// The auto-repeat's first step waits 400 ms (40 ticks of 10 ms).
const int REPEAT_FIRST_DIVIDER = 40;

const int MENU_TEXTS_HORZ[7] = {502, 503, 504, 505, 506, 507, 508};
const int MENU_TEXTS_VERT[7] = {502, 509, 510, 511, 512, 513, 514};

BOOL ImageLoaded(const IMAGELAYER& layer)
{
    return layer.pImage != NULL && CImageReader::IsLoaded(*layer.pImage);
}

// A glyph colour for a disabled arrow: the button colour moved a fifth of
// the way toward the glyph colour, channel by channel.
COLORREF DisabledGlyphColor(COLORREF clrButton, COLORREF clrGlyph)
{
    int c[3];
    for (int i = 0; i < 3; i++) {
        const int b = (clrButton >> (8 * i)) & 0xFF;
        const int a = (clrGlyph >> (8 * i)) & 0xFF;
        const int d = (b < a ? a - b : b - a) * 20 / 100;
        c[i] = b < a ? b + d : b - d;
    }
    return RGB(c[0], c[1], c[2]);
}


}  // namespace

BOOL (WINAPI* C3DScrollBar::s_pfnGetCursorPos)(LPPOINT) = ::GetCursorPos;

C3DScrollBar::C3DScrollBar()
    : m_bHorizontal(0), m_nThickness(0), m_nPos(0), m_nArrowBits(SBA_SECOND), m_nRepeatInterval(20),
      m_nState(SBST_IDLE), m_nDragOffset(0), m_nRepeatCode(0), m_bFirstDelay(0)
{
    const int codes[6] = {SB_PAGEUP, SB_PAGEDOWN, SB_LINEUP, SB_LINEDOWN, SB_TOP, SB_BOTTOM};
    for (int i = 0; i < 6; i++)
        m_nCodes[i] = codes[i];
}

C3DScrollBar::~C3DScrollBar()
{
}

BOOL C3DScrollBar::Create(BOOL bHorizontal, const SCROLLBARSTYLE* pStyle, int nThickness, CWnd* pParent,
                          int nArrowLength, const int* pPlacement)
{
    m_bHorizontal = bHorizontal ? 1 : 0;
    m_Geo.bArrowsOnly = m_Geo.bNoArrows = 0;
    m_nArrowBits = SBA_SECOND;
    m_nRepeatInterval = 20;
    if (pStyle != NULL)
        CopyControlLook(m_Style, *pStyle);
    RECT rcParent = {0, 0, 0, 0};
    if (pParent != NULL)
        ::GetClientRect(pParent->m_hWnd, &rcParent);
    const int nParentAlong = bHorizontal ? rcParent.right : rcParent.bottom;

    int nThick = nThickness != 0 ? nThickness : ::GetSystemMetrics(bHorizontal ? SM_CYHSCROLL : SM_CXVSCROLL);
    if (nThick == 0)
        return FALSE;
    if (nThick < 6)
        nThick = 6;
    m_nThickness = nThick;

    const int nLength = pPlacement != NULL && pPlacement[2] > 0 ? pPlacement[2] : nParentAlong;

    int nArrow = nArrowLength != 0 ? nArrowLength : ::GetSystemMetrics(bHorizontal ? SM_CXHSCROLL : SM_CYVSCROLL);
    if (nArrow == 0)
        return FALSE;
    if (nArrowLength == 1) {
        m_Geo.bNoArrows = 1;
        nArrow = 0;
    } else {
        if (nArrowLength < 0 || nArrow > nParentAlong / 3) {
            m_Geo.bArrowsOnly = 1;
            nArrow = nLength / 2;
        }
        if (nArrow < 6)
            nArrow = 6;
    }
    // The arrows and the smallest thumb must fit the bar's own length: a bar
    // placed shorter than its parent would otherwise get a negative track.
    if (!m_Geo.bArrowsOnly && 2 * nArrow + SB_MIN_THUMB >= nLength)
        return FALSE;
    m_Geo.nLength = nLength;
    m_Geo.nArrowLength = nArrow;
    m_Geo.nTrackLength = nLength - 2 * nArrow;

    RECT rc;
    if (pPlacement != NULL) {
        rc.left = pPlacement[0];
        rc.top = pPlacement[1];
    } else if (bHorizontal) {
        rc.left = 0;
        rc.top = rcParent.bottom - nThick;
    } else {
        const BOOL bLeft = pParent != NULL && (pParent->GetExStyle() & WS_EX_LEFTSCROLLBAR) != 0;
        rc.left = bLeft ? 0 : rcParent.right - nThick;
        rc.top = 0;
    }
    rc.right = rc.left + (bHorizontal ? nLength : nThick);
    rc.bottom = rc.top + (bHorizontal ? nThick : nLength);
    return CreateControl(rc, pParent, WS_CHILD | WS_VISIBLE);
}

// --- scroll state ------------------------------------------------------------------

BOOL C3DScrollBar::GetScrollInfo(SCROLLINFO* pInfo)
{
    if (pInfo->fMask & SIF_PAGE)
        pInfo->nPage = static_cast<UINT>(m_Geo.nPage);
    if (pInfo->fMask & SIF_POS)
        pInfo->nPos = m_nPos;
    if (pInfo->fMask & SIF_RANGE) {
        pInfo->nMin = m_Geo.nMin;
        pInfo->nMax = m_Geo.nMax;
    }
    return TRUE;
}

int C3DScrollBar::SetScrollValues(int nMin, int nMax, int nPage, int nPos)
{
    const int nOldThumb = m_Geo.nThumbLength;
    m_Geo.nMin = nMin;
    m_Geo.nMax = nMax;
    m_Geo.nPage = nPage;
    m_Geo.nThumbLength = SbThumbLength(m_Geo);
    SetPosition(nPos);
    return nOldThumb;
}

void C3DScrollBar::SetPosition(int nPos)
{
    m_nPos = nPos;
    m_Geo.nThumbOffset = UnitsToPixels(nPos);
    const int nTravel = SbThumbTravel(m_Geo);
    if (m_Geo.nThumbOffset > nTravel) {
        m_Geo.nThumbOffset = nTravel;
        m_nPos = PixelsToUnits(nTravel);
    }
}

BOOL C3DScrollBar::SetScrollInfo(const SCROLLINFO* pInfo)
{
    const int nPage = (pInfo->fMask & SIF_PAGE) ? static_cast<int>(pInfo->nPage) : m_Geo.nPage;
    const int nPos = (pInfo->fMask & SIF_POS) ? pInfo->nPos : m_nPos;
    const int nMin = (pInfo->fMask & SIF_RANGE) ? pInfo->nMin : m_Geo.nMin;
    const int nMax = (pInfo->fMask & SIF_RANGE) ? pInfo->nMax : m_Geo.nMax;
    if (!(nMin < nMax && nMin <= nPos && nPos <= nMax && nMin <= nPage && nPage <= nMax))
        return FALSE;

    const int nPartBefore = m_bHovering ? HitTest(m_nMouseX, m_nMouseY) : SBP_NONE;
    const int nOldThumb = SetScrollValues(nMin, nMax, nPage, nPos);
    if (nOldThumb != m_Geo.nThumbLength && !m_Geo.bArrowsOnly && m_PartCache.GetSafeHandle() != NULL) {
        CSelectedBitmapDC dc(NULL, static_cast<HBITMAP>(m_PartCache.GetSafeHandle()));
        RenderThumbCells(dc.m_hDC);
    }
    if (m_nState != SBST_IDLE) {
        const int nPart = m_bHovering ? HitTest(m_nMouseX, m_nMouseY) : SBP_NONE;
        if (nPart != nPartBefore) {
            m_nState = HoverStateOf(nPart);
            // The thumb has reached the cursor: paging stops here.
            if (m_bLeftDown && (m_nRepeatCode == m_nCodes[CODE_PAGEBEFORE] || m_nRepeatCode == m_nCodes[CODE_PAGEAFTER]))
                StopRepeat();
        }
    }
    return TRUE;
}

int C3DScrollBar::SetScrollPos(int nPos)
{
    const int nOldPos = m_nPos;
    const int nOldState = m_nState;
    const int nOldOffset = m_Geo.nThumbOffset;
    SCROLLINFO si = {sizeof(si), SIF_POS, 0, 0, 0, nPos, 0};
    if (!SetScrollInfo(&si))
        return nOldPos;
    if (m_Geo.nThumbOffset == nOldOffset)
        return nOldPos;
    if (m_nState != nOldState)
        RedrawParts(SBP_ALL, nOldOffset);
    else
        RedrawParts(SBP_THUMB, nOldOffset);
    return nOldPos;
}

int C3DScrollBar::HitTest(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_nClientWidth || y >= m_nClientHeight)
        return SBP_NONE;
    return SbHitTest(m_Geo, Along(x, y));
}

int C3DScrollBar::HoverStateOf(int nPart) const
{
    switch (nPart) {
    case SBP_THUMB: return SBST_THUMBHOT;
    case SBP_PAGEBEFORE: return SBST_PAGEBEFOREHOT;
    case SBP_PAGEAFTER: return SBST_PAGEAFTERHOT;
    case SBP_FIRSTARROW: return SBST_FIRSTHOT;
    case SBP_SECONDARROW: return SBST_SECONDHOT;
    }
    return SBST_IDLE;
}

BOOL C3DScrollBar::EnableScrollBar(UINT nArrows)
{
    HDC hDC = NULL;
    CSelectedBitmapDC dc(NULL, static_cast<HBITMAP>(m_PartCache.GetSafeHandle()));
    if (m_PartCache.GetSafeHandle() != NULL)
        hDC = dc.m_hDC;
    switch (nArrows) {
    case ESB_ENABLE_BOTH: {
        if ((m_nArrowBits & (SBA_FIRST | SBA_SECOND)) == (SBA_FIRST | SBA_SECOND))
            return FALSE;
        const int nMissing = ~m_nArrowBits & (SBA_FIRST | SBA_SECOND);
        m_nArrowBits |= SBA_FIRST | SBA_SECOND;
        if (nMissing & SBA_FIRST) {
            RenderArrowGlyphs(hDC, 0);
            RedrawParts(SBP_FIRSTARROW, m_Geo.nThumbOffset);
        }
        if (nMissing & SBA_SECOND) {
            RenderArrowGlyphs(hDC, 1);
            RedrawParts(SBP_SECONDARROW, m_Geo.nThumbOffset);
        }
        return TRUE;
    }
    case ESB_DISABLE_LTUP:
    case ESB_DISABLE_RTDN: {
        const BOOL bFirst = nArrows == ESB_DISABLE_LTUP;
        const int nBit = bFirst ? SBA_FIRST : SBA_SECOND;
        if (!(m_nArrowBits & nBit))
            return FALSE;
        m_nArrowBits &= ~nBit;
        RenderArrowGlyphs(hDC, bFirst ? 0 : 1);
        if (m_nState == (bFirst ? SBST_FIRSTPRESSED : SBST_SECONDPRESSED)) {
            StopRepeat();
            m_nState = SBST_IDLE;
            PostCode(SB_ENDSCROLL, 0);
        } else if (m_nState == (bFirst ? SBST_FIRSTHOT : SBST_SECONDHOT)) {
            m_nState = SBST_IDLE;
        }
        RedrawParts(bFirst ? SBP_FIRSTARROW : SBP_SECONDARROW, m_Geo.nThumbOffset);
        return TRUE;
    }
    case ESB_DISABLE_BOTH: {
        const int nWas = m_nArrowBits & (SBA_FIRST | SBA_SECOND);
        if (nWas == 0)
            return FALSE;
        m_nArrowBits &= ~(SBA_FIRST | SBA_SECOND);
        if (nWas & SBA_FIRST)
            RenderArrowGlyphs(hDC, 0);
        if (nWas & SBA_SECOND)
            RenderArrowGlyphs(hDC, 1);
        StopRepeat();
        if (m_nState == SBST_FIRSTPRESSED || m_nState == SBST_PAGEBEFOREPRESSED || m_nState == SBST_PAGEAFTERPRESSED ||
            m_nState == SBST_SECONDPRESSED)
            PostCode(SB_ENDSCROLL, 0);
        m_nState = SBST_IDLE;
        RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
        return TRUE;
    }
    }
    return FALSE;
}

BOOL C3DScrollBar::SetStyle(const SCROLLBARSTYLE* pStyle)
{
    const int nMask = pStyle->nApplyMask;
    SCROLLBARPARTLOOK* pDest[3] = {&m_Style.track, &m_Style.thumb, &m_Style.buttons};
    const SCROLLBARPARTLOOK* pSrc[3] = {&pStyle->track, &pStyle->thumb, &pStyle->buttons};
    for (int g = 0; g < 3; g++) {
        if (!(nMask & (SBS_APPLY_TRACK << g)))
            continue;
        for (int i = 0; i < 3; i++) {
            if (nMask & SBS_APPLY_COLORS)
                pDest[g]->colors[i] = pSrc[g]->colors[i];
            if (nMask & SBS_APPLY_LAYERS) {
                pDest[g]->gradients[i] = pSrc[g]->gradients[i];
                pDest[g]->layers[i] = pSrc[g]->layers[i];
            }
        }
    }
    if (nMask & SBS_APPLY_ARROWCOLORS) {
        for (int i = 0; i < 3; i++)
            m_Style.arrowColors[i] = pStyle->arrowColors[i];
    }
    if (nMask & SBS_APPLY_BORDERCOLORS) {
        m_Style.borderLightColors = pStyle->borderLightColors;
        m_Style.borderDarkColors = pStyle->borderDarkColors;
    }
    if (nMask & SBS_APPLY_OPTIONS) {
        m_Style.nOptions = pStyle->nOptions;
        m_Style.nBorders = pStyle->nBorders;
        m_Style.nThumbOpacity = pStyle->nThumbOpacity;
        m_Style.nThumbEndOpacity = pStyle->nThumbEndOpacity;
        m_Style.nThumbFadeLength = pStyle->nThumbFadeLength;
    }
    if (m_hWnd != NULL) {
        BuildPartCache();
        RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
    }
    return TRUE;
}

void C3DScrollBar::ShowState(int nState)
{
    m_nState = nState;
    RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
}

// --- the part cache ------------------------------------------------------------------

RECT C3DScrollBar::CellRect(int nCell, int nAlong, int nAlongLength) const
{
    RECT rc;
    if (m_bHorizontal) {
        rc.left = nAlong;
        rc.right = nAlong + nAlongLength;
        rc.top = nCell * m_nThickness;
        rc.bottom = rc.top + m_nThickness;
    } else {
        rc.left = nCell * m_nThickness;
        rc.right = rc.left + m_nThickness;
        rc.top = nAlong;
        rc.bottom = nAlong + nAlongLength;
    }
    return rc;
}

BOOL C3DScrollBar::BuildPartCache()
{
    m_PartCache.DeleteObject();
    const int nCells = m_Geo.bArrowsOnly ? 4 : 7;
    const int cx = m_bHorizontal ? m_Geo.nLength : nCells * m_nThickness;
    const int cy = m_bHorizontal ? nCells * m_nThickness : m_Geo.nLength;
    if (cx <= 0 || cy <= 0)
        return FALSE;
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, cx, cy);
    ::ReleaseDC(NULL, hScreen);
    if (hBitmap == NULL)
        return FALSE;
    m_PartCache.Attach(hBitmap);
    BOOL bOk = TRUE;
    {
        CSelectedBitmapDC dc(NULL, hBitmap);
        if (dc.m_hDC == NULL)
            bOk = FALSE;
        if (bOk && !m_Geo.bNoArrows)
            bOk = RenderArrowCells(dc.m_hDC, 0) && RenderArrowCells(dc.m_hDC, 1);
        if (bOk && !m_Geo.bArrowsOnly)
            bOk = RenderThumbCells(dc.m_hDC) && RenderTrackCells(dc.m_hDC);
    }
    if (!bOk)
        m_PartCache.DeleteObject();
    return bOk;
}

// Copies hBitmap (rc's height wide, rc's width high) into rc with its rows
// and columns exchanged. FALSE when its pixels cannot be read.
static BOOL CopyTurned(HDC hDC, const RECT& rc, HBITMAP hBitmap)
{
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cy;
    bmi.bmiHeader.biHeight = -cx;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> in(size_t(cx) * cy), out(size_t(cx) * cy);
    HDC hScreen = ::GetDC(NULL);
    const int nRows = ::GetDIBits(hScreen, hBitmap, 0, UINT(cx), in.data(), &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hScreen);
    if (nRows != cx)
        return FALSE;
    // in: cx rows of cy pixels; out: cy rows of cx pixels.
    for (int y = 0; y < cy; y++)
        for (int x = 0; x < cx; x++)
            out[size_t(y) * cx + x] = in[size_t(x) * cy + y];
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    return ::SetDIBitsToDevice(hDC, rc.left, rc.top, DWORD(cx), DWORD(cy), 0, 0, 0, UINT(cy), out.data(), &bmi,
                               DIB_RGB_COLORS) != 0;
}

BOOL C3DScrollBar::DrawPartCell(HDC hDC, int nCell, int nAlong, int nAlongLength, const SCROLLBARPARTLOOK& look,
                                int nLook, BOOL bBorder, BOOL bSwapBorder)
{
    if (nAlongLength <= 0)
        return TRUE;
    const RECT rc = CellRect(nCell, nAlong, nAlongLength);
    const SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    const POINT ptOrigin = {0, 0};
    // A part's look is drawn for a vertical bar; a horizontal bar shows it
    // turned, so its shading and grip lie across the bar as they should.
    const SIZE sizeDrawn = m_bHorizontal ? SIZE{size.cy, size.cx} : size;
    HBITMAP hBack = CreateSkinBackground(sizeDrawn, look.colors[nLook].Get(g_nSkinColorScheme), look.gradients[nLook],
                                         look.layers[nLook], ptOrigin);
    if (hBack == NULL)
        return FALSE;
    if (!m_bHorizontal || !CopyTurned(hDC, rc, hBack)) {
        CSelectedBitmapDC src(NULL, hBack);
        ::BitBlt(hDC, rc.left, rc.top, size.cx, size.cy, src.m_hDC, 0, 0, SRCCOPY);
    }
    ::DeleteObject(hBack);
    // A skin whose buttons are pictures brings its own edges.
    const BOOL bImageButtons = ImageLoaded(m_Style.buttons.layers[0]) && !(m_Style.nOptions & SBS_BORDERSOVERIMAGE);
    if (bBorder && !bImageButtons) {
        COLORREF clrLight = m_Style.borderLightColors.Get(g_nSkinColorScheme);
        COLORREF clrDark = m_Style.borderDarkColors.Get(g_nSkinColorScheme);
        if (bSwapBorder) {
            const COLORREF c = clrLight;
            clrLight = clrDark;
            clrDark = c;
        }
        Draw3DFrameLines(hDC, rc, clrLight, clrDark);
    }
    return TRUE;
}

BOOL C3DScrollBar::RenderArrowCells(HDC hDC, int nArrow)
{
    const int nAlong = nArrow == 0 ? 0 : m_Geo.nArrowLength;
    const BOOL bBorder = (m_Style.nBorders & SBS_BORDER_BUTTONS) != 0;
    for (int nLook = 0; nLook < 3; nLook++) {
        const BOOL bSwap = nLook == 2 && (m_Style.nOptions & SBS_BUTTONBORDERSWAP);
        if (!DrawPartCell(hDC, CELL_NORMAL + nLook, nAlong, m_Geo.nArrowLength, m_Style.buttons, nLook, bBorder, bSwap))
            return FALSE;
    }
    RenderArrowGlyphs(hDC, nArrow);
    return TRUE;
}

void C3DScrollBar::RenderArrowGlyphs(HDC hDC, int nArrow)
{
    if (hDC == NULL || m_Geo.bNoArrows || !(m_Style.nOptions & SBS_ARROWS))
        return;
    const int nAlong = nArrow == 0 ? 0 : m_Geo.nArrowLength;
    const int nDirection = m_bHorizontal ? (nArrow == 0 ? ARROW_LEFT : ARROW_RIGHT) : (nArrow == 0 ? ARROW_UP : ARROW_DOWN);
    const BOOL bEnabled = (m_nArrowBits & (nArrow == 0 ? SBA_FIRST : SBA_SECOND)) != 0;
    CDC dc;
    dc.Attach(hDC);
    for (int nLook = 0; nLook < 3; nLook++) {
        RECT rc = CellRect(CELL_NORMAL + nLook, nAlong, m_Geo.nArrowLength);
        COLORREF clr = m_Style.arrowColors[nLook].Get(g_nSkinColorScheme);
        if (nLook == 0 && !bEnabled)
            clr = DisabledGlyphColor(m_Style.buttons.colors[0].Get(g_nSkinColorScheme), clr);
        if (nLook == 2) {
            const int nShiftBits = m_Style.nOptions & (SBS_PRESSEDARROWDOWN | SBS_PRESSEDARROWUP);
            const int nShift = nShiftBits == SBS_PRESSEDARROWDOWN ? 1 : nShiftBits == SBS_PRESSEDARROWUP ? -1 : 0;
            ::OffsetRect(&rc, nShift, nShift);
        }
        DrawArrow(&dc, &rc, clr, nDirection);
    }
    dc.Detach();
}

int C3DScrollBar::DrawArrow(CDC* pDC, const RECT* pRect, COLORREF clr, int nDirection)
{
    return DrawArrowGlyph(*pRect, pDC != NULL ? pDC->m_hDC : NULL, clr, nDirection);
}

BOOL C3DScrollBar::RenderThumbCells(HDC hDC)
{
    const BOOL bBorder = (m_Style.nBorders & SBS_BORDER_THUMB) != 0;
    const int nLen = m_Geo.nThumbLength;
    for (int nLook = 0; nLook < 3; nLook++) {
        const BOOL bSwap = nLook == 2 && (m_Style.nOptions & SBS_THUMBBORDERSWAP);
        if (!DrawPartCell(hDC, CELL_THUMB + nLook, 0, nLen, m_Style.thumb, nLook, bBorder, bSwap))
            return FALSE;
    }
    if ((m_Style.nOptions & (SBS_THUMBGRIP | SBS_ARROWS)) != (SBS_THUMBGRIP | SBS_ARROWS))
        return TRUE;
    const RECT rcSquare = {0, 0, m_nThickness, m_nThickness};
    const int nGlyph = DrawArrowGlyph(rcSquare, NULL, 0, ARROW_UP);
    if (nGlyph <= 0 || nLen <= 2 * nGlyph + 5)
        return TRUE;
    const int nGripBits = m_Style.nOptions & (SBS_GRIPUP | SBS_GRIPDOWN);
    const int nGripShift = nGripBits == SBS_GRIPDOWN ? 1 : nGripBits == SBS_GRIPUP ? -1 : 0;
    const int nCentre = nLen / 2;
    for (int nLook = 1; nLook < 3; nLook++) {
        const COLORREF clr = m_Style.arrowColors[nLook].Get(g_nSkinColorScheme);
        const int nShift = nLook == 2 ? nGripShift : 0;
        // Two glyphs meeting at the centre, one pointing to each end of the bar.
        for (int nHalf = 0; nHalf < 2; nHalf++) {
            const int nMid = nHalf == 0 ? nCentre - (nGlyph + 1) / 2 : nCentre + nGlyph / 2;
            RECT rc = CellRect(CELL_THUMB + nLook, nMid - m_nThickness / 2, m_nThickness);
            ::OffsetRect(&rc, nShift, nShift);
            const int nDir = m_bHorizontal ? (nHalf == 0 ? ARROW_LEFT : ARROW_RIGHT) : (nHalf == 0 ? ARROW_UP : ARROW_DOWN);
            DrawArrowGlyph(rc, hDC, clr, nDir);
        }
    }
    return TRUE;
}

BOOL C3DScrollBar::RenderTrackCells(HDC hDC)
{
    const BOOL bBorder = (m_Style.nBorders & SBS_BORDER_TRACK) != 0;
    const int nAlong = 2 * m_Geo.nArrowLength;
    const int nLen = m_Geo.nTrackLength;
    for (int nLook = 0; nLook < 3; nLook++) {
        if (!DrawPartCell(hDC, CELL_NORMAL + nLook, nAlong, nLen, m_Style.track, nLook, bBorder, FALSE))
            return FALSE;
    }
    if (!(m_Style.nOptions & SBS_PRESSEDTRACKSHIFT) || nLen <= 1)
        return TRUE;
    // The pressed track is the hovered one pushed in by a pixel.
    const RECT rcHot = CellRect(CELL_NORMAL + 1, nAlong, nLen);
    const RECT rcPressed = CellRect(CELL_NORMAL + 2, nAlong, nLen);
    const int cx = rcPressed.right - rcPressed.left;
    const int cy = rcPressed.bottom - rcPressed.top;
    ::BitBlt(hDC, rcPressed.left + 1, rcPressed.top + 1, cx - 1, cy - 1, hDC, rcHot.left, rcHot.top, SRCCOPY);
    const COLORREF clrLight = m_Style.borderLightColors.Get(g_nSkinColorScheme);
    const COLORREF clrDark = m_Style.borderDarkColors.Get(g_nSkinColorScheme);
    if (bBorder)
        Draw3DFrameLines(hDC, rcPressed, clrDark, clrLight);
    FillSolidRect(hDC, RECT{rcPressed.left, rcPressed.top, rcPressed.right, rcPressed.top + 1}, clrDark);
    FillSolidRect(hDC, RECT{rcPressed.left, rcPressed.top, rcPressed.left + 1, rcPressed.bottom}, clrDark);
    return TRUE;
}

// --- composing cell 0 -------------------------------------------------------------------

void C3DScrollBar::CopyCell(HDC hDC, int nCell, int nSrcAlong, int nDestAlong, int nLength)
{
    if (nLength <= 0)
        return;
    const RECT rcSrc = CellRect(nCell, nSrcAlong, nLength);
    const RECT rcDest = CellRect(CELL_VISIBLE, nDestAlong, nLength);
    ::BitBlt(hDC, rcDest.left, rcDest.top, rcDest.right - rcDest.left, rcDest.bottom - rcDest.top, hDC, rcSrc.left,
             rcSrc.top, SRCCOPY);
}

void C3DScrollBar::DrawThumb(HDC hDC, int nLook)
{
    const int nArrow = m_Geo.nArrowLength;
    const int nLen = m_Geo.nThumbLength;
    const int nDest = nArrow + m_Geo.nThumbOffset;
    const BOOL bBlend = (m_Style.nThumbOpacity != 0 || m_Style.nThumbFadeLength != 0) && g_pExportedFuncs != NULL &&
                        g_pExportedFuncs->pAlphaBlend != NULL;
    if (!bBlend) {
        CopyCell(hDC, CELL_THUMB + nLook, 0, nDest, nLen);
        return;
    }
    // The track of the same look shows through the thumb.
    CopyCell(hDC, CELL_NORMAL + nLook, nDest + nArrow, nDest, nLen);
    const BOOL bVert = !m_bHorizontal;
    const RECT rcDest = CellRect(CELL_VISIBLE, nDest, nLen);
    const RECT rcSrc = CellRect(CELL_THUMB + nLook, 0, nLen);
    const int cx = rcDest.right - rcDest.left;
    const int cy = rcDest.bottom - rcDest.top;
    const int nOpacity = m_Style.nThumbOpacity;
    const int nEnd = m_Style.nThumbEndOpacity;
    const int f = m_Style.nThumbFadeLength * (nLen / 2) / 255;
    BOOL bOk;
    if (nEnd != nOpacity && m_Style.nThumbFadeLength != 0) {
        const int dx = m_bHorizontal ? 1 : 0;
        const int dy = 1 - dx;
        const int nMid = nLen - 2 * f;
        // The piece of the thumb nExtent long from nFrom along it, and where its source starts.
        auto piece = [&](int nFrom, int nExtent) {
            const LONG left = rcDest.left + dx * nFrom, top = rcDest.top + dy * nFrom;
            return RECT{left, top, left + (dx ? nExtent : cx), top + (dy ? nExtent : cy)};
        };
        auto source = [&](int nFrom) { return POINT{rcSrc.left + dx * nFrom, rcSrc.top + dy * nFrom}; };
        bOk = AlphaBlendFaded(hDC, piece(f, nMid), hDC, source(f), bVert, nOpacity, nOpacity);
        bOk = bOk && AlphaBlendFaded(hDC, piece(0, f), hDC, source(0), bVert, nEnd, nOpacity);
        bOk = bOk && AlphaBlendFaded(hDC, piece(nLen - f, f), hDC, source(nLen - f), bVert, nOpacity, nEnd);
    } else {
        bOk = AlphaBlendFaded(hDC, rcDest, hDC, POINT{rcSrc.left, rcSrc.top}, bVert, nOpacity, nOpacity);
    }
    if (!bOk)
        CopyCell(hDC, CELL_THUMB + nLook, 0, nDest, nLen);
}

void C3DScrollBar::RedrawParts(int nMask, int nOldThumbOffset)
{
    if (m_hWnd == NULL || m_PartCache.GetSafeHandle() == NULL)
        return;
    const int nArrow = m_Geo.nArrowLength;
    const int nLength = m_Geo.nLength;
    const int nOffset = m_Geo.nThumbOffset;
    const int nThumb = m_Geo.nThumbLength;
    int nLo = nLength;
    int nHi = 0;
    auto Touch = [&](int a, int b) {
        if (b <= a)
            return;
        if (a < nLo)
            nLo = a;
        if (b > nHi)
            nHi = b;
    };
    const int nBeforeLook = m_nState == SBST_PAGEBEFOREHOT ? 1 : m_nState == SBST_PAGEBEFOREPRESSED ? 2 : 0;
    const int nAfterLook = m_nState == SBST_PAGEAFTERHOT ? 1 : m_nState == SBST_PAGEAFTERPRESSED ? 2 : 0;
    CSelectedBitmapDC dc(NULL, static_cast<HBITMAP>(m_PartCache.GetSafeHandle()));
    HDC hDC = dc.m_hDC;
    if ((nMask & SBP_THUMB) && !m_Geo.bArrowsOnly) {
        const int nLook = m_nState == SBST_THUMBHOT ? 1 : m_nState == SBST_THUMBDRAGGED ? 2 : 0;
        DrawThumb(hDC, nLook);
        Touch(nArrow + nOffset, nArrow + nOffset + nThumb);
        if (nMask != SBP_ALL) {
            if (nOffset > nOldThumbOffset) {
                const int a = nArrow + nOldThumbOffset;
                CopyCell(hDC, CELL_NORMAL + nBeforeLook, a + nArrow, a, nOffset - nOldThumbOffset);
                Touch(a, nArrow + nOffset);
            } else if (nOffset < nOldThumbOffset) {
                const int a = nArrow + nOffset + nThumb;
                CopyCell(hDC, CELL_NORMAL + nAfterLook, a + nArrow, a, nOldThumbOffset - nOffset);
                Touch(a, a + nOldThumbOffset - nOffset);
            }
        }
    }
    if ((nMask & SBP_FIRSTARROW) && !m_Geo.bNoArrows) {
        const int nLook = m_nState == SBST_FIRSTHOT ? 1 : m_nState == SBST_FIRSTPRESSED ? 2 : 0;
        CopyCell(hDC, CELL_NORMAL + nLook, 0, 0, nArrow);
        Touch(0, nArrow);
    }
    if ((nMask & SBP_SECONDARROW) && !m_Geo.bNoArrows) {
        const int nLook = m_nState == SBST_SECONDHOT ? 1 : m_nState == SBST_SECONDPRESSED ? 2 : 0;
        CopyCell(hDC, CELL_NORMAL + nLook, nArrow, nLength - nArrow, nArrow);
        Touch(nLength - nArrow, nLength);
    }
    if ((nMask & SBP_PAGEBEFORE) && nOffset > 0 && !m_Geo.bArrowsOnly) {
        CopyCell(hDC, CELL_NORMAL + nBeforeLook, 2 * nArrow, nArrow, nOffset);
        Touch(nArrow, nArrow + nOffset);
    }
    if ((nMask & SBP_PAGEAFTER) && !m_Geo.bArrowsOnly) {
        const int a = nArrow + nOffset + nThumb;
        CopyCell(hDC, CELL_NORMAL + nAfterLook, a + nArrow, a, nLength - nArrow - a);
        Touch(a, nLength - nArrow);
    }
    if (m_Geo.bArrowsOnly && 2 * nArrow < nLength) {
        const RECT rc = CellRect(CELL_VISIBLE, nArrow, nLength - 2 * nArrow);
        FillSolidRect(hDC, rc, m_Style.track.colors[0].Get(g_nSkinColorScheme));
        Touch(nArrow, nLength - nArrow);
    }
    if (nHi > nLo) {
        const RECT rc = CellRect(CELL_VISIBLE, nLo, nHi - nLo);
        RedrawRect(rc);
    }
}

// --- window life ---------------------------------------------------------------------------

void C3DScrollBar::OnCreated()
{
    const int codes[6] = {SB_PAGEUP, SB_PAGEDOWN, SB_LINEUP, SB_LINEDOWN, SB_TOP, SB_BOTTOM};
    for (int i = 0; i < 6; i++)
        m_nCodes[i] = codes[i];
    m_nState = SBST_IDLE;
    m_Geo.nThumbOffset = 0;
    m_Geo.nLength = m_bHorizontal ? m_nClientWidth : m_nClientHeight;
    m_nThickness = m_bHorizontal ? m_nClientHeight : m_nClientWidth;
    m_Geo.nTrackLength = m_Geo.nLength - 2 * m_Geo.nArrowLength;
    SetScrollValues(0, 1, 1, 0);
    BuildPartCache();
    RedrawParts(SBP_ALL, 0);
}

void C3DScrollBar::OnSizeChanged(int cx, int cy)
{
    m_Geo.nLength = m_bHorizontal ? cx : cy;
    m_nThickness = m_bHorizontal ? cy : cx;
    if (m_Geo.bArrowsOnly)
        m_Geo.nArrowLength = m_Geo.nLength / 2;
    m_Geo.nTrackLength = m_Geo.nLength - 2 * m_Geo.nArrowLength;
    BuildPartCache();
    RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
}

void C3DScrollBar::OnDisplayChanged()
{
    BuildPartCache();
    RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
}

void C3DScrollBar::OnDestroying()
{
    StopRepeat();
    m_PartCache.DeleteObject();
}

// --- notifications ----------------------------------------------------------------------------

HWND C3DScrollBar::NotifyTarget() const
{
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    return hOwner != NULL ? hOwner : ::GetParent(m_hWnd);
}

void C3DScrollBar::PostCode(int nCode, int nUnits)
{
    ::PostMessageA(NotifyTarget(), m_bHorizontal ? WM_HSCROLL : WM_VSCROLL,
                   MAKEWPARAM(static_cast<WORD>(nCode), static_cast<WORD>(nUnits)), reinterpret_cast<LPARAM>(m_hWnd));
}

void C3DScrollBar::Jump(int nAlong)
{
    int nOffset = nAlong - m_Geo.nThumbLength / 2 - m_Geo.nArrowLength;
    const int nTravel = SbThumbTravel(m_Geo);
    if (nOffset > nTravel)
        nOffset = nTravel;
    if (nOffset < 0)
        nOffset = 0;
    PostCode(SB_THUMBTRACK, PixelsToUnits(nOffset));
    PostCode(SB_THUMBPOSITION, PixelsToUnits(nOffset));
}

// --- auto-repeat -------------------------------------------------------------------------------

void C3DScrollBar::StartRepeat(int nCode)
{
    StopRepeat();
    m_nRepeatCode = nCode;
    PostCode(nCode, 0);
    m_bFirstDelay = 1;
    CSmiliePreview::SetVTimer(m_hWnd, m_Animations, REPEAT_FIRST_DIVIDER);
}

void C3DScrollBar::StopRepeat()
{
    if (m_Animations.GetSize() != 0)
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, 0);
}

void C3DScrollBar::OnVTimer(int nId, int /*nAmount*/)
{
    MSG msg;
    // A slow owner is not flooded: one tick waits at a time.
    if (::PeekMessageA(&msg, m_hWnd, WM_VTIMER, WM_VTIMER, PM_NOREMOVE))
        return;
    POINT pt = {0, 0};
    s_pfnGetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    const int nPart = HitTest(pt.x, pt.y);
    int nCode = -1;
    switch (nPart) {
    case SBP_PAGEBEFORE: nCode = m_nCodes[CODE_PAGEBEFORE]; break;
    case SBP_PAGEAFTER: nCode = m_nCodes[CODE_PAGEAFTER]; break;
    case SBP_FIRSTARROW: nCode = m_nCodes[CODE_LINEBEFORE]; break;
    case SBP_SECONDARROW: nCode = m_nCodes[CODE_LINEAFTER]; break;
    }
    if (nCode >= 0 && nCode == m_nRepeatCode) {
        if (m_bFirstDelay) {
            CSmiliePreview::KillVTimer(m_hWnd, m_Animations, nId);
            int nDivider = m_nRepeatInterval / 10;
            CSmiliePreview::SetVTimer(m_hWnd, m_Animations, nDivider > 0 ? nDivider : 1);
            m_bFirstDelay = 0;
        } else {
            PostCode(nCode, 0);
        }
        return;
    }
    // Moving off the part ends the repeat for good.
    StopRepeat();
    m_bFirstDelay = 0;
}

// --- mouse -------------------------------------------------------------------------------------

void C3DScrollBar::OnMouseMove(UINT nFlags, int x, int y)
{
    ::SetCursor(::LoadCursorA(NULL, IDC_ARROW));
    if (IsMouseCaptured() && !m_Geo.bArrowsOnly) {
        if (::GetCapture() == m_hWnd && (::GetKeyState(VK_LBUTTON) < 0 || (nFlags & MK_LBUTTON))) {
            int nOffset = Along(x, y) - m_nDragOffset;
            const int nTravel = SbThumbTravel(m_Geo);
            if (nOffset > nTravel)
                nOffset = nTravel;
            if (nOffset < 0)
                nOffset = 0;
            if (nOffset != m_Geo.nThumbOffset) {
                const int nOld = m_Geo.nThumbOffset;
                m_Geo.nThumbOffset = nOffset;
                RedrawParts(SBP_THUMB, nOld);
                PostCode(SB_THUMBTRACK, PixelsToUnits(nOffset));
            }
            return;
        }
        // The capture was lost or the button released elsewhere: back to hovering.
        m_bLeftDown = 0;
        m_nState = SBST_IDLE;
        if (x < 0 || y < 0 || x >= m_nClientWidth || y >= m_nClientHeight) {
            StopMouseTracking();
            return;
        }
    }
    if (!(m_nArrowBits & (SBA_FIRST | SBA_SECOND)))
        return;
    const int nPart = HitTest(x, y);
    if (m_bLeftDown && ((m_nState == SBST_FIRSTPRESSED && nPart != SBP_FIRSTARROW) ||
                        (m_nState == SBST_SECONDPRESSED && nPart != SBP_SECONDARROW))) {
        StopRepeat();
        PostCode(SB_ENDSCROLL, 0);
    }
    int nNew = m_nState;
    switch (nPart) {
    case SBP_THUMB:
        nNew = SBST_THUMBHOT;
        break;
    case SBP_PAGEBEFORE:
        if (m_nState != SBST_PAGEBEFOREHOT && m_nState != SBST_PAGEBEFOREPRESSED)
            nNew = SBST_PAGEBEFOREHOT;
        break;
    case SBP_PAGEAFTER:
        if (m_nState != SBST_PAGEAFTERHOT && m_nState != SBST_PAGEAFTERPRESSED)
            nNew = SBST_PAGEAFTERHOT;
        break;
    case SBP_FIRSTARROW:
        if (m_nState != SBST_FIRSTHOT && m_nState != SBST_FIRSTPRESSED)
            nNew = (m_nArrowBits & SBA_FIRST) ? SBST_FIRSTHOT : SBST_IDLE;
        break;
    case SBP_SECONDARROW:
        if (m_nState != SBST_SECONDHOT && m_nState != SBST_SECONDPRESSED)
            nNew = (m_nArrowBits & SBA_SECOND) ? SBST_SECONDHOT : SBST_IDLE;
        break;
    }
    if (nNew != m_nState) {
        m_nState = nNew;
        RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
    }
}

void C3DScrollBar::OnLButtonDown(UINT /*nFlags*/, int x, int y)
{
    if (!(m_nArrowBits & (SBA_FIRST | SBA_SECOND))) {
        ::SendMessageA(NotifyTarget(), WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(this), MAKELPARAM(x, y));
        return;
    }
    switch (HitTest(x, y)) {
    case SBP_THUMB:
        m_nDragOffset = Along(x, y) - m_Geo.nThumbOffset;
        m_nState = SBST_THUMBDRAGGED;
        RedrawParts(SBP_THUMB, m_Geo.nThumbOffset);
        break;
    case SBP_PAGEBEFORE:
    case SBP_PAGEAFTER: {
        const BOOL bBefore = HitTest(x, y) == SBP_PAGEBEFORE;
        const int nPressed = bBefore ? SBST_PAGEBEFOREPRESSED : SBST_PAGEAFTERPRESSED;
        if (m_nState == nPressed)
            break;
        m_nState = nPressed;
        RedrawParts(bBefore ? SBP_PAGEBEFORE : SBP_PAGEAFTER, m_Geo.nThumbOffset);
        if (m_Geo.bNoArrows)
            Jump(Along(m_nMouseX, m_nMouseY));
        else
            StartRepeat(m_nCodes[bBefore ? CODE_PAGEBEFORE : CODE_PAGEAFTER]);
        break;
    }
    case SBP_FIRSTARROW:
        if ((m_nArrowBits & SBA_FIRST) && m_nState != SBST_FIRSTPRESSED) {
            m_nState = SBST_FIRSTPRESSED;
            RedrawParts(SBP_FIRSTARROW, m_Geo.nThumbOffset);
            StartRepeat(m_nCodes[CODE_LINEBEFORE]);
        }
        break;
    case SBP_SECONDARROW:
        if ((m_nArrowBits & SBA_SECOND) && m_nState != SBST_SECONDPRESSED) {
            m_nState = SBST_SECONDPRESSED;
            RedrawParts(SBP_SECONDARROW, m_Geo.nThumbOffset);
            StartRepeat(m_nCodes[CODE_LINEAFTER]);
        }
        break;
    }
}

void C3DScrollBar::OnLButtonUp(UINT /*nFlags*/, int /*x*/, int /*y*/)
{
    StopRepeat();
    switch (m_nState) {
    case SBST_THUMBDRAGGED:
        if (!m_Geo.bArrowsOnly) {
            const int nOld = m_Geo.nThumbOffset;
            m_nState = SBST_THUMBHOT;
            m_Geo.nThumbOffset = UnitsToPixels(m_nPos);
            RedrawParts(SBP_THUMB, nOld);
            PostCode(SB_THUMBPOSITION, PixelsToUnits(m_Geo.nThumbOffset));
        }
        break;
    case SBST_PAGEBEFOREPRESSED:
    case SBST_PAGEAFTERPRESSED:
        if (m_Geo.bArrowsOnly)
            break;
        // fall through
    case SBST_FIRSTPRESSED:
    case SBST_SECONDPRESSED: {
        const int nPart = m_nState == SBST_PAGEBEFOREPRESSED ? SBP_PAGEBEFORE
                          : m_nState == SBST_PAGEAFTERPRESSED ? SBP_PAGEAFTER
                          : m_nState == SBST_FIRSTPRESSED ? SBP_FIRSTARROW : SBP_SECONDARROW;
        m_nState -= 1;
        RedrawParts(nPart, m_Geo.nThumbOffset);
        PostCode(SB_ENDSCROLL, 0);
        break;
    }
    }
}

void C3DScrollBar::OnMouseLeave()
{
    StopRepeat();
    if (m_nState == SBST_THUMBDRAGGED) {
        PostCode(SB_THUMBTRACK, PixelsToUnits(m_Geo.nThumbOffset));
        PostCode(SB_THUMBPOSITION, PixelsToUnits(m_Geo.nThumbOffset));
    } else if (m_nState == SBST_FIRSTPRESSED || m_nState == SBST_PAGEBEFOREPRESSED ||
               m_nState == SBST_PAGEAFTERPRESSED || m_nState == SBST_SECONDPRESSED) {
        PostCode(SB_ENDSCROLL, 0);
    }
    m_nState = SBST_IDLE;
    m_Geo.nThumbOffset = UnitsToPixels(m_nPos);
    RedrawParts(SBP_ALL, m_Geo.nThumbOffset);
}

void C3DScrollBar::OnRButtonDown(UINT nFlags, int x, int y)
{
    const BOOL bArrowEnabled = (m_nArrowBits & (SBA_FIRST | SBA_SECOND)) != 0;
    if ((nFlags & MK_LBUTTON) || m_bLeftDown) {
        if (!bArrowEnabled)
            ::SendMessageA(NotifyTarget(), WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(this), MAKELPARAM(x, y));
        return;
    }
    if (!bArrowEnabled) {
        ::SendMessageA(NotifyTarget(), WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(this), MAKELPARAM(x, y));
        return;
    }
    switch ((m_Style.nOptions & SBS_CONTEXTMASK) >> SBS_CONTEXTSHIFT) {
    case 1:
        ShowContextMenu(x, y);
        break;
    case 2:
        ::SendMessageA(NotifyTarget(), WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(this), MAKELPARAM(x, y));
        break;
    }
}

void C3DScrollBar::ShowContextMenu(int x, int y)
{
    const int* pTexts = m_bHorizontal ? MENU_TEXTS_HORZ : MENU_TEXTS_VERT;
    const UINT nFirstGrey = (m_nArrowBits & SBA_FIRST) ? 0 : MF_GRAYED;
    const UINT nSecondGrey = (m_nArrowBits & SBA_SECOND) ? 0 : MF_GRAYED;
    const UINT nSeparator = MF_OWNERDRAW | MF_SEPARATOR;
    C3DMenu menu;
    if (!menu.CreatePopup(&m_MenuStyle))
        return;
    if (!m_Geo.bArrowsOnly) {
        menu.AppendItem(NULL, GetLangString(pTexts[0]), MF_STRING, 1);
        menu.AppendItem(NULL, NULL, nSeparator, 0);
        menu.AppendItem(NULL, GetLangString(pTexts[1]), MF_STRING | nFirstGrey, 2);
        menu.AppendItem(NULL, GetLangString(pTexts[2]), MF_STRING | nSecondGrey, 3);
        menu.AppendItem(NULL, NULL, nSeparator, 0);
        menu.AppendItem(NULL, GetLangString(pTexts[3]), MF_STRING | nFirstGrey, 4);
        menu.AppendItem(NULL, GetLangString(pTexts[4]), MF_STRING | nSecondGrey, 5);
        menu.AppendItem(NULL, NULL, nSeparator, 0);
    }
    menu.AppendItem(NULL, GetLangString(pTexts[5]), MF_STRING | nFirstGrey, 6);
    menu.AppendItem(NULL, GetLangString(pTexts[6]), MF_STRING | nSecondGrey, 7);

    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    ::SetForegroundWindow(m_hWnd);
    const UINT nCommand = menu.Track(this, pt.x, pt.y);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    menu.DestroyMenu();
    switch (nCommand) {
    case 1: Jump(Along(m_nMouseX, m_nMouseY)); break;
    case 2: PostCode(m_nCodes[CODE_FIRST], 0); break;
    case 3: PostCode(m_nCodes[CODE_LAST], 0); break;
    case 4: PostCode(m_nCodes[CODE_PAGEBEFORE], 0); break;
    case 5: PostCode(m_nCodes[CODE_PAGEAFTER], 0); break;
    case 6: PostCode(m_nCodes[CODE_LINEBEFORE], 0); break;
    case 7: PostCode(m_nCodes[CODE_LINEAFTER], 0); break;
    }
}

// --- messages ------------------------------------------------------------------------------------

BOOL C3DScrollBar::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONUP)
        ::SendMessageA(NotifyTarget(), WM_RELAYMOUSEMSG, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(pMsg));
    return CControlBase::PreTranslateMessage(pMsg);
}

LRESULT C3DScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MENUCHAR:
        return HandleMenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* pMIS = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (pMIS->CtlType == ODT_MENU && AfxMeasureMenuItem(m_hWnd, pMIS))
            return TRUE;
        break;
    }
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}
