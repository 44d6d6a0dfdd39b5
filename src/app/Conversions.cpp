#include "app/Conversions.h"

#include <limits>

#include "app/HexDigits.h"

namespace velor {

namespace {

[[noreturn]] void Fail(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int DigitValue(char c, int base) {
    const int v = HexDigitValue(c);
    return v < base ? v : -1;
}

}  // namespace

int32_t StrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) {
        Fail(text);
    }
    // Hexadecimal values take the whole 32 bits (as "$FFFFFFFF" is -1); decimal ones must fit.
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull
                                      : static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) +
                                            (negative ? 1 : 0);
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0) {
            Fail(text);
        }
        value = value * base + d;
        if (value > limit) {
            Fail(text);
        }
    }
    const auto bits = static_cast<uint32_t>(value);
    const auto result = static_cast<int32_t>(bits);
    return negative ? static_cast<int32_t>(0u - bits) : result;
}

int32_t HexFieldToInt(std::string_view field) {
    std::string text;
    text.reserve(field.size() + 1);
    text += '$';
    text += field;
    return StrToInt(text);
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

}  // namespace velor
