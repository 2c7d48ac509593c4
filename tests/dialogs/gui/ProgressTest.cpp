// The progress window on real windows: how the bar runs over the stages of an
// operation, and the one window that nested operations share.
#include "dialogs/Progress.h"
#include "collection/TvnxSave.h"
#include "services/Busy.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct STEP
{
    double dFraction;
    double dWeight;
    int nExpected;  // the bar's position afterwards
};

struct STAGEROW
{
    const char* pszName;
    std::vector<STEP> steps;
};

int BarPos()
{
    const CDlgAutoProgress* pDlg = CDlgAutoProgress::GetCurrent();
    if (pDlg == NULL || pDlg->m_hWnd == NULL)
        return -1;
    return int(::SendDlgItemMessageA(pDlg->m_hWnd, 1062, PBM_GETPOS, 0, 0));
}

std::string Title()
{
    const CDlgAutoProgress* pDlg = CDlgAutoProgress::GetCurrent();
    char sz[256] = "";
    if (pDlg != NULL)
        ::GetWindowTextA(pDlg->m_hWnd, sz, sizeof(sz));
    return sz;
}

class AutoProgress : public testing::Test
{
protected:
    void TearDown() override
    {
        CloseAutoProgress();
        EXPECT_EQ(nullptr, CDlgAutoProgress::GetCurrent());
    }
};

TEST_F(AutoProgress, RunsOnceOverAllStages)
{
    const double kThird = 65535.0 / 3;
    const STAGEROW rows[] = {
        {"single stage", {{0, 65535, 0}, {32767.5, 65535, 32767}, {65535, 65535, 65535}}},
        {"two stages 32767 then 32768",
         {{32767.5, 32767, 16383}, {65535, 32767, 32767}, {0, 32768, 32767}, {65535, 32768, 65535}}},
        {"two stages of equal weight",
         {{65535, 32767.5, 32767}, {0, 32767.5, 32767}, {32767.5, 32767.5, 49151}, {65535, 32767.5, 65535}}},
        {"three stages of equal weight, each starting past 0",
         {{kThird, 21845, 7281}, {65535, 21845, 21845},
          {kThird, 21845, 29126}, {65535, 21845, 43690},
          {kThird, 21845, 50971}, {65535, 21845, 65535}}},
        // 65535.0 / 7 * 7 and the like: a stage's last step may fall short of 65535.
        {"a stage ending a hair below 65535",
         {{65534.9999, 32767.5, 32767}, {0, 32767.5, 32767}, {65535, 32767.5, 65535}}},
        {"a repeated end stays in its stage",
         {{65535, 21845, 21845}, {65535, 21845, 21845}, {0, 21845, 21845}, {65535, 21845, 43690}}},
        {"falling back before the end stays in the stage",
         {{40000, 32768, 20000}, {10000, 32768, 5000}, {65535, 32768, 32768}}},
        {"held within the bar",
         {{-500, 65535, 0}, {70000, 65535, 65535}}},
        {"weights adding up beyond the bar",
         {{65535, 50000, 50000}, {32767.5, 30000, 65000}, {65535, 30000, 65535}}},
    };
    for (const STAGEROW& row : rows) {
        ASSERT_NE(0, ShowAutoProgress("Stages", NULL)) << row.pszName;
        for (size_t i = 0; i < row.steps.size(); i++) {
            const STEP& step = row.steps[i];
            EXPECT_EQ(1, UpdateAutoProgress(step.dFraction, step.dWeight)) << row.pszName << ", step " << i;
            EXPECT_EQ(step.nExpected, BarPos()) << row.pszName << ", step " << i;
        }
        CloseAutoProgress();
        ASSERT_EQ(nullptr, CDlgAutoProgress::GetCurrent()) << row.pszName;
    }
}

TEST_F(AutoProgress, UpdatesWithoutAWindowAreIgnored)
{
    ASSERT_EQ(nullptr, CDlgAutoProgress::GetCurrent());
    EXPECT_EQ(0, UpdateAutoProgress(100, 65535));
    CloseAutoProgress();
    // An object whose window is not made yet counts as no window.
    CDlgAutoProgress* pDlg = new CDlgAutoProgress(NULL);
    EXPECT_EQ(pDlg, CDlgAutoProgress::GetCurrent());
    EXPECT_EQ(0, UpdateAutoProgress(100, 65535));
    delete pDlg;
    EXPECT_EQ(nullptr, CDlgAutoProgress::GetCurrent());
}

TEST_F(AutoProgress, NestedOperationsShareTheFirstWindow)
{
    ASSERT_NE(0, ShowAutoProgress("Opening collection...", NULL));
    CDlgAutoProgress* pFirst = CDlgAutoProgress::GetCurrent();
    ASSERT_NE(nullptr, pFirst);
    EXPECT_TRUE(::IsWindowVisible(pFirst->m_hWnd));
    EXPECT_FALSE(pFirst->m_bFade);
    EXPECT_EQ(65535, int(::SendDlgItemMessageA(pFirst->m_hWnd, 1062, PBM_GETRANGE, FALSE, 0)));
    EXPECT_EQ(0, int(::SendDlgItemMessageA(pFirst->m_hWnd, 1062, PBM_GETRANGE, TRUE, 0)));
    UpdateAutoProgress(65535, 65535);

    EXPECT_EQ(0, ShowAutoProgress("Saving collection...", NULL));
    EXPECT_EQ(pFirst, CDlgAutoProgress::GetCurrent());
    EXPECT_EQ("Opening collection...", Title());

    // Closed, the next operation gets a window of its own, its bar from 0.
    CloseAutoProgress();
    EXPECT_EQ(nullptr, CDlgAutoProgress::GetCurrent());
    ASSERT_NE(0, ShowAutoProgress("Saving collection...", NULL));
    EXPECT_EQ("Saving collection...", Title());
    EXPECT_EQ(0, BarPos());
    UpdateAutoProgress(6553.5, 65535);
    EXPECT_EQ(6553, BarPos());
}

// The dialog keys reach the progress window as the application's loop gives them.
BOOL PreTranslateForProgress(MSG* pMsg)
{
    CDlgAutoProgress* pDlg = CDlgAutoProgress::GetCurrent();
    return pDlg != NULL && pDlg->m_hWnd != NULL && pDlg->PreTranslateMessage(pMsg);
}

TEST_F(AutoProgress, EscAndTheCloseBoxDuringASaveLeaveItUp)
{
    TvnxTempDir dir;
    TestCollection c;
    for (uint32_t i = 1; i <= 400; i++)
        c.records.push_back(Rec(i, "p" + std::to_string(i), Picture(i, 4000)));
    const std::string strOpen = dir.Path("big.tvnx"), strSaved = dir.Path("saved.tvnx");
    ASSERT_TRUE(WriteBytes(strOpen, c.Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(strOpen.c_str(), FALSE, 0));

    const BUSYHOOKS hooks = {NULL, PreTranslateForProgress, NULL};
    SetBusyHooks(&hooks);
    g_BusyEnabled = TRUE;
    ASSERT_TRUE(ShowAutoProgress("Saving", NULL));
    const HWND hProgress = CDlgAutoProgress::GetCurrent()->m_hWnd;
    // What the user does meanwhile, dispatched by the save's own pumping.
    struct Row
    {
        const char* pszWhat;
        UINT nMessage;
        WPARAM wParam;
    } rows[] = {
        {"Esc", WM_KEYDOWN, VK_ESCAPE},
        {"the close box", WM_SYSCOMMAND, SC_CLOSE},
        {"Cancel", WM_COMMAND, IDCANCEL},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(PostMessageA(hProgress, row.nMessage, row.wParam, 0)) << row.pszWhat;
        Bytes layout = Text("fields");
        EXPECT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strSaved.c_str(), TRUE, 65535))
            << row.pszWhat;
        EXPECT_TRUE(IsWindow(hProgress)) << row.pszWhat;
        EXPECT_EQ(hProgress, CDlgAutoProgress::GetCurrent() != NULL ? CDlgAutoProgress::GetCurrent()->m_hWnd : NULL)
            << row.pszWhat;
        CTvnxSave check;
        EXPECT_EQ(0, check.OpenCollection(strSaved.c_str(), TRUE, 0)) << row.pszWhat;
    }
    g_BusyEnabled = FALSE;
    SetBusyHooks(NULL);
    CloseAutoProgress();
    EXPECT_FALSE(IsWindow(hProgress));
}

// Opening moves the bar by the records read out of the header's count, and
// no further once the count is reached.
TEST_F(AutoProgress, OpeningRunsTheBarToTheRecordsRead)
{
    TvnxTempDir dir;
    TestCollection c;
    for (uint32_t i = 1; i <= 600; i++)
        c.records.push_back(Rec(i, "p" + std::to_string(i), Picture(i, 40)));
    const struct
    {
        int64_t nCount;
        int nExpected;
    } rows[] = {
        {600, 65535},
        {1000, 39321},     // 65535 / 1000 x 600
        {300, 65535},      // full at the 300th record
        {700, 56172},      // 65535 / 700 x 600
        {0, 0},            // count unknown: the bar stays
    };
    for (const auto& row : rows) {
        c.nCount = row.nCount;
        const std::string strPath = dir.Path("count.tvnx");
        ASSERT_TRUE(WriteBytes(strPath, c.Build()));
        ASSERT_NE(0, ShowAutoProgress("Opening", NULL));
        CTvnxSave file;
        EXPECT_EQ(0, file.OpenCollection(strPath.c_str(), TRUE, 65535)) << row.nCount;
        EXPECT_EQ(row.nExpected, BarPos()) << row.nCount;
        CloseAutoProgress();
    }
}

TEST_F(AutoProgress, WithoutATitleTheWindowIsUntitled)
{
    ASSERT_NE(0, ShowAutoProgress(NULL, NULL));
    EXPECT_EQ("", Title());
}

}  // namespace
