// LoadSkin of the Standard skin against decoding its pictures alone: each as
// the first thing a new process does (what the user waits for at start-up)
// and warm. Run by hand under Wine:
//   wine bench_skin.exe [rounds]
// The first loads run in child processes of the bench (the same program with
// "first-load" or "first-decode"), which report their time in microseconds
// as their exit code.
#include "collection/ImageReader.h"
#include "skins/SkinLoader.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string OwnPath()
{
    char sz[MAX_PATH] = "";
    GetModuleFileNameA(NULL, sz, sizeof(sz));
    return sz;
}

// build/tests/bench/bench_skin.exe -> build/dist/Skins/Standard/
std::string SkinFolder()
{
    std::string path = OwnPath();
    for (int i = 0; i < 3; ++i)
        path = path.substr(0, path.rfind('\\'));
    return path + "\\dist\\Skins\\Standard\\";
}

double Millis(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart;
}

// Decodes every picture of the folder once; returns how many.
int DecodePictures(const std::string& folder)
{
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const char* pszExt = strrchr(fd.cFileName, '.');
        if (pszExt != NULL && (_stricmp(pszExt, ".png") == 0 || _stricmp(pszExt, ".gif") == 0 ||
                               _stricmp(pszExt, ".bmp") == 0 || _stricmp(pszExt, ".jpg") == 0)) {
            CImageReader image;
            if (CImageReader::LoadFromFile((folder + fd.cFileName).c_str(), image, FALSE))
                ++n;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

double TimeLoad(const std::string& folder)
{
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    const int nResult = LoadSkin((folder + "Standard.skn").c_str());
    QueryPerformanceCounter(&b);
    if (nResult != SKINPARSE_OK)
        std::printf("warning: LoadSkin gave %d\n", nResult);
    return Millis(a, b);
}

double TimeDecode(const std::string& folder)
{
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    DecodePictures(folder);
    QueryPerformanceCounter(&b);
    return Millis(a, b);
}

// Runs this program with one argument and takes its exit code as microseconds.
double FirstInChild(const char* pszMode)
{
    std::string cmd = "\"" + OwnPath() + "\" " + pszMode;
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD dwCode = 0;
    GetExitCodeProcess(pi.hProcess, &dwCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return dwCode / 1000.0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = SkinFolder();
    if (argc > 1 && strcmp(argv[1], "first-load") == 0)
        return static_cast<int>(TimeLoad(folder) * 1000);
    if (argc > 1 && strcmp(argv[1], "first-load-gdi-up") == 0) {
        // The same after the process's first use of the display (which a
        // program that has made a window has paid already).
        ReleaseDC(NULL, GetDC(NULL));
        return static_cast<int>(TimeLoad(folder) * 1000);
    }
    if (argc > 1 && strcmp(argv[1], "first-decode") == 0)
        return static_cast<int>(TimeDecode(folder) * 1000);

    if (argc > 1 && strcmp(argv[1], "phases") == 0) {
        LARGE_INTEGER t[5];
        QueryPerformanceCounter(&t[0]);
        g_pSkin = new CSkin();
        CSkinParamTable* pTable = new CSkinParamTable;
        BuildSkinParams(*pTable);
        QueryPerformanceCounter(&t[1]);
        ParseSkinFile((folder + "Standard.skn").c_str(), *pTable);
        QueryPerformanceCounter(&t[2]);
        FillSkin(*g_pSkin, *pTable);
        QueryPerformanceCounter(&t[3]);
        delete pTable;
        QueryPerformanceCounter(&t[4]);
        std::printf("first load in phases: table %.2f, parse %.2f, fill %.2f, free %.2f ms\n", Millis(t[0], t[1]),
                    Millis(t[1], t[2]), Millis(t[2], t[3]), Millis(t[3], t[4]));
        return 0;
    }
    const int nRounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    std::printf("skin folder %s, %d pictures\n", folder.c_str(), DecodePictures(folder));
    std::vector<double> firstLoad, firstLoadGdiUp, firstDecode, warmLoad, warmDecode;
    for (int i = 0; i < std::min(nRounds, 9); ++i) {
        firstDecode.push_back(FirstInChild("first-decode"));
        firstLoad.push_back(FirstInChild("first-load"));
        firstLoadGdiUp.push_back(FirstInChild("first-load-gdi-up"));
    }
    for (int i = 0; i < nRounds; ++i) {
        warmDecode.push_back(TimeDecode(folder));
        warmLoad.push_back(TimeLoad(folder));
    }
    std::printf("first in a process: LoadSkin %.2f ms, decoding %.2f ms, ratio %.2fx (goal at most 1.5x)\n",
                Median(firstLoad), Median(firstDecode), Median(firstLoad) / Median(firstDecode));
    std::printf("first, display in use before: LoadSkin %.2f ms, ratio %.2fx\n", Median(firstLoadGdiUp),
                Median(firstLoadGdiUp) / Median(firstDecode));
    std::printf("warm:               LoadSkin %.2f ms, decoding %.2f ms, ratio %.2fx\n", Median(warmLoad),
                Median(warmDecode), Median(warmLoad) / Median(warmDecode));
    return 0;
}
