// The mass that the NIG law (alpha, beta, delta, mu) gives to [lower, upper].
// Internal to the library: the call price and the tests use it, the module
// does not export it.
#pragma once

namespace lorvane::detail {

// The integral of the NIG density from lower to upper by the
// double-exponential rule over the kernel, the density's constant factor
// applied once to the finished sum. A reversed interval gives the negated
// mass; alpha < |beta| gives NaN.
//
// Evaluated from separate factors unless one of them leaves the normal
// double range, or the result is not finite, for a law in its domain
// (alpha > |beta|, delta > 0, all finite) and finite limits; then over the
// same nodes with combined exponents (nigProbabilityScaled). Where
// nigIntervalSurelyNormal vouches for the kernel in advance the plain rule
// runs without checks per node; otherwise every node's factors are checked.
double NIG_Prob_BS_style(double alpha, double beta, double delta, double mu, double lower,
                         double upper) noexcept;

// The kernel K1(alpha q) e^(beta x) / q summed, times
// (alpha delta / pi) exp(delta gamma - beta mu). piecesNormal, if given,
// receives whether every kernel factor and the constant factor were normal
// doubles.
double nigProbabilityFromFactors(double alpha, double beta, double delta, double mu, double lower,
                                 double upper, bool* piecesNormal = nullptr) noexcept;

// The density divided by alpha delta / pi, exp(-g) K1(alpha q) e^(alpha q) / q,
// summed over the same nodes, times alpha delta / pi.
double nigProbabilityScaled(double alpha, double beta, double delta, double mu, double lower,
                            double upper) noexcept;

}  // namespace lorvane::detail
