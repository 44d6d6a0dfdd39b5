#pragma once
// Reading a program's or a reporter's text output in tests.

#include <sstream>
#include <string>
#include <vector>

namespace velor::test {

inline std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace velor::test
