// The shared module, loaded at run time by name, exports exactly the five
// functions of its export table and nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "lorvane.h"
#include "module_loader.h"

namespace {

using lorvane::tools::Module;

const std::set<std::string> exportTable = {"cdfN", "BesselK1", "pdfNIG", "theIntegrand_BS_style",
                                           "NIG_Call_BS_style"};

TEST(ModuleExports, EveryExportBindsByName) {
    Module module;
    ASSERT_TRUE(module.open(LORVANE_MODULE_PATH)) << Module::lastError();
    for (const auto& name : exportTable) EXPECT_NE(module.symbol(name.c_str()), nullptr) << name;
}

TEST(ModuleExports, InternalAndUnknownNamesAreNotExported) {
    Module module;
    ASSERT_TRUE(module.open(LORVANE_MODULE_PATH)) << Module::lastError();
    for (const char* name : {"NIG_Prob_BS_style", "cdfn", "besselK1", "BesselK0", "DllMain", "main"})
        EXPECT_EQ(module.symbol(name), nullptr) << name;
}

TEST(ModuleExports, BoundFunctionsAreTheLibrarysFunctions) {
    Module module;
    ASSERT_TRUE(module.open(LORVANE_MODULE_PATH)) << Module::lastError();
    typedef double(LORVANE_CALL * Function1)(double);
    const auto boundCdf = module.bind<Function1>("cdfN");
    ASSERT_NE(boundCdf, nullptr);
    for (double x : {-40.0, -7.07106781186547, -1.5, 0.0, 1.96, 8.0})
        EXPECT_EQ(boundCdf(x), cdfN(x)) << x;
}

#if !defined(_WIN32)
// The dynamic symbol table, read with nm, defines exactly the export table.
TEST(ModuleExports, DynamicSymbolTableIsExactlyTheExportTable) {
    const std::string command = std::string("nm -D --defined-only ") + LORVANE_MODULE_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> defined;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        const auto lastSpace = s.find_last_of(' ');
        if (lastSpace != std::string::npos) defined.insert(s.substr(lastSpace + 1));
    }
    ASSERT_EQ(pclose(pipe), 0) << command;
    EXPECT_EQ(defined, exportTable);
}
#endif

}  // namespace
