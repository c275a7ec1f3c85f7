// Every function is reentrant: many threads calling all five at once on the
// same read-only argument tables get, bit for bit, what one thread gets. Run
// under ThreadSanitizer by the tsan preset, which also reports any data race
// the library might have.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "input_tables.h"
#include "module_loader.h"

namespace {

using lorvane::test::evaluateAll;
using lorvane::test::Exports;
using lorvane::test::InputTables;
using lorvane::tools::Module;

constexpr int threadCount = 8;
constexpr int roundsPerThread = 2;

// Runs every thread through all tables roundsPerThread times, all threads
// released together so that their calls overlap; returns each thread's
// results of every round.
std::vector<std::vector<std::vector<uint64_t>>> evaluateOnThreads(const Exports& f, const InputTables& tables) {
    std::vector<std::vector<std::vector<uint64_t>>> results(threadCount);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < threadCount; ++i)
        threads.emplace_back([&, i] {
            ready.fetch_add(1);
            while (ready.load() < threadCount) std::this_thread::yield();
            for (int round = 0; round < roundsPerThread; ++round) results[i].push_back(evaluateAll(f, tables));
        });
    for (auto& t : threads) t.join();
    return results;
}

void expectAllEqual(const std::vector<uint64_t>& reference,
                    const std::vector<std::vector<std::vector<uint64_t>>>& results) {
    for (size_t thread = 0; thread < results.size(); ++thread)
        for (size_t round = 0; round < results[thread].size(); ++round) {
            const auto& r = results[thread][round];
            ASSERT_EQ(r.size(), reference.size());
            size_t mismatches = 0, first = r.size();
            for (size_t k = 0; k < r.size(); ++k)
                if (r[k] != reference[k]) ++mismatches, first = std::min(first, k);
            EXPECT_EQ(mismatches, 0u) << "thread " << thread << " round " << round << ", first at row " << first;
        }
}

TEST(Concurrency, ThreadsAgreeBitForBitWithOneThread) {
    const InputTables tables = lorvane::test::makeInputTables(400, 12);
    const Exports f = lorvane::test::staticExports();
    const auto reference = evaluateAll(f, tables);
    expectAllEqual(reference, evaluateOnThreads(f, tables));
}

// The same through the loaded module, whose results must also equal the
// statically linked library's: one compilation serves both.
TEST(Concurrency, ThreadsCallingTheLoadedModuleAgreeWithTheStaticLibrary) {
    Module module;
    ASSERT_TRUE(module.open(LORVANE_MODULE_PATH)) << Module::lastError();
    const Exports bound{module.bind<decltype(Exports::cdf)>("cdfN"), module.bind<decltype(Exports::bessel)>("BesselK1"),
                        module.bind<decltype(Exports::density)>("pdfNIG"),
                        module.bind<decltype(Exports::kernel)>("theIntegrand_BS_style"),
                        module.bind<decltype(Exports::call)>("NIG_Call_BS_style")};
    ASSERT_TRUE(bound.cdf && bound.bessel && bound.density && bound.kernel && bound.call);
    const InputTables tables = lorvane::test::makeInputTables(200, 6);
    const auto reference = evaluateAll(lorvane::test::staticExports(), tables);
    expectAllEqual(reference, evaluateOnThreads(bound, tables));
}

}  // namespace
