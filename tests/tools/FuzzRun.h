// The loop of a fuzz run and what happens when an input fails. In CI a run is
// bounded by the count and the time its test gives. The long runs outside CI
// (scripts/soak) use the same tests with these environment variables:
//   TVNX_SOAK_COUNT=N      run N inputs, with no time bound, and print a summary
//   TVNX_SOAK_SECONDS=S    run for S seconds (with TVNX_SOAK_COUNT: whichever
//                          ends first), and print a summary
//   TVNX_SOAK_DIR=folder   where a failing input is saved (else the temp folder)
//   TVNX_SOAK_HANG_SECONDS one input running longer than this is a hang (60)
//   TVNX_FUZZ_REPLAY=file  run only the input saved in that file
// An input that crashes the process, hangs, or fails a check is written to a
// file first, with the command that replays it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// One input made of several parts (a file and the picture it names, the blocks
// of one drop) is saved and replayed as one file: each part as its size in 4
// bytes, then its bytes. Unpacking stops at a part cut short.
template <class T>
T PackFuzzParts(const std::vector<T>& parts)
{
    T packed;
    for (const T& part : parts) {
        const uint32_t n = uint32_t(part.size());
        for (int i = 0; i < 4; i++)
            packed.push_back(typename T::value_type(n >> (8 * i)));
        packed.insert(packed.end(), part.begin(), part.end());
    }
    return packed;
}

template <class T>
std::vector<T> UnpackFuzzParts(const T& packed)
{
    std::vector<T> parts;
    size_t nAt = 0;
    while (nAt + 4 <= packed.size()) {
        uint32_t n = 0;
        for (int i = 0; i < 4; i++)
            n |= uint32_t(uint8_t(packed[nAt + i])) << (8 * i);
        nAt += 4;
        n = uint32_t(std::min<size_t>(n, packed.size() - nAt));
        parts.emplace_back(packed.begin() + nAt, packed.begin() + nAt + n);
        nAt += n;
    }
    return parts;
}

class CFuzzRun
{
public:
    CFuzzRun(const char* pszReader, int nCount, DWORD dwMillis)
        : m_strReader(pszReader), m_nCount(nCount), m_dwMillis(dwMillis), m_dwStart(GetTickCount())
    {
        const std::string strCount = Env("TVNX_SOAK_COUNT");
        const std::string strSeconds = Env("TVNX_SOAK_SECONDS");
        m_strReplay = WinPath(Env("TVNX_FUZZ_REPLAY"));
        m_bSoak = (!strCount.empty() || !strSeconds.empty()) && m_strReplay.empty();
        if (m_bSoak) {
            m_nCount = strCount.empty() ? INT32_MAX : atoi(strCount.c_str());
            m_dwSoakMillis = strSeconds.empty() ? 0 : 1000 * DWORD(atoi(strSeconds.c_str()));
        }
        if (!m_strReplay.empty()) {
            // A replay of a file that is not there runs nothing (and saves
            // nothing): it only fails.
            m_nCount = GetFileAttributesA(m_strReplay.c_str()) == INVALID_FILE_ATTRIBUTES ? 0 : 1;
            if (m_nCount == 0)
                ADD_FAILURE() << "no input to replay: " << m_strReplay << " does not exist";
        }
        const std::string strHang = Env("TVNX_SOAK_HANG_SECONDS");
        m_dwHangMillis = 1000 * DWORD(strHang.empty() ? 60 : atoi(strHang.c_str()));
        InitializeCriticalSection(&m_lock);
        s_pRun = this;
        m_pfnPrevious = SetUnhandledExceptionFilter(&OnCrash);
        if (m_bSoak) {
            m_hStop = CreateEventA(NULL, TRUE, FALSE, NULL);
            m_hWatch = CreateThread(NULL, 0, &Watch, this, 0, NULL);
        }
    }

    ~CFuzzRun()
    {
        // A fatal check left the loop before Done().
        if (!m_current.empty() && ::testing::Test::HasFailure() && !m_bFailed) {
            Save("failed a check");
            m_bFailed = true;
        }
        if (m_hWatch != NULL) {
            SetEvent(m_hStop);
            WaitForSingleObject(m_hWatch, INFINITE);
            CloseHandle(m_hWatch);
            CloseHandle(m_hStop);
        }
        SetUnhandledExceptionFilter(m_pfnPrevious);
        s_pRun = nullptr;
        DeleteCriticalSection(&m_lock);
        if (m_bSoak) {
            const DWORD dwTook = GetTickCount() - m_dwStart;
            printf("soak %s: %d inputs in %lu.%03lu s (%.1f us each), %d failed\n", m_strReader.c_str(), m_nTaken,
                   (unsigned long)(dwTook / 1000), (unsigned long)(dwTook % 1000),
                   m_nTaken ? 1000.0 * dwTook / m_nTaken : 0.0, m_bFailed ? 1 : 0);
            fflush(stdout);
        }
    }

    // Whether another input is to be run.
    bool More() const
    {
        if (m_bFailed || m_nTaken >= m_nCount)
            return false;
        if (m_bSoak)
            return m_dwSoakMillis == 0 || GetTickCount() - m_dwStart < m_dwSoakMillis;
        return !m_strReplay.empty() || GetTickCount() - m_dwStart < m_dwMillis;
    }

    bool Replaying() const { return !m_strReplay.empty(); }
    // A long run of scripts/soak, or a replay of what one saved.

    // The input to run: the one generated, or the saved one when replaying.
    // It is kept until Done(), to be saved if it fails.
    template <class T>
    T Take(const T& generated)
    {
        T input = generated;
        if (Replaying())
            input = ReadReplay<T>();
        EnterCriticalSection(&m_lock);
        m_current.push_back(std::string(input.begin(), input.end()));
        m_nTaken++;
        m_dwTakenAt = GetTickCount();
        LeaveCriticalSection(&m_lock);
        return input;
    }

    // The inputs taken since the last call are finished. One that failed a
    // check is saved, and the run ends.
    void Done()
    {
        if (::testing::Test::HasFailure() && !m_bFailed) {
            Save("failed a check");
            m_bFailed = true;
        }
        EnterCriticalSection(&m_lock);
        m_current.clear();
        m_dwTakenAt = 0;
        LeaveCriticalSection(&m_lock);
    }

    int Taken() const { return m_nTaken; }

private:
    std::string m_strReader;
    int m_nCount;
    DWORD m_dwMillis, m_dwStart, m_dwHangMillis = 0;
    DWORD m_dwSoakMillis = 0;   // a soak's time budget; 0: only its count
    std::string m_strReplay;
    bool m_bSoak = false, m_bFailed = false;
    int m_nTaken = 0;
    volatile DWORD m_dwTakenAt = 0;
    std::vector<std::string> m_current;
    CRITICAL_SECTION m_lock;
    HANDLE m_hStop = NULL, m_hWatch = NULL;
    LPTOP_LEVEL_EXCEPTION_FILTER m_pfnPrevious = nullptr;
    static inline CFuzzRun* s_pRun = nullptr;

    static std::string Env(const char* pszName)
    {
        char sz[1024];
        const DWORD n = GetEnvironmentVariableA(pszName, sz, sizeof(sz));
        return n > 0 && n < sizeof(sz) ? std::string(sz, n) : std::string();
    }

    // Wine shows the Unix file system as drive Z:.
    static std::string WinPath(const std::string& str)
    {
        return !str.empty() && str[0] == '/' ? "Z:" + str : str;
    }

    template <class T>
    T ReadReplay() const
    {
        T data;
        HANDLE h = CreateFileA(m_strReplay.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "cannot read " << m_strReplay;
            return data;
        }
        data.resize(GetFileSize(h, NULL));
        DWORD nRead = 0;
        if (!data.empty() && !ReadFile(h, &data[0], DWORD(data.size()), &nRead, NULL))
            nRead = 0;
        data.resize(nRead);
        CloseHandle(h);
        return data;
    }

    // Writes the current inputs, one file each, and says how to replay them.
    // Called from the crash filter or the watchdog too: no locks taken that the
    // failing thread may hold, no allocation beyond the file names.
    void Save(const char* pszWhat)
    {
        std::string strDir = WinPath(Env("TVNX_SOAK_DIR"));
        if (strDir.empty()) {
            char szTemp[MAX_PATH];
            GetTempPathA(sizeof(szTemp), szTemp);
            strDir = szTemp;
        }
        if (strDir.back() != '\\' && strDir.back() != '/')
            strDir += '\\';
        const ::testing::TestInfo* pTest = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string strTest =
            pTest ? std::string(pTest->test_suite_name()) + "." + pTest->name() : std::string("?");
        fprintf(stderr, "\nsoak %s: input %d %s\n", m_strReader.c_str(), m_nTaken, pszWhat);
        for (size_t i = 0; i < m_current.size(); i++) {
            char szName[64];
            wsprintfA(szName, "%s-%d-%u.bin", m_strReader.c_str(), m_nTaken, unsigned(i));
            const std::string strPath = strDir + szName;
            HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            DWORD n = 0;
            const bool bSaved = h != INVALID_HANDLE_VALUE &&
                                WriteFile(h, m_current[i].data(), DWORD(m_current[i].size()), &n, NULL);
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
            if (bSaved)
                fprintf(stderr, "  saved %s\n  replay: TVNX_FUZZ_REPLAY='%s' scripts/test -R '^%s$'\n",
                        strPath.c_str(), strPath.c_str(), strTest.c_str());
            else
                fprintf(stderr, "  could not save %s\n", strPath.c_str());
        }
        fflush(stderr);
    }

    static LONG WINAPI OnCrash(EXCEPTION_POINTERS* info)
    {
        if (CFuzzRun* pRun = s_pRun) {
            s_pRun = nullptr;
            char sz[64];
            wsprintfA(sz, "crashed (exception 0x%08lX)", (unsigned long)info->ExceptionRecord->ExceptionCode);
            pRun->Save(sz);
            if (pRun->m_pfnPrevious)
                return pRun->m_pfnPrevious(info);
        }
        TerminateProcess(GetCurrentProcess(), 3);
        return EXCEPTION_EXECUTE_HANDLER;
    }

    static DWORD WINAPI Watch(LPVOID pv)
    {
        CFuzzRun* pRun = static_cast<CFuzzRun*>(pv);
        while (WaitForSingleObject(pRun->m_hStop, 1000) == WAIT_TIMEOUT) {
            EnterCriticalSection(&pRun->m_lock);
            const DWORD dwAt = pRun->m_dwTakenAt;
            const bool bHung = dwAt != 0 && GetTickCount() - dwAt > pRun->m_dwHangMillis;
            if (bHung) {
                char sz[64];
                wsprintfA(sz, "hung (no end after %lu s)", (unsigned long)(pRun->m_dwHangMillis / 1000));
                pRun->Save(sz);
                TerminateProcess(GetCurrentProcess(), 4);
            }
            LeaveCriticalSection(&pRun->m_lock);
        }
        return 0;
    }
};
