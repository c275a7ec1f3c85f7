// The mass that the NIG law (alpha, beta, delta, mu) gives to [lower, upper].
// Internal to the library: the call price and the tests use it, the module
// does not export it.
#pragma once

namespace lorvane::detail {

// The integral of the NIG density from lower to upper by the
// double-exponential rule over the kernel, the density's constant factor
// applied once to the finished sum. A reversed interval gives the negated
// mass; alpha < |beta| gives NaN.
double NIG_Prob_BS_style(double alpha, double beta, double delta, double mu, double lower,
                         double upper) noexcept;

}  // namespace lorvane::detail
