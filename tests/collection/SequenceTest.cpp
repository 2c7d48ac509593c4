// The growable array: growth steps, ownership of the element cells, removal
// order, copying, and what an allocation failure leaves behind.
#include <gtest/gtest.h>

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <climits>
#include <vector>

namespace {

// An element that logs its destruction together with the owning sequence's
// count at that moment.
struct Logged
{
    int id = -1;
    const CSequence<Logged>* owner = nullptr;
    static std::vector<std::pair<int, int>>* log;   // (id, owner count) per destruction

    ~Logged()
    {
        if (log != nullptr && owner != nullptr)
            log->push_back({id, owner->m_nCount});
    }
};
std::vector<std::pair<int, int>>* Logged::log = nullptr;

// An element whose construction fails with the framework's exception once a
// budget is spent; s_live counts the objects in existence.
struct Budgeted
{
    int value = 0;
    static int s_live;
    static int s_budget;   // constructions left before failing; -1: unlimited

    Budgeted() { Construct(); }
    explicit Budgeted(int v) : value(v) { Construct(); }
    Budgeted(const Budgeted& o) : value(o.value) { Construct(); }
    Budgeted& operator=(const Budgeted&) = default;
    ~Budgeted() { s_live--; }

    static void Construct()
    {
        if (s_budget == 0)
            AfxThrowMemoryException();
        if (s_budget > 0)
            s_budget--;
        s_live++;
    }
};
int Budgeted::s_live = 0;
int Budgeted::s_budget = -1;

struct Node
{
    int id = 0;
    CSequence<Node> children;
};

std::vector<int> Values(const CSequence<int>& s)
{
    std::vector<int> v;
    for (int i = 0; i < s.m_nCount; i++)
        v.push_back(s[i]);
    return v;
}

CSequence<int> Filled(int n)
{
    CSequence<int> s;
    for (int i = 0; i < n; i++)
        s.Add(i * 10);
    return s;
}

// Expects a CMemoryException* from f and frees it.
template <class F>
void ExpectMemoryException(F f, const char* what)
{
    bool thrown = false;
    try {
        f();
    } catch (CMemoryException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown) << what;
}

} // namespace

TEST(Sequence, EmptyHoldsNothingAndGrowsInStepsOfFive)
{
    CSequence<int> s;
    EXPECT_EQ(s.m_pData, nullptr);
    EXPECT_EQ(s.m_nCapacity, 0);
    EXPECT_EQ(s.m_nGrowBy, 5);
    EXPECT_EQ(s.m_nCount, 0);

    for (int n = 1; n <= 16; n++) {
        EXPECT_EQ(s.Add(n), n - 1) << "add #" << n;
        EXPECT_EQ(s.m_nCapacity, (n + 4) / 5 * 5) << "after " << n << " adds";
        EXPECT_EQ(s.GetSize(), n);
    }
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(s[i], i + 1);
}

TEST(Sequence, RemoveAtClosesTheGapAndTheLastRemovalFreesTheArray)
{
    CSequence<int> s = Filled(4);   // 0 10 20 30
    s.RemoveAt(1);
    EXPECT_EQ(Values(s), (std::vector<int>{0, 20, 30}));
    s.RemoveAt(2);
    s.RemoveAt(0);
    EXPECT_EQ(Values(s), (std::vector<int>{20}));
    EXPECT_EQ(s.m_nCapacity, 5);

    s.RemoveAt(0);
    EXPECT_EQ(s.m_nCount, 0);
    EXPECT_EQ(s.m_nCapacity, 0);
    EXPECT_EQ(s.m_pData, nullptr);

    s.Add(7);
    EXPECT_EQ(s.m_nCapacity, 5);
    EXPECT_EQ(s[0], 7);
}

TEST(Sequence, RemoveAllDestroysLastFirstWithTheCountAlreadyLowered)
{
    std::vector<std::pair<int, int>> log;
    {
        CSequence<Logged> s;
        for (int i = 0; i < 4; i++) {
            Logged item;
            item.id = i;
            item.owner = &s;
            s.Add(item);
            item.owner = nullptr;   // the local copy is not an element
        }
        Logged::log = &log;
        s.RemoveAll();
        EXPECT_EQ(s.m_nCount, 0);
        EXPECT_EQ(s.m_nCapacity, 0);
        EXPECT_EQ(s.m_pData, nullptr);
        EXPECT_EQ(s.m_nGrowBy, 5);
        s.RemoveAll();   // nothing left: does nothing
    }
    Logged::log = nullptr;
    std::vector<std::pair<int, int>> expected = {{3, 3}, {2, 2}, {1, 1}, {0, 0}};
    EXPECT_EQ(log, expected);
}

TEST(Sequence, DestructorDestroysTheElements)
{
    Budgeted::s_budget = -1;
    int before = Budgeted::s_live;
    {
        CSequence<Budgeted> s;
        for (int i = 0; i < 7; i++)
            s.Add(Budgeted(i));
        EXPECT_EQ(Budgeted::s_live - before, 7);
    }
    EXPECT_EQ(Budgeted::s_live, before);
}

TEST(Sequence, AppendGrowsToTheNextStepAboveAndCopiesInOrder)
{
    struct Row { int own; int other; int capacity; };
    const Row rows[] = {
        {0, 0, 5},    // even an empty append onto nothing makes room
        {1, 0, 10},   // capacity 5 grows to 10 although nothing is added
        {2, 3, 10},
        {5, 7, 15},
        {3, 12, 20},
    };
    for (const Row& r : rows) {
        CSequence<int> s = Filled(r.own);
        CSequence<int> other;
        for (int i = 0; i < r.other; i++)
            other.Add(1000 + i);

        EXPECT_EQ(s.Append(other), r.own) << "own " << r.own << ", other " << r.other;
        EXPECT_EQ(s.m_nCapacity, r.capacity) << "own " << r.own << ", other " << r.other;
        ASSERT_EQ(s.m_nCount, r.own + r.other) << "own " << r.own << ", other " << r.other;
        for (int i = 0; i < r.other; i++)
            EXPECT_EQ(s[r.own + i], 1000 + i) << "own " << r.own << ", other " << r.other << ", i " << i;
        EXPECT_EQ(other.m_nCount, r.other);
    }
}

TEST(Sequence, AppendOfItselfDoublesTheElements)
{
    CSequence<int> s = Filled(3);
    EXPECT_EQ(s.Append(s), 3);
    EXPECT_EQ(Values(s), (std::vector<int>{0, 10, 20, 0, 10, 20}));
}

TEST(Sequence, AssignmentTakesCapacityAndStepAndCopiesEveryCell)
{
    CSequence<CString> src;
    for (int i = 0; i < 6; i++) {
        CString text;
        text.Format("item %d", i);
        src.Add(text);
    }
    src.m_nGrowBy = 3;

    CSequence<CString> dst;
    dst.Add("old");
    dst = src;
    EXPECT_EQ(dst.m_nCapacity, 10);
    EXPECT_EQ(dst.m_nGrowBy, 3);
    ASSERT_EQ(dst.m_nCount, 6);
    for (int i = 0; i < 6; i++) {
        EXPECT_NE(dst.m_pData[i], src.m_pData[i]) << "cell " << i << " must be a new object";
        EXPECT_EQ(dst[i], src[i]) << "cell " << i;
        // A string is copied by sharing its buffer.
        EXPECT_EQ((LPCTSTR)dst[i], (LPCTSTR)src[i]) << "cell " << i;
    }

    dst.Add("x");   // grows by the taken-over step
    dst.Add("y");
    dst.Add("z");
    dst.Add("w");
    dst.Add("v");
    EXPECT_EQ(dst.m_nCapacity, 13);

    CSequence<CString> empty;
    dst = empty;
    EXPECT_EQ(dst.m_nCount, 0);
    EXPECT_EQ(dst.m_nCapacity, 0);
    EXPECT_EQ(dst.m_pData, nullptr);
}

TEST(Sequence, RecordsHoldingASequenceAreCopiedDeeply)
{
    Node leaf;
    leaf.id = 3;
    Node mid;
    mid.id = 2;
    mid.children.Add(leaf);
    Node root;
    root.id = 1;
    root.children.Add(mid);
    root.children.Add(mid);

    root.children[0].children[0].id = 30;   // the copies are independent
    EXPECT_EQ(root.children[1].children[0].id, 3);
    EXPECT_EQ(mid.children[0].id, 3);

    // Assigning a node from its own child: the source lives inside the
    // sequence being replaced.
    root = root.children[0];
    EXPECT_EQ(root.id, 2);
    ASSERT_EQ(root.children.m_nCount, 1);
    EXPECT_EQ(root.children[0].id, 30);
    EXPECT_EQ(root.children[0].children.m_nCount, 0);
}

TEST(Sequence, PointerElementsLeaveTheirObjectsAlive)
{
    Budgeted::s_budget = -1;
    int before = Budgeted::s_live;
    Budgeted* a = new Budgeted(1);
    Budgeted* b = new Budgeted(2);
    {
        CSequence<Budgeted*> s;
        s.Add(a);
        s.Add(b);
        s.Add(a);
        s.RemoveAt(0);
        EXPECT_EQ(s[0], b);
        EXPECT_EQ(Budgeted::s_live - before, 2);
        s.RemoveAll();
        EXPECT_EQ(Budgeted::s_live - before, 2);
        s.Add(b);
    }
    EXPECT_EQ(Budgeted::s_live - before, 2);
    EXPECT_EQ(a->value, 1);
    EXPECT_EQ(b->value, 2);
    delete a;
    delete b;
}

TEST(Sequence, GrowThatCannotBeMetThrowsAndChangesNothing)
{
    // Requests beyond the address space, and ones whose byte size does not
    // fit in 32 bits.
    const int requests[] = {INT_MAX, INT_MAX - 5, 0x40000000, 0x3FFFFFFF, 0x30000000};
    for (int n : requests) {
        CSequence<int> s = Filled(3);
        int** data = s.m_pData;
        ExpectMemoryException([&] { s.Grow(n); }, "Grow");
        EXPECT_EQ(s.m_pData, data) << "Grow(" << n << ")";
        EXPECT_EQ(s.m_nCapacity, 5) << "Grow(" << n << ")";
        EXPECT_EQ(Values(s), (std::vector<int>{0, 10, 20})) << "Grow(" << n << ")";
    }
}

TEST(Sequence, FailedAddKeepsTheEarlierElements)
{
    Budgeted::s_budget = -1;
    int before = Budgeted::s_live;
    {
        CSequence<Budgeted> s;
        for (int i = 0; i < 5; i++)
            s.Add(Budgeted(i));
        Budgeted extra(99);

        Budgeted::s_budget = 0;   // the next cell cannot be made
        ExpectMemoryException([&] { s.Add(extra); }, "Add");
        Budgeted::s_budget = -1;

        EXPECT_EQ(s.m_nCount, 5);
        EXPECT_EQ(s.m_nCapacity, 10);   // the slots were had before the cell failed
        for (int i = 0; i < 5; i++)
            EXPECT_EQ(s[i].value, i);
        EXPECT_EQ(Budgeted::s_live - before, 6);   // five cells and the local
        EXPECT_EQ(s.Add(extra), 5);
    }
    EXPECT_EQ(Budgeted::s_live, before);
}

TEST(Sequence, AppendFailingPartWayFreesTheCopiesItMade)
{
    Budgeted::s_budget = -1;
    int before = Budgeted::s_live;
    {
        CSequence<Budgeted> s;
        s.Add(Budgeted(1));
        CSequence<Budgeted> other;
        for (int i = 0; i < 4; i++)
            other.Add(Budgeted(10 + i));
        EXPECT_EQ(Budgeted::s_live - before, 5);

        Budgeted::s_budget = 2;   // two copies succeed, the third fails
        ExpectMemoryException([&] { s.Append(other); }, "Append");
        Budgeted::s_budget = -1;

        EXPECT_EQ(Budgeted::s_live - before, 5) << "the two copies made must be freed";
        ASSERT_EQ(s.m_nCount, 1);
        EXPECT_EQ(s[0].value, 1);

        EXPECT_EQ(s.Append(other), 1);
        EXPECT_EQ(s.m_nCount, 5);
        EXPECT_EQ(s[4].value, 13);
    }
    EXPECT_EQ(Budgeted::s_live, before);
}

TEST(Sequence, AssignmentFailingPartWayLeavesTheTargetAsItWas)
{
    Budgeted::s_budget = -1;
    int before = Budgeted::s_live;
    {
        CSequence<Budgeted> dst;
        dst.Add(Budgeted(7));
        CSequence<Budgeted> src;
        for (int i = 0; i < 3; i++)
            src.Add(Budgeted(i));

        Budgeted::s_budget = 1;
        ExpectMemoryException([&] { dst = src; }, "assignment");
        Budgeted::s_budget = -1;

        EXPECT_EQ(Budgeted::s_live - before, 4);
        ASSERT_EQ(dst.m_nCount, 1);
        EXPECT_EQ(dst[0].value, 7);
        EXPECT_EQ(dst.m_nCapacity, 5);
    }
    EXPECT_EQ(Budgeted::s_live, before);
}
