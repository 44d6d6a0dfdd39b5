#pragma once
// What identifies a firmware image in a production record: the release stamp it carries and the
// SHA-256 of its bytes.

#include <cstdint>
#include <string>

#include "firmware/FirmwareImage.h"

namespace velor {

// Where the release stamp sits in the image, and its length in characters.
inline constexpr int64_t kStampAddress = 0xF0E0;
inline constexpr int64_t kStampLength = 6;

// SHA-256 of the image's bytes from address 0 to the last byte a record set, 0xFF where none
// wrote: the same bytes `velor-flash check --image-out` writes by default. Empty image: "".
std::string ImageSha256(const FirmwareImage& image);

// The six characters at F0E0 when they are all decimal digits, otherwise "".
std::string ImageReleaseStamp(const FirmwareImage& image);

}  // namespace velor
