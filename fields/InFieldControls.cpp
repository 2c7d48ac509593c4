// The in-field move and resize controls; see InFieldControls.h.
#include "fields/InFieldControls.h"

#include "collection/ImgCache.h"
#include "fields/SmiliesField.h"
#include "ui3d/controls/SmiliePreview.h"

#include <cstdlib>

void (*CInFieldControl::s_pfnLoopStarted)(CInFieldControl*) = NULL;

int NaturalCellHeight(int nWidth)
{
    switch (nWidth) {
    case 35:
        return 34;
    case 49:
        return 47;
    case 81:
        return 78;
    }
    return nWidth * 97 / 100;
}

SIZE ComputeResizedCell(int cxClient, int cxWindow, int x, int y)
{
    // A field narrower than 7 pixels would give a minimum width of 0, and the
    // whole-cells step below divides by the width.
    int nMinWidth = cxClient / 7;
    if (nMinWidth < 1)
        nMinWidth = 1;
    int nMaxWidth = cxClient / 2;
    if (nMaxWidth < nMinWidth)
        nMaxWidth = nMinWidth;
    const int nMinHeight = 2 * nMinWidth / 3;
    int nMaxHeight = 2 * (cxClient / 2);
    if (nMaxHeight < nMinHeight)
        nMaxHeight = nMinHeight;

    SIZE size;
    size.cx = x <= nMinWidth ? nMinWidth : (x < nMaxWidth ? x : nMaxWidth);
    size.cy = y <= nMinHeight ? nMinHeight : (y < nMaxHeight ? y : nMaxHeight);
    const int nCells = size.cx > 0 ? cxWindow / size.cx : 0;
    if (nCells > 0)
        size.cx = cxWindow / nCells;
    const int nNatural = NaturalCellHeight(size.cx);
    if (std::abs(size.cy - nNatural) <= 2)
        size.cy = nNatural;
    return size;
}

POINT ClampImageOffset(POINT pt, SIZE size)
{
    const int hx = size.cx / 2;
    const int hy = size.cy / 2;
    POINT out;
    out.x = pt.x < -hx ? -hx : (pt.x > hx ? hx : pt.x);
    out.y = pt.y < -hy ? -hy : (pt.y > hy ? hy : pt.y);
    return out;
}

namespace {

// A smilie knows its picture offset only while it is bound to its image in
// the cache, which the next paint does after every change of the offset:
// the move control reads and writes offsets between paints.
void BindPicture(CSmilie* pSmilie)
{
    if (pSmilie->m_nImageId != 0 || pSmilie->m_nImageRecord == 0 || g_pImgCache == NULL)
        return;
    const uint32_t nImageId = g_pImgCache->AddCollectionImage(pSmilie->m_nImageRecord);
    if (nImageId != 0 && g_pImgCache->GetImageFrameCount(nImageId) > 0)
        pSmilie->m_nImageId = nImageId;
}

}  // namespace

// --- the shared part -------------------------------------------------------------------

CInFieldControl::CInFieldControl()
    : m_pField(NULL), m_bRunning(FALSE), m_nResult(0), m_nAnimTimer(0), m_hCursor(NULL), m_sizeClient{0, 0}
{
}

CInFieldControl::~CInFieldControl()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CInFieldControl::DestroyWindow()
{
    if (m_bRunning)
        EndLoop(0);
    return CControlBase::DestroyWindow();
}

void CInFieldControl::EndLoop(int nResult)
{
    m_nResult = nResult;
    m_bRunning = FALSE;
    // Wakes the loop when it waits in GetMessage.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CInFieldControl::Cancel()
{
    if (m_bRunning) {
        ShowWindow(SW_HIDE);
        EndLoop(0);
    } else if (m_hWnd != NULL) {
        DestroyWindow();
    }
}

int CInFieldControl::Run(CSmilie* pSmilie, LPCSTR pszCursor)
{
    if (pSmilie == NULL || pSmilie->m_pField == NULL || m_hWnd != NULL)
        return 0;
    m_pField = static_cast<CSmiliesField*>(pSmilie->m_pField);
    CRect rc = m_pField->GetCellRect(pSmilie->m_nColumn, pSmilie->m_nRow);
    ::MapWindowPoints(m_pField->m_hWnd, NULL, reinterpret_cast<POINT*>(&rc), 2);

    m_Copy = *pSmilie;
    m_Copy.SetField(NULL);
    m_Copy.m_nAnimTimer = 0;
    m_Copy.m_nHover = 1;
    m_Copy.m_bSelected = 0;
    m_Copy.m_bPressed = 0;

    if (!CreateControl(rc, m_pField, WS_POPUP | WS_VISIBLE))
        return 0;
    // Over a window that stays on top the popup must stay on top too, or the
    // cell it covers would be the window under the cursor.
    const HWND hRoot = ::GetAncestor(m_pField->m_hWnd, GA_ROOT);
    if (::GetWindowLongA(hRoot, GWL_EXSTYLE) & WS_EX_TOPMOST)
        SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_hCursor = ::LoadCursorA(NULL, pszCursor);
    if (m_hCursor == NULL)
        m_hCursor = ::LoadCursorA(NULL, IDC_ARROW);
    ::SetCursor(m_hCursor);

    StartMouseTracking();
    m_bRunning = TRUE;
    m_nResult = 0;
    if (s_pfnLoopStarted != NULL)
        s_pfnLoopStarted(this);
    MSG msg;
    while (m_bRunning && ::IsWindow(m_hWnd)) {
        const BOOL bGot = ::GetMessageA(&msg, NULL, 0, 0);
        if (bGot <= 0) {
            if (bGot == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_bRunning = FALSE;
    RECT rcClient = {0, 0, 0, 0};
    if (m_hWnd != NULL)
        ::GetClientRect(m_hWnd, &rcClient);
    m_sizeClient.cx = rcClient.right;
    m_sizeClient.cy = rcClient.bottom;
    if (m_hWnd != NULL)
        DestroyWindow();
    return m_nResult;
}

void CInFieldControl::RestartAnimation(int nDivider)
{
    if (m_nAnimTimer == 0 && nDivider > 0)
        m_nAnimTimer = CSmiliePreview::SetVTimer(m_hWnd, m_Animations, nDivider);
}

void CInFieldControl::KillAnimation()
{
    if (m_nAnimTimer != 0) {
        CSmiliePreview::KillVTimer(m_hWnd, m_Animations, m_nAnimTimer);
        m_nAnimTimer = 0;
    }
}

void CInFieldControl::Paint(CDC* pDC, int left, int top, int right, int bottom)
{
    CBrush brush;
    brush.CreateSolidBrush(m_pField != NULL ? m_pField->GetBackgroundColor() : RGB(255, 255, 255));
    const RECT rc = {left, top, right, bottom};
    pDC->FillRect(&rc, &brush);
    if (m_pField == NULL)
        return;
    const POINT pt = {0, 0};
    m_pField->DrawSmilieAt(pDC, pt, &m_Copy);
    if (m_Copy.m_nContentState >= 2 && m_nAnimTimer == 0)
        RestartAnimation(m_Copy.m_nFrameDelay / 10);
}

void CInFieldControl::OnVTimer(int nId, int /*nAmount*/)
{
    if (nId != m_nAnimTimer)
        return;
    KillAnimation();
    if (m_Copy.m_nContentState >= 2) {
        m_Copy.m_nFrameIndex = (m_Copy.m_nFrameIndex + 1) % m_Copy.m_nContentState;
        Invalidate(FALSE);
    }
}

void CInFieldControl::OnDestroying()
{
    KillAnimation();
}

void CInFieldControl::OnMouseLeave()
{
    Cancel();
}

void CInFieldControl::OnSetCursor(HWND /*hWnd*/, UINT /*nHitTest*/, UINT /*nMessage*/)
{
    if (m_hCursor != NULL)
        ::SetCursor(m_hCursor);
}

LRESULT CInFieldControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Cancel();
        return 0;
    case WM_SETCURSOR:
        if (m_hCursor != NULL) {
            ::SetCursor(m_hCursor);
            return TRUE;
        }
        break;
    }
    return CControlBase::WindowProc(message, wParam, lParam);
}

// --- moving the picture --------------------------------------------------------------------

CDlgSmilieReposition::CDlgSmilieReposition() : m_pSmilie(NULL), m_sizeImage{0, 0}, m_ptLast{0, 0}
{
}

int CDlgSmilieReposition::Start(CSmilie* pSmilie)
{
    if (pSmilie == NULL || pSmilie->m_pField == NULL)
        return 0;
    m_pSmilie = pSmilie;
    BindPicture(pSmilie);
    const CSize size = pSmilie->GetImageSize();
    m_sizeImage.cx = size.cx;
    m_sizeImage.cy = size.cy;
    // The last point is the cursor in the control's client coordinates,
    // known only once the window exists: the first move measures from it.
    CSmiliesField* pField = static_cast<CSmiliesField*>(pSmilie->m_pField);
    const CRect rcCell = pField->GetCellRect(pSmilie->m_nColumn, pSmilie->m_nRow);
    POINT pt = {0, 0};
    CSmiliesField::s_pfnGetCursorPos(&pt);
    ::ScreenToClient(pField->m_hWnd, &pt);
    m_ptLast.x = pt.x - rcCell.left;
    m_ptLast.y = pt.y - rcCell.top;
    return Run(pSmilie, IDC_SIZEALL);
}

void CDlgSmilieReposition::OnMouseMove(UINT /*nFlags*/, int x, int y)
{
    if (!m_bRunning)
        return;
    BindPicture(&m_Copy);
    const CPoint ptOld = m_Copy.GetImageOffset();
    POINT pt = {ptOld.x + x - m_ptLast.x, ptOld.y + y - m_ptLast.y};
    m_ptLast.x = x;
    m_ptLast.y = y;
    pt = ClampImageOffset(pt, m_sizeImage);
    if (pt.x == ptOld.x && pt.y == ptOld.y)
        return;
    KillAnimation();
    if (m_Copy.m_nContentState > 1)
        RestartAnimation(30);
    m_Copy.SetImageOffset(pt.x, pt.y);
    BindPicture(&m_Copy);
    Invalidate(FALSE);
}

void CDlgSmilieReposition::OnLButtonDown(UINT /*nFlags*/, int /*x*/, int /*y*/)
{
    if (!m_bRunning)
        return;
    if (m_pField->ContainsSmilie(m_pSmilie)) {
        BindPicture(&m_Copy);
        BindPicture(m_pSmilie);
        const CPoint ptNew = m_Copy.GetImageOffset();
        if (ptNew != m_pSmilie->GetImageOffset()) {
            m_pSmilie->SetImageOffset(ptNew.x, ptNew.y);
            BindPicture(m_pSmilie);
            CRect rc = m_pField->GetSmilieRect(m_pSmilie);
            CRect rcClient;
            m_pField->GetClientRect(&rcClient);
            rc.IntersectRect(&rc, &rcClient);
            if (!rc.IsRectEmpty()) {
                m_pField->PaintCells(&rc, FALSE);
                m_pField->RedrawRect(rc);
            }
        }
    }
    EndLoop(1);
}

// --- resizing the cells --------------------------------------------------------------------

CDlgSmilieResize::CDlgSmilieResize()
{
}

int CDlgSmilieResize::Start(CSmilie* pSmilie, SIZE* pSize)
{
    const int nResult = Run(pSmilie, IDC_SIZENWSE);
    if (nResult == 1 && pSize != NULL)
        *pSize = m_sizeClient;
    return nResult;
}

void CDlgSmilieResize::OnMouseMove(UINT nFlags, int x, int y)
{
    if (!m_bRunning)
        return;
    if (!(nFlags & MK_LBUTTON)) {
        Cancel();
        return;
    }
    CRect rcClient, rcWindow;
    m_pField->GetClientRect(&rcClient);
    m_pField->GetWindowRect(&rcWindow);
    const SIZE size = ComputeResizedCell(rcClient.Width(), rcWindow.Width(), x, y);
    CRect rcOwn;
    GetWindowRect(&rcOwn);
    if (rcOwn.Width() == size.cx && rcOwn.Height() == size.cy)
        return;
    KillAnimation();
    if (m_Copy.m_nContentState > 1)
        RestartAnimation(30);
    m_Copy.SetCellSize(size.cx, size.cy);
    SetWindowPos(static_cast<HWND>(NULL), 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
}

void CDlgSmilieResize::OnLButtonUp(UINT /*nFlags*/, int /*x*/, int /*y*/)
{
    if (m_bRunning)
        EndLoop(1);
}
