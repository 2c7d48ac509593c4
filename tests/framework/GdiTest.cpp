// GDI wrappers on a memory DC: who deletes what, the views SelectObject hands
// back, and the fills whose pixels a formula fixes.
#include <gtest/gtest.h>

#include "framework/Dc.h"

#include <cstring>

namespace {

// A 32-bit top-down DIB section selected into an owned memory DC.
struct Canvas
{
    CDC dc;
    CBitmap bitmap;
    DWORD* pixels = nullptr;
    CBitmap* pOld = nullptr;
    int width, height;

    Canvas(int w, int h) : width(w), height(h)
    {
        BITMAPINFO bmi;
        memset(&bmi, 0, sizeof(bmi));
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        if (dc.CreateCompatibleDC(NULL) && bitmap.CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits)) {
            pixels = static_cast<DWORD*>(bits);
            pOld = dc.SelectObject(&bitmap);
        }
    }
    ~Canvas()
    {
        if (pOld != nullptr)
            dc.SelectObject(pOld);
    }
    // The pixel as a COLORREF (memory holds blue, green, red).
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        DWORD p = pixels[y * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

} // namespace

TEST(Gdi, OwnersDeleteTheirObjectsUnlessDetached)
{
    HGDIOBJ kept;
    HGDIOBJ deleted;
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        CBrush brush(RGB(4, 5, 6));
        ASSERT_NE(pen.m_hObject, (HGDIOBJ)NULL);
        EXPECT_FALSE(pen.Attach(brush.m_hObject)) << "a wrapper holds one object";
        deleted = pen.m_hObject;
        kept = brush.Detach();
        EXPECT_EQ(brush.m_hObject, (HGDIOBJ)NULL);
    }
    EXPECT_EQ(GetObjectType(deleted), 0u);
    EXPECT_EQ(GetObjectType(kept), (DWORD)OBJ_BRUSH);
    CBrush again;
    EXPECT_TRUE(again.Attach(kept));   // and is deleted by its new owner

    HDC hdc = CreateCompatibleDC(NULL);
    {
        CDC attached;
        EXPECT_TRUE(attached.Attach(hdc));
    }
    EXPECT_EQ(GetObjectType(hdc), (DWORD)OBJ_MEMDC) << "an attached DC is only detached";
    DeleteDC(hdc);

    HDC owned;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
        owned = dc.m_hDC;
    }
    EXPECT_EQ(GetObjectType(owned), 0u) << "a DC the CDC made is deleted with it";
}

TEST(Gdi, SelectObjectReturnsViewsOfTheOldObjects)
{
    Canvas canvas(4, 4);
    ASSERT_NE(canvas.pixels, nullptr);
    ASSERT_NE(canvas.pOld, nullptr);
    EXPECT_EQ(GetObjectType(canvas.pOld->m_hObject), (DWORD)OBJ_BITMAP);

    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* pOriginal = canvas.dc.SelectObject(&red);
    ASSERT_NE(pOriginal, nullptr);
    HGDIOBJ originalPen = pOriginal->m_hObject;
    CPen* pRed = canvas.dc.SelectObject(&blue);
    EXPECT_EQ(pRed->m_hObject, red.m_hObject);
    EXPECT_EQ(pOriginal->m_hObject, originalPen) << "an earlier view keeps its handle";
    CPen* pBlue = canvas.dc.SelectObject(pOriginal);
    EXPECT_EQ(pBlue->m_hObject, blue.m_hObject);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), originalPen);
    // One view per handle: selecting the same objects again gives the same views.
    EXPECT_EQ(canvas.dc.SelectObject(&red), pOriginal);
    EXPECT_EQ(canvas.dc.SelectObject(pOriginal), pRed);

    // Views never delete: the pens live on after the DC is gone.
    HGDIOBJ redHandle = red.m_hObject;
    {
        CDC other;
        ASSERT_TRUE(other.CreateCompatibleDC(NULL));
        CPen* p = other.SelectObject(&red);
        other.SelectObject(p);
    }
    EXPECT_EQ(GetObjectType(redHandle), (DWORD)OBJ_PEN);
}

TEST(Gdi, SolidFillsAndThreeDFrame)
{
    Canvas canvas(6, 5);
    ASSERT_NE(canvas.pixels, nullptr);
    CDC& dc = canvas.dc;
    const COLORREF back = RGB(10, 20, 30), light = RGB(250, 240, 230), dark = RGB(5, 6, 7);

    dc.SetBkColor(RGB(1, 1, 1));
    dc.FillSolidRect(0, 0, 6, 5, back);
    EXPECT_EQ(dc.GetBkColor(), RGB(1, 1, 1)) << "the background colour is restored";
    dc.Draw3dRect(CRect(0, 0, 6, 5), light, dark);

    for (int y = 0; y < 5; y++) {
        for (int x = 0; x < 6; x++) {
            COLORREF expected = back;
            if (x == 5 || y == 4)
                expected = dark;    // right and bottom, with both outer corners
            else if (x == 0 || y == 0)
                expected = light;   // top and left
            EXPECT_EQ(canvas.At(x, y), expected) << "pixel " << x << "," << y;
        }
    }
}

TEST(Gdi, RegionsCombineAndAnswerHitTests)
{
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgnIndirect(CRect(20, 0, 30, 10)));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    CRect box;
    EXPECT_EQ(both.GetRgnBox(&box), COMPLEXREGION);
    EXPECT_EQ(box, CRect(0, 0, 30, 10));
    EXPECT_TRUE(both.PtInRegion(25, 5));
    EXPECT_FALSE(both.PtInRegion(CPoint(15, 5)));
    EXPECT_EQ(both.OffsetRgn(5, 0), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(34, 5));

    CRgn copy;
    copy.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(copy.CopyRgn(&both), COMPLEXREGION);
    EXPECT_TRUE(copy.EqualRgn(&both));
}
