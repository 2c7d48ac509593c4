// The popup windows of the messenger's conversation thread as a tree of
// ownership below the conversation window. When a run ends badly the library
// closes (or, unloaded from another thread, moves back into view) the dialogs
// it left behind, deepest level first, so an owned dialog goes before its owner.
#pragma once

#include <windows.h>
#include "collection/Sequence.h"

struct WNDNODE
{
    HWND hWnd;
    CSequence<WNDNODE> children;   // the popups this window owns

    WNDNODE() : hWnd(NULL) {}
    explicit WNDNODE(HWND wnd) : hWnd(wnd) {}

    // Depth-first search of this subtree, the node itself first.
    WNDNODE* Find(HWND wnd);
    // 0 for a node without children, else the largest child depth plus 1.
    int Depth() const;
    // Appends the windows exactly nLevel steps below this node.
    void CollectLevel(int nLevel, CSequence<HWND>& out) const;
};

// Fills root with the conversation window and the popups of its thread that it
// owns, directly or through other popups. Returns -1 when the window is not
// valid or its thread has no popup, 0 when no popup hangs below the window,
// otherwise the number of levels below the root. Only the first 100 popups of
// the thread are seen.
int BuildPopupTree(WNDNODE& root, HWND conversation);

// Posts every popup below the conversation a WM_COMMAND that closes it, deepest
// level first: IDOK to a window that has an OK button and no Cancel button,
// IDCANCEL to all others. Returns 0 when the window is gone, else 1.
int CloseAllPopups(HWND conversation);

// Moves the popups below the conversation to the top left of the screen, each
// level 20 pixels further in than its owners (level 1 at 20,20), without
// waiting for the conversation's thread. Returns 0 when the window is gone, else 1.
int CascadePopups(HWND conversation);
