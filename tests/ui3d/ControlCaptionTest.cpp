// The colour a swatch caption names.
#include "ui3d/dialogs/ControlInfo.h"

#include <gtest/gtest.h>

TEST(ColorCaption, EverySeparatorAndTheMissingOnes)
{
    const struct
    {
        const char* pszCaption;
        COLORREF clrExpected;
    } rows[] = {
        {"ClrRadioBtn 255,128,0", RGB(255, 128, 0)},
        {"ClrRadioBtn 255 128 0", RGB(255, 128, 0)},
        {"ClrRadioBtn 255.128.0", RGB(255, 128, 0)},
        {"ClrRadioBtn 255-128-0", RGB(255, 128, 0)},
        {"ClrRadioBtn 255, 128, 0", RGB(255, 128, 0)},
        {"ClrRadioBtn  10,20,30  ", RGB(10, 20, 30)},
        {"ClrRadioBtn 256,257,511", RGB(0, 1, 255)},     // the low byte of each
        {"ClrRadioBtn 77", RGB(0, 0, 77)},               // no separator: red and green 0
        {"ClrRadioBtn 5,6", RGB(5, 0, 6)},
        {"ClrRadioBtn", RGB(0, 0, 0)},
        {"ClrRadioBtnClr 1,2,3", RGB(1, 2, 3)},          // prefix letters stripped however often
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.clrExpected, ParseColorCaption(row.pszCaption)) << row.pszCaption;
}
