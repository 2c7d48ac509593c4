// The reminders the messenger exporter shows before it adds a smilie to the
// messenger: for messenger 6, that its emoticons are 19 x 19 pixels; for
// both, that the classic emoticons collection holds smilies made for it.
// Modal. Results: 1 goes on with the export (OK; "Insert anyway" of
// messenger 7), 2 stops (Cancel), 1145 asks for the page with messenger
// smilies (messenger 6), 1148 for the classic collection (after the hint on
// opening a collection quickly).
#pragma once

#include "dialogs/Notices.h"

class CDlgWarnInsertingInMSN : public CNoticeDialog
{
    DECLARE_DYNAMIC(CDlgWarnInsertingInMSN)
public:
    // The dialog's own button that is coloured with 1148.
    CDlgWarnInsertingInMSN(UINT nIDTemplate, UINT nMainButton, int* pSetting, CWnd* pParent);

    void OnInitControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The colour value for the two buttons, from the main button's own: a
    // green one gets 0x7FFF, any other 0xC800.
    static COLORREF ChooseButtonColor(COLORREF clrButton);

    int m_nDontShow;   // box 1134

protected:
    // Replaces a placeholder by a "Png" picture of the program's resources.
    void PlacePicture(UINT nId, UINT nPicture);

private:
    UINT m_nMainButton;
    int* m_pSetting;   // the "show this reminder" setting
};

class CDlgWarnInsertingInMSN6 : public CDlgWarnInsertingInMSN
{
    DECLARE_DYNAMIC(CDlgWarnInsertingInMSN6)
public:
    explicit CDlgWarnInsertingInMSN6(CWnd* pParent);
    BOOL OnInitDialogEx() override;
};

class CDlgWarnInsertingInMSN7 : public CDlgWarnInsertingInMSN
{
    DECLARE_DYNAMIC(CDlgWarnInsertingInMSN7)
public:
    explicit CDlgWarnInsertingInMSN7(CWnd* pParent);
    BOOL OnInitDialogEx() override;
};
