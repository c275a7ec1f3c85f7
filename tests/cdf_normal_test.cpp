// The standard normal distribution function against mpmath, and its edges.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lorvane.h"
#include "reference_table.h"

namespace {

using lorvane::test::readReferenceTable;
using lorvane::test::toDouble;
using lorvane::test::toLongDouble;

constexpr double switchPoint = 7.07106781186547;

// Relative accuracy of the lower tail Phi(x), x < 0, as measured against the
// reference (with a margin of about two). The fixed rational form has an
// absolute error of a few units in 1e-16, so relative to a small tail the
// error grows with |x| up to the switch; the short continued fraction is
// least accurate just above the switch and improves further out.
double tailRelativeBound(double b) {
    struct Band {
        double upTo, bound;
    };
    static constexpr Band bands[] = {
        {1.0, 1e-15},  {2.0, 3e-15},  {3.0, 4e-14},       {4.0, 5e-13},
        {5.0, 1e-10},  {6.0, 1e-9},   {switchPoint, 5e-9}, {10.0, 1.5e-8},
        {15.0, 6e-9},  {20.0, 4e-10}, {25.0, 4e-11},      {30.0, 6e-12},
    };
    for (const Band& band : bands)
        if (b < band.upTo) return band.bound;
    return 1.2e-12;
}

TEST(CdfNormal, MatchesHighPrecisionReference) {
    const auto table = readReferenceTable("cdf_normal_reference.csv");
    ASSERT_GT(table.rows.size(), 10000u);
    const size_t xCol = table.column("x_hex"), phiCol = table.column("phi");
    long double worstAbsolute = 0, worstTail = 0;
    double worstAbsoluteAt = 0, worstTailAt = 0;
    for (const auto& row : table.rows) {
        const double x = toDouble(row[xCol]);
        const long double reference = toLongDouble(row[phiCol]);
        const double value = cdfN(x);
        const long double absolute = std::fabs(static_cast<long double>(value) - reference);
        if (absolute > worstAbsolute) worstAbsolute = absolute, worstAbsoluteAt = x;
        EXPECT_LE(absolute, 3e-16L) << "x = " << std::hexfloat << x;
        // Relative accuracy of the lower tail while it is representable.
        if (x < 0 && std::fabs(x) <= 37.0 && reference > 1e-300L) {
            const long double relative = absolute / reference;
            if (relative > worstTail) worstTail = relative, worstTailAt = x;
            EXPECT_LE(relative, tailRelativeBound(-x)) << "x = " << std::hexfloat << x;
        }
    }
    RecordProperty("worst_absolute_error", std::to_string(static_cast<double>(worstAbsolute)));
    std::printf("worst absolute error %.3Lg at x = %.17g; worst lower-tail relative error %.3Lg at x = %.17g\n",
                worstAbsolute, worstAbsoluteAt, worstTail, worstTailAt);
}

TEST(CdfNormal, ExactValuesAtCentreAndBeyondCutoff) {
    EXPECT_EQ(cdfN(0.0), 0.5);
    EXPECT_EQ(cdfN(-0.0), 0.5);
    for (double x : {std::nextafter(37.0, 40.0), 37.5, 100.0, 1e300,
                     std::numeric_limits<double>::max()}) {
        EXPECT_EQ(cdfN(-x), 0.0) << x;
        EXPECT_EQ(cdfN(x), 1.0) << x;
    }
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(cdfN(-inf), 0.0);
    EXPECT_EQ(cdfN(inf), 1.0);
}

TEST(CdfNormal, CutoffIsStrict) {
    // At |x| = 37 itself the continued fraction still gives the tiny tail.
    const double tail = cdfN(-37.0);
    EXPECT_GT(tail, 5.6e-300);
    EXPECT_LT(tail, 5.8e-300);
    EXPECT_EQ(cdfN(37.0), 1.0);
}

TEST(CdfNormal, BothFormsAgreeAtTheSwitch) {
    const double below = std::nextafter(switchPoint, 0.0);
    const double tailBelow = cdfN(-below);  // rational form
    const double tailAt = cdfN(-switchPoint);  // continued fraction
    EXPECT_NEAR(tailBelow, 7.7e-13, 0.05e-13);
    EXPECT_NEAR(tailAt, 7.7e-13, 0.05e-13);
    // The two forms differ by a relative step of about 6.5e-9, far below
    // the absolute error of the result.
    const double step = std::fabs(tailAt - tailBelow) / tailAt;
    EXPECT_GT(step, 1e-9);
    EXPECT_LT(step, 2e-8);
}

TEST(CdfNormal, UpperHalfIsComplementOfLowerTail) {
    for (double x = 0.0; x <= 40.0; x += 0.0625) {
        const double sum = cdfN(-x) + cdfN(x);
        EXPECT_LE(std::fabs(sum - 1.0), std::numeric_limits<double>::epsilon()) << x;
        if (x > 0.0) {
            EXPECT_EQ(cdfN(x), 1.0 - cdfN(-x)) << x;
        }
    }
    // Above about 8.3 the complement rounds to exactly 1 while the tail is
    // still positive.
    EXPECT_EQ(cdfN(8.5), 1.0);
    EXPECT_GT(cdfN(-8.5), 0.0);
}

TEST(CdfNormal, NaNGivesNaN) {
    EXPECT_TRUE(std::isnan(cdfN(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(cdfN(-std::numeric_limits<double>::quiet_NaN())));
}

}  // namespace
