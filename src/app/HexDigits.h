#pragma once
// The value of one hexadecimal digit, for every parser of numbers and fields.

#include <array>
#include <cstdint>

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

}  // namespace velor
