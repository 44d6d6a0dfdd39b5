#pragma once
// Hexadecimal digits and fields of Intel HEX records.

#include <array>
#include <cstdint>
#include <string_view>

#include "app/Conversions.h"

namespace velor {

namespace detail {
constexpr std::array<int8_t, 256> MakeHexDigitTable() {
    std::array<int8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                   : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                   : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
                                          : int8_t{-1};
    }
    return table;
}
inline constexpr auto kHexDigitTable = MakeHexDigitTable();
}  // namespace detail

// 0..15 for "0"-"9", "A"-"F", "a"-"f"; -1 for any other character.
constexpr int HexDigitValue(char c) {
    return detail::kHexDigitTable[static_cast<unsigned char>(c)];
}

// HexFieldToInt(field), without its string building for the usual field of 1 to 4 hex digits;
// anything else goes to the strict conversion and so raises (or parses) exactly as it does.
inline int32_t HexFieldValue(std::string_view field) {
    if (!field.empty() && field.size() <= 4) {
        int32_t value = 0;
        for (char c : field) {
            const int d = HexDigitValue(c);
            if (d < 0) {
                return HexFieldToInt(field);
            }
            value = value * 16 + d;
        }
        return value;
    }
    return HexFieldToInt(field);
}

}  // namespace velor
