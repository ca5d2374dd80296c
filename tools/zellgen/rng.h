#pragma once

#include <cstdint>

namespace zellgen {

// splitmix64: the same numbers on every platform and compiler (std distributions are not).
inline uint64_t mix64(uint64_t z)
{
    z += 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

inline double hashUnit(uint64_t seed, uint64_t key)
{
    return double(mix64(seed * 0x100000001b3ull ^ key) >> 11) / double(1ull << 53);
}

struct Rng
{
    uint64_t state;
    explicit Rng(uint64_t seed) : state(mix64(seed)) {}
    uint64_t next()
    {
        state += 0x9e3779b97f4a7c15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) / double(1ull << 53); }
    double range(double a, double b) { return a + (b - a) * uniform(); }
};

} // namespace zellgen
