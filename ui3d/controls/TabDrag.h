// Reordering the tabs of a tab strip by OLE drag and drop. The drag carries
// the tab's id in the private format "CTabSelector Tab" together with a
// stamp of the strip and process that started it, so that a strip never
// moves a tab because another strip, or another running copy of the program,
// dropped a tab whose id happens to match.
#pragma once

#include "framework/OleDataSource.h"
#include "framework/OleDropSource.h"
#include "framework/OleDropTarget.h"

class CTabSelector;

// The format's name, and its id (registered on first use).
#define TABDRAG_FORMAT_NAME "CTabSelector Tab"
CLIPFORMAT GetTabDragFormat();

// The block a tab drag offers: the tab's id first (a 32-bit number, as every
// reader of the format expects), then who started the drag.
struct TABDRAGDATA
{
    DWORD nTabId;
    DWORD nProcessId;
    DWORD nStripStamp;   // unique per strip within the process
};

class CTabDropSource : public COleDropSource
{
public:
    CTabDropSource(CTabSelector* pOwner, int nTabId, int nHotX, int nHotY);
    ~CTabDropSource() override;

    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;
    SCODE GiveFeedback(DROPEFFECT dropEffect) override;
    BOOL OnBeginDrag(CWnd* pWnd) override;

    CTabSelector* m_pOwner;
    int m_nTabId;   // 0: no drag image
    int m_nHotX;
    int m_nHotY;
    // Where GiveFeedback reads the cursor; tests put in their own.
    static BOOL (WINAPI* s_pfnGetCursorPos)(LPPOINT);
};

class CTabSelectorODT : public COleDropTarget
{
public:
    explicit CTabSelectorODT(CTabSelector* pOwner) : m_pOwner(pOwner) {}

    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;
    DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point) override;

    CTabSelector* m_pOwner;
};

// A movable, shareable block holding a tab drag's data for this strip; null
// when it cannot be allocated or locked (then there is nothing to offer).
HGLOBAL MakeTabDragBlock(const CTabSelector* pStrip, int nTabId);
// The dragged tab id when the block is a drag this strip started in this
// process, else 0. A block shorter than the record, or one that cannot be
// locked, gives 0.
int ReadTabDragBlock(const CTabSelector* pStrip, HGLOBAL hGlobal);
