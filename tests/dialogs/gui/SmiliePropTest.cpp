// The smilie properties dialog on real windows over a small collection file:
// which template a smilie gets, the facts it shows, the values it writes back
// (on OK only), the insertion-template questions, moving the picture with the
// buttons and the mouse within its limits, and the animation driven tick by
// tick.
#include "dialogs/DlgSmilieProp.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "tests/collection/PictureSamples.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) { return 4711; }
MMRESULT WINAPI FakeKillEvent(UINT) { return TIMERR_NOERROR; }

// Records of the test collection.
enum
{
    recAnimated = 1,   // 40 x 30, three frames: red 100 ms, green 300 ms, blue 50 ms
    recWide = 2,       // 40 x 20
    recSmall = 3,      // 8 x 8, fits the cell
    recJunk = 4        // no picture
};
const COLORREF kFrameColours[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

Bytes SolidGif(int cx, int cy, const std::vector<int>& delaysCs)
{
    GifRecipe s;
    s.cx = cx;
    s.cy = cy;
    s.globalTable = {kFrameColours[0], kFrameColours[1], kFrameColours[2], RGB(0, 0, 0)};
    for (size_t i = 0; i < delaysCs.size(); i++) {
        GifFrameRecipe f;
        f.cx = cx;
        f.cy = cy;
        f.pixels.assign(size_t(cx) * cy, BYTE(i % 3));
        f.bControl = true;
        f.nDelayCs = delaysCs[i];
        s.frames.push_back(f);
    }
    return MakeGif(s);
}

std::string Text(HWND hWnd)
{
    std::string s(size_t(GetWindowTextLengthA(hWnd)) + 1, '\0');
    s.resize(size_t(GetWindowTextA(hWnd, &s[0], int(s.size()))));
    return s;
}

std::string Replaced(std::string s, const std::string& strWhat, const std::string& strWith)
{
    const size_t i = s.find(strWhat);
    return i == std::string::npos ? s : s.replace(i, strWhat.size(), strWith);
}

// Registrations of the window with the program's timer.
int TimerCount(HWND hWnd)
{
    int n = 0;
    for (int i = 0; i < g_pVTimer->m_Clients.GetSize(); i++)
        n += g_pVTimer->m_Clients[i].hWnd == hWnd ? 1 : 0;
    return n;
}

std::string Item(CDialog* p, int nId)
{
    return Text(GetDlgItem(p->m_hWnd, nId));
}

void Command(CDialog* p, int nId, int nCode = BN_CLICKED)
{
    p->SendMessage(WM_COMMAND, MAKEWPARAM(nId, nCode), 0);
}

void Tick(CDlgSmilieProp* p)
{
    p->SendMessage(WM_VTIMER, WPARAM(p->m_nAnimTimer), 0);
}

LPARAM At(CPoint pt)
{
    return MAKELPARAM(pt.x, pt.y);
}

// The divider of the dialog's registration nId with the program's timer; 0 when none.
int TimerDivider(HWND hWnd, int nId)
{
    for (int i = 0; i < g_pVTimer->m_Clients.GetSize(); i++) {
        const CVTimer::CTimerClient& c = g_pVTimer->m_Clients[i];
        if (c.hWnd == hWnd && c.nId == nId)
            return c.nDivider;
    }
    return 0;
}

// The colour of the preview canvas at a client point of the dialog.
COLORREF CanvasPixel(CDlgSmilieProp* p, CPoint pt)
{
    if (p->m_hCanvas == NULL)
        return CLR_INVALID;
    HDC hDC = CreateCompatibleDC(NULL);
    HGDIOBJ hOld = SelectObject(hDC, p->m_hCanvas);
    const COLORREF clr = GetPixel(hDC, pt.x - p->m_rcPreview.left, pt.y - p->m_rcPreview.top);
    SelectObject(hDC, hOld);
    DeleteDC(hDC);
    return clr;
}

// Works the properties dialog through fn (which ends it, or it is cancelled
// after), and answers the message boxes it asks in turn.
class CPropAnswerer : public CModalAnswerer
{
public:
    explicit CPropAnswerer(std::function<void(CDlgSmilieProp*)> fn) : m_fn(fn)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CPropAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    std::vector<int> answers;            // for the boxes, in order; No after them
    std::vector<std::string> boxTexts;
    std::vector<UINT> boxTypes;
    int nDialogs = 0;

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox))) {
            C3DImgMessageBox* pBox = static_cast<C3DImgMessageBox*>(pDialog);
            boxTexts.push_back(static_cast<LPCSTR>(pBox->m_strText));
            boxTypes.push_back(pBox->m_nType);
            const size_t n = boxTexts.size() - 1;
            return n < answers.size() ? answers[n] : IDNO;
        }
        nDialogs++;
        m_fn(static_cast<CDlgSmilieProp*>(pDialog));
        if (pDialog->ContinueModal())
            Command(pDialog, IDCANCEL);
        return -1;
    }

private:
    std::function<void(CDlgSmilieProp*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

// What the caller gets back; set to values the dialog never writes.
struct OUTPUTS
{
    CString strTemplate = "untouched";
    int nTextOnly = -1;
    int nReload = -1;
    POINT offset = {77, 77};
    BYTE nCrop = 0;
    int nCensored = -1;
};

class SmilieProp : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL)); }
    static void TearDownTestSuite() { FreeLanguages(); }

    void SetUp() override
    {
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
        g_Settings.FadeDialogs = 0;
        TestCollection c;
        c.records.push_back(Rec(recAnimated, "wave.gif", SolidGif(40, 30, {10, 30, 5})));
        c.records.push_back(Rec(recWide, "wide.gif", SolidGif(40, 20, {0})));
        c.records.push_back(Rec(recSmall, "small.gif", SolidGif(8, 8, {0})));
        c.records.push_back(Rec(recJunk, "junk.gif", ::Text("GIF89a and nothing more")));
        m_nAnimatedBytes = c.records[0].data.size();
        const std::string path = m_dir.Path("props.tvnx");
        ASSERT_TRUE(WriteBytes(path, c.Build()));
        ASSERT_EQ(CTvnxSave::openOk, m_file.OpenCollection(path.c_str(), FALSE, 0));
        g_pCollectionFile = &m_file;
        m_cache.Reset();
        g_pImgCache = &m_cache;
    }
    void TearDown() override
    {
        m_smilies.clear();
        g_pImgCache = nullptr;
        m_cache.RemoveAll();
        g_pCollectionFile = nullptr;
        m_file.Close();
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
    }

    // A picture smilie as a field holds it (looked up in the image cache).
    CSmilie* Smilie(uint32_t nRecord, const char* pszSource = "", const char* pszPhrase = "")
    {
        m_smilies.emplace_back(new CSmilie());
        CSmilie* p = m_smilies.back().get();
        p->m_nImageRecord = nRecord;
        p->m_nImageId = nRecord != 0 ? m_cache.AddCollectionImage(nRecord) : 0;
        p->SetSource(pszSource);
        p->m_strPhrase = pszPhrase;
        p->m_nUsageCount = 7;
        const SYSTEMTIME date = {2026, 3, 4, 5, 14, 30, 0, 0};
        p->m_Date = date;
        return p;
    }

    // Runs the dialog on the smilie with fn working it; DoModal's result.
    static INT_PTR Run(CSmilie* pSmilie, OUTPUTS& out, std::function<void(CDlgSmilieProp*)> fn,
                       std::vector<int> answers = {}, bool bReload = true)
    {
        CPropAnswerer answerer(fn);
        answerer.answers = answers;
        CDlgSmilieProp dlg(pSmilie, &out.strTemplate, &out.nTextOnly, bReload ? &out.nReload : NULL, &out.offset,
                           &out.nCrop, &out.nCensored);
        const INT_PTR nResult = dlg.Show();
        EXPECT_EQ(1, answerer.nDialogs);
        s_boxTexts = answerer.boxTexts;
        s_boxTypes = answerer.boxTypes;
        return nResult;
    }

    TvnxTempDir m_dir;
    CTvnxSave m_file;
    CImgCache m_cache;
    size_t m_nAnimatedBytes = 0;
    std::vector<std::unique_ptr<CSmilie>> m_smilies;
    static std::vector<std::string> s_boxTexts;
    static std::vector<UINT> s_boxTypes;
};

std::vector<std::string> SmilieProp::s_boxTexts;
std::vector<UINT> SmilieProp::s_boxTypes;

TEST_F(SmilieProp, TemplateFollowsTheSourceText)
{
    const struct
    {
        const char* pszSource;
        UINT nTemplate;
        bool bSourceControls;   // the template's controls are there
        int nChoices;           // entries of the template combo
        const char* pszShown;   // in the source edit
    } rows[] = {
        {"", IDD_SMILIEPROP_NOSOURCE, false, 0, ""},
        {"C:\\Smilies\\wave.gif", IDD_SMILIEPROP, true, 2, "C:\\Smilies\\wave.gif"},
        {"http://127.0.0.1/wave.gif", IDD_SMILIEPROP, true, 2, "http://127.0.0.1/wave.gif"},
        // Too short to count as a source: the controls stay blank.
        {"abc", IDD_SMILIEPROP, true, 0, ""},
    };
    for (const auto& row : rows) {
        CSmilie* pSmilie = Smilie(recAnimated, row.pszSource);
        EXPECT_EQ(row.nTemplate, CDlgSmilieProp::TemplateFor(pSmilie)) << row.pszSource;
        OUTPUTS out;
        Run(pSmilie, out, [&](CDlgSmilieProp* p) {
            EXPECT_EQ(row.bSourceControls, GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_CHOICE) != NULL) << row.pszSource;
            EXPECT_EQ(row.bSourceControls, GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_RELOAD) != NULL) << row.pszSource;
            EXPECT_EQ(row.nChoices, SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_GETCOUNT, 0, 0))
                << row.pszSource;
            EXPECT_EQ(row.pszShown, Item(p, IDC_SMILIEPROP_SOURCE)) << row.pszSource;
            EXPECT_TRUE(GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_PREVIEW) == NULL) << "the preview marker is gone";
        });
    }
}

TEST_F(SmilieProp, ShowsTheFactsOfTheSmilie)
{
    CSmilie* pSmilie = Smilie(recAnimated);
    OUTPUTS out;
    Run(pSmilie, out, [&](CDlgSmilieProp* p) {
        EXPECT_EQ(3, p->m_nFrameCount);
        EXPECT_EQ(CSize(40, 30), p->m_PictureSize);
        EXPECT_EQ(Replaced(GetLangString(232), "[SMILIENAME]", "WAVE"), Text(p->m_hWnd));
        EXPECT_EQ("40x30\r\n" + std::to_string(m_nAnimatedBytes) + "\r\n7\r\n03/05/26", Item(p, IDC_SMILIEPROP_INFO));
        EXPECT_EQ(std::string(GetLangString(233)) + ":\r\n" + GetLangString(234) + ":\r\n" + GetLangString(235) +
                      ":\r\n" + GetLangString(236) + ":\r\n" + GetLangString(523) + ":",
                  Item(p, IDC_SMILIEPROP_LABELS));
        EXPECT_EQ(GetLangString(237), Item(p, IDC_SMILIEPROP_PREVIEWGROUP));

        // The censored box names its state.
        EXPECT_EQ(GetLangString(494), Item(p, IDC_SMILIEPROP_CENSORED));
        SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CENSORED, BM_SETCHECK, BST_CHECKED, 0);
        Command(p, IDC_SMILIEPROP_CENSORED);
        EXPECT_EQ(GetLangString(493), Item(p, IDC_SMILIEPROP_CENSORED));
    });

    // The caller's crop trims the picture the dialog measures and shows.
    const struct
    {
        BYTE nCrop;
        const char* pszSize;
    } crops[] = {{0x05, "35x30"}, {0x45, "40x25"}, {0x85, "35x30"}};
    for (const auto& row : crops) {
        out.nCrop = row.nCrop;
        Run(Smilie(recAnimated), out, [&](CDlgSmilieProp* p) {
            EXPECT_EQ(row.pszSize, Item(p, IDC_SMILIEPROP_INFO).substr(0, 5)) << int(row.nCrop);
            EXPECT_EQ(row.nCrop, p->m_nCrop);
        });
    }

    // Without a picture that can be shown, and never used: the placeholders.
    const uint32_t records[] = {recJunk, 0};
    for (uint32_t nRecord : records) {
        CSmilie* pNone = Smilie(nRecord);
        pNone->m_Date = SYSTEMTIME();
        pNone->m_nFlags = CSmilie::flagCensored;
        Run(pNone, out, [&](CDlgSmilieProp* p) {
            EXPECT_EQ(0u, p->m_nImageId) << nRecord;
            EXPECT_EQ("--x--\r\n---\r\n7\r\n--/--/--", Item(p, IDC_SMILIEPROP_INFO)) << nRecord;
            EXPECT_NE(std::string::npos, std::string(p->m_strInfoTip).find("--/--/--")) << nRecord;
            EXPECT_EQ(GetLangString(493), Item(p, IDC_SMILIEPROP_CENSORED)) << nRecord;
            EXPECT_EQ(0, p->m_nAnimTimer) << "nothing to animate";
            EXPECT_TRUE(GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_UP) == NULL) << nRecord;
        });
    }
}

TEST_F(SmilieProp, WritesItsValuesOnlyOnOk)
{
    const struct
    {
        const char* pszName;
        const char* pszSource;
        const char* pszTemplate;   // typed into the own template
        bool bOk;
        bool bTemplateOut;         // template, text-only and reload are written
    } rows[] = {
        {"OK with source", "C:\\wave.gif", "<b><SMILIE></b>", true, true},
        {"OK without source", "", nullptr, true, false},
        {"Cancel", "C:\\wave.gif", "<b><SMILIE></b>", false, false},
        // The keyword question is answered No, the dialog stays, then Cancel.
        {"No, then Cancel", "C:\\wave.gif", "plain text", true, false},
    };
    for (const auto& row : rows) {
        CSmilie* pSmilie = Smilie(recAnimated, row.pszSource, "<SMILIE>");
        OUTPUTS out;
        out.nCrop = 0x85;
        const INT_PTR nResult = Run(pSmilie, out, [&](CDlgSmilieProp* p) {
            Command(p, IDC_SMILIEPROP_RIGHT);
            Command(p, IDC_SMILIEPROP_RIGHT);
            Command(p, IDC_SMILIEPROP_UP);
            SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CENSORED, BM_SETCHECK, BST_CHECKED, 0);
            if (row.pszTemplate != nullptr) {
                SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_RELOAD, BM_SETCHECK, BST_CHECKED, 0);
                SetDlgItemTextA(p->m_hWnd, IDC_SMILIEPROP_TEMPLATE, row.pszTemplate);
            }
            Command(p, row.bOk ? IDOK : IDCANCEL);
        });
        const bool bWritten = std::string(row.pszName).rfind("OK", 0) == 0;
        EXPECT_EQ(bWritten ? IDOK : IDCANCEL, nResult) << row.pszName;
        EXPECT_EQ(bWritten ? 2 : 77, out.offset.x) << row.pszName;
        EXPECT_EQ(bWritten ? -1 : 77, out.offset.y) << row.pszName;
        EXPECT_EQ(0x85, out.nCrop) << row.pszName << ": handed back as given";
        EXPECT_EQ(bWritten ? 1 : -1, out.nCensored) << row.pszName;
        EXPECT_STREQ(row.bTemplateOut ? "<b><SMILIE></b>" : "untouched", out.strTemplate) << row.pszName;
        EXPECT_EQ(row.bTemplateOut ? 0 : -1, out.nTextOnly) << row.pszName;
        EXPECT_EQ(row.bTemplateOut ? 1 : -1, out.nReload) << row.pszName;
    }
}

TEST_F(SmilieProp, OwnTemplateChoiceAndItsQuestions)
{
    const std::string strLimit = "<SMILIE>" + std::string(10000 - 8, 'x');
    const std::string strOver = strLimit + "y";
    const struct
    {
        const char* pszName;
        int nChoice;
        std::string strTyped;
        std::vector<int> answers;
        int nOks;                  // OK pressed this often
        INT_PTR nResult;
        std::string strTemplate;   // out, on OK
        int nTextOnly;
        std::vector<int> asked;    // language strings the questions began with
    } rows[] = {
        {"field's template", 0, "", {}, 1, IDOK, "", 0, {}},
        {"with keyword", 1, "[img]<SMILIE>[/img]", {}, 1, IDOK, "[img]<SMILIE>[/img]", 0, {}},
        {"no keyword, Yes", 1, ":-)", {IDYES}, 1, IDOK, ":-)", 1, {188}},
        {"no keyword, No", 1, ":-)", {IDNO}, 1, IDCANCEL, "", 0, {188}},
        {"exactly at the limit", 1, strLimit, {}, 1, IDOK, strLimit, 0, {}},
        {"over the limit, cut", 1, strOver, {IDYES}, 2, IDOK, strLimit, 0, {190}},
        {"over the limit, kept", 1, strOver, {IDNO}, 2, IDCANCEL, "", 0, {190, 190}},
    };
    for (const auto& row : rows) {
        CSmilie* pSmilie = Smilie(recAnimated, "C:\\wave.gif");
        OUTPUTS out;
        std::string strAfterFirstOk;
        HWND hFocusAfterRefusal = NULL, hEdit = NULL;
        const INT_PTR nResult = Run(
            pSmilie, out,
            [&](CDlgSmilieProp* p) {
                hEdit = GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_TEMPLATE);
                SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_SETCURSEL, row.nChoice, 0);
                Command(p, IDC_SMILIEPROP_CHOICE, CBN_SELCHANGE);
                if (row.nChoice != 0)
                    SetWindowTextA(hEdit, row.strTyped.c_str());
                for (int i = 0; i < row.nOks && p->ContinueModal(); i++) {
                    Command(p, IDOK);
                    if (i == 0)
                        strAfterFirstOk = Text(hEdit);
                    if (p->ContinueModal())
                        hFocusAfterRefusal = GetFocus();
                }
            },
            row.answers);
        EXPECT_EQ(row.nResult, nResult) << row.pszName;
        if (row.nResult == IDOK) {
            EXPECT_EQ(row.strTemplate, std::string(out.strTemplate)) << row.pszName;
            EXPECT_EQ(row.nTextOnly, out.nTextOnly) << row.pszName;
        } else {
            EXPECT_STREQ("untouched", out.strTemplate) << row.pszName;
            EXPECT_EQ(hEdit, hFocusAfterRefusal) << row.pszName << ": the template has the focus";
        }
        ASSERT_EQ(row.asked.size(), s_boxTexts.size()) << row.pszName;
        for (size_t i = 0; i < row.asked.size(); i++) {
            EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), s_boxTypes[i]) << row.pszName;
            const std::string& text = s_boxTexts[i];
            if (row.asked[i] == 190) {
                EXPECT_NE(std::string::npos, text.find("10000")) << row.pszName << ": " << text;
            } else {
                EXPECT_NE(std::string::npos, text.find("<SMILIE>")) << row.pszName << ": " << text;
                EXPECT_NE(std::string::npos, text.find(std::string("\n\n") + GetLangString(246))) << row.pszName;
            }
        }
        if (row.asked.size() > 0 && row.asked[0] == 190) {
            // Yes cuts the text where the user sees it; No leaves it whole.
            EXPECT_EQ(row.answers[0] == IDYES ? strLimit.size() : strOver.size(), strAfterFirstOk.size())
                << row.pszName;
        }
    }
}

TEST_F(SmilieProp, OwnTemplateEditFollowsTheChoice)
{
    CSmilie* pSmilie = Smilie(recAnimated, "C:\\wave.gif", "");
    OUTPUTS out;
    Run(pSmilie, out, [&](CDlgSmilieProp* p) {
        HWND hEdit = GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_TEMPLATE);
        EXPECT_EQ(0, SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_GETCURSEL, 0, 0));
        EXPECT_FALSE(IsWindowEnabled(hEdit));
        EXPECT_EQ("", Text(hEdit));
        // The own template starts from the default one, selected whole.
        SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_SETCURSEL, 1, 0);
        Command(p, IDC_SMILIEPROP_CHOICE, CBN_SELCHANGE);
        EXPECT_TRUE(IsWindowEnabled(hEdit));
        EXPECT_FALSE(GetWindowLongA(hEdit, GWL_STYLE) & ES_READONLY);
        EXPECT_EQ(GetLangString(187), Text(hEdit));
        DWORD nStart = 1, nEnd = 0;
        SendMessageA(hEdit, EM_GETSEL, WPARAM(&nStart), LPARAM(&nEnd));
        EXPECT_EQ(0u, nStart);
        EXPECT_EQ(Text(hEdit).size(), size_t(nEnd));
        EXPECT_EQ(hEdit, GetFocus());
        SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_SETCURSEL, 0, 0);
        Command(p, IDC_SMILIEPROP_CHOICE, CBN_SELCHANGE);
        EXPECT_FALSE(IsWindowEnabled(hEdit));
        EXPECT_TRUE(GetWindowLongA(hEdit, GWL_STYLE) & ES_READONLY);
    });

    // A smilie that has a template of its own opens with it chosen.
    CSmilie* pOwn = Smilie(recAnimated, "C:\\wave.gif", "[img]<SMILIE>[/img]");
    Run(pOwn, out, [&](CDlgSmilieProp* p) {
        EXPECT_EQ(1, SendDlgItemMessageA(p->m_hWnd, IDC_SMILIEPROP_CHOICE, CB_GETCURSEL, 0, 0));
        EXPECT_EQ("[img]<SMILIE>[/img]", Item(p, IDC_SMILIEPROP_TEMPLATE));
        // Without a reload pointer the reload box cannot be ticked.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(p->m_hWnd, IDC_SMILIEPROP_RELOAD)));
    }, {}, false);
}

TEST_F(SmilieProp, ButtonsMoveThePictureWithinItsLimits)
{
    // The cell's inside is 28 x 27 pixels. A picture wider (taller) than it
    // moves until its edges meet the cell's centre: 40 wide gives -20..20,
    // 30 high -16..14 (the centre row is 13 below the top, the centred
    // picture starts 1 above it).
    const struct
    {
        const char* pszName;
        uint32_t nRecord;
        bool bButtons;
        POINT farLeftUp, farRightDown;
    } rows[] = {
        {"larger both ways", recAnimated, true, {-20, -16}, {20, 14}},
        {"only wider", recWide, true, {-20, 0}, {20, 0}},
        {"fits", recSmall, false, {0, 0}, {0, 0}},
    };
    for (const auto& row : rows) {
        CSmilie* pSmilie = Smilie(row.nRecord);
        OUTPUTS out;
        Run(pSmilie, out, [&](CDlgSmilieProp* p) {
            ASSERT_EQ(28, p->m_rcCell.Width()) << row.pszName;
            ASSERT_EQ(27, p->m_rcCell.Height()) << row.pszName;
            for (int nId = IDC_SMILIEPROP_UP; nId <= IDC_SMILIEPROP_CENTRE; nId++)
                EXPECT_EQ(row.bButtons, GetDlgItem(p->m_hWnd, nId) != NULL) << row.pszName << " button " << nId;
            // Each step keeps the edges on both sides of the cell's centre
            // in every axis in which the picture is larger.
            auto check = [&](const char* pszWhere) {
                const CRect& c = p->m_rcCell;
                auto straddles = [](int nLo, int nHi, int nSize, int nOffset) {
                    const int nStart = nLo + (nHi - nLo - nSize) / 2 + nOffset;
                    return nStart <= (nLo + nHi) / 2 && nStart + nSize >= (nLo + nHi) / 2;
                };
                if (p->m_PictureSize.cx > c.Width()) {
                    EXPECT_TRUE(straddles(c.left, c.right, p->m_PictureSize.cx, p->m_nOffsetX))
                        << row.pszName << " " << pszWhere << " x " << p->m_nOffsetX;
                }
                if (p->m_PictureSize.cy > c.Height()) {
                    EXPECT_TRUE(straddles(c.top, c.bottom, p->m_PictureSize.cy, p->m_nOffsetY))
                        << row.pszName << " " << pszWhere << " y " << p->m_nOffsetY;
                }
            };
            for (int i = 0; i < 30; i++) {
                Command(p, IDC_SMILIEPROP_LEFT);
                Command(p, IDC_SMILIEPROP_UP);
                check("left/up");
            }
            EXPECT_EQ(row.farLeftUp.x, p->m_nOffsetX) << row.pszName;
            EXPECT_EQ(row.farLeftUp.y, p->m_nOffsetY) << row.pszName;
            for (int i = 0; i < 60; i++) {
                Command(p, IDC_SMILIEPROP_RIGHT);
                Command(p, IDC_SMILIEPROP_DOWN);
                check("right/down");
            }
            EXPECT_EQ(row.farRightDown.x, p->m_nOffsetX) << row.pszName;
            EXPECT_EQ(row.farRightDown.y, p->m_nOffsetY) << row.pszName;
            Command(p, IDC_SMILIEPROP_CENTRE);
            EXPECT_EQ(0, p->m_nOffsetX) << row.pszName;
            EXPECT_EQ(0, p->m_nOffsetY) << row.pszName;
            Command(p, IDOK);
        });
        EXPECT_EQ(0, out.offset.x) << row.pszName;
        EXPECT_EQ(0, out.offset.y) << row.pszName;
    }

    // The dialog starts from the smilie's offset, even one beyond what the
    // buttons allow; the first step pulls it back to the limit.
    CSmilie* pFar = Smilie(recAnimated);
    pFar->SetImageOffset(30, -2);
    pFar->m_nImageId = m_cache.AddCollectionImage(recAnimated);
    OUTPUTS out;
    Run(pFar, out, [&](CDlgSmilieProp* p) {
        EXPECT_EQ(30, p->m_nOffsetX);
        EXPECT_EQ(-2, p->m_nOffsetY);
        Command(p, IDC_SMILIEPROP_LEFT);
        Command(p, IDOK);
    });
    EXPECT_EQ(20, out.offset.x);
    EXPECT_EQ(-2, out.offset.y);
}

TEST_F(SmilieProp, DraggingInTheCellMovesThePicture)
{
    const struct
    {
        const char* pszName;
        uint32_t nRecord;
        POINT afterDrag;          // after (+5, +3), then (+100, +100)
        POINT afterFar;
        bool bHand;
    } rows[] = {
        {"larger both ways", recAnimated, {5, 3}, {20, 14}, true},
        {"only wider", recWide, {5, 0}, {20, 0}, true},
        {"fits", recSmall, {0, 0}, {0, 0}, false},
    };
    const HCURSOR hHand = LoadCursor(NULL, IDC_HAND) != NULL ? LoadCursor(NULL, IDC_HAND) : LoadCursor(NULL, IDC_SIZEALL);
    const HCURSOR hArrow = LoadCursor(NULL, IDC_ARROW);
    for (const auto& row : rows) {
        CSmilie* pSmilie = Smilie(row.nRecord);
        OUTPUTS out;
        Run(pSmilie, out, [&](CDlgSmilieProp* p) {
            const CPoint ptIn = p->m_rcCell.CenterPoint();
            const CPoint ptOut(p->m_rcCell.left - 2, p->m_rcCell.top);
            p->SendMessage(WM_MOUSEMOVE, 0, At(ptOut));
            EXPECT_EQ(hArrow, GetCursor()) << row.pszName;
            p->SendMessage(WM_MOUSEMOVE, 0, At(ptIn));
            EXPECT_EQ(row.bHand ? hHand : hArrow, GetCursor()) << row.pszName;

            // A press outside the cell starts nothing.
            p->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(ptOut));
            EXPECT_FALSE(p->m_bDragging) << row.pszName;
            p->SendMessage(WM_LBUTTONUP, 0, At(ptOut));

            p->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(ptIn));
            EXPECT_TRUE(p->m_bDragging) << row.pszName;
            EXPECT_EQ(p->m_hWnd, GetCapture()) << row.pszName;
            p->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(CPoint(ptIn.x + 5, ptIn.y + 3)));
            EXPECT_EQ(row.afterDrag.x, p->m_nOffsetX) << row.pszName;
            EXPECT_EQ(row.afterDrag.y, p->m_nOffsetY) << row.pszName;
            p->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(CPoint(ptIn.x + 105, ptIn.y + 103)));
            EXPECT_EQ(row.afterFar.x, p->m_nOffsetX) << row.pszName;
            EXPECT_EQ(row.afterFar.y, p->m_nOffsetY) << row.pszName;
            p->SendMessage(WM_LBUTTONUP, 0, At(CPoint(ptIn.x + 105, ptIn.y + 103)));
            EXPECT_FALSE(p->m_bDragging) << row.pszName;
            EXPECT_TRUE(GetCapture() == NULL) << row.pszName;
            // Moving without the button moves nothing.
            p->SendMessage(WM_MOUSEMOVE, 0, At(ptIn));
            EXPECT_EQ(row.afterFar.x, p->m_nOffsetX) << row.pszName;

            // Losing the capture or a cancel-mode ends a drag too.
            const UINT enders[] = {WM_CANCELMODE, WM_CAPTURECHANGED};
            for (UINT nMsg : enders) {
                p->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(ptIn));
                EXPECT_TRUE(p->m_bDragging) << row.pszName;
                p->SendMessage(nMsg, 0, 0);
                EXPECT_FALSE(p->m_bDragging) << row.pszName << " message " << nMsg;
            }
            ReleaseCapture();
            Command(p, IDOK);
        });
        EXPECT_EQ(row.afterFar.x, out.offset.x) << row.pszName;
        EXPECT_EQ(row.afterFar.y, out.offset.y) << row.pszName;
    }
}

TEST_F(SmilieProp, AnimationAdvancesOnTheTimersTicks)
{
    CSmilie* pSmilie = Smilie(recAnimated);
    OUTPUTS out;
    Run(pSmilie, out, [&](CDlgSmilieProp* p) {
        ASSERT_NE(0, p->m_nAnimTimer);
        EXPECT_EQ(20, TimerDivider(p->m_hWnd, p->m_nAnimTimer)) << "the first step after 200 ms";
        UpdateWindow(p->m_hWnd);
        const CPoint ptPicture = p->m_rcCell.CenterPoint();
        EXPECT_EQ(kFrameColours[0], CanvasPixel(p, ptPicture));

        // Each tick shows the next frame and waits for that frame's delay.
        const struct
        {
            int nFrame;
            int nDivider;
        } steps[] = {{1, 30}, {2, 5}, {0, 10}, {1, 30}};
        for (const auto& step : steps) {
            Tick(p);
            EXPECT_EQ(step.nFrame, p->m_nFrame);
            EXPECT_EQ(kFrameColours[step.nFrame], CanvasPixel(p, ptPicture)) << "frame " << step.nFrame;
            EXPECT_EQ(step.nDivider, TimerDivider(p->m_hWnd, p->m_nAnimTimer)) << "frame " << step.nFrame;
            EXPECT_EQ(1, TimerCount(p->m_hWnd)) << "the old registration is gone";
        }

        // While the picture is dragged the ticks change nothing.
        p->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(ptPicture));
        Tick(p);
        EXPECT_EQ(1, p->m_nFrame);
        p->SendMessage(WM_LBUTTONUP, 0, At(ptPicture));
        // A move starts the animation over.
        Command(p, IDC_SMILIEPROP_DOWN);
        EXPECT_EQ(0, p->m_nFrame);
        EXPECT_EQ(kFrameColours[0], CanvasPixel(p, ptPicture));
    });

    // A single picture has no timer.
    CSmilie* pStill = Smilie(recWide);
    Run(pStill, out, [&](CDlgSmilieProp* p) { EXPECT_EQ(0, p->m_nAnimTimer); });
}

TEST_F(SmilieProp, PictureOutsideTheCellIsShownFadedWithoutAFocusLikeFrame)
{
    // The 40 x 30 red picture overhangs the 28 x 27 cell by 6 pixels left
    // and right. Inside the cell it is red; beside the cell, also on the
    // line just round it, it is faded toward the background: no black and
    // white dots that read as a focus rectangle cross it.
    const bool bOwnFuncs = g_pExportedFuncs == NULL;
    CreateExportedFuncs();
    ASSERT_NE(nullptr, g_pExportedFuncs->pAlphaBlend);
    CSmilie* pSmilie = Smilie(recAnimated);
    OUTPUTS out;
    Run(pSmilie, out, [&](CDlgSmilieProp* p) {
        ::RedrawWindow(p->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const CRect& c = p->m_rcCell;
        const int y = c.CenterPoint().y;
        HDC hDC = ::GetDC(p->m_hWnd);
        const COLORREF clrInside = ::GetPixel(hDC, c.CenterPoint().x, y);
        const COLORREF clrBack = ::GetPixel(hDC, c.left - 12, y);
        const struct {
            int x;
            const char* pszWhere;
        } spots[] = {{c.left - 1, "on the line left of the cell"}, {c.left - 4, "left of the cell"},
                     {c.right, "on the line right of the cell"}, {c.right + 3, "right of the cell"}};
        EXPECT_EQ(kFrameColours[0], clrInside);
        for (const auto& spot : spots) {
            const COLORREF clr = ::GetPixel(hDC, spot.x, y);
            EXPECT_NE(clrInside, clr) << spot.pszWhere;
            EXPECT_NE(RGB(0, 0, 0), clr) << spot.pszWhere;
            EXPECT_NE(RGB(255, 255, 255), clr) << spot.pszWhere;
            EXPECT_GT(GetRValue(clr), GetRValue(clrBack) + 40) << spot.pszWhere;
        }
        ::ReleaseDC(p->m_hWnd, hDC);
    });
    if (bOwnFuncs)
        DeleteExportedFuncs();
}

TEST_F(SmilieProp, TimerAndPicturesGoWithTheWindow)
{
    CSmilie* pSmilie = Smilie(recAnimated);
    OUTPUTS out;
    HWND hDlg = NULL;
    Run(pSmilie, out, [&](CDlgSmilieProp* p) {
        hDlg = p->m_hWnd;
        UpdateWindow(p->m_hWnd);
        EXPECT_TRUE(p->m_hPreviewBack != NULL);
        Command(p, IDCANCEL);
    });
    EXPECT_EQ(0, TimerCount(hDlg)) << "a registration outlived the dialog";
}

}  // namespace
