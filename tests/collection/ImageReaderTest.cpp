// The holder: recognition by signature, loading from memory and file, copies.
#include "collection/BmpReader.h"
#include "collection/GifReader.h"
#include "collection/ImageReader.h"
#include "tests/collection/PictureSamples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

Bytes FromText(const char* psz, size_t n) { return Bytes(psz, psz + n); }

Bytes SmallGif()
{
    GifRecipe s;
    s.cx = s.cy = 2;
    s.globalTable = {RGB(255, 0, 0), RGB(0, 0, 255)};
    GifFrameRecipe f;
    f.cx = f.cy = 2;
    f.pixels = {0, 1, 1, 0};
    s.frames = {f, f};
    return MakeGif(s);
}

Bytes SmallBmp(int cx = 3, int cy = 2)
{
    BmpRecipe s;
    s.cx = cx;
    s.cy = cy;
    s.pixels.assign(size_t(cx) * cy, RGB(10, 20, 30));
    return MakeBmp(s);
}

TEST(ImageReader, DetectsFormatBySignature)
{
    static const BYTE kJfif[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0};
    static const BYTE kExif[] = {0xFF, 0xD8, 0xFF, 0xE1, 0, 16, 'E', 'x', 'i', 'f', 0};
    static const BYTE kAdobe[] = {0xFF, 0xD8, 0xFF, 0xEE, 0, 16, 'A', 'd', 'o', 'b', 'e'};
    static const BYTE kJfifShort[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'};
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static const BYTE kPngBad[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B};
    struct Row
    {
        const char* pszName;
        Bytes data;
        CImageReader::GRAPHICALFORMAT nExpected;
    } rows[] = {
        {"GIF89a, 6 bytes", FromText("GIF89a", 6), CImageReader::gif},
        {"GIF87a", FromText("GIF87a....", 10), CImageReader::gif},
        {"GIF89, 5 bytes", FromText("GIF89", 5), CImageReader::none},
        {"gif89a lower case", FromText("gif89a", 6), CImageReader::none},
        {"GIF90a", FromText("GIF90a", 6), CImageReader::none},
        {"BM, 2 bytes", FromText("BM", 2), CImageReader::bmp},
        {"B, 1 byte", FromText("B", 1), CImageReader::none},
        {"JFIF", Bytes(kJfif, kJfif + 11), CImageReader::jpg},
        {"Exif", Bytes(kExif, kExif + 11), CImageReader::jpg},
        {"Adobe APP14", Bytes(kAdobe, kAdobe + 11), CImageReader::none},
        {"JFIF, 10 bytes", Bytes(kJfifShort, kJfifShort + 10), CImageReader::none},
        {"PNG", Bytes(kPng, kPng + 8), CImageReader::png},
        {"PNG, first 4 bytes", Bytes(kPng, kPng + 4), CImageReader::png},
        {"PNG, wrong last byte", Bytes(kPngBad, kPngBad + 8), CImageReader::none},
        {"junk", FromText("hello world, no picture", 23), CImageReader::none},
        {"empty", Bytes(), CImageReader::none},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.nExpected, CImageReader::DetectFormat(row.data.data(), uint32_t(row.data.size())))
            << row.pszName;
    }
}

TEST(ImageReader, ExtensionsAndFormatList)
{
    EXPECT_STREQ("bmp", CImageReader::GetExtension(CImageReader::bmp));
    EXPECT_STREQ("gif", CImageReader::GetExtension(CImageReader::gif));
    EXPECT_STREQ("jpg", CImageReader::GetExtension(CImageReader::jpg));
    EXPECT_STREQ("png", CImageReader::GetExtension(CImageReader::png));
    EXPECT_EQ(nullptr, CImageReader::GetExtension(CImageReader::none));
    EXPECT_EQ(nullptr, CImageReader::GetExtension(CImageReader::GRAPHICALFORMAT(7)));

    struct { const char* psz; BOOL bExpected; } rows[] = {
        {"JPEG", TRUE}, {"jpg", TRUE}, {"Gif", TRUE}, {"PNG", TRUE}, {"bmp", TRUE}, {"tif", FALSE}, {"", FALSE},
        {nullptr, FALSE},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.bExpected, CImageReader::IsSupportedExtension(row.psz)) << (row.psz ? row.psz : "(null)");

    CSequence<CImageReader::GRAPHICALFORMAT> formats;
    formats.Add(CImageReader::png);
    CImageReader::GetFormats(formats);
    ASSERT_EQ(4, formats.GetSize());
    EXPECT_EQ(CImageReader::gif, formats[0]);
    EXPECT_EQ(CImageReader::bmp, formats[1]);
    EXPECT_EQ(CImageReader::jpg, formats[2]);
    EXPECT_EQ(CImageReader::png, formats[3]);
}

TEST(ImageReader, FailedLoadKeepsThePreviousPicture)
{
    CImageReader holder;
    EXPECT_FALSE(CImageReader::IsLoaded(holder));
    const Bytes gif = SmallGif();
    ASSERT_TRUE(CImageReader::LoadFromMemory(gif.data(), holder, uint32_t(gif.size()), TRUE));
    EXPECT_EQ(CImageReader::gif, holder.GetFormat());
    EXPECT_EQ(2, holder.GetReader()->GetFrameCount());
    CGraphicalFormatReader* pBefore = holder.GetReader();

    const Bytes junk = FromText("BM this is no bitmap at all, only words", 39);
    EXPECT_FALSE(CImageReader::LoadFromMemory(junk.data(), holder, uint32_t(junk.size()), TRUE));
    const Bytes bm = FromText("BM", 2);
    EXPECT_FALSE(CImageReader::LoadFromMemory(bm.data(), holder, 2, TRUE));
    EXPECT_EQ(pBefore, holder.GetReader());
    EXPECT_EQ(CImageReader::gif, holder.GetFormat());

    // With the keep-all-frames flag off only the first frame is decoded.
    ASSERT_TRUE(CImageReader::LoadFromMemory(gif.data(), holder, uint32_t(gif.size()), FALSE));
    EXPECT_EQ(1, holder.GetReader()->GetFrameCount());

    const Bytes bmp = SmallBmp();
    ASSERT_TRUE(CImageReader::LoadFromMemory(bmp.data(), holder, uint32_t(bmp.size()), TRUE));
    EXPECT_EQ(CImageReader::bmp, holder.GetFormat());
    EXPECT_EQ(3, holder.GetReader()->GetSize().cx);
}

TEST(ImageReader, CopyIsDeepAndAnEmptySourceEmptiesTheTarget)
{
    CImageReader source, target;
    const Bytes gif = SmallGif();
    ASSERT_TRUE(CImageReader::LoadFromMemory(gif.data(), source, uint32_t(gif.size()), TRUE));
    source.GetReader()->SetCrop(0x41);
    source.GetReader()->SetCurrentFrame(1);
    CImageReader::Copy(target, source);
    ASSERT_TRUE(CImageReader::IsLoaded(target));
    EXPECT_EQ(CImageReader::gif, target.GetFormat());
    EXPECT_NE(source.GetReader(), target.GetReader());
    const CGifReader* pSrc = static_cast<const CGifReader*>(source.GetReader());
    const CGifReader* pDst = static_cast<const CGifReader*>(target.GetReader());
    EXPECT_NE(pSrc->GetFrame(0).pBitmap, pDst->GetFrame(0).pBitmap);
    EXPECT_EQ(0, memcmp(pSrc->GetFrame(1).pBitmap, pDst->GetFrame(1).pBitmap, pSrc->GetFrame(1).nBitmapSize));
    EXPECT_EQ(0x41, target.GetReader()->GetCrop());
    EXPECT_EQ(1, target.GetReader()->GetCurrentFrame());
    EXPECT_EQ(source.GetReader()->GetMemorySize(), target.GetReader()->GetMemorySize());
    EXPECT_EQ(source.GetReader()->GetSourceSize(), target.GetReader()->GetSourceSize());

    CImageReader empty;
    CImageReader::Copy(target, empty);
    EXPECT_EQ(nullptr, target.GetReader());
    EXPECT_EQ(CImageReader::none, target.GetFormat());
}

std::string TempPath(const char* pszName)
{
    char szDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szDir);
    return std::string(szDir) + pszName;
}

void WriteFile(const std::string& path, const Bytes& data)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

TEST(ImageReader, LoadsFromFileOfTwelveBytesOrMore)
{
    const std::string path = TempPath("tvnx_imagereader_test.bmp");
    CImageReader holder;
    WriteFile(path, SmallBmp(5, 4));
    EXPECT_TRUE(CImageReader::LoadFromFile(path.c_str(), holder, TRUE));
    EXPECT_EQ(5, holder.GetReader()->GetSize().cx);

    WriteFile(path, FromText("GIF89a\x01\0\x01\0\0", 11));
    EXPECT_FALSE(CImageReader::LoadFromFile(path.c_str(), holder, TRUE));
    EXPECT_EQ(CImageReader::bmp, holder.GetFormat());
    EXPECT_FALSE(CImageReader::LoadFromFile((path + ".missing").c_str(), holder, TRUE));
    EXPECT_FALSE(CImageReader::LoadFromResource("Gif", "NoSuchPicture", GetModuleHandleA(nullptr), holder));
    EXPECT_EQ(CImageReader::bmp, holder.GetFormat());
    DeleteFileA(path.c_str());
}

}  // namespace
