#pragma once
// Intel HEX records for the tests, with checksums computed here (not by the program's code).

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace velor::testing {

inline std::string Record(int type, int address, const std::vector<uint8_t>& data) {
    unsigned sum = static_cast<unsigned>(data.size()) + ((address >> 8) & 0xFF) + (address & 0xFF) +
                   static_cast<unsigned>(type);
    char head[16];
    std::snprintf(head, sizeof head, ":%02X%04X%02X", static_cast<unsigned>(data.size()),
                  static_cast<unsigned>(address), static_cast<unsigned>(type));
    std::string line = head;
    for (uint8_t byte : data) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        line += pair;
        sum += byte;
    }
    char check[3];
    std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + check;
}

inline std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Three records (address, data, end) that load into bytes 0x0100.. = DE AD BE EF.
inline std::string SmallFirmware() {
    return Record(4, 0, {0x00, 0x00}) + "\r\n" + Record(0, 0x0100, {0xDE, 0xAD, 0xBE, 0xEF}) +
           "\r\n" + ":00000001FF\r\n";
}

}  // namespace velor::testing
