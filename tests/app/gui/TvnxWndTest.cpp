// The skinned frame: kept on the screen, moved by dragging its body with
// snapping to the work area's edges, its height changed in 34-pixel steps
// from the resize zone, and its body painted in the skin's colour.
#include "app/TvnxWnd.h"
#include "skins/Skin.h"
#include "skins/SkinScan.h"
#include "ui3d/drawing/PixelOps.h"

#include <gtest/gtest.h>

namespace {

class TvnxWndTest : public testing::Test
{
protected:
    void SetUp() override
    {
        pSavedSkin = g_pSkin;
        nSavedScheme = g_nSkinColorScheme;
        g_pSkin = &skin;
        skin.m_nBodyMinHeight = 116;
        skin.m_nBodyMaxHeight = 300;
        skin.m_sizeResizeZone.cx = 12;
        skin.m_sizeResizeZone.cy = 12;
        skin.m_clrsBody = COLORSET(RGB(1, 2, 3), RGB(4, 5, 6), RGB(40, 90, 160), RGB(7, 8, 9), 0, 0);
        g_nSkinColorScheme = 2;
        wnd.m_bDockToWindows = 0;
        const SIZE size = {275, 200};
        const POINT pt = {200, 150};
        ASSERT_TRUE(wnd.Create(size, pt, NULL, WS_POPUP | WS_VISIBLE, 0));
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    }
    void TearDown() override
    {
        wnd.DestroyWindow();
        g_pSkin = pSavedSkin;
        g_nSkinColorScheme = nSavedScheme;
    }
    RECT WindowRect()
    {
        RECT rc;
        wnd.GetWindowRect(&rc);
        return rc;
    }
    void Press(int x, int y) { wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Drag(int x, int y) { wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release() { wnd.SendMessage(WM_LBUTTONUP, 0, 0); }
    void MoveTo(int x, int y) { wnd.SetWindowPos(static_cast<HWND>(NULL), x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

    CSkin skin;
    CSkin* pSavedSkin = NULL;
    int nSavedScheme = 0;
    RECT rcWork = {};
    CTvnxWnd wnd;
};

TEST(KeepOnScreenTest, MovesInsideThePrimaryScreen)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    struct Case
    {
        const char* pszName;
        POINT pt;
        int w, h;
        POINT expected;
    } cases[] = {
        {"inside stays", {10, 20}, 100, 50, {10, 20}},
        {"left of the screen", {-30, 20}, 100, 50, {0, 20}},
        {"above the screen", {10, -5}, 100, 50, {10, 0}},
        {"past the right edge", {cx - 60, 20}, 100, 50, {cx - 100, 20}},
        {"past the bottom edge", {10, cy - 10}, 100, 50, {10, cy - 50}},
        {"right on the corner", {cx - 100, cy - 50}, 100, 50, {cx - 100, cy - 50}},
        {"larger than the screen: the far edges win", {-10, -10}, cx + 40, cy + 20, {-40, -20}},
    };
    for (const Case& c : cases) {
        POINT pt = c.pt;
        KeepOnScreen(pt, c.w, c.h);
        EXPECT_TRUE(pt.x == c.expected.x && pt.y == c.expected.y)
            << c.pszName << ": got (" << pt.x << ", " << pt.y << ")";
    }
}

TEST_F(TvnxWndTest, BodyDragSnapsToTheWorkAreaEdges)
{
    const int ww = rcWork.right - rcWork.left, wh = rcWork.bottom - rcWork.top;
    struct Case
    {
        const char* pszName;
        POINT target;    // where the drag alone would put the top-left corner
        POINT expected;
    } cases[] = {
        {"9 from the left edge", {9, 300}, {0, 300}},
        {"10 from the left edge", {10, 300}, {10, 300}},
        {"9 past the left edge", {-9, 300}, {0, 300}},
        {"5 from the top", {300, 5}, {300, 0}},
        {"near the right edge", {ww - 275 - 6, 300}, {ww - 275, 300}},
        {"near the bottom edge", {300, wh - 200 + 7}, {300, wh - 200}},
        {"corner", {3, wh - 200 - 2}, {0, wh - 200}},
        {"in the open", {150, 120}, {150, 120}},
    };
    for (const Case& c : cases) {
        MoveTo(200, 150);
        Press(50, 60);
        EXPECT_EQ(wnd.m_hWnd, GetCapture()) << c.pszName;
        Drag(50 + c.target.x - 200, 60 + c.target.y - 150);
        Release();
        const RECT rc = WindowRect();
        EXPECT_TRUE(rc.left == c.expected.x && rc.top == c.expected.y)
            << c.pszName << ": at (" << rc.left << ", " << rc.top << ")";
        EXPECT_EQ(275, rc.right - rc.left) << c.pszName;
        EXPECT_EQ(200, rc.bottom - rc.top) << c.pszName;
        EXPECT_EQ(0, wnd.m_OtherWindows.GetSize()) << c.pszName << ": docking to windows is off";
    }
}

TEST_F(TvnxWndTest, ResizeZoneChangesTheHeightInSteps)
{
    struct Case
    {
        const char* pszName;
        int dy;
        int expected;
    } cases[] = {
        {"33 down", 33, 200},
        {"34 down", 34, 234},
        {"67 down", 67, 234},
        {"40 up", -40, 166},
        {"beyond the maximum", 500, 300},
        {"beyond the minimum", -500, 116},
    };
    for (const Case& c : cases) {
        wnd.MoveWindow(200, 150, 275, 200, TRUE);
        ASSERT_EQ(200, wnd.m_nHeight) << c.pszName;
        Press(100, 195);
        ASSERT_EQ(1, wnd.m_bResizeDrag) << c.pszName;
        Drag(100, 195 + c.dy);
        Release();
        const RECT rc = WindowRect();
        EXPECT_EQ(c.expected, rc.bottom - rc.top) << c.pszName;
        EXPECT_EQ(c.expected, wnd.m_nHeight) << c.pszName;
        EXPECT_TRUE(rc.left == 200 && rc.top == 150 && rc.right - rc.left == 275) << c.pszName;
    }
}

TEST_F(TvnxWndTest, PressDecidesBetweenMoveAndResize)
{
    struct Case
    {
        const char* pszName;
        int x, y;
        int bResize, bVerticalOnly;
    } cases[] = {
        {"on the zone's top line", 100, 188, 0, 0},
        {"one pixel lower", 100, 189, 1, 1},
        {"in the zone's right corner", 270, 195, 1, 0},
        {"at the corner's edge", 263, 195, 1, 1},
    };
    for (const Case& c : cases) {
        wnd.m_bVerticalOnly = 0;
        Press(c.x, c.y);
        EXPECT_EQ(1, wnd.m_bMoveDrag) << c.pszName;
        EXPECT_EQ(c.bResize, wnd.m_bResizeDrag) << c.pszName;
        EXPECT_EQ(c.bVerticalOnly, wnd.m_bVerticalOnly) << c.pszName;
        Release();
        EXPECT_EQ(0, wnd.m_bMoveDrag) << c.pszName;
        EXPECT_NE(wnd.m_hWnd, GetCapture()) << c.pszName;
    }
    // A move without the left button ends a drag; one with the right button too does nothing.
    Press(100, 50);
    wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(160, 90));
    EXPECT_EQ(200, WindowRect().left);
    wnd.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(160, 90));
    EXPECT_EQ(0, wnd.m_bMoveDrag);
    EXPECT_EQ(200, WindowRect().left);
}

TEST_F(TvnxWndTest, SkinWithoutPicturesGivesAPlainBodyInTheSchemeColour)
{
    HRGN hRgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(wnd.m_hWnd, hRgn)) << "no region: a plain rectangle";
    DeleteObject(hRgn);

    BYTE* pBits = NULL;
    HBITMAP hTarget = CreateDIBSection32(60, 80, &pBits);
    ASSERT_NE((HBITMAP)NULL, hTarget);
    CDC dc;
    dc.Attach(CreateCompatibleDC(NULL));
    HGDIOBJ hOld = SelectObject(dc.m_hDC, hTarget);
    wnd.DrawBody(&dc, 60, 80);
    SelectObject(dc.m_hDC, hOld);
    DeleteDC(dc.Detach());
    GdiFlush();
    const DWORD* px = reinterpret_cast<const DWORD*>(pBits);
    for (int i = 0; i < 60 * 80; i++)
        ASSERT_EQ(0x285AA0u, px[i] & 0xFFFFFF) << "pixel " << i % 60 << ", " << i / 60;
    DeleteObject(hTarget);
}

}  // namespace
