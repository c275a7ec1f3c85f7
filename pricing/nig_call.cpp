#include "pricing/nig_call.h"

#include <cmath>

#include "lorvane.h"
#include "nig/nig_probability.h"

namespace lorvane::detail {

double nigCallPrice(double S, double K, double T, double r, double alpha, double beta, double delta,
                    double mu, double upper) noexcept {
    const double lo = std::log(K / S);
    const double deltaT = T * delta;
    const double muT = T * mu;
    const double p1 = NIG_Prob_BS_style(alpha, beta + 1.0, deltaT, muT, lo, upper);
    const double p2 = NIG_Prob_BS_style(alpha, beta, deltaT, muT, lo, upper);
    return p1 * S - (p2 * std::exp(-(T * r))) * K;
}

}  // namespace lorvane::detail

extern "C" LORVANE_API double LORVANE_CALL NIG_Call_BS_style(double S, double K, double T, double r,
                                                             double alpha, double beta,
                                                             double delta, double mu,
                                                             double upper) {
    return lorvane::detail::nigCallPrice(S, K, T, r, alpha, beta, delta, mu, upper);
}
