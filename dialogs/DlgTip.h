// CDlgTip: the tip of the day. Shows one tip of a fixed table on the note
// paper (CTipCtrl), steps to the next and previous tip with wrap-around, and
// lets the user decide whether tips come at start-up. The setting
// "ShowTipsOfTheDay" holds the index of the tip to show next time, or -1
// when tips are off; the dialog reads it when made and writes it when it goes.
#pragma once

#include "ui3d/dialogs/3DDialog.h"

class CTipCtrl;

class CDlgTip : public C3DDialog
{
    DECLARE_DYNAMIC(CDlgTip)
public:
    // One row of the tip table: language entry of the text (0: none),
    // picture and opacity picture resource ids (0: none) and picture type.
    struct TIPROW
    {
        int nText;
        UINT nPicture;
        UINT nMask;
        int nType;
    };
    // The table, ended by a row whose text and picture are both 0.
    static const TIPROW s_Tips[];
    static int CountTips();

    explicit CDlgTip(CWnd* pParent);
    // Advances to the tip after the current one and stores the setting.
    ~CDlgTip() override;

    // Runs the dialog modally; 0 when it could not be run.
    int Show();

    int GetTipIndex() const { return m_nTip; }
    int GetTipCount() const { return m_nTipCount; }
    int GetShowAtStart() const { return m_bShowAtStart; }
    CTipCtrl* GetTipCtrl() const { return m_pTipCtrl; }

    BOOL OnInitDialogEx() override;
    void OnInitControls() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetCurrentTip(BOOL bResize, SIZE* pSize);
    // Moves and widens the controls around the tip control of that size.
    void LayOut(const SIZE& size);
    void KeepOnScreen();
    void AddCheckTool();
    void Step(int nDelta);

    CTipCtrl* m_pTipCtrl;
    POINT m_ptTipCorner;
    int m_nTipCount;
    int m_nTip;
    int m_bShowAtStart;
    UINT m_nCheckToolId;   // 0: none
};
