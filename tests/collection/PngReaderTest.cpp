// PNG pictures through libpng: colour types and depths, transparency blended
// against a colour or a background DC, crop, and damaged files.
#include "collection/ImageReader.h"
#include "collection/PngReader.h"
#include "tests/collection/PictureSamples.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

namespace {

PngRecipe PngOf(int cx, int cy, int nColorType, int nBitDepth, std::vector<BYTE> rows)
{
    PngRecipe s;
    s.cx = cx;
    s.cy = cy;
    s.nColorType = nColorType;
    s.nBitDepth = nBitDepth;
    s.rows = rows;
    return s;
}

bool Load(CPngReader& reader, const Bytes& b) { return reader.Load(b.data(), uint32_t(b.size()), FALSE) != 0; }

// Draws the picture at (0,0) over a solid colour or a background DC.
COLORREF DrawnPixel(CPngReader& reader, int x, int y, COLORREF clrBack, CTestCanvas* pBack = nullptr)
{
    CTestCanvas canvas(16, 16, RGB(1, 2, 3));
    CDC dc, back;
    dc.Attach(canvas.GetDC());
    if (pBack)
        back.Attach(pBack->GetDC());
    EXPECT_EQ(0, reader.DrawNextFrame(&dc, CPoint(0, 0), clrBack, pBack ? &back : nullptr, CPoint(0, 0)));
    dc.Detach();
    if (pBack)
        back.Detach();
    return canvas.Pixel(x, y);
}

TEST(PngReader, ColourTypesAndDepths)
{
    PngRecipe palette = PngOf(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2});
    palette.palette = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    palette.trns = {255, 0};
    PngRecipe paletteOpaque = palette;
    paletteOpaque.trns.clear();
    PngRecipe interlaced = PngOf(3, 9, PNG_COLOR_TYPE_RGB, 8, {});
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 3; x++)
            interlaced.rows.insert(interlaced.rows.end(), {BYTE(y * 20), BYTE(x * 50), 7});
    interlaced.bInterlaced = true;
    struct Row
    {
        const char* pszName;
        PngRecipe pic;
        int nChannels;
        int x, y;
        COLORREF clrExpected;   // drawn over kBack
    } rows[] = {
        {"palette with tRNS, opaque entry", palette, 4, 0, 0, RGB(255, 0, 0)},
        {"palette with tRNS, clear entry", palette, 4, 1, 0, RGB(9, 8, 7)},
        {"palette entry beyond tRNS", palette, 4, 2, 0, RGB(0, 0, 255)},
        {"palette without tRNS", paletteOpaque, 3, 1, 0, RGB(0, 255, 0)},
        {"grey 1-bit", PngOf(8, 1, PNG_COLOR_TYPE_GRAY, 1, {0x40}), 3, 1, 0, RGB(255, 255, 255)},
        {"grey 2-bit", PngOf(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B}), 3, 1, 0, RGB(85, 85, 85)},
        {"grey 8-bit", PngOf(1, 1, PNG_COLOR_TYPE_GRAY, 8, {77}), 3, 0, 0, RGB(77, 77, 77)},
        {"grey 16-bit with alpha", PngOf(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x40, 0x11, 0xFF, 0xEE}), 4, 0, 0,
         RGB(64, 64, 64)},
        {"RGB 16-bit", PngOf(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x10, 0, 0x20, 0, 0x30, 0}), 3, 0, 0, RGB(16, 32, 48)},
        {"RGBA", PngOf(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 255}), 4, 0, 0, RGB(10, 20, 30)},
        {"interlaced", interlaced, 3, 2, 7, RGB(140, 100, 7)},
    };
    for (const Row& row : rows) {
        const Bytes file = MakePng(row.pic);
        CPngReader reader;
        ASSERT_TRUE(Load(reader, file)) << row.pszName;
        EXPECT_EQ(row.nChannels, reader.GetChannels()) << row.pszName;
        EXPECT_EQ(row.nChannels == 4, reader.HasTransparency(0) != 0) << row.pszName;
        EXPECT_EQ(CSize(row.pic.cx, row.pic.cy), reader.GetSize()) << row.pszName;
        EXPECT_EQ(36u + row.pic.cx * row.pic.cy * row.nChannels, reader.GetMemorySize()) << row.pszName;
        EXPECT_EQ(row.clrExpected, DrawnPixel(reader, row.x, row.y, RGB(9, 8, 7))) << row.pszName;
    }
}

TEST(PngReader, BlendsAlphaAgainstColourOrBackground)
{
    // Pixel 0: alpha 128 over blue 100; pixel 1: alpha 0; pixel 2: alpha 255.
    const Bytes file = MakePng(PngOf(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8,
                                    {50, 60, 200, 128, 1, 1, 1, 0, 5, 6, 7, 255}));
    CPngReader reader;
    ASSERT_TRUE(Load(reader, file));
    const COLORREF clrBack = RGB(30, 20, 100);
    const COLORREF expected = RGB((50 * 128 + 30 * 127) / 255, (60 * 128 + 20 * 127) / 255, (200 * 128 + 100 * 127) / 255);
    EXPECT_EQ(150, GetBValue(expected));
    EXPECT_EQ(expected, DrawnPixel(reader, 0, 0, clrBack));
    EXPECT_EQ(clrBack, DrawnPixel(reader, 1, 0, clrBack));
    EXPECT_EQ(RGB(5, 6, 7), DrawnPixel(reader, 2, 0, clrBack));

    CTestCanvas back(16, 16, clrBack);
    EXPECT_EQ(expected, DrawnPixel(reader, 0, 0, RGB(255, 255, 255), &back));
    EXPECT_EQ(clrBack, DrawnPixel(reader, 1, 0, RGB(255, 255, 255), &back));

    // Stretched: composed over white first.
    CTestCanvas canvas(6, 2, 0);
    CDC dc;
    dc.Attach(canvas.GetDC());
    EXPECT_TRUE(reader.DrawStretched(&dc, nullptr, CRect(0, 0, 6, 2), 0));
    dc.Detach();
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(2, 1));
    EXPECT_EQ(RGB(5, 6, 7), canvas.Pixel(5, 0));
}

TEST(PngReader, VerticalCropDrawsTheLowerRows)
{
    PngRecipe s = PngOf(10, 10, PNG_COLOR_TYPE_RGB, 8, {});
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++)
            s.rows.insert(s.rows.end(), {BYTE(y * 20), BYTE(x * 20), 0});
    CPngReader reader;
    ASSERT_TRUE(Load(reader, MakePng(s)));
    reader.SetCrop(0x43);
    EXPECT_EQ(CSize(10, 7), reader.GetSize());
    CTestCanvas canvas(10, 10, RGB(1, 2, 3));
    CDC dc;
    dc.Attach(canvas.GetDC());
    EXPECT_TRUE(reader.Draw(&dc, CPoint(0, 0), 0, nullptr, CPoint()));
    dc.Detach();
    EXPECT_EQ(RGB(60, 0, 0), canvas.Pixel(0, 0));
    EXPECT_EQ(RGB(180, 180, 0), canvas.Pixel(9, 6));
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(0, 7));
}

// The chunk at nAt (length, type, data, CRC) gets a correct CRC again.
void FixCrc(Bytes& b, size_t nAt)
{
    const uint32_t nLength = uint32_t(b[nAt] << 24 | b[nAt + 1] << 16 | b[nAt + 2] << 8 | b[nAt + 3]);
    const uint32_t nCrc = uint32_t(crc32(0, b.data() + nAt + 4, nLength + 4));
    for (int i = 0; i < 4; i++)
        b[nAt + 8 + nLength + i] = BYTE(nCrc >> (24 - 8 * i));
}

TEST(PngReader, DamagedFilesFailCleanly)
{
    PngRecipe s = PngOf(16, 16, PNG_COLOR_TYPE_RGB, 8, {});
    for (int i = 0; i < 16 * 16 * 3; i++)
        s.rows.push_back(BYTE(i * 31));
    const Bytes good = MakePng(s);
    size_t nIdat = 0;
    for (size_t i = 8; i + 8 < good.size(); i++) {
        if (memcmp(good.data() + i + 4, "IDAT", 4) == 0) {
            nIdat = i;
            break;
        }
    }
    ASSERT_NE(0u, nIdat);
    const size_t nIdatEnd = nIdat + 12 + (good[nIdat + 2] << 8 | good[nIdat + 3]);
    struct Row
    {
        const char* pszName;
        Bytes data;
        bool bLoads;
    } rows[] = {
        {"whole", good, true},
        {"without the end chunk", Bytes(good.begin(), good.begin() + nIdatEnd), true},
        {"last IDAT bytes missing", Bytes(good.begin(), good.begin() + nIdatEnd - 6), false},
        {"cut in the header", Bytes(good.begin(), good.begin() + 20), false},
        {"signature only", Bytes(good.begin(), good.begin() + 8), false},
        {"7 bytes", Bytes(good.begin(), good.begin() + 7), false},
        {"bad IHDR CRC", [&] { Bytes b = good; b[8 + 8 + 13] ^= 1; return b; }(), false},
        {"bad IDAT CRC", [&] { Bytes b = good; b[nIdatEnd - 1] ^= 1; return b; }(), false},
        {"bad image data", [&] { Bytes b = good; b[nIdat + 10] ^= 0xFF; FixCrc(b, nIdat); return b; }(), false},
        {"colour type 5", [&] { Bytes b = good; b[8 + 8 + 9] = 5; FixCrc(b, 8); return b; }(), false},
        {"65535 x 65535", [&] { Bytes b = good; b[18] = b[19] = b[22] = b[23] = 0xFF; FixCrc(b, 8); return b; }(), false},
        {"width 2^31", [&] { Bytes b = good; b[16] = 0x80; FixCrc(b, 8); return b; }(), false},
    };
    for (const Row& row : rows) {
        CPngReader reader;
        EXPECT_EQ(row.bLoads, Load(reader, row.data)) << row.pszName;
        EXPECT_EQ(row.bLoads, reader.IsLoaded() != 0) << row.pszName;
    }

    CPngReader reader;
    ASSERT_TRUE(Load(reader, good));
    reader.SetCrop(2);
    EXPECT_FALSE(Load(reader, rows[2].data));
    EXPECT_EQ(CSize(14, 16), reader.GetSize()) << "a failed load keeps the picture and its crop";
    EXPECT_EQ(good.size(), reader.GetSourceSize());
    EXPECT_EQ(nullptr, reader.GetFrameDib());

    CImageReader holder, copy;
    ASSERT_TRUE(CImageReader::LoadFromMemory(good.data(), holder, uint32_t(good.size()), TRUE));
    EXPECT_EQ(CImageReader::png, holder.GetFormat());
    CImageReader::Copy(copy, holder);
    EXPECT_EQ(holder.GetReader()->GetMemorySize(), copy.GetReader()->GetMemorySize());
    EXPECT_EQ(0, memcmp(static_cast<CPngReader*>(holder.GetReader())->GetRow(15),
                        static_cast<CPngReader*>(copy.GetReader())->GetRow(15), 48));
}

TEST(PngReader, FailureInsideLibpngLeaksNothing)
{
    PngRecipe s = PngOf(256, 256, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    for (int i = 0; i < 256 * 256 * 4; i++)
        s.rows.push_back(BYTE(i * 13 + i / 1024));
    Bytes file = MakePng(s);
    file.resize(file.size() - 12 - 40);   // the end chunk and the last image bytes
    CPngReader reader;
    const uint64_t nBefore = HeapBytesInUse();
    for (int i = 0; i < 400; i++)
        ASSERT_FALSE(Load(reader, file));
    const uint64_t nAfter = HeapBytesInUse();
    // 400 lost buffers of 256 KB would be 100 MB.
    EXPECT_LT(nAfter, nBefore + (uint64_t(32) << 20)) << "before " << nBefore << ", after " << nAfter;
}

}  // namespace
