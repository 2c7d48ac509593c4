// The notice shown when the main window hides to the tray: the program keeps
// running there. It shows where, with a picture of the real notification
// area when the program's icon can be found in it, and lays itself out
// around that picture. Modal; OK stores whether to show it again.
#pragma once

#include "dialogs/Notices.h"
#include "framework/Gdi.h"

class CDlgWarnHidingToTray : public CNoticeDialog
{
    DECLARE_DYNAMIC(CDlgWarnHidingToTray)
public:
    explicit CDlgWarnHidingToTray(CWnd* pParent);

    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnPaintOver(CDC* pDC, const RECT& rcPaint) override;

    // How the notification area is captured; tests put in their own.
    typedef BOOL (*PFN_GETTRAYNOTIFYRECT)(RECT* prc, CBitmap* pBitmap, BYTE** ppMask);
    static PFN_GETTRAYNOTIFYRECT s_pfnGetTrayNotifyRect;

    int m_nCheck;
    int m_nDy;              // how much taller the picture became than the template's
    RECT m_rcFrame;         // the picture's frame, client coordinates
    CBitmap m_bmpCapture;   // the picture of the notification area, when used

private:
    // Takes the notification area as the picture when the icon is in it.
    BOOL UseCapturedArea(HWND hPicture, const RECT& rcPicture);
    void LayOut();
};
