#pragma once
// What velor-flash check tells of a loaded image, and the raw binary it can write.

#include <cstddef>
#include <cstdint>
#include <string>

#include "firmware/FirmwareImage.h"

namespace velor::cli {

// Bytes 0..size-1 of the image to path, 0xFF where no record wrote. False with error set when the
// file cannot be created or written.
bool WriteImage(const FirmwareImage& image, const std::string& path, int64_t size,
                std::string& error);

// The source, the covered ranges, the data byte count and the release stamp, on stdout.
void PrintReport(const FirmwareImage& image, const std::string& source, std::size_t lineCount);

}  // namespace velor::cli
