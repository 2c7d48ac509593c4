// The export page's texts and picture addresses from mutated phrases and
// names under code page 932, where a lead byte stands before the markup
// characters: nothing that ends an attribute or starts a tag reaches the page
// raw, and what is written reads back as the text it came from.
#include "fields/ExportSmilies.h"

#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The text as a browser reads it back from the page.
std::string Unescape(const std::string& s)
{
    static const struct {
        const char* pszEntity;
        char ch;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
    std::string out;
    for (size_t i = 0; i < s.size();) {
        bool bEntity = false;
        for (const auto& e : kEntities) {
            const size_t n = strlen(e.pszEntity);
            if (s.compare(i, n, e.pszEntity) == 0) {
                out += e.ch;
                i += n;
                bEntity = true;
                break;
            }
        }
        if (!bEntity)
            out += s[i++];
    }
    return out;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// The address percent-decoded; false when a '%' is not followed by two
// upper-case hex digits.
bool PercentDecode(const std::string& s, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size() || HexValue(s[i + 1]) < 0 || HexValue(s[i + 2]) < 0)
            return false;
        out += char(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
        i += 2;
    }
    return true;
}

std::string MutateName(const std::string& base, FuzzRandom& rnd)
{
    static const char* const kPieces[] = {"\x81", "\x83\x5C", "\x95\x5C\x8E\xA6", "\x81<", "\x81>", "\x81&",
                                          "\x81\"", "\x81'", "\x81#", "\x81%", "\x81 ", "<", ">", "&", "\"",
                                          ":", "\\", "/", "|", "\x7F", "\x81\x7F", "%41", "&lt;"};
    return MutateText(base, rnd, kPieces, 6);
}

TEST(ExportPageFuzzCodePage932, MutatedTextsReachThePageEscaped)
{
    ASSERT_EQ(932u, GetACP());
    const std::string bases[] = {"\x81<b\x81>hello</b>", "C:\\\x83\x5C\\smile \"1\".gif", "a&b #1%.gif"};
    FuzzRandom rnd{0xE4932u};
    CFuzzRun run("exportpage", 3000, 3000);
    while (run.More()) {
        const std::string text = run.Take(MutateName(bases[rnd.Below(3)], rnd));
        const std::string strPage = EscapePageText(text.c_str()).GetString();
        EXPECT_EQ(strPage.find_first_of("<>\""), std::string::npos) << "input " << run.Taken();
        EXPECT_EQ(Unescape(strPage), text) << "input " << run.Taken();
        for (const BOOL bFileAddress : {FALSE, TRUE}) {
            const std::string strAddress = PageAddress(text.c_str(), bFileAddress).GetString();
            for (const unsigned char ch : strAddress)
                EXPECT_TRUE(ch > ' ' && strchr("\"'<>#&?", ch) == NULL)
                    << "input " << run.Taken() << ": byte " << int(ch) << " in " << strAddress;
            std::string strDecoded;
            EXPECT_TRUE(PercentDecode(strAddress, strDecoded)) << "input " << run.Taken();
            if (!bFileAddress)
                EXPECT_EQ(strDecoded, text) << "input " << run.Taken();
        }
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

}  // namespace
