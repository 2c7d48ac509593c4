#include "dialogs/DlgWarnHidingToTray.h"

#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "services/TrayIconPattern.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/system/SysUtils.h"

IMPLEMENT_DYNAMIC(CDlgWarnHidingToTray, CNoticeDialog)

CDlgWarnHidingToTray::PFN_GETTRAYNOTIFYRECT CDlgWarnHidingToTray::s_pfnGetTrayNotifyRect = GetTrayNotifyRect;

namespace {

const int kGap = 8;

RECT ChildRect(HWND hParent, HWND hChild)
{
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(NULL, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void MoveChild(HWND hChild, const RECT& rc)
{
    ::MoveWindow(hChild, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
}

void OffsetChild(HWND hParent, HWND hChild, int dx, int dy)
{
    RECT rc = ChildRect(hParent, hChild);
    ::OffsetRect(&rc, dx, dy);
    MoveChild(hChild, rc);
}

RECT Union(const RECT& a, const RECT& b)
{
    RECT rc;
    ::UnionRect(&rc, &a, &b);
    return rc;
}

}  // namespace

CDlgWarnHidingToTray::CDlgWarnHidingToTray(CWnd* pParent)
    : CNoticeDialog(IDD_WARNHIDING, pParent, NULL), m_nCheck(g_Settings.WarnMinimizingToTray), m_nDy(0)
{
    ::SetRectEmpty(&m_rcFrame);
}

BOOL CDlgWarnHidingToTray::OnInitDialogEx()
{
    SetWindowText(GetLangString(131));
    SetDlgItemText(IDC_HIDING_TEXT, GetLangString(215));
    SetDlgItemText(IDC_HIDING_CHECK, GetLangString(216));
    LayOut();
    return TRUE;
}

void CDlgWarnHidingToTray::OnInitControls()
{
    AddCheckTool(IDC_HIDING_CHECK, 217, 216);
}

void CDlgWarnHidingToTray::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_HIDING_CHECK, m_nCheck);
}

void CDlgWarnHidingToTray::OnOK()
{
    if (!OkWillClose())
        return;
    const int nInitial = m_nCheck;
    UpdateData(TRUE);
    if (m_nCheck != nInitial) {
        g_Settings.WarnMinimizingToTray = m_nCheck;
        SaveSettings(FALSE);
    }
    C3DDialog::OnOK();
}

BOOL CDlgWarnHidingToTray::UseCapturedArea(HWND hPicture, const RECT& rcPicture)
{
    RECT rcNotify;
    CBitmap bmp;
    BYTE* pMask = NULL;
    if (!s_pfnGetTrayNotifyRect(&rcNotify, &bmp, &pMask) || pMask == NULL || bmp.m_hObject == NULL) {
        delete[] pMask;
        return FALSE;
    }
    const int cx = rcNotify.right - rcNotify.left, cy = rcNotify.bottom - rcNotify.top;
    POINT ptFound;
    const BOOL bFound = cx > 0 && cy > 0 &&
                        FindSubBitmap(cx, cy, TRAYICONPATTERN::cx, TRAYICONPATTERN::cy, pMask,
                                      &g_TrayIconPattern.bits[0][0], &ptFound);
    delete[] pMask;
    if (!bFound)
        return FALSE;
    m_bmpCapture.Attach(bmp.Detach());
    ::SendMessageA(hPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bmpCapture.m_hObject));
    // Centred on the template picture's middle, top kept.
    const int xMiddle = (rcPicture.left + rcPicture.right) / 2;
    RECT rc = {xMiddle - cx / 2, rcPicture.top, xMiddle - cx / 2 + cx, rcPicture.top + cy};
    MoveChild(hPicture, rc);
    m_nDy = cy - (rcPicture.bottom - rcPicture.top);
    return TRUE;
}

void CDlgWarnHidingToTray::LayOut()
{
    const HWND hPicture = ::GetDlgItem(m_hWnd, IDC_HIDING_PICTURE);
    const HWND hFrame = ::GetDlgItem(m_hWnd, IDC_HIDING_FRAME);
    const HWND hText = ::GetDlgItem(m_hWnd, IDC_HIDING_TEXT);
    const HWND hCheck = ::GetDlgItem(m_hWnd, IDC_HIDING_CHECK);
    const HWND hGroup = ::GetDlgItem(m_hWnd, IDC_HIDING_GROUP);
    const HWND hOK = ::GetDlgItem(m_hWnd, IDOK);
    if (hPicture == NULL || hText == NULL || hCheck == NULL || hGroup == NULL || hOK == NULL)
        return;

    // 1. The picture.
    m_nDy = 0;
    UseCapturedArea(hPicture, ChildRect(m_hWnd, hPicture));
    const RECT rcPicture = ChildRect(m_hWnd, hPicture);

    // 2. Its frame (painted by the dialog), the text and the box below it.
    m_rcFrame = rcPicture;
    ::InflateRect(&m_rcFrame, 1, 1);
    if (hFrame != NULL)
        ::ShowWindow(hFrame, SW_HIDE);
    OffsetChild(m_hWnd, hText, 0, m_nDy);
    OffsetChild(m_hWnd, hCheck, 0, m_nDy);

    // 3. The group around them; OK below it at its right, as the other
    // notices have it.
    RECT rcUnits = {0, 0, 7, 7};
    MapDialogRect(&rcUnits);
    const int mx = rcUnits.right, my = rcUnits.bottom;
    RECT rcBelow = {0, 0, 0, 6};
    MapDialogRect(&rcBelow);
    RECT rcGroup = Union(Union(rcPicture, ChildRect(m_hWnd, hText)), ChildRect(m_hWnd, hCheck));
    ::InflateRect(&rcGroup, kGap, kGap);
    MoveChild(hGroup, rcGroup);
    RECT rcOK = ChildRect(m_hWnd, hOK);
    ::OffsetRect(&rcOK, rcGroup.right - rcOK.right, rcGroup.bottom + rcBelow.bottom - rcOK.top);
    MoveChild(hOK, rcOK);

    // 4. The notice picture at the left margin, level with the group's top
    // as in the other notices; everything else moves right of it and down
    // to the top margin.
    C3DStatic* pNotice = CreateNoticePicture();
    RECT rcIconDrop = {0, 0, 0, 6};
    MapDialogRect(&rcIconDrop);
    int nRightOfNotice = mx;
    const int dy = my - rcGroup.top;
    if (pNotice != NULL) {
        RECT rcNotice = ChildRect(m_hWnd, pNotice->m_hWnd);
        ::OffsetRect(&rcNotice, mx - rcNotice.left, my + rcIconDrop.bottom - rcNotice.top);
        MoveChild(pNotice->m_hWnd, rcNotice);
        nRightOfNotice = rcNotice.right + mx;
    }
    const int dx = nRightOfNotice - rcGroup.left;
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (pNotice == NULL || hChild != pNotice->m_hWnd)
            OffsetChild(m_hWnd, hChild, dx, dy);
    }
    ::OffsetRect(&m_rcFrame, dx, dy);
    ::OffsetRect(&rcGroup, dx, dy);
    ::OffsetRect(&rcOK, dx, dy);

    // 5. The window around it all, on the screen.
    RECT rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    const int cxFrame = (rcWindow.right - rcWindow.left) - rcClient.right;
    const int cyFrame = (rcWindow.bottom - rcWindow.top) - rcClient.bottom;
    ::SetWindowPos(m_hWnd, NULL, 0, 0, rcGroup.right + mx + cxFrame, rcOK.bottom + my + cyFrame,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(&rcClient);
    m_nClientWidth = rcClient.right;
    m_nClientHeight = rcClient.bottom;
    KeepWindowOnScreen(m_hWnd);
}

void CDlgWarnHidingToTray::OnPaintOver(CDC* pDC, const RECT& /*rcPaint*/)
{
    if (::IsRectEmpty(&m_rcFrame))
        return;
    HBRUSH hBrush = ::CreateSolidBrush(m_BodyStyle.clrText);
    ::FrameRect(pDC->m_hDC, &m_rcFrame, hBrush);
    ::DeleteObject(hBrush);
}
