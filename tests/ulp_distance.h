// Comparing results of two builds of the library in units in the last place.
#pragma once

#include <cstdint>
#include <cstring>

namespace lorvane::test {

inline std::uint64_t bitsOf(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// Distance in units in the last place: how many doubles lie between the two.
inline std::uint64_t ulpDistance(double a, double b) {
    auto ordered = [](double x) {
        const std::uint64_t bits = bitsOf(x);
        return (bits >> 63) ? std::uint64_t(0x8000000000000000u) - (bits & 0x7fffffffffffffffu)
                            : bits + std::uint64_t(0x8000000000000000u);
    };
    const std::uint64_t x = ordered(a), y = ordered(b);
    return x > y ? x - y : y - x;
}

// How far a result of the exported function with this ordinal may lie from
// the x86-64 reference build's. The library's own arithmetic is the same
// SSE2 double sequence on every x86 build, so only the C math libraries can
// differ: their exp of a large argument (the far normal tail, K1 at large x)
// may round differently in the last place. Measured: at most 2 units over
// thousands of arguments; for the NIG functions, whose exp and log arguments
// are moderate, none.
inline std::uint64_t allowedUlps(int ordinal) { return ordinal <= 2 ? 4 : 0; }

}  // namespace lorvane::test
