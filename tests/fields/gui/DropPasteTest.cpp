// Groups of smilies inserted into fields, the paste history, the drop target
// fed with data objects we build, scrolling while dragging, and the
// messenger's export request. Fields are drawn as rows of letters: each
// smilie is a text smilie whose phrase is its letter, '.' an empty cell.
#include "fields/SmiliesFieldDropPaste.h"

#include "delivery/AppAttr.h"
#include "delivery/MessengerRequest.h"
#include "fields/SmiliesDragSource.h"
#include "fields/SmiliesPasteGroup.h"
#include "framework/OleDataSource.h"
#include "services/ChangeTracking.h"
#include "services/Registered.h"
#include "tests/fields/gui/FieldTestKit.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/DragImageWnd.h"

#include <string>
#include <vector>

using namespace fieldkit;

namespace {

const int kCell = 30;
typedef std::vector<std::string> Rows;

class TestField : public CSmiliesFieldDropPaste
{
public:
    int QueryDropMode(BOOL bMove) override
    {
        asked.push_back(bMove);
        return nMode;
    }
    int nMode = DROPMODE_MOVE_KEEP;
    std::vector<BOOL> asked;
};

class DropPaste : public FieldFixture
{
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        ::OleInitialize(NULL);
        g_PasteHistory.RemoveAll();
    }
    void TearDown() override
    {
        g_PasteHistory.RemoveAll();
        for (TestField* p : m_fields) {
            p->DestroyWindow();
            delete p;
        }
        ::OleUninitialize();
        FieldFixture::TearDown();
    }

    // A field of four columns and six visible rows holding the picture.
    TestField& MakeLetters(const Rows& rows, int nColumns = 4, int nVisibleRows = 6)
    {
        TestField* p = new TestField;
        m_fields.push_back(p);
        EXPECT_TRUE(MakeField(*p, m_parent, nColumns * kCell, nVisibleRows * kCell, kCell, kCell));
        for (size_t r = 0; r < rows.size(); r++) {
            for (size_t c = 0; c < rows[r].size(); c++) {
                if (rows[r][c] == '.')
                    continue;
                const POINT cell = {int(c), int(r)};
                const char sz[2] = {rows[r][c], '\0'};
                EXPECT_NE(nullptr, p->AddSmilie(&cell, 0, sz, NULL));
            }
        }
        p->UpdateScrollRange(TRUE);
        PumpPending();
        return *p;
    }

    // The field as rows of letters, without empty rows at the end.
    static Rows Letters(const CSmiliesField& field)
    {
        Rows rows;
        for (int r = 0; r < field.GetRowLimit(); r++) {
            std::string row;
            for (int c = 0; c < field.GetColumnCount(); c++) {
                const CSmilie* p = field.GetAt(c, r);
                row += p == NULL ? '.' : p->m_strPhrase.IsEmpty() ? '?' : p->m_strPhrase[0];
            }
            rows.push_back(row);
        }
        while (!rows.empty() && rows.back().find_first_not_of('.') == std::string::npos)
            rows.pop_back();
        return rows;
    }

    static CSmilie* Find(const CSmiliesField& field, char ch)
    {
        for (int r = 0; r < field.GetRowLimit(); r++)
            for (int c = 0; c < field.GetColumnCount(); c++)
                if (const CSmilie* p = field.GetAt(c, r))
                    if (!p->m_strPhrase.IsEmpty() && p->m_strPhrase[0] == ch)
                        return const_cast<CSmilie*>(p);
        return NULL;
    }

    static POINT Middle(int c, int r) { return POINT{c * kCell + kCell / 2, r * kCell + kCell / 2}; }

    std::vector<TestField*> m_fields;
};

std::string Join(const Rows& rows)
{
    std::string s;
    for (const std::string& r : rows)
        s += r + "|";
    return s;
}

// ---- inserting a group ---------------------------------------------------------------------

struct InsertCase
{
    const char* name;
    Rows source;
    Rows target;        // empty: the group is dropped into its own field
    const char* group;  // letters; the first is the grabbed one
    POINT drop;         // cell of the target
    int mode;
    Rows wantSource;
    Rows wantTarget;
};

TEST_F(DropPaste, InsertGroupPlacesEachSmilieRelativeToTheGrabbedOne)
{
    const InsertCase cases[] = {
        {"one cell right, the occupant to the first free cell", {"AB.."}, {}, "A", {1, 0}, 4, {".AB."}, {}},
        {"onto its own place nothing moves", {"AB..", "C..."}, {}, "AB", {0, 0}, 4, {"AB..", "C..."}, {}},
        {"a block one column left onto itself", {".AB."}, {}, "AB", {0, 0}, 4, {"AB.."}, {}},
        {"a block one column right onto itself", {"AB.."}, {}, "AB", {1, 0}, 4, {".AB."}, {}},
        {"past the right edge the rest goes to the first free cell", {"..AB"}, {}, "AB", {3, 0}, 4,
         {"...A", "B..."}, {}},
        {"replacing deletes the occupant", {"AB..", "CD.."}, {}, "A", {1, 1}, 3, {".B..", "CA.."}, {}},
        {"keeping moves the occupant", {"AB..", "CD.."}, {}, "A", {1, 1}, 4, {".B..", "CAD."}, {}},
        {"a move into another field", {"AB.."}, {"C..."}, "AB", {1, 0}, 4, {}, {"CAB."}},
        {"a copy keeps the source, the occupant moves on", {"AB.."}, {"C..."}, "AB", {0, 0}, 2, {"AB.."},
         {"ABC."}},
        {"a copy replacing the occupant", {"AB.."}, {"C..."}, "AB", {0, 0}, 1, {"AB.."}, {"AB.."}},
        {"a copy past the right edge keeps its source", {"AB.."}, {"...."}, "AB", {3, 0}, 2, {"AB.."},
         {"...A"}},
        {"a copy past the right edge, replacing", {"AB.."}, {"..CD"}, "AB", {3, 0}, 1, {"AB.."}, {"..CA"}},
        {"a copy within its field shifts the chain", {"AB.."}, {}, "AB", {1, 0}, 2, {"AAB."}, {}},
    };
    for (const InsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestField& source = MakeLetters(c.source);
        TestField& target = c.target.empty() ? source : MakeLetters(c.target);
        SMILIEDRAGDESC desc;
        for (const char* p = c.group; *p; p++)
            desc.smilies.Add(Find(source, *p));
        const CSmilie* pGrab = desc.smilies[0];
        desc.x = pGrab->m_nColumn * kCell + 7;
        desc.y = pGrab->m_nRow * kCell + 9;
        desc.bTaken = FALSE;
        ParentWindow::s_nUndoSteps = 0;
        target.InsertGroup(&target, &desc, c.drop, c.mode >= 3, c.mode == 1 || c.mode == 3);
        EXPECT_EQ(1, ParentWindow::s_nUndoSteps);
        if (&target != &source)
            EXPECT_EQ(Join(c.wantSource), Join(Letters(source)));
        EXPECT_EQ(Join(&target == &source ? c.wantSource : c.wantTarget), Join(Letters(target)));
    }
}

TEST_F(DropPaste, AnEmptyGroupInsertsNothingAndRecordsNoStep)
{
    TestField& field = MakeLetters({"AB.."});
    SMILIEDRAGDESC desc;
    desc.x = desc.y = 0;
    desc.bTaken = FALSE;
    ParentWindow::s_nUndoSteps = 0;
    field.InsertGroup(&field, &desc, POINT{1, 1}, TRUE, FALSE);
    EXPECT_EQ(0, ParentWindow::s_nUndoSteps);
    EXPECT_EQ("AB..|", Join(Letters(field)));
}

// ---- the paste history ---------------------------------------------------------------------

TEST_F(DropPaste, CopyingTheSameSmilieTwiceAddsOneEntry)
{
    TestField& field = MakeLetters({"AB.."});
    g_bChangeTracking = TRUE;
    g_bCollectionChanged = FALSE;
    EXPECT_EQ(0, field.CopyToPasteHistory(Middle(0, 0)));
    EXPECT_EQ(-1, field.CopyToPasteHistory(Middle(0, 0)));
    EXPECT_EQ(1, field.CopyToPasteHistory(Middle(1, 0)));
    EXPECT_EQ(0, field.CopyToPasteHistory(Middle(2, 0))) << "an empty cell";
    EXPECT_EQ(2, g_PasteHistory.GetSize());
    EXPECT_FALSE(g_bCollectionChanged) << "a copy for the history changes nothing";
    EXPECT_TRUE(g_bChangeTracking) << "tracking is back on";
    g_bChangeTracking = FALSE;
}

TEST_F(DropPaste, SelectionsAbove128AreNotComparedAndTheEleventhCopyDropsTheOldest)
{
    Rows rows(33, "AAAA");
    rows.push_back("A...");
    TestField& field = MakeLetters(rows);
    field.SelectAll();
    ASSERT_EQ(133, field.GetSelectedCount());
    EXPECT_EQ(0, field.CopyToPasteHistory(Middle(0, 0)));
    EXPECT_EQ(1, field.CopyToPasteHistory(Middle(0, 0))) << "equal, but not compared above 128";
    EXPECT_EQ(133, g_PasteHistory[1].m_Smilies.GetSize());

    TestField& small = MakeLetters({"ABCD", "EFGH", "IJK."});
    for (int i = 0; i < 11; i++)
        small.CopyToPasteHistory(Middle(i % 4, i / 4));
    ASSERT_EQ(kPasteHistorySize, g_PasteHistory.GetSize());
    EXPECT_EQ("B", std::string(g_PasteHistory[0].m_Smilies[0].m_strPhrase)) << "the oldest ones left";
    EXPECT_EQ("K", std::string(g_PasteHistory[9].m_Smilies[0].m_strPhrase));
}

TEST_F(DropPaste, AGroupTakesOnlySmiliesOfTheFirstCellSizeAndOfOneField)
{
    TestField& field = MakeLetters({"ABC."});
    Find(field, 'A')->SetCellSize(40, 40);
    field.SelectAll();
    // The selection is added from its last smilie to its first.
    EXPECT_EQ(0, field.CopyToPasteHistory(Middle(1, 0)));
    const CSmiliesPasteGroup& group = g_PasteHistory[0];
    ASSERT_EQ(2, group.m_Smilies.GetSize());
    EXPECT_EQ("C", std::string(group.m_Smilies[0].m_strPhrase));
    EXPECT_EQ("B", std::string(group.m_Smilies[1].m_strPhrase));

    TestField& other = MakeLetters({"X..."});
    CSmiliesPasteGroup copy = group;
    EXPECT_FALSE(copy.AddSmilie(Find(other, 'X'))) << "another field";
    SIZE box;
    copy.GetCellBounds(&box);
    EXPECT_EQ(2, box.cx);
    EXPECT_EQ(1, box.cy);
    POINT hot;
    EXPECT_NE(nullptr, copy.GetIcon(&hot, 32, 32));
    EXPECT_TRUE(copy.IsEqual(group));
    EXPECT_TRUE(CSmiliesPasteGroup().IsEqual(group)) << "an empty group equals any";
}

TEST_F(DropPaste, PastingPutsTheGroupUnderThePointAndTheOccupantsOnTheFirstFreeCells)
{
    struct Case
    {
        const char* name;
        Rows field;
        const char* select;   // letters selected before the paste
        POINT at;             // cell pasted at
        Rows want;
    };
    // The history group is "XY" side by side.
    const Case cases[] = {
        {"into empty cells", {"AB.."}, "", {1, 1}, {"AB..", ".XY."}},
        {"over smilies, which move on", {"AB..", "C..."}, "", {0, 0}, {"XY..", "CAB."}},
        {"over the selection, which goes", {"AB..", "C..."}, "AB", {0, 0}, {"XY..", "C..."}},
        {"a selection elsewhere stays", {"AB..", "C..."}, "B", {0, 1}, {"AB..", "XYC."}},
        {"past the right edge only what fits", {"ABC."}, "", {3, 0}, {"ABCX"}},
    };
    TestField& source = MakeLetters({"XY.."});
    source.SelectAll();
    ASSERT_EQ(0, source.CopyToPasteHistory(Middle(0, 0)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestField& field = MakeLetters(c.field);
        for (const char* p = c.select; *p; p++) {
            const CSmilie* s = Find(field, *p);
            field.SetSmilieSelected(TRUE, s->m_nColumn, s->m_nRow);
        }
        ParentWindow::s_nUndoSteps = 0;
        EXPECT_EQ(1, field.PasteFromHistory(0, &field, Middle(c.at.x, c.at.y)));
        EXPECT_EQ(1, ParentWindow::s_nUndoSteps);
        EXPECT_EQ(Join(c.want), Join(Letters(field)));
    }
}

TEST_F(DropPaste, PastingFromAnEmptyHistoryRecordsNoStep)
{
    TestField& field = MakeLetters({"AB.."});
    ParentWindow::s_nUndoSteps = 0;
    EXPECT_EQ(0, field.PasteFromHistory(0, &field, Middle(0, 0)));
    EXPECT_EQ(0, ParentWindow::s_nUndoSteps);
    EXPECT_EQ("AB..|", Join(Letters(field)));
}

// ---- the drop target -----------------------------------------------------------------------

HGLOBAL Block(const void* p, size_t n)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(::GlobalLock(h), p, n);
    ::GlobalUnlock(h);
    return h;
}

TEST_F(DropPaste, OnlyTheGroupThisProcessDragsNowIsAccepted)
{
    TestField& field = MakeLetters({"AB.."});
    SMILIEDRAGDESC desc;
    desc.smilies.Add(Find(field, 'A'));
    desc.x = 5;
    desc.y = 5;
    desc.bTaken = FALSE;

    SMILIEGROUPDRAGDATA ended;
    {
        CRunningGroupDrag before(&desc);
        HGLOBAL h = MakeGroupDragBlock(before, &desc);
        ended = *static_cast<SMILIEGROUPDRAGDATA*>(::GlobalLock(h));
        ::GlobalUnlock(h);
        ::GlobalFree(h);
    }
    CRunningGroupDrag running(&desc);
    HGLOBAL hGood = MakeGroupDragBlock(running, &desc);
    const SMILIEGROUPDRAGDATA good = *static_cast<SMILIEGROUPDRAGDATA*>(::GlobalLock(hGood));
    ::GlobalUnlock(hGood);
    ::GlobalFree(hGood);
    SMILIEGROUPDRAGDATA foreign = good;
    foreign.nProcessId ^= 0x10;
    SMILIEGROUPDRAGDATA zero = good;
    zero.nDescriptor = 0;

    struct Case
    {
        const char* name;
        HGLOBAL hBlock;
        POINT pt;
        DROPEFFECT want;
    };
    const Case cases[] = {
        {"the running drag", Block(&good, sizeof(good)), Middle(2, 1), DROPEFFECT_MOVE},
        {"outside the grid", Block(&good, sizeof(good)), POINT{4 * kCell + 3, 5}, DROPEFFECT_NONE},
        {"another process", Block(&foreign, sizeof(foreign)), Middle(2, 1), DROPEFFECT_NONE},
        {"a drag that ended", Block(&ended, sizeof(ended)), Middle(2, 1), DROPEFFECT_NONE},
        {"the value alone", Block(&good, sizeof(good.nDescriptor)), Middle(2, 1), DROPEFFECT_NONE},
        {"a value of 0", Block(&zero, sizeof(zero)), Middle(2, 1), DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleDataSource source;
        source.CacheGlobalData(GetSmilieGroupClipFormat(), c.hBlock);
        COleDataObject data;
        data.Attach(source.GetInterface(), FALSE);
        EXPECT_EQ(c.want, field.CanAcceptDrop(&data, 0, CPoint(c.pt)));
        EXPECT_EQ(c.want != DROPEFFECT_NONE || std::string(c.name) == "outside the grid",
                  field.OnDropData(&data, DROPEFFECT_MOVE, CPoint(c.pt)) != 0);
        field.m_PendingSmilies.RemoveAll();
    }
    MSG msg;
    while (::PeekMessageA(&msg, field.m_hWnd, WM_DROPGROUP, WM_DROPGROUP, PM_REMOVE))
        ;
}

TEST_F(DropPaste, ADropIsInsertedAfterwardsInTheModeTheFieldChooses)
{
    TestField& field = MakeLetters({"AB.."});
    SMILIEDRAGDESC desc;
    desc.smilies.Add(Find(field, 'A'));
    desc.x = 5;
    desc.y = 5;
    desc.bTaken = FALSE;
    struct Case
    {
        DROPEFFECT effect;
        BOOL bTaken;
        BOOL bMove;
    };
    const Case cases[] = {{DROPEFFECT_COPY, TRUE, FALSE}, {DROPEFFECT_LINK, FALSE, FALSE}, {DROPEFFECT_MOVE, TRUE, TRUE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect);
        field.asked.clear();
        field.nMode = 0;
        {
            CRunningGroupDrag running(&desc);
            COleDataSource source;
            source.CacheGlobalData(GetSmilieGroupClipFormat(), MakeGroupDragBlock(running, &desc));
            COleDataObject data;
            data.Attach(source.GetInterface(), FALSE);
            EXPECT_EQ(c.bTaken, field.OnDropData(&data, c.effect, CPoint(Middle(3, 0))));
            EXPECT_TRUE(field.asked.empty()) << "nothing is inserted inside the drag loop";
        }
        PumpPending();
        ASSERT_EQ(c.bTaken ? 1u : 0u, field.asked.size());
        if (c.bTaken)
            EXPECT_EQ(c.bMove, field.asked[0]);
        EXPECT_EQ("AB..|", Join(Letters(field))) << "mode 0 inserts nothing";
    }
    field.nMode = DROPMODE_MOVE_KEEP;
    {
        CRunningGroupDrag running(&desc);
        COleDataSource source;
        source.CacheGlobalData(GetSmilieGroupClipFormat(), MakeGroupDragBlock(running, &desc));
        COleDataObject data;
        data.Attach(source.GetInterface(), FALSE);
        EXPECT_TRUE(field.OnDropData(&data, DROPEFFECT_MOVE, CPoint(Middle(3, 0))));
    }
    PumpPending();
    EXPECT_EQ(".B.A|", Join(Letters(field)));

    // A dropped smilie deleted before the insertion is left out, not followed.
    desc.smilies.RemoveAll();
    desc.smilies.Add(Find(field, 'B'));
    {
        CRunningGroupDrag running(&desc);
        COleDataSource source;
        source.CacheGlobalData(GetSmilieGroupClipFormat(), MakeGroupDragBlock(running, &desc));
        COleDataObject data;
        data.Attach(source.GetInterface(), FALSE);
        EXPECT_TRUE(field.OnDropData(&data, DROPEFFECT_MOVE, CPoint(Middle(0, 1))));
    }
    field.RemoveSmilie(Find(field, 'B'), FALSE);
    ParentWindow::s_nUndoSteps = 0;
    PumpPending();
    EXPECT_EQ("...A|", Join(Letters(field)));
    EXPECT_EQ(0, ParentWindow::s_nUndoSteps);
}

// ---- scrolling while dragging ----------------------------------------------------------------

TEST_F(DropPaste, DraggingNearAnEdgeScrolls)
{
    // Three rows in view (90 pixels) of a content of twelve rows.
    Rows rows(12, "AAAA");
    TestField& field = MakeLetters(rows, 4, 3);
    const int H = 3 * kCell;
    struct Case
    {
        DWORD keys;
        int y;
        int start;
        int want;
        int wantPos;
    };
    const Case cases[] = {
        {0, 10, 2, 1, 0},   {0, 0, 9, 1, 6},       {0, 20, 5, 2, 4},          {0, 10, 0, 0, 0},
        {0, H - 5, 0, 4, 3}, {0, H - 20, 0, 3, 1}, {0, H, 0, 0, 0},           {0, 45, 2, 0, 2},
        {MK_CONTROL, H - 5, 0, 0, 0}, {MK_SHIFT, 10, 2, 0, 2}, {MK_ALT, H - 5, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << c.keys << " y " << c.y << " from " << c.start);
        field.SetScrollPos(c.start, TRUE);
        ::UpdateWindow(field.m_hWnd);
        PumpPending();
        ASSERT_EQ(c.start, field.GetScrollPos());
        EXPECT_EQ(c.want, field.OnDragOver(c.keys, CPoint(20, c.y)));
        PumpPending();
        EXPECT_EQ(c.wantPos, field.GetScrollPos());
    }
    field.SetScrollPos(field.GetContentHeight(), TRUE);
    PumpPending();
    EXPECT_EQ(0, field.OnDragOver(0, CPoint(20, H - 5))) << "at the end nothing scrolls";
}

// ---- the messenger's export request ------------------------------------------------------------

std::vector<int> g_exports;
int Export6(MSNEXPORTREQUEST*, CWnd*)
{
    g_exports.push_back(6);
    return 1;
}
int Export7(MSNEXPORTREQUEST*, CWnd*)
{
    g_exports.push_back(7);
    return 1;
}

TEST_F(DropPaste, TheExporterOfTheMessengersVersionOpensOnceNoDragRuns)
{
    TestField& field = MakeLetters({"A..."});
    const auto pfnSaved6 = CSmiliesFieldDropPaste::s_pfnExport6;
    const auto pfnSaved7 = CSmiliesFieldDropPaste::s_pfnExport7;
    CSmiliesFieldDropPaste::s_pfnExport6 = Export6;
    CSmiliesFieldDropPaste::s_pfnExport7 = Export7;
    g_MsnExportRequest.size = kMsnExportRequestSize;
    const LPARAM lRequest = reinterpret_cast<LPARAM>(&g_MsnExportRequest);
    struct Case
    {
        WORD major;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<int> want;
    };
    MSNEXPORTREQUEST elsewhere = g_MsnExportRequest;
    const Case cases[] = {
        {5, 1, lRequest, {}},
        {6, 1, lRequest, {6}},
        {7, 1, lRequest, {7}},
        {8, 1, lRequest, {7}},
        {9, 1, lRequest, {}},
        {6, 0, lRequest, {}},
        {6, 1, reinterpret_cast<LPARAM>(&elsewhere), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.major << " wParam " << c.wParam);
        g_exports.clear();
        g_MsnExportRequest.app.versionFrom = g_MsnExportRequest.app.versionTo = ULONGLONG(c.major) << 48;
        ::SendMessageA(field.m_hWnd, WM_EXPORTTOMESSENGER, c.wParam, c.lParam);
        EXPECT_EQ(c.want, g_exports);
    }

    // During a drag the request waits, and runs once the drag has ended.
    g_exports.clear();
    g_MsnExportRequest.app.versionFrom = ULONGLONG(6) << 48;
    {
        CActiveDragScope drag;
        ::SendMessageA(field.m_hWnd, WM_EXPORTTOMESSENGER, 1, lRequest);
        PumpPending();
        EXPECT_TRUE(g_exports.empty());
    }
    EXPECT_TRUE(PumpUntil([] { return !g_exports.empty(); }, 5000));
    EXPECT_EQ(std::vector<int>{6}, g_exports);
    PumpPending();
    EXPECT_EQ(1u, g_exports.size()) << "once";

    g_MsnExportRequest.size = 0;
    g_MsnExportRequest.app.versionFrom = g_MsnExportRequest.app.versionTo = 0;
    CSmiliesFieldDropPaste::s_pfnExport6 = pfnSaved6;
    CSmiliesFieldDropPaste::s_pfnExport7 = pfnSaved7;
}

TEST(DragRefusers, TheTableIsSearchedByExecutableAndEudoraOnlyOutside60)
{
    struct Case
    {
        const char* exe;
        double version;
        const char* want;
    };
    const Case cases[] = {
        {"WINPM-32.EXE", 4.0, "Pegasus Mail"}, {"thebat.exe", 3.0, "The Bat!"}, {"aol.exe", 9.0, "America Online"},
        {"wwm.exe", 1.0, "Wal-Mart Connect"},  {"eudora.exe", 5.2, "Eudora"},  {"eudora.exe", 6.0, NULL},
        {"eudora.exe", 6.1, "Eudora"},          {"eudora.exe", 7.0, "Eudora"},
        {"notepad.exe", 5.0, NULL},
    };
    for (const Case& c : cases) {
        const ULONGLONG v = VersionFromDecimal(c.version);
        const int n = FindDragRefuser(c.exe, DWORD(v >> 32));
        EXPECT_EQ(c.want != NULL ? std::string(c.want) : std::string("none"),
                  n >= 0 ? std::string(g_DragRefusers[n].pszName) : std::string("none"))
            << c.exe << " " << c.version;
    }
}

}  // namespace
