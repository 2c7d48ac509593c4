// CSmiliePreview: the smilie preview popup, and the virtual-timer bookkeeping
// shared by every window that keeps a CVTimerRcrd list (the scroll bar, the
// tab strip, the smilie fields), so it lives with the UI library.
//
// The popup shows a picture at its full size (animated), optionally its name,
// and below it a text box; or, without a picture, only a text (the form other
// windows use for hints). It owns itself: Show makes, places and shows it and
// captures the mouse; the first sign that the user moved on closes it, and
// the object deletes itself once its window is gone. A left or right click
// on it is handed on to the window beneath as WM_PREVIEWLCLICK or
// WM_PREVIEWRCLICK with the point in that window's client coordinates.
#pragma once

#include "framework/Str.h"
#include "framework/Wnd.h"
#include "ui3d/StyleRecords.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/system/VTimerRcrd.h"

#include <stdint.h>

// What the layout of a preview is computed from.
struct PREVIEWLAYOUTIN
{
    BOOL bPicture = FALSE;
    SIZE sizePicture = {0, 0};
    int nNameHeight = 0;         // the name line's height; 0 none
    BOOL bText = FALSE;
    SIZE sizeText = {0, 0};      // the text measured (on one line with a picture or in single-line mode)
    BOOL bSingleLine = FALSE;
    RECT rcWork = {0, 0, 0, 0};  // the work area, screen coordinates
    POINT ptAnchor = {0, 0};     // screen coordinates
};

// Where everything goes: the rectangles in client coordinates, the window in
// screen coordinates.
struct PREVIEWLAYOUT
{
    RECT rcFrame = {0, 0, 0, 0};    // the picture area with its margins; empty without a picture
    RECT rcPicture = {0, 0, 0, 0};
    RECT rcText = {0, 0, 0, 0};     // empty without a text
    BOOL bRegion = FALSE;           // a picture with a text wider than its frame: the window is shaped
    RECT rcRegionFrame = {0, 0, 0, 0};
    RECT rcRegionText = {0, 0, 0, 0};
    int nBottomMargin = 11;
    RECT rcWindow = {0, 0, 0, 0};
};

// The preview's layout, a function of its inputs alone.
void LayoutSmiliePreview(const PREVIEWLAYOUTIN& in, PREVIEWLAYOUT* pOut);

class CShadowWnd;

class CSmiliePreview : public CWnd
{
public:
    typedef ::CVTimerRcrd CVTimerRcrd;

    // Makes and shows a preview of a collection record's picture (0: none)
    // with the text (may be empty) at the anchor point (screen). Returns the
    // window, or NULL when there is nothing to show (no picture and no text,
    // a picture the image cache cannot give) or the window could not be made;
    // the caller never frees it.
    static CSmiliePreview* Show(const CString& strText, CWnd* pParent, uint32_t nRecordId, BYTE nCrop,
                                BOOL bCensored, const FONTSTYLE* pStyle, BOOL bSingleLine, int x, int y);
    // The same for a picture already in the image cache (0: none).
    static CSmiliePreview* ShowImage(const CString& strText, CWnd* pParent, uint32_t nImageId, BYTE nCrop,
                                     BOOL bCensored, const FONTSTYLE* pStyle, BOOL bSingleLine, int x, int y);

    // Registers hWnd with the program-wide timer, one tick in nTicks, and
    // appends a record without duration to the window's list. Returns the
    // client id, 0 when the registration failed (then nothing is recorded).
    static int SetVTimer(HWND hWnd, CVTimerRcrdList& records, int nTicks);
    // With an id: stops that timer and removes its record (0 when the id is
    // not in the list, else the removal's result). With 0: stops every timer
    // of the window, clears the list and drops the window's queued ticks.
    static int KillVTimer(HWND hWnd, CVTimerRcrdList& records, int nId);

    virtual void OnVTimer(int nId, int nAmount);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PREVIEWLAYOUT& GetLayout() const { return m_layout; }
    const CString& GetNameText() const { return m_strName; }
    int GetAnimationTimer() const { return m_nAnimTimer; }
    HWND GetTextBox() const { return m_hText; }
    CShadowWnd* GetShadow() const { return m_pShadow; }
    // How many previews live now.
    static int GetLiveCount();

    // The cursor as the preview reads it; tests put in their own.
    static BOOL (WINAPI* s_pfnGetCursorPos)(LPPOINT);

protected:
    void PostNcDestroy() override;

private:
    CSmiliePreview();
    ~CSmiliePreview() override;
    BOOL Build(const CString& strText, CWnd* pParent, uint32_t nImageId, BYTE nCrop, BOOL bCensored,
               const FONTSTYLE* pStyle, BOOL bSingleLine, int x, int y);
    void Close();
    void OnClick(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC hDC);
    void DrawPicture(HDC hDC, BOOL bNextFrame);
    void OnDestroy();

    CVTimerRcrdList m_Timers;
    FONTSTYLE m_style;
    PREVIEWLAYOUT m_layout;
    COLORREF m_clrBack;
    HRGN m_hRegion;
    CShadowWnd* m_pShadow;
    BOOL m_bSystemShadow;
    CString m_strName;
    HFONT m_hNameFont;
    int m_nNameHeight;
    HWND m_hText;
    HFONT m_hTextFont;
    HBRUSH m_hTextBrush;
    BOOL m_bPhrase;
    uint32_t m_nImageId;
    BYTE m_nCrop;
    int m_nFrames;
    int m_nFrame;
    int m_nFrameDelay;
    int m_nAnimTimer;
    BOOL m_bCensored;
    POINT m_ptShown;
    BOOL m_bClosing;
};

// The soft shadow of a preview on systems without one of their own: a
// layered, click-through popup owned by the preview, 4 pixels to its right
// and below.
class CShadowWnd : public CWnd
{
public:
    // FALSE when the window cannot be made or drawn (then none is left).
    BOOL Create(CWnd* pOwner, HRGN hOwnerRegion);
};

