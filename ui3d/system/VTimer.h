// CVTimer: the program's one periodic multimedia timer (10 ms), shared by every
// animating window. A window registers with a tick divider and receives
// WM_VTIMER (wParam its client id) every divider ticks. The ticks are posted
// from the multimedia timer's own thread; while the user-interface thread does
// not keep up (more than 32 ticks posted since any client window procedure
// last ran) no further ticks are posted.
//
// Every window class that receives WM_VTIMER calls ResetVTimerBacklog() at the
// top of its window procedure, for every message.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include "services/Messages.h"
#include "collection/Sequence.h"
#include "framework/Object.h"
#include "framework/Sync.h"

class CVTimer : public CObject
{
public:
    struct CTimerClient
    {
        HWND hWnd;
        int nId;       // 1 .. 0xFFFE, unique among the registrations of one window
        int nDivider;  // at least 1
        int nCounter;  // 0 .. nDivider - 1
    };

    CVTimer();
    // Stops the timer before the object goes: a tick that is already running
    // finishes first, and later ticks find the object gone.
    ~CVTimer() override;

    // Registers hWnd with the divider (0 counts as 1); the first registration
    // starts the timer. Returns the client id, 0 when the timer could not start.
    int AddClient(HWND hWnd, int nDivider);
    // Removes hWnd's registration nId (the last match), or all of hWnd's
    // registrations for nId 0; the last removal stops the timer. Returns 0 when
    // the list was empty or the timer could not be stopped, else 1.
    int RemoveClient(int nId, HWND hWnd);
    // A client window procedure ran: the user-interface thread keeps up.
    void ResetBacklog();

    static void CALLBACK TimerProc(UINT uTimerID, UINT uMsg, DWORD_PTR dwUser, DWORD_PTR dw1, DWORD_PTR dw2);

    UINT m_nDelay;       // 10 ms
    UINT m_nResolution;  // ms asked of the multimedia timer
    UINT m_nTimerId;     // 0 while no timer runs
    CCriticalSection m_Lock;  // guards m_nBacklog only
    CSequence<CTimerClient> m_Clients;
    int m_nBacklog;

    // The multimedia timer functions; tests put in their own to tick by hand.
    typedef MMRESULT (WINAPI *PFN_SETEVENT)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT);
    typedef MMRESULT (WINAPI *PFN_KILLEVENT)(UINT);
    static PFN_SETEVENT s_pfnSetEvent;
    static PFN_KILLEVENT s_pfnKillEvent;

private:
    // One tick; the caller holds the client-list lock.
    void Tick();
    BOOL StopTimer();

    CVTimer* m_pNextLive;  // chain of live objects, under the client-list lock

    CVTimer(const CVTimer&) = delete;
    CVTimer& operator=(const CVTimer&) = delete;
};

// The program's timer: made at start-up, deleted at shutdown; null otherwise.
extern CVTimer* g_pVTimer;

// Guards every timer's client list. A separate static object, so that it exists
// before the timer is made and after it is gone, when a late tick arrives.
CCriticalSection& VTimerClientsLock();

// Calls g_pVTimer->ResetBacklog() when the program's timer exists.
void ResetVTimerBacklog();
