// Window objects on real windows: binding at creation, subclassing, the
// teardown order, self-deleting windows, temporary views and reflection.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/AllocationProbe.h"
#include "tests/framework/gui/GuiTestUtil.h"

#include <algorithm>
#include <vector>

namespace {

const UINT kPostNcDestroy = 0xFFFF0001;   // recorded in place of a message
const UINT kDestructor = 0xFFFF0002;

// Records the messages that matter for creation and destruction.
class CRecordingWnd : public CWnd
{
public:
    explicit CRecordingWnd(std::vector<UINT>* pLog) : m_pLog(pLog) {}
    ~CRecordingWnd() override { m_pLog->push_back(kDestructor); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_NCCREATE:
        case WM_CREATE:
        case WM_DESTROY:
        case WM_NCDESTROY:
        case WM_APP:
            m_pLog->push_back(message);
            break;
        }
        if (m_bFirst) {
            m_bFirst = false;
            m_nFirstMessage = message;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

    bool m_bFirst = true;
    UINT m_nFirstMessage = 0;

protected:
    void PostNcDestroy() override { m_pLog->push_back(kPostNcDestroy); }

    std::vector<UINT>* m_pLog;
};

class CSelfDeletingWnd : public CRecordingWnd
{
public:
    using CRecordingWnd::CRecordingWnd;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CLOSE) {
            // Destroys itself from inside its own handler: the object is
            // deleted before this call returns and must not be touched after.
            DestroyWindow();
            return 0;
        }
        return CRecordingWnd::WindowProc(message, wParam, lParam);
    }

protected:
    void PostNcDestroy() override
    {
        CRecordingWnd::PostNcDestroy();
        delete this;
    }
};

std::string Describe(const std::vector<UINT>& log)
{
    std::string s;
    char buf[16];
    for (UINT m : log) {
        snprintf(buf, sizeof(buf), "%s0x%X", s.empty() ? "" : " ", m);
        s += buf;
    }
    return s;
}

LPCSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW));
}

} // namespace

TEST(Wnd, CreationBindsBeforeTheFirstMessageAndDestructionUnbindsBeforePostNcDestroy)
{
    std::vector<UINT> log;
    CRecordingWnd wnd(&log);
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "recording", WS_POPUP, 0, 0, 100, 50, NULL, NULL));
    HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
    // The object saw the window's very first message (no message went elsewhere).
    EXPECT_NE(wnd.m_nFirstMessage, 0u);
    EXPECT_EQ(GetWindowLongPtrA(hWnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(AfxWndProc));

    wnd.PostMessage(WM_APP);
    ASSERT_TRUE(PumpUntil([&] { return log.size() >= 3; }));
    ASSERT_TRUE(wnd.DestroyWindow());

    const std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_APP, WM_DESTROY, WM_NCDESTROY, kPostNcDestroy};
    EXPECT_EQ(log, expected) << Describe(log);
    EXPECT_TRUE(wnd.m_hWnd == NULL);
    EXPECT_TRUE(CWnd::FromHandlePermanent(hWnd) == NULL);
}

TEST(Wnd, RegisteredClassesAreSharedPerStyleSet)
{
    LPCSTR a = AfxRegisterWndClass(CS_DBLCLKS, NULL, NULL, NULL);
    LPCSTR b = AfxRegisterWndClass(CS_DBLCLKS, NULL, NULL, NULL);
    LPCSTR c = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, NULL, NULL, NULL);
    ASSERT_TRUE(a != NULL && c != NULL);
    EXPECT_STREQ(a, b);
    EXPECT_STRNE(a, c);
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(AfxGetInstanceHandle(), c, &wc));
    EXPECT_EQ(wc.style, (UINT)(CS_HREDRAW | CS_VREDRAW));
}

TEST(Wnd, FailedCreationLeavesNothingPendingForTheNextWindow)
{
    std::vector<UINT> log;
    CRecordingWnd wnd(&log);
    EXPECT_FALSE(wnd.CreateEx(0, "NoSuchClassAnywhere", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_TRUE(wnd.m_hWnd == NULL);
    // A window made next, not through the framework, is not bound to the object.
    HWND hOther = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hOther != NULL);
    EXPECT_TRUE(CWnd::FromHandlePermanent(hOther) == NULL);
    EXPECT_TRUE(log.empty()) << Describe(log);
    DestroyWindow(hOther);
}

TEST(Wnd, AThrowingCreateHandlerFailsTheCreationWithoutEscaping)
{
    struct CThrowingWnd : CWnd {
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_CREATE)
                AfxThrowMemoryException();
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } wnd;
    EXPECT_FALSE(wnd.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_TRUE(wnd.m_hWnd == NULL);
}

TEST(Wnd, AThrowingHandlerGivesANeutralResultAndTheWindowLivesOn)
{
    struct CThrowingWnd : CWnd {
        int nCalls = 0;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_APP) {
                ++nCalls;
                if (wParam == 1)
                    AfxThrowMemoryException();
                if (wParam == 2)
                    throw 42;
                return 5;
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(wnd.SendMessage(WM_APP, 1), 0);
    EXPECT_EQ(wnd.SendMessage(WM_APP, 2), 0);
    EXPECT_EQ(wnd.SendMessage(WM_APP, 0), 5);
    EXPECT_EQ(wnd.nCalls, 3);
}

TEST(Wnd, SelfDeletingWindowIsDeletedExactlyOnce)
{
    struct Case {
        const char* name;
        int how;   // 0 DestroyWindow from outside, 1 from its own WM_CLOSE, 2 its parent is destroyed
    };
    const Case cases[] = {{"destroyed from outside", 0}, {"destroys itself in a handler", 1}, {"parent destroyed", 2}};
    for (const Case& c : cases) {
        std::vector<UINT> log;
        CSelfDeletingWnd* pWnd = new CSelfDeletingWnd(&log);
        HWND hParent = NULL;
        if (c.how == 2) {
            hParent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
            ASSERT_TRUE(pWnd->CreateEx(0, PlainClass(), "", WS_CHILD, 0, 0, 10, 10, hParent, NULL)) << c.name;
        } else {
            ASSERT_TRUE(pWnd->CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL)) << c.name;
        }
        HWND hWnd = pWnd->m_hWnd;
        if (c.how == 0)
            EXPECT_TRUE(pWnd->DestroyWindow()) << c.name;
        else if (c.how == 1)
            SendMessageA(hWnd, WM_CLOSE, 0, 0);
        else
            DestroyWindow(hParent);
        EXPECT_FALSE(IsWindow(hWnd)) << c.name;
        EXPECT_TRUE(CWnd::FromHandlePermanent(hWnd) == NULL) << c.name;
        int nDeleted = 0, nPost = 0;
        for (UINT m : log) {
            nDeleted += m == kDestructor;
            nPost += m == kPostNcDestroy;
        }
        EXPECT_EQ(nDeleted, 1) << c.name << ": " << Describe(log);
        EXPECT_EQ(nPost, 1) << c.name;
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), kDestructor) << c.name << ": deleted last, after WM_NCDESTROY";
    }
}

TEST(Wnd, SubclassingRoutesThroughTheObjectAndUnsubclassingGivesTheProcedureBack)
{
    HWND hEdit = CreateWindowExA(0, "EDIT", "before", WS_POPUP, 0, 0, 100, 20, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hEdit != NULL);
    LONG_PTR original = GetWindowLongPtrA(hEdit, GWLP_WNDPROC);

    std::vector<UINT> log;
    CRecordingWnd wnd(&log);
    ASSERT_TRUE(wnd.SubclassWindow(hEdit));
    EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), &wnd);

    CRecordingWnd other(&log);
    EXPECT_FALSE(other.SubclassWindow(hEdit)) << "a bound window cannot be bound twice";

    // Default() hands messages to the edit's own procedure.
    wnd.SetWindowText("after");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "after");
    wnd.SendMessage(WM_APP);
    EXPECT_EQ(log, std::vector<UINT>{WM_APP});

    EXPECT_EQ(wnd.UnsubclassWindow(), hEdit);
    EXPECT_EQ(GetWindowLongPtrA(hEdit, GWLP_WNDPROC), original);
    EXPECT_TRUE(CWnd::FromHandlePermanent(hEdit) == NULL);
    SendMessageA(hEdit, WM_APP, 0, 0);
    EXPECT_EQ(log.size(), 1u) << "no message reaches the object after unsubclassing";
    DestroyWindow(hEdit);
}

TEST(Wnd, SubclassDlgItemFindsTheChildById)
{
    HWND hParent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    HWND hChild = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 50, 20, hParent, (HMENU)42, NULL, NULL);
    ASSERT_TRUE(hChild != NULL);
    CWnd* pParent = CWnd::FromHandle(hParent);
    CButton button;
    EXPECT_FALSE(button.SubclassDlgItem(43, pParent));
    ASSERT_TRUE(button.SubclassDlgItem(42, pParent));
    EXPECT_EQ(button.m_hWnd, hChild);
    DestroyWindow(hParent);
    EXPECT_TRUE(button.m_hWnd == NULL) << "the parent's destruction unbinds the child object";
}

TEST(Wnd, TemporaryViewsNeverDestroyTheirWindow)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    CWnd* pView = CWnd::FromHandle(hWnd);
    ASSERT_TRUE(pView != NULL);
    EXPECT_EQ(pView->m_hWnd, hWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pView) << "one view per handle until idle";
    EXPECT_TRUE(CWnd::FromHandlePermanent(hWnd) == NULL);
    EXPECT_TRUE(CWnd::FromHandle(NULL) == NULL);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(IsWindow(hWnd));
    DestroyWindow(hWnd);
}

TEST(Wnd, AnOwningObjectDestroysItsWindowWhenDeleted)
{
    std::vector<UINT> log;
    HWND hWnd;
    {
        CRecordingWnd wnd(&log);
        ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_TRUE(CWnd::FromHandlePermanent(hWnd) == NULL);
}

TEST(Wnd, PreTranslateWalksFromTheChildUpToTheTopLevelWindow)
{
    struct CFilterWnd : CWnd {
        std::vector<CWnd*>* pOrder;
        BOOL bEat = FALSE;
        BOOL PreTranslateMessage(MSG*) override
        {
            pOrder->push_back(this);
            return bEat;
        }
    };
    std::vector<CWnd*> order;
    CFilterWnd owner, top, child;
    owner.pOrder = top.pOrder = child.pOrder = &order;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    ASSERT_TRUE(top.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, owner.m_hWnd, NULL));
    ASSERT_TRUE(child.CreateEx(0, PlainClass(), "", WS_CHILD, 0, 0, 5, 5, top.m_hWnd, NULL));
    MSG msg = {};
    msg.hwnd = child.m_hWnd;
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(NULL, &msg));
    EXPECT_EQ(order, (std::vector<CWnd*>{&child, &top})) << "stops at the top-level window, not its owner";
    order.clear();
    child.bEat = TRUE;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(NULL, &msg));
    EXPECT_EQ(order, std::vector<CWnd*>{&child});
}

TEST(Wnd, RunTimeClassTest)
{
    CWnd wnd;
    CButton button;
    CBitmapButton bitmapButton;
    CDialog dialog;
    CFileDialog fileDialog(TRUE);
    CMenu menu;
    struct Row {
        const char* name;
        const CObject* object;
        const CRuntimeClass* cls;
        BOOL expected;
    } rows[] = {
        {"CWnd is a CWnd", &wnd, RUNTIME_CLASS(CWnd), TRUE},
        {"CWnd is no CButton", &wnd, RUNTIME_CLASS(CButton), FALSE},
        {"CBitmapButton is a CButton", &bitmapButton, RUNTIME_CLASS(CButton), TRUE},
        {"CBitmapButton is a CWnd", &bitmapButton, RUNTIME_CLASS(CWnd), TRUE},
        {"CButton is no CBitmapButton", &button, RUNTIME_CLASS(CBitmapButton), FALSE},
        {"CFileDialog is a CDialog", &fileDialog, RUNTIME_CLASS(CDialog), TRUE},
        {"CDialog is no CCommonDialog", &dialog, RUNTIME_CLASS(CCommonDialog), FALSE},
        {"CMenu is no CWnd", &menu, RUNTIME_CLASS(CWnd), FALSE},
        {"CMenu is a CObject", &menu, RUNTIME_CLASS(CObject), TRUE},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.object->IsKindOf(r.cls), r.expected) << r.name;
}

TEST(Wnd, RegisteredMessageNeverMatchesWhenUnregistered)
{
    CRegisteredMessage unregistered;
    EXPECT_FALSE(unregistered.Is(WM_NULL)) << "id 0 must not match WM_NULL";
    CRegisteredMessage named("TvnxTestRegisteredMessage");
    EXPECT_EQ((UINT)named, RegisterWindowMessageA("TvnxTestRegisteredMessage"));
    EXPECT_TRUE(named.Is(RegisterWindowMessageA("TvnxTestRegisteredMessage")));
    EXPECT_FALSE(named.Is(WM_NULL));
}

// --- reflection ----------------------------------------------------------------

namespace {

// A parent that records which notifications it still received itself.
class CParentWnd : public CWnd
{
public:
    std::vector<UINT> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT r = CWnd::WindowProc(message, wParam, lParam);
        if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_CTLCOLOREDIT || message == WM_DRAWITEM)
            seen.push_back(message);
        return r;
    }
};

class CReflectingEdit : public CEdit
{
public:
    HBRUSH hBrush = NULL;
    std::vector<UINT> reflected;
    BOOL bHandleCommand = TRUE;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_REFLECT_BASE + WM_CTLCOLOREDIT:
            reflected.push_back(message - WM_REFLECT_BASE);
            return reinterpret_cast<LRESULT>(hBrush);
        case WM_REFLECT_BASE + WM_COMMAND:
            if (!bHandleCommand)
                break;
            reflected.push_back(WM_COMMAND);
            return 0;
        case WM_REFLECT_BASE + WM_NOTIFY:
            reflected.push_back(WM_NOTIFY);
            return 77;
        }
        return CEdit::WindowProc(message, wParam, lParam);
    }
};

class COwnerDrawButton : public CButton
{
public:
    std::vector<UINT> drawn;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override { drawn.push_back(lpDIS->CtlID); }
};

} // namespace

TEST(Wnd, ParentReflectsNotificationsToTheChildObject)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 200, 100, NULL, NULL));
    CReflectingEdit edit;
    edit.hBrush = (HBRUSH)GetStockObject(GRAY_BRUSH);
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), &parent, 7));

    // Colour request: the child's brush is the parent's answer.
    HDC hDC = GetDC(edit.m_hWnd);
    LRESULT brush = parent.SendMessage(WM_CTLCOLOREDIT, (WPARAM)hDC, (LPARAM)edit.m_hWnd);
    ReleaseDC(edit.m_hWnd, hDC);
    EXPECT_EQ(brush, (LRESULT)edit.hBrush);

    // A control notification handled by the child stays there.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), (LPARAM)edit.m_hWnd);
    // WM_NOTIFY with the child's result.
    NMHDR nm = {edit.m_hWnd, 7, NM_CLICK};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 7, (LPARAM)&nm), 77);
    EXPECT_EQ(edit.reflected, (std::vector<UINT>{WM_CTLCOLOREDIT, WM_COMMAND, WM_NOTIFY}));

    // A notification the child leaves alone takes the parent's normal path.
    edit.bHandleCommand = FALSE;
    edit.reflected.clear();
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), (LPARAM)edit.m_hWnd);
    EXPECT_TRUE(edit.reflected.empty());
}

TEST(Wnd, OwnerDrawnButtonIsPaintedByItsObject)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, NULL, NULL));
    COwnerDrawButton button;
    ASSERT_TRUE(button.Create("x", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 80, 30), &parent, 9));
    button.Invalidate();
    button.UpdateWindow();
    ASSERT_TRUE(PumpUntil([&] { return !button.drawn.empty(); }));
    EXPECT_EQ(button.drawn[0], 9u);
}

TEST(Wnd, CenterWindowCentresOverTheOwnerAndStaysInsideTheWorkArea)
{
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const int cx = 200, cy = 100;   // the centred window
    const int ox = 300, oy = 200;   // its owner
    const int midX = (work.left + work.right) / 2, midY = (work.top + work.bottom) / 2;
    struct Row
    {
        const char* name;
        int ownerX, ownerY;
        bool ownerVisible;
        int expectX, expectY;
    } rows[] = {
        {"owner in the middle", midX - ox / 2, midY - oy / 2, true, midX - cx / 2, midY - cy / 2},
        {"owner past the bottom-right edge", work.right - ox / 4, work.bottom - oy / 4, true, work.right - cx,
         work.bottom - cy},
        {"owner past the top-left edge", work.left - ox + 10, work.top - oy + 10, true, work.left, work.top},
        {"hidden owner", work.left, work.top, false, midX - cx / 2, midY - cy / 2},
    };
    for (const Row& row : rows) {
        CWnd owner;
        ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "owner", WS_POPUP | (row.ownerVisible ? WS_VISIBLE : 0),
                                   row.ownerX, row.ownerY, ox, oy, NULL, NULL))
            << row.name;
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "centred", WS_POPUP, 0, 0, cx, cy, owner.m_hWnd, NULL))
            << row.name;
        wnd.CenterWindow();
        CRect rc;
        wnd.GetWindowRect(&rc);
        EXPECT_EQ(rc.left, row.expectX) << row.name;
        EXPECT_EQ(rc.top, row.expectY) << row.name;
        EXPECT_EQ(rc.Width(), cx) << row.name;
    }
}

TEST(Wnd, CenterWindowPutsAChildInTheMiddleOfItsParentsClientArea)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "parent", WS_OVERLAPPEDWINDOW, 50, 50, 400, 300, NULL, NULL));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, PlainClass(), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 60), &parent, 1));
    child.CenterWindow();
    CRect client, rc;
    parent.GetClientRect(&client);
    child.GetWindowRect(&rc);
    parent.ScreenToClient(&rc);
    EXPECT_EQ(rc.left, client.Width() / 2 - 50);
    EXPECT_EQ(rc.top, client.Height() / 2 - 30);
}

// --- what reflection counts as handled -------------------------------------------

namespace {

// A parent that notes the control notifications that came back to it.
class CNotedParent : public CWnd
{
public:
    std::vector<UINT> notified;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (CWnd::OnCommand(wParam, lParam))
            return TRUE;
        notified.push_back(HIWORD(wParam));
        return TRUE;
    }
};

enum ReflectWay { kEndsInDefault, kHandles, kDeclines, kFallsToBase };

class CWayButton : public CButton
{
public:
    ReflectWay way = kHandles;
    int nReflected = 0;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (way == kDeclines)
            return FALSE;
        return CButton::OnChildNotify(message, wParam, lParam, pResult);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_REFLECT_BASE + WM_COMMAND) {
            ++nReflected;
            if (way == kEndsInDefault)
                return Default();
            if (way == kHandles)
                return 0;
        }
        return CButton::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(Wnd, AReflectedNotificationIsHandledOnlyWhenTheChildTookIt)
{
    struct Row
    {
        const char* name;
        ReflectWay way;
        int expectReflected;
        bool expectParent;
    } rows[] = {
        {"child ends in Default()", kEndsInDefault, 1, true},
        {"child handles it", kHandles, 1, false},
        {"child declines in OnChildNotify", kDeclines, 0, true},
        {"child falls to the base WindowProc", kFallsToBase, 1, true},
    };
    for (const Row& row : rows) {
        CNotedParent parent;
        ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 200, 100, NULL, NULL)) << row.name;
        CWayButton button;
        button.way = row.way;
        ASSERT_TRUE(button.Create("OK", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 30), &parent, IDOK)) << row.name;
        parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)button.m_hWnd);
        EXPECT_EQ(button.nReflected, row.expectReflected) << row.name;
        EXPECT_EQ(parent.notified.size(), row.expectParent ? 1u : 0u) << row.name;
        parent.DestroyWindow();
    }
}

namespace {

// Answers messages by calling the base WindowProc with other values.
class CRewritingWnd : public CWnd
{
public:
    static const UINT kAskLength = WM_APP + 5;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETTEXT)
            return CWnd::WindowProc(WM_SETTEXT, 0, (LPARAM) "rewritten");
        if (message == kAskLength)
            return CWnd::WindowProc(WM_GETTEXTLENGTH, 0, 0);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(Wnd, TheBaseWindowProcPassesOnWhatItIsGiven)
{
    CRewritingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    wnd.SetWindowText("original");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "rewritten");
    EXPECT_EQ(wnd.SendMessage(CRewritingWnd::kAskLength), 9);
    wnd.DestroyWindow();
}

// --- the wait cursor -----------------------------------------------------------

namespace {

// A control that sets a cursor of its own, as skinned controls do.
class COwnCursorWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETCURSOR) {
            SetCursor(LoadCursor(NULL, IDC_HAND));
            return TRUE;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(Wnd, TheWaitCursorStandsOverEveryWindowOfTheBusyApplication)
{
    CWinApp app("Tarvenex");
    const HCURSOR hWait = LoadCursor(NULL, IDC_WAIT);
    struct Row
    {
        const char* name;
        bool ownCursor;
        bool disabled;
        int hitCode;
    } rows[] = {
        {"client area", false, false, HTCLIENT},
        {"caption", false, false, HTCAPTION},
        {"disabled window (asked with HTERROR)", false, true, HTERROR},
        {"control with a cursor of its own", true, false, HTCLIENT},
    };
    for (const Row& row : rows) {
        COwnCursorWnd own;
        CWnd plain;
        CWnd& wnd = row.ownCursor ? own : plain;
        ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL)) << row.name;
        if (row.disabled)
            wnd.EnableWindow(FALSE);
        app.BeginWaitCursor();
        SetCursor(LoadCursor(NULL, IDC_ARROW));
        EXPECT_TRUE(wnd.SendMessage(WM_SETCURSOR, (WPARAM)wnd.m_hWnd, MAKELPARAM(row.hitCode, WM_MOUSEMOVE)))
            << row.name;
        EXPECT_EQ(GetCursor(), hWait) << row.name;
        app.EndWaitCursor();
        wnd.DestroyWindow();
    }
}

// --- the handle map ------------------------------------------------------------

TEST(Wnd, AnAttachedWindowDestroyedElsewhereLeavesNoEntry)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hWnd != NULL);
    CWnd view;
    ASSERT_TRUE(view.Attach(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &view);
    DestroyWindow(hWnd);
    EXPECT_TRUE(CWnd::FromHandlePermanent(hWnd) == NULL);
    view.Detach();
}

namespace {

// Looks a window up from another thread: TRUE when the lookup ended in time
// (the map's lock is free).
bool LookupEndsOnAnotherThread(HWND hWnd)
{
    struct Call
    {
        HWND hWnd;
        static DWORD WINAPI Run(LPVOID p)
        {
            CWnd::FromHandlePermanent(static_cast<Call*>(p)->hWnd);
            return 0;
        }
    } call = {hWnd};
    HANDLE hThread = CreateThread(NULL, 0, Call::Run, &call, 0, NULL);
    if (hThread == NULL)
        return false;
    bool bEnded = WaitForSingleObject(hThread, 5000) == WAIT_OBJECT_0;
    if (!bEnded)
        TerminateThread(hThread, 1);   // else it would outlive `call`
    CloseHandle(hThread);
    return bEnded;
}

} // namespace

TEST(Wnd, ABindThatCannotBeMadeFailsTheCreationAndFreesTheMap)
{
    std::vector<UINT> log;
    CRecordingWnd wnd(&log);
    LPCSTR lpszClass = PlainClass();
    FailNextAllocations(1);   // the map's entry for the new window
    EXPECT_FALSE(wnd.CreateEx(0, lpszClass, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    FailNextAllocations(0);
    EXPECT_TRUE(wnd.m_hWnd == NULL);
    EXPECT_TRUE(std::find(log.begin(), log.end(), (UINT)WM_CREATE) == log.end()) << Describe(log);
    EXPECT_TRUE(LookupEndsOnAnotherThread(GetDesktopWindow())) << "the map's lock was left owned";

    // The object is as good as new.
    ASSERT_TRUE(wnd.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    wnd.DestroyWindow();
}

TEST(Wnd, TemporaryViewsOfAThreadTheFrameworkDidNotStartAreFreedWhenItEnds)
{
    // Raw handles, bound to no object: the other thread can only get views of them.
    struct Call
    {
        HWND hWnds[3];
        HMENU hMenus[2];
        int nViews;
        static DWORD WINAPI Run(LPVOID p)
        {
            // A thread the framework did not start, which never goes idle in a
            // framework loop (a WinInet or COM callback thread, say).
            Call* pCall = static_cast<Call*>(p);
            const void* views[5] = {};
            for (int i = 0; i < 3; ++i)
                views[i] = CWnd::FromHandle(pCall->hWnds[i]);
            for (int i = 0; i < 2; ++i)
                views[3 + i] = CMenu::FromHandle(pCall->hMenus[i]);
            pCall->nViews = 0;
            for (const void* pView : views)
                pCall->nViews += pView != nullptr;
            WatchForFree(views, 5);
            return 0;
        }
    } call = {{GetDesktopWindow(), CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL),
               CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL)},
              {CreateMenu(), CreatePopupMenu()}, 0};

    HANDLE hThread = CreateThread(NULL, 0, Call::Run, &call, 0, NULL);
    ASSERT_TRUE(hThread != NULL);
    bool bEnded = WaitForSingleObject(hThread, 5000) == WAIT_OBJECT_0;
    if (!bEnded)
        TerminateThread(hThread, 1);   // else it would outlive `call`
    CloseHandle(hThread);
    ASSERT_TRUE(bEnded) << "the thread did not end";

    EXPECT_EQ(call.nViews, 5);
    EXPECT_EQ(CountWatchedNotFreed(), 0) << "views left behind by the ended thread";
    // The views were deleted, not the windows and menus they looked at.
    for (int i = 1; i < 3; ++i) {
        EXPECT_TRUE(IsWindow(call.hWnds[i])) << "window " << i;
        DestroyWindow(call.hWnds[i]);
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(IsMenu(call.hMenus[i])) << "menu " << i;
        DestroyMenu(call.hMenus[i]);
    }
}
