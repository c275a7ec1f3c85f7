// Shared argument tables for the tests that compare results across threads
// and across loads of the module: ordinary values from a fixed pseudo-random
// sequence, plus the special values (NaN, infinities, zeros, subnormals,
// region boundaries) whose handling must not depend on who calls.
#pragma once

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "lorvane.h"

namespace lorvane::test {

struct InputTables {
    std::vector<double> cdf;
    std::vector<double> bessel;
    std::vector<std::array<double, 5>> density;  // pdfNIG order: x, alpha, beta, delta, mu
    std::vector<std::array<double, 5>> kernel;   // theIntegrand_BS_style order: alpha, beta, delta, mu, x
    std::vector<std::array<double, 9>> call;     // S, K, T, r, alpha, beta, delta, mu, upper
};

// The five exports as plain function pointers, bound either to the static
// library or to a loaded module.
struct Exports {
    double(LORVANE_CALL* cdf)(double);
    double(LORVANE_CALL* bessel)(double);
    double(LORVANE_CALL* density)(double, double, double, double, double);
    double(LORVANE_CALL* kernel)(double, double, double, double, double);
    double(LORVANE_CALL* call)(double, double, double, double, double, double, double, double, double);
};

inline Exports staticExports() { return {cdfN, BesselK1, pdfNIG, theIntegrand_BS_style, NIG_Call_BS_style}; }

inline uint64_t bitsOf(double d) {
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

// A fixed sequence (splitmix64), so that every run sees the same tables.
class FixedSequence {
public:
    uint64_t next() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * double(next() >> 11) * 0x1p-53; }

private:
    uint64_t state_ = 0x6c6f7276616e65ull;
};

// ordinaryCount pseudo-random cases per function (priceCount for the price,
// which costs two quadratures), after the special values.
inline InputTables makeInputTables(int ordinaryCount, int priceCount) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double specials[] = {nan,  -nan,  inf,     -inf,  0.0,  -0.0, DBL_MIN, 5e-324, DBL_MAX, -DBL_MAX,
                               0.8,  5.5,   12.5,    37.0,  -37.0, 7.07106781186547, -7.07106781186547,
                               1.0,  6.0,   60.0,    705.0, 742.0, 1e-300, -1.0};
    InputTables t;
    FixedSequence seq;
    for (double s : specials) t.cdf.push_back(s), t.bessel.push_back(s);
    for (int i = 0; i < ordinaryCount; ++i) {
        t.cdf.push_back(seq.uniform(-40.0, 40.0));
        t.bessel.push_back(std::exp(seq.uniform(-20.0, 6.6)));  // about 2e-9 to 735
    }

    const std::array<double, 5> law = {2.0, 0.5, 0.3, 0.05, 0.1};  // alpha, beta, delta, mu, x
    for (double s : specials)
        for (size_t slot = 0; slot < law.size(); ++slot) {
            std::array<double, 5> k = law;
            k[slot] = s;
            t.kernel.push_back(k);
        }
    for (int i = 0; i < ordinaryCount; ++i) {
        const double alpha = seq.uniform(0.5, 40.0), beta = seq.uniform(-0.99, 0.99) * alpha;
        t.kernel.push_back({alpha, beta, seq.uniform(0.01, 3.0), seq.uniform(-0.5, 0.5), seq.uniform(-4.0, 4.0)});
    }
    for (const auto& k : t.kernel) t.density.push_back({k[4], k[0], k[1], k[2], k[3]});

    const std::array<double, 9> option = {100.0, 100.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, 2.0};
    for (double s : {nan, inf, -inf, 0.0, -1.0})
        for (size_t slot = 0; slot < option.size(); ++slot) {
            std::array<double, 9> c = option;
            c[slot] = s;
            t.call.push_back(c);
        }
    for (int i = 0; i < priceCount; ++i) {
        const double alpha = seq.uniform(2.0, 40.0), beta = seq.uniform(-0.9, 0.9) * alpha - 0.5;
        t.call.push_back({100.0, seq.uniform(50.0, 150.0), seq.uniform(0.05, 3.0), seq.uniform(0.0, 0.1), alpha, beta,
                          seq.uniform(0.05, 2.0), seq.uniform(-0.2, 0.2), seq.uniform(1.0, 5.0)});
    }
    return t;
}

// Every result for every table row, as bit patterns (so NaN payloads and
// signed zeros count too), in table order.
inline std::vector<uint64_t> evaluateAll(const Exports& f, const InputTables& t) {
    std::vector<uint64_t> out;
    out.reserve(t.cdf.size() + t.bessel.size() + t.density.size() + t.kernel.size() + t.call.size());
    for (double x : t.cdf) out.push_back(bitsOf(f.cdf(x)));
    for (double x : t.bessel) out.push_back(bitsOf(f.bessel(x)));
    for (const auto& a : t.density) out.push_back(bitsOf(f.density(a[0], a[1], a[2], a[3], a[4])));
    for (const auto& a : t.kernel) out.push_back(bitsOf(f.kernel(a[0], a[1], a[2], a[3], a[4])));
    for (const auto& a : t.call) out.push_back(bitsOf(f.call(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8])));
    return out;
}

}  // namespace lorvane::test
