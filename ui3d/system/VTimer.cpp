#include "ui3d/system/VTimer.h"

CVTimer* g_pVTimer = NULL;

CVTimer::PFN_SETEVENT CVTimer::s_pfnSetEvent = timeSetEvent;
CVTimer::PFN_KILLEVENT CVTimer::s_pfnKillEvent = timeKillEvent;

namespace {

const int kMaxBacklog = 32;
const int kMaxClientId = 0xFFFE;

// Objects whose ticks may still be served. A tick that the multimedia timer
// thread has already started when the object is deleted looks its object up
// here under the client-list lock before touching it.
CVTimer* s_pLiveTimers = NULL;

} // namespace

CCriticalSection& VTimerClientsLock()
{
    // Constructed on first use (before any timer) and never destroyed, so a
    // tick that arrives during static destruction still finds it.
    static CCriticalSection* s_pLock = new CCriticalSection();
    return *s_pLock;
}

namespace {
// Made before the program's entry point, so that no two threads race to make it.
struct MakeClientsLockAtStart
{
    MakeClientsLockAtStart() { VTimerClientsLock(); }
} s_makeClientsLock;
}

CVTimer::CVTimer()
    : m_nDelay(10), m_nResolution(4), m_nTimerId(0), m_nBacklog(0), m_pNextLive(NULL)
{
    TIMECAPS caps;
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
        UINT nResolution = caps.wPeriodMin > 4 ? caps.wPeriodMin : 4;
        m_nResolution = nResolution < caps.wPeriodMax ? nResolution : caps.wPeriodMax;
    }
    CSingleLock lock(&VTimerClientsLock(), TRUE);
    m_pNextLive = s_pLiveTimers;
    s_pLiveTimers = this;
}

CVTimer::~CVTimer()
{
    // Under the lock: a tick running now holds it, so we wait for it; a tick
    // that starts later no longer finds this object among the live ones.
    CSingleLock lock(&VTimerClientsLock(), TRUE);
    for (CVTimer** pp = &s_pLiveTimers; *pp != NULL; pp = &(*pp)->m_pNextLive) {
        if (*pp == this) {
            *pp = m_pNextLive;
            break;
        }
    }
    StopTimer();
    m_nTimerId = 0;
    m_Clients.RemoveAll();
}

BOOL CVTimer::StopTimer()
{
    if (m_nTimerId == 0)
        return TRUE;
    if (s_pfnKillEvent(m_nTimerId) != TIMERR_NOERROR)
        return FALSE;
    m_nTimerId = 0;
    return TRUE;
}

int CVTimer::AddClient(HWND hWnd, int nDivider)
{
    CSingleLock lock(&VTimerClientsLock(), TRUE);
    int nId = 1;
    for (int i = m_Clients.GetSize() - 1; i >= 0; i--) {
        if (m_Clients[i].hWnd == hWnd && m_Clients[i].nId == nId) {
            if (++nId > kMaxClientId)
                return 0;
            i = m_Clients.GetSize();  // scan again from the last
        }
    }
    CTimerClient client = {hWnd, nId, nDivider > 0 ? nDivider : 1, 0};
    m_Clients.Add(client);
    if (m_nTimerId == 0)
        m_nTimerId = s_pfnSetEvent(m_nDelay, m_nResolution, TimerProc, reinterpret_cast<DWORD_PTR>(this),
                                   TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    if (m_nTimerId == 0) {
        m_Clients.RemoveAt(m_Clients.GetSize() - 1);
        return 0;
    }
    return nId;
}

int CVTimer::RemoveClient(int nId, HWND hWnd)
{
    CSingleLock lock(&VTimerClientsLock(), TRUE);
    if (m_Clients.GetSize() == 0)
        return 0;
    for (int i = m_Clients.GetSize() - 1; i >= 0; i--) {
        if (m_Clients[i].hWnd != hWnd)
            continue;
        if (nId == 0) {
            m_Clients.RemoveAt(i);
        } else if (m_Clients[i].nId == nId) {
            m_Clients.RemoveAt(i);
            break;
        }
    }
    if (m_Clients.GetSize() == 0 && !StopTimer())
        return 0;
    return 1;
}

void CVTimer::ResetBacklog()
{
    CSingleLock lock(&m_Lock, TRUE);
    m_nBacklog = 0;
}

void ResetVTimerBacklog()
{
    CVTimer* p = g_pVTimer;
    if (p != NULL)
        p->ResetBacklog();
}

void CALLBACK CVTimer::TimerProc(UINT uTimerID, UINT, DWORD_PTR dwUser, DWORD_PTR, DWORD_PTR)
{
    CSingleLock lock(&VTimerClientsLock(), TRUE);
    CVTimer* pTimer = NULL;
    for (CVTimer* p = s_pLiveTimers; p != NULL; p = p->m_pNextLive) {
        if (reinterpret_cast<DWORD_PTR>(p) == dwUser) {
            pTimer = p;
            break;
        }
    }
    if (pTimer == NULL || pTimer->m_nTimerId == 0 || pTimer->m_nTimerId != uTimerID)
        return;
    pTimer->Tick();
}

void CVTimer::Tick()
{
    {
        CSingleLock lock(&m_Lock, TRUE);
        if (m_nBacklog > kMaxBacklog)
            return;
    }
    // Registrations of destroyed windows go first, so that the pass below sees
    // a list that does not change under it.
    for (int i = m_Clients.GetSize() - 1; i >= 0; i--) {
        if (!IsWindow(m_Clients[i].hWnd)) {
            RemoveClient(0, m_Clients[i].hWnd);
            i = m_Clients.GetSize();
        }
    }
    for (int i = m_Clients.GetSize() - 1; i >= 0; i--) {
        CTimerClient& client = m_Clients[i];
        if (client.nCounter + 1 < client.nDivider) {
            client.nCounter++;
            continue;
        }
        {
            CSingleLock lock(&m_Lock, TRUE);
            m_nBacklog++;
        }
        PostMessageA(client.hWnd, WM_VTIMER, static_cast<WPARAM>(client.nId), 0);
        client.nCounter = 0;
    }
}
