// The module keeps no state across loads: loading, calling and unloading it
// a thousand times gives the same results every time, equal to the
// statically linked library's, and unloading really unloads it. Threads that
// load and unload the module concurrently, sharing the loader's reference
// count, see the same.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "input_tables.h"
#include "module_loader.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace {

using lorvane::test::evaluateAll;
using lorvane::test::Exports;
using lorvane::test::InputTables;
using lorvane::tools::Module;

Exports bindExports(const Module& module) {
    return {module.bind<decltype(Exports::cdf)>("cdfN"), module.bind<decltype(Exports::bessel)>("BesselK1"),
            module.bind<decltype(Exports::density)>("pdfNIG"),
            module.bind<decltype(Exports::kernel)>("theIntegrand_BS_style"),
            module.bind<decltype(Exports::call)>("NIG_Call_BS_style")};
}

bool allBound(const Exports& f) { return f.cdf && f.bessel && f.density && f.kernel && f.call; }

#if !defined(_WIN32)
bool moduleIsLoaded() {
    void* handle = dlopen(LORVANE_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}
#endif

// One load-call-unload cycle; returns the results, empty if binding failed.
std::vector<uint64_t> loadEvaluateUnload(const InputTables& tables) {
    Module module;
    if (!module.open(LORVANE_MODULE_PATH)) return {};
    const Exports f = bindExports(module);
    if (!allBound(f)) return {};
    return evaluateAll(f, tables);
}

// Special values of every function plus a few ordinary ones, and one
// ordinary price (the hostile prices, some of which run all eight passes, are
// left to the concurrency test: a thousand cycles of them would be slow).
InputTables cycleTables() {
    InputTables tables = lorvane::test::makeInputTables(4, 1);
    tables.call.erase(tables.call.begin(), tables.call.end() - 1);
    return tables;
}

TEST(ModuleLifecycle, AThousandLoadsGiveTheSameResults) {
    const InputTables tables = cycleTables();
    const auto reference = evaluateAll(lorvane::test::staticExports(), tables);
#if !defined(_WIN32)
    ASSERT_FALSE(moduleIsLoaded()) << "another part of this process holds the module";
#endif
    for (int cycle = 0; cycle < 1000; ++cycle) {
        const auto results = loadEvaluateUnload(tables);
        ASSERT_EQ(results, reference) << "cycle " << cycle << ": " << Module::lastError();
#if !defined(_WIN32)
        ASSERT_FALSE(moduleIsLoaded()) << "still loaded after unloading, cycle " << cycle;
#endif
    }
}

TEST(ModuleLifecycle, ThreadsLoadingAndUnloadingConcurrentlyGetTheSameResults) {
    const InputTables tables = cycleTables();
    const auto reference = evaluateAll(lorvane::test::staticExports(), tables);
    constexpr int threadCount = 4, cyclesPerThread = 50;
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < threadCount; ++i)
        threads.emplace_back([&] {
            for (int cycle = 0; cycle < cyclesPerThread; ++cycle)
                if (loadEvaluateUnload(tables) != reference) mismatches.fetch_add(1);
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(mismatches.load(), 0);
#if !defined(_WIN32)
    EXPECT_FALSE(moduleIsLoaded());
#endif
}

}  // namespace
