// Picture insertion into AOL's editor, through a window tree that imitates
// its frame and an in-process document; input-method windows by class and
// title.
//
// ObjectFromLresult of Wine's oleacc marshals the document through COM, which
// a fake that is no real browser document cannot pass. The test therefore
// installs its own lookup from the WM_HTML_GETOBJECT result to the fake
// document; the window search, the message and everything on the document
// are the program's own.
#include "delivery/ForeignWindows.h"
#include "tests/delivery/gui/FakeHtmlDocument.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HWND g_hAskedWindow = nullptr;
LRESULT g_nAnswer = kMagicLresult;

LRESULT CALLBACK BrowserProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    static const UINT s_nGetObject = RegisterWindowMessageA("WM_HTML_GETOBJECT");
    if (nMsg == s_nGetObject) {
        g_hAskedWindow = hWnd;
        return g_nAnswer;
    }
    return DefWindowProcA(hWnd, nMsg, wParam, lParam);
}

void RegisterTestClass(const char* pszClass, WNDPROC proc = DefWindowProcA)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = pszClass;
    RegisterClassA(&wc);
}

// An AOL frame: a toolbar child, then a client window whose topmost child is
// the "AOL Child" with its browser windows (positions in its client area).
class AolWindows
{
public:
    AolWindows()
    {
        for (const char* psz : {"AOL Frame25", "AOL Child", "AOL MDIClient", "AOL Toolbar"})
            RegisterTestClass(psz);
        RegisterTestClass("Internet Explorer_Server", BrowserProc);
        m_hFrame = CreateWindowA("AOL Frame25", "AOL", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, NULL, NULL, NULL, NULL);
        // A new child goes below its older siblings: the client window is the topmost.
        HWND hClient = CreateWindowA("AOL MDIClient", "", WS_CHILD, 0, 30, 800, 560, m_hFrame, NULL, NULL, NULL);
        CreateWindowA("AOL Toolbar", "", WS_CHILD, 0, 0, 800, 30, m_hFrame, NULL, NULL, NULL);
        m_hChild = CreateWindowA("AOL Child", "Write Mail", WS_CHILD, 10, 10, 700, 500, hClient, NULL, NULL, NULL);
    }
    ~AolWindows() { DestroyWindow(m_hFrame); }
    HWND AddBrowser(int x, int y, int cx, int cy, HWND hParent = NULL)
    {
        return CreateWindowA("Internet Explorer_Server", "", WS_CHILD, x, y, cx, cy,
                             hParent != NULL ? hParent : m_hChild, NULL, NULL, NULL);
    }

    HWND m_hFrame;
    HWND m_hChild;
};

const char kPicture[] = "C:\\temp\\tarvenex-tmp000000123.gif";

class AolInsert : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_hAskedWindow = nullptr;
        g_nAnswer = kMagicLresult;
    }
    void TearDown() override { EXPECT_EQ(0, m_log.nLiveObjects) << "every interface is released"; }

    FakeDocumentLog m_log;
    FakeDocumentLookup m_lookup{&m_log};
    AolWindows m_aol;
};

TEST_F(AolInsert, InsertsIntoTheNearestDocumentWindow)
{
    m_aol.AddBrowser(0, 40, 300, 300);                       // touches the left edge
    m_aol.AddBrowser(5, 5, 60, 60);                          // too small
    HWND hPanel = CreateWindowA("AOL Toolbar", "", WS_CHILD, 20, 20, 600, 400, m_aol.m_hChild, NULL, NULL, NULL);
    HWND hNear = m_aol.AddBrowser(5, 5, 200, 200, hPanel);   // at (25, 25) in the child: nested, still found
    m_aol.AddBrowser(40, 40, 300, 300);

    EXPECT_EQ(1, InsertAolImage(m_aol.m_hFrame, kPicture));
    EXPECT_EQ(hNear, g_hAskedWindow);
    EXPECT_EQ(1, m_log.nExecCalls);
    EXPECT_EQ("text", m_log.rangeKind);
    EXPECT_EQ(L"InsertImage", m_log.command);
    EXPECT_EQ(L"file://C:\\temp\\tarvenex-tmp000000123.gif", m_log.argument);
    EXPECT_EQ(VARIANT_FALSE, m_log.showUi);
}

TEST_F(AolInsert, SelectionTypeChoosesTheRange)
{
    m_aol.AddBrowser(10, 10, 300, 300);
    struct Row { const wchar_t* type; const char* range; } rows[] = {
        {L"control", "control"},
        {L"text", "text"},
        {L"None", "text"},
        {L"Control", "text"},       // only exactly "control"
    };
    for (const Row& r : rows) {
        m_log.selectionType = r.type;
        m_log.rangeKind.clear();
        EXPECT_EQ(1, InsertAolImage(m_aol.m_hFrame, kPicture));
        EXPECT_EQ(r.range, m_log.rangeKind) << "selection type " << r.type;
    }
}

TEST_F(AolInsert, FailuresReturnZero)
{
    HWND hBrowser = m_aol.AddBrowser(10, 10, 300, 300);
    m_log.result = VARIANT_FALSE;
    EXPECT_EQ(0, InsertAolImage(m_aol.m_hFrame, kPicture)) << "the editor did not insert";
    EXPECT_EQ(1, m_log.nExecCalls);
    m_log.result = VARIANT_TRUE;

    g_nAnswer = 0;
    EXPECT_EQ(0, InsertAolImage(m_aol.m_hFrame, kPicture)) << "no document object";
    g_nAnswer = kMagicLresult;

    EXPECT_EQ(0, InsertAolImage(m_aol.m_hChild, kPicture)) << "not the frame";
    EXPECT_EQ(0, InsertAolImage(NULL, kPicture));
    EXPECT_EQ(0, InsertAolImage(m_aol.m_hFrame, NULL));

    DestroyWindow(hBrowser);
    m_aol.AddBrowser(10, 10, 79, 300);
    g_hAskedWindow = nullptr;
    EXPECT_EQ(0, InsertAolImage(m_aol.m_hFrame, kPicture)) << "no candidate";
    EXPECT_EQ(nullptr, g_hAskedWindow);
    EXPECT_EQ(1, m_log.nExecCalls);
}

TEST(AolInsertFrame, NoAolChildBelowTheFrame)
{
    AolWindows aol;
    DestroyWindow(aol.m_hChild);
    FakeDocumentLog log;
    FakeDocumentLookup lookup(&log);
    EXPECT_EQ(0, InsertAolImage(aol.m_hFrame, kPicture));
    EXPECT_EQ(0, log.nExecCalls);
}

TEST(ImeWindows, RecognisedByClassAndTitle)
{
    RegisterTestClass("MSCTFIME UI");
    RegisterTestClass("IME");
    RegisterTestClass("Edit Stand-in");
    struct Row { const char* cls; const char* title; int expected; } rows[] = {
        {"IME", "Default IME", 1},
        {"MSCTFIME UI", "M", 1},
        {"IME", "Other IME", 0},
        {"IME", "default ime", 0},
        {"MSCTFIME UI", "Default IME", 0},
        {"Edit Stand-in", "M", 0},
    };
    for (const Row& r : rows) {
        HWND h = CreateWindowA(r.cls, r.title, WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, h) << r.cls;
        EXPECT_EQ(r.expected, IsImeWindow(h)) << r.cls << " / " << r.title;
        DestroyWindow(h);
    }
    EXPECT_EQ(0, IsImeWindow(NULL));
}

}   // namespace
