// The gallery's pictures of the smilie field view: one field in the plain
// look and one in the gradient look, with the skin's grid and cell look,
// holding animated faces and phrases. The first picture of each shows two
// selected smilies, a pressed one and a hovered one with its toolbar; the
// second the focus cell and a hovered empty cell with its mark.
#include "tests/tools/gallery/GallerySnap.h"

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "fields/SmiliesField.h"
#include "services/Settings.h"
#include "skins/Skin.h"

#include <stdio.h>

namespace {

const int kCellWidth = 48, kCellHeight = 46, kColumns = 5, kRows = 4;

LRESULT CALLBACK FieldParentProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void FillField(CSmiliesField& field, uint32_t nFace)
{
    const POINT faces[] = {{0, 0}, {1, 0}, {2, 0}, {4, 0}, {0, 1}, {2, 1}, {3, 1}, {1, 3}, {4, 2}};
    for (const POINT& cell : faces)
        field.AddSmilie(&cell, nFace, "", NULL);
    const struct {
        POINT cell;
        const char* pszPhrase;
    } phrases[] = {{{1, 1}, "Hello there!"}, {{4, 1}, ":-)"}, {{0, 2}, "See you"}, {{2, 2}, "LOL"}};
    for (const auto& p : phrases)
        field.AddSmilie(&p.cell, 0, p.pszPhrase, NULL);
    field.UpdateScrollRange(TRUE);
}

}  // namespace

void ShowSmilieFields()
{
    uint32_t nFace = 0;
    if (!OpenScratchCollection("tvnx-gallery-fields.tvnx", "face.gif", &nFace))
        return;
    const APPSETTINGS saved = g_Settings;
    g_Settings.SmilieToolbar = 1;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = FieldParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TvnxGalleryFields";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassA(&wc);
    const int cx = kColumns * kCellWidth, cy = kRows * kCellHeight;
    HWND hParent = CreateWindowExA(WS_EX_TOPMOST, "TvnxGalleryFields", "", WS_POPUP | WS_VISIBLE, 40, 40, cx + 16,
                                   cy + 16, NULL, NULL, GetModuleHandleA(NULL), NULL);
    FIELDGRIDDEFAULTS grid;
    CELLLOOK look = {RGB(200, 200, 200), RGB(190, 0, 0), RGB(255, 255, 255), RGB(160, 160, 160), RGB(96, 96, 96),
                     RGB(128, 128, 255), 0, 3};
    if (g_pSkin != NULL) {
        grid = g_pSkin->m_fieldsLook.grid;
        look = g_pSkin->m_fieldsLook.cellLook;
    }
    const char* names[2][2] = {{"field-plain", "field-plain-focus"}, {"field-gradient", "field-gradient-focus"}};
    for (int nMode = 0; nMode < 2; nMode++) {
        CSmiliesField field;
        const RECT rc = {8, 8, 8 + cx, 8 + cy};
        if (!field.Create(CWnd::FromHandle(hParent), &grid, &look, &rc, SIZE{kCellWidth, kCellHeight})) {
            fprintf(stderr, "the field was not created\n");
            continue;
        }
        field.SetColorMode(nMode, FALSE);
        field.ShowWindow(SW_SHOW);
        FillField(field, nFace);
        Pump();
        field.SetSmilieSelected(TRUE, 1, 0);
        field.SetSmilieSelected(TRUE, 1, 1);
        field.SetSmiliePressed(TRUE, TRUE, 0, 1);
        field.SetSmilieHotPart(SMILIEPART_BODY, TRUE, 3, 1);
        Snap(hParent, names[nMode][0]);

        field.ClearHotState();
        field.DeselectAll();
        field.SetFocusCell(3, 0);
        field.SetHotEmptyCell(1, TRUE, 2, 3);
        Snap(hParent, names[nMode][1]);
        field.DestroyWindow();
    }
    DestroyWindow(hParent);
    Pump();
    g_Settings = saved;
    CloseScratchCollection("tvnx-gallery-fields.tvnx");
}
