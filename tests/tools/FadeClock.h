// A skinned dialog's fade driven by hand: a program-wide timer that never
// fires, and a performance counter the test sets (frequency 1000, so one count
// is a millisecond). Menu fading counts as on.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace fadeclock {

inline LONGLONG g_nCounter = 1000;

inline MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) { return 4712; }
inline MMRESULT WINAPI FakeKillEvent(UINT) { return TIMERR_NOERROR; }
inline BOOL WINAPI FakeFrequency(LARGE_INTEGER* p)
{
    p->QuadPart = 1000;
    return TRUE;
}
inline BOOL WINAPI FakeCounter(LARGE_INTEGER* p)
{
    p->QuadPart = g_nCounter;
    return TRUE;
}
inline BOOL FakeMenuFade() { return TRUE; }

}  // namespace fadeclock
