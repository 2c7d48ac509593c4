#include "framework/Dialog.h"
#include "framework/DataExchange.h"
#include "framework/Exception.h"
#include "framework/ModalAnswerer.h"
#include "framework/Module.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog()
    : m_lpszTemplateName(NULL), m_lpDialogTemplate(NULL), m_pParentWnd(NULL), m_nModalResult(-1),
      m_bContinueModal(FALSE), m_bInModalLoop(FALSE)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    // A name is kept by pointer: callers pass literals or MAKEINTRESOURCE ids.
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
}

LPCDLGTEMPLATEA CDialog::LoadTemplate(LPCSTR lpszTemplateName) const
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (hRes == NULL)
        return NULL;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
    return hGlobal != NULL ? static_cast<LPCDLGTEMPLATEA>(::LockResource(hGlobal)) : NULL;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    LPCDLGTEMPLATEA lpTemplate = LoadTemplate(lpszTemplateName);
    return lpTemplate != NULL && CreateIndirect(lpTemplate, pParentWnd);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd)
{
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    HWND hWndParent = SafeHwnd(pParentWnd);
    if (hWndParent == NULL) {
        CWnd* pMain = AfxGetMainWnd();
        hWndParent = pMain != NULL ? pMain->m_hWnd : NULL;
    }
    return CreateDlgIndirect(lpDialogTemplate, hWndParent);
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_lpszTemplateName = NULL;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return lpDialogTemplate != NULL;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATEA lpDialogTemplate, HWND hWndParent)
{
    if (m_hWnd != NULL || lpDialogTemplate == NULL)
        return FALSE;
    AfxHookWindowCreate(this);
    return AfxEndWindowCreate(
        ::CreateDialogIndirectParamA(AfxGetResourceHandle(), lpDialogTemplate, hWndParent, DialogProc, 0));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    // Everything else reaches the object through its window procedure; only
    // WM_INITDIALOG needs a dialog procedure, whose result sets the focus.
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL || !pWnd->IsKindOf(RUNTIME_CLASS(CDialog)))
        return TRUE;
    try {
        return static_cast<CDialog*>(pWnd)->OnInitDialog();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    return TRUE;
}

HWND CDialog::PreModal()
{
    HWND hWnd = SafeHwnd(m_pParentWnd);
    if (hWnd == NULL) {
        CWinThread* pThread = AfxGetThread();
        if (pThread != NULL)
            hWnd = SafeHwnd(pThread->m_pActiveWnd != NULL ? pThread->m_pActiveWnd : pThread->m_pMainWnd);
        if (hWnd == NULL)
            hWnd = SafeHwnd(AfxGetMainWnd());
    }
    while (hWnd != NULL && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    // A dialog already running over that window owns the new one.
    if (hWnd != NULL)
        hWnd = ::GetLastActivePopup(hWnd);
    return hWnd;
}

void CDialog::PostModal()
{
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATEA lpTemplate = m_lpDialogTemplate;
    if (lpTemplate == NULL && m_lpszTemplateName != NULL)
        lpTemplate = LoadTemplate(m_lpszTemplateName);
    if (lpTemplate == NULL || m_hWnd != NULL)
        return -1;

    HWND hWndOwner = PreModal();
    BOOL bEnableOwner = FALSE;
    if (hWndOwner != NULL && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = TRUE;
    }

    // Whatever ends the modal state, an exception that gets out included, the
    // owner is enabled again and the dialog destroyed: else the program is
    // left with a disabled main window and a dialog that cannot run again.
    class CModalTeardown
    {
    public:
        CModalTeardown(CDialog* pDlg, HWND hWndOwner, BOOL bEnableOwner)
            : m_pDlg(pDlg), m_hWndOwner(hWndOwner), m_bEnableOwner(bEnableOwner) {}
        ~CModalTeardown() { m_pDlg->EndModalState(m_hWndOwner, m_bEnableOwner); }

    private:
        CDialog* m_pDlg;
        HWND m_hWndOwner;
        BOOL m_bEnableOwner;
    };

    INT_PTR nResult = -1;
    {
        CModalTeardown teardown(this, hWndOwner, bEnableOwner);
        m_nModalResult = -1;
        m_bContinueModal = TRUE;
        m_bInModalLoop = TRUE;
        if (CreateDlgIndirect(lpTemplate, hWndOwner) && m_bContinueModal && m_hWnd != NULL)
            RunModalLoop();
        nResult = m_nModalResult;
    }
    // The teardown may have deleted the dialog (PostNcDestroy): nothing of it
    // is touched here.
    return nResult;
}

void CDialog::EndModalState(HWND hWndOwner, BOOL bEnableOwner)
{
    // Hide first, so that activation does not jump to another program
    // between re-enabling the owner and destroying the dialog.
    if (m_hWnd != NULL)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    m_bInModalLoop = FALSE;
    m_bContinueModal = FALSE;

    // Teardown order: owner enabled and active again, then the dialog destroyed.
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner != NULL && m_hWnd != NULL && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    try {
        PostModal();
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    // PostNcDestroy may delete a dialog: nothing of it is touched afterwards.
    if (m_hWnd != NULL)
        DestroyWindow();
}

int CDialog::RunModalLoop()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    BOOL bShowIdle = !(GetStyle() & WS_VISIBLE);
    BOOL bEnterIdle = !(GetStyle() & DS_NOIDLEMSG);
    BOOL bAsked = FALSE;
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            // A dialog that stayed hidden through OnInitDialog (it fades in,
            // say) becomes visible once everything queued was handled.
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!bAsked) {
                bAsked = TRUE;
                CModalAnswerer* pAnswerer = AfxGetModalAnswerer();
                if (pAnswerer != NULL) {
                    INT_PTR nAnswer = -1;
                    try {
                        nAnswer = pAnswerer->OnDialog(this);
                    } catch (CException* e) {
                        e->Delete();
                    } catch (...) {
                    }
                    if (nAnswer != -1 && ContinueModal())
                        EndDialog(static_cast<int>(nAnswer));
                }
            }
            if (!ContinueModal() || m_hWnd == NULL)
                return m_nModalResult;
            if (bEnterIdle && hWndOwner != NULL && lIdleCount == 0)
                ::SendMessageA(hWndOwner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            // The dialog's own idle work: it answers non-zero while it wants
            // another call with a higher count.
            if (!::SendMessageA(m_hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++))
                bIdle = FALSE;
            if (!ContinueModal() || m_hWnd == NULL)
                return m_nModalResult;
        }
        do {
            if (!ContinueModal() || m_hWnd == NULL)
                return m_nModalResult;
            BOOL bRet = ::GetMessageA(&msg, NULL, 0, 0);
            if (bRet == 0 || bRet == -1) {
                // The program is ending: leave the loop and let the outer loop see WM_QUIT.
                if (bRet == 0)
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                m_nModalResult = -1;
                m_bContinueModal = FALSE;
                return m_nModalResult;
            }
            // Pre-translation contains its own exceptions (the dialog's
            // PreTranslateMessage included); dispatch goes through AfxWndProc.
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (!ContinueModal() || m_hWnd == NULL)
                return m_nModalResult;
            if (msg.message != WM_PAINT && msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE &&
                msg.message != 0x0118) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    }
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bInModalLoop) {
        if (m_bContinueModal) {
            m_bContinueModal = FALSE;
            // Wake the loop should it be waiting in GetMessage.
            if (m_hWnd != NULL)
                ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
        }
    } else if (m_hWnd != NULL) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    if (m_hWnd == NULL)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    if (lParam != 0 && nCode != BN_CLICKED)
        return FALSE;
    if (nID == IDOK) {
        OnOK();
        return TRUE;
    }
    if (nID == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard and mouse input get the dialog keys (Tab, Enter, Esc, arrows
    // between radio buttons) here, because the loop does not go through
    // the system's dialog manager.
    BOOL bKey = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    BOOL bMouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if ((!bKey && !bMouse) || m_hWnd == NULL)
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT)
{
    // Owned by what the user is looking at in this program: the dialog
    // running over the main window, or the main window itself.
    HWND hWndOwner = NULL;
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL)
        hWndOwner = CWnd::SafeHwnd(pThread->m_pActiveWnd != NULL ? pThread->m_pActiveWnd : pThread->m_pMainWnd);
    if (hWndOwner == NULL)
        hWndOwner = CWnd::SafeHwnd(AfxGetMainWnd());
    if (hWndOwner != NULL)
        hWndOwner = ::GetLastActivePopup(hWndOwner);

    LPCSTR lpszCaption = AfxGetAppName();
    CModalAnswerer* pAnswerer = AfxGetModalAnswerer();
    int nResult = 0;
    if (pAnswerer != NULL && pAnswerer->OnMessageBox(hWndOwner, lpszText, lpszCaption, nType, &nResult))
        return nResult;
    return ::MessageBoxA(hWndOwner, lpszText, lpszCaption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    char szText[1024];
    if (::LoadStringA(AfxGetResourceHandle(), nIDPrompt, szText, sizeof(szText)) <= 0)
        szText[0] = '\0';
    return AfxMessageBox(szText, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}
