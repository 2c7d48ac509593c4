// Window, screen and clipboard helpers with real windows.
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <cstring>
#include <vector>

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
