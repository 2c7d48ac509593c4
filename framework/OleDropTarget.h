// Makes a window a place where OLE drags can be dropped: the system's drag
// loop speaks to an IDropTarget of ours, which hands each step to the
// virtuals below with the window, the dragged data and the cursor in client
// coordinates. Usually a member of the window's object: Register it once the
// window exists, Revoke it before the window goes.
#pragma once

#include <windows.h>
#include <ole2.h>
#include "framework/Geometry.h"
#include "framework/OleDataObject.h"

// What a drop does: DROPEFFECT_NONE, _COPY, _MOVE, _LINK, plus _SCROLL while a target scrolls.
typedef DWORD DROPEFFECT;

class CWnd;

class COleDropTarget
{
public:
    COleDropTarget();
    // Revokes a registration that is still in place.
    virtual ~COleDropTarget();

    // Makes pWnd's window a drop target (OLE must be initialised on this thread).
    // FALSE when the system refused, for example for a window already registered.
    BOOL Register(CWnd* pWnd);
    // Ends the registration; nothing is called any more afterwards.
    virtual void Revoke();

    // A drag enters the window. The answer is the effect a drop would have
    // now; the base answers DROPEFFECT_NONE.
    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    // The drag moves over the window or the keys change; answered as OnDragEnter.
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    // The data was dropped with dropEffect, the effect OnDragOver gave for the
    // drop point (never DROPEFFECT_NONE). TRUE when the drop was taken; the
    // base takes nothing.
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    // Asked first at a drop, with the effect OnDragOver gave (dropDefault, may
    // be none) and the effects the source allows (dropList). An answer other
    // than (DROPEFFECT)-1 is the drop's result and OnDrop is not called; the
    // base answers -1.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                DROPEFFECT dropList, CPoint point);
    // The drag left the window, or a drop was refused.
    virtual void OnDragLeave(CWnd* pWnd);
    // Asked before OnDragEnter and OnDragOver: an answer with DROPEFFECT_SCROLL
    // means the window scrolled, and that answer is given instead. The base
    // answers DROPEFFECT_NONE.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    // The IDropTarget of this object, without a reference added. It may outlive
    // the object (the system keeps a reference to a window that was destroyed
    // before it was revoked); from then on it refuses everything.
    LPDROPTARGET GetInterface() { return m_pDropTarget; }

protected:
    HWND m_hWnd;  // the registered window, NULL when not registered

private:
    class DropTarget : public IDropTarget
    {
    public:
        explicit DropTarget(COleDropTarget* owner) : m_cRef(1), m_owner(owner) {}
        virtual ~DropTarget() {}
        void Orphan() { m_owner = NULL; }
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        STDMETHODIMP DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        STDMETHODIMP DragLeave() override;
        STDMETHODIMP Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

    private:
        LONG m_cRef;
        COleDropTarget* m_owner;  // NULL once the object is gone
    };

    DROPEFFECT DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DROPEFFECT allowed);
    DROPEFFECT DragOver(DWORD grfKeyState, POINTL pt, DROPEFFECT allowed);
    void DragLeave();
    DROPEFFECT Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DROPEFFECT allowed);
    CPoint ClientPoint(POINTL pt) const;
    void RevokeRegistration();

    COleDataObject m_dataObject;  // the data of the drag in progress
    DropTarget* m_pDropTarget;    // counted; the object holds one reference

    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;
};
