// CSmiliesFieldControl: the field window of the program. The fields container
// makes one per field. On top of the drop-and-paste view it sends a clicked
// smilie to the program the user was writing in, shows the preview popup and
// the tips of a cell's small controls when the cursor rests, handles the
// keys and the wheel, runs the in-field move and resize controls, imports
// dropped files and pages, and completes the picture downloads of its
// smilies. User-interface thread only; downloads report through
// WM_DOWNLOADPROGRESS and WM_DOWNLOADDONE.
#pragma once

#include "collection/Sequence.h"
#include "fields/DroppedData.h"
#include "fields/SmiliesFieldDropPaste.h"
#include "framework/Str.h"

class C3DToolTip;
class CDlgSmilieReposition;
class CDlgSmilieResize;
class COleDataObject;
class CSmilie;
class CTvFieldDataSource;

class CSmiliesFieldControl : public CSmiliesFieldDropPaste
{
public:
    CSmiliesFieldControl();
    ~CSmiliesFieldControl() override;

    // --- CControlBase and view overridables -------------------------------------
    void OnVTimer(int nId, int nAmount) override;
    void OnDestroying() override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnRButtonDown(UINT nFlags, int x, int y) override;
    void OnRButtonUp(UINT nFlags, int x, int y) override;
    void OnMButtonDown(UINT nFlags, int x, int y) override;
    void OnMButtonUp(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
    void OnHoverCheck(CSmilie* pSmilie, int nHotPart) override;
    void LoadCursors() override;
    void FreeCursors() override;
    void OnSmilieClick(POINT* pPoint, CSmilie* pSmilie) override;
    void OnFieldMenu(POINT* pPoint) override;
    void OnSmilieMenu(POINT* pPoint) override;
    // Shift+F10 and the context-menu key.
    void OnKeyboardMenu();
    void OnSmilieResizeStart(CSmilie* pSmilie, int x, int y) override;
    void OnSmilieReposition(CSmilie* pSmilie, int x, int y) override;

    // --- dropping and dragging out (the drop-and-paste view calls these) ---------
    // The drop method: without a right-button drag the default; with one the
    // user's choice from a menu (1 to 4), 0 for no drop.
    int QueryDropMode(BOOL bRightDrag) override;
    // The view's answer; when it refuses, a copy for files or a page that can
    // become pictures.
    DROPEFFECT CanAcceptDrop(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    // The view's handling first; else the files, page or text of the drop
    // are imported at the point once the drop has returned.
    BOOL OnDropData(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
    // Whether files or a page that can become pictures are offered.
    BOOL CanAcceptDroppedPictures(COleDataObject* pData);
    // Reads files, a page or a text out of a drop the view did not take and
    // imports it at (x, y) once the drop has returned. 1 when something was
    // found.
    BOOL ImportDropData(COleDataObject* pData, int x, int y);
    // The delivery formats of the smilies, for a drag out of the field.
    int FillDataSource(CSequence<CSmilie*>* pList, CTvFieldDataSource* pSource) override;

    // --- tips ----------------------------------------------------------------------
    virtual void ShowSmilieTip(CSmilie* pSmilie, int x, int y);
    virtual void ShowPartTip(int nTip, int x, int y);
    // A text in the preview popup at a client point.
    void ShowFieldMessage(LPCTSTR pszText, int x, int y);
    // The smilie under the point (or the selection, when that smilie is
    // selected) on the clipboard; 0 when there is no smilie under the point.
    int CopySmiliesToClipboard(POINT pt);

    void StartHoverTimer();
    void KillHoverTimer();
    void StartTipTimer();
    void KillTipTimer();
    // The tip number of the cell part under a client point: 1 resize grip,
    // 2 menu button or an empty cell's mark, 3 select box, 4 reposition mark; 0 none.
    int GetPartTipNumber(POINT pt);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- what tests look at ------------------------------------------------------------
    int GetHoverTimer() const { return m_nHoverTimer; }
    int GetTipTimer() const { return m_nTipTimer; }
    CSmilie* GetHoveredSmilie() const { return m_pHoveredSmilie; }
    C3DToolTip* GetPartTip() const { return m_pPartTip; }
    int GetPendingPictureCount() const { return m_DroppedImages.GetSize(); }

    // The program-wide default drop method (1 to 4) while field cursors are loaded.
    static int s_nDefaultDropMethod;
    // The window a click sends to; by default the foreign window the focus hook
    // reported last. Tests put in their own.
    static HWND (*s_pfnGetTarget)();
    // Previews that ShowSmilieTip opened, since the program started.
    static int s_nSmilieTipsShown;
    // Where the move and resize controls put the cursor; tests put in their own.
    static BOOL(WINAPI* s_pfnSetCursorPos)(int, int);

protected:
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnSmilieUpdated(WPARAM wParam);
    LRESULT OnSmilieUrlResult(WPARAM wParam);
    LRESULT OnImportDropped();
    LRESULT OnDropRefused(WPARAM wParam);
    LRESULT OnShowMessage();
    LRESULT OnPreviewClick(WPARAM wParam, LPARAM lParam);

    void ResetTransient();
    void CloseInFieldControls();
    void ClosePartTip();
    void OnHoverTick();
    void OnTipTick();
    void DeleteAt(POINT pt);
    void ScrollWithKey(UINT nChar);
    void MoveFocusWithKey(UINT nChar);
    BOOL IsOurSmilieInPlace(const CSmilie* pSmilie) const;
    // The download's result made the smilie's picture, or its failure state.
    // Returns TRUE when the smilie counts as finished.
    BOOL CompleteDownload(CSmilie* pSmilie);
    void RemoveFinishedSmilie(CSmilie* pSmilie);
    // The removals a download result asked for while the busy state was on,
    // done once it is off.
    void RemoveDeferredSmilies();

    CSequence<ODOIMGINFO> m_DroppedImages;
    CString m_strDroppedText;
    POINT m_ptDrop;
    int m_nHoverTimer;
    POINT m_ptLastHover;
    CSmilie* m_pHoveredSmilie;
    CDlgSmilieResize* m_pResize;
    CDlgSmilieReposition* m_pReposition;
    int m_nTipTimer;
    POINT m_ptLastTip;
    C3DToolTip* m_pPartTip;
    CSequence<CSmilie*> m_DeferredRemovals;
};
