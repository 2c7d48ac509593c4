// CDlgHowToQuickOpenDefCol: a short hint, with a picture, on how to open the
// default collection quickly. Run modally; OK closes it.
#pragma once

#include "ui3d/dialogs/3DDialog.h"

class CDlgHowToQuickOpenDefCol : public C3DDialog
{
    DECLARE_DYNAMIC(CDlgHowToQuickOpenDefCol)
public:
    explicit CDlgHowToQuickOpenDefCol(CWnd* pParent);

    BOOL OnInitDialogEx() override;
};
