// The sort keys of a field's arrangement on loose smilies: usage and date
// highest first, text in byte order with case, position by row then column,
// and the shuffle keeps every smilie once.
#include "fields/SmiliesField.h"

#include "collection/Smilie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

std::vector<CSmilie*> Pointers(std::vector<CSmilie>& smilies)
{
    std::vector<CSmilie*> p;
    for (CSmilie& s : smilies)
        p.push_back(&s);
    return p;
}

}  // namespace

TEST(SortSmilies, UsageHighestFirst)
{
    std::vector<CSmilie> smilies(4);
    const DWORD counts[4] = {4, 0, 9, 4};
    for (int i = 0; i < 4; i++)
        smilies[i].m_nUsageCount = counts[i];
    std::vector<CSmilie*> p = Pointers(smilies);
    CSmiliesField::SortSmilies(SORT_USAGE, 4, p.data());
    EXPECT_EQ(&smilies[2], p[0]);
    EXPECT_EQ(4u, p[1]->m_nUsageCount);
    EXPECT_EQ(4u, p[2]->m_nUsageCount);
    EXPECT_EQ(&smilies[1], p[3]);
}

TEST(SortSmilies, TextInByteOrderWithCase)
{
    std::vector<CSmilie> smilies(4);
    const char* phrases[4] = {"apple", "Zebra", "zoo", "Apple pie and more than sixteen"};
    for (int i = 0; i < 4; i++)
        smilies[i].SetPhrase(phrases[i], FALSE);
    std::vector<CSmilie*> p = Pointers(smilies);
    CSmiliesField::SortSmilies(SORT_TEXT, 4, p.data());
    EXPECT_EQ(&smilies[3], p[0]);
    EXPECT_EQ(&smilies[1], p[1]) << "an upper-case Z comes before a lower-case a";
    EXPECT_EQ(&smilies[0], p[2]);
    EXPECT_EQ(&smilies[2], p[3]);
}

TEST(SortSmilies, DateNewestFirstAndPositionByRow)
{
    std::vector<CSmilie> smilies(3);
    smilies[0].m_Date.wYear = 2004;
    smilies[0].m_Date.wMonth = 5;
    smilies[0].m_Date.wDay = 1;
    smilies[1].m_Date.wYear = 1850;  // before 1900 counts as no date
    smilies[1].m_Date.wMonth = 1;
    smilies[1].m_Date.wDay = 1;
    smilies[2].m_Date.wYear = 2005;
    smilies[2].m_Date.wMonth = 1;
    smilies[2].m_Date.wDay = 1;
    std::vector<CSmilie*> p = Pointers(smilies);
    CSmiliesField::SortSmilies(SORT_DATE, 3, p.data());
    EXPECT_EQ(&smilies[2], p[0]);
    EXPECT_EQ(&smilies[0], p[1]);
    EXPECT_EQ(&smilies[1], p[2]);

    smilies[0].SetCell(5, 1);
    smilies[1].SetCell(0, 2);
    smilies[2].SetCell(7, 0);
    for (int nMode : {static_cast<int>(SORT_POSITION), 42}) {
        p = Pointers(smilies);
        CSmiliesField::SortSmilies(nMode, 3, p.data());
        EXPECT_EQ(&smilies[2], p[0]) << "mode " << nMode;
        EXPECT_EQ(&smilies[0], p[1]) << "mode " << nMode;
        EXPECT_EQ(&smilies[1], p[2]) << "mode " << nMode;
    }
}

TEST(SortSmilies, ShuffleAndNoneKeepEverySmilie)
{
    std::vector<CSmilie> smilies(25);
    for (int nMode : {static_cast<int>(SORT_RANDOM), static_cast<int>(SORT_NONE)}) {
        std::vector<CSmilie*> p = Pointers(smilies);
        const std::vector<CSmilie*> before = p;
        CSmiliesField::SortSmilies(nMode, 25, p.data());
        EXPECT_EQ(std::set<CSmilie*>(before.begin(), before.end()), std::set<CSmilie*>(p.begin(), p.end()))
            << "mode " << nMode;
        if (nMode == SORT_NONE) {
            EXPECT_EQ(before, p);
        }
    }
}

TEST(SortSmilies, SizesWithoutImageCacheKeepTheOrder)
{
    std::vector<CSmilie> smilies(3);
    std::vector<CSmilie*> p = Pointers(smilies);
    const std::vector<CSmilie*> before = p;
    CSmiliesField::SortSmilies(SORT_PICTURE_SIZE, 3, p.data());
    CSmiliesField::SortSmilies(SORT_DATA_SIZE, 3, p.data());
    EXPECT_EQ(before, p);
}
