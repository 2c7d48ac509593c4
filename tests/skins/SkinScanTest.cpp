// The skin scan over a scratch program folder, and the colouring of the
// loaded skin by the settings.
#include <gtest/gtest.h>

#include "services/Settings.h"
#include "skins/SkinLoader.h"
#include "skins/SkinScan.h"
#include "ui3d/drawing/Contrast.h"
#include "tests/skins/SkinTestFiles.h"

#include <algorithm>

namespace {

TEST(SkinScan, ListsNonEmptySkinFilesOneFolderDown)
{
    AppTempDir dir;
    for (const char* pszFolder : {"Skins", "Skins\\Blue", "Skins\\Red", "Skins\\Blue\\Deeper", "Skins\\Blue\\Dir.skn"})
        ASSERT_TRUE(CreateDirectoryA(dir.Path(pszFolder).c_str(), NULL)) << pszFolder;
    const struct { const char* pszFile; const char* pszBytes; } files[] = {
        {"Skins\\Blue\\Blue.skn", "DEBUG_MODE OFF\n"},
        {"Skins\\Blue\\Night.skn", "x"},
        {"Skins\\Blue\\Empty.skn", ""},
        {"Skins\\Blue\\Notes.txt", "x"},
        {"Skins\\Blue\\Deeper\\Deep.skn", "x"},
        {"Skins\\Red\\Blue.skn", "x"},
        {"Skins\\Loose.skn", "x"},
    };
    for (const auto& f : files)
        ASSERT_TRUE(WriteWholeFile(dir.Path(f.pszFile), f.pszBytes)) << f.pszFile;

    CSequence<CFOUNDSKIN> skins;
    skins.Add(CFOUNDSKIN("Kept", "Skins\\Kept\\Kept.skn"));
    EXPECT_EQ(3, ScanSkinsIn(dir.Dir().c_str(), skins));
    ASSERT_EQ(4, skins.GetSize());
    EXPECT_STREQ("Kept", skins[0].name) << "the list is appended to, not cleared";

    std::vector<std::string> found;
    for (int i = 1; i < skins.GetSize(); ++i)
        found.push_back(std::string(skins[i].name) + "|" + std::string(skins[i].path));
    std::sort(found.begin(), found.end());
    const std::vector<std::string> expect = {"Blue|Skins\\Blue\\Blue.skn", "Blue|Skins\\Red\\Blue.skn",
                                             "Night|Skins\\Blue\\Night.skn"};
    EXPECT_EQ(expect, found);

    AppTempDir bare;
    EXPECT_EQ(0, ScanSkinsIn(bare.Dir().c_str(), skins)) << "no Skins folder";
    EXPECT_EQ(4, skins.GetSize());
}

// The colouring settings for one test, put back afterwards.
class SkinColoring : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = g_Settings;
        AppTempDir dir;
        LoadSkin(dir.Path("none.skn").c_str());
        ASSERT_NE(nullptr, g_pSkin);
    }
    void TearDown() override
    {
        g_Settings = m_saved;
        g_nSkinColorScheme = 0;
    }
    APPSETTINGS m_saved = g_Settings;
};

TEST_F(SkinColoring, SchemeOutsideItsRangeIsTheFirst)
{
    g_Settings.SkinColoringEnabled = 0;
    const int rows[][2] = {{0, 0}, {3, 3}, {5, 5}, {6, 0}, {-1, 0}, {1000, 0}};
    for (const auto& row : rows) {
        g_Settings.SkinColorScheme = row[0];
        ApplySkinColoring();
        EXPECT_EQ(row[1], g_nSkinColorScheme) << "setting " << row[0];
    }
}

TEST_F(SkinColoring, TintPicksItsContrastColour)
{
    g_Settings.SkinColorScheme = 2;
    g_Settings.SkinColoringEnabled = 1;
    // A tint too light for the white texts becomes a darker face of its hue.
    const struct { COLORREF clrTint; COLORREF clrContrast; bool bDarkened; } rows[] = {
        {RGB(10, 20, 200), 0x0000C0, false}, {RGB(10, 200, 20), 0x0000B4, true},
        {RGB(200, 10, 20), 0xFF0000, false}, {RGB(90, 90, 90), 0xFF0000, false},
        {RGB(10, 200, 200), 0xFF0000, true}, {RGB(200, 10, 200), 0xFF0000, true},
        {RGB(30, 185, 0), 0x0000B4, true},   {RGB(250, 100, 0), 0xFF0000, true},
    };
    CSkin& s = *g_pSkin;
    s.m_bodyStyle.clrText = s.m_bodyStyle.clrText2 = 0xFFFFFF;
    for (const auto& row : rows) {
        g_Settings.SkinColor = row.clrTint;
        ApplySkinColoring();
        EXPECT_EQ(row.clrContrast, s.m_bodyStyle.clrDarkShadow2) << std::hex << "tint " << row.clrTint;
        const COLORREF clrFace = s.m_bodyStyle.clrFace;
        if (!row.bDarkened) {
            EXPECT_EQ(row.clrTint, clrFace) << std::hex << "tint " << row.clrTint;
        } else {
            EXPECT_GE(ContrastRatio100(0xFFFFFF, clrFace), 500) << std::hex << "tint " << row.clrTint;
            for (int c = 0; c < 3; c++) {
                const int nTint = (row.clrTint >> (8 * c)) & 0xFF, nFace = (clrFace >> (8 * c)) & 0xFF;
                EXPECT_LE(nFace, nTint) << std::hex << "tint " << row.clrTint << ", channel " << c;
                EXPECT_GE(nFace * 100, nTint * 40) << std::hex << "tint " << row.clrTint << ", channel " << c;
            }
        }
        EXPECT_EQ(row.clrTint, s.m_fieldsGrid.clrAccent);
        EXPECT_EQ(row.clrTint, s.m_fieldsLook.grid.clrAccent);
        EXPECT_EQ(1, s.m_fieldsGrid.bAccent);
        EXPECT_EQ(1, s.m_fieldsLook.grid.bAccent);
    }
}

TEST_F(SkinColoring, OffTakesTheSkinsButtonFaceAndCopiesTheMenuStyle)
{
    CSkin& s = *g_pSkin;
    g_Settings.SkinColoringEnabled = 1;
    g_Settings.SkinColor = RGB(10, 20, 200);
    ApplySkinColoring();

    g_Settings.SkinColoringEnabled = 0;
    g_Settings.SkinColorScheme = 3;
    s.m_bodyStyle.buttonLook.colors = COLORSET(0x010101, 0x020202, 0x030303, 0x313233, 0x050505, 0x060606);
    s.m_bodyStyle.clrDarkShadow = 0x101820;
    s.m_menuTextStyle.strSeparator = " | ";
    s.m_menuTextStyle.nItemHeight = 23;
    ApplySkinColoring();
    // The skin's dialog-button colour of the scheme; the plain dark shadow.
    EXPECT_EQ(0x313233u, s.m_bodyStyle.clrFace);
    EXPECT_EQ(0x101820u, s.m_bodyStyle.clrDarkShadow2);
    EXPECT_EQ(0u, s.m_fieldsGrid.clrAccent);
    EXPECT_EQ(0u, s.m_fieldsLook.grid.clrAccent);
    EXPECT_EQ(0, s.m_fieldsGrid.bAccent);
    EXPECT_EQ(0, s.m_fieldsLook.grid.bAccent);
    const TEXTSTYLE* copies[] = {&s.m_bodyStyle.textStyle, &s.m_fieldsLook.textStyle, &s.m_baseTabLook.menuStyle,
                                 &s.m_fieldsLook.tabStrip.menuStyle};
    for (const TEXTSTYLE* pCopy : copies) {
        EXPECT_STREQ(" | ", pCopy->strSeparator);
        EXPECT_EQ(23, pCopy->nItemHeight);
    }
}

}  // namespace
