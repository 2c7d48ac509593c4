#include "ui3d/dialogs/LiveDialogs.h"

#include "collection/Sequence.h"
#include "framework/Dialog.h"

static CSequence<CDialog*> s_liveDialogs;

int RegisterLiveDialog(CDialog* pDialog)
{
    if (pDialog == NULL)
        return 0;
    for (int i = 0; i < s_liveDialogs.GetSize(); ++i)
        if (s_liveDialogs[i] == pDialog)
            return 0;
    s_liveDialogs.Add(pDialog);
    return 1;
}

int UnregisterLiveDialog(CDialog* pDialog)
{
    for (int i = s_liveDialogs.GetSize() - 1; i >= 0; --i) {
        if (s_liveDialogs[i] == pDialog) {
            s_liveDialogs.RemoveAt(i);
            return 1;
        }
    }
    return 0;
}

int GetLiveDialogCount()
{
    return s_liveDialogs.GetSize();
}

// The run state a listed dialog reports, with its window; FALSE without a window.
static BOOL QueryState(CDialog* pDialog, int* pnState, HWND* phWnd)
{
    if (pDialog == NULL || pDialog->m_hWnd == NULL || !::IsWindow(pDialog->m_hWnd))
        return FALSE;
    *pnState = 0;
    *phWnd = NULL;
    ::SendMessageA(pDialog->m_hWnd, WM_QUERYDLGSTATE, reinterpret_cast<WPARAM>(pnState),
                   reinterpret_cast<LPARAM>(phWnd));
    return TRUE;
}

CDialog* GetRunningModalDialog()
{
    for (int i = s_liveDialogs.GetSize() - 1; i >= 0; --i) {
        int nState;
        HWND hWnd;
        if (QueryState(s_liveDialogs[i], &nState, &hWnd) && nState > 0)
            return s_liveDialogs[i];
    }
    return NULL;
}

void DestroyModelessDialogs()
{
    for (int i = s_liveDialogs.GetSize() - 1; i >= 0; --i) {
        if (i >= s_liveDialogs.GetSize())
            continue;   // a destroyed dialog may have taken others with it
        int nState;
        HWND hWnd;
        if (QueryState(s_liveDialogs[i], &nState, &hWnd) && nState < 0 && hWnd != NULL)
            ::DestroyWindow(hWnd);
    }
}

LRESULT AnswerQueryDlgState(WPARAM wParam, LPARAM lParam, int nRunState, HWND hWnd)
{
    if (wParam != 0 && lParam != 0) {
        *reinterpret_cast<int*>(wParam) = nRunState;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
    }
    return 0;
}
