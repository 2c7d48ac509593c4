// The tab strip above the fields on real windows under a stand-in container
// (which answers the switcher's questions and writes down what it is told)
// and a stand-in main window: the collections button's colour key, the
// collections menu from a data folder of our own, the hint when there is
// none, the tab menu's items and their results, and the line of internal
// information that only Alt with "`" shows.
#include "fields/FieldsSwitcher.h"

#include "collection/TvnxSave.h"
#include "framework/ModalAnswerer.h"
#include "services/KeyState.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/menus/3DMenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

TEST(FieldsSwitcherKey, ColourKeyFollowsTheSkinColour)
{
    const struct {
        COLORREF clrSkin;
        COLORREF clrKey;
    } rows[] = {
        {0x000000, 0x00C800},          // colouring off: black
        {RGB(0, 200, 0), 0x7FFF},      // clearly green
        {RGB(100, 180, 0), 0x00C800},  // green only 80 above red: not
        {RGB(100, 181, 100), 0x7FFF},  // green over red by 81 and not below blue
        {RGB(0, 180, 0), 0x7FFF},
        {RGB(0, 150, 151), 0x00C800},  // green below blue
        {RGB(0, 80, 0), 0x00C800},     // green - red = 80
        {RGB(255, 255, 255), 0x00C800},
        {RGB(87, 103, 210), 0x00C800}, // the preset "Dolphin"
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.clrKey, CollectionsButtonKey(row.clrSkin)) << std::hex << row.clrSkin;
}

struct Sent {
    UINT message;
    WPARAM wParam;
    std::string text;
};
std::vector<Sent> g_sent;
LRESULT g_nSmilies = 0;
LRESULT g_nBytes = 0;

LRESULT CALLBACK StandInProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETFIELDSMILIES:
        return g_nSmilies;
    case WM_GETFIELDDATASIZE:
        return g_nBytes;
    case WM_NEWFIELD:
    case WM_DUPLICATEFIELD:
    case WM_REMOVEFIELD:
    case WM_EDITFIELD:
    case WM_EXPORTFIELD:
        g_sent.push_back({message, wParam, ""});
        return 0;
    case WM_PUSHUNDO:
    case WM_OPENCOLLECTION:
        g_sent.push_back({message, 0, reinterpret_cast<LPCSTR>(wParam)});
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

// What a shown menu held, and the command the test picks in it.
struct MenuItem {
    std::string text;
    UINT nCommand;
    bool grayed;
    bool popup;
    std::string tip;
};
std::vector<MenuItem> g_menu;
std::vector<std::vector<MenuItem>> g_submenus;
std::function<UINT()> g_pick;

std::vector<MenuItem> ReadMenu(C3DMenu& menu)
{
    std::vector<MenuItem> items;
    for (int i = 0; i < menu.GetItemCount(); i++) {
        const C3DMenu::CItemStr* p = menu.GetItem(i);
        std::string text;
        for (int r = 0; r < p->runs.GetSize(); r++)
            text += static_cast<LPCSTR>(p->runs[r].strText);
        items.push_back({text, p->nCommand, (p->nFlags & MF_GRAYED) != 0, (p->nFlags & MF_POPUP) != 0,
                         static_cast<LPCSTR>(p->strTip)});
        if (p->nFlags & MF_POPUP) {
            C3DMenu* pSub = C3DMenu::FromHandle(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(p->nCommand)));
            g_submenus.push_back(pSub != NULL ? ReadMenu(*pSub) : std::vector<MenuItem>());
        }
    }
    return items;
}

// Reads every menu the switcher shows and picks in it.
class MenuReader : public CModalAnswerer
{
public:
    MenuReader() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~MenuReader() override { AfxSetModalAnswerer(m_pPrevious); }
    BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        g_submenus.clear();
        g_menu = ReadMenu(*static_cast<C3DMenu*>(pMenu));
        *pnCommand = g_pick ? g_pick() : 0;
        return TRUE;
    }

private:
    CModalAnswerer* m_pPrevious;
};

std::vector<std::string> g_hints;
void FakeHint(CWnd*, LPCTSTR pszText, int, int)
{
    g_hints.push_back(pszText);
}

bool g_bInfoKeys = false;
SHORT WINAPI FakeAsyncKeyState(int nKey)
{
    if (g_bInfoKeys && (nKey == VK_MENU || nKey == VirtKeyOfChar('`')))
        return SHORT(0x8000);
    return 0;
}

class FieldsSwitcherTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ::OleInitialize(NULL);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = StandInProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "SwitcherStandIn";
        RegisterClassA(&wc);
        m_hMain = CreateWindowExA(0, wc.lpszClassName, "main", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, NULL, NULL,
                                  wc.hInstance, NULL);
        m_hContainer = CreateWindowExA(0, wc.lpszClassName, "fields", WS_CHILD | WS_VISIBLE, 0, 0, 400, 200, m_hMain,
                                       NULL, wc.hInstance, NULL);
        m_container.Attach(m_hContainer);
        g_sent.clear();
        g_hints.clear();
        g_menu.clear();
        g_pick = nullptr;
        g_nSmilies = 3;
        g_nBytes = 0;
        g_bInfoKeys = false;
        CTvnxFieldsSwitcher::s_pfnShowHint = FakeHint;
        g_pfnGetAsyncKeyState = FakeAsyncKeyState;
        for (int s = 0; s < 3; s++) {
            strip.m_Look.looks[s].nTextLeft = 40;
            strip.m_Look.looks[s].nBorderlessHeight = 21;
        }
        strip.m_Look.nButtonHeight = 12;
        const RECT rc = {0, 0, 300, 33};
        ASSERT_TRUE(strip.CreateControl(rc, &m_container, WS_CHILD | WS_VISIBLE));
    }
    void TearDown() override
    {
        strip.DestroyWindow();
        m_container.Detach();
        DestroyWindow(m_hMain);
        PumpPending();
        g_pfnGetAsyncKeyState = ::GetAsyncKeyState;
        ::OleUninitialize();
    }
    void Fill(int n)
    {
        static const char* names[] = {"Faces", "Animals", "Signs"};
        int nAfter = 0;
        for (int i = 0; i < n; i++)
            nAfter = strip.InsertTab(nAfter, i < 3 ? names[i] : ("F" + std::to_string(i)).c_str(),
                                     RGB(10 * i, 100, 200), 1);
    }
    int IdAt(int i) { return strip.GetTabAt(i).nId; }
    void RightClick(int nIndex)
    {
        POINT pt = {10, 10};
        strip.OnTabContextMenu(pt, IdAt(nIndex), strip.GetTabAt(nIndex).strName);
    }
    const MenuItem* Item(UINT nCommand)
    {
        for (const MenuItem& item : g_menu)
            if (item.nCommand == nCommand && !item.popup)
                return &item;
        return NULL;
    }

    CNumberedLanguage language;
    MenuReader reader;
    HWND m_hMain = NULL;
    HWND m_hContainer = NULL;
    CWnd m_container;
    CTvnxFieldsSwitcher strip;
};

TEST_F(FieldsSwitcherTest, ButtonIsMadeWithItsTip)
{
    ASSERT_TRUE(strip.m_Button.m_hWnd != NULL);
    EXPECT_EQ(IDC_FIELDS_COLLECTIONS, GetDlgCtrlID(strip.m_Button.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(strip.m_Button.m_hWnd));
    EXPECT_TRUE(strip.m_Button.m_bRecolor);
    ASSERT_TRUE(strip.m_ButtonTip.m_hWnd != NULL);
    ASSERT_EQ(1, strip.m_ButtonTip.GetToolCount());
    const C3DToolTip::CTool* pTool = strip.m_ButtonTip.FindTool(strip.m_nButtonTool);
    ASSERT_TRUE(pTool != NULL);
    EXPECT_EQ("L571", std::string(pTool->pszText));
    // A new language gives the tip its text again, still one tool.
    language.Set(571, "Collections");
    SendMessageA(strip.m_hWnd, WM_LANGUAGE_CHANGED, 0, 0);
    ASSERT_EQ(1, strip.m_ButtonTip.GetToolCount());
    pTool = strip.m_ButtonTip.FindTool(strip.m_nButtonTool);
    ASSERT_TRUE(pTool != NULL);
    EXPECT_EQ("Collections", std::string(pTool->pszText));
}

TEST_F(FieldsSwitcherTest, OneTabDisablesSwitchMoveAndRemove)
{
    Fill(1);
    g_nSmilies = 0;
    RightClick(0);
    ASSERT_FALSE(g_menu.empty());
    EXPECT_EQ("L74", g_menu[0].text);
    EXPECT_TRUE(g_menu[0].grayed && g_menu[0].popup);
    EXPECT_EQ("L76", g_menu[1].text);
    EXPECT_TRUE(g_menu[1].grayed && g_menu[1].popup);
    ASSERT_TRUE(Item(ID_TABMENU_REMOVE) != NULL);
    EXPECT_EQ("L84 \"Faces\"", Item(ID_TABMENU_REMOVE)->text);
    EXPECT_TRUE(Item(ID_TABMENU_REMOVE)->grayed);
    EXPECT_FALSE(Item(ID_TABMENU_NEW)->grayed);
    EXPECT_FALSE(Item(ID_TABMENU_DUPLICATE)->grayed);
    EXPECT_TRUE(Item(ID_TABMENU_EXPORT)->grayed) << "no smilies to export";
    EXPECT_FALSE(Item(ID_TABMENU_PROPERTIES)->grayed);
    EXPECT_TRUE(g_sent.empty());
}

TEST_F(FieldsSwitcherTest, SubmenusListEveryTabAndGreyTheOwn)
{
    Fill(3);
    RightClick(1);
    ASSERT_EQ(2u, g_submenus.size());
    for (const auto& sub : g_submenus) {
        ASSERT_EQ(3u, sub.size());
        EXPECT_FALSE(sub[0].grayed);
        EXPECT_TRUE(sub[1].grayed) << "the clicked tab";
        EXPECT_FALSE(sub[2].grayed);
    }
    EXPECT_EQ("1.  Faces", g_submenus[0][0].text);
    EXPECT_EQ("3.  Signs", g_submenus[0][2].text);
    EXPECT_EQ(UINT(ID_TABMENU_SWITCH_FIRST + 2), g_submenus[0][2].nCommand);
    EXPECT_EQ(UINT(ID_TABMENU_MOVE_FIRST + 2), g_submenus[1][2].nCommand);
    EXPECT_FALSE(Item(ID_TABMENU_EXPORT)->grayed);
    EXPECT_FALSE(Item(ID_TABMENU_REMOVE)->grayed);
}

TEST_F(FieldsSwitcherTest, CommandsReachTheContainerWithTheTabId)
{
    Fill(3);
    const struct {
        UINT nCommand;
        UINT message;
    } rows[] = {{ID_TABMENU_NEW, WM_NEWFIELD},
                {ID_TABMENU_DUPLICATE, WM_DUPLICATEFIELD},
                {ID_TABMENU_REMOVE, WM_REMOVEFIELD},
                {ID_TABMENU_PROPERTIES, WM_EDITFIELD},
                {ID_TABMENU_EXPORT, WM_EXPORTFIELD}};
    for (const auto& row : rows) {
        g_sent.clear();
        g_pick = [&] { return row.nCommand; };
        RightClick(2);
        ASSERT_EQ(1u, g_sent.size()) << row.nCommand;
        EXPECT_EQ(row.message, g_sent[0].message);
        EXPECT_EQ(WPARAM(IdAt(2)), g_sent[0].wParam);
    }
}

TEST_F(FieldsSwitcherTest, SwitchSelectsAndMovePushesAnUndoStep)
{
    Fill(3);
    const int idFaces = IdAt(0), idSigns = IdAt(2);
    g_pick = [] { return UINT(ID_TABMENU_SWITCH_FIRST + 2); };
    RightClick(0);
    EXPECT_EQ(idSigns, strip.GetSelectedId());
    EXPECT_TRUE(g_sent.empty());

    // "Faces" to the place of "Signs": the strip puts it before its target.
    g_pick = [] { return UINT(ID_TABMENU_MOVE_FIRST + 2); };
    RightClick(0);
    ASSERT_EQ(1u, g_sent.size());
    EXPECT_EQ(UINT(WM_PUSHUNDO), g_sent[0].message);
    EXPECT_EQ("L489", g_sent[0].text);
    EXPECT_EQ(1, strip.GetTabIndex(idFaces));
    EXPECT_EQ(2, strip.GetTabIndex(idSigns));

    // The tips name the target, and for a move the clicked field too.
    language.Set(75, "show [FIELDNAME]");
    language.Set(81, "[FIELDNAME1] to [FIELDNAME2]");
    g_pick = nullptr;
    RightClick(2);
    ASSERT_EQ(2u, g_submenus.size());
    EXPECT_EQ("show Animals", g_submenus[0][0].tip);
    EXPECT_EQ("Signs to Animals", g_submenus[1][0].tip);
}

TEST_F(FieldsSwitcherTest, FiftyTabsDisableNewAndDuplicate)
{
    Fill(MAX_FIELD_TABS);
    RightClick(0);
    EXPECT_TRUE(Item(ID_TABMENU_NEW)->grayed);
    EXPECT_TRUE(Item(ID_TABMENU_DUPLICATE)->grayed);
    EXPECT_FALSE(Item(ID_TABMENU_REMOVE)->grayed);
}

TEST_F(FieldsSwitcherTest, FieldSizeLineOnlyWithAltAndBackquote)
{
    Fill(2);
    g_nBytes = 1500;
    RightClick(0);
    const size_t nPlain = g_menu.size();
    EXPECT_EQ("L86", g_menu.back().text);

    g_bInfoKeys = true;
    RightClick(0);
    ASSERT_EQ(nPlain + 1, g_menu.size()) << "separators are no items";
    EXPECT_EQ("Field size: 1 KB", g_menu.back().text);
    EXPECT_TRUE(g_menu.back().grayed);

    g_nBytes = 5 * 1024 - 1;
    RightClick(0);
    EXPECT_EQ("Field size: 4 KB", g_menu.back().text);
}

class FieldsSwitcherCollections : public FieldsSwitcherTest
{
protected:
    void SetUp() override
    {
        FieldsSwitcherTest::SetUp();
        m_strFolder = m_dir.Path("data");
        CreateDirectoryA(m_strFolder.c_str(), NULL);
        m_strSaved = static_cast<LPCSTR>(g_Settings.AppDataFolder);
        SetAppDataFolder((m_strFolder + "\\").c_str());
    }
    void TearDown() override
    {
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        SetAppDataFolder(m_strSaved.c_str());
        FieldsSwitcherTest::TearDown();
    }
    void ClickButton()
    {
        SendMessageA(strip.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_FIELDS_COLLECTIONS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(strip.m_Button.m_hWnd));
    }

    TvnxTempDir m_dir;
    std::string m_strFolder;
    std::string m_strSaved;
};

TEST_F(FieldsSwitcherCollections, WithoutCollectionsTheButtonShowsTheHint)
{
    ClickButton();
    EXPECT_TRUE(g_menu.empty());
    ASSERT_EQ(1u, g_hints.size());
    EXPECT_EQ("L573", g_hints[0]);
}

TEST_F(FieldsSwitcherCollections, MenuListsTheFolderAndOpensTheChoice)
{
    TestCollection c;
    c.records.push_back(Rec(1, "a.gif", Picture(1)));
    for (const char* name : {"Apes.tvnx", "Birds.tvnx", "Cats.tvnx"})
        ASSERT_TRUE(WriteBytes(m_strFolder + "\\" + name, c.Build()));
    ASSERT_TRUE(WriteBytes(m_strFolder + "\\notes.txt", Text("x")));
    g_pCollectionFile = new CTvnxSave;
    // The open collection, named in another case.
    ASSERT_EQ(0, g_pCollectionFile->OpenCollection((m_strFolder + "\\BIRDS.tvnx").c_str(), FALSE, 0));

    g_pick = [] { return UINT(ID_COLLECTIONS_FIRST + 2); };
    ClickButton();
    EXPECT_TRUE(g_hints.empty());
    ASSERT_EQ(3u, g_menu.size());
    EXPECT_EQ("Apes", g_menu[0].text);
    EXPECT_FALSE(g_menu[0].grayed);
    EXPECT_TRUE(g_menu[1].grayed) << "the open collection";
    EXPECT_EQ(UINT(ID_COLLECTIONS_FIRST + 2), g_menu[2].nCommand);
    ASSERT_EQ(1u, g_sent.size());
    EXPECT_EQ(UINT(WM_OPENCOLLECTION), g_sent[0].message);
    EXPECT_EQ(m_strFolder + "\\Cats.tvnx", g_sent[0].text);
}

}  // namespace
