// The about box: the program's picture and name, the copyright line, the web
// and mail addresses as links, and the credits in a read-only edit that a
// skinned scroll bar beside it scrolls. Run modally from the main window's
// help menu and from the tray menu; fades when FadeDialogs is on.
#pragma once

#include "ui3d/controls/3DScrollBar.h"
#include "ui3d/dialogs/3DDialog.h"

#include <shellapi.h>

// What a click on the web link opens: the link's text, made an http address.
CString MakeWebAddress(LPCSTR pszLinkText);
// What a click on the mail link opens: a new message to the link's text.
CString MakeMailAddress(LPCSTR pszLinkText);

class CDlgAbout : public C3DDialog
{
public:
    explicit CDlgAbout(CWnd* pParent = NULL);
    ~CDlgAbout() override;

    // The credits' scroll bar; no window when the edit scrolls itself.
    C3DScrollBar& GetScrollBar() { return m_ScrollBar; }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialogEx() override;
    void OnInitControls() override;

private:
    // Sets the bar's range and page from the edit's lines, or disables it
    // when every line is in view.
    void UpdateScrollRange();
    void OnVScroll(int nCode, int nTrackPos);
    // The bar's position and its arrows: the up arrow shows the top as
    // reached at 0, the down arrow the end at the last position.
    void ShowScrollPos(int nPos);
    int GetVisibleLines() const;
    void OpenWebLink();
    void OpenMailLink();

    C3DScrollBar m_ScrollBar;
    HWND m_hCredits;
};
