// The property sheet on real windows, from the test page templates, run
// modally and worked through the framework's test seam: the page controls
// moved into the sheet at their page positions, pages switched by the tab
// strip or by Back and Next, the wizard buttons, the side picture, the free
// control id, and page tooltips that follow the page on show.
#include "ui3d/dialogs/3DPropertySheet.h"

#include "services/Languages.h"
#include "services/Messages.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "tests/tools/ButtonRows.h"
#include "tests/tools/Pump.h"
#include "tests/ui3d/gui/PropertySheetIds.h"
#include "ui3d/controls/3DStatic.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <set>
#include <string>

namespace {

class CSheetAnswerer : public CModalAnswerer
{
public:
    explicit CSheetAnswerer(std::function<INT_PTR(C3DPropertySheet*)> fn) : m_fn(fn)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CSheetAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        m_bAsked = true;
        return m_fn(static_cast<C3DPropertySheet*>(pDialog));
    }
    bool m_bAsked = false;

private:
    std::function<INT_PTR(C3DPropertySheet*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

// Queues one tooltip on each of the first two pages as the options sheet
// does, and records what AddPageTool answered.
class CTestSheet : public C3DPropertySheet
{
public:
    using C3DPropertySheet::C3DPropertySheet;
    void OnInitPageControls() override
    {
        m_nToolCheck = AddPageTool("Opens at start", IDC_PS_CHECK, "Start");
        m_nToolRadio = AddPageTool("Flat cells", IDC_PS_RADIO1, "Look");
        m_nToolNone = AddPageTool("nobody's", 4242, "none");
        m_nInitPageControls++;
    }
    BOOL OnInitSheet() override
    {
        m_nInitSheet++;
        return TRUE;
    }
    int m_nToolCheck = -1, m_nToolRadio = -1, m_nToolNone = -1;
    int m_nInitPageControls = 0, m_nInitSheet = 0;
};

const int kTabHeight = 24;

PROPSHEETARGS Args(int bWizard, const UINT* pIds, const LPCSTR* ppTitles, const TABSELPARAMS* pLook,
                   const TOOLTIPSTYLE* pTips)
{
    PROPSHEETARGS a;
    a.bWizard = bWizard;
    a.pPageIds = pIds;
    a.ppTitles = ppTitles;
    a.pTabLook = pLook;
    a.nTabHeight = kTabHeight;
    a.pToolTipStyle = pTips;
    return a;
}

// A rectangle of the sheet's child in the sheet's client coordinates.
RECT ChildRect(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(NULL, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

RECT Dlu(HWND hDlg, int x, int y, int cx, int cy)
{
    RECT rc = {x, y, x + cx, y + cy};
    MapDialogRect(hDlg, &rc);
    return rc;
}

bool Visible(HWND hWnd)
{
    return (GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The windows the sheet's tooltip has tools for.
std::set<HWND> ToolWindows(C3DPropertySheet* p)
{
    std::set<HWND> found;
    for (UINT nId = 1; nId < 256 && static_cast<int>(found.size()) < p->m_ToolTip.GetToolCount(); nId++) {
        const C3DToolTip::CTool* pTool = p->m_ToolTip.FindTool(nId);
        if (pTool != NULL)
            found.insert(pTool->hWnd);
    }
    return found;
}

std::string Text(HWND hWnd)
{
    char sz[128] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

class SkinnedSheet : public testing::Test
{
protected:
    void TearDown() override { PumpPending(); }
    TABSELPARAMS look;
    TOOLTIPSTYLE tips;
};

TEST_F(SkinnedSheet, TabModeMovesVisiblePageControlsAndSizesToTheLargestPage)
{
    const UINT ids[] = {IDD_PS_GENERAL, IDD_PS_MISSING, IDD_PS_LOOK, 0};
    const LPCSTR titles[] = {"First", NULL};
    CTestSheet sheet(NULL, FALSE, Args(FALSE, ids, titles, &look, NULL));
    CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
        HWND h = p->m_hWnd;
        // The missing template gave neither a page nor a tab; the explicit
        // title renamed only the first page.
        EXPECT_EQ(2, p->GetPageCount());
        EXPECT_EQ(2, p->m_TabSel.GetTabCount());
        EXPECT_EQ("First", std::string(p->GetPage(0).strTitle));
        EXPECT_EQ("Look", std::string(p->GetPage(1).strTitle));
        EXPECT_EQ(p->GetPage(0).nTabId, p->m_TabSel.GetTabAt(0).nId);
        EXPECT_EQ(p->GetPage(1).nTabId, p->m_TabSel.GetTabAt(1).nId);

        // Not taken over: the page's hidden control and its own OK and
        // Cancel; the sheet's OK and Cancel stand below the page frame.
        EXPECT_EQ(NULL, GetDlgItem(h, IDC_PS_HIDDEN));
        EXPECT_EQ(5, p->GetPage(0).controls.GetSize()) << "group, text, check, edit, combo";
        EXPECT_EQ(5, p->GetPage(1).controls.GetSize());
        for (int i = 0; i < 2; i++) {
            for (int j = 0; j < p->GetPage(i).controls.GetSize(); j++) {
                const int nId = GetDlgCtrlID(p->GetPage(i).controls[j]);
                EXPECT_TRUE(nId != IDOK && nId != IDCANCEL) << "page " << i << " control " << j;
            }
        }

        // Geometry: W and H are the largest page width (General) and height
        // (Look); page controls keep their own places, moved by (L, T + A + 8).
        const RECT general = Dlu(h, 0, 0, 200, 96), lookPage = Dlu(h, 0, 0, 150, 120);
        const int W = general.right, H = lookPage.bottom, T = kTabHeight, A = 2, L = 7;
        RECT rcClient;
        GetClientRect(h, &rcClient);
        EXPECT_EQ(W + 14, rcClient.right);
        EXPECT_EQ(T + H + A + 49, rcClient.bottom);
        const RECT area = p->GetPageArea();
        EXPECT_EQ(L, area.left);
        EXPECT_EQ(T + 8, area.top);
        EXPECT_EQ(L + W, area.right);
        EXPECT_EQ(T + H + A + 8, area.bottom);
        EXPECT_EQ(T, ChildRect(p->m_TabSel.m_hWnd).bottom - ChildRect(p->m_TabSel.m_hWnd).top);

        struct
        {
            int nId;
            int x, y;  // dialog units on the page
        } placed[] = {{IDC_PS_GROUP, 6, 4}, {IDC_PS_TEXT, 14, 16}, {IDC_PS_CHECK, 14, 30}, {IDC_PS_EDIT, 14, 44},
                      {IDC_PS_RADIO2, 12, 36}, {IDC_PS_TAKEN2, 12, 68}};
        for (const auto& row : placed) {
            HWND hCtrl = GetDlgItem(h, row.nId);
            if (hCtrl == NULL) {
                ADD_FAILURE() << "control " << row.nId << " missing";
                continue;
            }
            EXPECT_EQ(h, GetParent(hCtrl)) << "control " << row.nId;
            const RECT want = Dlu(h, row.x, row.y, 1, 1);
            const RECT got = ChildRect(hCtrl);
            EXPECT_EQ(want.left + L, got.left) << "control " << row.nId;
            EXPECT_EQ(want.top + T + A + 8, got.top) << "control " << row.nId;
        }
        // OK and Cancel at the bottom right, ending under the frame's right
        // edge (the sheet's 7-pixel margin), 4 dialog units apart.
        const RECT ok = ChildRect(GetDlgItem(h, IDOK)), cancel = ChildRect(GetDlgItem(h, IDCANCEL));
        EXPECT_EQ(L + W, cancel.right);
        EXPECT_EQ(81, cancel.right - cancel.left);
        EXPECT_EQ(81, ok.right - ok.left);
        EXPECT_EQ(T + H + A + 18, ok.top);
        EXPECT_EQ(T + H + A + 41, ok.bottom);
        for (const std::string& strProblem : ButtonRowProblems(h, BUTTONROW_RIGHT, 7, 8))
            ADD_FAILURE() << strProblem;

        // The replaced statics and group box are listed by their new windows.
        for (int i = 0; i < p->GetPage(0).controls.GetSize(); i++) {
            HWND hCtrl = p->GetPage(0).controls[i];
            EXPECT_TRUE(IsWindow(hCtrl)) << "page 0 control " << i;
            EXPECT_EQ(GetDlgItem(h, GetDlgCtrlID(hCtrl)), hCtrl) << "page 0 control " << i;
        }
        EXPECT_TRUE(p->IsSkinnedControl(GetDlgItem(h, IDC_PS_TEXT)));

        // The tab order (the Z order of the sheet's children) keeps the
        // template's order, first page before second, buttons last.
        const int ordered[] = {IDC_PS_GROUP, IDC_PS_TEXT, IDC_PS_CHECK, IDC_PS_EDIT, IDC_PS_COMBO, IDC_PS_LOOKTEXT,
                               IDC_PS_RADIO1, IDC_PS_RADIO2, IDC_PS_TAKEN1, IDC_PS_TAKEN2, IDOK, IDCANCEL};
        const std::set<int> named(std::begin(ordered), std::end(ordered));
        std::string order, want;
        for (int nId : ordered)
            want += std::to_string(nId) + " ";
        for (HWND c = GetWindow(h, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
            if (named.count(GetDlgCtrlID(c)) != 0)
                order += std::to_string(GetDlgCtrlID(c)) + " ";
        }
        EXPECT_EQ(want, order);

        // The first page shows, the other waits; the tab strip switches.
        EXPECT_TRUE(Visible(GetDlgItem(h, IDC_PS_CHECK)));
        EXPECT_FALSE(Visible(GetDlgItem(h, IDC_PS_RADIO1)));
        p->m_TabSel.SelectTab(p->GetPage(1).nTabId);
        EXPECT_EQ(1, p->GetActivePage());
        for (int j = 0; j < p->GetPage(0).controls.GetSize(); j++)
            EXPECT_FALSE(Visible(p->GetPage(0).controls[j])) << "page 0 control " << j;
        for (int j = 0; j < p->GetPage(1).controls.GetSize(); j++)
            EXPECT_TRUE(Visible(p->GetPage(1).controls[j])) << "page 1 control " << j;
        return IDCANCEL;
    });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    EXPECT_TRUE(answer.m_bAsked);
    EXPECT_EQ(1, sheet.m_nInitSheet);
    EXPECT_EQ(1, sheet.m_nInitPageControls);
}

TEST_F(SkinnedSheet, RunsTwiceWithOneTabPerPage)
{
    const UINT ids[] = {IDD_PS_GENERAL, IDD_PS_LOOK, 0};
    CTestSheet sheet(NULL, FALSE, Args(FALSE, ids, NULL, &look, NULL));
    for (int nRun = 1; nRun <= 2; nRun++) {
        CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
            EXPECT_EQ(2, p->GetPageCount()) << "run " << nRun;
            EXPECT_EQ(2, p->m_TabSel.GetTabCount()) << "run " << nRun;
            p->m_TabSel.SelectTab(p->GetPage(1).nTabId);
            EXPECT_EQ(1, p->GetActivePage()) << "run " << nRun;
            EXPECT_TRUE(Visible(GetDlgItem(p->m_hWnd, IDC_PS_RADIO1))) << "run " << nRun;
            return IDOK;
        });
        EXPECT_EQ(IDOK, sheet.DoModal()) << "run " << nRun;
    }
}

TEST_F(SkinnedSheet, FreeIdSkipsEveryPageControlAndNamesTheFrame)
{
    // The Look page holds 1000 and 1001, the first page neither.
    struct
    {
        const char* pszName;
        UINT ids[3];
        UINT nFree;
    } rows[] = {
        {"general only", {IDD_PS_GENERAL, 0, 0}, 1000},
        {"with the look page", {IDD_PS_GENERAL, IDD_PS_LOOK, 0}, 1002},
    };
    for (const auto& row : rows) {
        CTestSheet sheet(NULL, FALSE, Args(FALSE, row.ids, NULL, &look, NULL));
        CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
            EXPECT_EQ(row.nFree, p->GetFreeCtrlId()) << row.pszName;
            HWND hFrame = GetDlgItem(p->m_hWnd, row.nFree);
            EXPECT_TRUE(hFrame != NULL) << row.pszName;
            if (hFrame != NULL) {
                const RECT rc = ChildRect(hFrame), area = p->GetPageArea();
                EXPECT_TRUE(EqualRect(&rc, &area)) << row.pszName << ": the page frame";
            }
            return IDOK;
        });
        EXPECT_EQ(IDOK, sheet.DoModal()) << row.pszName;
    }
}

TEST_F(SkinnedSheet, WizardStepsThroughPagesWithBackNextAndFinish)
{
    const UINT ids[] = {IDD_PS_GENERAL, IDD_PS_LOOK, IDD_PS_SMALL, 0};
    CTestSheet sheet(NULL, FALSE, Args(TRUE, ids, NULL, NULL, NULL));
    CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
        HWND h = p->m_hWnd;
        EXPECT_TRUE(p->m_TabSel.m_hWnd == NULL) << "no tabs in wizard mode";
        for (int i = 0; i < p->GetPageCount(); i++)
            EXPECT_EQ(i + 1, p->GetPage(i).nTabId) << "page " << i;
        // No tab strip: the page frame starts 8 below the top, the buttons
        // below the tallest page.
        const int H = Dlu(h, 0, 0, 150, 120).bottom;
        EXPECT_EQ(8, p->GetPageArea().top);
        // Back, Next and Cancel 4 dialog units apart; these pages are too
        // narrow for the row to end at the frame's right, so it starts at
        // the frame's left.
        const int nGap = Dlu(h, 0, 0, 4, 1).right;
        const int nIds[] = {IDC_SHEET_BACK, IDC_SHEET_NEXT, IDCANCEL};
        const int xRow = std::max<int>(p->GetPageArea().left, p->GetPageArea().right - 3 * 81 - 2 * nGap);
        for (int i = 0; i < 3; i++) {
            const RECT rc = ChildRect(GetDlgItem(h, nIds[i]));
            EXPECT_EQ(xRow + i * (81 + nGap), rc.left) << "button " << nIds[i];
            EXPECT_EQ(81, rc.right - rc.left) << "button " << nIds[i];
            EXPECT_EQ(H + 18, rc.top) << "button " << nIds[i];
        }

        auto click = [&](int nId) { p->SendMessage(WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0); };
        auto expectPage = [&](int nPage, bool bBack, bool bFinish, int nLine) {
            SCOPED_TRACE(testing::Message() << "page " << nPage << ", checked at line " << nLine);
            EXPECT_EQ(nPage, p->GetActivePage());
            for (int i = 0; i < p->GetPageCount(); i++) {
                for (int j = 0; j < p->GetPage(i).controls.GetSize(); j++)
                    EXPECT_EQ(i == nPage, Visible(p->GetPage(i).controls[j])) << "page " << i << " control " << j;
            }
            EXPECT_EQ(bBack, IsWindowEnabled(GetDlgItem(h, IDC_SHEET_BACK)) != 0);
            // Finish is the Next button under the id of OK, so that it ends
            // the sheet through OnOK.
            EXPECT_EQ(bFinish, GetDlgItem(h, IDC_SHEET_NEXT) == NULL);
            HWND hNext = GetDlgItem(h, bFinish ? IDOK : IDC_SHEET_NEXT);
            ASSERT_TRUE(hNext != NULL);
            EXPECT_EQ(GetLangString(bFinish ? 529 : 527), Text(hNext));
        };

        expectPage(0, false, false, __LINE__);
        p->PrevPage();
        expectPage(0, false, false, __LINE__);
        click(IDC_SHEET_NEXT);
        expectPage(1, true, false, __LINE__);
        click(IDC_SHEET_NEXT);
        expectPage(2, true, true, __LINE__);
        click(IDC_SHEET_BACK);
        expectPage(1, true, false, __LINE__);
        click(IDC_SHEET_NEXT);
        expectPage(2, true, true, __LINE__);
        // Next on the last page is OK, wherever the focus is (Enter on a
        // choice comes here through the dialog manager).
        SetFocus(GetDlgItem(h, IDC_SHEET_BACK));
        p->NextPage();
        EXPECT_FALSE(p->ContinueModal()) << "Finish ends the sheet";
        return -1;
    });
    EXPECT_EQ(IDOK, sheet.DoModal());
    EXPECT_TRUE(answer.m_bAsked);
}

TEST_F(SkinnedSheet, WizardFinishButtonEndsTheSheetAndCancelCancels)
{
    const UINT ids[] = {IDD_PS_SMALL, 0};
    for (int nEnd : {IDOK, IDCANCEL}) {
        CTestSheet sheet(NULL, FALSE, Args(TRUE, ids, NULL, NULL, NULL));
        CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
            // One page: it is the last, so its button is Finish from the start.
            HWND hEnd = GetDlgItem(p->m_hWnd, nEnd);
            EXPECT_TRUE(hEnd != NULL) << "end " << nEnd;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(p->m_hWnd, IDC_SHEET_BACK)));
            SetFocus(hEnd);
            p->SendMessage(WM_COMMAND, MAKEWPARAM(nEnd, BN_CLICKED), reinterpret_cast<LPARAM>(hEnd));
            return -1;
        });
        EXPECT_EQ(nEnd, sheet.DoModal()) << "end " << nEnd;
    }
}

TEST_F(SkinnedSheet, SidePictureWidensTheSheetAndIsCentredVertically)
{
    const UINT ids[] = {IDD_PS_SMALL, 0};
    PROPSHEETARGS args = Args(TRUE, ids, NULL, NULL, NULL);
    args.nImage1 = IDG_PS_SIDE;
    args.nImage2 = IDG_PS_SIDE_MASK;
    CTestSheet sheet(NULL, FALSE, args);
    CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
        HWND h = p->m_hWnd;
        // The frame has the free id too; the picture is the static with it.
        HWND hImage = NULL;
        for (HWND c = GetWindow(h, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
            CWnd* pWnd = CWnd::FromHandlePermanent(c);
            if (dynamic_cast<C3DStatic*>(pWnd) != NULL && GetDlgCtrlID(c) == int(p->GetFreeCtrlId()))
                hImage = c;
        }
        if (hImage == NULL) {
            ADD_FAILURE() << "no side picture";
            return IDCANCEL;
        }
        const RECT rc = ChildRect(hImage);
        EXPECT_EQ(7, rc.left);
        EXPECT_EQ(64, rc.right - rc.left) << "the picture's own width";
        EXPECT_EQ(168, rc.bottom - rc.top);
        const int S = 7 + 64;
        RECT client;
        GetClientRect(h, &client);
        EXPECT_EQ((client.bottom - 168) / 2, rc.top);
        EXPECT_EQ(S + 7, p->GetPageArea().left);
        EXPECT_EQ(S + 7 + Dlu(h, 6, 0, 1, 1).left, ChildRect(GetDlgItem(h, IDC_PS_SMALLTEXT)).left);
        EXPECT_EQ(S + 7, ChildRect(GetDlgItem(h, IDC_SHEET_BACK)).left);
        EXPECT_EQ(S + Dlu(h, 0, 0, 80, 30).right + 14, client.right);
        return IDCANCEL;
    });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
}

TEST_F(SkinnedSheet, PageToolTipsFollowThePageOnShow)
{
    const UINT ids[] = {IDD_PS_GENERAL, IDD_PS_LOOK, 0};
    CTestSheet sheet(NULL, FALSE, Args(FALSE, ids, NULL, &look, &tips));
    CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
        HWND h = p->m_hWnd;
        CTestSheet* pSheet = static_cast<CTestSheet*>(p);
        EXPECT_EQ(1, pSheet->m_nToolCheck);
        EXPECT_EQ(1, pSheet->m_nToolRadio);
        EXPECT_EQ(0, pSheet->m_nToolNone) << "no page holds the control";
        EXPECT_EQ(std::set<HWND>{GetDlgItem(h, IDC_PS_CHECK)}, ToolWindows(p));

        // Queued now for the page that is not shown: it waits for that page.
        EXPECT_EQ(1, p->AddPageTool("Raised cells", IDC_PS_RADIO2, "Look"));
        EXPECT_EQ(std::set<HWND>{GetDlgItem(h, IDC_PS_CHECK)}, ToolWindows(p));
        p->m_TabSel.SelectTab(p->GetPage(1).nTabId);
        const std::set<HWND> second = {GetDlgItem(h, IDC_PS_RADIO1), GetDlgItem(h, IDC_PS_RADIO2)};
        EXPECT_EQ(second, ToolWindows(p));
        p->m_TabSel.SelectTab(p->GetPage(0).nTabId);
        EXPECT_EQ(std::set<HWND>{GetDlgItem(h, IDC_PS_CHECK)}, ToolWindows(p));
        return IDCANCEL;
    });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
}

TEST_F(SkinnedSheet, FocusInAHiddenPageMovesToTheShownOne)
{
    const UINT ids[] = {IDD_PS_GENERAL, IDD_PS_LOOK, 0};
    CTestSheet sheet(NULL, FALSE, Args(FALSE, ids, NULL, &look, NULL));
    CSheetAnswerer answer([&](C3DPropertySheet* p) -> INT_PTR {
        HWND h = p->m_hWnd;
        SetFocus(GetDlgItem(h, IDC_PS_EDIT));
        EXPECT_EQ(GetDlgItem(h, IDC_PS_EDIT), GetFocus());
        p->m_TabSel.SelectTab(p->GetPage(1).nTabId);
        HWND hFocus = GetFocus();
        EXPECT_TRUE(hFocus != NULL && Visible(hFocus)) << "focus left on a hidden control";
        return IDCANCEL;
    });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
}

}  // namespace
