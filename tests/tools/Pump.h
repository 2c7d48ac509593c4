// Bounded message pumps for the tests: nothing waits longer than it is told.
#pragma once

#include <windows.h>

// Until done() holds or nMillis pass, dispatches this thread's messages (sent
// ones are served while waiting); done() is asked first, so it may pump in its
// own way. Returns done()'s last value.
template <class Pred> bool PumpUntil(Pred done, DWORD nMillis = 5000)
{
    const DWORD nStart = GetTickCount();
    while (!done()) {
        const DWORD nElapsed = GetTickCount() - nStart;
        if (nElapsed >= nMillis)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!done()) {
            const DWORD nLeft = nMillis - nElapsed;
            MsgWaitForMultipleObjects(0, NULL, FALSE, nLeft < 10 ? nLeft : 10, QS_ALLINPUT);
        }
    }
    return true;
}

// Dispatches what is queued now (bounded), for effects that have no flag.
inline void PumpPending()
{
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Takes everything queued now without dispatching it; TRUE, with its exit code,
// when a WM_QUIT was among it.
inline bool TakeQueuedQuit(WPARAM* pnCode)
{
    bool bQuit = false;
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            bQuit = true;
            *pnCode = msg.wParam;
        }
    }
    return bQuit;
}
