// C3DDialog: the base of every dialog of the program. On top of a plain
// template it places the window (at a point, on the parent, on the desktop),
// paints the body from a cached BODYSTYLE background, replaces the standard
// controls by skinned ones, fades in and out through layered-window alpha on
// ticks of the program-wide timer, relays input to its tooltip, and lists
// itself among the live dialogs, where the shell finds the one running
// modally and closes the modeless ones.
//
// A dialog that fades in stays hidden through OnInitDialog: the framework's
// modal loop shows it once idle, and a modeless one is shown by OnInitDialog
// itself at alpha 0. While a fade runs the window is disabled, and OK and
// Cancel are ignored; when the fade-in ends, the control that had the focus
// (or the first tab stop) gets it again.
//
// The skinned controls take part in the dialog manager's keyboard handling
// as the system controls they replace: Tab, Enter on the focused or default
// push button, Escape, arrows and mnemonics. A derived dialog that puts the
// focus on a control while it is made keeps it there (OnInitDialog then
// answers FALSE). Enter in an edit does not close the dialog.
#pragma once

#include "collection/Sequence.h"
#include "framework/Dc.h"
#include "framework/Dialog.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/controls/3DToolTip.h"
#include "ui3d/dialogs/LiveDialogs.h"
#include "ui3d/system/VTimerRcrd.h"
#include "ui3d/dialogs/ControlInfo.h"

// Placement modes.
enum
{
    DLGPLACE_ATPOINT = 0,
    DLGPLACE_ONPARENT = 1,
    DLGPLACE_ONDESKTOP = 2
};

class C3DButton;
class C3DGroupBox;
class C3DStatic;
class CClrSelButton;
class CLinkButton;

class C3DDialog : public CDialog
{
    DECLARE_DYNAMIC(C3DDialog)
public:
    typedef ::CVTimerRcrd CVTimerRcrd;
    struct REPLACEDCTRL
    {
        HWND hWndOld;  // destroyed
        HWND hWndNew;
    };

    // From a template in memory or made by the derived class: pPos NULL
    // centres on the parent, (-1, -1) on the desktop, else at that point.
    C3DDialog(const POINT* pPos, int bFade, const BODYSTYLE* pBodyStyle, int bReplace,
              const TOOLTIPSTYLE* pToolTipStyle);
    // From a template resource; controls are always replaced.
    C3DDialog(UINT nIDTemplate, CWnd* pParent, const POINT* pPos, int bFade, const BODYSTYLE* pBodyStyle,
              const TOOLTIPSTYLE* pToolTipStyle);
    ~C3DDialog() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = NULL) override;
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL) override;
    BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = NULL) override;
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // --- the dialog's own overridables ---------------------------------------
    // A tick of one of the dialog's timers; the base drives the fade.
    virtual void OnVTimer(int nId, int nAmount);
    virtual void OnFadeInDone();
    virtual void OnFadeOutDone();
    virtual BOOL OnInitDialogEx() { return TRUE; }
    // Ends a modal dialog with nResult, after a fade-out when one can run.
    virtual void EndDialog3D(int nResult);
    virtual void OnPaintOver(CDC* /*pDC*/, const RECT& /*rcPaint*/) {}
    virtual void OnDisplayChanged() {}
    // Right after the controls were replaced: texts, tooltips, UpdateData(FALSE).
    virtual void OnInitControls() {}
    // Rectangles (client coordinates) the dialog paints itself, or NULL.
    virtual CSequence<RECT>* GetOwnDrawnRects() { return NULL; }

    // --- timers --------------------------------------------------------------
    // A plain periodic timer every nDivider ticks; its ticks reach OnVTimer
    // with amount 0. Returns the client id, 0 on failure.
    int StartVTimer(int nDivider);
    // Stops one timer, or with 0 every timer of the dialog and its queued ticks.
    int StopVTimer(int nId);

    // --- painting ---------------------------------------------------------------
    // Copies the area (NULL: the client area) of the cached background into
    // pDC at pOrigin (NULL: the area's own top-left).
    void PaintBackground(const RECT* pArea, CDC* pDC, const POINT* pOrigin);
    int ExcludeOwnDrawnRects(CDC* pDC);
    int OwnDrawnRectFromPoint(int x, int y);

    // --- control replacement ----------------------------------------------------
    // Replaces or subclasses every standard child control by its skinned kind;
    // returns how many it set out to replace. A second run replaces nothing.
    int ReplaceControls();
    // Gives a stock control the skin can only colour (a progress bar) the
    // skin's colours.
    void ColourStockControl(HWND hWnd);
    // TRUE when hWnd belongs to one of the dialog's skinned controls.
    BOOL IsSkinnedControl(HWND hWnd) const;
    // Creators of skinned controls, each listed with its kind; NULL (and the
    // object gone) when the window could not be made.
    C3DButton* CreatePushButton(LPCSTR pszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    C3DGroupBox* CreateGroupBox(LPCSTR pszText, DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent,
                                UINT nID);
    C3DStatic* CreateTextStatic(LPCSTR pszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    C3DStatic* CreateIconStatic(HICON hIcon, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    // A picture of the program's resources of type pszType ("Gif", "Png"),
    // with a second one as its opacity mask (0: none), at the rectangle's
    // top-left in its own size.
    C3DStatic* CreateImageStatic(UINT nImage1, UINT nImage2, LPCSTR pszType, const RECT& rect, CWnd* pParent,
                                 UINT nID);
    CClrSelButton* CreateColorButton(COLORREF clr, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    CLinkButton* CreateLinkButton(LPCSTR pszText, const RECT& rect, CWnd* pParent, UINT nID);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- state ------------------------------------------------------------------
    CVTimerRcrdList m_VTimers;
    int m_nRunState;          // > 0 modal, < 0 modeless, 0 not running
    BODYSTYLE m_BodyStyle;
    int m_nClientWidth;
    int m_nClientHeight;
    HBITMAP m_hBackground;    // NULL: rebuilt at the next paint
    HBRUSH m_hStockBrush;     // the face under stock controls; NULL until asked
    int m_nPlacement;
    POINT m_ptPosition;
    int m_bFade;
    int m_bReplaceControls;
    int m_bHasToolTip;
    C3DToolTip m_ToolTip;
    int m_nFadeState;         // 1 fading in, -1 fading out, 0 none
    int m_nResult;            // a modal dialog's result after its fade-out
    int m_nFadeTimerId;
    HWND m_hWndFadeFocus;     // the focus before a fade-in disabled the window
    int m_bDestroyed;
    int m_bBackgroundSuppressed;

    // The skinned controls, one list per kind; each object is deleted in
    // WM_DESTROY after its window.
    CSequence<CWnd*> m_PopUpEdits;       // CPopUpEdit
    CSequence<CWnd*> m_CheckButtons;     // C3DButton: check boxes and radio buttons
    CSequence<CWnd*> m_PushButtons;      // C3DButton
    CSequence<CWnd*> m_GroupBoxes;       // C3DGroupBox
    CSequence<CWnd*> m_ColorButtons;     // CClrSelButton
    CSequence<CWnd*> m_Statics;          // C3DStatic
    CSequence<CWnd*> m_ComboBoxes;       // C3DComboBox
    CSequence<CWnd*> m_LinkButtons;      // CLinkButton
    CSequence<REPLACEDCTRL> m_ReplacedControls;

    // Seams for tests: the performance counter and the system's menu-fade
    // setting, which a desktop under test cannot be relied on to give.
    static BOOL (WINAPI* s_pfnQueryPerformanceFrequency)(LARGE_INTEGER*);
    static BOOL (WINAPI* s_pfnQueryPerformanceCounter)(LARGE_INTEGER*);
    static BOOL (*s_pfnIsMenuFadeOn)();

protected:
    void PostNcDestroy() override;
    // The base WM_DESTROY handling, for derived handlers to finish with.
    void OnDestroy();
    // The base WM_ERASEBKGND handling: the background around the own-drawn
    // rectangles.
    BOOL OnEraseBkgnd(HDC hDC);

    // Replaces one described control by its kind (ReplaceControls' step 2).
    void ReplaceControl(const CControlInfo& info);
    // Destroys and deletes the skinned controls of every list.
    void DestroyControls();
    // Closes every open popup editor, newest first; each hands its text back
    // to its edit.
    void ClosePopUpEditors();
    // A control of this dialog (a descendant, not the dialog itself).
    BOOL IsOwnControl(HWND hWnd) const;

private:
    void Construct(const POINT* pPos, int bFade, const BODYSTYLE* pBodyStyle, int bReplace);
    void Place();
    // Fading needs the layered-window function, the fade flag and the
    // system's menu fade.
    BOOL CanFade() const;
    // Starts a fade in (1) or out (-1); FALSE when none started.
    BOOL StartFadeIn();
    BOOL StartFadeOut();
    int StartFade();
    void StopFadeTimer();
    void RestoreFocusAfterFade();
    void SetAlpha(BYTE nAlpha);
    void BuildBackground();
    void InvalidateOverlappedWindows();

    LRESULT OnVTimerMessage(int nId);
    void OnPaint();
    LRESULT OnPrintBackground(HDC hDC, const RECT* pRect);
    void OnSize(UINT nType);
};

// SPI_GETMENUANIMATION and SPI_GETMENUFADE both on; 0 on any failure.
BOOL IsMenuFadeOn();
