// A drop target on a real window, fed a data source of ours through its
// IDropTarget as the system's drag loop feeds it, and then by a real OLE drag:
// the order of the calls, the window and client points they carry, the
// effects answered, and that the dragged data can be read at every step.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "tests/framework/gui/OleTestSupport.h"

using namespace oletest;

namespace {

const int kLeft = 120, kTop = 140;  // the window's screen position (a popup: client = window)

std::string Effect(DROPEFFECT e)
{
    char text[16];
    snprintf(text, sizeof(text), "%lx", (unsigned long)e);
    return text;
}

// Writes down every call, with its point and what the data offered.
class RecordingTarget : public COleDropTarget
{
public:
    std::vector<std::string> log;
    CWnd* expectedWnd = nullptr;
    UINT cfDragged = 0;
    DROPEFFECT answer = DROPEFFECT_COPY;     // OnDragEnter and OnDragOver
    DROPEFFECT scrollAnswer = DROPEFFECT_NONE;
    DROPEFFECT dropExAnswer = (DROPEFFECT)-1;
    BOOL dropAnswer = TRUE;
    bool throwInOver = false;
    std::string dropped;  // the bytes read in OnDrop or OnDropEx

    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* data, DWORD keys, CPoint point) override
    {
        Note("enter", pWnd, point, keys, data);
        return answer;
    }
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* data, DWORD keys, CPoint point) override
    {
        if (throwInOver)
            AfxThrowMemoryException();
        Note("over", pWnd, point, keys, data);
        return answer;
    }
    DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* data, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override
    {
        Note("dropex " + Effect(dropDefault) + "/" + Effect(dropList), pWnd, point, 0, data);
        if (dropExAnswer != (DROPEFFECT)-1)
            Read(data);
        return dropExAnswer;
    }
    BOOL OnDrop(CWnd* pWnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override
    {
        Note("drop " + Effect(effect), pWnd, point, 0, data);
        Read(data);
        return dropAnswer;
    }
    void OnDragLeave(CWnd* pWnd) override
    {
        log.push_back(pWnd == expectedWnd ? "leave" : "leave, wrong window");
    }
    DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD keys, CPoint point) override
    {
        Note("scroll", pWnd, point, keys, nullptr);
        return scrollAnswer;
    }
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& s : log)
            n += s.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

private:
    void Note(const std::string& what, CWnd* pWnd, CPoint point, DWORD keys, COleDataObject* data)
    {
        char text[128];
        snprintf(text, sizeof(text), "%s %ld,%ld k%lu", what.c_str(), (long)point.x, (long)point.y,
                 (unsigned long)keys);
        std::string s = text;
        if (data != nullptr && !data->IsDataAvailable(static_cast<CLIPFORMAT>(cfDragged)))
            s += " (no data)";
        if (pWnd != expectedWnd)
            s += " (wrong window)";
        log.push_back(s);
    }
    void Read(COleDataObject* data)
    {
        HGLOBAL block = data->GetGlobalData(static_cast<CLIPFORMAT>(cfDragged));
        dropped = BytesOf(block);
        if (block != NULL)
            GlobalFree(block);
    }
};

class OleDropTargetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ole.Ok());
        cf = RegisterClipboardFormatA("TvnxTest Dragged");
        ASSERT_TRUE(wnd.CreateEx(WS_EX_TOPMOST, AfxRegisterWndClass(0), "drop here", WS_POPUP | WS_VISIBLE,
                                 kLeft, kTop, 200, 150, NULL, NULL));
        target.expectedWnd = &wnd;
        target.cfDragged = cf;
        source = new PlannedSource(&plan);
        plan.payloads[cf] = "dragged bytes";
        source->DelayRenderData(static_cast<CLIPFORMAT>(cf));
        ASSERT_TRUE(target.Register(&wnd));
        drop = target.GetInterface();
    }
    void TearDown() override
    {
        target.Revoke();
        wnd.DestroyWindow();
        if (source != nullptr)
            source->InternalRelease();
        EXPECT_EQ(plan.destroyed, 1) << "the data source is still referenced";
    }
    // References held on the data source besides the creator's.
    LONG ExtraRefs()
    {
        LONG n = source->InternalAddRef();
        source->InternalRelease();
        return n - 2;
    }
    DROPEFFECT Enter(DWORD allowed, LONG x, LONG y, DWORD keys = MK_LBUTTON)
    {
        DWORD effect = allowed;
        EXPECT_EQ(drop->DragEnter(source->GetInterface(), keys, POINTL{kLeft + x, kTop + y}, &effect), S_OK);
        return effect;
    }
    DROPEFFECT Over(DWORD allowed, LONG x, LONG y, DWORD keys = MK_LBUTTON)
    {
        DWORD effect = allowed;
        EXPECT_EQ(drop->DragOver(keys, POINTL{kLeft + x, kTop + y}, &effect), S_OK);
        return effect;
    }
    DROPEFFECT Drop(DWORD allowed, LONG x, LONG y)
    {
        DWORD effect = allowed;
        EXPECT_EQ(drop->Drop(source->GetInterface(), 0, POINTL{kLeft + x, kTop + y}, &effect), S_OK);
        return effect;
    }

    OleThread ole;
    UINT cf = 0;
    CWnd wnd;
    RecordingTarget target;
    RenderPlan plan;
    PlannedSource* source = nullptr;
    IDropTarget* drop = nullptr;
};

TEST_F(OleDropTargetTest, EnterOverDropReachTheVirtualsInOrder)
{
    const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(Enter(allowed, 10, 20), (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(ExtraRefs(), 1) << "the data must be held from enter to drop";
    EXPECT_EQ(Over(allowed, 15, 25, MK_LBUTTON | MK_CONTROL), (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(plan.renders[cf], 0) << "rendered before the drop";
    EXPECT_EQ(Drop(allowed, 30, 40), (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(target.dropped, "dragged bytes");
    EXPECT_EQ(plan.renders[cf], 1);
    EXPECT_EQ(ExtraRefs(), 0) << "the data is still held after the drop";
    const std::vector<std::string> expected = {
        "scroll 10,20 k1",  "enter 10,20 k1", "scroll 15,25 k9", "over 15,25 k9",
        "over 30,40 k0",    "dropex 1/3 30,40 k0", "drop 1 30,40 k0",
    };
    EXPECT_EQ(target.log, expected);

    // A drag that leaves lets the data go and calls nothing else.
    target.log.clear();
    Enter(allowed, 1, 2);
    EXPECT_EQ(drop->DragLeave(), S_OK);
    EXPECT_EQ(ExtraRefs(), 0);
    EXPECT_EQ(target.log, (std::vector<std::string>{"scroll 1,2 k1", "enter 1,2 k1", "leave"}));
    EXPECT_EQ(Over(allowed, 3, 4), (DWORD)DROPEFFECT_NONE) << "a drag over without an enter";
}

TEST_F(OleDropTargetTest, TheAnswerIsKeptWithinWhatTheSourceAllows)
{
    struct Row
    {
        const char* name;
        DROPEFFECT answer;
        DROPEFFECT scroll;
        DWORD allowed;
        DWORD expected;
    };
    const Row rows[] = {
        {"copy allowed", DROPEFFECT_COPY, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {"copy where only move is allowed", DROPEFFECT_COPY, 0, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {"move where only copy is allowed", DROPEFFECT_MOVE, 0, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {"link not allowed", DROPEFFECT_LINK, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
        {"nothing wanted", DROPEFFECT_NONE, 0, DROPEFFECT_MOVE, DROPEFFECT_NONE},
        {"scroll bit kept", DROPEFFECT_MOVE | DROPEFFECT_SCROLL, 0, DROPEFFECT_MOVE,
         DROPEFFECT_MOVE | DROPEFFECT_SCROLL},
        {"scrolling answers instead", DROPEFFECT_COPY, DROPEFFECT_SCROLL | DROPEFFECT_MOVE, DROPEFFECT_MOVE,
         DROPEFFECT_SCROLL | DROPEFFECT_MOVE},
    };
    for (const Row& row : rows) {
        target.answer = row.answer;
        target.scrollAnswer = row.scroll;
        target.log.clear();
        EXPECT_EQ(Enter(row.allowed, 5, 5), row.expected) << row.name << " (enter)";
        EXPECT_EQ(Over(row.allowed, 6, 6), row.expected) << row.name << " (over)";
        if (row.scroll != 0) {
            EXPECT_EQ(target.Count("enter") + target.Count("over"), 0) << row.name << ": scrolled and asked";
        }
        drop->DragLeave();
    }
}

TEST_F(OleDropTargetTest, TheDropEndsInOnDropExOrOnDropOrALeave)
{
    struct Row
    {
        const char* name;
        DROPEFFECT answer;
        DROPEFFECT dropEx;
        BOOL dropTaken;
        DWORD allowed;
        DWORD expected;
        std::vector<std::string> tail;  // the calls after "over"
    };
    const Row rows[] = {
        {"OnDropEx answers", DROPEFFECT_MOVE, DROPEFFECT_MOVE, TRUE, DROPEFFECT_MOVE, DROPEFFECT_MOVE,
         {"dropex 2/2 7,8 k0"}},
        {"OnDropEx answers beyond the allowed", DROPEFFECT_NONE, DROPEFFECT_COPY | DROPEFFECT_MOVE, TRUE,
         DROPEFFECT_MOVE, DROPEFFECT_MOVE, {"dropex 0/2 7,8 k0"}},
        {"OnDrop takes it", DROPEFFECT_COPY, (DROPEFFECT)-1, TRUE, DROPEFFECT_COPY, DROPEFFECT_COPY,
         {"dropex 1/1 7,8 k0", "drop 1 7,8 k0"}},
        {"OnDrop takes a copy as a move", DROPEFFECT_COPY, (DROPEFFECT)-1, TRUE, DROPEFFECT_MOVE, DROPEFFECT_MOVE,
         {"dropex 2/2 7,8 k0", "drop 2 7,8 k0"}},
        {"OnDrop refuses", DROPEFFECT_COPY, (DROPEFFECT)-1, FALSE, DROPEFFECT_COPY, DROPEFFECT_NONE,
         {"dropex 1/1 7,8 k0", "drop 1 7,8 k0"}},
        {"nothing wanted at the drop point", DROPEFFECT_NONE, (DROPEFFECT)-1, TRUE, DROPEFFECT_COPY,
         DROPEFFECT_NONE, {"dropex 0/1 7,8 k0", "leave"}},
    };
    for (const Row& row : rows) {
        target.answer = row.answer;
        target.dropExAnswer = row.dropEx;
        target.dropAnswer = row.dropTaken;
        Enter(row.allowed, 5, 5);
        target.log.clear();
        EXPECT_EQ(Drop(row.allowed, 7, 8), row.expected) << row.name;
        std::vector<std::string> expected = {"over 7,8 k0"};
        expected.insert(expected.end(), row.tail.begin(), row.tail.end());
        EXPECT_EQ(target.log, expected) << row.name;
        EXPECT_EQ(ExtraRefs(), 0) << row.name;
    }
}

TEST_F(OleDropTargetTest, AnExceptionInAVirtualRefusesAndStaysInside)
{
    target.throwInOver = true;
    EXPECT_EQ(Enter(DROPEFFECT_COPY, 5, 5), (DWORD)DROPEFFECT_COPY);
    EXPECT_EQ(Over(DROPEFFECT_COPY, 6, 6), (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(Drop(DROPEFFECT_COPY, 6, 6), (DWORD)DROPEFFECT_NONE);
    EXPECT_EQ(ExtraRefs(), 0);
    EXPECT_EQ(target.Count("drop"), 0);
}

bool g_bMovedThere = false;
LRESULT CALLBACK NoteMoveToThePoint(int nCode, WPARAM wParam, LPARAM lParam)
{
    const MOUSEHOOKSTRUCT* p = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (nCode >= 0 && p->pt.x == kLeft + 50 && p->pt.y == kTop + 60)
        g_bMovedThere = true;
    return CallNextHookEx(NULL, nCode, wParam, lParam);
}

// A drop source that lets the drag run for a few polls (and, when a target is
// given, until it has been entered), then drops; no mouse button is involved.
class ScriptedDropSource : public COleDropSource
{
public:
    explicit ScriptedDropSource(const RecordingTarget* target) : m_target(target) {}
    int polls = 0;
    std::vector<DROPEFFECT> feedback;

    SCODE QueryContinueDrag(BOOL, DWORD) override
    {
        ++polls;
        if (polls > 100)
            return DRAGDROP_S_CANCEL;
        bool entered = m_target == nullptr || m_target->Count("enter") > 0;
        return entered && polls >= 3 ? DRAGDROP_S_DROP : S_OK;
    }
    SCODE GiveFeedback(DROPEFFECT effect) override
    {
        feedback.push_back(effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    const RecordingTarget* m_target;
};

TEST_F(OleDropTargetTest, ARealDragDropsOnTheRegisteredWindow)
{
    // The drag reads the cursor from the messages it takes: the move to the
    // point is taken first (bounded; a cursor already there makes no move).
    const HHOOK hHook = SetWindowsHookExA(WH_MOUSE, NoteMoveToThePoint, NULL, GetCurrentThreadId());
    g_bMovedThere = false;
    ASSERT_TRUE(SetCursorPos(kLeft + 50, kTop + 60));
    PumpUntil([] { return g_bMovedThere; }, 2000);
    UnhookWindowsHookEx(hHook);
    ScriptedDropSource dropSource(&target);
    const RECT noWait = {0, 0, 0, 0};
    DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &noWait, &dropSource);
    EXPECT_EQ(effect, (DROPEFFECT)DROPEFFECT_COPY);
    ASSERT_FALSE(target.log.empty());
    EXPECT_EQ(target.log.front(), "scroll 50,60 k0");
    EXPECT_EQ(target.Count("enter 50,60"), 1);
    EXPECT_EQ(target.log.back(), "drop 1 50,60 k0");
    EXPECT_EQ(target.dropped, "dragged bytes");
    EXPECT_FALSE(dropSource.feedback.empty());
    for (DROPEFFECT e : dropSource.feedback)
        EXPECT_EQ(e, (DROPEFFECT)DROPEFFECT_COPY);

    // Revoked, the window is no target any more: the drag ends in nothing.
    target.Revoke();
    target.log.clear();
    ScriptedDropSource second(nullptr);
    EXPECT_EQ(source->DoDragDrop(DROPEFFECT_COPY, &noWait, &second), (DROPEFFECT)DROPEFFECT_NONE);
    EXPECT_TRUE(target.log.empty());
    EXPECT_EQ(second.polls, 3);
}

}  // namespace

namespace {

TEST(OleDropTargetLifetime, AWindowDestroyedBeforeRevokeLeavesNothingDangling)
{
    // The system keeps a reference to a registered target until it is
    // revoked. A window destroyed first (a child going with its parent) leaves
    // that reference behind, and the system may release it after the target
    // object is gone: when OLE shuts down on this thread.
    OleThread ole;
    ASSERT_TRUE(ole.Ok());
    IDropTarget* left = nullptr;
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "gone first", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
        RecordingTarget* target = new RecordingTarget;
        ASSERT_TRUE(target->Register(&wnd));
        left = target->GetInterface();
        left->AddRef();  // what a late caller still holds
        wnd.DestroyWindow();
        delete target;
    }
    DWORD effect = DROPEFFECT_COPY;
    POINTL pt = {0, 0};
    EXPECT_EQ(left->DragOver(0, pt, &effect), S_OK);
    EXPECT_EQ(effect, (DWORD)DROPEFFECT_NONE);
    left->Release();
}

}  // namespace
