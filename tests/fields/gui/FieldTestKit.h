// What the field view's tests and benchmark share: a parent window that
// records the undo steps pushed to it, a view that writes down the outcomes
// it reports, an open collection whose records are our own pictures, the
// program's timer with a multimedia timer that never ticks by itself, and
// seams for the cursor and the wheel.
#pragma once

#include "collection/ImgCache.h"
#include "collection/Smilie.h"
#include "collection/TvnxSave.h"
#include "fields/SmiliesField.h"
#include "services/Busy.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "tests/collection/PictureSamples.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "ui3d/system/VTimer.h"

#include <string>
#include <vector>

namespace fieldkit {

inline MMRESULT WINAPI FakeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT)
{
    return 4713;
}

inline MMRESULT WINAPI FakeKillEvent(UINT)
{
    return TIMERR_NOERROR;
}

// The program's timer, ticked only by hand.
class HandTimer
{
public:
    HandTimer()
    {
        CVTimer::s_pfnSetEvent = FakeSetEvent;
        CVTimer::s_pfnKillEvent = FakeKillEvent;
        g_pVTimer = new CVTimer();
    }
    ~HandTimer()
    {
        delete g_pVTimer;
        g_pVTimer = NULL;
        CVTimer::s_pfnSetEvent = timeSetEvent;
        CVTimer::s_pfnKillEvent = timeKillEvent;
    }
    // The divider of a window's timer client, 0 when there is none.
    static int Divider(HWND hWnd, int nId)
    {
        for (int i = 0; g_pVTimer != NULL && i < g_pVTimer->m_Clients.GetSize(); i++) {
            const CVTimer::CTimerClient& c = g_pVTimer->m_Clients[i];
            if (c.hWnd == hWnd && c.nId == nId)
                return c.nDivider;
        }
        return 0;
    }
};

// A top-level window the fields live in; it counts the undo steps, and the
// undo and redo asked of it (it always has one to give).
class ParentWindow
{
public:
    ParentWindow(int x = 40, int y = 40, int cx = 600, int cy = 500)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvnxFieldTestParent";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(WS_EX_TOPMOST, "TvnxFieldTestParent", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x,
                                 y, cx, cy, NULL, NULL, GetModuleHandleA(NULL), NULL);
        s_nUndoSteps = 0;
    }
    ~ParentWindow()
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    CWnd* Wnd() const { return CWnd::FromHandle(m_hWnd); }

    HWND m_hWnd;
    static inline int s_nUndoSteps = 0;
    static inline int s_nUndone = 0, s_nRedone = 0;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_PUSHUNDO)
            s_nUndoSteps++;
        if (message == WM_CANUNDO || message == WM_CANREDO)
            return 1;
        if (message == WM_UNDO_FIELDS || message == WM_REDO_FIELDS) {
            (message == WM_UNDO_FIELDS ? s_nUndone : s_nRedone)++;
            return 1;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
};

// A field view that writes down what it reports.
class RecordingField : public CSmiliesField
{
public:
    void OnSmilieClick(POINT*, CSmilie* pSmilie) override { clicks.push_back(pSmilie); }
    void OnFieldMenu(POINT*) override { nFieldMenus++; }
    void OnSmilieMenu(POINT*) override { nSmilieMenus++; }
    void BeginDrag(CSequence<const CSmilie*>* pList, int, int, BOOL bLeft) override
    {
        std::vector<const CSmilie*> list;
        for (int i = 0; i < pList->GetSize(); i++)
            list.push_back((*pList)[i]);
        drags.push_back(list);
        dragLeft.push_back(bLeft);
    }
    void OnSmilieResizeStart(CSmilie* pSmilie, int, int) override { resizes.push_back(pSmilie); }
    using CSmiliesField::StartSmilieAnimation;

    std::vector<CSmilie*> clicks;
    std::vector<std::vector<const CSmilie*>> drags;
    std::vector<BOOL> dragLeft;
    std::vector<CSmilie*> resizes;
    int nFieldMenus = 0;
    int nSmilieMenus = 0;
};

// Grid defaults of a test field: rows, the tile, no mask, no font.
inline FIELDGRIDDEFAULTS Grid(int nRows = 128, COLORREF clrBack = RGB(200, 210, 220), UINT nTile = 0)
{
    FIELDGRIDDEFAULTS grid;
    grid.nRows = nRows;
    grid.clrBack = clrBack;
    grid.clrGrid = RGB(128, 128, 128);
    grid.nTileBitmapId = nTile;
    return grid;
}

inline CELLLOOK Look()
{
    CELLLOOK look = {RGB(200, 200, 200), RGB(0, 0, 190), RGB(255, 255, 255), RGB(160, 160, 160),
                     RGB(96, 96, 96), RGB(128, 128, 255), 0, 3};
    return look;
}

// Creates and shows the field at (0, 0) of the parent.
inline bool MakeField(CSmiliesField& field, const ParentWindow& parent, int cx, int cy, int nCellWidth,
                      int nCellHeight, const FIELDGRIDDEFAULTS& grid = Grid())
{
    const RECT rc = {0, 0, cx, cy};
    const CELLLOOK look = Look();
    const SIZE cell = {nCellWidth, nCellHeight};
    if (!field.Create(parent.Wnd(), &grid, &look, &rc, cell))
        return false;
    field.ShowWindow(SW_SHOW);
    return true;
}

// Fills the first n cells in reading order with smilies without picture.
inline void Fill(CSmiliesField& field, int n)
{
    const int nColumns = field.GetColumnCount();
    for (int i = 0; i < n; i++) {
        const POINT cell = {i % nColumns, i / nColumns};
        field.AddSmilie(&cell, 0, "", NULL);
    }
    field.UpdateScrollRange(TRUE);
}

// An animated GIF of two frames (delays in hundredths of a second), one
// colour each, cx by cy.
inline Bytes AnimatedGif(int cx, int cy, int nDelay1, int nDelay2, COLORREF clr1 = RGB(255, 0, 0),
                         COLORREF clr2 = RGB(0, 0, 255))
{
    GifRecipe gif;
    gif.cx = cx;
    gif.cy = cy;
    gif.globalTable = {clr1, clr2};
    for (int i = 0; i < 2; i++) {
        GifFrameRecipe frame;
        frame.cx = cx;
        frame.cy = cy;
        frame.pixels.assign(static_cast<size_t>(cx) * cy, BYTE(i));
        frame.bControl = true;
        frame.nDelayCs = i == 0 ? nDelay1 : nDelay2;
        gif.frames.push_back(frame);
    }
    return MakeGif(gif);
}

inline Bytes SolidBmp(int cx, int cy, COLORREF clr)
{
    BmpRecipe bmp;
    bmp.cx = cx;
    bmp.cy = cy;
    bmp.pixels.assign(static_cast<size_t>(cx) * cy, clr);
    return MakeBmp(bmp);
}

// The given pictures as records 1, 2, ... of the open collection, and an
// image cache bound to it, for the life of the object.
class OpenPictures
{
public:
    explicit OpenPictures(const std::vector<Bytes>& pictures)
    {
        TestCollection c;
        for (size_t i = 0; i < pictures.size(); i++)
            c.records.push_back(Rec(static_cast<uint32_t>(i + 1), "pic" + std::to_string(i + 1) + ".gif", pictures[i]));
        const std::string strPath = m_dir.Path("field.tvnx");
        m_bOpen = WriteBytes(strPath, c.Build());
        g_pCollectionFile = new CTvnxSave;
        m_bOpen = m_bOpen && g_pCollectionFile->OpenCollection(strPath.c_str(), FALSE, 0) == 0;
        g_pImgCache = new CImgCache;
        g_pImgCache->Reset();
    }
    ~OpenPictures()
    {
        delete g_pImgCache;
        g_pImgCache = NULL;
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
    }
    bool IsOpen() const { return m_bOpen; }

private:
    TvnxTempDir m_dir;
    bool m_bOpen;
};

// The cursor the view reads, in screen coordinates.
inline POINT& CursorPos()
{
    static POINT s_pt = {0, 0};
    return s_pt;
}

inline BOOL WINAPI FakeGetCursorPos(LPPOINT ppt)
{
    *ppt = CursorPos();
    return TRUE;
}

}  // namespace fieldkit

// The benchmark shares the kit without GoogleTest.
#ifndef FIELDKIT_NO_GTEST
#include <gtest/gtest.h>

namespace fieldkit {

// The fixture of the window tests: a parent on top, the hand-ticked timer,
// the cursor seam, the cell toolbar on, and the busy state enabled with hooks
// that name no main window.
class FieldFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = g_Settings;
        g_Settings.SmilieToolbar = 1;
        g_Settings.ShowCensoredSmilies = 0;
        g_Settings.SmilieLocalMark = 0;
        CSmiliesField::s_pfnGetCursorPos = FakeGetCursorPos;
        CursorPos() = POINT{-100, -100};
        BUSYHOOKS hooks = {};
        SetBusyHooks(&hooks);
        g_BusyEnabled = TRUE;
    }
    void TearDown() override
    {
        g_BusyEnabled = FALSE;
        SetBusyHooks(NULL);
        CSmiliesField::s_pfnGetCursorPos = ::GetCursorPos;
        g_Settings = m_saved;
    }

    static LRESULT Send(CWnd& wnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(wnd.m_hWnd, message, wParam, lParam);
    }
    static void Move(CWnd& wnd, int x, int y, UINT nFlags = 0) { Send(wnd, WM_MOUSEMOVE, nFlags, MAKELPARAM(x, y)); }
    // Puts the seam's cursor on a client point of the window.
    static void PlaceCursor(CWnd& wnd, int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(wnd.m_hWnd, &pt);
        CursorPos() = pt;
    }

    HandTimer m_timer;
    ParentWindow m_parent;
    APPSETTINGS m_saved;
};

}  // namespace fieldkit
#endif
