// Dialogs on real windows: the framework's modal loop answered through the
// test seam, data exchange both ways, message boxes.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

enum { IDC_NAME = 100, IDC_COUNT = 101, IDC_CHECK = 102, IDC_RADIO1 = 103, IDC_RADIO2 = 104, IDC_RADIO3 = 105,
       IDC_COMBO = 106, IDC_AFTER = 107 };

// A dialog with one control of each exchanged kind, hidden in its template
// unless asked otherwise.
DialogTemplate MakeTemplate(bool bVisible)
{
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | (bVisible ? WS_VISIBLE : 0), 200, 140,
                     "exchange");
    t.Item(0x0081, IDC_NAME, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 100, 12)
        .Item(0x0081, IDC_COUNT, WS_BORDER | WS_TABSTOP, 5, 20, 100, 12)
        .Item(0x0080, IDC_CHECK, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 35, 100, 10, "check")
        .Item(0x0080, IDC_RADIO1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 50, 50, 10, "one")
        .Item(0x0080, IDC_RADIO2, BS_AUTORADIOBUTTON, 5, 60, 50, 10, "two")
        .Item(0x0080, IDC_RADIO3, BS_AUTORADIOBUTTON, 5, 70, 50, 10, "three")
        .Item(0x0080, IDC_AFTER, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 60, 50, 50, 10, "after")
        .Item(0x0085, IDC_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 5, 85, 100, 60)
        .Item(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 120, 50, 14, "OK")
        .Item(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 100, 120, 50, 14, "Cancel");
    return t;
}

class CExchangeDialog : public CDialog
{
public:
    CString m_strName = "initial";
    int m_nCount = 5;
    int m_nCheck = BST_CHECKED;
    int m_nRadio = 1;
    int m_nCombo = 2;
    int m_nEndInInit = -1;
    int m_nInitCalls = 0;

    BOOL OnInitDialog() override
    {
        ++m_nInitCalls;
        CComboBox* pCombo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO));
        for (const char* s : {"zero", "one", "two", "three"})
            ::SendMessageA(pCombo->m_hWnd, CB_ADDSTRING, 0, (LPARAM)s);
        BOOL r = CDialog::OnInitDialog();
        if (m_nEndInInit != -1)
            EndDialog(m_nEndInInit);
        return r;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDX_Check(pDX, IDC_CHECK, m_nCheck);
        DDX_Radio(pDX, IDC_RADIO1, m_nRadio);
        DDX_CBIndex(pDX, IDC_COMBO, m_nCombo);
    }
};

// Answers through callbacks given by each test.
class CTestAnswerer : public CModalAnswerer
{
public:
    CTestAnswerer() { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CTestAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    std::function<INT_PTR(CDialog*)> onDialog;
    std::vector<std::string> messageBoxes;
    int nMessageBoxAnswer = IDOK;
    int nDialogsAsked = 0;

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        ++nDialogsAsked;
        return onDialog ? onDialog(pDialog) : -1;
    }
    BOOL OnMessageBox(HWND, LPCSTR lpszText, LPCSTR, UINT, int* pnResult) override
    {
        messageBoxes.push_back(lpszText);
        *pnResult = nMessageBoxAnswer;
        return TRUE;
    }

private:
    CModalAnswerer* m_pPrevious;
};

std::string ItemText(CWnd* pDlg, int nID)
{
    CString s;
    pDlg->GetDlgItemText(nID, s);
    return std::string(s);
}

HWND MakeOwner()
{
    return CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
}

} // namespace

TEST(Dialog, ModalLoopShowsOnIdleDisablesTheOwnerAndExchangesDataBothWays)
{
    HWND hOwner = MakeOwner();
    ASSERT_TRUE(hOwner != NULL);
    DialogTemplate t = MakeTemplate(false);
    CExchangeDialog dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(t.Get(), CWnd::FromHandle(hOwner)));

    CTestAnswerer answerer;
    bool bVisible = false, bOwnerDisabled = false;
    std::string name, count;
    int check = -1, radio2 = -1, combo = -1;
    answerer.onDialog = [&](CDialog* p) -> INT_PTR {
        bVisible = p->IsWindowVisible() != FALSE;
        bOwnerDisabled = !IsWindowEnabled(hOwner);
        // Members went into the controls in OnInitDialog.
        name = ItemText(p, IDC_NAME);
        count = ItemText(p, IDC_COUNT);
        check = (int)p->SendDlgItemMessage(IDC_CHECK, BM_GETCHECK);
        radio2 = (int)p->SendDlgItemMessage(IDC_RADIO2, BM_GETCHECK);
        combo = (int)p->SendDlgItemMessage(IDC_COMBO, CB_GETCURSEL);
        // The user's changes, then OK as a click would send it.
        p->SetDlgItemText(IDC_NAME, "changed");
        p->SetDlgItemText(IDC_COUNT, " -12 ");
        p->CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        p->CheckDlgButton(IDC_RADIO2, BST_UNCHECKED);
        p->CheckDlgButton(IDC_RADIO3, BST_CHECKED);
        p->SendDlgItemMessage(IDC_COMBO, CB_SETCURSEL, 0);
        p->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)p->GetDlgItem(IDOK)->m_hWnd);
        return -1;
    };

    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(answerer.nDialogsAsked, 1);
    EXPECT_TRUE(bVisible) << "a dialog hidden after OnInitDialog is shown when the loop goes idle";
    EXPECT_TRUE(bOwnerDisabled);
    EXPECT_TRUE(IsWindowEnabled(hOwner)) << "the owner is enabled again";
    EXPECT_TRUE(dlg.m_hWnd == NULL);

    EXPECT_EQ(name, "initial");
    EXPECT_EQ(count, "5");
    EXPECT_EQ(check, BST_CHECKED);
    EXPECT_EQ(radio2, BST_CHECKED);
    EXPECT_EQ(combo, 2);

    EXPECT_STREQ(dlg.m_strName, "changed");
    EXPECT_EQ(dlg.m_nCount, -12);
    EXPECT_EQ(dlg.m_nCheck, BST_UNCHECKED);
    EXPECT_EQ(dlg.m_nRadio, 2);
    EXPECT_EQ(dlg.m_nCombo, 0);
    DestroyWindow(hOwner);
}

TEST(Dialog, RefusedNumberKeepsTheDialogOpenAndTellsTheUser)
{
    struct Row {
        const char* text;
        bool accepted;
        int value;
    } rows[] = {
        {"42", true, 42},          {"+7", true, 7},        {"abc", false, 0},      {"", false, 0},
        {"12x", false, 0},         {"2147483647", true, 2147483647}, {"2147483648", false, 0},
        {"-2147483648", true, (int)0x80000000},              {"99999999999999999999999", false, 0},
    };
    DialogTemplate t = MakeTemplate(true);
    for (const Row& r : rows) {
        CExchangeDialog dlg;
        dlg.InitModalIndirect(t.Get());
        CTestAnswerer answerer;
        bool bStillRunning = false;
        answerer.onDialog = [&](CDialog* p) -> INT_PTR {
            p->SetDlgItemText(IDC_COUNT, r.text);
            p->SendMessage(WM_COMMAND, IDOK, 0);
            bStillRunning = p->ContinueModal() != FALSE;
            return bStillRunning ? IDCANCEL : -1;
        };
        INT_PTR n = dlg.DoModal();
        if (r.accepted) {
            EXPECT_EQ(n, IDOK) << r.text;
            EXPECT_EQ(dlg.m_nCount, r.value) << r.text;
            EXPECT_TRUE(answerer.messageBoxes.empty()) << r.text;
        } else {
            EXPECT_TRUE(bStillRunning) << r.text;
            EXPECT_EQ(n, IDCANCEL) << r.text;
            EXPECT_EQ(dlg.m_nCount, 5) << r.text << ": the member keeps its value";
            EXPECT_EQ(answerer.messageBoxes.size(), 1u) << r.text;
        }
    }
}

TEST(Dialog, EscapeIsTranslatedByTheLoopIntoCancel)
{
    DialogTemplate t = MakeTemplate(false);
    CExchangeDialog dlg;
    dlg.InitModalIndirect(t.Get());
    CTestAnswerer answerer;
    answerer.onDialog = [&](CDialog* p) -> INT_PTR {
        // A key that only the dialog manager turns into a command: it goes
        // through the loop's PreTranslateMessage and IsDialogMessage.
        HWND hEdit = p->GetDlgItem(IDC_NAME)->m_hWnd;
        PostMessageA(hEdit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        return -1;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_STREQ(dlg.m_strName, "initial") << "Cancel exchanges nothing";
}

TEST(Dialog, EndDialogDuringInitEndsWithoutRunningTheLoop)
{
    DialogTemplate t = MakeTemplate(false);
    CExchangeDialog dlg;
    dlg.m_nEndInInit = 33;
    dlg.InitModalIndirect(t.Get());
    CTestAnswerer answerer;
    EXPECT_EQ(dlg.DoModal(), 33);
    EXPECT_EQ(answerer.nDialogsAsked, 0);
    EXPECT_EQ(dlg.m_nInitCalls, 1);
}

TEST(Dialog, AnswererResultEndsTheDialog)
{
    DialogTemplate t = MakeTemplate(true);
    CExchangeDialog dlg;
    dlg.InitModalIndirect(t.Get());
    CTestAnswerer answerer;
    answerer.onDialog = [](CDialog*) -> INT_PTR { return 1234; };
    EXPECT_EQ(dlg.DoModal(), 1234);
}

// Records the idle calls of the modal loop; asks for more until the count
// reaches 2, then ends itself.
class CIdleDialog : public CExchangeDialog
{
public:
    std::vector<LPARAM> counts;
    std::vector<WPARAM> kinds;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG)
            SetTimer(1, 5000);   // ends a loop that never kicks, rather than hang
        if (message == WM_TIMER && wParam == 1) {
            EndDialog(-2);
            return 0;
        }
        if (message != WM_KICKIDLE)
            return CExchangeDialog::WindowProc(message, wParam, lParam);
        counts.push_back(lParam);
        kinds.push_back(wParam);
        if (lParam < 2 && counts.size() < 1000)
            return TRUE;
        EndDialog(77);
        return FALSE;
    }
};

TEST(Dialog, IdleQueueKicksTheDialogWithARisingCount)
{
    DialogTemplate t = MakeTemplate(false);
    CIdleDialog dlg;
    dlg.InitModalIndirect(t.Get());
    EXPECT_EQ(dlg.DoModal(), 77) << "the dialog ended itself from its idle handler";
    ASSERT_FALSE(dlg.counts.empty());
    EXPECT_EQ(dlg.counts.front(), 0);
    EXPECT_EQ(dlg.counts.back(), 2);
    for (size_t i = 1; i < dlg.counts.size(); ++i)
        EXPECT_TRUE(dlg.counts[i] == 0 || dlg.counts[i] == dlg.counts[i - 1] + 1)
            << "call " << i << ": count " << dlg.counts[i] << " after " << dlg.counts[i - 1];
    for (WPARAM k : dlg.kinds)
        EXPECT_EQ(k, (WPARAM)MSGF_DIALOGBOX);
}

TEST(Dialog, MissingTemplateFailsCleanly)
{
    CDialog byId(31999);
    EXPECT_EQ(byId.DoModal(), -1);
    CDialog byName("NoSuchDialogTemplate");
    EXPECT_FALSE(byName.Create("NoSuchDialogTemplate"));
    EXPECT_TRUE(byName.m_hWnd == NULL);
}

TEST(Dialog, ModelessDialogFromMemoryRunsInTheCallersLoop)
{
    struct CModeless : CExchangeDialog {
        int* pDeleted;
        void OnCancel() override { DestroyWindow(); }
        void PostNcDestroy() override
        {
            ++*pDeleted;
            delete this;
        }
    };
    int nDeleted = 0;
    DialogTemplate t = MakeTemplate(true);
    CModeless* pDlg = new CModeless;
    pDlg->pDeleted = &nDeleted;
    ASSERT_TRUE(pDlg->CreateIndirect(t.Get()));
    HWND hDlg = pDlg->m_hWnd;
    EXPECT_EQ(pDlg->m_nInitCalls, 1);
    EXPECT_TRUE(IsWindowVisible(hDlg));
    EXPECT_EQ(ItemText(pDlg, IDC_NAME), "initial");
    // Escape reaches the dialog through the thread's pre-translation.
    PostMessageA(GetDlgItem(hDlg, IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ASSERT_TRUE(PumpUntil([&] {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            if (!AfxPreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        return nDeleted > 0;
    }));
    EXPECT_EQ(nDeleted, 1);
    EXPECT_FALSE(IsWindow(hDlg));
}

TEST(Dialog, MessageBoxIsAnsweredThroughTheSeam)
{
    CTestAnswerer answerer;
    answerer.nMessageBoxAnswer = IDNO;
    EXPECT_EQ(AfxMessageBox("Delete the smilie?", MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(answerer.messageBoxes.size(), 1u);
    EXPECT_EQ(answerer.messageBoxes[0], "Delete the smilie?");
}

TEST(Dialog, ModalLoopOffersEveryMessageToTheApplicationFirst)
{
    struct CCountingApp : CWinApp {
        int nSeen = 0;
        BOOL PreTranslateMessage(MSG* pMsg) override
        {
            if (pMsg->message == WM_APP + 7)
                ++nSeen;
            return CWinApp::PreTranslateMessage(pMsg);
        }
    } app;
    DialogTemplate t = MakeTemplate(true);
    CExchangeDialog dlg;
    dlg.InitModalIndirect(t.Get());
    CTestAnswerer answerer;
    answerer.onDialog = [&](CDialog* p) -> INT_PTR {
        PostMessageA(p->GetDlgItem(IDC_NAME)->m_hWnd, WM_APP + 7, 0, 0);
        PostMessageA(p->m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return -1;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(app.nSeen, 1);
}

TEST(Dialog, TemplatesFromResourcesByIdAndByName)
{
    CTestAnswerer answerer;
    bool bShown = false;
    answerer.onDialog = [&](CDialog* p) -> INT_PTR {
        bShown = p->IsWindowVisible() != FALSE;
        return IDOK;
    };
    CDialog byId(200);
    EXPECT_EQ(byId.DoModal(), IDOK);
    EXPECT_TRUE(bShown);

    CDialog byName;
    ASSERT_TRUE(byName.Create("TVNX_NAMED_DIALOG"));
    EXPECT_TRUE(byName.IsWindowVisible());
    CString caption;
    byName.GetWindowText(caption);
    EXPECT_STREQ(caption, "by name");
    EXPECT_TRUE(byName.GetDlgItem(100) != NULL);
    EXPECT_TRUE(byName.DestroyWindow());
    EXPECT_TRUE(byName.m_hWnd == NULL);
}

TEST(Dialog, MessageBoxFromAStringResource)
{
    CTestAnswerer answerer;
    EXPECT_EQ(AfxMessageBox(300, MB_OK), IDOK);
    ASSERT_EQ(answerer.messageBoxes.size(), 1u);
    EXPECT_EQ(answerer.messageBoxes[0], "Text of string 300");
}

TEST(Dialog, ADialogOpenedFromAModalDialogIsOwnedByIt)
{
    HWND hMain = MakeOwner();
    CWinApp app;
    app.m_pMainWnd = CWnd::FromHandle(hMain);
    DialogTemplate t = MakeTemplate(true);
    CExchangeDialog outer, inner;
    outer.InitModalIndirect(t.Get());
    inner.InitModalIndirect(t.Get());

    CTestAnswerer answerer;
    HWND hOuter = NULL, hInnerOwner = NULL;
    bool bOuterDisabledDuringInner = false, bMainDisabledDuringInner = false;
    bool bOuterEnabledAfterInner = false;
    INT_PTR nInner = 0;
    answerer.onDialog = [&](CDialog* p) -> INT_PTR {
        if (p == &outer) {
            hOuter = p->m_hWnd;
            nInner = inner.DoModal();   // no parent given: the running dialog owns it
            bOuterEnabledAfterInner = IsWindowEnabled(hOuter) != FALSE;
            return IDOK;
        }
        hInnerOwner = GetWindow(p->m_hWnd, GW_OWNER);
        bOuterDisabledDuringInner = !IsWindowEnabled(hOuter);
        bMainDisabledDuringInner = !IsWindowEnabled(hMain);
        return IDCANCEL;
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(nInner, IDCANCEL);
    EXPECT_EQ(hInnerOwner, hOuter);
    EXPECT_TRUE(bOuterDisabledDuringInner);
    EXPECT_TRUE(bMainDisabledDuringInner);
    EXPECT_TRUE(bOuterEnabledAfterInner);
    EXPECT_TRUE(IsWindowEnabled(hMain));
    app.m_pMainWnd = NULL;
    DestroyWindow(hMain);
}

namespace {

// Posts itself a message whose pre-translation throws, then one that ends it.
class CThrowingDialog : public CExchangeDialog
{
public:
    std::function<void()> fnThrow;
    BOOL OnInitDialog() override
    {
        BOOL r = CExchangeDialog::OnInitDialog();
        PostMessage(WM_APP + 1);
        PostMessage(WM_APP + 2);
        return r;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_APP + 1 && pMsg->hwnd == m_hWnd)
            fnThrow();
        return CExchangeDialog::PreTranslateMessage(pMsg);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP + 2) {
            EndDialog(55);
            return 0;
        }
        return CExchangeDialog::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(Dialog, AnExceptionInTheModalLoopLeavesTheOwnerEnabledAndTheDialogReusable)
{
    struct Row
    {
        const char* name;
        std::function<void()> fnThrow;
    } rows[] = {
        {"framework exception", [] { AfxThrowMemoryException(); }},
        {"standard exception", [] { throw std::runtime_error("pre-translation"); }},
    };
    for (const Row& row : rows) {
        CWnd owner;
        ASSERT_TRUE(owner.Attach(MakeOwner())) << row.name;
        DialogTemplate t = MakeTemplate(true);
        CThrowingDialog dlg;
        dlg.fnThrow = row.fnThrow;
        dlg.InitModalIndirect(t.Get(), &owner);
        for (int nRun = 1; nRun <= 2; ++nRun) {
            INT_PTR nResult = -1;
            try {
                nResult = dlg.DoModal();
            } catch (...) {
                ADD_FAILURE() << row.name << ": an exception left DoModal";
            }
            EXPECT_EQ(nResult, 55) << row.name << ", run " << nRun;
            EXPECT_TRUE(owner.IsWindowEnabled()) << row.name << ", run " << nRun;
            EXPECT_TRUE(dlg.m_hWnd == NULL) << row.name << ", run " << nRun;
        }
        owner.DestroyWindow();
    }
}
