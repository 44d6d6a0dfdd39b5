#pragma once
// The hexadecimal fields of Intel HEX records.

#include <cstdint>
#include <string_view>

#include "app/Conversions.h"
#include "app/HexDigits.h"

namespace velor {

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
