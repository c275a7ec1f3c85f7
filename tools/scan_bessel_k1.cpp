// Accuracy scan of BesselK1 against a quad-precision reference.
//
// The reference is Boost.Math's K1 evaluated in __float128 (113-bit
// significand; its own error is a few units in 1e-34, far below what is
// measured here). The arguments are
//   - log-uniform over [1e-300, 700] (--log-count, default 2^20),
//   - uniform over the range of x of every row of every region, the
//     small-argument region as one row (--row-count per row, default 2^16),
//   - every region boundary and every row switch with --neighbours
//     neighbouring doubles on each side (default 256), enough to cover the
//     few units in the last place by which the computed switch may differ
//     from the exact one.
// The scan prints, as Markdown tables, the worst relative error per region
// and per row with its argument, and the same for Boost.Math in double
// precision (no promotion to long double) and GSL, on the same arguments.
// --points FILE writes (x, relative error) of every 8th argument, and the
// worst argument of each of 4000 logarithmic bins, for plotting.
#include <gsl/gsl_errno.h>
#include <gsl/gsl_sf_bessel.h>

#include <boost/math/special_functions/bessel.hpp>
#include <boost/multiprecision/float128.hpp>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lorvane.h"

namespace {

using Quad = boost::multiprecision::float128;
using DoublePolicy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

constexpr double scanLow = 1e-300;
constexpr double scanHigh = 700.0;
constexpr double smallEnd = 0.8, midEnd = 5.5, highEnd = 12.5;

enum Region { small, middle, high, asymptotic, regionCount };
constexpr const char* regionNames[regionCount] = {"small", "middle", "high", "asymptotic"};
constexpr int rowsPerRegion[regionCount] = {1, 8, 8, 5};

struct Route {
    Region region;
    int row;
};

// The region and row the evaluator takes, computed the same way.
Route route(double x) {
    if (!(x >= smallEnd)) return {small, 0};
    if (x < midEnd) {
        const double y = x - 3.0 / x;
        return {middle, static_cast<int>(y + 3.0)};
    }
    if (x < highEnd) return {high, static_cast<int>(x) - 5};
    return {asymptotic, static_cast<int>(60.0 / x)};
}

// Interval of x of a row, clipped to its region and to the scan.
void rowRange(Region region, int row, double& lo, double& hi) {
    auto midX = [](double y) { return (y + std::sqrt(y * y + 12.0)) / 2.0; };
    switch (region) {
        case small: lo = scanLow, hi = smallEnd; break;
        case middle: lo = std::fmax(smallEnd, midX(row - 3.0)), hi = std::fmin(midEnd, midX(row - 2.0)); break;
        case high: lo = std::fmax(midEnd, row + 5.0), hi = std::fmin(highEnd, row + 6.0); break;
        default: lo = std::fmax(highEnd, 60.0 / (row + 1)), hi = row == 0 ? scanHigh : 60.0 / row; break;
    }
}

// Exact switch points: region boundaries, y = x - 3/x integral, x integral, 60/x integral.
std::vector<double> switchPoints() {
    std::vector<double> s = {smallEnd, midEnd, highEnd};
    for (int m = -2; m <= 4; ++m) {
        const long double y = m;
        s.push_back(static_cast<double>((y + std::sqrt(y * y + 12.0L)) / 2.0L));
    }
    for (int n = 6; n <= 12; ++n) s.push_back(n);
    for (int k = 1; k <= 4; ++k) s.push_back(60.0 / k);
    return s;
}

// splitmix64: a small fixed generator, so every run scans the same arguments.
struct Random {
    std::uint64_t state;
    double uniform() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1p-53;
    }
};

struct Worst {
    double error = 0, at = 0;
    std::uint64_t count = 0;
    void add(double e, double x) {
        ++count;
        if (e > error || count == 1) error = e, at = x;
    }
};

double relativeError(double value, const Quad& reference) {
    return static_cast<double>(boost::multiprecision::abs((Quad(value) - reference) / reference));
}

double gslK1(double x) {
    gsl_sf_result r;
    return gsl_sf_bessel_K1_e(x, &r) == GSL_SUCCESS ? r.val : std::nan("");
}

struct Options {
    std::uint64_t logCount = 1 << 20;
    std::uint64_t rowCount = 1 << 16;
    int neighbours = 256;
    const char* pointsFile = nullptr;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        auto value = [&](const char* name) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", name);
                std::exit(2);
            }
            return argv[++i];
        };
        if (!std::strcmp(argv[i], "--log-count"))
            o.logCount = std::strtoull(value("--log-count"), nullptr, 10);
        else if (!std::strcmp(argv[i], "--row-count"))
            o.rowCount = std::strtoull(value("--row-count"), nullptr, 10);
        else if (!std::strcmp(argv[i], "--neighbours"))
            o.neighbours = std::atoi(value("--neighbours"));
        else if (!std::strcmp(argv[i], "--points"))
            o.pointsFile = value("--points");
        else {
            std::fprintf(stderr,
                         "usage: scan_bessel_k1 [--log-count N] [--row-count N] [--neighbours N] "
                         "[--points FILE]\n");
            std::exit(2);
        }
    }
    return o;
}

std::vector<double> arguments(const Options& o) {
    std::vector<double> xs;
    Random rng{0x6b31u};
    const double lnLow = std::log(scanLow), lnHigh = std::log(scanHigh);
    for (std::uint64_t i = 0; i < o.logCount; ++i) {
        const double u = (static_cast<double>(i) + rng.uniform()) / static_cast<double>(o.logCount);
        xs.push_back(std::fmin(scanHigh, std::fmax(scanLow, std::exp(lnLow + (lnHigh - lnLow) * u))));
    }
    for (int r = 0; r < regionCount; ++r) {
        for (int row = 0; row < rowsPerRegion[r]; ++row) {
            double lo, hi;
            rowRange(static_cast<Region>(r), row, lo, hi);
            for (std::uint64_t i = 0; i < o.rowCount; ++i)
                xs.push_back(lo + (hi - lo) * rng.uniform());
        }
    }
    for (double s : switchPoints()) {
        double up = s, down = s;
        xs.push_back(s);
        for (int i = 0; i < o.neighbours; ++i) {
            up = std::nextafter(up, INFINITY);
            down = std::nextafter(down, 0.0);
            xs.push_back(up);
            xs.push_back(down);
        }
    }
    for (double e : {scanLow, scanHigh}) xs.push_back(e);
    return xs;
}

struct Peer {
    const char* name;
    double (*fn)(double);
    Worst perRegion[regionCount];
};

void printWorst(const char* label, const Worst& w, double lo, double hi) {
    std::printf("| %s | [%.9g, %.9g) | %" PRIu64 " | %.2e | %.17g |\n", label, lo, hi, w.count, w.error, w.at);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    gsl_set_error_handler_off();

    const std::vector<double> xs = arguments(options);
    Worst overall, perRegion[regionCount], perRow[regionCount][8];
    Peer peers[] = {
        {"Boost.Math (double)", [](double x) { return boost::math::cyl_bessel_k(1, x, DoublePolicy()); }, {}},
        {"GSL", &gslK1, {}},
    };

    constexpr int bins = 4000;
    std::vector<double> binError(bins, -1), binAt(bins, 0), binValue(bins, 0);
    std::FILE* points = options.pointsFile ? std::fopen(options.pointsFile, "w") : nullptr;
    if (options.pointsFile && !points) {
        std::perror(options.pointsFile);
        return 1;
    }
    if (points) std::fprintf(points, "x,relative_error\n");
    const double lnLow = std::log(scanLow), lnSpan = std::log(scanHigh) - lnLow;

    for (size_t i = 0; i < xs.size(); ++i) {
        const double x = xs[i];
        if (!(x >= scanLow && x <= scanHigh)) continue;
        const Quad reference = boost::math::cyl_bessel_k(1, Quad(x));
        const double value = BesselK1(x);
        const Quad signedError = (Quad(value) - reference) / reference;
        const double error = std::fabs(static_cast<double>(signedError));
        const Route r = route(x);
        overall.add(error, x);
        perRegion[r.region].add(error, x);
        perRow[r.region][r.row].add(error, x);
        for (Peer& p : peers) p.perRegion[r.region].add(relativeError(p.fn(x), reference), x);
        if (points) {
            int bin = static_cast<int>((std::log(x) - lnLow) / lnSpan * bins);
            bin = bin < 0 ? 0 : bin >= bins ? bins - 1 : bin;
            if (error > binError[bin]) binError[bin] = error, binAt[bin] = x, binValue[bin] = static_cast<double>(signedError);
            if (i % 8 == 0) std::fprintf(points, "%.17g,%.6e\n", x, static_cast<double>(signedError));
        }
    }
    if (points) {
        for (int b = 0; b < bins; ++b)
            if (binError[b] >= 0) std::fprintf(points, "%.17g,%.6e\n", binAt[b], binValue[b]);
        std::fclose(points);
    }

    std::printf("BesselK1 against Boost.Math K1 in __float128, %zu arguments in [%g, %g]\n\n", xs.size(),
                scanLow, scanHigh);
    std::printf("| region / row | x | arguments | max relative error | at x |\n|---|---|---|---|---|\n");
    for (int r = 0; r < regionCount; ++r) {
        double lo, hi, rlo = INFINITY, rhi = 0;
        for (int row = 0; row < rowsPerRegion[r]; ++row) {
            rowRange(static_cast<Region>(r), row, lo, hi);
            rlo = std::fmin(rlo, lo);
            rhi = std::fmax(rhi, hi);
        }
        std::printf("| **%s** | [%.9g, %.9g) | %" PRIu64 " | **%.2e** | %.17g |\n", regionNames[r], rlo, rhi,
                    perRegion[r].count, perRegion[r].error, perRegion[r].at);
        if (rowsPerRegion[r] == 1) continue;
        for (int row = 0; row < rowsPerRegion[r]; ++row) {
            rowRange(static_cast<Region>(r), row, lo, hi);
            const std::string label = std::string(regionNames[r]) + " row " + std::to_string(row);
            printWorst(label.c_str(), perRow[r][row], lo, hi);
        }
    }
    printWorst("**all**", overall, scanLow, scanHigh);

    std::printf("\nPeers on the same arguments (max relative error per region)\n\n| function |");
    for (const char* n : regionNames) std::printf(" %s |", n);
    std::printf("\n|---|---|---|---|---|\n| BesselK1 |");
    for (const Worst& w : perRegion) std::printf(" %.2e |", w.error);
    std::printf("\n");
    for (const Peer& p : peers) {
        std::printf("| %s |", p.name);
        for (const Worst& w : p.perRegion) std::printf(" %.2e |", w.error);
        std::printf("\n");
    }
    return 0;
}
