// The web-smilie queue without downloads: what it takes, what it drops, and
// where its cursor points.
#include "collection/Smilie.h"
#include "tests/collection/SmilieTestField.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct QueueTest : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_EQ(0, g_WebSmilieQueue.GetSize());
        g_nWebSmilieCursor = -1;
    }
    void TearDown() override
    {
        smilies.clear();
        EXPECT_EQ(0, g_WebSmilieQueue.GetSize());   // destruction leaves the queue
    }

    // A smilie bound to the field whose picture must come from its address;
    // not queued.
    CSmilie* Web(const char* pszAddress, DWORD nFlags = 0)
    {
        smilies.emplace_back(new CSmilie);
        CSmilie* p = smilies.back().get();
        p->m_nFlags = nFlags;
        p->SetSource(pszAddress);
        p->SetField(&field);
        return p;
    }

    int IndexOf(const CSmilie* p) const
    {
        for (int i = 0; i < g_WebSmilieQueue.GetSize(); i++) {
            if (g_WebSmilieQueue[i] == p)
                return i;
        }
        return -1;
    }

    CTestSmilieField field;
    std::vector<std::unique_ptr<CSmilie>> smilies;
};

}   // namespace

TEST_F(QueueTest, QueueTakesEachPendingSmilieOnce)
{
    CSmilie* a = Web("http://127.0.0.1/a.gif");
    EXPECT_TRUE(CSmilie::QueueDownload(a));
    EXPECT_FALSE(CSmilie::QueueDownload(a));
    EXPECT_EQ(0, g_nWebSmilieCursor);

    CSmilie* noSource = Web("");
    CSmilie* stored = Web("http://127.0.0.1/b.gif");
    stored->SetImage(5);
    CSmilie* web = Web("http://127.0.0.1/c.gif", CSmilie::flagWebSmilie);
    web->SetImage(6);
    EXPECT_FALSE(CSmilie::QueueDownload(NULL));
    EXPECT_FALSE(CSmilie::QueueDownload(noSource));
    EXPECT_FALSE(CSmilie::QueueDownload(stored));
    EXPECT_TRUE(CSmilie::QueueDownload(web));
    EXPECT_EQ(2, g_WebSmilieQueue.GetSize());
}

TEST_F(QueueTest, CopiesAndLoadedRecordsJoinTheQueue)
{
    CSmilie* a = Web("http://127.0.0.1/a.gif");
    CSmilie copy(*a);
    EXPECT_EQ(0, IndexOf(&copy));

    uint32_t n = 0;
    a->SaveRecord(NULL, &n);
    std::vector<BYTE> b(n);
    a->SaveRecord(b.data(), &n);
    CSmilie loaded;
    ASSERT_TRUE(loaded.LoadRecord(b.data(), n, 0));
    EXPECT_EQ(1, IndexOf(&loaded));
}

TEST_F(QueueTest, UnqueueKeepsTheCursorOnTheSameEntry)
{
    CSmilie* s[4];
    for (int i = 0; i < 4; i++) {
        s[i] = Web("http://127.0.0.1/x.gif");
        ASSERT_TRUE(CSmilie::QueueDownload(s[i]));
    }
    g_nWebSmilieCursor = 2;
    CSmilie::UnqueueDownload(s[0]);
    EXPECT_EQ(1, g_nWebSmilieCursor);
    EXPECT_EQ(1, IndexOf(s[2]));
    CSmilie::UnqueueDownload(s[3]);
    EXPECT_EQ(1, g_nWebSmilieCursor);
    CSmilie::UnqueueDownload(s[0]);   // not queued any more
    EXPECT_EQ(2, g_WebSmilieQueue.GetSize());

    // A cursor past the end is brought to a new entry.
    g_nWebSmilieCursor = 7;
    CSmilie* late = Web("http://127.0.0.1/y.gif");
    ASSERT_TRUE(CSmilie::QueueDownload(late));
    EXPECT_EQ(2, g_nWebSmilieCursor);
}

TEST_F(QueueTest, WalkDropsWhatNeedsNoDownloadAndCountsWebSmilies)
{
    CSmilie* arrived = Web("http://127.0.0.1/a.gif");
    CSmilie* unbound = Web("http://127.0.0.1/b.gif");
    CSmilie* emptied = Web("http://127.0.0.1/c.gif");
    CSmilie* web1 = Web("http://127.0.0.1/d.gif", CSmilie::flagWebSmilie);
    CSmilie* web2 = Web("http://127.0.0.1/e.gif", CSmilie::flagWebSmilie);
    for (CSmilie* p : {arrived, unbound, emptied, web1, web2})
        ASSERT_TRUE(CSmilie::QueueDownload(p));
    web1->SetImage(3);   // web smilies stay queued with a picture
    arrived->SetImage(4);
    unbound->SetField(NULL);
    emptied->SetSource("");

    // The cursor stands behind every entry: nothing is started, the three
    // dead entries are dropped and the cursor follows its entry.
    g_nWebSmilieCursor = 5;
    int nWeb = -1;
    EXPECT_FALSE(CSmilie::StartNextDownload(FALSE, &nWeb));
    EXPECT_EQ(2, nWeb);
    ASSERT_EQ(2, g_WebSmilieQueue.GetSize());
    EXPECT_EQ(0, IndexOf(web1));
    EXPECT_EQ(1, IndexOf(web2));
    EXPECT_EQ(2, g_nWebSmilieCursor);

    // Without the wrap flag a cursor at the end stays there; with it, the
    // cursor returns to the start after the walk.
    EXPECT_FALSE(CSmilie::StartNextDownload(FALSE, NULL));
    EXPECT_EQ(2, g_nWebSmilieCursor);
    EXPECT_FALSE(CSmilie::StartNextDownload(TRUE, NULL));
    EXPECT_EQ(0, g_nWebSmilieCursor);
}
