#pragma once
// The line that ends a write's summary when the device's replies were held on the way (a USB
// adapter's latency timer): the median it measured and how to lower the timer on this system.

#include <optional>
#include <string>

namespace velor::cli {

// A median reply latency from this much on is a held reply, not the device's own turn-around.
inline constexpr double kHeldReplyMs = 8.0;

// Empty when the median is unknown or below kHeldReplyMs. port: the port the write used.
std::string LatencyHint(std::optional<double> medianMs, const std::string& port);

}  // namespace velor::cli
