// pdfNIG on any five doubles: never negative inside the domain (delta > 0,
// alpha > |beta|), NaN for NaN arguments and for alpha <= 0 or alpha < |beta|,
// even in x when beta = mu = 0, and the kernel times the constant factor of
// the law wherever both are formed without leaving the normal range.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "lorvane.h"

namespace {

bool isNormal(double v) { return std::isfinite(v) && std::fabs(v) >= DBL_MIN; }

// pdfNIG(x) = kernel(x) * (alpha delta / pi) exp(delta gamma - beta mu), when
// every partial product of the density is a normal number (a subnormal one
// would lose digits that the other route keeps). The tolerance grows with
// the size of the exponents, whose rounding exp magnifies, and with the
// cancellation in alpha^2 - beta^2 when alpha is close to |beta|: formed
// from the squares, gamma^2 carries an error of a few units of alpha^2, so
// delta gamma one of about delta alpha^2 eps / gamma (gamma itself is taken
// here from the factored form, which does not cancel).
void checkAgainstKernel(double x, double alpha, double beta, double delta, double mu, double density) {
    const double d = x - mu, q = std::sqrt(d * d + delta * delta);
    const double gamma = std::sqrt((alpha - beta) * (alpha + beta));
    const double k = BesselK1(alpha * q), level = std::exp(delta * gamma - beta * mu), tilt = std::exp(beta * x);
    const double factor = ((level * alpha) * delta) * 0.3183098861837907;
    const double kernel = theIntegrand_BS_style(alpha, beta, delta, mu, x);
    const double chain = ((k * level) * tilt) * alpha;
    for (double v : {k, level, tilt, q, k * level, chain, chain * delta, chain * delta * 0.3183098861837907, k * tilt,
                     level * alpha, (level * alpha) * delta, factor, kernel, density})
        if (!isNormal(v)) return;
    const double expected = kernel * factor;
    // Without gamma (alpha = |beta|, or both squares below the range) there is
    // no bound on what the cancellation may leave.
    const double cancellation = gamma > 0.0 ? std::fabs(delta) * (alpha * alpha + beta * beta) / gamma
                                            : std::numeric_limits<double>::infinity();
    const double tolerance = 0x1p-52 * (32.0 + 4.0 * (std::fabs(delta * gamma) + std::fabs(beta * mu) +
                                                      std::fabs(beta * x) + alpha * q + cancellation));
    FUZZ_CHECK(std::fabs(density - expected) <= tolerance * std::fabs(expected), "density = kernel * factor",
               "pdfNIG", density, x, alpha, beta, delta, mu, expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lorvane::fuzz::FuzzInput input(data, size);
    do {
        const double x = input.next(0.1), alpha = input.next(2.0), beta = input.next(0.5),
                     delta = input.next(0.3), mu = input.next(0.05);
        const double f = pdfNIG(x, alpha, beta, delta, mu);
        const bool anyNaN = std::isnan(x) || std::isnan(alpha) || std::isnan(beta) || std::isnan(delta) ||
                            std::isnan(mu);
        if (anyNaN) FUZZ_CHECK(std::isnan(f), "NaN argument gives NaN", "pdfNIG", f, x, alpha, beta, delta, mu);
        if (alpha <= 0.0)
            FUZZ_CHECK(std::isnan(f), "alpha <= 0 gives NaN", "pdfNIG", f, x, alpha, beta, delta, mu);
        // alpha < |beta| is NaN through gamma; when beta^2 underflows the
        // difference of squares is 0, not negative, so such tiny parameters
        // are left out.
        if (alpha < std::fabs(beta) && std::fabs(beta) >= 1e-150)
            FUZZ_CHECK(std::isnan(f), "alpha < |beta| gives NaN", "pdfNIG", f, x, alpha, beta, delta, mu);
        if (delta > 0.0 && alpha > std::fabs(beta))
            FUZZ_CHECK(!(f < 0.0), "never negative inside the domain", "pdfNIG", f, x, alpha, beta, delta, mu);
        if (delta < 0.0 && alpha > std::fabs(beta))
            FUZZ_CHECK(!(f > 0.0), "negative delta never gives a positive density", "pdfNIG", f, x, alpha, beta,
                       delta, mu);
        const double even = pdfNIG(x, alpha, 0.0, delta, 0.0), mirrored = pdfNIG(-x, alpha, 0.0, delta, 0.0);
        FUZZ_CHECK(lorvane::fuzz::toBits(even) == lorvane::fuzz::toBits(mirrored) ||
                       (std::isnan(even) && std::isnan(mirrored)),
                   "even in x when beta = mu = 0", "pdfNIG", even, x, alpha, 0.0, delta, 0.0, mirrored);
        checkAgainstKernel(x, alpha, beta, delta, mu, f);
    } while (!input.exhausted());
    return 0;
}
