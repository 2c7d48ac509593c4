// Language files: the parser and its report, the check of a language, loading
// a folder of languages, and the text accessor.
#include "services/Languages.h"
#include "tests/services/AppTestFiles.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Comment lines until the text has at least the smallest file size.
std::string Padded(std::string text)
{
    while (text.size() < size_t(LANG_MIN_FILE_SIZE))
        text += "// A language file needs at least a kilobyte, so this line fills it up.\r\n";
    return text;
}

// A language named strName with the ids 1..nCount (but those in skip): id 1
// is the name, id 185 the version 1, the others "<tag> <id>".
std::string LangText(const std::string& strName, int nCount, const std::string& strTag = "",
                     const std::set<int>& skip = {})
{
    const std::string strPrefix = strTag.empty() ? strName : strTag;
    std::string text = "// " + strName + "\r\n";
    for (int nId = 1; nId <= nCount; nId++) {
        if (skip.count(nId))
            continue;
        std::string strText = nId == 1 ? strName : nId == 185 ? "1" : strPrefix + " " + std::to_string(nId);
        text += "#" + std::to_string(nId) + " \"" + strText + "\"\r\n";
    }
    return Padded(text);
}

// UTF-16LE with the byte-order mark, from text of the ANSI code page.
std::string Utf16(const std::string& ansi)
{
    std::wstring wide(ansi.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()));
    wide.resize(size_t(n));
    std::string bytes("\xFF\xFE", 2);
    for (wchar_t ch : wide) {
        bytes += char(ch & 0xFF);
        bytes += char((ch >> 8) & 0xFF);
    }
    return bytes;
}

struct ParseResult
{
    BOOL bLoaded = FALSE;
    std::string strReport;
    std::vector<std::string> texts;    // entry n, "<null>" where missing
};

ParseResult ParseBytes(const AppTempDir& dir, const std::string& strFile, const std::string& bytes)
{
    ParseResult result;
    const std::string strPath = dir.Path(strFile);
    EXPECT_TRUE(WriteWholeFile(strPath, bytes));
    CLanguage language;
    CString strReport;
    result.bLoaded = LoadLanguageFile(strPath.c_str(), &strReport, &language);
    result.strReport = strReport.GetString();
    for (int n = 0; n < language.GetCount(); n++) {
        LPCTSTR psz = language.GetString(n);
        result.texts.push_back(psz != NULL ? psz : "<null>");
    }
    return result;
}

struct LineRow
{
    const char* pszLine;
    const char* pszMessage;    // after "line N: ", or "" when the line is fine
};

TEST(LanguageFile, EveryLineProblemIsReportedWithItsLine)
{
    const std::string strLong(LANG_MAX_TEXT, 'x');
    const std::string strLongest(LANG_MAX_TEXT - 1, 'x');
    const std::string strLongLine = "#7 \"" + strLong + "\"";
    const std::string strLongestLine = "#8 \"" + strLongest + "\"";
    const LineRow rows[] = {
        {"#1 \"Name\"", ""},
        {"", ""},
        {"   \t", ""},
        {"\r", ""},
        {"// a comment", ""},
        {"  \t// an indented comment", ""},
        {"\t #2 \"indented record\"", ""},
        {"text without a hash", "Unknown string."},
        {"/ one slash", "Unknown string."},
        {"#0 \"zero\"", "Unknown string."},
        {"# \"no digits\"", "Unknown string."},
        {"#x3 \"letter first\"", "Unknown string."},
        {"#-5 \"negative\"", "Unknown string."},
        {"#-99999999999999999999 \"huge negative\"", "Unknown string."},
        {"#1024 \"too big\"", "String ID is out of range."},
        {"#4294967297 \"wraps to 1 in 32 bits\"", "String ID is out of range."},
        {"#99999999999999999999999999 \"many digits\"", "String ID is out of range."},
        {"#3 no quotes", "String must be enclosed with double quotation marks."},
        {"#3 \"one quote", "String must be enclosed with double quotation marks."},
        {"#3", "String must be enclosed with double quotation marks."},
        {"#3 \"\"", "String is empty."},
        {"#3 \"\"   trailing", "String is empty."},
        {strLongLine.c_str(), "String is suspiciously long."},
        {strLongestLine.c_str(), ""},
        {"#1023 \"highest id\"", ""},
    };
    std::string text;
    std::string strExpected;
    int nLine = 1;
    for (const LineRow& row : rows) {
        text += std::string(row.pszLine) + "\n";
        if (*row.pszMessage)
            strExpected += "- File \"lines\" line " + std::to_string(nLine) + ": " + row.pszMessage + "\r\n";
        nLine++;
    }
    AppTempDir dir;
    const ParseResult result = ParseBytes(dir, "lines.lng", Padded(text));
    EXPECT_TRUE(result.bLoaded);
    EXPECT_EQ(strExpected, result.strReport);
    ASSERT_EQ(1023u, result.texts.size());
    EXPECT_EQ("Name", result.texts[0]);
    EXPECT_EQ("indented record", result.texts[1]);
    EXPECT_EQ("<null>", result.texts[2]);
    EXPECT_EQ(strLongest, result.texts[7]);
    EXPECT_EQ("highest id", result.texts[1022]);
}

TEST(LanguageFile, TextsKeepInnerQuotesAndUnescapeThreeCharacters)
{
    const struct
    {
        const char* pszLine;
        const char* pszText;
    } rows[] = {
        {"#1 \"plain\"", "plain"},
        {"#1 \"say \"hi\" now\" and more", "say \"hi\" now"},
        {"#1 \"a\\nb\\rc\\td\"", "a\nb\rc\td"},
        {"#1 \"C:\\Windows\\q\"", "C:\\Windows\\q"},
        {"#1 \"ends in a backslash\\\"", "ends in a backslash\\"},
        {"#1 \"\\\\n\"", "\\\n"},
        {"#1 \"CR kept out\"\r", "CR kept out"},
        {"#+1\"plus sign, no blank\"", "plus sign, no blank"},
        {"#  \t1 \"blanks before the digits\"", "blanks before the digits"},
        {"#01x \"stops at the first non-digit\"", "stops at the first non-digit"},
        {"#1\"\"\"", "\""},
    };
    AppTempDir dir;
    for (const auto& row : rows) {
        const ParseResult result = ParseBytes(dir, "t.lng", Padded(std::string(row.pszLine) + "\n"));
        EXPECT_EQ("", result.strReport) << row.pszLine;
        ASSERT_EQ(1u, result.texts.size()) << row.pszLine;
        EXPECT_EQ(row.pszText, result.texts[0]) << row.pszLine;
    }
}

TEST(LanguageFile, FileProblemsAreReported)
{
    AppTempDir dir;
    const std::string strValid = LangText("English", 3);
    const struct
    {
        const char* pszFile;
        std::string bytes;
        bool bLoaded;
        std::string strReport;
    } rows[] = {
        {"min.lng", std::string(LANG_MIN_FILE_SIZE - 8, '\n') + "#1 \"ok\"\n", true, ""},
        {"short.lng", std::string(LANG_MIN_FILE_SIZE - 9, '\n') + "#1 \"ok\"\n", false,
         "- Language file \"short\" is either too short or too long.\r\n"},
        {"max.lng", std::string(LANG_MAX_FILE_SIZE - 8, '\n') + "#1 \"ok\"\n", true, ""},
        {"long.lng", std::string(LANG_MAX_FILE_SIZE - 7, '\n') + "#1 \"ok\"\n", false,
         "- Language file \"long\" is either too short or too long.\r\n"},
        {"empty.lng", "", false, "- Language file \"empty\" is either too short or too long.\r\n"},
        {"none.lng", Padded("no record here\n"), false,
         "- File \"none\" line 1: Unknown string.\r\n- No valid records were found in language file \"none\".\r\n"},
        {"zeros.lng", std::string(2000, '\0'), false, "- No valid records were found in language file \"zeros\".\r\n"},
        {"cut.lng", Padded("#1 \"before the zero\"\n" + std::string(1, '\0') + "#2 \"after\"\n"), true, ""},
        {".lng", strValid, false, "- Invalid language file name.\r\n"},
    };
    for (const auto& row : rows) {
        const ParseResult result = ParseBytes(dir, row.pszFile, row.bytes);
        EXPECT_EQ(row.bLoaded, !!result.bLoaded) << row.pszFile;
        EXPECT_EQ(row.strReport, result.strReport) << row.pszFile;
    }
    const ParseResult cut = ParseBytes(dir, "cut.lng", rows[7].bytes);
    EXPECT_EQ(1u, cut.texts.size());

    CLanguage language;
    CString strReport;
    EXPECT_FALSE(LoadLanguageFile(dir.Path("missing.lng").c_str(), &strReport, &language));
    EXPECT_STREQ("- Can't open language file \"missing\".\r\n", strReport);
    // A report is optional.
    EXPECT_FALSE(LoadLanguageFile(dir.Path("missing.lng").c_str(), NULL, &language));
}

TEST(LanguageFile, LaterDuplicateWinsAndIsReported)
{
    AppTempDir dir;
    const ParseResult result =
        ParseBytes(dir, "dup.lng", Padded("#2 \"first\"\n#1 \"name\"\n#2 \"second\"\n#2 \"third\"\n"));
    EXPECT_TRUE(result.bLoaded);
    EXPECT_EQ("- Duplicate string ID #00002 is found in language file \"dup\".\r\n"
              "- Duplicate string ID #00002 is found in language file \"dup\".\r\n",
              result.strReport);
    ASSERT_EQ(2u, result.texts.size());
    EXPECT_EQ("third", result.texts[1]);
}

TEST(LanguageFile, ReloadReplacesTheOldContent)
{
    AppTempDir dir;
    CLanguage language;
    ASSERT_TRUE(WriteWholeFile(dir.Path("a.lng"), LangText("Alpha", 600)));
    ASSERT_TRUE(WriteWholeFile(dir.Path("b.lng"), LangText("Beta", 5)));
    ASSERT_TRUE(LoadLanguageFile(dir.Path("a.lng").c_str(), NULL, &language));
    EXPECT_EQ(600, language.GetCount());
    ASSERT_TRUE(LoadLanguageFile(dir.Path("b.lng").c_str(), NULL, &language));
    EXPECT_EQ(5, language.GetCount());
    EXPECT_STREQ("b", language.GetTitle());
    EXPECT_STREQ("Beta", language.GetName());
    // A failed load keeps what the language had.
    ASSERT_TRUE(WriteWholeFile(dir.Path("c.lng"), "tiny"));
    EXPECT_FALSE(LoadLanguageFile(dir.Path("c.lng").c_str(), NULL, &language));
    EXPECT_STREQ("Beta", language.GetName());
}

TEST(LanguageFile, Utf16WithByteOrderMarkParsesLikeItsAnsiTwin)
{
    // Characters outside ASCII that the code page holds, and CR LF line ends.
    std::string text = "#1 \"Fran\xE7" "ais\"\r\n#2 \"line\\nbreak\"\r\n// comment\r\nbad line\r\n#3 \"\"\r\n";
    if (GetACP() == CP_UTF8)
        text = "#1 \"Fran\xC3\xA7" "ais\"\r\n#2 \"line\\nbreak\"\r\n// comment\r\nbad line\r\n#3 \"\"\r\n";
    AppTempDir dir;
    const ParseResult ansi = ParseBytes(dir, "twin.lng", Padded(text));
    const ParseResult wide = ParseBytes(dir, "twin.lng", Utf16(Padded(text)));
    EXPECT_TRUE(wide.bLoaded);
    EXPECT_EQ(ansi.strReport, wide.strReport);
    EXPECT_EQ("- File \"twin\" line 4: Unknown string.\r\n- File \"twin\" line 5: String is empty.\r\n", wide.strReport);
    EXPECT_EQ(ansi.texts, wide.texts);
    ASSERT_EQ(2u, wide.texts.size());
    EXPECT_EQ("line\nbreak", wide.texts[1]);
}

TEST(LanguageFile, Utf16TextIsConvertedWhole)
{
    // Every character of a long UTF-16 line arrives, whatever number of bytes
    // the code page needs for it.
    std::wstring wide = L"\xFEFF#1 \"";
    for (int i = 0; i < 1000; i++)
        wide += (i % 2) ? L'\x00E9' : L'\x4E2D';
    wide += L"\"\r\n";
    while (wide.size() < 1024)
        wide += L"// padding\r\n";
    std::string bytes;
    for (wchar_t ch : wide) {
        bytes += char(ch & 0xFF);
        bytes += char((ch >> 8) & 0xFF);
    }
    const std::wstring inner = wide.substr(5, 1000);
    std::string expected(4 * inner.size() + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, inner.data(), int(inner.size()), &expected[0], int(expected.size()),
                                      NULL, NULL);
    expected.resize(size_t(n));
    AppTempDir dir;
    const ParseResult result = ParseBytes(dir, "wide.lng", bytes);
    EXPECT_EQ("", result.strReport);
    ASSERT_EQ(1u, result.texts.size());
    EXPECT_EQ(expected, result.texts[0]);
}

// A language with entries filled in by hand (no file).
void FillLanguage(CLanguage& language, const char* pszTitle, int nCount, const std::set<int>& gaps,
                  const char* pszVersion = "1")
{
    language.Free();
    language.m_strTitle = pszTitle;
    language.m_nCount = nCount;
    language.m_ppStrings = static_cast<char**>(calloc(size_t(nCount > 0 ? nCount : 1), sizeof(char*)));
    for (int n = 0; n < nCount; n++) {
        if (gaps.count(n + 1))
            continue;
        const std::string str = n == LANGSTR_VERSION ? pszVersion : "text " + std::to_string(n);
        language.m_ppStrings[n] = _strdup(str.c_str());
    }
}

std::string IdList(int nFirst, int nLast)
{
    std::string str;
    char sz[16];
    for (int nId = nFirst; nId <= nLast; nId++) {
        snprintf(sz, sizeof(sz), " #%05d", nId);
        str += sz;
    }
    return str;
}

TEST(CheckLanguage, VersionGapsAndShortLanguages)
{
    const struct
    {
        const char* pszCase;
        const char* pszTitle;
        int nCount;
        std::set<int> gaps;
        const char* pszVersion;
        int nResult;
        std::string strReport;
    } rows[] = {
        {"complete", "de", 589, {}, "1", 1, ""},
        {"least accepted", "de", 523, {}, "7", 1, ""},
        {"version 0", "de", 600, {}, "0", 0, "- Incorrect version of language file \"de\".\r\n"},
        {"version text", "de", 600, {}, "new", 0, "- Incorrect version of language file \"de\".\r\n"},
        {"version negative", "de", 600, {}, "-3", 0, "- Incorrect version of language file \"de\".\r\n"},
        {"version missing", "de", 600, {185}, "1", 0, "- Incorrect version of language file \"de\".\r\n"},
        {"too short for a version", "de", 100, {}, "1", 0, "- Incorrect version of language file \"de\".\r\n"},
        {"no title", "", 600, {}, "0", 0, "- Incorrect language file version.\r\n"},
        {"gap at 300", "de", 600, {300}, "1", 0,
         "- The following strings are missing in language file \"de\": #00300\r\n"},
        {"two gaps", "de", 600, {1, 599}, "1", 0,
         "- The following strings are missing in language file \"de\": #00001 #00599\r\n"},
        {"gap without title", "", 600, {2}, "1", 0, "- The following strings are missing: #00002\r\n"},
        {"522 strings", "de", 522, {}, "1", 0,
         "- The following strings are missing in language file \"de\": #00523\r\n"},
        {"500 strings", "de", 500, {}, "1", 0,
         "- The following strings are missing in language file \"de\":" + IdList(501, 523) + "\r\n"},
    };
    for (const auto& row : rows) {
        CLanguage language;
        FillLanguage(language, row.pszTitle, row.nCount, row.gaps, row.pszVersion);
        CString strReport = "before\r\n";
        EXPECT_EQ(row.nResult, CheckLanguage(&language, &strReport)) << row.pszCase;
        EXPECT_EQ("before\r\n" + row.strReport, std::string(strReport)) << row.pszCase;
    }
}

class LoadLanguagesTest : public ::testing::Test
{
protected:
    void TearDown() override { FreeLanguages(); }

    void Write(const std::string& strFile, const std::string& bytes)
    {
        ASSERT_TRUE(WriteWholeFile(m_dir.Path(strFile), bytes)) << strFile;
    }
    int Load(CString* pReport) { return LoadLanguages((m_dir.Dir() + "\\").c_str(), pReport); }
    static std::vector<std::string> Names()
    {
        CSequence<CString> names;
        GetLanguageNameList(names);
        std::vector<std::string> result;
        for (int i = 0; i < names.GetSize(); i++)
            result.push_back(names[i].GetString());
        return result;
    }

    AppTempDir m_dir;
};

TEST_F(LoadLanguagesTest, SortedWithEnglishFirstAndShortOnesCompleted)
{
    Write("a.lng", LangText("Bcd", 523));
    Write("b.lng", LangText("Zulu", 600));
    Write("c.lng", LangText("English", 589));
    Write("d.lng", LangText("abc", 530));
    Write("e.lngx", LangText("Ignored", 600));
    CString strReport;
    ASSERT_EQ(1, Load(&strReport));
    EXPECT_STREQ("", strReport);
    EXPECT_EQ((std::vector<std::string>{"English", "abc", "Bcd", "Zulu"}), Names());

    // English is the reference although Zulu is longer; Bcd gets English's
    // entries 523 and up, Zulu keeps its own 600.
    ASSERT_EQ(1, SelectLanguage("bcd"));
    EXPECT_STREQ("Bcd 523", GetLangString(522));
    EXPECT_STREQ("English 524", GetLangString(523));
    EXPECT_STREQ("English 589", GetLangString(588));
    EXPECT_STREQ("ERROR", GetLangString(589));
    ASSERT_EQ(1, SelectLanguage("ZULU"));
    EXPECT_STREQ("Zulu 600", GetLangString(599));
    EXPECT_STREQ("ERROR", GetLangString(600));
    EXPECT_STREQ("ERROR", GetLangString(-1));
    EXPECT_EQ(0, SelectLanguage("Klingon"));
    EXPECT_STREQ("Zulu", GetLangString(0));

    CSequence<CString> infos;
    EXPECT_TRUE(GetLanguageInfoList(infos));
    ASSERT_EQ(4, infos.GetSize());
    EXPECT_STREQ("English 90", infos[0]);
}

TEST_F(LoadLanguagesTest, FirstLanguageIsCurrentAndFreeingLeavesNone)
{
    Write("x.lng", LangText("Deutsch", 589));
    ASSERT_EQ(1, Load(NULL));
    EXPECT_STREQ("Deutsch", GetLangString(0));
    FreeLanguages();
    EXPECT_EQ(nullptr, g_pCurrentLanguage);
    EXPECT_STREQ("ERROR", GetLangString(0));
    CSequence<CString> names;
    EXPECT_FALSE(GetLanguageNameList(names));
}

TEST_F(LoadLanguagesTest, LaterFileOfTheSameNameWins)
{
    Write("1.lng", LangText("English", 589, "first"));
    Write("2.lng", LangText("english", 589, "second"));
    CString strReport;
    ASSERT_EQ(1, Load(&strReport));
    EXPECT_EQ(1, g_Languages.GetSize());
    EXPECT_STREQ("second 2", GetLangString(1));
}

TEST_F(LoadLanguagesTest, WithoutEnglishTheLastCompleteLanguageIsTheReference)
{
    Write("1.lng", LangText("Alpha", 590));
    Write("2.lng", LangText("Beta", 589));
    Write("3.lng", LangText("Gamma", 523));
    ASSERT_EQ(1, Load(NULL));
    ASSERT_EQ(1, SelectLanguage("Gamma"));
    EXPECT_STREQ("Beta 589", GetLangString(588));
    EXPECT_STREQ("ERROR", GetLangString(589));
}

TEST_F(LoadLanguagesTest, ReportsBadFilesAndKeepsTheGoodOnes)
{
    Write("good.lng", LangText("English", 589));
    Write("gap.lng", LangText("Deutsch", 600, "", {300}));
    Write("short.lng", LangText("Dansk", 500));
    Write("tiny.lng", "#1 \"x\"");
    CString strReport;
    ASSERT_EQ(1, Load(&strReport));
    EXPECT_EQ("- The following strings are missing in language file \"gap\": #00300\r\n"
              "- The following strings are missing in language file \"short\":" + IdList(501, 523) + "\r\n"
              "- Language file \"tiny\" is either too short or too long.\r\n",
              std::string(strReport));
    EXPECT_EQ((std::vector<std::string>{"English"}), Names());
}

TEST_F(LoadLanguagesTest, FailuresKeepThePreviousLanguages)
{
    Write("en.lng", LangText("English", 589));
    ASSERT_EQ(1, Load(NULL));
    CLanguage* pBefore = g_pCurrentLanguage;
    DeleteFileA(m_dir.Path("en.lng").c_str());

    Write("de.lng", LangText("Deutsch", 523));
    CString strReport;
    EXPECT_EQ(0, Load(&strReport));
    EXPECT_STREQ("\r\n- No complete language files were found.\r\n", strReport);

    DeleteFileA(m_dir.Path("de.lng").c_str());
    strReport.Empty();
    EXPECT_EQ(0, Load(&strReport));
    EXPECT_STREQ("\r\n- No valid language files were found.\r\n", strReport);

    EXPECT_EQ(pBefore, g_pCurrentLanguage);
    EXPECT_STREQ("English", GetLangString(0));
}

// Texts that the program quotes as they stand, in the shipped English file.
struct ShippedText
{
    int nEntry;
    const char* pszText;
};

const ShippedText kShippedTexts[] = {
    {0, "English"},
    {12, "custom"},
};

TEST(ShippedEnglish, LoadsCleanlyWithEveryEntry)
{
    const std::string strFolder = std::string(TVNX_SOURCE_DIR) + "\\data\\Languages\\";
    const std::string strPath = strFolder + "English.lng";
    if (GetFileAttributesA(strPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no data/Languages/English.lng in this tree";
    CLanguage language;
    CString strReport;
    ASSERT_TRUE(LoadLanguageFile(strPath.c_str(), &strReport, &language));
    EXPECT_EQ(1, CheckLanguage(&language, &strReport));
    EXPECT_STREQ("", strReport);
    EXPECT_EQ(LANG_FULL_COUNT, language.GetCount());
    for (const ShippedText& row : kShippedTexts) {
        ASSERT_NE(nullptr, language.GetString(row.nEntry)) << "entry " << row.nEntry;
        EXPECT_STREQ(row.pszText, language.GetString(row.nEntry)) << "entry " << row.nEntry;
    }
    EXPECT_GE(atoi(language.GetString(LANGSTR_VERSION)), 1);

    strReport.Empty();
    ASSERT_EQ(1, LoadLanguages(strFolder.c_str(), &strReport));
    EXPECT_STREQ("", strReport);
    EXPECT_STREQ("English", GetLangString(0));
    FreeLanguages();
}

TEST(LanguageFileFuzz, MutatedFilesNeverCrash)
{
    const std::string ansi = LangText("English", 40) + "#41 \"a\\n\\\"b\" c\"\r\n#5 \"dup\"\r\n";
    const std::string samples[] = {ansi, Utf16(ansi)};
    std::mt19937 rng(20261210);
    AppTempDir dir;
    const std::string strPath = dir.Path("fuzz.lng");
    const char interesting[] = {'#', '"', '\\', '\n', '\r', '\0', '/', '-', '9', ' '};
    CFuzzRun run("language", 400, 3000);
    while (run.More()) {
        std::string bytes = samples[run.Taken() % 2];
        const int nMutations = 1 + int(rng() % 12);
        for (int m = 0; m < nMutations; m++) {
            const size_t pos = rng() % bytes.size();
            switch (rng() % 4) {
            case 0: bytes[pos] = char(rng()); break;
            case 1: bytes[pos] = interesting[rng() % sizeof(interesting)]; break;
            case 2: bytes.insert(pos, 1, interesting[rng() % sizeof(interesting)]); break;
            default: bytes.erase(pos, 1 + rng() % 8); break;
            }
        }
        bytes = run.Take(bytes);
        ASSERT_TRUE(WriteWholeFile(strPath, bytes));
        CLanguage language;
        CString strReport;
        if (LoadLanguageFile(strPath.c_str(), &strReport, &language))
            CheckLanguage(&language, &strReport);
        run.Done();
    }
    EXPECT_GT(run.Taken(), run.Replaying() ? 0 : 20);
}

}   // namespace
