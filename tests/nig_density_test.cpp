// The NIG density and kernel: high-precision reference values, the exact
// identities they must satisfy, and behaviour outside the law's domain.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lorvane.h"
#include "nig/nig_kernel.h"
#include "reference_table.h"

namespace {

using lorvane::test::readReferenceTable;
using lorvane::test::relativeError;
using lorvane::test::toDouble;
using lorvane::test::toLongDouble;

constexpr double e = 2.718281828459045;
constexpr double pi = 3.141592653589793;

// mpmath at 40 digits, central points, far tails and strongly skewed laws.
TEST(NigDensity, MatchesHighPrecisionReference) {
    const auto table = readReferenceTable("nig_density_reference.csv");
    ASSERT_GT(table.rows.size(), 50u);
    long double worst = 0;
    for (const auto& row : table.rows) {
        const double x = toDouble(row[0]), alpha = toDouble(row[1]), beta = toDouble(row[2]),
                     delta = toDouble(row[3]), mu = toDouble(row[4]);
        const long double reference = toLongDouble(row[5]);
        const double f = pdfNIG(x, alpha, beta, delta, mu);
        const long double err = relativeError(f, reference);
        // The exponent delta*gamma + beta*(x - mu) - alpha*q reaches several
        // hundred in the far tails; its rounding, carried by separately formed
        // factors, costs about that many units of 1e-16.
        const double exponentSize = std::fabs(delta * std::sqrt(alpha * alpha - beta * beta)) +
                                    std::fabs(beta * (x - mu)) + std::fabs(alpha * (x - mu)) + 1.0;
        EXPECT_LT(err, 4e-16 * (exponentSize + 4))
            << "x=" << x << " law (" << alpha << ", " << beta << ", " << delta << ", " << mu << ")";
        if (err > worst) worst = err;
    }
    RecordProperty("worst_relative_error", std::to_string(static_cast<double>(worst)));
}

TEST(NigDensity, StandardLawAtItsCentre) {
    const double k1 = BesselK1(1.0);
    EXPECT_NEAR(pdfNIG(0, 1, 0, 1, 0), e * k1 / pi, 4e-16 * (e * k1 / pi));
    EXPECT_EQ(theIntegrand_BS_style(1, 0, 1, 0, 0), k1);
}

TEST(NigDensity, SymmetricLawIsEven) {
    for (const double alpha : {0.5, 1.0, 15.0, 120.0})
        for (const double delta : {0.05, 1.0, 3.0})
            for (const double x : {1e-3, 0.25, 1.0, 4.0, 30.0})
                EXPECT_EQ(pdfNIG(-x, alpha, 0, delta, 0), pdfNIG(x, alpha, 0, delta, 0))
                    << alpha << " " << delta << " " << x;
}

// pdfNIG = kernel * (alpha delta / pi) exp(delta gamma - beta mu), with the
// point first in one and last in the other.
TEST(NigDensity, DensityIsTheKernelTimesTheConstantFactor) {
    const struct {
        double alpha, beta, delta, mu;
    } laws[] = {{1, 0, 1, 0}, {15, -5, 0.5, 0.1}, {2, 1.9, 0.1, 0}, {50, 0, 2, 0.01}};
    for (const auto& l : laws) {
        const double factor =
            (l.alpha * l.delta / pi) *
            std::exp(std::sqrt(l.alpha * l.alpha - l.beta * l.beta) * l.delta - l.beta * l.mu);
        for (const double x : {-3.0, -0.4, 0.0, 0.2, 1.0, 6.0}) {
            const double f = pdfNIG(x, l.alpha, l.beta, l.delta, l.mu);
            const double k = theIntegrand_BS_style(l.alpha, l.beta, l.delta, l.mu, x);
            EXPECT_NEAR(f, k * factor, 1e-15 * f) << x;
        }
    }
}

TEST(NigDensity, OutsideTheDomain) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // alpha < |beta|: gamma is the root of a negative number, the kernel
    // does not use it.
    EXPECT_TRUE(std::isnan(pdfNIG(1, 1, 2, 1, 0)));
    EXPECT_TRUE(std::isfinite(theIntegrand_BS_style(1, 2, 1, 0, 1)));
    EXPECT_GT(theIntegrand_BS_style(1, 2, 1, 0, 1), 0);
    // alpha <= 0, or q = 0 (delta = 0 at x = mu): K1 of a non-positive argument.
    EXPECT_TRUE(std::isnan(pdfNIG(0.3, 0, 0, 1, 0)));
    EXPECT_TRUE(std::isnan(theIntegrand_BS_style(-1, 0, 1, 0, 0.3)));
    EXPECT_TRUE(std::isnan(pdfNIG(0.2, 1, 0, 0, 0.2)));
    // A negative delta enters q squared but multiplies the density.
    EXPECT_LT(pdfNIG(0.2, 3, 1, -1, 0), 0);
    for (const double v : {0.3, nan}) {
        EXPECT_TRUE(std::isnan(pdfNIG(nan, 1, 0, 1, v)));
        EXPECT_TRUE(std::isnan(theIntegrand_BS_style(1, 0, 1, v, nan)));
    }
}

}  // namespace
