// The picture that follows the cursor while a tab or a group of smilies is
// dragged with OLE drag and drop: a top-most, disabled popup, drawn with
// per-pixel alpha through UpdateLayeredWindow where the system allows it,
// otherwise only a dotted frame (a one-pixel window region). It is a drop
// target of its own: when it lies under the cursor, the system asks it about
// the drop, and it moves along and refuses instead of swallowing the drag.
#pragma once

#include "framework/Gdi.h"
#include "framework/OleDropTarget.h"
#include "framework/Wnd.h"

// The program-wide count of running OLE drags. While it is not 0, skinned
// modal windows return IDCANCEL at once: none may open inside the system's
// drag loop.
extern int g_nActiveDrags;

// Raises g_nActiveDrags for its lifetime.
class CActiveDragScope
{
public:
    CActiveDragScope() { ++g_nActiveDrags; }
    ~CActiveDragScope() { --g_nActiveDrags; }
    CActiveDragScope(const CActiveDragScope&) = delete;
    CActiveDragScope& operator=(const CActiveDragScope&) = delete;
};

class CDragImageWnd;

class CODTDragImageWnd : public COleDropTarget
{
public:
    CDragImageWnd* m_pOwner = NULL;

    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
    void Revoke() override;
};

// Style flags of ShowDragImage.
enum
{
    DIW_GLOW = 0x01   // a grey glow behind the image instead of a silver plate
};

class CDragImageWnd : public CWnd
{
public:
    CDragImageWnd();
    ~CDragImageWnd() override;

    CBitmap m_BackBuffer;
    int m_nHotX, m_nHotY;
    CODTDragImageWnd m_DropTarget;
    CRgn m_Region;
    int m_bLayered;
    CBitmap* m_pImage;          // the caller's, used only during creation
    const POINT* m_pImagePos;
    const RECT* m_pHoles;
    int m_nHoles;
    const COLORREF* m_pColorKey;
    BYTE m_nStyle;
    int m_bDestroyed;

    // How many drag-image objects exist (tests check that each goes once).
    static int s_nLiveCount;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    int OnCreate();
    BOOL BuildLayered(int w, int h);
    BOOL BuildOutline(int w, int h);
};

// The drag image now shown; null when none.
extern CDragImageWnd* g_pDragImageWnd;

// Closes a drag image still shown and opens a new one at the screen rectangle.
// The image (may be null) is drawn at pImagePos inside the window; holes
// (relative to the image position) and pixels of the colour key let the
// screen through; flags DIW_GLOW. The bitmap stays the caller's and may be
// freed when the call returns. The smilie drag draws its group (with the
// "several" sign) into one bitmap and passes its cell gaps as holes.
void ShowDragImage(const RECT& rcWindow, CBitmap* pImage, const POINT* pImagePos, const RECT* pHoles, int nHoles,
                   const COLORREF* pColorKey, BYTE nStyle, int nHotX, int nHotY);
// DROPEFFECT_SCROLL leaves it alone; DROPEFFECT_NONE hides it unless it is
// itself under the point; any other effect shows it with its hot spot at the
// screen point.
void MoveDragImage(DWORD dwEffect, int x, int y);
// Tells the current drag image to close (it destroys itself) and forgets it.
void CloseDragImage();
