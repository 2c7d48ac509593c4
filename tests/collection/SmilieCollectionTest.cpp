// A smilie against the open collection file: the size and export of its
// picture record, and picture ids of merged files as records load.
#include "services/Languages.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "tests/collection/PictureSamples.h"
#include "tests/collection/SmilieTestField.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include <gtest/gtest.h>

namespace {

// Opens a collection with the given records as the program's one collection
// file for the length of a test.
class OpenCollection
{
public:
    OpenCollection(const TvnxTempDir& dir, const std::vector<TestRecord>& records)
    {
        TestCollection c;
        c.records = records;
        m_strPath = dir.Path("open.tvnx");
        EXPECT_TRUE(WriteBytes(m_strPath, c.Build()));
        g_pCollectionFile = new CTvnxSave;
        EXPECT_EQ(0, g_pCollectionFile->OpenCollection(m_strPath.c_str(), FALSE, 0));
    }
    ~OpenCollection()
    {
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
    }

private:
    std::string m_strPath;
};

// An image cache bound to the open collection for the length of a test.
class ImageCache
{
public:
    ImageCache()
    {
        g_pImgCache = new CImgCache;
        g_pImgCache->Reset();
    }
    ~ImageCache()
    {
        delete g_pImgCache;
        g_pImgCache = NULL;
    }
};

// A 20 by 10 picture.
Bytes Bmp20x10()
{
    BmpRecipe bmp;
    bmp.cx = 20;
    bmp.cy = 10;
    bmp.pixels.assign(200, RGB(10, 200, 30));
    return MakeBmp(bmp);
}

Bytes SaveRecordOf(const CSmilie& s)
{
    uint32_t n = 0;
    s.SaveRecord(NULL, &n);
    Bytes b(n);
    s.SaveRecord(b.data(), &n);
    return b;
}

}   // namespace

TEST(SmilieCollection, ExportWritesThePictureOrThePhrase)
{
    TvnxTempDir dir;
    const Bytes picture = Picture(5, 333);
    OpenCollection open(dir, {Rec(4, "grin.gif", picture)});

    CSmilie pic;
    pic.SetImage(4);
    EXPECT_EQ(333u, pic.GetImageDataSize());
    ASSERT_TRUE(pic.ExportToFile(dir.Path("pic.gif").c_str()));
    EXPECT_EQ(picture, ReadBytes(dir.Path("pic.gif")));

    CSmilie text;
    text.SetPhrase("one\r\ntwo\nthree", FALSE);
    WriteBytes(dir.Path("text.txt"), Bytes(100, 'x'));   // truncated, not overwritten in place
    ASSERT_TRUE(text.ExportToFile(dir.Path("text.txt").c_str()));
    EXPECT_EQ(Text("one\r\ntwo\r\nthree"), ReadBytes(dir.Path("text.txt")));

    struct Row
    {
        const char* name;
        uint32_t record;
        const char* source;
        const char* phrase;
        const char* file;
    } refused[] = {
        {"unknown record", 99, "", "", "a"},
        {"web smilie still to download", 0, "http://127.0.0.1/a.gif", "p", "b"},
        {"empty smilie", 0, "", "", "c"},
        {"folder that does not exist", 4, "", "", "nofolder\\d"},
    };
    for (const Row& row : refused) {
        SCOPED_TRACE(row.name);
        CSmilie s;
        s.SetImage(row.record);
        s.SetSource(row.source);
        s.SetPhrase(row.phrase, FALSE);
        EXPECT_FALSE(s.ExportToFile(dir.Path(row.file).c_str()));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.Path(row.file).c_str()));
    }
}

TEST(SmilieCollection, NoFileNoPictureBytes)
{
    CSmilie pic;
    pic.SetImage(4);
    EXPECT_EQ(0u, pic.GetImageDataSize());
    EXPECT_FALSE(pic.ExportToFile("Z:\\nonexistent\\x.gif"));
}

TEST(SmilieCollection, RecordsOfAMergedFileGetTheNewPictureIds)
{
    TvnxTempDir dir;
    OpenCollection open(dir, {Rec(1, "a.gif", Picture(1)), Rec(2, "b.gif", Picture(2))});

    TestCollection merged;
    merged.records = {Rec(1, "c.gif", Picture(3)), Rec(2, "same as a.gif", Picture(1))};
    ASSERT_TRUE(WriteBytes(dir.Path("merged.tvnx"), merged.Build()));
    uint32_t nAppended = 0;
    ASSERT_EQ(0, g_pCollectionFile->MergeFile(dir.Path("merged.tvnx").c_str(), &nAppended, 0));

    CSmilie stored;
    stored.SetImage(1);
    CSmilie s;
    ASSERT_TRUE(s.LoadRecord(SaveRecordOf(stored).data(), uint32_t(SaveRecordOf(stored).size()), nAppended));
    EXPECT_EQ(g_pCollectionFile->RemapId(nAppended, 1), s.m_nImageRecord);
    EXPECT_NE(0u, s.m_nImageRecord);
    EXPECT_NE(1u, s.m_nImageRecord);

    stored.SetImage(2);
    ASSERT_TRUE(s.LoadRecord(SaveRecordOf(stored).data(), uint32_t(SaveRecordOf(stored).size()), nAppended));
    EXPECT_EQ(1u, s.m_nImageRecord);   // the same picture is stored once

    // A record of the open collection itself raises the highest known id.
    stored.SetImage(500);
    ASSERT_TRUE(s.LoadRecord(SaveRecordOf(stored).data(), uint32_t(SaveRecordOf(stored).size()), 0));
    EXPECT_EQ(500u, s.m_nImageRecord);
    EXPECT_EQ(500u, g_pCollectionFile->GetHighestId());
}

TEST(SmilieCollection, ComposeTextWritesThePictureSizeUnderTheCrop)
{
    TvnxTempDir dir;
    OpenCollection open(dir, {Rec(4, "grin.bmp", Bmp20x10())});
    CTestSmilieField field(0, 0, CSmilie::s_DefaultTemplates[1][1]);
    CSmilie s;
    s.SetField(&field);
    s.SetSource("http://127.0.0.1/grin.bmp");
    s.SetImage(4);

    // Without an image cache the size placeholders stay.
    CString strText;
    s.ComposeText(strText);
    EXPECT_STREQ("<img src=\"http://127.0.0.1/grin.bmp\" width=\"<W>\" height=\"<H>\">", strText);

    ImageCache cache;
    struct Row
    {
        BYTE crop;
        const char* expected;
    } rows[] = {
        {0x00, "<img src=\"http://127.0.0.1/grin.bmp\" width=\"20\" height=\"10\">"},
        {0x05, "<img src=\"http://127.0.0.1/grin.bmp\" width=\"15\" height=\"10\">"},
        {0x43, "<img src=\"http://127.0.0.1/grin.bmp\" width=\"20\" height=\"7\">"},
    };
    for (const Row& row : rows) {
        s.m_nCrop = row.crop;
        s.ComposeText(strText);
        EXPECT_STREQ(row.expected, strText) << "crop " << int(row.crop);
    }

    s.SetPhrase("<W>x<H> <W>", FALSE);
    s.ComposeText(strText);
    EXPECT_STREQ("20x7 20", strText);
    s.SetField(NULL);
}

TEST(SmilieCollection, PictureSizeOffsetAndNameComeFromTheImageCache)
{
    TvnxTempDir dir;
    OpenCollection open(dir, {Rec(4, "pics\\faces/grin.face.bmp", Bmp20x10()), Rec(5, "plain", Bmp20x10()),
                                Rec(6, "a/b\\c.d.gif", Bmp20x10())});
    CSmilie s(40, 30);
    s.SetImage(4);

    // Without a cache: no size, no extension, the language's name for a
    // picture, and offsets collapse to 0.
    EXPECT_STREQ(GetLangString(522), s.GetImageName());
    EXPECT_EQ(CSize(0, 0), s.GetImageSize());
    EXPECT_EQ(nullptr, s.GetImageExtension());
    s.SetImageOffset(3, 4);
    EXPECT_EQ(0, s.m_nOffsetX);
    EXPECT_EQ(0, s.m_nOffsetY);

    ImageCache cache;
    EXPECT_STREQ("bmp", s.GetImageExtension());
    EXPECT_EQ(0u, s.m_nImageId);   // looked up, not kept
    EXPECT_EQ(CSize(0, 0), s.GetImageSize());
    s.m_nImageId = g_pImgCache->AddCollectionImage(4);
    EXPECT_EQ(CSize(20, 10), s.GetImageSize());

    // Offsets are given relative to the centred place and stored from the
    // cell's corner; (0, 0) is the centred marker.
    s.SetImageOffset(3, -2);
    EXPECT_EQ(3 + (40 - 20) / 2, s.m_nOffsetX);
    EXPECT_EQ(-2 + (30 - 10) / 2, s.m_nOffsetY);
    EXPECT_EQ(0u, s.m_nImageId);
    EXPECT_EQ(CPoint(0, 0), s.GetImageOffset());   // no image id
    s.m_nImageId = g_pImgCache->AddCollectionImage(4);
    EXPECT_EQ(CPoint(3, -2), s.GetImageOffset());
    s.SetImageOffset(0, 0);
    EXPECT_EQ(255, s.m_nOffsetX);
    EXPECT_EQ(255, s.m_nOffsetY);
    s.m_nImageId = g_pImgCache->AddCollectionImage(4);
    EXPECT_EQ(CPoint(0, 0), s.GetImageOffset());

    s.m_rcImage.SetRect(0, 0, 20, 10);
    EXPECT_FALSE(s.IsImageLargerThanCell());
    s.m_rcImage.SetRect(0, 0, 20, 9);
    EXPECT_TRUE(s.IsImageLargerThanCell());

    EXPECT_STREQ("pics\\faces/grin.face.bmp", s.GetImageName());
    EXPECT_STREQ("grin.face", s.GetImageFileName());
    CSmilie plain;
    plain.SetImage(5);
    EXPECT_STREQ("plain", plain.GetImageFileName());
    CSmilie backslash;
    backslash.SetImage(6);
    CString strName;
    backslash.BuildImageFileName(strName);
    EXPECT_STREQ("c.d", strName);
}

// Runs in a process started under the Japanese locale (tests/CMakeLists.txt):
// the second byte of a double-byte character may be a '\', which neither
// ends a folder nor starts the name.
TEST(SmilieCollectionCodePage932, PictureFileNamesStepByCharacter)
{
    ASSERT_EQ(932u, GetACP());
    const struct Row {
        const char* pszImageName;
        const char* pszFileName;
    } rows[] = {
        {"\x83\x5C.gif", "\x83\x5C"},                        // "so"
        {"pics\\\x95\x5C\x8E\xA6.png", "\x95\x5C\x8E\xA6"},  // "display"
        {"\x83\x5C\\\x83\x5C.x.bmp", "\x83\x5C.x"},           // a folder "so", a file "so.x"
        {"a.b/\x83\x5C", "\x83\x5C"},
    };
    TvnxTempDir dir;
    std::vector<TestRecord> records;
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); i++)
        records.push_back(Rec(uint32_t(10 + i), rows[i].pszImageName, Bmp20x10()));
    OpenCollection open(dir, records);
    ImageCache cache;
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); i++) {
        CSmilie s(40, 30);
        s.SetImage(uint32_t(10 + i));
        ASSERT_STREQ(rows[i].pszImageName, s.GetImageName());
        EXPECT_STREQ(rows[i].pszFileName, s.GetImageFileName()) << rows[i].pszImageName;
    }
}
