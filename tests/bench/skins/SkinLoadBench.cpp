// LoadSkin of the Standard skin against decoding its pictures alone: each as
// the first thing a new process does (what the user waits for at start-up)
// and warm. Run by hand under Wine:
//   wine bench_skin.exe [rounds]
// The first loads run in child processes of the bench (the same program with
// "first-load" or "first-decode"), which report their time in microseconds
// as their exit code.
#include "collection/ImageReader.h"
#include "skins/SkinLoader.h"
#include "skins/SkinParser.h"

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

double Best(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

// The skin file with every picture parameter set to NONE: its parse is the
// parse of the text alone, without opening and decoding pictures.
std::string WriteWithoutPictures(const std::string& folder)
{
    CSkinParamTable table;
    BuildSkinParams(table);
    FILE* pIn = fopen((folder + "Standard.skn").c_str(), "rb");
    if (pIn == NULL)
        return std::string();
    std::string text;
    char sz[4096];
    size_t n;
    while ((n = fread(sz, 1, sizeof(sz), pIn)) > 0)
        text.append(sz, n);
    fclose(pIn);
    std::string out;
    size_t nAt = 0;
    while (nAt < text.size()) {
        size_t nEnd = text.find('\n', nAt);
        nEnd = nEnd == std::string::npos ? text.size() : nEnd + 1;
        std::string line = text.substr(nAt, nEnd - nAt);
        nAt = nEnd;
        const size_t nName = line.find_first_not_of(" \t");
        const size_t nNameEnd = nName == std::string::npos ? nName : line.find_first_of(" \t=\r\n", nName);
        if (nNameEnd != std::string::npos) {
            const CSkinParam* p = FindSkinParam(table, line.substr(nName, nNameEnd - nName).c_str());
            if (p != NULL && p->GetType() == SKINPARAM_IMG)
                line = line.substr(0, nNameEnd) + " NONE\n";
        }
        out += line;
    }
    const std::string path = folder + "bench-nopictures.skn";
    FILE* pOut = fopen(path.c_str(), "wb");
    if (pOut == NULL)
        return std::string();
    fwrite(out.data(), 1, out.size(), pOut);
    fclose(pOut);
    return path;
}

// LoadSkin's steps one by one (milliseconds): the parameter table, the parse,
// the parse of the text alone (pictures NONE), filling the skin object, and
// freeing the table.
void Phases(const std::string& folder, const std::string& textOnly, double ms[5])
{
    LARGE_INTEGER t[7];
    QueryPerformanceCounter(&t[0]);
    delete g_pSkin;
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
    CSkinParamTable text;
    BuildSkinParams(text);
    QueryPerformanceCounter(&t[5]);
    ParseSkinFile(textOnly.c_str(), text);
    QueryPerformanceCounter(&t[6]);
    ms[0] = Millis(t[0], t[1]);
    ms[1] = Millis(t[1], t[2]);
    ms[2] = Millis(t[5], t[6]);
    ms[3] = Millis(t[2], t[3]);
    ms[4] = Millis(t[3], t[4]);
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
        double ms[5];
        Phases(folder, WriteWithoutPictures(folder), ms);
        std::printf("first load in phases: table %.2f, parse %.2f (the text alone %.2f), fill copying the pictures "
                    "%.2f, free %.2f ms\n",
                    ms[0], ms[1], ms[2], ms[3], ms[4]);
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
    std::printf("first in a process, %d rounds: LoadSkin best %.2f ms, median %.2f ms; decoding best %.2f ms, "
                "median %.2f ms; ratio best %.2fx, median %.2fx (goal at most 1.2x)\n",
                static_cast<int>(firstLoad.size()), Best(firstLoad), Median(firstLoad), Best(firstDecode),
                Median(firstDecode), Best(firstLoad) / Best(firstDecode), Median(firstLoad) / Median(firstDecode));
    std::printf("first, display in use before: LoadSkin best %.2f ms, median %.2f ms; ratio best %.2fx, median "
                "%.2fx\n",
                Best(firstLoadGdiUp), Median(firstLoadGdiUp), Best(firstLoadGdiUp) / Best(firstDecode),
                Median(firstLoadGdiUp) / Median(firstDecode));
    std::printf("warm, %d rounds: LoadSkin best %.2f ms, median %.2f ms; decoding best %.2f ms, median %.2f ms; "
                "ratio best %.2fx, median %.2fx (goal at most 1.2x)\n",
                nRounds, Best(warmLoad), Median(warmLoad), Best(warmDecode), Median(warmDecode),
                Best(warmLoad) / Best(warmDecode), Median(warmLoad) / Median(warmDecode));
    const std::string textOnly = WriteWithoutPictures(folder);
    std::vector<double> phases[5];
    for (int i = 0; i < nRounds && !textOnly.empty(); ++i) {
        double ms[5];
        Phases(folder, textOnly, ms);
        for (int k = 0; k < 5; ++k)
            phases[k].push_back(ms[k]);
    }
    if (!textOnly.empty()) {
        DeleteFileA(textOnly.c_str());
        std::printf("warm phases, best / median ms: table %.2f / %.2f, parse %.2f / %.2f (the text alone %.2f / "
                    "%.2f; goal under 1 ms), fill copying the pictures %.2f / %.2f, free %.2f / %.2f\n",
                    Best(phases[0]), Median(phases[0]), Best(phases[1]), Median(phases[1]), Best(phases[2]),
                    Median(phases[2]), Best(phases[3]), Median(phases[3]), Best(phases[4]), Median(phases[4]));
    }
    return 0;
}
