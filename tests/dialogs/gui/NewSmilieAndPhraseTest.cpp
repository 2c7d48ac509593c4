// The new-smilie, new-phrase and phrase properties dialogs on real windows:
// what each writes back (on an accepted OK only), the refusals that keep a
// dialog open with their messages, the 10000-character limit, and the facts
// of a phrase.
#include "collection/Smilie.h"
#include "dialogs/DlgPhraseNew.h"
#include "dialogs/DlgPhraseProp.h"
#include "dialogs/DlgSmilieNew.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "ui3d/dialogs/3DImgMessageBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Works the dialog through its steps: each step sets controls and presses a
// button; after the last step a dialog still open is cancelled. Message
// boxes get the answers in turn (No after them) and are written down.
class CStepsAnswerer : public CModalAnswerer
{
public:
    typedef std::function<void(CDialog*)> STEP;
    explicit CStepsAnswerer(std::vector<STEP> steps) : m_steps(steps) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CStepsAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    std::vector<int> answers;
    std::vector<std::string> boxes;

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox))) {
            boxes.push_back(static_cast<LPCSTR>(static_cast<C3DImgMessageBox*>(pDialog)->m_strText));
            const size_t n = boxes.size() - 1;
            return n < answers.size() ? answers[n] : IDNO;
        }
        for (size_t i = 0; i < m_steps.size() && pDialog->ContinueModal(); i++)
            m_steps[i](pDialog);
        if (pDialog->ContinueModal())
            pDialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return -1;
    }

private:
    std::vector<STEP> m_steps;
    CModalAnswerer* m_pPrevious;
};

CStepsAnswerer::STEP SetText(int nId, std::string strText)
{
    return [=](CDialog* p) { ::SetDlgItemTextA(p->m_hWnd, nId, strText.c_str()); };
}

CStepsAnswerer::STEP Press(int nId)
{
    return [=](CDialog* p) { p->SendMessage(WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0); };
}

CStepsAnswerer::STEP Choose(int nIndex)
{
    return [=](CDialog* p) {
        ::SendDlgItemMessageA(p->m_hWnd, IDC_SMILIENEW_TEMPLATECHOICE, CB_SETCURSEL, nIndex, 0);
        p->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SMILIENEW_TEMPLATECHOICE, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(p->m_hWnd, IDC_SMILIENEW_TEMPLATECHOICE)));
    };
}

std::string Lang(int n)
{
    return GetLangString(n);
}

class NewSmilieAndPhrase : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadLanguages(TVNX_SOURCE_DIR "\\data\\Languages\\", NULL)); }
    static void TearDownTestSuite() { FreeLanguages(); }
    void SetUp() override
    {
        m_saved = g_Settings;
        g_Settings.FadeDialogs = 0;
    }
    void TearDown() override { g_Settings = m_saved; }

    APPSETTINGS m_saved;
};

struct PHRASECASE
{
    const char* pszName;
    std::string strTyped;
    std::vector<int> answers;
    INT_PTR nResult;
    std::string strOut;           // "untouched" when nothing is written
    std::vector<int> boxStrings;  // language strings of the boxes asked, in order
};

std::vector<PHRASECASE> PhraseCases()
{
    const std::string s10000(10000, 'x');
    return {
        {"blanks only are refused", "  \t \r\n ", {}, IDCANCEL, "untouched", {266}},
        {"leading blanks are kept", "   smile", {}, IDOK, "   smile", {}},
        {"10000 characters close at once", s10000, {}, IDOK, s10000, {}},
        {"10001 characters, Yes cuts", s10000 + "y", {IDYES}, IDOK, s10000, {190}},
        {"10001 characters, No stays", s10000 + "y", {IDNO}, IDCANCEL, "untouched", {190}},
    };
}

void CheckBoxes(const PHRASECASE& c, const std::vector<std::string>& boxes)
{
    ASSERT_EQ(c.boxStrings.size(), boxes.size()) << c.pszName;
    for (size_t i = 0; i < boxes.size(); i++) {
        if (c.boxStrings[i] == 190)
            EXPECT_NE(std::string::npos, boxes[i].find("10000")) << c.pszName << ": " << boxes[i];
        else
            EXPECT_EQ(Lang(c.boxStrings[i]), boxes[i]) << c.pszName;
    }
}

TEST_F(NewSmilieAndPhrase, NewPhraseAcceptsOnlyATextThatIsNotBlankAndAsksBeforeCutting)
{
    for (const PHRASECASE& c : PhraseCases()) {
        CStepsAnswerer answerer({SetText(IDC_PHRASE_TEXT, c.strTyped), Press(IDOK)});
        answerer.answers = c.answers;
        CString strOut = "untouched";
        CDlgPhraseNew dlg(&strOut);
        EXPECT_EQ(c.nResult, dlg.DoModal()) << c.pszName;
        EXPECT_EQ(c.strOut, std::string(strOut)) << c.pszName;
        CheckBoxes(c, answerer.boxes);
    }
}

TEST_F(NewSmilieAndPhrase, PhrasePropertiesEditTheTextByTheSameRules)
{
    CSmilie smilie;
    smilie.m_strPhrase = "hello";
    for (const PHRASECASE& c : PhraseCases()) {
        CStepsAnswerer answerer({SetText(IDC_PHRASE_TEXT, c.strTyped), Press(IDOK)});
        answerer.answers = c.answers;
        CString strOut = "untouched";
        CDlgPhraseProp dlg(&smilie, &strOut);
        EXPECT_EQ(c.nResult, dlg.DoModal()) << c.pszName;
        EXPECT_EQ(c.strOut, std::string(strOut)) << c.pszName;
        CheckBoxes(c, answerer.boxes);
    }
}

TEST_F(NewSmilieAndPhrase, PhrasePropertiesShowTheFactsAndStartWithThePhrase)
{
    CSmilie smilie;
    smilie.m_strPhrase = "hello";
    smilie.m_nUsageCount = 7;
    const SYSTEMTIME date = {2026, 3, 3, 4, 14, 30, 0, 0};
    smilie.m_Date = date;
    std::string strFacts, strEdit;
    CStepsAnswerer answerer({[&](CDialog* p) {
        char sz[512];
        ::GetDlgItemTextA(p->m_hWnd, IDC_PHRASE_FACTS, sz, sizeof(sz));
        strFacts = sz;
        ::GetDlgItemTextA(p->m_hWnd, IDC_PHRASE_TEXT, sz, sizeof(sz));
        strEdit = sz;
    }});
    CString strOut = "untouched";
    CDlgPhraseProp dlg(&smilie, &strOut);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("hello", strEdit);
    EXPECT_EQ(Lang(254) + ": 5\r\n" + Lang(255) + ": 7\r\n" + Lang(256) + ": 03/04/26", strFacts);
    EXPECT_EQ("untouched", std::string(strOut));
}

TEST_F(NewSmilieAndPhrase, NewSmilieRefusesWhatIsNoPictureAddress)
{
    const struct {
        const char* pszAddress;
        int nBox;
    } cases[] = {
        {"just some words", 271},
        {"C:\\pictures\\smile.gif", 271},
        {"http://127.0.0.1/index.html", 272},
    };
    for (const auto& c : cases) {
        CStepsAnswerer answerer({SetText(IDC_SMILIENEW_ADDRESS, c.pszAddress), Press(IDOK)});
        CString strAddress = "untouched", strTemplate = "untouched";
        CDlgSmilieNew dlg(&strAddress, &strTemplate);
        EXPECT_EQ(IDCANCEL, dlg.DoModal()) << c.pszAddress;
        ASSERT_EQ(1u, answerer.boxes.size()) << c.pszAddress;
        EXPECT_EQ(Lang(c.nBox), answerer.boxes[0]) << c.pszAddress;
        EXPECT_EQ("untouched", std::string(strAddress)) << c.pszAddress;
        EXPECT_EQ("untouched", std::string(strTemplate)) << c.pszAddress;
    }
}

TEST_F(NewSmilieAndPhrase, NewSmilieReturnsTheAddressAndTheChosenTemplate)
{
    const std::string strLong = "<SMILIE>" + std::string(10000, 'z');
    const struct {
        const char* pszName;
        std::vector<CStepsAnswerer::STEP> steps;
        std::vector<int> answers;
        INT_PTR nResult;
        std::string strTemplate;
        size_t nBoxes;
    } cases[] = {
        {"the field's template", {Press(IDOK)}, {}, IDOK, "", 0},
        {"an own template", {Choose(1), SetText(IDC_SMILIENEW_TEMPLATE, "[b]<SMILIE>[/b]"), Press(IDOK)}, {},
         IDOK, "[b]<SMILIE>[/b]", 0},
        {"an own template without the keyword stays",
         {Choose(1), SetText(IDC_SMILIENEW_TEMPLATE, "[b][/b]"), Press(IDOK)}, {}, IDCANCEL, "untouched", 1},
        {"a cut template stays open, a second OK closes",
         {Choose(1), SetText(IDC_SMILIENEW_TEMPLATE, strLong), Press(IDOK), Press(IDOK)}, {IDYES}, IDOK,
         strLong.substr(0, 10000), 1},
    };
    for (const auto& c : cases) {
        std::vector<CStepsAnswerer::STEP> steps = {SetText(IDC_SMILIENEW_ADDRESS, "  http://127.0.0.1/a/smile.gif ")};
        steps.insert(steps.end(), c.steps.begin(), c.steps.end());
        CStepsAnswerer answerer(steps);
        answerer.answers = c.answers;
        CString strAddress = "untouched", strTemplate = "untouched";
        CDlgSmilieNew dlg(&strAddress, &strTemplate);
        EXPECT_EQ(c.nResult, dlg.DoModal()) << c.pszName;
        EXPECT_EQ(c.strTemplate, std::string(strTemplate)) << c.pszName;
        EXPECT_EQ(c.nBoxes, answerer.boxes.size()) << c.pszName;
        if (c.nResult == IDOK)
            EXPECT_EQ("http://127.0.0.1/a/smile.gif", std::string(strAddress)) << c.pszName;
    }
}

}  // namespace
