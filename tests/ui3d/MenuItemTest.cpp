// Skinned menu items without a popup on the screen: measuring and drawing
// from synthetic records into a memory DC, mnemonics, item tips and the
// colour adjustment. Colours and frames are checked where a formula fixes
// them; text pixels never.
#include "tests/tools/SolidIcon.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

COLORSET All(COLORREF c)
{
    return COLORSET(c, c, c, c, c, c);
}

const COLORREF kBack = RGB(40, 60, 200);
const COLORREF kHotBack = RGB(220, 30, 30);
const COLORREF kText = RGB(0, 200, 0);
const COLORREF kHotText = RGB(255, 255, 0);
const COLORREF kLight = RGB(250, 250, 250);
const COLORREF kDark = RGB(5, 5, 5);

TEXTSTYLE MenuStyle(int nFlags = 0, int nBorder = 0, int nKind = 0)
{
    TEXTSTYLE s;
    s.itemColors = All(kBack);
    s.hotItemColors = All(kHotBack);
    s.textColors = All(kText);
    s.hotTextColors = All(kHotText);
    s.borderLightColors = s.hotBorderLightColors = All(kLight);
    s.borderDarkColors = s.hotBorderDarkColors = All(kDark);
    s.bItemBorder = s.bHotItemBorder = static_cast<BYTE>(nBorder);
    s.itemGradient = GRADIENTSTYLE(30, 40, nKind);
    s.nItemHeight = 20;
    s.nSeparatorHeight = 7;
    s.mnemonicColors = All(0);
    s.nFlags = nFlags;
    return s;
}

// A 32-bit memory DC pre-filled with a sentinel colour.
class CCanvas
{
public:
    static const COLORREF kSentinel = RGB(1, 2, 3);
    CCanvas(int cx, int cy) : m_cx(cx), m_cy(cy)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* pBits = NULL;
        m_hDC = CreateCompatibleDC(NULL);
        m_hBmp = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
        m_hOld = SelectObject(m_hDC, m_hBmp);
        RECT rc = {0, 0, cx, cy};
        HBRUSH hBrush = CreateSolidBrush(kSentinel);
        FillRect(m_hDC, &rc, hBrush);
        DeleteObject(hBrush);
    }
    ~CCanvas()
    {
        SelectObject(m_hDC, m_hOld);
        DeleteObject(m_hBmp);
        DeleteDC(m_hDC);
    }
    COLORREF At(int x, int y) const { return GetPixel(m_hDC, x, y); }
    bool ColumnHas(int x0, int x1, COLORREF clr) const
    {
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < m_cy; ++y)
                if (At(x, y) == clr)
                    return true;
        return false;
    }
    HDC m_hDC;
    int m_cx, m_cy;

private:
    HBITMAP m_hBmp;
    HGDIOBJ m_hOld;
};

void Draw(C3DMenu& menu, HDC hDC, UINT nId, ULONG_PTR nItemData, UINT nState, RECT rc)
{
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = nId;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = nState;
    dis.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
    dis.hDC = hDC;
    dis.rcItem = rc;
    dis.itemData = nItemData;
    menu.DrawItem(&dis);
}

MEASUREITEMSTRUCT Measure(C3DMenu& menu, UINT nId, ULONG_PTR nItemData)
{
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemID = nId;
    mis.itemData = nItemData;
    menu.MeasureItem(&mis);
    return mis;
}

std::string Hex(COLORREF c)
{
    char sz[16];
    snprintf(sz, sizeof(sz), "%06lX", static_cast<unsigned long>(c));
    return sz;
}

// Shell-library abilities and program switches, restored after each test.
class MenuItem : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = g_ShellDllVersions;
        m_nScheme = g_nSkinColorScheme;
        m_b3D = g_bShow3DMenus;
        m_bNoTips = g_bNoToolTips;
        g_nSkinColorScheme = 0;
        g_bNoToolTips = 0;
    }
    void TearDown() override
    {
        g_ShellDllVersions = m_saved;
        g_nSkinColorScheme = m_nScheme;
        g_bShow3DMenus = m_b3D;
        g_bNoToolTips = m_bNoTips;
    }
    SHELLDLLVERSIONS m_saved;
    int m_nScheme, m_b3D, m_bNoTips;
};

TEST_F(MenuItem, PaintsEachStateByItsColoursAndFrame)
{
    struct Row
    {
        const char* name;
        int nBorder;
        UINT nState;
        COLORREF clrInside;     // at (2, 2) of the item, in the empty icon column
        COLORREF clrCorner;     // at (0, 0)
        COLORREF clrFar;        // at the bottom-right pixel
    };
    const Row rows[] = {
        {"normal, no frame", 0, 0, kBack, kBack, kBack},
        {"selected, no frame", 0, ODS_SELECTED, kHotBack, kHotBack, kHotBack},
        {"normal, 3D rectangle", 1, 0, kBack, kLight, kDark},
        {"selected, 3D rectangle", 1, ODS_SELECTED, kHotBack, kLight, kDark},
        {"disabled keeps the normal background", 0, ODS_GRAYED, kBack, kBack, kBack},
    };
    for (const Row& row : rows) {
        const TEXTSTYLE style = MenuStyle(0, row.nBorder);
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(&style));
        ASSERT_TRUE(menu.AppendItem(NULL, "Item", 0, 100));
        CCanvas canvas(120, 20);
        Draw(menu, canvas.m_hDC, 100, 1, row.nState, RECT{0, 0, 120, 20});
        EXPECT_EQ(Hex(row.clrInside), Hex(canvas.At(2, 2))) << row.name;
        EXPECT_EQ(Hex(row.clrCorner), Hex(canvas.At(0, 0))) << row.name;
        EXPECT_EQ(Hex(row.clrFar), Hex(canvas.At(119, 19))) << row.name;
    }
}

TEST_F(MenuItem, RaisedEdgeLeavesTwoPixelsForTheFill)
{
    const TEXTSTYLE style = MenuStyle(0, 2);
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&style));
    menu.AppendItem(NULL, "Item", 0, 100);
    CCanvas canvas(120, 20);
    Draw(menu, canvas.m_hDC, 100, 1, 0, RECT{0, 0, 120, 20});
    EXPECT_EQ(Hex(kBack), Hex(canvas.At(2, 2)));
    EXPECT_NE(Hex(kBack), Hex(canvas.At(1, 1)));
}

TEST_F(MenuItem, GradientStartsAtTheLightColourAndMirrors)
{
    // Light colour: c + 30 x (256 - c) / 100 per channel (255 stays).
    auto light = [](COLORREF c) {
        auto up = [](int v) { return v < 255 ? v + 30 * (256 - v) / 100 : 255; };
        return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
    };
    struct Row
    {
        const char* name;
        int nFlags;
        bool bRightIsLight;
    };
    const Row rows[] = {{"one horizontal gradient", 0, false}, {"two mirrored halves", 0x80, true}};
    for (const Row& row : rows) {
        const TEXTSTYLE style = MenuStyle(row.nFlags, 0, GRADIENT_HORIZONTAL);
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(&style));
        menu.AppendItem(NULL, "Item", 0, 100);
        CCanvas canvas(120, 20);
        Draw(menu, canvas.m_hDC, 100, 1, 0, RECT{0, 0, 120, 20});
        EXPECT_EQ(Hex(light(kBack)), Hex(canvas.At(0, 10))) << row.name;
        // The far end runs towards the light colour only in mirrored halves.
        const COLORREF clrFar = canvas.At(119, 10);
        auto dist = [](COLORREF a, COLORREF b) {
            return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) + abs(GetBValue(a) - GetBValue(b));
        };
        EXPECT_EQ(row.bRightIsLight, dist(clrFar, light(kBack)) < dist(clrFar, kBack)) << row.name << ": " << Hex(clrFar);
    }
}

// A menu keeps the last item background it drew for the next item with the
// same one: each item, drawn after items of other states, sizes and colour
// schemes, looks as it does drawn alone by a menu of its own.
TEST_F(MenuItem, ItemsDrawnInTurnLookAsEachDrawnAlone)
{
    TEXTSTYLE style = MenuStyle(0x01, 1, GRADIENT_HORIZONTAL);
    style.itemColors = COLORSET(kBack, RGB(90, 160, 60), kBack, kBack, kBack, kBack);
    auto build = [&style](C3DMenu& menu) {
        menu.CreatePopup(&style);
        menu.AppendItem(NULL, "Item one", 0, 100);
        menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
        menu.AppendItem(NULL, "<b>Item two", 0, 101);
    };
    auto pixels = [](const CCanvas& canvas) {
        std::vector<COLORREF> v;
        for (int y = 0; y < canvas.m_cy; ++y)
            for (int x = 0; x < canvas.m_cx; ++x)
                v.push_back(canvas.At(x, y));
        return v;
    };
    const struct
    {
        const char* name;
        UINT nId;
        ULONG_PTR nData;
        UINT nState;
        int cx, cy, nScheme;
    } rows[] = {
        {"one", 100, 1, 0, 120, 20, 0},
        {"two", 101, 2, 0, 120, 20, 0},
        {"two selected", 101, 2, ODS_SELECTED, 120, 20, 0},
        {"one again", 100, 1, 0, 120, 20, 0},
        {"separator", 0, 0, 0, 120, 7, 0},
        {"one after the separator", 100, 1, 0, 120, 20, 0},
        {"one wider", 100, 1, 0, 150, 20, 0},
        {"one higher", 100, 1, 0, 150, 26, 0},
        {"one in the second scheme", 100, 1, 0, 150, 26, 1},
        {"two in the second scheme", 101, 2, 0, 150, 26, 1},
        {"two back in the first", 101, 2, 0, 150, 26, 0},
    };
    C3DMenu shared;
    build(shared);
    for (const auto& row : rows) {
        g_nSkinColorScheme = row.nScheme;
        CCanvas inTurn(row.cx, row.cy), alone(row.cx, row.cy);
        Draw(shared, inTurn.m_hDC, row.nId, row.nData, row.nState, RECT{0, 0, row.cx, row.cy});
        C3DMenu own;
        build(own);
        Draw(own, alone.m_hDC, row.nId, row.nData, row.nState, RECT{0, 0, row.cx, row.cy});
        EXPECT_EQ(pixels(alone), pixels(inTurn)) << row.name;
    }
}

TEST_F(MenuItem, SeparatorsArePaintedOnlyWithTheirFlag)
{
    for (int nFlags : {0, 0x01}) {
        const TEXTSTYLE style = MenuStyle(nFlags);
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(&style));
        ASSERT_TRUE(menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0));
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(menu.m_hMenu, 0, TRUE, &mii));
        EXPECT_EQ(0u, mii.dwItemData) << "text-less items carry no item number";
        EXPECT_EQ(7u, Measure(menu, 0, 0).itemHeight);
        CCanvas canvas(60, 7);
        Draw(menu, canvas.m_hDC, 0, 0, 0, RECT{0, 0, 60, 7});
        EXPECT_EQ(Hex(nFlags ? kBack : CCanvas::kSentinel), Hex(canvas.At(30, 3))) << "flags " << nFlags;
    }
}

TEST_F(MenuItem, CheckGlyphInTheColumnOnlyWhenChecked)
{
    struct Row
    {
        const char* name;
        UINT nState;
        COLORREF clrGlyph;
        bool bExpected;
    };
    const Row rows[] = {
        {"unchecked", 0, kText, false},
        {"checked", ODS_CHECKED, kText, true},
        {"checked and selected", ODS_CHECKED | ODS_SELECTED, kHotText, true},
    };
    for (const Row& row : rows) {
        const TEXTSTYLE style = MenuStyle();
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(&style));
        menu.AppendItem(NULL, "Item", 0, 100);
        CCanvas canvas(120, 20);
        Draw(menu, canvas.m_hDC, 100, 1, row.nState, RECT{0, 0, 120, 20});
        EXPECT_EQ(row.bExpected, canvas.ColumnHas(0, menu.GetIconColumnWidth(), row.clrGlyph)) << row.name;
    }
}

TEST_F(MenuItem, IconIsDrawnAtTheLeftOfItsColumn)
{
    const COLORREF kIcon = RGB(255, 0, 128);
    HICON hIcon = MakeSolidIcon(kIcon);
    ASSERT_NE(nullptr, hIcon);

    const TEXTSTYLE style = MenuStyle();
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&style));
    menu.AppendItem(NULL, "Item", 0, 100, hIcon);
    EXPECT_EQ(16 + 6 > GetSystemMetrics(SM_CXMENUCHECK) + 4 ? 22 : GetSystemMetrics(SM_CXMENUCHECK) + 4,
              menu.GetIconColumnWidth());
    CCanvas canvas(120, 20);
    Draw(menu, canvas.m_hDC, 100, 1, 0, RECT{0, 0, 120, 20});
    EXPECT_EQ(Hex(kIcon), Hex(canvas.At(2, 2)));
    EXPECT_EQ(Hex(kIcon), Hex(canvas.At(17, 17)));
    EXPECT_EQ(Hex(kBack), Hex(canvas.At(1, 10)));
    EXPECT_EQ(Hex(kBack), Hex(canvas.At(18, 10)));
    DestroyIcon(hIcon);
}

// An icon handed over with its size is laid out and drawn at that size (its
// bitmaps are not asked); a bare handle is read. A 16 x 16 icon given as
// 12 x 12 is drawn shrunk, so the given size is the one used.
TEST_F(MenuItem, IconSizeGivenWithTheIconOrReadFromIt)
{
    const COLORREF kIcon = RGB(255, 0, 128);
    HICON hIcon = MakeSolidIcon(kIcon);
    ASSERT_NE(nullptr, hIcon);
    struct Row
    {
        const char* name;
        CMenuItemIcon icon;
        int nSize;
    } rows[] = {
        {"bare handle", CMenuItemIcon(hIcon), 16},
        {"with its own size", CMenuItemIcon(hIcon, 16, 16), 16},
        {"with a smaller size", CMenuItemIcon(hIcon, 12, 12), 12},
        {"size without a handle", CMenuItemIcon(NULL, 16, 16), 0},
    };
    const TEXTSTYLE style = MenuStyle();
    const int nCheckColumn = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    for (const Row& row : rows) {
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(&style));
        menu.AppendItem(NULL, "Item", 0, 100, row.icon);
        ASSERT_EQ(1, menu.GetItemCount()) << row.name;
        EXPECT_EQ(row.nSize, menu.GetItem(0)->cxIcon) << row.name;
        EXPECT_EQ(row.nSize, menu.GetItem(0)->cyIcon) << row.name;
        EXPECT_EQ(row.nSize + 6 > nCheckColumn ? row.nSize + 6 : nCheckColumn, menu.GetIconColumnWidth()) << row.name;
        CCanvas canvas(120, 20);
        Draw(menu, canvas.m_hDC, 100, 1, 0, RECT{0, 0, 120, 20});
        const int yTop = (20 - row.nSize) / 2;
        if (row.nSize > 0) {
            EXPECT_EQ(Hex(kIcon), Hex(canvas.At(2, yTop))) << row.name;
            EXPECT_EQ(Hex(kIcon), Hex(canvas.At(2 + row.nSize - 1, yTop + row.nSize - 1))) << row.name;
        }
        EXPECT_EQ(Hex(kBack), Hex(canvas.At(2 + row.nSize, 10))) << row.name;
    }
    DestroyIcon(hIcon);
}

TEST_F(MenuItem, MeasuresHeightsAndTheSubmenuArrowRoom)
{
    const TEXTSTYLE style = MenuStyle();
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&style));
    C3DMenu sub;
    ASSERT_TRUE(sub.CreatePopup(&style));
    menu.AppendItem(NULL, "Same text", 0, 100);
    menu.AppendItem(NULL, "Same text", MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu));
    const MEASUREITEMSTRUCT plain = Measure(menu, 100, 1);
    const MEASUREITEMSTRUCT popup = Measure(menu, 0, 2);
    EXPECT_EQ(plain.itemWidth + 10, popup.itemWidth);
    EXPECT_GT(plain.itemWidth, static_cast<UINT>(menu.GetIconColumnWidth()));
    EXPECT_EQ(20u, plain.itemHeight);

    TEXTSTYLE system = style;
    system.nItemHeight = 0;
    C3DMenu menu2;
    ASSERT_TRUE(menu2.CreatePopup(&system));
    menu2.AppendItem(NULL, "x", 0, 1);
    EXPECT_EQ(static_cast<UINT>(GetSystemMetrics(SM_CYMENU)), Measure(menu2, 1, 1).itemHeight);
    sub.Detach();  // the parent menu destroys it with itself
}

TEST_F(MenuItem, SubmenuArrowInTheTextColourAndKeptFromTheSystem)
{
    // Ours at the right end in the state's text colour; then the item is
    // clipped out of the DC, so the system's own arrow box cannot cover it.
    const struct { const char* name; UINT nState; COLORREF clr; } rows[] = {
        {"normal", 0, kText}, {"selected", ODS_SELECTED, kHotText}};
    for (const auto& row : rows) {
        const TEXTSTYLE style = MenuStyle();
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(&style));
        C3DMenu sub;
        ASSERT_TRUE(sub.CreatePopup(&style));
        menu.AppendItem(NULL, "Plain", 0, 100);
        menu.AppendItem(NULL, "More", MF_POPUP, reinterpret_cast<UINT_PTR>(sub.m_hMenu));
        CCanvas canvas(120, 40);
        Draw(menu, canvas.m_hDC, 100, 1, row.nState, RECT{0, 0, 120, 20});
        Draw(menu, canvas.m_hDC, 0, 2, row.nState, RECT{0, 20, 120, 40});
        // A 7 x 4 arrow pointing right: its base from (106, 26) to (106, 32),
        // its tip at (109, 29); none beside the plain item.
        EXPECT_EQ(Hex(row.clr), Hex(canvas.At(106, 26))) << row.name;
        EXPECT_EQ(Hex(row.clr), Hex(canvas.At(106, 32))) << row.name;
        EXPECT_EQ(Hex(row.clr), Hex(canvas.At(109, 29))) << row.name;
        EXPECT_NE(Hex(row.clr), Hex(canvas.At(109, 30))) << row.name;
        EXPECT_NE(Hex(row.clr), Hex(canvas.At(106, 6))) << row.name;
        EXPECT_TRUE(PtVisible(canvas.m_hDC, 60, 10)) << row.name;
        EXPECT_FALSE(PtVisible(canvas.m_hDC, 110, 30)) << row.name;
        EXPECT_FALSE(PtVisible(canvas.m_hDC, 5, 25)) << row.name;
        sub.Detach();  // the parent menu destroys it with itself
    }
}

TEST_F(MenuItem, DisabledTextColourByFormula)
{
    struct Row
    {
        COLORREF text, back, expected;
    };
    const Row rows[] = {
        {RGB(0, 0, 0), RGB(200, 200, 200), RGB(100, 100, 100)},
        // Half way is near the 220 of the shadow: the background, a visible step darker.
        {RGB(255, 255, 255), RGB(200, 200, 200), RGB(152, 152, 152)},
        {RGB(60, 60, 60), RGB(40, 40, 40), RGB(88, 88, 88)},           // too near a dark background: lighter
        {RGB(10, 21, 0), RGB(0, 0, 0), RGB(49, 53, 44)},          // near black on black: lighter
    };
    for (const Row& row : rows) {
        TEXTSTYLE style = MenuStyle();
        style.textColors = All(row.text);
        style.itemColors = All(row.back);
        C3DMenu menu;
        menu.CreatePopup(&style);
        EXPECT_EQ(Hex(row.expected), Hex(menu.GetItemTextColor(ODS_GRAYED))) << Hex(row.text) << " on " << Hex(row.back);
    }
}

TEST_F(MenuItem, AdjustsColoursAgainstTheMenuBackground)
{
    struct Row
    {
        const char* name;
        COLORREF back;
        int nKind;
        COLORREF in, out;
    };
    const Row rows[] = {
        {"far apart: unchanged", RGB(255, 255, 255), 0, RGB(0, 0, 0), RGB(0, 0, 0)},
        {"dark background", RGB(0, 0, 0), 0, RGB(200, 180, 160), RGB(232, 204, 176)},
        // The background, not the gradient kind, is the reference: on white
        // the same colour is pushed to white (kind 3 as a colour would be black).
        {"light background with a diagonal gradient", RGB(255, 255, 255), 3, RGB(200, 180, 160),
         RGB(255, 255, 255)},
    };
    for (const Row& row : rows) {
        TEXTSTYLE style = MenuStyle(0, 0, row.nKind);
        style.itemColors = All(row.back);
        C3DMenu menu;
        menu.CreatePopup(&style);
        EXPECT_EQ(Hex(row.out), Hex(menu.AdjustColorToBackground(row.in))) << row.name;
    }
}

TEST_F(MenuItem, MnemonicsPickEnabledItemsByPosition)
{
    const TEXTSTYLE style = MenuStyle(0x08);
    C3DMenu menu;
    ASSERT_TRUE(menu.CreatePopup(&style));
    C3DMenu* pSub = new C3DMenu;
    ASSERT_TRUE(pSub->CreatePopup(&style));
    menu.AppendItem(NULL, "&File", 0, 10);
    menu.AppendItem(NULL, "&Edit", MF_GRAYED, 11);
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    menu.AppendItem(NULL, "E&xit", 0, 12);
    menu.AppendItem(NULL, "&Sub", MF_POPUP, reinterpret_cast<UINT_PTR>(pSub->m_hMenu));
    struct Row
    {
        UINT ch;
        LRESULT expected;
    };
    const Row rows[] = {
        {'F', MAKELRESULT(0, MNC_EXECUTE)}, {'f', MAKELRESULT(0, MNC_EXECUTE)}, {'e', 0},
        {'X', MAKELRESULT(3, MNC_EXECUTE)}, {'s', MAKELRESULT(4, MNC_EXECUTE)}, {'q', 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, HandleMenuChar(row.ch, MF_POPUP, menu.m_hMenu)) << static_cast<char>(row.ch);
    EXPECT_EQ(0, HandleMenuChar('f', MF_POPUP, pSub->m_hMenu));
    HMENU hForeign = CreatePopupMenu();
    EXPECT_EQ(0, HandleMenuChar('f', MF_POPUP, hForeign));
    DestroyMenu(hForeign);
    EXPECT_EQ(&menu, C3DMenu::FromHandle(menu.m_hMenu));
    pSub->Detach();  // destroyed with its parent
    delete pSub;
}

TEST_F(MenuItem, ItemTipsGetATimeByLengthAndFitOldControls)
{
    struct Row
    {
        const char* name;
        int bMultiline;
        std::string tip;
        int nDelay;
        std::string stored;
    };
    const std::string s100(100, 'x'), s400(400, 'y');
    const Row rows[] = {
        {"short", 1, "abcde", 1000, "abcde"},
        {"long", 1, s400, 30000, s400},
        {"cut to 80 on one-line tips", 0, s100, 10000, s100.substr(0, 80)},
        {"line break joined", 0, "one\r\ntwo", 1000, "one; two"},
        {"line break kept", 1, "one\r\ntwo", 1000, "one\r\ntwo"},
    };
    for (const Row& row : rows) {
        g_ShellDllVersions.MultilineTips = row.bMultiline;
        const TEXTSTYLE style = MenuStyle();
        C3DMenu menu;
        menu.CreatePopup(&style);
        menu.AppendItem(NULL, "Item", 0, 1, NULL, row.tip.c_str());
        ASSERT_EQ(1, menu.GetItemCount());
        EXPECT_EQ(row.nDelay, menu.GetItem(0)->nTipDelay) << row.name;
        EXPECT_EQ(row.stored, static_cast<LPCSTR>(menu.GetItem(0)->strTip)) << row.name;
    }
    g_bNoToolTips = 1;
    C3DMenu menu;
    menu.CreatePopup(NULL);
    menu.AppendItem(NULL, "Item", 0, 1, NULL, "tip");
    EXPECT_TRUE(menu.GetItem(0)->strTip.IsEmpty()) << "tips are off";
}

TEST(ToolTipRules, DisplayTimeAndKeepingOffTheCursor)
{
    struct TimeRow
    {
        int nChars, expected;
    };
    for (const TimeRow& row : {TimeRow{6, 1000}, TimeRow{12, 1000}, TimeRow{24, 2000}, TimeRow{600, 30000}})
        EXPECT_EQ(row.expected, ClampTipShowTime(row.nChars * 1000 / 12)) << row.nChars << " characters";

    struct Row
    {
        const char* name;
        RECT tip;
        int x;
        BOOL moved;
        int newLeft;
    };
    const Row rows[] = {
        {"cursor outside", {100, 0, 200, 20}, 50, FALSE, 0},
        {"near the left edge: to the right", {10, 0, 110, 20}, 30, TRUE, 31},
        {"near the right edge: to the left", {920, 0, 1020, 20}, 1000, TRUE, 900},
        {"shorter way right", {400, 0, 500, 20}, 420, TRUE, 421},
        {"shorter way left", {400, 0, 500, 20}, 480, TRUE, 380},
    };
    for (const Row& row : rows) {
        RECT rcNew = {};
        EXPECT_EQ(row.moved, KeepTipOffCursor(row.tip, row.x, 1024, &rcNew)) << row.name;
        if (row.moved) {
            EXPECT_EQ(row.newLeft, rcNew.left) << row.name;
            EXPECT_EQ(100, rcNew.right - rcNew.left) << row.name;
            EXPECT_TRUE(row.x < rcNew.left || row.x >= rcNew.right) << row.name;
        }
    }
}

} // namespace
