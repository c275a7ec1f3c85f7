// The slowest call price: searches the inputs of NIG_Call_BS_style for the
// ones that make its two quadratures evaluate the kernel most often, then
// times the price at those inputs next to a typical one.
//
// The search counts kernel evaluations through the quadrature rule itself
// with a counting integrand (the same rule and kernel the price runs), so its
// cost measure does not depend on timer noise. It samples admissible laws
// over wide ranges (including spikes: tiny delta*T with the location at or
// near an end of the interval), hostile inputs (NaN, infinities, zeros,
// extremes in each argument), then climbs from the costliest candidates by
// perturbing one argument at a time. Everything is seeded, so each run
// searches the same way. The bound that eight passes imply is printed beside
// the worst case found.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "lorvane.h"
#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"
#include "tests/fuzz/quadrature_bound.h"

namespace {

using Arguments = std::array<double, 9>;  // S, K, T, r, alpha, beta, delta, mu, upper

struct Cost {
    long evaluations = 0;
    int passes = 0;  // the larger of the two runs
};

Cost quadratureCost(double alpha, double beta, double delta, double mu, double lower, double upper) {
    Cost c;
    const auto counted = [&](double x) {
        ++c.evaluations;
        return lorvane::detail::nigKernel(alpha, beta, delta, mu, x);
    };
    c.passes = lorvane::detail::doubleExponentialSum(counted, lower, upper).passes;
    return c;
}

// Kernel evaluations of one price: the tilted run, then the plain one.
Cost priceCost(const Arguments& a) {
    const double lower = std::log(a[1] / a[0]), deltaT = a[2] * a[6], muT = a[2] * a[7];
    const Cost tilted = quadratureCost(a[4], a[5] + 1.0, deltaT, muT, lower, a[8]);
    const Cost plain = quadratureCost(a[4], a[5], deltaT, muT, lower, a[8]);
    return {tilted.evaluations + plain.evaluations, std::max(tilted.passes, plain.passes)};
}

class Sampler {
public:
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    double logUniform(double lo, double hi) { return std::exp(uniform(std::log(lo), std::log(hi))); }
    int index(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // An admissible law and option: alpha > |beta| and alpha > |beta + 1|.
    Arguments admissible() {
        Arguments a;
        a[0] = 100.0;
        a[1] = 100.0 * logUniform(0.05, 20.0);
        a[2] = logUniform(1e-4, 1e3);
        a[3] = uniform(-0.05, 0.2);
        a[4] = logUniform(0.6, 2e3);
        a[5] = uniform(-0.999, 0.999) * (a[4] - 0.5) - 0.5;
        a[6] = logUniform(1e-12, 1e2);
        a[7] = uniform(-5.0, 5.0);
        const double lower = std::log(a[1] / a[0]);
        a[8] = lower + logUniform(1e-10, 1e2);
        switch (index(4)) {
            case 0:  // location at the lower end, a spike there
                a[7] = (lower + logUniform(1e-14, 1e-2) * (a[8] - lower) * uniform(-1.0, 1.0)) / a[2];
                a[6] = logUniform(1e-300, 1e-3);
                break;
            case 1:  // location at the upper end
                a[7] = (a[8] - logUniform(1e-14, 1e-2) * (a[8] - lower) * uniform(-1.0, 1.0)) / a[2];
                a[6] = logUniform(1e-300, 1e-3);
                break;
            case 2:  // the interval in the far tail, where K1 is subnormal
                a[8] = lower + 36.0 / a[4];
                a[7] = (lower - 708.0 / a[4]) / a[2];
                a[6] = logUniform(1e-6, 1.0) / a[4];
                a[5] = uniform(-0.2, 0.2);
                break;
            default:
                break;
        }
        return a;
    }

    // One argument of an ordinary option replaced by a hostile value.
    Arguments hostile() {
        static const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                                        std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        0.0,
                                        -0.0,
                                        DBL_MAX,
                                        -DBL_MAX,
                                        DBL_MIN,
                                        5e-324,
                                        -1.0,
                                        1e-300,
                                        1e300};
        Arguments a = admissible();
        a[index(9)] = values[index(int(std::size(values)))];
        return a;
    }

    // A neighbour: one argument moved by a random relative step.
    Arguments perturb(Arguments a) {
        const int i = index(9);
        const double scale = std::exp(uniform(-3.0, 3.0) * std::pow(10.0, -index(6)));
        a[i] = (index(2) == 0 ? a[i] * scale : a[i] + (scale - 1.0) * (std::fabs(a[i]) + 1e-12));
        return a;
    }

private:
    std::mt19937_64 rng_{20261211};
};

struct Found {
    Arguments arguments;
    Cost cost;
};

// The costliest inputs found, costliest first.
std::vector<Found> search(bool admissibleOnly) {
    Sampler sampler;
    std::vector<Found> pool;
    for (int i = 0; i < 3000; ++i) {
        const Arguments a = (admissibleOnly || i % 3 != 0) ? sampler.admissible() : sampler.hostile();
        pool.push_back({a, priceCost(a)});
    }
    const auto costlier = [](const Found& x, const Found& y) { return x.cost.evaluations > y.cost.evaluations; };
    std::sort(pool.begin(), pool.end(), costlier);
    pool.resize(8);
    // Climb from each of the costliest candidates.
    for (Found& f : pool)
        for (int step = 0; step < 300; ++step) {
            const Arguments a = sampler.perturb(f.arguments);
            if (admissibleOnly && !(a[4] > std::fabs(a[5]) && a[4] > std::fabs(a[5] + 1.0) && a[6] > 0 && a[2] > 0))
                continue;
            const Cost c = priceCost(a);
            if (c.evaluations > f.cost.evaluations) f = {a, c};
        }
    std::sort(pool.begin(), pool.end(), costlier);
    return pool;
}

double fastestOfRuns(const Arguments& a) {
    double best = 1e300;
    for (int run = 0; run < 20; ++run) {
        Arguments in = a;
        benchmark::DoNotOptimize(in);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(NIG_Call_BS_style(in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7], in[8]));
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Evaluation counts miss slow arithmetic (subnormal operands), so the
// costliest candidates of both searches are also timed.
Arguments slowestMeasured(const std::vector<Found>& a, const std::vector<Found>& b) {
    Arguments slowest{};
    double slowestTime = -1.0;
    for (const auto* pool : {&a, &b})
        for (const Found& f : *pool)
            if (const double t = fastestOfRuns(f.arguments); t > slowestTime) slowestTime = t, slowest = f.arguments;
    return slowest;
}

const std::vector<Found>& admissibleSearch() {
    static const std::vector<Found> found = search(true);
    return found;
}

const std::vector<Found>& anyInputSearch() {
    static const std::vector<Found> found = search(false);
    return found;
}

std::string describe(const Arguments& a) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "S=%.17g K=%.17g T=%.17g r=%.17g alpha=%.17g beta=%.17g delta=%.17g mu=%.17g upper=%.17g", a[0],
                  a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    return text;
}

void timePrice(benchmark::State& state, const Arguments& a) {
    const Cost cost = priceCost(a);
    for (auto _ : state) {
        Arguments in = a;
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(NIG_Call_BS_style(in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7], in[8]));
    }
    state.counters["kernel_evals"] = double(cost.evaluations);
    state.counters["passes"] = cost.passes;
    state.counters["eval_bound"] = double(2 * lorvane::fuzz::maxKernelEvaluations());
    state.SetLabel(describe(a));
}

void typicalPrice(benchmark::State& state) {
    timePrice(state, {100.0, 100.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, 2.0});
}

void mostEvaluationsAdmissible(benchmark::State& state) { timePrice(state, admissibleSearch().front().arguments); }

void mostEvaluationsAnyInput(benchmark::State& state) { timePrice(state, anyInputSearch().front().arguments); }

void slowestFound(benchmark::State& state) {
    static const Arguments slowest = slowestMeasured(admissibleSearch(), anyInputSearch());
    timePrice(state, slowest);
}

BENCHMARK(typicalPrice)->Unit(benchmark::kMicrosecond);
BENCHMARK(mostEvaluationsAdmissible)->Unit(benchmark::kMicrosecond);
BENCHMARK(mostEvaluationsAnyInput)->Unit(benchmark::kMicrosecond);
BENCHMARK(slowestFound)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
