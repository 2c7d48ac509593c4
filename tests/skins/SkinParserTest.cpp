// The skin file parser: tokens, comments and line numbers, the lines it adds
// for unknown names, missing values, refused values and parameters the file
// never names, the report text, and pictures taken from the skin's folder.
#include <gtest/gtest.h>

#include "tests/skins/SkinTestFiles.h"

namespace {

const char kHeaderEnd[] =
    " and/or included images. The respective parameters will be set to default values. Here is a list of the "
    "errors:\r\n\r\n";

// A skin file in its own folder, parsed into a fresh table.
class SkinParse : public ::testing::Test
{
protected:
    std::string Write(const std::string& text, const char* pszName = "test.skn")
    {
        const std::string strPath = m_dir.Path(pszName);
        EXPECT_TRUE(WriteWholeFile(strPath, text));
        return strPath;
    }
    // Parses text; returns the error lines, one per line of the string.
    std::string Lines(const std::string& text)
    {
        m_table.DeleteAll();
        BuildSkinParams(m_table);
        CSequence<CString> errors;
        m_bComplete = ParseSkinLines(Write(text).c_str(), m_table, errors, &m_nNotFound);
        return Join(errors);
    }
    long Num(const char* pszName) { return FindSkinParam(m_table, pszName)->GetNum(); }

    AppTempDir m_dir;
    CSkinParamTable m_table;
    int m_nNotFound = 0;
    BOOL m_bComplete = FALSE;
};

TEST_F(SkinParse, LinesOfTheFile)
{
    const std::string all = AllParamsLines();
    const struct {
        const char* extra;   // appended after every parameter's line
        const char* lines;
    } rows[] = {
        {"", ""},
        {"maintab_width 5\n", "Unrecognized parameter \"maintab_width\" on line 298;\n"},
        {"MAINTAB_WIDTH\n", "MAINTAB_WIDTH: Value is missing;\n"},
        {"MAINTAB_WIDTH // no value\n", "MAINTAB_WIDTH: Value is missing;\n"},
        {"MAINTAB_WIDTH 300//comment\n", "MAINTAB_WIDTH: Wrong value. Must be a number;\n"},
        {"// a comment\n\n \t = \nMAINTAB_WIDTH 9\n",
         "MAINTAB_WIDTH: Wrong value. Must be within the range: 40 -> 400;\n"},
        {"MAINTAB_WIDTH 1 2\n", "MAINTAB_WIDTH: Wrong value. Must be a number;\n"},
        // Names and values that would not fit the format's buffers.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ 1\n",
         "Unrecognized parameter \"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ\" on line 298;\n"},
        {"SKIN_NAME 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789\n",
         "SKIN_NAME: Input value is too long;\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.lines, Lines(all + row.extra)) << "extra: " << row.extra;
        EXPECT_TRUE(m_bComplete);
        EXPECT_EQ(0, m_nNotFound) << "extra: " << row.extra;
    }
}

TEST_F(SkinParse, SeparatorsAndComments)
{
    const struct {
        const char* line;
        long width;
    } rows[] = {
        {"MAINTAB_WIDTH = 300", 300}, {"MAINTAB_WIDTH=301", 301}, {"MAINTAB_WIDTH 302", 302},
        {"\tMAINTAB_WIDTH\t=\t303\r", 303}, {"MAINTAB_WIDTH 304 // the width", 304},
        {"MAINTAB_WIDTH 305\nMAINTAB_WIDTH 9\n", 305}, {"MAINTAB_WIDTH 306\nMAINTAB_WIDTH 307\n", 307},
    };
    for (const auto& row : rows) {
        Lines(row.line);
        EXPECT_EQ(row.width, Num("MAINTAB_WIDTH")) << row.line;
    }
    Lines("SKIN_NAME =  Quiet   blue=grey  // ours\n");
    EXPECT_STREQ("Quiet blue grey", FindSkinParam(m_table, "SKIN_NAME")->GetStr());
    // A piece of 255 characters ends a line; the rest of the text line is the next.
    const std::string strLong = "SKIN_NAME" + std::string(246, ' ') + "XYZ 1\n";
    EXPECT_EQ("SKIN_NAME: Value is missing;\nUnrecognized parameter \"XYZ\" on line 299;\n",
              Lines(AllParamsLines() + strLong));
}

// The file is read as the C library's text mode reads it: CR LF is one line
// end (and one character of a 255-character piece), a lone CR is a blank, a
// Ctrl+Z ends the file, and a NUL ends what is read of its line.
TEST_F(SkinParse, ReadAsTextMode)
{
    const std::string all = AllParamsLines();
    const std::string strUnknown = "Unrecognized parameter \"XYZ\" on line 299;\n";
    const struct {
        const char* name;
        std::string extra;
        std::string lines;
        long width;          // 0: not checked
    } rows[] = {
        {"CR LF", "MAINTAB_WIDTH 300\r\nXYZ 1\r\n", strUnknown, 300},
        {"Ctrl+Z", "MAINTAB_WIDTH 301\n\x1AXYZ 1\n", "", 301},
        {"lone CR", "MAINTAB_WIDTH 302\rXYZ 1\n", "MAINTAB_WIDTH: Wrong value. Must be a number;\n", 0},
        {"NUL", std::string("MAINTAB_WIDTH 303\0XYZ 1\nXYZ 2\n", 30), strUnknown, 303},
        {"CR LF ending a piece of 255", "SKIN_NAME" + std::string(244, ' ') + "A\r\nXYZ 1\n", strUnknown, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.lines, Lines(all + row.extra)) << row.name;
        EXPECT_TRUE(m_bComplete) << row.name;
        if (row.width != 0) {
            EXPECT_EQ(row.width, Num("MAINTAB_WIDTH")) << row.name;
        }
    }
}

TEST_F(SkinParse, ParametersNeverNamed)
{
    const std::string strEmpty = Lines("");
    EXPECT_EQ("297 parameters were not found: DEBUG_MODE, SKIN_NAME, SKIN_VERSION, SKIN_AUTHOR, DLG_BODY_CLRS, "
              "...;\n", strEmpty);
    EXPECT_EQ(297, m_nNotFound);
    EXPECT_EQ(strEmpty, Lines("// nothing but a comment\n\n"));

    EXPECT_EQ("3 parameters were not found: SKIN_AUTHOR, MENU_ITEM_HEIGHT, DLGBTN_IMG_PATH;\n",
              Lines(AllParamsLines({"DLGBTN_IMG_PATH", "SKIN_AUTHOR", "MENU_ITEM_HEIGHT"})));
    EXPECT_EQ("5 parameters were not found: SKIN_NAME, SKIN_VERSION, SKIN_AUTHOR, BODY_WIDTH, DLGBTN_BLENDING, "
              "...;\n",
              Lines(AllParamsLines({"SKIN_NAME", "SKIN_VERSION", "SKIN_AUTHOR", "BODY_WIDTH", "DLGBTN_BLENDING"})));
    // A name given with a refused value counts as found.
    EXPECT_EQ("DEBUG_MODE: Wrong keyword;\n", Lines(AllParamsLines({"DEBUG_MODE"}) + "DEBUG_MODE maybe\n"));
}

TEST_F(SkinParse, ResultsWithoutTheReportWindow)
{
    CSkinParamTable table;
    BuildSkinParams(table);
    EXPECT_EQ(SKINPARSE_OK, ParseSkinFile(Write(AllParamsLines()).c_str(), table));

    CSkinParamTable empty;
    BuildSkinParams(empty);
    EXPECT_EQ(SKINPARSE_NOT_SHOWN, ParseSkinFile(Write("").c_str(), empty));

    CSkinParamTable missing;
    BuildSkinParams(missing);
    EXPECT_EQ(SKINPARSE_NOT_SHOWN, ParseSkinFile(m_dir.Path("no-such.skn").c_str(), missing));
    CSequence<CString> errors;
    int nNotFound = -1;
    EXPECT_FALSE(ParseSkinLines(m_dir.Path("no-such.skn").c_str(), missing, errors, &nNotFound));
    EXPECT_EQ("Can't open skin definition file;\n", Join(errors));
    EXPECT_EQ(0, nNotFound);
}

TEST(SkinReport, HeaderCountAndFullStop)
{
    CSequence<CString> errors;
    errors.Add(CString("MAINTAB_WIDTH: Wrong value. Must be a number;"));
    EXPECT_EQ(std::string("1 error occured in skin definition file \"Blue.skn\"") + kHeaderEnd +
                  "MAINTAB_WIDTH: Wrong value. Must be a number.",
              FormatSkinReport("C:\\Skins\\Blue\\Blue.skn", errors, 0).GetString());

    errors.Add(CString("3 parameters were not found: A, B, C;"));
    EXPECT_EQ(std::string("4 errors occured in skin definition file \"Blue.skn\"") + kHeaderEnd +
                  "MAINTAB_WIDTH: Wrong value. Must be a number;\r\n\r\n3 parameters were not found: A, B, C.",
              FormatSkinReport("Blue.skn", errors, 3).GetString());

    CSequence<CString> one;
    one.Add(CString("2 parameters were not found: A, B;"));
    EXPECT_EQ(std::string("2 errors occured in skin definition file \"x.skn\"") + kHeaderEnd +
                  "2 parameters were not found: A, B.",
              FormatSkinReport("d:\\x.skn", one, 2).GetString());
}

TEST_F(SkinParse, PicturesFromTheSkinFolderOnly)
{
    ASSERT_TRUE(CreateDirectoryA(m_dir.Path("pics").c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(m_dir.Path("pics\\box.bmp"), PlainBmp(13, 13)));
    ASSERT_TRUE(WriteWholeFile(m_dir.Path("big.bmp"), PlainBmp(14, 13)));
    ASSERT_TRUE(WriteWholeFile(m_dir.Path("short.gif"), "GIF89a"));

    char szBefore[MAX_PATH], szDuring[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szBefore);
    const std::string lines = Lines(AllParamsLines() +
                                    "CHECKBOX_1N_IMG_PATH pics\\box.bmp\n"
                                    "CHECKBOX_0N_IMG_PATH big.bmp\n"
                                    "CHECKBOX_1H_IMG_PATH short.gif\n"
                                    "CHECKBOX_0H_IMG_PATH gone.png\n");
    GetCurrentDirectoryA(MAX_PATH, szDuring);
    EXPECT_STREQ(szBefore, szDuring) << "the parse leaves the current directory alone";
    EXPECT_EQ("CHECKBOX_0N_IMG_PATH: Dimensions are out of range in image \"big.bmp\", must be: (2-13)x(2-13);\n"
              "CHECKBOX_1H_IMG_PATH: File size is out of range in image \"short.gif\";\n"
              "CHECKBOX_0H_IMG_PATH: Can't open image \"gone.png\";\n",
              lines);
    EXPECT_TRUE(CImageReader::IsLoaded(*FindSkinParam(m_table, "CHECKBOX_1N_IMG_PATH")->GetImg()));
    EXPECT_FALSE(CImageReader::IsLoaded(*FindSkinParam(m_table, "CHECKBOX_0N_IMG_PATH")->GetImg()));
}

}  // namespace
