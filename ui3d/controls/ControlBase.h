// CControlBase: the base window of every skinned control that is not a
// replaced dialog control (tab strip, scroll bar, menu bar, link and colour
// buttons, the smilie fields ...). It paints without flicker (from the
// control's back buffer, or through Paint into a memory bitmap), tracks hover
// and capture with one enter and one leave call per round trip, normalises
// the mouse buttons, and drives timed animations on the program-wide timer.
// A derived control fills in the virtual operations and never handles the raw
// messages itself.
//
// Hover tracking holds the mouse capture while the pointer is over the
// control: only so does the control see the pointer leave to another window
// of any process. Leaving is told by position, by the window under the
// pointer and by WM_MOUSELEAVE.
#pragma once

#include "framework/Dc.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "ui3d/system/VTimerRcrd.h"

// Registered at program start (RegisterControlMessages). The wheel message of
// the old mouse driver exists only on the first 4.0 release of the 9x family
// and on NT 3; elsewhere its id stays 0 and never matches.
extern CRegisteredMessage g_msgMouseWheelRoll;
extern CRegisteredMessage g_msgPrintBackground;
void RegisterControlMessages();
// The wheel message of the old mouse driver, forwarded as WM_MOUSEWHEEL (with
// the Ctrl and Shift keys) to the focus window and up its parents until one
// answers, or to hSelf when nothing has the focus.
LRESULT ForwardWheelRoll(HWND hSelf, WPARAM wParam, LPARAM lParam);

class CControlBase : public CWnd
{
    DECLARE_DYNAMIC(CControlBase)
public:
    typedef ::CVTimerRcrd CVTimerRcrd;

    CControlBase();
    ~CControlBase() override;

    // A window of a class with class and parent DCs, the arrow cursor, no
    // background brush and no icon; no extended style, empty title, child id 0.
    BOOL CreateControl(const RECT& rect, CWnd* pParent, DWORD dwStyle);

    // Repaints the rectangle on the screen at once, outside WM_PAINT.
    void RedrawRect(const RECT& rect);
    // Runs an animation up to nTotal over nMillis; returns its client id, 0
    // when the timer registration failed.
    int StartAnimation(int nTotal, int nMillis);
    void StartMouseTracking();
    // Does nothing when called from within a stop (OnMouseLeave stopping again).
    void StopMouseTracking();
    // The WM_MOUSEMOVE handling, for derived controls that handle the message.
    LRESULT OnMouseMoveMessage(UINT nFlags, int x, int y);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- overridables ------------------------------------------------------
    virtual void OnDisplayChanged() {}
    virtual CBitmap* GetBackBuffer() = 0;
    virtual void OnPaintOver(CDC* /*pDC*/, const RECT& /*rect*/, int, int) {}
    virtual void AfterPaint(int) {}
    virtual void Paint(CDC* pDC, int left, int top, int right, int bottom) = 0;
    virtual void PaintToDC(CDC* pDC);
    virtual void OnVTimer(int /*nId*/, int /*nAmount*/) {}
    virtual void OnCreated() {}
    virtual void OnDestroying() {}
    virtual void OnMouseEnter() {}
    virtual void OnMouseLeave() {}
    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnRButtonDown(UINT, int, int) {}
    virtual void OnRButtonUp(UINT, int, int) {}
    virtual void OnMButtonDown(UINT, int, int) {}
    virtual void OnMButtonUp(UINT, int, int) {}
    virtual void OnMouseMove(UINT nFlags, int x, int y) = 0;
    virtual void OnSetCursor(HWND, UINT, UINT) {}
    virtual int IsMouseCaptured() { return 0; }
    virtual void OnSizeChanged(int, int) {}

    CVTimerRcrdList m_Animations;
    int m_nMouseX;
    int m_nMouseY;
    int m_nMouseFlags;
    int m_bHovering;
    int m_bLeftDown;
    int m_bRightDown;
    HCURSOR m_hCursor;       // NULL: the control sets none
    int m_nClientWidth;
    int m_nClientHeight;
    int m_bDestroyed;

private:
    // Copies rect from the back buffer, or paints it through Paint into a
    // bitmap of the client size, and puts it on pDC. With bOverPaint the
    // back-buffer path ends with OnPaintOver and AfterPaint(0).
    void PaintRect(CDC* pDC, const RECT& rect, BOOL bOverPaint);
    LRESULT OnPaintMessage();
    LRESULT OnPrintClient(HDC hDC, LPARAM nFlags);
    LRESULT OnSetCursorMessage(HWND hWnd, UINT nHitTest, UINT nMouseMessage);
    LRESULT OnButton(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnWheelRoll(WPARAM wParam, LPARAM lParam);
    LRESULT OnVTimerMessage(int nId);
    void BringTopLevelToFront();
};

// A memory DC compatible with the control's window DC, holding the control's
// back buffer (nothing when the control has none); restores and frees on
// destruction.
class CBackBufDC : public CDC
{
public:
    explicit CBackBufDC(CControlBase* pControl);
    ~CBackBufDC() override;

private:
    HGDIOBJ m_hOldBitmap;
};
