// NIG_Call_BS_style on any nine doubles, and the two quadratures behind it:
// no run exceeds eight passes or the kernel evaluations that eight passes
// allow; a NaN argument gives NaN; the mass of an interval inside the domain
// is never negative, and reversing the interval negates it exactly.
#include <cmath>
#include <cstdint>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "lorvane.h"
#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"
#include "nig/nig_probability.h"
#include "quadrature_bound.h"

namespace {

// One quadrature run of the price, through the rule itself with a counting
// integrand, then through the library's probability in both directions.
void checkProbability(double alpha, double beta, double delta, double mu, double lower, double upper) {
    long evaluations = 0;
    const auto counted = [&](double x) {
        ++evaluations;
        return lorvane::detail::nigKernel(alpha, beta, delta, mu, x);
    };
    const auto run = lorvane::detail::doubleExponentialSum(counted, lower, upper);
    const double passes = run.passes;
    FUZZ_CHECK(run.passes >= 1 && run.passes <= lorvane::fuzz::maxPasses, "at most eight passes",
               "doubleExponentialSum", passes, alpha, beta, delta, mu, lower, upper);
    FUZZ_CHECK(evaluations <= lorvane::fuzz::maxKernelEvaluations(), "kernel evaluations within the bound",
               "doubleExponentialSum", double(evaluations), alpha, beta, delta, mu, lower, upper);

    const double forward = lorvane::detail::NIG_Prob_BS_style(alpha, beta, delta, mu, lower, upper);
    const double backward = lorvane::detail::NIG_Prob_BS_style(alpha, beta, delta, mu, upper, lower);
    FUZZ_CHECK(forward == -backward || (std::isnan(forward) && std::isnan(backward)),
               "reversed interval gives exactly the negated mass", "NIG_Prob_BS_style", forward, alpha, beta, delta,
               mu, lower, upper, backward);
    if (delta > 0.0 && alpha > std::fabs(beta) && lower <= upper)
        FUZZ_CHECK(!(forward < 0.0), "mass of an interval is never negative", "NIG_Prob_BS_style", forward, alpha,
                   beta, delta, mu, lower, upper);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lorvane::fuzz::FuzzInput input(data, size);
    const double S = input.next(100.0), K = input.next(100.0), T = input.next(0.5), r = input.next(0.03),
                 alpha = input.next(20.0), beta = input.next(-3.0), delta = input.next(0.5), mu = input.next(0.05),
                 upper = input.next(2.0);
    const double price = NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, upper);
    bool anyNaN = false;
    for (double a : {S, K, T, r, alpha, beta, delta, mu, upper}) anyNaN = anyNaN || std::isnan(a);
    if (anyNaN)
        FUZZ_CHECK(std::isnan(price), "NaN argument gives NaN", "NIG_Call_BS_style", price, S, K, T, r, alpha, beta,
                   delta, mu, upper);

    // The two runs the price makes: the tilted law first, then the law.
    const double lower = std::log(K / S), deltaT = T * delta, muT = T * mu;
    checkProbability(alpha, beta + 1.0, deltaT, muT, lower, upper);
    checkProbability(alpha, beta, deltaT, muT, lower, upper);
    return 0;
}
