// Standard normal distribution function Phi(x).
//
// The one-sided tail Phi(-|x|) comes from a fixed rational form
// exp(-b^2/2) * N(b)/D(b) for b = |x| below 5*sqrt(2), from the continued
// fraction of the Mills ratio above it, and is zero beyond 37 where it is
// below the smallest normal double. Absolute error: a few units in 1e-16.
#include "lorvane.h"

#include <cmath>

namespace {

constexpr double tailCutoff = 37.0;
constexpr double rationalLimit = 7.07106781186547;  // stored value, just below 5*sqrt(2)
constexpr double minusHalf = -0.5;
constexpr double invSqrtTwoPi = 0.3989422804014327;
constexpr double lastPartialDenominator = 0.65;

// Numerator N(b), degree 6, highest power first.
static constexpr double cdfNumerator[7] = {
    0.03526249659989109, 0.7003830644436881, 6.37396220353165, 33.912866078383,
    112.0792914978709,   221.2135961699311,  220.2068679123761,
};

// Denominator D(b), degree 7, highest power first. D(0) = 2 N(0), so the
// rational form is exactly 0.5 at 0.
static constexpr double cdfDenominator[8] = {
    0.08838834764831845, 1.755667163182642, 16.06417757920695, 86.78073220294608,
    296.5642487796737,   637.3336333788311, 793.8265125199484, 440.4137358247522,
};

template <int n>
inline double hornerFromHighest(const double (&c)[n], double b) noexcept {
    double p = c[0];
    for (int i = 1; i < n; ++i) p = p * b + c[i];
    return p;
}

}  // namespace

extern "C" LORVANE_API double LORVANE_CALL cdfN(double x) {
    const double b = std::fabs(x);
    double tail;
    if (b > tailCutoff) {
        tail = 0.0;
    } else {
        const double e = std::exp((b * b) * minusHalf);
        if (b < rationalLimit) {
            tail = e * (hornerFromHighest(cdfNumerator, b) / hornerFromHighest(cdfDenominator, b));
        } else {
            // Continued fraction b + 1/(b + 2/(b + 3/(b + 4/(b + 0.65)))),
            // evaluated from the inside out.
            double cf = b + lastPartialDenominator;
            cf = 4.0 / cf + b;
            cf = 3.0 / cf + b;
            cf = 2.0 / cf + b;
            cf = 1.0 / cf + b;
            tail = (e * invSqrtTwoPi) / cf;
        }
    }
    return x > 0.0 ? 1.0 - tail : tail;
}
