// C3DColorDialog: the system's colour dialog, listed in the registry of live
// dialogs so that the program finds it while it runs modally.
#pragma once

#include "services/Messages.h"
#include "framework/CommonDialog.h"

class C3DColorDialog : public CColorDialog
{
    DECLARE_DYNAMIC(C3DColorDialog)
public:
    explicit C3DColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = NULL);
    ~C3DColorDialog() override;

    INT_PTR DoModal() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_nRunState;

protected:
    void PostNcDestroy() override;
};
