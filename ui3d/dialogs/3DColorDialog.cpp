#include "ui3d/dialogs/3DColorDialog.h"

#include "ui3d/dialogs/LiveDialogs.h"

IMPLEMENT_DYNAMIC(C3DColorDialog, CColorDialog)

C3DColorDialog::C3DColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CColorDialog(clrInit, dwFlags, pParentWnd), m_nRunState(0)
{
    RegisterLiveDialog(this);
}

C3DColorDialog::~C3DColorDialog()
{
    UnregisterLiveDialog(this);
}

INT_PTR C3DColorDialog::DoModal()
{
    m_nRunState = 1;
    // A modal loop inside a running drag would hang the drag.
    if (g_nActiveDrags != 0) {
        m_nRunState = 0;
        return IDCANCEL;
    }
    const INT_PTR nResult = CColorDialog::DoModal();
    m_nRunState = 0;
    return nResult;
}

void C3DColorDialog::PostNcDestroy()
{
    m_nRunState = 0;
    CColorDialog::PostNcDestroy();
}

LRESULT C3DColorDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYDLGSTATE)
        return AnswerQueryDlgState(wParam, lParam, m_nRunState, m_hWnd);
    return CColorDialog::WindowProc(message, wParam, lParam);
}
