// A bounded run over mutated collection files: opening, reading, appending,
// saving and merging must end without a crash, a hang or a huge allocation.
#include "collection/TvnxSave.h"
#include "tests/collection/TvnxSaveTestFiles.h"

#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

namespace {

Bytes Mutate(const Bytes& base, FuzzRandom& rnd)
{
    Bytes b = base;
    switch (rnd.Below(5)) {
    case 0:   // a few random bytes anywhere
    case 1: {
        const uint32_t n = 1 + rnd.Below(8);
        for (uint32_t i = 0; i < n; i++)
            b[rnd.Below(uint32_t(b.size()))] = BYTE(rnd.Next());
        break;
    }
    case 2: {   // a 32-bit field of the header or of a record head set to an edge value
        static const uint32_t edges[] = {0, 1, 63, 64, 65, 66, 67, 307200, 307201, 0x7FFFFFFF, 0x80000000,
                                         0xFFFFFFF0, 0xFFFFFFFF};
        const uint32_t nAt = rnd.Below(2) ? 4 * rnd.Below(16) : rnd.Below(uint32_t(b.size()) - 4);
        const uint32_t v = edges[rnd.Below(sizeof(edges) / sizeof(edges[0]))];
        for (int i = 0; i < 4 && nAt + i < b.size(); i++)
            b[nAt + i] = BYTE(v >> (8 * i));
        break;
    }
    case 3:   // cut short
        b.resize(rnd.Below(uint32_t(b.size())));
        break;
    default: {   // a slice repeated or dropped
        const uint32_t nFrom = rnd.Below(uint32_t(b.size()));
        const uint32_t nCount = rnd.Below(uint32_t(b.size()) - nFrom);
        if (rnd.Below(2))
            b.insert(b.begin() + nFrom, base.begin() + nFrom, base.begin() + nFrom + nCount);
        else
            b.erase(b.begin() + nFrom, b.begin() + nFrom + nCount);
        break;
    }
    }
    return b;
}

TEST(TvnxSaveFuzz, MutatedFilesEndCleanly)
{
    TvnxTempDir dir;
    TestCollection c;
    c.layout = Bytes{'f', 'u', 'z', 'z', 1, 2, 3, 4, 5, 6};
    c.records = {Rec(1, "a.gif", Picture(1, 30)), Rec(2, "b.png", Picture(2, 9)), Rec(3, "c.jpg", Picture(3, 17)),
                 Rec(4, "d.bmp", Picture(4, 3))};
    const Bytes base = c.Build();
    const std::string strHost = dir.Path("host.tvnx"), strFuzz = dir.Path("fuzz.tvnx"), strOut = dir.Path("out.tvnx");
    TestCollection host;
    host.records = {Rec(1, "h.gif", Picture(1, 30))};
    ASSERT_TRUE(WriteBytes(strHost, host.Build()));

    FuzzRandom rnd = {20240611};
    CFuzzRun run("collection", 1500, 30000);
    int nOpened = 0, nMerged = 0;
    while (run.More()) {
        // Choices beyond the bytes come from the bytes, so that a saved input replays alike.
        const Bytes b = run.Take(Mutate(base, rnd));
        ASSERT_TRUE(WriteBytes(strFuzz, b));
        SCOPED_TRACE(testing::Message() << "input " << run.Taken());

        CTvnxSave file;
        if (file.OpenCollection(strFuzz.c_str(), FALSE, 65535) == 0) {
            nOpened++;
            const uint32_t nLayout = file.ReadLayoutBlock(NULL, 0);
            ASSERT_LE(nLayout, b.size());
            Bytes layout(nLayout);
            if (nLayout != 0)
                file.ReadLayoutBlock(layout.data(), 0);
            for (uint32_t nId : RecordIds(file)) {
                CString strName;
                const uint32_t nSize = file.ReadRecord(nId, strName, NULL);
                ASSERT_LE(nSize, uint32_t(TVNX_MAX_PICTURE));
                Bytes data(nSize);
                if (nSize != 0)
                    file.ReadRecord(nId, strName, data.data());
            }
            // An appended picture is found again by the next opening.
            const Bytes pic = Picture(uint32_t(b.size()), 12);
            if (const uint32_t nNew = file.AppendRecord(pic.data(), "appended", uint32_t(pic.size()))) {
                file.Close();
                ASSERT_EQ(0, file.OpenCollection(strFuzz.c_str(), FALSE, 0));
                ASSERT_EQ(pic, RecordOf(file, nNew));
            }
            if (nLayout != 0) {
                if (file.m_Records.GetSize() > 0)
                    file.m_Records[0].bUsed = 0;   // sometimes record by record
                if (file.SaveCollection(nLayout, layout.data(), strOut.c_str(), b.size() & 1, 65535) == 0) {
                    CTvnxSave saved;
                    EXPECT_EQ(0, saved.OpenCollection(strOut.c_str(), FALSE, 0));
                }
            }
        }
        file.Close();

        CTvnxSave merger;
        ASSERT_EQ(0, merger.OpenCollection(strHost.c_str(), FALSE, 0));
        uint32_t nInfo = 0;
        if (merger.MergeFile(strFuzz.c_str(), &nInfo, 65535) == 0) {
            nMerged++;
            const uint32_t nLayout = merger.ReadLayoutBlock(NULL, nInfo);
            ASSERT_LE(nLayout, b.size());
            Bytes layout(nLayout);
            if (nLayout != 0)
                merger.ReadLayoutBlock(layout.data(), nInfo);
            merger.RemoveAppendedInfo(nInfo);
        }
        merger.Close();
        ASSERT_TRUE(WriteBytes(strHost, host.Build()));   // undo what the merge appended
        run.Done();
    }
    if (run.Replaying())
        return;
    // The run must have reached both the good and the bad paths.
    EXPECT_GT(run.Taken(), 100);
    EXPECT_GT(nOpened, 0);
    EXPECT_LT(nOpened, run.Taken());
    EXPECT_GT(nMerged, 0);
}

}  // namespace
