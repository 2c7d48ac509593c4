// The tray animation: when the user hides the main window, a picture of it
// (or a coloured frame) flies to the program's tray icon. It runs on a
// user-interface thread of its own, so the main thread can destroy the main
// window meanwhile. The tray window starts and stops it.
#pragma once

#include "framework/Gdi.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "services/TrayIconPattern.h"

class CTrayAnimationWnd;

// 0 on Windows 95 and NT 4.0 and on screens of 15 bits per pixel or fewer.
BOOL CanAnimateSnapshot();

// The square the flight lands on: the tray icon when the pattern is found in
// the notification area, else the notification area's middle square, else the
// end square of the taskbar, else the screen's bottom-right 16 x 16 square.
RECT GetTrayIconRect(const BYTE* pPattern, int cx, int cy);

// The choice of GetTrayIconRect on what it found: prcNotify and pMask (its
// pixels, one byte each, rows top down) or null, prcTaskbar or null, and the
// primary screen's size.
RECT ChooseTrayIconRect(const RECT* prcNotify, const BYTE* pMask, const RECT* prcTaskbar, const BYTE* pPattern,
                        int cx, int cy, int cxScreen, int cyScreen);

class CTrayAnimationThread : public CWinThread
{
public:
    CTrayAnimationThread();
    ~CTrayAnimationThread() override;

    // Takes pWnd's screen rectangle (and a picture of it when bSnapshot asks
    // for one and the system can show it), then starts the thread. 0 when
    // the thread is running already or cannot start.
    BOOL Start(CWnd* pWnd, int cxPattern, int cyPattern, BOOL bSnapshot, COLORREF clrStart, COLORREF clrEnd,
               CWnd* pParent);
    // Ends the flight and waits for the thread, dispatching this thread's
    // posted, paint and sent messages meanwhile. Does nothing when not started.
    void Stop();

    BOOL InitInstance() override;
    int ExitInstance() override;

    RECT m_rcStart;
    CBitmap m_bmpSnapshot;
    const BYTE* m_pPattern;
    int m_cxPattern;
    int m_cyPattern;
    COLORREF m_clrStart;
    COLORREF m_clrEnd;
    HWND m_hParent;
    CTrayAnimationWnd* m_pAnimWnd;  // under m_Lock
    HWND m_hAnimWnd;                // under m_Lock; kept for posting after the object is gone
    CCriticalSection m_Lock;
    HANDLE m_hEvent;                // manual reset: set once the thread's window state is settled
};
