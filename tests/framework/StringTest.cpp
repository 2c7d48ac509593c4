// CString: buffer sharing and copy on write, and the text operations.
#include <gtest/gtest.h>

#include "framework/Str.h"

#include <cstring>

TEST(String, CopiesShareOneBufferUntilOneChanges)
{
    CString a("hello");
    CString b = a;
    CString c;
    c = b;
    EXPECT_EQ((LPCTSTR)a, (LPCTSTR)b);
    EXPECT_EQ((LPCTSTR)a, (LPCTSTR)c);

    b.SetAt(0, 'J');
    EXPECT_NE((LPCTSTR)a, (LPCTSTR)b);
    EXPECT_STREQ(a, "hello");
    EXPECT_STREQ(b, "Jello");
    EXPECT_STREQ(c, "hello");
    EXPECT_EQ((LPCTSTR)a, (LPCTSTR)c);

    // Every changing operation separates the copy first.
    struct Row { const char* what; void (*change)(CString&); const char* expected; };
    const Row rows[] = {
        {"+=", [](CString& s) { s += "!"; }, "hello!"},
        {"MakeUpper", [](CString& s) { s.MakeUpper(); }, "HELLO"},
        {"Replace", [](CString& s) { s.Replace('l', 'L'); }, "heLLo"},
        {"Remove", [](CString& s) { s.Remove('l'); }, "heo"},
        {"Delete", [](CString& s) { s.Delete(0, 2); }, "llo"},
        {"Insert", [](CString& s) { s.Insert(0, ">"); }, ">hello"},
        {"TrimRight", [](CString& s) { s.TrimRight('o'); }, "hell"},
        {"Empty", [](CString& s) { s.Empty(); }, ""},
    };
    for (const Row& r : rows) {
        CString copy = a;
        r.change(copy);
        EXPECT_STREQ(copy, r.expected) << r.what;
        EXPECT_STREQ(a, "hello") << r.what << " changed the original";
    }
}

TEST(String, GetBufferGivesAPrivateBuffer)
{
    CString a("shared");
    CString b = a;
    char* p = b.GetBuffer(64);
    EXPECT_NE(p, (LPCTSTR)a);
    EXPECT_STREQ(p, "shared");
    strcpy(p, "written through the buffer");
    b.ReleaseBuffer();
    EXPECT_EQ(b.GetLength(), 26);
    EXPECT_STREQ(b, "written through the buffer");
    EXPECT_STREQ(a, "shared");

    p = b.GetBufferSetLength(3);
    p[0] = 'x';
    b.ReleaseBuffer();
    EXPECT_STREQ(b, "xri");

    // An explicit length cuts; an unterminated buffer stops at its end.
    p = b.GetBuffer(4);
    memcpy(p, "abcd", 4);
    b.ReleaseBuffer(2);
    EXPECT_STREQ(b, "ab");

    CString empty;
    p = empty.GetBuffer(10);
    strcpy(p, "filled");
    empty.ReleaseBuffer();
    EXPECT_STREQ(empty, "filled");
    EXPECT_STREQ(CString(), "");
}

TEST(String, SearchAndSubstrings)
{
    const CString s("abcabc");
    struct Row { const char* what; int got; int expected; };
    const Row rows[] = {
        {"Find('c')", s.Find('c'), 2},
        {"Find('c', 3)", s.Find('c', 3), 5},
        {"Find('z')", s.Find('z'), -1},
        {"Find('a', 6)", s.Find('a', 6), -1},
        {"Find('a', -3)", s.Find('a', -3), 0},
        {"Find(\"bc\")", s.Find("bc"), 1},
        {"Find(\"bc\", 2)", s.Find("bc", 2), 4},
        {"Find(\"cab\")", s.Find("cab"), 2},
        {"Find(\"abcd\")", s.Find("abcd"), -1},
        {"Find(\"a\", 7)", s.Find("a", 7), -1},
        {"ReverseFind('b')", s.ReverseFind('b'), 4},
        {"ReverseFind('z')", s.ReverseFind('z'), -1},
        {"FindOneOf(\"xc\")", s.FindOneOf("xc"), 2},
        {"FindOneOf(\"xyz\")", s.FindOneOf("xyz"), -1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.expected) << r.what;

    const CString t("abcdef");
    struct TextRow { const char* what; CString got; const char* expected; };
    const TextRow texts[] = {
        {"Mid(2)", t.Mid(2), "cdef"},
        {"Mid(2, 3)", t.Mid(2, 3), "cde"},
        {"Mid(4, 100)", t.Mid(4, 100), "ef"},
        {"Mid(-1, 2)", t.Mid(-1, 2), "ab"},
        {"Mid(10)", t.Mid(10), ""},
        {"Mid(1, -1)", t.Mid(1, -1), ""},
        {"Left(2)", t.Left(2), "ab"},
        {"Left(100)", t.Left(100), "abcdef"},
        {"Left(-1)", t.Left(-1), ""},
        {"Right(2)", t.Right(2), "ef"},
        {"Right(100)", t.Right(100), "abcdef"},
        {"Right(0)", t.Right(0), ""},
    };
    for (const TextRow& r : texts)
        EXPECT_STREQ(r.got, r.expected) << r.what;
}

TEST(String, EditingOperations)
{
    struct Row { const char* what; const char* input; CString& (*op)(CString&); const char* expected; };
    const Row rows[] = {
        {"Trim", " \t x y \r\n", [](CString& s) -> CString& { return s.Trim(); }, "x y"},
        {"TrimLeft", "  x ", [](CString& s) -> CString& { return s.TrimLeft(); }, "x "},
        {"TrimRight", "  x ", [](CString& s) -> CString& { return s.TrimRight(); }, "  x"},
        {"TrimLeft set", "xyxabcx", [](CString& s) -> CString& { return s.TrimLeft("xy"); }, "abcx"},
        {"TrimRight char", "a...", [](CString& s) -> CString& { return s.TrimRight('.'); }, "a"},
        {"Trim all", "   ", [](CString& s) -> CString& { return s.Trim(); }, ""},
        {"Trim set", "\"quoted\"", [](CString& s) -> CString& { return s.Trim('"'); }, "quoted"},
        {"MakeUpper", "Mixed 1", [](CString& s) -> CString& { return s.MakeUpper(); }, "MIXED 1"},
        {"MakeLower", "Mixed 1", [](CString& s) -> CString& { return s.MakeLower(); }, "mixed 1"},
    };
    for (const Row& r : rows) {
        CString s(r.input);
        EXPECT_STREQ(r.op(s), r.expected) << r.what << " of \"" << r.input << "\"";
        EXPECT_EQ(s.GetLength(), (int)strlen(r.expected)) << r.what;
    }

    struct CountRow { const char* what; const char* input; int (*op)(CString&); int count; const char* expected; };
    const CountRow counts[] = {
        {"Replace str", "a.b.c", [](CString& s) { return s.Replace(".", "--"); }, 2, "a--b--c"},
        {"Replace no overlap", "aaaaa", [](CString& s) { return s.Replace("aa", "b"); }, 2, "bba"},
        {"Replace by nothing", "<b>x</b>", [](CString& s) { return s.Replace("b>", ""); }, 2, "<x</"},
        {"Replace empty old", "abc", [](CString& s) { return s.Replace("", "x"); }, 0, "abc"},
        {"Replace absent", "abc", [](CString& s) { return s.Replace("z", "x"); }, 0, "abc"},
        {"Replace char", "a-b-c", [](CString& s) { return s.Replace('-', '+'); }, 2, "a+b+c"},
        {"Remove", "a-b-c-", [](CString& s) { return s.Remove('-'); }, 3, "abc"},
        {"Insert str", "abc", [](CString& s) { return s.Insert(1, "XY"); }, 5, "aXYbc"},
        {"Insert past end", "abc", [](CString& s) { return s.Insert(100, '!'); }, 4, "abc!"},
        {"Delete", "abcdef", [](CString& s) { return s.Delete(1, 2); }, 4, "adef"},
        {"Delete past end", "abcdef", [](CString& s) { return s.Delete(4, 100); }, 4, "abcd"},
        {"Delete nothing", "abc", [](CString& s) { return s.Delete(5); }, 3, "abc"},
    };
    for (const CountRow& r : counts) {
        CString s(r.input);
        EXPECT_EQ(r.op(s), r.count) << r.what << " of \"" << r.input << "\"";
        EXPECT_STREQ(s, r.expected) << r.what << " of \"" << r.input << "\"";
    }
}

TEST(String, FormatAndConcatenation)
{
    CString s;
    s.Format("%d-%s-%05.1f-%X", 42, "x", 3.14159, 255u);
    EXPECT_STREQ(s, "42-x-003.1-FF");

    s.Format("[%s]", (LPCTSTR)s);   // the string's own text as argument
    EXPECT_STREQ(s, "[42-x-003.1-FF]");

    s.AppendFormat(" %c%c", 'o', 'k');
    EXPECT_STREQ(s, "[42-x-003.1-FF] ok");

    CString big;
    big.Format("%s|%s", CString('a', 3000).GetString(), CString('b', 2000).GetString());
    EXPECT_EQ(big.GetLength(), 5001);
    EXPECT_EQ(big.Find('|'), 3000);

    CString t = "a" + CString("b") + 'c' + "d";
    EXPECT_STREQ(t, "abcd");
    t += t;
    EXPECT_STREQ(t, "abcdabcd");
    EXPECT_STREQ(CString("xyz", 2), "xy");
    EXPECT_STREQ(CString((LPCTSTR)NULL), "");
}

TEST(String, Comparison)
{
    CString abc("abc");
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE("abc" == abc);
    EXPECT_TRUE(abc != CString("abd"));
    EXPECT_TRUE(abc < "abd");
    EXPECT_TRUE(CString("B") < "a");   // byte order: upper case first
    EXPECT_LT(abc.Compare("abd"), 0);
    EXPECT_GT(abc.Compare("ab"), 0);
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    EXPECT_LT(CString("ABC").CompareNoCase("abd"), 0);
    EXPECT_GT(CString("b").CompareNoCase("A"), 0);
}
