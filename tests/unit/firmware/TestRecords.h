#pragma once
// Intel HEX records for tests, with checksums computed here rather than by the code under test.

#include <cstdint>
#include <cstdio>
#include <string>

namespace velor::test {

// ":" LL AAAA TT data CC for the data given as hex digits (count taken from its length unless
// count >= 0 says otherwise).
inline std::string Rec(int type, int address, const std::string& data, int count = -1) {
    if (count < 0) {
        count = static_cast<int>(data.size() / 2);
    }
    char head[16];
    std::snprintf(head, sizeof head, "%02X%04X%02X", count & 0xFF, address & 0xFFFF, type & 0xFF);
    const std::string body = head + data;
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < body.size(); i += 2) {
        sum += static_cast<unsigned>(std::stoul(body.substr(i, 2), nullptr, 16));
    }
    char check[4];
    std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return ":" + body + check;
}

inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

}  // namespace velor::test
