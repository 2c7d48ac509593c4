// The smilie preview popup: its layout as a function of what it shows and
// where, and on real windows (with the program's timer made first, ticked by
// hand): closing when the cursor moves on, a click handed to the window
// beneath in that window's coordinates, a censored picture named by the
// language and never animated, and the factory that gives nothing for nothing.
#include "ui3d/controls/SmiliePreview.h"

#include "collection/ImgCache.h"
#include "services/Messages.h"
#include "tests/collection/PictureSamples.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) { return 4715; }
MMRESULT WINAPI FakeKillEvent(UINT) { return TIMERR_NOERROR; }

std::string Rect(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " " + std::to_string(rc.right - rc.left) + "x" +
           std::to_string(rc.bottom - rc.top);
}

PREVIEWLAYOUTIN Picture(int cx, int cy, int x, int y)
{
    PREVIEWLAYOUTIN in;
    in.bPicture = TRUE;
    in.sizePicture = {cx, cy};
    in.rcWork = {0, 0, 1024, 768};
    in.ptAnchor = {x, y};
    return in;
}

TEST(SmiliePreviewLayout, FrameWindowAndPlace)
{
    struct Row {
        const char* name;
        PREVIEWLAYOUTIN in;
        const char* frame;
        const char* picture;
        const char* text;
        const char* window;
    };
    PREVIEWLAYOUTIN named = Picture(16, 16, 300, 400);
    named.nNameHeight = 60;
    PREVIEWLAYOUTIN texted = Picture(16, 16, 300, 400);
    texted.bText = TRUE;
    texted.sizeText = {40, 14};
    PREVIEWLAYOUTIN wide = Picture(16, 16, 300, 400);
    wide.bText = TRUE;
    wide.sizeText = {100, 14};
    PREVIEWLAYOUTIN wideAtEdge = wide;
    wideAtEdge.ptAnchor = {940, 400};
    PREVIEWLAYOUTIN hint;
    hint.bText = TRUE;
    hint.bSingleLine = TRUE;
    hint.sizeText = {120, 14};
    hint.rcWork = {0, 0, 1024, 768};
    hint.ptAnchor = {300, 400};
    PREVIEWLAYOUTIN phrase = hint;
    phrase.bSingleLine = FALSE;
    phrase.sizeText = {20, 500};
    const Row rows[] = {
        // A small picture sits centred in the least frame; the window ends just above the anchor.
        {"16 x 16", Picture(16, 16, 300, 400), "11,11 70x68", "38,37 16x16", "0,0 0x0", "300,310 92x90"},
        {"large picture", Picture(100, 80, 300, 400), "11,11 100x80", "11,11 100x80", "0,0 0x0", "300,298 122x102"},
        // Too close to the top: below the anchor; too close to the right: to its left.
        {"near the top", Picture(16, 16, 300, 50), "11,11 70x68", "38,37 16x16", "0,0 0x0", "300,50 92x90"},
        {"near the right", Picture(16, 16, 1000, 400), "11,11 70x68", "38,37 16x16", "0,0 0x0", "908,310 92x90"},
        {"name line lengthens the frame", named, "11,11 70x107", "38,37 16x16", "0,0 0x0", "300,271 92x129"},
        {"narrow text takes the frame's width", texted, "11,11 70x68", "38,37 16x16", "11,89 70x14",
         "300,289 92x111"},
        {"wide text", wide, "11,11 70x68", "38,37 16x16", "11,89 112x14", "300,289 134x111"},
        {"wide text at the right edge", wideAtEdge, "53,11 70x68", "80,37 16x16", "11,89 112x14",
         "806,289 134x111"},
        {"hint on one line", hint, "0,0 0x0", "0,0 0x0", "11,8 136x14", "300,370 158x30"},
        {"phrase clamped", phrase, "0,0 0x0", "0,0 0x0", "11,11 60x150", "300,228 82x172"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PREVIEWLAYOUT out;
        LayoutSmiliePreview(row.in, &out);
        EXPECT_EQ(row.frame, Rect(out.rcFrame));
        EXPECT_EQ(row.picture, Rect(out.rcPicture));
        EXPECT_EQ(row.text, Rect(out.rcText));
        EXPECT_EQ(row.window, Rect(out.rcWindow));
    }
}

// A text wider than the frame shapes the window: the frame's band and the text's band.
TEST(SmiliePreviewLayout, WideTextShapesTheWindow)
{
    PREVIEWLAYOUTIN in = Picture(16, 16, 300, 400);
    in.bText = TRUE;
    in.sizeText = {100, 14};
    PREVIEWLAYOUT out;
    LayoutSmiliePreview(in, &out);
    EXPECT_TRUE(out.bRegion);
    EXPECT_EQ("0,0 92x82", Rect(out.rcRegionFrame));
    EXPECT_EQ("0,82 134x29", Rect(out.rcRegionText));
    in.sizeText = {40, 14};
    LayoutSmiliePreview(in, &out);
    EXPECT_FALSE(out.bRegion);
}

POINT g_ptCursor = {0, 0};
BOOL WINAPI FakeGetCursorPos(LPPOINT pt)
{
    *pt = g_ptCursor;
    return TRUE;
}

struct Click {
    UINT message;
    WPARAM wParam;
    int x, y;
};
std::vector<Click> g_clicks;

LRESULT CALLBACK BeneathProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PREVIEWLCLICK || message == WM_PREVIEWRCLICK)
        g_clicks.push_back({message, wParam, (short)LOWORD(lParam), (short)HIWORD(lParam)});
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class SmiliePreviewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        m_pTimer = new CVTimer();
        g_pVTimer = m_pTimer;
        CSmiliePreview::s_pfnGetCursorPos = FakeGetCursorPos;
        g_pImgCache = &m_cache;
        g_clicks.clear();

        WNDCLASSA wc = {};
        wc.lpfnWndProc = BeneathProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "PreviewBeneath";
        RegisterClassA(&wc);
        m_hBeneath = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                                     NULL, NULL, wc.hInstance, NULL);

        // An animated 16 x 16 picture: two frames of 100 ms.
        GifRecipe gif;
        gif.cx = gif.cy = 16;
        gif.globalTable = {RGB(255, 0, 0), RGB(0, 0, 255)};
        for (int f = 0; f < 2; f++) {
            GifFrameRecipe frame;
            frame.cx = frame.cy = 16;
            frame.pixels.assign(256, BYTE(f));
            frame.bControl = true;
            frame.nDelayCs = 10;
            gif.frames.push_back(frame);
        }
        char szTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, szTemp);
        m_strFile = std::string(szTemp) + "tvnx-preview-" + std::to_string(GetCurrentProcessId()) + ".gif";
        const Bytes bytes = MakeGif(gif);
        HANDLE h = CreateFileA(m_strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD n = 0;
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &n, NULL);
        CloseHandle(h);
        m_nImage = m_cache.AddFileImage(m_strFile.c_str());
        m_style.nNameHeight = -9;
    }
    void TearDown() override
    {
        for (CSmiliePreview* p : m_live)
            if (CSmiliePreview::GetLiveCount() > 0 && IsWindow(m_hWnds[p]))
                DestroyWindow(m_hWnds[p]);
        PumpPending();
        DestroyWindow(m_hBeneath);
        g_pImgCache = NULL;
        m_cache.RemoveAll();
        DeleteFileA(m_strFile.c_str());
        CSmiliePreview::s_pfnGetCursorPos = ::GetCursorPos;
        g_pVTimer = NULL;
        delete m_pTimer;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
    }
    CSmiliePreview* Show(uint32_t nImage, const char* pszText, BOOL bCensored, int x = 200, int y = 300)
    {
        g_ptCursor = {x, y};
        CSmiliePreview* p = CSmiliePreview::ShowImage(pszText, NULL, nImage, 0, bCensored, &m_style, FALSE, x, y);
        if (p != NULL) {
            m_live.push_back(p);
            m_hWnds[p] = p->m_hWnd;
        }
        return p;
    }
    // The mouse message the preview gets with the cursor at screen point (x, y).
    static void MoveTo(HWND hWnd, UINT message, int x, int y, WPARAM wParam = 0)
    {
        POINT pt = {x, y};
        ScreenToClient(hWnd, &pt);
        SendMessageA(hWnd, message, wParam, MAKELPARAM(pt.x, pt.y));
    }

    CVTimer* m_pTimer = NULL;
    CImgCache m_cache;
    FONTSTYLE m_style;
    std::string m_strFile;
    uint32_t m_nImage = 0;
    HWND m_hBeneath = NULL;
    std::vector<CSmiliePreview*> m_live;
    std::map<CSmiliePreview*, HWND> m_hWnds;
};

TEST_F(SmiliePreviewTest, NothingToShowGivesNoWindowAndNoObject)
{
    const int nBefore = CSmiliePreview::GetLiveCount();
    EXPECT_TRUE(Show(0, "", FALSE) == NULL);
    EXPECT_TRUE(Show(9999, "", FALSE) == NULL) << "an image id the cache does not know";
    EXPECT_TRUE(CSmiliePreview::Show("", NULL, 5, 0, FALSE, &m_style, FALSE, 10, 10) == NULL)
        << "a record without a collection file";
    EXPECT_EQ(nBefore, CSmiliePreview::GetLiveCount());
}

TEST_F(SmiliePreviewTest, ClosesWhenTheCursorMovesThreePixels)
{
    struct Row {
        int dx, dy;
        bool closes;
    } rows[] = {{0, 0, false}, {2, 2, false}, {-2, -2, false}, {0, 3, true}, {3, 0, true}, {-3, 0, true}, {0, -3, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.dx) + "," + std::to_string(row.dy));
        CSmiliePreview* p = Show(m_nImage, "", FALSE);
        ASSERT_TRUE(p != NULL);
        const HWND hWnd = p->m_hWnd;
        EXPECT_EQ(hWnd, GetCapture());
        MoveTo(hWnd, WM_MOUSEMOVE, 200 + row.dx, 300 + row.dy);
        EXPECT_EQ(row.closes, !IsWindow(hWnd));
        if (IsWindow(hWnd))
            DestroyWindow(hWnd);
        EXPECT_EQ(0, CSmiliePreview::GetLiveCount()) << "the object goes with its window";
    }
    m_live.clear();
}

TEST_F(SmiliePreviewTest, ClickIsHandedToTheWindowBeneath)
{
    for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        CSmiliePreview* p = Show(m_nImage, "", FALSE, 150, 350);
        ASSERT_TRUE(p != NULL);
        const HWND hWnd = p->m_hWnd;
        RECT rc;
        GetWindowRect(hWnd, &rc);
        MoveTo(hWnd, message, rc.left + 20, rc.top + 15, message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON);
        EXPECT_FALSE(IsWindow(hWnd));
        PumpUntil([] { return !g_clicks.empty(); }, 2000);
        ASSERT_EQ(1u, g_clicks.size());
        EXPECT_EQ(message == WM_LBUTTONDOWN ? UINT(WM_PREVIEWLCLICK) : UINT(WM_PREVIEWRCLICK), g_clicks[0].message);
        // The beneath window's client area starts at (100, 100) of the screen.
        EXPECT_EQ(rc.left + 20 - 100, g_clicks[0].x);
        EXPECT_EQ(rc.top + 15 - 100, g_clicks[0].y);
        EXPECT_EQ(WPARAM(message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON), g_clicks[0].wParam);
        g_clicks.clear();
    }
    m_live.clear();
}

TEST_F(SmiliePreviewTest, AnimatesUnlessCensored)
{
    CNumberedLanguage language;
    CSmiliePreview* p = Show(m_nImage, "", FALSE);
    ASSERT_TRUE(p != NULL);
    EXPECT_NE(0, p->GetAnimationTimer());
    EXPECT_EQ(m_strFile.c_str(), std::string(p->GetNameText()));
    // A tick of the animation starts the next frame's timer (100 ms: 10 ticks).
    const int nId = p->GetAnimationTimer();
    SendMessageA(p->m_hWnd, WM_VTIMER, WPARAM(nId), 0);
    EXPECT_NE(0, p->GetAnimationTimer());
    DestroyWindow(p->m_hWnd);

    CSmiliePreview* q = Show(m_nImage, "", TRUE);
    ASSERT_TRUE(q != NULL);
    EXPECT_EQ(0, q->GetAnimationTimer());
    EXPECT_EQ("L524", std::string(q->GetNameText()));
    DestroyWindow(q->m_hWnd);
    m_live.clear();
}

TEST_F(SmiliePreviewTest, TextWithoutPictureAndWheel)
{
    CSmiliePreview* p = Show(0, "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven\r\neight\r\nnine\r\nten", FALSE);
    ASSERT_TRUE(p != NULL);
    ASSERT_TRUE(p->GetTextBox() != NULL);
    // The wheel scrolls a text alone and keeps the preview open.
    SendMessageA(p->m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
    EXPECT_TRUE(IsWindow(p->m_hWnd));
    const HWND hWnd = p->m_hWnd;
    SendMessageA(hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(IsWindow(hWnd));
    m_live.clear();

    CSmiliePreview* q = Show(m_nImage, "", FALSE);
    ASSERT_TRUE(q != NULL);
    const HWND hPicture = q->m_hWnd;
    SendMessageA(hPicture, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
    EXPECT_FALSE(IsWindow(hPicture)) << "the wheel over a picture closes";
    m_live.clear();
}

}  // namespace
