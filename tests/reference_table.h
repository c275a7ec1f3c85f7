// Reading the committed high-precision reference tables in tests/data.
//
// Each table is CSV: lines starting with '#' are comments, the first other
// line names the columns. Inputs are stored as hexadecimal floats (exact
// doubles); reference values as decimal strings with 25 or more digits,
// read into long double so that the reference itself adds no error at the
// level of a double's last place.
#pragma once

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lorvane::test {

struct ReferenceTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;

    size_t column(const std::string& name) const {
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i] == name) return i;
        throw std::runtime_error("no column " + name);
    }
};

inline std::vector<std::string> splitCsvLine(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, ',')) fields.push_back(field);
    return fields;
}

inline ReferenceTable readReferenceTable(const std::string& fileName) {
    const std::string path = std::string(LORVANE_TEST_DATA_DIR) + "/" + fileName;
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    ReferenceTable table;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (table.columns.empty())
            table.columns = splitCsvLine(line);
        else
            table.rows.push_back(splitCsvLine(line));
    }
    return table;
}

inline double toDouble(const std::string& s) { return std::strtod(s.c_str(), nullptr); }
inline long double toLongDouble(const std::string& s) { return std::strtold(s.c_str(), nullptr); }

// |computed - reference| / |reference|, evaluated in long double.
inline long double relativeError(double computed, long double reference) {
    return std::fabs(static_cast<long double>(computed) - reference) / std::fabs(reference);
}

}  // namespace lorvane::test
