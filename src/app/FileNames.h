#pragma once
// The name of a chosen file as the status line and the messages show it.

#include <string>

namespace velor {

// The name and extension without the folder. Windows separates folders with "\" or "/";
// elsewhere "\" is an ordinary character of a name and only "/" separates.
std::string FileNameOf(const std::string& path);

}  // namespace velor
