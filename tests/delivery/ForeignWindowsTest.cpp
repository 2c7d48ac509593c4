// The choice of AOL's document window among its candidates and The Bat!'s
// version from the registry.
#include "delivery/ForeignWindows.h"
#include "tests/services/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HWND Fake(int n)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1000 + n));
}

TEST(AolDocumentWindow, ChoosesNearestLargeEnoughCandidate)
{
    struct Win { int id; RECT rc; };
    struct Row { const char* name; std::vector<Win> windows; int chosen; } rows[] = {
        {"none", {}, -1},
        {"touches the left edge", {{1, {0, 5, 200, 200}}}, -1},
        {"touches the top edge", {{1, {5, 0, 200, 200}}}, -1},
        {"79 wide", {{1, {5, 5, 84, 200}}}, -1},
        {"79 high", {{1, {5, 5, 200, 84}}}, -1},
        {"80 by 80 at (1, 1)", {{1, {1, 1, 81, 81}}}, 1},
        {"nearest wins", {{1, {30, 40, 200, 200}}, {2, {20, 20, 200, 200}}, {3, {100, 1, 300, 300}}}, 2},
        // Equal whole distances: the scan runs from the last collected, which stays.
        {"tie keeps the last collected", {{1, {3, 4, 200, 200}}, {2, {4, 3, 200, 200}}}, 2},
        {"5.0 and 5.4 count alike", {{1, {3, 4, 200, 200}}, {2, {5, 2, 200, 200}}}, 2},
        {"strictly nearer replaces", {{1, {3, 3, 200, 200}}, {2, {5, 2, 200, 200}}}, 1},
        {"small ones never", {{1, {2, 2, 50, 50}}, {2, {60, 60, 300, 300}}}, 2},
    };
    for (const Row& r : rows) {
        CSequence<AOL_WND> list;
        for (const Win& w : r.windows)
            list.Add(AOL_WND{Fake(w.id), w.rc});
        EXPECT_EQ(r.chosen < 0 ? nullptr : Fake(r.chosen), ChooseAolDocumentWindow(list)) << r.name;
    }
}

TEST(TheBatVersion, ReadFromRegistry)
{
    struct Row { const char* name; DWORD type; const char* value; int result; ULONGLONG version; } rows[] = {
        {"2.09", REG_SZ, "2.09", 1, ULONGLONG(0x00020009) << 32},
        {"3.5", REG_SZ, "3.5", 1, ULONGLONG(0x00030032) << 32},
        {"4", REG_SZ, "4", 1, ULONGLONG(0x00040000) << 32},
        // Decimal ties round up by their digits, not by what a double holds.
        {"1.335", REG_SZ, "1.335", 1, ULONGLONG(0x00010022) << 32},
        {"2.125", REG_SZ, "2.125", 1, ULONGLONG(0x0002000D) << 32},
        {"4.005", REG_SZ, "4.005", 1, ULONGLONG(0x00040001) << 32},
        {"3.995 carries", REG_SZ, "3.995", 1, ULONGLONG(0x00040000) << 32},
        {"0.001 is above 0", REG_SZ, "0.001", 1, 0},
        {"leading blanks", REG_SZ, "  5.25 beta", 1, ULONGLONG(0x00050019) << 32},
        {"no 16-bit major", REG_SZ, "70000.5", 0, 0},
        {"zero", REG_SZ, "0", 0, 0},
        {"negative", REG_SZ, "-2.5", 0, 0},
        {"no number", REG_SZ, "beta", 0, 0},
        {"a number type", REG_DWORD, nullptr, 0, 0},
        {"no value", 0, nullptr, 0, 0},
    };
    for (const Row& r : rows) {
        RegistrySandbox sandbox(HKEY_CURRENT_USER);
        ASSERT_TRUE(sandbox.IsActive());
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\RIT\\The Bat!", 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &hKey, NULL));
        if (r.type == REG_SZ)
            RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(r.value),
                           DWORD(strlen(r.value) + 1));
        else if (r.type == REG_DWORD) {
            const DWORD dw = 3;
            RegSetValueExA(hKey, "Version", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
        }
        RegCloseKey(hKey);
        g_TheBatVersion = 0;
        EXPECT_EQ(r.result, ReadTheBatVersion()) << r.name;
        EXPECT_EQ(r.version, g_TheBatVersion) << r.name;
    }
    RegistrySandbox empty(HKEY_CURRENT_USER);
    EXPECT_EQ(0, ReadTheBatVersion()) << "no key";
}

}   // namespace
