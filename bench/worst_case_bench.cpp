// The slowest call price: searches the inputs of NIG_Call_BS_style for the
// ones that take longest, then times the price at the slowest found next to a
// typical one.
//
// A mass runs the double-exponential rule over the plain kernel and, when
// the plain factors leave the double range, once more over the kernel with
// combined exponents; which runs happen is decided inside the library, so
// the search measures the price itself (fastest of a few calls, which keeps
// timer noise and other load out). It samples admissible laws over wide
// ranges (spikes: tiny delta*T with the location at or near an end of the
// interval; intervals in the far tail, where K1 is subnormal), and hostile
// inputs (NaN, infinities, zeros, extremes in each argument), then climbs
// from the slowest candidates by perturbing one argument at a time. The
// sampling is seeded. Each reported case carries its kernel evaluations in
// a run of the rule over either kernel (counted through the rule with a
// counting integrand) beside the bound that eight passes imply.
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
#include "nig/nig_scaled.h"
#include "tests/fuzz/quadrature_bound.h"

namespace {

using Arguments = std::array<double, 9>;  // S, K, T, r, alpha, beta, delta, mu, upper

double callPrice(const Arguments& a) {
    return NIG_Call_BS_style(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
}

// The fastest of `runs` calls, in seconds.
double priceSeconds(const Arguments& a, int runs) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        Arguments in = a;
        benchmark::DoNotOptimize(in);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(callPrice(in));
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

struct RuleCost {
    long evaluations = 0;
    int passes = 0;
};

template <class Integrand>
RuleCost ruleCost(const Integrand& kernel, double lower, double upper) {
    RuleCost c;
    const auto counted = [&](double x) {
        ++c.evaluations;
        return kernel(x);
    };
    c.passes = lorvane::detail::doubleExponentialSum(counted, lower, upper).passes;
    return c;
}

// Kernel evaluations of the rule over the plain and over the combined-exponent
// kernel, summed over the price's two masses, and the most passes of any run.
struct PriceCost {
    long plainEvaluations = 0, scaledEvaluations = 0;
    int passes = 0;
};

PriceCost priceCost(const Arguments& a) {
    using namespace lorvane::detail;
    const double lower = std::log(a[1] / a[0]), delta = a[2] * a[6], mu = a[2] * a[7], alpha = a[4];
    PriceCost cost;
    for (const double beta : {a[5] + 1.0, a[5]}) {
        const RuleCost plain = ruleCost([=](double x) { return nigKernel(alpha, beta, delta, mu, x); }, lower, a[8]);
        const double gammaSquared = nigGammaSquared(alpha, beta), deltaGamma = delta * std::sqrt(gammaSquared);
        const RuleCost scaled = ruleCost(
            [=](double x) { return nigScaledKernel(alpha, beta, delta, mu, gammaSquared, deltaGamma, x); }, lower,
            a[8]);
        cost.plainEvaluations += plain.evaluations;
        cost.scaledEvaluations += scaled.evaluations;
        cost.passes = std::max({cost.passes, plain.passes, scaled.passes});
    }
    return cost;
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
    double seconds;
};

// The slowest inputs found, slowest first.
std::vector<Found> search(bool admissibleOnly) {
    Sampler sampler;
    std::vector<Found> pool;
    for (int i = 0; i < 3000; ++i) {
        const Arguments a = (admissibleOnly || i % 3 != 0) ? sampler.admissible() : sampler.hostile();
        pool.push_back({a, priceSeconds(a, 3)});
    }
    const auto slower = [](const Found& x, const Found& y) { return x.seconds > y.seconds; };
    std::sort(pool.begin(), pool.end(), slower);
    pool.resize(8);
    // Climb from each of the slowest candidates.
    for (Found& f : pool)
        for (int step = 0; step < 200; ++step) {
            const Arguments a = sampler.perturb(f.arguments);
            if (admissibleOnly && !(a[4] > std::fabs(a[5]) && a[4] > std::fabs(a[5] + 1.0) && a[6] > 0 && a[2] > 0))
                continue;
            if (const double t = priceSeconds(a, 3); t > f.seconds) f = {a, t};
        }
    // Re-time the finalists more carefully.
    for (Found& f : pool) f.seconds = priceSeconds(f.arguments, 30);
    std::sort(pool.begin(), pool.end(), slower);
    return pool;
}

std::string describe(const Arguments& a) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "S=%.17g K=%.17g T=%.17g r=%.17g alpha=%.17g beta=%.17g delta=%.17g mu=%.17g upper=%.17g", a[0],
                  a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    return text;
}

void timePrice(benchmark::State& state, const Arguments& a) {
    const PriceCost cost = priceCost(a);
    for (auto _ : state) {
        Arguments in = a;
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(callPrice(in));
    }
    state.counters["plain_rule_evals"] = double(cost.plainEvaluations);
    state.counters["scaled_rule_evals"] = double(cost.scaledEvaluations);
    state.counters["passes"] = cost.passes;
    // Two masses, each at most one run over each kernel.
    state.counters["eval_bound"] = double(4 * lorvane::fuzz::maxKernelEvaluations());
    state.SetLabel(describe(a));
}

void typicalPrice(benchmark::State& state) {
    timePrice(state, {100.0, 100.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, 2.0});
}

void slowestAdmissible(benchmark::State& state) {
    static const std::vector<Found> found = search(true);
    timePrice(state, found.front().arguments);
}

void slowestOverAllInputs(benchmark::State& state) {
    static const std::vector<Found> found = search(false);
    timePrice(state, found.front().arguments);
}

BENCHMARK(typicalPrice)->Unit(benchmark::kMicrosecond);
BENCHMARK(slowestAdmissible)->Unit(benchmark::kMicrosecond);
BENCHMARK(slowestOverAllInputs)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
