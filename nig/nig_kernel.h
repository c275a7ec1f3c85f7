// The normal inverse Gaussian density and its x-dependent kernel.
//
// For the law (alpha, beta, delta, mu), with d = x - mu, q = sqrt(d^2 + delta^2)
// and gamma = sqrt(alpha^2 - beta^2),
//
//   f(x) = (alpha delta / pi) exp(delta gamma - beta mu) exp(beta x) K1(alpha q) / q,
//
// and the kernel is the part that varies with x, K1(alpha q) exp(beta x) / q.
// Both are formed here from separately computed factors, exactly in the order
// written below; the quadrature of the mass calls the same kernel.
//
// Each form also comes with a checked variant that computes the same value
// and reports whether every factor and partial product it formed was a
// normal double. When one is not (overflow, underflow to zero, or a
// subnormal that has lost digits) the caller switches to the evaluation with
// combined exponents in nig/nig_scaled.h.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "special/bessel_k1.h"

namespace lorvane::detail {

inline constexpr double invPi = 0.3183098861837907;

// A positive finite double of full precision: not zero, not subnormal, not
// infinite, not NaN, not negative. On the bit pattern, so that a run of
// these tests compiles to integer compares without branches.
inline bool isPositiveNormal(double v) noexcept {
    constexpr std::uint64_t smallestNormal = 0x0010000000000000u;  // DBL_MIN
    constexpr std::uint64_t infinity = 0x7ff0000000000000u;
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits - smallestNormal < infinity - smallestNormal;
}

// The same without the sign.
inline bool isNormalDouble(double v) noexcept {
    return isPositiveNormal(std::fabs(v));
}

// Conjunction of several tests, all evaluated, folded without branches.
template <class... Tests>
inline bool allOf(Tests... tests) noexcept {
    return (static_cast<unsigned>(tests) & ...) != 0u;
}

// Whether (alpha, beta, delta, mu) is a law: alpha > |beta|, delta > 0, all
// finite (false for NaN). Only for such laws, at finite points, does a factor
// out of range call for the evaluation with combined exponents; everything
// else keeps the plain arithmetic's NaN or infinity.
inline bool nigLawInDomain(double alpha, double beta, double delta, double mu) noexcept {
    return alpha > std::fabs(beta) && delta > 0 && alpha <= DBL_MAX && delta <= DBL_MAX &&
           std::isfinite(mu);
}

// K1(alpha q) exp(beta x) / q.
inline double nigKernel(double alpha, double beta, double delta, double mu, double x) noexcept {
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double k = besselK1(q * alpha);
    return (k * std::exp(x * beta)) / q;
}

// The kernel; clears piecesNormal (and leaves it alone otherwise) when the
// Bessel value, the exponential, their product or the result is not a
// positive normal double. The tests are folded without branches.
inline double nigKernel(double alpha, double beta, double delta, double mu, double x,
                        bool& piecesNormal) noexcept {
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double k = besselK1(q * alpha);
    const double tilt = std::exp(x * beta);
    const double product = k * tilt;
    const double value = product / q;
    piecesNormal = allOf(piecesNormal, isPositiveNormal(k), isPositiveNormal(tilt),
                         isPositiveNormal(product), isPositiveNormal(value));
    return value;
}

// exp(delta gamma - beta mu), the constant factor of the density that the
// kernel leaves out; NaN when alpha < |beta|.
inline double nigLevelFactor(double alpha, double beta, double delta, double mu) noexcept {
    return std::exp(std::sqrt(alpha * alpha - beta * beta) * delta - beta * mu);
}

// The density, multiplying by 1/pi rather than dividing by pi.
inline double nigDensity(double x, double alpha, double beta, double delta, double mu) noexcept {
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double level = nigLevelFactor(alpha, beta, delta, mu);
    const double k = besselK1(q * alpha);
    const double tilt = std::exp(x * beta);
    return ((((k * level) * tilt) * alpha) * delta) * invPi / q;
}

// The density, checked over every factor and partial product (a negative
// delta or alpha, outside the law's domain, also clears the flag).
inline double nigDensity(double x, double alpha, double beta, double delta, double mu,
                         bool& piecesNormal) noexcept {
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double level = nigLevelFactor(alpha, beta, delta, mu);
    const double k = besselK1(q * alpha);
    const double tilt = std::exp(x * beta);
    const double p1 = k * level;
    const double p2 = p1 * tilt;
    const double p3 = (p2 * alpha) * delta;
    const double p4 = p3 * invPi;
    const double value = p4 / q;
    piecesNormal = allOf(piecesNormal, isNormalDouble(level), isNormalDouble(k),
                         isNormalDouble(tilt), isNormalDouble(p1), isNormalDouble(p2),
                         isNormalDouble(p3), isNormalDouble(p4), isNormalDouble(value));
    return value;
}

}  // namespace lorvane::detail
