// The skinned tooltip's own tool list: ids, refused overlaps, texts fitted to
// one-line tips and the display time by text length.
#include "framework/Framework.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

class ToolTip3D : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = g_ShellDllVersions;
        ASSERT_TRUE(m_owner.CreateEx(0, AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW)), "owner",
                                     WS_POPUP | WS_VISIBLE, 10, 10, 400, 300, NULL, NULL));
    }
    void TearDown() override
    {
        g_ShellDllVersions = m_saved;
        m_owner.DestroyWindow();
    }
    SHELLDLLVERSIONS m_saved;
    CWnd m_owner;
};

RECT Cell(int i)
{
    const RECT rc = {(i % 20) * 10, (i / 20) * 10, (i % 20) * 10 + 10, (i / 20) * 10 + 10};
    return rc;
}

TEST_F(ToolTip3D, FortyToolsGetDistinctIdsAndDeletedIdsAreNotReused)
{
    C3DToolTip tip;
    ASSERT_TRUE(tip.Create(&m_owner, TTS_ALWAYSTIP));
    std::set<UINT> ids;
    for (int i = 0; i < 40; ++i) {
        const RECT rc = Cell(i);
        const UINT id = tip.AddTool("tip", 0, &rc, "", 0, 0);
        ASSERT_NE(0u, id) << "tool " << i;
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " given twice";
    }
    EXPECT_EQ(40, tip.GetToolCount());
    EXPECT_EQ(40, static_cast<int>(tip.SendMessage(TTM_GETTOOLCOUNT)));
    EXPECT_EQ(1, tip.DelTool(2));
    EXPECT_EQ(0, tip.DelTool(2)) << "already gone";
    const RECT rcFree = Cell(1);  // the area of the tool with id 2
    const UINT nNew = tip.AddTool("again", 0, &rcFree, "", 0, 0);
    EXPECT_EQ(0u, ids.count(nNew)) << "a new id is larger than every id in use";
    EXPECT_GT(nNew, *ids.rbegin());
}

TEST_F(ToolTip3D, OverlappingAreasAreRefused)
{
    struct Row
    {
        const char* name;
        RECT area;
        bool accepted;
    };
    const Row rows[] = {
        {"touching along an edge", {10, 0, 20, 10}, true},
        {"overlapping by one pixel", {9, 0, 19, 10}, false},
        {"inside", {2, 2, 5, 5}, false},
        {"elsewhere", {100, 100, 120, 120}, true},
    };
    for (const Row& row : rows) {
        C3DToolTip tip;
        ASSERT_TRUE(tip.Create(&m_owner, TTS_ALWAYSTIP));
        const RECT rcFirst = {0, 0, 10, 10};
        ASSERT_EQ(1u, tip.AddTool("first", 0, &rcFirst, "", 0, 0));
        const UINT id = tip.AddTool("second", 0, &row.area, "", 0, 0);
        EXPECT_EQ(row.accepted, id != 0) << row.name;
        EXPECT_EQ(row.accepted ? 2 : 1, tip.GetToolCount()) << row.name;
    }
}

TEST_F(ToolTip3D, TextsAndDisplayTimesFollowTheTipAbilities)
{
    struct Row
    {
        const char* name;
        int bMultiline;
        std::string text;
        int nShowTime;
        std::string stored;
    };
    const std::string s600(600, 'w'), s100(100, 'x');
    const Row rows[] = {
        {"six characters: the minimum", 1, "sixsix", 1000, "sixsix"},
        {"600 characters: the maximum", 1, s600, 30000, s600},
        {"cut to 80 on one-line tips", 0, s100, 8333, s100.substr(0, 80)},
        {"line break joined", 0, "first\r\nsecond", 1083, "first; second"},
        {"line break kept", 1, "first\r\nsecond", 1083, "first\r\nsecond"},
    };
    for (const Row& row : rows) {
        g_ShellDllVersions.MultilineTips = row.bMultiline;
        C3DToolTip tip;
        ASSERT_TRUE(tip.Create(&m_owner, TTS_ALWAYSTIP));
        const RECT rc = {0, 0, 50, 50};
        const UINT id = tip.AddTool(row.text.c_str(), 0, &rc, "", 0, 0);
        ASSERT_NE(0u, id) << row.name;
        const C3DToolTip::CTool* pTool = tip.FindTool(id);
        ASSERT_NE(nullptr, pTool);
        EXPECT_EQ(row.nShowTime, pTool->nShowTime) << row.name;
        EXPECT_EQ(row.stored, pTool->pszText) << row.name;
    }
}

TEST_F(ToolTip3D, ControlToolAreaIsKeptInOwnerCoordinatesAndTextComesByCallback)
{
    g_ShellDllVersions.MultilineTips = 1;
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 50, 60, 40, 30, m_owner.m_hWnd,
                               reinterpret_cast<HMENU>(5)));
    C3DToolTip tip;
    ASSERT_TRUE(tip.Create(&m_owner, TTS_ALWAYSTIP));
    const RECT rc = {0, 0, 10, 10};
    const UINT id = tip.AddTool("child tip", 5, &rc, "", 0, 0);
    ASSERT_NE(0u, id);
    const RECT& area = tip.FindTool(id)->rcArea;
    EXPECT_EQ(50, area.left);
    EXPECT_EQ(60, area.top);
    EXPECT_EQ(60, area.right);
    EXPECT_EQ(70, area.bottom);
    EXPECT_EQ(0u, tip.AddTool("missing", 77, &rc, "", 0, 0)) << "no child with that id";

    // The style's maximum width makes the control ask for the text; the
    // notification reaches the tooltip's object by reflection.
    const UINT idOwner = tip.AddWindowTool("whole owner", &m_owner);
    EXPECT_EQ(0u, idOwner) << "the whole owner overlaps the child's tool";
    const RECT rcOwn = {200, 200, 220, 220};
    const UINT idOwn = tip.AddTool("child tip", 0, &rcOwn, "", 0, 0);
    ASSERT_NE(0u, idOwn);
    char szText[80] = "";
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = m_owner.m_hWnd;
    ti.uId = idOwn;
    ti.lpszText = szText;
    tip.SendMessage(TTM_GETTEXTA, sizeof(szText), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ("child tip", szText);
}

TEST_F(ToolTip3D, ShowAtNeedsAWindow)
{
    C3DToolTip tip;
    EXPECT_EQ(0, tip.ShowAt(NULL, "x", "", 5, 5));
    EXPECT_EQ(1, tip.ShowAt(&m_owner, "shown at once", "", 20, 20));
    EXPECT_TRUE(IsWindow(tip.m_hWnd));
    EXPECT_EQ(1, tip.GetToolCount());
}

} // namespace
