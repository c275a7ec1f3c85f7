// The most kernel evaluations one run of the double-exponential rule can
// make, derived from its constants rather than measured.
//
// At most eight passes run, and together they walk 1 + 1 + 2 + ... + 64 = 128
// offsets. Along an offset the node parameter tau advances by hBase from an
// offset t in (0, hBase], and a walk ends, at the latest, at the first node
// where exp(pi sinh tau) overflows: there frac = 1/(inf + 1) is exactly 0, so
// both weights are 0 and the pair can no longer exceed the bound (it is 0 or
// NaN). Overflow is certain once (pi/2) e^tau exceeds ln(DBL_MAX) + pi/2, so
// an offset has at most floor(tauMax/hBase) + 2 nodes, each evaluating the
// kernel twice; the centre adds one evaluation.
#pragma once

#include <cfloat>
#include <cmath>

namespace lorvane::fuzz {

constexpr int maxPasses = 8;
constexpr int offsetsInEightPasses = 128;

inline int maxNodesPerOffset() {
    const double hBase = 8.5 / (1.0 - std::log(1e-17));
    const double halfPi = 1.5707963267948966;
    const double tauMax = std::log((std::log(DBL_MAX) + halfPi) / halfPi);
    return int(std::floor(tauMax / hBase)) + 2;
}

inline long maxKernelEvaluations() { return 1 + 2L * offsetsInEightPasses * maxNodesPerOffset(); }

}  // namespace lorvane::fuzz
