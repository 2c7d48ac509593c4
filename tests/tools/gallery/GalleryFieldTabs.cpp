// The field tabs with their collections button, the tab menu (its "switch"
// submenu open, the clicked tab's item disabled, and the field-size line of
// Alt with "`"), the collections menu and its hint, the field properties
// dialog, and the smilie preview with a picture and a text.
#include "tests/tools/gallery/GallerySnap.h"

#include "collection/ImgCache.h"
#include "collection/TvnxSave.h"
#include "dialogs/DlgFieldProp.h"
#include "fields/FieldsSwitcher.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "services/KeyState.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "app/TvnxWnd.h"
#include "ui3d/controls/SmiliePreview.h"
#include "ui3d/menus/3DMenu.h"

#include <stdio.h>

#include <string>

namespace {

// Snaps the open menus once they have painted, after optional keys; then closes them.
int g_nKeys = 0;
const UINT* g_pKeys = NULL;
const char* g_pszMenuName = NULL;
DWORD g_nDeadline = 0;
int g_nPhase = 0;

// The visible menu windows (at most eight) and the rectangle round them.
HWND g_hMenus[8];
int g_nMenus = 0;

BOOL VisibleMenusRect(RECT* pRect)
{
    SetRectEmpty(pRect);
    g_nMenus = 0;
    for (HWND h = NULL; (h = FindWindowExA(NULL, h, "#32768", NULL)) != NULL;) {
        if (!IsWindowVisible(h))
            continue;
        UpdateWindow(h);
        RECT rc;
        GetWindowRect(h, &rc);
        UnionRect(pRect, pRect, &rc);
        if (g_nMenus < 8)
            g_hMenus[g_nMenus++] = h;
    }
    return !IsRectEmpty(pRect);
}

VOID CALLBACK MenuTick(HWND, UINT, UINT_PTR, DWORD)
{
    RECT rc;
    const BOOL bVisible = VisibleMenusRect(&rc);
    if (g_nPhase == 0 && bVisible) {
        HWND hTarget = GetFocus() != NULL ? GetFocus() : GetActiveWindow();
        for (int i = 0; i < g_nKeys; i++) {
            PostMessageA(hTarget, WM_KEYDOWN, g_pKeys[i], 0);
            PostMessageA(hTarget, WM_KEYUP, g_pKeys[i], 0);
        }
        g_nPhase = 1;
        g_nDeadline = GetTickCount() + 5000;
        return;
    }
    if (g_nPhase >= 1 && g_nPhase < 6) {
        g_nPhase++;  // a few ticks for the submenu to open and paint
        return;
    }
    if (g_nPhase == 6) {
        if (bVisible)
            SnapWindows(rc, g_hMenus, g_nMenus, g_pszMenuName);
        else
            fprintf(stderr, "no visible menu for %s\n", g_pszMenuName);
        g_nPhase = 7;
        EndMenu();
        return;
    }
    if (static_cast<LONG>(GetTickCount() - g_nDeadline) >= 0)
        EndMenu();
}

// Runs fnOpen (which tracks a menu) and snaps the menus it shows.
template <class Fn> void SnapMenu(const char* pszName, const UINT* pKeys, int nKeys, Fn fnOpen)
{
    g_pszMenuName = pszName;
    g_pKeys = pKeys;
    g_nKeys = nKeys;
    g_nPhase = 0;
    g_nDeadline = GetTickCount() + 5000;
    const UINT_PTR nTimer = SetTimer(NULL, 0, 60, MenuTick);
    fnOpen();
    KillTimer(NULL, nTimer);
    Pump();
}

SHORT WINAPI InfoKeysHeld(int nKey)
{
    return nKey == VK_MENU || nKey == VirtKeyOfChar('`') ? SHORT(0x8000) : 0;
}

// A stand-in for the fields container: answers the switcher's questions.
LRESULT CALLBACK ContainerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETFIELDSMILIES)
        return 12;
    if (message == WM_GETFIELDDATASIZE)
        return 48 * 1024 + 300;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

std::string TempPath(const char* pszName)
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    return std::string(szTemp) + pszName;
}

}  // namespace

void ShowFieldTabs()
{
    CTvnxWnd* pFrame = CreateSkinnedFrame(40, 40, 160);
    if (pFrame == NULL)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "GalleryFieldsStandIn";
    wc.hbrBackground = NULL;
    RegisterClassA(&wc);
    RECT rc = {8, 33, 272, 66};
    if (g_pSkin != NULL && !IsRectEmpty(&g_pSkin->m_fieldsLook.rcTabStrip))
        rc = g_pSkin->m_fieldsLook.rcTabStrip;
    // The container is transparent to the eye: the strip copies the frame behind it.
    HWND hContainer = CreateWindowExA(WS_EX_TRANSPARENT, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                      pFrame->m_hWnd, NULL, wc.hInstance, NULL);
    CWnd container;
    container.Attach(hContainer);
    CTvnxFieldsSwitcher strip;
    if (g_pSkin != NULL)
        strip.m_Look = g_pSkin->m_fieldsLook.tabStrip;
    if (!strip.CreateControl(rc, pFrame, WS_CHILD | WS_VISIBLE)) {
        fprintf(stderr, "the field switcher was not created\n");
    } else {
        // The strip belongs to the container for its questions, but sits on the frame.
        SetParent(strip.m_hWnd, hContainer);
        MoveWindow(hContainer, 0, 0, rc.right + 8, rc.bottom + 8, TRUE);
        static const struct { const char* pszName; COLORREF clr; } kTabs[] = {
            {"Favourites", RGB(255, 88, 72)}, {"Animals", RGB(64, 216, 56)}, {"Faces", RGB(0, 185, 255)},
            {"Food", RGB(230, 230, 0)}, {"Signs", RGB(255, 64, 255)},
        };
        int nId = 0;
        for (const auto& tab : kTabs)
            nId = strip.InsertTab(nId, tab.pszName, tab.clr, 0);
        strip.MeasureTabs();
        strip.UpdateScrollButtons();
        strip.RedrawStrip();
        Snap(pFrame->m_hWnd, "fields-switcher");

        // The tab menu of "Animals" with its "switch" submenu open.
        const UINT keys[] = {VK_DOWN, VK_RIGHT};
        const int nAnimals = strip.GetTabAt(1).nId;
        SnapMenu("fields-tab-menu", keys, 2, [&] {
            POINT pt = {60, 8};
            strip.OnTabContextMenu(pt, nAnimals, "Animals");
        });
        // With Alt and "`" held: the field-size line.
        g_pfnGetAsyncKeyState = InfoKeysHeld;
        SnapMenu("fields-tab-menu-info", NULL, 0, [&] {
            POINT pt = {60, 8};
            strip.OnTabContextMenu(pt, nAnimals, "Animals");
        });
        g_pfnGetAsyncKeyState = ::GetAsyncKeyState;

        // The collections menu from a data folder of two collections, one of them open.
        const std::string strFolder = TempPath("tvnx-gallery-data");
        CreateDirectoryA(strFolder.c_str(), NULL);
        const CString strSavedFolder = g_Settings.AppDataFolder;
        SetAppDataFolder((strFolder + "\\").c_str());
        const std::string strOpen = strFolder + "\\My smilies.tvnx";
        WriteEmptyCollection(strOpen);
        WriteEmptyCollection(strFolder + "\\Office.tvnx");
        CTvnxSave* pSavedFile = g_pCollectionFile;
        g_pCollectionFile = new CTvnxSave;
        g_pCollectionFile->OpenCollection(strOpen.c_str(), FALSE, 0);
        SnapMenu("fields-collections-menu", NULL, 0, [&] { strip.ShowCollectionsMenu(); });
        delete g_pCollectionFile;
        g_pCollectionFile = pSavedFile;
        DeleteFileA(strOpen.c_str());
        DeleteFileA((strFolder + "\\Office.tvnx").c_str());

        // Without collections: the hint under the button.
        strip.ShowCollectionsMenu();
        Pump();
        RECT rcButton, rcHint = {0, 0, 0, 0};
        GetWindowRect(strip.m_Button.m_hWnd, &rcButton);
        HWND hHint = GetCapture();
        if (hHint != NULL)
            GetWindowRect(hHint, &rcHint);
        UnionRect(&rcHint, &rcHint, &rcButton);
        SnapArea(rcHint, "fields-collections-hint");
        if (hHint != NULL)
            SendMessageA(hHint, WM_KEYDOWN, VK_ESCAPE, 0);
        RemoveDirectoryA(strFolder.c_str());
        SetAppDataFolder(strSavedFolder);
        strip.DestroyWindow();
    }
    container.Detach();
    DestroyWindow(hContainer);
    pFrame->DestroyWindow();
    delete pFrame;
    Pump();
}

void ShowFieldProperties()
{
    CString strCaption = "Animals", strTemplate = "[IMG]<smilie>[/IMG]";
    int nWhite = 1;
    {
        CDialogSnapper answerer("field-properties");
        CDlgFieldProp dlg(RGB(64, 216, 56), NULL, &strCaption, &strTemplate, &nWhite, 12, 80, 48 * 1024, 300 * 1024);
        dlg.DoModal();
    }
    {
        // A new field: no counts, its own template, a colour of no swatch.
        CString strNew = "Field 6", strOwn = "";
        int nNoWhite = 0;
        CDialogSnapper answerer("field-properties-new");
        CDlgFieldProp dlg(RGB(20, 90, 140), NULL, &strNew, &strOwn, &nNoWhite, -1, -1, -1, -1);
        dlg.DoModal();
    }
    Pump();
}

void ShowSmiliePreviews()
{
    const std::string strPath = TempPath("tvnx-gallery-preview.gif");
    const std::vector<BYTE> gif = MakeFaceGif();
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n = 0;
    WriteFile(h, gif.data(), DWORD(gif.size()), &n, NULL);
    CloseHandle(h);
    CImgCache* pSaved = g_pImgCache;
    CImgCache cache;
    g_pImgCache = &cache;
    const uint32_t nImage = cache.AddFileImage(strPath.c_str());
    FONTSTYLE style;
    if (g_pSkin != NULL)
        style = g_pSkin->m_previewFont;
    const struct {
        const char* pszName;
        uint32_t nImage;
        const char* pszText;
        BOOL bCensored;
        BOOL bSingleLine;
    } shots[] = {
        {"smilie-preview", nImage, ":-) a smiling face, used 12 times", FALSE, FALSE},
        {"smilie-preview-picture", nImage, "", FALSE, FALSE},
        {"smilie-preview-censored", nImage, "", TRUE, FALSE},
        {"smilie-preview-phrase", 0, "Thank you for your message!\r\nI will answer it tomorrow.", FALSE, FALSE},
    };
    for (const auto& shot : shots) {
        CSmiliePreview* p = CSmiliePreview::ShowImage(shot.pszText, NULL, shot.nImage, 0, shot.bCensored, &style,
                                                      shot.bSingleLine, 300, 300);
        if (p == NULL) {
            fprintf(stderr, "no preview for %s\n", shot.pszName);
            continue;
        }
        const HWND hWnd = p->m_hWnd;
        Pump();
        // The preview alone: its shadow is a layered window, which shows as
        // black without a compositor.
        Snap(hWnd, shot.pszName);
        DestroyWindow(hWnd);
        Pump();
    }
    g_pImgCache = pSaved;
    DeleteFileA(strPath.c_str());
}
