// Target-application rows: reading row texts and lists, the version
// arithmetic, the scores, and the fixed tables, each as a table of cases.
#include "delivery/AppAttr.h"
#include "delivery/TargetApps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

DWORD Ms(WORD major, WORD minor)
{
    return MAKELONG(minor, major);
}

ULONGLONG Version(WORD major, WORD minor, WORD build = 0)
{
    return (ULONGLONG(Ms(major, minor)) << 32) | (ULONGLONG(build) << 16);
}

// The asking program: its executable, its version as both bounds, its title.
CAppAttr Asking(const char* exe, ULONGLONG version, const char* title = "")
{
    CAppAttr a;
    a.SetExeName(exe);
    a.versionFrom = a.versionTo = version;
    a.SetParam(title);
    return a;
}

CAppAttr Row(const char* text)
{
    CAppAttr row;
    ParseAppAttr(row, text);
    return row;
}

TEST(AppAttr, RowTexts)
{
    const struct {
        const char* text;
        const char* exe;
        ULONGLONG from, to;
        const char* param;
    } rows[] = {
        {"msimn.exe \t 0 \t NULL", "msimn.exe", 0, 0, ""},
        {"winmail.exe \t 6.0 - 8.0 \t NULL", "winmail.exe", Version(6, 0), Version(8, 0), ""},
        {"waol.exe \t 9.0 \t NULL", "waol.exe", Version(9, 0), Version(9, 0), ""},
        {"thebat.exe \t 2.0 - 2.09 \t NULL", "thebat.exe", Version(2, 0), Version(2, 9), ""},
        {"IEXPLORE.EXE \t 0 \t shop.example", "IEXPLORE.EXE", 0, 0, "shop.example"},
        {"  a.exe\t1.5\t 0 \r\n", "a.exe", Version(1, 5), Version(1, 5), ""},
        {"null \t 0 \t x", "", 0, 0, "x"},
        {"0 \t 0 \t Null", "", 0, 0, ""},
        {"b.exe \t 1.0 - 2.0 \t p \t ignored", "b.exe", Version(1, 0), Version(2, 0), "p"},
        {"", "", 0, 0, ""},
        {"c.exe", "c.exe", 0, 0, ""},
        {"d.exe \t junk \t NULL", "d.exe", 0, 0, ""},
        // Ten-thousandths rounded half up on the written digits: a double
        // holds 6.01715 and 1.33355 a hair off, differently in each build.
        {"e.exe \t 6.01715 \t NULL", "e.exe", Version(6, 172), Version(6, 172), ""},
        {"e.exe \t 1.33355 - 1.99995 \t NULL", "e.exe", Version(1, 3336), Version(2, 0), ""},
        {"e.exe \t 6.01714999 \t NULL", "e.exe", Version(6, 171), Version(6, 171), ""},
        {"e.exe \t .5 \t NULL", "e.exe", Version(0, 5), Version(0, 5), ""},
        {"e.exe \t 70000 - 2 \t NULL", "e.exe", 0, Version(2, 0), ""},
        {"e.exe \t 99999999999 - 2 \t NULL", "e.exe", 0, Version(2, 0), ""},
    };
    for (const auto& r : rows) {
        const CAppAttr row = Row(r.text);
        EXPECT_STREQ(r.exe, row.exeName) << '"' << r.text << '"';
        EXPECT_EQ(r.from, row.versionFrom) << '"' << r.text << '"';
        EXPECT_EQ(r.to, row.versionTo) << '"' << r.text << '"';
        EXPECT_STREQ(r.param, row.param) << '"' << r.text << '"';
    }
}

TEST(AppAttr, ListsSplitAtBreaksAndKeepEmptyPieces)
{
    CSequence<CAppAttr> list;
    ParseAppAttrList(list, "a.exe \t 0 \t NULL <br>b.exe \t 1.0 \t NULL <br><br>c.exe");
    ASSERT_EQ(4, list.GetSize());
    EXPECT_STREQ("a.exe", list[0].exeName);
    EXPECT_STREQ("b.exe", list[1].exeName);
    EXPECT_FALSE(list[2].HasExeName());
    EXPECT_STREQ("c.exe", list[3].exeName);
    ParseAppAttrList(list, HtmlMailList);
    EXPECT_EQ(13, list.GetSize());
    EXPECT_STREQ("b2.exe", list[12].exeName);
    ParseAppAttrList(list, HtmlFragmentByAddressList);
    EXPECT_EQ(4, list.GetSize()) << "a new parse empties the list first";
}

TEST(AppAttr, VersionNumbers)
{
    const struct {
        WORD major, minor;
        double expected;
    } rows[] = {
        {6, 1, 6.1}, {7, 0, 7.0}, {2, 12, 2.12}, {6, 10, 6.1}, {2, 9, 2.9},
        {9, 123, 9.123}, {12345, 0, 1234.0}, {1, 56789, 1.5678}, {0, 0, 0},
    };
    for (const auto& r : rows)
        EXPECT_DOUBLE_EQ(r.expected, GetVersionNumber(Ms(r.major, r.minor))) << r.major << "." << r.minor;
}

TEST(AppAttr, VersionsFromDecimals)
{
    const struct {
        double x;
        WORD major, minor;
    } rows[] = {
        {6.1, 6, 1}, {2.09, 2, 9}, {10.0, 10, 0}, {-3.5, 3, 5}, {9.4, 9, 4},
        {1.2345, 1, 2345}, {6.99996, 7, 0}, {0.0, 0, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Version(r.major, r.minor), VersionFromDecimal(r.x)) << r.x;
    EXPECT_EQ(0u, VersionFromDecimal(70000.0)) << "no 16-bit major";
}

TEST(AppAttr, Scores)
{
    const struct {
        const char* name;
        CAppAttr asking;
        const char* row;
        double expected;
    } rows[] = {
        {"name only", Asking("msimn.exe", Version(6, 0)), "msimn.exe \t 0 \t NULL", 1},
        {"upper-case name", Asking("OUTLOOK.EXE", Version(11, 0)), "outlook.exe \t 0 \t NULL", 1},
        {"other name", Asking("excel.exe", Version(11, 0)), "outlook.exe \t 0 \t NULL", 0},
        {"no name asks", Asking("", Version(11, 0)), "outlook.exe \t 0 \t NULL", 0},
        {"exact version", Asking("waol.exe", Version(9, 0)), "waol.exe \t 9.0 \t NULL", 2},
        {"9.0.1 is 9.0", Asking("waol.exe", Version(9, 0, 1)), "waol.exe \t 9.0 \t NULL", 2},
        {"outside", Asking("waol.exe", Version(9, 5)), "waol.exe \t 9.0 - 9.4 \t NULL", 0},
        {"range", Asking("winmail.exe", Version(6, 0)), "winmail.exe \t 6.0 - 8.0 \t NULL", 1 + 0.9 + 0.1 * 6 / 8},
        {"lower bound 0", Asking("waol.exe", Version(6, 0)), "waol.exe \t 0.0 - 6.9 \t NULL", 1 + 0.1 * 6 / 6.9},
        {"Courier 3.4 included", Asking("courier.exe", Version(3, 4)), "courier.exe \t 3.0 - 3.4 \t NULL",
         1 + 0.9 * 3 / 3.4 + 0.1},
        {"The Bat! 2.12 in 2.0 - 2.09", Asking("thebat.exe", Version(2, 12)), "thebat.exe \t 2.0 - 2.09 \t NULL",
         1 + 0.9 * 2 / 2.12 + 0.1 * 2.12 / 2.9},
        {"The Bat! 3.0 outside", Asking("thebat.exe", Version(3, 0)), "thebat.exe \t 2.0 - 2.09 \t NULL", 0},
        {"no version resource, any version", Asking("msimn.exe", 0), "msimn.exe \t 0 \t NULL", 1},
        {"no version resource, versioned row", Asking("waol.exe", 0), "waol.exe \t 9.0 \t NULL", 1},
        {"title holds the parameter", Asking("IEXPLORE.EXE", Version(6, 0), "shop.example - page"),
         "IEXPLORE.EXE \t 0 \t shop.example", 3},
        {"title lacks the parameter", Asking("iexplore.exe", Version(6, 0), "other page"),
         "IEXPLORE.EXE \t 0 \t shop.example", 0},
        {"parameter is case-sensitive", Asking("iexplore.exe", Version(6, 0), "SHOP.EXAMPLE"),
         "IEXPLORE.EXE \t 0 \t shop.example", 0},
        {"empty title", Asking("iexplore.exe", Version(6, 0), ""), "IEXPLORE.EXE \t 0 \t shop.example", 1},
        {"empty row", Asking("msimn.exe", Version(6, 0)), "", 0},
    };
    for (const auto& r : rows)
        EXPECT_NEAR(r.expected, MatchAppAttr(r.asking, Row(r.row)), 1e-9) << r.name;
}

TEST(AppAttr, TighterRangeScoresHigher)
{
    const CAppAttr asking = Asking("waol.exe", Version(9, 0));
    EXPECT_GT(MatchAppAttr(asking, Row("waol.exe \t 9.0 \t NULL")), MatchAppAttr(asking, Row("waol.exe \t 9.0 - 9.4 \t NULL")));
    EXPECT_GT(MatchAppAttr(asking, Row("waol.exe \t 9.0 - 9.4 \t NULL")), MatchAppAttr(asking, Row("waol.exe \t 0 \t NULL")));
}

TEST(AppAttr, ListsScoreTheBestTargetUnlessExcluded)
{
    CSequence<CAppAttr> targets, exclusions, none;
    ParseAppAttrList(targets, "waol.exe \t 0 \t NULL <br>waol.exe \t 9.0 \t NULL");
    const CAppAttr aol9 = Asking("waol.exe", Version(9, 0));
    EXPECT_DOUBLE_EQ(2, MatchAppAttrLists(aol9, targets, none));
    ParseAppAttrList(exclusions, "x.exe \t 0 \t NULL <br>waol.exe \t 9.0 - 9.4 \t NULL");
    EXPECT_EQ(0, MatchAppAttrLists(aol9, targets, exclusions));
    EXPECT_EQ(0, MatchAppAttrLists(aol9, none, none));
    EXPECT_DOUBLE_EQ(1, MatchAppAttrLists(Asking("waol.exe", Version(8, 0)), targets, exclusions));
}

TEST(TargetApps, UnsupportedProgramsWithoutCase)
{
    const struct {
        const char* exe;
        const char* name;   // NULL: not in the table
    } rows[] = {
        {"poco.exe", "PocoMail"}, {"ICQLITE.EXE", "ICQ"}, {"msmsgs.exe", "MSN Messenger"},
        {"Trillian.exe", "Trillian"}, {"msnmsgr.exe", NULL}, {"", NULL},
    };
    for (const auto& r : rows) {
        const UNSUPPORTEDAPP* p = FindUnsupportedApp(r.exe);
        if (r.name == NULL) {
            EXPECT_TRUE(p == NULL) << r.exe;
        } else {
            ASSERT_TRUE(p != NULL) << r.exe;
            EXPECT_STREQ(r.name, p->pszAppName) << r.exe;
        }
    }
}

TEST(TargetApps, ProgramsWhoseHtmlMailMayBeOff)
{
    const struct {
        const char* exe;
        WORD major, minor;
        const char* name;   // NULL: no advice
        const char* advice;
    } rows[] = {
        {"outlook.exe", 11, 0, "Outlook 2003", "\"Format\" -> \"HTML\""},
        {"OUTLOOK.EXE", 10, 0, "Outlook 2003", "\"Format\" -> \"HTML\""},
        {"outlook.exe", 12, 0, NULL, NULL},
        {"b2.exe", 2, 40, "Becky!", "\"Tools\" -> \"Wite HTML Message\""},
        {"winmail.exe", 6, 0, "Windows Mail", "\"Format\" -> \"Rich Text (HTML)\""},
        {"thunderbird.exe", 2, 0, "Mozilla Thunderbird",
         "\"Tools\" -> \"Account Settings...\" -> \"Composition && Addressing\" -> \"Compose messages in HTML "
         "format\""},
        {"msimn.exe", 6, 0, NULL, NULL},
    };
    for (const auto& r : rows) {
        const HTMLOFFAPP* p = FindHtmlOffApp(r.exe, Ms(r.major, r.minor));
        if (r.name == NULL) {
            EXPECT_TRUE(p == NULL) << r.exe << " " << r.major;
            continue;
        }
        ASSERT_TRUE(p != NULL) << r.exe << " " << r.major;
        EXPECT_STREQ(r.name, p->pszAppName);
        EXPECT_STREQ(r.advice, p->pszAdvice);
    }
}

TEST(TargetApps, EveryListReadsIntoNamedRows)
{
    const char* const lists[] = {HtmlMailList, HtmlPageList, IncrediMailList, WebShopList, HtmlFragmentList,
                                 EudoraHtmlList, NetscapeList, PegasusList, TheBat3List, EudoraDibList,
                                 HtmlMailByAddressList, HtmlFragmentByAddressList};
    for (const char* text : lists) {
        CSequence<CAppAttr> list;
        ParseAppAttrList(list, text);
        ASSERT_GT(list.GetSize(), 0) << text;
        for (int i = 0; i < list.GetSize(); i++)
            EXPECT_TRUE(list[i].HasExeName()) << text << ", row " << i;
    }
    CSequence<CAppAttr> shop;
    ParseAppAttrList(shop, WebShopList);
    EXPECT_TRUE(shop[0].HasParam()) << "the shop is found by its title";
}

}  // namespace
