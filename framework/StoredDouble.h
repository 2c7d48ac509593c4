// A computed floating-point value as the double it is in memory.
//
// The x87 unit of the 32-bit build may keep a result in a register with more
// precision than a double (the program runs at double precision, but code that
// runs after another library changed the control word may not), while the
// 64-bit build computes in SSE2 doubles. A value that decides an integer, a
// choice or a comparison goes through memory first, so that both builds, and
// two values computed the same way, agree to the last bit.
#pragma once

inline double StoredDouble(double d)
{
    volatile double v = d;
    return v;
}
