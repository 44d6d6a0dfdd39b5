#pragma once
// Reading a whole firmware file as 8-bit text, as the file loads of every front end do.

#include <stdexcept>
#include <string>

namespace velor {

// "Cannot open file "%s". %s": the file's full path and the operating system's reason.
class EFOpenError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The bytes of the file at path (UTF-8), unchanged. Raises EFOpenError, naming the file's full
// path, when the file cannot be opened or read.
std::string ReadTextFile(const std::string& path);

}  // namespace velor
