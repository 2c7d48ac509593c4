// GIF pictures: frames, delays, transparency, disposal, interlace, damaged
// streams, and frames that reach outside the logical screen.
#include "collection/GifReader.h"
#include "tests/collection/PictureSamples.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0), kBack = RGB(9, 9, 9);

GifFrameRecipe Frame(int left, int top, int cx, int cy, BYTE index)
{
    GifFrameRecipe f;
    f.left = left;
    f.top = top;
    f.cx = cx;
    f.cy = cy;
    f.pixels.assign(size_t(cx) * cy, index);
    return f;
}

GifRecipe Screen(int cx, int cy)
{
    GifRecipe s;
    s.cx = cx;
    s.cy = cy;
    s.globalTable = {kRed, kBlue, kGreen, RGB(255, 255, 255)};
    return s;
}

bool Load(CGifReader& reader, const Bytes& b, BOOL bAll = TRUE)
{
    return reader.Load(b.data(), uint32_t(b.size()), bAll) != 0;
}

// Draws frames in order into one canvas, as an animation does.
struct Player
{
    CTestCanvas canvas;
    CDC dc;
    explicit Player(int cx, int cy) : canvas(cx, cy, RGB(77, 77, 77)) { dc.Attach(canvas.GetDC()); }
    ~Player() { dc.Detach(); }
    int Next(CGifReader& reader, CDC* pBack = nullptr) { return reader.DrawNextFrame(&dc, CPoint(0, 0), kBack, pBack, CPoint(0, 0)); }
};

TEST(GifReader, DelaysOfAnimations)
{
    struct Row
    {
        const char* pszName;
        std::vector<int> delaysCs;     // -1: no control extension
        std::vector<int> expectedMs;
    } rows[] = {
        {"all short", {0, 1, 1}, {100, 100, 100}},
        {"zero among long", {0, 50}, {100, 500}},
        {"no extensions", {-1, -1}, {100, 100}},
        {"single frame keeps 0", {0}, {0}},
        {"single frame keeps 20", {2}, {20}},
        {"long ones kept", {7, 3}, {70, 30}},
    };
    for (const Row& row : rows) {
        GifRecipe s = Screen(2, 2);
        for (int d : row.delaysCs) {
            GifFrameRecipe f = Frame(0, 0, 2, 2, 1);
            f.bControl = d >= 0;
            f.nDelayCs = d < 0 ? 0 : d;
            s.frames.push_back(f);
        }
        CGifReader reader;
        ASSERT_TRUE(Load(reader, MakeGif(s))) << row.pszName;
        ASSERT_EQ(int(row.expectedMs.size()), reader.GetFrameCount()) << row.pszName;
        Player player(2, 2);
        for (size_t i = 0; i < row.expectedMs.size(); i++)
            EXPECT_EQ(row.expectedMs[i], player.Next(reader)) << row.pszName << " frame " << i;
        EXPECT_EQ(0, reader.GetCurrentFrame()) << row.pszName << ": wraps to the first frame";
    }
}

TEST(GifReader, DisposalRestoresThePreviousFrameArea)
{
    struct { int nDisposal; COLORREF clrExpected; } rows[] = {
        {0, kRed}, {1, kRed}, {2, kBack}, {3, kBack}, {4, kRed}, {7, kRed},
    };
    for (const auto& row : rows) {
        GifRecipe s = Screen(3, 1);
        GifFrameRecipe f0 = Frame(0, 0, 1, 1, 0);
        f0.bControl = true;
        f0.nDisposal = row.nDisposal;
        s.frames = {f0, Frame(1, 0, 1, 1, 1)};
        CGifReader reader;
        ASSERT_TRUE(Load(reader, MakeGif(s)));
        Player player(3, 1);
        player.Next(reader);
        EXPECT_EQ(kRed, player.canvas.Pixel(0, 0));
        EXPECT_EQ(kBack, player.canvas.Pixel(2, 0)) << "the first frame clears the whole picture";
        player.Next(reader);
        EXPECT_EQ(row.clrExpected, player.canvas.Pixel(0, 0)) << "disposal " << row.nDisposal;
        EXPECT_EQ(kBlue, player.canvas.Pixel(1, 0));
    }
}

TEST(GifReader, TransparentPixelsShowTheBackground)
{
    GifRecipe s = Screen(4, 1);
    GifFrameRecipe f = Frame(0, 0, 4, 1, 0);
    f.pixels = {0, 3, 3, 1};
    f.bControl = true;
    f.nTransparent = 3;
    s.frames = {f};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    EXPECT_TRUE(reader.HasTransparency(0));
    EXPECT_FALSE(reader.HasTransparency(1));
    EXPECT_EQ(RGB(255, 255, 255), reader.GetFrame(0).clr);

    Player player(4, 1);
    player.Next(reader);
    const COLORREF expected[] = {kRed, kBack, kBack, kBlue};
    for (int x = 0; x < 4; x++)
        EXPECT_EQ(expected[x], player.canvas.Pixel(x, 0)) << "solid background, x " << x;

    CTestCanvas back(4, 1, RGB(1, 100, 200));
    CDC backDC;
    backDC.Attach(back.GetDC());
    player.canvas.Fill(0);
    reader.SetCurrentFrame(0);
    player.Next(reader, &backDC);
    EXPECT_EQ(RGB(1, 100, 200), player.canvas.Pixel(1, 0)) << "background DC";
    EXPECT_EQ(kRed, player.canvas.Pixel(0, 0));

    CTestCanvas mask(4, 2, RGB(50, 50, 50));
    CDC maskDC;
    maskDC.Attach(mask.GetDC());
    EXPECT_TRUE(reader.DrawMask(&maskDC, nullptr, CRect(0, 0, 4, 1), 0));
    EXPECT_TRUE(reader.DrawStretched(&maskDC, nullptr, CRect(0, 1, 4, 2), 0));
    maskDC.Detach();
    backDC.Detach();
    EXPECT_EQ(RGB(0, 0, 0), mask.Pixel(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), mask.Pixel(1, 0));
    EXPECT_EQ(RGB(0, 0, 0), mask.Pixel(1, 1)) << "stretched frame: transparent pixels black";
    EXPECT_EQ(kBlue, mask.Pixel(3, 1));
}

TEST(GifReader, WholeFrameMaskReadsWhatDrawMaskDraws)
{
    // 11 x 3: rows wider than one mask byte; a frame that covers the picture
    // is read, one that does not (offset, or a crop) is left to drawing.
    GifRecipe s = Screen(11, 3);
    GifFrameRecipe f = Frame(0, 0, 11, 3, 0);
    f.pixels.assign(33, 1);
    for (int i : {0, 5, 9, 10, 12, 21, 32})
        f.pixels[size_t(i)] = 3;
    f.bControl = true;
    f.nTransparent = 3;
    s.frames = {f};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    std::vector<BYTE> transparent;
    ASSERT_TRUE(reader.GetWholeFrameMask(0, transparent));
    CTestCanvas mask(11, 3, RGB(50, 50, 50));
    CDC maskDC;
    maskDC.Attach(mask.GetDC());
    EXPECT_TRUE(reader.DrawMask(&maskDC, nullptr, CRect(0, 0, 11, 3), 0));
    maskDC.Detach();
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 11; x++)
            EXPECT_EQ(mask.Pixel(x, y) == RGB(255, 255, 255), transparent[size_t(y) * 11 + x] == 1) << x << "," << y;

    GifRecipe offset = Screen(12, 3);
    GifFrameRecipe g = f;
    g.left = 1;
    offset.frames = {g};
    CGifReader shifted;
    ASSERT_TRUE(Load(shifted, MakeGif(offset)));
    EXPECT_FALSE(shifted.GetWholeFrameMask(0, transparent));
    EXPECT_FALSE(shifted.GetWholeFrameMask(1, transparent));
}

TEST(GifReader, StretchedFrameAndMaskKeepTheCropWithAndWithoutDrawDib)
{
    // Top row transparent, bottom row blue; crop 0x41 leaves the bottom row.
    GifRecipe s = Screen(2, 2);
    GifFrameRecipe f = Frame(0, 0, 2, 2, 1);
    f.pixels = {3, 3, 1, 1};
    f.bControl = true;
    f.nTransparent = 3;
    s.frames = {f};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    struct { BYTE nCrop; COLORREF clrTop, clrMaskTop; } rows[] = {
        {0x00, RGB(0, 0, 0), RGB(255, 255, 255)},
        {0x41, kBlue, RGB(0, 0, 0)},
    };
    const HDRAWDIB hDrawDib = DrawDibOpen();
    for (const auto& row : rows) {
        reader.SetCrop(row.nCrop);
        for (HDRAWDIB h : {HDRAWDIB(nullptr), hDrawDib}) {
            const char* pszHow = h ? "DrawDib" : "StretchDIBits";
            CTestCanvas canvas(4, 4, RGB(50, 50, 50));
            CDC dc;
            dc.Attach(canvas.GetDC());
            EXPECT_TRUE(reader.DrawStretched(&dc, h, CRect(0, 0, 4, 4), 0));
            dc.Detach();
            EXPECT_EQ(row.clrTop, canvas.Pixel(3, 0)) << pszHow << " crop " << int(row.nCrop);
            EXPECT_EQ(kBlue, canvas.Pixel(0, 3)) << pszHow << " crop " << int(row.nCrop);

            canvas.Fill(RGB(50, 50, 50));
            dc.Attach(canvas.GetDC());
            EXPECT_TRUE(reader.DrawMask(&dc, h, CRect(0, 0, 4, 4), 0));
            dc.Detach();
            EXPECT_EQ(row.clrMaskTop, canvas.Pixel(3, 0)) << pszHow << " mask, crop " << int(row.nCrop);
            EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(0, 3)) << pszHow << " mask, crop " << int(row.nCrop);
        }
    }
    if (hDrawDib)
        DrawDibClose(hDrawDib);
}

TEST(GifReader, InterlacedRowsLandInPlace)
{
    GifRecipe s;
    s.cx = 1;
    s.cy = 10;
    for (int i = 0; i < 16; i++)
        s.globalTable.push_back(RGB(i * 16, 0, 255 - i * 16));
    GifFrameRecipe f = Frame(0, 0, 1, 10, 0);
    for (int y = 0; y < 10; y++)
        f.pixels[y] = BYTE(y);
    f.bInterlaced = true;
    s.frames = {f};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    Player player(1, 10);
    player.Next(reader);
    for (int y = 0; y < 10; y++)
        EXPECT_EQ(s.globalTable[y], player.canvas.Pixel(0, y)) << "row " << y;
}

TEST(GifReader, FramesReachingOutsideTheScreenAreClipped)
{
    GifRecipe s = Screen(4, 4);
    s.frames = {Frame(0, 0, 4, 4, 0), Frame(2, 2, 4, 4, 1), Frame(10, 0, 2, 2, 2)};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    CTestCanvas canvas(8, 8, RGB(77, 77, 77));
    CDC dc;
    dc.Attach(canvas.GetDC());
    EXPECT_EQ(100, reader.DrawNextFrame(&dc, CPoint(0, 0), kBack, nullptr, CPoint()));
    EXPECT_EQ(100, reader.DrawNextFrame(&dc, CPoint(0, 0), kBack, nullptr, CPoint()));
    EXPECT_EQ(100, reader.DrawNextFrame(&dc, CPoint(0, 0), kBack, nullptr, CPoint())) << "outside: nothing to draw";
    dc.Detach();
    EXPECT_EQ(kRed, canvas.Pixel(1, 1));
    EXPECT_EQ(kBlue, canvas.Pixel(3, 3));
    EXPECT_EQ(RGB(77, 77, 77), canvas.Pixel(4, 4));
    EXPECT_EQ(RGB(77, 77, 77), canvas.Pixel(5, 3));
}

TEST(GifReader, ScreenSizeBitCountAndCrop)
{
    GifRecipe s = Screen(0, 0);
    s.frames = {Frame(0, 0, 32, 32, 1)};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    EXPECT_EQ(CSize(32, 32), reader.GetSize());
    reader.SetCrop(0x43);
    EXPECT_EQ(CSize(32, 29), reader.GetSize());
    EXPECT_EQ(2 * (32 + 29), reader.GetPerimeter());

    struct { int nRes; size_t nTable; int nBpp; } rows[] = {
        {3, 2, 4}, {1, 2, 8}, {0, 2, 1}, {0, 16, 4}, {7, 2, 8}, {0, 32, 8},
    };
    for (const auto& row : rows) {
        GifRecipe t = Screen(2, 2);
        t.nColorRes = row.nRes;
        t.globalTable.resize(row.nTable, RGB(1, 2, 3));
        t.frames = {Frame(0, 0, 2, 2, 1)};
        ASSERT_TRUE(Load(reader, MakeGif(t)));
        EXPECT_EQ(row.nBpp, reader.GetFrameDib()->biBitCount) << "resolution " << row.nRes << ", table " << row.nTable;
    }
}

TEST(GifReader, ControlExtensionAppliesToTheNextImageOnly)
{
    GifRecipe s = Screen(2, 1);
    s.bCommentAfterControl = true;
    GifFrameRecipe f0 = Frame(0, 0, 2, 1, 0);
    f0.bControl = true;
    f0.nTransparent = 1;
    f0.nDisposal = 2;
    f0.nDelayCs = 30;
    s.frames = {f0, Frame(0, 0, 2, 1, 1)};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    ASSERT_EQ(2, reader.GetFrameCount());
    EXPECT_TRUE(reader.HasTransparency(0));
    EXPECT_EQ(2, reader.GetFrame(0).nDisposal);
    EXPECT_EQ(300, reader.GetFrame(0).nDelay);
    EXPECT_FALSE(reader.HasTransparency(1));
    EXPECT_EQ(0, reader.GetFrame(1).nDisposal);
    EXPECT_EQ(100, reader.GetFrame(1).nDelay);

    const uint32_t nFull = reader.GetMemorySize();
    EXPECT_EQ(40 + reader.GetFrame(0).nBitmapSize + reader.GetFrame(0).nMaskSize + 28 + reader.GetFrame(1).nBitmapSize + 28,
              nFull);
    reader.SetCurrentFrame(1);
    reader.DropExtraFrames();
    EXPECT_EQ(1, reader.GetFrameCount());
    EXPECT_EQ(0, reader.GetCurrentFrame());
    EXPECT_EQ(68 + reader.GetFrame(0).nBitmapSize + reader.GetFrame(0).nMaskSize, reader.GetMemorySize());
    EXPECT_FALSE(reader.SetCurrentFrame(1));

    ASSERT_TRUE(Load(reader, MakeGif(s), FALSE));
    EXPECT_EQ(1, reader.GetFrameCount());
}

TEST(GifReader, DamagedStreams)
{
    GifRecipe s = Screen(16, 16);
    GifFrameRecipe f = Frame(0, 0, 16, 16, 0);
    for (size_t i = 0; i < f.pixels.size(); i++)
        f.pixels[i] = BYTE((i * 7 / 5) % 4);
    s.frames = {f};
    const Bytes good = MakeGif(s);
    const size_t nImage = 13 + 12 + 10 + 1;   // header, table, descriptor, code size
    struct Row
    {
        const char* pszName;
        Bytes data;
        bool bLoads;
        int nFrames;
    } rows[] = {
        {"good", good, true, 1},
        {"cut in the code stream", Bytes(good.begin(), good.begin() + nImage + 10), true, 1},
        {"cut in the descriptor", Bytes(good.begin(), good.begin() + 13 + 12 + 5), true, 0},
        {"12 bytes", Bytes(good.begin(), good.begin() + 12), false, 0},
        {"no blocks", Bytes(good.begin(), good.begin() + 13 + 12), true, 0},
        {"0x05 block skipped", [&] { Bytes b(good.begin(), good.begin() + 25); b.insert(b.end(), {5, 1, 2, 3, 4, 5});
                                     b.insert(b.end(), good.begin() + 25, good.end()); return b; }(), true, 1},
        {"0xFF near the end", [&] { Bytes b(good.begin(), good.end() - 1); b.insert(b.end(), {0xFF, 1, 2}); return b; }(), false, 0},
        {"code size 12", [&] { Bytes b = good; b[nImage - 1] = 12; return b; }(), true, 1},
        {"code size 0", [&] { Bytes b = good; b[nImage - 1] = 0; return b; }(), true, 1},
        {"screen 17420 x 7771", [&] { Bytes b = good; b[6] = 0x0C; b[7] = 0x44; b[8] = 0x5B; b[9] = 0x1E; return b; }(), false, 0},
        {"screen 4096 x 4096", [&] { Bytes b = good; b[6] = 0; b[7] = 0x10; b[8] = 0; b[9] = 0x10; return b; }(), true, 1},
        {"frame 65535 x 65535", [&] { Bytes b = good; for (int i = 0; i < 4; i++) b[13 + 12 + 5 + i] = 0xFF; return b; }(), false, 0},
    };
    for (const Row& row : rows) {
        CGifReader reader;
        EXPECT_EQ(row.bLoads, Load(reader, row.data)) << row.pszName;
        EXPECT_EQ(row.nFrames, reader.GetFrameCount()) << row.pszName;
        if (reader.GetFrameCount()) {
            Player player(16, 16);
            EXPECT_GE(player.Next(reader), 0) << row.pszName;
        }
    }

    // A cut stream keeps the rows it has; the rest is index 0.
    CGifReader reader;
    ASSERT_TRUE(Load(reader, Bytes(good.begin(), good.begin() + nImage + 10)));
    Player player(16, 16);
    player.Next(reader);
    EXPECT_EQ(kRed, player.canvas.Pixel(15, 15));
}

TEST(GifReader, TransparentIndexOutsideTheTableIsIgnored)
{
    GifRecipe s = Screen(2, 1);
    s.globalTable = {kRed, kBlue};
    s.nColorRes = 0;
    GifFrameRecipe f = Frame(0, 0, 2, 1, 1);
    f.bControl = true;
    f.nTransparent = 200;
    s.frames = {f};
    CGifReader reader;
    ASSERT_TRUE(Load(reader, MakeGif(s)));
    EXPECT_EQ(1, reader.GetFrameDib()->biBitCount);
    EXPECT_FALSE(reader.HasTransparency(0));
}

}  // namespace
