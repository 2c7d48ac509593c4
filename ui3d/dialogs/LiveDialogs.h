// The program-wide registry of live dialogs (skinned dialogs, the colour,
// folder and file dialogs, the messenger exporters), newest last. The shell
// asks it for the dialog that runs modally and closes the modeless ones; each
// dialog answers WM_QUERYDLGSTATE with its run state (above 0 modal, below 0
// modeless, 0 not running) and its window.
#pragma once

#include "services/Messages.h"

#include <windows.h>

class CDialog;

// Count of running drags (tab and smilie drags); dialogs refuse to run modally
// while it is non-zero, because a modal loop inside a drag would hang it.
extern int g_nActiveDrags;

// 0 for null or a dialog listed already; else appends it and returns 1.
int RegisterLiveDialog(CDialog* pDialog);
// Removes the newest entry of the dialog; 0 when it was not listed.
int UnregisterLiveDialog(CDialog* pDialog);
int GetLiveDialogCount();
// The newest listed dialog with a window that reports a run state above 0.
CDialog* GetRunningModalDialog();
// Destroys the window of every listed dialog that reports a state below 0.
void DestroyModelessDialogs();
// Answers WM_QUERYDLGSTATE: writes both values only when both pointers are given.
LRESULT AnswerQueryDlgState(WPARAM wParam, LPARAM lParam, int nRunState, HWND hWnd);
