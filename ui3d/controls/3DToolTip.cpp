#include "ui3d/controls/3DToolTip.h"

#include "ui3d/system/ExportedFuncs.h"

#include <commctrl.h>
#include <cstring>

int g_bNoToolTips = 0;

BOOL MultilineTips()
{
    return g_ShellDllVersions.MultilineTips;
}

BOOL BalloonTips()
{
    return g_ShellDllVersions.BalloonTips;
}

int ClampTipShowTime(int nMillis)
{
    return nMillis < 1000 ? 1000 : (nMillis > 30000 ? 30000 : nMillis);
}

BOOL KeepTipOffCursor(const RECT& rcTip, int x, int cxScreen, RECT* prcNew)
{
    if (x < rcTip.left || x >= rcTip.right)
        return FALSE;
    const int cx = rcTip.right - rcTip.left;
    BOOL bRight;
    if (rcTip.left < rcTip.right - x)
        bRight = TRUE;                  // no room left of the cursor
    else if (cxScreen - rcTip.right < x - rcTip.left)
        bRight = FALSE;                 // too little room on the right
    else
        bRight = x - rcTip.left < rcTip.right - x;
    *prcNew = rcTip;
    prcNew->left = bRight ? x + 1 : x - cx;
    prcNew->right = prcNew->left + cx;
    return TRUE;
}

// ---- C3DToolTip::CTool ----------------------------------------------------------

C3DToolTip::CTool& C3DToolTip::CTool::operator=(const CTool& src)
{
    if (this != &src) {
        SetText(src.pszText);
        nShowTime = src.nShowTime;
        nId = src.nId;
        hWnd = src.hWnd;
        rcArea = src.rcArea;
        strTitle = src.strTitle;
        clrText = src.clrText;
        clrBack = src.clrBack;
    }
    return *this;
}

void C3DToolTip::CTool::SetText(LPCSTR psz)
{
    FreeText();
    if (psz != NULL && psz[0] != '\0') {
        const size_t n = strlen(psz) + 1;
        pszText = new char[n];
        memcpy(pszText, psz, n);
    }
}

void C3DToolTip::CTool::FreeText()
{
    delete[] pszText;
    pszText = nullptr;
}

// ---- C3DToolTip -----------------------------------------------------------------

C3DToolTip::C3DToolTip(const TOOLTIPSTYLE* pStyle) : m_pOwner(NULL), m_nCurrentTool(0)
{
    if (pStyle != NULL)
        m_style = *pStyle;
    else
        m_style = TOOLTIPSTYLE(0, 0, "; ", 0x50);
}

C3DToolTip::~C3DToolTip()
{
    m_tools.RemoveAll();
    DestroyWindow();
}

BOOL C3DToolTip::Create(CWnd* pOwner, DWORD dwStyle)
{
    m_nCurrentTool = 0;
    m_pOwner = pOwner;
    if ((m_style.nFlags & TOOLTIPSTYLE_BALLOON) && BalloonTips())
        dwStyle |= TTS_BALLOON;
    if (!CToolTipCtrl::Create(pOwner, dwStyle))
        return FALSE;
    const BOOL bMulti = MultilineTips();
    if (m_style.nMaxWidth != 0 && bMulti)
        SetMaxTipWidth(m_style.nMaxWidth);
    SetDelayTime(TTDT_AUTOPOP, m_style.nDisplayTime > 0 ? m_style.nDisplayTime : 0xFFFF);
    if (m_style.nInitialDelay >= 0)
        SetDelayTime(TTDT_INITIAL, m_style.nInitialDelay);
    SetDelayTime(TTDT_RESHOW, static_cast<int>(GetDoubleClickTime()));
    if (bMulti && (m_style.clrBack != 0 || m_style.clrText != 0)) {
        SetTipBkColor(m_style.clrBack);
        SetTipTextColor(m_style.clrText);
    }
    OSVERSIONINFOA osvi;
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    BOOL bDropShadow = FALSE;
    if (GetVersionExA(&osvi) && (osvi.dwMajorVersion > 5 || (osvi.dwMajorVersion == 5 && osvi.dwMinorVersion != 0)) &&
        SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &bDropShadow, 0) && bDropShadow) {
        SetClassLongPtrA(m_hWnd, GCL_STYLE, GetClassLongPtrA(m_hWnd, GCL_STYLE) | CS_DROPSHADOW);
    }
    return TRUE;
}

int C3DToolTip::FindIndex(UINT nId) const
{
    for (int i = 0; i < m_tools.GetSize(); ++i) {
        if (m_tools[i].nId == nId)
            return i;
    }
    return -1;
}

const C3DToolTip::CTool* C3DToolTip::FindTool(UINT nId) const
{
    const int i = FindIndex(nId);
    return i >= 0 ? &m_tools[i] : NULL;
}

UINT C3DToolTip::AddTool(LPCSTR pszText, UINT nCtrlId, const RECT* pArea, LPCSTR pszTitle, COLORREF clrText,
                         COLORREF clrBack)
{
    if (m_pOwner == NULL || m_pOwner->m_hWnd == NULL)
        return 0;
    CWnd* pToolWnd = m_pOwner;
    if (nCtrlId != 0) {
        HWND hChild = ::GetDlgItem(m_pOwner->m_hWnd, static_cast<int>(nCtrlId));
        if (hChild == NULL)
            return 0;
        pToolWnd = CWnd::FromHandle(hChild);
    }
    return AddToolTo(pToolWnd, pszText, pArea, pszTitle, clrText, clrBack);
}

UINT C3DToolTip::AddWindowTool(LPCSTR pszText, CWnd* pWnd)
{
    if (pWnd == NULL || pWnd->m_hWnd == NULL)
        return 0;
    return AddToolTo(pWnd, pszText, NULL, "", 0, 0);
}

UINT C3DToolTip::AddToolTo(CWnd* pToolWnd, LPCSTR pszText, const RECT* pArea, LPCSTR pszTitle, COLORREF clrText,
                           COLORREF clrBack)
{
    if (m_hWnd == NULL || m_pOwner == NULL)
        return 0;
    // One more than the highest id in use: never collides, never wraps
    // before four billion tools.
    CTool tool;
    for (int i = 0; i < m_tools.GetSize(); ++i) {
        if (m_tools[i].nId > tool.nId)
            tool.nId = m_tools[i].nId;
    }
    ++tool.nId;

    const BOOL bMulti = MultilineTips();
    CString strText(pszText != NULL ? pszText : "");
    if (!m_style.strSeparator.IsEmpty() && !bMulti)
        strText.Replace("\r\n", m_style.strSeparator);
    tool.nShowTime = ClampTipShowTime(strText.GetLength() * 1000 / 12);
    if (!bMulti && strText.GetLength() > 80)
        strText = strText.Left(80);
    tool.SetText(strText);
    if ((m_style.nFlags & TOOLTIPSTYLE_BALLOONTITLE) && BalloonTips() && pszTitle != NULL)
        tool.strTitle = pszTitle;
    if ((m_style.nFlags & TOOLTIPSTYLE_TOOLVALUES) && bMulti) {
        tool.clrText = clrText;
        tool.clrBack = clrBack;
    }

    RECT rcTool;
    if (pArea != NULL)
        rcTool = *pArea;
    else if (!::SendMessageA(pToolWnd->m_hWnd, WM_GETTOOLRECT, reinterpret_cast<WPARAM>(&rcTool), 0))
        ::GetClientRect(pToolWnd->m_hWnd, &rcTool);
    tool.rcArea = rcTool;
    ::MapWindowPoints(pToolWnd->m_hWnd, m_pOwner->m_hWnd, reinterpret_cast<POINT*>(&tool.rcArea), 2);

    for (int i = 0; i < m_tools.GetSize(); ++i) {
        RECT rcCommon;
        if (IntersectRect(&rcCommon, &m_tools[i].rcArea, &tool.rcArea))
            return 0;
    }
    const BOOL bCallback = bMulti && m_style.nMaxWidth != 0;
    if (!CToolTipCtrl::AddTool(pToolWnd, bCallback ? LPSTR_TEXTCALLBACKA : (tool.pszText != NULL ? tool.pszText : ""),
                               &rcTool, tool.nId))
        return 0;
    tool.hWnd = pToolWnd->m_hWnd;
    m_tools.Add(tool);
    return tool.nId;
}

int C3DToolTip::DelTool(UINT nId)
{
    const int i = FindIndex(nId);
    if (i < 0)
        return 0;
    if (m_hWnd != NULL)
        CToolTipCtrl::DelTool(CWnd::FromHandle(m_tools[i].hWnd), nId);
    m_tools.RemoveAt(i);
    if (m_nCurrentTool == nId)
        m_nCurrentTool = 0;
    return 1;
}

int C3DToolTip::ShowAt(CWnd* pWnd, LPCSTR pszText, LPCSTR pszTitle, int x, int y)
{
    if (pWnd == NULL || pWnd->m_hWnd == NULL)
        return 0;
    m_style.nInitialDelay = 0;
    if (m_hWnd != NULL)
        DestroyWindow();
    if (!Create(pWnd, TTS_ALWAYSTIP))
        return 0;
    const RECT rc = {x - 1, y - 1, x + 1, y + 1};
    if (AddToolTo(pWnd, pszText, &rc, pszTitle, 0, 0) == 0) {
        DestroyWindow();
        return 0;
    }
    POINT pt = {x, y};
    ::ClientToScreen(pWnd->m_hWnd, &pt);
    MSG msg = {pWnd->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y), static_cast<DWORD>(GetMessageTime()), pt};
    RelayEvent(&msg);
    return 1;
}

void C3DToolTip::RelayEvent(MSG* pMsg)
{
    if (m_hWnd == NULL || pMsg == NULL)
        return;
    if (pMsg->message == WM_MOUSEMOVE && m_pOwner != NULL && m_pOwner->m_hWnd != NULL) {
        POINT pt = pMsg->pt;
        ::ScreenToClient(m_pOwner->m_hWnd, &pt);
        for (int i = m_tools.GetSize() - 1; i >= 0; --i) {
            if (PtInRect(&m_tools[i].rcArea, pt)) {
                if (m_tools[i].nId != m_nCurrentTool) {
                    m_nCurrentTool = m_tools[i].nId;
                    OnToolActivated(m_nCurrentTool);
                }
                break;
            }
        }
    }
    CToolTipCtrl::RelayEvent(pMsg);
}

void C3DToolTip::OnToolActivated(UINT nId)
{
    const CTool* pTool = FindTool(nId);
    if (pTool == NULL || m_hWnd == NULL)
        return;
    if (m_style.nDisplayTime == 0 && pTool->pszText != NULL)
        SetDelayTime(TTDT_AUTOPOP, pTool->nShowTime);
    if ((m_style.nFlags & TOOLTIPSTYLE_BALLOONTITLE) && BalloonTips()) {
        const BOOL bTitle = !pTool->strTitle.IsEmpty();
        SendMessage(TTM_SETTITLEA, bTitle ? TTI_INFO : TTI_NONE,
                    reinterpret_cast<LPARAM>(bTitle ? static_cast<LPCSTR>(pTool->strTitle) : ""));
    }
    if ((m_style.nFlags & TOOLTIPSTYLE_TOOLVALUES) && MultilineTips()) {
        SetTipTextColor(pTool->clrText != 0 ? pTool->clrText : m_style.clrText);
        SetTipBkColor(pTool->clrBack != 0 ? pTool->clrBack : m_style.clrBack);
    }
}

LRESULT C3DToolTip::OnGetDispInfo(NMTTDISPINFOA* pInfo)
{
    const CTool* pTool = FindTool(static_cast<UINT>(pInfo->hdr.idFrom));
    pInfo->lpszText = const_cast<LPSTR>(pTool != NULL && pTool->pszText != NULL ? pTool->pszText : "");
    pInfo->uFlags |= TTF_DI_SETITEM;
    pInfo->hinst = NULL;
    return 0;
}

LRESULT C3DToolTip::OnShow()
{
    RECT rcTip;
    POINT ptCursor;
    if (!::GetWindowRect(m_hWnd, &rcTip) || !::GetCursorPos(&ptCursor) || ptCursor.y < rcTip.top ||
        ptCursor.y >= rcTip.bottom)
        return FALSE;
    RECT rcNew;
    if (!KeepTipOffCursor(rcTip, ptCursor.x, GetSystemMetrics(SM_CXSCREEN), &rcNew))
        return FALSE;
    ::SetWindowPos(m_hWnd, NULL, rcNew.left, rcNew.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

LRESULT C3DToolTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_REFLECT_BASE + WM_NOTIFY: {
        NMHDR* pHdr = reinterpret_cast<NMHDR*>(lParam);
        if (pHdr->code == TTN_GETDISPINFOA)
            return OnGetDispInfo(reinterpret_cast<NMTTDISPINFOA*>(lParam));
        if (pHdr->code == TTN_SHOW)
            return OnShow();
        break;
    }
    case WM_DESTROY:
        m_tools.RemoveAll();
        m_nCurrentTool = 0;
        m_pOwner = NULL;
        break;
    }
    return CToolTipCtrl::WindowProc(message, wParam, lParam);
}
