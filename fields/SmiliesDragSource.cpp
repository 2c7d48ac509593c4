#include "fields/SmiliesDragSource.h"

#include "collection/Smilie.h"
#include "delivery/AppAttr.h"
#include "delivery/Insertion.h"
#include "fields/SmiliesField.h"
#include "framework/Dc.h"
#include "services/Languages.h"
#include "services/ProgramWindows.h"
#include "ui3d/controls/DragImageWnd.h"
#include "ui3d/drawing/SelectedBitmapDC.h"

#include <algorithm>
#include <vector>

// ---- the running drag ------------------------------------------------------------------

namespace {

SMILIEDRAGDESC* s_pRunningDesc = NULL;
DWORD s_nRunningStamp = 0;
DWORD s_nLastStamp = 0;

}  // namespace

CRunningGroupDrag::CRunningGroupDrag(SMILIEDRAGDESC* pDesc)
    : m_pPrevious(s_pRunningDesc), m_nPreviousStamp(s_nRunningStamp)
{
    // 0 never names a drag.
    if (++s_nLastStamp == 0)
        ++s_nLastStamp;
    m_nStamp = s_nLastStamp;
    s_pRunningDesc = pDesc;
    s_nRunningStamp = m_nStamp;
}

CRunningGroupDrag::~CRunningGroupDrag()
{
    s_pRunningDesc = m_pPrevious;
    s_nRunningStamp = m_nPreviousStamp;
}

HGLOBAL MakeGroupDragBlock(const CRunningGroupDrag& drag, SMILIEDRAGDESC* pDesc)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(SMILIEGROUPDRAGDATA));
    if (hGlobal == NULL)
        return NULL;
    SMILIEGROUPDRAGDATA* p = static_cast<SMILIEGROUPDRAGDATA*>(::GlobalLock(hGlobal));
    if (p == NULL) {
        ::GlobalFree(hGlobal);
        return NULL;
    }
    p->nDescriptor = reinterpret_cast<UINT_PTR>(pDesc);
    p->nProcessId = ::GetCurrentProcessId();
    p->nDragStamp = drag.GetStamp();
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

SMILIEDRAGDESC* ReadGroupDragBlock(HGLOBAL hGlobal)
{
    if (hGlobal == NULL || ::GlobalSize(hGlobal) < sizeof(SMILIEGROUPDRAGDATA))
        return NULL;
    const SMILIEGROUPDRAGDATA* p = static_cast<const SMILIEGROUPDRAGDATA*>(::GlobalLock(hGlobal));
    if (p == NULL)
        return NULL;
    const SMILIEGROUPDRAGDATA data = *p;
    ::GlobalUnlock(hGlobal);
    if (data.nDescriptor == 0 || s_pRunningDesc == NULL || data.nProcessId != ::GetCurrentProcessId() ||
        data.nDragStamp != s_nRunningStamp || data.nDescriptor != reinterpret_cast<UINT_PTR>(s_pRunningDesc))
        return NULL;
    return s_pRunningDesc;
}

DRAGCURSORS g_DragCursors = {NULL, NULL, NULL, FALSE, FALSE, FALSE};

// ---- programs that refuse dropped pictures -----------------------------------------------

const DRAGREFUSER g_DragRefusers[6] = {
    {"winpm-32.exe", "Pegasus Mail"},
    {"thebat.exe", "The Bat!"},
    {"eudora.exe", "Eudora"},
    {"waol.exe", "America Online"},
    {"aol.exe", "America Online"},
    {"wwm.exe", "Wal-Mart Connect"},
};

int FindDragRefuser(const char* pszExe, DWORD nVersionMs)
{
    if (pszExe == NULL)
        return -1;
    for (int i = 5; i >= 0; i--) {
        if (lstrcmpiA(pszExe, g_DragRefusers[i].pszExe) != 0)
            continue;
        if (i == 2) {
            const double v = GetVersionNumber(nVersionMs);
            if (v >= 6.0 && v < 6.1)
                return -1;
        }
        return i;
    }
    return -1;
}

// ---- the warning -----------------------------------------------------------------------------

CDDWarn::CDDWarn() : m_clrText(::GetSysColor(COLOR_INFOTEXT)), m_clrBack(::GetSysColor(COLOR_INFOBK)), m_TextSize{0, 0}
{
}

CDDWarn::~CDDWarn()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CDDWarn::Create(LPCSTR pszText, HWND hOwner)
{
    m_strText = pszText != NULL ? pszText : "";
    m_Font.CreatePointFont(80, "MS Shell Dlg");
    HDC hScreen = ::GetDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hScreen, m_Font.GetSafeHandle() != NULL ? m_Font.GetSafeHandle()
                                                                          : ::GetStockObject(DEFAULT_GUI_FONT));
    ::GetTextExtentPoint32A(hScreen, m_strText, m_strText.GetLength(), &m_TextSize);
    ::SelectObject(hScreen, hOld);
    ::ReleaseDC(NULL, hScreen);
    LPCSTR pszClass = AfxRegisterWndClass(0);
    // Top-most: the warning stands next to the cursor over another program.
    return pszClass != NULL && CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, pszClass, m_strText, WS_POPUP, 0, 0,
                                        m_TextSize.cx + 10, m_TextSize.cy + 4, hOwner, NULL);
}

void CDDWarn::MoveTo(POINT ptScreen)
{
    if (m_hWnd == NULL)
        return;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, ptScreen.x, ptScreen.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CDDWarn::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HBRUSH hBack = ::CreateSolidBrush(m_clrBack);
    ::FillRect(hDC, &rc, hBack);
    ::DeleteObject(hBack);
    HBRUSH hFrame = ::CreateSolidBrush(m_clrText);
    ::FrameRect(hDC, &rc, hFrame);
    ::DeleteObject(hFrame);
    HGDIOBJ hOld = ::SelectObject(hDC, m_Font.GetSafeHandle() != NULL ? m_Font.GetSafeHandle()
                                                                      : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(hDC, m_clrText);
    ::SetBkMode(hDC, TRANSPARENT);
    ::DrawTextA(hDC, m_strText, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(hDC, hOld);
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CDDWarn::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- drop source -------------------------------------------------------------------------

BOOL (WINAPI* CODSPictsGroup::s_pfnGetCursorPos)(LPPOINT) = ::GetCursorPos;

CODSPictsGroup::CODSPictsGroup(SMILIEDRAGDESC* pDesc, CSmiliesField* pField) : m_pDesc(pDesc), m_pField(pField)
{
}

CODSPictsGroup::~CODSPictsGroup()
{
    CloseDragImage();
}

BOOL CODSPictsGroup::OnBeginDrag(CWnd* pWnd)
{
    ShowGroupImage();
    return COleDropSource::OnBeginDrag(pWnd);
}

// The dragged cells in view, drawn where they stand in the field; the cells of
// the box that are not dragged stay holes. A group of several gets a small
// plus sign beside the grabbed cell.
void CODSPictsGroup::ShowGroupImage()
{
    if (m_pDesc == NULL || m_pField == NULL || m_pField->m_hWnd == NULL || m_pDesc->smilies.GetSize() == 0)
        return;
    const CRect& rcView = m_pField->GetViewRect();
    CRect rcBox;
    std::vector<CRect> cells;
    const CSmilie* pGrabbed = NULL;
    const int nScroll = m_pField->GetScrollPos();
    const POINT ptStart = {m_pDesc->x, m_pDesc->y - nScroll};
    for (int i = 0; i < m_pDesc->smilies.GetSize(); i++) {
        const CSmilie* pSmilie = m_pDesc->smilies[i];
        if (pSmilie == NULL)
            continue;
        const CRect rc = m_pField->GetSmilieRect(pSmilie);
        CRect rcSeen;
        if (!rcSeen.IntersectRect(&rc, &rcView))
            continue;
        cells.push_back(rc);
        rcBox.UnionRect(&rcBox, &rc);
        if (::PtInRect(&rc, ptStart))
            pGrabbed = pSmilie;
    }
    rcBox.IntersectRect(&rcBox, &rcView);
    if (cells.empty() || rcBox.IsRectEmpty())
        return;

    CBitmap bitmap;
    HDC hScreen = ::GetDC(NULL);
    bitmap.Attach(::CreateCompatibleBitmap(hScreen, rcBox.Width(), rcBox.Height()));
    bool bDrawn = false;
    if (bitmap.GetSafeHandle() != NULL) {
        CSelectedBitmapDC mem(hScreen, static_cast<HBITMAP>(bitmap.GetSafeHandle()));
        if (mem.m_hDC != NULL) {
            CDC dc;
            dc.Attach(mem.m_hDC);
            for (int i = 0; i < m_pDesc->smilies.GetSize(); i++) {
                const CSmilie* pSmilie = m_pDesc->smilies[i];
                if (pSmilie == NULL)
                    continue;
                const CRect rc = m_pField->GetSmilieRect(pSmilie);
                m_pField->DrawSmilieAt(&dc, POINT{rc.left - rcBox.left, rc.top - rcBox.top}, pSmilie);
            }
            if (m_pDesc->smilies.GetSize() > 1) {
                const CSmilie* pMarked = pGrabbed != NULL ? pGrabbed : m_pDesc->smilies[0];
                const CRect rc = m_pField->GetSmilieRect(pMarked);
                const int r = rc.right - rcBox.left - 2, b = rc.bottom - rcBox.top - 2;
                const RECT rcSign = {r - 9, b - 9, r, b};
                ::FillRect(mem.m_hDC, &rcSign, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
                ::FrameRect(mem.m_hDC, &rcSign, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
                const RECT rcH = {r - 7, b - 5, r - 2, b - 4}, rcV = {r - 5, b - 7, r - 4, b - 2};
                ::FillRect(mem.m_hDC, &rcH, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
                ::FillRect(mem.m_hDC, &rcV, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            }
            dc.Detach();
            bDrawn = true;
        }
    }
    ::ReleaseDC(NULL, hScreen);
    if (!bDrawn)
        return;

    // The cells of the box no dragged smilie covers let the screen through.
    std::vector<RECT> holes;
    const int cw = std::max(1, m_pField->GetCellWidth()), ch = std::max(1, m_pField->GetCellHeight());
    for (int y = rcBox.top - ((rcBox.top + nScroll) % ch); y < rcBox.bottom; y += ch) {
        for (int x = rcBox.left - (rcBox.left % cw); x < rcBox.right; x += cw) {
            const CRect rcCell(x, y, x + cw, y + ch);
            bool bCovered = false;
            for (const CRect& rc : cells)
                bCovered = bCovered || rc == rcCell;
            if (!bCovered)
                holes.push_back(RECT{x - rcBox.left, y - rcBox.top, x - rcBox.left + cw, y - rcBox.top + ch});
        }
    }
    CRect rcScreen = rcBox;
    ::MapWindowPoints(m_pField->m_hWnd, NULL, reinterpret_cast<POINT*>(&rcScreen), 2);
    const POINT ptImage = {0, 0};
    ShowDragImage(rcScreen, &bitmap, &ptImage, holes.empty() ? NULL : holes.data(), int(holes.size()), NULL, 0,
                  ptStart.x - rcBox.left, ptStart.y - rcBox.top);
}

SCODE CODSPictsGroup::GiveFeedback(DROPEFFECT dropEffect)
{
    POINT pt = {0, 0};
    s_pfnGetCursorPos(&pt);
    MoveDragImage(dropEffect, pt.x, pt.y);
    HCURSOR hCursor;
    if (dropEffect & DROPEFFECT_SCROLL)
        hCursor = g_DragCursors.hScroll != NULL ? g_DragCursors.hScroll : ::LoadCursorA(NULL, IDC_ARROW);
    else if (dropEffect & (DROPEFFECT_COPY | DROPEFFECT_MOVE))
        hCursor = g_DragCursors.hCopyMove != NULL ? g_DragCursors.hCopyMove : ::LoadCursorA(NULL, IDC_HAND);
    else
        hCursor = g_DragCursors.hNoDrop != NULL ? g_DragCursors.hNoDrop : ::LoadCursorA(NULL, IDC_NO);
    ::SetCursor(hCursor);
    return S_OK;
}

SCODE CODSPictsGroup::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    const SCODE sc = COleDropSource::QueryContinueDrag(bEscapePressed, dwKeyState);
    if (sc != S_OK && m_pDesc != NULL)
        CloseDragImage();
    return sc;
}

// ---- drop source with the warning -----------------------------------------------------------

CODSPictsGroup_DDWarn::CODSPictsGroup_DDWarn(SMILIEDRAGDESC* pDesc, CSmiliesField* pField)
    : CODSPictsGroup(pDesc, pField), m_pWarn(NULL), m_bNoSource(FALSE)
{
    for (int i = 0; pDesc != NULL && i < pDesc->smilies.GetSize(); i++) {
        const CSmilie* pSmilie = pDesc->smilies[i];
        if (pSmilie != NULL && pSmilie->m_nImageRecord != 0 &&
            (pSmilie->m_pszSource == NULL || pSmilie->m_pszSource[0] == '\0'))
            m_bNoSource = TRUE;
    }
}

CODSPictsGroup_DDWarn::~CODSPictsGroup_DDWarn()
{
    DestroyWarning();
}

void CODSPictsGroup_DDWarn::DestroyWarning()
{
    delete m_pWarn;
    m_pWarn = NULL;
}

void CODSPictsGroup_DDWarn::MoveWarning()
{
    if (m_pWarn == NULL)
        return;
    POINT pt = {0, 0};
    s_pfnGetCursorPos(&pt);
    m_pWarn->MoveTo(POINT{pt.x + 32, pt.y + 32});
}

CString CODSPictsGroup_DDWarn::WarningText()
{
    CString strTitle, strExe, strText;
    DWORD version[2] = {0, 0};
    HWND hWindow = NULL;
    if (!GetTargetApplication(strTitle, strExe, version, &hWindow, TRUE))
        return strText;
    const int nRow = FindDragRefuser(strExe, version[1]);
    if (nRow >= 0) {
        strText = GetLangString(483);
        strText.Replace("[APPNAME]", g_DragRefusers[nRow].pszName);
    } else if (m_bNoSource && IsWebBrowserWindow(strTitle, strExe)) {
        strText = GetLangString(484);
    }
    return strText;
}

SCODE CODSPictsGroup_DDWarn::GiveFeedback(DROPEFFECT dropEffect)
{
    if (dropEffect != DROPEFFECT_NONE) {
        DestroyWarning();
    } else {
        const CString strText = WarningText();
        if (strText.IsEmpty()) {
            DestroyWarning();
        } else {
            if (m_pWarn == NULL) {
                m_pWarn = new CDDWarn;
                if (!m_pWarn->Create(strText, GetMainWindow()))
                    DestroyWarning();
            }
            MoveWarning();
        }
    }
    return CODSPictsGroup::GiveFeedback(dropEffect);
}

SCODE CODSPictsGroup_DDWarn::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    MoveWarning();
    return CODSPictsGroup::QueryContinueDrag(bEscapePressed, dwKeyState);
}
