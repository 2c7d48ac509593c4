// The variants of a smilie picture offered to other programs: every CF_HTML
// document read back by a reader of its own, the binary and rich-text forms,
// the bitmap over white, the renderers' buffer convention, the temporary
// picture file and its clean-up after 72 hours.
#include "services/ShellServices.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "delivery/SmiliePayloads.h"
#include "tests/collection/PictureSamples.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

namespace {

typedef std::function<int(char*, int)> TextRenderer;

std::string Render(const TextRenderer& render)
{
    const int n = render(nullptr, 0);
    if (n <= 0)
        return std::string();
    std::string s(size_t(n), '\x7f');
    EXPECT_EQ(n, render(&s[0], n));
    EXPECT_EQ('\0', s.back()) << "text renderings end in a zero";
    s.pop_back();
    return s;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(tolower(static_cast<unsigned char>(c)));
    return s;
}

// A CF_HTML reader that knows nothing of how the documents were made: the
// "Name:number" lines at the top, in order, each with its digit count.
struct CfHtml
{
    std::string version;
    std::map<std::string, long> offsets;
    std::map<std::string, size_t> digits;
    size_t nHeaderEnd = 0;
};

CfHtml ParseCfHtml(const std::string& doc)
{
    CfHtml h;
    size_t at = 0;
    while (at < doc.size()) {
        const size_t eol = doc.find("\r\n", at);
        const size_t colon = doc.find(':', at);
        if (eol == std::string::npos || colon == std::string::npos || colon > eol || doc[at] == '<')
            break;
        const std::string key = doc.substr(at, colon - at);
        const std::string value = doc.substr(colon + 1, eol - colon - 1);
        if (key == "Version")
            h.version = value;
        else if (key != "SourceURL") {
            h.offsets[key] = std::strtol(value.c_str(), nullptr, 10);
            h.digits[key] = value.size();
        }
        at = eol + 2;
    }
    h.nHeaderEnd = at;
    return h;
}

// The offsets of a CF_HTML document point where its markup puts them.
void ExpectConsistentCfHtml(const std::string& doc, const char* pszVersion, size_t nDigits, const std::string& src,
                            const char* pszRow)
{
    SCOPED_TRACE(pszRow);
    const CfHtml h = ParseCfHtml(doc);
    EXPECT_EQ(pszVersion, h.version);
    for (const auto& d : h.digits)
        EXPECT_EQ(nDigits, d.second) << d.first;
    ASSERT_EQ(1u, h.offsets.count("StartHTML"));
    ASSERT_EQ(1u, h.offsets.count("EndFragment"));
    const long nStartHtml = h.offsets.at("StartHTML"), nEndHtml = h.offsets.at("EndHTML");
    const long nStart = h.offsets.at("StartFragment"), nEnd = h.offsets.at("EndFragment");
    EXPECT_EQ(long(h.nHeaderEnd), nStartHtml) << "the HTML starts right after the header";
    EXPECT_EQ('<', doc[size_t(nStartHtml)]);
    // EndHTML ends the markup; at most a line break follows it.
    ASSERT_LE(nEndHtml, long(doc.size()));
    const size_t nLastMark = doc.find_last_not_of("\r\n", size_t(nEndHtml) - 1);
    EXPECT_TRUE(nLastMark != std::string::npos && doc[nLastMark] == '>') << nEndHtml;
    EXPECT_EQ(std::string::npos, doc.find_first_not_of("\r\n", size_t(nEndHtml))) << nEndHtml;
    // Either marker spelling; the fragment begins at or right after its marker.
    size_t startMark = doc.find("<!--StartFragment-->");
    size_t startMarkLen = 20;
    if (startMark == std::string::npos) {
        startMark = doc.find("<!--StartFragment -->");
        startMarkLen = 21;
    }
    const size_t endMark = doc.find("<!--EndFragment-->");
    ASSERT_NE(std::string::npos, startMark);
    ASSERT_NE(std::string::npos, endMark);
    EXPECT_GE(long(startMark), nStartHtml);
    EXPECT_LE(long(endMark + 18), nEndHtml);
    EXPECT_TRUE(nStart == long(startMark) || nStart == long(startMark + startMarkLen)) << nStart;
    EXPECT_EQ(long(endMark), nEnd) << "the fragment ends at its end marker";
    const std::string fragment = doc.substr(size_t(nStart), size_t(nEnd - nStart));
    EXPECT_NE(std::string::npos, Lower(fragment).find("<img")) << fragment;
    EXPECT_NE(std::string::npos, fragment.find(src)) << fragment;
    if (h.offsets.count("StartSelection")) {
        EXPECT_EQ(nStart, h.offsets.at("StartSelection"));
        EXPECT_EQ(nEnd, h.offsets.at("EndSelection"));
    }
}

const char kPath10[] = "C:\\t\\a.gif";      // 10 characters
const char kAddress[] = "http://example.com/smilies/grin.gif";

TEST(SmiliePayloads, CfHtmlDocumentsReadBack)
{
    struct Row {
        const char* name;
        TextRenderer render;
        const char* version;
        size_t digits;
        std::string src;
        long endHtml;       // -1: not checked
        long endFragment;
    } rows[] = {
        {"htmlMail, 10 characters", [](char* b, int n) { return RenderHtmlMail(kPath10, b, n); }, "1.0", 9,
         kPath10, 499, 438},
        {"htmlMail by address", [](char* b, int n) { return RenderHtmlMail(kAddress, b, n); }, "1.0", 9, kAddress,
         long(strlen(kAddress)) + 489, long(strlen(kAddress)) + 428},
        {"htmlFragment", [](char* b, int n) { return RenderHtmlFragment(kPath10, b, n); }, "0.9", 8,
         std::string("file:///") + kPath10, 226, 190},
        {"htmlFragmentByAddress", [](char* b, int n) { return RenderHtmlFragmentByAddress(kAddress, b, n); },
         "0.9", 8, kAddress, long(strlen(kAddress)) + 186, long(strlen(kAddress)) + 150},
        {"htmlFragmentSized 9x10", [](char* b, int n) { return RenderHtmlFragmentSized(kPath10, 9, 10, b, n); },
         "0.9", 8, "width=9 height=10", 10 + 3 + 231, 10 + 3 + 195},
        {"htmlFragmentSized 65535x1",
         [](char* b, int n) { return RenderHtmlFragmentSized(kPath10, 65535, 1, b, n); }, "0.9", 8,
         "width=65535 height=1", 10 + 6 + 231, 10 + 6 + 195},
        {"htmlFragmentSized -9x-2147483648",
         [](char* b, int n) { return RenderHtmlFragmentSized(kPath10, -9, INT_MIN, b, n); }, "0.9", 8,
         "width=-9 height=-2147483648", 10 + 2 + 11 + 231, 10 + 2 + 11 + 195},
        {"htmlPage", [](char* b, int n) { return RenderHtmlPage(kPath10, b, n); }, "1.0", 9, kPath10, -1, -1},
        {"incrediMailPage", [](char* b, int n) { return RenderIncrediMailPage(kPath10, b, n); }, "1.0", 9,
         "INCREDIINSERTIMAGE", -1, -1},
    };
    EXPECT_EQ(499u, Render(rows[0].render).size()) << "htmlMail for a path of 10 characters";
    for (const Row& r : rows) {
        const std::string doc = Render(r.render);
        ExpectConsistentCfHtml(doc, r.version, r.digits, r.src, r.name);
        if (r.endHtml >= 0) {
            const CfHtml h = ParseCfHtml(doc);
            EXPECT_EQ(r.endHtml, h.offsets.at("EndHTML")) << r.name;
            EXPECT_EQ(r.endFragment, h.offsets.at("EndFragment")) << r.name;
        }
    }
}

TEST(SmiliePayloads, CfHtmlCarriesPathsInUtf8)
{
    // A profile folder with a non-ASCII name, in the ANSI code page the tests
    // run under (1252): CF_HTML wants UTF-8, escaped in a file:/// address, and
    // the offsets count the bytes written.
    ASSERT_EQ(1252u, GetACP());
    static const char kPath[] = "C:\\Andr\xE9\\a.gif";
    const std::string utf8 = "C:\\Andr\xC3\xA9\\a.gif";
    const std::string url = "file:///C:\\Andr%C3%A9\\a.gif";
    struct Row {
        const char* name;
        TextRenderer render;
        const char* version;
        size_t digits;
        std::string src;
    } rows[] = {
        {"htmlMail", [](char* b, int n) { return RenderHtmlMail(kPath, b, n); }, "1.0", 9, "\"" + utf8 + "\""},
        {"htmlFragment", [](char* b, int n) { return RenderHtmlFragment(kPath, b, n); }, "0.9", 8, "\"" + url + "\""},
        {"htmlFragmentSized", [](char* b, int n) { return RenderHtmlFragmentSized(kPath, 9, 10, b, n); }, "0.9", 8,
         "\"" + url + "\""},
        {"htmlFragmentByAddress",
         [](char* b, int n) { return RenderHtmlFragmentByAddress("http://ex.com/gr\xFC\xDF.gif", b, n); }, "0.9", 8,
         "\"http://ex.com/gr\xC3\xBC\xC3\x9F.gif\""},
        {"htmlPage", [](char* b, int n) { return RenderHtmlPage(kPath, b, n); }, "1.0", 9, "\"" + utf8 + "\""},
        {"incrediMailPage", [](char* b, int n) { return RenderIncrediMailPage(kPath, b, n); }, "1.0", 9,
         "\"" + utf8 + "\""},
    };
    for (const Row& r : rows) {
        const std::string doc = Render(r.render);
        ExpectConsistentCfHtml(doc, r.version, r.digits, r.src, r.name);
        EXPECT_EQ(std::string::npos, doc.find('\xE9')) << r.name << ": no ANSI byte is left";
    }
}

// Paths and addresses come from the system and from source texts: mutated ones
// (non-ASCII bytes, quotes, markers, any length) and any sizes give documents
// whose header points where the markup is. scripts/soak runs this long.
TEST(SmiliePayloadsFuzz, MutatedPathsKeepTheOffsetsTrue)
{
    static const char* const kPieces[] = {"\xE9", "\xC3\xA9", "\x81", "\"", "<", ">", "%", "\\", "/", ":",
                                          "<!--EndFragment-->", " ", "file:///"};
    typedef int (*PathRenderer)(const char*, char*, int);
    static const PathRenderer kRenderers[] = {RenderHtmlPage, RenderIncrediMailPage, RenderHtmlMail, RenderHtmlFragment,
                                        RenderHtmlFragmentByAddress};
    FuzzRandom rnd{0xCF11u};
    CFuzzRun run("payloads", 1500, 3000);
    while (run.More()) {
        std::string path = "C:\\Temp\\tvnx1234.gif";
        for (uint32_t n = rnd.Below(6); n > 0; n--) {
            const size_t nAt = rnd.Below(uint32_t(path.size()) + 1);
            if (rnd.Below(3) == 0)
                path.insert(nAt, std::string(1 + rnd.Below(400), char(0x20 + rnd.Below(0xDF))));
            else
                path.insert(nAt, kPieces[rnd.Below(sizeof(kPieces) / sizeof(kPieces[0]))]);
        }
        const std::string input = run.Take(path);
        const int nWidth = int(rnd.Next()), nHeight = rnd.Below(2) ? int(rnd.Below(70000)) : INT_MIN;
        std::vector<std::string> docs;
        for (PathRenderer render : kRenderers)
            docs.push_back(Render([&](char* b, int n) { return render(input.c_str(), b, n); }));
        docs.push_back(Render([&](char* b, int n) { return RenderHtmlFragmentSized(input.c_str(), nWidth, nHeight, b, n); }));
        for (size_t i = 0; i < docs.size(); i++) {
            const std::string& doc = docs[i];
            if (doc.empty())
                continue;   // too long for a target
            const CfHtml h = ParseCfHtml(doc);
            ASSERT_EQ(1u, h.offsets.count("EndFragment")) << "renderer " << i << ", input " << run.Taken();
            const long nStartHtml = h.offsets.at("StartHTML"), nEnd = h.offsets.at("EndFragment");
            ASSERT_TRUE(nStartHtml >= 0 && size_t(nStartHtml) < doc.size()) << "renderer " << i;
            EXPECT_EQ('<', doc[size_t(nStartHtml)]) << "renderer " << i << ", input " << run.Taken();
            ASSERT_TRUE(nEnd >= 0 && size_t(nEnd) <= doc.size()) << "renderer " << i << ", input " << run.Taken();
            EXPECT_EQ(0u, doc.compare(size_t(nEnd), 18, "<!--EndFragment-->"))
                << "renderer " << i << ", input " << run.Taken();
            EXPECT_LE(h.offsets.at("EndHTML"), long(doc.size())) << "renderer " << i << ", input " << run.Taken();
        }
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

TEST(SmiliePayloads, HtmlClipboardHeaderAndLimit)
{
    const std::string doc = Render([](char* b, int n) { return BuildHtmlClipboard(b, n, "<p>", "<img src=\"", "p",
                                                                                   "\">", "</p>"); });
    EXPECT_EQ(0u, doc.find("Version:1.0\r\nStartHTML:000000151\r\n"));
    EXPECT_EQ(std::string::npos, doc.find("SourceURL"));
    EXPECT_EQ("<p><!--StartFragment--><img src=\"p\"><!--EndFragment--></p>", doc.substr(151));
    ExpectConsistentCfHtml(doc, "1.0", 9, "\"p\"", "minimal");
    // 10240 characters in all is the most a target reads.
    const std::string longPath(10240 - 151 - 20 - 18 - 1, 'x');
    EXPECT_EQ(10240, BuildHtmlClipboard(nullptr, 0, "", "", longPath.c_str(), "", ""))
        << "10239 characters and the zero fit";
    const std::string tooLong = longPath + "x";
    EXPECT_EQ(0, BuildHtmlClipboard(nullptr, 0, "", "", tooLong.c_str(), "", ""));
}

TEST(SmiliePayloads, RenderersKeepTheBufferConvention)
{
    typedef std::function<int(const char*, BYTE*, int)> Any;
    struct Row { const char* name; Any render; } rows[] = {
        {"htmlPage", [](const char* p, BYTE* b, int n) { return RenderHtmlPage(p, (char*)b, n); }},
        {"incrediMailPage", [](const char* p, BYTE* b, int n) { return RenderIncrediMailPage(p, (char*)b, n); }},
        {"htmlMail", [](const char* p, BYTE* b, int n) { return RenderHtmlMail(p, (char*)b, n); }},
        {"htmlFragment", [](const char* p, BYTE* b, int n) { return RenderHtmlFragment(p, (char*)b, n); }},
        {"byAddress", [](const char* p, BYTE* b, int n) { return RenderHtmlFragmentByAddress(p, (char*)b, n); }},
        {"sized", [](const char* p, BYTE* b, int n) { return RenderHtmlFragmentSized(p, 9, 10, (char*)b, n); }},
        {"textHtml", [](const char* p, BYTE* b, int n) { return RenderTextHtml(p, TRUE, 9, 10, b, n); }},
        {"netscape", [](const char* p, BYTE* b, int n) { return RenderNetscapeEditor(p, 9, 10, b, n); }},
        {"rtf", [](const char* p, BYTE* b, int n) { return RenderRtf(p, 9, 10, (char*)b, n); }},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(0, r.render("", nullptr, 0)) << r.name << ": empty path";
        EXPECT_EQ(0, r.render(nullptr, nullptr, 0)) << r.name << ": no path";
        const int n = r.render(kPath10, nullptr, 0);
        ASSERT_GT(n, 0) << r.name;
        std::vector<BYTE> small(size_t(n) - 1, 0xCD);
        EXPECT_EQ(0, r.render(kPath10, small.data(), n - 1)) << r.name << ": one byte short";
        EXPECT_EQ(std::vector<BYTE>(size_t(n) - 1, 0xCD), small) << r.name << ": nothing written";
        std::vector<BYTE> exact(size_t(n) + 1, 0xCD);
        EXPECT_EQ(n, r.render(kPath10, exact.data(), n)) << r.name;
        EXPECT_EQ(0xCD, exact[size_t(n)]) << r.name << ": wrote past the size it asked for";
    }
}

TEST(SmiliePayloads, TextHtmlIsUtf16WithForwardSlashes)
{
    struct Row { const char* text; BOOL fromPath; const wchar_t* expected; } rows[] = {
        {"C:\\t\\a.gif", TRUE, L"<img src=\"file:///C:/t/a.gif\" alt=\"&lt;SMILIE&gt;\" width=\"9\" height=\"10\">\r\n"},
        {kAddress, FALSE, L"<img src=\"http://example.com/smilies/grin.gif\" alt=\"&lt;SMILIE&gt;\" width=\"9\" "
                          L"height=\"10\">\r\n"},
    };
    for (const Row& r : rows) {
        const int n = RenderTextHtml(r.text, r.fromPath, 9, 10, nullptr, 0);
        EXPECT_EQ(int(wcslen(r.expected) * 2 + 2), n) << r.text;
        std::vector<BYTE> b(size_t(n > 0 ? n : 0));
        ASSERT_EQ(n, RenderTextHtml(r.text, r.fromPath, 9, 10, b.data(), n));
        EXPECT_STREQ(r.expected, reinterpret_cast<const wchar_t*>(b.data())) << r.text;
    }
}

uint32_t Le32(const std::vector<BYTE>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(SmiliePayloads, NetscapeEditorBlockLayout)
{
    const int n = RenderNetscapeEditor(kPath10, 9, 10, nullptr, 0);
    const std::string source = "SRC=\"file:///C|/t/a.gif\" ";
    ASSERT_EQ(int(82 + source.size() + 21), n) << "header, source text, 21 zeros";
    std::vector<BYTE> b(static_cast<size_t>(n));
    ASSERT_EQ(n, RenderNetscapeEditor(kPath10, 9, 10, b.data(), n));
    const BYTE head[] = {0xAF, 0x54, 0x39, 0xC4, 0x00, 0x00, 0x04, 0x00, 0x02};
    EXPECT_EQ(0, memcmp(head, b.data(), sizeof(head)));
    EXPECT_EQ(0x003Eu, Le32(b, 28) & 0xFFFF);
    EXPECT_EQ(10u, Le32(b, 62)) << "height";
    EXPECT_EQ(9u, Le32(b, 66)) << "width";
    EXPECT_EQ(uint32_t(source.size() + 1), Le32(b, 78));
    EXPECT_EQ(source, std::string(reinterpret_cast<const char*>(b.data()) + 82, source.size()));
    for (size_t i = 82 + source.size(); i < b.size(); i++)
        EXPECT_EQ(0, b[i]) << "byte " << i;
    for (size_t i = 70; i < 78; i++)
        EXPECT_EQ(0, b[i]) << "byte " << i;
}

TEST(SmiliePayloads, RtfIsBalancedAndIncludesThePicture)
{
    const std::string rtf = Render([](char* b, int n) { return RenderRtf("C:\\Temp/Pic.GIF", 9, 10, b, n); });
    EXPECT_EQ(0u, rtf.find("{\\rtf1\\ansi"));
    int nDepth = 0, nMin = 1;
    for (size_t i = 0; i < rtf.size(); i++) {
        if (rtf[i] == '\\') {
            i++;        // \{ \} \\ are no group marks
            continue;
        }
        if (rtf[i] == '{')
            nDepth++;
        else if (rtf[i] == '}' && --nDepth == 0 && i + 1 < rtf.size())
            nMin = std::min(nMin, rtf.find_first_not_of("\r\n", i + 1) == std::string::npos ? 1 : 0);
    }
    EXPECT_EQ(0, nDepth) << "groups balance";
    EXPECT_EQ(1, nMin) << "the outermost group closes only at the end";
    EXPECT_NE(std::string::npos, rtf.find("\\sslinkpictw135\\sslinkpicth150"));
    EXPECT_NE(std::string::npos, rtf.find("INCLUDEPICTURE \r\n\"c:\\\\\\\\temp\\\\\\\\pic.gif\" \\\\d}")) << rtf;
}

// ---- from a smilie of an open collection -------------------------------------------

// A 9 by 10 GIF: red, with a transparent column at x = 0.
Bytes RedGif()
{
    GifRecipe s;
    s.cx = 9;
    s.cy = 10;
    s.globalTable = {RGB(255, 0, 0), RGB(0, 0, 255)};
    GifFrameRecipe f;
    f.cx = 9;
    f.cy = 10;
    f.bControl = true;
    f.nTransparent = 1;
    f.pixels.assign(90, 0);
    for (int y = 0; y < 10; y++)
        f.pixels[size_t(y) * 9] = 1;
    s.frames = {f};
    return MakeGif(s);
}

class PayloadsFromCollection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestCollection c;
        c.records.push_back(Rec(1, "red.gif", RedGif()));
        c.records.push_back(Rec(2, "junk.gif", Text("this is no picture at all")));
        const std::string path = m_dir.Path("c.tvnx");
        ASSERT_TRUE(WriteBytes(path, c.Build()));
        ASSERT_EQ(CTvnxSave::openOk, m_file.OpenCollection(path.c_str(), FALSE, 0));
        g_pCollectionFile = &m_file;
        m_cache.Reset();
        g_pImgCache = &m_cache;
        strcpy(m_szSavedTemp, g_TempFolder);
        strcpy(g_TempFolder, m_temp.Dir().c_str());
        m_smilie.m_nImageRecord = 1;
    }
    void TearDown() override
    {
        strcpy(g_TempFolder, m_szSavedTemp);
        g_pImgCache = nullptr;
        m_cache.RemoveAll();
        g_pCollectionFile = nullptr;
        m_file.Close();
    }

    TvnxTempDir m_dir;
    TvnxTempDir m_temp;
    CTvnxSave m_file;
    CImgCache m_cache;
    CSmilie m_smilie;
    char m_szSavedTemp[MAX_PATH] = "";
};

TEST_F(PayloadsFromCollection, MeasuredPictureGetsEveryRendering)
{
    m_cache.SetImageCrop(m_cache.AddCollectionImage(1), 0x43);     // cut 3 rows: measured uncut all the same
    SMILIEPAYLOADS out;
    ASSERT_EQ(1, RenderSmiliePayloads(&out, &m_smilie, kAddress));
    ASSERT_NE(nullptr, out.picturePath);
    EXPECT_EQ(9, out.pictureWidth);
    EXPECT_EQ(10, out.pictureHeight);
    EXPECT_EQ(0x43, GetCachedImageOption(m_cache.AddCollectionImage(1))) << "the crop is restored";
    const std::string path = out.picturePath;
    EXPECT_EQ(Lower(m_temp.Dir() + "\\tarvenex-tmp"), Lower(path.substr(0, m_temp.Dir().size() + 13)));
    EXPECT_EQ(".gif", path.substr(path.size() - 4));
    EXPECT_EQ(RedGif(), ReadBytes(path)) << "the temporary file holds the picture bytes";
    for (const PAYLOADBYTES* p : {&out.htmlPage, &out.incrediMailPage, &out.htmlMail, &out.htmlFragmentByAddress,
                                  &out.textHtml, &out.textHtmlByAddress, &out.htmlFragment, &out.netscapeEditor,
                                  &out.dib, &out.rtf, &out.htmlMailByAddress, &out.htmlFragmentSized})
        EXPECT_TRUE(p->pData != nullptr && p->nSize > 0) << "rendering " << (p - &out.htmlPage);
    const std::string mail(reinterpret_cast<const char*>(out.htmlMail.pData), out.htmlMail.nSize - 1);
    EXPECT_NE(std::string::npos, mail.find("src=\"" + path + "\""));
    const std::string byAddress(reinterpret_cast<const char*>(out.htmlMailByAddress.pData),
                                out.htmlMailByAddress.nSize - 1);
    EXPECT_NE(std::string::npos, byAddress.find(std::string("src=\"") + kAddress + "\""));

    // The bitmap: fixed header, 24 bits over white, bottom-up rows of 28 bytes.
    ASSERT_EQ(40u + 28u * 10u, out.dib.nSize);
    const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(out.dib.pData);
    EXPECT_EQ(40u, h->biSize);
    EXPECT_EQ(9, h->biWidth);
    EXPECT_EQ(10, h->biHeight);
    EXPECT_EQ(24, h->biBitCount);
    EXPECT_EQ(DWORD(BI_RGB), h->biCompression);
    EXPECT_EQ(280u, h->biSizeImage);
    const BYTE* rows = out.dib.pData + 40;
    for (int y = 0; y < 10; y++) {
        const BYTE* px0 = rows + y * 28;
        const BYTE* px5 = px0 + 5 * 3;
        EXPECT_EQ(0xFFFFFF, px0[0] | px0[1] << 8 | px0[2] << 16) << "transparent over white, row " << y;
        EXPECT_EQ(0xFF0000, px5[0] | px5[1] << 8 | px5[2] << 16) << "red (B, G, R order), row " << y;
    }
}

TEST_F(PayloadsFromCollection, SuppressedTextHtmlAndLocalSource)
{
    SMILIEPAYLOADS out;
    out.textHtml.nSize = 1;
    ASSERT_EQ(1, RenderSmiliePayloads(&out, &m_smilie, "C:\\pics\\grin.gif"));
    EXPECT_EQ(nullptr, out.textHtml.pData);
    EXPECT_EQ(nullptr, out.htmlFragmentByAddress.pData) << "a local path has no by-address documents";
    EXPECT_EQ(nullptr, out.htmlMailByAddress.pData);
    EXPECT_EQ(nullptr, out.textHtmlByAddress.pData);
    EXPECT_NE(nullptr, out.htmlFragmentSized.pData);
}

TEST_F(PayloadsFromCollection, UnmeasurablePictureGetsPagesOnly)
{
    g_pImgCache = nullptr;
    SMILIEPAYLOADS out;
    ASSERT_EQ(1, RenderSmiliePayloads(&out, &m_smilie, kAddress));
    EXPECT_EQ(0, out.pictureWidth);
    for (const PAYLOADBYTES* p : {&out.htmlPage, &out.incrediMailPage, &out.htmlMail, &out.htmlFragmentByAddress,
                                  &out.htmlMailByAddress})
        EXPECT_NE(nullptr, p->pData) << "rendering " << (p - &out.htmlPage);
    for (const PAYLOADBYTES* p : {&out.textHtml, &out.textHtmlByAddress, &out.htmlFragment, &out.netscapeEditor,
                                  &out.dib, &out.rtf, &out.htmlFragmentSized})
        EXPECT_EQ(nullptr, p->pData) << "rendering " << (p - &out.htmlPage);
}

TEST_F(PayloadsFromCollection, NothingWithoutAKnownPicture)
{
    struct Row { const char* name; uint32_t record; bool collection; } rows[] = {
        {"no picture", 0, true},
        {"unknown signature", 2, true},
        {"record not in the file", 7, true},
        {"no open collection", 1, false},
    };
    for (const Row& r : rows) {
        m_smilie.m_nImageRecord = r.record;
        g_pCollectionFile = r.collection ? &m_file : nullptr;
        SMILIEPAYLOADS out;
        EXPECT_EQ(0, RenderSmiliePayloads(&out, &m_smilie, kAddress)) << r.name;
        EXPECT_EQ(nullptr, out.picturePath) << r.name;
    }
    g_pCollectionFile = &m_file;
    EXPECT_EQ(0, RenderSmiliePayloads(nullptr, &m_smilie, ""));
    SMILIEPAYLOADS out;
    EXPECT_EQ(0, RenderSmiliePayloads(&out, nullptr, ""));
}

// ---- temporary files -------------------------------------------------------------

TEST(TempPictureFiles, NamesAreBoundedAndNeverReused)
{
    TvnxTempDir dir;
    const std::string taken = dir.Path("tarvenex-tmp000000007.gif");
    ASSERT_TRUE(WriteBytes(taken, Text("keep me")));

    CString path;
    HANDLE h = CreateTempPictureFile(dir.Dir().c_str(), "gif", 7, path);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_STREQ(dir.Path("tarvenex-tmp000000014.gif").c_str(), path) << "the next multiple of the tick";
    EXPECT_EQ(Text("keep me"), ReadBytes(taken)) << "an existing file is never overwritten";

    // A tick count of 0 names every candidate alike: the search must end.
    ASSERT_TRUE(WriteBytes(dir.Path("tarvenex-tmp000000000.png"), Text("x")));
    h = CreateTempPictureFile(dir.Dir().c_str(), "png", 0, path);
    EXPECT_EQ(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(path.IsEmpty());

    // Any other failure ends at once with no path.
    h = CreateTempPictureFile(dir.Path("missing\\folder").c_str(), "png", 3, path);
    EXPECT_EQ(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(path.IsEmpty());
}

ULONGLONG ToQuad(const FILETIME& ft)
{
    return (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME ToFileTime(ULONGLONG q)
{
    FILETIME ft = {DWORD(q), DWORD(q >> 32)};
    return ft;
}

TEST(TempPictureFiles, DeletedOnlyAfter72WholeHours)
{
    const ULONGLONG kHour = 36000000000ULL;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    struct Row { const char* name; ULONGLONG age; bool survives; } rows[] = {
        {"tarvenex-tmp000000001.gif", 72 * kHour, true},
        {"tarvenex-tmp000000002.gif", 73 * kHour - 1, true},     // 72 whole hours
        {"tarvenex-tmp000000003.gif", 73 * kHour, false},
        {"tarvenex-tmp000000004.png", 400 * kHour, false},
        {"tarvenex-tmp000000005.gif", 0, true},
        {"other000000006.gif", 400 * kHour, true},                // not ours
    };
    // Each file in a folder of its own, judged at its creation time + its age.
    for (const Row& r : rows) {
        TvnxTempDir dir;
        const std::string path = dir.Path(r.name);
        ASSERT_TRUE(WriteBytes(path, Text("x")));
        HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES | GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        FILETIME ft = ToFileTime(ToQuad(now) - r.age);
        SetFileTime(h, &ft, &ft, &ft);
        // The file system may keep its own creation time; the age counts from
        // what it reports.
        FILETIME created;
        GetFileTime(h, &created, NULL, NULL);
        CloseHandle(h);
        DeleteTempFilesIn(dir.Dir().c_str(), ToFileTime(ToQuad(created) + r.age));
        EXPECT_EQ(r.survives, GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) << r.name;
    }
}

}   // namespace
