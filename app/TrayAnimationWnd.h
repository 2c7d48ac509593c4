// CTrayAnimationWnd: the topmost popup that flies from the main window's place
// to the program's tray icon while the main window hides. It lives on the
// tray animation thread and is that thread's main window: its destruction
// ends the thread. Without a snapshot it is a hollow frame whose colour runs
// from the start colour to the end colour.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "ui3d/system/VTimerRcrd.h"

class CTrayAnimationWnd : public CWnd
{
public:
    typedef ::CVTimerRcrd CVTimerRcrd;

    // The flight takes this long, whatever the distance.
    enum { FLIGHT_MILLIS = 300 };

    CTrayAnimationWnd();
    ~CTrayAnimationWnd() override;

    // Makes the (hidden) window at rcStart to fly to the tray icon found by
    // GetTrayIconRect. hSnapshot stays the caller's; the window only reads it.
    BOOL Create(const RECT& rcStart, HBITMAP hSnapshot, COLORREF clrStart, COLORREF clrEnd, HWND hParent);
    // The same to a given landing square.
    BOOL CreateFlight(const RECT& rcStart, const RECT& rcTray, HBITMAP hSnapshot, COLORREF clrStart,
                      COLORREF clrEnd, HWND hParent);

    // One step of the flight: nAmount is the distance covered so far in pixels.
    virtual void OnVTimer(int nTimerId, int nAmount);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CVTimerRcrdList m_Timers;
    int m_nFlightTimer;     // client id of the flight on the program's timer, 0 when none
    HRGN m_hFrameRgn;       // the window's region; the system owns it, this only removes it
    HBITMAP m_hSnapshot;    // the caller's; null once dropped
    COLORREF m_clrStart;
    COLORREF m_clrEnd;
    RECT m_rcStart;
    RECT m_rcTray;
    int m_nDistance;
    POINT m_ptStart;
    POINT m_ptEnd;
    COLORREF m_clrFill;
    CBitmap m_bmpScaled;    // the snapshot at the mean of the start and tray sizes
    BOOL m_bFirstStep;

private:
    LRESULT OnCreate();
    void StartFlight();
    void StopFlight();
    void DropSnapshot();
    void OnSize(UINT nType, int cx, int cy);
    void SetFrameRegion(int cx, int cy);
    void PaintBody(HDC hDC);
    void OnPaint();
    void OnDestroy();
};
