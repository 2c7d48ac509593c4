// Saving collection files and merging update files into the open one.
#include "collection/TvnxSave.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TestCollection FiveRecords()
{
    TestCollection c;
    c.layout = Bytes{'L', 'a', 'y', 'o', 'u', 't', 0, 1, 2, 250, 251, 252};
    for (uint32_t i = 1; i <= 5; i++)
        c.records.push_back(Rec(i * 10, "pic" + std::to_string(i) + ".gif", Picture(i, 40 + i)));
    return c;
}

Bytes NewLayout(size_t nSize = 400)
{
    Bytes b(nSize);
    for (size_t i = 0; i < nSize; i++)
        b[i] = BYTE(255 - i * 3);
    return b;
}

// Every record of the file by id: name and data.
std::map<uint32_t, std::pair<std::string, Bytes>> Pictures(CTvnxSave& file)
{
    std::map<uint32_t, std::pair<std::string, Bytes>> m;
    for (uint32_t nId : RecordIds(file)) {
        std::string strName;
        Bytes data = RecordOf(file, nId, &strName);
        m[nId] = {strName, data};
    }
    return m;
}

// Points the temporary files of in-place saves at a folder of the test.
class TempFolderIn
{
public:
    explicit TempFolderIn(const std::string& strDir)
    {
        s_strDir = strDir;
        CTvnxSave::SetTempFolderProc(&Get);
    }
    ~TempFolderIn() { CTvnxSave::SetTempFolderProc(NULL); }

private:
    static std::string s_strDir;
    static int Get(int nSize, LPSTR psz)
    {
        if (int(s_strDir.size()) >= nSize)
            return 0;
        lstrcpyA(psz, s_strDir.c_str());
        return int(s_strDir.size());
    }
};
std::string TempFolderIn::s_strDir;

int CountFiles(const std::string& strDir)
{
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((strDir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

TEST(TvnxSaveSave, SaveToAnotherPathThenReopen)
{
    TvnxTempDir dir;
    const std::string strA = dir.Path("a.tvnx"), strB = dir.Path("b.tvnx");
    TestCollection c = FiveRecords();
    c.nLevel = 4;
    c.records[2].strName = std::string(50, 'L');   // kept whole: the area is copied as it is
    ASSERT_TRUE(WriteBytes(strA, c.Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(strA.c_str(), FALSE, 0));
    const Bytes pic = Picture(99, 64);
    const uint32_t nAppended = file.AppendRecord(pic.data(), "appended.png", uint32_t(pic.size()));
    ASSERT_NE(0u, nAppended);
    const auto before = Pictures(file);
    const Bytes layout = NewLayout();

    ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strB.c_str(), FALSE, 65535));
    CString strPath;
    ASSERT_TRUE(file.GetPath(strPath));
    EXPECT_STREQ(strA.c_str(), strPath);   // still on the file it had

    const Bytes stored = ReadBytes(strB);
    ASSERT_GE(stored.size(), 64u + layout.size());
    EXPECT_EQ(0, memcmp(stored.data(), "DUDAVOLAYOUT\0\0\0\0", 16));
    const uint32_t nFirst = 64 + uint32_t(layout.size());
    const std::pair<size_t, uint32_t> fields[] = {
        {16, TVNX_VERSION_CURRENT}, {20, 0}, {24, 64}, {28, uint32_t(layout.size())}, {32, 0x04000000},
        {36, nFirst}, {40, uint32_t(stored.size()) - nFirst}, {44, 6}, {48, 64}, {52, 0}, {56, 0}, {60, 64}};
    for (const auto& field : fields)
        EXPECT_EQ(field.second, GetLE32(stored, field.first)) << "header offset " << field.first;

    CTvnxSave saved;
    ASSERT_EQ(0, saved.OpenCollection(strB.c_str(), FALSE, 0));
    EXPECT_EQ(layout, LayoutOf(saved));
    EXPECT_EQ(before, Pictures(saved));
    EXPECT_EQ(4, saved.GetLevelByte());
}

TEST(TvnxSaveSave, CollectionWithoutPicturesIsHeaderAndLayout)
{
    TvnxTempDir dir;
    const std::string strNew = dir.Path("new.tvnx");
    CTvnxSave file;
    const Bytes layout = NewLayout(10);
    ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strNew.c_str(), TRUE, 0));
    const Bytes stored = ReadBytes(strNew);
    ASSERT_EQ(74u, stored.size());
    EXPECT_EQ(0u, GetLE32(stored, 40));
    EXPECT_EQ(0u, GetLE32(stored, 44));
    EXPECT_EQ(10, stored[35]);
    ASSERT_EQ(0, file.OpenCollection(strNew.c_str(), FALSE, 0));
    EXPECT_EQ(layout, LayoutOf(file));
    EXPECT_EQ(0, file.m_Records.GetSize());

    EXPECT_EQ(2, file.SaveCollection(0, layout.data(), strNew.c_str(), FALSE, 0));
    EXPECT_EQ(2, file.SaveCollection(10, NULL, strNew.c_str(), FALSE, 0));
    EXPECT_EQ(2, file.SaveCollection(10, layout.data(), "", FALSE, 0));
    EXPECT_EQ(2, file.SaveCollection(10, layout.data(), NULL, FALSE, 0));
}

TEST(TvnxSaveSave, SaveInPlaceReplacesAndReopens)
{
    TvnxTempDir dir, temp;
    TempFolderIn redirect(temp.Dir());
    const std::string strA = dir.Path("a.tvnx");
    ASSERT_TRUE(WriteBytes(strA, FiveRecords().Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(strA.c_str(), FALSE, 0));
    const Bytes pic = Picture(98, 64);
    ASSERT_NE(0u, file.AppendRecord(pic.data(), "appended.png", uint32_t(pic.size())));
    file.SetLevelByte(0);
    const auto before = Pictures(file);
    const Bytes layout = NewLayout();

    // Through another spelling of the same path.
    const std::string strSpelled = dir.Dir() + "\\.\\a.tvnx";
    ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strSpelled.c_str(), FALSE, 65535));
    CString strPath;
    ASSERT_TRUE(file.GetPath(strPath));
    EXPECT_STREQ(strA.c_str(), strPath);
    EXPECT_EQ(layout, LayoutOf(file));
    EXPECT_EQ(before, Pictures(file));
    EXPECT_EQ(0, file.GetLevelByte());
    EXPECT_EQ(TVNX_VERSION_CURRENT, file.GetVersion());
    EXPECT_EQ(1, CountFiles(dir.Dir()));
    EXPECT_EQ(0, CountFiles(temp.Dir()));   // the temporary file became the collection
}

TEST(TvnxSaveSave, UsedOnlySaveKeepsExactlyTheMarkedRecords)
{
    TvnxTempDir dir, temp;
    TempFolderIn redirect(temp.Dir());
    const std::string strA = dir.Path("a.tvnx");
    TestCollection c = FiveRecords();
    c.records[2].strName = std::string(40, 'n');
    ASSERT_TRUE(WriteBytes(strA, c.Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(strA.c_str(), FALSE, 0));
    auto before = Pictures(file);
    file.ClearUsedFlags();
    for (int i = 0; i < file.m_Records.GetSize(); i++)
        file.m_Records[i].bUsed = (i % 2 == 0);   // ids 10, 30, 50
    const Bytes layout = NewLayout(50);
    ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strA.c_str(), TRUE, 65535));

    EXPECT_EQ((std::vector<uint32_t>{10, 30, 50}), RecordIds(file));
    auto after = Pictures(file);
    EXPECT_EQ(std::string(32, 'n'), after[30].first);
    EXPECT_EQ(before[30].second, after[30].second);
    EXPECT_EQ(before[10], after[10]);
    EXPECT_EQ(before[50], after[50]);
    EXPECT_EQ(layout, LayoutOf(file));
    const Bytes stored = ReadBytes(strA);
    EXPECT_EQ(3u, GetLE32(stored, 44));
    EXPECT_EQ(stored.size() - 64 - layout.size(), GetLE32(stored, 40));
}

TEST(TvnxSaveSave, UsedOnlySaveWithEveryRecordInUseCopiesTheAreaWhole)
{
    TvnxTempDir dir;
    TestCollection c = FiveRecords();
    c.records[1].strName = std::string(60, 'w');
    ASSERT_TRUE(WriteBytes(dir.Path("a.tvnx"), c.Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(dir.Path("a.tvnx").c_str(), FALSE, 0));
    const Bytes layout = NewLayout(8);
    ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), dir.Path("b.tvnx").c_str(), TRUE, 0));
    CTvnxSave saved;
    ASSERT_EQ(0, saved.OpenCollection(dir.Path("b.tvnx").c_str(), FALSE, 0));
    EXPECT_EQ(Pictures(file), Pictures(saved));
    EXPECT_EQ(std::string(60, 'w'), Pictures(saved)[20].first);
}

TEST(TvnxSaveSave, CallersLayoutBlockIsLeftAsItWas)
{
    TvnxTempDir dir;
    ASSERT_TRUE(WriteBytes(dir.Path("a.tvnx"), FiveRecords().Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(dir.Path("a.tvnx").c_str(), FALSE, 0));
    const Bytes layout = NewLayout(300);
    Bytes block = layout;
    const std::string strNowhere = dir.Path("no such folder\\b.tvnx");
    EXPECT_EQ(2, file.SaveCollection(uint32_t(block.size()), block.data(), strNowhere.c_str(), FALSE, 0));
    EXPECT_EQ(layout, block);
    // A retry saves the same bytes.
    ASSERT_EQ(0, file.SaveCollection(uint32_t(block.size()), block.data(), dir.Path("b.tvnx").c_str(), FALSE, 0));
    EXPECT_EQ(layout, block);
    CTvnxSave saved;
    ASSERT_EQ(0, saved.OpenCollection(dir.Path("b.tvnx").c_str(), FALSE, 0));
    EXPECT_EQ(layout, LayoutOf(saved));
}

TEST(TvnxSaveSave, UsedOnlySaveFailsWhenARecordInUseCannotBeRead)
{
    TvnxTempDir dir;
    ASSERT_TRUE(WriteBytes(dir.Path("a.tvnx"), FiveRecords().Build()));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(dir.Path("a.tvnx").c_str(), FALSE, 0));
    file.m_Records[0].bUsed = 0;
    CTvnxSave::FILERECORD lost = file.m_Records[3];
    lost.nOffset += 1;   // listed, in use, but not where the file has it
    file.m_Records.Add(lost);
    const Bytes layout = NewLayout(20);
    EXPECT_EQ(2, file.SaveCollection(uint32_t(layout.size()), layout.data(), dir.Path("b.tvnx").c_str(), TRUE, 0));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.Path("b.tvnx").c_str()));
}

TEST(TvnxSaveSave, FailuresOfAnInPlaceSave)
{
    TvnxTempDir dir, temp;
    const std::string strA = dir.Path("a.tvnx");
    const Bytes original = FiveRecords().Build();
    ASSERT_TRUE(WriteBytes(strA, original));
    const Bytes layout = NewLayout(30);
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(strA.c_str(), FALSE, 0));
    {
        // No temporary folder: 3, and the collection stays open and unchanged.
        struct NoFolder {
            static int Get(int, LPSTR) { return 0; }
        };
        CTvnxSave::SetTempFolderProc(&NoFolder::Get);
        EXPECT_EQ(3, file.SaveCollection(uint32_t(layout.size()), layout.data(), strA.c_str(), FALSE, 0));
        CTvnxSave::SetTempFolderProc(NULL);
        EXPECT_TRUE(file.IsOpen());
        EXPECT_EQ(5, file.m_Records.GetSize());
        EXPECT_EQ(original, ReadBytes(strA));
    }
    {
        // A reader holds the old file and does not share its deletion, so it
        // cannot be replaced: 4, the container is closed, the old file is whole
        // and the new content waits in the temporary folder.
        TempFolderIn redirect(temp.Dir());
        HANDLE hReader = CreateFileA(strA.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                     OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
        EXPECT_EQ(4, file.SaveCollection(uint32_t(layout.size()), layout.data(), strA.c_str(), FALSE, 0));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(original, ReadBytes(strA));
        EXPECT_EQ(1, CountFiles(temp.Dir()));
        CloseHandle(hReader);
    }
}

TEST(TvnxSaveSave, OldFileStaysWholeUnderItsNameWhenItCannotBeReplaced)
{
    // A reader shares deletion: the old file could be deleted but not replaced
    // while the reader holds it. The save fails, and the collection's name must
    // still hold the whole old collection, not a file waiting to vanish.
    TvnxTempDir dir, temp;
    TempFolderIn redirect(temp.Dir());
    const std::string strA = dir.Path("a.tvnx");
    const Bytes original = FiveRecords().Build();
    ASSERT_TRUE(WriteBytes(strA, original));
    CTvnxSave file;
    ASSERT_EQ(0, file.OpenCollection(strA.c_str(), FALSE, 0));
    HANDLE hReader = CreateFileA(strA.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
    const Bytes layout = NewLayout(30);
    EXPECT_EQ(4, file.SaveCollection(uint32_t(layout.size()), layout.data(), strA.c_str(), FALSE, 0));
    CTvnxSave check;
    EXPECT_EQ(0, check.OpenCollection(strA.c_str(), TRUE, 0));
    EXPECT_EQ(original, ReadBytes(strA));
    CloseHandle(hReader);
    EXPECT_EQ(original, ReadBytes(strA));
    EXPECT_EQ(1, CountFiles(temp.Dir()));   // the new content, kept for recovery
}

// Fails to open any file for reading and writing once told to.
class CReopenFailingSave : public CTvnxSave
{
public:
    bool m_bFailReadWrite = false;
    BOOL Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError = NULL) override
    {
        if (m_bFailReadWrite && (nOpenFlags & modeReadWrite))
            return FALSE;
        return CTvnxSave::Open(pszFileName, nOpenFlags, pError);
    }
};

TEST(TvnxSaveSave, SavedFileThatCannotBeReopenedGives5)
{
    TvnxTempDir dir, temp;
    TempFolderIn redirect(temp.Dir());
    const std::string strA = dir.Path("a.tvnx");
    ASSERT_TRUE(WriteBytes(strA, FiveRecords().Build()));
    CReopenFailingSave file;
    ASSERT_EQ(0, file.OpenCollection(strA.c_str(), FALSE, 0));
    file.m_bFailReadWrite = true;
    const Bytes layout = NewLayout(30);
    EXPECT_EQ(5, file.SaveCollection(uint32_t(layout.size()), layout.data(), strA.c_str(), FALSE, 0));
    EXPECT_FALSE(file.IsOpen());
    CTvnxSave saved;
    ASSERT_EQ(0, saved.OpenCollection(strA.c_str(), FALSE, 0));
    EXPECT_EQ(layout, LayoutOf(saved));
}

// --- merging ---------------------------------------------------------------

struct MergeFixture : public ::testing::Test
{
    TvnxTempDir dir;
    std::string strOpen = dir.Path("open.tvnx");
    CTvnxSave file;

    void SetUp() override
    {
        ASSERT_TRUE(WriteBytes(strOpen, Collection().Build()));
        ASSERT_EQ(0, file.OpenCollection(strOpen.c_str(), FALSE, 0));
    }
    // The open collection: records 1 and 2.
    static TestCollection Collection()
    {
        TestCollection c;
        c.records = {Rec(1, "p1", Picture(1)), Rec(2, "p2", Picture(2))};
        return c;
    }
    // An update whose ids 1 and 2 clash with the open collection's.
    TestCollection Update() const
    {
        TestCollection u;
        u.layout = Bytes{'u', 'p', 'd', 'a', 't', 'e', 200, 201};
        u.records = {Rec(1, "new3", Picture(3)), Rec(2, "same as p1", Picture(1)), Rec(7, "new4", Picture(4))};
        return u;
    }
    std::string Write(const std::string& strName, const TestCollection& c)
    {
        const std::string strPath = dir.Path(strName);
        EXPECT_TRUE(WriteBytes(strPath, c.Build()));
        return strPath;
    }
};

TEST_F(MergeFixture, ClashingIdsAreRemapped)
{
    const std::string strUpdate = Write("u.tvnu", Update());
    uint32_t nInfo = 0;
    ASSERT_EQ(0, file.MergeFile(strUpdate.c_str(), &nInfo, 65535));
    EXPECT_EQ(1u, nInfo);
    EXPECT_EQ(3u, file.RemapId(nInfo, 1));
    EXPECT_EQ(1u, file.RemapId(nInfo, 2));   // identical to a picture already there
    EXPECT_EQ(4u, file.RemapId(nInfo, 7));
    EXPECT_EQ(0u, file.RemapId(nInfo, 5));
    EXPECT_EQ(0u, file.RemapId(9, 1));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), RecordIds(file));
    EXPECT_EQ(Picture(3), RecordOf(file, 3));
    EXPECT_EQ(Picture(4), RecordOf(file, 4));
    EXPECT_EQ(Update().layout, LayoutOf(file, nInfo));
    EXPECT_EQ(0u, file.ReadLayoutBlock(NULL, 2));

    EXPECT_TRUE(file.RemoveAppendedInfo(nInfo));
    EXPECT_FALSE(file.RemoveAppendedInfo(nInfo));
    EXPECT_EQ(0u, file.RemapId(nInfo, 1));
    // The update file is no longer held open.
    EXPECT_TRUE(DeleteFileA(strUpdate.c_str()));
}

TEST_F(MergeFixture, ReadOnlyUpdateFileMerges)
{
    TestCollection u = Update();
    u.nVersion = TVNX_VERSION_PLAIN;
    const std::string strUpdate = Write("ro.tvnu", u);
    ASSERT_TRUE(SetFileAttributesA(strUpdate.c_str(), FILE_ATTRIBUTE_READONLY));
    // The attribute alone does not stop a process running as root under Wine;
    // a reader that lets nobody write does, as a read-only medium would.
    HANDLE hReader = CreateFileA(strUpdate.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
    uint32_t nInfo = 0;
    EXPECT_EQ(0, file.MergeFile(strUpdate.c_str(), &nInfo, 0));
    EXPECT_EQ(3u, file.RemapId(nInfo, 1));
    EXPECT_EQ(u.layout, LayoutOf(file, nInfo));
    EXPECT_EQ(u.Build(), ReadBytes(strUpdate));
    CloseHandle(hReader);
}

TEST_F(MergeFixture, LevelByteKeepsTheSmaller)
{
    TestCollection u = Update();
    u.nLevel = 12;
    uint32_t nInfo = 0;
    ASSERT_EQ(0, file.MergeFile(Write("a.tvnu", u).c_str(), &nInfo, 0));
    EXPECT_EQ(10, file.GetLevelByte());
    u.nLevel = 0;
    ASSERT_EQ(0, file.MergeFile(Write("b.tvnu", u).c_str(), &nInfo, 0));
    EXPECT_EQ(0, file.GetLevelByte());
}

TEST_F(MergeFixture, AppendedInfoIdsAreReused)
{
    const std::string strUpdate = Write("u.tvnu", Update());
    uint32_t a = 0, b = 0, c = 0;
    ASSERT_EQ(0, file.MergeFile(strUpdate.c_str(), &a, 0));
    ASSERT_EQ(0, file.MergeFile(strUpdate.c_str(), &b, 0));
    EXPECT_EQ(1u, a);
    EXPECT_EQ(2u, b);
    EXPECT_EQ(4, file.m_Records.GetSize());   // the second merge found every picture
    EXPECT_TRUE(file.RemoveAppendedInfo(1));
    ASSERT_EQ(0, file.MergeFile(strUpdate.c_str(), &c, 0));
    EXPECT_EQ(1u, c);
    EXPECT_EQ(3u, file.RemapId(2, 1));
}

TEST_F(MergeFixture, FailureCodes)
{
    uint32_t nInfo = 77;
    EXPECT_EQ(2, file.MergeFile(strOpen.c_str(), &nInfo, 0));
    EXPECT_EQ(1, file.MergeFile(dir.Path("missing.tvnu").c_str(), &nInfo, 0));
    TestCollection u = Update();
    u.nVersion = 0x02150000;
    EXPECT_EQ(9, file.MergeFile(Write("v.tvnu", u).c_str(), &nInfo, 0));
    u = Update();
    u.strMagic = "not a collection";
    EXPECT_EQ(4, file.MergeFile(Write("m.tvnu", u).c_str(), &nInfo, 0));
    EXPECT_EQ(77u, nInfo);

    // One bad record passes verification; the merge stops at it, keeps what it
    // appended before, and makes no appended-info entry.
    u = Update();
    u.records[1].nId = 0;
    EXPECT_EQ(6, file.MergeFile(Write("bad.tvnu", u).c_str(), &nInfo, 0));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), RecordIds(file));
    EXPECT_EQ(0u, file.RemapId(1, 1));
    u = Update();
    u.records[2].data = Picture(5, 307201);
    EXPECT_EQ(6, file.MergeFile(Write("big.tvnu", u).c_str(), &nInfo, 0));

    // Nowhere to append the pictures.
    CTvnxSave closed;
    EXPECT_EQ(8, closed.MergeFile(Write("u.tvnu", Update()).c_str(), &nInfo, 0));
}

TEST_F(MergeFixture, TornTailStopsTheMergeAsItStopsTheOpen)
{
    // What is left of an append that did not finish: the whole records before
    // it merge and the merge succeeds, as opening the file does.
    struct Row
    {
        const char* pszWhere;
        Bytes tail;
    } rows[] = {
        {"7 head bytes", Bytes(7, 0x11)},
        {"a stray byte", Bytes(1, 0x22)},
        {"a head whose data is cut off", Bytes{9, 0, 0, 0, 0, 0, 0, 0, 1, 'x', 100, 0, 0, 0, 'G', 'I', 'F'}},
    };
    int nRow = 0;
    for (const Row& row : rows) {
        const std::string strCollection = Write("t" + std::to_string(nRow) + ".tvnx", Collection());
        CTvnxSave target;
        ASSERT_EQ(0, target.OpenCollection(strCollection.c_str(), FALSE, 0)) << row.pszWhere;
        Bytes bytes = Update().Build();
        bytes.insert(bytes.end(), row.tail.begin(), row.tail.end());
        const std::string strUpdate = dir.Path("torn" + std::to_string(nRow++) + ".tvnu");
        ASSERT_TRUE(WriteBytes(strUpdate, bytes));
        ASSERT_EQ(0, target.OpenCollection(strUpdate.c_str(), TRUE, 0)) << row.pszWhere;

        uint32_t nInfo = 0;
        ASSERT_EQ(0, target.MergeFile(strUpdate.c_str(), &nInfo, 65535)) << row.pszWhere;
        EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), RecordIds(target)) << row.pszWhere;
        EXPECT_EQ(4u, target.RemapId(nInfo, 7)) << row.pszWhere;
        EXPECT_EQ(Update().layout, LayoutOf(target, nInfo)) << row.pszWhere;
    }
}

TEST_F(MergeFixture, RecordWhoseNameBeginsWithZeroIsLeftOut)
{
    // Such a name is an empty text; the file opens cleanly all the same. The
    // other records merge wherever the bad one stands, and it gets no remapping.
    struct Row
    {
        const char* pszWhere;
        size_t nAt;
        std::string strName;
    } rows[] = {
        {"first", 0, std::string("\0zero", 5)},
        {"after appended records", 2, std::string("\0zero", 5)},
        {"last", 3, std::string(1, '\0')},
    };
    int nRow = 0;
    for (const Row& row : rows) {
        const std::string strCollection = Write("c" + std::to_string(nRow) + ".tvnx", Collection());
        CTvnxSave target;
        ASSERT_EQ(0, target.OpenCollection(strCollection.c_str(), FALSE, 0)) << row.pszWhere;
        TestCollection u = Update();
        u.records.insert(u.records.begin() + row.nAt, Rec(9, row.strName, Picture(9)));
        const std::string strUpdate = Write("z" + std::to_string(nRow++) + ".tvnu", u);
        ASSERT_EQ(0, target.OpenCollection(strUpdate.c_str(), TRUE, 0)) << row.pszWhere;

        uint32_t nInfo = 0;
        ASSERT_EQ(0, target.MergeFile(strUpdate.c_str(), &nInfo, 65535)) << row.pszWhere;
        EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), RecordIds(target)) << row.pszWhere;
        EXPECT_EQ(3u, target.RemapId(nInfo, 1)) << row.pszWhere;
        EXPECT_EQ(1u, target.RemapId(nInfo, 2)) << row.pszWhere;
        EXPECT_EQ(4u, target.RemapId(nInfo, 7)) << row.pszWhere;
        EXPECT_EQ(0u, target.RemapId(nInfo, 9)) << row.pszWhere;
        EXPECT_EQ(u.layout, LayoutOf(target, nInfo)) << row.pszWhere;
    }
}

}  // namespace
