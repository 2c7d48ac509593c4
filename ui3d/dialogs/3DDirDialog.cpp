#include "ui3d/dialogs/3DDirDialog.h"

#include "services/Messages.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/dialogs/ControlInfo.h"
#include "ui3d/system/SysUtils.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(C3DDirDialog, CCommonDialog)

namespace {

CRegisteredMessage g_msgModifyDirDlg;

// Pixels between a row moved out of the added row's way and that row.
const LONG kRowGap = 4;

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

BOOL Overlap(LONG top1, LONG bottom1, LONG top2, LONG bottom2) { return top1 < bottom2 && top2 < bottom1; }

// The list's entries: separated by '|', CR or LF; empty ones are skipped.
std::vector<CString> SplitChoices(const CString& strChoices)
{
    std::vector<CString> entries;
    CString strEntry;
    for (int i = 0; i <= strChoices.GetLength(); i++) {
        const char c = i < strChoices.GetLength() ? strChoices[i] : '\0';
        if (c == '|' || c == '\r' || c == '\n' || c == '\0') {
            if (!strEntry.IsEmpty())
                entries.push_back(strEntry);
            strEntry.Empty();
        } else {
            strEntry += c;
        }
    }
    return entries;
}

}  // namespace

C3DDirDialog::C3DDirDialog(LPCSTR pszTitle, UINT nFlags, CWnd* pParent, LPCSTR pszLabel, LPCSTR pszChoices)
    : CCommonDialog(pParent),
      m_strTitle(pszTitle),
      m_nFlags(nFlags),
      m_nRootCsidl(CSIDL_DRIVES),
      m_strLabel(pszLabel),
      m_strChoices(pszChoices),
      m_hLabel(NULL),
      m_hList(NULL),
      m_nLabelBottom(0),
      m_nListBottom(0),
      m_nListRight(0),
      m_cyListDropped(0),
      m_nChoice(0),
      m_hTree(NULL),
      m_nTreeGap(0),
      m_bModified(FALSE)
{
    m_szDisplayName[0] = m_szPath[0] = m_szAnswer[0] = '\0';
    if (g_msgModifyDirDlg == 0)
        g_msgModifyDirDlg.Register(TVNX_MSG_MODIFYDIRDLG);
    RegisterLiveDialog(this);
}

C3DDirDialog::~C3DDirDialog()
{
    UnregisterLiveDialog(this);
}

INT_PTR C3DDirDialog::DoModal()
{
    // A modal loop inside a running drag would hang the drag.
    if (g_nActiveDrags != 0 || m_hWnd != NULL)
        return IDCANCEL;
    m_bModified = FALSE;
    m_szPath[0] = '\0';
    LPITEMIDLIST pidlRoot = NULL;
    if (m_nRootCsidl != 0 && FAILED(::SHGetSpecialFolderLocation(NULL, m_nRootCsidl, &pidlRoot)))
        pidlRoot = NULL;

    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.hwndOwner = PreModal();
    bi.pidlRoot = pidlRoot;
    bi.pszDisplayName = m_szDisplayName;
    bi.lpszTitle = m_strTitle;
    bi.ulFlags = m_nFlags;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(this);
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    const BOOL bOk = pidl != NULL && ::SHGetPathFromIDListA(pidl, m_szPath) && m_szPath[0] != '\0';
    if (!bOk)
        m_szPath[0] = '\0';
    ::CoTaskMemFree(pidl);
    ::CoTaskMemFree(pidlRoot);
    PostModal();
    return FinishModal(bOk);
}

CString C3DDirDialog::GetPath() const
{
    // The last character, not the last byte: a double-byte character may
    // end in the byte of '\\' (a folder named "\x83\x5C" in code page 932).
    CString strPath(m_szPath);
    if (strPath.IsEmpty())
        return strPath;
    const char* pszEnd = strPath.GetString() + strPath.GetLength();
    const char* pLast = ::CharPrevA(strPath, pszEnd);
    if (pszEnd - pLast != 1 || (*pLast != '\\' && *pLast != '/'))
        strPath += '\\';
    return strPath;
}

int CALLBACK C3DDirDialog::BrowseCallback(HWND hWnd, UINT message, LPARAM lParam, LPARAM lpData)
{
    C3DDirDialog* pDialog = reinterpret_cast<C3DDirDialog*>(lpData);
    if (pDialog == NULL)
        return 0;
    if (pDialog->m_hWnd == NULL && pDialog->AttachFromHook(hWnd) && g_msgModifyDirDlg != 0)
        ::PostMessageA(hWnd, g_msgModifyDirDlg, 0, 0);
    if (message == BFFM_SELCHANGED) {
        // Only a folder of the file system can be the answer.
        char szPath[MAX_PATH];
        const BOOL bFileSystem =
            lParam != 0 && ::SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), szPath);
        ::SendMessageA(hWnd, BFFM_ENABLEOK, 0, bFileSystem);
    }
    return 0;
}

void C3DDirDialog::ModifyLayout()
{
    if (m_bModified || m_strChoices.IsEmpty() || m_hWnd == NULL)
        return;
    m_bModified = TRUE;

    // The shell's layout differs between systems (and under Wine): every
    // control is found by its kind and place, and without the folder tree
    // the window stays as it is.
    std::vector<CControlInfo> children;
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT))
        children.push_back(GetControlInfo(h));
    const CControlInfo* pTree = NULL;
    for (const char* pszClass : {"SHBrowseForFolder", "SysTreeView32"}) {
        for (const CControlInfo& info : children) {
            if (pTree == NULL && info.strClass.Find(pszClass) >= 0)
                pTree = &info;
        }
    }
    if (pTree == NULL)
        return;
    HFONT hFont = NULL;
    const CControlInfo* pEdit = NULL;
    const CControlInfo* pButton = NULL;
    for (const CControlInfo& info : children) {
        const BOOL bVisible = (info.dwStyle & WS_VISIBLE) != 0;
        if (hFont == NULL && bVisible && info.nKind == CTRLKIND_STATIC && info.hFont != NULL)
            hFont = info.hFont;
        if (info.nKind == CTRLKIND_PUSHBUTTON)
            pButton = &info;
        if (bVisible && info.nKind == CTRLKIND_EDIT && info.rect.top >= pTree->rect.bottom &&
            (pEdit == NULL || info.rect.top < pEdit->rect.top))
            pEdit = &info;
    }
    const CControlInfo* pStatic = NULL;
    if (pEdit != NULL) {
        for (const CControlInfo& info : children) {
            if ((info.dwStyle & WS_VISIBLE) && info.nKind == CTRLKIND_STATIC && info.rect.top >= pTree->rect.bottom &&
                info.rect.right <= pEdit->rect.left &&
                Overlap(info.rect.top, info.rect.bottom, pEdit->rect.top, pEdit->rect.bottom) &&
                (pStatic == NULL || info.rect.top < pStatic->rect.top))
                pStatic = &info;
        }
    }
    const int cyButton = pButton != NULL ? Height(pButton->rect) : 23;
    const BOOL bRow = pStatic != NULL && pEdit != NULL;
    const int nSpace = bRow ? std::max(pStatic->rect.bottom, pEdit->rect.bottom) - pTree->rect.bottom
                            : cyButton * 3 / 2;
    const RECT rcTree = pTree->rect;
    const int cyTreeBefore = Height(rcTree);
    ::SetWindowPos(pTree->hWnd, NULL, 0, 0, Width(rcTree), std::max(0, cyTreeBefore - nSpace),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_hTree = pTree->hWnd;
    RECT rcLabel, rcList;
    if (bRow) {
        // The shell's own row (the folder name) moves up; the new row takes its place.
        rcLabel = pStatic->rect;
        rcList = pEdit->rect;
        for (const CControlInfo* p : {pStatic, pEdit})
            ::SetWindowPos(p->hWnd, NULL, p->rect.left, p->rect.top - nSpace, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_nTreeGap = std::max<LONG>(0, std::min(pStatic->rect.top, pEdit->rect.top) - rcTree.bottom);
    } else {
        SIZE sizeText = {0, 0};
        if (!m_strLabel.IsEmpty()) {
            HDC hDC = ::GetDC(m_hWnd);
            HGDIOBJ hOld = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
            ::GetTextExtentPoint32A(hDC, m_strLabel, m_strLabel.GetLength(), &sizeText);
            if (hOld != NULL)
                ::SelectObject(hDC, hOld);
            ::ReleaseDC(m_hWnd, hDC);
            sizeText.cx = std::min<LONG>(sizeText.cx + 10, Width(rcTree) / 2);
        }
        const int cyLabel = sizeText.cy + 2;
        rcList.bottom = rcTree.bottom;
        rcList.top = rcTree.bottom - cyButton;
        rcLabel.left = rcTree.left;
        rcLabel.right = rcTree.left + sizeText.cx;
        rcLabel.top = rcList.top + (cyButton - cyLabel) / 2;
        rcLabel.bottom = rcLabel.top + cyLabel;
        rcList.left = rcLabel.right;
        rcList.right = rcTree.right;
        m_nTreeGap = std::max(0, nSpace - cyButton);
    }

    RECT rcClient;
    GetClientRect(&rcClient);
    HINSTANCE hInstance = ::GetModuleHandleA(NULL);
    if (!m_strLabel.IsEmpty()) {
        m_hLabel = ::CreateWindowExA(0, "Static", m_strLabel, WS_CHILD | WS_VISIBLE, rcLabel.left, rcLabel.top,
                                     Width(rcLabel), Height(rcLabel), m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(GetFreeChildId(m_hWnd, 1000))),
                                     hInstance, NULL);
        if (m_hLabel != NULL)
            ::SendMessageA(m_hLabel, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        m_nLabelBottom = rcClient.bottom - rcLabel.bottom;
    }
    m_hList = ::CreateWindowExA(0, "ComboBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                                rcList.left, rcList.top, Width(rcList), Height(rcList), m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(GetFreeChildId(m_hWnd, 1001))),
                                hInstance, NULL);
    if (m_hList != NULL) {
        ::SendMessageA(m_hList, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        for (const CString& strEntry : SplitChoices(m_strChoices))
            ::SendMessageA(m_hList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strEntry)));
        ::SendMessageA(m_hList, CB_SETCURSEL, 0, 0);
        // The dropped list shows every entry. A combo box takes the height
        // it is given as its dropped height.
        const int cyRow = static_cast<int>(::SendMessageA(m_hList, CB_GETITEMHEIGHT, 0, 0));
        const int nEntries = static_cast<int>(::SendMessageA(m_hList, CB_GETCOUNT, 0, 0));
        RECT rcCombo;
        ::GetWindowRect(m_hList, &rcCombo);
        m_cyListDropped = Height(rcCombo) + std::max(nEntries, 1) * cyRow + 2;
        ::SetWindowPos(m_hList, NULL, 0, 0, Width(rcList), m_cyListDropped, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_nListBottom = rcClient.bottom - (rcList.top + Height(rcCombo));
        m_nListRight = rcClient.right - rcList.right;
    }

    // Resizing makes the browser lay itself out again around the shorter tree.
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    int cy = Height(rcWindow);
    if (cyTreeBefore >= 100)
        cy += (cy % 2 != 0) ? 1 : -1;
    else
        cy += 100 - cyTreeBefore;
    ::SetWindowPos(m_hWnd, NULL, 0, 0, Width(rcWindow), cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void C3DDirDialog::KeepAddedControlsInPlace()
{
    RECT rcClient;
    GetClientRect(&rcClient);
    RECT rc;
    if (m_hLabel != NULL && ::GetWindowRect(m_hLabel, &rc)) {
        ScreenToClient(&rc);
        ::SetWindowPos(m_hLabel, NULL, rc.left, rcClient.bottom - m_nLabelBottom - Height(rc), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT rcRow = {0, 0, 0, 0};
    if (m_hList != NULL && ::GetWindowRect(m_hList, &rc)) {
        ScreenToClient(&rc);
        // A combo box takes the height it is given as its dropped height
        // (the dropped rectangle it reports need not hold the closed part):
        // the one with every entry, always.
        const int cx = std::max<int>(0, rcClient.right - m_nListRight - rc.left);
        ::SetWindowPos(m_hList, NULL, rc.left, rcClient.bottom - m_nListBottom - Height(rc), cx, m_cyListDropped,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::GetWindowRect(m_hList, &rcRow);
        ScreenToClient(&rcRow);
    }
    if (m_hLabel != NULL && ::GetWindowRect(m_hLabel, &rc)) {
        ScreenToClient(&rc);
        ::UnionRect(&rcRow, &rcRow, &rc);
    }
    if (::IsRectEmpty(&rcRow))
        return;

    // Controls of the browser over the added row (its folder row, put back
    // by its own layout) move up above it, together.
    std::vector<HWND> over;
    LONG nShift = 0;
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        RECT rcMeet;
        // The style's flag: the browser may be laid out while still hidden.
        const BOOL bShown = (::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0;
        if (h == m_hList || h == m_hLabel || h == m_hTree || !bShown || !::GetWindowRect(h, &rc))
            continue;
        ScreenToClient(&rc);
        if (::IntersectRect(&rcMeet, &rc, &rcRow)) {
            over.push_back(h);
            nShift = std::max(nShift, rc.bottom - rcRow.top + kRowGap);
        }
    }
    LONG nTop = rcRow.top;
    for (HWND h : over) {
        ::GetWindowRect(h, &rc);
        ScreenToClient(&rc);
        ::SetWindowPos(h, NULL, rc.left, rc.top - nShift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        nTop = std::min(nTop, rc.top - nShift);
    }
    // The tree ends above the rows.
    if (m_hTree != NULL && ::GetWindowRect(m_hTree, &rc)) {
        ScreenToClient(&rc);
        const LONG nBottom = nTop - m_nTreeGap;
        if (rc.bottom > nBottom && nBottom > rc.top)
            ::SetWindowPos(m_hTree, NULL, 0, 0, Width(rc), nBottom - rc.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void C3DDirDialog::DestroyAddedControls()
{
    if (m_hLabel != NULL)
        ::DestroyWindow(m_hLabel);
    if (m_hList != NULL)
        ::DestroyWindow(m_hList);
    m_hLabel = m_hList = NULL;
    m_hTree = NULL;
    m_strLabel.Empty();
    m_strChoices.Empty();
}

LRESULT C3DDirDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYDLGSTATE:
        return AnswerQueryDlgState(wParam, lParam, m_hWnd != NULL ? 1 : 0, m_hWnd);
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE: {
        // After the browser's own layout, which runs on WM_SIZE.
        const LRESULT lResult = CCommonDialog::WindowProc(message, wParam, lParam);
        KeepAddedControlsInPlace();
        return lResult;
    }
    case WM_DESTROY:
        DestroyAddedControls();
        break;
    case WM_COMMAND:
        if (m_hList != NULL && reinterpret_cast<HWND>(lParam) == m_hList && HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT nSel = ::SendMessageA(m_hList, CB_GETCURSEL, 0, 0);
            if (nSel != CB_ERR)
                m_nChoice = static_cast<int>(nSel);
        }
        break;
    default:
        if (g_msgModifyDirDlg.Is(message)) {
            ModifyLayout();
            return 0;
        }
        break;
    }
    return CCommonDialog::WindowProc(message, wParam, lParam);
}
