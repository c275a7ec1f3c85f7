// What each exported function returns for NaN, infinite, zero, negative and
// out-of-domain arguments. The table below is the single source of the
// input-behaviour table in README.md: every row is checked on
// each of its examples, and README.md must carry exactly the section this
// table renders. After changing a row, regenerate that section with
//   LORVANE_WRITE_INPUT_BEHAVIOUR=1 build/release/bin/lorvane_tests --gtest_filter='InputBehaviour.*'
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "lorvane.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

enum class Outcome { NaN, PlusInfinity, MinusInfinity, Zero, ExactlyOne, ExactlyHalf, LowerHalf, Positive, Subnormal, Negative };

const char* describe(Outcome o) {
    switch (o) {
        case Outcome::NaN: return "NaN";
        case Outcome::PlusInfinity: return "+∞";
        case Outcome::MinusInfinity: return "−∞";
        case Outcome::Zero: return "0";
        case Outcome::ExactlyOne: return "exactly 1";
        case Outcome::ExactlyHalf: return "exactly 0.5";
        case Outcome::LowerHalf: return "in (0, 0.5]";
        case Outcome::Positive: return "finite, > 0";
        case Outcome::Subnormal: return "subnormal, > 0";
        case Outcome::Negative: return "finite, < 0";
    }
    return "?";
}

// The class a result falls in; the finer classes are tried first.
bool falls(double v, Outcome o) {
    switch (o) {
        case Outcome::NaN: return std::isnan(v);
        case Outcome::PlusInfinity: return v == inf;
        case Outcome::MinusInfinity: return v == -inf;
        case Outcome::Zero: return v == 0.0;
        case Outcome::ExactlyOne: return v == 1.0;
        case Outcome::ExactlyHalf: return v == 0.5;
        case Outcome::LowerHalf: return v > 0.0 && v <= 0.5;
        case Outcome::Positive: return std::isfinite(v) && v > 0.0;
        case Outcome::Subnormal: return v > 0.0 && v < DBL_MIN;
        case Outcome::Negative: return std::isfinite(v) && v < 0.0;
    }
    return false;
}

enum class Function { Cdf, Bessel, Density, Kernel, Call };

struct Row {
    Function function;
    const char* input;
    std::vector<std::vector<double>> examples;
    Outcome expected;
};

double call(Function f, const std::vector<double>& a) {
    switch (f) {
        case Function::Cdf: return cdfN(a.at(0));
        case Function::Bessel: return BesselK1(a.at(0));
        case Function::Density: return pdfNIG(a.at(0), a.at(1), a.at(2), a.at(3), a.at(4));
        case Function::Kernel: return theIntegrand_BS_style(a.at(0), a.at(1), a.at(2), a.at(3), a.at(4));
        case Function::Call: return NIG_Call_BS_style(a.at(0), a.at(1), a.at(2), a.at(3), a.at(4), a.at(5), a.at(6), a.at(7), a.at(8));
    }
    return nan;
}

struct Section {
    Function function;
    const char* heading;
};

const Section sections[] = {
    {Function::Cdf, "`cdfN(x)`"},
    {Function::Bessel, "`BesselK1(x)`"},
    {Function::Density, "`pdfNIG(x, alpha, beta, delta, mu)`"},
    {Function::Kernel, "`theIntegrand_BS_style(alpha, beta, delta, mu, x)`"},
    {Function::Call, "`NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, upper)`"},
};

// Ordinary arguments, and copies of them with one argument replaced.
const std::vector<double> density = {0.1, 2.0, 0.5, 0.3, 0.05};  // x, alpha, beta, delta, mu
const std::vector<double> kernel = {2.0, 0.5, 0.3, 0.05, 0.1};   // alpha, beta, delta, mu, x
const std::vector<double> option = {100.0, 100.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, 2.0};

std::vector<double> with(std::vector<double> base, size_t slot, double value) {
    base.at(slot) = value;
    return base;
}

std::vector<double> with(std::vector<double> base, size_t slot, double value, size_t slot2, double value2) {
    base.at(slot) = value;
    base.at(slot2) = value2;
    return base;
}

// Every argument in turn replaced by value.
std::vector<std::vector<double>> eachArgument(const std::vector<double>& base, double value) {
    std::vector<std::vector<double>> out;
    for (size_t i = 0; i < base.size(); ++i) out.push_back(with(base, i, value));
    return out;
}

const std::vector<Row>& rows() {
    // Arguments: x; x; (x, alpha, beta, delta, mu); (alpha, beta, delta, mu, x);
    // (S, K, T, r, alpha, beta, delta, mu, upper).
    static const std::vector<Row> table = {
        {Function::Cdf, "NaN", {{nan}}, Outcome::NaN},
        {Function::Cdf, "+∞", {{inf}}, Outcome::ExactlyOne},
        {Function::Cdf, "−∞", {{-inf}}, Outcome::Zero},
        {Function::Cdf, "±0 and subnormal x", {{0.0}, {-0.0}, {1e-310}, {-5e-324}}, Outcome::ExactlyHalf},
        {Function::Cdf, "negative x down to −37", {{-1.5}, {-7.07106781186547}, {-37.0}}, Outcome::LowerHalf},
        {Function::Cdf, "x below −37 (beyond the cut-off)", {{-37.000000000000007}, {-1e300}}, Outcome::Zero},
        {Function::Cdf, "x above about 8.3 (1 − tail rounds to 1)", {{8.5}, {37.0}, {1e300}}, Outcome::ExactlyOne},

        {Function::Bessel, "NaN", {{nan}}, Outcome::NaN},
        {Function::Bessel, "+∞", {{inf}}, Outcome::Zero},
        {Function::Bessel, "−∞", {{-inf}}, Outcome::NaN},
        {Function::Bessel, "±0", {{0.0}, {-0.0}}, Outcome::NaN},
        {Function::Bessel, "negative x", {{-1.0}, {-5e-324}, {-DBL_MAX}}, Outcome::NaN},
        {Function::Bessel, "subnormal x below about 5.5627e−309 (the pole term Q/x overflows)", {{5e-324}, {5.5626e-309}}, Outcome::PlusInfinity},
        {Function::Bessel, "x from about 5.5627e−309 to 705.34", {{5.5627e-309}, {1e-300}, {1.0}, {705.34}}, Outcome::Positive},
        {Function::Bessel, "x from about 705.34 to 741.91 (the result underflows gradually)", {{705.35}, {741.9}}, Outcome::Subnormal},
        {Function::Bessel, "x from about 741.92 on", {{741.92}, {DBL_MAX}}, Outcome::Zero},

        {Function::Density, "any argument NaN", eachArgument(density, nan), Outcome::NaN},
        {Function::Density, "alpha ≤ 0", {with(density, 1, 0.0), with(density, 1, -2.0)}, Outcome::NaN},
        {Function::Density, "alpha < \\|beta\\| (also beta = ±∞)", {with(density, 2, 3.0), with(density, 2, -3.0), with(density, 2, inf), with(density, 2, -inf)}, Outcome::NaN},
        {Function::Density, "alpha = +∞", {with(density, 1, inf)}, Outcome::NaN},
        {Function::Density, "delta = 0, x ≠ mu", {with(density, 3, 0.0), with(density, 3, -0.0)}, Outcome::Zero},
        {Function::Density, "delta = 0, x = mu (q = 0)", {with(density, 3, 0.0, 0, 0.05)}, Outcome::NaN},
        {Function::Density, "delta < 0", {with(density, 3, -0.3), with(density, 3, -1e-3)}, Outcome::Negative},
        {Function::Density, "delta = ±∞", {with(density, 3, inf), with(density, 3, -inf)}, Outcome::NaN},
        {Function::Density, "x = −∞ or mu = +∞ with beta > 0", {with(density, 0, -inf), with(density, 4, inf)}, Outcome::Zero},
        {Function::Density, "x = +∞ or mu = −∞ with beta > 0, and x = ±∞ with beta = 0", {with(density, 0, inf), with(density, 4, -inf), with(density, 0, inf, 2, 0.0), with(density, 0, -inf, 2, 0.0)}, Outcome::NaN},
        {Function::Density, "admissible law, far tail where the density itself underflows", {{1000.0, 1.0, 0.0, 1.0, 0.0}, {-800.0, 1.0, 0.5, 1.0, 0.0}}, Outcome::Zero},
        {Function::Density, "admissible law whose separate factors leave the double range (exp(delta·gamma − beta·mu) or exp(beta·x) above DBL_MAX, K1 below it) while the density does not", {{0.0, 500.0, 0.0, 2.0, 0.0}, {1000.0, 1.0, 0.9, 1.0, 0.0}}, Outcome::Positive},

        {Function::Kernel, "any argument NaN", eachArgument(kernel, nan), Outcome::NaN},
        {Function::Kernel, "alpha ≤ 0", {with(kernel, 0, 0.0), with(kernel, 0, -2.0)}, Outcome::NaN},
        {Function::Kernel, "alpha < \\|beta\\| (the kernel does not use gamma)", {with(kernel, 1, 3.0), with(kernel, 1, -3.0)}, Outcome::Positive},
        {Function::Kernel, "alpha = +∞, delta = ±∞ or mu = ±∞", {with(kernel, 0, inf), with(kernel, 2, inf), with(kernel, 2, -inf), with(kernel, 3, inf), with(kernel, 3, -inf)}, Outcome::Zero},
        {Function::Kernel, "delta = 0, x ≠ mu; delta < 0 (as \\|delta\\|)", {with(kernel, 2, 0.0), with(kernel, 2, -0.3)}, Outcome::Positive},
        {Function::Kernel, "delta = 0, x = mu (q = 0)", {with(kernel, 2, 0.0, 4, 0.05)}, Outcome::NaN},
        {Function::Kernel, "x = −∞ with beta > 0", {with(kernel, 4, -inf)}, Outcome::Zero},
        {Function::Kernel, "x = +∞ with beta > 0, and x = ±∞ with beta = 0", {with(kernel, 4, inf), with(kernel, 4, inf, 1, 0.0)}, Outcome::NaN},
        {Function::Kernel, "kernel itself above DBL_MAX (exp(beta·x) huge, K1 not small)", {{1.0, 0.9, 1.0, 800.0, 800.0}}, Outcome::PlusInfinity},
        {Function::Kernel, "exp(beta·x) above DBL_MAX and K1 below DBL_MIN while the kernel is in range", {{1.0, 0.9, 1.0, 0.0, 1000.0}}, Outcome::Positive},

        {Function::Call, "any argument NaN", eachArgument(option, nan), Outcome::NaN},
        {Function::Call, "S ≤ 0 or K < 0 (no logarithm of K/S)", {with(option, 0, 0.0), with(option, 0, -100.0), with(option, 1, -100.0)}, Outcome::NaN},
        {Function::Call, "K = 0 or S, K = +∞ (ln(K/S) = ±∞)", {with(option, 1, 0.0), with(option, 0, inf), with(option, 1, inf)}, Outcome::NaN},
        {Function::Call, "upper = ln(K/S) (empty interval)", {with(option, 8, 0.0)}, Outcome::Zero},
        // Both masses change sign, so the value is minus the contribution of
        // [upper, ln(K/S)], where S e^x < K: positive, not negative.
        {Function::Call, "upper < ln(K/S) (reversed interval: both masses negated)", {with(option, 8, -1.0), with(option, 1, 150.0, 8, 0.0)}, Outcome::Positive},
        {Function::Call, "upper = ±∞", {with(option, 8, inf), with(option, 8, -inf)}, Outcome::NaN},
        {Function::Call, "T = 0 or delta = 0 (delta·T = 0: the law degenerates to a point and both masses are 0, even in the money)", {with(option, 2, 0.0, 1, 90.0), with(option, 6, 0.0), with(option, 6, 0.0, 1, 50.0)}, Outcome::Zero},
        {Function::Call, "delta·T = 0 and an end of the interval at mu·T (the kernel meets q = 0)", {with(option, 2, 0.0), with(option, 6, 0.0, 8, 0.025)}, Outcome::NaN},
        {Function::Call, "T = ±∞", {with(option, 2, inf), with(option, 2, -inf)}, Outcome::NaN},
        {Function::Call, "r = +∞ (the strike is discounted to 0)", {with(option, 3, inf)}, Outcome::Positive},
        {Function::Call, "r = −∞", {with(option, 3, -inf)}, Outcome::MinusInfinity},
        {Function::Call, "alpha ≤ 0", {with(option, 4, 0.0), with(option, 4, -20.0)}, Outcome::NaN},
        {Function::Call, "alpha < \\|beta\\| or alpha < \\|beta + 1\\|", {with(option, 5, -21.0), with(option, 5, 19.5), with(option, 4, 2.5)}, Outcome::NaN},
        {Function::Call, "alpha, beta, delta or mu infinite", {with(option, 4, inf), with(option, 5, inf), with(option, 6, inf), with(option, 7, inf)}, Outcome::NaN},
        {Function::Call, "admissible law over a long horizon, where exp(delta·T·gamma − beta·mu·T) is above DBL_MAX", {with(option, 2, 2000.0, 8, 60.0)}, Outcome::Positive},
    };
    return table;
}

double checkedCall(const Row& row, const std::vector<double>& args) { return call(row.function, args); }

std::string formatNumber(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "+∞" : "−∞";
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    std::string s(text, end);
    if (s.rfind('-', 0) == 0) s = "−" + s.substr(1);
    return s;
}

std::string formatArguments(const std::vector<double>& args) {
    std::string s = "(";
    for (size_t i = 0; i < args.size(); ++i) s += (i ? ", " : "") + formatNumber(args[i]);
    return s + ")";
}

// The README's section: one table per function, one line per row, with up
// to two of its examples. It stands between two marker comments in README.md.
const std::string beginMarker = "<!-- input-behaviour: rendered by tests/input_behaviour_test.cpp -->\n";
const std::string endMarker = "<!-- end of input-behaviour -->\n";

std::string renderSection() {
    std::ostringstream doc;
    doc << "No function validates its arguments or reports an error: NaN, infinite, zero, negative and\n"
           "out-of-domain arguments flow through the IEEE arithmetic. This is what comes back. Every row\n"
           "is checked on each of its examples by `tests/input_behaviour_test.cpp`, which also renders\n"
           "this section from the same table and fails if the two differ.\n\n"
           "\"finite, > 0\" and the like name the class of the result; the values themselves are the\n"
           "function's ordinary results. An admissible NIG law has alpha > \\|beta\\| and delta > 0; the\n"
           "call price also needs alpha > \\|beta + 1\\|.\n";
    for (const Section& section : sections) {
        doc << "\n### " << section.heading << "\n\n| Arguments | Examples | Result |\n|---|---|---|\n";
        for (const Row& row : rows()) {
            if (row.function != section.function) continue;
            std::string examples;
            for (size_t i = 0; i < row.examples.size() && i < 2; ++i)
                examples += (i ? "; " : "") + formatArguments(row.examples[i]);
            if (row.examples.size() > 2) examples += "; …";
            doc << "| " << row.input << " | " << examples << " | " << describe(row.expected) << " |\n";
        }
    }
    return doc.str();
}

const std::string readmePath = std::string(LORVANE_TEST_DATA_DIR) + "/../../README.md";

TEST(InputBehaviour, EveryRowHoldsOnEachOfItsExamples) {
    for (const Row& row : rows())
        for (const auto& args : row.examples) {
            const double result = checkedCall(row, args);
            EXPECT_TRUE(falls(result, row.expected))
                << sections[int(row.function)].heading << " " << row.input << ": " << formatArguments(args) << " = "
                << formatNumber(result) << ", expected " << describe(row.expected);
        }
}

TEST(InputBehaviour, ReadmeCarriesTheRenderedTable) {
    std::string readme;
    {
        std::ifstream in(readmePath, std::ios::binary);
        ASSERT_TRUE(in) << "cannot read " << readmePath;
        std::stringstream ss;
        ss << in.rdbuf();
        readme = ss.str();
    }
    const auto begin = readme.find(beginMarker);
    const auto end = readme.find(endMarker);
    ASSERT_NE(begin, std::string::npos) << "README.md lacks the marker " << beginMarker;
    ASSERT_NE(end, std::string::npos) << "README.md lacks the marker " << endMarker;
    ASSERT_LT(begin, end);
    const auto contentStart = begin + beginMarker.size();
    const std::string rendered = renderSection();
    if (const char* write = std::getenv("LORVANE_WRITE_INPUT_BEHAVIOUR"); write && *write) {
        readme.replace(contentStart, end - contentStart, rendered);
        std::ofstream(readmePath, std::ios::binary) << readme;
        GTEST_SKIP() << "wrote " << readmePath;
    }
    EXPECT_EQ(readme.substr(contentStart, end - contentStart), rendered)
        << "README.md's input-behaviour section is stale; regenerate it with "
           "LORVANE_WRITE_INPUT_BEHAVIOUR=1 lorvane_tests --gtest_filter='InputBehaviour.*'";
}

}  // namespace
