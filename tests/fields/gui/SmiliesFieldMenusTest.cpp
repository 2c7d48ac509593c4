// The pieces the fields' menus share, on real field windows and checked as
// data: the item texts that carry a smilie's name, the sort submenu (ids,
// texts, tips, icons, the grayed item of an empty field) and its commands
// reaching the field's arrange commands.
#include "fields/SmiliesFieldMenus.h"

#include "tests/fields/gui/FieldTestKit.h"
#include "tests/fields/gui/NamedPictures.h"
#include "tests/tools/NumberedLanguage.h"
#include "ui3d/menus/3DMenu.h"

#include <string>
#include <vector>

namespace {

using fieldkit::FieldFixture;

std::vector<std::string> g_undoTitles;
WNDPROC g_pfnParentProc = NULL;

// The parent's procedure, which writes down the titles of the undo steps.
LRESULT CALLBACK RecordUndoTitles(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PUSHUNDO)
        g_undoTitles.push_back(wParam != 0 ? reinterpret_cast<LPCSTR>(wParam) : "");
    return CallWindowProcA(g_pfnParentProc, hWnd, message, wParam, lParam);
}

class FieldMenusTest : public FieldFixture
{
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        g_undoTitles.clear();
        g_pfnParentProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_parent.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordUndoTitles)));
        ASSERT_TRUE(fieldkit::MakeField(m_field, m_parent, 300, 200, 35, 34));
    }
    void TearDown() override
    {
        if (m_field.m_hWnd != NULL)
            m_field.DestroyWindow();
        SetWindowLongPtrA(m_parent.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnParentProc));
        FieldFixture::TearDown();
    }

    CNumberedLanguage m_language;
    CSmiliesField m_field;
};

TEST_F(FieldMenusTest, ItemTextsCarryTheSmiliesName)
{
    NamedPictures pictures({{"folder\\grin.gif", 8, 8}, {"  .gif", 8, 8}, {std::string(60, 'n') + ".gif", 8, 8}});
    ASSERT_TRUE(pictures.IsOpen());
    const POINT cells[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
    CSmilie* pNamed = m_field.AddSmilie(&cells[0], 1, "", NULL);
    CSmilie* pUnnamed = m_field.AddSmilie(&cells[1], 2, "", NULL);
    CSmilie* pLong = m_field.AddSmilie(&cells[2], 3, "", NULL);
    CSmilie* pPhrase = m_field.AddSmilie(&cells[3], 0, "hello", NULL);
    CSmilie* pAddress = m_field.AddSmilie(&cells[4], 0, "", "http://127.0.0.1/far.gif");
    ASSERT_TRUE(pNamed && pUnnamed && pLong && pPhrase && pAddress);
    const struct {
        const char* pszName;
        CSmilie* pSmilie;
        const char* pszFixed;
        std::string strText, strSecond;
    } rows[] = {
        {"named picture", pNamed, "Fixed", "Cut <rgb(255,255,0)>grin<noclr><n>", "Cut \"grin\""},
        {"picture with a blank name", pUnnamed, NULL, "Cut ", "Cut "},
        {"phrase with a fixed text", pPhrase, "Phrase properties", "Phrase properties", "Phrase properties"},
        {"phrase without one", pPhrase, NULL, "Cut ", "Cut "},
        {"address without picture", pAddress, "Fixed", "Cut <rgb(192,0,0)>L522<noclr><n>", "Cut \"L522\""},
        {"no smilie", NULL, NULL, "Cut <rgb(192,0,0)>L522<noclr><n>", "Cut \"L522\""},
    };
    for (const auto& r : rows) {
        CString strText("old"), strSecond("old");
        FormatMenuItemText(r.pszFixed, r.pSmilie, strText, strSecond, "Cut [SMILIENAME]");
        EXPECT_STREQ(strText, r.strText.c_str()) << r.pszName;
        EXPECT_STREQ(strSecond, r.strSecond.c_str()) << r.pszName;
    }
    // A long template leaves room for only part of the name in the coloured
    // text: the name is cut, the markup kept.
    const std::string strTemplate = std::string(60, 't') + " [SMILIENAME]";
    CString strText, strSecond;
    FormatMenuItemText(NULL, pLong, strText, strSecond, strTemplate.c_str());
    EXPECT_STREQ(strText, (std::string(60, 't') + " <rgb(255,255,0)>" + std::string(40, 'n') + "<noclr><n>").c_str());
    EXPECT_STREQ(strSecond, (std::string(60, 't') + " \"" + std::string(60, 'n') + "\"").c_str());
}

TEST_F(FieldMenusTest, SortSubmenuOfAFieldWithSmilies)
{
    fieldkit::Fill(m_field, 3);
    CMenuIcons icons;
    C3DMenu parent, submenu;
    ASSERT_TRUE(parent.CreatePopup(NULL));
    BuildSortMenu(icons, &m_field, parent, submenu);

    ASSERT_EQ(parent.GetItemCount(), 1);
    const C3DMenu::CItemStr* pItem = parent.GetItem(0);
    EXPECT_EQ(pItem->nFlags & MF_POPUP, UINT(MF_POPUP));
    EXPECT_EQ(GetSubMenu(parent.m_hMenu, 0), submenu.m_hMenu);
    EXPECT_TRUE(pItem->hIcon != NULL);
    const struct {
        UINT nCommand;
        const char* pszText;
        const char* pszTip;
    } rows[] = {
        {68, "L103", "L104"}, {69, "L105", "L106"}, {70, "L107", "L108"}, {71, "L109", "L110"},
        {72, "L111", "L112"}, {73, "L113", "L114"}, {0, "", ""},          {64, "L95", "L96"},
        {65, "L97", "L98"},   {66, "L99", "L100"},  {67, "L101", "L102"},
    };
    ASSERT_EQ(GetMenuItemCount(submenu.m_hMenu), int(sizeof(rows) / sizeof(rows[0])));
    for (int i = 0, nItem = 0; i < GetMenuItemCount(submenu.m_hMenu); i++) {
        const UINT nState = GetMenuState(submenu.m_hMenu, UINT(i), MF_BYPOSITION);
        if (rows[i].nCommand == 0) {
            EXPECT_EQ(nState & MF_SEPARATOR, UINT(MF_SEPARATOR)) << i;
            continue;
        }
        EXPECT_EQ(GetMenuItemID(submenu.m_hMenu, i), rows[i].nCommand) << i;
        EXPECT_EQ(nState & MF_GRAYED, 0u) << i;
        const C3DMenu::CItemStr* p = submenu.GetItem(nItem++);
        ASSERT_TRUE(p != NULL) << i;
        EXPECT_EQ(p->nCommand, rows[i].nCommand) << i;
        EXPECT_STREQ(p->strTip, rows[i].pszTip) << i;
        EXPECT_TRUE(p->hIcon != NULL) << i;
        std::string strText;
        for (int r = 0; r < p->runs.GetSize(); r++)
            strText += p->runs[r].strText.GetString();
        EXPECT_EQ(strText, rows[i].pszText) << i;
    }
    EXPECT_EQ(icons.GetCount(), 11) << "the submenu's icon and one per command";
}

TEST_F(FieldMenusTest, SortItemOfAnEmptyFieldIsGrayed)
{
    CMenuIcons icons;
    C3DMenu parent, submenu;
    ASSERT_TRUE(parent.CreatePopup(NULL));
    BuildSortMenu(icons, &m_field, parent, submenu);
    ASSERT_EQ(parent.GetItemCount(), 1);
    const C3DMenu::CItemStr* p = parent.GetItem(0);
    EXPECT_EQ(p->nCommand, 64u);
    EXPECT_EQ(GetMenuState(parent.m_hMenu, 0, MF_BYPOSITION) & (MF_GRAYED | MF_POPUP), UINT(MF_GRAYED));
    EXPECT_STREQ(p->strTip, "L171");
    EXPECT_TRUE(p->hIcon != NULL);
    EXPECT_TRUE(submenu.m_hMenu == NULL) << "no submenu";
}

// Commands 64 to 73 reach arrange commands 1 to 10, whose undo titles are
// entries 436 to 445; the ids around them do nothing.
TEST_F(FieldMenusTest, SortCommandsReachTheArrangeCommands)
{
    fieldkit::Fill(m_field, 5);
    for (UINT nCommand = 63; nCommand <= 74; nCommand++) {
        g_undoTitles.clear();
        OnSortCommand(&m_field, nCommand);
        if (nCommand < 64 || nCommand > 73) {
            EXPECT_TRUE(g_undoTitles.empty()) << nCommand;
            continue;
        }
        ASSERT_EQ(g_undoTitles.size(), 1u) << nCommand;
        EXPECT_EQ(g_undoTitles[0], "L" + std::to_string(436 + nCommand - 64)) << nCommand;
    }
    EXPECT_EQ(m_field.GetSmilieCount(), 5);
}

TEST_F(FieldMenusTest, InsertRowsSubmenu)
{
    {
        CMenuIcons icons;
        C3DMenu parent, submenu;
        ASSERT_TRUE(parent.CreatePopup(NULL));
        BuildInsertRowsMenu(icons, &m_field, parent, submenu, FALSE);
        ASSERT_EQ(parent.GetItemCount(), 1);
        EXPECT_EQ(parent.GetItem(0)->nCommand, 1u) << "a field without smilies: one grayed item";
        EXPECT_EQ(GetMenuState(parent.m_hMenu, 0, MF_BYPOSITION) & (MF_GRAYED | MF_POPUP), UINT(MF_GRAYED));
        EXPECT_TRUE(submenu.m_hMenu == NULL);
    }
    fieldkit::Fill(m_field, 1);
    for (BOOL bGrayed : {FALSE, TRUE}) {
        CMenuIcons icons;
        C3DMenu parent, submenu;
        ASSERT_TRUE(parent.CreatePopup(NULL));
        BuildInsertRowsMenu(icons, &m_field, parent, submenu, bGrayed);
        ASSERT_EQ(GetSubMenu(parent.m_hMenu, 0), submenu.m_hMenu);
        EXPECT_TRUE(parent.GetItem(0)->hIcon != NULL);
        ASSERT_EQ(submenu.GetItemCount(), 5);
        for (int i = 0; i < 5; i++) {
            const C3DMenu::CItemStr* p = submenu.GetItem(i);
            EXPECT_EQ(p->nCommand, UINT(83 + i));
            EXPECT_EQ(p->runs.GetSize() > 0 ? std::string(p->runs[0].strText) : "", "L" + std::to_string(145 + i));
            EXPECT_STREQ(p->strTip, "L150");
            EXPECT_EQ(GetMenuState(submenu.m_hMenu, UINT(i), MF_BYPOSITION) & MF_GRAYED,
                      bGrayed ? UINT(MF_GRAYED) : 0u);
        }
    }
}

// Commands 83 to 87 insert 1, 2, 3, 5 and 10 rows at the point's row after
// their undo steps, titled by entries 473 to 477.
TEST_F(FieldMenusTest, InsertRowsCommandsMoveTheRowsDown)
{
    fieldkit::Fill(m_field, 1);
    CSmilie* pSmilie = m_field.GetAt(0, 0);
    ASSERT_TRUE(pSmilie != NULL);
    const int kRows[] = {1, 2, 3, 5, 10};
    int nRow = 0;
    for (int i = 0; i < 5; i++) {
        g_undoTitles.clear();
        const CRect rc = m_field.GetCellRect(0, nRow);
        const POINT pt = {rc.left + 2, rc.top + 2};
        EXPECT_TRUE(OnInsertRowsCommand(&m_field, UINT(83 + i), pt));
        nRow += kRows[i];
        EXPECT_EQ(m_field.GetAt(0, nRow), pSmilie) << 83 + i;
        ASSERT_EQ(g_undoTitles.size(), 1u);
        EXPECT_EQ(g_undoTitles[0], "L" + std::to_string(473 + i));
    }
    g_undoTitles.clear();
    EXPECT_FALSE(OnInsertRowsCommand(&m_field, 88, POINT{2, 2}));
    EXPECT_FALSE(OnInsertRowsCommand(&m_field, 82, POINT{2, 2}));
    EXPECT_TRUE(g_undoTitles.empty());
}

}  // namespace
