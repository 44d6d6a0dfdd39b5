#pragma once
// The system's 8-bit texts are in the Cyrillic ANSI code page (Windows-1251); everything the
// program shows is UTF-8. These are the only conversions between the two.

#include <cstddef>
#include <string>
#include <string_view>

namespace velor {

// Windows-1251 bytes to UTF-8 (the one undefined byte, 0x98, becomes U+FFFD).
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to Windows-1251; characters the code page lacks become "?".
std::string Utf8ToAnsi(std::string_view utf8);
// Upper case as the Cyrillic ANSI code page defines it: a-z and the Cyrillic letters.
void AnsiUpperCaseInPlace(std::string& ansi);
// The number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);
// The first characters code points of a UTF-8 text (all of it when it is shorter).
std::string_view Utf8Prefix(std::string_view utf8, std::size_t characters);

}  // namespace velor
