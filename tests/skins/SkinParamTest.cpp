// The typed skin parameters: the number syntax, ranges, keywords, colours,
// six-colour sets, points and pictures, each with the exact message line a
// refused value gives, and the table of 297 parameters with its defaults.
#include <gtest/gtest.h>

#include "tests/skins/SkinTestFiles.h"

#include <climits>
#include <iterator>
#include <memory>

namespace {

struct NumberRow
{
    const char* text;
    long value;
    int error;
};

TEST(SkinNumber, ParsesTheSkinSyntax)
{
    const NumberRow rows[] = {
        {"0", 0, 0},          {" 0\t", 0, 0},       {"00", 0, 1},       {"-0", 0, 1},
        {"0x0", 0, 1},        {"0x10", 16, 0},      {"0X10", 0, 1},     {"0x1F", 31, 0},
        {"-0x10", 0, 1},      {"-50", -50, 0},      {"12a", 12, 1},     {"+5", 5, 0},
        {"", 0, 1},           {"-", 0, 1},          {"99999999999", LONG_MAX, 0},
        {"-99999999999", LONG_MIN, 0},
        // Fifteen characters fit the number buffer; sixteen and more are refused.
        {"000000000000012", 12, 0}, {"0000000000000012", 0, 1},
        {"11111111111111111111111111111111111111111111111", 0, 1},
    };
    for (const NumberRow& row : rows) {
        int bError = -1;
        const long n = ParseSkinNumber(row.text, &bError);
        EXPECT_EQ(row.error, bError) << "\"" << row.text << "\"";
        if (!row.error) {
            EXPECT_EQ(row.value, n) << "\"" << row.text << "\"";
        }
    }
}

TEST(SkinNumber, RangesReadAndFormat)
{
    const struct {
        const char* text;
        const char* formatted;
    } rows[] = {
        {"0->100", "0 -> 100"},
        {"0,16->40", "0, 16 -> 40"},
        {"-100->100", "-100 -> 100"},
        {"1;3->4", "1, 3 -> 4"},
        // An over-long bound is read as a refused number (0), never copied whole.
        {"123456789012345678901234567890->5", "0 -> 5"},
        {"", ""},
    };
    for (const auto& row : rows) {
        CSkinParam::CRanges ranges;
        CSkinParam::ParseRanges(row.text, ranges);
        EXPECT_STREQ(row.formatted, CSkinParam::FormatRanges(ranges).GetString()) << row.text;
    }
    CSkinParam::CRanges ranges;
    CSkinParam::ParseRanges("0,16->40", ranges);
    EXPECT_TRUE(CSkinParam::IsInRanges(ranges, 0));
    EXPECT_FALSE(CSkinParam::IsInRanges(ranges, 8));
    EXPECT_TRUE(CSkinParam::IsInRanges(ranges, 40));
    EXPECT_FALSE(CSkinParam::IsInRanges(ranges, 41));
    EXPECT_TRUE(CSkinParam::IsInRanges(CSkinParam::CRanges(), -123456));
}

struct ValueRow
{
    const char* value;
    int result;
    const char* line;   // the error line; "" when none
};

// Parses each row into a fresh parameter from make() and checks result and line.
template <class Make> void CheckRows(Make make, const ValueRow* rows, size_t nRows)
{
    for (size_t i = 0; i < nRows; ++i) {
        std::unique_ptr<CSkinParam> p(make());
        const ParseOutcome o = ParseOne(*p, rows[i].value);
        EXPECT_EQ(rows[i].result, o.nResult) << "value \"" << rows[i].value << "\"";
        EXPECT_EQ(rows[i].line, o.strLine) << "value \"" << rows[i].value << "\"";
        EXPECT_TRUE(p->IsFound()) << "value \"" << rows[i].value << "\"";
    }
}

TEST(SkinNumParam, NumbersAndRanges)
{
    const std::string tooLong(48, '1');
    const ValueRow rows[] = {
        {"0", 1, ""},
        {"40", 1, ""},
        {"8", 0, "N: Wrong value. Must be within the range: 0, 16 -> 40;"},
        {"+5", 0, "N: Wrong value. Must be a number;"},
        {"abc", 0, "N: Wrong value. Must be a number;"},
        {"1x", 0, "N: Wrong value. Must be a number;"},
        {"", 0, "N: No input value was specified;"},
        {tooLong.c_str(), 0, "N: Input value is too long;"},
        {"0000000000000000000000000000000000020", 0, "N: Wrong value. Must be a number;"},
    };
    CheckRows([] { return new CSkinNumParam("N", 20, "0,16->40"); }, rows, std::size(rows));

    CSkinNumParam negative("M", -50, "-100->100");
    EXPECT_EQ(1, ParseOne(negative, "-50").nResult);
    EXPECT_EQ("M: Wrong value. Must be within the range: -100 -> 100;", ParseOne(negative, "-150").strLine);
    EXPECT_EQ(-50, negative.GetNum());
}

TEST(SkinNumParam, KeywordsMatchWithoutCase)
{
    const ValueRow rows[] = {
        {"on", 1, ""}, {"Yes", 1, ""}, {"TRUE", 1, ""}, {"off", 1, ""},
        {"1", 0, "S: Wrong value. A keyword must be specified;"},
        {"-1", 0, "S: Wrong value. A keyword must be specified;"},
        {"maybe", 0, "S: Wrong keyword;"},
    };
    CheckRows([] { return new CSkinNumParam("S", "OFF", "ON,YES,TRUE, OFF,NO,FALSE", "1,1,1, 0,0,0"); }, rows,
              std::size(rows));

    CSkinNumParam s("S", "OFF", "ON,YES,TRUE, OFF,NO,FALSE", "1,1,1, 0,0,0");
    EXPECT_EQ(0, s.GetNum());
    ParseOne(s, "yes");
    EXPECT_EQ(1, s.GetNum());
    ParseOne(s, "maybe");
    EXPECT_EQ(1, s.GetNum()) << "a refused keyword keeps the value";
}

TEST(SkinStrParam, TextUpTo63Characters)
{
    const std::string s63(63, 'a'), s64(64, 'a');
    const ValueRow rows[] = {
        {"My skin", 1, ""},
        {s63.c_str(), 1, ""},
        {s64.c_str(), 0, "T: Input value is too long;"},
        {"", 0, "T: No input value was specified;"},
    };
    CheckRows([] { return new CSkinStrParam("T", "Unknown"); }, rows, std::size(rows));
    CSkinStrParam t("T", "Unknown");
    ParseOne(t, s63.c_str());
    EXPECT_EQ(s63, t.GetStr());
}

TEST(SkinClrParam, FormsAndComponents)
{
    const char* wrongFormat =
        "C: Wrong color format, must be RGB(RR,GG,BB) where RR, GG and BB are the respective color components in "
        "hexadecimal form;";
    const ValueRow rows[] = {
        {"RGB(12,34,56)", 1, ""},
        {"123456", 1, ""},
        {"rgb(12 34 56)", 1, ""},
        {"RGB(12,34,56", 1, ""},
        {"RGB(12, 34, 56)", 1, ""},
        {"RGB(12,34,56,78)", 0, "C: Unnecessary color component \"78\". There must be only 3 color components;"},
        {"RGB(1,2,3)", 0, "C: Wrong color component \"1\". Must be 2 hexadecimal digits long;"},
        {"RGB(12,G4,56)", 0, "C: Wrong color component \"G4\". Must be in hexadecimal form;"},
        {"12345G", 0, "C: Wrong color component \"5G\". Must be in hexadecimal form;"},
        {"12345", 0, wrongFormat},
        // A form that ends before its third component names no colour.
        {"RGB(", 0, wrongFormat},
        {"RGB(12,34)", 0, wrongFormat},
        {"", 0, "C: No input value was specified;"},
    };
    CheckRows([] { return new CSkinClrParam("C", 0); }, rows, std::size(rows));

    CSkinClrParam a("A", 0), b("B", 0);
    ParseOne(a, "RGB(12,34,56)");
    ParseOne(b, "123456");
    EXPECT_EQ(COLORREF(0x563412), a.GetClr());
    EXPECT_EQ(a.GetClr(), b.GetClr());
    ParseOne(a, "RGB(AB,CD)");
    EXPECT_EQ(COLORREF(0x563412), a.GetClr()) << "a short RGB form leaves the colour alone";
}

TEST(SkinMultiClrParam, SixColoursTogether)
{
    const ValueRow rows[] = {
        {"808080 5767D2 D21E00 1EB900 FA6400 404040", 1, ""},
        {"808080,5767D2;D21E00, 1EB900\tFA6400 ,404040", 1, ""},
        {"808080 5767D2 D21E00 1EB900 FA6400", 0, "M: Insufficient colors. There must be 6 colors specified;"},
        {"111111 222222 333333 444444 555555 666666 7", 0,
         "M: Excessive color \"7\". There must be 6 colors specified;"},
        // A whole seventh colour makes the text 48 characters long.
        {"111111 222222 333333 444444 555555 666666 777777", 0, "M: Input value is too long;"},
        {"1234567", 0, "M: Wrong color \"1234567\". Must be in RRGGBB form;"},
        {"12G456", 0, "M: Wrong color component \"G4\". Must be in hexadecimal form;"},
    };
    CheckRows([] { return new CSkinMultiClrParam("M", 0x7F7F7F); }, rows, std::size(rows));

    CSkinMultiClrParam m("M", 0x010203);
    ParseOne(m, "111111 222222 333333 444444 555555");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(COLORREF(0x010203), m.GetClrs()[i]) << "colour " << i;
    ParseOne(m, "5767D2 000000 000000 000000 000000 FFFFFF");
    EXPECT_EQ(COLORREF(0xD26757), m.GetClrs()[0]);
    EXPECT_EQ(COLORREF(0xFFFFFF), m.GetClrs()[5]);
}

TEST(SkinPointParam, TwoNumbersInRanges)
{
    const ValueRow rows[] = {
        {"10,20", 1, ""},
        {"+5 6", 1, ""},
        {"5", 0, "P: Insufficient numbers. There must be 2 numbers specified;"},
        {"1,2,3", 0, "P: Excessive number \"3\". There must be 2 numbers specified;"},
        {"x,2", 0, "P: Wrong parameter \"x\". Must be a number;"},
        {"601,2", 0, "P: Wrong number \"601\". Must be within the range: 0 -> 600;"},
        {"20,10", 0, "P: Is not valid range;"},
        {"15,15", 0, "P: Is not valid range;"},
        {"0000000000000000000001,2", 0, "P: Wrong parameter \"0000000000000000000001\". Must be a number;"},
    };
    CheckRows([] { return new CSkinPointParam("P", TRUE, "0->600", nullptr, 12, 14); }, rows, std::size(rows));

    CSkinPointParam own("P", FALSE, "0->360", "0->200", 7, 34);
    EXPECT_EQ("P: Wrong number \"201\". Must be within the range: 0 -> 200;", ParseOne(own, "5 201").strLine);
    EXPECT_EQ(7, own.GetPoint().x);
    CSkinPointParam free("F", 5, 16);
    EXPECT_EQ(1, ParseOne(free, "-1000, -3").nResult);
    EXPECT_EQ(-1000, free.GetPoint().x);
    EXPECT_EQ(-3, free.GetPoint().y);
}

TEST(SkinImgParam, PicturesBySizeAndDimensions)
{
    AppTempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.Path("ok.bmp"), PlainBmp(13, 13)));
    ASSERT_TRUE(WriteWholeFile(dir.Path("wide.bmp"), PlainBmp(14, 13)));
    ASSERT_TRUE(WriteWholeFile(dir.Path("tiny.bmp"), PlainBmp(1, 5)));
    ASSERT_TRUE(WriteWholeFile(dir.Path("seven.bin"), std::string(7, 'B')));
    ASSERT_TRUE(WriteWholeFile(dir.Path("huge.bin"), std::string(524289, 'B')));
    ASSERT_TRUE(WriteWholeFile(dir.Path("junk.bin"), std::string(64, 'x')));

    CSkinImgParam img("I", 13, 13);
    img.SetBaseFolder((dir.Dir() + "\\").c_str());
    const struct {
        const char* value;
        int result;
        const char* line;
    } rows[] = {
        {"none", 1, ""},
        {"ok.bmp", 1, ""},
        {"wide.bmp", 0, "I: Dimensions are out of range in image \"wide.bmp\", must be: (2-13)x(2-13);"},
        {"tiny.bmp", 0, "I: Dimensions are out of range in image \"tiny.bmp\", must be: (2-13)x(2-13);"},
        {"seven.bin", 0, "I: File size is out of range in image \"seven.bin\";"},
        {"huge.bin", 0, "I: File size is out of range in image \"huge.bin\";"},
        {"junk.bin", 0, "I: Can't recognize image in \"junk.bin\";"},
        {"missing.gif", 0, "I: Can't open image \"missing.gif\";"},
        {"NONE", 1, ""},
    };
    for (const auto& row : rows) {
        const ParseOutcome o = ParseOne(img, row.value);
        EXPECT_EQ(row.result, o.nResult) << row.value;
        EXPECT_EQ(row.line, o.strLine) << row.value;
        // The 13x13 picture stays through every refusal and through "none".
        ASSERT_TRUE(CImageReader::IsLoaded(*img.GetImg()) || std::string(row.value) == "none") << row.value;
    }
    EXPECT_EQ(13, img.GetImg()->GetReader()->GetSize().cx);

    CSkinImgParam absolute("A", 800, 600);
    EXPECT_EQ(1, ParseOne(absolute, dir.Path("ok.bmp").c_str()).nResult) << "an absolute path needs no folder";
    CSkinImgParam empty("E", 800, 600);
    EXPECT_EQ(1, ParseOne(empty, "none").nResult);
    EXPECT_FALSE(CImageReader::IsLoaded(*empty.GetImg()));
}

TEST(SkinParamTable, RowsKindsAndDefaults)
{
    CSkinParamTable table;
    BuildSkinParams(table);
    ASSERT_EQ(297, table.GetSize());
    const char* first[] = {"DEBUG_MODE", "SKIN_NAME", "SKIN_VERSION", "SKIN_AUTHOR", "DLG_BODY_CLRS"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(first[i], table[i]->GetName());
    EXPECT_STREQ("DLGBTN_IMG_PATH", table[296]->GetName());

    int counts[6] = {0}, nKeyword = 0;
    for (int i = 0; i < table.GetSize(); ++i) {
        ++counts[table[i]->GetType()];
        if (table[i]->GetType() == SKINPARAM_NUM && static_cast<CSkinNumParam*>(table[i])->HasKeywords())
            ++nKeyword;
        EXPECT_EQ(table[i], FindSkinParam(table, table[i]->GetName())) << "name " << table[i]->GetName() << " twice";
        EXPECT_FALSE(table[i]->IsFound());
    }
    EXPECT_EQ(146, counts[SKINPARAM_NUM]);
    EXPECT_EQ(105, nKeyword);
    EXPECT_EQ(3, counts[SKINPARAM_STR]);
    EXPECT_EQ(37, counts[SKINPARAM_IMG]);
    EXPECT_EQ(3, counts[SKINPARAM_CLR]);
    EXPECT_EQ(60, counts[SKINPARAM_MULTICLR]);
    EXPECT_EQ(48, counts[SKINPARAM_POINT]);

    const struct {
        const char* name;
        long value;
    } numbers[] = {
        {"DEBUG_MODE", 0}, {"DLG_BODY_BLENDING", 13}, {"MAINTAB_TAB_TEXT_TYPE", 2}, {"MENUBAR_FONT_NAME", 0},
        {"MAINTAB_TAB_TEXT_CLR_FROMTAB", -50}, {"MAINTAB_WIDTH", 261}, {"SCRLBAR_IMG_ALIGN", 3},
        {"DLG_BODY_CLR_GRADIENT", 1},
    };
    for (const auto& row : numbers)
        EXPECT_EQ(row.value, FindSkinParam(table, row.name)->GetNum()) << row.name;
    EXPECT_STREQ("1.0", FindSkinParam(table, "SKIN_VERSION")->GetStr());
    const COLORREF body[6] = {0x808080, 0xD26757, 0x001ED2, 0x00B91E, 0x0064FA, 0x404040};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(body[i], FindSkinParam(table, "DLG_BODY_CLRS")->GetClrs()[i]) << "colour " << i;
    EXPECT_EQ(12, FindSkinParam(table, "MAINTAB_TAB_IMG_REGULAR")->GetPoint().x);
    EXPECT_EQ(14, FindSkinParam(table, "MAINTAB_TAB_IMG_REGULAR")->GetPoint().y);
    EXPECT_EQ(nullptr, FindSkinParam(table, "maintab_width"));
}

TEST(SkinParamTable, AcceptedValuesOfSomeRows)
{
    CSkinParamTable table;
    BuildSkinParams(table);
    const struct {
        const char* name;
        const char* value;
        const char* line;
    } rows[] = {
        {"MAINTAB_TAB_TEXT_CLR_FROMTAB", "-100", ""},
        {"MAINTAB_TAB_TEXT_CLR_FROMTAB", "101", "MAINTAB_TAB_TEXT_CLR_FROMTAB: Wrong value. Must be within the range: -100 -> 100;"},
        {"MENUBAR_COORDINATES", "-20 -30", ""},
        {"MAINTAB_COORDINATES", "361 0", "MAINTAB_COORDINATES: Wrong number \"361\". Must be within the range: 0 -> 360;"},
        {"MAINTAB_COORDINATES", "0 201", "MAINTAB_COORDINATES: Wrong number \"201\". Must be within the range: 0 -> 200;"},
        {"MAINTAB_TAB_IMG_REGULAR", "14, 12", "MAINTAB_TAB_IMG_REGULAR: Is not valid range;"},
        {"MENU_ITEM_ICON_ZONE_WIDTH", "19", "MENU_ITEM_ICON_ZONE_WIDTH: Wrong value. Must be within the range: 0, 20 -> 32;"},
        {"DLG_BODY_BLENDING", "hardmix", ""},
        {"MENUBAR_FONT_NAME", "Tahoma", ""},
        {"CHECKBOX_1N_IMG_PATH", "none", ""},
    };
    for (const auto& row : rows) {
        const ParseOutcome o = ParseOne(*FindSkinParam(table, row.name), row.value);
        EXPECT_EQ(row.line, o.strLine) << row.name << " = " << row.value;
        EXPECT_EQ(*row.line ? 0 : 1, o.nResult) << row.name << " = " << row.value;
    }
    EXPECT_EQ(15, FindSkinParam(table, "DLG_BODY_BLENDING")->GetNum());
    EXPECT_EQ(3, FindSkinParam(table, "MENUBAR_FONT_NAME")->GetNum());
}

}  // namespace
