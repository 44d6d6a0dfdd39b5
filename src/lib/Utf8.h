#pragma once
// Whether text from a caller is well-formed UTF-8 (no overlong forms, no surrogates, at most
// U+10FFFF).

#include <string_view>

namespace velor::lib {

bool IsUtf8(std::string_view text);

}  // namespace velor::lib
