// The about box on real windows, answered through the test seam: its texts
// from the language, the picture, the credits' scroll bar working the edit
// and following it, and the links, opened through a recorder instead of the
// shell.
#include "dialogs/DlgAbout.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "framework/Framework.h"
#include "tests/dialogs/gui/WorkingAnswerer.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include "tests/tools/FadeClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kCredits = 1003, kWeb = 1009, kMail = 1010, kPicture = 1118;

// A language with the about box's entries only; the credits as many lines
// as the test asks for.
class CAboutLanguage
{
public:
    explicit CAboutLanguage(int nCreditLines)
    {
        m_language.m_nCount = 400;
        m_language.m_ppStrings = static_cast<char**>(calloc(400, sizeof(char*)));
        std::string strCredits;
        for (int i = 1; i <= nCreditLines; i++)
            strCredits += (i > 1 ? "\r\n" : "") + std::string("Credit line ") + std::to_string(i);
        Set(117, "Copyright line");
        Set(240, "Web label");
        Set(241, "Mail label");
        Set(361, "About caption");
        Set(362, strCredits);
        m_pPrevious = g_pCurrentLanguage;
        g_pCurrentLanguage = &m_language;
    }
    ~CAboutLanguage() { g_pCurrentLanguage = m_pPrevious; }

private:
    void Set(int n, const std::string& str)
    {
        m_language.m_ppStrings[n] = static_cast<char*>(malloc(str.size() + 1));
        memcpy(m_language.m_ppStrings[n], str.c_str(), str.size() + 1);
    }
    CLanguage m_language;
    CLanguage* m_pPrevious;
};

// Runs the about box and works it through action while its loop is idle.
void RunAbout(std::function<void(CDlgAbout*)> action)
{
    CWorkingAnswerer<CDlgAbout> answerer(action);
    CDlgAbout dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(1, answerer.nAsked);
    // The bar went with the window.
    EXPECT_EQ(nullptr, dlg.GetScrollBar().m_hWnd);
}

std::string Text(HWND hWnd)
{
    char sz[4096] = "";
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

RECT ChildRect(HWND hDlg, HWND hChild)
{
    RECT rc = {};
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Lines the edit shows at once, from its formatting rectangle and its font.
int VisibleLines(HWND hEdit)
{
    RECT rc = {};
    ::SendMessageA(hEdit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    TEXTMETRICA tm = {};
    const HDC hDC = ::GetDC(hEdit);
    const HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageA(hEdit, WM_GETFONT, 0, 0)));
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hEdit, hDC);
    return (rc.bottom - rc.top) / (tm.tmHeight > 0 ? tm.tmHeight : 1);
}

int FirstVisibleLine(HWND hEdit)
{
    return int(::SendMessageA(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0));
}

// The arrows as the position asks: up shown as at its end at 0, down at the
// last position.
int ArrowsAt(int nPos, int nLast)
{
    return (nPos > 0 ? SBA_FIRST : 0) | (nPos < nLast ? SBA_SECOND : 0);
}

SIZE GifSize(int nId)
{
    SIZE size = {0, 0};
    const HRSRC hRes = ::FindResourceA(NULL, MAKEINTRESOURCEA(nId), "Gif");
    const HGLOBAL hData = hRes != NULL ? ::LoadResource(NULL, hRes) : NULL;
    const BYTE* p = static_cast<const BYTE*>(hData != NULL ? ::LockResource(hData) : NULL);
    if (p != NULL && ::SizeofResource(NULL, hRes) >= 10) {
        size.cx = p[6] | (p[7] << 8);
        size.cy = p[8] | (p[9] << 8);
    }
    return size;
}

TEST(DlgAbout, ShowsTheLanguageTextsAndThePicture)
{
    CAboutLanguage language(3);
    RunAbout([](CDlgAbout* pDlg) {
        const HWND hDlg = pDlg->m_hWnd;
        EXPECT_TRUE(::IsWindowVisible(hDlg));
        EXPECT_EQ("About caption", Text(hDlg));
        EXPECT_EQ("Copyright line", Text(::GetDlgItem(hDlg, 1122)));
        EXPECT_EQ("Web label", Text(::GetDlgItem(hDlg, 1123)));
        EXPECT_EQ("Mail label", Text(::GetDlgItem(hDlg, 1124)));
        EXPECT_EQ("www.tarvenex.example", Text(::GetDlgItem(hDlg, kWeb)));
        EXPECT_EQ("support@tarvenex.example", Text(::GetDlgItem(hDlg, kMail)));
        EXPECT_EQ("Credit line 1\r\nCredit line 2\r\nCredit line 3", Text(::GetDlgItem(hDlg, kCredits)));
        // The picture took the place's top-left, in its own size.
        const HWND hPicture = ::GetDlgItem(hDlg, kPicture);
        ASSERT_NE(nullptr, hPicture);
        char szClass[64] = "";
        ::GetClassNameA(hPicture, szClass, sizeof(szClass));
        EXPECT_STRCASENE("Static", szClass) << "the place was not replaced";
        const RECT rc = ChildRect(hDlg, hPicture);
        const SIZE size = GifSize(459);
        EXPECT_GT(size.cx, 0);
        EXPECT_EQ(size.cx, rc.right - rc.left);
        EXPECT_EQ(size.cy, rc.bottom - rc.top);
        EXPECT_EQ(size.cx, GifSize(460).cx);
        EXPECT_EQ(size.cy, GifSize(460).cy);
    });
}

TEST(DlgAbout, FadesAsTheSettingSays)
{
    const int nWas = g_Settings.FadeDialogs;
    for (int nFade : {0, 1}) {
        g_Settings.FadeDialogs = nFade;
        CDlgAbout dlg;
        EXPECT_EQ(nFade, dlg.m_bFade);
    }
    g_Settings.FadeDialogs = nWas;
}

// A fade driven by hand (tests/tools/FadeClock.h).
using namespace fadeclock;

TEST(DlgAbout, AfterFadingInOkHasTheFocus)
{
    CVTimer::s_pfnSetEvent = FakeSetEvent;
    CVTimer::s_pfnKillEvent = FakeKillEvent;
    g_pVTimer = new CVTimer();
    CreateExportedFuncs();
    C3DDialog::s_pfnQueryPerformanceFrequency = FakeFrequency;
    C3DDialog::s_pfnQueryPerformanceCounter = FakeCounter;
    C3DDialog::s_pfnIsMenuFadeOn = FakeMenuFade;
    g_nCounter = 1000;
    const int nWas = g_Settings.FadeDialogs;
    g_Settings.FadeDialogs = 1;
    {
        CAboutLanguage language(40);
        RunAbout([](CDlgAbout* pDlg) {
            ASSERT_EQ(1, pDlg->m_nFadeState);
            g_nCounter = 2000;
            pDlg->SendMessage(WM_VTIMER, pDlg->m_nFadeTimerId, 0);
            ASSERT_EQ(0, pDlg->m_nFadeState);
            const HWND hEdit = ::GetDlgItem(pDlg->m_hWnd, kCredits);
            EXPECT_EQ(::GetDlgItem(pDlg->m_hWnd, IDOK), ::GetFocus());
            EXPECT_EQ(0, FirstVisibleLine(hEdit));
            EXPECT_EQ(0, pDlg->GetScrollBar().GetPos());
        });
    }
    g_Settings.FadeDialogs = nWas;
    delete g_pVTimer;
    g_pVTimer = NULL;
    CVTimer::s_pfnSetEvent = timeSetEvent;
    CVTimer::s_pfnKillEvent = timeKillEvent;
    C3DDialog::s_pfnQueryPerformanceFrequency = QueryPerformanceFrequency;
    C3DDialog::s_pfnQueryPerformanceCounter = QueryPerformanceCounter;
    C3DDialog::s_pfnIsMenuFadeOn = IsMenuFadeOn;
}

TEST(DlgAbout, ScrollBarCoversTheCreditLines)
{
    const struct {
        int nCreditLines;
        bool bScrolls;
    } rows[] = {{40, true}, {2, false}};
    for (const auto& row : rows) {
        CAboutLanguage language(row.nCreditLines);
        RunAbout([&](CDlgAbout* pDlg) {
            const HWND hEdit = ::GetDlgItem(pDlg->m_hWnd, kCredits);
            C3DScrollBar& bar = pDlg->GetScrollBar();
            ASSERT_NE(nullptr, bar.m_hWnd) << row.nCreditLines;
            const int nLines = int(::SendMessageA(hEdit, EM_GETLINECOUNT, 0, 0));
            const int nVisible = VisibleLines(hEdit);
            EXPECT_EQ(row.nCreditLines, nLines);
            ASSERT_GT(nVisible, 2) << "the credits show too few lines";
            EXPECT_EQ(0, bar.GetMin()) << row.nCreditLines;
            EXPECT_EQ(nLines > nVisible ? nLines : nVisible, bar.GetMax()) << row.nCreditLines;
            EXPECT_EQ(nVisible, bar.GetPage()) << row.nCreditLines;
            EXPECT_EQ(0, bar.GetPos()) << row.nCreditLines;
            // The credits open at their first line, nothing selected: OK has the focus.
            EXPECT_EQ(0, FirstVisibleLine(hEdit)) << row.nCreditLines;
            EXPECT_EQ(::GetDlgItem(pDlg->m_hWnd, IDOK), ::GetFocus()) << row.nCreditLines;
            DWORD nStart = 1, nEnd = 2;
            ::SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
            EXPECT_EQ(nStart, nEnd) << row.nCreditLines;
            EXPECT_EQ(row.bScrolls, bool(bar.IsWindowEnabled())) << row.nCreditLines;
            EXPECT_EQ(row.bScrolls ? SBA_SECOND : 0, bar.GetArrowBits() & (SBA_FIRST | SBA_SECOND))
                << row.nCreditLines;
            // Along the edit's right side, as tall as the edit.
            const RECT rcEdit = ChildRect(pDlg->m_hWnd, hEdit);
            const RECT rcBar = ChildRect(pDlg->m_hWnd, bar.m_hWnd);
            EXPECT_EQ(rcEdit.right, rcBar.left);
            EXPECT_EQ(rcEdit.top, rcBar.top);
            EXPECT_EQ(rcEdit.bottom, rcBar.bottom);
        });
    }
}

TEST(DlgAbout, ScrollBarScrollsTheCredits)
{
    CAboutLanguage language(40);
    RunAbout([](CDlgAbout* pDlg) {
        const HWND hDlg = pDlg->m_hWnd;
        const HWND hEdit = ::GetDlgItem(hDlg, kCredits);
        C3DScrollBar& bar = pDlg->GetScrollBar();
        ASSERT_NE(nullptr, bar.m_hWnd);
        const int nPage = bar.GetPage();
        const int nLast = 40 - nPage;
        ASSERT_GT(nLast, nPage + 6);
        const struct {
            const char* pszName;
            int nCode;
            int nTrack;
            int nExpected;
        } rows[] = {
            {"line up at the top", SB_LINEUP, 0, 0},
            {"line down", SB_LINEDOWN, 0, 1},
            {"page down", SB_PAGEDOWN, 0, 1 + nPage},
            {"thumb track", SB_THUMBTRACK, 5, 5},
            {"thumb position is left to the tracking", SB_THUMBPOSITION, 9, 5},
            {"end of scroll", SB_ENDSCROLL, 0, 5},
            {"bottom", SB_BOTTOM, 0, nLast},
            {"line down at the bottom", SB_LINEDOWN, 0, nLast},
            {"page down at the bottom", SB_PAGEDOWN, 0, nLast},
            {"page up", SB_PAGEUP, 0, nLast - nPage},
            {"thumb track beyond the end", SB_THUMBTRACK, 1000, nLast},
            {"top", SB_TOP, 0, 0},
            {"page up at the top", SB_PAGEUP, 0, 0},
            {"page down again", SB_PAGEDOWN, 0, nPage},
        };
        for (const auto& row : rows) {
            ::SendMessageA(hDlg, WM_VSCROLL, MAKEWPARAM(row.nCode, row.nTrack),
                           reinterpret_cast<LPARAM>(bar.m_hWnd));
            EXPECT_EQ(row.nExpected, bar.GetPos()) << row.pszName;
            EXPECT_EQ(row.nExpected, FirstVisibleLine(hEdit)) << row.pszName;
            EXPECT_EQ(ArrowsAt(row.nExpected, nLast), bar.GetArrowBits() & (SBA_FIRST | SBA_SECOND)) << row.pszName;
        }
        // The window's own scroll bars are not the credits'.
        ::SendMessageA(hDlg, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
        EXPECT_EQ(nPage, bar.GetPos());
    });
}

TEST(DlgAbout, ScrollBarFollowsTheCredits)
{
    CAboutLanguage language(40);
    RunAbout([](CDlgAbout* pDlg) {
        const HWND hEdit = ::GetDlgItem(pDlg->m_hWnd, kCredits);
        C3DScrollBar& bar = pDlg->GetScrollBar();
        ASSERT_NE(nullptr, bar.m_hWnd);
        const int nLast = bar.GetLastPos();
        const struct {
            const char* pszName;
            UINT nMessage;
            WPARAM wParam;
        } rows[] = {
            {"the edit pages down", WM_VSCROLL, SB_PAGEDOWN},
            {"the edit scrolls a line", WM_VSCROLL, SB_LINEDOWN},
            {"the wheel turns down", WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA)},
            {"the edit scrolls to its end", WM_VSCROLL, SB_BOTTOM},
            {"the wheel turns up", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
            {"the edit scrolls to its top", WM_VSCROLL, SB_TOP},
            {"Page Down in the edit", WM_KEYDOWN, VK_NEXT},
            {"Page Up in the edit", WM_KEYDOWN, VK_PRIOR},
        };
        int nBefore = FirstVisibleLine(hEdit);
        for (const auto& row : rows) {
            ::SendMessageA(hEdit, row.nMessage, row.wParam, 0);
            const int nFirst = FirstVisibleLine(hEdit);
            EXPECT_NE(nBefore, nFirst) << row.pszName << ": the edit did not scroll";
            EXPECT_EQ(nFirst, bar.GetPos()) << row.pszName;
            EXPECT_EQ(ArrowsAt(nFirst, nLast), bar.GetArrowBits() & (SBA_FIRST | SBA_SECOND)) << row.pszName;
            nBefore = nFirst;
        }
    });
}

// What the about box asked the shell to do.
struct SHELLCALL
{
    std::string strFile, strParameters;
};
std::vector<SHELLCALL> g_calls;
std::vector<INT_PTR> g_results;  // one per call; 42 when none is left

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR pszVerb, LPCSTR pszFile, LPCSTR pszParameters, LPCSTR, INT)
{
    EXPECT_STREQ("open", pszVerb);
    g_calls.push_back({pszFile != NULL ? pszFile : "", pszParameters != NULL ? pszParameters : ""});
    INT_PTR nResult = 42;
    if (!g_results.empty()) {
        nResult = g_results.front();
        g_results.erase(g_results.begin());
    }
    return reinterpret_cast<HINSTANCE>(nResult);
}

TEST(DlgAbout, LinksOpenTheirAddresses)
{
    const struct {
        const char* pszName;
        int nLink;
        std::vector<INT_PTR> results;
        std::vector<SHELLCALL> expected;
    } rows[] = {
        {"web", kWeb, {42}, {{"http://www.tarvenex.example", ""}}},
        {"web without a handler", kWeb, {SE_ERR_NOASSOC, 42},
         {{"http://www.tarvenex.example", ""}, {"iexplore.exe", "http://www.tarvenex.example"}}},
        {"web failing at 32", kWeb, {32, 2},
         {{"http://www.tarvenex.example", ""}, {"iexplore.exe", "http://www.tarvenex.example"}}},
        {"web at 33", kWeb, {33}, {{"http://www.tarvenex.example", ""}}},
        {"mail", kMail, {42}, {{"mailto:support@tarvenex.example?subject=Tarvenex", ""}}},
        {"mail without a handler", kMail, {SE_ERR_NOASSOC},
         {{"mailto:support@tarvenex.example?subject=Tarvenex", ""}}},
    };
    g_pfnShellExecute = RecordShellExecute;
    CAboutLanguage language(3);
    for (const auto& row : rows) {
        g_calls.clear();
        g_results = row.results;
        RunAbout([&](CDlgAbout* pDlg) {
            // A press on the link is its click.
            const HWND hLink = ::GetDlgItem(pDlg->m_hWnd, row.nLink);
            ::SendMessageA(hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            ::SendMessageA(hLink, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        });
        ASSERT_EQ(row.expected.size(), g_calls.size()) << row.pszName;
        for (size_t i = 0; i < g_calls.size(); i++) {
            EXPECT_EQ(row.expected[i].strFile, g_calls[i].strFile) << row.pszName << ", call " << i;
            EXPECT_EQ(row.expected[i].strParameters, g_calls[i].strParameters) << row.pszName << ", call " << i;
        }
    }
    g_pfnShellExecute = ::ShellExecuteA;
}

TEST(DlgAbout, AddressesFromLinkTexts)
{
    const struct {
        const char* pszText;
        const char* pszWeb;
        const char* pszMail;
    } rows[] = {
        {"www.tarvenex.example", "http://www.tarvenex.example", "mailto:www.tarvenex.example?subject=Tarvenex"},
        {"http://www.tarvenex.example/x", "http://www.tarvenex.example/x",
         "mailto:http://www.tarvenex.example/x?subject=Tarvenex"},
        {"HTTP://WWW.TARVENEX.EXAMPLE", "HTTP://WWW.TARVENEX.EXAMPLE",
         "mailto:HTTP://WWW.TARVENEX.EXAMPLE?subject=Tarvenex"},
        {"https://www.tarvenex.example", "https://www.tarvenex.example",
         "mailto:https://www.tarvenex.example?subject=Tarvenex"},
        {"http:/short", "http://http:/short", "mailto:http:/short?subject=Tarvenex"},
        {"", "http://", "mailto:?subject=Tarvenex"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(row.pszWeb, MakeWebAddress(row.pszText)) << row.pszText;
        EXPECT_STREQ(row.pszMail, MakeMailAddress(row.pszText)) << row.pszText;
    }
}

}  // namespace
