// theIntegrand_BS_style on any five doubles: never negative, NaN for NaN
// arguments and for alpha <= 0, and for moderate arguments finite whatever
// the sign of alpha - |beta| (the kernel does not use gamma).
#include <cmath>
#include <cstdint>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "lorvane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lorvane::fuzz::FuzzInput input(data, size);
    do {
        const double alpha = input.next(2.0), beta = input.next(0.5), delta = input.next(0.3),
                     mu = input.next(0.05), x = input.next(0.1);
        const double g = theIntegrand_BS_style(alpha, beta, delta, mu, x);
        FUZZ_CHECK(!(g < 0.0), "never negative", "theIntegrand_BS_style", g, alpha, beta, delta, mu, x);
        const bool anyNaN = std::isnan(x) || std::isnan(alpha) || std::isnan(beta) || std::isnan(delta) ||
                            std::isnan(mu);
        if (anyNaN)
            FUZZ_CHECK(std::isnan(g), "NaN argument gives NaN", "theIntegrand_BS_style", g, alpha, beta, delta, mu, x);
        if (alpha <= 0.0)
            FUZZ_CHECK(std::isnan(g), "alpha <= 0 gives NaN", "theIntegrand_BS_style", g, alpha, beta, delta, mu, x);
        // Moderate arguments: exp(beta x) stays below e^400 and alpha q stays
        // away from K1's pole, so no piece overflows.
        const bool moderate = alpha >= 1e-3 && alpha <= 20.0 && std::fabs(delta) >= 1e-3 && std::fabs(delta) <= 20.0 &&
                              std::fabs(beta) <= 20.0 && std::fabs(mu) <= 20.0 && std::fabs(x) <= 20.0;
        if (moderate)
            FUZZ_CHECK(std::isfinite(g), "finite for moderate arguments", "theIntegrand_BS_style", g, alpha, beta,
                       delta, mu, x);
    } while (!input.exhausted());
    return 0;
}
