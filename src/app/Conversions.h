#pragma once
// The runtime's strict text-to-integer conversion, as the firmware checks and the release gate
// use it, with its error.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velor {

// "'%s' is not a valid integer value", with the text that failed.
class EConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A signed 32-bit integer from text: leading blanks, an optional sign, then decimal digits, or
// hexadecimal ones after "$" or "0x". Anything else, an empty number or a value that does not fit
// raises EConvertError naming the whole text.
int32_t StrToInt(std::string_view text);

// StrToInt("$" + field): the hexadecimal fields of Intel HEX records.
int32_t HexFieldToInt(std::string_view field);

// The text of an error box: the message with a full stop added when its last character sorts
// after "." (so none after "!" or ".").
std::string ErrorBoxText(const std::string& message);

}  // namespace velor
