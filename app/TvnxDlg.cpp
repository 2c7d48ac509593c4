#include "app/TvnxDlg.h"

#include "app/ShowOptions.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "dialogs/DlgAbout.h"
#include "fields/ForeignFocus.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Settings.h"
#include "services/ShellServices.h"
#include "skins/Skin.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"
#include "ui3d/system/VTimer.h"

CTvnxDlg* g_pMainDlg = NULL;

namespace {

BOOL CanLayer()
{
    return g_pExportedFuncs != NULL && g_pExportedFuncs->pSetLayeredWindowAttributes != NULL;
}

BOOL CanAlphaBlend()
{
    return g_pExportedFuncs != NULL && g_pExportedFuncs->pAlphaBlend != NULL;
}

uint64_t CacheLimit()
{
    return g_Settings.SmilieCacheSizeInMB > 0 ? uint64_t(g_Settings.SmilieCacheSizeInMB) * 1048576u : 0;
}

}  // namespace

CTvnxDlg::CTvnxDlg()
    : m_ToolTips(g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL), m_nTickClient(0), m_bDlgDestroyed(0),
      m_nTicks(0), m_hOwner(NULL), m_bProgrammaticMove(0)
{
}

CTvnxDlg::~CTvnxDlg()
{
    if (m_hWnd != NULL)
        DestroyWindow();
    if (g_pMainDlg == this)
        g_pMainDlg = NULL;
}

HWND CTvnxDlg::GetOwnerOrParent() const
{
    if (m_hOwner != NULL && ::IsWindow(m_hOwner))
        return m_hOwner;
    return m_hWnd != NULL ? ::GetParent(m_hWnd) : NULL;
}

BOOL CTvnxDlg::Create(int nHeight, CWnd* pOwner, CWnd* pParent, POINT pt)
{
    DWORD dwStyle = WS_POPUP, dwExStyle = WS_EX_TOPMOST;
    if (g_Settings.ShowButtonOnTaskbar) {
        dwStyle |= WS_SYSMENU;
        dwExStyle |= WS_EX_APPWINDOW;
    }
    const SIZE size = {g_pSkin != NULL ? g_pSkin->m_nBodyWidth : 275, nHeight};
    g_pMainDlg = this;
    m_hOwner = CWnd::SafeHwnd(pOwner);
    if (!CTvnxWnd::Create(size, pt, pParent, dwStyle, dwExStyle)) {
        g_pMainDlg = NULL;
        return FALSE;
    }
    if (m_hOwner != NULL && pParent == NULL)
        ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_hOwner));
    return TRUE;
}

// --- first show ----------------------------------------------------------------------------

void CTvnxDlg::CreateImgCacheIfNone()
{
    if (g_pImgCache != NULL)
        return;
    g_pImgCache = new CImgCache;
    g_pImgCache->Reset();
    g_pImgCache->SetMemoryLimit(CacheLimit());
    g_pImgCache->SetAnimation(g_Settings.SmilieAnimation);
}

void CTvnxDlg::ClearChangeFlags()
{
    g_bCollectionChanged = FALSE;
    g_bStatisticsChanged = FALSE;
    g_bChangeTracking = TRUE;
    g_bStatisticsTracking = TRUE;
}

void CTvnxDlg::ResetAfterFailedLoad()
{
    delete g_pImgCache;
    g_pImgCache = NULL;
    delete g_pCollectionFile;
    g_pCollectionFile = NULL;
    if (m_Fields.m_hWnd != NULL)
        m_Fields.ResetFields();
    SetCollectionPath(NULL);
}

int CTvnxDlg::Message(int nLangString, UINT nType)
{
    return s_pfnMessageBox(this, GetLangString(nLangString), nType);
}

BOOL CTvnxDlg::OpenConfiguredCollection()
{
    if (g_pCollectionFile == NULL)
        g_pCollectionFile = new CTvnxSave;
    CString strDefault = g_Settings.AppDataFolder;
    strDefault.TrimRight("\\/");
    strDefault += "\\demo.tvnx";
    const CString strConfigured = g_Settings.SmilieCollection;
    if (g_pCollectionFile->OpenCollection(strConfigured, FALSE, 0) == 0)
        return TRUE;
    if (strConfigured != strDefault && g_pCollectionFile->OpenCollection(strDefault, FALSE, 0) == 0) {
        Message(396, MB_ICONHAND);
        SetCollectionPath(strDefault);
        SaveSettings(FALSE);
        return TRUE;
    }
    Message(394, MB_ICONHAND);
    OpenCollection(NULL, 0);
    if (g_pCollectionFile == NULL || !g_pCollectionFile->IsOpen()) {
        Message(395, MB_ICONHAND);
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        SetCollectionPath(NULL);
        return FALSE;
    }
    SaveSettings(FALSE);
    return TRUE;
}

void CTvnxDlg::LoadOpenLayout()
{
    if (g_pCollectionFile == NULL || !g_pCollectionFile->IsOpen()) {
        m_Fields.ResetFields();
        SetCollectionPath(NULL);
        return;
    }
    CreateImgCacheIfNone();
    const uint32_t nSize = g_pCollectionFile->ReadLayoutBlock(NULL, 0);
    BYTE* pBlock = nSize != 0 ? new (std::nothrow) BYTE[nSize] : NULL;
    if (pBlock == NULL || g_pCollectionFile->ReadLayoutBlock(pBlock, 0) != nSize) {
        delete[] pBlock;
        ResetAfterFailedLoad();
        return;
    }
    m_Fields.LoadFromMemory(pBlock, nSize, 0, 0);
    delete[] pBlock;
}

void CTvnxDlg::OnCreated()
{
    SetMainWindow(m_hWnd);
    FIELDSPARAMS look = g_pSkin != NULL ? g_pSkin->m_fieldsLook : FIELDSPARAMS();
    look.nFieldsRect[3] += m_nHeight - BASE_BODY_HEIGHT;
    m_Fields.SetBackColorMode(g_Settings.SmilieFieldsLook);
    m_Fields.CreateFields(this, &look);
    m_Fields.ApplyBackColorMode(g_Settings.SmilieFieldsLook & 3);
    if (CTabSelector* pStrip = m_Fields.GetSwitcher()) {
        if (g_Settings.TabTransparentEdges && CanAlphaBlend())
            pStrip->m_Look.nFlags |= 2;
        else if (!g_Settings.TabTransparentEdges)
            pStrip->m_Look.nFlags &= ~2;
        if (g_Settings.TabSmoothScroll)
            pStrip->m_Look.nFlags |= 4;
        else
            pStrip->m_Look.nFlags &= ~4;
        pStrip->RedrawStrip();
    }

    const CString strCollection = g_Settings.SmilieCollection;
    if ((g_pCollectionFile == NULL || !g_pCollectionFile->IsOpen()) && !strCollection.IsEmpty() &&
        strCollection != "<default>")
        OpenConfiguredCollection();
    LoadOpenLayout();
    if (g_pCollectionFile == NULL || !g_pCollectionFile->IsOpen())
        SetCollectionPath(NULL);
    m_Fields.SelectFieldByName(g_Settings.FieldName);

    // The opacity slider.
    if (g_pSkin != NULL) {
        const int placement[3] = {g_pSkin->m_sliderMetrics[1], g_pSkin->m_sliderMetrics[2],
                                  g_pSkin->m_sliderMetrics[3]};
        m_Slider.Create(TRUE, &g_pSkin->m_sliderStyle, g_pSkin->m_sliderMetrics[0], this, 1, placement);
    }
    if (m_Slider.m_hWnd != NULL) {
        SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, SLIDER_MAX, 1, SLIDER_OPAQUE, 0};
        m_Slider.SetScrollInfo(&si);
        m_Slider.RedrawParts(0xFF, -1);
        if (!CanLayer())
            m_Slider.EnableScrollBar(ESB_DISABLE_BOTH);
    }

    // The two buttons.
    struct { CTvnxBitmapButton* pButton; UINT nId; WORD nNormal, nPressed; RECT rc; } buttons[2] = {
        {&m_BtnClose, CMD_CLOSE, 163, 167, g_pSkin != NULL ? g_pSkin->m_rcBtnClose : RECT{0, 0, 0, 0}},
        {&m_BtnAbout, CMD_ABOUT, 162, 166, g_pSkin != NULL ? g_pSkin->m_rcBtnAbout : RECT{0, 0, 0, 0}},
    };
    for (auto& b : buttons) {
        b.pButton->m_nNormalId = b.nNormal;
        b.pButton->m_nSelectedId = b.nPressed;
        b.pButton->m_clrKey = g_Settings.SkinColor;
        b.pButton->m_bRecolor = g_Settings.SkinColoringEnabled;
        if (b.pButton->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.rc, this, b.nId))
            b.pButton->LoadBitmaps();
    }

    CreateMenuBar();
    SetupToolTips();
    if (CanLayer())
        SetTransparency(g_Settings.MainWndTransparencyPercent, TRUE);

    if (m_nTickClient == 0 && g_pVTimer != NULL) {
        m_nTickClient = g_pVTimer->AddClient(m_hWnd, 50);
        if (m_nTickClient != 0) {
            CVTimerRcrd rec = {m_nTickClient, 0, 0, 0};
            m_TimerRecords.Add(rec);
        }
    }
    ClearChangeFlags();
    m_bDockToWindows = g_Settings.MainWndDockToWindows;
    ShowWindow(SW_SHOW);
    PostMessage(WM_COLLECTIONLOADED, reinterpret_cast<WPARAM>(m_hWnd), 1);
    while (CSmilie::StartNextDownload(FALSE, NULL)) {
    }
    g_BusyEnabled = TRUE;
}

void CTvnxDlg::CreateMenuBar()
{
    if (g_pSkin == NULL)
        return;
    if (!m_MenuBar.Create(&g_pSkin->m_menuBarStyle, this, g_pSkin->m_ptMenuBar.x, g_pSkin->m_ptMenuBar.y))
        return;
    static const int items[6][2] = {{151, BAR_COLLECTION}, {152, BAR_EDIT}, {153, BAR_SMILIES},
                                    {144, BAR_FIELDS},     {179, BAR_OPTIONS}, {180, BAR_HELP}};
    for (const auto& item : items)
        m_MenuBar.AddItem(GetLangString(item[0]), UINT(item[1]));
}

void CTvnxDlg::SetupToolTips()
{
    if (m_ToolTips.m_hWnd != NULL)
        m_ToolTips.DestroyWindow();
    if (!m_ToolTips.Create(this))
        return;
    m_ToolTips.AddTool(GetLangString(36), CMD_CLOSE, NULL, NULL, 0, 0);
    if (m_Slider.m_hWnd != NULL)
        m_ToolTips.AddWindowTool(GetLangString(356), &m_Slider);
}

// --- transparency --------------------------------------------------------------------------

void CTvnxDlg::SetOpacity(int nAlpha)
{
    const LONG lEx = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    if (nAlpha == 255) {
        if (lEx & WS_EX_LAYERED) {
            ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, lEx & ~WS_EX_LAYERED);
            // What was drawn while the window was layered is not shown once
            // it is not: the window and its children (the slider's thumb
            // just moved) are painted again.
            ::RedrawWindow(m_hWnd, NULL, NULL, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        return;
    }
    if (!(lEx & WS_EX_LAYERED))
        ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, lEx | WS_EX_LAYERED);
    if (CanLayer())
        g_pExportedFuncs->pSetLayeredWindowAttributes(m_hWnd, 0, BYTE(nAlpha), LWA_ALPHA);
}

void CTvnxDlg::SetTransparency(int nPercent, BOOL bProgrammatic)
{
    nPercent = nPercent < 0 ? 0 : (nPercent > 100 ? 100 : nPercent);
    if (!CanLayer() || m_Slider.m_hWnd == NULL)
        return;
    const int nPos = (255 - nPercent * 255 / 100) * SLIDER_OPAQUE / 255;
    m_bProgrammaticMove = bProgrammatic;
    OnSliderScroll(SB_THUMBTRACK, nPos);
    m_bProgrammaticMove = 0;
}

int CTvnxDlg::GetTransparencyPercent()
{
    if (!CanLayer() || m_Slider.m_hWnd == NULL)
        return 0;
    const int nRange = m_Slider.GetMax() - m_Slider.GetPage();
    return nRange > 0 ? 100 - m_Slider.GetPos() * 100 / nRange : 0;
}

void CTvnxDlg::OnSliderScroll(int nCode, int nPos)
{
    const int p = m_Slider.GetPos();
    int nNew;
    switch (nCode) {
    case SB_PAGELEFT:
        nNew = p - 1 < 0 ? 0 : p - 1;
        break;
    case SB_LEFT:
        nNew = 0;
        break;
    case SB_PAGERIGHT:
        nNew = p + 1 > SLIDER_MAX ? SLIDER_MAX : p + 1;
        break;
    case SB_THUMBTRACK:
        nNew = nPos < 0 ? 0 : (nPos > SLIDER_MAX ? SLIDER_MAX : nPos);
        break;
    case SB_RIGHT:
        nNew = SLIDER_MAX - 1;
        break;
    default:
        return;
    }
    if (nNew > SLIDER_MAX || nNew == p)
        return;
    m_Slider.SetScrollPos(nNew);
    m_Slider.RedrawParts(0xFF, -1);
    if (CanLayer())
        SetOpacity(nNew > 168 ? 255 : (nNew < 25 ? 25 : nNew));
    if (!m_bProgrammaticMove)
        SetTransparencyPercent(GetTransparencyPercent());
}

void CTvnxDlg::CheckHoverOpacity(HWND hWndUnder)
{
    if (!g_Settings.MainWndOpaqueOnMouseHover || m_Slider.m_hWnd == NULL || !CanLayer())
        return;
    const BOOL bOverSlider = hWndUnder == m_Slider.m_hWnd;
    const int nPercent = GetTransparencyPercent();
    if (nPercent > 0 && !bOverSlider) {
        SetTransparencyPercent(nPercent);
        SetTransparency(0, TRUE);
    } else if (bOverSlider && nPercent == 0 && g_Settings.MainWndTransparencyPercent != 0) {
        SetTransparency(g_Settings.MainWndTransparencyPercent, TRUE);
    }
}

void CTvnxDlg::OnTimerTick(int nClientId, int)
{
    if (nClientId != m_nTickClient || m_nTickClient == 0)
        return;
    if (g_Settings.MainWndOpaqueOnMouseHover && m_Slider.m_hWnd != NULL && CanLayer() && IsWindowVisible() &&
        GetTransparencyPercent() == 0 && g_Settings.MainWndTransparencyPercent != 0 && !m_bResizeDrag) {
        POINT pt;
        ::GetCursorPos(&pt);
        HWND hUnder = ::WindowFromPoint(pt);
        if (hUnder == NULL || ::GetWindowThreadProcessId(hUnder, NULL) != ::GetCurrentThreadId())
            SetTransparency(g_Settings.MainWndTransparencyPercent, TRUE);
    }
    if (++m_nTicks >= 3600) {
        while (CSmilie::StartNextDownload(FALSE, NULL)) {
        }
        m_nTicks = 0;
    }
}

void CTvnxDlg::OnVTimerMsg(int nId)
{
    int nAmount = 0;
    if (TakeVTimerTick(m_hWnd, m_TimerRecords, nId, &nAmount))
        OnTimerTick(nId, nAmount);
}

// --- messages ------------------------------------------------------------------------------

BOOL CTvnxDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST && m_ToolTips.m_hWnd != NULL &&
        g_Settings.ShowTips)
        m_ToolTips.RelayEvent(pMsg);
    // Alt, F10, Alt+letter and the keys of a selected bar item belong to the
    // menu bar, wherever in the window the focus is.
    const BOOL bKey = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    const BOOL bPress = pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_RBUTTONDOWN ||
                        pMsg->message == WM_MBUTTONDOWN;
    if ((bKey || bPress) && m_MenuBar.m_hWnd != NULL && m_MenuBar.OnMenuKey(pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

void CTvnxDlg::OnCloseMsg()
{
    if (GetRunningModalDialog() != NULL)
        return;
    ::SendMessageA(GetOwnerOrParent(), WM_HIDEMAINWND, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CTvnxDlg::OnSizeMsg(UINT nType, int cx, int cy)
{
    const int nOldWidth = m_nWidth, nOldHeight = m_nHeight;
    CTvnxWnd::WindowProc(WM_SIZE, nType, MAKELPARAM(cx, cy));
    if (nType != SIZE_RESTORED || (cx == nOldWidth && cy == nOldHeight))
        return;
    if (m_Fields.m_hWnd != NULL) {
        CRect rc;
        m_Fields.GetWindowRect(&rc);
        ScreenToClient(&rc);
        m_Fields.MoveWindow(rc.left, rc.top, rc.Width() + cx - nOldWidth, rc.Height() + cy - nOldHeight, TRUE);
    }
    g_Settings.MainWndHeight = cy < 16 || cy > 1600 ? 555 : cy;
}

void CTvnxDlg::OnLanguageChanged()
{
    SetupToolTips();
    if (m_MenuBar.m_hWnd != NULL)
        m_MenuBar.DestroyWindow();
    CreateMenuBar();
}

void CTvnxDlg::OpenProgramFile(LPCSTR pszRelative)
{
    CString strFolder;
    GetProgramFolder(strFolder);
    const CString strPath = strFolder + "\\" + pszRelative;
    if (INT_PTR(g_pfnShellExecute(m_hWnd, "open", strPath, NULL, NULL, SW_SHOWNORMAL)) <= 32)
        g_pfnShellExecute(m_hWnd, "open", "iexplore.exe", strPath, NULL, SW_SHOWNORMAL);
}

LRESULT CTvnxDlg::PrintFromBackBuffer(HDC hDC)
{
    if (hDC == NULL || m_bmpBack.m_hObject == NULL)
        return 0;
    // The body from the back buffer, then every child painted over it.
    HDC hMem = ::CreateCompatibleDC(hDC);
    HGDIOBJ hOld = ::SelectObject(hMem, m_bmpBack.GetSafeHandle());
    ::BitBlt(hDC, 0, 0, m_nWidth, m_nHeight, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(h))
            continue;
        RECT rc;
        ::GetWindowRect(h, &rc);
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        const int nSaved = ::SaveDC(hDC);
        ::SetViewportOrgEx(hDC, rc.left, rc.top, NULL);
        ::IntersectClipRect(hDC, 0, 0, rc.right - rc.left, rc.bottom - rc.top);
        ::SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(hDC),
                       PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
        ::RestoreDC(hDC, nSaved);
    }
    return 0;
}

void CTvnxDlg::OnDestroyMsg()
{
    // A modal dialog of the program may still run (the tray window ends
    // the program under it): the window goes all the same, so everything
    // that depends on it is cleaned up now.
    g_BusyEnabled = FALSE;
    if (g_BusyCount > 0) {
        g_BusyCount = 1;
        EndBusy();
    }
    DestroyModelessDialogs();
    SetForeignTarget(NULL);
    if (m_ToolTips.m_hWnd != NULL)
        m_ToolTips.DestroyWindow();
    RECT rc;
    GetWindowRect(&rc);
    g_Settings.MainWndPosition.x = rc.left;
    g_Settings.MainWndPosition.y = rc.top;
    if (m_nTickClient != 0) {
        const int i = FindVTimerRcrd(m_TimerRecords, m_nTickClient);
        if (i >= 0)
            m_TimerRecords.RemoveAt(i);
        if (g_pVTimer != NULL)
            g_pVTimer->RemoveClient(m_nTickClient, m_hWnd);
        m_nTickClient = 0;
    }
    ShowWindow(SW_HIDE);
    ::SendMessageA(GetOwnerOrParent(), WM_ANIMATETOTRAY, reinterpret_cast<WPARAM>(m_hWnd), 0);
    delete g_pImgCache;
    g_pImgCache = NULL;

    char szName[256] = "";
    if (m_Fields.m_hWnd != NULL)
        m_Fields.GetCurFieldName(szName, sizeof(szName));
    SetFieldName(szName);

    const CString strPath = g_Settings.SmilieCollection;
    if ((g_bCollectionChanged || g_bStatisticsChanged) && !strPath.IsEmpty() && strPath != "<default>" &&
        g_pCollectionFile != NULL && g_pCollectionFile->IsOpen() && m_Fields.m_hWnd != NULL) {
        uint32_t nSize = 0;
        m_Fields.SaveToMemory(NULL, &nSize, 0);
        BYTE* pBlock = nSize != 0 ? new (std::nothrow) BYTE[nSize] : NULL;
        if (pBlock != NULL) {
            m_Fields.SaveToMemory(pBlock, &nSize, 0);
            const BOOL bCompact = g_bCollectionChanged;
            if (bCompact) {
                g_pCollectionFile->ClearUsedFlags();
                m_Fields.FlagImagesInUse();
            }
            const int nResult = g_pCollectionFile->SaveCollection(nSize, pBlock, strPath, bCompact, 65535);
            delete[] pBlock;
            if (nResult >= 1 && nResult <= 3) {
                // Said over the owner: this window is on its way out.
                s_pfnMessageBox(CWnd::FromHandle(GetOwnerOrParent()), GetLangString(388 + nResult),
                                MB_ICONHAND);
            } else if (nResult == 4 || nResult == 5) {
                delete g_pCollectionFile;
                g_pCollectionFile = NULL;
                if (nResult == 5)
                    SetCollectionPath(NULL);
                s_pfnMessageBox(CWnd::FromHandle(GetOwnerOrParent()), GetLangString(388), MB_ICONHAND);
            }
        }
    }

    for (CWnd* pWnd : {static_cast<CWnd*>(&m_Slider), static_cast<CWnd*>(&m_Fields),
                       static_cast<CWnd*>(&m_BtnClose), static_cast<CWnd*>(&m_BtnAbout),
                       static_cast<CWnd*>(&m_MenuBar)})
        if (pWnd->m_hWnd != NULL)
            pWnd->DestroyWindow();
    m_bDlgDestroyed = 1;
    if (GetMainWindow() == m_hWnd)
        SetMainWindow(NULL);
}

LRESULT CTvnxDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    ResetVTimerBacklog();
    if (g_msgMouseWheelRoll.Is(message))
        return ForwardWheelRoll(m_hWnd, wParam, lParam);
    switch (message) {
    case WM_VTIMER:
        OnVTimerMsg(int(wParam));
        return 1;
    case WM_SETFOCUS:
        // The keys of the window belong to the field on show (its arrows,
        // Enter, Shift+F10, the Edit keys), as a frame hands its focus to its view.
        if (m_Fields.m_hWnd != NULL && m_Fields.GetShownField() != NULL &&
            m_Fields.GetShownField()->m_hWnd != NULL && ::IsWindowVisible(m_Fields.GetShownField()->m_hWnd)) {
            ::SetFocus(m_Fields.GetShownField()->m_hWnd);
            return 0;
        }
        break;
    case WM_COMPACTING:
        if (g_pImgCache != NULL) {
            g_pImgCache->SetMemoryLimit(1024);
            g_pImgCache->m_nMemoryLimit = CacheLimit();
            g_pImgCache->SetMemoryLimit(CacheLimit());
        }
        break;
    case WM_CLOSE:
        OnCloseMsg();
        return 0;
    case WM_DESTROY:
        OnDestroyMsg();
        return CTvnxWnd::WindowProc(message, wParam, lParam);
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == m_Slider.m_hWnd && m_Slider.m_hWnd != NULL)
            OnSliderScroll(LOWORD(wParam), short(HIWORD(wParam)));
        return 0;
    case WM_SCROLLBARCLICK:
        if (reinterpret_cast<HWND>(wParam) == m_Slider.m_hWnd || wParam == 0) {
            const POINT pt = {short(LOWORD(lParam)), short(HIWORD(lParam))};
            ShowSliderMenu(pt);
        }
        return 0;
    case WM_SHOWOPTIONS:
        ShowOptionsDialog(&m_Fields, this, this);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_CLOSE:
            ::SendMessageA(GetOwnerOrParent(), WM_HIDEMAINWND, reinterpret_cast<WPARAM>(m_hWnd), 0);
            return 0;
        case CMD_ABOUT:
            s_pfnRunDialog(this, DIALOG_ABOUT, NULL);
            return 0;
        case BAR_COLLECTION:
        case BAR_EDIT:
        case BAR_SMILIES:
        case BAR_FIELDS:
        case BAR_OPTIONS:
        case BAR_HELP:
            ShowMenu(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_APPMOUSEMOVE:
        CheckHoverOpacity(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_LANGUAGE_CHANGED:
        OnLanguageChanged();
        return 0;
    case WM_HELP:
        OpenProgramFile("help\\index.htm");
        return 1;
    case WM_SIZE:
        OnSizeMsg(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETFIELDCOLOR:
        return m_Fields.m_hWnd != NULL ? m_Fields.SendMessage(WM_GETFIELDCOLOR, wParam, lParam) : 0;
    case WM_COLLECTIONLOADED:
        if ((reinterpret_cast<HWND>(wParam) == m_hWnd && lParam == 1) || lParam == 2 || lParam == 3)
            if (m_Fields.m_hWnd != NULL)
                m_Fields.ConvertOldTabColors();
        return 0;
    case WM_OPENCOLLECTION:
        if (wParam == 0)
            return 0;
        OpenCollection(reinterpret_cast<LPCTSTR>(wParam), int(lParam));
        return 1;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        return PrintFromBackBuffer(reinterpret_cast<HDC>(wParam));
    }
    return CTvnxWnd::WindowProc(message, wParam, lParam);
}
