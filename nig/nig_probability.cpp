#include "nig/nig_probability.h"

#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"

namespace lorvane::detail {

double NIG_Prob_BS_style(double alpha, double beta, double delta, double mu, double lower,
                         double upper) noexcept {
    const auto kernel = [=](double x) { return nigKernel(alpha, beta, delta, mu, x); };
    const DoubleExponentialSum integral = doubleExponentialSum(kernel, lower, upper);
    return (((integral.stepTimesSum * nigLevelFactor(alpha, beta, delta, mu)) * alpha) * delta) *
           invPi;
}

}  // namespace lorvane::detail
