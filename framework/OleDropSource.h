// The source side of an OLE drag: decides when the drag starts, goes on,
// drops or is cancelled, and what the user sees meanwhile. The object lives
// as long as the drag (usually on the stack of the code that starts it).
#pragma once

#include <windows.h>
#include <ole2.h>
#include "framework/Geometry.h"

// What a drop does: DROPEFFECT_NONE, _COPY, _MOVE, _LINK, plus _SCROLL while a target scrolls.
typedef DWORD DROPEFFECT;

class CWnd;
class COleDataSource;

class COleDropSource
{
public:
    COleDropSource();
    virtual ~COleDropSource();

    // Asked by the system's drag loop whenever the keys or buttons may have
    // changed. The base answer: Escape or the other mouse button cancels;
    // releasing the button that started the drag drops (cancels when the drag
    // never really started); otherwise S_OK, the drag goes on.
    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    // Shows the user what a drop would do. The base answer lets the system
    // show its own cursors (DRAGDROP_S_USEDEFAULTCURSORS); S_OK means the
    // source has set a cursor itself.
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);
    // Called before the system's drag loop: waits until the mouse leaves the
    // start rectangle (the drag starts: TRUE), the button is released, another
    // button is pressed or Escape is hit (no drag: FALSE), or the system's drag
    // delay has passed with the button held (TRUE). pWnd is the window that
    // started the drag, when known: it holds the capture during the wait and
    // loses it afterwards (WM_CAPTURECHANGED), whatever the outcome.
    virtual BOOL OnBeginDrag(CWnd* pWnd);

    // The IDropSource of this object, without a reference added.
    LPDROPSOURCE GetInterface() { return &m_dropSource; }

protected:
    BOOL m_bDragStarted;       // the mouse left the start rectangle, or the delay passed
    DWORD m_dwButtonDrop;      // MK_LBUTTON or MK_RBUTTON: releasing it drops
    DWORD m_dwButtonCancel;    // the other button: pressing it cancels
    CRect m_rectStartDrag;     // screen coordinates; empty: no wait

private:
    friend class COleDataSource;

    // Readies a drag for COleDataSource::DoDragDrop; FALSE when OnBeginDrag
    // called it off.
    BOOL PrepareDrag(LPCRECT lpRectStartDrag, CWnd* pWnd);
    // The base wait of OnBeginDrag.
    BOOL WaitForDragStart();

    class DropSource : public IDropSource
    {
    public:
        explicit DropSource(COleDropSource* owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
        STDMETHODIMP GiveFeedback(DWORD dwEffect) override;

    private:
        COleDropSource* m_owner;
    };

    LONG m_cRef;  // counted for the system's sake; the owner decides the lifetime
    DropSource m_dropSource;

    COleDropSource(const COleDropSource&) = delete;
    COleDropSource& operator=(const COleDropSource&) = delete;
};
