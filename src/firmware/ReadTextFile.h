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

// The largest firmware text read: the largest image (20,000,000 bytes) as 16-byte records with
// CR LF ends takes 56.3 MB; 64 MiB leaves room for comments and longer lines, no more.
inline constexpr long long kMaxFirmwareTextBytes = 64LL * 1024 * 1024;

// The bytes of the file at path (UTF-8), unchanged. Raises EFOpenError, naming the file's full
// path, when the file cannot be opened or read, is not a regular file (a FIFO, a device: never
// waited on), or is larger than kMaxFirmwareTextBytes.
std::string ReadTextFile(const std::string& path);

}  // namespace velor
