// A smilie's source text: picture address, other address or none; the address
// cut out of forum code; %hh decoding; the short name taken from the text.
#include "delivery/SourceText.h"

#include <gtest/gtest.h>

namespace {

TEST(SourceText, ClassifiesTexts)
{
    struct Row { const char* text; int expected; } rows[] = {
        {"", SOURCE_NOT_ADDRESS},
        {"C:\\smilies\\grin.gif", SOURCE_NOT_ADDRESS},
        {"http://ab.com/a.g", SOURCE_OTHER_ADDRESS},                 // 17 characters: an address
        {"http://a.com/a.gi", SOURCE_OTHER_ADDRESS},
        {"http://a.co/a.gif", SOURCE_PICTURE_ADDRESS},
        {"http://a.c/a.gif", SOURCE_NOT_ADDRESS},                    // exactly 16: too short
        {"  HTTP://A.CO/A.GIF \r\n", SOURCE_PICTURE_ADDRESS},        // trimmed, case ignored
        {"http:\\\\host.com\\pic.png", SOURCE_PICTURE_ADDRESS},
        {"www.example.com/smile.png", SOURCE_PICTURE_ADDRESS},
        {"www.example.com/smile.jpeg", SOURCE_PICTURE_ADDRESS},
        {"www.example.com/page.html", SOURCE_OTHER_ADDRESS},
        {"www.example.com/smilies/", SOURCE_OTHER_ADDRESS},
        {"ftp://example.com/smile.gif", SOURCE_NOT_ADDRESS},
        {"http://example.com/show?target=grin", SOURCE_PICTURE_ADDRESS},
        {"http://e.com?target=grin", SOURCE_OTHER_ADDRESS},           // "?target=" at 12
        {"http://example.com/.gif", SOURCE_OTHER_ADDRESS},            // no title before the extension
        {"[img]http://example.com/a.gif[/img]", SOURCE_NOT_ADDRESS},
        {"https://a.co/a.gif", SOURCE_PICTURE_ADDRESS},
        {"HTTPS:\\\\host.com\\pic.png", SOURCE_PICTURE_ADDRESS},
        {"https://example.com/page.html", SOURCE_OTHER_ADDRESS},
        {"httpx://example.com/smile.gif", SOURCE_NOT_ADDRESS},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.expected, ClassifySourceText(r.text)) << "text \"" << r.text << "\"";
}

TEST(SourceText, ExtractsPictureAddress)
{
    struct Row { const char* text; int result; const char* address; } rows[] = {
        {" http://example.com/a.gif ", 1, "http://example.com/a.gif"},
        {"[img]http://example.com/smile.gif[/img]", 1, "http://example.com/smile.gif"},
        {"[IMG]HTTP://example.com/smile.gif[/IMG]", 1, "HTTP://example.com/smile.gif"},
        {"<img src=\"http://example.com/smile.png\">", 1, "http://example.com/smile.png"},
        {"[url]x[/url]http://example.com/page.html", 0, ""},
        {"xhttp://example.com/smile.gif", 0, ""},                     // a letter before "http:"
        {"see http://example.com/smile.gif", 0, ""},
        {"[img]http://a.c/a.gif[/img]", 0, ""},                      // the address is too short
        {"no address at all", 0, ""},
        {"[img]https://example.com/smile.gif[/img]", 1, "https://example.com/smile.gif"},
        {"<img src=\"HTTPS://example.com/smile.png\">", 1, "HTTPS://example.com/smile.png"},
        {"xhttps://example.com/smile.gif", 0, ""},
    };
    for (const Row& r : rows) {
        CString address = "untouched";
        EXPECT_EQ(r.result, ExtractWebAddress(r.text, address)) << "text \"" << r.text << "\"";
        EXPECT_STREQ(r.result ? r.address : "untouched", address) << "text \"" << r.text << "\"";
    }
}

// Runs in a process started under the Japanese locale (tests/CMakeLists.txt).
TEST(SourceTextCodePage932, LoneLeadByteStaysAByte)
{
    // 0xE0 is a lead byte under code page 932; the '.' after it is no trail
    // byte, and the address must keep its extension.
    ASSERT_EQ(932u, GetACP()) << "start the process with LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ(SOURCE_PICTURE_ADDRESS, ClassifySourceText("http://e.net/\xE0.bmp"));
    EXPECT_EQ(SOURCE_PICTURE_ADDRESS, ClassifySourceText("HTTP://E.NET/\xE0.BMP"));
    CString address;
    EXPECT_EQ(1, ExtractWebAddress("[img]http://e.net/\xE0.bmp[/img]", address));
    EXPECT_STREQ("http://e.net/\xE0.bmp", address);
}

TEST(SourceText, UnescapesUrls)
{
    struct Row { const char* text; const char* expected; } rows[] = {
        {"smile%20face.gif", "smile face.gif"},
        {"end%", "end%"},
        {"end%4", "end%4"},
        {"%41%42", "AB"},
        {"%2541", "%41"},               // decoded once: the scan goes on after the new character
        {"a%00b", "a%00b"},             // a zero is not decoded
        {"a%zzb", "a%zzb"},
        {"%4g", "\x04"},                // reading stops at the first non-digit
        {"", ""},
    };
    for (const Row& r : rows)
        EXPECT_STREQ(r.expected, UnescapeUrl(r.text)) << "text \"" << r.text << "\"";
}

TEST(SourceText, DerivesShortNames)
{
    // No language is loaded in the tests, so the nameless text reads "ERROR".
    struct Row { const char* text; const char* plain; const char* noTarget; } rows[] = {
        {"C:\\smilies\\grin.gif", "grin", "grin"},
        {"http://example.com/a%20b.gif", "a%20b", "a b"},
        {"http://example.com/averyveryverylongname.png", "averyveryverylongname", "averyveryverylon"},
        {"http://example.com/show?target=grin", "target=grin", "target=grin"},
        {"", "ERROR", "ERROR"},
        {"http://example.com/", "ERROR", "ERROR"},
    };
    for (const Row& r : rows) {
        CString name;
        GetSourceFileName(name, r.text);
        EXPECT_STREQ(r.plain, name) << "text \"" << r.text << "\"";
        GetSourceFileNameNoTarget(name, r.text);
        EXPECT_STREQ(r.noTarget, name) << "text \"" << r.text << "\"";
    }
}

}   // namespace
