// Menus: owner-drawn items reach the object of the menu that holds them,
// popup menus are answered through the test seam.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"

#include <functional>
#include <vector>

namespace {

class COwnerDrawMenu : public CMenu
{
public:
    std::vector<UINT> measured;
    std::vector<UINT> drawn;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        measured.push_back(lpMIS->itemID);
        lpMIS->itemWidth = 80;
        lpMIS->itemHeight = 18;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override { drawn.push_back(lpDIS->itemID); }
};

LPCSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW));
}

// Ends the menu being tracked once fDone holds, or after a bounded time.
struct MenuCloser {
    static std::function<bool()> s_done;
    static DWORD s_until;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if ((s_done && s_done()) || (LONG)(GetTickCount() - s_until) >= 0)
            EndMenu();
    }
    UINT_PTR id;
    explicit MenuCloser(std::function<bool()> done)
    {
        s_done = std::move(done);
        s_until = GetTickCount() + 5000;
        id = SetTimer(NULL, 0, 20, Tick);
    }
    ~MenuCloser() { KillTimer(NULL, id); }
};
std::function<bool()> MenuCloser::s_done;
DWORD MenuCloser::s_until;

} // namespace

TEST(Menu, OwnerDrawnItemsAreMeasuredAndDrawnByTheirOwnMenuObject)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP | WS_VISIBLE, 50, 50, 200, 200, NULL, NULL));
    SetForegroundWindow(owner.m_hWnd);

    COwnerDrawMenu first, second;
    ASSERT_TRUE(first.CreatePopupMenu());
    ASSERT_TRUE(second.CreatePopupMenu());
    first.AppendMenu(MF_OWNERDRAW, 11, (LPCSTR)1);
    first.AppendMenu(MF_OWNERDRAW, 12, (LPCSTR)2);
    second.AppendMenu(MF_OWNERDRAW, 21, (LPCSTR)3);

    {
        MenuCloser closer([&] { return first.drawn.size() >= 2; });
        first.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 60, 60, &owner);
    }
    EXPECT_EQ(first.measured, (std::vector<UINT>{11, 12}));
    EXPECT_GE(first.drawn.size(), 2u);
    EXPECT_TRUE(second.measured.empty() && second.drawn.empty()) << "nothing of the first menu reaches the second";

    {
        MenuCloser closer([&] { return !second.drawn.empty(); });
        second.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 60, 60, &owner);
    }
    EXPECT_EQ(second.measured, std::vector<UINT>{21});
    EXPECT_FALSE(second.drawn.empty());
    EXPECT_EQ(first.measured.size(), 2u);
}

TEST(Menu, MeasureRequestFindsTheSubmenuObjectThatHoldsTheItem)
{
    // WM_MEASUREITEM names only the item: the submenu's object must be found
    // from the menu being tracked.
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP | WS_VISIBLE, 50, 50, 200, 200, NULL, NULL));
    SetForegroundWindow(owner.m_hWnd);
    COwnerDrawMenu root, sub;
    ASSERT_TRUE(root.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_OWNERDRAW, 77, (LPCSTR)7);
    root.AppendMenu(MF_OWNERDRAW, 5, (LPCSTR)5);
    root.AppendMenu(MF_POPUP | MF_STRING, (UINT_PTR)sub.m_hMenu, "more");

    bool bAsked = false;
    {
        MenuCloser closer([&] {
            if (!bAsked && !root.drawn.empty()) {
                bAsked = true;
                MEASUREITEMSTRUCT mis = {ODT_MENU, 0, 77, 0, 0, 0};
                owner.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis);
                MEASUREITEMSTRUCT unknown = {ODT_MENU, 0, 999, 0, 0, 0};
                owner.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&unknown);
            }
            return bAsked;
        });
        root.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 60, 60, &owner);
    }
    sub.Detach();   // the root menu destroys its submenu
    EXPECT_TRUE(bAsked);
    EXPECT_EQ(root.measured, std::vector<UINT>{5});
    EXPECT_EQ(sub.measured, std::vector<UINT>{77});
}

namespace {
class CMenuAnswerer : public CModalAnswerer
{
public:
    UINT nCommand = 0;
    CMenu* pAsked = NULL;
    CMenuAnswerer() { AfxSetModalAnswerer(this); }
    ~CMenuAnswerer() override { AfxSetModalAnswerer(NULL); }
    BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        pAsked = pMenu;
        *pnCommand = nCommand;
        return TRUE;
    }
};

class CCommandWnd : public CWnd
{
public:
    std::vector<UINT> commands;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && lParam == 0)
            commands.push_back(LOWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};
} // namespace

TEST(Menu, PopupMenuIsAnsweredThroughTheSeam)
{
    CCommandWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP, 0, 0, 100, 100, NULL, NULL));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 301, "Copy");
    menu.AppendMenu(MF_STRING, 302, "Paste");
    CMenuAnswerer answerer;

    answerer.nCommand = 302;
    EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 302);
    EXPECT_EQ(answerer.pAsked, &menu);
    EXPECT_TRUE(owner.commands.empty()) << "with TPM_RETURNCMD nothing is posted";

    answerer.nCommand = 301;
    EXPECT_TRUE(menu.TrackPopupMenu(0, 0, 0, &owner));
    ASSERT_TRUE(PumpUntil([&] { return !owner.commands.empty(); }));
    EXPECT_EQ(owner.commands, std::vector<UINT>{301});
}

TEST(Menu, ObjectsOwnTheirMenuViewsDoNot)
{
    HMENU hMenu = CreatePopupMenu();
    CMenu* pView = CMenu::FromHandle(hMenu);
    EXPECT_TRUE(CMenu::FromHandlePermanent(hMenu) == NULL);
    EXPECT_EQ(pView->m_hMenu, hMenu);
    CMenu::DeleteTempMap();
    EXPECT_TRUE(IsMenu(hMenu)) << "a view leaves the menu alive";
    {
        CMenu owner;
        ASSERT_TRUE(owner.Attach(hMenu));
        EXPECT_EQ(CMenu::FromHandlePermanent(hMenu), &owner);
        CMenu second;
        EXPECT_FALSE(second.Attach(hMenu));
    }
    EXPECT_FALSE(IsMenu(hMenu)) << "the owning object destroyed it";
}

TEST(Menu, LoadedFromResources)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(400));
    EXPECT_FALSE(menu.LoadMenu(400)) << "one menu per object";
    CMenu* pFile = menu.GetSubMenu(0);
    ASSERT_TRUE(pFile != NULL);
    EXPECT_EQ(pFile->GetMenuItemCount(), 2u);
    EXPECT_EQ(pFile->GetMenuItemID(1), 402u);
    CString text;
    EXPECT_EQ(pFile->GetMenuString(401, text, MF_BYCOMMAND), 4);
    EXPECT_STREQ(text, "Open");
    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(499));
    EXPECT_TRUE(missing.m_hMenu == NULL);
}
