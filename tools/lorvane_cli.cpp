// lorvane: evaluate the module's functions and price options from a terminal.
//
// The module is loaded at run time and its functions bound by name, as a
// host program does; the tool itself contains no numerics.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "lorvane.h"
#include "module_loader.h"
#include "option_table.h"

namespace {

using lorvane::tools::Module;

typedef double(LORVANE_CALL* Function1)(double);
typedef double(LORVANE_CALL* Function5)(double, double, double, double, double);
typedef double(LORVANE_CALL* Function9)(double, double, double, double, double, double, double,
                                        double, double);

constexpr int exitUsage = 2;
constexpr int exitModule = 3;

const char* const usageText =
    "usage: lorvane FUNCTION ARG...\n"
    "       lorvane price FILE.csv      (or - for standard input)\n"
    "\n"
    "functions (one result per line, 17 significant digits):\n"
    "  cdfN X...                                  standard normal distribution function\n"
    "  BesselK1 X...                              modified Bessel function K1\n"
    "  pdfNIG X ALPHA BETA DELTA MU               NIG density at X\n"
    "  theIntegrand_BS_style ALPHA BETA DELTA MU X  NIG kernel K1(alpha q) e^(beta x) / q\n"
    "  NIG_Call_BS_style S K T R ALPHA BETA DELTA MU UPPER\n"
    "                                             European call price under NIG\n"
    "\n"
    "price reads CSV rows with the header S,K,T,r,alpha,beta,delta,mu,upper and\n"
    "writes them back with a price column.\n"
    "The module is taken from $LORVANE_LIBRARY, else from beside this program,\n"
    "else from the system's library path.\n";

int usageError(const std::string& message) {
    std::fprintf(stderr, "lorvane: %s\n%s", message.c_str(), usageText);
    return exitUsage;
}

// 17 significant digits reproduce every double exactly; NaN prints as
// "nan" whatever its sign bit.
std::string formatValue(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

bool parseArguments(int argc, char** argv, int first, std::vector<double>& values,
                    std::string& error) {
    for (int i = first; i < argc; ++i) {
        double v;
        if (!lorvane::tools::parseNumber(argv[i], v)) {
            error = std::string("not a number: '") + argv[i] + "'";
            return false;
        }
        values.push_back(v);
    }
    return true;
}

struct FunctionEntry {
    const char* name;
    int arity;  // 0: one or more single arguments, each evaluated
};

constexpr FunctionEntry functions[] = {
    {"cdfN", 0},
    {"BesselK1", 0},
    {"pdfNIG", 5},
    {"theIntegrand_BS_style", 5},
    {"NIG_Call_BS_style", 9},
};

bool openModule(Module& module) {
    if (module.openDefault()) return true;
    std::fprintf(stderr, "lorvane: cannot load the module %s: %s\n",
                 lorvane::tools::moduleFileName, Module::lastError().c_str());
    return false;
}

void* bindOrReport(const Module& module, const char* name) {
    void* f = module.symbol(name);
    if (!f) std::fprintf(stderr, "lorvane: the module %s does not export %s\n",
                         module.path().c_str(), name);
    return f;
}

int evaluate(const FunctionEntry& entry, const std::vector<double>& args) {
    Module module;
    if (!openModule(module)) return exitModule;
    void* symbol = bindOrReport(module, entry.name);
    if (!symbol) return exitModule;
    if (entry.arity == 0) {
        const auto f = reinterpret_cast<Function1>(symbol);
        for (double x : args) std::printf("%s\n", formatValue(f(x)).c_str());
    } else if (entry.arity == 5) {
        const auto f = reinterpret_cast<Function5>(symbol);
        std::printf("%s\n", formatValue(f(args[0], args[1], args[2], args[3], args[4])).c_str());
    } else {
        const auto f = reinterpret_cast<Function9>(symbol);
        std::printf("%s\n", formatValue(f(args[0], args[1], args[2], args[3], args[4], args[5],
                                          args[6], args[7], args[8]))
                                .c_str());
    }
    return 0;
}

int priceTable(const std::string& source) {
    lorvane::tools::OptionTable table;
    std::string error;
    if (source == "-") {
        if (!lorvane::tools::readOptionTable(std::cin, table, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return exitUsage;
        }
    } else {
        std::ifstream file(source);
        if (!file) {
            std::fprintf(stderr, "lorvane: cannot read %s: %s\n", source.c_str(),
                         std::strerror(errno));
            return exitUsage;
        }
        if (!lorvane::tools::readOptionTable(file, table, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return exitUsage;
        }
    }
    Module module;
    if (!openModule(module)) return exitModule;
    const auto call = reinterpret_cast<Function9>(bindOrReport(module, "NIG_Call_BS_style"));
    if (!call) return exitModule;
    std::printf("%s,price\n", table.header.c_str());
    for (const auto& row : table.rows) {
        const auto& v = row.values;
        const double price = call(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
        std::printf("%s,%s\n", row.text.c_str(), formatValue(price).c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usageError("no command given");
    const std::string command = argv[1];
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (command == "price") {
        if (argc != 3) return usageError("price takes exactly one file name (or -)");
        return priceTable(argv[2]);
    }
    for (const auto& entry : functions) {
        if (command != entry.name) continue;
        const int given = argc - 2;
        if (entry.arity == 0 && given < 1)
            return usageError(command + " takes one or more arguments");
        if (entry.arity != 0 && given != entry.arity)
            return usageError(command + " takes " + std::to_string(entry.arity) +
                              " arguments, got " + std::to_string(given));
        std::vector<double> args;
        std::string error;
        if (!parseArguments(argc, argv, 2, args, error)) return usageError(error);
        return evaluate(entry, args);
    }
    return usageError("unknown function or command '" + command + "'");
}
