// Results do not depend on the x87 precision control of the calling thread.
//
// On x86 a host thread may run the x87 unit at single, double or extended
// precision (Linux starts threads at extended, Windows at double, and hosts
// change it). The library rounds in SSE2 and runs its calls to the C math
// library at a fixed precision, so every precision setting must give the
// same bits; on 32-bit x86 the results must also agree with the x86-64
// build's, which evaluates every operation in double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ios>
#include <string>
#include <thread>
#include <vector>

#include "lorvane.h"
#include "module_loader.h"
#include "ulp_distance.h"

#if defined(LORVANE_HAVE_REFERENCE_VALUES)
#include "reference_values.h"
#endif

#if defined(__i386__) || defined(__x86_64__)

namespace {

using lorvane::test::allowedUlps;
using lorvane::test::bitsOf;
using lorvane::test::ulpDistance;

constexpr std::uint16_t singlePrecision = 0x0000, doublePrecision = 0x0200, extendedPrecision = 0x0300;
constexpr std::uint16_t precisionMask = 0x0300;

std::uint16_t x87ControlWord() {
    std::uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void setX87Precision(std::uint16_t precision) {
    const std::uint16_t word = static_cast<std::uint16_t>((x87ControlWord() & ~precisionMask) | precision);
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

// True if an x87 load of a double keeps all its bits at single precision, as
// the hardware does (the precision control rounds only arithmetic results).
// Some emulators round loads too; there a double returned in st(0), as the
// 32-bit calling convention does, comes back rounded, whatever the callee.
bool x87LoadsAreExactAtSinglePrecision() {
    const volatile double wide = 1.0 + 0x1p-40;
    double loaded = 0.0;
    const std::uint16_t saved = x87ControlWord();
    setX87Precision(singlePrecision);
    const double in = wide;
    __asm__ __volatile__("fldl %1\n\tfstpl %0" : "=m"(loaded) : "m"(in));
    __asm__ __volatile__("fldcw %0" : : "m"(saved));
    return loaded == in;
}

struct Case {
    int ordinal;  // 1 cdfN ... 5 NIG_Call_BS_style
    double arguments[9];
    double expected;
    bool hasExpected;
};

std::vector<Case> cases() {
    std::vector<Case> all;
#if defined(LORVANE_HAVE_REFERENCE_VALUES)
    for (const auto& c : lorvane::reference::cases) {
        Case k{c.ordinal, {}, c.expected, true};
        std::memcpy(k.arguments, c.arguments, sizeof k.arguments);
        all.push_back(k);
    }
#endif
    // Dense arguments where exp and log are most sensitive to the precision:
    // large exponents (the far normal tail, K1 at large x) and the Bessel
    // function's small-argument logarithm.
    for (double x = -37.0; x <= 8.0; x += 0.37) all.push_back({1, {x}, 0.0, false});
    for (double x = 0.01; x < 700.0; x *= 1.3) all.push_back({2, {x}, 0.0, false});
    for (double x = -0.6; x <= 0.6; x += 0.15) {
        all.push_back({3, {x, 15.0, -3.0, 0.5, 0.04}, 0.0, false});
        all.push_back({4, {15.0, -3.0, 0.5, 0.04, x}, 0.0, false});
    }
    for (double strike : {85.0, 100.0, 115.0})
        all.push_back({5, {100.0, strike, 0.5, 0.05, 15.0, -3.0, 0.5, 0.1, 2.0}, 0.0, false});
    return all;
}

typedef double(LORVANE_CALL* Function1)(double);
typedef double(LORVANE_CALL* Function5)(double, double, double, double, double);
typedef double(LORVANE_CALL* Function9)(double, double, double, double, double, double, double, double,
                                        double);

struct Functions {
    Function1 cdf, besselK1;
    Function5 density, kernel;
    Function9 call;

    double operator()(const Case& c) const {
        const double* a = c.arguments;
        switch (c.ordinal) {
        case 1: return cdf(a[0]);
        case 2: return besselK1(a[0]);
        case 3: return density(a[0], a[1], a[2], a[3], a[4]);
        case 4: return kernel(a[0], a[1], a[2], a[3], a[4]);
        default: return call(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
        }
    }
};

constexpr Functions linked{cdfN, BesselK1, pdfNIG, theIntegrand_BS_style, NIG_Call_BS_style};

// Every case evaluated in a fresh thread running at the given precision.
std::vector<std::uint64_t> evaluateAt(std::uint16_t precision, const Functions& functions,
                                      const std::vector<Case>& all) {
    std::vector<std::uint64_t> bits;
    std::thread worker([&] {
        setX87Precision(precision);
        for (const auto& c : all) bits.push_back(bitsOf(functions(c)));
    });
    worker.join();
    return bits;
}

const char* functionName(int ordinal) {
    static const char* const names[] = {"", "cdfN", "BesselK1", "pdfNIG", "theIntegrand_BS_style",
                                        "NIG_Call_BS_style"};
    return names[ordinal];
}

std::string describe(const Case& c) {
    std::string s = std::string(functionName(c.ordinal)) + "(";
    const int count = c.ordinal <= 2 ? 1 : c.ordinal <= 4 ? 5 : 9;
    char text[40];
    for (int i = 0; i < count; ++i) {
        std::snprintf(text, sizeof text, "%s%a", i ? ", " : "", c.arguments[i]);
        s += text;
    }
    return s + ")";
}

void expectSameBits(const std::vector<Case>& all, const std::vector<std::uint64_t>& expected,
                    const std::vector<std::uint64_t>& got, const char* setting) {
    ASSERT_EQ(expected.size(), got.size());
    int reported = 0;
    for (size_t i = 0; i < all.size() && reported < 10; ++i)
        if (expected[i] != got[i]) {
            ++reported;
            ADD_FAILURE() << describe(all[i]) << " differs at " << setting << " precision";
        }
}

TEST(X87Precision, ResultsDoNotDependOnTheCallingThreadsPrecision) {
    const auto all = cases();
    const auto atExtended = evaluateAt(extendedPrecision, linked, all);
    expectSameBits(all, atExtended, evaluateAt(doublePrecision, linked, all), "double (53-bit)");
    if (x87LoadsAreExactAtSinglePrecision())
        expectSameBits(all, atExtended, evaluateAt(singlePrecision, linked, all), "single (24-bit)");
    else
        std::printf("note: this x87 (an emulator) rounds loads at single precision; "
                    "checked at double and extended only\n");
}

TEST(X87Precision, ModuleResultsDoNotDependOnTheCallingThreadsPrecision) {
    lorvane::tools::Module module;
    ASSERT_TRUE(module.open(LORVANE_MODULE_PATH)) << lorvane::tools::Module::lastError();
    const Functions bound{module.bind<Function1>("cdfN"), module.bind<Function1>("BesselK1"),
                          module.bind<Function5>("pdfNIG"), module.bind<Function5>("theIntegrand_BS_style"),
                          module.bind<Function9>("NIG_Call_BS_style")};
    ASSERT_TRUE(bound.cdf && bound.besselK1 && bound.density && bound.kernel && bound.call);
    const auto all = cases();
    const auto linkedAtExtended = evaluateAt(extendedPrecision, linked, all);
    expectSameBits(all, linkedAtExtended, evaluateAt(extendedPrecision, bound, all), "extended (64-bit)");
    expectSameBits(all, linkedAtExtended, evaluateAt(doublePrecision, bound, all), "double (53-bit)");
}

TEST(X87Precision, PrecisionControlOfTheCallerIsRestored) {
    std::thread worker([] {
        for (std::uint16_t precision : {singlePrecision, doublePrecision, extendedPrecision}) {
            setX87Precision(precision);
            const std::uint16_t before = x87ControlWord();
            for (const auto& c : cases()) linked(c);
            EXPECT_EQ(x87ControlWord(), before);
        }
    });
    worker.join();
}

#if defined(LORVANE_HAVE_REFERENCE_VALUES)

TEST(X87Precision, AtExtendedPrecisionAgreesWithTheX8664Build) {
    const auto all = cases();
    bool any = false;
    const auto atExtended = evaluateAt(extendedPrecision, linked, all);
    for (size_t i = 0; i < all.size(); ++i) {
        const Case& c = all[i];
        if (!c.hasExpected) continue;
        any = true;
        double got;
        std::memcpy(&got, &atExtended[i], sizeof got);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(got)) << describe(c);
        else
            EXPECT_LE(ulpDistance(got, c.expected), allowedUlps(c.ordinal))
                << describe(c) << " = " << std::hexfloat << got << ", x86-64 build " << c.expected;
    }
    EXPECT_TRUE(any);
}
#endif

}  // namespace

#endif  // x86
