// The loader report windows on real windows: caption, topmost, the report in
// its edit scrolled to the end, the caller's button text, and both ways out.
#include <gtest/gtest.h>

#include "services/DlgParserOutput.h"
#include "tests/services/gui/ReportAnswerer.h"

#include <string>

namespace {

std::string LongReport()
{
    std::string s;
    for (int i = 1; i <= 80; ++i)
        s += "Line " + std::to_string(i) + " of the report\r\n";
    return s + "The last line.";
}

TEST(DlgParserOutput, ShowsTheReportAtItsEnd)
{
    const std::string strReport = LongReport();
    const struct {
        const char* caption;
        const char* button;
        bool bClose;
        INT_PTR result;
    } rows[] = {
        {"Tarvenex Skin Loader", "Continue", false, IDOK},
        {"Tarvenex Skin Loader", "Exit", true, IDCANCEL},
        {"Tarvenex Language Loader", "Exit", false, IDOK},
        {"Tarvenex Language Loader", "Continue", true, IDCANCEL},
    };
    for (const auto& row : rows) {
        CReportAnswerer answerer;
        answerer.bClose = row.bClose;
        INT_PTR nResult;
        if (std::string(row.caption) == "Tarvenex Skin Loader") {
            CDlgSkinParserOutput dlg(strReport.c_str(), row.button);
            nResult = dlg.DoModal();
        } else {
            CDlgLangParserOutput dlg(strReport.c_str(), row.button);
            nResult = dlg.DoModal();
        }
        const std::string where = std::string(row.caption) + " / " + row.button;
        EXPECT_EQ(row.result, nResult) << where;
        ASSERT_EQ(1, answerer.nAsked) << where;
        EXPECT_EQ(row.caption, answerer.strCaption) << where;
        EXPECT_EQ(strReport, answerer.strText) << where;
        EXPECT_EQ(row.button, answerer.strButton) << where;
        EXPECT_TRUE(answerer.bTopmost) << where;
        EXPECT_TRUE(answerer.bVisible) << where;
        // The button has the focus, so the dialog manager selects nothing.
        EXPECT_TRUE(answerer.bButtonHasFocus) << where;
        EXPECT_EQ(answerer.nSelStart, answerer.nSelEnd) << where;
        // The last lines are in view: the first visible line is well below the top.
        EXPECT_GT(answerer.nFirstVisibleLine, 0) << where;
        EXPECT_GE(answerer.nFirstVisibleLine + answerer.nVisibleLines + 1, answerer.nLineCount) << where;
    }
}

TEST(DlgParserOutput, KeepsCopiesOfItsTexts)
{
    char szReport[] = "report";
    char szButton[] = "Continue";
    CDlgSkinParserOutput dlg(szReport, szButton);
    szReport[0] = szButton[0] = 'X';
    EXPECT_STREQ("report", dlg.GetReport());
    EXPECT_STREQ("Continue", dlg.GetButtonText());
}

}  // namespace
