// The busy state that long operations (opening, saving and merging
// collections, long field commands) run in: the wait cursor shows, the main
// window is disabled so that the user cannot start a second operation, and the
// loops still dispatch the thread's messages so that windows keep painting.
// Everything here runs on the user-interface thread.
#pragma once

#include <windows.h>

// Nesting depth of BeginBusy/EndBusy; 0 while not busy.
extern int g_BusyCount;
// The busy state can only be entered while this is set; the main window sets
// it once it is shown and clears it when it is destroyed.
extern BOOL g_BusyEnabled;

// Enters the busy state (nests). The outermost call shows the wait cursor and
// disables the main window. Does nothing while g_BusyEnabled is clear.
void BeginBusy();
// Leaves one level; the call that brings the count to 0 restores the cursor
// and enables the main window. Does nothing while the count is 0.
void EndBusy();
// Only while busy: dispatches the waiting messages, then runs the idle
// processing until it wants no more. Returns 0 when it met WM_QUIT (which is
// posted again for the main loop), else 1.
int PumpMessagesWhileBusy();
// Waits without time-out until the handle is signalled or abandoned, meanwhile
// dispatching posted, paint and sent messages (keyboard and mouse input stays
// queued). Returns 1.
int WaitForHandleWhilePumping(HANDLE hObject);

// What the busy state needs of the application; the shell fills it in once the
// application object exists. Every member may be NULL.
struct BUSYHOOKS
{
    // The main window, or NULL while it does not exist.
    HWND (*pfnGetMainWnd)();
    // The application's pre-translation of a removed message (accelerators,
    // dialog keys); TRUE when it handled the message. NULL: none.
    BOOL (*pfnPreTranslateMessage)(MSG* pMsg);
    // The application's idle processing; TRUE while it wants another call.
    BOOL (*pfnOnIdle)(LONG lCount);
};
// Copies the hooks; NULL clears them all.
void SetBusyHooks(const BUSYHOOKS* pHooks);
