// The tab strip with real windows: the tab list operations and the
// WM_TABSELCHANGED they send, hit testing, stepping, the tab masks, the drop
// target and drop source called directly, and the drag-image window.
#include "ui3d/controls/TabSelector.h"

#include "services/Messages.h"
#include "framework/OleDataSource.h"
#include "ui3d/controls/DragImageWnd.h"
#include "ui3d/menus/3DMenu.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"
#include <string>
#include <vector>

namespace {

std::vector<std::pair<int, int>> g_changes;

LRESULT CALLBACK ParentProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TABSELCHANGED) {
        g_changes.push_back({static_cast<int>(wParam), static_cast<int>(lParam)});
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

class TabSelectorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ::OleInitialize(NULL);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "TabSelectorTestParent";
        ::RegisterClassA(&wc);
        hParent = ::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, NULL,
                                    NULL, wc.hInstance, NULL);
        parent.Attach(hParent);
        g_changes.clear();
        oldScheme = g_nSkinColorScheme;
        g_nSkinColorScheme = 0;
    }
    void TearDown() override
    {
        if (strip.m_hWnd != NULL)
            strip.DestroyWindow();
        parent.Detach();
        ::DestroyWindow(hParent);
        PumpPending();
        g_nSkinColorScheme = oldScheme;
        ::OleUninitialize();
    }
    // A strip 300 wide, 30 high, without scroll buttons; shaped tabs 60 wide.
    void CreateStrip(int nSlant = 4)
    {
        for (int s = 0; s < 3; s++) {
            strip.m_Look.looks[s].nTextLeft = 60;
            strip.m_Look.looks[s].nBorderlessHeight = 30;
            strip.m_Look.looks[s].nBorderlessSlant = nSlant;
        }
        strip.m_Look.nFlags = 0;
        const RECT rc = {0, 0, 300, 30};
        ASSERT_TRUE(strip.CreateControl(rc, &parent, WS_CHILD | WS_VISIBLE));
    }
    std::string Order()
    {
        std::string s;
        for (int i = 0; i < strip.GetTabCount(); i++)
            s += std::to_string(strip.GetTabAt(i).nId) + (strip.GetTabAt(i).nState == TABST_SELECTED ? "*" : "") + " ";
        return s;
    }
    void Fill(int n)
    {
        for (int i = 0; i < n; i++)
            strip.InsertTab(0, "", RGB(40 * i, 100, 100), 0);
        strip.MeasureTabs();
    }

    HWND hParent = NULL;
    CWnd parent;
    CTabSelector strip;
    int oldScheme = 0;
};

}  // namespace

TEST_F(TabSelectorTest, InsertRemoveAndFreeIds)
{
    CreateStrip();
    EXPECT_EQ(1, strip.InsertTab(0, "a", 0, 1));
    EXPECT_EQ("1* ", Order()) << "the first tab is selected";
    EXPECT_TRUE(g_changes.empty()) << "without a message";
    EXPECT_EQ(2, strip.InsertTab(1, "b", 0, 1));
    EXPECT_EQ(3, strip.InsertTab(1, "c", 0, 1));
    EXPECT_EQ("1* 3 2 ", Order()) << "inserted after the given id";
    EXPECT_EQ(1, strip.RemoveTab(3, 1));
    EXPECT_EQ(3, strip.GetFreeTabId()) << "from count + 1";
    EXPECT_EQ(1, strip.RemoveTab(2, 1));
    EXPECT_EQ(2, strip.InsertTab(0, "d", 0, 1));
    strip.RemoveTab(1, 0);  // ids 2 only
    strip.InsertTab(0, "e", 0, 0);
    strip.InsertTab(0, "f", 0, 0);
    EXPECT_EQ("2* 3 4 ", Order()) << "with ids 2 and 3 the search starts at 3 and finds 4";

    g_changes.clear();
    EXPECT_EQ(1, strip.RemoveTab(2, 1));
    EXPECT_EQ("3* 4 ", Order()) << "the removed first tab passes the selection right";
    ASSERT_EQ(1u, g_changes.size());
    EXPECT_EQ(std::make_pair(3, 2), g_changes[0]);
    EXPECT_EQ(0, strip.RemoveTab(9, 1)) << "absent id";
    EXPECT_EQ(1, strip.RemoveTab(4, 1));
    EXPECT_EQ(0, strip.RemoveTab(3, 1)) << "the last tab stays";
}

TEST_F(TabSelectorTest, MoveSwapAndSelect)
{
    CreateStrip();
    Fill(4);  // 1 2 3 4
    const struct { const char* op; int a, b, result; const char* order; } rows[] = {
        {"move", 1, 2, 0, "1* 2 3 4 "},  // onto its right neighbour
        {"move", 1, 1, 0, "1* 2 3 4 "},
        {"move", 1, 3, 1, "2 1* 3 4 "},
        {"move", 2, 0, 1, "1* 3 4 2 "},  // to the end
        {"move", 9, 1, 0, "1* 3 4 2 "},
        {"swap", 1, 2, 1, "2 3 4 1* "},
        {"swap", 1, 9, 0, "2 3 4 1* "},
    };
    for (const auto& r : rows) {
        const int n = std::string(r.op) == "move" ? strip.MoveTab(r.a, r.b) : strip.SwapTabs(r.a, r.b);
        EXPECT_EQ(r.result, n) << r.op << " " << r.a << "," << r.b;
        EXPECT_EQ(r.order, Order()) << r.op << " " << r.a << "," << r.b;
    }
    g_changes.clear();
    strip.SelectTab(3);
    strip.SelectTab(3);
    strip.SelectTab(9);
    ASSERT_EQ(1u, g_changes.size()) << "only a change is told";
    EXPECT_EQ(std::make_pair(3, 1), g_changes[0]);
    EXPECT_EQ(3, strip.GetSelectedId());
    EXPECT_EQ(1, strip.GetSelectedIndex());
    EXPECT_EQ(4, strip.GetNextTabId(3));
    EXPECT_EQ(0, strip.GetNextTabId(1));
    CString name;
    DWORD_PTR data = 0;
    EXPECT_EQ(0, strip.GetTab(9, &name, &data));
}

// A selected tab is always brought into view, also one that lies wholly
// beyond the strip's edge (the last of many, chosen at start-up), and back
// again at the other end.
TEST_F(TabSelectorTest, ASelectedTabIsScrolledIntoViewFromAnywhere)
{
    CreateStrip();
    // Ten tabs of 60 or more in a strip of 300, added as a collection loads
    // them: not laid out yet.
    for (int i = 0; i < 10; i++)
        strip.InsertTab(0, "", RGB(40 * i, 100, 100), 0);
    const struct
    {
        const char* name;
        int nId;
    } rows[] = {{"the last, wholly hidden", 10}, {"the first, wholly hidden", 1}, {"a middle one", 6}};
    for (const auto& r : rows) {
        strip.SelectTab(r.nId);
        PumpPending();
        RECT rc;
        strip.GetTabRect(&rc, r.nId);
        EXPECT_EQ(r.nId, strip.GetSelectedId()) << r.name;
        EXPECT_GE(rc.left, 0) << r.name;
        EXPECT_LE(rc.right, 300) << r.name;
    }
}

TEST_F(TabSelectorTest, TabFromPointAndStepping)
{
    strip.m_Look.nOverlap = 4;
    CreateStrip();
    Fill(3);  // overlapping by 4 pixels
    const int w = strip.GetTabAt(0).nWidth;
    ASSERT_GE(w, 60);
    const int step = w - 4;
    const struct { int x, index; } rows[] = {
        {-1, -1}, {0, 0}, {step, 0}, {w - 1, 0}, {w, 1}, {2 * step + w - 1, 2}, {2 * step + w, -1}, {301, -1}};
    for (const auto& r : rows)
        EXPECT_EQ(r.index, strip.TabFromPoint(r.x, NULL)) << "x " << r.x;
    strip.SelectTab(2);
    EXPECT_EQ(1, strip.TabFromPoint(step + 1, NULL)) << "a selected right neighbour is drawn over the overlap";
    strip.SelectTab(1);
    EXPECT_EQ(0, strip.TabFromPoint(w - 2, NULL)) << "back to the left tab once it is selected";

    g_changes.clear();
    strip.StepSelection(1);
    strip.StepSelection(1);
    strip.StepSelection(1);
    strip.StepSelection(-1);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{2, 1}, {3, 2}, {2, 3}}), g_changes);
    ::SendMessageA(strip.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(1, strip.GetSelectedId()) << "the wheel rolled toward the user selects the tab to the left";
}

TEST_F(TabSelectorTest, ShapedTabMaskCutsTheUpperCorners)
{
    CreateStrip(6);
    Fill(1);
    HDC hDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, strip.GetBackBuffer()->GetSafeHandle());
    const int H = 30;
    const int w = strip.GetTabAt(0).nWidth;
    for (int s = 0; s < 3; s++) {
        const int yMask = 2 * H + 3 * H + s * H;  // after the three images of the one tab
        const struct { int x, y; COLORREF expected; const char* where; } rows[] = {
            {0, H - 1, 0xFFFFFF, "left of the outline"},
            {w / 2, H - 1, 0, "inside, bottom"},
            {w / 2, 3, 0, "inside, top"},
            {1, 0, 0xFFFFFF, "cut top-left corner"},
            {w - 2, 0, 0xFFFFFF, "cut top-right corner"},
            {w + 2, 10, 0xFFFFFF, "right of the tab"},
        };
        for (const auto& r : rows)
            EXPECT_EQ(r.expected, ::GetPixel(hDC, r.x, yMask + r.y)) << "state " << s << ": " << r.where;
        const int yImage = 2 * H + s * H;
        EXPECT_EQ(0u, ::GetPixel(hDC, 1, yImage)) << "state " << s << ": the image is black where the mask is clear";
    }
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
}

namespace {

// A data object offering the tab format with the given block.
void Offer(COleDataSource& source, const void* pData, SIZE_T cb)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, cb);
    memcpy(::GlobalLock(h), pData, cb);
    ::GlobalUnlock(h);
    source.CacheGlobalData(GetTabDragFormat(), h);
}

}  // namespace

TEST_F(TabSelectorTest, DropMovesOnlyThisStripsOwnTab)
{
    CreateStrip();
    Fill(3);
    CTabSelector other;
    const int w = strip.GetTabAt(0).nWidth;
    const CPoint pastLast(3 * w + 10, 5);

    const TABDRAGDATA own = {1, ::GetCurrentProcessId(), strip.GetDragStamp()};
    const TABDRAGDATA otherStrip = {1, ::GetCurrentProcessId(), other.GetDragStamp()};
    const TABDRAGDATA otherProcess = {1, ::GetCurrentProcessId() + 1, strip.GetDragStamp()};
    const DWORD bareId = 1;
    const struct { const void* p; SIZE_T cb; DROPEFFECT effect; const char* order; const char* row; } rows[] = {
        {&otherStrip, sizeof(otherStrip), DROPEFFECT_NONE, "1* 2 3 ", "a tab of another strip"},
        {&otherProcess, sizeof(otherProcess), DROPEFFECT_NONE, "1* 2 3 ", "a tab of another running copy"},
        {&bareId, sizeof(bareId), DROPEFFECT_NONE, "1* 2 3 ", "a block too short for the record"},
        {&own, sizeof(own), DROPEFFECT_MOVE, "2 3 1* ", "our own drag, dropped past the last tab"},
    };
    for (const auto& r : rows) {
        COleDataSource source;
        Offer(source, r.p, r.cb);
        COleDataObject data;
        data.Attach(source.GetInterface(), FALSE);
        EXPECT_EQ(DROPEFFECT_MOVE, strip.m_DropTarget.OnDragEnter(&strip, &data, 0, pastLast)) << r.row;
        EXPECT_EQ(r.effect, strip.m_DropTarget.OnDropEx(&strip, &data, DROPEFFECT_MOVE, DROPEFFECT_MOVE, pastLast))
            << r.row;
        EXPECT_EQ(r.order, Order()) << r.row;
    }

    COleDataSource plain;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, 4);
    plain.CacheGlobalData(CF_TEXT, h);
    COleDataObject data;
    data.Attach(plain.GetInterface(), FALSE);
    g_changes.clear();
    EXPECT_EQ(DROPEFFECT_NONE, strip.m_DropTarget.OnDragOver(&strip, &data, 0, CPoint(w / 2, 5)))
        << "other data is refused";
    EXPECT_EQ(2, strip.GetSelectedId()) << "but the tab under it opens";
    EXPECT_EQ(1u, g_changes.size());
}

TEST_F(TabSelectorTest, DragImageIsCreatedMovedAndDeletedOnce)
{
    CreateStrip();
    Fill(2);
    const int nLiveBefore = CDragImageWnd::s_nLiveCount;
    {
        CTabDropSource source(&strip, 2, 5, 6);
        source.OnBeginDrag(&strip);  // the wait ends at once: no button is down
        ASSERT_NE(nullptr, g_pDragImageWnd) << "the tab's image is shown";
        CDragImageWnd* pFirst = g_pDragImageWnd;
        RECT rcTab;
        strip.GetTabRect(&rcTab, 2);
        RECT rc;
        ::GetWindowRect(pFirst->m_hWnd, &rc);
        EXPECT_EQ(rcTab.right - rcTab.left, rc.right - rc.left);

        MoveDragImage(DROPEFFECT_MOVE, 200, 150);
        ::GetWindowRect(pFirst->m_hWnd, &rc);
        EXPECT_EQ(195, rc.left) << "the hot spot stays under the cursor";
        EXPECT_EQ(144, rc.top);
        MoveDragImage(DROPEFFECT_SCROLL, 10, 10);
        ::GetWindowRect(pFirst->m_hWnd, &rc);
        EXPECT_EQ(195, rc.left) << "scroll feedback leaves it alone";

        const RECT rcSecond = {0, 0, 20, 20};
        ShowDragImage(rcSecond, NULL, NULL, NULL, 0, NULL, 0, 0, 0);
        EXPECT_NE(pFirst, g_pDragImageWnd);
        PumpUntil([&] { return CDragImageWnd::s_nLiveCount == nLiveBefore + 1; }, 2000);
        EXPECT_EQ(nLiveBefore + 1, CDragImageWnd::s_nLiveCount) << "a second image retires the first";
    }
    EXPECT_EQ(nullptr, g_pDragImageWnd) << "the drop source's end closes the image";
    PumpUntil([&] { return CDragImageWnd::s_nLiveCount == nLiveBefore; }, 2000);
    EXPECT_EQ(nLiveBefore, CDragImageWnd::s_nLiveCount);
}
