// One timed animation of a window on the program-wide timer (CVTimer): the
// client id of its registration, its duration and start in performance-
// counter ticks, and the total amount it runs up to. Windows that animate
// keep a list of these and turn each WM_VTIMER into the amount reached so far.
#pragma once

#include <windows.h>
#include "collection/Sequence.h"

struct CVTimerRcrd
{
    int nId;
    LONGLONG nDuration;  // 0: the tick carries amount 0
    LONGLONG nStart;
    int nTotal;
};

typedef CSequence<CVTimerRcrd> CVTimerRcrdList;

// Index of the record with the client id, searched from the last; -1 when absent.
int FindVTimerRcrd(const CVTimerRcrdList& records, int nId);

// The WM_VTIMER dispatch every animating window repeats. While keyboard,
// mouse or paint input waits in the thread's queue, further queued ticks of
// hWnd are dropped first, so that animations never delay input. Returns FALSE
// when no record has the id; else stores the amount reached, total x elapsed
// / duration (not capped: it passes the total once the duration is over), or
// 0 for a record without duration.
BOOL TakeVTimerTick(HWND hWnd, const CVTimerRcrdList& records, int nId, int* pnAmount);

// Removes every WM_VTIMER still queued for hWnd: ticks posted before a
// registration was removed arrive after it.
void DropQueuedVTimers(HWND hWnd);
