// Collection files made by the tests: a builder that writes header, layout
// block and records with any field overridden, and a private folder per test
// that is removed afterwards.
#pragma once

#include "collection/TvnxHeader.h"
#include "collection/TvnxSave.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

typedef std::vector<BYTE> Bytes;

inline void PutLE32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b.push_back(BYTE(v >> (8 * i)));
}

inline uint32_t GetLE32(const Bytes& b, size_t nOffset)
{
    return uint32_t(b[nOffset]) | uint32_t(b[nOffset + 1]) << 8 | uint32_t(b[nOffset + 2]) << 16 |
           uint32_t(b[nOffset + 3]) << 24;
}

inline Bytes Text(const char* psz)
{
    return Bytes(psz, psz + strlen(psz));
}

// Picture bytes that differ by seed and size.
inline Bytes Picture(uint32_t nSeed, size_t nSize = 100)
{
    Bytes b(nSize);
    uint32_t x = nSeed * 2654435761u + 1;
    for (size_t i = 0; i < nSize; i++) {
        x = x * 1103515245u + 12345u;
        b[i] = BYTE(x >> 16);
    }
    return b;
}

struct TestRecord
{
    uint32_t nId = 1;
    std::string strName = "pic.gif";
    Bytes data = Picture(1);
    int nNameLen = -1;           // -1: the name's length
    int64_t nSize = -1;          // -1: the data's size
    int64_t nChecksum = -1;      // -1: the data's checksum
};

inline TestRecord Rec(uint32_t nId, const std::string& strName, const Bytes& data)
{
    TestRecord r;
    r.nId = nId;
    r.strName = strName;
    r.data = data;
    return r;
}

struct TestCollection
{
    std::string strMagic = std::string("DUDAVOLAYOUT", 13);
    uint32_t nVersion = TVNX_VERSION_CURRENT;
    Bytes layout = Text("fields");
    uint8_t nLevel = 10;
    std::vector<TestRecord> records;
    // Header fields, -1 for what a correct file holds.
    int64_t nLayoutOffset = -1, nLayoutSize = -1, nFirstRecord = -1, nAreaSize = -1, nCount = -1,
            nHeaderSize = -1;
    Bytes trailer;               // appended after the records

    Bytes Build() const
    {
        Bytes area;
        for (const TestRecord& r : records) {
            PutLE32(area, r.nId);
            PutLE32(area, r.nChecksum >= 0 ? uint32_t(r.nChecksum) : TvnxChecksum(r.data.data(), r.data.size()));
            area.push_back(BYTE(r.nNameLen >= 0 ? r.nNameLen : int(r.strName.size())));
            area.insert(area.end(), r.strName.begin(), r.strName.end());
            PutLE32(area, r.nSize >= 0 ? uint32_t(r.nSize) : uint32_t(r.data.size()));
            area.insert(area.end(), r.data.begin(), r.data.end());
        }
        Bytes b(strMagic.begin(), strMagic.end());
        b.resize(16, 0);
        PutLE32(b, nVersion);
        PutLE32(b, 0);
        const uint32_t nLayoutAt = nLayoutOffset >= 0 ? uint32_t(nLayoutOffset) : 64;
        PutLE32(b, nLayoutAt);
        PutLE32(b, nLayoutSize >= 0 ? uint32_t(nLayoutSize) : uint32_t(layout.size()));
        b.resize(35, 0);
        b.push_back(nLevel);
        PutLE32(b, nFirstRecord >= 0 ? uint32_t(nFirstRecord) : uint32_t(64 + layout.size()));
        PutLE32(b, nAreaSize >= 0 ? uint32_t(nAreaSize) : uint32_t(area.size()));
        PutLE32(b, nCount >= 0 ? uint32_t(nCount) : uint32_t(records.size()));
        PutLE32(b, 64);
        PutLE32(b, 0);
        PutLE32(b, 0);
        PutLE32(b, nHeaderSize >= 0 ? uint32_t(nHeaderSize) : 64);
        Bytes stored = layout;
        if (nVersion > TVNX_VERSION_PLAIN)
            TvnxScramble(stored.data(), stored.size(), true);
        b.insert(b.end(), stored.begin(), stored.end());
        b.insert(b.end(), area.begin(), area.end());
        b.insert(b.end(), trailer.begin(), trailer.end());
        return b;
    }
};

// A folder of its own for one test, emptied and removed at the end.
class TvnxTempDir
{
public:
    TvnxTempDir()
    {
        static int s_nNext = 0;
        char szTemp[MAX_PATH];
        GetTempPathA(sizeof(szTemp), szTemp);
        char szDir[MAX_PATH];
        wsprintfA(szDir, "%stvnxtest-%lu-%d", szTemp, GetCurrentProcessId(), s_nNext++);
        m_strDir = szDir;
        CreateDirectoryA(szDir, NULL);
    }
    ~TvnxTempDir()
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((m_strDir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    continue;
                const std::string strPath = m_strDir + "\\" + fd.cFileName;
                SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(strPath.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(m_strDir.c_str());
    }
    std::string Path(const std::string& strName) const { return m_strDir + "\\" + strName; }
    const std::string& Dir() const { return m_strDir; }

private:
    std::string m_strDir;
};

inline bool WriteBytes(const std::string& strPath, const Bytes& b)
{
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    const BOOL ok = b.empty() || WriteFile(h, b.data(), DWORD(b.size()), &n, NULL);
    CloseHandle(h);
    return ok && n == b.size();
}

// The whole file, read while others may hold it open for writing.
inline Bytes ReadBytes(const std::string& strPath)
{
    Bytes b;
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return b;
    b.resize(GetFileSize(h, NULL));
    DWORD n = 0;
    if (!b.empty() && !ReadFile(h, b.data(), DWORD(b.size()), &n, NULL))
        n = 0;
    b.resize(n);
    CloseHandle(h);
    return b;
}

inline Bytes LayoutOf(CTvnxSave& file, uint32_t nAppendedId = 0)
{
    const uint32_t n = file.ReadLayoutBlock(NULL, nAppendedId);
    Bytes b(n);
    if (n == 0 || file.ReadLayoutBlock(b.data(), nAppendedId) != n)
        b.clear();
    return b;
}

inline Bytes RecordOf(CTvnxSave& file, uint32_t nId, std::string* pName = nullptr)
{
    CString strName;
    const uint32_t n = file.ReadRecord(nId, strName, NULL);
    Bytes b(n);
    if (n == 0 || file.ReadRecord(nId, strName, b.data()) != n)
        b.clear();
    if (pName != nullptr)
        *pName = static_cast<LPCSTR>(strName);
    return b;
}

inline std::vector<uint32_t> RecordIds(const CTvnxSave& file)
{
    std::vector<uint32_t> ids;
    for (int i = 0; i < file.m_Records.GetSize(); i++)
        ids.push_back(file.m_Records[i].nId);
    return ids;
}
