// The replacement of a skinned dialog's template controls: buttons, edits
// and combo boxes are taken over in place (the window stays, so its id, tab
// order and the dialog manager's handling stay); group boxes, statics,
// colour swatches and links get a new window in the old one's place.
#include "ui3d/dialogs/3DDialog.h"

#include "ui3d/controls/3DButton.h"
#include "ui3d/controls/3DComboBox.h"
#include "ui3d/controls/3DEdit.h"
#include "ui3d/controls/3DGroupBox.h"
#include "ui3d/controls/3DStatic.h"
#include "ui3d/controls/ClrSelButton.h"
#include "ui3d/controls/LinkButton.h"
#include "ui3d/system/ExportedFuncs.h"

#include <commctrl.h>

namespace {

const int kListCount = 8;

// A new window takes the old one's place in the Z order (and so in the tab
// order) before the old one goes.
void PutInPlaceOf(HWND hWndNew, HWND hWndOld)
{
    ::SetWindowPos(hWndNew, hWndOld, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

template <class T> T* Listed(CSequence<CWnd*>& list, T* pCtrl, BOOL bMade)
{
    if (!bMade) {
        delete pCtrl;
        return NULL;
    }
    list.Add(pCtrl);
    return pCtrl;
}

// A static showing a bitmap stays as it is; not counting it keeps a second
// run of the replacement at 0.
BOOL IsBitmapStatic(const CControlInfo& info)
{
    return info.nKind == CTRLKIND_STATIC && ::SendMessageA(info.hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
}

}  // namespace

BOOL C3DDialog::IsSkinnedControl(HWND hWnd) const
{
    const CSequence<CWnd*>* lists[kListCount] = {&m_PopUpEdits, &m_CheckButtons, &m_PushButtons, &m_GroupBoxes,
                                                 &m_ColorButtons, &m_Statics, &m_ComboBoxes, &m_LinkButtons};
    for (int n = 0; n < kListCount; n++) {
        for (int i = 0; i < lists[n]->GetSize(); i++) {
            if ((*lists[n])[i]->m_hWnd == hWnd)
                return TRUE;
        }
    }
    return FALSE;
}

// A progress bar keeps its system drawing but takes the skin's face, and
// the focused text colour for its bar. A visual style ignores both colours
// and draws the system's white trough: the bar is drawn unthemed.
void C3DDialog::ColourStockControl(HWND hWnd)
{
    char szClass[32];
    if (::GetClassNameA(hWnd, szClass, sizeof(szClass)) == 0 || lstrcmpiA(szClass, "msctls_progress32") != 0)
        return;
    if (g_pExportedFuncs != NULL && g_pExportedFuncs->pSetWindowTheme != NULL)
        g_pExportedFuncs->pSetWindowTheme(hWnd, L" ", L" ");
    ::SendMessageA(hWnd, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(m_BodyStyle.clrFace));
    ::SendMessageA(hWnd, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(m_BodyStyle.clrText2));
}

int C3DDialog::ReplaceControls()
{
    CSequence<CControlInfo> found;
    for (HWND hWnd = ::GetTopWindow(m_hWnd); hWnd != NULL; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
        if (IsSkinnedControl(hWnd))
            continue;
        CControlInfo info = GetControlInfo(hWnd);
        ColourStockControl(hWnd);
        if (info.nKind == CTRLKIND_OTHER || IsBitmapStatic(info))
            continue;
        found.Add(info);
    }
    for (int i = found.GetSize() - 1; i >= 0; i--)
        ReplaceControl(found[i]);
    return found.GetSize();
}

void C3DDialog::ReplaceControl(const CControlInfo& info)
{
    CWnd* pNew = NULL;
    switch (info.nKind) {
    case CTRLKIND_PUSHBUTTON:
    case CTRLKIND_RADIO:
    case CTRLKIND_CHECKBOX: {
        // A button that cannot be taken over stays standard; its object is
        // listed all the same and goes with the dialog.
        C3DButton* pButton = new C3DButton(&m_BodyStyle);
        (info.nKind == CTRLKIND_PUSHBUTTON ? m_PushButtons : m_CheckButtons).Add(pButton);
        pButton->Attach(info.nId, this);
        return;
    }
    case CTRLKIND_COMBOBOX: {
        C3DComboBox* pCombo = new C3DComboBox(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT));
        m_ComboBoxes.Add(pCombo);
        pCombo->SubclassDlgItem(info.nId, this);
        return;
    }
    case CTRLKIND_EDIT: {
        CPopUpEdit* pEdit = new CPopUpEdit(m_BodyStyle.clrText, &m_BodyStyle, m_BodyStyle.clrFace);
        m_PopUpEdits.Add(pEdit);
        SIZE editor = {0, 0};
        const SIZE* pEditor = NULL;
        if (info.dwExStyle & WS_EX_TRANSPARENT) {
            // The template's way of asking for a large editor; the style
            // itself would make the edit paint through.
            ::SetWindowLongA(info.hWnd, GWL_EXSTYLE, info.dwExStyle & ~WS_EX_TRANSPARENT);
            RECT rc;
            ::GetClientRect(info.hWnd, &rc);
            editor.cx = rc.right * 3;
            editor.cy = rc.bottom * 2;
            pEditor = &editor;
        }
        pEdit->Attach(pEditor, info.nId, this);
        if (info.dwStyle & ES_MULTILINE) {
            RECT rc;
            ::GetClientRect(info.hWnd, &rc);
            rc.left = 2;
            ::SendMessageA(info.hWnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
        } else {
            ::SendMessageA(info.hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
        }
        return;
    }
    case CTRLKIND_GROUPBOX:
        pNew = CreateGroupBox(info.strText, info.dwStyle, info.dwExStyle, info.rect, this, info.nId);
        break;
    case CTRLKIND_STATIC: {
        HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(info.hWnd, STM_GETICON, 0, 0));
        if (hIcon != NULL) {
            pNew = CreateIconStatic(hIcon, info.dwStyle, info.rect, this, info.nId);
        } else {
            pNew = CreateTextStatic(info.strText, info.dwStyle, info.rect, this, info.nId);
            if (pNew != NULL && info.hFont != NULL)
                pNew->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(info.hFont), 0);
        }
        break;
    }
    case CTRLKIND_COLORBUTTON:
        // The template's tab stop and group mark are kept: a swatch is worked
        // with the keyboard too (Tab to it, Space chooses it).
        pNew = CreateColorButton(ParseColorCaption(info.strText),
                                 WS_CHILD | (info.dwStyle & (WS_VISIBLE | WS_TABSTOP | WS_GROUP)), info.rect, this,
                                 info.nId);
        break;
    case CTRLKIND_LINK:
        pNew = CreateLinkButton(info.strText.Mid(6), info.rect, this, info.nId);
        break;
    default:
        return;
    }
    if (pNew == NULL)
        return;  // the standard control stays
    PutInPlaceOf(pNew->m_hWnd, info.hWnd);
    ::DestroyWindow(info.hWnd);
    REPLACEDCTRL r = {info.hWnd, pNew->m_hWnd};
    m_ReplacedControls.Add(r);
}

// --- per-kind creators ---------------------------------------------------------------

C3DButton* C3DDialog::CreatePushButton(LPCSTR pszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    C3DButton* pButton = new C3DButton(&m_BodyStyle);
    return Listed(m_PushButtons, pButton, pButton->Create(pszText, dwStyle, rect, pParent, nID));
}

C3DGroupBox* C3DDialog::CreateGroupBox(LPCSTR pszText, DWORD dwStyle, DWORD dwExStyle, const RECT& rect,
                                       CWnd* pParent, UINT nID)
{
    C3DGroupBox* pGroup = new C3DGroupBox(&m_BodyStyle);
    return Listed(m_GroupBoxes, pGroup, pGroup->Create(pszText, dwStyle, dwExStyle, rect, pParent, nID));
}

C3DStatic* C3DDialog::CreateTextStatic(LPCSTR pszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    C3DStatic* pStatic = new C3DStatic(&m_BodyStyle);
    return Listed(m_Statics, pStatic, pStatic->CreateText(pszText, dwStyle, rect, pParent, nID));
}

C3DStatic* C3DDialog::CreateIconStatic(HICON hIcon, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    C3DStatic* pStatic = new C3DStatic(&m_BodyStyle);
    return Listed(m_Statics, pStatic, pStatic->CreateIcon(hIcon, dwStyle, rect, pParent, nID));
}

C3DStatic* C3DDialog::CreateImageStatic(UINT nImage1, UINT nImage2, LPCSTR pszType, const RECT& rect,
                                        CWnd* pParent, UINT nID)
{
    C3DStatic* pStatic = new C3DStatic(&m_BodyStyle);
    return Listed(m_Statics, pStatic, pStatic->CreateImage(pszType, nImage1, nImage2, rect, pParent, nID));
}

CClrSelButton* C3DDialog::CreateColorButton(COLORREF clr, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    CClrSelButton* pButton = new CClrSelButton(&m_BodyStyle, clr);
    return Listed(m_ColorButtons, pButton, pButton->Create(dwStyle, rect, pParent, nID));
}

CLinkButton* C3DDialog::CreateLinkButton(LPCSTR pszText, const RECT& rect, CWnd* pParent, UINT nID)
{
    CLinkButton* pLink = new CLinkButton();
    // In the accent text colour of the skin's menus (the mnemonic colour),
    // so it stands apart from plain text and reads as something to click.
    pLink->m_clrText = m_BodyStyle.textStyle.mnemonicColors.Get(g_nSkinColorScheme);
    return Listed(m_LinkButtons, pLink,
                  pLink->Create(pszText, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, pParent, nID));
}

// --- teardown ----------------------------------------------------------------------

void C3DDialog::ClosePopUpEditors()
{
    for (int i = m_PopUpEdits.GetSize() - 1; i >= 0; i--) {
        CPopUpEdit* pEdit = static_cast<CPopUpEdit*>(m_PopUpEdits[i]);
        if (pEdit->IsPopupOpen())
            pEdit->OpenPopup(FALSE);
    }
}

void C3DDialog::DestroyControls()
{
    CSequence<CWnd*>* lists[kListCount] = {&m_ComboBoxes, &m_PopUpEdits, &m_CheckButtons, &m_PushButtons,
                                           &m_GroupBoxes, &m_ColorButtons, &m_Statics, &m_LinkButtons};
    for (int n = 0; n < kListCount; n++) {
        CSequence<CWnd*>& list = *lists[n];
        for (int i = list.GetSize() - 1; i >= 0; i--) {
            CWnd* pCtrl = list[i];
            if (pCtrl->m_hWnd != NULL)
                pCtrl->DestroyWindow();
            delete pCtrl;
            list.RemoveAt(i);
        }
    }
    m_ReplacedControls.RemoveAll();
}
