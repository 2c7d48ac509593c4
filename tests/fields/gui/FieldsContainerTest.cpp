// The fields container under Wine: its messages, field commands through the
// dialog seam with their undo steps, background modes, the mouse through its
// gaps, the layout block (round trip, size, limits, old headers, merge order,
// corrupt and mutated blocks) and undo and redo.
#include "fields/Fields.h"

#include "collection/Smilie.h"
#include "framework/Menu.h"
#include "framework/ModalAnswerer.h"
#include "services/ChangeTracking.h"
#include "services/Languages.h"
#include "tests/fields/gui/FieldTestKit.h"
#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"
#include "ui3d/dialogs/3DDirDialog.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using fieldkit::FieldFixture;
typedef std::vector<BYTE> Block;

// What the dialog seam answers and what it was shown.
struct DialogScript
{
    int nAnswer = IDOK;
    int nCalls = 0;
    FIELDPROPS shown;
    FIELDPROPS entered;
    bool bEnter = false;
};
DialogScript g_dialog;
int g_nBoxAnswer = IDYES;
std::vector<std::string> g_boxTexts;

int ScriptedDialog(CFields*, FIELDPROPS* pProps)
{
    g_dialog.nCalls++;
    g_dialog.shown = *pProps;
    if (g_dialog.bEnter)
        *pProps = g_dialog.entered;
    return g_dialog.nAnswer;
}

int ScriptedBox(CWnd*, LPCSTR, LPCSTR pszText, UINT)
{
    g_boxTexts.push_back(pszText);
    return g_nBoxAnswer;
}

// Block writer for hand-made layout blocks.
void Put(Block& b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back(BYTE(v >> (8 * i)));
}
void PutText(Block& b, const std::string& s)
{
    Put(b, uint32_t(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}
Block Body(const std::string& strName, const std::string& strCode = "[img]<SMILIE>[/img]", int nScroll = 0,
           const std::vector<Block>& records = {})
{
    Block b;
    PutText(b, strName);
    Put(b, uint32_t(nScroll));
    Put(b, 1);
    PutText(b, strCode);
    Put(b, uint32_t(records.size()));
    for (const Block& r : records) {
        Put(b, uint32_t(r.size()));
        b.insert(b.end(), r.begin(), r.end());
    }
    return b;
}
// A field record; nHeader 0 for the old form without header.
Block Record(const Block& body, COLORREF clr, int nHeader = 16, int cx = 40, int cy = 30, uint32_t nFlags = 1)
{
    Block b;
    if (nHeader != 0) {
        Put(b, 0x10000000u | uint32_t(nHeader));
        Put(b, uint32_t(cx));
        Put(b, uint32_t(cy));
        if (nHeader > 12)
            Put(b, nFlags);
        for (int i = 16; i < nHeader; i += 4)
            Put(b, 0);
    }
    Put(b, clr);
    Put(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Block MakeBlock(const std::vector<Block>& records, int nCount = -1)
{
    Block b;
    Put(b, uint32_t(nCount < 0 ? records.size() : nCount));
    for (const Block& r : records)
        b.insert(b.end(), r.begin(), r.end());
    return b;
}
Block SmilieRecord(int nColumn, int nRow, const char* pszPhrase)
{
    CSmilie s;
    s.SetCell(nColumn, nRow);
    s.SetPhrase(pszPhrase, FALSE);
    uint32_t n = s.SaveRecord(NULL, NULL);
    Block b(n);
    s.SaveRecord(b.data(), &n);
    return b;
}

class FieldsTest : public FieldFixture
{
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ::OleInitialize(NULL);
        g_dialog = DialogScript();
        g_nBoxAnswer = IDYES;
        g_boxTexts.clear();
        m_pfnDialog = CFields::s_pfnFieldDialog;
        CFields::s_pfnFieldDialog = ScriptedDialog;
        CFields::s_pfnMessageBox = ScriptedBox;
        g_Settings.UndoBufferSizeInMB = 20;
        m_look.rcTabStrip = {10, 10, 410, 40};
        const int rc[4] = {10, 50, 410, 350};
        memcpy(m_look.nFieldsRect, rc, sizeof(rc));
        m_look.nMetrics[0] = 14;
        m_look.nMetrics[1] = 16;
        m_look.nCellSize[0] = 35;
        m_look.nCellSize[1] = 34;
        m_look.grid = fieldkit::Grid();
        m_look.cellLook = fieldkit::Look();
        for (int s = 0; s < 3; s++) {
            m_look.tabStrip.looks[s].nTextLeft = 60;
            m_look.tabStrip.looks[s].nBorderlessHeight = 30;
            m_look.tabStrip.looks[s].nBorderlessSlant = 4;
        }
        m_look.tabStrip.nFlags = 0;
        ASSERT_TRUE(m_fields.CreateFields(m_parent.Wnd(), &m_look));
    }
    void TearDown() override
    {
        if (m_fields.m_hWnd != NULL)
            m_fields.DestroyWindow();
        CFields::s_pfnFieldDialog = m_pfnDialog;
        g_bChangeTracking = FALSE;
        g_bCollectionChanged = FALSE;
        ::OleUninitialize();
        FieldFixture::TearDown();
    }
    LRESULT Msg(UINT message, WPARAM wParam = 0) { return Send(m_fields, message, wParam); }
    std::string Name(int i)
    {
        CString s;
        m_fields.GetField(i)->GetWindowText(s);
        return s.GetString();
    }
    // Field names in tab order, the selected one starred.
    std::string Tabs()
    {
        std::string s;
        CTabSelector* p = m_fields.GetSwitcher();
        for (int t = 0; t < p->GetTabCount(); t++) {
            const int i = m_fields.FindField(p->GetTabAt(t).nId);
            s += (i >= 0 ? Name(i) : "?") + (p->GetTabAt(t).nState == TABST_SELECTED ? "*" : "") + " ";
        }
        return s;
    }
    Block Save()
    {
        uint32_t n = 0;
        m_fields.SaveToMemory(NULL, &n, 0.0);
        Block b(n);
        m_fields.SaveToMemory(b.data(), &n, 0.0);
        EXPECT_EQ(n, b.size());
        return b;
    }
    int Load(const Block& b, uint32_t nAppended = 0)
    {
        return m_fields.LoadFromMemory(b.data(), uint32_t(b.size()), nAppended, 0.0);
    }
    Block Fields(int n)
    {
        std::vector<Block> recs;
        for (int i = 0; i < n; i++)
            recs.push_back(Record(Body("F" + std::to_string(i)), RGB(i, 0, 0)));
        return MakeBlock(recs);
    }

    FIELDSPARAMS m_look;
    CFields m_fields;
    int (*m_pfnDialog)(CFields*, FIELDPROPS*) = NULL;
};

TEST_F(FieldsTest, StartsWithOneDefaultFieldAndAnswersItsMessages)
{
    EXPECT_EQ(1, Msg(WM_GETFIELDCOUNT));
    EXPECT_EQ(50, Msg(WM_GETMAXFIELDS));
    EXPECT_EQ(std::string(GetLangString(196)), Name(0));
    EXPECT_STREQ("[img]<SMILIE>[/img]", m_fields.GetField(0)->m_strCode);
    EXPECT_TRUE(m_fields.GetField(0)->IsWindowVisible());
    EXPECT_EQ(&m_fields.GetScrollBar(), m_fields.GetField(0)->m_pScrollBar);
    EXPECT_EQ(0xFFFFFF, Msg(WM_GETFIELDCOLOR));  // mode 0: white
    fieldkit::Fill(*m_fields.GetField(0), 3);
    EXPECT_EQ(3, Msg(WM_GETFIELDSMILIES, m_fields.GetFieldId(0)));
    EXPECT_EQ(3, Msg(WM_GETFIELDSMILIES, WPARAM(-1)));
    EXPECT_EQ(0, Msg(WM_GETFIELDSMILIES, 77));
    EXPECT_EQ(0, Msg(WM_GETFIELDDATASIZE, 77));
    EXPECT_EQ(0, Msg(WM_EXPORTFIELD, m_fields.GetFieldId(0)));
    EXPECT_EQ(0, Msg(WM_CANUNDO));
    EXPECT_EQ(0, Msg(WM_GETUNDOTITLE));
}

TEST_F(FieldsTest, CommandsGoThroughTheDialogAndPushTheirUndoTitles)
{
    g_dialog.bEnter = true;
    g_dialog.entered.strName = "Second";
    g_dialog.entered.clr = RGB(10, 200, 30);
    g_dialog.entered.strCode = "<SMILIE>!";
    Msg(WM_NEWFIELD, WPARAM(-1));
    EXPECT_EQ(2, Msg(WM_GETFIELDCOUNT));
    EXPECT_EQ(std::string(GetLangString(408)), (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(GetLangString(196) + std::string(" Second* "), Tabs());
    EXPECT_EQ(std::string(GetLangString(91)) + " 2", std::string(g_dialog.shown.strName));

    const int nSecond = m_fields.GetSwitcher()->GetSelectedId();
    g_dialog.entered.strName = "Copy";
    Msg(WM_DUPLICATEFIELD, nSecond);
    EXPECT_EQ(std::string(GetLangString(92)) + " Second", std::string(g_dialog.shown.strTitle));
    EXPECT_EQ(std::string(GetLangString(410)), (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(GetLangString(196) + std::string(" Second Copy* "), Tabs());

    g_dialog.entered.strName = "Renamed";
    Msg(WM_EDITFIELD, nSecond);
    EXPECT_EQ(std::string(GetLangString(411)), (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(GetLangString(196) + std::string(" Renamed Copy* "), Tabs());

    // Properties left as they were push nothing.
    const int nSteps = m_fields.GetUndoCount();
    g_dialog.bEnter = false;
    Msg(WM_EDITFIELD, nSecond);
    EXPECT_EQ(nSteps, m_fields.GetUndoCount());

    g_nBoxAnswer = IDNO;
    Msg(WM_REMOVEFIELD, nSecond);
    EXPECT_EQ(3, Msg(WM_GETFIELDCOUNT));
    g_nBoxAnswer = IDYES;
    Msg(WM_REMOVEFIELD, nSecond);
    EXPECT_EQ(2, Msg(WM_GETFIELDCOUNT));
    EXPECT_EQ(std::string(GetLangString(409)), (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(std::string(GetLangString(94)) + " \"Renamed\"", g_boxTexts.back());

    // Cancel changes nothing.
    g_dialog.nAnswer = IDCANCEL;
    Msg(WM_NEWFIELD, WPARAM(-1));
    EXPECT_EQ(2, Msg(WM_GETFIELDCOUNT));
}

// The main window's fields menu acts on the shown field: its items are those of
// the tab menu, and a command goes to the container.
TEST_F(FieldsTest, FieldsMenuActsOnTheShownField)
{
    struct Picker : CModalAnswerer
    {
        UINT nPick = 0;
        std::vector<UINT> commands;
        BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
        {
            for (int i = 0; i < ::GetMenuItemCount(pMenu->m_hMenu); i++)
                commands.push_back(::GetMenuItemID(pMenu->m_hMenu, i));
            *pnCommand = nPick;
            return TRUE;
        }
    } picker;
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&picker);
    g_dialog.bEnter = true;
    g_dialog.entered.strName = "From the menu";
    picker.nPick = 1024;   // new field
    m_fields.ShowFieldsMenu(&m_fields, POINT{20, 20});
    EXPECT_EQ(2, Msg(WM_GETFIELDCOUNT));
    for (UINT nCommand : {1024u, 1025u, 1026u, 1027u, 1028u})
        EXPECT_NE(picker.commands.end(), std::find(picker.commands.begin(), picker.commands.end(), nCommand))
            << "command " << nCommand;

    picker.nPick = 1027;   // properties of the shown (new) field
    g_dialog.entered.strName = "Renamed";
    m_fields.ShowFieldsMenu(&m_fields, POINT{20, 20});
    EXPECT_EQ(std::string(GetLangString(411)), (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_NE(std::string::npos, Tabs().find("Renamed"));
    AfxSetModalAnswerer(pPrevious);
}

TEST_F(FieldsTest, FiftyFieldsRefuseNewAndDuplicateAndOneFieldIsNeverRemoved)
{
    Msg(WM_REMOVEFIELD, WPARAM(-1));
    EXPECT_EQ(1, Msg(WM_GETFIELDCOUNT));
    EXPECT_TRUE(g_boxTexts.empty());

    ASSERT_EQ(50, Load(Fields(50)));
    ASSERT_EQ(50, Msg(WM_GETFIELDCOUNT));
    Msg(WM_NEWFIELD, WPARAM(-1));
    Msg(WM_DUPLICATEFIELD, WPARAM(-1));
    EXPECT_EQ(0, g_dialog.nCalls);
    EXPECT_EQ(50, Msg(WM_GETFIELDCOUNT));
    EXPECT_EQ(50, Msg(WM_GETMAXFIELDS));
}

TEST_F(FieldsTest, RemovingTheSelectedLastFieldShowsItsNeighbour)
{
    ASSERT_EQ(3, Load(Fields(3)));
    CTabSelector* p = m_fields.GetSwitcher();
    const int nLast = p->GetTabAt(2).nId;
    p->SelectTab(nLast);
    ASSERT_EQ("F0 F1 F2* ", Tabs());
    m_fields.RemoveField(m_fields.FindField(nLast));
    EXPECT_EQ("F0 F1* ", Tabs());
    ASSERT_GE(m_fields.m_nShown, 0);
    ASSERT_LT(m_fields.m_nShown, m_fields.GetFieldCount());
    EXPECT_EQ("F1", Name(m_fields.m_nShown));
    EXPECT_TRUE(m_fields.GetShownField()->IsWindowVisible());
    EXPECT_EQ(&m_fields.GetScrollBar(), m_fields.GetShownField()->m_pScrollBar);
}

TEST_F(FieldsTest, BackgroundModesColourEveryField)
{
    const Block b = MakeBlock({Record(Body("A"), RGB(200, 0, 0)), Record(Body("B"), RGB(0, 0, 200))});
    ASSERT_EQ(2, Load(b));
    struct Row { int nMode; COLORREF clrA, clrB; BOOL bContrast; };
    const Row rows[] = {
        {0, 0xFFFFFF, 0xFFFFFF, FALSE},
        {1, RGB(200, 0, 0), RGB(0, 0, 200), FALSE},
        {2, 0x7F7F7F, 0x7F7F7F, TRUE},
        {3, RGB(200, 0, 0), RGB(0, 0, 200), TRUE},
    };
    for (const Row& r : rows) {
        m_fields.ApplyBackColorMode(r.nMode);
        EXPECT_EQ(r.clrA, m_fields.GetField(0)->GetBackgroundColor()) << "mode " << r.nMode;
        EXPECT_EQ(r.clrB, m_fields.GetField(1)->GetBackgroundColor()) << "mode " << r.nMode;
        EXPECT_EQ(r.bContrast, m_fields.GetField(1)->IsContrastMode()) << "mode " << r.nMode;
    }
    // Mode 1 follows an edited tab colour.
    m_fields.ApplyBackColorMode(1);
    g_dialog.bEnter = true;
    g_dialog.entered.strName = "A";
    g_dialog.entered.clr = RGB(1, 2, 3);
    g_dialog.entered.strCode = "x";
    Msg(WM_EDITFIELD, m_fields.GetFieldId(0));
    EXPECT_EQ(RGB(1, 2, 3), m_fields.GetField(0)->GetBackgroundColor());
}

// A window of the parent that writes down the points it was given.
struct Beneath
{
    static inline std::vector<POINT> s_points;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_LBUTTONDOWN)
            s_points.push_back(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        return DefWindowProcA(h, m, w, l);
    }
};

TEST_F(FieldsTest, AClickInAGapReachesTheVisibleWindowBeneath)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Beneath::Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxBeneathFields";
    RegisterClassA(&wc);
    // Under the gap between strip (ends at y 40) and fields (begin at 50):
    // a hidden window first in z-order, then a visible one.
    HWND hHidden = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 200, 200, m_parent.m_hWnd, NULL,
                                   wc.hInstance, NULL);
    HWND hShown = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 100, 30, 100, 50,
                                  m_parent.m_hWnd, NULL, wc.hInstance, NULL);
    SetWindowPos(hHidden, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Beneath::s_points.clear();
    // Container point (150, 35) is parent point (160, 45), hShown's (60, 15).
    Send(m_fields, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 35));
    ASSERT_EQ(1u, Beneath::s_points.size());
    EXPECT_EQ(60, Beneath::s_points[0].x);
    EXPECT_EQ(15, Beneath::s_points[0].y);
    DestroyWindow(hHidden);
    DestroyWindow(hShown);
}

TEST_F(FieldsTest, OldTabColoursAreConvertedOrSteppedAside)
{
    const Block b = MakeBlock({Record(Body("A"), 0x0000FF), Record(Body("B"), 0xFF00FF), Record(Body("C"), 0x123456)});
    struct Row { int nAnswer; COLORREF a, b; size_t nBoxes; };
    const Row rows[] = {{IDYES, 0x4858FF, 0xFF40FF, 1}, {IDNO, 0x0101FE, 0xFE01FE, 2}};
    for (const Row& r : rows) {
        ASSERT_EQ(3, Load(b));
        g_boxTexts.clear();
        g_nBoxAnswer = r.nAnswer;
        m_fields.ConvertOldTabColors();
        CTabSelector* p = m_fields.GetSwitcher();
        EXPECT_EQ(r.a, COLORREF(p->GetTabAt(0).nData)) << r.nAnswer;
        EXPECT_EQ(r.b, COLORREF(p->GetTabAt(1).nData)) << r.nAnswer;
        EXPECT_EQ(0x123456u, COLORREF(p->GetTabAt(2).nData)) << r.nAnswer;
        EXPECT_EQ(r.nBoxes, g_boxTexts.size());
        // Asked no more.
        m_fields.ConvertOldTabColors();
        EXPECT_EQ(r.nBoxes, g_boxTexts.size());
    }
}

TEST_F(FieldsTest, DestroyRemovesTheFields)
{
    ASSERT_EQ(3, Load(Fields(3)));
    m_fields.DestroyWindow();
    EXPECT_EQ(0, m_fields.GetFieldCount());
    EXPECT_TRUE(m_fields.IsDestroyed());
}

// --- layout block ---------------------------------------------------------------------------

TEST_F(FieldsTest, BlockRoundTripKeepsFieldsSmiliesAndOrder)
{
    const Block b = MakeBlock({
        Record(Body("Faces", "<SMILIE> ok", 0, {SmilieRecord(0, 0, "hi"), SmilieRecord(3, 1, "there")}),
               RGB(1, 2, 3), 16, 40, 30, 1),
        Record(Body("Empty", "", 0), RGB(4, 5, 6), 16, 50, 44, 0),
    });
    ASSERT_EQ(2, Load(b));
    EXPECT_EQ("Faces* Empty ", Tabs());
    CSmiliesFieldControl* p0 = m_fields.GetField(0);
    EXPECT_EQ(2, p0->GetSmilieCount());
    ASSERT_NE(nullptr, p0->GetAt(3, 1));
    EXPECT_STREQ("there", p0->GetAt(3, 1)->m_strPhrase);
    EXPECT_EQ(40, p0->GetCellWidth());
    EXPECT_TRUE(m_fields.GetField(1)->GetSmilieCount() == 0);
    EXPECT_EQ(50, m_fields.GetField(1)->GetCellWidth());
    EXPECT_FALSE(m_fields.GetField(1)->IsPlainBackground());

    const Block saved = Save();
    // The fields' own parts as they were read; smilies take their field's cell.
    EXPECT_EQ(Block(b.begin(), b.begin() + 4 + 24 + 4 + 5 + 12 + 11 + 4), Block(saved.begin(), saved.begin() + 64));
    ASSERT_EQ(2, Load(saved));
    EXPECT_EQ(saved, Save());
    // Size rule: 4 + sum(body + 24); body = N + C + 20 + sum(R + 4).
    const uint32_t r1 = 61 + 2, r2 = 61 + 5;
    EXPECT_EQ(4 + (5 + 11 + 20 + r1 + 4 + r2 + 4 + 24) + (5 + 0 + 20 + 24), saved.size());
}

TEST_F(FieldsTest, BlockCountsAndLimits)
{
    const Block before = Save();
    EXPECT_EQ(0, Load(MakeBlock({}, 0)));
    EXPECT_EQ(before, Save());

    EXPECT_EQ(50, Load(Fields(60)));
    EXPECT_EQ(50, m_fields.GetFieldCount());
    EXPECT_EQ(0, Load(Fields(3), 1));
    EXPECT_EQ(50, m_fields.GetFieldCount());
}

TEST_F(FieldsTest, OldHeadersTakeTheDefaults)
{
    struct Row { const char* what; int nHeader; int cx, cy; uint32_t nFlags; int wantCx, wantCy; BOOL bWhite; };
    const Row rows[] = {
        {"no header", 0, 0, 0, 0, 35, 34, FALSE},
        {"header of 12", 12, 41, 42, 0, 41, 42, FALSE},
        {"header of 16", 16, 41, 42, 1, 41, 42, TRUE},
        {"header of 24", 24, 41, 42, 1, 41, 42, TRUE},
        {"cell width 0", 16, 0, 42, 1, 35, 34, TRUE},
        {"negative height", 16, 41, -3, 1, 35, 34, TRUE},
        {"a cell taller than the field's resizing makes", 16, 41, 32767, 1, 35, 34, TRUE},
        // Sides no row fits; the height one hung the view scrolled by the field before.
        {"height past 16 bits", 16, 40, 0x0100001E, 1, 35, 34, TRUE},
        {"height without a row", 16, 41, 40000, 1, 35, 34, TRUE},
        {"width past 16 bits", 16, 0x01000028, 30, 1, 35, 34, TRUE},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(1, Load(MakeBlock({Record(Body("X", "c", 5, {SmilieRecord(1, 0, "p")}), RGB(9, 9, 9), r.nHeader,
                                            r.cx, r.cy, r.nFlags)})))
            << r.what;
        CSmiliesFieldControl* p = m_fields.GetField(0);
        EXPECT_EQ(r.wantCx, p->GetCellWidth()) << r.what;
        EXPECT_EQ(r.wantCy, p->GetCellHeight()) << r.what;
        EXPECT_EQ(r.bWhite, p->IsPlainBackground()) << r.what;
        EXPECT_EQ(1, p->GetSmilieCount()) << r.what;
        EXPECT_EQ("X* ", Tabs()) << r.what;
    }
}

TEST_F(FieldsTest, MergedFieldsComeAfterTheSelectedOneInTheirOrder)
{
    ASSERT_EQ(3, Load(Fields(3)));
    m_fields.GetSwitcher()->SelectTab(m_fields.GetSwitcher()->GetTabAt(1).nId);
    const Block merge = MakeBlock({Record(Body("M1"), 1), Record(Body("M2"), 2)});
    EXPECT_EQ(2, Load(merge, 7));
    EXPECT_EQ("F0 F1* M1 M2 F2 ", Tabs());
}

TEST_F(FieldsTest, CorruptBlocksKeepTheFieldsReadBeforeTheFault)
{
    const Block good = Record(Body("Good", "c", 0, {SmilieRecord(0, 0, "a")}), 1);
    Block bodyPastEnd = Record(Body("Bad"), 2);
    bodyPastEnd[20] = 0xFF;   // body length
    Block namePastBody = Record(Body("Bad"), 2);
    namePastBody[24] = 0x40;  // name length
    Block smiliePastBody = Record(Body("Bad", "c", 0, {SmilieRecord(0, 0, "b")}), 2);
    smiliePastBody[smiliePastBody.size() - 62 - 4] = 0x7F;  // R
    Block headerPastEnd;
    Put(headerPastEnd, 0x1000FFF0);
    struct Row { const char* what; Block block; int nFields; std::string tabs; };
    const std::vector<Row> rows = {
        {"count only", MakeBlock({}, 5), 1, std::string(GetLangString(196)) + "* "},
        {"body past the end", MakeBlock({good, bodyPastEnd}), 1, "Good* "},
        {"header past the end", MakeBlock({good, headerPastEnd}), 1, "Good* "},
        {"count above the records", MakeBlock({good}, 3), 1, "Good* "},
        {"name past its body", MakeBlock({good, namePastBody}), 2, "Good*  "},
        {"smilie past its body", MakeBlock({good, smiliePastBody}), 2, "Good* Bad "},
    };
    for (const Row& r : rows) {
        Load(r.block);
        EXPECT_EQ(r.nFields, m_fields.GetFieldCount()) << r.what;
        EXPECT_EQ(r.tabs, Tabs()) << r.what;
    }
    // A body cut short keeps its smilies read before the cut.
    EXPECT_EQ(0, m_fields.GetField(1)->GetSmilieCount());
    EXPECT_EQ(1, m_fields.GetField(0)->GetSmilieCount());
}

// A cell larger than the field's own resizing makes (half the view's width,
// and twice that high) is read as the default cell: a cell 32767 pixels a
// side made every paint draw a surface of its whole size.
TEST_F(FieldsTest, HugeCellsTakeTheDefaultCell)
{
    const int nHalf = m_fields.GetFieldsRect().Width() / 2;
    ASSERT_GT(nHalf, 100);
    struct Row { int cx, cy; int wantCx, wantCy; };
    const Row rows[] = {
        {32767, 16384, 35, 34},         {16384, 32767, 35, 34},        {nHalf + 1, 30, 35, 34},
        {40, 2 * nHalf + 1, 35, 34},    {nHalf, 2 * nHalf, nHalf, 2 * nHalf},
        {10, 8, 10, 8},                 {40, 30, 40, 30},              {0, 30, 35, 34},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(1, Load(MakeBlock({Record(Body("F", "c", 0, {SmilieRecord(0, 0, "a")}), 1, 16, r.cx, r.cy)})));
        EXPECT_EQ(r.wantCx, m_fields.GetField(0)->GetCellWidth()) << r.cx << " x " << r.cy;
        EXPECT_EQ(r.wantCy, m_fields.GetField(0)->GetCellHeight()) << r.cx << " x " << r.cy;
    }
}

// The fields share one scroll bar. A field whose content is shorter than its
// view shows from its top and stores 0, whatever the field shown before it
// left on the bar or the block stored; the taller field keeps its place.
TEST_F(FieldsTest, AShortFieldShowsFromItsTopAndStoresZero)
{
    // A 300-pixel view and eight rows: the content of 60-pixel rows is one row
    // more than the view (360), that of 30-pixel rows only 240.
    m_look.grid = fieldkit::Grid(8);
    m_fields.SetParams(&m_look);
    ASSERT_EQ(2, Load(MakeBlock({Record(Body("Tall", "c", 30, {SmilieRecord(0, 0, "a")}), 1, 16, 40, 60),
                                 Record(Body("Short", "c", 77, {SmilieRecord(0, 0, "b")}), 2, 16, 40, 30)})));
    CSmiliesFieldControl* pTall = m_fields.GetField(0);
    CSmiliesFieldControl* pShort = m_fields.GetField(1);
    ASSERT_EQ(300, m_fields.GetFieldsRect().Height());
    EXPECT_EQ(30, pTall->GetScrollPos());
    EXPECT_EQ(0, pShort->GetScrollPos()) << "the stored position of the short field";
    pTall->OnVScroll(SB_THUMBTRACK, 60);
    ASSERT_EQ(60, pTall->GetScrollPos());

    m_fields.SelectFieldQuietly(m_fields.GetFieldId(1));
    ASSERT_EQ(pShort, m_fields.GetShownField());
    EXPECT_EQ(0, pShort->GetScrollPos()) << "the tall field's position stayed on the bar";
    pShort->OnMouseWheel(0, -WHEEL_DELTA, 0, 0);
    pShort->OnMouseWheel(0, WHEEL_DELTA, 0, 0);
    EXPECT_EQ(0, pShort->GetScrollPos());
    // The short field's scroll position in its body follows its name.
    const Block saved = Save();
    const char kName[] = "Short";
    const auto it = std::search(saved.begin(), saved.end(), kName, kName + 5);
    ASSERT_TRUE(it + 9 <= saved.end());
    uint32_t nStored = 0;
    memcpy(&nStored, &*(it + 5), 4);
    EXPECT_EQ(0u, nStored);

    m_fields.SelectFieldQuietly(m_fields.GetFieldId(0));
    EXPECT_EQ(60, pTall->GetScrollPos());

    // Content that shrinks below the view while the field is shown.
    m_fields.SelectFieldQuietly(m_fields.GetFieldId(1));
    pShort->SetCellSize(NULL, 60, 60);
    pShort->OnVScroll(SB_THUMBTRACK, 50);
    ASSERT_EQ(50, pShort->GetScrollPos());
    pShort->SetCellSize(NULL, 60, 36);   // 8 x 36 = 288
    ASSERT_EQ(36, pShort->GetCellHeight());
    EXPECT_EQ(0, pShort->GetScrollPos());
}

Block Mutate(const Block& in, FuzzRandom& rnd)
{
    Block b = in;
    const uint32_t nEdits = 1 + rnd.Below(6);
    for (uint32_t k = 0; k < nEdits && !b.empty(); k++) {
        const uint32_t at = rnd.Below(uint32_t(b.size()));
        switch (rnd.Below(4)) {
        case 0: b[at] = BYTE(rnd.Next()); break;
        case 1: b[at] ^= BYTE(1u << rnd.Below(8)); break;
        case 2: b.resize(at); break;
        default: b.insert(b.begin() + at, BYTE(rnd.Next())); break;
        }
    }
    return b;
}

TEST_F(FieldsTest, LayoutBlockFuzzMutatedBlocksEndCleanly)
{
    const Block seed = MakeBlock({
        Record(Body("One", "<SMILIE>", 5, {SmilieRecord(0, 0, "a"), SmilieRecord(2, 3, "bcd")}), 1),
        Record(Body("Two", "", 0), 2, 12, 30, 30),
        Record(Body("Three", "x", 0, {SmilieRecord(1, 1, "e")}), 3, 0),
    });
    FuzzRandom rnd{0xF1E1Du};
    CFuzzRun run("layoutblock", 400, 20000);
    while (run.More()) {
        const Block input = run.Take(Mutate(seed, rnd));
        Load(input, rnd.Below(2));
        EXPECT_GE(m_fields.GetFieldCount(), 1) << "input " << run.Taken();
        EXPECT_LE(m_fields.GetFieldCount(), 50) << "input " << run.Taken();
        if (m_fields.GetFieldCount() > 40)
            Load(Fields(1));
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

// --- undo and redo ------------------------------------------------------------------------

TEST_F(FieldsTest, UndoThenRedoRestoresFieldsSelectionAndTitles)
{
    ASSERT_EQ(2, Load(MakeBlock({Record(Body("A"), 1), Record(Body("B"), 2)})));
    m_fields.GetSwitcher()->SelectTab(m_fields.GetSwitcher()->GetTabAt(1).nId);
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("first"));
    fieldkit::Fill(*m_fields.GetField(1), 2);
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("second"));
    m_fields.GetSwitcher()->SelectTab(m_fields.GetSwitcher()->GetTabAt(0).nId);
    fieldkit::Fill(*m_fields.GetField(0), 4);
    const Block now = Save();

    EXPECT_EQ(1, Msg(WM_UNDO_FIELDS));
    EXPECT_EQ("A B* ", Tabs());
    EXPECT_EQ(0, m_fields.GetField(0)->GetSmilieCount());
    EXPECT_STREQ("second", (LPCSTR)Msg(WM_GETREDOTITLE));
    EXPECT_STREQ("first", (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(1, Msg(WM_CANREDO));

    EXPECT_EQ(1, Msg(WM_REDO_FIELDS));
    EXPECT_EQ(now, Save());
    EXPECT_EQ("A* B ", Tabs());
    EXPECT_STREQ("second", (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(0, Msg(WM_CANREDO));
    EXPECT_EQ(0, Msg(WM_GETREDOTITLE));
    EXPECT_EQ(0, Msg(WM_REDO_FIELDS));
}

TEST_F(FieldsTest, APushAfterUndoDropsTheRedoSteps)
{
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("1"));
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("2"));
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("3"));
    EXPECT_EQ(1, Msg(WM_UNDO_FIELDS));
    EXPECT_EQ(1, Msg(WM_UNDO_FIELDS));
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("4"));
    EXPECT_EQ(0, Msg(WM_CANREDO));
    EXPECT_EQ(2, m_fields.GetUndoCount());
    EXPECT_STREQ("4", (LPCSTR)Msg(WM_GETUNDOTITLE));

    // Dropping right after a push leaves the previous step next.
    Msg(WM_DROPUNDO);
    EXPECT_EQ(0, m_fields.GetUndoPos());
    EXPECT_STREQ("1", (LPCSTR)Msg(WM_GETUNDOTITLE));
    Msg(WM_PUSHUNDO, 0);
    EXPECT_EQ(0, Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(1, Msg(WM_CANUNDO));
    Msg(WM_CLEARUNDO);
    EXPECT_EQ(0, Msg(WM_CANUNDO));
    EXPECT_EQ(0, Msg(WM_UNDO_FIELDS));
}

TEST_F(FieldsTest, ALimitBelowOneSnapshotKeepsTheNewest)
{
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("1"));
    Msg(WM_PUSHUNDO, reinterpret_cast<WPARAM>("2"));
    m_fields.TrimUndo(10);
    EXPECT_EQ(1, m_fields.GetUndoCount());
    EXPECT_STREQ("2", (LPCSTR)Msg(WM_GETUNDOTITLE));
    EXPECT_EQ(1, Msg(WM_UNDO_FIELDS));
    EXPECT_EQ(0, Msg(WM_UNDO_FIELDS));
}

// The export message exports the phrases of the field with that id (here
// through the folder dialog, as they are two); an id no field has asks nothing.
TEST_F(FieldsTest, ExportMessageExportsThatField)
{
    struct FolderAnswerer : public CModalAnswerer {
        INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
        {
            ++nAsked;
            lstrcpynA(static_cast<C3DDirDialog*>(pDialog)->m_szPath, strFolder.c_str(), MAX_PATH);
            return IDOK;
        }
        std::string strFolder;
        int nAsked = 0;
    } answerer;
    CSmiliesFieldControl* pField = m_fields.GetField(0);
    const POINT cells[] = {{0, 0}, {1, 0}};
    pField->AddSmilie(&cells[0], 0, "one", NULL);
    pField->AddSmilie(&cells[1], 0, "two", NULL);
    TvnxTempDir out;
    answerer.strFolder = out.Dir();
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&answerer);
    Msg(WM_EXPORTFIELD, 12345);
    EXPECT_EQ(answerer.nAsked, 0);
    Msg(WM_EXPORTFIELD, WPARAM(-1));
    AfxSetModalAnswerer(pPrevious);
    EXPECT_EQ(answerer.nAsked, 1);
    EXPECT_EQ(ReadBytes(out.Path("one.txt")), Text("one"));
    EXPECT_EQ(ReadBytes(out.Path("two.txt")), Text("two"));
}

}  // namespace
