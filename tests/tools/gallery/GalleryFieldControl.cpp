// The gallery's pictures of what the field control adds: the new-smilie,
// new-phrase and phrase properties dialogs, the in-field resize and move
// controls over a field, and the tooltip of a cell's menu button.
#include "tests/tools/gallery/GallerySnap.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "dialogs/DlgPhraseNew.h"
#include "dialogs/DlgPhraseProp.h"
#include "dialogs/DlgSmilieNew.h"
#include "fields/InFieldControls.h"
#include "fields/SmiliesFieldControl.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/controls/3DToolTip.h"

#include <commctrl.h>
#include <stdio.h>
#include <vector>

namespace {

const int kCell = 48, kColumns = 5, kRows = 3;
HWND g_hParent = NULL;

// A 24-bit picture larger than a cell, in four coloured quarters whose
// corner shows where the picture stands: only a picture larger than its
// cell can be moved inside it.
std::vector<BYTE> BandedBmp(int cx, int cy)
{
    const int nStride = (cx * 3 + 3) & ~3;
    const DWORD nSize = 54 + static_cast<DWORD>(nStride * cy);
    std::vector<BYTE> b(nSize, 0);
    auto put32 = [&](size_t at, DWORD v) {
        for (int i = 0; i < 4; i++)
            b[at + i] = static_cast<BYTE>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, nSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<DWORD>(cx));
    put32(22, static_cast<DWORD>(cy));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < cy; y++) {
        for (int x = 0; x < cx; x++) {
            BYTE* p = &b[54 + static_cast<size_t>(y) * nStride + x * 3];
            // Rows run bottom-up: y < cy / 2 is the lower half.
            static const BYTE kQuarters[4][3] = {{60, 60, 220}, {220, 120, 40}, {40, 180, 60}, {200, 200, 200}};
            const BYTE* q = kQuarters[(x < cx / 2 ? 0 : 1) + (y < cy / 2 ? 2 : 0)];
            p[0] = q[0];
            p[1] = q[1];
            p[2] = q[2];
        }
    }
    return b;
}

LRESULT CALLBACK ParentProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void ShowDialogs()
{
    {
        CDialogSnapper snapper("smilie-new");
        CString strAddress = "http://www.example.com/smilies/wave.gif", strTemplate;
        CDlgSmilieNew dlg(&strAddress, &strTemplate);
        dlg.DoModal();
    }
    {
        CDialogSnapper snapper("phrase-new");
        CString strText = "See you tomorrow!";
        CDlgPhraseNew dlg(&strText);
        dlg.DoModal();
    }
    {
        CDialogSnapper snapper("phrase-properties");
        CSmilie smilie;
        smilie.m_strPhrase = "Good morning, everybody!";
        smilie.m_nUsageCount = 12;
        const SYSTEMTIME date = {2026, 11, 3, 4, 9, 15, 0, 0};
        smilie.m_Date = date;
        CString strText;
        CDlgPhraseProp dlg(&smilie, &strText);
        dlg.DoModal();
    }
    Pump();
}

// Snaps the field with the control over it, then cancels the control.
void SnapControl(CInFieldControl* pControl, const char* pszName, int x, int y, UINT nFlags)
{
    RedrawWindow(g_hParent, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pControl->SendMessage(WM_MOUSEMOVE, nFlags, MAKELPARAM(x, y));
    Pump();
    pControl->UpdateWindow();
    RECT rc;
    GetWindowRect(g_hParent, &rc);
    HWND hWnds[2] = {g_hParent, pControl->m_hWnd};
    SnapWindows(rc, hWnds, 2, pszName);
    pControl->SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
}

void SnapResize(CInFieldControl* p)
{
    SnapControl(p, "field-resize-control", 66, 60, MK_LBUTTON);
}

void SnapMove(CInFieldControl* p)
{
    SnapControl(p, "field-move-control", 36, 32, 0);
}

}  // namespace

void ShowFieldControl()
{
    ShowDialogs();

    uint32_t nFace = 0, nBanded = 0;
    if (!OpenScratchCollection("tvnx-gallery-control.tvnx", "face.gif", &nFace))
        return;
    if (g_pCollectionFile->IsOpen()) {
        const std::vector<BYTE> bmp = BandedBmp(80, 70);
        nBanded = g_pCollectionFile->AppendRecord(bmp.data(), "quarters.bmp", static_cast<uint32_t>(bmp.size()));
    }
    const APPSETTINGS saved = g_Settings;
    g_Settings.SmilieToolbar = 1;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxGalleryFieldControl";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassA(&wc);
    const int cx = kColumns * kCell, cy = kRows * kCell;
    g_hParent = CreateWindowExA(WS_EX_TOPMOST, "TvnxGalleryFieldControl", "", WS_POPUP | WS_VISIBLE, 40, 40, cx + 16,
                                cy + 16, NULL, NULL, GetModuleHandleA(NULL), NULL);
    FIELDGRIDDEFAULTS grid;
    CELLLOOK look = {RGB(200, 200, 200), RGB(190, 0, 0), RGB(255, 255, 255), RGB(160, 160, 160), RGB(96, 96, 96),
                     RGB(128, 128, 255), 0, 3};
    if (g_pSkin != NULL) {
        grid = g_pSkin->m_fieldsLook.grid;
        look = g_pSkin->m_fieldsLook.cellLook;
    }
    CSmiliesFieldControl field;
    const RECT rc = {8, 8, 8 + cx, 8 + cy};
    if (field.Create(CWnd::FromHandle(g_hParent), &grid, &look, &rc, SIZE{kCell, kCell})) {
        field.ShowWindow(SW_SHOW);
        for (int i = 0; i < 7; i++) {
            const POINT cell = {i % kColumns, i / kColumns};
            field.AddSmilie(&cell, i == 3 ? 0 : nFace, i == 3 ? "Hi!" : "", NULL);
        }
        const POINT bandsCell = {2, 1};
        CSmilie* pBanded = field.AddSmilie(&bandsCell, nBanded, "", NULL);
        field.UpdateScrollRange(TRUE);
        Pump();
        CSmilie* pSmilie = field.GetAt(1, 0);

        CInFieldControl::s_pfnLoopStarted = SnapResize;
        CDlgSmilieResize resize;
        resize.Start(pSmilie, NULL);
        Pump();
        // The move measures from where the cursor stands: the cell's centre.
        POINT ptCentre = field.GetCellRect(bandsCell.x, bandsCell.y).CenterPoint();
        ::ClientToScreen(field.m_hWnd, &ptCentre);
        SetCursorPos(ptCentre.x, ptCentre.y);
        Pump();
        CInFieldControl::s_pfnLoopStarted = SnapMove;
        CDlgSmilieReposition move;
        move.Start(pBanded);
        CInFieldControl::s_pfnLoopStarted = NULL;
        Pump();

        // The tip of the menu button of a hot cell.
        const CRect rcCell = field.GetCellRect(2, 0);
        field.SetSmilieHotPart(SMILIEPART_MENU, TRUE, 2, 0);
        // The common tooltip shows only while the cursor is at its tool.
        POINT ptTip = {rcCell.left + 8, rcCell.top + 8};
        ::ClientToScreen(field.m_hWnd, &ptTip);
        SetCursorPos(ptTip.x, ptTip.y);
        // The move that brings the cursor there closes tips: let it pass first.
        Pump();
        field.ShowPartTip(2, rcCell.left + 8, rcCell.top + 8);
        for (int i = 0; i < 20; i++) {
            Pump();
            Sleep(25);
        }
        // The field's window and the tips shown beside it, nothing else.
        RECT rcArea;
        GetWindowRect(g_hParent, &rcArea);
        std::vector<HWND> wnds = {g_hParent};
        for (HWND h = NULL; (h = FindWindowExA(NULL, h, TOOLTIPS_CLASSA, NULL)) != NULL;) {
            if (!IsWindowVisible(h))
                continue;
            RECT rcTip;
            GetWindowRect(h, &rcTip);
            UnionRect(&rcArea, &rcArea, &rcTip);
            wnds.push_back(h);
        }
        SnapWindows(rcArea, wnds.data(), static_cast<int>(wnds.size()), "field-part-tip");
        field.DestroyWindow();
    } else {
        fprintf(stderr, "the field control was not created\n");
    }
    DestroyWindow(g_hParent);
    g_hParent = NULL;
    Pump();
    g_Settings = saved;
    CloseScratchCollection("tvnx-gallery-control.tvnx");
}
