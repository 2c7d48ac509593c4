// What a drop or a paste turns into: pictures from file lists, HTML, link
// addresses and bitmap headers, or a phrase text.
#include "tests/fields/DropSamples.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const CLIPFORMAT kHtml = GetHtmlClipFormat();
const CLIPFORMAT kUrl = GetUrlClipFormat();

struct DropRow
{
    const char* name;
    std::function<void(CTestDrop&)> fill;
    int result;
    const char* records;   // Describe() of the list
    std::string text;
};

TEST(DroppedData, ReadsWhatTheDropOffers)
{
    const std::string longText(20000, 'x');
    const DropRow rows[] = {
        {"browser drop: tag address and cached file smile[1].gif",
         [](CTestDrop& d) {
             d.Add(kHtml, TextBytes(HtmlClip("<img src=\"http://ex.com/pics/smile.gif\">", "http://ex.com/page.html")))
                 .Add(CF_HDROP, FileListBytes({"C:\\Cache\\X1\\smile[1].gif"}));
         },
         1, "http://ex.com/pics/smile.gif|C:\\Cache\\X1\\smile[1].gif|0|0", ""},
        {"cached file that matches no tag is left out",
         [](CTestDrop& d) {
             d.Add(kHtml, TextBytes(HtmlClip("<img src=\"http://ex.com/a.gif\">")))
                 .Add(CF_HDROP, FileListBytes({"C:\\Cache\\b[2].gif"}));
         },
         1, "http://ex.com/a.gif||0|0", ""},
        {"relative source under SourceURL",
         [](CTestDrop& d) {
             d.Add(kHtml, TextBytes(HtmlClip("<img src=\"pics/a.gif\" width=20 height=\"30\">",
                                             "http://ex.com/forum/page.html")));
         },
         1, "http://ex.com/forum/pics/a.gif||20|30", ""},
        {"relative sources without a base give nothing",
         [](CTestDrop& d) { d.Add(kHtml, TextBytes(HtmlClip("<img src=\"pics/a.gif\">"))); }, 0, "", ""},
        {"size limits: 1 by 10 dropped, no size kept",
         [](CTestDrop& d) {
             d.Add(kHtml, TextBytes(HtmlClip("<img src=\"http://e.com/s.gif\" width=1 height=10>"
                                             "<img src=\"http://e.com/t.gif\">")));
         },
         1, "http://e.com/t.gif||0|0", ""},
        {"local source from a local page goes to the path",
         [](CTestDrop& d) {
             d.Add(kHtml, TextBytes(HtmlClip("<IMG SRC=\"file:///C|/pics/a.png\">")));
         },
         1, "|C:/pics/a.png|0|0", ""},
        {"20000-character text becomes a 10000-character phrase",
         [&](CTestDrop& d) { d.Add(CF_TEXT, TextBytes(longText)); }, 1, "", std::string(10000, 'x')},
        {"Unicode text is preferred",
         [](CTestDrop& d) { d.Add(CF_TEXT, TextBytes("plain")).Add(CF_UNICODETEXT, WideTextBytes(L"wide")); },
         1, "", "wide"},
        {"text holding a picture address",
         [](CTestDrop& d) { d.Add(CF_TEXT, TextBytes("look [img]http://example.com/grin.gif[/img]")); },
         1, "http://example.com/grin.gif||0|0", ""},
        {".html address with no browser to ask stays the record",
         [](CTestDrop& d) { d.Add(kUrl, TextBytes("http://example.com/gallery/show.html")); },
         1, "http://example.com/gallery/show.html||0|0", ""},
        {"picture address",
         [](CTestDrop& d) { d.Add(kUrl, TextBytes("http://example.com/a.JPEG")); },
         1, "http://example.com/a.JPEG||0|0", ""},
        {"relative source under an https page",
         [](CTestDrop& d) {
             d.Add(kHtml, TextBytes(HtmlClip("<img src=\"pics/a.gif\">", "https://ex.com/forum/page.html")));
         },
         1, "https://ex.com/forum/pics/a.gif||0|0", ""},
        {"pasted https picture address",
         [](CTestDrop& d) { d.Add(CF_TEXT, TextBytes("https://example.com/grin.gif")); },
         1, "https://example.com/grin.gif||0|0", ""},
        {"text file gives nothing",
         [](CTestDrop& d) { d.Add(CF_HDROP, FileListBytes({"C:\\notes\\read.txt"})); }, 0, "", ""},
        {"file without extension, twice, and a picture",
         [](CTestDrop& d) {
             d.Add(CF_HDROP, FileListBytes({"C:\\cache\\pic", "C:\\CACHE\\PIC", "D:\\a.b\\c.Gif"}, true));
         },
         1, "|C:\\cache\\pic|0|0; |D:\\a.b\\c.Gif|0|0", ""},
        {"one file takes the bitmap's size",
         [](CTestDrop& d) {
             d.Add(CF_HDROP, FileListBytes({"C:\\a.bmp"})).Add(CF_DIB, DibBytes(40, 48, -32));
         },
         1, "|C:\\a.bmp|48|32", ""},
        {"two files keep no size",
         [](CTestDrop& d) {
             d.Add(CF_HDROP, FileListBytes({"C:\\a.bmp", "C:\\b.png"})).Add(CF_DIB, DibBytes(124, 48, 32));
         },
         1, "|C:\\a.bmp|0|0; |C:\\b.png|0|0", ""},
        {"nothing offered", [](CTestDrop&) {}, 0, "", ""},
    };
    for (const DropRow& r : rows) {
        CTestDrop drop;
        r.fill(drop);
        CSequence<ODOIMGINFO> list;
        CString text = "stale";
        const int result = ReadDroppedData(drop.Data(), list, text);
        EXPECT_EQ(r.result, result) << r.name;
        EXPECT_EQ(r.records, Describe(list)) << r.name;
        EXPECT_EQ(r.text, std::string(text)) << r.name;
        EXPECT_TRUE(list.GetSize() == 0 || text.IsEmpty()) << r.name << ": only one output is filled";
    }
}

TEST(DroppedData, TellsWhatIsOffered)
{
    struct Row
    {
        const char* name;
        std::function<void(CTestDrop&)> fill;
        BOOL pictures, text;
    } rows[] = {
        {"html", [](CTestDrop& d) { d.Add(kHtml, TextBytes("<b>x</b>")); }, TRUE, FALSE},
        {"address", [](CTestDrop& d) { d.Add(kUrl, TextBytes("http://a.com/")); }, TRUE, FALSE},
        {"picture file", [](CTestDrop& d) { d.Add(CF_HDROP, FileListBytes({"C:\\a.txt", "C:\\b.jpg"})); }, TRUE, FALSE},
        {"file without extension", [](CTestDrop& d) { d.Add(CF_HDROP, FileListBytes({"C:\\x.y\\file"})); }, TRUE, FALSE},
        {"text files only", [](CTestDrop& d) { d.Add(CF_HDROP, FileListBytes({"C:\\a.txt", "C:\\b.doc"})); }, FALSE, FALSE},
        {"empty file list", [](CTestDrop& d) { d.Add(CF_HDROP, FileListBytes({})); }, FALSE, FALSE},
        {"plain text", [](CTestDrop& d) { d.Add(CF_TEXT, TextBytes("hi")); }, FALSE, TRUE},
        {"Unicode text", [](CTestDrop& d) { d.Add(CF_UNICODETEXT, WideTextBytes(L"hi")); }, FALSE, TRUE},
    };
    for (const Row& r : rows) {
        CTestDrop drop;
        r.fill(drop);
        EXPECT_EQ(r.pictures, HasDroppedPictures(drop.Data())) << r.name;
        EXPECT_EQ(r.text, HasDroppedText(drop.Data())) << r.name;
    }
}

TEST(DroppedData, ParsesImageTags)
{
    const IMGSIZELIMITS limits = {2, 2, 32768, 32768};
    struct Row
    {
        const char* html;
        bool bLimits;
        const char* tags;   // "source|w|h" separated by "; "
    } rows[] = {
        {"SourceURL:http://ex.com/f/page.html\r\n<img src=\"pics/a.gif\">", false, "http://ex.com/f/pics/a.gif|0|0"},
        {"SourceURL:http://ex.com/f/page.html\r\n<img src=\"/pics/a.gif\">", false, "http://ex.com/f/pics/a.gif|0|0"},
        {"SourceURL:http://ex.com/f/page.html\r\n<img src=\"a.gif\"><img src=\"/a.gif\">", false, "http://ex.com/f/a.gif|0|0"},
        {"SourceURL:C:\\site\\index.htm\r\n<img\tsrc=\"a.gif\">", false, "C:\\site\\a.gif|0|0"},
        {"SourceURL:file:///C:/site/index.htm\n<img src=\"a.gif\">", false, "C:/site/a.gif|0|0"},
        {"SourceURL:ftp://ex.com/page.html\r\n<img src=\"a.gif\">", false, ""},
        {"<img src=\"a.gif\">SourceURL:http://ex.com/p.html\r\n", false, ""},
        {"SourceURL:\r\n<img src=\"a.gif\">", false, ""},
        {"SourceURL:http://ex.com/p.html\r\n<img src=\"ftp://ex.com/a.gif\"><img src=\"data:image/gif;x\">", false, ""},
        {"SourceURL:https://ex.com/f/page.html\r\n<img src=\"pics/a.gif\">", false, "https://ex.com/f/pics/a.gif|0|0"},
        {"SourceURL:http://ex.com/p.html\r\n<img src=\"HTTPS://ex.com/a.gif\">", false, "HTTPS://ex.com/a.gif|0|0"},
        {"<img src=\"http://a.com/1.gif\" width=1 height=10>", true, ""},
        {"<img src=\"http://a.com/1.gif\" width=1 height=10>", false, "http://a.com/1.gif|1|10"},
        {"<img src=\"http://a.com/1.gif\" width=40000 height=\"20\">", true, ""},
        {"<img src=\"http://a.com/1.gif\" width=1>", true, "http://a.com/1.gif|1|0"},
        {"<img width=5 src=\"http://a.com/1.gif\" width=\"7\" height=9>", true, "http://a.com/1.gif|7|9"},
        {"<img src=\"http://a.com/1.gif\"><IMG SRC=\"HTTP://A.COM/1.GIF\">", false, "http://a.com/1.gif|0|0"},
        {"<img src=\"http://a.com/my pic.gif\">", false, ""},
        {"<img src=\"http://a.com/it's.gif\">", false, ""},
        {"<img src=\"http://a.com/1.gif\"", false, ""},
        {"<imgsrc=\"http://a.com/1.gif\">", false, ""},
        {"<img alt=x>", false, ""},
        {"<img src=\"http://a.com/1.gif\" src=\"http://a.com/2.gif\">", false, "http://a.com/1.gif|0|0"},
        {"<img src=\"C:\\\">", false, ""},
        {"<img src=\"http://a.com/big.gif\" width=99999999999999999999 height=5>", false,
         "http://a.com/big.gif|2147483647|5"},
    };
    for (const Row& r : rows) {
        CSequence<IMGLINKINFO> list;
        const int n = ParseHtmlFragment(r.html, list, r.bLimits ? &limits : NULL);
        std::string got;
        for (int i = 0; i < list.GetSize(); i++)
            got += (i ? "; " : "") + std::string(list[i].strSource) + "|" + std::to_string(list[i].nWidth) + "|" +
                   std::to_string(list[i].nHeight);
        EXPECT_EQ(r.tags, got) << r.html;
        EXPECT_EQ(list.GetSize(), n) << r.html;
    }

    // A tag longer than 4096 characters is skipped; the scan goes on after it.
    const std::string longTag = "<img src=\"http://a.com/1.gif\" alt=\"" + std::string(4100, 'a') + "\">" +
                                "<img src=\"http://a.com/2.gif\">";
    CSequence<IMGLINKINFO> list;
    ASSERT_EQ(1, ParseHtmlFragment(longTag.c_str(), list));
    EXPECT_STREQ("http://a.com/2.gif", list[0].strSource);
}

TEST(DroppedData, ClassifiesAddresses)
{
    struct Row
    {
        const char* text;
        BOOL bCut;
        int result;
        const char* after;
    } rows[] = {
        {" \thttp://a.com/x/y.gif\r\n", FALSE, URL_WEB, "http://a.com/x/y.gif"},
        {"HTTP://a.com/x/y.gif", TRUE, URL_WEB, "HTTP://a.com/x/"},
        {"http://", FALSE, URL_NEITHER, "http://"},
        {"https://a.com/y.gif", TRUE, URL_WEB, "https://a.com/"},
        {"https://", FALSE, URL_NEITHER, "https://"},
        {"httpx://a.com/y.gif", FALSE, URL_NEITHER, "httpx://a.com/y.gif"},
        {"file:///C|/dir/a.gif", FALSE, URL_LOCAL, "C:/dir/a.gif"},
        {"FILE://C:\\dir\\a.gif", TRUE, URL_LOCAL, "C:\\dir\\"},
        {"file:///C:/dir/a.gif", FALSE, URL_LOCAL, "C:/dir/a.gif"},
        {"C:\\dir/sub\\a.gif", TRUE, URL_LOCAL, "C:\\dir/sub\\"},
        {"C:/", TRUE, URL_LOCAL, "C:/"},
        {"C:a.gif", FALSE, URL_NEITHER, "C:a.gif"},
        {"pics/a.gif", TRUE, URL_NEITHER, "pics/a.gif"},
        {"", FALSE, URL_NEITHER, ""},
    };
    for (const Row& r : rows) {
        CString text = r.text;
        EXPECT_EQ(r.result, ClassifyUrl(text, r.bCut)) << '"' << r.text << '"';
        EXPECT_STREQ(r.after, text) << '"' << r.text << '"';
    }
}

TEST(DroppedData, NoBrowserToAskLeavesTheAddress)
{
    CString url = "http://example.com/page.html";
    EXPECT_FALSE(ResolveLinkedImage(NULL, url, 3, 4));
    EXPECT_FALSE(ResolveLinkedImage(GetDesktopWindow(), url, -1, -1));
    EXPECT_STREQ("http://example.com/page.html", url);
}

} // namespace
