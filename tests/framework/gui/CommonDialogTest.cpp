// The system's colour and file dialogs with framework objects: the object is
// bound to the real dialog window from the hook, and the test seam answers.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "tests/framework/gui/GuiTestUtil.h"

#include <functional>

namespace {

const UINT WM_PROBE = WM_APP + 0x55;

// Counts a probe message sent to the dialog window, to show the window's
// messages reach the object.
template <class Base> class CProbed : public Base
{
public:
    using Base::Base;
    int nProbes = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PROBE) {
            ++nProbes;
            return 0x5A;
        }
        return Base::WindowProc(message, wParam, lParam);
    }
};

class CCommonAnswerer : public CModalAnswerer
{
public:
    CCommonAnswerer() { AfxSetModalAnswerer(this); }
    ~CCommonAnswerer() override { AfxSetModalAnswerer(NULL); }
    std::function<INT_PTR(CCommonDialog*)> answer;
    int nAsked = 0;
    HWND hDialogWindow = NULL;
    bool bBoundToObject = false;
    LRESULT nProbeResult = 0;
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        ++nAsked;
        hDialogWindow = pDialog->m_hWnd;
        bBoundToObject = hDialogWindow != NULL && CWnd::FromHandlePermanent(hDialogWindow) == pDialog;
        nProbeResult = SendMessageA(hDialogWindow, WM_PROBE, 0, 0);
        return answer(pDialog);
    }
};

} // namespace

TEST(CommonDialog, ColourDialogAnsweredThroughTheSeam)
{
    CCommonAnswerer answerer;
    answerer.answer = [](CCommonDialog* p) -> INT_PTR {
        static_cast<CColorDialog*>(p)->m_cc.rgbResult = RGB(10, 20, 30);
        return IDOK;
    };
    CProbed<CColorDialog> dlg(RGB(200, 100, 50));
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));
    EXPECT_EQ(answerer.nAsked, 1);
    EXPECT_TRUE(answerer.bBoundToObject) << "the hook bound the object to the dialog window";
    EXPECT_EQ(answerer.nProbeResult, 0x5A);
    EXPECT_EQ(dlg.nProbes, 1);
    EXPECT_FALSE(IsWindow(answerer.hDialogWindow));
    EXPECT_TRUE(dlg.m_hWnd == NULL);
}

TEST(CommonDialog, ColourDialogWorkedByTheAnswererGivesTheSystemsResult)
{
    CCommonAnswerer answerer;
    answerer.answer = [](CCommonDialog* p) -> INT_PTR {
        // Press OK in the real dialog: it reports the colour it was opened with.
        p->PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(p->m_hWnd, IDOK));
        return -1;
    };
    CColorDialog dlg(RGB(200, 100, 50), CC_FULLOPEN);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetColor(), RGB(200, 100, 50));
    INT_PTR n;
    EXPECT_FALSE(dlg.WasAnswered(&n));
}

TEST(CommonDialog, FileDialogAnsweredThroughTheSeam)
{
    struct Row {
        const char* name;
        BOOL bOpen;
        INT_PTR answer;
        const char* path;
    } rows[] = {
        {"open, OK", TRUE, IDOK, "C:\\pictures\\smile.face.png"},
        {"save, OK", FALSE, IDOK, "C:\\out\\collection.tvnx"},
        {"open, Cancel", TRUE, IDCANCEL, ""},
    };
    for (const Row& r : rows) {
        CCommonAnswerer answerer;
        answerer.answer = [&](CCommonDialog* p) -> INT_PTR {
            CFileDialog* pFile = static_cast<CFileDialog*>(p);
            lstrcpynA(pFile->m_ofn.lpstrFile, r.path, (int)pFile->m_ofn.nMaxFile);
            return r.answer;
        };
        CProbed<CFileDialog> dlg(r.bOpen, "png", NULL, OFN_HIDEREADONLY, "Pictures (*.png)|*.png|All files|*.*||");
        EXPECT_EQ(dlg.DoModal(), r.answer) << r.name;
        EXPECT_EQ(answerer.nAsked, 1) << r.name;
        EXPECT_TRUE(answerer.bBoundToObject) << r.name;
        EXPECT_EQ(dlg.nProbes, 1) << r.name;
        EXPECT_FALSE(IsWindow(answerer.hDialogWindow)) << r.name;
        if (r.answer == IDOK) {
            EXPECT_STREQ(dlg.GetPathName(), r.path) << r.name;
        }
    }
}

TEST(CommonDialog, FileNamePartsOfTheChosenPath)
{
    struct Row {
        const char* path;
        const char* name;
        const char* ext;
        const char* title;
    } rows[] = {
        {"C:\\a\\smile.face.png", "smile.face.png", "png", "smile.face"},
        {"C:\\a\\noext", "noext", "", "noext"},
        {"C:/a/b.gif", "b.gif", "gif", "b"},
        {"plain.jpg", "plain.jpg", "jpg", "plain"},
        {"", "", "", ""},
    };
    for (const Row& r : rows) {
        CFileDialog dlg(TRUE, NULL, r.path);
        EXPECT_STREQ(dlg.GetPathName(), r.path) << r.path;
        EXPECT_STREQ(dlg.GetFileName(), r.name) << r.path;
        EXPECT_STREQ(dlg.GetFileExt(), r.ext) << r.path;
        EXPECT_STREQ(dlg.GetFileTitle(), r.title) << r.path;
    }
}

TEST(CommonDialog, FilterSeparatorsBecomeZeroCharacters)
{
    CFileDialog dlg(TRUE, NULL, NULL, 0, "Pictures|*.png;*.gif|All|*.*||");
    const char* p = dlg.m_ofn.lpstrFilter;
    const char* expected[] = {"Pictures", "*.png;*.gif", "All", "*.*"};
    for (const char* e : expected) {
        EXPECT_STREQ(p, e);
        p += strlen(p) + 1;
    }
    EXPECT_EQ(*p, '\0') << "the list ends with an empty entry";
    EXPECT_TRUE(dlg.m_ofn.Flags & OFN_EXPLORER);
    EXPECT_TRUE(dlg.m_ofn.Flags & OFN_ENABLEHOOK);
}
