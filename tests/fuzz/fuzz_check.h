// Contract checks for the fuzz targets: a broken contract prints the inputs
// in hexadecimal floating point (exact, NaN payloads aside) and aborts, which
// libFuzzer records as a crash together with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace lorvane::fuzz {

[[noreturn]] inline void contractBroken(const char* what, const char* function,
                                        std::initializer_list<double> arguments, double result) {
    std::fprintf(stderr, "contract broken: %s\n  %s(", what, function);
    const char* separator = "";
    for (double a : arguments) {
        std::fprintf(stderr, "%s%a", separator, a);
        separator = ", ";
    }
    std::fprintf(stderr, ") = %a\n", result);
    std::abort();
}

}  // namespace lorvane::fuzz

// FUZZ_CHECK(condition, "what", "function", result, arguments...)
#define FUZZ_CHECK(condition, what, function, result, ...)                                      \
    do {                                                                                        \
        if (!(condition)) ::lorvane::fuzz::contractBroken(what, function, {__VA_ARGS__}, result); \
    } while (0)
