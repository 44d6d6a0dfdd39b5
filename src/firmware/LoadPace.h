#pragma once
// How often the load's passes offer the event pump a turn.

#include <cstddef>

namespace velor {

// A line costs well under a microsecond; asking the clock at every one would cost a tenth of the
// load. Every 16th line still checks the time budget thousands of times within it.
inline constexpr std::size_t kLinesPerTick = 16;

}  // namespace velor
