// A full save of a collection whose last record was cut off by the end of the
// file: the saved file must hold the whole records only, so that it takes
// appends and merges afterwards like any other collection.
#include "collection/TvnxSave.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include <gtest/gtest.h>

namespace {

struct TornRow
{
    const char* pszName;
    size_t nKeep;          // bytes of the last record left in the file
    bool bInsideArea;      // the header's record area counts the torn record
};

TEST(TvnxSaveTornSave, FullSaveKeepsTheWholeRecordsAndTakesAppendsAndMerges)
{
    const Bytes last = Picture(3, 40);
    const size_t nLastRecord = 13 + 9 + last.size();   // "three.jpg"
    const TornRow rows[] = {
        {"torn head", 6, true},
        {"torn body", nLastRecord - 7, true},
        {"torn body after the header's area", nLastRecord - 7, false},
        {"one stray byte after the header's area", 1, false},
    };
    for (const TornRow& row : rows) {
        for (const bool bInPlace : {true, false}) {
            const std::string strCase = std::string(row.pszName) + (bInPlace ? ", saved in place" : ", saved as");
            SCOPED_TRACE(strCase);
            TvnxTempDir dir;
            const std::string strTorn = dir.Path("torn.tvnx");
            const std::string strSaved = bInPlace ? strTorn : dir.Path("saved.tvnx");

            TestCollection c;
            c.records = {Rec(1, "one.gif", Picture(1)), Rec(2, "two.png", Picture(2, 37))};
            const size_t nWhole = c.Build().size();
            c.records.push_back(Rec(3, "three.jpg", last));
            Bytes b = c.Build();
            b.resize(nWhole + row.nKeep);
            TvnxPut32(b.data() + TVNX_OFS_AREA_SIZE,
                      uint32_t((row.bInsideArea ? b.size() : nWhole) - 64 - c.layout.size()));
            ASSERT_TRUE(WriteBytes(strTorn, b));

            CTvnxSave file;
            ASSERT_EQ(0, file.OpenCollection(strTorn.c_str(), FALSE, 0));
            ASSERT_EQ((std::vector<uint32_t>{1, 2}), RecordIds(file));
            const Bytes layout = Text("saved layout");
            ASSERT_EQ(0, file.SaveCollection(uint32_t(layout.size()), layout.data(), strSaved.c_str(), FALSE, 0));
            file.Close();

            // Header, layout and the two whole records, nothing of the torn one.
            const Bytes stored = ReadBytes(strSaved);
            const size_t nRecords = nWhole - 64 - c.layout.size();
            ASSERT_EQ(64 + layout.size() + nRecords, stored.size());
            EXPECT_EQ(nRecords, GetLE32(stored, TVNX_OFS_AREA_SIZE));
            EXPECT_EQ(2u, GetLE32(stored, TVNX_OFS_RECORD_COUNT));

            CTvnxSave saved;
            ASSERT_EQ(0, saved.OpenCollection(strSaved.c_str(), FALSE, 0));
            const Bytes pic = Picture(50, 33);
            const uint32_t nNew = saved.AppendRecord(pic.data(), "new.gif", uint32_t(pic.size()));
            ASSERT_NE(0u, nNew);

            TestCollection update;
            update.records = {Rec(1, "merged.png", Picture(60, 21))};
            const std::string strUpdate = dir.Path("update.tvnu");
            ASSERT_TRUE(WriteBytes(strUpdate, update.Build()));
            uint32_t nInfo = 0;
            ASSERT_EQ(0, saved.MergeFile(strUpdate.c_str(), &nInfo, 0));
            const uint32_t nMerged = saved.RemapId(nInfo, 1);
            ASSERT_NE(0u, nMerged);
            saved.Close();

            ASSERT_EQ(0, saved.OpenCollection(strSaved.c_str(), FALSE, 0));
            EXPECT_EQ((std::vector<uint32_t>{1, 2, nNew, nMerged}), RecordIds(saved));
            EXPECT_EQ(Picture(2, 37), RecordOf(saved, 2));
            EXPECT_EQ(pic, RecordOf(saved, nNew));
            EXPECT_EQ(Picture(60, 21), RecordOf(saved, nMerged));
        }
    }
}

}  // namespace
