// CFile over real files: short reads, positions and lengths, and the causes
// carried by thrown CFileException objects. CFileFind over a scratch folder.
#include <gtest/gtest.h>

#include "framework/File.h"
#include "framework/FileFind.h"

#include <cstring>
#include <set>
#include <string>

namespace {

// A fresh empty file in the temp folder, removed afterwards (read-only
// attribute cleared first).
class TempFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
        ASSERT_NE(GetTempFileNameA(dir, "tvf", 0, m_path), 0u);
        m_dir = dir;
    }
    void TearDown() override
    {
        SetFileAttributesA(m_path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(m_path);
    }

    void WriteBytes(int n)
    {
        CFile f(m_path, CFile::modeCreate | CFile::modeWrite);
        for (int i = 0; i < n; i++) {
            BYTE b = static_cast<BYTE>(i);
            f.Write(&b, 1);
        }
        f.Close();
    }

    char m_path[MAX_PATH];
    std::string m_dir;
};

// Runs f, which must throw a CFileException*; returns its cause (or -1).
template <class F>
int CauseOf(F f, LONG* pOsError = NULL, CString* pName = NULL)
{
    try {
        f();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        if (pOsError != NULL)
            *pOsError = e->m_lOsError;
        if (pName != NULL)
            *pName = e->m_strFileName;
        e->Delete();
        return cause;
    }
    return -1;
}

} // namespace

TEST_F(TempFileTest, ReadPastTheEndIsShortNotAnError)
{
    WriteBytes(10);
    CFile f(m_path, CFile::modeRead | CFile::shareDenyWrite);
    BYTE buf[16];
    memset(buf, 0xEE, sizeof(buf));
    EXPECT_EQ(f.Read(buf, sizeof(buf)), 10u);
    EXPECT_EQ(buf[9], 9);
    EXPECT_EQ(buf[10], 0xEE);
    EXPECT_EQ(f.Read(buf, sizeof(buf)), 0u);
    EXPECT_EQ(f.Read(buf, 0), 0u);
}

TEST_F(TempFileTest, PositionLengthAndFlushRoundTrip)
{
    {
        CFile f;
        ASSERT_TRUE(f.Open(m_path, CFile::modeCreate | CFile::modeReadWrite));
        BYTE data[100];
        for (int i = 0; i < 100; i++)
            data[i] = static_cast<BYTE>(i);
        f.Write(data, 100);
        EXPECT_EQ(f.GetPosition(), 100u);
        EXPECT_EQ(f.Seek(-10, CFile::current), 90u);
        EXPECT_EQ(f.Seek(5, CFile::begin), 5u);
        EXPECT_EQ(f.Seek(-1, CFile::end), 99u);
        EXPECT_EQ(f.SeekToEnd(), 100u);
        f.SeekToBegin();
        EXPECT_EQ(f.GetPosition(), 0u);

        f.SetLength(40);
        EXPECT_EQ(f.GetLength(), 40u);
        EXPECT_EQ(f.GetPosition(), 40u);
        f.SetLength(200);
        EXPECT_EQ(f.GetLength(), 200u);
        f.Flush();

        // A seek before the start fails and leaves the position.
        f.Seek(7, CFile::begin);
        EXPECT_EQ(CauseOf([&] { f.Seek(-8, CFile::current); }), CFileException::badSeek);
        EXPECT_EQ(f.GetPosition(), 7u);
        BYTE b = 0;
        EXPECT_EQ(f.Read(&b, 1), 1u);
        EXPECT_EQ(b, 7);
        f.Close();
        EXPECT_EQ(f.m_hFile, CFile::hFileNull);
    }

    CFile f(m_path, CFile::modeRead);
    EXPECT_EQ(f.GetLength(), 200u);
    BYTE back[200];
    EXPECT_EQ(f.Read(back, 200), 200u);
    for (int i = 0; i < 40; i++)
        ASSERT_EQ(back[i], i) << "byte " << i;
    for (int i = 40; i < 200; i++)
        ASSERT_EQ(back[i], 0) << "byte " << i << " of the extension";
}

TEST_F(TempFileTest, NamesOfAnOpenFile)
{
    CFile f(m_path, CFile::modeRead);
    CString name = f.GetFileName();
    EXPECT_EQ(f.GetFilePath().CompareNoCase(m_path), 0) << (LPCTSTR)f.GetFilePath();
    EXPECT_EQ(name.CompareNoCase(strrchr(m_path, '\\') + 1), 0) << (LPCTSTR)name;
    EXPECT_EQ(f.GetFileTitle() + ".tmp", name);
}

TEST_F(TempFileTest, OpenFailuresReportTheCause)
{
    std::string missing = m_dir + "tvnx-no-such-file.bin";
    std::string badDir = m_dir + "tvnx-no-such-dir\\file.bin";
    // Hold the file exclusively, so a second open meets a sharing violation.
    CFile holder(m_path, CFile::modeReadWrite | CFile::shareExclusive);

    struct Row { const char* what; std::string path; UINT flags; int cause; LONG osError; };
    const Row rows[] = {
        {"missing file", missing, CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {"missing folder", badDir, CFile::modeCreate | CFile::modeWrite, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {"held file", m_path, CFile::modeRead | CFile::shareDenyNone, CFileException::sharingViolation, ERROR_SHARING_VIOLATION},
        {"folder as file", m_dir.substr(0, m_dir.size() - 1), CFile::modeRead, CFileException::accessDenied, ERROR_ACCESS_DENIED},
    };
    for (const Row& r : rows) {
        CFile f;
        CFileException e;
        EXPECT_FALSE(f.Open(r.path.c_str(), r.flags, &e)) << r.what;
        EXPECT_EQ(e.m_cause, r.cause) << r.what;
        EXPECT_EQ(e.m_lOsError, r.osError) << r.what;
        EXPECT_STREQ(e.m_strFileName, r.path.c_str()) << r.what;
        EXPECT_EQ(f.m_hFile, CFile::hFileNull) << r.what;

        // The opening constructor throws the same.
        LONG osError = 0;
        CString name;
        EXPECT_EQ(CauseOf([&] { CFile g(r.path.c_str(), r.flags); }, &osError, &name), r.cause) << r.what;
        EXPECT_EQ(osError, r.osError) << r.what;
        EXPECT_STREQ(name, r.path.c_str()) << r.what;
    }
}

TEST_F(TempFileTest, FailedOperationsThrow)
{
    WriteBytes(4);
    BYTE buf[4] = {1, 2, 3, 4};

    CFile reader(m_path, CFile::modeRead | CFile::shareDenyNone);
    EXPECT_EQ(CauseOf([&] { reader.Write(buf, 4); }), CFileException::accessDenied);
    CFile writer(m_path, CFile::modeWrite | CFile::shareDenyNone);
    EXPECT_EQ(CauseOf([&] { writer.Read(buf, 4); }), CFileException::accessDenied);

    CFile closed;
    EXPECT_EQ(CauseOf([&] { closed.Read(buf, 4); }), CFileException::invalidFile);
    EXPECT_EQ(CauseOf([&] { closed.GetLength(); }), CFileException::invalidFile);

    std::string missing = m_dir + "tvnx-no-such-file.bin";
    EXPECT_EQ(CauseOf([&] { CFile::Remove(missing.c_str()); }), CFileException::fileNotFound);
    EXPECT_EQ(CauseOf([&] { CFile::Rename(missing.c_str(), m_path); }), CFileException::fileNotFound);

    char message[256];
    CFileException e(CFileException::diskFull, ERROR_DISK_FULL, "C:\\x.bin");
    EXPECT_TRUE(e.GetErrorMessage(message, sizeof(message)));
    EXPECT_NE(strstr(message, "C:\\x.bin"), nullptr) << message;
}

TEST_F(TempFileTest, RenameAndRemove)
{
    WriteBytes(3);
    std::string moved = std::string(m_path) + ".moved";
    CFile::Rename(m_path, moved.c_str());
    EXPECT_EQ(GetFileAttributesA(m_path), INVALID_FILE_ATTRIBUTES);
    CFile::Remove(moved.c_str());
    EXPECT_EQ(GetFileAttributesA(moved.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TempFileTest, FileFindWalksAFolder)
{
    std::string folder = std::string(m_path) + ".dir";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string sub = folder + "\\sub";
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), NULL));
    const char* names[] = {"a.txt", "b.skn"};
    for (int i = 0; i < 2; i++) {
        CFile f((folder + "\\" + names[i]).c_str(), CFile::modeCreate | CFile::modeWrite);
        f.Write("12345", 3 + i);
    }

    CFileFind find;
    ASSERT_TRUE(find.FindFile((folder + "\\*.*").c_str()));
    EXPECT_EQ(find.GetRoot().CompareNoCase(folder.c_str()), 0) << (LPCTSTR)find.GetRoot();
    std::set<std::string> files, dirs;
    int dots = 0;
    BOOL more = TRUE;
    for (int guard = 0; more && guard < 20; guard++) {
        more = find.FindNextFile();
        if (find.IsDots()) {
            dots++;
            continue;
        }
        CString name = find.GetFileName();
        EXPECT_EQ(find.GetFilePath().CompareNoCase(folder.c_str() + CString("\\") + name), 0)
            << (LPCTSTR)find.GetFilePath();
        if (find.IsDirectory()) {
            dirs.insert((LPCTSTR)name);
        } else {
            files.insert((LPCTSTR)name);
            EXPECT_EQ(find.GetLength(), name == "a.txt" ? 3u : 4u) << (LPCTSTR)name;
            EXPECT_EQ(find.GetFileTitle(), name.Left(1)) << (LPCTSTR)name;
        }
    }
    find.Close();
    EXPECT_EQ(dots, 2);
    EXPECT_EQ(files, (std::set<std::string>{"a.txt", "b.skn"}));
    EXPECT_EQ(dirs, (std::set<std::string>{"sub"}));

    ASSERT_TRUE(find.FindFile((folder + "\\*.skn").c_str()));
    EXPECT_FALSE(find.FindNextFile());   // the only match is also the last
    EXPECT_EQ(find.GetFileName(), "b.skn");
    EXPECT_FALSE(find.FindFile((folder + "\\*.none").c_str()));

    DeleteFileA((folder + "\\a.txt").c_str());
    DeleteFileA((folder + "\\b.skn").c_str());
    RemoveDirectoryA(sub.c_str());
    RemoveDirectoryA(folder.c_str());
}
