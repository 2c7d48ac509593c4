// CDlgWizard: the small wizard of the first start. Two pages on the skinned
// property sheet in wizard mode: the look of the smilie fields (3D or flat)
// and whether censored smilies are shown. Finish stores both choices in the
// settings record; Cancel changes nothing.
#pragma once

#include "ui3d/dialogs/3DPropertySheet.h"

class CDlgWizard : public C3DPropertySheet
{
public:
    explicit CDlgWizard(CWnd* pParent);

    // The radio index of each choice, -1 when no button of the pair is
    // checked. Look: 0 the 3D look, 1 the flat look. Censorship: 0 every
    // smilie shown, 1 censored smilies hidden.
    int m_nLook;
    int m_nCensorship;

    BOOL OnInitSheet() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void NextPage() override;
    void PrevPage() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    // Before a page switch: takes the focus from a radio button of the page.
    void TakeFocusFromChoice();
};

// Runs the wizard modally over pParent. Any end but Cancel clears the setting
// "ShowFirstTimeSetup"; after Cancel the wizard comes again at the next start.
// Returns the wizard's end code.
INT_PTR RunFirstTimeWizard(CWnd* pParent);
