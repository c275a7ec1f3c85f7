// K1 against mpmath, the routing at every boundary, and the edges of the domain.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "lorvane.h"
#include "reference_table.h"
#include "special/bessel_k1.h"

namespace {

using lorvane::test::readReferenceTable;
using lorvane::test::relativeError;
using lorvane::test::toDouble;
using lorvane::test::toLongDouble;

// Relative accuracy promised on [1e-300, 700].
constexpr long double bound = 1e-15L;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double tiniest = std::numeric_limits<double>::denorm_min();

double below(double x) { return std::nextafter(x, -inf); }

TEST(BesselK1, MatchesHighPrecisionReference) {
    const auto table = readReferenceTable("bessel_k1_reference.csv");
    ASSERT_GT(table.rows.size(), 300u);
    const size_t xCol = table.column("x_hex"), k1Col = table.column("k1");
    long double worst = 0;
    double worstAt = 0;
    for (const auto& row : table.rows) {
        const double x = toDouble(row[xCol]);
        const long double error = relativeError(BesselK1(x), toLongDouble(row[k1Col]));
        if (error > worst) worst = error, worstAt = x;
        EXPECT_LE(error, bound) << "x = " << std::hexfloat << x;
    }
    std::printf("worst relative error %.3Lg at x = %.17g\n", worst, worstAt);
}

// The three forms written out from the tables, to tell which one a
// boundary argument takes: BesselK1 must reproduce it bit for bit.
using lorvane::detail::k1AsymRows;
using lorvane::detail::k1HighRows;
using lorvane::detail::k1Horner;
using lorvane::detail::k1MidRows;

double middleForm(int row, double t, double v) { return k1Horner(k1MidRows[row], t) * v; }
double highForm(int row, double t) { return k1Horner(k1HighRows[row], t); }
double asymptoticForm(int row, double x, double t) {
    return std::exp(-x) * std::sqrt(t) * k1Horner(k1AsymRows[row], t);
}

TEST(BesselK1, BoundariesSelectTheStatedFormRowAndVariable) {
    {  // 0.8 starts the middle form: v = 3.75, y = -2.95, row 0, t = 0.95.
        const double v = 3.0 / 0.8, t = -2.0 - (0.8 - v);
        EXPECT_EQ(v, 3.75);
        EXPECT_NEAR(t, 0.95, 1e-15);
        EXPECT_EQ(BesselK1(0.8), middleForm(0, t, v));
    }
    // 5.5 starts the high form at row 0 with t = 0.5.
    EXPECT_EQ(BesselK1(5.5), highForm(0, 0.5));
    {  // 12.5 starts the asymptotic form: t = 60/12.5 = 4.8, row 4.
        const double t = 60.0 / 12.5;
        EXPECT_EQ(t, 4.8);
        EXPECT_EQ(BesselK1(12.5), asymptoticForm(4, 12.5, t));
    }
    // Just below each boundary, the previous region's last row.
    {
        const double x = below(5.5), v = 3.0 / x, y = x - v;
        EXPECT_EQ(static_cast<int>(y + 3.0), 7);
        EXPECT_EQ(BesselK1(x), middleForm(7, 5.0 - y, v));
    }
    EXPECT_EQ(BesselK1(below(12.5)), highForm(7, 13.0 - below(12.5)));
    // An anchor is served by the next row at t = 1.
    EXPECT_EQ(BesselK1(1.0), middleForm(1, 1.0, 3.0));
    EXPECT_EQ(BesselK1(6.0), highForm(1, 1.0));
}

TEST(BesselK1, AnchorsAgreeWithTheConstantTermOfTheRowBelow) {
    // Row 0 of the middle table ends at x = 1 with (x/3) K1(x); row 0 of the
    // high table ends at x = 6 with K1(6).
    EXPECT_LE(relativeError(BesselK1(1.0), 3.0L * 0.2006357433990782L), bound);
    EXPECT_LE(relativeError(BesselK1(6.0), 0.001343919717735509L), bound);
    // The small-argument form reduces to the pole: K1(x) = 1/x to within
    // a double below about 1e-9.
    EXPECT_LE(relativeError(BesselK1(1e-300), 1e300L), bound);
}

TEST(BesselK1, ZeroNegativeAndNanGiveNan) {
    for (double x : {0.0, -0.0, -tiniest, -1e-300, -0.5, -1.0, -6.0, -100.0, -inf, nan, -nan})
        EXPECT_TRUE(std::isnan(BesselK1(x))) << x;
}

TEST(BesselK1, SubnormalArgumentsOverflowToInfinity) {
    // 1/x exceeds the largest double below about 5.563e-309.
    for (double x : {tiniest, 1e-320, 1e-310, 5.5e-309, 5.56e-309}) EXPECT_EQ(BesselK1(x), inf) << x;
    for (double x : {5.57e-309, 5.6e-309, std::numeric_limits<double>::min(), 1e-307}) {
        const double k1 = BesselK1(x);
        EXPECT_TRUE(std::isfinite(k1)) << x;
        EXPECT_LE(relativeError(k1, 1.0L / x), bound) << x;
    }
}

TEST(BesselK1, LargeArgumentsUnderflowGradually) {
    // K1(x) by mpmath; above about 705 the result is subnormal and carries
    // an absolute error of about one unit of the smallest subnormal.
    struct Case {
        double x;
        long double k1;
    };
    static constexpr Case cases[] = {
        {705.0, 3.1375198512233789408e-308L}, {705.5, 1.9023268044424964846e-308L},
        {706.0, 1.1534104494208696702e-308L}, {710.0, 2.1065793973053074651e-310L},
        {720.0, 9.4971382069105149111e-315L}, {730.0, 4.2820295789135825292e-319L},
        {740.0, 1.9308449622442241004e-323L}, {741.0, 7.0983822208432785264e-324L},
    };
    for (const Case& c : cases) {
        const double k1 = BesselK1(c.x);
        EXPECT_GT(k1, 0.0) << c.x;
        EXPECT_LE(std::fabs(k1 - c.k1), 2.0L * tiniest + bound * c.k1) << c.x;
        if (c.x > 705.2) {
            EXPECT_LT(k1, std::numeric_limits<double>::min()) << c.x;
        }
    }
    for (double x : {742.0, 745.0, 800.0, 1e10, std::numeric_limits<double>::max(), inf})
        EXPECT_EQ(BesselK1(x), 0.0) << x;
}

TEST(BesselK1, ValidArgumentsRaiseNoInvalidDivideOrOverflowFlag) {
    // A host that unmasks these exceptions can call BesselK1 on [1e-300, 700]
    // without a trap.
    const auto table = readReferenceTable("bessel_k1_reference.csv");
    const size_t xCol = table.column("x_hex");
    for (const auto& row : table.rows) {
        const double x = toDouble(row[xCol]);
        std::feclearexcept(FE_ALL_EXCEPT);
        volatile double k1 = BesselK1(x);
        (void)k1;
        EXPECT_FALSE(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW)) << "x = " << x;
    }
}

}  // namespace
