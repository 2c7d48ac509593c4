// Skinned dialogs on real windows: the kinds the replacement gives the
// template's controls, the modal result through the test seam, fades driven
// tick by tick with a hand-set performance counter (and without one),
// modeless dialogs that delete themselves, and the body background.
#include "ui3d/dialogs/3DDialog.h"
#include "ui3d/controls/LinkButton.h"

#include "tests/tools/Pump.h"
#include "tests/ui3d/gui/SkinnedDialogIds.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/controls/3DComboBox.h"
#include "ui3d/controls/3DEdit.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/controls/ClrSelButton.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <map>
#include <functional>

namespace {

const UINT kFakeTimerId = 4713;
MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) { return kFakeTimerId; }
MMRESULT WINAPI FakeKillEvent(UINT) { return TIMERR_NOERROR; }

// The performance counter as the test sets it; frequency 1000 makes the
// 300 ms fade last 300 counts.
LONGLONG g_nCounter;
BOOL g_bHaveCounter;
BOOL WINAPI FakeFrequency(LARGE_INTEGER* p)
{
    p->QuadPart = g_bHaveCounter ? 1000 : 0;
    return g_bHaveCounter;
}
BOOL WINAPI FakeCounter(LARGE_INTEGER* p)
{
    p->QuadPart = g_nCounter;
    return g_bHaveCounter;
}
BOOL g_bMenuFade;
BOOL FakeMenuFade() { return g_bMenuFade; }

int g_nDeleted;

class CTestDialog : public C3DDialog
{
public:
    CTestDialog(int bFade, const BODYSTYLE* pStyle = NULL)
        : C3DDialog(IDD_SKINNED_ALL, NULL, NULL, bFade, pStyle, NULL)
    {
    }
    ~CTestDialog() override { g_nDeleted++; }
    void OnFadeInDone() override
    {
        m_nFadeInDone++;
        C3DDialog::OnFadeInDone();
    }
    int m_nFadeInDone = 0;
};

BYTE AlphaOf(HWND hWnd)
{
    typedef BOOL(WINAPI * PFN)(HWND, COLORREF*, BYTE*, DWORD*);
    PFN pfn = reinterpret_cast<PFN>(GetProcAddress(GetModuleHandleA("user32"), "GetLayeredWindowAttributes"));
    BYTE nAlpha = 0xEE;
    DWORD dwFlags = 0;
    if (pfn == NULL || !pfn(hWnd, NULL, &nAlpha, &dwFlags))
        return 0xEE;
    return nAlpha;
}

class CFnAnswerer : public CModalAnswerer
{
public:
    explicit CFnAnswerer(std::function<INT_PTR(CDialog*)> fn) : m_fn(fn) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CFnAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override { return m_fn(pDialog); }

private:
    std::function<INT_PTR(CDialog*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

class SkinnedDialog : public testing::Test
{
protected:
    void SetUp() override
    {
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
        CreateExportedFuncs();
        C3DDialog::s_pfnQueryPerformanceFrequency = FakeFrequency;
        C3DDialog::s_pfnQueryPerformanceCounter = FakeCounter;
        C3DDialog::s_pfnIsMenuFadeOn = FakeMenuFade;
        g_nCounter = 1000;
        g_bHaveCounter = TRUE;
        g_bMenuFade = TRUE;
        g_nDeleted = 0;
    }
    void TearDown() override
    {
        DestroyModelessDialogs();
        PumpPending();
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
        C3DDialog::s_pfnQueryPerformanceFrequency = QueryPerformanceFrequency;
        C3DDialog::s_pfnQueryPerformanceCounter = QueryPerformanceCounter;
        C3DDialog::s_pfnIsMenuFadeOn = IsMenuFadeOn;
        g_nActiveDrags = 0;
    }
    // One tick of the fade at counter value n.
    static void TickAt(C3DDialog* pDlg, LONGLONG n)
    {
        g_nCounter = n;
        pDlg->SendMessage(WM_VTIMER, pDlg->m_nFadeTimerId, 0);
    }
    static CTestDialog* CreateModeless(int bFade)
    {
        CTestDialog* pDlg = new CTestDialog(bFade);
        if (!pDlg->Create(IDD_SKINNED_ALL)) {
            ADD_FAILURE() << "the modeless dialog was not created";
            return NULL;
        }
        return pDlg;
    }
};

// The class of a control's object; "none" for a window without one.
const char* ClassOf(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    return pWnd != NULL ? pWnd->GetRuntimeClass()->m_lpszClassName : "none";
}

TEST_F(SkinnedDialog, ReplacementGivesEachControlItsSkinnedKind)
{
    CTestDialog* pDlg = CreateModeless(FALSE);
    ASSERT_TRUE(pDlg != NULL);
    const struct
    {
        int nId;
        const char* pszExpected;
    } rows[] = {
        {IDOK, "C3DButton"},
        {IDC_SK_PUSH, "C3DButton"},
        {IDC_SK_PUSH_DISABLED, "C3DButton"},
        {IDC_SK_CHECK, "C3DButton"},
        {IDC_SK_RADIO1, "C3DButton"},
        {IDC_SK_GROUP, "C3DGroupBox"},
        {IDC_SK_EDIT, "CPopUpEdit"},
        {IDC_SK_EDIT_MULTI, "CPopUpEdit"},
        {IDC_SK_TEXT, "C3DStatic"},
        {IDC_SK_ICON, "C3DStatic"},
        {IDC_SK_COMBO, "C3DComboBox"},
        {IDC_SK_COLOR1, "CClrSelButton"},
        {IDC_SK_COLOR_FROMCHECK, "CClrSelButton"},
        {IDC_SK_LINK, "CLinkButton"},
        // These stay standard controls, without an object.
        {IDC_SK_FLAT, "none"},
        {IDC_SK_BITMAP, "none"},
        {IDC_SK_LIST, "none"},
        {IDC_SK_PROGRESS, "none"},
    };
    for (const auto& row : rows) {
        HWND hCtrl = GetDlgItem(pDlg->m_hWnd, row.nId);
        ASSERT_TRUE(hCtrl != NULL) << "control " << row.nId;
        EXPECT_STREQ(row.pszExpected, ClassOf(hCtrl)) << "control " << row.nId;
    }
    // New windows for the group box, the two statics, three swatches and
    // the link; each old window is gone.
    EXPECT_EQ(8, pDlg->m_ReplacedControls.GetSize());
    for (int i = 0; i < pDlg->m_ReplacedControls.GetSize(); i++)
        EXPECT_FALSE(IsWindow(pDlg->m_ReplacedControls[i].hWndOld)) << "record " << i;

    char szText[64];
    GetWindowTextA(GetDlgItem(pDlg->m_hWnd, IDC_SK_LINK), szText, sizeof(szText));
    EXPECT_STREQ("www.example.org", szText);
    EXPECT_EQ(RGB(255, 128, 0),
              static_cast<CClrSelButton*>(CWnd::FromHandlePermanent(GetDlgItem(pDlg->m_hWnd, IDC_SK_COLOR1)))->m_clr);
    // The edit that asked for a large editor no longer paints through.
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(pDlg->m_hWnd, IDC_SK_EDIT_BIG), GWL_EXSTYLE) & WS_EX_TRANSPARENT);

    EXPECT_EQ(0, pDlg->ReplaceControls()) << "a second run replaces nothing";
    pDlg->DestroyWindow();
    EXPECT_EQ(1, g_nDeleted);
}

TEST_F(SkinnedDialog, SkinnedButtonsKeepTheirCheckStateAndNotifications)
{
    CTestDialog* pDlg = CreateModeless(FALSE);
    ASSERT_TRUE(pDlg != NULL);
    HWND hCheck = GetDlgItem(pDlg->m_hWnd, IDC_SK_CHECK);
    HWND hRadio1 = GetDlgItem(pDlg->m_hWnd, IDC_SK_RADIO1);
    HWND hRadio2 = GetDlgItem(pDlg->m_hWnd, IDC_SK_RADIO2);
    SendMessageA(hCheck, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageA(hCheck, BM_GETCHECK, 0, 0));
    SendMessageA(hRadio1, BM_CLICK, 0, 0);
    SendMessageA(hRadio2, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(hRadio1, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageA(hRadio2, BM_GETCHECK, 0, 0));
    pDlg->DestroyWindow();
}

TEST_F(SkinnedDialog, ModalDialogAnswersThroughTheSeamAndOnlyOkClosesOnEnter)
{
    g_bMenuFade = FALSE;
    CTestDialog dlg(TRUE);
    CDialog* pRunning = NULL;
    CFnAnswerer answerer([&](CDialog* p) -> INT_PTR {
        pRunning = GetRunningModalDialog();
        // Enter while an edit has the focus reaches OnOK and is ignored.
        SetFocus(GetDlgItem(p->m_hWnd, IDC_SK_EDIT));
        p->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (!static_cast<C3DDialog*>(p)->ContinueModal())
            return IDABORT;
        SetFocus(GetDlgItem(p->m_hWnd, IDOK));
        p->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return -1;
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(&dlg, pRunning);
    EXPECT_EQ(0, dlg.m_nRunState);
    EXPECT_EQ(0, g_nDeleted) << "a modal dialog is its caller's";
}

TEST_F(SkinnedDialog, DuringADragAModalDialogIsRefusedUnshown)
{
    g_nActiveDrags = 1;
    bool bAsked = false;
    CFnAnswerer answerer([&](CDialog*) -> INT_PTR {
        bAsked = true;
        return IDOK;
    });
    CTestDialog dlg(FALSE);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(bAsked);
}

TEST_F(SkinnedDialog, ModalFadeRunsOnTicksAndEndsWithTheStoredResult)
{
    CTestDialog dlg(TRUE);
    std::vector<int> alphas;
    CFnAnswerer answerer([&](CDialog* p) -> INT_PTR {
        C3DDialog* pDlg = static_cast<C3DDialog*>(p);
        EXPECT_EQ(1, pDlg->m_nFadeState);
        EXPECT_FALSE(pDlg->IsWindowEnabled()) << "disabled while fading in";
        for (LONGLONG n : {1150, 1300, 1302}) {  // amounts 127, 255, 256
            TickAt(pDlg, n);
            alphas.push_back(AlphaOf(pDlg->m_hWnd));
        }
        EXPECT_EQ(0, pDlg->m_nFadeState);
        EXPECT_TRUE(pDlg->IsWindowEnabled());
        pDlg->OnCancel();  // starts the fade-out; OK and Cancel wait meanwhile
        EXPECT_EQ(-1, pDlg->m_nFadeState);
        pDlg->EndDialog3D(IDRETRY);
        TickAt(pDlg, 1400);  // 98 counts after the start at 1302: amount 83
        alphas.push_back(AlphaOf(pDlg->m_hWnd));
        EXPECT_TRUE(pDlg->ContinueModal());
        TickAt(pDlg, 1700);
        return -1;
    });
    EXPECT_EQ(IDRETRY, dlg.DoModal());
    EXPECT_EQ((std::vector<int>{127, 255, 255, 172}), alphas);
    EXPECT_EQ(1, dlg.m_nFadeInDone);
}

// The first control of a form gets the focus whether the form fades in or
// not; an edit with a larger editor hands it on to its open editor.
TEST_F(SkinnedDialog, AFormOpensWithTheFocusOnItsFirstControlFadingOrNot)
{
    for (int bFade : {TRUE, FALSE}) {
        SCOPED_TRACE(bFade ? "fading" : "not fading");
        C3DDialog dlg(IDD_SKINNED_FORM, NULL, NULL, bFade, NULL, NULL);
        bool bOpen = false;
        HWND hFocus = NULL, hEditor = NULL;
        CFnAnswerer answerer([&](CDialog* p) -> INT_PTR {
            C3DDialog* pDlg = static_cast<C3DDialog*>(p);
            if (pDlg->m_nFadeState == 1)
                TickAt(pDlg, g_nCounter + 400);
            PumpPending();
            CPopUpEdit* pEdit = static_cast<CPopUpEdit*>(CWnd::FromHandlePermanent(pDlg->GetDlgItem(IDC_SK_FORM_EDIT)->m_hWnd));
            bOpen = pEdit != NULL && pEdit->IsPopupOpen();
            hFocus = ::GetFocus();
            hEditor = bOpen ? pEdit->GetPopup()->m_edit.m_hWnd : NULL;
            if (bOpen)
                pEdit->OpenPopup(FALSE);
            return IDCANCEL;
        });
        g_nCounter = 1000;
        dlg.DoModal();
        PumpPending();
        EXPECT_TRUE(bOpen) << "the first control, an edit with an editor, opened it";
        EXPECT_TRUE(hFocus != NULL && hFocus == hEditor) << "the keys go to the editor";
    }
}

TEST_F(SkinnedDialog, WithoutAPerformanceCounterDialogsShowAndCloseAtOnce)
{
    g_bHaveCounter = FALSE;
    CTestDialog* pDlg = CreateModeless(TRUE);
    ASSERT_TRUE(pDlg != NULL);
    EXPECT_EQ(0, pDlg->m_nFadeState);
    EXPECT_TRUE(pDlg->IsWindowVisible());
    EXPECT_TRUE(pDlg->IsWindowEnabled());
    pDlg->OnCancel();
    EXPECT_EQ(1, g_nDeleted) << "closed at once, without a fade";

    CTestDialog dlg(TRUE);
    CFnAnswerer answerer([&](CDialog* p) -> INT_PTR {
        EXPECT_TRUE(p->IsWindowEnabled());
        static_cast<C3DDialog*>(p)->EndDialog3D(7);
        return -1;
    });
    EXPECT_EQ(7, dlg.DoModal());
}

TEST_F(SkinnedDialog, ModelessFadeInIsShownAndTheDialogDeletesItselfOnce)
{
    CTestDialog* pDlg = CreateModeless(TRUE);
    ASSERT_TRUE(pDlg != NULL);
    HWND hWnd = pDlg->m_hWnd;
    EXPECT_EQ(1, pDlg->m_nFadeState);
    EXPECT_TRUE(IsWindowVisible(hWnd)) << "no modal loop shows a modeless dialog";
    EXPECT_EQ(0, AlphaOf(hWnd));
    TickAt(pDlg, 1400);
    EXPECT_EQ(255, AlphaOf(hWnd));
    EXPECT_TRUE(IsWindowEnabled(hWnd));

    int nState = 0;
    HWND hAnswer = NULL;
    SendMessageA(hWnd, WM_QUERYDLGSTATE, reinterpret_cast<WPARAM>(&nState), reinterpret_cast<LPARAM>(&hAnswer));
    EXPECT_EQ(-1, nState);
    EXPECT_EQ(hWnd, hAnswer);
    nState = 5;
    SendMessageA(hWnd, WM_QUERYDLGSTATE, reinterpret_cast<WPARAM>(&nState), 0);
    EXPECT_EQ(5, nState) << "nothing written without both pointers";

    const int nLive = GetLiveDialogCount();
    pDlg->OnCancel();
    TickAt(pDlg, 1500);
    EXPECT_TRUE(IsWindow(hWnd));
    TickAt(pDlg, 1800);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(1, g_nDeleted);
    EXPECT_EQ(nLive - 1, GetLiveDialogCount());
    DestroyModelessDialogs();
    EXPECT_EQ(1, g_nDeleted);
}

TEST_F(SkinnedDialog, DestroyModelessDialogsClosesEveryModelessOne)
{
    CreateModeless(FALSE);
    CreateModeless(FALSE);
    CTestDialog unused(FALSE);
    EXPECT_EQ(0, RegisterLiveDialog(&unused)) << "listed by its constructor already";
    DestroyModelessDialogs();
    EXPECT_EQ(2, g_nDeleted);
}

TEST_F(SkinnedDialog, BodyIsTheSchemeColourOfTheStyle)
{
    BODYSTYLE style = BODYSTYLE::FromSystemColors();
    style.body.colors = COLORSET(RGB(1, 2, 3), RGB(10, 20, 30), RGB(200, 100, 50), 0, 0, 0);
    style.body.gradient = GRADIENTSTYLE();
    style.body.layer = IMAGELAYER();
    CTestDialog* pDlg = new CTestDialog(FALSE, &style);
    ASSERT_TRUE(pDlg->Create(IDD_SKINNED_ALL));
    const int nSaved = g_nSkinColorScheme;
    g_nSkinColorScheme = 2;
    pDlg->m_hBackground = NULL;  // rebuilt with the scheme

    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBmp = CreateCompatibleBitmap(hScreen, 40, 30);
    ReleaseDC(NULL, hScreen);
    HGDIOBJ hOld = SelectObject(hMem, hBmp);
    CDC dc;
    dc.Attach(hMem);
    RECT rcArea = {5, 5, 45, 35};
    const POINT origin = {0, 0};
    pDlg->PaintBackground(&rcArea, &dc, &origin);
    for (POINT pt : {POINT{0, 0}, POINT{39, 29}, POINT{20, 15}})
        EXPECT_EQ(RGB(200, 100, 50), GetPixel(hMem, pt.x, pt.y)) << pt.x << "," << pt.y;

    // What a transparent control asks its parent for: the same pixels.
    SetPixel(hMem, 3, 3, RGB(0, 0, 0));
    EXPECT_EQ(1, pDlg->SendMessage(g_msgPrintBackground, reinterpret_cast<WPARAM>(hMem),
                                   reinterpret_cast<LPARAM>(&rcArea)));
    EXPECT_EQ(RGB(200, 100, 50), GetPixel(hMem, 3, 3));
    EXPECT_EQ(0, pDlg->SendMessage(g_msgPrintBackground, 0, reinterpret_cast<LPARAM>(&rcArea)));
    dc.Detach();
    SelectObject(hMem, hOld);
    DeleteObject(hBmp);
    DeleteDC(hMem);
    g_nSkinColorScheme = nSaved;
    pDlg->DestroyWindow();
}

TEST_F(SkinnedDialog, StockControlsAndTheLinkTakeTheSkinsColours)
{
    // No white box alone in a skinned dialog: the list box and the progress
    // bar, which stay standard controls, get the face and text colours; the
    // link stands out from plain text in the accent text colour of the
    // skin's menus (their mnemonic colour).
    BODYSTYLE style = BODYSTYLE::FromSystemColors();
    style.clrFace = RGB(60, 70, 80);
    style.clrText = RGB(230, 220, 210);
    style.clrText2 = RGB(250, 200, 40);
    const int nSaved = g_nSkinColorScheme;
    g_nSkinColorScheme = 2;
    style.textStyle.mnemonicColors.clr[2] = RGB(150, 200, 255);
    CTestDialog* pDlg = new CTestDialog(FALSE, &style);
    ASSERT_TRUE(pDlg->Create(IDD_SKINNED_ALL));

    const struct { UINT nMessage; int nId; } stock[] = {{WM_CTLCOLORLISTBOX, IDC_SK_LIST}};
    for (const auto& row : stock) {
        HDC hDC = CreateCompatibleDC(NULL);
        const HBRUSH hBrush = reinterpret_cast<HBRUSH>(pDlg->SendMessage(
            row.nMessage, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(GetDlgItem(pDlg->m_hWnd, row.nId))));
        ASSERT_TRUE(hBrush != NULL) << "control " << row.nId;
        LOGBRUSH lb = {};
        ASSERT_EQ(int(sizeof(lb)), GetObjectA(hBrush, sizeof(lb), &lb));
        EXPECT_EQ(style.clrFace, lb.lbColor) << "control " << row.nId;
        EXPECT_EQ(style.clrFace, GetBkColor(hDC)) << "control " << row.nId;
        EXPECT_EQ(style.clrText, GetTextColor(hDC)) << "control " << row.nId;
        DeleteDC(hDC);
    }

    const HWND hProgress = GetDlgItem(pDlg->m_hWnd, IDC_SK_PROGRESS);
    EXPECT_EQ(style.clrFace, COLORREF(SendMessageA(hProgress, WM_USER + 14, 0, 0)));  // PBM_GETBKCOLOR
    EXPECT_EQ(style.clrText2, COLORREF(SendMessageA(hProgress, WM_USER + 15, 0, 0))); // PBM_GETBARCOLOR
    {
        // Drawn so: a visual style would ignore the colours and paint white.
        RECT rc;
        GetClientRect(hProgress, &rc);
        HDC hScreen = GetDC(NULL);
        HDC hMem = CreateCompatibleDC(hScreen);
        HBITMAP hBmp = CreateCompatibleBitmap(hScreen, rc.right, rc.bottom);
        ReleaseDC(NULL, hScreen);
        HGDIOBJ hOld = SelectObject(hMem, hBmp);
        SendMessageA(hProgress, PBM_SETPOS, 0, 0);
        SendMessageA(hProgress, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hMem), PRF_CLIENT | PRF_ERASEBKGND);
        EXPECT_EQ(style.clrFace, GetPixel(hMem, rc.right / 2, rc.bottom / 2)) << "the empty bar's trough";
        SelectObject(hMem, hOld);
        DeleteObject(hBmp);
        DeleteDC(hMem);
    }
    const CLinkButton* pLink =
        static_cast<const CLinkButton*>(CWnd::FromHandlePermanent(GetDlgItem(pDlg->m_hWnd, IDC_SK_LINK)));
    ASSERT_TRUE(pLink != NULL);
    EXPECT_EQ(RGB(150, 200, 255), pLink->m_clrText);
    pDlg->DestroyWindow();
    g_nSkinColorScheme = nSaved;
}

// The largest difference, summed over red, green and blue, between a pixel
// of the static's painting and the colour most of its pixels have.
int StrongestInk(HWND hStatic)
{
    RECT rc;
    GetClientRect(hStatic, &rc);
    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBmp = CreateCompatibleBitmap(hScreen, rc.right, rc.bottom);
    ReleaseDC(NULL, hScreen);
    HGDIOBJ hOld = SelectObject(hMem, hBmp);
    SendMessageA(hStatic, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hMem), 0);
    std::map<COLORREF, int> counts;
    for (int y = 0; y < rc.bottom; y++)
        for (int x = 0; x < rc.right; x++)
            counts[GetPixel(hMem, x, y)]++;
    COLORREF clrBack = 0;
    int nMost = 0;
    for (const auto& c : counts)
        if (c.second > nMost) {
            nMost = c.second;
            clrBack = c.first;
        }
    int nStrongest = 0;
    for (const auto& c : counts) {
        const int d = abs(GetRValue(c.first) - GetRValue(clrBack)) + abs(GetGValue(c.first) - GetGValue(clrBack)) +
                      abs(GetBValue(c.first) - GetBValue(clrBack));
        nStrongest = d > nStrongest ? d : nStrongest;
    }
    SelectObject(hMem, hOld);
    DeleteObject(hBmp);
    DeleteDC(hMem);
    return nStrongest;
}

TEST_F(SkinnedDialog, DisabledStaticIsDrawnWeakerThanAnEnabledOne)
{
    for (const bool b3D : {false, true}) {
        BODYSTYLE style = BODYSTYLE::FromSystemColors();
        style.clrFace = RGB(90, 95, 100);
        style.clrText = RGB(250, 250, 250);
        style.nFlags = b3D ? (style.nFlags | 0x20) : (style.nFlags & ~0x20);
        CTestDialog* pDlg = new CTestDialog(FALSE, &style);
        ASSERT_TRUE(pDlg->Create(IDD_SKINNED_ALL));
        const HWND hEnabled = GetDlgItem(pDlg->m_hWnd, IDC_SK_TEXT);
        const HWND hDisabled = GetDlgItem(pDlg->m_hWnd, IDC_SK_TEXT_DISABLED);
        ASSERT_FALSE(IsWindowEnabled(hDisabled));
        const int nEnabled = StrongestInk(hEnabled), nDisabled = StrongestInk(hDisabled);
        EXPECT_GT(nDisabled, 60) << "still readable, 3D " << b3D;
        EXPECT_LT(nDisabled * 10, nEnabled * 7) << "3D " << b3D;
        pDlg->DestroyWindow();
    }
}

TEST_F(SkinnedDialog, PlacementAtAPointKeepsTheDialogOnScreenWhenAsked)
{
    const int cxScreen = GetSystemMetrics(SM_CXSCREEN);
    for (int bKeep : {0, 1}) {
        BODYSTYLE style = BODYSTYLE::FromSystemColors();
        style.nFlags = bKeep ? BODYSTYLE_KEEPONSCREEN : 0;
        POINT pt = {cxScreen - 20, 10};
        C3DDialog* pDlg = new C3DDialog(&pt, FALSE, &style, TRUE, NULL);
        ASSERT_TRUE(pDlg->Create(IDD_SKINNED_ALL));
        RECT rc;
        pDlg->GetWindowRect(&rc);
        if (bKeep)
            EXPECT_EQ(pt.x - (rc.right - rc.left), rc.left) << "opens left of the point";
        else
            EXPECT_EQ(pt.x, rc.left);
        pDlg->DestroyWindow();
    }
}

}  // namespace
