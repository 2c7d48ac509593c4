#include "fields/SmiliesFieldDropPaste.h"

#include "collection/Smilie.h"
#include "delivery/Insertion.h"
#include "delivery/MessengerRequest.h"
#include "delivery/MsnExporterDlg.h"
#include "delivery/TvFieldDataSource.h"
#include "fields/ForeignFocus.h"
#include "fields/SmiliesPasteGroup.h"
#include "framework/Dialog.h"
#include "framework/Exception.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/Registered.h"
#include "ui3d/controls/DragImageWnd.h"

#include <algorithm>
#include <vector>

namespace {

// Polls for the end of a drag this field did not start (a tab drag), while an
// export request waits.
const UINT kDeferredExportTimer = 0x7E45;

int RunExport6(MSNEXPORTREQUEST* pRequest, CWnd* pParent)
{
    CMsnMsgr6ExporterDlg dlg(pParent);
    return dlg.Export(pRequest);
}

int RunExport7(MSNEXPORTREQUEST* pRequest, CWnd* pParent)
{
    CMsnMsgr7ExporterDlg dlg(pParent);
    return dlg.Export(pRequest);
}

// The field view of a live field window that holds the smilie, else NULL.
// The pointer is only compared, never followed, until it is found.
CSmiliesField* FindLiveField(const CSmilie* pSmilie)
{
    for (int i = 0; i < CSmiliesField::s_AllFields.GetSize(); i++) {
        CSmiliesField* pField = CSmiliesField::s_AllFields[i];
        if (pField != NULL && pField->m_hWnd != NULL && pField->FindSmilie(pSmilie))
            return pField;
    }
    return NULL;
}

CSmiliesField* FieldOf(const CSmilie* pSmilie)
{
    return pSmilie != NULL && pSmilie->m_pField != NULL ? static_cast<CSmiliesField*>(pSmilie->m_pField) : NULL;
}

void PushUndo(CSmiliesField* pField, int nTitle)
{
    const HWND hContainer = pField->m_hWnd != NULL ? ::GetParent(pField->m_hWnd) : NULL;
    if (hContainer != NULL)
        ::SendMessageA(hContainer, WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(nTitle)), 0);
}

// A system cursor by its number, else a cursor of the program.
HCURSOR LoadFieldCursor(LPCSTR pszId, BOOL* pbOwn)
{
    const UINT_PTR nId = reinterpret_cast<UINT_PTR>(pszId);
    *pbOwn = FALSE;
    if (pszId == NULL)
        return NULL;
    if (IS_INTRESOURCE(pszId) && nId >= 32512 && nId <= 32651)
        return ::LoadCursorA(NULL, pszId);
    HCURSOR hCursor = ::LoadCursorA(::GetModuleHandleA(NULL), pszId);
    *pbOwn = hCursor != NULL;
    return hCursor;
}

void FreeFieldCursor(HCURSOR& hCursor, BOOL& bOwn)
{
    if (hCursor != NULL && bOwn)
        ::DestroyCursor(hCursor);
    hCursor = NULL;
    bOwn = FALSE;
}

}  // namespace

int (*CSmiliesFieldDropPaste::s_pfnExport6)(MSNEXPORTREQUEST*, CWnd*) = RunExport6;
int (*CSmiliesFieldDropPaste::s_pfnExport7)(MSNEXPORTREQUEST*, CWnd*) = RunExport7;
HWND CSmiliesFieldDropPaste::s_hDeferredExport = NULL;

// ---- drop target ---------------------------------------------------------------------------

DROPEFFECT CFieldODT::OnDragEnter(CWnd*, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (m_pOwner == NULL)
        return DROPEFFECT_NONE;
    m_pOwner->SetDropHover(TRUE);
    if (m_pOwner->m_hCursor != NULL)
        ::SetCursor(m_pOwner->m_hCursor);
    if (!m_bEntered) {
        m_bEntered = TRUE;
        m_pOwner->OnMouseEnter();
    }
    return m_pOwner->CanAcceptDrop(pDataObject, dwKeyState, point);
}

DROPEFFECT CFieldODT::OnDragOver(CWnd*, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (m_pOwner == NULL)
        return DROPEFFECT_NONE;
    const int nScrolled = m_pOwner->OnDragOver(dwKeyState, point);
    DROPEFFECT effect = m_pOwner->CanAcceptDrop(pDataObject, dwKeyState, point);
    if (nScrolled != 0)
        effect |= DROPEFFECT_SCROLL;
    return effect;
}

void CFieldODT::OnDragLeave(CWnd* pWnd)
{
    COleDropTarget::OnDragLeave(pWnd);
    if (m_pOwner == NULL)
        return;
    if (m_bEntered) {
        m_bEntered = FALSE;
        m_pOwner->OnMouseLeave();
    }
    m_pOwner->ClearHotState();
    m_pOwner->SetDropHover(FALSE);
}

BOOL CFieldODT::OnDrop(CWnd*, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    if (m_pOwner == NULL)
        return FALSE;
    m_bEntered = FALSE;
    m_pOwner->SetDropHover(FALSE);
    return m_pOwner->OnDropData(pDataObject, dropEffect, point);
}

// ---- the field ------------------------------------------------------------------------------

CSmiliesFieldDropPaste::CSmiliesFieldDropPaste()
    : m_pDropOwner(this), m_bDroppedHere(FALSE), m_ptPendingGrab{0, 0}, m_ptPendingDrop{0, 0}, m_bPendingMove(FALSE)
{
    m_DropTarget.m_pOwner = this;
}

CSmiliesFieldDropPaste::~CSmiliesFieldDropPaste()
{
    m_DropTarget.m_pOwner = NULL;
}

void CSmiliesFieldDropPaste::OnCreated()
{
    CSmiliesField::OnCreated();
    if (!m_DropTarget.Register(this)) {
        // Told once; the fields still work, without drops.
        static BOOL s_bTold = FALSE;
        if (!s_bTold) {
            s_bTold = TRUE;
            AfxMessageBox("Ole Register Drop Target Failed");
        }
    }
}

void CSmiliesFieldDropPaste::OnDestroying()
{
    m_DropTarget.Revoke();
    if (s_hDeferredExport == m_hWnd)
        s_hDeferredExport = NULL;
    m_PendingSmilies.RemoveAll();
    CSmiliesField::OnDestroying();
}

void CSmiliesFieldDropPaste::LoadCursors()
{
    FreeFieldCursor(g_DragCursors.hScroll, g_DragCursors.bOwnScroll);
    FreeFieldCursor(g_DragCursors.hNoDrop, g_DragCursors.bOwnNoDrop);
    FreeFieldCursor(g_DragCursors.hCopyMove, g_DragCursors.bOwnCopyMove);
    g_DragCursors.hScroll = LoadFieldCursor(m_Grid.pszCursors[0], &g_DragCursors.bOwnScroll);
    g_DragCursors.hNoDrop = LoadFieldCursor(m_Grid.pszCursors[2], &g_DragCursors.bOwnNoDrop);
    OSVERSIONINFOA vi = {sizeof(vi)};
    const BOOL bWin2000 = ::GetVersionExA(&vi) && vi.dwMajorVersion >= 5;
    g_DragCursors.hCopyMove = LoadFieldCursor(m_Grid.pszCursors[bWin2000 ? 3 : 1], &g_DragCursors.bOwnCopyMove);
}

void CSmiliesFieldDropPaste::FreeCursors()
{
    g_PasteHistory.RemoveAll();
    FreeFieldCursor(g_DragCursors.hScroll, g_DragCursors.bOwnScroll);
    FreeFieldCursor(g_DragCursors.hNoDrop, g_DragCursors.bOwnNoDrop);
    FreeFieldCursor(g_DragCursors.hCopyMove, g_DragCursors.bOwnCopyMove);
}

LRESULT CSmiliesFieldDropPaste::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DROPGROUP:
        return OnDropGroup();
    case WM_EXPORTTOMESSENGER:
        return OnExportToMessenger(wParam, lParam);
    case WM_TIMER:
        if (wParam == kDeferredExportTimer) {
            if (g_nActiveDrags <= 0) {
                ::KillTimer(m_hWnd, kDeferredExportTimer);
                ExportWhenDragsEnded();
            }
            return 0;
        }
        break;
    }
    return CSmiliesField::WindowProc(message, wParam, lParam);
}

// ---- scrolling while dragging -----------------------------------------------------------------

int CSmiliesFieldDropPaste::OnDragOver(DWORD dwKeyState, CPoint point)
{
    if (m_hWnd == NULL || (HIWORD(::GetQueueStatus(QS_PAINT)) & QS_PAINT) != 0 ||
        (dwKeyState & (MK_SHIFT | MK_CONTROL | MK_ALT)) != 0)
        return 0;
    const int y = point.y;
    const int H = m_rcView.Height();
    const int P = GetScrollPos();
    const int C = GetContentHeight();
    int nNew = P;
    int nResult = 0;
    if (y >= 0 && y < 15 && P > 0) {
        nNew = std::max(P - 3, 0);
        nResult = 1;
    } else if (y >= 15 && y < 30 && P > 0) {
        nNew = P - 1;
        nResult = 2;
    } else if (y >= H) {
        return 0;
    } else if (H - 15 < y && H + P < C) {
        nNew = P + 3;
        nResult = 4;
    } else if (H - 30 < y && H + P < C) {
        nNew = P + 1;
        nResult = 3;
    } else {
        return 0;
    }
    ::PostMessageA(m_hWnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, nNew), 0);
    return nResult;
}

// ---- drops ---------------------------------------------------------------------------------------

int CSmiliesFieldDropPaste::QueryDropMode(BOOL /*bMove*/)
{
    return DROPMODE_MOVE_KEEP;
}

namespace {

SMILIEDRAGDESC* ReadDroppedGroup(COleDataObject* pDataObject)
{
    const CLIPFORMAT cf = GetSmilieGroupClipFormat();
    if (pDataObject == NULL || !pDataObject->IsDataAvailable(cf))
        return NULL;
    HGLOBAL hGlobal = pDataObject->GetGlobalData(cf);
    SMILIEDRAGDESC* pDesc = ReadGroupDragBlock(hGlobal);
    if (hGlobal != NULL)
        ::GlobalFree(hGlobal);
    return pDesc;
}

}  // namespace

DROPEFFECT CSmiliesFieldDropPaste::CanAcceptDrop(COleDataObject* pDataObject, DWORD /*dwKeyState*/, CPoint point)
{
    if (ReadDroppedGroup(pDataObject) == NULL)
        return DROPEFFECT_NONE;
    const POINT cell = CellFromPoint(point);
    return IsCellInGrid(cell.x, cell.y) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
}

BOOL CSmiliesFieldDropPaste::OnDropData(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    SMILIEDRAGDESC* pDesc = ReadDroppedGroup(pDataObject);
    if (pDesc == NULL)
        return FALSE;
    BOOL bMove;
    if (dropEffect & DROPEFFECT_MOVE)
        bMove = TRUE;
    else if (dropEffect & DROPEFFECT_COPY)
        bMove = FALSE;
    else
        return FALSE;
    m_bDroppedHere = TRUE;
    pDesc->bTaken = TRUE;
    m_ptPendingGrab = POINT{pDesc->x, pDesc->y};
    m_PendingSmilies = pDesc->smilies;
    m_ptPendingDrop = point;
    m_bPendingMove = bMove;
    ::PostMessageA(m_hWnd, WM_DROPGROUP, 0, 0);
    return TRUE;
}

LRESULT CSmiliesFieldDropPaste::OnDropGroup()
{
    SMILIEDRAGDESC desc;
    desc.x = m_ptPendingGrab.x;
    desc.y = m_ptPendingGrab.y;
    // Between the drop and now the program ran on: insert only smilies that
    // still sit in a field.
    for (int i = 0; i < m_PendingSmilies.GetSize(); i++)
        if (FindLiveField(m_PendingSmilies[i]) != NULL)
            desc.smilies.Add(m_PendingSmilies[i]);
    m_PendingSmilies.RemoveAll();
    const int nMode = QueryDropMode(m_bPendingMove);
    if (nMode >= DROPMODE_COPY_REPLACE && nMode <= DROPMODE_MOVE_KEEP && desc.smilies.GetSize() != 0) {
        const POINT cell = CellFromPoint(m_ptPendingDrop);
        InsertGroup(this, &desc, cell, nMode >= DROPMODE_MOVE_REPLACE,
                    nMode == DROPMODE_COPY_REPLACE || nMode == DROPMODE_MOVE_REPLACE);
    }
    return 0;
}

namespace {

// One cell that the insertion touches: the smilie to put there and the one
// that sits there now.
struct SQUARE
{
    CSmiliesField* pField;
    int nColumn;
    int nRow;
    CSmilie* pPlace;
    CSmilie* pOccupant;
    BOOL bForeign;
};

}  // namespace

void CSmiliesFieldDropPaste::InsertGroup(CSmiliesFieldDropPaste* pTarget, const SMILIEDRAGDESC* pDesc, POINT cell,
                                         BOOL bMove, BOOL bReplace)
{
    if (pTarget == NULL || pDesc == NULL || pDesc->smilies.GetSize() == 0 || pDesc->smilies[0] == NULL)
        return;
    const int nCount = pDesc->smilies.GetSize();
    PushUndo(pTarget, nCount == 1 ? 485 : 486);

    CSmiliesField* pSource = FieldOf(pDesc->smilies[0]);
    const BOOL bSameSize = pSource == NULL || (pSource->GetCellWidth() == pTarget->GetCellWidth() &&
                                               pSource->GetCellHeight() == pTarget->GetCellHeight());
    const int cw = std::max(1, bSameSize ? pTarget->GetCellWidth() : pSource->GetCellWidth());
    const int ch = std::max(1, bSameSize ? pTarget->GetCellHeight() : pSource->GetCellHeight());
    const POINT grab = {pDesc->x / cw, pDesc->y / ch};

    std::vector<SQUARE> squares;
    for (int i = 0; i < nCount; i++) {
        CSmilie* p = pDesc->smilies[i];
        squares.push_back(SQUARE{FieldOf(p), p->m_nColumn, p->m_nRow, NULL, p, FALSE});
    }
    for (int i = 0; i < nCount; i++) {
        CSmilie* p = pDesc->smilies[i];
        const int c = cell.x + p->m_nColumn - grab.x, r = cell.y + p->m_nRow - grab.y;
        auto it = std::find_if(squares.begin(), squares.end(), [&](const SQUARE& s) {
            return s.pField == pTarget && s.nColumn == c && s.nRow == r;
        });
        if (it != squares.end()) {
            it->pPlace = p;
        } else {
            CSmilie* pThere = pTarget->IsCellInGrid(c, r) ? pTarget->GetAt(c, r) : NULL;
            squares.push_back(SQUARE{pTarget, c, r, p, pThere, pThere != NULL});
        }
    }

    std::vector<CSmilie*> displaced;
    for (SQUARE& s : squares) {
        if (s.bForeign && s.pOccupant != NULL) {
            displaced.push_back(s.pOccupant);
            s.pOccupant = NULL;
        }
    }
    for (size_t i = 0; i < squares.size();) {
        SQUARE& s = squares[i];
        if (s.pField == pTarget && s.pPlace != NULL && !pTarget->IsCellInGrid(s.nColumn, s.nRow)) {
            // A copy leaves its original where it is; a move that finds no
            // cell goes with the smilies pushed out of the way.
            if (bMove) {
                displaced.push_back(s.pPlace);
                for (SQUARE& o : squares)
                    if (o.pOccupant == s.pPlace)
                        o.pOccupant = NULL;
            }
            squares.erase(squares.begin() + i);
            continue;
        }
        if (s.pPlace != NULL && s.pPlace == s.pOccupant) {
            squares.erase(squares.begin() + i);
            continue;
        }
        i++;
    }
    for (CSmilie* p : displaced)
        if (CSmiliesField* pField = FieldOf(p))
            pField->RemoveSmilie(p, TRUE);

    pTarget->EnterBusyOperation();
    while (!squares.empty()) {
        // Squares that wait for nothing and hold nothing are done.
        squares.erase(std::remove_if(squares.begin(), squares.end(),
                                     [](const SQUARE& s) { return s.pPlace == NULL && s.pOccupant == NULL; }),
                      squares.end());
        auto free = std::find_if(squares.begin(), squares.end(),
                                 [](const SQUARE& s) { return s.pOccupant == NULL && s.pPlace != NULL; });
        // In a copy a smilie that stays where it is may block the rest of its
        // chain: those copies are not made.
        if (free == squares.end())
            break;
        SQUARE filled = *free;
        squares.erase(free);
        auto from = std::find_if(squares.begin(), squares.end(),
                                 [&](const SQUARE& s) { return s.pOccupant == filled.pPlace; });
        const POINT at = {filled.nColumn, filled.nRow};
        if (from != squares.end() && (bMove || from->pPlace != NULL)) {
            filled.pField->MoveSmilie(&at, filled.pPlace);
        } else {
            filled.pField->AddSmilieCopy(&at, filled.pPlace);
        }
        if (from != squares.end()) {
            from->pOccupant = NULL;
            if (from->pPlace == NULL)
                squares.erase(from);
        }
        PumpMessagesWhileBusy();
    }

    for (size_t i = displaced.size(); i-- > 0;) {
        if (!bReplace)
            pTarget->AddSmilieCopy(NULL, displaced[i]);
        delete displaced[i];
    }
    pTarget->LeaveBusyOperation();
    pTarget->UpdateScrollRange(FALSE);
    if (pSource != NULL && pSource != pTarget)
        pSource->UpdateScrollRange(FALSE);
    while (CSmilie::StartNextDownload(FALSE, NULL))
        ;
}

// ---- the start of a drag ------------------------------------------------------------------------

void CSmiliesFieldDropPaste::BeginDrag(CSequence<const CSmilie*>* pList, int x, int y, BOOL bLeftButton)
{
    if (pList == NULL || pList->GetSize() == 0)
        return;
    SMILIEDRAGDESC desc;
    for (int i = 0; i < pList->GetSize(); i++)
        desc.smilies.Add(const_cast<CSmilie*>((*pList)[i]));
    desc.x = x;
    desc.y = y + GetScrollPos();
    desc.bTaken = FALSE;

    DROPEFFECT effect = DROPEFFECT_NONE;
    BOOL bEudoraRefused = FALSE;
    {
        CRunningGroupDrag running(&desc);
        CTvFieldDataSource source;
        source.m_bDragging = TRUE;
        HGLOBAL hGlobal = MakeGroupDragBlock(running, &desc);
        if (hGlobal == NULL)
            return;
        try {
            source.CacheGlobalData(GetSmilieGroupClipFormat(), hGlobal);
            FillDataSource(&desc.smilies, &source);
        } catch (CException* e) {
            e->Delete();
            return;
        }
        CODSPictsGroup_DDWarn dropSource(&desc, this);
        {
            CActiveDragScope drag;
            m_bDroppedHere = FALSE;
            // The view has seen the mouse move far enough: no second wait.
            const RECT rcNoWait = {0, 0, 0, 0};
            // A left drag offers a copy, a right drag a move: a field that
            // takes the drop reads its move flag as "the right button dragged"
            // and asks how to insert; other programs get a copy from a left drag.
            effect = source.DoDragDrop(bLeftButton ? DROPEFFECT_COPY : DROPEFFECT_MOVE, &rcNoWait, &dropSource);
            if ((effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) && source.m_pLastRendered != NULL)
                source.OnDataRendered(source.m_pLastRendered, 1);
        }
        bEudoraRefused = source.m_bEudoraRefused;
    }
    CloseDragImage();

    // A use counts once the smilies reached another program; a drop into a
    // field of this program, or no drop at all, is no use.
    if ((effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) && !desc.bTaken && !m_bDroppedHere) {
        CSequence<CSmilie*> sent;
        for (int i = 0; i < desc.smilies.GetSize(); i++)
            if (FindLiveField(desc.smilies[i]) != NULL)
                sent.Add(desc.smilies[i]);
        if (sent.GetSize() != 0) {
            const HWND hTarget = GetForeignTarget();
            if (bEudoraRefused && hTarget != NULL) {
                InsertIntoWindow(hTarget, &sent, m_hWnd);
                ::SetFieldsModified();
            }
            RecordSmilieUse(&sent);
        }
    }
    if (s_hDeferredExport != NULL && g_nActiveDrags <= 0)
        ExportWhenDragsEnded();
}

// ---- the messenger's export request --------------------------------------------------------------

LRESULT CSmiliesFieldDropPaste::OnExportToMessenger(WPARAM wParam, LPARAM lParam)
{
    // Only the program's own request record is read: a message from outside
    // must not make the field follow an address of its choosing.
    MSNEXPORTREQUEST* pRequest = reinterpret_cast<MSNEXPORTREQUEST*>(lParam);
    if (wParam != 1 || pRequest != &g_MsnExportRequest || pRequest->size != kMsnExportRequestSize)
        return 0;
    if (g_nActiveDrags > 0) {
        // Inside a drag loop no dialog may open; the request waits for its end.
        s_hDeferredExport = m_hWnd;
        ::SetTimer(m_hWnd, kDeferredExportTimer, 200, NULL);
        return 0;
    }
    const int nMajor = HIWORD(pRequest->app.FromMS());
    if (nMajor == 6)
        s_pfnExport6(pRequest, this);
    else if (nMajor == 7 || nMajor == 8)
        s_pfnExport7(pRequest, this);
    return 0;
}

void CSmiliesFieldDropPaste::ExportWhenDragsEnded()
{
    const HWND hField = s_hDeferredExport;
    s_hDeferredExport = NULL;
    if (hField == NULL || !::IsWindow(hField))
        return;
    ::KillTimer(hField, kDeferredExportTimer);
    ::PostMessageA(hField, WM_EXPORTTOMESSENGER, 1, reinterpret_cast<LPARAM>(&g_MsnExportRequest));
}

// ---- the paste history -------------------------------------------------------------------------------

namespace {

// Switches both change trackings off for its lifetime: a copy for the
// history changes nothing in the collection.
class CTrackingOff
{
public:
    CTrackingOff() : m_bChange(g_bChangeTracking), m_bStatistics(g_bStatisticsTracking)
    {
        g_bChangeTracking = FALSE;
        g_bStatisticsTracking = FALSE;
    }
    ~CTrackingOff()
    {
        g_bChangeTracking = m_bChange;
        g_bStatisticsTracking = m_bStatistics;
    }

private:
    BOOL m_bChange;
    BOOL m_bStatistics;
};

}  // namespace

int CSmiliesFieldDropPaste::CopyToPasteHistory(POINT point)
{
    CTrackingOff trackingOff;
    const POINT cell = CellFromPoint(point);
    CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie == NULL)
        return 0;
    CSmiliesPasteGroup group;
    if (pSmilie->m_bSelected) {
        CSequence<const CSmilie*> selection;
        GetSelection(&selection);
        BeginBusy();
        for (int i = selection.GetSize() - 1; i >= 0; i--) {
            group.AddSmilie(selection[i]);
            PumpMessagesWhileBusy();
        }
        EndBusy();
    } else {
        group.AddSmilie(pSmilie);
    }
    const int nHistory = g_PasteHistory.GetSize();
    if (nHistory != 0 && group.m_Smilies.GetSize() <= 128) {
        const CSmiliesPasteGroup& newest = g_PasteHistory[nHistory - 1];
        if (newest.m_Smilies.GetSize() <= 128 && newest.IsEqual(group))
            return -1;
    }
    ::GetLocalTime(&group.m_Time);
    if (nHistory >= kPasteHistorySize)
        g_PasteHistory.RemoveAt(0);
    return g_PasteHistory.Add(group);
}

int CSmiliesFieldDropPaste::DeleteAtPoint(CSmiliesFieldDropPaste* pField, POINT point, BOOL bKeepSingle)
{
    if (pField == NULL)
        return 0;
    const POINT cell = pField->CellFromPoint(point);
    if (!pField->IsCellInGrid(cell.x, cell.y))
        return 0;
    CSmilie* pSmilie = pField->GetAt(cell.x, cell.y);
    if (pSmilie == NULL)
        return 0;
    if (pSmilie->m_bSelected) {
        CSequence<const CSmilie*> selection;
        pField->GetSelection(&selection);
        for (int i = selection.GetSize() - 1; i >= 0; i--)
            pField->RemoveSmilie(const_cast<CSmilie*>(selection[i]), FALSE);
    } else if (!bKeepSingle) {
        pField->RemoveSmilie(pSmilie, FALSE);
    }
    pField->UpdateScrollRange(FALSE);
    PumpMessagesWhileBusy();
    return 1;
}

int CSmiliesFieldDropPaste::PasteFromHistory(int nIndex, CSmiliesFieldDropPaste* pField, POINT point)
{
    // Look before the undo step: an empty history changes nothing.
    if (pField == NULL || nIndex < 0 || nIndex >= g_PasteHistory.GetSize())
        return 0;
    const CSmiliesPasteGroup& group = g_PasteHistory[nIndex];
    const int nCount = group.m_Smilies.GetSize();
    if (nCount == 0)
        return 0;
    PushUndo(pField, nCount == 1 ? 487 : 488);

    const POINT cellAt = pField->CellFromPoint(point);
    CSmilie* pThere = pField->GetAt(cellAt.x, cellAt.y);
    if (pThere != NULL && pThere->m_bSelected) {
        BeginBusy();
        DeleteAtPoint(pField, point, TRUE);
        EndBusy();
    }

    POINT topLeft;
    group.GetCellBounds(NULL, &topLeft);
    const int cw = std::max(1, pField->GetCellWidth()), ch = std::max(1, pField->GetCellHeight());
    const int nBaseColumn = point.x / cw;
    const int nBaseRow = (abs(pField->GetScrollPos()) + point.y) / ch;
    std::vector<CSmilie*> setAside;
    pField->EnterBusyOperation();
    for (int i = nCount - 1; i >= 0; i--) {
        const CSmilie& s = group.m_Smilies[i];
        const POINT at = {s.m_nColumn - topLeft.x + nBaseColumn, s.m_nRow - topLeft.y + nBaseRow};
        if (!pField->IsCellInGrid(at.x, at.y))
            continue;
        if (CSmilie* pOld = pField->GetAt(at.x, at.y)) {
            pField->RemoveSmilie(pOld, TRUE);
            setAside.push_back(pOld);
        }
        pField->AddSmilieCopy(&at, &s);
        PumpMessagesWhileBusy();
    }
    for (CSmilie* pOld : setAside) {
        pField->AddSmilieCopy(NULL, pOld);
        delete pOld;
        PumpMessagesWhileBusy();
    }
    pField->LeaveBusyOperation();
    pField->UpdateScrollRange(FALSE);
    return 1;
}
