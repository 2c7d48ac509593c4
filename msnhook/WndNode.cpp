#include "msnhook/WndNode.h"

namespace {

const int kMaxPopups = 100;

struct POPUPPAIR
{
    HWND wnd;
    HWND parent;   // for a popup, GetParent answers its owner
    bool placed;
};

struct POPUPLIST
{
    POPUPPAIR pairs[kMaxPopups];
    int count;
};

BOOL CALLBACK CollectPopup(HWND wnd, LPARAM lParam)
{
    POPUPLIST* list = reinterpret_cast<POPUPLIST*>(lParam);
    if ((GetWindowLongPtrA(wnd, GWL_STYLE) & WS_POPUP) == 0)
        return TRUE;
    POPUPPAIR& pair = list->pairs[list->count++];
    pair.wnd = wnd;
    pair.parent = GetParent(wnd);
    pair.placed = false;
    return list->count < kMaxPopups;
}

// The windows of one level, collected before any of them is touched.
template <class Action>
int ForEachLevelDeepestFirst(HWND conversation, Action action)
{
    if (!IsWindow(conversation))
        return 0;
    // A failed allocation leaves the remaining popups alone; nothing may
    // escape into the hook or window procedure that called us.
    try {
        WNDNODE root;
        int levels = BuildPopupTree(root, conversation);
        for (int level = levels; level >= 1; level--) {
            CSequence<HWND> wnds;
            root.CollectLevel(level, wnds);
            for (int i = 0; i < wnds.GetSize(); i++) {
                if (IsWindow(wnds[i]))
                    action(wnds[i], level);
            }
        }
    } catch (CMemoryException* e) {
        e->Delete();
    }
    return 1;
}

}

WNDNODE* WNDNODE::Find(HWND wnd)
{
    if (hWnd == wnd)
        return this;
    for (int i = 0; i < children.GetSize(); i++) {
        if (WNDNODE* found = children[i].Find(wnd))
            return found;
    }
    return NULL;
}

int WNDNODE::Depth() const
{
    int depth = 0;
    for (int i = 0; i < children.GetSize(); i++) {
        int d = children[i].Depth() + 1;
        if (d > depth)
            depth = d;
    }
    return depth;
}

void WNDNODE::CollectLevel(int nLevel, CSequence<HWND>& out) const
{
    for (int i = 0; i < children.GetSize(); i++) {
        if (nLevel == 1)
            out.Add(children[i].hWnd);
        else if (nLevel > 1)
            children[i].CollectLevel(nLevel - 1, out);
    }
}

int BuildPopupTree(WNDNODE& root, HWND conversation)
{
    root.hWnd = conversation;
    root.children.RemoveAll();
    if (!IsWindow(conversation))
        return -1;
    DWORD thread = GetWindowThreadProcessId(conversation, NULL);
    POPUPLIST list;
    list.count = 0;
    EnumThreadWindows(thread, CollectPopup, reinterpret_cast<LPARAM>(&list));
    if (list.count == 0)
        return -1;

    // Owners may be listed after the popups they own, so place what can be
    // placed and go round again until a pass places nothing.
    bool placedAny = true;
    while (placedAny) {
        placedAny = false;
        for (int i = 0; i < list.count; i++) {
            POPUPPAIR& pair = list.pairs[i];
            if (pair.placed || pair.wnd == conversation || pair.parent == NULL)
                continue;
            WNDNODE* owner = root.Find(pair.parent);
            if (owner == NULL)
                continue;
            owner->children.Add(WNDNODE(pair.wnd));
            pair.placed = true;
            placedAny = true;
        }
    }
    return root.Depth();
}

int CloseAllPopups(HWND conversation)
{
    return ForEachLevelDeepestFirst(conversation, [](HWND wnd, int) {
        bool hasOk = GetDlgItem(wnd, IDOK) != NULL;
        bool hasCancel = GetDlgItem(wnd, IDCANCEL) != NULL;
        PostMessageA(wnd, WM_COMMAND, (!hasOk || hasCancel) ? IDCANCEL : IDOK, 0);
    });
}

int CascadePopups(HWND conversation)
{
    return ForEachLevelDeepestFirst(conversation, [](HWND wnd, int level) {
        // Asynchronous: the conversation's thread may be busy or stuck, and the
        // caller must not wait for it.
        SetWindowPos(wnd, NULL, 20 * level, 20 * level, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
    });
}
