// Opening collections of 10,000 and 100,000 small pictures, against two bare
// loops with plain Win32 calls: one reads the whole file at once and walks the
// record heads in memory, the other seeks and reads each record head. The
// three take turns in every round, so that a loaded machine slows them alike.
// Prints the best and median times of each, the ratios of the medians and how
// the time grows from the small collection to the large one.
//
//   bench_collection_open [rounds]
#include "collection/TvnxHeader.h"
#include "collection/TvnxSave.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {


void Put32(std::vector<BYTE>& b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back(BYTE(v >> (8 * i)));
}

bool BuildCollection(const char* pszPath, int nPictures)
{
    std::vector<BYTE> layout(2000, 0x5A);
    std::vector<BYTE> area;
    uint32_t x = 12345;
    for (int i = 0; i < nPictures; i++) {
        char szName[32];
        const int nName = wsprintfA(szName, "smilie%05d.gif", i);
        std::vector<BYTE> data(200 + (i * 37) % 400);
        for (BYTE& byte : data) {
            x = x * 1103515245u + 12345u;
            byte = BYTE(x >> 16);
        }
        Put32(area, i + 1);
        Put32(area, TvnxChecksum(data.data(), data.size()));
        area.push_back(BYTE(nName));
        area.insert(area.end(), szName, szName + nName);
        Put32(area, uint32_t(data.size()));
        area.insert(area.end(), data.begin(), data.end());
    }
    TVNXHEADER header;
    header.bMagic = true;
    header.nVersion = TVNX_VERSION_CURRENT;
    header.nLayoutOffset = TVNX_HEADER_SIZE;
    header.nLayoutSize = uint32_t(layout.size());
    header.nLevel = 10;
    header.nFirstRecord = TVNX_HEADER_SIZE + header.nLayoutSize;
    header.nAreaSize = uint32_t(area.size());
    header.nRecordCount = uint32_t(nPictures);
    std::vector<BYTE> file(TVNX_HEADER_SIZE);
    header.Store(file.data());
    file.insert(file.end(), layout.begin(), layout.end());
    file.insert(file.end(), area.begin(), area.end());

    HANDLE h = CreateFileA(pszPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    const BOOL ok = WriteFile(h, file.data(), DWORD(file.size()), &n, NULL);
    CloseHandle(h);
    return ok && n == file.size();
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

bool SeekTo(HANDLE h, ULONGLONG nPos)
{
    LARGE_INTEGER li;
    li.QuadPart = LONGLONG(nPos);
    return SetFilePointerEx(h, li, NULL, FILE_BEGIN) != 0;
}

// The heads alone: open, header, then id/checksum/name length and size of
// every record, seeking over names and data.
int BareScan(const char* pszPath)
{
    HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    LARGE_INTEGER len;
    GetFileSizeEx(h, &len);
    BYTE ab[TVNX_HEADER_SIZE];
    DWORD n = 0;
    ReadFile(h, ab, TVNX_HEADER_SIZE, &n, NULL);
    TVNXHEADER header;
    header.Parse(ab, n);
    int nRecords = 0;
    ULONGLONG nPos = header.nFirstRecord;
    while (nPos + 1 < ULONGLONG(len.QuadPart)) {
        SeekTo(h, nPos);
        if (!ReadFile(h, ab, 9, &n, NULL) || n != 9)
            break;
        SeekTo(h, nPos + 9 + ab[8]);
        if (!ReadFile(h, ab + 9, 4, &n, NULL) || n != 4)
            break;
        const uint32_t nSize = uint32_t(ab[9]) | uint32_t(ab[10]) << 8 | uint32_t(ab[11]) << 16 | uint32_t(ab[12]) << 24;
        nPos += TVNX_RECORD_FIXED + ab[8] + nSize;
        nRecords++;
    }
    CloseHandle(h);
    return nRecords;
}

// The whole file in one read, then the record heads walked in memory.
int WholeFileScan(const char* pszPath)
{
    HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    LARGE_INTEGER len;
    GetFileSizeEx(h, &len);
    std::vector<BYTE> file(size_t(len.QuadPart));
    DWORD n = 0;
    const BOOL ok = ReadFile(h, file.data(), DWORD(file.size()), &n, NULL);
    CloseHandle(h);
    if (!ok || n != file.size() || n < TVNX_HEADER_SIZE)
        return -1;
    TVNXHEADER header;
    header.Parse(file.data(), TVNX_HEADER_SIZE);
    int nRecords = 0;
    size_t nPos = header.nFirstRecord;
    while (nPos + 1 < file.size()) {
        if (nPos + 9 > file.size())
            break;
        const size_t nName = file[nPos + 8];
        const size_t nAt = nPos + 9 + nName;
        if (nAt + 4 > file.size())
            break;
        const uint32_t nSize = uint32_t(file[nAt]) | uint32_t(file[nAt + 1]) << 8 | uint32_t(file[nAt + 2]) << 16 |
                               uint32_t(file[nAt + 3]) << 24;
        nPos += TVNX_RECORD_FIXED + nName + nSize;
        nRecords++;
    }
    return nRecords;
}

struct FIGURES
{
    double dOpenBest, dOpenMedian, dBareBest, dBareMedian, dWholeBest, dWholeMedian;
};

double Median(std::vector<double>& v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool Measure(int nPictures, int nRounds, FIGURES& fig)
{
    char szTemp[MAX_PATH], szPath[MAX_PATH];
    GetTempPathA(sizeof(szTemp), szTemp);
    wsprintfA(szPath, "%stvnx-bench-%lu-%d.tvnx", szTemp, GetCurrentProcessId(), nPictures);
    if (!BuildCollection(szPath, nPictures)) {
        fprintf(stderr, "cannot write %s\n", szPath);
        return false;
    }
    std::vector<double> open, bare, whole;
    for (int r = 0; r < nRounds; r++) {
        LARGE_INTEGER a, b;
        CTvnxSave file;
        QueryPerformanceCounter(&a);
        const int nCode = file.OpenCollection(szPath, FALSE, 0);
        QueryPerformanceCounter(&b);
        if (nCode != 0 || file.m_Records.GetSize() != nPictures) {
            fprintf(stderr, "OpenCollection gave %d with %d records\n", nCode, file.m_Records.GetSize());
            DeleteFileA(szPath);
            return false;
        }
        open.push_back(Seconds(a, b));
        file.Close();

        QueryPerformanceCounter(&a);
        const int nWhole = WholeFileScan(szPath);
        QueryPerformanceCounter(&b);
        whole.push_back(Seconds(a, b));

        QueryPerformanceCounter(&a);
        const int nBare = BareScan(szPath);
        QueryPerformanceCounter(&b);
        bare.push_back(Seconds(a, b));
        if (nBare != nPictures || nWhole != nPictures) {
            fprintf(stderr, "bare scans found %d and %d records\n", nBare, nWhole);
            DeleteFileA(szPath);
            return false;
        }
    }
    DeleteFileA(szPath);
    fig.dOpenMedian = Median(open);
    fig.dBareMedian = Median(bare);
    fig.dWholeMedian = Median(whole);
    fig.dOpenBest = open.front();
    fig.dBareBest = bare.front();
    fig.dWholeBest = whole.front();
    printf("%d pictures, %d rounds: OpenCollection best %.2f ms, median %.2f ms; whole file read and walked best "
           "%.2f ms, median %.2f ms; bare head scan best %.2f ms, median %.2f ms\n",
           nPictures, nRounds, fig.dOpenBest * 1000, fig.dOpenMedian * 1000, fig.dWholeBest * 1000,
           fig.dWholeMedian * 1000, fig.dBareBest * 1000, fig.dBareMedian * 1000);
    printf("%d pictures: ratio of the medians to the whole-file read %.2f (goal <= 3), to the bare head scan %.2f "
           "(goal <= 1.20)\n",
           nPictures, fig.dOpenMedian / fig.dWholeMedian, fig.dOpenMedian / fig.dBareMedian);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int nRounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    FIGURES small, large;
    if (!Measure(10000, nRounds, small) || !Measure(100000, nRounds, large))
        return 1;
    printf("from 10,000 to 100,000 pictures OpenCollection grows %.2fx (median; goal <= 10.2x), the whole-file "
           "read %.2fx\n",
           large.dOpenMedian / small.dOpenMedian, large.dWholeMedian / small.dWholeMedian);
    return 0;
}
