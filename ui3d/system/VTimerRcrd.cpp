#include "ui3d/system/VTimerRcrd.h"

#include "services/Messages.h"
#include "ui3d/system/VTimer.h"

int FindVTimerRcrd(const CVTimerRcrdList& records, int nId)
{
    for (int i = records.GetSize() - 1; i >= 0; i--) {
        if (records[i].nId == nId)
            return i;
    }
    return -1;
}

void DropQueuedVTimers(HWND hWnd)
{
    MSG msg;
    // Bounded: the timer thread may post while we drain.
    for (int i = 0; i < 1000 && ::PeekMessageA(&msg, hWnd, WM_VTIMER, WM_VTIMER, PM_REMOVE); i++) {
        // No filter holds back the quit that a loop handed on with
        // PostQuitMessage: taken here, it must go back, or the program
        // would not end.
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
    }
}

BOOL TakeVTimerTick(HWND hWnd, const CVTimerRcrdList& records, int nId, int* pnAmount)
{
    // The high word is what is in the queue now (the low word only what
    // arrived since the last look).
    if (HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_PAINT)) != 0)
        DropQueuedVTimers(hWnd);

    const int i = FindVTimerRcrd(records, nId);
    if (i < 0)
        return FALSE;
    const CVTimerRcrd& r = records[i];
    *pnAmount = 0;
    if (r.nDuration != 0) {
        LARGE_INTEGER now;
        now.QuadPart = 0;
        ::QueryPerformanceCounter(&now);
        *pnAmount = static_cast<int>((now.QuadPart - r.nStart) * r.nTotal / r.nDuration);
    }
    return TRUE;
}
