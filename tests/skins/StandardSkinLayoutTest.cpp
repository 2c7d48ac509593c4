// The Standard skin places the parts of the main window's head apart from each
// other: the two frame buttons, the menu bar between them, the tab strip below
// and the fields, whose rectangle is fixed by the program, below the strip.
// Overlapping parts hide each other (a strip reaching into the fields covers
// the first row of smilies).
#include "services/Settings.h"
#include "skins/Skin.h"
#include "skins/SkinLoader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

bool Overlap(const RECT& a, const RECT& b)
{
    RECT r;
    return IntersectRect(&r, &a, &b) != 0;
}

TEST(StandardSkinLayout, TheMainWindowsHeadPartsLieApart)
{
    const std::string path = std::string(TVNX_BINARY_DIR) + "\\dist\\Skins\\Standard\\Standard.skn";
    ASSERT_EQ(SKINPARSE_OK, LoadSkin(path.c_str()));
    const CSkin& s = *g_pSkin;
    const RECT about = s.m_rcBtnAbout, close = s.m_rcBtnClose;
    // The bar reaches from its place to the close button.
    const RECT bar = {s.m_ptMenuBar.x, s.m_ptMenuBar.y, close.left, s.m_ptMenuBar.y + s.m_menuBarStyle.nHeight};
    const RECT strip = s.m_fieldsLook.rcTabStrip;
    const int* f = s.m_fieldsLook.nFieldsRect;
    const RECT fields = {f[0], f[1], f[2], f[3]};

    const struct
    {
        const char* name;
        RECT rc;
    } parts[] = {{"about button", about}, {"close button", close}, {"menu bar", bar},
                 {"tab strip", strip},    {"fields", fields}};
    for (size_t i = 0; i < sizeof(parts) / sizeof(parts[0]); i++) {
        EXPECT_LT(parts[i].rc.left, parts[i].rc.right) << parts[i].name;
        EXPECT_LE(0, parts[i].rc.left) << parts[i].name;
        EXPECT_LE(parts[i].rc.right, s.m_nBodyWidth) << parts[i].name;
        for (size_t j = i + 1; j < sizeof(parts) / sizeof(parts[0]); j++)
            EXPECT_FALSE(Overlap(parts[i].rc, parts[j].rc)) << parts[i].name << " and " << parts[j].name;
    }
    EXPECT_LE(bar.bottom, strip.top) << "the strip under the bar";
    EXPECT_LE(strip.bottom, fields.top) << "the fields under the strip";
    delete g_pSkin;
    g_pSkin = NULL;
}

}  // namespace
