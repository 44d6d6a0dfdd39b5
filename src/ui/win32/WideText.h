#pragma once
// UTF-8 (the model's texts) to and from UTF-16 (the wide Win32 API), so that the window reads
// the same whatever the PC's ANSI code page.

#include <string>
#include <string_view>

namespace velor::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace velor::win32
