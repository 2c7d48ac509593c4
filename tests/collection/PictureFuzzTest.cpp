// Bounded runs over mutated pictures of each format: loading, through the
// reader and through the holder, and drawing whatever loaded must end without
// a crash, a hang or a huge allocation.
#include "collection/BmpReader.h"
#include "collection/GifReader.h"
#include "collection/ImageReader.h"
#include "collection/JpegReader.h"
#include "collection/PngReader.h"
#include "tests/collection/PictureSamples.h"

#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

Bytes Mutate(const Bytes& base, FuzzRandom& rnd)
{
    Bytes b = base;
    const int nSteps = 1 + int(rnd.Below(3));
    for (int step = 0; step < nSteps && !b.empty(); step++) {
        switch (rnd.Below(6)) {
        case 0:
        case 1: {   // a few random bytes
            const uint32_t n = 1 + rnd.Below(4);
            for (uint32_t i = 0; i < n; i++)
                b[rnd.Below(uint32_t(b.size()))] = BYTE(rnd.Next());
            break;
        }
        case 2: {   // a byte or 16-bit field set to an edge value
            static const BYTE edges[] = {0, 1, 0x7F, 0x80, 0xFE, 0xFF};
            const uint32_t nAt = rnd.Below(uint32_t(b.size()));
            b[nAt] = edges[rnd.Below(sizeof(edges))];
            if (nAt + 1 < b.size() && rnd.Below(2))
                b[nAt + 1] = edges[rnd.Below(sizeof(edges))];
            break;
        }
        case 3:   // cut short
            b.resize(rnd.Below(uint32_t(b.size())));
            break;
        case 4: {   // a slice dropped
            const uint32_t nFrom = rnd.Below(uint32_t(b.size()));
            b.erase(b.begin() + nFrom, b.begin() + nFrom + rnd.Below(uint32_t(b.size()) - nFrom));
            break;
        }
        default: {   // a slice repeated
            const uint32_t nFrom = rnd.Below(uint32_t(b.size()));
            const Bytes slice(b.begin() + nFrom, b.begin() + nFrom + rnd.Below(uint32_t(b.size()) - nFrom));
            b.insert(b.begin() + rnd.Below(uint32_t(b.size())), slice.begin(), slice.end());
            break;
        }
        }
    }
    return b;
}

// Stretched drawing goes both ways: through the GDI and through a DrawDib
// handle, which copies the colour table the header names by itself.
void Exercise(CGraphicalFormatReader& reader, CDC* pDC, CDC* pBack, HDRAWDIB hDrawDib)
{
    const CSize size = reader.GetSize();
    EXPECT_LE(reader.GetMemorySize(), 2 * kMaxPictureBytes);
    EXPECT_LE(uint64_t(size.cx) * size.cy, 2 * kMaxPicturePixels);
    for (BYTE nCrop : {BYTE(0), BYTE(0x45), BYTE(0x03)}) {
        reader.SetCrop(nCrop);
        const int nFrames = reader.GetFrameCount();
        for (int i = 0; i < nFrames + 1 && i < 8; i++)
            reader.DrawNextFrame(pDC, CPoint(1, 1), RGB(1, 2, 3), (i & 1) ? pBack : nullptr, CPoint(2, 2));
        for (HDRAWDIB h : {HDRAWDIB(nullptr), hDrawDib}) {
            reader.DrawStretched(pDC, h, CRect(0, 0, 20, 20), 0);
            reader.DrawMask(pDC, h, CRect(0, 0, 20, 20), nFrames - 1);
        }
        reader.HasTransparency(0);
    }
}

void Fuzz(const char* pszName, const std::vector<Bytes>& samples,
          const std::function<CGraphicalFormatReader*()>& make, uint32_t nSeed)
{
    CTestCanvas canvas(64, 64, 0), back(64, 64, RGB(200, 100, 0));
    CDC dc, backDC;
    dc.Attach(canvas.GetDC());
    backDC.Attach(back.GetDC());
    FuzzRandom rnd{nSeed};
    CFuzzRun run(pszName, 3000, 2500);
    const HDRAWDIB hDrawDib = DrawDibOpen();
    int nLoaded = 0;
    while (run.More()) {
        const Bytes data = run.Take(Mutate(samples[run.Taken() % samples.size()], rnd));
        std::unique_ptr<CGraphicalFormatReader> reader(make());
        if (reader->Load(data.data(), uint32_t(data.size()), TRUE)) {
            nLoaded++;
            Exercise(*reader, &dc, &backDC, hDrawDib);
        }
        CImageReader holder;
        if (CImageReader::LoadFromMemory(data.data(), holder, uint32_t(data.size()), data.size() & 1)) {
            CImageReader copy;
            CImageReader::Copy(copy, holder);
            holder.DrawStretched(&dc, nullptr, CRect(0, 0, 10, 10));
            if (hDrawDib != NULL)
                holder.DrawStretched(&dc, hDrawDib, CRect(0, 0, 30, 30));
        }
        run.Done();
    }
    if (hDrawDib != NULL)
        DrawDibClose(hDrawDib);
    dc.Detach();
    backDC.Detach();
    if (run.Replaying())
        return;
    EXPECT_GT(run.Taken(), 50) << pszName;
    EXPECT_GT(nLoaded, 0) << pszName << ": no mutated picture loaded at all";
}

TEST(PictureFuzz, Bmp)
{
    std::vector<Bytes> samples;
    for (int nBpp : {1, 4, 8, 24, 32}) {
        BmpRecipe s;
        s.cx = 7;
        s.cy = 5;
        s.nBpp = nBpp;
        if (nBpp <= 8)
            s.palette.assign(size_t(1) << nBpp, RGB(10, 20, 30));
        for (int i = 0; i < 35; i++)
            s.pixels.push_back(nBpp <= 8 ? i % (1 << nBpp) : RGB(i, 2 * i, 3 * i));
        samples.push_back(MakeBmp(s));
    }
    Fuzz("bmp", samples, [] { return new CBmpReader; }, 11);
}

TEST(PictureFuzz, Gif)
{
    std::vector<Bytes> samples;
    for (int k = 0; k < 3; k++) {
        GifRecipe s;
        s.cx = 12;
        s.cy = 10;
        s.globalTable = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(9, 9, 9)};
        for (int n = 0; n < 3; n++) {
            GifFrameRecipe f;
            f.left = n;
            f.top = n;
            f.cx = 10 - n;
            f.cy = 8;
            for (int i = 0; i < f.cx * f.cy; i++)
                f.pixels.push_back(BYTE((i * (k + 3) / 7) % 4));
            f.bControl = true;
            f.nTransparent = n == 1 ? 3 : -1;
            f.nDisposal = n + k;
            f.bInterlaced = (n + k) % 2 == 0;
            f.nDelayCs = 5 * n;
            if (k == 2)
                f.localTable = {RGB(1, 1, 1), RGB(2, 2, 2)};
            s.frames.push_back(f);
        }
        samples.push_back(MakeGif(s));
    }
    Fuzz("gif", samples, [] { return new CGifReader; }, 22);
}

TEST(PictureFuzz, Jpeg)
{
    std::vector<Bytes> samples;
    for (int k = 0; k < 4; k++) {
        JpegRecipe s;
        s.cx = 17;
        s.cy = 9;
        s.nComponents = k == 0 ? 1 : k == 3 ? 4 : 3;
        s.bProgressive = k == 2;
        for (int i = 0; i < s.cx * s.cy * s.nComponents; i++)
            s.samples.push_back(BYTE(i * 13));
        samples.push_back(MakeJpeg(s));
    }
    Fuzz("jpeg", samples, [] { return new CJpegReader; }, 33);
}

TEST(PictureFuzz, Png)
{
    std::vector<Bytes> samples;
    struct { int nType, nDepth, nChannels; bool bInterlaced; } kinds[] = {
        {2, 8, 3, false}, {6, 8, 4, true}, {0, 16, 1, false}, {4, 8, 2, true}, {3, 8, 1, false},
    };
    for (const auto& k : kinds) {
        PngRecipe s;
        s.cx = 9;
        s.cy = 7;
        s.nColorType = k.nType;
        s.nBitDepth = k.nDepth;
        s.bInterlaced = k.bInterlaced;
        if (k.nType == 3) {
            s.palette = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)};
            s.trns = {0, 128};
        }
        for (int i = 0; i < s.cx * s.cy * k.nChannels * k.nDepth / 8; i++)
            s.rows.push_back(BYTE(k.nType == 3 ? i % 3 : i * 7));
        samples.push_back(MakePng(s));
    }
    Fuzz("png", samples, [] { return new CPngReader; }, 44);
}

}  // namespace
