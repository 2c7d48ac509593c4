// The geometry of the in-field controls: the cell size a resize drag gives
// and the picture offset a move keeps.
#include "fields/InFieldControls.h"

#include <gtest/gtest.h>

namespace {

TEST(InFieldControls, ResizedCellKeepsItsLimitsFillsTheWindowAndSnapsItsHeight)
{
    const struct {
        int cxClient, cxWindow, x, y;
        SIZE expected;
    } rows[] = {
        {300, 300, 70, 70, {75, 72}},     // 300 / (300 / 70); 70 is within 2 of 72
        {300, 300, 10, 10, {42, 28}},     // a seventh and two thirds of it
        {300, 300, 400, 900, {150, 300}}, // a half, and twice that high
        {245, 245, 35, 32, {35, 34}},
        {245, 245, 35, 36, {35, 34}},
        {245, 245, 35, 31, {35, 31}},
        {245, 245, 35, 37, {35, 37}},
        {343, 343, 49, 45, {49, 47}},
        {567, 567, 81, 80, {81, 78}},
        {6, 6, 3, 3, {3, 2}},             // below 7 pixels the width stays at least 1
        {0, 0, 5, 5, {1, 0}},
    };
    for (const auto& row : rows) {
        const SIZE size = ComputeResizedCell(row.cxClient, row.cxWindow, row.x, row.y);
        EXPECT_EQ(row.expected.cx, size.cx) << row.cxClient << " " << row.x << "," << row.y;
        EXPECT_EQ(row.expected.cy, size.cy) << row.cxClient << " " << row.x << "," << row.y;
    }
}

TEST(InFieldControls, OffsetStaysWithinHalfThePicture)
{
    const struct {
        POINT pt;
        SIZE size;
        POINT expected;
    } rows[] = {
        {{100, 0}, {20, 16}, {10, 0}},
        {{-100, -100}, {20, 16}, {-10, -8}},
        {{3, -4}, {20, 16}, {3, -4}},
        {{50, 50}, {21, 9}, {10, 4}},
        {{5, 5}, {0, 0}, {0, 0}},
    };
    for (const auto& row : rows) {
        const POINT pt = ClampImageOffset(row.pt, row.size);
        EXPECT_EQ(row.expected.x, pt.x) << row.pt.x << "," << row.pt.y;
        EXPECT_EQ(row.expected.y, pt.y) << row.pt.x << "," << row.pt.y;
    }
}

}  // namespace
