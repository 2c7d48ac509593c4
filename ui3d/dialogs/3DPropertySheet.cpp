#include "ui3d/dialogs/3DPropertySheet.h"

#include "services/Languages.h"
#include "services/Messages.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/drawing/DialogTemplate.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Language entries of the buttons.
const int kStrOK = 497;
const int kStrCancel = 492;
const int kStrNext = 527;
const int kStrBack = 528;
const int kStrFinish = 529;

// The sheet's own template: a captioned popup with a system menu, 320 x 200
// dialog units; OnInitDialogEx sizes it to its pages.
const DWORD kSheetStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
const UINT kFirstFreeId = 1000;

const int kMargin = 7;
const int kButtonWidth = 81;
const int kButtonHeight = 23;

void SetTextIfChanged(HWND hWnd, LPCSTR pszText)
{
    char szOld[256];
    ::GetWindowTextA(hWnd, szOld, sizeof(szOld));
    if (lstrcmpA(szOld, pszText) != 0)
        ::SetWindowTextA(hWnd, pszText);
}

// Moves a child by (dx, dy) within its parent.
void OffsetChild(HWND hWnd, int dx, int dy)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(NULL, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    ::SetWindowPos(hWnd, NULL, rc.left + dx, rc.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

C3DPropertySheet::C3DPropertySheet(const BODYSTYLE* pBodyStyle, int bFade, const PROPSHEETARGS& args)
    : C3DDialog(NULL, bFade, pBodyStyle, TRUE, args.pToolTipStyle), m_pTemplate(NULL),
      m_nTabHeight(args.nTabHeight), m_nImage1(args.nImage1), m_nImage2(args.nImage2),
      m_bWizard(args.bWizard), m_nCurrentPage(-1)
{
    ::SetRectEmpty(&m_rcPageArea);
    for (const UINT* p = args.pPageIds; p != NULL && *p != 0; p++)
        m_PageIds.Add(*p);
    for (const LPCSTR* pp = args.ppTitles; pp != NULL && *pp != NULL; pp++)
        m_Titles.Add(CString(*pp));
    if (args.pTabLook != NULL)
        m_TabLook = *args.pTabLook;
    const RECT rc = {0, 0, 320, 200};
    UINT cb = 0;
    if (BuildDialogTemplate(rc, kSheetStyle, "", &m_pTemplate, &cb))
        InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(m_pTemplate), args.pParent);
}

C3DPropertySheet::~C3DPropertySheet()
{
    free(m_pTemplate);
}

// --- building the pages --------------------------------------------------------

BOOL C3DPropertySheet::OnInitDialogEx()
{
    const int T = m_bWizard ? 0 : m_nTabHeight;
    const int A = m_bWizard ? 0 : 2;
    int W = 0, H = 0;
    CreatePages(&W, &H);
    for (int i = 0; i < m_Titles.GetSize() && i < m_Pages.GetSize(); i++)
        m_Pages[i].strTitle = m_Titles[i];

    C3DStatic* pImage = NULL;
    int S = 0;
    if (m_nImage1 != 0) {
        const RECT rc = {kMargin, kMargin, kMargin, kMargin};
        pImage = CreateImageStatic(m_nImage1, m_nImage2, "Gif", rc, this, GetFreeCtrlId());
        if (pImage != NULL) {
            RECT rcImage;
            pImage->GetWindowRect(&rcImage);
            S = kMargin + rcImage.right - rcImage.left;
        }
    }

    const int L = S + kMargin;
    const RECT rcTabs = {L, 8, L + W, T + 8};
    const RECT rcFrame = {L, T + 8, L + W, T + H + A + 8};
    m_rcPageArea = rcFrame;

    RECT rcWnd = {0, 0, S + W + 2 * kMargin, T + H + A + 49};
    ::AdjustWindowRectEx(&rcWnd, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(static_cast<HWND>(NULL), 0, 0, rcWnd.right - rcWnd.left, rcWnd.bottom - rcWnd.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (pImage != NULL) {
        RECT rcClient, rcImage;
        GetClientRect(&rcClient);
        pImage->GetWindowRect(&rcImage);
        const int cy = rcImage.bottom - rcImage.top;
        pImage->SetWindowPos(static_cast<HWND>(NULL), kMargin, (rcClient.bottom - cy) / 2, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    for (int i = 0; i < m_Pages.GetSize(); i++) {
        for (int j = 0; j < m_Pages[i].controls.GetSize(); j++)
            OffsetChild(m_Pages[i].controls[j], L, T + A + 8);
    }
    CreateGroupBox("", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, rcFrame, this, GetFreeCtrlId());

    if (m_bWizard) {
        for (int i = 0; i < m_Pages.GetSize(); i++)
            m_Pages[i].nTabId = i + 1;
        m_nCurrentPage = 0;
    } else {
        CreateTabs(rcTabs);
    }
    CreateButtons(L, L + W, T + H + A + 18);
    // In the Tab cycle the strip comes just before the page's first control
    // (Shift+Tab from there reaches it); last in the window order, it lets
    // the dialog open in the page, not on the strip.
    if (m_TabSel.m_hWnd != NULL)
        ::SetWindowPos(m_TabSel.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (m_bWizard)
        UpdateWizardButtons();
    OnInitSheet();
    return TRUE;
}

void C3DPropertySheet::CreatePages(int* pnWidth, int* pnHeight)
{
    m_Pages.RemoveAll();
    const HFONT hFont = GetFont();
    for (int n = 0; n < m_PageIds.GetSize(); n++) {
        CDialog page;
        if (!page.Create(m_PageIds[n], this))
            continue;  // a page that cannot be made has neither controls nor a tab
        RECT rc;
        page.GetClientRect(&rc);
        if (rc.right > *pnWidth)
            *pnWidth = rc.right;
        if (rc.bottom > *pnHeight)
            *pnHeight = rc.bottom;

        // The page is never shown, so its children are not "visible" to
        // IsWindowVisible: what counts is their own style.
        PAGECTRLS ctrls;
        for (HWND h = ::GetWindow(page.m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
            const int nId = ::GetDlgCtrlID(h);
            if ((::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) && nId != IDOK && nId != IDCANCEL)
                ctrls.controls.Add(h);
        }
        const BOOL bFirst = m_Pages.GetSize() == 0;
        for (int i = 0; i < ctrls.controls.GetSize(); i++) {
            HWND h = ctrls.controls[i];
            ::SetParent(h, m_hWnd);
            // SetParent puts the window on top of its new siblings; the
            // bottom keeps the template's tab order across the pages.
            ::SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
            if (!bFirst)
                ::ShowWindow(h, SW_HIDE);
        }
        page.GetWindowText(ctrls.strTitle);
        page.DestroyWindow();
        m_Pages.Add(ctrls);
    }
}

void C3DPropertySheet::CreateTabs(const RECT& rcTabs)
{
    LOGFONTA lf;
    const HFONT hFont = GetFont();
    if (hFont == NULL || ::GetObjectA(hFont, sizeof(lf), &lf) != sizeof(lf))
        ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    m_TabSel.m_Look = m_TabLook;
    m_TabSel.m_Look.font = lf;
    // The sheet may run again: the strip object keeps the tabs of the last run.
    m_TabSel.RemoveAllTabs();
    // A tab stop, as the system's sheet has its tab control (placed last in
    // the window order once the buttons exist).
    if (!m_TabSel.CreateControl(rcTabs, this, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP))
        return;
    const int nLast = m_Pages.GetSize() - 1;
    for (int i = 0; i <= nLast; i++)
        m_Pages[i].nTabId = m_TabSel.InsertTab(-1, m_Pages[i].strTitle, 0, i == nLast);
}

void C3DPropertySheet::CreateButtons(int xLeft, int xRight, int y)
{
    // As a sheet has them: at the bottom right, ending under the page frame's
    // right edge, 4 dialog units apart; from the frame's left edge on when
    // the pages are narrower than the row.
    struct BUTTON
    {
        UINT nId;
        int nString;
    };
    const BUTTON tabButtons[] = {{IDOK, kStrOK}, {IDCANCEL, kStrCancel}};
    const BUTTON wizardButtons[] = {{IDC_SHEET_BACK, kStrBack}, {IDC_SHEET_NEXT, kStrNext}, {IDCANCEL, kStrCancel}};
    const BUTTON* pButtons = m_bWizard ? wizardButtons : tabButtons;
    const int nCount = m_bWizard ? 3 : 2;
    RECT rcGap = {0, 0, 4, 0};
    MapDialogRect(&rcGap);
    const int nGap = rcGap.right;
    // OK, or in a wizard Next (Finish on the last page), is the default
    // button: Enter on a page control presses it.
    const UINT nDefault = m_bWizard ? IDC_SHEET_NEXT : IDOK;
    const HFONT hFont = GetFont();
    int x = std::max(xLeft, xRight - nCount * kButtonWidth - (nCount - 1) * nGap);
    for (int i = 0; i < nCount; i++, x += kButtonWidth + nGap) {
        const RECT rc = {x, y, x + kButtonWidth, y + kButtonHeight};
        const DWORD dwType = pButtons[i].nId == nDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        C3DButton* pButton = CreatePushButton(GetLangString(pButtons[i].nString),
                                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | dwType, rc, this,
                                              pButtons[i].nId);
        if (pButton != NULL)
            pButton->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    }
    SetDefID(nDefault);
}

// --- after replacement -----------------------------------------------------------

void C3DPropertySheet::OnInitControls()
{
    // Statics and group boxes were replaced by new windows: the page lists
    // must name those, or the new ones would never be hidden or shown.
    for (int i = 0; i < m_Pages.GetSize(); i++) {
        CSequence<HWND>& controls = m_Pages[i].controls;
        for (int j = 0; j < controls.GetSize(); j++) {
            for (int k = 0; k < m_ReplacedControls.GetSize(); k++) {
                if (m_ReplacedControls[k].hWndOld == controls[j]) {
                    controls[j] = m_ReplacedControls[k].hWndNew;
                    break;
                }
            }
        }
    }
    OnInitPageControls();
    PutPageToolTips(GetActivePage());
}

HWND C3DPropertySheet::FirstPageControl() const
{
    // The tab stops of the page on show follow the strip (the last window;
    // in a wizard, which has none, they lead the dialog); hidden pages are
    // skipped by the dialog manager.
    HWND hFrom = m_TabSel.m_hWnd != NULL && ::IsWindowVisible(m_TabSel.m_hWnd) ? m_TabSel.m_hWnd : NULL;
    HWND hFirst = ::GetNextDlgTabItem(m_hWnd, hFrom, FALSE);
    return hFirst != m_TabSel.m_hWnd ? hFirst : NULL;
}

// Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp
// to the previous one, round from the last to the first, wherever the focus is.
void C3DPropertySheet::StepPage(int nDirection)
{
    const int nCount = m_TabSel.GetTabCount();
    const int nSel = m_TabSel.GetSelectedIndex();
    if (nCount < 2 || nSel < 0)
        return;
    const int nNew = (nSel + nDirection + nCount) % nCount;
    m_TabSel.SelectTab(m_TabSel.GetTabAt(nNew).nId);
}

BOOL C3DPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && !m_bWizard && m_TabSel.m_hWnd != NULL && m_nFadeState == 0 &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)) && ::GetKeyState(VK_CONTROL) < 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
        const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
        switch (pMsg->wParam) {
        case VK_TAB:
            StepPage(bShift ? -1 : 1);
            return TRUE;
        case VK_NEXT:
            StepPage(1);
            return TRUE;
        case VK_PRIOR:
            StepPage(-1);
            return TRUE;
        }
    }
    return C3DDialog::PreTranslateMessage(pMsg);
}

int C3DPropertySheet::AddPageTool(LPCSTR pszText, UINT nCtrlId, LPCSTR pszTitle)
{
    for (int i = 0; i < m_Pages.GetSize(); i++) {
        const CSequence<HWND>& controls = m_Pages[i].controls;
        for (int j = 0; j < controls.GetSize(); j++) {
            if (static_cast<UINT>(::GetDlgCtrlID(controls[j])) != nCtrlId)
                continue;
            ADDTOOLINPUT tool;
            tool.strText = pszText != NULL ? pszText : "";
            tool.nCtrlId = nCtrlId;
            tool.strTitle = pszTitle != NULL ? pszTitle : "";
            m_Pages[i].tools.Add(tool);
            return 1;
        }
    }
    return 0;
}

void C3DPropertySheet::PutPageToolTips(int nPage)
{
    if (m_ToolTip.m_hWnd != NULL)
        m_ToolTip.DestroyWindow();
    if (m_bHasToolTip)
        m_ToolTip.Create(this, TTS_ALWAYSTIP);
    if (nPage < 0 || nPage >= m_Pages.GetSize() || m_ToolTip.m_hWnd == NULL)
        return;
    const CSequence<ADDTOOLINPUT>& tools = m_Pages[nPage].tools;
    for (int i = tools.GetSize() - 1; i >= 0; i--) {
        const ADDTOOLINPUT& t = tools[i];
        m_ToolTip.AddTool(t.strText, t.nCtrlId, t.bHasArea ? &t.rcArea : NULL, t.strTitle, t.clrText, t.clrBack);
    }
}

// --- pages ----------------------------------------------------------------------------

UINT C3DPropertySheet::GetFreeCtrlId() const
{
    for (UINT nId = kFirstFreeId; nId <= 0xFFFE; nId++) {
        if (FindPageByControlId(nId) < 0)
            return nId;
    }
    return 0;
}

int C3DPropertySheet::FindPageByControlId(UINT nId) const
{
    for (int i = 0; i < m_Pages.GetSize(); i++) {
        const CSequence<HWND>& controls = m_Pages[i].controls;
        for (int j = 0; j < controls.GetSize(); j++) {
            if (static_cast<UINT>(::GetDlgCtrlID(controls[j])) == nId)
                return i;
        }
    }
    return -1;
}

int C3DPropertySheet::FindPageByTabId(int nTabId) const
{
    for (int i = 0; i < m_Pages.GetSize(); i++) {
        if (m_Pages[i].nTabId == nTabId)
            return i;
    }
    return -1;
}

int C3DPropertySheet::GetActivePage() const
{
    if (m_bWizard)
        return m_nCurrentPage >= 0 && m_nCurrentPage < m_Pages.GetSize() ? m_nCurrentPage : -1;
    return m_TabSel.m_hWnd != NULL ? FindPageByTabId(m_TabSel.GetSelectedId()) : -1;
}

LRESULT C3DPropertySheet::OnTabSelChanged(int nNewId, int nOldId)
{
    const int nNew = FindPageByTabId(nNewId);
    const int nOld = FindPageByTabId(nOldId);
    HWND hFocus = ::GetFocus();
    BOOL bFocusLeaves = FALSE;
    // Redraw is switched off only while the sheet shows: WM_SETREDRAW TRUE
    // would make a hidden sheet visible.
    const BOOL bLock = IsWindowVisible();
    if (bLock)
        SendMessage(WM_SETREDRAW, FALSE, 0);
    if (nOld >= 0) {
        const CSequence<HWND>& controls = m_Pages[nOld].controls;
        for (int i = 0; i < controls.GetSize(); i++) {
            if (hFocus != NULL && (hFocus == controls[i] || ::IsChild(controls[i], hFocus)))
                bFocusLeaves = TRUE;
            ::ShowWindow(controls[i], SW_HIDE);
        }
    }
    if (nNew >= 0) {
        const CSequence<HWND>& controls = m_Pages[nNew].controls;
        for (int i = 0; i < controls.GetSize(); i++)
            ::ShowWindow(controls[i], SW_SHOW);
    }
    if (bLock)
        SendMessage(WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(m_hWnd, &m_rcPageArea, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN);
    // Keys typed into a hidden control would go nowhere the user can see.
    if (bFocusLeaves) {
        HWND hNext = FirstPageControl();
        if (hNext != NULL)
            ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hNext), TRUE);
    }
    PutPageToolTips(nNew);
    return 0;
}

// --- wizard ----------------------------------------------------------------------------

void C3DPropertySheet::NextPage()
{
    if (m_nCurrentPage >= m_Pages.GetSize() - 1) {
        OnOK();
        return;
    }
    const int nOld = m_nCurrentPage++;
    SendMessage(WM_TABSELCHANGED, m_Pages[m_nCurrentPage].nTabId, nOld >= 0 ? m_Pages[nOld].nTabId : 0);
    UpdateWizardButtons();
}

void C3DPropertySheet::PrevPage()
{
    if (m_nCurrentPage <= 0)
        return;
    const int nOld = m_nCurrentPage--;
    SendMessage(WM_TABSELCHANGED, m_Pages[m_nCurrentPage].nTabId, m_Pages[nOld].nTabId);
    UpdateWizardButtons();
}

void C3DPropertySheet::UpdateWizardButtons()
{
    HWND hBack = ::GetDlgItem(m_hWnd, IDC_SHEET_BACK);
    if (hBack != NULL)
        ::EnableWindow(hBack, m_nCurrentPage != 0);
    HWND hNext = ::GetDlgItem(m_hWnd, IDC_SHEET_NEXT);
    if (hNext == NULL)
        hNext = ::GetDlgItem(m_hWnd, IDOK);
    if (hNext == NULL)
        return;
    // The button's id follows the page, not its text: where the language
    // gives Next and Finish one text (both missing, say), a comparison of
    // texts would leave the last page without a way to finish.
    const BOOL bLast = m_nCurrentPage >= m_Pages.GetSize() - 1;
    SetTextIfChanged(hNext, GetLangString(bLast ? kStrFinish : kStrNext));
    ::SetWindowLongPtrA(hNext, GWLP_ID, bLast ? IDOK : IDC_SHEET_NEXT);
    SetDefID(bLast ? IDOK : IDC_SHEET_NEXT);
}

BOOL C3DPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_bWizard && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDC_SHEET_BACK)
            PrevPage();
        else if (LOWORD(wParam) == IDC_SHEET_NEXT)
            NextPage();
    }
    return C3DDialog::OnCommand(wParam, lParam);
}

LRESULT C3DPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TABSELCHANGED)
        return OnTabSelChanged(static_cast<int>(wParam), static_cast<int>(lParam));
    return C3DDialog::WindowProc(message, wParam, lParam);
}
