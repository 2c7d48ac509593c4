// The hook library's tree of a conversation's popups, on windows of this thread:
// which popups belong to the conversation, the order and the command in which
// they are closed, and where they are moved.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <vector>
#include "msnhook/WndNode.h"

namespace {

struct COMMANDSEEN
{
    HWND wnd;
    WPARAM id;
};
std::vector<COMMANDSEEN> g_commands;

LRESULT CALLBACK ProbeProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        g_commands.push_back({wnd, wParam});
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void PumpUntil(bool (*done)(size_t), size_t arg, DWORD timeoutMs)
{
    MSG msg;
    for (DWORD until = GetTickCount() + timeoutMs; !done(arg) && GetTickCount() < until; Sleep(2)) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

bool CommandsReached(size_t n) { return g_commands.size() >= n; }

enum Buttons { kNone, kOkOnly, kOkCancel, kCancelOnly };

// Windows of one test, destroyed at its end.
class Desk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxTreeProbe";
        RegisterClassA(&wc);
        g_commands.clear();
        conversation = Make(WS_OVERLAPPEDWINDOW, NULL, kNone, 300, 300);
    }
    void TearDown() override
    {
        for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
            if (IsWindow(*it))
                DestroyWindow(*it);
        }
        UnregisterClassA("TvnxTreeProbe", GetModuleHandleA(NULL));
    }

    HWND Make(DWORD style, HWND owner, Buttons buttons, int x = 500, int y = 500)
    {
        HWND wnd = CreateWindowExA(0, "TvnxTreeProbe", "probe", style, x, y, 120, 60, owner, NULL,
                                   GetModuleHandleA(NULL), NULL);
        if (buttons == kOkOnly || buttons == kOkCancel)
            CreateWindowExA(0, "BUTTON", "OK", WS_CHILD, 0, 0, 40, 20, wnd, reinterpret_cast<HMENU>(IDOK), NULL, NULL);
        if (buttons == kOkCancel || buttons == kCancelOnly)
            CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD, 50, 0, 40, 20, wnd, reinterpret_cast<HMENU>(IDCANCEL),
                            NULL, NULL);
        m_windows.push_back(wnd);
        return wnd;
    }
    HWND Popup(HWND owner, Buttons buttons = kOkCancel) { return Make(WS_POPUP, owner, buttons); }

    static std::vector<HWND> Level(const WNDNODE& root, int level)
    {
        CSequence<HWND> out;
        root.CollectLevel(level, out);
        std::vector<HWND> wnds;
        for (int i = 0; i < out.GetSize(); i++)
            wnds.push_back(out[i]);
        std::sort(wnds.begin(), wnds.end());
        return wnds;
    }
    static std::vector<HWND> Sorted(std::vector<HWND> wnds)
    {
        std::sort(wnds.begin(), wnds.end());
        return wnds;
    }

    HWND conversation = NULL;

private:
    std::vector<HWND> m_windows;
};

TEST_F(Desk, TreeHoldsThePopupsOwnedThroughTheConversation)
{
    HWND a = Popup(conversation);
    HWND b = Popup(a);
    HWND c = Popup(b);
    HWND d = Popup(conversation);
    HWND loose = Popup(NULL);
    HWND looseOwned = Popup(loose);
    HWND child = Make(WS_CHILD, conversation, kNone);

    WNDNODE root;
    ASSERT_EQ(BuildPopupTree(root, conversation), 3);
    EXPECT_EQ(root.hWnd, conversation);
    EXPECT_EQ(Level(root, 1), Sorted({a, d}));
    EXPECT_EQ(Level(root, 2), std::vector<HWND>{b});
    EXPECT_EQ(Level(root, 3), std::vector<HWND>{c});
    EXPECT_TRUE(Level(root, 4).empty());
    EXPECT_EQ(root.Find(conversation), &root);
    ASSERT_NE(root.Find(c), nullptr);
    EXPECT_EQ(root.Find(c)->hWnd, c);
    EXPECT_EQ(root.Find(loose), nullptr);
    EXPECT_EQ(root.Find(looseOwned), nullptr);
    EXPECT_EQ(root.Find(child), nullptr);
    EXPECT_EQ(root.Depth(), 3);
    EXPECT_EQ(root.Find(b)->Depth(), 1);
    EXPECT_EQ(root.Find(d)->Depth(), 0);

    // A copy carries the whole subtree and lives on its own.
    WNDNODE copy = root;
    root.children.RemoveAll();
    ASSERT_NE(copy.Find(c), nullptr);
    EXPECT_EQ(copy.Depth(), 3);
}

// (A thread with windows always has a popup: the system's input-method window.)
TEST_F(Desk, TreeReportsNoWindowAndNothingBelow)
{
    WNDNODE root;
    EXPECT_EQ(BuildPopupTree(root, NULL), -1);
    Popup(Popup(NULL));
    EXPECT_EQ(BuildPopupTree(root, conversation), 0) << "popups, none owned by the conversation";
    EXPECT_EQ(root.children.GetSize(), 0);
}

TEST_F(Desk, CloseAllPopupsGoesDeepestFirstWithTheRightButton)
{
    HWND a = Popup(conversation, kOkCancel);
    HWND b = Popup(a, kOkOnly);
    HWND c = Popup(b, kNone);
    HWND d = Popup(conversation, kCancelOnly);
    HWND loose = Popup(NULL, kOkCancel);

    EXPECT_EQ(CloseAllPopups(conversation), 1);
    PumpUntil(CommandsReached, 4, 5000);
    ASSERT_EQ(g_commands.size(), 4u);
    EXPECT_EQ(g_commands[0].wnd, c);
    EXPECT_EQ(g_commands[0].id, static_cast<WPARAM>(IDCANCEL)) << "no buttons at all";
    EXPECT_EQ(g_commands[1].wnd, b);
    EXPECT_EQ(g_commands[1].id, static_cast<WPARAM>(IDOK)) << "only an OK button";
    std::vector<HWND> level1 = {g_commands[2].wnd, g_commands[3].wnd};
    EXPECT_EQ(Sorted(level1), Sorted({a, d}));
    EXPECT_EQ(g_commands[2].id, static_cast<WPARAM>(IDCANCEL));
    EXPECT_EQ(g_commands[3].id, static_cast<WPARAM>(IDCANCEL));
    for (const COMMANDSEEN& seen : g_commands)
        EXPECT_NE(seen.wnd, loose) << "a popup not owned by the conversation was closed";

    HWND gone = Make(WS_OVERLAPPEDWINDOW, NULL, kNone);
    DestroyWindow(gone);
    EXPECT_EQ(CloseAllPopups(gone), 0);
}

TEST_F(Desk, CascadeMovesEachLevelTwentyPixelsIn)
{
    HWND a = Popup(conversation);
    HWND b = Popup(a);
    HWND c = Popup(b);
    HWND loose = Popup(NULL);
    RECT before;
    GetWindowRect(loose, &before);

    EXPECT_EQ(CascadePopups(conversation), 1);
    struct { HWND wnd; int at; } rows[] = {{a, 20}, {b, 40}, {c, 60}};
    for (auto& row : rows) {
        RECT rc = {};
        MSG msg;
        for (DWORD until = GetTickCount() + 5000; GetTickCount() < until; Sleep(2)) {
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            GetWindowRect(row.wnd, &rc);
            if (rc.left == row.at && rc.top == row.at)
                break;
        }
        EXPECT_EQ(rc.left, row.at) << "level of " << row.at / 20;
        EXPECT_EQ(rc.top, row.at) << "level of " << row.at / 20;
        EXPECT_EQ(rc.right - rc.left, 120) << "size kept";
    }
    RECT after;
    GetWindowRect(loose, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "a popup not owned by the conversation was moved";
}

}
