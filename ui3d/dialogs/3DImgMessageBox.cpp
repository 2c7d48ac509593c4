#include "ui3d/dialogs/3DImgMessageBox.h"

#include "services/Languages.h"
#include "resources/resource.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/drawing/DialogTemplate.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(C3DImgMessageBox, C3DDialog)

namespace {

// WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_ABSALIGN: no system
// menu, so no close box; Escape is the way out without a button.
const DWORD kBoxStyle = 0x90C00081;

struct BUTTONDEF
{
    UINT nId;
    int nLangEntry;
};

// Each button's id and caption.
const BUTTONDEF kButtons[] = {
    {IDOK, 497},      {IDCANCEL, 492},  {IDYES, 493},     {IDNO, 494},      {IDABORT, 495},  {IDRETRY, 491},
    {IDIGNORE, 496},  {IDCHOICE1, 498}, {IDCHOICE2, 499}, {IDCHOICE3, 500}, {IDCHOICE4, 501},
};
const int kButtonCount = sizeof(kButtons) / sizeof(kButtons[0]);

struct CELL
{
    UINT nId;
    int nColumn;
    int nRow;
};

// The buttons of a layout, left to right, in cells of one button each;
// returns their number.
int LayoutCells(int nLayout, UINT nType, CELL* pCells)
{
    static const CELL kOk[] = {{IDOK, 0, 0}};
    static const CELL kOkCancel[] = {{IDOK, 0, 0}, {IDCANCEL, 1, 0}};
    static const CELL kAbortRetryIgnore[] = {{IDABORT, 0, 0}, {IDRETRY, 1, 0}, {IDIGNORE, 2, 0}};
    static const CELL kYesNoCancel[] = {{IDYES, 0, 0}, {IDNO, 1, 0}, {IDCANCEL, 2, 0}};
    static const CELL kYesNo[] = {{IDYES, 0, 0}, {IDNO, 1, 0}};
    static const CELL kRetryCancel[] = {{IDRETRY, 0, 0}, {IDCANCEL, 1, 0}};
    static const CELL kChoice[] = {{IDYES, 0, 0},     {IDCHOICE3, 1, 0}, {IDNO, 2, 0},     {IDCHOICE1, 0, 1},
                                   {IDCHOICE4, 1, 1}, {IDCHOICE2, 2, 1}, {IDCANCEL, 3, 1}};
    const CELL* pFrom = kOk;
    int n = 1;
    if (nLayout == MSGBOXLAYOUT_CHOICE) {
        pFrom = kChoice, n = 7;
    } else {
        switch (nType & MB_TYPEMASK) {
        case MB_OKCANCEL: pFrom = kOkCancel, n = 2; break;
        case MB_ABORTRETRYIGNORE: pFrom = kAbortRetryIgnore, n = 3; break;
        case MB_YESNOCANCEL: pFrom = kYesNoCancel, n = 3; break;
        case MB_YESNO: pFrom = kYesNo, n = 2; break;
        case MB_RETRYCANCEL: pFrom = kRetryCancel, n = 2; break;
        default: break;  // MB_OK and the types this box does not know
        }
    }
    std::copy(pFrom, pFrom + n, pCells);
    return n;
}

// The picture pair of the icon the flags ask for; FALSE for none.
BOOL IconImages(UINT nType, UINT* pnImage, UINT* pnMask)
{
    if ((nType & MB_ICONEXCLAMATION) == MB_ICONEXCLAMATION || (nType & MB_ICONINFORMATION)) {
        *pnImage = IDG_MSGBOX_NOTICE, *pnMask = IDG_MSGBOX_NOTICE_MASK;
        return TRUE;
    }
    if (nType & (MB_ICONQUESTION | MB_ICONHAND)) {
        *pnImage = IDG_MSGBOX_QUESTION, *pnMask = IDG_MSGBOX_QUESTION_MASK;
        return TRUE;
    }
    return FALSE;
}

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

}  // namespace

C3DImgMessageBox::C3DImgMessageBox(const BODYSTYLE* pBodyStyle, int bFade, CWnd* pParent)
    : C3DDialog(NULL, bFade, pBodyStyle, FALSE, NULL),
      m_nType(MB_OK),
      m_nLayout(MSGBOXLAYOUT_STANDARD),
      m_pOwner(pParent)
{
    m_pParentWnd = pParent;
}

int C3DImgMessageBox::Show(LPCSTR pszText, LPCSTR pszCaption, UINT nType)
{
    m_nType = nType;
    m_strText = pszText != NULL ? pszText : "";
    const RECT rc = {20, 20, 0, 0};
    BYTE* pTemplate = NULL;
    UINT cbTemplate = 0;
    if (!BuildDialogTemplate(rc, kBoxStyle, pszCaption, &pTemplate, &cbTemplate))
        return -1;
    InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(pTemplate), m_pOwner);
    const INT_PTR nResult = DoModal();
    m_lpDialogTemplate = NULL;
    free(pTemplate);
    return static_cast<int>(nResult);
}

BOOL C3DImgMessageBox::OnInitDialogEx()
{
    // The measures of a Windows dialog, in dialog units of the box's font:
    // buttons of 50 x 14, 4 apart, 7 from the edges; the notices of the
    // program share them (the icon at the margin, the text in a frame right
    // of it, the buttons under it).
    RECT rcCell = {0, 0, 50, 14};
    MapDialogRect(&rcCell);
    RECT rcMargin = {0, 0, 7, 7};
    MapDialogRect(&rcMargin);
    RECT rcGap = {0, 0, 4, 4};
    MapDialogRect(&rcGap);
    RECT rcPad = {0, 0, 8, 6};
    MapDialogRect(&rcPad);
    const int cxCell = rcCell.right, cyCell = rcCell.bottom;
    const int mx = rcMargin.right, my = rcMargin.bottom;
    const int gx = rcGap.right, gy = rcGap.bottom;
    const HFONT hFont = GetFont();

    // The icon at its own size; a picture that cannot be loaded leaves a
    // 1 x 1 placeholder at the margin.
    RECT rcIcon = {0, 0, 0, 0};
    UINT nImage = 0, nMask = 0;
    C3DStatic* pIcon = NULL;
    if (IconImages(m_nType, &nImage, &nMask)) {
        pIcon = CreateImageStatic(nImage, nMask, "Gif", rcIcon, this, IDC_MSGBOX_ICON);
        if (pIcon != NULL) {
            pIcon->GetClientRect(&rcIcon);
        } else {
            rcIcon.right = rcIcon.bottom = 1;
        }
    }

    // Rows of buttons, each as wide as its buttons and their gaps.
    CELL cells[8];
    const int nCells = LayoutCells(m_nLayout, m_nType, cells);
    int nRows = 0, cxBlock = 0;
    int nInRow[2] = {0, 0};
    for (int i = 0; i < nCells; i++) {
        nRows = std::max(nRows, cells[i].nRow + 1);
        nInRow[cells[i].nRow]++;
    }
    for (int r = 0; r < nRows; r++)
        cxBlock = std::max(cxBlock, nInRow[r] * cxCell + (nInRow[r] - 1) * gx);
    const int cyBlock = nRows * cyCell + (nRows - 1) * gy;

    // The text wraps at 5/8 of the work area's width, as the system's box
    // wraps it; a word too long for that (a path, say) breaks where it must.
    // Its "&" are shown as they are.
    const RECT rcNone = {0, 0, 0, 0};
    C3DStatic* pText = CreateTextStatic(m_strText, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL,
                                        rcNone, this, IDC_MSGBOX_TEXT);
    SIZE sizeText = {0, 0};
    if (pText != NULL) {
        pText->SetFont(hFont, FALSE);
        RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
        const CSize size = pText->MeasureText(m_strText, std::max(1, Width(rcWork) * 5 / 8));
        sizeText.cx = size.cx + 1;
        sizeText.cy = size.cy + 6;
    }

    // The frame around the text, at least 200 wide and as high as the icon;
    // when the buttons need more room, the box widens and the frame with it.
    const int xFrame = mx + (pIcon != NULL || Width(rcIcon) > 0 ? Width(rcIcon) + mx : 0);
    int cxFrame = std::max<int>(sizeText.cx + 2 * rcPad.right, 200);
    const int cyFrame = std::max<int>(sizeText.cy + 2 * rcPad.bottom, Height(rcIcon));
    const int cxClient = std::max(xFrame + cxFrame + mx, cxBlock + 2 * mx);
    cxFrame = cxClient - mx - xFrame;
    const RECT rcFrame = {xFrame, my, xFrame + cxFrame, my + cyFrame};
    const int yBlock = rcFrame.bottom + my;
    if (pText != NULL) {
        pText->MoveWindow(rcFrame.left + (cxFrame - sizeText.cx) / 2, rcFrame.top + (cyFrame - sizeText.cy) / 2,
                          sizeText.cx, sizeText.cy, FALSE);
    }
    // The icon beside the frame's top, as the notices have it; centred on a
    // frame not much taller than itself.
    if (pIcon != NULL) {
        const int yIcon = rcFrame.top + std::min<int>(rcPad.bottom, (cyFrame - Height(rcIcon)) / 2);
        pIcon->MoveWindow(mx, yIcon, Width(rcIcon), Height(rcIcon), FALSE);
    }
    CreateGroupBox("", WS_CHILD | WS_VISIBLE, 0, rcFrame, this, IDC_MSGBOX_FRAME);

    // The buttons, each row centred under the text as in the system's box,
    // created row by row and left to right, which is the tab order; the
    // default one (MB_DEFBUTTONn, else the first) has the focus as the box
    // opens, as in the system's box.
    const int nDefault = static_cast<int>((m_nType & MB_DEFMASK) >> 8);
    const int iDefault = nDefault < nCells ? nDefault : 0;
    C3DButton* pDefault = NULL;
    for (int i = 0; i < nCells; i++) {
        const BUTTONDEF* pDef = std::find_if(kButtons, kButtons + kButtonCount,
                                             [&](const BUTTONDEF& def) { return def.nId == cells[i].nId; });
        if (pDef == kButtons + kButtonCount)
            continue;
        const int nRow = cells[i].nRow;
        const int cxRow = nInRow[nRow] * cxCell + (nInRow[nRow] - 1) * gx;
        const int x = (cxClient - cxRow) / 2 + cells[i].nColumn * (cxCell + gx);
        const int y = yBlock + nRow * (cyCell + gy);
        const RECT rc = {x, y, x + cxCell, y + cyCell};
        const DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == iDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        C3DButton* pButton = CreatePushButton(GetLangString(pDef->nLangEntry), dwStyle, rc, this, pDef->nId);
        if (pButton == NULL)
            continue;
        pButton->SetFont(hFont, FALSE);
        if (i == iDefault)
            pDefault = pButton;
    }
    if (pDefault != NULL) {
        SetDefID(pDefault->GetDlgCtrlID());
        pDefault->SetFocus();
    }

    // The client area around frame and buttons, the top-left corner kept;
    // then centred on the parent, or on the desktop without one.
    RECT rcWindow = {0, 0, cxClient, yBlock + cyBlock + my};
    ::AdjustWindowRectEx(&rcWindow, GetStyle(), FALSE, GetExStyle());
    RECT rcNow;
    GetWindowRect(&rcNow);
    MoveWindow(rcNow.left, rcNow.top, Width(rcWindow), Height(rcWindow), FALSE);
    CWnd* pParent = m_pOwner != NULL && m_pOwner->m_hWnd != NULL ? m_pOwner : CWnd::GetDesktopWindow();
    CenterWindow(pParent);
    return TRUE;
}

BOOL C3DImgMessageBox::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nId = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && nId != IDOK && nId != IDCANCEL) {
        for (const BUTTONDEF& def : kButtons) {
            if (def.nId == nId) {
                EndDialog3D(static_cast<int>(nId));
                return TRUE;
            }
        }
    }
    return C3DDialog::OnCommand(wParam, lParam);
}

int MessageBox3D(CWnd* pParent, LPCSTR pszCaption, LPCSTR pszText, UINT nType, int bFade,
                 const BODYSTYLE* pBodyStyle)
{
    // A modal loop inside a running drag would hang the drag.
    if (g_nActiveDrags != 0)
        return IDCANCEL;
    C3DImgMessageBox box(pBodyStyle, bFade, pParent);
    return box.Show(pszText, pszCaption, nType);
}

int ChoiceBox3D(CWnd* pParent, LPCSTR pszText, int bFade, const BODYSTYLE* pBodyStyle)
{
    if (g_nActiveDrags != 0)
        return IDCANCEL;
    C3DImgMessageBox box(pBodyStyle, bFade, pParent);
    box.m_nLayout = MSGBOXLAYOUT_CHOICE;
    return box.Show(pszText, "Tarvenex", MB_ICONHAND);
}
