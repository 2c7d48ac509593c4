// C3DToolTip: the common tooltip control dressed by a TOOLTIPSTYLE. It keeps
// its own list of tools (areas in the owner's client coordinates, overlaps
// refused), gives each tool a display time by the length of its text, copes
// with common controls that show only one line of at most 80 characters, and
// keeps a tip from covering the mouse cursor.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"
#include "framework/ToolTipCtrl.h"
#include "services/Messages.h"
#include "ui3d/StyleRecords.h"

#include <windows.h>

// Non-zero while the setting "ShowTips" is off: dialogs feed their tooltips
// nothing and menus keep no item tips.
extern int g_bNoToolTips;

// A tool added without an area asks its window for one with WM_GETTOOLRECT
// (services/Messages.h).

// What the system's tooltips can do, as the shell libraries decided once at
// start-up: tips of several lines (and longer than 80 characters), balloons.
BOOL MultilineTips();
BOOL BalloonTips();

// How long a tip stays up: the given time kept within 1 to 30 seconds.
int ClampTipShowTime(int nMillis);

// Where a tip window that covers the cursor moves, horizontally only; FALSE
// when the cursor is outside it (the control places it itself).
BOOL KeepTipOffCursor(const RECT& rcTip, int xCursor, int cxScreen, RECT* prcNew);

class C3DToolTip : public CToolTipCtrl
{
public:
    class CTool
    {
    public:
        CTool() {}
        CTool(const CTool& src) { *this = src; }
        CTool& operator=(const CTool& src);
        virtual ~CTool() { FreeText(); }

        void SetText(LPCSTR psz);
        void FreeText();

        char* pszText = nullptr;    // null when empty
        int nShowTime = 0;
        UINT nId = 0;
        HWND hWnd = NULL;
        RECT rcArea = {0, 0, 0, 0}; // owner's client coordinates
        CString strTitle;
        COLORREF clrText = 0;
        COLORREF clrBack = 0;
    };

    explicit C3DToolTip(const TOOLTIPSTYLE* pStyle = NULL);
    ~C3DToolTip() override;

    BOOL Create(CWnd* pOwner, DWORD dwStyle = 0) override;
    // A tool for a child of the owner with that id (0: the owner itself),
    // over the area (that window's client coordinates) or its whole client
    // area. Returns the tool id, 0 when refused.
    UINT AddTool(LPCSTR pszText, UINT nCtrlId, const RECT* pArea, LPCSTR pszTitle, COLORREF clrText,
                 COLORREF clrBack);
    UINT AddWindowTool(LPCSTR pszText, CWnd* pWnd);
    int DelTool(UINT nId);
    int ShowAt(CWnd* pWnd, LPCSTR pszText, LPCSTR pszTitle, int x, int y);
    void RelayEvent(MSG* pMsg);
    virtual void OnToolActivated(UINT nId);

    int GetToolCount() const { return m_tools.GetSize(); }
    const CTool* FindTool(UINT nId) const;
    const TOOLTIPSTYLE& GetStyle() const { return m_style; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UINT AddToolTo(CWnd* pToolWnd, LPCSTR pszText, const RECT* pArea, LPCSTR pszTitle, COLORREF clrText,
                   COLORREF clrBack);
    int FindIndex(UINT nId) const;
    LRESULT OnGetDispInfo(NMTTDISPINFOA* pInfo);
    LRESULT OnShow();

    TOOLTIPSTYLE m_style;
    CWnd* m_pOwner;
    UINT m_nCurrentTool;
    CSequence<CTool> m_tools;
};
