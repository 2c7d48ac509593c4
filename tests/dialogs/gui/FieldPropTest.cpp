// The field properties dialog on real windows: which preset a template is
// (case ignored), the counts or the note of a new field, the colour chosen in
// the colour dialog (black kept apart from "none"), and what OK accepts and
// writes back.
#include "dialogs/DlgFieldProp.h"

#include "dialogs/InsertTemplate.h"
#include "framework/CommonDialog.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "tests/tools/NumberedLanguage.h"
#include "ui3d/dialogs/3DImgMessageBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string Item(CDialog* p, int nId)
{
    char sz[512] = "";
    GetDlgItemTextA(p->m_hWnd, nId, sz, sizeof(sz));
    return sz;
}

class FieldPropAnswerer : public CModalAnswerer
{
public:
    explicit FieldPropAnswerer(std::function<void(CDlgFieldProp*)> fn) : m_fn(fn)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~FieldPropAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    std::vector<std::string> boxTexts;
    COLORREF clrChosen = 0;
    int nColorDialogs = 0;

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        if (pDialog->IsKindOf(RUNTIME_CLASS(C3DImgMessageBox))) {
            boxTexts.push_back(static_cast<LPCSTR>(static_cast<C3DImgMessageBox*>(pDialog)->m_strText));
            return IDOK;
        }
        m_fn(static_cast<CDlgFieldProp*>(pDialog));
        if (pDialog->ContinueModal())
            pDialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return -1;
    }
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        nColorDialogs++;
        static_cast<CColorDialog*>(pDialog)->m_cc.rgbResult = clrChosen;
        return IDOK;
    }

private:
    std::function<void(CDlgFieldProp*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

void Ok(CDialog* p)
{
    p->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

struct Outputs {
    CString caption = "Faces";
    CString strTemplate;
    int nWhite = 0;
};

TEST(FieldPropTest, PresetsAreFoundWithoutCase)
{
    const struct {
        const char* pszTemplate;
        int nPreset;
    } rows[] = {
        {"[img]<SMILIE>[/img]", 0},
        {"[IMG]<smilie>[/IMG]", 0},
        {"<IMG SRC=\"<SMILIE>\" WIDTH=\"<W>\" HEIGHT=\"<H>\">", 1},
        {"[image]<SMILIE>[/image]", 2},
        {"[img]<SMILIE>[/img] ", 3},
        {"", 3},
    };
    for (const auto& row : rows) {
        CString strTemplate = row.pszTemplate;
        CDlgFieldProp dlg(RGB(1, 2, 3), NULL, NULL, &strTemplate, NULL, 1, 2, 3, 4);
        EXPECT_EQ(row.nPreset, dlg.m_nPreset) << row.pszTemplate;
        EXPECT_EQ(row.nPreset == 3 ? std::string(row.pszTemplate) : std::string(),
                  static_cast<LPCSTR>(dlg.m_strCustom));
    }
}

TEST(FieldPropTest, PresetAcceptedWritesItsOwnText)
{
    CNumberedLanguage language;
    Outputs out;
    out.strTemplate = "[IMG]<smilie>[/IMG]";
    out.nWhite = 1;
    CDlgFieldProp dlg(RGB(200, 200, 200), NULL, &out.caption, &out.strTemplate, &out.nWhite, 1, 2, 3, 4);
    FieldPropAnswerer answerer([&](CDlgFieldProp* p) {
        EXPECT_EQ("[img]<SMILIE>[/img]", Item(p, IDC_FIELDPROP_TEMPLATE));
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(p->m_hWnd, IDC_FIELDPROP_TEMPLATE), GWL_STYLE) & ES_READONLY);
        SetDlgItemTextA(p->m_hWnd, IDC_FIELDPROP_CAPTION, "Animals");
        Ok(p);
    });
    ASSERT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ("Animals", std::string(out.caption));
    EXPECT_EQ("[img]<SMILIE>[/img]", std::string(out.strTemplate));
    EXPECT_EQ(1, out.nWhite);
    EXPECT_EQ(RGB(200, 200, 200), dlg.m_clr);
}

TEST(FieldPropTest, CountLinesOrTheNewFieldNote)
{
    CNumberedLanguage language;
    language.Set(228, "Smilies: [NUM] of [TOTALNUM]");
    language.Set(229, "Bytes: [NUM] of [TOTALNUM]");
    const struct {
        int n[4];
        const char* pszFirst;
        const char* pszSecond;
    } rows[] = {
        {{3, 10, 1500, 9000}, "Smilies: 3 of 10", "Bytes: 1500 of 9000"},
        {{-1, -1, -1, -1}, "L521", "L521"},
        {{3, 10, -1, 9000}, "L521", "L521"},
    };
    for (const auto& row : rows) {
        Outputs out;
        CDlgFieldProp dlg(0x7F7F7F, NULL, &out.caption, &out.strTemplate, &out.nWhite, row.n[0], row.n[1], row.n[2],
                          row.n[3]);
        FieldPropAnswerer answerer([&](CDlgFieldProp* p) {
            EXPECT_EQ(row.pszFirst, Item(p, IDC_FIELDPROP_COUNTS1));
            EXPECT_EQ(row.pszSecond, Item(p, IDC_FIELDPROP_COUNTS2));
        });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ("Faces", std::string(out.caption)) << "cancel writes nothing";
    }
}

TEST(FieldPropTest, ChosenColourBlackIsKeptApartFromNone)
{
    CNumberedLanguage language;
    const struct {
        COLORREF clrChosen;
        COLORREF clrStored;
    } rows[] = {{RGB(0, 0, 0), 0x010101}, {RGB(12, 34, 56), RGB(12, 34, 56)}, {RGB(255, 88, 72), RGB(255, 88, 72)}};
    for (const auto& row : rows) {
        Outputs out;
        out.strTemplate = "[img]<SMILIE>[/img]";
        CDlgFieldProp dlg(RGB(200, 200, 200), NULL, &out.caption, &out.strTemplate, &out.nWhite, 1, 2, 3, 4);
        FieldPropAnswerer answerer([&](CDlgFieldProp* p) {
            p->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FIELDPROP_MORECOLORS, BN_CLICKED), 0);
            Ok(p);
        });
        answerer.clrChosen = row.clrChosen;
        ASSERT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(1, answerer.nColorDialogs);
        EXPECT_EQ(row.clrStored, dlg.m_clr) << std::hex << row.clrChosen;
    }
}

TEST(FieldPropTest, OkAcceptsEmptyOrKeywordAndRefusesTheRest)
{
    CNumberedLanguage language;
    language.Set(187, "<SMILIE>");
    language.Set(188, "needs [KEYWORD]");
    const struct {
        const char* pszTyped;   // NULL: left as shown
        bool accepted;
        const char* pszStored;
    } rows[] = {
        {"", true, ""},
        {NULL, true, "<SMILIE>"},
        {"<b><SMILIE></b>", true, "<b><SMILIE></b>"},
        {"no keyword", false, "unchanged"},
        {"<smilie>", false, "unchanged"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pszTyped != NULL ? row.pszTyped : "(as shown)");
        Outputs out;
        out.strTemplate = "";
        CString strBefore = "unchanged";
        out.strTemplate = strBefore;
        // A template that is no preset opens as the field's own; start from an empty one.
        CDlgFieldProp dlg(RGB(200, 200, 200), NULL, &out.caption, &out.strTemplate, &out.nWhite, -1, -1, -1, -1);
        dlg.m_strCustom.Empty();
        FieldPropAnswerer answerer([&](CDlgFieldProp* p) {
            EXPECT_EQ("<SMILIE>", Item(p, IDC_FIELDPROP_TEMPLATE)) << "an empty own template shows the keyword";
            if (row.pszTyped != NULL)
                SetDlgItemTextA(p->m_hWnd, IDC_FIELDPROP_TEMPLATE, row.pszTyped);
            Ok(p);
        });
        EXPECT_EQ(row.accepted ? IDOK : IDCANCEL, dlg.DoModal());
        EXPECT_EQ(row.pszStored, std::string(out.strTemplate));
        EXPECT_EQ(row.accepted ? 0u : 1u, answerer.boxTexts.size());
        if (!row.accepted && !answerer.boxTexts.empty())
            EXPECT_EQ("needs <SMILIE>", answerer.boxTexts[0]);
    }
}

TEST(FieldPropTest, TooLongTemplateIsCutOnlyWhenAsked)
{
    CNumberedLanguage language;
    Outputs out;
    out.strTemplate = "own <SMILIE>";
    CDlgFieldProp dlg(RGB(200, 200, 200), NULL, &out.caption, &out.strTemplate, &out.nWhite, 1, 2, 3, 4);
    const std::string strLong = "<SMILIE>" + std::string(MAX_INSERT_TEMPLATE, 'x');
    FieldPropAnswerer answerer([&](CDlgFieldProp* p) {
        SetDlgItemTextA(p->m_hWnd, IDC_FIELDPROP_TEMPLATE, strLong.c_str());
        Ok(p);   // asked (the answerer says OK, not Yes): stays open, nothing cut
        EXPECT_TRUE(p->ContinueModal());
        EXPECT_EQ(int(strLong.size()), GetWindowTextLengthA(GetDlgItem(p->m_hWnd, IDC_FIELDPROP_TEMPLATE)));
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("own <SMILIE>", std::string(out.strTemplate));
    EXPECT_EQ(1u, answerer.boxTexts.size());
}

}  // namespace
