// Reading a table of European call options from CSV text.
//
// The first non-blank line is the header S,K,T,r,alpha,beta,delta,mu,upper;
// every further non-blank line holds nine numbers in that order. The whole
// text is checked before anything is priced, so a malformed row stops the
// run before any output.
#pragma once

#include <array>
#include <istream>
#include <string>
#include <vector>

namespace lorvane::tools {

inline constexpr std::array<const char*, 9> optionColumns = {"S",    "K",    "T",     "r", "alpha",
                                                             "beta", "delta", "mu", "upper"};

struct OptionRow {
    std::string text;              // the row as given, without line ending
    std::array<double, 9> values;  // in the order of optionColumns
};

struct OptionTable {
    std::string header;  // the header line as given
    std::vector<OptionRow> rows;
};

// Parses a whole decimal (or hexadecimal, nan, inf) number with optional
// surrounding blanks; false if anything else is present.
bool parseNumber(const std::string& text, double& value);

// Reads the table. On failure returns false and sets error to
// "line N: <what is wrong>".
bool readOptionTable(std::istream& in, OptionTable& table, std::string& error);

}  // namespace lorvane::tools
