// The exported density and kernel.
//
// Both are evaluated from separate factors exactly as in nig/nig_kernel.h.
// A few comparisons on the arguments of K1 and of the exponentials, made
// before anything is evaluated, vouch that every factor and partial product
// will be a normal double; then the plain form runs and nothing else is done.
// Otherwise an out-of-line path evaluates the plain form with every factor
// checked, and, if one has left the normal range for a law in its domain,
// switches to the form with combined exponents (nig/nig_scaled.h).
#include <cfloat>
#include <cmath>

#include "lorvane.h"
#include "nig/nig_kernel.h"
#include "nig/nig_range_guard.h"
#include "nig/nig_scaled.h"

namespace {

using namespace lorvane::detail;

// Out of line and cold, so that the plain path keeps a light frame.
[[gnu::noinline, gnu::cold]] double densityNearRangeEdge(double x, double alpha, double beta,
                                                         double delta, double mu) noexcept {
    bool piecesNormal = true;
    const double f = nigDensity(x, alpha, beta, delta, mu, piecesNormal);
    if (piecesNormal || !nigLawInDomain(alpha, beta, delta, mu) || !std::isfinite(x)) return f;
    return nigScaledDensity(x, alpha, beta, delta, mu);
}

[[gnu::noinline, gnu::cold]] double kernelNearRangeEdge(double alpha, double beta, double delta,
                                                        double mu, double x) noexcept {
    bool piecesNormal = true;
    const double k = nigKernel(alpha, beta, delta, mu, x, piecesNormal);
    // The kernel needs only alpha > 0; beta may exceed alpha.
    const bool finite = alpha <= DBL_MAX && std::isfinite(beta) && std::isfinite(delta) &&
                        std::isfinite(mu) && std::isfinite(x);
    if (piecesNormal || !(alpha > 0 && finite)) return k;
    return nigScaledPlainKernel(alpha, beta, delta, mu, x);
}

}  // namespace

extern "C" LORVANE_API double LORVANE_CALL pdfNIG(double x, double alpha, double beta, double delta,
                                                  double mu) {
    // The plain form of nigDensity, its exponent arguments formed first.
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double z = q * alpha;
    const double levelExponent = std::sqrt(alpha * alpha - beta * beta) * delta - beta * mu;
    const double tiltExponent = x * beta;
    if (!nigDensitySurelyNormal(z, q, alpha, delta, levelExponent, tiltExponent))
        return densityNearRangeEdge(x, alpha, beta, delta, mu);
    const double level = std::exp(levelExponent);
    const double k = besselK1(z);
    const double tilt = std::exp(tiltExponent);
    return ((((k * level) * tilt) * alpha) * delta) * invPi / q;
}

extern "C" LORVANE_API double LORVANE_CALL theIntegrand_BS_style(double alpha, double beta,
                                                                 double delta, double mu,
                                                                 double x) {
    // The plain form of nigKernel.
    const double d = x - mu;
    const double q = std::sqrt(d * d + delta * delta);
    const double z = q * alpha;
    const double tiltExponent = x * beta;
    if (!nigKernelSurelyNormal(z, q, tiltExponent))
        return kernelNearRangeEdge(alpha, beta, delta, mu, x);
    return (besselK1(z) * std::exp(tiltExponent)) / q;
}
