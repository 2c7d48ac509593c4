// The field view's content, scrolling, cell size and lifecycle.
#include "fields/SmiliesField.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "fields/FieldGeometry.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/Messages.h"
#include "ui3d/controls/3DScrollBar.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/drawing/Mask.h"

#include <windowsx.h>
#include <cstring>

CSequence<CSmiliesField*> CSmiliesField::s_AllFields;
int CSmiliesField::s_nFieldWindows = 0;
BOOL(WINAPI* CSmiliesField::s_pfnGetCursorPos)(LPPOINT) = ::GetCursorPos;

namespace {

UINT GetSystemWheelLines()
{
    UINT nLines = 3;
    if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0))
        nLines = 3;
    return nLines;
}

// The two address beginnings of smilies that are shown from our smilie
// servers rather than stored (27 and 34 characters).
const char kWebPrefixGallery[] = "http://gallery.mordale.net/";
const char kWebPrefixArchive[] = "http://archive.mordale.net/smilies";

}  // namespace

UINT (*CSmiliesField::s_pfnGetWheelLines)() = GetSystemWheelLines;

// --- construction ---------------------------------------------------------------

CSmiliesField::CSmiliesField()
    : m_nTileWidth(0), m_nTileHeight(0), m_rcView(0, 0, 0, 0), m_nColorMode(0), m_pScrollBar(NULL),
      m_nContentHeight(0), m_nCellWidth(0), m_nCellHeight(0), m_pTable(NULL), m_pHotSmilie(NULL),
      m_pLPressed(NULL), m_pRPressed(NULL), m_bDropHover(0), m_nSelected(0), m_bBand(0), m_nBandScrollPos(0),
      m_bMarkPressed(0), m_pCornerMark(NULL), m_bViewDestroyed(1), m_bHasMask(FALSE), m_nTimerAskedAt(0),
      m_nTimerWaiting(-1)
{
    m_ptLPress = m_ptRPress = m_ptBandStart = {0, 0};
    m_ptFocus = m_ptHotEmpty = {-1, -1};
    memset(&m_CellLook, 0, sizeof(m_CellLook));
    memset(&m_si, 0, sizeof(m_si));
    m_si.cbSize = sizeof(m_si);
    s_AllFields.Add(this);
}

CSmiliesField::~CSmiliesField()
{
    for (int i = s_AllFields.GetSize() - 1; i >= 0; i--) {
        if (s_AllFields[i] == this) {
            s_AllFields.RemoveAt(i);
            break;
        }
    }
    // A view whose window was never destroyed still owns its smilies.
    if (m_pTable != NULL) {
        DeleteAllSmilies();
        delete m_pTable;
        m_pTable = NULL;
    }
}

BOOL CSmiliesField::Create(CWnd* pParent, const FIELDGRIDDEFAULTS* pGrid, const CELLLOOK* pLook, const RECT* prc,
                           SIZE cellSize)
{
    // The column count and every cell lookup divide by the cell size.
    if (cellSize.cx <= 0 || cellSize.cy <= 0 || prc == NULL)
        return FALSE;
    m_nCellWidth = cellSize.cx;
    m_nCellHeight = cellSize.cy;
    if (pGrid != NULL)
        m_Grid = *pGrid;
    if (pLook != NULL)
        m_CellLook = *pLook;

    CRect rc(*prc);
    m_bHasMask = FALSE;
    m_Region.DeleteObject();
    if (m_Grid.nMaskBitmapId != 0) {
        CMask mask;
        if (mask.LoadBitmap(m_Grid.nMaskBitmapId) && mask.CreateRegion(m_Region)) {
            rc.right = rc.left + mask.m_bm.bmWidth;
            rc.bottom = rc.top + mask.m_bm.bmHeight;
            m_bHasMask = TRUE;
        }
    }
    if (!CreateControl(rc, pParent, WS_CHILD | WS_CLIPSIBLINGS)) {
        m_Region.DeleteObject();
        m_bHasMask = FALSE;
        return FALSE;
    }
    // The system owns a region once the window has it.
    if (m_Region.GetSafeHandle() != NULL && ::SetWindowRgn(m_hWnd, static_cast<HRGN>(m_Region.GetSafeHandle()), TRUE))
        m_Region.Detach();
    return TRUE;
}

BOOL CSmiliesField::CreateAsCopy(CSmiliesField* pSource)
{
    if (pSource == NULL || pSource->m_hWnd == NULL)
        return FALSE;
    CRect rc;
    ::GetWindowRect(pSource->m_hWnd, &rc);
    HWND hParent = ::GetParent(pSource->m_hWnd);
    if (hParent != NULL)
        ::MapWindowPoints(NULL, hParent, reinterpret_cast<POINT*>(&rc), 2);
    const SIZE cell = {pSource->m_nCellWidth, pSource->m_nCellHeight};
    if (!Create(CWnd::FromHandle(hParent), &pSource->m_Grid, &pSource->m_CellLook, &rc, cell))
        return FALSE;
    m_nColorMode = pSource->m_nColorMode;
    m_strCode = pSource->m_strCode;
    CSmiliesPtrTable* pTable = pSource->m_pTable;
    for (int r = 0; pTable != NULL && r < pTable->GetRowCount(); r++) {
        for (int c = 0; c < pTable->GetColumnCount(); c++) {
            const CSmilie* pSmilie = pTable->GetAt(c, r);
            if (pSmilie != NULL) {
                const POINT cellAt = {c, r};
                AddSmilieCopy(&cellAt, pSmilie);
            }
        }
    }
    UpdateScrollRange(TRUE);
    return TRUE;
}

// --- lifecycle ---------------------------------------------------------------------

void CSmiliesField::OnCreated()
{
    s_nFieldWindows++;
    m_bViewDestroyed = 0;
    m_nContentHeight = 0;
    m_rcView.SetRect(0, 0, m_nClientWidth, m_nClientHeight);
    m_pScrollBar = NULL;
    m_bDropHover = 0;
    m_nSelected = 0;
    m_bBand = 0;
    SelectCornerMark();
    m_ptFocus = m_ptHotEmpty = {-1, -1};
    m_bMarkPressed = 0;
    memset(&m_si, 0, sizeof(m_si));
    m_si.cbSize = sizeof(m_si);
    m_si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    m_si.nMin = 0;
    m_si.nMax = m_nClientHeight;
    m_si.nPage = m_nClientHeight;
    m_si.nPos = 0;
    m_pLPressed = m_pRPressed = NULL;
    m_nColorMode = 0;
    delete m_pTable;
    m_pTable = new CSmiliesPtrTable(m_rcView.Width() / m_nCellWidth);
    if (s_nFieldWindows == 1)
        LoadCursors();
    m_pHotSmilie = NULL;
}

void CSmiliesField::OnDestroying()
{
    m_bViewDestroyed = 1;
    DeleteAllSmilies();
    CSmiliePreview::KillVTimer(m_hWnd, m_Animations, 0);
    m_OwnTimers.RemoveAll();
    DeleteGdiObjects();
    if (s_nFieldWindows == 1)
        FreeCursors();
    s_nFieldWindows--;
    delete m_pTable;
    m_pTable = NULL;
}

void CSmiliesField::OnSizeChanged(int cx, int cy)
{
    BandOff();
    StopAnimations();
    if (!m_bHasMask)
        m_rcView.SetRect(m_rcView.left, m_rcView.top, m_rcView.left + cx, m_rcView.top + cy);
    if (m_pScrollBar != NULL && m_pScrollBar->m_hWnd != NULL) {
        C3DScrollBar* pBar = DetachScrollBar();
        UpdateScrollRange(TRUE);
        AttachScrollBar(pBar);
    } else {
        UpdateScrollRange(TRUE);
    }
    OnDisplayChanged();
}

void CSmiliesField::OnShowWindow(BOOL bShow)
{
    if (!bShow) {
        StopMouseTracking();
        Default();
        DeleteGdiObjects();
        StopAnimations();
        FreeCellBitmaps();
    } else {
        Default();
    }
    BandOff();
    DeselectAll();
    ClearHotState();
    ForgetPressed();
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {-1, -1};
    if (bShow && ptFormer.x >= 0)
        RepaintCell(ptFormer.x, ptFormer.y);
}

LRESULT CSmiliesField::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), GET_X_LPARAM(lParam),
                            GET_Y_LPARAM(lParam));
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}

// --- helpers -------------------------------------------------------------------------

void CSmiliesField::SelectCornerMark()
{
    const int nSmaller = m_nCellWidth < m_nCellHeight ? m_nCellWidth : m_nCellHeight;
    m_pCornerMark = nSmaller < 43 ? &s_SmallCornerMark : &s_LargeCornerMark;
}

POINT CSmiliesField::GetCursorClientPos() const
{
    POINT pt = {0, 0};
    s_pfnGetCursorPos(&pt);
    if (m_hWnd != NULL)
        ::ScreenToClient(m_hWnd, &pt);
    return pt;
}

BOOL CSmiliesField::IsCursorOverControl() const
{
    return m_bHovering != 0;
}

void CSmiliesField::MarkLayoutChanged()
{
    ::SetFieldsModified();
}

void CSmiliesField::SetFieldsModified()
{
    MarkLayoutChanged();
}

int CSmiliesField::GetLastUsedRow() const
{
    return m_pTable != NULL ? m_pTable->GetRowCount() - 1 : -1;
}

void CSmiliesField::KillSmilieTimer(CSmilie* pSmilie)
{
    if (pSmilie->m_nAnimTimer != 0) {
        if (HasVTimer(static_cast<int>(pSmilie->m_nAnimTimer)))
            CSmiliePreview::KillVTimer(m_hWnd, m_Animations, static_cast<int>(pSmilie->m_nAnimTimer));
        pSmilie->m_nAnimTimer = 0;
    }
}

// Drops every pointer the view keeps to a smilie that is going.
void CSmiliesField::ForgetSmilie(const CSmilie* pSmilie)
{
    if (m_pHotSmilie == pSmilie)
        m_pHotSmilie = NULL;
    if (m_pLPressed == pSmilie)
        m_pLPressed = NULL;
    if (m_pRPressed == pSmilie)
        m_pRPressed = NULL;
}

void CSmiliesField::DestroySmilie(CSmilie* pSmilie)
{
    KillSmilieTimer(pSmilie);
    if (pSmilie->m_bSelected && m_nSelected > 0)
        m_nSelected--;
    ForgetSmilie(pSmilie);
    delete pSmilie;
}

void CSmiliesField::ResetInteraction()
{
    m_nContentHeight = 0;
    m_ptFocus = m_ptHotEmpty = {-1, -1};
    m_bMarkPressed = 0;
    m_nSelected = 0;
    m_bBand = 0;
    m_pLPressed = m_pRPressed = m_pHotSmilie = NULL;
}

// --- content ---------------------------------------------------------------------------

BOOL CSmiliesField::IsCellInGrid(int nColumn, int nRow) const
{
    return nColumn >= 0 && nColumn < GetColumnCount() && nRow >= 0 && nRow < GetRowLimit();
}

int CSmiliesField::GetColumnCount() const
{
    return m_pTable != NULL ? m_pTable->GetColumnCount() : 0;
}

int CSmiliesField::GetRowLimit() const
{
    return FieldRowLimit(m_Grid.nRows, m_nCellHeight);
}

CSmilie* CSmiliesField::GetAt(int nColumn, int nRow) const
{
    return m_pTable != NULL ? m_pTable->GetAt(nColumn, nRow) : NULL;
}

int CSmiliesField::GetSmilieCount() const
{
    return m_pTable != NULL ? m_pTable->GetTotal() : 0;
}

BOOL CSmiliesField::FindSmilie(const CSmilie* pSmilie) const
{
    for (int r = 0; pSmilie != NULL && m_pTable != NULL && r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (m_pTable->GetAt(c, r) == pSmilie)
                return TRUE;
    return FALSE;
}

BOOL CSmiliesField::ContainsSmilie(const CSmilie* pSmilie) const
{
    return pSmilie != NULL && GetAt(pSmilie->m_nColumn, pSmilie->m_nRow) == pSmilie;
}

int CSmiliesField::GetScrollPos() const
{
    if (m_pScrollBar != NULL)
        return m_pScrollBar->GetPos();
    return m_si.nPos;
}

CRect CSmiliesField::GetCellRect(int nColumn, int nRow) const
{
    const int x = nColumn * m_nCellWidth;
    const int y = nRow * m_nCellHeight - GetScrollPos();
    return CRect(x, y, x + m_nCellWidth, y + m_nCellHeight);
}

CRect CSmiliesField::GetSmilieRect(const CSmilie* pSmilie) const
{
    const int x = pSmilie->m_nColumn * pSmilie->m_nCellWidth;
    const int y = pSmilie->m_nRow * pSmilie->m_nCellHeight - GetScrollPos();
    return CRect(x, y, x + pSmilie->m_nCellWidth, y + pSmilie->m_nCellHeight);
}

void CSmiliesField::GetNextFreeCell(POINT* pCell) const
{
    pCell->x = pCell->y = 0;
    const int nLast = GetLastUsedRow();
    if (nLast < 0)
        return;
    const int nColumns = GetColumnCount();
    for (int c = nColumns - 1; c >= 0; c--) {
        if (m_pTable->GetAt(c, nLast) != NULL) {
            if (c + 1 < nColumns) {
                pCell->x = c + 1;
                pCell->y = nLast;
            } else {
                pCell->x = 0;
                pCell->y = nLast + 1;
            }
            return;
        }
    }
}

// Binds a smilie made for this field and stores it at the cell; deletes it
// and gives NULL when the cell is outside the grid or taken.
CSmilie* CSmiliesField::StoreNewSmilie(CSmilie* pSmilie, const POINT* pCell)
{
    POINT cell;
    if (pCell != NULL)
        cell = *pCell;
    else
        GetNextFreeCell(&cell);
    if (!IsCellInGrid(cell.x, cell.y) || GetAt(cell.x, cell.y) != NULL) {
        delete pSmilie;
        return NULL;
    }
    BandOff();
    DeselectAll();
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {-1, -1};
    ClearFocusCell(ptFormer);

    pSmilie->m_nAnimTimer = 0;
    pSmilie->m_nHover = 0;
    pSmilie->m_bPressed = 0;
    pSmilie->m_bSelected = 0;
    pSmilie->SetField(this);
    pSmilie->SetCell(cell.x, cell.y);
    m_pTable->SetAt(pSmilie, cell.x, cell.y);
    MarkLayoutChanged();
    RepaintCell(cell.x, cell.y);
    return pSmilie;
}

CSmilie* CSmiliesField::AddSmilie(const POINT* pCell, uint32_t nImageRecord, LPCTSTR pszPhrase, LPCTSTR pszSource)
{
    if (m_pTable == NULL)
        return NULL;
    CSmilie* pSmilie = new CSmilie(m_nCellWidth, m_nCellHeight);
    pSmilie->SetImage(nImageRecord);
    pSmilie->SetPhrase(pszPhrase != NULL ? pszPhrase : "", FALSE);
    pSmilie->SetSource(pszSource);
    return StoreNewSmilie(pSmilie, pCell);
}

CSmilie* CSmiliesField::AddSmilieCopy(const POINT* pCell, const CSmilie* pSource)
{
    if (m_pTable == NULL || pSource == NULL)
        return NULL;
    CSmilie* pSmilie = new CSmilie(*pSource);
    return StoreNewSmilie(pSmilie, pCell);
}

BOOL CSmiliesField::MoveSmilie(const POINT* pCell, CSmilie* pSmilie)
{
    if (pSmilie == NULL || pSmilie->m_pField == NULL || m_pTable == NULL)
        return FALSE;
    CSmiliesField* pSource = static_cast<CSmiliesField*>(pSmilie->m_pField);
    if (!pSource->ContainsSmilie(pSmilie))
        return FALSE;
    POINT cell;
    if (pCell != NULL)
        cell = *pCell;
    else
        GetNextFreeCell(&cell);
    if (!IsCellInGrid(cell.x, cell.y)) {
        // Nowhere to go: the caller's undo step brings it back.
        pSource->RemoveSmilie(pSmilie, FALSE);
        return TRUE;
    }
    const POINT ptOld = {pSmilie->m_nColumn, pSmilie->m_nRow};
    if (pSource == this && ptOld.x == cell.x && ptOld.y == cell.y)
        return TRUE;
    // Two smilies in one cell would lose one of them.
    if (GetAt(cell.x, cell.y) != NULL)
        return FALSE;

    if (pSource == this) {
        const POINT ptFormer = m_ptFocus;
        m_ptFocus = {-1, -1};
        ClearFocusCell(ptFormer);
        m_pTable->RemoveAt(ptOld.x, ptOld.y);
        pSmilie->SetCell(cell.x, cell.y);
        m_pTable->SetAt(pSmilie, cell.x, cell.y);
    } else {
        POINT ptFormer = m_ptFocus;
        m_ptFocus = {-1, -1};
        ClearFocusCell(ptFormer);
        ptFormer = pSource->m_ptFocus;
        pSource->m_ptFocus = {-1, -1};
        pSource->ClearFocusCell(ptFormer);
        pSource->KillSmilieTimer(pSmilie);
        pSource->BandOff();
        pSource->DeselectAll();
        BandOff();
        DeselectAll();
        pSource->ForgetSmilie(pSmilie);
        pSource->m_pTable->RemoveAt(ptOld.x, ptOld.y);
        pSmilie->m_nHover = 0;
        pSmilie->m_bPressed = 0;
        pSmilie->SetField(this);
        pSmilie->SetCell(cell.x, cell.y);
        m_pTable->SetAt(pSmilie, cell.x, cell.y);
    }
    pSource->RepaintCell(ptOld.x, ptOld.y);
    const CRect rcNew = GetCellRect(cell.x, cell.y);
    CRect rcMeet;
    if (!rcMeet.IntersectRect(&rcNew, &m_rcView)) {
        KillSmilieTimer(pSmilie);
        pSmilie->DeleteCachedBitmap();
    } else {
        pSmilie->DeleteCachedBitmap();
        RepaintCell(cell.x, cell.y);
    }
    MarkLayoutChanged();
    return TRUE;
}

BOOL CSmiliesField::RemoveSmilie(CSmilie* pSmilie, BOOL bKeep)
{
    return TakeOutSmilie(pSmilie, bKeep, TRUE);
}

BOOL CSmiliesField::RemoveSmilieAlone(CSmilie* pSmilie)
{
    return TakeOutSmilie(pSmilie, FALSE, FALSE);
}

BOOL CSmiliesField::TakeOutSmilie(CSmilie* pSmilie, BOOL bKeep, BOOL bClearSelection)
{
    if (!ContainsSmilie(pSmilie))
        return FALSE;
    KillSmilieTimer(pSmilie);
    const BOOL bVisible = m_hWnd != NULL && IsWindowVisible();
    if (bVisible && bClearSelection) {
        BandOff();
        DeselectAll();
    } else if (pSmilie->m_bSelected && m_nSelected > 0) {
        m_nSelected--;
    }
    pSmilie->m_bSelected = 0;
    ForgetSmilie(pSmilie);
    const int c = pSmilie->m_nColumn, r = pSmilie->m_nRow;
    m_pTable->RemoveAt(c, r);
    if (bKeep) {
        pSmilie->m_nHover = 0;
        pSmilie->m_bPressed = 0;
        pSmilie->SetField(NULL);
    } else {
        delete pSmilie;
    }
    if (bVisible)
        RepaintCell(c, r);
    MarkLayoutChanged();
    return TRUE;
}

void CSmiliesField::DeleteAllSmilies()
{
    if (m_pTable == NULL)
        return;
    const int nColumns = m_pTable->GetColumnCount();
    for (int r = m_pTable->GetRowCount() - 1; r >= 0; r--) {
        for (int c = nColumns - 1; c >= 0; c--) {
            CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie != NULL) {
                m_pTable->RemoveAt(c, r);
                DestroySmilie(pSmilie);
            }
        }
    }
    delete m_pTable;
    m_pTable = new CSmiliesPtrTable(nColumns);
    m_nSelected = 0;
    m_pHotSmilie = m_pLPressed = m_pRPressed = NULL;
}

void CSmiliesField::EnterBusyOperation()
{
    const POINT ptFormer = m_ptFocus;
    m_ptFocus = {-1, -1};
    ClearFocusCell(ptFormer);
    if (m_hWnd != NULL)
        ::UpdateWindow(m_hWnd);
    BeginBusy();
    if (m_hWnd != NULL && IsWindowVisible()) {
        ClearHotState();
        StopAnimations();
        FreeCellBitmaps();
        DeselectAll();
    }
    BandOff();
}

void CSmiliesField::LeaveBusyOperation()
{
    if (m_hWnd != NULL && IsWindowVisible()) {
        if (HasGdiObjects())
            PaintCells(&m_rcView, FALSE);
        ::InvalidateRect(m_hWnd, NULL, FALSE);
        ::UpdateWindow(m_hWnd);
    }
    EndBusy();
}

int CSmiliesField::InsertRows(const POINT* pPoint, int nCount, BOOL bUpdateScroll)
{
    if (pPoint == NULL || m_pTable == NULL || nCount <= 0)
        return 0;
    const int nLast = GetLastUsedRow();
    const int nFrom = CellFromPoint(*pPoint).y;
    if (nLast < 0 || nFrom > nLast || nFrom < 0)
        return 0;
    EnterBusyOperation();
    int nTouched = 0;
    const int nColumns = m_pTable->GetColumnCount();
    for (int r = nLast; r >= nFrom; r--) {
        for (int c = 0; c < nColumns; c++) {
            CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL)
                continue;
            m_pTable->RemoveAt(c, r);
            if (IsCellInGrid(c, r + nCount)) {
                pSmilie->SetCell(c, r + nCount);
                m_pTable->SetAt(pSmilie, c, r + nCount);
            } else {
                DestroySmilie(pSmilie);
            }
            nTouched++;
        }
        PumpMessagesWhileBusy();
    }
    LeaveBusyOperation();
    if (bUpdateScroll && nTouched != 0)
        UpdateScrollRange(FALSE);
    MarkLayoutChanged();
    return nTouched;
}

void CSmiliesField::CountSmilies(int* pnPictures, int* pnPhrases) const
{
    int nPictures = 0, nPhrases = 0;
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            const CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL)
                continue;
            if (pSmilie->m_nImageRecord != 0)
                nPictures++;
            else if (IsPhraseSmilie(pSmilie))
                nPhrases++;
        }
    }
    if (pnPictures != NULL)
        *pnPictures = nPictures;
    if (pnPhrases != NULL)
        *pnPhrases = nPhrases;
}

uint64_t CSmiliesField::GetImageDataTotal() const
{
    uint64_t nTotal = 0;
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++)
        for (int c = 0; c < m_pTable->GetColumnCount(); c++)
            if (const CSmilie* pSmilie = m_pTable->GetAt(c, r))
                nTotal += pSmilie->GetImageDataSize();
    return nTotal;
}

int CSmiliesField::GetSendableSmilies(CSequence<const CSmilie*>* pList) const
{
    pList->RemoveAll();
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            const CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie != NULL && (pSmilie->m_nImageRecord != 0 || IsPhraseSmilie(pSmilie)))
                pList->Add(pSmilie);
        }
    }
    return pList->GetSize();
}

void CSmiliesField::ZeroStatistics()
{
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r)) {
                pSmilie->m_nUsageCount = 0;
                memset(&pSmilie->m_Date, 0, sizeof(pSmilie->m_Date));
            }
        }
    }
    MarkLayoutChanged();
}

int CSmiliesField::QueueWebSmilies()
{
    int nQueued = 0;
    const size_t nGallery = sizeof(kWebPrefixGallery) - 1;
    const size_t nArchive = sizeof(kWebPrefixArchive) - 1;
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL || pSmilie->m_pszSource == NULL || pSmilie->m_pszSource[0] == '\0')
                continue;
            const char* psz = pSmilie->m_pszSource;
            if (_strnicmp(psz, kWebPrefixGallery, nGallery) != 0 && _strnicmp(psz, kWebPrefixArchive, nArchive) != 0)
                continue;
            pSmilie->m_nFlags |= CSmilie::flagWebSmilie;
            if (CSmilie::QueueDownload(pSmilie)) {
                nQueued++;
                RepaintCell(c, r);
            }
        }
    }
    return nQueued;
}

void CSmiliesField::FlagImagesInUse()
{
    if (g_pCollectionFile == NULL)
        return;
    CSequence<CTvnxSave::FILERECORD>& records = g_pCollectionFile->m_Records;
    for (int r = 0; m_pTable != NULL && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            const CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL || pSmilie->m_nImageRecord == 0)
                continue;
            for (int i = 0; i < records.GetSize(); i++) {
                if (records[i].nId == pSmilie->m_nImageRecord) {
                    records[i].bUsed = 1;
                    break;
                }
            }
        }
        PumpMessagesWhileBusy();
    }
}

// --- scrolling -------------------------------------------------------------------------------

void CSmiliesField::UpdateScrollRange(BOOL bForce)
{
    const int nViewHeight = m_rcView.Height();
    const int nHeight = FieldContentHeight(GetLastUsedRow(), m_nCellHeight, nViewHeight, GetRowLimit());
    if (nHeight == m_nContentHeight && !bForce)
        return;
    const int nPos = GetScrollPos();
    BOOL bShortened = FALSE;
    if (nHeight - nViewHeight < nPos) {
        const int nNew = nHeight - nViewHeight > 0 ? nHeight - nViewHeight : 0;
        if (m_pScrollBar != NULL && nHeight < nViewHeight) {
            // Content shorter than the view: there is nothing to scroll to, so
            // the view goes back to its top once the bar has the new range.
            bShortened = TRUE;
        } else if (m_pScrollBar != NULL) {
            OnVScroll(SB_THUMBTRACK, nNew);
        } else {
            m_si.nPos = nNew;
            if (HasGdiObjects()) {
                PaintCells(&m_rcView, TRUE);
                if (m_hWnd != NULL)
                    ::InvalidateRect(m_hWnd, NULL, FALSE);
            }
        }
    }
    m_nContentHeight = nHeight;
    m_si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    m_si.nMin = 0;
    m_si.nMax = nHeight;
    m_si.nPage = nViewHeight;
    if (m_pScrollBar != NULL) {
        SCROLLINFO si = BarScrollInfo(m_si, m_pScrollBar->GetPos());
        m_pScrollBar->SetScrollInfo(&si);
        if (m_pScrollBar->m_hWnd != NULL)
            m_pScrollBar->RedrawParts(31, m_pScrollBar->GetThumbOffset());
        UpdateScrollArrows();
        if (bShortened) {
            ScrollBy(nPos, GetScrollPos());
            MarkLayoutChanged();
        }
    }
}

// The record as the shared bar takes it, at the position given (clamped to
// the range). The bar refuses a page longer than its range, and would then
// keep the last field's position: the page of content shorter than the view
// is the content's height (the thumb fills the track).
SCROLLINFO CSmiliesField::BarScrollInfo(const SCROLLINFO& record, int nPos)
{
    SCROLLINFO si = record;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (static_cast<int>(si.nPage) > si.nMax)
        si.nPage = static_cast<UINT>(si.nMax > 0 ? si.nMax : 0);
    const int nLast = si.nMax - static_cast<int>(si.nPage);
    if (nPos > nLast)
        nPos = nLast;
    si.nPos = nPos > 0 ? nPos : 0;
    return si;
}

void CSmiliesField::UpdateScrollArrows()
{
    if (m_pScrollBar == NULL || m_pScrollBar->m_hWnd == NULL)
        return;
    const int nPos = m_pScrollBar->GetPos();
    const int nWant = (nPos > 0 ? SBA_FIRST : 0) | (nPos < m_pScrollBar->GetLastPos() ? SBA_SECOND : 0);
    const int nHave = m_pScrollBar->GetArrowBits() & (SBA_FIRST | SBA_SECOND);
    if (nWant == nHave)
        return;
    if (nWant == 0) {
        m_pScrollBar->EnableScrollBar(ESB_DISABLE_BOTH);
        return;
    }
    m_pScrollBar->EnableScrollBar(ESB_ENABLE_BOTH);
    if (nWant == SBA_SECOND)
        m_pScrollBar->EnableScrollBar(ESB_DISABLE_LTUP);
    else if (nWant == SBA_FIRST)
        m_pScrollBar->EnableScrollBar(ESB_DISABLE_RTDN);
}

void CSmiliesField::OnVScroll(int nCode, int nPos)
{
    const int nOld = GetScrollPos();
    const int nNew = FieldScrollTarget(nCode, nPos, nOld, m_rcView.Height(), m_nContentHeight);
    if (nNew < 0)
        return;
    if (m_pScrollBar != NULL) {
        m_pScrollBar->SetScrollPos(nNew);
        UpdateScrollArrows();
    } else {
        m_si.nPos = nNew;
    }
    ScrollBy(nOld, nNew);
    MarkLayoutChanged();
}

// Moves the picture by old - new pixels and paints only what comes into view.
void CSmiliesField::ScrollBy(int nOld, int nNew)
{
    if (!HasGdiObjects() || m_pTable == NULL) {
        if (m_hWnd != NULL)
            ::InvalidateRect(m_hWnd, NULL, FALSE);
        return;
    }
    const int nViewHeight = m_rcView.Height();
    // Smilies of the rows that leave the view give up their timers and bitmaps.
    int nFirstRow, nLastRow;
    if (nNew > nOld) {
        nFirstRow = nOld / m_nCellHeight;
        nLastRow = nNew / m_nCellHeight;
    } else {
        nFirstRow = (nNew + nViewHeight) / m_nCellHeight;
        nLastRow = (nOld + nViewHeight) / m_nCellHeight;
    }
    for (int r = nFirstRow; r <= nLastRow && r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            CSmilie* pSmilie = m_pTable->GetAt(c, r);
            if (pSmilie == NULL)
                continue;
            const CRect rc = GetSmilieRect(pSmilie);
            CRect rcMeet;
            if (!rcMeet.IntersectRect(&rc, &m_rcView)) {
                KillSmilieTimer(pSmilie);
                pSmilie->DeleteCachedBitmap();
            }
        }
    }

    const int dy = nOld - nNew;
    CRect rcStrip(m_rcView);
    if (dy > -nViewHeight && dy < nViewHeight) {
        {
            CBackBufDC dc(this);
            ::ScrollDC(dc.m_hDC, 0, dy, &m_rcView, &m_rcView, NULL, NULL);
        }
        if (dy > 0)
            rcStrip.bottom = rcStrip.top + dy;
        else
            rcStrip.top = rcStrip.bottom + dy;
    }
    PaintCells(&rcStrip, TRUE);
    if (m_hWnd != NULL && IsWindowVisible()) {
        if (rcStrip != m_rcView)
            ::ScrollWindowEx(m_hWnd, 0, dy, &m_rcView, &m_rcView, NULL, NULL, 0);
        RedrawRect(rcStrip);
    }
}

BOOL CSmiliesField::OnMouseWheel(UINT nFlags, short zDelta, int x, int y)
{
    POINT pt = {x, y};
    if (m_hWnd != NULL)
        ::ScreenToClient(m_hWnd, &pt);
    m_nMouseX = pt.x;
    m_nMouseY = pt.y;
    m_nMouseFlags = static_cast<int>(nFlags);
    const int nStep = FieldWheelStep(s_pfnGetWheelLines(), m_nCellHeight, m_rcView.Height());
    const int nPos = GetScrollPos();
    int nNew = zDelta > 0 ? nPos - nStep : nPos + nStep;
    if (nNew < 0)
        nNew = 0;
    OnVScroll(SB_THUMBTRACK, nNew);
    if (IsCursorOverControl())
        OnMouseMove(nFlags, pt.x, pt.y);
    return TRUE;
}

void CSmiliesField::SetScrollPos(int nPos, BOOL bForce)
{
    int nMax = m_nContentHeight - m_rcView.Height();
    if (nMax < 0)
        nMax = 0;
    if (nPos > nMax)
        nPos = nMax;
    if (nPos < 0)
        nPos = 0;
    if (nPos == GetScrollPos() && !bForce)
        return;
    if (m_pScrollBar != NULL) {
        m_pScrollBar->SetScrollPos(nPos);
        UpdateScrollArrows();
    } else {
        m_si.nPos = nPos;
    }
    if (HasGdiObjects())
        PaintCells(&m_rcView, TRUE);
    if (m_hWnd != NULL)
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

void CSmiliesField::AttachScrollBar(C3DScrollBar* pBar)
{
    m_pScrollBar = pBar;
    if (pBar == NULL)
        return;
    SCROLLINFO si = BarScrollInfo(m_si, m_si.nPos);
    pBar->SetScrollInfo(&si);
    if (pBar->m_hWnd != NULL)
        pBar->RedrawParts(31, pBar->GetThumbOffset());
    UpdateScrollArrows();
}

C3DScrollBar* CSmiliesField::DetachScrollBar()
{
    C3DScrollBar* pBar = m_pScrollBar;
    if (pBar == NULL)
        return NULL;
    m_si.nPos = pBar->GetPos();
    m_pScrollBar = NULL;
    return pBar->m_hWnd != NULL ? pBar : NULL;
}

// --- cell size --------------------------------------------------------------------------------

void CSmiliesField::SetCellSize(const CSmilie* pAnchor, int nWidth, int nHeight)
{
    if (m_pTable == NULL || (nWidth == m_nCellWidth && nHeight == m_nCellHeight))
        return;
    if (!IsFieldCellSizeAccepted(m_nClientWidth, nWidth, nHeight))
        return;
    int nAnchorOffset = 0;
    if (pAnchor != NULL)
        nAnchorOffset = pAnchor->m_nRow * m_nCellHeight - GetScrollPos();

    if (nWidth != m_nCellWidth) {
        // Reading order stays: row x old columns + column, laid out again in
        // the new column count.
        const int nOldColumns = m_pTable->GetColumnCount();
        CSequence<CSmilie*> flat;
        CSequence<int> indexes;
        for (int r = 0; r < m_pTable->GetRowCount(); r++) {
            for (int c = 0; c < nOldColumns; c++) {
                if (CSmilie* pSmilie = m_pTable->GetAt(c, r)) {
                    flat.Add(pSmilie);
                    indexes.Add(r * nOldColumns + c);
                }
            }
        }
        m_nCellWidth = nWidth;
        m_nCellHeight = nHeight;
        SelectCornerMark();
        delete m_pTable;
        m_pTable = new CSmiliesPtrTable(m_rcView.Width() / nWidth);
        const int nColumns = m_pTable->GetColumnCount();
        const int nLimit = GetRowLimit();
        for (int i = 0; i < flat.GetSize(); i++) {
            CSmilie* pSmilie = flat[i];
            const int c = nColumns > 0 ? indexes[i] % nColumns : 0;
            const int r = nColumns > 0 ? indexes[i] / nColumns : nLimit;
            if (r >= nLimit) {
                if (pSmilie == pAnchor)
                    pAnchor = NULL;
                DestroySmilie(pSmilie);
                continue;
            }
            pSmilie->SetCellSize(nWidth, nHeight);
            pSmilie->SetCell(c, r);
            m_pTable->SetAt(pSmilie, c, r);
        }
    } else {
        m_nCellWidth = nWidth;
        m_nCellHeight = nHeight;
        SelectCornerMark();
        for (int r = 0; r < m_pTable->GetRowCount(); r++)
            for (int c = 0; c < m_pTable->GetColumnCount(); c++)
                if (CSmilie* pSmilie = m_pTable->GetAt(c, r))
                    pSmilie->SetCellSize(nWidth, nHeight);
    }

    if (HasGdiObjects()) {
        DeleteGdiObjects();
        FreeCellBitmaps();
    }
    StopAnimations();
    for (int r = 0; r < m_pTable->GetRowCount(); r++) {
        for (int c = 0; c < m_pTable->GetColumnCount(); c++) {
            if (CSmilie* pSmilie = m_pTable->GetAt(c, r)) {
                pSmilie->m_bSelected = 0;
                pSmilie->m_bPressed = 0;
                pSmilie->m_nHover = 0;
            }
        }
    }
    m_bDropHover = 0;
    m_nSelected = 0;
    m_bBand = 0;
    m_ptFocus = m_ptHotEmpty = {-1, -1};
    m_pLPressed = m_pRPressed = m_pHotSmilie = NULL;
    C3DScrollBar* pBar = DetachScrollBar();
    m_nContentHeight = 0;
    UpdateScrollRange(TRUE);

    int nPos = 0;
    if (pAnchor != NULL && ContainsSmilie(pAnchor))
        nPos = pAnchor->m_nRow * m_nCellHeight - nAnchorOffset;
    SetScrollPos(nPos, TRUE);
    AttachScrollBar(pBar);
    if (m_hWnd != NULL)
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    MarkLayoutChanged();
}
