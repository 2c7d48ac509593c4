// A second start hands its command line over with WM_COPYDATA, and any
// process can send one: the block is read by its byte count alone, whatever
// it holds. Corrupt blocks, then mutated ones (scripts/soak runs them long).
#include "app/TvnxTrayWnd.h"
#include "tests/tools/FuzzRandom.h"
#include "tests/tools/FuzzRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Wide(const std::wstring& w, bool bMark = true, bool bZero = true)
{
    std::string s;
    if (bMark)
        s += "\xFF\xFE";
    for (wchar_t c : w) {
        s += char(c & 0xFF);
        s += char((c >> 8) & 0xFF);
    }
    if (bZero)
        s += std::string(2, '\0');
    return s;
}

struct RESULT
{
    BOOL bAccepted;
    std::string strText;
};

RESULT Read(ULONG_PTR dwData, const std::string& bytes, DWORD cbExtra = 0)
{
    // The block lies at the end of a larger buffer filled with 'X': a reader
    // that looks for a zero past cbData finds the X bytes instead.
    std::string buffer = bytes + std::string(64, 'X');
    COPYDATASTRUCT cds = {dwData, DWORD(bytes.size()) + cbExtra, buffer.empty() ? NULL : &buffer[0]};
    CString str;
    const BOOL b = ReadHandOver(&cds, &str);
    return {b, std::string(str)};
}

TEST(HandOver, CorruptBlocksAreRefusedOrReadWithinTheirBytes)
{
    const std::string path = "C:\\Smilies\\mine.tvnx";
    const struct
    {
        const char* pszName;
        ULONG_PTR dwData;
        std::string bytes;
        BOOL bAccepted;
        std::string strText;
    } rows[] = {
        {"ANSI with its zero", 1, path + std::string(1, '\0'), TRUE, path},
        {"ANSI without a zero", 1, path, TRUE, path},
        {"blanks around", 1, "   " + path + "  \t", TRUE, path},
        {"UTF-16 with its zero", 1, Wide(L"C:\\Smilies\\mine.tvnx"), TRUE, path},
        {"UTF-16 without a zero", 1, Wide(L"C:\\Smilies\\mine.tvnx", true, false), TRUE, path},
        {"UTF-16 with an odd last byte", 1, Wide(L"C:\\Smilies\\mine.tvnx", true, false) + "Q", TRUE, path},
        {"text ends at its first zero", 1, std::string("C:\\a.tvnx\0C:\\b.tvnx", 19), TRUE, "C:\\a.tvnx"},
        {"dwData 2", 2, path, FALSE, ""},
        {"dwData 0", 0, path, FALSE, ""},
        {"6 bytes", 1, "C:\\a.t", FALSE, ""},
        {"7 bytes", 1, "C:\\a.tv", TRUE, "C:\\a.tv"},
        {"260 ANSI bytes", 1, std::string(260, 'a'), TRUE, std::string(260, 'a')},
        {"261 ANSI bytes", 1, std::string(261, 'a'), FALSE, ""},
        {"520 UTF-16 bytes", 1, Wide(std::wstring(259, L'a'), true, false), TRUE, std::string(259, 'a')},
        {"522 UTF-16 bytes", 1, Wide(std::wstring(260, L'a'), true, false), FALSE, ""},
        {"only zeros", 1, std::string(8, '\0'), TRUE, ""},
        {"only the mark and zeros", 1, std::string("\xFF\xFE\0\0\0\0\0\0", 8), TRUE, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        const RESULT r = Read(row.dwData, row.bytes);
        EXPECT_EQ(row.bAccepted, r.bAccepted);
        EXPECT_EQ(row.strText, r.strText);
    }
    CString str;
    EXPECT_FALSE(ReadHandOver(NULL, &str));
    COPYDATASTRUCT noData = {1, 20, NULL};
    EXPECT_FALSE(ReadHandOver(&noData, &str)) << "no data behind a byte count";
}

TEST(HandOverFuzz, MutatedBlocksEndCleanly)
{
    static const char* const kPieces[] = {"\xFF\xFE", "\\", ".tvnu", " ", "\xE0", "\x81", "\xFF"};
    const std::string bases[] = {"C:\\Smilies\\mine.tvnx" + std::string(1, '\0'), Wide(L"C:\\U\\update.tvnu"),
                                 std::string(255, 'p')};
    FuzzRandom rnd{0x38C0u};
    CFuzzRun run("handover", 4000, 3000);
    while (run.More()) {
        const std::string block = run.Take(MutateText(bases[rnd.Below(3)], rnd, kPieces, 8));
        const ULONG_PTR dwData = rnd.Below(8) == 0 ? rnd.Below(3) : 1;
        const RESULT r = Read(dwData, block);
        EXPECT_LE(r.strText.size(), 2u * 260u) << "input " << run.Taken();
        EXPECT_LE(r.strText.size(), block.size()) << "read past the block, input " << run.Taken();
        if (!r.bAccepted) {
            EXPECT_TRUE(r.strText.empty()) << "input " << run.Taken();
        }
        run.Done();
    }
    if (!run.Replaying()) {
        EXPECT_GT(run.Taken(), 0);
    }
}

}  // namespace
