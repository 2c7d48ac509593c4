// CTvnxWnd: the skinned top-level frame of the main window. It paints the
// skin's three body pictures through one back buffer, takes its shape from
// their outlines, moves when the user drags its body (snapping to the work
// area's edges and, when asked, to other programs' windows) and changes its
// height in 34-pixel steps when the user drags the zone at its bottom. Its
// width is the skin's.
#pragma once

#include "collection/Sequence.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Wnd.h"

#define TVNX_MAINWND_CLASS "Tarvenex Main Window"

// Moves pt so that a window of that size lies on the primary screen (not the
// work area); the left and top edges win over the right and bottom ones.
void KeepOnScreen(POINT& pt, int nWidth, int nHeight);

class CTvnxWnd : public CWnd
{
public:
    // The resize drag changes the height by whole steps of this many pixels.
    enum { HEIGHT_STEP = 34, SNAP_DISTANCE = 10 };

    CTvnxWnd();
    ~CTvnxWnd() override;

    // pt (-1, -1) centres the window in the work area. 1 on success.
    BOOL Create(SIZE size, POINT pt, CWnd* pParent, DWORD dwStyle, DWORD dwExStyle);
    // Repaints the back buffer and rebuilds the window's shape from the skin.
    void UpdateRegion();

    // Called at the end of Create.
    virtual void OnCreated() {}
    // Paints the skinned body into a DC of that size.
    virtual void DrawBody(CDC* pDC, int nWidth, int nHeight);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The main window hands its own presses here too.
    void OnLButtonDown(UINT nFlags, int x, int y);
    void OnButtonUp();
    void OnMouseMove(UINT nFlags, int x, int y);

    CBitmap m_bmpBack;
    HRGN m_hRgn;          // handed to the system; kept only to take it back
    int m_nWidth;
    int m_nHeight;
    int m_bMoveDrag;
    int m_bResizeDrag;
    int m_nPressX;
    int m_nPressY;
    int m_nToRight;
    int m_nToBottom;
    int m_bVerticalOnly;
    int m_bDockToWindows;
    CSequence<CRect> m_OtherWindows;
    int m_bDestroyed;

private:
    void OnPaint();
    BOOL OnEraseBkgnd(HDC hDC);
    LRESULT OnPrintBackground(HDC hDC, const RECT* prc);
    void OnDisplayChange();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnSetCursor(UINT nMouseMessage);
    void OnDestroy();
    void RemoveRegion();
    void CollectOtherWindows();
    static BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam);
};
