// A small, seeded xorshift generator for the bounded fuzz runs: the same seed
// gives the same mutations on every machine, so a failure can be replayed.
#pragma once

#include <cstdint>

struct FuzzRandom
{
    uint32_t x;
    uint32_t Next()
    {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    }
    uint32_t Below(uint32_t n) { return n != 0 ? Next() % n : 0; }
};
