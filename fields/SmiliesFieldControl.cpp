// The field control: sending, tips, keys, drops and downloads; see
// SmiliesFieldControl.h. The commands that add smilies are in FieldAdd.cpp,
// the move and resize popups in InFieldControls.cpp.
#include "fields/SmiliesFieldControl.h"

#include "collection/CheckUrl.h"
#include "collection/ImageReader.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "delivery/Insertion.h"
#include "delivery/SourceText.h"
#include "delivery/TvFieldDataSource.h"
#include "dialogs/Progress.h"
#include "fields/FieldAdd.h"
#include "fields/ForeignFocus.h"
#include "fields/InFieldControls.h"
#include "fields/SmiliesFieldMenus.h"
#include "framework/Module.h"
#include "framework/Sync.h"
#include "resources/resource.h"
#include "services/Busy.h"
#include "services/ChangeTracking.h"
#include "services/KeyState.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/SysUtils.h"

#include <windowsx.h>
#include <cstring>
#include <new>

int CSmiliesFieldControl::s_nDefaultDropMethod = 4;
HWND (*CSmiliesFieldControl::s_pfnGetTarget)() = GetForeignTarget;
int CSmiliesFieldControl::s_nSmilieTipsShown = 0;
BOOL(WINAPI* CSmiliesFieldControl::s_pfnSetCursorPos)(int, int) = ::SetCursorPos;

namespace {

// A stop or start of a timer that is reached again while one runs does nothing.
int g_nInHoverTimer = 0;
int g_nInTipTimer = 0;

class CReentryGuard
{
public:
    explicit CReentryGuard(int& nCount) : m_nCount(nCount) { ++m_nCount; }
    ~CReentryGuard() { --m_nCount; }
    bool IsNested() const { return m_nCount > 1; }

private:
    int& m_nCount;
};

const int kTipDivider = 50;   // 500 ms at 10 ms a tick
// Looks whether the busy state has ended, for the removals it held back.
const UINT kDeferredRemovalTimer = 0x7E46;
const UINT kDeferredRemovalMs = 100;

const BODYSTYLE* SkinBodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

FONTSTYLE SkinPreviewStyle()
{
    FONTSTYLE style;
    if (g_pSkin != NULL) {
        style = g_pSkin->m_previewFont;
    } else {
        memset(&style, 0, sizeof(style));
        style.clrPictureBack = RGB(255, 255, 255);
        style.clrFrame = RGB(192, 192, 192);
        style.clrTextBack = RGB(255, 255, 225);
        style.nTextHeight = -11;
        style.nFrameGradientKind = 1;
    }
    return style;
}

HICON LoadMenuIcon(UINT nId)
{
    return static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

// A downloaded text that is a web page or a server's error page.
bool LooksLikeErrorPage(const char* psz)
{
    return strncmp(psz, "<!", 2) == 0 || strstr(psz, "<HTML>") != NULL || strstr(psz, "<html>") != NULL ||
           strstr(psz, "404") != NULL;
}

bool IsAnyDownloadRunning()
{
    for (int i = 0; i < g_WebSmilieQueue.GetSize(); i++)
        if (g_WebSmilieQueue[i]->m_pDownload != NULL)
            return true;
    return false;
}

}  // namespace

CSmiliesFieldControl::CSmiliesFieldControl()
    : m_ptDrop{0, 0}, m_nHoverTimer(0), m_ptLastHover{-1, -1}, m_pHoveredSmilie(NULL),
      m_pResize(NULL), m_pReposition(NULL), m_nTipTimer(0), m_ptLastTip{-1, -1}, m_pPartTip(NULL)
{
}

CSmiliesFieldControl::~CSmiliesFieldControl()
{
    FreeImageInfoList(m_DroppedImages);
    m_strDroppedText.Empty();
    ClosePartTip();
}

// --- timers ------------------------------------------------------------------------------

void CSmiliesFieldControl::StartHoverTimer()
{
    CReentryGuard guard(g_nInHoverTimer);
    if (guard.IsNested() || m_hWnd == NULL)
        return;
    if (m_nHoverTimer != 0) {
        RemoveOwnTimer(static_cast<UINT>(m_nHoverTimer));
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, m_nHoverTimer);
    }
    int nDivider = g_Settings.SmiliePreviewTimeoutInMs / 10;
    if (nDivider < 1)
        nDivider = 1;
    m_nHoverTimer = CSmiliePreview::SetVTimer(m_hWnd, m_Animations, nDivider);
    if (m_nHoverTimer != 0)
        AddOwnTimer(static_cast<UINT>(m_nHoverTimer));
}

void CSmiliesFieldControl::KillHoverTimer()
{
    CReentryGuard guard(g_nInHoverTimer);
    if (guard.IsNested() || m_nHoverTimer == 0)
        return;
    RemoveOwnTimer(static_cast<UINT>(m_nHoverTimer));
    if (m_hWnd != NULL)
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, m_nHoverTimer);
    m_nHoverTimer = 0;
}

void CSmiliesFieldControl::StartTipTimer()
{
    CReentryGuard guard(g_nInTipTimer);
    if (guard.IsNested() || m_hWnd == NULL)
        return;
    if (m_nTipTimer != 0) {
        RemoveOwnTimer(static_cast<UINT>(m_nTipTimer));
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, m_nTipTimer);
    }
    m_nTipTimer = CSmiliePreview::SetVTimer(m_hWnd, m_Animations, kTipDivider);
    if (m_nTipTimer != 0)
        AddOwnTimer(static_cast<UINT>(m_nTipTimer));
}

void CSmiliesFieldControl::KillTipTimer()
{
    CReentryGuard guard(g_nInTipTimer);
    if (guard.IsNested() || m_nTipTimer == 0)
        return;
    RemoveOwnTimer(static_cast<UINT>(m_nTipTimer));
    if (m_hWnd != NULL)
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, m_nTipTimer);
    m_nTipTimer = 0;
}

void CSmiliesFieldControl::OnVTimer(int nId, int nAmount)
{
    CSmiliesFieldDropPaste::OnVTimer(nId, nAmount);
    if (nId != 0 && nId == m_nHoverTimer)
        OnHoverTick();
    else if (nId != 0 && nId == m_nTipTimer)
        OnTipTick();
}

void CSmiliesFieldControl::OnHoverTick()
{
    KillHoverTimer();
    if (!IsWindowVisible() || g_Settings.SmiliePreviewMode == 0 || g_nActiveDrags != 0)
        return;
    const POINT pt = GetCursorClientPos();
    if (SamePoint(pt, m_ptLastHover))
        return;
    const POINT cell = CellFromPoint(pt);
    CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie == NULL || IsOnResizeGrip(pSmilie, pt) || HitTestSmilie(pSmilie, pt.x, pt.y) != SMILIEPART_BODY ||
        m_pResize != NULL || m_pReposition != NULL)
        return;
    const bool bShownAlready = m_pHoveredSmilie == pSmilie;
    m_pHoveredSmilie = pSmilie;
    if (g_Settings.SmiliePreviewMode == 1 && bShownAlready)
        return;
    m_ptLastHover = pt;
    POINT ptScreen = pt;
    ::ClientToScreen(m_hWnd, &ptScreen);
    ShowSmilieTip(pSmilie, ptScreen.x, ptScreen.y);
}

void CSmiliesFieldControl::OnTipTick()
{
    KillTipTimer();
    if (!IsWindowVisible() || !g_Settings.ShowTips || g_nActiveDrags != 0)
        return;
    const POINT pt = GetCursorClientPos();
    if (SamePoint(pt, m_ptLastTip) || m_pResize != NULL || m_pReposition != NULL)
        return;
    const int nTip = GetPartTipNumber(pt);
    if (nTip == 0)
        return;
    m_ptLastTip = pt;
    ShowPartTip(nTip, pt.x, pt.y);
}

int CSmiliesFieldControl::GetPartTipNumber(POINT pt)
{
    const POINT cell = CellFromPoint(pt);
    CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie != NULL) {
        const int nPart = HitTestSmilie(pSmilie, pt.x, pt.y);
        if (nPart == SMILIEPART_MENU || nPart == SMILIEPART_SELECT || nPart == SMILIEPART_REPOSITION)
            return nPart;
        return IsOnResizeGrip(pSmilie, pt) ? 1 : 0;
    }
    return HitTestEmptyCell(cell.x, cell.y, pt.x, pt.y) == 2 ? 2 : 0;
}

// --- tips ------------------------------------------------------------------------------------

void CSmiliesFieldControl::ShowSmilieTip(CSmilie* pSmilie, int x, int y)
{
    if (pSmilie == NULL || pSmilie->m_bPressed)
        return;
    const BOOL bWeb = (pSmilie->m_nFlags & CSmilie::flagWebSmilie) != 0;
    const BOOL bPicture = pSmilie->m_nImageRecord != 0;
    CString strSource;
    pSmilie->GetSource(strSource);

    CString strLines;
    const DWORD nState = pSmilie->m_nDownloadState & 0xFF;
    if (nState == DOWNLOAD_RUNNING)
        strLines = GetLangString(bWeb ? 583 : 371);
    else if (nState >= 3 && nState <= 11)
        strLines = GetLangString(369 + static_cast<int>(nState));
    if (bPicture && strSource.IsEmpty()) {
        if (!strLines.IsEmpty())
            strLines += "\r\n";
        strLines += GetLangString(459);
    }
    if ((!bPicture || bWeb) && !strSource.IsEmpty() && strLines.IsEmpty())
        strLines = GetLangString(bWeb ? 584 : 460);

    FONTSTYLE style = SkinPreviewStyle();
    style.clrPictureBack = g_Settings.SmiliePreviewBackgroundColor;
    style.clrName = g_Settings.SmiliePreviewNameColor;
    const COLORREF clrField = GetBackgroundColor();
    if (!(GetRValue(clrField) == GetGValue(clrField) && GetGValue(clrField) == GetBValue(clrField)))
        style.clrFrame = clrField;
    else if (IsAccentOn())
        style.clrFrame = GetAccentColor();
    const BOOL bCensored = (pSmilie->m_nFlags & CSmilie::flagCensored) && !g_Settings.ShowCensoredSmilies;
    if (!g_Settings.SmiliePreviewIncludesName && !bCensored)
        style.nNameHeight = 0;

    if (!pSmilie->m_strPhrase.IsEmpty() && !bPicture && nState == DOWNLOAD_DONE && !pSmilie->HasPendingSource()) {
        if (CSmiliePreview::Show(pSmilie->m_strPhrase, this, 0, 0, FALSE, &style, FALSE, x, y) != NULL)
            s_nSmilieTipsShown++;
        return;
    }
    const BOOL bShowPicture =
        bPicture && !(g_Settings.SmiliePreviewOnlyForBigOnes && !pSmilie->IsImageLargerThanCell());
    if (!bShowPicture && strLines.IsEmpty())
        return;
    if (CSmiliePreview::Show(strLines, this, bShowPicture ? pSmilie->m_nImageRecord : 0, pSmilie->m_nCrop, bCensored,
                             &style, FALSE, x, y) != NULL)
        s_nSmilieTipsShown++;
}

void CSmiliesFieldControl::ShowPartTip(int nTip, int x, int y)
{
    if (nTip < 1 || nTip > 4)
        return;
    ClosePartTip();
    m_pPartTip = new C3DToolTip(g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL);
    LPCTSTR pszTitle = GetLangString(461 + 2 * (nTip - 1));
    LPCTSTR pszText = GetLangString(462 + 2 * (nTip - 1));
    const int nShown = g_ShellDllVersions.MultilineTips ? m_pPartTip->ShowAt(this, pszText, pszTitle, x, y)
                                                        : m_pPartTip->ShowAt(this, pszTitle, NULL, x, y);
    if (!nShown) {
        delete m_pPartTip;
        m_pPartTip = NULL;
    }
}

void CSmiliesFieldControl::ClosePartTip()
{
    if (m_pPartTip == NULL)
        return;
    C3DToolTip* pTip = m_pPartTip;
    m_pPartTip = NULL;
    if (pTip->m_hWnd != NULL)
        pTip->DestroyWindow();
    delete pTip;
}

void CSmiliesFieldControl::ShowFieldMessage(LPCTSTR pszText, int x, int y)
{
    CloseInFieldControls();
    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    FONTSTYLE style = SkinPreviewStyle();
    const COLORREF clrField = GetBackgroundColor();
    if (!(GetRValue(clrField) == GetGValue(clrField) && GetGValue(clrField) == GetBValue(clrField)))
        style.clrFrame = clrField;
    else if (IsAccentOn())
        style.clrFrame = GetAccentColor();
    CSmiliePreview::Show(pszText, this, 0, 0, FALSE, &style, TRUE, pt.x, pt.y);
}

int CSmiliesFieldControl::CopySmiliesToClipboard(POINT pt)
{
    const POINT cell = CellFromPoint(pt);
    CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie == NULL)
        return 0;
    // The set of the paste history and of Cut's deletion: the selection only
    // when the smilie under the point belongs to it.
    CSequence<CSmilie*> list;
    if (pSmilie->m_bSelected) {
        CSequence<const CSmilie*> selection;
        GetSelection(&selection);
        for (int i = 0; i < selection.GetSize(); i++)
            list.Add(const_cast<CSmilie*>(selection[i]));
    } else {
        list.Add(pSmilie);
    }
    return PutSmiliesOnClipboard(&list, m_hWnd);
}

// --- mouse -------------------------------------------------------------------------------------

void CSmiliesFieldControl::ResetTransient()
{
    KillHoverTimer();
    KillTipTimer();
    ClosePartTip();
    CloseInFieldControls();
}

void CSmiliesFieldControl::CloseInFieldControls()
{
    // The starter of a control owns it and forgets it once its loop ended.
    if (m_pResize != NULL && m_pResize->m_hWnd != NULL)
        m_pResize->DestroyWindow();
    if (m_pReposition != NULL && m_pReposition->m_hWnd != NULL)
        m_pReposition->DestroyWindow();
}

void CSmiliesFieldControl::OnDestroying()
{
    ResetTransient();
    CSmiliesFieldDropPaste::OnDestroying();
}

void CSmiliesFieldControl::OnMouseLeave()
{
    CSmiliesFieldDropPaste::OnMouseLeave();
    ClearHotState();
    ForgetPressed();
    KillHoverTimer();
    KillTipTimer();
    ClosePartTip();
}

void CSmiliesFieldControl::OnLButtonDown(UINT nFlags, int x, int y)
{
    CSmiliesFieldDropPaste::OnLButtonDown(nFlags, x, y);
    ResetTransient();
}

void CSmiliesFieldControl::OnLButtonUp(UINT nFlags, int x, int y)
{
    CSmiliesFieldDropPaste::OnLButtonUp(nFlags, x, y);
    ResetTransient();
}

void CSmiliesFieldControl::OnRButtonDown(UINT nFlags, int x, int y)
{
    CSmiliesFieldDropPaste::OnRButtonDown(nFlags, x, y);
    ResetTransient();
}

void CSmiliesFieldControl::OnRButtonUp(UINT nFlags, int x, int y)
{
    CSmiliesFieldDropPaste::OnRButtonUp(nFlags, x, y);
    ResetTransient();
}

void CSmiliesFieldControl::OnMButtonDown(UINT nFlags, int x, int y)
{
    CSmiliesFieldDropPaste::OnMButtonDown(nFlags, x, y);
    ResetTransient();
}

void CSmiliesFieldControl::OnMButtonUp(UINT /*nFlags*/, int /*x*/, int /*y*/)
{
    ResetTransient();
}

void CSmiliesFieldControl::OnMouseMove(UINT nFlags, int x, int y)
{
    CSmiliesFieldDropPaste::OnMouseMove(nFlags, x, y);
    KillHoverTimer();
    if (nFlags == 0 && g_Settings.SmiliePreviewMode != 0)
        StartHoverTimer();
    KillTipTimer();
    ClosePartTip();
    if (nFlags == 0 && g_Settings.ShowTips)
        StartTipTimer();
    CloseInFieldControls();
}

void CSmiliesFieldControl::OnHoverCheck(CSmilie* pSmilie, int /*nHotPart*/)
{
    if (m_pHoveredSmilie != NULL && m_pHoveredSmilie != pSmilie)
        m_pHoveredSmilie = NULL;
}

void CSmiliesFieldControl::LoadCursors()
{
    CSmiliesFieldDropPaste::LoadCursors();
    s_nDefaultDropMethod = g_Settings.DefaultDropMethod;
}

void CSmiliesFieldControl::FreeCursors()
{
    CSmiliesFieldDropPaste::FreeCursors();
    g_Settings.DefaultDropMethod = s_nDefaultDropMethod >= 1 && s_nDefaultDropMethod <= 4 ? s_nDefaultDropMethod : 4;
}

// --- the click -------------------------------------------------------------------------------

void CSmiliesFieldControl::OnSmilieClick(POINT* pPoint, CSmilie* pSmilie)
{
    if (pSmilie == NULL)
        return;
    CloseInFieldControls();
    HWND hTarget = s_pfnGetTarget != NULL ? s_pfnGetTarget() : NULL;
    CString strSource;
    pSmilie->GetSource(strSource);
    if (pSmilie->m_nImageRecord != 0 && strSource.IsEmpty()) {
        // A browser cannot show a picture from a file of this computer.
        CString strTitle, strExe;
        ULONGLONG ullVersion = 0;
        if (GetWindowAppInfo(hTarget, strTitle, strExe, ullVersion) && IsWebBrowserWindow(strTitle, strExe)) {
            const POINT pt = pPoint != NULL ? *pPoint : GetCursorClientPos();
            ShowFieldMessage(GetLangString(471), pt.x, pt.y);
            return;
        }
    }
    CSequence<CSmilie*> list;
    list.Add(pSmilie);
    InsertIntoWindow(hTarget, &list, m_hWnd);
    ::SetFieldsModified();
}

void CSmiliesFieldControl::OnFieldMenu(POINT* pPoint)
{
    ShowFieldMenu(this, pPoint != NULL ? *pPoint : GetCursorClientPos());
}

void CSmiliesFieldControl::OnSmilieMenu(POINT* pPoint)
{
    ShowSmilieMenu(this, pPoint != NULL ? *pPoint : GetCursorClientPos());
}

// --- move and resize --------------------------------------------------------------------------

void CSmiliesFieldControl::OnSmilieResizeStart(CSmilie* pSmilie, int /*x*/, int /*y*/)
{
    if (pSmilie == NULL || m_pResize != NULL)
        return;
    DeselectAll();
    CDlgSmilieResize control;
    m_pResize = &control;
    SIZE size = {m_nCellWidth, m_nCellHeight};
    const int nResult = control.Start(pSmilie, &size);
    m_pResize = NULL;
    if (nResult != 1 || m_hWnd == NULL || (size.cx == m_nCellWidth && size.cy == m_nCellHeight))
        return;
    ::SendMessageA(::GetParent(m_hWnd), WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(481)), 0);
    SetCellSize(pSmilie, size.cx, size.cy);
    if (FindSmilie(pSmilie) && ContainsSmilie(pSmilie)) {
        const CRect rc = GetSmilieRect(pSmilie);
        POINT pt = {rc.right - 3, rc.bottom - 3};
        ::ClientToScreen(m_hWnd, &pt);
        s_pfnSetCursorPos(pt.x, pt.y);
    }
}

void CSmiliesFieldControl::OnSmilieReposition(CSmilie* pSmilie, int /*x*/, int /*y*/)
{
    if (pSmilie == NULL || g_BusyCount != 0 || m_pReposition != NULL)
        return;
    DeselectAll();
    CDlgSmilieReposition control;
    m_pReposition = &control;
    HWND hParent = ::GetParent(m_hWnd);
    ::SendMessageA(hParent, WM_PUSHUNDO, reinterpret_cast<WPARAM>(GetLangString(482)), 0);
    // The move starts from the mark's centre: the control measures the
    // picture's shift from the cursor position it finds when it starts.
    if (FindSmilie(pSmilie) && ContainsSmilie(pSmilie)) {
        const CRect rc = GetSmilieRect(pSmilie);
        const CRect rcMark = pSmilie->GetOversizeMarkRect();
        if (!rcMark.IsRectEmpty()) {
            POINT pt = {rc.left + (rcMark.left + rcMark.right) / 2, rc.top + (rcMark.top + rcMark.bottom) / 2};
            ::ClientToScreen(m_hWnd, &pt);
            s_pfnSetCursorPos(pt.x, pt.y);
        }
    }
    const int nResult = control.Start(pSmilie);
    m_pReposition = NULL;
    // A cancelled move changed nothing either.
    if (nResult != 1)
        ::SendMessageA(hParent, WM_DROPUNDO, 0, 0);
}

// --- keys ----------------------------------------------------------------------------------------

void CSmiliesFieldControl::DeleteAt(POINT pt)
{
    const POINT cell = CellFromPoint(pt);
    CSmilie* pSmilie = GetAt(cell.x, cell.y);
    if (pSmilie != NULL && !pSmilie->m_bSelected) {
        if (m_pHoveredSmilie == pSmilie)
            m_pHoveredSmilie = NULL;
        RemoveSmilie(pSmilie, FALSE);
    }
    if (GetSelectedCount() == 0) {
        UpdateScrollRange(FALSE);
        return;
    }
    CSequence<const CSmilie*> selection;
    GetSelection(&selection);
    BeginBusy();
    for (int i = selection.GetSize() - 1; i >= 0; i--) {
        CSmilie* p = const_cast<CSmilie*>(selection[i]);
        if (!FindSmilie(p))
            continue;
        if (m_pHoveredSmilie == p)
            m_pHoveredSmilie = NULL;
        RemoveSmilie(p, FALSE);
        PumpMessagesWhileBusy();
        if (m_hWnd == NULL)
            break;
    }
    EndBusy();
    if (m_hWnd != NULL)
        UpdateScrollRange(FALSE);
}

void CSmiliesFieldControl::ScrollWithKey(UINT nChar)
{
    const int nPos = GetScrollPos();
    const int nRow = m_nCellHeight > 0 ? m_nCellHeight : 1;
    switch (nChar) {
    case VK_PRIOR:
        SendMessage(WM_VSCROLL, SB_PAGEUP);
        break;
    case VK_NEXT:
        SendMessage(WM_VSCROLL, SB_PAGEDOWN);
        break;
    case VK_END:
        SendMessage(WM_VSCROLL, SB_BOTTOM);
        break;
    case VK_HOME:
        SendMessage(WM_VSCROLL, SB_TOP);
        break;
    case VK_UP: {
        int nNew = nPos % nRow == 0 ? nPos - nRow : nPos - nPos % nRow;
        if (nNew < 0)
            nNew = 0;
        if (nNew != nPos)
            SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, nNew));
        break;
    }
    case VK_DOWN:
        SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, nPos - nPos % nRow + nRow));
        break;
    default:
        return;
    }
    if (IsCursorOverControl()) {
        const POINT pt = GetCursorClientPos();
        OnMouseMove(0, pt.x, pt.y);
    }
}

void CSmiliesFieldControl::MoveFocusWithKey(UINT nChar)
{
    POINT focus = GetFocusCell();
    const int nRows = m_nCellHeight > 0 ? m_rcView.Height() / m_nCellHeight : 0;
    switch (nChar) {
    case VK_PRIOR:
    case VK_NEXT: {
        const int nStep = nChar == VK_PRIOR ? -nRows : nRows;
        int nPos = GetScrollPos() + nStep * m_nCellHeight;
        if (nPos < 0)
            nPos = 0;
        SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, nPos));
        focus.y += nStep;
        break;
    }
    case VK_END:
        focus.y = GetRowLimit() - 1;
        break;
    case VK_HOME:
        focus.y = 0;
        break;
    case VK_LEFT:
        focus.x--;
        break;
    case VK_RIGHT:
        focus.x++;
        break;
    case VK_UP:
        focus.y--;
        break;
    case VK_DOWN:
        focus.y++;
        break;
    default:
        return;
    }
    if (focus.x < 0)
        focus.x = 0;
    if (focus.x >= GetColumnCount())
        focus.x = GetColumnCount() - 1;
    if (focus.y < 0)
        focus.y = 0;
    if (focus.y >= GetRowLimit())
        focus.y = GetRowLimit() - 1;
    SetFocusCell(focus.x, focus.y);
    ScrollFocusCellIntoView();
}

void CSmiliesFieldControl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Bit 14 of the key data's high word: the key was down already (auto-repeat).
    const bool bFirstPress = (nFlags & 0x4000) == 0;
    switch (nChar) {
    case VK_DELETE:
        if (bFirstPress) {
            ::SendMessageA(::GetParent(m_hWnd), WM_PUSHUNDO,
                           reinterpret_cast<WPARAM>(GetLangString(GetSelectedCount() > 1 ? 470 : 469)), 0);
            if (HasFocusCell()) {
                const CRect rc = GetCellRect(GetFocusCell().x, GetFocusCell().y);
                DeleteAt(rc.CenterPoint());
            } else {
                DeleteAt(GetCursorClientPos());
            }
        }
        break;
    case 'A':
        // The high bit says the key is down now; the low bit only that it was
        // pressed since some earlier call, by any program.
        if (bFirstPress && g_pfnGetAsyncKeyState != NULL && (g_pfnGetAsyncKeyState(VK_CONTROL) & 0x8000)) {
            if (GetSmilieCount() > 0 && GetSelectedCount() == GetSmilieCount())
                DeselectAll();
            else
                SelectAll();
        }
        break;
    case 'Z':
    case 'Y':
    case 'X':
    case 'C':
    case 'V':
        // The Edit menu's commands by their keys.
        if (bFirstPress && g_pfnGetAsyncKeyState != NULL && (g_pfnGetAsyncKeyState(VK_CONTROL) & 0x8000)) {
            static const struct {
                UINT nKey;
                UINT nCommand;
            } kEditKeys[] = {{'Z', ID_FIELDMENU_UNDO}, {'Y', ID_FIELDMENU_REDO}, {'X', ID_FIELDMENU_CUT},
                             {'C', ID_FIELDMENU_COPY}, {'V', ID_FIELDMENU_PASTE}};
            for (const auto& k : kEditKeys) {
                if (k.nKey == nChar)
                    RunEditCommand(this, k.nCommand);
            }
            if (m_hWnd == NULL)
                return;
        }
        break;
    case VK_RETURN:
        // Enter sends the smilie of the focus cell, as a click on it does.
        if (bFirstPress && HasFocusCell()) {
            const POINT cell = GetFocusCell();
            CSmilie* pSmilie = GetAt(cell.x, cell.y);
            if (pSmilie != NULL) {
                POINT pt = GetCellRect(cell.x, cell.y).CenterPoint();
                OnSmilieClick(&pt, pSmilie);
                if (m_hWnd == NULL)
                    return;
            }
        }
        break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (HasFocusCell())
            MoveFocusWithKey(nChar);
        else
            ScrollWithKey(nChar);
        break;
    }
    if (m_hWnd != NULL)
        CSmiliesFieldDropPaste::OnKeyDown(nChar, nRepCnt, nFlags);
}

// Shift+F10 and the context-menu key: the menu of the focus cell, opened at
// that cell (the smilie menu when a smilie lies there, else the field menu).
// Without a focus cell the first selected smilie's cell is taken; with no
// selection either, the focus cell is set at the first visible cell, as a
// right click there would set it.
void CSmiliesFieldControl::OnKeyboardMenu()
{
    POINT cell = {-1, -1};
    if (HasFocusCell()) {
        cell = GetFocusCell();
    } else if (GetSelectedCount() > 0) {
        CSequence<const CSmilie*> selection;
        GetSelection(&selection);
        if (selection.GetSize() > 0)
            cell = POINT{selection[0]->m_nColumn, selection[0]->m_nRow};
    }
    if (cell.x < 0) {
        SetFocusCell(0, CellFromPoint(POINT{0, 0}).y);
        if (!HasFocusCell())
            return;
        cell = GetFocusCell();
    }
    ScrollFocusCellIntoView();
    POINT pt = GetCellRect(cell.x, cell.y).CenterPoint();
    if (GetAt(cell.x, cell.y) != NULL)
        OnSmilieMenu(&pt);
    else if (IsCellInGrid(cell.x, cell.y))
        OnFieldMenu(&pt);
}

// --- drops -------------------------------------------------------------------------------------

int CSmiliesFieldControl::QueryDropMode(BOOL bRightDrag)
{
    if (!bRightDrag)
        return s_nDefaultDropMethod;
    static const struct {
        int nText;
        int nTip;
        UINT nIcon;
    } kMethods[4] = {{64, 65, IDI_DROPMENU_METHOD1},
                     {66, 67, IDI_DROPMENU_METHOD2},
                     {68, 69, IDI_DROPMENU_METHOD3},
                     {70, 71, IDI_DROPMENU_METHOD4}};
    const TEXTSTYLE* pStyle = g_pSkin != NULL ? &g_pSkin->m_menuTextStyle : NULL;
    C3DMenu menu, defaults;
    menu.CreatePopup(pStyle);
    defaults.CreatePopup(pStyle);
    HICON hIcons[5];
    for (int i = 0; i < 4; i++) {
        hIcons[i] = LoadMenuIcon(kMethods[i].nIcon);
        menu.AppendItem(NULL, GetLangString(kMethods[i].nText), MF_ENABLED, i + 1, hIcons[i],
                        GetLangString(kMethods[i].nTip));
    }
    menu.AppendItem(NULL, NULL, MF_SEPARATOR, 0);
    for (int i = 0; i < 4; i++) {
        const BOOL bDefault = s_nDefaultDropMethod == i + 1;
        defaults.AppendItem(NULL, GetLangString(kMethods[i].nText), bDefault ? MF_GRAYED : MF_ENABLED, i + 5,
                            hIcons[i], GetLangString(bDefault ? 63 : 62));
    }
    hIcons[4] = LoadMenuIcon(IDI_DROPMENU_DEFAULT);
    menu.AppendItem(NULL, GetLangString(61), MF_POPUP, reinterpret_cast<UINT_PTR>(defaults.m_hMenu), hIcons[4]);

    POINT pt = {0, 0};
    ::GetCursorPos(&pt);
    ::SetForegroundWindow(::GetAncestor(m_hWnd, GA_ROOT));
    const UINT nCommand = menu.Track(this, pt.x, pt.y);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    // The submenu belongs to the menu now; it goes with it.
    defaults.Detach();
    for (HICON hIcon : hIcons)
        if (hIcon != NULL)
            ::DestroyIcon(hIcon);
    if (nCommand >= 1 && nCommand <= 4)
        return static_cast<int>(nCommand);
    if (nCommand >= 5 && nCommand <= 8)
        s_nDefaultDropMethod = static_cast<int>(nCommand) - 4;
    return 0;
}

BOOL CSmiliesFieldControl::CanAcceptDroppedPictures(COleDataObject* pData)
{
    return pData != NULL && HasDroppedPictures(pData);
}

BOOL CSmiliesFieldControl::ImportDropData(COleDataObject* pData, int x, int y)
{
    CloseInFieldControls();
    if (pData == NULL || !ReadDroppedData(pData, m_DroppedImages, m_strDroppedText))
        return FALSE;
    m_ptDrop.x = x;
    m_ptDrop.y = y;
    // The import asks and shows windows: it runs after the drop returned.
    PostMessage(WM_IMPORTDROPPED);
    return TRUE;
}

int CSmiliesFieldControl::FillDataSource(CSequence<CSmilie*>* pList, CTvFieldDataSource* pSource)
{
    return ::FillDataSource(pList, m_hWnd, pSource, g_Settings.EudoraOnly);
}

DROPEFFECT CSmiliesFieldControl::CanAcceptDrop(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    const DROPEFFECT effect = CSmiliesFieldDropPaste::CanAcceptDrop(pDataObject, dwKeyState, point);
    if (effect != DROPEFFECT_NONE)
        return effect;
    return CanAcceptDroppedPictures(pDataObject) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

BOOL CSmiliesFieldControl::OnDropData(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    const BOOL bTaken = CSmiliesFieldDropPaste::OnDropData(pDataObject, dropEffect, point);
    CloseInFieldControls();
    if (bTaken)
        return TRUE;
    return ImportDropData(pDataObject, point.x, point.y);
}

LRESULT CSmiliesFieldControl::OnImportDropped()
{
    const int nCount = m_DroppedImages.GetSize();
    if (nCount > 0 && nCount <= 16) {
        AddPicturesAt(this, m_ptDrop, m_DroppedImages, 0);
    } else if (nCount > 16) {
        const CString strTitle = CString("Tarvenex: ") + GetLangString(535) + "...";
        const BOOL bShown = ShowAutoProgress(strTitle, CWnd::FromHandle(GetMainWindow())) != 0;
        AddPicturesAt(this, m_ptDrop, m_DroppedImages, 65535);
        // Only the one who showed the window closes it.
        if (bShown)
            CloseAutoProgress();
    } else if (!m_strDroppedText.IsEmpty()) {
        const CString strText = m_strDroppedText;
        m_strDroppedText.Empty();
        NewPhraseAt(m_ptDrop, this, strText);
    }
    FreeImageInfoList(m_DroppedImages);
    m_strDroppedText.Empty();
    return 0;
}

LRESULT CSmiliesFieldControl::OnDropRefused(WPARAM wParam)
{
    CString strText;
    switch (wParam) {
    case 1:
    case 2:
        strText = GetLangString(369);
        break;
    case 3:
        strText = CString(GetLangString(365)) + " 300K";
        break;
    case 4: {
        char szText[512];
        FormatTemplate(szText, sizeof(szText), GetLangString(366), "[NUM]", "%d", 2 * 640 + 2 * 480, NULL);
        strText = szText;
        break;
    }
    case 5:
    case 7:
        strText = GetLangString(368);
        break;
    default:
        return 0;
    }
    ShowFieldMessage(strText, m_ptDrop.x, m_ptDrop.y);
    return 0;
}

LRESULT CSmiliesFieldControl::OnShowMessage()
{
    if (g_BusyCount != 0 || g_nActiveDrags != 0 || C3DMenu::GetTrackingCount() != 0 || GetRunningModalDialog() != NULL)
        return 0;
    MessageBox3D(CWnd::FromHandle(::GetActiveWindow()), "Tarvenex", GetLangString(582), MB_ICONINFORMATION,
                 g_Settings.FadeDialogs, SkinBodyStyle());
    return 0;
}

LRESULT CSmiliesFieldControl::OnPreviewClick(WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    SendMessage(WM_MOUSEMOVE, wParam, MAKELPARAM(x + 1, y + 1));
    SendMessage(WM_LBUTTONDOWN, wParam, MAKELPARAM(x, y));
    return 0;
}

// --- downloads -----------------------------------------------------------------------------------

BOOL CSmiliesFieldControl::IsOurSmilieInPlace(const CSmilie* pSmilie) const
{
    // Only a smilie found among this field's own is read: a message may name
    // one that was deleted meanwhile.
    return FindSmilie(pSmilie) && ContainsSmilie(pSmilie);
}

LRESULT CSmiliesFieldControl::OnSmilieUpdated(WPARAM wParam)
{
    const CSmilie* pSmilie = reinterpret_cast<const CSmilie*>(wParam);
    if (IsOurSmilieInPlace(pSmilie))
        RedrawSmilie(pSmilie);
    return 0;
}

BOOL CSmiliesFieldControl::CompleteDownload(CSmilie* pSmilie)
{
    CCheckUrlWorker* pWorker = pSmilie->m_pDownload->m_pWorker;
    BOOL bResult = FALSE;
    DWORD nSize = 0;
    if (pWorker != NULL) {
        CSingleLock lock(pWorker, TRUE);
        bResult = pWorker->m_pResult != NULL;
        nSize = pWorker->m_nResultLength;
    }
    if (!bResult || nSize == 0 || nSize > TVNX_MAX_DOWNLOAD) {
        pSmilie->SetDownloadState(6);
        return FALSE;
    }
    // One byte more than the data, so that a text ends in a zero without
    // losing its last character.
    BYTE* pBuffer = new (std::nothrow) BYTE[nSize + 1];
    if (pBuffer == NULL) {
        pSmilie->ReleaseDownload();
        pSmilie->SetDownloadState(9);
        return FALSE;
    }
    CCheckUrl::TakeResult(pSmilie->m_pDownload, pBuffer);
    pBuffer[nSize] = 0;

    BOOL bFinished = FALSE;
    CImageReader reader;
    if (!CImageReader::LoadFromMemory(pBuffer, reader, nSize, FALSE) || !CImageReader::IsLoaded(reader)) {
        pSmilie->SetDownloadState(LooksLikeErrorPage(reinterpret_cast<const char*>(pBuffer)) ? 4 : 5);
        bFinished = TRUE;
    } else {
        const CSize size = reader.GetReader()->GetSize();
        CString strSource, strName;
        pSmilie->GetSource(strSource);
        GetSourceFileNameNoTarget(strName, strSource);
        const BOOL bOpen = g_pCollectionFile != NULL && g_pCollectionFile->IsOpen();
        if (size.cx + size.cy > kMaxFieldPicturePerimeter) {
            pSmilie->SetDownloadState(8);
        } else if (size.cx < 3 || size.cy < 3) {
            bFinished = TRUE;
        } else if (pSmilie->m_nImageRecord == 0) {
            const uint32_t nRecord = bOpen ? g_pCollectionFile->AppendRecord(pBuffer, strName, nSize) : 0;
            if (nRecord != 0) {
                pSmilie->SetImage(nRecord);
                pSmilie->m_nFlags &= ~static_cast<DWORD>(CSmilie::flagWebSmilie);
                ::SetFieldsModified();
            } else {
                pSmilie->SetDownloadState(11);
            }
        } else if (bOpen && g_pCollectionFile->FindSameRecord(NULL, pBuffer, nSize) == pSmilie->m_nImageRecord) {
            pSmilie->m_nFlags &= ~static_cast<DWORD>(CSmilie::flagWebSmilie);
        } else {
            const CSize sizeOld = pSmilie->GetImageSize();
            const uint32_t nRecord = bOpen ? g_pCollectionFile->AppendRecord(pBuffer, strName, nSize) : 0;
            if (nRecord != 0) {
                if (sizeOld != size) {
                    pSmilie->m_nOffsetX = CSmilie::offsetCentred;
                    pSmilie->m_nOffsetY = CSmilie::offsetCentred;
                    pSmilie->m_nCrop = 0;
                }
                pSmilie->SetImage(nRecord);
                ::SetFieldsModified();
            } else {
                pSmilie->SetDownloadState(11);
            }
        }
    }
    delete[] pBuffer;
    return bFinished;
}

LRESULT CSmiliesFieldControl::OnSmilieUrlResult(WPARAM wParam)
{
    CSmilie* pSmilie = reinterpret_cast<CSmilie*>(wParam);
    if (pSmilie == NULL || !FindSmilie(pSmilie))
        return 0;
    const BOOL bWeb = (pSmilie->m_nFlags & CSmilie::flagWebSmilie) != 0;
    if (!bWeb)
        CSmilie::UnqueueDownload(pSmilie);
    if (!ContainsSmilie(pSmilie) || pSmilie->m_pDownload == NULL)
        return 0;

    BOOL bFinished = FALSE;
    const BOOL bDone = (pSmilie->GetDownloadState() & 0xFF) == DOWNLOAD_DONE;
    if (bDone)
        bFinished = CompleteDownload(pSmilie);
    // Once, whatever the outcome: the smilie forgets the worker with it. The
    // cell is painted after that, since painting reads a live worker's state
    // over the outcome's.
    pSmilie->ReleaseDownload();
    if (bDone)
        RedrawSmilie(pSmilie);

    if (bFinished && !(pSmilie->m_nFlags & CSmilie::flagWebSmilie) && pSmilie->HasPendingSource()) {
        if (g_BusyCount > 0) {
            // The result came through the busy state's message pump: the
            // operation that pumps (a group dropped, pasted or deleted) may
            // still hold this smilie. It goes once that operation is over.
            m_DeferredRemovals.Add(pSmilie);
            ::SetTimer(m_hWnd, kDeferredRemovalTimer, kDeferredRemovalMs, NULL);
        } else {
            RemoveFinishedSmilie(pSmilie);
        }
    }
    while (CSmilie::StartNextDownload(FALSE, NULL)) {
    }
    if (bWeb && !IsAnyDownloadRunning()) {
        if (g_pCollectionFile != NULL)
            g_pCollectionFile->SetLevelByte(10);
        PostMessage(WM_DOWNLOADSFINISHED);
    }
    return 0;
}

void CSmiliesFieldControl::RemoveFinishedSmilie(CSmilie* pSmilie)
{
    if (m_pHoveredSmilie == pSmilie)
        m_pHoveredSmilie = NULL;
    RemoveSmilieAlone(pSmilie);
    UpdateScrollRange(FALSE);
}

void CSmiliesFieldControl::RemoveDeferredSmilies()
{
    if (g_BusyCount > 0)
        return;
    ::KillTimer(m_hWnd, kDeferredRemovalTimer);
    CSequence<CSmilie*> list;
    for (int i = 0; i < m_DeferredRemovals.GetSize(); i++)
        list.Add(m_DeferredRemovals[i]);
    m_DeferredRemovals.RemoveAll();
    for (int i = 0; i < list.GetSize(); i++) {
        // The operation may have removed or replaced it meanwhile.
        CSmilie* pSmilie = list[i];
        if (FindSmilie(pSmilie) && ContainsSmilie(pSmilie) && pSmilie->HasPendingSource() &&
            !(pSmilie->m_nFlags & CSmilie::flagWebSmilie))
            RemoveFinishedSmilie(pSmilie);
    }
}

// --- the message table ---------------------------------------------------------------------------

LRESULT CSmiliesFieldControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DOWNLOADPROGRESS:
        return OnSmilieUpdated(wParam);
    case WM_DOWNLOADDONE:
        return OnSmilieUrlResult(wParam);
    case WM_TIMER:
        if (wParam == kDeferredRemovalTimer) {
            RemoveDeferredSmilies();
            return 0;
        }
        break;
    case WM_IMPORTDROPPED:
        return OnImportDropped();
    case WM_DROPREFUSED:
        return OnDropRefused(wParam);
    case WM_DOWNLOADSFINISHED:
        return OnShowMessage();
    case WM_PREVIEWLCLICK:
        return OnPreviewClick(wParam, lParam);
    case WM_PREVIEWRCLICK:
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_APPS) {
            OnKeyboardMenu();
            return 0;
        }
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_KEYUP:
        if (wParam == VK_APPS)
            return 0;  // opened on the press; no second menu from the default handling
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F10 && ::GetKeyState(VK_SHIFT) < 0) {
            OnKeyboardMenu();
            return 0;
        }
        break;
    case WM_MENUCHAR:
        // The letter of an item of the field's own menus chooses it.
        return HandleMenuChar(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_CONTEXTMENU:
        // From the keyboard the point is (-1, -1); a click has its own road.
        if (lParam == -1 || lParam == 0xFFFFFFFF) {
            OnKeyboardMenu();
            return 0;
        }
        break;
    case WM_MOUSEWHEEL:
        m_ptLastHover.x = m_ptLastHover.y = -1;
        m_ptLastTip.x = m_ptLastTip.y = -1;
        break;
    case WM_VSCROLL:
        CloseInFieldControls();
        break;
    }
    // WM_DESTROY cleans up also while a modal dialog runs: the smilies and their
    // downloads must not outlive the window their messages go to.
    return CSmiliesFieldDropPaste::WindowProc(message, wParam, lParam);
}
