// The messenger stand-in (tests/standins/MsnStandIn.cpp) in a process of its
// own, started by a test and ended by it, with what it recorded.
#pragma once

#include "tests/tools/Pump.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

class MsnStandInProcess
{
public:
    MsnStandInProcess(int build, const char* mode)
    {
        static int s_serial = 0;
        char dir[MAX_PATH];
        GetTempPathA(sizeof(dir), dir);
        char record[MAX_PATH];
        snprintf(record, sizeof(record), "%stvnx-msn-%lu-%d.txt", dir, GetCurrentProcessId(), ++s_serial);
        m_record = record;
        DeleteFileA(m_record.c_str());

        std::string exe = std::string(TVNX_BINARY_DIR) + "\\tests\\standins\\msn_standin.exe";
        char cmd[2 * MAX_PATH];
        snprintf(cmd, sizeof(cmd), "\"%s\" %d %s %s", exe.c_str(), build, mode, m_record.c_str());
        STARTUPINFOA si = {sizeof(si)};
        if (!CreateProcessA(exe.c_str(), cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_process))
            return;
        PumpUntil([this] { return ParseReady(); }, 15000);
    }

    ~MsnStandInProcess()
    {
        if (m_process.hProcess == NULL)
            return;
        if (IsWindow(conversation))
            PostMessageA(conversation, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process.hProcess, 3000) != WAIT_OBJECT_0)
            TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
        DeleteFileA(m_record.c_str());
    }

    bool Ready() const { return conversation != NULL; }

    // The lines recorded after the stand-in became ready.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        HANDLE file = CreateFileA(m_record.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return lines;
        std::string text;
        char buf[4096];
        DWORD got;
        while (ReadFile(file, buf, sizeof(buf), &got, NULL) && got > 0)
            text.append(buf, got);
        CloseHandle(file);
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& line : Lines())
            n += line.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
    bool Has(const std::string& prefix) const { return Count(prefix) > 0; }
    // The value recorded after "prefix " (the first such line), or "" when none.
    std::string Value(const std::string& prefix) const
    {
        for (const std::string& line : Lines()) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                return line.substr(prefix.size());
        }
        return "";
    }

    bool WaitFor(const std::string& prefix, DWORD timeoutMs = 15000)
    {
        return PumpUntil([&] { return Has(prefix); }, timeoutMs);
    }

    // Waits until the stand-in has handled everything posted to its thread so far.
    bool Sync()
    {
        char marker[32];
        snprintf(marker, sizeof(marker), "sync %d", ++m_syncs);
        PostMessageA(conversation, WM_APP + 1, m_syncs, 0);
        return WaitFor(marker, 10000);
    }

    // Sets the stand-in's event of that name (the name followed by its process id).
    bool Signal(const char* name)
    {
        char full[64];
        snprintf(full, sizeof(full), "%s%lu", name, m_process.dwProcessId);
        HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, full);
        if (event == NULL)
            return false;
        BOOL set = SetEvent(event);
        CloseHandle(event);
        return set != FALSE;
    }

    HWND conversation = NULL;
    HWND keeper = NULL;
    HWND other = NULL;

private:
    bool ParseReady()
    {
        for (const std::string& line : Lines()) {
            unsigned long long conv, keep, oth;
            if (sscanf(line.c_str(), "ready %llu %llu %llu", &conv, &keep, &oth) == 3) {
                conversation = reinterpret_cast<HWND>(static_cast<UINT_PTR>(conv));
                keeper = reinterpret_cast<HWND>(static_cast<UINT_PTR>(keep));
                other = reinterpret_cast<HWND>(static_cast<UINT_PTR>(oth));
                return true;
            }
        }
        return false;
    }

    std::string m_record;
    PROCESS_INFORMATION m_process = {};
    int m_syncs = 0;
};
