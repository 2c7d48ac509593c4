// A test executable whose one test dies of an access violation.
#include <gtest/gtest.h>

TEST(Crasher, DiesOfAnAccessViolation)
{
    volatile int* p = nullptr;
    *p = 1;
}
