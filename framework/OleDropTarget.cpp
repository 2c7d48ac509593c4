#include "framework/OleDropTarget.h"

#include <new>
#include "framework/Exception.h"
#include "framework/Wnd.h"

namespace {

// The effect a target wants, as far as the source allows it. A copy where
// only a move is allowed (or the reverse) still brings the data over, so it
// becomes the allowed one; the target is told that effect at the drop, before
// it acts. The scroll bit is feedback, not an effect, and passes unchanged.
DROPEFFECT FilterEffect(DROPEFFECT wanted, DROPEFFECT allowed)
{
    DROPEFFECT scroll = wanted & DROPEFFECT_SCROLL;
    DROPEFFECT ops = wanted & ~DROPEFFECT_SCROLL;
    DROPEFFECT result = ops & allowed;
    if (result == DROPEFFECT_NONE) {
        if (ops == DROPEFFECT_COPY && (allowed & DROPEFFECT_MOVE) != 0)
            result = DROPEFFECT_MOVE;
        else if (ops == DROPEFFECT_MOVE && (allowed & DROPEFFECT_COPY) != 0)
            result = DROPEFFECT_COPY;
    }
    return result | scroll;
}

}  // namespace

COleDropTarget::COleDropTarget() : m_hWnd(NULL), m_pDropTarget(NULL)
{
    m_pDropTarget = new (std::nothrow) DropTarget(this);
    if (m_pDropTarget == NULL)
        AfxThrowMemoryException();
}

COleDropTarget::~COleDropTarget()
{
    RevokeRegistration();
    m_pDropTarget->Orphan();
    m_pDropTarget->Release();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hWnd = CWnd::SafeHwnd(pWnd);
    if (hWnd == NULL)
        return FALSE;
    RevokeRegistration();
    if (FAILED(::RegisterDragDrop(hWnd, m_pDropTarget)))
        return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    RevokeRegistration();
}

void COleDropTarget::RevokeRegistration()
{
    if (m_hWnd != NULL)
        ::RevokeDragDrop(m_hWnd);
    m_hWnd = NULL;
    m_dataObject.Release();
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return (DROPEFFECT)-1;
}

void COleDropTarget::OnDragLeave(CWnd*)
{
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

CPoint COleDropTarget::ClientPoint(POINTL pt) const
{
    POINT point = {pt.x, pt.y};
    if (m_hWnd != NULL)
        ::ScreenToClient(m_hWnd, &point);
    return CPoint(point);
}

DROPEFFECT COleDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DROPEFFECT allowed)
{
    // The system names the data only on entering and dropping; the steps in
    // between work on the same object, so a reference is kept until then.
    m_dataObject.Release();
    pDataObj->AddRef();
    m_dataObject.Attach(pDataObj, TRUE);
    CWnd* pWnd = CWnd::FromHandle(m_hWnd);
    CPoint point = ClientPoint(pt);
    DROPEFFECT effect = OnDragScroll(pWnd, grfKeyState, point);
    if ((effect & DROPEFFECT_SCROLL) == 0)
        effect = OnDragEnter(pWnd, &m_dataObject, grfKeyState, point);
    return FilterEffect(effect, allowed);
}

DROPEFFECT COleDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DROPEFFECT allowed)
{
    if (m_dataObject.GetIDataObject(FALSE) == NULL)
        return DROPEFFECT_NONE;
    CWnd* pWnd = CWnd::FromHandle(m_hWnd);
    CPoint point = ClientPoint(pt);
    DROPEFFECT effect = OnDragScroll(pWnd, grfKeyState, point);
    if ((effect & DROPEFFECT_SCROLL) == 0)
        effect = OnDragOver(pWnd, &m_dataObject, grfKeyState, point);
    return FilterEffect(effect, allowed);
}

void COleDropTarget::DragLeave()
{
    OnDragLeave(CWnd::FromHandle(m_hWnd));
    m_dataObject.Release();
}

DROPEFFECT COleDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DROPEFFECT allowed)
{
    m_dataObject.Release();
    pDataObj->AddRef();
    m_dataObject.Attach(pDataObj, TRUE);
    CWnd* pWnd = CWnd::FromHandle(m_hWnd);
    CPoint point = ClientPoint(pt);
    // The effect for the drop point, as the target would show it now.
    DROPEFFECT effect =
        FilterEffect(OnDragOver(pWnd, &m_dataObject, grfKeyState, point), allowed) & ~DROPEFFECT_SCROLL;
    DROPEFFECT result = OnDropEx(pWnd, &m_dataObject, effect, allowed, point);
    if (result != (DROPEFFECT)-1) {
        // The target has acted already: what it did is reported, not mapped.
        result &= allowed;
    } else if (effect != DROPEFFECT_NONE) {
        result = OnDrop(pWnd, &m_dataObject, effect, point) ? effect : DROPEFFECT_NONE;
    } else {
        OnDragLeave(pWnd);
        result = DROPEFFECT_NONE;
    }
    m_dataObject.Release();
    return result;
}

// --- the COM face ----------------------------------------------------------

STDMETHODIMP COleDropTarget::DropTarget::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDropTarget::DropTarget::AddRef()
{
    return InterlockedIncrement(&m_cRef);
}

STDMETHODIMP_(ULONG) COleDropTarget::DropTarget::Release()
{
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return n;
}

namespace {

// Runs one step of a drag for the system. A failure inside the step refuses
// the drop, so that the source neither removes its data nor waits for
// anything; the drag loop goes on. Once the object is gone every step refuses.
// pdwEffect holds the effects the source allows on entry, the answer on return.
// Returns false when the step was refused or failed.
template <class Step>
bool AnswerEffect(COleDropTarget* owner, DWORD* pdwEffect, Step step)
{
    if (owner != NULL) {
        try {
            *pdwEffect = step(*pdwEffect);
            return true;
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
    }
    *pdwEffect = DROPEFFECT_NONE;
    return false;
}

} // namespace

STDMETHODIMP COleDropTarget::DropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                                   DWORD* pdwEffect)
{
    if (pDataObj == NULL || pdwEffect == NULL)
        return E_INVALIDARG;
    AnswerEffect(m_owner, pdwEffect,
                 [&](DWORD allowed) { return m_owner->DragEnter(pDataObj, grfKeyState, pt, allowed); });
    return S_OK;
}

STDMETHODIMP COleDropTarget::DropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (pdwEffect == NULL)
        return E_INVALIDARG;
    AnswerEffect(m_owner, pdwEffect, [&](DWORD allowed) { return m_owner->DragOver(grfKeyState, pt, allowed); });
    return S_OK;
}

STDMETHODIMP COleDropTarget::DropTarget::DragLeave()
{
    if (m_owner == NULL)
        return S_OK;
    try {
        m_owner->DragLeave();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    m_owner->m_dataObject.Release();
    return S_OK;
}

STDMETHODIMP COleDropTarget::DropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                              DWORD* pdwEffect)
{
    if (pDataObj == NULL || pdwEffect == NULL)
        return E_INVALIDARG;
    if (!AnswerEffect(m_owner, pdwEffect,
                      [&](DWORD allowed) { return m_owner->Drop(pDataObj, grfKeyState, pt, allowed); })
        && m_owner != NULL)
        m_owner->m_dataObject.Release();
    return S_OK;
}
