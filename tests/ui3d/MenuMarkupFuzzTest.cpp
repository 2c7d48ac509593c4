// Menu item texts come from language and skin files: mutated texts split into
// runs without a crash, a hang or a run that was not in the text.
// scripts/soak runs the fuzzer long (tests/tools/FuzzRun.h).
#include "ui3d/menus/MenuMarkup.h"
#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string MutateMarkup(const std::string& base, FuzzRandom& rnd)
{
    static const char* const kPieces[] = {"<b>", "<n>", "<i>", "<bi>", "<rgb(", ")>", "<noclr>", "&", "<3d>",
                                          "<no3d>", "\x81", "\xE0", ",", "9999999999999999999", "<", ">"};
    return MutateText(base, rnd, kPieces, 8);
}

TEST(MenuMarkupFuzz, MutatedTextsSplitCleanly)
{
    const TEXTSTYLE style;
    const std::string base = "<b>&Open<n> the <rgb(200,0,0)>red<noclr> <3d>file<no3d> <i>now<bi>!";
    FuzzRandom rnd{0x3E7Au};
    CFuzzRun run("markup", 3000, 3000);
    while (run.More()) {
        const std::string text = run.Take(MutateMarkup(base, rnd));
        CSequence<CMarkupRun> runs;
        SplitMarkupText(style, 0, text.c_str(), runs);
        // Every run's text stands in the item text (the mnemonic's closing
        // tag is the only thing added, and it is never shown).
        for (int i = 0; i < runs.GetSize(); i++)
            EXPECT_NE(std::string::npos, text.find(runs[i].strText.GetString())) << "input " << run.Taken();
        const int nFrom = int(rnd.Below(uint32_t(text.size()) + 2));
        int nPos = 0, nKind = 0;
        COLORREF clr = 0;
        const int nNext = FindNextMarkupTag(style, 0, text.c_str(), nFrom, &nPos, &nKind, &clr, TRUE);
        if (nNext >= 0) {
            EXPECT_GE(nPos, nFrom) << "input " << run.Taken();
            EXPECT_LE(nNext, int(text.size())) << "input " << run.Taken();
        }
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

}  // namespace
