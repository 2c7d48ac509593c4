// A skin file that switched DEBUG_MODE on shows its errors in the skin
// report window and returns only when the window is closed.
#include <gtest/gtest.h>

#include "tests/services/gui/ReportAnswerer.h"
#include "tests/skins/SkinTestFiles.h"

namespace {

TEST(SkinReportWindow, ShownOnlyInDebugMode)
{
    AppTempDir dir;
    const std::string strBase = AllParamsLines({"DEBUG_MODE"}) + "MAINTAB_WIDTH 300//x\n";
    const struct {
        const char* debug;
        int result;
        int asked;
    } rows[] = {{"ON", SKINPARSE_SHOWN, 1}, {"yes", SKINPARSE_SHOWN, 1}, {"OFF", SKINPARSE_NOT_SHOWN, 0}};
    for (const auto& row : rows) {
        const std::string strPath = dir.Path("Debug.skn");
        ASSERT_TRUE(WriteWholeFile(strPath, strBase + "DEBUG_MODE " + row.debug + "\n"));
        CReportAnswerer answerer;
        CSkinParamTable table;
        BuildSkinParams(table);
        EXPECT_EQ(row.result, ParseSkinFile(strPath.c_str(), table)) << row.debug;
        ASSERT_EQ(row.asked, answerer.nAsked) << row.debug;
        if (row.asked == 0)
            continue;
        EXPECT_EQ("Tarvenex Skin Loader", answerer.strCaption);
        EXPECT_EQ("Continue", answerer.strButton);
        EXPECT_EQ("1 error occured in skin definition file \"Debug.skn\" and/or included images. The respective "
                  "parameters will be set to default values. Here is a list of the errors:\r\n\r\n"
                  "MAINTAB_WIDTH: Wrong value. Must be a number.",
                  answerer.strText);
    }
}

}  // namespace
