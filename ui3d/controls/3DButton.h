// C3DButton: the owner-drawn push button, check box and radio button of the
// skinned dialogs. Once the button is owner-drawn the system no longer keeps
// its check state nor manages its radio group, so the object keeps the check
// state itself, answers BM_GETCHECK/BM_SETCHECK, and unchecks the other radio
// buttons of its group when it is checked. The parent still gets the usual
// BN_CLICKED notifications.
//
// To the dialog manager a push button stays a push button: it answers
// WM_GETDLGCODE with DLGC_DEFPUSHBUTTON or DLGC_UNDEFPUSHBUTTON and takes
// BM_SETSTYLE's BS_DEFPUSHBUTTON/BS_PUSHBUTTON as its default state (the
// window itself stays owner-drawn), so Enter, DM_SETDEFID and the default
// moving with the focus work as on the system's button; the default one
// shows a frame in the focused text colour. A check box changes its state on
// the click (button released over it, Space released, BM_CLICK), not on the
// press.
#pragma once

#include "services/Messages.h"
#include "framework/Button.h"
#include "ui3d/StyleRecords.h"

#ifndef WM_NOTIFYCLICK
#define WM_NOTIFYCLICK (WM_APP + 0x15)  // a radio button tells its parent it was clicked
#endif

// Draw flags of the painters.
enum
{
    BTNDRAW_ENTIRE = 0x01,
    BTNDRAW_PRESSED = 0x02,
    BTNDRAW_FOCUSED = 0x04,
    BTNDRAW_CHECKED = 0x08
};

enum
{
    BTNTYPE_OTHER = 0,
    BTNTYPE_PUSH = 1,
    BTNTYPE_RADIO = 2,
    BTNTYPE_CHECK = 3
};

// Side of the built-in check-box and radio-button pictures.
const int INDICATOR_SIZE = 13;

class C3DButton : public CButton
{
    DECLARE_DYNAMIC(C3DButton)
public:
    explicit C3DButton(const BODYSTYLE* pStyle = NULL);
    ~C3DButton() override;

    // Creates the window owner-drawn; the type comes from the style's type bits.
    BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) override;
    // Takes over the dialog's button nID (reads its check state first);
    // returns whether the subclassing succeeded.
    using CWnd::Attach;
    BOOL Attach(UINT nID, CWnd* pParent);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The painters, also for pictures of any state (disabled = WS_DISABLED of
    // the window, or bDisabled when the window does not exist).
    void PaintPush(HDC hDC, const RECT& rect, UINT nFlags);
    void PaintIndicator(HDC hDC, const RECT& rect, UINT nFlags, BOOL bRadio);
    // The built-in 13 x 13 picture: state 0 unchecked, 1 checked, 2 unchecked
    // pressed, 3 checked pressed, drawn at (x, y) through its mask.
    static void DrawBuiltInIndicator(HDC hDC, int x, int y, BOOL bRadio, int nState);

    int IsChecked() const { return m_nChecked; }
    // The default push button of its dialog (BS_DEFPUSHBUTTON).
    BOOL IsDefault() const { return m_bDefault; }
    BYTE GetButtonType() const { return m_nType; }
    const BODYSTYLE& GetBodyStyle() const { return m_style; }
    const RECT& GetToolRect() const { return m_rcTool; }
    // For pictures of a window-less state: painted as if disabled.
    void SetPaintDisabled(BOOL bDisabled) { m_bPaintDisabled = bDisabled; }

    static BYTE TypeFromStyle(DWORD dwStyle);

protected:
    BODYSTYLE m_style;
    CString m_strText;
    HICON m_hIcon;
    int m_cxIcon;
    int m_cyIcon;
    int m_nChecked;
    DWORD m_dwStyle;
    BYTE m_nType;
    RECT m_rcTool;
    int m_bNotifying;
    BOOL m_bPaintDisabled;
    BOOL m_bDefault;

private:
    void SetCheckState(WPARAM nCheck);
    void UncheckGroupSiblings();
    void SetIcon(HICON hIcon);
    void RepaintNow(UINT nFlags);
    BOOL IsPaintDisabled() const;
    void PrintParentBackground(HDC hDC);
    // TRUE when the release (mouse button or Space) about to be handled by
    // the system's button makes a click.
    BOOL ReleaseClicks(UINT message, WPARAM wParam, LPARAM lParam);
};
