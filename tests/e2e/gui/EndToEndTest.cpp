// The whole program as a user runs it: dist/tarvenex.exe started on the tests'
// virtual desktop with the settings a user has after the first start, sitting
// in the tray, opened by a second start, sending demo smilies into stand-in
// targets with a click, and ended from the tray menu with the keyboard. Every
// wait is bounded; the test posts nothing to the program but what a user's
// actions would (the tray icon's callback when the icon cannot be clicked).
#include "collection/TvnxSave.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/e2e/gui/ProgramSession.h"
#include "tests/tools/Pump.h"
#include "tests/tools/StandInTarget.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace session;

// ---- the prefix ---------------------------------------------------------------------------

// The names of the values stored under the settings key.
std::vector<std::string> StoredValues()
{
    std::vector<std::string> names;
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return names;
    char sz[256];
    for (DWORD i = 0;; i++) {
        DWORD cch = sizeof(sz);
        if (RegEnumValueA(hKey, i, sz, &cch, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(sz);
    }
    RegCloseKey(hKey);
    return names;
}

// A temporary picture file of the program's kind, made nHours ago.
std::string OldTempFile(const std::string& folder, int nSerial, int nHours)
{
    char name[64];
    snprintf(name, sizeof(name), "tarvenex-tmp%09d.gif", nSerial);
    const std::string path = folder + "\\" + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return path;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= ULONGLONG(nHours) * 3600 * 10000000 + ULONGLONG(5) * 60 * 10000000;   // and 5 minutes
    FILETIME then = {t.LowPart, t.HighPart};
    SetFileTime(h, &then, &then, &then);
    CloseHandle(h);
    return path;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program from dist/ on the stand-in desktop; it must have ended by the end of the test.
class Program : public Process
{
public:
    Program() : Process(Dist() + "tarvenex.exe", kStandInDesktop) {}
    ~Program()
    {
        if (started && !Ended(0))
            ADD_FAILURE() << "the program was still running at the end of the test";
    }
};

// ---- the demo collection ------------------------------------------------------------------

struct DemoCell
{
    int nColumn = -1, nRow = -1;
    std::string strSource;   // "-" for none
    unsigned nRecord = 0;
};

struct DemoField
{
    std::string strName, strCode;
    int nCellWidth = 0, nCellHeight = 0;
    std::vector<DemoCell> pictures;
};

// The fields of the demo as its manifest lists them (pictures only).
std::vector<DemoField> ReadManifest()
{
    std::vector<DemoField> fields;
    std::ifstream in(std::string(TVNX_BINARY_DIR) + "\\demo-manifest.txt");
    std::string strLine;
    while (std::getline(in, strLine)) {
        std::istringstream line(strLine);
        std::string strKind;
        line >> strKind;
        if (strKind == "field") {
            DemoField f;
            int n = 0;
            line >> f.strName >> f.nCellWidth >> f.nCellHeight >> n;
            std::getline(line >> std::ws, f.strCode);
            fields.push_back(f);
        } else if (strKind == "cell" && !fields.empty()) {
            DemoCell c;
            std::string strWhat, strFormat;
            int nFrames = 0;
            line >> c.nColumn >> c.nRow >> strWhat;
            if (strWhat != "picture")
                continue;
            line >> strFormat >> nFrames >> c.strSource >> c.nRecord;
            fields.back().pictures.push_back(c);
        }
    }
    return fields;
}

// A picture record's bytes, read from a collection file as the program stores it.
Bytes RecordBytes(const std::string& collection, unsigned nRecord)
{
    CTvnxSave file;
    if (file.OpenCollection(collection.c_str(), FALSE, 0) != 0)
        return Bytes();
    CString strName;
    const uint32_t nSize = file.ReadRecord(nRecord, strName, NULL);
    Bytes b(nSize);
    if (nSize == 0 || file.ReadRecord(nRecord, strName, b.data()) != nSize)
        b.clear();
    file.Close();
    return b;
}

// Until the stand-in is the foreground program with the focus in its input: the
// focus hook posts its report to the program while the focus moves, and a
// posted message is taken before the click that follows.
bool WaitUntilFocused(const TargetProcess& target)
{
    return PumpUntil(
        [&] {
            GUITHREADINFO gti = {sizeof(gti)};
            const DWORD nThread = GetWindowThreadProcessId(target.frame, NULL);
            return GetForegroundWindow() == target.frame && GetGUIThreadInfo(nThread, &gti) &&
                   gti.hwndFocus == target.input;
        },
        10000);
}


// The middle of a cell, on the screen.
POINT CellCentre(HWND hField, const DemoField& f, const DemoCell& c)
{
    POINT pt = {c.nColumn * f.nCellWidth + f.nCellWidth / 2, c.nRow * f.nCellHeight + f.nCellHeight / 2};
    ClientToScreen(hField, &pt);
    return pt;
}

}  // namespace

// The whole road, in one run of the program and a second start of it.
TEST(EndToEnd, FromTheTrayToASmilieInAnotherProgramAndOut)
{
    const std::vector<DemoField> demo = ReadManifest();
    ASSERT_GE(demo.size(), 2u) << "no demo manifest";
    // A field with a code, holding a picture with an address and one without.
    const DemoField* pField = nullptr;
    const DemoCell *pWeb = nullptr, *pLocal = nullptr;
    for (const DemoField& f : demo) {
        pWeb = pLocal = nullptr;
        for (const DemoCell& c : f.pictures) {
            if (c.strSource == "-" && pLocal == nullptr)
                pLocal = &c;
            else if (c.strSource != "-" && pWeb == nullptr)
                pWeb = &c;
        }
        if (!f.strCode.empty() && pWeb != nullptr && pLocal != nullptr) {
            pField = &f;
            break;
        }
    }
    ASSERT_TRUE(pField != nullptr) << "the demo has no field with a code, a web picture and a local one";

    // 1. The prefix as after the first start, the data folder holding the demo.
    FirstStartPrefix prefix("e2e-data", false);
    ASSERT_TRUE(prefix.ready) << prefix.dataFolder;
    SetSetting("FieldName", pField->strName);
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    std::string tempFolder = szTemp;
    if (!tempFolder.empty() && tempFolder.back() == '\\')
        tempFolder.pop_back();
    const std::string old72 = OldTempFile(tempFolder, 700000001, 72);
    const std::string old73 = OldTempFile(tempFolder, 700000002, 73);

    OnVirtualDesktop([&] {
        // 2. Into the tray, no main window.
        Program first;
        ASSERT_TRUE(first.started);
        HWND hTray = WaitForWindow(kTrayClass, 30000, false);
        ASSERT_TRUE(hTray != NULL) << "no tray window";
        HWND hEarly = FindWindowA(kMainClass, NULL);
        EXPECT_TRUE(hEarly == NULL || !IsWindowVisible(hEarly)) << "a main window at start-up";

        // 3. A second start hands over and ends; the first shows its main window.
        {
            Program second;
            ASSERT_TRUE(second.started);
            EXPECT_EQ(0, second.WaitForEnd(20000)) << "the second start did not end at once";
        }
        HWND hMain = WaitForWindow(kMainClass, 20000, true);
        ASSERT_TRUE(hMain != NULL) << "the main window did not open";
        HWND hField = NULL;
        ASSERT_TRUE(PumpUntil([&] { return (hField = FieldWindow(hMain)) != NULL; }, 10000));

        // 4. A program no list knows takes the focus; the focus hook tells the program.
        {
            POINT last = {-1, -1};
            EXPECT_TRUE(PointAt(CellCentre(hField, *pField, *pWeb), &last)) << last.x << "," << last.y;
            TargetProcess target("e2enotes.exe", 0, 0, "plain", {"#1"});
            ASSERT_TRUE(target.input != NULL);
            ASSERT_EQ(hField, WindowFromPoint(CellCentre(hField, *pField, *pWeb))) << "the cell is covered";
            ASSERT_TRUE(WaitUntilFocused(target)) << "the stand-in did not take the focus";

            // 5. A click on a smilie whose source is an address: its code, as text.
            std::string text;
            ClickAt(CellCentre(hField, *pField, *pWeb));
            EXPECT_TRUE(PumpUntil([&] { return target.Format("#1", &text); }, 15000)) << "nothing was pasted";
            std::string want = pField->strCode;
            const size_t at = want.find("<SMILIE>");
            if (at != std::string::npos)
                want.replace(at, 8, pWeb->strSource);
            EXPECT_EQ(want + std::string(1, '\0'), text);
            EXPECT_GE(target.Count("key "), 2) << "no Shift+Insert reached the stand-in";
        }

        // 6. A mail client asking for HTML: the page names a temporary file
        // holding the picture's record.
        {
            POINT last = {-1, -1};
            EXPECT_TRUE(PointAt(CellCentre(hField, *pField, *pLocal), &last)) << last.x << "," << last.y;
            TargetProcess mail("msimn.exe", 6, 0, "compose", {"HTML Format"});
            ASSERT_TRUE(mail.input != NULL);
            ASSERT_EQ(hField, WindowFromPoint(CellCentre(hField, *pField, *pLocal))) << "the cell is covered";
            ASSERT_TRUE(WaitUntilFocused(mail)) << "the mail stand-in did not take the focus";
            ClickAt(CellCentre(hField, *pField, *pLocal));
            std::string html;
            EXPECT_TRUE(PumpUntil([&] { return mail.Format("HTML Format", &html); }, 15000)) << "nothing pasted";
            const CfHtml h = ReadCfHtml(html);
            ASSERT_TRUE(h.ok) << html;
            const std::string path = FromFileUrl(h.src);
            EXPECT_EQ(0, _strnicmp(path.c_str(), tempFolder.c_str(), tempFolder.size())) << path;
            EXPECT_EQ(RecordBytes(Dist() + "demo.tvnx", pLocal->nRecord), ReadBytes(path)) << path;
        }

        // 7. Exit from the tray menu with the keyboard.
        ExitFromTheTrayMenu(hTray);
        EXPECT_EQ(0, first.WaitForEnd(30000)) << "the program did not end with 0";
    });
    HANDLE hMutex = OpenMutexA(SYNCHRONIZE, FALSE, "TvnxMutex_UniqueInstance");
    EXPECT_TRUE(hMutex == NULL) << "the single-instance mutex outlived the program";
    if (hMutex != NULL)
        CloseHandle(hMutex);
    EXPECT_TRUE(Exists(old72)) << "a 72-hour temporary file was deleted";
    EXPECT_FALSE(Exists(old73)) << "a 73-hour temporary file was kept";
    const std::vector<std::string> saved = StoredValues();
    EXPECT_NE(saved.end(), std::find(saved.begin(), saved.end(), "MainWndHeight")) << "the settings were not saved";

    // 8. Once more in the same prefix: the saved values stay.
    OnVirtualDesktop([&] {
        Program again;
        ASSERT_TRUE(again.started);
        HWND hTray = WaitForWindow(kTrayClass, 30000, false);
        ASSERT_TRUE(hTray != NULL);
        ExitFromTheTrayMenu(hTray);
        EXPECT_EQ(0, again.WaitForEnd(30000));
    });
    EXPECT_EQ(saved, StoredValues()) << "a second run lost saved values";

    DeleteFileA(old72.c_str());
    DeleteFileA(old73.c_str());
}
