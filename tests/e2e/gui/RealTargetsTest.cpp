// Targets no one here wrote: Wine's own notepad and wordpad. The program runs
// as scripts/run starts it (on the session's display, no virtual desktop,
// windows unmanaged); the user types in the target, then clicks a phrase and
// a picture in the real field window, with the target beside the main window
// and over it. What landed is read back from the target's edit control, and
// the keys typed next must reach the target too: the desktop window never
// ends in front. (Clicks and keys go in through SendInput, past the X server.)
#include "tests/e2e/gui/ProgramSession.h"
#include "tests/tools/Pump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace session;

// ---- the demo -----------------------------------------------------------------------------

struct Cell
{
    std::string strField, strCode;
    int nCellWidth = 0, nCellHeight = 0;
    int nColumn = -1, nRow = -1;
    std::string strText;   // the phrase, or the picture's address
};

// The first phrase, and the first picture with an address in a field with a code.
bool FindDemoCells(Cell* pPhrase, Cell* pPicture)
{
    std::ifstream in(std::string(TVNX_BINARY_DIR) + "\\demo-manifest.txt");
    std::string strLine;
    Cell field;
    bool bPhrase = false, bPicture = false;
    while (std::getline(in, strLine)) {
        std::istringstream line(strLine);
        std::string strKind, strWhat;
        line >> strKind;
        if (strKind == "field") {
            int n = 0;
            field = Cell();
            line >> field.strField >> field.nCellWidth >> field.nCellHeight >> n;
            std::getline(line >> std::ws, field.strCode);
            continue;
        }
        Cell c = field;
        line >> c.nColumn >> c.nRow >> strWhat;
        if (strWhat == "phrase" && !bPhrase) {
            std::getline(line >> std::ws, c.strText);
            *pPhrase = c;
            bPhrase = true;
        } else if (strWhat == "picture" && !bPicture && !field.strCode.empty()) {
            std::string strFormat;
            int nFrames = 0;
            line >> strFormat >> nFrames >> c.strText;
            if (c.strText != "-") {
                *pPicture = c;
                bPicture = true;
            }
        }
    }
    return bPhrase && bPicture;
}

// What a target that takes only text gets for a cell: the phrase, or the
// field's code around the picture's address.
std::string PlainTextOf(const Cell& c)
{
    if (c.strCode.empty())
        return c.strText;
    std::string s = c.strCode;
    const size_t at = s.find("<SMILIE>");
    if (at != std::string::npos)
        s.replace(at, 8, c.strText);
    return s;
}

// ---- the program and the targets ----------------------------------------------------------

std::string TextOf(HWND hWnd)
{
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &n))
        return "<no answer>";
    std::vector<char> buf(n + 1);
    DWORD_PTR nGot = 0;
    SendMessageTimeoutA(hWnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 2000,
                        &nGot);
    return std::string(buf.data(), size_t(nGot));
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

std::string Describe(HWND hWnd)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "%p", static_cast<void*>(hWnd));
    return std::string(sz) + " (" + (hWnd != NULL ? ClassOf(hWnd) : std::string("none")) + ")";
}

struct Target
{
    const char* pszName;
    std::string strExe;
    const char* pszFrame;   // class of its top-level window
    const char* pszEdit;    // class of the control the user types in (its start)
};

HWND FindChild(HWND hParent, const char* pszClass)
{
    WindowSearch find = {pszClass, NULL};
    EnumChildWindows(hParent, FindAny, reinterpret_cast<LPARAM>(&find));
    return find.hWnd;
}

bool Intersect(const RECT& a, const RECT& b)
{
    RECT r;
    return IntersectRect(&r, &a, &b) != 0;
}

// The formats on the clipboard, by name, without asking for any.
std::string OfferedFormats()
{
    std::string s;
    if (!OpenClipboard(NULL))
        return "<clipboard busy>";
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) {
        char sz[128];
        if (GetClipboardFormatNameA(f, sz, sizeof(sz)) <= 0)
            snprintf(sz, sizeof(sz), "#%u", f);
        s += s.empty() ? "" : ", ";
        s += sz;
    }
    CloseClipboard();
    return s;
}

// What the data source answers for the formats a rich edit pastes, asked from
// here while the target is the remembered window: each format's size and start.
std::string Answers()
{
    std::string s;
    const UINT formats[] = {RegisterClipboardFormatA("Rich Text Format"), CF_UNICODETEXT, CF_TEXT, CF_DIB};
    const char* const names[] = {"Rich Text Format", "CF_UNICODETEXT", "CF_TEXT", "CF_DIB"};
    if (!OpenClipboard(NULL))
        return "<clipboard busy>";
    for (size_t i = 0; i < 4; i++) {
        s += std::string(i == 0 ? "" : "; ") + names[i] + ": ";
        HANDLE h = IsClipboardFormatAvailable(formats[i]) ? GetClipboardData(formats[i]) : NULL;
        if (h == NULL) {
            s += "none";
            continue;
        }
        const SIZE_T n = GlobalSize(h);
        s += std::to_string(n) + " bytes";
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p != NULL && formats[i] != CF_DIB && formats[i] != CF_UNICODETEXT) {
            std::string head(p, std::min<SIZE_T>(n, 48));
            for (char& c : head)
                c = c >= ' ' && c < 127 ? c : '.';
            s += " \"" + head + "\"";
        }
        if (p != NULL)
            GlobalUnlock(h);
    }
    CloseClipboard();
    return s;
}

// One pass: the target starts, gets the focus from a click, the user types,
// puts the caret between two letters; then a click on the cell.
struct Result
{
    bool bFront = false;       // the target in front after the click
    std::string strText;       // the edit control's text after it
    std::string strFront;      // what was in front
};

void ClickIntoTarget(const Target& t, const char* pszDesktop, HWND hMain, HWND hField, const Cell& cell, bool bOver,
                     bool bMustPaste)
{
    SCOPED_TRACE(std::string(t.pszName) + (bOver ? ", over the main window" : ", beside the main window") + ", " +
                 cell.strField + " (" + std::to_string(cell.nColumn) + "," + std::to_string(cell.nRow) + ")");
    Process target(t.strExe, pszDesktop);
    ASSERT_TRUE(target.started) << t.strExe;
    const HWND hFrame = target.Window(t.pszFrame, 20000);
    ASSERT_TRUE(hFrame != NULL) << "no " << t.pszFrame << " window";
    HWND hEdit = NULL;
    ASSERT_TRUE(PumpUntil([&] { return (hEdit = FindChild(hFrame, t.pszEdit)) != NULL; }, 10000));

    POINT ptCell = {cell.nColumn * cell.nCellWidth + cell.nCellWidth / 2,
                    cell.nRow * cell.nCellHeight + cell.nCellHeight / 2};
    ClientToScreen(hField, &ptCell);
    RECT rcMain, rcScreen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    GetWindowRect(hMain, &rcMain);
    // Beside: on the wider side of the main window. Over: across the main
    // window up to the clicked cell, from the side with more of it.
    RECT rc;
    if (!bOver) {
        if (rcMain.left > rcScreen.right - rcMain.right)
            rc = {0, 0, rcMain.left - 10, 400};
        else
            rc = {rcMain.right + 10, 0, rcScreen.right, 400};
    } else if (ptCell.x - rcMain.left > rcMain.right - ptCell.x) {
        rc = {std::max(0L, rcMain.left - 300), std::max(0L, rcMain.top - 40), ptCell.x - cell.nCellWidth, rcMain.bottom + 40};
    } else {
        rc = {ptCell.x + cell.nCellWidth, std::max(0L, rcMain.top - 40), std::min(rcScreen.right, rcMain.right + 300),
              rcMain.bottom + 40};
    }
    SetWindowPos(hFrame, NULL, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] {
        RECT now;
        return GetWindowRect(hFrame, &now) && now.left == rc.left && now.top == rc.top;
    }, 5000)) << "the target did not move";
    ASSERT_EQ(bOver, Intersect(rc, rcMain));

    // The user clicks into the target and types; the caret goes between the letters.
    RECT rcEdit;
    GetWindowRect(hEdit, &rcEdit);
    ClickAt({(rcEdit.left + rcEdit.right) / 2, (rcEdit.top + rcEdit.bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] {
        GUITHREADINFO gti = {sizeof(gti)};
        return GetForegroundWindow() == hFrame && GetGUIThreadInfo(GetWindowThreadProcessId(hFrame, NULL), &gti) &&
               gti.hwndFocus == hEdit;
    }, 10000)) << "the target did not take the focus; in front: " << Describe(GetForegroundWindow());
    Key('A');
    Key('B');
    ASSERT_TRUE(PumpUntil([&] { return TextOf(hEdit) == "ab"; }, 5000)) << "typed: " << TextOf(hEdit);
    Key(VK_LEFT);
    ASSERT_EQ(hField, WindowFromPoint(ptCell)) << "the cell is covered";

    ClickAt(ptCell);
    // The click activates the program, and the insertion brings the target back.
    const std::string strWant = "a" + PlainTextOf(cell) + "b";
    bool bFront = false;
    std::string strText;
    PumpUntil([&] {
        bFront = GetForegroundWindow() == hFrame;
        strText = TextOf(hEdit);
        return bFront && (strText == strWant || (!bMustPaste && strText != "ab"));
    }, 8000);
    // Then nothing more comes.
    PumpUntil([] { return false; }, 500);
    const HWND hFront = GetForegroundWindow();
    strText = TextOf(hEdit);
    printf("%s: in front %s, the text %s, on the clipboard: %s\n", t.pszName, Describe(hFront).c_str(),
           ("\"" + strText + "\"").c_str(), OfferedFormats().c_str());
    if (std::string(t.pszName) == "wordpad")
        printf("wordpad %s; the data source answers %s\n",
               strText == "ab" ? "asked for nothing (Shift+Insert is no paste key for it)" : "pasted",
               Answers().c_str());
    EXPECT_NE("#32769", ClassOf(hFront)) << "the desktop window was left in front";
    EXPECT_EQ(hFrame, hFront) << "in front: " << Describe(hFront);
    if (bMustPaste)
        EXPECT_EQ(strWant, strText);
    else
        EXPECT_TRUE(strText == "ab" || strText == strWant) << strText;

    // The keys typed next go to the target, at the caret.
    const std::string strBefore = TextOf(hEdit);
    Key('Z');
    EXPECT_TRUE(PumpUntil([&] { return TextOf(hEdit).size() == strBefore.size() + 1; }, 5000))
        << "the key went elsewhere; in front: " << Describe(GetForegroundWindow()) << ", text: " << TextOf(hEdit);
    EXPECT_EQ(strBefore.substr(0, strBefore.size() - 1) + "zb", TextOf(hEdit));

    PostMessageA(hFrame, WM_CLOSE, 0, 0);
    // Both targets ask whether to save the changed text: no.
    PumpUntil([&] {
        if (target.Ended(0))
            return true;
        HWND hAsk = FindWindowA("#32770", NULL);
        if (hAsk != NULL && GetWindowThreadProcessId(hAsk, NULL) == GetWindowThreadProcessId(hFrame, NULL))
            PostMessageA(hAsk, WM_COMMAND, IDNO, 0);
        return false;
    }, 10000);
}

// The program with the field of cell on show, and the clicks into each target
// beside its main window and over it.
void RunClicks(const char* pszDesktop, const Cell& cell, const std::vector<Target>& targets, bool bWordpadMustPaste)
{
    SetSetting("FieldName", cell.strField);
    Process program(Dist() + "tarvenex.exe", pszDesktop);
    ASSERT_TRUE(program.started);
    const HWND hMain = WaitForWindow(kMainClass, 30000, true);
    ASSERT_TRUE(hMain != NULL) << "the main window did not open";
    HWND hField = NULL;
    ASSERT_TRUE(PumpUntil([&] { return (hField = FieldWindow(hMain)) != NULL; }, 10000));
    for (const Target& t : targets)
        for (bool bOver : {false, true})
            ClickIntoTarget(t, pszDesktop, hMain, hField, cell, bOver,
                            std::string(t.pszName) == "notepad" || bWordpadMustPaste);
    HWND hTray = FindWindowA(kTrayClass, NULL);
    ASSERT_TRUE(hTray != NULL);
    ExitFromTheTrayMenu(hTray);
    EXPECT_TRUE(program.Ended(30000)) << "the program did not end";
}

void RealTargets(const char* pszDesktop)
{
    Cell phrase, picture;
    ASSERT_TRUE(FindDemoCells(&phrase, &picture)) << "the demo has no phrase, or no picture with an address";
    FirstStartPrefix prefix("real-targets", true);
    ASSERT_TRUE(prefix.ready) << prefix.dataFolder;

    char szSystem[MAX_PATH], szWordpad[MAX_PATH];
    GetSystemDirectoryA(szSystem, sizeof(szSystem));
    ExpandEnvironmentStringsA("%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe", szWordpad, sizeof(szWordpad));
    const std::vector<Target> targets = {{"notepad", std::string(szSystem) + "\\notepad.exe", "Notepad", "Edit"},
                                         {"wordpad", szWordpad, "WordPadTop", "RichEdit"}};
    // Wine's wordpad ignores Shift+Insert: its text stays as it was, or takes the paste.
    RunClicks(pszDesktop, phrase, targets, false);
    RunClicks(pszDesktop, picture, targets, false);
}

}  // namespace

// On the display itself, windows unmanaged, as scripts/run runs the program.
TEST(RealTargets, NotepadAndWordpadBesideAndOverTheMainWindow)
{
    RealTargets(NULL);
}
