// C3DScrollBar: the skinned scroll bar. Looks like a Windows scroll bar drawn
// from the skin (two arrow buttons, a track and a thumb, each normal, hovered
// and pressed) and talks to its owner like a standard bar: it posts
// WM_HSCROLL / WM_VSCROLL with the bar's window in lParam.
//
// Every look of every part is rendered once into the part cache: seven cells
// side by side across the bar (cell 0 is what shows; 1..3 the arrows and the
// track normal, hovered, pressed; 4..6 the thumb), so mouse feedback and
// scrolling only copy cells and never recompute gradients or blends.
#pragma once

#include "framework/Gdi.h"
#include "ui3d/ScrollBarStyle.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/controls/ScrollBarMath.h"

// Mouse states of the bar.
enum
{
    SBST_IDLE = 0,
    SBST_FIRSTHOT = 1,
    SBST_FIRSTPRESSED = 2,
    SBST_PAGEBEFOREHOT = 3,
    SBST_PAGEBEFOREPRESSED = 4,
    SBST_THUMBHOT = 5,
    SBST_THUMBDRAGGED = 6,
    SBST_PAGEAFTERHOT = 7,
    SBST_PAGEAFTERPRESSED = 8,
    SBST_SECONDHOT = 9,
    SBST_SECONDPRESSED = 10
};

// Arrow enable bits.
enum
{
    SBA_SECOND = 0x1,
    SBA_FIRST = 0x2
};

class C3DScrollBar : public CControlBase
{
public:
    C3DScrollBar();
    ~C3DScrollBar() override;

    // Placement is (x, y, length) in the parent's client coordinates, or null:
    // then the bar lies along the parent's bottom (horizontal) or right edge
    // (left with WS_EX_LEFTSCROLLBAR). Thickness 0 and arrow length 0 take the
    // system's metrics; arrow length 1 means no arrows, a negative one makes
    // the bar two buttons of half the length (arrows only).
    BOOL Create(BOOL bHorizontal, const SCROLLBARSTYLE* pStyle, int nThickness, CWnd* pParent, int nArrowLength,
                const int* pPlacement);

    BOOL GetScrollInfo(SCROLLINFO* pInfo);
    // 0 (nothing changes) unless min < max, min <= pos <= max and min <= page
    // <= max. Repaints nothing: callers follow it with RedrawParts.
    BOOL SetScrollInfo(const SCROLLINFO* pInfo);
    int SetScrollPos(int nPos);
    BOOL EnableScrollBar(UINT nArrows);
    BOOL SetStyle(const SCROLLBARSTYLE* pStyle);
    void RedrawParts(int nMask, int nOldThumbOffset);

    int PixelsToUnits(int nPixels) const { return SbPixelsToUnits(m_Geo, nPixels); }
    int UnitsToPixels(int nUnits) const { return SbUnitsToPixels(m_Geo, nUnits); }
    // The largest position the thumb can reach, in units.
    int GetRangeInPixels() const { return PixelsToUnits(m_Geo.nTrackLength - m_Geo.nThumbLength); }
    int HitTest(int x, int y) const;

    // What the bar's owners read back.
    int GetMin() const { return m_Geo.nMin; }
    int GetMax() const { return m_Geo.nMax; }
    int GetPage() const { return m_Geo.nPage; }
    int GetPos() const { return m_nPos; }
    int GetLastPos() const { return m_Geo.nMax - m_Geo.nPage; }
    int GetState() const { return m_nState; }
    int GetArrowBits() const { return m_nArrowBits; }
    int GetThumbOffset() const { return m_Geo.nThumbOffset; }
    const SBGEOMETRY& GetGeometry() const { return m_Geo; }
    BOOL IsHorizontal() const { return m_bHorizontal; }
    // Puts the bar in a mouse state and repaints it (for pictures of the bar).
    void ShowState(int nState);

    virtual int DrawArrow(CDC* pDC, const RECT* pRect, COLORREF clr, int nDirection);

    void OnDisplayChanged() override;
    CBitmap* GetBackBuffer() override { return m_PartCache.GetSafeHandle() != NULL ? &m_PartCache : NULL; }
    void OnVTimer(int nId, int nAmount) override;
    void OnCreated() override;
    void OnDestroying() override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnRButtonDown(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    int IsMouseCaptured() override { return m_bLeftDown && m_nState == SBST_THUMBDRAGGED; }
    void OnSizeChanged(int cx, int cy) override;
    void Paint(CDC*, int, int, int, int) override {}

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where the auto-repeat reads the cursor; tests put in their own.
    static BOOL (WINAPI* s_pfnGetCursorPos)(LPPOINT);

    int m_bHorizontal;
    SCROLLBARSTYLE m_Style;
    TEXTSTYLE m_MenuStyle;
    CBitmap m_PartCache;
    int m_nThickness;
    int m_nCodes[6];  // page before, page after, line before, line after, first, last
    int m_nPos;
    int m_nArrowBits;
    int m_nRepeatInterval;
    int m_nState;
    int m_nDragOffset;
    int m_nRepeatCode;
    int m_bFirstDelay;

private:
    enum { CODE_PAGEBEFORE, CODE_PAGEAFTER, CODE_LINEBEFORE, CODE_LINEAFTER, CODE_FIRST, CODE_LAST };

    SBGEOMETRY m_Geo;

    // The rectangle of a stretch of one cell in the part cache.
    RECT CellRect(int nCell, int nAlong, int nAlongLength) const;
    BOOL BuildPartCache();
    BOOL DrawPartCell(HDC hDC, int nCell, int nAlong, int nAlongLength, const SCROLLBARPARTLOOK& look, int nLook,
                      BOOL bBorder, BOOL bSwapBorder);
    BOOL RenderArrowCells(HDC hDC, int nArrow);
    void RenderArrowGlyphs(HDC hDC, int nArrow);
    BOOL RenderThumbCells(HDC hDC);
    BOOL RenderTrackCells(HDC hDC);
    void CopyCell(HDC hDC, int nCell, int nSrcAlong, int nDestAlong, int nLength);
    void DrawThumb(HDC hDC, int nCell);
    void SetPosition(int nPos);
    int SetScrollValues(int nMin, int nMax, int nPage, int nPos);
    void PostCode(int nCode, int nPixels);
    void Jump(int nAlong);
    void StartRepeat(int nCode);
    void StopRepeat();
    int Along(int x, int y) const { return m_bHorizontal ? x : y; }
    int HoverStateOf(int nPart) const;
    void ShowContextMenu(int x, int y);
    HWND NotifyTarget() const;
};
