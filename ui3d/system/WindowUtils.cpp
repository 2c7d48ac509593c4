// Window placement, measuring, the notification area and icon handles (SysUtils.h).
#include "ui3d/system/SysUtils.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>
#include <algorithm>
#include "framework/Exception.h"
#include "framework/Gdi.h"
#include "ui3d/system/ExportedFuncs.h"

int GetEditVisibleLineCount(HWND hEdit)
{
    if (hEdit == NULL || !IsWindow(hEdit))
        return 0;
    RECT rc = {0, 0, 0, 0};
    SendMessageA(hEdit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hEdit, WM_GETFONT, 0, 0));
    HDC hdc = GetDC(NULL);
    if (hdc == NULL)
        return 0;
    HGDIOBJ hOld = SelectObject(hdc, hFont != NULL ? static_cast<HGDIOBJ>(hFont) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA tm;
    memset(&tm, 0, sizeof(tm));
    GetTextMetricsA(hdc, &tm);
    SelectObject(hdc, hOld);
    ReleaseDC(NULL, hdc);
    if (tm.tmHeight <= 0)
        return 0;
    return (rc.bottom - rc.top) / tm.tmHeight;
}

ULONGLONG MeasureText(const RECT& rc, const char* pszText, HFONT hFont)
{
    RECT rcCalc = rc;
    HDC hdc = GetDC(NULL);
    if (hdc == NULL || pszText == NULL) {
        if (hdc != NULL)
            ReleaseDC(NULL, hdc);
        return 0;
    }
    HGDIOBJ hOld = hFont != NULL ? SelectObject(hdc, hFont) : NULL;
    UINT uFormat = DT_CALCRECT | DT_NOPREFIX;
    if (rc.right - rc.left != 1)
        uFormat |= DT_WORDBREAK;
    DrawTextA(hdc, pszText, -1, &rcCalc, uFormat);
    if (hOld != NULL)
        SelectObject(hdc, hOld);
    ReleaseDC(NULL, hdc);
    DWORD cx = static_cast<DWORD>(rcCalc.right - rcCalc.left);
    DWORD cy = static_cast<DWORD>(rcCalc.bottom - rcCalc.top);
    return static_cast<ULONGLONG>(cx) | (static_cast<ULONGLONG>(cy) << 32);
}

namespace {

const int kSnapDistance = 10;

bool Near(LONG a, LONG b)
{
    return labs(a - b) <= kSnapDistance;
}

void MoveRect(RECT& rc, LONG dx, LONG dy)
{
    OffsetRect(&rc, dx, dy);
}

// After a vertical dock, lines the rectangle up with the anchor's left or right edge.
void AlignX(const RECT& rcAnchor, RECT& rc, BOOL& bXSnapped)
{
    if (bXSnapped)
        return;
    if (Near(rc.left, rcAnchor.left)) {
        MoveRect(rc, rcAnchor.left - rc.left, 0);
        bXSnapped = TRUE;
    } else if (Near(rc.right, rcAnchor.right)) {
        MoveRect(rc, rcAnchor.right - rc.right, 0);
        bXSnapped = TRUE;
    }
}

void AlignY(const RECT& rcAnchor, RECT& rc, BOOL& bYSnapped)
{
    if (bYSnapped)
        return;
    if (Near(rc.top, rcAnchor.top)) {
        MoveRect(rc, 0, rcAnchor.top - rc.top);
        bYSnapped = TRUE;
    } else if (Near(rc.bottom, rcAnchor.bottom)) {
        MoveRect(rc, 0, rcAnchor.bottom - rc.bottom);
        bYSnapped = TRUE;
    }
}

} // namespace

void SnapRectToRect(const RECT& rcAnchor, RECT& rc, BOOL& bXSnapped, BOOL& bYSnapped)
{
    if (!bYSnapped) {
        bool bOverlapX = rc.left <= rcAnchor.right && rc.right >= rcAnchor.left;
        if (bOverlapX && Near(rc.top, rcAnchor.bottom)) {
            MoveRect(rc, 0, rcAnchor.bottom - rc.top);
            bYSnapped = TRUE;
            AlignX(rcAnchor, rc, bXSnapped);
        } else if (bOverlapX && Near(rc.bottom, rcAnchor.top)) {
            MoveRect(rc, 0, rcAnchor.top - rc.bottom);
            bYSnapped = TRUE;
            AlignX(rcAnchor, rc, bXSnapped);
        }
    }
    if (!bXSnapped) {
        bool bOverlapY = rc.top <= rcAnchor.bottom && rc.bottom >= rcAnchor.top;
        if (bOverlapY && Near(rc.right, rcAnchor.left)) {
            MoveRect(rc, rcAnchor.left - rc.right, 0);
            bXSnapped = TRUE;
            AlignY(rcAnchor, rc, bYSnapped);
        } else if (bOverlapY && Near(rc.left, rcAnchor.right)) {
            MoveRect(rc, rcAnchor.right - rc.left, 0);
            bXSnapped = TRUE;
            AlignY(rcAnchor, rc, bYSnapped);
        }
    }
}

void KeepWindowOnScreen(HWND hWnd)
{
    RECT rc;
    if (hWnd == NULL || !GetWindowRect(hWnd, &rc))
        return;
    int cxScreen = GetSystemMetrics(SM_CXSCREEN);
    int cyScreen = GetSystemMetrics(SM_CYSCREEN);
    LONG x = rc.left, y = rc.top;
    if (rc.left < 0)
        x = 0;
    else if (rc.right > cxScreen)
        x = cxScreen - (rc.right - rc.left);
    if (rc.top < 0)
        y = 0;
    else if (rc.bottom > cyScreen)
        y = cyScreen - (rc.bottom - rc.top);
    if (x != rc.left || y != rc.top) {
        // A child window is placed in its parent's client coordinates.
        POINT pt = {x, y};
        HWND hParent = (GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) ? GetParent(hWnd) : NULL;
        if (hParent != NULL)
            ScreenToClient(hParent, &pt);
        SetWindowPos(hWnd, NULL, pt.x, pt.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void InvalidateChildrenInRect(HWND hWnd, const RECT* prc)
{
    if (hWnd == NULL)
        return;
    for (HWND hChild = GetWindow(hWnd, GW_CHILD); hChild != NULL; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        if (!IsWindowVisible(hChild))
            continue;
        if (prc != NULL) {
            RECT rc = *prc;
            MapWindowPoints(hWnd, hChild, reinterpret_cast<POINT*>(&rc), 2);
            RECT rcClient;
            GetClientRect(hChild, &rcClient);
            RECT rcPart;
            if (!IntersectRect(&rcPart, &rc, &rcClient))
                continue;
            InvalidateRect(hChild, &rcPart, FALSE);
        } else {
            InvalidateRect(hChild, NULL, FALSE);
        }
        UpdateWindow(hChild);
    }
}

UINT GetFreeChildId(HWND hParent, UINT nFirstId)
{
    if (hParent == NULL || nFirstId >= 0x80000000u)
        return 0;
    std::vector<UINT> used;
    for (HWND hChild = GetWindow(hParent, GW_CHILD); hChild != NULL; hChild = GetWindow(hChild, GW_HWNDNEXT))
        used.push_back(static_cast<UINT>(GetDlgCtrlID(hChild)));
    std::sort(used.begin(), used.end());
    UINT nId = nFirstId;
    for (UINT nUsed : used) {
        if (nUsed < nId)
            continue;
        if (nUsed > nId)
            break;
        nId++;
    }
    return nId < 0x80000000u ? nId : 0;
}

namespace {

BOOL CALLBACK FindTrayNotifyChild(HWND hWnd, LPARAM lParam)
{
    char szClass[64];
    if (GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && lstrcmpiA(szClass, "TrayNotifyWnd") == 0) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

BOOL GetTrayNotifyRect(RECT* prc, CBitmap* pBitmap, BYTE** ppMask)
{
    if (ppMask != NULL)
        *ppMask = NULL;
    if (prc == NULL)
        return FALSE;
    HWND hTaskbar = FindWindowA("Shell_TrayWnd", NULL);
    if (hTaskbar == NULL)
        return FALSE;
    HWND hNotify = NULL;
    EnumChildWindows(hTaskbar, FindTrayNotifyChild, reinterpret_cast<LPARAM>(&hNotify));
    if (hNotify == NULL || !GetWindowRect(hNotify, prc))
        return FALSE;
    if (pBitmap == NULL && ppMask == NULL)
        return TRUE;

    int cx = prc->right - prc->left, cy = prc->bottom - prc->top;
    if (cx <= 0 || cy <= 0)
        return FALSE;
    HDC hdcScreen = GetDC(NULL);
    if (hdcScreen == NULL)
        return FALSE;
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = CreateCompatibleBitmap(hdcScreen, cx, cy);
    BOOL bOk = hdcMem != NULL && hbm != NULL;
    if (bOk) {
        HGDIOBJ hOld = SelectObject(hdcMem, hbm);
        BitBlt(hdcMem, 0, 0, cx, cy, hdcScreen, prc->left, prc->top, SRCCOPY);
        SelectObject(hdcMem, hOld);
    }
    if (bOk && ppMask != NULL) {
        BITMAPINFO bmi;
        memset(&bmi, 0, sizeof(bmi));
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;  // top-down rows
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        std::vector<BYTE> pixels(static_cast<size_t>(cx) * cy * 4);
        BYTE* pMask = NULL;
        if (GetDIBits(hdcMem, hbm, 0, cy, pixels.data(), &bmi, DIB_RGB_COLORS) == cy)
            pMask = new (std::nothrow) BYTE[static_cast<size_t>(cx) * cy];
        if (pMask != NULL) {
            for (size_t i = 0; i < static_cast<size_t>(cx) * cy; i++) {
                const BYTE* px = &pixels[i * 4];
                pMask[i] = (px[0] + px[1] + px[2]) / 3 >= 230 ? 0xFF : 0;
            }
            *ppMask = pMask;
        } else {
            bOk = FALSE;
        }
    }
    if (hdcMem != NULL)
        DeleteDC(hdcMem);
    ReleaseDC(NULL, hdcScreen);
    if (bOk && pBitmap != NULL) {
        pBitmap->DeleteObject();
        pBitmap->Attach(hbm);
        hbm = NULL;
    }
    if (hbm != NULL)
        DeleteObject(hbm);
    return bOk;
}

BOOL FindSubBitmap(int cxLarge, int cyLarge, int cxSmall, int cySmall, const BYTE* pLarge,
                   const BYTE* pSmall, POINT* pptFound)
{
    if (cxLarge <= 0 || cyLarge <= 0 || cxSmall <= 0 || cySmall <= 0 || cxSmall > cxLarge ||
        cySmall > cyLarge || pLarge == NULL || pSmall == NULL)
        return FALSE;
    for (int y = 0; y <= cyLarge - cySmall; y++) {
        for (int x = 0; x <= cxLarge - cxSmall; x++) {
            int row = 0;
            while (row < cySmall &&
                   memcmp(pLarge + static_cast<size_t>(y + row) * cxLarge + x,
                          pSmall + static_cast<size_t>(row) * cxSmall, cxSmall) == 0)
                row++;
            if (row == cySmall) {
                if (pptFound != NULL) {
                    pptFound->x = x;
                    pptFound->y = y;
                }
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL FlashWindowBriefly(HWND hWnd)
{
    if (hWnd == NULL || !IsWindow(hWnd))
        return FALSE;
    CExportedFuncs* pFuncs = g_pExportedFuncs;
    if (pFuncs == NULL || pFuncs->pFlashWindowEx == NULL) {
        FlashWindow(hWnd, TRUE);
        return TRUE;
    }
    // The system may report a flash count of 0 (and the blink time may be
    // "never"); one flash at an ordinary rate keeps the flash brief either way.
    UINT nCount = 0;
    if (!SystemParametersInfoA(SPI_GETFOREGROUNDFLASHCOUNT, 0, &nCount, 0) || nCount == 0)
        nCount = 1;
    UINT nBlink = GetCaretBlinkTime();
    if (nBlink == 0 || nBlink == INFINITE || nBlink > 5000)
        nBlink = 500;
    FLASHWINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.hwnd = hWnd;
    info.dwFlags = FLASHW_CAPTION;
    info.uCount = nCount;
    info.dwTimeout = nBlink / (3 * nCount);
    pFuncs->pFlashWindowEx(&info);
    return TRUE;
}

BOOL LoadIconResource(HMODULE hModule, CIconHolder& holder, UINT nId)
{
    holder.m_hIcon = static_cast<HICON>(
        LoadImageA(hModule, MAKEINTRESOURCEA(nId), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    return holder.m_hIcon != NULL;
}

void DestroyIconHandle(CIconHolder& holder)
{
    if (holder.m_hIcon != NULL) {
        DestroyIcon(holder.m_hIcon);
        holder.m_hIcon = NULL;
    }
}
