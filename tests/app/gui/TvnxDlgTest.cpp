// The main window under Wine, owned by a test window that records what it is
// told: the first show and its fallbacks, the transparency slider, hover
// opacity, size, close and destruction, its messages, and the collection
// commands and menus on collection files written by the collection code (the
// demo collection of the build among them). Messages, file dialogs, menus and
// dialogs go through the window's seams; the shell seam records.
#include "app/TvnxDlg.h"
#include "fields/SmiliesPasteGroup.h"
#include "app/TvnxApp.h"
#include "app/TvnxTrayWnd.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "fields/ForeignFocus.h"
#include "fields/SmiliesFieldControl.h"
#include "fields/SmiliesFieldMenus.h"
#include "framework/Dialog.h"
#include "framework/CommonDialog.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/KeyState.h"
#include "services/ProgramWindows.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "skins/SkinLoader.h"
#include "skins/SkinScan.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/tools/GdiCount.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>
#include <dlgs.h>
#include <ole2.h>
#include <algorithm>

#include <fstream>
#include <sstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The about box, run as the program runs it (at the end of this file).
INT_PTR RunAboutBox(CWnd* pParent);

namespace {

// --- what the seams saw -------------------------------------------------------------------

std::vector<std::string> g_boxes;        // message texts
std::vector<int> g_boxAnswers;           // answers in turn; IDOK/IDYES when none left
std::vector<std::string> g_fileAnswers;  // paths the file dialog gives in turn; empty: cancelled
std::vector<std::string> g_fileProposed;
std::vector<std::string> g_shell;        // files and addresses handed to the shell
UINT g_nDriveType = DRIVE_FIXED;
std::vector<std::string> g_menuTexts;    // plain texts of the last menu
std::vector<UINT> g_menuFlags;
std::vector<UINT> g_menuCommands;
UINT g_nMenuAnswer = 0;
std::vector<UINT> g_menuBarValues;       // the bar item of each menu the seam tracked (0: none)
int g_nDialogs = 0;
bool g_bInternalKeys = false;

int RecordBox(CWnd*, LPCSTR pszText, UINT nType)
{
    g_boxes.push_back(pszText);
    if (!g_boxAnswers.empty()) {
        const int n = g_boxAnswers.front();
        g_boxAnswers.erase(g_boxAnswers.begin());
        return n;
    }
    return (nType & 0xF) == MB_OK ? IDOK : IDYES;
}

int RecordFileDialog(CWnd*, BOOL, LPCSTR, LPCSTR, LPCSTR pszProposed, CString& strPath)
{
    g_fileProposed.push_back(pszProposed != NULL ? pszProposed : "");
    if (g_fileAnswers.empty())
        return IDCANCEL;
    const std::string str = g_fileAnswers.front();
    g_fileAnswers.erase(g_fileAnswers.begin());
    if (str.empty())
        return IDCANCEL;
    strPath = str.c_str();
    return IDOK;
}

UINT RecordMenu(CTvnxDlg*, C3DMenu* pMenu, UINT nBarValue, POINT)
{
    g_menuBarValues.push_back(nBarValue);
    g_menuTexts.clear();
    g_menuFlags.clear();
    g_menuCommands.clear();
    for (int i = 0; i < pMenu->GetItemCount(); i++) {
        const C3DMenu::CItemStr* pItem = pMenu->GetItem(i);
        std::string strText;
        for (int r = 0; r < pItem->runs.GetSize(); r++)
            strText += static_cast<LPCSTR>(pItem->runs[r].strText);
        g_menuTexts.push_back(strText);
        g_menuFlags.push_back(pItem->nFlags);
        g_menuCommands.push_back(pItem->nCommand);
    }
    return g_nMenuAnswer;
}

INT_PTR RecordDialog(CTvnxDlg*, int, CString*)
{
    g_nDialogs++;
    return IDCANCEL;
}

UINT WINAPI FakeDriveType(LPCSTR)
{
    return g_nDriveType;
}

HINSTANCE WINAPI RecordShell(HWND, LPCSTR, LPCSTR pszFile, LPCSTR pszParameters, LPCSTR, INT)
{
    g_shell.push_back(std::string(pszFile) + (pszParameters != NULL ? std::string(" ") + pszParameters : ""));
    return reinterpret_cast<HINSTANCE>(42);
}

SHORT WINAPI FakeKeys(int vk)
{
    return g_bInternalKeys && (vk == VK_MENU || vk == VirtKeyOfChar('`')) ? SHORT(0x8000) : 0;
}

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT)
{
    return 4713;
}
MMRESULT WINAPI FakeKillEvent(UINT)
{
    return TIMERR_NOERROR;
}

// The tray window's place: counts what the main window tells it.
int g_nHides = 0, g_nAnimates = 0;
LRESULT CALLBACK OwnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HIDEMAINWND)
        g_nHides++;
    if (message == WM_ANIMATETOTRAY)
        g_nAnimates++;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND GetMainWndHook()
{
    return GetMainWindow();
}

std::string DemoPath()
{
    return std::string(TVNX_BINARY_DIR) + "\\dist\\demo.tvnx";
}

std::string ReadManifest()
{
    std::ifstream in(std::string(TVNX_BINARY_DIR) + "\\demo-manifest.txt");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class TvnxDlgTest : public testing::Test
{
protected:
    // The program's skin and optional functions for this suite only: the
    // other suites of the process run without them.
    static void SetUpTestSuite()
    {
        // As the program does at start-up: the fields register drop targets.
        ::OleInitialize(NULL);
        RegisterControlMessages();
        s_bOwnFuncs = g_pExportedFuncs == NULL;
        if (s_bOwnFuncs)
            CreateExportedFuncs();
        s_bOwnSkin = g_pSkin == NULL;
        if (s_bOwnSkin)
            LoadSkin((std::string(TVNX_SOURCE_DIR) + "\\data\\Skins\\Standard\\Standard.skn").c_str());
    }
    static void TearDownTestSuite()
    {
        if (s_bOwnSkin) {
            delete g_pSkin;
            g_pSkin = NULL;
        }
        if (s_bOwnFuncs)
            DeleteExportedFuncs();
        OleUninitialize();
    }
    static inline bool s_bOwnSkin = false, s_bOwnFuncs = false;

    void SetUp() override
    {
        m_saved = g_Settings;
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        g_Settings.ShowTips = 0;
        g_Settings.MainWndOpaqueOnMouseHover = 0;
        g_Settings.MainWndTransparencyPercent = 0;
        SetAppDataFolder(m_dir.Path("").c_str());
        g_boxes.clear();
        g_boxAnswers.clear();
        g_fileAnswers.clear();
        g_fileProposed.clear();
        g_shell.clear();
        g_nDriveType = DRIVE_FIXED;
        g_nMenuAnswer = 0;
        g_nDialogs = 0;
        g_bInternalKeys = false;
        g_nHides = g_nAnimates = 0;
        CTvnxDlg::s_pfnMessageBox = RecordBox;
        CTvnxDlg::s_pfnFileDialog = RecordFileDialog;
        CTvnxDlg::s_pfnTrackMenu = RecordMenu;
        CTvnxDlg::s_pfnRunDialog = RecordDialog;
        CTvnxDlg::s_pfnGetDriveType = FakeDriveType;
        m_pfnShell = g_pfnShellExecute;
        g_pfnShellExecute = RecordShell;
        m_pfnAsync = g_pfnGetAsyncKeyState;
        g_pfnGetAsyncKeyState = FakeKeys;
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
        BUSYHOOKS hooks = {GetMainWndHook, NULL, NULL};
        SetBusyHooks(&hooks);

        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxDlgTestOwner";
        RegisterClassA(&wc);
        m_hOwner = CreateWindowExA(0, "TvnxDlgTestOwner", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
    }

    void TearDown() override
    {
        delete m_pDlg;
        m_pDlg = NULL;
        delete g_pImgCache;
        g_pImgCache = NULL;
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        DestroyWindow(m_hOwner);
        SetBusyHooks(NULL);
        g_BusyEnabled = FALSE;
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
        g_pfnShellExecute = m_pfnShell;
        g_pfnGetAsyncKeyState = m_pfnAsync;
        g_Settings = m_saved;
    }

    // A copy of the demo collection in the test's folder.
    std::string CopyDemo(const char* pszName = "demo.tvnx")
    {
        const std::string str = m_dir.Path(pszName);
        EXPECT_TRUE(CopyFileA(DemoPath().c_str(), str.c_str(), FALSE)) << DemoPath();
        SetFileAttributesA(str.c_str(), FILE_ATTRIBUTE_NORMAL);
        return str;
    }

    // The window, shown with the given collection setting.
    void Show(const std::string& strCollection, int nHeight = 300)
    {
        SetCollectionPath(strCollection.c_str());
        m_pDlg = new CTvnxDlg;
        const POINT pt = {60, 60};
        ASSERT_TRUE(m_pDlg->Create(nHeight, CWnd::FromHandle(m_hOwner), NULL, pt));
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    std::string OpenPath()
    {
        CString str;
        if (g_pCollectionFile == NULL || !g_pCollectionFile->GetPath(str))
            return "";
        return static_cast<LPCSTR>(str);
    }

    int FieldCount() { return m_pDlg->m_Fields.GetFieldCount(); }

    TvnxTempDir m_dir;
    CNumberedLanguage m_language;
    APPSETTINGS m_saved;
    PFN_SHELLEXECUTE m_pfnShell = NULL;
    PFN_GETKEYSTATE m_pfnAsync = NULL;
    HWND m_hOwner = NULL;
    CTvnxDlg* m_pDlg = NULL;
};

// --- first show -----------------------------------------------------------------------------

TEST_F(TvnxDlgTest, FirstShowFallsBackToTheDefaultThenToAPickedFileThenToNothing)
{
    struct Case
    {
        const char* pszName;
        bool bConfigured, bDefault;
        const char* pszPicked;   // "": cancelled, "demo": the copy named other.tvnx
        std::vector<std::string> boxes;
        const char* pszOpen;     // file name open afterwards, "" none
    } cases[] = {
        {"configured opens", true, true, "", {}, "mine.tvnx"},
        {"default instead", false, true, "", {"L396"}, "demo.tvnx"},
        {"picked by the user", false, false, "demo", {"L394"}, "other.tvnx"},
        {"nothing at all", false, false, "", {"L394", "L395"}, ""},
    };
    for (const Case& c : cases) {
        SetUp();
        for (const char* psz : {"mine.tvnx", "demo.tvnx", "other.tvnx"})
            DeleteFileA(m_dir.Path(psz).c_str());
        if (c.bConfigured)
            CopyDemo("mine.tvnx");
        if (c.bDefault)
            CopyDemo("demo.tvnx");
        if (std::string(c.pszPicked) == "demo")
            g_fileAnswers.push_back(CopyDemo("other.tvnx"));
        Show(m_dir.Path("mine.tvnx"));
        EXPECT_EQ(c.boxes, g_boxes) << c.pszName;
        const std::string strOpen = OpenPath();
        if (*c.pszOpen == '\0') {
            EXPECT_EQ("", strOpen) << c.pszName;
            EXPECT_STREQ("<default>", g_Settings.SmilieCollection) << c.pszName;
            EXPECT_EQ(1, FieldCount()) << c.pszName;
        } else {
            EXPECT_NE(std::string::npos, strOpen.find(c.pszOpen)) << c.pszName << ": " << strOpen;
            EXPECT_EQ(3, FieldCount()) << c.pszName;
            EXPECT_NE(nullptr, g_pImgCache) << c.pszName;
        }
        EXPECT_TRUE(m_pDlg->IsWindowVisible()) << c.pszName;
        EXPECT_TRUE(g_BusyEnabled) << c.pszName;
        EXPECT_EQ(m_pDlg->m_hWnd, GetMainWindow()) << c.pszName;
        TearDown();
    }
    SetUp();
}

TEST_F(TvnxDlgTest, TheDemoOpensWithItsManifestsFieldsAndEveryPictureDecodes)
{
    Show(CopyDemo());
    std::istringstream manifest(ReadManifest());
    std::string strLine;
    int nField = -1, nPictures = 0;
    while (std::getline(manifest, strLine)) {
        std::istringstream line(strLine);
        std::string strKind;
        line >> strKind;
        if (strKind == "field") {
            std::string strName;
            int w = 0, h = 0, n = 0;
            line >> strName >> w >> h >> n;
            ++nField;
            ASSERT_LT(nField, FieldCount());
            CSmiliesFieldControl* pField = m_pDlg->m_Fields.GetField(nField);
            CString strTitle;
            pField->GetWindowText(strTitle);
            EXPECT_EQ(strName, static_cast<LPCSTR>(strTitle));
            EXPECT_EQ(n, pField->GetSmilieCount()) << strName;
            continue;
        }
        int c = 0, r = 0;
        std::string strWhat;
        line >> c >> r >> strWhat;
        CSmilie* pSmilie = m_pDlg->m_Fields.GetField(nField)->GetAt(c, r);
        ASSERT_NE(nullptr, pSmilie) << strLine;
        if (strWhat == "phrase") {
            EXPECT_TRUE(IsPhraseSmilie(pSmilie)) << strLine;
            continue;
        }
        std::string strFormat, strSource;
        int nFrames = 0;
        line >> strFormat >> nFrames >> strSource;
        const uint32_t nImage = g_pImgCache->AddCollectionImage(pSmilie->m_nImageRecord);
        ASSERT_GE(g_pImgCache->Find(nImage), 0) << strLine;
        EXPECT_STREQ(strFormat.c_str(), g_pImgCache->GetImageExtension(nImage)) << strLine;
        EXPECT_EQ(nFrames, g_pImgCache->GetImageFrameCount(nImage)) << strLine;
        EXPECT_FALSE(pSmilie->HasPendingSource()) << strLine;
        EXPECT_EQ(0u, pSmilie->m_nFlags & CSmilie::flagWebSmilie) << strLine;
        nPictures++;
    }
    EXPECT_EQ(FieldCount() - 1, nField);
    EXPECT_GT(nPictures, 0);
    // Nothing in the demo is a web smilie: the update finds nothing to fetch.
    EXPECT_EQ(0, m_pDlg->m_Fields.QueueWebSmilies());
}

// --- transparency, size, close -------------------------------------------------------------------

TEST_F(TvnxDlgTest, TransparencyMapsToSliderPositionsAndAlpha)
{
    Show("<default>");
    struct Case
    {
        int nPercent, nPos;
        bool bLayered;
        int nAlpha;
    } cases[] = {
        {0, 169, false, 255}, {100, 0, true, 25}, {50, 84, true, 84}, {-20, 169, false, 255}, {130, 0, true, 25},
    };
    for (const Case& c : cases) {
        m_pDlg->SetTransparency(100 - (c.nPercent < 0 ? 0 : 50), TRUE);  // away from the target first
        m_pDlg->SetTransparency(c.nPercent, TRUE);
        EXPECT_EQ(c.nPos, m_pDlg->m_Slider.GetPos()) << c.nPercent;
        const bool bLayered = (GetWindowLongA(m_pDlg->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        EXPECT_EQ(c.bLayered, bLayered) << c.nPercent;
        if (bLayered) {
            BYTE nAlpha = 0;
            DWORD dwFlags = 0;
            typedef BOOL(WINAPI * PFN)(HWND, COLORREF*, BYTE*, DWORD*);
            PFN pfn = reinterpret_cast<PFN>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetLayeredWindowAttributes"));
            if (pfn != NULL && pfn(m_pDlg->m_hWnd, NULL, &nAlpha, &dwFlags))
                EXPECT_EQ(c.nAlpha, nAlpha) << c.nPercent;
        }
    }
    // A programmatic move leaves the setting alone.
    EXPECT_EQ(0, g_Settings.MainWndTransparencyPercent);
}

TEST_F(TvnxDlgTest, SliderCodesMoveTheThumbAndStoreThePercent)
{
    Show("<default>");
    HWND hSlider = m_pDlg->m_Slider.m_hWnd;
    struct Case
    {
        int nStart, nCode, nTrack, nPos, nStored;
    } cases[] = {
        {100, SB_PAGELEFT, 0, 99, 42},  {1, SB_PAGELEFT, 0, 0, 100},     {100, SB_LEFT, 0, 0, 100},
        {100, SB_PAGERIGHT, 0, 101, 41}, {169, SB_PAGERIGHT, 0, 170, 0}, {100, SB_RIGHT, 0, 169, 0},
        {100, SB_THUMBTRACK, 500, 170, 0}, {100, SB_THUMBTRACK, 30, 30, 83}, {100, SB_LINELEFT, 0, 100, -1},
        {100, SB_ENDSCROLL, 0, 100, -1},
    };
    for (const Case& c : cases) {
        m_pDlg->m_Slider.SetScrollPos(c.nStart);
        g_Settings.MainWndTransparencyPercent = -1;
        m_pDlg->SendMessage(WM_HSCROLL, MAKEWPARAM(c.nCode, c.nTrack), reinterpret_cast<LPARAM>(hSlider));
        EXPECT_EQ(c.nPos, m_pDlg->m_Slider.GetPos()) << c.nStart << " code " << c.nCode;
        EXPECT_EQ(c.nStored, g_Settings.MainWndTransparencyPercent) << c.nStart << " code " << c.nCode;
        // 169 and 170 are both fully opaque.
        if (c.nPos >= 169)
            EXPECT_EQ(0, GetWindowLongA(m_pDlg->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) << c.nPos;
    }
}

// A window that leaves the layered style keeps nothing of what was drawn
// while it was layered: moved to opaque, the window and the slider with its
// thumb are painted again, not left as they were.
TEST_F(TvnxDlgTest, BecomingOpaqueRepaintsTheWindowAndTheSlider)
{
    Show("<default>");
    const HWND hSlider = m_pDlg->m_Slider.m_hWnd;
    const struct
    {
        const char* name;
        int nCode, nTrack;
    } rows[] = {{"\"Opaque\" in the slider's menu", -1, 0},
                {"a move to the opaque end", SB_THUMBTRACK, 169},
                {"a step to the end", SB_RIGHT, 0}};
    for (const auto& r : rows) {
        m_pDlg->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), reinterpret_cast<LPARAM>(hSlider));
        ASSERT_NE(0, GetWindowLongA(m_pDlg->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) << r.name;
        m_pDlg->UpdateWindow();
        ::UpdateWindow(hSlider);
        ASSERT_FALSE(::GetUpdateRect(hSlider, NULL, FALSE)) << r.name;
        if (r.nCode < 0) {
            g_nMenuAnswer = 1;
            m_pDlg->SendMessage(WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(hSlider), MAKELPARAM(5, 5));
        } else {
            m_pDlg->SendMessage(WM_HSCROLL, MAKEWPARAM(r.nCode, r.nTrack), reinterpret_cast<LPARAM>(hSlider));
        }
        ASSERT_EQ(0, GetWindowLongA(m_pDlg->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) << r.name;
        EXPECT_TRUE(::GetUpdateRect(hSlider, NULL, FALSE)) << r.name << ": the slider is painted again";
        EXPECT_TRUE(::GetUpdateRect(m_pDlg->m_hWnd, NULL, FALSE)) << r.name << ": the window is painted again";
        PumpPending();
    }
}

TEST_F(TvnxDlgTest, HoverMakesTheWindowOpaqueAndTheSliderShowsTheStoredTransparency)
{
    g_Settings.MainWndOpaqueOnMouseHover = 1;
    Show("<default>");
    m_pDlg->SetTransparency(40, FALSE);
    // What is stored is read back from the slider's position.
    const int nStored = g_Settings.MainWndTransparencyPercent;
    ASSERT_NEAR(40, nStored, 1);
    m_pDlg->SendMessage(WM_APPMOUSEMOVE, reinterpret_cast<WPARAM>(m_pDlg->m_Fields.m_hWnd), 0);
    EXPECT_EQ(0, m_pDlg->GetTransparencyPercent());
    EXPECT_EQ(nStored, g_Settings.MainWndTransparencyPercent);
    m_pDlg->SendMessage(WM_APPMOUSEMOVE, reinterpret_cast<WPARAM>(m_pDlg->m_Slider.m_hWnd), 0);
    EXPECT_EQ(nStored, m_pDlg->GetTransparencyPercent());
    // Away again, then a tick with the cursor over no window of ours.
    m_pDlg->SendMessage(WM_APPMOUSEMOVE, reinterpret_cast<WPARAM>(m_pDlg->m_Fields.m_hWnd), 0);
    ASSERT_EQ(0, m_pDlg->GetTransparencyPercent());
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    m_pDlg->OnTimerTick(m_pDlg->m_nTickClient, 0);
    POINT pt;
    GetCursorPos(&pt);
    HWND hUnder = WindowFromPoint(pt);
    if (hUnder == NULL || GetWindowThreadProcessId(hUnder, NULL) != GetCurrentThreadId())
        EXPECT_EQ(nStored, m_pDlg->GetTransparencyPercent());
}

TEST_F(TvnxDlgTest, HeightIsStoredAndOutOfRangeHeightsStore555)
{
    Show("<default>");
    for (int nHeight : {340, 1601, 12}) {
        m_pDlg->SetWindowPos(static_cast<HWND>(NULL), 0, 0, m_pDlg->m_nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(nHeight == 340 ? 340 : 555, g_Settings.MainWndHeight) << nHeight;
    }
    // The fields grow with the window.
    m_pDlg->SetWindowPos(static_cast<HWND>(NULL), 0, 0, m_pDlg->m_nWidth, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT rcFields;
    GetWindowRect(m_pDlg->m_Fields.m_hWnd, &rcFields);
    m_pDlg->SetWindowPos(static_cast<HWND>(NULL), 0, 0, m_pDlg->m_nWidth, 340, SWP_NOMOVE | SWP_NOZORDER);
    RECT rcAfter;
    GetWindowRect(m_pDlg->m_Fields.m_hWnd, &rcAfter);
    EXPECT_EQ(40, (rcAfter.bottom - rcAfter.top) - (rcFields.bottom - rcFields.top));
}

// Answers the about box: asks the main window to close while the box runs.
class CloseWhileModal : public CModalAnswerer
{
public:
    explicit CloseWhileModal(HWND hMain) : m_hMain(hMain) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CloseWhileModal() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog*) override
    {
        SendMessageA(m_hMain, WM_CLOSE, 0, 0);
        return IDCANCEL;
    }

private:
    HWND m_hMain;
    CModalAnswerer* m_pPrevious;
};

INT_PTR RealAbout(CTvnxDlg* pDlg, int nDialog, CString* pText);

TEST_F(TvnxDlgTest, CloseHidesThroughTheOwnerButNotUnderAModalDialog)
{
    Show("<default>");
    m_pDlg->SendMessage(WM_CLOSE);
    EXPECT_EQ(1, g_nHides);
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::CMD_CLOSE);
    EXPECT_EQ(2, g_nHides);
    {
        CloseWhileModal answerer(m_pDlg->m_hWnd);
        CTvnxDlg::s_pfnRunDialog = RealAbout;
        m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::CMD_ABOUT);
    }
    EXPECT_EQ(2, g_nHides);
    EXPECT_TRUE(IsWindow(m_pDlg->m_hWnd));
}

// Answers the about box: the main window is destroyed while the box runs.
class DestroyWhileModal : public CModalAnswerer
{
public:
    explicit DestroyWhileModal(HWND hMain) : m_hMain(hMain) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~DestroyWhileModal() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog*) override
    {
        DestroyWindow(m_hMain);
        return IDCANCEL;
    }

private:
    HWND m_hMain;
    CModalAnswerer* m_pPrevious;
};

TEST_F(TvnxDlgTest, DestructionUnderAModalDialogStillCleansUp)
{
    Show(CopyDemo());
    const HWND hMain = m_pDlg->m_hWnd;
    {
        DestroyWhileModal answerer(hMain);
        CTvnxDlg::s_pfnRunDialog = RealAbout;
        m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::CMD_ABOUT);
    }
    ASSERT_FALSE(IsWindow(hMain));
    EXPECT_EQ(1, g_nAnimates);
    EXPECT_EQ(0, m_pDlg->m_nTickClient);
    for (int i = 0; i < g_pVTimer->m_Clients.GetSize(); i++)
        EXPECT_NE(hMain, g_pVTimer->m_Clients[i].hWnd);
    EXPECT_EQ(nullptr, g_pImgCache);
    EXPECT_FALSE(g_BusyEnabled);
}

INT_PTR RealAbout(CTvnxDlg* pDlg, int nDialog, CString* pText)
{
    CTvnxDlg::s_pfnRunDialog = RecordDialog;
    (void)nDialog, (void)pText;
    g_nDialogs++;
    return RunAboutBox(pDlg);
}

TEST_F(TvnxDlgTest, MessagesOfTheWindow)
{
    const std::string strDemo = CopyDemo();
    Show("<default>");
    // The field colour comes from the container; no path opens nothing.
    EXPECT_EQ(m_pDlg->m_Fields.SendMessage(WM_GETFIELDCOLOR), m_pDlg->SendMessage(WM_GETFIELDCOLOR));
    EXPECT_EQ(0, m_pDlg->SendMessage(WM_OPENCOLLECTION, 0, 0));
    EXPECT_EQ(1, m_pDlg->SendMessage(WM_OPENCOLLECTION, reinterpret_cast<WPARAM>(strDemo.c_str()), 0));
    EXPECT_EQ(strDemo, OpenPath());
    EXPECT_EQ(0, m_pDlg->SendMessage(WM_COLLECTIONLOADED, 0, 2));
    // The options sheet runs over the window, a new one each time.
    struct SheetAnswer : CModalAnswerer
    {
        std::vector<HWND> owners;
        INT_PTR OnDialog(CDialog* pDialog) override
        {
            owners.push_back(::GetWindow(pDialog->m_hWnd, GW_OWNER));
            return IDCANCEL;
        }
    } sheet;
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&sheet);
    EXPECT_EQ(0, m_pDlg->SendMessage(WM_SHOWOPTIONS));
    EXPECT_EQ(0, m_pDlg->SendMessage(WM_SHOWOPTIONS));
    AfxSetModalAnswerer(pPrevious);
    EXPECT_EQ(std::vector<HWND>(2, m_pDlg->m_hWnd), sheet.owners);
    // Help opens the program's page through the shell.
    EXPECT_EQ(1, m_pDlg->SendMessage(WM_HELP));
    ASSERT_EQ(1u, g_shell.size());
    EXPECT_NE(std::string::npos, g_shell[0].find("\\help\\index.htm"));
}

// F1 in any window of the main window's family comes up as WM_HELP through
// parents and owners to the main window, which opens the help.
TEST_F(TvnxDlgTest, HelpComesUpFromChildrenAndOwnedWindows)
{
    CopyDemo();
    Show("<default>");
    HWND hPopup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, m_pDlg->m_hWnd, NULL, NULL, NULL);
    const HWND rows[] = {m_pDlg->m_Fields.m_hWnd, m_pDlg->m_Slider.m_hWnd, hPopup};
    for (HWND hWnd : rows) {
        SCOPED_TRACE(hWnd == hPopup ? "owned popup" : "child");
        g_shell.clear();
        HELPINFO hi = {sizeof(hi), HELPINFO_WINDOW, GetDlgCtrlID(hWnd), hWnd, 0, {0, 0}};
        SendMessageA(hWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
        ASSERT_EQ(1u, g_shell.size());
        EXPECT_NE(std::string::npos, g_shell[0].find("\\help\\index.htm"));
    }
    DestroyWindow(hPopup);
}

// The tray window's main window is this window: created at the stored height
// and place, owned by the tray window unless it has its own taskbar button,
// made opaque by its slider, and gone with g_pMainDlg cleared.
TEST_F(TvnxDlgTest, TrayWindowsMainWindow)
{
    const std::string strDemo = CopyDemo();
    SetCollectionPath(strDemo.c_str());
    InstallMainWndHooks();
    const TRAYMAINWNDHOOKS hooks = CTvnxTrayWnd::s_MainWndHooks;
    CTvnxTrayWnd::s_MainWndHooks = TRAYMAINWNDHOOKS();
    CTvnxTrayWnd tray;
    tray.Attach(m_hOwner);
    const struct
    {
        int bTaskbarButton;
        bool bOwned;
    } rows[] = {{0, true}, {1, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bTaskbarButton);
        g_Settings.ShowButtonOnTaskbar = row.bTaskbarButton;
        g_Settings.MainWndHeight = 320;
        g_Settings.MainWndPosition = {70, 80};
        CWnd* pMain = hooks.pfnCreate(&tray);
        ASSERT_NE(nullptr, pMain);
        EXPECT_EQ(pMain, static_cast<CWnd*>(g_pMainDlg));
        PumpPending();
        RECT rc;
        GetWindowRect(pMain->m_hWnd, &rc);
        EXPECT_EQ(70, rc.left);
        EXPECT_EQ(80, rc.top);
        EXPECT_EQ(320, rc.bottom - rc.top);
        EXPECT_EQ(row.bOwned ? m_hOwner : NULL, GetWindow(pMain->m_hWnd, GW_OWNER));
        hooks.pfnOpenCollection(pMain, strDemo.c_str());
        EXPECT_EQ(strDemo, OpenPath());
        if (g_pExportedFuncs->pSetLayeredWindowAttributes != NULL) {
            g_pMainDlg->SetTransparency(50, TRUE);
            EXPECT_GT(hooks.pfnGetTransparency(pMain), 0);
            hooks.pfnMakeOpaque(pMain);
            EXPECT_EQ(int(CTvnxDlg::SLIDER_OPAQUE), g_pMainDlg->m_Slider.GetPos());
            EXPECT_EQ(0, hooks.pfnGetTransparency(pMain));
        }
        hooks.pfnDestroy(pMain);
        EXPECT_EQ(nullptr, g_pMainDlg);
    }
    tray.Detach();
}

UINT g_nWheelTarget = 0;
LRESULT CALLBACK WheelFocusProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEWHEEL)
        g_nWheelTarget++;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(TvnxDlgTest, TheOldWheelMessageReachesTheFocusWindow)
{
    Show("<default>");
    g_msgMouseWheelRoll.Register(TVNX_MSG_MSWHEEL);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WheelFocusProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxDlgTestWheel";
    RegisterClassA(&wc);
    HWND hFocus = CreateWindowExA(0, "TvnxDlgTestWheel", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, m_pDlg->m_hWnd, NULL,
                                  GetModuleHandleA(NULL), NULL);
    SetForegroundWindow(m_pDlg->m_hWnd);
    SetFocus(hFocus);
    g_nWheelTarget = 0;
    if (GetFocus() == hFocus) {
        m_pDlg->SendMessage(UINT(g_msgMouseWheelRoll), WPARAM(-120), 0);
        EXPECT_EQ(1u, g_nWheelTarget);
    }
    DestroyWindow(hFocus);
    g_msgMouseWheelRoll = CRegisteredMessage();
}

TEST_F(TvnxDlgTest, ThePrintedSnapshotIsNotBlank)
{
    Show(CopyDemo());
    UpdateWindow(m_pDlg->m_hWnd);
    HDC hScreen = GetDC(NULL);
    HDC hDC = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, m_pDlg->m_nWidth, m_pDlg->m_nHeight);
    ReleaseDC(NULL, hScreen);
    HGDIOBJ hOld = SelectObject(hDC, hBitmap);
    RECT rc = {0, 0, m_pDlg->m_nWidth, m_pDlg->m_nHeight};
    FillRect(hDC, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    m_pDlg->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(hDC), PRF_CLIENT | PRF_CHILDREN);
    int nColoured = 0;
    for (int y = 0; y < m_pDlg->m_nHeight; y += 7)
        for (int x = 0; x < m_pDlg->m_nWidth; x += 7)
            nColoured += GetPixel(hDC, x, y) != RGB(0, 0, 0);
    SelectObject(hDC, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hDC);
    EXPECT_GT(nColoured, (m_pDlg->m_nWidth / 7) * (m_pDlg->m_nHeight / 7) / 2);
}

// --- destruction --------------------------------------------------------------------------------

TEST_F(TvnxDlgTest, DestructionCleansUpAndSavesWhatChanged)
{
    const std::string strDemo = CopyDemo();
    Show(strDemo);
    ASSERT_EQ(strDemo, OpenPath());
    const HWND hMain = m_pDlg->m_hWnd;
    ASSERT_NE(0, m_pDlg->m_nTickClient);
    m_pDlg->m_Fields.SelectFieldByName("Phrases");
    m_pDlg->m_Fields.GetField(0)->m_strCode = "<SMILIE>!";
    g_bCollectionChanged = TRUE;
    // A window the focus hook reported; it stands for another program's.
    const HWND hForeign = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    SetForeignTarget(hForeign);
    m_pDlg->DestroyWindow();
    EXPECT_EQ(NULL, GetForeignTarget()) << "the reported foreign window is forgotten";
    ::DestroyWindow(hForeign);
    EXPECT_EQ(1, g_nAnimates);
    for (int i = 0; i < g_pVTimer->m_Clients.GetSize(); i++)
        EXPECT_NE(hMain, g_pVTimer->m_Clients[i].hWnd) << "a timer client of the window is left";
    EXPECT_EQ(0, m_pDlg->m_nTickClient);
    EXPECT_EQ(nullptr, g_pImgCache);
    EXPECT_FALSE(g_BusyEnabled);
    EXPECT_EQ(NULL, GetMainWindow());
    EXPECT_STREQ("Phrases", g_Settings.FieldName);
    EXPECT_TRUE(g_boxes.empty());
    // The change reached the file.
    delete g_pCollectionFile;
    g_pCollectionFile = NULL;
    Show(strDemo);
    EXPECT_STREQ("<SMILIE>!", m_pDlg->m_Fields.GetField(0)->m_strCode);
}

TEST_F(TvnxDlgTest, AFailedSaveOnDestructionIsToldOverTheOwner)
{
    const std::string strDemo = CopyDemo();
    Show(strDemo);
    g_bCollectionChanged = TRUE;
    // The folder of the collection is gone: the save cannot write.
    SetCollectionPath(m_dir.Path("gone\\demo.tvnx").c_str());
    m_pDlg->DestroyWindow();
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_TRUE(g_boxes[0] == "L389" || g_boxes[0] == "L390" || g_boxes[0] == "L391" || g_boxes[0] == "L388")
        << g_boxes[0];
}

// --- collection commands ------------------------------------------------------------------------

TEST_F(TvnxDlgTest, OpenResultsAndTheirMessages)
{
    const std::string strDemo = CopyDemo();
    Show(strDemo);
    TestCollection bad;
    bad.nVersion = 0x7FFF;
    const std::string strVersion = m_dir.Path("future.tvnx");
    ASSERT_TRUE(WriteBytes(strVersion, bad.Build()));
    const std::string strGarbage = m_dir.Path("garbage.tvnx");
    ASSERT_TRUE(WriteBytes(strGarbage, Text("this is not a collection at all, not even close to one.......")));
    const std::string strEmpty = m_dir.Path("empty.tvnx");
    ASSERT_TRUE(WriteBytes(strEmpty, Bytes()));
    struct Case
    {
        std::string strPath;
        const char* pszBox;
        bool bStaysOpen;   // the demo stays the open collection
    } cases[] = {
        {m_dir.Path("missing.tvnx"), "L384", true},
        {strDemo, "L383", true},
        {strGarbage, "L386", true},
        {strEmpty, "L386", true},
        {strVersion, "L387", true},
    };
    for (const Case& c : cases) {
        g_boxes.clear();
        m_pDlg->OpenCollection(c.strPath.c_str(), 0);
        ASSERT_EQ(1u, g_boxes.size()) << c.strPath;
        EXPECT_EQ(c.pszBox, g_boxes[0]) << c.strPath;
        EXPECT_EQ(strDemo, OpenPath()) << c.strPath;
        EXPECT_EQ(3, FieldCount()) << c.strPath;
    }
}

// The paste history holds copies that name picture records of the open file:
// loading, saving or merging a collection empties it, so no copy pastes the
// record of another file (or a record the save renumbered).
TEST_F(TvnxDlgTest, CollectionOperationsEmptyThePasteHistory)
{
    const std::string strDemo = CopyDemo();
    const std::string strOther = CopyDemo("other.tvnx");
    Show(strDemo);
    const struct
    {
        const char* name;
        std::function<void()> run;
    } ops[] = {
        {"load", [&] { m_pDlg->LoadCollection(strOther.c_str(), 0); }},
        {"save", [&] { m_pDlg->WriteCollection(strOther.c_str(), TRUE, 0); }},
        {"merge", [&] { m_pDlg->MergeCollection(strDemo.c_str(), 0); }},
    };
    for (const auto& op : ops) {
        CSmilie* pSmilie = m_pDlg->m_Fields.GetField(0)->GetAt(0, 0);
        ASSERT_NE(nullptr, pSmilie) << op.name;
        CSmiliesPasteGroup group;
        ASSERT_TRUE(group.AddSmilie(pSmilie));
        g_PasteHistory.Add(group);
        op.run();
        EXPECT_EQ(0, g_PasteHistory.GetSize()) << op.name;
        g_PasteHistory.RemoveAll();
    }
}

TEST_F(TvnxDlgTest, NetworkAndRemovablePathsAskFirst)
{
    const std::string strDemo = CopyDemo("other.tvnx");
    Show("<default>");
    struct Case
    {
        std::string strPath;
        UINT nDrive;
        int nAnswer;
        bool bAsked, bOpened;
    } cases[] = {
        {strDemo, DRIVE_FIXED, IDYES, false, true},
        {strDemo, DRIVE_REMOVABLE, IDNO, true, false},
        {strDemo, DRIVE_REMOVABLE, IDYES, true, true},
        {"\\\\server\\share\\x.tvnx", DRIVE_FIXED, IDNO, true, false},
        {strDemo, DRIVE_NO_ROOT_DIR, IDYES, false, false},
        {"C:", DRIVE_FIXED, IDYES, false, false},
    };
    for (const Case& c : cases) {
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        g_boxes.clear();
        g_boxAnswers = {c.nAnswer};
        g_nDriveType = c.nDrive;
        m_pDlg->OpenCollection(c.strPath.c_str(), 0);
        EXPECT_EQ(c.bAsked, !g_boxes.empty() && g_boxes[0] == "L397") << c.strPath << " " << c.nDrive;
        EXPECT_EQ(c.bOpened, OpenPath() == c.strPath) << c.strPath << " " << c.nDrive;
    }
}

TEST_F(TvnxDlgTest, UnsavedChangesAreAskedAboutBeforeAnotherCollectionOpens)
{
    const std::string strDemo = CopyDemo(), strOther = CopyDemo("other.tvnx");
    Show(strDemo);
    struct Case
    {
        BOOL bFieldChange, bStatistics;
        int nFlag, nAnswer;
        bool bAsked, bOpened, bSaved;
    } cases[] = {
        {FALSE, FALSE, 0, IDYES, false, true, false},
        {TRUE, FALSE, 0, IDCANCEL, true, false, false},
        {TRUE, FALSE, 0, IDNO, true, true, false},
        {TRUE, FALSE, 0, IDYES, true, true, true},
        {FALSE, TRUE, 0, IDNO, true, true, false},
        {FALSE, TRUE, 1, IDNO, false, true, false},
    };
    for (const Case& c : cases) {
        m_pDlg->OpenCollection(strDemo.c_str(), 0);
        ASSERT_EQ(strDemo, OpenPath());
        m_pDlg->m_Fields.GetField(0)->m_strCode = "<SMILIE>?";
        g_bCollectionChanged = c.bFieldChange;
        g_bStatisticsChanged = c.bStatistics;
        g_boxes.clear();
        g_boxAnswers = {c.nAnswer};
        m_pDlg->OpenCollection(strOther.c_str(), c.nFlag);
        EXPECT_EQ(c.bAsked, !g_boxes.empty() && g_boxes[0] == "L417") << c.nAnswer;
        EXPECT_EQ(c.bOpened ? strOther : strDemo, OpenPath()) << c.nAnswer;
        // Was the code written into the first file? (Reopened from the other one.)
        if (c.bOpened) {
            m_pDlg->OpenCollection(strDemo.c_str(), 0);
            EXPECT_EQ(c.bSaved, m_pDlg->m_Fields.GetField(0)->m_strCode == "<SMILIE>?") << c.nAnswer;
        }
        // Back to the file as it came.
        m_pDlg->m_Fields.GetField(0)->m_strCode = "";
        g_bCollectionChanged = TRUE;
        m_pDlg->WriteCollection(strDemo.c_str(), TRUE, 0);
    }
}

TEST_F(TvnxDlgTest, NewProposesTheFirstFreeUntitledNameAndOpensAnEmptyCollection)
{
    Show("<default>");
    ASSERT_TRUE(WriteBytes(m_dir.Path("Untitled-1.tvnx"), Bytes(1)));
    ASSERT_TRUE(WriteBytes(m_dir.Path("Untitled-2.tvnx"), Bytes(1)));
    const std::string strNew = m_dir.Path("fresh.tvnx");
    g_fileAnswers = {strNew};
    m_pDlg->NewCollection();
    ASSERT_EQ(1u, g_fileProposed.size());
    EXPECT_EQ("Untitled-3.tvnx", g_fileProposed[0]);
    EXPECT_EQ(strNew, OpenPath());
    EXPECT_STREQ(strNew.c_str(), g_Settings.SmilieCollection);
    EXPECT_EQ(10, g_pCollectionFile->GetLevelByte());
    EXPECT_NE(nullptr, g_pImgCache);
    EXPECT_EQ(1, FieldCount());
}

TEST_F(TvnxDlgTest, NewStopsWhenTheSaveItAskedForFails)
{
    const std::string strDemo = CopyDemo();
    Show(strDemo);
    g_bCollectionChanged = TRUE;
    SetCollectionPath(m_dir.Path("gone\\demo.tvnx").c_str());
    g_fileAnswers = {m_dir.Path("fresh.tvnx")};
    g_boxAnswers = {IDYES};
    m_pDlg->NewCollection();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_dir.Path("fresh.tvnx").c_str()));
    EXPECT_EQ(3, FieldCount());
}

TEST_F(TvnxDlgTest, SaveResultsFourAndFiveLeaveNothingOpen)
{
    for (int nResult : {4, 5}) {
        const std::string strDemo = CopyDemo();
        Show(strDemo);
        g_boxes.clear();
        EXPECT_FALSE(m_pDlg->ShowSaveResult(nResult));
        EXPECT_EQ(nullptr, g_pCollectionFile) << nResult;
        EXPECT_EQ(nullptr, g_pImgCache) << nResult;
        EXPECT_EQ(1, FieldCount()) << nResult;
        EXPECT_STREQ("<default>", g_Settings.SmilieCollection) << nResult;
        EXPECT_EQ(std::vector<std::string>{"L388"}, g_boxes) << nResult;
        delete m_pDlg;
        m_pDlg = NULL;
    }
}

// The file dialog the window uses when no test replaces it.
int (*const g_pfnSystemFileDialog)(CWnd*, BOOL, LPCSTR, LPCSTR, LPCSTR, CString&) = CTvnxDlg::s_pfnFileDialog;

// Works the system's own file dialog: types the path and presses OK.
class TypeAndPressOk : public CModalAnswerer
{
public:
    explicit TypeAndPressOk(const std::string& strPath) : m_strPath(strPath)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~TypeAndPressOk() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        HWND hDlg = pDialog->m_hWnd;
        if (GetWindowLongA(hDlg, GWL_STYLE) & WS_CHILD)
            hDlg = GetParent(hDlg);
        SendMessageA(hDlg, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(m_strPath.c_str()));
        SendMessageA(hDlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(m_strPath.c_str()));
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
        return -1;
    }

private:
    std::string m_strPath;
    CModalAnswerer* m_pPrevious;
};

// Closes a file dialog that the test could not work, so that it cannot wait.
void CALLBACK CancelStrayFileDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND hDlg = FindWindowA("#32770", NULL))
        PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
}

// The system's own dialogs for opening and saving a collection, a full path
// typed in and OK pressed: the chosen folder does not become the current one.
TEST_F(TvnxDlgTest, CollectionDialogsKeepTheCurrentFolder)
{
    const std::string strDemo = CopyDemo();
    char szBefore[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, szBefore);
    for (BOOL bOpen : {TRUE, FALSE}) {
        SCOPED_TRACE(bOpen ? "open" : "save");
        TypeAndPressOk answer(bOpen ? strDemo : m_dir.Path("new one.tvnx"));
        CString strPath;
        const UINT_PTR nGuard = SetTimer(NULL, 0, 10000, CancelStrayFileDialog);
        const int nResult =
            g_pfnSystemFileDialog(NULL, bOpen, "Tarvenex", "Smilie Collections (*.tvnx)|*.tvnx||", NULL, strPath);
        KillTimer(NULL, nGuard);
        char szAfter[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, szAfter);
        SetCurrentDirectoryA(szBefore);
        EXPECT_EQ(IDOK, nResult) << "the dialog did not take the typed name";
        EXPECT_STREQ(szBefore, szAfter);
    }
}

TEST_F(TvnxDlgTest, SaveAsWithoutAnOpenFileSaysSoAndWritesNothing)
{
    Show("<default>");
    const std::string strTarget = m_dir.Path("as.tvnx");
    g_fileAnswers = {strTarget};
    m_pDlg->SaveAs();
    EXPECT_EQ(std::vector<std::string>{"L392"}, g_boxes);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(strTarget.c_str()));
    EXPECT_EQ(0, g_BusyCount);
}

TEST_F(TvnxDlgTest, SaveAsMovesToTheNewFileAndACopyLeavesTheOpenOne)
{
    const std::string strDemo = CopyDemo();
    Show(strDemo);
    const std::string strCopy = m_dir.Path("copy.tvnx"), strAs = m_dir.Path("as.tvnx");
    g_fileAnswers = {strCopy};
    m_pDlg->SaveCopyAs();
    EXPECT_EQ(strDemo, g_fileProposed.back());
    EXPECT_EQ(strDemo, OpenPath());
    CTvnxSave check;
    EXPECT_EQ(0, check.OpenCollection(strCopy.c_str(), TRUE, 0));
    g_fileAnswers = {strAs};
    m_pDlg->SaveAs();
    EXPECT_EQ(strAs, OpenPath());
    EXPECT_EQ(3, FieldCount());
    EXPECT_EQ(0, g_BusyCount);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(TvnxDlgTest, ImportSelectsTheNextTabAndAFailedMergeDropsItsUndoStep)
{
    const std::string strDemo = CopyDemo(), strOther = CopyDemo("other.tvnx");
    Show(strDemo);
    CTabSelector* pStrip = m_pDlg->m_Fields.GetSwitcher();
    ASSERT_NE(nullptr, pStrip);
    m_pDlg->m_Fields.SelectFieldQuietly(pStrip->GetTabAt(0).nId);
    m_pDlg->ImportCollection(strOther.c_str());
    EXPECT_EQ(6, FieldCount());
    EXPECT_EQ(pStrip->GetTabAt(1).nId, pStrip->GetSelectedId());
    EXPECT_TRUE(g_boxes.empty());
    const int nUndo = m_pDlg->m_Fields.GetUndoCount();
    m_pDlg->ImportCollection(m_dir.Path("missing.tvnx").c_str());
    EXPECT_EQ(std::vector<std::string>{"L384"}, g_boxes);
    EXPECT_EQ(nUndo, m_pDlg->m_Fields.GetUndoCount());
    EXPECT_EQ(6, FieldCount());
}

// --- menus as data ----------------------------------------------------------------------------

int Find(const std::vector<UINT>& commands, UINT nCommand)
{
    for (size_t i = 0; i < commands.size(); i++)
        if (commands[i] == nCommand)
            return int(i);
    return -1;
}

TEST_F(TvnxDlgTest, CollectionMenuItemsFollowTheCollection)
{
    const std::string strDemo = CopyDemo();
    // Without a collection: saving is disabled.
    Show("<default>");
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_COLLECTION);
    int i = Find(g_menuCommands, CTvnxDlg::ID_COL_SAVE);
    ASSERT_GE(i, 0);
    EXPECT_TRUE(g_menuFlags[i] & MF_GRAYED);
    EXPECT_TRUE(g_menuFlags[Find(g_menuCommands, CTvnxDlg::ID_COL_IMPORT)] & MF_GRAYED);
    EXPECT_EQ(-1, Find(g_menuCommands, CTvnxDlg::ID_COL_UPDATE));

    m_pDlg->OpenCollection(strDemo.c_str(), 0);
    struct Case
    {
        const char* pszName;
        bool bKeys;
        int nFields;
        BYTE nLevel;
        bool bImport, bUpdate, bFlag;
    } cases[] = {
        {"plain", false, 3, 0, true, false, false},
        {"updated", false, 3, 10, true, true, false},
        {"internal keys", true, 3, 0, true, true, true},
        {"full", false, 50, 0, false, false, false},
    };
    for (const Case& c : cases) {
        while (FieldCount() < c.nFields)
            m_pDlg->m_Fields.InsertField(-1, "more", RGB(1, 2, 3), 35, 34);
        g_pCollectionFile->SetLevelByte(c.nLevel);
        g_bInternalKeys = c.bKeys;
        m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_COLLECTION);
        const int nImport = Find(g_menuCommands, CTvnxDlg::ID_COL_IMPORT);
        ASSERT_GE(nImport, 0) << c.pszName;
        EXPECT_EQ(c.bImport, !(g_menuFlags[nImport] & MF_GRAYED)) << c.pszName;
        EXPECT_EQ(c.bUpdate, Find(g_menuCommands, CTvnxDlg::ID_COL_UPDATE) >= 0) << c.pszName;
        const int nFlag = Find(g_menuCommands, CTvnxDlg::ID_COL_UPDATEFLAG);
        EXPECT_EQ(c.bFlag, nFlag >= 0) << c.pszName;
        if (nFlag >= 0)
            EXPECT_TRUE(g_menuFlags[nFlag] & MF_CHECKED) << c.pszName;
        const int nSave = Find(g_menuCommands, CTvnxDlg::ID_COL_SAVE);
        EXPECT_EQ("L18 demo", g_menuTexts[nSave]) << c.pszName;
    }
    // The open collection is listed, disabled.
    const int nListed = Find(g_menuCommands, CTvnxDlg::ID_COL_FIRSTLISTED);
    EXPECT_EQ(-1, nListed);  // a submenu's items are not the bar menu's
}

TEST_F(TvnxDlgTest, OptionCommandsChangeAndKeepTheSettings)
{
    Show(CopyDemo());
    struct Case
    {
        UINT nCommand;
        int* pSetting;
        int nExpected;
    } cases[] = {
        {CTvnxDlg::ID_OPT_LOCALSMILIES, &g_Settings.InsertLocalSmilies, !g_Settings.InsertLocalSmilies},
        {CTvnxDlg::ID_OPT_ANIMATION, &g_Settings.SmilieAnimation, !g_Settings.SmilieAnimation},
        {CTvnxDlg::ID_OPT_TIPS, &g_Settings.ShowTips, !g_Settings.ShowTips},
        {CTvnxDlg::ID_OPT_LOOK_FIRST + 2, &g_Settings.SmilieFieldsLook, 2},
        {CTvnxDlg::ID_OPT_COLOR_FIRST + 1, &g_Settings.SkinColorScheme, 2},
        {CTvnxDlg::ID_OPT_COLORING_OFF, &g_Settings.SkinColoringEnabled, 0},
    };
    for (const Case& c : cases) {
        g_nMenuAnswer = c.nCommand;
        m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_OPTIONS);
        EXPECT_EQ(c.nExpected, *c.pSetting) << c.nCommand;
        SetDefaultSettings();
        LoadSettings();
        EXPECT_EQ(c.nExpected, *c.pSetting) << c.nCommand << " was not saved";
        SetAppDataFolder(m_dir.Path("").c_str());
    }
    // A preset code goes to every field, and the menu ticks it.
    g_nMenuAnswer = CTvnxDlg::ID_OPT_CODE_IMG;
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_OPTIONS);
    EXPECT_STRCASEEQ("[img]<SMILIE>[/img]", m_pDlg->m_Fields.GetCommonCode());
    // Eudora only asks first; No changes nothing.
    g_boxAnswers = {IDNO};
    g_Settings.EudoraOnly = 0;
    g_nMenuAnswer = CTvnxDlg::ID_OPT_EUDORAONLY;
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_OPTIONS);
    EXPECT_EQ(0, g_Settings.EudoraOnly);
    EXPECT_EQ("L399", g_boxes.back());
}

TEST_F(TvnxDlgTest, HelpCommandsOpenThroughTheShell)
{
    Show("<default>");
    struct Case
    {
        UINT nCommand;
        const char* pszPart;
    } cases[] = {
        {CTvnxDlg::ID_HELP_HELP, "\\help\\index.htm"},
        {CTvnxDlg::ID_HELP_HISTORY, "\\history.txt"},
        {CTvnxDlg::ID_HELP_WEBSITE, "http://www.tarvenex.example"},
        {CTvnxDlg::ID_HELP_WEBPAGE_HOWTO, "\\help\\page2.htm"},
    };
    for (const Case& c : cases) {
        g_shell.clear();
        g_nMenuAnswer = c.nCommand;
        m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_HELP);
        ASSERT_EQ(1u, g_shell.size()) << c.nCommand;
        EXPECT_NE(std::string::npos, g_shell[0].find(c.pszPart)) << g_shell[0];
    }
    g_nMenuAnswer = CTvnxDlg::ID_HELP_ABOUT;
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_HELP);
    EXPECT_EQ(1, g_nDialogs);
    EXPECT_EQ(-1, Find(g_menuCommands, CTvnxDlg::ID_HELP_INTERNAL));
    g_bInternalKeys = true;
    g_nMenuAnswer = 0;
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_HELP);
    EXPECT_GE(Find(g_menuCommands, CTvnxDlg::ID_HELP_INTERNAL), 0);
}

TEST_F(TvnxDlgTest, SliderMenuSetsAndStoresThePreset)
{
    Show("<default>");
    g_nMenuAnswer = 71;
    m_pDlg->SendMessage(WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(m_pDlg->m_Slider.m_hWnd), MAKELPARAM(5, 5));
    EXPECT_EQ(70, m_pDlg->GetTransparencyPercent());
    EXPECT_EQ(70, g_Settings.MainWndTransparencyPercent);
    // Opaque is disabled while opaque; the current preset is disabled.
    EXPECT_TRUE(g_menuFlags[0] & MF_GRAYED);
    g_nMenuAnswer = 0;
    m_pDlg->SendMessage(WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(m_pDlg->m_Slider.m_hWnd), MAKELPARAM(5, 5));
    EXPECT_FALSE(g_menuFlags[0] & MF_GRAYED);
    EXPECT_TRUE(g_menuFlags[3] & MF_GRAYED);
}

}  // namespace

// The about box for the modal test, run as the program runs it.
#include "dialogs/DlgAbout.h"
INT_PTR RunAboutBox(CWnd* pParent)
{
    CDlgAbout dlg(pParent);
    return dlg.DoModal();
}

// --- the field's menus on the bar -------------------------------------------------------------

namespace {

// Popup menus answered with a chosen command; what each offered is kept.
class BarMenuAnswerer : public CModalAnswerer
{
public:
    BarMenuAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~BarMenuAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override { return pDialog->ContinueModal() ? IDCANCEL : -1; }
    BOOL OnPopupMenu(CMenu* pMenu, UINT, int, int, CWnd*, UINT* pnCommand) override
    {
        nMenus++;
        enabled.clear();
        for (int i = 0; pMenu != NULL && i < ::GetMenuItemCount(pMenu->m_hMenu); i++) {
            const UINT nId = ::GetMenuItemID(pMenu->m_hMenu, i);
            if (nId != UINT(-1) && !(::GetMenuState(pMenu->m_hMenu, i, MF_BYPOSITION) & MF_GRAYED))
                enabled.push_back(nId);
        }
        *pnCommand = nCommand;
        return TRUE;
    }
    bool Enabled(UINT nId) const { return std::find(enabled.begin(), enabled.end(), nId) != enabled.end(); }
    UINT nCommand = 0;
    int nMenus = 0;
    std::vector<UINT> enabled;

private:
    CModalAnswerer* m_pPrevious;
};

}  // namespace

// Edit and Smilies on the main window's bar drop the shown field's own menus
// for its focus cell, and their commands act on that field.
TEST_F(TvnxDlgTest, EditAndSmiliesDropTheShownFieldsMenus)
{
    Show(CopyDemo());
    CSmiliesFieldControl* pField = m_pDlg->m_Fields.GetShownField();
    ASSERT_NE(nullptr, pField);
    ASSERT_NE(nullptr, pField->GetAt(0, 0));
    int nSmilies = 0;
    for (int r = 0; r < 10; r++)
        for (int c = 0; c < pField->GetColumnCount(); c++)
            nSmilies += pField->GetAt(c, r) != NULL;
    BarMenuAnswerer menus;

    // On a smilie, Edit offers copying; "select all" selects the whole field.
    pField->SetFocusCell(0, 0);
    menus.nCommand = ID_FIELDMENU_SELECT_ALL;
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_EDIT);
    EXPECT_EQ(1, menus.nMenus);
    EXPECT_TRUE(menus.Enabled(ID_FIELDMENU_COPY));
    EXPECT_FALSE(menus.Enabled(ID_FIELDMENU_UNDO)) << "nothing to undo yet";
    EXPECT_EQ(nSmilies, pField->GetSelectedCount());
    pField->DeselectAll();

    // Smilies: adding pictures only on an empty cell.
    menus.nCommand = 0;
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_SMILIES);
    EXPECT_EQ(2, menus.nMenus);
    EXPECT_FALSE(menus.Enabled(ID_FIELDMENU_ADD_FILES)) << "on a smilie";
    pField->SetFocusCell(pField->GetColumnCount() - 1, 9);
    ASSERT_EQ(nullptr, pField->GetAt(pField->GetColumnCount() - 1, 9));
    m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_SMILIES);
    EXPECT_EQ(3, menus.nMenus);
    EXPECT_TRUE(menus.Enabled(ID_FIELDMENU_ADD_FILES)) << "on an empty cell";
    EXPECT_EQ(0, pField->GetSelectedCount()) << "a closed menu does nothing";
}

namespace {

// A key as the main window's message loop gets it: posted to the focus and
// pre-translated. "Alt" (pressed and released alone), "F10", "S-F10",
// "Left", "Right", "Down", "Enter", "Esc".
void MainWindowKey(HWND hMain, const std::string& key)
{
    HWND hTarget = GetFocus() != NULL && (GetFocus() == hMain || IsChild(hMain, GetFocus())) ? GetFocus() : hMain;
    const LPARAM lAlt = 1 | (1 << 29);
    BYTE state[256];
    GetKeyboardState(state);
    if (key == "Alt") {
        PostMessageA(hTarget, WM_SYSKEYDOWN, VK_MENU, lAlt);
        PostMessageA(hTarget, WM_SYSKEYUP, VK_MENU, lAlt | 0xC0000000);
    } else if (key == "F10" || key == "S-F10") {
        state[VK_SHIFT] = key == "S-F10" ? 0x80 : 0;
        SetKeyboardState(state);
        PostMessageA(hTarget, WM_SYSKEYDOWN, VK_F10, 1);
    } else {
        const std::map<std::string, UINT> keys = {
            {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Down", VK_DOWN}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}};
        ASSERT_TRUE(keys.count(key)) << key;
        PostMessageA(hTarget, WM_KEYDOWN, keys.at(key), 1);
        PostMessageA(hTarget, WM_KEYUP, keys.at(key), 1 | 0xC0000000);
    }
    MSG msg;
    for (int i = 0; i < 200 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); i++) {
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

}  // namespace

// The main window with the keyboard: Alt or F10 selects the bar's first item,
// the arrows walk round it, Enter or Down opens the menu (the Collection,
// Options and Help menus through the window's menu seam, the field's Edit,
// Smilies and Fields menus through the menu answerer), Esc or Alt again
// leaves the bar; Shift+F10 is the focused field's and opens its menu (the
// window hands its own focus to the field on show).
TEST_F(TvnxDlgTest, TheBarAndTheFieldAnswerTheKeyboard)
{
    Show(CopyDemo());
    CSmiliesFieldControl* pField = m_pDlg->m_Fields.GetShownField();
    ASSERT_NE(nullptr, pField);
    const struct
    {
        const char* pszKeys;
        std::vector<UINT> bar;  // the bar items whose menus the seam tracked
        int nFieldMenus;        // menus of the field
    } rows[] = {
        {"Alt Enter", {CTvnxDlg::BAR_COLLECTION}, 0},
        {"F10 Left Enter", {CTvnxDlg::BAR_HELP}, 0},
        {"Alt Right Right Right Right Down", {CTvnxDlg::BAR_OPTIONS}, 0},
        {"F10 Right Right Right Right Right Right Enter", {CTvnxDlg::BAR_COLLECTION}, 0},
        {"Alt Right Enter", {}, 1},
        {"Alt Right Right Right Enter", {}, 1},
        {"Alt Esc Down", {}, 0},
        {"Alt Alt Down", {}, 0},
        {"S-F10", {}, 1},
        {"Window S-F10", {}, 1},
    };
    for (const auto& row : rows) {
        BarMenuAnswerer menus;
        g_menuBarValues.clear();
        pField->SetFocus();
        pField->SetFocusCell(0, 0);
        std::istringstream in(row.pszKeys);
        for (std::string key; in >> key;) {
            // The focus given to the window itself goes on to the field on show.
            if (key == "Window") {
                m_pDlg->SetFocus();
                EXPECT_EQ(pField->m_hWnd, GetFocus()) << row.pszKeys;
                continue;
            }
            MainWindowKey(m_pDlg->m_hWnd, key);
        }
        EXPECT_EQ(row.bar, g_menuBarValues) << row.pszKeys;
        EXPECT_EQ(row.nFieldMenus, menus.nMenus) << row.pszKeys;
        EXPECT_EQ(0u, m_pDlg->m_MenuBar.GetKeyboardValue()) << row.pszKeys << ": the bar is left";
    }
}

// --- menus hold no icons after they close ---------------------------------------------------------

// Every menu of the main window and of its field, opened and closed many
// times: whatever a menu makes for its items (icons, swatches) goes with it.
TEST_F(TvnxDlgTest, MenusLeaveNoGdiObjectsBehind)
{
    {
        // The count sees an object come and go, else the rows below prove nothing.
        const int nBefore = CountGdiObjects();
        HBITMAP hBmp = ::CreateBitmap(4, 4, 1, 1, NULL);
        ASSERT_EQ(nBefore + 1, CountGdiObjects());
        ::DeleteObject(hBmp);
        ASSERT_EQ(nBefore, CountGdiObjects());
    }
    Show(CopyDemo());
    CSmiliesFieldControl* pField = m_pDlg->m_Fields.GetShownField();
    ASSERT_NE(nullptr, pField);
    ASSERT_NE(nullptr, pField->GetAt(0, 0));
    BarMenuAnswerer menus;
    g_nMenuAnswer = 0;
    const POINT ptSmilie = pField->GetCellRect(0, 0).CenterPoint();
    const POINT ptEmpty = pField->GetCellRect(pField->GetColumnCount() - 1, 9).CenterPoint();
    ASSERT_EQ(nullptr, pField->GetAt(pField->GetColumnCount() - 1, 9));
    const struct
    {
        const char* name;
        std::function<void()> open;
    } rows[] = {
        {"Collection", [&] { m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_COLLECTION); }},
        {"Options", [&] { m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_OPTIONS); }},
        {"Help", [&] { m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_HELP); }},
        {"slider",
         [&] {
             m_pDlg->SendMessage(WM_SCROLLBARCLICK, reinterpret_cast<WPARAM>(m_pDlg->m_Slider.m_hWnd),
                                 MAKELPARAM(5, 5));
         }},
        {"Edit", [&] { m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_EDIT); }},
        {"Fields", [&] { m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_FIELDS); }},
        {"Smilies", [&] { m_pDlg->SendMessage(WM_COMMAND, CTvnxDlg::BAR_SMILIES); }},
        {"field", [&] { ShowFieldMenu(pField, ptEmpty); }},
        {"smilie", [&] { ShowSmilieMenu(pField, ptSmilie); }},
    };
    pField->SetFocusCell(0, 0);
    for (const auto& r : rows) {
        // The first opening may make what stays for the program's life.
        r.open();
        PumpPending();
        const int nMenusBefore = menus.nMenus;
        const int nBefore = CountGdiObjects();
        g_menuTexts.clear();
        for (int i = 0; i < 200; i++)
            r.open();
        PumpPending();
        EXPECT_TRUE(menus.nMenus > nMenusBefore || !g_menuTexts.empty()) << r.name << ": the menu was opened";
        EXPECT_EQ(nBefore, CountGdiObjects()) << r.name << " menu, 200 times";
    }
}

// --- the fields at the default size -----------------------------------------------------------------

// A word's width in the fields' cell font, as a cell measures its lines.
int WordWidth(const std::string& word)
{
    HDC hDC = ::CreateCompatibleDC(NULL);
    HFONT hFont = g_pSkin->m_fieldsLook.grid.pCellFont != NULL
                      ? ::CreateFontIndirectA(g_pSkin->m_fieldsLook.grid.pCellFont)
                      : NULL;
    HGDIOBJ hOld = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
    RECT rc = {0, 0, 0, 0};
    ::DrawTextA(hDC, word.c_str(), int(word.size()), &rc, DT_SINGLELINE | DT_NOCLIP | DT_CALCRECT);
    if (hOld != NULL)
        ::SelectObject(hDC, hOld);
    if (hFont != NULL)
        ::DeleteObject(hFont);
    ::DeleteDC(hDC);
    return rc.right - rc.left;
}

// What a first start shows: every field holds whole columns only, clear of
// the fields' scroll bar (no part of a column lies behind it), and every
// word of the demo's phrases fits its cell.
TEST_F(TvnxDlgTest, AtTheDefaultSizeColumnsAreWholeAndPhrasesFitTheirCells)
{
    Show(CopyDemo());
    ASSERT_GT(FieldCount(), 0);
    CRect rcBar;
    ::GetWindowRect(m_pDlg->m_Fields.GetScrollBar().m_hWnd, &rcBar);
    int nPhrases = 0;
    for (int i = 0; i < FieldCount(); i++) {
        CSmiliesFieldControl* pField = m_pDlg->m_Fields.GetField(i);
        m_pDlg->m_Fields.OnTabSelected(m_pDlg->m_Fields.GetFieldId(i));
        pField->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpPending();
        CString strName;
        pField->GetWindowText(strName);
        const std::string name = static_cast<LPCSTR>(strName);
        CRect rcField, rcClient;
        pField->GetWindowRect(&rcField);
        pField->GetClientRect(&rcClient);
        EXPECT_EQ(pField->GetColumnCount() * pField->GetCellWidth(), rcClient.Width())
            << name << ": " << pField->GetColumnCount() << " columns of " << pField->GetCellWidth();
        EXPECT_LE(rcField.right, rcBar.left) << name;
        // Each word of a phrase is one line at the least: it must fit the
        // cell less its insets in the cell font, or it is cut at both ends.
        for (int r = 0; r < 4; r++) {
            for (int c = 0; c < pField->GetColumnCount(); c++) {
                CSmilie* p = pField->GetAt(c, r);
                if (p == NULL || !IsPhraseSmilie(p))
                    continue;
                nPhrases++;
                const int nAvailable = p->m_nCellWidth - p->m_nInsetLead - p->m_nInsetTrail;
                std::istringstream words(static_cast<LPCSTR>(p->m_strPhrase));
                for (std::string word; words >> word;)
                    EXPECT_LT(WordWidth(word), nAvailable) << name << ": \"" << word << "\" in " << nAvailable;
            }
        }
    }
    EXPECT_GT(nPhrases, 0) << "the demo shows phrases";
}
