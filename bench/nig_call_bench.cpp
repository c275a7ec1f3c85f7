// The NIG call price on the example options (examples/options.csv):
//
//   price   time of one NIG_Call_BS_style call;
//   kernel  time of one kernel evaluation, measured over the very nodes the
//           price visits (both masses), so that evaluations x kernel time is
//           the floor of the double-exponential rule itself;
//   rule    the rule's own work, the same walk over looked-up kernel values;
//   qags    the same truncated price from GSL's adaptive Gauss-Kronrod
//           quadrature (gsl_integration_qags) of the density, relative
//           tolerance 1e-12, as a general-purpose peer.
//
// After the runs a Markdown table goes to stdout (and to the file named by
// --markdown=FILE): per case the time per price, the kernel evaluations per
// price, the ratio of the price's time to its floor, the peer's time and the
// errors of both against the committed 34-digit reference prices.
#include <benchmark/benchmark.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lorvane.h"
#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"

namespace {

const std::string sourceDir = [] {
    std::string f = __FILE__;
    return f.substr(0, f.rfind('/') + 1);
}();

struct Option {
    double S, K, T, r, alpha, beta, delta, mu, upper;
    double reference = std::nan("");
    std::vector<double> nodesP1, nodesP2;    // kernel arguments, in order
    std::vector<double> valuesP1, valuesP2;  // kernel values there
};

std::vector<double> parseRow(const std::string& line) {
    std::vector<double> v;
    std::istringstream fields(line);
    for (std::string f; std::getline(fields, f, ',');) v.push_back(std::strtod(f.c_str(), nullptr));
    return v;
}

std::vector<Option> loadOptions() {
    std::vector<Option> options;
    std::ifstream in(sourceDir + "../examples/options.csv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const auto v = parseRow(line);
        if (v.size() != 9) continue;
        Option o;
        o.S = v[0], o.K = v[1], o.T = v[2], o.r = v[3];
        o.alpha = v[4], o.beta = v[5], o.delta = v[6], o.mu = v[7], o.upper = v[8];
        options.push_back(o);
    }
    // Reference prices for the same inputs, where the table has them.
    std::ifstream ref(sourceDir + "../tests/data/nig_call_reference.csv");
    bool header = true;
    while (std::getline(ref, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (header) {
            header = false;
            continue;
        }
        const auto v = parseRow(line);
        for (auto& o : options)
            if (v[0] == o.S && v[1] == o.K && v[2] == o.T && v[3] == o.r && v[4] == o.alpha &&
                v[5] == o.beta && v[6] == o.delta && v[7] == o.mu && v[8] == o.upper)
                o.reference = v[9];
    }
    // The nodes each mass visits, recorded through the rule's template.
    for (auto& o : options) {
        const double lo = std::log(o.K / o.S), dT = o.T * o.delta, mT = o.T * o.mu;
        for (int tilt = 1; tilt >= 0; --tilt) {
            auto& nodes = tilt ? o.nodesP1 : o.nodesP2;
            auto& values = tilt ? o.valuesP1 : o.valuesP2;
            const double b = o.beta + tilt;
            lorvane::detail::doubleExponentialSum(
                [&](double x) {
                    nodes.push_back(x);
                    values.push_back(lorvane::detail::nigKernel(o.alpha, b, dT, mT, x));
                    return values.back();
                },
                lo, o.upper);
        }
    }
    return options;
}

const std::vector<Option>& options() {
    static const std::vector<Option> all = loadOptions();
    return all;
}

using CallFn = double(LORVANE_CALL*)(double, double, double, double, double, double, double, double,
                                     double);

void benchPrice(benchmark::State& state, const Option* o) {
    CallFn volatile call = &NIG_Call_BS_style;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            call(o->S, o->K, o->T, o->r, o->alpha, o->beta, o->delta, o->mu, o->upper));
    state.counters["evals"] = static_cast<double>(o->nodesP1.size() + o->nodesP2.size());
}

// The inline kernel over the recorded nodes, as the rule calls it.
void benchKernel(benchmark::State& state, const Option* o) {
    const double dT = o->T * o->delta, mT = o->T * o->mu;
    for (auto _ : state) {
        double acc = 0;
        for (double x : o->nodesP1)
            acc += lorvane::detail::nigKernel(o->alpha, o->beta + 1, dT, mT, x);
        for (double x : o->nodesP2) acc += lorvane::detail::nigKernel(o->alpha, o->beta, dT, mT, x);
        benchmark::DoNotOptimize(acc);
    }
    const double n = static_cast<double>(o->nodesP1.size() + o->nodesP2.size());
    state.counters["per_eval"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The rule's own work: the same walk with the kernel replaced by a look-up
// of the values it returned.
void benchRuleAlone(benchmark::State& state, const Option* o) {
    const double lo = std::log(o->K / o->S);
    for (auto _ : state) {
        for (const auto* values : {&o->valuesP1, &o->valuesP2}) {
            std::size_t next = 0;
            benchmark::DoNotOptimize(lorvane::detail::doubleExponentialSum(
                [&](double) { return (*values)[next++]; }, lo, o->upper));
        }
    }
}

struct DensityParams {
    double alpha, beta, delta, mu;
    std::size_t* evals;
};

double densityForGsl(double x, void* p) {
    const auto* d = static_cast<const DensityParams*>(p);
    if (d->evals) ++*d->evals;
    return pdfNIG(x, d->alpha, d->beta, d->delta, d->mu);
}

constexpr std::size_t gslLimit = 1000;

double qagsPrice(const Option& o, gsl_integration_workspace* w, std::size_t* evals) {
    const double lo = std::log(o.K / o.S), dT = o.T * o.delta, mT = o.T * o.mu;
    double p[2];
    for (int tilt = 1; tilt >= 0; --tilt) {
        DensityParams params{o.alpha, o.beta + tilt, dT, mT, evals};
        gsl_function f{&densityForGsl, &params};
        double result, error;
        gsl_integration_qags(&f, lo, o.upper, 0.0, 1e-12, gslLimit, w, &result, &error);
        p[1 - tilt] = result;
    }
    return p[0] * o.S - (p[1] * std::exp(-(o.T * o.r))) * o.K;
}

void benchQags(benchmark::State& state, const Option* o) {
    gsl_integration_workspace* w = gsl_integration_workspace_alloc(gslLimit);
    for (auto _ : state) benchmark::DoNotOptimize(qagsPrice(*o, w, nullptr));
    std::size_t evals = 0;
    qagsPrice(*o, w, &evals);
    state.counters["evals"] = static_cast<double>(evals);
    gsl_integration_workspace_free(w);
}

// Collects the runs for the summary while the console shows them as usual.
class SummaryReporter : public benchmark::ConsoleReporter {
   public:
    std::map<std::string, double> seconds;
    std::map<std::string, double> perEval;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median") continue;
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("_median"));
            seconds[name] = run.GetAdjustedRealTime() * 1e-9;
            const auto it = run.counters.find("per_eval");
            if (it != run.counters.end()) perEval[name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string caseName(const Option& o) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "K%g_T%g_a%g_b%g_d%g", o.K, o.T, o.alpha, o.beta, o.delta);
    return buf;
}

void writeSummary(const SummaryReporter& rep, std::FILE* out) {
    std::fprintf(out,
                 "| S, K, T | alpha, beta, delta | price | time per price | kernel evals | "
                 "time per eval | rule alone | price / floor | error vs reference | qags time | "
                 "qags evals | "
                 "qags error vs reference | speed-up |\n"
                 "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    gsl_integration_workspace* w = gsl_integration_workspace_alloc(gslLimit);
    double worstRatio = 0, leastSpeedup = 1e300;
    for (const auto& o : options()) {
        const std::string name = caseName(o);
        const auto find = [&](const std::string& kind) {
            const auto it = rep.seconds.find(kind + "/" + name);
            return it == rep.seconds.end() ? std::nan("") : it->second;
        };
        const double tPrice = find("price"), tQags = find("qags"), tRule = find("rule");
        const auto pe = rep.perEval.find("kernel/" + name);
        const double tEval = pe == rep.perEval.end() ? std::nan("") : pe->second;
        const double evals = static_cast<double>(o.nodesP1.size() + o.nodesP2.size());
        const double ratio = tPrice / (evals * tEval);
        const double price =
            NIG_Call_BS_style(o.S, o.K, o.T, o.r, o.alpha, o.beta, o.delta, o.mu, o.upper);
        std::size_t qEvals = 0;
        const double qPrice = qagsPrice(o, w, &qEvals);
        std::fprintf(
            out,
            "| %g, %g, %g | %g, %g, %g | %.10f | %.2f us | %.0f | %.1f ns | %.2f us | %.2f | "
            "%.1e | %.2f us | %zu | %.1e | %.1f |\n",
            o.S, o.K, o.T, o.alpha, o.beta, o.delta, price, tPrice * 1e6, evals, tEval * 1e9,
            tRule * 1e6, ratio, std::fabs(price - o.reference) / o.reference, tQags * 1e6, qEvals,
            std::fabs(qPrice - o.reference) / o.reference, tQags / tPrice);
        if (ratio > worstRatio) worstRatio = ratio;
        if (tQags / tPrice < leastSpeedup) leastSpeedup = tQags / tPrice;
    }
    std::fprintf(out, "\nLargest price / floor: %.2f. Smallest speed-up over qags: %.1f.\n",
                 worstRatio, leastSpeedup);
    gsl_integration_workspace_free(w);
}

}  // namespace

int main(int argc, char** argv) {
    gsl_set_error_handler_off();  // qags reports roundoff limits instead of aborting
    std::string markdown;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--markdown=", 11) == 0)
            markdown = argv[i] + 11;
        else
            args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    for (const auto& o : options()) {
        const std::string name = caseName(o);
        benchmark::RegisterBenchmark(("price/" + name).c_str(), benchPrice, &o);
        benchmark::RegisterBenchmark(("kernel/" + name).c_str(), benchKernel, &o);
        benchmark::RegisterBenchmark(("rule/" + name).c_str(), benchRuleAlone, &o);
        benchmark::RegisterBenchmark(("qags/" + name).c_str(), benchQags, &o);
    }
    benchmark::Initialize(&n, args.data());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    writeSummary(reporter, stdout);
    if (!markdown.empty()) {
        std::FILE* f = std::fopen(markdown.c_str(), "w");
        if (f) {
            writeSummary(reporter, f);
            std::fclose(f);
        }
    }
    benchmark::Shutdown();
    return 0;
}
