// CSmiliePreview: the smilie preview popup. Its virtual-timer bookkeeping is
// shared by every window that keeps a CVTimerRcrd list (the scroll bar, the
// tab strip, the smilie fields), so it lives with the UI library.
#pragma once

#include "framework/Wnd.h"
#include "ui3d/system/VTimerRcrd.h"

class CSmiliePreview : public CWnd
{
public:
    typedef ::CVTimerRcrd CVTimerRcrd;

    // Registers hWnd with the program-wide timer, one tick in nTicks, and
    // appends a record without duration to the window's list. Returns the
    // client id, 0 when the registration failed (then nothing is recorded).
    static int SetVTimer(HWND hWnd, CVTimerRcrdList& records, int nTicks);
    // With an id: stops that timer and removes its record (0 when the id is
    // not in the list, else the removal's result). With 0: stops every timer
    // of the window, clears the list and drops the window's queued ticks.
    static int KillVTimer(HWND hWnd, CVTimerRcrdList& records, int nId);
};
