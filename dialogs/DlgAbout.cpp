#include "dialogs/DlgAbout.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "resources/resource.h"
#include "skins/Skin.h"

#include <string.h>

namespace {

const char kHttp[] = "http://";
const char kHttps[] = "https://";

CString ItemText(HWND hDlg, int nId)
{
    CString str;
    const HWND hItem = ::GetDlgItem(hDlg, nId);
    if (hItem == NULL)
        return str;
    const int nLength = ::GetWindowTextLengthA(hItem);
    char* p = str.GetBuffer(nLength + 1);
    ::GetWindowTextA(hItem, p, nLength + 1);
    str.ReleaseBuffer();
    return str;
}

RECT ChildRect(HWND hDlg, HWND hChild)
{
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

CString MakeWebAddress(LPCSTR pszLinkText)
{
    CString str(pszLinkText);
    if (_strnicmp(str, kHttp, sizeof(kHttp) - 1) != 0 && _strnicmp(str, kHttps, sizeof(kHttps) - 1) != 0)
        str = CString(kHttp) + str;
    return str;
}

CString MakeMailAddress(LPCSTR pszLinkText)
{
    return CString("mailto:") + pszLinkText + "?subject=Tarvenex";
}


CDlgAbout::CDlgAbout(CWnd* pParent)
    : C3DDialog(IDD_ABOUT, pParent, NULL, g_Settings.FadeDialogs, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL,
                NULL),
      m_hCredits(NULL)
{
}

CDlgAbout::~CDlgAbout() {}

BOOL CDlgAbout::OnInitDialogEx()
{
    SetWindowText(GetLangString(361));
    ::SetDlgItemTextA(m_hWnd, IDC_ABOUT_WEB_LABEL, GetLangString(240));
    ::SetDlgItemTextA(m_hWnd, IDC_ABOUT_MAIL_LABEL, GetLangString(241));
    ::SetDlgItemTextA(m_hWnd, IDC_ABOUT_COPYRIGHT, GetLangString(117));

    m_hCredits = ::GetDlgItem(m_hWnd, IDC_ABOUT_CREDITS);
    if (m_hCredits != NULL) {
        ::SetWindowTextA(m_hCredits, GetLangString(362));
        const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongA(m_hCredits, GWL_STYLE));
        if ((dwStyle & ES_MULTILINE) && (dwStyle & ES_READONLY) && !(dwStyle & WS_VSCROLL)) {
            // Along the edit's right side, as tall as the edit.
            const RECT rc = ChildRect(m_hWnd, m_hCredits);
            const int placement[3] = {rc.right, rc.top, rc.bottom - rc.top};
            if (m_ScrollBar.Create(FALSE, g_pSkin != NULL ? &g_pSkin->m_dlgScrollStyle : NULL, 0, this, 0,
                                   placement))
                UpdateScrollRange();
        }
    }

    const HWND hPlace = ::GetDlgItem(m_hWnd, IDC_ABOUT_PICTURE);
    if (hPlace != NULL) {
        const RECT rc = ChildRect(m_hWnd, hPlace);
        ::DestroyWindow(hPlace);
        CreateImageStatic(IDG_ABOUT_PICTURE, IDG_ABOUT_PICTURE_MASK, "Gif", rc, this, IDC_ABOUT_PICTURE);
    }
    return TRUE;
}

void CDlgAbout::OnInitControls()
{
    // The skinned edit sets its own formatting rectangle, which may wrap the
    // credits into other lines.
    UpdateScrollRange();
    // The box opens with OK focused, the credits at their first line.
    ::SetFocus(::GetDlgItem(m_hWnd, IDOK));
}

int CDlgAbout::GetVisibleLines() const
{
    RECT rc = {0, 0, 0, 0};
    ::SendMessageA(m_hCredits, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    TEXTMETRICA tm;
    const HDC hDC = ::GetDC(m_hCredits);
    const HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(m_hCredits, WM_GETFONT, 0, 0));
    const HGDIOBJ hOld = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
    const BOOL bMetrics = ::GetTextMetricsA(hDC, &tm);
    if (hOld != NULL)
        ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hCredits, hDC);
    if (!bMetrics || tm.tmHeight <= 0)
        return 0;
    return (rc.bottom - rc.top) / tm.tmHeight;
}

void CDlgAbout::UpdateScrollRange()
{
    if (m_ScrollBar.m_hWnd == NULL || m_hCredits == NULL)
        return;
    const int nLines = static_cast<int>(::SendMessageA(m_hCredits, EM_GETLINECOUNT, 0, 0));
    const int nVisible = GetVisibleLines();
    int nMax = nLines > nVisible ? nLines : nVisible;
    if (nMax < 1)
        nMax = 1;
    SCROLLINFO si = {sizeof(si), SIF_ALL, 0, nMax, static_cast<UINT>(nVisible), 0, 0};
    m_ScrollBar.SetScrollInfo(&si);
    if (nLines <= nVisible) {
        m_ScrollBar.EnableScrollBar(ESB_DISABLE_BOTH);
        m_ScrollBar.EnableWindow(FALSE);
        m_ScrollBar.RedrawParts(SBP_ALL, m_ScrollBar.GetThumbOffset());
        return;
    }
    m_ScrollBar.EnableWindow(TRUE);
    m_ScrollBar.RedrawParts(SBP_ALL, m_ScrollBar.GetThumbOffset());
    const int nFirst = static_cast<int>(::SendMessageA(m_hCredits, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int nLast = m_ScrollBar.GetLastPos();
    ShowScrollPos(nFirst < 0 ? 0 : (nFirst > nLast ? nLast : nFirst));
}

void CDlgAbout::ShowScrollPos(int nPos)
{
    m_ScrollBar.SetScrollPos(nPos);
    const int nLast = m_ScrollBar.GetLastPos();
    const int nWanted = (nPos > 0 ? SBA_FIRST : 0) | (nPos < nLast ? SBA_SECOND : 0);
    const int nHave = m_ScrollBar.GetArrowBits() & (SBA_FIRST | SBA_SECOND);
    if (nWanted == nHave)
        return;
    if (nWanted == 0) {
        m_ScrollBar.EnableScrollBar(ESB_DISABLE_BOTH);
        return;
    }
    if (nWanted & ~nHave)
        m_ScrollBar.EnableScrollBar(ESB_ENABLE_BOTH);
    if (!(nWanted & SBA_FIRST))
        m_ScrollBar.EnableScrollBar(ESB_DISABLE_LTUP);
    if (!(nWanted & SBA_SECOND))
        m_ScrollBar.EnableScrollBar(ESB_DISABLE_RTDN);
}

void CDlgAbout::OnVScroll(int nCode, int nTrackPos)
{
    if (m_ScrollBar.m_hWnd == NULL || m_hCredits == NULL)
        return;
    const int nPos = m_ScrollBar.GetPos();
    const int nPage = m_ScrollBar.GetPage();
    int nLast = m_ScrollBar.GetLastPos();
    if (nLast < 0)
        nLast = 0;
    int nTarget;
    switch (nCode) {
    case SB_LINEUP: nTarget = nPos - 1; break;
    case SB_LINEDOWN: nTarget = nPos + 1; break;
    case SB_PAGEUP: nTarget = nPos - nPage; break;
    case SB_PAGEDOWN: nTarget = nPos + nPage; break;
    case SB_THUMBTRACK: nTarget = nTrackPos; break;
    case SB_TOP: nTarget = 0; break;
    case SB_BOTTOM: nTarget = nLast; break;
    default: return;  // SB_THUMBPOSITION follows the tracking; SB_ENDSCROLL
    }
    if (nTarget < 0)
        nTarget = 0;
    if (nTarget > nLast)
        nTarget = nLast;
    const int nFirst = static_cast<int>(::SendMessageA(m_hCredits, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (nTarget != nFirst) {
        ::SendMessageA(m_hCredits, EM_LINESCROLL, 0, nTarget - nFirst);
        ::InvalidateRect(m_hCredits, NULL, TRUE);
        ::UpdateWindow(m_hCredits);
    }
    ShowScrollPos(nTarget);
}

void CDlgAbout::OpenWebLink()
{
    const CString strAddress = MakeWebAddress(ItemText(m_hWnd, IDC_ABOUT_WEB));
    OpenWebPage(m_hWnd, strAddress);
}

void CDlgAbout::OpenMailLink()
{
    g_pfnShellExecute(m_hWnd, "open", MakeMailAddress(ItemText(m_hWnd, IDC_ABOUT_MAIL)), NULL, NULL,
                      SW_SHOWNORMAL);
}

BOOL CDlgAbout::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int nId = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    if (lParam != 0) {
        if (nId == IDC_ABOUT_CREDITS && nCode == EN_VSCROLL) {
            if (m_ScrollBar.m_hWnd != NULL && m_ScrollBar.IsWindowEnabled()) {
                int nFirst = static_cast<int>(::SendMessageA(m_hCredits, EM_GETFIRSTVISIBLELINE, 0, 0));
                const int nLast = m_ScrollBar.GetLastPos();
                if (nFirst > nLast)
                    nFirst = nLast;
                ShowScrollPos(nFirst < 0 ? 0 : nFirst);
            }
            return TRUE;
        }
        if (nId == IDC_ABOUT_WEB && nCode == BN_CLICKED) {
            OpenWebLink();
            return TRUE;
        }
        if (nId == IDC_ABOUT_MAIL && nCode == BN_CLICKED) {
            OpenMailLink();
            return TRUE;
        }
    }
    return C3DDialog::OnCommand(wParam, lParam);
}

LRESULT CDlgAbout::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_VSCROLL:
        if (m_ScrollBar.m_hWnd != NULL && reinterpret_cast<HWND>(lParam) == m_ScrollBar.m_hWnd) {
            OnVScroll(LOWORD(wParam), HIWORD(wParam));
            return 0;
        }
        break;
    case WM_DESTROY:
        // The bar first: it belongs to this object, not to the skinned
        // controls the base tears down.
        if (m_ScrollBar.m_hWnd != NULL)
            m_ScrollBar.DestroyWindow();
        break;
    }
    return C3DDialog::WindowProc(message, wParam, lParam);
}
