#include "dialogs/TipCtrl.h"

#include "services/Languages.h"
#include "collection/ImageReader.h"
#include "resources/resource.h"
#include "ui3d/controls/ControlPaint.h"
#include "ui3d/drawing/PalettePaint.h"
#include "ui3d/system/SysUtils.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CTipCtrl, CControlBase)

const RECT CTipCtrl::s_rcHeading = {61, 12, 256, 63};
const RECT CTipCtrl::s_rcText = {26, 62, 289, 166};

namespace {

const COLORREF kInk = RGB(0, 0, 128);

const UINT kPieceIds[3][2] = {
    {IDG_TIP_PAPER_TOP, IDG_TIP_PAPER_TOP_MASK},
    {IDG_TIP_PAPER_MIDDLE, IDG_TIP_PAPER_MIDDLE_MASK},
    {IDG_TIP_PAPER_BOTTOM, IDG_TIP_PAPER_BOTTOM_MASK},
};

LPCSTR TypeName(int nType)
{
    switch (nType) {
    case TIPPIC_BMP: return "bmp";
    case TIPPIC_GIF: return "gif";
    case TIPPIC_JPG: return "jpg";
    case TIPPIC_PNG: return "png";
    }
    return NULL;
}

// A picture of the program's resources, or NULL when it is missing or
// decodes to nothing.
CImageReader* LoadPicture(LPCSTR pszType, UINT nId)
{
    if (pszType == NULL || nId == 0)
        return NULL;
    CImageReader* pReader = new CImageReader;
    if (!CImageReader::LoadFromResource(pszType, MAKEINTRESOURCEA(nId), ::GetModuleHandleA(NULL), *pReader) ||
        !CImageReader::IsLoaded(*pReader)) {
        delete pReader;
        return NULL;
    }
    return pReader;
}

SIZE PictureSize(const CImageReader* pReader)
{
    SIZE size = {0, 0};
    if (pReader != NULL)
        size = pReader->GetReader()->GetSize();
    return size;
}

// The background under a piece: what the control's own bitmap holds there.
struct UNDERPIECE
{
    HDC hDC;
    int x;
    int y;
};

void CopyUnderPiece(HDC hMemDC, int cx, int cy, void* pUser)
{
    const UNDERPIECE* pUnder = static_cast<const UNDERPIECE*>(pUser);
    ::BitBlt(hMemDC, 0, 0, cx, cy, pUnder->hDC, pUnder->x, pUnder->y, SRCCOPY);
}

// A picture with its opacity picture blended over what hDC holds, or drawn
// as it is without one.
void DrawPicture(HDC hDC, CImageReader* pPicture, const CImageReader* pMask, int x, int y)
{
    const SIZE size = PictureSize(pPicture);
    const RECT rc = {x, y, x + size.cx, y + size.cy};
    if (pMask != NULL) {
        UNDERPIECE under = {hDC, x, y};
        if (PaintThroughDIBSection(hDC, rc, pPicture, pMask, CopyUnderPiece, &under))
            return;
    }
    CGraphicalFormatReader* pReader = pPicture->GetReader();
    pReader->SetCurrentFrame(0);
    CDC dc;
    dc.Attach(hDC);
    // The picture's transparent pixels show what is already there.
    pReader->Draw(&dc, CPoint(x, y), RGB(255, 255, 255), &dc, CPoint(x, y));
    dc.Detach();
}

}  // namespace

CTipCtrl::CTipCtrl()
    : m_nMiddleCount(1), m_nMinMiddleCount(1), m_nTextHeight(0), m_pPicture(NULL), m_pPictureMask(NULL), m_hHeadingFont(NULL),
      m_hTextFont(NULL)
{
    for (int n = 0; n < PIECE_COUNT; n++)
        m_pPieces[n] = m_pPieceMasks[n] = NULL;
    m_hHeadingFont = ::CreateFontA(22, 0, 0, 0, 700, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Times");
    m_hTextFont = ::CreateFontA(15, 0, 0, 0, 500, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
}

CTipCtrl::~CTipCtrl()
{
    if (m_hWnd != NULL)
        DestroyWindow();
    FreePicture();
    for (int n = 0; n < PIECE_COUNT; n++) {
        delete m_pPieces[n];
        delete m_pPieceMasks[n];
    }
    if (m_hHeadingFont != NULL)
        ::DeleteObject(m_hHeadingFont);
    if (m_hTextFont != NULL)
        ::DeleteObject(m_hTextFont);
}

void CTipCtrl::LoadPaper()
{
    for (int n = 0; n < PIECE_COUNT; n++) {
        delete m_pPieces[n];
        delete m_pPieceMasks[n];
        m_pPieces[n] = LoadPicture("Gif", kPieceIds[n][0]);
        m_pPieceMasks[n] = LoadPicture("Gif", kPieceIds[n][1]);
    }
}

void CTipCtrl::FreePicture()
{
    delete m_pPicture;
    delete m_pPictureMask;
    m_pPicture = m_pPictureMask = NULL;
}

int CTipCtrl::GetPieceHeight(int nPiece) const
{
    if (nPiece < 0 || nPiece >= PIECE_COUNT)
        return 0;
    return PictureSize(m_pPieces[nPiece]).cy;
}

int CTipCtrl::GetPaperWidth() const
{
    return PictureSize(m_pPieces[PIECE_TOP]).cx;
}

SIZE CTipCtrl::ComputeSize() const
{
    SIZE size;
    size.cx = GetPaperWidth();
    size.cy = GetPieceHeight(PIECE_TOP) + m_nMiddleCount * GetPieceHeight(PIECE_MIDDLE) +
              GetPieceHeight(PIECE_BOTTOM);
    return size;
}

BOOL CTipCtrl::Create(const POINT& pt, CWnd* pParent, UINT nID)
{
    LoadPaper();
    m_nMiddleCount = 1;
    const SIZE size = ComputeSize();
    const RECT rc = {pt.x, pt.y, pt.x + size.cx, pt.y + size.cy};
    if (!CreateControl(rc, pParent, WS_CHILD | WS_VISIBLE))
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    return TRUE;
}

void CTipCtrl::SetTip(LPCSTR pszText, UINT nPicture, UINT nMask, int nType, BOOL bResize, SIZE* pSize)
{
    m_strText = pszText != NULL ? pszText : "";
    m_nTextHeight = 0;
    if (!m_strText.IsEmpty())
        m_nTextHeight = static_cast<int>(MeasureText(s_rcText, m_strText, m_hTextFont) >> 32);

    FreePicture();
    LPCSTR pszType = TypeName(nType);
    m_pPicture = LoadPicture(pszType, nPicture);
    if (m_pPicture != NULL && nMask != 0)
        m_pPictureMask = LoadPicture(pszType, nMask);

    // The paper grows by whole middle pieces until the text and the picture
    // below it fit above the picture's base line.
    const int cyPicture = PictureSize(m_pPicture).cy;
    int d = cyPicture + m_nTextHeight + s_rcText.top - s_yPictureBase + 8;
    const int f = s_rcText.top + m_nTextHeight - s_rcText.bottom;
    d = std::max(d, f);
    const int cyMiddle = GetPieceHeight(PIECE_MIDDLE);
    // Without a middle piece the paper cannot grow; it stays one piece high.
    if (d <= 0 || cyMiddle <= 0)
        m_nMiddleCount = 1;
    else
        m_nMiddleCount = (d + cyMiddle - 1) / cyMiddle + 1;
    if (cyMiddle > 0)
        m_nMiddleCount = std::max(m_nMiddleCount, m_nMinMiddleCount);

    const SIZE size = ComputeSize();
    if (pSize != NULL)
        *pSize = size;
    if (bResize && m_hWnd != NULL) {
        RECT rc;
        GetClientRect(&rc);
        if (rc.right != size.cx || rc.bottom != size.cy)
            SetWindowPos(HWND(NULL), 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CTipCtrl::PaintPiece(HDC hDC, int nPiece, int y, const RECT& rcUpdate)
{
    CImageReader* pPiece = m_pPieces[nPiece];
    if (pPiece == NULL)
        return;
    const SIZE size = PictureSize(pPiece);
    const RECT rc = {0, y, size.cx, y + size.cy};
    RECT rcCommon;
    if (!::IntersectRect(&rcCommon, &rc, &rcUpdate))
        return;
    DrawPicture(hDC, pPiece, m_pPieceMasks[nPiece], 0, y);
}

void CTipCtrl::Paint(CDC* pDC, int left, int top, int right, int bottom)
{
    const HDC hDC = pDC->m_hDC;
    const RECT rcUpdate = {left, top, right, bottom};
    PrintParentBackground(m_hWnd, hDC);

    int y = 0;
    PaintPiece(hDC, PIECE_TOP, y, rcUpdate);
    y += GetPieceHeight(PIECE_TOP);
    const int cyMiddle = GetPieceHeight(PIECE_MIDDLE);
    for (int n = 0; n < m_nMiddleCount; n++, y += cyMiddle)
        PaintPiece(hDC, PIECE_MIDDLE, y, rcUpdate);
    PaintPiece(hDC, PIECE_BOTTOM, y, rcUpdate);

    const int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
    const COLORREF clrOld = ::SetTextColor(hDC, kInk);
    RECT rcCommon;
    if (::IntersectRect(&rcCommon, &s_rcHeading, &rcUpdate)) {
        const HGDIOBJ hOld = ::SelectObject(hDC, m_hHeadingFont);
        RECT rc = s_rcHeading;
        ::DrawTextA(hDC, GetLangString(534), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(hDC, hOld);
    }
    RECT rcText = s_rcText;
    rcText.bottom = std::max<LONG>(rcText.bottom, s_rcText.top + m_nTextHeight);
    if (!m_strText.IsEmpty() && ::IntersectRect(&rcCommon, &rcText, &rcUpdate)) {
        const HGDIOBJ hOld = ::SelectObject(hDC, m_hTextFont);
        ::DrawTextA(hDC, m_strText, -1, &rcText, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
        ::SelectObject(hDC, hOld);
    }
    ::SetTextColor(hDC, clrOld);
    ::SetBkMode(hDC, nOldMode);

    if (m_pPicture != NULL) {
        const SIZE size = PictureSize(m_pPicture);
        const int x = s_xPictureLeft + (s_xPictureRight - size.cx - s_xPictureLeft) / 2;
        const int yPicture = s_rcText.top + m_nTextHeight +
                             ((m_nMiddleCount - 1) * cyMiddle + s_yPictureBase - m_nTextHeight - s_rcText.top -
                              size.cy) / 2;
        const RECT rc = {x, yPicture, x + size.cx, yPicture + size.cy};
        if (::IntersectRect(&rcCommon, &rc, &rcUpdate))
            DrawPicture(hDC, m_pPicture, m_pPictureMask, x, yPicture);
    }
}

LRESULT CTipCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // All painting happens in WM_PAINT, from one composed bitmap.
    if (message == WM_ERASEBKGND)
        return 1;
    return CControlBase::WindowProc(message, wParam, lParam);
}
