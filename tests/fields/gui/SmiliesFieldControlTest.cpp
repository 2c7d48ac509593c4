// The field control on real windows: the preview and the part tips by
// hand-fed ticks, the keys through the key-state seam, picture downloads from
// a server on 127.0.0.1 waited for by their messages, the import of dropped
// pictures and text, adding pictures from files, the right-drag menu, the
// in-field move and resize controls, and destruction while a modal dialog runs.
// Winsock before windows.h (the loopback server).
#include "tests/collection/LoopbackHttpServer.h"

#include "tests/fields/gui/FieldTestKit.h"

#include "collection/CheckUrl.h"
#include "dialogs/DlgPhraseNew.h"
#include "dialogs/Progress.h"
#include "fields/FieldAdd.h"
#include "fields/ForeignFocus.h"
#include "fields/InFieldControls.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/SmiliesPasteGroup.h"
#include "framework/Framework.h"
#include "framework/OleDataSource.h"
#include "framework/ModalAnswerer.h"
#include "delivery/SourceText.h"
#include "services/Busy.h"
#include "services/KeyState.h"
#include "services/Languages.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/dialogs/3DFileDialog.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/controls/DragImageWnd.h"
#include "ui3d/controls/SmiliePreview.h"

#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace fieldkit;

namespace {

// The control with what it shows written down.
class TestControl : public CSmiliesFieldControl
{
public:
    void ShowSmilieTip(CSmilie* pSmilie, int, int) override { previews.push_back(pSmilie); }
    void ShowPartTip(int nTip, int x, int y) override
    {
        tips.push_back(nTip);
        CSmiliesFieldControl::ShowPartTip(nTip, x, y);
    }
    using CSmiliesFieldControl::m_DroppedImages;
    using CSmiliesFieldControl::m_ptDrop;
    using CSmiliesFieldControl::m_strDroppedText;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DOWNLOADDONE)
            downloadsDone.push_back(reinterpret_cast<CSmilie*>(wParam));
        return CSmiliesFieldControl::WindowProc(message, wParam, lParam);
    }
    std::vector<CSmilie*> downloadsDone;
    // What was sent and which menus opened where: "sent c,r", "smilie menu c,r".
    void OnSmilieClick(POINT* pPoint, CSmilie* pSmilie) override
    {
        if (pSmilie != NULL)
            Note("sent", pSmilie->m_nColumn, pSmilie->m_nRow);
        CSmiliesFieldControl::OnSmilieClick(pPoint, pSmilie);
    }
    void OnFieldMenu(POINT* pPoint) override
    {
        const POINT cell = CellFromPoint(*pPoint);
        Note("field menu", cell.x, cell.y);
        CSmiliesFieldControl::OnFieldMenu(pPoint);
    }
    void OnSmilieMenu(POINT* pPoint) override
    {
        const POINT cell = CellFromPoint(*pPoint);
        Note("smilie menu", cell.x, cell.y);
        CSmiliesFieldControl::OnSmilieMenu(pPoint);
    }
    void Note(const char* psz, int c, int r)
    {
        outcomes += (outcomes.empty() ? "" : "; ") + std::string(psz) + " " + std::to_string(c) + "," +
                    std::to_string(r);
    }
    std::string outcomes;

    std::vector<CSmilie*> previews;
    std::vector<int> tips;
};

// Message boxes answered with OK and written down; popup menus answered with
// a chosen command; other dialogs worked by a function.
class CTestAnswerer : public CModalAnswerer
{
public:
    CTestAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CTestAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (work)
            work(pDialog);
        if (pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox))) {
            boxes.push_back(static_cast<LPCSTR>(static_cast<C3DImgMessageBox*>(pDialog)->m_strText));
            return IDOK;
        }
        return pDialog->ContinueModal() ? IDCANCEL : -1;
    }
    // A file dialog: cancelled without names, else answered with them (the
    // first entry the folder) as the system lists several chosen files.
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        nFileDialogs++;
        if (fileNames.empty())
            return IDCANCEL;
        OPENFILENAMEA& ofn = static_cast<C3DFileDialog*>(pDialog)->m_ofn;
        std::string list;
        for (const std::string& name : fileNames)
            list += name + '\0';
        list += '\0';
        if (list.size() > ofn.nMaxFile)
            return IDCANCEL;
        memcpy(ofn.lpstrFile, list.data(), list.size());
        ofn.nFileOffset = static_cast<WORD>(fileNames[0].size() + 1);
        return IDOK;
    }
    std::vector<std::string> fileNames;
    int nFileDialogs = 0;

    BOOL OnPopupMenu(CMenu*, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        if (inMenu)
            inMenu();
        nMenus++;
        *pnCommand = nMenuCommand;
        return TRUE;
    }

    std::vector<std::string> boxes;
    std::function<void(CDialog*)> work;
    std::function<void()> inMenu;
    UINT nMenuCommand = 0;
    int nMenus = 0;

private:
    CModalAnswerer* m_pPrevious;
};

SHORT g_nCtrlState = 0;
SHORT WINAPI FakeAsyncKeyState(int nKey)
{
    return nKey == VK_CONTROL ? g_nCtrlState : 0;
}

HWND NoTarget()
{
    return NULL;
}

class FieldControl : public FieldFixture
{
protected:
    static void SetUpTestSuite()
    {
        // As the program does at start-up: the field registers its drop target.
        ::OleInitialize(NULL);
        ASSERT_TRUE(LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL));
    }
    static void TearDownTestSuite() { FreeLanguages(); }

    void SetUp() override
    {
        FieldFixture::SetUp();
        // No probe of this run leaves the machine.
        CCheckUrl::s_strProbeUrl = LoopbackHttpServer::RefusedUrl().c_str();
        m_pfnAsync = g_pfnGetAsyncKeyState;
        g_pfnGetAsyncKeyState = FakeAsyncKeyState;
        g_nCtrlState = 0;
        CSmiliesFieldControl::s_pfnGetTarget = NoTarget;
        g_Settings.FadeDialogs = 0;
        g_Settings.SmiliePreviewMode = 0;
        g_Settings.ShowTips = 0;
    }
    void TearDown() override
    {
        if (field.m_hWnd != NULL)
            field.DestroyWindow();
        g_WebSmilieQueue.RemoveAll();
        CSmiliesFieldControl::s_pfnGetTarget = GetForeignTarget;
        g_pfnGetAsyncKeyState = m_pfnAsync;
        CInFieldControl::s_pfnLoopStarted = NULL;
        FieldFixture::TearDown();
    }

    void Make(int cx = 350, int cy = 340) { ASSERT_TRUE(MakeField(field, m_parent, cx, cy, 35, 34)); }
    static LPARAM KeyData(bool bRepeat) { return 1 | (bRepeat ? 0x40000000 : 0); }
    POINT Centre(int c, int r) const { return field.GetCellRect(c, r).CenterPoint(); }
    void Tick(int nId) { Send(field, WM_VTIMER, static_cast<WPARAM>(nId)); }
    // Shift+F10 to the field, Shift down in the thread's key state meanwhile.
    void ShiftF10()
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
        Send(field, WM_SYSKEYDOWN, VK_F10, KeyData(false));
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
    }

    TestControl field;
    PFN_GETKEYSTATE m_pfnAsync = NULL;
};

// --- keys --------------------------------------------------------------------------------------

TEST_F(FieldControl, DeleteActsOnTheFirstPressOnly)
{
    Make();
    Fill(field, 3);
    PlaceCursor(field, Centre(1, 0).x, Centre(1, 0).y);
    const int nSteps = ParentWindow::s_nUndoSteps;
    Send(field, WM_KEYDOWN, VK_DELETE, KeyData(true));
    EXPECT_EQ(3, field.GetSmilieCount()) << "auto-repeat";
    Send(field, WM_KEYDOWN, VK_DELETE, KeyData(false));
    EXPECT_EQ(2, field.GetSmilieCount());
    EXPECT_EQ(NULL, field.GetAt(1, 0));
    EXPECT_EQ(nSteps + 1, ParentWindow::s_nUndoSteps);
}

TEST_F(FieldControl, DeleteTakesTheSelectionOrTheFocusCell)
{
    Make();
    Fill(field, 5);
    field.SetSmilieSelected(TRUE, 3, 0);
    field.SetSmilieSelected(TRUE, 4, 0);
    PlaceCursor(field, Centre(3, 0).x, Centre(3, 0).y);
    Send(field, WM_KEYDOWN, VK_DELETE, KeyData(false));
    EXPECT_EQ(3, field.GetSmilieCount()) << "a selected smilie under the cursor takes the selection with it";
    EXPECT_EQ(nullptr, field.GetAt(4, 0));

    field.SetFocusCell(2, 0);
    Send(field, WM_KEYDOWN, VK_DELETE, KeyData(false));
    EXPECT_EQ(nullptr, field.GetAt(2, 0)) << "the focus cell, wherever the cursor is";
    EXPECT_NE(nullptr, field.GetAt(1, 0));
}

TEST_F(FieldControl, CtrlAReadsTheHighBitOfTheKeyState)
{
    Make();
    Fill(field, 4);
    const struct {
        SHORT nState;
        bool bRepeat;
        int nSelected;
    } rows[] = {
        {0x0001, false, 0},   // pressed some time ago, not held now
        {(SHORT)0x8000, true, 0},
        {(SHORT)0x8000, false, 4},
        {(SHORT)0x8001, false, 0},   // all were selected: cleared
    };
    for (const auto& row : rows) {
        g_nCtrlState = row.nState;
        Send(field, WM_KEYDOWN, 'A', KeyData(row.bRepeat));
        EXPECT_EQ(row.nSelected, field.GetSelectedCount()) << std::hex << row.nState << " repeat " << row.bRepeat;
    }
}

TEST_F(FieldControl, ArrowsMoveTheFocusCellOrScrollByRows)
{
    Make(350, 102);
    Fill(field, 100);
    ASSERT_FALSE(field.HasFocusCell());
    const struct {
        int nFrom;
        UINT nKey;
        int nTo;
    } scrolls[] = {{0, VK_DOWN, 34}, {50, VK_UP, 34}, {34, VK_UP, 0}, {0, VK_UP, 0}, {20, VK_LEFT, 20}};
    for (const auto& s : scrolls) {
        field.SetScrollPos(s.nFrom, TRUE);
        Send(field, WM_KEYDOWN, s.nKey, KeyData(false));
        EXPECT_EQ(s.nTo, field.GetScrollPos()) << s.nFrom << " key " << s.nKey;
    }

    field.SetScrollPos(0, TRUE);
    field.SetFocusCell(2, 2);
    const struct {
        UINT nKey;
        POINT expected;
    } moves[] = {{VK_RIGHT, {3, 2}}, {VK_DOWN, {3, 3}}, {VK_LEFT, {2, 3}}, {VK_UP, {2, 2}}, {VK_HOME, {2, 0}}};
    for (const auto& m : moves) {
        Send(field, WM_KEYDOWN, m.nKey, KeyData(false));
        EXPECT_EQ(m.expected.x, field.GetFocusCell().x) << m.nKey;
        EXPECT_EQ(m.expected.y, field.GetFocusCell().y) << m.nKey;
    }
    EXPECT_EQ(0, field.GetScrollPos());
}

TEST_F(FieldControl, KeysActAtTheFocusCellAsTheMouseAndTheEditMenuDo)
{
    // Five smilies in row 0; "F c,r" is the focus cell, "S c" a selected
    // smilie, "-" neither. Keys: "Enter", "S-F10", "Apps", "Context" (the
    // menu message from elsewhere), "C-z" ... (Ctrl held), "z".
    const struct
    {
        const char* pszStart;
        const char* pszKey;
        const char* pszOutcome;  // what was sent or opened, then undo/redo, paste history, smilies
    } rows[] = {
        {"F 2,0", "Enter", "sent 2,0 | 0/0 | 0 | 5"},
        {"F 7,0", "Enter", " | 0/0 | 0 | 5"},
        {"-", "Enter", " | 0/0 | 0 | 5"},
        {"F 2,0", "S-F10", "smilie menu 2,0 | 0/0 | 0 | 5"},
        {"F 7,1", "Apps", "field menu 7,1 | 0/0 | 0 | 5"},
        {"F 1,0", "Context", "smilie menu 1,0 | 0/0 | 0 | 5"},
        {"S 3", "S-F10", "smilie menu 3,0 | 0/0 | 0 | 5"},
        {"-", "Apps", "smilie menu 0,0 | 0/0 | 0 | 5"},
        {"-", "C-z", " | 1/0 | 0 | 5"},
        {"-", "C-y", " | 0/1 | 0 | 5"},
        {"-", "z", " | 0/0 | 0 | 5"},
        {"F 1,0", "C-c", " | 0/0 | 1 | 5"},
        {"S 4", "C-x", " | 0/0 | 1 | 4"},
        {"F 7,0", "C-x", " | 0/0 | 0 | 5"},
        {"F 7,0", "C-c C-v", " | 0/0 | 0 | 5"},
        {"F 0,0", "C-c F 7,0 C-v", " | 0/0 | 1 | 6"},
    };
    CTestAnswerer answerer;
    for (const auto& row : rows) {
        Make();
        Fill(field, 5);
        g_PasteHistory.RemoveAll();
        ::OleSetClipboard(NULL);
        if (::OpenClipboard(NULL)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        field.outcomes.clear();
        ParentWindow::s_nUndone = ParentWindow::s_nRedone = 0;
        std::vector<std::string> words;
        std::istringstream in(std::string(row.pszStart) + " " + row.pszKey);
        for (std::string w; in >> w;)
            words.push_back(w);
        for (size_t i = 0; i < words.size(); i++) {
            const std::string& w = words[i];
            if (w == "-") {
                continue;
            } else if (w == "F" || w == "S") {
                int c = 0, r = 0;
                sscanf(words[++i].c_str(), "%d,%d", &c, &r);
                if (w == "F")
                    field.SetFocusCell(c, r);
                else
                    field.SetSmilieSelected(TRUE, c, 0);
            } else if (w == "Enter" || w == "Apps" || w == "z") {
                const UINT vk = w == "Enter" ? VK_RETURN : (w == "Apps" ? VK_APPS : 'Z');
                Send(field, WM_KEYDOWN, vk, KeyData(false));
                Send(field, WM_KEYUP, vk, KeyData(false) | 0xC0000000);
            } else if (w == "S-F10") {
                ShiftF10();
            } else if (w == "Context") {
                Send(field, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field.m_hWnd), -1);
            } else if (w.size() == 3 && w.compare(0, 2, "C-") == 0) {
                g_nCtrlState = static_cast<SHORT>(0x8000);
                Send(field, WM_KEYDOWN, toupper(w[2]), KeyData(false));
                g_nCtrlState = 0;
            } else {
                ADD_FAILURE() << "no such word: " << w;
            }
        }
        const std::string strOutcome = field.outcomes + " | " + std::to_string(ParentWindow::s_nUndone) + "/" +
                                       std::to_string(ParentWindow::s_nRedone) + " | " +
                                       std::to_string(g_PasteHistory.GetSize()) + " | " +
                                       std::to_string(field.GetSmilieCount());
        EXPECT_EQ(row.pszOutcome, strOutcome) << row.pszStart << ", keys " << row.pszKey;
        field.DestroyWindow();
    }
    g_PasteHistory.RemoveAll();
}

// Keys for the menu the system shows next: posted once its window is up.
std::vector<UINT> g_menuKeys;
void CALLBACK PostMenuKeys(HWND, UINT, UINT_PTR nId, DWORD)
{
    HWND hMenu = FindWindowA("#32768", NULL);
    if (hMenu == NULL || !IsWindowVisible(hMenu) || C3DMenu::GetTrackingCount() == 0)
        return;
    KillTimer(NULL, nId);
    HWND hWnd = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
    for (UINT n : g_menuKeys) {
        if (n < 0x100 && IsCharLowerA(static_cast<char>(n)))
            PostMessageA(hWnd, WM_CHAR, n, 1);
        else
            PostMessageA(hWnd, WM_KEYDOWN, n, 1);
    }
}
void CALLBACK EndLeftMenu(HWND, UINT, UINT_PTR nId, DWORD)
{
    KillTimer(NULL, nId);
    EndMenu();
}

// The smilie menu on the screen, opened with Shift+F10 at the focus cell and
// worked with its keys: the arrows and Enter, Esc, and the letters of its
// items (Cut, Copy, Delete, Properties).
TEST_F(FieldControl, TheSmilieMenuOpenedByKeyAnswersArrowsEnterEscAndLetters)
{
    const struct
    {
        std::vector<UINT> keys;
        int nHistory;  // paste history entries afterwards
        int nSmilies;
    } rows[] = {
        {{VK_ESCAPE}, 0, 5},
        {{'c'}, 1, 5},
        {{'t'}, 1, 4},
        {{'d'}, 0, 4},
        {{VK_DOWN, VK_DOWN, VK_RETURN}, 1, 5},
        {{VK_UP, VK_HOME, VK_RETURN}, 1, 4},
    };
    for (const auto& row : rows) {
        Make();
        Fill(field, 5);
        g_PasteHistory.RemoveAll();
        field.SetFocus();
        field.SetFocusCell(1, 0);
        g_menuKeys = row.keys;
        const UINT_PTR nKeys = SetTimer(NULL, 0, 20, PostMenuKeys);
        const UINT_PTR nLimit = SetTimer(NULL, 0, 4000, EndLeftMenu);
        ShiftF10();
        KillTimer(NULL, nKeys);
        KillTimer(NULL, nLimit);
        PumpPending();
        EXPECT_EQ(row.nHistory, g_PasteHistory.GetSize()) << "key " << row.keys[0];
        EXPECT_EQ(row.nSmilies, field.GetSmilieCount()) << "key " << row.keys[0];
        EXPECT_EQ("smilie menu 1,0", field.outcomes);
        field.outcomes.clear();
        field.DestroyWindow();
    }
    g_PasteHistory.RemoveAll();
}

// --- preview and tips ----------------------------------------------------------------------------

TEST_F(FieldControl, PreviewModeOneShowsEachSmilieOnceUntilAnotherWasShown)
{
    const Bytes pic = SolidBmp(20, 20, RGB(255, 0, 0));
    OpenPictures pictures({pic, pic});
    ASSERT_TRUE(pictures.IsOpen());
    g_Settings.SmiliePreviewMode = 1;
    g_Settings.SmiliePreviewTimeoutInMs = 300;
    Make();
    const POINT c0 = {0, 0}, c1 = {1, 0};
    CSmilie* pFirst = field.AddSmilie(&c0, 1, "", "");
    CSmilie* pSecond = field.AddSmilie(&c1, 2, "", "");
    field.RedrawAll();

    auto restAt = [&](POINT pt) {
        PlaceCursor(field, pt.x, pt.y);
        Move(field, pt.x, pt.y);
        const int nTimer = field.GetHoverTimer();
        EXPECT_NE(0, nTimer);
        EXPECT_EQ(30, HandTimer::Divider(field.m_hWnd, nTimer));
        Tick(nTimer);
        EXPECT_EQ(0, field.GetHoverTimer());
    };
    const POINT a = Centre(0, 0), b = Centre(1, 0);
    restAt(a);
    restAt(POINT{a.x + 1, a.y});
    restAt(b);
    restAt(a);
    ASSERT_EQ(3u, field.previews.size());
    EXPECT_EQ(pFirst, field.previews[0]);
    EXPECT_EQ(pSecond, field.previews[1]);
    EXPECT_EQ(pFirst, field.previews[2]);

    g_Settings.SmiliePreviewMode = 2;
    restAt(POINT{a.x + 2, a.y});
    EXPECT_EQ(4u, field.previews.size()) << "mode 2 shows again after a new rest";

    Move(field, a.x, a.y, MK_LBUTTON);
    EXPECT_EQ(0, field.GetHoverTimer()) << "no timer while a button is held";
}

TEST_F(FieldControl, TipTicksShowTheTipOfThePartUnderTheCursor)
{
    g_Settings.ShowTips = 1;
    Make();
    Fill(field, 1);
    CSmilie* pSmilie = field.GetAt(0, 0);
    const CRect rc = field.GetCellRect(0, 0);
    // One point of each part of the hot cell.
    POINT parts[5] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
    PlaceCursor(field, rc.CenterPoint().x, rc.CenterPoint().y);
    Move(field, rc.CenterPoint().x, rc.CenterPoint().y);
    for (int y = rc.top; y < rc.bottom; y++)
        for (int x = rc.left; x < rc.right; x++) {
            const int nPart = field.HitTestSmilie(pSmilie, x, y);
            if (nPart >= 0 && nPart <= 4 && parts[nPart].x < 0 && !field.IsOnResizeGrip(pSmilie, POINT{x, y}))
                parts[nPart] = POINT{x, y};
        }
    const POINT grip = {rc.right - 2, rc.bottom - 2};
    ASSERT_TRUE(field.IsOnResizeGrip(pSmilie, grip));

    const struct {
        const char* pszName;
        POINT pt;
        int nTip;   // 0: none shown
    } rows[] = {
        {"picture", parts[SMILIEPART_BODY], 0},
        {"menu button", parts[SMILIEPART_MENU], 2},
        {"select box", parts[SMILIEPART_SELECT], 3},
        {"resize grip", grip, 1},
    };
    for (const auto& row : rows) {
        ASSERT_GE(row.pt.x, 0) << row.pszName << ": no such part in the cell";
        field.tips.clear();
        PlaceCursor(field, row.pt.x, row.pt.y);
        Move(field, row.pt.x, row.pt.y);
        const int nTimer = field.GetTipTimer();
        ASSERT_NE(0, nTimer) << row.pszName;
        EXPECT_EQ(50, HandTimer::Divider(field.m_hWnd, nTimer));
        Tick(nTimer);
        if (row.nTip == 0) {
            EXPECT_TRUE(field.tips.empty()) << row.pszName;
            EXPECT_EQ(nullptr, field.GetPartTip()) << row.pszName;
        } else {
            ASSERT_EQ(1u, field.tips.size()) << row.pszName;
            EXPECT_EQ(row.nTip, field.tips[0]) << row.pszName;
            EXPECT_NE(nullptr, field.GetPartTip()) << row.pszName;
        }
    }
    Send(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
    Send(field, WM_LBUTTONUP, 0, MAKELPARAM(grip.x, grip.y));
    EXPECT_EQ(nullptr, field.GetPartTip()) << "a button closes the tip";
}

// --- downloads ---------------------------------------------------------------------------------------

std::string Body(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

Bytes OneBitBmp(int cx, int cy)
{
    BmpRecipe bmp;
    bmp.cx = cx;
    bmp.cy = cy;
    bmp.nBpp = 1;
    bmp.palette = {RGB(0, 0, 0), RGB(255, 255, 255)};
    bmp.pixels.assign(static_cast<size_t>(cx) * cy, 0);
    return MakeBmp(bmp);
}

TEST_F(FieldControl, DownloadsEndInTheirStateOrBecomeThePicture)
{
    OpenPictures pictures({SolidBmp(20, 20, RGB(0, 0, 255))});
    ASSERT_TRUE(pictures.IsOpen());
    LoopbackHttpServer server;
    HttpResponse r;
    r.body = std::string(307201, 'G');
    server.Add("/huge.gif", r);
    r.body = "<html><body>Not here</body></html>";
    server.Add("/page.gif", r);
    r.body = "just some words";
    server.Add("/words.gif", r);
    r.body = Body(OneBitBmp(700, 500));
    server.Add("/wide.bmp", r);
    r.body = Body(SolidBmp(2, 2, RGB(1, 2, 3)));
    server.Add("/tiny.bmp", r);
    const Bytes good = SolidBmp(24, 16, RGB(0, 200, 0));
    r.body = Body(good);
    server.Add("/good.bmp", r);

    CTestAnswerer answerer;
    Make();
    const struct {
        const char* pszPath;
        bool bWeb;
        DWORD nState;      // the end state; 0: the smilie was removed
        bool bPicture;
    } rows[] = {
        {"/huge.gif", false, 6, false}, {"/page.gif", true, 4, false}, {"/words.gif", true, 5, false},
        {"/words.gif", false, 0, false}, {"/wide.bmp", false, 8, false}, {"/tiny.bmp", false, 0, false},
        {"/good.bmp", true, DOWNLOAD_DONE, true},
    };
    std::vector<CSmilie*> smilies;
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); i++) {
        const POINT cell = {static_cast<int>(i), 0};
        CSmilie* p = field.AddSmilie(&cell, 0, "", server.Url(rows[i].pszPath).c_str());
        ASSERT_NE(nullptr, p);
        if (rows[i].bWeb)
            p->m_nFlags |= CSmilie::flagWebSmilie;
        CSmilie::QueueDownload(p);
        smilies.push_back(p);
    }
    while (CSmilie::StartNextDownload(FALSE, NULL)) {
    }
    ASSERT_TRUE(PumpUntil([&] { return field.downloadsDone.size() >= smilies.size(); }, 20000));
    for (size_t i = 0; i < smilies.size(); i++) {
        const auto& row = rows[i];
        if (row.nState == 0) {
            EXPECT_FALSE(field.FindSmilie(smilies[i])) << row.pszPath << ": an address smilie that ended is removed";
            continue;
        }
        ASSERT_TRUE(field.FindSmilie(smilies[i])) << row.pszPath;
        EXPECT_EQ(nullptr, smilies[i]->m_pDownload) << row.pszPath;
        EXPECT_EQ(row.nState, smilies[i]->m_nDownloadState & 0xFF) << row.pszPath;
        EXPECT_EQ(row.bPicture, smilies[i]->m_nImageRecord != 0) << row.pszPath;
    }
    CSmilie* pGood = smilies.back();
    EXPECT_EQ(0u, pGood->m_nFlags & CSmilie::flagWebSmilie) << "the picture came: no longer a web smilie";
    CString strName, strExpected;
    ASSERT_EQ(good.size(), g_pCollectionFile->ReadRecord(pGood->m_nImageRecord, strName, NULL));
    GetSourceFileNameNoTarget(strExpected, server.Url("/good.bmp").c_str());
    EXPECT_EQ(std::string(strExpected), std::string(strName));

    EXPECT_TRUE(answerer.boxes.empty() || answerer.boxes[0] == GetLangString(582));

    // A web smilie whose download ends the last: the user hears once the
    // message comes through.
    answerer.boxes.clear();
    const POINT cell = {0, 2};
    CSmilie* pLast = field.AddSmilie(&cell, 0, "", server.Url("/good.bmp?target=last").c_str());
    ASSERT_NE(nullptr, pLast);
    pLast->m_nFlags |= CSmilie::flagWebSmilie;
    CSmilie::QueueDownload(pLast);
    g_pCollectionFile->SetLevelByte(3);
    while (CSmilie::StartNextDownload(FALSE, NULL)) {
    }
    ASSERT_TRUE(PumpUntil([&] { return !answerer.boxes.empty(); }, 20000));
    EXPECT_EQ(GetLangString(582), answerer.boxes[0]);
    EXPECT_EQ(10, g_pCollectionFile->GetLevelByte());
}

// An operation of the busy state (a group dropped, pasted or deleted) pumps
// messages while it holds smilies of the field: a download result that ends
// an address smilie through that pump leaves it in place until the busy state
// is over, and only then removes it.
TEST_F(FieldControl, ADownloadEndedWhileBusyRemovesItsSmilieOnlyAfterwards)
{
    OpenPictures pictures({SolidBmp(20, 20, RGB(0, 0, 255))});
    ASSERT_TRUE(pictures.IsOpen());
    LoopbackHttpServer server;
    HttpResponse r;
    r.body = Body(SolidBmp(2, 2, RGB(1, 2, 3)));
    server.Add("/tiny.bmp", r);
    CTestAnswerer answerer;
    Make();
    const POINT cell = {1, 0};
    CSmilie* p = field.AddSmilie(&cell, 0, "", server.Url("/tiny.bmp").c_str());
    ASSERT_NE(nullptr, p);
    const BOOL bWasEnabled = g_BusyEnabled;
    g_BusyEnabled = TRUE;
    BeginBusy();
    CSmilie::QueueDownload(p);
    while (CSmilie::StartNextDownload(FALSE, NULL)) {
    }
    const bool bDone = PumpUntil([&] { return !field.downloadsDone.empty(); }, 20000);
    const bool bKept = field.FindSmilie(p) != FALSE;
    EndBusy();
    g_BusyEnabled = bWasEnabled;
    ASSERT_TRUE(bDone);
    EXPECT_TRUE(bKept) << "removed while the busy state was on";
    EXPECT_TRUE(PumpUntil([&] { return !field.FindSmilie(p); }, 5000)) << "not removed once it was over";
}

// A pending address smilie whose download fails goes by itself: the smilies
// the user selected stay selected, whether or not it was one of them.
TEST_F(FieldControl, AFailedDownloadTakesOnlyItsSmilieOutOfTheSelection)
{
    OpenPictures pictures({SolidBmp(20, 20, RGB(0, 0, 255))});
    ASSERT_TRUE(pictures.IsOpen());
    LoopbackHttpServer server;
    HttpResponse r;
    r.body = "just some words";
    server.Add("/words.gif", r);
    CTestAnswerer answerer;
    Make();
    ASSERT_TRUE(field.IsWindowVisible());
    const struct
    {
        const char* name;
        bool bFailedSelected;
    } rows[] = {{"the failed smilie not selected", false}, {"the failed smilie selected too", true}};
    for (const auto& row : rows) {
        field.DeleteAllSmilies();
        Fill(field, 2);
        const POINT cell = {2, 0};
        CSmilie* pPending = field.AddSmilie(&cell, 0, "", server.Url("/words.gif").c_str());
        ASSERT_NE(nullptr, pPending) << row.name;
        field.SetSmilieSelected(TRUE, 0, 0);
        field.SetSmilieSelected(TRUE, 1, 0);
        if (row.bFailedSelected)
            field.SetSmilieSelected(TRUE, 2, 0);
        field.downloadsDone.clear();
        CSmilie::QueueDownload(pPending);
        while (CSmilie::StartNextDownload(FALSE, NULL)) {
        }
        ASSERT_TRUE(PumpUntil([&] { return !field.downloadsDone.empty(); }, 20000)) << row.name;
        PumpPending();
        ASSERT_FALSE(field.FindSmilie(pPending)) << row.name << ": the failed smilie is removed";
        EXPECT_EQ(2, field.GetSelectedCount()) << row.name;
        EXPECT_TRUE(field.GetAt(0, 0)->m_bSelected && field.GetAt(1, 0)->m_bSelected) << row.name;
    }
}


// --- adding and the drop import ---------------------------------------------------------------------

class FieldAdding : public FieldControl
{
protected:
    void SetUp() override
    {
        FieldControl::SetUp();
        m_pPictures.reset(new OpenPictures({SolidBmp(10, 10, RGB(9, 9, 9))}));
        ASSERT_TRUE(m_pPictures->IsOpen());
    }
    void TearDown() override
    {
        FieldControl::TearDown();
        m_pPictures.reset();
    }
    std::string File(const std::string& strName, const Bytes& bytes)
    {
        const std::string strPath = m_dir.Path(strName);
        EXPECT_TRUE(WriteBytes(strPath, bytes));
        return strPath;
    }
    static ODOIMGINFO Entry(const std::string& strPath, const std::string& strUrl = "")
    {
        ODOIMGINFO info;
        info.strPath = strPath.c_str();
        info.strUrl = strUrl.c_str();
        return info;
    }

    TvnxTempDir m_dir;
    std::unique_ptr<OpenPictures> m_pPictures;
};

TEST_F(FieldAdding, PicturesAboveTheLimitsAreNotAdded)
{
    Make();
    // A picture padded to the size, its header telling that size.
    auto padded = [](size_t nSize) {
        Bytes b = SolidBmp(20, 20, RGB(1, 1, 1));
        b.resize(nSize, 0);
        for (int i = 0; i < 4; i++)
            b[2 + i] = BYTE(nSize >> (8 * i));
        return b;
    };
    const Bytes atLimit = padded(307200), overLimit = padded(307201);
    const struct {
        const char* pszName;
        Bytes bytes;
        int nAdded;
    } rows[] = {
        {"307200 bytes", atLimit, 1},
        {"307201 bytes", overLimit, 0},
        {"700 x 500", OneBitBmp(700, 500), 0},
        {"640 x 480", OneBitBmp(640, 480), 1},
        {"no picture", ::Text("not a picture at all"), 0},
    };
    int nRow = 0;
    for (const auto& row : rows) {
        CSequence<ODOIMGINFO> list;
        list.Add(Entry(File(std::string("p") + std::to_string(nRow) + ".bmp", row.bytes)));
        const CRect rc = field.GetCellRect(0, nRow++);
        EXPECT_EQ(row.nAdded, AddPicturesAt(&field, rc.CenterPoint(), list, 0)) << row.pszName;
        FreeImageInfoList(list);
    }
}

TEST_F(FieldAdding, PicturesFillTheRowWrapAndPushOccupiedRowsDown)
{
    Make();
    const int nColumns = field.GetColumnCount();
    const POINT last = {nColumns - 1, 0};
    CSmilie* pOld = field.AddSmilie(&last, 0, "old", "");
    const std::string strFile = File("a.bmp", SolidBmp(12, 12, RGB(200, 0, 0)));
    CSequence<ODOIMGINFO> list;
    list.Add(Entry(strFile));
    list.Add(Entry(strFile, "http://127.0.0.1/pics/a.bmp"));
    const int nSteps = ParentWindow::s_nUndoSteps;
    EXPECT_EQ(2, AddPicturesAt(&field, Centre(nColumns - 1, 0), list, 0));
    FreeImageInfoList(list);
    EXPECT_EQ(nSteps + 1, ParentWindow::s_nUndoSteps);
    EXPECT_EQ(pOld, field.GetAt(nColumns - 1, 1)) << "the occupied row went down";
    CSmilie* pFirst = field.GetAt(nColumns - 1, 0);
    CSmilie* pSecond = field.GetAt(0, 1);
    ASSERT_NE(nullptr, pFirst);
    ASSERT_NE(nullptr, pSecond) << "wrapped to the next row";
    CString strSource;
    pFirst->GetSource(strSource);
    EXPECT_EQ("", std::string(strSource)) << "a file alone is a local picture";
    pSecond->GetSource(strSource);
    EXPECT_EQ("http://127.0.0.1/pics/a.bmp", std::string(strSource)) << "a page keeps its address";
    EXPECT_NE(0u, pSecond->m_nImageRecord);
}

// A window that looks at the progress window when its message comes, from
// inside the import's own message pumping, and presses Esc on it.
int g_nProgressSeen = 0;
LRESULT CALLBACK ProgressProbeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP && CDlgAutoProgress::GetCurrent() != NULL) {
        g_nProgressSeen++;
        HWND hProgress = CDlgAutoProgress::GetCurrent()->m_hWnd;
        ::SendMessageA(hProgress, WM_KEYDOWN, VK_ESCAPE, 1);
        ::SendMessageA(hProgress, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(FieldAdding, DroppedPicturesShowTheProgressWindowOnlyAboveSixteen)
{
    Make(350, 600);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgressProbeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxProgressProbe";
    RegisterClassA(&wc);
    HWND hProbe = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    ASSERT_NE(nullptr, hProbe);
    const std::string strFile = File("d.bmp", SolidBmp(12, 12, RGB(0, 0, 200)));
    for (int nCount : {16, 17}) {
        field.DeleteAllSmilies();
        for (int i = 0; i < nCount; i++)
            field.m_DroppedImages.Add(Entry(strFile));
        field.m_ptDrop = Centre(0, 0);
        g_nProgressSeen = 0;
        field.PostMessage(WM_IMPORTDROPPED);
        ::PostMessageA(hProbe, WM_APP, 0, 0);
        PumpUntil([&] { return field.GetPendingPictureCount() == 0; }, 10000);
        PumpPending();
        EXPECT_EQ(nCount, field.GetSmilieCount()) << nCount;
        EXPECT_EQ(nCount > 16 ? 1 : 0, g_nProgressSeen) << nCount;
        EXPECT_EQ(nullptr, CDlgAutoProgress::GetCurrent()) << nCount;
    }
    DestroyWindow(hProbe);
}

TEST_F(FieldAdding, ADroppedTextBecomesAPhrase)
{
    Make();
    field.m_strDroppedText = "  a phrase";
    field.m_ptDrop = Centre(2, 1);
    Send(field, WM_IMPORTDROPPED);
    CSmilie* p = field.GetAt(2, 1);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ("  a phrase", std::string(p->m_strPhrase));
    EXPECT_TRUE(IsPhraseSmilie(p));
}

// Another program's drop reaches the field through its OLE drop target: files
// become pictures (with the progress window above sixteen, Esc on it ending
// nothing early), the text of a page without pictures a phrase; a bare text
// or a file that is no picture is refused at the door.
HGLOBAL FileList(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths)
        list += path + '\0';
    list += '\0';
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    BYTE* p = static_cast<BYTE*>(::GlobalLock(h));
    reinterpret_cast<DROPFILES*>(p)->pFiles = sizeof(DROPFILES);
    memcpy(p + sizeof(DROPFILES), list.data(), list.size());
    ::GlobalUnlock(h);
    return h;
}

HGLOBAL TextBlock(const std::string& text)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(::GlobalLock(h), text.c_str(), text.size() + 1);
    ::GlobalUnlock(h);
    return h;
}

TEST_F(FieldAdding, AnotherProgramsDropIsImportedThroughTheDropTarget)
{
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(NULL)));
    Make(350, 600);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgressProbeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxProgressProbe2";
    RegisterClassA(&wc);
    HWND hProbe = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    ASSERT_NE(nullptr, hProbe);
    std::vector<std::string> pictures;
    for (int i = 0; i < 17; i++)
        pictures.push_back(File("f" + std::to_string(i) + ".bmp", SolidBmp(12, 12, RGB(0, 10 * i, 0))));
    const std::string strNotes = File("notes.txt", ::Text("no picture"));
    const CLIPFORMAT cfHtml = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("HTML Format"));
    const std::string strPage = "Version:0.9\r\nStartHTML:-1\r\n<html><body><b>well said</b></body></html>";
    struct Row
    {
        const char* pszName;
        std::vector<std::pair<CLIPFORMAT, std::string>> texts;   // formats offered as text blocks
        std::vector<std::string> files;                           // CF_HDROP, when not empty
        DWORD nEffect;
        int nSmilies;
        int nProgress;
        const char* pszPhrase;
    };
    const Row rows[] = {
        {"one picture file", {}, {pictures[0]}, DROPEFFECT_COPY, 1, 0, NULL},
        {"sixteen", {}, std::vector<std::string>(pictures.begin(), pictures.begin() + 16), DROPEFFECT_COPY, 16, 0,
         NULL},
        {"seventeen", {}, pictures, DROPEFFECT_COPY, 17, 1, NULL},
        {"a page's text", {{cfHtml, strPage}, {CF_TEXT, "well said"}}, {}, DROPEFFECT_COPY, 1, 0, "well said"},
        {"a bare text", {{CF_TEXT, "just words"}}, {}, DROPEFFECT_NONE, 0, 0, NULL},
        {"a text file", {}, {strNotes}, DROPEFFECT_NONE, 0, 0, NULL},
    };
    const CRect rcField = [&] {
        CRect rc;
        ::GetWindowRect(field.m_hWnd, &rc);
        return rc;
    }();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pszName);
        field.DeleteAllSmilies();
        COleDataSource source;
        for (const auto& text : row.texts)
            source.CacheGlobalData(text.first, TextBlock(text.second));
        if (!row.files.empty())
            source.CacheGlobalData(CF_HDROP, FileList(row.files));
        IDropTarget* pTarget = field.m_DropTarget.GetInterface();
        const POINT pt = Centre(1, 0);
        const POINTL ptScreen = {rcField.left + pt.x, rcField.top + pt.y};
        DWORD nEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(S_OK, pTarget->DragEnter(source.GetInterface(), 0, ptScreen, &nEffect));
        EXPECT_EQ(row.nEffect, nEffect);
        nEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        pTarget->DragOver(0, ptScreen, &nEffect);
        nEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(S_OK, pTarget->Drop(source.GetInterface(), 0, ptScreen, &nEffect));
        EXPECT_EQ(row.nEffect, nEffect);
        EXPECT_EQ(0, field.GetSmilieCount()) << "nothing is added inside the drop";
        g_nProgressSeen = 0;
        ::PostMessageA(hProbe, WM_APP, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return field.GetSmilieCount() == row.nSmilies && g_nProgressSeen >= row.nProgress; },
                              10000));
        PumpPending();
        EXPECT_EQ(row.nSmilies, field.GetSmilieCount());
        EXPECT_EQ(row.nProgress, g_nProgressSeen);
        EXPECT_EQ(nullptr, CDlgAutoProgress::GetCurrent());
        EXPECT_EQ(0, field.GetPendingPictureCount());
        if (row.nSmilies > 0) {
            EXPECT_NE(nullptr, field.GetAt(1, 0)) << "added from the drop point on";
        }
        if (row.pszPhrase != NULL && field.GetAt(1, 0) != NULL) {
            EXPECT_EQ(row.pszPhrase, std::string(field.GetAt(1, 0)->m_strPhrase));
        }
    }
    DestroyWindow(hProbe);
    field.DestroyWindow();
    ::OleUninitialize();
}

TEST_F(FieldAdding, PicturesFromTheFileDialogTakeOnlyPictureFilesAndTellWhenNoneCame)
{
    Make();
    File("good.bmp", SolidBmp(12, 12, RGB(0, 120, 0)));
    File("BROKEN.JPEG", ::Text("taken by its extension, refused by its bytes"));
    File("notes.txt", SolidBmp(12, 12, RGB(0, 120, 0)));
    File("wide.bmp", OneBitBmp(700, 500));
    std::string strFolder = m_dir.Path("x");
    strFolder.erase(strFolder.size() - 2);
    // Names missing from the folder are refused as files that cannot be read;
    // the picture at the end is reached only when the whole list came through.
    std::vector<std::string> manyNames = {strFolder};
    for (int i = 0; i < 40; i++)
        manyNames.push_back("a-picture-that-is-not-there-" + std::to_string(i) + ".bmp");
    manyNames.push_back("good.bmp");
    CTestAnswerer answerer;
    const struct {
        const char* pszName;
        std::vector<std::string> names;
        int nAdded;
        size_t nBoxes;   // language string 490 when files came but none was added
    } rows[] = {
        {"cancelled", {}, 0, 0},
        {"a picture among others", {strFolder, "notes.txt", "good.bmp", "wide.bmp"}, 1, 0},
        {"none of them", {strFolder, "notes.txt", "wide.bmp", "BROKEN.JPEG"}, 0, 1},
        {"more names than MAX_PATH holds", manyNames, 1, 0},
    };
    int nRow = 0;
    for (const auto& row : rows) {
        answerer.fileNames = row.names;
        answerer.boxes.clear();
        EXPECT_EQ(row.nAdded, AddPicturesFromFiles(&field, Centre(0, nRow++))) << row.pszName;
        ASSERT_EQ(row.nBoxes, answerer.boxes.size()) << row.pszName;
        if (row.nBoxes > 0) {
            EXPECT_EQ(GetLangString(490), answerer.boxes[0]) << row.pszName;
        }
    }
    EXPECT_EQ(4, answerer.nFileDialogs);
}

// Closes a file dialog that the test could not work, so that it cannot wait.
void CALLBACK CancelStrayFileDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND hDlg = ::FindWindowA("#32770", NULL))
        ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
}

// The system's own dialog, with a picture's full path typed in and OK pressed:
// the pictures' folder does not become the current folder (a collection
// named relative to the start folder, or any later relative path, would
// otherwise name a file there).
TEST_F(FieldAdding, ThePicturesDialogKeepsTheCurrentFolder)
{
    Make();
    const std::string strPicture = File("good.bmp", SolidBmp(12, 12, RGB(0, 120, 0)));
    char szBefore[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, szBefore);
    struct TypeAndPressOk : CModalAnswerer
    {
        std::string strPath;
        CModalAnswerer* pPrevious = NULL;
        INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
        {
            HWND hDlg = pDialog->m_hWnd;
            if (::GetWindowLongA(hDlg, GWL_STYLE) & WS_CHILD)
                hDlg = ::GetParent(hDlg);
            ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(strPath.c_str()));
            ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(strPath.c_str()));
            ::PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
            return -1;
        }
    } answer;
    answer.strPath = strPicture;
    answer.pPrevious = AfxSetModalAnswerer(&answer);
    const UINT_PTR nGuard = ::SetTimer(NULL, 0, 10000, CancelStrayFileDialog);
    const int nAdded = AddPicturesFromFiles(&field, Centre(0, 0));
    ::KillTimer(NULL, nGuard);
    AfxSetModalAnswerer(answer.pPrevious);
    char szAfter[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, szAfter);
    ::SetCurrentDirectoryA(szBefore);
    EXPECT_EQ(1, nAdded) << "the dialog did not take the typed name";
    EXPECT_STREQ(szBefore, szAfter);
}

TEST_F(FieldAdding, ALongAddressBecomesASmilieWithoutAskingAShortOneAsks)
{
    Make();
    CTestAnswerer answerer;
    int nDialogs = 0;
    answerer.work = [&](CDialog*) { nDialogs++; };
    // Refused at once by the loopback address: no download leaves the machine.
    const std::string strLong = LoopbackHttpServer::RefusedUrl() + "/s.gif";
    ASSERT_GE(strLong.size(), 18u);
    const POINT cell = {2, 0};
    field.AddSmilie(&cell, 0, "taken", "");
    const int nSteps = ParentWindow::s_nUndoSteps;
    EXPECT_EQ(1, NewSmilieAt(Centre(2, 0), &field, strLong.c_str()));
    EXPECT_EQ(0, nDialogs);
    EXPECT_EQ(nSteps + 1, ParentWindow::s_nUndoSteps);
    CSmilie* p = field.GetAt(2, 0);
    ASSERT_NE(nullptr, p);
    CString strSource;
    p->GetSource(strSource);
    EXPECT_EQ(strLong, std::string(strSource));
    EXPECT_EQ("taken", std::string(field.GetAt(2, 1)->m_strPhrase)) << "the occupied cell's row went down";

    EXPECT_EQ(0, NewSmilieAt(Centre(4, 3), &field, "http://a/b.gif")) << "asked, and cancelled";
    EXPECT_EQ(1, nDialogs);
    EXPECT_EQ(nullptr, field.GetAt(4, 3));
    PumpUntil([&] { return p->m_pDownload == NULL; }, 10000);
}

// --- right-drag menu ------------------------------------------------------------------------------------

TEST_F(FieldControl, RightDragMenuReturnsTheMethodOrSetsTheDefault)
{
    Make();
    CTestAnswerer answerer;
    CSmiliesFieldControl::s_nDefaultDropMethod = 2;
    EXPECT_EQ(2, field.QueryDropMode(FALSE));
    EXPECT_EQ(0, answerer.nMenus) << "no menu without a right drag";
    const struct {
        UINT nCommand;
        int nResult;
        int nDefault;
    } rows[] = {{1, 1, 2}, {4, 4, 2}, {0, 0, 2}, {5, 0, 1}, {8, 0, 4}, {6, 0, 2}};
    for (const auto& row : rows) {
        answerer.nMenuCommand = row.nCommand;
        EXPECT_EQ(row.nResult, field.QueryDropMode(TRUE)) << row.nCommand;
        EXPECT_EQ(row.nDefault, CSmiliesFieldControl::s_nDefaultDropMethod) << row.nCommand;
    }
}

// --- messages ------------------------------------------------------------------------------------------

// The texts of the edit boxes in this thread's popups (the preview shows its
// message in one).
BOOL CALLBACK CollectEditText(HWND h, LPARAM l)
{
    char sz[512] = "";
    ::GetClassNameA(h, sz, sizeof(sz));
    if (lstrcmpiA(sz, "Edit") == 0) {
        ::GetWindowTextA(h, sz, sizeof(sz));
        reinterpret_cast<std::set<std::string>*>(l)->insert(sz);
    }
    return TRUE;
}

BOOL CALLBACK CollectPopupTexts(HWND hWnd, LPARAM lParam)
{
    ::EnumChildWindows(hWnd, CollectEditText, lParam);
    return TRUE;
}

std::set<std::string> PopupTexts()
{
    std::set<std::string> texts;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectPopupTexts, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

TEST_F(FieldControl, ARefusedDropSaysWhyAtTheDropPoint)
{
    Make();
    field.m_ptDrop = Centre(2, 2);
    std::string str366 = GetLangString(366);
    str366.replace(str366.find("[NUM]"), 5, "2240");
    const struct {
        WPARAM nReason;
        std::string want;   // empty: nothing shown
    } rows[] = {
        {1, GetLangString(369)}, {2, GetLangString(369)}, {3, std::string(GetLangString(365)) + " 300K"},
        {4, str366},             {5, GetLangString(368)}, {7, GetLangString(368)},
        {0, ""},                 {6, ""},                 {8, ""},
    };
    for (const auto& row : rows) {
        const int nLive = CSmiliePreview::GetLiveCount();
        Send(field, WM_DROPREFUSED, row.nReason);
        if (row.want.empty()) {
            EXPECT_EQ(nLive, CSmiliePreview::GetLiveCount()) << row.nReason;
        } else {
            EXPECT_EQ(1u, PopupTexts().count(row.want)) << row.nReason << ": " << row.want;
        }
    }
}

// The message that the last download of web smilies ended waits for no busy
// state, drag, open menu or running dialog; otherwise it shows once.
TEST_F(FieldControl, TheDownloadsMessageIsNotShownOverOtherWork)
{
    Make();
    CTestAnswerer answerer;
    const std::string strDone = GetLangString(582);
    auto shown = [&] { return std::count(answerer.boxes.begin(), answerer.boxes.end(), strDone); };
    auto finished = [&] { Send(field, WM_DOWNLOADSFINISHED); };
    const struct {
        const char* pszName;
        std::function<void()> run;
        long nShown;
    } rows[] = {
        {"busy", [&] { g_BusyCount++; finished(); g_BusyCount--; }, 0},
        {"a drag", [&] { g_nActiveDrags++; finished(); g_nActiveDrags--; }, 0},
        {"a menu", [&] {
             answerer.inMenu = finished;
             C3DMenu menu;
             menu.CreatePopup(NULL);
             menu.AppendItem(NULL, "item", MF_ENABLED, 1);
             menu.Track(&field, 0, 0);
             answerer.inMenu = nullptr;
         }, 0},
        {"a dialog", [&] {
             bool bInside = false;
             answerer.work = [&](CDialog*) {
                 if (!bInside) {
                     bInside = true;
                     finished();
                 }
             };
             MessageBox3D(m_parent.Wnd(), "Tarvenex", "a question", MB_OK, 0, NULL);
             answerer.work = nullptr;
         }, 0},
        {"nothing else", finished, 1},
    };
    for (const auto& row : rows) {
        answerer.boxes.clear();
        row.run();
        EXPECT_EQ(row.nShown, shown()) << row.pszName;
    }
}

// A press on the preview popup is a press on the smilie under it.
TEST_F(FieldControl, APressOnThePreviewPressesTheSmilieUnderIt)
{
    Make();
    Fill(field, 3);
    CSmilie* pSmilie = field.GetAt(1, 0);
    ASSERT_NE(nullptr, pSmilie);
    const POINT pt = Centre(1, 0);
    Send(field, WM_PREVIEWLCLICK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(pSmilie, field.GetHotSmilie());
    EXPECT_NE(0, pSmilie->m_bPressed);
    EXPECT_EQ(0, Send(field, WM_PREVIEWRCLICK, MK_RBUTTON, MAKELPARAM(pt.x, pt.y)));
    Send(field, WM_LBUTTONUP, 0, MAKELPARAM(pt.x + 3 * ::GetSystemMetrics(SM_CXDRAG), pt.y));
}

// --- move and resize ------------------------------------------------------------------------------------

TEST_F(FieldControl, ResizeCommitsTheDraggedSizeAndAKeyCancels)
{
    Make(300, 300);
    Fill(field, 2);
    CSmilie* pSmilie = field.GetAt(1, 0);
    static std::function<void(CInFieldControl*)> s_drive;
    CInFieldControl::s_pfnLoopStarted = [](CInFieldControl* p) { s_drive(p); };

    s_drive = [](CInFieldControl* p) {
        p->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 70));
        p->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(70, 70));
    };
    CDlgSmilieResize resize;
    SIZE size = {0, 0};
    EXPECT_EQ(1, resize.Start(pSmilie, &size));
    EXPECT_EQ(75, size.cx) << "whole cells fill the 300-pixel window";
    EXPECT_EQ(72, size.cy);
    EXPECT_EQ(35, field.GetCellWidth()) << "the control leaves the field alone";

    s_drive = [](CInFieldControl* p) {
        p->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 70));
        p->SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    };
    CDlgSmilieResize cancelled;
    size = SIZE{0, 0};
    EXPECT_EQ(0, cancelled.Start(pSmilie, &size));
    EXPECT_EQ(0, size.cx);

    s_drive = [](CInFieldControl* p) { p->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(70, 70)); };
    CDlgSmilieResize released;
    EXPECT_EQ(0, released.Start(pSmilie, &size)) << "a move without the button cancels";

    // The field applies a committed size as one undo step.
    s_drive = [](CInFieldControl* p) {
        p->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 70));
        p->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(70, 70));
    };
    const int nSteps = ParentWindow::s_nUndoSteps;
    field.OnSmilieResizeStart(pSmilie, 0, 0);
    EXPECT_EQ(75, field.GetCellWidth());
    EXPECT_EQ(72, field.GetCellHeight());
    EXPECT_EQ(nSteps + 1, ParentWindow::s_nUndoSteps);
}

TEST_F(FieldControl, RepositionKeepsThePictureWithinHalfItsSizeAndLeavingCancels)
{
    OpenPictures pictures({SolidBmp(20, 16, RGB(255, 0, 0))});
    ASSERT_TRUE(pictures.IsOpen());
    Make();
    const POINT cell = {1, 1};
    CSmilie* pSmilie = field.AddSmilie(&cell, 1, "", "");
    field.RedrawAll();   // looked up in the image cache: its size is known
    ASSERT_EQ(20, pSmilie->GetImageSize().cx);
    PlaceCursor(field, Centre(1, 1).x, Centre(1, 1).y);
    static std::function<void(CInFieldControl*)> s_drive;
    CInFieldControl::s_pfnLoopStarted = [](CInFieldControl* p) { s_drive(p); };

    s_drive = [](CInFieldControl* p) {
        p->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 20));
        p->SendMessage(WM_MOUSELEAVE, 0, 0);
    };
    CDlgSmilieReposition left;
    EXPECT_EQ(0, left.Start(pSmilie));
    EXPECT_EQ(CPoint(0, 0), pSmilie->GetImageOffset()) << "leaving cancels";

    s_drive = [](CInFieldControl* p) {
        p->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 17));
        p->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(34, 17));
        p->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(34, 17));
    };
    CDlgSmilieReposition moved;
    EXPECT_EQ(1, moved.Start(pSmilie));
    EXPECT_EQ(10, pSmilie->GetImageOffset().x) << "half the picture's width";
}

BOOL WINAPI FakeSetCursorPos(int x, int y)
{
    CursorPos() = POINT{x, y};
    return TRUE;
}

// The move control starts with the cursor on the reposition mark, so the
// first move shifts the picture by the distance from there.
TEST_F(FieldControl, TheMoveStartsOnTheRepositionMark)
{
    OpenPictures pictures({SolidBmp(60, 50, RGB(0, 0, 255))});
    ASSERT_TRUE(pictures.IsOpen());
    Make();
    const POINT cell = {2, 1};
    CSmilie* pSmilie = field.AddSmilie(&cell, 1, "", "");
    field.RedrawAll();
    const CRect rcMark = pSmilie->GetOversizeMarkRect();
    ASSERT_FALSE(rcMark.IsRectEmpty()) << "a picture larger than its cell has the mark";
    const CRect rcCell = field.GetSmilieRect(pSmilie);
    POINT want = {rcCell.left + (rcMark.left + rcMark.right) / 2, rcCell.top + (rcMark.top + rcMark.bottom) / 2};
    ::ClientToScreen(field.m_hWnd, &want);
    PlaceCursor(field, 1, 1);
    CSmiliesFieldControl::s_pfnSetCursorPos = FakeSetCursorPos;
    static POINT s_atStart;
    CInFieldControl::s_pfnLoopStarted = [](CInFieldControl* p) {
        s_atStart = CursorPos();
        p->SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    };
    const int nSteps = ParentWindow::s_nUndoSteps;
    field.OnSmilieReposition(pSmilie, 0, 0);
    CSmiliesFieldControl::s_pfnSetCursorPos = ::SetCursorPos;
    EXPECT_EQ(want.x, s_atStart.x);
    EXPECT_EQ(want.y, s_atStart.y);
    EXPECT_EQ(nSteps + 1, ParentWindow::s_nUndoSteps);
    EXPECT_EQ(CPoint(0, 0), pSmilie->GetImageOffset()) << "cancelled";
}

// --- destruction ------------------------------------------------------------------------------------

TEST_F(FieldControl, DestroyedWhileAModalDialogRunsTheSmiliesGo)
{
    Make();
    Fill(field, 3);
    const int nBefore = CSmilie::s_nInstances;
    CTestAnswerer answerer;
    answerer.work = [&](CDialog*) { field.DestroyWindow(); };
    MessageBox3D(m_parent.Wnd(), "Tarvenex", "a question", MB_YESNO, 0, NULL);
    EXPECT_EQ(NULL, field.m_hWnd);
    EXPECT_EQ(nBefore - 3, CSmilie::s_nInstances);
}

}  // namespace
