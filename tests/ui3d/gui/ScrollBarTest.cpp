// The skinned scroll bar with real windows: creation, scroll values, the
// mouse state machine with hand-driven timer ticks, the context menu and the
// part cells of the cache.
#include "ui3d/controls/3DScrollBar.h"

#include "services/Messages.h"
#include "collection/ImageReader.h"
#include "framework/Menu.h"
#include "framework/ModalAnswerer.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"
#include <cstring>
#include <vector>

namespace {

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) { return 4711; }
MMRESULT WINAPI FakeKillEvent(UINT) { return TIMERR_NOERROR; }

POINT g_ptCursor = {0, 0};
BOOL WINAPI FakeCursorPos(LPPOINT p)
{
    *p = g_ptCursor;
    return TRUE;
}

// A top-level window that the bar notifies.
class ParentWindow
{
public:
    ParentWindow(int cx, int cy)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "ScrollBarTestParent";
        ::RegisterClassA(&wc);
        hWnd = ::CreateWindowExA(WS_EX_TOPMOST, "ScrollBarTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy, NULL,
                                 NULL, wc.hInstance, NULL);
        wnd.Attach(hWnd);
    }
    ~ParentWindow()
    {
        wnd.Detach();
        ::DestroyWindow(hWnd);
    }
    HWND hWnd;
    CWnd wnd;
};

struct Posted
{
    UINT message;
    int code;
    int pos;
};

class ScrollBarTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
        C3DScrollBar::s_pfnGetCursorPos = FakeCursorPos;
        m_nOldScheme = g_nSkinColorScheme;
        g_nSkinColorScheme = 0;
    }
    void TearDown() override
    {
        if (bar.m_hWnd != NULL)
            bar.DestroyWindow();
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
        C3DScrollBar::s_pfnGetCursorPos = ::GetCursorPos;
        g_nSkinColorScheme = m_nOldScheme;
    }
    // A vertical bar of 240 pixels with 20-pixel arrows: track 200.
    void MakeVertical(const SCROLLBARSTYLE* pStyle = NULL)
    {
        const int placement[3] = {10, 10, 240};
        ASSERT_TRUE(bar.Create(FALSE, pStyle, 16, &parent.wnd, 20, placement));
    }
    void SetInfo(int nMin, int nMax, int nPage, int nPos)
    {
        SCROLLINFO si = {sizeof(si), SIF_ALL, nMin, nMax, static_cast<UINT>(nPage), nPos, 0};
        ASSERT_TRUE(bar.SetScrollInfo(&si));
    }
    // The scroll messages posted to the parent so far, in order.
    std::vector<Posted> TakePosted()
    {
        std::vector<Posted> v;
        MSG msg;
        while (::PeekMessageA(&msg, parent.hWnd, WM_HSCROLL, WM_VSCROLL, PM_REMOVE))
            v.push_back({msg.message, LOWORD(msg.wParam), HIWORD(msg.wParam)});
        return v;
    }
    std::vector<int> TakeCodes()
    {
        std::vector<int> v;
        for (const Posted& p : TakePosted())
            v.push_back(p.code);
        return v;
    }
    LRESULT Send(UINT message, WPARAM wParam, int x, int y)
    {
        return ::SendMessageA(bar.m_hWnd, message, wParam, MAKELPARAM(x, y));
    }
    void Hover(int x, int y)
    {
        ::SendMessageA(bar.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        Send(WM_MOUSEMOVE, 0, x, y);
    }
    // Hands the bar a timer tick for every registration it holds.
    void Tick()
    {
        for (int i = bar.m_Animations.GetSize() - 1; i >= 0; i--)
            ::SendMessageA(bar.m_hWnd, WM_VTIMER, static_cast<WPARAM>(bar.m_Animations[i].nId), 0);
    }
    void CursorAtClient(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(bar.m_hWnd, &pt);
        g_ptCursor = pt;
    }

    ParentWindow parent{400, 300};
    C3DScrollBar bar;
    int m_nOldScheme = 0;
};

}  // namespace

TEST_F(ScrollBarTest, FreshBarHasOneUnitRangeAndOnlyTheSecondArrow)
{
    MakeVertical();
    SCROLLINFO si = {sizeof(si), SIF_ALL};
    bar.GetScrollInfo(&si);
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(1, si.nMax);
    EXPECT_EQ(1u, si.nPage);
    EXPECT_EQ(0, si.nPos);
    EXPECT_EQ(SBA_SECOND, bar.GetArrowBits());
    EXPECT_EQ(0, bar.GetLastPos());
}

TEST_F(ScrollBarTest, CreateChecksTheBarsOwnLength)
{
    // 2 x 20 + 6 does not fit 40 pixels, however tall the parent is.
    const int shortBar[3] = {0, 0, 40};
    EXPECT_FALSE(bar.Create(FALSE, NULL, 16, &parent.wnd, 20, shortBar));
    EXPECT_EQ(NULL, bar.m_hWnd);

    const int halves[3] = {0, 0, 100};
    ASSERT_TRUE(bar.Create(FALSE, NULL, 16, &parent.wnd, -1, halves));
    EXPECT_EQ(50, bar.GetGeometry().nArrowLength) << "arrows only: two halves";
    bar.EnableScrollBar(ESB_ENABLE_BOTH);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 8, 75);
    EXPECT_EQ(std::vector<int>{SB_LINEDOWN}, TakeCodes()) << "the lower half steps down";
}

TEST_F(ScrollBarTest, SetScrollInfoRefusalsAndThumbLimits)
{
    MakeVertical();
    const struct { int nMin, nMax, nPage, nPos; BOOL ok; const char* row; } rows[] = {
        {0, 100, 120, 0, FALSE, "page above the maximum"},
        {10, 10, 1, 10, FALSE, "empty range"},
        {0, 100, 10, 101, FALSE, "position past the maximum"},
        {5, 100, 10, 4, FALSE, "position below the minimum"},
        {5, 100, 4, 5, FALSE, "page below the minimum"},
        {0, 100, 100, 0, TRUE, "page the whole range"},
    };
    for (const auto& r : rows) {
        SCROLLINFO si = {sizeof(si), SIF_ALL, r.nMin, r.nMax, static_cast<UINT>(r.nPage), r.nPos, 0};
        SetInfo(0, 50, 5, 3);
        EXPECT_EQ(r.ok, bar.SetScrollInfo(&si)) << r.row;
        if (!r.ok) {
            EXPECT_EQ(50, bar.GetMax()) << r.row << ": a refusal changes nothing";
        }
    }
    EXPECT_EQ(200, bar.GetGeometry().nThumbLength) << "page 100 of 100: the whole track";

    SetInfo(50, 100, 100, 60);
    EXPECT_LE(bar.GetGeometry().nThumbLength, bar.GetGeometry().nTrackLength) << "thumb kept within the track";
    EXPECT_EQ(0, bar.GetThumbOffset());

    SetInfo(0, 100, 10, 100);
    EXPECT_EQ(180, bar.GetThumbOffset()) << "a position at the maximum pulls the thumb to the track's end";
    EXPECT_EQ(90, bar.GetPos());
    EXPECT_EQ(90, bar.GetLastPos());
}

TEST_F(ScrollBarTest, ArrowPressRepeatsOnTimerTicksUntilTheCursorLeaves)
{
    MakeVertical();
    SetInfo(0, 100, 10, 50);
    bar.EnableScrollBar(ESB_ENABLE_BOTH);
    TakePosted();
    CursorAtClient(8, 230);
    Hover(8, 230);
    EXPECT_EQ(SBST_SECONDHOT, bar.GetState());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 8, 230);
    EXPECT_EQ(SBST_SECONDPRESSED, bar.GetState());
    const std::vector<Posted> first = TakePosted();
    ASSERT_EQ(1u, first.size()) << "the first step at once";
    EXPECT_EQ(static_cast<UINT>(WM_VSCROLL), first[0].message);
    EXPECT_EQ(SB_LINEDOWN, first[0].code);
    ASSERT_EQ(1, bar.m_Animations.GetSize());
    EXPECT_EQ(40, g_pVTimer->m_Clients[0].nDivider) << "the first repeat waits 400 ms";

    Tick();
    EXPECT_TRUE(TakeCodes().empty()) << "the first tick only switches the pace";
    ASSERT_EQ(1, g_pVTimer->m_Clients.GetSize());
    EXPECT_EQ(2, g_pVTimer->m_Clients[0].nDivider) << "then every 20 ms";
    Tick();
    Tick();
    EXPECT_EQ((std::vector<int>{SB_LINEDOWN, SB_LINEDOWN}), TakeCodes());

    CursorAtClient(8, 100);
    Tick();
    EXPECT_TRUE(TakeCodes().empty());
    EXPECT_EQ(0, bar.m_Animations.GetSize()) << "off the arrow the repeat ends";
    CursorAtClient(8, 230);
    Tick();
    EXPECT_TRUE(TakeCodes().empty()) << "and does not resume on return";

    Send(WM_LBUTTONUP, 0, 8, 230);
    EXPECT_EQ(std::vector<int>{SB_ENDSCROLL}, TakeCodes());
    EXPECT_EQ(SBST_SECONDHOT, bar.GetState());
}

TEST_F(ScrollBarTest, ThumbDragPostsTrackAndPositionWithoutEndScroll)
{
    MakeVertical();
    SetInfo(0, 100, 10, 0);
    bar.EnableScrollBar(ESB_ENABLE_BOTH);
    TakePosted();
    Hover(8, 25);  // thumb [20, 40)
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 8, 25);
    EXPECT_EQ(SBST_THUMBDRAGGED, bar.GetState());
    EXPECT_TRUE(TakeCodes().empty());
    Send(WM_MOUSEMOVE, MK_LBUTTON, 8, 115);
    const std::vector<Posted> track = TakePosted();
    ASSERT_EQ(1u, track.size());
    EXPECT_EQ(SB_THUMBTRACK, track[0].code);
    EXPECT_EQ(45, track[0].pos) << "90 pixels of 180 over 90 units";
    Send(WM_LBUTTONUP, 0, 8, 115);
    const std::vector<Posted> done = TakePosted();
    ASSERT_EQ(1u, done.size());
    EXPECT_EQ(SB_THUMBPOSITION, done[0].code);
    EXPECT_EQ(0, done[0].pos) << "the thumb snaps back until the owner sets the position";
}

TEST_F(ScrollBarTest, PagingStopsWhenTheThumbReachesTheCursor)
{
    MakeVertical();
    SetInfo(0, 100, 10, 0);
    bar.EnableScrollBar(ESB_ENABLE_BOTH);
    TakePosted();
    Hover(8, 150);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 8, 150);
    EXPECT_EQ(std::vector<int>{SB_PAGEDOWN}, TakeCodes());
    EXPECT_EQ(1, bar.m_Animations.GetSize());
    SetInfo(0, 100, 10, 65);  // the owner scrolled: thumb [137, 157) under the cursor
    EXPECT_EQ(SBST_THUMBHOT, bar.GetState());
    EXPECT_EQ(0, bar.m_Animations.GetSize());
}

TEST_F(ScrollBarTest, BothArrowsDisabledClickIsSentToTheOwner)
{
    MakeVertical();
    bar.EnableScrollBar(ESB_DISABLE_BOTH);
    TakePosted();
    struct Catcher : CWnd {
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
        {
            if (m == WM_SCROLLBARCLICK) {
                wParam = w;
                lParam = l;
                return 0;
            }
            return CWnd::WindowProc(m, w, l);
        }
    } catcher;
    parent.wnd.Detach();
    catcher.SubclassWindow(parent.hWnd);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 100);
    catcher.UnsubclassWindow();
    parent.wnd.Attach(parent.hWnd);
    EXPECT_EQ(reinterpret_cast<WPARAM>(&bar), catcher.wParam);
    EXPECT_EQ(MAKELPARAM(5, 100), catcher.lParam);
    EXPECT_TRUE(TakeCodes().empty()) << "no scroll message";
}

namespace {

// Chooses a command of the bar's menu and writes down its items.
class MenuAnswerer : public CModalAnswerer
{
public:
    UINT nChoose = 0;
    int nItems = 0;
    std::vector<UINT> grayed;
    BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        nItems = ::GetMenuItemCount(pMenu->m_hMenu);
        for (int i = 0; i < nItems; i++) {
            const UINT nState = ::GetMenuState(pMenu->m_hMenu, i, MF_BYPOSITION);
            if ((nState & MF_GRAYED) && !(nState & MF_SEPARATOR))
                grayed.push_back(::GetMenuItemID(pMenu->m_hMenu, i));
        }
        *pnCommand = nChoose;
        return TRUE;
    }
};

}  // namespace

TEST_F(ScrollBarTest, ContextMenuPostsTheChosenCode)
{
    SCROLLBARSTYLE style;
    style.nOptions = SBS_ARROWS | (1 << SBS_CONTEXTSHIFT);
    MakeVertical(&style);
    SetInfo(0, 100, 10, 0);
    TakePosted();
    const struct { UINT nCommand; int code; } rows[] = {
        {3, SB_BOTTOM}, {5, SB_PAGEDOWN}, {7, SB_LINEDOWN}, {2, SB_TOP}, {6, SB_LINEUP}};
    for (const auto& r : rows) {
        MenuAnswerer answerer;
        answerer.nChoose = r.nCommand;
        CModalAnswerer* pOld = AfxSetModalAnswerer(&answerer);
        Send(WM_RBUTTONDOWN, MK_RBUTTON, 8, 100);
        AfxSetModalAnswerer(pOld);
        EXPECT_EQ(10, answerer.nItems) << "seven items and three separators";
        EXPECT_EQ((std::vector<UINT>{2, 4, 6}), answerer.grayed) << "the first arrow is disabled";
        EXPECT_EQ(std::vector<int>{r.code}, TakeCodes()) << "command " << r.nCommand;
    }
}

TEST_F(ScrollBarTest, PartCellsHoldEachLookOfTheTrack)
{
    SCROLLBARSTYLE style;
    style.nBorders = 0;
    style.nOptions = 0;
    const COLORREF looks[3] = {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)};
    for (int i = 0; i < 3; i++) {
        style.track.colors[i] = COLORSET(looks[i], 0, 0, 0, 0, 0);
        style.thumb.colors[i] = COLORSET(looks[2 - i], 0, 0, 0, 0, 0);
    }
    MakeVertical(&style);
    SetInfo(0, 100, 10, 0);
    bar.RedrawParts(SBP_ALL, 0);  // SetScrollInfo leaves the repaint to its caller
    HDC hDC = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, bar.GetBackBuffer()->GetSafeHandle());
    for (int i = 0; i < 3; i++) {
        // Track cells start at twice the arrow length in cells 1 to 3.
        EXPECT_EQ(looks[i], ::GetPixel(hDC, (1 + i) * 16 + 8, 40 + 100)) << "track look " << i;
        EXPECT_EQ(looks[2 - i], ::GetPixel(hDC, (4 + i) * 16 + 8, 10)) << "thumb look " << i;
    }
    EXPECT_EQ(looks[0], ::GetPixel(hDC, 8, 150)) << "cell 0 shows the normal track";
    EXPECT_EQ(looks[2], ::GetPixel(hDC, 8, 30)) << "cell 0 shows the normal thumb";
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
}

namespace {

// A 24-bit bottom-up BMP file of cx x cy grey pixels, grey(x, y) per pixel
// (y counted from the top).
template <class F>
std::vector<BYTE> GreyBmp(int cx, int cy, F grey)
{
    const int nStride = (cx * 3 + 3) & ~3;
    const DWORD nBits = DWORD(nStride * cy);
    std::vector<BYTE> file(54 + nBits, 0);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfSize = DWORD(file.size());
    fh.bfOffBits = 54;
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = cx;
    ih.biHeight = cy;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = nBits;
    memcpy(file.data(), &fh, 14);
    memcpy(file.data() + 14, &ih, 40);
    for (int y = 0; y < cy; y++) {
        BYTE* pRow = file.data() + 54 + size_t(cy - 1 - y) * nStride;
        for (int x = 0; x < cx; x++)
            pRow[3 * x] = pRow[3 * x + 1] = pRow[3 * x + 2] = grey(x, y);
    }
    return file;
}

}  // namespace

namespace {

// A bar without borders whose thumb, in all three looks, is the picture
// stretched and darkened over white: the cell shows the picture as drawn.
SCROLLBARSTYLE ThumbOfPicture(CImageReader* pPicture)
{
    SCROLLBARSTYLE style;
    style.nBorders = 0;
    style.nOptions = 0;
    for (int i = 0; i < 3; i++) {
        style.thumb.colors[i] = COLORSET(RGB(255, 255, 255), 0, 0, 0, 0, 0);
        style.thumb.layers[i] = IMAGELAYER(BLEND_DARKEN, pPicture, IMAGEALIGN_STRETCH);
    }
    return style;
}

}  // namespace

// A thumb picture taller than the thumb is shrunk to the cell; every pixel of
// the cell, its corners above all, comes from some pixel of the picture, so it
// stays within the picture's own greys whatever rows the shrink keeps.
TEST_F(ScrollBarTest, StretchedThumbPictureKeepsItsGreysToTheCorners)
{
    const BYTE kLight = 0x80, kDark = 0x60;   // rows alternate; no bit in common
    const std::vector<BYTE> bmp = GreyBmp(16, 40, [&](int, int y) { return y % 2 ? kDark : kLight; });
    CImageReader picture;
    ASSERT_TRUE(CImageReader::LoadFromMemory(bmp.data(), picture, uint32_t(bmp.size()), FALSE));
    SCROLLBARSTYLE style = ThumbOfPicture(&picture);
    for (int nHorizontal = 0; nHorizontal < 2; nHorizontal++) {
        C3DScrollBar thumbBar;
        const int placement[3] = {10, 10, 240};
        ASSERT_TRUE(thumbBar.Create(nHorizontal, &style, 16, &parent.wnd, 20, placement));
        // Track 200: a 20-pixel thumb, half the picture's height.
        SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 100, 10, 0, 0};
        ASSERT_TRUE(thumbBar.SetScrollInfo(&si));
        HDC hDC = ::CreateCompatibleDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hDC, thumbBar.GetBackBuffer()->GetSafeHandle());
        for (int nLook = 0; nLook < 3; nLook++) {
            // Thumb cells: cell 4 + look across the bar, 20 pixels along from 0.
            const int nAcross = (4 + nLook) * 16;
            bool bFound = false;   // the first pixel outside the picture's greys
            int xBad = 0, yBad = 0;
            COLORREF clrBad = 0;
            for (int along = 0; along < 20 && !bFound; along++) {
                for (int across = nAcross; across < nAcross + 16 && !bFound; across++) {
                    const int x = nHorizontal ? along : across;
                    const int y = nHorizontal ? across : along;
                    const COLORREF clr = ::GetPixel(hDC, x, y);
                    const bool bInRange = GetRValue(clr) >= kDark && GetRValue(clr) <= kLight &&
                                          GetGValue(clr) == GetRValue(clr) && GetBValue(clr) == GetRValue(clr);
                    if (!bInRange) {
                        bFound = true;
                        xBad = x;
                        yBad = y;
                        clrBad = clr;
                    }
                }
            }
            EXPECT_FALSE(bFound) << (nHorizontal ? "horizontal" : "vertical") << " look " << nLook << " at (" << xBad
                                 << ", " << yBad << "): " << std::hex << clrBad;
        }
        ::SelectObject(hDC, hOld);
        ::DeleteDC(hDC);
        thumbBar.DestroyWindow();
    }
}

// A part's picture is drawn for a vertical bar: lit on its left. On a
// horizontal bar it is turned, lit on the top, so its shading and grip lie
// across the bar there too.
TEST_F(ScrollBarTest, HorizontalBarShowsThePartPicturesTurned)
{
    const BYTE kLight = 0x80, kDark = 0x60;
    const std::vector<BYTE> bmp = GreyBmp(16, 40, [&](int x, int) { return x < 8 ? kLight : kDark; });
    CImageReader picture;
    ASSERT_TRUE(CImageReader::LoadFromMemory(bmp.data(), picture, uint32_t(bmp.size()), FALSE));
    SCROLLBARSTYLE style = ThumbOfPicture(&picture);
    for (int nHorizontal = 0; nHorizontal < 2; nHorizontal++) {
        C3DScrollBar bar;
        const int placement[3] = {10, 10, 240};
        ASSERT_TRUE(bar.Create(nHorizontal, &style, 16, &parent.wnd, 20, placement));
        SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 100, 10, 0, 0};
        ASSERT_TRUE(bar.SetScrollInfo(&si));
        HDC hDC = ::CreateCompatibleDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hDC, bar.GetBackBuffer()->GetSafeHandle());
        // The normal thumb: cell 4 across the bar, 20 pixels along from 0.
        auto at = [&](int along, int across) {
            const int x = nHorizontal ? along : 4 * 16 + across;
            const int y = nHorizontal ? 4 * 16 + across : along;
            return GetRValue(::GetPixel(hDC, x, y));
        };
        const char* pszBar = nHorizontal ? "horizontal" : "vertical";
        for (int along : {3, 16}) {
            EXPECT_EQ(kLight, at(along, 2)) << pszBar << " along " << along;
            EXPECT_EQ(kDark, at(along, 13)) << pszBar << " along " << along;
        }
        ::SelectObject(hDC, hOld);
        ::DeleteDC(hDC);
        bar.DestroyWindow();
    }
}
