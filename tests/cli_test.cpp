// The command-line tool: evaluations, pricing a CSV file, and the error
// path for bad input (one-line message plus usage on stderr, status 2).
#include <gtest/gtest.h>

#if defined(LORVANE_CLI_PATH)

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lorvane.h"

namespace {

struct CliResult {
    int status;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string tempPath(const char* tag) {
    return ::testing::TempDir() + "lorvane_cli_" + tag + "_" + std::to_string(getpid());
}

// Runs the tool with the given shell-quoted arguments and standard input.
CliResult runCli(const std::string& args, const std::string& input = "") {
    const std::string in = tempPath("in"), out = tempPath("out"), err = tempPath("err");
    std::ofstream(in) << input;
    const std::string command = std::string("'") + LORVANE_CLI_PATH + "' " + args + " <'" + in +
                                "' >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    CliResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    std::remove(in.c_str());
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
}

TEST(Cli, EvaluatesEachArgumentWithSeventeenDigits) {
    const CliResult r = runCli("cdfN 1.96 -1.5 0");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0.97500210485177952\n0.066807201268858057\n0.5\n");
    EXPECT_EQ(r.err, "");
}

TEST(Cli, PrintsNanAndInfinityPlainly) {
    const CliResult r = runCli("cdfN nan inf -inf");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "nan\n1\n0\n");
}

TEST(Cli, BadInputGivesStatusTwoAndUsage) {
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "no command given"},
        {"cdfn 1", "unknown function or command 'cdfn'"},
        {"cdfN", "cdfN takes one or more arguments"},
        {"cdfN 1.5x", "not a number: '1.5x'"},
        {"cdfN ''", "not a number: ''"},
        {"pdfNIG 0 1 0 1", "pdfNIG takes 5 arguments, got 4"},
        {"NIG_Call_BS_style 1 2 3 4 5 6 7 8 9 10", "NIG_Call_BS_style takes 9 arguments, got 10"},
        {"price", "price takes exactly one file name (or -)"},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        const std::string firstLine = r.err.substr(0, r.err.find('\n'));
        EXPECT_EQ(firstLine, std::string("lorvane: ") + c.message) << c.args;
        EXPECT_NE(r.err.find("usage: lorvane"), std::string::npos) << c.args;
    }
}

TEST(Cli, HelpGoesToStdoutWithStatusZero) {
    const CliResult r = runCli("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: lorvane", 0), 0u);
}

TEST(Cli, MalformedOptionTableStopsBeforeAnyPrice) {
    const std::string header = "S,K,T,r,alpha,beta,delta,mu,upper\n";
    const std::string good = "100,100,1,0.05,20,-3,0.5,0.05,3\n";
    const struct {
        std::string input;
        std::string error;
    } cases[] = {
        {good, "line 1: missing header S,K,T,r,alpha,beta,delta,mu,upper"},
        {"", "line 1: missing header S,K,T,r,alpha,beta,delta,mu,upper"},
        {header + good + "100,100,1,0.05,20,-3,0.5,0.05\n", "line 3: expected 9 fields, found 8"},
        {header + good + good + "100,100,1,0.05,20,-3,0.5,0.05,3,7\n",
         "line 4: expected 9 fields, found 10"},
        {header + "100,abc,1,0.05,20,-3,0.5,0.05,3\n", "line 2: K is not a number: 'abc'"},
        {header + good + "100,100,1,0.05,20,-3,0.5,,3\n", "line 3: mu is not a number: ''"},
    };
    for (const auto& c : cases) {
        const CliResult r = runCli("price -", c.input);
        EXPECT_EQ(r.status, 2) << c.input;
        EXPECT_EQ(r.out, "") << c.input;
        EXPECT_EQ(r.err, c.error + "\n") << c.input;
    }
}

// The bundled example file, priced end to end through the shared module:
// every row comes back as it was with a price column, each price the same
// double as a direct call.
TEST(Cli, PricesTheExampleOptions) {
    const std::string path = std::string(LORVANE_TEST_DATA_DIR) + "/../../examples/options.csv";
    const std::string input = slurp(path);
    ASSERT_FALSE(input.empty()) << path;
    const CliResult r = runCli("price '" + path + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::istringstream in(input), out(r.out);
    std::string inLine, outLine;
    ASSERT_TRUE(std::getline(in, inLine) && std::getline(out, outLine));
    EXPECT_EQ(outLine, inLine + ",price");
    int rows = 0;
    while (std::getline(in, inLine)) {
        ASSERT_TRUE(std::getline(out, outLine)) << "missing row for " << inLine;
        ASSERT_EQ(outLine.rfind(inLine + ",", 0), 0u) << outLine;
        std::vector<double> v;
        std::istringstream fields(inLine);
        for (std::string field; std::getline(fields, field, ',');)
            v.push_back(std::strtod(field.c_str(), nullptr));
        ASSERT_EQ(v.size(), 9u) << inLine;
        const double printed = std::strtod(outLine.c_str() + inLine.size() + 1, nullptr);
        const double direct =
            NIG_Call_BS_style(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
        EXPECT_EQ(printed, direct) << inLine;
        EXPECT_GT(printed, 0.0) << inLine;
        ++rows;
    }
    EXPECT_FALSE(std::getline(out, outLine)) << "extra output: " << outLine;
    EXPECT_EQ(rows, 12);
}

TEST(Cli, UnreadableFileIsReported) {
    const CliResult r = runCli("price /nonexistent/options.csv");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read /nonexistent/options.csv"), std::string::npos);
}

}  // namespace

#endif
