#include "ui3d/dialogs/3DFileDialog.h"

#include "services/Messages.h"
#include "ui3d/dialogs/LiveDialogs.h"

#include <cderr.h>

#include <cstring>

IMPLEMENT_DYNAMIC(C3DFileDialog, CFileDialog)

namespace {

const char kOfnProperty[] = "OFN";

// The folder and a name with one '\' between them.
CString JoinPath(const CString& strFolder, const CString& strName)
{
    CString strPath(strFolder);
    const int n = strPath.GetLength();
    if (n == 0 || (strPath[n - 1] != '\\' && strPath[n - 1] != '/'))
        strPath += '\\';
    return strPath + strName;
}

int LastSlash(const CString& str)
{
    int i = str.GetLength() - 1;
    while (i >= 0 && str[i] != '\\' && str[i] != '/')
        --i;
    return i;
}

CString ExtensionOf(const CString& strName)
{
    const int nDot = strName.ReverseFind('.');
    return nDot < 0 ? CString() : strName.Mid(nDot + 1);
}

}  // namespace

C3DFileDialog::C3DFileDialog(LPCSTR pszFilter, BOOL bOpen, LPCSTR pszDefExt, LPCSTR pszFileName, DWORD dwFlags,
                             CWnd* pParent)
    : CFileDialog(bOpen, pszDefExt, pszFileName, dwFlags, pszFilter, pParent), m_nRunState(0)
{
    RegisterLiveDialog(this);
}

C3DFileDialog::~C3DFileDialog()
{
    UnregisterLiveDialog(this);
}

void C3DFileDialog::SetTitle(LPCSTR pszTitle)
{
    m_strTitle = pszTitle;
    m_ofn.lpstrTitle = pszTitle != NULL ? static_cast<LPCSTR>(m_strTitle) : NULL;
}

void C3DFileDialog::SetInitialFolder(LPCSTR pszFolder)
{
    m_strInitialFolder = pszFolder;
    m_ofn.lpstrInitialDir = pszFolder != NULL ? static_cast<LPCSTR>(m_strInitialFolder) : NULL;
}

void C3DFileDialog::SetFileBuffer(char* pBuffer, DWORD nChars)
{
    if (pBuffer == NULL || nChars == 0)
        return;
    m_ofn.lpstrFile = pBuffer;
    m_ofn.nMaxFile = nChars;
}

INT_PTR C3DFileDialog::DoModal()
{
    m_nRunState = 1;
    // A modal loop inside a running drag would hang the drag.
    if (g_nActiveDrags != 0) {
        m_nRunState = 0;
        return IDCANCEL;
    }
    m_strCapturedName.Empty();
    m_strCapturedFolder.Empty();
    m_strFolder.Empty();
    m_Names.RemoveAll();
    // The system reads the initial name up to its end and writes a list of
    // names ended by two zero characters: nothing old may follow the name.
    if (m_ofn.lpstrFile != NULL && m_ofn.nMaxFile > 0) {
        m_ofn.lpstrFile[m_ofn.nMaxFile - 1] = '\0';
        const size_t nUsed = strlen(m_ofn.lpstrFile);
        memset(m_ofn.lpstrFile + nUsed, 0, m_ofn.nMaxFile - nUsed);
    }

    HWND hWndFocus = ::GetFocus();
    m_ofn.Flags |= OFN_ENABLEHOOK;
    m_ofn.lpfnHook = FileHookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    m_ofn.hwndOwner = PreModal();
    const BOOL bEnableOwner = m_ofn.hwndOwner != NULL && ::IsWindowEnabled(m_ofn.hwndOwner);
    if (bEnableOwner)
        ::EnableWindow(m_ofn.hwndOwner, FALSE);
    BOOL bOk = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    // Too many names for the buffer: the text kept at the last selection
    // change still names them all.
    const BOOL bFromCapture = !bOk && m_bOpenFileDialog && ::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL &&
                              !m_strCapturedName.IsEmpty();
    if (bFromCapture)
        bOk = TRUE;
    if (bEnableOwner)
        ::EnableWindow(m_ofn.hwndOwner, TRUE);
    if (hWndFocus != NULL && ::IsWindow(hWndFocus))
        ::SetFocus(hWndFocus);
    PostModal();

    const INT_PTR nResult = FinishModal(bOk);
    if (nResult != IDOK) {
        m_strCapturedName.Empty();
        m_strCapturedFolder.Empty();
    } else if (bFromCapture && !WasAnswered(NULL)) {
        NamesFromCapture();
    } else {
        NamesFromBuffer();
    }
    m_nRunState = 0;
    return nResult;
}

void C3DFileDialog::NamesFromBuffer()
{
    const char* p = m_ofn.lpstrFile;
    if (p == NULL || m_ofn.nMaxFile == 0 || p[0] == '\0')
        return;
    const char* pEnd = p + m_ofn.nMaxFile;
    const size_t nFirst = strnlen(p, m_ofn.nMaxFile);
    const char* pNext = p + nFirst + 1;
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) && pNext < pEnd && *pNext != '\0') {
        // The folder, then each name; the list ends with an empty name.
        m_strFolder = CString(p, static_cast<int>(nFirst));
        while (pNext < pEnd && *pNext != '\0') {
            const size_t n = strnlen(pNext, pEnd - pNext);
            m_Names.Add(CString(pNext, static_cast<int>(n)));
            pNext += n + 1;
        }
        return;
    }
    const CString strPath(p, static_cast<int>(nFirst));
    const int nSlash = LastSlash(strPath);
    m_strFolder = nSlash >= 0 ? strPath.Left(nSlash) : CString();
    m_Names.Add(strPath.Mid(nSlash + 1));
}

void C3DFileDialog::NamesFromCapture()
{
    m_strFolder = m_strCapturedFolder;
    const CString& str = m_strCapturedName;
    if (str.IsEmpty() || str[0] != '"') {
        m_Names.Add(str);
        return;
    }
    for (int i = 0; i < str.GetLength();) {
        const int nOpen = str.Find('"', i);
        if (nOpen < 0)
            break;
        int nClose = str.Find('"', nOpen + 1);
        if (nClose < 0)
            nClose = str.GetLength();
        if (nClose > nOpen + 1)
            m_Names.Add(str.Mid(nOpen + 1, nClose - nOpen - 1));
        i = nClose + 1;
    }
}

CString C3DFileDialog::SendForText(UINT nMessage) const
{
    if (m_hWnd == NULL)
        return CString();
    // Asked without a buffer, the dialog answers the size it needs.
    const LRESULT nSize = ::SendMessageA(m_hWnd, nMessage, 0, 0);
    if (nSize <= 0)
        return CString();
    std::vector<char> buffer(static_cast<size_t>(nSize) + 1, '\0');
    ::SendMessageA(m_hWnd, nMessage, static_cast<WPARAM>(nSize), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return CString(buffer.data());
}

void C3DFileDialog::CaptureSelection(HWND hWndDialog)
{
    if (m_hWnd != hWndDialog)
        return;
    m_strCapturedName = SendForText(CDM_GETSPEC);
    m_strCapturedFolder = SendForText(CDM_GETFOLDERPATH);
}

UINT_PTR CALLBACK C3DFileDialog::FileHookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The framework's hook binds the dialog window to the object first.
    CCommonDialog::HookProc(hWnd, message, wParam, lParam);
    // The Explorer dialog hooks a child of its frame.
    HWND hWndDialog = ::GetParent(hWnd);
    switch (message) {
    case WM_INITDIALOG:
        ::SetPropA(hWndDialog, kOfnProperty, reinterpret_cast<HANDLE>(lParam));
        break;
    case WM_NOTIFY: {
        const OFNOTIFYA* pNotify = reinterpret_cast<const OFNOTIFYA*>(lParam);
        if (pNotify == NULL || pNotify->hdr.code != CDN_SELCHANGE)
            break;
        const OPENFILENAMEA* pOfn = pNotify->lpOFN;
        if (pOfn == NULL)
            pOfn = static_cast<const OPENFILENAMEA*>(::GetPropA(hWndDialog, kOfnProperty));
        C3DFileDialog* pDialog = pOfn != NULL ? reinterpret_cast<C3DFileDialog*>(pOfn->lCustData) : NULL;
        if (pDialog != NULL)
            pDialog->CaptureSelection(hWndDialog);
        break;
    }
    case WM_DESTROY:
        ::RemovePropA(hWndDialog, kOfnProperty);
        break;
    }
    return 0;
}

void C3DFileDialog::SaveAnswer()
{
    // The whole list, up to its two zero characters, and the filter chosen.
    m_nAnswerFilter = m_ofn.nFilterIndex;
    m_answer.clear();
    if (m_ofn.lpstrFile == NULL)
        return;
    m_answer.assign(m_ofn.lpstrFile, m_ofn.lpstrFile + m_ofn.nMaxFile);
}

void C3DFileDialog::RestoreAnswer()
{
    m_ofn.nFilterIndex = m_nAnswerFilter;
    if (m_ofn.lpstrFile == NULL || m_answer.size() != m_ofn.nMaxFile)
        return;
    memcpy(m_ofn.lpstrFile, m_answer.data(), m_answer.size());
    if (m_ofn.lpstrFileTitle != NULL && m_ofn.nMaxFileTitle > 0) {
        const CString strPath(m_ofn.lpstrFile);
        lstrcpynA(m_ofn.lpstrFileTitle, strPath.Mid(LastSlash(strPath) + 1), static_cast<int>(m_ofn.nMaxFileTitle));
    }
}

CString C3DFileDialog::GetPathName(int n) const
{
    if (!m_bOpenFileDialog) {
        if (m_hWnd != NULL)
            return SendForText(CDM_GETFILEPATH);
        return CString(m_ofn.lpstrFile);
    }
    if (n < 0 || n >= m_Names.GetSize())
        return JoinPath(m_strFolder, CString());
    return JoinPath(m_strFolder, m_Names[n]);
}

CString C3DFileDialog::GetFileName() const
{
    if (!m_bOpenFileDialog) {
        if (m_hWnd != NULL)
            return SendForText(CDM_GETSPEC);
        return CString(m_ofn.lpstrFileTitle);
    }
    return m_Names.GetSize() > 0 ? m_Names[0] : CString();
}

CString C3DFileDialog::GetFileExt(int n) const
{
    if (m_bOpenFileDialog)
        return ExtensionOf(n >= 0 && n < m_Names.GetSize() ? m_Names[n] : CString());
    return ExtensionOf(GetFileName());
}

CString C3DFileDialog::GetFileTitle() const
{
    const CString strName = GetFileName();
    const int nDot = strName.ReverseFind('.');
    return nDot < 0 ? strName : strName.Left(nDot);
}

CString C3DFileDialog::GetFolderPath() const
{
    const CString strPath = GetPathName(0);
    const int nSlash = LastSlash(strPath);
    CString strFolder = nSlash >= 0 ? strPath.Left(nSlash + 1) : CString();
    const int n = strFolder.GetLength();
    if (n == 0 || (strFolder[n - 1] != '\\' && strFolder[n - 1] != '/'))
        strFolder += '\\';
    return strFolder;
}

LRESULT C3DFileDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYDLGSTATE)
        return AnswerQueryDlgState(wParam, lParam, m_nRunState, m_hWnd);
    return CFileDialog::WindowProc(message, wParam, lParam);
}
