// The skinned dialog controls on a real dialog: buttons keep the standard
// notifications and their check state once owner-drawn, radio groups behave
// like automatic ones, colour swatches keep one selection program-wide (also
// when swatches go away), links report their press, the combo box relays the
// mouse and colours its list, popup editors write their text back, and the
// colour dialog is found while it runs and answered through the test seam.
#include "framework/CommonDialog.h"
#include "framework/Dialog.h"
#include "framework/ModalAnswerer.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/dialogs/3DColorDialog.h"
#include "ui3d/controls/3DComboBox.h"
#include "ui3d/controls/3DEdit.h"
#include "ui3d/controls/ClrSelButton.h"
#include "ui3d/controls/LinkButton.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/menus/3DMenu.h"

#include <gtest/gtest.h>
#include "tests/framework/gui/GuiTestUtil.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

enum { IDC_CHECK = 201, IDC_RADIO1 = 202, IDC_RADIO2 = 203, IDC_RADIO3 = 204, IDC_CHECKED = 205, IDC_PUSH = 206,
       IDC_EDIT = 207, IDC_COMBO = 208, IDC_BIGEDIT = 209 };

DialogTemplate MakeTemplate()
{
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME, 220, 160, "controls");
    t.Item(0x0080, IDC_CHECK, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 5, 80, 10, "check")
        .Item(0x0080, IDC_RADIO1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 20, 60, 10, "one")
        .Item(0x0080, IDC_RADIO2, BS_AUTORADIOBUTTON, 5, 32, 60, 10, "two")
        .Item(0x0080, IDC_RADIO3, BS_AUTORADIOBUTTON, 5, 44, 60, 10, "three")
        .Item(0x0080, IDC_CHECKED, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 5, 58, 80, 10, "checked")
        .Item(0x0080, IDC_PUSH, BS_PUSHBUTTON | WS_TABSTOP, 100, 5, 50, 14, "push")
        .Item(0x0081, IDC_EDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 100, 25, 60, 12)
        .Item(0x0085, IDC_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 100, 45, 60, 60)
        .Item(0x0081, IDC_BIGEDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, 100, 70, 60, 12);
    return t;
}

// A framework dialog whose template controls are taken over as a skinned
// dialog does, and which writes down what reaches it.
class CControlsDialog : public CDialog
{
public:
    std::vector<std::pair<int, int>> commands;   // (id, code)
    std::vector<std::pair<UINT, WPARAM>> others; // (message, wParam)
    std::unique_ptr<C3DButton> buttons[6];
    std::unique_ptr<C3DComboBox> combo;
    std::unique_ptr<CPopUpEdit> edit;
    std::unique_ptr<CPopUpEdit> readOnlyEdit;

    BOOL OnInitDialog() override
    {
        BOOL r = CDialog::OnInitDialog();
        CheckDlgButton(IDC_CHECKED, BST_CHECKED);
        const int ids[6] = {IDC_CHECK, IDC_RADIO1, IDC_RADIO2, IDC_RADIO3, IDC_CHECKED, IDC_PUSH};
        for (int i = 0; i < 6; ++i) {
            buttons[i].reset(new C3DButton(NULL));
            buttons[i]->Attach(ids[i], this);
        }
        combo.reset(new C3DComboBox(RGB(1, 2, 3), RGB(4, 5, 6)));
        combo->SubclassDlgItem(IDC_COMBO, this);
        const SIZE size = {180, 40};
        edit.reset(new CPopUpEdit(RGB(0, 0, 0), NULL, RGB(255, 255, 255)));
        edit->Attach(&size, IDC_EDIT, this);
        readOnlyEdit.reset(new CPopUpEdit(RGB(0, 0, 0), NULL, RGB(255, 255, 255)));
        readOnlyEdit->Attach(NULL, IDC_BIGEDIT, this);
        return r;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (CWnd::OnCommand(wParam, lParam))
            return TRUE;
        commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CLRSELCHANGED || message == WM_RELAYMOUSEMSG)
            others.push_back({message, wParam});
        return CDialog::WindowProc(message, wParam, lParam);
    }
    int Clicks(int nID) const
    {
        int n = 0;
        for (const auto& c : commands)
            n += c.first == nID && c.second == BN_CLICKED;
        return n;
    }
    LRESULT Check(int nID) const { return SendDlgItemMessage(nID, BM_GETCHECK); }
};

class DialogControls : public testing::Test
{
protected:
    DialogTemplate m_template = MakeTemplate();
    CControlsDialog m_dlg;

    void SetUp() override
    {
        RegisterControlMessages();
        ASSERT_TRUE(m_dlg.CreateIndirect(m_template.Get()));
        ::SetForegroundWindow(m_dlg.m_hWnd);
        PumpPending();
        m_dlg.commands.clear();
    }
    void TearDown() override
    {
        if (m_dlg.m_hWnd != NULL)
            m_dlg.DestroyWindow();
    }
    void Click(int nID)
    {
        m_dlg.SendDlgItemMessage(nID, BM_CLICK);
        PumpPending();
    }
};

TEST_F(DialogControls, CheckBoxTogglesOnEachClickAndNotifiesTheParent)
{
    EXPECT_EQ(BTNTYPE_CHECK, m_dlg.buttons[0]->GetButtonType());
    EXPECT_EQ(BS_OWNERDRAW, m_dlg.buttons[0]->GetStyle() & BS_TYPEMASK);
    EXPECT_EQ(BST_UNCHECKED, m_dlg.Check(IDC_CHECK));
    Click(IDC_CHECK);
    EXPECT_EQ(BST_CHECKED, m_dlg.Check(IDC_CHECK));
    EXPECT_EQ(1, m_dlg.Clicks(IDC_CHECK));
    Click(IDC_CHECK);
    EXPECT_EQ(BST_UNCHECKED, m_dlg.Check(IDC_CHECK));
    EXPECT_EQ(2, m_dlg.Clicks(IDC_CHECK));
}

TEST_F(DialogControls, AttachKeepsTheCheckStateTheSystemHad)
{
    EXPECT_EQ(BST_CHECKED, m_dlg.Check(IDC_CHECKED));
    EXPECT_EQ(1, m_dlg.buttons[4]->IsChecked());
}

TEST_F(DialogControls, SetCheckTakesCheckedAndUncheckedOnly)
{
    struct Row
    {
        const char* name;
        WPARAM nSet;
        LRESULT nExpected;
    } rows[] = {
        {"checked", BST_CHECKED, BST_CHECKED},
        {"indeterminate changes nothing", BST_INDETERMINATE, BST_CHECKED},
        {"unchecked", BST_UNCHECKED, BST_UNCHECKED},
        {"indeterminate on unchecked", BST_INDETERMINATE, BST_UNCHECKED},
    };
    for (const Row& r : rows) {
        m_dlg.SendDlgItemMessage(IDC_CHECK, BM_SETCHECK, r.nSet);
        EXPECT_EQ(r.nExpected, m_dlg.Check(IDC_CHECK)) << r.name;
    }
    m_dlg.SendDlgItemMessage(IDC_PUSH, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(0, m_dlg.Check(IDC_PUSH)) << "a push button has no check state";
    EXPECT_TRUE(m_dlg.commands.empty()) << "setting the state is no click";
}

TEST_F(DialogControls, RadioClickChecksItUnchecksTheGroupAndNotifiesOnce)
{
    m_dlg.SendDlgItemMessage(IDC_RADIO1, BM_SETCHECK, BST_CHECKED);
    Click(IDC_RADIO2);
    ASSERT_TRUE(PumpUntil([&] { return m_dlg.Clicks(IDC_RADIO2) > 0; }, 2000));
    PumpPending();
    EXPECT_EQ(BST_CHECKED, m_dlg.Check(IDC_RADIO2));
    EXPECT_EQ(BST_UNCHECKED, m_dlg.Check(IDC_RADIO1));
    EXPECT_EQ(BST_UNCHECKED, m_dlg.Check(IDC_RADIO3));
    EXPECT_EQ(BST_CHECKED, m_dlg.Check(IDC_CHECKED)) << "the next group is left alone";
    EXPECT_EQ(1, m_dlg.Clicks(IDC_RADIO2));
    EXPECT_TRUE(m_dlg.SendDlgItemMessage(IDC_RADIO2, WM_GETDLGCODE) & DLGC_RADIOBUTTON);

    // Clicking the checked one again reports nothing new.
    Click(IDC_RADIO2);
    PumpPending();
    EXPECT_EQ(1, m_dlg.Clicks(IDC_RADIO2));
}

TEST_F(DialogControls, PushButtonClickReachesTheParentAndHasNoToolRect)
{
    Click(IDC_PUSH);
    EXPECT_EQ(1, m_dlg.Clicks(IDC_PUSH));
    ::UpdateWindow(m_dlg.m_hWnd);
    EXPECT_EQ(0, m_dlg.SendDlgItemMessage(IDC_PUSH, WM_GETTOOLRECT));
    m_dlg.GetDlgItem(IDC_CHECK)->RedrawWindow();
    RECT rc = {0, 0, 0, 0};
    EXPECT_EQ(1, m_dlg.SendDlgItemMessage(IDC_CHECK, WM_GETTOOLRECT, reinterpret_cast<WPARAM>(&rc)));
    EXPECT_GE(rc.right - rc.left, INDICATOR_SIZE);
}

TEST_F(DialogControls, BodyStyleMessagesSetAndReadTheFace)
{
    m_dlg.SendDlgItemMessage(IDC_PUSH, WM_SETBODYSTYLE, RGB(9, 8, 7), 0);
    BODYSTYLE style = BODYSTYLE::FromSystemColors();
    style.cbSize = 0;
    EXPECT_EQ(RGB(9, 8, 7),
              static_cast<COLORREF>(m_dlg.SendDlgItemMessage(IDC_PUSH, WM_GETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style))));
    EXPECT_EQ(BODYSTYLE_SIZE, style.cbSize);
    EXPECT_EQ(RGB(9, 8, 7), style.clrFace);
}

// --- colour swatches ---------------------------------------------------------------

class ColourSwatches : public DialogControls
{
protected:
    std::vector<CClrSelButton*> m_swatches;

    CClrSelButton* AddSwatch(COLORREF clr)
    {
        CClrSelButton* p = new CClrSelButton(NULL, clr);
        const int n = static_cast<int>(m_swatches.size());
        const RECT rc = {200 + 20 * n, 120, 216 + 20 * n, 136};
        EXPECT_TRUE(p->Create(WS_CHILD | WS_VISIBLE, rc, &m_dlg, 300 + n));
        m_swatches.push_back(p);
        return p;
    }
    void Remove(CClrSelButton* p)
    {
        p->DestroyWindow();
        delete p;
        for (auto it = m_swatches.begin(); it != m_swatches.end(); ++it)
            if (*it == p) {
                m_swatches.erase(it);
                break;
            }
    }
    void TearDown() override
    {
        while (!m_swatches.empty())
            Remove(m_swatches.back());
        DialogControls::TearDown();
    }
};

TEST_F(ColourSwatches, SelectByColourAndReadTheSelection)
{
    CClrSelButton* red = AddSwatch(RGB(255, 0, 0));
    CClrSelButton* green = AddSwatch(RGB(0, 255, 0));
    EXPECT_EQ(0, red->SendMessage(WM_CLRSELGET)) << "none selected reads as 0";
    EXPECT_EQ(RGB(0, 255, 0), static_cast<COLORREF>(red->SendMessage(WM_CLRSELSET, RGB(0, 255, 0))));
    EXPECT_EQ(green, CClrSelButton::GetSelected());
    EXPECT_EQ(1, green->m_bSelected);
    EXPECT_EQ(RGB(0, 255, 0), static_cast<COLORREF>(red->SendMessage(WM_CLRSELGET)));
    // A colour no swatch has clears the selection and tells what was selected.
    EXPECT_EQ(RGB(0, 255, 0), static_cast<COLORREF>(red->SendMessage(WM_CLRSELSET, RGB(1, 1, 1))));
    EXPECT_EQ(NULL, CClrSelButton::GetSelected());
    EXPECT_EQ(0, green->m_bSelected);
    EXPECT_EQ(RGB(1, 1, 1), static_cast<COLORREF>(red->SendMessage(WM_CLRSELSET, RGB(1, 1, 1))));
}

TEST_F(ColourSwatches, ClickSelectsAndNotifiesOnlyWhenTheSelectionChanges)
{
    CClrSelButton* red = AddSwatch(RGB(255, 0, 0));
    CClrSelButton* blue = AddSwatch(RGB(0, 0, 255));
    red->SendMessage(WM_CLRSELSET, RGB(255, 0, 0));
    blue->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    blue->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PumpPending();
    ASSERT_EQ(1u, m_dlg.others.size());
    EXPECT_EQ(static_cast<UINT>(WM_CLRSELCHANGED), m_dlg.others[0].first);
    EXPECT_EQ(reinterpret_cast<WPARAM>(blue->m_hWnd), m_dlg.others[0].second);
    EXPECT_EQ(0, red->m_bSelected);
    EXPECT_EQ(blue, CClrSelButton::GetSelected());

    blue->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    blue->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PumpPending();
    EXPECT_EQ(1u, m_dlg.others.size()) << "the selected swatch clicked again tells nothing";
}

TEST_F(ColourSwatches, SelectionIndexFollowsDestroyedSwatches)
{
    const int nBefore = CClrSelButton::GetCount();
    CClrSelButton* a = AddSwatch(RGB(10, 0, 0));
    CClrSelButton* b = AddSwatch(RGB(20, 0, 0));
    CClrSelButton* c = AddSwatch(RGB(30, 0, 0));
    (void)b;
    a->SendMessage(WM_CLRSELSET, RGB(30, 0, 0));
    ASSERT_EQ(c, CClrSelButton::GetSelected());

    // A swatch before the selected one goes: the index must still name it.
    Remove(a);
    EXPECT_EQ(nBefore + 2, CClrSelButton::GetCount());
    EXPECT_EQ(c, CClrSelButton::GetSelected());
    EXPECT_LT(CClrSelButton::GetSelectedIndex(), CClrSelButton::GetCount());
    EXPECT_EQ(RGB(30, 0, 0), static_cast<COLORREF>(c->SendMessage(WM_CLRSELGET)));

    // The selected one goes: nothing is selected, and reading does not run past the end.
    Remove(c);
    EXPECT_EQ(-1, CClrSelButton::GetSelectedIndex());
    EXPECT_EQ(0, m_swatches[0]->SendMessage(WM_CLRSELGET));
}

// --- link, combo box, edits --------------------------------------------------------

TEST_F(DialogControls, LinkReportsItsClickOnThePress)
{
    CLinkButton link;
    const RECT rc = {200, 100, 260, 116};
    ASSERT_TRUE(link.Create("a link", WS_CHILD | WS_VISIBLE, rc, &m_dlg, 400));
    CString text;
    link.GetWindowText(text);
    EXPECT_STREQ("a link", text);
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ASSERT_EQ(1u, m_dlg.commands.size());
    EXPECT_EQ(400, m_dlg.commands[0].first);
    EXPECT_EQ(0, m_dlg.commands[0].second);
    link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(1u, m_dlg.commands.size()) << "the release adds nothing";
    EXPECT_FALSE(link.IsUnderlined());
    link.SetHover(TRUE);
    EXPECT_TRUE(link.IsUnderlined());
    link.DestroyWindow();
}

TEST_F(DialogControls, ComboRelaysLeftMouseMessagesAndColoursOnlyItsList)
{
    struct Row
    {
        UINT message;
        bool bRelayed;
    } rows[] = {{WM_MOUSEMOVE, true}, {WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, true}, {WM_RBUTTONDOWN, false},
                {WM_MOUSEWHEEL, false}};
    for (const Row& r : rows) {
        m_dlg.others.clear();
        MSG msg = {m_dlg.combo->m_hWnd, r.message, 0, 0, 0, {0, 0}};
        m_dlg.combo->PreTranslateMessage(&msg);
        EXPECT_EQ(r.bRelayed ? 1u : 0u, m_dlg.others.size()) << "message 0x" << std::hex << r.message;
    }

    HDC hDC = ::CreateCompatibleDC(NULL);
    EXPECT_EQ(m_dlg.combo->m_hBrush, m_dlg.combo->OnCtlColor(hDC, NULL, CTLCOLOR_LISTBOX));
    EXPECT_EQ(RGB(4, 5, 6), ::GetTextColor(hDC));
    EXPECT_EQ(RGB(1, 2, 3), ::GetBkColor(hDC));
    EXPECT_EQ(NULL, m_dlg.combo->OnCtlColor(hDC, NULL, CTLCOLOR_EDIT));
    ::DeleteDC(hDC);
}

TEST_F(DialogControls, PopupEditorOpensOnFocusAndWritesItsTextBack)
{
    CPopUpEdit& edit = *m_dlg.edit;
    edit.SetWindowText("short");
    edit.SetFocus();
    PumpPending();
    ASSERT_TRUE(edit.IsPopupOpen());
    CPopUpWnd* pPopup = edit.GetPopup();
    RECT rcEdit, rcPopup;
    edit.GetWindowRect(&rcEdit);
    pPopup->GetWindowRect(&rcPopup);
    EXPECT_EQ(180, rcPopup.right - rcPopup.left) << "widened to the editor's minimum";
    EXPECT_EQ(rcEdit.bottom - rcEdit.top, rcPopup.bottom - rcPopup.top) << "a single-line edit keeps its height";
    CString text;
    pPopup->m_edit.GetWindowText(text);
    EXPECT_STREQ("short", text);
    EXPECT_NE(::GetFocus(), edit.m_hWnd);

    pPopup->m_edit.SetWindowText("a much longer text");
    // Focus moving elsewhere closes the popup; its text is kept.
    m_dlg.GetDlgItem(IDC_PUSH)->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return !edit.IsPopupOpen(); }, 2000));
    edit.GetWindowText(text);
    EXPECT_STREQ("a much longer text", text);
}

TEST_F(DialogControls, FocusedCheckBoxAndRadioShowAFrameInTheFocusColour)
{
    // Painted focused and unfocused into a bitmap: only the focused one has
    // a line of the focus colour longer than any letter, its frame.
    BODYSTYLE style = BODYSTYLE::FromSystemColors();
    style.clrFace = RGB(90, 95, 100);
    style.clrText = RGB(250, 250, 250);
    style.clrText2 = RGB(255, 210, 60);
    for (const int nId : {IDC_CHECK, IDC_RADIO2}) {
        C3DButton* pButton = nId == IDC_CHECK ? m_dlg.buttons[0].get() : m_dlg.buttons[2].get();
        pButton->SendMessage(WM_SETBODYSTYLE, 0, reinterpret_cast<LPARAM>(&style));
        RECT rc;
        ::GetClientRect(pButton->m_hWnd, &rc);
        HDC hScreen = ::GetDC(NULL);
        HDC hMem = ::CreateCompatibleDC(hScreen);
        HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, rc.right, rc.bottom);
        ::ReleaseDC(NULL, hScreen);
        HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
        auto longestRun = [&](bool bFocused) {
            DRAWITEMSTRUCT dis = {};
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = UINT(nId);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = bFocused ? ODS_FOCUS : 0;
            dis.hwndItem = pButton->m_hWnd;
            dis.hDC = hMem;
            dis.rcItem = rc;
            pButton->DrawItem(&dis);
            int nLongest = 0;
            for (int y = 0; y < rc.bottom; y++) {
                int nRun = 0;
                for (int x = 0; x < rc.right; x++) {
                    nRun = ::GetPixel(hMem, x, y) == style.clrText2 ? nRun + 1 : 0;
                    nLongest = nRun > nLongest ? nRun : nLongest;
                }
            }
            return nLongest;
        };
        EXPECT_EQ(0, longestRun(false)) << "control " << nId;
        EXPECT_GE(longestRun(true), 15) << "control " << nId;
        ::SelectObject(hMem, hOld);
        ::DeleteObject(hBmp);
        ::DeleteDC(hMem);
    }
}

TEST_F(DialogControls, MultiLineEditDrawsTheScrollBarsOfItsStyle)
{
    // The skinned frame is drawn over the system's, which leaves the scroll
    // bar standing: the band right of the text is not what lay there before.
    const int nId = 260;
    const HWND hEdit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | WS_VSCROLL,
                                         200, 10, 120, 60, m_dlg.m_hWnd, reinterpret_cast<HMENU>(nId), NULL, NULL);
    ASSERT_NE(HWND(NULL), hEdit);
    CPopUpEdit multi(RGB(0, 0, 0), NULL, RGB(255, 255, 255));
    multi.Attach(NULL, nId, &m_dlg);
    ::SetWindowTextA(hEdit, "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven\r\neight");
    PumpPending();

    RECT rcWindow, rcClient;
    ::GetWindowRect(hEdit, &rcWindow);
    ::GetClientRect(hEdit, &rcClient);
    ::MapWindowPoints(hEdit, NULL, reinterpret_cast<LPPOINT>(&rcClient), 2);
    ASSERT_GE(rcWindow.right - rcClient.right, ::GetSystemMetrics(SM_CXVSCROLL));
    const RECT rcBand = {rcClient.right - rcWindow.left, rcClient.top - rcWindow.top,
                         rcClient.right - rcWindow.left + ::GetSystemMetrics(SM_CXVSCROLL), rcClient.bottom - rcWindow.top};
    const COLORREF clrMarker = RGB(255, 0, 255);
    HDC hDC = ::GetWindowDC(hEdit);
    HBRUSH hMarker = ::CreateSolidBrush(clrMarker);
    ::FillRect(hDC, &rcBand, hMarker);
    ::DeleteObject(hMarker);
    ::ReleaseDC(hEdit, hDC);
    ::RedrawWindow(hEdit, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpPending();

    hDC = ::GetWindowDC(hEdit);
    int nMarked = 0;
    for (int y = rcBand.top + 2; y < rcBand.bottom - 2; y += 4)
        nMarked += ::GetPixel(hDC, (rcBand.left + rcBand.right) / 2, y) == clrMarker;
    ::ReleaseDC(hEdit, hDC);
    EXPECT_EQ(0, nMarked);
    multi.DestroyWindow();
}

TEST_F(DialogControls, DisabledPopupEditNeverOpensAndDestroyKeepsTypedText)
{
    CPopUpEdit& edit = *m_dlg.edit;
    edit.EnableWindow(FALSE);
    edit.SendMessage(WM_SETFOCUS);
    EXPECT_FALSE(edit.IsPopupOpen());
    edit.EnableWindow(TRUE);
    edit.SetFocus();
    PumpPending();
    ASSERT_TRUE(edit.IsPopupOpen());
    edit.GetPopup()->m_edit.SetWindowText("typed");
    edit.OpenPopup(FALSE);
    EXPECT_FALSE(edit.IsPopupOpen());
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ("typed", text);
}

TEST_F(DialogControls, ContextMenuGreysWhatTheEditCannotDo)
{
    struct Row
    {
        const char* name;
        int nEdit;
        const char* text;
        int nStart, nEnd;
        bool undo, cut, copy, paste, del, all;   // enabled
    } rows[] = {
        {"read-only with a selection", IDC_BIGEDIT, "hello", 1, 3, false, false, true, true, false, true},
        {"read-only, all selected", IDC_BIGEDIT, "hello", 0, 5, false, false, true, true, false, false},
        {"writable, nothing selected", IDC_EDIT, "hello", 2, 2, false, false, false, true, false, true},
        {"writable and empty", IDC_EDIT, "", 0, 0, false, false, false, true, false, false},
    };
    for (const Row& r : rows) {
        C3DEdit* pEdit = r.nEdit == IDC_EDIT ? static_cast<C3DEdit*>(m_dlg.edit.get()) : m_dlg.readOnlyEdit.get();
        pEdit->SetWindowText(r.text);
        pEdit->SendMessage(EM_EMPTYUNDOBUFFER);
        pEdit->SetSel(r.nStart, r.nEnd);
        C3DMenu menu;
        ASSERT_TRUE(menu.CreatePopup(NULL));
        pEdit->BuildContextMenu(&menu);
        auto enabled = [&](UINT nId) { return !(::GetMenuState(menu.m_hMenu, nId, MF_BYCOMMAND) & MF_GRAYED); };
        EXPECT_EQ(r.undo, enabled(ID_EDITMENU_UNDO)) << r.name;
        EXPECT_EQ(r.cut, enabled(ID_EDITMENU_CUT)) << r.name;
        EXPECT_EQ(r.copy, enabled(ID_EDITMENU_COPY)) << r.name;
        EXPECT_EQ(r.paste, enabled(ID_EDITMENU_PASTE)) << r.name;
        EXPECT_EQ(r.del, enabled(ID_EDITMENU_DELETE)) << r.name;
        EXPECT_EQ(r.all, enabled(ID_EDITMENU_SELECTALL)) << r.name;
    }
}

// --- colour dialog ------------------------------------------------------------------

class CColourAnswerer : public CModalAnswerer
{
public:
    CColourAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CColourAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    int nAsked = 0;
    CDialog* pRunningWhileAsked = NULL;
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        ++nAsked;
        pRunningWhileAsked = GetRunningModalDialog();
        static_cast<CColorDialog*>(pDialog)->m_cc.rgbResult = RGB(12, 34, 56);
        return IDOK;
    }

private:
    CModalAnswerer* m_pPrevious;
};

TEST(ColourDialog, FoundWhileRunningAndAnsweredThroughTheSeam)
{
    const int nBefore = GetLiveDialogCount();
    {
        CColourAnswerer answerer;
        C3DColorDialog dlg(RGB(1, 1, 1), CC_RGBINIT);
        EXPECT_EQ(nBefore + 1, GetLiveDialogCount());
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(1, answerer.nAsked);
        EXPECT_EQ(&dlg, answerer.pRunningWhileAsked);
        EXPECT_EQ(RGB(12, 34, 56), dlg.GetColor());
        EXPECT_EQ(NULL, GetRunningModalDialog()) << "closed, it is no longer reported";
    }
    EXPECT_EQ(nBefore, GetLiveDialogCount()) << "destroyed, it is no longer registered";
}

TEST(ColourDialog, RefusedWhileADragRuns)
{
    CColourAnswerer answerer;
    C3DColorDialog dlg;
    g_nActiveDrags = 1;
    const INT_PTR nResult = dlg.DoModal();
    g_nActiveDrags = 0;
    EXPECT_EQ(IDCANCEL, nResult);
    EXPECT_EQ(0, answerer.nAsked);
}

TEST(LiveDialogRegistry, RegistersOnceAndQueryNeedsBothPointers)
{
    CDialog dlg;
    const int nBefore = GetLiveDialogCount();
    EXPECT_EQ(0, RegisterLiveDialog(NULL));
    EXPECT_EQ(1, RegisterLiveDialog(&dlg));
    EXPECT_EQ(0, RegisterLiveDialog(&dlg));
    EXPECT_EQ(nBefore + 1, GetLiveDialogCount());
    EXPECT_EQ(1, UnregisterLiveDialog(&dlg));
    EXPECT_EQ(0, UnregisterLiveDialog(&dlg));

    int nState = 7;
    HWND hWnd = reinterpret_cast<HWND>(1);
    AnswerQueryDlgState(reinterpret_cast<WPARAM>(&nState), 0, 1, NULL);
    EXPECT_EQ(7, nState) << "one null pointer: nothing written";
    AnswerQueryDlgState(reinterpret_cast<WPARAM>(&nState), reinterpret_cast<LPARAM>(&hWnd), -1, NULL);
    EXPECT_EQ(-1, nState);
    EXPECT_EQ(NULL, hWnd);
}

} // namespace
