// The tip of the day on real windows: the first tip from the stored setting,
// stepping with wrap-around at both ends, what is stored when the dialog
// goes, the paper and the dialog growing and shrinking with the tip, every
// tip's picture, and the paper blended over the dialog.
#include "dialogs/DlgTip.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "collection/ImageReader.h"
#include "dialogs/TipCtrl.h"
#include "framework/Framework.h"
#include "resources/resource.h"
#include "tests/dialogs/gui/WorkingAnswerer.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/controls/ControlPaint.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

// The language entry of each tip's text, in the order the dialog shows them.
const int kTipTexts[] = {572, 575, 549, 552, 539, 554, 541, 548, 536, 550, 537, 551, 542,
                         547, 538, 555, 540, 544, 543, 553, 545, 558, 546, 556, 557};
const int kTipCount = sizeof(kTipTexts) / sizeof(kTipTexts[0]);

// A language whose entry n reads "L<n>", unless a text is given for it.
class CTestLanguage
{
public:
    explicit CTestLanguage(const std::map<int, std::string>& texts = {})
    {
        const int nCount = 600;
        m_language.m_nCount = nCount;
        m_language.m_ppStrings = static_cast<char**>(calloc(nCount, sizeof(char*)));
        for (int n = 0; n < nCount; n++) {
            const auto it = texts.find(n);
            const std::string str = it != texts.end() ? it->second : "L" + std::to_string(n);
            m_language.m_ppStrings[n] = static_cast<char*>(malloc(str.size() + 1));
            memcpy(m_language.m_ppStrings[n], str.c_str(), str.size() + 1);
        }
        m_pPrevious = g_pCurrentLanguage;
        g_pCurrentLanguage = &m_language;
    }
    ~CTestLanguage() { g_pCurrentLanguage = m_pPrevious; }

private:
    CLanguage m_language;
    CLanguage* m_pPrevious;
};

std::string TipText(int nTip)
{
    return "L" + std::to_string(kTipTexts[nTip]);
}

RECT ChildRect(HWND hDlg, int nId)
{
    RECT rc = {0, 0, 0, 0};
    const HWND hChild = ::GetDlgItem(hDlg, nId);
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void Click(HWND hDlg, int nId)
{
    ::SendDlgItemMessageA(hDlg, nId, BM_CLICK, 0, 0);
    PumpPending();
}

// Runs the tip dialog with the stored setting, lets the action work it
// while it runs, ends it with OK, and returns the setting it stored.
class TipOfTheDay : public testing::Test
{
protected:
    void SetUp() override
    {
        RegisterControlMessages();
        m_nSavedTip = g_Settings.ShowTipsOfTheDay;
        m_nSavedFade = g_Settings.FadeDialogs;
        g_Settings.FadeDialogs = 0;
    }
    void TearDown() override
    {
        g_Settings.ShowTipsOfTheDay = m_nSavedTip;
        g_Settings.FadeDialogs = m_nSavedFade;
    }

    int Run(int nStored, const std::function<void(CDlgTip&)>& action)
    {
        g_Settings.ShowTipsOfTheDay = nStored;
        CWorkingAnswerer<CDlgTip> answerer([&action](CDlgTip* pDlg) { action(*pDlg); });
        {
            CDlgTip dlg(NULL);
            EXPECT_NE(0, dlg.Show());
        }
        EXPECT_EQ(1, answerer.nAsked);
        return g_Settings.ShowTipsOfTheDay;
    }

    int m_nSavedTip = 0;
    int m_nSavedFade = 0;
};

TEST_F(TipOfTheDay, OpensAtTheStoredTipAndStoresTheOneAfterIt)
{
    CTestLanguage language;
    const struct {
        int nStored;
        int nShown;
        int nStoredAfter;
    } rows[] = {
        {0, 0, 1}, {12, 12, 13}, {23, 23, 24}, {24, 24, 0}, {30, 24, 0}, {1000, 24, 0}, {-1, 0, 1}, {-7, 0, 1},
    };
    for (const auto& row : rows) {
        int nShown = -1;
        std::string strText, strCaption, strCheck;
        UINT nCheck = 0;
        const int nStoredAfter = Run(row.nStored, [&](CDlgTip& dlg) {
            nShown = dlg.GetTipIndex();
            strText = static_cast<LPCSTR>(dlg.GetTipCtrl()->GetText());
            char sz[64] = "";
            ::GetWindowTextA(dlg.m_hWnd, sz, sizeof(sz));
            strCaption = sz;
            ::GetDlgItemTextA(dlg.m_hWnd, IDC_TIP_SHOWATSTART, sz, sizeof(sz));
            strCheck = sz;
            nCheck = static_cast<UINT>(::SendDlgItemMessageA(dlg.m_hWnd, IDC_TIP_SHOWATSTART, BM_GETCHECK, 0, 0));
        });
        const std::string where = "stored " + std::to_string(row.nStored);
        EXPECT_EQ(row.nShown, nShown) << where;
        EXPECT_EQ(TipText(row.nShown), strText) << where;
        EXPECT_EQ("L204", strCaption) << where;
        EXPECT_EQ("L208", strCheck) << where;
        EXPECT_EQ(UINT(BST_CHECKED), nCheck) << where;
        EXPECT_EQ(row.nStoredAfter, nStoredAfter) << where;
    }
}

TEST_F(TipOfTheDay, NextAndPreviousWrapAtBothEnds)
{
    CTestLanguage language;
    const struct {
        int nStored;
        std::vector<int> buttons;
        std::vector<int> shown;  // after each button
        int nStoredAfter;
    } rows[] = {
        {0, {IDC_TIP_PREVIOUS, IDC_TIP_NEXT, IDC_TIP_NEXT}, {24, 0, 1}, 2},
        {23, {IDC_TIP_NEXT, IDC_TIP_NEXT, IDC_TIP_PREVIOUS, IDC_TIP_PREVIOUS}, {24, 0, 24, 23}, 24},
        {1, {IDC_TIP_PREVIOUS, IDC_TIP_PREVIOUS}, {0, 24}, 0},
    };
    for (const auto& row : rows) {
        std::vector<int> shown;
        std::vector<std::string> texts;
        const int nStoredAfter = Run(row.nStored, [&](CDlgTip& dlg) {
            for (int nId : row.buttons) {
                Click(dlg.m_hWnd, nId);
                shown.push_back(dlg.GetTipIndex());
                texts.push_back(static_cast<LPCSTR>(dlg.GetTipCtrl()->GetText()));
            }
        });
        const std::string where = "from " + std::to_string(row.nStored);
        EXPECT_EQ(row.shown, shown) << where;
        ASSERT_EQ(row.shown.size(), texts.size()) << where;
        for (size_t i = 0; i < texts.size(); i++)
            EXPECT_EQ(TipText(row.shown[i]), texts[i]) << where << ", step " << i;
        EXPECT_EQ(row.nStoredAfter, nStoredAfter) << where;
    }
}

TEST_F(TipOfTheDay, ClearedShowAtStartStoresMinusOne)
{
    CTestLanguage language;
    const struct {
        int nClicks;
        int nStored;
        int nStoredAfter;
    } rows[] = {
        {1, 5, -1},
        {1, 24, -1},
        {2, 5, 6},  // ticked again
    };
    for (const auto& row : rows) {
        int bShowAtStart = -1;
        const int nStoredAfter = Run(row.nStored, [&](CDlgTip& dlg) {
            for (int n = 0; n < row.nClicks; n++)
                Click(dlg.m_hWnd, IDC_TIP_SHOWATSTART);
            bShowAtStart = dlg.GetShowAtStart();
        });
        const std::string where = std::to_string(row.nClicks) + " clicks";
        EXPECT_EQ(row.nClicks % 2 == 0, bShowAtStart != 0) << where;
        EXPECT_EQ(row.nStoredAfter, nStoredAfter) << where;
    }
}

// The note paper around the controls after every step: the buttons right of
// it, the check box below it, the paper exactly as high as its pieces.
void ExpectLaidOut(CDlgTip& dlg, const std::string& where)
{
    const HWND hDlg = dlg.m_hWnd;
    const CTipCtrl* pTip = dlg.GetTipCtrl();
    const RECT rcTip = ChildRect(hDlg, IDC_TIP_NOTE);
    EXPECT_EQ(rcTip.right, ChildRect(hDlg, IDOK).left) << where;
    EXPECT_EQ(rcTip.right, ChildRect(hDlg, IDC_TIP_NEXT).left) << where;
    EXPECT_EQ(rcTip.right, ChildRect(hDlg, IDC_TIP_PREVIOUS).left) << where;
    EXPECT_EQ(rcTip.bottom, ChildRect(hDlg, IDC_TIP_SHOWATSTART).top) << where;
    EXPECT_EQ(pTip->GetPaperWidth(), rcTip.right - rcTip.left) << where;
    EXPECT_EQ(pTip->GetPieceHeight(0) + pTip->GetMiddleCount() * pTip->GetPieceHeight(1) + pTip->GetPieceHeight(2),
              rcTip.bottom - rcTip.top)
        << where;
    RECT rcClient;
    ::GetClientRect(hDlg, &rcClient);
    EXPECT_LE(ChildRect(hDlg, IDC_TIP_SHOWATSTART).bottom, rcClient.bottom) << where;
    EXPECT_LE(ChildRect(hDlg, IDOK).right, rcClient.right) << where;
    RECT rcWindow, rcDesktop;
    ::GetWindowRect(hDlg, &rcWindow);
    ::GetWindowRect(::GetDesktopWindow(), &rcDesktop);
    EXPECT_TRUE(rcWindow.left >= rcDesktop.left && rcWindow.top >= rcDesktop.top &&
                rcWindow.right <= rcDesktop.right && rcWindow.bottom <= rcDesktop.bottom)
        << where;
}

TEST_F(TipOfTheDay, PaperAndDialogKeepTheHeightOfTheTallestTip)
{
    // Tip 3 has a short text, tip 5 a long one; neither has a picture. The
    // paper is as high as tip 5 needs on every tip, so the window and its
    // buttons never move while the user steps.
    std::string strLong;
    for (int n = 0; n < 8; n++)
        strLong += "A long tip that needs more paper than one middle piece gives. ";
    CTestLanguage language({{kTipTexts[3], "Short."}, {kTipTexts[5], strLong}});
    Run(3, [&](CDlgTip& dlg) {
        CTipCtrl* pTip = dlg.GetTipCtrl();
        ASSERT_NE(nullptr, pTip);
        ASSERT_GT(pTip->GetPieceHeight(1), 0);
        const int nMiddle = pTip->GetMiddleCount();
        EXPECT_GT(nMiddle, 1);
        ExpectLaidOut(dlg, "short tip");
        RECT rcFirst;
        ::GetWindowRect(dlg.m_hWnd, &rcFirst);

        const struct {
            UINT nButton;
            const char* pszWhere;
        } steps[] = {{IDC_TIP_NEXT, "tip with a picture"}, {IDC_TIP_NEXT, "long tip"},
                     {IDC_TIP_PREVIOUS, "back on the picture"}, {IDC_TIP_PREVIOUS, "short tip again"}};
        for (const auto& step : steps) {
            Click(dlg.m_hWnd, step.nButton);
            ExpectLaidOut(dlg, step.pszWhere);
            EXPECT_EQ(nMiddle, pTip->GetMiddleCount()) << step.pszWhere;
            RECT rc;
            ::GetWindowRect(dlg.m_hWnd, &rc);
            EXPECT_EQ(rcFirst.right - rcFirst.left, rc.right - rc.left) << step.pszWhere;
            EXPECT_EQ(rcFirst.bottom - rcFirst.top, rc.bottom - rc.top) << step.pszWhere;
            if (step.pszWhere == std::string("long tip")) {
                // The long text fits the paper's text place, grown by the
                // middle pieces beyond the first.
                EXPECT_GT(pTip->GetTextHeight(), CTipCtrl::s_rcText.bottom - CTipCtrl::s_rcText.top);
                EXPECT_LE(CTipCtrl::s_rcText.top + pTip->GetTextHeight(),
                          CTipCtrl::s_rcText.bottom + (nMiddle - 1) * pTip->GetPieceHeight(1));
            }
        }
    });
}

TEST_F(TipOfTheDay, EveryTipShowsItsPicture)
{
    CTestLanguage language;
    // Tips with a picture, and those of them blended through an opacity picture.
    const std::map<int, bool> pictures = {{0, true},   {1, false},  {2, false},  {4, false}, {6, false},
                                          {8, false},  {10, false}, {12, false}, {14, false}, {16, false},
                                          {18, true},  {20, true},  {22, true},  {24, true}};
    Run(0, [&](CDlgTip& dlg) {
        EXPECT_EQ(kTipCount, dlg.GetTipCount());
        for (int nTip = 0; nTip < kTipCount; nTip++) {
            const std::string where = "tip " + std::to_string(nTip);
            ASSERT_EQ(nTip, dlg.GetTipIndex()) << where;
            const CTipCtrl* pTip = dlg.GetTipCtrl();
            const auto it = pictures.find(nTip);
            if (it == pictures.end()) {
                EXPECT_EQ(nullptr, pTip->GetPicture()) << where;
            } else {
                ASSERT_NE(nullptr, pTip->GetPicture()) << where;
                EXPECT_EQ(it->second, pTip->GetPictureMask() != nullptr) << where;
                const CSize size = pTip->GetPicture()->GetReader()->GetSize();
                EXPECT_LE(size.cx, CTipCtrl::s_xPictureRight - CTipCtrl::s_xPictureLeft) << where;
                if (pTip->GetPictureMask() != nullptr) {
                    const CSize mask = pTip->GetPictureMask()->GetReader()->GetSize();
                    EXPECT_TRUE(mask.cx == size.cx && mask.cy == size.cy) << where;
                }
            }
            ExpectLaidOut(dlg, where);
            Click(dlg.m_hWnd, IDC_TIP_NEXT);
        }
        EXPECT_EQ(0, dlg.GetTipIndex());
    });
}

// A 32-bit picture of a window as it prints itself, or of its parent's
// background under it.
class CWindowPicture
{
public:
    CWindowPicture(HWND hWnd, bool bParentBackground)
    {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        m_cx = rc.right;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = rc.right;
        bmi.bmiHeader.biHeight = -rc.bottom;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        const HDC hScreen = ::GetDC(NULL);
        m_hDC = ::CreateCompatibleDC(hScreen);
        m_hBitmap = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), NULL, 0);
        ::ReleaseDC(NULL, hScreen);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        if (bParentBackground)
            PrintParentBackground(hWnd, m_hDC);
        else
            ::SendMessageA(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_hDC), PRF_CLIENT);
        ::GdiFlush();
    }
    ~CWindowPicture()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    COLORREF At(int x, int y) const
    {
        const BYTE* p = m_pBits + (size_t(y) * m_cx + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }

private:
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
    BYTE* m_pBits = nullptr;
    int m_cx;
};

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= nTolerance && abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

TEST_F(TipOfTheDay, PaperIsBlendedOverTheDialog)
{
    CTestLanguage language;
    Run(3, [&](CDlgTip& dlg) {
        const HWND hTip = dlg.GetTipCtrl()->m_hWnd;
        const CWindowPicture painted(hTip, false);
        const CWindowPicture background(hTip, true);
        const int yMiddle = dlg.GetTipCtrl()->GetPieceHeight(0) + dlg.GetTipCtrl()->GetPieceHeight(1) / 2;
        // Left of the sheet the paper is clear: the dialog shows through.
        EXPECT_EQ(background.At(1, yMiddle), painted.At(1, yMiddle));
        // On the sheet, left of the text, the paper's own yellow.
        EXPECT_TRUE(Near(RGB(255, 240, 150), painted.At(18, yMiddle), 6))
            << std::hex << painted.At(18, yMiddle);
    });
}

}  // namespace
