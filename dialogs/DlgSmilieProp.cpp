#include "dialogs/DlgSmilieProp.h"

#include "dialogs/InsertTemplate.h"
#include "ui3d/drawing/Tiling.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "framework/DataExchange.h"
#include "framework/Thread.h"
#include "resources/resource.h"
#include "skins/Skin.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/drawing/Tiling.h"
#include "ui3d/system/SysUtils.h"

namespace {


// The picture-moving buttons, in dialog client pixels beside the preview.
struct ARROWBUTTON
{
    UINT nId;
    int x, y;
    int nTip;                     // language string of its tooltip
    const char* pszGlyph[5];      // 5 x 5, '#' drawn
};
const int kArrowWidth = 12, kArrowHeight = 10;
const ARROWBUTTON kArrows[5] = {
    {IDC_SMILIEPROP_UP, 182, 165, 247, {".....", "..#..", ".###.", "#####", "....."}},
    {IDC_SMILIEPROP_LEFT, 170, 175, 248, {"...#.", "..##.", ".###.", "..##.", "...#."}},
    {IDC_SMILIEPROP_CENTRE, 182, 175, 249, {".....", ".###.", ".###.", ".###.", "....."}},
    {IDC_SMILIEPROP_RIGHT, 194, 175, 250, {".#...", ".##..", ".###.", ".##..", ".#..."}},
    {IDC_SMILIEPROP_DOWN, 182, 185, 251, {".....", "#####", ".###.", "..#..", "....."}},
};

const BODYSTYLE* SkinBodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

const TOOLTIPSTYLE* SkinToolTipStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL;
}

// The glyph as an icon in the given colour; NULL when it cannot be made.
HICON MakeGlyphIcon(const char* const pszRows[5], COLORREF clr)
{
    DWORD colour[25];
    WORD mask[5];
    const DWORD dwPixel = (GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr);
    for (int y = 0; y < 5; y++) {
        mask[y] = 0;
        for (int x = 0; x < 5; x++) {
            const bool bSet = pszRows[y][x] == '#';
            colour[y * 5 + x] = bSet ? dwPixel : 0;
            // Monochrome rows are word aligned, the leftmost pixel in the top bit.
            if (!bSet)
                mask[y] |= WORD(0x80 >> x);
        }
    }
    ICONINFO ii = {};
    ii.fIcon = TRUE;
    ii.hbmMask = ::CreateBitmap(5, 5, 1, 1, mask);
    ii.hbmColor = ::CreateBitmap(5, 5, 1, 32, colour);
    HICON hIcon = ii.hbmMask != NULL && ii.hbmColor != NULL ? ::CreateIconIndirect(&ii) : NULL;
    if (ii.hbmMask != NULL)
        ::DeleteObject(ii.hbmMask);
    if (ii.hbmColor != NULL)
        ::DeleteObject(ii.hbmColor);
    return hIcon;
}

// Offset of one axis of the picture kept so that its edges straddle the
// cell's centre: the picture [base + off, base + off + size) where base
// centres it in [lo, hi).
int ClampAxis(int nOffset, int nLo, int nHi, int nSize)
{
    const int nCentre = (nLo + nHi) / 2;
    const int nBase = nLo + (nHi - nLo - nSize) / 2;
    const int nMin = nCentre - nSize - nBase;
    const int nMax = nCentre - nBase;
    if (nOffset < nMin)
        return nMin;
    if (nOffset > nMax)
        return nMax;
    return nOffset;
}

CString WindowText(HWND hWnd)
{
    CString str;
    const int n = hWnd != NULL ? ::GetWindowTextLengthA(hWnd) : 0;
    if (n > 0) {
        LPSTR p = str.GetBuffer(n + 1);
        ::GetWindowTextA(hWnd, p, n + 1);
        str.ReleaseBuffer();
    }
    return str;
}

}  // namespace

// --- construction ------------------------------------------------------------------

UINT CDlgSmilieProp::TemplateFor(const CSmilie* pSmilie)
{
    CString strSource;
    if (pSmilie != NULL)
        pSmilie->GetSource(strSource);
    return strSource.IsEmpty() ? IDD_SMILIEPROP_NOSOURCE : IDD_SMILIEPROP;
}

CDlgSmilieProp::CDlgSmilieProp(CSmilie* pSmilie, CString* pTemplate, int* pTextOnly, int* pReload, POINT* pOffset,
                               BYTE* pCrop, int* pCensored)
    : C3DDialog(TemplateFor(pSmilie), AfxGetMainWnd(), NULL, g_Settings.FadeDialogs, SkinBodyStyle(),
                SkinToolTipStyle()),
      m_pSmilie(pSmilie),
      m_pTemplateOut(pTemplate),
      m_pTextOnlyOut(pTextOnly),
      m_pReloadOut(pReload),
      m_pOffsetOut(pOffset),
      m_pCropInOut(pCrop),
      m_pCensoredOut(pCensored),
      m_nTemplateChoice(0),
      m_nCensored(0),
      m_nReload(0),
      m_nOffsetX(0),
      m_nOffsetY(0),
      m_nCrop(pCrop != NULL ? *pCrop : 0),
      m_nImageId(0),
      m_nFrameCount(0),
      m_nFrame(0),
      m_hPreviewBack(NULL),
      m_bRebuildBackground(0),
      m_hCanvas(NULL),
      m_bCanvasValid(0),
      m_bDragging(0),
      m_nAnimTimer(0),
      m_nFrameDelay(0)
{
    for (HWND& h : m_hArrowButtons)
        h = NULL;
    m_strOwnTemplate = pSmilie->m_strPhrase;
    m_nTemplateChoice = m_strOwnTemplate.IsEmpty() ? 0 : 1;
    m_nCensored = (pSmilie->m_nFlags & CSmilie::flagCensored) ? 1 : 0;
    const CPoint offset = pSmilie->GetImageOffset();
    m_nOffsetX = offset.x;
    m_nOffsetY = offset.y;
    pSmilie->GetSource(m_strSource);
    if (m_strSource.IsEmpty())
        m_strSource = "---";

    // A record that cannot be decoded counts as no picture: its size would
    // be 0 by 0 and there would be no reader to ask for its length.
    if (g_pImgCache != NULL && pSmilie->m_nImageRecord != 0) {
        const uint32_t nImageId = g_pImgCache->AddCollectionImage(pSmilie->m_nImageRecord);
        if (nImageId != 0 && g_pImgCache->Find(nImageId) >= 0) {
            m_nImageId = nImageId;
            g_pImgCache->SetImageCrop(m_nImageId, m_nCrop);
            m_nFrameCount = g_pImgCache->GetImageFrameCount(m_nImageId);
        }
    }
    BuildInfoTexts();
}

CDlgSmilieProp::~CDlgSmilieProp()
{
    if (m_hPreviewBack != NULL)
        ::DeleteObject(m_hPreviewBack);
    if (m_hCanvas != NULL)
        ::DeleteObject(m_hCanvas);
}

void CDlgSmilieProp::BuildInfoTexts()
{
    const SYSTEMTIME& date = m_pSmilie->m_Date;
    char szDate[64] = "";
    if (!::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &date, "MM/dd/yy", szDate, sizeof(szDate)))
        szDate[0] = '\0';
    if (szDate[0] == '\0')
        lstrcpyA(szDate, "--/--/--");
    char szTime[64] = "";
    if (!::GetTimeFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &date, NULL, szTime, sizeof(szTime)))
        szTime[0] = '\0';
    if (szTime[0] == '\0')
        lstrcpyA(szTime, "--:--:--");
    CString strUses;
    strUses.Format("%lu", static_cast<unsigned long>(m_pSmilie->m_nUsageCount));

    CString strWidth = "--", strHeight = "--", strLength = "---";
    m_PictureSize = CSize(0, 0);
    m_strSmilieName.Empty();
    if (m_nImageId != 0) {
        m_PictureSize = g_pImgCache->GetImageSize(m_nImageId);
        const int i = g_pImgCache->Find(m_nImageId);
        uint32_t nLength = 0;
        if (i >= 0)
            nLength = g_pImgCache->GetEntry(i)->pHolder->GetReader()->GetSourceSize();
        strWidth.Format("%d", static_cast<int>(m_PictureSize.cx));
        strHeight.Format("%d", static_cast<int>(m_PictureSize.cy));
        strLength.Format("%lu", static_cast<unsigned long>(nLength));
        m_pSmilie->BuildImageFileName(m_strSmilieName);
        m_strSmilieName.MakeUpper();
    }
    m_strInfoValues = strWidth + "x" + strHeight + "\r\n" + strLength + "\r\n" + strUses + "\r\n" + szDate;

    char szTip[257];
    FormatTemplate(szTip, sizeof(szTip), GetLangString(239), "[WIDTH]", "%s", static_cast<LPCSTR>(strWidth),
                   "[HEIGHT]", "%s", static_cast<LPCSTR>(strHeight), "[LENGTH]", "%s", static_cast<LPCSTR>(strLength),
                   "[CLICKS]", "%s", static_cast<LPCSTR>(strUses), "[TIME]", "%s", szTime, "[DATE]", "%s", szDate,
                   "[CENSORED]", "%s", GetLangString(m_nCensored ? 493 : 494), NULL);
    m_strInfoTip = szTip;
}

INT_PTR CDlgSmilieProp::Show()
{
    m_bRebuildBackground = 1;
    return DoModal();
}

// --- initialisation ------------------------------------------------------------------

BOOL CDlgSmilieProp::OnInitDialogEx()
{
    // The preview static only marks the area.
    HWND hPreview = ::GetDlgItem(m_hWnd, IDC_SMILIEPROP_PREVIEW);
    if (hPreview != NULL) {
        ::GetWindowRect(hPreview, &m_rcPreview);
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&m_rcPreview), 2);
        ::DestroyWindow(hPreview);
    }

    m_rcCell.SetRectEmpty();
    if (m_nImageId != 0) {
        int cx = m_pSmilie->m_nCellWidth - m_pSmilie->m_nInsetLead - m_pSmilie->m_nInsetTrail;
        int cy = m_pSmilie->m_nCellHeight - m_pSmilie->m_nInsetLead - m_pSmilie->m_nInsetTrail;
        cx = cx > 0 ? cx : 0;
        cy = cy > 0 ? cy : 0;
        const CRect rcCentred(m_rcPreview.left + (m_rcPreview.Width() - cx) / 2,
                              m_rcPreview.top + (m_rcPreview.Height() - cy) / 2, 0, 0);
        CRect rcCell(rcCentred.left, rcCentred.top, rcCentred.left + cx, rcCentred.top + cy);
        CRect rcInner = m_rcPreview;
        rcInner.InflateRect(-4, -4);
        if (!::IntersectRect(&m_rcCell, &rcCell, &rcInner))
            m_rcCell.SetRectEmpty();
    }
    if (IsPictureLargerThanCell())
        CreateArrowButtons();
    CollectOwnDrawnRects();

    char szCaption[129];
    FormatTemplate(szCaption, sizeof(szCaption), GetLangString(232), "[SMILIENAME]", "%s",
                   static_cast<LPCSTR>(m_strSmilieName), NULL);
    SetWindowText(szCaption);

    CString strLabels;
    const int labels[5] = {233, 234, 235, 236, 523};
    for (int i = 0; i < 5; i++) {
        strLabels += GetLangString(labels[i]);
        strLabels += i < 4 ? ":\r\n" : ":";
    }
    ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_LABELS, strLabels);
    ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_INFO, m_strInfoValues);
    ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_PREVIEWGROUP, GetLangString(237));

    if (HasSourceText()) {
        CString strReload = GetLangString(238);
        strReload += " :";
        ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_RELOAD, strReload);
        if (m_pReloadOut == NULL)
            ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SMILIEPROP_RELOAD), FALSE);
        ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_SOURCE, m_strSource);
        ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_TEMPLATEGROUP, GetLangString(244));
        HWND hCombo = ::GetDlgItem(m_hWnd, IDC_SMILIEPROP_CHOICE);
        ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetLangString(243)));
        ::SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetLangString(12)));
    }
    SetCensoredCaption(m_nCensored);

    if (m_nImageId != 0 && m_nFrameCount > 1)
        m_nAnimTimer = StartVTimer(20);
    return TRUE;
}

void CDlgSmilieProp::CreateArrowButtons()
{
    for (int i = 0; i < 5; i++) {
        const ARROWBUTTON& a = kArrows[i];
        m_hArrowButtons[i] = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, a.x, a.y, kArrowWidth,
                                               kArrowHeight, m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(a.nId)),
                                               ::GetModuleHandleA(NULL), NULL);
    }
}

void CDlgSmilieProp::CollectOwnDrawnRects()
{
    // Children that cover part of the preview keep that part: the preview
    // is painted around them. One that encloses it whole (its group box)
    // is only a frame around it.
    m_OwnDrawnRects.RemoveAll();
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        RECT rc, rcOverlap;
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        if (!::IntersectRect(&rcOverlap, &rc, &m_rcPreview))
            continue;
        if (::EqualRect(&rcOverlap, &m_rcPreview))
            continue;
        m_OwnDrawnRects.Add(rcOverlap);
    }
}

void CDlgSmilieProp::OnInitControls()
{
    if (m_ToolTip.m_hWnd != NULL) {
        const UINT infoIds[3] = {IDC_SMILIEPROP_LABELS, IDC_SMILIEPROP_INFO, IDC_SMILIEPROP_PREVIEWGROUP};
        for (UINT nId : infoIds)
            m_ToolTip.AddTool(m_strInfoTip, nId, NULL, GetLangString(237), 0, 0);
        if (HasSourceText())
            m_ToolTip.AddTool(GetLangString(155), IDC_SMILIEPROP_RELOAD, NULL, GetLangString(238), 0, 0);
        if (m_hArrowButtons[0] != NULL) {
            for (const ARROWBUTTON& a : kArrows)
                m_ToolTip.AddTool(GetLangString(a.nTip), a.nId, NULL, NULL, 0, 0);
            m_ToolTip.AddTool(GetLangString(252), 0, &m_rcCell, NULL, 0, 0);
        }
        if (HasSourceText()) {
            m_ToolTip.AddTool(GetLangString(245), IDC_SMILIEPROP_CHOICE, NULL, GetLangString(244), 0, 0);
            m_ToolTip.AddTool(GetLangString(245), IDC_SMILIEPROP_TEMPLATEGROUP, NULL, GetLangString(244), 0, 0);
        }
    }
    // The glyphs of the picture-moving buttons, in the body's text colour;
    // a skinned button owns the icon it is given.
    for (int i = 0; i < 5; i++) {
        if (m_hArrowButtons[i] == NULL)
            continue;
        CWnd* pButton = CWnd::FromHandlePermanent(m_hArrowButtons[i]);
        if (pButton == NULL || !pButton->IsKindOf(RUNTIME_CLASS(C3DButton)))
            continue;
        HICON hIcon = MakeGlyphIcon(kArrows[i].pszGlyph, m_BodyStyle.clrText);
        if (hIcon != NULL)
            pButton->SendMessage(WM_SETBUTTONICON, reinterpret_cast<WPARAM>(hIcon), 0);
    }
    if (HasSourceText())
        ShowTemplateEdit();
    UpdateData(FALSE);
}

void CDlgSmilieProp::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_SMILIEPROP_CENSORED, m_nCensored);
    if (HasSourceText()) {
        DDX_Check(pDX, IDC_SMILIEPROP_RELOAD, m_nReload);
        DDX_CBIndex(pDX, IDC_SMILIEPROP_CHOICE, m_nTemplateChoice);
    }
}

void CDlgSmilieProp::ShowTemplateEdit()
{
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_SMILIEPROP_TEMPLATE);
    if (hEdit == NULL)
        return;
    if (m_nTemplateChoice == 0) {
        ::SetWindowTextA(hEdit, "");
        ::EnableWindow(hEdit, FALSE);
        ::SendMessageA(hEdit, EM_SETREADONLY, TRUE, 0);
        return;
    }
    const BOOL bEmpty = m_strOwnTemplate.IsEmpty();
    // An empty own template starts from the default one, selected so that
    // typing replaces it.
    ::SetWindowTextA(hEdit, bEmpty ? GetLangString(187) : static_cast<LPCSTR>(m_strOwnTemplate));
    ::EnableWindow(hEdit, TRUE);
    ::SendMessageA(hEdit, EM_SETREADONLY, FALSE, 0);
    if (bEmpty)
        ::SendMessageA(hEdit, EM_SETSEL, 0, -1);
    ::SetFocus(hEdit);
}

void CDlgSmilieProp::SetCensoredCaption(int bCensored)
{
    ::SetDlgItemTextA(m_hWnd, IDC_SMILIEPROP_CENSORED, GetLangString(bCensored ? 493 : 494));
}

// --- the picture's place -----------------------------------------------------------------

BOOL CDlgSmilieProp::IsPictureLargerThanCell() const
{
    return m_nImageId != 0 && (m_PictureSize.cx > m_rcCell.Width() || m_PictureSize.cy > m_rcCell.Height());
}

CPoint CDlgSmilieProp::GetPicturePos() const
{
    return CPoint(m_rcPreview.left + (m_rcPreview.Width() - m_PictureSize.cx) / 2 + m_nOffsetX,
                  m_rcPreview.top + (m_rcPreview.Height() - m_PictureSize.cy) / 2 + m_nOffsetY);
}

void CDlgSmilieProp::MovePicture(int dx, int dy)
{
    SetPictureOffset(m_nOffsetX + dx, m_nOffsetY + dy);
}

void CDlgSmilieProp::SetPictureOffset(int x, int y)
{
    int nNewX = m_nOffsetX, nNewY = m_nOffsetY;
    if (m_nImageId != 0 && m_PictureSize.cx > m_rcCell.Width())
        nNewX = ClampAxis(x, m_rcCell.left, m_rcCell.right, m_PictureSize.cx);
    if (m_nImageId != 0 && m_PictureSize.cy > m_rcCell.Height())
        nNewY = ClampAxis(y, m_rcCell.top, m_rcCell.bottom, m_PictureSize.cy);
    if (nNewX == m_nOffsetX && nNewY == m_nOffsetY)
        return;
    m_nOffsetX = nNewX;
    m_nOffsetY = nNewY;
    m_nFrame = 0;
    m_bCanvasValid = 0;
    // The whole preview: the picture shows beyond the cell too.
    if (m_hWnd != NULL) {
        ::InvalidateRect(m_hWnd, &m_rcPreview, FALSE);
        ::UpdateWindow(m_hWnd);
    }
}

// --- drawing -------------------------------------------------------------------------------

void CDlgSmilieProp::OnPaintOver(CDC* pDC, const RECT& rcPaint)
{
    RECT rc;
    if (m_nImageId != 0 && ::IntersectRect(&rc, &rcPaint, &m_rcPreview))
        DrawPreview(pDC, FALSE);
}

// The preview keeps its last picture in a canvas bitmap: a frame of an
// animation may change only part of the picture and is drawn over the one
// before it; the first frame, and any frame after the picture moved, starts
// from the dialog's background.
// The background under the preview, kept for the animation's frames; taken
// from the dialog's own background rather than the screen, where a window in
// front would leave its pixels.
void CDlgSmilieProp::CapturePreviewBackground(HDC hDC)
{
    if (m_hPreviewBack != NULL)
        ::DeleteObject(m_hPreviewBack);
    m_hPreviewBack = ::CreateCompatibleBitmap(hDC, m_rcPreview.Width(), m_rcPreview.Height());
    if (m_hPreviewBack == NULL)
        return;
    CSelectedBitmapDC back(hDC, m_hPreviewBack);
    if (back.m_hDC == NULL)
        return;
    CDC mem;
    mem.Attach(back.m_hDC);
    const POINT origin = {0, 0};
    PaintBackground(&m_rcPreview, &mem, &origin);
    mem.Detach();
}

void CDlgSmilieProp::DrawPreview(CDC* pDC, BOOL bAdvance)
{
    if (m_nImageId == 0 || g_pImgCache == NULL || pDC == NULL || m_rcPreview.IsRectEmpty())
        return;
    const int cx = m_rcPreview.Width(), cy = m_rcPreview.Height();
    HDC hDC = pDC->GetSafeHdc();
    if (m_hCanvas == NULL) {
        m_hCanvas = ::CreateCompatibleBitmap(hDC, cx, cy);
        m_bCanvasValid = 0;
    }
    if (m_hPreviewBack == NULL)
        CapturePreviewBackground(hDC);  // no erase has captured it yet
    if (m_hCanvas == NULL || m_hPreviewBack == NULL)
        return;
    CSelectedBitmapDC canvasMem(hDC, m_hCanvas), backMem(hDC, m_hPreviewBack);
    const HDC hCanvasDC = canvasMem.m_hDC, hBackDC = backMem.m_hDC;
    if (hCanvasDC == NULL || hBackDC == NULL)
        return;

    if (bAdvance || !m_bCanvasValid) {
        if (m_nFrame == 0 || m_bDragging || !m_bCanvasValid)
            ::BitBlt(hCanvasDC, 0, 0, cx, cy, hBackDC, 0, 0, SRCCOPY);
        g_pImgCache->SetImageFrame(m_nImageId, m_nFrame);
        g_pImgCache->SetImageCrop(m_nImageId, m_nCrop);
        const CPoint ptPos = GetPicturePos();
        const CPoint ptPicture(ptPos.x - m_rcPreview.left, ptPos.y - m_rcPreview.top);
        CDC canvas, back;
        canvas.Attach(hCanvasDC);
        back.Attach(hBackDC);
        m_nFrameDelay = g_pImgCache->DrawImageFrame(m_nImageId, &canvas, ptPicture, m_BodyStyle.clrFace, &back,
                                                    ptPicture);
        canvas.Detach();
        back.Detach();
        m_bCanvasValid = 1;
    }

    const int nSaved = ::SaveDC(hDC);
    ::IntersectClipRect(hDC, m_rcPreview.left, m_rcPreview.top, m_rcPreview.right, m_rcPreview.bottom);
    ExcludeOwnDrawnRects(pDC);
    ::BitBlt(hDC, m_rcPreview.left, m_rcPreview.top, cx, cy, hCanvasDC, 0, 0, SRCCOPY);
    if (IsPictureLargerThanCell() && !FadeOutsideCell(hDC, hBackDC))
        DrawCellDots(hDC);
    ::RestoreDC(hDC, nSaved);
}

// The parts of an oversized picture that lie outside the cell are shown at
// half strength over the background, so the cell's edge is seen without a
// line across the picture. FALSE when the system cannot blend.
BOOL CDlgSmilieProp::FadeOutsideCell(HDC hDC, HDC hBackDC) const
{
    const CRect& p = m_rcPreview;
    const CRect& c = m_rcCell;
    const RECT bands[4] = {{p.left, p.top, p.right, c.top},
                           {p.left, c.bottom, p.right, p.bottom},
                           {p.left, c.top, c.left, c.bottom},
                           {c.right, c.top, p.right, c.bottom}};
    for (const RECT& rc : bands) {
        if (rc.right <= rc.left || rc.bottom <= rc.top)
            continue;
        const POINT ptBack = {rc.left - p.left, rc.top - p.top};
        if (!AlphaBlendFaded(hDC, rc, hBackDC, ptBack, FALSE, 128, 128))
            return FALSE;
    }
    return TRUE;
}

// Without blending: a dotted line of alternating black and white pixels
// round the cell.
void CDlgSmilieProp::DrawCellDots(HDC hDC) const
{
    static const WORD pattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP hPattern = ::CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH hBrush = hPattern != NULL ? ::CreatePatternBrush(hPattern) : NULL;
    if (hBrush != NULL) {
        const COLORREF clrOldText = ::SetTextColor(hDC, RGB(0, 0, 0));
        const COLORREF clrOldBk = ::SetBkColor(hDC, RGB(255, 255, 255));
        RECT rcFrame = m_rcCell;
        ::InflateRect(&rcFrame, 1, 1);
        ::FrameRect(hDC, &rcFrame, hBrush);
        ::SetTextColor(hDC, clrOldText);
        ::SetBkColor(hDC, clrOldBk);
        ::DeleteObject(hBrush);
    }
    if (hPattern != NULL)
        ::DeleteObject(hPattern);
}

void CDlgSmilieProp::OnVTimer(int nId, int nAmount)
{
    if (nId == 0 || nId != m_nAnimTimer) {
        C3DDialog::OnVTimer(nId, nAmount);
        return;
    }
    if (m_bDragging)
        return;
    StopVTimer(m_nAnimTimer);
    m_nAnimTimer = 0;
    if (m_nFrameCount > 1 && ++m_nFrame >= m_nFrameCount)
        m_nFrame = 0;
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC != NULL) {
        CDC dc;
        dc.Attach(hDC);
        DrawPreview(&dc, TRUE);
        dc.Detach();
        ::ReleaseDC(m_hWnd, hDC);
    }
    if (m_nFrameDelay > 0) {
        const int nDivider = m_nFrameDelay / 10;
        m_nAnimTimer = StartVTimer(nDivider > 0 ? nDivider : 1);
    }
}

void CDlgSmilieProp::StopAnimation()
{
    if (m_nAnimTimer != 0)
        StopVTimer(m_nAnimTimer);
    m_nAnimTimer = 0;
}

// --- mouse -----------------------------------------------------------------------------------

void CDlgSmilieProp::ChooseCursor(CPoint pt)
{
    HCURSOR hCursor = NULL;
    if (m_rcCell.PtInRect(pt) && IsPictureLargerThanCell() && !OwnDrawnRectFromPoint(pt.x, pt.y)) {
        hCursor = ::LoadCursor(NULL, IDC_HAND);
        if (hCursor == NULL)
            hCursor = ::LoadCursor(NULL, IDC_SIZEALL);
    }
    if (hCursor == NULL)
        hCursor = ::LoadCursor(NULL, IDC_ARROW);
    ::SetCursor(hCursor);
}

void CDlgSmilieProp::EndDragging()
{
    if (!m_bDragging)
        return;
    m_bDragging = 0;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

// --- OK --------------------------------------------------------------------------------------

int CDlgSmilieProp::AskUser(LPCSTR pszText)
{
    return MessageBox3D(CWnd::FromHandle(::GetActiveWindow()), "Tarvenex", pszText, MB_YESNO | MB_ICONQUESTION,
                        g_Settings.FadeDialogs, SkinBodyStyle());
}

BOOL CDlgSmilieProp::CheckTemplate(CString& strTemplate, int& nTextOnly)
{
    HWND hEdit = ::GetDlgItem(m_hWnd, IDC_SMILIEPROP_TEMPLATE);
    strTemplate.Empty();
    if (m_nTemplateChoice != 0) {
        strTemplate = WindowText(hEdit);
        m_strOwnTemplate = strTemplate;
    }
    const INSERTTEMPLATECHECK nCheck = CheckInsertTemplate(strTemplate);
    if (nCheck == TEMPLATE_TOO_LONG) {
        char szText[1024];
        FormatTemplate(szText, sizeof(szText), GetLangString(190), "[NUM]", "%d", int(maxTemplateLength), NULL);
        if (AskUser(szText) != IDYES) {
            ::SetFocus(hEdit);
            return FALSE;
        }
        // Cut, shown again, and left for another OK.
        strTemplate = strTemplate.Left(maxTemplateLength);
        m_strOwnTemplate = strTemplate;
        if (m_nTemplateChoice >= 1)
            ::SetWindowTextA(hEdit, strTemplate);
        return FALSE;
    }
    nTextOnly = 0;
    if (nCheck == TEMPLATE_NO_KEYWORD) {
        CString strQuestion = GetLangString(188);
        strQuestion += "\n\n";
        strQuestion += GetLangString(246);
        char szText[513];
        FormatTemplate(szText, sizeof(szText), strQuestion, "[KEYWORD]", "%s", kInsertTemplateKeyword, NULL);
        if (AskUser(szText) != IDYES) {
            ::SetFocus(hEdit);
            return FALSE;
        }
        nTextOnly = 1;
    }
    return TRUE;
}

void CDlgSmilieProp::OnOK()
{
    if (m_nFadeState != 0)
        return;
    if (!UpdateData(TRUE))
        return;
    // Every question comes before anything is written: a dialog that stays
    // open may still be cancelled.
    CString strTemplate;
    int nTextOnly = 0;
    if (HasSourceText() && !CheckTemplate(strTemplate, nTextOnly))
        return;

    if (m_pOffsetOut != NULL) {
        m_pOffsetOut->x = m_nOffsetX;
        m_pOffsetOut->y = m_nOffsetY;
    }
    if (m_pCropInOut != NULL)
        *m_pCropInOut = m_nCrop;
    if (m_pCensoredOut != NULL)
        *m_pCensoredOut = m_nCensored;
    if (HasSourceText()) {
        if (m_pTemplateOut != NULL)
            *m_pTemplateOut = strTemplate;
        if (m_pTextOnlyOut != NULL)
            *m_pTextOnlyOut = nTextOnly;
        if (m_pReloadOut != NULL)
            *m_pReloadOut = m_nReload;
    }
    EndDialog3D(IDOK);
}

// --- messages ----------------------------------------------------------------------------------

BOOL CDlgSmilieProp::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nId = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    switch (nId) {
    case IDC_SMILIEPROP_CHOICE:
        if (nCode == CBN_SELCHANGE) {
            C3DDialog::OnCommand(wParam, lParam);
            m_nTemplateChoice = int(::SendDlgItemMessageA(m_hWnd, IDC_SMILIEPROP_CHOICE, CB_GETCURSEL, 0, 0));
            ShowTemplateEdit();
            return TRUE;
        }
        break;
    case IDC_SMILIEPROP_UP:
    case IDC_SMILIEPROP_LEFT:
    case IDC_SMILIEPROP_RIGHT:
    case IDC_SMILIEPROP_DOWN:
    case IDC_SMILIEPROP_CENTRE:
        if (nCode == BN_CLICKED) {
            C3DDialog::OnCommand(wParam, lParam);
            if (nId == IDC_SMILIEPROP_CENTRE)
                SetPictureOffset(0, 0);
            else
                MovePicture(nId == IDC_SMILIEPROP_LEFT ? -1 : (nId == IDC_SMILIEPROP_RIGHT ? 1 : 0),
                            nId == IDC_SMILIEPROP_UP ? -1 : (nId == IDC_SMILIEPROP_DOWN ? 1 : 0));
            return TRUE;
        }
        break;
    case IDC_SMILIEPROP_CENSORED:
        if (nCode == BN_CLICKED) {
            C3DDialog::OnCommand(wParam, lParam);
            SetCensoredCaption(::IsDlgButtonChecked(m_hWnd, IDC_SMILIEPROP_CENSORED) == BST_CHECKED);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return C3DDialog::OnCommand(wParam, lParam);
}

LRESULT CDlgSmilieProp::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        // No more ticks, then what the preview owns, then the base teardown.
        StopAnimation();
        EndDragging();
        if (m_hPreviewBack != NULL)
            ::DeleteObject(m_hPreviewBack);
        m_hPreviewBack = NULL;
        if (m_hCanvas != NULL)
            ::DeleteObject(m_hCanvas);
        m_hCanvas = NULL;
        m_bCanvasValid = 0;
        for (HWND& h : m_hArrowButtons) {
            if (h != NULL && ::IsWindow(h))
                ::DestroyWindow(h);
            h = NULL;
        }
        OnDestroy();
        return 0;
    case WM_ERASEBKGND: {
        HDC hDC = reinterpret_cast<HDC>(wParam);
        OnEraseBkgnd(hDC);
        if (m_bRebuildBackground && m_nImageId != 0 && !m_rcPreview.IsRectEmpty()) {
            m_bRebuildBackground = 0;
            CapturePreviewBackground(hDC);
            m_bCanvasValid = 0;
        }
        return 1;
    }
    case WM_MOUSEMOVE: {
        const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        ChooseCursor(pt);
        if (m_bDragging) {
            const CPoint ptLast = m_ptLastMouse;
            m_ptLastMouse = pt;
            MovePicture(pt.x - ptLast.x, pt.y - ptLast.y);
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        if (m_rcCell.PtInRect(pt)) {
            m_ptLastMouse = pt;
            m_bDragging = 1;
            ::SetCapture(m_hWnd);
        }
        break;
    }
    case WM_LBUTTONUP:
    case WM_ACTIVATE:
    case WM_CANCELMODE:
    case WM_ACTIVATEAPP:
    case WM_SHOWWINDOW:
        EndDragging();
        break;
    case WM_KILLFOCUS:
        if (::GetCapture() != reinterpret_cast<HWND>(wParam))
            EndDragging();
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != m_hWnd)
            m_bDragging = 0;
        break;
    case WM_SETCURSOR:
        if (HIWORD(lParam) != 0) {
            POINT pt;
            ::GetCursorPos(&pt);
            ::ScreenToClient(m_hWnd, &pt);
            ChooseCursor(pt);
            return 0;
        }
        break;
    default:
        break;
    }
    return C3DDialog::WindowProc(message, wParam, lParam);
}
