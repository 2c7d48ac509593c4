// CRect, CPoint and CSize arithmetic, including Windows' rules for empty rectangles.
#include <gtest/gtest.h>

#include "framework/Geometry.h"

#include <ostream>

static std::ostream& operator<<(std::ostream& os, const RECT& r)
{
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

TEST(Geometry, RectOperations)
{
    struct Row { const char* what; CRect got; CRect expected; };
    const CRect a(0, 0, 10, 10), b(5, 5, 20, 15), apart(30, 30, 40, 40);
    CRect reversed(10, 8, 2, 1);
    reversed.NormalizeRect();
    CRect inflated(a);
    inflated.InflateRect(1, 2);
    CRect deflated(a);
    deflated.DeflateRect(1, 2, 3, 4);
    CRect moved(a);
    moved.MoveToXY(3, 4);
    CRect unionWithEmpty(a);
    unionWithEmpty |= CRect(100, 100, 100, 120);
    const Row rows[] = {
        {"a & b", a & b, CRect(5, 5, 10, 10)},
        {"a & apart (disjoint gives all zeros)", a & apart, CRect(0, 0, 0, 0)},
        {"a | b", a | b, CRect(0, 0, 20, 15)},
        {"union ignores an empty rect", unionWithEmpty, a},
        {"NormalizeRect", reversed, CRect(2, 1, 10, 8)},
        {"InflateRect", inflated, CRect(-1, -2, 11, 12)},
        {"DeflateRect", deflated, CRect(1, 2, 7, 6)},
        {"MoveToXY", moved, CRect(3, 4, 13, 14)},
        {"+ point", a + CPoint(2, 3), CRect(2, 3, 12, 13)},
        {"- size", a - CSize(2, 3), CRect(-2, -3, 8, 7)},
        {"+ rect inflates", a + CRect(1, 1, 1, 1), CRect(-1, -1, 11, 11)},
        {"from point and size", CRect(CPoint(1, 2), CSize(3, 4)), CRect(1, 2, 4, 6)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.expected) << r.what << ": got " << r.got;

    EXPECT_EQ(b.Width(), 15);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_EQ(b.Size(), CSize(15, 10));
    EXPECT_EQ(b.CenterPoint(), CPoint(12, 10));
    EXPECT_TRUE(a.PtInRect(CPoint(0, 0)));
    EXPECT_FALSE(a.PtInRect(CPoint(10, 5))) << "the right edge is outside";
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
    EXPECT_TRUE(CRect().IsRectNull());

    CRect r(1, 2, 3, 4);
    r.TopLeft() = CPoint(-1, -2);   // the corners alias the rectangle's fields
    r.BottomRight().Offset(1, 1);
    EXPECT_EQ(r, CRect(-1, -2, 4, 5));
    EXPECT_EQ(CPoint(7, 9) - CPoint(2, 4), CSize(5, 5));
    EXPECT_EQ(CPoint(MAKELPARAM(-3, 12)), CPoint(-3, 12)) << "coordinates from a message are signed";
}
