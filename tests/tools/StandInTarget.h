// Tests that move the foreground between programs run on a Wine virtual
// desktop of their own (moving it is only reliable there), and the stand-in
// target (tests/standins/TargetStandIn.cpp) runs on it: copied under the
// executable name of the program it imitates, stamped with its file version,
// building its scenario's window tree and logging what it gets.
#pragma once

#include "collection/CheckUrl.h"
#include "tests/collection/TvnxSaveTestFiles.h"
#include "tests/tools/Pump.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

const char kStandInDesktop[] = "tvnxdesktop";

// ---- the virtual desktop -------------------------------------------------------------

struct DesktopJob
{
    HDESK hDesk;
    std::function<void()> body;
};

inline DWORD WINAPI DesktopThread(LPVOID p)
{
    DesktopJob* job = static_cast<DesktopJob*>(p);
    if (!::SetThreadDesktop(job->hDesk)) {
        ADD_FAILURE() << "SetThreadDesktop failed: " << ::GetLastError();
        return 1;
    }
    if (FAILED(::OleInitialize(NULL))) {
        ADD_FAILURE() << "OleInitialize failed";
        return 1;
    }
    job->body();
    ::OleSetClipboard(NULL);
    ::OleUninitialize();
    return 0;
}

// Runs body on a thread of the tests' virtual desktop and waits for it (bounded).
inline void OnVirtualDesktop(const std::function<void()>& body)
{
    HKEY hKey = NULL;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, NULL, 0, KEY_SET_VALUE, NULL,
                          &hKey, NULL) == ERROR_SUCCESS) {
        static const char kSize[] = "1024x768";
        ::RegSetValueExA(hKey, kStandInDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(kSize), sizeof(kSize));
        ::RegCloseKey(hKey);
    }
    DesktopJob job = {::CreateDesktopA(kStandInDesktop, NULL, NULL, 0, GENERIC_ALL, NULL), body};
    ASSERT_NE(nullptr, job.hDesk) << ::GetLastError();
    HANDLE hThread = ::CreateThread(NULL, 0, DesktopThread, &job, 0, NULL);
    ASSERT_NE(nullptr, hThread);
    const DWORD nWait = ::WaitForSingleObject(hThread, 100000);
    EXPECT_EQ(WAIT_OBJECT_0, nWait) << "the test body did not end";
    if (nWait != WAIT_OBJECT_0)
        ::TerminateThread(hThread, 1);
    ::CloseHandle(hThread);
    ::CloseDesktop(job.hDesk);
    // A rendering may have started a connection probe; its worker thread ends
    // on its own after release. Let it go before the process ends, as the
    // program's exit step does, so no worker runs into the static teardown.
    EXPECT_TRUE(CCheckUrlGarbageCollector::WaitUntilEmpty(10000));
}

// ---- the stand-in ------------------------------------------------------------------------

// A file version resource (VS_VERSIONINFO with the fixed part only).
inline bool StampFileVersion(const std::string& path, WORD nMajor, WORD nMinor)
{
    std::vector<BYTE> blob(92, 0);
    auto put16 = [&](size_t at, WORD v) { blob[at] = BYTE(v); blob[at + 1] = BYTE(v >> 8); };
    auto put32 = [&](size_t at, DWORD v) { put16(at, WORD(v)); put16(at + 2, WORD(v >> 16)); };
    put16(0, 92);
    put16(2, 52);
    put16(4, 0);
    const wchar_t* key = L"VS_VERSION_INFO";
    for (size_t i = 0; key[i] != 0; i++)
        put16(6 + 2 * i, WORD(key[i]));
    const size_t f = 40;   // 6 + 32 bytes of key, padded to 4
    put32(f + 0, 0xFEEF04BD);
    put32(f + 4, 0x00010000);
    put32(f + 8, DWORD(nMajor) << 16 | nMinor);   // file version
    put32(f + 12, 0);
    put32(f + 16, DWORD(nMajor) << 16 | nMinor);  // product version
    put32(f + 20, 0);
    put32(f + 24, 0x3F);
    put32(f + 32, 0x40004);                      // VOS_NT_WINDOWS32
    put32(f + 36, 1);                            // VFT_APP
    HANDLE h = ::BeginUpdateResourceA(path.c_str(), FALSE);
    if (h == NULL)
        return false;
    const BOOL bOk = ::UpdateResourceA(h, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), blob.data(), DWORD(blob.size()));
    return ::EndUpdateResourceA(h, !bOk) && bOk;
}

inline std::string TempDirFor(const char* pszWhat)
{
    static int s_nSerial = 0;
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + "tvnx-" + pszWhat + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(++s_nSerial);
}

class TargetProcess
{
public:
    // nMajor and nMinor 0: no version resource.
    TargetProcess(const char* pszExeName, WORD nMajor, WORD nMinor, const char* pszScenario,
                  const std::vector<std::string>& formats)
    {
        m_dir = TempDirFor("target");
        ::CreateDirectoryA(m_dir.c_str(), NULL);
        m_exe = m_dir + "\\" + pszExeName;
        m_log = m_dir + "\\log.txt";
        const std::string built = std::string(TVNX_BINARY_DIR) + "\\tests\\standins\\target_standin.exe";
        if (!::CopyFileA(built.c_str(), m_exe.c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy " << built;
            return;
        }
        if ((nMajor != 0 || nMinor != 0) && !StampFileVersion(m_exe, nMajor, nMinor)) {
            ADD_FAILURE() << "cannot stamp " << m_exe;
            return;
        }
        std::string cmd = "\"" + m_exe + "\" \"" + m_log + "\" " + pszScenario;
        for (const std::string& f : formats)
            cmd += " \"" + f + "\"";
        STARTUPINFOA si = {sizeof(si)};
        si.lpDesktop = const_cast<char*>(kStandInDesktop);
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        if (!::CreateProcessA(m_exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_process)) {
            ADD_FAILURE() << "cannot start " << m_exe;
            return;
        }
        EXPECT_TRUE(PumpUntil([this] { return ParseReady(); }, 20000)) << pszExeName << " did not come up";
    }
    ~TargetProcess()
    {
        if (m_process.hProcess != NULL) {
            if (::IsWindow(frame))
                ::PostMessageA(frame, WM_CLOSE, 0, 0);
            if (!PumpUntil([this] { return ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }, 5000))
                ::TerminateProcess(m_process.hProcess, 1);
            ::WaitForSingleObject(m_process.hProcess, 5000);
            ::CloseHandle(m_process.hThread);
            ::CloseHandle(m_process.hProcess);
        }
        ::DeleteFileA(m_log.c_str());
        ::DeleteFileA(m_exe.c_str());
        ::RemoveDirectoryA(m_dir.c_str());
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        const Bytes b = ReadBytes(m_log);
        const std::string text(b.begin(), b.end());
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    bool Has(const std::string& line) const
    {
        for (const std::string& l : Lines())
            if (l == line)
                return true;
        return false;
    }
    // Pumps until the stand-in logged line.
    bool WaitFor(const std::string& line, DWORD nMillis = 10000) const
    {
        return PumpUntil([&] { return Has(line); }, nMillis);
    }
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& l : Lines())
            n += l.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
    // What the paste got for a format: "none", or the bytes.
    bool Format(const std::string& item, std::string* pBytes, int nOccurrence = 0) const
    {
        const std::string prefix = "format " + item + " ";
        for (const std::string& l : Lines()) {
            if (l.compare(0, prefix.size(), prefix) != 0 || nOccurrence-- > 0)
                continue;
            const std::string rest = l.substr(prefix.size());
            if (rest.compare(0, 5, "data ") != 0)
                return false;
            pBytes->clear();
            for (size_t i = 5; i + 1 < rest.size(); i += 2)
                pBytes->push_back(char(std::stoi(rest.substr(i, 2), nullptr, 16)));
            return true;
        }
        return false;
    }

    HWND frame = NULL;
    HWND input = NULL;
    HWND browser = NULL;

private:
    bool ParseReady()
    {
        for (const std::string& line : Lines()) {
            unsigned long long a, b, c;
            if (sscanf(line.c_str(), "ready %llu %llu %llu", &a, &b, &c) == 3) {
                frame = reinterpret_cast<HWND>(static_cast<UINT_PTR>(a));
                input = reinterpret_cast<HWND>(static_cast<UINT_PTR>(b));
                browser = reinterpret_cast<HWND>(static_cast<UINT_PTR>(c));
                return true;
            }
        }
        return false;
    }

    std::string m_dir, m_exe, m_log;
    PROCESS_INFORMATION m_process = {};
};

// ---- what a stand-in got -----------------------------------------------------------------

// A CF_HTML document read back: its fragment, by the offsets its header gives,
// in the two ways the header may place them (at the start marker, or after it).
struct CfHtml
{
    bool ok = false;
    std::string version;
    std::string fragment;
    std::string src;   // the picture's path or address
};

inline CfHtml ReadCfHtml(std::string doc)
{
    CfHtml h;
    while (!doc.empty() && doc.back() == '\0')
        doc.pop_back();
    long nStartHtml = -1, nEndHtml = -1, nStart = -1, nEnd = -1;
    size_t at = 0;
    while (at < doc.size() && doc[at] != '<') {
        const size_t eol = doc.find("\r\n", at);
        if (eol == std::string::npos)
            return h;
        const std::string line = doc.substr(at, eol - at);
        const size_t colon = line.find(':');
        const std::string key = line.substr(0, colon), value = line.substr(colon + 1);
        if (key == "Version")
            h.version = value;
        else if (key == "StartHTML")
            nStartHtml = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "EndHTML")
            nEndHtml = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "StartFragment")
            nStart = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "EndFragment")
            nEnd = std::strtol(value.c_str(), nullptr, 10);
        at = eol + 2;
    }
    if (nStartHtml != long(at) || nEndHtml > long(doc.size()) || nStart < nStartHtml || nEnd < nStart ||
        nEnd > nEndHtml)
        return h;
    // Only line breaks may follow the document's end.
    if (doc.find_first_not_of("\r\n", size_t(nEndHtml)) != std::string::npos)
        return h;
    h.fragment = doc.substr(size_t(nStart), size_t(nEnd - nStart));
    for (const char* mark : {"<!--StartFragment-->", "<!--StartFragment -->"})
        if (h.fragment.compare(0, strlen(mark), mark) == 0)
            h.fragment = h.fragment.substr(strlen(mark));
    if (doc.compare(size_t(nEnd), 18, "<!--EndFragment-->") != 0)
        return h;
    const size_t src = h.fragment.find("src=\"");
    if (src == std::string::npos)
        return h;
    const size_t q = h.fragment.find('"', src + 5);
    h.src = h.fragment.substr(src + 5, q - src - 5);
    h.ok = true;
    return h;
}

inline std::string FromFileUrl(std::string s)
{
    if (s.compare(0, 8, "file:///") == 0)
        s = s.substr(8);
    for (char& c : s)
        if (c == '/')
            c = '\\';
    return s;
}
