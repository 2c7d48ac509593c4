// The compose checks of Outlook Express and Windows Mail on windows the test
// makes with the classes those programs use, and Windows Mail's settings in a
// registry sandbox. The question about the settings comes after the rendering
// returned: the test answers it through the seam once it is asked.
#include "delivery/ComposeChecks.h"

#include "dialogs/Notices.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "services/Settings.h"
#include "tests/services/RegistrySandbox.h"
#include "tests/tools/NumberedLanguage.h"
#include "tests/tools/Pump.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/dialogs/3DImgMessageBox.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void RegisterPlainClass(const char* pszName)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = pszName;
    ::RegisterClassA(&wc);
}

// A compose window: a top-level frame, a pane, and below it (when asked) the
// MIME editor with its browser surface and its format bar.
class ComposeWindow
{
public:
    ComposeWindow(bool bMimeEdit, bool bBrowser, int nFormatBar /* 0 none, 1 hidden, 2 visible */)
    {
        for (const char* psz : {"TvnxTestCompose", "TvnxTestPane", "##MimeEdit_Server", "Internet Explorer_Server",
                                "MimeEdit_FormatBar"})
            RegisterPlainClass(psz);
        hFrame = ::CreateWindowExA(0, "TvnxTestCompose", "New message", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, NULL,
                                   NULL, NULL, NULL);
        const HWND hPane = Child("TvnxTestPane", hFrame, true);
        if (!bMimeEdit)
            return;
        const HWND hMime = Child("##MimeEdit_Server", hPane, true);
        if (bBrowser)
            Child("Internet Explorer_Server", hMime, true);
        if (nFormatBar != 0)
            Child("MimeEdit_FormatBar", hMime, nFormatBar == 2);
    }
    ~ComposeWindow() { ::DestroyWindow(hFrame); }

    HWND hFrame = NULL;

private:
    static HWND Child(const char* pszClass, HWND hParent, bool bVisible)
    {
        return ::CreateWindowExA(0, pszClass, "", WS_CHILD | (bVisible ? WS_VISIBLE : 0), 0, 0, 50, 20, hParent, NULL,
                                 NULL, NULL);
    }
};

void CloseNotices()
{
    while (g_HtmlOffNotices.GetSize() > 0)
        g_HtmlOffNotices[0]->DestroyWindow();
    PumpPending();
}

class ComposeChecks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterControlMessages();
        m_language.Set(560, "[APPNAME]: [ADVICE]");
        m_language.Set(561, "second for [APPNAME]");
        m_language.Set(586, "Windows Mail [VERSION]:\r\n[ADVICE]");
        SetDefaultSettings();
        g_Settings.FadeDialogs = 0;
    }
    void TearDown() override { CloseNotices(); }

    RegistrySandbox m_registry{HKEY_CURRENT_USER};
    CNumberedLanguage m_language;
};

TEST_F(ComposeChecks, PlainTextComposeWindowsGetTheNotice)
{
    const struct {
        const char* name;
        bool bMimeEdit, bBrowser;
        int nFormatBar;
        bool bNotice;
    } rows[] = {
        {"no format bar", true, true, 0, true},
        {"hidden format bar", true, true, 1, true},
        {"visible format bar: HTML", true, true, 2, false},
        {"main window without a MIME editor", false, false, 0, false},
        {"MIME editor without its browser surface", true, false, 0, false},
    };
    for (int bWindowsMail = 0; bWindowsMail < 2; bWindowsMail++) {
        const char* pszApp = bWindowsMail ? "Windows Mail" : "Outlook Express";
        for (const auto& row : rows) {
            ComposeWindow compose(row.bMimeEdit, row.bBrowser, row.nFormatBar);
            if (bWindowsMail)
                CheckWindowsMailCompose(compose.hFrame);
            else
                CheckOutlookExpressCompose(compose.hFrame);
            ASSERT_EQ(row.bNotice ? 1 : 0, g_HtmlOffNotices.GetSize()) << pszApp << ", " << row.name;
            if (row.bNotice) {
                char sz[512] = "";
                ::GetDlgItemTextA(g_HtmlOffNotices[0]->m_hWnd, IDC_HTMLOFF_TEXT, sz, sizeof(sz));
                EXPECT_EQ(std::string(pszApp) + ": \"Format\" -> \"Rich Text (HTML)\"\r\n\r\nsecond for " + pszApp,
                          sz)
                    << row.name;
            }
            CloseNotices();
        }
    }
}

// The message boxes that come up, answered with a fixed button.
class CQuestionAnswerer : public CModalAnswerer
{
public:
    explicit CQuestionAnswerer(INT_PTR nAnswer) : m_nAnswer(nAnswer) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CQuestionAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        nAsked++;
        C3DImgMessageBox* pBox = dynamic_cast<C3DImgMessageBox*>(pDialog);
        if (pBox != NULL) {
            char sz[256] = "";
            ::GetWindowTextA(pBox->m_hWnd, sz, sizeof(sz));
            strCaption = sz;
            strText = pBox->m_strText;
            nType = pBox->m_nType;
        }
        return m_nAnswer;
    }
    int nAsked = 0;
    std::string strCaption, strText;
    UINT nType = 0;

private:
    INT_PTR m_nAnswer;
    CModalAnswerer* m_pPrevious;
};

HKEY MailKey()
{
    HKEY hKey = NULL;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, g_szWindowsMailKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
    return hKey;
}

void SetDword(const char* pszName, DWORD dw)
{
    const HKEY hKey = MailKey();
    ::RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw));
    ::RegCloseKey(hKey);
}

void SetText(const char* pszName, const char* psz)
{
    const HKEY hKey = MailKey();
    ::RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(psz), DWORD(strlen(psz) + 1));
    ::RegCloseKey(hKey);
}

std::string Wrong()
{
    CSequence<int> rows;
    if (!ReadWindowsMailSettings(&rows))
        return "not judged";
    std::string str;
    for (int i = 0; i < rows.GetSize(); i++)
        str += std::to_string(rows[i]);
    return str;
}

TEST_F(ComposeChecks, WindowsMailSettingsRows)
{
    ASSERT_TRUE(m_registry.IsActive());
    EXPECT_EQ("not judged", Wrong()) << "no key";
    const struct {
        const char* name;
        void (*set)();
        const char* wrong;
    } rows[] = {
        {"none of the values: only external content", [] {}, "0"},
        {"all as wanted", [] { SetDword("Block External Content", 0); SetDword("Message Send HTML", 1);
                               SetDword("Send Pictures With Document", 1); }, ""},
        {"plain text and no pictures", [] { SetDword("Block External Content", 0); SetDword("Message Send HTML", 0);
                                            SetDword("Send Pictures With Document", 0); }, "12"},
        {"first value of another type", [] { SetText("Block External Content", "0"); }, "not judged"},
        {"later value of another type", [] { SetDword("Block External Content", 0);
                                             SetText("Message Send HTML", "1"); }, "1"},
    };
    for (const auto& row : rows) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, g_szWindowsMailKey);
        ::RegCloseKey(MailKey());
        row.set();
        EXPECT_EQ(row.wrong, Wrong()) << row.name;
    }
}

TEST_F(ComposeChecks, SettingsQuestionComesAfterTheRendering)
{
    for (INT_PTR nAnswer : {IDCANCEL, IDOK}) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, g_szWindowsMailKey);
        ::RegCloseKey(MailKey());
        SetDword("Message Send HTML", 0);
        CQuestionAnswerer answerer(nAnswer);
        EXPECT_EQ(1, CheckWindowsMailSettings(7.0));
        EXPECT_EQ(1, CheckWindowsMailSettings(7.0)) << "asked again while the question waits";
        EXPECT_EQ(0, answerer.nAsked) << "the program asking for data is not kept waiting";
        PumpUntil([&] { return answerer.nAsked > 0; }, 5000);
        PumpPending();
        EXPECT_EQ(1, answerer.nAsked) << "one question for two checks";
        EXPECT_EQ("L585", answerer.strCaption);
        EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONQUESTION), answerer.nType);
        EXPECT_EQ(0u, answerer.strText.find("Windows Mail 7.000000:\r\n1. \"Tools\" -> \"Options...\" -> \"Security\""))
            << answerer.strText;
        EXPECT_NE(std::string::npos, answerer.strText.find("\r\n2. \"Tools\" -> \"Options...\" -> \"Mail Sending Format\""));
        EXPECT_EQ(nAnswer == IDOK ? "" : "01", Wrong()) << "OK writes the wanted values";
    }
    EXPECT_EQ(0, CheckWindowsMailSettings(7.0)) << "nothing left to advise";
}

}  // namespace
