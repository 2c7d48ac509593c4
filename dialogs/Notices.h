// The notices that tell the user why a smilie did not arrive in another
// program, or what to change so that it arrives. The four here are modeless:
// they may be raised while another program waits for clipboard data, so they
// never block. Each kind keeps a program-wide list of its open notices, and
// its show function raises an open one instead of stacking copies.
#pragma once

#include "collection/Sequence.h"
#include "ui3d/dialogs/3DDialog.h"

// What the notices share: the skin's records, the fade setting, a place on
// the desktop, and the notice picture in place of placeholder 1118.
class CNoticeDialog : public C3DDialog
{
    DECLARE_DYNAMIC(CNoticeDialog)
public:
    // pPos NULL places the notice on its parent, else as C3DDialog does.
    CNoticeDialog(UINT nIDTemplate, CWnd* pParent, const POINT* pPos);

protected:
    // Replaces the placeholder by the notice picture; NULL without one.
    C3DStatic* CreateNoticePicture();
    // A tooltip for a check box (text and title are language strings).
    void AddCheckTool(UINT nId, int nText, int nTitle);
    // Whether the base OnOK is about to close the dialog: no fade runs, and
    // the focus is not in an edit (Enter on a check box presses OK).
    BOOL OkWillClose() const;
};

class CDlgTurnOnEudoraSupport : public CNoticeDialog
{
    DECLARE_DYNAMIC(CDlgTurnOnEudoraSupport)
public:
    explicit CDlgTurnOnEudoraSupport(CWnd* pParent);
    ~CDlgTurnOnEudoraSupport() override;

    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nCheck;
    int m_nInitialCheck;
};

class CDlgWarnAppHtmlIsOff : public CNoticeDialog
{
    DECLARE_DYNAMIC(CDlgWarnAppHtmlIsOff)
public:
    CDlgWarnAppHtmlIsOff(LPCSTR pszAppName, LPCSTR pszAdvice, int bSecondParagraph, CWnd* pParent);
    ~CDlgWarnAppHtmlIsOff() override;

    BOOL OnInitDialogEx() override;
    // The text of static 1143.
    CString BuildMessage() const;

    CString m_strAppName;   // the list key
    CString m_strAdvice;
    int m_bSecondParagraph;
};

class CDlgWarnUnsupportedApp : public CNoticeDialog
{
    DECLARE_DYNAMIC(CDlgWarnUnsupportedApp)
public:
    CDlgWarnUnsupportedApp(LPCSTR pszExeName, LPCSTR pszAppName, CWnd* pParent);
    ~CDlgWarnUnsupportedApp() override;

    BOOL OnInitDialogEx() override;

    CString m_strExeName;   // the list key
    CString m_strAppName;   // shown
};

class CDlgWarnNoInetForMail : public CNoticeDialog
{
    DECLARE_DYNAMIC(CDlgWarnNoInetForMail)
public:
    explicit CDlgWarnNoInetForMail(CWnd* pParent);
    ~CDlgWarnNoInetForMail() override;

    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nDontShow;            // box 1035
    int m_nInitialDontShow;
    int m_nLocal;               // box 1031
    int m_nInitialLocal;
};

// The open notices of each kind, oldest first.
extern CSequence<CDlgTurnOnEudoraSupport*> g_EudoraNotices;
extern CSequence<CDlgWarnAppHtmlIsOff*> g_HtmlOffNotices;
extern CSequence<CDlgWarnNoInetForMail*> g_NoInetNotices;
extern CSequence<CDlgWarnUnsupportedApp*> g_UnsupportedNotices;

// The show functions; each returns at once.
void ShowTurnOnEudoraSupport(CWnd* pParent);
void ShowWarnNoInetForMail(CWnd* pParent);
// The same key (compared without regard to case) as the newest open notice
// raises that one, and only when more than 2000 ms passed since the last
// notice of the kind was made; another key opens a new notice.
void ShowWarnAppHtmlIsOff(LPCSTR pszAppName, LPCSTR pszAdvice, int bSecondParagraph, CWnd* pParent);
void ShowWarnUnsupportedApp(LPCSTR pszExeName, LPCSTR pszAppName, CWnd* pParent);

// Frees the lists at the program's end (the notices themselves went with
// their windows).
void FreeNoticeLists();
