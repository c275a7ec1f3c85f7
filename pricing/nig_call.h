// European call price when the log-return over the horizon T follows the NIG
// law (alpha, beta, delta T, mu T).
#pragma once

namespace lorvane::detail {

// S P1 - K exp(-r T) P2 over log-returns in [ln(K/S), upper]: P2 is the mass
// of the horizon law there, P1 the same mass under the law tilted by e^x
// (beta + 1), computed first.
double nigCallPrice(double S, double K, double T, double r, double alpha, double beta, double delta,
                    double mu, double upper) noexcept;

}  // namespace lorvane::detail
