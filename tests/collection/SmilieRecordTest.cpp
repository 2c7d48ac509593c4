// The serialised smilie record: each stored form loads back what was saved,
// and records that lie about their lengths are refused without a byte read
// outside them.
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "tests/collection/SmilieTestField.h"

#include "tests/tools/FuzzRandom.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef std::vector<BYTE> Bytes;

// Bytes placed so that they end exactly where readable memory ends: one byte
// read past them is an access violation.
class CGuardedBytes
{
public:
    explicit CGuardedBytes(const Bytes& bytes)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        m_nPage = si.dwPageSize;
        const size_t nPages = (bytes.size() + m_nPage - 1) / m_nPage + 1;
        m_pBase = static_cast<BYTE*>(VirtualAlloc(NULL, nPages * m_nPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD nOld;
        VirtualProtect(m_pBase + (nPages - 1) * m_nPage, m_nPage, PAGE_NOACCESS, &nOld);
        m_pData = m_pBase + (nPages - 1) * m_nPage - bytes.size();
        if (!bytes.empty())
            memcpy(m_pData, bytes.data(), bytes.size());
    }
    ~CGuardedBytes() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    const BYTE* Data() const { return m_pData; }

private:
    size_t m_nPage;
    BYTE* m_pBase;
    BYTE* m_pData;
};

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = BYTE(v >> (8 * i));
}

Bytes Save(const CSmilie& smilie)
{
    uint32_t nSize = 0;
    smilie.SaveRecord(NULL, &nSize);
    Bytes b(nSize);
    uint32_t nWritten = nSize;
    EXPECT_EQ(nSize, smilie.SaveRecord(b.data(), &nWritten));
    EXPECT_EQ(nSize, nWritten);
    return b;
}

BOOL Load(CSmilie& smilie, const Bytes& b, uint32_t nAppendedId = 0)
{
    CGuardedBytes guarded(b);
    return smilie.LoadRecord(guarded.Data(), uint32_t(b.size()), nAppendedId);
}

CSmilie MakeSample(LPCTSTR pszSource, LPCTSTR pszPhrase, uint32_t nRecord)
{
    CSmilie s(48, 40);
    s.SetCell(3, 17);
    s.SetSource(pszSource);
    s.SetPhrase(pszPhrase, FALSE);
    s.SetImage(nRecord);
    s.m_nFlags = 0x01 | 0x80;
    s.m_nUsageCount = 12345;
    s.m_Date = {2026, 12, 4, 10, 13, 45, 59, 999};
    s.m_nOffsetX = -20;
    s.m_nOffsetY = 7;
    s.m_nCrop = 0x45;
    s.m_nDownloadState = 0x1204;
    return s;
}

// A record with the given source and phrase bytes and an extension block of
// nExtension bytes (0 for none), in the full form.
Bytes MakeRecord(const std::string& source, const std::string& phrase, uint32_t nExtension = 0)
{
    Bytes b(12 + source.size() + 4 + phrase.size() + 45 + nExtension);
    Put32(b, 0, 1);
    Put32(b, 4, 2);
    size_t at = 8;
    if (nExtension != 0) {
        Put32(b, 8, 0x10000000 | nExtension);
        at += nExtension;
    }
    Put32(b, at, uint32_t(source.size()));
    memcpy(b.data() + at + 4, source.data(), source.size());
    at += 4 + source.size();
    Put32(b, at, uint32_t(phrase.size()));
    memcpy(b.data() + at + 4, phrase.data(), phrase.size());
    at += 4 + phrase.size();
    Put32(b, at + 28, 40);   // cell width
    Put32(b, at + 32, 30);   // cell height
    return b;
}

}   // namespace

TEST(SmilieRecord, SaveThenLoadGivesTheSameSmilieInEveryForm)
{
    struct Row
    {
        const char* name;
        const char* source;
        const char* phrase;
        uint32_t record;
    } rows[] = {
        {"picture with source and phrase", "C:\\pics\\grin.gif", "[b]<SMILIE>[/b]", 7},
        {"text smilie", "", "Hello,\r\nthere", 0},
        {"web smilie without picture", "http://127.0.0.1/a.png", "", 0},
        {"empty smilie", "", "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CSmilie original = MakeSample(row.source, row.phrase, row.record);
        const Bytes full = Save(original);
        ASSERT_EQ(61u + strlen(row.source) + strlen(row.phrase), full.size());

        CSmilie loaded;
        ASSERT_TRUE(Load(loaded, full));
        EXPECT_TRUE(loaded.Compare(original));
        EXPECT_EQ(3, loaded.m_nColumn);
        EXPECT_EQ(17, loaded.m_nRow);
        EXPECT_EQ(0x1204u, loaded.m_nDownloadState);
        EXPECT_EQ(-20, loaded.m_nOffsetX);

        // Without crop: the crop is 0, all else as saved.
        CSmilie noCrop;
        ASSERT_TRUE(Load(noCrop, Bytes(full.begin(), full.end() - 1)));
        EXPECT_EQ(0, noCrop.m_nCrop);
        EXPECT_EQ(-20, noCrop.m_nOffsetX);
        EXPECT_EQ(7, noCrop.m_nOffsetY);
        noCrop.m_nCrop = original.m_nCrop;
        EXPECT_TRUE(noCrop.Compare(original));

        // Without picture offset and crop: centred.
        CSmilie noOffset;
        ASSERT_TRUE(Load(noOffset, Bytes(full.begin(), full.end() - 5)));
        EXPECT_EQ(255, noOffset.m_nOffsetX);
        EXPECT_EQ(255, noOffset.m_nOffsetY);
        EXPECT_EQ(0, noOffset.m_nCrop);

        // An extension block after the row is skipped.
        Bytes extended(full.begin(), full.begin() + 8);
        const Bytes block = {0x06, 0x00, 0x00, 0x10, 0xAA, 0xBB};
        extended.insert(extended.end(), block.begin(), block.end());
        extended.insert(extended.end(), full.begin() + 8, full.end());
        CSmilie fromExtended;
        ASSERT_TRUE(Load(fromExtended, extended));
        EXPECT_TRUE(fromExtended.Compare(original));
    }
}

TEST(SmilieRecord, SaveRefusesABufferThatIsTooSmall)
{
    const CSmilie s = MakeSample("abc", "def", 1);
    Bytes b(66, 0xCC);
    uint32_t nSize = 66;
    EXPECT_EQ(0u, s.SaveRecord(b.data(), &nSize));
    EXPECT_EQ(Bytes(66, 0xCC), b);
}

TEST(SmilieRecord, LoadAppliesTheRulesOfOldAndOddRecords)
{
    // A download that was running when the record was saved has failed.
    CSmilie running = MakeSample("", "x", 0);
    running.m_nDownloadState = 0x0501;
    CSmilie loaded;
    ASSERT_TRUE(Load(loaded, Save(running)));
    EXPECT_EQ(3u, loaded.m_nDownloadState);

    // A missing cell size gives the default cell; a field's cell size wins.
    CSmilie noSize = MakeSample("", "x", 0);
    noSize.m_nCellWidth = 0;
    noSize.m_nCellHeight = 20;
    CSmilie defaulted;
    ASSERT_TRUE(Load(defaulted, Save(noSize)));
    EXPECT_EQ(35, defaulted.m_nCellWidth);
    EXPECT_EQ(34, defaulted.m_nCellHeight);
    // No writer stores a size below 0: it counts as missing too.
    for (const auto& size : {CSize(-1, 20), CSize(20, -35), CSize(INT_MIN, INT_MIN)}) {
        CSmilie negative = MakeSample("", "x", 0);
        negative.m_nCellWidth = size.cx;
        negative.m_nCellHeight = size.cy;
        CSmilie loadedNegative;
        ASSERT_TRUE(Load(loadedNegative, Save(negative)));
        EXPECT_EQ(CSize(35, 34), CSize(loadedNegative.m_nCellWidth, loadedNegative.m_nCellHeight))
            << "stored " << size.cx << " x " << size.cy;
    }
    CTestSmilieField field(50, 60);
    CSmilie inField;
    inField.SetField(&field);
    ASSERT_TRUE(Load(inField, Save(noSize)));
    EXPECT_EQ(50, inField.m_nCellWidth);
    EXPECT_EQ(60, inField.m_nCellHeight);

    // A picture smilie that carries a default template sends with its
    // field's; a text smilie keeps the text.
    for (const auto& pair : CSmilie::s_DefaultTemplates) {
        SCOPED_TRACE(pair[0]);
        CSmilie picture;
        ASSERT_TRUE(Load(picture, Save(MakeSample("", pair[1], 9))));
        EXPECT_TRUE(picture.m_strPhrase.IsEmpty());
        CSmilie text;
        ASSERT_TRUE(Load(text, Save(MakeSample("", pair[1], 0))));
        EXPECT_STREQ(pair[1], text.m_strPhrase);
    }
    CSmilie other;
    ASSERT_TRUE(Load(other, Save(MakeSample("", "[IMG]<SMILIE>[/IMG]", 9))));
    EXPECT_STREQ("[IMG]<SMILIE>[/IMG]", other.m_strPhrase);

    // A merged file's picture id means nothing without an open collection.
    ASSERT_EQ(nullptr, g_pCollectionFile);
    CSmilie merged;
    ASSERT_TRUE(Load(merged, Save(MakeSample("", "", 9)), 1));
    EXPECT_EQ(0u, merged.m_nImageRecord);

    // A retired address is rewritten as it loads.
    CSmilie old;
    ASSERT_TRUE(Load(old, Save(MakeSample("http://smilies.mordale.net/big/a.gif", "", 3))));
    EXPECT_STREQ("http://gallery.mordale.net/smilies/large/a.gif", old.m_pszSource);
}

TEST(SmilieRecord, OnlyAnExactDefaultTemplateGivesWayToTheFields)
{
    // The stored phrase of a picture smilie, as bytes; a zero byte inside is
    // kept like any other.
    for (const auto& pair : CSmilie::s_DefaultTemplates) {
        const std::string strTemplate = pair[1];
        std::string strChanged = strTemplate;
        strChanged[strChanged.size() / 2] ^= 0x20;
        const struct
        {
            const char* pszName;
            std::string strPhrase;
            bool bTakenForTemplate;
        } rows[] = {
            {"template alone", strTemplate, true},
            {"template, zero, more bytes", strTemplate + std::string(1, '\0') + "more", false},
            {"template, zero", strTemplate + std::string(1, '\0'), false},
            {"one byte changed", strChanged, false},
            {"last byte missing", strTemplate.substr(0, strTemplate.size() - 1), false},
        };
        for (const auto& row : rows) {
            Bytes b = MakeRecord("", row.strPhrase);
            Put32(b, b.size() - 45 + 36, 9);   // a picture record
            CSmilie smilie;
            ASSERT_TRUE(Load(smilie, b)) << pair[0] << ": " << row.pszName;
            EXPECT_EQ(row.bTakenForTemplate ? std::string() : row.strPhrase,
                      std::string(smilie.m_strPhrase.GetString(), size_t(smilie.m_strPhrase.GetLength())))
                << pair[0] << ": " << row.pszName;
        }
    }
}

TEST(SmilieRecord, LoadRefusesLyingRecordsAndLeavesTheSmilieAlone)
{
    const Bytes good = MakeRecord("src", "phrase");
    const size_t nPhraseLength = 12 + 3;   // offset of P
    struct Row
    {
        const char* name;
        Bytes record;
    };
    std::vector<Row> rows;
    rows.push_back({"empty", Bytes()});
    for (size_t n : {size_t(4), size_t(8), size_t(11), size_t(12), size_t(14), size_t(18), size_t(19), size_t(30),
                     good.size() - 6, good.size() - 2})
        rows.push_back({"cut to a size of no form", Bytes(good.begin(), good.begin() + n)});
    rows.push_back({"one byte more than the full form", good});
    rows.back().record.push_back(0);
    for (uint32_t s : {4u, 100u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        rows.push_back({"source length lies", good});
        Put32(rows.back().record, 8, s);
    }
    for (uint32_t p : {8u, 45u, 46u, 1000u, 0x80000000u, 0xFFFFFFFFu}) {
        rows.push_back({"phrase length lies", good});
        Put32(rows.back().record, nPhraseLength, p);
    }
    {
        Bytes b = MakeRecord("src", "phrase", 8);
        Put32(b, 8, 0x1000FFFF);
        rows.push_back({"extension block longer than the record", b});
        Put32(b, 8, 0x10000002);
        rows.push_back({"extension block shorter than its own word", b});
        Put32(b, 8, 0x10000000);
        rows.push_back({"extension block of no bytes", b});
    }

    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ", " + std::to_string(row.record.size()) + " bytes");
        CSmilie smilie = MakeSample("keep", "me", 5);
        const CSmilie before = smilie;
        EXPECT_FALSE(Load(smilie, row.record));
        EXPECT_TRUE(smilie.Compare(before));
        EXPECT_EQ(3, smilie.m_nColumn);
    }
}

TEST(SmilieRecord, MutatedRecordsEndCleanly)
{
    FuzzRandom rnd{0x2545F491};
    auto next = [&rnd]() { return rnd.Next(); };
    const Bytes samples[] = {
        Save(MakeSample("C:\\pics\\grin.gif", "[b]<SMILIE>[/b]", 7)),
        Save(MakeSample("http://smilies.mordale.net/anim/wave.gif", "", 0)),
        MakeRecord("", "a phrase", 12),
    };
    const uint32_t edges[] = {0, 1, 3, 44, 45, 61, 0x10000004, 0x1000FFFF, 0x7FFFFFFF, 0xFFFFFFFF};
    const DWORD nStart = GetTickCount();
    int nAccepted = 0;
    for (int i = 0; i < 20000 && GetTickCount() - nStart < 3000; i++) {
        Bytes b = samples[next() % 3];
        switch (next() % 4) {
        case 0:
            for (uint32_t n = 1 + next() % 4; n > 0; n--)
                b[next() % b.size()] = BYTE(next());
            break;
        case 1:
            Put32(b, (next() % (b.size() / 4)) * 4, edges[next() % 10]);
            break;
        case 2:
            b.resize(next() % b.size());
            break;
        default:
            b.insert(b.begin() + next() % b.size(), 1 + next() % 8, BYTE(next()));
            break;
        }
        CSmilie s;
        if (Load(s, b)) {
            nAccepted++;
            CSmilie again;
            EXPECT_TRUE(Load(again, Save(s)));
            EXPECT_TRUE(again.Compare(s));
        }
    }
    EXPECT_GT(nAccepted, 0);
}
