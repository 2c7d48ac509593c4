// The drag image's lifetime when its window cannot be made: a window that
// fails in WM_CREATE is destroyed at once, and its object deletes itself.
#include "ui3d/controls/DragImageWnd.h"

#include <gtest/gtest.h>
#include "tests/tools/Pump.h"

#include <cstring>
#include <vector>

namespace {

HHOOK s_hHook = NULL;
WNDPROC s_pfnOriginal = NULL;
const BYTE kFill = 0xA5;
std::vector<void*> s_blocks;
BYTE* s_pReused = NULL;   // the deleted object's memory, taken back and filled

LRESULT CALLBACK RefuseCreate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return -1;
    if (message != WM_NCDESTROY)
        return ::CallWindowProcA(s_pfnOriginal, hWnd, message, wParam, lParam);
    const void* pObject = CWnd::FromHandlePermanent(hWnd);
    const LRESULT lResult = ::CallWindowProcA(s_pfnOriginal, hWnd, message, wParam, lParam);
    // The object deleted itself: its memory, had back from the heap and
    // filled, shows whoever writes to the object afterwards.
    for (int i = 0; i < 64 && s_pReused == NULL; i++) {
        void* p = ::operator new(sizeof(CDragImageWnd));
        memset(p, kFill, sizeof(CDragImageWnd));
        s_blocks.push_back(p);
        if (p == pObject)
            s_pReused = static_cast<BYTE*>(p);
    }
    return lResult;
}

// Puts RefuseCreate in front of the drag image's window (the one topmost,
// disabled popup) as it is made.
LRESULT CALLBACK SubclassDragImage(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND) {
        const CREATESTRUCTA* pcs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if ((pcs->dwExStyle & WS_EX_TOPMOST) && (pcs->style & WS_DISABLED) && (pcs->style & WS_POPUP))
            s_pfnOriginal = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
                reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefuseCreate)));
    }
    return ::CallNextHookEx(s_hHook, nCode, wParam, lParam);
}

TEST(DragImageWnd, WindowThatFailsInCreationIsDeletedOnceAndForgotten)
{
    ::OleInitialize(NULL);
    const int nLiveBefore = CDragImageWnd::s_nLiveCount;
    s_hHook = ::SetWindowsHookExA(WH_CBT, SubclassDragImage, NULL, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, s_hHook);
    const RECT rc = {10, 10, 50, 50};
    ShowDragImage(rc, NULL, NULL, NULL, 0, NULL, 0, 0, 0);
    ::UnhookWindowsHookEx(s_hHook);
    ASSERT_NE(nullptr, s_pfnOriginal) << "the drag image's window was made and refused";
    EXPECT_EQ(nullptr, g_pDragImageWnd);
    EXPECT_EQ(nLiveBefore, CDragImageWnd::s_nLiveCount) << "deleted once, by its own PostNcDestroy";
    ASSERT_NE(nullptr, s_pReused) << "the heap did not give the object's memory back";
    size_t nWritten = 0;
    for (size_t i = 0; i < sizeof(CDragImageWnd); i++)
        nWritten += s_pReused[i] != kFill;
    EXPECT_EQ(0u, nWritten) << "bytes written to the deleted object";
    for (void* p : s_blocks)
        ::operator delete(p);
    s_blocks.clear();

    // The next drag image comes up as usual.
    ShowDragImage(rc, NULL, NULL, NULL, 0, NULL, 0, 0, 0);
    ASSERT_NE(nullptr, g_pDragImageWnd);
    EXPECT_NE(nullptr, g_pDragImageWnd->m_hWnd);
    CloseDragImage();
    EXPECT_TRUE(PumpUntil([&] { return CDragImageWnd::s_nLiveCount == nLiveBefore; }, 2000));
    ::OleUninitialize();
}

}  // namespace
