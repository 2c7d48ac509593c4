#include "dialogs/DlgTip.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "dialogs/TipCtrl.h"
#include "resources/resource.h"
#include "skins/Skin.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDlgTip, C3DDialog)

const CDlgTip::TIPROW CDlgTip::s_Tips[] = {
    {572, IDG_TIP_COLLECTIONS, IDG_TIP_COLLECTIONS_MASK, TIPPIC_GIF},
    {575, IDP_TIP_SELECTALL, 0, TIPPIC_PNG},
    {549, IDG_TIP_TRAY, 0, TIPPIC_GIF},
    {552, 0, 0, TIPPIC_GIF},
    {539, IDG_TIP_INSERT, 0, TIPPIC_GIF},
    {554, 0, 0, TIPPIC_GIF},
    {541, IDG_TIP_FIELDCODE, 0, TIPPIC_GIF},
    {548, 0, 0, TIPPIC_GIF},
    {536, IDG_TIP_DRAGIN, 0, TIPPIC_GIF},
    {550, 0, 0, TIPPIC_GIF},
    {537, IDG_TIP_CONTEXTMENU, 0, TIPPIC_GIF},
    {551, 0, 0, TIPPIC_GIF},
    {542, IDG_TIP_TRANSPARENCY, 0, TIPPIC_GIF},
    {547, 0, 0, TIPPIC_GIF},
    {538, IDG_TIP_CELLSIZE, 0, TIPPIC_GIF},
    {555, 0, 0, TIPPIC_GIF},
    {540, IDG_TIP_RIGHTDRAG, 0, TIPPIC_GIF},
    {544, 0, 0, TIPPIC_GIF},
    {543, IDG_TIP_BIGPICTURE, IDG_TIP_BIGPICTURE_MASK, TIPPIC_GIF},
    {553, 0, 0, TIPPIC_GIF},
    {545, IDG_TIP_MESSENGER, IDG_TIP_MESSENGER_MASK, TIPPIC_GIF},
    {558, 0, 0, TIPPIC_GIF},
    {546, IDG_TIP_SORT, IDG_TIP_SORT_MASK, TIPPIC_GIF},
    {556, 0, 0, TIPPIC_GIF},
    {557, IDG_TIP_TABMENU, IDG_TIP_TABMENU_MASK, TIPPIC_GIF},
    {0, 0, 0, TIPPIC_NONE},
};

namespace {

// The largest value the setting may hold; anything outside -1 .. this is
// stored as 0.
const int kMaxStoredTip = 1000;

const int kMovedButtons[] = {IDOK, IDC_TIP_NEXT, IDC_TIP_PREVIOUS};

RECT ChildRect(HWND hParent, HWND hChild)
{
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace

int CDlgTip::CountTips()
{
    int n = 0;
    while (s_Tips[n].nText != 0 || s_Tips[n].nPicture != 0)
        n++;
    return n;
}

CDlgTip::CDlgTip(CWnd* pParent)
    : C3DDialog(IDD_TIP, pParent, NULL, g_Settings.FadeDialogs, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL,
                g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL),
      m_pTipCtrl(NULL), m_nTipCount(CountTips()), m_nTip(0), m_bShowAtStart(1), m_nCheckToolId(0)
{
    m_ptTipCorner.x = m_ptTipCorner.y = 0;
    m_nTip = g_Settings.ShowTipsOfTheDay;
    if (m_nTip > m_nTipCount - 1)
        m_nTip = m_nTipCount - 1;
    if (m_nTip < 0)
        m_nTip = 0;
}

CDlgTip::~CDlgTip()
{
    delete m_pTipCtrl;
    m_pTipCtrl = NULL;
    if (m_nTipCount > 0 && ++m_nTip >= m_nTipCount)
        m_nTip = 0;
    int nStored = -1;
    if (m_bShowAtStart)
        nStored = (m_nTip < -1 || m_nTip > kMaxStoredTip) ? 0 : m_nTip;
    g_Settings.ShowTipsOfTheDay = nStored;
}

int CDlgTip::Show()
{
    return DoModal() != -1 ? 1 : 0;
}

BOOL CDlgTip::OnInitDialogEx()
{
    // The note paper is drawn over the dialog's background, so the dialog
    // must paint under its children.
    ModifyStyle(WS_CLIPCHILDREN, 0);
    const HWND hPlace = ::GetDlgItem(m_hWnd, IDC_TIP_NOTE);
    if (hPlace != NULL) {
        const RECT rc = ChildRect(m_hWnd, hPlace);
        m_ptTipCorner.x = rc.left;
        m_ptTipCorner.y = rc.top;
        ::DestroyWindow(hPlace);
    }
    SetWindowText(GetLangString(204));
    SetDlgItemText(IDOK, GetLangString(497));
    SetDlgItemText(IDC_TIP_NEXT, GetLangString(206));
    SetDlgItemText(IDC_TIP_PREVIOUS, GetLangString(205));
    SetDlgItemText(IDC_TIP_SHOWATSTART, GetLangString(208));
    CheckDlgButton(IDC_TIP_SHOWATSTART, m_bShowAtStart ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CDlgTip::OnInitControls()
{
    m_pTipCtrl = new CTipCtrl;
    if (!m_pTipCtrl->Create(m_ptTipCorner, this, IDC_TIP_NOTE)) {
        delete m_pTipCtrl;
        m_pTipCtrl = NULL;
    }
    if (m_pTipCtrl != NULL) {
        // The paper is as high as the tallest tip needs, so the window keeps
        // its size and its buttons their places while the user steps.
        int nMost = 1;
        for (int n = 0; n < m_nTipCount; n++) {
            const TIPROW& row = s_Tips[n];
            m_pTipCtrl->SetTip(row.nText != 0 ? GetLangString(row.nText) : NULL, row.nPicture, row.nMask, row.nType,
                               FALSE, NULL);
            nMost = std::max(nMost, m_pTipCtrl->GetMiddleCount());
        }
        m_pTipCtrl->SetMinMiddleCount(nMost);
        SIZE size;
        SetCurrentTip(TRUE, &size);
        LayOut(size);
        KeepOnScreen();
    }
    AddCheckTool();
}

void CDlgTip::SetCurrentTip(BOOL bResize, SIZE* pSize)
{
    const TIPROW& row = s_Tips[m_nTip];
    m_pTipCtrl->SetTip(row.nText != 0 ? GetLangString(row.nText) : NULL, row.nPicture, row.nMask, row.nType, bResize,
                       pSize);
}

void CDlgTip::AddCheckTool()
{
    if (m_nCheckToolId != 0 || m_ToolTip.m_hWnd == NULL)
        return;
    const TOOLTIPSTYLE& style = m_ToolTip.GetStyle();
    m_nCheckToolId =
        m_ToolTip.AddTool(GetLangString(305), IDC_TIP_SHOWATSTART, NULL, GetLangString(208), style.clrText,
                          style.clrBack);
}

void CDlgTip::LayOut(const SIZE& size)
{
    const HWND hOK = ::GetDlgItem(m_hWnd, IDOK);
    const HWND hCheck = ::GetDlgItem(m_hWnd, IDC_TIP_SHOWATSTART);
    if (m_pTipCtrl == NULL || hOK == NULL || hCheck == NULL)
        return;
    RECT rcTip = ChildRect(m_hWnd, m_pTipCtrl->m_hWnd);
    rcTip.right = rcTip.left + size.cx;
    rcTip.bottom = rcTip.top + size.cy;
    const RECT rcCheck = ChildRect(m_hWnd, hCheck);
    const int dx = rcTip.right - ChildRect(m_hWnd, hOK).left;
    const int dy = rcTip.bottom - rcCheck.top;
    if (dx == 0 && dy == 0)
        return;

    RECT rcWindow;
    GetWindowRect(&rcWindow);
    SetWindowPos(HWND(NULL), 0, 0, rcWindow.right - rcWindow.left + dx, rcWindow.bottom - rcWindow.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int nId : kMovedButtons) {
        const HWND hButton = ::GetDlgItem(m_hWnd, nId);
        if (hButton == NULL)
            continue;
        const RECT rc = ChildRect(m_hWnd, hButton);
        ::SetWindowPos(hButton, NULL, rc.left + dx, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The check box's tool covers its old place: it goes and comes back.
    if (m_nCheckToolId != 0)
        m_ToolTip.DelTool(m_nCheckToolId);
    m_nCheckToolId = 0;
    ::SetWindowPos(hCheck, NULL, rcCheck.left, rcCheck.top + dy, rcCheck.right - rcCheck.left + dx,
                   rcCheck.bottom - rcCheck.top, SWP_NOZORDER | SWP_NOACTIVATE);
    AddCheckTool();
}

void CDlgTip::KeepOnScreen()
{
    RECT rcDesktop, rcWindow;
    ::GetWindowRect(::GetDesktopWindow(), &rcDesktop);
    GetWindowRect(&rcWindow);
    RECT rc = rcWindow;
    if (rc.right > rcDesktop.right)
        ::OffsetRect(&rc, rcDesktop.right - rc.right, 0);
    else if (rc.left < rcDesktop.left)
        ::OffsetRect(&rc, rcDesktop.left - rc.left, 0);
    if (rc.bottom > rcDesktop.bottom)
        ::OffsetRect(&rc, 0, rcDesktop.bottom - rc.bottom);
    else if (rc.top < rcDesktop.top)
        ::OffsetRect(&rc, 0, rcDesktop.top - rc.top);
    if (!::EqualRect(&rc, &rcWindow))
        SetWindowPos(HWND(NULL), rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDlgTip::Step(int nDelta)
{
    if (m_pTipCtrl == NULL || m_nTipCount <= 0)
        return;
    m_nTip += nDelta;
    if (m_nTip >= m_nTipCount)
        m_nTip = 0;
    else if (m_nTip < 0)
        m_nTip = m_nTipCount - 1;
    SIZE size;
    SetCurrentTip(FALSE, &size);
    LayOut(size);
    KeepOnScreen();
    m_pTipCtrl->SetWindowPos(HWND(NULL), 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pTipCtrl->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
}

BOOL CDlgTip::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_TIP_NEXT:
            Step(1);
            return TRUE;
        case IDC_TIP_PREVIOUS:
            Step(-1);
            return TRUE;
        case IDC_TIP_SHOWATSTART:
            m_bShowAtStart = ::SendDlgItemMessageA(m_hWnd, IDC_TIP_SHOWATSTART, BM_GETCHECK, 0, 0) == BST_CHECKED;
            return TRUE;
        }
    }
    return C3DDialog::OnCommand(wParam, lParam);
}

LRESULT CDlgTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        if (m_pTipCtrl != NULL) {
            if (m_pTipCtrl->m_hWnd != NULL)
                m_pTipCtrl->DestroyWindow();
            delete m_pTipCtrl;
            m_pTipCtrl = NULL;
        }
        OnDestroy();
        m_nCheckToolId = 0;
        return 0;
    }
    return C3DDialog::WindowProc(message, wParam, lParam);
}
