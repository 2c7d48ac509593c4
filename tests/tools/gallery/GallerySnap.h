// What the gallery's picture functions share (Gallery.cpp defines these):
// snapping a window or a screen area into <name>.png, a bounded pump, and
// the loaded skin's records.
#pragma once

#include "framework/Dialog.h"
#include "framework/ModalAnswerer.h"
#include "ui3d/StyleRecords.h"

#include <windows.h>

#include <string>
#include <vector>

class CTvnxWnd;

// Dispatches what is queued now (bounded).
void Pump();
// Repaints the window, then writes it as it is on the screen.
void Snap(HWND hWnd, const char* pszName);
// Writes that screen area as it is now.
void SnapArea(const RECT& rc, const char* pszName);
// Writes that screen area with everything outside the given windows (their
// shapes) painted a neutral grey.
void SnapWindows(const RECT& rc, const HWND* phWnds, int nWnds, const char* pszName);
const BODYSTYLE* BodyStyle();

// While it lives, snaps each modal dialog that comes up, with its OK button
// focused, under the given name, and ends it with Cancel.
class CDialogSnapper : public CModalAnswerer
{
public:
    explicit CDialogSnapper(const char* pszName) : m_pszName(pszName) { m_pPrevious = AfxSetModalAnswerer(this); }
    ~CDialogSnapper() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnDialog(CDialog* pDialog) override
    {
        SetForegroundWindow(pDialog->m_hWnd);
        SetFocus(GetDlgItem(pDialog->m_hWnd, IDOK));
        Snap(pDialog->m_hWnd, m_pszName);
        return IDCANCEL;
    }

private:
    const char* m_pszName;
    CModalAnswerer* m_pPrevious;
};

// A visible skinned main-window frame at (x, y) of the skin's width and at
// least nHeight high (GalleryShell.cpp); the caller deletes it.
CTvnxWnd* CreateSkinnedFrame(int x, int y, int nHeight);

// An animated GIF of a face, 44 x 40, four frames (GallerySmilieProp.cpp).
std::vector<BYTE> MakeFaceGif();
// An empty collection file: the header and a one-byte layout block.
bool WriteEmptyCollection(const std::string& strPath);
// An empty collection of that name in the temp folder, opened as the program's
// collection file with a new image cache, with the face picture appended under
// pszPicture; false (and said) when the file cannot be written. *pnFace is the
// picture's record, 0 when it could not be appended.
bool OpenScratchCollection(const char* pszFile, const char* pszPicture, uint32_t* pnFace);
// Frees the image cache and the collection file and deletes the file.
void CloseScratchCollection(const char* pszFile);

// The entries kept in their own files.
void ShowPopupMenu();
void ShowMainDlg();
void ShowScrollBars();
void ShowTabStrip();
void ShowParserReports();
void ShowAboutAndProgress();
void ShowTipOfTheDay();
void ShowSmilieProperties();
void ShowFirstTimeWizard();
void ShowOptionsSheet();
void ShowTrayMenu();
void ShowNotices();
void ShowSmilieFields();
void ShowSmilieDrag();
void ShowFieldTabs();
void ShowFieldProperties();
void ShowFieldControl();
void ShowSmiliePreviews();
void ShowFieldMenus();
void ShowFieldContextMenus();
