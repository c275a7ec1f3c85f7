// Turns the fuzzer's bytes into doubles of every class the library must
// survive: NaN with payloads, infinities, signed zeros, subnormals, the
// largest finite values, ordinary magnitudes, and values at and a few units
// in the last place around every threshold the functions compare against.
//
// Each double is one tag byte followed by its payload:
//   tag % 4 == 0  raw:      the next 8 bytes, little-endian, as the bit pattern
//   tag % 4 == 1  landmark: next byte picks a landmark, the byte after it a
//                           step of -4..4 units in the last place; tag bit 7
//                           negates
//   tag % 4 == 2  ordinary: (1 + u) * 2^e with u from the next two bytes and
//                           e in [-48, 48] from the byte after; tag bit 7 negates
//   tag % 4 == 3  small:    the next byte as a signed integer, divided by 8
// When the bytes run out, the caller's default stands in for the value.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace lorvane::fuzz {

inline double fromBits(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline uint64_t toBits(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

// Values the functions treat specially or near which their behaviour changes.
inline const std::vector<double>& landmarks() {
    static const std::vector<double> table = [] {
        const double inf = std::numeric_limits<double>::infinity();
        std::vector<double> v = {
            // Classes of IEEE doubles.
            0.0, std::numeric_limits<double>::denorm_min(), fromBits(0x000fffffffffffffull), DBL_MIN,
            DBL_MAX, inf, std::numeric_limits<double>::quiet_NaN(), fromBits(0x7ff8000000000123ull),
            fromBits(0x7ff0000000000001ull) /* signalling */, fromBits(0xfff8deadbeef0000ull),
            std::sqrt(DBL_MIN), std::sqrt(DBL_MAX), 1.0 / DBL_MAX, 1.0, 2.0, 0.5,
            // Normal distribution function: cut-off, form switch, and where
            // 1 - tail rounds to 1.
            37.0, 7.07106781186547, 5.0 * std::sqrt(2.0), 8.3,
            // K1: region boundaries, where it becomes subnormal and zero, where
            // Q/x overflows, and where the small-argument form is Q/x alone.
            0.8, 5.5, 12.5, 705.0, 709.782712893384, 742.0, 745.1332191019412, 5.6e-309, 1e-9,
            // exp over- and underflow of the separately formed factors.
            -709.782712893384, -745.1332191019412,
        };
        // K1 middle region: rows switch where x - 3/x crosses an integer.
        for (int j = -3; j <= 5; ++j) v.push_back((j + std::sqrt(double(j) * j + 12.0)) / 2.0);
        // K1 high region rows switch at the integers, asymptotic rows at 60/k.
        for (int n = 6; n <= 12; ++n) v.push_back(n);
        for (int k = 1; k <= 4; ++k) v.push_back(60.0 / k);
        return v;
    }();
    return table;
}

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool exhausted() const { return pos_ >= size_; }

    double next(double fallback) {
        if (exhausted()) return fallback;
        const uint8_t tag = byte();
        const bool negate = (tag & 0x80) != 0;
        switch (tag % 4) {
            case 0: {
                uint64_t bits = 0;
                for (int i = 0; i < 8; ++i) bits |= uint64_t(byte()) << (8 * i);
                return fromBits(bits);
            }
            case 1: {
                const auto& table = landmarks();
                double v = table[byte() % table.size()];
                const int steps = int(byte() % 9) - 4;
                const double toward = steps < 0 ? -std::numeric_limits<double>::infinity()
                                                : std::numeric_limits<double>::infinity();
                for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) v = std::nextafter(v, toward);
                return negate ? -v : v;
            }
            case 2: {
                const unsigned fraction = unsigned(byte()) | (unsigned(byte()) << 8);
                const int exponent = int(byte() % 97) - 48;
                const double v = std::ldexp(1.0 + fraction / 65536.0, exponent);
                return negate ? -v : v;
            }
            default:
                return double(int8_t(byte())) / 8.0;
        }
    }

private:
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace lorvane::fuzz
