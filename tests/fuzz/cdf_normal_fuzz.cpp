// cdfN on any double: a probability for every non-NaN argument, exactly 0 or
// 1 beyond the cut-off, and Phi(-x) + Phi(x) = 1 to within a unit in the
// last place.
#include <cmath>
#include <cstdint>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "lorvane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lorvane::fuzz::FuzzInput input(data, size);
    while (!input.exhausted()) {
        const double x = input.next(0.0);
        const double p = cdfN(x);
        if (std::isnan(x)) {
            FUZZ_CHECK(std::isnan(p), "NaN argument gives NaN", "cdfN", p, x);
            continue;
        }
        FUZZ_CHECK(p >= 0.0 && p <= 1.0, "result is a probability", "cdfN", p, x);
        if (x > 37.0) FUZZ_CHECK(p == 1.0, "exactly 1 above the cut-off", "cdfN", p, x);
        if (x < -37.0) FUZZ_CHECK(p == 0.0, "exactly 0 below the cut-off", "cdfN", p, x);
        if (x == 0.0) FUZZ_CHECK(p == 0.5, "exactly 0.5 at zero", "cdfN", p, x);
        const double mirrored = cdfN(-x);
        FUZZ_CHECK(std::fabs((p + mirrored) - 1.0) <= 0x1p-52, "Phi(-x) + Phi(x) = 1", "cdfN", p, x, mirrored);
    }
    return 0;
}
