// The NIG kernel and density with their exponents combined.
//
// The plain forms multiply K1(alpha q), exp(beta x) and exp(delta gamma -
// beta mu), each of which leaves the double range long before their product
// does. Here the exponents are added first and only the scaled Bessel
// function K1(z) e^z is formed apart:
//
//   kernel   = exp(beta x - alpha q) * [K1(alpha q) e^(alpha q)] / q
//   density  = (alpha delta / pi) exp(-g) * [K1(alpha q) e^(alpha q)] / q,
//   g        = alpha q - beta d - delta gamma,   d = x - mu.
//
// g is never negative: beta d - alpha q is at most -delta gamma, reached at
// the mode. Formed directly it would lose about |delta gamma| units in the
// last place to cancellation (thousands for long horizons), so it is taken
// from the identity (alpha q - beta d)^2 - (delta gamma)^2 = (alpha d -
// beta q)^2:
//
//   g = u^2 / (A + delta gamma),   u = alpha d - beta q,   A = alpha q - beta d.
//
// When beta d > 0 the differences u and A cancel as well (in the far tail on
// the side of the skew, where q is close to |d|), and are taken from
//
//   A = ((alpha delta)^2 + (gamma d)^2) / (alpha q + beta d),
//   u = (gamma d - beta delta)(gamma d + beta delta) / (alpha d + beta q),
//
// with gamma^2 = (alpha - beta)(alpha + beta); otherwise both are sums of
// terms of one sign. The numerator of u then vanishes only at the mode,
// where g is small and its absolute error, the one that matters in exp(-g),
// is small too.
#pragma once

#include <cfloat>
#include <cmath>

#include "nig/nig_kernel.h"
#include "special/bessel_k1_scaled.h"

namespace lorvane::detail {

// sqrt(d^2 + delta^2), by hypot only where the squares leave the normal
// range (huge distances, or a tiny delta at the centre).
inline double nigRadius(double d, double delta) noexcept {
    const double s = d * d + delta * delta;
    return s >= DBL_MIN && s <= DBL_MAX ? std::sqrt(s) : std::hypot(d, delta);
}

// The two differences of the exponent, without cancellation.
struct NigExponentParts {
    double across;  // A = alpha q - beta d
    double slope;   // u = alpha d - beta q
};

inline NigExponentParts nigExponentParts(double alpha, double beta, double gammaSquared,
                                         double delta, double d, double q) noexcept {
    if (beta * d > 0) {
        const double gd = std::sqrt(gammaSquared) * d;
        const double bDelta = beta * delta;
        const double aDelta = alpha * delta;
        return {(aDelta * aDelta + gd * gd) / (alpha * q + beta * d),
                ((gd - bDelta) * (gd + bDelta)) / (alpha * d + beta * q)};
    }
    return {alpha * q - beta * d, alpha * d - beta * q};
}

inline double nigGammaSquared(double alpha, double beta) noexcept {
    return (alpha - beta) * (alpha + beta);
}

// exp(-g) K1(alpha q) e^(alpha q) / q: the density divided by alpha delta / pi.
inline double nigScaledKernel(double alpha, double beta, double delta, double mu,
                              double gammaSquared, double deltaGamma, double x) noexcept {
    const double d = x - mu;
    const double q = nigRadius(d, delta);
    const double z = q * alpha;
    // So far out (alpha q > 2^500) the density lies far below the double
    // range unless alpha - |beta| is below about 1e-147; the guard also
    // keeps the squares and sums below from overflowing.
    if (z > 0x1p500) return 0.0;
    const NigExponentParts e = nigExponentParts(alpha, beta, gammaSquared, delta, d, q);
    const double g = e.slope * (e.slope / (e.across + deltaGamma));
    return (std::exp(-g) * besselK1Scaled(z)) / q;
}

inline double nigScaledDensity(double x, double alpha, double beta, double delta,
                               double mu) noexcept {
    const double gammaSquared = nigGammaSquared(alpha, beta);
    const double deltaGamma = delta * std::sqrt(gammaSquared);
    return ((nigScaledKernel(alpha, beta, delta, mu, gammaSquared, deltaGamma, x) * alpha) *
            delta) *
           invPi;
}

// K1(alpha q) exp(beta x) / q with one exponential of beta mu - A, A = alpha q -
// beta d (beta x - alpha q when alpha <= |beta|, which the kernel allows).
inline double nigScaledPlainKernel(double alpha, double beta, double delta, double mu,
                                   double x) noexcept {
    const double d = x - mu;
    const double q = nigRadius(d, delta);
    const double z = q * alpha;
    // The cancellation-free form needs gamma real, and its squares would
    // overflow so far out, where the plain difference loses nothing that
    // matters.
    const double gammaSquared = nigGammaSquared(alpha, beta);
    const double exponent =
        z > 0x1p500 || !(gammaSquared > 0)
            ? x * beta - z
            : beta * mu - nigExponentParts(alpha, beta, gammaSquared, delta, d, q).across;
    return (std::exp(exponent) * besselK1Scaled(z)) / q;
}

}  // namespace lorvane::detail
