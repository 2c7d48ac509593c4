// Text conversion, trimming, templates and file names.
#include "ui3d/system/SysUtils.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes Utf16WithMark(const std::wstring& text)
{
    Bytes b = {0xFF, 0xFE};
    for (wchar_t ch : text) {
        b.push_back(static_cast<unsigned char>(ch & 0xFF));
        b.push_back(static_cast<unsigned char>(ch >> 8));
    }
    return b;
}

std::string ToString(const CString& s)
{
    return std::string(s.GetString(), s.GetLength());
}

std::string Shown(const Bytes& b)
{
    std::string s;
    char sz[4];
    for (unsigned char c : b) {
        snprintf(sz, sizeof(sz), "%02X ", c);
        s += sz;
    }
    return s;
}

} // namespace

TEST(ConvertUnicode, TextAndBufferRules)
{
    struct Row { const char* pszName; Bytes input; std::string text; std::string buffer; };
    const Row rows[] = {
        {"mark only", {0xFF, 0xFE}, std::string("\xFF\xFE", 2), ""},
        {"mark and one byte", {0xFF, 0xFE, 'A'}, std::string("\xFF\xFE" "A", 3), ""},
        {"mark and two characters", Utf16WithMark(L"AB"), "AB", "AB"},
        {"odd byte after the characters", [] { Bytes b = Utf16WithMark(L"AB"); b.push_back('C'); return b; }(), "AB", "AB"},
        {"converted text ends at its zero", Utf16WithMark(std::wstring(L"A\0B", 3)), "A", "A"},
        {"plain text ending in zero", {'a', 'b', 0, 'c', 0}, "ab", std::string("ab\0c\0", 5)},
        {"plain text without a zero keeps all", {'a', 0, 'b'}, std::string("a\0b", 3), std::string("a\0b", 3)},
        {"mark backwards is no mark", {0xFE, 0xFF, 'A', 0}, std::string("\xFE\xFF" "A", 3), std::string("\xFE\xFF" "A\0", 4)},
        {"empty", {}, "", ""},
    };
    for (const Row& row : rows) {
        CString str("old");
        int n = ConvertUnicodeTextToAnsi(static_cast<int>(row.input.size()), row.input.data(), str);
        EXPECT_EQ(row.text, ToString(str)) << row.pszName << ": " << Shown(row.input);
        EXPECT_EQ(str.GetLength(), n) << row.pszName;

        char* pOut = NULL;
        char* pReturned = ConvertUnicodeBufferToAnsi(static_cast<int>(row.input.size()), row.input.data(), &pOut);
        ASSERT_EQ(pOut, pReturned) << row.pszName;
        // The buffer variant copies plain bytes as they are (embedded zeros too)
        // and always ends with one more zero.
        EXPECT_EQ(0, memcmp(pOut, row.buffer.data(), row.buffer.size())) << row.pszName;
        EXPECT_EQ('\0', pOut[row.buffer.size()]) << row.pszName;
        delete[] pOut;
    }
}

// On a double-byte code page a character can need two bytes; the output must
// be sized by the conversion, not by the character count.
TEST(ConvertUnicode, DoubleByteCodePageKeepsTheWholeText)
{
    const UINT kShiftJis = 932;
    if (!IsValidCodePage(kShiftJis))
        GTEST_SKIP() << "code page 932 is not installed";
    const std::wstring text = L"\x65E5\x672C\x8A9E" L"abc\x30C6\x30B9\x30C8";  // 6 double-byte and 3 single-byte characters
    char szExpected[64];
    int nExpected = WideCharToMultiByte(kShiftJis, 0, text.c_str(), static_cast<int>(text.size()),
                                        szExpected, sizeof(szExpected), NULL, NULL);
    ASSERT_EQ(15, nExpected);
    Bytes input = Utf16WithMark(text);

    CString str;
    ConvertUnicodeTextToAnsi(static_cast<int>(input.size()), input.data(), str, kShiftJis);
    EXPECT_EQ(std::string(szExpected, nExpected), ToString(str));

    char* pOut = ConvertUnicodeBufferToAnsi(static_cast<int>(input.size()), input.data(), NULL, kShiftJis);
    EXPECT_EQ(std::string(szExpected, nExpected), std::string(pOut));
    delete[] pOut;

    EXPECT_EQ(std::string(szExpected, nExpected), ToString(WideToAnsi(text.c_str(), -1, kShiftJis)));
}

TEST(TrimBlanks, BothEnds)
{
    struct Row { const char* input; const char* left; const char* right; };
    const Row rows[] = {
        {"  a b  ", "a b  ", "  a b"},
        {"\r\n\tx\t\r\n", "x\t\r\n", "\r\n\tx"},
        {" \r\n\t", "", ""},
        {"", "", ""},
        {"abc", "abc", "abc"},
    };
    for (const Row& row : rows) {
        char sz[32];
        strcpy(sz, row.input);
        EXPECT_STREQ(row.left, TrimLeftBlanks(sz)) << "[" << row.input << "]";
        strcpy(sz, row.input);
        EXPECT_STREQ(row.right, TrimRightBlanks(sz)) << "[" << row.input << "]";
    }
}

TEST(FormatTemplate, FillsPlaceholders)
{
    struct Case { const char* pszName; std::function<int(char*)> call; int nResult; const char* pszText; };
    const Case cases[] = {
        {"two numbers", [](char* p) { return FormatTemplate(p, 64, "[NUM] of [TOTALNUM]", "[NUM]", "%d", 3, "[TOTALNUM]", "%d", 10, NULL); }, 7, "3 of 10"},
        {"cut to the size", [](char* p) { return FormatTemplate(p, 4, "[NUM] of [TOTALNUM]", "[NUM]", "%d", 3, "[TOTALNUM]", "%d", 10, NULL); }, 3, "3 o"},
        {"prefix listed first wins", [](char* p) { return FormatTemplate(p, 64, "xABCx", "AB", "%s", "1", "ABC", "%s", "2", NULL); }, 4, "x1Cx"},
        {"longer listed first", [](char* p) { return FormatTemplate(p, 64, "xABCx", "ABC", "%s", "2", "AB", "%s", "1", NULL); }, 3, "x2x"},
        {"every occurrence", [](char* p) { return FormatTemplate(p, 64, "[K]-[K]-[K]", "[K]", "%s", "ab", NULL); }, 8, "ab-ab-ab"},
        {"negative and unsigned", [](char* p) { return FormatTemplate(p, 64, "[A] [B]", "[A]", "%d", -5, "[B]", "%u", 4000000000u, NULL); }, 13, "-5 4000000000"},
        {"float", [](char* p) { return FormatTemplate(p, 64, "[F]", "[F]", "%f", 2.5, NULL); }, 3, "2.5"},
        {"float to 7 digits", [](char* p) { return FormatTemplate(p, 64, "[F]", "[F]", "%f", 1.0 / 3.0, NULL); }, 9, "0.3333333"},
        {"char and longs", [](char* p) { return FormatTemplate(p, 64, "[C][L][U]", "[C]", "%c", 'z', "[L]", "%ld", -7L, "[U]", "%lu", 8UL, NULL); }, 4, "z-78"},
        {"unknown conversion ends the list", [](char* p) { return FormatTemplate(p, 64, "[A][B]", "[A]", "%d", 1, "[B]", "%i", 2, NULL); }, 4, "1[B]"},
        {"no placeholders", [](char* p) { return FormatTemplate(p, 64, "plain [X]", NULL); }, 9, "plain [X]"},
        {"text value cut", [](char* p) { return FormatTemplate(p, 6, "<[S]>", "[S]", "%s", "abcdefgh", NULL); }, 5, "<abcd"},
        {"empty placeholder is ignored", [](char* p) { return FormatTemplate(p, 64, "ab", "", "%s", "X", NULL); }, 2, "ab"},
        {"null text value", [](char* p) { return FormatTemplate(p, 64, "[S]!", "[S]", "%s", (const char*)NULL, NULL); }, 1, "!"},
        {"size 1", [](char* p) { return FormatTemplate(p, 1, "[NUM]", "[NUM]", "%d", 3, NULL); }, 0, ""},
    };
    for (const Case& c : cases) {
        char buf[64];
        memset(buf, '#', sizeof(buf));
        EXPECT_EQ(c.nResult, c.call(buf)) << c.pszName;
        EXPECT_STREQ(c.pszText, buf) << c.pszName;
    }
}

TEST(FileNames, MakeValidFileName)
{
    struct Row { const char* input; const char* expected; };
    const Row rows[] = {
        {"  CON  ", ""},
        {"aux", ""},
        {"Prn", ""},
        {"a<b>c:d\"e/f\\g|h", "abcdefgh"},
        {"line\r\nbreak\ttab\x01\x1f", "linebreaktab"},
        {"what? *star*", "what star"},
        {" <con> ", ""},
        {"   ", ""},
        // Every device name, with or without an extension, is the device.
        {"con.txt", ""},
        {"nul", ""},
        {"NUL.gif", ""},
        {"nul .txt", ""},
        {"com1", ""},
        {"Com9.png", ""},
        {"lpt1", ""},
        {"LPT3.a.b", ""},
        {"conin$", ""},
        {"CONOUT$.txt", ""},
        {"com", "com"},
        {"com10", "com10"},
        {"lpt", "lpt"},
        {"nuls", "nuls"},
        {"null.txt", "null.txt"},
        {"a.nul", "a.nul"},
        {"comx", "comx"},
    };
    for (const Row& row : rows) {
        CString str(row.input);
        MakeValidFileName(str);
        EXPECT_STREQ(row.expected, str) << "[" << row.input << "]";
    }
}

// Runs in a process started under the Japanese locale (tests/CMakeLists.txt):
// the second byte of a double-byte character may be a '\' or a '|', and a
// lead byte before a refused character does not shield it.
TEST(FileNamesCodePage932, MakeValidFileNameStepsByCharacter)
{
    ASSERT_EQ(932u, GetACP());
    struct Row { const char* input; const char* expected; };
    const Row rows[] = {
        {"\x83\x5C", "\x83\x5C"},                  // "so": its second byte is '\'
        {"\x95\x5C\x8E\xA6", "\x95\x5C\x8E\xA6"},  // "display"
        {"\x83\x7C?x", "\x83\x7Cx"},               // a second byte '|' stays, the '?' goes
        {"\x81<b\x81>", "\x81" "b\x81"},              // lone lead bytes: '<' and '>' still go
        {"\x81:\x81*", "\x81\x81"},
        {"a\\\x83\x5C/b", "a\x83\x5C" "b"},
        {"nul.\x83\x5C", ""},
    };
    for (const Row& row : rows) {
        CString str(row.input);
        MakeValidFileName(str);
        EXPECT_STREQ(row.expected, str) << "[" << row.input << "]";
    }
}

// "\x95\x5C" and "\x83\x5C" end in a '\' byte that is no separator.
TEST(FileNamesCodePage932, PathsAreCutByCharacter)
{
    ASSERT_EQ(932u, GetACP());
    struct Row { const char* input; const char* title; const char* stripped; };
    const Row rows[] = {
        {"C:\\\x95\x5C\\\x95\x5C\x8E\xA6.gif", "\x95\x5C\x8E\xA6", "C:\\\x95\x5C\\\x95\x5C\x8E\xA6.gif"},
        {"C:\\pics\\\x83\x5C", "\x83\x5C", "C:\\pics\\\x83\x5C"},
        {"C:\\\x83\x5C\\", NULL, "C:\\\x83\x5C"},
        {"\x81:a", "a", "\x81:a"},   // a lone lead byte before a real ':'
    };
    for (const Row& row : rows) {
        char* p = ExtractFileTitle(row.input);
        if (row.title == NULL)
            EXPECT_EQ(nullptr, p) << row.input;
        else
            EXPECT_STREQ(row.title, p) << row.input;
        delete[] p;
        char sz[64];
        strcpy(sz, row.input);
        EXPECT_STREQ(row.stripped, StripTrailingSlashes(sz)) << row.input;
    }
    EXPECT_EQ(nullptr, FindLastCharOf("\x83\x5C\x95\x5C", "\\"));
}

TEST(FileNames, GetFileExtension)
{
    struct Row { const char* input; const char* expected; };
    const Row rows[] = {
        {"picture.gif", "gif"},
        {"archive.tar.gz", "gz"},
        {"noextension", NULL},
        {"name.-draft", NULL},
        {"name.v1-2", NULL},
        {".hidden", NULL},
        {"dir.d\\file", NULL},
        {"file.", ""},
        {"a.b_c", NULL},
        {"", NULL},
    };
    for (const Row& row : rows) {
        const char* p = GetFileExtension(row.input);
        if (row.expected == NULL)
            EXPECT_EQ(nullptr, p) << row.input;
        else
            EXPECT_STREQ(row.expected, p) << row.input;
    }
}

TEST(FileNames, ExtractFileTitle)
{
    struct Row { const char* input; const char* expected; };
    const Row rows[] = {
        {"C:\\pics\\smile.gif", "smile"},
        {"http://host/a/b/grin.png", "grin"},
        {"rel/dir.x/name", "name"},
        {"plain", "plain"},
        {"two.dots.jpg", "two.dots"},
        {"C:\\folder\\", NULL},
        {"C:\\folder\\.gif", NULL},
        {"x:name.-1", "name.-1"},
        {"", NULL},
    };
    for (const Row& row : rows) {
        char* p = ExtractFileTitle(row.input);
        if (row.expected == NULL)
            EXPECT_EQ(nullptr, p) << row.input;
        else
            EXPECT_STREQ(row.expected, p) << row.input;
        delete[] p;
    }
}

TEST(FileNames, StripTrailingSlashes)
{
    struct Row { const char* input; const char* expected; };
    const Row rows[] = {{"C:\\a\\", "C:\\a"}, {"a//\\/", "a"}, {"\\", ""}, {"a\\b", "a\\b"}, {"", ""}};
    for (const Row& row : rows) {
        char sz[32];
        strcpy(sz, row.input);
        EXPECT_STREQ(row.expected, StripTrailingSlashes(sz)) << row.input;
    }
}

TEST(FileNames, ProgramFolderHoldsTheExecutable)
{
    CString strFolder;
    GetProgramFolder(strFolder);
    ASSERT_FALSE(strFolder.IsEmpty());
    char szExe[MAX_PATH];
    GetModuleFileNameA(NULL, szExe, MAX_PATH);
    EXPECT_EQ(0, strncmp(szExe, strFolder, strFolder.GetLength()));
    char chNext = szExe[strFolder.GetLength()];
    EXPECT_TRUE(chNext == '\\' || chNext == '/');
    EXPECT_EQ(nullptr, strchr(szExe + strFolder.GetLength() + 1, '\\'));
}

TEST(FindSubBitmap, ExactSearchRowByRow)
{
    // 5 x 4 large block; the 2 x 2 pattern 7 8 / 9 7 occurs at (3,1) and at (1,2).
    const BYTE large[] = {
        0, 0, 0, 0, 0,
        0, 0, 0, 7, 8,
        0, 7, 8, 9, 7,
        0, 9, 7, 0, 0,
    };
    const BYTE pattern[] = {7, 8, 9, 7};
    const BYTE absent[] = {8, 8};
    struct Row { const char* pszName; int cxL, cyL, cxS, cyS; const BYTE* pSmall; BOOL bFound; LONG x, y; };
    const Row rows[] = {
        {"first match in row order", 5, 4, 2, 2, pattern, TRUE, 3, 1},
        {"single row", 5, 4, 2, 1, pattern, TRUE, 3, 1},
        {"not there", 5, 4, 2, 1, absent, FALSE, 0, 0},
        {"small wider than large", 5, 4, 6, 1, pattern, FALSE, 0, 0},
        {"small taller than large", 5, 4, 1, 5, pattern, FALSE, 0, 0},
        {"zero width", 5, 4, 0, 1, pattern, FALSE, 0, 0},
        {"negative large", -5, 4, 1, 1, pattern, FALSE, 0, 0},
        {"whole block", 5, 4, 5, 4, large, TRUE, 0, 0},
    };
    for (const Row& row : rows) {
        POINT pt = {-1, -1};
        BOOL b = FindSubBitmap(row.cxL, row.cyL, row.cxS, row.cyS, large, row.pSmall, &pt);
        EXPECT_EQ(row.bFound, b) << row.pszName;
        if (row.bFound) {
            EXPECT_EQ(row.x, pt.x) << row.pszName;
            EXPECT_EQ(row.y, pt.y) << row.pszName;
        }
    }
}

TEST(SnapRectToRect, DocksToTheOutsideOfTheAnchor)
{
    const RECT anchor = {100, 100, 300, 200};
    struct Row { const char* pszName; RECT in; BOOL bX, bY; RECT out; BOOL bXOut, bYOut; };
    const Row rows[] = {
        {"below, left edges aligned", {95, 208, 195, 258}, FALSE, FALSE, {100, 200, 200, 250}, TRUE, TRUE},
        {"below, right edges aligned", {205, 195, 305, 245}, FALSE, FALSE, {200, 200, 300, 250}, TRUE, TRUE},
        {"below, far from both edges", {150, 205, 200, 255}, FALSE, FALSE, {150, 200, 200, 250}, FALSE, TRUE},
        {"above", {120, 40, 180, 95}, FALSE, FALSE, {120, 45, 180, 100}, FALSE, TRUE},
        {"right of it, tops aligned", {308, 92, 358, 142}, FALSE, FALSE, {300, 100, 350, 150}, TRUE, TRUE},
        {"left of it", {40, 150, 95, 170}, FALSE, FALSE, {45, 150, 100, 170}, TRUE, FALSE},
        {"too far away", {150, 215, 200, 265}, FALSE, FALSE, {150, 215, 200, 265}, FALSE, FALSE},
        {"below but no horizontal overlap", {310, 205, 360, 255}, FALSE, FALSE, {310, 205, 360, 255}, FALSE, FALSE},
        {"y already snapped", {95, 208, 195, 258}, FALSE, TRUE, {95, 208, 195, 258}, FALSE, TRUE},
        {"x already snapped keeps x", {95, 205, 195, 255}, TRUE, FALSE, {95, 200, 195, 250}, TRUE, TRUE},
    };
    for (const Row& row : rows) {
        RECT rc = row.in;
        BOOL bX = row.bX, bY = row.bY;
        SnapRectToRect(anchor, rc, bX, bY);
        EXPECT_TRUE(EqualRect(&rc, &row.out)) << row.pszName << ": " << rc.left << "," << rc.top << ","
                                              << rc.right << "," << rc.bottom;
        EXPECT_EQ(row.bXOut, bX) << row.pszName;
        EXPECT_EQ(row.bYOut, bY) << row.pszName;
    }
}
