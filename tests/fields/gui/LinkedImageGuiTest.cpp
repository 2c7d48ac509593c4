// The picture inside a dragged link, found through the document of an
// embedded browser window (an in-process window of that class answering
// WM_HTML_GETOBJECT, with a fake document).
#include "fields/DroppedData.h"
#include "fields/ForeignFocus.h"
#include "tests/fields/DropSamples.h"
#include "tests/fields/gui/FakeBrowserPage.h"

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK BrowserProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    static const UINT s_nGetObject = RegisterWindowMessageA("WM_HTML_GETOBJECT");
    if (uMsg == s_nGetObject)
        return GetWindowLongPtrA(hWnd, GWLP_USERDATA) ? kFakePageLresult : 0;
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

class LinkedImage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = BrowserProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "Internet Explorer_Server";
        RegisterClassA(&wc);
        m_hBrowser = CreateWindowA("Internet Explorer_Server", "", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                   wc.hInstance, NULL);
        ASSERT_NE(HWND(NULL), m_hBrowser);
        SetWindowLongPtrA(m_hBrowser, GWLP_USERDATA, 1);
        m_page.images = {{L"http://a.com/other.html", L"http://a.com/other.gif"},
                         {L"http://a.com/page.html", L"http://a.com/pic.gif"},
                         {L"http://a.com/page.html", L"http://a.com/second.gif"}};
    }
    void TearDown() override
    {
        SetForeignTarget(NULL);
        SetForeignBrowser(NULL, POINT{0, 0});
        DestroyWindow(m_hBrowser);
        EXPECT_EQ(0, m_page.nLiveObjects) << "every document object is released";
    }

    HWND m_hBrowser = NULL;
    FakePage m_page;
    FakePageLookup m_lookup{&m_page};
};

TEST_F(LinkedImage, FindsThePictureInsideTheLink)
{
    struct Row
    {
        const char* name;
        int nAtPoint;
        int x, y;
        const char* url;
        BOOL replaced;
        const char* after;
    } rows[] = {
        {"picture under the point", 2, 5, 6, "http://a.com/page.html", TRUE, "http://a.com/second.gif"},
        {"no point: the first image of the link", 2, -1, 6, "http://a.com/page.html", TRUE, "http://a.com/pic.gif"},
        {"element at the point in another link", 0, 5, 6, "http://a.com/page.html", TRUE, "http://a.com/pic.gif"},
        {"nothing at the point", -1, 5, 6, "http://a.com/other.html", TRUE, "http://a.com/other.gif"},
        {"no image of that link", 1, 5, 6, "http://a.com/none.html", FALSE, "http://a.com/none.html"},
    };
    for (const Row& r : rows) {
        m_page.nAtPoint = r.nAtPoint;
        m_page.ptAsked = {-1, -1};
        CString url = r.url;
        EXPECT_EQ(r.replaced, ResolveLinkedImage(m_hBrowser, url, r.x, r.y)) << r.name;
        EXPECT_STREQ(r.after, url) << r.name;
        const bool bAsked = m_page.ptAsked.x == r.x && m_page.ptAsked.y == r.y;
        EXPECT_EQ(r.x >= 0 && r.y >= 0, bAsked) << r.name;
    }
}

TEST_F(LinkedImage, SilentWindowLeavesTheAddress)
{
    SetWindowLongPtrA(m_hBrowser, GWLP_USERDATA, 0);
    CString url = "http://a.com/page.html";
    EXPECT_FALSE(ResolveLinkedImage(m_hBrowser, url, 1, 1));
    EXPECT_STREQ("http://a.com/page.html", url);
}

TEST_F(LinkedImage, DroppedLinkAsksTheRecordedBrowser)
{
    m_page.nAtPoint = 2;
    struct Row
    {
        const char* name;
        bool bTargetIsBrowser;
        const char* records;
    } rows[] = {
        {"focus in the recorded browser: its point", true, "http://a.com/second.gif||0|0"},
        {"focus elsewhere: the images in order", false, "http://a.com/pic.gif||0|0"},
    };
    for (const Row& r : rows) {
        SetForeignBrowser(r.bTargetIsBrowser ? m_hBrowser : GetDesktopWindow(), POINT{7, 8});
        SetForeignTarget(m_hBrowser);
        CTestDrop drop;
        drop.Add(GetUrlClipFormat(), TextBytes("http://a.com/page.html"));
        CSequence<ODOIMGINFO> list;
        CString text;
        EXPECT_EQ(1, ReadDroppedData(drop.Data(), list, text)) << r.name;
        EXPECT_EQ(r.records, Describe(list)) << r.name;
    }
}

} // namespace
