// The wait before a drag starts, seen from the window that started it.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"
#include "tests/tools/Pump.h"

namespace {

// Notes whether it was told that it lost the capture.
class CPressedWnd : public CWnd
{
public:
    int nCaptureChanged = 0;
    HWND hLastTaker = NULL;   // the window that took the capture last
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CAPTURECHANGED) {
            ++nCaptureChanged;
            hLastTaker = reinterpret_cast<HWND>(lParam);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(OleDragStart, AClickThatDidNotBecomeADragEndsTheStartersCapture)
{
    CPressedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL));
    // The button went down on the window, which took the capture and asked
    // for a drag; the button is up again before the mouse moved.
    wnd.SetCapture();
    ASSERT_EQ(GetCapture(), wnd.m_hWnd);
    wnd.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE, 4));
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY), (DROPEFFECT)DROPEFFECT_NONE);
    EXPECT_TRUE(GetCapture() != wnd.m_hWnd) << "the window would wait for a button-up that was taken";
    EXPECT_GE(wnd.nCaptureChanged, 1) << "the window was never told";
    EXPECT_TRUE(wnd.hLastTaker == NULL) << "the capture went back to nobody";
    wnd.DestroyWindow();
}

// The program is ending (a nested loop handed the quit on) as a press asks for
// a drag: no drag starts, and the quit still reaches the main loop.
TEST(OleDragStart, AQuitDuringTheWaitIsKept)
{
    PostQuitMessage(5);
    COleDataSource source;
    source.CacheGlobalData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE, 4));
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY), (DROPEFFECT)DROPEFFECT_NONE);
    WPARAM nCode = 0;
    const bool bQuit = TakeQueuedQuit(&nCode);
    EXPECT_TRUE(bQuit) << "the wait took the quit";
    EXPECT_EQ(5u, nCode);
}
