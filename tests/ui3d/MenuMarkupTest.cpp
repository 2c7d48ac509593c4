// Item-text markup of skinned menus: how a text becomes runs of font, colour
// and shadow, and which character is the mnemonic.
#include "ui3d/menus/MenuMarkup.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const COLORREF kText = RGB(10, 20, 30);
const COLORREF kMnemonic = RGB(200, 0, 200);

TEXTSTYLE MakeStyle(int nFlags, COLORREF clrMnemonic = 0)
{
    TEXTSTYLE style;
    style.textColors = COLORSET(kText, kText, kText, kText, kText, kText);
    style.mnemonicColors = COLORSET(clrMnemonic, clrMnemonic, clrMnemonic, clrMnemonic, clrMnemonic, clrMnemonic);
    style.nFlags = nFlags;
    return style;
}

// "text|font|r,g,b|3d" per run, joined by " / ".
std::string Describe(const CSequence<CMarkupRun>& runs)
{
    std::string out;
    for (int i = 0; i < runs.GetSize(); ++i) {
        const CMarkupRun& r = runs[i];
        char sz[128];
        snprintf(sz, sizeof(sz), "%s%s|%d|%d,%d,%d|%d", i ? " / " : "", static_cast<LPCSTR>(r.strText), r.nFont,
                 GetRValue(r.clr), GetGValue(r.clr), GetBValue(r.clr), r.b3D);
        out += sz;
    }
    return out;
}

TEST(MenuMarkup, SplitsTextsIntoRuns)
{
    struct Row
    {
        const char* name;
        int nFlags;
        const char* text;
        const char* runs;
        char mnemonic;
    };
    const Row rows[] = {
        {"no tags", 0, "Open", "Open|0|10,20,30|0", 0},
        {"bold then normal", 0, "<b>Bold<n> tail", "Bold|1|10,20,30|0 /  tail|0|10,20,30|0", 0},
        {"every font tag", 0, "<i>a<bi>b<b>c<n>d",
         "a|2|10,20,30|0 / b|3|10,20,30|0 / c|1|10,20,30|0 / d|0|10,20,30|0", 0},
        {"colour and back", 0, "<b>One<n> <rgb(255,0,0)>Two<noclr>Three",
         "One|1|10,20,30|0 /  |0|10,20,30|0 / Two|0|255,0,0|0 / Three|0|10,20,30|0", 0},
        {"nested font inside colour", 0, "<rgb(0,128,0)>g<b>gb<noclr>b",
         "g|0|0,128,0|0 / gb|1|0,128,0|0 / b|1|10,20,30|0", 0},
        {"colour number of 19 digits", 0, "<rgb(0000000000000000255,0,0)>r", "r|0|255,0,0|0", 0},
        {"3d on and off", 0, "<3d>up<no3d>flat", "up|0|10,20,30|1 / flat|0|10,20,30|0", 0},
        {"3d from the style flag", 0x400, "x", "x|0|10,20,30|1", 0},
        {"mnemonic underlined", 0x08, "&File", "F|4|10,20,30|0 / ile|0|10,20,30|0", 'f'},
        {"mnemonic in bold", 0x08, "<b>S&ave", "S|1|10,20,30|0 / a|5|10,20,30|0 / ve|1|10,20,30|0", 'a'},
        {"mnemonic without underline flag", 0, "&Go", "G|0|10,20,30|0 / o|0|10,20,30|0", 'g'},
        {"double ampersand", 0x08, "&&x", "&|4|10,20,30|0 / x|0|10,20,30|0", '&'},
        {"only the first ampersand", 0x08, "&A & B", "A|4|10,20,30|0 /  & B|0|10,20,30|0", 'a'},
        {"ampersand at the end", 0x08, "End&", "End|0|10,20,30|0", 0},
        {"malformed colour stops parsing", 0, "<b>a<rgb(1,2>b<i>c", "a<rgb(1,2>b<i>c|1|10,20,30|0", 0},
        {"unclosed colour tag", 0, "x<rgb(1,2,3", "x<rgb(1,2,3|0|10,20,30|0", 0},
        {"tags are case-sensitive", 0, "<B>x", "<B>x|0|10,20,30|0", 0},
        {"empty text", 0, "", "", 0},
    };
    for (const Row& row : rows) {
        const TEXTSTYLE style = MakeStyle(row.nFlags);
        CSequence<CMarkupRun> runs;
        const char ch = SplitMarkupText(style, 0, row.text, runs);
        EXPECT_EQ(row.runs, Describe(runs)) << row.name;
        EXPECT_EQ(row.mnemonic, ch) << row.name;
    }
}

TEST(MenuMarkup, MnemonicTakesTheStyleColourWhenSet)
{
    const TEXTSTYLE style = MakeStyle(0x08, kMnemonic);
    CSequence<CMarkupRun> runs;
    EXPECT_EQ('x', SplitMarkupText(style, 0, "E&Xit", runs));
    EXPECT_EQ("E|0|10,20,30|0 / X|4|200,0,200|0 / it|0|10,20,30|0", Describe(runs));
}

TEST(MenuMarkup, ParsesColourTriples)
{
    struct Row
    {
        const char* inner;
        int ok;
        COLORREF clr;
    };
    const Row rows[] = {
        {"255,128,0", 1, RGB(255, 128, 0)}, {",,", 1, 0},          {"256,0,0", 1, 0},
        {"1;2 3", 1, RGB(1, 2, 3)},         {"1, 2,3", 0, 0},      {"1,2", 0, 0},
        {"1,2,3,", 0, 0},                   {"1,x,3", 0, 0},       {"", 0, 0},
        {"300,511,7", 1, RGB(44, 255, 7)},
        {"0000000000000000255,0,0", 1, RGB(255, 0, 0)},     // 19 digits: leading zeros count for nothing
        {"1000000000000000257,99999999999999999999,0", 1, RGB(1, 255, 0)},
    };
    for (const Row& row : rows) {
        COLORREF clr = 0x12345678;
        const int n = static_cast<int>(strlen(row.inner));
        EXPECT_EQ(row.ok, ParseRgbTag(row.inner, 0, n, &clr)) << "\"" << row.inner << "\"";
        if (row.ok) {
            EXPECT_EQ(row.clr, clr) << "\"" << row.inner << "\"";
        }
    }
}

TEST(MenuMarkup, FindsTheNearestTagAndItsEnd)
{
    const TEXTSTYLE style = MakeStyle(0);
    struct Row
    {
        const char* text;
        int from;
        BOOL mnemonic;
        int next, pos, kind;
    };
    const Row rows[] = {
        {"ab<b>c", 0, TRUE, 5, 2, 1},
        {"<n><b>", 1, TRUE, 6, 3, 1},
        {"x&y<i>", 0, TRUE, 2, 1, 5},
        {"x&y<i>", 0, FALSE, 6, 3, 2},
        {"<rgb(1,2,3)>z", 0, TRUE, 12, 0, 4},
        {"<noclr>", 0, TRUE, 7, 0, 4},
        {"<3d><no3d>", 1, TRUE, 10, 4, 7},
        {"plain", 0, TRUE, -1, -1, -1},
        {"<b>", -1, TRUE, -1, -1, -1},
        {"<b>", 4, TRUE, -1, -1, -1},
        {"a)>b", 0, TRUE, -1, -1, -1},
    };
    for (const Row& row : rows) {
        int pos = -1, kind = -1;
        COLORREF clr = 0;
        const int next = FindNextMarkupTag(style, 0, row.text, row.from, &pos, &kind, &clr, row.mnemonic);
        EXPECT_EQ(row.next, next) << row.text << " from " << row.from;
        if (row.next >= 0) {
            EXPECT_EQ(row.pos, pos) << row.text;
            EXPECT_EQ(row.kind, kind) << row.text;
        }
    }
}

// Runs in a process started under the Japanese locale (tests/CMakeLists.txt).
TEST(MenuMarkupCodePage932, SearchStepsOverDoubleByteCharacters)
{
    // On a double-byte code page the trail byte of a character may equal '<';
    // a byte-wise search would find a tag inside the character.
    ASSERT_EQ(932u, GetACP()) << "start the process with LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8";
    const char lead = static_cast<char>(0x81);
    ASSERT_TRUE(IsDBCSLeadByte(0x81));
    char text[] = {lead, '<', 'b', '>', '<', 'b', '>', 0};
    EXPECT_EQ(4, FindTextByChar(text, "<b>", 0));
}

} // namespace
