// The first-time wizard on real windows, run as the tray window runs it and
// worked through the framework's test seam: the radio choices and what
// Finish stores for them, Cancel storing nothing, Next and Back, and the
// texts from the language.
#include "app/DlgWizard.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/Pump.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class CWizardAnswerer : public CModalAnswerer
{
public:
    explicit CWizardAnswerer(std::function<void(C3DPropertySheet*)> fn) : m_fn(fn)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CWizardAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        m_nAsked++;
        m_fn(static_cast<C3DPropertySheet*>(pDialog));
        // Whatever the function did not end goes on; a wizard still open
        // is closed so that the test cannot hang.
        if (pDialog->ContinueModal())
            m_bLeftOpen = true;
        return pDialog->ContinueModal() ? IDABORT : -1;
    }
    int m_nAsked = 0;
    bool m_bLeftOpen = false;

private:
    std::function<void(C3DPropertySheet*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

bool Checked(HWND hDlg, int nId)
{
    return IsDlgButtonChecked(hDlg, nId) == BST_CHECKED;
}

// A click as the user makes it: the button takes the focus (which checks a
// skinned radio button and makes it report the click) and reports it.
void Click(HWND hDlg, int nId)
{
    SendDlgItemMessageA(hDlg, nId, BM_CLICK, 0, 0);
    PumpPending();
}

void Command(HWND hDlg, int nId)
{
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nId)));
    PumpPending();
}

void Finish(HWND hDlg)
{
    SetFocus(GetDlgItem(hDlg, IDOK));
    Command(hDlg, IDOK);
}

std::string Text(HWND hWnd)
{
    char sz[512] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

// Settings in a registry sandbox, defaults first; the wizard never fades.
// The English texts are loaded so that the texts of the pages are real.
class DlgWizardTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL);
    }
    void TearDown() override
    {
        FreeLanguages();
        SetDefaultSettings();
    }

    RegistrySandbox m_sandbox{HKEY_CURRENT_USER};
};

// The wizard's own settings, for comparing.
struct STORED
{
    int nLook, nCensored, nFirstTime;
};

STORED Stored()
{
    return {g_Settings.SmilieFieldsLook, g_Settings.ShowCensoredSmilies, g_Settings.ShowFirstTimeSetup};
}

TEST_F(DlgWizardTest, FinishStoresTheChosenLookAndCensorship)
{
    // A click of 0 leaves the pair as it is; -1 unchecks both of its buttons.
    const struct
    {
        const char* pszName;
        std::vector<int> look;
        std::vector<int> censor;
        int nLook, nCensored;
    } rows[] = {
        {"untouched", {}, {}, 3, 0},
        {"flat look", {IDC_WIZARD_FLATLOOK}, {}, 0, 0},
        {"3D look clicked again", {IDC_WIZARD_3DLOOK}, {}, 3, 0},
        {"flat, then 3D", {IDC_WIZARD_FLATLOOK, IDC_WIZARD_3DLOOK}, {}, 3, 0},
        {"show all smilies", {}, {IDC_WIZARD_NOCENSOR}, 3, 1},
        {"show all, then hide", {}, {IDC_WIZARD_NOCENSOR, IDC_WIZARD_CENSOR}, 3, 0},
        {"flat and show all", {IDC_WIZARD_FLATLOOK}, {IDC_WIZARD_NOCENSOR}, 0, 1},
        {"no look chosen keeps the look", {-1}, {IDC_WIZARD_NOCENSOR}, 1, 1},
        {"no censorship chosen hides", {IDC_WIZARD_FLATLOOK}, {-1}, 0, 0},
    };
    const int pairs[2][2] = {{IDC_WIZARD_3DLOOK, IDC_WIZARD_FLATLOOK}, {IDC_WIZARD_NOCENSOR, IDC_WIZARD_CENSOR}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszName);
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        // Neither of the two looks the wizard stores, so that "unchanged" shows.
        g_Settings.SmilieFieldsLook = 1;
        g_Settings.ShowCensoredSmilies = 1;
        CWizardAnswerer answer([&](C3DPropertySheet* p) {
            HWND h = p->m_hWnd;
            EXPECT_TRUE(Checked(h, IDC_WIZARD_3DLOOK) && !Checked(h, IDC_WIZARD_FLATLOOK)) << "the 3D look first";
            EXPECT_TRUE(Checked(h, IDC_WIZARD_CENSOR) && !Checked(h, IDC_WIZARD_NOCENSOR)) << "hidden first";
            for (int nPair = 0; nPair < 2; nPair++) {
                for (int nId : nPair == 0 ? row.look : row.censor) {
                    if (nId < 0) {
                        for (int nButton : pairs[nPair])
                            CheckDlgButton(h, nButton, BST_UNCHECKED);
                        continue;
                    }
                    Click(h, nId);
                    // One choice per pair: the partner is no longer checked.
                    const int nPartner = pairs[nPair][0] == nId ? pairs[nPair][1] : pairs[nPair][0];
                    EXPECT_TRUE(Checked(h, nId)) << nId;
                    EXPECT_FALSE(Checked(h, nPartner)) << "partner of " << nId;
                }
                if (nPair == 0)
                    Command(h, IDC_SHEET_NEXT);
            }
            Finish(h);
        });
        EXPECT_EQ(IDOK, RunFirstTimeWizard(NULL));
        EXPECT_EQ(1, answer.m_nAsked);
        EXPECT_FALSE(answer.m_bLeftOpen);
        EXPECT_EQ(row.nLook, g_Settings.SmilieFieldsLook);
        EXPECT_EQ(row.nCensored, g_Settings.ShowCensoredSmilies);
        EXPECT_EQ(0, g_Settings.ShowFirstTimeSetup) << "finished: the wizard does not come again";
    }
}

TEST_F(DlgWizardTest, CancelLeavesEverySettingAsItWas)
{
    // Choices made, then Cancel; or an OK that the sheet ignores (on the
    // first page, which has no Finish), then Cancel: nothing of the choices
    // may stay.
    for (bool bIgnoredOK : {false, true}) {
        SCOPED_TRACE(bIgnoredOK ? "after an ignored OK" : "plain");
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
        // Values the wizard never stores, so that any write shows.
        g_Settings.SmilieFieldsLook = 2;
        g_Settings.ShowCensoredSmilies = 1;
        const STORED before = Stored();
        CWizardAnswerer answer([&](C3DPropertySheet* p) {
            HWND h = p->m_hWnd;
            Click(h, IDC_WIZARD_FLATLOOK);
            if (bIgnoredOK) {
                Command(h, IDOK);
                EXPECT_TRUE(p->ContinueModal()) << "OK before the last page is ignored";
            }
            Command(h, IDC_SHEET_NEXT);
            Click(h, IDC_WIZARD_NOCENSOR);
            SetFocus(GetDlgItem(h, IDCANCEL));
            Command(h, IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, RunFirstTimeWizard(NULL));
        EXPECT_FALSE(answer.m_bLeftOpen);
        const STORED after = Stored();
        EXPECT_EQ(before.nLook, after.nLook);
        EXPECT_EQ(before.nCensored, after.nCensored);
        EXPECT_EQ(1, after.nFirstTime) << "cancelled: the wizard comes again at the next start";
    }
}

TEST_F(DlgWizardTest, NextAndBackSwitchPagesAndKeepTheChoices)
{
    CDlgWizard wizard(NULL);
    CWizardAnswerer answer([&](C3DPropertySheet* p) {
        HWND h = p->m_hWnd;
        ASSERT_EQ(2, p->GetPageCount());
        const int firstPage[] = {IDC_WIZARD_LOOKTEXT, IDC_WIZARD_LOOKNOTE, IDC_WIZARD_FLATLOOK, IDC_WIZARD_3DLOOK};
        const int secondPage[] = {IDC_WIZARD_CENSORTEXT, IDC_WIZARD_CENSORNOTE, IDC_WIZARD_CENSOR,
                                  IDC_WIZARD_NOCENSOR};
        auto expectPage = [&](int nPage, int nLine) {
            SCOPED_TRACE(testing::Message() << "page " << nPage << ", checked at line " << nLine);
            EXPECT_EQ(nPage, p->GetActivePage());
            for (int nId : firstPage)
                EXPECT_EQ(nPage == 0, IsWindowVisible(GetDlgItem(h, nId)) != 0) << nId;
            for (int nId : secondPage)
                EXPECT_EQ(nPage == 1, IsWindowVisible(GetDlgItem(h, nId)) != 0) << nId;
            // Each page shows its two pictures.
            int nPictures = 0;
            const CSequence<HWND>& controls = p->GetPage(nPage).controls;
            for (int i = 0; i < controls.GetSize(); i++) {
                if (SendMessageA(controls[i], STM_GETIMAGE, IMAGE_BITMAP, 0) != 0 && IsWindowVisible(controls[i]))
                    nPictures++;
            }
            EXPECT_EQ(2, nPictures);
            EXPECT_EQ(nPage == 0, GetDlgItem(h, IDC_SHEET_NEXT) != NULL) << "Next";
            EXPECT_EQ(nPage == 1, GetDlgItem(h, IDOK) != NULL) << "Finish";
            EXPECT_EQ(nPage == 1, IsWindowEnabled(GetDlgItem(h, IDC_SHEET_BACK)) != 0) << "Back";
        };
        expectPage(0, __LINE__);
        Click(h, IDC_WIZARD_FLATLOOK);
        Click(h, IDC_SHEET_NEXT);
        expectPage(1, __LINE__);
        Click(h, IDC_WIZARD_NOCENSOR);
        // Back and Next while a choice has the focus, as by key: the sheet
        // moves the focus to a control it can show, and no radio button
        // taking it may change a choice.
        Command(h, IDC_SHEET_BACK);
        expectPage(0, __LINE__);
        EXPECT_TRUE(Checked(h, IDC_WIZARD_FLATLOOK) && !Checked(h, IDC_WIZARD_3DLOOK));
        SetFocus(GetDlgItem(h, IDC_WIZARD_FLATLOOK));
        Command(h, IDC_SHEET_NEXT);
        expectPage(1, __LINE__);
        EXPECT_TRUE(Checked(h, IDC_WIZARD_NOCENSOR) && !Checked(h, IDC_WIZARD_CENSOR));
        // Next on the last page is Finish, also with a choice focused (Enter
        // there): the focus stays on the choice and the choices stand.
        SetFocus(GetDlgItem(h, IDC_WIZARD_NOCENSOR));
        p->NextPage();
        EXPECT_EQ(GetDlgItem(h, IDC_WIZARD_NOCENSOR), GetFocus());
        EXPECT_FALSE(p->ContinueModal());
    });
    EXPECT_EQ(IDOK, wizard.DoModal());
    EXPECT_EQ(1, wizard.m_nLook);
    EXPECT_EQ(0, wizard.m_nCensorship);
}

TEST_F(DlgWizardTest, TopmostWithItsTextsFromTheLanguage)
{
    ASSERT_STRNE("ERROR", GetLangString(242)) << "the English texts are loaded";
    CDlgWizard wizard(NULL);
    CWizardAnswerer answer([&](C3DPropertySheet* p) {
        HWND h = p->m_hWnd;
        EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetLangString(242), Text(h));
        const struct
        {
            int nId, nString;
        } texts[] = {{IDC_WIZARD_LOOKTEXT, 405},   {IDC_WIZARD_LOOKNOTE, 406},   {IDC_WIZARD_3DLOOK, 115},
                     {IDC_WIZARD_FLATLOOK, 116},   {IDC_WIZARD_CENSORTEXT, 530}, {IDC_WIZARD_CENSORNOTE, 533},
                     {IDC_WIZARD_NOCENSOR, 531},   {IDC_WIZARD_CENSOR, 532}};
        for (const auto& t : texts)
            EXPECT_EQ(GetLangString(t.nString), Text(GetDlgItem(h, t.nId))) << t.nId;
        Command(h, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, wizard.DoModal());
}

}  // namespace
