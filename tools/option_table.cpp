#include "option_table.h"

#include <cerrno>
#include <cstdlib>

namespace lorvane::tools {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        fields.push_back(trim(line.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::string expectedHeader() {
    std::string h;
    for (const char* c : optionColumns) h += (h.empty() ? "" : ",") + std::string(c);
    return h;
}

}  // namespace

bool parseNumber(const std::string& text, double& value) {
    const std::string t = trim(text);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(t.c_str(), &end);
    // Out-of-range values are not an error: they read as 0 or +-inf, as the
    // arithmetic would make them.
    return end == t.c_str() + t.size();
}

bool readOptionTable(std::istream& in, OptionTable& table, std::string& error) {
    std::string line;
    long lineNumber = 0;
    bool haveHeader = false;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (trim(line).empty()) continue;
        const std::vector<std::string> fields = splitFields(line);
        if (!haveHeader) {
            std::string joined;
            for (const auto& f : fields) joined += (joined.empty() ? "" : ",") + f;
            if (joined != expectedHeader()) {
                error = "line " + std::to_string(lineNumber) + ": missing header " + expectedHeader();
                return false;
            }
            table.header = line;
            haveHeader = true;
            continue;
        }
        if (fields.size() != optionColumns.size()) {
            error = "line " + std::to_string(lineNumber) + ": expected " +
                    std::to_string(optionColumns.size()) + " fields, found " +
                    std::to_string(fields.size());
            return false;
        }
        OptionRow row{line, {}};
        for (size_t i = 0; i < fields.size(); ++i) {
            if (!parseNumber(fields[i], row.values[i])) {
                error = "line " + std::to_string(lineNumber) + ": " + optionColumns[i] +
                        " is not a number: '" + fields[i] + "'";
                return false;
            }
        }
        table.rows.push_back(row);
    }
    if (!haveHeader) {
        error = "line " + std::to_string(lineNumber + 1) + ": missing header " + expectedHeader();
        return false;
    }
    return true;
}

}  // namespace lorvane::tools
