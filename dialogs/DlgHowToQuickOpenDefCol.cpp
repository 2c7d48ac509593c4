#include "dialogs/DlgHowToQuickOpenDefCol.h"

#include "services/Languages.h"
#include "services/Settings.h"
#include "resources/resource.h"
#include "skins/Skin.h"

IMPLEMENT_DYNAMIC(CDlgHowToQuickOpenDefCol, C3DDialog)

namespace {

// The skinned static breaks lines only where the text has line breaks, so
// the hint is broken at spaces to the static's width in the dialog's font.
CString BreakIntoLines(HWND hStatic, HFONT hFont, LPCSTR pszText)
{
    RECT rc;
    ::GetClientRect(hStatic, &rc);
    const HDC hDC = ::GetDC(hStatic);
    const HGDIOBJ hOld = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
    CString strOut, strLine;
    for (const char* p = pszText; *p != '\0';) {
        const char* pEnd = p;
        while (*pEnd != '\0' && *pEnd != ' ' && *pEnd != '\n')
            pEnd++;
        const CString strWord(p, static_cast<int>(pEnd - p));
        CString strTry = strLine.IsEmpty() ? strWord : strLine + " " + strWord;
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(hDC, strTry, strTry.GetLength(), &size);
        if (size.cx > rc.right && !strLine.IsEmpty()) {
            strOut += strLine + "\r\n";
            strTry = strWord;
        }
        strLine = strTry;
        if (*pEnd == '\n') {
            strOut += strLine + "\r\n";
            strLine.Empty();
        }
        p = *pEnd != '\0' ? pEnd + 1 : pEnd;
    }
    strOut += strLine;
    if (hOld != NULL)
        ::SelectObject(hDC, hOld);
    ::ReleaseDC(hStatic, hDC);
    return strOut;
}

}  // namespace

CDlgHowToQuickOpenDefCol::CDlgHowToQuickOpenDefCol(CWnd* pParent)
    : C3DDialog(IDD_QUICKOPENHINT, pParent, NULL, g_Settings.FadeDialogs,
                g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL, g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL)
{
}

BOOL CDlgHowToQuickOpenDefCol::OnInitDialogEx()
{
    SetWindowText("Tarvenex");
    const HWND hText = ::GetDlgItem(m_hWnd, IDC_QUICKOPEN_TEXT);
    if (hText != NULL)
        ::SetWindowTextA(hText, BreakIntoLines(hText, GetFont(), GetLangString(572)));
    // The placeholder only marks where the picture goes.
    const HWND hPlace = ::GetDlgItem(m_hWnd, IDC_QUICKOPEN_PICTURE);
    if (hPlace != NULL) {
        RECT rc;
        ::GetWindowRect(hPlace, &rc);
        ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        ::DestroyWindow(hPlace);
        CreateImageStatic(IDG_TIP_COLLECTIONS, IDG_TIP_COLLECTIONS_MASK, "Gif", rc, this, IDC_QUICKOPEN_PICTURE);
    }
    return TRUE;
}
