// The smilie's texts: the text composed for sending, the rewriting of retired
// picture addresses, the phrase laid out in lines; and copying a smilie.
#include "services/ChangeTracking.h"
#include "collection/Smilie.h"
#include "framework/Dc.h"
#include "tests/collection/SmilieTestField.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Migrate(const std::string& s)
{
    // The bytes sit at the very end of a readable page, unterminated, as they
    // do at the end of a record: a compare past them faults.
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    BYTE* pBase = static_cast<BYTE*>(VirtualAlloc(NULL, 2 * si.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD nOld;
    VirtualProtect(pBase + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &nOld);
    char* pch = reinterpret_cast<char*>(pBase + si.dwPageSize - s.size());
    memcpy(pch, s.data(), s.size());
    std::unique_ptr<char[]> p(CSmilie::MigrateSourceUrl(pch, uint32_t(s.size())));
    VirtualFree(pBase, 0, MEM_RELEASE);
    return p.get();
}

}   // namespace

TEST(SmilieText, MigrateSourceUrlRewritesOnlyRetiredAddresses)
{
    struct Row
    {
        const char* input;
        const char* expected;
    } rows[] = {
        {"http://smilies.mordale.net/anim/wave.gif", "http://gallery.mordale.net/smilies/animated/wave.gif"},
        {"http://smilies.mordale.net/sad/cry.png", "http://gallery.mordale.net/smilies/feelings/sad/cry.png"},
        {"http://smilies.mordale.net/s/x.gif", "http://gallery.mordale.net/smilies/small/x.gif"},
        {"http://smilies.mordale.net/other/x.gif", "http://archive.mordale.net/smilies/other/x.gif"},
        // the row's prefix runs past the text's end: only the bare server row fits
        {"http://smilies.mordale.net/anim", "http://archive.mordale.net/smilies/anim"},
        {"http://smilies.mordale.net/signs", "http://archive.mordale.net/smilies/signs"},
        {"http://smilies.mordale.net/x", "http://archive.mordale.net/smilies/x"},
        // 27 characters: never rewritten
        {"http://smilies.mordale.net/", "http://smilies.mordale.net/"},
        // the scheme is not looked at, the server's name is, case and all
        {"xxxx://smilies.mordale.net/big/a.gif", "http://gallery.mordale.net/smilies/large/a.gif"},
        {"http://Smilies.mordale.net/big/a.gif", "http://Smilies.mordale.net/big/a.gif"},
        {"https://smilies.mordale.net/big/a.gif", "https://smilies.mordale.net/big/a.gif"},
        {"http://smilies.mordale.nett/big/a.gif", "http://smilies.mordale.nett/big/a.gif"},
        {"C:\\Pictures\\smilies.mordale.net\\a.gif", "C:\\Pictures\\smilies.mordale.net\\a.gif"},
        {"", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, Migrate(row.input)) << "input: " << row.input;
}

TEST(SmilieText, ComposeTextFillsTheTemplateOfPictureSmilies)
{
    struct Row
    {
        const char* name;
        const char* fieldCode;
        const char* phrase;
        const char* source;
        uint32_t record;
        const char* expected;
    } rows[] = {
        {"IMG template of the field", "[img]<SMILIE>[/img]", "", "http://h/a.gif", 1, "[img]http://h/a.gif[/img]"},
        {"HTML template of the field", CSmilie::s_DefaultTemplates[1][1], "", "a.gif", 1,
         "<img src=\"a.gif\" width=\"<W>\" height=\"<H>\">"},
        {"ezboard template of the field", "[image]<SMILIE>[/image]", "", "x", 1, "[image]x[/image]"},
        {"own template wins", "[img]<SMILIE>[/img]", "<SMILIE> and <SMILIE>", "s", 1, "s and s"},
        {"picture without source", "[img]<SMILIE>[/img]", "", "", 1, "[img][/img]"},
        {"field without template", "", "", "s", 1, ""},
        {"text smilie", "[img]<SMILIE>[/img]", "Hello <SMILIE> <W>", "", 0, "Hello <SMILIE> <W>"},
        {"smilie still to download", "[img]<SMILIE>[/img]", "p", "http://h/a.gif", 0, "caller's"},
        {"empty smilie", "[img]<SMILIE>[/img]", "", "", 0, "caller's"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CTestSmilieField field(0, 0, row.fieldCode);
        CSmilie s;
        s.SetField(&field);
        s.SetSource(row.source);
        s.SetPhrase(row.phrase, FALSE);
        s.SetImage(row.record);
        CString strText = "caller's";
        s.ComposeText(strText);
        EXPECT_STREQ(row.expected, strText);
        EXPECT_EQ(row.record == 0 && row.source[0] == '\0' && row.phrase[0] != '\0', IsPhraseSmilie(&s) != FALSE);
        EXPECT_EQ(int(strlen(row.source)), GetSmilieTextLength(&s));
        s.SetField(NULL);
    }

    // Without a field a picture smilie without phrase composes nothing.
    CSmilie alone;
    alone.SetImage(3);
    CString strText = "caller's";
    alone.ComposeText(strText);
    EXPECT_STREQ("", strText);
}

TEST(SmilieText, LayoutTextSplitsAtSpacesAndJoinsWhatFits)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CSmilie s(100, 100);

    // Tabs, line breaks and doubled spaces are single spaces; with no room to
    // join, every word is a line, the last one without a trailing space.
    s.m_rcImage.SetRect(0, 0, 0, 1000);
    CSmilie::LayoutText("  a\tb  c\r\n", &s, &dc);
    ASSERT_EQ(3, s.m_TextLines.GetSize());
    EXPECT_STREQ("a ", s.m_TextLines[0].strText);
    EXPECT_STREQ("b ", s.m_TextLines[1].strText);
    EXPECT_STREQ("c", s.m_TextLines[2].strText);
    int nSum = 0;
    for (int i = 0; i < 3; i++) {
        EXPECT_GT(s.m_TextLines[i].nWidth, 0);
        EXPECT_GT(s.m_TextLines[i].nHeight, 0);
        nSum += s.m_TextLines[i].nHeight;
    }
    EXPECT_EQ(nSum, s.m_nTextHeight);
    const int nLineHeight = s.m_TextLines[0].nHeight;

    // Wide enough for all: one line of the same height.
    s.m_rcImage.SetRect(0, 0, 1000, 1000);
    CSmilie::LayoutText("a\tb  c", &s, &dc);
    ASSERT_EQ(1, s.m_TextLines.GetSize());
    EXPECT_STREQ("a b c", s.m_TextLines[0].strText);
    EXPECT_EQ(nLineHeight, s.m_nTextHeight);

    // Higher than the rectangle: a line of full stops follows.
    s.m_rcImage.SetRect(0, 0, 0, nLineHeight);
    CSmilie::LayoutText("one two", &s, &dc);
    ASSERT_EQ(3, s.m_TextLines.GetSize());
    EXPECT_STREQ(".....................", s.m_TextLines[2].strText);
    EXPECT_EQ(3 * nLineHeight, s.m_nTextHeight);

    CSmilie::LayoutText(" \t ", &s, &dc);
    EXPECT_EQ(0, s.m_TextLines.GetSize());
    EXPECT_EQ(0, s.m_nTextHeight);
}

TEST(SmilieCopy, CopyAndAssignmentTakeTheDataAndLeaveDrawingAndDownloadBehind)
{
    CTestSmilieField field(0, 0, "");
    CSmilie src(50, 50);
    src.SetField(&field);
    src.SetCell(4, 9);
    src.SetSource("C:\\a.gif");
    src.SetPhrase("[b]<SMILIE>[/b]", FALSE);
    src.SetImage(12);
    src.m_nFieldValue = 77;
    src.m_nFlags = 0x81;
    src.m_nUsageCount = 5;
    src.m_Date.wYear = 2026;
    src.m_nCrop = 3;
    src.m_nOffsetX = 10;
    src.m_nOffsetY = -4;
    src.m_nDownloadState = 0x3001;   // running when copied
    src.m_nFrameIndex = 3;
    src.m_nFrameDelay = 100;
    CSmilie::TEXTLINE line;
    line.strText = "x";
    src.m_TextLines.Add(line);
    src.m_nTextHeight = 12;

    CSmilie copy(src);
    CSmilie assigned(20, 20);
    assigned = src;
    for (const CSmilie* p : {&copy, &assigned}) {
        EXPECT_TRUE(p->Compare(src));
        EXPECT_EQ(&field, p->m_pField);
        EXPECT_EQ(4, p->m_nColumn);
        EXPECT_EQ(9, p->m_nRow);
        EXPECT_EQ(77u, p->m_nFieldValue);
        EXPECT_NE(src.m_pszSource, p->m_pszSource);   // its own text
        EXPECT_EQ(3u, p->m_nDownloadState);
        EXPECT_EQ(0, p->m_nFrameIndex);
        EXPECT_EQ(0, p->m_nFrameDelay);
        EXPECT_EQ(0, p->m_TextLines.GetSize());
        EXPECT_EQ(0, p->m_nTextHeight);
        EXPECT_EQ(&CSmilie::s_LargeToolbar, p->m_pToolbar);
    }

    assigned = assigned;
    EXPECT_TRUE(assigned.Compare(src));
    EXPECT_STREQ("C:\\a.gif", assigned.m_pszSource);
}

TEST(SmilieCopy, SharedIconsLiveAsLongAsAnySmilie)
{
    ASSERT_EQ(0, CSmilie::s_nInstances);
    {
        CSmilie a(42, 100);
        EXPECT_EQ(&CSmilie::s_SmallToolbar, a.m_pToolbar);
        CSmilie b(43, 43);
        EXPECT_EQ(&CSmilie::s_LargeToolbar, b.m_pToolbar);
        EXPECT_EQ(2, CSmilie::s_nInstances);
        EXPECT_NE(nullptr, CSmilie::s_hSharedIcons[0]);
        EXPECT_NE(nullptr, CSmilie::s_hSharedIcons[1]);
    }
    EXPECT_EQ(0, CSmilie::s_nInstances);
    for (HICON h : CSmilie::s_hSharedIcons)
        EXPECT_EQ(nullptr, h);
    CSmilie again;
    EXPECT_NE(nullptr, CSmilie::s_hSharedIcons[0]);
}

TEST(SmilieCell, CellSizeKeepsAnOffCentrePictureInPlace)
{
    struct Row
    {
        const char* name;
        int x, y;
        int expectedX, expectedY;
    } rows[] = {
        {"centred stays centred", 255, 255, 255, 255},
        {"moves by half the change", 10, -3, 10 + 30 - 17, -3 + 25 - 17},
        {"far away stays", 640, 0, 640, 0},
        {"far below stays", 0, -480, 0, -480},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CSmilie s(35, 34);
        s.m_nOffsetX = row.x;
        s.m_nOffsetY = row.y;
        s.m_nImageId = 4;
        s.SetCellSize(60, 50);
        EXPECT_EQ(row.expectedX, s.m_nOffsetX);
        EXPECT_EQ(row.expectedY, s.m_nOffsetY);
        EXPECT_EQ(0u, s.m_nImageId);
        EXPECT_EQ(&CSmilie::s_LargeToolbar, s.m_pToolbar);
    }

    // A field's cell size is taken when the smilie joins it.
    CTestSmilieField field(40, 41);
    CSmilie s;
    s.SetField(&field);
    EXPECT_EQ(40, s.m_nCellWidth);
    EXPECT_EQ(41, s.m_nCellHeight);
    EXPECT_EQ(&CSmilie::s_SmallToolbar, s.m_pToolbar);
}

TEST(SmilieCell, StoredChangesMarkTheCollectionWhileTracking)
{
    struct Row
    {
        const char* name;
        void (*change)(CSmilie&);
    } rows[] = {
        {"SetCell", [](CSmilie& s) { s.SetCell(1, 2); }},
        {"SetCellSize", [](CSmilie& s) { s.SetCellSize(50, 50); }},
        {"SetImage", [](CSmilie& s) { s.SetImage(3); }},
        {"SetPhrase", [](CSmilie& s) { s.SetPhrase("x", TRUE); }},
        {"SetSource", [](CSmilie& s) { s.SetSource("a.gif"); }},
        {"SetDownloadState", [](CSmilie& s) { s.SetDownloadState(4); }},
        {"assignment", [](CSmilie& s) { s = CSmilie(20, 20); }},
    };
    for (const Row& row : rows) {
        for (BOOL bTracking : {FALSE, TRUE}) {
            CSmilie s;
            g_bChangeTracking = bTracking;
            g_bCollectionChanged = FALSE;
            row.change(s);
            EXPECT_EQ(bTracking, g_bCollectionChanged) << row.name << (bTracking ? " tracking" : " not tracking");
        }
    }
    g_bChangeTracking = FALSE;
    g_bCollectionChanged = FALSE;
}
