// The main window's first show with the demo collection of the build: the
// time from CTvnxDlg::Create until every cell has been painted (the window
// and all its children updated and no paint left in the queue). Best and
// median of several rounds, each a new window on the collection.
//
//   bench_first_show <skin file> [rounds]
#include "app/TvnxDlg.h"
#include "collection/ImgCache.h"
#include "collection/TvnxSave.h"
#include "services/Languages.h"
#include "services/Settings.h"
#include "skins/SkinLoader.h"
#include "ui3d/controls/ControlBase.h"
#include "ui3d/system/ExportedFuncs.h"
#include "ui3d/system/VTimer.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

int NoBox(CWnd*, LPCSTR pszText, UINT)
{
    fprintf(stderr, "message: %s\n", pszText);
    return IDOK;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: bench_first_show <skin file> [rounds]\n");
        return 2;
    }
    const int nRounds = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    // As the program does at start-up: the fields register drop targets.
    OleInitialize(NULL);
    char sz[MAX_PATH];
    GetModuleFileNameA(NULL, sz, sizeof(sz));
    std::string strBuild = sz;
    for (int n = 0; n < 3; n++)
        strBuild.erase(strBuild.find_last_of("\\/"));
    // A copy, so that a save at the window's end never touches the shipped file.
    GetTempPathA(sizeof(sz), sz);
    const std::string strDemo = std::string(sz) + "tvnx-bench-demo.tvnx";
    if (!CopyFileA((strBuild + "\\dist\\demo.tvnx").c_str(), strDemo.c_str(), FALSE)) {
        fprintf(stderr, "no demo collection in %s\\dist\n", strBuild.c_str());
        return 1;
    }
    SetFileAttributesA(strDemo.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string strLanguages = argv[1];
    for (int n = 0; n < 3; n++)
        strLanguages.erase(strLanguages.find_last_of("\\/"));
    strLanguages += "\\Languages\\";

    CreateExportedFuncs();
    RegisterControlMessages();
    g_pVTimer = new CVTimer();
    LoadSkin(argv[1]);
    LoadLanguages(strLanguages.c_str(), NULL);
    SetDefaultSettings();
    g_Settings.ShowTips = 0;
    GetTempPathA(sizeof(sz), sz);
    SetAppDataFolder(sz);
    CTvnxDlg::s_pfnMessageBox = NoBox;

    std::vector<double> times;
    for (int r = 0; r < nRounds; r++) {
        SetCollectionPath(strDemo.c_str());
        CTvnxDlg* pDlg = new CTvnxDlg;
        const POINT pt = {40, 40};
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        if (!pDlg->Create(300, NULL, NULL, pt)) {
            fprintf(stderr, "the main window was not created\n");
            return 1;
        }
        RedrawWindow(pDlg->m_hWnd, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
        MSG msg;
        while (PeekMessageA(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageA(&msg);
        QueryPerformanceCounter(&b);
        times.push_back(Seconds(a, b));
        if (g_pCollectionFile == NULL || !g_pCollectionFile->IsOpen())
            fprintf(stderr, "the demo did not open\n");
        pDlg->DestroyWindow();
        delete pDlg;
        delete g_pImgCache;
        g_pImgCache = NULL;
        delete g_pCollectionFile;
        g_pCollectionFile = NULL;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    std::sort(times.begin(), times.end());
    printf("first show with the demo collection, %d rounds: best %.1f ms, median %.1f ms\n", nRounds,
           times.front() * 1000, times[times.size() / 2] * 1000);
    delete g_pVTimer;
    g_pVTimer = NULL;
    DeleteFileA(strDemo.c_str());
    return 0;
}
