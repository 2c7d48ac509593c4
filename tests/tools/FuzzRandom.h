// A small, seeded xorshift generator for the bounded fuzz runs: the same seed
// gives the same mutations on every machine, so a failure can be replayed.
#pragma once

#include <cstdint>
#include <string>

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

// One mutation of a text: 1 to nMaxEdits edits, each a byte replaced, one of
// the pieces inserted, the text cut short, or a run of it doubled (up to 4,000
// characters).
template <size_t N>
std::string MutateText(const std::string& base, FuzzRandom& rnd, const char* const (&pieces)[N], uint32_t nMaxEdits)
{
    std::string s = base;
    const uint32_t nEdits = 1 + rnd.Below(nMaxEdits);
    for (uint32_t i = 0; i < nEdits; i++) {
        const size_t nAt = s.empty() ? 0 : rnd.Below(uint32_t(s.size()));
        switch (rnd.Below(4)) {
        case 0:
            if (!s.empty())
                s[nAt] = char(1 + rnd.Below(255));
            break;
        case 1:
            s.insert(nAt, pieces[rnd.Below(N)]);
            break;
        case 2:
            s.resize(rnd.Below(uint32_t(s.size()) + 1));
            break;
        default:
            if (!s.empty() && s.size() < 4000)
                s.insert(nAt, s.substr(nAt, 1 + rnd.Below(uint32_t(s.size() - nAt))));
            break;
        }
    }
    return s;
}
