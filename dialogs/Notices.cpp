#include "dialogs/Notices.h"

#include "collection/ImgCache.h"
#include "fields/Fields.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "services/TickCount.h"
#include "skins/Skin.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/system/SysUtils.h"

CSequence<CDlgTurnOnEudoraSupport*> g_EudoraNotices;
CSequence<CDlgWarnAppHtmlIsOff*> g_HtmlOffNotices;
CSequence<CDlgWarnNoInetForMail*> g_NoInetNotices;
CSequence<CDlgWarnUnsupportedApp*> g_UnsupportedNotices;

namespace {

// A notice that comes back sooner than this after the last one of its kind
// was made is not raised again: a program asks for several formats in a row.
const DWORD kRaiseInterval = 2000;

DWORD s_nLastHtmlOffTick = 0;
DWORD s_nLastUnsupportedTick = 0;

const POINT kOnDesktop = {-1, -1};

template <class T> void Unlist(CSequence<T*>& list, T* p)
{
    for (int i = list.GetSize() - 1; i >= 0; i--) {
        if (list[i] == p) {
            list.RemoveAt(i);
            return;
        }
    }
}

template <class T> T* Newest(CSequence<T*>& list)
{
    return list.GetSize() > 0 ? list[list.GetSize() - 1] : NULL;
}

void Raise(HWND hWnd)
{
    FlashWindowBriefly(hWnd);
    ::SetForegroundWindow(hWnd);
}

// Raises the newest open notice of a single kind; FALSE when none is listed.
template <class T> BOOL RaiseOpen(CSequence<T*>& list)
{
    T* pOpen = Newest(list);
    if (pOpen == NULL)
        return FALSE;
    if (pOpen->m_hWnd != NULL && ::IsWindow(pOpen->m_hWnd))
        Raise(pOpen->m_hWnd);
    return TRUE;
}

// A modeless notice owns itself once its window exists; one that never got
// a window is deleted here.
template <class T> void CreateNotice(T* pNotice, UINT nIDTemplate, CWnd* pParent)
{
    if (!pNotice->Create(nIDTemplate, pParent) && pNotice->m_hWnd == NULL)
        delete pNotice;
}

// Raises the newest notice when it has the key; TRUE when the key matched.
template <class T> BOOL RaiseSameKey(CSequence<T*>& list, const CString& strNewestKey, LPCSTR pszKey,
                                     DWORD nLastTick)
{
    T* pOpen = Newest(list);
    if (pOpen == NULL || strNewestKey.CompareNoCase(pszKey != NULL ? pszKey : "") != 0)
        return FALSE;
    if (pOpen->m_hWnd != NULL && ::IsWindow(pOpen->m_hWnd) && g_pfnGetTickCount() - nLastTick > kRaiseInterval)
        Raise(pOpen->m_hWnd);
    return TRUE;
}

CString FillAppName(int nString, LPCSTR pszAppName, int nMax)
{
    CString str;
    FormatTemplate(str.GetBuffer(nMax), nMax, GetLangString(nString), "[APPNAME]", "%s", pszAppName, NULL);
    str.ReleaseBuffer();
    return str;
}

}  // namespace

// --- the shared base ---------------------------------------------------------------

IMPLEMENT_DYNAMIC(CNoticeDialog, C3DDialog)

CNoticeDialog::CNoticeDialog(UINT nIDTemplate, CWnd* pParent, const POINT* pPos)
    : C3DDialog(nIDTemplate, pParent, pPos, g_Settings.FadeDialogs, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL,
                g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL)
{
}

C3DStatic* CNoticeDialog::CreateNoticePicture()
{
    const HWND hPlace = ::GetDlgItem(m_hWnd, IDC_NOTICE_PICTURE);
    if (hPlace == NULL)
        return NULL;
    RECT rc;
    ::GetWindowRect(hPlace, &rc);
    ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    ::DestroyWindow(hPlace);
    return CreateImageStatic(IDG_MSGBOX_NOTICE, IDG_MSGBOX_NOTICE_MASK, "Gif", rc, this, IDC_NOTICE_PICTURE);
}

void CNoticeDialog::AddCheckTool(UINT nId, int nText, int nTitle)
{
    if (m_ToolTip.m_hWnd == NULL)
        return;
    const TOOLTIPSTYLE& style = m_ToolTip.GetStyle();
    m_ToolTip.AddTool(GetLangString(nText), nId, NULL, GetLangString(nTitle), style.clrText, style.clrBack);
}

BOOL CNoticeDialog::OkWillClose() const
{
    // As in every skinned dialog, Enter reaches OK (the default button) from
    // a check box too; only Enter in an edit does not close.
    if (m_nFadeState != 0 || ::GetDlgItem(m_hWnd, IDOK) == NULL)
        return FALSE;
    const HWND hFocus = ::GetFocus();
    char szClass[16] = "";
    return !(IsOwnControl(hFocus) && ::GetClassNameA(hFocus, szClass, sizeof(szClass)) > 0 &&
             lstrcmpiA(szClass, "Edit") == 0);
}

// --- Eudora support ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDlgTurnOnEudoraSupport, CNoticeDialog)

CDlgTurnOnEudoraSupport::CDlgTurnOnEudoraSupport(CWnd* pParent)
    : CNoticeDialog(IDD_TURNONEUDORA, pParent, &kOnDesktop), m_nCheck(g_Settings.EudoraOnly),
      m_nInitialCheck(g_Settings.EudoraOnly)
{
    g_EudoraNotices.Add(this);
}

CDlgTurnOnEudoraSupport::~CDlgTurnOnEudoraSupport()
{
    Unlist(g_EudoraNotices, this);
}

BOOL CDlgTurnOnEudoraSupport::OnInitDialogEx()
{
    SetWindowText(GetLangString(211));
    SetDlgItemText(IDC_EUDORA_TEXT1, GetLangString(213));
    SetDlgItemText(IDC_EUDORA_TEXT2, GetLangString(214));
    SetDlgItemText(IDC_EUDORA_CHECK, GetLangString(212));
    CreateNoticePicture();
    return TRUE;
}

void CDlgTurnOnEudoraSupport::OnInitControls()
{
    AddCheckTool(IDC_EUDORA_CHECK, 311, 310);
}

void CDlgTurnOnEudoraSupport::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_EUDORA_CHECK, m_nCheck);
}

void CDlgTurnOnEudoraSupport::OnOK()
{
    if (!OkWillClose())
        return;
    UpdateData(TRUE);
    if (m_nCheck != m_nInitialCheck) {
        g_Settings.EudoraOnly = m_nCheck;
        // Eudora takes still pictures only: animation goes with the support.
        const int nAnimation = !m_nCheck;
        if (g_Settings.SmilieAnimation != nAnimation) {
            g_Settings.SmilieAnimation = nAnimation;
            if (g_pImgCache != NULL)
                g_pImgCache->SetAnimation(nAnimation);
            CFields::RedrawAll();
        }
        SaveSettings(FALSE);
    }
    C3DDialog::OnOK();
}

// --- HTML mail is off --------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDlgWarnAppHtmlIsOff, CNoticeDialog)

CDlgWarnAppHtmlIsOff::CDlgWarnAppHtmlIsOff(LPCSTR pszAppName, LPCSTR pszAdvice, int bSecondParagraph,
                                           CWnd* pParent)
    : CNoticeDialog(IDD_WARNAPPHTMLOFF, pParent, &kOnDesktop), m_strAppName(pszAppName), m_strAdvice(pszAdvice),
      m_bSecondParagraph(bSecondParagraph)
{
    g_HtmlOffNotices.Add(this);
}

CDlgWarnAppHtmlIsOff::~CDlgWarnAppHtmlIsOff()
{
    Unlist(g_HtmlOffNotices, this);
}

CString CDlgWarnAppHtmlIsOff::BuildMessage() const
{
    const int kMax = 1024;
    CString str;
    FormatTemplate(str.GetBuffer(kMax), kMax, GetLangString(560), "[APPNAME]", "%s", m_strAppName.GetString(),
                   "[ADVICE]", "%s", m_strAdvice.GetString(), NULL);
    str.ReleaseBuffer();
    if (m_bSecondParagraph)
        str += "\r\n\r\n" + FillAppName(561, m_strAppName, 512);
    return str;
}

BOOL CDlgWarnAppHtmlIsOff::OnInitDialogEx()
{
    SetWindowText(GetLangString(559));
    SetDlgItemText(IDC_HTMLOFF_TEXT, BuildMessage());
    CreateNoticePicture();
    return TRUE;
}

// --- a program that cannot take smilies -----------------------------------------------------

IMPLEMENT_DYNAMIC(CDlgWarnUnsupportedApp, CNoticeDialog)

CDlgWarnUnsupportedApp::CDlgWarnUnsupportedApp(LPCSTR pszExeName, LPCSTR pszAppName, CWnd* pParent)
    : CNoticeDialog(IDD_WARNUNSUPPORTED, pParent, &kOnDesktop), m_strExeName(pszExeName), m_strAppName(pszAppName)
{
    g_UnsupportedNotices.Add(this);
}

CDlgWarnUnsupportedApp::~CDlgWarnUnsupportedApp()
{
    Unlist(g_UnsupportedNotices, this);
}

BOOL CDlgWarnUnsupportedApp::OnInitDialogEx()
{
    SetWindowText(GetLangString(209));
    SetDlgItemText(IDC_UNSUPPORTED_TEXT, FillAppName(210, m_strAppName, 512));
    CreateNoticePicture();
    return TRUE;
}

// --- no internet connection ---------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDlgWarnNoInetForMail, CNoticeDialog)

CDlgWarnNoInetForMail::CDlgWarnNoInetForMail(CWnd* pParent)
    : CNoticeDialog(IDD_WARNNOINET, pParent, &kOnDesktop), m_nDontShow(!g_Settings.WarnNoInternetConnection),
      m_nInitialDontShow(!g_Settings.WarnNoInternetConnection), m_nLocal(g_Settings.InsertLocalSmilies),
      m_nInitialLocal(g_Settings.InsertLocalSmilies)
{
    g_NoInetNotices.Add(this);
}

CDlgWarnNoInetForMail::~CDlgWarnNoInetForMail()
{
    Unlist(g_NoInetNotices, this);
}

BOOL CDlgWarnNoInetForMail::OnInitDialogEx()
{
    SetWindowText(GetLangString(200));
    SetDlgItemText(IDC_NOINET_TEXT1, GetLangString(202));
    SetDlgItemText(IDC_NOINET_TEXT2, GetLangString(203));
    SetDlgItemText(IDC_NOINET_LOCAL, GetLangString(201));
    SetDlgItemText(IDC_NOINET_DONTSHOW, GetLangString(194));
    CreateNoticePicture();
    return TRUE;
}

void CDlgWarnNoInetForMail::OnInitControls()
{
    AddCheckTool(IDC_NOINET_LOCAL, 309, 308);
    AddCheckTool(IDC_NOINET_DONTSHOW, 195, 194);
}

void CDlgWarnNoInetForMail::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_NOINET_LOCAL, m_nLocal);
    DDX_Check(pDX, IDC_NOINET_DONTSHOW, m_nDontShow);
}

void CDlgWarnNoInetForMail::OnOK()
{
    if (!OkWillClose())
        return;
    UpdateData(TRUE);
    BOOL bChanged = FALSE;
    if (m_nDontShow != m_nInitialDontShow) {
        g_Settings.WarnNoInternetConnection = !m_nDontShow;
        bChanged = TRUE;
    }
    if (m_nLocal != m_nInitialLocal) {
        g_Settings.InsertLocalSmilies = m_nLocal;
        bChanged = TRUE;
    }
    if (bChanged)
        SaveSettings(FALSE);
    C3DDialog::OnOK();
}

// --- the show functions -----------------------------------------------------------------------

void ShowTurnOnEudoraSupport(CWnd* pParent)
{
    if (RaiseOpen(g_EudoraNotices))
        return;
    CreateNotice(new CDlgTurnOnEudoraSupport(pParent), IDD_TURNONEUDORA, pParent);
}

void ShowWarnNoInetForMail(CWnd* pParent)
{
    if (RaiseOpen(g_NoInetNotices))
        return;
    CreateNotice(new CDlgWarnNoInetForMail(pParent), IDD_WARNNOINET, pParent);
}

void ShowWarnAppHtmlIsOff(LPCSTR pszAppName, LPCSTR pszAdvice, int bSecondParagraph, CWnd* pParent)
{
    CDlgWarnAppHtmlIsOff* pOpen = Newest(g_HtmlOffNotices);
    if (pOpen != NULL && RaiseSameKey(g_HtmlOffNotices, pOpen->m_strAppName, pszAppName, s_nLastHtmlOffTick))
        return;
    s_nLastHtmlOffTick = g_pfnGetTickCount();
    CreateNotice(new CDlgWarnAppHtmlIsOff(pszAppName, pszAdvice, bSecondParagraph, pParent), IDD_WARNAPPHTMLOFF,
                 pParent);
}

void ShowWarnUnsupportedApp(LPCSTR pszExeName, LPCSTR pszAppName, CWnd* pParent)
{
    CDlgWarnUnsupportedApp* pOpen = Newest(g_UnsupportedNotices);
    if (pOpen != NULL && RaiseSameKey(g_UnsupportedNotices, pOpen->m_strExeName, pszExeName, s_nLastUnsupportedTick))
        return;
    s_nLastUnsupportedTick = g_pfnGetTickCount();
    CreateNotice(new CDlgWarnUnsupportedApp(pszExeName, pszAppName, pParent), IDD_WARNUNSUPPORTED, pParent);
}

void FreeNoticeLists()
{
    g_EudoraNotices.RemoveAll();
    g_HtmlOffNotices.RemoveAll();
    g_NoInetNotices.RemoveAll();
    g_UnsupportedNotices.RemoveAll();
}
