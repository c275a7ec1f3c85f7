// The NIG mass of an interval by the double-exponential rule: accuracy on
// laws whose mass is known, the pass logic (agreement, the cap, NaN), and the
// exact symmetries of the rule.
#include "nig/nig_probability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nig/double_exponential.h"
#include "nig/nig_kernel.h"

namespace {

using lorvane::detail::doubleExponentialSum;
using lorvane::detail::NIG_Prob_BS_style;
using lorvane::detail::nigKernel;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Law {
    double alpha, beta, delta, mu;
};

// Runs the rule over the kernel, counting evaluations.
struct CountedRun {
    double stepTimesSum;
    int passes;
    long evaluations;
};

CountedRun countedRun(const Law& l, double lower, double upper) {
    long evaluations = 0;
    const auto kernel = [&](double x) {
        ++evaluations;
        return nigKernel(l.alpha, l.beta, l.delta, l.mu, x);
    };
    const auto r = doubleExponentialSum(kernel, lower, upper);
    return {r.stepTimesSum, r.passes, evaluations};
}

TEST(NigProbability, MassOfTheWholeLawIsOne) {
    EXPECT_NEAR(NIG_Prob_BS_style(1, 0, 1, 0, -60, 60), 1.0, 2e-15);
    EXPECT_NEAR(NIG_Prob_BS_style(1, 0, 1, 0, 0, 60), 0.5, 1e-15);
    EXPECT_NEAR(NIG_Prob_BS_style(20, -3, 0.5, 0.05, -10, 10), 1.0, 2e-15);
    // The skewed law converges before the cap.
    const CountedRun run = countedRun({20, -3, 0.5, 0.05}, -10, 10);
    EXPECT_LT(run.passes, 8);
}

// The symmetric law has mass 1/2 on each side of its centre, whatever the
// scale, and the mass over the whole law is 1 for laws of every shape whose
// tails the interval covers.
TEST(NigProbability, KnownMassesAcrossShapes) {
    const struct {
        Law law;
        double lower, upper, mass;
    } cases[] = {
        {{1, 0, 1, 0}, -60, 0, 0.5},        {{4, 0, 0.2, 0.3}, 0.3, 12, 0.5},
        {{15, -5, 0.5, 0.1}, -4, 4, 1.0},   {{8, -3, 0.25, 0.11}, -12, 5, 1.0},
        {{6, -1, 0.6, 0.08}, -12, 12, 1.0}, {{3, 1, 0.5, -0.1}, -15, 30, 1.0},
    };
    for (const auto& c : cases) {
        const Law& l = c.law;
        EXPECT_NEAR(NIG_Prob_BS_style(l.alpha, l.beta, l.delta, l.mu, c.lower, c.upper), c.mass,
                    3e-15)
            << l.alpha << " " << l.beta << " " << l.delta << " " << l.mu;
    }
}

TEST(NigProbability, EmptyIntervalGivesZeroAfterTwoPasses) {
    for (const double x : {-2.0, 0.0, 0.7}) {
        EXPECT_EQ(NIG_Prob_BS_style(15, -5, 0.5, 0.1, x, x), 0.0);
        EXPECT_EQ(countedRun({15, -5, 0.5, 0.1}, x, x).passes, 2);
    }
}

TEST(NigProbability, ReversedIntervalIsExactlyTheNegation) {
    const struct {
        Law law;
        double a, b;
    } cases[] = {
        {{1, 0, 1, 0}, -60, 60},
        {{15, -5, 0.5, 0.1}, -0.3, 2},
        {{8, -3, 0.25, 0.11}, 0.05, 0.051},
        {{2, 1.9, 0.1, 0}, -1, 30},
    };
    for (const auto& c : cases) {
        const Law& l = c.law;
        const double forward = NIG_Prob_BS_style(l.alpha, l.beta, l.delta, l.mu, c.a, c.b);
        const double backward = NIG_Prob_BS_style(l.alpha, l.beta, l.delta, l.mu, c.b, c.a);
        EXPECT_EQ(backward, -forward) << c.a << " " << c.b;
        EXPECT_EQ(countedRun(l, c.b, c.a).evaluations, countedRun(l, c.a, c.b).evaluations);
    }
}

TEST(NigProbability, NanFromTheLawOrTheKernel) {
    // alpha < |beta|: the constant factor is NaN.
    EXPECT_TRUE(std::isnan(NIG_Prob_BS_style(1, 2, 1, 0, -1, 1)));
    EXPECT_TRUE(std::isnan(NIG_Prob_BS_style(1, -1.5, 1, 0, -1, 1)));
    // A NaN from the kernel ends the passes after the pass it appears in:
    // in the first pass (the centre is the first evaluation), or in the
    // last pass of a clean run, which then runs as many passes as before.
    const Law l{15, -5, 0.5, 0.1};
    const CountedRun clean = countedRun(l, -3, 3);
    ASSERT_GT(clean.passes, 2);
    const struct {
        long poisoned;
        int passes;
    } cases[] = {{2, 1}, {clean.evaluations, clean.passes}};
    for (const auto& c : cases) {
        long evaluations = 0;
        const auto kernel = [&](double x) {
            ++evaluations;
            return evaluations == c.poisoned ? nan : nigKernel(l.alpha, l.beta, l.delta, l.mu, x);
        };
        const auto r = doubleExponentialSum(kernel, -3, 3);
        EXPECT_TRUE(std::isnan(r.stepTimesSum)) << c.poisoned;
        EXPECT_EQ(r.passes, c.passes) << c.poisoned;
    }
}

// Every input ends within eight passes, whatever it is, and a node walk
// never runs away: the evaluations stay bounded.
TEST(NigProbability, EveryInputEndsWithinEightPasses) {
    const double limits[] = {-inf, -1e300, -1e10, -60,   -1,  0,  1e-300,
                             0.5,  60,     1e10,  1e300, inf, nan};
    const Law laws[] = {{1, 0, 1, 0},          {15, -5, 0.5, 0.1}, {1, 2, 1, 0},
                        {nan, 0, 1, 0},        {1, 0, nan, 0},     {1, 0, 1, inf},
                        {1e300, 0, 1e-300, 0}, {1, 0, 0, 0},       {20, 19.999, 1e3, 0}};
    for (const auto& l : laws)
        for (const double a : limits)
            for (const double b : limits) {
                const CountedRun run = countedRun(l, a, b);
                EXPECT_GE(run.passes, 1);
                EXPECT_LE(run.passes, 8) << a << " " << b;
                EXPECT_LT(run.evaluations, 8 * 1024) << a << " " << b;
                (void)NIG_Prob_BS_style(l.alpha, l.beta, l.delta, l.mu, a, b);
            }
}

// The rule integrates smooth functions whose integral is known, so that a
// fault in the node walk or the pass logic shows apart from the kernel.
TEST(DoubleExponentialRule, IntegratesKnownFunctions) {
    const auto cosine = [](double x) { return std::cos(x); };
    EXPECT_NEAR(doubleExponentialSum(cosine, 0, 1.5).stepTimesSum, std::sin(1.5), 1e-15);
    const auto endpointSingular = [](double x) { return 1.0 / std::sqrt(x); };
    EXPECT_NEAR(doubleExponentialSum(endpointSingular, 0, 4).stepTimesSum, 4.0, 1e-12);
    const auto gaussian = [](double x) { return std::exp(-0.5 * x * x); };
    EXPECT_NEAR(doubleExponentialSum(gaussian, -12, 12).stepTimesSum,
                std::sqrt(2 * 3.141592653589793), 4e-15);
    const auto constant = [](double) { return 3.0; };
    const auto r = doubleExponentialSum(constant, -1, 2);
    EXPECT_NEAR(r.stepTimesSum, 9.0, 1e-14);
}

}  // namespace
