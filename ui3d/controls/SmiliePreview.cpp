#include "ui3d/controls/SmiliePreview.h"

#include "ui3d/system/VTimer.h"

int CSmiliePreview::SetVTimer(HWND hWnd, CVTimerRcrdList& records, int nTicks)
{
    if (g_pVTimer == NULL)
        return 0;
    const int nId = g_pVTimer->AddClient(hWnd, nTicks);
    if (nId == 0)
        return 0;
    CVTimerRcrd r = {nId, 0, 0, 0};
    records.Add(r);
    return nId;
}

int CSmiliePreview::KillVTimer(HWND hWnd, CVTimerRcrdList& records, int nId)
{
    if (nId == 0) {
        records.RemoveAll();
        const int nResult = g_pVTimer != NULL ? g_pVTimer->RemoveClient(0, hWnd) : 0;
        DropQueuedVTimers(hWnd);
        return nResult;
    }
    const int i = FindVTimerRcrd(records, nId);
    if (i < 0)
        return 0;
    records.RemoveAt(i);
    return g_pVTimer != NULL ? g_pVTimer->RemoveClient(nId, hWnd) : 0;
}
