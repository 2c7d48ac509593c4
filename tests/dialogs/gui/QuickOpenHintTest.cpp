// The quick-open hint on a real window: its caption, its text broken into
// lines that fit, and the picture that takes the placeholder's place beside
// the text.
#include "dialogs/DlgHowToQuickOpenDefCol.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "collection/ImageReader.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "resources/resource.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/controls/ControlBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct SEEN
{
    int nAsked = 0;
    std::string strCaption, strText;
    int nPictures = 0;  // children with the picture's id
    bool bPictureIsImage = false;
    RECT rcPicture = {}, rcText = {}, rcClient = {};
    int cxWidestLine = 0;
};

class CHintAnswerer : public CModalAnswerer
{
public:
    explicit CHintAnswerer(SEEN& seen) : m_seen(seen) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CHintAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }

    INT_PTR OnDialog(CDialog* pDialog) override
    {
        const HWND hDlg = pDialog->m_hWnd;
        m_seen.nAsked++;
        char sz[512] = "";
        ::GetWindowTextA(hDlg, sz, sizeof(sz));
        m_seen.strCaption = sz;
        ::GetDlgItemTextA(hDlg, IDC_QUICKOPEN_TEXT, sz, sizeof(sz));
        m_seen.strText = sz;
        for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (::GetDlgCtrlID(h) != IDC_QUICKOPEN_PICTURE)
                continue;
            m_seen.nPictures++;
            const C3DStatic* pStatic = dynamic_cast<C3DStatic*>(CWnd::FromHandlePermanent(h));
            m_seen.bPictureIsImage = pStatic != NULL && pStatic->m_pImage1 != NULL && pStatic->m_pImage2 != NULL;
            m_seen.rcPicture = Rect(hDlg, h);
        }
        m_seen.rcText = Rect(hDlg, ::GetDlgItem(hDlg, IDC_QUICKOPEN_TEXT));
        // The widest line in the dialog's font, which the static draws with.
        const HDC hDC = ::GetDC(hDlg);
        const HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageA(hDlg, WM_GETFONT, 0, 0)));
        std::string strRest = m_seen.strText;
        while (!strRest.empty()) {
            const size_t n = strRest.find("\r\n");
            const std::string strLine = strRest.substr(0, n);
            SIZE size = {};
            ::GetTextExtentPoint32A(hDC, strLine.c_str(), int(strLine.size()), &size);
            m_seen.cxWidestLine = std::max<int>(m_seen.cxWidestLine, size.cx);
            strRest = n == std::string::npos ? "" : strRest.substr(n + 2);
        }
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(hDlg, hDC);
        ::GetClientRect(hDlg, &m_seen.rcClient);
        return IDOK;
    }

private:
    static RECT Rect(HWND hDlg, HWND hChild)
    {
        RECT rc = {};
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    SEEN& m_seen;
    CModalAnswerer* m_pPrevious;
};

TEST(QuickOpenHint, ShowsItsTextBesideThePicture)
{
    RegisterControlMessages();
    CLanguage language;
    language.m_nCount = 600;
    language.m_ppStrings = static_cast<char**>(calloc(600, sizeof(char*)));
    const char szHint[] = "To open the collection you use most, click the collections button left of the tabs "
                          "and choose it; every word of this hint stays, only lines are broken.";
    language.m_ppStrings[572] = static_cast<char*>(malloc(sizeof(szHint)));
    strcpy(language.m_ppStrings[572], szHint);
    CLanguage* pPrevious = g_pCurrentLanguage;
    g_pCurrentLanguage = &language;
    const int nFade = g_Settings.FadeDialogs;
    g_Settings.FadeDialogs = 0;

    SEEN seen;
    {
        CHintAnswerer answerer(seen);
        CDlgHowToQuickOpenDefCol dlg(NULL);
        EXPECT_EQ(IDOK, dlg.DoModal());
    }
    g_Settings.FadeDialogs = nFade;
    g_pCurrentLanguage = pPrevious;

    ASSERT_EQ(1, seen.nAsked);
    EXPECT_EQ("Tarvenex", seen.strCaption);
    // Broken at spaces into lines no wider than the static.
    std::string strJoined = seen.strText;
    for (size_t n; (n = strJoined.find("\r\n")) != std::string::npos;)
        strJoined.replace(n, 2, " ");
    EXPECT_EQ(szHint, strJoined);
    EXPECT_NE(std::string::npos, seen.strText.find("\r\n"));
    EXPECT_GT(seen.cxWidestLine, 0);
    EXPECT_LE(seen.cxWidestLine, seen.rcText.right - seen.rcText.left);
    // The placeholder is gone; in its place the picture with its opacity
    // picture, at the picture's own size.
    ASSERT_EQ(1, seen.nPictures);
    EXPECT_TRUE(seen.bPictureIsImage);
    CImageReader picture;
    ASSERT_TRUE(CImageReader::LoadFromResource("Gif", MAKEINTRESOURCEA(IDG_TIP_COLLECTIONS), ::GetModuleHandleA(NULL),
                                               picture));
    const CSize size = picture.GetReader()->GetSize();
    EXPECT_EQ(size.cx, seen.rcPicture.right - seen.rcPicture.left);
    EXPECT_EQ(size.cy, seen.rcPicture.bottom - seen.rcPicture.top);
    // Picture and text both inside the window, side by side.
    RECT rcCommon;
    EXPECT_FALSE(::IntersectRect(&rcCommon, &seen.rcPicture, &seen.rcText));
    for (const RECT* prc : {&seen.rcPicture, &seen.rcText}) {
        EXPECT_TRUE(prc->left >= 0 && prc->top >= 0 && prc->right <= seen.rcClient.right &&
                    prc->bottom <= seen.rcClient.bottom);
    }
}

}  // namespace
