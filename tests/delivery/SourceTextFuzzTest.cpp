// A smilie's source text comes from collection files and drops: mutated texts
// go through the source-text functions without a crash or a hang, and what
// they give keeps their promises. scripts/soak runs the fuzzer long
// (tests/tools/FuzzRun.h).
#include "delivery/SourceText.h"
#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string MutateText(const std::string& base, FuzzRandom& rnd)
{
    static const char* const kPieces[] = {"http://", "https:", "www.", "?target=", "[img]", "[/img]", "\"", "%",
                                          "%4", "%00", ".gif", ".", "/", "\\", "\xE0", "\x81", " "};
    std::string s = base;
    const uint32_t nEdits = 1 + rnd.Below(6);
    for (uint32_t i = 0; i < nEdits; i++) {
        const size_t nAt = s.empty() ? 0 : rnd.Below(uint32_t(s.size()));
        switch (rnd.Below(4)) {
        case 0:
            if (!s.empty())
                s[nAt] = char(1 + rnd.Below(255));
            break;
        case 1:
            s.insert(nAt, kPieces[rnd.Below(sizeof(kPieces) / sizeof(kPieces[0]))]);
            break;
        case 2:
            s.resize(rnd.Below(uint32_t(s.size()) + 1));
            break;
        default:
            if (!s.empty() && s.size() < 4000)
                s.insert(nAt, s.substr(nAt, 1 + rnd.Below(uint32_t(s.size() - nAt))));
            break;
        }
    }
    return s;
}

TEST(SourceTextFuzz, MutatedTextsEndCleanly)
{
    const std::string bases[] = {"[img]http://example.com/smilies/grin%20face.gif[/img]",
                                 "https://example.com/show?target=wave", "www.example.com/a.png"};
    FuzzRandom rnd{0x5017u};
    CFuzzRun run("sourcetext", 3000, 3000);
    while (run.More()) {
        const std::string text = run.Take(MutateText(bases[rnd.Below(3)], rnd));
        const int nClass = ClassifySourceText(text.c_str());
        EXPECT_TRUE(nClass == SOURCE_PICTURE_ADDRESS || nClass == SOURCE_NOT_ADDRESS || nClass == SOURCE_OTHER_ADDRESS)
            << "input " << run.Taken();
        CString address;
        if (ExtractWebAddress(text.c_str(), address)) {
            EXPECT_EQ(SOURCE_PICTURE_ADDRESS, ClassifySourceText(address)) << "input " << run.Taken();
        }
        EXPECT_LE(UnescapeUrl(text.c_str()).GetLength(), int(text.size())) << "input " << run.Taken();
        CString name;
        GetSourceFileName(name, text.c_str());
        GetSourceFileNameNoTarget(name, text.c_str());
        EXPECT_FALSE(name.IsEmpty()) << "input " << run.Taken();
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

}  // namespace
