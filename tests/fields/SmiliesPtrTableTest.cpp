// The grid table of a field: rows appear up to the one written, empty rows at
// the end go, counts follow the cells, and cells outside read as empty.
#include "fields/SmiliesPtrTable.h"

#include "collection/Smilie.h"

#include <gtest/gtest.h>

TEST(SmiliesPtrTable, RowsGrowToTheCellAndShrinkToTheLastSmilie)
{
    CSmilie a, b, c;
    CSmiliesPtrTable table(4);
    ASSERT_TRUE(table.SetAt(&a, 1, 0));
    ASSERT_TRUE(table.SetAt(&b, 3, 5));
    EXPECT_EQ(6, table.GetRowCount());
    EXPECT_EQ(2, table.GetTotal());
    EXPECT_EQ(0, table.GetRowSmilieCount(3));
    EXPECT_EQ(&b, table.GetAt(3, 5));

    ASSERT_TRUE(table.SetAt(&c, 0, 2));
    table.RemoveAt(3, 5);
    EXPECT_EQ(3, table.GetRowCount()) << "empty rows at the end go";
    EXPECT_EQ(2, table.GetTotal());
    table.RemoveAt(0, 2);
    EXPECT_EQ(1, table.GetRowCount());
    table.RemoveAt(1, 0);
    EXPECT_EQ(0, table.GetRowCount());
    EXPECT_EQ(0, table.GetTotal());
}

TEST(SmiliesPtrTable, OutsideCellsAndTakenCells)
{
    CSmilie a, b;
    CSmiliesPtrTable table(3);
    ASSERT_TRUE(table.SetAt(&a, 2, 1));
    EXPECT_FALSE(table.SetAt(&b, 2, 1)) << "a taken cell keeps its smilie";
    EXPECT_EQ(1, table.GetTotal());
    EXPECT_EQ(1, table.GetRowSmilieCount(1));
    EXPECT_FALSE(table.SetAt(&b, 3, 0));
    EXPECT_FALSE(table.SetAt(&b, -1, 0));
    EXPECT_FALSE(table.SetAt(&b, 0, -1));
    EXPECT_EQ(NULL, table.GetAt(3, 1));
    EXPECT_EQ(NULL, table.GetAt(0, 9));
    EXPECT_EQ(NULL, table.GetAt(-1, 1));
    table.RemoveAt(0, 9);   // beyond the rows: nothing
    table.RemoveAt(0, 1);   // an empty cell: counts stay
    EXPECT_EQ(1, table.GetTotal());
    EXPECT_EQ(2, table.GetRowCount());
}
