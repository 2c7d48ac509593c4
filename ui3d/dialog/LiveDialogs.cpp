// The registry of live dialogs and the drag counter that keeps dialogs from
// running modally inside a drag.
#include "ui3d/controls/LiveDialogs.h"

#include "collection/Sequence.h"
#include "framework/Dialog.h"

int g_nActiveDrags = 0;

namespace {

CSequence<CDialog*>& LiveDialogs()
{
    static CSequence<CDialog*> s_dialogs;
    return s_dialogs;
}

}  // namespace

int GetLiveDialogCount()
{
    return LiveDialogs().GetSize();
}

LRESULT AnswerQueryDlgState(WPARAM wParam, LPARAM lParam, int nRunState, HWND hWnd)
{
    int* pnState = reinterpret_cast<int*>(wParam);
    HWND* phWnd = reinterpret_cast<HWND*>(lParam);
    if (pnState != NULL && phWnd != NULL) {
        *pnState = nRunState;
        *phWnd = hWnd;
    }
    return 0;
}

int RegisterLiveDialog(CDialog* pDialog)
{
    CSequence<CDialog*>& dialogs = LiveDialogs();
    if (pDialog == NULL)
        return 0;
    for (int i = 0; i < dialogs.GetSize(); i++) {
        if (dialogs[i] == pDialog)
            return 0;
    }
    dialogs.Add(pDialog);
    return 1;
}

int UnregisterLiveDialog(CDialog* pDialog)
{
    CSequence<CDialog*>& dialogs = LiveDialogs();
    for (int i = dialogs.GetSize() - 1; i >= 0; i--) {
        if (dialogs[i] == pDialog) {
            dialogs.RemoveAt(i);
            return 1;
        }
    }
    return 0;
}

namespace {

int QueryRunState(CDialog* pDialog)
{
    if (pDialog == NULL || pDialog->m_hWnd == NULL)
        return 0;
    int nState = 0;
    HWND hWnd = NULL;
    pDialog->SendMessage(WM_QUERYDLGSTATE, reinterpret_cast<WPARAM>(&nState), reinterpret_cast<LPARAM>(&hWnd));
    return nState;
}

}  // namespace

CDialog* GetRunningModalDialog()
{
    CSequence<CDialog*>& dialogs = LiveDialogs();
    for (int i = dialogs.GetSize() - 1; i >= 0; i--) {
        if (QueryRunState(dialogs[i]) > 0)
            return dialogs[i];
    }
    return NULL;
}

void DestroyModelessDialogs()
{
    // Each destruction deletes its dialog, which leaves the registry: the
    // windows are collected first and the list is not walked while it shrinks.
    CSequence<HWND> windows;
    CSequence<CDialog*>& dialogs = LiveDialogs();
    for (int i = dialogs.GetSize() - 1; i >= 0; i--) {
        if (QueryRunState(dialogs[i]) < 0)
            windows.Add(dialogs[i]->m_hWnd);
    }
    for (int i = 0; i < windows.GetSize(); i++) {
        HWND hWnd = windows[i];
        if (!::IsWindow(hWnd))
            continue;
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != NULL)
            pWnd->DestroyWindow();
        else
            ::DestroyWindow(hWnd);
    }
}
