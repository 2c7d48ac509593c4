// The close and about buttons: the picture each state draws, and skin
// colouring applied to fresh copies on every load (never twice).
#include "ui3d/controls/TvnxBitmapButton.h"
#include "resources/resource.h"
#include "ui3d/drawing/ColorRamp.h"
#include "ui3d/drawing/PixelOps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The bitmap's pixels as 0x00RRGGBB-ordered DWORDs (blue in the low byte), rows bottom up.
std::vector<DWORD> Pixels(HBITMAP hBitmap, int* pcx = NULL, int* pcy = NULL)
{
    BITMAPINFOHEADER bih;
    BYTE* p = GetBitmapBits32(hBitmap, &bih);
    if (p == NULL)
        return {};
    std::vector<DWORD> px(reinterpret_cast<DWORD*>(p), reinterpret_cast<DWORD*>(p) + bih.biWidth * bih.biHeight);
    delete[] p;
    for (DWORD& v : px)
        v &= 0xFFFFFF;
    if (pcx) *pcx = bih.biWidth;
    if (pcy) *pcy = bih.biHeight;
    return px;
}

std::vector<DWORD> Resource(UINT nId)
{
    HBITMAP h = LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(nId));
    std::vector<DWORD> px = Pixels(h);
    DeleteObject(h);
    return px;
}

TEST(TvnxBitmapButtonTest, LoadsAndTintsFreshCopies)
{
    const std::vector<DWORD> grey = Resource(IDB_BTNCLOSE), greySel = Resource(IDB_BTNCLOSE_SEL);
    ASSERT_FALSE(grey.empty());
    for (DWORD v : grey)
        ASSERT_TRUE((v & 0xFF) == ((v >> 8) & 0xFF) && (v & 0xFF) == (v >> 16)) << "the pictures are grey";

    CTvnxBitmapButton button;
    button.m_nNormalId = IDB_BTNCLOSE;
    button.m_nSelectedId = IDB_BTNCLOSE_SEL;
    ASSERT_TRUE(button.LoadBitmaps());
    EXPECT_EQ(grey, Pixels(button.m_bitmap)) << "colouring off: as stored";
    EXPECT_EQ(greySel, Pixels(button.m_bitmapSel)) << "colouring off: as stored";

    const COLORREF keys[] = {RGB(200, 40, 40), RGB(40, 90, 220)};
    for (COLORREF key : keys) {
        static COLORRAMP ramp;
        BuildColorRamp(&ramp, key);
        button.m_bRecolor = TRUE;
        button.m_clrKey = key;
        for (int nLoad = 1; nLoad <= 2; nLoad++) {
            ASSERT_TRUE(button.LoadBitmaps());
            const std::vector<DWORD> normal = Pixels(button.m_bitmap), sel = Pixels(button.m_bitmapSel);
            ASSERT_EQ(grey.size(), normal.size());
            for (size_t i = 0; i < grey.size(); i++) {
                ASSERT_EQ(ramp.px[grey[i] & 0xFF] & 0xFFFFFF, normal[i]) << "key " << key << ", load " << nLoad << ", pixel " << i;
                ASSERT_EQ(ramp.px[greySel[i] & 0xFF] & 0xFFFFFF, sel[i]) << "key " << key << ", load " << nLoad << ", pixel " << i;
            }
        }
    }
    button.m_bRecolor = FALSE;
    ASSERT_TRUE(button.LoadBitmaps());
    EXPECT_EQ(grey, Pixels(button.m_bitmap)) << "colouring off again: as stored";
}

TEST(TvnxBitmapButtonTest, MissingBitmaps)
{
    struct Case
    {
        const char* pszName;
        WORD nNormal, nSelected;
        BOOL bResult;
        bool bNormal, bSelected;
    } cases[] = {
        {"no normal id", 0, IDB_BTNCLOSE_SEL, FALSE, false, false},
        {"normal not in the resources", 65000, IDB_BTNCLOSE_SEL, FALSE, false, false},
        {"selected not in the resources", IDB_BTNCLOSE, 65000, FALSE, true, false},
        {"both there", IDB_BTNCLOSE, IDB_BTNCLOSE_SEL, TRUE, true, true},
    };
    for (const Case& c : cases) {
        CTvnxBitmapButton button;
        button.m_bRecolor = TRUE;
        button.m_clrKey = RGB(0, 128, 0);
        button.m_nNormalId = c.nNormal;
        button.m_nSelectedId = c.nSelected;
        EXPECT_EQ(c.bResult, button.LoadBitmaps()) << c.pszName;
        EXPECT_EQ(c.bNormal, button.m_bitmap.m_hObject != NULL) << c.pszName;
        EXPECT_EQ(c.bSelected, button.m_bitmapSel.m_hObject != NULL) << c.pszName;
    }
}

TEST(TvnxBitmapButtonTest, EachStateDrawsItsPicture)
{
    // Four different pictures, so that each state shows which one it drew.
    CTvnxBitmapButton button;
    button.m_nNormalId = IDB_BTNCLOSE;
    button.m_nSelectedId = IDB_BTNCLOSE_SEL;
    button.m_nFocusedId = IDB_BTNABOUT;
    button.m_nDisabledId = IDB_BTNABOUT_SEL;
    ASSERT_TRUE(button.LoadBitmaps());
    struct Case
    {
        const char* pszName;
        BOOL bHot;
        UINT nState;
        CBitmap* pExpected;
    } cases[] = {
        {"normal", FALSE, 0, &button.m_bitmap},
        {"selected", FALSE, ODS_SELECTED | ODS_FOCUS, &button.m_bitmapSel},
        {"focused", FALSE, ODS_FOCUS, &button.m_bitmapFocus},
        {"disabled", FALSE, ODS_DISABLED, &button.m_bitmapDisabled},
        {"hovered", TRUE, 0, &button.m_bitmapHot},
        {"hovered and pressed", TRUE, ODS_SELECTED | ODS_FOCUS, &button.m_bitmapSel},
        {"hovered and disabled", TRUE, ODS_DISABLED, &button.m_bitmapDisabled},
    };
    const int cx = 16, cy = 14;  // the pictures' size
    for (const Case& c : cases) {
        button.m_bHot = c.bHot;
        BYTE* pBits = NULL;
        HBITMAP hTarget = CreateDIBSection32(cx, cy, &pBits);
        ASSERT_NE((HBITMAP)NULL, hTarget);
        HDC hDC = CreateCompatibleDC(NULL);
        HGDIOBJ hOld = SelectObject(hDC, hTarget);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = c.nState;
        dis.hDC = hDC;
        SetRect(&dis.rcItem, 0, 0, cx, cy);
        button.DrawItem(&dis);
        SelectObject(hDC, hOld);
        DeleteDC(hDC);

        int cxSrc = 0, cySrc = 0;
        const std::vector<DWORD> src = Pixels(*c.pExpected, &cxSrc, &cySrc);
        const std::vector<DWORD> drawn = Pixels(hTarget);
        DeleteObject(hTarget);
        ASSERT_EQ(size_t(cx * cy), drawn.size()) << c.pszName;
        // Rows bottom up: the drawn top row y is row cy-1-y, the source's cySrc-1-y.
        for (int y = 0; y < cy; y++)
            for (int x = 0; x < cx; x++)
                ASSERT_EQ(src[size_t(cySrc - 1 - y) * cxSrc + x], drawn[size_t(cy - 1 - y) * cx + x])
                    << c.pszName << " at (" << x << ", " << y << ")";
    }
}

TEST(TvnxBitmapButtonTest, HoveredPictureIsTheNormalOneLightened)
{
    CTvnxBitmapButton button;
    button.m_nNormalId = IDB_BTNABOUT;
    ASSERT_TRUE(button.LoadBitmaps());
    const std::vector<DWORD> normal = Pixels(button.m_bitmap), hot = Pixels(button.m_bitmapHot);
    ASSERT_EQ(normal.size(), hot.size());
    for (size_t i = 0; i < normal.size(); i++)
        for (int nShift = 0; nShift < 24; nShift += 8) {
            const DWORD c = (normal[i] >> nShift) & 0xFF;
            ASSERT_EQ(c + (255 - c) / 4, (hot[i] >> nShift) & 0xFF) << "pixel " << i;
        }

    // The mouse entering and leaving the window turns the hovered look on and off.
    HWND hParent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    ASSERT_NE((HWND)NULL, hParent);
    CWnd parent;
    parent.Attach(hParent);
    const RECT rc = {0, 0, 16, 14};
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, &parent, 1));
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(button.m_bHot);
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(button.m_bHot);
    button.DestroyWindow();
    parent.Detach();
    DestroyWindow(hParent);
}

}  // namespace
