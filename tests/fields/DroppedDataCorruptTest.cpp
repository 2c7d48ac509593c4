// Blocks from another program that lie about their size or lack their
// terminator: every read stays inside the block, and mutated blocks end
// cleanly. scripts/soak runs the fuzzer long (tests/tools/FuzzRun.h).
#include "tests/fields/DropSamples.h"
#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <shlobj.h>

namespace {

const CLIPFORMAT kHtml = GetHtmlClipFormat();
const CLIPFORMAT kUrl = GetUrlClipFormat();

Bytes WithOffset(Bytes b, DWORD pFiles)
{
    memcpy(b.data(), &pFiles, sizeof(pFiles));
    return b;
}

TEST(DroppedDataCorrupt, BlocksAreReadWithinTheirSize)
{
    const Bytes files = FileListBytes({"C:\\a.gif"});
    Bytes unterminated = files;
    unterminated.resize(unterminated.size() - 2);   // the last name loses its zero
    Bytes wideOdd = FileListBytes({"C:\\a.gif"}, true);
    wideOdd.resize(wideOdd.size() - 3);
    struct Row
    {
        const char* name;
        CLIPFORMAT cf;
        Bytes bytes;
        int result;
        const char* records;
    } rows[] = {
        {"CF_HTML without a terminating zero", kHtml, TextBytes("<img src=\"http://a.com/x.gif\">", false), 1,
         "http://a.com/x.gif||0|0"},
        {"CF_HTML cut inside a tag", kHtml, TextBytes("<img src=\"http://a.com/x.gif\"", false), 0, ""},
        {"empty CF_HTML block", kHtml, Bytes(), 0, ""},
        {"CF_HDROP offset past the block", CF_HDROP, WithOffset(files, 0x7FFFFFF0), 0, ""},
        {"CF_HDROP offset at the last byte", CF_HDROP, WithOffset(files, DWORD(files.size() - 1)), 0, ""},
        {"CF_HDROP name without its zero", CF_HDROP, unterminated, 0, ""},
        {"CF_HDROP wide list cut to an odd size", CF_HDROP, wideOdd, 0, ""},
        {"CF_HDROP shorter than its header", CF_HDROP, Bytes(files.begin(), files.begin() + 10), 0, ""},
        {"URL without a zero", kUrl, TextBytes("http://a.com/b.gif", false), 1, "http://a.com/b.gif||0|0"},
        {"Unicode text of one byte", CF_UNICODETEXT, Bytes(1, 'A'), 0, ""},
        {"text without a zero", CF_TEXT, TextBytes("phrase", false), 1, ""},
    };
    for (const Row& r : rows) {
        CTestDrop drop;
        drop.Add(r.cf, r.bytes);
        CSequence<ODOIMGINFO> list;
        CString text;
        EXPECT_EQ(r.result, ReadDroppedData(drop.Data(), list, text)) << r.name;
        EXPECT_EQ(r.records, Describe(list)) << r.name;
    }
}

TEST(DroppedDataCorrupt, BitmapHeadersGiveASizeOnlyWhenWhole)
{
    Bytes shortHeader = DibBytes(40, 10, 10);
    shortHeader.resize(20);
    Bytes v5Short = DibBytes(124, 10, 10);
    v5Short.resize(60);
    struct Row
    {
        const char* name;
        Bytes dib;
        const char* records;
    } rows[] = {
        {"whole header", DibBytes(108, 10, 12), "|C:\\a.png|10|12"},
        {"header shorter than its size field", shortHeader, "|C:\\a.png|0|0"},
        {"version 5 header cut short", v5Short, "|C:\\a.png|0|0"},
        {"unknown header size", DibBytes(64, 10, 12), "|C:\\a.png|0|0"},
        {"two planes", DibBytes(40, 10, 12, 2), "|C:\\a.png|0|0"},
        {"48 bits", DibBytes(40, 10, 12, 1, 48), "|C:\\a.png|0|0"},
        {"negative width", DibBytes(40, -10, 12), "|C:\\a.png|0|0"},
        {"lowest height", DibBytes(40, 10, LONG(0x80000000)), "|C:\\a.png|0|0"},
        {"three bytes", Bytes(3, 40), "|C:\\a.png|0|0"},
    };
    for (const Row& r : rows) {
        CTestDrop drop;
        drop.Add(CF_HDROP, FileListBytes({"C:\\a.png"})).Add(CF_DIB, r.dib);
        CSequence<ODOIMGINFO> list;
        EXPECT_EQ(r.records == std::string() ? 0 : 1, ReadDroppedImages(list, drop.Data())) << r.name;
        EXPECT_EQ(r.records, Describe(list)) << r.name;
    }
}

Bytes Mutate(const Bytes& base, FuzzRandom& rnd)
{
    Bytes b = base;
    const uint32_t nEdits = 1 + rnd.Below(8);
    for (uint32_t i = 0; i < nEdits; i++) {
        switch (rnd.Below(5)) {
        case 0:   // a random byte
            if (!b.empty())
                b[rnd.Below(uint32_t(b.size()))] = uint8_t(rnd.Next());
            break;
        case 1:   // an interesting byte: a zero, a quote, a bracket, a separator
            if (!b.empty()) {
                static const uint8_t kBytes[] = {0, '"', '<', '>', '[', ']', '\\', '/', ' ', '.', 0xFF, 0x7F};
                b[rnd.Below(uint32_t(b.size()))] = kBytes[rnd.Below(sizeof(kBytes))];
            }
            break;
        case 2:   // cut short
            b.resize(rnd.Below(uint32_t(b.size()) + 1));
            break;
        case 3:   // a repeated run
            if (!b.empty() && b.size() < 20000) {
                const size_t nAt = rnd.Below(uint32_t(b.size()));
                const size_t nLen = 1 + rnd.Below(uint32_t(b.size() - nAt));
                Bytes run(b.begin() + nAt, b.begin() + nAt + nLen);
                b.insert(b.begin() + rnd.Below(uint32_t(b.size())), run.begin(), run.end());
            }
            break;
        default:   // a random 32-bit word (offsets, sizes, flags)
            if (b.size() >= 4) {
                const uint32_t v = rnd.Next();
                memcpy(&b[rnd.Below(uint32_t(b.size() - 3))], &v, 4);
            }
            break;
        }
    }
    return b;
}

// A drop's blocks each begin with a byte that picks the format.
void AddFuzzedBlocks(const Bytes& input, CTestDrop& drop)
{
    static const CLIPFORMAT formats[] = {kHtml, CF_HDROP, CF_DIB, kUrl, CF_TEXT, CF_UNICODETEXT};
    const BYTE nFormats = BYTE(sizeof(formats) / sizeof(formats[0]));
    for (const Bytes& part : UnpackFuzzParts(input)) {
        if (!part.empty())
            drop.Add(formats[part[0] % nFormats], Bytes(part.begin() + 1, part.end()));
    }
}

Bytes Tagged(BYTE nFormat, Bytes b)
{
    b.insert(b.begin(), nFormat);
    return b;
}

TEST(DroppedDataCorrupt, MutatedBlocksEndCleanly)
{
    const Bytes html = TextBytes(HtmlClip("<img src=\"pics/a.gif\" width=20 height=20><IMG SRC=\"http://e.com/b.png\">",
                                          "http://e.com/f/page.html"));
    const Bytes files = FileListBytes({"C:\\Cache\\a[1].gif", "C:\\x\\b.png", "C:\\noext"});
    const Bytes wide = FileListBytes({"C:\\Cache\\b[12].png", "D:\\c.jpg"}, true);
    const Bytes dib = DibBytes(40, 16, 16);
    // Offered alone or beside the pictures: read when no picture is found.
    const Bytes link = TextBytes("http://example.com/gallery/grin.gif");
    const Bytes ansi = TextBytes("look [img]https://example.com/a.png[/img] \xE0\x81 <b>");
    const Bytes unicode = WideTextBytes(L"[img]http://e.com/\x65E5.gif[/img] \x30C6\x30B9\x30C8");

    FuzzRandom rnd{0xD20Bu};
    CFuzzRun run("dropdata", 2000, 3000);
    while (run.More()) {
        std::vector<Bytes> blocks;
        const uint32_t nPick = rnd.Below(64);
        if (nPick & 1)
            blocks.push_back(Tagged(0, Mutate(html, rnd)));
        if (nPick & 2)
            blocks.push_back(Tagged(1, Mutate(rnd.Below(2) ? files : wide, rnd)));
        if (nPick & 4 || nPick == 0)
            blocks.push_back(Tagged(2, Mutate(dib, rnd)));
        if (nPick & 8)
            blocks.push_back(Tagged(3, Mutate(link, rnd)));
        if (nPick & 16)
            blocks.push_back(Tagged(4, Mutate(ansi, rnd)));
        if (nPick & 32)
            blocks.push_back(Tagged(5, Mutate(unicode, rnd)));
        const Bytes input = run.Take(PackFuzzParts(blocks));
        CTestDrop drop;
        AddFuzzedBlocks(input, drop);
        CSequence<ODOIMGINFO> list;
        CString text;
        ReadDroppedData(drop.Data(), list, text);
        HasDroppedPictures(drop.Data());
        for (int i = 0; i < list.GetSize(); i++)
            EXPECT_FALSE(list[i].strUrl.IsEmpty() && list[i].strPath.IsEmpty()) << "input " << run.Taken();
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

} // namespace
