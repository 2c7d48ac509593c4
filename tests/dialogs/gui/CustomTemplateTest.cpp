// The insertion template editor: what it shows first, what OK accepts and
// writes back, and the two refusals (no "<SMILIE>", more than 10000
// characters) that keep it open.
#include "dialogs/DlgCustomTemplate.h"

#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "tests/tools/NumberedLanguage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_boxes;
int g_nBoxAnswer = IDNO;

int RecordBox(CWnd*, LPCSTR pszText, UINT)
{
    g_boxes.push_back(pszText);
    return g_nBoxAnswer;
}

// Types the text into the edit and presses OK, then reads the edit back.
class TemplateAnswerer : public CModalAnswerer
{
public:
    explicit TemplateAnswerer(std::function<void(CDialog*)> fn) : m_fn(fn) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~TemplateAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        m_fn(pDialog);
        if (pDialog->ContinueModal())
            pDialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return -1;
    }

private:
    std::function<void(CDialog*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

std::string EditText(CDialog* p)
{
    HWND hEdit = GetDlgItem(p->m_hWnd, IDC_CUSTOMTEMPLATE_TEXT);
    std::string str(size_t(GetWindowTextLengthA(hEdit)) + 1, '\0');
    str.resize(size_t(GetWindowTextA(hEdit, &str[0], int(str.size()))));
    return str;
}

TEST(CustomTemplateTest, OkAcceptsOnlyTemplatesWithTheKeywordWithinTheLimit)
{
    CNumberedLanguage language;
    language.Set(188, "no [KEYWORD] in it");
    CDlgCustomTemplate::s_pfnMessageBox = RecordBox;
    const std::string strLong = std::string(9992, 'x') + "<SMILIE>";
    struct Case
    {
        const char* pszName;
        std::string strBefore, strTyped;
        int nBoxAnswer;
        INT_PTR nResult;
        std::string strAfter;        // the caller's text afterwards
        std::vector<std::string> boxes;
        std::string strEditAfter;    // what the edit holds when the dialog stays open
    } cases[] = {
        {"empty is accepted", "[b]<SMILIE>[/b]", "", IDNO, IDOK, "", {}, ""},
        {"with the keyword", "", "<a><SMILIE></a>", IDNO, IDOK, "<a><SMILIE></a>", {}, ""},
        {"exactly the limit", "", strLong, IDNO, IDOK, strLong, {}, ""},
        {"without the keyword", "old", "plain", IDNO, IDCANCEL, "old", {"no <SMILIE> in it"}, "plain"},
        {"one too long, kept", "old", strLong + "y", IDNO, IDCANCEL, "old", {"L190"}, strLong + "y"},
        {"one too long, cut", "old", "y" + strLong, IDYES, IDCANCEL, "old", {"L190"}, ("y" + strLong).substr(0, 10000)},
    };
    for (const Case& c : cases) {
        g_boxes.clear();
        g_nBoxAnswer = c.nBoxAnswer;
        CString strTemplate = c.strBefore.c_str();
        std::string strEdit;
        TemplateAnswerer answerer([&](CDialog* p) {
            SetDlgItemTextA(p->m_hWnd, IDC_CUSTOMTEMPLATE_TEXT, c.strTyped.c_str());
            p->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            strEdit = EditText(p);
        });
        CDlgCustomTemplate dlg(strTemplate);
        EXPECT_EQ(c.nResult, dlg.DoModal()) << c.pszName;
        EXPECT_EQ(c.strAfter, static_cast<LPCSTR>(strTemplate)) << c.pszName;
        EXPECT_EQ(c.boxes, g_boxes) << c.pszName;
        if (c.nResult != IDOK)
            EXPECT_EQ(c.strEditAfter, strEdit) << c.pszName;
    }
}

TEST(CustomTemplateTest, AnEmptyTemplateShowsTheExample)
{
    CNumberedLanguage language;
    for (const char* pszBefore : {"", "[i]<SMILIE>[/i]"}) {
        CString strTemplate = pszBefore;
        std::string strShown, strCaption;
        TemplateAnswerer answerer([&](CDialog* p) {
            strShown = EditText(p);
            char sz[64] = "";
            GetWindowTextA(p->m_hWnd, sz, sizeof(sz));
            strCaption = sz;
        });
        CDlgCustomTemplate dlg(strTemplate);
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(*pszBefore ? pszBefore : "L187", strShown);
        EXPECT_EQ("L121", strCaption);
        EXPECT_STREQ(pszBefore, static_cast<LPCSTR>(strTemplate)) << "cancel keeps the caller's text";
    }
}

}  // namespace
