#pragma once
// The line that ends a write: "Wrote 65,536 bytes (64 pages) in 17.9 s, 3.6 KB/s; 0 failed
// attempts; calibration 0.0.0".

#include <cstdint>
#include <string>

#include "cli/output/WriteProgress.h"

namespace velor::cli {

// 65536 -> "65,536".
std::string GroupThousands(int64_t value);
// seconds: the whole operation, from the click to its end.
std::string FormatSummary(const WriteProgress& progress, double seconds);

}  // namespace velor::cli
