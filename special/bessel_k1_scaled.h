// The exponentially scaled Bessel function K1(x) e^x, x > 0.
//
// For large x, K1(x) falls like e^-x and leaves the double range near 742
// although K1(x) e^x ~ sqrt(pi / 2x) stays of order one. Callers that combine
// e^-x with other exponentials before forming a product use this form. From
// 12.5 on it is the asymptotic form of besselK1 without its factor exp(-x)
// (the same rows, the same Horner evaluation); below, where K1 and e^x are
// both moderate, it is besselK1(x) * exp(x).
#pragma once

#include <cmath>

#include "special/bessel_k1.h"

namespace lorvane::detail {

inline double besselK1Scaled(double x) noexcept {
    // "Not at least 12.5" also takes x <= 0 and NaN, which besselK1 makes NaN.
    if (!(x >= k1AsymptoticStart)) return besselK1(x) * std::exp(x);
    const double t = k1AsymptoticScale / x;
    return std::sqrt(t) * k1AsymptoticPolynomial(t);
}

}  // namespace lorvane::detail
