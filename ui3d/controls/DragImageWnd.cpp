#include "ui3d/controls/DragImageWnd.h"

#include "framework/WinApp.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/SelectedBitmapDC.h"
#include "ui3d/system/ExportedFuncs.h"

#include <string.h>
#include <vector>

int g_nActiveDrags = 0;
CDragImageWnd* g_pDragImageWnd = NULL;
int CDragImageWnd::s_nLiveCount = 0;

namespace {
// The object ShowDragImage is creating. A creation that fails once the window
// exists destroys it, and PostNcDestroy deletes the object; clearing this
// tells ShowDragImage so.
CDragImageWnd* s_pBeingCreated = NULL;
}

// --- drop target ------------------------------------------------------------------

DROPEFFECT CODTDragImageWnd::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT CODTDragImageWnd::OnDragOver(CWnd* pWnd, COleDataObject*, DWORD, CPoint point)
{
    // The image is under the cursor: it must keep following it.
    if (m_pOwner != NULL && pWnd != NULL && pWnd->m_hWnd != NULL) {
        POINT pt = {point.x, point.y};
        ::ClientToScreen(pWnd->m_hWnd, &pt);
        ::SetWindowPos(pWnd->m_hWnd, NULL, pt.x - m_pOwner->m_nHotX, pt.y - m_pOwner->m_nHotY, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return DROPEFFECT_NONE;
}

BOOL CODTDragImageWnd::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

void CODTDragImageWnd::Revoke()
{
    m_pOwner = NULL;
    COleDropTarget::Revoke();
}

// --- the window ---------------------------------------------------------------------

CDragImageWnd::CDragImageWnd()
    : m_nHotX(0), m_nHotY(0), m_bLayered(0), m_pImage(NULL), m_pImagePos(NULL), m_pHoles(NULL), m_nHoles(0),
      m_pColorKey(NULL), m_nStyle(0), m_bDestroyed(1)
{
    m_DropTarget.m_pOwner = this;
    ++s_nLiveCount;
}

CDragImageWnd::~CDragImageWnd()
{
    --s_nLiveCount;
    if (g_pDragImageWnd == this)
        g_pDragImageWnd = NULL;
}

void CDragImageWnd::PostNcDestroy()
{
    if (s_pBeingCreated == this)
        s_pBeingCreated = NULL;
    CWnd::PostNcDestroy();
    delete this;
}

BOOL CDragImageWnd::BuildLayered(int w, int h)
{
    BITMAP bm = {};
    m_pImage->GetBitmap(&bm);
    const POINT ptImage = m_pImagePos != NULL ? *m_pImagePos : POINT{0, 0};
    const RECT rcImage = {ptImage.x, ptImage.y, ptImage.x + bm.bmWidth, ptImage.y + bm.bmHeight};
    const BOOL bWhole = rcImage.left <= 0 && rcImage.top <= 0 && rcImage.right >= w && rcImage.bottom >= h;

    BYTE* pBits = NULL;
    CBitmap dib;   // declared first: freed after the DCs below have let go of it
    dib.Attach(CreateDIBSection32(w, h, &pBits));
    HDC hScreen = ::GetDC(NULL);
    CSelectedBitmapDC mem(hScreen, static_cast<HBITMAP>(dib.GetSafeHandle()));
    const HDC hMem = mem.m_hDC;
    if (hMem == NULL || dib.GetSafeHandle() == NULL || pBits == NULL) {
        ::ReleaseDC(NULL, hScreen);
        return FALSE;
    }

    // Alpha pass: what is drawn here in grey becomes the opacity.
    if (m_nStyle & DIW_GLOW) {
        FillSolidRect(hMem, RECT{0, 0, w, h}, 0);
        FillCentreGradient(rcImage, hMem);
    } else {
        FillSolidRect(hMem, RECT{0, 0, w, h}, 0xC0C0C0);
    }
    for (int i = 0; i < m_nHoles && m_pHoles != NULL; i++) {
        RECT rc = m_pHoles[i];
        ::OffsetRect(&rc, ptImage.x, ptImage.y);
        FillSolidRect(hMem, rc, 0);
    }
    CSelectedBitmapDC image(hScreen, static_cast<HBITMAP>(m_pImage->GetSafeHandle()));
    const HDC hImage = image.m_hDC;
    if (m_pColorKey != NULL && hImage != NULL) {
        ::GdiFlush();
        for (int y = rcImage.top; y < rcImage.bottom; y++) {
            for (int x = rcImage.left; x < rcImage.right; x++) {
                if (x < 0 || y < 0 || x >= w || y >= h)
                    continue;
                if (::GetPixel(hImage, x - rcImage.left, y - rcImage.top) == *m_pColorKey)
                    reinterpret_cast<DWORD*>(pBits)[y * w + x] = 0;
            }
        }
    }
    if (!bWhole) {
        RECT rcAll = {0, 0, w, h};
        HBRUSH hBlack = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        ::FrameRect(hMem, &rcAll, hBlack);
        ::DrawFocusRect(hMem, &rcAll);
    }
    ::GdiFlush();
    std::vector<BYTE> alpha(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < alpha.size(); i++)
        alpha[i] = pBits[i * 4];

    // Picture pass.
    if (hImage != NULL)
        ::BitBlt(hMem, rcImage.left, rcImage.top, bm.bmWidth, bm.bmHeight, hImage, 0, 0, SRCCOPY);
    if (!bWhole) {
        RECT rcAll = {0, 0, w, h};
        HBRUSH hWhite = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        ::FrameRect(hMem, &rcAll, hWhite);
    }
    ::GdiFlush();
    for (size_t i = 0; i < alpha.size(); i++)
        pBits[i * 4 + 3] = alpha[i];
    PremultiplyAlpha(static_cast<DWORD>(alpha.size() * 4), pBits);

    SIZE size = {w, h};
    POINT ptSrc = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    g_pExportedFuncs->pUpdateLayeredWindow(m_hWnd, hScreen, NULL, &size, hMem, &ptSrc, 0xFFFFFF, &blend, ULW_ALPHA);
    ::ReleaseDC(NULL, hScreen);
    return TRUE;
}

BOOL CDragImageWnd::BuildOutline(int w, int h)
{
    // A one-pixel ring: the screen shows through everywhere else.
    m_Region.DeleteObject();
    HRGN hOuter = ::CreateRectRgn(0, 0, w, h);
    HRGN hInner = ::CreateRectRgn(1, 1, w - 1, h - 1);
    if (hOuter != NULL && hInner != NULL)
        ::CombineRgn(hOuter, hOuter, hInner, RGN_DIFF);
    if (hInner != NULL)
        ::DeleteObject(hInner);
    HDC hScreen = ::GetDC(NULL);
    m_BackBuffer.DeleteObject();
    m_BackBuffer.Attach(::CreateCompatibleBitmap(hScreen, w, h));
    if (m_BackBuffer.GetSafeHandle() != NULL) {
        CSelectedBitmapDC mem(hScreen, static_cast<HBITMAP>(m_BackBuffer.GetSafeHandle()));
        RECT rc = {0, 0, w, h};
        FillSolidRect(mem.m_hDC, rc, 0xFFFFFF);
        ::FrameRect(mem.m_hDC, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::DrawFocusRect(mem.m_hDC, &rc);
    }
    ::ReleaseDC(NULL, hScreen);
    if (hOuter == NULL)
        return FALSE;
    // The window owns the region once it is set; keep a copy for ourselves.
    HRGN hCopy = ::CreateRectRgn(0, 0, 0, 0);
    if (hCopy != NULL) {
        ::CombineRgn(hCopy, hOuter, NULL, RGN_COPY);
        m_Region.Attach(hCopy);
    }
    ::SetWindowRgn(m_hWnd, hOuter, FALSE);
    return TRUE;
}

int CDragImageWnd::OnCreate()
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const int w = rc.right;
    const int h = rc.bottom;
    if (m_bLayered)
        BuildLayered(w, h);
    else
        BuildOutline(w, h);
    if (!m_DropTarget.Register(this))
        ::MessageBoxA(m_hWnd, "Ole Register Drop Target Failed", "Tarvenex", MB_OK);
    m_bDestroyed = 0;
    return 0;
}

LRESULT CDragImageWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return Default();
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        HDC hDC = reinterpret_cast<HDC>(wParam);
        if (m_BackBuffer.GetSafeHandle() != NULL) {
            CSelectedBitmapDC back(hDC, static_cast<HBITMAP>(m_BackBuffer.GetSafeHandle()));
            ::BitBlt(hDC, 0, 0, rc.right, rc.bottom, back.m_hDC, 0, 0, SRCCOPY);
        }
        return 1;
    }
    case WM_PAINT:
        ::ValidateRect(m_hWnd, NULL);
        return 0;
    case WM_MOVE:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_DISPLAYCHANGE:
        return 0;
    case WM_USER:
        DestroyWindow();
        return 0;
    case WM_DESTROY:
        m_DropTarget.Revoke();
        m_bDestroyed = 1;
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// --- the current drag image -----------------------------------------------------------

void CloseDragImage()
{
    if (g_pDragImageWnd != NULL && g_pDragImageWnd->m_hWnd != NULL)
        ::PostMessageA(g_pDragImageWnd->m_hWnd, WM_USER, 0, 0);
    g_pDragImageWnd = NULL;
}

void ShowDragImage(const RECT& rcWindow, CBitmap* pImage, const POINT* pImagePos, const RECT* pHoles, int nHoles,
                   const COLORREF* pColorKey, BYTE nStyle, int nHotX, int nHotY)
{
    CloseDragImage();
    CDragImageWnd* pWnd = new CDragImageWnd();
    pWnd->m_pImage = pImage != NULL && pImage->GetSafeHandle() != NULL ? pImage : NULL;
    pWnd->m_pImagePos = pImagePos;
    pWnd->m_pHoles = pHoles;
    pWnd->m_nHoles = nHoles;
    pWnd->m_pColorKey = pColorKey;
    pWnd->m_nStyle = nStyle;
    pWnd->m_nHotX = nHotX;
    pWnd->m_nHotY = nHotY;
    HDC hScreen = ::GetDC(NULL);
    const int nBits = ::GetDeviceCaps(hScreen, BITSPIXEL) * ::GetDeviceCaps(hScreen, PLANES);
    ::ReleaseDC(NULL, hScreen);
    pWnd->m_bLayered = pWnd->m_pImage != NULL && g_pExportedFuncs != NULL &&
                       g_pExportedFuncs->pUpdateLayeredWindow != NULL && nBits > 8;
    g_pDragImageWnd = pWnd;

    LPCSTR lpszClass = AfxRegisterWndClass(CS_OWNDC, ::LoadCursorA(NULL, IDC_ARROW));
    DWORD dwExStyle = WS_EX_TOPMOST;
    if (pWnd->m_bLayered)
        dwExStyle |= WS_EX_LAYERED | WS_EX_TRANSPARENT;
    CWinThread* pThread = AfxGetThread();
    HWND hOwner = pThread != NULL && pThread->m_pMainWnd != NULL ? pThread->m_pMainWnd->m_hWnd : NULL;
    s_pBeingCreated = pWnd;
    const BOOL bCreated = lpszClass != NULL &&
                          pWnd->CreateEx(dwExStyle, lpszClass, "", WS_POPUP | WS_VISIBLE | WS_DISABLED, rcWindow.left,
                                         rcWindow.top, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top,
                                         hOwner, NULL);
    const bool bObjectLives = s_pBeingCreated == pWnd;
    s_pBeingCreated = NULL;
    if (!bObjectLives) {
        g_pDragImageWnd = NULL;
        return;
    }
    pWnd->m_pImage = NULL;
    pWnd->m_pImagePos = NULL;
    pWnd->m_pHoles = NULL;
    pWnd->m_nHoles = 0;
    pWnd->m_pColorKey = NULL;
    if (!bCreated) {
        g_pDragImageWnd = NULL;
        // A window that never came to be has no PostNcDestroy to free it.
        if (pWnd->m_hWnd == NULL)
            delete pWnd;
    }
}

void MoveDragImage(DWORD dwEffect, int x, int y)
{
    CDragImageWnd* pWnd = g_pDragImageWnd;
    if (pWnd == NULL || pWnd->m_hWnd == NULL || dwEffect == DROPEFFECT_SCROLL)
        return;
    if (dwEffect == DROPEFFECT_NONE) {
        const POINT pt = {x, y};
        if (::IsWindowVisible(pWnd->m_hWnd) && ::WindowFromPoint(pt) != pWnd->m_hWnd)
            ::ShowWindow(pWnd->m_hWnd, SW_HIDE);
        return;
    }
    if (!::IsWindowVisible(pWnd->m_hWnd))
        ::ShowWindow(pWnd->m_hWnd, SW_SHOWNA);
    ::SetWindowPos(pWnd->m_hWnd, NULL, x - pWnd->m_nHotX, y - pWnd->m_nHotY, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
