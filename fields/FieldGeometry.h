// The arithmetic of a field's grid, apart from any window: limits, scroll
// positions, wheel steps, accepted cell sizes, and where an arrangement puts
// the i-th smilie. The field view and its tests share these.
#pragma once

#include <windows.h>

// Rows a field may use: the grid's row count, capped so that every scroll
// position fits in the 16 bits a thumb-track position carries. 0 for a cell
// height of 0 or below.
int FieldRowLimit(int nGridRows, int nCellHeight);

// The scrollable height: the last used row (-1 for an empty field) plus one
// empty row, at least the view and one more cell, at most the row limit.
int FieldContentHeight(int nLastUsedRow, int nCellHeight, int nViewHeight, int nRowLimit);

// The position a WM_VSCROLL code leads to, or -1 when nothing is to happen
// (the same position, a maximum below 0, SB_THUMBPOSITION, an unknown code).
int FieldScrollTarget(int nCode, int nTrackPos, int nPos, int nViewHeight, int nContentHeight);

// Pixels one wheel notch moves: lines x cell height / 3. A line count of
// WHEEL_PAGESCROLL, or one that would move farther than the view, moves one
// view height.
int FieldWheelStep(UINT nLines, int nCellHeight, int nViewHeight);

// Whether a field nClientWidth wide takes the cell size: neither side 0 or
// below, at least a seventh of the width wide and two thirds of that high,
// at most half the width wide and the width high.
BOOL IsFieldCellSizeAccepted(int nClientWidth, int nWidth, int nHeight);
// Whether a cell size read from a layout block fits a view nViewWidth wide:
// sides above 0 and no larger than the field's own resizing makes them (half
// the view's width, and twice that in height). Smaller cells than the
// resizing makes are kept: older collections hold them.
BOOL IsStoredCellSizeAccepted(int nViewWidth, int nWidth, int nHeight);

// Cell of the i-th smilie (from 0) of an arrangement in nColumns columns:
// 1 packs, 2 every other cell, 3 every other row, 4 every other column.
// (-1, -1) for another command or no columns.
POINT FieldArrangeCell(int nCommand, int i, int nColumns);

// Timer ticks (10 ms each) between two frames of nDelay milliseconds.
inline int FieldFrameTicks(int nDelay)
{
    return nDelay / 10;
}
