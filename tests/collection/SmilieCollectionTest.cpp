// A smilie against the open collection file: the size and export of its
// picture record, and picture ids of merged files as records load.
#include "collection/Smilie.h"
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
