// Timing a one-argument function over a fixed array of inputs.
//
// The function is called through a volatile function pointer so that the
// compiler cannot inline it into the loop or hoist work out of it; the
// results are summed so that no call is dead. The counter "per_call" is
// seconds per call (the console shows it in ns).
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

namespace lorvane::bench {

template <class Fn>
void timePerCall(benchmark::State& state, Fn fn, const std::vector<double>& xs) {
    Fn volatile f = fn;
    for (auto _ : state) {
        double acc = 0;
        for (double x : xs) acc += f(x);
        benchmark::DoNotOptimize(acc);
    }
    state.counters["per_call"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(xs.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace lorvane::bench
