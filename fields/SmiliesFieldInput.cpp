// The field view's hit-testing, mouse, keys, selection and focus cell.
#include "fields/SmiliesField.h"

#include "collection/Smilie.h"
#include "services/Settings.h"

#include <cstdlib>

namespace {

int DragCx()
{
    return ::GetSystemMetrics(SM_CXDRAG);
}

int DragCy()
{
    return ::GetSystemMetrics(SM_CYDRAG);
}

BOOL PtInRectXY(const RECT& rc, int x, int y)
{
    return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

}  // namespace

// --- hit-testing ---------------------------------------------------------------------

POINT CSmiliesField::CellFromPoint(POINT pt) const
{
    POINT cell = {-1, -1};
    if (m_nCellWidth <= 0 || m_nCellHeight <= 0)
        return cell;
    const int nPos = abs(GetScrollPos());
    // Points left of or above the client area lie in no cell.
    cell.x = pt.x >= 0 ? pt.x / m_nCellWidth : -1;
    cell.y = nPos + pt.y >= 0 ? (nPos + pt.y) / m_nCellHeight : -1;
    return cell;
}

int CSmiliesField::HitTestSmilie(const CSmilie* pSmilie, int x, int y) const
{
    if (pSmilie == NULL || pSmilie->m_pField != static_cast<const CSmilieField*>(this))
        return SMILIEPART_NONE;
    const CRect rc = GetSmilieRect(pSmilie);
    if (!PtInRectXY(rc, x, y))
        return SMILIEPART_NONE;
    const int cx = x - rc.left, cy = y - rc.top;
    if (PtInRectXY(pSmilie->GetFrameRect(), cx, cy))
        return SMILIEPART_MENU;
    if (PtInRectXY(pSmilie->GetHotFrameRect(), cx, cy))
        return SMILIEPART_SELECT;
    if (PtInRectXY(pSmilie->GetOversizeMarkRect(), cx, cy))
        return SMILIEPART_REPOSITION;
    return SMILIEPART_BODY;
}

int CSmiliesField::HitTestEmptyCell(int nColumn, int nRow, int x, int y) const
{
    if (!IsCellInGrid(nColumn, nRow))
        return 0;
    const CRect rc = GetCellRect(nColumn, nRow);
    if (!PtInRectXY(rc, x, y))
        return 0;
    if (g_Settings.SmilieToolbar && m_pCornerMark != NULL && PtInRectXY(m_pCornerMark->rc, x - rc.left, y - rc.top))
        return 2;
    return 1;
}

BOOL CSmiliesField::IsOnResizeGrip(const CSmilie* pSmilie, POINT pt) const
{
    if (pSmilie == NULL) {
        const POINT cell = CellFromPoint(pt);
        pSmilie = GetAt(cell.x, cell.y);
        if (pSmilie == NULL)
            return FALSE;
    }
    const CRect rc = GetSmilieRect(pSmilie);
    const RECT rcGrip = {rc.right - 6, rc.bottom - 6, rc.right, rc.bottom};
    return PtInRectXY(rcGrip, pt.x, pt.y);
}

// --- state setters ---------------------------------------------------------------------

void CSmiliesField::SetSmilieSelected(BOOL bOn, int nColumn, int nRow)
{
    CSmilie* pSmilie = GetAt(nColumn, nRow);
    if (pSmilie == NULL)
        return;
    bOn = bOn ? 1 : 0;
    if (bOn && m_ptFocus.x >= 0 && (m_ptFocus.x != nColumn || m_ptFocus.y != nRow)) {
        const POINT ptFormer = m_ptFocus;
        m_ptFocus = {-1, -1};
        ClearFocusCell(ptFormer);
    }
    // Selecting twice would count the smilie twice.
    if (pSmilie->m_bSelected == bOn)
        return;
    pSmilie->m_bSelected = bOn;
    m_nSelected += bOn ? 1 : -1;
    pSmilie->DeleteCachedBitmap();
    RepaintCell(nColumn, nRow);
}

void CSmiliesField::SetSmiliePressed(BOOL bRepaint, BOOL bOn, int nColumn, int nRow)
{
    CSmilie* pSmilie = GetAt(nColumn, nRow);
    if (pSmilie == NULL)
        return;
    const POINT ptFormer = m_ptFocus;
    if (ptFormer.x >= 0) {
        m_ptFocus = {-1, -1};
        if (bRepaint && m_hWnd != NULL && IsWindowVisible())
            ClearFocusCell(ptFormer);
    }
    pSmilie->m_bPressed = bOn ? 1 : 0;
    if (bRepaint)
        RepaintCell(nColumn, nRow);
}

void CSmiliesField::SetSmilieHotPart(int nPart, BOOL bRepaint, int nColumn, int nRow)
{
    CSmilie* pSmilie = GetAt(nColumn, nRow);
    if (pSmilie == NULL)
        return;
    pSmilie->m_nHover = nPart;
    if (bRepaint)
        RepaintCell(nColumn, nRow);
    OnHoverCheck(pSmilie, nPart);
}

void CSmiliesField::SetHotEmptyCell(int nMode, BOOL bRepaint, int nColumn, int nRow)
{
    if (GetAt(nColumn, nRow) != NULL)
        return;
    nMode &= 3;
    if (nMode == 0) {
        if (m_ptHotEmpty.x == nColumn && m_ptHotEmpty.y == nRow) {
            m_ptHotEmpty = {-1, -1};
            m_bMarkPressed = 0;
        }
    } else {
        m_ptHotEmpty = {nColumn, nRow};
        m_bMarkPressed = nMode == 2;
    }
    if (bRepaint && nColumn >= 0)
        RepaintCell(nColumn, nRow);
    OnEmptyCellHot(nColumn, nRow, nMode);
}

void CSmiliesField::DeselectAll()
{
    if (m_nSelected == 0 || m_pTable == NULL)
        return;
    for (int r = 0; r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r))
                if (pSmilie->m_bSelected)
                    SetSmilieSelected(FALSE, c, r);
    m_nSelected = 0;
}

void CSmiliesField::SelectAll()
{
    if (m_pTable == NULL || m_nSelected == m_pTable->GetTotal())
        return;
    BandOff();
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {-1, -1};
    ClearFocusCell(ptFormer);
    for (int r = 0; r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r))
                if (!pSmilie->m_bSelected)
                    SetSmilieSelected(TRUE, c, r);
}

void CSmiliesField::GetSelection(CSequence<const CSmilie*>* pList) const
{
    if (m_nSelected == 0 || m_pTable == NULL)
        return;
    pList->RemoveAll();
    for (int r = 0; r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (const CSmilie* pSmilie = m_pTable->GetAt(c, r))
                if (pSmilie->m_bSelected)
                    pList->Add(pSmilie);
}

void CSmiliesField::SelectSmilies(const CSequence<const CSmilie*>* pList)
{
    if (m_pTable == NULL || pList == NULL || m_nSelected == m_pTable->GetTotal())
        return;
    BandOff();
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {-1, -1};
    ClearFocusCell(ptFormer);
    for (int i = pList->GetSize() - 1; i >= 0; i--) {
        const CSmilie* pSmilie = (*pList)[i];
        if (pSmilie != NULL && ContainsSmilie(pSmilie) && !pSmilie->m_bSelected)
            SetSmilieSelected(TRUE, pSmilie->m_nColumn, pSmilie->m_nRow);
    }
}

void CSmiliesField::SelectInRect(int x1, int y1, int x2, int y2)
{
    if (m_pTable == NULL)
        return;
    const int l = x1 < x2 ? x1 : x2, r = x1 < x2 ? x2 : x1;
    const int t = y1 < y2 ? y1 : y2, b = y1 < y2 ? y2 : y1;
    // The band's corners are pixels of it; only a band of one point is empty.
    const BOOL bEmpty = l == r && t == b;
    for (int row = 0; row < m_pTable->GetRowCount(); row++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            CSmilie* pSmilie = m_pTable->GetAt(c, row);
            if (pSmilie == NULL)
                continue;
            const CRect rc = GetSmilieRect(pSmilie);
            const BOOL bMeets = rc.left <= r && rc.right > l && rc.top <= b && rc.bottom > t;
            if (bMeets && !pSmilie->m_bSelected)
                SetSmilieSelected(TRUE, c, row);
            else if (!bMeets && !bEmpty && pSmilie->m_bSelected)
                SetSmilieSelected(FALSE, c, row);
        }
    }
}

// --- focus cell ----------------------------------------------------------------------------

void CSmiliesField::SetFocusCell(int nColumn, int nRow)
{
    const int nColumns = GetColumnCount();
    const int nRows = m_nCellHeight > 0 ? m_nContentHeight / m_nCellHeight : 0;
    if (nColumns <= 0 || nRows <= 0)
        return;
    nColumn = nColumn < 0 ? 0 : (nColumn > nColumns - 1 ? nColumns - 1 : nColumn);
    nRow = nRow < 0 ? 0 : (nRow > nRows - 1 ? nRows - 1 : nRow);
    if (m_ptFocus.x == nColumn && m_ptFocus.y == nRow)
        return;
    DeselectAll();
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {nColumn, nRow};
    if (ptFormer.x >= 0 && GetAt(ptFormer.x, ptFormer.y) == NULL)
        RepaintCell(ptFormer.x, ptFormer.y);
    if (GetAt(nColumn, nRow) != NULL)
        SetSmilieSelected(TRUE, nColumn, nRow);
    else
        RepaintCell(nColumn, nRow);
}

void CSmiliesField::ClearFocusCell(POINT ptFormer)
{
    if (ptFormer.x < 0)
        return;
    if (GetAt(ptFormer.x, ptFormer.y) != NULL)
        DeselectAll();
    else
        RepaintCell(ptFormer.x, ptFormer.y);
}

void CSmiliesField::ScrollFocusCellIntoView()
{
    if (m_ptFocus.x < 0)
        return;
    const CRect rc = GetCellRect(m_ptFocus.x, m_ptFocus.y);
    const int nPos = GetScrollPos();
    const int nHeight = m_nClientHeight;
    if (rc.top >= nHeight)
        OnVScroll(SB_THUMBTRACK, nPos + rc.bottom - nHeight);
    else if (rc.bottom <= 0)
        OnVScroll(SB_THUMBTRACK, nPos + rc.top);
    else
        return;
    if (IsCursorOverControl())
        OnMouseMove(static_cast<UINT>(m_nMouseFlags), m_nMouseX, m_nMouseY);
}

void CSmiliesField::ClearHotState()
{
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL)
                continue;
            if (pSmilie->m_bPressed)
                SetSmiliePressed(TRUE, FALSE, c, r);
            if (pSmilie->m_nHover != 0)
                SetSmilieHotPart(SMILIEPART_NONE, TRUE, c, r);
        }
    }
    m_pHotSmilie = NULL;
    if (m_ptHotEmpty.x >= 0)
        SetHotEmptyCell(0, TRUE, m_ptHotEmpty.x, m_ptHotEmpty.y);
}

// --- mouse ------------------------------------------------------------------------------------

void CSmiliesField::ForgetPressed()
{
    m_pLPressed = NULL;
    m_pRPressed = NULL;
}

void CSmiliesField::StartBand(POINT pt)
{
    m_bBand = 1;
    m_ptBandStart = pt;
    m_nBandScrollPos = GetScrollPos();
}

// Hands the selection, or the pressed smilie alone, to BeginDrag.
void CSmiliesField::DragPressed(CSmilie* pPressed, int x, int y, BOOL bLeft)
{
    CSequence<const CSmilie*> list;
    if (m_nSelected != 0)
        GetSelection(&list);
    else
        list.Add(pPressed);
    ForgetPressed();
    BandOff();
    BeginDrag(&list, x, y, bLeft);
}

// Makes the smilie (or the empty cell) under the point the hot one, if it is
// not yet; says whether it changed.
BOOL CSmiliesField::TrackHotAt(int x, int y)
{
    const POINT cell = CellFromPoint(POINT{x, y});
    CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie == m_pHotSmilie)
        return FALSE;
    ClearHotState();
    m_pHotSmilie = pSmilie;
    if (pSmilie != NULL)
        SetSmilieHotPart(HitTestSmilie(pSmilie, x, y), TRUE, cell.x, cell.y);
    else
        SetHotEmptyCell(HitTestEmptyCell(cell.x, cell.y, x, y), TRUE, cell.x, cell.y);
    return TRUE;
}

void CSmiliesField::OnMouseMove(UINT nFlags, int x, int y)
{
    const POINT pt = {x, y};
    const POINT cell = CellFromPoint(pt);
    CSmilie* pSmilie = GetAt(cell.x, cell.y);

    m_hCursor = ::LoadCursorA(NULL, pSmilie != NULL && IsOnResizeGrip(pSmilie, pt) ? IDC_SIZENWSE : IDC_ARROW);
    if (m_bHovering)
        ::SetCursor(m_hCursor);

    if (TrackHotAt(x, y)) {
        // Moving over smilies with Ctrl held toggles each one entered.
        if ((nFlags & MK_CONTROL) && (!(nFlags & MK_SHIFT) || !m_bBand) && !m_bDropHover && pSmilie != NULL)
            SetSmilieSelected(!pSmilie->m_bSelected, cell.x, cell.y);
    } else if (pSmilie != NULL) {
        const int nPart = HitTestSmilie(pSmilie, x, y);
        if (nPart != pSmilie->m_nHover)
            SetSmilieHotPart(nPart, TRUE, cell.x, cell.y);
    } else if (m_ptHotEmpty.x == cell.x && m_ptHotEmpty.y == cell.y) {
        const int nMode = HitTestEmptyCell(cell.x, cell.y, x, y);
        if ((nMode == 2) != (m_bMarkPressed != 0))
            SetHotEmptyCell(nMode, TRUE, cell.x, cell.y);
    } else {
        if (m_ptHotEmpty.x >= 0)
            SetHotEmptyCell(0, TRUE, m_ptHotEmpty.x, m_ptHotEmpty.y);
        SetHotEmptyCell(HitTestEmptyCell(cell.x, cell.y, x, y), TRUE, cell.x, cell.y);
    }

    if (!m_bDropHover) {
        if (nFlags == MK_LBUTTON && m_pLPressed != NULL) {
            const int dx = abs(x - m_ptLPress.x), dy = abs(y - m_ptLPress.y);
            CSmilie* pPressed = m_pLPressed;
            if (IsOnResizeGrip(pPressed, m_ptLPress) && (dx >= 1 || dy >= 1)) {
                m_pLPressed = NULL;
                BandOff();
                OnSmilieResizeStart(pPressed, x, y);
                return;
            }
            if (HitTestSmilie(pPressed, m_ptLPress.x, m_ptLPress.y) == SMILIEPART_SELECT) {
                if (dx > 2 || dy > 2) {
                    m_pLPressed = NULL;
                    DeselectAll();
                    StartBand(m_ptLPress);
                }
            } else if (dx > DragCx() || dy > DragCy()) {
                DragPressed(pPressed, x, y, TRUE);
                return;
            }
        } else if (nFlags == MK_RBUTTON && m_pRPressed != NULL) {
            if (abs(x - m_ptRPress.x) > DragCx() || abs(y - m_ptRPress.y) > DragCy()) {
                DragPressed(m_pRPressed, x, y, FALSE);
                return;
            }
        } else if (m_bBand && (((nFlags & MK_SHIFT) && !(nFlags & MK_CONTROL)) || (nFlags & MK_LBUTTON))) {
            SelectInRect(m_ptBandStart.x, m_ptBandStart.y + m_nBandScrollPos - GetScrollPos(), x, y);
        }
    }

    if (!(nFlags & MK_LBUTTON))
        m_pLPressed = NULL;
    if (!(nFlags & MK_RBUTTON))
        m_pRPressed = NULL;
    if (m_pLPressed != NULL && (abs(x - m_ptLPress.x) > DragCx() || abs(y - m_ptLPress.y) > DragCy()))
        m_pLPressed = NULL;
    if (m_pRPressed != NULL && (abs(x - m_ptRPress.x) > DragCx() || abs(y - m_ptRPress.y) > DragCy()))
        m_pRPressed = NULL;
}

void CSmiliesField::OnLButtonDown(UINT /*nFlags*/, int x, int y)
{
    const POINT pt = {x, y};
    m_pRPressed = NULL;
    BandOff();
    // The move to this point may have reached another window (a preview over
    // the cell that closed on it, or a window of ours in front while we are in
    // the background): the press goes to what lies under it.
    TrackHotAt(x, y);
    CSmilie* pHot = m_pHotSmilie;
    const int nPart = HitTestSmilie(pHot, x, y);
    if (nPart != SMILIEPART_NONE) {
        switch (nPart) {
        case SMILIEPART_BODY:
            if (!pHot->m_bSelected) {
                DeselectAll();
                if (!pHot->m_bPressed && !IsOnResizeGrip(pHot, pt))
                    SetSmiliePressed(TRUE, TRUE, pHot->m_nColumn, pHot->m_nRow);
            }
            m_pLPressed = pHot;
            m_ptLPress = pt;
            break;
        case SMILIEPART_MENU: {
            POINT ptMenu = pt;
            OnSmilieMenu(&ptMenu);
            break;
        }
        case SMILIEPART_SELECT:
            if (!m_bDropHover && !(m_ptFocus.x == pHot->m_nColumn && m_ptFocus.y == pHot->m_nRow))
                SetSmilieSelected(!pHot->m_bSelected, pHot->m_nColumn, pHot->m_nRow);
            m_pLPressed = pHot;
            m_ptLPress = pt;
            break;
        case SMILIEPART_REPOSITION:
            OnSmilieReposition(pHot, x, y);
            break;
        }
        return;
    }
    DeselectAll();
    m_pLPressed = NULL;
    const POINT cell = CellFromPoint(pt);
    if (GetAt(cell.x, cell.y) == NULL) {
        const int nHit = HitTestEmptyCell(cell.x, cell.y, x, y);
        if (nHit == 1) {
            SetFocusCell(cell.x, cell.y);
        } else if (nHit == 2) {
            POINT ptMenu = pt;
            OnFieldMenu(&ptMenu);
        }
    }
}

void CSmiliesField::OnLButtonUp(UINT /*nFlags*/, int x, int y)
{
    POINT pt = {x, y};
    CSmilie* pHot = m_pHotSmilie;
    if (HitTestSmilie(pHot, x, y) == SMILIEPART_BODY) {
        if (m_pLPressed == pHot && abs(x - m_ptLPress.x) <= DragCx() && abs(y - m_ptLPress.y) <= DragCy() &&
            !IsOnResizeGrip(pHot, pt))
            OnSmilieClick(&pt, pHot);
        ForgetPressed();
        if (!m_bBand)
            DeselectAll();
        else
            BandOff();
    } else {
        BandOff();
    }
    // The click may have changed the field: release only what is still there.
    pHot = m_pHotSmilie;
    if (pHot != NULL && ContainsSmilie(pHot) && pHot->m_bPressed)
        SetSmiliePressed(TRUE, FALSE, pHot->m_nColumn, pHot->m_nRow);
}

void CSmiliesField::OnRButtonDown(UINT /*nFlags*/, int x, int y)
{
    POINT pt = {x, y};
    m_pLPressed = NULL;
    const POINT cell = CellFromPoint(pt);
    if (m_nSelected < 2)
        SetFocusCell(cell.x, cell.y);
    BandOff();
    TrackHotAt(x, y);
    if (HitTestSmilie(m_pHotSmilie, x, y) != SMILIEPART_NONE) {
        m_pRPressed = m_pHotSmilie;
        m_ptRPress = pt;
        return;
    }
    DeselectAll();
    m_pRPressed = NULL;
    SetFocusCell(cell.x, cell.y);
    if (IsCellInGrid(cell.x, cell.y))
        OnFieldMenu(&pt);
}

void CSmiliesField::OnRButtonUp(UINT /*nFlags*/, int x, int y)
{
    POINT pt = {x, y};
    BandOff();
    if (m_pRPressed != NULL) {
        if (abs(x - m_ptRPress.x) > 3 || abs(y - m_ptRPress.y) > 3)
            DeselectAll();
        else
            OnSmilieMenu(&pt);
    } else {
        DeselectAll();
    }
    ForgetPressed();
}

void CSmiliesField::OnMButtonDown(UINT /*nFlags*/, int /*x*/, int /*y*/)
{
    BandOff();
    DeselectAll();
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {-1, -1};
    ClearFocusCell(ptFormer);
    ForgetPressed();
}

void CSmiliesField::OnMouseEnter()
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    const POINT pt = GetCursorClientPos();
    const POINT cell = CellFromPoint(pt);
    const CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie != NULL && pSmilie->m_bPressed)
        return;
    BandOff();
    ForgetPressed();
    if (m_rcView.PtInRect(pt))
        OnMouseMove(0, pt.x, pt.y);
}

void CSmiliesField::OnMouseLeave()
{
    ClearHotState();
    BandOff();
    ForgetPressed();
}

void CSmiliesField::OnSetCursor(HWND /*hWnd*/, UINT /*nHitTest*/, UINT nMessage)
{
    if (nMessage != 0)
        ::SetCursor(::LoadCursorA(NULL, IDC_ARROW));
}

int CSmiliesField::IsMouseCaptured()
{
    return m_bBand && (m_nMouseFlags & (MK_SHIFT | MK_LBUTTON)) != 0;
}

// --- keys ---------------------------------------------------------------------------------------

void CSmiliesField::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT nFlags)
{
    Default();
    // Bit 30 of the key data, the 14th of its high word: an auto-repeat.
    if (nFlags & 0x4000)
        return;
    ForgetPressed();
    if (m_bDropHover) {
        BandOff();
        return;
    }
    switch (nChar) {
    case VK_CONTROL:
        BandOff();
        if (m_pHotSmilie != NULL && ContainsSmilie(m_pHotSmilie) &&
            !(m_ptFocus.x == m_pHotSmilie->m_nColumn && m_ptFocus.y == m_pHotSmilie->m_nRow))
            SetSmilieSelected(!m_pHotSmilie->m_bSelected, m_pHotSmilie->m_nColumn, m_pHotSmilie->m_nRow);
        break;
    case VK_SHIFT:
        DeselectAll();
        StartBand(GetCursorClientPos());
        break;
    case VK_ESCAPE:
        BandOff();
        DeselectAll();
        break;
    default:
        BandOff();
        break;
    }
}

void CSmiliesField::OnKeyUp(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    Default();
    if (nChar == VK_SHIFT)
        BandOff();
}
