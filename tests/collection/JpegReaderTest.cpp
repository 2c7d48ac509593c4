// JPEG pictures through libjpeg: grey, colour, CMYK with and without the
// Adobe marker, progressive, cut short and broken.
#include "collection/ImageReader.h"
#include "collection/JpegReader.h"
#include "tests/collection/PictureSamples.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

JpegRecipe Flat(int cx, int cy, int nComponents, std::vector<BYTE> sample)
{
    JpegRecipe s;
    s.cx = cx;
    s.cy = cy;
    s.nComponents = nComponents;
    for (int i = 0; i < cx * cy; i++)
        s.samples.insert(s.samples.end(), sample.begin(), sample.end());
    return s;
}

// The decoded pixel (x, y from the top) as stored: blue, green, red.
COLORREF Pixel(const CJpegReader& reader, int x, int y)
{
    const BITMAPINFOHEADER* p = reader.GetFrameDib();
    const int nStride = ((p->biWidth * 24 + 31) / 32) * 4;
    const BYTE* q = reinterpret_cast<const BYTE*>(p) + 40 + size_t(p->biHeight - 1 - y) * nStride + 3 * x;
    return RGB(q[2], q[1], q[0]);
}

bool Near(COLORREF a, COLORREF b, int nTolerance = 6)
{
    return abs(GetRValue(a) - GetRValue(b)) <= nTolerance && abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

TEST(JpegReader, DecodesGreyColourCmykAndProgressive)
{
    JpegRecipe progressive = Flat(16, 8, 3, {200, 40, 90});
    progressive.bProgressive = true;
    JpegRecipe plainCmyk = Flat(8, 8, 4, {0, 0, 0, 0});
    plainCmyk.bAdobeMarker = false;
    JpegRecipe plainCmyk2 = Flat(8, 8, 4, {0, 255, 255, 0});
    plainCmyk2.bAdobeMarker = false;
    struct Row
    {
        const char* pszName;
        JpegRecipe pic;
        COLORREF clrExpected;
    } rows[] = {
        {"grey", Flat(8, 8, 1, {90}), RGB(90, 90, 90)},
        {"colour", Flat(8, 8, 3, {250, 128, 10}), RGB(250, 128, 10)},
        {"progressive", progressive, RGB(200, 40, 90)},
        // Adobe CMYK stores inverted values: 0 everywhere is full ink, black.
        {"Adobe CMYK zero", Flat(8, 8, 4, {0, 0, 0, 0}), RGB(0, 0, 0)},
        {"Adobe CMYK no ink", Flat(8, 8, 4, {255, 255, 255, 255}), RGB(255, 255, 255)},
        {"Adobe CMYK cyan", Flat(8, 8, 4, {0, 255, 255, 255}), RGB(0, 255, 255)},
        {"plain CMYK zero", plainCmyk, RGB(255, 255, 255)},
        {"plain CMYK magenta, yellow", plainCmyk2, RGB(255, 0, 0)},
    };
    for (const Row& row : rows) {
        const Bytes file = MakeJpeg(row.pic);
        ASSERT_FALSE(file.empty()) << row.pszName;
        CJpegReader reader;
        ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE)) << row.pszName;
        EXPECT_EQ(CSize(row.pic.cx, row.pic.cy), reader.GetSize()) << row.pszName;
        EXPECT_EQ(24, reader.GetFrameDib()->biBitCount) << row.pszName;
        EXPECT_EQ(file.size(), reader.GetSourceSize()) << row.pszName;
        const COLORREF clr = Pixel(reader, row.pic.cx - 1, row.pic.cy - 1);
        EXPECT_TRUE(Near(row.clrExpected, clr)) << row.pszName << ": got " << std::hex << clr;
        if (row.pic.nComponents == 1) {
            EXPECT_TRUE(GetRValue(clr) == GetGValue(clr) && GetGValue(clr) == GetBValue(clr)) << row.pszName;
        }
    }
}

TEST(JpegReader, DrawsRowsInPlaceWithPaddingCleared)
{
    // Top half red, bottom half blue; width 1 gives 3 pixel bytes and 1 padding byte.
    JpegRecipe s = Flat(1, 16, 3, {255, 0, 0});
    for (int y = 8; y < 16; y++) {
        s.samples[3 * y] = 0;
        s.samples[3 * y + 2] = 255;
    }
    const Bytes file = MakeJpeg(s);
    CJpegReader reader;
    ASSERT_TRUE(reader.Load(file.data(), uint32_t(file.size()), FALSE));
    EXPECT_EQ(40u + 16 * 4, reader.GetFrameDib()->biSizeImage + 40);
    EXPECT_EQ(24u + 40 + 16 * 4, reader.GetMemorySize());
    const BYTE* pRows = reinterpret_cast<const BYTE*>(reader.GetFrameDib()) + 40;
    for (int y = 0; y < 16; y++)
        EXPECT_EQ(0, pRows[4 * y + 3]) << "padding of row " << y;

    CTestCanvas canvas(1, 16, 0);
    CDC dc;
    dc.Attach(canvas.GetDC());
    EXPECT_EQ(0, reader.DrawNextFrame(&dc, CPoint(0, 0), 0, nullptr, CPoint()));
    dc.Detach();
    EXPECT_TRUE(Near(RGB(255, 0, 0), canvas.Pixel(0, 1)));
    EXPECT_TRUE(Near(RGB(0, 0, 255), canvas.Pixel(0, 14)));
}

TEST(JpegReader, DamagedData)
{
    const Bytes good = MakeJpeg(Flat(32, 32, 3, {10, 200, 30}));
    size_t nScan = 0;   // just behind the start-of-scan header
    for (size_t i = 0; i + 1 < good.size(); i++) {
        if (good[i] == 0xFF && good[i + 1] == 0xDA) {
            nScan = i + 2 + (good[i + 2] << 8 | good[i + 3]);
            break;
        }
    }
    ASSERT_NE(0u, nScan);
    struct Row
    {
        const char* pszName;
        Bytes data;
        bool bLoads;
    } rows[] = {
        {"whole", good, true},
        {"cut after the headers", Bytes(good.begin(), good.begin() + nScan), true},
        {"cut in the scan", Bytes(good.begin(), good.begin() + nScan + 40), true},
        {"cut in the headers", Bytes(good.begin(), good.begin() + 30), false},
        {"no bytes", Bytes(), false},
        {"not a JPEG", Bytes(100, 0x41), false},
        {"width 0", [&] { Bytes b = good; for (size_t i = 0; i + 8 < b.size(); i++) if (b[i] == 0xFF && b[i + 1] == 0xC0) { b[i + 7] = 0; b[i + 8] = 0; break; } return b; }(), false},
        {"65500 x 65500", [&] { Bytes b = good; for (size_t i = 0; i + 8 < b.size(); i++) if (b[i] == 0xFF && b[i + 1] == 0xC0) { b[i + 5] = b[i + 7] = 0xFF; b[i + 6] = b[i + 8] = 0xDC; break; } return b; }(), false},
    };
    for (const Row& row : rows) {
        CJpegReader reader;
        EXPECT_EQ(row.bLoads, reader.Load(row.data.data(), uint32_t(row.data.size()), FALSE) != 0) << row.pszName;
    }

    // A failed load keeps the previous picture.
    CJpegReader reader;
    ASSERT_TRUE(reader.Load(good.data(), uint32_t(good.size()), FALSE));
    EXPECT_FALSE(reader.Load(good.data(), 30, FALSE));
    EXPECT_EQ(CSize(32, 32), reader.GetSize());
    EXPECT_EQ(good.size(), reader.GetSourceSize());
}

TEST(JpegReader, ErrorAfterTheRowsFreesEverything)
{
    // A second frame header where the end marker should be: libjpeg fails in
    // its last step, after the bitmap was made.
    Bytes file = MakeJpeg(Flat(256, 256, 3, {10, 20, 30}));
    ASSERT_EQ(0xD9, file.back());
    file.resize(file.size() - 2);
    file.insert(file.end(), {0xFF, 0xC0, 0, 11, 8, 0, 1, 0, 1, 1, 1, 0x11, 0, 0xFF, 0xD9});
    CJpegReader reader;
    const uint64_t nBefore = HeapBytesInUse();
    for (int i = 0; i < 600; i++)
        ASSERT_FALSE(reader.Load(file.data(), uint32_t(file.size()), FALSE));
    EXPECT_FALSE(reader.IsLoaded());
    // 600 lost bitmaps of 192 KB would be more than 100 MB.
    const uint64_t nAfter = HeapBytesInUse();
    EXPECT_LT(nAfter, nBefore + (uint64_t(32) << 20)) << "before " << nBefore << ", after " << nAfter;
}

TEST(JpegReader, HolderLoadsJfifAndCopies)
{
    const Bytes file = MakeJpeg(Flat(8, 8, 3, {1, 2, 3}));
    CImageReader holder, copy;
    ASSERT_TRUE(CImageReader::LoadFromMemory(file.data(), holder, uint32_t(file.size()), TRUE));
    EXPECT_EQ(CImageReader::jpg, holder.GetFormat());
    CImageReader::Copy(copy, holder);
    EXPECT_EQ(holder.GetReader()->GetSourceSize(), copy.GetReader()->GetSourceSize());
    EXPECT_EQ(holder.GetReader()->GetMemorySize(), copy.GetReader()->GetMemorySize());
    EXPECT_NE(holder.GetReader()->GetFrameDib(), copy.GetReader()->GetFrameDib());
}

}  // namespace
