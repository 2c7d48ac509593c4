// The two small popups that lie exactly over one smilie's cell while the
// user moves its picture inside the cell (CDlgSmilieReposition) or changes
// the field's cell size by pulling its corner (CDlgSmilieResize). Each draws a
// working copy of the smilie as the field draws it, animation included, and
// runs its own modal loop until the left button commits or a key, leaving the
// popup (or, while resizing, moving without the button) cancels.
#pragma once

#include "collection/Smilie.h"
#include "framework/Geometry.h"
#include "ui3d/controls/ControlBase.h"

class CSmiliesField;

// The cell size a resize drag to (x, y) gives in a field whose client area is
// cxClient wide and whose window is cxWindow wide: kept between a seventh and
// a half of the width (at least 1), widened so that whole cells fill the
// window, and snapped to the natural height of the width when within 2 of it.
SIZE ComputeResizedCell(int cxClient, int cxWindow, int x, int y);
// The height that suits a cell width: 34 for 35, 47 for 49, 78 for 81, else 97%.
int NaturalCellHeight(int nWidth);
// The picture offset kept within half the picture's size on each axis.
POINT ClampImageOffset(POINT ptOffset, SIZE sizeImage);

class CInFieldControl : public CControlBase
{
public:
    CInFieldControl();
    ~CInFieldControl() override;

    BOOL DestroyWindow() override;
    BOOL IsRunning() const { return m_bRunning; }
    const CSmilie& GetCopy() const { return m_Copy; }

    // Called once the modal loop runs, with the control; tests drive it from here.
    static void (*s_pfnLoopStarted)(CInFieldControl* pControl);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Steps 1 to 6 of a start: 0 when there is no smilie or field, or the
    // window cannot be made; else the loop's result.
    int Run(CSmilie* pSmilie, LPCSTR pszCursor);
    void Cancel();
    void EndLoop(int nResult);
    void RestartAnimation(int nDivider);
    void KillAnimation();

    CBitmap* GetBackBuffer() override { return NULL; }
    void Paint(CDC* pDC, int left, int top, int right, int bottom) override;
    void OnVTimer(int nId, int nAmount) override;
    void OnDestroying() override;
    void OnMouseLeave() override;
    void OnSetCursor(HWND hWnd, UINT nHitTest, UINT nMessage) override;

    CSmiliesField* m_pField;
    CSmilie m_Copy;
    BOOL m_bRunning;
    int m_nResult;
    int m_nAnimTimer;
    HCURSOR m_hCursor;
    SIZE m_sizeClient;   // the client size when the loop ended
};

class CDlgSmilieReposition : public CInFieldControl
{
public:
    CDlgSmilieReposition();
    // 1 when the user committed a new position (stored in the smilie), 0 when
    // cancelled or not started.
    int Start(CSmilie* pSmilie);

protected:
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;

    CSmilie* m_pSmilie;
    SIZE m_sizeImage;
    POINT m_ptLast;
};

class CDlgSmilieResize : public CInFieldControl
{
public:
    CDlgSmilieResize();
    // 1 when the user committed; *pSize then gets the new cell size. The
    // smilie itself is not changed.
    int Start(CSmilie* pSmilie, SIZE* pSize);

protected:
    // The drag began on the field's grip with the button held, and the
    // control holds the mouse (mouse tracking captures it): it follows the
    // drag wherever the cursor goes.
    int IsMouseCaptured() override { return m_bRunning; }
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnMouseMove(UINT nFlags, int x, int y) override;
};
