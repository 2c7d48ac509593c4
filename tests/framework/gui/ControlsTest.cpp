// Control wrappers: bitmap button states, owner-drawn combo box items
// measured through reflection, tooltip tools, combo box texts.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"

#include <vector>

namespace {

LPCSTR PlainClass()
{
    return AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW));
}

HBITMAP SolidBitmap(COLORREF colour)
{
    HDC hScreen = GetDC(NULL);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 4, 4);
    HDC hDC = CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = SelectObject(hDC, hBitmap);
    HBRUSH hBrush = CreateSolidBrush(colour);
    RECT rc = {0, 0, 4, 4};
    FillRect(hDC, &rc, hBrush);
    DeleteObject(hBrush);
    SelectObject(hDC, hOld);
    DeleteDC(hDC);
    ReleaseDC(NULL, hScreen);
    return hBitmap;
}

} // namespace

TEST(Controls, BitmapButtonDrawsTheBitmapOfItsState)
{
    const COLORREF up = RGB(255, 0, 0), down = RGB(0, 0, 255), focus = RGB(0, 255, 0), disabled = RGB(0, 0, 0);
    CBitmapButton button;
    button.m_bitmap.Attach(SolidBitmap(up));
    button.m_bitmapSel.Attach(SolidBitmap(down));
    button.m_bitmapFocus.Attach(SolidBitmap(focus));
    button.m_bitmapDisabled.Attach(SolidBitmap(disabled));

    CBitmapButton upOnly;
    upOnly.m_bitmap.Attach(SolidBitmap(up));

    struct Row {
        const char* name;
        CBitmapButton* button;
        UINT state;
        COLORREF expected;
    } rows[] = {
        {"normal", &button, 0, up},
        {"pressed", &button, ODS_SELECTED, down},
        {"pressed wins over focus", &button, ODS_SELECTED | ODS_FOCUS, down},
        {"focused", &button, ODS_FOCUS, focus},
        {"disabled", &button, ODS_DISABLED, disabled},
        {"pressed without its own bitmap", &upOnly, ODS_SELECTED, up},
        {"disabled without its own bitmap", &upOnly, ODS_DISABLED, up},
    };
    HDC hScreen = GetDC(NULL);
    HDC hDC = CreateCompatibleDC(hScreen);
    HBITMAP hTarget = CreateCompatibleBitmap(hScreen, 4, 4);
    ReleaseDC(NULL, hScreen);
    HGDIOBJ hOld = SelectObject(hDC, hTarget);
    for (const Row& r : rows) {
        SetPixel(hDC, 1, 1, RGB(1, 2, 3));
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.itemState = r.state;
        dis.hDC = hDC;
        SetRect(&dis.rcItem, 0, 0, 4, 4);
        r.button->DrawItem(&dis);
        EXPECT_EQ(GetPixel(hDC, 1, 1), r.expected) << r.name;
    }
    SelectObject(hDC, hOld);
    DeleteObject(hTarget);
    DeleteDC(hDC);
}

namespace {
class CMeasuredCombo : public CComboBox
{
public:
    std::vector<UINT> measuredTypes;
    std::vector<UINT> drawnItems;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        measuredTypes.push_back(lpMIS->CtlType);
        lpMIS->itemHeight = 23;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override { drawnItems.push_back(lpDIS->itemID); }
};
} // namespace

TEST(Controls, OwnerDrawnComboBoxIsMeasuredByItsObjectDuringCreation)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, NULL, NULL));
    CMeasuredCombo combo;
    // The combo box asks its parent for the item height while it is being
    // created: the object must already be bound to receive the reflection.
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(0, 0, 150, 120), &parent, 31));
    ASSERT_FALSE(combo.measuredTypes.empty());
    EXPECT_EQ(combo.measuredTypes[0], (UINT)ODT_COMBOBOX);
    EXPECT_EQ(combo.GetItemHeight(0), 23);

    combo.AddString("first");
    combo.SetCurSel(0);
    combo.Invalidate();
    combo.UpdateWindow();
    ASSERT_TRUE(PumpUntil([&] { return !combo.drawnItems.empty(); }));
    EXPECT_EQ(combo.drawnItems.back(), 0u);
}

TEST(Controls, ComboBoxTextOfEachEntryAndOutOfRange)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 200, 200, NULL, NULL));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 150, 120), &parent, 32));
    combo.AddString("alpha");
    combo.AddString("");
    struct Row {
        int index;
        const char* expected;
    } rows[] = {{0, "alpha"}, {1, ""}, {2, ""}, {-1, ""}};
    for (const Row& r : rows) {
        CString s("stale");
        combo.GetLBText(r.index, s);
        EXPECT_STREQ(s, r.expected) << "entry " << r.index;
    }
    EXPECT_EQ(combo.FindStringExact(-1, "alpha"), 0);
}

TEST(Controls, ToolTipToolsAreAddedAndRemoved)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, PlainClass(), "", WS_POPUP, 0, 0, 200, 200, NULL, NULL));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&owner, TTS_ALWAYSTIP));
    EXPECT_EQ(GetWindow(tip.m_hWnd, GW_OWNER), owner.m_hWnd);
    CRect area(0, 0, 50, 50);
    EXPECT_TRUE(tip.AddTool(&owner, "first tip", &area, 1));
    EXPECT_TRUE(tip.AddTool(&owner, LPSTR_TEXTCALLBACKA, CRect(50, 0, 100, 50), 2));
    EXPECT_EQ(tip.GetToolCount(), 2);
    tip.UpdateTipText("changed", &owner, 1);
    tip.DelTool(&owner, 1);
    EXPECT_EQ(tip.GetToolCount(), 1);
    tip.DestroyWindow();
}
