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

std::string MutateSourceText(const std::string& base, FuzzRandom& rnd)
{
    static const char* const kPieces[] = {"http://", "https:", "www.", "?target=", "[img]", "[/img]", "\"", "%",
                                          "%4", "%00", ".gif", ".", "/", "\\", "\xE0", "\x81", " "};
    return MutateText(base, rnd, kPieces, 6);
}

TEST(SourceTextFuzz, MutatedTextsEndCleanly)
{
    const std::string bases[] = {"[img]http://example.com/smilies/grin%20face.gif[/img]",
                                 "https://example.com/show?target=wave", "www.example.com/a.png"};
    FuzzRandom rnd{0x5017u};
    CFuzzRun run("sourcetext", 3000, 3000);
    while (run.More()) {
        const std::string text = run.Take(MutateSourceText(bases[rnd.Below(3)], rnd));
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
