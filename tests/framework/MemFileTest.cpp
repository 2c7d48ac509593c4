// CMemFile: growth in steps, the operations of a file over memory, and a
// fixed attached buffer.
#include <gtest/gtest.h>

#include "framework/MemFile.h"

#include <cstdlib>
#include <cstring>

namespace {

class PeekMemFile : public CMemFile
{
public:
    using CMemFile::CMemFile;
    SIZE_T BufferSize() const { return m_nBufferSize; }
};

template <class E, class F>
bool Throws(F f)
{
    try {
        f();
    } catch (E* e) {
        e->Delete();
        return true;
    }
    return false;
}

} // namespace

TEST(MemFile, GrowsInStepsAndReadsBack)
{
    PeekMemFile f(16);
    EXPECT_EQ(f.GetLength(), 0u);
    BYTE data[40];
    for (int i = 0; i < 40; i++)
        data[i] = static_cast<BYTE>(i + 1);

    f.Write(data, 10);
    EXPECT_EQ(f.BufferSize(), 16u);
    f.Write(data + 10, 30);
    EXPECT_EQ(f.BufferSize(), 48u);
    EXPECT_EQ(f.GetLength(), 40u);
    EXPECT_EQ(f.GetPosition(), 40u);

    f.SeekToBegin();
    BYTE back[64];
    EXPECT_EQ(f.Read(back, sizeof(back)), 40u);   // short read at the end
    EXPECT_EQ(memcmp(back, data, 40), 0);
    EXPECT_EQ(f.Read(back, sizeof(back)), 0u);

    // A write past the end leaves zeros in the gap.
    EXPECT_EQ(f.Seek(4, CFile::end), 44u);
    f.Write(data, 1);
    EXPECT_EQ(f.GetLength(), 45u);
    f.Seek(40, CFile::begin);
    EXPECT_EQ(f.Read(back, 5), 5u);
    EXPECT_EQ(memcmp(back, "\0\0\0\0\1", 5), 0);

    // Shrinking pulls the position back; growing adds zeros.
    f.SetLength(20);
    EXPECT_EQ(f.GetPosition(), 20u);
    f.SetLength(30);
    f.Seek(18, CFile::begin);
    EXPECT_EQ(f.Read(back, 20), 12u);
    EXPECT_EQ(back[1], 20);
    EXPECT_EQ(back[2], 0);

    EXPECT_TRUE(Throws<CFileException>([&] { f.Seek(-1, CFile::begin); }));

    ULONGLONG length = f.GetLength();
    BYTE* p = f.Detach();
    EXPECT_EQ(length, 30u);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(f.GetLength(), 0u);
    free(p);
}

TEST(MemFile, AttachedFixedBufferIsTheFile)
{
    BYTE buffer[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    CMemFile f(buffer, sizeof(buffer));
    EXPECT_EQ(f.GetLength(), 8u);
    char text[9] = {0};
    EXPECT_EQ(f.Read(text, 8), 8u);
    EXPECT_STREQ(text, "abcdefgh");

    f.Seek(6, CFile::begin);
    f.Write("XY", 2);
    EXPECT_EQ(buffer[7], 'Y');
    EXPECT_TRUE(Throws<CMemoryException>([&] { f.Write("Z", 1); }));
    EXPECT_EQ(f.GetLength(), 8u);

    EXPECT_EQ(f.Detach(), buffer);   // the buffer stays the caller's
}

TEST(MemFile, AttachedGrowableBufferStartsEmpty)
{
    BYTE* block = static_cast<BYTE*>(malloc(4));
    CMemFile f;
    f.Attach(block, 4, 4);
    EXPECT_EQ(f.GetLength(), 0u);
    f.Write("123456", 6);   // reallocates the caller's block
    EXPECT_EQ(f.GetLength(), 6u);
    BYTE* p = f.Detach();
    EXPECT_EQ(memcmp(p, "123456", 6), 0);
    free(p);
}
