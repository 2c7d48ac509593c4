#include "ui3d/controls/TabDrag.h"

#include "framework/Dc.h"
#include "ui3d/controls/DragImageWnd.h"
#include "ui3d/controls/TabSelector.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

CLIPFORMAT GetTabDragFormat()
{
    static CLIPFORMAT s_cf = 0;
    if (s_cf == 0)
        s_cf = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(TABDRAG_FORMAT_NAME));
    return s_cf;
}

HGLOBAL MakeTabDragBlock(const CTabSelector* pStrip, int nTabId)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(TABDRAGDATA));
    if (hGlobal == NULL)
        return NULL;
    TABDRAGDATA* p = static_cast<TABDRAGDATA*>(::GlobalLock(hGlobal));
    if (p == NULL) {
        ::GlobalFree(hGlobal);
        return NULL;
    }
    p->nTabId = static_cast<DWORD>(nTabId);
    p->nProcessId = ::GetCurrentProcessId();
    p->nStripStamp = pStrip->GetDragStamp();
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

int ReadTabDragBlock(const CTabSelector* pStrip, HGLOBAL hGlobal)
{
    if (hGlobal == NULL || ::GlobalSize(hGlobal) < sizeof(TABDRAGDATA))
        return 0;
    const TABDRAGDATA* p = static_cast<const TABDRAGDATA*>(::GlobalLock(hGlobal));
    if (p == NULL)
        return 0;
    TABDRAGDATA data = *p;
    ::GlobalUnlock(hGlobal);
    if (data.nProcessId != ::GetCurrentProcessId() || data.nStripStamp != pStrip->GetDragStamp())
        return 0;
    return data.nTabId <= 0xFFFE ? static_cast<int>(data.nTabId) : 0;
}

// --- the strip starts a drag ---------------------------------------------------------------

void CTabSelector::BeginTabDrag(int x, int y)
{
    int nOffset = 0;
    const int i = TabFromPoint(x, &nOffset);
    if (i < 0)
        return;
    const int nTabId = m_Tabs[i].nId;
    HGLOBAL hGlobal = MakeTabDragBlock(this, nTabId);
    // A block that cannot be written has nothing to say: no drag.
    if (hGlobal == NULL)
        return;
    COleDataSource source;
    try {
        source.CacheGlobalData(GetTabDragFormat(), hGlobal);
    } catch (CException* e) {
        e->Delete();
        ::GlobalFree(hGlobal);
        return;
    }
    {
        CTabDropSource dropSource(this, nTabId, nOffset, y);
        {
            CActiveDragScope drag;
            source.DoDragDrop(DROPEFFECT_MOVE, NULL, &dropSource);
        }
        CloseDragImage();
    }
}

// --- drop source -----------------------------------------------------------------------------

BOOL (WINAPI* CTabDropSource::s_pfnGetCursorPos)(LPPOINT) = ::GetCursorPos;

CTabDropSource::CTabDropSource(CTabSelector* pOwner, int nTabId, int nHotX, int nHotY)
    : m_pOwner(pOwner), m_nTabId(nTabId), m_nHotX(nHotX), m_nHotY(nHotY)
{
}

CTabDropSource::~CTabDropSource()
{
    CloseDragImage();
}

SCODE CTabDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    const SCODE sc = COleDropSource::QueryContinueDrag(bEscapePressed, dwKeyState);
    if (sc != S_OK && m_nTabId != 0)
        CloseDragImage();
    return sc;
}

SCODE CTabDropSource::GiveFeedback(DROPEFFECT dropEffect)
{
    if (m_nTabId != 0) {
        POINT pt = {0, 0};
        s_pfnGetCursorPos(&pt);
        MoveDragImage(dropEffect, pt.x, pt.y);
    }
    LPCSTR pszCursor = (dropEffect & DROPEFFECT_SCROLL) ? IDC_ARROW
                       : (dropEffect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) ? IDC_HAND : IDC_NO;
    ::SetCursor(::LoadCursorA(NULL, pszCursor));
    return S_OK;
}

BOOL CTabDropSource::OnBeginDrag(CWnd* pWnd)
{
    if (m_nTabId != 0) {
        if (m_pOwner == NULL || m_pOwner->m_hWnd == NULL || !::IsWindow(m_pOwner->m_hWnd)) {
            m_nTabId = 0;
        } else {
            RECT rc = {0, 0, 0, 0};
            m_pOwner->GetTabRect(&rc, m_nTabId);
            ::MapWindowPoints(m_pOwner->m_hWnd, NULL, reinterpret_cast<POINT*>(&rc), 2);
            const int cx = rc.right - rc.left;
            const int cy = rc.bottom - rc.top;
            HDC hScreen = ::GetDC(NULL);
            CBitmap bitmap;
            bitmap.Attach(::CreateCompatibleBitmap(hScreen, cx > 0 ? cx : 1, cy > 0 ? cy : 1));
            BOOL bDrawn = FALSE;
            if (bitmap.GetSafeHandle() != NULL) {
                CSelectedBitmapDC mem(hScreen, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
                if (mem.m_hDC != NULL) {
                    // Blue marks what is not the tab; it becomes the colour key.
                    const RECT rcAll = {0, 0, cx, cy};
                    HBRUSH hBlue = ::CreateSolidBrush(0xFF0000);
                    ::FillRect(mem.m_hDC, &rcAll, hBlue);
                    ::DeleteObject(hBlue);
                    CDC dc;
                    dc.Attach(mem.m_hDC);
                    m_pOwner->DrawTabImage(m_nTabId, &dc);
                    dc.Detach();
                    bDrawn = TRUE;
                }
            }
            ::ReleaseDC(NULL, hScreen);
            if (bDrawn) {
                const POINT ptImage = {0, 0};
                const COLORREF clrKey = 0xFF0000;
                ShowDragImage(rc, &bitmap, &ptImage, NULL, 0, &clrKey, 0, m_nHotX, m_nHotY);
            }
        }
    }
    return COleDropSource::OnBeginDrag(pWnd);
}

// --- drop target -------------------------------------------------------------------------------

DROPEFFECT CTabSelectorODT::OnDragEnter(CWnd*, COleDataObject* pDataObject, DWORD, CPoint)
{
    return pDataObject->IsDataAvailable(GetTabDragFormat()) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
}

DROPEFFECT CTabSelectorODT::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    // Whatever is dragged, the tab under it opens.
    if (m_pOwner != NULL)
        m_pOwner->SelectTabAtPoint(point.x, point.y);
    return OnDragEnter(pWnd, pDataObject, dwKeyState, point);
}

DROPEFFECT CTabSelectorODT::OnDropEx(CWnd*, COleDataObject* pDataObject, DROPEFFECT, DROPEFFECT, CPoint point)
{
    if (m_pOwner == NULL || !pDataObject->IsDataAvailable(GetTabDragFormat()))
        return DROPEFFECT_NONE;
    HGLOBAL hGlobal = pDataObject->GetGlobalData(GetTabDragFormat());
    if (hGlobal == NULL)
        return DROPEFFECT_NONE;
    const int nDragged = ReadTabDragBlock(m_pOwner, hGlobal);
    ::GlobalFree(hGlobal);
    // Only a drag this strip started moves a tab: another strip's or another
    // program's tab id means nothing here.
    if (nDragged == 0)
        return DROPEFFECT_NONE;
    const int nTarget = m_pOwner->TabFromPoint(point.x, NULL);
    const int nTargetId = nTarget >= 0 ? m_pOwner->GetTabAt(nTarget).nId : 0;
    if (nDragged != nTargetId)
        m_pOwner->MoveTab(nDragged, nTargetId);
    return DROPEFFECT_MOVE;
}

DROPEFFECT CTabSelectorODT::OnDragScroll(CWnd*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}
