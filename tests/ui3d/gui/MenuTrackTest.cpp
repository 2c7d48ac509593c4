// Skinned popup menus and the menu bar with real windows: tracking through
// the test seam and on the screen, the count of menus being tracked, item
// tips over the popup, and the bar's commands and hover switching.
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "tests/tools/Pump.h"
#include "ui3d/menus/3DMenuBar.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/SysUtils.h"

#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

LPCSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW));
}

TEXTSTYLE MenuStyle()
{
    TEXTSTYLE s;
    s.itemColors = COLORSET(RGB(230, 230, 240), 0, 0, 0, 0, 0);
    s.hotItemColors = COLORSET(RGB(60, 90, 200), 0, 0, 0, 0, 0);
    s.textColors = COLORSET(RGB(0, 0, 0), 0, 0, 0, 0, 0);
    s.hotTextColors = COLORSET(RGB(255, 255, 255), 0, 0, 0, 0, 0);
    s.nItemHeight = 20;
    s.nFlags = 0x08;
    return s;
}

// Records WM_COMMAND notifications.
class CCommandWnd : public CWnd
{
public:
    std::vector<UINT> commands;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(LOWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Answers popup menus with a callback (run while the menu is being tracked).
class CCallbackAnswerer : public CModalAnswerer
{
public:
    std::function<UINT(CMenu*)> answer;
    CModalAnswerer* m_pPrevious;
    CCallbackAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CCallbackAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        if (!answer)
            return FALSE;
        *pnCommand = answer(pMenu);
        return TRUE;
    }
};

// Drives a popup on the screen from a thread timer: each step runs once its
// condition holds; the menu is ended after the last step or after 5 s.
struct MenuDriver
{
    struct Step
    {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    static std::vector<Step> s_steps;
    static size_t s_next;
    static DWORD s_until;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        while (s_next < s_steps.size() && s_steps[s_next].ready()) {
            s_steps[s_next].act();
            ++s_next;
        }
        if ((LONG)(GetTickCount() - s_until) >= 0)
            EndMenu();
    }
    UINT_PTR id;
    explicit MenuDriver(std::vector<Step> steps)
    {
        s_steps = std::move(steps);
        s_next = 0;
        s_until = GetTickCount() + 5000;
        id = SetTimer(NULL, 0, 20, Tick);
    }
    ~MenuDriver() { KillTimer(NULL, id); }
};
std::vector<MenuDriver::Step> MenuDriver::s_steps;
size_t MenuDriver::s_next;
DWORD MenuDriver::s_until;

void PostKey(UINT vk)
{
    PostMessageA(GetFocus() != NULL ? GetFocus() : GetActiveWindow(), WM_KEYDOWN, vk, 0);
}

} // namespace

TEST(SkinnedMenu, TrackReturnsTheAnsweredCommandAndCountsTracking)
{
    CCommandWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP, 0, 0, 100, 100, NULL, NULL));
    const TEXTSTYLE style = MenuStyle();
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&style));
    menu.AppendItem(NULL, "&Copy", 0, 301);
    menu.AppendItem(NULL, "<b>Paste", 0, 302);
    int nTrackingInside = -1;
    CCallbackAnswerer answerer;
    answerer.answer = [&](CMenu* pMenu) {
        EXPECT_EQ(&menu, pMenu);
        nTrackingInside = C3DMenu::GetTrackingCount();
        return 302u;
    };
    EXPECT_EQ(0, C3DMenu::GetTrackingCount());
    EXPECT_EQ(302u, menu.Track(&owner, 10, 10));
    EXPECT_EQ(1, nTrackingInside);
    EXPECT_EQ(0, C3DMenu::GetTrackingCount());
    answerer.answer = [](CMenu*) { return 0u; };
    EXPECT_EQ(0u, menu.Track(&owner, 10, 10)) << "dismissed";
    EXPECT_EQ(0, C3DMenu::GetTrackingCount());
    EXPECT_TRUE(owner.commands.empty()) << "TPM_RETURNCMD sends no WM_COMMAND";
}

TEST(SkinnedMenu, RealPopupIsPaintedGetsItemTipsAndReturnsTheKeyboardChoice)
{
    CCommandWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP | WS_VISIBLE, 40, 40, 200, 200, NULL, NULL));
    SetForegroundWindow(owner.m_hWnd);
    const TEXTSTYLE style = MenuStyle();
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&style));
    menu.AppendItem(NULL, "&Open", 0, 201, NULL, "Opens a collection");
    menu.AppendItem(NULL, "&Save", 0, 202);
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, "E&xit", 0, 203);

    bool bTipsSeen = false;
    int nTrackingInside = -1;
    MenuDriver driver({
        {[&] { return menu.GetDrawCount() >= 4; },
         [&] {
             nTrackingInside = C3DMenu::GetTrackingCount();
             PostKey(VK_DOWN);
         }},
        {[&] { return menu.GetTipWindow() != NULL; },
         [&] {
             bTipsSeen = IsWindow(menu.GetTipWindow()) && menu.GetPopupWindow() != NULL;
             PostKey(VK_DOWN);
             PostKey(VK_RETURN);
         }},
    });
    const UINT nCommand = menu.Track(&owner, 60, 60);
    EXPECT_EQ(202u, nCommand);
    EXPECT_EQ(1, nTrackingInside);
    EXPECT_TRUE(bTipsSeen) << "the popup window was found and the item tips made";
    EXPECT_EQ(0, C3DMenu::GetTrackingCount());
    PumpUntil([&] { return menu.GetTipWindow() == NULL; }, 2000);
    EXPECT_EQ(nullptr, menu.GetTipWindow()) << "tips go with the popup window";
    EXPECT_EQ(nullptr, menu.GetPopupWindow());
    const RECT& rcFirst = menu.GetItem(0)->rcItem;
    EXPECT_EQ(20, rcFirst.bottom - rcFirst.top) << "first pass recorded the item rectangles";
}

namespace {

MENUBARSTYLE BarStyle()
{
    MENUBARSTYLE s;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(s.font), &s.font);
    s.textColors = COLORSET(RGB(0, 0, 0), 0, 0, 0, 0, 0);
    s.hotTextColors = COLORSET(RGB(255, 255, 255), 0, 0, 0, 0, 0);
    s.hotItemColors = COLORSET(RGB(0, 0, 128), 0, 0, 0, 0, 0);
    return s;
}

struct BarFixture
{
    CCommandWnd parent;
    C3DMenuBar bar;
    BarFixture()
    {
        parent.CreateEx(WS_EX_TOPMOST, PlainClass(), "main", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, NULL, NULL);
        SetForegroundWindow(parent.m_hWnd);
        const MENUBARSTYLE style = BarStyle();
        bar.Create(&style, &parent, 0, 0);
        bar.AddItem("File", 1001);
        bar.AddItem("Edit", 1002);
        bar.AddItem("Help", 1003);
        UpdateWindow(parent.m_hWnd);
    }
    POINT ScreenPointOf(int nItem)
    {
        const RECT& rc = bar.GetItem(nItem).rect;
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ClientToScreen(bar.m_hWnd, &pt);
        return pt;
    }
};

} // namespace

TEST(SkinnedMenuBar, LaysOutItemsWithoutGapsAtTextHeight)
{
    BarFixture f;
    ASSERT_EQ(3, f.bar.GetItemCount());
    const MENUBARSTYLE barStyle = BarStyle();
    HFONT hFont = CreateFontIndirectA(&barStyle.font);
    const RECT rcOne = {0, 0, 1, 1};
    const int h = static_cast<int>(MeasureText(rcOne, "File", hFont) >> 32);
    DeleteObject(hFont);
    for (int i = 0; i < 3; ++i) {
        const RECT& rc = f.bar.GetItem(i).rect;
        EXPECT_EQ(i == 0 ? 0 : f.bar.GetItem(i - 1).rect.right, rc.left) << "item " << i;
        EXPECT_EQ(h, rc.bottom - rc.top) << "item " << i;
    }
    RECT rcBar;
    GetClientRect(f.bar.m_hWnd, &rcBar);
    EXPECT_EQ(f.bar.GetItem(2).rect.right, rcBar.right);
    EXPECT_EQ(h, rcBar.bottom);
    // A mnemonic's "&" is not drawn and takes no room: the bar stays as wide.
    const int nPlainWidth = rcBar.right;
    f.bar.AddItem("&Go", 1004);
    f.bar.AddItem("Go", 1005);
    const RECT& rcMarked = f.bar.GetItem(3).rect;
    const RECT& rcPlain = f.bar.GetItem(4).rect;
    EXPECT_EQ(nPlainWidth, rcMarked.left);
    EXPECT_EQ(rcPlain.right - rcPlain.left, rcMarked.right - rcMarked.left);
}

TEST(SkinnedMenuBar, ClickPostsTheItemCommandToTheParent)
{
    BarFixture f;
    const RECT& rc = f.bar.GetItem(1).rect;
    f.bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.left + 2, rc.top + 2));
    f.bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.left + 2, rc.top + 2));
    EXPECT_TRUE(PumpUntil([&] { return !f.parent.commands.empty(); }, 2000));
    EXPECT_EQ(std::vector<UINT>{1002}, f.parent.commands);
    EXPECT_EQ(1002u, f.bar.GetHoverValue());
}

TEST(SkinnedMenuBar, HoverOverAnotherItemWhileOpenSwitchesMenus)
{
    BarFixture f;
    const TEXTSTYLE style = MenuStyle();
    C3DMenu fileMenu, other;
    ASSERT_TRUE(fileMenu.CreatePopup(&style));
    fileMenu.AppendItem(NULL, "&New", 0, 1);
    ASSERT_TRUE(other.CreatePopup(&style));

    UINT nSecondDrop = 99, nHoverAfterMove = 99, nDropped = 0;
    C3DMenu* pOpen = NULL;
    size_t nCommandsAfterSameItem = 99;
    CCallbackAnswerer answerer;
    answerer.answer = [&](CMenu*) {
        nDropped = f.bar.GetDroppedValue();
        pOpen = C3DMenuBar::GetOpenBarMenu();
        nSecondDrop = f.bar.DropDownMenu(&other, 1003);
        const RECT& rc = f.bar.GetItem(2).rect;
        f.bar.OnMouseMove(0, rc.left + 1, rc.top + 1);
        nHoverAfterMove = f.bar.GetHoverValue();
        POINT ptSame = f.ScreenPointOf(0);
        f.bar.SendMessage(WM_MENUBARHOVER, 0, MAKELPARAM(ptSame.x, ptSame.y));
        PumpPending();
        nCommandsAfterSameItem = f.parent.commands.size();
        POINT ptNext = f.ScreenPointOf(1);
        f.bar.SendMessage(WM_MENUBARHOVER, 0, MAKELPARAM(ptNext.x, ptNext.y));
        return 0u;
    };
    EXPECT_EQ(0u, f.bar.DropDownMenu(&fileMenu, 4242)) << "no item has that value";
    EXPECT_EQ(0u, f.bar.DropDownMenu(&fileMenu, 1001));
    EXPECT_EQ(1001u, nDropped);
    EXPECT_EQ(&fileMenu, pOpen);
    EXPECT_EQ(0u, nSecondDrop) << "one bar menu at a time";
    EXPECT_EQ(0u, nHoverAfterMove) << "mouse moves do not hover while a menu is open";
    EXPECT_EQ(0u, nCommandsAfterSameItem) << "hovering the dropped item changes nothing";
    EXPECT_TRUE(PumpUntil([&] { return !f.parent.commands.empty(); }, 2000));
    EXPECT_EQ(std::vector<UINT>{1002}, f.parent.commands) << "the parent is asked to drop the next menu";
    EXPECT_EQ(0u, f.bar.GetDroppedValue());
    EXPECT_EQ(nullptr, C3DMenuBar::GetOpenBarMenu());
}

// --- the bar and its menus with the keyboard ----------------------------------------------

namespace {

// The window that holds the bar: an item's command drops down its menu
// (New, Open, More with the submenu Inner, Exit; commands value x 10 + 1, 2,
// 9, 3) and records what opened and what was chosen.
class CBarParent : public CWnd
{
public:
    C3DMenuBar* m_pBar = NULL;
    std::vector<UINT> opened;
    UINT nChosen = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && m_pBar != NULL && reinterpret_cast<HWND>(lParam) == m_pBar->m_hWnd) {
            const UINT nValue = LOWORD(wParam);
            opened.push_back(nValue);
            const TEXTSTYLE style = MenuStyle();
            C3DMenu menu, more;
            menu.CreatePopup(&style);
            more.CreatePopup(&style);
            more.AppendItem(NULL, "&Inner", 0, nValue * 10 + 9);
            menu.AppendItem(NULL, "&New", 0, nValue * 10 + 1);
            menu.AppendItem(NULL, "&Open", 0, nValue * 10 + 2);
            menu.AppendItem(NULL, "&More", MF_POPUP, reinterpret_cast<UINT_PTR>(more.m_hMenu));
            menu.AppendItem(NULL, "E&xit", 0, nValue * 10 + 3);
            const UINT nCommand = m_pBar->DropDownMenu(&menu, nValue);
            if (nCommand != 0)
                nChosen = nCommand;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A key of the window that holds the bar, as its PreTranslateMessage sees it:
// "Alt" (pressed and released alone), "F10", "A-x" (Alt+x), "Left", "Right",
// "Down", "Enter", "Esc", or a letter typed.
void BarKey(C3DMenuBar& bar, HWND hWnd, const std::string& key)
{
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
        return bar.OnMenuKey(&msg) != FALSE;
    };
    const LPARAM lAlt = 1 | (1 << 29);
    if (key == "Alt") {
        send(WM_SYSKEYDOWN, VK_MENU, lAlt);
        send(WM_SYSKEYUP, VK_MENU, lAlt | 0xC0000000);
    } else if (key == "F10") {
        send(WM_SYSKEYDOWN, VK_F10, 1);
        send(WM_SYSKEYUP, VK_F10, 1 | 0xC0000000);
    } else if (key.size() == 3 && key.compare(0, 2, "A-") == 0) {
        send(WM_SYSKEYDOWN, VK_MENU, lAlt);
        send(WM_SYSCHAR, static_cast<BYTE>(key[2]), lAlt);
        send(WM_SYSKEYUP, VK_MENU, 1 | 0xC0000000);
    } else if (key.size() == 1) {
        // The window's loop translates a key it did not take into WM_CHAR.
        if (!send(WM_KEYDOWN, VkKeyScanA(key[0]) & 0xFF, 1))
            send(WM_CHAR, static_cast<BYTE>(key[0]), 1);
    } else {
        const std::map<std::string, UINT> keys = {
            {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Down", VK_DOWN}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}};
        ASSERT_TRUE(keys.count(key)) << key;
        send(WM_KEYDOWN, keys.at(key), 1);
        send(WM_KEYUP, keys.at(key), 1 | 0xC0000000);
    }
}

// A key posted into the loop of the open menu.
void MenuKey(const std::string& key)
{
    const std::map<std::string, UINT> keys = {{"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP},
                                              {"Down", VK_DOWN}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}};
    HWND hWnd = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
    if (key.size() == 1) {
        PostMessageA(hWnd, WM_CHAR, static_cast<BYTE>(key[0]), 1);
        return;
    }
    if (keys.count(key))
        PostMessageA(hWnd, WM_KEYDOWN, keys.at(key), 1);
    else
        ADD_FAILURE() << "no such key: " << key;
}

std::vector<std::string> Words(const char* psz)
{
    std::vector<std::string> v;
    std::string s;
    for (const char* p = psz; ; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!s.empty())
                v.push_back(s);
            s.clear();
            if (*p == '\0')
                break;
        } else {
            s += *p;
        }
    }
    return v;
}

} // namespace

TEST(SkinnedMenuBar, KeyboardWorksTheBarAndItsMenusAsTheSystemsDo)
{
    struct Row
    {
        const char* pszBarKeys;            // keys of the window, before any menu opened
        std::vector<const char*> menuKeys; // keys for each menu that opens, in turn
        const char* pszOpened;             // values of the menus that opened
        UINT nChosen;                      // command chosen, 0 none
        UINT nSelected;                    // the bar item selected by the keyboard at the end, 0 none
    };
    const Row rows[] = {
        // Alt or F10 selects the first item; arrows walk round the bar; Esc
        // or Alt again leaves it.
        {"Alt", {}, "", 0, 1001},
        {"F10 Right Right Right", {}, "", 0, 1001},
        {"Alt Left", {}, "", 0, 1003},
        {"Alt Esc", {}, "", 0, 0},
        {"Alt Alt", {}, "", 0, 0},
        // Enter, Down or the item's letter opens its menu with the first
        // item selected; Alt+letter opens it at once.
        {"Alt Right Enter", {"Enter"}, "1002", 10021, 0},
        {"Alt Down", {"Down Enter"}, "1001", 10012, 0},
        {"Alt h", {"Enter"}, "1003", 10031, 0},
        {"Alt z", {}, "", 0, 1001},
        {"A-e", {"x"}, "1002", 10023, 0},
        {"A-q", {}, "", 0, 0},
        // In a menu: Right and Left go to the neighbouring menus, round the
        // ends; on an item with a submenu Right opens it, and Left in the
        // submenu closes only it; Esc goes back to the bar item.
        {"A-f", {"Right", "Enter"}, "1001 1002", 10021, 0},
        {"A-f", {"Left", "Esc"}, "1001 1003", 0, 1003},
        {"A-h", {"Right", "Up Enter"}, "1003 1001", 10013, 0},
        {"A-f", {"Up Up Right Enter"}, "1001", 10019, 0},
        {"A-f", {"Up Up Right Left Left", "Esc"}, "1001 1003", 0, 1003},
        {"A-e", {"Up Up Right Right", "o"}, "1002 1003", 10032, 0},
    };
    for (const Row& row : rows) {
        const std::string strRow = std::string("keys \"") + row.pszBarKeys + "\"";
        // The pointer away from the bar: over another item it would switch menus.
        SetCursorPos(700, 600);
        CBarParent parent;
        ASSERT_TRUE(parent.CreateEx(WS_EX_TOPMOST, PlainClass(), "main", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100,
                                    NULL, NULL));
        SetForegroundWindow(parent.m_hWnd);
        C3DMenuBar bar;
        const MENUBARSTYLE style = BarStyle();
        ASSERT_TRUE(bar.Create(&style, &parent, 0, 0));
        bar.AddItem("&File", 1001);
        bar.AddItem("&Edit", 1002);
        bar.AddItem("&Help", 1003);
        parent.m_pBar = &bar;
        std::vector<MenuDriver::Step> steps;
        for (size_t i = 0; i < row.menuKeys.size(); i++) {
            const std::vector<std::string> keys = Words(row.menuKeys[i]);
            steps.push_back({[&parent, i] {
                                 C3DMenu* pOpen = C3DMenuBar::GetOpenBarMenu();
                                 return pOpen != NULL && parent.opened.size() == i + 1 &&
                                        pOpen->GetDrawCount() >= pOpen->GetItemCount();
                             },
                             [keys] {
                                 for (const std::string& key : keys)
                                     MenuKey(key);
                             }});
        }
        MenuDriver driver(steps);
        for (const std::string& key : Words(row.pszBarKeys))
            BarKey(bar, parent.m_hWnd, key);
        // Every menu opens from the queue; the row is done when its last menu closed.
        PumpUntil([&] { return parent.opened.size() >= row.menuKeys.size() && C3DMenuBar::GetOpenBarMenu() == NULL; },
                  3000);
        PumpPending();
        std::string strOpened;
        for (UINT n : parent.opened)
            strOpened += (strOpened.empty() ? "" : " ") + std::to_string(n);
        EXPECT_EQ(row.pszOpened, strOpened) << strRow;
        EXPECT_EQ(row.nChosen, parent.nChosen) << strRow;
        EXPECT_EQ(row.nSelected, bar.GetKeyboardValue()) << strRow;
        parent.m_pBar = NULL;
        bar.DestroyWindow();
        parent.DestroyWindow();
    }
}
