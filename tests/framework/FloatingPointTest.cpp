// Both builds compute in doubles: the 32-bit one runs its x87 unit at double
// precision (set at start-up), so a product cut to an integer comes out as the
// 64-bit build's SSE2 gives it.
#include <float.h>

#include <gtest/gtest.h>

TEST(FloatingPoint, ComputesAtDoublePrecisionInBothBuilds)
{
#if defined(__i386__)
    EXPECT_EQ((unsigned)_PC_53, _controlfp(0, 0) & _MCW_PC);
#endif
    // In 64-bit precision 5 * 1.4 stays just under 7; in doubles it is 7.
    volatile int n = 5;
    volatile double d = 1.4;
    EXPECT_EQ(7, (int)(n * d));
}
