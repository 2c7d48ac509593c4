// A group of smilies copied out of one field, and the paste history: the last
// ten groups the user copied, oldest first, from which any can be pasted into
// a field later. A group holds copies, so it outlives the smilies and the
// field it was taken from. User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "collection/Smilie.h"

#include <windows.h>

class CSmiliesPasteGroup
{
public:
    CSmiliesPasteGroup();
    CSmiliesPasteGroup(const CSmiliesPasteGroup& src);
    CSmiliesPasteGroup& operator=(const CSmiliesPasteGroup& src);
    virtual ~CSmiliesPasteGroup();

    // Appends a copy of the smilie (bound to no field, without its laid-out
    // text). The first one names the source field; later ones must come from
    // that field and have the first one's cell size, else nothing is added
    // and the result is 0.
    BOOL AddSmilie(const CSmilie* pSmilie);
    // 1 when this group is empty, or when both come from one field, hold as
    // many smilies of the same cell size and each pair compares equal.
    BOOL IsEqual(const CSmiliesPasteGroup& other) const;
    // The smallest box of columns and rows that holds every smilie; {0, 0}
    // for an empty group. Also sets *pTopLeft (column, row) when given.
    void GetCellBounds(SIZE* pSize, POINT* pTopLeft = NULL) const;
    // A cx by cy picture of the group's cells (built once, then kept; the
    // group owns it) and its hot spot, the middle of the drawn cells. NULL
    // for an empty group.
    HICON GetIcon(POINT* pHotSpot, int cx, int cy);

    CSequence<CSmilie> m_Smilies;   // each keeps its own column and row
    HWND m_hSourceField;
    SYSTEMTIME m_Time;              // when it entered the history; zero otherwise
    HICON m_hIcon;
    int m_nBoxWidth;                // in cells, filled when the icon is built
    int m_nBoxHeight;

private:
    void FreeIcon();
    POINT m_ptIconHot;
};

// The most groups the paste history holds.
const int kPasteHistorySize = 10;

// The program's paste history, oldest first.
extern CSequence<CSmiliesPasteGroup> g_PasteHistory;
