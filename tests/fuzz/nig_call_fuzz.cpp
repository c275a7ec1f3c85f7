// NIG_Call_BS_style on any nine doubles, and the quadrature behind it: no
// run of the rule exceeds eight passes or the kernel evaluations that eight
// passes allow, whether it integrates the plain kernel or the one with
// combined exponents (the mass runs the rule with one and, when the plain
// factors leave the double range, again with the other); a NaN argument
// gives NaN; the mass of an interval inside the domain is never negative,
// and reversing the interval negates it exactly.
#include <cmath>
#include <cstdint>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "lorvane.h"
#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"
#include "nig/nig_probability.h"
#include "nig/nig_scaled.h"
#include "quadrature_bound.h"

namespace {

template <class Integrand>
void checkRuleBound(const Integrand& kernel, const char* which, double alpha, double beta, double delta, double mu,
                    double lower, double upper) {
    long evaluations = 0;
    const auto counted = [&](double x) {
        ++evaluations;
        return kernel(x);
    };
    const auto run = lorvane::detail::doubleExponentialSum(counted, lower, upper);
    const double passes = run.passes;
    FUZZ_CHECK(run.passes >= 1 && run.passes <= lorvane::fuzz::maxPasses, "at most eight passes", which, passes,
               alpha, beta, delta, mu, lower, upper);
    FUZZ_CHECK(evaluations <= lorvane::fuzz::maxKernelEvaluations(), "kernel evaluations within the bound", which,
               double(evaluations), alpha, beta, delta, mu, lower, upper);
}

// One probability of the price: the rule over both kernels with counting
// integrands, then the library's mass in both directions.
void checkProbability(double alpha, double beta, double delta, double mu, double lower, double upper) {
    using namespace lorvane::detail;
    checkRuleBound([=](double x) { return nigKernel(alpha, beta, delta, mu, x); }, "rule over the plain kernel",
                   alpha, beta, delta, mu, lower, upper);
    const double gammaSquared = nigGammaSquared(alpha, beta), deltaGamma = delta * std::sqrt(gammaSquared);
    checkRuleBound([=](double x) { return nigScaledKernel(alpha, beta, delta, mu, gammaSquared, deltaGamma, x); },
                   "rule over the combined-exponent kernel", alpha, beta, delta, mu, lower, upper);

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

    // The two masses the price takes: the tilted law first, then the law.
    const double lower = std::log(K / S), deltaT = T * delta, muT = T * mu;
    checkProbability(alpha, beta + 1.0, deltaT, muT, lower, upper);
    checkProbability(alpha, beta, deltaT, muT, lower, upper);
    return 0;
}
