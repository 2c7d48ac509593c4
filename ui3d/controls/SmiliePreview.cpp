#include "ui3d/controls/SmiliePreview.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include <windowsx.h>

#ifndef CS_DROPSHADOW
#define CS_DROPSHADOW 0x00020000
#endif
#ifndef SPI_GETDROPSHADOW
#define SPI_GETDROPSHADOW 0x1024
#endif
#ifndef WS_EX_LAYERED
#define WS_EX_LAYERED 0x00080000
#endif

namespace {

const int kMargin = 11;
const int kMinFrameWidth = 70;
const int kMinFrameHeight = 68;
const int kTextId = 1;
const int kAnimationTicks = 20;
int s_nLive = 0;

int Width(const RECT& rc) { return rc.right - rc.left; }

COLORREF Lighten(COLORREF clr, int nPercent)
{
    nPercent = nPercent < 1 ? 1 : nPercent > 100 ? 100 : nPercent;
    return InterpolateColor(clr, RGB(255, 255, 255), nPercent, 100);
}

COLORREF Darken(COLORREF clr, int nPercent)
{
    nPercent = nPercent < 0 ? 0 : nPercent > 100 ? 100 : nPercent;
    return InterpolateColor(clr, RGB(0, 0, 0), nPercent, 100);
}

int Average(COLORREF clr) { return (GetRValue(clr) + GetGValue(clr) + GetBValue(clr)) / 3; }

BOOL SystemDropShadow()
{
    OSVERSIONINFOA vi = {sizeof(vi)};
    if (!::GetVersionExA(&vi))
        return FALSE;
    if (!(vi.dwMajorVersion > 5 || (vi.dwMajorVersion == 5 && vi.dwMinorVersion > 0)))
        return FALSE;
    BOOL bOn = FALSE;
    return ::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &bOn, 0) && bOn;
}

HFONT MakeFont(const char* pszFace, int nHeight, int nWeight)
{
    LOGFONTA lf = {};
    lf.lfHeight = nHeight;
    lf.lfWeight = nWeight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, pszFace, LF_FACESIZE);
    return ::CreateFontIndirectA(&lf);
}

SIZE MeasureText(HFONT hFont, const CString& str, BOOL bOneLine)
{
    HDC hDC = ::GetDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    RECT rc = {0, 0, 400, 0};
    ::DrawTextA(hDC, str, str.GetLength(), &rc,
                bOneLine ? (DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX) : (DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX));
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(NULL, hDC);
    SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    return size;
}

}  // namespace

// --- layout ------------------------------------------------------------------------------------

void LayoutSmiliePreview(const PREVIEWLAYOUTIN& in, PREVIEWLAYOUT* pOut)
{
    PREVIEWLAYOUT out;
    int x = in.ptAnchor.x;
    const int y = in.ptAnchor.y;
    if (in.bPicture) {
        const int cx = in.sizePicture.cx, cy = in.sizePicture.cy;
        const int fx = cx > kMinFrameWidth ? cx : kMinFrameWidth;
        const int fy = cy > kMinFrameHeight ? cy : kMinFrameHeight;
        ::SetRect(&out.rcFrame, 0, 0, fx, fy);
        ::SetRect(&out.rcPicture, (fx - cx) / 2, (fy - cy) / 2, (fx - cx) / 2 + cx, (fy - cy) / 2 + cy);
        ::OffsetRect(&out.rcFrame, kMargin, kMargin);
        ::OffsetRect(&out.rcPicture, kMargin, kMargin);
        if (in.nNameHeight != 0 && out.rcFrame.bottom < out.rcPicture.bottom + in.nNameHeight + 5)
            out.rcFrame.bottom = out.rcPicture.bottom + in.nNameHeight + 5;
    }
    if (in.bText) {
        if (in.bPicture) {
            const int nFrameWidth = Width(out.rcFrame);
            int cx = in.sizeText.cx + 12;
            if (cx < nFrameWidth)
                cx = nFrameWidth;
            else if (cx > nFrameWidth && cx - nFrameWidth < 3)
                cx = nFrameWidth + 3;
            ::SetRect(&out.rcText, kMargin, out.rcFrame.bottom + 10, kMargin + cx,
                      out.rcFrame.bottom + 10 + in.sizeText.cy);
            if (out.rcText.right > out.rcFrame.right) {
                int dx = 0;
                if (in.rcWork.right < out.rcFrame.right + x + kMargin) {
                    dx = out.rcText.right - out.rcFrame.right;
                } else if (in.rcWork.right < out.rcText.right + x + kMargin) {
                    dx = out.rcText.right + x + kMargin - in.rcWork.right;
                    x -= dx;
                }
                ::OffsetRect(&out.rcFrame, dx, 0);
                ::OffsetRect(&out.rcPicture, dx, 0);
                out.bRegion = TRUE;
                ::SetRect(&out.rcRegionFrame, out.rcFrame.left - kMargin, out.rcFrame.top - kMargin,
                          out.rcFrame.right + kMargin, out.rcFrame.bottom + 3);
                ::SetRect(&out.rcRegionText, 0, out.rcFrame.bottom + 3, out.rcText.right + kMargin,
                          out.rcText.bottom + 8);
            }
        } else if (in.bSingleLine) {
            int cx = in.sizeText.cx + 16;
            if (cx > Width(in.rcWork))
                cx = Width(in.rcWork);
            ::SetRect(&out.rcText, kMargin, 8, kMargin + cx, 8 + in.sizeText.cy);
        } else {
            int cx = in.sizeText.cx, cy = in.sizeText.cy;
            cx = cx < 50 ? 50 : cx > 400 ? 400 : cx;
            cy = cy < 10 ? 10 : cy > 150 ? 150 : cy;
            ::SetRect(&out.rcText, kMargin, kMargin, kMargin + cx + 10, kMargin + cy);
        }
    }
    RECT rcAll;
    ::UnionRect(&rcAll, &out.rcFrame, &out.rcText);
    out.nBottomMargin = in.bText && (in.bPicture || in.bSingleLine) ? 8 : kMargin;
    const int cx = rcAll.right + kMargin;
    const int cy = rcAll.bottom + out.nBottomMargin;
    int left = x;
    if (left + cx > in.rcWork.right)
        left = x - cx;
    int top = y - cy;
    if (top < in.rcWork.top)
        top = y;
    ::SetRect(&out.rcWindow, left, top, left + cx, top + cy);
    *pOut = out;
}

// --- timers ------------------------------------------------------------------------------------

int CSmiliePreview::SetVTimer(HWND hWnd, CVTimerRcrdList& records, int nTicks)
{
    if (g_pVTimer == NULL)
        return 0;
    const int nId = g_pVTimer->AddClient(hWnd, nTicks);
    if (nId == 0)
        return 0;
    CVTimerRcrd r = {nId, 0, 0, 0};
    records.Add(r);
    return nId;
}

int CSmiliePreview::KillVTimer(HWND hWnd, CVTimerRcrdList& records, int nId)
{
    if (nId == 0) {
        records.RemoveAll();
        const int nResult = g_pVTimer != NULL ? g_pVTimer->RemoveClient(0, hWnd) : 0;
        DropQueuedVTimers(hWnd);
        return nResult;
    }
    const int i = FindVTimerRcrd(records, nId);
    if (i < 0)
        return 0;
    records.RemoveAt(i);
    return g_pVTimer != NULL ? g_pVTimer->RemoveClient(nId, hWnd) : 0;
}

// --- the popup ---------------------------------------------------------------------------------

BOOL (WINAPI* CSmiliePreview::s_pfnGetCursorPos)(LPPOINT) = ::GetCursorPos;

CSmiliePreview::CSmiliePreview()
    : m_clrBack(0xFFFFFF), m_hRegion(NULL), m_pShadow(NULL), m_bSystemShadow(FALSE), m_hNameFont(NULL),
      m_nNameHeight(0), m_hText(NULL), m_hTextFont(NULL), m_hTextBrush(NULL), m_bPhrase(FALSE), m_nImageId(0),
      m_nCrop(0), m_nFrames(0), m_nFrame(0), m_nFrameDelay(0), m_nAnimTimer(0), m_bCensored(FALSE),
      m_bClosing(FALSE)
{
    m_ptShown.x = m_ptShown.y = 0;
    ++s_nLive;
}

CSmiliePreview::~CSmiliePreview()
{
    --s_nLive;
}

int CSmiliePreview::GetLiveCount()
{
    return s_nLive;
}

CSmiliePreview* CSmiliePreview::Show(const CString& strText, CWnd* pParent, uint32_t nRecordId, BYTE nCrop,
                                     BOOL bCensored, const FONTSTYLE* pStyle, BOOL bSingleLine, int x, int y)
{
    uint32_t nImageId = 0;
    if (nRecordId != 0) {
        if (g_pImgCache == NULL)
            return NULL;
        nImageId = g_pImgCache->AddCollectionImage(nRecordId);
        if (nImageId == 0)
            return NULL;
    }
    return ShowImage(strText, pParent, nImageId, nCrop, bCensored, pStyle, bSingleLine, x, y);
}

CSmiliePreview* CSmiliePreview::ShowImage(const CString& strText, CWnd* pParent, uint32_t nImageId, BYTE nCrop,
                                          BOOL bCensored, const FONTSTYLE* pStyle, BOOL bSingleLine, int x,
                                          int y)
{
    if (nImageId == 0 && strText.IsEmpty())
        return NULL;
    if (nImageId != 0 && (g_pImgCache == NULL || g_pImgCache->Find(nImageId) < 0))
        return NULL;
    CSmiliePreview* pPreview = new CSmiliePreview;
    if (!pPreview->Build(strText, pParent, nImageId, nCrop, bCensored, pStyle, bSingleLine, x, y)) {
        // Torn down here while it is still whole; once a window exists its
        // destruction deletes the object.
        if (pPreview->m_hWnd != NULL)
            pPreview->DestroyWindow();
        else
            delete pPreview;
        return NULL;
    }
    return pPreview;
}

BOOL CSmiliePreview::Build(const CString& strText, CWnd* pParent, uint32_t nImageId, BYTE nCrop, BOOL bCensored,
                           const FONTSTYLE* pStyle, BOOL bSingleLine, int x, int y)
{
    m_bSystemShadow = SystemDropShadow();
    if (pStyle != NULL)
        m_style = *pStyle;
    m_clrBack = m_style.clrPictureBack;
    m_bCensored = bCensored;
    m_nCrop = nCrop;

    PREVIEWLAYOUTIN in;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &in.rcWork, 0);
    in.ptAnchor.x = x;
    in.ptAnchor.y = y;
    in.bSingleLine = bSingleLine;
    if (nImageId != 0) {
        m_nImageId = nImageId;
        g_pImgCache->SetImageCrop(nImageId, nCrop);
        in.bPicture = TRUE;
        in.sizePicture = g_pImgCache->GetImageSize(nImageId);
        m_nFrames = g_pImgCache->GetImageFrameCount(nImageId);
        if (m_style.nNameHeight != 0 && m_style.szNameFace[0] != 0) {
            m_strName = bCensored ? CString(GetLangString(524)) : g_pImgCache->GetImageName(nImageId);
            m_hNameFont = MakeFont(m_style.szNameFace, m_style.nNameHeight, FW_BOLD);
            m_nNameHeight = MeasureText(m_hNameFont, "Ag", TRUE).cy;
            in.nNameHeight = m_nNameHeight;
        }
    }
    if (!strText.IsEmpty()) {
        m_hTextFont = MakeFont(m_style.szTextFace, m_style.nTextHeight, FW_NORMAL);
        in.bText = TRUE;
        m_bPhrase = nImageId == 0 && !bSingleLine;
        in.sizeText = MeasureText(m_hTextFont, strText, !m_bPhrase);
    }
    LayoutSmiliePreview(in, &m_layout);

    if (!in.bPicture && in.bText)
        m_clrBack = m_style.clrTextBack;
    UINT nClassStyle = CS_CLASSDC | (m_bSystemShadow ? CS_DROPSHADOW : 0);
    LPCSTR pszClass = AfxRegisterWndClass(nClassStyle, ::LoadCursorA(NULL, IDC_ARROW));
    const RECT& rw = m_layout.rcWindow;
    if (!CreateEx(WS_EX_TOPMOST, pszClass, "", WS_POPUP | WS_CLIPCHILDREN, rw.left, rw.top, rw.right - rw.left,
                  rw.bottom - rw.top, CWnd::SafeHwnd(pParent), NULL))
        return FALSE;
    if (in.bText) {
        m_hTextBrush = ::CreateSolidBrush(m_style.clrTextBack);
        const RECT& rt = m_layout.rcText;
        m_hText = ::CreateWindowExA(0, "EDIT", strText, WS_CHILD | WS_VISIBLE | ES_READONLY |
                                        (m_bPhrase ? ES_MULTILINE : ES_AUTOHSCROLL),
                                    rt.left, rt.top, rt.right - rt.left, rt.bottom - rt.top, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                                    ::GetModuleHandleA(NULL), NULL);
        if (m_hText != NULL)
            ::SendMessageA(m_hText, WM_SETFONT, reinterpret_cast<WPARAM>(m_hTextFont), FALSE);
    }
    if (m_layout.bRegion) {
        HRGN hRegion = ::CreateRectRgnIndirect(&m_layout.rcRegionFrame);
        HRGN hText = ::CreateRectRgnIndirect(&m_layout.rcRegionText);
        ::CombineRgn(hRegion, hRegion, hText, RGN_OR);
        ::DeleteObject(hText);
        // The window owns the region given to it; a copy is kept for the shadow.
        m_hRegion = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(m_hRegion, hRegion, NULL, RGN_COPY);
        ::SetWindowRgn(m_hWnd, hRegion, FALSE);
    }
    if (!m_bSystemShadow && g_pExportedFuncs != NULL && g_pExportedFuncs->pUpdateLayeredWindow != NULL) {
        m_pShadow = new CShadowWnd;
        if (!m_pShadow->Create(this, m_hRegion)) {
            delete m_pShadow;
            m_pShadow = NULL;
        }
    }
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_hWnd);
    s_pfnGetCursorPos(&m_ptShown);
    ::SetCapture(m_hWnd);
    if (m_nImageId != 0 && !m_bCensored && m_nFrames >= 2)
        m_nAnimTimer = SetVTimer(m_hWnd, m_Timers, kAnimationTicks);
    return TRUE;
}

void CSmiliePreview::Close()
{
    if (m_bClosing || m_hWnd == NULL)
        return;
    m_bClosing = TRUE;
    DestroyWindow();
}

void CSmiliePreview::PostNcDestroy()
{
    delete this;
}

void CSmiliePreview::OnDestroy()
{
    if (m_nAnimTimer != 0)
        KillVTimer(m_hWnd, m_Timers, m_nAnimTimer);
    m_nAnimTimer = 0;
    if (m_pShadow != NULL) {
        m_pShadow->DestroyWindow();
        delete m_pShadow;
        m_pShadow = NULL;
    }
    if (m_hText != NULL)
        ::DestroyWindow(m_hText);
    m_hText = NULL;
    if (m_hTextFont != NULL)
        ::DeleteObject(m_hTextFont);
    if (m_hNameFont != NULL)
        ::DeleteObject(m_hNameFont);
    if (m_hTextBrush != NULL)
        ::DeleteObject(m_hTextBrush);
    m_hTextFont = m_hNameFont = NULL;
    m_hTextBrush = NULL;
    if (m_hRegion != NULL)
        ::DeleteObject(m_hRegion);
    m_hRegion = NULL;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CSmiliePreview::OnClick(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &pt);
    Close();
    HWND hTarget = ::WindowFromPoint(pt);
    if (hTarget == NULL)
        return;
    ::ScreenToClient(hTarget, &pt);
    ::PostMessageA(hTarget, message == WM_LBUTTONDOWN ? WM_PREVIEWLCLICK : WM_PREVIEWRCLICK, wParam,
                   MAKELPARAM(pt.x, pt.y));
}

void CSmiliePreview::OnVTimer(int nId, int /*nAmount*/)
{
    if (nId != m_nAnimTimer || nId == 0)
        return;
    KillVTimer(m_hWnd, m_Timers, nId);
    m_nAnimTimer = 0;
    if (m_nImageId == 0 || g_pImgCache == NULL || m_bCensored)
        return;
    if (m_nFrames <= 1) {
        m_nFrame = 0;
        return;
    }
    m_nFrame = (m_nFrame + 1) % m_nFrames;
    HDC hDC = ::GetDC(m_hWnd);
    DrawPicture(hDC, TRUE);
    ::ReleaseDC(m_hWnd, hDC);
    if (m_nFrameDelay > 0)
        m_nAnimTimer = SetVTimer(m_hWnd, m_Timers, m_nFrameDelay / 10 > 0 ? m_nFrameDelay / 10 : 1);
}

// Draws the current frame at the picture rectangle through a memory bitmap.
void CSmiliePreview::DrawPicture(HDC hDC, BOOL /*bNextFrame*/)
{
    const RECT& rp = m_layout.rcPicture;
    const int cx = rp.right - rp.left, cy = rp.bottom - rp.top;
    if (cx <= 0 || cy <= 0)
        return;
    g_pImgCache->SetImageFrame(m_nImageId, m_nFrame);
    g_pImgCache->SetImageCrop(m_nImageId, m_nCrop);
    CDC mem;
    mem.Attach(::CreateCompatibleDC(hDC));
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, cx, cy);
    HGDIOBJ hOld = ::SelectObject(mem.m_hDC, hBitmap);
    RECT rc = {0, 0, cx, cy};
    FillSolidRect(mem.m_hDC, rc, m_clrBack);
    m_nFrameDelay = g_pImgCache->DrawImageFrame(m_nImageId, &mem, CPoint(0, 0), m_clrBack, NULL, CPoint(0, 0));
    ::BitBlt(hDC, rp.left, rp.top, cx, cy, mem.m_hDC, 0, 0, SRCCOPY);
    ::SelectObject(mem.m_hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(mem.Detach());
}

void CSmiliePreview::Paint(HDC hDC)
{
    RECT rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    const int cxWnd = rcClient.right, cyWnd = rcClient.bottom;
    HDC hMem = ::CreateCompatibleDC(hDC);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, cxWnd, cyWnd);
    HGDIOBJ hOldBitmap = ::SelectObject(hMem, hBitmap);

    const COLORREF clrLight = Lighten(m_style.clrFrame, m_style.nFrameLighten);
    const COLORREF clrDark = Darken(m_style.clrFrame, m_style.nFrameDarken);
    const COLORREF clrLightEdge = Lighten(m_style.clrFrame, 40);
    const COLORREF clrDarkEdge = Darken(m_style.clrFrame, 40);
    const BYTE nKind = static_cast<BYTE>(m_style.nFrameGradientKind);
    const BOOL bPicture = m_nImageId != 0;
    const BOOL bText = m_hText != NULL;

    DrawGradientFrame(clrLight, hMem, 0, 0, cxWnd, cyWnd, m_style.clrFrame, clrDark, nKind);
    if (bPicture && bText) {
        RECT rf = m_layout.rcFrame;
        ::InflateRect(&rf, 5, 3);
        RECT rt = m_layout.rcText;
        rt.top = m_layout.rcFrame.bottom + 3;
        rt.bottom += 5;
        ::InflateRect(&rt, 5, 0);
        FillSolidRect(hMem, rt, m_style.clrTextBack);
        FillSolidRect(hMem, rf, m_clrBack);
        RECT re = rf;
        ::InflateRect(&re, 1, 1);
        CDC dc;
        dc.Attach(hMem);
        dc.Draw3dRect(&re, clrDarkEdge, clrLightEdge);
        re = rt;
        ::InflateRect(&re, 1, 1);
        dc.Draw3dRect(&re, clrDarkEdge, clrLightEdge);
        if (rt.left < rf.left || rt.right > rf.right) {
            // Where the text band is wider than the frame, its edge meets the frame's.
            FillSolidRect(hMem, RECT{rf.left, rf.bottom, rf.right, rt.top}, m_clrBack);
        }
        dc.Draw3dRect(&rcClient, RGB(255, 255, 255), RGB(0, 0, 0));
        dc.Detach();
    } else {
        RECT rf = bPicture ? m_layout.rcFrame : m_layout.rcText;
        ::InflateRect(&rf, 5, (bText && !m_bPhrase && !bPicture) ? 0 : 3);
        if (bText && !m_bPhrase && !bPicture)
            ::InflateRect(&rf, 0, 3);
        FillSolidRect(hMem, rf, bPicture ? m_clrBack : m_style.clrTextBack);
        CDC dc;
        dc.Attach(hMem);
        RECT re = rf;
        ::InflateRect(&re, 1, 1);
        dc.Draw3dRect(&re, clrDarkEdge, clrLightEdge);
        dc.Draw3dRect(&rcClient, RGB(255, 255, 255), RGB(0, 0, 0));
        RECT ri = rcClient;
        ::InflateRect(&ri, -1, -1);
        dc.Draw3dRect(&ri, clrLight, clrDark);
        dc.Detach();
    }

    if (bPicture) {
        if (m_bCensored) {
            RECT rc = m_layout.rcFrame;
            rc.bottom -= m_nNameHeight + 2;
            FillSolidRect(hMem, rc, m_clrBack);
            COLORREF clrMark = m_style.clrName;
            const int nDiff = Average(m_style.clrName) - Average(m_clrBack);
            if (nDiff > -33 && nDiff < 33)
                clrMark = Average(m_clrBack) < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
            CDC dc;
            dc.Attach(hMem);
            CSmilie::DrawCornerMark(clrMark, &dc, clrMark, rc);
            dc.Detach();
        } else if (g_pImgCache != NULL) {
            DrawPicture(hMem, FALSE);
        }
        if (m_hNameFont != NULL && !m_strName.IsEmpty()) {
            RECT rn = {m_layout.rcFrame.left + 2, m_layout.rcFrame.bottom - m_nNameHeight - 2,
                       m_layout.rcFrame.right - 2, m_layout.rcFrame.bottom};
            HGDIOBJ hOldFont = ::SelectObject(hMem, m_hNameFont);
            ::SetBkColor(hMem, m_clrBack);
            ::SetTextColor(hMem, m_style.clrName);
            ::SetBkMode(hMem, OPAQUE);
            ::DrawTextA(hMem, m_strName, m_strName.GetLength(), &rn,
                        DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            ::SelectObject(hMem, hOldFont);
        }
    }
    ::BitBlt(hDC, 0, 0, cxWnd, cyWnd, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOldBitmap);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
}

LRESULT CSmiliePreview::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Any message at all shows the timer that this thread keeps up.
    ResetVTimerBacklog();
    if (g_msgMouseWheelRoll.Is(message))
        return ForwardWheelRoll(m_hWnd, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_ERASEBKGND:
        Paint(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT:
        ::ValidateRect(m_hWnd, NULL);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_hText && m_hText != NULL) {
            HDC hDC = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(hDC, m_style.clrText);
            ::SetBkColor(hDC, m_style.clrTextBack);
            return reinterpret_cast<LRESULT>(m_hTextBrush);
        }
        break;
    case WM_VTIMER: {
        int nAmount = 0;
        const int nId = static_cast<int>(wParam);
        if (TakeVTimerTick(m_hWnd, m_Timers, nId, &nAmount))
            OnVTimer(nId, nAmount);
        return 0;
    }
    case WM_MOUSEMOVE: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(m_hWnd, &pt);
        const int dx = pt.x - m_ptShown.x, dy = pt.y - m_ptShown.y;
        if (dx > 2 || dx < -2 || dy >= 3 || dy <= -3)
            Close();
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnClick(message, wParam, lParam);
        return 0;
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_CANCELMODE:
        Close();
        return 0;
    case WM_MOUSEWHEEL:
        if (m_nImageId == 0 && m_hText != NULL) {
            UINT nLines = 3;
            if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0))
                nLines = 3;
            const int nDelta = GET_WHEEL_DELTA_WPARAM(wParam);
            ::SendMessageA(m_hText, EM_LINESCROLL, 0, (nDelta / -120) * static_cast<int>(nLines));
            return 0;
        }
        Close();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != m_hWnd)
            Close();
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam)
            Close();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// --- the shadow --------------------------------------------------------------------------------

BOOL CShadowWnd::Create(CWnd* pOwner, HRGN hOwnerRegion)
{
    if (g_pExportedFuncs == NULL || g_pExportedFuncs->pUpdateLayeredWindow == NULL)
        return FALSE;
    RECT rcOwner;
    ::GetWindowRect(pOwner->m_hWnd, &rcOwner);
    const int cx = rcOwner.right - rcOwner.left + 4, cy = rcOwner.bottom - rcOwner.top + 4;
    LPCSTR pszClass = AfxRegisterWndClass(CS_CLASSDC);
    if (!CreateEx(WS_EX_LAYERED | WS_EX_TRANSPARENT, pszClass, "", WS_POPUP | WS_CLIPCHILDREN, rcOwner.left,
                  rcOwner.top, cx, cy, pOwner->m_hWnd, NULL))
        return FALSE;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hDib = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    BOOL bResult = FALSE;
    if (hDib != NULL && pBits != NULL) {
        HGDIOBJ hOld = ::SelectObject(hMem, hDib);
        RECT rcAll = {0, 0, cx, cy};
        FillSolidRect(hMem, rcAll, 0);
        HRGN hShape = ::CreateRectRgn(0, 0, cx - 4, cy - 4);
        if (hOwnerRegion != NULL)
            ::CombineRgn(hShape, hOwnerRegion, NULL, RGN_COPY);
        HRGN hMoved = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(hMoved, hShape, NULL, RGN_COPY);
        ::OffsetRgn(hMoved, 4, 4);
        ::CombineRgn(hMoved, hMoved, hShape, RGN_DIFF);
        HBRUSH hBrush = ::CreateSolidBrush(0x505050);
        ::FillRgn(hMem, hMoved, hBrush);
        ::DeleteObject(hBrush);
        ::DeleteObject(hMoved);
        ::DeleteObject(hShape);
        ::GdiFlush();
        BYTE* p = static_cast<BYTE*>(pBits);
        for (int i = 0; i < cx * cy; ++i, p += 4) {
            p[3] = p[0];
            p[0] = p[1] = p[2] = 0;
        }
        PremultiplyAlpha(static_cast<DWORD>(cx * cy * 4), static_cast<BYTE*>(pBits));
        POINT ptDst = {rcOwner.left, rcOwner.top};
        POINT ptSrc = {0, 0};
        SIZE size = {cx, cy};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        bResult = g_pExportedFuncs->pUpdateLayeredWindow(m_hWnd, hScreen, &ptDst, &size, hMem, &ptSrc, 0, &blend,
                                                         ULW_ALPHA);
        ::SelectObject(hMem, hOld);
        ::DeleteObject(hDib);
    }
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
    if (!bResult) {
        DestroyWindow();
        return FALSE;
    }
    ::SetWindowPos(m_hWnd, pOwner->m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;
}
