// The menus of a field on real field windows, answered through the test seam
// and read as data (ids, texts, grayed items, submenus): the field menu, the
// smilie menu for the kinds of smilies, the paste history, the main window's
// Edit and Smilies menus, and the lines shown while Alt and "`" are held.
// Then the commands: cut, copy and delete with their undo steps, the
// properties dialogs answered through the seam, a smilie that went away
// while its menu was open, and paste from another program's clipboard.
#include "tests/fields/gui/FieldTestKit.h"
#include "tests/fields/gui/NamedPictures.h"

#include "dialogs/DlgPhraseProp.h"
#include "dialogs/DlgSmilieProp.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/SmiliesFieldMenus.h"
#include "fields/SmiliesPasteGroup.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/KeyState.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/menus/3DMenuBar.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace fieldkit;

namespace {

// One item of a menu as the tests compare it; a separator is {0, "-"}.
struct Row
{
    UINT nId;
    std::string strText;
    bool bGrayed = false;
    std::vector<Row> sub;
    std::string strTip = "";
};

std::string RunsText(const C3DMenu::CItemStr* p)
{
    std::string s;
    for (int i = 0; p != NULL && i < p->runs.GetSize(); i++)
        s += p->runs[i].strText.GetString();
    return s;
}

std::vector<Row> Read(HMENU hMenu)
{
    std::vector<Row> rows;
    C3DMenu* pMenu = dynamic_cast<C3DMenu*>(CMenu::FromHandlePermanent(hMenu));
    int nItem = 0;
    for (int i = 0; i < GetMenuItemCount(hMenu); i++) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoA(hMenu, UINT(i), TRUE, &mii);
        if (mii.fType & MFT_SEPARATOR) {
            rows.push_back({0, "-"});
            continue;
        }
        Row row;
        const C3DMenu::CItemStr* pItem = pMenu != NULL ? pMenu->GetItem(nItem++) : NULL;
        row.strText = RunsText(pItem);
        row.strTip = pItem != NULL ? pItem->strTip.GetString() : "";
        row.bGrayed = (mii.fState & MFS_GRAYED) != 0;
        HMENU hSub = mii.hSubMenu;
        row.nId = hSub != NULL ? 0xFFFF : mii.wID;
        if (hSub != NULL)
            row.sub = Read(hSub);
        rows.push_back(row);
    }
    return rows;
}

std::string Describe(const std::vector<Row>& rows, int nIndent = 0)
{
    std::string s;
    for (const Row& r : rows) {
        s += std::string(size_t(nIndent), ' ') + std::to_string(r.nId) + " " + r.strText + (r.bGrayed ? " (grayed)" : "") +
             "\n";
        s += Describe(r.sub, nIndent + 2);
    }
    return s;
}

// Compares the ids, texts and grayed states; a submenu is compared when
// the expected row lists one.
void ExpectMenu(const std::vector<Row>& expected, const std::vector<Row>& actual, const std::string& strWhat)
{
    ASSERT_EQ(expected.size(), actual.size()) << strWhat << "\n" << Describe(actual);
    for (size_t i = 0; i < expected.size(); i++) {
        const Row& e = expected[i];
        const Row& a = actual[i];
        EXPECT_EQ(e.nId, a.nId) << strWhat << " item " << i << "\n" << Describe(actual);
        EXPECT_EQ(e.strText, a.strText) << strWhat << " item " << i;
        EXPECT_EQ(e.bGrayed, a.bGrayed) << strWhat << " item " << i << " " << a.strText;
        if (!e.sub.empty())
            ExpectMenu(e.sub, a.sub, strWhat + " > " + e.strText);
    }
}

const Row kSep = {0, "-"};
const UINT kPopup = 0xFFFF;

// Menus read and answered with a chosen command; dialogs worked by a
// function; message boxes answered in turn.
class CMenuAnswerer : public CModalAnswerer
{
public:
    CMenuAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CMenuAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    BOOL OnPopupMenu(CMenu* pMenu, UINT, int x, int y, CWnd*, UINT* pnCommand) override
    {
        menus.push_back(Read(pMenu->m_hMenu));
        ptMenu = POINT{x, y};
        C3DMenu* p3D = dynamic_cast<C3DMenu*>(pMenu);
        for (int i = 0; p3D != NULL && i < p3D->GetItemCount(); i++)
            tips[p3D->GetItem(i)->nCommand] = p3D->GetItem(i)->strTip.GetString();
        if (whileOpen)
            whileOpen();
        *pnCommand = nCommand;
        return TRUE;
    }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox))) {
            const size_t n = nBoxes++;
            return n < boxAnswers.size() ? boxAnswers[n] : IDNO;
        }
        nDialogs++;
        if (work)
            work(pDialog);
        return pDialog->ContinueModal() ? IDCANCEL : -1;
    }

    std::vector<std::vector<Row>> menus;
    std::map<UINT, std::string> tips;
    POINT ptMenu = {0, 0};
    UINT nCommand = 0;
    std::function<void()> whileOpen;
    std::function<void(CDialog*)> work;
    std::vector<int> boxAnswers;
    size_t nBoxes = 0;
    int nDialogs = 0;

private:
    CModalAnswerer* m_pPrevious;
};

// The container's side of the undo messages, as the parent answers them.
struct UndoState
{
    std::vector<std::string> pushed;
    BOOL bCanUndo = FALSE, bCanRedo = FALSE;
    const char* pszUndoTitle = NULL;
    const char* pszRedoTitle = NULL;
    int nUndos = 0, nRedos = 0;
};
UndoState g_undo;
WNDPROC g_pfnParentProc = NULL;

LRESULT CALLBACK ContainerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PUSHUNDO:
        g_undo.pushed.push_back(wParam != 0 ? reinterpret_cast<LPCSTR>(wParam) : "");
        break;
    case WM_CANUNDO:
        return g_undo.bCanUndo;
    case WM_CANREDO:
        return g_undo.bCanRedo;
    case WM_GETUNDOTITLE:
        return reinterpret_cast<LRESULT>(g_undo.pszUndoTitle);
    case WM_GETREDOTITLE:
        return reinterpret_cast<LRESULT>(g_undo.pszRedoTitle);
    case WM_UNDO_FIELDS:
        g_undo.nUndos++;
        return 1;
    case WM_REDO_FIELDS:
        g_undo.nRedos++;
        return 1;
    }
    return CallWindowProcA(g_pfnParentProc, hWnd, message, wParam, lParam);
}

// Alt and the key that types "`", held or not.
bool g_bInfoKeys = false;
SHORT WINAPI FakeKeyState(int nKey)
{
    return g_bInfoKeys && (nKey == VK_MENU || nKey == VirtKeyOfChar('`')) ? SHORT(0x8000) : 0;
}

void EmptyClipboard()
{
    if (OpenClipboard(NULL)) {
        ::EmptyClipboard();
        CloseClipboard();
    }
}

// Another program that owns the clipboard with a text (none when empty)
// while the object lives.
class ClipWriter
{
public:
    explicit ClipWriter(const std::string& strText)
    {
        char szDir[MAX_PATH], szReady[MAX_PATH];
        if (!GetTempPathA(MAX_PATH, szDir) || !GetTempFileNameA(szDir, "clw", 0, szReady))
            return;
        m_strReady = szReady;
        DeleteFileA(szReady);
        const std::string strExe = std::string(TVNX_BINARY_DIR) + "\\tests\\standins\\clip_writer.exe";
        std::string strCmd = "\"" + strExe + "\" \"" + m_strReady + "\" \"" + strText + "\"";
        std::vector<char> cmd(strCmd.begin(), strCmd.end());
        cmd.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        if (!CreateProcessA(strExe.c_str(), cmd.data(), NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &m_pi))
            return;
        // Emptying the clipboard asks its former owner, perhaps this thread.
        m_bReady = PumpUntil([&] { return GetFileAttributesA(m_strReady.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
    }
    ~ClipWriter()
    {
        if (m_pi.hProcess != NULL) {
            TerminateProcess(m_pi.hProcess, 0);
            WaitForSingleObject(m_pi.hProcess, 5000);
            CloseHandle(m_pi.hThread);
            CloseHandle(m_pi.hProcess);
        }
        if (!m_strReady.empty())
            DeleteFileA(m_strReady.c_str());
    }
    bool IsReady() const { return m_bReady; }

private:
    PROCESS_INFORMATION m_pi = {};
    std::string m_strReady;
    bool m_bReady = false;
};

MENUBARSTYLE BarStyle()
{
    MENUBARSTYLE s;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(s.font), &s.font);
    s.textColors = COLORSET(RGB(0, 0, 0), 0, 0, 0, 0, 0);
    s.hotTextColors = COLORSET(RGB(255, 255, 255), 0, 0, 0, 0, 0);
    s.hotItemColors = COLORSET(RGB(0, 0, 128), 0, 0, 0, 0, 0);
    return s;
}

class FieldContextMenus : public FieldFixture
{
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ::OleInitialize(NULL);
        g_undo = UndoState();
        g_pfnParentProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_parent.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ContainerProc)));
        m_pfnAsync = g_pfnGetAsyncKeyState;
        g_pfnGetAsyncKeyState = FakeKeyState;
        g_bInfoKeys = false;
        g_Settings.FadeDialogs = 0;
        g_Settings.ShowTips = 0;
        g_PasteHistory.RemoveAll();
        EmptyClipboard();
        ASSERT_TRUE(MakeField(field, m_parent, 350, 340, 35, 34));
    }
    void TearDown() override
    {
        if (field.m_hWnd != NULL)
            field.DestroyWindow();
        g_PasteHistory.RemoveAll();
        g_WebSmilieQueue.RemoveAll();
        g_pfnGetAsyncKeyState = m_pfnAsync;
        SetWindowLongPtrA(m_parent.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnParentProc));
        ::OleUninitialize();
        FieldFixture::TearDown();
    }

    POINT Centre(int c, int r) const { return field.GetCellRect(c, r).CenterPoint(); }
    // The smilie menu of the smilie at a cell; the menu as read.
    std::vector<Row> SmilieMenu(int c, int r, UINT nCommand = 0)
    {
        answerer.nCommand = nCommand;
        answerer.menus.clear();
        ShowSmilieMenu(&field, Centre(c, r));
        return answerer.menus.empty() ? std::vector<Row>() : answerer.menus.back();
    }
    std::vector<Row> FieldMenu(int c, int r, UINT nCommand = 0)
    {
        answerer.nCommand = nCommand;
        answerer.menus.clear();
        ShowFieldMenu(&field, Centre(c, r));
        return answerer.menus.empty() ? std::vector<Row>() : answerer.menus.back();
    }

    CNumberedLanguage m_language;
    CSmiliesFieldControl field;
    CMenuAnswerer answerer;
    PFN_GETKEYSTATE m_pfnAsync = NULL;
};

std::vector<Row> InsertRowsSub(bool bGrayed = false)
{
    std::vector<Row> rows;
    for (int i = 0; i < 5; i++)
        rows.push_back({UINT(83 + i), "L" + std::to_string(145 + i), bGrayed});
    return rows;
}

// --- the menus as data -------------------------------------------------------------------------

TEST_F(FieldContextMenus, FieldMenuWithAndWithoutSmilies)
{
    const std::vector<Row> newSub = {{100, "L174"}, {101, "L176"}};
    ExpectMenu({{5, "L166", true},
                {32, "L168", true},
                kSep,
                {91, "L118"},
                {kPopup, "L173", false, newSub},
                kSep,
                {9, "L132", true},
                kSep,
                {1, "L172", true}},
               FieldMenu(2, 2), "empty field");
    EXPECT_EQ(answerer.tips[9], "L133\n\nL171");
    EXPECT_EQ(answerer.menus.back()[4].sub.back().strTip, "L177");
    POINT pt = Centre(2, 2);
    ClientToScreen(field.m_hWnd, &pt);
    EXPECT_EQ(pt.x, answerer.ptMenu.x);
    EXPECT_EQ(pt.y, answerer.ptMenu.y);

    Fill(field, 3);
    ExpectMenu({{5, "L166", true},
                {32, "L168", true},
                kSep,
                {91, "L118"},
                {kPopup, "L173", false, newSub},
                kSep,
                {9, "L132"},
                kSep,
                {kPopup, "L172", false, InsertRowsSub()}},
               FieldMenu(2, 2), "three smilies");
    EXPECT_EQ(answerer.tips[9], "L133");

    // Choosing select all selects them all.
    FieldMenu(2, 2, 9);
    EXPECT_EQ(3, field.GetSelectedCount());
}

TEST_F(FieldContextMenus, SmilieMenuForEachKindOfSmilie)
{
    NamedPictures pictures({{"grin.gif", 20, 20}});
    ASSERT_TRUE(pictures.IsOpen());
    const POINT cells[] = {{0, 0}, {1, 0}, {2, 0}};
    CSmilie* pPicture = field.AddSmilie(&cells[0], 1, "", "C:\\grin.gif");
    CSmilie* pPhrase = field.AddSmilie(&cells[1], 0, "hello", NULL);
    CSmilie* pAddress = field.AddSmilie(&cells[2], 0, "", "http://127.0.0.1/far.gif");
    ASSERT_TRUE(pPicture && pPhrase && pAddress);

    const std::vector<Row> tail = {kSep, {9, "L132"}, kSep, {kPopup, "L172", false, InsertRowsSub()}};
    auto with = [&](std::vector<Row> head, const std::vector<Row>& end) {
        head.insert(head.end(), tail.begin(), tail.end());
        head.insert(head.end(), end.begin(), end.end());
        return head;
    };
    ExpectMenu(with({{2, "L136 grin"}, {3, "L138 grin"}, {5, "L166", true}, {32, "L168", true}, {1, "L134 grin"},
                     kSep, {90, "L120"}},
                    {kSep, {11, "L154 grin"}, {4, "L140"}}),
               SmilieMenu(0, 0), "picture with a local source");
    ExpectMenu(with({{2, "L136 "}, {3, "L138 "}, {5, "L166", true}, {32, "L168", true}, {1, "L134 "}, kSep,
                     {90, "L125"}},
                    {kSep, {4, "L141"}}),
               SmilieMenu(1, 0), "phrase");
    ExpectMenu(with({{2, "L136 L522"}, {3, "L138 L522"}, {5, "L166", true}, {32, "L168", true}, {1, "L134 L522"}},
                    {kSep, {11, "L160 L522"}}),
               SmilieMenu(2, 0), "address without picture");

    // A selection of several: plain texts, the export of several, no
    // single-smilie items.
    field.SetSmilieSelected(TRUE, 0, 0);
    field.SetSmilieSelected(TRUE, 1, 0);
    ExpectMenu(with({{2, "L136"}, {3, "L138"}, {5, "L166", true}, {32, "L168", true}, {1, "L134"}, kSep,
                     {90, "L123"}},
                    {}),
               SmilieMenu(0, 0), "selection");
    // Every smilie selected: select all is grayed.
    field.SetSmilieSelected(TRUE, 2, 0);
    EXPECT_TRUE(SmilieMenu(0, 0)[8].bGrayed);
}

TEST_F(FieldContextMenus, AHistoryOfTenEntriesNewestFirst)
{
    for (int i = 0; i < 10; i++) {
        const POINT cell = {i % field.GetColumnCount(), i / field.GetColumnCount()};
        field.AddSmilie(&cell, 0, ("p" + std::to_string(i)).c_str(), NULL);
    }
    for (int i = 0; i < 10; i++)
        ASSERT_EQ(i, field.CopyToPasteHistory(Centre(i % field.GetColumnCount(), i / field.GetColumnCount())));
    const std::vector<Row> rows = FieldMenu(5, 5);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_FALSE(rows[0].bGrayed) << "paste takes the newest entry";
    ASSERT_EQ(kPopup, rows[1].nId);
    EXPECT_EQ("L168", rows[1].strText);
    const char* texts[] = {"&1", "&2", "&3", "&4", "&5", "&6", "&7", "&8", "&9", "&a"};
    ASSERT_EQ(10u, rows[1].sub.size()) << Describe(rows);
    for (int i = 0; i < 10; i++) {
        // The mnemonic's ampersand is not drawn.
        EXPECT_EQ(std::string(texts[i] + 1), rows[1].sub[size_t(i)].strText) << i;
        EXPECT_EQ(UINT(41 - i), rows[1].sub[size_t(i)].nId) << i;
    }
    // The answerer read the top menu's tips only; the entries are checked
    // by choosing one.
    FieldMenu(5, 5, 35);
    EXPECT_EQ(11, field.GetSmilieCount()) << "entry 3 pasted";
    ASSERT_EQ(1u, g_undo.pushed.size());
    EXPECT_EQ("L487", g_undo.pushed[0]);
}

TEST_F(FieldContextMenus, HistoryEntriesCarryTheirMnemonicAndTip)
{
    Fill(field, 2);
    field.CopyToPasteHistory(Centre(0, 0));
    CMenuIcons icons;
    C3DMenu parent, submenu;
    ASSERT_TRUE(parent.CreatePopup(NULL));
    BuildPasteMenu(submenu, icons, parent, FALSE);
    ASSERT_EQ(1, submenu.GetItemCount());
    const C3DMenu::CItemStr* p = submenu.GetItem(0);
    EXPECT_EQ('1', p->chMnemonic);
    EXPECT_EQ(32u, p->nCommand);
    EXPECT_TRUE(p->hIcon != NULL) << "a thumbnail of the group";
    EXPECT_STREQ("L169", p->strTip);
    submenu.Detach();
}

// Up to 128 smilies a history entry shows a 64 x 64 thumbnail of its group;
// a larger group the 16 x 16 large-group icon, which is quick to draw.
TEST_F(FieldContextMenus, LargeGroupsShowTheLargeGroupIconInTheHistory)
{
    const struct {
        int nSmilies;
        int nSide;
    } rows[] = {{128, 64}, {129, 16}};
    for (const auto& r : rows) {
        g_PasteHistory.RemoveAll();
        field.DeleteAllSmilies();
        Fill(field, r.nSmilies);
        field.SelectAll();
        ASSERT_EQ(r.nSmilies, field.GetSelectedCount());
        ASSERT_EQ(0, field.CopyToPasteHistory(Centre(0, 0))) << r.nSmilies;
        ASSERT_EQ(r.nSmilies, g_PasteHistory[0].m_Smilies.GetSize());
        CMenuIcons icons;
        C3DMenu parent, submenu;
        ASSERT_TRUE(parent.CreatePopup(NULL));
        BuildPasteMenu(submenu, icons, parent, FALSE);
        ASSERT_EQ(1, submenu.GetItemCount());
        const HICON hIcon = submenu.GetItem(0)->hIcon;
        ICONINFO info = {};
        ASSERT_TRUE(hIcon != NULL && GetIconInfo(hIcon, &info)) << r.nSmilies;
        BITMAP bm = {};
        GetObjectA(info.hbmColor != NULL ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
        EXPECT_EQ(r.nSide, bm.bmWidth) << r.nSmilies << " smilies";
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        submenu.Detach();
    }
}

TEST_F(FieldContextMenus, EditMenuTitlesItsUndoAndRedoSteps)
{
    C3DMenuBar bar;
    const MENUBARSTYLE style = BarStyle();
    ASSERT_TRUE(bar.Create(&style, CWnd::FromHandle(m_parent.m_hWnd), 0, 300));
    bar.AddItem("Edit", MENUBAR_VALUE_EDIT);
    bar.AddItem("Smilies", MENUBAR_VALUE_SMILIES);
    Fill(field, 2);

    const struct
    {
        const char* pszName;
        BOOL bUndo, bRedo;
        const char* pszUndo;
        const char* pszRedo;
        std::string strUndoText, strRedoText;
    } rows[] = {
        {"nothing to undo", FALSE, FALSE, "x", "y", "L127", "L129"},
        {"both", TRUE, TRUE, "Move smilie", "Paste smilie", "L127 Move smilie", "L129 Paste smilie"},
        {"undo only, untitled", TRUE, FALSE, NULL, NULL, "L127 ", "L129"},
    };
    for (const auto& r : rows) {
        g_undo.bCanUndo = r.bUndo;
        g_undo.bCanRedo = r.bRedo;
        g_undo.pszUndoTitle = r.pszUndo;
        g_undo.pszRedoTitle = r.pszRedo;
        answerer.menus.clear();
        answerer.nCommand = 0;
        ShowEditMenu(&field, &bar);
        ASSERT_EQ(1u, answerer.menus.size()) << r.pszName;
        const std::vector<Row>& m = answerer.menus[0];
        ASSERT_GE(m.size(), 3u);
        EXPECT_EQ((Row{88, r.strUndoText, !r.bUndo}.strText), m[0].strText) << r.pszName;
        EXPECT_EQ(88u, m[0].nId);
        EXPECT_EQ(!r.bUndo, m[0].bGrayed) << r.pszName;
        EXPECT_EQ(r.strRedoText, m[1].strText) << r.pszName;
        EXPECT_EQ(89u, m[1].nId);
        EXPECT_EQ(!r.bRedo, m[1].bGrayed) << r.pszName;
    }
    // Without a focus cell or a selection the items that act at a place are grayed.
    ExpectMenu({{88, "L127 Move"},
                {89, "L129 Paste"},
                kSep,
                {2, "L136", true},
                {3, "L138", true},
                {5, "L166", true},
                {32, "L168", true},
                {1, "L134", true},
                {9, "L132"},
                {kPopup, "L172", false, InsertRowsSub(true)}},
               [&] {
                   g_undo.bCanRedo = TRUE;
                   g_undo.pszUndoTitle = "Move";
                   g_undo.pszRedoTitle = "Paste";
                   answerer.menus.clear();
                   ShowEditMenu(&field, &bar);
                   return answerer.menus.back();
               }(),
               "no target");
    answerer.nCommand = 88;
    ShowEditMenu(&field, &bar);
    answerer.nCommand = 89;
    ShowEditMenu(&field, &bar);
    EXPECT_EQ(1, g_undo.nUndos);
    EXPECT_EQ(1, g_undo.nRedos);

    // At the focus cell the commands act there: delete with its undo step.
    field.SetFocusCell(1, 0);
    answerer.nCommand = 1;
    ShowEditMenu(&field, &bar);
    EXPECT_EQ(nullptr, field.GetAt(1, 0));
    EXPECT_NE(nullptr, field.GetAt(0, 0));
    ASSERT_EQ(1u, g_undo.pushed.size());
    EXPECT_EQ("L469", g_undo.pushed[0]);
}

TEST_F(FieldContextMenus, SmiliesMenuAtAnEmptyAndAnOccupiedFocusCell)
{
    NamedPictures pictures({{"wink.gif", 20, 20}});
    ASSERT_TRUE(pictures.IsOpen());
    C3DMenuBar bar;
    const MENUBARSTYLE style = BarStyle();
    ASSERT_TRUE(bar.Create(&style, CWnd::FromHandle(m_parent.m_hWnd), 0, 300));
    bar.AddItem("Smilies", MENUBAR_VALUE_SMILIES);
    const POINT cell = {0, 0};
    ASSERT_TRUE(field.AddSmilie(&cell, 1, "", "http://127.0.0.1/wink.gif") != NULL);
    field.UpdateScrollRange(TRUE);

    auto menu = [&] {
        answerer.menus.clear();
        ShowSmiliesMenu(&field, &bar);
        return answerer.menus.empty() ? std::vector<Row>() : answerer.menus.back();
    };
    const Row sort = {kPopup, "L143"};
    ExpectMenu({{100, "L173", true},
                {91, "L118", true},
                kSep,
                {90, "L120", true},
                kSep,
                sort,
                kSep,
                {11, "L154", true},
                kSep,
                {4, "L140", true}},
               menu(), "no focus cell");

    field.SetFocusCell(3, 2);
    ExpectMenu({{kPopup, "L173", false, {{100, "L174"}, {101, "L176"}}},
                {91, "L118"},
                kSep,
                {90, "L120", true},
                kSep,
                sort,
                kSep,
                {11, "L154", true},
                kSep,
                {4, "L140", true}},
               menu(), "empty focus cell");

    field.SetFocusCell(0, 0);
    ExpectMenu({{100, "L173", true},
                {91, "L118", true},
                kSep,
                {90, "L120"},
                kSep,
                sort,
                kSep,
                {11, "L154 wink"},
                kSep,
                {4, "L140"}},
               menu(), "occupied focus cell");
}

TEST_F(FieldContextMenus, InternalInfoLinesOnlyWhileAltAndBacktickAreHeld)
{
    NamedPictures pictures({{"big.gif", 60, 20}, {"small.gif", 20, 20}});
    ASSERT_TRUE(pictures.IsOpen());
    const POINT cells[] = {{0, 0}, {1, 0}};
    ASSERT_TRUE(field.AddSmilie(&cells[0], 1, "", NULL) && field.AddSmilie(&cells[1], 2, "", NULL));
    const uint64_t nTotal = field.GetImageDataTotal();

    EXPECT_EQ(9u, FieldMenu(4, 4).size());
    g_bInfoKeys = true;
    std::vector<Row> rows = FieldMenu(4, 4);
    ASSERT_EQ(11u, rows.size());
    EXPECT_EQ("-", rows[9].strText);
    EXPECT_EQ("Field size: " + std::to_string(nTotal / 1024) + " KB", rows[10].strText);
    EXPECT_EQ(0u, rows[10].nId);
    EXPECT_TRUE(rows[10].bGrayed);

    // The smilie menu shows them only for a selection.
    const size_t nPlain = SmilieMenu(0, 0).size();
    field.SetSmilieSelected(TRUE, 0, 0);
    field.SetSmilieSelected(TRUE, 1, 0);
    rows = SmilieMenu(0, 0);
    ASSERT_EQ(nPlain + 1, rows.size()) << Describe(rows) << "no properties, three lines more";
    EXPECT_EQ("Sel size: " + std::to_string(nTotal / 1024) + " KB", rows[rows.size() - 2].strText);
    EXPECT_EQ((Row{6, "Smilies over 43/50px: 1"}.strText), rows.back().strText);
    EXPECT_EQ(6u, rows.back().nId);
    EXPECT_FALSE(rows.back().bGrayed);
    SmilieMenu(0, 0, 6);
    EXPECT_EQ(1, field.GetSelectedCount());
    EXPECT_TRUE(field.GetAt(0, 0)->m_bSelected) << "only the large one";

    field.DeselectAll();
    field.SetSmilieSelected(TRUE, 1, 0);
    rows = SmilieMenu(1, 0);
    EXPECT_EQ("Smilies over 43/50px: 0", rows.back().strText);
    EXPECT_EQ(0u, rows.back().nId);
    EXPECT_TRUE(rows.back().bGrayed);
}

// --- commands ---------------------------------------------------------------------------------

// The clipboard's text as this program renders it for nobody in particular.
std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(NULL))
        return "<not open>";
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

// Cut and Copy take one set for the clipboard, the paste history and the
// deletion: the smilie under the point, or the selection when that smilie
// is selected.
TEST_F(FieldContextMenus, CutCopyAndDeleteWithTheirUndoSteps)
{
    const struct
    {
        const char* pszName;
        UINT nCommand;
        int nSelected;       // smilies selected from cell 0 on
        int nAt;             // the menu's cell
        const char* pszTitle;
        int nLeft;
        int nHistory;        // groups in the history; its one group holds nTaken smilies
        int nTaken;
        const char* pszClip; // the clipboard's text, NULL: not checked
    } rows[] = {
        {"delete one", 1, 0, 0, "L469", 3, 0, 0, NULL},
        {"delete a selection", 1, 2, 0, "L470", 2, 0, 0, NULL},
        {"cut one", 2, 1, 0, "L478", 3, 1, 1, "phrase 0"},
        {"cut a selection", 2, 3, 0, "L479", 1, 1, 3, NULL},
        {"cut an unselected one beside a selection", 2, 2, 3, "L478", 3, 1, 1, "phrase 3"},
        {"copy one", 3, 0, 0, NULL, 4, 1, 1, "phrase 0"},
        {"copy a selection", 3, 2, 0, NULL, 4, 1, 2, NULL},
        {"copy an unselected one beside a selection", 3, 2, 3, NULL, 4, 1, 1, "phrase 3"},
    };
    for (const auto& r : rows) {
        field.DeleteAllSmilies();
        g_PasteHistory.RemoveAll();
        g_undo.pushed.clear();
        EmptyClipboard();
        for (int i = 0; i < 4; i++) {
            const POINT cell = {i, 0};
            field.AddSmilie(&cell, 0, ("phrase " + std::to_string(i)).c_str(), NULL);
        }
        for (int i = 0; i < r.nSelected; i++)
            field.SetSmilieSelected(TRUE, i, 0);
        SmilieMenu(r.nAt, 0, r.nCommand);
        EXPECT_EQ(r.nLeft, field.GetSmilieCount()) << r.pszName;
        ASSERT_EQ(r.nHistory, g_PasteHistory.GetSize()) << r.pszName;
        if (r.nHistory > 0) {
            EXPECT_EQ(r.nTaken, g_PasteHistory[0].m_Smilies.GetSize()) << r.pszName;
            EXPECT_GT(CountClipboardFormats(), 0) << r.pszName << ": on the clipboard";
        }
        if (r.pszClip != NULL) {
            EXPECT_EQ(r.pszClip, ClipboardText()) << r.pszName;
            EXPECT_EQ(r.pszClip, std::string(g_PasteHistory[0].m_Smilies[0].m_strPhrase)) << r.pszName;
        }
        if (r.nCommand == 2 && r.nAt != 0)
            EXPECT_EQ(nullptr, field.GetAt(r.nAt, 0)) << r.pszName << ": the smilie under the point is cut";
        if (r.pszTitle != NULL) {
            ASSERT_EQ(1u, g_undo.pushed.size()) << r.pszName;
            EXPECT_EQ(r.pszTitle, g_undo.pushed[0]) << r.pszName;
        } else {
            EXPECT_TRUE(g_undo.pushed.empty()) << r.pszName;
        }
    }
}

TEST_F(FieldContextMenus, ASmilieThatWentAwayWhileItsMenuWasOpenIsLeftAlone)
{
    Fill(field, 2);
    for (UINT nCommand : {1u, 2u, 3u, 4u, 90u}) {
        // The smilie leaves its cell and another one takes it (perhaps at
        // the same address).
        const std::string strNewcomer = "newcomer " + std::to_string(nCommand);
        answerer.whileOpen = [&] {
            field.RemoveSmilie(field.GetAt(0, 0), FALSE);
            const POINT cell = {0, 0};
            field.AddSmilie(&cell, 0, strNewcomer.c_str(), NULL);
        };
        g_undo.pushed.clear();
        g_PasteHistory.RemoveAll();
        SmilieMenu(0, 0, nCommand);
        ASSERT_NE(nullptr, field.GetAt(0, 0)) << nCommand;
        EXPECT_EQ(strNewcomer, std::string(field.GetAt(0, 0)->m_strPhrase)) << nCommand;
        EXPECT_TRUE(g_undo.pushed.empty()) << nCommand;
        EXPECT_EQ(0, g_PasteHistory.GetSize()) << nCommand;
        EXPECT_EQ(0, answerer.nDialogs) << nCommand;
    }
    answerer.whileOpen = nullptr;
}

TEST_F(FieldContextMenus, PropertiesOfAPictureAndOfAPhrase)
{
    NamedPictures pictures({{"wide.gif", 80, 20}, {"wide2.gif", 80, 20}});
    ASSERT_TRUE(pictures.IsOpen());
    const POINT cells[] = {{0, 0}, {1, 0}, {2, 0}};
    CSmilie* pPlain = field.AddSmilie(&cells[0], 1, "", "C:\\pics\\wide.gif");
    CSmilie* pCropped = field.AddSmilie(&cells[1], 2, "", "C:\\pics\\wide2.gif");
    CSmilie* pPhrase = field.AddSmilie(&cells[2], 0, "hello", NULL);
    ASSERT_TRUE(pPlain && pCropped && pPhrase);
    pCropped->m_nCrop = 10;
    field.RedrawAll();

    // The offset moves by the right button, the censor box is ticked.
    for (CSmilie* p : {pPlain, pCropped}) {
        g_undo.pushed.clear();
        const POINT cell = {p->m_nColumn, p->m_nRow};
        answerer.work = [](CDialog* pDialog) {
            CDlgSmilieProp* pProp = dynamic_cast<CDlgSmilieProp*>(pDialog);
            ASSERT_TRUE(pProp != NULL);
            pProp->SetPictureOffset(7, 0);
            CheckDlgButton(pDialog->m_hWnd, IDC_SMILIEPROP_CENSORED, BST_CHECKED);
            pDialog->SendMessage(WM_COMMAND, IDOK, 0);
        };
        SmilieMenu(cell.x, cell.y, 4);
        ASSERT_EQ(1u, g_undo.pushed.size()) << p->m_nCrop;
        EXPECT_EQ("L480", g_undo.pushed[0]);
        EXPECT_TRUE(p->m_nFlags & CSmilie::flagCensored);
        field.RedrawSmilie(p);
        EXPECT_EQ(7, p->GetImageOffset().x) << "crop " << int(p->m_nCrop);
        EXPECT_EQ(0, p->GetImageOffset().y);
    }
    EXPECT_EQ(10, pCropped->m_nCrop) << "the crop stays";

    // OK without a change records no step.
    g_undo.pushed.clear();
    answerer.work = [](CDialog* pDialog) { pDialog->SendMessage(WM_COMMAND, IDOK, 0); };
    SmilieMenu(0, 0, 4);
    EXPECT_TRUE(g_undo.pushed.empty());

    // A template without the keyword, kept: the smilie becomes that text.
    answerer.boxAnswers = {IDYES};
    answerer.work = [](CDialog* pDialog) {
        SendDlgItemMessageA(pDialog->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_SETCURSEL, 1, 0);
        pDialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SMILIEPROP_CHOICE, CBN_SELCHANGE), 0);
        SetDlgItemTextA(pDialog->m_hWnd, IDC_SMILIEPROP_TEMPLATE, ":-)");
        pDialog->SendMessage(WM_COMMAND, IDOK, 0);
    };
    SmilieMenu(0, 0, 4);
    ASSERT_EQ(1u, g_undo.pushed.size());
    EXPECT_EQ("L480", g_undo.pushed[0]);
    EXPECT_EQ(0u, pPlain->m_nImageRecord);
    EXPECT_EQ(nullptr, pPlain->m_pszSource);
    EXPECT_EQ(":-)", std::string(pPlain->m_strPhrase));

    // The phrase dialog changes the text.
    g_undo.pushed.clear();
    answerer.boxAnswers.clear();
    answerer.work = [](CDialog* pDialog) {
        ASSERT_TRUE(dynamic_cast<CDlgPhraseProp*>(pDialog) != NULL);
        SetDlgItemTextA(pDialog->m_hWnd, IDC_PHRASE_TEXT, "goodbye");
        pDialog->SendMessage(WM_COMMAND, IDOK, 0);
    };
    SmilieMenu(2, 0, 4);
    ASSERT_EQ(1u, g_undo.pushed.size());
    EXPECT_EQ("L480", g_undo.pushed[0]);
    EXPECT_EQ("goodbye", std::string(pPhrase->m_strPhrase));
    answerer.work = nullptr;
}

// Paste takes what another program left on the clipboard; with nothing
// usable there, or with this program's own data, the newest history entry.
TEST_F(FieldContextMenus, PasteFromAnotherProgramsClipboardBeforeTheHistory)
{
    const POINT cell = {0, 0};
    ASSERT_TRUE(field.AddSmilie(&cell, 0, "copied", NULL) != NULL);
    ASSERT_EQ(0, field.CopyToPasteHistory(Centre(0, 0)));
    {
        ClipWriter writer("hello from afar");
        ASSERT_TRUE(writer.IsReady());
        FieldMenu(3, 3, 5);
        ASSERT_NE(nullptr, field.GetAt(3, 3));
        EXPECT_EQ("hello from afar", std::string(field.GetAt(3, 3)->m_strPhrase));
        ASSERT_EQ(1u, g_undo.pushed.size());
        EXPECT_EQ("L448", g_undo.pushed[0]) << "a new phrase, not the history";
    }
    {
        ClipWriter writer("");
        ASSERT_TRUE(writer.IsReady());
        g_undo.pushed.clear();
        FieldMenu(4, 4, 5);
        ASSERT_NE(nullptr, field.GetAt(4, 4));
        EXPECT_EQ("copied", std::string(field.GetAt(4, 4)->m_strPhrase)) << "nothing usable: the history";
        ASSERT_EQ(1u, g_undo.pushed.size());
        EXPECT_EQ("L487", g_undo.pushed[0]);
    }
    // Our own clipboard data is pasted from the history, not read again.
    ASSERT_TRUE(field.CopySmiliesToClipboard(Centre(3, 3)));
    g_undo.pushed.clear();
    FieldMenu(5, 5, 5);
    ASSERT_NE(nullptr, field.GetAt(5, 5));
    EXPECT_EQ("copied", std::string(field.GetAt(5, 5)->m_strPhrase));
    EXPECT_EQ(1u, g_undo.pushed.size());
}

}  // namespace
