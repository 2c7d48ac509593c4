// The web-smilie queue: smilies whose picture must still come from their web
// address. The queue does not own them (their fields do). Each call of
// StartNextDownload starts at most one download, and holds a start back while
// 4 of the smilies ahead of the candidate are downloading; the owners call it
// in a loop whenever a download ended or a field changed, and the main window
// calls it with the wrap flag on a long timer so that failed downloads are
// tried again from the start. User-interface thread only.
#include "collection/Smilie.h"

CSequence<CSmilie*> g_WebSmilieQueue;
int g_nWebSmilieCursor = -1;

namespace {

const int kMaxRunningDownloads = 4;

bool IsLive(const CSmilie* pSmilie)
{
    return pSmilie != NULL && pSmilie->m_pField != NULL && pSmilie->HasPendingSource();
}

}   // namespace

BOOL CSmilie::QueueDownload(CSmilie* pSmilie)
{
    if (pSmilie == NULL || !pSmilie->HasPendingSource())
        return FALSE;
    for (int i = 0; i < g_WebSmilieQueue.GetSize(); i++) {
        if (g_WebSmilieQueue[i] == pSmilie)
            return FALSE;
    }
    // A cursor that points nowhere starts the next walk at the new entry.
    if (g_nWebSmilieCursor < 0 || g_nWebSmilieCursor > g_WebSmilieQueue.GetSize())
        g_nWebSmilieCursor = g_WebSmilieQueue.GetSize();
    g_WebSmilieQueue.Add(pSmilie);
    return TRUE;
}

void CSmilie::UnqueueDownload(CSmilie* pSmilie)
{
    for (int i = g_WebSmilieQueue.GetSize() - 1; i >= 0; i--) {
        if (g_WebSmilieQueue[i] == pSmilie) {
            g_WebSmilieQueue.RemoveAt(i);
            if (i < g_nWebSmilieCursor)
                g_nWebSmilieCursor--;
        }
    }
}

BOOL CSmilie::StartNextDownload(BOOL bWrap, int* pnWebSmilies)
{
    CSmilie* pChosen = NULL;
    int nRunning = 0;
    int nWebSmilies = 0;
    for (int i = 0; i < g_WebSmilieQueue.GetSize();) {
        CSmilie* pSmilie = g_WebSmilieQueue[i];
        if (!IsLive(pSmilie)) {
            g_WebSmilieQueue.RemoveAt(i);
            if (i < g_nWebSmilieCursor)
                g_nWebSmilieCursor--;
            continue;
        }
        if (pSmilie->m_nFlags & flagWebSmilie)
            nWebSmilies++;
        if (pSmilie->m_pDownload != NULL) {
            nRunning++;
        } else if (pChosen == NULL && i >= g_nWebSmilieCursor && nRunning < kMaxRunningDownloads) {
            pChosen = pSmilie;
            g_nWebSmilieCursor = i + 1;
        }
        i++;
    }

    BOOL bStarted = FALSE;
    if (pChosen != NULL) {
        CString strAddress;
        pChosen->GetSource(strAddress);
        bStarted = pChosen->StartDownload(strAddress);
    }
    if (bWrap && g_nWebSmilieCursor >= g_WebSmilieQueue.GetSize())
        g_nWebSmilieCursor = 0;
    if (pnWebSmilies != NULL)
        *pnWebSmilies = nWebSmilies;
    return bStarted;
}
