// CSmiliesField: the view of one field, a child window that shows a
// vertically scrolling grid of equal cells, each empty or holding one smilie.
// It owns the grid and the smilies in it, paints everything into one back
// buffer that CControlBase shows, scrolls by bar and wheel, animates the
// pictures in view on the program-wide timer, and keeps the hot smilie or
// empty cell, the pressed smilies, the focus cell and the selection.
//
// The view reports what the user did through its own overridables (a click,
// a menu, a drag, a resize) and does nothing more with it: the field control
// derived from it sends, shows menus and drags. A smilie reaches its view
// through CSmilieField (a static_cast from the smilie's m_pField).
//
// Sources: SmiliesField.cpp (content, scrolling, cell size, lifecycle),
// SmiliesFieldInput.cpp (hit-testing, mouse, keys, selection, focus),
// SmiliesFieldArrange.cpp (arrangement and sorting), SmiliesFieldPaint.cpp
// (painting, looks, colours, animation). User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "collection/SmilieField.h"
#include "fields/SmiliesPtrTable.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Str.h"
#include "ui3d/CellLook.h"
#include "ui3d/FieldsParams.h"
#include "ui3d/controls/ControlBase.h"

#include <cstdint>

class C3DScrollBar;
class CSmilie;

// Sort keys of SortSmilies.
enum
{
    SORT_POSITION = 0,
    SORT_TEXT = 1,
    SORT_PICTURE_SIZE = 2,
    SORT_DATA_SIZE = 3,
    SORT_DATE = 4,
    SORT_USAGE = 5,
    SORT_NONE = 6,
    SORT_RANDOM = 7
};

// Parts of a cell under the cursor (HitTestSmilie).
enum SMILIEPART
{
    SMILIEPART_NONE = 0,
    SMILIEPART_BODY = 1,
    SMILIEPART_MENU = 2,
    SMILIEPART_SELECT = 3,
    SMILIEPART_REPOSITION = 4
};

// The mark in the corner of a hot empty cell: its rectangle in the cell and
// the pixels of its glyph relative to the rectangle, ended by x < 0.
struct CORNERMARKSHAPE
{
    RECT rc;
    const POINT* pPixels;
};

class CSmiliesField : public CControlBase, public CSmilieField
{
public:
    CSmiliesField();
    ~CSmiliesField() override;

    // --- creation and content --------------------------------------------------
    // A child window at prc's top-left (of the mask's size when the grid
    // defaults name one, else of prc's size). FALSE for a cell side of 0 or
    // below, or when the window cannot be made.
    BOOL Create(CWnd* pParent, const FIELDGRIDDEFAULTS* pGrid, const CELLLOOK* pLook, const RECT* prc, SIZE cellSize);
    // A window like the source with a copy of each of its smilies. 1, or 0.
    BOOL CreateAsCopy(CSmiliesField* pSource);

    void GetCode(CString& strCode) const override { strCode = m_strCode; }

    // The field's body in a layout block: name, scroll position, the constant
    // 1, code template, smilie count, and one length-prefixed smilie record
    // per smilie in reading order. Without pOut only *pnSize; with it, pOut
    // holds *pnSize bytes. The length (written).
    uint32_t SaveToMemory(BYTE* pOut, uint32_t* pnSize) const;
    // Fills an empty field window from a body of nSize bytes (picture ids of
    // a merged file translated through nAppendedId). FALSE, keeping what was
    // read, when a length runs past the body.
    BOOL LoadFromMemory(const BYTE* pBody, uint32_t nSize, uint32_t nAppendedId);

    // A new smilie at the cell (NULL: the next free one). NULL when the cell
    // is outside the grid or taken.
    CSmilie* AddSmilie(const POINT* pCell, uint32_t nImageRecord, LPCTSTR pszPhrase, LPCTSTR pszSource);
    CSmilie* AddSmilieCopy(const POINT* pCell, const CSmilie* pSource);
    // Moves a smilie of this or another field into a cell of this one (NULL:
    // the next free cell). Outside the grid the smilie is deleted. 0 when the
    // smilie is not at its own cell of its field, or the target cell is taken.
    BOOL MoveSmilie(const POINT* pCell, CSmilie* pSmilie);
    // Takes a smilie out (and deletes it unless bKeep). 0 when it is not at
    // its own cell of this field.
    BOOL RemoveSmilie(CSmilie* pSmilie, BOOL bKeep);
    // Deletes a smilie that goes by itself, not by the user's hand (a failed
    // download): the rest of the selection and the band stay as they are.
    BOOL RemoveSmilieAlone(CSmilie* pSmilie);
    void DeleteAllSmilies();
    // Moves the rows from the one under the point down by nCount; the
    // smilies moved or deleted.
    int InsertRows(const POINT* pPoint, int nCount, BOOL bUpdateScroll);
    void GetNextFreeCell(POINT* pCell) const;

    BOOL FindSmilie(const CSmilie* pSmilie) const;
    BOOL ContainsSmilie(const CSmilie* pSmilie) const;
    CSmilie* GetAt(int nColumn, int nRow) const;
    int GetColumnCount() const;
    int GetRowLimit() const;
    BOOL IsCellInGrid(int nColumn, int nRow) const;
    int GetScrollPos() const;
    CRect GetCellRect(int nColumn, int nRow) const;
    CRect GetSmilieRect(const CSmilie* pSmilie) const;
    int GetSmilieCount() const;
    int GetContentHeight() const { return m_nContentHeight; }
    const CRect& GetViewRect() const { return m_rcView; }

    void CountSmilies(int* pnPictures, int* pnPhrases) const;
    uint64_t GetImageDataTotal() const;
    int GetSendableSmilies(CSequence<const CSmilie*>* pList) const;
    void ZeroStatistics();
    int QueueWebSmilies();
    void FlagImagesInUse();

    // --- scrolling -------------------------------------------------------------
    void OnVScroll(int nCode, int nPos);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, int x, int y);
    void UpdateScrollRange(BOOL bForce);
    void SetScrollPos(int nPos, BOOL bForce);
    void AttachScrollBar(C3DScrollBar* pBar);
    static SCROLLINFO BarScrollInfo(const SCROLLINFO& record, int nPos);
    C3DScrollBar* DetachScrollBar();

    // --- cell size -------------------------------------------------------------
    // Refused (nothing changes) for the sizes IsFieldCellSizeAccepted refuses.
    void SetCellSize(const CSmilie* pAnchor, int nWidth, int nHeight);

    // --- hit-testing, selection, focus (SmiliesFieldInput.cpp) -------------------
    POINT CellFromPoint(POINT pt) const;
    int HitTestSmilie(const CSmilie* pSmilie, int x, int y) const;
    int HitTestEmptyCell(int nColumn, int nRow, int x, int y) const;
    BOOL IsOnResizeGrip(const CSmilie* pSmilie, POINT pt) const;

    void SetSmilieSelected(BOOL bOn, int nColumn, int nRow);
    void SetSmiliePressed(BOOL bRepaint, BOOL bOn, int nColumn, int nRow);
    void SetSmilieHotPart(int nPart, BOOL bRepaint, int nColumn, int nRow);
    void SetHotEmptyCell(int nMode, BOOL bRepaint, int nColumn, int nRow);
    void DeselectAll();
    void SelectAll();
    void GetSelection(CSequence<const CSmilie*>* pList) const;
    void SelectSmilies(const CSequence<const CSmilie*>* pList);
    void SelectInRect(int x1, int y1, int x2, int y2);
    int GetSelectedCount() const { return m_nSelected; }
    void SetFocusCell(int nColumn, int nRow);
    void ClearFocusCell(POINT ptFormer);
    BOOL HasFocusCell() const { return m_ptFocus.x >= 0; }
    POINT GetFocusCell() const { return m_ptFocus; }
    void ScrollFocusCellIntoView();
    void ClearHotState();
    BOOL TrackHotAt(int x, int y);
    CSmilie* GetHotSmilie() const { return m_pHotSmilie; }
    POINT GetHotEmptyCell() const { return m_ptHotEmpty; }
    BOOL IsBandOn() const { return m_bBand; }
    void SetDropHover(BOOL bOn) { m_bDropHover = bOn; }

    // --- arrangement (SmiliesFieldArrange.cpp) -----------------------------------
    // Commands 1 to 10: four layouts, then sorts by text, picture size, data
    // size, date, usage and at random.
    void Arrange(int nCommand);
    static void SortSmilies(int nMode, int nCount, CSmilie** ppSmilies);

    // --- look, painting, animation (SmiliesFieldPaint.cpp) -------------------------
    void SetColorMode(int nMode, BOOL bRepaint);
    int GetColorMode() const { return m_nColorMode; }
    void SetBackColor(COLORREF clr, BOOL bRepaint);
    void SetWhiteCells(BOOL bOn);
    void SetAccentColor(COLORREF clr, BOOL bOn, BOOL bRepaint);
    COLORREF GetAccentColor() const { return m_Grid.clrAccent; }
    BOOL IsAccentOn() const { return m_Grid.bAccent; }
    COLORREF GetMarkColor() const;
    void PaintCells(const RECT* prc, BOOL bKeepFrames);
    void DrawCell(BOOL bKeepFrame, BOOL bAdvance, RECT* prcOut, int nColumn, int nRow);
    BOOL RedrawSmilie(const CSmilie* pSmilie);
    void RedrawAll();
    void FreeCellBitmaps();
    void StopAnimations();
    // Stops the animation timer of one smilie's cell.
    void StopSmilieTimer(CSmilie* pSmilie) { KillSmilieTimer(pSmilie); }
    void DrawSmilieAt(CDC* pDC, POINT pt, const CSmilie* pSmilie);
    void DrawSmilieImage(CDC* pDC, const CSmilie* pSmilie, POINT pt);
    BOOL AddOwnTimer(UINT nId);
    BOOL RemoveOwnTimer(UINT nId);
    int HasVTimer(int nId) const;
    BOOL HasGdiObjects() const { return m_BackBuffer.GetSafeHandle() != NULL; }

    // --- CSmilieField ------------------------------------------------------------
    HWND GetFieldWindow() const override { return m_hWnd; }
    int GetCellWidth() const override { return m_nCellWidth; }
    int GetCellHeight() const override { return m_nCellHeight; }
    COLORREF GetBackgroundColor() const override { return m_Grid.clrBack; }
    BOOL IsPlainBackground() const override { return m_Grid.bWhiteCells; }
    BOOL IsContrastMode() const override { return m_nColorMode == 1; }
    COLORREF GetTextColor() const override;
    COLORREF GetToolbarColor() const override;
    void SetFieldsModified() override;

    // --- CControlBase ----------------------------------------------------------------
    void OnDisplayChanged() override;
    CBitmap* GetBackBuffer() override;
    void Paint(CDC* pDC, int left, int top, int right, int bottom) override;
    void OnVTimer(int nId, int nAmount) override;
    void OnCreated() override;
    void OnDestroying() override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnRButtonDown(UINT nFlags, int x, int y) override;
    void OnRButtonUp(UINT nFlags, int x, int y) override;
    void OnMButtonDown(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    void OnSetCursor(HWND hWnd, UINT nHitTest, UINT nMessage) override;
    int IsMouseCaptured() override;
    void OnSizeChanged(int cx, int cy) override;

    // --- the view's own overridables, in this order ------------------------------------
    virtual void OnHoverCheck(CSmilie* /*pSmilie*/, int /*nHotPart*/) {}
    virtual void OnEmptyCellHot(int /*nColumn*/, int /*nRow*/, int /*nMode*/) {}
    virtual void LoadCursors() {}
    virtual void FreeCursors() {}
    virtual void CreateGdiObjects();
    virtual void DeleteGdiObjects();
    virtual void OnSmilieClick(POINT* /*pPoint*/, CSmilie* /*pSmilie*/) {}
    virtual void OnFieldMenu(POINT* /*pPoint*/) {}
    virtual void OnSmilieMenu(POINT* /*pPoint*/) {}
    virtual void BeginDrag(CSequence<const CSmilie*>* /*pList*/, int /*x*/, int /*y*/, BOOL /*bLeftButton*/) {}
    virtual void OnSmilieResizeStart(CSmilie* /*pSmilie*/, int /*x*/, int /*y*/) {}
    virtual void OnSmilieReposition(CSmilie* /*pSmilie*/, int /*x*/, int /*y*/) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Every live field view, oldest first.
    static CSequence<CSmiliesField*> s_AllFields;
    // Field windows that exist; the first loads the shared cursors, the last frees them.
    static int s_nFieldWindows;
    // Seams for tests: the cursor position and the wheel's line count.
    static BOOL (WINAPI* s_pfnGetCursorPos)(LPPOINT);
    static UINT (*s_pfnGetWheelLines)();

    static const CORNERMARKSHAPE s_SmallCornerMark;
    static const CORNERMARKSHAPE s_LargeCornerMark;

protected:
    void OnShowWindow(BOOL bShow);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);

    // Content helpers.
    CSmilie* StoreNewSmilie(CSmilie* pSmilie, const POINT* pCell);
    void DestroySmilie(CSmilie* pSmilie);
    void ForgetSmilie(const CSmilie* pSmilie);
    void ResetInteraction();
    void KillSmilieTimer(CSmilie* pSmilie);
    int GetLastUsedRow() const;
    void ScrollBy(int nOld, int nNew);
    void UpdateScrollArrows();
    void SelectCornerMark();
    // The cursor in client coordinates.
    POINT GetCursorClientPos() const;
    BOOL IsCursorOverControl() const;
    void MarkLayoutChanged();
    // Input helpers.
    void ForgetPressed();
    void BandOff() { m_bBand = 0; }
    BOOL TakeOutSmilie(CSmilie* pSmilie, BOOL bKeep, BOOL bClearSelection);
    void StartBand(POINT pt);
    void DragPressed(CSmilie* pPressed, int x, int y, BOOL bLeft);
    // Painting helpers.
    void RepaintCell(int nColumn, int nRow);
    void CreateTiles();
    void CreateCellFrame();
    void CreateFrameBitmap(CBitmap& bitmap, int cx, int cy);
    CELLLOOK GetDrawLook() const;
    void StartSmilieAnimation(CSmilie* pSmilie, BOOL bKeepFrames);
    void DrawCellMark(CDC* pDC, const RECT& rcCell);
    void FillUncovered(HDC hDC, const CRect& rcPaint, HDC hTile, const RECT& rcTile, int nTileTop);
    BOOL IsTimerWaiting();
    void DrawCellOn(CDC& dc, BOOL bKeepFrame, BOOL bAdvance, RECT* prcOut, CSmilie* pSmilie);
    void ShowFromBackBuffer(CDC& back, const RECT& rc);
    void RebuildLook(BOOL bRepaint);
    void EnterBusyOperation();
    void LeaveBusyOperation();

public:
    // Members, in the order the view keeps them.
    CString m_strCode;
    CBitmap m_BackBuffer;
    CBitmap m_Tile;
    CBitmap m_FocusTile;
    int m_nTileWidth;
    int m_nTileHeight;
    CRect m_rcView;
    FIELDGRIDDEFAULTS m_Grid;
    CRgn m_Region;
    int m_nColorMode;
    C3DScrollBar* m_pScrollBar;
    SCROLLINFO m_si;
    int m_nContentHeight;
    CFont m_CellFont;
    CELLLOOK m_CellLook;
    CBitmap m_CellFrame;
    int m_nCellWidth;
    int m_nCellHeight;
    CSmiliesPtrTable* m_pTable;
    CSmilie* m_pHotSmilie;
    CSmilie* m_pLPressed;
    POINT m_ptLPress;
    CSmilie* m_pRPressed;
    POINT m_ptRPress;
    int m_bDropHover;
    int m_nSelected;
    int m_bBand;
    POINT m_ptBandStart;
    int m_nBandScrollPos;
    POINT m_ptFocus;
    POINT m_ptHotEmpty;
    int m_bMarkPressed;
    const CORNERMARKSHAPE* m_pCornerMark;
    CSequence<UINT> m_OwnTimers;
    int m_bViewDestroyed;
    BOOL m_bHasMask;
    // The last answer to whether a WM_TIMER waits, and the tick count it was
    // asked at (the question goes to the system's server under Wine).
    DWORD m_nTimerAskedAt;
    int m_nTimerWaiting;        // -1 not asked yet
};
