// BesselK1 against Boost.Math (double precision throughout: no promotion to
// long double) and GSL, region by region. All three are called through
// function pointers on the same input arrays in the same run; at the end a
// table gives the time per call of each and the peers' times relative to
// BesselK1 (above 1: BesselK1 is faster). With --benchmark_repetitions=N the
// table uses the median of the repetitions.
#include <benchmark/benchmark.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_sf_bessel.h>

#include <boost/math/special_functions/bessel.hpp>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "lorvane.h"
#include "time_per_call.h"

namespace {

using DoublePolicy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

double boostK1(double x) { return boost::math::cyl_bessel_k(1, x, DoublePolicy()); }
double gslK1(double x) { return gsl_sf_bessel_K1(x); }

struct Region {
    const char* name;
    double lo, hi;
    bool logUniform;
};

// The four regions of the evaluator; the asymptotic one log-uniform up to
// 700, so that the range near 12.5 is as well represented as the tail.
constexpr Region regions[] = {
    {"small", 1e-3, 0.8, false},
    {"middle", 0.8, 5.5, false},
    {"high", 5.5, 12.5, false},
    {"asymptotic", 12.5, 700.0, true},
};

const std::vector<double>& inputs(const Region& region) {
    static std::map<std::string, std::vector<double>> cache;
    std::vector<double>& xs = cache[region.name];
    if (xs.empty()) {
        std::mt19937_64 rng(20240601);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        xs.resize(4096);
        for (double& x : xs) {
            const double f = u(rng);
            x = region.logUniform ? region.lo * std::pow(region.hi / region.lo, f)
                                  : region.lo + (region.hi - region.lo) * f;
            if (x >= region.hi) x = region.lo;
        }
    }
    return xs;
}

template <class Fn>
void run(benchmark::State& state, Fn fn, const Region* region) {
    lorvane::bench::timePerCall(state, fn, inputs(*region));
}

using Ptr = double (*)(double);
using LibPtr = double(LORVANE_CALL*)(double);

struct Contender {
    const char* name;
    Ptr fn;
    LibPtr libFn;
};

// Console output as usual, then the per-region comparison table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) continue;
            const std::string name = run.run_name.function_name + "/" + run.run_name.args;
            auto it = run.counters.find("per_call");
            if (it == run.counters.end()) continue;
            // A median replaces the single runs of the same benchmark.
            if (median || !medianSeen_.count(name)) perCall_[name] = it->second.value * 1e9;
            if (median) medianSeen_[name] = true;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nns per call (ratio: peer time / BesselK1 time)\n\n");
        std::printf("| region | BesselK1 | Boost.Math (double) | GSL | Boost / BesselK1 | GSL / BesselK1 |\n");
        std::printf("|---|---|---|---|---|---|\n");
        for (const Region& r : regions) {
            const double own = find("BesselK1", r.name), boost = find("boost", r.name), gsl = find("gsl", r.name);
            if (own <= 0) continue;
            std::printf("| %s | %.1f | %.1f | %.1f | %.2f | %.2f |\n", r.name, own, boost, gsl, boost / own,
                        gsl / own);
        }
    }

private:
    double find(const std::string& who, const std::string& region) const {
        for (const auto& [name, ns] : perCall_)
            if (name.find(who + "_" + region) != std::string::npos) return ns;
        return -1;
    }
    std::map<std::string, double> perCall_;
    std::map<std::string, bool> medianSeen_;
};

void registerAll() {
    for (const Region& r : regions) {
        const std::string region = r.name;
        benchmark::RegisterBenchmark(("BesselK1_" + region).c_str(), run<LibPtr>,
                                     static_cast<LibPtr>(&BesselK1), &r);
        benchmark::RegisterBenchmark(("boost_" + region).c_str(), run<Ptr>, static_cast<Ptr>(&boostK1), &r);
        benchmark::RegisterBenchmark(("gsl_" + region).c_str(), run<Ptr>, static_cast<Ptr>(&gslK1), &r);
    }
}

}  // namespace

int main(int argc, char** argv) {
    gsl_set_error_handler_off();
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
