// The cache of decoded pictures over an open collection file: lookups that
// decode, the memory limit and the order of trimming, animation switch, reset.
#include "collection/ImgCache.h"
#include "collection/TvnxSave.h"
#include "tests/collection/PictureSamples.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include <gtest/gtest.h>

namespace {

DWORD g_nTicks = 0;
int g_nTickCalls = 0;
DWORD TestTicks()
{
    g_nTickCalls++;
    return g_nTicks += 10;
}

// A GIF of two frames whose colours differ by seed.
Bytes Animation(int nSeed)
{
    GifRecipe s;
    s.cx = s.cy = 8;
    s.globalTable = {RGB(nSeed, 0, 0), RGB(0, nSeed, 0)};
    GifFrameRecipe f;
    f.cx = f.cy = 8;
    f.pixels.assign(64, 0);
    GifFrameRecipe g = f;
    g.pixels.assign(64, 1);
    s.frames = {f, g};
    return MakeGif(s);
}

// A collection of nPictures animations (record ids 1..n) plus record n+1
// holding bytes that are no picture, opened as the collection file.
class ImgCacheTest : public ::testing::Test
{
protected:
    void Open(int nPictures)
    {
        TestCollection c;
        for (int i = 1; i <= nPictures; i++)
            c.records.push_back(Rec(uint32_t(i), "pic" + std::to_string(i) + ".gif", Animation(i)));
        c.records.push_back(Rec(uint32_t(nPictures + 1), "junk.gif", Text("GIF89a but nothing more of a picture")));
        const std::string path = m_dir.Path("cache.tvnx");
        ASSERT_TRUE(WriteBytes(path, c.Build()));
        ASSERT_EQ(CTvnxSave::openOk, m_file.OpenCollection(path.c_str(), FALSE, 0));
        g_pCollectionFile = &m_file;
        m_cache.m_pfnTickCount = TestTicks;
        m_cache.Reset();
        for (int i = 1; i <= nPictures + 1; i++)
            ASSERT_EQ(uint32_t(i), m_cache.AddCollectionImage(uint32_t(i)));
    }
    void TearDown() override
    {
        m_cache.RemoveAll();
        g_pCollectionFile = nullptr;
        m_file.Close();
    }
    bool Decoded(uint32_t nId) { return m_cache.GetEntry(int(nId) - 1)->pHolder != nullptr; }
    uint64_t Counted(uint32_t nId) { return m_cache.GetEntry(int(nId) - 1)->pHolder->GetReader()->GetMemorySize() + 8; }

    TvnxTempDir m_dir;
    CTvnxSave m_file;
    CImgCache m_cache;
};

TEST_F(ImgCacheTest, LookupsDecodeOnceAndCountMemory)
{
    Open(3);
    EXPECT_EQ(2u, m_cache.AddCollectionImage(2)) << "an existing record keeps its image id";
    EXPECT_EQ(-1, m_cache.Find(99));
    EXPECT_EQ(0, m_cache.GetCount() - 4);
    EXPECT_EQ(0u, m_cache.m_nMemoryUsed);
    EXPECT_EQ(1, m_cache.Find(2));
    EXPECT_STREQ("pic2.gif", m_cache.GetImageName(2));
    EXPECT_STREQ("gif", m_cache.GetImageExtension(2));
    EXPECT_EQ(2, m_cache.GetImageFrameCount(2));
    EXPECT_EQ(Counted(2), m_cache.m_nMemoryUsed);

    // Two lookups in a row stamp the use time once.
    m_cache.Find(1);
    const int nCalls = g_nTickCalls;
    m_cache.Find(3);
    m_cache.Find(3);
    EXPECT_EQ(nCalls + 1, g_nTickCalls);

    // A record that is no picture fails every time and counts nothing.
    const uint64_t nUsed = m_cache.m_nMemoryUsed;
    EXPECT_EQ(-2, m_cache.Find(4));
    EXPECT_EQ(-2, m_cache.Find(4));
    EXPECT_FALSE(Decoded(4));
    EXPECT_EQ(nUsed, m_cache.m_nMemoryUsed);

    struct { const char* pszName; bool bFound; } rows[] = {{"known", true}, {"unknown", false}};
    for (const auto& row : rows) {
        const uint32_t nId = row.bFound ? 1 : 77;
        CTestCanvas canvas(8, 8, 0);
        CDC dc;
        dc.Attach(canvas.GetDC());
        EXPECT_EQ(row.bFound ? 100 : -1, m_cache.DrawImageFrame(nId, &dc, CPoint(), 0, nullptr, CPoint())) << row.pszName;
        EXPECT_EQ(row.bFound, m_cache.SetImageFrame(nId, 1) != 0) << row.pszName;
        m_cache.SetImageCrop(nId, 0x42);
        EXPECT_EQ(row.bFound ? CSize(8, 6) : CSize(0, 0), m_cache.GetImageSize(nId)) << row.pszName;
        EXPECT_EQ(row.bFound ? 2 : 0, m_cache.GetImageFrameCount(nId)) << row.pszName;
        EXPECT_STREQ(row.bFound ? "pic1.gif" : "", m_cache.GetImageName(nId)) << row.pszName;
        g_pImgCache = &m_cache;
        EXPECT_EQ(row.bFound ? 0x42 : 0, GetCachedImageOption(nId)) << row.pszName;
        EXPECT_EQ(row.bFound, DrawCachedImage(nId, &dc, CPoint(), CPoint()) != 0) << row.pszName;
        g_pImgCache = nullptr;
        dc.Detach();
        if (row.bFound) {
            EXPECT_EQ(RGB(0, 1, 0), canvas.Pixel(0, 0)) << "the second frame is current";
        }
    }
}

TEST_F(ImgCacheTest, NothingIsFreedWithThirtyTwoEntriesOrFewer)
{
    Open(31);   // 32 entries with the junk record
    for (uint32_t i = 1; i <= 31; i++)
        m_cache.Find(i);
    m_cache.m_nMemoryLimit = 1;
    EXPECT_EQ(0u, m_cache.FreeMemory(int64_t(m_cache.m_nMemoryUsed), -1));
    EXPECT_GE(m_cache.Find(5), 0);
    for (uint32_t i = 1; i <= 31; i++)
        EXPECT_TRUE(Decoded(i)) << "entry " << i;
}

TEST_F(ImgCacheTest, OneLookupTrimsTheOldestButNeverTheOneLookedUp)
{
    Open(40);
    for (uint32_t i = 1; i <= 40; i++)
        ASSERT_GE(m_cache.Find(i), 0);
    const uint64_t nAll = m_cache.m_nMemoryUsed;
    EXPECT_EQ(40 * Counted(1), nAll);
    m_cache.m_nMemoryLimit = 1024;
    // Entry 1 is the oldest, but the lookup makes it the newest and spares it.
    ASSERT_GE(m_cache.Find(1), 0);
    EXPECT_TRUE(Decoded(1));
    for (uint32_t i = 2; i <= 9; i++)
        EXPECT_FALSE(Decoded(i)) << "entry " << i << " was among the 8 oldest";
    for (uint32_t i = 10; i <= 40; i++)
        EXPECT_TRUE(Decoded(i)) << "entry " << i;
    EXPECT_EQ(nAll - 8 * Counted(1), m_cache.m_nMemoryUsed);

    // A third of the memory in use ends the trim before the 8 positions are used.
    m_cache.m_nMemoryLimit = 0;
    for (uint32_t i = 2; i <= 9; i++)
        m_cache.Find(i);
    const uint64_t nBefore = m_cache.m_nMemoryUsed;
    const uint64_t nFreed = m_cache.FreeMemory(int64_t(2 * Counted(1)), -1);
    EXPECT_EQ(2 * Counted(1), nFreed);
    EXPECT_EQ(nBefore - nFreed, m_cache.m_nMemoryUsed);
    EXPECT_FALSE(Decoded(10));
    EXPECT_FALSE(Decoded(11));
    EXPECT_TRUE(Decoded(12));
}

TEST_F(ImgCacheTest, LimitIsKeptAsPicturesAreAdded)
{
    Open(60);
    m_cache.SetMemoryLimit(1023);
    EXPECT_EQ(0u, m_cache.m_nMemoryLimit);
    ASSERT_GE(m_cache.Find(1), 0);
    const uint64_t nOne = Counted(1);
    m_cache.SetMemoryLimit(40 * nOne);
    const uint64_t nLimit = m_cache.m_nMemoryLimit;
    for (uint32_t i = 1; i <= 60; i++) {
        ASSERT_GE(m_cache.Find(i), 0);
        EXPECT_LE(m_cache.m_nMemoryUsed, nLimit) << "after picture " << i;
        EXPECT_TRUE(Decoded(i));
        // The 32 pictures used last are always there.
        for (uint32_t k = i > 32 ? i - 31 : 1; k <= i; k++)
            ASSERT_TRUE(Decoded(k)) << "picture " << k << " after " << i;
    }
    uint64_t nSum = 0;
    for (uint32_t i = 1; i <= 60; i++)
        nSum += Decoded(i) ? Counted(i) : 0;
    EXPECT_EQ(nSum, m_cache.m_nMemoryUsed);

    // A new limit below the use trims at once, as far as the 32 newest allow.
    m_cache.SetMemoryLimit(1024);
    EXPECT_EQ(1024u, m_cache.m_nMemoryLimit);
    EXPECT_EQ(32 * nOne, m_cache.m_nMemoryUsed);
}

TEST_F(ImgCacheTest, FreeAllSparesOneAndResetEmpties)
{
    Open(40);
    for (uint32_t i = 1; i <= 40; i++)
        m_cache.Find(i);
    const uint64_t nUsed = m_cache.m_nMemoryUsed;
    EXPECT_EQ(0u, m_cache.FreeMemory(0, -1));
    EXPECT_EQ(nUsed, m_cache.FreeMemory(int64_t(nUsed), 4));
    EXPECT_EQ(Counted(5), m_cache.m_nMemoryUsed);
    for (uint32_t i = 1; i <= 40; i++)
        EXPECT_EQ(i == 5, Decoded(i)) << "entry " << i;
    EXPECT_GE(m_cache.Find(7), 0) << "freed pictures are decoded again";

    m_cache.Reset();
    EXPECT_EQ(0, m_cache.GetCount());
    EXPECT_EQ(0u, m_cache.m_nMemoryUsed);
    EXPECT_EQ(&m_file, m_cache.m_pCollectionFile);
    EXPECT_EQ(-1, m_cache.Find(7));
}

TEST_F(ImgCacheTest, AnimationSwitch)
{
    Open(3);
    m_cache.Find(1);
    m_cache.Find(2);
    EXPECT_EQ(2, m_cache.GetImageFrameCount(1));
    m_cache.SetAnimation(FALSE);
    EXPECT_EQ(1, m_cache.GetImageFrameCount(1));
    EXPECT_EQ(Counted(1) + Counted(2), m_cache.m_nMemoryUsed);
    EXPECT_EQ(1, m_cache.GetImageFrameCount(3)) << "decoded with its first frame only";
    m_cache.SetAnimation(FALSE);
    EXPECT_TRUE(Decoded(1));
    m_cache.SetAnimation(TRUE);
    EXPECT_FALSE(Decoded(1));
    EXPECT_EQ(0u, m_cache.m_nMemoryUsed);
    EXPECT_EQ(2, m_cache.GetImageFrameCount(1));
}

TEST(ImgCache, IdsAndPictureFiles)
{
    CImgCache cache;
    EXPECT_EQ(0u, cache.AddCollectionImage(1)) << "no collection file";
    cache.m_entries.Add(new CImgCache::CachedImage{nullptr, CString(), 0, 3, 0});
    cache.m_entries.Add(new CImgCache::CachedImage{nullptr, CString(), 0, 4, 0});
    EXPECT_EQ(5u, cache.GetFreeImageId());
    cache.RemoveAll();

    TvnxTempDir dir;
    const std::string path = dir.Path("one.gif");
    ASSERT_TRUE(WriteBytes(path, Animation(3)));
    const uint32_t nId = cache.AddFileImage(path.c_str());
    EXPECT_EQ(nId, cache.AddFileImage(path.c_str()));
    EXPECT_EQ(CSize(8, 8), cache.GetImageSize(nId));
    EXPECT_STREQ(path.c_str(), cache.GetImageName(nId));
    const uint32_t nMissing = cache.AddFileImage(dir.Path("none.gif").c_str());
    EXPECT_EQ(-2, cache.Find(nMissing));
}

TEST(ImgCache, TrimOrderIsConsistent)
{
    CImageReader holder;
    CImgCache::CachedImage undecodedA{nullptr, CString(), 1, 1, 500};
    CImgCache::CachedImage undecodedB{nullptr, CString(), 2, 2, 100};
    CImgCache::CachedImage old{&holder, CString(), 3, 3, 100};
    CImgCache::CachedImage recent{&holder, CString(), 4, 4, 200};
    CImgCache::CachedImage wrapped{&holder, CString(), 5, 5, 0xFFFFFF00};   // just before the tick count wrapped
    struct Row
    {
        const char* pszName;
        CImgCache::CachedImage* a;
        CImgCache::CachedImage* b;
        int nExpected;   // sign
    } rows[] = {
        {"two undecoded", &undecodedA, &undecodedB, 0},
        {"undecoded before decoded", &undecodedA, &old, -1},
        {"older before newer", &old, &recent, -1},
        {"same entry", &old, &old, 0},
        {"before the wrap is older", &wrapped, &old, -1},
    };
    for (const Row& row : rows) {
        const int n1 = CImgCache::CompareByUse(&row.a, &row.b);
        const int n2 = CImgCache::CompareByUse(&row.b, &row.a);
        EXPECT_EQ(row.nExpected, (n1 > 0) - (n1 < 0)) << row.pszName;
        EXPECT_EQ(-row.nExpected, (n2 > 0) - (n2 < 0)) << row.pszName << ", reversed";
    }
    old.pHolder = recent.pHolder = wrapped.pHolder = nullptr;   // owned by the test's holder
}

}  // namespace
