// Modified Bessel function of the second kind of order one, K1(x), x > 0.
//
// The positive axis is cut into four regions; in each, K1 is a fixed-degree
// polynomial chosen by the integer part of a reduced variable:
//
//   x < 0.8           ln(x) * (x P(x^2)) + Q(x^2) / x     (I1 series, pole)
//   0.8 <= x < 5.5    (3/x) * poly_k(t),  y = x - 3/x, k = trunc(y + 3),
//                                         t = (k - 2) - y in (0, 1]
//   5.5 <= x < 12.5   poly_j(t),          j = trunc(x) - 5, t = trunc(x) + 1 - x
//   x >= 12.5         exp(-x) sqrt(t) poly_k(t), t = 60/x, k = trunc(t)
//
// Relative error below 1e-15 on [1e-300, 700]. No argument checks: x <= 0
// and NaN fall into the first form and give NaN; subnormal x overflows Q/x
// to +infinity; the result underflows gracefully to 0 above about 742.
//
// Defined inline so that the NIG kernel, which calls it once per quadrature
// node, compiles it into its own loop.
#pragma once

#include <cmath>
#include <cstddef>
#include <utility>

#include "special/bessel_k1_tables.h"

namespace lorvane::detail {

// Horner's rule from the highest coefficient c0: p = c0 t, p = (p + ci) t for
// each following coefficient but the last, then p + c_last. Unrolled at
// compile time; the order of the operations (and so every rounding) is fixed.
template <std::size_t n, std::size_t... i>
inline double k1HornerSteps(const double (&c)[n], double t, std::index_sequence<i...>) noexcept {
    double p = c[0] * t;
    ((p = (p + c[i + 1]) * t), ...);
    return p + c[n - 1];
}

template <std::size_t n>
inline double k1Horner(const double (&c)[n], double t) noexcept {
    static_assert(n >= 2, "a polynomial of degree one or more");
    return k1HornerSteps(c, t, std::make_index_sequence<n - 2>{});
}

// Where the asymptotic form starts, and the scale of its variable t = 60/x.
inline constexpr double k1AsymptoticStart = 12.5;
inline constexpr double k1AsymptoticScale = 60.0;

// The slowly varying factor K1(x) e^x / sqrt(t) of the asymptotic form, as a
// polynomial in t = 60/x itself, t in [0, 4.8] (x = +infinity gives t = 0).
inline double k1AsymptoticPolynomial(double t) noexcept {
    const int k = static_cast<int>(t);  // 0 ... 4
    return k1Horner(k1AsymRows[k], t);
}

inline double besselK1(double x) noexcept {
    constexpr double smallEnd = 0.8;
    constexpr double midEnd = 5.5;
    constexpr double midShift = 3.0;

    // "Not at least 0.8" also takes x <= 0 and NaN, which come out NaN.
    if (!(x >= smallEnd)) {
        const double w = x * x;
        const double logX = std::log(x);
        const double p = k1Horner(k1SmallP, w);
        const double q = k1Horner(k1SmallQ, w);
        return logX * (p * x) + q / x;
    }
    if (x < midEnd) {
        // y = x - 3/x lies in [-2.95, 4.96), so k is 0 ... 7.
        const double v = midShift / x;
        const double y = x - v;
        const int k = static_cast<int>(y + midShift);
        const double t = static_cast<double>(k - 2) - y;
        return k1Horner(k1MidRows[k], t) * v;
    }
    if (x < k1AsymptoticStart) {
        const int n = static_cast<int>(x);  // 5 ... 12
        const double t = static_cast<double>(n + 1) - x;
        return k1Horner(k1HighRows[n - 5], t);
    }
    const double t = k1AsymptoticScale / x;
    const double s = std::exp(-x) * std::sqrt(t);
    return s * k1AsymptoticPolynomial(t);
}

}  // namespace lorvane::detail
