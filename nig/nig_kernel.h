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
#pragma once

#include <cmath>

#include "special/bessel_k1.h"

namespace lorvane::detail {

constexpr double invPi = 0.3183098861837907;

// K1(alpha q) exp(beta x) / q.
inline double nigKernel(double alpha, double beta, double delta, double mu, double x) noexcept {
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double k = besselK1(q * alpha);
    return (k * std::exp(x * beta)) / q;
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

}  // namespace lorvane::detail
