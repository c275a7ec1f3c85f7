// A Windows host of the lorvane module, run under a Windows loader.
//
// It does what a host program does (LoadLibrary, GetProcAddress by name and
// by ordinal, FreeLibrary) and checks the module's side of that contract:
// the export directory, name and ordinal binding the same functions, nothing
// else exported, results as the reference build computes them, no state
// left behind by loading and unloading, and the same bits from concurrent
// threads whatever their x87 precision control.
//
// Prints one line per failed check and exits with status 1 if any failed.
#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "lorvane.h"
#include "ulp_distance.h"

#if defined(LORVANE_HAVE_REFERENCE_VALUES)
#include "reference_values.h"
#endif

namespace {

using lorvane::test::allowedUlps;
using lorvane::test::bitsOf;
using lorvane::test::ulpDistance;

constexpr const char* moduleFileName = "lorvane.dll";

struct Export {
    const char* name;
    WORD ordinal;
};
constexpr Export exportTable[] = {
    {"cdfN", 1}, {"BesselK1", 2}, {"pdfNIG", 3}, {"theIntegrand_BS_style", 4}, {"NIG_Call_BS_style", 5},
};

// GetProcAddress returns a generic function pointer; each is called through
// its real type.
typedef void (*GenericFunction)();
typedef double(LORVANE_CALL* Function1)(double);
typedef double(LORVANE_CALL* Function5)(double, double, double, double, double);
typedef double(LORVANE_CALL* Function9)(double, double, double, double, double, double, double, double,
                                        double);

int failures = 0;

void fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
}

std::string hex(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%a", x);
    return text;
}

// The cases every check evaluates: the reference table when the build has
// one, else a small table of its own (then only consistency is checked).
struct Case {
    int ordinal;
    int argumentCount;
    double arguments[9];
    double expected;
    bool hasExpected;
};

std::vector<Case> makeCases() {
    std::vector<Case> cases;
#if defined(LORVANE_HAVE_REFERENCE_VALUES)
    for (const auto& c : lorvane::reference::cases) {
        Case k{c.ordinal, c.argumentCount, {}, c.expected, true};
        std::memcpy(k.arguments, c.arguments, sizeof k.arguments);
        cases.push_back(k);
    }
#else
    for (double x : {-8.0, -1.5, 0.0, 0.7, 3.0}) cases.push_back({1, 1, {x}, 0.0, false});
    for (double x : {0.01, 0.5, 2.0, 30.0}) cases.push_back({2, 1, {x}, 0.0, false});
    for (double x : {-0.2, 0.0, 0.3}) {
        cases.push_back({3, 5, {x, 15.0, -3.0, 0.5, 0.04}, 0.0, false});
        cases.push_back({4, 5, {15.0, -3.0, 0.5, 0.04, x}, 0.0, false});
    }
    for (double strike : {90.0, 100.0, 110.0})
        cases.push_back({5, 9, {100.0, strike, 0.5, 0.05, 15.0, -3.0, 0.5, 0.1, 2.0}, 0.0, false});
#endif
    return cases;
}

// The five functions of one loaded module, bound by name.
struct Bound {
    GenericFunction byOrdinal[6] = {};  // index = ordinal

    bool bind(HMODULE module) {
        for (const auto& e : exportTable)
            byOrdinal[e.ordinal] = reinterpret_cast<GenericFunction>(GetProcAddress(module, e.name));
        for (int i = 1; i <= 5; ++i)
            if (!byOrdinal[i]) return false;
        return true;
    }

    double call(const Case& c) const {
        const double* a = c.arguments;
        switch (c.ordinal) {
        case 1:
        case 2:
            return reinterpret_cast<Function1>(byOrdinal[c.ordinal])(a[0]);
        case 3:
        case 4:
            return reinterpret_cast<Function5>(byOrdinal[c.ordinal])(a[0], a[1], a[2], a[3], a[4]);
        default:
            return reinterpret_cast<Function9>(byOrdinal[5])(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                                           a[8]);
        }
    }

    std::vector<std::uint64_t> evaluate(const std::vector<Case>& cases) const {
        std::vector<std::uint64_t> bits;
        bits.reserve(cases.size());
        for (const auto& c : cases) bits.push_back(bitsOf(call(c)));
        return bits;
    }
};

std::string describe(const Case& c) {
    std::string s = exportTable[c.ordinal - 1].name;
    s += "(";
    for (int i = 0; i < c.argumentCount; ++i) s += (i ? ", " : "") + hex(c.arguments[i]);
    return s + ")";
}

// The x87 control word of the calling thread (x86 and x86-64 alike).
std::uint16_t x87ControlWord() {
    std::uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void setX87Precision(std::uint16_t precisionBits) {
    const std::uint16_t word = static_cast<std::uint16_t>((x87ControlWord() & ~0x0300) | precisionBits);
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

constexpr std::uint16_t singlePrecision = 0x0000, doublePrecision = 0x0200, extendedPrecision = 0x0300;

std::string precisionName(std::uint16_t precisionBits) {
    return precisionBits == singlePrecision   ? "single (24-bit)"
           : precisionBits == doublePrecision ? "double (53-bit)"
                                              : "extended (64-bit)";
}

// The module's export directory, read from its image in memory.
void checkExportDirectory(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.VirtualAddress == 0) return fail("the module has no export directory");
    const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const char* name = reinterpret_cast<const char*>(base + directory->Name);
    if (_stricmp(name, "lorvane.dll") != 0) fail(std::string("export directory names the module ") + name);
    if (directory->Base != 1) fail("ordinal base is " + std::to_string(directory->Base));
    if (directory->NumberOfFunctions != 5 || directory->NumberOfNames != 5)
        fail("export directory has " + std::to_string(directory->NumberOfFunctions) + " functions and " +
             std::to_string(directory->NumberOfNames) + " names, expected 5 and 5");
    const auto* names = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + directory->AddressOfNameOrdinals);
    for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
        const char* exported = reinterpret_cast<const char*>(base + names[i]);
        const DWORD ordinal = ordinals[i] + directory->Base;
        bool known = false;
        for (const auto& e : exportTable)
            if (std::strcmp(e.name, exported) == 0) {
                known = true;
                if (e.ordinal != ordinal)
                    fail(std::string(exported) + " has ordinal " + std::to_string(ordinal) + ", expected " +
                         std::to_string(e.ordinal));
            }
        if (!known) fail(std::string("unexpected export ") + exported);
    }
}

void checkBinding(HMODULE module) {
    for (const auto& e : exportTable) {
        const FARPROC byName = GetProcAddress(module, e.name);
        const FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal));
        if (!byName) fail(std::string(e.name) + " not found by name");
        if (!byOrdinal) fail(std::string(e.name) + " not found by ordinal " + std::to_string(e.ordinal));
        if (byName != byOrdinal)
            fail(std::string(e.name) + ": name and ordinal " + std::to_string(e.ordinal) +
                 " bind different addresses");
    }
    for (WORD ordinal : {WORD(0), WORD(6), WORD(7), WORD(100)})
        if (GetProcAddress(module, MAKEINTRESOURCEA(ordinal)))
            fail("ordinal " + std::to_string(ordinal) + " is exported");
    for (const char* name : {"NIG_Prob_BS_style", "cdfn", "CDFN", "besselK1", "_cdfN", "_cdfN@8", "cdfN@8",
                             "DllMain", "DllMainCRTStartup", "__wrap_exp", ""})
        if (GetProcAddress(module, name)) fail(std::string("name '") + name + "' is exported");
}


bool agrees(double got, double expected, int ordinal) {
    if (std::isnan(expected)) return std::isnan(got);
    return ulpDistance(got, expected) <= allowedUlps(ordinal);
}

void checkValues(const Bound& bound, const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        const double got = bound.call(c);
        if (c.hasExpected && !agrees(got, c.expected, c.ordinal))
            fail(describe(c) + " = " + hex(got) + ", reference " + hex(c.expected) + " (" +
                 std::to_string(ulpDistance(got, c.expected)) + " units in the last place apart, " +
                 std::to_string(allowedUlps(c.ordinal)) + " allowed)");
    }
}

void checkRepeatedLoading(const std::vector<std::uint64_t>& baseline, const std::vector<Case>& cases) {
    constexpr int rounds = 1000;
    for (int round = 0; round < rounds; ++round) {
        const HMODULE module = LoadLibraryA(moduleFileName);
        if (!module) return fail("load " + std::to_string(round) + " failed, error " + std::to_string(GetLastError()));
        Bound bound;
        if (!bound.bind(module)) return fail("load " + std::to_string(round) + ": binding failed");
        if (bound.evaluate(cases) != baseline)
            return fail("load " + std::to_string(round) + " gives different results from the first load");
        FreeLibrary(module);
        if (GetModuleHandleA(moduleFileName))
            return fail("the module stays loaded after FreeLibrary in round " + std::to_string(round));
    }
}

void checkConcurrentCalls(const Bound& bound, const std::vector<std::uint64_t>& baseline,
                          const std::vector<Case>& cases) {
    constexpr int threadCount = 8, repetitions = 20;
    constexpr std::uint16_t precisions[] = {doublePrecision, extendedPrecision, singlePrecision};
    std::atomic<int> ready{0};
    std::vector<int> mismatches(threadCount, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&, t] {
            // A host may run any thread at any x87 precision.
            setX87Precision(precisions[t % 3]);
            ready.fetch_add(1);
            while (ready.load() < threadCount) std::this_thread::yield();
            for (int r = 0; r < repetitions; ++r)
                if (bound.evaluate(cases) != baseline) ++mismatches[t];
        });
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < threadCount; ++t)
        if (mismatches[t])
            fail("thread " + std::to_string(t) + " (x87 precision " + precisionName(precisions[t % 3]) +
                 ") differed from the single-threaded results in " +
                 std::to_string(mismatches[t]) + " of " + std::to_string(repetitions) + " runs");
}

}  // namespace

int main() {
    const std::vector<Case> cases = makeCases();

    // On x86-64 the module leaves the loading thread's floating-point
    // environment alone (on 32-bit x86 it sets double precision).
    const std::uint16_t controlWordBeforeLoad = x87ControlWord();
    const unsigned int mxcsrBeforeLoad = __builtin_ia32_stmxcsr();
    HMODULE module = LoadLibraryA(moduleFileName);
#if defined(__x86_64__)
    if (x87ControlWord() != controlWordBeforeLoad || __builtin_ia32_stmxcsr() != mxcsrBeforeLoad)
        fail("loading the module changed the loading thread's x87 control word or MXCSR");
#else
    (void)controlWordBeforeLoad;
    (void)mxcsrBeforeLoad;
#endif
    if (!module) {
        fail(std::string("LoadLibrary(\"") + moduleFileName + "\") failed, error " + std::to_string(GetLastError()));
        return 1;
    }
    checkExportDirectory(module);
    checkBinding(module);
    Bound bound;
    if (!bound.bind(module)) {
        fail("cannot bind the five functions by name");
        return 1;
    }
    checkValues(bound, cases);

    // Baseline at the precision this process starts with, then the same
    // bits at every other precision and from concurrent threads.
    const std::vector<std::uint64_t> baseline = bound.evaluate(cases);
    for (std::uint16_t precision : {singlePrecision, doublePrecision, extendedPrecision}) {
        const std::uint16_t saved = x87ControlWord();
        setX87Precision(precision);
        if (bound.evaluate(cases) != baseline)
            fail("results change with the x87 precision set to " + precisionName(precision));
        __asm__ __volatile__("fldcw %0" : : "m"(saved));
    }
    checkConcurrentCalls(bound, baseline, cases);
    FreeLibrary(module);

    checkRepeatedLoading(baseline, cases);

    std::printf("%s: %zu cases%s; name and ordinal binding; 1000 loads; 8 threads at mixed x87 precision: %s\n",
                moduleFileName, cases.size(),
                cases.empty() || !cases[0].hasExpected ? " (no reference build: consistency only)"
                                                       : " against the reference build",
                failures ? "FAILED" : "all passed");
    return failures ? 1 : 0;
}
