#include "nig/nig_probability.h"

#include <cmath>
#include <limits>

#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"
#include "nig/nig_range_guard.h"
#include "nig/nig_scaled.h"

namespace lorvane::detail {

namespace {

// The density's constant factor (alpha delta / pi) exp(delta gamma - beta mu),
// level being the exponential, applied once to the finished sum h * sum.
inline double massFromSum(double hSum, double level, double alpha, double delta) noexcept {
    return (((hSum * level) * alpha) * delta) * invPi;
}

}  // namespace

double nigProbabilityFromFactors(double alpha, double beta, double delta, double mu, double lower,
                                 double upper, bool* piecesNormal) noexcept {
    bool normal = true;
    const auto kernel = [&](double x) { return nigKernel(alpha, beta, delta, mu, x, normal); };
    const DoubleExponentialSum integral = doubleExponentialSum(kernel, lower, upper);
    const double level = nigLevelFactor(alpha, beta, delta, mu);
    if (piecesNormal) *piecesNormal = normal && isNormalDouble(level);
    return massFromSum(integral.stepTimesSum, level, alpha, delta);
}

double nigProbabilityScaled(double alpha, double beta, double delta, double mu, double lower,
                            double upper) noexcept {
    const double gammaSquared = nigGammaSquared(alpha, beta);
    const double deltaGamma = delta * std::sqrt(gammaSquared);
    const auto kernel = [=](double x) {
        return nigScaledKernel(alpha, beta, delta, mu, gammaSquared, deltaGamma, x);
    };
    const DoubleExponentialSum integral = doubleExponentialSum(kernel, lower, upper);
    return ((integral.stepTimesSum * alpha) * delta) * invPi;
}

double NIG_Prob_BS_style(double alpha, double beta, double delta, double mu, double lower,
                         double upper) noexcept {
    const double level = nigLevelFactor(alpha, beta, delta, mu);
    const bool inDomain =
        nigLawInDomain(alpha, beta, delta, mu) && std::isfinite(lower) && std::isfinite(upper);
    if (inDomain && !isNormalDouble(level))
        return nigProbabilityScaled(alpha, beta, delta, mu, lower, upper);
    if (nigIntervalSurelyNormal(alpha, beta, delta, mu, lower, upper)) {
        const auto kernel = [=](double x) { return nigKernel(alpha, beta, delta, mu, x); };
        const double hSum = doubleExponentialSum(kernel, lower, upper).stepTimesSum;
        const double mass = massFromSum(hSum, level, alpha, delta);
        if (std::isfinite(mass) || !inDomain) return mass;
        return nigProbabilityScaled(alpha, beta, delta, mu, lower, upper);
    }
    // Some kernel factor may leave the range: the plain rule with every node
    // checked. For a law in its domain the plain result is wanted only if no
    // factor leaves the range; from the first one that does, the kernel
    // returns NaN, which ends the passes after the current one, and the
    // combined exponents take over.
    bool piecesNormal = true;
    const auto checkedKernel = [&](double x) {
        const double v = nigKernel(alpha, beta, delta, mu, x, piecesNormal);
        return piecesNormal || !inDomain ? v : std::numeric_limits<double>::quiet_NaN();
    };
    const double hSum = doubleExponentialSum(checkedKernel, lower, upper).stepTimesSum;
    const double mass = massFromSum(hSum, level, alpha, delta);
    if ((piecesNormal && std::isfinite(mass)) || !inDomain) return mass;
    return nigProbabilityScaled(alpha, beta, delta, mu, lower, upper);
}

}  // namespace lorvane::detail
