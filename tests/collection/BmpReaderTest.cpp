// Bitmap files: header checks, rows that must lie inside the data, drawing
// with crop, and the bit counts the GDI draws.
#include "collection/BmpReader.h"
#include "tests/collection/PictureSamples.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Set32(Bytes& b, size_t nAt, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[nAt + i] = BYTE(v >> (8 * i));
}

BmpRecipe Gradient(int cx, int cy, int nBpp)
{
    BmpRecipe s;
    s.cx = cx;
    s.cy = cy;
    s.nBpp = nBpp;
    if (nBpp <= 8) {
        const int n = 1 << nBpp;
        for (int i = 0; i < n; i++)
            s.palette.push_back(RGB(i * 255 / (n - 1), 255 - i * 255 / (n - 1), 40));
    }
    for (int y = 0; y < cy; y++)
        for (int x = 0; x < cx; x++)
            s.pixels.push_back(nBpp <= 8 ? uint32_t((x + y) % (1 << nBpp)) : RGB(x * 10, y * 10, 200));
    return s;
}

COLORREF Expected(const BmpRecipe& s, int x, int y)
{
    const uint32_t v = s.pixels[size_t(y) * s.cx + x];
    return s.nBpp <= 8 ? s.palette[v] : COLORREF(v);
}

TEST(BmpReader, DrawsEveryBitCountBottomUp)
{
    for (int nBpp : {1, 4, 8, 24, 32}) {
        const BmpRecipe s = Gradient(9, 5, nBpp);
        const Bytes file = MakeBmp(s);
        CBmpReader reader;
        ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE)) << "bpp " << nBpp;
        EXPECT_EQ(CSize(9, 5), reader.GetSize()) << "bpp " << nBpp;
        EXPECT_EQ(file.size(), reader.GetSourceSize());
        EXPECT_EQ(20 + file.size() - 14, reader.GetMemorySize());
        CTestCanvas canvas(12, 8, RGB(1, 2, 3));
        CDC dc;
        dc.Attach(canvas.GetDC());
        EXPECT_EQ(0, reader.DrawNextFrame(&dc, CPoint(2, 1), 0, nullptr, CPoint()));
        dc.Detach();
        for (int y = 0; y < 5; y++)
            for (int x = 0; x < 9; x++)
                ASSERT_EQ(Expected(s, x, y), canvas.Pixel(x + 2, y + 1)) << "bpp " << nBpp << " at " << x << "," << y;
        EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(1, 1));
        EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(11, 6));
    }
}

TEST(BmpReader, CropCutsTopRowsOrLeftColumns)
{
    BmpRecipe s = Gradient(20, 20, 24);
    const Bytes file = MakeBmp(s);
    CBmpReader reader;
    ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE));
    struct { BYTE nCrop; CSize size; int nSkipX, nSkipY; } rows[] = {
        {0x45, CSize(20, 15), 0, 5},
        {0x05, CSize(15, 20), 5, 0},
        {0x7F, CSize(20, 0), 0, 63},
        {0xC5, CSize(20, 15), 0, 0},    // bit 7: smaller size, drawn uncut
    };
    for (const auto& row : rows) {
        reader.SetCrop(row.nCrop);
        EXPECT_EQ(row.size, reader.GetSize()) << "crop " << int(row.nCrop);
        if (row.size.cy == 0)
            continue;
        CTestCanvas canvas(20, 20, RGB(0, 0, 0));
        CDC dc;
        dc.Attach(canvas.GetDC());
        EXPECT_TRUE(reader.Draw(&dc, CPoint(0, 0), 0, nullptr, CPoint()));
        dc.Detach();
        EXPECT_EQ(Expected(s, row.nSkipX, row.nSkipY), canvas.Pixel(0, 0)) << "crop " << int(row.nCrop);
        EXPECT_EQ(Expected(s, 19, 19), canvas.Pixel(19 - row.nSkipX, 19 - row.nSkipY)) << "crop " << int(row.nCrop);
    }
}

TEST(BmpReader, RefusesBadHeadersAndRowsOutsideTheData)
{
    const Bytes good = MakeBmp(Gradient(16, 16, 8));
    BmpRecipe topDown = Gradient(16, 16, 24);
    topDown.bTopDown = true;
    BmpRecipe wide = Gradient(1, 1, 24);
    struct Row
    {
        const char* pszName;
        Bytes data;
        bool bLoads;
    } rows[] = {
        {"good", good, true},
        {"top-down (negative height)", MakeBmp(topDown), false},
        {"size field one too large", [&] { Bytes b = good; Set32(b, 2, uint32_t(b.size() + 1)); return b; }(), false},
        {"62 bytes is the least", [&] { Bytes b = good; b.resize(61); Set32(b, 2, 61); return b; }(), false},
        {"info header size 39", [&] { Bytes b = good; Set32(b, 14, 39); return b; }(), false},
        {"two planes", [&] { Bytes b = good; b[26] = 2; return b; }(), false},
        {"width 0", [&] { Bytes b = good; Set32(b, 18, 0); return b; }(), false},
        {"width 65536", [&] { Bytes b = good; Set32(b, 18, 65536); return b; }(), false},
        {"pixel offset past the end", [&] { Bytes b = good; Set32(b, 10, uint32_t(b.size()) + 100); return b; }(), false},
        {"pixel offset 0", [&] { Bytes b = good; Set32(b, 10, 0); return b; }(), false},
        {"rows cut short", [&] { Bytes b = good; b.resize(b.size() - 1); Set32(b, 2, uint32_t(b.size())); return b; }(), false},
        {"height larger than the rows", [&] { Bytes b = good; Set32(b, 22, 17); return b; }(), false},
        {"bit count 32 on 8-bit rows", [&] { Bytes b = good; b[28] = 32; return b; }(), false},
        {"bit count 0", [&] { Bytes b = good; b[28] = 0; return b; }(), false},
        {"jpeg compression", [&] { Bytes b = good; Set32(b, 30, 4); return b; }(), false},
        {"run-length without image size", [&] { Bytes b = good; Set32(b, 30, BI_RLE8); Set32(b, 34, 0); return b; }(), false},
        {"run-length inside the data", [&] { Bytes b = good; Set32(b, 30, BI_RLE8); Set32(b, 34, 20); return b; }(), true},
        {"24-bit, good", MakeBmp(Gradient(4, 4, 24)), true},
        {"colour table past the data", [&] { Bytes b = MakeBmp(Gradient(4, 4, 24)); Set32(b, 46, 200); return b; }(), false},
        {"65535 wide, one row missing", [&] {
             Bytes b = MakeBmp(wide); Set32(b, 18, 65535); return b; }(), false},
    };
    for (const Row& row : rows) {
        CBmpReader reader;
        EXPECT_EQ(row.bLoads, reader.Load(row.data.data(), uint32_t(row.data.size()), FALSE) != 0) << row.pszName;
        EXPECT_EQ(row.bLoads, reader.IsLoaded() != 0) << row.pszName;
    }
}

TEST(BmpReader, FailedLoadKeepsThePictureAndMaskIsBlack)
{
    const Bytes file = MakeBmp(Gradient(4, 4, 24));
    CBmpReader reader;
    ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE));
    reader.SetCrop(3);
    Bytes bad = file;
    bad[0] = 'X';
    EXPECT_FALSE(reader.Load(bad.data(), uint32_t(bad.size()), FALSE));
    EXPECT_EQ(CSize(1, 4), reader.GetSize());
    EXPECT_EQ(1, reader.GetFrameCount());

    CTestCanvas canvas(4, 4, RGB(255, 255, 255));
    CDC dc;
    dc.Attach(canvas.GetDC());
    EXPECT_TRUE(reader.DrawMask(&dc, nullptr, CRect(0, 0, 2, 2), 0));
    EXPECT_TRUE(reader.DrawStretched(&dc, nullptr, CRect(2, 2, 4, 4), 0));
    dc.Detach();
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(1, 1));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(2, 0));
}

TEST(BmpReader, StretchesWithAndWithoutDrawDib)
{
    // Left half red, right half blue, top row green: doubled into 8 x 4.
    BmpRecipe s;
    s.cx = 4;
    s.cy = 2;
    s.pixels = {RGB(0, 255, 0), RGB(0, 255, 0), RGB(0, 255, 0), RGB(0, 255, 0),
                RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255)};
    const Bytes file = MakeBmp(s);
    CBmpReader reader;
    ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE));
    const HDRAWDIB hDrawDib = DrawDibOpen();
    // With the top row cropped away only the red and blue row is stretched.
    struct { BYTE nCrop; COLORREF clrTopRight; } rows[] = {
        {0x00, RGB(0, 255, 0)},
        {0x41, RGB(0, 0, 255)},
    };
    for (const auto& row : rows) {
        reader.SetCrop(row.nCrop);
        for (HDRAWDIB h : {HDRAWDIB(nullptr), hDrawDib}) {
            CTestCanvas canvas(8, 4, 0);
            CDC dc;
            dc.Attach(canvas.GetDC());
            EXPECT_TRUE(reader.DrawStretched(&dc, h, CRect(0, 0, 8, 4), 0));
            dc.Detach();
            const char* pszHow = h ? "DrawDib" : "StretchDIBits";
            EXPECT_EQ(row.clrTopRight, canvas.Pixel(7, 0)) << pszHow << " crop " << int(row.nCrop);
            EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(0, 3)) << pszHow << " crop " << int(row.nCrop);
            EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(7, 3)) << pszHow << " crop " << int(row.nCrop);
        }
    }
    if (hDrawDib)
        DrawDibClose(hDrawDib);
}

TEST(BmpReader, ColourCountAboveTheTableDrawsThroughDrawDib)
{
    // The file stores 256 palette entries (8 bits) or none (24 bits) whatever
    // its header's colour count says; the pixels use indices below 16.
    struct Row
    {
        int nBpp;
        uint32_t nClrUsed;
        uint32_t nKept;    // the count the reader's header gives the system
    } rows[] = {
        {8, 0, 0},        {8, 16, 16},        {8, 256, 256},        {8, 257, 256},
        {8, 4096, 256},   {8, 0xFFFFFF, 256}, {8, 0xFFFFFFFF, 256}, {4, 4096, 16},
        {24, 0, 0},       {24, 16, 16},       {24, 256, 256},       {24, 257, 256},
        {24, 4096, 256},  {24, 0xFFFFFF, 256},
    };
    const HDRAWDIB hDrawDib = DrawDibOpen();
    ASSERT_NE(nullptr, hDrawDib);
    for (const Row& row : rows) {
        BmpRecipe s = Gradient(20, 20, row.nBpp);
        if (row.nBpp <= 8)
            for (uint32_t& v : s.pixels)
                v %= 16;
        Bytes file = MakeBmp(s);
        Set32(file, 46, row.nClrUsed);
        const std::string name = std::to_string(row.nBpp) + " bits, count " + std::to_string(row.nClrUsed);
        CBmpReader reader;
        ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE)) << name;
        EXPECT_EQ(row.nKept, reader.GetFrameDib()->biClrUsed) << name;
        for (HDRAWDIB h : {HDRAWDIB(nullptr), hDrawDib}) {
            CTestCanvas canvas(40, 40, RGB(1, 2, 3));
            CDC dc;
            dc.Attach(canvas.GetDC());
            EXPECT_TRUE(reader.DrawStretched(&dc, h, CRect(0, 0, 40, 40), 0)) << name;
            dc.Detach();
            const char* pszHow = h ? " through DrawDib" : " through StretchDIBits";
            EXPECT_EQ(Expected(s, 0, 0), canvas.Pixel(0, 0)) << name << pszHow;
            EXPECT_EQ(Expected(s, 19, 19), canvas.Pixel(39, 39)) << name << pszHow;
        }
    }
    DrawDibClose(hDrawDib);
}

}  // namespace
