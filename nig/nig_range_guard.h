// Advance tests that vouch, from the arguments alone and before anything is
// evaluated, that every factor and partial product of the plain NIG kernel
// or density (nig/nig_kernel.h) will be a normal double. They are
// conservative: false means only that a factor might leave the range, and
// the caller then checks the factors themselves. Any NaN fails them.
#pragma once

#include <cmath>

namespace lorvane::detail {

// Bounds behind the advance tests: K1 is decreasing with z K1(z) <= 1 and
// K1(z) >= sqrt(pi / 2z) e^-z, so for z in [1e-10, 600] ln K1(z) lies within
// [-z - 3, 23.1]; every other factor is kept within e^+-600 or, for q, alpha
// and delta, within [1e-5, 1e5] (11.6 in the logarithm); the sums of these
// logarithms stay inside [-708, 709], the normal range.
inline constexpr double guardSmallestArgument = 1e-10;
inline constexpr double guardLargestArgument = 600;
inline constexpr double guardLargestExponent = 600;
// For the kernel, q within [1e-10, 1e10] (23.1 in the logarithm) and the
// least exponent beta x - alpha q: -670 - 3 - 23.1 > -708.
inline constexpr double guardLargestRadius = 1e10;
inline constexpr double guardLowestKernelExponent = -670;

// The kernel at one point, from z = alpha q, q and its exponent x beta.
inline bool nigKernelSurelyNormal(double z, double q, double tiltExponent) noexcept {
    return z >= guardSmallestArgument && z <= guardLargestArgument && q >= 1 / guardLargestRadius &&
           q <= guardLargestRadius && std::fabs(tiltExponent) <= guardLargestExponent &&
           tiltExponent - z >= guardLowestKernelExponent;
}

// The density at one point; levelExponent is delta gamma - beta mu.
inline bool nigDensitySurelyNormal(double z, double q, double alpha, double delta,
                                   double levelExponent, double tiltExponent) noexcept {
    constexpr double scaleRange = 1e5;
    constexpr double lowestExponent = -630;  // -630 - 3 - 3 * 11.6 - 1.2 > -708
    const double combined = levelExponent + tiltExponent - z;
    return z >= guardSmallestArgument && z <= guardLargestArgument && q >= 1 / scaleRange &&
           q <= scaleRange && alpha >= 1 / scaleRange && alpha <= scaleRange &&
           delta >= 1 / scaleRange && delta <= scaleRange &&
           std::fabs(levelExponent) <= guardLargestExponent &&
           std::fabs(tiltExponent) <= guardLargestExponent && levelExponent - z >= lowestExponent &&
           combined >= lowestExponent && combined <= guardLargestExponent;
}

// True when every kernel value the rule can form over [lower, upper], and
// every factor of it, is certainly a normal double, so that the plain rule
// needs no check per node. Conservative, from bounds that hold for all x in
// the interval (the nodes lie in it):
//
//   q = sqrt((x - mu)^2 + delta^2) lies in [|delta|, qMax], qMax the larger
//   end value (q is convex);
//   K1 is decreasing, z K1(z) <= 1 and K1(z) >= sqrt(pi / 2z) e^-z, so for
//   z = alpha q in [1e-10, 600] K1 lies within [e^-603, 1e10];
//   |beta x| <= 600 keeps exp(beta x) normal;
//   beta x - alpha q is concave, so its least value m is at an end, and
//   ln(K1 exp(beta x)) >= m - 3, ln(kernel) >= m - 3 - ln(qMax) >= m - 27,
//   while both stay below 650: m >= -670 keeps them above ln(DBL_MIN) = -708.
// Any NaN fails the test.
inline bool nigIntervalSurelyNormal(double alpha, double beta, double delta, double mu,
                                    double lower, double upper) noexcept {
    const double dLower = lower - mu, dUpper = upper - mu;
    const double qLower = std::sqrt(dLower * dLower + delta * delta);
    const double qUpper = std::sqrt(dUpper * dUpper + delta * delta);
    const double qMax = std::fmax(qLower, qUpper);
    const double reach = std::fmax(std::fabs(lower), std::fabs(upper));
    const double m = std::fmin(beta * lower - alpha * qLower, beta * upper - alpha * qUpper);
    return std::fabs(delta) >= guardSmallestArgument &&
           alpha * std::fabs(delta) >= guardSmallestArgument && qMax <= guardLargestRadius &&
           alpha * qMax <= guardLargestArgument && std::fabs(beta) * reach <= guardLargestExponent &&
           m >= guardLowestKernelExponent;
}

}  // namespace lorvane::detail
