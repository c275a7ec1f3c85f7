// The NIG European call: independent high-precision reference prices, the
// limits it must reach (deep in the money, the normal law), the sign of the
// price for a reversed interval, and NaN outside the law's domain.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "lorvane.h"
#include "nig/nig_probability.h"
#include "reference_table.h"

namespace {

using lorvane::test::readReferenceTable;
using lorvane::test::relativeError;
using lorvane::test::toDouble;
using lorvane::test::toLongDouble;

double martingaleMu(double r, double alpha, double beta, double delta) {
    return r - delta * (std::sqrt(alpha * alpha - beta * beta) -
                        std::sqrt(alpha * alpha - (beta + 1) * (beta + 1)));
}

// Prices of the truncated call from mpmath quadrature of the exact density
// at 34 digits: the example options, heavy tails, short maturities, strong
// skew, a near-normal law.
TEST(NigCall, MatchesHighPrecisionReference) {
    const auto table = readReferenceTable("nig_call_reference.csv");
    ASSERT_GE(table.rows.size(), 20u);
    long double worst = 0;
    for (const auto& row : table.rows) {
        double v[9];
        for (int i = 0; i < 9; ++i) v[i] = toDouble(row[i]);
        const double price =
            NIG_Call_BS_style(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
        const long double err = relativeError(price, toLongDouble(row[table.column("price")]));
        EXPECT_LT(err, 1e-12) << "S=" << v[0] << " K=" << v[1] << " T=" << v[2] << " alpha=" << v[4]
                              << " beta=" << v[5] << " delta=" << v[6];
        if (err > worst) worst = err;
    }
    RecordProperty("worst_relative_error", std::to_string(static_cast<double>(worst)));
}

// The example options cut the law at upper; the mass beyond it, under the
// law and under its tilt, must lie below the last place of the masses, so
// that the truncated price is the price.
TEST(NigCall, ExampleOptionsCutOnlyANegligibleTail) {
    std::ifstream in(std::string(LORVANE_TEST_DATA_DIR) + "/../../examples/options.csv");
    ASSERT_TRUE(in);
    std::string line;
    std::getline(in, line);
    int rows = 0;
    while (std::getline(in, line)) {
        double v[9];
        std::istringstream fields(line);
        std::string field;
        for (double& value : v) {
            std::getline(fields, field, ',');
            value = std::strtod(field.c_str(), nullptr);
        }
        const double T = v[2], alpha = v[4], beta = v[5], delta = v[6], mu = v[7], upper = v[8];
        for (const double b : {beta, beta + 1}) {
            const double tail =
                lorvane::detail::NIG_Prob_BS_style(alpha, b, T * delta, T * mu, upper, upper + 50);
            EXPECT_LT(tail, 1e-17) << line;
        }
        ++rows;
    }
    EXPECT_EQ(rows, 12);
}

// Deep in the money both masses tend to 1 and the price to the forward
// value S - K exp(-rT).
TEST(NigCall, DeepInTheMoneyIsTheForwardValue) {
    const double S = 100, r = 0.03, alpha = 15, beta = -5, delta = 0.5;
    const double mu = martingaleMu(r, alpha, beta, delta);
    for (const double T : {0.25, 1.0}) {
        const double K = 5;
        const double forward = S - K * std::exp(-r * T);
        EXPECT_NEAR(NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, 5.0), forward,
                    1e-12 * forward)
            << T;
    }
}

TEST(NigCall, IntervalEndingAtOrBelowTheStrike) {
    const double S = 100, K = 105, T = 0.5, r = 0.03, alpha = 8, beta = -3, delta = 0.25;
    const double mu = martingaleMu(r, alpha, beta, delta);
    const double lo = std::log(K / S);
    EXPECT_EQ(NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, lo), 0.0);
    // Below ln(K/S) both masses are exactly negated. The price is then minus
    // S P1 - K e^-rT P2 over [upper, ln(K/S)], where the payoff S e^x - K is
    // negative: so the price comes out positive, not negative.
    using lorvane::detail::NIG_Prob_BS_style;
    for (const double upper : {lo - 0.01, lo - 0.2, -1.0}) {
        const double p1 = NIG_Prob_BS_style(alpha, beta + 1, T * delta, T * mu, upper, lo);
        const double p2 = NIG_Prob_BS_style(alpha, beta, T * delta, T * mu, upper, lo);
        const double overReversed = p1 * S - (p2 * std::exp(-(T * r))) * K;
        const double price = NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, upper);
        EXPECT_EQ(price, -overReversed) << upper;
        EXPECT_GT(price, 0.0) << upper;
    }
}

TEST(NigCall, LawWithoutTheTiltedMomentIsNan) {
    // beta + 1 > alpha although alpha > |beta|: P1 is NaN.
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(100, 100, 1, 0.03, 2, 1.5, 0.5, 0, 5)));
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(100, 100, 1, 0.03, 1, 0.5, 0.5, 0, 5)));
    // Negative or NaN K/S makes ln(K/S) NaN.
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(100, -100, 1, 0.03, 15, -5, 0.5, 0.1, 5)));
    EXPECT_TRUE(std::isnan(NIG_Call_BS_style(std::nan(""), 100, 1, 0.03, 15, -5, 0.5, 0.1, 5)));
}

double blackScholesCall(double S, double K, double T, double r, double sigma) {
    const double sd = sigma * std::sqrt(T);
    const double d1 = (std::log(S / K) + (r + 0.5 * sigma * sigma) * T) / sd;
    return S * cdfN(d1) - K * std::exp(-r * T) * cdfN(d1 - sd);
}

// With beta = 0 and delta/alpha = sigma^2 fixed the law tends to the normal
// law as alpha grows; the distance of the prices falls like 1/alpha (the
// excess kurtosis is 3/(alpha delta T)).
TEST(NigCall, ApproachesBlackScholesInTheNormalLimit) {
    const double S = 100, r = 0.03, sigma = 0.2, T = 1;
    double previous = 1;
    for (const double alpha : {10.0, 40.0, 160.0}) {
        const double delta = sigma * sigma * alpha;
        const double mu = martingaleMu(r, alpha, 0, delta);
        double worst = 0;
        for (const double K : {80.0, 95.0, 100.0, 105.0, 125.0}) {
            const double nig = NIG_Call_BS_style(S, K, T, r, alpha, 0, delta, mu, 3.0);
            worst = std::fmax(worst, std::fabs(nig - blackScholesCall(S, K, T, r, sigma)));
        }
        EXPECT_LT(worst, 3.0 / alpha) << alpha;
        EXPECT_LT(worst, previous / 3) << alpha;
        previous = worst;
    }
}

}  // namespace
