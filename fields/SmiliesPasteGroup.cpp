#include "fields/SmiliesPasteGroup.h"

#include "collection/SmilieField.h"

#include <algorithm>
#include <climits>
#include <cstring>

CSequence<CSmiliesPasteGroup> g_PasteHistory;

CSmiliesPasteGroup::CSmiliesPasteGroup()
    : m_hSourceField(NULL), m_hIcon(NULL), m_nBoxWidth(0), m_nBoxHeight(0), m_ptIconHot{0, 0}
{
    memset(&m_Time, 0, sizeof(m_Time));
}

CSmiliesPasteGroup::CSmiliesPasteGroup(const CSmiliesPasteGroup& src) : CSmiliesPasteGroup()
{
    *this = src;
}

CSmiliesPasteGroup& CSmiliesPasteGroup::operator=(const CSmiliesPasteGroup& src)
{
    if (this == &src)
        return *this;
    FreeIcon();
    m_Smilies = src.m_Smilies;
    m_hSourceField = src.m_hSourceField;
    m_Time = src.m_Time;
    m_nBoxWidth = src.m_nBoxWidth;
    m_nBoxHeight = src.m_nBoxHeight;
    m_ptIconHot = src.m_ptIconHot;
    if (src.m_hIcon != NULL)
        m_hIcon = ::CopyIcon(src.m_hIcon);
    return *this;
}

CSmiliesPasteGroup::~CSmiliesPasteGroup()
{
    FreeIcon();
}

void CSmiliesPasteGroup::FreeIcon()
{
    if (m_hIcon != NULL)
        ::DestroyIcon(m_hIcon);
    m_hIcon = NULL;
}

BOOL CSmiliesPasteGroup::AddSmilie(const CSmilie* pSmilie)
{
    if (pSmilie == NULL)
        return FALSE;
    const HWND hField = pSmilie->m_pField != NULL ? pSmilie->m_pField->GetFieldWindow() : NULL;
    if (m_Smilies.GetSize() != 0) {
        const CSmilie& first = m_Smilies[0];
        if (hField != m_hSourceField || pSmilie->m_nCellWidth != first.m_nCellWidth ||
            pSmilie->m_nCellHeight != first.m_nCellHeight)
            return FALSE;
    } else {
        m_hSourceField = hField;
    }
    CSmilie copy(*pSmilie);
    // The history outlives the field; the copy keeps the cell size it had.
    copy.SetField(NULL);
    copy.m_TextLines.RemoveAll();
    m_Smilies.Add(copy);
    FreeIcon();
    return TRUE;
}

BOOL CSmiliesPasteGroup::IsEqual(const CSmiliesPasteGroup& other) const
{
    const int n = m_Smilies.GetSize();
    if (n == 0)
        return TRUE;
    if (m_hSourceField != other.m_hSourceField || other.m_Smilies.GetSize() != n)
        return FALSE;
    if (m_Smilies[0].m_nCellWidth != other.m_Smilies[0].m_nCellWidth ||
        m_Smilies[0].m_nCellHeight != other.m_Smilies[0].m_nCellHeight)
        return FALSE;
    for (int i = n - 1; i >= 0; i--)
        if (!m_Smilies[i].Compare(other.m_Smilies[i]))
            return FALSE;
    return TRUE;
}

void CSmiliesPasteGroup::GetCellBounds(SIZE* pSize, POINT* pTopLeft) const
{
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int i = 0; i < m_Smilies.GetSize(); i++) {
        left = std::min(left, m_Smilies[i].m_nColumn);
        top = std::min(top, m_Smilies[i].m_nRow);
        right = std::max(right, m_Smilies[i].m_nColumn);
        bottom = std::max(bottom, m_Smilies[i].m_nRow);
    }
    const bool bEmpty = m_Smilies.GetSize() == 0;
    if (pSize != NULL) {
        pSize->cx = bEmpty ? 0 : right - left + 1;
        pSize->cy = bEmpty ? 0 : bottom - top + 1;
    }
    if (pTopLeft != NULL) {
        pTopLeft->x = bEmpty ? 0 : left;
        pTopLeft->y = bEmpty ? 0 : top;
    }
}

// A map of the group: each smilie a framed rectangle at its cell, the box
// scaled into cx by cy, never larger than 1.1 times the cells themselves.
HICON CSmiliesPasteGroup::GetIcon(POINT* pHotSpot, int cx, int cy)
{
    if (m_Smilies.GetSize() == 0 || cx <= 0 || cy <= 0)
        return NULL;
    if (m_hIcon == NULL) {
        SIZE box;
        POINT topLeft;
        GetCellBounds(&box, &topLeft);
        m_nBoxWidth = box.cx;
        m_nBoxHeight = box.cy;
        const int cw = std::max(1, m_Smilies[0].m_nCellWidth), ch = std::max(1, m_Smilies[0].m_nCellHeight);
        // The scale as a fraction num / den, the least of the three limits,
        // so that a cell's size in the picture is exact in every build.
        long long num = cx, den = (long long)std::max(1, int(box.cx)) * cw;
        if ((long long)cy * den < num * ((long long)std::max(1, int(box.cy)) * ch)) {
            num = cy;
            den = (long long)std::max(1, int(box.cy)) * ch;
        }
        if (11 * den < num * 10) {
            num = 11;
            den = 10;
        }
        const int unitX = std::max(1, int(cw * num / den)), unitY = std::max(1, int(ch * num / den));
        const int ox = (cx - unitX * box.cx) / 2, oy = (cy - unitY * box.cy) / 2;

        HDC hScreen = ::GetDC(NULL);
        HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, cx, cy);
        HBITMAP hMask = ::CreateBitmap(cx, cy, 1, 1, NULL);
        HDC hColorDC = ::CreateCompatibleDC(hScreen);
        HDC hMaskDC = ::CreateCompatibleDC(hScreen);
        ::ReleaseDC(NULL, hScreen);
        if (hColor != NULL && hMask != NULL && hColorDC != NULL && hMaskDC != NULL) {
            HGDIOBJ hOldColor = ::SelectObject(hColorDC, hColor);
            HGDIOBJ hOldMask = ::SelectObject(hMaskDC, hMask);
            const RECT rcAll = {0, 0, cx, cy};
            ::FillRect(hColorDC, &rcAll, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::FillRect(hMaskDC, &rcAll, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            HBRUSH hFill = ::CreateSolidBrush(RGB(236, 240, 248));
            HBRUSH hFrame = ::CreateSolidBrush(RGB(64, 80, 120));
            for (int i = 0; i < m_Smilies.GetSize(); i++) {
                const int x = ox + (m_Smilies[i].m_nColumn - topLeft.x) * unitX;
                const int y = oy + (m_Smilies[i].m_nRow - topLeft.y) * unitY;
                RECT rc = {x, y, x + unitX - (unitX > 2 ? 1 : 0), y + unitY - (unitY > 2 ? 1 : 0)};
                ::FillRect(hColorDC, &rc, hFill);
                ::FrameRect(hColorDC, &rc, hFrame);
                ::FillRect(hMaskDC, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            }
            ::DeleteObject(hFill);
            ::DeleteObject(hFrame);
            ::SelectObject(hColorDC, hOldColor);
            ::SelectObject(hMaskDC, hOldMask);
            ICONINFO ii = {};
            ii.fIcon = TRUE;
            ii.hbmMask = hMask;
            ii.hbmColor = hColor;
            m_hIcon = ::CreateIconIndirect(&ii);
            m_ptIconHot.x = ox + unitX * box.cx / 2;
            m_ptIconHot.y = oy + unitY * box.cy / 2;
        }
        if (hColorDC != NULL)
            ::DeleteDC(hColorDC);
        if (hMaskDC != NULL)
            ::DeleteDC(hMaskDC);
        if (hColor != NULL)
            ::DeleteObject(hColor);
        if (hMask != NULL)
            ::DeleteObject(hMask);
    }
    if (pHotSpot != NULL)
        *pHotSpot = m_ptIconHot;
    return m_hIcon;
}
