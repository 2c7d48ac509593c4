// A bounded fuzz run over mutated skin files (and the picture they name):
// every parse must end, with no crash, an error line per problem and the
// current directory as it was.
#include <gtest/gtest.h>

#include "skins/SkinLoader.h"
#include "tests/skins/SkinTestFiles.h"
#include "tests/tools/FuzzRandom.h"

namespace {

std::string Mutate(std::string s, FuzzRandom& rnd)
{
    static const char kInteresting[] = " \t=\r\n/,;)(0x-RGB\x1a\xff";
    const int nEdits = 1 + int(rnd.Below(8));
    for (int i = 0; i < nEdits && !s.empty(); ++i) {
        const size_t at = rnd.Below(uint32_t(s.size()));
        switch (rnd.Below(5)) {
        case 0: s[at] = char(rnd.Below(256)); break;
        case 1: s[at] = kInteresting[rnd.Below(sizeof(kInteresting) - 1)]; break;
        case 2: s.erase(at, rnd.Below(40)); break;
        case 3: s.insert(at, std::string(rnd.Below(300), char('A' + rnd.Below(26)))); break;
        default: s.insert(at, s.substr(rnd.Below(uint32_t(s.size())), rnd.Below(80))); break;
        }
    }
    return s;
}

TEST(SkinParserFuzz, MutatedFilesEndCleanly)
{
    AppTempDir dir;
    const std::string strPicture = PlainBmp(13, 13);
    const std::string strSkin = AllParamsLines({"CHECKBOX_1N_IMG_PATH"}) + "CHECKBOX_1N_IMG_PATH box.bmp\n" +
                                "MAINTAB_TAB_TEXT_CLR RGB(12,34,56)\nBODY_RESIZE_ZONE 12 12\n";
    const std::string strPath = dir.Path("fuzz.skn");
    char szBefore[MAX_PATH], szAfter[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szBefore);

    FuzzRandom rnd{0x5C1B5EEDu};
    for (int n = 0; n < 200; ++n) {
        const std::string strText = Mutate(strSkin, rnd);
        ASSERT_TRUE(WriteWholeFile(strPath, strText));
        ASSERT_TRUE(WriteWholeFile(dir.Path("box.bmp"), n % 4 == 0 ? Mutate(strPicture, rnd) : strPicture));
        CSkinParamTable table;
        BuildSkinParams(table);
        CSequence<CString> errors;
        int nNotFound = 0;
        ParseSkinLines(strPath.c_str(), table, errors, &nNotFound);
        FormatSkinReport(strPath.c_str(), errors, nNotFound);
        for (int i = 0; i < table.GetSize(); ++i) {
            if (table[i]->GetType() == SKINPARAM_STR)
                ASSERT_LE(strlen(table[i]->GetStr()), 63u) << "run " << n;
        }
    }
    GetCurrentDirectoryA(MAX_PATH, szAfter);
    EXPECT_STREQ(szBefore, szAfter);
}

}  // namespace

namespace {

// The loader's copy from a mutated table (every picture kind included) ends
// with a whole skin object.
TEST(SkinParserFuzz, LoaderTakesWhatMutatedFilesLeave)
{
    AppTempDir dir;
    const std::string strSkin = AllParamsLines({"BODY_TOP_IMG_PATH", "BODY_MIN_HEIGHT"}) +
                                "BODY_TOP_IMG_PATH top.bmp\nBODY_MIN_HEIGHT 60\n";
    const std::string strPicture = PlainBmp(20, 30);
    const std::string strPath = dir.Path("fuzz.skn");
    CSkin skin;

    FuzzRandom rnd{0x10AD5EEDu};
    for (int n = 0; n < 60; ++n) {
        ASSERT_TRUE(WriteWholeFile(strPath, Mutate(strSkin, rnd)));
        ASSERT_TRUE(WriteWholeFile(dir.Path("top.bmp"), n % 3 == 0 ? Mutate(strPicture, rnd) : strPicture));
        CSkinParamTable table;
        BuildSkinParams(table);
        CSequence<CString> errors;
        int nNotFound = 0;
        ParseSkinLines(strPath.c_str(), table, errors, &nNotFound);
        FillSkin(skin, table);
        ASSERT_GE(skin.m_nBodyMaxHeight, skin.m_nBodyMinHeight) << "run " << n;
        ASSERT_EQ(&skin.m_images[SKINIMG_BODY_TOP], skin.m_layerBodyTop.pImage) << "run " << n;
    }
}

}  // namespace
