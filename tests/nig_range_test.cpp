// Densities, masses and prices whose separately formed factors leave the
// double range: where every factor stays normal the results are bit for bit
// those of the plain evaluation; where one does not, the results follow the
// true values (high-precision references) instead of turning NaN or losing
// digits; outside the law's domain they stay NaN.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "lorvane.h"
#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"
#include "nig/nig_probability.h"
#include "nig/nig_range_guard.h"
#include "reference_table.h"

namespace {

using namespace lorvane::detail;
using lorvane::test::readReferenceTable;
using lorvane::test::relativeError;
using lorvane::test::toDouble;
using lorvane::test::toLongDouble;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double pi = 3.141592653589793;

// The plain evaluation alone, written out again: the rule over the plain
// kernel, times the constant factor.
double plainMass(double alpha, double beta, double delta, double mu, double lower, double upper) {
    const auto kernel = [=](double x) { return nigKernel(alpha, beta, delta, mu, x); };
    const double hSum = doubleExponentialSum(kernel, lower, upper).stepTimesSum;
    return (((hSum * nigLevelFactor(alpha, beta, delta, mu)) * alpha) * delta) * invPi;
}

double plainCall(double S, double K, double T, double r, double alpha, double beta, double delta,
                 double mu, double upper) {
    const double lo = std::log(K / S);
    const double p1 = plainMass(alpha, beta + 1, T * delta, T * mu, lo, upper);
    const double p2 = plainMass(alpha, beta, T * delta, T * mu, lo, upper);
    return p1 * S - (p2 * std::exp(-(T * r))) * K;
}

double martingaleMu(double r, double alpha, double beta, double delta) {
    return r - delta * (std::sqrt(alpha * alpha - beta * beta) -
                        std::sqrt(alpha * alpha - (beta + 1) * (beta + 1)));
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Whether the plain mass formed only normal doubles, kernel and factor.
bool massPiecesNormal(double alpha, double beta, double delta, double mu, double lower,
                      double upper) {
    bool normal = true;
    nigProbabilityFromFactors(alpha, beta, delta, mu, lower, upper, &normal);
    return normal;
}

struct Law {
    double alpha, beta, delta, mu;
};

std::vector<Law> lawGrid() {
    std::vector<Law> laws;
    for (const double alpha : {0.7, 3.0, 15.0, 60.0, 150.0})
        for (const double skew : {-0.95, -0.4, 0.0, 0.3, 0.9})
            for (const double delta : {0.03, 0.5, 2.5})
                for (const double mu : {-0.2, 0.0, 0.15})
                    laws.push_back({alpha, skew * alpha, delta, mu});
    return laws;
}

TEST(NigRange, DensityAndKernelInRangeAreBitIdentical) {
    int inRange = 0, total = 0;
    for (const Law& l : lawGrid())
        for (const double x : {-6.0, -1.0, -0.1, 0.0, 0.2, 1.5, 7.0}) {
            ++total;
            bool normal = true;
            const double plain = nigDensity(x, l.alpha, l.beta, l.delta, l.mu);
            nigDensity(x, l.alpha, l.beta, l.delta, l.mu, normal);
            bool kernelNormal = true;
            const double plainKernel = nigKernel(l.alpha, l.beta, l.delta, l.mu, x);
            nigKernel(l.alpha, l.beta, l.delta, l.mu, x, kernelNormal);
            if (kernelNormal) {
                EXPECT_TRUE(sameBits(theIntegrand_BS_style(l.alpha, l.beta, l.delta, l.mu, x),
                                     plainKernel));
            }
            if (!normal) continue;
            ++inRange;
            EXPECT_TRUE(sameBits(pdfNIG(x, l.alpha, l.beta, l.delta, l.mu), plain))
                << x << " " << l.alpha << " " << l.beta << " " << l.delta << " " << l.mu;
        }
    // The grid is mostly inside the range; a check that excluded everything
    // would prove nothing.
    EXPECT_GT(inRange, total * 2 / 3);
}

TEST(NigRange, MassesAndPricesInRangeAreBitIdentical) {
    int inRange = 0, total = 0;
    const double intervals[][2] = {{-1, 1}, {-0.3, 2}, {0, 4}, {-4, 0.1}, {0.05, 0.06}};
    for (const Law& l : lawGrid())
        for (const auto& iv : intervals) {
            ++total;
            if (!massPiecesNormal(l.alpha, l.beta, l.delta, l.mu, iv[0], iv[1])) continue;
            ++inRange;
            EXPECT_TRUE(sameBits(NIG_Prob_BS_style(l.alpha, l.beta, l.delta, l.mu, iv[0], iv[1]),
                                 plainMass(l.alpha, l.beta, l.delta, l.mu, iv[0], iv[1])))
                << iv[0] << " " << iv[1] << " " << l.alpha << " " << l.beta << " " << l.delta;
        }
    EXPECT_GT(inRange, total / 2);

    int pricesInRange = 0;
    for (const double alpha : {4.0, 15.0, 60.0})
        for (const double beta : {-3.0, -0.5, 0.0, 1.5})
            for (const double delta : {0.2, 1.0, 3.0})
                for (const double T : {0.05, 0.5, 2.0})
                    for (const double K : {70.0, 100.0, 140.0}) {
                        const double mu = martingaleMu(0.03, alpha, beta, delta);
                        const double lo = std::log(K / 100.0), upper = 3.0;
                        if (!massPiecesNormal(alpha, beta + 1, T * delta, T * mu, lo, upper) ||
                            !massPiecesNormal(alpha, beta, T * delta, T * mu, lo, upper))
                            continue;
                        ++pricesInRange;
                        EXPECT_TRUE(sameBits(
                            NIG_Call_BS_style(100, K, T, 0.03, alpha, beta, delta, mu, upper),
                            plainCall(100, K, T, 0.03, alpha, beta, delta, mu, upper)));
                    }
    EXPECT_GT(pricesInRange, 200);
}

// The advance test that lets the plain rule skip its checks per node never
// vouches for an interval where some node forms a factor out of range, on a
// grid that runs up to its bounds (K1 arguments near 600, exponents near
// -670, tilts near 600), and it does vouch for ordinary laws.
TEST(NigRange, AdvanceRangeTestIsConservative) {
    int vouched = 0;
    for (const double alpha : {0.01, 1.0, 15.0, 100.0, 149.0, 300.0})
        for (const double skew : {-0.99, -0.5, 0.0, 0.7, 0.999})
            for (const double delta : {1e-9, 1e-3, 0.5, 3.0, 5.9})
                for (const double mu : {-2.0, 0.0, 0.5})
                    for (const double lower : {-8.0, -1.0, 0.0})
                        for (const double upper : {0.5, 3.9, 6.0}) {
                            const double beta = skew * alpha;
                            if (!nigIntervalSurelyNormal(alpha, beta, delta, mu, lower, upper))
                                continue;
                            ++vouched;
                            bool normal = true;
                            const auto kernel = [&](double x) {
                                return nigKernel(alpha, beta, delta, mu, x, normal);
                            };
                            doubleExponentialSum(kernel, lower, upper);
                            EXPECT_TRUE(normal) << alpha << " " << beta << " " << delta << " " << mu
                                                << " [" << lower << ", " << upper << "]";
                        }
    EXPECT_GT(vouched, 1000);
    EXPECT_TRUE(nigIntervalSurelyNormal(15, -5, 0.125, 0.05, std::log(0.9), 5));
    EXPECT_FALSE(nigIntervalSurelyNormal(100, 0, 5, 0, 0, 8));
    EXPECT_FALSE(nigIntervalSurelyNormal(nan, 0, 1, 0, -1, 1));

    // The same for the single-point tests of the exported density and kernel.
    int densityVouched = 0, kernelVouched = 0;
    for (const double alpha : {1e-5, 0.01, 1.0, 15.0, 120.0, 1e5})
        for (const double skew : {-1.5, -0.99, -0.5, 0.0, 0.7, 0.999})
            for (const double delta : {1e-5, 1e-3, 0.5, 3.0, 80.0})
                for (const double mu : {-2.0, 0.0, 0.5})
                    for (const double x : {-600.0, -8.0, -1.0, 0.0, 0.3, 4.0, 40.0, 700.0}) {
                        const double beta = skew * alpha;
                        const double d = x - mu;
                        const double q = std::sqrt(d * d + delta * delta);
                        const double z = q * alpha;
                        const double level =
                            std::sqrt(alpha * alpha - beta * beta) * delta - beta * mu;
                        if (nigDensitySurelyNormal(z, q, alpha, delta, level, x * beta)) {
                            ++densityVouched;
                            bool normal = true;
                            nigDensity(x, alpha, beta, delta, mu, normal);
                            EXPECT_TRUE(normal) << "density " << x << " " << alpha << " " << beta
                                                << " " << delta << " " << mu;
                        }
                        if (nigKernelSurelyNormal(z, q, x * beta)) {
                            ++kernelVouched;
                            bool normal = true;
                            nigKernel(alpha, beta, delta, mu, x, normal);
                            EXPECT_TRUE(normal) << "kernel " << x << " " << alpha << " " << beta
                                                << " " << delta << " " << mu;
                        }
                    }
    EXPECT_GT(densityVouched, 1000);
    EXPECT_GT(kernelVouched, 1000);
}

// Cases where the plain evaluation is NaN, zero or short of digits, against
// mpmath: densities within 1e-13, masses and prices within 1e-12.
TEST(NigRange, MatchesHighPrecisionReferenceBeyondTheFactorsRange) {
    const auto table = readReferenceTable("nig_range_reference.csv");
    int densities = 0, masses = 0, calls = 0;
    for (const auto& row : table.rows) {
        const long double reference = toLongDouble(row.back());
        std::vector<double> v;
        for (size_t i = 1; i + 1 < row.size(); ++i) v.push_back(toDouble(row[i]));
        if (row[0] == "density") {
            ++densities;
            const double f = pdfNIG(v[0], v[1], v[2], v[3], v[4]);
            EXPECT_LT(relativeError(f, reference), 1e-13)
                << "density at " << v[0] << " (" << v[1] << ", " << v[2] << ", " << v[3] << ", "
                << v[4] << "): " << f;
            // The kernel is the density without its constant factor.
            const long double factor =
                (static_cast<long double>(v[1]) * v[3] / pi) *
                std::exp(static_cast<long double>(v[3]) *
                             std::sqrt(static_cast<long double>(v[1]) * v[1] -
                                       static_cast<long double>(v[2]) * v[2]) -
                         static_cast<long double>(v[2]) * v[4]);
            const long double kernelReference = reference / factor;
            if (kernelReference > 1e-300L && kernelReference < 1e300L) {
                const double k = theIntegrand_BS_style(v[1], v[2], v[3], v[4], v[0]);
                EXPECT_LT(relativeError(k, kernelReference), 1e-12)
                    << "kernel at " << v[0] << ": " << k;
            }
        } else if (row[0] == "mass") {
            ++masses;
            const double m = NIG_Prob_BS_style(v[0], v[1], v[2], v[3], v[4], v[5]);
            EXPECT_LT(relativeError(m, reference), 1e-12)
                << "mass (" << v[0] << ", " << v[1] << ", " << v[2] << ", " << v[3] << ") on ["
                << v[4] << ", " << v[5] << "]: " << m;
        } else {
            ++calls;
            const double p =
                NIG_Call_BS_style(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
            EXPECT_LT(relativeError(p, reference), 1e-12)
                << "call K=" << v[1] << " T=" << v[2] << " alpha=" << v[4] << " beta=" << v[5]
                << " delta=" << v[6] << ": " << p;
        }
    }
    EXPECT_GT(densities, 20);
    EXPECT_GT(masses, 3);
    EXPECT_GT(calls, 10);
}

// Where the plain price is still finite (the factors already partly out of
// range), the two evaluations agree: the near-normal law with delta T gamma
// from 100 up to the edge of overflow at 709.
TEST(NigRange, AgreesWithThePlainEvaluationWhereBothAreFinite) {
    const double alpha = 100, delta = 5, r = 0.03, mu = martingaleMu(r, alpha, 0, delta);
    for (const double T : {0.2, 0.6, 1.0, 1.2, 1.4, 1.415})
        for (const double K : {90.0, 100.0, 115.0}) {
            const double plain = plainCall(100, K, T, r, alpha, 0, delta, mu, 8);
            const double price = NIG_Call_BS_style(100, K, T, r, alpha, 0, delta, mu, 8);
            ASSERT_TRUE(std::isfinite(plain)) << T;
            // The plain evaluation carries the rounding of exponents near
            // delta T alpha, up to 700 here.
            EXPECT_NEAR(price, plain, 2e-15 * (1 + delta * T * alpha) * price) << T << " " << K;
        }
}

TEST(NigRange, OutOfDomainStaysNan) {
    // alpha <= |beta| for the density and the mass, also where the factors
    // leave the range.
    for (const double delta : {1.0, 50.0}) {
        EXPECT_TRUE(std::isnan(pdfNIG(0.5, 100, 101, delta, 0)));
        EXPECT_TRUE(std::isnan(pdfNIG(30, 100, -120, delta, 0)));
        EXPECT_TRUE(std::isnan(NIG_Prob_BS_style(100, 101, delta, 0, -1, 1)));
    }
    // alpha <= |beta + 1| for the price, with a long horizon.
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(100, 100, 10, 0.03, 100, 99.5, 5, 0, 8)));
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(100, 100, 1, 0.03, 20, -21.5, 5, 0, 8)));
    // NaN inputs, in every position of the long-horizon price.
    const double args[9] = {100, 110, 5, 0.03, 100, 0, 5, martingaleMu(0.03, 100, 0, 5), 8};
    for (int i = 0; i < 9; ++i) {
        double a[9];
        std::copy(args, args + 9, a);
        a[i] = nan;
        EXPECT_TRUE(
            std::isnan(NIG_Call_BS_style(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8])))
            << i;
    }
    // Infinite points, parameters or limits keep the plain arithmetic's NaN.
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(pdfNIG(inf, 2, 0.5, 0.3, 0.05)));
    EXPECT_TRUE(std::isnan(pdfNIG(-inf, 2, 0, 0.3, 0.05)));
    EXPECT_TRUE(std::isnan(pdfNIG(0.1, 2, 0.5, 0.3, -inf)));
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(100, 100, 0.5, 0.03, 20, -3, 0.5, inf, 2)));
    EXPECT_TRUE(std::isnan(NIG_Prob_BS_style(20, -3, 0.5, 0.05, -inf, 1)));
    EXPECT_TRUE(std::isnan(pdfNIG(nan, 100, 0, 50, 0)));
    EXPECT_TRUE(std::isnan(pdfNIG(0.1, 100, 0, 50, nan)));
    EXPECT_TRUE(std::isnan(theIntegrand_BS_style(100, 0, 50, 0, nan)));
    EXPECT_TRUE(std::isnan(theIntegrand_BS_style(-1, 0, 1, 0, 800)));
}

// True values beyond the double range come out as the arithmetic gives them.
TEST(NigRange, TrueValuesBeyondTheRangeAreZeroOrInfinity) {
    EXPECT_EQ(pdfNIG(1e6, 1, 0, 1, 0), 0.0);
    EXPECT_EQ(pdfNIG(-3e4, 50, 45, 0.5, 0), 0.0);
    EXPECT_EQ(pdfNIG(1e300, 2, 1, 1, 0), 0.0);
    EXPECT_EQ(theIntegrand_BS_style(50, 0, 1, 0, 40), 0.0);
    // alpha < |beta|: the kernel grows like e^((beta - alpha) x).
    EXPECT_EQ(theIntegrand_BS_style(1, 2, 1, 0, 800), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NIG_Prob_BS_style(1, 0, 1, 0, 5e3, 6e3), 0.0);
}

}  // namespace
