// The skinned message box and choice box on real windows, answered through
// the test seam: the buttons of every type with their captions, the id each
// returns, Escape, the icon, and the layout of short and long texts.
#include "ui3d/dialogs/3DImgMessageBox.h"

#include "services/Languages.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "tests/tools/ButtonRows.h"
#include "tests/tools/Pump.h"
#include "ui3d/dialogs/LiveDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A language whose button entries 491 to 501 read "B491" ... "B501"; entry
// 492 (Cancel) is left out to show the "ERROR" caption.
class CButtonLanguage
{
public:
    CButtonLanguage()
    {
        m_language.m_nCount = 502;
        m_language.m_ppStrings = static_cast<char**>(calloc(502, sizeof(char*)));
        for (int n = 491; n <= 501; n++) {
            if (n == 492)
                continue;
            const std::string str = "B" + std::to_string(n);
            m_language.m_ppStrings[n] = static_cast<char*>(malloc(str.size() + 1));
            memcpy(m_language.m_ppStrings[n], str.c_str(), str.size() + 1);
        }
        m_pPrevious = g_pCurrentLanguage;
        g_pCurrentLanguage = &m_language;
    }
    ~CButtonLanguage() { g_pCurrentLanguage = m_pPrevious; }

private:
    CLanguage m_language;
    CLanguage* m_pPrevious;
};

struct SHOWNBUTTON
{
    int nId;
    std::string strCaption;
    RECT rc;  // in the box's client coordinates
};

// What the answerer saw of the running box.
struct SEEN
{
    int nAsked = 0;
    std::vector<SHOWNBUTTON> buttons;  // left to right, then top to bottom
    int nFirstTabId = 0;  // has the focus when the box is active
    BOOL bIcon = FALSE;
    RECT rcIcon = {}, rcText = {}, rcFrame = {}, rcClient = {};
    int mx = 0, my = 0, gy = 0, y6 = 0;  // margins of 7 dialog units, a row gap of 4, 6 units down
    std::vector<std::string> rowProblems;  // against a Windows dialog's button rows
};

RECT ChildRect(HWND hDlg, HWND hChild)
{
    RECT rc = {};
    GetWindowRect(hChild, &rc);
    MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Records the box, then works it: pAction gets the box window.
class CBoxAnswerer : public CModalAnswerer
{
public:
    CBoxAnswerer(SEEN& seen, std::function<void(HWND)> action) : m_seen(seen), m_action(action)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CBoxAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        HWND hDlg = pDialog->m_hWnd;
        m_seen.nAsked++;
        m_seen.buttons.clear();
        for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
            const int nId = GetDlgCtrlID(h);
            char sz[64] = "";
            GetWindowTextA(h, sz, sizeof(sz));
            const RECT rc = ChildRect(hDlg, h);
            if (nId == IDC_MSGBOX_ICON) {
                m_seen.bIcon = TRUE;
                m_seen.rcIcon = rc;
            } else if (nId == IDC_MSGBOX_TEXT) {
                m_seen.rcText = rc;
            } else if (nId == IDC_MSGBOX_FRAME) {
                m_seen.rcFrame = rc;
            } else {
                m_seen.buttons.push_back({nId, sz, rc});
            }
        }
        std::sort(m_seen.buttons.begin(), m_seen.buttons.end(), [](const SHOWNBUTTON& a, const SHOWNBUTTON& b) {
            return a.rc.top != b.rc.top ? a.rc.top < b.rc.top : a.rc.left < b.rc.left;
        });
        m_seen.nFirstTabId = GetDlgCtrlID(GetNextDlgTabItem(hDlg, NULL, FALSE));
        GetClientRect(hDlg, &m_seen.rcClient);
        RECT rcMargin = {0, 0, 7, 7};
        MapDialogRect(hDlg, &rcMargin);
        m_seen.mx = rcMargin.right;
        m_seen.my = rcMargin.bottom;
        RECT rcGap = {0, 0, 4, 4};
        MapDialogRect(hDlg, &rcGap);
        m_seen.gy = rcGap.bottom;
        RECT rcSix = {0, 0, 0, 6};
        MapDialogRect(hDlg, &rcSix);
        m_seen.y6 = rcSix.bottom;
        m_seen.rowProblems = ButtonRowProblems(hDlg, BUTTONROW_CENTRED);
        m_action(hDlg);
        return -1;
    }

private:
    SEEN& m_seen;
    std::function<void(HWND)> m_action;
    CModalAnswerer* m_pPrevious;
};

std::function<void(HWND)> Click(int nId)
{
    return [nId](HWND hDlg) { SendMessageA(GetDlgItem(hDlg, nId), BM_CLICK, 0, 0); };
}

std::function<void(HWND)> PressEscape()
{
    // Through the modal loop's dialog-message handling, as a key would come.
    return [](HWND hDlg) {
        HWND hTarget = GetFocus() != NULL && IsChild(hDlg, GetFocus()) ? GetFocus() : hDlg;
        PostMessageA(hTarget, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(hTarget, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    };
}

int RunBox(UINT nType, const char* pszText, std::function<void(HWND)> action, SEEN& seen)
{
    CBoxAnswerer answerer(seen, action);
    return MessageBox3D(NULL, "Tarvenex", pszText, nType, FALSE, NULL);
}

std::string Ids(const std::vector<SHOWNBUTTON>& buttons)
{
    std::string str;
    for (const SHOWNBUTTON& b : buttons)
        str += std::to_string(b.nId) + " ";
    return str;
}

class MessageBox3DTest : public testing::Test
{
protected:
    CButtonLanguage m_language;
    void TearDown() override
    {
        g_nActiveDrags = 0;
        PumpPending();
    }
};

const char* CaptionOf(int nId)
{
    switch (nId) {
    case IDOK: return "B497";
    case IDCANCEL: return "ERROR";
    case IDYES: return "B493";
    case IDNO: return "B494";
    case IDABORT: return "B495";
    case IDRETRY: return "B491";
    case IDIGNORE: return "B496";
    case IDCHOICE1: return "B498";
    case IDCHOICE2: return "B499";
    case IDCHOICE3: return "B500";
    case IDCHOICE4: return "B501";
    }
    return "?";
}

}  // namespace

TEST_F(MessageBox3DTest, EveryTypeShowsItsButtonsAndEachReturnsItsId)
{
    struct Row {
        const char* name;
        UINT nType;
        std::vector<int> ids;  // left to right
    } rows[] = {
        {"MB_OK", MB_OK, {IDOK}},
        {"MB_OKCANCEL", MB_OKCANCEL, {IDOK, IDCANCEL}},
        {"MB_ABORTRETRYIGNORE", MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
        {"MB_YESNOCANCEL", MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
        {"MB_YESNO question", MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}},
        {"MB_RETRYCANCEL", MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
        {"type 6", 6, {IDOK}},
        {"type 7", 7, {IDOK}},
    };
    for (const Row& r : rows) {
        for (int nPressed : r.ids) {
            SEEN seen;
            const int nResult = RunBox(r.nType, "Short text.", Click(nPressed), seen);
            const std::string where = std::string(r.name) + ", pressing " + std::to_string(nPressed);
            EXPECT_EQ(nResult, nPressed) << where;
            ASSERT_EQ(seen.nAsked, 1) << where;
            std::vector<int> shown;
            for (const SHOWNBUTTON& b : seen.buttons)
                shown.push_back(b.nId);
            EXPECT_EQ(shown, r.ids) << where << ": shown " << Ids(seen.buttons);
            for (size_t i = 0; i < seen.buttons.size(); i++) {
                const SHOWNBUTTON& b = seen.buttons[i];
                EXPECT_EQ(b.strCaption, CaptionOf(b.nId)) << where;
                // One row a margin below the frame.
                EXPECT_EQ(b.rc.top, seen.rcFrame.bottom + seen.my) << where;
            }
            // Centred, 4 dialog units apart, 7 above the bottom edge.
            for (const std::string& strProblem : seen.rowProblems)
                ADD_FAILURE() << where << ": " << strProblem;
            // The first button comes first in the tab order: it has the focus.
            EXPECT_EQ(seen.nFirstTabId, r.ids[0]) << where;
        }
    }
}

TEST_F(MessageBox3DTest, EscapeGivesCancelForEveryType)
{
    for (UINT nType = 0; nType <= 7; nType++) {
        SEEN seen;
        EXPECT_EQ(RunBox(nType, "Escape", PressEscape(), seen), IDCANCEL) << "type " << nType;
        EXPECT_EQ(seen.nAsked, 1) << "type " << nType;
    }
    SEEN seen;
    CBoxAnswerer answerer(seen, PressEscape());
    EXPECT_EQ(ChoiceBox3D(NULL, "Escape", FALSE, NULL), IDCANCEL) << "choice box";
}

TEST_F(MessageBox3DTest, ChoiceBoxHasTwoRowsAndReturnsEveryChoice)
{
    const int kRow0[] = {IDYES, IDCHOICE3, IDNO};
    const int kRow1[] = {IDCHOICE1, IDCHOICE4, IDCHOICE2, IDCANCEL};
    for (int nPressed : {IDYES, IDNO, IDCANCEL, int(IDCHOICE1), int(IDCHOICE2), int(IDCHOICE3), int(IDCHOICE4)}) {
        SEEN seen;
        CBoxAnswerer answerer(seen, Click(nPressed));
        EXPECT_EQ(ChoiceBox3D(NULL, "The file exists.", FALSE, NULL), nPressed);
        ASSERT_EQ(seen.buttons.size(), 7u) << Ids(seen.buttons);
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(seen.buttons[i].nId, kRow0[i]) << "row 0 cell " << i;
        const int nRowGap = seen.gy;
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(seen.buttons[3 + i].nId, kRow1[i]) << "row 1 cell " << i;
            EXPECT_EQ(seen.buttons[3 + i].rc.top, seen.buttons[0].rc.bottom + nRowGap) << "row 1 cell " << i;
        }
        // Each row centred; the second, wider one 4 units a button.
        const int nFirstRow = seen.buttons[0].rc.left + seen.buttons[2].rc.right;
        EXPECT_LE(abs(nFirstRow - seen.rcClient.right), 1) << "the first row is centred";
        for (const std::string& strProblem : seen.rowProblems)
            ADD_FAILURE() << strProblem;
        EXPECT_TRUE(seen.bIcon) << "the stop icon";
        // The frame spans the box above the wider row.
        EXPECT_EQ(seen.rcFrame.right, seen.rcClient.right - seen.mx);
    }
}

TEST_F(MessageBox3DTest, IconByTheFlags)
{
    struct Row {
        UINT nType;
        BOOL bIcon;
    } rows[] = {
        {MB_OK, FALSE},
        {MB_ICONEXCLAMATION, TRUE},
        {MB_ICONINFORMATION, TRUE},
        {MB_ICONQUESTION, TRUE},
        {MB_ICONHAND, TRUE},
    };
    for (const Row& r : rows) {
        SEEN seen;
        RunBox(r.nType, "Icon", Click(IDOK), seen);
        EXPECT_EQ(seen.bIcon, r.bIcon) << "flags " << r.nType;
        // The frame starts a margin right of the icon, at the margin without one.
        const int nIconRight = r.bIcon ? seen.rcIcon.right : 0;
        EXPECT_EQ(seen.rcFrame.left, nIconRight + seen.mx) << "flags " << r.nType;
    }
}

TEST_F(MessageBox3DTest, LayoutAroundShortAndLongTexts)
{
    SEEN shortBox;
    RunBox(MB_OKCANCEL | MB_ICONINFORMATION, "Short.", Click(IDOK), shortBox);
    EXPECT_EQ(shortBox.rcFrame.right - shortBox.rcFrame.left, 200) << "a short text has the narrowest frame";
    EXPECT_EQ(shortBox.rcFrame.top, shortBox.my);

    std::string strLong;
    for (int i = 0; i < 14; i++)
        strLong += "Line " + std::to_string(i) + " of a long message that runs over several lines\n";
    SEEN longBox;
    RunBox(MB_OKCANCEL | MB_ICONINFORMATION, strLong.c_str(), Click(IDCANCEL), longBox);
    ASSERT_FALSE(longBox.buttons.empty());
    const RECT& rcFrame = longBox.rcFrame;
    const int nBlockBottom = longBox.buttons.back().rc.bottom;
    EXPECT_GT(longBox.rcClient.bottom, shortBox.rcClient.bottom + 100) << "several lines make the box taller";
    EXPECT_GE(rcFrame.right - rcFrame.left, 200);
    // The text lies inside the frame, centred in it.
    EXPECT_GE(longBox.rcText.left, rcFrame.left);
    EXPECT_LE(longBox.rcText.right, rcFrame.right);
    EXPECT_LE(abs((longBox.rcText.left - rcFrame.left) - (rcFrame.right - longBox.rcText.right)), 1);
    EXPECT_LE(abs((longBox.rcText.top - rcFrame.top) - (rcFrame.bottom - longBox.rcText.bottom)), 1);
    // The icon at the left margin, beside the top of a tall frame, 6 dialog
    // units down as in the notices.
    EXPECT_EQ(longBox.rcIcon.top, rcFrame.top + longBox.y6) << "6 units below the frame's top";
    EXPECT_EQ(longBox.rcIcon.left, longBox.mx);
    // The client area ends a margin beyond frame and buttons.
    EXPECT_EQ(longBox.rcClient.right, rcFrame.right + longBox.mx);
    EXPECT_EQ(longBox.rcClient.bottom, nBlockBottom + longBox.my);
}

TEST_F(MessageBox3DTest, DuringADragNothingIsShown)
{
    g_nActiveDrags = 1;
    SEEN seen;
    EXPECT_EQ(RunBox(MB_YESNO, "Drag", Click(IDYES), seen), IDCANCEL);
    CBoxAnswerer answerer(seen, Click(IDYES));
    EXPECT_EQ(ChoiceBox3D(NULL, "Drag", FALSE, NULL), IDCANCEL);
    EXPECT_EQ(seen.nAsked, 0);
}
