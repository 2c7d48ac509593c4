// The gallery's pictures of a smilie drag: the picture that follows the
// cursor with a group of three, the warnings beside the cursor over a mail
// program and over a web browser, and a paste-history group's icon.
#include "tests/tools/gallery/GallerySnap.h"

#include "collection/Smilie.h"
#include "fields/SmiliesDragSource.h"
#include "fields/SmiliesField.h"
#include "fields/SmiliesPasteGroup.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/controls/DragImageWnd.h"

#include <cstdio>

namespace {

// Shows the group's picture as the drag does when it starts.
class CGalleryDragSource : public CODSPictsGroup
{
public:
    using CODSPictsGroup::CODSPictsGroup;
    using CODSPictsGroup::ShowGroupImage;
};

HICON g_hGroupIcon = NULL;

LRESULT CALLBACK IconProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hDC = BeginPaint(hWnd, &ps);
        RECT rc;
        GetClientRect(hWnd, &rc);
        FillRect(hDC, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(hDC, 8, 8, g_hGroupIcon, 32, 32, 0, NULL, DI_NORMAL);
        DrawIconEx(hDC, 48, 8, g_hGroupIcon, 32, 32, 0, NULL, DI_NORMAL);
        EndPaint(hWnd, &ps);
        return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void SnapWarning(const CString& strText, const char* pszName)
{
    CDDWarn warn;
    if (!warn.Create(strText, NULL)) {
        fprintf(stderr, "no warning window\n");
        return;
    }
    warn.MoveTo(POINT{60, 60});
    Pump();
    Snap(warn.m_hWnd, pszName);
}

}  // namespace

void ShowSmilieDrag()
{
    const APPSETTINGS saved = g_Settings;
    g_Settings.SmilieToolbar = 1;
    HWND hParent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 4 * 35 + 16,
                                   2 * 34 + 16, NULL, NULL, GetModuleHandleA(NULL), NULL);
    FIELDGRIDDEFAULTS grid;
    CELLLOOK look = {RGB(200, 200, 200), RGB(190, 0, 0), RGB(255, 255, 255), RGB(160, 160, 160), RGB(96, 96, 96),
                     RGB(128, 128, 255), 0, 3};
    if (g_pSkin != NULL) {
        grid = g_pSkin->m_fieldsLook.grid;
        look = g_pSkin->m_fieldsLook.cellLook;
    }
    CSmiliesField field;
    const RECT rc = {8, 8, 8 + 4 * 35, 8 + 2 * 34};
    if (field.Create(CWnd::FromHandle(hParent), &grid, &look, &rc, SIZE{35, 34})) {
        field.ShowWindow(SW_SHOW);
        const char* phrases[] = {":-)", ";-)", ":-D", ":-P"};
        const POINT cells[] = {{0, 0}, {1, 0}, {1, 1}, {3, 1}};
        for (int i = 0; i < 4; i++)
            field.AddSmilie(&cells[i], 0, phrases[i], NULL);
        Pump();

        // A group of three, grabbed in its first cell; the fourth smilie
        // stays behind.
        SMILIEDRAGDESC desc;
        for (int i = 0; i < 3; i++)
            desc.smilies.Add(field.GetAt(cells[i].x, cells[i].y));
        desc.x = 17;
        desc.y = 17;
        desc.bTaken = FALSE;
        {
            CGalleryDragSource source(&desc, &field);
            source.ShowGroupImage();
            if (g_pDragImageWnd != NULL && g_pDragImageWnd->m_hWnd != NULL) {
                ShowWindow(g_pDragImageWnd->m_hWnd, SW_SHOWNA);
                SetWindowPos(g_pDragImageWnd->m_hWnd, NULL, 260, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                Pump();
                RECT rcImage;
                GetWindowRect(g_pDragImageWnd->m_hWnd, &rcImage);
                InflateRect(&rcImage, 8, 8);
                SnapArea(rcImage, "drag-group-image");
            } else {
                fprintf(stderr, "no drag image\n");
            }
        }
        Pump();

        CSmiliesPasteGroup group;
        for (int i = 0; i < 4; i++)
            group.AddSmilie(field.GetAt(cells[i].x, cells[i].y));
        POINT hot;
        g_hGroupIcon = group.GetIcon(&hot, 32, 32);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = IconProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxGalleryGroupIcon";
        RegisterClassA(&wc);
        HWND hIcon = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 300, 200, 88, 48,
                                     NULL, NULL, GetModuleHandleA(NULL), NULL);
        Pump();
        Snap(hIcon, "paste-group-icon");
        DestroyWindow(hIcon);
        field.DestroyWindow();
    }
    DestroyWindow(hParent);

    CString strMail = GetLangString(483);
    strMail.Replace("[APPNAME]", "Pegasus Mail");
    SnapWarning(strMail, "drag-warning-mail");
    SnapWarning(GetLangString(484), "drag-warning-browser");
    Pump();
    g_Settings = saved;
}
