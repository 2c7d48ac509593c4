// CSmiliesFieldDropPaste: the field view that smilies can be dragged out of,
// dropped into and pasted into. It stands between the view and the field
// control so that every field window is one class.
//
// Every field is a drop target for groups of smilies dragged out of a field of
// this program (another program's drop is the field control's business). A
// drop only remembers what was dropped and posts WM_DROPGROUP to itself, so
// the system's drag loop ends before the group is inserted. While something
// is dragged near its top or bottom edge, the field scrolls.
//
// It also opens the messenger exporter when a data source asks for it
// (WM_EXPORTTOMESSENGER). No dialog may open inside the system's drag loop,
// so a request that arrives while a drag runs waits until the drag ended.
#pragma once

#include "collection/Sequence.h"
#include "fields/SmiliesDragSource.h"
#include "fields/SmiliesField.h"
#include "framework/OleDropTarget.h"

class CSmiliesFieldDropPaste;
class CTvFieldDataSource;
struct MSNEXPORTREQUEST;

// Forwards the system's drop-target calls to its field.
class CFieldODT : public COleDropTarget
{
public:
    CFieldODT() : m_pOwner(NULL), m_bEntered(FALSE) {}

    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave(CWnd* pWnd) override;
    BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;

    CSmiliesFieldDropPaste* m_pOwner;
    BOOL m_bEntered;   // the field's mouse-enter step ran for this drag
};

// What InsertGroup does with the group and with the smilies in its way
// (QueryDropMode's answer; any other answer inserts nothing).
enum
{
    DROPMODE_COPY_REPLACE = 1,   // copies; smilies in the target cells deleted
    DROPMODE_COPY_KEEP = 2,      // copies; smilies in the target cells to the first free cells
    DROPMODE_MOVE_REPLACE = 3,
    DROPMODE_MOVE_KEEP = 4
};

class CSmiliesFieldDropPaste : public CSmiliesField
{
public:
    CSmiliesFieldDropPaste();
    ~CSmiliesFieldDropPaste() override;

    // --- overridables, in this order --------------------------------------------------
    // Scrolls the field while a drag is near its top (1: fast, 2: slow) or
    // bottom (4: fast, 3: slow) edge; 0 when it did not scroll.
    virtual int OnDragOver(DWORD dwKeyState, CPoint point);
    // The insertion mode for a dropped group (DROPMODE_*); here always 4.
    // bMove: the drop was a move, which only a right-button drag offers.
    virtual int QueryDropMode(BOOL bMove);
    // DROPEFFECT_MOVE for a group this process is dragging now over a cell of
    // the grid, else DROPEFFECT_NONE.
    virtual DROPEFFECT CanAcceptDrop(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    // Takes a dropped group for insertion; 0 when the data is no group of
    // the running drag or the effect is neither copy nor move.
    virtual BOOL OnDropData(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    // Adds the delivery formats for the dragged smilies; nothing here, so a
    // drag out of a plain field carries only the group.
    virtual int FillDataSource(CSequence<CSmilie*>* /*pList*/, CTvFieldDataSource* /*pSource*/) { return 0; }

    // --- CSmiliesField ---------------------------------------------------------------
    void OnCreated() override;
    void OnDestroying() override;
    void LoadCursors() override;
    void FreeCursors() override;
    // Drags the smilies (bLeftButton: copy allowed, else move only); x, y
    // the field client point where the drag started.
    void BeginDrag(CSequence<const CSmilie*>* pList, int x, int y, BOOL bLeftButton) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- the group of a drop ----------------------------------------------------------
    // Inserts the group at the cell: each smilie keeps its place relative to
    // the grabbed one. Runs as one undo step of the target's container.
    void InsertGroup(CSmiliesFieldDropPaste* pTarget, const SMILIEDRAGDESC* pDesc, POINT cell, BOOL bMove,
                     BOOL bReplace);
    // WM_DROPGROUP: inserts the pending drop in the mode QueryDropMode gives.
    LRESULT OnDropGroup();

    // --- the paste history ----------------------------------------------------------------
    // The smilie under the point (or, when it is selected, the selection) as
    // a new history entry: its index, -1 when it equals the newest entry, 0
    // when no smilie lies under the point.
    int CopyToPasteHistory(POINT point);
    // Puts history entry nIndex at the cell under the point (smilies in the
    // way go to the first free cells). 1, or 0 without such an entry.
    int PasteFromHistory(int nIndex, CSmiliesFieldDropPaste* pField, POINT point);
    // Deletes the smilie under the point; a selected one takes the whole
    // selection with it; an unselected one stays when bKeepSingle. 1, or 0
    // for an empty cell or one outside the grid.
    int DeleteAtPoint(CSmiliesFieldDropPaste* pField, POINT point, BOOL bKeepSingle);

    // The messenger's export request: WM_EXPORTTOMESSENGER.
    LRESULT OnExportToMessenger(WPARAM wParam, LPARAM lParam);

    CFieldODT m_DropTarget;
    CSmiliesFieldDropPaste* m_pDropOwner;
    BOOL m_bDroppedHere;
    // The pending drop.
    POINT m_ptPendingGrab;
    CSequence<CSmilie*> m_PendingSmilies;
    POINT m_ptPendingDrop;
    BOOL m_bPendingMove;

    // The exporter runs through these; tests count instead. Each gets the
    // request and the field as parent; 1 when the export succeeded.
    static int (*s_pfnExport6)(MSNEXPORTREQUEST* pRequest, CWnd* pParent);
    static int (*s_pfnExport7)(MSNEXPORTREQUEST* pRequest, CWnd* pParent);

private:
    void ExportWhenDragsEnded();
    // The field whose export request waits for the running drag to end.
    static HWND s_hDeferredExport;
};
