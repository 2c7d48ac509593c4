// Window, screen and clipboard helpers with real windows.
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <cstring>
#include <algorithm>
#include <vector>
#include "framework/Gdi.h"

namespace {

class TestWindow
{
public:
    explicit TestWindow(DWORD dwStyle = WS_OVERLAPPEDWINDOW, int x = 10, int y = 10, int cx = 200, int cy = 100)
    {
        m_hWnd = CreateWindowExA(0, "STATIC", "Tarvenex Test Window", dwStyle, x, y, cx, cy, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    }
    ~TestWindow()
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    HWND m_hWnd;
};

FLASHWINFO g_lastFlash;
int g_nFlashCalls;

BOOL WINAPI RecordFlash(PFLASHWINFO p)
{
    g_lastFlash = *p;
    g_nFlashCalls++;
    return TRUE;
}

bool PutClipboard(HWND hOwner, UINT cf, const void* pData, size_t cb)
{
    if (!OpenClipboard(hOwner))
        return false;
    EmptyClipboard();
    bool bOk = true;
    if (pData != NULL) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, cb);
        memcpy(GlobalLock(h), pData, cb);
        GlobalUnlock(h);
        bOk = SetClipboardData(cf, h) != NULL;
        if (!bOk)
            GlobalFree(h);
    }
    CloseClipboard();
    return bOk;
}

class WithOle : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(NULL))); }
    void TearDown() override { OleUninitialize(); }
};

} // namespace

TEST(WindowAppInfo, OwnAndMissingWindowsGiveNothing)
{
    CreateExportedFuncs();
    TestWindow top;
    HWND hChild = CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 10, 10, top.m_hWnd, NULL, NULL, NULL);
    CString strTitle("x"), strExe("y");
    ULONGLONG ull = 7;
    EXPECT_FALSE(GetWindowAppInfo(top.m_hWnd, strTitle, strExe, ull));
    EXPECT_FALSE(GetWindowAppInfo(hChild, strTitle, strExe, ull));
    EXPECT_FALSE(GetWindowAppInfo(NULL, strTitle, strExe, ull));
    DestroyWindow(hChild);
    DeleteExportedFuncs();
}

TEST(KeepWindowOnScreen, MovesOnlyTheAxisThatIsOff)
{
    int cxScreen = GetSystemMetrics(SM_CXSCREEN), cyScreen = GetSystemMetrics(SM_CYSCREEN);
    struct Row { const char* pszName; int x, y; int xExpected, yExpected; };
    const Row rows[] = {
        {"top above the screen", 50, -20, 50, 0},
        {"left of the screen", -30, 40, 0, 40},
        {"beyond the right and bottom", cxScreen - 150, cyScreen - 50, cxScreen - 200, cyScreen - 100},
        {"already on the screen", 20, 30, 20, 30},
    };
    for (const Row& row : rows) {
        TestWindow w(WS_POPUP, row.x, row.y, 200, 100);
        KeepWindowOnScreen(w.m_hWnd);
        RECT rc;
        GetWindowRect(w.m_hWnd, &rc);
        EXPECT_EQ(row.xExpected, rc.left) << row.pszName;
        EXPECT_EQ(row.yExpected, rc.top) << row.pszName;
        EXPECT_EQ(200, rc.right - rc.left) << row.pszName;
        EXPECT_EQ(100, rc.bottom - rc.top) << row.pszName;
    }
}

TEST(GetFreeChildId, SmallestUnusedId)
{
    TestWindow parent;
    std::vector<HWND> children;
    for (int id : {1000, 1001, 1003, 5})
        children.push_back(CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, parent.m_hWnd,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), NULL, NULL));
    struct Row { UINT nFirst; UINT nExpected; };
    const Row rows[] = {{1000, 1002}, {1003, 1004}, {1, 1}, {5, 6}, {0x7FFFFFFFu, 0x7FFFFFFFu}, {0x80000000u, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(row.nExpected, GetFreeChildId(parent.m_hWnd, row.nFirst)) << row.nFirst;
    EXPECT_EQ(0u, GetFreeChildId(NULL, 1000));
}

// The flash time is divided by the system's flash count, which may be 0.
TEST(FlashWindowBriefly, FlashCountZeroAndMissingFunction)
{
    TestWindow w;
    CExportedFuncs* pFuncs = CreateExportedFuncs();
    PFN_FLASHWINDOWEX pReal = pFuncs->pFlashWindowEx;
    pFuncs->pFlashWindowEx = RecordFlash;

    UINT nOldCount = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDFLASHCOUNT, 0, &nOldCount, 0);
    struct Row { UINT nCount; UINT nExpectedFlashes; };
    const Row rows[] = {{3, 3}, {0, 1}};
    for (const Row& row : rows) {
        SystemParametersInfoA(SPI_SETFOREGROUNDFLASHCOUNT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(row.nCount)), 0);
        UINT nNow = 99;
        SystemParametersInfoA(SPI_GETFOREGROUNDFLASHCOUNT, 0, &nNow, 0);
        if (nNow != row.nCount)
            printf("note: the system keeps a flash count of %u, not %u\n", nNow, row.nCount);
        g_nFlashCalls = 0;
        memset(&g_lastFlash, 0, sizeof(g_lastFlash));
        EXPECT_TRUE(FlashWindowBriefly(w.m_hWnd)) << row.nCount;
        ASSERT_EQ(1, g_nFlashCalls) << row.nCount;
        EXPECT_EQ(w.m_hWnd, g_lastFlash.hwnd);
        EXPECT_EQ(static_cast<DWORD>(FLASHW_CAPTION), g_lastFlash.dwFlags);
        if (nNow == row.nCount) {
            EXPECT_EQ(row.nExpectedFlashes, g_lastFlash.uCount) << row.nCount;
        }
        EXPECT_GE(g_lastFlash.uCount, 1u);
        EXPECT_LE(g_lastFlash.dwTimeout, 2000u) << "a brief flash";
    }
    SystemParametersInfoA(SPI_SETFOREGROUNDFLASHCOUNT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(nOldCount)), 0);

    pFuncs->pFlashWindowEx = NULL;
    g_nFlashCalls = 0;
    EXPECT_TRUE(FlashWindowBriefly(w.m_hWnd)) << "plain FlashWindow without FlashWindowEx";
    EXPECT_EQ(0, g_nFlashCalls);
    pFuncs->pFlashWindowEx = pReal;

    HWND hDead = w.m_hWnd;
    DestroyWindow(w.m_hWnd);
    EXPECT_FALSE(FlashWindowBriefly(hDead));
    EXPECT_FALSE(FlashWindowBriefly(NULL));
    DeleteExportedFuncs();
}

TEST(MeasureText, OnePixelWidthAsksForOneLine)
{
    HFONT hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const char* pszText = "several words that need more than one line";
    RECT rcNarrow = {0, 0, 40, 0};
    RECT rcOne = {0, 0, 1, 0};
    ULONGLONG ullWrapped = MeasureText(rcNarrow, pszText, hFont);
    ULONGLONG ullSingle = MeasureText(rcOne, pszText, hFont);
    ULONGLONG ullOneWord = MeasureText(rcNarrow, "x", hFont);
    DWORD cyLine = static_cast<DWORD>(ullOneWord >> 32);
    ASSERT_GT(cyLine, 0u);
    EXPECT_EQ(cyLine, static_cast<DWORD>(ullSingle >> 32));
    EXPECT_GT(static_cast<DWORD>(ullWrapped >> 32), cyLine);
    EXPECT_GT(static_cast<DWORD>(ullSingle), static_cast<DWORD>(ullWrapped));
}

TEST_F(WithOle, ClipboardTextPrefersUnicodeAndBoundsTheRead)
{
    TestWindow owner;
    CString str;

    const wchar_t wsz[] = L"unicode text";
    ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_UNICODETEXT, wsz, sizeof(wsz)));
    EXPECT_TRUE(GetClipboardText(str));
    EXPECT_STREQ("unicode text", str);

    const char sz[] = "ansi text";
    ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_TEXT, sz, sizeof(sz)));
    EXPECT_TRUE(GetClipboardText(str));
    EXPECT_STREQ("ansi text", str);

    // Text longer than 10000 characters is cut there.
    std::vector<wchar_t> longText(12000, L'a');
    longText.back() = 0;
    ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_UNICODETEXT, longText.data(), longText.size() * sizeof(wchar_t)));
    EXPECT_TRUE(GetClipboardText(str));
    EXPECT_EQ(10000, str.GetLength());

    // A block without a terminator is read up to its size, not beyond.
    const char unterminated[] = {'a', 'b', 'c', 'd'};
    ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_TEXT, unterminated, sizeof(unterminated)));
    EXPECT_TRUE(GetClipboardText(str));
    // (Wine offers the text as Unicode too, converted without the last character.)
    EXPECT_GE(str.GetLength(), 3);
    EXPECT_EQ(0, strncmp("abcd", str, 3));
    EXPECT_LE(str.GetLength(), 16) << "read no further than the block (rounded by the allocator)";

    const wchar_t wszEmpty[] = L"";
    ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_UNICODETEXT, wszEmpty, sizeof(wszEmpty)));
    EXPECT_FALSE(GetClipboardText(str)) << "empty Unicode text";

    ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_TEXT, NULL, 0));
    EXPECT_FALSE(GetClipboardText(str)) << "empty clipboard";
}

TEST_F(WithOle, ClearOwnClipboardOnlyWhenThisProcessOwnsIt)
{
    {
        TestWindow owner;
        const char sz[] = "mine";
        ASSERT_TRUE(PutClipboard(owner.m_hWnd, CF_TEXT, sz, sizeof(sz)));
        EXPECT_TRUE(ClearOwnClipboard());
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    }
    // Emptied with no window: nobody owns the clipboard.
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    CloseClipboard();
    if (GetClipboardOwner() == NULL) {
        EXPECT_FALSE(ClearOwnClipboard());
    }
}

namespace {

std::vector<HWND> g_painted;

LRESULT CALLBACK PaintRecorder(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_PAINT)
        g_painted.push_back(hWnd);
    if (uMsg == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

HWND MakeChild(HWND hParent, int x, int y, bool bVisible)
{
    static bool bRegistered = false;
    if (!bRegistered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PaintRecorder;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxPaintRecorder";
        RegisterClassA(&wc);
        bRegistered = true;
    }
    return CreateWindowExA(0, "TvnxPaintRecorder", "", WS_CHILD | (bVisible ? WS_VISIBLE : 0), x, y, 50, 50,
                           hParent, NULL, GetModuleHandleA(NULL), NULL);
}

void ValidateAll(HWND hParent)
{
    ValidateRect(hParent, NULL);
    for (HWND h = GetWindow(hParent, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
        UpdateWindow(h);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    g_painted.clear();
}

} // namespace

TEST(InvalidateChildrenInRect, RepaintsOnlyVisibleChildrenThatMeetTheRect)
{
    TestWindow parent(WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    HWND hLeft = MakeChild(parent.m_hWnd, 0, 0, true);
    HWND hRight = MakeChild(parent.m_hWnd, 100, 0, true);
    HWND hHidden = MakeChild(parent.m_hWnd, 0, 0, false);

    ValidateAll(parent.m_hWnd);
    RECT rc = {10, 10, 20, 20};
    InvalidateChildrenInRect(parent.m_hWnd, &rc);
    EXPECT_EQ(std::vector<HWND>{hLeft}, g_painted) << "painted at once, only the child under the rectangle";

    ValidateAll(parent.m_hWnd);
    RECT rcEdge = {140, 40, 160, 60};  // the right child's lower right corner and beyond
    InvalidateChildrenInRect(parent.m_hWnd, &rcEdge);
    EXPECT_EQ(std::vector<HWND>{hRight}, g_painted);

    ValidateAll(parent.m_hWnd);
    InvalidateChildrenInRect(parent.m_hWnd, NULL);
    EXPECT_EQ(2u, g_painted.size());
    EXPECT_EQ(0, std::count(g_painted.begin(), g_painted.end(), hHidden));
}

TEST(GetEditVisibleLineCount, TallerEditShowsMoreLines)
{
    TestWindow parent(WS_POPUP, 0, 0, 300, 400);
    HWND hSmall = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE, 0, 0, 200, 60, parent.m_hWnd, NULL, NULL, NULL);
    HWND hLarge = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE, 0, 0, 200, 240, parent.m_hWnd, NULL, NULL, NULL);
    SendMessageA(hSmall, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    int nSmall = GetEditVisibleLineCount(hSmall);
    int nLarge = GetEditVisibleLineCount(hLarge);  // no font: the system font
    EXPECT_GE(nSmall, 1);
    EXPECT_GT(nLarge, nSmall);
    EXPECT_EQ(0, GetEditVisibleLineCount(NULL));
}

TEST(GetTrayNotifyRect, FindsTheNotificationAreaAndItsImage)
{
    RECT rc;
    if (FindWindowA("Shell_TrayWnd", NULL) == NULL) {
        EXPECT_FALSE(GetTrayNotifyRect(&rc)) << "no taskbar";
    }

    // A taskbar of our own, in front of any other so that it is found first.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    wc.lpszClassName = "trayNotifyWND";  // compared without case
    RegisterClassA(&wc);
    HWND hBar = CreateWindowExA(WS_EX_TOPMOST, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE, 0, 500, 400, 30, NULL,
                                NULL, wc.hInstance, NULL);
    if (FindWindowA("Shell_TrayWnd", NULL) != hBar) {
        DestroyWindow(hBar);
        GTEST_SKIP() << "the system's taskbar is found before ours";
    }
    EXPECT_FALSE(GetTrayNotifyRect(&rc)) << "no notification area in the taskbar";
    HWND hNotify = CreateWindowExA(0, "trayNotifyWND", "", WS_CHILD | WS_VISIBLE, 300, 2, 90, 26, hBar, NULL,
                                   wc.hInstance, NULL);
    UpdateWindow(hBar);
    UpdateWindow(hNotify);

    CBitmap bitmap;
    BYTE* pMask = NULL;
    ASSERT_TRUE(GetTrayNotifyRect(&rc, &bitmap, &pMask));
    EXPECT_EQ(300, rc.left);
    EXPECT_EQ(502, rc.top);
    EXPECT_EQ(390, rc.right);
    EXPECT_EQ(528, rc.bottom);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(bitmap, sizeof(bm), &bm));
    EXPECT_EQ(90, bm.bmWidth);
    EXPECT_EQ(26, bm.bmHeight);
    ASSERT_NE(nullptr, pMask);
    EXPECT_EQ(0xFF, pMask[13 * 90 + 45]) << "white area counts as bright";
    delete[] pMask;
    EXPECT_FALSE(GetTrayNotifyRect(NULL, &bitmap)) << "the rectangle is needed";
    DestroyWindow(hBar);
}

TEST(IconHandles, LoadAndDestroy)
{
    CIconHolder holder;
    EXPECT_EQ(nullptr, holder.m_hIcon);
    EXPECT_FALSE(LoadIconResource(GetModuleHandleA(NULL), holder, 4321));
    EXPECT_EQ(nullptr, holder.m_hIcon);
    DestroyIconHandle(holder);  // empty: nothing happens

    HMODULE hUser = GetModuleHandleA("user32.dll");
    if (!LoadIconResource(hUser, holder, 32512))
        GTEST_SKIP() << "user32 has no icon 32512 here";
    EXPECT_NE(nullptr, holder.m_hIcon);
    DestroyIconHandle(holder);
    EXPECT_EQ(nullptr, holder.m_hIcon);
}

namespace {

struct FindByProcess
{
    DWORD dwProcessId;
    HWND hFound;
};

BOOL CALLBACK FindVisibleWindowOf(HWND hWnd, LPARAM lParam)
{
    FindByProcess* p = reinterpret_cast<FindByProcess*>(lParam);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (dwPid == p->dwProcessId && IsWindowVisible(hWnd)) {
        p->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

TEST(WindowAppInfo, AnotherProgramsWindow)
{
    char szNotepad[MAX_PATH];
    GetWindowsDirectoryA(szNotepad, MAX_PATH);
    strcat(szNotepad, "\\notepad.exe");
    if (GetFileAttributesA(szNotepad) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no notepad.exe to look at";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(szNotepad, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
    WaitForInputIdle(pi.hProcess, 10000);
    FindByProcess find = {pi.dwProcessId, NULL};
    for (int i = 0; i < 100 && find.hFound == NULL; i++) {
        EnumWindows(FindVisibleWindowOf, reinterpret_cast<LPARAM>(&find));
        if (find.hFound == NULL)
            WaitForSingleObject(pi.hProcess, 50);
    }

    CreateExportedFuncs();
    CString strTitle, strExe;
    ULONGLONG ullVersion = 0;
    BOOL bOk = find.hFound != NULL && GetWindowAppInfo(find.hFound, strTitle, strExe, ullVersion);
    DeleteExportedFuncs();
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    ASSERT_NE(nullptr, find.hFound);
    ASSERT_TRUE(bOk);
    EXPECT_STREQ("notepad.exe", strExe);
    CString strLower(strTitle);
    strLower.MakeLower();
    EXPECT_STREQ(strLower, strTitle) << "the title comes in lower case";
    EXPECT_FALSE(strTitle.IsEmpty());
    // (Wine's notepad carries no version resource, so the version may be 0.)
}
