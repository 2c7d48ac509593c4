// The drop source's answers to the system's drag loop, and a drag that never
// starts because no button is held.
#include <gtest/gtest.h>
#include <windows.h>
#include "framework/Framework.h"

namespace {

// Opens the drag state that the base answers depend on.
class OpenDropSource : public COleDropSource
{
public:
    void Set(BOOL started, DWORD dropButton)
    {
        m_bDragStarted = started;
        m_dwButtonDrop = dropButton;
        m_dwButtonCancel = dropButton == MK_LBUTTON ? MK_RBUTTON : MK_LBUTTON;
    }
    bool begun = false;
    BOOL OnBeginDrag(CWnd* pWnd) override
    {
        begun = true;
        return COleDropSource::OnBeginDrag(pWnd);
    }
};

TEST(OleDropSource, QueryContinueDragAnswersFromKeysAndButtons)
{
    struct Row
    {
        const char* name;
        BOOL escape;
        DWORD keys;
        BOOL started;
        DWORD dropButton;
        SCODE expected;
    };
    const Row rows[] = {
        {"left held", FALSE, MK_LBUTTON, TRUE, MK_LBUTTON, S_OK},
        {"left held with Ctrl", FALSE, MK_LBUTTON | MK_CONTROL, TRUE, MK_LBUTTON, S_OK},
        {"left released", FALSE, 0, TRUE, MK_LBUTTON, DRAGDROP_S_DROP},
        {"released before the drag started", FALSE, 0, FALSE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {"Escape", TRUE, MK_LBUTTON, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {"right pressed during a left drag", FALSE, MK_LBUTTON | MK_RBUTTON, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {"right drag held", FALSE, MK_RBUTTON, TRUE, MK_RBUTTON, S_OK},
        {"right drag released", FALSE, 0, TRUE, MK_RBUTTON, DRAGDROP_S_DROP},
        {"left pressed during a right drag", FALSE, MK_LBUTTON | MK_RBUTTON, TRUE, MK_RBUTTON, DRAGDROP_S_CANCEL},
    };
    for (const Row& row : rows) {
        OpenDropSource source;
        source.Set(row.started, row.dropButton);
        EXPECT_EQ(source.GetInterface()->QueryContinueDrag(row.escape, row.keys), row.expected) << row.name;
    }
    OpenDropSource source;
    EXPECT_EQ(source.GetInterface()->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST(OleDropSource, ExceptionsInTheAnswersEndTheDrag)
{
    struct Throwing : COleDropSource
    {
        SCODE QueryContinueDrag(BOOL, DWORD) override { AfxThrowMemoryException(); }
        SCODE GiveFeedback(DROPEFFECT) override { throw 1; }
    } source;
    EXPECT_EQ(source.GetInterface()->QueryContinueDrag(FALSE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source.GetInterface()->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST(OleDropSource, NoDragStartsWithoutAHeldButton)
{
    // The wait for the drag distance ends at once: the button that would
    // start the drag is not down (nothing presses it in this test).
    if (GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0)
        GTEST_SKIP() << "a mouse button is held on this desktop";
    ASSERT_TRUE(SUCCEEDED(OleInitialize(NULL)));
    COleDataSource* data = new COleDataSource;
    data->CacheGlobalData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE, 4));
    OpenDropSource source;
    DWORD start = GetTickCount();
    EXPECT_EQ(data->DoDragDrop(DROPEFFECT_COPY, NULL, &source), (DROPEFFECT)DROPEFFECT_NONE);
    EXPECT_TRUE(source.begun);
    EXPECT_LT(GetTickCount() - start, 2000u);
    data->InternalRelease();
    OleUninitialize();
}

}  // namespace
