// BesselK1 on any double: NaN exactly for x <= 0 and NaN; +infinity only for
// subnormal x, below 1/DBL_MAX, where the pole term overflows; otherwise a
// finite non-negative number (subnormal, then 0, far out).
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "lorvane.h"

namespace {

// Below this the pole term Q/x of the small-argument form overflows (Q is
// close to 1 there); no larger argument may give infinity.
constexpr double overflowLimit = 5.6e-309;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lorvane::fuzz::FuzzInput input(data, size);
    while (!input.exhausted()) {
        const double x = input.next(1.0);
        const double k = BesselK1(x);
        const bool outsideDomain = !(x > 0.0);
        FUZZ_CHECK(std::isnan(k) == outsideDomain, "NaN exactly for x <= 0 and NaN", "BesselK1", k, x);
        if (outsideDomain) continue;
        FUZZ_CHECK(k >= 0.0, "never negative", "BesselK1", k, x);
        if (std::isinf(k)) FUZZ_CHECK(x < overflowLimit, "infinite only at subnormal arguments", "BesselK1", k, x);
        if (x >= DBL_MIN) FUZZ_CHECK(std::isfinite(k), "finite at every normal argument", "BesselK1", k, x);
        if (x >= 745.2) FUZZ_CHECK(k == 0.0, "zero far out", "BesselK1", k, x);
    }
    return 0;
}
