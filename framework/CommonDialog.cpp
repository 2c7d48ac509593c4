#include "framework/CommonDialog.h"
#include "framework/ModalAnswerer.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace {
// The dialog of this thread whose window the hook is to bind.
thread_local CCommonDialog* t_pPendingDialog = NULL;

UINT AnswerMessage()
{
    static UINT s_nMsg = ::RegisterWindowMessageA("TvnxCommonDialogAnswer");
    return s_nMsg;
}
} // namespace

CCommonDialog::CCommonDialog(CWnd* pParentWnd) : m_bAnswered(FALSE), m_nAnswer(-1)
{
    m_pParentWnd = pParentWnd;
}

UINT_PTR CALLBACK CCommonDialog::HookProc(HWND hWnd, UINT, WPARAM, LPARAM)
{
    CCommonDialog* pDialog = t_pPendingDialog;
    if (pDialog != NULL && pDialog->m_hWnd == NULL)
        pDialog->AttachFromHook(pDialog->DialogWindowFromHook(hWnd));
    // Zero: the system's dialog procedure handles every message as usual.
    return 0;
}

HWND CCommonDialog::PreModal()
{
    m_bAnswered = FALSE;
    m_nAnswer = -1;
    t_pPendingDialog = this;
    return CDialog::PreModal();
}

void CCommonDialog::PostModal()
{
    if (t_pPendingDialog == this)
        t_pPendingDialog = NULL;
    // Normally WM_NCDESTROY unbound the window already.
    if (m_hWnd != NULL)
        UnsubclassWindow();
}

BOOL CCommonDialog::AttachFromHook(HWND hWndDialog)
{
    if (t_pPendingDialog == this)
        t_pPendingDialog = NULL;
    if (m_hWnd != NULL || !SubclassWindow(hWndDialog))
        return FALSE;
    // Asked from the dialog's own loop, once the dialog finished starting.
    if (AfxGetModalAnswerer() != NULL)
        ::PostMessageA(m_hWnd, AnswerMessage(), 0, 0);
    return TRUE;
}

BOOL CCommonDialog::WasAnswered(INT_PTR* pnAnswer) const
{
    if (m_bAnswered && pnAnswer != NULL)
        *pnAnswer = m_nAnswer;
    return m_bAnswered;
}

INT_PTR CCommonDialog::FinishModal(BOOL bOk)
{
    if (m_bAnswered) {
        RestoreAnswer();
        return m_nAnswer;
    }
    return bOk ? IDOK : IDCANCEL;
}

LRESULT CCommonDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == AnswerMessage() && message != 0) {
        CModalAnswerer* pAnswerer = AfxGetModalAnswerer();
        INT_PTR nAnswer = pAnswerer != NULL ? pAnswerer->OnCommonDialog(this) : -1;
        if (nAnswer != -1 && m_hWnd != NULL) {
            m_bAnswered = TRUE;
            m_nAnswer = nAnswer;
            SaveAnswer();
            // The real dialog ends by Cancel, which changes nothing the
            // answerer filled in; DoModal then reports the answer.
            ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDCANCEL)));
        }
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CCommonDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return CWnd::OnCommand(wParam, lParam);
}

// --- CColorDialog ------------------------------------------------------------

COLORREF* PASCAL CColorDialog::GetSavedCustomColors()
{
    static COLORREF s_colors[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return s_colors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_clrAnswer(0)
{
    ZeroMemory(&m_cc, sizeof(m_cc));
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags | CC_ENABLEHOOK;
    m_cc.lpfnHook = HookProc;
    m_cc.rgbResult = clrInit;
    if (clrInit != 0)
        m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal()
{
    m_cc.Flags |= CC_ENABLEHOOK;
    m_cc.lpfnHook = HookProc;
    m_cc.hwndOwner = PreModal();
    BOOL bOk = ::ChooseColorA(&m_cc);
    PostModal();
    return FinishModal(bOk);
}

// --- CFileDialog --------------------------------------------------------------

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog), m_pszFilter(NULL), m_strDefExt(lpszDefExt)
{
    ZeroMemory(&m_ofn, sizeof(m_ofn));
    m_szFileName[0] = '\0';
    m_szFileTitle[0] = '\0';
    m_szAnswer[0] = '\0';
    // Systems before Windows 2000 refuse the record with the places-bar fields.
    OSVERSIONINFOA vi;
    vi.dwOSVersionInfoSize = sizeof(vi);
    BOOL bNew = ::GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion >= 5;
    m_ofn.lStructSize = bNew ? sizeof(m_ofn) : OPENFILENAME_SIZE_VERSION_400A;
    if (lpszFileName != NULL)
        lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
    m_ofn.lpstrDefExt = lpszDefExt != NULL ? static_cast<LPCSTR>(m_strDefExt) : NULL;
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    m_ofn.lpfnHook = HookProc;
    if (lpszFilter != NULL) {
        // The record wants the pairs separated and ended by zero characters.
        size_t n = strlen(lpszFilter);
        m_pszFilter = new char[n + 2];
        memcpy(m_pszFilter, lpszFilter, n + 1);
        m_pszFilter[n + 1] = '\0';
        for (size_t i = 0; i < n; ++i)
            if (m_pszFilter[i] == '|')
                m_pszFilter[i] = '\0';
        m_ofn.lpstrFilter = m_pszFilter;
    }
}

CFileDialog::~CFileDialog()
{
    delete[] m_pszFilter;
}

HWND CFileDialog::DialogWindowFromHook(HWND hWndHook)
{
    if (m_ofn.Flags & OFN_EXPLORER) {
        HWND hParent = ::GetParent(hWndHook);
        if (hParent != NULL)
            return hParent;
    }
    return hWndHook;
}

void CFileDialog::SaveAnswer()
{
    if (m_ofn.lpstrFile != NULL && m_ofn.nMaxFile > 0)
        lstrcpynA(m_szAnswer, m_ofn.lpstrFile, MAX_PATH);
}

void CFileDialog::RestoreAnswer()
{
    if (m_ofn.lpstrFile == NULL || m_ofn.nMaxFile == 0)
        return;
    UINT nMax = m_ofn.nMaxFile < MAX_PATH ? m_ofn.nMaxFile : MAX_PATH;
    lstrcpynA(m_ofn.lpstrFile, m_szAnswer, static_cast<int>(nMax));
    if (m_ofn.lpstrFileTitle != NULL && m_ofn.nMaxFileTitle > 0) {
        CString strTitle = GetFileName();
        lstrcpynA(m_ofn.lpstrFileTitle, strTitle, static_cast<int>(m_ofn.nMaxFileTitle));
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.Flags |= OFN_ENABLEHOOK;
    m_ofn.lpfnHook = HookProc;
    m_ofn.hwndOwner = PreModal();
    BOOL bOk = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    PostModal();
    return FinishModal(bOk);
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    CString strPath = GetPathName();
    int nSlash = strPath.GetLength() - 1;
    while (nSlash >= 0 && strPath[nSlash] != '\\' && strPath[nSlash] != '/')
        --nSlash;
    return strPath.Mid(nSlash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? CString() : strName.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? strName : strName.Left(nDot);
}
