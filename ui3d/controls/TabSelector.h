// CTabSelector: the skinned tab strip. A row of named tabs over a captured
// copy of the parent's background; the user picks a tab, scrolls the row by
// hand, by the wheel, by a pair of scroll buttons (an arrows-only
// C3DScrollBar), optionally smoothly, and reorders tabs by OLE drag and drop.
// The parent hears of every change of the selection by WM_TABSELCHANGED
// (wParam the new tab id, lParam the previous one).
//
// Each tab is rendered once per state (normal, hovered, selected) into the
// strip bitmap; drawing the strip only copies those images through their
// masks, so scrolling and hover never re-render a tab.
//
// Strip bitmap, client width wide, rows of strip height H: [0, H) what shows,
// [H, 2H) the parent's background, then the image of tab i in state s at
// 2H + (3i + s)H, then the masks in the same order. Black is transparent in
// an image; a mask is white where the tab is transparent.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"
#include "ui3d/TabSelParams.h"
#include "ui3d/controls/3DScrollBar.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/controls/TabDrag.h"

struct COneTab
{
    DWORD_PTR nData = 0;   // the caller's; the base colour in derived-colour mode
    CString strName;
    int x = 0;
    int nWidth = 0;
    int nState = 0;        // 0 normal, 1 hovered, 2 selected
    int nId = 0;           // 1 .. 0xFFFE
};

enum
{
    TABST_NORMAL = 0,
    TABST_HOT = 1,
    TABST_SELECTED = 2
};

// Flags of TABSELPARAMS::nFlags.
enum
{
    TSF_SCROLLBACKGROUND = 0x1,
    TSF_FADEEDGES = 0x2,
    TSF_SMOOTHSCROLL = 0x4,
    TSF_EXPLICITCOLORS = 0x8
};

class CTabSelector : public CControlBase
{
public:
    CTabSelector();
    ~CTabSelector() override;

    int InsertTab(int nAfterId, LPCTSTR pszName, DWORD_PTR nData, int bLayout);
    int RemoveTab(int nId, int bLayout);
    void RemoveAllTabs();
    int SetTab(int nId, LPCTSTR pszName, DWORD_PTR nData, int bLayout);
    int SwapTabs(int nIdA, int nIdB);
    int MoveTab(int nId, int nTargetId);
    void SelectTab(int nId);
    int GetTab(int nId, CString* pName, DWORD_PTR* pData) const;
    int HasTab(int nId, COneTab* pTab) const;
    int GetNextTabId(int nId) const;
    int GetFreeTabId() const;
    int GetTabIndex(int nId) const;
    int GetSelectedIndex() const;
    int GetSelectedId() const;
    int GetTabCount() const { return m_Tabs.GetSize(); }
    const COneTab& GetTabAt(int nIndex) const { return m_Tabs[nIndex]; }
    void GetTabRect(RECT* pRect, int nId);
    void DrawTabImage(int nId, CDC* pDC);
    int MeasureTabs();
    int DrawTabs(int x0, int x1, CDC* pDC);
    void RedrawStrip();
    void SelectTabByIndex(int nIndex, const POINT* pPoint);
    // Index of the tab under client x (-1 none), with the offset inside it.
    int TabFromPoint(int x, int* pOffset);
    void HotTrack(const POINT& pt);
    void ClearHot();
    void ScrollBy(int dx);
    void SmoothScroll(int nAmount, int nSpeed);
    int ScrollTabIntoView(int nIndex);
    int ScrollSelectedIntoView();
    void UpdateScrollButtons();
    void StepSelection(int nDirection);
    // Arrows, Home and End of a strip that is a tab stop; FALSE for other keys.
    BOOL OnKey(UINT nKey);
    // Puts a tab in the hovered state and redraws (for pictures of the strip).
    void ShowHot(int nId);

    virtual int SelectTabAtPoint(int x, int y);
    virtual BOOL SendTabMessage(HWND hTarget, WPARAM wParam, LPARAM lParam);
    virtual void OnTabContextMenu(POINT pt, int nId, LPCTSTR pszName) {}
    virtual void BeginTabDrag(int x, int y);

    void OnDisplayChanged() override;
    CBitmap* GetBackBuffer() override { return m_Strip.GetSafeHandle() != NULL ? &m_Strip : NULL; }
    void Paint(CDC*, int, int, int, int) override {}
    void OnVTimer(int nId, int nAmount) override;
    void OnCreated() override;
    void OnDestroying() override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnRButtonDown(UINT nFlags, int x, int y) override;
    void OnRButtonUp(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    int IsMouseCaptured() override { return m_bLeftDown; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // What identifies this strip's drags within the process.
    DWORD GetDragStamp() const { return m_nDragStamp; }

    C3DScrollBar m_ScrollButtons;
    HCURSOR m_hSizeAllCursor;
    HCURSOR m_hArrowCursor;
    CTabSelectorODT m_DropTarget;
    TABSELPARAMS m_Look;
    CBitmap m_Strip;
    int m_nBackRow;
    int m_nStripHeight;
    int m_nFadeZone;
    CSequence<COneTab> m_Tabs;
    int m_nRowWidth;
    int m_nScrollOffset;
    int m_bPendingSelect;
    int m_bPendingRight;
    int m_bLayoutDirty;
    POINT m_ptPress;
    POINT m_ptRightPress;
    int m_nSmoothDone;
    int m_nSmoothDir;
    int m_nSmoothTotal;
    int m_bNotCreated;

private:
    BOOL RenderTab(HDC hDC, int nIndex);
    void TabColors(const COneTab& tab, int nState, COLORREF* pFace, COLORREF* pLight, COLORREF* pDark,
                   COLORREF* pText, COLORREF* pShadow) const;
    void Relayout(int nScrollIndex);
    void StopSmoothScroll();
    BOOL IsSmoothScrolling() const { return m_Animations.GetSize() != 0; }
    BOOL LastPixelCovered() const;
    BOOL MouseOverClient(POINT* pPt) const;
    void ScrollToShow(int nIndex, int nSpeed, BOOL bSmooth);

    DWORD m_nDragStamp;
};
