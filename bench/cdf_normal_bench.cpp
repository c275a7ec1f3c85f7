// cdfN against the erfc form 0.5*erfc(-x/sqrt(2)) on the same inputs, both
// called through function pointers so that neither is inlined into the loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "lorvane.h"
#include "time_per_call.h"

namespace {

double erfcForm(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

std::vector<double> inputs(double lo, double hi) {
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> u(lo, hi);
    std::vector<double> xs(4096);
    for (double& x : xs) x = u(rng);
    return xs;
}

template <class Fn>
void run(benchmark::State& state, Fn fn, double lo, double hi) {
    lorvane::bench::timePerCall(state, fn, inputs(lo, hi));
}

using Ptr = double (*)(double);
using LibPtr = double(LORVANE_CALL*)(double);

// Central range, where the rational form serves.
BENCHMARK_CAPTURE(run, cdfN_central, static_cast<LibPtr>(&cdfN), -7.0, 7.0);
BENCHMARK_CAPTURE(run, erfc_central, static_cast<Ptr>(&erfcForm), -7.0, 7.0);
// Tails, where the continued fraction serves.
BENCHMARK_CAPTURE(run, cdfN_tail, static_cast<LibPtr>(&cdfN), -37.0, -7.1);
BENCHMARK_CAPTURE(run, erfc_tail, static_cast<Ptr>(&erfcForm), -37.0, -7.1);

}  // namespace

BENCHMARK_MAIN();
