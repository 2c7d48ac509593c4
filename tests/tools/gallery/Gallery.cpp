// The gallery: opens the skinned windows with the Standard skin and writes a
// PNG of each into a folder, so that the look can be seen without a person
// at the desktop. Adding a window is one row of kEntries and a function that
// shows it and calls Snap.
//
//   gallery.exe <output folder> <skin file>
#include "tests/tools/gallery/GallerySnap.h"

#include "services/Languages.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "skins/SkinLoader.h"
#include "skins/SkinScan.h"
#include "services/Settings.h"
#include "tests/ui3d/gui/PropertySheetIds.h"
#include "tests/ui3d/gui/SkinnedDialogIds.h"
#include "ui3d/controls/3DButton.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/dialogs/3DPropertySheet.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/controls/LinkButton.h"
#include "ui3d/dialogs/3DDialog.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include <png.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

std::string g_strFolder;
int g_nWritten;
std::vector<std::string> g_names;

// index.html beside the pictures: every picture with its name, in the order
// they were taken, so the whole look is seen on one page.
void WriteIndex()
{
    FILE* f = fopen((g_strFolder + "\\index.html").c_str(), "w");
    if (f == NULL)
        return;
    fprintf(f, "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Gallery</title>\n"
               "<style>body{font-family:sans-serif;background:#eceff2;margin:16px}"
               "figure{display:inline-block;vertical-align:top;margin:8px;padding:8px;background:#fff;"
               "border:1px solid #c8ccd2}figcaption{font-size:13px;margin-top:6px}</style></head>\n"
               "<body><h1>Gallery: %d pictures</h1>\n"
               "<p>In the colours of a first start (the default tint and colour scheme, light window "
               "captions); the main-window-scheme pictures show each colour scheme.</p>\n",
            static_cast<int>(g_names.size()));
    for (const std::string& name : g_names)
        fprintf(f, "<figure><img src=\"%s.png\" alt=\"%s\"><figcaption>%s</figcaption></figure>\n", name.c_str(),
                name.c_str(), name.c_str());
    fprintf(f, "</body></html>\n");
    fclose(f);
}

}  // namespace

void Pump()
{
    MSG msg;
    for (int i = 0; i < 2000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); i++) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

bool WritePng(const std::string& path, int cx, int cy, const std::vector<BYTE>& bgra)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (f == NULL)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png != NULL ? png_create_info_struct(png) : NULL;
    bool bOk = false;
    if (info != NULL && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, cx, cy, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<BYTE> row(cx * 3);
        for (int y = 0; y < cy; y++) {
            const BYTE* p = &bgra[static_cast<size_t>(y) * cx * 4];
            for (int x = 0; x < cx; x++) {
                row[x * 3] = p[x * 4 + 2];
                row[x * 3 + 1] = p[x * 4 + 1];
                row[x * 3 + 2] = p[x * 4];
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, NULL);
        bOk = true;
    }
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return bOk;
}

}  // namespace

// The gallery's windows are on top and opaque (no fading): what the screen
// shows is what they drew.
void Snap(HWND hWnd, const char* pszName)
{
    RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT rc;
    GetWindowRect(hWnd, &rc);
    SnapWindows(rc, &hWnd, 1, pszName);
}

void SnapArea(const RECT& rc, const char* pszName)
{
    SnapWindows(rc, NULL, 0, pszName);
}

// What lies outside the named windows (the bare screen, another window) is
// painted this neutral grey, so a picture shows only what it names.
const COLORREF kOutside = RGB(0xD8, 0xDB, 0xDF);

void SnapWindows(const RECT& rc, const HWND* phWnds, int nWnds, const char* pszName)
{
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return;
    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HBITMAP hDib = CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &pBits, NULL, 0);
    HGDIOBJ hOld = SelectObject(hMem, hDib);
    BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    std::vector<BYTE> bgra(static_cast<BYTE*>(pBits), static_cast<BYTE*>(pBits) + static_cast<size_t>(cx) * cy * 4);
    SelectObject(hMem, hOld);
    DeleteObject(hDib);
    DeleteDC(hMem);
    ReleaseDC(NULL, hScreen);
    if (nWnds > 0) {
        // The union of the windows' shapes (a window region where one is set),
        // in the picture's coordinates.
        HRGN hKeep = CreateRectRgn(0, 0, 0, 0);
        for (int i = 0; i < nWnds; i++) {
            RECT rcWnd;
            if (!IsWindowVisible(phWnds[i]) || !GetWindowRect(phWnds[i], &rcWnd))
                continue;
            HRGN hWnd = CreateRectRgn(0, 0, rcWnd.right - rcWnd.left, rcWnd.bottom - rcWnd.top);
            if (GetWindowRgn(phWnds[i], hWnd) == ERROR)
                SetRectRgn(hWnd, 0, 0, rcWnd.right - rcWnd.left, rcWnd.bottom - rcWnd.top);
            OffsetRgn(hWnd, rcWnd.left - rc.left, rcWnd.top - rc.top);
            CombineRgn(hKeep, hKeep, hWnd, RGN_OR);
            DeleteObject(hWnd);
        }
        for (int y = 0; y < cy; y++)
            for (int x = 0; x < cx; x++) {
                if (PtInRegion(hKeep, x, y))
                    continue;
                BYTE* p = &bgra[(static_cast<size_t>(y) * cx + x) * 4];
                p[0] = GetBValue(kOutside);
                p[1] = GetGValue(kOutside);
                p[2] = GetRValue(kOutside);
            }
        DeleteObject(hKeep);
    }
    const std::string path = g_strFolder + "\\" + pszName + ".png";
    if (WritePng(path, cx, cy, bgra)) {
        g_nWritten++;
        g_names.push_back(pszName);
        printf("%s.png\n", pszName);
    } else {
        fprintf(stderr, "could not write %s\n", path.c_str());
    }
}

const BODYSTYLE* BodyStyle()
{
    return g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL;
}

namespace {

// The skinned dialog with one of each control. The first picture shows the
// template's states (normal, disabled, checked, the default button focused);
// the second the pressed, focused, hovered and selected ones.
void ShowSkinnedDialog()
{
    POINT pt = {40, 40};
    C3DDialog* pDlg = new C3DDialog(&pt, FALSE, BodyStyle(), TRUE,
                                    g_pSkin != NULL ? &g_pSkin->m_tooltipStyle : NULL);
    if (!pDlg->Create(IDD_SKINNED_ALL)) {
        fprintf(stderr, "the skinned dialog was not created\n");
        return;
    }
    HWND hDlg = pDlg->m_hWnd;
    HWND hCombo = GetDlgItem(hDlg, IDC_SK_COMBO);
    for (const char* psz : {"First entry", "Second entry", "Third entry"})
        SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz));
    SendMessageA(hCombo, CB_SETCURSEL, 1, 0);
    SetDlgItemTextA(hDlg, IDC_SK_EDIT, "Edit text");
    SetDlgItemTextA(hDlg, IDC_SK_EDIT_BIG, "Opens a large editor");
    SetDlgItemTextA(hDlg, IDC_SK_EDIT_MULTI, "Several lines\r\nof text");
    SetDlgItemTextA(hDlg, IDC_SK_EDIT_DISABLED, "Disabled edit");
    SendDlgItemMessageA(hDlg, IDC_SK_CHECK_ON, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(hDlg, IDC_SK_RADIO1, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(hDlg, IDC_SK_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("standard list"));
    SetForegroundWindow(hDlg);
    SetFocus(GetDlgItem(hDlg, IDOK));
    Snap(hDlg, "dialog-controls");

    // Pressed push button, focused check box, hovered link, selected swatch.
    SendDlgItemMessageA(hDlg, IDC_SK_PUSH, BM_SETSTATE, TRUE, 0);
    SetFocus(GetDlgItem(hDlg, IDC_SK_CHECK));
    CWnd* pLink = CWnd::FromHandlePermanent(GetDlgItem(hDlg, IDC_SK_LINK));
    if (pLink != NULL && pLink->IsKindOf(RUNTIME_CLASS(CLinkButton)))
        static_cast<CLinkButton*>(pLink)->SetHover(TRUE);
    SendDlgItemMessageA(hDlg, IDC_SK_COLOR1, WM_CLRSELSET, RGB(255, 128, 0), 0);
    Snap(hDlg, "dialog-states");
    pDlg->DestroyWindow();
    Pump();
}

// A two-page property sheet with tabs and the side picture, as the options
// sheet opens: the first page, then the second after a tab click.
class CSnapSheet : public CModalAnswerer
{
public:
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        C3DPropertySheet* pSheet = static_cast<C3DPropertySheet*>(pDialog);
        pSheet->SetWindowText("Options");
        CheckDlgButton(pSheet->m_hWnd, IDC_PS_CHECK, BST_CHECKED);
        CheckDlgButton(pSheet->m_hWnd, IDC_PS_RADIO2, BST_CHECKED);
        CheckDlgButton(pSheet->m_hWnd, IDC_PS_TAKEN1, BST_CHECKED);
        SetDlgItemTextA(pSheet->m_hWnd, IDC_PS_EDIT, "%APPDATA%\\Tarvenex");
        HWND hCombo = GetDlgItem(pSheet->m_hWnd, IDC_PS_COMBO);
        SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("English"));
        SendMessageA(hCombo, CB_SETCURSEL, 0, 0);
        SetForegroundWindow(pSheet->m_hWnd);
        SetFocus(GetDlgItem(pSheet->m_hWnd, IDOK));
        Snap(pSheet->m_hWnd, "property-sheet");
        if (pSheet->GetPageCount() > 1)
            pSheet->m_TabSel.SelectTab(pSheet->GetPage(1).nTabId);
        Snap(pSheet->m_hWnd, "property-sheet-page2");
        // Reached with Shift+Tab, the strip shows the focus on its tab.
        SetFocus(pSheet->m_TabSel.m_hWnd);
        Snap(pSheet->m_hWnd, "property-sheet-tab-focus");
        return IDCANCEL;
    }
};

void ShowPropertySheet()
{
    const UINT pages[] = {IDD_PS_GENERAL, IDD_PS_LOOK, 0};
    const LPCSTR titles[] = {"General", "Fields look", NULL};
    PROPSHEETARGS args;
    args.pPageIds = pages;
    args.ppTitles = titles;
    args.nImage1 = IDG_PS_SIDE;
    args.nImage2 = IDG_PS_SIDE_MASK;
    if (g_pSkin != NULL) {
        args.pTabLook = &g_pSkin->m_propTabLook;
        args.nTabHeight = g_pSkin->m_nPropTabsHeight;
        args.pToolTipStyle = &g_pSkin->m_tooltipStyle;
    } else {
        args.nTabHeight = 22;
    }
    C3DPropertySheet sheet(BodyStyle(), FALSE, args);
    CSnapSheet answerer;
    CModalAnswerer* pPrevious = AfxSetModalAnswerer(&answerer);
    sheet.DoModal();
    AfxSetModalAnswerer(pPrevious);
    Pump();
}

// Snaps a modal box from inside its loop, then ends it.
class CSnapAnswerer : public CModalAnswerer
{
public:
    explicit CSnapAnswerer(const char* pszName) : m_pszName(pszName) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CSnapAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        Snap(pDialog->m_hWnd, m_pszName);
        return IDCANCEL;
    }

private:
    const char* m_pszName;
    CModalAnswerer* m_pPrevious;
};

// The message box with an icon and a text of several lines; the choice box.
void ShowMessageBoxes()
{
    {
        CSnapAnswerer answerer("message-box");
        MessageBox3D(NULL, "Tarvenex",
                     "The collection was changed since it was last saved.\n\nDo you want to save the changes?",
                     MB_YESNOCANCEL | MB_ICONQUESTION, FALSE, BodyStyle());
    }
    {
        CSnapAnswerer answerer("message-box-notice");
        MessageBox3D(NULL, "Tarvenex", "The picture is larger than 300 KB and was not added.",
                     MB_OK | MB_ICONEXCLAMATION, FALSE, BodyStyle());
    }
    {
        // The default on the second button (its frame), and a long line
        // wrapped at 5/8 of the work area.
        CSnapAnswerer answerer("message-box-wrapped");
        std::string strLong = "The file \"C:\\Documents and Settings\\User\\Application Data\\Tarvenex\\Collections\\"
                              "Everyday smilies.tvnx\" could not be saved.";
        for (int i = 0; i < 4; i++)
            strLong += " The disk may be full, or the file may be open in another program.";
        strLong += "\n\nDo you want to try again?";
        MessageBox3D(NULL, "Tarvenex", strLong.c_str(), MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, FALSE,
                     BodyStyle());
    }
    CSnapAnswerer answerer("choice-box");
    ChoiceBox3D(NULL, "A picture named \"smile.gif\" exists already in this folder.\nReplace it?", FALSE,
                BodyStyle());
}

struct GALLERYENTRY
{
    const char* pszName;
    void (*pfnShow)();
};

const GALLERYENTRY kEntries[] = {
    {"skinned dialog", ShowSkinnedDialog},
    {"popup menu", ShowPopupMenu},
    {"main window with the demo collection and its menus", ShowMainDlg},
    {"scroll bars", ShowScrollBars},
    {"tab strip", ShowTabStrip},
    {"field tabs, their menus and the collections hint", ShowFieldTabs},
    {"loader reports", ShowParserReports},
    {"property sheet", ShowPropertySheet},
    {"message boxes", ShowMessageBoxes},
    {"about box and progress window", ShowAboutAndProgress},
    {"tip of the day and quick-open hint", ShowTipOfTheDay},
    {"smilie properties", ShowSmilieProperties},
    {"field properties", ShowFieldProperties},
    {"smilie previews", ShowSmiliePreviews},
    {"first-time wizard", ShowFirstTimeWizard},
    {"options sheet", ShowOptionsSheet},
    {"tray menu and its colours", ShowTrayMenu},
    {"notices and the messenger exporter", ShowNotices},
    {"smilie fields", ShowSmilieFields},
    {"pieces of the fields' menus", ShowFieldMenus},
    {"field menu, smilie menu and paste history", ShowFieldContextMenus},
    {"field control: its dialogs, move and resize, a part tip", ShowFieldControl},
    {"a smilie drag: its picture, the warnings, a paste group's icon", ShowSmilieDrag},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: gallery <output folder> <skin file>\n");
        return 2;
    }
    g_strFolder = argv[1];
    CreateDirectoryA(argv[1], NULL);
    // As the program does at start-up: the fields register drop targets.
    OleInitialize(NULL);
    CreateExportedFuncs();
    RegisterControlMessages();
    g_pVTimer = new CVTimer();
    LoadSkin(argv[2]);
    // The look a first start gives: the default settings' tint and scheme
    // (scripts/gallery gives the prefix the captions scripts/run gives).
    // The main window is also shown in every scheme.
    SetDefaultSettings();
    ApplySkinColoring();
    // Button captions come from the language: <skin>\..\..\Languages\.
    std::string strLanguages = argv[2];
    for (int n = 0; n < 3; n++) {
        const size_t i = strLanguages.find_last_of("\\/");
        strLanguages.erase(i == std::string::npos ? 0 : i);
    }
    strLanguages += "\\Languages\\";
    if (!LoadLanguages(strLanguages.c_str(), NULL))
        fprintf(stderr, "no language in %s; texts show ERROR\n", strLanguages.c_str());
    if (g_pSkin == NULL)
        fprintf(stderr, "the skin was not loaded; default looks\n");
    for (const GALLERYENTRY& entry : kEntries) {
        printf("-- %s\n", entry.pszName);
        entry.pfnShow();
    }
    WriteIndex();
    g_pCurrentLanguage = NULL;
    delete g_pVTimer;
    g_pVTimer = NULL;
    return g_nWritten > 0 ? 0 : 1;
}
